// Identification and the DVD scan with the real mplayer and ffmpeg: small media made at test
// time with ffmpeg (and a DVD-Video folder with dvdauthor), identified through the runner, and
// the rows checked against what ffprobe says of the same files. A test whose tool is missing
// is skipped with a message.
#include <gtest/gtest.h>
#include <stdio.h>
#include <stdlib.h>

#include <cctype>
#include <cmath>
#include <iostream>
#include <map>
#include <random>

#include "tests/support/ShellCommands.h"
#include "DetectionTestSupport.h"
#include "core/SourceRow.h"
#include "core/qv_functions.h"
#include "platform/os/ToolLinks.h"

using namespace detecttest;

namespace {

// Standard output of a shell command.

// A small media file Dir/media/Name made by ffmpeg with Arguments (inputs and codecs).
std::string MakeMedia(const std::string& Dir, const std::string& Name, const std::string& Arguments)
{
  const std::string Path = Dir + "media/" + Name;
  std::filesystem::create_directories(Dir + "media");
  const std::string Command = "ffmpeg -v error -y " + Arguments + " " + qvtest::ShellQuoted(Path) + " 2>&1";
  const std::string Errors = qvtest::CommandOutput(Command);
  EXPECT_TRUE(std::filesystem::exists(Path)) << Command << "\n" << Errors;
  return Path;
}

// What ffprobe says of a file: "key=value" lines of its streams and format.
struct TProbe {
  int Width = 0, Height = 0;
  double Duration = 0, FrameRate = 0;
  std::vector<std::string> AudioLanguages, SubtitleLanguages;
};

TProbe Probe(const std::string& Path)
{
  TProbe P;
  std::istringstream In(qvtest::CommandOutput("ffprobe -v error -show_entries "
                                "stream=codec_type,width,height,avg_frame_rate:stream_tags=language:format=duration "
                                "-of default=nw=1 " +
                                qvtest::ShellQuoted(Path)));
  std::string Line, Type;
  while (std::getline(In, Line)) {
    const auto Eq = Line.find('=');
    if (Eq == std::string::npos) continue;
    const std::string Key = Line.substr(0, Eq), Value = Line.substr(Eq + 1);
    if (Key == "codec_type") Type = Value;
    if (Key == "width" && Type == "video") P.Width = std::stoi(Value);
    if (Key == "height" && Type == "video") P.Height = std::stoi(Value);
    if (Key == "avg_frame_rate" && Type == "video" && Value.find('/') != std::string::npos) {
      const double D = std::stod(Value.substr(Value.find('/') + 1));
      if (D > 0) P.FrameRate = std::stod(Value.substr(0, Value.find('/'))) / D;
    }
    if (Key == "TAG:language" && Type == "audio") P.AudioLanguages.push_back(Value);
    if (Key == "TAG:language" && Type == "subtitle") P.SubtitleLanguages.push_back(Value);
    if (Key == "duration" && Value != "N/A") P.Duration = std::stod(Value);
  }
  return P;
}

class RealToolDetection : public TDetectionTest {
protected:
  void SetUp() override
  {
    TDetectionTest::SetUp();
    for (const char* Tool : {"mplayer", "ffmpeg", "ffprobe"})
      if (qvtest::ProgramOnPath(Tool).empty()) GTEST_SKIP() << Tool << " is not installed: the real-tool identification is not tested";
    std::filesystem::create_symlink(qvtest::ProgramOnPath("mplayer"), Work + "mplayer.exe");
    std::filesystem::create_symlink(qvtest::ProgramOnPath("ffmpeg"), Work + "ffmpeg2.exe");
    FfmpegAddonPresent = true;
    // The real tools write their output in blocks to the pipe: the watchdog ticks once a second,
    // as in the program.
    Form->detecttimer1->SetInterval(1000);
    std::filesystem::create_directories(Dir + "home/.mplayer");
  }

  // A machine with sound: mplayer plays its audio to a null output and never says "no sound".
  void WithSoundOutput() { WriteFile(Dir + "home/.mplayer/config", "ao=null\nlirc=no\n"); }

