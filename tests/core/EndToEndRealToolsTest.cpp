// The whole road with the real tools, headless: the main window with its tables and the history
// window, wired the way the program wires them (one process runner for identification and
// conversion, the run control's handlers, identification lines through the line feed, the scan
// tick and the history hook), a clip made by ffmpeg added through the intake and identified by
// the real mplayer, three devices queued and Go pressed. The outputs are checked with ffprobe.
// Skipped with a message when a tool is missing.
#include <gtest/gtest.h>
#include <stdio.h>

#include <filesystem>
#include <fstream>
#include <memory>
#include <sstream>
#include <vector>

#include "JobListTestSupport.h"
#include "core/DetectionWatchdog.h"
#include "core/History.h"
#include "core/RunControl.h"
#include "core/XcCreateProcess.h"
#include "core/qv_convert.h"
#include "core/qv_detect.h"
#include "core/qv_scan.h"
#include "platform/os/ToolLinks.h"

using namespace jobtest;

namespace {

std::string Program(const char* Name)
{
  const char* Path = getenv("PATH");
  return qv::os::FindProgramOnPath(Name, Path ? Path : "");
}

std::string Quote(const std::string& S)
{
  std::string Q = "'";
  for (char C : S) Q += C == '\'' ? std::string("'\\''") : std::string(1, C);
  return Q + "'";
}

std::string Capture(const std::string& Command)
{
  std::string Out;
  if (FILE* P = popen(Command.c_str(), "r")) {
    char Buffer[4096];
    size_t N;
    while ((N = fread(Buffer, 1, sizeof Buffer, P)) > 0) Out.append(Buffer, N);
    pclose(P);
  }
  return Out;
}

class TEndToEndRealTools : public TJobTest {
protected:
  void SetUp() override
  {
    TJobTest::SetUp();
    for (const char* Tool : {"mplayer", "mencoder", "ffmpeg", "ffprobe"})
      if (Program(Tool).empty()) GTEST_SKIP() << Tool << " is not installed: no headless real conversion";
    std::filesystem::create_directories(WorkFolder + "temp");
    for (const auto& [Link, Tool] : {std::pair{"mplayer.exe", "mplayer"}, {"mencoder.exe", "mencoder"},
                                     {"ffmpeg.exe", "ffmpeg"}, {"ffmpeg2.exe", "ffmpeg"}})
      std::filesystem::create_symlink(Program(Tool), WorkFolder + Link);
    FfmpegAddonPresent = true;
    // A machine with sound: mplayer plays to a null output.
    std::filesystem::create_directories(Dir + "home/.mplayer");
    std::ofstream(Dir + "home/.mplayer/config") << "ao=null\nlirc=no\n";

    History = new TForm3(nullptr);
    HistoryFormCreate();
    ScanHost() = TScanHost();
    Form->finuse->SetChecked(true);  // "Ignore file-in-use check": the clip is small
    ConversionOptions = TConversionOptions();
    ConversionOptions.NoCropping = true;

    // One runner for everything, as in the program.
    TXcCreateProcess* Runner = Form->XcCreateProcess1;
    Runner->GetStartupInfo()->ShowWindow = swHide;
    Runner->GetStartupInfo()->DefaultWindowState = false;
    Runner->SetConsoleOptions({coOwnerData, coRedirect});
    RunHooks = TRunHooks();
    InstallRunControl();
    RunHooks.IdentifyLine = [this, Runner](const String& Line) {
      Feed.Report(Line.substr(1), Runner->GetOutputReader());
    };
    RunHooks.AddToHistory = [](int Row) { Add2FileList(Row); };
    RunHooks.ScanTimerTick = [] { ScanTimerTimer(); };
    Form->detecttimer1->SetInterval(1000);
    Watchdog = std::make_unique<TTimerDetectionWatchdog>(Form->detecttimer1, Runner, [](const String&) {});
    TDetectionHost& Host = DetectionHost();
    Host = TDetectionHost();
    Host.Runner = Runner;
    Host.Watchdog = Watchdog.get();
    BatchRunning = false;
    ToolRunning = false;
  }
  void TearDown() override
  {
    DetectionHost() = TDetectionHost();
    ScanHost() = TScanHost();
    RunHooks = TRunHooks();
    Watchdog.reset();
    delete History;
    TJobTest::TearDown();
  }

