#include "skin/shell/SkinShellChangeNotifier.h"

#include "platform/os/ChangeNotification.h"
#include "platform/os/Sync.h"
#include "platform/os/Wait.h"
#include "platform/rtl/StrUtils.h"

DWORD NotifyFiltersToFlags(TNotifyFilters Filters)
{
  static const DWORD flags[] = {FILE_NOTIFY_CHANGE_FILE_NAME, FILE_NOTIFY_CHANGE_DIR_NAME, FILE_NOTIFY_CHANGE_ATTRIBUTES,
                                FILE_NOTIFY_CHANGE_SIZE,      FILE_NOTIFY_CHANGE_LAST_WRITE, FILE_NOTIFY_CHANGE_SECURITY};
  DWORD result = 0;
  for (int i = nfFileNameChange; i <= nfSecurityChange; ++i)
    if (Filters & (1u << i)) result |= flags[i];
  return result;
}

std::mutex& ShellChangeLock()
{
  static std::mutex lock;
  return lock;
}

// ---- The watch thread ------------------------------------------------------------------------

TskShellChangeThread::TskShellChangeThread(TThreadMethod ChangeEvent)
    : TThread(true), FChangeEvent(std::move(ChangeEvent))
{
  SetFreeOnTerminate(true);
  FWakeUp = CreateEventA(nullptr, FALSE, FALSE, nullptr);
}

TskShellChangeThread::~TskShellChangeThread()
{
  if (FChangeHandle != INVALID_HANDLE_VALUE) FindCloseChangeNotification(FChangeHandle);
  if (FWakeUp) CloseHandle(FWakeUp);
}

void TskShellChangeThread::SetDirectoryOptions(const String& Directory, bool WatchSubTree, DWORD NotifyFilter)
{
  {
    std::lock_guard<std::mutex> lock(ShellChangeLock());
    FDirectory = Directory;
    FWatchSubTree = WatchSubTree;
    FNotifyFilter = NotifyFilter;
    FRearm = true;
  }
  SetEvent(FWakeUp);
}

void TskShellChangeThread::SetChangeEvent(TThreadMethod ChangeEvent) { FChangeEvent = std::move(ChangeEvent); }

void TskShellChangeThread::Stop()
{
  FChangeEvent = nullptr;
  Terminate();
  SetEvent(FWakeUp);
}

void TskShellChangeThread::RunChangeEvent()
{
  // On the GUI thread: a notifier that went meanwhile has detached the handler.
  if (!GetTerminated() && FChangeEvent) FChangeEvent();
}

void TskShellChangeThread::OpenWatch()
{
  std::lock_guard<std::mutex> lock(ShellChangeLock());
  if (FChangeHandle != INVALID_HANDLE_VALUE) FindCloseChangeNotification(FChangeHandle);
  FChangeHandle = FindFirstChangeNotificationA(FDirectory.c_str(), FWatchSubTree, FNotifyFilter);
  FRearm = false;
}

void TskShellChangeThread::Execute()
{
  if (FChangeHandle == INVALID_HANDLE_VALUE) OpenWatch();
  if (FChangeHandle == INVALID_HANDLE_VALUE || !FWakeUp) return;
  while (!GetTerminated()) {
    const HANDLE handles[2] = {FChangeHandle, FWakeUp};
    const DWORD result = WaitForMultipleObjects(2, handles, FALSE, INFINITE);
    if (GetTerminated()) break;
    if (result == WAIT_OBJECT_0) {
      Synchronize([this] { RunChangeEvent(); });
      FindNextChangeNotification(FChangeHandle);
    } else if (result != WAIT_OBJECT_0 + 1) {
      break;
    }
    std::lock_guard<std::mutex> lock(ShellChangeLock());
    if (FRearm) {
      FindCloseChangeNotification(FChangeHandle);
      FChangeHandle = FindFirstChangeNotificationA(FDirectory.c_str(), FWatchSubTree, FNotifyFilter);
      FRearm = false;
      if (FChangeHandle == INVALID_HANDLE_VALUE) break;
    }
  }
}

// ---- The notifier ----------------------------------------------------------------------------

TskCustomShellChangeNotifier::TskCustomShellChangeNotifier(TComponent* AOwner) : TComponent(AOwner) { Start(); }

TskCustomShellChangeNotifier::~TskCustomShellChangeNotifier()
{
  if (FThread) std::exchange(FThread, nullptr)->Stop();
}

void TskCustomShellChangeNotifier::Start()
{
  if (!FOnChange) return;
  FThread = new TskShellChangeThread(FOnChange);
  FThread->SetDirectoryOptions(FRoot, FWatchSubTree, NotifyFiltersToFlags(FNotifyFilters));
  FThread->OpenWatch();
  FThread->Start();
}

void TskCustomShellChangeNotifier::Change()
{
  if (FThread) FThread->SetDirectoryOptions(FRoot, FWatchSubTree, NotifyFiltersToFlags(FNotifyFilters));
}

void TskCustomShellChangeNotifier::SetNotifyFilters(TNotifyFilters Value)
{
  FNotifyFilters = Value;
  Change();
}

void TskCustomShellChangeNotifier::SetWatchSubTree(bool Value)
{
  FWatchSubTree = Value;
  Change();
}

void TskCustomShellChangeNotifier::SetRoot(const TRoot& Value)
{
  if (SameText(Value, FRoot)) return;
  FRoot = Value;
  Change();
}

void TskCustomShellChangeNotifier::SetOnChange(TThreadMethod Value)
{
  FOnChange = std::move(Value);
  if (FThread)
    FThread->SetChangeEvent(FOnChange);
  else
    Start();
}
