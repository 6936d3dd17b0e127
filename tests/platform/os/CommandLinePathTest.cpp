// Paths on a tool's command line: whatever a file name or mount point holds, the tool receives
// exactly one argument naming that path, never an option or a second argument.
#include <gtest/gtest.h>

#include <unistd.h>

#include <filesystem>

#include "platform/os/CommandLine.h"
#include "platform/os/PathRules.h"
#include "platform/rtl/Paths.h"
#include "tests/platform/os/ProcessTestHelpers.h"
#include "tests/platform/os/VolumeFakeTree.h"

namespace {

using qv::os::QuoteCommandLinePath;
using qv::os::SplitCommandLine;
using qvtest::RunChild;
using qvtest::TestChild;

String ChildArgs(const String& Arguments)
{
  return RunChild(QuoteCommandLinePath(TestChild()) + " args " + Arguments).Out;
}

class TCommandLinePathTest : public TVolumeTreeTest {
protected:
  void SetUp() override
  {
    TVolumeTreeTest::SetUp();
    Previous = GetCurrentDir();
    ASSERT_TRUE(SetCurrentDir(Dir));
  }
  void TearDown() override
  {
    SetCurrentDir(Previous);
    TVolumeTreeTest::TearDown();
  }
  String Previous;
};

TEST_F(TCommandLinePathTest, HostileNamesReachTheToolAsOneArgument)
{
  const String here = GetCurrentDir() + "/";
  const struct {
    String Path;
    String Received;
  } cases[] = {
      {"x.avi\" -ovc copy -oac copy -o settings.txt -passlogfile .avi", here + "x.avi\" -ovc copy -oac copy -o settings.txt -passlogfile .avi"},
      {Dir + "\"", Dir + "\""},
      {Dir + "\"\"", Dir + "\"\""},
      {Dir + "a\"b\"c\"d.avi", Dir + "a\"b\"c\"d.avi"},  // an odd count
      {Dir + "trailing\"", Dir + "trailing\""},
      {Dir + "\"leading", Dir + "\"leading"},
      {Dir + "two\nlines.avi", Dir + "two\nlines.avi"},
      {"-o settings.txt", here + "-o settings.txt"},  // a leading "-" is no option
      {"-", here + "-"},
      {"a\\b\\..\\c.avi", here + "a\\b\\..\\c.avi"},  // backslashes are name characters
      {Dir + "tab\there", Dir + "tab\there"},
      {"/", "/"},
      {"", ""},
  };
  for (const auto& c : cases) {
    const String quoted = QuoteCommandLinePath(c.Path);
    EXPECT_EQ(SplitCommandLine("mencoder " + quoted + " -o out.avi"),
              (std::vector<String>{"mencoder", c.Received, "-o", "out.avi"}))
        << c.Path;
    EXPECT_EQ(ChildArgs(quoted + " next"), "[args]\n[" + c.Received + "]\n[next]\n") << c.Path;
  }
}

TEST_F(TCommandLinePathTest, DvdDeviceTextsOfHostileMountPointsAndImages)
{
  // A disc mounted on a folder whose name holds double quotes and a blank.
  const String mount = Dir + "m/dvd \"x\" -o y";
  std::filesystem::create_directories(mount);
  String table = ReadBytes(Root + "proc/self/mountinfo");
  table += "29 20 11:0 / " + Dir + "m/dvd\\040\"x\"\\040-o\\040y ro - iso9660 /dev/sr0 ro\n";
  WriteBytes(Root + "proc/self/mountinfo", table);
  ASSERT_TRUE(IsDriveRoot(mount)) << mount;

  const struct {
    String Path;
    String Device;
    String Title;
  } cases[] = {
      {mount, mount, mount + "/VIDEO_TS"},
      {mount + "/", mount, mount + "/VIDEO_TS"},
      {Dir + "film \".iso", Dir + "film \".iso", Dir + "film \".iso"},
      {Dir + "ends in quote\"", Dir + "ends in quote\"", Dir + "ends in quote\""},
      {"-dvd.iso", Dir + "-dvd.iso", Dir + "-dvd.iso"},
      {"\"" + Dir + "image.iso\"", Dir + "image.iso", Dir + "image.iso"},  // quoted around: unquoted
  };
  for (const auto& c : cases) {
    EXPECT_EQ(ChildArgs("-dvd-device " + DvdDeviceText(c.Path) + " dvd://1"),
              "[args]\n[-dvd-device]\n[" + c.Device + "]\n[dvd://1]\n")
        << c.Path;
    EXPECT_EQ(ChildArgs("-dvd-device " + DvdTitleDevicePart(c.Path) + "dvdnav://2"),
              "[args]\n[-dvd-device]\n[" + c.Title + "]\n[dvdnav://2]\n")
        << c.Path;
  }
}

}  // namespace
