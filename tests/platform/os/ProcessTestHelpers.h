// Helpers of the process, wait, named-object and instance-channel tests: running the test
// child (tests/tools/qv_testchild) through CreateProcessA with pipes, and running this test
// program itself again in a "child mode" that exercises the library from a second process.
#pragma once

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "platform/os/KernelObjects.h"
#include "platform/os/Pipes.h"
#include "platform/os/Process.h"
#include "platform/os/Wait.h"

namespace qvtest {

inline String TestChild() { return String(QV_TEST_BIN_DIR) + "/qv_testchild"; }

struct TChildRun {
  BOOL Started = FALSE;
  DWORD StartError = 0;
  DWORD ExitCode = 0;
  String Out;
  String Err;
};

struct TChildOptions {
  bool SeparateError = false;
  String Input;            // written to the child's standard input, which is then closed
  const char* Directory = nullptr;
  const char* Environment = nullptr;  // a block "A=1\0B=2\0\0"
  DWORD Flags = 0;
};

// Reads a handle until the pipe breaks.
inline String ReadAll(HANDLE Read)
{
  String Result;
  char Buffer[1024];
  DWORD N = 0;
  while (ReadFile(Read, Buffer, sizeof Buffer, &N, nullptr))
    Result.append(Buffer, N);
  EXPECT_EQ(GetLastError(), ERROR_BROKEN_PIPE);
  return Result;
}

// Reads one line (without its LF) from a pipe; "" when the pipe broke first.
inline String ReadLine(HANDLE Read)
{
  String Line;
  char C;
  DWORD N = 0;
  while (ReadFile(Read, &C, 1, &N, nullptr) && N == 1) {
    if (C == '\n')
      return Line;
    Line += C;
  }
  return Line;
}

// Starts CommandLine with redirected standard handles, the way the program's runner does,
// feeds Input, collects the output and waits for the end.
inline TChildRun RunChild(const String& CommandLine, const TChildOptions& Options = {})
{
  TChildRun Run;
  HANDLE InRead, InWrite, OutRead, OutWrite, ErrRead = nullptr, ErrWrite = nullptr;
  EXPECT_TRUE(CreatePipe(&InRead, &InWrite, nullptr, 0));
  EXPECT_TRUE(CreatePipe(&OutRead, &OutWrite, nullptr, 0));
  if (Options.SeparateError) {
    EXPECT_TRUE(CreatePipe(&ErrRead, &ErrWrite, nullptr, 0));
  }
  STARTUPINFOA Info;
  Info.dwFlags = STARTF_USESTDHANDLES | STARTF_USESHOWWINDOW;
  Info.wShowWindow = 0;  // SW_HIDE
  Info.hStdInput = InRead;
  Info.hStdOutput = OutWrite;
  Info.hStdError = Options.SeparateError ? ErrWrite : OutWrite;
  PROCESS_INFORMATION Pi;
  String Line = CommandLine;
  Run.Started = CreateProcessA(nullptr, Line.data(), nullptr, nullptr, TRUE, Options.Flags,
                               const_cast<char*>(Options.Environment), Options.Directory, &Info, &Pi);
  Run.StartError = GetLastError();
  // The parent's copies of the child's ends go, so that the pipes break when the child ends.
  CloseHandle(InRead);
  CloseHandle(OutWrite);
  if (ErrWrite)
    CloseHandle(ErrWrite);
  if (Run.Started) {
    DWORD Written = 0;
    if (!Options.Input.empty())
      WriteFile(InWrite, Options.Input.data(), static_cast<DWORD>(Options.Input.size()), &Written, nullptr);
  }
  CloseHandle(InWrite);
  if (Run.Started) {
    Run.Out = ReadAll(OutRead);
    if (ErrRead)
      Run.Err = ReadAll(ErrRead);
    EXPECT_EQ(WaitForSingleObject(Pi.hProcess, 10000), WAIT_OBJECT_0);
    EXPECT_TRUE(GetExitCodeProcess(Pi.hProcess, &Run.ExitCode));
    CloseHandle(Pi.hProcess);
    CloseHandle(Pi.hThread);
  }
  CloseHandle(OutRead);
  if (ErrRead)
    CloseHandle(ErrRead);
  return Run;
}

// A running child with a pipe to its standard input and one from its standard output.
struct TLiveChild {
  PROCESS_INFORMATION Pi;
  HANDLE In = nullptr;
  HANDLE Out = nullptr;
  bool Start(const String& CommandLine, DWORD Flags = 0)
  {
    HANDLE InRead, OutWrite;
    if (!CreatePipe(&InRead, &In, nullptr, 0) || !CreatePipe(&Out, &OutWrite, nullptr, 0))
      return false;
    STARTUPINFOA Info;
    Info.dwFlags = STARTF_USESTDHANDLES;
    Info.hStdInput = InRead;
    Info.hStdOutput = OutWrite;
    Info.hStdError = OutWrite;
    String Line = CommandLine;
    BOOL Ok = CreateProcessA(nullptr, Line.data(), nullptr, nullptr, TRUE, Flags, nullptr, nullptr, &Info, &Pi);
    CloseHandle(InRead);
    CloseHandle(OutWrite);
    return Ok;
  }
  void Write(const String& Text)
  {
    DWORD N;
    WriteFile(In, Text.data(), static_cast<DWORD>(Text.size()), &N, nullptr);
  }
  // Kills what is left and closes everything.
  ~TLiveChild()
  {
    if (Pi.hProcess) {
      TerminateProcess(Pi.hProcess, 1);
      WaitForSingleObject(Pi.hProcess, 5000);
      CloseHandle(Pi.hProcess);
      CloseHandle(Pi.hThread);
    }
    if (In)
      CloseHandle(In);
    if (Out)
      CloseHandle(Out);
  }
};

// Child modes: this test program started again with QV_OS_CHILD set runs the registered
// action (from a static initializer, before any test) and ends with its result.
using TChildAction = std::function<int(const String& Argument)>;

inline std::map<String, TChildAction>& ChildActions()
{
  static std::map<String, TChildAction> Actions;
  return Actions;
}

inline bool RegisterChildAction(const String& Name, TChildAction Action)
{
  ChildActions()[Name] = std::move(Action);
  const char* Wanted = std::getenv("QV_OS_CHILD");
  if (Wanted && Name == Wanted) {
    const char* Argument = std::getenv("QV_OS_ARG");
    std::fflush(nullptr);
    std::_Exit(ChildActions()[Name](Argument ? Argument : ""));
  }
  return true;
}

// The command line that runs this program in child mode (the variables are set in our own
// environment, which the child inherits).
inline String ChildModeCommand(const String& Action, const String& Argument)
{
  setenv("QV_OS_CHILD", Action.c_str(), 1);
  setenv("QV_OS_ARG", Argument.c_str(), 1);
  return "\"" + qv::os::ModuleFileName() + "\"";
}

inline void ClearChildMode()
{
  unsetenv("QV_OS_CHILD");
  unsetenv("QV_OS_ARG");
}

// Points the runtime folder (named objects, instance directory) at a folder of the test.
class TRuntimeFolderTest : public testing::Test {
protected:
  void SetUp() override
  {
    std::string Pattern = testing::TempDir() + "qvrt-XXXXXX";
    ASSERT_NE(mkdtemp(Pattern.data()), nullptr);
    Folder = Pattern;
    const char* Old = std::getenv("XDG_RUNTIME_DIR");
    HadOld = Old != nullptr;
    if (Old)
      OldValue = Old;
    setenv("XDG_RUNTIME_DIR", Folder.c_str(), 1);
  }
  void TearDown() override
  {
    ClearChildMode();
    if (HadOld)
      setenv("XDG_RUNTIME_DIR", OldValue.c_str(), 1);
    else
      unsetenv("XDG_RUNTIME_DIR");
    std::error_code Ignored;
    std::filesystem::remove_all(Folder, Ignored);
  }
  String Folder;
  bool HadOld = false;
  String OldValue;
};

}  // namespace qvtest
