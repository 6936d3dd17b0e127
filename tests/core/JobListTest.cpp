// The job-list builder: golden job rows for sources x devices, folders, ordering and the
// substitution rules.
#include <gtest/gtest.h>

#include <array>
#include <filesystem>
#include <fstream>

#include "JobListTestSupport.h"
#include "platform/vcl/Dialogs.h"

using namespace jobtest;

namespace {

struct TGoldenCase {
  const char* Name;
  TDevice Device;
  std::map<int, std::string> Source;
  // Expected job rows: column 0, column 2, column 4.
  std::vector<std::array<std::string, 3>> Rows;
  const char* Tool = "mencoder";  // column 1 of every row
};

const std::string Font = "\"WORK/mplayer/subfont.ttf\"";

std::vector<TGoldenCase> GoldenCases()
{
  std::vector<TGoldenCase> Cases;
  {
    TDevice D;
    D.Brightness = "12";
    D.Contrast = "-7";
    TGoldenCase C{"OnePassXvidWithAspectAndAudioTrack", D, {{scAspect, "1.7778"}, {scAudioChoice, "128 English"}}, {}};
    C.Rows = {{"00001",
               "noscale-ovc xvid -oac mp3lame -lameopts vbr=0:cbr:aq=9:fast:br=128 -xvidencopts bitrate=800 -ffourcc XVID "
               "-af channels=2,volume=5",
               " -aspect 1.7778 -aid 128  -noautosub -forcedsubsonly"}};
    Cases.push_back(C);
  }
  {
    TDevice D;
    D.Preset = "h264_ipod";
    D.Passes = "2";
    D.Upscaling = "Yes";
    D.VideoRate = "600";
    TGoldenCase C{"TwoPassX264SharesOneLogFile", D, {{scOutputName, "My \"Best\" Clip"}}, {}};
    const std::string Opts =
        "-ovc x264 -x264encopts turbo=2:threads=auto:pass=1:bitrate=600:vbv_maxrate=600:vbv_bufsize=2000:nocabac:"
        "level_idc=13:global_header:subq=1:frameref=1:me=dia -oac faac -faacopts br=128:mpeg=4:object=2:raw -of lavf "
        "-lavfopts format=mp4 -af channels=2,volume=5 -passlogfile \"WORK/temp/My \"\"Best\"\" Clip.txt\"";
    std::string Second = Opts;
    Second.replace(Second.find("pass=1"), 6, "pass=2");
    C.Rows = {{"Pass1", Opts, " -noautosub -forcedsubsonly"}, {"Pass2", Second, " -noautosub -forcedsubsonly"}};
    Cases.push_back(C);
  }
  {
    TDevice D;
    D.Preset = "divx_mp3";
    D.Passes = "2";
    TGoldenCase C{"TwoPassLavcTurboFirstPass", D, {}, {}};
    const std::string Head = "noscale-ovc lavc -oac mp3lame -lameopts vbr=0:cbr:aq=9:fast:br=128 -lavcopts vcodec=mpeg4:";
    const std::string Tail = "vbitrate=800 -ffourcc DIVX -af channels=2,volume=5 -passlogfile \"WORK/temp/Clip.txt\"";
    C.Rows = {{"Pass1", Head + "vpass=1:turbo:" + Tail, " -noautosub -forcedsubsonly"},
              {"Pass2", Head + "vpass=2:" + Tail, " -noautosub -forcedsubsonly"}};
    Cases.push_back(C);
  }
  {
    TDevice D;
    D.Preset = "ff_twopass";
    D.Passes = "2";
    TGoldenCase C{"TwoPassFfmpeg", D, {}, {}};
    C.Rows = {{"Pass1", "noscale-y -vcodec mpeg4 -pass 1 -b 800k -ab 128k -ac 2", " -noautosub -forcedsubsonly"},
              {"Pass2", "noscale-y -vcodec mpeg4 -pass 2 -b 800k -ab 128k -ac 2", " -noautosub -forcedsubsonly"}};
    C.Tool = "ffmpeg";
    Cases.push_back(C);
  }
  {
    TDevice D;
    D.Preset = "wmv9_wma_wme";
    D.Passes = "2";
    D.AudioRate = "96";
    D.Channels = "1";
    TGoldenCase C{"TwoPassWmeIsOneRow", D, {}, {}};
    C.Rows = {{"00001", "noscale-v_codec WMV9 -v_performance 0 -v_bitrate 800000 -v_mode 3 -a_setting 80_44_1",
               " -noautosub -forcedsubsonly"}};
    C.Tool = "wmencoder";
    Cases.push_back(C);
  }
  {
    TDevice D;
    D.Preset = "asf_wma_wme_sp";
    D.AudioRate = "100";
    TGoldenCase C{"WmeUnknownRateStereo", D, {}, {}};
    C.Rows = {{"00001", "noscale-v_codec WMV9 -v_bitrate 800000 -v_mode 0 -a_setting 64_44_2 -v_profile SP",
               " -noautosub -forcedsubsonly"}};
    C.Tool = "wmencoder";
    Cases.push_back(C);
  }
  {
    TDevice D;
    D.Preset = "mpeg2_mp2";
    TGoldenCase C{"FilmRateMpeg2", D, {{scFrameRate, "23.976"}}, {}};
    C.Rows = {{"00001",
               "noscale-of mpeg -mpegopts format=dvd:tsaf -ovc lavc -oac lavc -ofps 24000/1001 -lavcopts "
               "vcodec=mpeg2video:vrc_buf_size=1835:vrc_maxrate=9800:vbitrate=800:keyint=15:vstrict=0:acodec=mp2:"
               "abitrate=128 -af channels=2,volume=5",
               " -noautosub -forcedsubsonly"}};
    Cases.push_back(C);
  }
  {
    TDevice D;
    D.Preset = "mpeg2_mp2";
    TGoldenCase C{"NtscRateMpeg2", D, {{scFrameRate, "29.970"}}, {}};
    C.Rows = {{"00001",
               "noscale-of mpeg -mpegopts format=dvd:tsaf -ovc lavc -oac lavc -ofps 30000/1001 -lavcopts "
               "vcodec=mpeg2video:vrc_buf_size=1835:vrc_maxrate=9800:vbitrate=800:keyint=15:vstrict=0:acodec=mp2:"
               "abitrate=128 -af channels=2,volume=5",
               " -noautosub -forcedsubsonly"}};
    Cases.push_back(C);
  }
  {
    TDevice D;
    D.Preset = "audio_mp3";
    TGoldenCase C{"RawAudioGetsNoAspectNorSubtitles", D, {{scAspect, "1.3333"}, {scAudioChoice, "128"}}, {}};
    C.Rows = {{"00001", "noscale-ovc copy -oac mp3lame -lameopts vbr=0:cbr:aq=9:br=128 -of rawaudio", " -aid 128"}};
    Cases.push_back(C);
  }
  {
    TGoldenCase C{"SubtitleTrackAndSideFile",
                  {},
                  {{scSubtitlesOn, "YES"},
                   {scSubtitleChoice, "3 English"},
                   {scSubtitleTracks, "3 English\r\nSRT File: /media/Clip.srt\r\n4 French"}},
                  {}};
    C.Rows = {{"00001", "", " -sid 3  -subfont-autoscale 1 -spuaa 4 -font " + Font + " -sub \"/media/Clip.srt\" -subfont-autoscale 1 -spuaa 4 -font " + Font}};
    Cases.push_back(C);
  }
  {
    TGoldenCase C{"SideFileIgnoredWithSubtitlesOff",
                  {},
                  {{scSubtitlesOn, "NO"}, {scSubtitleTracks, "SRT File: /media/Clip.srt\r\nSUB File: /media/Clip"}},
                  {}};
    C.Rows = {{"00001", "", " -noautosub -forcedsubsonly"}};
    Cases.push_back(C);
  }
  {
    TGoldenCase C{"VobSubSideFileAndAngle",
                  {},
                  {{scSubtitlesOn, "YES"}, {scSubtitleChoice, "SUB File: /m/-x"}, {scSubtitleTracks, "SUB File: -x"},
                   {scAngleChosen, "Yes"}, {scAngleNumber, "2"}},
                  {}};
    C.Rows = {{"00001", "", " -vobsub \"CWD/-x\" -angle 2"}};
    Cases.push_back(C);
  }
  {
    TGoldenCase C{"NotMarkedGivesNoJob", {}, {{scConvert, "Done"}}, {}};
    Cases.push_back(C);
  }
  {
    TGoldenCase C{"UnknownWidthGivesNoJob", {}, {{scWidth, ""}}, {}};
    Cases.push_back(C);
  }
  return Cases;
}

std::string Replace(std::string S, const std::string& From, const std::string& To)
{
  for (size_t P = S.find(From); P != std::string::npos; P = S.find(From, P + To.size())) S.replace(P, From.size(), To);
  return S;
}

class TJobListTest : public TJobTest {};

}  // namespace

