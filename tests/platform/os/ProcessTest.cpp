#include <gtest/gtest.h>

#include <dirent.h>
#include <fcntl.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <fstream>
#include <sstream>
#include <thread>

#include "platform/os/CommandLine.h"
#include "platform/os/Pipes.h"
#include "platform/os/Process.h"
#include "platform/os/ShellSpawn.h"
#include "platform/os/Sync.h"
#include "platform/os/SystemInfo.h"
#include "platform/os/Wait.h"
#include "tests/platform/os/ProcessTestHelpers.h"
#include "tests/support/TempDirTest.h"

using namespace qvtest;
using qv::os::JoinCommandLine;
using qv::os::SplitCommandLine;

namespace {

const bool RestartActionRegistered = RegisterChildAction("write-cmdline", [](const String& File) {
  std::ifstream In("/proc/self/cmdline", std::ios::binary);
  std::stringstream Text;
  Text << In.rdbuf();
  std::ofstream(File, std::ios::binary) << Text.str();
  return 0;
});

// Writes the numbers of the descriptors the child holds (its listing's own excepted).
const bool ListFdsRegistered = RegisterChildAction("list-fds", [](const String& File) {
  String Numbers;
  if (DIR* Dir = opendir("/proc/self/fd")) {
    while (dirent* Entry = readdir(Dir))
      if (Entry->d_name[0] != '.' && std::atoi(Entry->d_name) != dirfd(Dir))
        Numbers += String(Numbers.empty() ? "" : " ") + Entry->d_name;
    closedir(Dir);
  }
  std::ofstream(File) << Numbers;
  return 0;
});

String Quoted(const String& S) { return "\"" + S + "\""; }

bool ProcessGone(DWORD Pid)
{
  // Gone, or a zombie waiting for a parent that is not us.
  std::ifstream Stat("/proc/" + std::to_string(Pid) + "/stat");
  if (!Stat)
    return true;
  String Text((std::istreambuf_iterator<char>(Stat)), std::istreambuf_iterator<char>());
  std::size_t Close = Text.rfind(')');
  return Close != String::npos && Close + 2 < Text.size() && Text[Close + 2] == 'Z';
}

}  // namespace

TEST(CommandLineTest, SplitsByWindowsGroupingWithLiteralBackslashes)
{
  struct TCase {
    const char* Line;
    std::vector<String> Args;
  };
  const TCase Cases[] = {
      {"a b  c", {"a", "b", "c"}},
      {" \ta\t b ", {"a", "b"}},
      {"\"C:\\Program Files\\x.exe\" -i \"a b\"", {"C:\\Program Files\\x.exe", "-i", "a b"}},
      {"a \"\" b", {"a", "", "b"}},
      {"\"\"", {""}},
      {"\"say \"\"hi\"\"\"", {"say \"hi\""}},
      {"x\"a b\"y", {"xa by"}},
      {"temp\\ \"D:\\\" q\\\"", {"temp\\", "D:\\", "q\\"}},
      {"\"open ended", {"open ended"}},
      {"", {}},
      {"   ", {}},
  };
  for (const TCase& Case : Cases)
    EXPECT_EQ(SplitCommandLine(Case.Line), Case.Args) << Case.Line;
}

TEST(CommandLineTest, JoinReadsBackUnchanged)
{
  const std::vector<String> Args = {"plain", "", "with blank", "say \"hi\"", "back\\slash\\", "tab\there"};
  EXPECT_EQ(SplitCommandLine(JoinCommandLine(Args)), Args);
}

TEST(ProcessTest, ChildGetsArgumentsSplitFromTheCommandLine)
{
  TChildRun Run = RunChild(Quoted(TestChild()) + " args \"a b\" \"\" C:\\x\\ \"q\"\"q\"");
  ASSERT_TRUE(Run.Started) << Run.StartError;
  EXPECT_EQ(Run.Out, "[args]\n[a b]\n[]\n[C:\\x\\]\n[q\"q]\n");
  EXPECT_EQ(Run.ExitCode, 0u);
}

TEST(ProcessTest, StandardErrorMergedOrSeparate)
{
  const String Line = Quoted(TestChild()) + " print out1 eprint err1 print out2";
  TChildRun Merged = RunChild(Line);
  ASSERT_TRUE(Merged.Started);
  EXPECT_EQ(Merged.Out, "out1\nerr1\nout2\n");

  TChildOptions Options;
  Options.SeparateError = true;
  TChildRun Separate = RunChild(Line, Options);
  ASSERT_TRUE(Separate.Started);
  EXPECT_EQ(Separate.Out, "out1\nout2\n");
  EXPECT_EQ(Separate.Err, "err1\n");
}

