#include "platform/rtl/Thread.h"

#include <sys/resource.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <deque>
#include <memory>
#include <system_error>

#include "platform/rtl/Exceptions.h"
#include "platform/rtl/RtlConsts.h"

namespace {

// One method handed to the main thread.
struct TSyncRequest {
  TThread* Thread = nullptr;
  TThreadMethod Method;
  bool Synchronous = false;
  bool Done = false;               // a synchronous request ran (guarded by the queue lock)
  std::exception_ptr Error;        // what the synchronous method threw
};

struct TSyncState {
  std::mutex Lock;
  std::condition_variable Changed;  // a request arrived or a thread finished
  std::condition_variable Ran;      // a synchronous request ran
  std::deque<std::shared_ptr<TSyncRequest>> Requests;
  // Exceptions of Queue'd methods run while a thread was being destroyed: destruction cannot
  // raise them, so the next CheckSynchronize does.
  std::deque<std::exception_ptr> Deferred;
};

// Never destroyed: detached threads may still queue requests while the program exits.
TSyncState& SyncState()
{
  static TSyncState* State = new TSyncState;
  return *State;
}

void Post(const std::shared_ptr<TSyncRequest>& Request)
{
  TSyncState& S = SyncState();
  {
    std::lock_guard<std::mutex> guard(S.Lock);
    S.Requests.push_back(Request);
  }
  S.Changed.notify_all();
  if (WakeMainThread) WakeMainThread();
}

// Runs the requests queued when called, one at a time and without holding the lock, so a
// method may queue more (they run next time) or destroy a thread (its requests are dropped).
bool RunRequests(int Timeout, bool DeferErrors)
{
  TSyncState& S = SyncState();
  std::size_t count;
  {
    std::unique_lock<std::mutex> lock(S.Lock);
    if (!DeferErrors && !S.Deferred.empty()) {
      std::exception_ptr error = S.Deferred.front();
      S.Deferred.pop_front();
      lock.unlock();
      std::rethrow_exception(error);
    }
    if (S.Requests.empty() && Timeout > 0)
      S.Changed.wait_for(lock, std::chrono::milliseconds(Timeout), [&S] { return !S.Requests.empty(); });
    count = S.Requests.size();
  }
  bool ran = false;
  for (; count > 0; --count) {
    std::shared_ptr<TSyncRequest> request;
    {
      std::lock_guard<std::mutex> guard(S.Lock);
      if (S.Requests.empty()) break;
      request = S.Requests.front();
      S.Requests.pop_front();
    }
    ran = true;
    if (request->Synchronous) {
      std::exception_ptr error;
      try {
        request->Method();
      } catch (...) {
        error = std::current_exception();
      }
      {
        std::lock_guard<std::mutex> guard(S.Lock);
        request->Error = std::move(error);
        request->Done = true;
      }
      S.Ran.notify_all();
    } else {
      try {
        request->Method();
      } catch (...) {
        if (!DeferErrors) throw;
        std::lock_guard<std::mutex> guard(S.Lock);
        S.Deferred.push_back(std::current_exception());
      }
    }
  }
  return ran;
}

bool OnMainThread()
{
  return GetCurrentThreadId() == MainThreadID.load();
}

int NiceValue(TThreadPriority Priority)
{
  switch (Priority) {
    case tpIdle: return 19;
    case tpLowest: return 10;
    case tpLower: return 5;
    case tpNormal: return 0;
    case tpHigher: return -5;
    case tpHighest: return -10;
    case tpTimeCritical: return -15;
  }
  return 0;
}

}  // namespace

Cardinal GetCurrentThreadId()
{
  static thread_local const Cardinal Id = static_cast<Cardinal>(gettid());
  return Id;
}

std::atomic<Cardinal> MainThreadID{GetCurrentThreadId()};

std::function<void()> WakeMainThread;

void SetMainThread(Cardinal ThreadID)
{
  MainThreadID.store(ThreadID);
}

