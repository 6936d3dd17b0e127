// Real conversions with the installed mencoder and ffmpeg: clips and a DVD (dvdauthor) made at
// test time are converted through the driver and the work folder's tool links (two passes, split
// chapter parts, an ffmpeg preset through its intermediate file, the source's own folder, a title
// that must end with itself), and the outputs are checked with ffprobe and by their pictures.
// Skipped with a message when a tool is missing. Every preset on its own:
// PresetTableRealToolsTest.cpp.
#include <gtest/gtest.h>
#include <stdio.h>
#include <stdlib.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>

#include "JobListTestSupport.h"
#include "core/RunControl.h"
#include "core/qv_convert.h"
#include "platform/os/ToolLinks.h"
#include "platform/vcl/Dialogs.h"
#include "tests/support/DistinctPictures.h"

using namespace jobtest;

namespace {

using qvtest::CommandOutput;
using qvtest::ShellQuoted;

class TConversionRealToolsTest : public TJobTest {
protected:
  void SetUp() override
  {
    TJobTest::SetUp();
    if (const char* Missing = qvtest::FirstMissingProgram({"mencoder", "ffmpeg", "ffprobe"}))
      GTEST_SKIP() << Missing << " is not installed: no real conversion";
    std::filesystem::create_directories(WorkFolder + "temp");
    const char* Path = getenv("PATH");
    qv::os::ProvideToolLinks(WorkFolder, Path ? Path : "", QV_TOOL_ADAPTER);
    Clip = Dir + "media/My Clip.avi";
    std::filesystem::create_directories(Dir + "media");
    CommandOutput("ffmpeg -v error -y -f lavfi -i testsrc=size=320x240:rate=25 -f lavfi -i sine=frequency=440:sample_rate=44100 "
        "-t 5 -c:v mpeg4 -c:a mp3 -ac 2 " + ShellQuoted(Clip));
    ASSERT_TRUE(std::filesystem::exists(Clip));
    ConversionOptions = TConversionOptions();
    ConversionOptions.NoCropping = true;
    RunHooks = TRunHooks();
    InstallRunControl();
    BatchRunning = false;
  }
  void TearDown() override
  {
    RunHooks = TRunHooks();
    TJobTest::TearDown();
  }
  int AddClip()
  {
    return AddSource("My Clip", {{scLength, "5.00"}, {scWidth, "320"}, {scHeight, "240"}, {scDisplayWidth, "320"},
                                 {scDisplayHeight, "240"}, {scTrimEnd, "5.00"}, {scConvertSeconds, "5"},
                                 {scSourcePath, Clip}, {scInputArgs, "\"" + Clip + "\" "}});
  }
  double Duration(const std::string& File)
  {
    return atof(CommandOutput("ffprobe -v error -show_entries format=duration -of csv=p=0 " + ShellQuoted(File)).c_str());
  }
  // A DVD folder of one PAL title of Seconds seconds with chapters at every Chapter seconds,
  // made by ffmpeg and dvdauthor; "" (with the reason logged) when dvdauthor is missing.
  std::string MakeDvd(int Seconds, int Chapter)
  {
    if (qvtest::ProgramOnPath("dvdauthor").empty()) return "";
    const std::string Disc = Dir + "disc", Mpeg = Dir + "title.mpg";
    CommandOutput("ffmpeg -v error -y -f lavfi -i testsrc=size=720x576:rate=25 -f lavfi -i sine=frequency=440:sample_rate=48000 "
                "-t " + std::to_string(Seconds) + " -target pal-dvd " + ShellQuoted(Mpeg));
    std::string Marks = "0";
    for (int At = Chapter; At < Seconds; At += Chapter) Marks += "," + std::to_string(At);
    CommandOutput("VIDEO_FORMAT=PAL dvdauthor -o " + ShellQuoted(Disc) + " -t -c " + Marks + " " + ShellQuoted(Mpeg) + " 2>&1");
    CommandOutput("VIDEO_FORMAT=PAL dvdauthor -o " + ShellQuoted(Disc) + " -T 2>&1");
    return std::filesystem::exists(Disc + "/VIDEO_TS/VTS_01_1.VOB") ? Disc : "";
  }
  // Title 1 of Disc as the title scan queues it.
  int AddDvdTitle(const std::string& Disc, const std::string& Seconds, std::map<int, std::string> Extra = {})
  {
    std::map<int, std::string> Cells = {
        {scType, "DVD"}, {scLength, Seconds}, {scTrimEnd, Seconds}, {scConvertSeconds, Seconds}, {scWidth, "720"},
        {scHeight, "576"}, {scDisplayWidth, "768"}, {scDisplayHeight, "576"}, {scAudioCodec, "a52"},
        {scSourcePath, Disc}, {scInputArgs, "-dvd-device \"" + Disc + "\" dvdnav://1 "}};
    for (const auto& [C, T] : Extra) Cells[C] = T;
    return AddSource("Film", Cells);
  }
  std::string FrameSize(const std::string& File)
  {
    std::string S = CommandOutput("ffprobe -v error -select_streams v:0 -show_entries stream=width,height -of csv=s=x:p=0 " + ShellQuoted(File));
    while (!S.empty() && (S.back() == '\n' || S.back() == '\r')) S.pop_back();
    return S;
  }
  std::string Clip;
};

}  // namespace

