#include "platform/rtl/Files.h"

#include <gtest/gtest.h>

#include <dirent.h>
#include <fcntl.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <ctime>
#include <fstream>
#include <sstream>
#include <vector>

#include "platform/rtl/Exceptions.h"
#include "platform/rtl/Paths.h"
#include "platform/rtl/Streams.h"

namespace {

const std::uint32_t kENOENT = ENOENT;  // and ERROR_FILE_NOT_FOUND: both are 2
// The last error holds the Windows code of a failure, never the errno value.
const std::uint32_t kAccessDenied = 5, kInvalidHandle = 6, kNotSameDevice = 17, kInvalidParameter = 87, kDiskFull = 112,
                    kAlreadyExists = 183, kIoDevice = 1117;

// A fresh temporary folder per test, removed with all its contents afterwards.
class FilesFixture : public testing::Test {
protected:
  void SetUp() override
  {
    String tmpl = "/tmp/qv-files-XXXXXX";
    ASSERT_NE(mkdtemp(tmpl.data()), nullptr);
    FDir = tmpl + "/";
  }
  void TearDown() override
  {
    String command = "chmod -R u+rwx '" + FDir + "' 2>/dev/null; rm -rf '" + FDir + "'";
    EXPECT_EQ(system(command.c_str()), 0);
  }

  String P(const String& Name) const { return FDir + Name; }

  static void Write(const String& Path, const String& Data)
  {
    std::ofstream out(Path, std::ios::binary | std::ios::trunc);
    out << Data;
    ASSERT_TRUE(out.good()) << Path;
  }
  static String Read(const String& Path)
  {
    std::ifstream in(Path, std::ios::binary);
    std::ostringstream data;
    data << in.rdbuf();
    return data.str();
  }
  static mode_t Mode(const String& Path)
  {
    struct stat st {};
    EXPECT_EQ(stat(Path.c_str(), &st), 0) << Path;
    return st.st_mode & 07777;
  }
  static void SetMTime(const String& Path, time_t Seconds, long Nanoseconds = 0)
  {
    const struct timespec times[2] = {{Seconds, 0}, {Seconds, Nanoseconds}};
    ASSERT_EQ(utimensat(AT_FDCWD, Path.c_str(), times, AT_SYMLINK_NOFOLLOW), 0);
  }
  static struct timespec MTime(const String& Path)
  {
    struct stat st {};
    EXPECT_EQ(stat(Path.c_str(), &st), 0) << Path;
    return st.st_mtim;
  }
  // The names in a folder, without "." and "..", sorted.
  static std::vector<String> List(const String& Dir)
  {
    std::vector<String> names;
    if (DIR* d = opendir(Dir.c_str())) {
      while (dirent* e = readdir(d))
        if (String(e->d_name) != "." && String(e->d_name) != "..")
          names.emplace_back(e->d_name);
      closedir(d);
    }
    std::sort(names.begin(), names.end());
    return names;
  }
  // Local time as seconds since the epoch.
  static time_t Local(int Year, int Month, int Day, int Hour, int Minute, int Second)
  {
    struct tm tm {};
    tm.tm_year = Year - 1900;
    tm.tm_mon = Month - 1;
    tm.tm_mday = Day;
    tm.tm_hour = Hour;
    tm.tm_min = Minute;
    tm.tm_sec = Second;
    tm.tm_isdst = -1;
    return mktime(&tm);
  }
  static int Dos(int Year, int Month, int Day, int Hour, int Minute, int Second)
  {
    return static_cast<int>((static_cast<unsigned>(Year - 1980) << 25) | (Month << 21) |
                            (Day << 16) | (Hour << 11) | (Minute << 5) | (Second / 2));
  }

  String FDir;
};

// ---------------------------------------------------------------------------------------

using FilesTest = FilesFixture;

TEST_F(FilesTest, ExistenceFollowsLinksAndTellsFilesFromFolders)
{
  Write(P("file"), "x");
  ASSERT_EQ(mkdir(P("dir").c_str(), 0777), 0);
  ASSERT_EQ(symlink(P("file").c_str(), P("file-link").c_str()), 0);
  ASSERT_EQ(symlink(P("dir").c_str(), P("dir-link").c_str()), 0);
  ASSERT_EQ(symlink(P("missing").c_str(), P("dangling").c_str()), 0);
  ASSERT_EQ(mkfifo(P("fifo").c_str(), 0600), 0);
  Write(P("dir/inner.txt"), "y");

  struct {
    String Path;
    bool File;
    bool Dir;
  } cases[] = {
      {P("file"), true, false},         {P("dir"), false, true},
      {P("dir/"), false, true},         {P("file-link"), true, false},
      {P("dir-link"), false, true},     {P("dangling"), false, false},
      {P("missing"), false, false},     {P("fifo"), false, false},
      {P("dir\\inner.txt"), false, false}, {"", false, false},  // "\\" is a name character
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.Path);
    EXPECT_EQ(FileExists(c.Path), c.File);
    EXPECT_EQ(DirectoryExists(c.Path), c.Dir);
  }
}

