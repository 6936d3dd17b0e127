// The preview window and the DVD title picker on a private Xvfb with the real player: a clip
// made at test time plays inside the preview's video area (the screenshot shows its picture,
// not a black area) and a seek moves it; the border buttons find the bars of a letterboxed
// clip and the crop overlays lie over them; a DVD folder made by dvdauthor with three titles
// lists them in the picker, a title plays in the picker's own video area, and two ticked
// titles become two queued rows. Each run happens in a child process that owns the X
// connection; skipped when Xvfb or a tool is missing.
#include <gtest/gtest.h>

#include <cmath>
#include <set>

#include "core/DvdScan.h"
#include "core/RunControl.h"
#include "core/qv_detect.h"
#include "platform/display/Screenshot.h"
#include "platform/os/ToolLinks.h"
#include "tests/app/PreviewTestSupport.h"
#include "tests/extctrls/XTestInput.h"
#include "tests/support/XvfbChildRun.h"

namespace {

using previewtest::TStepper;

const String GalleryDir = String(QV_TEST_BIN_DIR) + "/../";

bool Installed(const char* Tool)
{
  const char* Path = getenv("PATH");
  return !qv::os::FindProgramOnPath(Tool, Path ? Path : "").empty();
}

std::uint32_t At(const std::vector<std::uint32_t>& Pixels, int W, int X, int Y)
{
  return Pixels[static_cast<std::size_t>(Y) * static_cast<std::size_t>(W) + static_cast<std::size_t>(X)] | 0xFF000000u;
}

constexpr std::uint32_t OverlayGrey = 0xFFA0A0A4u;

class TPreviewX11 : public previewtest::TProgramHome {
protected:
  // In the child: the program's windows, the adapter for the encoders' names, a clip.
  void StartInChild(const std::string& Server)
  {
    setenv("QV_TOOL_ADAPTER", QV_TOOL_ADAPTER, 1);
    StartProgram();
    // The player opens the display the program shows its windows on.
    setenv("DISPLAY", Server.c_str(), 1);
    std::filesystem::create_directories(Dir + "media");
  }
  void Make(const std::string& Command) { ASSERT_EQ(0, system(Command.c_str())) << Command; }

