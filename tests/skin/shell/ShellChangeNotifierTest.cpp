#include <gtest/gtest.h>

#include <sys/stat.h>

#include <chrono>
#include <memory>

#include "skin/shell/SkinShellChangeNotifier.h"
#include "tests/support/TempDirTest.h"

namespace {

class ShellChangeNotifierTest : public TTempDirTest {
protected:
  // Runs the GUI thread's queue until Done says so or Ms pass; whether it did.
  template <class F>
  static bool PumpUntil(F Done, int Ms = 3000)
  {
    const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(Ms);
    while (!Done()) {
      if (std::chrono::steady_clock::now() > end) return false;
      CheckSynchronize(20);
    }
    return true;
  }
};

}  // namespace

TEST(ShellNotifyFilters, Flags)
{
  struct TCase {
    TNotifyFilters Filters;
    DWORD Flags;
  } cases[] = {
      {NotifyFilterBit(nfSecurityChange), 0x100},
      {NotifyFilterBit(nfFileNameChange) | NotifyFilterBit(nfDirNameChange), 0x3},
      {0x3F, 0x11F},
      {0, 0},
  };
  for (const TCase& c : cases) EXPECT_EQ(NotifyFiltersToFlags(c.Filters), c.Flags) << c.Filters;
}

TEST_F(ShellChangeNotifierTest, ThreadRunsOnlyWithAHandlerAndReportsChanges)
{
  TskShellChangeNotifier notifier(nullptr);
  EXPECT_FALSE(notifier.HasThread());
  notifier.SetRoot(Dir);
  int changes = 0;
  notifier.SetOnChange([&changes] { ++changes; });
  EXPECT_TRUE(notifier.HasThread());
  WriteBytes(Dir + "new file", "x");
  EXPECT_TRUE(PumpUntil([&] { return changes > 0; }));
}

TEST_F(ShellChangeNotifierTest, NewRootIsWatchedAtOnce)
{
  mkdir((Dir + "a").c_str(), 0700);
  mkdir((Dir + "b").c_str(), 0700);
  TskShellChangeNotifier notifier(nullptr);
  notifier.SetWatchSubTree(false);
  notifier.SetRoot(Dir + "a");
  int changes = 0;
  notifier.SetOnChange([&changes] { ++changes; });
  notifier.SetRoot(Dir + "b");
  // The root text in another case is the same root.
  notifier.SetRoot(Dir + "B");
  EXPECT_EQ(notifier.GetRoot(), Dir + "b");
  PumpUntil([] { return false; }, 200);  // let the thread re-arm
  WriteBytes(Dir + "a/file", "x");
  EXPECT_FALSE(PumpUntil([&] { return changes > 0; }, 300));
  WriteBytes(Dir + "b/file", "x");
  EXPECT_TRUE(PumpUntil([&] { return changes > 0; }));
}

TEST_F(ShellChangeNotifierTest, NoHandlerRunsOnceTheNotifierIsGone)
{
  int changes = 0;
  auto notifier = std::make_unique<TskShellChangeNotifier>(nullptr);
  notifier->SetRoot(Dir);
  notifier->SetOnChange([&changes] { ++changes; });
  WriteBytes(Dir + "one", "x");
  // The thread may be waiting for the GUI thread with a change in hand right now.
  PumpUntil([] { return false; }, 100);
  const int before = changes;
  WriteBytes(Dir + "two", "x");
  notifier.reset();
  WriteBytes(Dir + "three", "x");
  PumpUntil([] { return false; }, 300);
  EXPECT_EQ(changes, before);
}