TEST_F(FilesTest, ForceDirectoriesCreatesEveryMissingLevel)
{
  EXPECT_TRUE(ForceDirectories(P("a/b/c")));
  EXPECT_TRUE(DirectoryExists(P("a/b/c")));
  EXPECT_TRUE(ForceDirectories(P("a/b/c")));  // already there
  EXPECT_TRUE(ForceDirectories(P("x\\y/z\\")));  // "\\" is a name character
  EXPECT_TRUE(DirectoryExists(P("x\\y/z\\")));
  EXPECT_FALSE(DirectoryExists(P("x")));
  EXPECT_TRUE(ForceDirectories(P("a//d/")));
  EXPECT_TRUE(DirectoryExists(P("a/d")));
  EXPECT_TRUE(ForceDirectories("/"));

  // A level that is a file stops it: false, and nothing is created below.
  Write(P("file"), "keep");
  EXPECT_FALSE(ForceDirectories(P("file/sub/deeper")));
  EXPECT_EQ(Read(P("file")), "keep");
  EXPECT_FALSE(ForceDirectories(P("file")));
}

TEST_F(FilesTest, ForceDirectoriesRejectsAnEmptyName)
{
  try {
    ForceDirectories("");
    FAIL() << "no exception";
  } catch (const EInOutError& e) {
    EXPECT_EQ(e.Message(), "Unable to create directory");
  }
}

TEST_F(FilesTest, CreateAndRemoveDir)
{
  EXPECT_TRUE(CreateDir(P("d")));
  EXPECT_FALSE(CreateDir(P("d")));
  EXPECT_EQ(GetLastError(), kAlreadyExists);
  EXPECT_FALSE(CreateDir(P("no/such")));
  EXPECT_EQ(GetLastError(), kENOENT);

  Write(P("d/f"), "x");
  EXPECT_FALSE(RemoveDir(P("d")));  // not empty
  EXPECT_EQ(Read(P("d/f")), "x");
  ASSERT_EQ(unlink(P("d/f").c_str()), 0);
  EXPECT_TRUE(RemoveDir(P("d/")));
  EXPECT_FALSE(DirectoryExists(P("d")));
  EXPECT_FALSE(RemoveDir(P("d")));
  EXPECT_EQ(GetLastError(), kENOENT);
}

TEST_F(FilesTest, DeleteFileDeletesFilesAndLinksButNeverFolders)
{
  Write(P("f"), "x");
  EXPECT_TRUE(DeleteFile(P("f")));
  EXPECT_FALSE(FileExists(P("f")));
  EXPECT_FALSE(DeleteFile(P("f")));
  EXPECT_EQ(GetLastError(), kENOENT);

  ASSERT_EQ(mkdir(P("dir").c_str(), 0777), 0);
  EXPECT_FALSE(DeleteFile(P("dir")));
  EXPECT_TRUE(DirectoryExists(P("dir")));

  // A link to a folder goes, the folder and its contents stay.
  Write(P("dir/inner"), "y");
  ASSERT_EQ(symlink(P("dir").c_str(), P("link").c_str()), 0);
  EXPECT_TRUE(DeleteFile(P("link")));
  EXPECT_EQ(Read(P("dir/inner")), "y");
}

// Names from outside may hold "\\" (Linux allows it): every file routine acts on the entry of
// that literal name, never on the file the name would mean with "\\" read as a separator.
TEST_F(FilesTest, BackslashesAreNameCharactersInEveryFileRoutine)
{
  ASSERT_EQ(mkdir(P("a").c_str(), 0777), 0);
  ASSERT_EQ(mkdir(P("sub").c_str(), 0777), 0);
  Write(P("x"), "decoy");
  Write(P("a/b"), "decoy");
  struct {
    String Name;   // the literal entry
    String Decoy;  // what the name would mean with "\\" as a separator
  } cases[] = {
      {P("sub/..\\x"), P("x")},
      {P("a\\b"), P("a/b")},
      {P("\\x"), P("x")},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.Name);
    EXPECT_FALSE(FileExists(c.Name));
    EXPECT_EQ(FileAge(c.Name), -1);
    EXPECT_FALSE(DeleteFile(c.Name));
    EXPECT_FALSE(CopyFile(c.Name, P("copied"), false));
    EXPECT_FALSE(RenameFile(c.Name, P("renamed")));
    EXPECT_FALSE(FileExists(P("copied")) || FileExists(P("renamed")));

    AtomicSaveToFile(c.Name, "saved", 5);
    EXPECT_EQ(Read(c.Name), "saved");
    EXPECT_TRUE(FileExists(c.Name));
    EXPECT_NE(FileAge(c.Name), -1);
    EXPECT_EQ(TFileStream(c.Name, fmOpenRead).GetSize(), 5);
    EXPECT_TRUE(CopyFile(c.Name, c.Name + "\\copy", true));
    EXPECT_EQ(Read(c.Name + "\\copy"), "saved");
    EXPECT_TRUE(RenameFile(c.Name + "\\copy", c.Name + "\\..\\moved"));
    EXPECT_EQ(Read(c.Name + "\\..\\moved"), "saved");
    EXPECT_TRUE(DeleteFile(c.Name + "\\..\\moved"));
    EXPECT_TRUE(DeleteFile(c.Name));
    EXPECT_FALSE(FileExists(c.Name));
    EXPECT_EQ(Read(c.Decoy), "decoy");
  }
  std::vector<String> left;
  for (const String& folder : {P(""), P("a/"), P("sub/")}) {
    DIR* d = opendir(folder.c_str());
    ASSERT_NE(d, nullptr);
    while (dirent* e = readdir(d))
      if (e->d_name[0] != '.') left.push_back(folder.substr(FDir.size()) + e->d_name);
    closedir(d);
  }
  std::sort(left.begin(), left.end());
  EXPECT_EQ(left, (std::vector<String>{"a", "a/b", "sub", "x"}));
}

