// The DVD title scan with a fake player printing recorded identify and verbose output, the title
// picker through a scripted picker, and the selection rules over a filled title table.
#include <gtest/gtest.h>

#include "DetectionTestSupport.h"
#include "../support/FileWriterProcess.h"
#include "core/SourceRow.h"
#include "platform/vcl/Timer.h"

using namespace detecttest;

namespace {

// The identify run of a disc with three titles; title 1 is the one the run describes.
std::string DiscIdentify(const std::string& Extra = "")
{
  return R"([mplayer.exe -identify -dvd-device]
print ID_DVD_TITLES=3
print ID_DVD_TITLE_1_CHAPTERS=12
print ID_DVD_TITLE_1_ANGLES=1
print ID_DVD_TITLE_2_CHAPTERS=1
print ID_DVD_TITLE_2_ANGLES=1
print ID_DVD_TITLE_3_CHAPTERS=4
print ID_DVD_TITLE_3_ANGLES=2
print ID_DVD_TITLE_1_LENGTH=5400.00
print ID_DVD_TITLE_2_LENGTH=600.00
print ID_DVD_TITLE_3_LENGTH=600.04
print There are 3 titles on this DVD.
print ID_DVD_CURRENT_TITLE=1
print audio stream: 0 format: ac3 (5.1) language: en aid: 128.
print ID_AUDIO_ID=128
print ID_AID_128_LANG=en
print subtitle ( sid ): 0 language: en
print ID_SID_0_LANG=en
print VIDEO:  MPEG2  720x480  (aspect 3)  29.970 fps  9800.0 kbps (1225.0 kbyte/s)
print ID_VIDEO_FORMAT=0x10000002
print ID_VIDEO_WIDTH=720
print ID_VIDEO_HEIGHT=480
print ID_VIDEO_FPS=29.970
print ID_LENGTH=5400.00
)" + Extra +
         R"(print VO: [null] 720x480 => 856x480 Planar YV12
write V:   0.0   1/  1 ??% ??% ??,?% 0 0 \r
stall
)";
}

// A verbose scan of title N from 90 seconds in.
std::string TitleScan(const std::string& Header, const std::string& Language = "fr")
{
  return "[" + Header + R"(]
print audio stream: 0 format: ac3 (stereo) language: )" + Language + R"( aid: 129.
print VIDEO:  MPEG2  720x576  (aspect 2)  25.000 fps  8000.0 kbps (1000.0 kbyte/s)
print AUDIO: 48000 Hz, 2 ch, s16le, 192.0 kbit/12.50% (ratio: 24000->192000)
print Selected audio codec: [a52] afm: liba52 (AC3-liba52)
print Movie-Aspect is 1.33:1 - prescaling to correct movie aspect.
write A:  90.0 V:  90.0 A-V:  0.000 ct:  0.000\r
stall
)";
}

// Answers the picker after a short while, as the user would.
class TScriptedPicker : public TDvdTitlePicker {
public:
  TScriptedPicker(bool Ok, std::vector<bool> Checked) : FOk(Ok), FChecked(std::move(Checked)), FTimer(nullptr)
  {
    FTimer.SetEnabled(false);
    FTimer.SetInterval(30);
    FTimer.SetOnTimer([this](TObject*) {
      FTimer.SetEnabled(false);
      DvdTitlePickerClosed(FOk, FChecked);
    });
  }
  void Open(const std::vector<String>& Items) override
  {
    Shown = Items;
    OpenWhilePickerOpen = PickerOpen;
    FTimer.SetEnabled(true);
  }
  std::vector<String> Shown;
  bool OpenWhilePickerOpen = false;

private:
  bool FOk;
  std::vector<bool> FChecked;
  TTimer FTimer;
};

class DvdScanTest : public TDetectionTest {
protected:
  void SetUp() override
  {
    TDetectionTest::SetUp();
    Disc = Dir + "MY_DISC";
    std::filesystem::create_directories(Disc + "/VIDEO_TS");
  }

