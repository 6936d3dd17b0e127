#include <gtest/gtest.h>

#include <cstring>

#include "core/SxDynamicTable.h"
#include "core/SxSharedMemory.h"
#include "core/SxSysUtils.h"
#include "core/SxUnitVersioning.h"
#include "platform/os/Process.h"

TEST(SxStrings, MultiSzBlocks)
{
  struct TCase {
    std::vector<std::string> Lines;
    std::string Expected;
  };
  using namespace std::string_literals;
  const TCase Cases[] = {
      {{"A=1", "B=2"}, "A=1\0B=2\0\0"s},
      {{}, "\0"s},
      {{"X=a\0b"s}, "X=a\0\0"s},  // a line ends at its first NUL
  };
  for (const auto& C : Cases) {
    TStringList List;
    for (const auto& L : C.Lines) List.Add(L);
    char* Block = StringsToMultiSz(&List);
    EXPECT_EQ(std::string(Block, C.Expected.size()), C.Expected);
    FreeMultiSzBlock(Block);
    EXPECT_EQ(Block, nullptr);
  }
  TStringList WithEmpty;
  WithEmpty.Add("A=1");
  WithEmpty.Add("");
  try {
    StringsToMultiSz(&WithEmpty);
    FAIL() << "no exception";
  } catch (const ESxStringError& E) {
    EXPECT_STREQ(E.what(), "String list passed to StringsToMultiSz cannot contain empty strings.");
  }
}

TEST(SxStrings, ReplaceTruncateAndSplit)
{
  String S = "a b c d";
  EXPECT_EQ(ReplaceCharInString(S, ' ', '_'), 3);
  EXPECT_EQ(S, "a_b_c_d");
  EXPECT_EQ(ReplaceCharInString(S, '_', '_'), 0);
  String T = std::string("ab\0cd", 5);
  TruncateAtNul(T);
  EXPECT_EQ(T, "ab");
  const TInt64Halves H = SplitInt64(0x123456789ABCDEF0LL);
  EXPECT_EQ(H.Low, 0x9ABCDEF0u);
  EXPECT_EQ(H.High, 0x12345678u);
  char Block[4] = {1, 2, 3, 4};
  ZeroFillMemory(Block, 0);
  ZeroFillMemory(Block, -5);
  EXPECT_EQ(Block[0], 1);
  ZeroFillMemory(Block, 3);
  EXPECT_EQ(std::string(Block, 4), std::string("\0\0\0\4", 4));
}

TEST(SxBinding, BindsOnceAndReportsMissingLibrariesAndFunctions)
{
  using TEnum = BOOL(DWORD*, DWORD, DWORD*);
  TEnum* Enumerate = nullptr;
  BindProcAddress(Enumerate, "PSAPI.DLL", "EnumProcesses");
  EXPECT_NE(Enumerate, nullptr);

  // A bound variable is left alone, even with names that would fail.
  TEnum* Bound = Enumerate;
  EXPECT_NO_THROW(BindProcAddress(Bound, "nosuch.dll", "Nothing"));
  EXPECT_EQ(Bound, Enumerate);

  TEnum* Missing = nullptr;
  try {
    BindProcAddress(Missing, "nosuch.dll", "Nothing");
    FAIL();
  } catch (const ESxError& E) {
    EXPECT_STREQ(E.what(), "Library not found: nosuch.dll");
  }
  try {
    BindProcAddress(Missing, "kernel32.dll", "Nothing");
    FAIL();
  } catch (const ESxError& E) {
    EXPECT_STREQ(E.what(), "Function not found: kernel32.dll.Nothing");
  }
  EXPECT_EQ(Missing, nullptr);
}

TEST(SxErrors, Win32ErrorCarriesCodeAndSystemText)
{
  SetLastError(2);
  const ESxWin32Error E = ESxWin32Error::CreateFromLastError("Failed to create event");
  EXPECT_EQ(E.GetLastErrorCode(), 2u);
  EXPECT_EQ(E.GetLastErrorMsg(), SysErrorMessage(2));
  EXPECT_EQ(E.Message(), "Failed to create event\r\nWin32: " + SysErrorMessage(2) + " (2)");
}