TEST_F(FilesTest, RenameFileNeverOverwrites)
{
  Write(P("a"), "first");
  Write(P("b"), "second");
  EXPECT_FALSE(RenameFile(P("a"), P("b")));
  EXPECT_EQ(GetLastError(), kAlreadyExists);
  EXPECT_EQ(Read(P("a")), "first");
  EXPECT_EQ(Read(P("b")), "second");

  ASSERT_EQ(mkdir(P("dir").c_str(), 0777), 0);
  EXPECT_FALSE(RenameFile(P("a"), P("dir")));  // an empty folder is not replaced either
  EXPECT_TRUE(DirectoryExists(P("dir")));

  EXPECT_TRUE(RenameFile(P("a"), P("dir/c")));
  EXPECT_FALSE(FileExists(P("a")));
  EXPECT_EQ(Read(P("dir/c")), "first");

  EXPECT_TRUE(RenameFile(P("dir"), P("dir2")));  // folders move too
  EXPECT_EQ(Read(P("dir2/c")), "first");

  EXPECT_FALSE(RenameFile(P("missing"), P("z")));
  EXPECT_EQ(GetLastError(), kENOENT);
}

TEST_F(FilesTest, RenameFileMovesAFileToAnotherFileSystem)
{
  struct stat here {}, shm {};
  if (stat(FDir.c_str(), &here) != 0 || stat("/dev/shm", &shm) != 0 || here.st_dev == shm.st_dev)
    GTEST_SKIP() << "no second file system at /dev/shm";
  String tmpl = "/dev/shm/qv-files-XXXXXX";
  ASSERT_NE(mkdtemp(tmpl.data()), nullptr);
  const String other = tmpl + "/";

  Write(P("movie.avi"), "frames");
  ASSERT_EQ(chmod(P("movie.avi").c_str(), 0640), 0);
  SetMTime(P("movie.avi"), Local(2020, 3, 4, 5, 6, 8));
  EXPECT_TRUE(RenameFile(P("movie.avi"), other + "movie.avi"));
  EXPECT_FALSE(FileExists(P("movie.avi")));
  EXPECT_EQ(Read(other + "movie.avi"), "frames");
  EXPECT_EQ(Mode(other + "movie.avi"), 0640u);
  EXPECT_EQ(MTime(other + "movie.avi").tv_sec, Local(2020, 3, 4, 5, 6, 8));

  // Not over an existing file, and the source stays.
  Write(P("again.avi"), "new");
  Write(other + "again.avi", "old");
  EXPECT_FALSE(RenameFile(P("again.avi"), other + "again.avi"));
  EXPECT_EQ(Read(P("again.avi")), "new");
  EXPECT_EQ(Read(other + "again.avi"), "old");

  // Folders are not moved across.
  ASSERT_EQ(mkdir(P("dir").c_str(), 0777), 0);
  EXPECT_FALSE(RenameFile(P("dir"), other + "dir"));
  EXPECT_EQ(GetLastError(), kNotSameDevice);
  EXPECT_TRUE(DirectoryExists(P("dir")));

  EXPECT_EQ(system(("rm -rf '" + tmpl + "'").c_str()), 0);
}

// ---------------------------------------------------------------------------------------

using FilesCopyTest = FilesFixture;

TEST_F(FilesCopyTest, CopiesDataModeAndModificationTime)
{
  // Binary data, larger than one copy buffer.
  String data;
  for (int i = 0; i < 3 * 1024 * 1024 / 2 + 17; ++i)
    data += static_cast<char>(i * 7 % 256);
  Write(P("src.bin"), data);
  ASSERT_EQ(chmod(P("src.bin").c_str(), 0751), 0);
  SetMTime(P("src.bin"), Local(2019, 12, 24, 18, 30, 15), 123456789);

  EXPECT_TRUE(CopyFile(P("src.bin"), P("dst.bin"), true));
  EXPECT_EQ(Read(P("dst.bin")), data);
  EXPECT_EQ(Mode(P("dst.bin")), 0751u);
  EXPECT_EQ(MTime(P("dst.bin")).tv_sec, MTime(P("src.bin")).tv_sec);
  EXPECT_EQ(MTime(P("dst.bin")).tv_nsec, 123456789);
  EXPECT_EQ(Read(P("src.bin")), data);

  Write(P("empty"), "");
  EXPECT_TRUE(CopyFile(P("empty"), P("empty3"), false));
  EXPECT_EQ(Read(P("empty3")), "");
  EXPECT_EQ(List(FDir), (std::vector<String>{"dst.bin", "empty", "empty3", "src.bin"}));
}

TEST_F(FilesCopyTest, FailIfExistsKeepsTheTargetOtherwiseItIsReplaced)
{
  Write(P("src"), "new data");
  Write(P("dst"), "old");
  EXPECT_FALSE(CopyFile(P("src"), P("dst"), true));
  EXPECT_EQ(GetLastError(), kAlreadyExists);
  EXPECT_EQ(Read(P("dst")), "old");

  EXPECT_TRUE(CopyFile(P("src"), P("dst"), false));
  EXPECT_EQ(Read(P("dst")), "new data");
  EXPECT_EQ(List(FDir), (std::vector<String>{"dst", "src"}));

  // A read-only target is left alone, as Windows leaves it.
  Write(P("ro"), "protected");
  ASSERT_EQ(chmod(P("ro").c_str(), 0444), 0);
  EXPECT_FALSE(CopyFile(P("src"), P("ro"), false));
  EXPECT_EQ(GetLastError(), kAccessDenied);
  EXPECT_EQ(Read(P("ro")), "protected");
}

