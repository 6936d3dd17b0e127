// Every built-in encoding preset through the conversion driver, the work folder's tool links
// and the installed tools, on a 5-second clip made by ffmpeg: the job finishes, and the file
// has the container and codecs the preset is written for, the device's frame size, sound, and
// as many distinct pictures as decoded ones (a frozen picture shows as few distinct ones).
// The 5.1 presets and the DVD presets with copied sound read a clip with 5.1 AC-3 sound; the
// DVD presets' files author into a DVD-Video folder with dvdauthor. One test per preset, so
// that ctest runs them side by side. Skipped with a message when a tool is missing, and in the
// sanitizer build: the translation and the executor these runs go through are covered there by
// tooladapter_tests, and the tools themselves are not ours to check twice.
#include <gtest/gtest.h>
#include <stdio.h>
#include <stdlib.h>

#include <filesystem>
#include <map>
#include <set>
#include <sstream>

#include "JobListTestSupport.h"
#include "core/RunControl.h"
#include "core/qv_convert.h"
#include "platform/os/CommandLine.h"
#include "platform/os/Registry.h"
#include "platform/os/ToolLinks.h"
#include "tests/support/ShellCommands.h"
#include "tests/support/DistinctPictures.h"

using namespace jobtest;

#if defined(__SANITIZE_ADDRESS__)
#define QV_SANITIZED_BUILD 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define QV_SANITIZED_BUILD 1
#endif
#endif

