// The main window's data model: its components with their names, kinds and start contents,
// the run-state start values, the row conventions of the tables (append, clear, title copy)
// and the special-folder table and lists.
#include <gtest/gtest.h>

#include <filesystem>

#include "MainFormTestSupport.h"
#include "core/GridFiles.h"
#include "core/SourceRecognition.h"
#include "core/SourceRow.h"
#include "core/WrennShellFolders.h"
#include "core/qv_functions.h"
#include "platform/os/ShellFolders.h"

using mainformtest::TMainFormTest;

namespace {

class MainDataModel : public TMainFormTest {
protected:
  // The history window's table, filled with two rows.
  TskSkinStringGrid* Form3Test()
  {
    History = std::make_unique<TForm3>(nullptr);
    History->database->SetCells(0, 0, "Date");
    History->database->SetCells(0, 1, "2026-12-10");
    return History->database;
  }
  std::unique_ptr<TForm3> History;
};

TEST_F(MainDataModel, ComponentsAreHiddenAndNamedAsTheProgramUsesThem)
{
  const char* Names[] = {"devices", "codecgrid", "dvdgrid", "cropgrid", "ListBox1", "ListBox2", "filelist",
                         "filelist2", "folderlist", "voblist", "videobox", "dvdbox", "filelist3", "skiplist",
                         "badlist", "splitbox", "subVid", "subISO", "subWMV", "mencoder_conf", "shlfld1", "shlfld2",
                         "shlfld3", "Memo1", "Memo2", "Memo3", "dvdlog", "settings", "v", "tempmemo", "Edit3", "Edit5"};
  for (const char* Name : Names) {
    auto* C = dynamic_cast<TControl*>(Form->FindComponent(Name));
    ASSERT_NE(C, nullptr) << Name;
    // Hidden itself, or inside a hidden panel (the skip list lives in the history panel).
    bool Shown = C->GetVisible();
    for (TControl* P = C->GetParent(); Shown && P && P != Form; P = P->GetParent()) Shown = P->GetVisible();
    EXPECT_FALSE(Shown) << Name;
  }
  EXPECT_EQ(Form->skiplist->GetParent(), Form->history);
  const struct {
    TStringGrid* Grid;
    int Cols;
  } Tables[] = {{Form->devices, 15}, {Form->codecgrid, 100}, {Form->dvdgrid, 100}, {Form->cropgrid, 10}};
  for (const auto& T : Tables) {
    EXPECT_EQ(T.Grid->GetColCount(), T.Cols) << T.Grid->GetName();
    EXPECT_EQ(T.Grid->GetRowCount(), 1);
    EXPECT_EQ(T.Grid->GetFixedRows(), 0);
  }
  EXPECT_EQ(Form->subVid->GetItems()->GetCount(), 30);
  EXPECT_EQ(Form->subVid->GetItems()->Get(29), "ogm");
  EXPECT_EQ(Items(Form->subISO->GetItems()), (std::vector<std::string>{"bin", "iso", "img"}));
  EXPECT_EQ(Items(Form->subWMV->GetItems()),
            (std::vector<std::string>{"avi", "mpg", "dat", "mpeg", "divx", "wmv", "asf"}));
  EXPECT_EQ(Items(Form->badlist->GetItems()), (std::vector<std::string>{"TRANSFORMERS_VANILLA"}));
  EXPECT_EQ(Form->Edit3->GetText(), "'");
  EXPECT_EQ(Form->Edit5->GetText(), "\"");
  const struct {
    TTimer* Timer;
    Cardinal Interval;
    bool Enabled;
  } Timers[] = {{Form->ScanTimer, 2000, false}, {Form->converttimer, 1000, false}, {Form->detecttimer1, 1000, false},
                {Form->croptimer, 1000, false}, {Form->MonitorTimer, 60000, true}};
  for (const auto& T : Timers) {
    EXPECT_EQ(T.Timer->GetInterval(), T.Interval) << T.Timer->GetName();
    EXPECT_EQ(T.Timer->GetEnabled(), T.Enabled) << T.Timer->GetName();
  }
  const struct {
    TskSkinStringGrid* Grid;
    int Cols;
  } Visible[] = {{Form->StringGrid1, 71}, {Form->convertgrid, 79}, {Form->dq, 21}};
  for (const auto& T : Visible) {
    EXPECT_EQ(T.Grid->GetColCount(), T.Cols) << T.Grid->GetName();
    EXPECT_EQ(T.Grid->GetRowCount(), 2);
    EXPECT_EQ(T.Grid->GetFixedRows(), 1);
    EXPECT_EQ(T.Grid->GetCells(0, 1), "");
    EXPECT_EQ(Form->FindComponent(T.Grid->GetName()), T.Grid);
  }
  for (const char* Name : {"finuse", "checkbox4", "checkbox5", "checkbox8"}) {
    auto* Box = dynamic_cast<TskSkinCheckRadioBox*>(Form->FindComponent(Name));
    ASSERT_NE(Box, nullptr) << Name;
    EXPECT_FALSE(Box->GetChecked()) << Name;
  }
  EXPECT_EQ(Form->finuse->GetCaption(), "Ignore file-in-use check");
  EXPECT_EQ(Form1, Form);
  EXPECT_EQ(MinTitleSeconds, 600);
  EXPECT_EQ(BuildTag, "Build 3.83.1");
  EXPECT_TRUE(BatchRunning);
  EXPECT_FALSE(Converting || GoBusy || StopRequested || ToolRunning || UiSync);
}

TEST_F(MainDataModel, AppendFillsTheBlankRowFirstAndNeverBringsBackOldCells)
{
  TStringGrid* Q = NewGrid(SourceRowColCount, 2);
  Q->SetCells(scNumber, 0, "#");
  EXPECT_EQ(AppendGridRow(Q), 1);
  EXPECT_EQ(Q->GetRowCount(), 2);
  Q->SetCells(scNumber, 1, SourceRowNumberText(1));
  EXPECT_EQ(AppendGridRow(Q), 2);
  EXPECT_EQ(Q->GetRowCount(), 3);
  Q->SetCells(scNumber, 2, SourceRowNumberText(2));
  Q->SetCells(scSourcePath, 2, "/films/a.avi");
  // A last row emptied in column 0 is reused, and emptied whole.
  Q->SetCells(scNumber, 2, "");
  EXPECT_EQ(AppendGridRow(Q), 2);
  EXPECT_EQ(Q->GetCells(scSourcePath, 2), "");
  EXPECT_EQ(SourceRowNumberText(3), "00003");
  // Cells a grid kept beyond its column count are emptied too when asked.
  Q->SetCells(75, 2, "stale");
  Q->SetCells(scNumber, 2, "00002");
  EXPECT_EQ(AppendGridRow(Q, 80), 3);
  Q->SetCells(75, 3, "stale");
  Q->SetCells(scNumber, 3, "");
  EXPECT_EQ(AppendGridRow(Q, 80), 3);
  EXPECT_EQ(Q->GetCells(75, 3), "");
  ClearGridRows(Q);
  EXPECT_EQ(Q->GetRowCount(), 2);
  EXPECT_EQ(Q->GetCells(scNumber, 1), "");
  EXPECT_EQ(Q->GetCells(scNumber, 0), "#");
}

TEST_F(MainDataModel, TheQueueTakesRowsAndGridFilesLikeEveryTable)
{
  // The source queue is a skinned grid: the row rules and the grid files work on it as on
  // the hidden tables.
  TskSkinStringGrid* Q = Form->StringGrid1;
  Q->SetCells(scNumber, 0, "#");
  for (const char* Path : {"/films/a.avi", "/films/b.avi", "/films/c.avi"}) {
    const int Row = AppendGridRow(Q);
    Q->SetCells(scNumber, Row, SourceRowNumberText(Row));
    Q->SetCells(scSourcePath, Row, Path);
  }
  EXPECT_EQ(Q->GetRowCount(), 4);
  EXPECT_FALSE(NotInQueue("/FILMS/B.AVI", "vid", Q));
  DeleteGridRow(Q, 2);
  EXPECT_TRUE(NotInQueue("/films/b.avi", "vid", Q));
  ASSERT_TRUE(SaveGridStream(Q, Dir + "laststate_queue.state"));
  ClearGridRows(Q);
  EXPECT_EQ(Q->GetRowCount(), 2);
  EXPECT_EQ(Q->GetCells(scSourcePath, 1), "");
  // Cells kept beyond the counts do not come back with the next append.
  EXPECT_EQ(AppendGridRow(Q), 1);
  Q->SetCells(scNumber, 1, "00001");
  EXPECT_EQ(AppendGridRow(Q), 2);
  EXPECT_EQ(Q->GetCells(scSourcePath, 2), "");
  ASSERT_EQ(LoadGridStream(Q, Dir + "laststate_queue.state").Status, glLoaded);
  EXPECT_EQ(Q->GetRowCount(), 3);
  EXPECT_EQ(Q->GetCells(scSourcePath, 2), "/films/c.avi");
  ASSERT_TRUE(SaveGridText(Form3Test(), Dir + "filelist.db"));
}

TEST_F(MainDataModel, TitleRowCopiesOnlyItsNonEmptyCells)
{
  TStringGrid* Q = NewGrid(SourceRowColCount, 2);
  Q->SetCells(scConvert, 1, "Yes");
  Q->SetCells(scAudioChoice, 1, "128 English");
  Q->SetCells(scUnused70, 1, "kept");
  Form->dvdgrid->SetRowCount(2);
  Form->dvdgrid->SetCells(scName, 1, "My Disc_2");
  Form->dvdgrid->SetCells(scConvert, 1, "No");
  Form->dvdgrid->SetCells(scNumber, 1, "99999");
  EXPECT_FALSE(TitleRowSelectable(Form->dvdgrid, 1));  // no video format: never copied
  Form->dvdgrid->SetCells(scLength, 1, "7200.5");
  EXPECT_FALSE(TitleRowSelectable(Form->dvdgrid, 1));  // whatever its length
  Form->dvdgrid->SetCells(scVideoFormat, 1, "0x10000002");
  EXPECT_TRUE(TitleRowSelectable(Form->dvdgrid, 1));
  CopyTitleRowToQueue(Form->dvdgrid, 1, Q, 1);
  EXPECT_EQ(Q->GetCells(scName, 1), "My Disc_2");
  EXPECT_EQ(Q->GetCells(scConvert, 1), "No");
  EXPECT_EQ(Q->GetCells(scAudioChoice, 1), "128 English");
  EXPECT_EQ(Q->GetCells(scUnused70, 1), "kept");
  EXPECT_EQ(Q->GetCells(scNumber, 1), "00001");
}

TEST(SourceRowFlags, ExactTextsDecide)
{
  const struct {
    const char* Text;
    bool Convert;
  } Convert[] = {{"Yes", true}, {"yes", false}, {"YES", false}, {"Done", false}, {"No", false}, {"", false}};
  for (const auto& C : Convert) EXPECT_EQ(SourceWantsConversion(C.Text), C.Convert) << C.Text;
  const struct {
    const char* Text;
    bool Given;
  } Aspect[] = {{"1.7778", true}, {"0", false}, {"0.0000", false}, {"", false}, {"2.35", true}};
  for (const auto& C : Aspect) EXPECT_EQ(AspectGiven(C.Text), C.Given) << C.Text;
  EXPECT_TRUE(TrimEndIsSourceEnd("5025.12", "5025.12"));
  EXPECT_FALSE(TrimEndIsSourceEnd("5025", "5025.00"));
}

TEST(SpecialFolderTable, IdentifiersNamesAndEnumerator)
{
  EXPECT_EQ(FolderIdTableSize(), 58);
  const struct {
    int Id;
    const char* Name;
  } Cases[] = {{14, "CSIDL_MYVIDEO"}, {5, "CSIDL_PERSONAL"}, {0, "CSIDL_DESKTOP"}, {48, "CSIDL_ADMINTOOLS"},
               {36, "CSIDL_WINDOWS"}};
  for (const auto& C : Cases) EXPECT_EQ(FolderIdName(C.Id), C.Name);
  for (int Bad : {15, 60, -1, 1000}) {
    EXPECT_FALSE(FolderIdKnown(Bad));
    try {
      FolderIdName(Bad);
      ADD_FAILURE() << Bad;
    } catch (const EWrennShellFolders& E) {
      EXPECT_EQ(E.Message(), "Invalid special folder ID");
    }
  }
  TWrennSpecialFolderEnum Enum;
  EXPECT_EQ(Enum.FolderIdCount(), 58);
  EXPECT_EQ(Enum.NextFolderId(), 48);
  int Count = 1;
  while (!Enum.Finished()) {
    Enum.NextFolderId();
    ++Count;
  }
  EXPECT_EQ(Count, 58);
  EXPECT_EQ(Enum.NextFolderId(), -1);
  EXPECT_EQ(Enum.NextFolderId(), -1);
  Enum.Reset();
  EXPECT_EQ(Enum.NextFolderId(), 48);
}

class SpecialFolders : public TMainFormTest {};

class TCountingInfo : public TWrennSpecialFolderInfo {
public:
  using TWrennSpecialFolderInfo::TWrennSpecialFolderInfo;
  void RefreshFolder() override
  {
    ++Refreshes;
    TWrennSpecialFolderInfo::RefreshFolder();
  }
  int Refreshes = 0;
};

TEST_F(SpecialFolders, SettingTheIdentifierRefreshesOnlyOnChange)
{
  TCountingInfo Info(nullptr);
  Info.SetFolderID(0);
  EXPECT_EQ(Info.Refreshes, 0);
  Info.SetFolderID(CSIDL_PROFILE);
  EXPECT_EQ(Info.Refreshes, 1);
  EXPECT_TRUE(Info.GetExists());
  EXPECT_EQ(Info.GetPath(), Dir + "home");
  EXPECT_FALSE(Info.GetIsVirtual());
  EXPECT_THROW(Info.SetFolderID(15), EWrennShellFolders);
  EXPECT_EQ(Info.GetFolderID(), CSIDL_PROFILE);
  Info.SetFolderID(4);  // the printers: no meaning here, a virtual folder
  EXPECT_TRUE(Info.GetExists());
  EXPECT_TRUE(Info.GetIsVirtual());
  EXPECT_EQ(Info.GetPath(), "");
  EXPECT_EQ(Info.GetDisplayName(), "Printers");
}

TEST_F(SpecialFolders, ListsCarryPathsOverToVirtualFolders)
{
  namespace fs = std::filesystem;
  fs::create_directories(Dir + "home/Documents");
  WriteBytes(Dir + "home/.config/user-dirs.dirs", "XDG_DOCUMENTS_DIR=\"$HOME/Documents\"\nXDG_VIDEOS_DIR=\"$HOME/Films\"\n");
  Form->DisplaySpecialFolders();
  TStrings* P = Form->shlfld1->GetItems();
  TStrings* N = Form->shlfld2->GetItems();
  TStrings* I = Form->shlfld3->GetItems();
  ASSERT_EQ(P->GetCount(), N->GetCount());
  ASSERT_EQ(P->GetCount(), I->GetCount());
  EXPECT_LT(P->GetCount(), 58);
  const int Personal = I->IndexOf("CSIDL_PERSONAL");
  const int Printers = I->IndexOf("CSIDL_PRINTERS");
  ASSERT_GE(Personal, 0);
  ASSERT_EQ(Printers, Personal + 1);
  EXPECT_EQ(P->Get(Personal), Dir + "home/Documents");
  EXPECT_EQ(P->Get(Printers), Dir + "home/Documents");
  EXPECT_EQ(N->Get(Printers), "Printers");
  // The videos folder does not exist: not listed, and the lookup falls back to "Printers".
  EXPECT_EQ(I->IndexOf("CSIDL_MYVIDEO"), -1);
  EXPECT_EQ(MyDocumentsFolder(), Dir + "home/Documents");
  EXPECT_EQ(MyVideosFolder(), Dir + "home/Documents");
  // The first rows have no real folder before them.
  EXPECT_EQ(I->Get(0), "CSIDL_ADMINTOOLS");
  EXPECT_EQ(P->Get(0), "_");
  EXPECT_EQ(N->Get(0), "_");
  fs::create_directories(Dir + "home/Films");
  Form->shlfld1->GetItems()->Clear();
  Form->shlfld2->GetItems()->Clear();
  Form->shlfld3->GetItems()->Clear();
  Form->DisplaySpecialFolders();
  EXPECT_EQ(MyVideosFolder(), Dir + "home/Films");
}

}  // namespace
