#include <gtest/gtest.h>

#include "RunnerTestSupport.h"
#include "core/MainForm.h"
#include "core/ToolProcesses.h"
#include "platform/os/Process.h"
#include "platform/os/ProcessLookup.h"
#include "platform/os/Wait.h"
#include "platform/vcl/Timer.h"

using namespace runnertest;

namespace {

// Starts a fake tool of that name that stays until killed; its process id.
DWORD StartStalled(const std::string& Dir, const std::string& Name)
{
  STARTUPINFOA Info;
  PROCESS_INFORMATION Pi;
  std::string Env = std::string("QV_FAKETOOL_SCRIPT=stall") + '\0' + '\0';
  std::string Cmd = "\"" + Dir + Name + "\"";
  EXPECT_TRUE(CreateProcessA(nullptr, Cmd.data(), nullptr, nullptr, FALSE, 0, Env.data(), nullptr, &Info, &Pi));
  CloseHandle(Pi.hThread);
  CloseHandle(Pi.hProcess);
  // The child may show the new program's name only a moment after CreateProcessA returned
  // (another tool of the same name may be listed before it).
  const Int64 Start = GetTickCount64();
  while (ProcessImageName(Pi.dwProcessId, true) != Dir + Name && GetTickCount64() - Start < 5000) Sleep(1);
  return Pi.dwProcessId;
}

bool Running(DWORD Pid)
{
  HANDLE H = OpenProcess(SYNCHRONIZE, FALSE, Pid);
  if (!H) return false;
  const bool Alive = WaitForSingleObject(H, 0) == WAIT_TIMEOUT;
  CloseHandle(H);
  return Alive;
}

// The tool wait and the picker wait, each with the flag that ends it.
struct TWaitCase {
  const char* Wait;
  bool* Flag;
  void (*Run)();
};
const TWaitCase WaitCases[] = {
    {"WaitForTool", &ToolRunning, WaitForTool},
    {"WaitForTrackSelection", &PickerOpen, WaitForTrackSelection},
};

}  // namespace

using ToolProcesses = TRunnerTest;

TEST_F(ToolProcesses, FindByImageNameIgnoresCaseAndAPathMatchesOnlyTheFullPath)
{
  // A tool name of this run's own, so that no other program's tool can answer the bare name.
  const std::string Name = "qvtest" + std::to_string(getpid()) + "enc.exe";
  std::string Upper = Name;
  for (char& C : Upper) C = static_cast<char>(toupper(static_cast<unsigned char>(C)));
  std::filesystem::create_symlink(std::string(QV_TEST_BIN_DIR) + "/qv_faketool", Dir + Name);
  const DWORD Pid = StartStalled(Dir, Name);
  struct TCase {
    std::string Name;
    Integer Expected;
  };
  const std::vector<TCase> Cases = {
      {Name, static_cast<Integer>(Pid)},
      {Upper, static_cast<Integer>(Pid)},
      {Dir + Name, static_cast<Integer>(Pid)},
      {Dir + Upper, static_cast<Integer>(Pid)},
      {"/elsewhere/" + Name, -1},
      {Name.substr(0, Name.size() - 4), -1},
      {"2" + Name, -1},
  };
  for (const auto& C : Cases) EXPECT_EQ(FindProcessIdByExeName(C.Name), C.Expected) << C.Name;

  TStringList List;
  ASSERT_TRUE(ListRunningProcesses(&List, false));
  const int Index = List.IndexOf(Name);
  ASSERT_GE(Index, 0);
  EXPECT_EQ(reinterpret_cast<std::intptr_t>(List.GetObject(Index)), static_cast<std::intptr_t>(Pid));
  EXPECT_EQ(CloseOrKillProcess(Pid, 50), 2);
}

TEST_F(ToolProcesses, CloseOrKillRefusesOurselvesAndUnknownIds)
{
  EXPECT_EQ(CloseOrKillProcess(GetCurrentProcessId(), 50), 0);
  EXPECT_EQ(CloseOrKillProcess(0x7FFFFFF0u, 50), 0);
}

