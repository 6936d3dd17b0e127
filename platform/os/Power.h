// Power-off and restart in the shape of ExitWindowsEx, through the system's service manager:
// "systemctl poweroff" for EWX_SHUTDOWN and EWX_POWEROFF, "systemctl reboot" for EWX_REBOOT.
// EWX_FORCE and the reason are accepted; systemctl ends every program itself. Logging off
// (EWX_LOGOFF) is not offered: FALSE with ERROR_NOT_SUPPORTED. The privilege calls that Windows
// needs before it are accepted and do nothing (the service manager asks the user's session
// for permission itself).
#pragma once

#include "platform/rtl/System.h"
#include "platform/rtl/WinTypes.h"

constexpr UINT EWX_LOGOFF = 0x00000000;
constexpr UINT EWX_SHUTDOWN = 0x00000001;
constexpr UINT EWX_REBOOT = 0x00000002;
constexpr UINT EWX_FORCE = 0x00000004;
constexpr UINT EWX_POWEROFF = 0x00000008;
constexpr UINT EWX_FORCEIFHUNG = 0x00000010;

// TRUE when the command was accepted (it exited with 0); FALSE with GetLastError: the command's
// exit code, or ERROR_NOT_SUPPORTED when it could not be started or the flags ask for a log-off.
BOOL ExitWindowsEx(UINT Flags, DWORD Reason);

// The service-manager program (default "systemctl", looked up on PATH); tests inject a fake
// one so that nothing shuts down.
void SetPowerCommand(const String& Program);

// The token privilege calls, for code written in the Windows order.
constexpr DWORD TOKEN_QUERY = 0x0008;
constexpr DWORD TOKEN_ADJUST_PRIVILEGES = 0x0020;
constexpr DWORD SE_PRIVILEGE_ENABLED = 0x00000002;
inline constexpr const char* SE_SHUTDOWN_NAME = "SeShutdownPrivilege";

struct LUID {
  DWORD LowPart = 0;
  LONG HighPart = 0;
};
struct LUID_AND_ATTRIBUTES {
  LUID Luid;
  DWORD Attributes = 0;
};
struct TOKEN_PRIVILEGES {
  DWORD PrivilegeCount = 0;
  LUID_AND_ATTRIBUTES Privileges[1];
};

// Succeed without effect; OpenProcessToken gives a token handle that CloseHandle need not see
// (it is not a kernel object).
BOOL OpenProcessToken(HANDLE Process, DWORD DesiredAccess, HANDLE* Token);
BOOL LookupPrivilegeValueA(LPCSTR SystemName, LPCSTR Name, LUID* Luid);
BOOL AdjustTokenPrivileges(HANDLE Token, BOOL DisableAll, TOKEN_PRIVILEGES* NewState, DWORD BufferLength,
                           TOKEN_PRIVILEGES* PreviousState, DWORD* ReturnLength);