bool SynchronizeRequestsPending()
{
  TSyncState& S = SyncState();
  std::lock_guard<std::mutex> guard(S.Lock);
  return !S.Requests.empty();
}

bool CheckSynchronize(int Timeout)
{
  if (!OnMainThread()) throw EThread(RtlConsts::SCheckSynchronizeError, {GetCurrentThreadId()});
  return RunRequests(Timeout, false);
}

TThread::TThread(bool CreateSuspended) : FSuspended(CreateSuspended) {}

TThread::~TThread()
{
  // Only reached without the destroying delete for objects not made with new; stop the
  // thread as well as one can at this point.
  StopAndWait();
  if (FThread.joinable()) {
    if (FThread.get_id() == std::this_thread::get_id())
      FThread.detach();  // a FreeOnTerminate thread deleting itself
    else
      FThread.join();
  }
  RemoveQueuedEvents(this);
}

void* TThread::operator new(std::size_t Size)
{
  return ::operator new(Size);
}

void TThread::operator delete(void* Block)
{
  ::operator delete(Block);
}

void TThread::operator delete(TThread* Thread, std::destroying_delete_t)
{
  // Runs before any destructor, so Execute finishes while the whole object still exists.
  Thread->StopAndWait();
  void* Block = dynamic_cast<void*>(Thread);
  Thread->~TThread();
  ::operator delete(Block);
}

void TThread::StopAndWait()
{
  bool started;
  {
    std::lock_guard<std::mutex> guard(FLock);
    started = FStarted;
  }
  if (started && !FFinished.load() && GetThreadID() != GetCurrentThreadId()) {
    Terminate();
    WaitForFinish(true);
  }
  RemoveQueuedEvents(this);
}

void TThread::Start()
{
  {
    std::lock_guard<std::mutex> guard(FLock);
    if (FStarted) throw EThread(RtlConsts::SThreadStartError);
    FStarted = true;
  }
  try {
    FThread = std::thread(&TThread::ThreadProc, this);
  } catch (const std::system_error& E) {
    std::lock_guard<std::mutex> guard(FLock);
    FStarted = false;
    throw EThread(RtlConsts::SThreadCreateError, {SysErrorMessage(Win32ErrorOfErrno(E.code().value()))});
  }
  // Wait for the thread's id (GetThreadID answers as soon as Start returns), then let the
  // thread go. It cannot pass the hand-over before this unlocks, so Start never touches an
  // object a FreeOnTerminate thread has already deleted.
  std::unique_lock<std::mutex> lock(FLock);
  FChanged.wait(lock, [this] { return FThreadID.load() != 0; });
  FSuspended.store(false);
  FHandleReady = true;
  FChanged.notify_all();
}

void TThread::Resume()
{
  {
    std::lock_guard<std::mutex> guard(FLock);
    if (FStarted) return;
  }
  Start();
}

void TThread::Terminate()
{
  FTerminated.store(true);
}

int TThread::WaitFor()
{
  {
    std::lock_guard<std::mutex> guard(FLock);
    if (!FStarted) throw EThread(RtlConsts::SThreadWaitNotStarted);
  }
  if (GetThreadID() == GetCurrentThreadId() && !FFinished.load())
    throw EThread(RtlConsts::SThreadError, {SysErrorMessage(Win32ErrorOfErrno(EDEADLK)), static_cast<int>(Win32ErrorOfErrno(EDEADLK))});
  WaitForFinish(false);
  return FReturnValue.load();
}

