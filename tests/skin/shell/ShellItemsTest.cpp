#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstring>
#include <memory>

#include "platform/os/ShellFolders.h"
#include "tests/skin/shell/ShellNamespaceTestSupport.h"
#include "tests/support/UnreadableFile.h"

using shelltest::OddNames;
using shelltest::TShellTreeTest;

namespace {

// A list of one-byte-named folder ids "a", "b", ... (Count of them).
LPITEMIDLIST Chain(int Count)
{
  std::vector<TItemId> items;
  for (int i = 0; i < Count; ++i) items.push_back({ITEMKIND_FOLDER, std::string(1, static_cast<char>('a' + i))});
  return ItemIdListFromItems(items);
}

std::vector<std::string> NamesOf(LPCITEMIDLIST List)
{
  std::vector<TItemId> items;
  EXPECT_TRUE(ItemIdListItems(List, items));
  std::vector<std::string> names;
  for (const TItemId& item : items) names.push_back(item.Name);
  return names;
}

struct TItemDeleter {
  void operator()(TskShellFolder* Item) const { delete Item; }
};
using TItemPtr = std::unique_ptr<TskShellFolder, TItemDeleter>;

}  // namespace

TEST(ShellItemIdLists, SizesAndCounts)
{
  EXPECT_EQ(ItemIdListSize(nullptr), 0u);
  EXPECT_EQ(CountItemIds(nullptr), 0);
  struct TCase {
    int Ids;
    UINT Size;  // each id: 2 count bytes + kind + one name byte
  } cases[] = {{0, 2}, {1, 6}, {3, 14}};
  for (const TCase& c : cases) {
    LPITEMIDLIST list = Chain(c.Ids);
    EXPECT_EQ(ItemIdListSize(list), c.Size) << c.Ids;
    EXPECT_EQ(CountItemIds(list), c.Ids);
    FreeItemIdList(list);
  }
}

TEST(ShellItemIdLists, AncestorsAreEveryProperPrefixShortestFirst)
{
  LPITEMIDLIST list = Chain(3);
  TList* ancestors = AncestorItemIdLists(list);
  ASSERT_EQ(ancestors->GetCount(), 3);
  EXPECT_EQ(NamesOf(static_cast<LPITEMIDLIST>(ancestors->Get(0))), std::vector<std::string>{});
  EXPECT_EQ(NamesOf(static_cast<LPITEMIDLIST>(ancestors->Get(1))), (std::vector<std::string>{"a"}));
  EXPECT_EQ(NamesOf(static_cast<LPITEMIDLIST>(ancestors->Get(2))), (std::vector<std::string>{"a", "b"}));
  FreeItemIdLists(ancestors);
  LPITEMIDLIST empty = Chain(0);
  ancestors = AncestorItemIdLists(empty);
  EXPECT_EQ(ancestors->GetCount(), 0);
  FreeItemIdLists(ancestors);
  FreeItemIdLists(nullptr);
  FreeItemIdList(empty);
  FreeItemIdList(list);
}

TEST(ShellItemIdLists, TrimJoinAndLastCopy)
{
  LPITEMIDLIST list = Chain(3);
  LPITEMIDLIST last = LastItemIdCopy(list);
  EXPECT_EQ(NamesOf(last), (std::vector<std::string>{"c"}));
  LPITEMIDLIST joined = JoinItemIdLists(list, last);
  EXPECT_EQ(NamesOf(joined), (std::vector<std::string>{"a", "b", "c", "c"}));
  LPITEMIDLIST alone = JoinItemIdLists(nullptr, last);
  EXPECT_EQ(NamesOf(alone), (std::vector<std::string>{"c"}));
  TrimLastItemId(joined);
  EXPECT_EQ(NamesOf(joined), (std::vector<std::string>{"a", "b", "c"}));
  EXPECT_TRUE(SameItemIdList(joined, list));
  TrimLastItemId(joined);
  EXPECT_FALSE(SameItemIdList(joined, list));
  TrimLastItemId(nullptr);
  LPITEMIDLIST empty = Chain(0);
  LPITEMIDLIST emptyCopy = LastItemIdCopy(empty);
  EXPECT_EQ(ItemIdListSize(emptyCopy), 2u);
  for (LPITEMIDLIST each : {list, last, joined, alone, empty, emptyCopy}) FreeItemIdList(each);
}

