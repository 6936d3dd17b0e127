#include "platform/os/Wait.h"

#include <linux/futex.h>
#include <poll.h>
#include <sys/eventfd.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <algorithm>
#include <climits>
#include <ctime>
#include <vector>

#include "platform/os/KernelObjectInternal.h"

namespace qv::os {

namespace {

struct TWaiters {
  std::mutex Lock;
  std::vector<int> Fds;
};

TWaiters& Waiters()
{
  static TWaiters* Instance = new TWaiters();
  return *Instance;
}

struct TWakeFd {
  int Fd = eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
  ~TWakeFd()
  {
    if (Fd >= 0)
      close(Fd);
  }
};

void Drain(int Fd)
{
  std::uint64_t Value;
  while (read(Fd, &Value, sizeof Value) > 0) {
  }
}

void FutexWait(std::atomic<std::uint32_t>* Word, std::uint32_t Expected, int Milliseconds)
{
  timespec Timeout{Milliseconds / 1000, (Milliseconds % 1000) * 1000000L};
  syscall(SYS_futex, reinterpret_cast<std::uint32_t*>(Word), FUTEX_WAIT, Expected,
          Milliseconds < 0 ? nullptr : &Timeout, nullptr, 0);
}

struct TWaitItem {
  std::shared_ptr<TKernelObject> Object;
  DWORD Index = 0;
};

// One look at the objects. Returns the result code, or WAIT_TIMEOUT when not satisfied;
// Recheck gets the longest period after which the objects must be looked at again unasked.
DWORD TryOnce(std::vector<TWaitItem>& Items, bool WaitAll, int& Recheck)
{
  Recheck = 0;
  if (!WaitAll) {
    for (TWaitItem& Item : Items) {
      bool Abandoned = false;
      bool Signaled;
      if (Item.Object->IsNamed()) {
        Item.Object->LockState();
        Signaled = Item.Object->IsSignaled(Abandoned);
        if (Signaled)
          Item.Object->Acquire();
        else
          Recheck = std::max(Recheck, Item.Object->RecheckMs());
        Item.Object->UnlockState();
      } else {
        std::lock_guard<std::mutex> Guard(LocalStateLock());
        Signaled = Item.Object->IsSignaled(Abandoned);
        if (Signaled)
          Item.Object->Acquire();
        else
          Recheck = std::max(Recheck, Item.Object->RecheckMs());
      }
      if (Signaled)
        return (Abandoned ? WAIT_ABANDONED_0 : WAIT_OBJECT_0) + Item.Index;
    }
    return WAIT_TIMEOUT;
  }

  // Wait for all: every object is looked at and taken under all the state locks at once.
  // Named locks are taken in the order of their names, so that two processes waiting on the
  // same objects cannot block each other.
  std::vector<TWaitItem*> Named;
  bool AnyLocal = false;
  for (TWaitItem& Item : Items) {
    if (Item.Object->IsNamed())
      Named.push_back(&Item);
    else
      AnyLocal = true;
  }
  std::sort(Named.begin(), Named.end(),
            [](const TWaitItem* A, const TWaitItem* B) { return A->Object->OrderKey() < B->Object->OrderKey(); });
  std::unique_lock<std::mutex> Local(LocalStateLock(), std::defer_lock);
  if (AnyLocal)
    Local.lock();
  for (TWaitItem* Item : Named)
    Item->Object->LockState();
  bool All = true;
  DWORD AbandonedIndex = WAIT_TIMEOUT;
  for (TWaitItem& Item : Items) {
    bool Abandoned = false;
    if (!Item.Object->IsSignaled(Abandoned)) {
      All = false;
      Recheck = std::max(Recheck, Item.Object->RecheckMs());
    } else if (Abandoned && AbandonedIndex == WAIT_TIMEOUT) {
      AbandonedIndex = Item.Index;
    }
  }
  if (All)
    for (TWaitItem& Item : Items)
      Item.Object->Acquire();
  for (auto It = Named.rbegin(); It != Named.rend(); ++It)
    (*It)->Object->UnlockState();
  if (!All)
    return WAIT_TIMEOUT;
  return AbandonedIndex == WAIT_TIMEOUT ? WAIT_OBJECT_0 : WAIT_ABANDONED_0 + AbandonedIndex;
}

}  // namespace

int RegisterWaiter()
{
  thread_local TWakeFd Wake;
  TWaiters& W = Waiters();
  std::lock_guard<std::mutex> Guard(W.Lock);
  W.Fds.push_back(Wake.Fd);
  return Wake.Fd;
}

void UnregisterWaiter(int Fd)
{
  {
    TWaiters& W = Waiters();
    std::lock_guard<std::mutex> Guard(W.Lock);
    auto It = std::find(W.Fds.begin(), W.Fds.end(), Fd);
    if (It != W.Fds.end())
      W.Fds.erase(It);
  }
  Drain(Fd);
}

void NotifyLocalChange()
{
  TWaiters& W = Waiters();
  std::lock_guard<std::mutex> Guard(W.Lock);
  std::uint64_t One = 1;
  for (int Fd : W.Fds)
    [[maybe_unused]] ssize_t N = write(Fd, &One, sizeof One);
}

DWORD WaitForMultipleObjectsOrFd(DWORD Count, const HANDLE* Handles, BOOL WaitAll, DWORD Milliseconds, int Fd)
{
  if (Count > MAXIMUM_WAIT_OBJECTS || (Count == 0 && Fd < 0) || (Count > 0 && !Handles)) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return WAIT_FAILED;
  }
  std::vector<TWaitItem> Items;
  Items.reserve(Count);
  std::vector<pollfd> Polls(1);  // [0] the wake-up descriptor, then the objects' own ones
  bool AnyLocal = false;
  int NamedCount = 0;
  for (DWORD I = 0; I < Count; ++I) {
    std::shared_ptr<TKernelObject> Object = ObjectOf(Handles[I]);
    if (!Object || !Object->Waitable()) {
      SetLastError(ERROR_INVALID_HANDLE);
      return WAIT_FAILED;
    }
    if (WaitAll)
      for (const TWaitItem& Other : Items)
        if (Other.Object == Object) {
          SetLastError(ERROR_INVALID_PARAMETER);
          return WAIT_FAILED;
        }
    if (Object->IsNamed())
      ++NamedCount;
    else
      AnyLocal = true;
    if (Object->WaitFd() >= 0)
      Polls.push_back({Object->WaitFd(), POLLIN, 0});
    Items.push_back({std::move(Object), I});
  }
  const std::size_t CallerFdIndex = Polls.size();
  if (Fd >= 0)
    Polls.push_back({Fd, POLLIN, 0});

