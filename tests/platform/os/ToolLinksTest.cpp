#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>

#include "platform/os/ToolLinks.h"
#include "tests/platform/os/ProcessTestHelpers.h"
#include "tests/support/TempDirTest.h"

using namespace qvtest;

namespace {

String LinkTarget(const String& Path)
{
  char Buffer[4096];
  ssize_t N = readlink(Path.c_str(), Buffer, sizeof Buffer - 1);
  return N > 0 ? String(Buffer, static_cast<std::size_t>(N)) : String();
}

std::vector<String> Sorted(std::vector<String> V)
{
  std::sort(V.begin(), V.end());
  return V;
}

}  // namespace

class ToolLinksTest : public TTempDirTest {
protected:
  void SetUp() override
  {
    TTempDirTest::SetUp();
    A = Dir + "a";
    B = Dir + "b";
    Work = Dir + "work/Quelvo3";
    ASSERT_EQ(mkdir(A.c_str(), 0755), 0);
    ASSERT_EQ(mkdir(B.c_str(), 0755), 0);
    // Fake tools: the test child under the tools' names; an unexecutable "mencoder" comes
    // first on the path and must be passed over.
    ASSERT_EQ(symlink(TestChild().c_str(), (A + "/mplayer").c_str()), 0);
    ASSERT_EQ(symlink(TestChild().c_str(), (A + "/ffmpeg").c_str()), 0);
    WriteBytes(A + "/mencoder", "not executable");
    ASSERT_EQ(symlink(TestChild().c_str(), (B + "/mencoder").c_str()), 0);
    Path = "relative:" + A + ":" + B + "/:";
  }
  String A, B, Work, Path;
};

TEST_F(ToolLinksTest, LinksToolsKeepsGoodOnesAndReplacesStaleOnes)
{
  ASSERT_EQ(qv::os::FindProgramOnPath("mencoder", Path), B + "/mencoder");
  EXPECT_EQ(qv::os::FindProgramOnPath("MP4Box", Path), "");

  // A first run makes the work folder and every link it can.
  qv::os::TToolLinkResult First = qv::os::ProvideToolLinks(Work, Path);
  EXPECT_EQ(Sorted(First.Linked), Sorted({"mplayer.exe", "mplayer2.exe", "mencoder.exe", "mencoder2.exe",
                                          "ffmpeg.exe", "ffmpeg2.exe"}));
  EXPECT_EQ(Sorted(First.Missing), Sorted({"qvcscript.exe", "mp4box.exe", "tivo.exe"})) << "no adapter here";
  EXPECT_TRUE(First.Failed.empty());
  EXPECT_EQ(LinkTarget(Work + "/mencoder.exe"), B + "/mencoder");
  EXPECT_EQ(LinkTarget(Work + "/ffmpeg2.exe"), A + "/ffmpeg");

  // Then: a good link, a stale link, a dangling link of a missing tool, a user's own build.
  struct stat Before {};
  ASSERT_EQ(lstat((Work + "/mplayer.exe").c_str(), &Before), 0);
  ASSERT_EQ(unlink((Work + "/ffmpeg.exe").c_str()), 0);
  ASSERT_EQ(symlink("/no/such/ffmpeg", (Work + "/ffmpeg.exe").c_str()), 0);
  ASSERT_EQ(symlink("/no/such/MP4Box", (Work + "/mp4box.exe").c_str()), 0);
  ASSERT_EQ(unlink((Work + "/mencoder2.exe").c_str()), 0);
  WriteBytes(Work + "/mencoder2.exe", "faster build");

  qv::os::TToolLinkResult Second = qv::os::ProvideToolLinks(Work, Path);
  EXPECT_EQ(Second.Kept, std::vector<String>{"mencoder2.exe"});
  EXPECT_EQ(Sorted(Second.Missing), Sorted({"qvcscript.exe", "mp4box.exe", "tivo.exe"}));
  struct stat After {};
  ASSERT_EQ(lstat((Work + "/mplayer.exe").c_str(), &After), 0);
  EXPECT_EQ(After.st_ino, Before.st_ino) << "a correct link is kept as it is";
  EXPECT_EQ(LinkTarget(Work + "/ffmpeg.exe"), A + "/ffmpeg");
  EXPECT_EQ(ReadBytes(Work + "/mencoder2.exe"), "faster build");
  struct stat Gone {};
  EXPECT_NE(lstat((Work + "/mp4box.exe").c_str(), &Gone), 0) << "a missing tool leaves its name absent";
}

