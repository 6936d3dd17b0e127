// The tool adapter's translation: command lines as the program builds them, split as the
// process runner splits them, and the plans they become.
#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "core/CodecPresets.h"
#include "platform/os/CommandLine.h"
#include "tools/adapter/ToolPlan.h"

using qv::tools::DescribeToolPlan;
using qv::tools::TranslateToolCommand;
using qv::tools::TToolPlan;

namespace {

// A command line of the program ("\"/w/mencoder.exe\" ...") translated as the adapter does it.
TToolPlan Translate(const std::string& CommandLine)
{
  std::vector<String> Argv = qv::os::SplitCommandLine(CommandLine);
  const std::string Name = Argv.empty() ? std::string() : Argv[0];
  Argv.erase(Argv.begin());
  return TranslateToolCommand(Name, Argv, "/T");
}

struct TGoldenCase {
  const char* Name;
  const char* CommandLine;
  const char* Plan;
  const char* Output;
};

// clang-format off
const TGoldenCase GoldenCases[] = {
    // The lines of the program's own command-line tests.
    {"MencoderOnePartOfAnAvi",
     "\"/w/mencoder.exe\" \"/v/in.avi\"    -ofps 15  -vf crop=704:560:8:8,harddup,scale=480:272, -ovc xvid "
     "-oac mp3lame -xvidencopts bitrate=800  -noautosub -forcedsubsonly -o \"/out/Dev/Clip.avi\"",
     "mencoder -demuxer lavf /v/in.avi -ofps 15 -vf crop=704:560:8:8,harddup,scale=480:272, -ovc xvid -oac mp3lame -xvidencopts bitrate=800 -noautosub -forcedsubsonly -o /out/Dev/Clip.avi",
     "/out/Dev/Clip.avi"},
    {"MencoderRawAudio",
     "\"/w/mencoder.exe\" \"/v/in.avi\"   -ovc copy -oac mp3lame -of rawaudio  -noautosub -forcedsubsonly -o "
     "\"/out/Dev/Clip.mp3\"",
     "mencoder -demuxer lavf /v/in.avi -ovc copy -oac mp3lame -of rawaudio -noautosub -forcedsubsonly -o /out/Dev/Clip.mp3",
     "/out/Dev/Clip.mp3"},
    {"MencoderDvdChapterPartKeepsItsDemuxer",
     "\"/w/mencoder.exe\" -dvd-device \"/mnt/dvd\" dvd://3  -chapter 4-6   -ofps 15  -vf harddup,scale=480:272, "
     "-ovc xvid -oac mp3lame -xvidencopts bitrate=800  -noautosub -forcedsubsonly -o \"/out/Dev/Clip02.avi\"",
     "mencoder -dvd-device /mnt/dvd dvd://3 -chapter 4-6 -ofps 15 -vf harddup,scale=480:272, -ovc xvid -oac mp3lame -xvidencopts bitrate=800 -noautosub -forcedsubsonly -o /out/Dev/Clip02.avi",
     "/out/Dev/Clip02.avi"},
    {"MencoderOddOutputNameStaysOneArgument",
     "\"/w/mencoder.exe\" \"/v/in.avi\"     -vf harddup,scale=480:272, -ovc xvid -oac mp3lame -xvidencopts "
     "bitrate=800  -noautosub -forcedsubsonly -o \"/out/Dev/-rf \"\"odd\"\"\\name.avi\"",
     "mencoder -demuxer lavf /v/in.avi -vf harddup,scale=480:272, -ovc xvid -oac mp3lame -xvidencopts bitrate=800 -noautosub -forcedsubsonly -o \"/out/Dev/-rf \"\"odd\"\"\\name.avi\"",
     "/out/Dev/-rf \"odd\"\\name.avi"},
    {"MencoderSourceOfKindVideoKeepsItsDemuxerAndRate",
     "\"/w/mencoder.exe\" -fps 25 -demuxer lavf  \"/v/in.avi\"  -ovc lavc -lavcopts vcodec=mpeg4 -o \"/o/a.avi\"",
     "mencoder -fps 25 -demuxer lavf /v/in.avi -ovc lavc -lavcopts vcodec=mpeg4 -o /o/a.avi",
     "/o/a.avi"},
    {"WmeOnePart",
     "\"/w/qvcscript.exe\" \"/w/wmcmd.vbs\" -input \"/v/in.avi\" -v_clip 8 8 8 8  -v_width 320 -v_height 240 -time "
     "60000 300000 -v_codec WMV9 -v_bitrate 800000 -v_mode 0 -a_setting 128_44_2 -output \"/out/Clip.wmv\"",
     "ffmpeg -nostdin -hide_banner -ss 60 -i /v/in.avi -t 240 -vf crop=iw-16:ih-16:8:8,scale=320:240 -c:v wmv2 -b:v 800000 -c:a wmav2 -b:a 128k -f asf -y /out/Clip.wmv",
     "/out/Clip.wmv"},
    {"WmeFirstOfTwoParts",
     "\"/w/qvcscript.exe\" \"/w/wmcmd.vbs\" -input \"/v/in.avi\" -v_codec WMV7 -v_bitrate 800000 -v_mode 0 "
     "-a_setting 128_44_2 -v_clip 8 8 8 8  -v_width 320 -v_height 240 -time 60000 300000 -v_keydist 5 -output "
     "\"/out/Clip01.wmv\"",
     "ffmpeg -nostdin -hide_banner -ss 60 -i /v/in.avi -t 240 -vf crop=iw-16:ih-16:8:8,scale=320:240 -c:v wmv1 -b:v 800000 -force_key_frames expr:gte(t,n_forced*5) -c:a wmav2 -b:a 128k -f asf -y /out/Clip01.wmv",
     "/out/Clip01.wmv"},
    {"WmeToTheEnd",
     "\"/w/qvcscript.exe\" \"/w/wmcmd.vbs\" -input \"/v/in.avi\"   -v_width 320 -v_height 240 -v_framerate 15 -time 0 end "
     "-v_codec WMV8 -v_performance 0 -v_bitrate 500000 -v_mode 3 -a_setting 64_44_1 -output \"/out/Clip.wmv\"",
     "ffmpeg -nostdin -hide_banner -i /v/in.avi -vf scale=320:240 -r 15 -c:v wmv2 -b:v 500000 -c:a wmav2 -b:a 64k -f asf -y /out/Clip.wmv",
     "/out/Clip.wmv"},
    {"FfmpegOnePart",
     "\"/w/ffmpeg.exe\" -i \"/v/in.avi\" -y -f psp -vcodec h264 -b 800 -croptop 8  -s 320x240 -r 15 -ss 60 -t 240 "
     "\"/out/Clip.MP4\"",
     "ffmpeg -nostdin -i /v/in.avi -y -f psp -vcodec libx264 -b:v 800k -s 320x240 -r 15 -ss 60 -t 240 -vf crop=iw-0:ih-8:0:8 /out/Clip.MP4",
     "/out/Clip.MP4"},
    {"FfmpegAllRemovedOptions",
     "\"/w/ffmpeg2.exe\" -i \"/v/in.avi\" -y -f psp -vcodec xvid -b 800 -maxrate 2500k -acodec aac -ac 2 -ab 96k "
     "-vol 512 -croptop 8 -cropbottom 8 -cropleft 4 -cropright 0 -s 320:240 \"/out/Clip3.MP4\"",
     "ffmpeg -nostdin -i /v/in.avi -y -f psp -vcodec libxvid -b:v 800k -maxrate 2500k -acodec aac -ac 2 -b:a 96k -s 320x240 -af volume=2 -vf crop=iw-4:ih-16:4:8 /out/Clip3.MP4",
     "/out/Clip3.MP4"},
    {"FfmpegFrameGrab",
     "\"/w/ffmpeg.exe\" -y -i \"/w/temp/temp.avi\" -f image2 -vframes 1 -an \"/w/temp/temp.jpg\"",
     "ffmpeg -nostdin -y -i /w/temp/temp.avi -f image2 -vframes 1 -an /w/temp/temp.jpg",
     "/w/temp/temp.jpg"},
    {"FfmpegIdentifyHasNoOutput", "\"/w/ffmpeg2.exe\" -i \"/v/My \"\"Clip\"\".avi\"",
     "ffmpeg -nostdin -i \"/v/My \"\"Clip\"\".avi\"", ""},
    // The rules.
    {"AacThroughThePipe",
     "\"/w/mencoder.exe\" \"/v/a b.avi\"    -vf harddup,scale=320:240, -ovc lavc -oac faac -faacopts "
     "br=96:mpeg=4:object=2:raw -lavcopts aglobal=1:vglobal=1:vcodec=mpeg4:vbitrate=800 -of lavf -lavfopts format=3g2 "
     "-af channels=2,volume=5:resample=24000 -srate 24000 -o \"/out/a b.3g2\"",
     "mencoder -demuxer lavf \"/v/a b.avi\" -vf harddup,scale=320:240, -ovc lavc -oac pcm -lavcopts aglobal=1:vglobal=1:vcodec=mpeg4:vbitrate=800 -of lavf -lavfopts format=nut -af channels=2,volume=5:resample=24000 -srate 24000 -o /dev/fd/10 | ffmpeg -nostdin -hide_banner -loglevel error -f nut -i pipe:10 -map 0:v? -map 0:a? -c:v copy -c:a aac -b:a 96k -f 3g2 -y \"/out/a b.3g2\"",
     "/out/a b.3g2"},
    {"AacFirstPassOfTwo",
     "\"/w/mencoder.exe\" \"/v/in.mkv\"    -vf harddup,scale=320:240, -ovc x264 -x264encopts "
     "turbo=2:threads=auto:pass=1:bitrate=800:nocabac:level_idc=13:global_header -oac faac -faacopts br=128 -of lavf "
     "-lavfopts format=mp4 -af channels=2,volume=5 -passlogfile \"/w/temp/Clip.txt\" -o \"/out/Clip.mp4\"",
     "mencoder /v/in.mkv -vf harddup,scale=320:240, -ovc x264 -x264encopts threads=auto:pass=1:bitrate=800:nocabac:level_idc=13:global_header:bframes=0:no8x8dct:weightp=0 -oac pcm -of lavf -lavfopts format=nut -af channels=2,volume=5 -passlogfile /w/temp/Clip.txt -o /dev/fd/10 | ffmpeg -nostdin -hide_banner -loglevel error -f nut -i pipe:10 -map 0:v? -map 0:a? -c:v copy -c:a aac -b:a 128k -f mp4 -y /out/Clip.mp4",
     "/out/Clip.mp4"},
    {"AacWithoutARate",
     "\"/w/mencoder.exe\" \"/v/in.mkv\" -ovc lavc -oac faac -of lavf -lavfopts format=mov -o \"/out/Clip.mov\"",
     "mencoder /v/in.mkv -ovc lavc -oac pcm -of lavf -lavfopts format=nut -o /dev/fd/10 | ffmpeg -nostdin -hide_banner -loglevel error -f nut -i pipe:10 -map 0:v? -map 0:a? -c:v copy -c:a aac -b:a 128k -f mov -y /out/Clip.mov",
     "/out/Clip.mov"},
    {"AmrNbThroughSox",
     "\"/w/mencoder.exe\" \"/v/in.mkv\"    -vf harddup,scale=176:144, -ovc lavc -oac lavc -lavcopts "
     "aglobal=1:vglobal=1:vcodec=h263:acodec=libamr_nb:vbitrate=200:abitrate=7950 -of lavf -lavfopts format=3gp "
     "-af channels=1,volume=5:resample=8000 -srate 8000 -o \"/out/Clip.3gp\"",
     "mencoder /v/in.mkv -vf harddup,scale=176:144, -ovc lavc -oac pcm -lavcopts aglobal=1:vglobal=1:vcodec=h263:vbitrate=200 -of lavf -lavfopts format=nut -af channels=1,volume=5:resample=8000 -srate 8000 -o /dev/fd/10 | ffmpeg -nostdin -hide_banner -loglevel error -f nut -i pipe:10 -map 0:v -c copy -f nut -y /T/video.nut -map 0:a -c:a pcm_s16le -ac 1 -ar 8000 -f wav pipe:11 | sox -q -t wav /dev/fd/11 -t amr-nb -C 5 /T/audio.amr ;; ffmpeg -nostdin -hide_banner -loglevel error -i /T/video.nut -i /T/audio.amr -map 0:v -map 1:a -c copy -f 3gp -y /out/Clip.3gp",
     "/out/Clip.3gp"},
    {"Mp2ThroughTwolameWithTheVideoOptionsKept",
     "\"/w/mencoder2.exe\" \"/v/in.mkv\"    -vf harddup,scale=320:240, -ovc lavc -oac lavc -lavcopts "
     "threads=4:vcodec=mpeg4:acodec=mp2:abitrate=160 -o \"/out/Clip.avi\"",
     "mencoder /v/in.mkv -vf harddup,scale=320:240, -ovc lavc -oac twolame -lavcopts threads=4:vcodec=mpeg4 -twolameopts br=160 -o /out/Clip.avi",
     "/out/Clip.avi"},
    {"Mp2GivenAsBr",
     "\"/w/mencoder.exe\" \"/v/in.mkv\" -ovc xvid -oac lavc -lavcopts acodec=mp2:br=192 -xvidencopts "
     "threads=2:bitrate=800 -o \"/out/Clip.avi\"",
     "mencoder /v/in.mkv -ovc xvid -oac twolame -xvidencopts threads=2:bitrate=800 -twolameopts br=192 -o /out/Clip.avi",
     "/out/Clip.avi"},
    {"RemovedLavcOptions",
     "\"/w/mencoder.exe\" \"/v/in.mkv\" -ovc lavc -oac copy -lavcopts "
     "vcodec=mpeg2video:trell:cbp:mv0:naq:qprd:vqmin=1:lmin=1:lmax=31:dc=10 -o \"/out/Clip.avi\"",
     "mencoder /v/in.mkv -ovc lavc -oac copy -lavcopts vcodec=mpeg2video:trell:vqmin=1:dc=10:o=mpv_flags=+cbp_rd+mv0+naq+qp_rd,lmin=118,lmax=3658 -o /out/Clip.avi",
     "/out/Clip.avi"},
    {"X264KeepsWhatTheTemplateSays",
     "\"/w/mencoder.exe\" \"/v/in.mkv\" -ovc x264 -x264encopts bitrate=800:bframes=2:8x8dct:weightp=1 -oac mp3lame "
     "-o \"/out/Clip.avi\"",
     "mencoder /v/in.mkv -ovc x264 -x264encopts bitrate=800:bframes=2:8x8dct:weightp=1 -oac mp3lame -o /out/Clip.avi",
     "/out/Clip.avi"},
    {"DvdProgramStream",
     "\"/w/mencoder.exe\" \"/v/in.mkv\"     -vf harddup,scale=720:480, -of mpeg -mpegopts format=dvd:tsaf -ovc lavc "
     "-oac twolame -ofps 30000/1001 -lavcopts vcodec=mpeg2video:vbitrate=5000:keyint=15 -o \"/out/Clip.mpg\"",
     "mencoder /v/in.mkv -vf harddup,scale=720:480, -of mpeg -mpegopts format=dvd:tsaf:telecine -ovc lavc -oac twolame -ofps 24000/1001 -lavcopts vcodec=mpeg2video:vbitrate=5000:keyint=15:aspect=4/3 -srate 48000 -o /out/Clip.mpg",
     "/out/Clip.mpg"},
    {"DvdWideScreenWithCopiedSound",
     "\"/w/mencoder.exe\" \"/v/in.vob\"     -vf harddup,scale=854:480, -of mpeg -mpegopts format=dvd:tsaf -ovc lavc "
     "-oac copy -ofps 30000/1001 -lavcopts vcodec=mpeg2video:vbitrate=5000 -o \"/out/Clip.mpg\"",
     "mencoder /v/in.vob -vf harddup,scale=854:480, -of mpeg -mpegopts format=dvd:tsaf:telecine -ovc lavc -oac copy -ofps 24000/1001 -lavcopts vcodec=mpeg2video:vbitrate=5000:aspect=16/9 -o /out/Clip.mpg",
     "/out/Clip.mpg"},
    {"Mpeg1ProgramStreamThroughLibavformat",
     "\"/w/mencoder.exe\" \"/v/in.mkv\" -of mpeg -ovc lavc -oac mp3lame -lavcopts vcodec=mpeg1video:vbitrate=800 "
     "-o \"/out/Clip.mpg\"",
     "mencoder /v/in.mkv -of lavf -ovc lavc -oac mp3lame -lavcopts vcodec=mpeg1video:vbitrate=800 -lavfopts format=mpeg -o /out/Clip.mpg",
     "/out/Clip.mpg"},
    {"Mp4BoxRewrap", "\"/w/mp4box.exe\" -add \"/o/temp.mp4x\" \"/o/Film 1.mp4\"",
     "ffmpeg -nostdin -hide_banner -loglevel error -i /o/temp.mp4x -map 0 -c copy -f mp4 -y \"/o/Film 1.mp4\"",
     "/o/Film 1.mp4"},
    {"TivoHasNoDecoder", "\"/w/tivo.exe\" --mak 1234 --out \"/o/Show.mpg\" \"/v/show.tivo\"", "", ""},
};
// clang-format on

class ToolPlanGolden : public ::testing::TestWithParam<TGoldenCase> {};

}  // namespace

