// The one output parser: each recorded tool line (or short sequence) against the row cells,
// the DVD log and the track memos it must produce.
#include <gtest/gtest.h>

#include "DetectionTestSupport.h"
#include "core/SourceRow.h"

using namespace detecttest;

namespace {

struct TCellWant {
  int Col;
  std::string Text;
};

struct TParseCase {
  const char* Name;
  const char* Mode;                     // DetectMode
  std::vector<TCellWant> Before;        // cells set before the lines
  std::vector<std::string> Lines;       // raw tool lines (the parser gets " " + line)
  std::vector<TCellWant> Cells;         // cells expected afterwards
  std::vector<std::string> DvdLog;      // expected dvdlog, when not empty
  std::vector<std::string> Audio;       // expected Memo1, when not empty
  std::vector<std::string> Subtitles;   // expected Memo2, when not empty
  bool Incomplete = false;
};

const std::vector<TParseCase>& ParseCases()
{
  static const std::vector<TParseCase> Cases = {
      {"LengthFillsTheFiveTimeColumns", "video", {}, {"ID_LENGTH=5400.00"},
       {{scLength, "5400.00"}, {scTrimEnd, "5400.00"}, {scTrimStart, "0"}, {scDuration, "1:30:00"},
        {scConvertSeconds, "5400"}}, {" ID_LENGTH=5400.00"}, {}, {}, false},
      {"NoSoundBeforeTheLengthKeepsTheTimeColumnsEmpty", "video", {}, {"Audio: no sound", "ID_LENGTH=5400.00"},
       {{scLength, ""}, {scTrimEnd, ""}, {scTrimStart, ""}, {scDuration, ""}, {scConvertSeconds, ""}}, {}, {}, {},
       true},
      {"LengthRoundsHalvesToEven", "video", {}, {"ID_LENGTH=2.50"}, {{scConvertSeconds, "2"}, {scDuration, "0:00:02"}},
       {}, {}, {}, false},
      {"AWidthPresentIsNotOverwritten", "video", {{scWidth, "640"}}, {"ID_VIDEO_WIDTH=720", "ID_VIDEO_HEIGHT=480"},
       {{scWidth, "640"}, {scHeight, "480"}}, {}, {}, {}, false},
      {"NullOutputOverwritesAWidthOfZero", "video", {{scWidth, "0"}, {scHeight, "0"}},
       {"VO: [null] 720x480 => 856x480 Planar YV12"},
       {{scWidth, "720"}, {scHeight, "480"}, {scDisplayWidth, "856"}, {scDisplayHeight, "480"},
        {scVideoOutput, "720x480 => 856x480 Planar YV12"}},
       {" VO: [null] 720x480 => 856x480 Planar YV12"}, {}, {}, false},
      {"NullOutputInDvdModeGoesToTheLog", "dvd", {}, {"VO: [null] 720x480 => 856x480 Planar YV12"},
       {{scDisplayWidth, ""}, {scWidth, "720"}},
       {"ID_VIDEO2_WIDTH=856", "ID_VIDEO2_HEIGHT=480", " VO: [null] 720x480 => 856x480 Planar YV12"}, {}, {}, false},
      {"IdentifyKeysOfVideoAndAudio", "video", {},
       {"ID_VIDEO_FORMAT=XVID", "ID_VIDEO_CODEC=ffodivx", "ID_VIDEO_BITRATE=980000", "ID_VIDEO_FPS=23.976",
        "ID_VIDEO_ASPECT=1.7778", "ID_AUDIO_FORMAT=85", "ID_AUDIO_CODEC=mpg123", "ID_AUDIO_BITRATE=128000",
        "ID_AUDIO_RATE=48000", "ID_AUDIO_NCH=2"},
       {{scVideoFormat, "XVID"}, {scVideoCodec, "ffodivx"}, {scVideoBitrate, "980000"}, {scFrameRate, "23.976"},
        {scAspect, "1.7778"}, {scAudioFormat, "85"}, {scAudioCodec, "mpg123"}, {scAudioBitrate, "128000"},
        {scAudioRate, "48000"}, {scAudioChannels, "2"}},
       {}, {}, {}, false},
      {"AnAspectLineWithAHashIsSkipped", "video", {}, {"ID_VIDEO_ASPECT=1.3333 #2"}, {{scAspect, ""}}, {}, {}, {},
       false},
      // A key counts only at the start of its line: one inside other text (a clip title) is none.
      {"AKeyAfterOtherTextIsNoKey", "video", {}, {"[mkv] ID_VIDEO_WIDTH=1280"}, {{scWidth, ""}}, {}, {}, {}, false},
      {"AKeyAfterBlanksIsAKey", "video", {}, {"   ID_VIDEO_WIDTH=1280"}, {{scWidth, "1280"}},
       {" ID_VIDEO_WIDTH=1280"}, {}, {}, false},
      {"AudioIdAndLanguageLinesOfTrackZero", "video", {}, {"ID_AUDIO_ID=0", "ID_AID_0_LANG=eng"}, {}, {},
       {"0 ?????", "0_LANG=eng"}, {}, false},
      {"NamedTracksAreNotListed", "video", {}, {"ID_AID_1_NAME=Commentary", "ID_SID_0_NAME=Forced", "ID_SID_0_LANG=de"},
       {}, {}, {}, {"0_LANG=de"}, false},
      {"DvdStreamAndSubtitleLines", "dvd", {},
       {"audio stream: 0 format: ac3 (5.1) language: en aid: 128.", "subtitle ( sid ): 0 language: en"}, {},
       {" audio stream: 0 format: ac3 (5.1) language: en aid: 128.", " subtitle ( sid ): 0 language: en"},
       {"audio stream: 0 format: ac3 (5.1) language: en aid: 128."}, {"subtitle ( sid ): 0 language: en"}, false},
      {"AStreamFoundWhilePlayingIsNoTrack", "dvd", {},
       {"==> Found audio stream: 128", "audio stream: 0 format: ac3 (5.1) language: en aid: 128."}, {},
       {" ==> Found audio stream: 128", " audio stream: 0 format: ac3 (5.1) language: en aid: 128."},
       {"audio stream: 0 format: ac3 (5.1) language: en aid: 128."}, {}, false},
      {"VerboseVideoLineBecomesKeys", "dvd", {},
       {"VIDEO:  MPEG2  720x480  (aspect 3)  29.970 fps  9800.0 kbps (1225.0 kbyte/s)"}, {},
       {" VIDEO:  MPEG2  720x480  (aspect 3)  29.970 fps  9800.0 kbps (1225.0 kbyte/s)", "ID_VIDEO_FORMAT=MPEG2",
        "ID_VIDEO_CODEC=MPEG2", "ID_VIDEO_WIDTH=720", "ID_VIDEO_HEIGHT=480", "ID_VIDEO_FPS=29.970",
        "ID_VIDEO_BITRATE=9800.0"},
       {}, {}, false},
      {"VerboseAspectLine", "dvd", {}, {"Movie-Aspect is 1.78:1 - prescaling to correct movie aspect."}, {},
       {"ID_VIDEO_ASPECT=1.78"}, {}, {}, false},
      {"VerboseAudioLine", "dvd", {}, {"AUDIO: 48000 Hz, 2 ch, s16le, 192.0 kbit/12.50% (ratio: 24000->192000)"}, {},
       {" AUDIO: 48000 Hz, 2 ch, s16le, 192.0 kbit/12.50% (ratio: 24000->192000)", "ID_AUDIO_RATE=48000",
        "ID_AUDIO_NCH=2", "ID_AUDIO_BITRATE=192000"},
       {}, {}, false},
      {"SelectedAudioCodecLine", "dvd", {}, {"Selected audio codec: [a52] afm: liba52 (AC3-liba52)"}, {},
       {"ID_AUDIO_FORMAT=a52", "ID_AUDIO_CODEC=a52"}, {}, {}, false},
      {"InvalidTitleEmptiesTheLastLogLine", "dvd", {}, {"ID_DVD_TITLES=3", "Invalid title IFO"}, {}, {""}, {}, {},
       false},
      {"ReadErrorsGoToTheLog", "dvd", {}, {"DVDNAV stream read error!2"}, {}, {" DVDNAV stream read error!2"}, {}, {},
       false},
      {"NoVideoMarksTheRunIncomplete", "video", {}, {"Video: no video"}, {}, {}, {}, {}, true},
  };
  return Cases;
}

class ToolOutputParser : public TDetectionTest {};

}  // namespace

