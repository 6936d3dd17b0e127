// The whole road with the real tools, headless: the main window with its tables and the history
// window, wired the way the program wires them (one process runner for identification and
// conversion, the run control's handlers, identification lines through the line feed, the scan
// tick and the history hook), a clip made by ffmpeg added through the intake and identified by
// the real mplayer, three devices queued and Go pressed. The outputs are checked with ffprobe.
// Skipped with a message when a tool is missing. The full-disk case runs in a child process with
// a mount namespace of its own and a small tmpfs as the output folder; skipped where mounting is
// not allowed.
#include <gtest/gtest.h>
#include <errno.h>
#include <sched.h>
#include <string.h>
#include <stdio.h>
#include <sys/mount.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <memory>
#include <sstream>
#include <vector>

#include "JobListTestSupport.h"
#include "core/DetectionWatchdog.h"
#include "core/DeviceQueue.h"
#include "core/DeviceTables.h"
#include "core/History.h"
#include "core/RunControl.h"
#include "core/XcCreateProcess.h"
#include "core/qv_convert.h"
#include "core/qv_detect.h"
#include "core/qv_scan.h"
#include "platform/os/ToolLinks.h"
#include "tests/support/ShellCommands.h"
#include "tests/support/DistinctPictures.h"

using namespace jobtest;

namespace {

class TEndToEndRealTools : public TJobTest {
protected:
  void SetUp() override
  {
    TJobTest::SetUp();
    for (const char* Tool : {"mplayer", "mencoder", "ffmpeg", "ffprobe"})
      if (qvtest::ProgramOnPath(Tool).empty()) GTEST_SKIP() << Tool << " is not installed: no headless real conversion";
    std::filesystem::create_directories(WorkFolder + "temp");
    const char* Path = getenv("PATH");
    qv::os::ProvideToolLinks(WorkFolder, Path ? Path : "", QV_TOOL_ADAPTER);
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
    RunHooks.IdentifyLine = [](const String& Line) { ParseToolOutputLine(Line); };
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
    DeviceQueueHost() = TDeviceQueueHost();
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
        qvtest::CommandOutput("ffmpeg -v error -y -f lavfi -i testsrc=size=320x240:rate=25 -f lavfi -i "
                "sine=frequency=440:sample_rate=44100 -t 5 -c:v mpeg4 -c:a mp3 -ac 2 " +
                qvtest::ShellQuoted(Path) + " 2>&1");
    EXPECT_TRUE(std::filesystem::exists(Path)) << Errors;
    return Path;
  }
  std::string Probe(const std::string& File, const std::string& What)
  {
    std::string S = qvtest::CommandOutput("ffprobe -v error " + What + " " + qvtest::ShellQuoted(File));
    while (!S.empty() && (S.back() == '\n' || S.back() == '\r')) S.pop_back();
    return S;
  }

