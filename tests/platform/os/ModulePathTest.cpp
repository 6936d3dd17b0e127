// Our own executable's path while a package upgrade replaces the file under the running
// program: the path stays the path (the system's " (deleted)" mark is not part of it), and a
// restart starts the new program found there.
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <fstream>

#include "platform/os/Process.h"
#include "tests/platform/os/ProcessTestHelpers.h"
#include "tests/support/TempDirTest.h"

namespace {

using qv::os::ExecutablePathOfLink;
using qv::os::ModuleFileName;

void WriteFile(const String& Name, const String& Text, mode_t Mode)
{
  std::ofstream(Name, std::ios::binary) << Text;
  chmod(Name.c_str(), Mode);
}

// In a copy of this program: replaces its own file as an upgrade does (a new file renamed over
// the old name), prints the path before and after, and restarts. The new "program" is a script
// that leaves the mark "new" in the folder; the old one, were it started, would run the child
// action "restart-old" and leave "old".
const bool UpgradeAction = qvtest::RegisterChildAction("module-path-upgrade", [](const String& Folder) {
  const String before = ModuleFileName();
  const String path = Folder + "quelvo3";
  WriteFile(path + ".new", "#!/bin/sh\necho new > '" + Folder + "mark'\n", 0755);
  if (std::rename((path + ".new").c_str(), path.c_str()) != 0) return 2;
  const String after = ModuleFileName();
  std::printf("%s\n%s\n", before.c_str(), after.c_str());
  std::fflush(stdout);
  setenv("QV_OS_CHILD", "restart-old", 1);
  return qv::os::RestartProcess({}) != 0 ? 0 : 3;
});

const bool OldAction = qvtest::RegisterChildAction("restart-old", [](const String& Folder) {
  WriteFile(Folder + "mark", "old\n", 0644);
  return 0;
});

class TModulePathTest : public TTempDirTest {
protected:
  void TearDown() override
  {
    qvtest::ClearChildMode();
    TTempDirTest::TearDown();
  }
};

TEST_F(TModulePathTest, AnUpgradedExecutableKeepsItsPathAndRestartsAsTheNewProgram)
{
  const String copy = Dir + "quelvo3";
  std::filesystem::copy_file(ModuleFileName(), copy);
  chmod(copy.c_str(), 0755);
  qvtest::ChildModeCommand("module-path-upgrade", Dir);
  const qvtest::TChildRun run = qvtest::RunChild("\"" + copy + "\"");
  qvtest::ClearChildMode();
  ASSERT_TRUE(run.Started);
  EXPECT_EQ(run.ExitCode, 0u) << run.Out;
  EXPECT_EQ(run.Out, copy + "\n" + copy + "\n");
  for (int i = 0; i < 500 && !std::filesystem::exists(Dir + "mark"); ++i) Sleep(10);
  EXPECT_EQ(ReadBytes(Dir + "mark"), "new\n");
}

TEST_F(TModulePathTest, TheDeletedMarkIsDroppedUnlessItIsPartOfTheName)
{
  const String self = ModuleFileName();
  const struct {
    String Link;
    String Path;
  } cases[] = {
      {"/usr/bin/quelvo3 (deleted)", "/usr/bin/quelvo3"},
      {"/usr/bin/quelvo3", "/usr/bin/quelvo3"},
      {"/opt/a (deleted) b", "/opt/a (deleted) b"},
      {" (deleted)", " (deleted)"},
      {"", ""},
      {self, self},
  };
  for (const auto& c : cases) EXPECT_EQ(ExecutablePathOfLink(c.Link), c.Path) << c.Link;
}

}  // namespace