TEST_F(TJobListTest, GoldenJobRowsForSourcesAndDevices)
{
  // A preset row for the ffmpeg two-pass case (no built-in template has "$vm2").
  AddPreset("ff_twopass", "ffmpeg", "-y -vcodec mpeg4 $vm2 -b $vbrk -ab $abrk -ac $ac", "avi");
  const std::string Cwd = std::filesystem::current_path().string();
  for (const TGoldenCase& C : GoldenCases()) {
    SCOPED_TRACE(C.Name);
    ClearGridRows(Form->dq);
    ClearGridRows(Form->StringGrid1);
    AddDevice(C.Device);
    AddSource("Clip", C.Source);
    BuildJobList(true, false);
    if (C.Rows.empty()) {
      EXPECT_EQ(JobRows(), 1);
      EXPECT_EQ(Job(jcNumber, 1), "");
      continue;
    }
    ASSERT_EQ(JobRows(), static_cast<int>(C.Rows.size()));
    for (size_t I = 0; I < C.Rows.size(); ++I) {
      const int R = static_cast<int>(I) + 1;
      EXPECT_EQ(Job(jcNumber, R), C.Rows[I][0]);
      if (!C.Rows[I][1].empty()) {
        EXPECT_EQ(Job(jcOptions, R), Replace(C.Rows[I][1], "WORK/", WorkFolder));
      }
      EXPECT_EQ(Job(jcInputOptions, R), Replace(Replace(C.Rows[I][2], "WORK/", WorkFolder), "CWD", Cwd));
      // The columns every job row carries.
      EXPECT_EQ(Job(jcInput, R), "\"/media/Clip.avi\" ");
      EXPECT_EQ(Job(jcOutFolder, R), OutFolder);
      EXPECT_EQ(Job(jcDeviceTitle, R), "Test Player");
      EXPECT_EQ(Job(jcDevice, R), "TEST PLAYER");
      EXPECT_EQ(Job(jcSeconds, R), "60");
      EXPECT_EQ(Job(jcScreen, R), "480x272");
      EXPECT_EQ(Job(jcSourceRow, R), "1");
      EXPECT_EQ(Job(jcLengthText, R), "0:01:00");
      EXPECT_EQ(Job(jcStoredWidth, R), "640");
      EXPECT_EQ(Job(jcStoredHeight, R), "480");
      EXPECT_EQ(Job(jcTool, R), C.Tool);
      EXPECT_EQ(Job(jcBrightness, R), C.Device.Brightness);
      EXPECT_EQ(Job(jcContrast, R), C.Device.Contrast);
      EXPECT_EQ(Job(jcVideoCodec, R), "mpeg4");
      EXPECT_EQ(Job(jcFileName, R), Job(jcOutName, R) + "." + Job(jcExtension, R));
    }
  }
}

