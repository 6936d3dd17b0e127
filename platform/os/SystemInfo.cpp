#include "platform/os/SystemInfo.h"

#include <sched.h>
#include <unistd.h>

#include <cstring>

namespace {

constexpr DWORD MajorVersion = 6;
constexpr DWORD MinorVersion = 1;
constexpr DWORD BuildNumber = 7601;
constexpr const char* ServicePack = "Service Pack 1";
constexpr DWORD SizeOfVersionInfo = 148;    // OSVERSIONINFOA on Windows
constexpr DWORD SizeOfVersionInfoEx = 156;  // OSVERSIONINFOEXA on Windows

void FillVersion(DWORD& Major, DWORD& Minor, DWORD& Build, DWORD& Platform, CHAR* Csd)
{
  Major = MajorVersion;
  Minor = MinorVersion;
  Build = BuildNumber;
  Platform = VER_PLATFORM_WIN32_NT;
  std::memset(Csd, 0, 128);
  std::strcpy(Csd, ServicePack);
}

}  // namespace

void GetSystemInfo(LPSYSTEM_INFO Info)
{
  if (!Info)
    return;
  *Info = SYSTEM_INFO{};
#if defined(__x86_64__)
  Info->wProcessorArchitecture = PROCESSOR_ARCHITECTURE_AMD64;
  Info->dwProcessorType = PROCESSOR_AMD_X8664;
#elif defined(__aarch64__)
  Info->wProcessorArchitecture = PROCESSOR_ARCHITECTURE_ARM64;
#elif defined(__i386__)
  Info->wProcessorArchitecture = PROCESSOR_ARCHITECTURE_INTEL;
  Info->dwProcessorType = PROCESSOR_INTEL_PENTIUM;
#else
  Info->wProcessorArchitecture = PROCESSOR_ARCHITECTURE_UNKNOWN;
#endif
  Info->dwPageSize = static_cast<DWORD>(sysconf(_SC_PAGESIZE));
  Info->lpMinimumApplicationAddress = reinterpret_cast<LPVOID>(static_cast<std::uintptr_t>(0x10000));
  Info->lpMaximumApplicationAddress = reinterpret_cast<LPVOID>(static_cast<std::uintptr_t>(0x7FFFFFFEFFFF));
  cpu_set_t Set;
  CPU_ZERO(&Set);
  DWORD Count = 0;
  DWORD_PTR Mask = 0;
  if (sched_getaffinity(0, sizeof Set, &Set) == 0) {
    Count = static_cast<DWORD>(CPU_COUNT(&Set));
    for (unsigned I = 0; I < sizeof(DWORD_PTR) * 8; ++I)
      if (CPU_ISSET(I, &Set))
        Mask |= static_cast<DWORD_PTR>(1) << I;
  }
  if (Count == 0) {
    long Online = sysconf(_SC_NPROCESSORS_ONLN);
    Count = Online > 0 ? static_cast<DWORD>(Online) : 1;
    Mask = Count >= sizeof(DWORD_PTR) * 8 ? ~static_cast<DWORD_PTR>(0) : (static_cast<DWORD_PTR>(1) << Count) - 1;
  }
  Info->dwNumberOfProcessors = Count;
  Info->dwActiveProcessorMask = Mask;
  Info->dwAllocationGranularity = 65536;
  Info->wProcessorLevel = 6;
}

void GetNativeSystemInfo(LPSYSTEM_INFO Info) { GetSystemInfo(Info); }

BOOL GetVersionExA(OSVERSIONINFOA* Info)
{
  if (!Info) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  const DWORD Size = Info->dwOSVersionInfoSize;
  if (Size == SizeOfVersionInfoEx || Size == sizeof(OSVERSIONINFOEXA))
    return GetVersionExA(reinterpret_cast<OSVERSIONINFOEXA*>(Info));
  if (Size != SizeOfVersionInfo && Size != sizeof(OSVERSIONINFOA)) {
    SetLastError(ERROR_INSUFFICIENT_BUFFER);
    return FALSE;
  }
  FillVersion(Info->dwMajorVersion, Info->dwMinorVersion, Info->dwBuildNumber, Info->dwPlatformId,
              Info->szCSDVersion);
  return TRUE;
}

BOOL GetVersionExA(OSVERSIONINFOEXA* Info)
{
  if (!Info) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  const DWORD Size = Info->dwOSVersionInfoSize;
  if (Size == SizeOfVersionInfo || Size == sizeof(OSVERSIONINFOA))
    return GetVersionExA(reinterpret_cast<OSVERSIONINFOA*>(Info));
  if (Size != SizeOfVersionInfoEx && Size != sizeof(OSVERSIONINFOEXA)) {
    SetLastError(ERROR_INSUFFICIENT_BUFFER);
    return FALSE;
  }
  FillVersion(Info->dwMajorVersion, Info->dwMinorVersion, Info->dwBuildNumber, Info->dwPlatformId,
              Info->szCSDVersion);
  Info->wServicePackMajor = 1;
  Info->wServicePackMinor = 0;
  Info->wSuiteMask = 0x0100;  // VER_SUITE_SINGLEUSERTS
  Info->wProductType = VER_NT_WORKSTATION;
  Info->wReserved = 0;
  return TRUE;
}

DWORD GetVersion() { return MajorVersion | (MinorVersion << 8) | (BuildNumber << 16); }
