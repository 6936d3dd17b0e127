// Listing a folder of 20,000 files in the shell file list view's details view (the namespace's
// enumeration, the items, the folders-first sort, the columns and the painting of the first
// page of rows with their details) on the headless display, as a ratio to a plain directory read
// that stats every entry. The goal: the list stays within a small multiple of the plain read, so
// a big folder opens without a long freeze.
#include <dirent.h>
#include <stdlib.h>
#include <sys/stat.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>

#include "RatioRuns.h"
#include "platform/display/HeadlessDisplay.h"
#include "platform/vcl/Forms.h"
#include "skin/shell/SkinShellListView.h"

namespace {

std::string MakeFolder(int Files)
{
  std::string pattern = std::filesystem::temp_directory_path().string() + "/qv_shelllist_bench_XXXXXX";
  if (!mkdtemp(pattern.data()))
    return std::string();
  for (int i = 0; i < Files; ++i)
    std::ofstream(pattern + "/clip " + std::to_string(i * 7919 % Files) + ".avi") << "x";
  for (int i = 0; i < 20; ++i)
    std::filesystem::create_directory(pattern + "/folder " + std::to_string(i));
  return pattern;
}

// The plain way: read the folder and stat every entry.
long PlainRead(const std::string& Dir)
{
  long total = 0;
  DIR* d = opendir(Dir.c_str());
  if (!d)
    return 0;
  while (dirent* e = readdir(d)) {
    struct stat st {};
    if (stat((Dir + "/" + e->d_name).c_str(), &st) == 0)
      total += static_cast<long>(st.st_size);
  }
  closedir(d);
  return total;
}

}  // namespace

int main()
{
  SetDisplayBackend(std::make_unique<THeadlessDisplay>());
  const std::string dir = MakeFolder(20000);
  if (dir.empty())
    return 1;
  auto* form = new TForm(nullptr);
  form->SetBounds(0, 0, 800, 600);
  form->Show();
  volatile long sink = 0;
  const auto r = qv::bench::AlternateRuns(
      5, nullptr,
      [&] {
        auto* view = new TskSkinFileListView(form);
        view->SetParent(form);
        view->SetBounds(0, 0, 780, 580);
        view->SetViewStyle(vsReport);
        view->SetRoot(dir);
        view->Repaint();
        Application->ProcessMessages();
        sink = sink + view->FolderCount();
        delete view;
      },
      [&] { sink = sink + PlainRead(dir); });
  qv::bench::PrintRatio("details view of 20,000 files vs readdir+stat", r, "<= 15 (no long freeze)");
  delete form;
  std::filesystem::remove_all(dir);
  return 0;
}
