#include "platform/os/KernelObjects.h"

#include <fcntl.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <cstdio>
#include <cstring>
#include <unordered_map>

#include "platform/os/KernelObjectInternal.h"
#include "platform/os/OsInit.h"
#include "platform/os/Process.h"

namespace qv::os {

namespace {

constexpr std::uintptr_t PseudoThread = static_cast<std::uintptr_t>(-2);

struct THandleTable {
  std::mutex Lock;
  std::unordered_map<std::uintptr_t, std::shared_ptr<TKernelObject>> Objects;
  // Values are multiples of 4 (as on Windows) and never reused.
  std::uintptr_t Next = 0x100;
};

THandleTable& Table()
{
  static THandleTable* Instance = new THandleTable();  // outlives static destructors
  return *Instance;
}

// The thread object of a thread of this process: signalled when the thread ends.
class TThreadObject : public TKernelObject {
public:
  bool Waitable() const override { return true; }
  bool IsSignaled(bool& Abandoned) override
  {
    Abandoned = false;
    return Finished;
  }
  bool Finished = false;
};

// Marks the thread object finished when the thread ends (thread_local destructors run then).
struct TThreadExitMark {
  std::shared_ptr<TThreadObject> Object;
  ~TThreadExitMark()
  {
    if (!Object)
      return;
    {
      std::lock_guard<std::mutex> Guard(LocalStateLock());
      Object->Finished = true;
    }
    NotifyLocalChange();
  }
};

}  // namespace

std::mutex& LocalStateLock()
{
  static std::mutex* Lock = new std::mutex();
  return *Lock;
}

HANDLE InsertObject(std::shared_ptr<TKernelObject> Object)
{
  OsInitialize();
  THandleTable& T = Table();
  std::lock_guard<std::mutex> Guard(T.Lock);
  std::uintptr_t Value = T.Next;
  T.Next += 4;
  Object->HandleCount.fetch_add(1);
  T.Objects.emplace(Value, std::move(Object));
  return reinterpret_cast<HANDLE>(Value);
}

std::shared_ptr<TKernelObject> ObjectOf(HANDLE Handle)
{
  std::uintptr_t Value = reinterpret_cast<std::uintptr_t>(Handle);
  if (Value == PseudoThread)
    return CurrentThreadObject();
  THandleTable& T = Table();
  std::lock_guard<std::mutex> Guard(T.Lock);
  auto It = T.Objects.find(Value);
  if (It == T.Objects.end()) {
    SetLastError(ERROR_INVALID_HANDLE);
    return nullptr;
  }
  return It->second;
}

std::shared_ptr<TKernelObject> CurrentThreadObject()
{
  thread_local TThreadExitMark Mark;
  if (!Mark.Object)
    Mark.Object = std::make_shared<TThreadObject>();
  return Mark.Object;
}

int OwnTid()
{
  thread_local int Tid = static_cast<int>(syscall(SYS_gettid));
  return Tid;
}

std::uint64_t ThreadStartTime(int Pid, int Tid)
{
  char Path[64];
  std::snprintf(Path, sizeof Path, "/proc/%d/task/%d/stat", Pid, Tid);
  int Fd = open(Path, O_RDONLY | O_CLOEXEC);
  if (Fd < 0)
    return 0;
  char Buffer[1024];
  ssize_t N = read(Fd, Buffer, sizeof Buffer - 1);
  close(Fd);
  if (N <= 0)
    return 0;
  Buffer[N] = 0;
  // The fields after the command name (which may hold blanks and parentheses).
  const char* P = std::strrchr(Buffer, ')');
  if (!P)
    return 0;
  P += 2;  // now at field 3 (state)
  for (int Field = 3; Field < 22 && *P; ++Field) {
    P = std::strchr(P, ' ');
    if (!P)
      return 0;
    ++P;
  }
  std::uint64_t Start = std::strtoull(P, nullptr, 10);
  return Start == 0 ? 1 : Start;
}

std::uint64_t OwnThreadStartTime()
{
  thread_local std::uint64_t Start = ThreadStartTime(static_cast<int>(getpid()), OwnTid());
  return Start;
}

}  // namespace qv::os

using namespace qv::os;

HANDLE GetCurrentProcess() { return reinterpret_cast<HANDLE>(static_cast<std::intptr_t>(-1)); }
HANDLE GetCurrentThread() { return reinterpret_cast<HANDLE>(static_cast<std::intptr_t>(-2)); }

BOOL CloseHandle(HANDLE Object)
{
  std::uintptr_t Value = reinterpret_cast<std::uintptr_t>(Object);
  if (Value == static_cast<std::uintptr_t>(-1) || Value == static_cast<std::uintptr_t>(-2))
    return TRUE;  // closing a pseudo handle does nothing, as on Windows
  std::shared_ptr<TKernelObject> Removed;
  {
    THandleTable& T = Table();
    std::lock_guard<std::mutex> Guard(T.Lock);
    auto It = T.Objects.find(Value);
    if (It == T.Objects.end()) {
      SetLastError(ERROR_INVALID_HANDLE);
      return FALSE;
    }
    Removed = std::move(It->second);
    T.Objects.erase(It);
  }
  if (Removed->HandleCount.fetch_sub(1) == 1)
    Removed->LastHandleClosed();
  Removed.reset();  // the object goes when nothing else refers to it; outside the table lock
  return TRUE;
}

BOOL DuplicateHandle(HANDLE SourceProcess, HANDLE Source, HANDLE TargetProcess, HANDLE* Target, DWORD, BOOL,
                     DWORD Options)
{
  if (SourceProcess != GetCurrentProcess() || TargetProcess != GetCurrentProcess()) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  if (Target)
    *Target = nullptr;
  if (Source == GetCurrentProcess() && Target) {
    *Target = OpenProcess(PROCESS_ALL_ACCESS, FALSE, GetCurrentProcessId());  // a real handle of ours
    return *Target ? TRUE : FALSE;
  }
  std::shared_ptr<TKernelObject> Object = ObjectOf(Source);
  if (!Object) {
    return FALSE;
  }
  if (!Target) {
    if (Options & DUPLICATE_CLOSE_SOURCE)
      CloseHandle(Source);
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  *Target = InsertObject(Object);
  if (Options & DUPLICATE_CLOSE_SOURCE)
    CloseHandle(Source);
  return TRUE;
}
