// Run control handing the output of runs outside a conversion to RunHooks.IdentifyLine: each
// line once and whole, a playback status line at once, and a last line that the tool ends
// without a line end once when the tool ends (never twice, never a blank one). The tools are
// the fake tool run by the main window's runner with run control's own handlers.
#include <gtest/gtest.h>

#include <algorithm>

#include "DetectionTestSupport.h"
#include "core/RunControl.h"
#include "core/SourceRow.h"
#include "core/ToolProcesses.h"
#include "platform/os/CommandLine.h"

using namespace detecttest;

namespace {

class RunControlIdentify : public TDetectionTest {
protected:
  void SetUp() override
  {
    TDetectionTest::SetUp();
    Main = Form->XcCreateProcess1;
    Main->GetStartupInfo()->ShowWindow = swHide;
    Main->GetStartupInfo()->DefaultWindowState = false;
    Main->SetConsoleOptions({coOwnerData, coRedirect});
    RunHooks = TRunHooks();
    InstallRunControl();
    RunHooks.IdentifyLine = [this](const String& Line) {
      Handed.push_back(Line);
      ParseToolOutputLine(Line);
    };
    // Identification runs on the main window's runner, as in the program; these tools end by
    // themselves, so no watchdog is needed.
    DetectionHost().Runner = Main;
    DetectionHost().Watchdog = nullptr;
    Converting = false;
  }
  void TearDown() override
  {
    RunHooks = TRunHooks();
    TDetectionTest::TearDown();
  }

  // Runs the fake tool playing Script to its end through run control.
  void RunTool(const std::string& Script)
  {
    UseFakeTools("[*]\n" + Script, {"mplayer.exe"});
    ASSERT_TRUE(StartTool(qv::os::QuoteCommandLinePath(Work + "mplayer.exe") + " -identify"));
    WaitForTool();
  }

  TXcCreateProcess* Main = nullptr;
  std::vector<std::string> Handed;
};

}  // namespace

TEST_F(RunControlIdentify, EachLineIsHandedOnceWholeAndTheLastOneAtTheEnd)
{
  struct TCase {
    const char* Name;
    std::string Script;
    std::vector<std::string> Want;
  };
  const std::vector<TCase> Cases = {
      {"LastLineWithoutLineEnd", "print first\nwrite last line\n", {" first", " last line"}},
      {"LastLineCutByAPause", "print first\nwrite last\\x20\nsleep 150\nwrite line\n", {" first", " last line"}},
      {"LineCutByAPauseIsHandedWhole", "write ID_VIDEO_WIDTH=7\nsleep 150\nprint 20\n", {" ID_VIDEO_WIDTH=720"}},
      {"AllLinesEnded", "print one\nprint two\n", {" one", " two"}},
      {"BlankLinesAndABlankEnd", "print one\nprint\nprint \\x20\\x20\nwrite \\x20\\x20\\x20\n", {" one"}},
      {"NoOutput", "exit 0\n", {}},
      {"StatusLineWithoutLineEndOnce", "print ID_VIDEO_FPS=25\nwrite V:   0.0   1/  1 ??% \\r\n",
       {" ID_VIDEO_FPS=25", " V:   0.0   1/  1 ??% "}},
  };
  for (const TCase& C : Cases) {
    SCOPED_TRACE(C.Name);
    Handed.clear();
    PlaybackMode = true;  // a status line does not end these runs
    RunTool(C.Script);
    EXPECT_EQ(Handed, C.Want);
    EXPECT_FALSE(ToolRunning);
  }
}

TEST_F(RunControlIdentify, ConversionOutputIsNotHandedAndLeavesNothingBehind)
{
  Converting = true;
  RunTool("print Pos: 1.0s 25f Trem: 1min 1mb\nwrite not for identification\n");
  Converting = false;
  RunTool("write next run\n");
  EXPECT_EQ(Handed, (std::vector<std::string>{" next run"}));
}

TEST_F(RunControlIdentify, FfmpegFallbackKeepsTheLastStreamLine)
{
  // ffmpeg's answer whose last line, the audio stream, has no line end.
  UseFakeTools(R"([mplayer.exe -identify]
print ID_VIDEO_WIDTH=0
print ID_VIDEO_HEIGHT=0
print ID_LENGTH=0
exit 0
[ffmpeg2.exe -i]
print   Duration: 00:00:03.00, start: 0.000000, bitrate: 424 kb/s
print   Stream #0:0: Video: mpeg4 (Simple Profile), yuv420p(tv, progressive), 320x240 [SAR 1:1 DAR 4:3], 25 fps, 25 tbr, 1k tbn
write   Stream #0:1: Audio: mp2, 48000 Hz, mono, s16p, 384 kb/s
exit 1
)",
               {"mplayer.exe", "ffmpeg2.exe"});
  FfmpegAddonPresent = true;
  const std::string Path = Dir + "clip.mkv";
  WriteFile(Path, "not really a video");
  DetectFile(Path);
  EXPECT_EQ(CellOf(scType, 1), "VIDEO*");
  EXPECT_EQ(CellOf(scWidth, 1), "320");
  EXPECT_EQ(CellOf(scFrameRate, 1), "25 ");
  EXPECT_EQ(CellOf(scAudioCodec, 1), "mp2");
  EXPECT_EQ(CellOf(scAudioRate, 1), "48000");
  EXPECT_EQ(std::count_if(Handed.begin(), Handed.end(),
                          [](const std::string& L) { return L.find("Audio: mp2") != std::string::npos; }),
            1);
}

TEST_F(RunControlIdentify, TitleScanSkipShowsWhileTitlesAreReportedAndHidesAtTheEnd)
{
  std::vector<std::pair<std::string, bool>> Seen;
  RunHooks.IdentifyLine = [&](const String& Line) { Seen.push_back({Line, Form->skip2->GetVisible()}); };
  CurrentDvdName = "My Disc";
  PlaybackMode = true;
  RunTool("print ID_DVD_TITLES=2\nprint ID_LENGTH=12.0\nprint ID_DVD_TITLE_2_LENGTH=5702.4\nprint next\n");
  CurrentDvdName.clear();
  EXPECT_EQ(Seen, (std::vector<std::pair<std::string, bool>>{{" ID_DVD_TITLES=2", false},
                                                             {" ID_LENGTH=12.0", false},
                                                             {" ID_DVD_TITLE_2_LENGTH=5702.4", true},
                                                             {" next", true}}));
  EXPECT_FALSE(Form->skip2->GetVisible());
  EXPECT_EQ(StatusText, "Found : My Disc (2 of 2)");
}
