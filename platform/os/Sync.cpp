#include "platform/os/Sync.h"

#include <unistd.h>

#include "platform/os/KernelObjectInternal.h"

namespace qv::os {

namespace {

// ---- Objects of this process ----------------------------------------------------------------

class TLocalEvent : public TKernelObject {
public:
  TLocalEvent(bool Manual, bool Initial) : Manual(Manual), Signaled(Initial) {}
  bool Waitable() const override { return true; }
  bool IsSignaled(bool& Abandoned) override
  {
    Abandoned = false;
    return Signaled;
  }
  void Acquire() override
  {
    if (!Manual)
      Signaled = false;
  }
  bool Manual;
  bool Signaled;
};

class TLocalMutex : public TKernelObject {
public:
  bool Waitable() const override { return true; }
  bool OwnedByCaller() const { return Owner && Owner == CurrentThreadObject(); }
  bool IsSignaled(bool& Abandoned) override
  {
    Abandoned = false;
    if (!Owner || OwnedByCaller())
      return true;
    bool Unused;
    if (Owner->IsSignaled(Unused)) {
      Abandoned = true;  // the owning thread ended without releasing (its end woke us)
      return true;
    }
    return false;
  }
  void Acquire() override
  {
    if (OwnedByCaller()) {
      ++Recursion;
      return;
    }
    Owner = CurrentThreadObject();
    Recursion = 1;
  }
  std::shared_ptr<TKernelObject> Owner;  // the owning thread's object (signalled when it ends)
  std::uint32_t Recursion = 0;
};

class TLocalSemaphore : public TKernelObject {
public:
  TLocalSemaphore(LONG Count, LONG Max) : Count(Count), Max(Max) {}
  bool Waitable() const override { return true; }
  bool IsSignaled(bool& Abandoned) override
  {
    Abandoned = false;
    return Count > 0;
  }
  void Acquire() override { --Count; }
  LONG Count;
  LONG Max;
};

// ---- Named objects --------------------------------------------------------------------------

class TNamedSync : public TKernelObject {
public:
  explicit TNamedSync(std::shared_ptr<TNamedFile> File) : File(std::move(File)) {}
  bool Waitable() const override { return true; }
  bool IsNamed() const override { return true; }
  void LockState() override { File->Lock(); }
  void UnlockState() override { File->Unlock(); }
  std::atomic<std::uint32_t>* FutexWord() override { return &File->Header->Generation; }
  String OrderKey() const override { return File->Path; }
  TSharedHeader& H() { return *File->Header; }
  std::shared_ptr<TNamedFile> File;
};

class TNamedEvent : public TNamedSync {
public:
  using TNamedSync::TNamedSync;
  bool IsSignaled(bool& Abandoned) override
  {
    Abandoned = false;
    return H().Signaled != 0;
  }
  void Acquire() override
  {
    if (!H().ManualReset)
      H().Signaled = 0;
  }
};

class TNamedMutex : public TNamedSync {
public:
  using TNamedSync::TNamedSync;
  bool OwnedByCaller()
  {
    return H().OwnerPid == getpid() && H().OwnerTid == OwnTid() && H().OwnerStart == OwnThreadStartTime();
  }
  bool IsSignaled(bool& Abandoned) override
  {
    Abandoned = false;
    if (H().OwnerTid == 0 || OwnedByCaller())
      return true;
    if (ThreadStartTime(H().OwnerPid, H().OwnerTid) != H().OwnerStart) {
      Abandoned = true;  // the owner (thread or whole process) died without releasing
      return true;
    }
    return false;
  }
  void Acquire() override
  {
    if (OwnedByCaller()) {
      ++H().Recursion;
      return;
    }
    H().OwnerPid = getpid();
    H().OwnerTid = OwnTid();
    H().OwnerStart = OwnThreadStartTime();
    H().Recursion = 1;
  }
  int RecheckMs() override { return H().OwnerTid != 0 && !OwnedByCaller() ? 100 : 0; }
};

class TNamedSemaphore : public TNamedSync {
public:
  using TNamedSync::TNamedSync;
  bool IsSignaled(bool& Abandoned) override
  {
    Abandoned = false;
    return H().Count > 0;
  }
  void Acquire() override { --H().Count; }
};

bool IsUnnamed(LPCSTR Name) { return !Name || !*Name; }

template <class T>
HANDLE InsertNamed(std::shared_ptr<TNamedFile> File, bool Existed)
{
  if (!File)
    return nullptr;
  HANDLE Result = InsertObject(std::make_shared<T>(std::move(File)));
  SetLastError(Existed ? ERROR_ALREADY_EXISTS : ERROR_SUCCESS);
  return Result;
}

}  // namespace

}  // namespace qv::os

