// The shell folder tree and folder combo box in the skinned-control gallery (see
// tests/skin/support/SkinGallery.h), over a small folder made for it.
#include <sys/stat.h>

#include <cstdio>
#include <filesystem>

#include "skin/controls/SkinScrollBar.h"
#include "skin/shell/SkinShellComboBox.h"
#include "skin/shell/SkinShellTreeView.h"
#include "tests/skin/support/SkinGallery.h"

namespace {

// A folder with a few subfolders, one file and a link (made once per gallery run).
std::string GalleryFolder()
{
  static const std::string dir = [] {
    std::string d = std::filesystem::temp_directory_path().string() + "/qv-shell-gallery";
    std::filesystem::remove_all(d);
    for (const char* sub : {"Videos", "Videos/Holiday 2026", "Videos/Concert", "Music", "Documents", "quote\"d name"})
      std::filesystem::create_directories(d + "/" + sub);
    std::fclose(std::fopen((d + "/notes.txt").c_str(), "w"));
    std::filesystem::create_directory_symlink("Videos", d + "/Videos link");
    return d;
  }();
  return dir;
}

TGalleryFamily ShellTree("Shell folder tree and folder combo box", 200, [](TGalleryColumn& C) {
  const std::string dir = GalleryFolder();
  auto* combo = C.Add<TskSkinShellComboBox>(0, 0, 261, 22);
  auto* tree = C.Add<TskSkinDirTreeView>(0, 28, 242, 170);
  tree->SetRoot(dir);
  tree->HandleNeeded();
  auto* bar = C.Add<TskSkinScrollBar>(242, 28, 19, 170);
  bar->SetKind(sbVertical);
  bar->SetSkinDataName("vscrollbar");
  if (C.SkinData) bar->SetSkinData(C.SkinData);
  tree->SetVScrollBar(bar);
  tree->SetHideSelection(false);
  combo->HandleNeeded();
  tree->SetShellComboBox(combo);
  tree->SetPath(dir + "/Videos/Holiday 2026");
});

}  // namespace
