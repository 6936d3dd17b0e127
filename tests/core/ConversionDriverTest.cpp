// The conversion driver with fake tools: progress and speed, the verdict of a job, unique
// names, the playlist, the source marks, Skip and Stop, and a tool that fails with its reason.
#include <gtest/gtest.h>
#include <stdlib.h>

#include <filesystem>
#include <fstream>
#include <algorithm>
#include <sstream>

#include "JobListTestSupport.h"
#include "core/CropDetect.h"
#include "core/DeviceNumbers.h"
#include "core/ToolOutputValues.h"
#include "core/TrackChoice.h"
#include "core/qv_detect.h"
#include "core/RunControl.h"
#include "core/qv_convert.h"
#include "platform/vcl/Timer.h"

using namespace jobtest;

namespace {

std::string ReadFile(const std::string& Path)
{
  std::ifstream In(Path);
  std::stringstream S;
  S << In.rdbuf();
  return S.str();
}

class TConversionDriverTest : public TJobTest {
protected:
  void SetUp() override
  {
    TJobTest::SetUp();
    std::filesystem::create_directories(WorkFolder + "temp");
    for (const char* Name : {"mencoder.exe", "ffmpeg.exe", "mp4box.exe", "tivo.exe"})
      std::filesystem::create_symlink(std::string(QV_TEST_BIN_DIR) + "/qv_faketool", WorkFolder + Name);
    ConversionOptions = TConversionOptions();
    ConversionOptions.NoCropping = true;
    RunHooks = TRunHooks();
    RunHooks.AddToHistory = [this](int R) { History.push_back(R); };
    RunHooks.ShowAppTitle = [this](const String& T) { Titles.push_back(T); };
    RunHooks.ShowStatus = [this](const String& T) { Statuses.push_back(T); };
    InstallRunControl();
    BatchRunning = false;
  }
  void TearDown() override
  {
    unsetenv("QV_FAKETOOL_SCRIPT");
    RunHooks = TRunHooks();
    TJobTest::TearDown();
  }
  void Script(const std::string& S) { setenv("QV_FAKETOOL_SCRIPT", S.c_str(), 1); }
  // Presses a button of the run after Ms milliseconds (inside the tool wait); the timer is
  // returned for a press that must not come after all.
  TTimer* PressLater(int Ms, void (*Button)())
  {
    auto* T = new TTimer(Form);
    T->SetInterval(Ms);
    T->SetOnTimer([T, Button](TObject*) {
      T->SetEnabled(false);
      Button();
    });
    T->SetEnabled(true);
    return T;
  }
  std::vector<int> History;
  std::vector<std::string> Titles, Statuses;
};

// Six progress lines over about two seconds, then the output.
const char* Progressing =
    "print Pos: 1.0s 25f Trem: 1min 1mb;sleep 1100;print Pos: 3.0s 75f Trem: 1min 1mb;sleep 1100;"
    "print Pos: 5.0s 125f Trem: 1min 1mb;file $after:-o 5000";

}  // namespace

TEST_F(TConversionDriverTest, FinishedJobWritesPlaylistMarksTheSourceAndAddsHistory)
{
  AddDevice({});
  AddSource("Clip");
  Script(Progressing);
  GoClick();
  EXPECT_EQ(Job(jcStatus, 1).substr(0, 10), "Finished (") << JobFailureReason(1) << Form->log->GetText();
  EXPECT_NE(Job(jcState, 1), "Finished ()");
  EXPECT_EQ(Form->StringGrid1->GetCells(scConvert, 1), "Done");
  EXPECT_EQ(ReadFile(OutFolder + "playlist.m3u"), OutFolder + "Clip.avi\r\n");
  EXPECT_EQ(History, std::vector<int>{1});
  EXPECT_EQ(Job(jcOutputSize, 1), "368 x 272");
  EXPECT_FALSE(Converting);
  EXPECT_FALSE(GoBusy);
  EXPECT_FALSE(BatchRunning);
  EXPECT_EQ(StatusText, "Conversions completed");
  bool TitleShown = false, SpeedShown = false;
  for (const std::string& T : Titles) TitleShown = TitleShown || T.rfind("1 of 1 : ", 0) == 0;
  for (const std::string& T : Statuses) SpeedShown = SpeedShown || T.find(" left, total: ") != std::string::npos;
  EXPECT_TRUE(TitleShown);
  EXPECT_TRUE(SpeedShown);
  // The tool got one argument for the output, and the status line showed speed and time left.
  EXPECT_NE(Form->Edit1->GetText().find("-o \"" + OutFolder + "Clip.avi\""), std::string::npos);
}

TEST_F(TConversionDriverTest, AConversionClosesThePreviewWindow)
{
  AddDevice({});
  AddSource("Clip");
  Script("file $after:-o 5000");
  auto* Preview = new TForm(nullptr);
  Preview->SetName("Form2");
  Preview->Show();
  bool ClosedWhileConverting = true;  // stays set when the window is never closed
  Preview->OnClose = [&](TObject*, TCloseAction&) { ClosedWhileConverting = Converting; };
  GoClick();
  EXPECT_EQ(Job(jcStatus, 1).substr(0, 10), "Finished (");
  EXPECT_FALSE(Preview->GetVisible());
  EXPECT_FALSE(ClosedWhileConverting) << "the window was not closed before the encoders started";
  delete Preview;
}

TEST_F(TConversionDriverTest, SecondRunChoosesAFreeNameAndKeepsThePlaylist)
{
  AddDevice({});
  AddSource("Clip");
  Script(Progressing);
  GoClick();
  Form->StringGrid1->SetCells(scConvert, 1, "Yes");
  GoClick();
  EXPECT_EQ(Job(jcOutName, 1), "Clip(1)");
  EXPECT_EQ(Job(jcFileName, 1), "Clip(1).avi");
  EXPECT_EQ(ReadFile(OutFolder + "playlist.m3u"), OutFolder + "Clip.avi\r\n" + OutFolder + "Clip(1).avi\r\n");
}

TEST_F(TConversionDriverTest, FailuresReadFailedWithTheToolsReason)
{
  struct {
    const char* Name;
    const char* Script;
    const char* Reason;
  } Cases[] = {
      {"ToolRefuses", "eprint Cannot find codec 'faac';eprint Exiting... (error);exit 1", "Cannot find codec 'faac'"},
      {"NoOutputDespiteSuccess", "print done", "no output was written"},
      {"EmptyOutput", "file $after:-o 0", "no output was written"},
  };
  AddDevice({});
  AddSource("Clip");
  for (const auto& C : Cases) {
    SCOPED_TRACE(C.Name);
    Form->StringGrid1->SetCells(scConvert, 1, "Yes");
    Script(C.Script);
    GoClick();
    EXPECT_EQ(Job(jcStatus, 1), "Failed");
    EXPECT_EQ(Job(jcState, 1), "Failed");
    EXPECT_NE(JobFailureReason(1).find(C.Reason), std::string::npos) << JobFailureReason(1);
    EXPECT_EQ(JobFailureReason(1).find("disk is full"), std::string::npos) << "the output disk has room";
    EXPECT_NE(Form->log->GetText().find(C.Reason), std::string::npos);
    EXPECT_EQ(Form->StringGrid1->GetCells(scConvert, 1), "No");
    EXPECT_FALSE(Converting);
  }
  EXPECT_TRUE(History.empty());
}