  std::string Make(const std::string& Name, const std::string& Arguments) { return MakeMedia(Dir, Name, Arguments); }

  std::string MakeAvi(const std::string& Name = "clip.avi")
  {
    return Make(Name, "-f lavfi -i testsrc=size=320x240:rate=25 -f lavfi -i sine=frequency=440:sample_rate=44100 "
                      "-t 3 -c:v mpeg4 -c:a mp3");
  }

  double Number(int Col, int Row = 1) const { return StrToFloatSafe(CellOf(Col, Row)); }

  void ExpectMatchesProbe(const std::string& Path, int Row = 1)
  {
    const TProbe P = Probe(Path);
    ASSERT_GT(P.Width, 0) << "ffprobe gave no video stream for " << Path;
    EXPECT_EQ(CellOf(scWidth, Row), std::to_string(P.Width));
    EXPECT_EQ(CellOf(scHeight, Row), std::to_string(P.Height));
    EXPECT_NEAR(Number(scLength, Row), P.Duration, 1.0);
    EXPECT_EQ(CellOf(scConvertSeconds, Row), IntToStr(static_cast<int>(std::lround(Number(scLength, Row)))));
    EXPECT_EQ(CellOf(scSourcePath, Row), Path);
    EXPECT_EQ(CellOf(scConvert, Row), "Yes");
  }
};

}  // namespace

TEST_F(RealToolDetection, FilesAreIdentifiedAsFfprobeSeesThem)
{
  WithSoundOutput();
  struct TCase {
    const char* Name;
    std::string File;
    std::string Arguments;
  };
  const std::vector<TCase> Cases = {
      {"Avi", "clip.avi",
       "-f lavfi -i testsrc=size=320x240:rate=25 -f lavfi -i sine=frequency=440:sample_rate=44100 -t 3 -c:v mpeg4 "
       "-c:a mp3"},
      {"Mp4", "clip.mp4",
       "-f lavfi -i testsrc=size=352x288:rate=30 -f lavfi -i sine=frequency=300:sample_rate=48000 -t 3 -c:v mpeg4 "
       "-c:a aac"},
  };
  for (const TCase& C : Cases) {
    SCOPED_TRACE(C.Name);
    ClearGridRows(Form->StringGrid1);
    const std::string Path = Make(C.File, C.Arguments);
    DetectFile(Path);
    EXPECT_EQ(CellOf(scType, 1), "VIDEO");
    ExpectMatchesProbe(Path);
    EXPECT_NEAR(Number(scFrameRate), Probe(Path).FrameRate, 0.01);
    EXPECT_FALSE(CellOf(scVideoFormat, 1).empty());
    EXPECT_FALSE(CellOf(scAudioTracks, 1).empty());
    EXPECT_FALSE(ToolStalled) << "the player's first status line ends the identify run";
  }
}

TEST_F(RealToolDetection, MkvWithTwoAudioLanguagesAndASubtitle)
{
  WithSoundOutput();
  WriteFile(Dir + "sub.srt", "1\n00:00:00,500 --> 00:00:02,000\nHello\n\n");
  const std::string Path =
      Make("two languages.mkv",
           "-f lavfi -i testsrc=size=640x360:rate=24 -f lavfi -i sine=frequency=440:sample_rate=48000 -f lavfi -i "
           "sine=frequency=880:sample_rate=48000 -i " +
               qvtest::ShellQuoted(Dir + "sub.srt") +
               " -t 3 -map 0:v -map 1:a -map 2:a -map 3:s -c:v mpeg4 -c:a mp2 -c:s srt -metadata:s:a:0 language=eng "
               "-metadata:s:a:1 language=ger -metadata:s:s:0 language=eng");
  DetectFile(Path);
  ExpectMatchesProbe(Path);
  const TProbe P = Probe(Path);
  ASSERT_EQ(P.AudioLanguages.size(), 2u);
  ASSERT_EQ(P.SubtitleLanguages.size(), 1u);
  for (const auto& L : P.AudioLanguages)
    EXPECT_NE(CellOf(scAudioTracks, 1).find("_LANG=" + L), std::string::npos) << CellOf(scAudioTracks, 1);
  EXPECT_NE(CellOf(scSubtitleTracks, 1).find("_LANG=" + P.SubtitleLanguages[0]), std::string::npos)
      << CellOf(scSubtitleTracks, 1);
}

