#include <gtest/gtest.h>

#include <fcntl.h>
#include <sched.h>
#include <signal.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstring>
#include <filesystem>
#include <iostream>
#include <thread>

#include "platform/os/FileMapping.h"
#include "platform/os/InstanceChannel.h"
#include "platform/rtl/Exceptions.h"
#include "platform/os/Sync.h"
#include "platform/os/Wait.h"
#include "tests/platform/os/ProcessTestHelpers.h"

using namespace qvtest;

namespace {

void Say(const String& Text) { [[maybe_unused]] ssize_t N = write(1, Text.data(), Text.size()); }

void WaitForStdinEnd()
{
  char Buffer[64];
  while (read(0, Buffer, sizeof Buffer) > 0) {
  }
}

const bool Registered = [] {
  RegisterChildAction("set-event", [](const String& Name) {
    WaitForStdinEnd();
    HANDLE Event = OpenEventA(EVENT_MODIFY_STATE | SYNCHRONIZE, FALSE, Name.c_str());
    return Event && SetEvent(Event) ? 0 : 2;
  });
  RegisterChildAction("map-write", [](const String& Name) {
    HANDLE Mapping = OpenFileMappingA(FILE_MAP_WRITE, FALSE, Name.c_str());
    char* View = Mapping ? static_cast<char*>(MapViewOfFile(Mapping, FILE_MAP_WRITE, 0, 0, 0)) : nullptr;
    if (!View)
      return 2;
    std::strcpy(View, "written by the child");
    return 0;
  });
  // Owns the mutex, then dies without releasing it once its input ends.
  RegisterChildAction("hold-mutex", [](const String& Name) {
    HANDLE Mutex = CreateMutexA(nullptr, TRUE, Name.c_str());
    Say(Mutex ? "owned " + std::to_string(GetLastError()) + "\n" : "failed\n");
    WaitForStdinEnd();
    kill(getpid(), SIGKILL);
    return 3;
  });
  // Makes the objects of a single-instance guard, fills them, and crashes.
  RegisterChildAction("guard-crash", [](const String& Name) {
    HANDLE Mutex = CreateMutexA(nullptr, TRUE, (Name + "_Mutex").c_str());
    HANDLE Event = CreateEventA(nullptr, FALSE, TRUE, (Name + "_Event").c_str());
    HANDLE Mapping = CreateFileMappingA(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0, 1032, (Name + "_Map").c_str());
    char* View = static_cast<char*>(MapViewOfFile(Mapping, FILE_MAP_ALL_ACCESS, 0, 0, 0));
    if (!Mutex || !Event || !View)
      return 2;
    std::memset(View, 0x5A, 1032);
    kill(getpid(), SIGKILL);
    return 3;
  });
  return true;
}();

// Every file below Root.
std::vector<String> FilesBelow(const String& Root)
{
  std::vector<String> Result;
  for (const auto& Entry : std::filesystem::recursive_directory_iterator(Root))
    Result.push_back(Entry.path().string());
  return Result;
}

using TCreate = std::function<HANDLE(const char*)>;

struct TKind {
  const char* Label;
  TCreate Create;
  TCreate Open;
};

const TKind Kinds[] = {
    {"event", [](const char* N) { return CreateEventA(nullptr, TRUE, FALSE, N); },
     [](const char* N) { return OpenEventA(EVENT_ALL_ACCESS, FALSE, N); }},
    {"mutex", [](const char* N) { return CreateMutexA(nullptr, FALSE, N); },
     [](const char* N) { return OpenMutexA(MUTEX_ALL_ACCESS, FALSE, N); }},
    {"semaphore", [](const char* N) { return CreateSemaphoreA(nullptr, 0, 5, N); },
     [](const char* N) { return OpenSemaphoreA(SEMAPHORE_ALL_ACCESS, FALSE, N); }},
    {"mapping",
     [](const char* N) { return CreateFileMappingA(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0, 4096, N); },
     [](const char* N) { return OpenFileMappingA(FILE_MAP_ALL_ACCESS, FALSE, N); }},
};

// In a mount namespace of its own (so nothing shows outside): a tiny file system as the
// runtime folder, filled up; then every kind of named object and the instance channel are
// made there. Prints "<kind> <made|null> <error>" per line, or "skip <why>".
const bool FullDiskRegistered = RegisterChildAction("full-disk", [](const String& Folder) {
  if (unshare(CLONE_NEWNS) != 0 || mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0) {
    Say("skip no mount namespace: " + String(std::strerror(errno)) + "\n");
    return 0;
  }
  if (mount("qvfull", Folder.c_str(), "tmpfs", 0, "size=64k") != 0) {
    Say("skip no tmpfs: " + String(std::strerror(errno)) + "\n");
    return 0;
  }
  setenv("XDG_RUNTIME_DIR", Folder.c_str(), 1);
  const String Runtime = qv::os::RuntimeFolder();
  int Filler = open((Folder + "/filler").c_str(), O_WRONLY | O_CREAT | O_CLOEXEC, 0600);
  static char Block[4096];
  while (write(Filler, Block, sizeof Block) > 0) {
  }
  while (write(Filler, Block, 1) > 0) {
  }
  close(Filler);
  for (const TKind& Kind : Kinds) {
    HANDLE H = Kind.Create((String("Full_") + Kind.Label).c_str());
    Say(String(Kind.Label) + (H ? " made " : " null ") + std::to_string(GetLastError()) + "\n");
  }
  try {
    qv::os::TInstanceChannel Channel;
    Say("channel made 0\n");
  } catch (const EOSError& E) {
    Say("channel null " + std::to_string(E.ErrorCode) + "\n");
  }
  return 0;
});

}  // namespace