TEST_P(ToolPlanGolden, TranslatesTheProgramsLine)
{
  const TGoldenCase& C = GetParam();
  const TToolPlan Plan = Translate(C.CommandLine);
  EXPECT_EQ(DescribeToolPlan(Plan), C.Plan);
  EXPECT_EQ(Plan.Output, C.Output);
}

INSTANTIATE_TEST_SUITE_P(Lines, ToolPlanGolden, ::testing::ValuesIn(GoldenCases),
                         [](const ::testing::TestParamInfo<TGoldenCase>& Info) { return std::string(Info.param.Name); });

namespace {

// Every built-in preset as the program runs it: the template with a device's values, the part,
// rate and filters before it and the output after it, for a source in AVI with a blank, a
// double quote and a leading "-" in its name.
std::string PresetLine(const TCodecPresetDefinition& Preset, bool Wme)
{
  std::string T = std::string(Preset.Options) + (Preset.OptionsRest ? Preset.OptionsRest : "");
  auto Sub = [&](const std::string& Old, const std::string& New) {
    for (std::size_t At; (At = T.find(Old)) != std::string::npos;) T.replace(At, Old.size(), New);
  };
  Sub("$vm1:", "");
  Sub("$vm3", "0");
  Sub("$vbr", "800");
  Sub("$abr", Wme ? "96_44_2" : "96");
  Sub("$ac", "2");
  Sub("$vol", "5");
  const std::string Input = "\"/v/-my \"\"clip\"\".avi\"", Output = "\"/out/Dev/-my \"\"clip\"\"." + std::string(Preset.Extension) + "\"";
  const std::string Tool = Preset.Tool;
  if (Tool == "mencoder")
    return "\"/w/mencoder.exe\" " + Input + "    -ofps 25  -vf harddup,scale=320:240, " + T +
           "  -noautosub -forcedsubsonly -o " + Output;
  if (Tool == "ffmpeg") return "\"/w/ffmpeg.exe\" -i " + Input + " " + T + "   -s 320x240 -r 25 " + Output;
  return "\"/w/qvcscript.exe\" \"/w/wmcmd.vbs\" -input " + Input + "   -v_width 320 -v_height 240 -v_framerate 25 "
         "-time 0 end " + T + " -output " + Output;
}

struct TPresetCase {
  const char* Id;
  const char* Tools;      // the plan's processes: steps split by ";", processes by "|"
  const char* Container;  // the plan's container
};

// clang-format off
const TPresetCase PresetCases[] = {
    {"3gp_aac_mp4", "mencoder|ffmpeg", "3gp"},      {"3gp1_aac", "mencoder|ffmpeg", "3gp"},
    {"3gp1_amr-nb", "mencoder|ffmpeg|sox;ffmpeg", "3gp"}, {"3gp1_amr-wb", "mencoder|ffmpeg|sox;ffmpeg", "3gp"},
    {"3gp2_aac", "mencoder|ffmpeg", "3g2"},         {"amv_mp2", "mencoder", "avi"},
    {"asf_wma_wme_sp", "ffmpeg", "asf"},            {"audio_mp3", "mencoder", "rawaudio"},
    {"divx_mp3", "mencoder", "avi"},                {"divx4_copy", "mencoder", "avi"},
    {"divx4_mp3", "mencoder", "avi"},               {"divx5_copy", "mencoder", "avi"},
    {"divx5_mp3", "mencoder", "avi"},               {"divx5_mp3_cam", "mencoder", "avi"},
    {"divx5_mp3_palm", "mencoder", "avi"},          {"flv_mp3", "mencoder", ""},
    {"h264_5.1", "mencoder|ffmpeg", "mov"},         {"h264_5.1_hq", "mencoder|ffmpeg", "mov"},
    {"h264_5.1_mp4", "mencoder|ffmpeg", "mov"},     {"h264_5.1_mp4_hq", "mencoder|ffmpeg", "mov"},
    {"h264_appletv", "mencoder|ffmpeg", "mp4"},     {"h264_appletv_hq", "mencoder|ffmpeg", "mp4"},
    {"h264_ipod", "mencoder|ffmpeg", "mp4"},        {"h264_ipod_hq", "mencoder|ffmpeg", "mp4"},
    {"h264_lv31", "mencoder|ffmpeg", "mp4"},        {"h264_lv31_hq", "mencoder|ffmpeg", "mp4"},
    {"h264_ps3", "mencoder|ffmpeg", "psp"},         {"h264_ps3_hq", "mencoder|ffmpeg", "psp"},
    {"h264_psp", "mencoder|ffmpeg", "psp"},         {"h264_psp_hq", "mencoder|ffmpeg", "psp"},
    {"h264_psp2", "ffmpeg", "psp"},                 {"h264_xbox", "mencoder|ffmpeg", "mp4"},
    {"h264_xbox_hq", "mencoder|ffmpeg", "mp4"},     {"mpeg1_rockbox", "mencoder", "mpeg"},
    {"mpeg2_copy", "mencoder", "mpeg"},             {"mpeg2_copy_hq", "mencoder", "mpeg"},
    {"mpeg2_mp2", "mencoder", "mpeg"},              {"mpeg2_mp2_hq", "mencoder", "mpeg"},
    {"mpeg2_rockbox", "mencoder", "vob"},           {"mpeg4_ipod", "mencoder|ffmpeg", "mp4"},
    {"mpeg4_psp", "ffmpeg", "psp"},                 {"msmpeg4_mp3", "mencoder", "avi"},
    {"wmv_wma", "mencoder", "asf"},                 {"wmv_wma_hq", "mencoder", "asf"},
    {"wmv7_wma_wme", "ffmpeg", "asf"},              {"wmv8_wma_wme", "ffmpeg", "asf"},
    {"wmv9_wma_wme", "ffmpeg", "asf"},              {"wmv9_wma_wme_mixmax", "ffmpeg", "asf"},
    {"wmv9_wma_wme_sp", "ffmpeg", "asf"},           {"xvid_copy", "mencoder", "avi"},
    {"xvid_mp2", "mencoder", "avi"},                {"xvid_mp3", "mencoder", "avi"},
    {"xvid_mp3_sansa", "mencoder", "avi"},
};
// clang-format on

std::string Tools(const TToolPlan& Plan)
{
  std::string T;
  for (const auto& Step : Plan.Steps) {
    if (!T.empty()) T += ";";
    for (std::size_t P = 0; P < Step.Processes.size(); ++P) T += (P ? "|" : "") + Step.Processes[P].Program;
  }
  return T;
}

bool HasArg(const qv::tools::TToolProcess& P, const std::string& A)
{
  for (const std::string& X : P.Args)
    if (X == A) return true;
  return false;
}

// The value after option Name, or "".
std::string ArgAfter(const qv::tools::TToolProcess& P, const std::string& Name)
{
  for (std::size_t I = 0; I + 1 < P.Args.size(); ++I)
    if (P.Args[I] == Name) return P.Args[I + 1];
  return std::string();
}

}  // namespace