TEST(ShellTexts, QuestionMarkBeforeDigitIsDropped)
{
  struct TCase {
    const char* In;
    const char* Out;
  } cases[] = {{"?1abc", "1abc"}, {"?12?3", "123"}, {"?a", "?a"}, {"?", "?"}, {"a?1", "a?1"}, {"", ""}};
  for (const TCase& c : cases) {
    STRRET strRet{};
    strRet.uType = STRRET_CSTR;
    std::strcpy(strRet.cStr, c.In);
    EXPECT_EQ(StrRetToText(nullptr, strRet), c.Out) << c.In;
  }
  // STRRET_OFFSET: the bytes of the id from the offset to its end.
  LPITEMIDLIST id = ItemIdListFromItems({{ITEMKIND_FOLDER, "name"}});
  STRRET offset{};
  offset.uType = STRRET_OFFSET;
  offset.uOffset = 3;
  EXPECT_EQ(StrRetToText(id, offset), "name");
  FreeItemIdList(id);
  EXPECT_EQ(ShellDisplayName(nullptr, nullptr, 0), "parentfolder = nil");
}

TEST(ShellTexts, RootNamesAndObjectTypes)
{
  EXPECT_EQ(RootFolderIndex("rfMyComputer"), rfMyComputer);
  EXPECT_EQ(RootFolderIndex("RFDESKTOP"), rfDesktop);
  EXPECT_EQ(RootFolderIndex("rfTemplates"), rfTemplates);
  EXPECT_EQ(RootFolderIndex("/home"), -1);
  EXPECT_EQ(RootFolderIndex(""), -1);
  EXPECT_EQ(RootFolderCsidl(rfMyComputer), 17);
  EXPECT_EQ(RootFolderCsidl(rfAppData), 26);
  EXPECT_EQ(ObjectTypesToEnumFlags(ShellObjectTypeBit(otFolders)), 0x20u);
  EXPECT_EQ(ObjectTypesToEnumFlags(ShellObjectTypeBit(otFolders) | ShellObjectTypeBit(otNonFolders) |
                                   ShellObjectTypeBit(otHidden)),
            0xE0u);
}

TEST_F(TShellTreeTest, DesktopHoldsHomeComputerAndTheDesktopFolder)
{
  WriteBytes(Home + "/Desktop/notes.txt", "x");
  mkdir((Home + "/Desktop/Projects").c_str(), 0700);
  EXPECT_EQ(ListNames(DesktopShellFolder(), SHCONTF_FOLDERS | SHCONTF_NONFOLDERS),
            (std::vector<std::string>{"Home", "Computer", "Projects", "notes.txt"}));
  // The desktop item itself.
  TskShellFolder* desktop = DesktopShellItem();
  ASSERT_NE(desktop, nullptr);
  EXPECT_EQ(desktop->GetDisplayName(), "Desktop");
  EXPECT_EQ(desktop->GetParsingName(), Home + "/Desktop");
  // Home leads to the home folder.
  LPITEMIDLIST homeList = nullptr;
  ASSERT_EQ(SHGetSpecialFolderLocation(nullptr, CSIDL_DESKTOP, &homeList), S_OK);
  FreeItemIdList(homeList);
  LPITEMIDLIST home = ItemIdListFromItems({{ITEMKIND_VIRTUAL, HomeItemName}, {ITEMKIND_FOLDER, "tree"}});
  TItemPtr item(CreateItemForIdList(home));
  EXPECT_EQ(item->GetParsingName(), Tree);
  EXPECT_EQ(item->GetFileSystemPath(), Tree);
  FreeItemIdList(home);
}