TEST_F(ToolOutputParser, RecordedLinesFillRowLogAndMemos)
{
  for (const TParseCase& C : ParseCases()) {
    SCOPED_TRACE(C.Name);
    ClearGridRows(Form->StringGrid1);
    Form->dvdlog->GetLines()->Clear();
    Form->Memo1->GetLines()->Clear();
    Form->Memo2->GetLines()->Clear();
    IdentifyIncomplete = false;
    PlaybackMode = true;  // no tool is killed by these lines
    DetectMode = C.Mode;
    DetectRow = AppendGridRow(Form->StringGrid1);
    Form->StringGrid1->SetCells(0, DetectRow, "00001");
    for (const auto& B : C.Before) Form->StringGrid1->SetCells(B.Col, DetectRow, B.Text);
    for (const auto& L : C.Lines) ParseToolOutputLine(" " + L);
    for (const auto& W : C.Cells) EXPECT_EQ(CellOf(W.Col, DetectRow), W.Text) << "column " << W.Col;
    if (!C.DvdLog.empty()) {
      EXPECT_EQ(MemoLines(Form->dvdlog), C.DvdLog);
    }
    if (!C.Audio.empty()) {
      EXPECT_EQ(MemoLines(Form->Memo1), C.Audio);
    }
    if (!C.Subtitles.empty()) {
      EXPECT_EQ(MemoLines(Form->Memo2), C.Subtitles);
    }
    EXPECT_EQ(IdentifyIncomplete, C.Incomplete);
  }
}

