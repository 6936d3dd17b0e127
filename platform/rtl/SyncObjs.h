// Synchronisation objects and the tick clock: critical sections, events, Sleep and
// GetTickCount, with the class library's names and behaviour.
#pragma once

#include <atomic>
#include <condition_variable>
#include <mutex>
#include <thread>

#include "platform/rtl/Exceptions.h"
#include "platform/rtl/System.h"

constexpr Cardinal INFINITE = 0xFFFFFFFF;

// Suspends the calling thread for the given time; 0 gives up the rest of the time slice.
void Sleep(Cardinal Milliseconds);

// Milliseconds since an arbitrary start, from the monotonic clock. The 32-bit value wraps
// after about 49.7 days: measure with unsigned differences (GetTickCount() - Start).
Cardinal GetTickCount();
Int64 GetTickCount64();

enum TWaitResult { wrSignaled, wrTimeout, wrAbandoned, wrError };

// Raised on misuse of a synchronisation object (releasing a lock one does not hold).
QV_DECLARE_EXCEPTION(ESyncObjectException, Exception);

// Base of the synchronisation objects: Acquire/Release do nothing here.
class TSynchroObject : public TObject {
public:
  virtual void Acquire();
  virtual void Release();
};

// A recursive lock: the owning thread may enter again and must leave as often as it entered.
// Leaving a section the calling thread does not hold raises ESyncObjectException instead of
// corrupting the lock.
class TCriticalSection : public TSynchroObject {
public:
  TCriticalSection() = default;
  TCriticalSection(const TCriticalSection&) = delete;
  TCriticalSection& operator=(const TCriticalSection&) = delete;

  void Acquire() override;
  void Release() override;
  void Enter() { Acquire(); }
  void Leave() { Release(); }
  // Enters when the section is free or already held by this thread; never blocks.
  bool TryEnter();

private:
  std::recursive_mutex FMutex;
  std::atomic<std::thread::id> FOwner{};
  int FCount = 0;  // recursion depth, touched by the owner only
};

// An event flag threads wait on. A manual-reset event stays signalled until ResetEvent and
// releases every waiter; an auto-reset event releases one waiter and resets itself.
// EventAttributes is ignored. A non-empty Name is accepted, but the event is an in-process
// one all the same: events shared between processes belong to the OS layer.
class TEvent : public TSynchroObject {
public:
  explicit TEvent(void* EventAttributes = nullptr, bool ManualReset = true, bool InitialState = false,
                  const String& Name = "");
  TEvent(const TEvent&) = delete;
  TEvent& operator=(const TEvent&) = delete;

  void SetEvent();
  void ResetEvent();
  // Waits until the event is signalled (wrSignaled) or Timeout milliseconds passed (wrTimeout).
  TWaitResult WaitFor(Cardinal Timeout = INFINITE);

  // Acquire waits for the event without a time limit.
  void Acquire() override;

  const String& GetName() const { return FName; }
  bool GetManualReset() const { return FManualReset; }

private:
  std::mutex FMutex;
  std::condition_variable FSignal;
  bool FManualReset;
  bool FSignaled;
  String FName;
};

// A manual-reset event that starts unsignalled.
class TSimpleEvent : public TEvent {
public:
  TSimpleEvent() : TEvent(nullptr, true, false, "") {}
};
