// Real conversions with the installed mencoder and ffmpeg: a clip made by ffmpeg at test time is
// converted for three devices through the driver and the work folder's tool links, and the
// outputs are checked with ffprobe and by their pictures. Skipped with a message when a tool is
// missing. Every preset on its own: PresetTableRealToolsTest.cpp.
#include <gtest/gtest.h>
#include <stdio.h>
#include <stdlib.h>

#include <filesystem>
#include <fstream>

#include "JobListTestSupport.h"
#include "core/RunControl.h"
#include "core/qv_convert.h"
#include "platform/os/ToolLinks.h"
#include "platform/vcl/Dialogs.h"
#include "tests/support/DistinctPictures.h"

using namespace jobtest;

namespace {

std::string Which(const std::string& Tool)
{
  for (const char* Dir : {"/usr/bin/", "/usr/local/bin/", "/bin/"})
    if (std::filesystem::exists(Dir + Tool)) return Dir + Tool;
  return "";
}

std::string ShellOutput(const std::string& Command)
{
  std::string Out;
  if (FILE* P = popen(Command.c_str(), "r")) {
    char Buf[512];
    while (fgets(Buf, sizeof Buf, P)) Out += Buf;
    pclose(P);
  }
  return Out;
}

class TConversionRealToolsTest : public TJobTest {
protected:
  void SetUp() override
  {
    TJobTest::SetUp();
    for (const char* T : {"mencoder", "ffmpeg", "ffprobe"})
      if (Which(T).empty()) GTEST_SKIP() << T << " is not installed: no real conversion";
    std::filesystem::create_directories(WorkFolder + "temp");
    const char* Path = getenv("PATH");
    qv::os::ProvideToolLinks(WorkFolder, Path ? Path : "", QV_TOOL_ADAPTER);
    Clip = Dir + "media/My Clip.avi";
    std::filesystem::create_directories(Dir + "media");
    ShellOutput("ffmpeg -v error -y -f lavfi -i testsrc=size=320x240:rate=25 -f lavfi -i sine=frequency=440:sample_rate=44100 "
        "-t 5 -c:v mpeg4 -c:a mp3 -ac 2 '" + Clip + "'");
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
    return atof(ShellOutput("ffprobe -v error -show_entries format=duration -of csv=p=0 '" + File + "'").c_str());
  }
  std::string FrameSize(const std::string& File)
  {
    std::string S = ShellOutput("ffprobe -v error -select_streams v:0 -show_entries stream=width,height -of csv=s=x:p=0 '" + File + "'");
    while (!S.empty() && (S.back() == '\n' || S.back() == '\r')) S.pop_back();
    return S;
  }
  std::string Clip;
};

}  // namespace

TEST_F(TConversionRealToolsTest, ThreeDevicesGivePlayableFiles)
{
  TDevice A, B, C;
  A.Name = "Xvid Player";
  A.Preset = "xvid_mp3";
  A.Screen = "320x240";
  B.Name = "Wmv Phone";
  B.Preset = "wmv_wma";
  B.Screen = "176x144";
  B.FrameRate = "15";
  C.Name = "Flash Video";
  C.Preset = "flv_mp3";
  C.Screen = "480x272";
  for (const TDevice& D : {A, B, C}) AddDevice(D);
  AddClip();
  RunHooks.AddToHistory = [](int) {};
  GoClick();
  ASSERT_EQ(JobRows(), 3);
  for (int R = 1; R <= 3; ++R) {
    SCOPED_TRACE(Job(jcDeviceTitle, R));
    const std::string File = Job(jcOutFolder, R) + Job(jcFileName, R);
    EXPECT_EQ(Job(jcStatus, R).substr(0, 9), "Finished ") << JobFailureReason(R) << Form->log->GetText();
    ASSERT_TRUE(std::filesystem::exists(File));
    EXPECT_NEAR(Duration(File), 5.0, 1.0);
    std::string Size = Job(jcOutputSize, R);
    Size.replace(Size.find(" x "), 3, "x");
    EXPECT_EQ(FrameSize(File), Size);
    const qvtest::TPictureCount Pictures = qvtest::CountPictures(File);
    EXPECT_GT(Pictures.Decoded, 50);
    EXPECT_EQ(Pictures.Distinct, Pictures.Decoded) << "a picture repeated";
    std::ifstream Playlist(Job(jcOutFolder, R) + "playlist.m3u");
    std::string Line;
    std::getline(Playlist, Line);
    EXPECT_EQ(Line, File + "\r");
  }
  EXPECT_EQ(Form->StringGrid1->GetCells(scConvert, 1), "Done");
  EXPECT_FALSE(Converting);
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
