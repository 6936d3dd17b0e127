#include "platform/rtl/Streams.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <limits>
#include <sstream>
#include <vector>

#include "platform/rtl/Exceptions.h"
#include "platform/rtl/Files.h"
#include "platform/rtl/IniFiles.h"
#include "platform/rtl/StringList.h"
#include "tests/support/TempDirTest.h"

namespace {

String ReadAll(TStream& Stream)
{
  String result(static_cast<std::size_t>(Stream.GetSize() - Stream.GetPosition()), '\0');
  Stream.ReadBuffer(result.data(), static_cast<Int64>(result.size()));
  return result;
}

void Write(TStream& Stream, const String& S)
{
  Stream.WriteBuffer(S.data(), static_cast<Int64>(S.size()));
}

// --- memory streams ---

TEST(MemoryStreamTest, ReadWriteSeekAndSize)
{
  TMemoryStream stream;
  Write(stream, "hello world");
  EXPECT_EQ(stream.GetSize(), 11);
  EXPECT_EQ(stream.GetPosition(), 11);
  EXPECT_EQ(stream.Seek(-5, soEnd), 6);
  Write(stream, "W");
  EXPECT_EQ(stream.Seek(0, soFromBeginning), 0);
  EXPECT_EQ(ReadAll(stream), "hello World");
  EXPECT_EQ(String(static_cast<const char*>(stream.GetMemory()), 11), "hello World");

  char buffer[8];
  stream.SetPosition(9);
  EXPECT_EQ(stream.Read(buffer, sizeof buffer), 2) << "a read stops at the end";
  EXPECT_EQ(stream.Read(buffer, sizeof buffer), 0);
  stream.SetPosition(-1);
  EXPECT_EQ(stream.Read(buffer, 1), 0);
  EXPECT_EQ(stream.Write("x", 1), 0) << "nothing is written before the start";
  stream.Seek(std::numeric_limits<Int64>::max(), soBeginning);
  EXPECT_EQ(stream.Write("x", 1), 0) << "nor where the end would lie beyond any size";
  EXPECT_THROW(stream.SetSize(std::numeric_limits<Int64>::max()), EOutOfMemory);
  stream.SetPosition(0);
  EXPECT_EQ(ReadAll(stream), "hello World") << "the contents survive";
}

TEST(MemoryStreamTest, GapsAndGrowthReadAsZeros)
{
  TMemoryStream stream;
  Write(stream, "ab");
  stream.Seek(3, soFromCurrent);
  Write(stream, "c");
  stream.SetPosition(0);
  EXPECT_EQ(ReadAll(stream), String("ab\0\0\0c", 6));

  stream.SetSize(8);
  EXPECT_EQ(stream.GetPosition(), 6) << "the position stays within the new size";
  stream.SetPosition(0);
  EXPECT_EQ(ReadAll(stream), String("ab\0\0\0c\0\0", 8));
  stream.SetSize(1);
  EXPECT_EQ(stream.GetPosition(), 1);
  EXPECT_EQ(stream.GetSize(), 1);
}

TEST(MemoryStreamTest, CapacityGrowsInWholeBlocks)
{
  TMemoryStream stream;
  const String chunk(1000, 'x');
  Int64 previous = 0;
  int growths = 0;
  for (int i = 0; i < 1000; ++i) {
    Write(stream, chunk);
    ASSERT_GE(stream.GetCapacity(), stream.GetSize());
    ASSERT_EQ(stream.GetCapacity() % 8192, 0);
    if (stream.GetCapacity() != previous) ++growths;
    previous = stream.GetCapacity();
  }
  EXPECT_LT(growths, 40) << "growth is geometric, not one block at a time";
  stream.Clear();
  EXPECT_EQ(stream.GetSize(), 0);
  EXPECT_EQ(stream.GetCapacity(), 0);
  EXPECT_EQ(stream.GetMemory(), nullptr);
}

TEST(MemoryStreamTest, ShortReadBufferRaises)
{
  TMemoryStream stream;
  Write(stream, "abc");
  stream.SetPosition(1);
  char buffer[4];
  try {
    stream.ReadBuffer(buffer, 4);
    FAIL() << "no error";
  } catch (const EReadError& e) {
    EXPECT_EQ(e.Message(), "Stream read error");
  }
}

TEST(MemoryStreamTest, CopyFrom)
{
  TStringStream source("0123456789");
  struct Case {
    Int64 SourcePosition, Count;
    Int64 Copied;
    const char* Result;
  } cases[] = {
      {4, 3, 3, "456"},
      {4, 0, 10, "0123456789"},   // 0: all of the source, from its start
      {9, -1, 10, "0123456789"},
  };
  for (const auto& c : cases) {
    TMemoryStream dest;
    source.SetPosition(c.SourcePosition);
    EXPECT_EQ(dest.CopyFrom(&source, c.Count), c.Copied);
    dest.SetPosition(0);
    EXPECT_EQ(ReadAll(dest), c.Result);
  }
  // A large copy goes through the buffer in several rounds.
  TMemoryStream big, copy;
  String data(200000, '\0');
  for (std::size_t i = 0; i < data.size(); ++i) data[i] = static_cast<char>(i * 7);
  Write(big, data);
  EXPECT_EQ(copy.CopyFrom(&big, 0), 200000);
  copy.SetPosition(0);
  EXPECT_EQ(ReadAll(copy), data);

  source.SetPosition(8);
  TMemoryStream dest;
  try {
    dest.CopyFrom(&source, 5);
    FAIL() << "no error";
  } catch (const EReadError& e) {
    EXPECT_EQ(e.Message(), "Stream read error");
  }

  // A pipe has no start to go back to nor a size: "all of it" is a read error, a count works.
  int fds[2];
  ASSERT_EQ(::pipe(fds), 0);
  ASSERT_EQ(::write(fds[1], "piped", 5), 5);
  ::close(fds[1]);
  {
    THandleStream pipe(fds[0]);
    TMemoryStream fromPipe;
    EXPECT_THROW(fromPipe.CopyFrom(&pipe, 0), EReadError);
    EXPECT_EQ(fromPipe.CopyFrom(&pipe, 5), 5);
    fromPipe.SetPosition(0);
    EXPECT_EQ(ReadAll(fromPipe), "piped");
  }
  ::close(fds[0]);
}

TEST(MemoryStreamTest, LoadAndSaveStreams)
{
  TStringStream source("contents");
  source.SetPosition(3);
  TMemoryStream stream;
  Write(stream, "previous data");
  stream.LoadFromStream(&source);
  EXPECT_EQ(stream.GetSize(), 8);
  stream.SetPosition(0);
  EXPECT_EQ(ReadAll(stream), "contents");
  stream.SetPosition(5);
  TStringStream out;
  stream.SaveToStream(&out);
  EXPECT_EQ(out.GetDataString(), "contents") << "all of it, whatever the position";
}

// --- string streams ---

TEST(StringStreamTest, WritesOverwriteAndExtend)
{
  TStringStream stream("hello world");
  stream.SetPosition(6);
  stream.WriteString("W");
  EXPECT_EQ(stream.GetDataString(), "hello World") << "the rest of the string stays";
  stream.Seek(-2, soEnd);
  stream.WriteString("LDS!");
  EXPECT_EQ(stream.GetDataString(), "hello WorLDS!");
  EXPECT_EQ(stream.GetPosition(), 13);
  stream.SetPosition(0);
  EXPECT_EQ(stream.ReadString(5), "hello");
  EXPECT_EQ(stream.ReadString(100), " WorLDS!");
  EXPECT_EQ(stream.ReadString(1), "");
  stream.SetSize(5);
  EXPECT_EQ(stream.GetDataString(), "hello");
  EXPECT_EQ(stream.GetPosition(), 5);
}

TEST(StringStreamTest, SeekStaysWithinTheString)
{
  TStringStream stream("abc");
  struct Case {
    Int64 Offset;
    TSeekOrigin Origin;
    Int64 Position;
  } cases[] = {{-5, soBeginning, 0}, {2, soBeginning, 2}, {9, soBeginning, 3},
               {-1, soEnd, 2},       {5, soEnd, 3},        {-1, soCurrent, 2}};
  for (const auto& c : cases) EXPECT_EQ(stream.Seek(c.Offset, c.Origin), c.Position) << c.Offset << "/" << c.Origin;
}

// --- file streams ---

class FileStreamTest : public TTempDirTest {};

TEST_F(FileStreamTest, CreateWriteReopenAndTruncate)
{
  const String name = Dir + "data.bin";
  {
    TFileStream stream(name, fmCreate | fmShareExclusive);
    Write(stream, "0123456789");
    EXPECT_EQ(stream.GetSize(), 10);
    EXPECT_EQ(stream.GetFileName(), name);
  }
  {
    TFileStream stream(name, fmOpenReadWrite | fmShareDenyNone);
    EXPECT_EQ(stream.Seek(-3, soFromEnd), 7);
    EXPECT_EQ(ReadAll(stream), "789");
    stream.SetPosition(2);
    Write(stream, "ab");
    stream.SetSize(6);
    EXPECT_EQ(stream.GetPosition(), 6);
  }
  EXPECT_EQ(ReadBytes(name), "01ab45");
  {
    TFileStream stream(name, fmCreate);
    EXPECT_EQ(stream.GetSize(), 0) << "fmCreate empties an existing file";
  }
}

TEST_F(FileStreamTest, OpenErrorsNameTheFileAndTheReason)
{
  std::filesystem::create_directory(Dir + "folder");
  struct Case {
    String Name;
    unsigned Mode;
    bool Create;
    const char* Reason;
  } cases[] = {
      {Dir + "missing.txt", fmOpenRead, false, "The system cannot find the file specified."},
      {Dir + "folder", fmOpenRead, false, "Access is denied."},
      {Dir + "no/such/dir.txt", fmCreate, true, "The system cannot find the file specified."},
  };
  for (const auto& c : cases) {
    try {
      TFileStream stream(c.Name, c.Mode);
      ADD_FAILURE() << "no error for " << c.Name;
    } catch (const EFCreateError& e) {
      EXPECT_TRUE(c.Create);
      EXPECT_EQ(e.Message(), "Cannot create file \"" + c.Name + "\". " + c.Reason);
    } catch (const EFOpenError& e) {
      EXPECT_FALSE(c.Create);
      EXPECT_EQ(e.Message(), "Cannot open file \"" + c.Name + "\". " + c.Reason);
    }
  }
}

TEST_F(FileStreamTest, FailuresAreNotMistakenForSuccess)
{
  const String name = Dir + "read-only.txt";
  WriteBytes(name, "abc");
  TFileStream stream(name, fmOpenRead);
  try {
    Write(stream, "x");
    FAIL() << "no error";
  } catch (const EWriteError& e) {
    EXPECT_EQ(e.Message(), "Stream write error");
  }
  // A read that fails is an error, not the end of the data.
  const int folder = ::open(Dir.c_str(), O_RDONLY | O_DIRECTORY);
  ASSERT_GE(folder, 0);
  {
    THandleStream handleStream(folder);
    char buffer[4];
    EXPECT_THROW(handleStream.Read(buffer, sizeof buffer), EReadError);
  }
  EXPECT_EQ(::close(folder), 0) << "a handle stream leaves its handle open";
}

TEST_F(FileStreamTest, MemoryStreamFileRoundTrip)
{
  TMemoryStream stream;
  const String data("bytes\0\r\n\xff", 9);
  Write(stream, data);
  stream.SaveToFile(Dir + "m.bin");
  EXPECT_EQ(ReadBytes(Dir + "m.bin"), data);
  TMemoryStream loaded;
  loaded.LoadFromFile(Dir + "m.bin");
  EXPECT_EQ(ReadAll(loaded), data);
  EXPECT_THROW(loaded.LoadFromFile(Dir + "absent.bin"), EFOpenError);
  loaded.SetPosition(0);
  EXPECT_EQ(ReadAll(loaded), data) << "a failed load keeps the old contents";
}

// --- safe saving ---

TEST_F(FileStreamTest, SafeSaveReplacesTheFileAndKeepsItsMode)
{
  const String name = Dir + "conf.ini";
  WriteBytes(name, "old");
  ASSERT_EQ(::chmod(name.c_str(), 0640), 0);
  AtomicSaveToFile(name, "new contents", 12);
  EXPECT_EQ(ReadBytes(name), "new contents");
  struct stat st;
  ASSERT_EQ(::stat(name.c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 07777, 0640u);
  AtomicSaveToFile(name, "", 0);
  EXPECT_EQ(ReadBytes(name), "");
  EXPECT_EQ(DirEntries(), (std::vector<String>{"conf.ini"}));
}

TEST_F(FileStreamTest, SafeSaveWritesThroughASymbolicLink)
{
  std::filesystem::create_directory(Dir + "real");
  WriteBytes(Dir + "real/target.ini", "old");
  std::filesystem::create_symlink("real/target.ini", Dir + "link.ini");
  AtomicSaveToFile(Dir + "link.ini", "new", 3);
  EXPECT_TRUE(std::filesystem::is_symlink(Dir + "link.ini"));
  EXPECT_EQ(ReadBytes(Dir + "real/target.ini"), "new");
}

// In a sticky world-writable folder (/tmp) a save follows only links that are ours or the
// folder owner's: a link another user planted there must not lead the save into our files.
TEST_F(FileStreamTest, SafeSaveFollowsLinksInSharedFoldersOnlyUnderTheKernelsRule)
{
  if (::geteuid() != 0) GTEST_SKIP() << "needs root to give links and folders another owner";
  const uid_t other = 65534;
  auto folder = [&](const String& Name, mode_t Mode, uid_t Owner) {
    std::filesystem::create_directory(Dir + Name);
    ASSERT_EQ(::chmod((Dir + Name).c_str(), Mode), 0);
    ASSERT_EQ(::chown((Dir + Name).c_str(), Owner, 0), 0);
  };
  folder("shared", 01777, 0);        // like /tmp, ours
  folder("theirs", 01777, other);    // a shared folder of the other user
  folder("plain", 0777, 0);          // world-writable, not sticky
  folder("sticky", 01755, 0);        // sticky, not world-writable
  folder("victimdir", 0755, 0);
  const struct {
    String Link;
    String To;
    uid_t Owner;
    bool Followed;
  } cases[] = {
      {"shared/planted.ini", Dir + "victim1.ini", other, false},
      {"shared/mine.ini", Dir + "victim2.ini", 0, true},
      {"theirs/owners.ini", Dir + "victim3.ini", other, true},   // the folder owner's link
      {"plain/other.ini", Dir + "victim4.ini", other, true},
      {"sticky/other.ini", Dir + "victim5.ini", other, true},
      {"shared/relative.ini", "../victim6.ini", other, false},
      {"shared/dangling.ini", Dir + "created.ini", other, false},
  };
  for (const auto& c : cases) {
    if (c.To != Dir + "created.ini") WriteBytes(c.To[0] == '/' ? c.To : Dir + "victim6.ini", "precious");
    ASSERT_EQ(::symlink(c.To.c_str(), (Dir + c.Link).c_str()), 0);
    ASSERT_EQ(::lchown((Dir + c.Link).c_str(), c.Owner, 0), 0);
  }
  for (const auto& c : cases) {
    SCOPED_TRACE(c.Link);
    const String target = c.To[0] == '/' ? c.To : Dir + "victim6.ini";
    if (c.Followed) {
      AtomicSaveToFile(Dir + c.Link, "saved", 5);
      EXPECT_EQ(ReadBytes(target), "saved");
    } else {
      try {
        AtomicSaveToFile(Dir + c.Link, "saved", 5);
        ADD_FAILURE() << "the link was followed";
      } catch (const EFCreateError& e) {
        EXPECT_EQ(e.Message(), "Cannot create file \"" + Dir + c.Link + "\". Access is denied.");
      }
      EXPECT_EQ(ReadBytes(target), target == Dir + "created.ini" ? "" : "precious");
      EXPECT_TRUE(std::filesystem::is_symlink(Dir + c.Link));
    }
  }
  EXPECT_FALSE(std::filesystem::exists(Dir + "created.ini"));

  // A planted link to a folder, in the middle of the name.
  ASSERT_EQ(::symlink((Dir + "victimdir").c_str(), (Dir + "shared/dir").c_str()), 0);
  ASSERT_EQ(::lchown((Dir + "shared/dir").c_str(), other, 0), 0);
  EXPECT_THROW(AtomicSaveToFile(Dir + "shared/dir/new.ini", "saved", 5), EFCreateError);
  EXPECT_TRUE(std::filesystem::is_empty(Dir + "victimdir"));
  // Our own name in the shared folder is saved as usual.
  AtomicSaveToFile(Dir + "shared/own.ini", "saved", 5);
  EXPECT_EQ(ReadBytes(Dir + "shared/own.ini"), "saved");
}

// A save that fails halfway (here: the file-size limit, as a full disk would) leaves the old
// file as it was, whichever routine saved.
TEST_F(FileStreamTest, AFailedSaveLeavesTheOldFileIntact)
{
  const String name = Dir + "list.txt";
  const String big(64 * 1024, 'x');
  const std::function<void()> saves[] = {
      [&] { AtomicSaveToFile(name, big.data(), big.size()); },
      [&] {
        TMemoryStream stream;
        stream.WriteBuffer(big.data(), static_cast<Int64>(big.size()));
        stream.SaveToFile(name);
      },
      [&] {
        TStringList list;
        list.SetText(big);
        list.SaveToFile(name);
      },
      [&] {
        TMemIniFile ini(name);
        ini.WriteString("S", "k", big);
        ini.UpdateFile();
      },
      [&] {
        TIniFile ini(name);
        ini.WriteString("S", "k", big);
      },
  };
  struct rlimit old {};
  ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &old), 0);
  void (*oldHandler)(int) = std::signal(SIGXFSZ, SIG_IGN);
  int index = 0;
  for (const auto& save : saves) {
    SCOPED_TRACE(index++);
    WriteBytes(name, "old contents");
    struct rlimit small = old;
    small.rlim_cur = 4096;
    ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &small), 0);
    bool raised = false;
    try {
      save();
    } catch (const EFCreateError& e) {
      raised = true;
      EXPECT_EQ(e.Message(), "Cannot create file \"" + name + "\". There is not enough space on the disk.");
    } catch (const EIniFileException&) {
      raised = true;  // the INI file's own words for it
    }
    ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &old), 0);
    EXPECT_TRUE(raised);
    EXPECT_EQ(ReadBytes(name), "old contents");
    EXPECT_EQ(DirEntries(), (std::vector<String>{"list.txt"})) << "no temporary file is left";
  }
  std::signal(SIGXFSZ, oldHandler);
}

TEST_F(FileStreamTest, SafeSaveFailuresLeaveNothingBehind)
{
  std::filesystem::create_directory(Dir + "folder");
  struct Case {
    String Name;
    const char* Reason;
  } cases[] = {
      {Dir + "folder", "Access is denied."},
      {Dir + "missing/file.txt", "The system cannot find the file specified."},
      {String(), "The system cannot find the file specified."},
  };
  for (const auto& c : cases) {
    try {
      AtomicSaveToFile(c.Name, "data", 4);
      ADD_FAILURE() << "no error for " << c.Name;
    } catch (const EFCreateError& e) {
      EXPECT_EQ(e.Message(), "Cannot create file \"" + c.Name + "\". " + c.Reason);
    }
  }
  EXPECT_EQ(DirEntries(), (std::vector<String>{"folder"}));
  EXPECT_TRUE(std::filesystem::is_empty(Dir + "folder"));
}

}  // namespace