namespace {

enum TSource { Stereo, Surround };

struct TPresetRow {
  const char* Id;
  const char* Screen;     // the device's frame size
  TSource Source;
  const char* Format;     // ffprobe's format name
  const char* Brand;      // the MP4 family's major brand ("" when not of that family)
  const char* Video;      // ffprobe's codec names ("" for none)
  const char* Audio;
  bool Dvd;               // authors with dvdauthor
};

std::ostream& operator<<(std::ostream& Out, const TPresetRow& Row) { return Out << Row.Id; }

constexpr const char* Mp4Family = "mov,mp4,m4a,3gp,3g2,mj2";

// clang-format off
const TPresetRow Rows[] = {
    {"3gp_aac_mp4",         "176x144", Stereo,   Mp4Family, "3gp4", "mpeg4",      "aac",    false},
    {"3gp1_aac",            "176x144", Stereo,   Mp4Family, "3gp4", "mpeg4",      "aac",    false},
    {"3gp1_amr-nb",         "176x144", Stereo,   Mp4Family, "3gp4", "h263",       "amr_nb", false},
    {"3gp1_amr-wb",         "176x144", Stereo,   Mp4Family, "3gp4", "mpeg4",      "amr_nb", false},
    {"3gp2_aac",            "176x144", Stereo,   Mp4Family, "3g2a", "mpeg4",      "aac",    false},
    {"amv_mp2",             "160x120", Stereo,   "avi",     "",     "mpeg4",      "mp2",    false},
    {"asf_wma_wme_sp",      "320x240", Stereo,   "asf",     "",     "wmv2",       "wmav2",  false},
    {"audio_mp3",           "320x240", Stereo,   "mp3",     "",     "",           "mp3",    false},
    {"divx_mp3",            "320x240", Stereo,   "avi",     "",     "mpeg4",      "mp3",    false},
    {"divx4_copy",          "320x240", Stereo,   "avi",     "",     "mpeg4",      "mp3",    false},
    {"divx4_mp3",           "320x240", Stereo,   "avi",     "",     "mpeg4",      "mp3",    false},
    {"divx5_copy",          "320x240", Stereo,   "avi",     "",     "mpeg4",      "mp3",    false},
    {"divx5_mp3",           "320x240", Stereo,   "avi",     "",     "mpeg4",      "mp3",    false},
    {"divx5_mp3_cam",       "320x240", Stereo,   "avi",     "",     "mpeg4",      "mp3",    false},
    {"divx5_mp3_palm",      "320x240", Stereo,   "avi",     "",     "mpeg4",      "mp3",    false},
    {"flv_mp3",             "320x240", Stereo,   "flv",     "",     "flv1",       "mp3",    false},
    {"h264_5.1",            "320x240", Surround, Mp4Family, "qt  ", "h264",       "aac",    false},
    {"h264_5.1_hq",         "320x240", Surround, Mp4Family, "qt  ", "h264",       "aac",    false},
    {"h264_5.1_mp4",        "320x240", Surround, Mp4Family, "qt  ", "h264",       "aac",    false},
    {"h264_5.1_mp4_hq",     "320x240", Surround, Mp4Family, "qt  ", "h264",       "aac",    false},
    {"h264_appletv",        "320x240", Stereo,   Mp4Family, "isom", "h264",       "aac",    false},
    {"h264_appletv_hq",     "320x240", Stereo,   Mp4Family, "isom", "h264",       "aac",    false},
    {"h264_ipod",           "320x240", Stereo,   Mp4Family, "isom", "h264",       "aac",    false},
    {"h264_ipod_hq",        "320x240", Stereo,   Mp4Family, "isom", "h264",       "aac",    false},
    {"h264_lv31",           "320x240", Stereo,   Mp4Family, "isom", "h264",       "aac",    false},
    {"h264_lv31_hq",        "320x240", Stereo,   Mp4Family, "isom", "h264",       "aac",    false},
    {"h264_ps3",            "320x240", Stereo,   Mp4Family, "MSNV", "h264",       "aac",    false},
    {"h264_ps3_hq",         "320x240", Stereo,   Mp4Family, "MSNV", "h264",       "aac",    false},
    {"h264_psp",            "320x240", Stereo,   Mp4Family, "MSNV", "h264",       "aac",    false},
    {"h264_psp_hq",         "320x240", Stereo,   Mp4Family, "MSNV", "h264",       "aac",    false},
    {"h264_psp2",           "320x240", Stereo,   Mp4Family, "MSNV", "h264",       "aac",    false},
    {"h264_xbox",           "320x240", Stereo,   Mp4Family, "isom", "h264",       "aac",    false},
    {"h264_xbox_hq",        "320x240", Stereo,   Mp4Family, "isom", "h264",       "aac",    false},
    {"mpeg1_rockbox",       "320x240", Stereo,   "mpeg",    "",     "mpeg1video", "mp3",    false},
    {"mpeg2_copy",          "720x480", Surround, "mpeg",    "",     "mpeg2video", "ac3",    true},
    {"mpeg2_copy_hq",       "720x480", Surround, "mpeg",    "",     "mpeg2video", "ac3",    true},
    {"mpeg2_mp2",           "720x480", Stereo,   "mpeg",    "",     "mpeg2video", "mp2",    true},
    {"mpeg2_mp2_hq",        "720x480", Stereo,   "mpeg",    "",     "mpeg2video", "mp2",    true},
    {"mpeg2_rockbox",       "320x240", Stereo,   "mpeg",    "",     "mpeg2video", "mp3",    false},
    {"mpeg4_ipod",          "320x240", Stereo,   Mp4Family, "isom", "mpeg4",      "aac",    false},
    {"mpeg4_psp",           "320x240", Stereo,   Mp4Family, "MSNV", "mpeg4",      "aac",    false},
    {"msmpeg4_mp3",         "320x240", Stereo,   "avi",     "",     "msmpeg4v3",  "mp3",    false},
    {"wmv_wma",             "320x240", Stereo,   "asf",     "",     "wmv2",       "wmav2",  false},
    {"wmv_wma_hq",          "320x240", Stereo,   "asf",     "",     "wmv2",       "wmav2",  false},
    {"wmv7_wma_wme",        "320x240", Stereo,   "asf",     "",     "wmv1",       "wmav2",  false},
    {"wmv8_wma_wme",        "320x240", Stereo,   "asf",     "",     "wmv2",       "wmav2",  false},
    {"wmv9_wma_wme",        "320x240", Stereo,   "asf",     "",     "wmv2",       "wmav2",  false},
    {"wmv9_wma_wme_mixmax", "320x240", Stereo,   "asf",     "",     "wmv2",       "wmav2",  false},
    {"wmv9_wma_wme_sp",     "320x240", Stereo,   "asf",     "",     "wmv2",       "wmav2",  false},
    {"xvid_copy",           "320x240", Stereo,   "avi",     "",     "mpeg4",      "mp3",    false},
    {"xvid_mp2",            "320x240", Stereo,   "avi",     "",     "mpeg4",      "mp2",    false},
    {"xvid_mp3",            "320x240", Stereo,   "avi",     "",     "mpeg4",      "mp3",    false},
    {"xvid_mp3_sansa",      "320x240", Stereo,   "avi",     "",     "mpeg4",      "mp3",    false},
};
// clang-format on

// ffprobe's answers as "key=value" per line; stream entries get "video." or "audio." in front.
std::map<std::string, std::string> Probe(const std::string& File)
{
  std::map<std::string, std::string> Facts;
  std::istringstream Lines(qvtest::CommandOutput("ffprobe -v error -show_entries format=format_name:format_tags=major_brand:"
                                   "stream=codec_type,codec_name,width,height -of default=nw=1 " +
                                   qvtest::ShellQuoted(File)));
  std::string Line, Stream, Type;
  std::map<std::string, std::string> Pending;
  auto Flush = [&]() {
    if (!Type.empty() && !Facts.count(Type + ".codec_name"))
      for (const auto& [K, V] : Pending) Facts[Type + "." + K] = V;
    Pending.clear();
    Type.clear();
  };
  while (std::getline(Lines, Line)) {
    const std::size_t Eq = Line.find('=');
    if (Eq == std::string::npos) continue;
    std::string Key = Line.substr(0, Eq), Value = Line.substr(Eq + 1);
    if (Key == "codec_name") Flush();
    if (Key == "codec_type") Type = Value;
    if (Key == "format_name" || Key == "TAG:major_brand") {
      Flush();
      Facts[Key] = Value;
    } else {
      Pending[Key] = Value;
    }
  }
  Flush();
  return Facts;
}

class TPresetTableRealTools : public TJobTest, public ::testing::WithParamInterface<TPresetRow> {
protected:
  void SetUp() override
  {
    TJobTest::SetUp();
#ifdef QV_SANITIZED_BUILD
    GTEST_SKIP() << "the preset table runs in the normal build only";
#endif
    for (const char* T : {"mencoder", "ffmpeg", "ffprobe", "sox"})
      if (qvtest::ProgramOnPath(T).empty()) GTEST_SKIP() << T << " is not installed: no real conversion";
    if (GetParam().Dvd && qvtest::ProgramOnPath("dvdauthor").empty()) GTEST_SKIP() << "dvdauthor is not installed";
    const char* Path = getenv("PATH");
    qv::os::ProvideToolLinks(WorkFolder, Path ? Path : "", QV_TOOL_ADAPTER);
    std::filesystem::create_directories(WorkFolder + "temp");
    SetRegistryFileName(WorkFolder + "registry.ini");
    std::filesystem::create_directories(Dir + "media");
    Clip = Dir + "media/My \"Clip\".avi";
    const std::string Sound = GetParam().Source == Surround
                                  ? "-f lavfi -i sine=frequency=440:sample_rate=48000 -c:a ac3 -ac 6 -b:a 384k"
                                  : "-f lavfi -i sine=frequency=440:sample_rate=44100 -c:a mp3 -ac 2";
    qvtest::CommandOutput("ffmpeg -nostdin -v error -y -f lavfi -i testsrc=size=320x240:rate=30000/1001 " + Sound +
            " -t 5 -c:v mpeg4 -q:v 3 " + qvtest::ShellQuoted(Clip));
    ASSERT_TRUE(std::filesystem::exists(Clip));
    ConversionOptions = TConversionOptions();
    ConversionOptions.NoCropping = true;
    RunHooks = TRunHooks();
    RunHooks.AddToHistory = [](int) {};
    InstallRunControl();
    BatchRunning = false;
  }
  void TearDown() override
  {
    RunHooks = TRunHooks();
    SetRegistryFileName("");
    TJobTest::TearDown();
  }
  std::string Clip;
};

}  // namespace

