#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>

#include "platform/os/ChangeNotification.h"
#include "platform/os/Wait.h"
#include "tests/support/TempDirTest.h"

namespace {

class ChangeNotificationTest : public TTempDirTest {
protected:
  // Whether the handle is signalled within a short while.
  static bool Signalled(HANDLE Handle, DWORD Ms = 2000) { return WaitForSingleObject(Handle, Ms) == WAIT_OBJECT_0; }
};

}  // namespace

TEST_F(ChangeNotificationTest, SignalsOnlyTheKindsAskedFor)
{
  struct TCase {
    const char* What;
    DWORD Filter;
    bool MakeFolder;  // else a file
    bool Expected;
  } cases[] = {
      {"file name, file made", FILE_NOTIFY_CHANGE_FILE_NAME, false, true},
      {"dir name, file made", FILE_NOTIFY_CHANGE_DIR_NAME, false, false},
      {"dir name, folder made", FILE_NOTIFY_CHANGE_DIR_NAME, true, true},
      {"file name, folder made", FILE_NOTIFY_CHANGE_FILE_NAME, true, false},
  };
  int n = 0;
  for (const TCase& c : cases) {
    const std::string folder = Dir + "case" + std::to_string(n++);
    ASSERT_EQ(mkdir(folder.c_str(), 0700), 0);
    HANDLE handle = FindFirstChangeNotificationA(folder.c_str(), FALSE, c.Filter);
    ASSERT_NE(handle, INVALID_HANDLE_VALUE) << c.What;
    EXPECT_FALSE(Signalled(handle, 0)) << c.What;
    if (c.MakeFolder)
      mkdir((folder + "/new").c_str(), 0700);
    else
      WriteBytes(folder + "/new", "x");
    EXPECT_EQ(Signalled(handle, c.Expected ? 2000 : 200), c.Expected) << c.What;
    EXPECT_TRUE(FindCloseChangeNotification(handle));
  }
}

TEST_F(ChangeNotificationTest, StaysSignalledUntilReArmed)
{
  HANDLE handle = FindFirstChangeNotificationA(Dir.c_str(), FALSE, FILE_NOTIFY_CHANGE_FILE_NAME);
  ASSERT_NE(handle, INVALID_HANDLE_VALUE);
  WriteBytes(Dir + "one", "1");
  EXPECT_TRUE(Signalled(handle));
  EXPECT_TRUE(Signalled(handle, 0));
  EXPECT_TRUE(FindNextChangeNotification(handle));
  EXPECT_FALSE(Signalled(handle, 100));
  std::filesystem::remove(Dir + "one");
  EXPECT_TRUE(Signalled(handle));
  FindCloseChangeNotification(handle);
}

TEST_F(ChangeNotificationTest, SubtreeWatchReachesNewFoldersToo)
{
  mkdir((Dir + "a").c_str(), 0700);
  HANDLE flat = FindFirstChangeNotificationA(Dir.c_str(), FALSE, FILE_NOTIFY_CHANGE_FILE_NAME);
  HANDLE deep = FindFirstChangeNotificationA(Dir.c_str(), TRUE, FILE_NOTIFY_CHANGE_FILE_NAME | FILE_NOTIFY_CHANGE_DIR_NAME);
  ASSERT_NE(deep, INVALID_HANDLE_VALUE);
  WriteBytes(Dir + "a/file", "x");
  EXPECT_TRUE(Signalled(deep));
  EXPECT_FALSE(Signalled(flat, 200));
  FindNextChangeNotification(deep);
  mkdir((Dir + "a/b").c_str(), 0700);
  EXPECT_TRUE(Signalled(deep));
  FindNextChangeNotification(deep);
  WriteBytes(Dir + "a/b/file", "x");
  EXPECT_TRUE(Signalled(deep));
  FindCloseChangeNotification(flat);
  FindCloseChangeNotification(deep);
}

TEST_F(ChangeNotificationTest, RemovingTheFolderSignalsAndMissingFoldersFail)
{
  const std::string folder = Dir + "gone";
  mkdir(folder.c_str(), 0700);
  HANDLE handle = FindFirstChangeNotificationA(folder.c_str(), FALSE, FILE_NOTIFY_CHANGE_SIZE);
  ASSERT_NE(handle, INVALID_HANDLE_VALUE);
  rmdir(folder.c_str());
  EXPECT_TRUE(Signalled(handle));
  FindCloseChangeNotification(handle);
  EXPECT_EQ(FindFirstChangeNotificationA(folder.c_str(), FALSE, FILE_NOTIFY_CHANGE_FILE_NAME), INVALID_HANDLE_VALUE);
  WriteBytes(Dir + "file", "x");
  EXPECT_EQ(FindFirstChangeNotificationA((Dir + "file").c_str(), FALSE, FILE_NOTIFY_CHANGE_FILE_NAME), INVALID_HANDLE_VALUE);
  EXPECT_EQ(FindFirstChangeNotificationA(Dir.c_str(), FALSE, 0), INVALID_HANDLE_VALUE);
  EXPECT_EQ(GetLastError(), ERROR_INVALID_PARAMETER);
}
