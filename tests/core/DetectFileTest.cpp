// DetectFile with fake tools that print recorded mplayer and ffmpeg output: the row it fills,
// the fallback to ffmpeg, the forced-rate run, side files, names that must reach the tool
// unchanged, and tools that are missing, hang or crash.
#include <gtest/gtest.h>

#include "DetectionTestSupport.h"
#include "core/SourceRow.h"

using namespace detecttest;

namespace {

// mplayer 1.x identifying a short AVI file (recorded), then its first status line; the fake
// then stays until it is killed, so only the status line can end the run.
const char* const AviIdentify = R"([mplayer.exe -identify]
print MPlayer 1.5 (C) 2000-2023 MPlayer Team
print Playing film.avi.
print AVI file format detected.
print ID_VIDEO_ID=0
print ID_AUDIO_ID=1
print VIDEO:  [FMP4]  320x240  24bpp  25.000 fps  336.3 kbps (41.0 kbyte/s)
print Selected video codec: [ffodivx] vfm: ffmpeg (FFmpeg MPEG-4)
print ID_VIDEO_CODEC=ffodivx
print ID_FILENAME=film.avi
print ID_DEMUXER=avi
print ID_VIDEO_FORMAT=FMP4
print ID_VIDEO_BITRATE=336272
print ID_VIDEO_WIDTH=320
print ID_VIDEO_HEIGHT=240
print ID_VIDEO_FPS=25.000
print ID_VIDEO_ASPECT=0.0000
print ID_AUDIO_FORMAT=85
print ID_AUDIO_BITRATE=63992
print ID_AUDIO_RATE=0
print ID_AUDIO_NCH=0
print ID_START_TIME=0.00
print ID_LENGTH=3.04
print ID_SEEKABLE=1
print AUDIO: 44100 Hz, 2 ch, s16le, 64.0 kbit/4.54% (ratio: 8000->176400)
print ID_AUDIO_BITRATE=64000
print ID_AUDIO_RATE=44100
print ID_AUDIO_NCH=2
print Selected audio codec: [mpg123] afm: mpg123 (MPEG 1.0/2.0/2.5 layers I, II, III)
print Starting playback...
print Movie-Aspect is 1.33:1 - prescaling to correct movie aspect.
print ID_VIDEO_ASPECT=1.3333
print VO: [null] 320x240 => 320x240 Planar YV12
write V:   0.0   1/  1 ??% ??% ??,?% 0 0 \r
stall
)";

// mplayer leaving the size at 0, and ffmpeg's answer for the same file.
const char* const IncompleteIdentify = R"([mplayer.exe -identify]
print ID_VIDEO_FORMAT=MP4V
print ID_VIDEO_WIDTH=0
print ID_VIDEO_HEIGHT=0
print ID_VIDEO_FPS=23.976
print ID_LENGTH=12.50
print ID_AUDIO_ID=0
exit 0
)";

const char* const FfmpegAnswer = R"([ffmpeg2.exe -i]
print Input #0, avi, from 'film.avi':
print   Duration: 01:23:45.67, start: 0.000000, bitrate: 1411 kb/s
print     Stream #0.0: Video: mpeg4, yuv420p, 640x272 [PAR 1:1 DAR 40:17], 23.98 tbr
print     Stream #0.1: Audio: mp3, 44100 Hz, stereo, s16, 128 kb/s
print At least one output file must be specified
exit 1
)";