TEST_F(TJobListTest, TrimAndChapterColumnsAreCopiedIntoTheJob)
{
  AddDevice({});
  AddSource("Film", {{scTrimStart, "60"}, {scTrimEnd, "300"}, {scStartAtChapter, "Yes"}, {scFirstChapter, "2"},
                     {scLastChapter, "9"}, {scSplitParts, "Yes"}, {scChaptersPerPart, "3"}, {scCropFilter, "crop=640:464:0:8"}});
  BuildJobList(true, false);
  for (int C : {scTrimStart, scTrimEnd, scStartAtChapter, scFirstChapter, scLastChapter, scSplitParts, scChaptersPerPart, scCropFilter})
    EXPECT_EQ(Job(C, 1), Form->StringGrid1->GetCells(C, 1)) << C;
  for (int C = 76; C < JobListColCount; ++C) EXPECT_EQ(Job(C, 1), "") << C;
}

TEST_F(TJobListTest, TwoDevicesThreeSourcesInBothOrders)
{
  TDevice A, B;
  A.Name = "Player.A";
  B.Name = "Phone_B";
  AddDevice(A);
  AddDevice(B);
  AddSource("One");
  AddSource("Two");
  AddSource("Three");
  BuildJobList(true, false);
  ASSERT_EQ(JobRows(), 6);
  const char* PerDevice[][2] = {{"Player A", "One"}, {"Player A", "Two"}, {"Player A", "Three"},
                                {"Phone B", "One"},  {"Phone B", "Two"},  {"Phone B", "Three"}};
  for (int R = 1; R <= 6; ++R) {
    EXPECT_EQ(Job(jcNumber, R), SourceRowNumberText(R));
    EXPECT_EQ(Job(jcDeviceTitle, R), PerDevice[R - 1][0]);
    EXPECT_EQ(Job(jcOutName, R), PerDevice[R - 1][1]);
    EXPECT_EQ(Job(jcOutFolder, R), OutFolder + PerDevice[R - 1][0] + "/");
  }
  EXPECT_TRUE(std::filesystem::is_directory(OutFolder + "Player A"));
  EXPECT_TRUE(std::filesystem::is_directory(OutFolder + "Phone B"));

  BuildJobList(false, true);
  ASSERT_EQ(JobRows(), 6);
  EXPECT_EQ(Job(jcDeviceTitle, 1), "Player A");
  EXPECT_EQ(Job(jcDeviceTitle, 2), "Phone B");
  EXPECT_EQ(Job(jcOutName, 2), "One");
  EXPECT_EQ(Job(jcOutName, 3), "Two");

  BuildJobList(true, true);
  EXPECT_EQ(JobRows(), 12);
}

