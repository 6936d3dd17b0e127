// The conversion driver with fake tools: progress and speed, the verdict of a job, unique
// names, the playlist, the source marks, Skip and Stop, and a tool that fails with its reason.
#include <gtest/gtest.h>
#include <stdlib.h>

#include <filesystem>
#include <fstream>
#include <algorithm>
#include <sstream>

#include "JobListTestSupport.h"
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
  // Presses a button of the run after Ms milliseconds (inside the tool wait).
  void PressLater(int Ms, void (*Button)())
  {
    auto* T = new TTimer(Form);
    T->SetInterval(Ms);
    T->SetOnTimer([T, Button](TObject*) {
      T->SetEnabled(false);
      Button();
    });
    T->SetEnabled(true);
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
      {"frame= 1234 fps= 56 q=2.0 size= 1234kB time=00:00:49.36 bitrate= 204.8kbits/s", false, 0},
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
  void AddPreset(const char* Id, const char* Tool, const char* Options, const char* Ext)
  {
    const int R = Form->codecgrid->GetRowCount();
    Form->codecgrid->SetRowCount(R + 1);
    Form->codecgrid->SetCells(CodecIdCol, R, Id);
    Form->codecgrid->SetCells(CodecToolCol, R, Tool);
    Form->codecgrid->SetCells(CodecOptionsCol, R, Options);
    Form->codecgrid->SetCells(CodecExtensionCol, R, Ext);
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
  Scenario("[mencoder.exe]\nstall\n");
  AddDevice({});
  AddSource("Clip");
  std::vector<std::string> Statuses;
  RunHooks.ShowStatus = [&](const String& T) { Statuses.push_back(T); };
  GoClick();
  EXPECT_EQ(Job(jcStatus, 1), "Failed");
  EXPECT_NE(JobFailureReason(1).find("watchdog"), std::string::npos) << JobFailureReason(1);
  EXPECT_NE(std::find(Statuses.begin(), Statuses.end(), "Possible DVD issue, restarted conversion"), Statuses.end());
  const std::string Log = ReadFile(Dir + "tool.log");
  size_t Runs = 0;
  for (size_t P = Log.find("run "); P != std::string::npos; P = Log.find("run ", P + 1)) ++Runs;
  EXPECT_EQ(Runs, 2u);
  EXPECT_NE(Form->log->GetText().find("Bad count:11"), std::string::npos);
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