// Debian 12's ffmpeg 5.1 on an MP4 file with a cover picture (recorded; stream numbers carry a
// ":", codecs their profile and tag, and the rates an "fps" field).
const char* const FfmpegTodayAnswer = R"([ffmpeg2.exe -i]
print Input #0, mov,mp4,m4a,3gp,3g2,mj2, from 'film.avi':
print   Metadata:
print     major_brand     : isom
print     compatible_brands: isomiso2avc1mp41
print   Duration: 00:01:40.04, start: 0.000000, bitrate: 138 kb/s
print   Stream #0:0[0x1](und): Video: h264 (High) (avc1 / 0x31637661), yuv420p(tv, bt709, progressive), 320x240 [SAR 1:1 DAR 4:3], 229 kb/s, 29.97 fps, 29.97 tbr, 30k tbn (default)
print     Metadata:
print       handler_name    : VideoHandler
print       vendor_id       : [0][0][0][0]
print   Stream #0:1[0x2](und): Audio: aac (LC) (mp4a / 0x6134706D), 48000 Hz, stereo, fltp, 128 kb/s (default)
print     Metadata:
print       handler_name    : SoundHandler
print   Stream #0:2[0x0]: Video: mjpeg (Baseline), yuvj444p(pc, bt470bg/unknown/unknown), 64x64 [SAR 1:1 DAR 1:1], 90k tbr, 90k tbn (attached pic)
print At least one output file must be specified
exit 1
)";

const char* const FfmpegNoDuration = R"([ffmpeg2.exe -i]
print   Duration: N/A, bitrate: N/A
print     Stream #0.0: Video: mpeg4, yuv420p, 640x272 [PAR 1:1 DAR 40:17], 23.98 tbr
exit 1
)";

class DetectFileTest : public TDetectionTest {
protected:
  std::string MakeSource(const std::string& Name)
  {
    const std::string Path = Dir + Name;
    WriteFile(Path, "not really a video");
    return Path;
  }
};

}  // namespace

TEST_F(DetectFileTest, RecordedIdentifyFillsTheRowAndTheStatusLineEndsTheRun)
{
  UseFakeTools(AviIdentify);
  const std::string Path = MakeSource("film.avi");
  DetectFile(Path);

  const int Row = 1;
  const std::vector<std::pair<int, std::string>> Want = {
      {scNumber, "00001"}, {scType, "VIDEO"}, {scName, "film"}, {scLength, "3.04"}, {scVideoFormat, "FMP4"},
      {scVideoCodec, "ffodivx"}, {scVideoBitrate, "336272"}, {scWidth, "320"}, {scHeight, "240"},
      {scFrameRate, "25.000"}, {scAspect, "1.3333"}, {scAudioFormat, "85"}, {scAudioCodec, ""},
      {scAudioBitrate, "64000"}, {scAudioRate, "44100"}, {scAudioChannels, "2"}, {scAudioTracks, "1 ?????"},
      {scSubtitleTracks, ""}, {scVideoOutput, "320x240 => 320x240 Planar YV12"}, {scSourcePath, Path},
      {scInputArgs, "\"" + Path + "\" "}, {scTrimStart, "0"}, {scTrimEnd, "3.04"}, {scDuration, "0:00:03"},
      {scZero32, "0"}, {scZero33, "0"}, {scConvert, "Yes"}, {scConvertSeconds, "3"}, {scOutputName, "film"},
      {scDisplayWidth, "320"}, {scDisplayHeight, "240"}, {scHistoryName, "film.avi"}, {scSubtitlesOn, "NO"},
  };
  for (const auto& [Col, Text] : Want) EXPECT_EQ(CellOf(Col, Row), Text) << "column " << Col;
  EXPECT_FALSE(CellOf(scAudioChoice, Row).empty());
  EXPECT_FALSE(ToolStalled) << "the status line, not the watchdog, ended the run";
  EXPECT_EQ(DetectRow, 0);
  EXPECT_EQ(Statuses.front(), "Scanning : film.avi");
  const auto Runs = ToolRuns();
  ASSERT_EQ(Runs.size(), 1u);
  EXPECT_EQ(Runs[0], (std::vector<std::string>{"mplayer.exe", "-af", "volume=-200", "-vo", "null", "-identify", Path,
                                               "-wid", "0"}));
}