  // The window's pixels in form coordinates.
  bool Grab(TDisplayBackend* Display, TForm* Form, std::vector<std::uint32_t>& Pixels, int& W, int& H)
  {
    Display->Flush();
    return Display->ReadPixels(GetDisplayWindow(Form->GetHandle()), Pixels, W, H);
  }
  // The area of Control in the pixels of Form's window (its frame included).
  static TRect AreaOf(TForm* Form, TControl* Control)
  {
    const TPoint S = Control->ClientToScreen(Point(0, 0));
    const TPoint P{S.x - Form->GetLeft(), S.y - Form->GetTop()};
    return Rect(P.x, P.y, P.x + Control->GetWidth(), P.y + Control->GetHeight());
  }
  // Distinct colours and how many pixels are not black, sampled in Area.
  static std::pair<std::size_t, int> Look(const std::vector<std::uint32_t>& Pixels, int W, const TRect& Area)
  {
    std::set<std::uint32_t> Colours;
    int Lit = 0;
    for (int Y = Area.top; Y < Area.bottom; Y += 2)
      for (int X = Area.left; X < Area.right; X += 2) {
        const std::uint32_t C = At(Pixels, W, X, Y);
        Colours.insert(C);
        Lit += (C & 0xFFFFFF) > 0x202020;
      }
    return {Colours.size(), Lit};
  }
};

TEST_F(TPreviewX11, AClipPlaysInsideTheWindowAndASeekMovesIt)
{
  const bool Child = getenv("QV_PREVIEW_PLAY_X11") != nullptr;
  if (!Child && (!Installed("mplayer") || !Installed("ffmpeg"))) GTEST_SKIP() << "mplayer or ffmpeg is not installed";
  const TXvfbChild Where = RunOnXvfbChild("QV_PREVIEW_PLAY_X11", [&](const char* Server, TDisplayBackend* Display) {
    StartInChild(Server);
    const std::string Clip = Dir + "media/clip -one.avi";
    Make("ffmpeg -v error -y -f lavfi -i testsrc=size=320x240:rate=25 -t 12 -g 25 -c:v mpeg4 -q:v 4 '" + Clip + "'");
    PutSource(Clip, "12");
    TForm2* F = ProgramPreviewWindow();
    F->SetBounds(0, 0, 560, 600);
    std::vector<std::uint32_t> Playing, Later;
    int Wd = 0, Ht = 0;
    TRect Video;
    std::pair<std::size_t, int> Seen{0, 0};
    int PositionAfterSeek = -1;
    TStepper Steps(
        {
            [&] {
              if (!ToolRunning || !F->GetVisible()) return false;
              Video = AreaOf(F, F->preview2);
              if (!Grab(Display, F, Playing, Wd, Ht)) return false;
              Seen = Look(Playing, Wd, Video);
              return Seen.first > 20 && Seen.second > 1000;
            },
            [&] {
              SaveWindowPng(*Display, GetDisplayWindow(F->GetHandle()), GalleryDir + "app-preview.png");
              F->trackbar2MouseDown(F->trackbar2, mbLeft, {}, 0, 0);
              F->trackbar2->SetPosition(8);
              F->trackbar2MouseUp(F->trackbar2, mbLeft, {}, 0, 0);
              return true;
            },
            // The player's status lines move the seek bar on from the seek target.
            [&] { return F->trackbar2->GetPosition() >= 9; },
            [&] {
              PositionAfterSeek = F->trackbar2->GetPosition();
              Grab(Display, F, Later, Wd, Ht);
              F->Close();
              return true;
            },
        },
        20, 1000);
    PreviewButtonClick(W()->b1);
    EXPECT_TRUE(Steps.Done()) << "stopped at step " << Steps.Reached() << "; " << W()->status->GetCaption()
                              << "; colours " << Seen.first << ", lit " << Seen.second << "\n"
                              << W()->Edit1->GetText() << "\n" << LastToolOutputTail();
    EXPECT_FALSE(ToolRunning);
    EXPECT_GE(PositionAfterSeek, 9);
    EXPECT_LT(PositionAfterSeek, 12);
    // The picture changed with the seek.
    ASSERT_FALSE(Later.empty());
    int Changed = 0;
    for (int Y = Video.top; Y < Video.bottom; Y += 4)
      for (int X = Video.left; X < Video.right; X += 4) Changed += At(Playing, Wd, X, Y) != At(Later, Wd, X, Y);
    EXPECT_GT(Changed, 20);
  }, false);
  if (Where == TXvfbChild::NoServer) GTEST_SKIP() << "Xvfb is not available";
}

TEST_F(TPreviewX11, TheBorderButtonFindsTheBarsOfALetterboxedClipAndTheOverlaysCoverThem)
{
  const bool Child = getenv("QV_PREVIEW_CROP_X11") != nullptr;
  if (!Child)
    for (const char* Tool : {"mplayer", "mencoder", "ffmpeg"})
      if (!Installed(Tool)) GTEST_SKIP() << Tool << " is not installed";
  const TXvfbChild Where = RunOnXvfbChild("QV_PREVIEW_CROP_X11", [&](const char* Server, TDisplayBackend* Display) {
    StartInChild(Server);
    const std::string Clip = Dir + "media/letterbox.avi";
    // 320 x 180 of picture between black bars of 30 lines.
    Make("ffmpeg -v error -y -f lavfi -i testsrc=size=320x180:rate=25 -vf pad=320:240:0:30:black -t 12 -g 25 "
         "-c:v mpeg4 -q:v 2 '" + Clip + "'");
    PutSource(Clip, "12");
    UiSync = true;
    TForm2* F = ProgramPreviewWindow();
    F->SetBounds(0, 0, 560, 600);
    std::vector<std::uint32_t> Pixels;
    int Wd = 0, Ht = 0;
    TRect Video, Top, Bottom;
    TStepper Steps(
        {
            [&] { return ToolRunning && F->GetVisible(); },
            [&] {
              F->trackbar2->SetPosition(3);
              F->XcSpeedButton2Click(F->XcSpeedButton2);  // measures, then plays again (nested)
              return true;
            },
            [&] {
              if (!ToolRunning || W()->StringGrid1->GetCells(scCropTop, 1) == "0") return false;
              Video = AreaOf(F, F->preview2);
              Top = AreaOf(F, F->top);
              Bottom = AreaOf(F, F->bottom);
              if (!Grab(Display, F, Pixels, Wd, Ht)) return false;
              const int Third = (Video.bottom - Video.top) / 3;
              const TRect Middle = Rect(Video.left + 10, Video.top + Third, Video.right - 10, Video.bottom - Third);
              return Look(Pixels, Wd, Middle).first > 10;
            },
            [&] {
              SaveWindowPng(*Display, GetDisplayWindow(F->GetHandle()), GalleryDir + "app-preview-crop.png");
              F->Close();
              return true;
            },
        },
        20, 1500);
    PreviewButtonClick(W()->b1);
    EXPECT_TRUE(Steps.Done()) << "stopped at step " << Steps.Reached() << "; " << W()->status->GetCaption();
    EXPECT_FALSE(ToolRunning);
    auto Cell = [&](int C) { return StrToIntDef(W()->StringGrid1->GetCells(C, 1), -1); };
    EXPECT_NEAR(Cell(scCropTop), 29, 3);
    EXPECT_NEAR(Cell(scCropBottom), 30, 3);
    EXPECT_LE(Cell(scCropLeft), 2);
    EXPECT_LE(Cell(scCropRight), 2);
    EXPECT_EQ(F->tp->GetPosition(), Cell(scCropTop));
    ASSERT_FALSE(Pixels.empty());
    // The overlays lie over the bars (1/8 of the picture each): sized from the measured crop,
    // covering most of the bar and no picture beyond it.
    const int VH = Video.bottom - Video.top, Bar = VH / 8;
    EXPECT_EQ(Top.bottom - Top.top, static_cast<int>(std::nearbyint(VH / 240.0 * Cell(scCropTop))) + 1);
    EXPECT_EQ(Bottom.bottom - Bottom.top, static_cast<int>(std::nearbyint(VH / 240.0 * Cell(scCropBottom))) + 1);
    for (const TRect& O : {Top, Bottom}) {
      EXPECT_GE(O.bottom - O.top, Bar * 8 / 10);
      EXPECT_LE(O.bottom - O.top, Bar + 3);
    }
    EXPECT_EQ(Top.top, Video.top);
    EXPECT_EQ(Bottom.bottom, Video.bottom);
    const int MidX = (Video.left + Video.right) / 2;
    EXPECT_EQ(At(Pixels, Wd, MidX, (Top.top + Top.bottom) / 2), OverlayGrey);
    EXPECT_EQ(At(Pixels, Wd, MidX, (Bottom.top + Bottom.bottom) / 2), OverlayGrey);
    // Between them the clip's picture shows.
    EXPECT_NE(At(Pixels, Wd, MidX, Top.bottom + 8), OverlayGrey);
    EXPECT_GT(Look(Pixels, Wd, Rect(Video.left, Top.bottom + 2, Video.right, Bottom.top - 2)).second, 500);
  }, false);
  if (Where == TXvfbChild::NoServer) GTEST_SKIP() << "Xvfb is not available";
}

TEST_F(TPreviewX11, ThreeDvdTitlesTwoTickedAfterPlayingOneGiveTwoQueuedRows)
{
  const bool Child = getenv("QV_TITLE_PICKER_X11") != nullptr;
  if (!Child) {
    for (const char* Tool : {"mplayer", "ffmpeg"})
      if (!Installed(Tool)) GTEST_SKIP() << Tool << " is not installed";
    if (!Installed("dvdauthor")) GTEST_SKIP() << "dvdauthor is not installed (scripts/install-deps.sh installs it)";
  }
  const TXvfbChild Where = RunOnXvfbChild("QV_TITLE_PICKER_X11", [&](const char* Server, TDisplayBackend* Display) {
    StartInChild(Server);
    TXTestInput Input(Server);
    ASSERT_TRUE(Input.Ok());
    const std::string Media = Dir + "media/", Disc = Dir + "media/TESTDISC";
    for (const char* Title : {"a", "b", "c"})
      Make("ffmpeg -v error -y -f lavfi -i testsrc=size=720x576:rate=25 -f lavfi -i sine=frequency=440 -t 4 "
           "-target pal-dvd -ac 2 '" + Media + Title + ".mpg'");
    for (const char* Title : {"a", "b", "c"})
      Make("VIDEO_FORMAT=PAL dvdauthor -o '" + Disc + "' -t '" + Media + Title + ".mpg' >/dev/null 2>&1");
    Make("VIDEO_FORMAT=PAL dvdauthor -o '" + Disc + "' -T >/dev/null 2>&1");
    DetectionHost().AskTitles = true;
    TForm5* P = ProgramTitlePicker();
    auto ClickOn = [&](TControl* C) {
      const TPoint Spot = C->ClientToScreen(Point(C->GetWidth() / 2, C->GetHeight() / 2));
      Input.Click(Spot.x, Spot.y, 1);
    };
    std::vector<std::uint32_t> Pixels;
    int Wd = 0, Ht = 0, Listed = 0;
    std::pair<std::size_t, int> Seen{0, 0};
    TStepper Steps(
        {
            [&] { return PickerOpen && P->GetVisible(); },
            [&] {
              Listed = P->skSkinCheckListBox1->GetItems()->GetCount();
              P->skSkinCheckListBox1->SetItemIndex(1);
              ClickOn(P->skSkinButton2);  // Preview
              return true;
            },
            [&] {
              if (P->skSkinButton2->GetCaption() != "Stop" || !P->videowindow1->GetVisible()) return false;
              if (!Grab(Display, P, Pixels, Wd, Ht)) return false;
              Seen = Look(Pixels, Wd, AreaOf(P, P->videowindow1));
              return Seen.first > 20 && Seen.second > 1000;
            },
            [&] {
              SaveWindowPng(*Display, GetDisplayWindow(P->GetHandle()), GalleryDir + "app-title-picker.png");
              ClickOn(P->skSkinButton2);  // Stop
              return true;
            },
            [&] { return !ToolRunning && P->skSkinButton2->GetCaption() == "Preview"; },
            [&] {
              P->skSkinCheckListBox1->SetChecked(0, true);
              P->skSkinCheckListBox1->SetChecked(2, true);
              ClickOn(P->skSkinButton1);  // OK
              return true;
            },
        },
        20, 1500, [&] { P->Close(); });
    ScanDvd(Disc, "TESTDISC");
    EXPECT_TRUE(Steps.Done()) << "stopped at step " << Steps.Reached() << "; " << W()->status->GetCaption()
                              << "; colours " << Seen.first << ", lit " << Seen.second;
    EXPECT_EQ(Listed, 3);
    EXPECT_FALSE(PickerOpen);
    EXPECT_FALSE(P->GetVisible());
    std::vector<std::string> Inputs;
    auto* G = W()->StringGrid1;
    for (int R = 1; R < G->GetRowCount(); ++R)
      if (!G->GetCells(scNumber, R).empty()) Inputs.push_back(G->GetCells(scInputArgs, R));
    ASSERT_EQ(Inputs.size(), 2u);
    EXPECT_NE(Inputs[0].find("dvdnav://1 "), std::string::npos) << Inputs[0];
    EXPECT_NE(Inputs[1].find("dvdnav://3 "), std::string::npos) << Inputs[1];
  }, false);
  if (Where == TXvfbChild::NoServer) GTEST_SKIP() << "Xvfb is not available";
}

}  // namespace