using namespace qv::os;

HANDLE CreateEventA(LPSECURITY_ATTRIBUTES, BOOL ManualReset, BOOL InitialState, LPCSTR Name)
{
  if (IsUnnamed(Name)) {
    HANDLE Result = InsertObject(std::make_shared<TLocalEvent>(ManualReset != FALSE, InitialState != FALSE));
    SetLastError(ERROR_SUCCESS);
    return Result;
  }
  bool Existed;
  auto File = OpenNamedObject(Name, TNamedKind::Event, true,
                              [&](TNamedFile& F) {
                                F.Header->ManualReset = ManualReset ? 1 : 0;
                                F.Header->Signaled = InitialState ? 1 : 0;
                                return true;
                              },
                              Existed);
  return InsertNamed<TNamedEvent>(std::move(File), Existed);
}

HANDLE OpenEventA(DWORD, BOOL, LPCSTR Name)
{
  if (IsUnnamed(Name)) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return nullptr;
  }
  bool Existed;
  return InsertNamed<TNamedEvent>(OpenNamedObject(Name, TNamedKind::Event, false, nullptr, Existed), false);
}

namespace {

BOOL ChangeEvent(HANDLE Event, bool Signaled)
{
  std::shared_ptr<TKernelObject> Object = ObjectOf(Event);
  if (auto Local = std::dynamic_pointer_cast<TLocalEvent>(Object)) {
    {
      std::lock_guard<std::mutex> Guard(LocalStateLock());
      Local->Signaled = Signaled;
    }
    if (Signaled)
      NotifyLocalChange();
    return TRUE;
  }
  if (auto Named = std::dynamic_pointer_cast<TNamedEvent>(Object)) {
    Named->LockState();
    Named->H().Signaled = Signaled ? 1 : 0;
    if (Signaled)
      Named->File->Changed();
    Named->UnlockState();
    return TRUE;
  }
  SetLastError(ERROR_INVALID_HANDLE);
  return FALSE;
}

}  // namespace

BOOL SetEvent(HANDLE Event) { return ChangeEvent(Event, true); }
BOOL ResetEvent(HANDLE Event) { return ChangeEvent(Event, false); }

HANDLE CreateMutexA(LPSECURITY_ATTRIBUTES, BOOL InitialOwner, LPCSTR Name)
{
  if (IsUnnamed(Name)) {
    auto Mutex = std::make_shared<TLocalMutex>();
    if (InitialOwner)
      Mutex->Acquire();
    HANDLE Result = InsertObject(std::move(Mutex));
    SetLastError(ERROR_SUCCESS);
    return Result;
  }
  bool Existed;
  auto File = OpenNamedObject(Name, TNamedKind::Mutex, true,
                              [&](TNamedFile& F) {
                                if (InitialOwner) {
                                  F.Header->OwnerPid = getpid();
                                  F.Header->OwnerTid = OwnTid();
                                  F.Header->OwnerStart = OwnThreadStartTime();
                                  F.Header->Recursion = 1;
                                }
                                return true;
                              },
                              Existed);
  return InsertNamed<TNamedMutex>(std::move(File), Existed);
}

HANDLE OpenMutexA(DWORD, BOOL, LPCSTR Name)
{
  if (IsUnnamed(Name)) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return nullptr;
  }
  bool Existed;
  return InsertNamed<TNamedMutex>(OpenNamedObject(Name, TNamedKind::Mutex, false, nullptr, Existed), false);
}

