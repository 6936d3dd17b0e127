#include "platform/rtl/SyncObjs.h"

#include <gtest/gtest.h>

#include <atomic>
#include <thread>
#include <vector>


namespace {

constexpr Cardinal Generous = 10000;  // ms; only ever reached when something is broken

TEST(SyncObjsTickCount, NeverGoesBackAndAdvancesOverASleep)
{
  const Cardinal start = GetTickCount();
  const Int64 start64 = GetTickCount64();
  Cardinal previous = start;
  for (int i = 0; i < 1000; ++i) {
    const Cardinal now = GetTickCount();
    EXPECT_LT(static_cast<Cardinal>(now - previous), 1000u);  // unsigned difference, no wrap back
    previous = now;
  }
  Sleep(30);
  EXPECT_GE(static_cast<Cardinal>(GetTickCount() - start), 30u);
  EXPECT_GE(GetTickCount64() - start64, 30);
  // The 32-bit count is the low part of the 64-bit one (read second, so never behind it).
  const Cardinal low64 = static_cast<Cardinal>(GetTickCount64());
  EXPECT_LT(static_cast<Cardinal>(GetTickCount() - low64), 1000u);
}

TEST(SyncObjsEvent, ManualResetReleasesEveryWaiterAndStaysSet)
{
  TEvent event(nullptr, true, false, "");
  std::atomic<int> released{0};
  std::vector<std::thread> waiters;
  for (int i = 0; i < 4; ++i)
    waiters.emplace_back([&] {
      if (event.WaitFor(Generous) == wrSignaled) ++released;
    });
  event.SetEvent();
  for (auto& t : waiters) t.join();
  EXPECT_EQ(released.load(), 4);
  EXPECT_EQ(event.WaitFor(0), wrSignaled);
  EXPECT_EQ(event.WaitFor(0), wrSignaled);
  event.ResetEvent();
  EXPECT_EQ(event.WaitFor(0), wrTimeout);
}

TEST(SyncObjsEvent, AutoResetReleasesOneWaiterAndResets)
{
  TEvent event(nullptr, false, false, "");
  TEvent oneDone(nullptr, false, false, "");
  std::atomic<int> released{0};
  std::vector<std::thread> waiters;
  for (int i = 0; i < 3; ++i)
    waiters.emplace_back([&] {
      if (event.WaitFor(Generous) == wrSignaled) {
        ++released;
        oneDone.SetEvent();
      }
    });
  event.SetEvent();
  ASSERT_EQ(oneDone.WaitFor(Generous), wrSignaled);
  // The waiter took the signal: the event is off again and nobody else got through.
  EXPECT_EQ(event.WaitFor(0), wrTimeout);
  EXPECT_EQ(released.load(), 1);
  event.SetEvent();
  ASSERT_EQ(oneDone.WaitFor(Generous), wrSignaled);
  event.SetEvent();
  for (auto& t : waiters) t.join();
  EXPECT_EQ(released.load(), 3);
}

TEST(SyncObjsEvent, InitialStateAndSingleThreadAutoReset)
{
  TEvent autoSet(nullptr, false, true, "");
  EXPECT_EQ(autoSet.WaitFor(0), wrSignaled);
  EXPECT_EQ(autoSet.WaitFor(0), wrTimeout);

  TEvent manualSet(nullptr, true, true, "");
  EXPECT_EQ(manualSet.WaitFor(0), wrSignaled);
  EXPECT_EQ(manualSet.WaitFor(0), wrSignaled);

  TSimpleEvent simple;
  EXPECT_TRUE(simple.GetManualReset());
  EXPECT_EQ(simple.WaitFor(0), wrTimeout);
  simple.SetEvent();
  EXPECT_EQ(simple.WaitFor(0), wrSignaled);
  EXPECT_EQ(simple.WaitFor(0), wrSignaled);
}

TEST(SyncObjsEvent, TimeoutReportsTimeoutAfterWaiting)
{
  TEvent event;
  const Int64 start = GetTickCount64();
  EXPECT_EQ(event.WaitFor(50), wrTimeout);
  EXPECT_GE(GetTickCount64() - start, 50);
}

TEST(SyncObjsEvent, NamedEventWorksInProcess)
{
  TEvent event(nullptr, true, false, "Quelvo3.Test.Event");
  EXPECT_EQ(event.GetName(), "Quelvo3.Test.Event");
  std::thread setter([&] { event.SetEvent(); });
  EXPECT_EQ(event.WaitFor(Generous), wrSignaled);
  setter.join();
}

TEST(SyncObjsCriticalSection, RecursiveEntryHoldsUntilTheLastLeave)
{
  TCriticalSection section;
  const auto otherThreadCanEnter = [&section] {
    bool entered = false;
    std::thread other([&] {
      entered = section.TryEnter();
      if (entered) section.Leave();
    });
    other.join();
    return entered;
  };
  section.Enter();
  section.Enter();
  EXPECT_TRUE(section.TryEnter());  // the owner may enter again
  EXPECT_FALSE(otherThreadCanEnter());
  section.Leave();
  section.Leave();
  EXPECT_FALSE(otherThreadCanEnter());
  section.Leave();
  EXPECT_TRUE(otherThreadCanEnter());
}

TEST(SyncObjsCriticalSection, KeepsCountersExact)
{
  TCriticalSection section;
  long counter = 0;  // deliberately not atomic
  std::vector<std::thread> workers;
  for (int t = 0; t < 4; ++t)
    workers.emplace_back([&] {
      for (int i = 0; i < 20000; ++i) {
        section.Acquire();
        ++counter;
        section.Release();
      }
    });
  for (auto& w : workers) w.join();
  EXPECT_EQ(counter, 80000);
}

TEST(SyncObjsCriticalSection, LeavingWithoutHoldingRaises)
{
  TCriticalSection section;
  try {
    section.Leave();
    FAIL() << "no exception";
  } catch (const ESyncObjectException& E) {
    EXPECT_EQ(E.Message(), "Lock released by a thread that does not hold it");
  }
  // Held by this thread: another thread may not release it, and the lock stays intact.
  section.Enter();
  bool raised = false;
  std::thread other([&] {
    try {
      section.Leave();
    } catch (const ESyncObjectException&) {
      raised = true;
    }
  });
  other.join();
  EXPECT_TRUE(raised);
  section.Leave();
  EXPECT_TRUE(section.TryEnter());
  section.Leave();
}

}  // namespace