TEST_F(TConversionDriverTest, MissingToolFailsTheJobAndTheRunEndsCleanly)
{
  std::filesystem::remove(WorkFolder + "mencoder.exe");
  AddDevice({});
  AddSource("Clip");
  GoClick();
  EXPECT_EQ(Job(jcStatus, 1), "Failed");
  EXPECT_NE(JobFailureReason(1).find("cannot start"), std::string::npos) << JobFailureReason(1);
  EXPECT_FALSE(ToolRunning);
  EXPECT_FALSE(Converting);
}

TEST_F(TConversionDriverTest, BadCellsFailOnlyThatJob)
{
  AddDevice({});
  AddSource("Bad", {{scDisplayWidth, "wide"}, {scCroppedWidth, ""}});
  AddSource("Good");
  Script(Progressing);
  GoClick();
  EXPECT_EQ(Job(jcStatus, 1), "Failed");
  EXPECT_EQ(Job(jcStatus, 2).substr(0, 9), "Finished ");
  EXPECT_FALSE(GoBusy);
}

TEST_F(TConversionDriverTest, StopEndsTheRunAndMarksTheRemainingJobs)
{
  AddDevice({});
  AddSource("One");
  AddSource("Two");
  Script("print Pos: 1.0s 25f Trem: 1min 1mb;stall");
  PressLater(1500, StopClick);
  GoClick();
  EXPECT_EQ(Job(jcStatus, 1), "Stopped");
  EXPECT_EQ(Job(jcState, 1).substr(0, 9), "Stopped (");
  EXPECT_EQ(Job(jcStatus, 2), "Stopped");
  EXPECT_EQ(StatusText, "Stopped");
  EXPECT_EQ(Form->StringGrid1->GetCells(scConvert, 2), "No");
  EXPECT_FALSE(ToolRunning);
}

TEST_F(TConversionDriverTest, SkipEndsOnlyTheRunningJob)
{
  AddDevice({});
  AddSource("One");
  AddSource("Two");
  ConversionOptions.ConvertAutomatically = true;
  // SIGINT ends the fake tool; the next job runs normally.
  Script("print Pos: 1.0s 25f Trem: 1min 1mb;sleep 3000;file $after:-o 5000");
  PressLater(1200, SkipClick);
  GoClick();
  EXPECT_EQ(Job(jcStatus, 1), "Skipped");
  EXPECT_FALSE(ConversionOptions.ConvertAutomatically);
  EXPECT_EQ(Job(jcStatus, 2).substr(0, 9), "Finished ") << JobFailureReason(2);
}

TEST_F(TConversionDriverTest, TwoPassJobsShareOneFreeName)
{
  TDevice D;
  D.Preset = "divx_mp3";
  D.Passes = "2";
  AddDevice(D);
  AddSource("Clip");
  std::filesystem::create_directories(OutFolder);
  std::ofstream(OutFolder + "Clip.avi") << "older file";
  Script(Progressing);
  GoClick();
  EXPECT_EQ(Job(jcOutName, 1), "Clip(1)");
  EXPECT_EQ(Job(jcOutName, 2), "Clip(1)");
  EXPECT_EQ(ReadFile(OutFolder + "Clip.avi"), "older file");
  EXPECT_EQ(Job(jcStatus, 2).substr(0, 9), "Finished ");
}

TEST_F(TConversionDriverTest, SplitPartsAreCheckedAndListedEach)
{
  AddDevice({});
  AddSource("Film", {{scSplitParts, "Yes"}, {scChapters, "5"}, {scChaptersPerPart, "2"}});
  Script(Progressing);
  GoClick();
  EXPECT_EQ(Job(jcStatus, 1).substr(0, 9), "Finished ") << JobFailureReason(1);
  EXPECT_EQ(ReadFile(OutFolder + "playlist.m3u"),
            OutFolder + "Film01.avi\r\n" + OutFolder + "Film02.avi\r\n" + OutFolder + "Film03.avi\r\n");
}

TEST(TProgressParserTest, PositionsFromProgressLines)
{
  struct {
    const char* Line;
    bool Found;
    int Seconds;
  } Cases[] = {
      {"Pos: 123.4s 3085f (12%) 75.23fps Trem: 1min 98mb A-V:0.000 [1118:128]", true, 123},
      {"Pos: 99999.99s 3085f (12%) 75.23fps Trem: 1min 98mb", false, 0},
      {"frame= 1234 fps= 56 q=2.0 size= 1234kB time=49.36 bitrate= 204.8kbits/s", true, 49},
      // Today's ffmpeg prints the position as a clock.
      {"frame= 1234 fps= 56 q=2.0 size= 1234kB time=00:00:49.36 bitrate= 204.8kbits/s", true, 49},
      {"frame=  126 fps=0.0 q=-1.0 size=     256kB time=00:00:05.04 bitrate= 416.0kbits/s speed=10.1x", true, 5},
      {"size= 1kB time=01:02:03.50 bitrate= 1kbits/s", true, 3724},
      {"size= 1kB time=00:01:30 bitrate= 1kbits/s", true, 90},
      {"size= 1kB time=27:46:40.00 bitrate= 1kbits/s", false, 0},  // 100000.00: longer than seven characters
      {"size= 0kB time=-577014:32:22.77 bitrate=N/A", false, 0},
      {"size= 0kB time=N/A bitrate=N/A", false, 0},
      {"size= 8kB time=-006. bitrate=N/A", false, 0},
      {"Pos: -3.0s 1f Trem: 1min", false, 0},
      {"Pos:8e010s sTrem:", false, 0},
      {"size= 1kB time=00:75:00.00 bitrate= 1kbits/s", false, 0},
      {"Pos: 12.5s 1f Trem: 1min", true, 12},
      {"Pos: 13,5s 1f Trem: 1min", true, 14},
      {"Encoded: 42.0s Elapsed 10s", true, 42},
      {"Pos: abc s Trem:", false, 0},
  };
  for (const auto& C : Cases) {
    int S = 0;
    EXPECT_EQ(ParseProgressPosition(C.Line, S), C.Found) << C.Line;
    if (C.Found) {
      EXPECT_EQ(S, C.Seconds) << C.Line;
    }
  }
}