TEST(SxSharedMemory, NamesDifferingInCaseShareOneCountedView)
{
  const String Name = "QvTestShm_" + std::to_string(GetCurrentProcessId());
  const int Before = SharedMemoryListCount();
  void* A = nullptr;
  void* B = nullptr;
  EXPECT_EQ(OpenNamedSharedMemory(A, Name, 64, FILE_MAP_ALL_ACCESS), 0u);
  ASSERT_NE(A, nullptr);
  std::memcpy(A, "shared", 7);
  String Upper = Name;
  for (char& C : Upper) C = static_cast<char>(std::toupper(static_cast<unsigned char>(C)));
  EXPECT_EQ(OpenNamedSharedMemory(B, Upper, 64, FILE_MAP_ALL_ACCESS), 183u);
  EXPECT_EQ(B, A);
  EXPECT_EQ(SharedMemoryListCount(), Before + 1);

  void* Keep = A;
  EXPECT_TRUE(CloseNamedSharedMemory(A));
  EXPECT_EQ(A, nullptr);
  EXPECT_STREQ(static_cast<char*>(Keep), "shared");  // the first close keeps the mapping
  EXPECT_TRUE(CloseNamedSharedMemory(B));
  EXPECT_EQ(SharedMemoryListCount(), Before);

  int Local = 0;
  void* Stranger = &Local;
  EXPECT_FALSE(CloseNamedSharedMemory(Stranger));
  EXPECT_EQ(Stranger, &Local);
  void* Empty = nullptr;
  EXPECT_TRUE(CloseNamedSharedMemory(Empty));

  void* None = nullptr;
  try {
    OpenNamedSharedMemory(None, Name + "_missing", 0, FILE_MAP_ALL_ACCESS);
    FAIL();
  } catch (const ESharedMemError& E) {
    EXPECT_EQ(E.Message(), "The MMF named \"" + Name + "_missing\" cannot be created empty");
  }
}

TEST(SxUnitVersioning, OneRegistryPerProcessKeepsEachRecordOnce)
{
  static const TUnitVersionInfo First{"a.pas", "1.1", "2009", "", "", nullptr};
  static const TUnitVersionInfo Second{"b.pas", "1.2", "2009", "", "", nullptr};
  auto* Module = reinterpret_cast<HINSTANCE>(std::intptr_t{0x400000});
  auto* Other = reinterpret_cast<HINSTANCE>(std::intptr_t{0x500000});
  TUnitVersioning* Registry = ProcessUnitRegistry();
  if (!Registry) GTEST_SKIP() << "the registry of this process was closed by an earlier run";
  EXPECT_EQ(ProcessUnitRegistry(), Registry);
  AddUnitRevision(Module, &First);
  AddUnitRevision(Module, &First);
  AddUnitRevision(Module, &Second);
  AddUnitRevision(Other, &Second);
  ASSERT_EQ(Registry->GetModuleCount(), 2);
  EXPECT_EQ(Registry->GetModule(0)->GetCount(), 2);
  RemoveModuleRevisions(Module);
  ASSERT_EQ(Registry->GetModuleCount(), 1);
  EXPECT_EQ(Registry->GetModule(0)->GetInstance(), Other);
  CloseUnitRegistry();
  EXPECT_EQ(ProcessUnitRegistry(), nullptr);
  EXPECT_NO_THROW(AddUnitRevision(Module, &First));
}

TEST(SxDynamicTable, AClassWithoutATableHasNone)
{
  struct TPlain {};
  struct THandlers {};
  EXPECT_EQ(DynamicTableCount(typeid(TPlain)), 0);
  static int Handler;
  RegisterDynamicTable(typeid(THandlers), {{0x000F, 0x0014}, {&Handler, nullptr}});
  ASSERT_EQ(DynamicTableCount(typeid(THandlers)), 2);
  EXPECT_EQ(DynamicTableIndexes(typeid(THandlers))[1], 0x0014);
  EXPECT_EQ(DynamicTableAddresses(typeid(THandlers))[0], &Handler);
}
