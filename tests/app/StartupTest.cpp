// The program's start-up and shut-down in process: the windows made as the program makes them, in
// a temporary home, headless. What start-up makes and wires, what it does with files it cannot
// read, how the option lines of the settings file reach what the core reads, and the shut-down,
// state and restart commands.
#include <gtest/gtest.h>
#include <stdlib.h>

#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "app/AboutBox.h"
#include "app/HistoryWindow.h"
#include "app/MainWindow.h"
#include "app/ProgramMain.h"
#include "core/GridFiles.h"
#include "core/RunControl.h"
#include "core/qv_detect.h"
#include "core/qv_joblist.h"
#include "core/qv_scan.h"
#include "core/qv_settings.h"
#include "platform/os/Shell.h"
#include "platform/vcl/Dialogs.h"
#include "tests/core/RunnerTestSupport.h"
#include "tests/app/ProgramHomeTest.h"

namespace {

class TStartup : public TProgramHomeTest {
protected:
  void SetUp() override
  {
    TProgramHomeTest::SetUp();
    runnertest::EnsureHeadlessDisplay();
    Work = Home + ".local/share/Quelvo3/";
  }
  void Put(const std::string& Name, const std::string& Bytes)
  {
    std::filesystem::create_directories(std::filesystem::path(Work + Name).parent_path());
    WriteBytes(Work + Name, Bytes);
  }
  std::string Notes()
  {
    std::string All;
    for (const String& N : W()->StartNotes()) All += N + "\n";
    return All + W()->status->GetCaption();
  }