TEST_F(ToolProcesses, KillPlayersTakesOnePlayerPerCallAndKillAllToolsOnePerName)
{
  const DWORD A = StartStalled(Dir, "mplayer.exe");
  const DWORD B = StartStalled(Dir, "mplayer.exe");
  const DWORD C = StartStalled(Dir, "mplayer2.exe");
  const DWORD Encoder = StartStalled(Dir, "mencoder.exe");
  // Tools of the same names started from elsewhere (another program, another test run) are
  // not this run's to end.
  const std::string Other = Dir + "other/";
  std::filesystem::create_directories(Other);
  for (const char* Name : {"mplayer.exe", "mencoder.exe"})
    std::filesystem::create_symlink(std::string(QV_TEST_BIN_DIR) + "/qv_faketool", Other + Name);
  const DWORD OtherPlayer = StartStalled(Other, "mplayer.exe");
  const DWORD OtherEncoder = StartStalled(Other, "mencoder.exe");
  KillPlayers();
  ASSERT_TRUE(PumpUntil([&] { return !Running(C); }));
  EXPECT_NE(Running(A), Running(B));  // exactly one of the two is gone
  KillPlayers();
  ASSERT_TRUE(PumpUntil([&] { return !Running(A) && !Running(B); }));
  EXPECT_TRUE(Running(Encoder));
  KillAllTools();
  ASSERT_TRUE(PumpUntil([&] { return !Running(Encoder); }));
  KillPlayers();
  KillAllTools();
  EXPECT_TRUE(Running(OtherPlayer));
  EXPECT_TRUE(Running(OtherEncoder));
  for (DWORD Pid : {OtherPlayer, OtherEncoder}) CloseOrKillProcess(Pid, 0);
}

// Without a test's own folder the kill routines reach only the tools of the program's work
// folder, never a same-named program started from elsewhere.
TEST_F(ToolProcesses, KillByNameReachesOnlyTheWorkFoldersTools)
{
  const String KeptWorkFolder = WorkFolder;
  WorkFolder = Dir + "work/";
  SetToolLookupFolder("");
  const std::string Other = Dir + "other/";
  for (const std::string& Folder : {std::string(WorkFolder), Other}) {
    std::filesystem::create_directories(Folder);
    for (const char* Name : {"mplayer.exe", "mencoder.exe"})
      std::filesystem::create_symlink(std::string(QV_TEST_BIN_DIR) + "/qv_faketool", Folder + Name);
  }
  const DWORD OtherPlayer = StartStalled(Other, "mplayer.exe");
  const DWORD OtherEncoder = StartStalled(Other, "mencoder.exe");
  const DWORD Player = StartStalled(WorkFolder, "mplayer.exe");
  const DWORD Encoder = StartStalled(WorkFolder, "mencoder.exe");
  KillPlayers();
  KillAllTools();
  const bool Ended = PumpUntil([&] { return !Running(Player) && !Running(Encoder); });
  const bool OthersRun = Running(OtherPlayer) && Running(OtherEncoder);
  for (DWORD Pid : {OtherPlayer, OtherEncoder, Player, Encoder}) CloseOrKillProcess(Pid, 0);
  SetToolLookupFolder(Dir);
  WorkFolder = KeptWorkFolder;
  EXPECT_TRUE(Ended);
  EXPECT_TRUE(OthersRun);
}

TEST_F(ToolProcesses, WaitForToolRunsTimersAndRunnerEventsUntilTheFlagClears)
{
  ToolRunning = false;
  WaitForTool();  // returns at once

  int Ticks = 0;
  TTimer Timer(nullptr);
  Timer.SetInterval(20);
  Timer.SetOnTimer([&](TObject*) { ++Ticks; });
  Timer.SetEnabled(true);
  Runner->OnTerminate = [&](TObject*, Cardinal Code) {
    ExitCodes.push_back(Code);
    ToolRunning = false;
  };
  ToolRunning = true;
  Start("sleep 300;print done;exit 2");
  WaitForTool();
  EXPECT_FALSE(ToolRunning);
  EXPECT_EQ(ExitCodes, (std::vector<Cardinal>{2}));
  EXPECT_EQ(Transcript()[0], "done");
  EXPECT_GT(Ticks, 0);
}