TEST_F(FilesCopyTest, AFailedCopyLeavesTheOldTargetAndNoPartialFile)
{
  Write(P("dst"), "old target");
  ASSERT_EQ(mkdir(P("dir").c_str(), 0777), 0);
  ASSERT_EQ(mkdir(P("target-dir").c_str(), 0777), 0);
  Write(P("src"), "data");

  struct {
    const char* What;
    String Source;
    String Target;
    std::uint32_t Error;
  } cases[] = {
      {"missing source", P("missing"), P("dst"), kENOENT},
      {"folder as source", P("dir"), P("dst"), kAccessDenied},
      // Looks like a regular file but every read fails: the copy breaks off midway.
      {"unreadable source", "/proc/self/mem", P("dst"), kIoDevice},
      {"folder as target", P("src"), P("target-dir"), kAccessDenied},
      {"target folder missing", P("src"), P("nowhere/dst"), kENOENT},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.What);
    SetLastError(0);
    EXPECT_FALSE(CopyFile(c.Source, c.Target, false));
    EXPECT_EQ(GetLastError(), c.Error);
    EXPECT_EQ(Read(P("dst")), "old target");
    EXPECT_EQ(List(FDir), (std::vector<String>{"dir", "dst", "src", "target-dir"}));
    EXPECT_TRUE(List(P("target-dir")).empty());
  }
}

TEST_F(FilesCopyTest, AnUnreadableSourceLeavesTheTargetAlone)
{
  if (geteuid() == 0)
    GTEST_SKIP() << "root reads every file";
  Write(P("src"), "secret");
  ASSERT_EQ(chmod(P("src").c_str(), 0), 0);
  Write(P("dst"), "old target");
  EXPECT_FALSE(CopyFile(P("src"), P("dst"), false));
  EXPECT_EQ(GetLastError(), kAccessDenied);
  EXPECT_EQ(Read(P("dst")), "old target");
  EXPECT_EQ(List(FDir), (std::vector<String>{"dst", "src"}));
}

TEST_F(FilesCopyTest, AReplacementTakesEffectOnlyWhenCommitted)
{
  Write(P("target"), "old");
  {
    TReplacementFile dropped(P("target"));
    ASSERT_GE(dropped.GetHandle(), 0);
    ASSERT_TRUE(dropped.Write("new", 3));
  }
  EXPECT_EQ(Read(P("target")), "old");
  EXPECT_EQ(List(FDir), (std::vector<String>{"target"})) << "an abandoned replacement leaves nothing behind";

  TReplacementFile refused(P("target"));
  ASSERT_TRUE(refused.Write("new", 3));
  EXPECT_FALSE(refused.Commit(false, true));
  EXPECT_EQ(errno, EEXIST);
  EXPECT_EQ(Read(P("target")), "old");

  // A new file gets the mode any new file gets: 0666 less the umask.
  const mode_t mask = umask(022);
  TReplacementFile fresh(P("fresh"));
  ASSERT_TRUE(fresh.Write("data", 4));
  ASSERT_TRUE(fresh.Commit(true, true));
  umask(mask);
  EXPECT_EQ(Read(P("fresh")), "data");
  EXPECT_EQ(Mode(P("fresh")), 0644u);
}

TEST_F(FilesCopyTest, ASaveKilledMidWayLeavesNoTemporaryFile)
{
  Write(P("target"), "old");
  const pid_t child = fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    TReplacementFile save(P("target"));
    const std::string chunk(1 << 20, 'x');
    for (int i = 0; i < 4; ++i)
      if (!save.Write(chunk.data(), chunk.size()))
        _exit(2);
    kill(getpid(), SIGKILL);  // killed before the save completes
    _exit(3);
  }
  int status = 0;
  ASSERT_EQ(waitpid(child, &status, 0), child);
  ASSERT_TRUE(WIFSIGNALED(status)) << "the child could not write: " << status;
  EXPECT_EQ(Read(P("target")), "old");
  EXPECT_EQ(List(FDir), (std::vector<String>{"target"}));

  // A completed save leaves only the target too.
  TReplacementFile done(P("target"));
  ASSERT_TRUE(done.Write("new", 3));
  ASSERT_TRUE(done.Commit(true, false));
  EXPECT_EQ(Read(P("target")), "new");
  EXPECT_EQ(List(FDir), (std::vector<String>{"target"}));
}

// ---------------------------------------------------------------------------------------

using FilesDateTest = FilesFixture;

TEST_F(FilesDateTest, FileSetDateAndFileAgeRoundTrip)
{
  Write(P("f"), "x");
  const int age = Dos(2021, 6, 15, 13, 45, 30);
  EXPECT_EQ(FileSetDate(P("f"), age), 0);
  EXPECT_EQ(FileAge(P("f")), age);
  EXPECT_EQ(MTime(P("f")).tv_sec, Local(2021, 6, 15, 13, 45, 30));

  // Packed dates have two-second steps; the TDateTime form keeps milliseconds.
  SetMTime(P("f"), Local(2021, 6, 15, 13, 45, 31), 250000000);
  EXPECT_EQ(FileAge(P("f")), age);
  TDateTime when = 0;
  EXPECT_TRUE(FileAge(P("f"), when));
  EXPECT_NEAR(when, 44362 + (13 * 3600 + 45 * 60 + 31.25) / 86400.0, 1e-9);

  // Through a link, and with the other separator.
  ASSERT_EQ(symlink(P("f").c_str(), P("link").c_str()), 0);
  EXPECT_EQ(FileAge(P("link")), age);
  EXPECT_EQ(FileSetDate(FDir + "link", Dos(2000, 1, 2, 3, 4, 6)), 0);
  EXPECT_EQ(FileAge(P("f")), Dos(2000, 1, 2, 3, 4, 6));
}

