// The shell file list view and the skinned open dialog over real folders: masks, order, column
// sorting, type-ahead, navigation, and the dialog's choices (multiple selection, typed names,
// cancel, back, new folder, patterns) with names that hold any bytes a Linux name may hold.
#include <filesystem>
#include <fstream>

#include "platform/rtl/Exceptions.h"
#include "platform/rtl/Paths.h"
#include "platform/vcl/Forms.h"
#include "platform/win/WinUser.h"
#include "skin/input/SkinEdit.h"
#include "skin/shell/SkinFilterComboBox.h"
#include "skin/shell/SkinOpenDialog.h"
#include "skin/shell/SkinShellListView.h"
#include "tests/skin/shell/FileCtrlTestSupport.h"

namespace {

using filetest::OddNames;
using filetest::TStepWindow;

// The view with its search answer in reach.
class TFindView : public TskSkinFileListView {
public:
  using TskSkinFileListView::TskSkinFileListView;
  using TskSkinFileListView::OwnerDataFind;
};

class SkinOpenDialogTest : public filetest::TFolderWindowTest {
protected:
  void SetUp() override
  {
    filetest::TFolderWindowTest::SetUp();
    Stepper = new TStepWindow(nullptr);
    Owned.push_back(Stepper);
    Stepper->HandleNeeded();
  }
  TskSkinFileListView* NewView(const String& Folder)
  {
    auto* v = Add<TskSkinFileListView>(Form, "View", 10, 10, 400, 300);
    v->HandleNeeded();
    v->SetRoot(Folder);
    return v;
  }
  static std::vector<std::string> Names(TskCustomShellListView* V)
  {
    std::vector<std::string> n;
    for (int i = 0; i < V->FolderCount(); ++i)
      n.push_back(V->Folders(i)->GetDisplayName());
    return n;
  }
  // Runs Execute with Step run inside its modal loop.
  bool RunDialog(TskSkinOpenDialog& D, std::function<void(TskOpenDlgForm*)> Step)
  {
    Stepper->Step = [&D, Step] {
      TskOpenDlgForm* f = D.GetOpenForm();
      ASSERT_NE(f, nullptr);
      Step(f);
      if (f->GetModalResult() == mrNone)
        f->SetModalResult(mrCancel);
    };
    Stepper->PostStep();
    return D.Execute();
  }
  static void SelectRows(TskOpenDlgForm* F, std::initializer_list<std::string> Names)
  {
    F->FileList->ClearSelection();
    for (int i = 0; i < F->FileList->FolderCount(); ++i)
      for (const std::string& n : Names)
        if (F->FileList->Folders(i)->GetDisplayName() == n)
          F->FileList->GetItems()->GetItem(i)->SetSelected(true);
  }
  static std::vector<std::string> Lines(TStrings* S)
  {
    std::vector<std::string> v;
    for (int i = 0; i < S->GetCount(); ++i)
      v.push_back(S->Get(i));
    return v;
  }