TEST_F(ToolLinksTest, ExtractPlayLetsCommandLinesRunUnchanged)
{
  const char* Old = std::getenv("PATH");
  const String Saved = Old ? Old : "";
  setenv("PATH", Path.c_str(), 1);
  const int Result = ExtractPlay(Work);
  setenv("PATH", Saved.c_str(), 1);
  EXPECT_EQ(Result, 1);
  TChildRun Run = RunChild("\"" + Work + "/mplayer.exe\" args -vo null \"" + Dir + "a b.avi\"");
  ASSERT_TRUE(Run.Started);
  EXPECT_EQ(Run.Out, "[args]\n[-vo]\n[null]\n[" + Dir + "a b.avi]\n");

  // Without the tools nothing is linked and the answer is 0.
  EXPECT_EQ(ExtractPlay(Dir + "empty"), Old && qv::os::FindProgramOnPath("mplayer", Old) != "" &&
                                                    qv::os::FindProgramOnPath("mencoder", Old) != ""
                                                ? 1
                                                : 0);
}

// What the user put under a tool's name decides what happens to it: links to builds of their
// own stay, broken or useless links are replaced, files and folders are never removed.
TEST_F(ToolLinksTest, UsersOwnLinksStayAndOnlyExecutableFilesCount)
{
  ASSERT_EQ(mkdir((Dir + "build").c_str(), 0755), 0);
  ASSERT_EQ(symlink(TestChild().c_str(), (Dir + "build/mplayer").c_str()), 0);
  ASSERT_EQ(symlink(TestChild().c_str(), (Dir + "build/MP4Box").c_str()), 0);
  WriteBytes(Dir + "build/notes", "not a program");
  ASSERT_EQ(mkdir((Dir + "work").c_str(), 0755), 0);
  ASSERT_EQ(mkdir(Work.c_str(), 0755), 0);

  enum TOutcome { Linked, Kept, Failed, Missing };
  const struct {
    String Name;
    String Before;   // a link text, "dir" for a folder, "file" for a plain file
    TOutcome Outcome;
    String After;    // the link text afterwards ("" when no link)
  } cases[] = {
      {"mplayer.exe", Dir + "build/mplayer", Linked, Dir + "build/mplayer"},  // the user's own build
      {"mplayer2.exe", "../../build/mplayer", Linked, "../../build/mplayer"},  // relative, too
      {"mp4box.exe", Dir + "build/MP4Box", Linked, Dir + "build/MP4Box"},      // tool not on PATH
      {"mencoder.exe", Dir + "build", Linked, B + "/mencoder"},                // a folder is no tool
      {"mencoder2.exe", Dir + "build/notes", Linked, B + "/mencoder"},         // nor a plain file
      {"ffmpeg.exe", Dir + "gone/ffmpeg", Linked, A + "/ffmpeg"},              // dangling
      {"ffmpeg2.exe", "dir", Failed, ""},                                      // a folder of that name
  };
  for (const auto& c : cases) {
    const String path = Work + "/" + c.Name;
    if (c.Before == "dir")
      ASSERT_EQ(mkdir(path.c_str(), 0755), 0);
    else
      ASSERT_EQ(symlink(c.Before.c_str(), path.c_str()), 0);
  }
  const qv::os::TToolLinkResult Result = qv::os::ProvideToolLinks(Work, Path);
  for (const auto& c : cases) {
    const auto& list = c.Outcome == Linked ? Result.Linked
                       : c.Outcome == Kept ? Result.Kept
                       : c.Outcome == Failed ? Result.Failed
                                             : Result.Missing;
    EXPECT_NE(std::find(list.begin(), list.end(), c.Name), list.end()) << c.Name;
    EXPECT_EQ(LinkTarget(Work + "/" + c.Name), c.After) << c.Name;
  }
  struct stat St {};
  ASSERT_EQ(stat((Work + "/ffmpeg2.exe").c_str(), &St), 0);
  EXPECT_TRUE(S_ISDIR(St.st_mode)) << "a folder is left alone";

  // A folder under a tool's name does not count as the tool.
  ASSERT_EQ(rmdir((Work + "/ffmpeg2.exe").c_str()), 0);
  ASSERT_EQ(unlink((Work + "/mencoder.exe").c_str()), 0);
  ASSERT_EQ(mkdir((Work + "/mencoder.exe").c_str(), 0755), 0);
  const char* Old = std::getenv("PATH");
  const String Saved = Old ? Old : "";
  setenv("PATH", Path.c_str(), 1);
  EXPECT_EQ(ExtractPlay(Work), 0);
  setenv("PATH", Saved.c_str(), 1);
}