// Two passes and an ffmpeg preset, both split in chapter parts of a DVD title: every part is a
// playable file of its chapters' length and size, and the ffmpeg job's speed comes from
// ffmpeg's own progress lines.
TEST_F(TConversionRealToolsTest, TwoPassSplitPartsAndAnFfmpegPresetGivePlayableFiles)
{
  const std::string Disc = MakeDvd(9, 3);
  if (Disc.empty()) GTEST_SKIP() << "dvdauthor is not installed: no DVD to convert";
  // "realtime" keeps the encoder busy for the length of the part, so its progress lines are read.
  AddPreset("ff_mpeg4_mp2", "ffmpeg", "-y -vf realtime -vcodec mpeg4 -b:v $vbrk -acodec mp2 -ab $abrk -ac $ac", "avi");
  TDevice A, B;
  A.Name = "Xvid Player";
  A.Preset = "xvid_mp3";
  A.Passes = "2";
  A.Screen = "320x240";
  B.Name = "Mpeg4 Phone";
  B.Preset = "ff_mpeg4_mp2";
  B.Screen = "176x144";
  AddDevice(A);
  AddDevice(B);
  AddDvdTitle(Disc, "9.000", {{scChapters, "3"}, {scSplitParts, "Yes"}, {scChaptersPerPart, "2"}});
  RunHooks.AddToHistory = [](int) {};
  GoClick();
  ASSERT_EQ(JobRows(), 3);  // two passes, then the ffmpeg job
  EXPECT_EQ(Job(jcNumber, 1), "Pass1");
  EXPECT_EQ(Job(jcNumber, 2), "Pass2");
  struct {
    int Row;
    std::vector<std::string> Parts;
    bool Speed;  // the job ran long enough for the watchdog to read its progress
  } Expected[] = {{2, {"Film01.avi", "Film02.avi"}, false}, {3, {"Film1.avi", "Film2.avi"}, true}};
  const double Lengths[] = {6.0, 3.0};  // chapters 1-2 and 3
  for (const auto& E : Expected) {
    SCOPED_TRACE(Job(jcDeviceTitle, E.Row));
    const std::string State = Job(jcState, E.Row);
    EXPECT_EQ(State.substr(0, 10), "Finished (") << JobFailureReason(E.Row) << Form->log->GetText();
    if (E.Speed) {
      EXPECT_NE(State, "Finished ()") << "the tool's progress gave a speed";
    }
    std::string Size = Job(jcOutputSize, E.Row);
    Size.replace(Size.find(" x "), 3, "x");
    std::ifstream Playlist(Job(jcOutFolder, E.Row) + "playlist.m3u");
    std::string Listed((std::istreambuf_iterator<char>(Playlist)), std::istreambuf_iterator<char>());
    for (size_t K = 0; K < E.Parts.size(); ++K) {
      const std::string File = Job(jcOutFolder, E.Row) + E.Parts[K];
      ASSERT_TRUE(std::filesystem::exists(File)) << File;
      // A chapter range ends on a picture group of the disc (0.6 s here) and the encoder may
      // drop the last ones; a part holding the whole title or another part's range is far off.
      EXPECT_NEAR(Duration(File), Lengths[K], 1.5) << File;
      EXPECT_EQ(FrameSize(File), Size) << File;
      const qvtest::TPictureCount Pictures = qvtest::CountPictures(File);
      EXPECT_GT(Pictures.Decoded, 10 * Lengths[K]) << File;
      EXPECT_EQ(Pictures.Distinct, Pictures.Decoded) << File << ": a picture repeated";
      EXPECT_NE(Listed.find(File + "\r\n"), std::string::npos) << Listed;
    }
  }
  EXPECT_EQ(Form->StringGrid1->GetCells(scConvert, 1), "Done");
  EXPECT_FALSE(Converting);
}