TEST_F(TShellTreeTest, ComputerListsTheRootVolumeFirstAndIsNamedByItsDisplayName)
{
  TItemPtr computer(nullptr);
  String root = "rfMyComputer";
  computer.reset(ResolveRootFolder(nullptr, "", root));
  EXPECT_EQ(computer->GetDisplayName(), "Computer");
  // Its parsing name begins with "::{", so the normal name stands.
  EXPECT_EQ(computer->GetParsingName(), "Computer");
  EXPECT_EQ(computer->GetFileSystemPath(), "");
  EXPECT_TRUE(computer->IsFolder());
  const std::vector<std::string> volumes = ListNames(computer->GetShellFolder(), SHCONTF_FOLDERS);
  ASSERT_FALSE(volumes.empty());
  EXPECT_EQ(volumes.front(), "File System");
}

TEST_F(TShellTreeTest, FolderListsNamesAsTheyAreAndHidesHiddenUnlessAsked)
{
  MakeTree();
  TItemPtr tree(ItemOfPath(Tree));
  ASSERT_NE(tree, nullptr);
  std::vector<std::string> folders = {"empty", "link", "plain"};
  // A question mark before a digit is the one thing a shown name drops.
  for (const std::string& name : OddNames()) folders.push_back(name[0] == '?' ? name.substr(1) : name);
  std::vector<std::string> listed = ListNames(tree->GetShellFolder(), SHCONTF_FOLDERS);
  std::vector<std::string> sorted = listed;
  std::sort(sorted.begin(), sorted.end());
  std::sort(folders.begin(), folders.end());
  EXPECT_EQ(sorted, folders);
  // Hidden folders only when asked; files (and links that lead nowhere or loop) only when asked.
  listed = ListNames(tree->GetShellFolder(), SHCONTF_FOLDERS | SHCONTF_INCLUDEHIDDEN);
  EXPECT_NE(std::find(listed.begin(), listed.end(), ".hidden"), listed.end());
  listed = ListNames(tree->GetShellFolder(), SHCONTF_NONFOLDERS);
  EXPECT_EQ(listed, (std::vector<std::string>{"a.txt", "archive.ZIP", "dangling", "loop1", "loop2"}));
  // Folders come before files.
  listed = ListNames(tree->GetShellFolder(), SHCONTF_FOLDERS | SHCONTF_NONFOLDERS);
  EXPECT_EQ(listed.back(), "loop2");
}

TEST_F(TShellTreeTest, OddNamesRoundTripThroughIdsPathsAndNames)
{
  MakeTree();
  TItemPtr tree(ItemOfPath(Tree));
  ASSERT_NE(tree, nullptr);
  for (const std::string& name : OddNames()) {
    const std::string path = Tree + "/" + name;
    TItemPtr item(ItemOfPath(path));
    ASSERT_NE(item, nullptr) << name;
    EXPECT_EQ(item->GetParsingName(), path) << name;
    EXPECT_EQ(item->GetFileSystemPath(), path) << name;
    if (name[0] != '?') {
      EXPECT_EQ(item->GetDisplayName(), name);
    }
    EXPECT_TRUE(item->IsFolder()) << name;
    // A child bound through the tree's folder names the same place.
    LPITEMIDLIST rel = ItemIdListFromItems({{ITEMKIND_FOLDER, name}});
    TComRef<IShellFolder> folder = TComRef<IShellFolder>::Adopt(BindChildFolder(tree->GetShellFolder(), rel, nullptr));
    EXPECT_TRUE(folder) << name;
    TskShellFolder child(tree.get(), folder.Get(), rel);
    EXPECT_TRUE(SameItemIdList(child.GetAbsoluteID(), item->GetAbsoluteID())) << name;
    FreeItemIdList(rel);
  }
}