TEST_F(FilesDateTest, MissingFilesAndBadDates)
{
  // A folder has no file age either.
  ASSERT_EQ(mkdir(P("dir").c_str(), 0777), 0);
  ASSERT_EQ(symlink(P("dir").c_str(), P("dir-link").c_str()), 0);
  struct {
    const char* Name;
    std::uint32_t Error;
  } noAge[] = {{"missing", kENOENT}, {"dir", kAccessDenied}, {"dir-link", kAccessDenied}};
  TDateTime when = 7;
  for (const auto& c : noAge) {
    SCOPED_TRACE(c.Name);
    SetLastError(0);
    EXPECT_EQ(FileAge(P(c.Name)), -1);
    EXPECT_EQ(GetLastError(), c.Error);
    EXPECT_FALSE(FileAge(P(c.Name), when));
    EXPECT_EQ(when, 7);
  }
  EXPECT_EQ(FileSetDate(P("missing"), Dos(2000, 1, 1, 0, 0, 0)), ENOENT);

  Write(P("f"), "x");
  SetMTime(P("f"), Local(2010, 5, 5, 5, 5, 6));
  const int before = FileAge(P("f"));
  for (int bad : {Dos(2000, 13, 1, 0, 0, 0), Dos(2000, 0, 1, 0, 0, 0), Dos(2000, 1, 0, 0, 0, 0),
                  Dos(2000, 1, 1, 24, 0, 0), Dos(2000, 1, 1, 0, 60, 0), -1}) {
    SCOPED_TRACE(bad);
    EXPECT_EQ(FileSetDate(P("f"), bad), EINVAL);
    EXPECT_EQ(FileAge(P("f")), before);
  }
}

TEST_F(FilesDateTest, DatesOutsideThePackedRangeAreClampedNotMissing)
{
  Write(P("old"), "x");
  SetMTime(P("old"), Local(1975, 7, 1, 12, 0, 0));
  EXPECT_EQ(FileAge(P("old")), Dos(1980, 1, 1, 0, 0, 0));
  TDateTime when = 0;
  EXPECT_TRUE(FileAge(P("old"), when));
  EXPECT_NEAR(when, 27576.5, 1e-9);  // 1975-07-01 12:00 exactly

  Write(P("epoch"), "x");
  SetMTime(P("epoch"), 0);
  EXPECT_NE(FileAge(P("epoch")), -1);

  // Before 1899-12-30 the fraction still counts forward from midnight. ext4 keeps no date
  // before 1901, tmpfs does.
  const time_t ancient = Local(1899, 12, 29, 6, 0, 0);
  for (const String& path : {P("ancient"), "/dev/shm/qv-files-ancient-" + std::to_string(getpid())}) {
    Write(path, "x");
    SetMTime(path, ancient);
    const bool kept = MTime(path).tv_sec == ancient;
    if (kept) {
      EXPECT_TRUE(FileAge(path, when));
      EXPECT_NEAR(when, -1.25, 1e-9);
      EXPECT_EQ(FileAge(path), Dos(1980, 1, 1, 0, 0, 0));
    }
    if (path.rfind("/dev/shm/", 0) == 0)
      unlink(path.c_str());
    if (kept)
      break;
  }
}

// ---------------------------------------------------------------------------------------

using FilesAttrTest = FilesFixture;

TEST_F(FilesAttrTest, FileGetAttrMapsTheFileKinds)
{
  Write(P("file"), "x");
  Write(P(".hidden"), "x");
  Write(P("ro"), "x");
  ASSERT_EQ(chmod(P("ro").c_str(), 0444), 0);
  ASSERT_EQ(mkdir(P("dir").c_str(), 0777), 0);
  ASSERT_EQ(mkdir(P(".git").c_str(), 0777), 0);
  ASSERT_EQ(symlink(P("file").c_str(), P("link").c_str()), 0);
  ASSERT_EQ(symlink(P("dir").c_str(), P("dirlink").c_str()), 0);
  ASSERT_EQ(symlink(P("missing").c_str(), P("dangling").c_str()), 0);
  ASSERT_EQ(mkfifo(P("fifo").c_str(), 0600), 0);

  struct {
    String Path;
    int Attr;
  } cases[] = {
      {P("file"), faArchive},
      {P(".hidden"), faHidden | faArchive},
      {P("ro"), faReadOnly | faArchive},
      {P("dir"), faDirectory},
      {P("dir/"), faDirectory},
      {P(".git/"), faHidden | faDirectory},
      {P(".git\\"), -1},
      {P("dir/."), faDirectory},
      {P("link"), faSymLink | faArchive},
      {P("dirlink"), faSymLink | faDirectory},
      {P("dangling"), faSymLink},
      {P("fifo"), faSysFile},
      {P("missing"), -1},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.Path);
    EXPECT_EQ(FileGetAttr(c.Path), c.Attr);
  }
  EXPECT_EQ(FileGetAttr("/dev/null") & (faSysFile | faArchive | faDirectory), faSysFile);
}

// ---------------------------------------------------------------------------------------

using FilesHandleTest = FilesFixture;

