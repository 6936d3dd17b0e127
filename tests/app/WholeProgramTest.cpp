// The whole road through the real program: quelvo3 started in a temporary home with a clip made by
// ffmpeg on its command line, a settings file that ticks "Convert automatically" and "Shutdown
// Quelvo when done", and a saved profile naming one device. It must scan, convert and end with
// exit code 0 by itself; the output is checked as a viewer would see it (ffprobe: length, frame
// size, as many distinct pictures as decoded ones, sound), and the history and the playlist must
// be written. Run headless and on a private Xvfb; skipped when a tool is missing. Without a saved
// profile, the device that start-up selects converts the same way. The same start with no tools
// on PATH must end too, saying which tools are missing.
#include <gtest/gtest.h>
#include <stdlib.h>

#include <cstdio>
#include <filesystem>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "core/GridFiles.h"
#include "platform/os/ToolLinks.h"
#include "tests/platform/display/XvfbServer.h"
#include "tests/support/TempDirTest.h"

namespace {

std::string Quote(const std::string& S)
{
  std::string Q = "'";
  for (char C : S) Q += C == '\'' ? std::string("'\\''") : std::string(1, C);
  return Q + "'";
}

// Runs a shell command; its output and exit status.
int Shell(const std::string& Command, std::string& Out)
{
  Out.clear();
  FILE* P = popen((Command + " 2>&1").c_str(), "r");
  if (!P) return -1;
  char Buffer[4096];
  size_t N;
  while ((N = fread(Buffer, 1, sizeof Buffer, P)) > 0) Out.append(Buffer, N);
  const int Status = pclose(P);
  return WIFEXITED(Status) ? WEXITSTATUS(Status) : -1;
}

bool Installed(const char* Tool)
{
  const char* Path = getenv("PATH");
  return !qv::os::FindProgramOnPath(Tool, Path ? Path : "").empty();
}

class TWholeProgram : public TTempDirTest {
protected:
  void SetUp() override
  {
    TTempDirTest::SetUp();
    Home = Dir + "home/";
    Work = Home + ".local/share/Quelvo3/";
    Out = Dir + "out/";
    std::filesystem::create_directories(Work + "profiles");
    std::filesystem::create_directories(Home + ".mplayer");
    WriteBytes(Home + ".mplayer/config", "ao=null\nlirc=no\n");  // a machine without sound
  }

  // The settings and the saved profile "Test": one xvid device at 320x240, 25 pictures a second.
  void WriteSettings()
  {
    WriteBytes(Work + "settings.txt", "Profile:Test\r\nCrop1\r\nFullAuto\r\nselfexit\r\n");
    std::vector<String> Cells(2 * 21);
    const char* Row[] = {"NMT XVID", "320x240", "800", "128", "xvid_mp3", "HD ( 720)", "25", "0", "0", "2", "0", "1"};
    for (int C = 0; C < 12; ++C) Cells[21 + C] = Row[C];
    Cells[21 + 12] = Out;
    Cells[21 + 13] = "No";
    WriteBytes(Work + "profiles/Test.prf", GridTextBytes(21, 2, Cells));
  }

  // A clip of 4 s with a moving picture and a tone, MPEG-2 in a program stream, over 1 MB so that
  // the scan takes it. (Debian's mencoder reads an AVI with MPEG-4 made by today's ffmpeg as one
  // picture and then repeats it: a clip like that would hide a broken conversion from every check
  // but the picture count.)
  std::string MakeClip()
  {
    const std::string Clip = Dir + "media/My clip.mpg";
    std::filesystem::create_directories(Dir + "media");
    std::string Log;
    Shell("ffmpeg -v error -y -f lavfi -i testsrc2=size=320x240:rate=25 -f lavfi -i "
          "sine=frequency=440:sample_rate=44100 -t 4 -c:v mpeg2video -q:v 2 -c:a mp2 -ac 2 " +
              Quote(Clip),
          Log);
    EXPECT_TRUE(std::filesystem::exists(Clip)) << Log;
    return Clip;
  }

  // Starts the program; its exit code (124 when it had to be ended after Seconds).
  int StartProgram(const std::string& Display, const std::string& Arg, std::string& Output, int Seconds = 120,
                   const std::string& Path = "")
  {
    std::string Env = "env HOME=" + Quote(Home) + " XDG_DATA_HOME=" + Quote(Home + ".local/share") +
                      " XDG_CONFIG_HOME=" + Quote(Home + ".config");
    Env += Display.empty() ? " QV_DISPLAY=headless" : " DISPLAY=" + Display + " QV_DISPLAY=x11";
    if (!Path.empty()) Env += " PATH=" + Quote(Path);
    return Shell("cd " + Quote(Dir) + " && timeout " + std::to_string(Seconds) + " " + Env + " " + QV_PROGRAM + " " +
                   Quote(Arg),
               Output);
  }

  std::string Probe(const std::string& File, const std::string& What)
  {
    std::string S;
    Shell("ffprobe -v error " + What + " " + Quote(File), S);
    while (!S.empty() && (S.back() == '\n' || S.back() == '\r')) S.pop_back();
    return S;
  }

