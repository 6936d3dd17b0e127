#include <gtest/gtest.h>

#include <unistd.h>

#include <atomic>
#include <thread>

#include "platform/os/Sync.h"
#include "platform/os/Wait.h"
#include "tests/platform/os/ProcessTestHelpers.h"

using namespace qvtest;

TEST(WaitTest, WaitForAnyOverAnEventAndAProcess)
{
  HANDLE Stop = CreateEventA(nullptr, TRUE, FALSE, nullptr);
  TLiveChild Child;
  ASSERT_TRUE(Child.Start("\"" + TestChild() + "\" ready echo"));
  ASSERT_EQ(ReadLine(Child.Out), "ready");
  HANDLE Handles[2] = {Stop, Child.Pi.hProcess};
  EXPECT_EQ(WaitForMultipleObjects(2, Handles, FALSE, 0), WAIT_TIMEOUT);

  // Another thread sets the event while we block.
  std::thread Setter([&] {
    usleep(10000);
    SetEvent(Stop);
  });
  EXPECT_EQ(WaitForMultipleObjects(2, Handles, FALSE, 10000), WAIT_OBJECT_0);
  Setter.join();
  EXPECT_EQ(WaitForMultipleObjects(2, Handles, FALSE, 0), WAIT_OBJECT_0) << "a manual-reset event stays set";
  ASSERT_TRUE(ResetEvent(Stop));

  CloseHandle(Child.In);  // the child's echo ends, then the child
  Child.In = nullptr;
  EXPECT_EQ(WaitForMultipleObjects(2, Handles, FALSE, 10000), WAIT_OBJECT_0 + 1);
  SetEvent(Stop);
  EXPECT_EQ(WaitForMultipleObjects(2, Handles, FALSE, 0), WAIT_OBJECT_0) << "the lowest signalled index wins";
  CloseHandle(Stop);
}

TEST(WaitTest, AutoResetEventsAndSemaphoresAreTaken)
{
  HANDLE Auto = CreateEventA(nullptr, FALSE, TRUE, nullptr);
  EXPECT_EQ(WaitForSingleObject(Auto, 0), WAIT_OBJECT_0);
  EXPECT_EQ(WaitForSingleObject(Auto, 0), WAIT_TIMEOUT);

  HANDLE Semaphore = CreateSemaphoreA(nullptr, 1, 2, nullptr);
  HANDLE Both[2] = {Auto, Semaphore};
  EXPECT_EQ(WaitForMultipleObjects(2, Both, TRUE, 0), WAIT_TIMEOUT);
  LONG Previous = -1;
  EXPECT_TRUE(ReleaseSemaphore(Semaphore, 1, &Previous));
  EXPECT_EQ(Previous, 1) << "a failed wait-all takes nothing";
  EXPECT_FALSE(ReleaseSemaphore(Semaphore, 1, &Previous));
  EXPECT_EQ(GetLastError(), ERROR_TOO_MANY_POSTS);

  SetEvent(Auto);
  EXPECT_EQ(WaitForMultipleObjects(2, Both, TRUE, 0), WAIT_OBJECT_0);
  EXPECT_EQ(WaitForSingleObject(Auto, 0), WAIT_TIMEOUT);
  EXPECT_EQ(WaitForSingleObject(Semaphore, 0), WAIT_OBJECT_0);
  EXPECT_EQ(WaitForSingleObject(Semaphore, 0), WAIT_TIMEOUT);
  CloseHandle(Auto);
  CloseHandle(Semaphore);
}

TEST(WaitTest, MutexOwnershipRecursionAndAbandonment)
{
  HANDLE Mutex = CreateMutexA(nullptr, TRUE, nullptr);
  EXPECT_EQ(WaitForSingleObject(Mutex, 0), WAIT_OBJECT_0) << "the owner enters again";
  DWORD Other = 0;
  BOOL OtherRelease = TRUE;
  std::thread([&] {
    Other = WaitForSingleObject(Mutex, 0);
    OtherRelease = ReleaseMutex(Mutex);
  }).join();
  EXPECT_EQ(Other, WAIT_TIMEOUT);
  EXPECT_FALSE(OtherRelease);
  EXPECT_TRUE(ReleaseMutex(Mutex));
  EXPECT_TRUE(ReleaseMutex(Mutex));
  EXPECT_FALSE(ReleaseMutex(Mutex));
  EXPECT_EQ(GetLastError(), ERROR_NOT_OWNER);

  // A thread that ends while owning it leaves it abandoned; the blocked waiter owns it then.
  HANDLE Owned = CreateEventA(nullptr, TRUE, FALSE, nullptr);
  HANDLE Finish = CreateEventA(nullptr, TRUE, FALSE, nullptr);
  std::thread Owner([&] {
    Other = WaitForSingleObject(Mutex, 0);
    SetEvent(Owned);
    WaitForSingleObject(Finish, INFINITE);
  });
  ASSERT_EQ(WaitForSingleObject(Owned, 10000), WAIT_OBJECT_0);
  std::thread Finisher([&] {
    usleep(20000);
    SetEvent(Finish);
  });
  EXPECT_EQ(WaitForSingleObject(Mutex, 10000), WAIT_ABANDONED);
  EXPECT_EQ(Other, WAIT_OBJECT_0);
  EXPECT_TRUE(ReleaseMutex(Mutex));
  Owner.join();
  Finisher.join();
  CloseHandle(Owned);
  CloseHandle(Finish);
  CloseHandle(Mutex);
}