// The "dvdnav://" form reads on past its title; the output ends with the title.
TEST_F(TConversionRealToolsTest, DvdTitleOutputEndsWithItsTitle)
{
  const std::string Disc = MakeDvd(4, 2);
  if (Disc.empty()) GTEST_SKIP() << "dvdauthor is not installed: no DVD to convert";
  TDevice D;
  D.Screen = "320x240";
  AddDevice(D);
  AddDvdTitle(Disc, "4.000");
  RunHooks.AddToHistory = [](int) {};
  GoClick();
  const std::string File = Job(jcOutFolder, 1) + Job(jcFileName, 1);
  EXPECT_EQ(Job(jcStatus, 1).substr(0, 9), "Finished ") << JobFailureReason(1) << Form->log->GetText();
  ASSERT_TRUE(std::filesystem::exists(File));
  EXPECT_NEAR(Duration(File), 4.0, 0.5);
}

// "(VIDEO) Use source folder as output folder" with a source whose name and extension are the
// preset's: the source stays as it was and the output takes the next free name beside it.
TEST_F(TConversionRealToolsTest, SourceFolderOutputKeepsTheSource)
{
  const auto Before = std::filesystem::file_size(Clip);
  ConversionOptions.SourceFolderOutput = true;
  TDevice D;
  D.Preset = "xvid_mp3";
  D.Screen = "320x240";
  AddDevice(D);
  AddClip();
  RunHooks.AddToHistory = [](int) {};
  GoClick();
  EXPECT_EQ(std::filesystem::file_size(Clip), Before);
  EXPECT_NEAR(Duration(Clip), 5.0, 0.5);
  const std::string File = Dir + "media/My Clip(1).avi";
  EXPECT_EQ(Job(jcOutFolder, 1) + Job(jcFileName, 1), File);
  EXPECT_EQ(Job(jcStatus, 1).substr(0, 9), "Finished ") << JobFailureReason(1) << Form->log->GetText();
  ASSERT_TRUE(std::filesystem::exists(File));
  EXPECT_NEAR(Duration(File), 5.0, 1.0);
  EXPECT_EQ(FrameSize(File), "320x240");
}

TEST_F(TConversionRealToolsTest, UnwritableOutputFolderFailsWithTheToolsReason)
{
  TDevice D;
  D.Folder = Dir + "blocked/";
  std::ofstream(Dir + "blocked") << "a file, not a folder";
  SetDialogHandler([](TDialogRequest&) { return 1; });
  AddDevice(D);
  AddClip();
  GoClick();
  SetDialogHandler(nullptr);
  EXPECT_EQ(Job(jcStatus, 1), "Failed");
  EXPECT_FALSE(JobFailureReason(1).empty());
  EXPECT_EQ(Form->StringGrid1->GetCells(scConvert, 1), "No");
  EXPECT_FALSE(Converting);
  EXPECT_FALSE(GoBusy);
}

// A device's video rate that carries ffmpeg options of its own (as a saved profile can) must not
// reach ffmpeg: the file it names stays as it was and the job fails naming the cell.
TEST_F(TConversionRealToolsTest, DeviceCellWithOptionsNeverReachesFfmpeg)
{
  const std::string Victim = Dir + "victim.txt";
  std::ofstream(Victim) << "kept";
  AddPreset("ff_mpeg4_mp2", "ffmpeg", "-y -vcodec mpeg4 -b:v $vbrk -acodec mp2 -ab $abrk -ac $ac", "avi");
  TDevice D;
  D.Preset = "ff_mpeg4_mp2";
  D.Screen = "320x240";
  AddDevice(D);
  D.Name = "Second Player";
  D.VideoRate = "800k -f mp4 -y " + Victim + " -b:v 800";
  AddDevice(D);
  AddClip();
  RunHooks.AddToHistory = [](int) {};
  GoClick();
  std::ifstream In(Victim);
  EXPECT_EQ(std::string(std::istreambuf_iterator<char>(In), {}), "kept");
  ASSERT_EQ(JobRows(), 2);
  EXPECT_EQ(Job(jcStatus, 1).substr(0, 9), "Finished ") << JobFailureReason(1) << Form->log->GetText();
  EXPECT_EQ(Job(jcStatus, 2), "Failed");
  EXPECT_EQ(JobFailureReason(2), "Device 2: \"" + D.VideoRate + "\" in column 2 is not a whole number");
}
