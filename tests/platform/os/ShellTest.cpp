#include "platform/os/Shell.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <thread>

#include "platform/os/Drives.h"
#include "platform/os/Power.h"
#include "platform/os/Process.h"
#include "platform/rtl/Paths.h"
#include "tests/platform/os/ProcessTestHelpers.h"
#include "tests/platform/os/VolumeFakeTree.h"
#include "tests/support/TempDirTest.h"

namespace {

class TShellTestBase : public TTempDirTest {
protected:
  // A fake program that writes its working folder and arguments, one per line, to Output.
  static void WriteRecorder(const std::string& Program, const std::string& Output, int ExitCode = 0)
  {
    WriteBytes(Program, "#!/bin/sh\n{ pwd; for a in \"$@\"; do printf '%s\\n' \"$a\"; done; } > '" + Output + ".tmp' && mv '" +
                            Output + ".tmp' '" + Output + "'\nexit " + std::to_string(ExitCode) + "\n");
    chmod(Program.c_str(), 0755);
  }

  // What a detached recorder wrote, once it is there ("" after five seconds).
  static std::string WaitForOutput(const std::string& Output)
  {
    for (int i = 0; i < 500 && !std::filesystem::exists(Output); ++i)
      std::this_thread::sleep_for(std::chrono::milliseconds(10));
    return ReadBytes(Output);
  }
};

class TShellExecuteTest : public TShellTestBase {
protected:
  void SetUp() override
  {
    TShellTestBase::SetUp();
    WriteRecorder(Dir + "opener", Dir + "opened");
    SetShellOpener(Dir + "opener");
    std::filesystem::create_directories(Dir + "My Videos");
    WriteBytes(Dir + "notes.txt", "text");
    WriteRecorder(Dir + "tool", Dir + "ran");
  }
  void TearDown() override
  {
    SetShellOpener("xdg-open");
    TTempDirTest::TearDown();
  }
};

TEST_F(TShellExecuteTest, OpensDocumentsFoldersAndAddressesWithTheOpener)
{
  const struct {
    const char* Verb;
    std::string File;
    std::string Opened;
  } cases[] = {
      {"open", "http://www.example.com/qv3retail.zip", "http://www.example.com/qv3retail.zip"},
      {nullptr, "mailto:someone@example.com", "mailto:someone@example.com"},
      {"open", Dir + "notes.txt", Dir + "notes.txt"},
      {"explore", Dir + "My Videos/", Dir + "My Videos/"},
      {"open", Dir + "My Videos", Dir + "My Videos"},
      {"Open", "C:" + Dir + "notes.txt", Dir + "notes.txt"},  // a drive-letter path on "/"
  };
  for (const auto& c : cases) {
    std::filesystem::remove(Dir + "opened");
    const int result = ShellExecuteResult(ShellExecuteA(nullptr, c.Verb, c.File.c_str(), nullptr, nullptr, 1));
    EXPECT_GT(result, 32) << c.File;
    const std::string out = WaitForOutput(Dir + "opened");
    EXPECT_NE(out.find("\n" + c.Opened + "\n"), std::string::npos) << out;
  }
}

TEST_F(TShellExecuteTest, StartsProgramsDirectlyWithArgumentsAndFolder)
{
  SetShellConfiguredPrograms({Dir + "tool", Dir + "My Videos/tool2"});
  const int result = ShellExecuteResult(ShellExecuteA(nullptr, "open", (Dir + "tool").c_str(),
                                                      "-a \"two words\" \"\" say\"\"hi C:\\x", (Dir + "My Videos").c_str(), 0));
  ASSERT_GT(result, 32);
  EXPECT_EQ(WaitForOutput(Dir + "ran"), Dir + "My Videos\n-a\ntwo words\n\nsayhi\nC:\\x\n");
  EXPECT_FALSE(std::filesystem::exists(Dir + "opened"));  // not through the opener
  // A relative name is looked for in the folder given.
  std::filesystem::remove(Dir + "ran");
  std::filesystem::copy_file(Dir + "tool", Dir + "My Videos/tool2");
  ASSERT_GT(ShellExecuteResult(ShellExecuteA(nullptr, "open", "tool2", "x", (Dir + "My Videos").c_str(), 1)), 32);
  EXPECT_EQ(WaitForOutput(Dir + "ran"), Dir + "My Videos\nx\n");
  SetShellConfiguredPrograms({});
}

// Started by the test below as "our own executable": it leaves a mark and ends.
const bool OwnExecutableAction = qvtest::RegisterChildAction("shell-own-executable", [](const String& Mark) {
  std::ofstream(Mark + ".tmp") << "own\n";
  return std::rename((Mark + ".tmp").c_str(), Mark.c_str()) == 0 ? 0 : 1;
});

// Whether a file is started or handed to the opener depends on its name and its volume, never
// on the execute bit alone: every file below is an executable script.
class TShellStartTest : public TVolumeTreeTest {
protected:
  void SetUp() override
  {
    TVolumeTreeTest::SetUp();
    std::string table = ReadBytes(Root + "proc/self/mountinfo");
    table += "30 20 8:3 / " + Dir + "m/noexec rw,nosuid,noexec - ext4 /dev/sda3 rw\n";
    WriteBytes(Root + "proc/self/mountinfo", table);
    std::filesystem::create_directories(Dir + "m/noexec");
    std::filesystem::create_directories(Dir + "bin");
    WriteRecorder(Dir + "opener", Dir + "opened");
    SetShellOpener(Dir + "opener");
    const char* path = std::getenv("PATH");
    OldPath = path ? path : "";
    OldDir = GetCurrentDir();
    setenv("PATH", ("relative:" + Dir + "bin:" + OldPath).c_str(), 1);
  }
  void TearDown() override
  {
    setenv("PATH", OldPath.c_str(), 1);
    SetCurrentDir(OldDir);
    SetShellOpener("xdg-open");
    SetShellConfiguredPrograms({});
    qvtest::ClearChildMode();
    TVolumeTreeTest::TearDown();
  }
  static void WriteRecorder(const std::string& Program, const std::string& Output)
  {
    WriteBytes(Program, "#!/bin/sh\n{ echo ran; } > '" + Output + ".tmp' && mv '" + Output + ".tmp' '" + Output + "'\n");
    chmod(Program.c_str(), 0755);
  }
  static std::string WaitForOutput(const std::string& Output)
  {
    for (int i = 0; i < 500 && !std::filesystem::exists(Output); ++i)
      std::this_thread::sleep_for(std::chrono::milliseconds(10));
    return ReadBytes(Output);
  }
  std::string OldPath;
  std::string OldDir;
};

TEST_F(TShellStartTest, DocumentsAndForeignVolumesGoToTheOpenerWhateverTheirMode)
{
  const struct {
    std::string File;      // an executable script (the first name given to ShellExecute)
    std::string Given;     // what ShellExecute is asked to open ("" = File)
    bool Started;          // true: run itself; false: handed to the opener
  } cases[] = {
      {Dir + "clip.avi", "", false},
      {Dir + "backup.ZIP", "", false},
      {Dir + "film.mkv", "", false},
      {Dir + "holiday.jpg", "", false},
      {Dir + "readme.txt", "", false},
      {Dir + "page.html", "", false},
      {Dir + "settings.prf", "", false},
      {Dir + "bin/movie.mp4", "", false},            // a document name, even on PATH
      {Dir + "m/usb stick/run", "", false},           // removable
      {Dir + "m/disc/setup", "", false},              // optical
      {Dir + "m/nfs/tool", "", false},                // network
      {Dir + "m/noexec/tool", "", false},             // mounted noexec
      {Dir + "m/usb stick/hidden", Dir + "innocent", false},  // a link to a removable volume
      {Dir + "unknown-script", "", false},            // neither on PATH nor configured
      {Dir + "bin/onpath", "", true},                 // found on PATH
      {Dir + "bin/bare", "bare", true},               // a bare name looked up on PATH
      {Dir + "m/data/configured", "", true},          // a program the user configured
      {Dir + "relative/notthere", "notthere", false}, // a relative PATH entry is not searched
  };
  std::vector<String> configured;
  for (const auto& c : cases)  // even a configured program does not start from a foreign volume
    if (c.File != Dir + "unknown-script") configured.push_back(c.File);
  SetShellConfiguredPrograms(configured);
  std::filesystem::create_directories(Dir + "relative");
  ASSERT_TRUE(SetCurrentDir(Dir));
  for (const auto& c : cases) {
    std::filesystem::remove(Dir + "opened");
    std::filesystem::remove(Dir + "ran");
    WriteRecorder(c.File, Dir + "ran");
    if (!c.Given.empty() && c.Given[0] == '/') std::filesystem::create_symlink(c.File, c.Given);
    const std::string given = c.Given.empty() ? c.File : c.Given;
    const int result = ShellExecuteResult(ShellExecuteA(nullptr, "open", given.c_str(), nullptr, nullptr, 1));
    if (c.File == Dir + "relative/notthere") {
      EXPECT_EQ(result, SE_ERR_FNF) << given;
      continue;
    }
    EXPECT_GT(result, 32) << given;
    if (c.Started) {
      EXPECT_EQ(WaitForOutput(Dir + "ran"), "ran\n") << given;
      EXPECT_FALSE(std::filesystem::exists(Dir + "opened")) << given;
    } else {
      EXPECT_NE(WaitForOutput(Dir + "opened"), "") << given;
      EXPECT_FALSE(std::filesystem::exists(Dir + "ran")) << given;
    }
  }
}

TEST_F(TShellStartTest, OurOwnExecutableStillStarts)
{
  std::filesystem::remove(Dir + "own");
  qvtest::ChildModeCommand("shell-own-executable", Dir + "own");
  const String self = qv::os::ModuleFileName();
  ASSERT_GT(ShellExecuteResult(ShellExecuteA(nullptr, "open", self.c_str(), nullptr, nullptr, 1)), 32);
  qvtest::ClearChildMode();
  EXPECT_EQ(WaitForOutput(Dir + "own"), "own\n");
  EXPECT_FALSE(std::filesystem::exists(Dir + "opened"));
}

TEST_F(TShellExecuteTest, FailuresGiveTheWindowsCodes)
{
  char unused = 'Z';
  while (unused > 'C' && (GetLogicalDrives() & (1u << (unused - 'A')))) --unused;
  const struct {
    const char* Verb;
    std::string File;
    const char* Directory;
    int Code;
  } cases[] = {
      {"open", Dir + "missing.avi", nullptr, SE_ERR_FNF},
      {"open", Dir + "no/such/folder/file.avi", nullptr, SE_ERR_PNF},
      {"open", "", nullptr, SE_ERR_FNF},
      {"explore", Dir + "notes.txt", nullptr, SE_ERR_FNF},  // not a folder
      {"explore", Dir + "gone", nullptr, SE_ERR_FNF},
      {"print", Dir + "notes.txt", nullptr, SE_ERR_NOASSOC},
      {"open", "notes.txt", "/no/such/dir", SE_ERR_PNF},
      {"open", std::string(1, unused) + ":\\film.avi", nullptr, SE_ERR_PNF},  // no such drive
  };
  for (const auto& c : cases)
    EXPECT_EQ(ShellExecuteResult(ShellExecuteA(nullptr, c.Verb, c.File.c_str(), nullptr, c.Directory, 1)), c.Code)
        << c.File;
  SetShellOpener(Dir + "no-opener");
  EXPECT_EQ(ShellExecuteResult(ShellExecuteA(nullptr, "open", "http://example.com/", nullptr, nullptr, 1)), SE_ERR_NOASSOC);
  EXPECT_FALSE(std::filesystem::exists(Dir + "opened"));
}

class TShellPowerTest : public TShellTestBase {
protected:
  void TearDown() override
  {
    SetPowerCommand("systemctl");
    TTempDirTest::TearDown();
  }
};

TEST_F(TShellPowerTest, ExitWindowsRunsTheServiceManager)
{
  WriteRecorder(Dir + "systemctl", Dir + "power");
  SetPowerCommand(Dir + "systemctl");
  const struct {
    UINT Flags;
    std::string Action;
  } cases[] = {
      {EWX_POWEROFF | EWX_FORCE, "poweroff"},
      {EWX_SHUTDOWN, "poweroff"},
      {EWX_REBOOT | EWX_FORCE, "reboot"},
  };
  for (const auto& c : cases) {
    std::filesystem::remove(Dir + "power");
    EXPECT_TRUE(ExitWindowsEx(c.Flags, 0));
    // The call waits for the command, so its record is complete now.
    const std::string out = ReadBytes(Dir + "power");
    EXPECT_EQ(out.substr(out.find('\n') + 1), c.Action + "\n");
  }
  std::filesystem::remove(Dir + "power");
  EXPECT_FALSE(ExitWindowsEx(EWX_LOGOFF, 0));
  EXPECT_EQ(GetLastError(), 50u);
  EXPECT_FALSE(std::filesystem::exists(Dir + "power"));

  // A refusal is told, with the command's exit code.
  WriteRecorder(Dir + "systemctl", Dir + "power", 4);
  EXPECT_FALSE(ExitWindowsEx(EWX_POWEROFF, 0));
  EXPECT_EQ(GetLastError(), 4u);
  SetPowerCommand(Dir + "missing");
  EXPECT_FALSE(ExitWindowsEx(EWX_POWEROFF, 0));

  HANDLE token = nullptr;
  LUID luid;
  ASSERT_TRUE(OpenProcessToken(nullptr, TOKEN_ADJUST_PRIVILEGES | TOKEN_QUERY, &token));
  EXPECT_TRUE(LookupPrivilegeValueA(nullptr, SE_SHUTDOWN_NAME, &luid));
  TOKEN_PRIVILEGES privileges;
  privileges.PrivilegeCount = 1;
  privileges.Privileges[0].Luid = luid;
  privileges.Privileges[0].Attributes = SE_PRIVILEGE_ENABLED;
  EXPECT_TRUE(AdjustTokenPrivileges(token, FALSE, &privileges, 0, nullptr, nullptr));
}

}  // namespace
