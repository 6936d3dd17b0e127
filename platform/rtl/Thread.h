// TThread: a worker thread object with the class library's interface, and the hook through
// which worker threads hand methods to the main (GUI) thread with Synchronize and Queue.
//
// Starting. The class library's constructor starts the thread unless asked to create it
// suspended. C++ has no hook that runs after the most derived constructor, so starting from
// the constructor would let Execute run on a half-built object. Here the constructor NEVER
// starts the OS thread: CreateSuspended is only recorded (GetSuspended() answers it until
// Start), and a creator that asked for a running thread calls Start() right after
// construction, or uses TThread::CreateStarted<TMyThread>(args...).
//
// Freeing. Create threads with new. `delete Thread` on a started, unfinished thread first
// terminates it and waits for it (before any destructor runs, so Execute never sees a
// half-destroyed object), then destroys it. A FreeOnTerminate thread deletes itself after
// DoTerminate; do not touch it (nor WaitFor it) once started.
//
// The main thread. Synchronize and Queue put methods in a queue that the main thread runs from
// CheckSynchronize (the window layer's message loop calls it after WakeMainThread woke it).
// Requests run in the order they were made.
#pragma once

#include <atomic>
#include <condition_variable>
#include <cstddef>
#include <exception>
#include <functional>
#include <mutex>
#include <new>
#include <thread>
#include <utility>

#include "platform/rtl/System.h"

enum TThreadPriority { tpIdle, tpLowest, tpLower, tpNormal, tpHigher, tpHighest, tpTimeCritical };

using TThreadMethod = std::function<void()>;

// The kernel's id of the calling thread (gettid).
Cardinal GetCurrentThreadId();

// The thread that runs Synchronize/Queue requests: the thread that initialised the library,
// unless SetMainThread re-pointed it.
extern std::atomic<Cardinal> MainThreadID;
void SetMainThread(Cardinal ThreadID = GetCurrentThreadId());

// Called, from any thread, each time a request is queued for the main thread. The window
// layer sets it to wake its message loop. Set it before starting threads.
extern std::function<void()> WakeMainThread;

// Runs on the main thread: runs the queued requests and returns true if any ran. With no
// request queued it waits up to Timeout milliseconds for one. Called from another thread it
// raises EThread. An exception thrown by a Queue'd method leaves here (the requests after it
// stay queued); one thrown by a Synchronize'd method goes back to the thread that asked.
bool CheckSynchronize(int Timeout = 0);
// Whether requests wait for the main thread (the window layer counts them as posted messages,
// so a wait for messages wakes for a thread's end report).
bool SynchronizeRequestsPending();

class TThread : public TObject {
public:
  explicit TThread(bool CreateSuspended);
  ~TThread() override;
  TThread(const TThread&) = delete;
  TThread& operator=(const TThread&) = delete;

  // `delete Thread` stops a running thread before destruction begins (see above).
  void operator delete(TThread* Thread, std::destroying_delete_t);
  // The allocation that pairs with it, and the release of the memory when a constructor throws.
  static void* operator new(std::size_t Size);
  static void operator delete(void* Block);

  // new T(args...), then Start().
  template <class T, class... A>
  static T* CreateStarted(A&&... Args)
  {
    T* Thread = new T(std::forward<A>(Args)...);
    Thread->Start();
    return Thread;
  }

  // Starts the OS thread, once: a second call raises EThread.
  void Start();
  // Starts a thread that was never started; does nothing otherwise.
  void Resume();
  // Asks Execute to stop: sets Terminated, which Execute polls.
  void Terminate();
  // Waits for the thread to finish and returns its ReturnValue. On the main thread it keeps
  // running Synchronize/Queue requests while waiting, so a thread that synchronises can
  // finish (an exception of a Queue'd method leaves WaitFor as it would CheckSynchronize).
  // Raises EThread for a thread never started or when a thread waits for itself.
  int WaitFor();

  bool GetFinished() const { return FFinished.load(); }
  // True for a thread created suspended until it is started.
  bool GetSuspended() const { return FSuspended.load(); }
  bool GetFreeOnTerminate() const { return FFreeOnTerminate.load(); }
  void SetFreeOnTerminate(bool Value) { FFreeOnTerminate.store(Value); }
  // The priority is kept and applied best effort as the thread's nice value (tpIdle 19,
  // tpLowest 10, tpLower 5, tpNormal 0, tpHigher -5, tpHighest -10, tpTimeCritical -15);
  // a change the system does not permit is ignored.
  TThreadPriority GetPriority() const { return FPriority.load(); }
  void SetPriority(TThreadPriority Value);
  // The kernel's id of the thread; 0 until started.
  Cardinal GetThreadID() const { return FThreadID.load(); }
  // The exception that escaped Execute (or DoTerminate), kept by the thread object; nullptr if
  // none. Always an Exception: other C++ exceptions are kept as an Exception with their text.
  TObject* GetFatalException() const { return FFatalObject; }
  std::exception_ptr GetFatalExceptionPtr() const { return FFatalException; }

  // Runs Method on the main thread and waits for it; an exception it throws is raised again
  // in the caller. Called on the main thread, it runs Method directly.
  static void Synchronize(TThread* Thread, TThreadMethod Method);
  // Hands Method to the main thread without waiting. Called on the main thread, it runs
  // Method directly.
  static void Queue(TThread* Thread, TThreadMethod Method);
  // Queues Method even when called on the main thread.
  static void ForceQueue(TThread* Thread, TThreadMethod Method);
  // Drops the not yet run Queue requests made for Thread (done when a thread is destroyed).
  static void RemoveQueuedEvents(TThread* Thread);

  // Called on the main thread (through Synchronize) when Execute has returned.
  TNotifyEvent OnTerminate;

protected:
  virtual void Execute() = 0;
  // Calls OnTerminate through Synchronize when it is set.
  virtual void DoTerminate();

  void Synchronize(TThreadMethod Method) { Synchronize(this, std::move(Method)); }
  void Queue(TThreadMethod Method) { Queue(this, std::move(Method)); }

  bool GetTerminated() const { return FTerminated.load(); }
  int GetReturnValue() const { return FReturnValue.load(); }
  void SetReturnValue(int Value) { FReturnValue.store(Value); }

private:
  void ThreadProc();
  void KeepFatalException(std::exception_ptr Error);
  void ApplyPriority();
  void StopAndWait();
  void WaitForFinish(bool DeferQueueErrors);

  std::thread FThread;
  std::mutex FLock;                  // guards the start hand-over
  std::mutex FJoinLock;              // one joiner at a time
  std::condition_variable FChanged;  // start hand-over
  bool FStarted = false;
  bool FHandleReady = false;
  std::atomic<bool> FSuspended;  // created suspended and not started yet
  std::atomic<bool> FTerminated{false};
  std::atomic<bool> FFinished{false};
  std::atomic<bool> FFreeOnTerminate{false};
  std::atomic<int> FReturnValue{0};
  std::atomic<TThreadPriority> FPriority{tpNormal};
  std::atomic<Cardinal> FThreadID{0};
  std::exception_ptr FFatalException;
  TObject* FFatalObject = nullptr;
};