TEST(ProcessTest, StandardInputAndRawBytesPassUnchanged)
{
  TChildOptions Options;
  Options.Input = "slave cmd\r\n\x01\x00 end";
  Options.Input += String(70000, 'x');  // more than a pipe holds at once
  TChildRun Run = RunChild(Quoted(TestChild()) + " raw 50%\\r60%\\rdone\\n echo", Options);
  ASSERT_TRUE(Run.Started);
  EXPECT_EQ(Run.Out, "50%\r60%\rdone\n" + Options.Input);
}

TEST(ProcessTest, ExitCodesAndReaping)
{
  for (int Code : {0, 1, 3, 255}) {
    HANDLE OutRead, OutWrite;
    ASSERT_TRUE(CreatePipe(&OutRead, &OutWrite, nullptr, 0));
    STARTUPINFOA Info;
    Info.dwFlags = STARTF_USESTDHANDLES;
    Info.hStdOutput = OutWrite;
    PROCESS_INFORMATION Pi;
    String Line = Quoted(TestChild()) + " exit " + std::to_string(Code);
    ASSERT_TRUE(CreateProcessA(nullptr, Line.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr, &Info, &Pi));
    CloseHandle(OutWrite);
    EXPECT_EQ(WaitForSingleObject(Pi.hProcess, 10000), WAIT_OBJECT_0);
    DWORD Exit = 12345;
    EXPECT_TRUE(GetExitCodeProcess(Pi.hProcess, &Exit));
    EXPECT_EQ(Exit, static_cast<DWORD>(Code));
    EXPECT_TRUE(ProcessGone(Pi.dwProcessId)) << "the ended child is reaped";
    EXPECT_EQ(WaitForSingleObject(Pi.hThread, 0), WAIT_OBJECT_0) << "the thread handle ends with the process";
    EXPECT_TRUE(CloseHandle(Pi.hProcess));
    EXPECT_TRUE(CloseHandle(Pi.hThread));
    EXPECT_FALSE(CloseHandle(Pi.hProcess));
    EXPECT_EQ(GetLastError(), ERROR_INVALID_HANDLE);
    CloseHandle(OutRead);
  }
}

TEST_F(TTempDirTest, ProcessWorkingFolderAndEnvironment)
{
  TChildOptions InFolder;
  InFolder.Directory = Dir.c_str();
  TChildRun Run = RunChild(Quoted(TestChild()) + " cwd", InFolder);
  ASSERT_TRUE(Run.Started);
  EXPECT_EQ(Run.Out, Dir.substr(0, Dir.size() - 1) + "\n");

  const char Block[] = "QV_A=one\0QV_B=two words\0";  // the literal adds the final NUL
  TChildOptions WithBlock;
  WithBlock.Environment = Block;
  Run = RunChild(Quoted(TestChild()) + " env QV_A env QV_B env HOME", WithBlock);
  ASSERT_TRUE(Run.Started);
  EXPECT_EQ(Run.Out, "one\ntwo words\n<unset>\n") << "the block replaces the environment";

  ASSERT_TRUE(SetEnvironmentVariableA("QV_INHERITED", "yes"));
  Run = RunChild(Quoted(TestChild()) + " env QV_INHERITED");
  EXPECT_EQ(Run.Out, "yes\n");
  ASSERT_TRUE(SetEnvironmentVariableA("QV_INHERITED", nullptr));
  char Buffer[8];
  EXPECT_EQ(GetEnvironmentVariableA("QV_INHERITED", Buffer, sizeof Buffer), 0u);
  EXPECT_EQ(GetLastError(), ERROR_ENVVAR_NOT_FOUND);
}

TEST_F(TTempDirTest, ProcessStartFailuresAreReported)
{
  const String Missing = Dir + "nothing.exe";
  WriteBytes(Dir + "plain.txt", "not a program");
  struct TCase {
    String Line;
    const char* Folder;
    DWORD Error;
  };
  const TCase Cases[] = {
      {Quoted(Missing) + " -i x", nullptr, ERROR_FILE_NOT_FOUND},
      {"qv-surely-not-on-path-xyz", nullptr, ERROR_FILE_NOT_FOUND},
      {Quoted(Dir), nullptr, ERROR_ACCESS_DENIED},
      {Quoted(Dir + "plain.txt"), nullptr, ERROR_ACCESS_DENIED},
      {Quoted(TestChild()), "/no/such/folder", ERROR_DIRECTORY},
      {"   ", nullptr, ERROR_INVALID_PARAMETER},
  };
  for (const TCase& Case : Cases) {
    TChildOptions Options;
    Options.Directory = Case.Folder;
    TChildRun Run = RunChild(Case.Line, Options);
    EXPECT_FALSE(Run.Started) << Case.Line;
    EXPECT_EQ(Run.StartError, Case.Error) << Case.Line;
  }
}

