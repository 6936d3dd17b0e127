// Golden command lines of every conversion tool run: the encoder lines per tool and part, the
// edits before a start and before a restart, and the side steps' lines.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <functional>

#include "../support/TempDirTest.h"
#include "core/MainForm.h"
#include "core/qv_cmdline.h"

namespace {

// The inputs of one tool's plain one-part line; each case changes what it names.
TPartLineInputs Mencoder()
{
  TPartLineInputs In;
  In.Tool = "mencoder";
  In.Options = "-ovc xvid -oac mp3lame -xvidencopts bitrate=800";
  In.Extension = "avi";
  In.InputOptions = " -noautosub -forcedsubsonly";
  In.Input = "\"/v/in.avi\" ";
  In.OutFolder = "/out/Dev/";
  In.OutName = "Clip";
  In.PartText = " ";
  In.MencoderRateOption = " -ofps 15";
  In.FilterChain = "harddup,scale=480:272,";
  In.CropFilterText = " -vf crop=704:560:8:8,";
  return In;
}

TPartLineInputs Wme()
{
  TPartLineInputs In;
  In.Tool = "wmencoder";
  In.Options = "-v_codec WMV9 -v_bitrate 800000 -v_mode 0 -a_setting 128_44_2";
  In.Extension = "wmv";
  In.OutFolder = "/out/";
  In.OutName = "Clip";
  In.TranscodeInput = "\"/v/in.avi\"";
  In.ClipOptionsText = "-v_clip 8 8 8 8";
  In.WmeOptionText = " -v_width 320 -v_height 240 -time 60000 300000";
  return In;
}

TPartLineInputs Ffmpeg()
{
  TPartLineInputs In;
  In.Tool = "ffmpeg";
  In.Options = "-y -f psp -vcodec h264 -b 800";
  In.Extension = "MP4";
  In.OutFolder = "/out/";
  In.OutName = "Clip";
  In.TranscodeInput = "\"/v/in.avi\"";
  In.CropOptionsText = "-croptop 8";
  In.FfmpegOptionText = " -s 320x240 -r 15 -ss 60 -t 240";
  return In;
}

void NoChange(TPartLineInputs&) {}

struct TLineCase {
  const char* Name;
  TPartLineInputs (*Base)();
  void (*Change)(TPartLineInputs& In);
  const char* Expected;  // "WF/" stands for the work folder
};

const TLineCase LineCases[] = {
    {"MencoderOnePart", Mencoder, NoChange,
     "\"WF/mencoder.exe\" \"/v/in.avi\"    -ofps 15  -vf crop=704:560:8:8,harddup,scale=480:272, -ovc xvid "
     "-oac mp3lame -xvidencopts bitrate=800  -noautosub -forcedsubsonly -o \"/out/Dev/Clip.avi\""},
    {"MencoderRawAudioHasNoRateNorFilters", Mencoder,
     [](TPartLineInputs& In) {
       In.Options = "-ovc copy -oac mp3lame -of rawaudio";
       In.Extension = "mp3";
     },
     "\"WF/mencoder.exe\" \"/v/in.avi\"   -ovc copy -oac mp3lame -of rawaudio  -noautosub -forcedsubsonly -o "
     "\"/out/Dev/Clip.mp3\""},
    {"MencoderSecondOfThreeChapterParts", Mencoder,
     [](TPartLineInputs& In) {
       In.Input = "-dvd-device \"/mnt/dvd\" dvdnav://3 ";
       In.PartText = " -chapter 4-6 ";
       In.PartNumber = 2;
       In.PartCount = 3;
       In.CropFilterText = " -vf ";
     },
     "\"WF/mencoder.exe\" -dvd-device \"/mnt/dvd\" dvd://3  -chapter 4-6   -ofps 15  -vf harddup,scale=480:272, "
     "-ovc xvid -oac mp3lame -xvidencopts bitrate=800  -noautosub -forcedsubsonly -o \"/out/Dev/Clip02.avi\""},
    {"MencoderOneChapterRangeReadsDvd", Mencoder,
     [](TPartLineInputs& In) {
       In.Input = "-dvd-device \"/mnt/dvd\" dvdnav://3 ";
       In.PartText = " -chapter 2-9 ";
       In.MencoderRateOption.clear();
       In.CropFilterText = " -vf ";
     },
     "\"WF/mencoder.exe\" -dvd-device \"/mnt/dvd\" dvd://3  -chapter 2-9    -vf harddup,scale=480:272, -ovc xvid "
     "-oac mp3lame -xvidencopts bitrate=800  -noautosub -forcedsubsonly -o \"/out/Dev/Clip.avi\""},
    {"MencoderMp4xWritesTheTemporaryFile", Mencoder,
     [](TPartLineInputs& In) {
       In.Extension = "mp4x";
       In.MencoderRateOption.clear();
       In.CropFilterText = " -vf ";
     },
     "\"WF/mencoder.exe\" \"/v/in.avi\"     -vf harddup,scale=480:272, -ovc xvid -oac mp3lame -xvidencopts "
     "bitrate=800  -noautosub -forcedsubsonly -o \"/out/Dev/temp.mp4x\""},
    {"MencoderOddOutputNameStaysOneArgument", Mencoder,
     [](TPartLineInputs& In) {
       In.OutName = "-rf \"odd\"\\name";
       In.CropFilterText = " -vf ";
       In.MencoderRateOption.clear();
     },
     "\"WF/mencoder.exe\" \"/v/in.avi\"     -vf harddup,scale=480:272, -ovc xvid -oac mp3lame -xvidencopts "
     "bitrate=800  -noautosub -forcedsubsonly -o \"/out/Dev/-rf \"\"odd\"\"\\name.avi\""},
    {"WmeOnePart", Wme, NoChange,
     "\"WF/qvcscript.exe\" \"WF/wmcmd.vbs\" -input \"/v/in.avi\" -v_clip 8 8 8 8  -v_width 320 -v_height 240 -time "
     "60000 300000 -v_codec WMV9 -v_bitrate 800000 -v_mode 0 -a_setting 128_44_2 -output \"/out/Clip.wmv\""},
    {"WmeFirstOfTwoParts", Wme,
     [](TPartLineInputs& In) {
       In.PartCount = 2;
       In.PartNumber = 1;
     },
     "\"WF/qvcscript.exe\" \"WF/wmcmd.vbs\" -input \"/v/in.avi\" -v_codec WMV9 -v_bitrate 800000 -v_mode 0 "
     "-a_setting 128_44_2 -v_clip 8 8 8 8  -v_width 320 -v_height 240 -time 60000 300000 -output "
     "\"/out/Clip01.wmv\""},
    {"FfmpegOnePart", Ffmpeg, NoChange,
     "\"WF/ffmpeg.exe\" -i \"/v/in.avi\" -y -f psp -vcodec h264 -b 800 -croptop 8  -s 320x240 -r 15 -ss 60 -t 240 "
     "\"/out/Clip.MP4\""},
    {"FfmpegThirdOfThreePartsPlainNumber", Ffmpeg,
     [](TPartLineInputs& In) {
       In.PartCount = 3;
       In.PartNumber = 3;
     },
     "\"WF/ffmpeg.exe\" -i \"/v/in.avi\" -y -f psp -vcodec h264 -b 800 -croptop 8  -s 320x240 -r 15 -ss 60 -t 240 "
     "\"/out/Clip3.MP4\""},
};

// A line edited before a start or a restart with the options Set gives.
struct TEditCase {
  const char* Name;
  std::string Line;
  std::function<void(TStartEditOptions&)> Set;
  std::string Expected;
};

std::string Expand(std::string S, const std::string& Work)
{
  for (size_t P = S.find("WF/"); P != std::string::npos; P = S.find("WF/", P + Work.size())) S.replace(P, 3, Work);
  return S;
}

class TConversionCommandLineTest : public TTempDirTest {
protected:
  void SetUp() override
  {
    TTempDirTest::SetUp();
    WorkFolder = Dir + "work/";
  }
};

}  // namespace