namespace {

class TConversionSideStepTest : public TConversionDriverTest {
protected:
  void Scenario(const std::string& Text)
  {
    std::ofstream(Dir + "scenario.txt") << Text;
    setenv("QV_FAKETOOL_SCENARIO", (Dir + "scenario.txt").c_str(), 1);
    setenv("QV_FAKETOOL_LOG", (Dir + "tool.log").c_str(), 1);
  }
  void TearDown() override
  {
    unsetenv("QV_FAKETOOL_SCENARIO");
    unsetenv("QV_FAKETOOL_LOG");
    SetAskTextProc(nullptr);
    TConversionDriverTest::TearDown();
  }
  // Runs of the tool Name (its base name) in the fake tools' log.
  int Runs(const std::string& Name)
  {
    std::istringstream In(ReadFile(Dir + "tool.log"));
    int N = 0;
    for (std::string Line; std::getline(In, Line);)
      if (Line.rfind("run ", 0) == 0 && Line.size() > Name.size() && Line.compare(Line.size() - Name.size() - 1, std::string::npos, " " + Name) == 0)
        ++N;
    return N;
  }
};

const char* Encoders =
    "[tivo.exe good]\nfile $after:--out 5000\n"
    "[tivo.exe]\nprint Invalid MAK\n"
    "[mp4box.exe]\ncopy $2 $3\n"
    "[mencoder.exe]\nprint Pos: 1.0s 25f Trem: 1min 1mb\nfile $after:-o 5000\n"
    "[ffmpeg.exe]\nprint frame= 1 fps= 1 q=2.0 size= 1kB time=1.00 bitrate= 1kbits/s\nfile $last 5000\n";

}  // namespace

TEST_F(TConversionSideStepTest, TivoKeyRejectedThenGivenDecodesForEveryDevice)
{
  Scenario(Encoders);
  TDevice A, B;
  A.Name = "First";
  B.Name = "Second";
  AddDevice(A);
  AddDevice(B);
  AddSource("Show", {{scInputArgs, "\"/media/Show.TiVo\" "}});
  std::vector<std::string> Answers = {"bad", "good"};
  SetAskTextProc([&](const String&, const String&, String& Value) {
    Value = Answers.front();
    Answers.erase(Answers.begin());
    return true;
  });
  GoClick();
  const std::string Decoded = OutFolder + "Inbetween File/Show.mpg";
  EXPECT_TRUE(std::filesystem::exists(Decoded));
  EXPECT_EQ(Job(jcInput, 1), "\"" + Decoded + "\"");
  EXPECT_EQ(Job(jcInput, 2), "\"" + Decoded + "\"");
  EXPECT_EQ(Job(jcStatus, 1).substr(0, 9), "Finished ") << JobFailureReason(1);
  EXPECT_EQ(Job(jcStatus, 2).substr(0, 9), "Finished ") << JobFailureReason(2);
  EXPECT_EQ(TivoMak, "good");
}

TEST_F(TConversionSideStepTest, CancelledTivoKeyAbandonsTheStep)
{
  Scenario(Encoders);
  AddDevice({});
  AddSource("Show", {{scInputArgs, "\"/media/Show.TiVo\" "}});
  int Asked = 0;
  SetAskTextProc([&](const String&, const String&, String&) {
    ++Asked;
    return false;
  });
  GoClick();
  EXPECT_EQ(Job(jcStatus, 1), "Failed");
  EXPECT_NE(JobFailureReason(1).find("TiVo key"), std::string::npos);
  EXPECT_EQ(Asked, 2);  // when the list is built, and once after the rejected run
  EXPECT_FALSE(Converting);
}

TEST_F(TConversionSideStepTest, FfmpegWithTwoAudioTracksReadsAnIntermediateAvi)
{
  Scenario(Encoders);
  AddPreset("ff_plain", "ffmpeg", "-y -vcodec mpeg4 -b $vbrk", "avi");
  TDevice D;
  D.Preset = "ff_plain";
  AddDevice(D);
  AddSource("Clip", {{scAudioTracks, "128 English\r\n129 French"}, {scAudioCodec, "a52"}});
  GoClick();
  EXPECT_EQ(Job(jcStatus, 1).substr(0, 9), "Finished ") << JobFailureReason(1);
  const std::string Log = ReadFile(Dir + "tool.log");
  EXPECT_NE(Log.find("-af volume=10 -ofps 25.000"), std::string::npos) << Log;  // a52: volume 5 + 5
  // The intermediate file never is the job's own output (both would be Clip.avi here).
  EXPECT_NE(Log.find("cmd ffmpeg.exe -i " + OutFolder + "Inbetween File/Clip.avi -y"), std::string::npos) << Log;
}

TEST_F(TConversionSideStepTest, Mp4xOutputIsRewrapped)
{
  Scenario(Encoders);
  AddPreset("mp4x_test", "mencoder", "-ovc lavc -of lavf", "mp4x");
  TDevice D;
  D.Preset = "mp4x_test";
  AddDevice(D);
  AddSource("Clip");
  GoClick();
  EXPECT_EQ(Job(jcStatus, 1).substr(0, 9), "Finished ") << JobFailureReason(1);
  EXPECT_EQ(Job(jcExtension, 1), "mp4");
  EXPECT_TRUE(std::filesystem::exists(OutFolder + "Clip.mp4"));
  EXPECT_FALSE(std::filesystem::exists(OutFolder + "temp.mp4x"));
  EXPECT_EQ(ReadFile(OutFolder + "playlist.m3u"), OutFolder + "Clip.mp4\r\n");
}

TEST_F(TConversionSideStepTest, SilentToolIsRestartedOnceThenTheJobFails)
{
  struct {
    const char* Name;
    std::map<int, std::string> Source;
  } Cases[] = {
      {"file", {}},
      // The second silence of a DVD title ends the part too (an overnight queue goes on).
      {"dvd_title", {{scType, "DVD"}, {scInputArgs, "-dvd-device \"" + Dir + "disc\" dvdnav://1 "}, {scSourcePath, Dir + "disc"}}},
  };
  Scenario("[mencoder.exe]\nstall\n");
  AddDevice({});
  std::vector<std::string> Statuses;
  RunHooks.ShowStatus = [&](const String& T) { Statuses.push_back(T); };
  for (const auto& C : Cases) {
    SCOPED_TRACE(C.Name);
    ClearGridRows(Form->StringGrid1);
    std::filesystem::remove(Dir + "tool.log");
    Statuses.clear();
    AddSource("Clip", C.Source);
    // A run that never ends would be stopped here and read "Stopped".
    TTimer* Guard = PressLater(40000, StopClick);
    GoClick();
    Guard->SetEnabled(false);
    EXPECT_EQ(Job(jcStatus, 1), "Failed");
    EXPECT_NE(JobFailureReason(1).find("watchdog"), std::string::npos) << JobFailureReason(1);
    EXPECT_NE(std::find(Statuses.begin(), Statuses.end(), "Possible DVD issue, restarted conversion"), Statuses.end());
    EXPECT_EQ(Runs("mencoder.exe"), 2);
    EXPECT_NE(Form->log->GetText().find("Bad count:11"), std::string::npos);
  }
}

TEST_F(TConversionSideStepTest, FileJobKilledAfterProgressReadsFailed)
{
  // Progress, then silence: the watchdog kills the tool (no restart after progress), and the
  // part-written output must not count as a finished job.
  Scenario("[mencoder.exe]\nfile $after:-o 5000\nprint Pos: 1.0s 25f Trem: 1min 1mb\nsleep 1100\n"
           "print Pos: 2.0s 50f Trem: 1min 1mb\nstall\n");
  AddDevice({});
  AddSource("Clip");
  GoClick();
  EXPECT_EQ(Job(jcStatus, 1), "Failed");
  EXPECT_NE(JobFailureReason(1).find("watchdog"), std::string::npos) << JobFailureReason(1);
  EXPECT_EQ(Form->StringGrid1->GetCells(scConvert, 1), "No");
}