  // The runs whose arguments hold Text.
  int RunsWith(const std::string& Text) const
  {
    int N = 0;
    for (const auto& Run : ToolRuns())
      for (const auto& A : Run)
        if (A == Text) {
          ++N;
          break;
        }
    return N;
  }

  std::string TitleCell(int Col, int Row) const { return Form->dvdgrid->GetCells(Col, Row); }

  std::string Disc;
};

}  // namespace

TEST_F(DvdScanTest, TitlesAreDescribedScannedOnceAndSelectedByLength)
{
  UseFakeTools(DiscIdentify() + TitleScan("mplayer.exe -ss 90 dvd://3"));
  ScanDvd(Disc, "My Disc");

  // The queue: title 1 (described by the identify run) and title 3 (600.04 s, scanned); title 2
  // (600.00 s) is not longer than the minimum.
  ASSERT_EQ(UsedQueueRows(), 2);
  const std::vector<std::pair<int, std::string>> First = {
      {scNumber, "00001"}, {scType, "DVD"}, {scName, "My Disc_1"}, {scHistoryName, "My Disc"},
      {scOutputName, "My Disc_1"}, {scLength, "5400.00"}, {scDuration, "1:30:00"}, {scConvertSeconds, "5400"},
      {scVideoFormat, "0x10000002"}, {scWidth, "720"}, {scHeight, "480"}, {scDisplayWidth, "856"},
      {scDisplayHeight, "480"}, {scFrameRate, "29.970"}, {scChapters, "12"}, {scLastChapter, "12"},
      {scStartAtChapter, "NO"}, {scFirstChapter, "1"}, {scSplitParts, "NO"}, {scChaptersPerPart, "1"},
      {scAngles, "1"}, {scAngleChosen, "NO"}, {scAngleNumber, "1"}, {scSourcePath, Disc},
      {scInputArgs, "-dvd-device \"" + Disc + "\"  dvdnav://1 "}, {scConvert, "Yes"}, {scTitleNumber, "1"},
      {scAudioTracks, "audio stream: 0 format: ac3 (5.1) language: en aid: 128.\r\n"},
      {scSubtitleTracks, "subtitle ( sid ): 0 language: en\r\n"}, {scZero32, "0"}, {scZero33, "0"},
  };
  for (const auto& [Col, Text] : First) EXPECT_EQ(CellOf(Col, 1), Text) << "row 1 column " << Col;
  const std::vector<std::pair<int, std::string>> Third = {
      {scNumber, "00002"}, {scName, "My Disc_3"}, {scLength, "600.04"}, {scConvertSeconds, "600"},
      {scVideoFormat, "MPEG2"}, {scVideoCodec, "MPEG2"}, {scWidth, "720"}, {scHeight, "576"},
      {scFrameRate, "25.000"}, {scVideoBitrate, "8000.0"}, {scAspect, "1.33"}, {scTitleAspect, "1.33"},
      {scAudioRate, "48000"}, {scAudioChannels, "2"}, {scAudioBitrate, "192000"}, {scAudioFormat, "a52"},
      {scAngles, "2"}, {scTitleNumber, "3"},
      {scAudioTracks, "audio stream: 0 format: ac3 (stereo) language: fr aid: 129.\r\n"},
  };
  for (const auto& [Col, Text] : Third) EXPECT_EQ(CellOf(Col, 2), Text) << "row 2 column " << Col;
  EXPECT_FALSE(CellOf(scAudioChoice, 1).empty());

  // One identify run and one scan of title 3 only.
  const auto Runs = ToolRuns();
  ASSERT_EQ(Runs.size(), 2u);
  EXPECT_EQ(Runs[0], (std::vector<std::string>{"mplayer.exe", "-af", "volume=-200", "-vo", "null", "-identify",
                                               "-dvd-device", Disc, "dvd://", "-wid", "0"}));
  EXPECT_EQ(Runs[1], (std::vector<std::string>{"mplayer.exe", "-ss", "90", "-af", "volume=-200", "-vo", "null",
                                               "-dvd-device", Disc, "dvd://3", "-v", "2", "-wid", "0"}));
  EXPECT_EQ(Statuses.front(), "Scanning : My Disc");
  EXPECT_NE(std::find(Statuses.begin(), Statuses.end(), "Scanning My Disc, track 3"), Statuses.end());
  EXPECT_EQ(CurrentDvdName, "My Disc");
  EXPECT_EQ(DetectRow, 0);
}

