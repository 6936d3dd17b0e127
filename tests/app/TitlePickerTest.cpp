// The DVD title picker without a display, in the DVD title scan as the program runs it: the
// scan lists the titles and waits; the user may play a title, then OK keeps the ticked titles,
// Cancel or closing the window keeps none and leaves the queue as it was. A title plays through
// the plain DVD input; Stop, OK and Cancel end a playing title so that no player outlives the
// picker.
#include <gtest/gtest.h>

#include "core/DvdScan.h"
#include "core/qv_detect.h"
#include "tests/app/PreviewTestSupport.h"

namespace {

using previewtest::TStepper;

class TTitlePicker : public previewtest::TProgramHome {
protected:
  void SetUp() override
  {
    TProgramHome::SetUp();
    StartProgram();
    P = ProgramTitlePicker();
    ASSERT_NE(P, nullptr);
    ASSERT_EQ(DetectionHost().Picker, P);
    DetectionHost().AskTitles = true;
    Disc = Dir + "My \"Disc\"";
    std::filesystem::create_directories(Disc + "/VIDEO_TS");
    // The title scans play the fake player: a video format makes a title selectable.
    FakePlayer("print ID_VIDEO_FORMAT=0x10000002\nprint ID_VIDEO_WIDTH=720\nprint ID_VIDEO_HEIGHT=576\nexit 0");
  }
  void TearDown() override
  {
    ToolRunning = false;
    PickerOpen = false;
    TProgramHome::TearDown();
  }
  // The identify output of a disc with Count titles of 700 + 100 * n seconds.
  void IdentifiedTitles(int Count)
  {
    TStrings* Log = W()->dvdlog->GetLines();
    Log->Clear();
    Log->Add("ID_DVD_TITLES=" + IntToStr(Count));
    for (int N = 1; N <= Count; ++N) Log->Add("ID_DVD_TITLE_" + IntToStr(N) + "_LENGTH=" + IntToStr(600 + 100 * N) + ".000");
  }
  void Scan() { ScanDvdTitles("MYDISC", Disc, "MYDISC"); }
  // The names of the queue's used rows.
  std::vector<std::string> Queued()
  {
    std::vector<std::string> Names;
    auto* G = W()->StringGrid1;
    for (int R = 1; R < G->GetRowCount(); ++R)
      if (!G->GetCells(scNumber, R).empty()) Names.push_back(G->GetCells(scName, R));
    return Names;
  }
  void PutEarlierSource()
  {
    PutSource(Dir + "earlier.avi", "100");
    W()->StringGrid1->SetCells(scName, 1, "earlier");
  }