BOOL ReleaseMutex(HANDLE Mutex)
{
  std::shared_ptr<TKernelObject> Object = ObjectOf(Mutex);
  if (auto Local = std::dynamic_pointer_cast<TLocalMutex>(Object)) {
    {
      std::lock_guard<std::mutex> Guard(LocalStateLock());
      if (!Local->OwnedByCaller()) {
        SetLastError(ERROR_NOT_OWNER);
        return FALSE;
      }
      if (--Local->Recursion > 0)
        return TRUE;
      Local->Owner.reset();
    }
    NotifyLocalChange();
    return TRUE;
  }
  if (auto Named = std::dynamic_pointer_cast<TNamedMutex>(Object)) {
    Named->LockState();
    BOOL Result = TRUE;
    if (Named->H().OwnerTid == 0 || !Named->OwnedByCaller()) {
      SetLastError(ERROR_NOT_OWNER);
      Result = FALSE;
    } else if (--Named->H().Recursion == 0) {
      Named->H().OwnerPid = 0;
      Named->H().OwnerTid = 0;
      Named->H().OwnerStart = 0;
      Named->File->Changed();
    }
    Named->UnlockState();
    return Result;
  }
  SetLastError(ERROR_INVALID_HANDLE);
  return FALSE;
}

HANDLE CreateSemaphoreA(LPSECURITY_ATTRIBUTES, LONG InitialCount, LONG MaximumCount, LPCSTR Name)
{
  if (MaximumCount <= 0 || InitialCount < 0 || InitialCount > MaximumCount) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return nullptr;
  }
  if (IsUnnamed(Name)) {
    HANDLE Result = InsertObject(std::make_shared<TLocalSemaphore>(InitialCount, MaximumCount));
    SetLastError(ERROR_SUCCESS);
    return Result;
  }
  bool Existed;
  auto File = OpenNamedObject(Name, TNamedKind::Semaphore, true,
                              [&](TNamedFile& F) {
                                F.Header->Count = InitialCount;
                                F.Header->MaxCount = MaximumCount;
                                return true;
                              },
                              Existed);
  return InsertNamed<TNamedSemaphore>(std::move(File), Existed);
}

HANDLE OpenSemaphoreA(DWORD, BOOL, LPCSTR Name)
{
  if (IsUnnamed(Name)) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return nullptr;
  }
  bool Existed;
  return InsertNamed<TNamedSemaphore>(OpenNamedObject(Name, TNamedKind::Semaphore, false, nullptr, Existed), false);
}

BOOL ReleaseSemaphore(HANDLE Semaphore, LONG ReleaseCount, LONG* PreviousCount)
{
  if (ReleaseCount <= 0) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  std::shared_ptr<TKernelObject> Object = ObjectOf(Semaphore);
  LONG* Count = nullptr;
  LONG Max = 0;
  auto Local = std::dynamic_pointer_cast<TLocalSemaphore>(Object);
  auto Named = std::dynamic_pointer_cast<TNamedSemaphore>(Object);
  if (!Local && !Named) {
    SetLastError(ERROR_INVALID_HANDLE);
    return FALSE;
  }
  std::unique_lock<std::mutex> Guard(LocalStateLock(), std::defer_lock);
  if (Local) {
    Guard.lock();
    Count = &Local->Count;
    Max = Local->Max;
  } else {
    Named->LockState();
    Count = &Named->H().Count;
    Max = Named->H().MaxCount;
  }
  BOOL Result = TRUE;
  if (static_cast<Int64>(*Count) + ReleaseCount > Max) {
    SetLastError(ERROR_TOO_MANY_POSTS);
    Result = FALSE;
  } else {
    if (PreviousCount)
      *PreviousCount = *Count;
    *Count += ReleaseCount;
  }
  if (Local) {
    Guard.unlock();
    if (Result)
      NotifyLocalChange();
  } else {
    if (Result)
      Named->File->Changed();
    Named->UnlockState();
  }
  return Result;
}