class NamedObjectTest : public TRuntimeFolderTest {};

TEST_F(NamedObjectTest, AFullFileSystemFailsTheCreationWithDiskFull)
{
  TChildRun Run = RunChild(ChildModeCommand("full-disk", Folder));
  ASSERT_TRUE(Run.Started);
  if (Run.Out.rfind("skip ", 0) == 0)
    GTEST_SKIP() << "cannot mount a small file system here: " << Run.Out;
  EXPECT_EQ(Run.ExitCode, 0u) << "the creations must fail, not end the process";
  const String Expected[] = {"event null 112", "mutex null 112", "semaphore null 112", "mapping null 112",
                             "channel null 112"};
  std::vector<String> Lines;
  for (std::size_t Pos = 0, End; (End = Run.Out.find('\n', Pos)) != String::npos; Pos = End + 1)
    Lines.push_back(Run.Out.substr(Pos, End - Pos));
  for (std::size_t I = 0; I < std::size(Expected); ++I)
    EXPECT_EQ(I < Lines.size() ? Lines[I] : String("(none)"), Expected[I]);
}

TEST(RuntimeFolderTest, AForeignEntryInTheTemporaryFolderIsNeverUsed)
{
  // No XDG_RUNTIME_DIR: the folder would be quelvo3-<uid> in the shared temporary folder,
  // where another local user may have made that name first.
  std::string Pattern = testing::TempDir() + "qvtmp-XXXXXX";
  ASSERT_NE(mkdtemp(Pattern.data()), nullptr);
  const String Base = Pattern;
  const char* OldXdg = std::getenv("XDG_RUNTIME_DIR");
  const String SavedXdg = OldXdg ? OldXdg : "";
  const bool HadXdg = OldXdg != nullptr;
  const char* OldTmp = std::getenv("TMPDIR");
  const String SavedTmp = OldTmp ? OldTmp : "";
  const bool HadTmp = OldTmp != nullptr;
  const char* OldCache = std::getenv("XDG_CACHE_HOME");
  const String SavedCache = OldCache ? OldCache : "";
  const bool HadCache = OldCache != nullptr;
  unsetenv("XDG_RUNTIME_DIR");
  const String Name = "/quelvo3-" + std::to_string(geteuid());
  struct TCase {
    const char* Planted;
    std::function<bool(const String& Path)> Plant;  // false: cannot be made here
  };
  const TCase Cases[] = {
      {"another user's folder",
       [](const String& P) { return mkdir(P.c_str(), 0700) == 0 && chown(P.c_str(), 4242, 4242) == 0; }},
      {"a folder everybody may write to", [](const String& P) { return mkdir(P.c_str(), 0700) == 0 && chmod(P.c_str(), 0777) == 0; }},
      {"a link to a private folder",
       [](const String& P) { return mkdir((P + ".real").c_str(), 0700) == 0 && symlink((P + ".real").c_str(), P.c_str()) == 0; }},
      {"a plain file", [](const String& P) { return close(open(P.c_str(), O_CREAT | O_WRONLY, 0600)) == 0; }},
  };
  int Index = 0;
  for (const TCase& Case : Cases) {
    const String Tmp = Base + "/tmp" + std::to_string(Index);
    const String Cache = Base + "/cache" + std::to_string(Index++);
    ASSERT_EQ(mkdir(Tmp.c_str(), 0777), 0);
    setenv("TMPDIR", Tmp.c_str(), 1);
    setenv("XDG_CACHE_HOME", Cache.c_str(), 1);
    if (!Case.Plant(Tmp + Name)) {
      std::cout << "[ SKIPPED  ] " << Case.Planted << ": cannot be planted here\n";
      continue;
    }
    const String Folder = qv::os::RuntimeFolder();
    EXPECT_EQ(Folder, Cache + "/quelvo3-runtime") << Case.Planted;
    struct stat St {};
    ASSERT_EQ(lstat(Folder.c_str(), &St), 0) << Case.Planted;
    EXPECT_TRUE(S_ISDIR(St.st_mode)) << Case.Planted;
    EXPECT_EQ(St.st_uid, geteuid()) << Case.Planted;
    EXPECT_EQ(St.st_mode & 0777, 0700u) << Case.Planted;
    HANDLE Event = CreateEventA(nullptr, TRUE, FALSE, "Quelvo_Private");
    EXPECT_NE(Event, nullptr) << Case.Planted;
    CloseHandle(Event);
  }
  // An entry that is ours stays in use.
  const String Tmp = Base + "/tmp-own";
  ASSERT_EQ(mkdir(Tmp.c_str(), 0777), 0);
  setenv("TMPDIR", Tmp.c_str(), 1);
  EXPECT_EQ(qv::os::RuntimeFolder(), Tmp + Name);

  auto Restore = [](const char* Variable, bool Had, const String& Saved) {
    if (Had)
      setenv(Variable, Saved.c_str(), 1);
    else
      unsetenv(Variable);
  };
  Restore("XDG_RUNTIME_DIR", HadXdg, SavedXdg);
  Restore("TMPDIR", HadTmp, SavedTmp);
  Restore("XDG_CACHE_HOME", HadCache, SavedCache);
  std::error_code Ignored;
  std::filesystem::remove_all(Base, Ignored);
}