TEST_F(ToolProcesses, TheWaitsReturnAsSoonAsTheEndReportClearsTheirFlag)
{
  for (const TWaitCase& Case : WaitCases) {
    Int64 Cleared = 0;
    ExitCodes.clear();
    Runner->OnTerminate = [&](TObject*, Cardinal Code) {
      ExitCodes.push_back(Code);
      *Case.Flag = false;
      Cleared = GetTickCount64();
    };
    *Case.Flag = true;
    Start("sleep 150;print done");
    Case.Run();
    const Int64 Returned = GetTickCount64();
    ASSERT_EQ(ExitCodes.size(), 1u) << Case.Wait;
    // A round's pause is 100 ms; the end report cuts it short.
    EXPECT_LT(Returned - Cleared, 60) << Case.Wait;
  }
}

// Linux has no crash-report dialogs: the waits never walk the process table looking for them,
// however many rounds they run (every wait's first round makes the crash-dialog check).
TEST_F(ToolProcesses, TheWaitsNeverWalkTheProcessTableForCrashDialogs)
{
  for (const char* Name : {"werfault.exe", "dwwin.exe"}) EXPECT_FALSE(qv::os::SystemHasCrashDialog(Name)) << Name;
  // The count sees the lookups by name that the crash-dialog check would make.
  const std::uint64_t BeforeLookup = qv::os::ProcessTableWalks();
  EXPECT_EQ(FindProcessIdByExeName("werfault.exe"), -1);
  ASSERT_EQ(qv::os::ProcessTableWalks() - BeforeLookup, 1u);

  for (const TWaitCase& Case : WaitCases) {
    ExitCodes.clear();
    Runner->OnTerminate = [&](TObject*, Cardinal Code) {
      ExitCodes.push_back(Code);
      *Case.Flag = false;
    };
    *Case.Flag = true;
    const std::uint64_t Before = qv::os::ProcessTableWalks();
    Start("sleep 350;print done");
    Case.Run();
    ASSERT_EQ(ExitCodes.size(), 1u) << Case.Wait;
    EXPECT_EQ(qv::os::ProcessTableWalks() - Before, 0u) << Case.Wait;
  }
}

TEST_F(ToolProcesses, WaitForTrackSelectionNestsAndEjectWaitEndsWhenTheDoorCommandFails)
{
  PickerOpen = true;
  int Nested = 0;
  TTimer Timer(nullptr);
  Timer.SetInterval(10);
  Timer.SetOnTimer([&](TObject*) {
    Timer.SetEnabled(false);
    ToolRunning = true;
    Start("exit 0");
    Runner->OnTerminate = [&](TObject*, Cardinal) { ToolRunning = false; };
    WaitForTool();  // a wait inside a wait
    ++Nested;
    PickerOpen = false;
  });
  Timer.SetEnabled(true);
  WaitForTrackSelection();
  EXPECT_EQ(Nested, 1);

  int Ejects = 0;
  SetEjectDiscProc([&](const String& Path) {
    ++Ejects;
    EXPECT_EQ(Path, "/media/cdrom");
    EjectDone = true;  // the door command failed
  });
  EjectAndWait("/media/cdrom");
  EXPECT_EQ(Ejects, 1);
  SetEjectDiscProc(nullptr);
}

TEST(SystemInformation, VersionGranularityAndRounding)
{
  const TSystemInfoState& S = SystemInfoState();
  EXPECT_EQ(S.Version, DetectWindowsVersion());
  EXPECT_EQ(S.Version, wvWin7);  // what the platform answers
  EXPECT_TRUE(S.VersionFlags[wvWin7]);
  EXPECT_TRUE(S.IsWinNT);
  EXPECT_GE(S.ProcessorCount, 1u);
  ASSERT_EQ(S.AllocGranularity, 65536u);
  struct TCase {
    Int64 Offset;
    bool Up;
    Int64 Expected;
  };
  const TCase Cases[] = {{0, false, 0},           {0, true, 0},          {65536, true, 65536},
                         {65537, false, 65536},   {65537, true, 131072}, {131071, false, 65536},
                         {0x100000001LL, true, 0x100010000LL}};
  for (const auto& C : Cases) {
    Int64 Offset = C.Offset;
    RoundToAllocGranularity(Offset, C.Up);
    EXPECT_EQ(Offset, C.Expected) << C.Offset << " " << C.Up;
  }
}