TEST(ProcessTest, TerminateKillsTheToolAndItsChildren)
{
  TLiveChild Child;
  ASSERT_TRUE(Child.Start(Quoted(TestChild()) + " grandchild ready pause"));
  const String Gc = ReadLine(Child.Out);
  ASSERT_EQ(Gc.rfind("gc ", 0), 0u) << Gc;
  const DWORD Grandchild = static_cast<DWORD>(std::stoul(Gc.substr(3)));
  EXPECT_EQ(ReadLine(Child.Out), "ready");
  DWORD Exit = 0;
  EXPECT_TRUE(GetExitCodeProcess(Child.Pi.hProcess, &Exit));
  EXPECT_EQ(Exit, STILL_ACTIVE);

  EXPECT_TRUE(TerminateProcess(Child.Pi.hProcess, 0));
  EXPECT_EQ(WaitForSingleObject(Child.Pi.hProcess, 10000), WAIT_OBJECT_0);
  EXPECT_TRUE(GetExitCodeProcess(Child.Pi.hProcess, &Exit));
  EXPECT_EQ(Exit, 0u) << "the code given to TerminateProcess";
  EXPECT_FALSE(TerminateProcess(Child.Pi.hProcess, 0));
  EXPECT_EQ(GetLastError(), ERROR_ACCESS_DENIED);
  // The grandchild was in the tool's group and went with it (its output pipe then breaks).
  EXPECT_EQ(ReadAll(Child.Out), "");
  for (int I = 0; I < 200 && !ProcessGone(Grandchild); ++I)
    usleep(10000);
  EXPECT_TRUE(ProcessGone(Grandchild));
}

TEST(ProcessTest, CtrlCEndsTheToolUnlessItIgnoresIt)
{
  struct TCase {
    const char* Commands;
    bool ByGroupZero;
    bool Ends;
  };
  const TCase Cases[] = {
      {" ready pause", false, true},
      {" ready pause", true, true},
      {" ignint ready pause", false, false},
  };
  for (const TCase& Case : Cases) {
    TLiveChild Child;
    ASSERT_TRUE(Child.Start(Quoted(TestChild()) + Case.Commands));
    ASSERT_EQ(ReadLine(Child.Out), "ready");
    EXPECT_TRUE(GenerateConsoleCtrlEvent(CTRL_C_EVENT, Case.ByGroupZero ? 0 : Child.Pi.dwProcessId));
    if (Case.Ends) {
      EXPECT_EQ(WaitForSingleObject(Child.Pi.hProcess, 10000), WAIT_OBJECT_0) << Case.Commands;
      DWORD Exit = 0;
      GetExitCodeProcess(Child.Pi.hProcess, &Exit);
      EXPECT_EQ(Exit, STATUS_CONTROL_C_EXIT);
    } else {
      // Still alive: the next command answers.
      EXPECT_EQ(WaitForSingleObject(Child.Pi.hProcess, 50), WAIT_TIMEOUT);
    }
  }
  EXPECT_FALSE(GenerateConsoleCtrlEvent(CTRL_C_EVENT, 1));
  EXPECT_EQ(GetLastError(), ERROR_INVALID_PARAMETER);
}

TEST(ProcessTest, PriorityClassesSetTheNiceValue)
{
  errno = 0;
  const int Own = getpriority(PRIO_PROCESS, 0);
  TChildOptions Idle;
  Idle.Flags = IDLE_PRIORITY_CLASS;
  TChildRun Run = RunChild(Quoted(TestChild()) + " nice", Idle);
  ASSERT_TRUE(Run.Started);
  EXPECT_EQ(Run.Out, "19\n");

  TLiveChild Child;
  ASSERT_TRUE(Child.Start(Quoted(TestChild()) + " ready echo nice"));
  ASSERT_EQ(ReadLine(Child.Out), "ready");
  EXPECT_EQ(GetPriorityClass(Child.Pi.hProcess), NORMAL_PRIORITY_CLASS);
  EXPECT_TRUE(SetPriorityClass(Child.Pi.hProcess, HIGH_PRIORITY_CLASS)) << "refused raises still succeed";
  EXPECT_TRUE(SetPriorityClass(Child.Pi.hProcess, IDLE_PRIORITY_CLASS));
  EXPECT_EQ(GetPriorityClass(Child.Pi.hProcess), IDLE_PRIORITY_CLASS);
  EXPECT_FALSE(SetPriorityClass(Child.Pi.hProcess, 0x12345));
  EXPECT_EQ(GetLastError(), ERROR_INVALID_PARAMETER);
  CloseHandle(Child.In);
  Child.In = nullptr;
  EXPECT_EQ(ReadLine(Child.Out), "19");
  (void)Own;
}