TEST_F(ToolOutputParser, KeysOfARunWithoutARowLandInNoRow)
{
  // A source already in the queue, and a run (a preview, say) whose caller set no row.
  const int Other = AppendGridRow(Form->StringGrid1);
  Form->StringGrid1->SetCells(0, Other, "00001");
  Form->StringGrid1->SetCells(scWidth, Other, "");
  PlaybackMode = true;
  DetectRow = 0;
  ParseToolOutputLine(" ID_VIDEO_WIDTH=999");
  ParseToolOutputLine(" ID_LENGTH=12.0");
  ParseToolOutputLine(" VO: [null] 320x240 => 320x240 Planar YV12");
  EXPECT_EQ(CellOf(scWidth, Other), "");
  EXPECT_EQ(CellOf(scLength, Other), "");
  for (int C = 0; C < SourceQueueColCount; ++C) EXPECT_EQ(CellOf(C, 0), "") << "header column " << C;
  DetectRow = 57;  // beyond the queue
  ParseToolOutputLine(" ID_VIDEO_WIDTH=999");
  EXPECT_EQ(Form->StringGrid1->GetRowCount(), 2);
}

TEST_F(ToolOutputParser, PreviewOutputLinesSizeThePicture)
{
  std::vector<std::pair<int, int>> Placed;
  DetectionHost().PlacePreviewPicture = [&](int W, int H) { Placed.push_back({W, H}); };
  PlaybackMode = true;
  ParseToolOutputLine(" VO: [directx] 640x352 => 640x352 Planar YV12");
  ParseToolOutputLine(" VO: [direct3d] 720x480 => 1280x Packed YUY2");  // an empty side: 240
  ParseToolOutputLine(" VO: [directx] 1x1 => 1x1");            // too short a word: nothing
  EXPECT_EQ(Placed, (std::vector<std::pair<int, int>>{{640, 352}, {1280, 240}}));
  EXPECT_EQ(PreviewSourceWidth, 1280);
  EXPECT_EQ(PreviewSourceHeight, 240);

  struct TFit {
    const char* Name;
    int Pw, Ph, W, H;
    TPreviewPlacement Want;
  };
  const TFit Fits[] = {
      {"WideFrameFillsTheWidth", 416, 316, 640, 352, {8, 48, 400, 220}},
      {"TallFrameFillsTheHeight", 416, 316, 480, 640, {95, 8, 225, 300}},
      {"NoSizeNoPicture", 416, 316, 0, 240, {0, 0, 0, 0}},
  };
  for (const TFit& F : Fits) {
    const TPreviewPlacement P = FitPreviewPicture(F.Pw, F.Ph, F.W, F.H);
    EXPECT_EQ(std::vector<int>({P.Left, P.Top, P.Width, P.Height}),
              std::vector<int>({F.Want.Left, F.Want.Top, F.Want.Width, F.Want.Height}))
        << F.Name;
  }
}

TEST_F(ToolOutputParser, FfmpegLinesAreLoggedOnlyDuringTheFallbackRun)
{
  Form->dvdlog->GetLines()->Clear();
  Runner->SetCommandLine("\"" + Work + "mplayer.exe\" -identify");
  ParseToolOutputLine(" Stream #0.0: Video: mpeg4, yuv420p, 640x272 [PAR 1:1 DAR 40:17], 23.98 tbr");
  EXPECT_TRUE(MemoLines(Form->dvdlog).empty());
  Runner->SetCommandLine("\"" + Work + "ffmpeg2.exe\" -i \"a.avi\"");
  ParseToolOutputLine("   Duration: 01:23:45.67, start: 0.000000, bitrate: 1411 kb/s");
  ParseToolOutputLine(" Stream #0.0: Video: mpeg4, yuv420p, 640x272 [PAR 1:1 DAR 40:17], 23.98 tbr");
  EXPECT_EQ(MemoLines(Form->dvdlog),
            (std::vector<std::string>{"Duration: 01:23:45.67, start: 0.000000, bitrate: 1411 kb/s",
                                      "Stream #0.0: Video: mpeg4, yuv420p, 640x272 [PAR 1:1 DAR 40:17], 23.98 tbr"}));
}
