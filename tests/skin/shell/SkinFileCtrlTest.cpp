// The file controls: the path routines, the drive combo box over a fake volume table, the
// directory list box, the file list box and the filter combo box over real folders, with names
// that hold quotes, backslashes, newlines, a leading '-', bytes that are no UTF-8 and 255 bytes.
#include <filesystem>
#include <fstream>

#include "platform/os/DiscWatch.h"
#include "platform/rtl/Exceptions.h"
#include "platform/rtl/Paths.h"
#include "platform/vcl/EditCtrls.h"
#include "platform/vcl/Forms.h"
#include "platform/win/WinUser.h"
#include "skin/controls/SkinStdLabels.h"
#include "skin/shell/SkinDirectoryListBox.h"
#include "skin/shell/SkinDriveComboBox.h"
#include "skin/shell/SkinFileListBox.h"
#include "skin/shell/SkinFilePaths.h"
#include "skin/shell/SkinFilterComboBox.h"
#include "tests/platform/os/VolumeFakeTree.h"
#include "tests/skin/shell/FileCtrlTestSupport.h"

namespace {

// The fake volume tree of the volume tests, set up and torn down by hand inside a window test.
class TFakeVolumes : public TVolumeTreeTest {
public:
  using TVolumeTreeTest::Dir;
  using TVolumeTreeTest::InsertDisc;
  using TVolumeTreeTest::RemoveDisc;
  using TVolumeTreeTest::SetUp;
  using TVolumeTreeTest::TearDown;
  using TVolumeTreeTest::WriteMountTable;
  void TestBody() override {}
};

using filetest::OddNames;

class SkinFileCtrlTest : public filetest::TFolderWindowTest {
protected:
  static std::vector<std::string> ItemsOf(TStrings* Items)
  {
    std::vector<std::string> v;
    for (int i = 0; i < Items->GetCount(); ++i)
      v.push_back(Items->Get(i));
    return v;
  }
};

// ---- path routines ----

TEST(SkinFilePaths, JoinsAndCountsWithSlashesOnly)
{
  struct Case {
    const char* Path;
    const char* Part;
    const char* Joined;
    int Levels;
  } const cases[] = {
      {"/home/ann", "clip.avi", "/home/ann/clip.avi", 2},
      {"/", "tmp", "/tmp", 1},
      {"/a\\b/", "c\\d", "/a\\b/c\\d", 2},
      {"", "x", "/x", 0},
  };
  for (const Case& k : cases) {
    SCOPED_TRACE(k.Path);
    EXPECT_EQ(AppendPathPart(k.Path, k.Part), k.Joined);
    EXPECT_EQ(CountPathLevels(k.Path), k.Levels);
  }
}

TEST(SkinFilePaths, CutsTheFirstFolderAndKeepsDotFolders)
{
  struct Case {
    const char* In;
    const char* Out;
  } const cases[] = {
      {"/a/b/c/", "/.../b/c/"}, {"/.../b/c/", "/.../c/"}, {"/.../c/", "/.../"}, {".../", ""},
      {"/", ""},
      // A folder whose name starts with '.' is a folder like any other, not an earlier cut.
      {"/.config/b/", "/.../b/"}, {"/.a/b/", "/.../b/"},
  };
  for (const Case& k : cases) {
    SCOPED_TRACE(k.In);
    String s = k.In;
    CutFirstPathFolder(s);
    EXPECT_EQ(s, k.Out);
  }
}

TEST_F(SkinFileCtrlTest, ShortensAPathFolderByFolderToFit)
{
  TCanvas* c = Form->GetCanvas();
  const String path = "/alpha/bravo/charlie/file.txt";
  const char* steps[] = {"/alpha/bravo/charlie/file.txt", "/.../bravo/charlie/file.txt", "/.../charlie/file.txt",
                         ".../file.txt", "file.txt"};
  for (const char* expected : steps) {
    SCOPED_TRACE(expected);
    EXPECT_EQ(ShortenPathToWidth(path, c, c->TextWidth(expected)), expected);
  }
  EXPECT_EQ(ShortenPathToWidth(path, c, 0), "file.txt");
}

TEST_F(SkinFileCtrlTest, SplitsAnEditedPathAndLeavesTheCurrentDirectory)
{
  MakeDir("sub dir/inner");
  Touch("sub dir/clip.avi");
  for (const std::string& n : OddNames())
    Touch(n);
  SetCurrentDir(Dir);
  struct Case {
    std::string Text, Folder, File;
  } cases[] = {
      {Dir + "/sub dir/clip.avi", Dir + "/sub dir", "clip.avi"},
      {Dir + "/sub dir", Dir + "/sub dir", ""},
      {Dir + "/sub dir/inner", Dir + "/sub dir/inner", ""},
      {"*.avi;*.mpg", Dir, "*.avi;*.mpg"},
      {"[sub dir]", Dir + "/sub dir", ""},
      {"sub dir/clip.avi", Dir + "/sub dir", "clip.avi"},
      {"/", "/", ""},
  };
  std::vector<Case> all(std::begin(cases), std::end(cases));
  for (const std::string& n : OddNames())
    all.push_back({Dir + "/" + n, Dir, n});
  for (const Case& k : all) {
    SCOPED_TRACE(k.Text);
    char drive = 0;
    String folder, file;
    SplitEditPath(k.Text, drive, folder, file);
    EXPECT_EQ(folder, k.Folder);
    EXPECT_EQ(file, k.File);
    EXPECT_EQ(GetCurrentDir(), Dir);
  }
  char drive = 0;
  String folder, file;
  EXPECT_THROW(SplitEditPath(Dir + "/missing/clip.avi", drive, folder, file), EInOutError);
  EXPECT_EQ(GetCurrentDir(), Dir);
}

// ---- drive combo box ----

class SkinDriveComboTest : public SkinFileCtrlTest {
protected:
  void SetUp() override
  {
    SkinFileCtrlTest::SetUp();
    Tree.SetUp();
  }
  void TearDown() override
  {
    Tree.TearDown();
    SkinFileCtrlTest::TearDown();
  }
  TskSkinDriveComboBox* NewCombo()
  {
    auto* c = Add<TskSkinDriveComboBox>(Form, "Drives", 10, 10, 200, 20);
    c->HandleNeeded();
    return c;
  }
  TFakeVolumes Tree;
};

TEST_F(SkinDriveComboTest, ListsEveryVolumeWithItsTypeAndLabel)
{
  auto* c = NewCombo();
  struct Case {
    const char* Text;
    UINT Type;
  } const expected[] = {
      {"c: []", DRIVE_FIXED},  {"d: [my_movie]", DRIVE_CDROM},         {"e: []", DRIVE_CDROM},
      {"f: []", DRIVE_FIXED},  {"g: server:/export", DRIVE_REMOTE},    {"h: []", DRIVE_RAMDISK},
      {"i:", DRIVE_REMOVABLE},
  };
  ASSERT_EQ(c->GetItems()->GetCount(), static_cast<int>(std::size(expected)));
  for (int i = 0; i < c->GetItems()->GetCount(); ++i) {
    SCOPED_TRACE(expected[i].Text);
    EXPECT_EQ(c->GetItems()->Get(i), expected[i].Text);
    EXPECT_EQ(c->GetItems()->GetObject(i), c->GlyphOf(expected[i].Type));
    EXPECT_NE(c->GlyphOf(expected[i].Type), nullptr);
  }
  c->SetTextCase(tcUpperCase);
  EXPECT_EQ(c->GetItems()->Get(1), "D: [MY_MOVIE]");
  EXPECT_EQ(c->GetItems()->Get(4), "G: SERVER:/EXPORT");
}

TEST_F(SkinDriveComboTest, DriveFollowsTheItemIndexStepByStep)
{
  auto* c = NewCombo();
  const char letters[] = "cdefghi";
  for (int i = 0; i < c->GetItems()->GetCount(); ++i) {
    c->SetItemIndex(i);
    EXPECT_EQ(c->GetDrive(), letters[i]) << i;
  }
  c->SetItemIndex(2);
  c->SetItemIndex(2);  // the same item again
  EXPECT_EQ(c->GetDrive(), 'e');
}

TEST_F(SkinDriveComboTest, SettingDriveSelectsClearsOrKeepsTheSelection)
{
  auto* c = NewCombo();
  struct Case {
    const char* Name;
    char Letter;
    char Drive;
    int Index;
  } const cases[] = {
      {"a listed letter in upper case", 'F', 'f', 3},
      {"a letter that is not listed", 'q', 'q', 3},
      {"none", 0, 0, -1},
      {"a listed letter again", 'd', 'd', 1},
  };
  for (const Case& k : cases) {
    SCOPED_TRACE(k.Name);
    c->SetDrive(k.Letter);
    EXPECT_EQ(c->GetDrive(), k.Drive);
    EXPECT_EQ(c->GetItemIndex(), k.Index);
  }
}

TEST_F(SkinDriveComboTest, ADiscOrStickThatComesOrGoesRebuildsTheList)
{
  auto* c = NewCombo();
  c->SetDrive('f');
  Tree.InsertDisc("HOLIDAY");
  Tree.WriteMountTable(false);  // the stick is pulled
  EXPECT_EQ(c->GetItems()->Get(2), "e: []");  // nothing happened yet
  SendMessage(c->GetHandle(), WM_DEVICECHANGE, DBT_DEVICEARRIVAL, 0);
  EXPECT_EQ(ItemsOf(c->GetItems()),
            (std::vector<std::string>{"c: []", "d: [my_movie]", "e: [holiday]", "f: []", "g: server:/export", "h: []"}));
  EXPECT_EQ(c->GetDrive(), 'f');
  EXPECT_EQ(c->GetText(), "f: []");
  Tree.RemoveDisc();
  SendMessage(c->GetHandle(), WM_DEVICECHANGE, DBT_DEVICEREMOVECOMPLETE, 0);
  EXPECT_EQ(c->GetItems()->Get(2), "e: []");
}

// ---- directory list box ----

TEST_F(SkinFileCtrlTest, DirectoryListShowsTheWayDownAndTheSubfolders)
{
  MakeDir("a/b/zeta");
  MakeDir("a/b/Alpha");
  MakeDir("a/b/.hidden");
  MakeDir("a/b/-odd \"x\"\\y");
  Touch("a/b/file.avi");
  SetCurrentDir(Dir + "/a/b");
  auto* d = Add<TskSkinDirectoryListBox>(Form, "Dirs", 10, 10, 300, 300);
  d->HandleNeeded();
  std::vector<std::string> expected = {"/"};
  std::vector<std::string> paths = {"/"};
  String walked;
  for (const auto& part : std::filesystem::path(Dir + "/a").relative_path()) {
    expected.push_back(part.string());
    walked += "/" + part.string();
    paths.push_back(walked);
  }
  const int current = static_cast<int>(expected.size());
  expected.push_back("b");
  paths.push_back(Dir + "/a/b");
  TStringList sorted;  // the list's own order
  sorted.SetSorted(true);
  for (const char* sub : {"zeta", "-odd \"x\"\\y", "Alpha"})
    sorted.Add(sub);
  for (int k = 0; k < sorted.GetCount(); ++k) {
    const String sub = sorted.Get(k);
    expected.push_back(sub);
    paths.push_back(Dir + "/a/b/" + sub);
  }
  ASSERT_EQ(ItemsOf(d->GetItems()), expected);
  EXPECT_EQ(d->GetItemIndex(), current);
  for (int i = 0; i < static_cast<int>(expected.size()); ++i) {
    SCOPED_TRACE(expected[i]);
    EXPECT_EQ(d->GetItemPath(i), paths[i]);
    const TBitmap* glyph = i > current ? d->ClosedGlyph() : i == current ? d->CurrentGlyph() : d->OpenedGlyph();
    EXPECT_EQ(d->ItemGlyph(i), glyph);
    EXPECT_EQ(d->ItemIndent(i), i > current ? (CountPathLevels(Dir + "/a/b") + 1) * 4 + 2 : i * 4 + 2);
  }
  EXPECT_EQ(d->GetItemPath(static_cast<int>(expected.size())), "");
}

TEST_F(SkinFileCtrlTest, OpeningAFolderMovesTheListTheFilesAndTheLabel)
{
  MakeDir("top/-odd \"x\"\\y");
  Touch("top/-odd \"x\"\\y/clip.avi");
  SetCurrentDir(Dir + "/top");
  auto* d = Add<TskSkinDirectoryListBox>(Form, "Dirs", 10, 10, 200, 300);
  auto* f = Add<TskSkinFileListBox>(Form, "Files", 220, 10, 200, 300);
  auto* label = new TskSkinStdLabel(Form);
  label->SetParent(Form);
  label->SetAutoSize(false);
  label->SetBounds(10, 320, 60, 20);
  d->SetFileList(f);
  d->SetDirLabel(label);
  int changes = 0;
  d->OnChange = [&](TObject*) { ++changes; };
  d->HandleNeeded();
  f->HandleNeeded();
  const int last = d->GetItems()->GetCount() - 1;
  d->SetItemIndex(last);
  char enter = 13;
  d->ListBoxKeyPress(enter);
  const String target = Dir + "/top/-odd \"x\"\\y";
  EXPECT_EQ(d->GetDirectory(), target);
  EXPECT_EQ(GetCurrentDir(), target);
  EXPECT_EQ(f->GetDirectory(), target);
  EXPECT_EQ(ItemsOf(f->GetItems()), std::vector<std::string>{"clip.avi"});
  EXPECT_EQ(changes, 1);
  EXPECT_LE(label->GetCanvas()->TextWidth(label->GetCaption()), 60);
  EXPECT_TRUE(label->GetCaption().ends_with("/-odd \"x\"\\y")) << label->GetCaption();

  // A folder that cannot be entered raises and changes nothing.
  const auto before = ItemsOf(d->GetItems());
  EXPECT_THROW(d->SetDirectory(Dir + "/top/missing"), EInOutError);
  EXPECT_EQ(d->GetDirectory(), target);
  EXPECT_EQ(ItemsOf(d->GetItems()), before);
  EXPECT_EQ(changes, 1);
}

// ---- file list box and filter combo ----

TEST_F(SkinFileCtrlTest, FileListListsWhatMaskAndAttributesAsk)
{
  for (const char* n : {"a.avi", "B.MPG", "c.txt", ".hidden.avi"})
    Touch(n);
  for (const std::string& n : OddNames())
    Touch(n);
  MakeDir("sub.avi");
  SetCurrentDir(Dir);
  auto* f = Add<TskSkinFileListBox>(Form, "Files", 10, 10, 300, 300);
  f->HandleNeeded();
  std::vector<std::string> all = {"a.avi", "B.MPG", "c.txt"};
  for (const std::string& n : OddNames())
    all.push_back(n);
  std::vector<std::string> shown = ItemsOf(f->GetItems());
  std::sort(all.begin(), all.end());
  std::sort(shown.begin(), shown.end());
  EXPECT_EQ(shown, all);

  f->SetMask("*.AVI;*.mpg");
  shown = ItemsOf(f->GetItems());
  std::sort(shown.begin(), shown.end());
  std::vector<std::string> video = {"a.avi", "B.MPG"};
  for (const std::string& n : OddNames())
    video.push_back(n);
  std::sort(video.begin(), video.end());
  EXPECT_EQ(shown, video);

  f->SetMask("*.*");
  f->SetFileType(FileTypeOf(spftDirectory));
  shown = ItemsOf(f->GetItems());
  std::sort(shown.begin(), shown.end());
  EXPECT_EQ(shown, (std::vector<std::string>{"[..]", "[.]", "[sub.avi]"}));
}

TEST_F(SkinFileCtrlTest, FileListReturnsOddNamesExactly)
{
  for (const std::string& n : OddNames())
    Touch(n);
  SetCurrentDir(Dir);
  auto* f = Add<TskSkinFileListBox>(Form, "Files", 10, 10, 300, 300);
  auto* edit = Add<TEdit>(Form, "Edit", 10, 320, 300, 20);
  f->SetFileEdit(edit);
  f->HandleNeeded();
  EXPECT_EQ(edit->GetText(), "*.*");
  for (const std::string& n : OddNames()) {
    SCOPED_TRACE(n);
    f->SelectByName(n);
    EXPECT_EQ(f->GetFileName(), Dir + "/" + n);
    EXPECT_EQ(edit->GetText(), n);
  }
  f->SelectByName("not there.avi");
  EXPECT_EQ(f->GetItemIndex(), -1);
  EXPECT_EQ(f->GetFileName(), "");
  EXPECT_EQ(edit->GetText(), "*.*");

  // A whole path selects its file; a pattern becomes the mask.
  f->SetFileName(Dir + "/" + OddNames()[2]);
  EXPECT_EQ(f->GetFileName(), Dir + "/" + OddNames()[2]);
  f->SetFileName(Dir + "/*.txt");
  EXPECT_EQ(f->GetMask(), "*.txt");
  EXPECT_EQ(f->GetItems()->GetCount(), 0);
}

TEST_F(SkinFileCtrlTest, FilterComboBuildsPairsAndSetsTheLinkedMask)
{
  Touch("a.avi");
  Touch("b.txt");
  SetCurrentDir(Dir);
  auto* f = Add<TskSkinFileListBox>(Form, "Files", 10, 10, 300, 200);
  auto* combo = Add<TskSkinFilterComboBox>(Form, "Filter", 10, 220, 200, 20);
  combo->SetFileList(f);
  f->HandleNeeded();
  combo->HandleNeeded();
  struct Case {
    const char* Filter;
    std::vector<std::string> Items, Masks;
    const char* Mask;
  } const cases[] = {
      {"Video|*.avi;*.mpg|All|*.*", {"Video", "All"}, {"*.avi;*.mpg", "*.*"}, "*.avi;*.mpg"},
      {"One|*.a|Dangling", {"One"}, {"*.a"}, "*.a"},
      {"", {}, {}, "*.*"},
      {"Supported Files|*.avi;*.mkv|All Files|*.*", {"Supported Files", "All Files"}, {"*.avi;*.mkv", "*.*"},
       "*.avi;*.mkv"},
  };
  for (const Case& k : cases) {
    SCOPED_TRACE(k.Filter);
    combo->SetFilter(k.Filter);
    EXPECT_EQ(ItemsOf(combo->GetItems()), k.Items);
    std::vector<std::string> masks;
    for (int i = 0; i < combo->GetMasks().GetCount(); ++i)
      masks.push_back(combo->GetMasks().Get(i));
    EXPECT_EQ(masks, k.Masks);
    EXPECT_EQ(combo->GetMask(), k.Mask);
    EXPECT_EQ(f->GetMask(), k.Mask);
  }
  combo->SetFilter("Video|*.avi|All|*.*");
  EXPECT_EQ(ItemsOf(f->GetItems()), std::vector<std::string>{"a.avi"});
  combo->SetItemIndex(1);
  EXPECT_EQ(f->GetMask(), "*.*");
  EXPECT_EQ(ItemsOf(f->GetItems()), (std::vector<std::string>{"a.avi", "b.txt"}));
}

}  // namespace