TEST(ToolPlanPresets, EveryPresetBecomesAPlanOfTheInstalledTools)
{
  std::map<std::string, const TPresetCase*> Cases;
  for (const TPresetCase& C : PresetCases) Cases[C.Id] = &C;
  ASSERT_EQ(Cases.size(), static_cast<std::size_t>(CodecPresetCount));
  for (int I = 0; I < CodecPresetCount; ++I) {
    const TCodecPresetDefinition& Preset = CodecPresetDefinitions()[I];
    SCOPED_TRACE(Preset.Id);
    ASSERT_TRUE(Cases.count(Preset.Id));
    const TPresetCase& C = *Cases[Preset.Id];
    const std::string Line = PresetLine(Preset, std::string(Preset.Tool) == "wmencoder");
    const TToolPlan Plan = Translate(Line);
    const std::string Described = DescribeToolPlan(Plan);
    SCOPED_TRACE(Described);
    EXPECT_EQ(Tools(Plan), C.Tools);
    EXPECT_EQ(Plan.Container, C.Container);
    const std::string Output = "/out/Dev/-my \"clip\"." + std::string(Preset.Extension);
    EXPECT_EQ(Plan.Output, Output);
    EXPECT_EQ(Plan.Steps.back().Processes.back().Args.back(), Output) << "the file name reaches the tool whole";
    for (const auto& Step : Plan.Steps)
      for (const auto& P : Step.Processes) {
        // What Debian's tools refuse or do wrong never reaches them.
        EXPECT_FALSE(HasArg(P, "faac"));
        EXPECT_FALSE(HasArg(P, "-faacopts"));
        EXPECT_EQ(Described.find("libamr"), std::string::npos);
        EXPECT_EQ(Described.find("acodec=mp2"), std::string::npos);
        EXPECT_EQ(Described.find("turbo=2"), std::string::npos);
        for (const char* Removed : {":cbp:", ":mv0:", ":lmin=", ":naq:", ":qprd:"})
          EXPECT_EQ((":" + ArgAfter(P, "-lavcopts") + ":").find(Removed), std::string::npos) << Removed;
        if (P.Program != "mencoder") continue;
        EXPECT_EQ(ArgAfter(P, "-demuxer"), "lavf") << "the AVI source is read by libavformat";
        if (ArgAfter(P, "-oac") == "copy") {
          EXPECT_EQ(ArgAfter(P, "-mc"), "0");
        }
        if (HasArg(P, "-x264encopts")) {
          EXPECT_NE(ArgAfter(P, "-x264encopts").find("bframes=0"), std::string::npos);
        }
        if (ArgAfter(P, "-of") == "mpeg") {
          EXPECT_NE(ArgAfter(P, "-mpegopts").find("format=dvd"), std::string::npos) << "only DVDs use mencoder's muxer";
          EXPECT_NE(ArgAfter(P, "-mpegopts").find("telecine"), std::string::npos);
          EXPECT_EQ(ArgAfter(P, "-ofps"), "24000/1001");
          EXPECT_NE(ArgAfter(P, "-lavcopts").find("aspect=4/3"), std::string::npos);
          if (ArgAfter(P, "-oac") != "copy") {
            EXPECT_EQ(ArgAfter(P, "-srate"), "48000");
          }
        }
      }
  }
}