TEST_P(TPresetTableRealTools, MakesTheFileThePresetIsWrittenFor)
{
  const TPresetRow& Row = GetParam();
  TDevice D;
  D.Name = "Preset Device";
  D.Preset = Row.Id;
  D.Screen = Row.Screen;
  D.FrameRate = "30";
  AddDevice(D);
  AddSource("My Clip", {{scLength, "5.00"}, {scWidth, "320"}, {scHeight, "240"}, {scDisplayWidth, "320"},
                        {scDisplayHeight, "240"}, {scTrimEnd, "5.00"}, {scConvertSeconds, "5"}, {scSourcePath, Clip},
                        {scFrameRate, "29.970"},
                        {scInputArgs, qv::os::QuoteCommandLinePath(Clip) + " "}});
  GoClick();
  ASSERT_GE(JobRows(), 1);
  const int R = JobRows();
  ASSERT_EQ(Job(jcStatus, R).substr(0, 8), "Finished") << JobFailureReason(R) << Form->log->GetText();
  SCOPED_TRACE(Form->Edit1->GetText());
  const std::string File = Job(jcOutFolder, R) + Job(jcFileName, R);
  ASSERT_TRUE(std::filesystem::exists(File)) << File;

  std::map<std::string, std::string> Facts = Probe(File);
  EXPECT_EQ(Facts["format_name"], Row.Format);
  if (Row.Brand[0]) {
    EXPECT_EQ(Facts["TAG:major_brand"], Row.Brand);
  }
  EXPECT_EQ(Facts["audio.codec_name"], Row.Audio) << "sound";
  EXPECT_EQ(Facts["video.codec_name"], Row.Video);
  if (Row.Video[0]) {
    std::string Size = Job(jcOutputSize, R);
    if (Size.find(" x ") != std::string::npos) Size.replace(Size.find(" x "), 3, "x");
    EXPECT_EQ(Facts["video.width"] + "x" + Facts["video.height"], Size);
    const qvtest::TPictureCount Pictures = qvtest::CountPictures(File);
    EXPECT_GE(Pictures.Decoded, 50) << "pictures decoded from a 5-second clip";
    EXPECT_EQ(Pictures.Distinct, Pictures.Decoded) << "every decoded picture differs from the others";
  }
  if (Row.Dvd) {
    const std::string Disc = Dir + "disc";
    const std::string Out = qvtest::CommandOutput("export VIDEO_FORMAT=NTSC; dvdauthor -o " + qvtest::ShellQuoted(Disc) + " -t " + qvtest::ShellQuoted(File) +
                                    " 2>&1 && dvdauthor -o " + qvtest::ShellQuoted(Disc) + " -T 2>&1; echo rc=$?");
    EXPECT_NE(Out.find("rc=0"), std::string::npos) << Out;
    EXPECT_TRUE(std::filesystem::exists(Disc + "/VIDEO_TS/VTS_01_1.VOB")) << Out;
  }
}

INSTANTIATE_TEST_SUITE_P(Presets, TPresetTableRealTools, ::testing::ValuesIn(Rows),
                         [](const ::testing::TestParamInfo<TPresetRow>& Info) {
                           std::string Name = Info.param.Id;
                           for (char& C : Name) {
                             if (!isalnum(static_cast<unsigned char>(C))) C = '_';
                           }
                           return Name;
                         });

// The table covers the built-in presets one to one.
TEST(PresetTableRealToolsRows, OneRowPerBuiltInPreset)
{
  std::set<std::string> Ids;
  for (int I = 0; I < CodecPresetCount; ++I) Ids.insert(CodecPresetDefinitions()[I].Id);
  std::set<std::string> Table;
  for (const TPresetRow& Row : Rows) Table.insert(Row.Id);
  EXPECT_EQ(Table, Ids);
}
