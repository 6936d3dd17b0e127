#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstring>

#include "platform/os/ProcessLookup.h"
#include "platform/os/Process.h"
#include "platform/os/Wait.h"
#include "tests/platform/os/ProcessTestHelpers.h"
#include "tests/support/TempDirTest.h"

using namespace qvtest;

class ProcessLookupTest : public TTempDirTest {};

TEST_F(ProcessLookupTest, FindsAToolByItsExeNameAnyCase)
{
  // A program started through a link named like a tool, as the work folder's tools are.
  const String Link = Dir + "mencoder.exe";
  ASSERT_EQ(symlink(TestChild().c_str(), Link.c_str()), 0);
  TLiveChild Child;
  ASSERT_TRUE(Child.Start("\"" + Link + "\" ready pause"));
  ASSERT_EQ(ReadLine(Child.Out), "ready");
  const DWORD Pid = Child.Pi.dwProcessId;

  for (const char* Name : {"mencoder.exe", "MENCODER.EXE", "MEncoder.Exe"}) {
    std::vector<DWORD> Found = qv::os::FindProcessIdsByExeName(Name);
    EXPECT_NE(std::find(Found.begin(), Found.end(), Pid), Found.end()) << Name;
  }
  EXPECT_EQ(qv::os::FindProcessIdsByExeName(Link), std::vector<DWORD>{Pid}) << "a full path matches that path";
  EXPECT_TRUE(qv::os::FindProcessIdsByExeName(Dir + "other/mencoder.exe").empty());
  const std::vector<DWORD> Partial = qv::os::FindProcessIdsByExeName("mencoder");
  EXPECT_EQ(std::find(Partial.begin(), Partial.end(), Pid), Partial.end()) << "whole names only";
  const std::vector<DWORD> NotSelf = qv::os::FindProcessIdsByExeName("os_tests", true);
  EXPECT_EQ(std::find(NotSelf.begin(), NotSelf.end(), GetCurrentProcessId()), NotSelf.end());

  // The Toolhelp walk lists it under that name, in ascending id order.
  HANDLE Snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
  ASSERT_NE(Snapshot, INVALID_HANDLE_VALUE);
  PROCESSENTRY32 Entry;
  bool Seen = false, SeenSelf = false, Ascending = true;
  DWORD Last = 0;
  for (BOOL More = Process32First(Snapshot, &Entry); More; More = Process32Next(Snapshot, &Entry)) {
    Ascending = Ascending && Entry.th32ProcessID > Last;
    Last = Entry.th32ProcessID;
    if (Entry.th32ProcessID == Pid) {
      Seen = true;
      EXPECT_STREQ(Entry.szExeFile, "mencoder.exe");
      EXPECT_EQ(Entry.th32ParentProcessID, GetCurrentProcessId());
    }
    SeenSelf = SeenSelf || Entry.th32ProcessID == GetCurrentProcessId();
  }
  EXPECT_EQ(GetLastError(), ERROR_NO_MORE_FILES);
  EXPECT_TRUE(Seen);
  EXPECT_TRUE(SeenSelf);
  EXPECT_TRUE(Ascending);
  CloseHandle(Snapshot);

  // PSAPI shape: the base name and the full path of an opened process.
  HANDLE Process = OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ, FALSE, Pid);
  ASSERT_NE(Process, nullptr);
  char Name[260];
  ASSERT_GT(GetModuleBaseNameA(Process, nullptr, Name, sizeof Name), 0u);
  EXPECT_STREQ(Name, "mencoder.exe");
  ASSERT_GT(GetModuleFileNameExA(Process, nullptr, Name, sizeof Name), 0u);
  EXPECT_EQ(String(Name), Link);
  CloseHandle(Process);
}

TEST_F(ProcessLookupTest, KillByIdReachesOnlyOurOwnProcesses)
{
  TLiveChild Child;
  ASSERT_TRUE(Child.Start("\"" + TestChild() + "\" ready pause"));
  ASSERT_EQ(ReadLine(Child.Out), "ready");
  // Found by id, it is the very child (its exit code is known).
  HANDLE Process = OpenProcess(SYNCHRONIZE | PROCESS_TERMINATE, FALSE, Child.Pi.dwProcessId);
  ASSERT_NE(Process, nullptr);
  EXPECT_EQ(WaitForSingleObject(Process, 0), WAIT_TIMEOUT);
  EXPECT_TRUE(TerminateProcess(Process, 7));
  EXPECT_EQ(WaitForSingleObject(Process, 10000), WAIT_OBJECT_0);
  DWORD Exit = 0;
  EXPECT_TRUE(GetExitCodeProcess(Child.Pi.hProcess, &Exit));
  EXPECT_EQ(Exit, 7u);
  CloseHandle(Process);

  EXPECT_EQ(OpenProcess(PROCESS_TERMINATE, FALSE, 0), nullptr);
  EXPECT_EQ(GetLastError(), ERROR_INVALID_PARAMETER);
  EXPECT_EQ(OpenProcess(PROCESS_TERMINATE, FALSE, 0x7FFFFFF0), nullptr);
  EXPECT_EQ(GetLastError(), ERROR_INVALID_PARAMETER);

}

TEST_F(ProcessLookupTest, OtherUsersProcessesAreNeverFoundNorOpened)
{
  if (geteuid() != 0)
    GTEST_SKIP() << "making another user's process needs root";
  // A tool-named process that switched to another user.
  const String Link = Dir + "ffmpeg2.exe";
  ASSERT_EQ(symlink(TestChild().c_str(), Link.c_str()), 0);
  ASSERT_EQ(chmod(Dir.c_str(), 0755), 0);
  TLiveChild Child;
  ASSERT_TRUE(Child.Start("\"" + Link + "\" become 65534 grandchild ready pause"));
  const String Gc = ReadLine(Child.Out);
  ASSERT_EQ(Gc.rfind("gc ", 0), 0u) << Gc;
  const DWORD Stranger = static_cast<DWORD>(std::stoul(Gc.substr(3)));
  ASSERT_EQ(ReadLine(Child.Out), "ready");
  const DWORD Pid = Child.Pi.dwProcessId;
  EXPECT_TRUE(qv::os::FindProcessIdsByExeName("ffmpeg2.exe").empty());
  DWORD Ids[8192];
  DWORD Bytes = 0;
  ASSERT_TRUE(EnumProcesses(Ids, sizeof Ids, &Bytes));
  EXPECT_EQ(std::find(Ids, Ids + Bytes / sizeof(DWORD), Pid), Ids + Bytes / sizeof(DWORD));
  // Our own child stays reachable by id (we started it); a stranger's id is refused.
  HANDLE Own = OpenProcess(PROCESS_TERMINATE, FALSE, Pid);
  EXPECT_NE(Own, nullptr);
  CloseHandle(Own);
  EXPECT_EQ(OpenProcess(PROCESS_TERMINATE, FALSE, Stranger), nullptr);
  EXPECT_EQ(GetLastError(), ERROR_ACCESS_DENIED);
  TerminateProcess(Child.Pi.hProcess, 0);  // the group goes, the stranger with it
}