TEST_F(RealToolDetection, WithoutSoundTheFileIsIdentifiedAgainWithFfmpeg)
{
  // No sound output: mplayer says "Audio: no sound", and ffmpeg is asked as well.
  const std::string Path = MakeAvi();
  DetectFile(Path);
  EXPECT_EQ(CellOf(scType, 1), "VIDEO*");
  ExpectMatchesProbe(Path);
  EXPECT_EQ(CellOf(scDisplayWidth, 1), CellOf(scWidth, 1));
}

TEST_F(RealToolDetection, UnreadableFilesGiveARowThatSaysSoAndIsNotConverted)
{
  WithSoundOutput();
  std::filesystem::create_directories(Dir + "media");
  const std::string Noise = Dir + "media/-noise \"x\".avi";
  std::mt19937 Random(7);
  std::string Bytes(64 * 1024, '\0');
  for (char& B : Bytes) B = static_cast<char>(Random() & 0xFF);
  WriteFile(Noise, Bytes);
  // An MP4 cut short before its index: the tools find no stream in it.
  const std::string Whole = Make("whole.mp4", "-f lavfi -i testsrc=size=320x240:rate=25 -t 2 -c:v mpeg4");
  const std::string Cut = Dir + "media/cut.mp4";
  WriteFile(Cut, ReadFile(Whole).substr(0, 2048));
  DetectionHost().ForcedFrameRate = "25";
  for (const std::string& Path : {Noise, Cut}) {
    SCOPED_TRACE(Path);
    ClearGridRows(Form->StringGrid1);
    DetectFile(Path);
    EXPECT_FALSE(ToolRunning);
    EXPECT_EQ(CellOf(scSourcePath, 1), Path);
    EXPECT_EQ(StrToFloatSafe(CellOf(scWidth, 1)), 0.0);
    EXPECT_EQ(CellOf(scConvert, 1), "No");
    EXPECT_EQ(CellOf(scDuration, 1), "Unreadable");
  }
  EXPECT_EQ(CellOf(scName, 1), "cut");
}

TEST_F(RealToolDetection, DvdFolderTitlesAreScannedAndQueued)
{
  if (qvtest::ProgramOnPath("dvdauthor").empty()) GTEST_SKIP() << "dvdauthor is not installed: no DVD-Video folder can be made";
  WithSoundOutput();
  const std::string T1 = Make("t1.mpg", "-f lavfi -i testsrc=size=720x480:rate=30000/1001 -f lavfi -i "
                                        "sine=frequency=440:sample_rate=48000 -t 3 -target ntsc-dvd");
  const std::string T2 = Make("t2.mpg", "-f lavfi -i testsrc=size=720x480:rate=30000/1001 -f lavfi -i "
                                        "sine=frequency=300:sample_rate=48000 -t 5 -target ntsc-dvd");
  WriteFile(Dir + "dvd.xml", "<dvdauthor><vmgm /><titleset><titles><video format=\"ntsc\" /><audio lang=\"en\" />"
                             "<pgc><vob file=\"" + T1 + "\" chapters=\"0,0:01\" /></pgc>"
                             "<pgc><vob file=\"" + T2 + "\" /></pgc></titles></titleset></dvdauthor>");
  const std::string Disc = Dir + "Test Disc";
  const std::string Log =
      qvtest::CommandOutput("VIDEO_FORMAT=NTSC dvdauthor -o " + qvtest::ShellQuoted(Disc) + " -x " + qvtest::ShellQuoted(Dir + "dvd.xml") + " 2>&1");
  ASSERT_TRUE(std::filesystem::exists(Disc + "/VIDEO_TS/VIDEO_TS.IFO")) << Log;

  MinTitleSeconds = 1;
  ScanDvd(Disc, "Test Disc");
  ASSERT_EQ(UsedQueueRows(), 2);
  const std::string Paths[] = {T1, T2};
  for (int Row : {1, 2}) {
    SCOPED_TRACE(Row);
    const TProbe P = Probe(Paths[Row - 1]);
    EXPECT_EQ(CellOf(scType, Row), "DVD");
    EXPECT_EQ(CellOf(scName, Row), "Test Disc_" + std::to_string(Row));
    EXPECT_EQ(CellOf(scWidth, Row), std::to_string(P.Width));
    EXPECT_EQ(CellOf(scHeight, Row), std::to_string(P.Height));
    EXPECT_NEAR(Number(scLength, Row), P.Duration, 0.6);
    EXPECT_NEAR(Number(scFrameRate, Row), P.FrameRate, 0.01);
    EXPECT_NE(CellOf(scAudioTracks, Row).find("language: en"), std::string::npos) << CellOf(scAudioTracks, Row);
    EXPECT_EQ(CellOf(scInputArgs, Row), "-dvd-device \"" + Disc + "\"  dvdnav://" + std::to_string(Row) + " ");
  }
  EXPECT_EQ(CellOf(scChapters, 1), "2");
  EXPECT_EQ(CellOf(scVideoFormat, 2), "MPEG2") << "title 2 was described by its own scan";
}