TEST_F(DvdScanTest, AStalledTitleScanIsRetriedWithDvdnavAndLaterTitlesRunOnce)
{
  const std::string Identify = R"([mplayer.exe -identify -dvd-device]
print ID_DVD_TITLES=3
print ID_DVD_TITLE_1_LENGTH=700.0
print ID_DVD_TITLE_2_LENGTH=800.0
print ID_DVD_TITLE_3_LENGTH=900.0
write V:   0.0\r
stall
)";
  UseFakeTools(Identify + "[mplayer.exe -ss 90 dvd://1]\nprint audio stream: 0 format: ac3 (stereo) language: fr aid: 129.\nstall\n" + TitleScan("mplayer.exe -ss 90 dvdnav://1") +
               TitleScan("mplayer.exe -ss 90 dvd://2") + TitleScan("mplayer.exe -ss 90 dvd://3"));
  ScanDvd(Disc, "My Disc");
  EXPECT_EQ(RunsWith("dvd://1"), 1);
  EXPECT_EQ(RunsWith("dvdnav://1"), 1);
  EXPECT_EQ(RunsWith("dvd://2"), 1);
  EXPECT_EQ(RunsWith("dvd://3"), 1);
  EXPECT_EQ(RunsWith("dvdnav://2") + RunsWith("dvdnav://3"), 0);
  EXPECT_NE(std::find(Statuses.begin(), Statuses.end(), "Scanning restarted for My Disc, track 1"), Statuses.end());
  ASSERT_EQ(UsedQueueRows(), 3);
  EXPECT_EQ(CellOf(scVideoFormat, 1), "MPEG2");
  EXPECT_EQ(CellOf(scAudioTracks, 1), "audio stream: 0 format: ac3 (stereo) language: fr aid: 129.\r\n")
      << "the lines of both scans stand once";
}

TEST_F(DvdScanTest, AReadErrorExcludesOnlyTheTitleItNames)
{
  struct TCase {
    const char* Name;
    std::string Error;
    std::vector<std::string> Queued;
  };
  const std::vector<TCase> Cases = {
      {"ErrorForTitle3", "print DVDNAV stream read error!3\n", {"My Disc_1"}},
      {"ErrorForTitle30NamesNoTitleHere", "print DVDNAV stream read error!30\n", {"My Disc_1", "My Disc_3"}},
      {"ErrorWithoutANumber", "print DVDNAV stream read error!\n", {"My Disc_1", "My Disc_3"}},
      {"ErrorForTheDescribedTitle", "print DVDNAV stream read error!1\n", {"My Disc_3"}},
  };
  for (const TCase& C : Cases) {
    SCOPED_TRACE(C.Name);
    ClearGridRows(Form->StringGrid1);
    UseFakeTools(DiscIdentify(C.Error) + TitleScan("mplayer.exe -ss 90 dvd://3"));
    ScanDvd(Disc, "My Disc");
    std::vector<std::string> Names;
    for (int R = 1; R < Form->StringGrid1->GetRowCount(); ++R)
      if (!CellOf(0, R).empty()) Names.push_back(CellOf(scName, R));
    EXPECT_EQ(Names, C.Queued);
  }
}

