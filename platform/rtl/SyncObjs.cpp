#include "platform/rtl/SyncObjs.h"

#include <chrono>
#include <ctime>

#include "platform/rtl/RtlConsts.h"

void Sleep(Cardinal Milliseconds)
{
  if (Milliseconds == 0) {
    std::this_thread::yield();
    return;
  }
  std::this_thread::sleep_for(std::chrono::milliseconds(Milliseconds));
}

Int64 GetTickCount64()
{
  timespec now{};
  clock_gettime(CLOCK_MONOTONIC, &now);
  return static_cast<Int64>(now.tv_sec) * 1000 + now.tv_nsec / 1000000;
}

Cardinal GetTickCount()
{
  return static_cast<Cardinal>(static_cast<UInt64>(GetTickCount64()));
}

void TSynchroObject::Acquire() {}

void TSynchroObject::Release() {}

void TCriticalSection::Acquire()
{
  FMutex.lock();
  FOwner.store(std::this_thread::get_id());
  ++FCount;
}

bool TCriticalSection::TryEnter()
{
  if (!FMutex.try_lock()) return false;
  FOwner.store(std::this_thread::get_id());
  ++FCount;
  return true;
}

void TCriticalSection::Release()
{
  // Unlocking a mutex one does not hold is undefined; refuse it with a clear error.
  if (FOwner.load() != std::this_thread::get_id()) throw ESyncObjectException(RtlConsts::SSyncObjectNotOwned);
  if (--FCount == 0) FOwner.store(std::thread::id());
  FMutex.unlock();
}

TEvent::TEvent(void* EventAttributes, bool ManualReset, bool InitialState, const String& Name)
    : FManualReset(ManualReset), FSignaled(InitialState), FName(Name)
{
  (void)EventAttributes;
}

void TEvent::SetEvent()
{
  // Notify under the lock: a waiter released here may destroy the event as soon as the
  // lock is free ("wait for done, then free" is the usual pattern).
  std::lock_guard<std::mutex> guard(FMutex);
  FSignaled = true;
  if (FManualReset)
    FSignal.notify_all();
  else
    FSignal.notify_one();
}

void TEvent::ResetEvent()
{
  std::lock_guard<std::mutex> guard(FMutex);
  FSignaled = false;
}

TWaitResult TEvent::WaitFor(Cardinal Timeout)
{
  std::unique_lock<std::mutex> lock(FMutex);
  const auto signaled = [this] { return FSignaled; };
  if (Timeout == INFINITE)
    FSignal.wait(lock, signaled);
  else if (!FSignal.wait_for(lock, std::chrono::milliseconds(Timeout), signaled))
    return wrTimeout;
  if (!FManualReset) FSignaled = false;
  return wrSignaled;
}

void TEvent::Acquire()
{
  WaitFor(INFINITE);
}