TEST(ProcessTest, SuspendedChildRunsAfterResume)
{
  TLiveChild Child;
  ASSERT_TRUE(Child.Start(Quoted(TestChild()) + " print hi", CREATE_SUSPENDED));
  EXPECT_EQ(ResumeThread(Child.Pi.hThread), 1u);
  EXPECT_EQ(ResumeThread(Child.Pi.hThread), 0u);
  EXPECT_EQ(ReadLine(Child.Out), "hi");
  EXPECT_EQ(ResumeThread(Child.Pi.hProcess), 0xFFFFFFFFu) << "a process handle is not a thread";
}

TEST(PipeTest, BrokenPipeCodesAndPeek)
{
  HANDLE Read, Write;
  ASSERT_TRUE(CreatePipe(&Read, &Write, nullptr, 0));
  DWORD N = 0;
  ASSERT_TRUE(WriteFile(Write, "abc", 3, &N, nullptr));
  EXPECT_EQ(N, 3u);
  char Buffer[8] = {};
  DWORD Avail = 0;
  ASSERT_TRUE(PeekNamedPipe(Read, Buffer, 2, &N, &Avail, nullptr));
  EXPECT_EQ(Avail, 3u);
  EXPECT_EQ(String(Buffer, N), "ab");
  ASSERT_TRUE(CloseHandle(Write));
  ASSERT_TRUE(ReadFile(Read, Buffer, sizeof Buffer, &N, nullptr)) << "data written before the close still comes";
  EXPECT_EQ(String(Buffer, N), "abc");
  EXPECT_FALSE(ReadFile(Read, Buffer, sizeof Buffer, &N, nullptr));
  EXPECT_EQ(GetLastError(), ERROR_BROKEN_PIPE);
  EXPECT_FALSE(PeekNamedPipe(Read, nullptr, 0, nullptr, &Avail, nullptr));
  EXPECT_EQ(GetLastError(), ERROR_BROKEN_PIPE);
  CloseHandle(Read);

  ASSERT_TRUE(CreatePipe(&Read, &Write, nullptr, 0));
  CloseHandle(Read);
  EXPECT_FALSE(WriteFile(Write, "x", 1, &N, nullptr));
  EXPECT_EQ(GetLastError(), ERROR_NO_DATA);
  CloseHandle(Write);
  EXPECT_FALSE(ReadFile(Read, Buffer, 1, &N, nullptr));
  EXPECT_EQ(GetLastError(), ERROR_INVALID_HANDLE) << "a closed handle is refused";
}

TEST(PipeTest, ClosingTheHandleWakesABlockedReader)
{
  HANDLE Read, Write;
  ASSERT_TRUE(CreatePipe(&Read, &Write, nullptr, 0));
  BOOL Result = TRUE;
  DWORD Error = 0;
  std::thread Reader([&] {
    char C;
    DWORD N;
    Result = ReadFile(Read, &C, 1, &N, nullptr);
    Error = GetLastError();
  });
  // Let the reader block (it would otherwise fail at once with ERROR_INVALID_HANDLE, which
  // the check below tells apart).
  usleep(20000);
  CloseHandle(Read);
  Reader.join();
  EXPECT_FALSE(Result);
  EXPECT_TRUE(Error == ERROR_BROKEN_PIPE || Error == ERROR_INVALID_HANDLE) << Error;
  CloseHandle(Write);
}

