#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "MainFormTestSupport.h"
#include "core/CodecPresets.h"
#include "core/DeviceQueue.h"
#include "core/DeviceTables.h"
#include "core/GridFiles.h"
#include "core/qv_functions.h"
#include "core/qv_scan.h"
#include "platform/rtl/Convert.h"
#include "platform/vcl/Dialogs.h"

namespace {

using mainformtest::TMainFormTest;

TEST(DeviceQueueText, ScreenSizesSplitTheSameWithAndWithoutPadding)
{
  const struct {
    const char* Text;
    const char* Width;
    const char* Height;
  } Cases[] = {
      {"320x240", "320", "240"},       {" 320 x  240", "320", "240"}, {"1024 x 768", "1024", "768"},
      {"1024 x  768", "1024", "768"},  {"  64 x   24", "64", "24"},   {"640", "640", ""},
      {"", "", ""},                    {"480x480", "480", "480"},     {"x240", "", "240"},
  };
  for (const auto& C : Cases) {
    String W, H;
    SplitScreenSize(C.Text, W, H);
    EXPECT_EQ(W, C.Width) << '"' << C.Text << '"';
    EXPECT_EQ(H, C.Height) << '"' << C.Text << '"';
  }
  EXPECT_EQ(MultiDeviceEntry(3, "Zen"), "03 Zen");
  EXPECT_EQ(MultiDeviceEntry(12, ""), "12 ");
}

// A main window after the start-up fill of the tables, with the first device copied into row 1
// as the creation handler does.
class DeviceQueue : public TMainFormTest {
protected:
  void SetUp() override
  {
    TMainFormTest::SetUp();
    WorkFolder = Dir + "work/";
    std::filesystem::create_directories(WorkFolder + "profiles");
    std::filesystem::create_directories(Dir + "videos");
    DeviceQueueHost() = TDeviceQueueHost();
    DeviceQueueHost().AskYes = [this](const String& Text) {
      Asked.push_back(Text);
      return Answer;
    };
    DeviceQueueHost().Report = [this](const String& Text) { Reports.push_back(Text); };
    DeviceQueueHost().SetFilesize = [this] { ++SizeEstimates; };
    Form->xcedit2->SetCaption(Dir + "videos/");
    LoadCodecTable();
    Form->modelChange(Form);
  }
  void TearDown() override
  {
    DeviceQueueHost() = TDeviceQueueHost();
    ScanHost().FolderDialog = nullptr;
    SetDialogHandler(nullptr);
    TMainFormTest::TearDown();
  }

  String Cell(int Col, int Row = -1) { return Form->dq->GetCells(Col, Row < 0 ? Form->dq->GetRow() : Row); }
  static int IndexOf(TOptionComboBox* Box, const String& Text)
  {
    int Found = -1;
    for (int I = 0; I < Box->GetItems()->GetCount(); ++I)
      if (Box->GetItems()->Get(I) == Text) Found = I;
    return Found;
  }
  // Chooses a device the way the user does: the brand, then the model (its first entry of that
  // name unless told otherwise).
  void Choose(const String& Group, const String& Name, bool FirstEntry = true)
  {
    ASSERT_GE(IndexOf(Form->brand, Group), 0) << Group;
    Form->brand->SetItemIndex(IndexOf(Form->brand, Group));
    int Index = -1;
    for (int I = 0; I < Form->model->GetItems()->GetCount(); ++I)
      if (Form->model->GetItems()->Get(I) == Name && (Index < 0 || !FirstEntry)) Index = I;
    ASSERT_GE(Index, 0) << Name;
    // A new text runs the box's change handler; the same name chosen again is run by hand.
    const String Before = Form->model->GetText();
    Form->model->SetItemIndex(Index);
    if (Form->model->GetText() == Before) Form->modelChange(Form);
  }
  std::vector<std::string> Entries() { return Items(Form->multidevicebox->GetItems()); }