TEST_F(NamedObjectTest, CreateOpenAndLifetimeForEveryKind)
{
  for (const TKind& Kind : Kinds) {
    SCOPED_TRACE(Kind.Label);
    const String Name = String("Quelvo_") + Kind.Label;
    EXPECT_EQ(Kind.Open(Name.c_str()), nullptr);
    EXPECT_EQ(GetLastError(), ERROR_FILE_NOT_FOUND);
    HANDLE First = Kind.Create(Name.c_str());
    ASSERT_NE(First, nullptr);
    EXPECT_EQ(GetLastError(), ERROR_SUCCESS);
    HANDLE Second = Kind.Create(Name.c_str());
    ASSERT_NE(Second, nullptr);
    EXPECT_EQ(GetLastError(), ERROR_ALREADY_EXISTS);
    HANDLE Opened = Kind.Open(Name.c_str());
    EXPECT_NE(Opened, nullptr);
    // The same name as another kind is refused.
    for (const TKind& Other : Kinds)
      if (&Other != &Kind) {
        EXPECT_EQ(Other.Create(Name.c_str()), nullptr) << Other.Label;
        EXPECT_EQ(GetLastError(), ERROR_INVALID_HANDLE);
      }
    CloseHandle(First);
    CloseHandle(Second);
    HANDLE StillThere = Kind.Open(Name.c_str());
    EXPECT_NE(StillThere, nullptr) << "one handle keeps the object";
    CloseHandle(StillThere);
    CloseHandle(Opened);
    EXPECT_EQ(Kind.Open(Name.c_str()), nullptr) << "gone with its last handle";
    EXPECT_EQ(GetLastError(), ERROR_FILE_NOT_FOUND);
  }
}

