// Kernel-object handles: one process-wide table of HANDLE values for processes, threads,
// events, mutexes, semaphores, file mappings and pipe ends, with CloseHandle and
// DuplicateHandle in their Win32 shapes.
//
// Handle values are never reused while the process runs, so a closed (stale) handle is refused
// with ERROR_INVALID_HANDLE instead of reaching another object. The table is thread-safe. An
// object lives while a handle (or, for mappings, a mapped view; for pipes, a ReadFile/WriteFile
// in progress) refers to it.
//
// GetCurrentProcess() and GetCurrentThread() return the Win32 pseudo handles (-1 and -2);
// DuplicateHandle turns GetCurrentThread() into a real handle of the calling thread that is
// signalled when that thread ends (this is how a waitable handle for a TThread is obtained:
// call it from the thread's Execute), and GetCurrentProcess() into a real handle of our own
// process.
#pragma once

#include <memory>

#include "platform/rtl/WinTypes.h"

struct SECURITY_ATTRIBUTES {
  DWORD nLength = sizeof(SECURITY_ATTRIBUTES);
  LPVOID lpSecurityDescriptor = nullptr;
  BOOL bInheritHandle = FALSE;
};
using PSECURITY_ATTRIBUTES = SECURITY_ATTRIBUTES*;
using LPSECURITY_ATTRIBUTES = SECURITY_ATTRIBUTES*;

// Standard access rights (accepted and not checked: every handle has full access).
constexpr DWORD DELETE = 0x00010000;
constexpr DWORD SYNCHRONIZE = 0x00100000;
constexpr DWORD STANDARD_RIGHTS_REQUIRED = 0x000F0000;

constexpr DWORD DUPLICATE_CLOSE_SOURCE = 0x00000001;
constexpr DWORD DUPLICATE_SAME_ACCESS = 0x00000002;

constexpr DWORD ERROR_FILE_NOT_FOUND = 2;
constexpr DWORD ERROR_PATH_NOT_FOUND = 3;
constexpr DWORD ERROR_ACCESS_DENIED = 5;
constexpr DWORD ERROR_INVALID_FUNCTION = 1;
constexpr DWORD ERROR_BAD_EXE_FORMAT = 193;
constexpr DWORD ERROR_FILENAME_EXCED_RANGE = 206;
constexpr DWORD ERROR_DIRECTORY = 267;
constexpr DWORD ERROR_NOT_OWNER = 288;
constexpr DWORD ERROR_TOO_MANY_POSTS = 298;
constexpr DWORD ERROR_INVALID_ADDRESS = 487;
constexpr DWORD ERROR_OPERATION_ABORTED = 995;
constexpr DWORD ERROR_NOT_SUPPORTED = 50;
constexpr DWORD ERROR_DISK_FULL = 112;

HANDLE GetCurrentProcess();
HANDLE GetCurrentThread();

// Closes a handle; FALSE with ERROR_INVALID_HANDLE for an unknown or already closed handle.
BOOL CloseHandle(HANDLE Object);

// Within this process only (both process handles must be GetCurrentProcess()). The new handle
// refers to the same object; DUPLICATE_CLOSE_SOURCE closes the source handle (also when the
// duplication fails, as Windows does). Inheritance flags are accepted and ignored: children
// receive only the standard handles given in STARTUPINFO.
BOOL DuplicateHandle(HANDLE SourceProcess, HANDLE Source, HANDLE TargetProcess, HANDLE* Target,
                     DWORD DesiredAccess, BOOL InheritHandle, DWORD Options);

namespace qv::os {

// Wraps a file descriptor (taking ownership) in a kernel handle, so that ReadFile, WriteFile
// and CloseHandle work on it (used for files opened by other parts of the platform layer).
// Returns nullptr and closes the descriptor on failure.
HANDLE CreateHandleForFd(int Fd);

// The descriptor behind a pipe or file handle, or -1 (ERROR_INVALID_HANDLE). The descriptor
// stays owned by the handle.
int FdOfHandle(HANDLE Object);

}  // namespace qv::os