void TThread::WaitForFinish(bool DeferQueueErrors)
{
  {
    // Start may still be handing over; the handle is set once this is true.
    std::unique_lock<std::mutex> lock(FLock);
    FChanged.wait(lock, [this] { return FHandleReady; });
  }
  if (OnMainThread()) {
    // The thread may be waiting in Synchronize (OnTerminate at least): serve it meanwhile.
    TSyncState& S = SyncState();
    while (!FFinished.load()) {
      RunRequests(0, DeferQueueErrors);
      std::unique_lock<std::mutex> lock(S.Lock);
      S.Changed.wait(lock, [this, &S] { return FFinished.load() || !S.Requests.empty(); });
    }
  }
  std::lock_guard<std::mutex> guard(FJoinLock);
  if (FThread.joinable() && FThread.get_id() != std::this_thread::get_id()) FThread.join();
}

void TThread::SetPriority(TThreadPriority Value)
{
  FPriority.store(Value);
  if (GetThreadID() != 0 && !FFinished.load()) ApplyPriority();
}

void TThread::ApplyPriority()
{
  // Best effort: raising the priority usually needs a privilege we do not have.
  const int saved = errno;
  setpriority(PRIO_PROCESS, static_cast<id_t>(GetThreadID()), NiceValue(FPriority.load()));
  errno = saved;
}

void TThread::DoTerminate()
{
  if (OnTerminate) Synchronize([this] { OnTerminate(this); });
}

void TThread::KeepFatalException(std::exception_ptr Error)
{
  if (FFatalException) return;
  try {
    std::rethrow_exception(Error);
  } catch (Exception& E) {
    FFatalException = Error;
    FFatalObject = &E;
  } catch (const std::exception& E) {
    KeepFatalException(std::make_exception_ptr(Exception(E.what())));
  } catch (...) {
    KeepFatalException(std::make_exception_ptr(Exception(RtlConsts::SUnknownException)));
  }
}

void TThread::ThreadProc()
{
  {
    std::unique_lock<std::mutex> lock(FLock);
    FThreadID.store(GetCurrentThreadId());
    FChanged.notify_all();
    FChanged.wait(lock, [this] { return FHandleReady; });
  }
  if (FPriority.load() != tpNormal) ApplyPriority();
  try {
    if (!FTerminated.load()) Execute();
  } catch (...) {
    KeepFatalException(std::current_exception());
  }
  const bool freeThread = FFreeOnTerminate.load();
  try {
    DoTerminate();
  } catch (...) {
    KeepFatalException(std::current_exception());
  }
  FFinished.store(true);
  {
    // Taking the lock orders the flag before a main-thread waiter's check.
    TSyncState& S = SyncState();
    std::lock_guard<std::mutex> guard(S.Lock);
  }
  SyncState().Changed.notify_all();
  if (freeThread) delete this;
}

void TThread::Synchronize(TThread* Thread, TThreadMethod Method)
{
  if (!Method) return;
  if (OnMainThread()) {
    Method();
    return;
  }
  auto request = std::make_shared<TSyncRequest>();
  request->Thread = Thread;
  request->Method = std::move(Method);
  request->Synchronous = true;
  Post(request);
  TSyncState& S = SyncState();
  std::exception_ptr error;
  {
    std::unique_lock<std::mutex> lock(S.Lock);
    S.Ran.wait(lock, [&request] { return request->Done; });
    error = std::move(request->Error);  // the caller alone owns the exception from here
  }
  if (error) std::rethrow_exception(error);
}

void TThread::Queue(TThread* Thread, TThreadMethod Method)
{
  if (!Method) return;
  if (OnMainThread()) {
    Method();
    return;
  }
  ForceQueue(Thread, std::move(Method));
}

void TThread::ForceQueue(TThread* Thread, TThreadMethod Method)
{
  if (!Method) return;
  auto request = std::make_shared<TSyncRequest>();
  request->Thread = Thread;
  request->Method = std::move(Method);
  Post(request);
}

void TThread::RemoveQueuedEvents(TThread* Thread)
{
  TSyncState& S = SyncState();
  std::lock_guard<std::mutex> guard(S.Lock);
  std::erase_if(S.Requests, [Thread](const std::shared_ptr<TSyncRequest>& Request) {
    return !Request->Synchronous && Request->Thread == Thread;
  });
}