TEST_F(TConversionDriverTest, AnOutputNameWithALineBreakIsLeftOutOfThePlaylist)
{
  AddDevice({});
  AddSource("new\nline");
  AddSource("Clip");
  Script(Progressing);
  GoClick();
  EXPECT_TRUE(std::filesystem::exists(OutFolder + "new\nline.avi"));
  EXPECT_EQ(Form->StringGrid1->GetCells(scConvert, 1), "Done");
  EXPECT_EQ(ReadFile(OutFolder + "playlist.m3u"), OutFolder + "Clip.avi\r\n");
  EXPECT_NE(Form->log->GetText().find("Left out of playlist.m3u (a playlist line cannot hold a line break): " +
                                      OutFolder + "new\nline.avi"),
            std::string::npos);
  EXPECT_EQ(History, (std::vector<int>{1, 2}));
}

TEST_F(TConversionSideStepTest, AMissingTivoDecoderIsReportedAsMissing)
{
  Scenario(Encoders);
  std::filesystem::remove(WorkFolder + "tivo.exe");
  TivoMak = "good";
  AddDevice({});
  AddSource("Show", {{scInputArgs, "\"/media/Show.TiVo\" "}});
  GoClick();
  EXPECT_EQ(Job(jcStatus, 1), "Failed");
  EXPECT_NE(JobFailureReason(1).find("TiVo decoder \"tivo.exe\" is missing"), std::string::npos) << JobFailureReason(1);
  EXPECT_EQ(TivoMak, "good");
  TivoMak.clear();
}

TEST_F(TConversionDriverTest, WatchdogKillsSilentToolsAfterTheirSilence)
{
  struct {
    const char* Name;
    const char* Line;
    bool Progress;   // a progress line came during the run
    int TicksBefore;  // silent ticks before this one
    bool Killed;
  } Cases[] = {
      {"file_silent_start", "\"mencoder.exe\" \"/media/a.avi\" -o \"/out/a.avi\"", false, 10, true},
      {"file_silent_ten_seconds", "\"mencoder.exe\" \"/media/a.avi\" -o \"/out/a.avi\"", false, 9, false},
      {"file_after_progress", "\"mencoder.exe\" \"/media/a.avi\" -o \"/out/a.avi\"", true, 10, true},
      {"dvd_silent_start", "\"mencoder.exe\" -dvd-device \"/dev/sr0\" dvdnav://1 -o \"/out/a.avi\"", false, 10, true},
      {"dvd_after_progress_waits", "\"mencoder.exe\" -dvd-device \"/dev/sr0\" dvdnav://1 -o \"/out/a.avi\"", true, 10, false},
      {"dvd_after_progress_two_minutes", "\"mencoder.exe\" -dvd-device \"/dev/sr0\" dvdnav://1 -o \"/out/a.avi\"", true, 119,
       false},
      {"dvd_after_progress_longer", "\"mencoder.exe\" -dvd-device \"/dev/sr0\" dvdnav://1 -o \"/out/a.avi\"", true, 120, true},
      {"windows_media_script_never", "\"qvcscript.exe\" \"wmcmd.vbs\" -input \"/media/a.avi\"", false, 200, false},
  };
  for (const auto& C : Cases) {
    Form1->XcCreateProcess1->SetCommandLine(C.Line);
    ProgressSeen = C.Progress ? "X" : "";
    ProgressLine.clear();
    ToolStalled = false;
    ToolKilledByWatchdog = false;
    StallTicks = C.TicksBefore;
    ConvertTimerTick();
    EXPECT_EQ(ToolKilledByWatchdog, C.Killed) << C.Name;
  }
}

TEST_F(TConversionDriverTest, WatchdogShowsSpeedAndTimeLeft)
{
  // Two samples so far summing to 0 (last value 54); this tick's position 60 makes three
  // samples summing to 6: speed 2.00.
  Form->progressbar1->SetMaxValue(600);
  Form->progressbar1->SetValue(54);
  SpeedStats.LastGauge = 54;
  SpeedStats.GaugeSum = 0;
  SpeedStats.Samples = 2;
  SpeedStats.SecondsLeft = 1260;
  ProgressTitlePrefix = "1 of 2 : ";
  Form->XcCreateProcess1->SetCommandLine("\"mencoder.exe\" \"/media/a.avi\"");
  StallTicks = 0;
  ProgressLine = "Pos: 60.0s 1500f (10%) 75.23fps Trem: 1min 98mb A-V:0.000 [1118:128]";
  ConvertTimerTick();
  EXPECT_EQ(StatusText, "0:01:00 of 0:10:00, 2.00x, 10.00%, 0:04:30 left, total: 0:10:00 left");
  EXPECT_EQ(SpeedText, "2.00x");
  EXPECT_EQ(ApplicationTitle, "1 of 2 : 10.00% (2.00x)");
  EXPECT_TRUE(ProgressLine.empty());
}

TEST_F(TConversionDriverTest, ProgressOfTheLastJobIsNotThisJobs)
{
  // The first job's last progress line comes just before it ends; the second job prints nothing.
  const std::string Scenario = Dir + "scenario.txt";
  std::ofstream(Scenario) << "[mencoder.exe One]\nprint Pos: 1.0s 25f Trem: 1min 1mb\nsleep 1100\n"
                             "print Pos: 2.0s 50f Trem: 1min 1mb\nsleep 1100\nprint Pos: 50.0s 1250f Trem: 1min 1mb\n"
                             "file $after:-o 5000\n"
                             "[mencoder.exe Two]\nsleep 2500\nfile $after:-o 5000\n";
  setenv("QV_FAKETOOL_SCENARIO", Scenario.c_str(), 1);
  AddDevice({});
  AddSource("One");
  AddSource("Two");
  GoClick();
  unsetenv("QV_FAKETOOL_SCENARIO");
  EXPECT_EQ(Job(jcStatus, 1).substr(0, 10), "Finished (") << JobFailureReason(1);
  EXPECT_EQ(Job(jcState, 2), "Finished ()") << "no progress line came from the second job: no speed";
  for (const std::string& T : Titles) EXPECT_NE(T.rfind("2 of 2 : ", 0), 0u) << T;
}

