#include "app/SxSyncObjects.h"

#include <atomic>

#include "core/ToolProcesses.h"
#include "platform/os/FileMapping.h"
#include "platform/os/Sync.h"
#include "platform/os/Wait.h"
#include "platform/rtl/Thread.h"

namespace {

std::atomic_ref<std::int32_t> Atomic(std::int32_t& Field) { return std::atomic_ref<std::int32_t>(Field); }

std::int32_t OwnThreadId() { return static_cast<std::int32_t>(GetCurrentThreadId()); }

}  // namespace

TSxWaitResult SxMapWaitResult(DWORD Result)
{
  switch (Result) {
    case WAIT_ABANDONED: return TSxWaitResult::wrAbandoned;
    case WAIT_IO_COMPLETION: return TSxWaitResult::wrIoCompletion;
    case WAIT_OBJECT_0: return TSxWaitResult::wrSignaled;
    case WAIT_TIMEOUT: return TSxWaitResult::wrTimeout;
    default: return TSxWaitResult::wrError;
  }
}

TSxDispatcherObject::~TSxDispatcherObject()
{
  if (FHandle) CloseHandle(FHandle);
}

TSxWaitResult TSxDispatcherObject::WaitSignaled(DWORD TimeOut)
{
  return SxMapWaitResult(WaitForSingleObject(FHandle, TimeOut));
}

TSxEvent::TSxEvent(LPSECURITY_ATTRIBUTES SecAttr, bool Manual, bool Signaled, const String& Name)
{
  FName = Name;
  FHandle = CreateEventA(SecAttr, Manual, Signaled, Name.empty() ? nullptr : Name.c_str());
  if (!FHandle) throw ESxWin32Error::FromLastError<ESxEventError>(SxSyncConsts::RsCreateEvent);
  FExisted = GetLastError() == ERROR_ALREADY_EXISTS;
}

bool TSxEvent::Signal() { return SetEvent(FHandle) != FALSE; }

bool TSxEvent::ResetEvent() { return ::ResetEvent(FHandle) != FALSE; }

TSxMutex::TSxMutex(LPSECURITY_ATTRIBUTES SecAttr, bool InitialOwner, const String& Name)
{
  FName = Name;
  FHandle = CreateMutexA(SecAttr, InitialOwner, Name.empty() ? nullptr : Name.c_str());
  if (!FHandle) throw ESxWin32Error::FromLastError<ESxMutexError>(SxSyncConsts::RsCreateMutex);
  FExisted = GetLastError() == ERROR_ALREADY_EXISTS;
}

bool TSxMutex::Release() { return ReleaseMutex(FHandle) != FALSE; }

TSxOptex::TSxOptex(const String& Name, int SpinLimit) : FName(Name)
{
  try {
    if (!Name.empty()) {
      FEvent = new TSxEvent(nullptr, false, false, "Optex_Event_" + Name);
      FExisted = FEvent->GetExisted();
      FMapping = CreateFileMappingA(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0, sizeof(TSxOptexData),
                                    ("Optex_MMF_" + Name).c_str());
      // Without its shared block the lock would not exist at all: refuse to make it.
      if (!FMapping) throw ESxWin32Error::CreateFromLastError("Failed to create FileMapping");
      FData = static_cast<TSxOptexData*>(MapViewOfFile(FMapping, FILE_MAP_WRITE, 0, 0, sizeof(TSxOptexData)));
      if (!FData) throw ESxWin32Error::CreateFromLastError("Failed to create FileMappingView");
    } else {
      FEvent = new TSxEvent(nullptr, false, false, "");
      FData = new TSxOptexData{0, 0, 0, 0};
    }
  } catch (...) {
    if (FMapping) CloseHandle(FMapping);
    delete FEvent;
    throw;
  }
  SetSpinLimit(SpinLimit);
}

TSxOptex::~TSxOptex()
{
  delete FEvent;
  if (FMapping) {
    UnmapViewOfFile(FData);
    CloseHandle(FMapping);
  } else {
    delete FData;
  }
}

void TSxOptex::SetSpinLimit(int Limit)
{
  if (Limit < 0) Limit = 4000;
  if (SystemInfoState().ProcessorCount > 1) Atomic(FData->SpinCount).exchange(Limit);
}

bool TSxOptex::TryLock()
{
  const std::int32_t Me = OwnThreadId();
  const std::int32_t Spins = Atomic(FData->SpinCount).load();
  std::int32_t Attempts = 0;
  for (;;) {
    std::int32_t Free = 0;
    if (Atomic(FData->LockCount).compare_exchange_strong(Free, 1)) {
      Atomic(FData->ThreadId).store(Me);
      FData->RecursionCount = 1;
      return true;
    }
    if (Atomic(FData->ThreadId).load() == Me) {
      Atomic(FData->LockCount).fetch_add(1);
      ++FData->RecursionCount;
      return true;
    }
    if (++Attempts >= Spins) return false;
  }
}

void TSxOptex::Lock()
{
  if (TryLock()) return;
  const std::int32_t Me = OwnThreadId();
  if (Atomic(FData->LockCount).fetch_add(1) + 1 != 1) {
    if (Atomic(FData->ThreadId).load() == Me) {
      ++FData->RecursionCount;
      return;
    }
    FEvent->WaitSignaledForever();
  }
  Atomic(FData->ThreadId).store(Me);
  FData->RecursionCount = 1;
}

void TSxOptex::Unlock()
{
  if (--FData->RecursionCount > 0) {
    Atomic(FData->LockCount).fetch_sub(1);
    return;
  }
  Atomic(FData->ThreadId).store(0);
  if (Atomic(FData->LockCount).fetch_sub(1) - 1 > 0) FEvent->Signal();
}