TEST_F(DvdScanTest, ADiscOfTheBadDiscListStartsEveryTitleAtChapterTwo)
{
  Disc = Dir + "TRANSFORMERS_VANILLA";
  std::filesystem::create_directories(Disc);
  UseFakeTools(DiscIdentify() + TitleScan("mplayer.exe -ss 90 dvd://3"));
  ScanDvd(Disc, "Transformers Vanilla");
  ASSERT_EQ(UsedQueueRows(), 2);
  for (int Row : {1, 2}) {
    EXPECT_EQ(CellOf(scStartAtChapter, Row), "Yes");
    EXPECT_EQ(CellOf(scFirstChapter, Row), "2");
    EXPECT_EQ(CellOf(scName, Row).find('*'), std::string::npos);
  }
  EXPECT_EQ(CellOf(scName, 1), "Transformers Vanilla_1");
}

TEST_F(DvdScanTest, PickerOkKeepsTheCheckedTitlesWhateverTheirLength)
{
  UseFakeTools(DiscIdentify() + TitleScan("mplayer.exe -ss 90 dvd://2"));
  TScriptedPicker Picker(true, {false, true, false});
  DetectionHost().AskTitles = true;
  DetectionHost().Picker = &Picker;
  ScanDvd(Disc, "My Disc");
  EXPECT_TRUE(Picker.OpenWhilePickerOpen);
  EXPECT_FALSE(PickerOpen);
  EXPECT_EQ(Picker.Shown, (std::vector<String>{"DVD - My Disc_1 - 1:30:00", "DVD - My Disc_2 - 0:10:00",
                                               "DVD - My Disc_3 - 0:10:00"}));
  ASSERT_EQ(UsedQueueRows(), 1);
  EXPECT_EQ(CellOf(scName, 1), "My Disc_2");
  EXPECT_EQ(CellOf(scVideoFormat, 1), "MPEG2");
  EXPECT_EQ(RunsWith("dvd://2"), 1);
  EXPECT_EQ(RunsWith("dvd://3"), 0);
}

TEST_F(DvdScanTest, PickerCancelAddsNothingAndKeepsTheQueue)
{
  const int Other = AppendGridRow(Form->StringGrid1);
  Form->StringGrid1->SetCells(scNumber, Other, "00001");
  Form->StringGrid1->SetCells(scName, Other, "other source");
  UseFakeTools(DiscIdentify() + TitleScan("mplayer.exe -ss 90 dvd://3"));
  TScriptedPicker Picker(false, {});
  DetectionHost().AskTitles = true;
  DetectionHost().Picker = &Picker;
  ScanDvd(Disc, "My Disc");
  EXPECT_EQ(UsedQueueRows(), 1);
  EXPECT_EQ(CellOf(scName, 1), "other source");
  EXPECT_EQ(ToolRuns().size(), 1u) << "no title is scanned";
}

TEST_F(DvdScanTest, ADiscWithoutTitlesQueuesNothing)
{
  UseFakeTools("[mplayer.exe -identify]\nprint libdvdread: Couldn't find device name.\nexit 1\n");
  ScanDvd(Disc, "My Disc");
  EXPECT_EQ(UsedQueueRows(), 0);
  EXPECT_EQ(Form->dvdgrid->GetRowCount(), 1);
  EXPECT_EQ(TitleCell(scType, 0), "DVD");
  EXPECT_EQ(TitleCell(scVideoFormat, 0), "");
  for (int C = 0; C < SourceQueueColCount; ++C) EXPECT_EQ(CellOf(C, 1), "") << "column " << C;
}