TEST_F(TShellTreeTest, AttributesFollowTheFileSystem)
{
  MakeTree();
  struct TCase {
    const char* Name;
    bool Folder;
    unsigned Properties;  // among hidden and link
    int Icon;
  } cases[] = {
      {"plain", true, 0, siFolder},          {".hidden", true, spHidden, siFolder},
      {"link", true, spLink, siFolderLink},  {"loop1", false, spLink, siFileLink},
      {"dangling", false, spLink, siFileLink}, {"a.txt", false, 0, siFile},
      {"archive.ZIP", false, 0, siFile},
  };
  for (const TCase& c : cases) {
    TItemPtr item(ItemOfPath(Tree + "/" + c.Name));
    ASSERT_NE(item, nullptr) << c.Name;
    EXPECT_EQ(item->IsFolder(), c.Folder) << c.Name;
    EXPECT_EQ(item->GetProperties() & (spHidden | spLink), c.Properties) << c.Name;
    EXPECT_TRUE(item->GetProperties() & spFileSystem) << c.Name;
    EXPECT_EQ(item->GetIconIndex(false), c.Icon) << c.Name;
    EXPECT_TRUE(item->GetCapabilities() & scRename) << c.Name;
  }
  TItemPtr plain(ItemOfPath(Tree + "/plain"));
  TItemPtr empty(ItemOfPath(Tree + "/empty"));
  EXPECT_TRUE(plain->HasSubFolders());
  EXPECT_FALSE(empty->HasSubFolders());
}

TEST_F(TShellTreeTest, UnreadableFolderShowsAsSuchAndListsNothing)
{
  MakeTree();
  MakeDir("locked");
  MakeDir("locked/inside");
  TItemPtr locked(ItemOfPath(Tree + "/locked"));
  ASSERT_NE(locked, nullptr);
  testsupport::TUnreadableFile guard(Tree + "/locked");
  if (!guard.Usable()) GTEST_SKIP() << guard.Why;
  EXPECT_TRUE(locked->IsFolder());
  EXPECT_FALSE(locked->HasSubFolders());
  EXPECT_EQ(locked->GetIconIndex(false), siFolderLocked);
  EXPECT_FALSE(FolderHasItems(locked->GetShellFolder(), SHCONTF_FOLDERS | SHCONTF_NONFOLDERS));
  TComRef<IEnumIDList> items;
  EXPECT_TRUE(FAILED(locked->GetShellFolder()->EnumObjects(nullptr, SHCONTF_FOLDERS, items.Put())));
}

TEST_F(TShellTreeTest, LevelsCountTheParentChain)
{
  MakeTree();
  TItemPtr root(ItemOfPath(Tree));
  EXPECT_EQ(root->GetLevel(), 0);
  EXPECT_EQ(root->GetParent(), DesktopShellItem());
  LPITEMIDLIST rel = ItemIdListFromItems({{ITEMKIND_FOLDER, "plain"}});
  TComRef<IShellFolder> folder = TComRef<IShellFolder>::Adopt(BindChildFolder(root->GetShellFolder(), rel, nullptr));
  TskShellFolder child(root.get(), folder.Get(), rel);
  EXPECT_EQ(child.GetLevel(), 1);
  LPITEMIDLIST innerRel = ItemIdListFromItems({{ITEMKIND_FOLDER, "inner"}});
  TskShellFolder grandchild(&child, nullptr, innerRel);
  EXPECT_EQ(grandchild.GetLevel(), 2);
  EXPECT_EQ(grandchild.GetParsingName(), Tree + "/plain/inner");
  FreeItemIdList(innerRel);
  FreeItemIdList(rel);
}