TEST_F(TConversionCommandLineTest, GoldenPartLines)
{
  for (const TLineCase& C : LineCases) {
    SCOPED_TRACE(C.Name);
    TPartLineInputs In = C.Base();
    C.Change(In);
    EXPECT_EQ(BuildPartCommandLine(In), Expand(C.Expected, WorkFolder));
  }
}

TEST_F(TConversionCommandLineTest, StartEdits)
{
  const std::string M = Expand("\"WF/mencoder.exe\" \"/v/in.avi\"  -ovc lavc -lavcopts vcodec=mpeg4 -o \"/o/a.avi\"", WorkFolder);
  const TEditCase Cases[] = {
      {"VideoStarWithRateAndDemuxer", M, [](TStartEditOptions& O) { O.SourceKind = "VIDEO*"; O.SourceFrameRate = "25"; },
       Expand("\"WF/mencoder.exe\" -fps 25 -demuxer lavf  \"/v/in.avi\"  -ovc lavc -lavcopts vcodec=mpeg4 -o \"/o/a.avi\"", WorkFolder)},
      {"TransportStreamGetsRateButNoDemuxer",
       Expand("\"WF/mencoder.exe\" \"/v/in.ts\"  -ovc lavc -o \"/o/a.avi\"", WorkFolder),
       [](TStartEditOptions& O) { O.SourceKind = "VIDEO*"; O.SourceFrameRate = "25"; },
       Expand("\"WF/mencoder.exe\" -fps 25 \"/v/in.ts\"  -ovc lavc -o \"/o/a.avi\"", WorkFolder)},
      {"FasterBuildWithThreads", M, [](TStartEditOptions& O) { O.FasterBuild = true; O.CoreCount = "4"; },
       Expand("\"WF/mencoder2.exe\" \"/v/in.avi\"  -ovc lavc -lavcopts threads=4:vcodec=mpeg4 -o \"/o/a.avi\"", WorkFolder)},
      {"FasterBuildKeepsWmvOnTheStandardBuild",
       Expand("\"WF/mencoder.exe\" \"/v/in.avi\" -lavcopts vcodec=wmv2 -o \"/o/a.wmv\"", WorkFolder), [](TStartEditOptions& O) { O.FasterBuild = true; },
       Expand("\"WF/mencoder.exe\" \"/v/in.avi\" -lavcopts vcodec=wmv2 -o \"/o/a.wmv\"", WorkFolder)},
      {"FasterBuildSwitchedBackForDvrMs", Expand("\"WF/mencoder.exe\" \"/v/in.dvr-ms\" -xvidencopts bitrate=1", WorkFolder),
       [](TStartEditOptions& O) { O.FasterBuild = true; O.CoreCount = "2"; },
       Expand("\"WF/mencoder.exe\" \"/v/in.dvr-ms\" -xvidencopts threads=2:bitrate=1", WorkFolder)},
      {"FirstPassDropsRawAac", "x -faacopts br=128:mpeg=4:object=2:raw -o y", [](TStartEditOptions& O) { O.FirstPassOfPair = true; },
       "x -faacopts br=128 -o y"},
      {"NicerSubtitles", "m -dvd-device \"/d\" dvdnav://1 ", [](TStartEditOptions& O) { O.NicerSubtitles = true; }, "m -dvd-device \"/d\" dvd://1 "},
      {"FfmpegAddon", Expand("\"WF/ffmpeg.exe\" -i x -vcodec mpeg4", WorkFolder), [](TStartEditOptions& O) { O.FfmpegAddon = true; },
       Expand("\"WF/ffmpeg2.exe\" -i x -vcodec mpeg4", WorkFolder)},
      {"FfmpegAddonNotForH264", Expand("\"WF/ffmpeg.exe\" -i x -vcodec h264", WorkFolder), [](TStartEditOptions& O) { O.FfmpegAddon = true; },
       Expand("\"WF/ffmpeg.exe\" -i x -vcodec h264", WorkFolder)},
  };
  for (const auto& C : Cases) {
    SCOPED_TRACE(C.Name);
    TStartEditOptions O;
    C.Set(O);
    EXPECT_EQ(ApplyStartEdits(C.Line, O), C.Expected);
  }
}