TEST_F(DvdScanTest, TitleScansSeekWithinTheTitleAndListOnlyTrackLines)
{
  struct TCase {
    const char* Name;
    const char* Length;
    const char* Seek;
  };
  const TCase Cases[] = {
      {"Long", "5400.00", "90"}, {"ExactlyTwiceTheSeek", "180.0", "90"}, {"Short", "40.5", "20"},
      {"ShorterThanTheSeek", "89.0", "44"}, {"OneSecond", "1.0", "0"},
  };
  for (const TCase& C : Cases) {
    SCOPED_TRACE(C.Name);
    ClearGridRows(Form->StringGrid1);
    const std::string Identify = std::string(R"([mplayer.exe -identify -dvd-device]
print ID_DVD_TITLES=1
print ID_DVD_TITLE_1_LENGTH=)") + C.Length + R"(
write V:   0.0\r
stall
)";
    const std::string Scan = "[mplayer.exe -ss " + std::string(C.Seek) + R"( dvd://1]
print ==> Found audio stream: 128
print audio stream: 0 format: ac3 (stereo) language: fr aid: 128.
print VIDEO:  MPEG2  720x576  (aspect 2)  25.000 fps  8000.0 kbps (1000.0 kbyte/s)
print VO: [null] 720x576 => 1024x576 Planar YV12
write A:  20.0 V:  20.0 A-V:  0.000 ct:  0.000\r
stall
)";
    UseFakeTools(Identify + Scan);
    const size_t Earlier = ToolRuns().size();
    TScriptedPicker Picker(true, {true});
    DetectionHost().AskTitles = true;
    DetectionHost().Picker = &Picker;
    ScanDvd(Disc, "My Disc");
    std::vector<std::string> Seeks;
    const auto Runs = ToolRuns();
    for (size_t R = Earlier; R < Runs.size(); ++R)
      for (size_t I = 0; I + 1 < Runs[R].size(); ++I)
        if (Runs[R][I] == "-ss") Seeks.push_back(Runs[R][I + 1]);
    // A scan that stalls on a loaded machine runs once more, from the same place.
    ASSERT_FALSE(Seeks.empty());
    for (const std::string& Seek : Seeks) EXPECT_EQ(Seek, C.Seek);
    ASSERT_EQ(UsedQueueRows(), 1);
    EXPECT_EQ(CellOf(scVideoFormat, 1), "MPEG2");
    EXPECT_EQ(CellOf(scDisplayWidth, 1), "1024");
    EXPECT_EQ(CellOf(scAudioTracks, 1), "audio stream: 0 format: ac3 (stereo) language: fr aid: 128.\r\n");
  }
}

TEST_F(DvdScanTest, DvdAsVobsDetectsEveryVobFile)
{
  for (const char* Name : {"vts_01_1.vob", "vts_01_2.vob"}) WriteFile(Disc + "/VIDEO_TS/" + Name, "x");
  UseFakeTools("[*]\nprint ID_VIDEO_FPS=25\nexit 0\n");
  DetectionHost().DvdAsVobs = true;
  ScanDvd(Disc, "My Disc");
  ASSERT_EQ(UsedQueueRows(), 2);
  EXPECT_EQ(CellOf(scType, 1), "VIDEO");
  EXPECT_EQ(CellOf(scHistoryName, 1), "vts_01_1.vob");
  EXPECT_EQ(CellOf(scHistoryName, 2), "vts_01_2.vob");

  // The same disc again, with a third file still being written: the queued files are not
  // queued twice and the file in use is not probed.
  const std::string Growing = Disc + "/VIDEO_TS/vts_01_3.vob";
  WriteFile(Growing, "x");
  TFileWriterProcess Writer(Growing);
  ASSERT_TRUE(Writer.Started());
  const size_t RunsBefore = ToolRuns().size();
  ScanDvd(Disc, "My Disc");
  EXPECT_EQ(UsedQueueRows(), 2);
  EXPECT_EQ(ToolRuns().size(), RunsBefore);
}

TEST_F(DvdScanTest, StopPendingScansNothing)
{
  UseFakeTools(DiscIdentify());
  StopRequested = true;
  ScanDvd(Disc, "My Disc");
  EXPECT_EQ(UsedQueueRows(), 0);
  EXPECT_TRUE(ToolRuns().empty());
}