  std::string Work;
};

TEST_F(TStartup, FirstStartMakesTheWorkFolderAndLeavesTheCommandLineToTheScanTimer)
{
  ASSERT_TRUE(Start({"", "   ", " /media/a b.avi ", "/media/film.mkv"})) << Failure;
  for (const char* Sub : {"", "codecs", "mplayer", "profiles", "temp"})
    EXPECT_TRUE(std::filesystem::is_directory(Work + Sub)) << Sub;
  EXPECT_EQ(WorkFolder, Work);
  EXPECT_EQ(W()->XcCreateProcess1->GetCurrentDirectory(), Work);
  // Blank arguments are no inputs; the others are kept untrimmed.
  std::vector<std::string> Pending;
  for (int I = 0; I < W()->ListBox1->GetItems()->GetCount(); ++I) Pending.push_back(W()->ListBox1->GetItems()->Get(I));
  EXPECT_EQ(Pending, (std::vector<std::string>{" /media/a b.avi ", "/media/film.mkv"}));
  EXPECT_EQ(W()->status->GetCaption(), "2 items added");
  // The history window's creation is what starts the scan timer.
  EXPECT_TRUE(W()->ScanTimer->GetEnabled());
  EXPECT_EQ(W()->GetCaption(), "Brannick | Quelvo 3");
  EXPECT_FALSE(W()->b4->GetVisible()) << "no saved job list";
  EXPECT_EQ(OpenDialogFilter.substr(0, 30), "Supported Files|*.avi;*.mpg;*.");
  EXPECT_NE(OpenDialogFilter.find("|ISO Files|*.bin;*.iso;*.img;|All Files|*.*"), String::npos);
  EXPECT_TRUE(UiSync);
  EXPECT_FALSE(BatchRunning);
  // Every host is the program's own.
  EXPECT_EQ(DetectionHost().Runner, W()->XcCreateProcess1);
  EXPECT_NE(DetectionHost().Watchdog, nullptr);
  EXPECT_TRUE(RunHooks.IdentifyLine && RunHooks.AddToHistory && RunHooks.EndApplication && RunHooks.ScanTimerTick);
  EXPECT_TRUE(ScanHost().Go && ScanHost().DestinationFolder && ScanHost().ScanPanels);
  EXPECT_EQ(ScanHost().DestinationFolder(), W()->xcedit2->GetCaption());
}

TEST_F(TStartup, AWorkFolderThatCannotBeMadeEndsTheStartWithAReason)
{
  std::filesystem::create_directories(Dir + "home/.local/share");
  WriteBytes(Work.substr(0, Work.size() - 1), "a file where the work folder should be");
  EXPECT_FALSE(Start());
  EXPECT_NE(Failure.find("could not be made"), String::npos) << Failure;
  EXPECT_EQ(ProgramMainWindow(), nullptr);
}

TEST_F(TStartup, MissingToolsAreNamedAtStart)
{
  std::filesystem::create_directories(Dir + "emptybin");
  setenv("PATH", (Dir + "emptybin").c_str(), 1);
  ASSERT_TRUE(Start()) << Failure;
  for (const char* Tool : {"mplayer is not installed", "mencoder is not installed", "ffmpeg is not installed"})
    EXPECT_NE(Notes().find(Tool), std::string::npos) << Notes();
}

// One good file of each kind; one of them damaged per case.
struct TDamageCase {
  const char* Name;
  const char* File;
  const char* Kept;  // where the damaged bytes are afterwards
};

class TDamagedFile : public TStartup, public testing::WithParamInterface<TDamageCase> {};

TEST_P(TDamagedFile, TheStartGoesOnSaysSoKeepsTheBytesAndLoadsTheRest)
{
  const TDamageCase& C = GetParam();
  const std::string Damaged = C.File == std::string("settings.txt") ? std::string("\x01\x02\xff\xfe\x00zz", 7)
                              : C.File == std::string("folders.db") ? std::string("/media/\r\n/mnt/cut sh")
                              : std::string(C.File).find(".state") != std::string::npos && std::string(C.File) != "laststate_devices.state"
                                  ? std::string(2000, '\0') + "\x01"  // a row of 2001 cells
                                  : std::string("21\r\nnot a number\r\n");
  std::vector<String> Row(2 * 21);
  Row[21] = "NMT XVID";
  std::vector<String> Cells(2 * 79);
  Cells[79] = "/media/film.avi";
  std::vector<String> History(2 * 60);
  History[60 + 3] = "film.avi";
  const std::vector<std::pair<std::string, std::string>> Good = {
      {"settings.txt", "DoIgnore\r\nLoadstate\r\n"},
      {"laststatus.state", GridStreamBytes(79, 2, Cells)},
      {"laststate_queue.state", GridStreamBytes(79, 2, Cells)},
      {"laststate_devices.state", GridTextBytes(21, 2, Row)},
      {"filelist.db", GridTextBytes(60, 2, History)},
      {"folders.db", "/media/\r\n/mnt/films/\r\n"}};
  for (const auto& [Name, Bytes] : Good) Put(Name, Name == C.File ? Damaged : Bytes);

  ASSERT_TRUE(Start()) << Failure;
  EXPECT_NE(Notes().find(C.File), std::string::npos) << Notes();
  EXPECT_EQ(ReadBytes(Work + C.Kept), Damaged);
  // Everything else came in.
  auto Loaded = [&](const std::string& Name) { return Name != C.File; };
  if (Loaded("settings.txt")) {
    EXPECT_TRUE(W()->checkbox13->GetChecked());
  }
  if (Loaded("laststatus.state")) {
    EXPECT_EQ(W()->convertgrid->GetCells(0, 1), "/media/film.avi");
  }
  if (Loaded("laststate_queue.state") && Loaded("settings.txt")) {
    EXPECT_EQ(W()->StringGrid1->GetCells(0, 1), "/media/film.avi");
  }
  if (Loaded("laststate_devices.state") && Loaded("settings.txt")) {
    EXPECT_EQ(W()->dq->GetCells(0, 1), "NMT XVID");
  }
  if (Loaded("filelist.db")) {
    EXPECT_EQ(ProgramHistoryWindow()->database->GetCells(3, 1), "film.avi");
  }
  // The remembered folders: all of them, or the whole lines of a damaged list.
  TStrings* Folders = ProgramHistoryWindow()->track->GetItems();
  ASSERT_EQ(Folders->GetCount(), Loaded("folders.db") ? 2 : 1);
  EXPECT_EQ(Folders->Get(0), "/media/");
}

INSTANTIATE_TEST_SUITE_P(Files, TDamagedFile,
                         testing::Values(TDamageCase{"Settings", "settings.txt", "settings.damaged.txt"},
                                         TDamageCase{"JobList", "laststatus.state", "laststatus.state.damaged"},
                                         TDamageCase{"SourceQueue", "laststate_queue.state", "laststate_queue.state.damaged"},
                                         TDamageCase{"DeviceQueue", "laststate_devices.state", "laststate_devices.state.damaged"},
                                         TDamageCase{"History", "filelist.db", "filelist.db.damaged"},
                                         TDamageCase{"Folders", "folders.db", "folders.db.damaged"}),
                         [](const auto& Info) { return std::string(Info.param.Name); });

// A line of settings.txt and what the core then reads, one or more per option page.
struct TOptionCase {
  const char* Name;
  const char* Lines;
  std::function<bool()> Reads;
};

class TOptionLine : public TStartup, public testing::WithParamInterface<TOptionCase> {};

TEST_P(TOptionLine, ReachesWhatTheCoreReads)
{
  const TOptionCase& C = GetParam();
  ASSERT_TRUE(Start()) << Failure;
  EXPECT_FALSE(C.Reads()) << "before the line";
  DestroyProgramWindows();
  Put("settings.txt", C.Lines);
  ASSERT_TRUE(Start()) << Failure;
  EXPECT_TRUE(C.Reads()) << C.Lines;
}

const TOptionCase OptionCases[] = {
    // General
    {"NoScanOnStart", "NoScanOnStart\r\n", [] { return !ScanHost().ScanDiscsOnStartup; }},
    {"NoMonitorInsert", "NoMonitorInsert\r\n", [] { return !ScanHost().MonitorDiscs; }},
    {"DontEject", "DontEject\r\n", [] { return !ConversionOptions.EjectWhenDone; }},
    {"Explorer", "explorer\r\n", [] { return !ConversionOptions.OpenFolderWhenDone; }},
    {"SourceFolder", "Source=Destination\r\n", [] { return ConversionOptions.SourceFolderOutput; }},
    // Language
    {"ClosedCaption", "ClosedCaption\r\n", [] { return ClosedCaptionsEnabled; }},
    {"AudioLanguage", "DefaultAudio\r\nAudioLang1:10\r\n",
     [] { return DetectionHost().TrackPreferences.AudioByLanguage && DetectionHost().TrackPreferences.Audio1 != "EN (English)"; }},
    {"AlwaysSubs", "AlwaysSubs\r\n", [] { return DetectionHost().TrackPreferences.AlwaysSubtitles; }},
    // DVD
    {"Episodes", "Episode\r\n", [] { return DetectionHost().EpisodeRecognition; }},
    {"Dvdnav", "Dvdnav\r\n", [] { return ConversionOptions.NicerSubtitles; }},
    // Conversion
    {"Priority", "Prio:3\r\n", [] { return ConversionOptions.PriorityIndex == 3; }},
    {"NoCropping", "Crop1\r\n", [] { return ConversionOptions.NoCropping; }},
    {"BlackBars", "Crop4\r\n", [] { return ConversionOptions.BlackBars; }},
    {"ConvertOnly", "Test:\r\nTestValue:5\r\n",
     [] { return ConversionOptions.ConvertOnly && ConversionOptions.LimitMinutes == 5; }},
    // Automation
    {"FullAuto", "FullAuto\r\n",
     [] { return ScanHost().ConvertAutomatically && ConversionOptions.ConvertAutomatically; }},
    {"Remember", "DoRemember\r\n", [] { return ScanHost().RememberFolders; }},
    {"SkipConverted", "DoIgnore\r\n", [] { return ScanHost().SkipConverted; }},
    // Advanced
    {"SelfExit", "selfexit\r\n", [] { return ConversionOptions.SelfExit; }},
    {"AskScan", "AskScan\r\n", [] { return DetectionHost().AskTitles; }},
    {"AvchdRate", "avchdfps:3\r\n", [] { return DetectionHost().ForcedFrameRate == "24000/1001"; }},
    {"BeforeCommand", "beforecmd:/usr/bin/true\r\n", [] { return ConversionOptions.BeforeCommand == "/usr/bin/true"; }},
};

INSTANTIATE_TEST_SUITE_P(Pages, TOptionLine, testing::ValuesIn(OptionCases),
                         [](const auto& Info) { return std::string(Info.param.Name); });

TEST_F(TStartup, ChangingAnOptionControlReachesTheCoreAtOnceAndSkipUnticksConvertAutomatically)
{
  ASSERT_TRUE(Start()) << Failure;
  W()->checkbox2->SetChecked(true);
  EXPECT_TRUE(ScanHost().ConvertAutomatically);
  W()->vobmark->SetChecked(true);
  EXPECT_TRUE(DetectionHost().DvdAsVobs);
  W()->RadioButton5->SetChecked(true);
  EXPECT_TRUE(ConversionOptions.PerSelection);
  EXPECT_FALSE(ConversionOptions.PerDevice);
  SkipClick();
  EXPECT_FALSE(W()->checkbox2->GetChecked());
  EXPECT_FALSE(ScanHost().ConvertAutomatically);
  EXPECT_FALSE(ConversionOptions.ConvertAutomatically);
}

TEST_F(TStartup, FullAutoSwitchesTheMonitorTimerOn)
{
  ASSERT_TRUE(Start()) << Failure;
  W()->MonitorTimer->SetEnabled(false);
  Put("settings.txt", "FullAuto\r\n");
  LoadSettings();
  EXPECT_TRUE(W()->MonitorTimer->GetEnabled());
}

TEST_F(TStartup, SaveStateAndLoadStateKeepBothQueues)
{
  ASSERT_TRUE(Start()) << Failure;
  // An empty source queue leaves an older saved queue alone.
  Put("laststate_queue.state", "older");
  W()->dq->SetCells(0, 1, "My Player");
  W()->Savestate1Click(W());
  EXPECT_EQ(ReadBytes(Work + "laststate_queue.state"), "older");
  W()->StringGrid1->SetCells(0, 1, "/media/clip.avi");
  W()->Savestate1Click(W());
  W()->StringGrid1->SetCells(0, 1, "");
  W()->dq->SetCells(0, 1, "");
  W()->Loadstate1Click(W());
  EXPECT_EQ(W()->StringGrid1->GetCells(0, 1), "/media/clip.avi");
  EXPECT_EQ(W()->dq->GetCells(0, 1), "My Player");
  EXPECT_TRUE(W()->b1->GetVisible());
}

TEST_F(TStartup, ExitSavesTheSettingsTheListsAndTheJobListWhenAsked)
{
  ASSERT_TRUE(Start()) << Failure;
  W()->checkbox13->SetChecked(true);
  W()->savestatus->SetChecked(true);
  W()->convertgrid->SetCells(0, 1, "/media/clip.avi");
  W()->ExitApp();
  EXPECT_NE(ReadBytes(Work + "settings.txt").find("DoIgnore\r\n"), std::string::npos);
  EXPECT_NE(ReadBytes(Work + "settings.txt").find("Savestatus\r\n"), std::string::npos);
  EXPECT_EQ(ReadBytes(Work + "supported_iso.txt"), "bin\r\niso\r\nimg\r\n");
  EXPECT_TRUE(std::filesystem::exists(Work + "laststatus.state"));
  EXPECT_TRUE(std::filesystem::exists(Work + "filelist.db"));
  // The saved job list survives the next start's settings load and comes back.
  DestroyProgramWindows();
  ASSERT_TRUE(Start()) << Failure;
  EXPECT_EQ(W()->convertgrid->GetCells(0, 1), "/media/clip.avi");
  EXPECT_TRUE(W()->b4->GetVisible());
}

TEST_F(TStartup, ResetToDefaultsAsksThenDeletesTheSettingsAndRestartsWithoutSaving)
{
  Put("settings.txt", "DoIgnore\r\n");
  Put("profiles/lastprofile.prf", GridTextBytes(21, 2, std::vector<String>(42)));
  ASSERT_TRUE(Start()) << Failure;
  Answer = mrNo;
  W()->skSkinSpeedButton11Click(W());
  EXPECT_TRUE(Restarted.empty());
  EXPECT_TRUE(std::filesystem::exists(Work + "settings.txt"));
  Answer = mrYes;
  W()->skSkinSpeedButton11Click(W());
  ASSERT_EQ(Asked.size(), 2u);
  EXPECT_EQ(Asked[0], "Are you sure you want to reset Quelvo to default settings?");
  EXPECT_EQ(Restarted.size(), 1u);
  EXPECT_FALSE(std::filesystem::exists(Work + "settings.txt"));
  EXPECT_FALSE(std::filesystem::exists(Work + "profiles/lastprofile.prf"));
  SaveSettings();  // whatever runs on the way out writes nothing back
  EXPECT_FALSE(std::filesystem::exists(Work + "settings.txt"));
}

TEST_F(TStartup, StartOverAsksThenRestartsOurOwnExecutable)
{
  ASSERT_TRUE(Start()) << Failure;
  Answer = mrYes;
  W()->skSkinSpeedButton14Click(W());
  ASSERT_EQ(Asked.size(), 1u);
  EXPECT_EQ(Asked[0], "Are you sure you want to start over?");
  ASSERT_EQ(Restarted.size(), 1u);
  EXPECT_EQ(Restarted[0], Application->GetExeName());
}

}  // namespace

