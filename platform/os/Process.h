// Child processes in the Win32 shape: CreateProcessA with STARTUPINFO and pipes, exit codes,
// TerminateProcess, priority classes, Ctrl+C, and the small process services (own id, module
// path, environment variables, exit, restart).
//
// How a command line is started (see CommandLine.h for the splitting rules): the program is
// ApplicationName when given, else the first word of the command line; a name with "/" is
// used as it stands (a relative one is taken from the caller's current folder), a bare name is
// searched on the caller's PATH. The child runs in a session and process group of its own
// (no terminal; its id is also its group id), with the signal dispositions reset to their
// defaults and an empty signal mask. Its standard handles are those of STARTUPINFO with
// STARTF_USESTDHANDLES (pipe ends or other handles of ours; a null handle gives /dev/null),
// otherwise /dev/null; no other handle reaches the child (so InheritHandles is not needed for
// the standard handles, and inheritable handles are never leaked into tools). STARTF_USESHOWWINDOW (SW_HIDE ...) and the
// window position flags are accepted and have nothing to act on. CurrentDirectory sets its
// working folder (ERROR_DIRECTORY when it is not a folder). An environment block
// ("A=1\0B=2\0\0") replaces the environment; without one the child inherits ours.
//
// Exit codes: the child's exit status; after TerminateProcess(h, Code) that Code; a child
// ended by SIGINT reports STATUS_CONTROL_C_EXIT (0xC000013A), by SIGSEGV 0xC0000005, by any
// other signal 128 + the signal number. GetExitCodeProcess gives STILL_ACTIVE (259) while the
// child runs. Children are reaped by a watcher thread as soon as they end (no zombies).
//
// Priority classes map to nice values: IDLE 19, BELOW_NORMAL 10, NORMAL 0, ABOVE_NORMAL -2,
// HIGH -5, REALTIME -10, applied to every thread of the child's process group, best effort:
// a change the system refuses still reports success.
#pragma once

#include <vector>

#include "platform/os/KernelObjects.h"

constexpr DWORD STILL_ACTIVE = 259;
constexpr DWORD STATUS_CONTROL_C_EXIT = 0xC000013A;

constexpr DWORD DEBUG_PROCESS = 0x00000001;
constexpr DWORD CREATE_SUSPENDED = 0x00000004;
constexpr DWORD DETACHED_PROCESS = 0x00000008;
constexpr DWORD CREATE_NEW_CONSOLE = 0x00000010;
constexpr DWORD NORMAL_PRIORITY_CLASS = 0x00000020;
constexpr DWORD IDLE_PRIORITY_CLASS = 0x00000040;
constexpr DWORD HIGH_PRIORITY_CLASS = 0x00000080;
constexpr DWORD REALTIME_PRIORITY_CLASS = 0x00000100;
constexpr DWORD CREATE_NEW_PROCESS_GROUP = 0x00000200;
constexpr DWORD CREATE_UNICODE_ENVIRONMENT = 0x00000400;
constexpr DWORD CREATE_SEPARATE_WOW_VDM = 0x00000800;
constexpr DWORD CREATE_SHARED_WOW_VDM = 0x00001000;
constexpr DWORD BELOW_NORMAL_PRIORITY_CLASS = 0x00004000;
constexpr DWORD ABOVE_NORMAL_PRIORITY_CLASS = 0x00008000;
constexpr DWORD CREATE_DEFAULT_ERROR_MODE = 0x04000000;
constexpr DWORD CREATE_NO_WINDOW = 0x08000000;

constexpr DWORD STARTF_USESHOWWINDOW = 0x00000001;
constexpr DWORD STARTF_USESIZE = 0x00000002;
constexpr DWORD STARTF_USEPOSITION = 0x00000004;
constexpr DWORD STARTF_USECOUNTCHARS = 0x00000008;
constexpr DWORD STARTF_USEFILLATTRIBUTE = 0x00000010;
constexpr DWORD STARTF_FORCEONFEEDBACK = 0x00000040;
constexpr DWORD STARTF_FORCEOFFFEEDBACK = 0x00000080;
constexpr DWORD STARTF_USESTDHANDLES = 0x00000100;

constexpr DWORD PROCESS_TERMINATE = 0x0001;
constexpr DWORD PROCESS_VM_READ = 0x0010;
constexpr DWORD PROCESS_SET_INFORMATION = 0x0200;
constexpr DWORD PROCESS_QUERY_INFORMATION = 0x0400;
constexpr DWORD PROCESS_QUERY_LIMITED_INFORMATION = 0x1000;
constexpr DWORD PROCESS_ALL_ACCESS = 0x001FFFFF;

constexpr DWORD CTRL_C_EVENT = 0;
constexpr DWORD CTRL_BREAK_EVENT = 1;

struct STARTUPINFOA {
  DWORD cb = sizeof(STARTUPINFOA);
  LPSTR lpReserved = nullptr;
  LPSTR lpDesktop = nullptr;
  LPSTR lpTitle = nullptr;
  DWORD dwX = 0;
  DWORD dwY = 0;
  DWORD dwXSize = 0;
  DWORD dwYSize = 0;
  DWORD dwXCountChars = 0;
  DWORD dwYCountChars = 0;
  DWORD dwFillAttribute = 0;
  DWORD dwFlags = 0;
  WORD wShowWindow = 0;
  WORD cbReserved2 = 0;
  BYTE* lpReserved2 = nullptr;
  HANDLE hStdInput = nullptr;
  HANDLE hStdOutput = nullptr;
  HANDLE hStdError = nullptr;
};
using LPSTARTUPINFOA = STARTUPINFOA*;

