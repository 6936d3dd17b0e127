// The running copies of one executable file, as every copy sees them: a shared list of their
// process ids (a named mapping under a cross-process optex) and a registered message through
// which the copies tell each other that one came or went. A second start uses it to find the
// copy that runs already, to hand that copy its command line and to bring it to the front.
//
// Contract:
// - The shared objects are named after the executable's full path, so copies started from
//   different files never see each other; the path is taken byte for byte (case, "\" and "_"
//   stay different), and a path too long for an object name is shortened with a hash of it.
// - Every access to the list happens under the optex and releases it again, also on error.
// - The list holds at most MaxListedInstances ids: a registration beyond that is refused (never
//   written past the record). A registration first drops the ids of copies that are gone (a
//   crashed copy, or an id the system gave to another program since), so a stale entry never
//   makes a start believe that another copy runs.
// - Creating the objects raises the exceptions of the optex and the mapping ("Failed to create
//   event", "Failed to create FileMapping", "Failed to create FileMappingView").
// - Messages to another copy wait at most CopyAnswerTimeoutMs (a copy that hangs does not hang
//   the sender); the command line is waited for as long as the other copy needs.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "app/SxFileMapping.h"
#include "app/SxSyncObjects.h"
#include "platform/rtl/StringList.h"
#include "platform/vcl/Messages.h"
#include "platform/win/WinUser.h"

// The shared record: MaxInst, Count, then the ids.
#pragma pack(push, 1)
struct TSxInstanceRecord {
  std::uint16_t MaxInst;
  std::uint16_t Count;
  std::uint32_t ProcessIds[257];
};
#pragma pack(pop)
static_assert(sizeof(TSxInstanceRecord) == 1032, "the shared record is 1,032 bytes");

inline constexpr int MaxListedInstances = 257;
inline constexpr UINT CopyAnswerTimeoutMs = 5000;

// Notification codes (wParam of the registered message).
enum : WPARAM {
  AppInstanceCreated = 1,
  AppInstanceDestroyed = 2,
  AppInstanceUserNotify = 3,
  AppInstanceQueryActive = 4,
  AppInstanceActiveAnswer = 5
};

// Kinds of WM_COPYDATA between copies: the command line as CR LF separated lines, and the same
// arguments each ended by a zero byte (used when an argument holds a line break itself).
enum : ULONG_PTR { CopyDataCommandLine = 1, CopyDataArgumentList = 2 };

class TSxAppInstances : public TObject {
public:
  TSxAppInstances();
  ~TSxAppInstances() override;
  TSxAppInstances(const TSxAppInstances&) = delete;
  TSxAppInstances& operator=(const TSxAppInstances&) = delete;

  // Adds this process; true when it is within the limit (then the others hear code 1).
  bool RegisterInstance(std::uint16_t MaxInstances);
  // Removes this process (when listed) and tells the others (code 2).
  void UnregisterInstance();
  void BroadcastNotification(WPARAM Code, LPARAM Value);

  int RegisteredCount();
  int IndexOfProcessId(DWORD ProcessId);
  DWORD InstanceProcessId(int Index);
  // The application window of the copy at Index (a stand-in handle for another copy's), or null.
  HWND InstanceAppWindow(int Index);
  void ActivateInstance(int Index);
  // Sends the command line to every window of that class of a listed copy; the number of
  // windows of copies listed before this one that took it.
  int SendCommandLine(const String& ClassName, HWND OwnWindow);

  UINT GetMessageId() const { return FMessageId; }
  DWORD GetProcessId() const { return FProcessId; }

  // The name every shared object of this executable starts with.
  static String BaseName(const String& ExePath);
  // The process's command-line arguments (the program path excluded), as SendCommandLine
  // hands them on.
  static void SetArguments(std::vector<String> Arguments);
  static const std::vector<String>& GetArguments();
  // The bytes SendCommandLine sends for these arguments, and their kind.
  static ULONG_PTR CommandLineData(const std::vector<String>& Arguments, String& Data);

  // The windows of the copy ProcessId that belong to its thread ThreadId (stand-ins for
  // another copy's), in the order the window system lists them.
  static std::vector<HWND> ThreadWindows(DWORD ProcessId, DWORD ThreadId);
  // The copy's application window, or null.
  static HWND AppWindowOf(DWORD ProcessId);

private:
  TSxInstanceRecord& Record() { return *static_cast<TSxInstanceRecord*>(FView->GetMemory()); }
  // Drops listed ids that are no longer copies of this executable (under the lock).
  void DropStaleEntries();

  DWORD FProcessId = 0;
  String FExePath;
  TSxOptex* FLock = nullptr;
  TSxSwapFileMapping* FMapping = nullptr;
  TSxFileMappingView* FView = nullptr;
  UINT FMessageId = 0;
};

// The process's object, created on first use.
TSxAppInstances* SharedAppInstances();
// Frees it (unregistering this process); the next SharedAppInstances makes a new one.
void FreeSharedAppInstances();

// The kind of a WM_COPYDATA from another window than OwnWindow (the message result becomes 1),
// or -1 for anything else (the result becomes 0).
int CheckCopyDataMessage(TMessage& Message, HWND OwnWindow);
// The bytes a WM_COPYDATA carries.
std::vector<char> CopyDataToBuffer(const TMessage& Message);
// The text as lines (CR LF, CR or LF end a line; a final one adds no empty line).
void CopyDataToStrings(const TMessage& Message, TStrings* Strings);
// The arguments of a CopyDataArgumentList block.
void ArgumentListToStrings(const std::vector<char>& Data, TStrings* Strings);