TEST_F(TJobListTest, OutputFolderRules)
{
  TDevice D;
  D.Folder = Dir + "single";  // no trailing separator: one is added in the queue too
  AddDevice(D);
  AddSource("Clip");
  BuildJobList(true, false);
  EXPECT_EQ(Form->dq->GetCells(DeviceFolderCol, 1), Dir + "single/");
  EXPECT_EQ(Job(jcOutFolder, 1), Dir + "single/");
  EXPECT_TRUE(std::filesystem::is_directory(Dir + "single"));

  TDevice E;
  E.Name = "Second";
  AddDevice(E);
  NoDeviceSubfolder = true;
  BuildJobList(true, false);
  EXPECT_EQ(Job(jcOutFolder, 1), Dir + "single/");
  EXPECT_EQ(Job(jcOutFolder, 2), OutFolder);
  EXPECT_FALSE(std::filesystem::exists(OutFolder + "Second"));
}

TEST_F(TJobListTest, UnmakeableFolderIsReportedAndJobsAreStillBuilt)
{
  // A plain file where a folder of the path is needed: no one can make that folder.
  { std::ofstream(Dir + "ro") << "x"; }
  std::vector<std::string> Shown;
  SetDialogHandler([&](TDialogRequest& Q) {
    Shown.push_back(Q.Text);
    return 1;
  });
  TDevice D;
  D.Folder = Dir + "ro/deeper/";
  AddDevice(D);
  AddSource("Clip");
  BuildJobList(true, false);
  SetDialogHandler(nullptr);
  ASSERT_EQ(Shown.size(), 1u);
  EXPECT_EQ(Shown[0], "Cannot create create output folder");
  EXPECT_EQ(JobRows(), 1);
  EXPECT_EQ(Job(jcOutFolder, 1), Dir + "ro/deeper/");
}

