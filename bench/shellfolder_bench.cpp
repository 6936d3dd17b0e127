// Opening a folder of 2,000 and of 20,000 entries in the shell namespace, against the plainest read of the
// same folder (readdir and one stat per entry): the namespace's enumeration sorted in the shell's
// order, and the folder tree filling the node of that folder (ids, names, icons, the
// has-subfolders look into every child). Two layouts: 20,000 empty folders (every child is
// opened by the has-subfolders test) and 20,000 files with the tree asking for folders only.
#include <dirent.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "RatioRuns.h"
#include "platform/display/HeadlessDisplay.h"
#include "platform/vcl/Forms.h"
#include "skin/shell/SkinShellTreeView.h"

namespace {

std::string MakeFolder(const char* Name, int Count, bool Folders)
{
  std::string dir = std::filesystem::temp_directory_path().string() + "/qv-shell-bench-" + Name;
  std::filesystem::remove_all(dir);
  std::filesystem::create_directories(dir);
  for (int i = 0; i < Count; ++i) {
    const std::string path = dir + "/entry " + std::to_string(i);
    if (Folders)
      mkdir(path.c_str(), 0700);
    else
      std::fclose(std::fopen(path.c_str(), "w"));
  }
  return dir;
}

void PlainRead(const std::string& Dir)
{
  DIR* d = opendir(Dir.c_str());
  std::vector<std::string> names;
  while (const dirent* e = readdir(d)) {
    struct stat st {};
    fstatat(dirfd(d), e->d_name, &st, 0);
    names.emplace_back(e->d_name);
  }
  closedir(d);
  std::sort(names.begin(), names.end());
}

void NamespaceRead(IShellFolder* Desktop, const std::string& Dir)
{
  LPITEMIDLIST list = nullptr;
  ULONG eaten = 0;
  Desktop->ParseDisplayName(nullptr, nullptr, Dir.c_str(), &eaten, &list, nullptr);
  TskShellFolder* item = CreateItemForIdList(list);
  FreeItemIdList(list);
  TComRef<IEnumIDList> ids;
  item->GetShellFolder()->EnumObjects(nullptr, SHCONTF_FOLDERS | SHCONTF_NONFOLDERS, ids.Put());
  std::vector<LPITEMIDLIST> all;
  LPITEMIDLIST id = nullptr;
  ULONG fetched = 0;
  while (ids->Next(1, &id, &fetched) == S_OK) all.push_back(id);
  IShellFolder* folder = item->GetShellFolder();
  std::sort(all.begin(), all.end(), [folder](LPITEMIDLIST a, LPITEMIDLIST b) {
    return static_cast<short>(folder->CompareIDs(0, a, b) & 0xFFFF) < 0;
  });
  for (LPITEMIDLIST each : all) FreeItemIdList(each);
  delete item;
}

void TreeOpen(TForm* Form, const std::string& Dir)
{
  auto* tree = new TskSkinDirTreeView(Form);
  tree->SetParent(Form);
  tree->SetBounds(0, 0, 300, 400);
  tree->SetRoot(Dir);
  tree->HandleNeeded();  // builds the root and fills its node
  delete tree;
}

}  // namespace

int main()
{
  std::setvbuf(stdout, nullptr, _IONBF, 0);
  SetDisplayBackend(std::make_unique<THeadlessDisplay>());
  auto* form = new TForm(nullptr);
  form->SetBounds(0, 0, 320, 420);
  IShellFolder* desktop = DesktopShellFolder();
  // Twice the size must cost about twice the time: 2,000 and 20,000 entries (or the count given).
  const char* count = std::getenv("QV_SHELL_BENCH_ENTRIES");
  std::vector<int> counts = count ? std::vector<int>{std::atoi(count)} : std::vector<int>{2000, 20000};
  for (const int entries : counts) {
    std::printf("Opening a folder of %d entries (ratio to readdir + stat + sort of the same folder)\n", entries);
    for (const bool folders : {true, false}) {
      const std::string dir = MakeFolder(folders ? "folders" : "files", entries, folders);
      const std::string kind = std::to_string(entries) + (folders ? " folders" : " files");
      char what[96];
      std::snprintf(what, sizeof what, "namespace listing, %s", kind.c_str());
      qv::bench::PrintRatio(what, qv::bench::AlternateRuns(5, nullptr, [&] { NamespaceRead(desktop, dir); }, [&] { PlainRead(dir); }),
                            "<= 8 (and well under 1 s)");
      std::snprintf(what, sizeof what, "folder tree fills the node, %s", kind.c_str());
      qv::bench::PrintRatio(what, qv::bench::AlternateRuns(3, nullptr, [&] { TreeOpen(form, dir); }, [&] { PlainRead(dir); }),
                            folders ? "<= 5 (linear in the count)" : "<= 5 (files are not shown)");
      std::filesystem::remove_all(dir);
    }
  }
  delete form;
  return 0;
}
