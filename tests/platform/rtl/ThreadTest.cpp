#include "platform/rtl/Thread.h"

#include <gtest/gtest.h>

#include <sys/resource.h>

#include <atomic>
#include <stdexcept>
#include <thread>
#include <vector>

#include "platform/rtl/Exceptions.h"
#include "platform/rtl/SyncObjs.h"

namespace {

constexpr Cardinal Generous = 10000;  // ms; only ever reached when something is broken

// A thread whose Execute runs a function given by the test, with the protected members
// opened up for it.
class TTestThread : public TThread {
public:
  using TBody = std::function<void(TTestThread&)>;
  explicit TTestThread(TBody Body, bool CreateSuspended = true)
      : TThread(CreateSuspended), FBody(std::move(Body)) {}
  ~TTestThread() override
  {
    if (Destroyed) {
      FinishedWhenDestroyed->store(GetFinished());
      Destroyed->SetEvent();
    }
  }

  using TThread::GetTerminated;
  using TThread::Queue;
  using TThread::SetReturnValue;
  using TThread::Synchronize;

  std::atomic<Cardinal> ExecuteThreadID{0};
  TEvent* Destroyed = nullptr;                          // set when the destructor runs
  std::atomic<bool>* FinishedWhenDestroyed = nullptr;   // whether Execute was done by then

protected:
  void Execute() override
  {
    ExecuteThreadID = GetCurrentThreadId();
    if (FBody) FBody(*this);
  }

private:
  TBody FBody;
};

// Runs the main thread's side until Done holds (or a generous deadline passes).
bool PumpUntil(const std::function<bool()>& Done)
{
  const Int64 deadline = GetTickCount64() + Generous;
  while (!Done()) {
    if (GetTickCount64() > deadline) return false;
    CheckSynchronize(10);
  }
  return true;
}

// Waits for the thread from another thread, so that no request is served meanwhile (WaitFor on
// the main thread serves them).
void WaitAside(TThread* Thread)
{
  std::thread waiter([Thread] { Thread->WaitFor(); });
  waiter.join();
}

class ThreadTest : public ::testing::Test {
protected:
  void TearDown() override
  {
    WakeMainThread = nullptr;
    SetMainThread();
    // Leave no request behind for the next test.
    while (CheckSynchronize(0)) {
    }
  }
};

TEST_F(ThreadTest, SuspendedThreadRunsOnlyAfterStart)
{
  auto* thread = new TTestThread([](TTestThread& T) { T.SetReturnValue(42); });
  EXPECT_TRUE(thread->GetSuspended());
  EXPECT_EQ(thread->GetThreadID(), 0u);
  EXPECT_FALSE(thread->GetFinished());
  thread->Start();
  EXPECT_FALSE(thread->GetSuspended());
  EXPECT_NE(thread->GetThreadID(), 0u);
  EXPECT_EQ(thread->WaitFor(), 42);
  EXPECT_TRUE(thread->GetFinished());
  EXPECT_EQ(thread->ExecuteThreadID.load(), thread->GetThreadID());
  EXPECT_NE(thread->GetThreadID(), GetCurrentThreadId());
  EXPECT_EQ(thread->WaitFor(), 42);  // waiting again answers at once
  delete thread;
}

TEST_F(ThreadTest, CreateStartedAndResume)
{
  auto* started = TThread::CreateStarted<TTestThread>([](TTestThread& T) { T.SetReturnValue(7); }, false);
  EXPECT_FALSE(started->GetSuspended());
  EXPECT_EQ(started->WaitFor(), 7);
  delete started;

  auto* resumed = new TTestThread([](TTestThread& T) { T.SetReturnValue(8); });
  resumed->Resume();
  resumed->Resume();  // already running: nothing happens
  EXPECT_EQ(resumed->WaitFor(), 8);
  delete resumed;
}

TEST_F(ThreadTest, MisuseRaisesEThread)
{
  auto* thread = new TTestThread([](TTestThread& T) {
    try {
      T.WaitFor();
    } catch (const EThread& E) {
      T.SetReturnValue(E.Message() == "Thread Error: A potential deadlock condition has been detected. (1131)" ? 1 : 2);
    }
  });
  try {
    thread->WaitFor();
    FAIL() << "WaitFor on a thread never started returned";
  } catch (const EThread& E) {
    EXPECT_EQ(E.Message(), "Cannot call WaitFor on a thread that was not started");
  }
  thread->Start();
  try {
    thread->Start();
    FAIL() << "second Start accepted";
  } catch (const EThread& E) {
    EXPECT_EQ(E.Message(), "Cannot call Start on a running or suspended thread");
  }
  EXPECT_EQ(thread->WaitFor(), 1) << "a thread waiting for itself must get an error, not hang";
  delete thread;
}

TEST_F(ThreadTest, TerminateBeforeStartSkipsExecute)
{
  std::atomic<bool> ran{false};
  auto* thread = new TTestThread([&](TTestThread&) { ran = true; });
  thread->Terminate();
  thread->Start();
  thread->WaitFor();
  EXPECT_FALSE(ran.load());
  delete thread;
}

TEST_F(ThreadTest, FreeOnTerminateDeletesTheObject)
{
  TEvent destroyed;
  std::atomic<bool> finishedWhenDestroyed{false};
  auto* thread = new TTestThread([](TTestThread&) {});
  thread->Destroyed = &destroyed;
  thread->FinishedWhenDestroyed = &finishedWhenDestroyed;
  thread->SetFreeOnTerminate(true);
  thread->Start();
  EXPECT_EQ(destroyed.WaitFor(Generous), wrSignaled);
  EXPECT_TRUE(finishedWhenDestroyed.load());
}

TEST_F(ThreadTest, ExceptionEscapingExecuteIsKept)
{
  struct TCase {
    std::function<void()> Throw;
    const char* ClassName;
    const char* Message;
  };
  const TCase cases[] = {
      {[] { throw EConvertError("'x' is not a valid integer value"); }, "EConvertError",
       "'x' is not a valid integer value"},
      {[] { throw std::runtime_error("disk on fire"); }, "Exception", "disk on fire"},
      {[] { throw 5; }, "Exception", "Unknown exception"},
  };
  for (const TCase& c : cases) {
    auto* thread = new TTestThread([&c](TTestThread& T) {
      T.SetReturnValue(3);
      c.Throw();
    });
    thread->Start();
    EXPECT_EQ(thread->WaitFor(), 3);
    auto* error = dynamic_cast<Exception*>(thread->GetFatalException());
    ASSERT_NE(error, nullptr) << c.Message;
    EXPECT_EQ(error->ClassName(), c.ClassName);
    EXPECT_EQ(error->Message(), c.Message);
    EXPECT_TRUE(thread->GetFatalExceptionPtr());
    delete thread;
  }
  auto* clean = new TTestThread([](TTestThread&) {});
  clean->Start();
  clean->WaitFor();
  EXPECT_EQ(clean->GetFatalException(), nullptr);
  delete clean;
}

TEST_F(ThreadTest, SynchronizeRunsOnTheThreadThatChecksAndWaits)
{
  std::atomic<Cardinal> ranOn{0};
  std::atomic<bool> sawResult{false};
  auto* thread = new TTestThread([&](TTestThread& T) {
    int value = 0;
    T.Synchronize([&] {
      ranOn = GetCurrentThreadId();
      value = 99;
    });
    sawResult = value == 99;  // Synchronize returned only after the method ran
  });
  thread->Start();
  EXPECT_TRUE(PumpUntil([&] { return thread->GetFinished(); }));
  thread->WaitFor();
  EXPECT_EQ(ranOn.load(), GetCurrentThreadId());
  EXPECT_TRUE(sawResult.load());
  delete thread;
}

TEST_F(ThreadTest, SynchronizeAndQueueOnTheMainThreadRunDirectly)
{
  int calls = 0;
  TThread::Synchronize(nullptr, [&] { ++calls; });
  TThread::Queue(nullptr, [&] { ++calls; });
  EXPECT_EQ(calls, 2);
  EXPECT_THROW(TThread::Synchronize(nullptr, [] { throw EAbort("stop"); }), EAbort);

  TThread::ForceQueue(nullptr, [&] { ++calls; });
  EXPECT_EQ(calls, 2);
  EXPECT_TRUE(CheckSynchronize(0));
  EXPECT_EQ(calls, 3);
  EXPECT_FALSE(CheckSynchronize(0));
}

TEST_F(ThreadTest, QueueDoesNotWaitAndKeepsOrder)
{
  TEvent allQueued;
  std::vector<int> order;  // touched on the main thread only
  auto* thread = new TTestThread([&](TTestThread& T) {
    for (int i = 0; i < 50; ++i) T.Queue([&order, i] { order.push_back(i); });
    allQueued.SetEvent();
    T.Synchronize([&order] { order.push_back(-1); });
    T.Queue([&order] { order.push_back(50); });
  });
  thread->Start();
  // Nothing has run yet: the worker got here only because Queue returned at once.
  ASSERT_EQ(allQueued.WaitFor(Generous), wrSignaled);
  EXPECT_TRUE(order.empty());
  EXPECT_TRUE(PumpUntil([&] { return order.size() == 52; }));
  thread->WaitFor();
  ASSERT_EQ(order.size(), 52u);
  for (int i = 0; i < 50; ++i) EXPECT_EQ(order[i], i);
  EXPECT_EQ(order[50], -1);
  EXPECT_EQ(order[51], 50);
  delete thread;
}

TEST_F(ThreadTest, ExceptionInSynchronizedMethodIsRaisedInTheWorker)
{
  String caught;
  auto* thread = new TTestThread([&](TTestThread& T) {
    try {
      T.Synchronize([] { throw EConvertError("'abc' is not a valid date"); });
    } catch (const EConvertError& E) {
      caught = E.Message();
    }
  });
  thread->Start();
  EXPECT_TRUE(PumpUntil([&] { return thread->GetFinished(); }));  // CheckSynchronize must not throw
  thread->WaitFor();
  EXPECT_EQ(caught, "'abc' is not a valid date");
  EXPECT_EQ(thread->GetFatalException(), nullptr);
  delete thread;
}

TEST_F(ThreadTest, ExceptionInQueuedMethodLeavesCheckSynchronizeAndKeepsTheRest)
{
  bool laterRan = false;
  auto* thread = new TTestThread([&](TTestThread& T) {
    T.Queue([] { throw EAbort("first"); });
    T.Queue([&laterRan] { laterRan = true; });
  });
  thread->Start();
  WaitAside(thread);
  EXPECT_THROW(CheckSynchronize(0), EAbort);
  EXPECT_FALSE(laterRan);
  EXPECT_TRUE(CheckSynchronize(0));
  EXPECT_TRUE(laterRan);
  delete thread;
}

TEST_F(ThreadTest, OnTerminateRunsOnTheMainThreadWhileItWaits)
{
  std::atomic<Cardinal> ranOn{0};
  TObject* sender = nullptr;
  auto* thread = new TTestThread([](TTestThread&) {});
  thread->OnTerminate = [&](TObject* Sender) {
    ranOn = GetCurrentThreadId();
    sender = Sender;
  };
  thread->Start();
  thread->WaitFor();  // must serve the OnTerminate request instead of waiting for ever
  EXPECT_EQ(ranOn.load(), GetCurrentThreadId());
  EXPECT_EQ(sender, thread);
  delete thread;
}

TEST_F(ThreadTest, DeletingARunningThreadTerminatesAndWaitsFirst)
{
  // Owners delete through the class itself or through TObject.
  const std::function<void(TTestThread*)> deleters[] = {
      [](TTestThread* T) { delete T; },
      [](TTestThread* T) { delete static_cast<TObject*>(T); },
  };
  for (const auto& deleteThread : deleters) {
    TEvent running, destroyed;
    std::atomic<bool> finishedWhenDestroyed{false};
    std::atomic<bool> sawTerminated{false};
    auto* thread = new TTestThread([&](TTestThread& T) {
      running.SetEvent();
      while (!T.GetTerminated()) Sleep(1);
      sawTerminated = true;
      // Still using the object (and the main thread) after being told to stop.
      T.Synchronize([] {});
      T.SetReturnValue(1);
    });
    thread->Destroyed = &destroyed;
    thread->FinishedWhenDestroyed = &finishedWhenDestroyed;
    thread->Start();
    ASSERT_EQ(running.WaitFor(Generous), wrSignaled);
    deleteThread(thread);
    EXPECT_EQ(destroyed.WaitFor(0), wrSignaled);
    EXPECT_TRUE(sawTerminated.load());
    EXPECT_TRUE(finishedWhenDestroyed.load()) << "the derived part was destroyed under a running Execute";
  }
}

TEST_F(ThreadTest, DeletingAThreadDropsItsQueuedMethods)
{
  bool ran = false;
  auto* thread = new TTestThread([&](TTestThread& T) { TThread::ForceQueue(&T, [&ran] { ran = true; }); });
  thread->Start();
  WaitAside(thread);
  delete thread;
  EXPECT_FALSE(CheckSynchronize(0));
  EXPECT_FALSE(ran);
}

TEST_F(ThreadTest, WakeMainThreadIsCalledForEachRequest)
{
  TEvent woken;
  std::atomic<int> wakes{0};
  WakeMainThread = [&] {
    ++wakes;
    woken.SetEvent();
  };
  bool ran = false;
  auto* thread = new TTestThread([&](TTestThread& T) { T.Queue([&ran] { ran = true; }); });
  thread->Start();
  ASSERT_EQ(woken.WaitFor(Generous), wrSignaled);
  EXPECT_FALSE(ran);
  EXPECT_TRUE(CheckSynchronize(Generous));
  EXPECT_TRUE(ran);
  thread->WaitFor();
  EXPECT_EQ(wakes.load(), 1);
  delete thread;
}

TEST_F(ThreadTest, CheckSynchronizeWaitsForARequest)
{
  EXPECT_FALSE(CheckSynchronize(0));
  bool ran = false;
  auto* thread = new TTestThread([&](TTestThread& T) {
    Sleep(20);
    T.Queue([&ran] { ran = true; });
  });
  thread->Start();
  EXPECT_TRUE(CheckSynchronize(Generous));
  EXPECT_TRUE(ran);
  delete thread;
}

TEST_F(ThreadTest, MainThreadCanBeRepointed)
{
  TEvent stop, served;
  Cardinal helperId = 0;
  TEvent helperReady;
  std::atomic<Cardinal> ranOn{0};
  std::thread helper([&] {
    helperId = GetCurrentThreadId();
    SetMainThread();
    helperReady.SetEvent();
    while (stop.WaitFor(0) != wrSignaled) CheckSynchronize(10);
  });
  ASSERT_EQ(helperReady.WaitFor(Generous), wrSignaled);
  EXPECT_EQ(MainThreadID.load(), helperId);
  try {
    CheckSynchronize(0);
    ADD_FAILURE() << "CheckSynchronize ran off the main thread";
  } catch (const EThread& E) {
    EXPECT_EQ(E.Message(), Format("CheckSynchronize called from thread $%x, which is NOT the main thread",
                                  GetCurrentThreadId()));
  }
  // Synchronize from here (no longer the main thread) is served by the helper.
  TThread::Synchronize(nullptr, [&] { ranOn = GetCurrentThreadId(); });
  EXPECT_EQ(ranOn.load(), helperId);
  stop.SetEvent();
  helper.join();
}

TEST_F(ThreadTest, ExceptionInOnTerminateIsKept)
{
  auto* thread = new TTestThread([](TTestThread&) {});
  thread->OnTerminate = [](TObject*) { throw EAbort("late"); };
  thread->Start();
  thread->WaitFor();
  auto* error = dynamic_cast<Exception*>(thread->GetFatalException());
  ASSERT_NE(error, nullptr);
  EXPECT_EQ(error->Message(), "late");
  delete thread;
}

TEST_F(ThreadTest, PriorityIsKeptAndAppliedBestEffort)
{
  const int baseNice = getpriority(PRIO_PROCESS, 0);
  std::atomic<int> niceInThread{-100};
  auto* lower = new TTestThread([&](TTestThread&) { niceInThread = getpriority(PRIO_PROCESS, 0); });
  lower->SetPriority(tpLower);
  lower->Start();
  lower->WaitFor();
  EXPECT_EQ(lower->GetPriority(), tpLower);
  if (baseNice <= 5) {
    EXPECT_EQ(niceInThread.load(), 5);
  }
  delete lower;

  // Raising usually is not permitted: it must not fail, and the value is kept.
  TEvent go;
  auto* higher = new TTestThread([&](TTestThread&) { go.WaitFor(Generous); });
  higher->Start();
  higher->SetPriority(tpTimeCritical);
  EXPECT_EQ(higher->GetPriority(), tpTimeCritical);
  go.SetEvent();
  higher->WaitFor();
  delete higher;
}

}  // namespace