TEST_F(FilesHandleTest, CreateWriteSeekReadTruncate)
{
  int h = FileCreate(P("f.bin"));
  ASSERT_GE(h, 0);
  EXPECT_TRUE(fcntl(h, F_GETFD) & FD_CLOEXEC);
  EXPECT_EQ(FileWrite(h, "0123456789", 10), 10);
  EXPECT_EQ(FileSeek(h, 0, 1), 10);
  EXPECT_EQ(FileSeek(h, -4, 2), 6);
  char buf[16] = {};
  EXPECT_EQ(FileRead(h, buf, sizeof buf), 4);  // short only at the end
  EXPECT_EQ(String(buf, 4), "6789");
  EXPECT_EQ(FileRead(h, buf, sizeof buf), 0);
  EXPECT_EQ(FileSeek(h, 2, 0), 2);
  EXPECT_EQ(FileRead(h, buf, 3), 3);
  EXPECT_EQ(String(buf, 3), "234");
  EXPECT_TRUE(FileTruncate(h, 4));
  EXPECT_EQ(FileSeek(h, 0, 2), 4);
  EXPECT_TRUE(FileFlush(h));
  FileClose(h);
  EXPECT_EQ(Read(P("f.bin")), "0123");

  EXPECT_EQ(FileSeek(h, 0, 0), -1);  // closed
  EXPECT_EQ(GetLastError(), kInvalidHandle);
}

TEST_F(FilesHandleTest, OpenModes)
{
  Write(P("f"), "abc");
  char buf[8] = {};

  int r = FileOpen(P("f"), fmOpenRead | fmShareDenyWrite);
  ASSERT_GE(r, 0);
  EXPECT_TRUE(fcntl(r, F_GETFD) & FD_CLOEXEC);
  EXPECT_EQ(FileWrite(r, "x", 1), -1);
  EXPECT_EQ(GetLastError(), kInvalidHandle);
  EXPECT_EQ(FileRead(r, buf, 8), 3);
  FileClose(r);

  int w = FileOpen(P("f"), fmOpenWrite | fmShareExclusive);
  ASSERT_GE(w, 0);
  EXPECT_EQ(FileRead(w, buf, 1), -1);
  EXPECT_EQ(FileWrite(w, "X", 1), 1);  // opening does not truncate
  FileClose(w);
  EXPECT_EQ(Read(P("f")), "Xbc");

  int rw = FileOpen(P("f"), fmOpenReadWrite);
  ASSERT_GE(rw, 0);
  EXPECT_EQ(FileSeek(rw, 0, 2), 3);
  EXPECT_EQ(FileWrite(rw, "d", 1), 1);
  EXPECT_EQ(FileSeek(rw, 0, 0), 0);
  EXPECT_EQ(FileRead(rw, buf, 8), 4);
  FileClose(rw);
  EXPECT_EQ(Read(P("f")), "Xbcd");

  ASSERT_EQ(mkdir(P("dir").c_str(), 0777), 0);
  struct {
    String Path;
    unsigned Mode;
    std::uint32_t Error;
  } failures[] = {
      {P("missing"), fmOpenRead, kENOENT},
      {P("dir"), fmOpenRead, kAccessDenied},
      {P("f"), 3, kInvalidParameter},
      {P("f"), fmCreate, kInvalidParameter},
  };
  for (const auto& c : failures) {
    SCOPED_TRACE(c.Path + " mode " + std::to_string(c.Mode));
    EXPECT_EQ(FileOpen(c.Path, c.Mode), -1);
    EXPECT_EQ(GetLastError(), c.Error);
  }
}

TEST_F(FilesHandleTest, FileCreateEmptiesAnExistingFileAndTakesRights)
{
  Write(P("f"), "old contents");
  int h = FileCreate(P("f"));
  ASSERT_GE(h, 0);
  FileClose(h);
  EXPECT_EQ(Read(P("f")), "");

  h = FileCreate(FDir + "g", 0600);
  ASSERT_GE(h, 0);
  FileClose(h);
  EXPECT_EQ(Mode(P("g")), 0600u);

  EXPECT_EQ(FileCreate(P("no/such/file")), -1);
  EXPECT_EQ(GetLastError(), kENOENT);
}

TEST_F(FilesHandleTest, AWriteToAFullDiskReportsFailure)
{
  int h = FileOpen("/dev/full", fmOpenWrite);
  if (h < 0)
    GTEST_SKIP() << "no /dev/full";
  EXPECT_EQ(FileWrite(h, "data", 4), -1);
  EXPECT_EQ(GetLastError(), kDiskFull);
  FileClose(h);
}

TEST_F(FilesHandleTest, LargeReadsAndWritesComeWhole)
{
  String data(5 * 1024 * 1024 + 3, '\0');
  for (size_t i = 0; i < data.size(); ++i)
    data[i] = static_cast<char>(i * 131 % 251);
  int h = FileCreate(P("big"));
  ASSERT_GE(h, 0);
  EXPECT_EQ(FileWrite(h, data.data(), static_cast<Int64>(data.size())), static_cast<Int64>(data.size()));
  EXPECT_EQ(FileSeek(h, 0, 0), 0);
  String back(data.size(), 'x');
  EXPECT_EQ(FileRead(h, back.data(), static_cast<Int64>(back.size())), static_cast<Int64>(data.size()));
  EXPECT_TRUE(back == data);
  FileClose(h);
}