  TForm3* History = nullptr;
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
    const qvtest::TPictureCount Pictures = qvtest::CountPictures(File);
    EXPECT_GT(Pictures.Decoded, 50);
    EXPECT_EQ(Pictures.Distinct, Pictures.Decoded) << "a picture repeated";
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

namespace {
constexpr int ChildSkips = 77;
int FullDiskChildCode = -1;
std::string FullDiskReport(int TestProcess)
{
  return testing::TempDir() + "qv_fulldisk_" + std::to_string(TestProcess) + ".txt";
}
}  // namespace

// The first job's output is written; then the output file system is filled to the last byte and
// the second job runs out of space: it reads "Failed" with a reason that says the disk of its
// folder is full, the first output stays, and the run ends with the flags restored.
TEST_F(TEndToEndRealTools, AFullOutputDiskFailsTheJobAndKeepsEarlierOutputs)
{
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  const auto Child = [this] {
    // The child's standard error is not the test's: it reports into a file named after the test process.
    FILE* Report = fopen(FullDiskReport(getppid()).c_str(), "w");
    if (!Report) _exit(2);
    std::filesystem::create_directories(OutFolder);
    if (unshare(CLONE_NEWNS) != 0 || mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0 ||
        mount("qvfull", OutFolder.c_str(), "tmpfs", 0, "size=8m") != 0) {
      fprintf(Report, "cannot mount a small file system here: %s\n", strerror(errno));
      fclose(Report);
      _exit(ChildSkips);
    }
    const std::string Clip = MakeClip("My Clip.avi");
    TDevice A, B;
    A.Name = "Flash Video";
    A.Preset = "flv_mp3";
    A.Screen = "176x144";
    B.Name = "Xvid Player";
    B.Preset = "xvid_mp3";
    B.Screen = "320x240";
    AddDevice(A);
    AddDevice(B);
    bool Filled = false;
    RunHooks.AddToHistory = [this, &Filled](int Row) {
      Add2FileList(Row);
      if (Filled) return;
      Filled = true;
      std::ofstream Filler(OutFolder + "filler", std::ios::binary);
      static const std::string Block(4096, 'x');
      while (Filler.write(Block.data(), Block.size())) {
      }
      Filler.clear();
      while (Filler.put('x') && Filler.flush()) {
      }
    };
    AddPendingInput(Clip);
    ScanTimerTimer();
    GoClick();
    int Faults = 0;
    const auto Check = [&Faults, Report](bool Ok, const std::string& What) {
      if (!Ok) fprintf(Report, "%s\n", What.c_str()), ++Faults;
    };
    Check(JobRows() == 2, "two jobs");
    if (JobRows() == 2) {
      const std::string First = Job(jcOutFolder, 1) + Job(jcFileName, 1);
      Check(Job(jcStatus, 1).rfind("Finished", 0) == 0, "job 1 reads " + Job(jcStatus, 1));
      Check(std::filesystem::exists(First) && std::filesystem::file_size(First) > 0, "job 1 output kept: " + First);
      Check(Job(jcStatus, 2) == "Failed", "job 2 reads " + Job(jcStatus, 2));
      Check(Job(jcState, 2) == "Failed", "job 2's state reads " + Job(jcState, 2));
      const std::string Full = "the disk is full: \"" + Job(jcOutFolder, 2) + "\": There is not enough space on the disk. (";
      Check(JobFailureReason(2).rfind(Full, 0) == 0, "job 2's reason names the full disk and its folder");
      fprintf(Report, "job 2's reason: %s\n", JobFailureReason(2).c_str());
    }
    Check(Filled, "the disk was filled after job 1");
    Check(!Converting && !GoBusy && !ToolRunning, "flags restored");
    fclose(Report);
    umount2(OutFolder.c_str(), MNT_DETACH);
    std::error_code Ignored;
    std::filesystem::remove_all(Dir, Ignored);
    _exit(Faults == 0 ? 0 : 1);
  };
  EXPECT_EXIT(Child(), [](int Status) {
    FullDiskChildCode = WIFEXITED(Status) ? WEXITSTATUS(Status) : -1;
    return FullDiskChildCode == 0 || FullDiskChildCode == ChildSkips;
  }, "");
  std::ifstream In(FullDiskReport(getpid()));
  std::stringstream Text;
  Text << In.rdbuf();
  In.close();
  std::filesystem::remove(FullDiskReport(getpid()));
  if (FullDiskChildCode == ChildSkips) GTEST_SKIP() << Text.str();
  EXPECT_EQ(FullDiskChildCode, 0) << Text.str();
  printf("%s", Text.str().c_str());
}

namespace {

// Picks an entry of a box by its text, as the user does.
void Pick(TOptionComboBox* Box, const std::string& Text)
{
  for (int I = 0; I < Box->GetItems()->GetCount(); ++I)
    if (Box->GetItems()->Get(I) == Text) {
      Box->SetItemIndex(I);
      return;
    }
  ADD_FAILURE() << "no entry \"" << Text << "\"";
}

TEST_F(TEndToEndRealTools, DevicesChosenInTheDevicePanelAreConverted)
{
  const std::string Clip = MakeClip("Panel Clip.avi");
  // The tables as the main window's creation fills them, then its first profile copy.
  Form->codecgrid->SetRowCount(1);
  for (int C = 0; C < 4; ++C) Form->codecgrid->SetCells(C, 0, "");
  DeviceQueueHost() = TDeviceQueueHost();
  DeviceQueueHost().AskYes = [](const String&) { return true; };
  Form->xcedit2->SetCaption(OutFolder);
  LoadCodecTable();
  Form->modelChange(Form);

  // Two devices chosen in the panel: an xvid player, then a divx player at 15 frames a second.
  Pick(Form->brand, "Archos");
  Pick(Form->model, "A605 XVID");
  Form->SpeedButton5Click(Form);  // "Add device": a copy becomes the current row
  Pick(Form->brand, "Cowon");
  Pick(Form->model, "D2");
  Form->frps->SetPosition(15);
  ASSERT_EQ(Form->dq->GetRowCount(), 3);
  EXPECT_EQ(Form->dq->GetCells(DevicePresetCol, 1), "xvid_mp3");
  EXPECT_EQ(Form->dq->GetCells(DevicePresetCol, 2), "divx5_mp3");

  AddPendingInput(Clip);
  ScanTimerTimer();
  ASSERT_EQ(Form->StringGrid1->GetRowCount(), 2) << "one source row";
  GoClick();
  ASSERT_EQ(JobRows(), 2);
  const std::string Rates[] = {"25/1", "15/1"};
  for (int R = 1; R <= 2; ++R) {
    SCOPED_TRACE(Job(jcDeviceTitle, R));
    const std::string File = Job(jcOutFolder, R) + Job(jcFileName, R);
    EXPECT_EQ(Job(jcStatus, R).substr(0, 9), "Finished ") << JobFailureReason(R) << Form->log->GetText();
    ASSERT_TRUE(std::filesystem::exists(File));
    EXPECT_EQ(File.rfind(OutFolder, 0), 0u) << "the panel's output folder";
    std::string Size = Job(jcOutputSize, R);
    Size.replace(Size.find(" x "), 3, "x");
    EXPECT_EQ(Probe(File, "-select_streams v:0 -show_entries stream=width,height -of csv=s=x:p=0"), Size);
    EXPECT_EQ(Probe(File, "-select_streams v:0 -show_entries stream=r_frame_rate -of csv=p=0"), Rates[R - 1]);
    const qvtest::TPictureCount Pictures = qvtest::CountPictures(File);
    EXPECT_GT(Pictures.Decoded, 30);
    EXPECT_EQ(Pictures.Distinct, Pictures.Decoded) << "a picture repeated";
  }
}

}  // namespace