  // Checks File as a viewer would see it: about 4 s long, Size ("WxH", any when empty), sound, at
  // least MinPictures pictures, every decoded picture distinct.
  void ExpectPlays(const std::string& File, const std::string& Size, int MinPictures)
  {
    EXPECT_NEAR(atof(Probe(File, "-show_entries format=duration -of csv=p=0").c_str()), 4.0, 0.5);
    const std::string Shown = Probe(File, "-select_streams v:0 -show_entries stream=width,height -of csv=s=x:p=0");
    if (!Size.empty())
      EXPECT_EQ(Shown, Size);
    else
      EXPECT_FALSE(Shown.empty()) << "no picture in " << File;
    EXPECT_EQ(Probe(File, "-select_streams a:0 -show_entries stream=codec_type -of csv=p=0"), "audio");
    std::string Frames;
    Shell("ffmpeg -v error -i " + Quote(File) + " -map 0:v -f framemd5 -", Frames);
    std::istringstream Lines(Frames);
    std::string Line;
    std::set<std::string> Distinct;
    int Decoded = 0;
    while (std::getline(Lines, Line)) {
      if (Line.empty() || Line[0] == '#') continue;
      ++Decoded;
      Distinct.insert(Line.substr(Line.rfind(',') + 1));
    }
    EXPECT_GE(Decoded, MinPictures);
    EXPECT_EQ(static_cast<int>(Distinct.size()), Decoded);
  }

  bool ToolsInstalled()
  {
    for (const char* Tool : {"mplayer", "mencoder", "ffmpeg", "ffprobe"})
      if (!Installed(Tool)) return false;
    return true;
  }

  void ConvertsAndEndsByItself(const std::string& Display)
  {
    if (!ToolsInstalled()) GTEST_SKIP() << "a tool is not installed: no whole-program run";
    WriteSettings();
    const std::string Clip = MakeClip();
    std::string Output;
    ASSERT_EQ(StartProgram(Display, Clip, Output), 0) << Output;

    const std::string File = Out + "My clip.avi";
    ASSERT_TRUE(std::filesystem::exists(File)) << Output;
    ExpectPlays(File, "320x240", 90);
    EXPECT_NE(ReadBytes(Out + "playlist.m3u").find(File + "\r\n"), std::string::npos);
    EXPECT_NE(ReadBytes(Work + "filelist.db").find("My clip.mpg"), std::string::npos);
    // The settings were written on the way out, "Convert automatically" still ticked.
    EXPECT_NE(ReadBytes(Work + "settings.txt").find("FullAuto\r\n"), std::string::npos);
  }

  std::string Home, Work, Out;
};

TEST_F(TWholeProgram, HeadlessConvertsTheCommandLineClipAndEndsByItself) { ConvertsAndEndsByItself(""); }

TEST_F(TWholeProgram, OnXvfbConvertsTheCommandLineClipAndEndsByItself)
{
  const std::string Display = TXvfbServer::Display();
  if (Display.empty()) GTEST_SKIP() << "Xvfb is not available";
  ConvertsAndEndsByItself(Display);
}

TEST_F(TWholeProgram, WithoutASavedProfileTheDeviceSelectedAtStartConvertsTheSameWay)
{
  if (!ToolsInstalled()) GTEST_SKIP() << "a tool is not installed: no whole-program run";
  WriteBytes(Work + "settings.txt", "Crop1\r\nFullAuto\r\nselfexit\r\n");
  const std::string Clip = MakeClip();
  std::string Output;
  ASSERT_EQ(StartProgram("", Clip, Output), 0) << Output;
  // The output goes to the videos folder (the home folder here, which has no "Videos"), or a
  // device folder inside it.
  std::vector<std::string> Made;
  for (const auto& E : std::filesystem::recursive_directory_iterator(Home))
    if (E.is_regular_file() && E.path().stem() == "My clip") Made.push_back(E.path().string());
  ASSERT_EQ(Made.size(), 1u) << Output;
  ExpectPlays(Made[0], "", 40);  // the device's own size and picture rate (at least 10 a second)
  EXPECT_NE(ReadBytes(Work + "filelist.db").find("My clip.mpg"), std::string::npos);
}

TEST_F(TWholeProgram, WithoutToolsItEndsAndNamesThem)
{
  if (!Installed("ffmpeg")) GTEST_SKIP() << "ffmpeg makes the clip";
  WriteSettings();
  const std::string Clip = MakeClip();
  std::filesystem::create_directories(Dir + "emptybin");
  std::string Output;
  // Without a player the clip cannot be read, so it is not marked and there is nothing to
  // convert: the program names the missing tools and waits for the user (no run, no hang); the
  // time limit ends it.
  const int Exit = StartProgram("", Clip, Output, 8, Dir + "emptybin");
  EXPECT_TRUE(Exit == 0 || Exit == 124) << Exit << Output;
  for (const char* Tool : {"mplayer is not installed", "mencoder is not installed", "ffmpeg is not installed"})
    EXPECT_NE(Output.find(Tool), std::string::npos) << Output;
  EXPECT_FALSE(std::filesystem::exists(Out + "My clip.avi"));
}

TEST_F(TWholeProgram, AnUnmakeableWorkFolderEndsWithAReason)
{
  std::filesystem::remove_all(Work);
  WriteBytes(Work.substr(0, Work.size() - 1), "a file where the work folder should be");
  std::string Output;
  EXPECT_EQ(StartProgram("", "", Output, 30), 1) << Output;
  EXPECT_NE(Output.find("could not be made"), std::string::npos) << Output;
}

}  // namespace