  TStepWindow* Stepper = nullptr;
};

// ---- the list view ----

TEST_F(SkinOpenDialogTest, MasksFilterFilesAndNeverFolders)
{
  for (const char* n : {"a.avi", "B.MPG", "c.txt", "README"})
    Touch(n);
  MakeDir("zdir.txt");
  MakeDir("adir");
  auto* v = NewView(Dir);
  struct Case {
    const char* Mask;
    std::vector<std::string> Names;
  } const cases[] = {
      {"*.*|*.*", {"adir", "zdir.txt", "a.avi", "B.MPG", "c.txt", "README"}},
      {"", {"adir", "zdir.txt"}},
      {"*", {"adir", "zdir.txt", "a.avi", "B.MPG", "c.txt", "README"}},
      {"*.AVI;*.mpg", {"adir", "zdir.txt", "a.avi", "B.MPG"}},
      {"*.avi|*.txt", {"adir", "zdir.txt", "a.avi", "c.txt"}},
      {"README", {"adir", "zdir.txt"}},  // a pattern without '.' other than "*" matches nothing
  };
  for (const Case& k : cases) {
    SCOPED_TRACE(k.Mask);
    v->SetMask(k.Mask);
    EXPECT_EQ(Names(v), k.Names);
    EXPECT_EQ(v->GetItems()->GetCount(), static_cast<int>(k.Names.size()));
  }
}

TEST_F(SkinOpenDialogTest, HeaderClicksSortBySizeAndReverse)
{
  Touch("big.avi", 300);
  Touch("small.avi", 10);
  Touch("mid.avi", 100);
  MakeDir("folder");
  auto* v = NewView(Dir);
  v->SetViewStyle(vsReport);
  ASSERT_EQ(v->GetColumns()->GetCount(), 4);
  EXPECT_EQ(Names(v), (std::vector<std::string>{"folder", "big.avi", "mid.avi", "small.avi"}));
  v->ClickColumn(1);
  EXPECT_EQ(Names(v), (std::vector<std::string>{"folder", "small.avi", "mid.avi", "big.avi"}));
  v->ClickColumn(1);
  EXPECT_TRUE(v->GetDescending());
  EXPECT_EQ(Names(v), (std::vector<std::string>{"big.avi", "mid.avi", "small.avi", "folder"}));
  v->ClickColumn(0);
  EXPECT_FALSE(v->GetDescending());
  EXPECT_EQ(Names(v), (std::vector<std::string>{"folder", "big.avi", "mid.avi", "small.avi"}));
  // The details of a row: size and type of a file, nothing for a folder's size.
  TListItem* row = v->GetItems()->GetItem(1);
  ASSERT_GE(row->GetSubItems()->GetCount(), 2);
  EXPECT_EQ(row->GetSubItems()->Get(0), "300");
  EXPECT_EQ(row->GetSubItems()->Get(1), ".avi");
  EXPECT_EQ(v->GetItems()->GetItem(0)->GetSubItems()->Get(0), "");
}

TEST_F(SkinOpenDialogTest, TypeAheadFindsFromTheStartAndWraps)
{
  for (const char* n : {"apple.avi", "banana.avi", "Berry.avi", "cherry.avi"})
    Touch(n);
  auto* v = Add<TFindView>(Form, "View", 10, 10, 400, 300);
  v->HandleNeeded();
  v->SetRoot(Dir);
  struct Case {
    const char* Text;
    int Start;
    bool Wrap;
    int Found;
  } const cases[] = {
      {"b", 0, false, 1}, {"BE", 0, false, 2}, {"a", 1, true, 0}, {"a", 1, false, -1}, {"zz", 0, true, -1},
  };
  EXPECT_EQ(v->OwnerDataFind(ifPartialString, "a", TPoint{}, nullptr, -1, sdAll, true), -1);
  EXPECT_EQ(v->OwnerDataFind(ifData, "a", TPoint{}, nullptr, 0, sdAll, true), -1);
  for (const Case& k : cases) {
    SCOPED_TRACE(std::string(k.Text) + " from " + std::to_string(k.Start));
    EXPECT_EQ(v->OwnerDataFind(ifPartialString, k.Text, TPoint{}, nullptr, k.Start, sdAll, k.Wrap), k.Found);
    EXPECT_EQ(v->OwnerDataFind(ifExactString, k.Text, TPoint{}, nullptr, k.Start, sdAll, k.Wrap), k.Found);
  }
}

TEST_F(SkinOpenDialogTest, NavigatesDownUpAndRefreshesKeepingTheRow)
{
  MakeDir("sub/inner");
  Touch("sub/x.avi");
  Touch("sub/y.avi");
  auto* v = NewView(Dir);
  int navigations = 0;
  v->OnNavigated = [&](TObject*) { ++navigations; };
  v->SetItemIndex(0);
  Word enter = VK_RETURN;
  v->KeyDown(enter, 0);
  EXPECT_EQ(v->GetFolderPath(), Dir + "/sub");
  EXPECT_EQ(Names(v), (std::vector<std::string>{"inner", "x.avi", "y.avi"}));
  v->SetItemIndex(2);
  v->RefreshContents();
  EXPECT_EQ(v->GetItemIndex(), 2);
  Word back = VK_BACK;
  v->KeyDown(back, 0);
  EXPECT_EQ(v->GetFolderPath(), Dir);
  EXPECT_EQ(navigations, 3);
  EXPECT_THROW(v->SetFolderPath(Dir + "/missing"), EInvalidPath);
}

// ---- the dialog ----

TEST_F(SkinOpenDialogTest, ThreeSelectedFilesComeBackInRowOrderWithoutFolders)
{
  for (const std::string& n : OddNames())
    Touch(n);
  MakeDir("a folder");
  TskSkinOpenDialog d(nullptr);
  d.MultiSelection = true;
  d.InitialDir = Dir;
  d.SetFileName("Filename");
  d.Filter = "Supported Files|*.avi;*.mkv|All Files|*.*";
  const bool ok = RunDialog(d, [&](TskOpenDlgForm* f) {
    EXPECT_EQ(f->FileList->GetFolderPath(), Dir);
    EXPECT_EQ(f->FileNameEdit->GetText(), "Filename");
    f->Accept();  // nothing selected, no such file: the window stays
    EXPECT_EQ(f->GetModalResult(), mrNone);
    SelectRows(f, {OddNames()[5], OddNames()[0], "a folder", OddNames()[2]});
    f->Accept();
  });
  ASSERT_TRUE(ok);
  std::vector<std::string> chosen = {Dir + "/" + OddNames()[0], Dir + "/" + OddNames()[2], Dir + "/" + OddNames()[5]};
  std::vector<std::string> got = Lines(d.GetFiles());
  std::vector<std::string> sortedGot = got;
  std::sort(sortedGot.begin(), sortedGot.end());
  std::sort(chosen.begin(), chosen.end());
  EXPECT_EQ(sortedGot, chosen);
  ASSERT_EQ(got.size(), 3u);
  EXPECT_EQ(d.GetFileName(), got[0]);
}

TEST_F(SkinOpenDialogTest, ATypedNameIsAcceptedExactly)
{
  for (const std::string& n : OddNames())
    Touch(n);
  MakeDir("other");
  Touch("other/elsewhere.avi");
  Touch("plain");
  struct Case {
    std::string Typed, Result;
  };
  std::vector<Case> cases = {
      {Dir + "/other/elsewhere.avi", Dir + "/other/elsewhere.avi"},  // an absolute path as it is
      {"plain", Dir + "/plain"},                                     // no extension, but a file
  };
  for (const std::string& n : OddNames())
    cases.push_back({n, Dir + "/" + n});
  for (const Case& k : cases) {
    SCOPED_TRACE(k.Typed);
    TskSkinOpenDialog d(nullptr);
    d.InitialDir = Dir;
    d.Filter = "Video|*.avi|All|*.*";
    d.FilterIndex = 2;
    ASSERT_TRUE(RunDialog(d, [&](TskOpenDlgForm* f) {
      f->FileNameEdit->SetText(k.Typed);
      f->FileNameEnter();
    }));
    EXPECT_EQ(d.GetFileName(), k.Result);
    EXPECT_EQ(Lines(d.GetFiles()), std::vector<std::string>{k.Result});
  }
}

TEST_F(SkinOpenDialogTest, CancelKeepsTheChoiceButStoresFilterViewAndSize)
{
  Touch("a.avi");
  TskSkinOpenDialog d(nullptr);
  d.InitialDir = Dir;
  d.Filter = "Video|*.avi|All|*.*";
  d.SetFileName("before");
  d.GetFiles()->Add("kept");
  EXPECT_FALSE(RunDialog(d, [&](TskOpenDlgForm* f) {
    EXPECT_EQ(f->GetClientWidth(), 450);
    EXPECT_EQ(f->GetClientHeight(), 290);
    f->FileTypeBox->SetItemIndex(1);
    f->SetViewStyleItem(3);
    f->SetClientWidth(520);
    f->SetModalResult(mrCancel);
  }));
  EXPECT_EQ(d.GetFileName(), "before");
  EXPECT_EQ(Lines(d.GetFiles()), std::vector<std::string>{"kept"});
  EXPECT_EQ(d.FilterIndex, 2);
  EXPECT_EQ(d.ViewStyle, 3);
  EXPECT_EQ(d.DialogWidth, 520);
  RunDialog(d, [&](TskOpenDlgForm* f) {
    EXPECT_EQ(f->GetClientWidth(), 520);
    EXPECT_EQ(f->FileList->GetViewStyle(), vsReport);
    EXPECT_EQ(f->FileTypeBox->GetItemIndex(), 1);
  });
}

TEST_F(SkinOpenDialogTest, BackWalksTheVisitedFoldersAndPatternsFilter)
{
  MakeDir("one/two/three");
  Touch("one/two/a.avi");
  Touch("one/two/b.txt");
  TskSkinOpenDialog d(nullptr);
  d.InitialDir = Dir + "/one";
  RunDialog(d, [&](TskOpenDlgForm* f) {
    f->FileList->SetFolderPath(Dir + "/one/two");
    f->FileList->SetFolderPath(Dir + "/one/two/three");
    EXPECT_EQ(f->HistoryCount(), 3);
    f->GoBack();
    EXPECT_EQ(f->FileList->GetFolderPath(), Dir + "/one/two");
    f->FileNameEdit->SetText("*.txt");
    f->FileNameEnter();
    EXPECT_EQ(Names(f->FileList), (std::vector<std::string>{"three", "b.txt"}));
    f->GoBack();
    EXPECT_EQ(f->FileList->GetFolderPath(), Dir + "/one");
    f->GoBack();
    EXPECT_EQ(f->FileList->GetFolderPath(), Dir + "/one");
    f->GoUpClick();
    EXPECT_EQ(f->FileList->GetFolderPath(), Dir);
  });
}

TEST_F(SkinOpenDialogTest, NewFolderSkipsATakenNameAndNumbersTheNext)
{
  MakeDir("New Folder");
  TskSkinOpenDialog d(nullptr);
  d.InitialDir = Dir;
  RunDialog(d, [&](TskOpenDlgForm* f) {
    f->NewFolderClick();
    EXPECT_FALSE(std::filesystem::exists(Dir + "/New Folder(1)"));
    f->NewFolderClick();
    EXPECT_TRUE(std::filesystem::is_directory(Dir + "/New Folder(2)"));
    EXPECT_EQ(Names(f->FileList), (std::vector<std::string>{"New Folder", "New Folder(2)"}));
    if (f->FileList->IsEditing())
      f->FileList->GetItems()->GetItem(1)->CancelEdit();
  });
}

}  // namespace