TEST_F(NamedObjectTest, LastCloseFreesTheName)
{
  HANDLE Event = CreateEventA(nullptr, TRUE, TRUE, "Lifetime");
  ASSERT_NE(Event, nullptr);
  HANDLE Again = CreateEventA(nullptr, TRUE, FALSE, "Lifetime");
  EXPECT_EQ(GetLastError(), ERROR_ALREADY_EXISTS);
  EXPECT_EQ(WaitForSingleObject(Again, 0), WAIT_OBJECT_0) << "the existing object keeps its state";
  CloseHandle(Event);
  CloseHandle(Again);
  HANDLE Fresh = CreateEventA(nullptr, TRUE, FALSE, "Lifetime");
  EXPECT_EQ(GetLastError(), ERROR_SUCCESS);
  EXPECT_EQ(WaitForSingleObject(Fresh, 0), WAIT_TIMEOUT);
  CloseHandle(Fresh);
  for (const String& File : FilesBelow(Folder))
    EXPECT_EQ(File.find("kobj-"), String::npos) << File << " stays after the last close";
}

TEST_F(NamedObjectTest, NamesStayInsideTheRuntimeFolder)
{
  const char* Names[] = {"../../escape", "/etc/passwd", "a/b\\c", "..", "Global\\Shared", "MutexNPA_UnitVersioning_1"};
  std::vector<HANDLE> Handles;
  for (const char* Name : Names) {
    HANDLE Mutex = CreateMutexA(nullptr, FALSE, Name);
    ASSERT_NE(Mutex, nullptr) << Name;
    Handles.push_back(Mutex);
  }
  for (const String& File : FilesBelow(Folder))
    EXPECT_EQ(File.rfind(Folder + "/quelvo3", 0), 0u) << File;
  EXPECT_FALSE(std::filesystem::exists(std::filesystem::path(Folder).parent_path() / "escape"));
  // "Global\" and "Local\" name the same object as the bare name.
  HANDLE Local = CreateMutexA(nullptr, FALSE, "Local\\Shared");
  EXPECT_EQ(GetLastError(), ERROR_ALREADY_EXISTS);
  CloseHandle(Local);
  EXPECT_EQ(CreateMutexA(nullptr, FALSE, String(300, 'n').c_str()), nullptr);
  EXPECT_EQ(GetLastError(), ERROR_FILENAME_EXCED_RANGE);
  for (HANDLE H : Handles)
    CloseHandle(H);
}

TEST_F(NamedObjectTest, EventSetByAnotherProcess)
{
  HANDLE Event = CreateEventA(nullptr, FALSE, FALSE, "Optex_Event_Test");
  ASSERT_NE(Event, nullptr);
  TLiveChild Child;
  ASSERT_TRUE(Child.Start(ChildModeCommand("set-event", "Optex_Event_Test")));
  // We block on the event before the child sets it.
  std::thread Release([&] {
    usleep(20000);
    CloseHandle(Child.In);
  });
  EXPECT_EQ(WaitForSingleObject(Event, 10000), WAIT_OBJECT_0);
  Release.join();
  Child.In = nullptr;
  EXPECT_EQ(WaitForSingleObject(Child.Pi.hProcess, 10000), WAIT_OBJECT_0);
  DWORD Exit = 1;
  GetExitCodeProcess(Child.Pi.hProcess, &Exit);
  EXPECT_EQ(Exit, 0u);
  EXPECT_EQ(WaitForSingleObject(Event, 0), WAIT_TIMEOUT) << "auto reset";
  CloseHandle(Event);
}

