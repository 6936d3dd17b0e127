// The preview and crop window without a display: the player's command line, the slave commands
// that reach a playing player, trim marks, crop bars and overlays, "Apply to all equal
// selections", and the ways a preview can fail (a vanished source, a player that cannot start
// or crashes) -- each must end the wait with a clear status and the run buttons back.
#include <gtest/gtest.h>

#include <sys/stat.h>

#include <cmath>
#include <iterator>

#include "app/QueueEditPanel.h"
#include "core/RunControl.h"
#include "core/qv_detect.h"
#include "tests/app/PreviewTestSupport.h"

namespace {

using previewtest::TStepper;

class TPreview : public previewtest::TProgramHome {
protected:
  void SetUp() override
  {
    TProgramHome::SetUp();
    StartProgram();
    F = ProgramPreviewWindow();
    ASSERT_NE(F, nullptr);
    Clip = Dir + "media/a \"clip\".avi";
    std::filesystem::create_directories(Dir + "media");
    WriteBytes(Clip, "not really a video");
    PreviewSourceWidth = PreviewSourceHeight = 0;
  }
  void TearDown() override
  {
    ToolRunning = false;
    TProgramHome::TearDown();
  }
  std::string Args()
  {
    std::string All;
    for (const auto& A : Logged("arg ")) All += A.substr(A.find(' ') + 1) + "|";
    return All;
  }

