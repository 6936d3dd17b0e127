// The source queue's editing panel in the program's own main window (headless): a row loaded
// into the panel, every edit written back into the row's cells, the track changes that reach a
// running player, the batch rename, the queue commands and the tables' layout; bad names and
// numbers are refused or cleaned with a message and leave the queue consistent.
#include <gtest/gtest.h>

#include <map>

#include "app/QueueEditPanel.h"
#include "core/SourceRow.h"
#include "core/ToolProcesses.h"
#include "core/qv_functions.h"
#include "platform/rtl/StringList.h"
#include "tests/app/ProgramHomeTest.h"
#include "tests/core/RunnerTestSupport.h"

namespace {

class TQueueEdit : public TProgramHomeTest {
protected:
  void SetUp() override
  {
    TProgramHomeTest::SetUp();
    runnertest::EnsureHeadlessDisplay();
    ASSERT_TRUE(Start()) << Failure;
    P = W()->QueueEdit.get();
    G = W()->StringGrid1;
    P->Report = [this](const String& Text) { Reports.push_back(Text); };
    P->SlaveCommand = [this](const String& Text) { Sent.push_back(Text); };
    P->StopPreview = [this] { ++Stops; };
  }
  void TearDown() override
  {
    ToolRunning = PlaybackMode = false;
    TProgramHomeTest::TearDown();
  }
  // Rows 1..N, each a used video row named "name<i>" with the "Convert" flags given.
  void Fill(const std::vector<const char*>& Convert)
  {
    G->SetRowCount(static_cast<int>(Convert.size()) + 1);
    for (int R = 1; R <= static_cast<int>(Convert.size()); ++R) {
      G->SetCells(scNumber, R, IntToStr(R));
      G->SetCells(scType, R, "VIDEO");
      G->SetCells(scOutputName, R, "name" + IntToStr(R));
      G->SetCells(scConvert, R, Convert[static_cast<size_t>(R - 1)]);
    }
  }
  // Loads Row as a click does (moving the current row raises the grid's click).
  void Load(int Row)
  {
    if (G->GetRow() != Row)
      G->SetRow(Row);
    else
      P->StringGridClick(G);
  }
  void Select(int Top, int Bottom)
  {
    G->SetRow(Top);
    G->FocusCell(0, Bottom, false);
  }
  std::vector<String> Column(int Col)
  {
    std::vector<String> Cells;
    for (int R = 0; R < G->GetRowCount(); ++R) Cells.push_back(G->GetCells(Col, R));
    return Cells;
  }