TEST_F(TConversionDriverTest, SplitPartsTakeOneBaseNoPartOfWhichExists)
{
  struct {
    const char* Name;
    std::vector<std::string> Existing;
    const char* Base;
  } Cases[] = {
      {"a_part_of_an_earlier_run", {"Film02.avi"}, "Film(1)"},
      {"parts_of_two_earlier_bases", {"Film01.avi", "Film(1)03.avi"}, "Film(2)"},
      {"only_the_whole_name", {"Film.avi"}, "Film"},
  };
  AddDevice({});
  AddSource("Film", {{scSplitParts, "Yes"}, {scChapters, "3"}, {scChaptersPerPart, "1"}});
  Script("print Pos: 1.0s 25f Trem: 1min 1mb;sleep 1100;print Pos: 2.0s 50f Trem: 1min 1mb;file $after:-o 5000");
  for (const auto& C : Cases) {
    SCOPED_TRACE(C.Name);
    std::filesystem::remove_all(OutFolder);
    std::filesystem::create_directories(OutFolder);
    for (const std::string& F : C.Existing) std::ofstream(OutFolder + F) << "earlier";
    Form->StringGrid1->SetCells(scConvert, 1, "Yes");
    GoClick();
    EXPECT_EQ(Job(jcOutName, 1), C.Base);
    EXPECT_EQ(Job(jcStatus, 1).substr(0, 9), "Finished ") << JobFailureReason(1);
    for (const std::string& F : C.Existing) EXPECT_EQ(ReadFile(OutFolder + F), "earlier") << F;
    for (const char* K : {"01", "02", "03"})
      EXPECT_EQ(std::filesystem::file_size(OutFolder + C.Base + K + ".avi"), 5000u) << K;
  }
}

TEST_F(TConversionDriverTest, OutputFolderIsMadeOnlyForJobsThatWriteIntoIt)
{
  // Without device subfolders the destination itself is made.
  NoDeviceSubfolder = true;
  TDevice D;
  D.Folder = Dir + "new/deeper/";
  AddDevice(D);
  AddSource("Clip");
  Script(Progressing);
  GoClick();
  NoDeviceSubfolder = false;
  EXPECT_EQ(Job(jcStatus, 1).substr(0, 9), "Finished ") << JobFailureReason(1);
  EXPECT_TRUE(std::filesystem::exists(Dir + "new/deeper/Clip.avi"));
}

TEST_F(TConversionDriverTest, GoWithNothingToConvertSaysSoAndMakesNoFolder)
{
  // Two devices; the one source is marked but could not be read (no picture size).
  TDevice A, B;
  A.Name = "First";
  B.Name = "Second";
  A.Folder = B.Folder = Dir + "dest/";
  AddDevice(A);
  AddDevice(B);
  AddSource("Noise", {{scWidth, ""}, {scHeight, ""}, {scLength, ""}});
  GoClick();
  EXPECT_EQ(StatusText, "Nothing to convert");
  EXPECT_EQ(Job(jcNumber, 1), "");
  EXPECT_FALSE(std::filesystem::exists(Dir + "dest/First"));
  EXPECT_FALSE(std::filesystem::exists(Dir + "dest/Second"));
  EXPECT_FALSE(GoBusy);
}

TEST_F(TConversionSideStepTest, SourceFolderOutputNeverWritesOverTheSource)
{
  struct {
    const char* Name;
    const char* Source;  // the file in the media folder
    const char* Preset;
    std::map<int, std::string> Cells;
    const char* Output;     // the job's file in the media folder
    const char* Inbetween;  // the intermediate file, or nullptr
  } Cases[] = {
      {"avi_source_avi_preset", "Clip.avi", "xvid_mp3", {}, "Clip(1).avi", nullptr},
      {"mp4_source_mp4_preset", "film.mp4", "h264_ipod", {}, "film(1).mp4", nullptr},
      // The intermediate AVI of an ffmpeg job would be the source itself.
      {"intermediate_beside_its_source", "Clip.avi", "ff_mp4", {{scAudioTracks, "128 English\r\n129 French"}}, "Clip.mp4",
       "Inbetween File/Clip.avi"},
  };
  Scenario(Encoders);
  AddPreset("ff_mp4", "ffmpeg", "-y -vcodec mpeg4 -b $vbrk", "mp4");
  ConversionOptions.SourceFolderOutput = true;
  const std::string Media = Dir + "media/";
  for (const auto& C : Cases) {
    SCOPED_TRACE(C.Name);
    std::filesystem::remove_all(Media);
    std::filesystem::create_directories(Media);
    std::ofstream(Media + C.Source) << "the source";
    ClearGridRows(Form->dq);
    ClearGridRows(Form->StringGrid1);
    TDevice D;
    D.Preset = C.Preset;
    AddDevice(D);
    const std::string Base = std::filesystem::path(C.Source).stem().string();
    std::map<int, std::string> Cells = C.Cells;
    Cells[scSourcePath] = Media + C.Source;
    Cells[scInputArgs] = "\"" + Media + C.Source + "\" ";
    AddSource(Base, Cells);
    GoClick();
    EXPECT_EQ(ReadFile(Media + C.Source), "the source");
    EXPECT_EQ(Job(jcStatus, 1).substr(0, 9), "Finished ") << JobFailureReason(1);
    EXPECT_EQ(Job(jcOutFolder, 1), Media);
    EXPECT_EQ(Job(jcFileName, 1), C.Output);
    EXPECT_TRUE(std::filesystem::exists(Media + C.Output));
    if (C.Inbetween) {
      EXPECT_TRUE(std::filesystem::exists(Media + C.Inbetween));
    }
  }
}

TEST_F(TConversionSideStepTest, SkipEndsTheWholeJobWhicheverStepRuns)
{
  struct {
    const char* Name;
    TDevice Device;
    std::map<int, std::string> Source;
    bool Crop;
    const char* Scenario;
    int JobRows;
    const char* NeverRun;  // a command line that must not have started
  } Cases[] = {
      {"first_pass_skips_the_second", [] {
         TDevice D;
         D.Preset = "divx_mp3";
         D.Passes = "2";
         return D;
       }(), {}, false, "[mencoder.exe]\nprint Pos: 1.0s 25f Trem: 1min 1mb\nstall\n", 2, "vpass=2"},
      {"crop_detection", {}, {}, true,
       "[mencoder.exe -frames]\nstall\n[mencoder.exe]\nfile $after:-o 5000\n[ffmpeg.exe]\nexit 1\n", 1, "-xvidencopts"},
      {"intermediate_file", [] {
         TDevice D;
         D.Preset = "ff_plain";
         return D;
       }(), {{scAudioTracks, "128 English\r\n129 French"}}, false,
       "[mencoder.exe]\nprint Pos: 1.0s 25f Trem: 1min 1mb\nstall\n[ffmpeg.exe]\nfile $last 5000\n", 1, "ffmpeg.exe -i"},
  };
  AddPreset("ff_plain", "ffmpeg", "-y -vcodec mpeg4 -b $vbrk", "avi");
  for (const auto& C : Cases) {
    SCOPED_TRACE(C.Name);
    ClearGridRows(Form->dq);
    ClearGridRows(Form->StringGrid1);
    std::filesystem::remove(Dir + "tool.log");
    Scenario(C.Scenario);
    History.clear();
    AddDevice(C.Device);
    AddSource("Clip", C.Source);
    ConversionOptions.NoCropping = !C.Crop;
    RunHooks.AutoDetectCrop = [](int R) { AutoDetectCrop(R); };
    PressLater(1500, SkipClick);
    GoClick();
    ASSERT_EQ(JobRows(), C.JobRows);
    for (int R = 1; R <= C.JobRows; ++R) {
      EXPECT_EQ(Job(jcStatus, R), "Skipped") << R;
      EXPECT_EQ(Job(jcState, R), "Skipped") << R;
    }
    EXPECT_EQ(Form->StringGrid1->GetCells(scConvert, 1), "No");
    EXPECT_TRUE(History.empty());
    const std::string Log = ReadFile(Dir + "tool.log");
    EXPECT_EQ(Log.find(C.NeverRun), std::string::npos) << Log;
  }
}

