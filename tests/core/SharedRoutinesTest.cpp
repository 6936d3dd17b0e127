// The shared routines: number and time texts, the player position, the folder lookups from the
// special-folder lists, the file tests and searches, the skip list and the grid operations.
#include <gtest/gtest.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <cmath>
#include <fstream>

#include "MainFormTestSupport.h"
#include "core/qv_functions.h"
#include "platform/rtl/Convert.h"
#include "platform/rtl/Paths.h"
#include "platform/vcl/TrackBarCtrl.h"

extern char** environ;

using mainformtest::TMainFormTest;

namespace {

struct TFloatCase {
  const char* Text;
  double Expected;
};

TEST(SharedNumbers, StrToFloatSafeIsTolerantAndNeverRaises)
{
  const TFloatCase Cases[] = {
      {"", 0},           {"25", 25},           {"23.976", 23.976}, {"1,5", 1.5},    {"0,5", 0.5},
      {"1,234,5", 0},    {"abc", 0},           {"12345678.901", 0},  // 12 characters
      {"1234567.901", 1234567.901},            {" 2.5 ", 2.5},     {"-3", -3},      {"Duration: N/A", 0},
      {"\xff\xfe", 0},   {"1e400", 0},         {"nan", 0},
  };
  for (const auto& C : Cases) EXPECT_DOUBLE_EQ(StrToFloatSafe(C.Text), C.Expected) << C.Text;
}

TEST(SharedNumbers, StrToFloatSafeSetsThePointOnlyForNonEmptyText)
{
  DecimalSeparator = ',';
  EXPECT_EQ(StrToFloatSafe(""), 0);
  EXPECT_EQ(DecimalSeparator, ',');
  EXPECT_EQ(StrToFloatSafe("0,5"), 0.5);
  EXPECT_EQ(DecimalSeparator, '.');
}

TEST(SharedNumbers, TimeSizeAndPaddingTexts)
{
  struct {
    double Seconds;
    const char* Expected;
  } Hms[] = {{3725.4, "1:02:05"}, {59.5, "0:01:00"}, {58.5, "0:00:58"}, {90000, "25:00:00"},
             {0, "0:00:00"},      {1e30, "2562047788015215:30:07"}, {std::nan(""), "0:00:00"}};
  for (const auto& C : Hms) EXPECT_EQ(SecondsToHMS(C.Seconds), C.Expected) << C.Seconds;

  struct {
    int Value, Digits;
    const char* Expected;
  } Pads[] = {{7, 5, "00007"}, {123456, 3, "123456"}, {0, 1, "0"}, {-7, 3, "-007"}, {5, 0, "5"}};
  for (const auto& C : Pads) EXPECT_EQ(ZeroPad(C.Value, C.Digits), C.Expected);

  struct {
    int Video, Audio, Seconds;
    const char* Expected;
  } Sizes[] = {{1000, 128, 60, "8.46 MB"},
               {0, 0, 0, "0.00 MB"},
               // More than 2^31 kbit: no wrap to a negative size.
               {20000, 448, 360000, "920160.00 MB"}};
  for (const auto& C : Sizes) EXPECT_EQ(EstimateSizeMB(C.Video, C.Audio, C.Seconds), C.Expected);
}

TEST(SharedNumbers, HmsToSecondsDropsTheFractionAndAnswersEmptyForNoTime)
{
  const struct {
    const char* Text;
    const char* Expected;
  } Cases[] = {
      {" 01:23:45.67", "5025"}, {"01:23:45.67", "5025"}, {"00:00:09.99", "9"}, {"00:00:09,5", "9"},
      {"100:00:00.0", "360000"},
      // Not a time: no value, never an exception.
      {"Duration: N/A", ""}, {"01:23:45", ""}, {"12.5", ""}, {"", ""}, {"aa:bb:cc.d", ""},
      {"99999999999:00:00.0", ""},
  };
  for (const auto& C : Cases) EXPECT_EQ(HmsToSeconds(C.Text), C.Expected) << C.Text;
}

class SharedPlayback : public TMainFormTest {};

TEST_F(SharedPlayback, PositionIsTheLargerOfAudioAndVideoAndMovesTheSeekBar)
{
  TTrackBar Bar(nullptr);
  Bar.SetMax(100000);
  PreviewSeekBar = &Bar;
  const struct {
    const char* Line;
    int Expected;
  } Cases[] = {
      {"A:  12.3 V:  13.7 A-V: -1.400 ct:  0.000   0/  0  0%  0%  0.0% 0 0", 14},
      {"A:  95.2 (01:35.2) of 200.0 (03:20.0)  0.5% ", 95},
      {"V:  42.4   0/  0  0%  0%  0.0% 0 0", 42},
      {"no position here", 0},
      {"", 0},
  };
  for (const auto& C : Cases) {
    Bar.SetPosition(7);
    EXPECT_EQ(ParsePlaybackPosition(C.Line), C.Expected) << C.Line;
    EXPECT_EQ(Bar.GetPosition(), C.Expected) << C.Line;
  }
  SeekDragging = true;
  Bar.SetPosition(7);
  EXPECT_EQ(ParsePlaybackPosition("A:  12.3 V:  13.7 A-V: 0"), 14);
  EXPECT_EQ(Bar.GetPosition(), 7);  // the user holds the bar
  PreviewSeekBar = nullptr;
}

class SharedFolders : public TMainFormTest {};

TEST_F(SharedFolders, SpecialFolderLookupsPreferTheIdentifierRow)
{
  TStrings* P = Form->shlfld1->GetItems();
  TStrings* N = Form->shlfld2->GetItems();
  TStrings* I = Form->shlfld3->GetItems();
  auto Row = [&](const char* Path, const char* Name, const char* Id) {
    P->Add(Path);
    N->Add(Name);
    I->Add(Id);
  };
  EXPECT_EQ(MyDocumentsFolder(), "");
  Row("/p/printers", "Printers", "CSIDL_PRINTERS");
  EXPECT_EQ(MyDocumentsFolder(), "/p/printers");  // the fallback
  EXPECT_EQ(MyVideosFolder(), "/p/printers");
  Row("/p/mydocs", "My Documents", "CSIDL_MYDOCUMENTS");
  Row("/p/personal", "Documents", "CSIDL_PERSONAL");
  Row("/p/videos", "Videos", "CSIDL_MYVIDEO");
  EXPECT_EQ(MyDocumentsFolder(), "/p/personal");
  EXPECT_EQ(MyVideosFolder(), "/p/videos");
}

TEST_F(SharedFolders, FindFilesRecursiveListsAFoldersOwnMatchesFirst)
{
  namespace fs = std::filesystem;
  fs::create_directories(Dir + "disc/VIDEO_TS/sub");
  fs::create_directories(Dir + "disc/AUDIO_TS");
  for (const char* F : {"disc/b.IFO", "disc/a.ifo", "disc/c.vob", "disc/VIDEO_TS/VTS_01_0.IFO",
                        "disc/VIDEO_TS/sub/x.ifo", "disc/AUDIO_TS/y.ifo"})
    WriteBytes(Dir + F, "x");
  fs::create_directory_symlink(Dir + "disc", Dir + "disc/VIDEO_TS/loop");  // a loop ends
  TStringList List;
  List.Add("stale");
  FindFilesRecursive(Dir + "disc", "*.ifo", &List);
  std::vector<std::string> Got;
  for (int I = 0; I < List.GetCount(); ++I) Got.push_back(List.Get(I).substr(Dir.size()));
  EXPECT_EQ(Got, (std::vector<std::string>{"disc/a.ifo", "disc/b.IFO", "disc/AUDIO_TS/y.ifo",
                                           "disc/VIDEO_TS/VTS_01_0.IFO", "disc/VIDEO_TS/sub/x.ifo"}));
  FindFilesRecursive("", "*.ifo", &List);
  EXPECT_EQ(List.GetCount(), 0);
  FindFilesRecursive(Dir + "missing", "*.ifo", &List);
  EXPECT_EQ(List.GetCount(), 0);
}

// Starts "sh -c Script" and returns its id; the caller waits for it.
pid_t Spawn(const std::string& Script)
{
  pid_t Pid = 0;
  std::string A0 = "sh", A1 = "-c", A2 = Script;
  char* Argv[] = {A0.data(), A1.data(), A2.data(), nullptr};
  EXPECT_EQ(posix_spawn(&Pid, "/bin/sh", nullptr, nullptr, Argv, environ), 0);
  return Pid;
}

TEST_F(SharedFolders, FileInUseWhenAnotherProcessWritesIt)
{
  const std::string File = Dir + "growing.mpg";
  WriteBytes(File, "data");
  EXPECT_FALSE(FileInUse(Dir + "missing.mpg"));
  EXPECT_FALSE(FileInUse(File));
  // A reader alone does not hold the file.
  pid_t Reader = Spawn("exec 3<'" + File + "'; touch '" + Dir + "r.ready'; exec sleep 5");
  while (!std::filesystem::exists(Dir + "r.ready")) usleep(1000);
  EXPECT_FALSE(FileInUse(File));
  kill(Reader, SIGKILL);
  waitpid(Reader, nullptr, 0);
  pid_t Writer = Spawn("exec 3>>'" + File + "'; touch '" + Dir + "w.ready'; exec sleep 5");
  while (!std::filesystem::exists(Dir + "w.ready")) usleep(1000);
  EXPECT_TRUE(FileInUse(File));
  kill(Writer, SIGKILL);
  waitpid(Writer, nullptr, 0);
  EXPECT_FALSE(FileInUse(File));
  // Our own process holding it open does not count.
  std::ofstream Own(File, std::ios::app);
  EXPECT_FALSE(FileInUse(File));
}

TEST_F(SharedFolders, FreeSpaceLabelNamesTheDrive)
{
  String Text = "unchanged";
  EXPECT_FALSE(DriveFreeSpaceText("relative/path", Text));
  EXPECT_EQ(Text, "unchanged");
  ASSERT_TRUE(DriveFreeSpaceText(Dir, Text));
  EXPECT_TRUE(Text.rfind("Drive ", 0) == 0 && Text.find(": ") == 7 &&
              Text.size() > 21 && Text.substr(Text.size() - 13) == " MB Available")
      << Text;
  // Whole MiB with thousands separators.
  const std::string Number = Text.substr(9, Text.size() - 22);
  for (char C : Number) EXPECT_TRUE((C >= '0' && C <= '9') || C == ',') << Text;
  ASSERT_TRUE(DriveFreeSpaceText("Y:\\films", Text));
  EXPECT_EQ(Text, "Y Drive not present");
  String Shown;
  SetFreeSpacePanelProc([&](const String& T) { Shown = T; });
  ShowDriveFreeSpace("Y:\\");
  EXPECT_EQ(Shown, "Y Drive not present");
  SetFreeSpacePanelProc(nullptr);
  EXPECT_FALSE(DriveReady('Y'));
  EXPECT_TRUE(DriveReady('c'));
}

TEST_F(SharedFolders, MencoderConfIsWrittenWithCrLfAndReplaced)
{
  WorkFolder = Dir;
  std::filesystem::create_directories(Dir + "mplayer");
  WriteBytes(Dir + "mplayer/mencoder.conf", "old contents that are longer\r\n");
  Form->mencoder_conf->GetItems()->Add("vf=scale");
  Form->mencoder_conf->GetItems()->Add("");
  Form->mencoder_conf->GetItems()->Add("af=volnorm");
  WriteMencoderConf();
  EXPECT_EQ(ReadBytes(Dir + "mplayer/mencoder.conf"), "vf=scale\r\n\r\naf=volnorm\r\n");
}

TEST_F(SharedFolders, AppDataFolderEndsInASeparator)
{
  // A fresh account has no data folder yet: it is made, not passed over for the program's folder.
  EXPECT_EQ(AppDataFolder(), Dir + "home/.local/share/");
  EXPECT_TRUE(std::filesystem::is_directory(Dir + "home/.local/share"));
  // Only a data folder that cannot be made leaves the program's own folder.
  std::filesystem::remove_all(Dir + "home/.local");
  std::ofstream(Dir + "home/.local") << "a file in the way";
  EXPECT_EQ(AppDataFolder(), ExtractFilePath(Application->GetExeName()));
}

class SharedLists : public TMainFormTest {};

TEST_F(SharedLists, SkipListTakesEachSourceOnce)
{
  TStrings* Skip = Form->skiplist->GetItems();
  AddToSkipList("/films/My_Film.avi");
  AddToSkipList("/films/My_Film.avi");
  EXPECT_EQ(Items(Skip), (std::vector<std::string>{"/films/My_Film.avi"}));
  // An entry equal to the path's clean title form counts as present.
  Skip->Add("My Film");
  AddToSkipList("my_film");
  // Comparisons are whole-text and case-sensitive.
  AddToSkipList("/films/my_film.avi");
  EXPECT_EQ(Items(Skip), (std::vector<std::string>{"/films/My_Film.avi", "My Film", "/films/my_film.avi"}));
}

TEST_F(SharedLists, SortGridIgnoresCaseAndKeepsTheHeader)
{
  TStringGrid* G = NewGrid(3, 5);
  const char* Keys[] = {"Title", "delta", "Alpha", "charlie", "bravo"};
  for (int R = 0; R < 5; ++R) {
    G->SetCells(0, R, Keys[R]);
    G->SetCells(2, R, std::string("row") + std::to_string(R));
  }
  SortGridByColumn(G, 0);
  EXPECT_EQ(Column(G, 0), (std::vector<std::string>{"Title", "Alpha", "bravo", "charlie", "delta"}));
  EXPECT_EQ(Column(G, 2), (std::vector<std::string>{"row0", "row2", "row4", "row3", "row1"}));
}

TEST_F(SharedLists, DeleteGridRowMovesTheRowsBelowUp)
{
  TStringGrid* G = NewGrid(2, 4);
  for (int R = 0; R < 4; ++R) G->SetCells(0, R, "r" + std::to_string(R));
  DeleteGridRow(G, 1);
  EXPECT_EQ(Column(G, 0), (std::vector<std::string>{"r0", "r2", "r3"}));
  DeleteGridRow(G, 2);  // the last row: the others stay
  EXPECT_EQ(Column(G, 0), (std::vector<std::string>{"r0", "r2"}));
  DeleteGridRow(G, 5);  // outside: nothing
  DeleteGridRow(G, -1);
  EXPECT_EQ(Column(G, 0), (std::vector<std::string>{"r0", "r2"}));
  // The dropped row does not come back when the grid grows again.
  G->SetRowCount(3);
  EXPECT_EQ(G->GetCells(0, 2), "");
}

}  // namespace