TEST_F(FilesHandleTest, FileReadCollectsChunksUntilCountOrEnd)
{
  // A packet socket hands out one message per read, like a pipe fed in bursts.
  int fds[2];
  ASSERT_EQ(socketpair(AF_UNIX, SOCK_SEQPACKET, 0, fds), 0);
  ASSERT_EQ(write(fds[1], "abc", 3), 3);
  ASSERT_EQ(write(fds[1], "def", 3), 3);
  ASSERT_EQ(write(fds[1], "gh", 2), 2);
  ASSERT_EQ(shutdown(fds[1], SHUT_WR), 0);
  char buf[16] = {};
  EXPECT_EQ(FileRead(fds[0], buf, 6), 6);
  EXPECT_EQ(String(buf, 6), "abcdef");
  EXPECT_EQ(FileRead(fds[0], buf, 16), 2);
  EXPECT_EQ(FileRead(fds[0], buf, 16), 0);
  FileClose(fds[0]);
  FileClose(fds[1]);
}

// ---------------------------------------------------------------------------------------

TEST(FilesMatchTest, WindowsSearchPatterns)
{
  struct {
    const char* Name;
    const char* Pattern;
    bool Expected;
  } cases[] = {
      {"A.AVI", "*.avi", true},
      {"a.avi", "*.AVI", true},
      {"x.avi.part", "*.avi", false},
      {"a.b.avi", "*.avi", true},
      {"avi", "*.avi", false},
      {"noext", "*.*", true},
      {"a.b", "*.*", true},
      {".hidden", "*.*", true},
      {"anything", "*", true},
      {"", "*", true},
      {"noext", "*.", true},
      {"a.b", "*.", false},
      {"abc", "a?c", true},
      {"ac", "a?c", false},
      {"abbc", "a?c", false},
      {"a.c", "a?c", false},
      {"ab", "ab?", true},     // '?' also matches nothing at the end
      {"ab", "ab??", true},
      {"a.txt", "a?.txt", true},  // ... and before a dot
      {"ab.txt", "a?.txt", true},
      {"abc.txt", "a?.txt", false},
      {"video.mkv", "video.mkv", true},
      {"VIDEO.MKV", "video.mkv", true},
      {"video.mkv", "video", false},
      {"abc", "a*.*", true},
      {"abc.d", "a*.*", true},
      {"bc", "a*", false},
      {"aaaaaaaaaaaaaaaaaaaaaaaaaaaaab", "*a*a*a*a*a*a*a*a*c", false},
      {"report-2021.log", "*20?1*", true},
      {"mplayer.exe", "mplayer*.exe", true},
      {"mplayer2.exe", "mplayer*.exe", true},
      {"\xC3\xA4.avi", "?.avi", true},  // one UTF-8 character, two bytes
      {"\xC3\xA4.avi", "??.avi", true},
      {"\xC3\xA4\xC3\xB6.avi", "?.avi", false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << c.Name << " ~ " << c.Pattern);
    EXPECT_EQ(MatchesFindPattern(c.Name, c.Pattern), c.Expected);
  }
}

// A folder with files, links, hidden entries and sub-folders to search.
class FilesFindTest : public FilesFixture {
protected:
  void SetUp() override
  {
    FilesFixture::SetUp();
    for (const char* name : {"A.AVI", "b.avi", "abc", "axc", "ac", ".hidden", "x.avi.part"})
      Write(P(name), "1234");
    Write(P("c.mkv"), String(1000, 'm'));
    ASSERT_EQ(mkdir(P("sub").c_str(), 0777), 0);
    ASSERT_EQ(mkdir(P(".git").c_str(), 0777), 0);
    ASSERT_EQ(symlink(P("abc").c_str(), P("mplayer.exe").c_str()), 0);
  }

  // Every name FindFirst/FindNext return, in order; checks FindNext stays at the end.
  std::vector<String> Find(const String& Path, int Attr, int* FirstResult = nullptr)
  {
    std::vector<String> names;
    TSearchRec rec;
    int result = FindFirst(Path, Attr, rec);
    if (FirstResult)
      *FirstResult = result;
    while (result == 0) {
      names.push_back(rec.Name);
      result = FindNext(rec);
    }
    if (!FirstResult) {
      EXPECT_EQ(result, ENOENT);
    }
    if (!names.empty()) {
      EXPECT_EQ(FindNext(rec), ENOENT);  // and stays at the end
    }
    FindClose(rec);
    return names;
  }
};

using Names = std::vector<String>;

TEST_F(FilesFindTest, PatternsAndAttributesSelectTheEntries)
{
  const Names plain = {"A.AVI", "abc", "ac", "axc", "b.avi", "c.mkv", "mplayer.exe", "x.avi.part"};
  const Names all = {".", "..", ".git", ".hidden", "A.AVI", "abc", "ac", "axc", "b.avi",
                     "c.mkv", "mplayer.exe", "sub", "x.avi.part"};
  struct {
    const char* Pattern;
    int Attr;
    Names Expected;
  } cases[] = {
      {"*.avi", 0, {"A.AVI", "b.avi"}},
      {"*.AVI", faAnyFile, {"A.AVI", "b.avi"}},
      {"*", 0, plain},
      {"*.*", faArchive | faReadOnly, plain},
      {"*", faAnyFile, all},
      {"*.*", faAnyFile, all},
      {"*", faDirectory, {".", "..", "A.AVI", "abc", "ac", "axc", "b.avi", "c.mkv", "mplayer.exe",
                          "sub", "x.avi.part"}},
      {"*", faHidden, {".hidden", "A.AVI", "abc", "ac", "axc", "b.avi", "c.mkv", "mplayer.exe",
                       "x.avi.part"}},
      {"a?c", 0, {"abc", "axc"}},
      {"*.", 0, {"abc", "ac", "axc"}},
      {"*.exe", 0, {"mplayer.exe"}},
      {"sub", faDirectory, {"sub"}},
      {"sub", 0, {}},
      {"nothing*", faAnyFile, {}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << c.Pattern << " attr " << c.Attr);
    EXPECT_EQ(Find(FDir + c.Pattern, c.Attr), c.Expected);
  }
}