TEST_F(DetectFileTest, APositionMarkInANameOrTitleDoesNotEndTheRun)
{
  // The same answer for a file in "TV: Season 1" with a clip title holding "V:" and "A:": only
  // the real status line at the end may stop the player.
  std::string Script = AviIdentify;
  const std::string After = "print AVI file format detected.\n";
  Script.replace(Script.find(After), After.size(),
                 After + "print ID_CLIP_INFO_VALUE0=Episode V: A New Hope\nprint ID_FILENAME=/media/TV: Season 1/film.avi\n" +
                     "sleep 150\n");  // the player takes a moment before the video keys
  UseFakeTools(Script);
  Form->detecttimer1->SetInterval(250);  // the pause must not look like a stall
  const std::string Path = MakeSource("film.avi");
  DetectFile(Path);
  EXPECT_EQ(CellOf(scWidth, 1), "320");
  EXPECT_EQ(CellOf(scLength, 1), "3.04");
  EXPECT_EQ(CellOf(scAudioRate, 1), "44100");
  EXPECT_FALSE(ToolStalled) << "the status line, not the watchdog, ended the run";
}

TEST_F(DetectFileTest, IncompleteAnswerIsIdentifiedAgainWithFfmpeg)
{
  struct TCase {
    const char* Name;
    std::string Ffmpeg;
    bool Addon;
    std::vector<std::pair<int, std::string>> Want;
  };
  const std::vector<TCase> Cases = {
      {"FfmpegFillsTheRow", FfmpegAnswer, true,
       {{scType, "VIDEO*"}, {scLength, "5025"}, {scTrimEnd, "5025"}, {scConvertSeconds, "5025"},
        {scDuration, "1:23:45"}, {scVideoFormat, "MPEG4"}, {scVideoCodec, "MPEG4"}, {scWidth, "640"},
        {scDisplayWidth, "640"}, {scHeight, "272"}, {scDisplayHeight, "272"}, {scFrameRate, "23.98 "},
        {scAudioFormat, "mp3"}, {scAudioCodec, "mp3"}, {scAudioRate, "44100"}}},
      {"TodaysFfmpegFillsTheRowTheSameWay", FfmpegTodayAnswer, true,
       {{scType, "VIDEO*"}, {scLength, "100"}, {scConvertSeconds, "100"}, {scDuration, "0:01:40"},
        {scVideoFormat, "H264"}, {scVideoCodec, "H264"}, {scWidth, "320"}, {scDisplayWidth, "320"}, {scHeight, "240"},
        {scDisplayHeight, "240"}, {scFrameRate, "29.97 "}, {scAudioFormat, "aac"}, {scAudioCodec, "aac"},
        {scAudioRate, "48000"}}},
      {"ADurationThatIsNoTimeKeepsMplayersLength", FfmpegNoDuration, true,
       {{scType, "VIDEO*"}, {scLength, "12.50"}, {scConvertSeconds, "12"}, {scDuration, "0:00:12"},
        {scWidth, "640"}}},
      {"WithoutTheAddonTheRowKeepsMplayersAnswer", FfmpegAnswer, false,
       {{scType, "VIDEO"}, {scLength, "12.50"}, {scWidth, "0"}, {scFrameRate, "23.976"}}},
  };
  for (const TCase& C : Cases) {
    SCOPED_TRACE(C.Name);
    ClearGridRows(Form->StringGrid1);
    Statuses.clear();
    std::filesystem::remove(Dir + "tool.log");
    UseFakeTools(std::string(IncompleteIdentify) + C.Ffmpeg);
    FfmpegAddonPresent = C.Addon;
    const std::string Path = MakeSource("film.avi");
    DetectFile(Path);
    for (const auto& [Col, Text] : C.Want) EXPECT_EQ(CellOf(Col, 1), Text) << "column " << Col;
    const auto Runs = ToolRuns();
    ASSERT_EQ(Runs.size(), C.Addon ? 2u : 1u);
    if (C.Addon) {
      EXPECT_EQ(Runs[1], (std::vector<std::string>{"ffmpeg2.exe", "-i", Path}));
      EXPECT_EQ(Statuses.back(), "Scanning restarted for film.avi");
    }
  }
}

