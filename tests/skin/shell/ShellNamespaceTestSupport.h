// A fixture for the shell namespace: a temporary home folder (HOME and the XDG folders point
// into it, so the desktop shows its Desktop folder) holding a tree with the names and file
// kinds that a namespace must carry as they are.
#pragma once

#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "skin/shell/SkinShellItems.h"
#include "tests/support/TempDirTest.h"

namespace shelltest {

// Names that must pass unchanged.
inline const std::vector<std::string>& OddNames()
{
  static const std::vector<std::string> names = {"quote\"d", "back\\slash", "new\nline", "bytes \xff\xfe\x80",
                                                 "-leading dash", "?1 question"};
  return names;
}

class TShellTreeTest : public TTempDirTest {
protected:
  void SetUp() override
  {
    TTempDirTest::SetUp();
    SaveEnv("HOME");
    SaveEnv("XDG_CONFIG_HOME");
    SaveEnv("XDG_DATA_HOME");
    Home = Dir + "home";
    mkdir(Home.c_str(), 0700);
    setenv("HOME", Home.c_str(), 1);
    setenv("XDG_CONFIG_HOME", (Home + "/.config").c_str(), 1);
    setenv("XDG_DATA_HOME", (Home + "/.local/share").c_str(), 1);
    mkdir((Home + "/Desktop").c_str(), 0700);
    Tree = Home + "/tree";
    mkdir(Tree.c_str(), 0700);
  }
  void TearDown() override
  {
    for (const auto& [name, value] : FSaved) {
      if (value.first)
        setenv(name.c_str(), value.second.c_str(), 1);
      else
        unsetenv(name.c_str());
    }
    chmod((Tree + "/locked").c_str(), 0700);
    TTempDirTest::TearDown();
  }

  // Tree: plain/, plain/inner/, .hidden/, empty/, a.txt, archive.ZIP, link -> plain,
  // loop1 -> loop2 -> loop1, dangling -> missing, and a folder for each odd name.
  void MakeTree()
  {
    MakeDir("plain");
    MakeDir("plain/inner");
    MakeDir(".hidden");
    MakeDir("empty");
    WriteBytes(Tree + "/a.txt", "text");
    WriteBytes(Tree + "/archive.ZIP", "PK");
    symlink("plain", (Tree + "/link").c_str());
    symlink("loop2", (Tree + "/loop1").c_str());
    symlink("loop1", (Tree + "/loop2").c_str());
    symlink("missing", (Tree + "/dangling").c_str());
    for (const std::string& name : OddNames()) MakeDir(name);
  }
  void MakeDir(const std::string& Relative) { ASSERT_EQ(mkdir((Tree + "/" + Relative).c_str(), 0700), 0); }

  // An item for an absolute path (owned by the caller).
  static TskShellFolder* ItemOfPath(const std::string& Path)
  {
    ULONG eaten = 0;
    LPITEMIDLIST list = nullptr;
    if (FAILED(DesktopShellFolder()->ParseDisplayName(nullptr, nullptr, Path.c_str(), &eaten, &list, nullptr))) return nullptr;
    TskShellFolder* item = CreateItemForIdList(list);
    FreeItemIdList(list);
    return item;
  }

  // The display names of what Folder lists for Flags, in the namespace's order.
  static std::vector<std::string> ListNames(IShellFolder* Folder, DWORD Flags)
  {
    std::vector<std::string> names;
    TComRef<IEnumIDList> items;
    if (FAILED(Folder->EnumObjects(nullptr, Flags, items.Put()))) return {"<failed>"};
    std::vector<LPITEMIDLIST> ids;
    LPITEMIDLIST id = nullptr;
    ULONG fetched = 0;
    while (items->Next(1, &id, &fetched) == S_OK) ids.push_back(id);
    std::sort(ids.begin(), ids.end(), [Folder](LPITEMIDLIST a, LPITEMIDLIST b) {
      return static_cast<short>(Folder->CompareIDs(0, a, b) & 0xFFFF) < 0;
    });
    for (LPITEMIDLIST each : ids) {
      names.push_back(ShellDisplayName(Folder, each, SHGDN_NORMAL));
      FreeItemIdList(each);
    }
    return names;
  }

  std::string Home;
  std::string Tree;

private:
  void SaveEnv(const std::string& Name)
  {
    const char* v = std::getenv(Name.c_str());
    FSaved.push_back({Name, {v != nullptr, v ? v : ""}});
  }
  std::vector<std::pair<std::string, std::pair<bool, std::string>>> FSaved;
};

}  // namespace shelltest