TEST_F(TConversionSideStepTest, IntermediateFileThatWasNotMadeFailsTheJob)
{
  struct {
    const char* Name;
    const char* Intermediate;
    const char* Reason;
  } Cases[] = {
      {"tool_refuses", "eprint Cannot open file: /media/Clip.avi\nexit 1", "Cannot open file"},
      {"empty_file", "print Pos: 1.0s 25f Trem: 1min 1mb\nfile $after:-o 0", "no output was written"},
      {"no_file", "print Pos: 1.0s 25f Trem: 1min 1mb", "no output was written"},
  };
  AddPreset("ff_plain", "ffmpeg", "-y -vcodec mpeg4 -b $vbrk", "avi");
  TDevice D;
  D.Preset = "ff_plain";
  AddDevice(D);
  AddSource("Clip", {{scAudioTracks, "128 English\r\n129 French"}});
  for (const auto& C : Cases) {
    SCOPED_TRACE(C.Name);
    std::filesystem::remove(Dir + "tool.log");
    std::filesystem::remove_all(OutFolder + "Inbetween File");
    Scenario(std::string("[mencoder.exe]\n") + C.Intermediate + "\n[ffmpeg.exe]\nfile $last 5000\n");
    Form->StringGrid1->SetCells(scConvert, 1, "Yes");
    GoClick();
    EXPECT_EQ(Job(jcStatus, 1), "Failed");
    EXPECT_NE(JobFailureReason(1).find("intermediate"), std::string::npos) << JobFailureReason(1);
    EXPECT_NE(JobFailureReason(1).find(C.Reason), std::string::npos) << JobFailureReason(1);
    EXPECT_EQ(Runs("ffmpeg.exe"), 0);
    EXPECT_EQ(Form->StringGrid1->GetCells(scConvert, 1), "No");
  }
  EXPECT_TRUE(History.empty());
}

TEST_F(TConversionSideStepTest, IntermediateFolderIsBuiltFromItsParts)
{
  struct {
    const char* Name;
    std::vector<const char*> Devices;
    const char* Destination;
    const char* Intermediate;  // below the test folder
  } Cases[] = {
      {"one_device_the_output_folder", {"Walkman"}, "Walkman Videos/", "Walkman Videos/Inbetween File/Clip.avi"},
      {"beside_the_device_folders", {"Walkman", "Zune"}, "Walkman Videos/", "Walkman Videos/Inbetween File/Clip.avi"},
      {"destination_named_like_the_device", {"Walkman", "Zune"}, "Walkman/", "Walkman/Inbetween File/Clip.avi"},
  };
  Scenario(Encoders);
  AddPreset("ff_plain", "ffmpeg", "-y -vcodec mpeg4 -b $vbrk", "avi");
  for (const auto& C : Cases) {
    SCOPED_TRACE(C.Name);
    ClearGridRows(Form->dq);
    ClearGridRows(Form->StringGrid1);
    std::filesystem::remove_all(Dir + C.Destination);
    for (const char* Name : C.Devices) {
      TDevice D;
      D.Name = Name;
      D.Preset = "ff_plain";
      D.Folder = Dir + C.Destination;
      AddDevice(D);
    }
    AddSource("Clip", {{scAudioTracks, "128 English\r\n129 French"}});
    GoClick();
    EXPECT_TRUE(std::filesystem::exists(Dir + C.Intermediate));
    for (int R = 1; R <= JobRows(); ++R) EXPECT_EQ(Job(jcStatus, R).substr(0, 9), "Finished ") << JobFailureReason(R);
  }
}

TEST_F(TConversionSideStepTest, GoDuringARunDoesNothingAndStaysHidden)
{
  Scenario("[mencoder.exe]\nprint Pos: 1.0s 25f Trem: 1min 1mb\nsleep 1100\nprint Pos: 2.0s 50f Trem: 1min 1mb\n"
           "file $after:-o 5000\n[mp4box.exe]\ncopy $2 $3\n");
  AddPreset("mp4x_test", "mencoder", "-ovc lavc -of lavf", "mp4x");
  TDevice D;
  D.Preset = "mp4x_test";
  AddDevice(D);
  AddSource("One");
  AddSource("Two");
  std::vector<bool> GoShown;
  RunHooks.ShowButtons = [&](bool Go, bool, bool) { GoShown.push_back(Go); };
  for (int Ms : {600, 1500, 2600, 3500}) PressLater(Ms, GoClick);
  GoClick();
  EXPECT_EQ(Runs("mencoder.exe"), 2);
  EXPECT_EQ(Runs("mp4box.exe"), 2);
  ASSERT_EQ(JobRows(), 2);
  for (int R = 1; R <= 2; ++R) EXPECT_EQ(Job(jcStatus, R).substr(0, 9), "Finished ") << JobFailureReason(R);
  ASSERT_FALSE(GoShown.empty());
  EXPECT_TRUE(GoShown.back()) << "Go comes back when the run ends";
  EXPECT_EQ(std::count(GoShown.begin(), GoShown.end(), true), 1) << "and not before";
}

TEST_F(TConversionSideStepTest, WindowsMediaMessageSaysWhatHappens)
{
  struct {
    const char* Name;
    bool ScriptHost;  // the tool that runs the Windows Media jobs is in the work folder
    const char* Message;
    const char* Status;
  } Cases[] = {
      {"no_script_host", false,
       "Windows Media Encoder 9 not found\rand is required for the selected conversion\rThe Windows Media jobs of this run "
       "will fail",
       "Failed"},
      {"script_host_present", true, nullptr, "Finished "},
  };
  Scenario("[qvcscript.exe]\nprint Encoded: 1.0s Elapsed 1s\nsleep 1100\nprint Encoded: 2.0s Elapsed 2s\n"
           "file $after:-output 5000\n");
  TDevice D;
  D.Preset = "wmv9_wma_wme";
  AddDevice(D);
  AddSource("Clip");
  for (const auto& C : Cases) {
    SCOPED_TRACE(C.Name);
    if (C.ScriptHost) std::filesystem::create_symlink(std::string(QV_TEST_BIN_DIR) + "/qv_faketool", WorkFolder + "qvcscript.exe");
    std::vector<std::string> Messages;
    RunHooks.MessageBox = [&](const String& Text) { Messages.push_back(Text); };
    Form->StringGrid1->SetCells(scConvert, 1, "Yes");
    GoClick();
    EXPECT_EQ(Messages, C.Message ? std::vector<std::string>{C.Message} : std::vector<std::string>{});
    EXPECT_EQ(Job(jcStatus, 1).substr(0, std::string(C.Status).size()), C.Status) << JobFailureReason(1);
  }
}