TEST_F(DetectFileTest, MissingFrameRateIsForcedAndKeptForLaterRuns)
{
  UseFakeTools(R"([mplayer.exe -fps]
print ID_VIDEO_FPS=59.940
exit 0
[mplayer.exe -identify]
print ID_VIDEO_WIDTH=720
print ID_LENGTH=10.0
exit 0
)");
  const std::string Path = MakeSource("clip.mpg");
  DetectFile(Path);
  EXPECT_EQ(CellOf(scFrameRate, 1), "59.940");
  EXPECT_EQ(CellOf(scInputArgs, 1), "\"" + Path + "\" -fps 60000/1001 ");
  const auto Runs = ToolRuns();
  ASSERT_EQ(Runs.size(), 2u);
  EXPECT_EQ(Runs[1], (std::vector<std::string>{"mplayer.exe", "-af", "volume=-200", "-vo", "null", "-identify", Path,
                                               "-fps", "60000/1001", "-wid", "0"}));
}

TEST_F(DetectFileTest, PlayerAlternativeIsUsedOnlyWhenPresentAndWanted)
{
  UseFakeTools("[*]\nprint ID_VIDEO_FPS=25\nexit 0\n");
  struct TCase {
    bool Present, Wanted;
    const char* Tool;
  };
  for (const TCase& C : {TCase{true, true, "mplayer2.exe"}, TCase{true, false, "mplayer.exe"},
                         TCase{false, true, "mplayer.exe"}}) {
    std::filesystem::remove(Dir + "tool.log");
    PreviewFixPresent = C.Present;
    DetectionHost().DetectWithPlayerFix = C.Wanted;
    DetectFile(MakeSource("a.avi"));
    ASSERT_EQ(ToolRuns().size(), 1u);
    EXPECT_EQ(ToolRuns()[0][0], C.Tool);
  }
}

TEST_F(DetectFileTest, SideFilesAndNamesStripOnlyTheTrailingExtension)
{
  struct TCase {
    const char* Name;
    std::string Source;
    std::vector<std::string> SideFiles;
    std::string WantName;
    std::vector<std::string> WantSubtitleFiles;  // "SRT File:"/"SUB File:" + path
  };
  const std::vector<TCase> Cases = {
      {"SrtWithoutIdxLeavesTheSub", "film.avi", {"film.srt", "film.sub"}, "film", {"SRT File:@film.srt"}},
      {"SsaAndSubWithIdx", "film.avi", {"film.ssa", "film.sub", "film.idx"}, "film",
       {"SRT File:@film.ssa", "SUB File:@film.sub"}},
      {"AllThree", "film.avi", {"film.srt", "film.ssa", "film.sub", "film.idx"}, "film",
       {"SRT File:@film.srt", "SRT File:@film.ssa", "SUB File:@film.sub"}},
      {"ExtensionTwiceInTheName", "a.avi.b.avi", {"a.avi.b.srt", "a.b.srt"}, "a.avi.b", {"SRT File:@a.avi.b.srt"}},
      {"UpperCaseExtensionKeepsItsCase", "Film.AVI", {"Film.srt"}, "Film", {"SRT File:@Film.srt"}},
      {"SideFilesWithUpperCaseExtensions", "film.avi", {"film.SRT", "film.SUB", "film.IDX"}, "film",
       {"SRT File:@film.SRT", "SUB File:@film.SUB"}},
      {"TheExactNameComesFirst", "film.mkv", {"film.SRT", "film.Ssa", "film.srt"}, "film",
       {"SRT File:@film.srt", "SRT File:@film.Ssa"}},
      {"AnIdxInOtherCaseCompletesTheSub", "film.avi", {"film.sub", "film.Idx"}, "film", {"SUB File:@film.sub"}},
      {"TheNameItselfMustMatchExactly", "film.avi", {"FILM.srt", "film2.srt", "film.srt.bak"}, "film", {}},
  };
  UseFakeTools("[*]\nprint ID_VIDEO_FPS=25\nexit 0\n");
  for (const TCase& C : Cases) {
    SCOPED_TRACE(C.Name);
    std::filesystem::remove_all(Dir + "side");
    std::filesystem::create_directories(Dir + "side");
    ClearGridRows(Form->StringGrid1);
    const std::string Source = Dir + "side/" + C.Source;
    WriteFile(Source, "x");
    for (const auto& S : C.SideFiles) WriteFile(Dir + "side/" + S, "x");
    DetectFile(Source);
    std::string Want;
    for (std::string S : C.WantSubtitleFiles) {
      S.replace(S.find('@'), 1, Dir + "side/");
      Want += C.WantSubtitleFiles.size() == 1 ? S : S + "\r\n";
    }
    EXPECT_EQ(CellOf(scName, 1), C.WantName);
    EXPECT_EQ(CellOf(scOutputName, 1), C.WantName);
    EXPECT_EQ(CellOf(scSubtitleTracks, 1), Want);
  }
}