TEST_F(NamedObjectTest, MappingSharedWithAnotherProcess)
{
  HANDLE Mapping = CreateFileMappingA(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0, 100000, "Sx_Map");
  ASSERT_NE(Mapping, nullptr);
  char* View = static_cast<char*>(MapViewOfFile(Mapping, FILE_MAP_ALL_ACCESS, 0, 0, 1032));
  ASSERT_NE(View, nullptr);
  EXPECT_EQ(std::count(View, View + 1032, 0), 1032) << "a new mapping is zero-filled";
  TChildRun Run = RunChild(ChildModeCommand("map-write", "Sx_Map"));
  ASSERT_TRUE(Run.Started);
  EXPECT_EQ(Run.ExitCode, 0u);
  EXPECT_STREQ(View, "written by the child");

  // Views at the granularity; nothing past the end.
  char* Second = static_cast<char*>(MapViewOfFile(Mapping, FILE_MAP_READ, 0, 65536, 0));
  ASSERT_NE(Second, nullptr);
  EXPECT_EQ(Second[100000 - 65536 - 1], 0);
  EXPECT_TRUE(UnmapViewOfFile(Second));
  EXPECT_FALSE(UnmapViewOfFile(Second));
  EXPECT_EQ(GetLastError(), ERROR_INVALID_ADDRESS);
  EXPECT_EQ(MapViewOfFile(Mapping, FILE_MAP_READ, 0, 4096, 16), nullptr);
  EXPECT_EQ(GetLastError(), 1132u) << "ERROR_MAPPED_ALIGNMENT";
  EXPECT_EQ(MapViewOfFile(Mapping, FILE_MAP_READ, 0, 65536, 40000), nullptr);
  EXPECT_EQ(GetLastError(), ERROR_ACCESS_DENIED);
  EXPECT_EQ(CreateFileMappingA(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0, 0, "Sized"), nullptr);
  EXPECT_EQ(GetLastError(), ERROR_INVALID_PARAMETER);

  // The view keeps the mapping alive after its handle is closed.
  CloseHandle(Mapping);
  HANDLE Reopened = OpenFileMappingA(FILE_MAP_READ, FALSE, "Sx_Map");
  ASSERT_NE(Reopened, nullptr);
  char* Third = static_cast<char*>(MapViewOfFile(Reopened, FILE_MAP_READ, 0, 0, 0));
  ASSERT_NE(Third, nullptr);
  EXPECT_STREQ(Third, "written by the child");
  UnmapViewOfFile(Third);
  CloseHandle(Reopened);
  UnmapViewOfFile(View);
}

TEST_F(NamedObjectTest, MutexOfADeadProcessIsAbandoned)
{
  TLiveChild Child;
  ASSERT_TRUE(Child.Start(ChildModeCommand("hold-mutex", "MutexNPA_Test")));
  ASSERT_EQ(ReadLine(Child.Out), "owned 0");
  HANDLE Mutex = CreateMutexA(nullptr, TRUE, "MutexNPA_Test");
  ASSERT_NE(Mutex, nullptr);
  EXPECT_EQ(GetLastError(), ERROR_ALREADY_EXISTS);
  EXPECT_EQ(WaitForSingleObject(Mutex, 0), WAIT_TIMEOUT) << "the initial owner flag of an existing mutex is ignored";
  EXPECT_FALSE(ReleaseMutex(Mutex));
  CloseHandle(Child.In);  // the child now dies holding the mutex
  Child.In = nullptr;
  EXPECT_EQ(WaitForSingleObject(Mutex, 10000), WAIT_ABANDONED);
  EXPECT_TRUE(ReleaseMutex(Mutex));
  EXPECT_EQ(WaitForSingleObject(Child.Pi.hProcess, 10000), WAIT_OBJECT_0);
  CloseHandle(Mutex);
}

TEST_F(NamedObjectTest, CrashedHolderLeavesNothingBehind)
{
  TChildRun Run = RunChild(ChildModeCommand("guard-crash", "SxQUELVO3"));
  ASSERT_TRUE(Run.Started);
  EXPECT_EQ(Run.ExitCode, 128u + SIGKILL);
  // The next start finds fresh objects: nothing owned, nothing signalled, a zeroed block.
  HANDLE Mutex = CreateMutexA(nullptr, FALSE, "SxQUELVO3_Mutex");
  EXPECT_EQ(GetLastError(), ERROR_SUCCESS);
  EXPECT_EQ(WaitForSingleObject(Mutex, 0), WAIT_OBJECT_0);
  HANDLE Event = CreateEventA(nullptr, FALSE, FALSE, "SxQUELVO3_Event");
  EXPECT_EQ(GetLastError(), ERROR_SUCCESS);
  EXPECT_EQ(WaitForSingleObject(Event, 0), WAIT_TIMEOUT);
  HANDLE Mapping = CreateFileMappingA(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0, 1032, "SxQUELVO3_Map");
  EXPECT_EQ(GetLastError(), ERROR_SUCCESS);
  char* View = static_cast<char*>(MapViewOfFile(Mapping, FILE_MAP_ALL_ACCESS, 0, 0, 0));
  ASSERT_NE(View, nullptr);
  EXPECT_EQ(std::count(View, View + 1032, 0), 1032);
  UnmapViewOfFile(View);
  ReleaseMutex(Mutex);
  CloseHandle(Mutex);
  CloseHandle(Event);
  CloseHandle(Mapping);
  (void)Registered;
}