  std::vector<String> Asked, Reports;
  bool Answer = true;
  int SizeEstimates = 0;
};

TEST_F(DeviceQueue, StartUpFillsTheTablesAndTheirBoxes)
{
  EXPECT_TRUE(UiSync);
  ASSERT_EQ(Form->codecgrid->GetRowCount(), CodecPresetCount);
  EXPECT_EQ(Form->codecgrid->GetCells(0, 0), "3gp_aac_mp4");
  EXPECT_EQ(Form->codecgrid->GetCells(0, 52), "xvid_mp3_sansa");
  EXPECT_EQ(Items(Form->codec->GetItems()), Column(Form->codecgrid, 0));

  ASSERT_EQ(Form->devices->GetRowCount(), DeviceProfileCount);
  for (int R = 0; R < DeviceProfileCount; ++R) {
    EXPECT_EQ(Form->devices->GetCells(7, R), "0");
    EXPECT_EQ(Form->devices->GetCells(8, R), "0");
    EXPECT_TRUE(Form->devices->GetCells(9, R) == "1" || Form->devices->GetCells(9, R) == "2");
    EXPECT_TRUE(Form->devices->GetCells(10, R) == "5" || Form->devices->GetCells(10, R) == "7");
    EXPECT_EQ(Form->devices->GetCells(11, R), "1");
    EXPECT_EQ(Form->devices->GetCells(12, R), "");
  }

  // 51 groups, the five "Profiles" groups among them; "Apple" chosen, its 27 names listed.
  const auto Brands = Items(Form->brand->GetItems());
  EXPECT_EQ(Brands.size(), 51u);
  EXPECT_EQ(std::count_if(Brands.begin(), Brands.end(),
                          [](const std::string& B) { return B.find("Profiles") != std::string::npos; }),
            5);
  EXPECT_EQ(Form->brand->GetText(), "Apple");
  EXPECT_EQ(Form->model->GetItems()->GetCount(), 27);

  // The device list page: every profile outside the "Profile" groups, and its count line. The
  // unique count follows the names as stored: "Zune HD (TV )" of "Microsoft" does not contain
  // "Zune HD (TV)" of "Zune", so both count.
  EXPECT_EQ(Form->devicelist->GetItems()->GetCount(), 375);
  EXPECT_EQ(Form->skSkinListBox1->GetItems()->GetCount(), 264);
  EXPECT_EQ(Form->spskinlabel1->GetCaption(), "374 Device profiles total, 263 unique");

  // 319 screen sizes, sorted.
  TStrings* Sizes = Form->screensize->GetItems();
  EXPECT_EQ(Sizes->GetCount(), 319);
  EXPECT_EQ(Sizes->Get(0), "  64 x   24");
  for (const char* Present : {" 432 x  240", "  72 x   40", " 200 x  112", "1024 x 768", "1024 x  768"})
    EXPECT_GE(IndexOf(Form->screensize, Present), 0) << Present;
  for (const char* Absent : {"  88 x   48", "  88 x   50"}) EXPECT_LT(IndexOf(Form->screensize, Absent), 0) << Absent;

  // The creation handler's profile copy: row 1 holds the model the boxes show, listed once.
  EXPECT_EQ(Cell(0, 1), Form->model->GetText());
  EXPECT_EQ(Cell(5, 1), "Apple");
  EXPECT_EQ(Entries(), (std::vector<std::string>{"01 " + Form->model->GetText()}));
  EXPECT_FALSE(Form->Panel11->GetVisible());
}

TEST_F(DeviceQueue, ChoosingAModelCopiesItsProfileAndShowsItInTheControls)
{
  Choose("Creative", "Zen 4GB");
  EXPECT_EQ(Cell(0), "Zen 4GB");
  EXPECT_EQ(Cell(5), "Creative");
  EXPECT_EQ(Cell(10), "7");
  EXPECT_EQ(Form->XcTrackBar1->GetPosition(), 7);
  EXPECT_EQ(Form->skSkinStdLabel13->GetCaption(), "7");
  EXPECT_EQ(Form->XcTrackBar1->GetSelEnd(), 7);
  EXPECT_EQ(Cell(6), "24");
  EXPECT_EQ(Form->frps->GetPosition(), 24);
  EXPECT_EQ(Form->skSkinStdLabel16->GetText(), "24");
  EXPECT_EQ(Cell(2), Form->vq->GetText());
  EXPECT_EQ(Cell(4), Form->codec->GetText());
  EXPECT_EQ(Cell(12), Dir + "videos/");
  EXPECT_GT(SizeEstimates, 0);
  EXPECT_EQ(Entries(), (std::vector<std::string>{"01 Zen 4GB"}));

  // "P4000 AVI" is listed twice in "Epson"; both entries take the later row (500 kbit/s).
  Choose("Epson", "P4000 AVI", true);
  EXPECT_EQ(Cell(2), "500");
  Choose("Epson", "P4000 AVI", false);
  EXPECT_EQ(Cell(2), "500");
}

TEST_F(DeviceQueue, TheRatingControlsShowOnlyForHandheldPCs)
{
  Choose("HandheldPC", "Jornada 720 (TCPMP)");
  EXPECT_TRUE(Form->skSkinCheckRadioBox9->GetVisible());
  EXPECT_TRUE(Form->rating->GetVisible());
  EXPECT_EQ(Cell(13), "Yes");
  EXPECT_EQ(Cell(14), "1228800");
  EXPECT_TRUE(Form->tcpmp->GetVisible());
  EXPECT_EQ(Form->tcpmp->GetCaption(), "TCPMP info");

  // The switch writes "Yes" or nothing: the profile's "No" does not survive the display.
  Choose("HandheldPC", "Sigmarion 3 (TCPMP)");
  EXPECT_EQ(Cell(13), "");
  EXPECT_EQ(Cell(14), "8206848");

  Choose("HP", "IPAQ 22xx");
  EXPECT_FALSE(Form->skSkinCheckRadioBox9->GetVisible());
  EXPECT_FALSE(Form->rating->GetVisible());
}

TEST_F(DeviceQueue, ShowingARowNormalisesItThroughTheControls)
{
  struct TCase {
    const char* Name;
    int ModeBefore;  // audio-mode box before the row is shown
    std::vector<std::pair<int, const char*>> Row;
    std::vector<std::pair<int, const char*>> Expected;
  };
  const TCase Cases[] = {
      {"a rate beyond the spin edit is clamped", 1, {{2, "12000"}}, {{2, "9999"}}},
      {"a frame rate beyond the slider is clamped", 1, {{6, "60"}}, {{6, "30"}}},
      {"mono above 64 kbit/s with Stereo shown becomes mono at 64", 1, {{3, "128"}, {9, "1"}}, {{3, "64"}, {9, "1"}}},
      {"mono above 64 kbit/s with Mono shown becomes stereo", 0, {{3, "128"}, {9, "1"}}, {{3, "128"}, {9, "2"}}},
      {"stereo below 64 kbit/s becomes mono", 1, {{3, "32"}, {9, "2"}}, {{3, "32"}, {9, "1"}}},
      {"two passes", 1, {{11, "2"}}, {{11, "2"}}},
      {"an unknown preset takes the box's selection", 1, {{4, "no_such_preset"}}, {{4, "xvid_mp3"}}},
      {"upscaling flag", 1, {{21, "Yes"}}, {{21, "Yes"}}},
      {"a folder of the row is kept and shown", 1, {{12, "/srv/out/"}}, {{12, "/srv/out/"}}},
  };
  for (const TCase& C : Cases) {
    Choose("Archos", "A605 XVID");
    Form->codec->SetItemIndex(IndexOf(Form->codec, "xvid_mp3"));
    Form->ac->SetItemIndex(C.ModeBefore);
    Form->frps->SetPosition(15);  // a slider writes back only when its position moves
    for (const auto& [Col, Text] : C.Row) Form->dq->SetCells(Col, 1, Text);
    Form->dqClick(Form);
    for (const auto& [Col, Text] : C.Expected) EXPECT_EQ(Cell(Col, 1), Text) << C.Name << ", column " << Col;
    EXPECT_TRUE(UiSync) << C.Name;
  }
  EXPECT_EQ(Form->xcedit2->GetCaption(), "/srv/out/");
  EXPECT_EQ(Form->dq->GetColCount(), 22);
}

TEST_F(DeviceQueue, TheScreenSizeTakesTheBoxsFormOnlyWhenTheBoxChanges)
{
  Choose("Cowon", "D2");
  ASSERT_EQ(Form->screensize->GetText(), " 320 x  240") << "D2 is a 320x240 device";
  // Copied again while the box already shows that size: the profile's form stays.
  Form->modelChange(Form);
  EXPECT_EQ(Cell(1), "320x240");
  // A device with another size changes the box, which writes its item.
  Choose("Apple", "iPhone (HQ)");
  EXPECT_EQ(Cell(1), " 720 x  320");
}

TEST_F(DeviceQueue, ANonNumberInALoadedRowIsReportedAndNeverLeavesTheDisplayBlocked)
{
  Choose("Archos", "A605 XVID");
  const String Video = Form->vq->GetText();
  Form->dq->SetCells(2, 1, "fast");
  Form->dq->SetCells(10, 1, "");
  Form->dq->SetCells(9, 1, "x");
  Form->dqClick(Form);
  EXPECT_TRUE(UiSync);
  EXPECT_EQ(Cell(2), Video);
  EXPECT_EQ(Cell(10), IntToStr(Form->XcTrackBar1->GetPosition()));
  EXPECT_TRUE(Cell(9) == "1" || Cell(9) == "2");
  ASSERT_EQ(Reports.size(), 3u);
  EXPECT_EQ(std::count_if(Reports.begin(), Reports.end(),
                          [](const String& R) { return R.find("\"fast\" in column 2") != String::npos; }),
            1);
  // The next choice still copies.
  Choose("Creative", "Zen");
  EXPECT_EQ(Cell(0), "Zen");
}

TEST_F(DeviceQueue, AddDeleteAndClearKeepTheMultiDeviceListInStep)
{
  Choose("Creative", "Zen");
  // No: nothing added.
  Answer = false;
  Form->SpeedButton5Click(Form);
  EXPECT_EQ(Form->dq->GetRowCount(), 2);
  ASSERT_EQ(Asked.size(), 1u);
  EXPECT_EQ(Asked[0], "Are you sure you want to add\ranother device?\r\rEach item in the queue will be\rconverted once per device!");

  Answer = true;
  Form->SpeedButton5Click(Form);
  ASSERT_EQ(Form->dq->GetRowCount(), 3);
  EXPECT_EQ(Form->dq->GetRow(), 2);
  EXPECT_EQ(Cell(0, 2), "Zen");
  EXPECT_TRUE(Form->Panel11->GetVisible());
  Choose("Sansa", "View");
  EXPECT_EQ(Entries(), (std::vector<std::string>{"01 Zen", "02 View"}));
  EXPECT_EQ(Form->multidevicebox->GetItemIndex(), 1);

  // The list picks the current row.
  Form->multidevicebox->SetItemIndex(0);
  EXPECT_EQ(Form->dq->GetRow(), 1);
  EXPECT_EQ(Form->model->GetText(), "Zen");

  Form->skSkinSpeedButton5Click(Form);
  EXPECT_EQ(Form->dq->GetRowCount(), 2);
  EXPECT_EQ(Cell(0, 1), "View");
  EXPECT_EQ(Entries(), (std::vector<std::string>{"01 View"}));
  EXPECT_FALSE(Form->Panel11->GetVisible());
  // One device left: "Del. device" does nothing.
  Form->skSkinSpeedButton5Click(Form);
  EXPECT_EQ(Form->dq->GetRowCount(), 2);
  EXPECT_EQ(Cell(0, 1), "View");

  // Deleting the last row leaves the row above it current.
  Form->SpeedButton5Click(Form);
  Choose("Cowon", "D2");
  ASSERT_EQ(Form->dq->GetRow(), 2);
  Form->skSkinSpeedButton5Click(Form);
  EXPECT_EQ(Form->dq->GetRowCount(), 2);
  EXPECT_EQ(Form->dq->GetRow(), 1);
  EXPECT_EQ(Entries(), (std::vector<std::string>{"01 View"}));
  EXPECT_EQ(Form->model->GetText(), "View");

  // "Clear All": one row, a copy of the model the boxes show, one entry.
  Form->SpeedButton5Click(Form);
  Form->SpeedButton5Click(Form);
  ASSERT_EQ(Form->dq->GetRowCount(), 4);
  Choose("Cowon", "D2+");
  Form->skSkinSpeedButton18Click(Form);
  EXPECT_EQ(Form->dq->GetRowCount(), 2);
  EXPECT_EQ(Cell(0, 1), "D2+");
  EXPECT_EQ(Entries(), (std::vector<std::string>{"01 D2+"}));
  EXPECT_FALSE(Form->Panel11->GetVisible());
}

TEST_F(DeviceQueue, AGridLoadedBehindTheListNeverWritesPastItsEnd)
{
  // A state file of three devices loaded straight into the grid: the list still has one entry.
  auto* Saved = NewGrid(22, 4);
  for (int R = 1; R <= 3; ++R) {
    Saved->SetCells(0, R, R == 3 ? "Zen" : "View");
    Saved->SetCells(5, R, R == 3 ? "Creative" : "Sansa");
  }
  ASSERT_TRUE(SaveGridText(Saved, WorkFolder + "state.grid"));
  ASSERT_EQ(LoadGridText(Form->dq, WorkFolder + "state.grid").Status, glLoaded);
  ASSERT_EQ(Entries().size(), 1u);
  Form->dq->SetRow(3);
  Choose("Cowon", "D2");
  EXPECT_EQ(Cell(0, 3), "D2");
  EXPECT_EQ(Entries(), (std::vector<std::string>{"01 View", "02 View", "03 D2"}));
  EXPECT_EQ(Form->multidevicebox->GetItemIndex(), 2);
}

TEST_F(DeviceQueue, LoadingAProfileRebuildsTheListAndShowsTheQueue)
{
  auto* Saved = NewGrid(22, 3);
  Saved->SetCells(0, 1, "Zen");
  Saved->SetCells(5, 1, "Creative");
  Saved->SetCells(2, 1, "12000");
  Saved->SetCells(0, 2, "View");
  Saved->SetCells(5, 2, "Sansa");
  ASSERT_TRUE(SaveGridText(Saved, WorkFolder + "profiles/Two.prf"));
  Form->profilebox->GetItems()->Add("Two");
  Form->profilebox->SetItemIndex(0);
  EXPECT_EQ(Form->dq->GetRowCount(), 3);
  EXPECT_EQ(Entries(), (std::vector<std::string>{"01 Zen", "02 View"}));
  EXPECT_TRUE(Form->Panel11->GetVisible());
  EXPECT_TRUE(UiSync);
  EXPECT_EQ(Cell(2, 1), "9999") << "the shown row is normalised";
}

TEST_F(DeviceQueue, ThePresetDecidesTheInfoButtonAndTheBlackBarMode)
{
  const struct {
    const char* Preset;
    bool Shown;
    const char* Caption;
    bool BlackBars;
  } Cases[] = {
      {"xvid_mp3", false, "", false},
      {"wmv9_wma_wme", true, "WMV info", false},
      {"3gp1_aac", false, "", true},
  };
  Choose("Archos", "A605 XVID");
  for (const auto& C : Cases) {
    Form->radiobutton1->SetChecked(true);
    Form->codec->SetItemIndex(IndexOf(Form->codec, C.Preset));
    EXPECT_EQ(Cell(4), C.Preset);
    EXPECT_EQ(Form->tcpmp->GetVisible(), C.Shown) << C.Preset;
    if (C.Shown) {
      EXPECT_EQ(Form->tcpmp->GetCaption(), C.Caption) << C.Preset;
    }
    EXPECT_EQ(Form->radiobutton3->GetChecked(), C.BlackBars) << C.Preset;
  }
}

TEST_F(DeviceQueue, TheOpenPreviewWindowShowsTheRowsBrightnessAndContrast)
{
  // The preview window's two sliders run from -20 to 20; the row keeps five times their value.
  auto* Preview = new TForm(nullptr);
  Preview->SetName("Form2");
  TXcTrackBar* Bars[2];
  const char* Names[2] = {"XcTrackBar2", "XcTrackBar3"};
  for (int I = 0; I < 2; ++I) {
    Bars[I] = new TXcTrackBar(Preview);
    Bars[I]->SetName(Names[I]);
    Bars[I]->SetMin(-20);
    Bars[I]->SetMax(20);
    Bars[I]->SetParent(Preview);
  }
  Choose("Creative", "Zen");
  Form->dq->SetCells(7, 1, "37");
  Form->dq->SetCells(8, 1, "-12");
  Form->dqClick(Form);
  EXPECT_EQ(Bars[0]->GetPosition(), 7);
  EXPECT_EQ(Bars[1]->GetPosition(), -2) << "whole-number division truncates toward zero";
  delete Preview;
  // Without the window the row shows as before.
  Form->dqClick(Form);
  EXPECT_TRUE(UiSync);
}

class TFakeFolderDialog : public TAddFolderDialog {
public:
  bool Execute(const String& Title, const String& StartFolder, String& Folder) override
  {
    Calls.push_back(Title + "|" + StartFolder);
    if (Answer.empty()) return false;
    Folder = Answer;
    return true;
  }
  String Answer;
  std::vector<String> Calls;
};

TEST_F(DeviceQueue, TheOutputFolderComesFromTheDialogOrTyping)
{
  TFakeFolderDialog Dialog;
  ScanHost().FolderDialog = &Dialog;
  const struct {
    const char* Name;
    const char* Chosen;  // "" cancels
    const char* Expected;
  } Cases[] = {
      {"a chosen folder gets its separator", "/srv/media", "/srv/media/"},
      {"a doubled separator is made single", "/srv//media/", "/srv/media/"},
      {"cancel keeps the folder", "", "/srv/media/"},
      {"a name with odd characters is kept", "/srv/a \"b\"\\c\n-d", "/srv/a \"b\"\\c\n-d/"},
  };
  for (const auto& C : Cases) {
    Dialog.Answer = C.Chosen;
    Form->SpeedButton4Click(Form);
    EXPECT_EQ(Form->xcedit2->GetCaption(), C.Expected) << C.Name;
    EXPECT_EQ(Form->xcedit2->GetURL(), C.Expected) << C.Name;
    EXPECT_EQ(Cell(12), C.Expected) << C.Name;
  }
  EXPECT_EQ(Dialog.Calls.front(), "Select destination folder|" + Dir + "videos/");

  // Typed: an empty answer gives the bare separator.
  String Typed = "/home/u/out";
  SetDialogHandler([&](TDialogRequest& R) {
    EXPECT_EQ(R.Caption, "Manual Folder Input");
    R.Value = Typed;
    return static_cast<int>(mrOk);
  });
  Form->skSkinSpeedButton25Click(Form);
  EXPECT_EQ(Cell(12), "/home/u/out/");
  Typed = "";
  Form->skSkinSpeedButton25Click(Form);
  EXPECT_EQ(Cell(12), "/");
}

}  // namespace

TEST_F(DeviceQueue, AnEmptyFolderLabelTakesTheVideosFolderIntoTheRow)
{
  const String Videos = Dir + "My Videos/";
  Form->shlfld1->GetItems()->Add(Videos);
  Form->shlfld2->GetItems()->Add("My Videos");
  Form->shlfld3->GetItems()->Add("CSIDL_MYVIDEO");
  ASSERT_EQ(MyVideosFolder(), Videos);
  Form->xcedit2->SetCaption("");
  Form->dq->SetCells(DeviceFolderCol, 1, "");
  Form->dq->SetRow(1);
  Form->dqClick(Form);
  EXPECT_EQ(Form->xcedit2->GetCaption(), Videos);
  EXPECT_EQ(Cell(DeviceFolderCol, 1), Videos);
}