TEST_F(TTempDirTest, SmallProcessServices)
{
  EXPECT_EQ(GetCurrentProcessId(), static_cast<DWORD>(getpid()));
  char Path[4096];
  const DWORD Length = GetModuleFileNameA(nullptr, Path, sizeof Path);
  ASSERT_GT(Length, 0u);
  EXPECT_EQ(String(Path, Length), qv::os::ModuleFileName());
  EXPECT_NE(String(Path).find("os_tests"), String::npos);
  char Small[5];
  EXPECT_EQ(GetModuleFileNameA(nullptr, Small, sizeof Small), 5u);
  EXPECT_EQ(GetLastError(), ERROR_INSUFFICIENT_BUFFER);
  EXPECT_EQ(String(Small), String(Path, 4));

  char Value[4];
  ASSERT_TRUE(SetEnvironmentVariableA("QV_SMALL", "12345"));
  EXPECT_EQ(GetEnvironmentVariableA("QV_SMALL", Value, sizeof Value), 6u) << "size needed, with the zero";
  char Enough[16];
  EXPECT_EQ(GetEnvironmentVariableA("QV_SMALL", Enough, sizeof Enough), 5u);
  EXPECT_STREQ(Enough, "12345");
  EXPECT_FALSE(SetEnvironmentVariableA("A=B", "x"));

  SYSTEM_INFO Info;
  GetSystemInfo(&Info);
  EXPECT_GE(Info.dwNumberOfProcessors, 1u);
  EXPECT_EQ(Info.dwAllocationGranularity, 65536u);
  EXPECT_EQ(Info.dwAllocationGranularity % Info.dwPageSize, 0u);

  OSVERSIONINFOA Plain;
  Plain.dwOSVersionInfoSize = 148;
  ASSERT_TRUE(GetVersionExA(&Plain));
  EXPECT_EQ(Plain.dwPlatformId, VER_PLATFORM_WIN32_NT);
  EXPECT_EQ(Plain.dwMajorVersion, 6u);
  EXPECT_EQ(Plain.dwMinorVersion, 1u);
  OSVERSIONINFOEXA Ex;
  Ex.dwOSVersionInfoSize = 156;
  ASSERT_TRUE(GetVersionExA(&Ex));
  EXPECT_EQ(Ex.wProductType, VER_NT_WORKSTATION);
  OSVERSIONINFOA Bad;
  Bad.dwOSVersionInfoSize = 20;
  EXPECT_FALSE(GetVersionExA(&Bad));

  // Restart: a new copy of our executable with the arguments as given.
  const String Out = Dir + "cmdline.bin";
  setenv("QV_OS_CHILD", "write-cmdline", 1);
  setenv("QV_OS_ARG", Out.c_str(), 1);
  HANDLE Process = nullptr;
  const DWORD Pid = qv::os::RestartProcess({"--first", "two words"}, &Process);
  unsetenv("QV_OS_CHILD");
  unsetenv("QV_OS_ARG");
  ASSERT_NE(Pid, 0u);
  ASSERT_NE(Process, nullptr);
  EXPECT_EQ(GetProcessId(Process), Pid);
  EXPECT_EQ(WaitForSingleObject(Process, 10000), WAIT_OBJECT_0);
  CloseHandle(Process);
  EXPECT_EQ(ReadBytes(Out), qv::os::ModuleFileName() + String("\0--first\0two words\0", 19));
  (void)RestartActionRegistered;
}

TEST_F(TTempDirTest, ChildrenGetOnlyTheStandardDescriptors)
{
  // Descriptors some library left inheritable: a file, and both ends of a pipe.
  const int Loose = open("/dev/null", O_RDONLY);
  int Ends[2];
  ASSERT_GE(Loose, 0);
  ASSERT_EQ(pipe(Ends), 0);
  struct TCase {
    const char* Path;
    std::function<bool(const String& File)> Run;
  };
  const TCase Cases[] = {
      {"CreateProcessA",
       [](const String& File) {
         TChildRun Run = RunChild(ChildModeCommand("list-fds", File));
         return Run.Started && Run.ExitCode == 0;
       }},
      {"RestartProcess",
       [](const String& File) {
         ChildModeCommand("list-fds", File);
         HANDLE Process = nullptr;
         if (qv::os::RestartProcess({}, &Process) == 0)
           return false;
         const bool Ended = WaitForSingleObject(Process, 10000) == WAIT_OBJECT_0;
         CloseHandle(Process);
         return Ended;
       }},
      {"shell spawn",
       [](const String& File) {
         ChildModeCommand("list-fds", File);
         return qvshell::SpawnAndWait({qv::os::ModuleFileName()}, "") == 0;
       }},
  };
  for (const TCase& Case : Cases) {
    const String File = Dir + "/" + Case.Path + ".fds";
    ASSERT_TRUE(Case.Run(File)) << Case.Path;
    std::ifstream In(File);
    String Numbers((std::istreambuf_iterator<char>(In)), std::istreambuf_iterator<char>());
    EXPECT_EQ(Numbers, "0 1 2") << Case.Path;
  }
  ClearChildMode();
  close(Loose);
  close(Ends[0]);
  close(Ends[1]);
}