TEST(WaitTest, ThreadHandlesAndBlockingWakeUps)
{
  HANDLE Go = CreateEventA(nullptr, FALSE, FALSE, nullptr);
  HANDLE Ready = CreateEventA(nullptr, TRUE, FALSE, nullptr);
  HANDLE ThreadHandle = nullptr;
  std::atomic<DWORD> Seen{12345};
  std::thread Worker([&] {
    ASSERT_TRUE(DuplicateHandle(GetCurrentProcess(), GetCurrentThread(), GetCurrentProcess(), &ThreadHandle, 0,
                                FALSE, DUPLICATE_SAME_ACCESS));
    SetEvent(Ready);
    Seen = WaitForSingleObject(Go, INFINITE);
  });
  ASSERT_EQ(WaitForSingleObject(Ready, 10000), WAIT_OBJECT_0);
  EXPECT_EQ(WaitForSingleObject(ThreadHandle, 0), WAIT_TIMEOUT);
  SetEvent(Go);
  EXPECT_EQ(WaitForSingleObject(ThreadHandle, 10000), WAIT_OBJECT_0) << "signalled when the thread ends";
  Worker.join();
  EXPECT_EQ(Seen.load(), WAIT_OBJECT_0);
  CloseHandle(ThreadHandle);
  CloseHandle(Go);
  CloseHandle(Ready);
}

TEST(WaitTest, BadArgumentsFail)
{
  HANDLE Event = CreateEventA(nullptr, TRUE, FALSE, nullptr);
  HANDLE Read, Write;
  ASSERT_TRUE(CreatePipe(&Read, &Write, nullptr, 0));
  HANDLE Twice[2] = {Event, Event};
  struct TCase {
    DWORD Count;
    const HANDLE* Handles;
    BOOL All;
    DWORD Error;
  };
  HANDLE Closed = CreateEventA(nullptr, TRUE, TRUE, nullptr);
  CloseHandle(Closed);
  const TCase Cases[] = {
      {1, &Closed, FALSE, ERROR_INVALID_HANDLE},
      {1, &Read, FALSE, ERROR_INVALID_HANDLE},
      {0, Twice, FALSE, ERROR_INVALID_PARAMETER},
      {65, Twice, FALSE, ERROR_INVALID_PARAMETER},
      {2, Twice, TRUE, ERROR_INVALID_PARAMETER},
  };
  for (const TCase& Case : Cases) {
    EXPECT_EQ(WaitForMultipleObjects(Case.Count, Case.Handles, Case.All, 0), WAIT_FAILED);
    EXPECT_EQ(GetLastError(), Case.Error);
  }
  CloseHandle(Read);
  CloseHandle(Write);
  CloseHandle(Event);
}

TEST(WaitTest, ADescriptorEndsTheWaitAfterTheObjects)
{
  HANDLE Event = CreateEventA(nullptr, TRUE, FALSE, nullptr);
  int Fds[2];
  ASSERT_EQ(pipe(Fds), 0);
  EXPECT_EQ(qv::os::WaitForMultipleObjectsOrFd(1, &Event, FALSE, 0, Fds[0]), WAIT_TIMEOUT);
  ASSERT_EQ(write(Fds[1], "x", 1), 1);
  EXPECT_EQ(qv::os::WaitForMultipleObjectsOrFd(1, &Event, FALSE, 10000, Fds[0]), WAIT_OBJECT_0 + 1);
  SetEvent(Event);
  EXPECT_EQ(qv::os::WaitForMultipleObjectsOrFd(1, &Event, FALSE, 10000, Fds[0]), WAIT_OBJECT_0);
  EXPECT_EQ(qv::os::WaitForMultipleObjectsOrFd(0, nullptr, FALSE, 10000, Fds[0]), WAIT_OBJECT_0);
  close(Fds[0]);
  close(Fds[1]);
  CloseHandle(Event);
}

TEST(WaitTest, WaitOnAProcessThatIsNotOurChild)
{
  TLiveChild Child;
  ASSERT_TRUE(Child.Start("\"" + TestChild() + "\" grandchild ready pause"));
  const String Gc = ReadLine(Child.Out);
  ASSERT_EQ(Gc.rfind("gc ", 0), 0u) << Gc;
  ASSERT_EQ(ReadLine(Child.Out), "ready");
  HANDLE Grandchild = OpenProcess(SYNCHRONIZE | PROCESS_TERMINATE, FALSE, static_cast<DWORD>(std::stoul(Gc.substr(3))));
  ASSERT_NE(Grandchild, nullptr);
  EXPECT_EQ(WaitForSingleObject(Grandchild, 0), WAIT_TIMEOUT);
  DWORD Exit = 0;
  EXPECT_TRUE(GetExitCodeProcess(Grandchild, &Exit));
  EXPECT_EQ(Exit, STILL_ACTIVE);
  std::thread Killer([&] {
    usleep(20000);
    TerminateProcess(Grandchild, 4);
  });
  HANDLE Both[2] = {Child.Pi.hProcess, Grandchild};
  EXPECT_EQ(WaitForMultipleObjects(2, Both, FALSE, 10000), WAIT_OBJECT_0 + 1);
  Killer.join();
  EXPECT_TRUE(GetExitCodeProcess(Grandchild, &Exit));
  EXPECT_EQ(Exit, 4u);
  CloseHandle(Grandchild);
}
