#include <gtest/gtest.h>

#include <cstring>
#include <future>
#include <mutex>
#include <thread>
#include <vector>

#include "app/SxFileMapping.h"
#include "app/SxSyncObjects.h"
#include "platform/os/Process.h"
#include "platform/os/Wait.h"
#include "platform/rtl/Convert.h"

namespace {

String UniqueName(const char* Stem) { return String(Stem) + IntToStr(static_cast<Int64>(GetCurrentProcessId())); }

}  // namespace

TEST(SxWait, ResultsMapInTheirOrder)
{
  const std::pair<DWORD, TSxWaitResult> Cases[] = {
      {128, TSxWaitResult::wrAbandoned}, {192, TSxWaitResult::wrIoCompletion}, {0, TSxWaitResult::wrSignaled},
      {258, TSxWaitResult::wrTimeout},   {0xFFFFFFFF, TSxWaitResult::wrError},  {1, TSxWaitResult::wrError}};
  for (const auto& [Raw, Expected] : Cases) EXPECT_EQ(SxMapWaitResult(Raw), Expected) << Raw;
}

TEST(SxEvents, NamedEventsTellWhetherTheyExistedAndAutoResetReleasesOnce)
{
  const String Name = UniqueName("QvSxEvent_");
  TSxEvent A(nullptr, false, false, Name);
  EXPECT_FALSE(A.GetExisted());
  TSxEvent B(nullptr, false, false, Name);
  EXPECT_TRUE(B.GetExisted());
  EXPECT_EQ(A.WaitSignaled(0), TSxWaitResult::wrTimeout);
  EXPECT_TRUE(B.Signal());
  EXPECT_EQ(A.WaitSignaled(0), TSxWaitResult::wrSignaled);
  EXPECT_EQ(A.WaitSignaled(0), TSxWaitResult::wrTimeout);

  TSxMutex M(nullptr, false, "");
  EXPECT_FALSE(M.Release());  // not owned
  EXPECT_EQ(M.WaitSignaledForever(), TSxWaitResult::wrSignaled);
  EXPECT_TRUE(M.Release());
}

TEST(SxOptex, OwnerRecursesAndOthersWaitUntilTheLastUnlock)
{
  for (const String& Name : {String(), UniqueName("QvSxOptex_")}) {
    SCOPED_TRACE(Name.empty() ? "local" : "named");
    TSxOptex Optex(Name, 10);
    EXPECT_EQ(Optex.IsProcessLocal(), Name.empty());
    ASSERT_TRUE(Optex.TryLock());
    ASSERT_TRUE(Optex.TryLock());
    Optex.Lock();
    EXPECT_EQ(Optex.GetData().RecursionCount, 3);

    std::mutex LogLock;
    std::vector<std::string> Log;
    auto Note = [&](const char* S) {
      std::lock_guard<std::mutex> G(LogLock);
      Log.push_back(S);
    };
    bool OtherTry = true;
    std::promise<void> Tried;
    std::thread Other([&] {
      OtherTry = Optex.TryLock();
      Tried.set_value();
      Optex.Lock();
      Note("other locked");
      Optex.Unlock();
    });
    Tried.get_future().wait();
    Optex.Unlock();
    Optex.Unlock();
    Note("last unlock");
    Optex.Unlock();
    Other.join();
    EXPECT_FALSE(OtherTry);
    EXPECT_EQ(Log, (std::vector<std::string>{"last unlock", "other locked"}));
    EXPECT_EQ(Optex.GetData().LockCount, 0);
    EXPECT_EQ(Optex.GetData().ThreadId, 0);
  }
}

TEST(SxOptex, TwoOptexesOfOneNameShareTheLock)
{
  const String Name = UniqueName("QvSxSharedOptex_");
  TSxOptex A(Name, 5);
  TSxOptex B(Name, 5);
  EXPECT_FALSE(A.GetExisted());
  EXPECT_TRUE(B.GetExisted());
  A.Lock();
  bool Taken = true;
  std::thread([&] { Taken = B.TryLock(); }).join();
  EXPECT_FALSE(Taken);
  A.Unlock();
  std::thread([&] {
    Taken = B.TryLock();
    if (Taken) B.Unlock();
  }).join();
  EXPECT_TRUE(Taken);
}

TEST(SxFileMapping, ViewsRoundTheirOffsetAndRefuseWritesPastTheirEnd)
{
  const String Name = UniqueName("QvSxMapping_");
  TSxSwapFileMapping Mapping(Name, PAGE_READWRITE, 4 * 65536, nullptr);
  EXPECT_FALSE(Mapping.GetExisted());
  struct TCase {
    TSxFileMappingRoundMode Mode;
    Int64 Offset;
    Int64 Expected;
  };
  const TCase Cases[] = {{rmDown, 0, 0}, {rmDown, 65537, 65536}, {rmUp, 65537, 131072}, {rmUp, 131072, 131072}};
  for (const auto& C : Cases) {
    Mapping.SetRoundViewOffset(C.Mode);
    const int Index = Mapping.AddView(FILE_MAP_WRITE, 16, C.Offset);
    EXPECT_EQ(Mapping.ViewAt(Index)->GetOffset(), C.Expected);
    EXPECT_EQ(Mapping.ViewAt(Index)->IndexInMapping(), Index);
  }
  Mapping.FreeViews();
  EXPECT_EQ(Mapping.GetViewCount(), 0);

  TSxSwapFileMapping Same(Name, PAGE_READWRITE, 4 * 65536, nullptr);
  EXPECT_TRUE(Same.GetExisted());
  auto* Writer = Mapping.ViewAt(Mapping.AddView(FILE_MAP_WRITE, 8, 0));
  auto* Reader = Same.ViewAt(Same.AddView(FILE_MAP_READ, 8, 0));
  EXPECT_EQ(Writer->Write("123456789", 9), 0);  // more than the view holds
  EXPECT_EQ(Writer->GetPosition(), 0);
  EXPECT_EQ(Writer->Write("12345", 5), 5);
  EXPECT_EQ(Writer->Write("678", 3), 3);  // ends exactly at the end
  EXPECT_EQ(Writer->Write("x", 1), 0);
  char Back[9] = {};
  EXPECT_EQ(Reader->Read(Back, 8), 8);
  EXPECT_STREQ(Back, "12345678");
  delete Reader;
  EXPECT_EQ(Same.GetViewCount(), 0);

  try {
    TSxFileMappingView Orphan(nullptr, FILE_MAP_READ, 8, 0);
    FAIL();
  } catch (const ESxFileMappingViewError& E) {
    EXPECT_EQ(E.Message().rfind("FileMap argument of TSxFileMappingView constructor cannot be nil\r\nWin32: ", 0), 0u);
  }
}

TEST(SxFiles, ModuleNameAndMissingVersionInformation)
{
  const String Self = ModuleFileName(nullptr);
  EXPECT_EQ(Self.substr(Self.rfind('/') + 1), "app_tests");
  VS_FIXEDFILEINFO Info;
  Info.dwSignature = 0x1234;
  EXPECT_FALSE(ReadFixedFileInfo(ModuleFileName(nullptr), Info));
  EXPECT_EQ(Info.dwSignature, 0x1234u);
}