TEST_F(TJobListTest, SubstitutionFillsOnlyTheFirstOccurrences)
{
  auto Cell = [](int Col) -> String {
    switch (Col) {
      case DeviceVideoRateCol: return "700";
      case DeviceAudioRateCol: return "96";
      case DevicePassesCol: return "1";
      case DeviceAllowUpscalingCol: return "Yes";
      default: return "";
    }
  };
  EXPECT_EQ(SubstitutePresetOptions("mencoder", "$vbr $vbr $vbr $vbr $abr $abr", Cell), "700 700 700 $vbr 96 $abr");
  EXPECT_EQ(WmeAudioSetting("128"), "128_44_");
  EXPECT_EQ(WmeAudioSetting("112"), "96_48_");
  EXPECT_EQ(WmeAudioSetting("128 "), "64_44_");
}

TEST_F(TJobListTest, UnknownPresetUsesTheFirstRow)
{
  TDevice D;
  D.Preset = "no such preset";
  AddDevice(D);
  AddSource("Clip");
  BuildJobList(true, false);
  EXPECT_EQ(Job(jcTool, 1), Form->codecgrid->GetCells(CodecToolCol, 0));
  EXPECT_EQ(Job(jcExtension, 1), Form->codecgrid->GetCells(CodecExtensionCol, 0));
}

TEST_F(TJobListTest, TivoKeyIsAskedOnceAndCancelLeavesItEmpty)
{
  int Asked = 0;
  SetAskTextProc([&](const String& Caption, const String& Prompt, String& Value) {
    ++Asked;
    EXPECT_EQ(Caption, "Tivo conversion, information required");
    EXPECT_EQ(Prompt, "Please enter your Tivo account number");
    Value = "1234";
    return true;
  });
  AddDevice({});
  AddSource("Show", {{scInputArgs, "\"/media/Show.TiVo\" "}});
  AddSource("Show2", {{scInputArgs, "\"/media/Show2.TiVo\" "}});
  BuildJobList(true, false);
  EXPECT_EQ(Asked, 1);
  EXPECT_EQ(TivoMak, "1234");
  TivoMak.clear();
  SetAskTextProc([&](const String&, const String&, String& Value) {
    Value = "typed but cancelled";
    return false;
  });
  BuildJobList(true, false);
  EXPECT_EQ(TivoMak, "");
  SetAskTextProc(nullptr);
}

TEST_F(TJobListTest, OnlyATivoRecordingAsksForTheKey)
{
  const struct {
    const char* Input;
    bool Tivo;
  } Cases[] = {
      {"\"/media/Show.TiVo\" ", true},
      {"\"/media/Show.tivo\" -fps 30000/1001 ", true},
      {"\"/media/Festivo.avi\" ", false},
      {"\"/home/user/Positivo/Motivo.mkv\" ", false},
      {"\"/media/tivo/Show.mpg\" ", false},
      {"\"/media/Show.tivo.avi\" ", false},
      {"-dvd-device \"/media/TIVO\"  dvdnav://1 ", false},
  };
  for (const auto& C : Cases) {
    SCOPED_TRACE(C.Input);
    int Asked = 0;
    SetAskTextProc([&](const String&, const String&, String& Value) {
      ++Asked;
      Value = "1234";
      return true;
    });
    TivoMak.clear();
    ClearGridRows(Form->dq);
    ClearGridRows(Form->StringGrid1);
    AddDevice({});
    AddSource("Show", {{scInputArgs, C.Input}});
    BuildJobList(true, false);
    EXPECT_EQ(Asked, C.Tivo ? 1 : 0);
  }
  SetAskTextProc(nullptr);
  TivoMak.clear();
}