// Side files in a folder whose name holds a line break are left out, and the status says so; the
// track list never holds a cut path.
TEST_F(DetectFileTest, SideFilesWithALineBreakInTheirPathAreLeftOutWithAStatus)
{
  UseFakeTools("[*]\nprint ID_VIDEO_FPS=25\nexit 0\n");
  for (const std::string Folder : {"line\nbreak/", "cr\rfolder/"}) {
    SCOPED_TRACE(Folder);
    ClearGridRows(Form->StringGrid1);
    Statuses.clear();
    std::filesystem::create_directories(Dir + Folder);
    for (const char* F : {"film.avi", "film.srt", "film.sub", "film.idx"}) WriteFile(Dir + Folder + F, "x");
    DetectFile(Dir + Folder + "film.avi");
    EXPECT_EQ(CellOf(scSubtitleTracks, 1), "");
    int Said = 0;
    for (const std::string& S : Statuses) Said += S.find("Subtitle file left out") != std::string::npos;
    EXPECT_EQ(Said, 2);
  }
}

TEST_F(DetectFileTest, NamesReachTheToolAsExactlyOneArgument)
{
  UseFakeTools("[*]\nprint ID_VIDEO_WIDTH=320\nprint ID_VIDEO_FPS=25\nexit 0\n");
  const std::vector<std::string> Names = {"with blanks.avi", "quote \" and 'apostrophe'.avi", "-leading dash.avi",
                                          "back\\slash.avi", "Überraschung — 日本.mkv"};
  for (const auto& Name : Names) {
    SCOPED_TRACE(Name);
    std::filesystem::remove(Dir + "tool.log");
    ClearGridRows(Form->StringGrid1);
    const std::string Path = MakeSource(Name);
    DetectFile(Path);
    const auto Runs = ToolRuns();
    ASSERT_EQ(Runs.size(), 1u);
    ASSERT_EQ(Runs[0].size(), 9u);
    EXPECT_EQ(Runs[0][6], Path);
    EXPECT_EQ(CellOf(scSourcePath, 1), Path);
    EXPECT_EQ(CellOf(scHistoryName, 1), Name);
    EXPECT_EQ(CellOf(scConvert, 1), "Yes");
  }
}