namespace {

TEST_F(TStartup, TheHistoryWindowsButtonsClearAndDelete)
{
  std::vector<String> History(2 * 60);
  History[60 + 3] = "film.avi";
  Put("filelist.db", GridTextBytes(60, 2, History));
  Put("folders.db", "/media/a\r\n/media/b\r\n");
  ASSERT_TRUE(Start()) << Failure;
  THistoryWindow* H = ProgramHistoryWindow();
  EXPECT_EQ(H->GetCaption(), "Conversion History");
  ASSERT_EQ(H->track->GetItems()->GetCount(), 2);
  H->XcSpeedButton3->OnClick(H->XcSpeedButton3);  // none selected: the first goes
  ASSERT_EQ(H->track->GetItems()->GetCount(), 1);
  EXPECT_EQ(H->track->GetItems()->Get(0), "/media/b");
  H->button1->OnClick(H->button1);
  EXPECT_EQ(H->database->GetCells(3, 1), "");
  EXPECT_EQ(H->database->GetRowCount(), 2);
  H->Button2->OnClick(H->Button2);
  EXPECT_EQ(H->track->GetItems()->GetCount(), 0);
  EXPECT_EQ(ReadBytes(Work + "folders.db"), "");
}

}  // namespace

namespace {

TEST_F(TStartup, TheAboutBoxShowsItsPictureUnderTheBuildAndOpensTheSiteOnAClick)
{
  ShowAboutBox();  // before start-up: nothing to show, no crash
  ASSERT_TRUE(Start()) << Failure;
  Tabout* About = ProgramAboutBox();
  ASSERT_NE(About, nullptr);
  EXPECT_EQ(About->GetCaption(), "Quelvo 3 Build 3.83.1");
  TskPngStorageImageItem* Picture = About->skPngImageStorage1->GetPngImages()->GetItem(0);
  EXPECT_EQ(Picture->GetName(), "PngImage0");
  EXPECT_EQ(Picture->GetPngImage()->GetWidth(), 640);
  EXPECT_EQ(Picture->GetPngImage()->GetHeight(), 194);
  // The box is as big as its picture, and waits hidden until asked for.
  EXPECT_EQ(About->GetClientWidth(), 640);
  EXPECT_EQ(About->GetClientHeight(), 194);
  EXPECT_FALSE(About->GetVisible());
  ShowAboutBox();
  EXPECT_TRUE(About->GetVisible()) << "shown without waiting for it to close";
  // Its picture is drawn: a pixel of the play mark and one of the background differ.
  Application->ProcessMessages();
  EXPECT_NE(Picture->GetPngImage()->GetPixel(90, 97), Picture->GetPngImage()->GetPixel(5, 5));

  // An opener that writes its arguments, one a line.
  const std::string Opened = Dir + "opened";
  WriteBytes(Dir + "opener", "#!/bin/sh\nfor a in \"$@\"; do printf '%s\\n' \"$a\"; done > '" + Opened + ".tmp' && mv '" +
                                 Opened + ".tmp' '" + Opened + "'\n");
  std::filesystem::permissions(Dir + "opener", std::filesystem::perms::owner_all);
  SetShellOpener(Dir + "opener");
  About->skPngImageView2->OnClick(About->skPngImageView2);
  for (int I = 0; I < 500 && !std::filesystem::exists(Dir + "opened"); ++I) usleep(10000);
  SetShellOpener("xdg-open");
  EXPECT_EQ(ReadBytes(Dir + "opened"), std::string(MakerWebSite) + "\n");
  // Closing only hides it.
  About->Close();
  EXPECT_FALSE(About->GetVisible());
  EXPECT_EQ(ProgramAboutBox(), About);
}


}  // namespace