struct PROCESS_INFORMATION {
  HANDLE hProcess = nullptr;
  HANDLE hThread = nullptr;
  DWORD dwProcessId = 0;
  DWORD dwThreadId = 0;
};
using LPPROCESS_INFORMATION = PROCESS_INFORMATION*;

// Starts the program; see the head of this file. On failure FALSE with GetLastError:
// ERROR_FILE_NOT_FOUND (no such program), ERROR_ACCESS_DENIED (not executable),
// ERROR_BAD_EXE_FORMAT, ERROR_DIRECTORY (bad CurrentDirectory), ERROR_INVALID_PARAMETER (empty
// command line, bad environment block), ERROR_INVALID_HANDLE (a bad standard handle). The
// returned thread handle is signalled together with the process. CREATE_SUSPENDED stops the
// child right after it started (best effort: it may have run a few instructions of the new
// program); ResumeThread on its thread handle lets it go on.
BOOL CreateProcessA(LPCSTR ApplicationName, LPSTR CommandLine, LPSECURITY_ATTRIBUTES ProcessAttributes,
                    LPSECURITY_ATTRIBUTES ThreadAttributes, BOOL InheritHandles, DWORD CreationFlags,
                    LPVOID Environment, LPCSTR CurrentDirectory, LPSTARTUPINFOA StartupInfo,
                    LPPROCESS_INFORMATION ProcessInformation);

// Any process of this user that is still running or is an unreaped child of ours. Processes of
// other users fail with ERROR_ACCESS_DENIED, unknown ids with ERROR_INVALID_PARAMETER (as
// Windows). Waiting on the handle works for every process; the exit code of a process that is
// not our child cannot be known and reads 0 once it has ended.
HANDLE OpenProcess(DWORD DesiredAccess, BOOL InheritHandle, DWORD ProcessId);

// Kills the process at once (SIGKILL), for a child of ours its whole process group. FALSE with
// ERROR_ACCESS_DENIED when the process has already ended (as Windows answers).
BOOL TerminateProcess(HANDLE Process, UINT ExitCode);
BOOL GetExitCodeProcess(HANDLE Process, DWORD* ExitCode);
DWORD GetProcessId(HANDLE Process);
BOOL SetPriorityClass(HANDLE Process, DWORD PriorityClass);
// The class last set (or given at creation); 0 with ERROR_INVALID_HANDLE for a bad handle.
DWORD GetPriorityClass(HANDLE Process);
// Console programs have no input queue: returns 0 at once for a valid process handle.
DWORD WaitForInputIdle(HANDLE Process, DWORD Milliseconds);
// A thread handle of a child started with CREATE_SUSPENDED: continues it; returns the previous
// suspend count (1), 0 when it was running, 0xFFFFFFFF on error.
DWORD ResumeThread(HANDLE Thread);

// "Typing Ctrl+C into the tool's console": SIGINT (CTRL_C_EVENT; CTRL_BREAK_EVENT sends
// SIGTERM) to the process group ProcessGroupId, the id of a child we started. Group 0 means
// every running child that CreateProcessA started (the tools sharing "our console"); it never
// signals our own process. FALSE with ERROR_INVALID_PARAMETER for a group that is not one of
// our running children.
BOOL GenerateConsoleCtrlEvent(DWORD CtrlEvent, DWORD ProcessGroupId);

DWORD GetCurrentProcessId();
// Module 0 (our executable): the full path from /proc/self/exe. Returns the length copied
// (without the zero); when the buffer is too small the path is cut, zero-terminated, the size
// is returned and the last error is ERROR_INSUFFICIENT_BUFFER, as Windows XP+ does.
DWORD GetModuleFileNameA(HMODULE Module, LPSTR FileName, DWORD Size);
// Size of the value plus 1 when the buffer is too small (nothing copied); the length copied
// otherwise; 0 with ERROR_ENVVAR_NOT_FOUND (203) when the variable is not set.
DWORD GetEnvironmentVariableA(LPCSTR Name, LPSTR Buffer, DWORD Size);
// The variable's value; "" when it is not set.
String EnvironmentValue(const String& Name);
// A null value removes the variable.
BOOL SetEnvironmentVariableA(LPCSTR Name, LPCSTR Value);
constexpr DWORD ERROR_ENVVAR_NOT_FOUND = 203;
// Ends the process at once with the code (no destructors, no atexit handlers).
[[noreturn]] void ExitProcess(UINT ExitCode);

namespace qv::os {

// The executable's full path ("" when it cannot be read). When the file was replaced while we
// run (a package upgrade), the system shows "<path> (deleted)"; the answer is then <path>.
String ModuleFileName();
// The path that a /proc/<pid>/exe link text names: without the " (deleted)" mark the system
// adds when the file was removed or replaced, unless a file of that very name is what runs.
String ExecutablePathOfLink(const String& LinkText);

// Starts a new copy of our executable with the given arguments (each passed
// as it stands, no splitting), in the current folder, detached in a session of its own, and
// returns its process id, or 0 with GetLastError on failure. The caller then ends itself.
// When an upgrade has replaced our file, the new program at our path is started; otherwise
// the running file (/proc/self/exe).
// Process, when given, receives a handle of the new copy (close it with CloseHandle).
DWORD RestartProcess(const std::vector<String>& Arguments, HANDLE* Process = nullptr);

}  // namespace qv::os
