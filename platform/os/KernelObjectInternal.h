// Internals shared by the kernel-object files of the operating-system layer: the object base
// class, the handle table access, the wake-up of waiters, and the named-object store. Not for
// use outside platform/os.
#pragma once

#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <pthread.h>

#include "platform/os/KernelObjects.h"

namespace qv::os {

// Every kernel object. Objects of this process keep their wait state under LocalStateLock();
// named objects keep it in shared memory under their own lock (LockState/UnlockState).
class TKernelObject : public std::enable_shared_from_this<TKernelObject> {
public:
  virtual ~TKernelObject() = default;

  virtual bool Waitable() const { return false; }
  virtual bool IsNamed() const { return false; }
  // Named objects only.
  virtual void LockState() {}
  virtual void UnlockState() {}
  virtual std::atomic<std::uint32_t>* FutexWord() { return nullptr; }
  // With the state lock held: whether a wait would be satisfied now (Abandoned: a mutex whose
  // owner died), and taking the object for the calling thread.
  virtual bool IsSignaled(bool& Abandoned)
  {
    Abandoned = false;
    return false;
  }
  virtual void Acquire() {}
  // With the state lock held: a period after which a blocked wait must look again although
  // nothing woke it (a mutex held by another thread whose death would wake nobody); 0 = none.
  virtual int RecheckMs() { return 0; }
  // A descriptor that becomes readable when the object may have become signalled (the pidfd
  // of a process that is not our child), polled by blocked waits; -1 when none.
  virtual int WaitFd() { return -1; }
  // Named objects: the order in which wait-for-all takes their locks (the same in every process).
  virtual String OrderKey() const { return String(); }
  // Called when the last handle to the object has been closed (references held by calls in
  // progress or by views may keep the object itself a little longer).
  virtual void LastHandleClosed() {}
  std::atomic<int> HandleCount{0};
  // The descriptor of a pipe end or file, or -1.
  virtual int Fd() const { return -1; }
};

std::mutex& LocalStateLock();
// Wakes every thread of this process blocked in a wait, so that it looks at the objects again.
// Call after changing the state of an object of this process (lock released or held).
void NotifyLocalChange();
// A waiter's wake-up descriptor (an eventfd of the calling thread), registered while waiting.
int RegisterWaiter();
void UnregisterWaiter(int Fd);

HANDLE InsertObject(std::shared_ptr<TKernelObject> Object);
// The object of a handle; nullptr with ERROR_INVALID_HANDLE for a stale or unknown handle.
std::shared_ptr<TKernelObject> ObjectOf(HANDLE Handle);
template <class T>
std::shared_ptr<T> ObjectAs(HANDLE Handle)
{
  std::shared_ptr<T> Result = std::dynamic_pointer_cast<T>(ObjectOf(Handle));
  if (!Result)
    SetLastError(ERROR_INVALID_HANDLE);
  return Result;
}

// The thread object of the calling thread (signalled when the thread ends).
std::shared_ptr<TKernelObject> CurrentThreadObject();

// Start time of a thread (clock ticks since boot), 0 when the thread does not exist.
std::uint64_t ThreadStartTime(int Pid, int Tid);
std::uint64_t OwnThreadStartTime();
int OwnTid();

// Whether the process runs under our real user id (from /proc/<pid>/status, which stays right
// for processes that changed their ids, unlike the owner of /proc/<pid>).
bool ProcessBelongsToUser(int Pid);

// ---- Named objects --------------------------------------------------------------------------

enum class TNamedKind : std::uint32_t { Event = 1, Mutex = 2, Semaphore = 3, Mapping = 4 };

constexpr std::uint32_t NamedMagic = 0x4F4B5651;  // "QVKO"
constexpr std::size_t NamedHeaderSize = 4096;     // the data of a mapping starts here
constexpr std::size_t NamedMaxName = 260;

struct TSharedHeader {
  std::uint32_t Magic;
  std::uint32_t Kind;
  std::uint32_t NameLength;
  char Name[NamedMaxName + 4];
  pthread_mutex_t Lock;  // robust, process-shared
  std::atomic<std::uint32_t> Generation;  // futex word: bumped on every state change
  std::uint32_t Signaled;
  std::uint32_t ManualReset;
  std::int32_t OwnerPid;
  std::int32_t OwnerTid;
  std::uint64_t OwnerStart;
  std::uint32_t Recursion;
  std::int32_t Count;
  std::int32_t MaxCount;
  std::uint64_t MappingSize;
};
static_assert(sizeof(TSharedHeader) <= NamedHeaderSize);

// One open of a named object's file: the descriptor holds a shared lock for as long as it
// is open (that is what keeps the object alive), and the header is mapped.
class TNamedFile {
public:
  ~TNamedFile();
  int Fd = -1;
  TSharedHeader* Header = nullptr;
  String Path;
  void Lock();
  void Unlock();
  // Bumps the generation and wakes every waiter of every process.
  void Changed();
};

// Opens (Create false) or creates-or-opens (Create true) the object Name of the given kind.
// Init fills a fresh header (Magic, Kind and name are set already, the lock is initialised);
// it runs before anyone else can see the object. Existed tells whether it was there before.
// nullptr with the last error on failure.
std::shared_ptr<TNamedFile> OpenNamedObject(LPCSTR Name, TNamedKind Kind, bool Create,
                                            const std::function<bool(TNamedFile&)>& Init, bool& Existed);

}  // namespace qv::os