  std::string MakeClip(const std::string& Name)
  {
    const std::string Path = Dir + "media/" + Name;
    std::filesystem::create_directories(Dir + "media");
    const std::string Errors =
        Capture("ffmpeg -v error -y -f lavfi -i testsrc=size=320x240:rate=25 -f lavfi -i "
                "sine=frequency=440:sample_rate=44100 -t 5 -c:v mpeg4 -c:a mp3 -ac 2 " +
                Quote(Path) + " 2>&1");
    EXPECT_TRUE(std::filesystem::exists(Path)) << Errors;
    return Path;
  }
  std::string Probe(const std::string& File, const std::string& What)
  {
    std::string S = Capture("ffprobe -v error " + What + " " + Quote(File));
    while (!S.empty() && (S.back() == '\n' || S.back() == '\r')) S.pop_back();
    return S;
  }

  TForm3* History = nullptr;
  TDetectionLineFeed Feed;
  std::unique_ptr<TTimerDetectionWatchdog> Watchdog;
};

}  // namespace

TEST_F(TEndToEndRealTools, ClipThroughIntakeIdentificationAndThreeDevices)
{
  const std::string Clip = MakeClip("My Clip.avi");
  TDevice A, B, C;
  A.Name = "Xvid Player";
  A.Preset = "xvid_mp3";
  A.Screen = "320x240";
  B.Name = "Wmv Phone";
  B.Preset = "wmv_wma";
  B.Screen = "176x144";
  B.FrameRate = "15";
  C.Name = "Flash Video";
  C.Preset = "flv_mp3";
  C.Screen = "480x272";
  for (const TDevice& D : {A, B, C}) AddDevice(D);

  AddPendingInput(Clip);
  ASSERT_TRUE(Form->ScanTimer->GetEnabled());
  ScanTimerTimer();  // the scan timer's tick: scan, identify with mplayer
  EXPECT_FALSE(Form->ScanTimer->GetEnabled());
  ASSERT_EQ(Form->StringGrid1->GetRowCount(), 2) << "one source row";
  EXPECT_EQ(Form->StringGrid1->GetCells(scSourcePath, 1), Clip);
  EXPECT_EQ(Form->StringGrid1->GetCells(scWidth, 1), "320");
  EXPECT_EQ(Form->StringGrid1->GetCells(scConvert, 1), "Yes");

  GoClick();
  ASSERT_EQ(JobRows(), 3);
  std::string Folder;
  for (int R = 1; R <= 3; ++R) {
    SCOPED_TRACE(Job(jcDeviceTitle, R));
    Folder = Job(jcOutFolder, R);
    const std::string File = Folder + Job(jcFileName, R);
    EXPECT_EQ(Job(jcStatus, R).substr(0, 9), "Finished ") << JobFailureReason(R) << Form->log->GetText();
    ASSERT_TRUE(std::filesystem::exists(File));
    EXPECT_NEAR(atof(Probe(File, "-show_entries format=duration -of csv=p=0").c_str()), 5.0, 1.0);
    std::string Size = Job(jcOutputSize, R);
    Size.replace(Size.find(" x "), 3, "x");
    EXPECT_EQ(Probe(File, "-select_streams v:0 -show_entries stream=width,height -of csv=s=x:p=0"), Size);
    std::ifstream Playlist(Folder + "playlist.m3u");
    std::stringstream Text;
    Text << Playlist.rdbuf();
    EXPECT_NE(Text.str().find(File + "\r\n"), std::string::npos) << Text.str();
  }
  EXPECT_EQ(Form->StringGrid1->GetCells(scConvert, 1), "Done");
  EXPECT_FALSE(Converting);
  EXPECT_FALSE(GoBusy);

  // The history: one entry per device, saved, and the clip counts as converted from now on.
  TskSkinStringGrid* Db = History->database;
  std::vector<std::string> Devices;
  for (int R = 1; R < Db->GetRowCount(); ++R)  // row 0 is the header
    if (Db->GetCells(3, R) == Form->convertgrid->GetCells(scHistoryName, 1)) Devices.push_back(Db->GetCells(2, R));
  EXPECT_EQ(Devices, (std::vector<std::string>{Job(jcDeviceTitle, 1), Job(jcDeviceTitle, 2), Job(jcDeviceTitle, 3)}));
  HistorySave();
  std::ifstream Saved(WorkFolder + "filelist.db");
  std::stringstream Db2;
  Db2 << Saved.rdbuf();
  EXPECT_NE(Db2.str().find(Form->convertgrid->GetCells(scHistoryName, 1)), std::string::npos) << Db2.str();
}
