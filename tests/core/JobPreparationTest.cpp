// The driver's preparation of a job: output size, scale filter, frame rate, pixel-rate limit,
// the parts of a split job and the trim texts.
#include <gtest/gtest.h>

#include "JobListTestSupport.h"
#include "core/RunControl.h"
#include "core/qv_convert.h"

using namespace jobtest;

namespace {

class TJobPreparationTest : public TJobTest {
protected:
  void SetUp() override
  {
    TJobTest::SetUp();
    ConversionOptions = TConversionOptions();
  }
  // Builds the job list for one device and one source and prepares job row 1.
  void Prepare(const TDevice& D, const std::map<int, std::string>& Source)
  {
    ClearGridRows(Form->dq);
    ClearGridRows(Form->StringGrid1);
    AddDevice(D);
    AddSource("Clip", Source);
    BuildJobList(true, false);
    PrepareJobTexts(1);
  }
  std::vector<std::string> Parts()
  {
    std::vector<std::string> Out;
    for (int I = 0; I < Form->splitbox->GetItems()->GetCount(); ++I) Out.push_back(Form->splitbox->GetItems()->Get(I));
    return Out;
  }
};

}  // namespace

TEST_F(TJobPreparationTest, OutputSizeFitsTheScreen)
{
  struct {
    const char* Name;
    const char *Screen, *Stored, *Display, *Upscaling;
    const char* Size;
    const char* Filter;
  } Cases[] = {
      {"WideDisplayOnSmallScreen", "320x240", "720x576", "1024x576", "Yes", "320 x 192", "harddup,scale=320:192,"},
      {"TallerThanTheScreen", "480x272", "640x480", "640x480", "Yes", "368 x 272", "harddup,scale=368:272,"},
      {"NoUpscalingKeepsTheSourceSize", "640x480", "320x240", "320x240", "No", "320 x 240", "harddup,scale=320:240,"},
  };
  for (const auto& C : Cases) {
    SCOPED_TRACE(C.Name);
    TDevice D;
    D.Screen = C.Screen;
    D.Upscaling = C.Upscaling;
    const std::string S = C.Stored, P = C.Display;
    Prepare(D, {{scWidth, S.substr(0, S.find('x'))}, {scHeight, S.substr(S.find('x') + 1)},
                {scDisplayWidth, P.substr(0, P.find('x'))}, {scDisplayHeight, P.substr(P.find('x') + 1)}});
    EXPECT_EQ(Job(jcOutputSize, 1), C.Size);
    EXPECT_EQ(JobTexts.FilterChain, C.Filter);
    EXPECT_EQ(Job(jcOptions, 1).find("noscale"), std::string::npos);
  }
  ConversionOptions.BlackBars = true;
  TDevice D;
  D.Screen = "640x480";
  Prepare(D, {{scWidth, "320"}, {scHeight, "240"}, {scDisplayWidth, "320"}, {scDisplayHeight, "240"}});
  EXPECT_EQ(JobTexts.FilterChain, "harddup,scale=320:240,expand=640:480,");
  EXPECT_EQ(JobTexts.FfmpegOptionText.find(" -s "), std::string::npos);
}

TEST_F(TJobPreparationTest, FrameRateAndPixelRateLimit)
{
  struct {
    const char* Name;
    const char *DeviceRate, *LimitSwitch, *Limit;
    const char* Expected;
  } Cases[] = {
      {"SlowerDevice", "15", "", "", " -ofps 15"},
      {"FasterDevice", "30", "", "", ""},
      {"LimitGives15", "30", "Yes", "1152000", " -ofps 15"},
      {"LimitGivesAtLeast2", "30", "Yes", "100000", " -ofps 2"},
  };
  for (const auto& C : Cases) {
    SCOPED_TRACE(C.Name);
    TDevice D;
    D.Screen = "320x240";
    D.FrameRate = C.DeviceRate;
    D.SpeedLimitSwitch = C.LimitSwitch;
    D.SpeedLimit = C.Limit;
    Prepare(D, {{scWidth, "320"}, {scHeight, "240"}, {scDisplayWidth, "320"}, {scDisplayHeight, "240"}});
    EXPECT_EQ(JobTexts.MencoderRateOption, C.Expected);
  }
}

