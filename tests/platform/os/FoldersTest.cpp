#include "platform/os/Folders.h"

#include <gtest/gtest.h>

#include <stdlib.h>

#include <filesystem>
#include <map>
#include <optional>

#include "platform/os/ShellFileInfo.h"
#include "platform/os/ShellFolders.h"
#include "tests/support/TempDirTest.h"

namespace {

// A temporary HOME with its own XDG variables, restored afterwards.
class TFoldersTest : public TTempDirTest {
protected:
  void SetUp() override
  {
    TTempDirTest::SetUp();
    for (const char* name : {"HOME", "XDG_DATA_HOME", "XDG_CONFIG_HOME"}) {
      const char* v = getenv(name);
      Saved[name] = v ? std::optional<std::string>(v) : std::nullopt;
    }
    Home = Dir + "home";
    std::filesystem::create_directories(Home + "/.config");
    setenv("HOME", Home.c_str(), 1);
    unsetenv("XDG_DATA_HOME");
    unsetenv("XDG_CONFIG_HOME");
  }
  void TearDown() override
  {
    for (const auto& [name, value] : Saved) {
      if (value) setenv(name.c_str(), value->c_str(), 1);
      else unsetenv(name.c_str());
    }
    TTempDirTest::TearDown();
  }
  std::map<std::string, std::optional<std::string>> Saved;
  std::string Home;
};

TEST_F(TFoldersTest, MapsSpecialFoldersToXdgFolders)
{
  WriteBytes(Home + "/.config/user-dirs.dirs",
             "# written by xdg-user-dirs-update\n"
             "XDG_DESKTOP_DIR=\"$HOME/Schreibtisch\"\n"
             "XDG_DOCUMENTS_DIR=\"$HOME/\"\n"       // set to $HOME: disabled
             "XDG_VIDEOS_DIR=\"/srv/media/Filme\"\n"
             "XDG_MUSIC_DIR=relative/ignored\n"      // not quoted: ignored
             "XDG_PICTURES_DIR=\"$HOME/Bilder\"\n");
  const struct {
    int Csidl;
    TSpecialFolderKind Kind;
    std::string Path;
  } cases[] = {
      {CSIDL_DESKTOP, sfFolder, Home + "/Schreibtisch"},
      {CSIDL_DESKTOPDIRECTORY, sfFolder, Home + "/Schreibtisch"},
      {CSIDL_PERSONAL, sfFolder, Home},
      {CSIDL_MYVIDEO, sfFolder, "/srv/media/Filme"},
      {CSIDL_MYMUSIC, sfFolder, Home + "/Music"},
      {CSIDL_MYPICTURES, sfFolder, Home + "/Bilder"},
      {CSIDL_APPDATA, sfFolder, Home + "/.local/share"},
      {CSIDL_APPDATA | CSIDL_FLAG_CREATE, sfFolder, Home + "/.local/share"},
      {CSIDL_PROGRAMS, sfFolder, Home + "/.local/share/applications"},
      {CSIDL_STARTUP, sfFolder, Home + "/.config/autostart"},
      {CSIDL_SENDTO, sfFolder, Home + "/.local/share/applications"},
      {CSIDL_PROFILE, sfFolder, Home},
      {CSIDL_DRIVES, sfVirtual, "Computer"},
      {CSIDL_PRINTERS, sfUnknown, ""},
      {CSIDL_RECENT, sfUnknown, ""},
      {999, sfUnknown, ""},
  };
  for (const auto& c : cases) {
    std::string path = "stale";
    EXPECT_EQ(SpecialFolderMapping(c.Csidl, path), c.Kind) << c.Csidl;
    EXPECT_EQ(path, c.Path) << c.Csidl;
  }
  // Absolute XDG base folders count; relative ones do not.
  setenv("XDG_DATA_HOME", (Dir + "data").c_str(), 1);
  setenv("XDG_CONFIG_HOME", "relative", 1);
  std::string path;
  SpecialFolderMapping(CSIDL_APPDATA, path);
  EXPECT_EQ(path, Dir + "data");
  SpecialFolderMapping(CSIDL_STARTUP, path);
  EXPECT_EQ(path, Home + "/.config/autostart");
}

TEST_F(TFoldersTest, FolderPathsAreMadeOnlyWhenAsked)
{
  char path[MAX_PATH];
  EXPECT_FALSE(SHGetSpecialFolderPathA(nullptr, path, CSIDL_APPDATA, FALSE));
  EXPECT_STREQ(path, "");
  ASSERT_TRUE(SHGetSpecialFolderPathA(nullptr, path, CSIDL_APPDATA, TRUE));
  EXPECT_EQ(std::string(path), Home + "/.local/share");
  EXPECT_TRUE(std::filesystem::is_directory(path));
  EXPECT_FALSE(SHGetSpecialFolderPathA(nullptr, path, CSIDL_DRIVES, TRUE));  // virtual: no folder
  EXPECT_FALSE(SHGetSpecialFolderPathA(nullptr, path, CSIDL_PRINTERS, TRUE));
  EXPECT_EQ(SHGetFolderPathA(nullptr, CSIDL_MYVIDEO, nullptr, 0, path), HRESULT_FROM_WIN32(2));
  EXPECT_EQ(SHGetFolderPathA(nullptr, CSIDL_MYVIDEO | CSIDL_FLAG_CREATE, nullptr, 0, path), S_OK);
  EXPECT_EQ(std::string(path), Home + "/Videos");

  // A folder too long for a path buffer is refused, not cut.
  const std::string part(100, 'h');
  const std::string longHome = Dir + part + "/" + part + "/" + part;
  std::filesystem::create_directories(longHome + "/.local/share");
  setenv("HOME", longHome.c_str(), 1);
  EXPECT_FALSE(SHGetSpecialFolderPathA(nullptr, path, CSIDL_APPDATA, FALSE));
  EXPECT_STREQ(path, "");
}

TEST_F(TFoldersTest, ItemIdListsOfSpecialFolders)
{
  std::filesystem::create_directories(Home + "/Videos");
  LPITEMIDLIST list = nullptr;
  ASSERT_EQ(SHGetSpecialFolderLocation(nullptr, CSIDL_MYVIDEO, &list), S_OK);
  char path[MAX_PATH];
  ASSERT_TRUE(SHGetPathFromIDListA(list, path));
  EXPECT_EQ(std::string(path), Home + "/Videos");
  // Computer, the volume, then the components below it.
  std::vector<TItemId> items;
  ASSERT_TRUE(ItemIdListItems(list, items));
  ASSERT_GE(items.size(), 3u);
  EXPECT_EQ(items[0].Kind, ITEMKIND_VIRTUAL);
  EXPECT_EQ(items[0].Name, "Computer");
  EXPECT_EQ(items[1].Kind, ITEMKIND_VOLUME);
  EXPECT_EQ(items.back().Kind, ITEMKIND_FOLDER);
  EXPECT_EQ(items.back().Name, "Videos");
  IMalloc* malloc = nullptr;
  ASSERT_EQ(SHGetMalloc(&malloc), S_OK);
  malloc->Free(list);
  malloc->Release();

  // The desktop is the empty list, and its path is the desktop folder.
  ASSERT_EQ(SHGetSpecialFolderLocation(nullptr, CSIDL_DESKTOP, &list), S_OK);
  EXPECT_EQ(ILGetSize(list), 2u);
  std::filesystem::create_directories(Home + "/Desktop");
  ASSERT_TRUE(SHGetPathFromIDListA(list, path));
  EXPECT_EQ(std::string(path), Home + "/Desktop");
  ILFree(list);

  // My Computer has no path.
  ASSERT_EQ(SHGetSpecialFolderLocation(nullptr, CSIDL_DRIVES, &list), S_OK);
  EXPECT_FALSE(SHGetPathFromIDListA(list, path));
  EXPECT_STREQ(path, "");
  CoTaskMemFree(list);

  list = reinterpret_cast<LPITEMIDLIST>(1);
  EXPECT_EQ(SHGetSpecialFolderLocation(nullptr, CSIDL_MYMUSIC, &list), HRESULT_FROM_WIN32(2));  // no such folder
  EXPECT_EQ(list, nullptr);
  EXPECT_EQ(SHGetSpecialFolderLocation(nullptr, CSIDL_PRINTERS, &list), E_INVALIDARG);
}

TEST_F(TFoldersTest, DisplayNamesOfItems)
{
  std::filesystem::create_directories(Home + "/Videos");
  LPITEMIDLIST desktop = nullptr, computer = nullptr, videos = nullptr;
  ASSERT_EQ(SHGetSpecialFolderLocation(nullptr, CSIDL_DESKTOP, &desktop), S_OK);
  ASSERT_EQ(SHGetSpecialFolderLocation(nullptr, CSIDL_DRIVES, &computer), S_OK);
  ASSERT_EQ(SHGetSpecialFolderLocation(nullptr, CSIDL_MYVIDEO, &videos), S_OK);
  std::string longName;
  for (int i = 0; i < 150; ++i) longName += "\xC3\xA9";  // 300 bytes of two-byte characters
  LPITEMIDLIST longItem = ItemIdListFromItems({{ITEMKIND_VIRTUAL, "Computer"}, {ITEMKIND_VOLUME, "/"}, {ITEMKIND_FOLDER, longName}});
  const struct {
    LPCITEMIDLIST List;
    std::string Name;
  } cases[] = {
      {desktop, "Desktop"},
      {computer, "Computer"},
      {videos, "Videos"},
      {longItem, longName.substr(0, 258)},  // 259 bytes would split a character
  };
  for (const auto& c : cases) {
    SHFILEINFOA info{};
    ASSERT_NE(SHGetFileInfoA(reinterpret_cast<LPCSTR>(c.List), 0, &info, sizeof info, SHGFI_PIDL | SHGFI_DISPLAYNAME), 0u);
    EXPECT_EQ(std::string(info.szDisplayName), c.Name);
  }
  SHFILEINFOA info{};
  ASSERT_NE(SHGetFileInfoA((Home + "/Videos/").c_str(), 0, &info, sizeof info, SHGFI_DISPLAYNAME), 0u);
  EXPECT_STREQ(info.szDisplayName, "Videos");
  EXPECT_EQ(SHGetFileInfoA((Home + "/none").c_str(), 0, &info, sizeof info, SHGFI_DISPLAYNAME), 0u);
  EXPECT_EQ(SHGetFileInfoA(reinterpret_cast<LPCSTR>(videos), 0, &info, sizeof info, SHGFI_PIDL | SHGFI_ICON), 0u);
  EXPECT_EQ(SHGetFileInfoA(reinterpret_cast<LPCSTR>(videos), 0, &info, 100, SHGFI_PIDL | SHGFI_DISPLAYNAME), 0u);
  for (LPITEMIDLIST list : {desktop, computer, videos, longItem}) ILFree(list);
}

TEST_F(TFoldersTest, ItemIdListWireFormAndDamagedLists)
{
  LPITEMIDLIST list = ItemIdListFromItems({{ITEMKIND_VIRTUAL, "Computer"}, {ITEMKIND_VOLUME, "/"}, {ITEMKIND_FILE, "a b"}});
  ASSERT_NE(list, nullptr);
  const std::string expected("\x0B\x00\x1F" "Computer" "\x04\x00\x2F/" "\x06\x00\x32" "a b" "\x00\x00", 23);
  ASSERT_EQ(ILGetSize(list), expected.size());
  EXPECT_EQ(std::string(reinterpret_cast<const char*>(list), expected.size()), expected);
  char path[MAX_PATH];
  ASSERT_TRUE(SHGetPathFromIDListA(list, path));
  EXPECT_STREQ(path, "/a b");
  LPITEMIDLIST next = ILGetNext(list);
  ASSERT_NE(next, nullptr);
  LPITEMIDLIST joined = ILCombine(list, next);  // Computer / a b Computer / a b
  EXPECT_EQ(ILGetSize(joined), 2 * expected.size() - 2 - 11);
  ILFree(joined);
  ILFree(list);

  const struct {
    std::vector<TItemId> Items;
  } unsafe[] = {
      {{{ITEMKIND_VIRTUAL, "Computer"}, {ITEMKIND_VOLUME, "/"}, {ITEMKIND_FOLDER, ".."}}},
      {{{ITEMKIND_VIRTUAL, "Computer"}, {ITEMKIND_VOLUME, "/"}, {ITEMKIND_FOLDER, "etc/passwd"}}},
      {{{ITEMKIND_VIRTUAL, "Computer"}, {ITEMKIND_VOLUME, "relative"}}},
      {{{ITEMKIND_VIRTUAL, "Network"}}},
      {{{ITEMKIND_FOLDER, "home"}}},
  };
  for (const auto& u : unsafe) {
    list = ItemIdListFromItems(u.Items);
    EXPECT_FALSE(SHGetPathFromIDListA(list, path));
    ILFree(list);
  }
  // An item too short to hold its kind byte.
  const char damaged[] = {2, 0, 0, 0};
  EXPECT_FALSE(SHGetPathFromIDListA(reinterpret_cast<LPCITEMIDLIST>(damaged), path));
  EXPECT_FALSE(SHGetPathFromIDListA(nullptr, path));
}

}  // namespace
