// Finding running processes by executable name, in the Win32 shapes the program uses
// (Toolhelp32 snapshots and the PSAPI calls), plus a direct helper.
//
// Only processes of the calling user are listed (kernel threads and other users' processes
// never appear), so nothing found here can lead to killing another user's process. Listing
// order is stable: ascending process id. The executable name of a process is the base name of
// its argv[0] (the tools run through links named "mencoder.exe" ... keep that name there);
// when argv[0] is empty, the kernel's short name (/proc comm), else the base name of the
// executable link. A lookup by name matches case-insensitively (A-Z) against any of the
// three, so a program started through a link or a script is found under either name.
#pragma once

#include <cstdint>
#include <vector>

#include "platform/os/KernelObjects.h"

constexpr DWORD TH32CS_SNAPHEAPLIST = 0x00000001;
constexpr DWORD TH32CS_SNAPPROCESS = 0x00000002;
constexpr DWORD TH32CS_SNAPTHREAD = 0x00000004;
constexpr DWORD TH32CS_SNAPMODULE = 0x00000008;
constexpr DWORD ERROR_NO_MORE_FILES = 18;

struct PROCESSENTRY32 {
  DWORD dwSize = sizeof(PROCESSENTRY32);
  DWORD cntUsage = 0;
  DWORD th32ProcessID = 0;
  ULONG_PTR th32DefaultHeapID = 0;
  DWORD th32ModuleID = 0;
  DWORD cntThreads = 0;
  DWORD th32ParentProcessID = 0;
  LONG pcPriClassBase = 0;
  DWORD dwFlags = 0;
  CHAR szExeFile[MAX_PATH] = {};
};
using LPPROCESSENTRY32 = PROCESSENTRY32*;

// TH32CS_SNAPPROCESS only (other kinds: ERROR_NOT_SUPPORTED, INVALID_HANDLE_VALUE). The
// snapshot is a kernel handle; close it with CloseHandle.
HANDLE CreateToolhelp32Snapshot(DWORD Flags, DWORD ProcessId);
// FALSE with ERROR_NO_MORE_FILES after the last entry; ERROR_BAD_LENGTH (24) when dwSize is
// smaller than the structure. szExeFile is cut to 259 bytes (MAX_PATH - 1).
BOOL Process32First(HANDLE Snapshot, LPPROCESSENTRY32 Entry);
BOOL Process32Next(HANDLE Snapshot, LPPROCESSENTRY32 Entry);
constexpr DWORD ERROR_BAD_LENGTH = 24;

// The ids of this user's processes; BytesReturned = 4 x the number copied.
BOOL EnumProcesses(DWORD* ProcessIds, DWORD Size, DWORD* BytesReturned);
// For a handle from OpenProcess (Module must be null): the executable name, or its full path
// (argv[0] when it is absolute, else the executable link). 0 on failure.
DWORD GetModuleBaseNameA(HANDLE Process, HMODULE Module, LPSTR BaseName, DWORD Size);
DWORD GetModuleFileNameExA(HANDLE Process, HMODULE Module, LPSTR FileName, DWORD Size);

namespace qv::os {

struct TProcessEntry {
  DWORD ProcessId = 0;
  DWORD ParentProcessId = 0;
  String ExeName;   // as szExeFile
  String FullPath;  // as GetModuleFileNameExA
  String Comm;      // the kernel's short name
  String ExeLink;   // the target of /proc/<pid>/exe ("" when unreadable)
};

// This user's processes, ascending by id. ExeLink (and FullPath where argv[0] is not
// absolute) are filled only WithExeLinks.
std::vector<TProcessEntry> ListUserProcesses(bool WithExeLinks = true);

// Whether the process matches Name: a bare name against the three names above; a name with a
// "/" (or "\") against FullPath and ExeLink. A-Z case is ignored.
bool ProcessMatchesName(const TProcessEntry& Entry, const String& Name);

// The ids of this user's processes matching Name, ascending; ExcludeSelf leaves our own id
// out. The window system uses it to find windows of tools by name.
std::vector<DWORD> FindProcessIdsByExeName(const String& Name, bool ExcludeSelf = false);

// How many times this process has walked the process table so far: every listing above (the
// Toolhelp snapshot, EnumProcesses and the lookups by name) counts one walk. A walk opens two
// files per process of the system, so callers that run often (the tool waits) are checked
// against this count.
std::uint64_t ProcessTableWalks();

// Whether this system shows crash-report dialogs under that executable name. On Windows a
// program that crashes leaves "werfault.exe" (or "dwwin.exe") waiting for the user, and the tool
// waits close them so that a crashed tool does not hold the run. Linux has no such dialog: a
// crashed program simply ends with a signal. The answer is false for every name, without a walk
// of the process table, so a caller asks this before looking for the dialog's process.
bool SystemHasCrashDialog(const String& ExeName);

}  // namespace qv::os