TEST_F(TConversionSideStepTest, SplitTwoPassPartsKeepAFirstPassLogEach)
{
  Scenario("[mencoder.exe]\nprint Pos: 1.0s 25f Trem: 1min 1mb\nfile $after:-o 5000\n");
  TDevice D;
  D.Preset = "xvid_mp3";
  D.Passes = "2";
  AddDevice(D);
  AddSource("Film", {{scSplitParts, "Yes"}, {scChapters, "2"}, {scChaptersPerPart, "1"}});
  GoClick();
  std::istringstream In(ReadFile(Dir + "tool.log"));
  std::vector<std::string> Logs;
  for (std::string Line; std::getline(In, Line);)
    if (Line.rfind("cmd ", 0) == 0) {
      const auto At = Line.find("-passlogfile ");
      ASSERT_NE(At, std::string::npos) << Line;
      Logs.push_back(Line.substr(At + 13, Line.find(".txt", At) + 4 - At - 13));
    }
  const std::string Temp = WorkFolder + "temp/";
  // Pass 1 of parts 1 and 2, then pass 2 of parts 1 and 2, each with its part's log.
  EXPECT_EQ(Logs, (std::vector<std::string>{Temp + "Film01.txt", Temp + "Film02.txt", Temp + "Film01.txt", Temp + "Film02.txt"}));
}

namespace {

// The arguments of the last run of Tool in the fake tools' log; empty when it never ran.
std::vector<std::string> LastRunArguments(const std::string& Log, const std::string& Tool)
{
  std::istringstream In(Log);
  std::vector<std::string> Args;
  bool InRun = false;
  for (std::string Line; std::getline(In, Line);) {
    if (Line.rfind("run ", 0) == 0) {
      InRun = Line.size() > Tool.size() && Line.compare(Line.size() - Tool.size() - 1, std::string::npos, " " + Tool) == 0;
      if (InRun) Args.clear();
    } else if (InRun && Line.rfind("arg ", 0) == 0) {
      Args.push_back(Line.substr(Line.find(' ', 4) + 1));
    }
  }
  return Args;
}

}  // namespace

// A device cell holding more than a number (a saved profile can hold anything) never adds an
// argument to the encoder's line: the job fails naming the cell, and a number with blanks
// around it or a sign goes on as the number.
TEST_F(TConversionSideStepTest, DeviceCellsReachTheToolsOnlyAsWholeNumbers)
{
  Scenario(Encoders);
  AddPreset("ff_rates", "ffmpeg", "-y -vcodec mpeg4 -b $vbrk -acodec mp2 -ab $abrk -ac $ac", "avi");
  const struct {
    const char* Preset;
    const char* Tool;
    int Column;
    const char* Payload;
    bool Clean;
  } Cases[] = {
      {"xvid_mp3", "mencoder.exe", DeviceVideoRateCol, "800 -o victim.txt", false},
      {"xvid_mp3", "mencoder.exe", DeviceAudioRateCol, "128 -of rawvideo", false},
      {"xvid_mp3", "mencoder.exe", DeviceChannelsCol, "2:vol=9 -x", false},
      {"xvid_mp3", "mencoder.exe", DeviceVolumeCol, "5 -af-add volume=40", false},
      {"xvid_mp3", "mencoder.exe", DevicePassesCol, "2\n-o x", false},
      {"xvid_mp3", "mencoder.exe", DeviceBrightnessCol, "10 -o victim.txt", false},
      {"xvid_mp3", "mencoder.exe", DeviceContrastCol, "0\" -o \"x", false},
      {"xvid_mp3", "mencoder.exe", DeviceSpeedLimitCol, "1e9", false},
      {"xvid_mp3", "mencoder.exe", DeviceVideoRateCol, "800k", false},
      {"xvid_mp3", "mencoder.exe", DeviceVideoRateCol, " 800 ", true},
      {"xvid_mp3", "mencoder.exe", DeviceBrightnessCol, "-15", true},
      {"xvid_mp3", "mencoder.exe", DeviceContrastCol, " 20", true},
      {"ff_rates", "ffmpeg.exe", DeviceVideoRateCol, "800k -f mp4 -y victim.txt -b 800", false},
      {"ff_rates", "ffmpeg.exe", DeviceAudioRateCol, "128 -i /etc/passwd", false},
      {"ff_rates", "ffmpeg.exe", DeviceChannelsCol, "2 -map 0", false},
      {"ff_rates", "ffmpeg.exe", DeviceVideoRateCol, "900 ", true},
  };
  TDevice D;
  D.SpeedLimitSwitch = "Yes";
  D.SpeedLimit = "900000";
  const int Row = AddDevice(D);
  AddSource("Clip");
  auto Run = [&](const char* Preset, const char* Tool) {
    Form->dq->SetCells(DevicePresetCol, Row, Preset);
    Form->StringGrid1->SetCells(scConvert, 1, "Yes");
    std::filesystem::remove(Dir + "tool.log");
    GoClick();
    return LastRunArguments(ReadFile(Dir + "tool.log"), Tool);
  };
  for (const auto& C : Cases) {
    SCOPED_TRACE(std::string(C.Tool) + " column " + std::to_string(C.Column) + ": " + C.Payload);
    const size_t CleanCount = Run(C.Preset, C.Tool).size();
    ASSERT_GT(CleanCount, 0u) << JobFailureReason(1);
    const String Kept = Form->dq->GetCells(C.Column, Row);
    Form->dq->SetCells(C.Column, Row, C.Payload);
    const std::vector<std::string> Args = Run(C.Preset, C.Tool);
    Form->dq->SetCells(C.Column, Row, Kept);
    if (C.Clean) {
      EXPECT_EQ(Args.size(), CleanCount);
      EXPECT_EQ(Job(jcStatus, 1).substr(0, 9), "Finished ") << JobFailureReason(1);
      continue;
    }
    EXPECT_TRUE(Args.empty()) << "the tool ran";
    EXPECT_EQ(Job(jcStatus, 1), "Failed");
    EXPECT_EQ(Job(jcOptions, 1), "");
    const std::string Shown = "Device 1: \"" + std::string(C.Payload) + "\" in column " + std::to_string(C.Column) + " is not a whole number";
    std::string Expected = Shown;
    std::replace(Expected.begin(), Expected.end(), '\n', ' ');
    EXPECT_EQ(JobFailureReason(1), Expected);
    EXPECT_NE(Form->log->GetText().find(Expected), std::string::npos);
    // The source is not to blame: it stays marked for the next run.
    EXPECT_EQ(Form->StringGrid1->GetCells(scConvert, 1), "Yes");
  }
}

TEST(DeviceNumbers, WholeNumbersOnly)
{
  const struct {
    const char* Text;
    bool Whole;
    int Value;
  } Cases[] = {
      {"800", true, 800},  {" 800 ", true, 800}, {"-15", true, -15}, {"0", true, 0},
      {"2147483647", true, 2147483647}, {"-2147483648", true, -2147483647 - 1},
      {"2147483648", false, 0}, {"99999999999999999999", false, 0}, {"", false, 0}, {" ", false, 0},
      {"-", false, 0}, {"+5", false, 0}, {"800k", false, 0}, {"8e2", false, 0}, {"0x10", false, 0},
      {"1 2", false, 0}, {"12\n", false, 0}, {"1.5", false, 0}, {"\xd9\xa3", false, 0},
  };
  for (const auto& C : Cases) {
    int V = 0;
    EXPECT_EQ(ReadWholeNumber(C.Text, V), C.Whole) << '"' << C.Text << '"';
    if (C.Whole) {
      EXPECT_EQ(V, C.Value) << C.Text;
    }
  }
}