// File names holding the texts the edits look for stay as they are; the edits still reach the tool
// and its options.
TEST_F(TConversionCommandLineTest, StartEditsLeaveQuotedNamesAlone)
{
  const TEditCase Cases[] = {
      {"DvdnavInAFolderName", "m -dvd-device \"/d/dvdnav:x\" dvdnav://1 ", [](TStartEditOptions& O) { O.NicerSubtitles = true; },
       "m -dvd-device \"/d/dvdnav:x\" dvd://1 "},
      {"LavcoptsInAnInputName",
       Expand("\"WF/mencoder.exe\" \"/v/a -lavcopts b.avi\" -ovc lavc -lavcopts vcodec=mpeg4 -o \"/o/a.avi\"", WorkFolder),
       [](TStartEditOptions& O) { O.FasterBuild = true; O.CoreCount = "4"; },
       Expand("\"WF/mencoder2.exe\" \"/v/a -lavcopts b.avi\" -ovc lavc -lavcopts threads=4:vcodec=mpeg4 -o \"/o/a.avi\"", WorkFolder)},
      {"ToolNameInAnOutputFolder",
       Expand("\"WF/ffmpeg.exe\" -i \"/v/ffmpeg.exe/in.avi\" -vcodec mpeg4 \"/o/ffmpeg.exe/a.avi\"", WorkFolder),
       [](TStartEditOptions& O) { O.FfmpegAddon = true; },
       Expand("\"WF/ffmpeg2.exe\" -i \"/v/ffmpeg.exe/in.avi\" -vcodec mpeg4 \"/o/ffmpeg.exe/a.avi\"", WorkFolder)},
      {"RateAfterTheToolNotAfterAName",
       Expand("\"WF/mencoder.exe\" \"/v/mencoder.exe\" x.avi\" -o \"/o/a.avi\"", WorkFolder),
       [](TStartEditOptions& O) { O.SourceKind = "VIDEO*"; O.SourceFrameRate = "25"; },
       Expand("\"WF/mencoder.exe\" -fps 25 -demuxer lavf  \"/v/mencoder.exe\" x.avi\" -o \"/o/a.avi\"", WorkFolder)},
      {"RawAacTextInANameStays", "x \"/v/a:mpeg=4:object=2:raw.avi\" -faacopts br=128:mpeg=4:object=2:raw -o y",
       [](TStartEditOptions& O) { O.FirstPassOfPair = true; },
       "x \"/v/a:mpeg=4:object=2:raw.avi\" -faacopts br=128 -o y"},
  };
  for (const auto& C : Cases) {
    SCOPED_TRACE(C.Name);
    TStartEditOptions O;
    C.Set(O);
    EXPECT_EQ(ApplyStartEdits(C.Line, O), C.Expected);
  }
  // A quoted name holding "dvdnav:" in a split title's input, and in a restart.
  TStartEditOptions O;
  O.FfmpegAddon = true;
  O.FasterBuild = true;
  EXPECT_EQ(ApplyRestartEdits("\"/w/mencoder.exe\" \"/v/mencoder.exe.avi\" -o \"/o/ffmpeg.exe\"", O),
            "\"/w/mencoder2.exe\" \"/v/mencoder.exe.avi\" -o \"/o/ffmpeg.exe\"");
  EXPECT_EQ(ReplaceFirstInOptions("-dvd-device \"/d/dvdnav:\" dvdnav://2 ", "dvdnav:", "dvd:", false),
            "-dvd-device \"/d/dvdnav:\" dvd://2 ");
  EXPECT_EQ(ReplaceFirstInOptions("\"/v/dvdnav:a.avi\" ", "dvdnav:", "dvd:", false), "\"/v/dvdnav:a.avi\" ");
}