  TQueueEditPanel* P = nullptr;
  TskSkinStringGrid* G = nullptr;
  std::vector<String> Reports, Sent;
  int Stops = 0;
};

TEST_F(TQueueEdit, LoadingARowFillsThePanelAndWritesNothingBack)
{
  Fill({"Yes", "No"});
  const String Audio = "audio stream: 0 format: ac3 (5.1) language: en aid: 128.\n"
                       "audio stream: 1 format: ac3 (5.1) language: en aid: 128.\n"
                       "audio stream: 2 format: ac3 (2.0) language: fr aid: 129.";
  G->SetCells(scAudioTracks, 2, Audio);
  G->SetCells(scAudioChoiceLine, 2, "1");
  G->SetCells(scSubtitleTracks, 2, "subtitle ( sid ): 0 language: de");
  G->SetCells(scSubtitlesOn, 2, "YES");
  G->SetCells(scChapters, 2, "12");
  G->SetCells(scFirstChapter, 2, "3");
  G->SetCells(scLastChapter, 2, "40");  // above the count: clamped on the panel
  G->SetCells(scStartAtChapter, 2, "Yes");
  G->SetCells(scAngles, 2, "1");
  Load(2);

  EXPECT_EQ(P->edit2->GetText(), "name2");
  EXPECT_FALSE(P->checkbox3->GetChecked());
  // Two audio lines give the same description: it is listed once.
  ASSERT_EQ(P->combobox2->GetItems()->GetCount(), 2);
  EXPECT_EQ(P->combobox2->GetItems()->Get(0), "128 English");
  EXPECT_EQ(P->combobox2->GetItemIndex(), 1);
  EXPECT_TRUE(P->audiopanel->GetVisible());
  EXPECT_TRUE(P->subspanel->GetVisible());
  EXPECT_TRUE(P->checkbox6->GetChecked());
  EXPECT_TRUE(P->scenes->GetVisible());
  EXPECT_EQ(P->skSkinSpinEdit1->GetValue(), 3);
  EXPECT_EQ(P->skSkinSpinEdit2->GetValue(), 12);
  EXPECT_TRUE(P->skSkinCheckRadioBox1->GetChecked());
  EXPECT_FALSE(P->angles->GetVisible()) << "one angle hides the angle panel";
  EXPECT_TRUE(G->GetEnabled());
  EXPECT_TRUE(UiSync);
  // The load wrote nothing: the row is as it was, the clamped chapter included.
  EXPECT_EQ(G->GetCells(scLastChapter, 2), "40");
  EXPECT_EQ(G->GetCells(scAudioChoice, 2), "");
  EXPECT_TRUE(Sent.empty());

  // Another row with one audio description keeps the audio panel hidden.
  G->SetCells(scAudioTracks, 1, "128_LANG=en\n128_LANG=en");
  Load(1);
  EXPECT_EQ(P->edit2->GetText(), "name1");
  EXPECT_TRUE(P->checkbox3->GetChecked());
  EXPECT_FALSE(P->audiopanel->GetVisible());
  EXPECT_FALSE(P->subspanel->GetVisible());
  EXPECT_FALSE(P->scenes->GetVisible());
}

TEST_F(TQueueEdit, ABlankRowLoadsNothingAndLeavesTheGridEnabled)
{
  P->edit2->SetText("kept");
  G->SetRow(1);  // the empty queue's blank row
  P->StringGridClick(G);
  EXPECT_EQ(P->edit2->GetText(), "kept");
  EXPECT_TRUE(G->GetEnabled());
  EXPECT_TRUE(UiSync);
}

TEST_F(TQueueEdit, EveryEditWritesItsCellInItsExactText)
{
  Fill({"No"});
  G->SetCells(scAudioTracks, 1, "128_LANG=en\n129_LANG=fr");
  G->SetCells(scSubtitleTracks, 1, "0_LANG=de\n1_LANG=it");
  G->SetCells(scChapters, 1, "9");
  G->SetCells(scAngles, 1, "3");
  Load(1);
  const struct {
    const char* What;
    std::function<void()> Do;
    std::map<int, String> Cells;
  } Cases[] = {
      {"name", [&] { P->edit2->SetText("Holiday 2024"); }, {{scOutputName, "Holiday 2024"}}},
      {"convert", [&] { P->checkbox3->SetChecked(true); }, {{scConvert, "Yes"}}},
      {"audio", [&] { P->combobox2->SetItemIndex(1); }, {{scAudioChoice, "129 French"}, {scAudioChoiceLine, "1"}}},
      {"subtitle", [&] { P->combobox3->SetItemIndex(1); },
       {{scSubtitleChoice, "1 Italian"}, {scSubtitleChoiceLine, "1"}}},
      {"subtitles on", [&] { P->checkbox6->SetChecked(true); }, {{scSubtitlesOn, "YES"}}},
      {"subtitles off", [&] { P->checkbox6->SetChecked(false); }, {{scSubtitlesOn, "NO"}}},
      {"last chapter ticks the range", [&] { P->skSkinSpinEdit2->SetValue(7); },
       {{scLastChapter, "7"}, {scStartAtChapter, "Yes"}}},
      {"range off", [&] { P->skSkinCheckRadioBox1->SetChecked(false); }, {{scStartAtChapter, "No"}}},
      {"first chapter", [&] { P->skSkinSpinEdit1->SetValue(2); }, {{scFirstChapter, "2"}, {scStartAtChapter, "Yes"}}},
      {"parts", [&] { P->skSkinSpinEdit3->SetValue(4); }, {{scChaptersPerPart, "4"}, {scSplitParts, "Yes"}}},
      {"parts off", [&] { P->skSkinCheckRadioBox2->SetChecked(false); }, {{scSplitParts, "No"}}},
      {"angle", [&] { P->skSkinSpinEdit4->SetValue(2); }, {{scAngleNumber, "2"}, {scAngleChosen, "Yes"}}},
      {"angle beyond the count", [&] { P->skSkinSpinEdit4->SetValue(50); }, {{scAngleNumber, "3"}}},
  };
  for (const auto& C : Cases) {
    C.Do();
    for (const auto& [Col, Text] : C.Cells) EXPECT_EQ(G->GetCells(Col, 1), Text) << C.What << ", column " << Col;
  }
  EXPECT_TRUE(Sent.empty()) << "no player runs";
  // While the window does not sync (a conversion runs), edits write nothing.
  UiSync = false;
  P->edit2->SetText("not written");
  P->checkbox3->SetChecked(false);
  UiSync = true;
  EXPECT_EQ(G->GetCells(scOutputName, 1), "Holiday 2024");
  EXPECT_EQ(G->GetCells(scConvert, 1), "Yes");
}

TEST_F(TQueueEdit, TrackChangesReachARunningPlayerAsSlaveCommands)
{
  Fill({"Yes"});
  G->SetCells(scAudioTracks, 1, "128_LANG=en\n129_LANG=fr");
  G->SetCells(scSubtitleTracks, 1, "0_LANG=de\n1_LANG=it");
  Load(1);
  ToolRunning = true;
  P->combobox2->SetItemIndex(1);
  P->combobox3->SetItemIndex(1);
  P->checkbox6->SetChecked(true);
  P->checkbox6->SetChecked(false);  // unticking sends the chosen subtitle again
  ToolRunning = false;
  EXPECT_EQ(Sent, (std::vector<String>{"switch_audio 129 ", "sub_select 1 ", "sub_select 1 ", "sub_select 1 "}));
}

TEST_F(TQueueEdit, ALoadStopsAPreviewButNoIdentificationOrScan)
{
  Fill({"Yes", "Yes"});
  const struct {
    bool Running, Playback;
    int Stops;
  } Cases[] = {{false, false, 0}, {true, false, 0}, {true, true, 1}, {false, true, 0}};
  for (const auto& C : Cases) {
    Stops = 0;
    ToolRunning = C.Running;
    PlaybackMode = C.Playback;
    Load(G->GetRow() == 1 ? 2 : 1);
    EXPECT_EQ(Stops, C.Stops) << C.Running << C.Playback;
  }
}

TEST_F(TQueueEdit, TheConvertFlagGoesToEveryRowOfTheSelection)
{
  Fill({"No", "No", "No", "No"});
  Select(2, 3);
  P->checkbox3->SetChecked(true);
  EXPECT_EQ(Column(scConvert), (std::vector<String>{"Convert", "No", "Yes", "Yes", "No"}));
}

TEST_F(TQueueEdit, BatchRenameNumbersWithItsPaddingRules)
{
  const struct {
    const char* Number;
    bool EnabledOnly;
    std::vector<const char*> Convert;
    std::vector<String> Names;
  } Cases[] = {
      {"01", false, std::vector<const char*>(10, "No"),
       {"Filename", "ep01", "ep02", "ep03", "ep04", "ep05", "ep06", "ep07", "ep08", "ep09", "ep10"}},
      {"007", false, {"No", "No"}, {"Filename", "ep007", "ep008"}},
      {"9", false, {"No", "No", "No"}, {"Filename", "ep9", "ep10", "ep11"}},
      // Only rows to convert get a number; the others keep their names and use up none.
      {"1", true, {"Yes", "No", "YES", "yes", "Done"}, {"Filename", "ep1", "name2", "ep2", "ep3", "name5"}},
  };
  for (const auto& C : Cases) {
    Fill(C.Convert);
    G->SetRow(1);
    P->skSkinEdit1->SetText("ep");
    P->skSkinEdit2->SetText(C.Number);
    P->skSkinEdit3->SetText("");
    P->skSkinCheckRadioBox11->SetChecked(C.EnabledOnly);
    P->skSkinSpeedButton19Click(nullptr);
    EXPECT_EQ(Column(scOutputName), C.Names) << C.Number;
  }
}

TEST_F(TQueueEdit, BatchRenameTakesTheSelectionOnlyFromThreeRowsOn)
{
  P->skSkinCheckRadioBox11->SetChecked(false);
  P->skSkinEdit1->SetText("x");
  P->skSkinEdit2->SetText("1");
  P->skSkinEdit3->SetText(".part");
  Fill({"No", "No", "No", "No", "No"});
  Select(2, 3);  // two rows: the whole queue
  P->skSkinSpeedButton19Click(nullptr);
  EXPECT_EQ(Column(scOutputName), (std::vector<String>{"Filename", "x1.part", "x2.part", "x3.part", "x4.part",
                                                        "x5.part"}));
  Fill({"No", "No", "No", "No", "No"});
  Select(2, 4);
  P->skSkinSpeedButton19Click(nullptr);
  EXPECT_EQ(Column(scOutputName),
            (std::vector<String>{"Filename", "name1", "x1.part", "x2.part", "x3.part", "name5"}));
}

TEST_F(TQueueEdit, BadRenameInputIsRefusedBeforeAnyRowChanges)
{
  P->skSkinCheckRadioBox11->SetChecked(false);
  const struct {
    const char* Name;
    const char* Number;
    const char* Told;
  } Cases[] = {{"ep", "", "no whole number"},
               {"ep", "1a", "no whole number"},
               {"ep", "-1", "no whole number"},
               {"ep", "99999999999", "no whole number"},
               {"", "", "no whole number"},
               {"", "0", nullptr},  // "0" is a name
               {"..", "", "no whole number"}};
  for (const auto& C : Cases) {
    Fill({"Yes", "Yes"});
    Reports.clear();
    P->skSkinEdit1->SetText(C.Name);
    P->skSkinEdit2->SetText(C.Number);
    P->skSkinSpeedButton19Click(nullptr);
    if (!C.Told) continue;
    EXPECT_EQ(Column(scOutputName), (std::vector<String>{"Filename", "name1", "name2"})) << C.Number;
    ASSERT_EQ(Reports.size(), 1u) << C.Number;
    EXPECT_NE(Reports[0].find(C.Told), String::npos) << Reports[0];
  }
  // A name that would be too long is refused whole.
  Fill({"Yes", "Yes"});
  Reports.clear();
  P->skSkinEdit1->SetText(String(1000, 'a'));
  P->skSkinEdit2->SetText("1");
  P->skSkinSpeedButton19Click(nullptr);
  EXPECT_EQ(Column(scOutputName), (std::vector<String>{"Filename", "name1", "name2"}));
  EXPECT_EQ(Reports.size(), 1u);
  // "/" and a line break in the name become blanks, with a message.
  Fill({"Yes"});
  Reports.clear();
  P->skSkinEdit1->SetText("a/b\nc ");
  P->skSkinSpeedButton19Click(nullptr);
  EXPECT_EQ(G->GetCells(scOutputName, 1), "a b c 1");
  EXPECT_EQ(Reports.size(), 1u);
}

TEST_F(TQueueEdit, TheNumberBoxTakesOnlyDigitsAndBackspace)
{
  const struct {
    char Key;
    char Left;
  } Cases[] = {{'0', '0'}, {'9', '9'}, {8, 8}, {'a', 0}, {'-', 0}, {' ', 0}, {'/', 0}, {'\n', 0}, {'\x80', 0}};
  for (const auto& C : Cases) {
    char Key = C.Key;
    P->skSkinEdit2->OnKeyPress(P->skSkinEdit2, Key);
    EXPECT_EQ(Key, C.Left) << int(C.Key);
  }
}

TEST_F(TQueueEdit, OutputNamesAreCleanedOrRefusedWithAMessage)
{
  const struct {
    String Typed;
    bool Ok;
    String Clean;
    bool Told;
  } Cases[] = {
      {"Film", true, "Film", false},
      {"-rf \"quoted\" $HOME `x` \\ 'a'", true, "-rf \"quoted\" $HOME `x` \\ 'a'", false},  // data, kept
      {"caf\xC3\xA9 \xFF\xFE", true, "caf\xC3\xA9 \xFF\xFE", false},                      // bytes kept
      {"a/b", true, "a b", true},
      {"line\nbreak\ttab\r", true, "line break tab ", true},
      {String(1000, 'n'), true, String(MaxOutputNameBytes, 'n'), true},
      {String(199, 'n') + "\xC3\xA9", true, String(199, 'n'), true},  // never half a character
      {"", false, "", true},
      {" / ", false, "", true},
      {"..", false, "", true},
      {".", false, "", true},
  };
  for (const auto& C : Cases) {
    String Clean, Why;
    EXPECT_EQ(CleanOutputName(C.Typed, Clean, Why), C.Ok) << C.Typed;
    if (C.Ok) {
      EXPECT_EQ(Clean, C.Clean) << C.Typed;
    }
    EXPECT_EQ(!Why.empty(), C.Told) << C.Typed;
  }
  // Through the panel: the cleaned name reaches the row and the box; a refused one leaves the row.
  Fill({"Yes"});
  Load(1);
  P->edit2->SetText("new/name\n");
  EXPECT_EQ(G->GetCells(scOutputName, 1), "new name ");
  EXPECT_EQ(P->edit2->GetText(), "new name ");
  ASSERT_EQ(Reports.size(), 1u);
  P->edit2->SetText("..");
  EXPECT_EQ(G->GetCells(scOutputName, 1), "new name ");
  EXPECT_EQ(Reports.size(), 2u);
}

TEST_F(TQueueEdit, RemoveFromQueueTakesTheSelectionAndKeepsTheQueuesShape)
{
  Fill({"Yes", "Yes", "Yes", "Yes", "Yes"});
  Select(2, 4);
  P->RemovefromQueue1Click(nullptr);
  EXPECT_EQ(Column(scOutputName), (std::vector<String>{"Filename", "name1", "name5"}));
  // Nothing happens while the window does not sync.
  UiSync = false;
  Select(1, 2);
  P->RemovefromQueue1Click(nullptr);
  UiSync = true;
  EXPECT_EQ(G->GetRowCount(), 3);
  // Every data row removed: two rows, row 1 blank, the titles untouched.
  G->SetCells(scOutputName, 0, "Filename");
  Select(1, 2);
  P->RemovefromQueue1Click(nullptr);
  EXPECT_EQ(G->GetRowCount(), 2);
  EXPECT_EQ(G->GetCells(scNumber, 1), "");
  EXPECT_EQ(G->GetCells(scOutputName, 0), "Filename");
  // Rows added later do not bring back removed cells.
  G->SetRowCount(4);
  EXPECT_EQ(G->GetCells(scOutputName, 3), "");
}

TEST_F(TQueueEdit, EmptyQueueLeavesTwoRowsWithABlankRowEvenWithoutSync)
{
  Fill({"Yes", "No", "Yes"});
  UiSync = false;
  P->EmptyQueue1Click(nullptr);
  UiSync = true;
  EXPECT_EQ(G->GetRowCount(), 2);
  for (int C = 0; C < G->GetColCount(); ++C) EXPECT_EQ(G->GetCells(C, 1), "") << C;
  EXPECT_EQ(G->GetCells(scOutputName, 0), "Filename");
  G->SetRowCount(4);
  EXPECT_EQ(G->GetCells(scOutputName, 2), "");
}

TEST_F(TQueueEdit, TheTablesHaveTheirTitlesAndTheNameColumnsFillThePage)
{
  const struct {
    TskSkinStringGrid* Grid;
    int Col;
    const char* Title;
    int Width;  // -1: the rest of the page
  } Cases[] = {{W()->StringGrid1, 0, "#", 50},         {W()->StringGrid1, 1, "Type", 45},
               {W()->StringGrid1, 2, "", 0},           {W()->StringGrid1, 25, "Duration", 70},
               {W()->StringGrid1, 34, "Convert", 70},  {W()->StringGrid1, 36, "Filesize", 70},
               {W()->StringGrid1, 49, "Started", 0},   {W()->StringGrid1, 52, "Filename", -1},
               {W()->StringGrid1, 53, "Width", 0},     {W()->StringGrid1, 70, "", 0},
               {W()->convertgrid, 0, "#", 40},         {W()->convertgrid, 4, "aspect/fps", 0},
               {W()->convertgrid, 11, "Filename", -1}, {W()->convertgrid, 71, "Device", 70},
               {W()->convertgrid, 72, "", 80},         {W()->convertgrid, 75, "Finished", 60},
               {W()->convertgrid, 78, "", 0},          {W()->dq, 0, "Model", 70},
               {W()->dq, 5, "Brand", 0},               {W()->dq, 12, "Output", 70}};
  for (const auto& C : Cases) {
    EXPECT_EQ(C.Grid->GetCells(C.Col, 0), C.Title) << C.Grid->GetName() << " " << C.Col;
    if (C.Width >= 0) {
      EXPECT_EQ(C.Grid->GetColWidths(C.Col), C.Width) << C.Grid->GetName() << " " << C.Col;
    }
  }
  // Every column and its grid line fit the grid: nothing scrolls sideways.
  for (TskSkinStringGrid* Grid : {W()->StringGrid1, W()->convertgrid}) {
    int Sum = 0;
    for (int C = 0; C < Grid->GetColCount(); ++C) Sum += Grid->GetColWidths(C) + Grid->GetGridLineWidth();
    EXPECT_EQ(Sum, Grid->GetClientWidth()) << Grid->GetName();
  }
  EXPECT_GT(W()->StringGrid1->GetColWidths(52), 300);
  // A wider grid widens the name column.
  const int Before = W()->StringGrid1->GetColWidths(52);
  W()->StringGrid1->SetWidth(W()->StringGrid1->GetWidth() + 100);
  W()->OnResize(W());
  EXPECT_EQ(W()->StringGrid1->GetColWidths(52), Before + 100);
}

TEST_F(TQueueEdit, AspectItemsAreChosenOrAdded)
{
  TStringList Items;
  for (const char* I : {"1.33:1  (* 4:3)", "1.78:1  (* 16:9)", "2.35:1  (* FILM)"}) Items.Add(I);
  const struct {
    const char* Cell;
    int Index;
    int Count;
  } Cases[] = {{"1.7778", 1, 3}, {"1.333", 0, 3}, {"1,78", 1, 3}, {"1.6", 3, 4}, {"1.6", 3, 4}, {"", -1, 4}};
  for (const auto& C : Cases) {
    EXPECT_EQ(ChooseAspectItem(&Items, C.Cell), C.Index) << C.Cell;
    EXPECT_EQ(Items.GetCount(), C.Count) << C.Cell;
  }
  EXPECT_EQ(Items.Get(3), "1.60:1");
  EXPECT_EQ(SeekBarHint(65, 10, 3610, 7200), "0:01:05 (1:00:00 2:00:00)");
}

TEST_F(TQueueEdit, ApplySetsTheLanguageDefaultsOfEveryRowAndReloadsThePanel)
{
  Fill({"Yes", "Yes"});
  for (int R = 1; R <= 2; ++R) G->SetCells(scAudioTracks, R, "128_LANG=en\n129_LANG=fr");
  Load(1);
  W()->checkbox4->SetChecked(true);
  W()->combobox4->SetItemIndex(W()->combobox4->GetItems()->IndexOf("FR (French)"));
  P->skSkinSpeedButton12Click(nullptr);
  EXPECT_EQ(Column(scAudioChoice), (std::vector<String>{"", "129 French", "129 French"}));
  EXPECT_EQ(P->combobox2->GetItemIndex(), 1);
}

TEST_F(TQueueEdit, TheSizeEstimateFollowsTheDeviceRatesAndSkipsBlankRows)
{
  Fill({"Yes", "Yes"});
  G->SetCells(scConvertSeconds, 1, "8");
  W()->vq->SetValue(900);
  W()->aq->SetValue(128);
  P->SetFilesize();
  EXPECT_EQ(G->GetCells(scFileSize, 1), EstimateSizeMB(900, 128, 8));
  EXPECT_EQ(G->GetCells(scFileSize, 2), "");
}

}  // namespace