TEST_F(DetectFileTest, ToolsThatAreMissingHangOrCrashEndWithAClearRow)
{
  struct TCase {
    const char* Name;
    std::string Scenario;  // "" = no player in the work folder
    std::string WantWidth;
    bool WantStalled;
    std::string WantType = "VIDEO";
  };
  // Without a picture width the file was not read: the row says so and is not converted.
  const std::vector<TCase> Cases = {
      {"MissingPlayer", "", "", false},
      {"SilentPlayerIsEndedByTheWatchdog", "[*]\nstall\n", "", true},
      {"PlayerThatTalksThenHangs", "[*]\nprint ID_VIDEO_WIDTH=320\nstall\n", "320", true},
      {"CrashingPlayer", "[*]\nprint ID_VIDEO_WIDTH=320\nexit 139\n", "320", false},
      {"HangingFfmpegFallbackIsEndedAsWell",
       "[mplayer.exe]\nprint ID_VIDEO_WIDTH=0\nprint ID_VIDEO_FPS=25\nexit 0\n[ffmpeg2.exe]\nstall\n", "0", true,
       "VIDEO*"},
  };
  for (const TCase& C : Cases) {
    SCOPED_TRACE(C.Name);
    ClearGridRows(Form->StringGrid1);
    Statuses.clear();
    WatchdogLog.clear();
    ToolStalled = false;
    if (C.Scenario.empty()) {
      for (const char* N : {"mplayer.exe", "mplayer2.exe", "ffmpeg2.exe"}) std::filesystem::remove(Work + N);
    } else {
      UseFakeTools(C.Scenario);
    }
    DetectionHost().ForcedFrameRate = "25";
    FfmpegAddonPresent = true;
    const std::string Path = MakeSource("broken.avi");
    DetectFile(Path);
    EXPECT_FALSE(ToolRunning);
    EXPECT_EQ(CellOf(scType, 1), C.WantType);
    EXPECT_EQ(CellOf(scName, 1), "broken");
    const bool Read = C.WantWidth != "" && C.WantWidth != "0";
    EXPECT_EQ(CellOf(scConvert, 1), Read ? "Yes" : "No");
    EXPECT_EQ(CellOf(scDuration, 1) == "Unreadable", !Read);
    const std::vector<std::string> Log = Items(Form->log->GetLines());
    EXPECT_EQ(!Log.empty() && Log.back().find("\"" + Path + "\" could not be read") == 0, !Read);
    Form->log->GetLines()->Clear();
    EXPECT_EQ(CellOf(scWidth, 1), C.WantWidth);
    EXPECT_EQ(ToolStalled, C.WantStalled) << "watchdog log: " << ::testing::PrintToString(WatchdogLog);
    if (C.WantStalled) {
      EXPECT_NE(std::find(WatchdogLog.begin(), WatchdogLog.end(), "killed"), WatchdogLog.end())
          << "statuses: " << ::testing::PrintToString(Statuses);
      ASSERT_FALSE(WatchdogLog.empty());
      EXPECT_EQ(WatchdogLog.front(), "Bad count:2");
    }
    if (C.Scenario.empty()) {
      ASSERT_FALSE(Statuses.empty());
      EXPECT_NE(Statuses.back().find("Could not start the tool"), std::string::npos) << Statuses.back();
    }
  }
}

TEST_F(DetectFileTest, StopPendingAddsNothing)
{
  UseFakeTools("[*]\nprint ID_VIDEO_FPS=25\nexit 0\n");
  StopRequested = true;
  DetectFile(MakeSource("a.avi"));
  EXPECT_EQ(UsedQueueRows(), 0);
  EXPECT_TRUE(ToolRuns().empty());
}

TEST_F(DetectFileTest, ALineCutByAReadIsParsedWhole)
{
  // The runner reports the first part of the line before the rest arrives (the pause stays
  // below the watchdog's eleven ticks of 20 ms).
  UseFakeTools("[*]\nprint ID_VIDEO_FPS=25\nwrite ID_VIDEO_WIDTH=7\nsleep 120\nprint 20\nexit 0\n");
  DetectFile(MakeSource("a.avi"));
  EXPECT_EQ(CellOf(scWidth, 1), "720");
}

TEST_F(DetectFileTest, EachSourceGetsItsOwnRow)
{
  UseFakeTools("[first.avi]\nprint ID_VIDEO_WIDTH=320\nprint ID_VIDEO_FPS=25\nexit 0\n"
               "[second.avi]\nprint ID_VIDEO_WIDTH=640\nprint ID_VIDEO_FPS=30\nexit 0\n");
  DetectFile(MakeSource("first.avi"));
  DetectFile(MakeSource("second.avi"));
  EXPECT_EQ(UsedQueueRows(), 2);
  EXPECT_EQ(CellOf(scNumber, 1), "00001");
  EXPECT_EQ(CellOf(scWidth, 1), "320");
  EXPECT_EQ(CellOf(scNumber, 2), "00002");
  EXPECT_EQ(CellOf(scWidth, 2), "640");
  EXPECT_EQ(CellOf(scFrameRate, 1), "25");
}
