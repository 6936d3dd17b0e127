#include "platform/os/Power.h"

#include <mutex>

#include "platform/os/ShellSpawn.h"
#include "platform/rtl/Exceptions.h"

namespace {

constexpr DWORD ErrorNotSupported = 50;

std::mutex CommandLock;
String Command = "systemctl";

// A token handle that no one mistakes for a kernel object.
int TokenTag = 0;

}  // namespace

void SetPowerCommand(const String& Program)
{
  std::lock_guard<std::mutex> lock(CommandLock);
  Command = Program;
}

BOOL ExitWindowsEx(UINT Flags, DWORD)
{
  const char* action = nullptr;
  if (Flags & EWX_REBOOT)
    action = "reboot";
  else if (Flags & (EWX_POWEROFF | EWX_SHUTDOWN))
    action = "poweroff";
  if (!action) {
    SetLastError(ErrorNotSupported);
    return FALSE;
  }
  String program;
  {
    std::lock_guard<std::mutex> lock(CommandLock);
    program = Command;
  }
  const int code = qvshell::SpawnAndWait({program, action}, "");
  if (code != 0) {
    SetLastError(code < 0 ? ErrorNotSupported : static_cast<DWORD>(code));
    return FALSE;
  }
  SetLastError(0);
  return TRUE;
}

BOOL OpenProcessToken(HANDLE, DWORD, HANDLE* Token)
{
  if (!Token) return FALSE;
  *Token = &TokenTag;
  return TRUE;
}

BOOL LookupPrivilegeValueA(LPCSTR, LPCSTR Name, LUID* Luid)
{
  if (!Name || !Luid) return FALSE;
  *Luid = LUID{19, 0};  // the shutdown privilege's number on Windows
  return TRUE;
}

BOOL AdjustTokenPrivileges(HANDLE Token, BOOL, TOKEN_PRIVILEGES*, DWORD, TOKEN_PRIVILEGES*, DWORD* ReturnLength)
{
  if (ReturnLength) *ReturnLength = 0;
  return Token == &TokenTag ? TRUE : FALSE;
}