// With the tool adapter, the encoder names lead to it and the players to mplayer; links that
// older versions made to the system's encoders are brought up to date, the user's own builds
// are not, and the Windows Media Encoder script gets its placeholder.
TEST_F(ToolLinksTest, EncoderNamesLeadToTheAdapter)
{
  const String Adapter = Dir + "bin/qv-tooladapter", OldAdapter = Dir + "old/qv-tooladapter";
  ASSERT_EQ(mkdir((Dir + "bin").c_str(), 0755), 0);
  ASSERT_EQ(mkdir((Dir + "old").c_str(), 0755), 0);
  WriteBytes(Adapter, "#!/bin/sh\n");
  ASSERT_EQ(chmod(Adapter.c_str(), 0755), 0);
  WriteBytes(OldAdapter, "#!/bin/sh\n");
  ASSERT_EQ(chmod(OldAdapter.c_str(), 0755), 0);
  ASSERT_EQ(mkdir((Dir + "work").c_str(), 0755), 0);
  ASSERT_EQ(mkdir(Work.c_str(), 0755), 0);
  WriteBytes(Dir + "mine", "#!/bin/sh\n");
  ASSERT_EQ(chmod((Dir + "mine").c_str(), 0755), 0);
  const struct {
    String Name;
    String Before;  // a link text, "file" for a plain file, "" for nothing
    String After;   // the link text afterwards ("" when it is no link)
  } Cases[] = {
      {"mplayer.exe", "", A + "/mplayer"},
      {"mplayer2.exe", "", A + "/mplayer"},
      {"mencoder.exe", B + "/mencoder", Adapter},  // made by an older version: brought up to date
      {"mencoder2.exe", "file", ""},               // the user's own build stays
      {"ffmpeg.exe", Dir + "mine", Dir + "mine"},  // the user's link to a build of their own stays
      {"ffmpeg2.exe", OldAdapter, Adapter},        // an adapter elsewhere
      {"qvcscript.exe", "", Adapter},
      {"mp4box.exe", "", Adapter},
      {"tivo.exe", "", Adapter},
  };
  for (const auto& C : Cases) {
    const String P = Work + "/" + C.Name;
    if (C.Before == "file") {
      WriteBytes(P, "user's build");
    } else if (!C.Before.empty()) {
      ASSERT_EQ(symlink(C.Before.c_str(), P.c_str()), 0);
    }
  }
  const qv::os::TToolLinkResult Result = qv::os::ProvideToolLinks(Work, Path, Adapter);
  EXPECT_TRUE(Result.Missing.empty());
  EXPECT_TRUE(Result.Failed.empty());
  EXPECT_EQ(Result.Kept, std::vector<String>{"mencoder2.exe"});
  for (const auto& C : Cases) EXPECT_EQ(LinkTarget(Work + "/" + C.Name), C.After) << C.Name;
  EXPECT_EQ(ReadBytes(Work + "/mencoder2.exe"), "user's build");
  // The script the command lines name is there and stays as it is once there.
  EXPECT_FALSE(ReadBytes(Work + "/wmcmd.vbs").empty());
  WriteBytes(Work + "/wmcmd.vbs", "edited");
  qv::os::ProvideToolLinks(Work, Path, Adapter);
  EXPECT_EQ(ReadBytes(Work + "/wmcmd.vbs"), "edited");
  // Without the adapter the encoders fall back to the system's tools.
  const String Bare = Dir + "bare";
  const qv::os::TToolLinkResult Plain = qv::os::ProvideToolLinks(Bare, Path, Dir + "no/adapter");
  EXPECT_EQ(LinkTarget(Bare + "/mencoder.exe"), B + "/mencoder");
  EXPECT_EQ(Sorted(Plain.Missing), Sorted({"qvcscript.exe", "mp4box.exe", "tivo.exe"}));
}