TEST_F(TConversionCommandLineTest, RestartEdits)
{
  const TEditCase Cases[] = {
      {"FasterBuildWithDemuxer", "\"/w/mencoder.exe\" \"/v/a.avi\" -o \"/o.avi\"",
       [](TStartEditOptions& O) {
         O.FasterBuild = true;
         O.SourceKind = "VIDEO*";
       },
       "\"/w/mencoder2.exe\" -demuxer lavf  \"/v/a.avi\" -o \"/o.avi\""},
      {"FfmpegAddonKeepsH264", "\"/w/ffmpeg.exe\" -i x -vcodec h264", [](TStartEditOptions& O) { O.FfmpegAddon = true; },
       "\"/w/ffmpeg2.exe\" -i x -vcodec h264"},
  };
  for (const auto& C : Cases) {
    SCOPED_TRACE(C.Name);
    TStartEditOptions O;
    C.Set(O);
    EXPECT_EQ(ApplyRestartEdits(C.Line, O), C.Expected);
  }
}

TEST_F(TConversionCommandLineTest, SideStepLines)
{
  EXPECT_EQ(TivoCommandLine("12 34", "/o/Inbetween File/Show.mpg", "\"/v/Show.TiVo\" "),
            WorkFolder.substr(0, 0) + "\"" + WorkFolder + "tivo.exe\" --mak \"12 34\" --out \"/o/Inbetween File/Show.mpg\" \"/v/Show.TiVo\" ");
  EXPECT_EQ(InbetweenCommandLine("-dvd-device \"/d\" dvdnav://2 ", " -chapter 1-3 ", " -vf crop=1:2:3:4,",
                                 "-ovc lavc -af volume=8", "/o/Inbetween File/Film"),
            "\"" + WorkFolder + "mencoder.exe\" -dvd-device \"/d\" dvd://2  -chapter 1-3   -vf crop=1:2:3:4,harddup -ovc lavc "
            "-af volume=8 -o \"/o/Inbetween File/Film.avi\"");
  EXPECT_EQ(CompatibilityFixCommandLine("/o/temp.mp4x", "/o/Film 1.mp4"),
            "\"" + WorkFolder + "mp4box.exe\" -add \"/o/temp.mp4x\" \"/o/Film 1.mp4\"");
}

TEST_F(TConversionCommandLineTest, UniqueFileNameTakesTheFirstFreeNumber)
{
  for (const char* F : {"Movie.avi", "Movie(1).avi", "Movie(3).avi"}) std::ofstream(Dir + F) << "x";
  EXPECT_EQ(UniqueFileName(Dir, "Movie", ".avi"), "Movie(2)");
  EXPECT_EQ(UniqueFileName(Dir, "Other", ".avi"), "Other(1)");
  for (int N = 1; N <= 99; ++N) std::ofstream(Dir + "Full(" + std::to_string(N) + ").avi") << "x";
  EXPECT_EQ(UniqueFileName(Dir, "Full", ".avi"), "Full(99)");
}