  TForm2* F = nullptr;
  std::string Clip;
};

TEST(PreviewVideoOutput, X11OutputsEmbedAndHeadlessHasNone)
{
  const struct {
    bool Fix;
    std::uint64_t Wid;
    const char* Expected;
  } Cases[] = {
      {false, 4194310, " -vo x11 -zoom -slave -nokeepaspect -wid 4194310"},
      {true, 77, " -vo xv,x11 -zoom -slave -nokeepaspect -wid 77"},
      {false, 0, " -vo null -slave -nokeepaspect"},
      {true, 0, " -vo null -slave -nokeepaspect"},
  };
  for (const auto& C : Cases) EXPECT_EQ(PreviewVideoOutput(C.Fix, C.Wid), C.Expected) << C.Fix << " " << C.Wid;
}

TEST_F(TPreview, CommandLineFollowsTheRow)
{
  const struct {
    const char* Name;
    String Length, Aspect, Audio, SubtitlesOn, Subtitle;
    std::vector<std::string> Present, Absent;
  } Cases[] = {
      {"known length, no aspect", "120", "0", "", "NO", "", {" -noautosub -forcedsubsonly"}, {"-identify", "-aspect", "-aid"}},
      {"no length asks for identification", "", "", "", "NO", "", {" -identify"}, {}},
      {"aspect", "120", "1.78", "", "NO", "", {" -aspect 1.78"}, {}},
      {"audio track number", "120", "", "128 English", "NO", "", {" -aid 128 "}, {}},
      {"audio without number adds nothing", "120", "", "English", "NO", "", {}, {"-aid"}},
      {"subtitle track", "120", "", "", "YES", "2 German", {" -sid 2 -font \"" + Work + "mplayer/subfont.ttf\""},
       {"-noautosub", "-sub "}},
      {"srt side file", "120", "", "", "YES", "SRT File: /films/Die \"Hard\".srt",
       {" -sub \"/films/Die \"\"Hard\"\".srt\" -font "}, {"-sid", "-noautosub"}},
      {"sub side file gets nothing", "120", "", "", "YES", "SUB File: /films/x.sub", {}, {"-sid", "-sub ", "-noautosub"}},
  };
  for (const auto& C : Cases) {
    PutSource(Clip, C.Length);
    auto* G = W()->StringGrid1;
    G->SetCells(scAspect, 1, C.Aspect);
    G->SetCells(scAudioChoice, 1, C.Audio);
    G->SetCells(scSubtitlesOn, 1, C.SubtitlesOn);
    G->SetCells(scSubtitleChoice, 1, C.Subtitle);
    const std::string Line = PreviewCommandLine();
    EXPECT_EQ(Line.rfind("\"" + Work + "mplayer.exe\" \"" + Clip + "\" -vo null -slave -nokeepaspect", 0), 0u)
        << C.Name << ": " << Line;
    for (const auto& P : C.Present) EXPECT_NE(Line.find(P), std::string::npos) << C.Name << ": " << Line;
    for (const auto& A : C.Absent) EXPECT_EQ(Line.find(A), std::string::npos) << C.Name << ": " << Line;
  }
}

TEST_F(TPreview, PlayingPlayerGetsSeekPictureAspectAndPauseAndClosingEndsIt)
{
  FakePlayer("print VO: [null] 640x360 => 640x360 Planar YV12\nechoinput");
  PutSource(Clip, "120");
  W()->dq->SetCells(7, 1, "37");
  W()->dq->SetCells(8, 1, "-12");
  W()->dq->SetRow(1);
  String BrightnessWhenLoaded;
  int BarWhenLoaded = 99;
  TStepper Steps({
      [&] { return ToolRunning && PreviewSourceWidth == 640; },
      [&] {
        BarWhenLoaded = F->XcTrackBar2->GetPosition();
        BrightnessWhenLoaded = W()->dq->GetCells(7, 1);
        F->XcTrackBar2->SetPosition(8);
        return true;
      },
      [&] {
        F->trackbar2MouseDown(F->trackbar2, mbLeft, {}, 0, 0);
        F->trackbar2->SetPosition(12);
        F->trackbar2MouseUp(F->trackbar2, mbLeft, {}, 0, 0);
        return true;
      },
      [&] {
        F->aspectbox->SetItemIndex(9);
        return true;
      },
      [&] {
        F->preview2Click(F->preview2);
        return true;
      },
      [&] { return Logged("stdin ").size() >= 5; },
      [&] {
        F->Close();
        return true;
      },
  });
  PreviewButtonClick(W()->b1);
  EXPECT_TRUE(Steps.Done()) << "stopped at step " << Steps.Reached();
  EXPECT_FALSE(ToolRunning);
  EXPECT_FALSE(F->GetVisible());
  EXPECT_TRUE(W()->b1->GetVisible());
  EXPECT_EQ(BarWhenLoaded, 7);
  EXPECT_EQ(BrightnessWhenLoaded, "37") << "loading the bar rewrote the device row";
  EXPECT_EQ(W()->dq->GetCells(7, 1), "40");
  EXPECT_EQ(F->XcTrackBar3->GetPosition(), -2);  // -12 div 5
  EXPECT_EQ(W()->StringGrid1->GetCells(scAspect, 1), "1.78");
  EXPECT_EQ(Logged("stdin "),
            (std::vector<std::string>{"brightness 40 1", "seek 12 2", "seek 12 2", "switch_ratio 1.78", "pause "}));
  const std::string A = Args();
  EXPECT_NE(A.find("-brightness|35|-contrast|-10|"), std::string::npos) << A;
  EXPECT_NE(A.find("-vo|null|-slave|-nokeepaspect|"), std::string::npos) << A;
  EXPECT_EQ(A.find("-wid"), std::string::npos) << A;
  // The reported size sets the crop ranges: a third of 640 x 360.
  EXPECT_EQ(F->lt->GetMax(), 213);
  EXPECT_EQ(F->bt->GetMax(), 120);
  // Nothing is sent once the player has gone.
  F->XcTrackBar2->SetPosition(3);
  EXPECT_EQ(Logged("stdin ").size(), 5u);
}

TEST_F(TPreview, TheQueueEditorsPreviewButtonPlaysTheSelectedRowAndEveryLoadedRowShowsInTheWindow)
{
  FakePlayer("print VO: [null] 320x240 => 320x240 Planar YV12\nstall");
  // A click of the user on the queue editor's button.
  auto PressPreviewButton = [&] {
    TControl* Button = W()->QueueEdit->skSkinSpeedButton9;
    Button->Perform(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
    Button->Perform(WM_LBUTTONUP, 0, MAKELPARAM(5, 5));
  };
  auto* G = W()->StringGrid1;
  PutSource(Clip, "120");
  G->SetCells(scOutputName, 1, "Die \"Hard\" -1");
  G->SetCells(scAspect, 1, "2.35");
  G->SetCells(scTrimStart, 1, "20");
  G->SetCells(scTrimEnd, 1, "90");
  G->SetRowCount(3);
  G->SetCells(scNumber, 2, "00002");
  G->SetCells(scSourcePath, 2, Clip);
  G->SetCells(scOutputName, 2, "second");
  G->SetCells(scLength, 2, "200.4");
  G->SetCells(scTrimStart, 2, "0");
  G->SetCells(scTrimEnd, 2, "150");
  G->SetRow(1);
  UiSync = true;
  F->Hide();
  struct TShown {
    bool Visible = false;
    String Caption, Aspect, Start, End, Hint;
    int Max = -1, SelStart = -1, SelEnd = -1;
  };
  auto Look = [&] {
    TShown S;
    S.Visible = F->GetVisible();
    S.Caption = F->GetCaption();
    S.Aspect = F->aspectbox->GetText();
    S.Max = F->trackbar2->GetMax();
    S.SelStart = F->trackbar2->GetSelStart();
    S.SelEnd = F->trackbar2->GetSelEnd();
    S.Start = F->button1->GetCaption();
    S.End = F->button2->GetCaption();
    S.Hint = F->trackbar2->GetHint();
    return S;
  };
  auto ExpectShown = [](const TShown& S, const String& Aspect, int Max, int SelStart, int SelEnd, const String& Start,
                        const String& End) {
    EXPECT_EQ(S.Aspect, Aspect);
    EXPECT_EQ(S.Max, Max);
    EXPECT_EQ(S.SelStart, SelStart);
    EXPECT_EQ(S.SelEnd, SelEnd);
    EXPECT_EQ(S.Start, Start);
    EXPECT_EQ(S.End, End);
  };
  TShown Playing;
  TStepper Steps({
      [&] { return ToolRunning && !Logged("run ").empty(); },
      [&] {
        Playing = Look();
        PlayPreview();  // stopped
        return true;
      },
  });
  PressPreviewButton();
  EXPECT_TRUE(Steps.Done()) << "the button started no player: " << W()->status->GetCaption();
  EXPECT_FALSE(ToolRunning);
  ASSERT_EQ(Logged("run ").size(), 1u);
  EXPECT_NE(Args().find("|-aspect|2.35|"), std::string::npos) << Args();
  EXPECT_TRUE(Playing.Visible);
  ExpectShown(Playing, "2.35:1  (* FILM)", 120, 20, 90, "0:00:20", "0:01:30");
  EXPECT_EQ(Playing.Hint.substr(Playing.Hint.find(' ')), " (0:01:10 0:02:00)");

  // A row the editor loads later (the user clicks it) shows in the window: its name while no
  // device screen gives the playback size, its length and trim marks; its empty aspect leaves
  // the aspect box as it was.
  W()->screensize->SetText("");
  G->SetRow(2);
  const TShown Second = Look();
  EXPECT_EQ(Second.Caption, "second");
  ExpectShown(Second, "2.35:1  (* FILM)", 200, 0, 150, "0:00:00", "0:02:30");
  EXPECT_EQ(Logged("run ").size(), 1u) << "a load plays nothing";

  // The button does nothing on a blank row.
  G->SetRow(1);
  for (int C = 0; C < G->GetColCount(); ++C) G->SetCells(C, 1, "");
  PressPreviewButton();
  EXPECT_EQ(Logged("run ").size(), 1u);
}

TEST_F(TPreview, ASecondPressStopsThePreviewAndClickingTheIdleVideoStartsIt)
{
  FakePlayer("print VO: [null] 320x240 => 320x240 Planar YV12\nstall");
  PutSource(Clip, "120");
  TStepper Steps({
      [&] { return ToolRunning && !Logged("run ").empty(); },
      [&] {
        PlayPreview();  // the Preview button again
        return true;
      },
  });
  F->Show();
  F->preview2Click(F->preview2);
  EXPECT_TRUE(Steps.Done());
  EXPECT_FALSE(ToolRunning);
  EXPECT_EQ(Logged("run ").size(), 1u);
}

TEST_F(TPreview, IdentifyKeysOfThePreviewGoIntoThePreviewedRowOnly)
{
  FakePlayer("print ID_LENGTH=42.00\nprint ID_VIDEO_FORMAT=0x10000002\nexit 0");
  PutSource(Clip, "");
  auto* G = W()->StringGrid1;
  G->SetRowCount(3);
  G->SetCells(scNumber, 2, "00002");
  G->SetCells(scLength, 2, "77");
  G->SetRow(1);
  DetectRow = 0;
  F->Show();
  PlayPreview();
  EXPECT_NE(Args().find("-identify|"), std::string::npos);
  EXPECT_EQ(G->GetCells(scLength, 1), "42.00");
  EXPECT_EQ(G->GetCells(scVideoFormat, 1), "0x10000002");
  EXPECT_EQ(G->GetCells(scLength, 2), "77");
  EXPECT_EQ(G->GetCells(scVideoFormat, 2), "");
  EXPECT_EQ(DetectRow, 0);
}

TEST_F(TPreview, TrimMarksNeverCross)
{
  PutSource(Clip, "100");
  UiSync = true;
  F->trackbar2->SetMax(100);
  F->trackbar2->SetSelStart(0);
  F->trackbar2->SetSelEnd(100);
  const struct {
    int Position;
    bool Start;
    const char* Begin;
    const char* End;
    const char* Duration;
    const char* Seconds;
  } Steps[] = {
      {30, true, "30", "100", "0:01:10", "70"},
      {50, false, "30", "50", "0:00:20", "20"},
      {80, true, "80", "100", "0:00:20", "20"},   // the start passes the end: the end goes to the end
      {10, false, "0", "10", "0:00:10", "10"},    // the end before the start: the start goes to 0
      {10, true, "10", "10", "0:00:00", "0"},
  };
  auto* G = W()->StringGrid1;
  for (const auto& S : Steps) {
    F->trackbar2->SetPosition(S.Position);
    if (S.Start)
      F->button1Click(F->button1);
    else
      F->Button2Click(F->button2);
    EXPECT_EQ(G->GetCells(scTrimStart, 1), S.Begin) << S.Position;
    EXPECT_EQ(G->GetCells(scTrimEnd, 1), S.End) << S.Position;
    EXPECT_EQ(G->GetCells(scDuration, 1), S.Duration) << S.Position;
    EXPECT_EQ(G->GetCells(scConvertSeconds, 1), S.Seconds) << S.Position;
  }
  EXPECT_EQ(F->button1->GetCaption(), "0:00:10");
  EXPECT_EQ(F->SeekHint(), "0:00:10 (0:00:00 0:01:40)");
}

TEST_F(TPreview, CropOverlaysAndRangesFollowTheBars)
{
  PutSource(Clip, "100", 640, 360);
  UiSync = true;
  // No size reported yet: laid out for 320 x 240.
  F->FormResize(F);
  EXPECT_EQ(F->lt->GetMax(), 106);
  EXPECT_EQ(F->tp->GetMax(), 80);
  EXPECT_EQ(PreviewSourceWidth, 320);
  EXPECT_EQ(F->left->GetWidth(), 1) << "a crop of 0 keeps a one-pixel line";

  PreviewSourceWidth = 640;
  PreviewSourceHeight = 360;
  F->FormResize(F);
  const int X = F->preview2->GetLeft(), Y = F->preview2->GetTop();
  const int PW = F->preview2->GetWidth(), PH = F->preview2->GetHeight();
  EXPECT_EQ(PW * 360 / 640, PH) << "the picture keeps the source's shape";
  const struct {
    TXcTrackBar* Bar;
    TXcPanel* Overlay;
    int Position;
    int Column;
  } Cases[] = {{F->lt, F->left, 64, scCropLeft},
               {F->rt, F->right, 100, scCropRight},
               {F->tp, F->top, 45, scCropTop},
               {F->bt, F->bottom, 90, scCropBottom}};
  for (const auto& C : Cases) {
    C.Bar->SetPosition(C.Position);
    EXPECT_EQ(W()->StringGrid1->GetCells(C.Column, 1), IntToStr(C.Position));
  }
  const int LeftW = static_cast<int>(std::nearbyint(PW / 640.0 * 64)) + 1;
  const int RightW = static_cast<int>(std::nearbyint(PW / 640.0 * 100)) + 1;
  const int TopH = static_cast<int>(std::nearbyint(PH / 360.0 * 45)) + 1;
  const int BottomH = static_cast<int>(std::nearbyint(PH / 360.0 * 90)) + 1;
  EXPECT_EQ(F->left->GetBoundsRect(), Rect(X, Y, X + LeftW, Y + PH));
  EXPECT_EQ(F->right->GetBoundsRect(), Rect(X + PW - RightW, Y, X + PW, Y + PH));
  EXPECT_EQ(F->top->GetBoundsRect(), Rect(X, Y, X + PW, Y + TopH));
  EXPECT_EQ(F->bottom->GetBoundsRect(), Rect(X, Y + PH - BottomH, X + PW, Y + PH));
  // The crop texts and the device playback size: 476 x 225 scaled into 320 x 240.
  EXPECT_EQ(W()->StringGrid1->GetCells(scCropFilter, 1), "crop=480:224:64:48");
  W()->screensize->SetText(" 320 x  240");
  F->resdisplay();
  EXPECT_EQ(F->GetCaption(), "Device playback resolution: 320 x 160");
  // Without UiSync the bars leave the row alone.
  UiSync = false;
  F->lt->SetPosition(10);
  EXPECT_EQ(W()->StringGrid1->GetCells(scCropLeft, 1), "64");
  UiSync = true;
}

TEST_F(TPreview, ApplyToAllEqualSelectionsCopiesIntoRowsOfTheSameStoredSize)
{
  auto* G = W()->StringGrid1;
  G->SetRowCount(5);
  const char* Sizes[5][3] = {{"#", "Width", "Height"}, {"00001", "720", "576"}, {"00002", "720", "576"},
                             {"00003", "720", "480"}, {"", "720", "576"}};
  for (int R = 0; R < 5; ++R) {
    G->SetCells(scNumber, R, Sizes[R][0]);
    G->SetCells(scWidth, R, Sizes[R][1]);
    G->SetCells(scHeight, R, Sizes[R][2]);
  }
  G->SetCells(scWidth, 0, "720");  // even a header that looks like a row is no row
  G->SetCells(scHeight, 0, "576");
  const int Copied[] = {scAspect,      scAudioChoice, scSubtitlesOn, scSubtitleChoice, scSubtitleTracks, scAngleChosen,
                        scAngleNumber, scCropLeft,    scCropRight,   scCropTop,        scCropBottom,     scCropFilter,
                        scCroppedWidth, scCroppedHeight, scClipArgs,  scCropArgs};
  for (int C : Copied) G->SetCells(C, 1, "v" + IntToStr(C));
  G->SetCells(scAudioChoiceLine, 1, "3");
  G->SetRow(1);
  std::vector<String> Header;
  for (int C : Copied) Header.push_back(G->GetCells(C, 0));
  F->skSkinButton34Click(F->skSkinButton34);
  for (std::size_t I = 0; I < std::size(Copied); ++I) {
    const int C = Copied[I];
    EXPECT_EQ(G->GetCells(C, 2), "v" + IntToStr(C)) << C;
    EXPECT_EQ(G->GetCells(C, 3), "") << C;
    EXPECT_EQ(G->GetCells(C, 4), "") << C;
    EXPECT_EQ(G->GetCells(C, 0), Header[I]) << C;
  }
  EXPECT_EQ(G->GetCells(scAudioChoiceLine, 2), "");
}

TEST_F(TPreview, WhileAConversionRunsThePreviewNeitherStopsTheEncoderNorStartsATool)
{
  FakePlayer("stall");
  std::filesystem::remove(Work + "mencoder.exe");
  std::filesystem::create_symlink(std::string(QV_TEST_BIN_DIR) + "/qv_faketool", Work + "mencoder.exe");
  PutSource(Clip, "120");
  UiSync = true;
  TXcCreateProcess* Runner = W()->XcCreateProcess1;
  Runner->SetCommandLine("\"" + Work + "mencoder.exe\" in.avi -o out.avi");
  Runner->SetCurrentDirectory(Work);
  ToolRunning = true;
  Converting = true;
  Runner->StartProcess();
  // Settles what a kill would have caused: the runner's end event.
  auto Settle = [] {
    for (int I = 0; I < 20; ++I) {
      Application->ProcessMessages();
      usleep(10000);
    }
  };
  const struct {
    const char* Name;
    std::function<void()> Press;
  } Cases[] = {
      {"Preview button", [&] { PreviewButtonClick(W()->b1); }},
      {"playing", [&] { PlayPreview(); }},
      {"detect borders", [&] { F->XcSpeedButton2Click(F->XcSpeedButton2); }},
      {"detect and fill", [&] { F->XcSpeedButton3Click(F->XcSpeedButton3); }},
      {"reset the crop", [&] { F->XcSpeedButton4Click(F->XcSpeedButton4); }},
      {"reset and fill", [&] { F->XcSpeedButton5Click(F->XcSpeedButton5); }},
  };
  for (const auto& C : Cases) {
    W()->status->SetCaption("");
    C.Press();
    Settle();
    EXPECT_TRUE(ToolRunning) << C.Name;
    EXPECT_NE(Runner->GetState(), TXcCreateProcess::Ready) << C.Name << ": the encoder was stopped";
    EXPECT_NE(W()->status->GetCaption().find("waits until the conversion has ended"), std::string::npos)
        << C.Name << ": " << W()->status->GetCaption();
  }
  EXPECT_EQ(Logged("run ").size(), 1u) << "a player or a frame grab started beside the encoder";
  Converting = false;
  Runner->KillProcess();
  WaitForTool();
}

TEST_F(TPreview, FailuresEndTheWaitWithAMessageAndTheButtonsBack)
{
  const std::string Crash = Dir + "crash.sh";
  WriteBytes(Crash, "#!/bin/sh\nkill -SEGV $$\n");
  chmod(Crash.c_str(), 0755);
  const struct {
    const char* Name;
    std::function<void()> Arrange;
    const char* Status;
  } Cases[] = {
      {"the source vanished", [&] { std::filesystem::remove(Clip); }, "is gone"},
      {"no player", [&] { std::filesystem::remove(Work + "mplayer.exe"); }, "could not be started"},
      {"the player crashes",
       [&] {
         std::filesystem::remove(Work + "mplayer.exe");
         std::filesystem::create_symlink(Crash, Work + "mplayer.exe");
       },
       "The preview player ended with exit code"},
      {"the player shows no picture", [&] { FakePlayer("print Error opening the video output.\nexit 0"); },
       "ended without showing a picture: Error opening the video output."},
  };
  for (const auto& C : Cases) {
    WriteBytes(Clip, "x");
    PutSource(Clip, "120");
    C.Arrange();
    W()->status->SetCaption("");
    F->Show();
    PlayPreview();
    EXPECT_FALSE(ToolRunning) << C.Name;
    EXPECT_TRUE(W()->b1->GetVisible()) << C.Name;
    EXPECT_FALSE(W()->b2->GetVisible()) << C.Name;
    EXPECT_FALSE(W()->b3->GetVisible()) << C.Name;
    EXPECT_NE(W()->status->GetCaption().find(C.Status), std::string::npos)
        << C.Name << ": " << W()->status->GetCaption();
    F->Close();
    EXPECT_FALSE(F->GetVisible()) << C.Name;
  }
}

}  // namespace
