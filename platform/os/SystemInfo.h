// System information in the Win32 shapes: GetSystemInfo/GetNativeSystemInfo and the version
// queries.
//
// The version answered is fixed: Windows 7 SP1 workstation (NT platform, 6.1, build 7601,
// "Service Pack 1", product type VER_NT_WORKSTATION). The program's version detection knows
// Windows versions up to 7 and treats an unknown one like the oldest systems, so the newest
// version it knows is the one that makes it take its modern code paths.
#pragma once

#include "platform/os/KernelObjects.h"

constexpr WORD PROCESSOR_ARCHITECTURE_INTEL = 0;
constexpr WORD PROCESSOR_ARCHITECTURE_ARM = 5;
constexpr WORD PROCESSOR_ARCHITECTURE_IA64 = 6;
constexpr WORD PROCESSOR_ARCHITECTURE_AMD64 = 9;
constexpr WORD PROCESSOR_ARCHITECTURE_ARM64 = 12;
constexpr WORD PROCESSOR_ARCHITECTURE_UNKNOWN = 0xFFFF;
constexpr DWORD PROCESSOR_INTEL_PENTIUM = 586;
constexpr DWORD PROCESSOR_AMD_X8664 = 8664;

constexpr DWORD VER_PLATFORM_WIN32s = 0;
constexpr DWORD VER_PLATFORM_WIN32_WINDOWS = 1;
constexpr DWORD VER_PLATFORM_WIN32_NT = 2;
constexpr BYTE VER_NT_WORKSTATION = 1;
constexpr BYTE VER_NT_DOMAIN_CONTROLLER = 2;
constexpr BYTE VER_NT_SERVER = 3;

struct SYSTEM_INFO {
  WORD wProcessorArchitecture = 0;
  WORD wReserved = 0;
  DWORD dwPageSize = 0;
  LPVOID lpMinimumApplicationAddress = nullptr;
  LPVOID lpMaximumApplicationAddress = nullptr;
  DWORD_PTR dwActiveProcessorMask = 0;
  DWORD dwNumberOfProcessors = 0;
  DWORD dwProcessorType = 0;
  DWORD dwAllocationGranularity = 0;
  WORD wProcessorLevel = 0;
  WORD wProcessorRevision = 0;
};
using LPSYSTEM_INFO = SYSTEM_INFO*;

struct OSVERSIONINFOA {
  DWORD dwOSVersionInfoSize = sizeof(OSVERSIONINFOA);
  DWORD dwMajorVersion = 0;
  DWORD dwMinorVersion = 0;
  DWORD dwBuildNumber = 0;
  DWORD dwPlatformId = 0;
  CHAR szCSDVersion[128] = {};
};

struct OSVERSIONINFOEXA {
  DWORD dwOSVersionInfoSize = sizeof(OSVERSIONINFOEXA);
  DWORD dwMajorVersion = 0;
  DWORD dwMinorVersion = 0;
  DWORD dwBuildNumber = 0;
  DWORD dwPlatformId = 0;
  CHAR szCSDVersion[128] = {};
  WORD wServicePackMajor = 0;
  WORD wServicePackMinor = 0;
  WORD wSuiteMask = 0;
  BYTE wProductType = 0;
  BYTE wReserved = 0;
};

// The processors the process may run on (at least 1), the page size, and the Windows
// allocation granularity of 64 KiB (a multiple of the page size, so view offsets rounded to
// it are valid here too).
void GetSystemInfo(LPSYSTEM_INFO Info);
void GetNativeSystemInfo(LPSYSTEM_INFO Info);

// Fills an OSVERSIONINFOA or OSVERSIONINFOEXA, told apart by dwOSVersionInfoSize (148 or 156
// as on Windows; the sizes of the structures above are accepted too). Any other size fails
// with ERROR_INSUFFICIENT_BUFFER.
BOOL GetVersionExA(OSVERSIONINFOA* Info);
BOOL GetVersionExA(OSVERSIONINFOEXA* Info);
// Low byte major, next byte minor, high word build (the NT form, top bit clear).
DWORD GetVersion();