// The selection rules over a title table filled by hand.
TEST_F(DvdScanTest, SelectionRules)
{
  struct TTitle {
    const char* Length;
    bool HasFormat;
  };
  struct TCase {
    const char* Name;
    bool Episodes;
    std::vector<TTitle> Titles;
    std::vector<std::pair<int, std::string>> Queued;  // title number, "Yes"/"No"
  };
  const std::vector<TCase> Cases = {
      {"PlainExactlyTheMinimumIsNotQueued", false, {{"600.00", true}, {"600.04", true}}, {{2, "Yes"}}},
      {"PlainNeedsAVideoFormat", false, {{"5400", false}, {"5400", true}}, {{2, "Yes"}}},
      {"MovieWithTwoExtras", true, {{"7200", true}, {"900", true}, {"950", true}}, {{1, "No"}, {2, "Yes"}, {3, "Yes"}}},
      {"FourEpisodesAndPlayAll", true,
       {{"2700", true}, {"2710", true}, {"2690", true}, {"2705", true}, {"10800", true}},
       {{1, "Yes"}, {2, "Yes"}, {3, "Yes"}, {4, "Yes"}, {5, "No"}}},
      {"TwoVersionsOfOneMovie", true, {{"7210", true}, {"7200", true}}, {{1, "Yes"}, {2, "No"}}},
      {"TwoMoviesOfSimilarLength", true, {{"7210", true}, {"6000", true}}, {{1, "Yes"}, {2, "Yes"}}},
      {"SingleCandidate", true, {{"5000", true}}, {{1, "Yes"}}},
      {"ShortTitlesAreNoCandidates", true, {{"5000", true}, {"300", true}, {"5000", false}}, {{1, "Yes"}}},
      {"NoCandidates", true, {{"100", true}}, {}},
      // A movie in two versions with extras: the extras form no group of their own.
      {"TwoVersionsAndOneExtra", true, {{"7200", true}, {"7000", true}, {"1000", true}},
       {{1, "Yes"}, {2, "Yes"}, {3, "No"}}},
      {"TwoVersionsAndTwoExtras", true, {{"5400", true}, {"5300", true}, {"1500", true}, {"1400", true}},
       {{1, "Yes"}, {2, "Yes"}, {3, "No"}, {4, "No"}}},
      // Three titles of one length besides two long ones: they are the group to convert.
      {"ThirdGroupOfThree", true,
       {{"5400", true}, {"5300", true}, {"1500", true}, {"1450", true}, {"1400", true}},
       {{1, "No"}, {2, "No"}, {3, "Yes"}, {4, "Yes"}, {5, "Yes"}}},
  };
  for (const TCase& C : Cases) {
    SCOPED_TRACE(C.Name);
    ClearGridRows(Form->StringGrid1);
    DetectionHost().EpisodeRecognition = C.Episodes;
    TStringGrid* Titles = Form->dvdgrid;
    Titles->SetRowCount(static_cast<int>(C.Titles.size()));
    for (int T = 0; T < static_cast<int>(C.Titles.size()); ++T) {
      for (int Col = 0; Col < Titles->GetColCount(); ++Col) Titles->SetCells(Col, T, "");
      Titles->SetCells(scType, T, "DVD");
      Titles->SetCells(scName, T, "Disc_" + std::to_string(T + 1));
      Titles->SetCells(scLength, T, C.Titles[T].Length);
      Titles->SetCells(scConvert, T, "Yes");
      Titles->SetCells(scTitleNumber, T, std::to_string(T + 1));
      if (C.Titles[T].HasFormat) Titles->SetCells(scVideoFormat, T, "MPEG2");
    }
    SelectDvdTitles();
    std::vector<std::pair<int, std::string>> Got;
    for (int R = 1; R < Form->StringGrid1->GetRowCount(); ++R)
      if (!CellOf(0, R).empty()) Got.push_back({std::stoi(CellOf(scTitleNumber, R)), CellOf(scConvert, R)});
    EXPECT_EQ(Got, C.Queued);
  }
}