TEST_F(TShellTreeTest, RenameKeepsTheParentChainAndNeverOverwrites)
{
  MakeTree();
  WriteBytes(Tree + "/plain/first.txt", "first");
  WriteBytes(Tree + "/plain/second.txt", "second");
  TItemPtr plain(ItemOfPath(Tree + "/plain"));
  LPITEMIDLIST rel = ItemIdListFromItems({{ITEMKIND_FILE, "first.txt"}});
  TskShellFolder file(plain.get(), nullptr, rel);
  FreeItemIdList(rel);
  // Onto an existing name: refused, and the other file keeps its bytes.
  try {
    file.Rename("second.txt");
    FAIL() << "renamed over an existing file";
  } catch (const Exception& e) {
    EXPECT_EQ(e.Message(), "Rename to second.txt failed");
  }
  EXPECT_EQ(ReadBytes(Tree + "/plain/second.txt"), "second");
  EXPECT_THROW(file.Rename("a/b"), Exception);
  const std::string odd = "new \"name\"\n\\";
  EXPECT_TRUE(file.Rename(odd));
  EXPECT_EQ(ReadBytes(Tree + "/plain/" + odd), "first");
  EXPECT_EQ(file.GetParsingName(), Tree + "/plain/" + odd);
  const UINT parentSize = ItemIdListSize(plain->GetAbsoluteID()) - 2;
  EXPECT_EQ(std::memcmp(file.GetAbsoluteID(), plain->GetAbsoluteID(), parentSize), 0);
}

TEST_F(TShellTreeTest, DetailsFromTheFileSystem)
{
  MakeTree();
  const std::string big = Tree + "/plain/big.bin";
  {
    const int fd = open(big.c_str(), O_CREAT | O_WRONLY, 0600);
    ASSERT_GE(fd, 0);
    ASSERT_EQ(ftruncate(fd, 5LL << 30), 0);  // sparse: 5 GiB of nothing
    close(fd);
  }
  TItemPtr plain(ItemOfPath(Tree + "/plain"));
  LPITEMIDLIST rel = ItemIdListFromItems({{ITEMKIND_FILE, "big.bin"}});
  TskShellFolder file(plain.get(), nullptr, rel);
  FreeItemIdList(rel);
  EXPECT_THROW(file.GetDetail(1), Exception);
  LoadColumnDetails(&file, plain.get(), nullptr, 4);
  EXPECT_EQ(file.GetDetail(1), "5368709120");
  EXPECT_EQ(file.GetDetail(2), ".bin");
  EXPECT_FALSE(file.GetDetail(3).empty());
  // A folder has no size and no made-up date.
  rel = ItemIdListFromItems({{ITEMKIND_FOLDER, "inner"}});
  TskShellFolder inner(plain.get(), nullptr, rel);
  FreeItemIdList(rel);
  LoadColumnDetails(&inner, plain.get(), nullptr, 3);
  EXPECT_EQ(inner.GetDetail(1), "");
  EXPECT_EQ(inner.GetDetail(3), "");
  // A vanished item: the find data cannot be read.
  rel = ItemIdListFromItems({{ITEMKIND_FILE, "gone"}});
  TskShellFolder gone(plain.get(), nullptr, rel);
  FreeItemIdList(rel);
  EXPECT_THROW(gone.GetFindData(), EInvalidPath);
}

TEST_F(TShellTreeTest, ResolvingRoots)
{
  MakeTree();
  struct TCase {
    const char* Root;
    const char* Stored;  // the Root text afterwards
    const char* Parsing;
  } cases[] = {
      {"C:", "C:\\", "/"},
      {"rfDesktop", "rfDesktop", nullptr},
  };
  for (const TCase& c : cases) {
    String root = c.Root;
    TItemPtr item(ResolveRootFolder(nullptr, "previous", root));
    EXPECT_EQ(root, c.Stored);
    if (c.Parsing) {
      EXPECT_EQ(item->GetParsingName(), c.Parsing);
    }
  }
  String root = Tree;
  TItemPtr current(ResolveRootFolder(nullptr, "", root));
  EXPECT_EQ(current->GetParsingName(), Tree);
  for (const std::string& bad : {Tree + "/missing", std::string("relative/path"), std::string(""), std::string("rfNetwork")}) {
    root = bad;
    try {
      ResolveRootFolder(current.get(), "previous", root);
      ADD_FAILURE() << bad;
    } catch (const Exception& e) {
      EXPECT_EQ(e.Message(), "Error setting path: \"" + bad + "\"");
    }
    EXPECT_EQ(root, "previous");
    EXPECT_EQ(current->GetParsingName(), Tree);
  }
}