namespace {

// The ffmpeg fallback alone with today's ffmpeg: a stand-in mplayer leaves the size at 0, so
// every file is identified again by the real ffmpeg, and the row is checked field by field
// against ffprobe.
class RealFfmpegFallback : public TDetectionTest {
protected:
  void SetUp() override
  {
    TDetectionTest::SetUp();
    for (const char* Tool : {"ffmpeg", "ffprobe"})
      if (qvtest::ProgramOnPath(Tool).empty()) GTEST_SKIP() << Tool << " is not installed: the ffmpeg fallback is not tested";
    UseFakeTools("[mplayer.exe]\nprint ID_VIDEO_WIDTH=0\nprint ID_VIDEO_HEIGHT=0\nprint ID_LENGTH=0\nexit 0\n",
                 {"mplayer.exe"});
    std::filesystem::create_symlink(qvtest::ProgramOnPath("ffmpeg"), Work + "ffmpeg2.exe");
    FfmpegAddonPresent = true;
    Form->detecttimer1->SetInterval(1000);
  }

  bool HasEncoders(std::initializer_list<const char*> Names)
  {
    const std::string List = qvtest::CommandOutput("ffmpeg -hide_banner -encoders 2>/dev/null");
    for (const char* Name : Names)
      if (List.find(std::string(" ") + Name + " ") == std::string::npos) return false;
    return true;
  }

  std::string Make(const std::string& Name, const std::string& Arguments) { return MakeMedia(Dir, Name, Arguments); }

  // ffprobe's values of the first video stream that is no cover picture, the first audio
  // stream and the file.
  std::map<std::string, std::string> ProbeStreams(const std::string& Path)
  {
    std::map<std::string, std::string> P;
    std::istringstream In(qvtest::CommandOutput("ffprobe -v error -show_entries stream=codec_type,codec_name,width,height,"
                                  "avg_frame_rate,sample_rate:stream_disposition=attached_pic:format=duration "
                                  "-of default " +
                                  qvtest::ShellQuoted(Path)));
    std::string Line;
    std::map<std::string, std::string> Stream;
    auto EndStream = [&] {
      const std::string Kind = Stream["codec_type"];
      if (Kind == "video" && Stream["DISPOSITION:attached_pic"] != "1" && !P.count("video.codec_name"))
        for (const auto& [K, V] : Stream) P["video." + K] = V;
      if (Kind == "audio" && !P.count("audio.codec_name"))
        for (const auto& [K, V] : Stream) P["audio." + K] = V;
      Stream.clear();
    };
    while (std::getline(In, Line)) {
      if (Line == "[/STREAM]") EndStream();
      const auto Eq = Line.find('=');
      if (Eq == std::string::npos) continue;
      const std::string Key = Line.substr(0, Eq), Value = Line.substr(Eq + 1);
      if (Key == "duration")
        P["duration"] = Value;
      else
        Stream[Key] = Value;
    }
    return P;
  }