// Identify transcripts whose clip or stream titles carry keys, quotes and options: what the
// parser takes into the row, and what of it reaches mencoder's line.
TEST_F(TConversionSideStepTest, CraftedTitlesInIdentifyOutputNeverReachTheEncoderLine)
{
  Scenario(Encoders);
  const struct {
    const char* Name;
    std::vector<std::string> Lines;
    std::map<int, std::string> Row;  // source cells expected after parsing
    std::map<std::string, std::string> Options;  // option -> value on mencoder's line ("" = absent)
    const char* Logged;  // a log line that must be written, or nullptr
  } Cases[] = {
      {"CleanKeysAndTracks",
       {"ID_VIDEO_ASPECT=1.7778", "ID_VIDEO_FPS=23.976", "ID_AUDIO_ID=128", "ID_AID_128_LANG=en"},
       {{scAspect, "1.7778"}, {scFrameRate, "23.976"}, {scAudioTracks, "128 ?????\r\n128_LANG=en\r\n"}},
       {{"-aspect", "1.7778"}, {"-aid", "128"}, {"-fps", "23.976"}}, nullptr},
      {"QuoteInATitleMakesNoAudioTrack",
       {"ID_AUDIO_ID=1", "ID_AID_1_LANG=eng", "ID_CLIP_INFO_VALUE0=ID_AID_x\"5.1c3", " title: ID_AID_x\"5.1c3",
        "Title ID_AID_x\"5.1c3", "ID_AID_x\"5.1c3"},
       {{scAudioTracks, "1 ?????\r\n1_LANG=eng\r\n"}}, {{"-aid", "1"}}, nullptr},
      {"KeyInsideATitleIsNoKey", {"[mkv] title ID_VIDEO_ASPECT=1.5 -INJa", "ID_VIDEO_FPS=25.000"},
       {{scAspect, ""}, {scFrameRate, "25.000"}}, {{"-aspect", ""}, {"-fps", "25.000"}}, nullptr},
      {"KeyLineWithAnOptionIsLeftOut", {"ID_VIDEO_ASPECT=1.5 -INJa", "ID_VIDEO_FPS=25.000"},
       {{scAspect, "1.5 -INJa"}}, {{"-aspect", ""}}, "Left out \"-aspect\": \"1.5 -INJa\""},
      {"FrameRateWithAQuoteIsLeftOut", {"ID_VIDEO_FPS=25\" "}, {{scFrameRate, "25\""}}, {{"-fps", ""}},
       "Left out \"-fps\": \"25\"\""},
      {"TrackLanguageWithAQuoteIsNoTrack", {"ID_AUDIO_ID=2", "ID_AID_2_LANG=en\" -INJb", "ID_SID_x_LANG=en"},
       {{scAudioTracks, "2 ?????"}, {scSubtitleTracks, ""}}, {{"-aid", "2"}}, nullptr},
      {"AudioIdWithTextIsNoTrack", {"ID_AUDIO_ID=3 -INJc", "audio stream: x format: ac3 aid: 128."},
       {{scAudioTracks, ""}}, {{"-aid", ""}}, nullptr},
  };
  AddDevice({});
  const int Row = AddSource("Clip", {{scType, "VIDEO*"}, {scAspect, ""}, {scFrameRate, ""}});
  for (const auto& C : Cases) {
    SCOPED_TRACE(C.Name);
    for (int Col : {scAspect, scFrameRate, scAudioTracks, scSubtitleTracks, scAudioChoice, scSubtitleChoice})
      Form->StringGrid1->SetCells(Col, Row, "");
    Form->StringGrid1->SetCells(scConvert, Row, "Yes");
    Form->Memo1->GetLines()->Clear();
    Form->Memo2->GetLines()->Clear();
    Form->log->GetLines()->Clear();
    DetectMode = "video";
    DetectRow = Row;
    PlaybackMode = true;
    for (const std::string& L : C.Lines) ParseToolOutputLine(" " + L);
    PlaybackMode = false;
    auto MemoCell = [](TMemo* M) {
      TStrings* L = M->GetLines();
      if (L->GetCount() == 1) return L->Get(0);
      std::string T;
      for (int I = 0; I < L->GetCount(); ++I) T += L->Get(I) + "\r\n";
      return T;
    };
    Form->StringGrid1->SetCells(scAudioTracks, Row, MemoCell(Form->Memo1));
    Form->StringGrid1->SetCells(scSubtitleTracks, Row, MemoCell(Form->Memo2));
    SelectDefaultTracks(Form->StringGrid1, Row, TTrackPreferences());
    for (const auto& [Col, Text] : C.Row) EXPECT_EQ(Form->StringGrid1->GetCells(Col, Row), Text) << "column " << Col;

    std::filesystem::remove(Dir + "tool.log");
    GoClick();
    const std::vector<std::string> Args = LastRunArguments(ReadFile(Dir + "tool.log"), "mencoder.exe");
    ASSERT_FALSE(Args.empty()) << JobFailureReason(1);
    EXPECT_EQ(std::count(Args.begin(), Args.end(), "-o"), 1);
    for (const std::string& A : Args) EXPECT_EQ(A.find("INJ"), std::string::npos) << A;
    for (const auto& [Option, Value] : C.Options) {
      const auto At = std::find(Args.begin(), Args.end(), Option);
      if (Value.empty()) {
        EXPECT_EQ(At, Args.end()) << Option;
      } else {
        ASSERT_NE(At, Args.end()) << Option;
        ASSERT_NE(At + 1, Args.end());
        EXPECT_EQ(*(At + 1), Value) << Option;
      }
    }
    if (C.Logged) {
      EXPECT_NE(Form->log->GetText().find(C.Logged), std::string::npos) << Form->log->GetText();
    }
  }
}

TEST(ToolOutputValues, IdsAndRatesOnlyInTheirForm)
{
  const struct {
    const char* Text;
    bool Id, Rate;
  } Cases[] = {
      {"128", true, true},      {" 2 ", true, true},       {"23.976", false, true}, {"30000/1001", false, true},
      {"16:9", false, true},    {"1.7778", false, true},   {"", false, false},      {"x\"5.1c3", false, false},
      {"25\" ", false, false},  {"1.5 -INJa", false, false}, {"1.", false, false},  {".5", false, false},
      {"1/", false, false},     {"1/2/3", false, false},   {"-1", false, false},    {"12\n", false, false},
      {"1e3", false, false},
  };
  for (const auto& C : Cases) {
    EXPECT_EQ(IsToolId(C.Text), C.Id) << '"' << C.Text << '"';
    EXPECT_EQ(IsToolRate(C.Text), C.Rate) << '"' << C.Text << '"';
  }
}