  TForm5* P = nullptr;
  std::string Disc;
};

TEST_F(TTitlePicker, ListsTheTitlesUntickedAndOkQueuesTheTickedOnes)
{
  IdentifiedTitles(3);
  std::vector<std::string> Shown;
  bool AnyTicked = true;
  int Selected = -1;
  TStepper Steps({
      [&] { return PickerOpen && P->GetVisible(); },
      [&] {
        auto* L = P->skSkinCheckListBox1;
        for (int I = 0; I < L->GetItems()->GetCount(); ++I) {
          Shown.push_back(L->GetItems()->Get(I));
          AnyTicked = AnyTicked && L->GetChecked(I);
        }
        AnyTicked = AnyTicked && !Shown.empty();
        Selected = L->GetItemIndex();
        L->SetChecked(0, true);
        L->SetChecked(2, true);
        P->skSkinButton1Click(P->skSkinButton1);
        return true;
      },
  });
  Scan();
  EXPECT_TRUE(Steps.Done());
  EXPECT_EQ(Shown, (std::vector<std::string>{"DVD - MYDISC_1 - 0:11:40", "DVD - MYDISC_2 - 0:13:20",
                                             "DVD - MYDISC_3 - 0:15:00"}));
  EXPECT_FALSE(AnyTicked);
  EXPECT_EQ(Selected, 0);
  EXPECT_FALSE(PickerOpen);
  EXPECT_FALSE(P->GetVisible());
  EXPECT_EQ(Queued(), (std::vector<std::string>{"MYDISC_1", "MYDISC_3"}));
  // Only the ticked titles were scanned.
  EXPECT_EQ(Logged("run ").size(), 2u);
}

TEST_F(TTitlePicker, CancelAndClosingKeepNoTitleAndTheQueueAsItWas)
{
  const struct {
    const char* Name;
    std::function<void(TForm5*)> Answer;
  } Cases[] = {
      {"Cancel", [](TForm5* F) { F->skSkinButton3Click(F->skSkinButton3); }},
      {"closed by its frame", [](TForm5* F) { F->Close(); }},
  };
  for (const auto& C : Cases) {
    PutEarlierSource();
    IdentifiedTitles(3);
    TStepper Steps({
        [&] { return PickerOpen && P->GetVisible(); },
        [&] {
          P->skSkinCheckListBox1->SetChecked(1, true);
          C.Answer(P);
          return true;
        },
    });
    Scan();
    EXPECT_TRUE(Steps.Done()) << C.Name;
    EXPECT_FALSE(PickerOpen) << C.Name;
    EXPECT_FALSE(P->GetVisible()) << C.Name;
    EXPECT_EQ(Queued(), (std::vector<std::string>{"earlier"})) << C.Name;
  }
}

TEST_F(TTitlePicker, NinetyNineTitlesAreListedAndNoneTickedQueuesNothing)
{
  IdentifiedTitles(99);
  int Count = 0;
  TStepper Steps({
      [&] { return PickerOpen; },
      [&] {
        Count = P->skSkinCheckListBox1->GetItems()->GetCount();
        P->skSkinButton1Click(P->skSkinButton1);
        return true;
      },
  });
  Scan();
  EXPECT_TRUE(Steps.Done());
  EXPECT_EQ(Count, 99);
  EXPECT_TRUE(Queued().empty());
  EXPECT_TRUE(Logged("run ").empty());
}

TEST_F(TTitlePicker, ATitlePlaysThroughThePlainDvdInput)
{
  const struct {
    const char* Input;
    const char* Played;
  } Cases[] = {
      {"-dvd-device \"/media/cdrom0/VIDEO_TS\"  dvdnav://3 ", "-dvd-device \"/media/cdrom0\"  dvd://3 "},
      {"-dvd-device \"/home/u/My \"\"DVD\"\"\"  dvdnav://1 ", "-dvd-device \"/home/u/My \"\"DVD\"\"\"  dvd://1 "},
  };
  W()->dvdgrid->SetRowCount(1);
  for (const auto& C : Cases) {
    W()->dvdgrid->SetCells(scInputArgs, 0, C.Input);
    EXPECT_EQ(P->TitleCommandLine(0),
              "\"" + Work + "mplayer.exe\" -vo null -slave -nokeepaspect " + std::string(C.Played));
  }
}

TEST_F(TTitlePicker, PreviewPlaysTheSelectedTitleStopEndsItAndOkEndsAPlayingOne)
{
  IdentifiedTitles(3);
  String CaptionWhilePlaying, Played;
  bool VideoShown = false, VideoHiddenAfter = false;
  TStepper Steps({
      [&] { return PickerOpen; },
      [&] {
        // The player of the picker: the scans' fake with a stall, so that it plays until stopped.
        setenv("QV_FAKETOOL_SCRIPT", "print playing\nstall", 1);
        P->skSkinCheckListBox1->SetItemIndex(1);
        P->skSkinButton2Click(P->skSkinButton2);  // waits until the title ends
        return true;
      },
      [&] { return P->skSkinButton2->GetCaption() == "Stop"; },
      [&] {
        CaptionWhilePlaying = P->skSkinButton2->GetCaption();
        VideoShown = P->videowindow1->GetVisible();
        Played = W()->Edit1->GetText();
        P->skSkinButton2Click(P->skSkinButton2);  // Stop
        return true;
      },
      [&] { return !ToolRunning && P->skSkinButton2->GetCaption() == "Preview"; },
      [&] {
        VideoHiddenAfter = !P->videowindow1->GetVisible();
        P->skSkinButton2Click(P->skSkinButton2);  // plays again; OK below ends it
        return true;
      },
      [&] { return P->skSkinButton2->GetCaption() == "Stop"; },
      [&] {
        setenv("QV_FAKETOOL_SCRIPT", "print ID_VIDEO_FORMAT=0x10000002\nexit 0", 1);
        P->skSkinCheckListBox1->SetChecked(1, true);
        P->skSkinButton1Click(P->skSkinButton1);
        return true;
      },
  });
  Scan();
  EXPECT_TRUE(Steps.Done()) << "stopped at step " << Steps.Reached();
  EXPECT_EQ(CaptionWhilePlaying, "Stop");
  EXPECT_TRUE(VideoShown);
  EXPECT_TRUE(VideoHiddenAfter);
  EXPECT_NE(Played.find(" -vo null -slave -nokeepaspect -dvd-device "), std::string::npos) << Played;
  EXPECT_NE(Played.find(" dvd://2 "), std::string::npos) << Played;
  EXPECT_FALSE(ToolRunning);
  EXPECT_EQ(P->skSkinButton2->GetCaption(), "Preview");
  EXPECT_EQ(Queued(), (std::vector<std::string>{"MYDISC_2"}));
  // Two plays and one title scan; each play ended before the scan went on.
  EXPECT_EQ(Logged("run ").size(), 3u);
}

TEST_F(TTitlePicker, APlayerThatCannotStartLeavesThePickerUsable)
{
  IdentifiedTitles(2);
  String Status, Caption;
  TStepper Steps({
      [&] { return PickerOpen; },
      [&] {
        std::filesystem::remove(Work + "mplayer.exe");
        P->skSkinButton2Click(P->skSkinButton2);
        Status = W()->status->GetCaption();
        Caption = P->skSkinButton2->GetCaption();
        P->skSkinButton3Click(P->skSkinButton3);
        return true;
      },
  });
  Scan();
  EXPECT_TRUE(Steps.Done());
  EXPECT_NE(Status.find("could not be played"), std::string::npos) << Status;
  EXPECT_EQ(Caption, "Preview");
  EXPECT_FALSE(ToolRunning);
  EXPECT_FALSE(PickerOpen);
}

}  // namespace