  const bool Forever = Milliseconds == INFINITE;
  const Int64 Deadline = GetTickCount64() + (Forever ? 0 : static_cast<Int64>(Milliseconds));
  // Waits on one named object alone sleep on its futex; everything else on the wake-up
  // descriptor (and the caller's descriptor).
  const bool FutexOnly = NamedCount == 1 && !AnyLocal && Fd < 0;
  const int WakeFd = FutexOnly ? -1 : RegisterWaiter();
  DWORD Result = WAIT_TIMEOUT;
  for (;;) {
    std::vector<std::uint32_t> Generations;
    for (TWaitItem& Item : Items)
      Generations.push_back(Item.Object->IsNamed() ? Item.Object->FutexWord()->load() : 0);
    int Recheck = 0;
    Result = TryOnce(Items, WaitAll, Recheck);
    if (Result != WAIT_TIMEOUT)
      break;
    int Timeout = -1;
    if (!Forever) {
      Int64 Left = Deadline - GetTickCount64();
      if (Left <= 0) {
        // A last look at the descriptor before giving up.
        if (Fd >= 0) {
          pollfd P{Fd, POLLIN, 0};
          if (poll(&P, 1, 0) > 0)
            Result = WAIT_OBJECT_0 + Count;
        }
        break;
      }
      Timeout = static_cast<int>(std::min<Int64>(Left, INT_MAX));
    }
    if (Recheck > 0 && (Timeout < 0 || Timeout > Recheck))
      Timeout = Recheck;
    if (FutexOnly) {
      FutexWait(Items[0].Object->FutexWord(), Generations[0], Timeout);
      continue;
    }
    if (NamedCount > 0 && (Timeout < 0 || Timeout > 10))
      Timeout = 10;
    Polls[0] = {WakeFd, POLLIN, 0};
    for (pollfd& P : Polls)
      P.revents = 0;
    int N = poll(Polls.data(), Polls.size(), Timeout);
    if (N > 0 && (Polls[0].revents & POLLIN))
      Drain(WakeFd);
    if (N > 0 && Fd >= 0 && (Polls[CallerFdIndex].revents & (POLLIN | POLLHUP | POLLERR))) {
      // Objects take precedence over the descriptor, as with MsgWaitForMultipleObjects.
      int Unused;
      Result = TryOnce(Items, WaitAll, Unused);
      if (Result == WAIT_TIMEOUT)
        Result = WAIT_OBJECT_0 + Count;
      break;
    }
  }
  if (WakeFd >= 0)
    UnregisterWaiter(WakeFd);
  return Result;
}

}  // namespace qv::os

DWORD WaitForSingleObject(HANDLE Object, DWORD Milliseconds)
{
  return qv::os::WaitForMultipleObjectsOrFd(1, &Object, FALSE, Milliseconds, -1);
}

DWORD WaitForMultipleObjects(DWORD Count, const HANDLE* Handles, BOOL WaitAll, DWORD Milliseconds)
{
  if (Count == 0) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return WAIT_FAILED;
  }
  return qv::os::WaitForMultipleObjectsOrFd(Count, Handles, WaitAll, Milliseconds, -1);
}