  static double Ratio(const std::string& R)
  {
    const auto Slash = R.find('/');
    if (Slash == std::string::npos) return atof(R.c_str());
    const double D = atof(R.substr(Slash + 1).c_str());
    return D > 0 ? atof(R.substr(0, Slash).c_str()) / D : 0;
  }
};

}  // namespace

TEST_F(RealFfmpegFallback, RowHoldsWhatFfprobeSays)
{
  const bool H264 = HasEncoders({"libx264", "aac"});
  if (!H264) std::cout << "[ INFO ] no libx264/aac encoder: the MP4 clip is made with mpeg4/mp2\n";
  const std::string Source = "-f lavfi -i testsrc=size=320x240:rate=25 -f lavfi -i sine=frequency=440:sample_rate=44100 ";
  struct TCase {
    const char* Name;
    std::string File;
    std::string Arguments;
  };
  const std::vector<TCase> Cases = {
      {"Mp4", "clip.mp4", Source + "-t 3 " + (H264 ? "-c:v libx264 -c:a aac" : "-c:v mpeg4 -c:a mp2")},
      {"MkvNtscRateAndColourInfo", "clip.mkv",
       "-f lavfi -i testsrc=size=352x288:rate=30000/1001 -f lavfi -i sine=frequency=300:sample_rate=48000 -t 3 "
       "-c:v mpeg4 -c:a mp2 -color_primaries bt709 -color_trc bt709 -colorspace bt709"},
      {"Mp4WithCoverPicture", "cover.mp4",
       Source + "-f lavfi -i testsrc=size=64x64:rate=1 -t 3 -map 0 -map 1 -map 2 -frames:v:1 1 -c:v:0 mpeg4 "
                "-c:v:1 mjpeg -disposition:v:1 attached_pic -c:a " + (H264 ? "aac" : "mp2")},
  };
  for (const TCase& C : Cases) {
    SCOPED_TRACE(C.Name);
    ClearGridRows(Form->StringGrid1);
    const std::string Path = Make(C.File, C.Arguments);
    auto P = ProbeStreams(Path);
    ASSERT_TRUE(P.count("video.codec_name")) << "ffprobe found no video in " << Path;
    DetectFile(Path);
    ASSERT_EQ(CellOf(scType, 1), "VIDEO*") << "the fallback ran";
    std::string Codec = P["video.codec_name"];
    for (char& Ch : Codec) Ch = static_cast<char>(toupper(static_cast<unsigned char>(Ch)));
    EXPECT_EQ(CellOf(scVideoFormat, 1), Codec);
    EXPECT_EQ(CellOf(scVideoCodec, 1), Codec);
    EXPECT_EQ(CellOf(scWidth, 1), P["video.width"]);
    EXPECT_EQ(CellOf(scDisplayWidth, 1), P["video.width"]);
    EXPECT_EQ(CellOf(scHeight, 1), P["video.height"]);
    EXPECT_EQ(CellOf(scDisplayHeight, 1), P["video.height"]);
    EXPECT_NEAR(StrToFloatSafe(CellOf(scFrameRate, 1)), Ratio(P["video.avg_frame_rate"]), 0.01) << CellOf(scFrameRate, 1);
    EXPECT_EQ(CellOf(scInputArgs, 1), "\"" + Path + "\" ") << "a rate was found: no forced rate";
    EXPECT_EQ(CellOf(scAudioFormat, 1), P["audio.codec_name"]);
    EXPECT_EQ(CellOf(scAudioCodec, 1), P["audio.codec_name"]);
    EXPECT_EQ(CellOf(scAudioRate, 1), P["audio.sample_rate"]);
    EXPECT_NEAR(StrToFloatSafe(CellOf(scLength, 1)), atof(P["duration"].c_str()), 1.0);
  }
}
