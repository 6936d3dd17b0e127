// Object wrappers of the system's synchronisation objects: events and mutexes with a common
// wait, a critical section, and the optex, a recursive lock shared by every process that
// opens it under the same name, which spins a while before it sleeps.
#pragma once

#include <cstdint>
#include <mutex>

#include "core/SxSysUtils.h"
#include "platform/os/KernelObjects.h"

QV_DECLARE_EXCEPTION(ESxEventError, ESxWin32Error);
QV_DECLARE_EXCEPTION(ESxMutexError, ESxWin32Error);

namespace SxSyncConsts {
inline constexpr const char* RsCreateEvent = "Failed to create event";
inline constexpr const char* RsCreateMutex = "Failed to create mutex";
}  // namespace SxSyncConsts

enum class TSxWaitResult { wrAbandoned, wrError, wrIoCompletion, wrSignaled, wrTimeout };

// WaitForSingleObject's result as a TSxWaitResult.
TSxWaitResult SxMapWaitResult(DWORD Result);

class TSxDispatcherObject : public TObject {
public:
  ~TSxDispatcherObject() override;
  TSxDispatcherObject(const TSxDispatcherObject&) = delete;
  TSxDispatcherObject& operator=(const TSxDispatcherObject&) = delete;

  TSxWaitResult WaitSignaled(DWORD TimeOut);
  TSxWaitResult WaitSignaledForever() { return WaitSignaled(0xFFFFFFFF); }

  bool GetExisted() const { return FExisted; }
  HANDLE GetHandle() const { return FHandle; }
  const String& GetName() const { return FName; }

protected:
  TSxDispatcherObject() = default;
  bool FExisted = false;
  HANDLE FHandle = nullptr;
  String FName;
};

class TSxEvent : public TSxDispatcherObject {
public:
  TSxEvent(LPSECURITY_ATTRIBUTES SecAttr, bool Manual, bool Signaled, const String& Name);
  bool Signal();
  bool ResetEvent();
};

class TSxMutex : public TSxDispatcherObject {
public:
  TSxMutex(LPSECURITY_ATTRIBUTES SecAttr, bool InitialOwner, const String& Name);
  bool Release();
};

// A recursive in-process lock.
class TSxCriticalSection : public TObject {
public:
  TSxCriticalSection() = default;
  TSxCriticalSection(const TSxCriticalSection&) = delete;
  TSxCriticalSection& operator=(const TSxCriticalSection&) = delete;
  void Enter() { FSection.lock(); }
  void Leave() { FSection.unlock(); }
  bool TryEnter() { return FSection.try_lock(); }

private:
  std::recursive_mutex FSection;
};

// The optex's shared block: four 32-bit fields, in a named mapping or in local memory.
struct TSxOptexData {
  std::int32_t SpinCount;
  std::int32_t LockCount;
  std::int32_t ThreadId;
  std::int32_t RecursionCount;
};

class TSxOptex : public TObject {
public:
  // A negative spin limit means 4,000. An empty name makes a process-local optex.
  explicit TSxOptex(const String& Name = "", int SpinLimit = 4000);
  ~TSxOptex() override;
  TSxOptex(const TSxOptex&) = delete;
  TSxOptex& operator=(const TSxOptex&) = delete;

  void Lock();
  void Unlock();
  bool TryLock();
  void SetSpinLimit(int Limit);
  bool IsProcessLocal() const { return FMapping == nullptr; }
  bool GetExisted() const { return FExisted; }
  const String& GetName() const { return FName; }
  const TSxOptexData& GetData() const { return *FData; }

private:
  TSxEvent* FEvent = nullptr;
  bool FExisted = false;
  HANDLE FMapping = nullptr;
  String FName;
  TSxOptexData* FData = nullptr;
};