TEST_F(FilesFindTest, FillsTheRecord)
{
  SetMTime(P("c.mkv"), Local(2022, 2, 3, 4, 5, 6));
  TSearchRec rec;
  ASSERT_EQ(FindFirst(FDir + "c.*", faAnyFile, rec), 0);
  EXPECT_EQ(rec.Name, "c.mkv");
  EXPECT_EQ(rec.Size, 1000);
  EXPECT_EQ(rec.Attr, faArchive);
  EXPECT_EQ(rec.Time, Dos(2022, 2, 3, 4, 5, 6));
  EXPECT_EQ(rec.ExcludeAttr, 0);
  EXPECT_EQ(FindNext(rec), ENOENT);
  FindClose(rec);

  ASSERT_EQ(FindFirst(FDir + "*.exe", 0, rec), 0);
  EXPECT_EQ(rec.Attr, faArchive | faSymLink);
  EXPECT_EQ(rec.Size, 4);
  EXPECT_EQ(rec.ExcludeAttr, faHidden | faSysFile | faVolumeID | faDirectory);
  FindClose(rec);

  ASSERT_EQ(FindFirst(FDir + ".git", faHidden | faDirectory, rec), 0);
  EXPECT_EQ(rec.Attr, faHidden | faDirectory);
  EXPECT_EQ(rec.Size, 0);
  FindClose(rec);
}

TEST_F(FilesFindTest, FolderPartUpToTheLastSlashOrNone)
{
  Write(P("sub/inner.mkv"), "x");
  Write(P("sub\\x.mkv"), "x");  // a name holding "\\" in the folder itself
  EXPECT_EQ(Find(FDir + "sub/*.mkv", 0), Names{"inner.mkv"});
  EXPECT_EQ(Find(FDir + "sub\\*.mkv", 0), Names{"sub\\x.mkv"});

  const String old = GetCurrentDir();
  ASSERT_TRUE(SetCurrentDir(FDir + "sub"));
  EXPECT_EQ(Find("*.mkv", 0), Names{"inner.mkv"});
  EXPECT_EQ(Find("../b.*", 0), Names{"b.avi"});

  // A relative search goes on in its folder when the current directory changes.
  ASSERT_TRUE(SetCurrentDir(FDir));
  TSearchRec rec;
  ASSERT_EQ(FindFirst("*.avi", 0, rec), 0);
  EXPECT_EQ(rec.Name, "A.AVI");
  ASSERT_TRUE(SetCurrentDir("sub"));
  ASSERT_EQ(FindNext(rec), 0);
  EXPECT_EQ(rec.Name, "b.avi");
  EXPECT_EQ(rec.Size, 4);
  FindClose(rec);
  ASSERT_TRUE(SetCurrentDir(old));
}

TEST_F(FilesFindTest, MissingFolderAndFindNextWithoutASearch)
{
  int first = 0;
  EXPECT_TRUE(Find(FDir + "missing/*", faAnyFile, &first).empty());
  EXPECT_EQ(first, ENOENT);
  EXPECT_EQ(GetLastError(), kENOENT);

  int notDir = 0;
  EXPECT_TRUE(Find(FDir + "abc/*", faAnyFile, &notDir).empty());
  EXPECT_NE(notDir, 0);

  TSearchRec rec;
  EXPECT_NE(FindNext(rec), 0);
  FindClose(rec);
  FindClose(rec);
}

TEST_F(FilesFindTest, NoDescriptorIsLeftOpen)
{
  auto openDescriptors = [] { return List("/proc/self/fd/").size(); };
  const size_t before = openDescriptors();
  {
    TSearchRec abandoned;  // never closed: its folder goes with the record
    ASSERT_EQ(FindFirst(FDir + "*", faAnyFile, abandoned), 0);
  }
  Find(FDir + "*", faAnyFile);
  Find(FDir + "nothing*", faAnyFile);
  EXPECT_FALSE(CopyFile(FDir + "sub", P("x"), false));
  EXPECT_FALSE(CopyFile("/proc/self/mem", P("x"), false));
  EXPECT_FALSE(CopyFile(P("abc"), P("b.avi"), true));
  EXPECT_TRUE(CopyFile(P("abc"), P("copy"), true));
  EXPECT_EQ(FileOpen(FDir + "sub", fmOpenRead), -1);
  EXPECT_EQ(openDescriptors(), before);
}

TEST_F(FilesFindTest, EntriesDeletedDuringTheSearchAreSkipped)
{
  TSearchRec rec;
  ASSERT_EQ(FindFirst(FDir + "a*", 0, rec), 0);
  EXPECT_EQ(rec.Name, "A.AVI");
  ASSERT_EQ(unlink(P("abc").c_str()), 0);
  ASSERT_EQ(unlink(P("ac").c_str()), 0);
  ASSERT_EQ(FindNext(rec), 0);
  EXPECT_EQ(rec.Name, "axc");
  EXPECT_EQ(FindNext(rec), ENOENT);
  FindClose(rec);
}

}  // namespace