TEST_F(TJobPreparationTest, PartsAndTrims)
{
  Prepare({}, {{scSplitParts, "Yes"}, {scStartAtChapter, "Yes"}, {scFirstChapter, "1"}, {scLastChapter, "10"},
               {scChaptersPerPart, "3"}});
  EXPECT_EQ(Parts(), (std::vector<std::string>{" -chapter 1-3 ", " -chapter 4-6 ", " -chapter 7-9 ", " -chapter 10-10 "}));
  // A chapters-per-part value below 1 still ends.
  Prepare({}, {{scSplitParts, "Yes"}, {scChapters, "2"}, {scChaptersPerPart, "0"}});
  EXPECT_EQ(Parts(), (std::vector<std::string>{" -chapter 1-1 ", " -chapter 2-2 "}));
  Prepare({}, {{scLength, "5400"}, {scTrimStart, "60"}, {scTrimEnd, "300"}});
  EXPECT_EQ(Parts(), std::vector<std::string>{"  -ss 60 -endpos 240"});
  EXPECT_NE(JobTexts.WmeOptionText.find(" -time 60000 300000"), std::string::npos);
  EXPECT_NE(JobTexts.FfmpegOptionText.find(" -ss 60 -t 240"), std::string::npos);
  ConversionOptions.ConvertOnly = true;
  ConversionOptions.LimitMinutes = 2;
  Prepare({}, {{scLength, "5400"}, {scTrimStart, "60"}, {scTrimEnd, "300"}});
  EXPECT_EQ(Parts(), std::vector<std::string>{"  -ss 0 -endpos 120"});
  EXPECT_NE(JobTexts.WmeOptionText.find(" -time 0 120000"), std::string::npos);
}

TEST_F(TJobPreparationTest, TheFileNameColumnShowsTheWholeName)
{
  // A name from outside is taken as it is: a "\" is one of its characters.
  for (const char* Name : {"plain", "a\\slash", "two\\\\back\\slashes", "\\leading"}) {
    SCOPED_TRACE(Name);
    Prepare(TDevice(), {{scName, Name}, {scOutputName, Name}, {scSourcePath, std::string("/media/") + Name + ".avi"}});
    EXPECT_EQ(Job(jcFileName, 1), std::string(Name) + "." + Job(jcExtension, 1));
  }
}

TEST_F(TJobPreparationTest, DvdTitleEndsAtTheTitlesLength)
{
  struct {
    const char* Name;
    std::map<int, std::string> Source;
    const char* Part;
  } Cases[] = {
      {"dvdnav_title_ends_at_its_length",
       {{scType, "DVD"}, {scInputArgs, "-dvd-device \"/dev/sr0\" dvdnav://3 "}, {scLength, "619.3"}, {scTrimEnd, "619.3"}},
       "  -endpos 619.3"},
      {"dvdnav_title_trimmed_at_the_start_ends_with_the_title",
       {{scType, "DVD"}, {scInputArgs, "-dvd-device \"/dev/sr0\" dvdnav://3 "}, {scLength, "4"}, {scTrimStart, "1"},
        {scTrimEnd, "4"}},
       "  -ss 1 -endpos 3"},
      {"dvdnav_title_with_a_trim_end_keeps_it",
       {{scType, "DVD"}, {scInputArgs, "-dvd-device \"/dev/sr0\" dvdnav://3 "}, {scLength, "619.3"}, {scTrimEnd, "300"}},
       "  -endpos 300"},
      {"dvdnav_title_without_a_length_gets_none",
       {{scType, "DVD"}, {scInputArgs, "-dvd-device \"/dev/sr0\" dvdnav://3 "}, {scLength, "0"}, {scTrimEnd, "0"}},
       " "},
      {"file_reads_to_its_end", {{scLength, "60"}, {scTrimEnd, "60"}}, " "},
  };
  for (const auto& C : Cases) {
    Prepare({}, C.Source);
    EXPECT_EQ(Parts(), std::vector<std::string>{C.Part}) << C.Name;
  }
}
