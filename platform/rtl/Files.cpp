#include "platform/rtl/Files.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <ctime>
#include <string>
#include <vector>

#include "platform/rtl/Exceptions.h"
#include "platform/rtl/Paths.h"
#include "platform/rtl/RtlConsts.h"

namespace {

// Records errno (as its Windows code) as the last error and returns Result, for the "fail and
// tell" paths.
template <typename T>
T Fail(T Result, int Error = errno)
{
  SetLastError(Win32ErrorOfErrno(Error));
  return Result;
}

// Days from 1970-01-01 to the given civil date (proleptic Gregorian).
long DaysFromCivil(long Year, unsigned Month, unsigned Day)
{
  Year -= Month <= 2;
  const long era = (Year >= 0 ? Year : Year - 399) / 400;
  const unsigned yoe = static_cast<unsigned>(Year - era * 400);
  const unsigned doy = (153 * (Month + (Month > 2 ? -3 : 9)) + 2) / 5 + Day - 1;
  const unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
  return era * 146097 + static_cast<long>(doe) - 719468;
}

// Packs a time into the DOS date and time of the local time zone. Times outside the
// years 1980..2107 are clamped to the nearest end: an old file must not read as missing.
int DosDateFromTime(time_t Time)
{
  struct tm tm {};
  if (!localtime_r(&Time, &tm))
    return -1;
  const int year = tm.tm_year + 1900;
  if (year < 1980)
    return (1 << 21) | (1 << 16);  // 1980-01-01 00:00:00
  if (year > 2107)
    return static_cast<int>((127u << 25) | (12u << 21) | (31u << 16) | (23u << 11) | (59u << 5) | 29u);
  const unsigned packed = (static_cast<unsigned>(year - 1980) << 25) |
                          (static_cast<unsigned>(tm.tm_mon + 1) << 21) |
                          (static_cast<unsigned>(tm.tm_mday) << 16) |
                          (static_cast<unsigned>(tm.tm_hour) << 11) |
                          (static_cast<unsigned>(tm.tm_min) << 5) |
                          (static_cast<unsigned>(tm.tm_sec) / 2);
  return static_cast<int>(packed);
}

// Unpacks a DOS date and time of the local time zone; false if a field is out of range.
bool TimeFromDosDate(int DosDate, time_t& Time)
{
  const unsigned packed = static_cast<unsigned>(DosDate);
  struct tm tm {};
  tm.tm_year = static_cast<int>(packed >> 25) + 80;
  tm.tm_mon = static_cast<int>((packed >> 21) & 0x0F) - 1;
  tm.tm_mday = static_cast<int>((packed >> 16) & 0x1F);
  tm.tm_hour = static_cast<int>((packed >> 11) & 0x1F);
  tm.tm_min = static_cast<int>((packed >> 5) & 0x3F);
  tm.tm_sec = static_cast<int>(packed & 0x1F) * 2;
  tm.tm_isdst = -1;
  if (tm.tm_mon < 0 || tm.tm_mon > 11 || tm.tm_mday < 1 || tm.tm_hour > 23 || tm.tm_min > 59 ||
      tm.tm_sec > 59)
    return false;
  Time = mktime(&tm);
  return Time != static_cast<time_t>(-1);
}

// A moment as a TDateTime of the local time zone, to the millisecond.
bool DateTimeFromTimespec(const struct timespec& Ts, TDateTime& Result)
{
  struct tm tm {};
  if (!localtime_r(&Ts.tv_sec, &tm))
    return false;
  const long days = DaysFromCivil(tm.tm_year + 1900L, static_cast<unsigned>(tm.tm_mon + 1),
                                  static_cast<unsigned>(tm.tm_mday)) -
                    DaysFromCivil(1899, 12, 30);
  const double ms = ((tm.tm_hour * 60.0 + tm.tm_min) * 60.0 + tm.tm_sec) * 1000.0 +
                    static_cast<double>(Ts.tv_nsec / 1000000);
  const double fraction = ms / 86400000.0;
  // Before 1899-12-30 the whole part counts days back and the fraction still runs forward.
  Result = days >= 0 ? days + fraction : days - fraction;
  return true;
}

bool IsHiddenName(const String& Name)
{
  return !Name.empty() && Name[0] == '.' && Name != "." && Name != "..";
}

// The attributes of Path (relative to the folder DirFd, whose last part is Name), from its
// lstat data.
int AttrOf(int DirFd, const String& Path, const String& Name, const struct stat& Lst)
{
  int attr = IsHiddenName(Name) ? faHidden : 0;
  struct stat st = Lst;
  if (S_ISLNK(Lst.st_mode)) {
    attr |= faSymLink;
    if (fstatat(DirFd, Path.c_str(), &st, 0) != 0)
      return attr;  // a dangling link
  }
  if (S_ISDIR(st.st_mode))
    attr |= faDirectory;
  else if (S_ISREG(st.st_mode))
    attr |= faArchive;
  else
    attr |= faSysFile;
  if ((st.st_mode & 0222) == 0 || faccessat(DirFd, Path.c_str(), W_OK, AT_EACCESS) != 0)
    attr |= faReadOnly;
  return attr;
}

// The folder part of a native path, up to and including its last '/' ("" if none). File
// routines split names on '/' only: '\\' is a name character.
String FolderPart(const String& Path)
{
  const size_t i = Path.rfind('/');
  return i == String::npos ? String() : Path.substr(0, i + 1);
}

// The part after the last '/'.
String NamePart(const String& Path)
{
  const size_t i = Path.rfind('/');
  return i == String::npos ? Path : Path.substr(i + 1);
}

// The name part of a native path, ignoring trailing separators ("a/b/" -> "b").
String LastName(String Path)
{
  while (Path.size() > 1 && Path.back() == '/')
    Path.pop_back();
  return NamePart(Path);
}

// Writes all of Buffer; false with errno set on failure.
bool WriteAll(int Fd, const char* Buffer, size_t Count)
{
  while (Count > 0) {
    ssize_t n = write(Fd, Buffer, Count);
    if (n < 0) {
      if (errno == EINTR)
        continue;
      return false;
    }
    if (n == 0) {
      errno = EIO;
      return false;
    }
    Buffer += n;
    Count -= static_cast<size_t>(n);
  }
  return true;
}

// Renames From to To unless To exists. False with errno set (EEXIST when it does).
bool RenameNoReplace(const String& From, const String& To)
{
  if (renameat2(AT_FDCWD, From.c_str(), AT_FDCWD, To.c_str(), RENAME_NOREPLACE) == 0)
    return true;
  if (errno != EINVAL && errno != ENOSYS && errno != EOPNOTSUPP)
    return false;
  // The file system cannot rename without replacing; test first (a small race remains).
  struct stat st;
  if (lstat(To.c_str(), &st) == 0) {
    errno = EEXIST;
    return false;
  }
  return rename(From.c_str(), To.c_str()) == 0;
}

// Copies Source to Target through a temporary file beside Target; errno set on failure.
// Sync forces the copy to the disk even when no old target is replaced (for a move).
bool CopyFileNative(const String& Source, const String& Target, bool FailIfExists, bool Sync)
{
  int in = open(Source.c_str(), O_RDONLY | O_CLOEXEC);
  if (in < 0)
    return false;
  struct stat st;
  struct stat tst;
  bool targetExists = false;
  if (fstat(in, &st) != 0) {
    int error = errno;
    close(in);
    errno = error;
    return false;
  }
  if (S_ISDIR(st.st_mode)) {
    close(in);
    errno = EISDIR;
    return false;
  }
  if (lstat(Target.c_str(), &tst) == 0) {
    targetExists = true;
    // A read-only target is not replaced, as Windows refuses to.
    int error = FailIfExists ? EEXIST
                : S_ISDIR(tst.st_mode) ? EISDIR
                : (AttrOf(AT_FDCWD, Target, LastName(Target), tst) & faReadOnly) ? EACCES
                : 0;
    if (error != 0) {
      close(in);
      errno = error;
      return false;
    }
  }

  TReplacementFile out(Target);
  if (out.GetHandle() < 0) {
    int error = errno;
    close(in);
    errno = error;
    return false;
  }

  bool ok = true;
  std::vector<char> buffer(1 << 20);
  for (;;) {
    ssize_t n = read(in, buffer.data(), buffer.size());
    if (n < 0) {
      if (errno == EINTR)
        continue;
      ok = false;
      break;
    }
    if (n == 0)
      break;
    if (!out.Write(buffer.data(), static_cast<size_t>(n))) {
      ok = false;
      break;
    }
  }
  if (ok) {
    const struct timespec times[2] = {{0, UTIME_NOW}, st.st_mtim};
    // The permission bits only: set-user-id and the like are not handed on to a copy.
    ok = fchmod(out.GetHandle(), st.st_mode & 0777) == 0 && futimens(out.GetHandle(), times) == 0;
  }
  int error = errno;
  close(in);
  // Replacing a file: make sure the new data is on the disk before the old one goes.
  if (ok) {
    ok = out.Commit(targetExists || Sync, FailIfExists);
    error = errno;
  }
  errno = error;
  return ok;
}

}  // namespace

TReplacementFile::TReplacementFile(const String& Target) : FTarget(Target)
{
  // The data goes first to a file without a name, so a process killed while writing leaves
  // nothing behind; it gets a name only when complete (Commit). File systems without unnamed
  // files get a named temporary file at once.
  String dir = FolderPart(Target);
  if (dir.empty())
    dir = ".";
  if (access("/proc/self/fd", X_OK) == 0) {
    FHandle = open(dir.c_str(), O_WRONLY | O_TMPFILE | O_CLOEXEC, 0666);
    if (FHandle >= 0) {
      FUnnamed = true;
      return;
    }
  }
  FHandle = OpenTempName();
}

int TReplacementFile::OpenTempName()
{
  const String dir = FolderPart(FTarget);
  String base = NamePart(FTarget);
  if (base.size() > 200)
    base.resize(200);  // room for the suffix within a name's limit
  // Created like any new file (mode 0666 less the umask), under a name nobody else uses. With
  // an unnamed file, the name is a link to it.
  static std::atomic<unsigned> counter{0};
  int handle = -1;
  for (int attempt = 0; attempt < 100; ++attempt) {
    const auto tick = static_cast<unsigned long long>(std::chrono::steady_clock::now().time_since_epoch().count());
    FTempName = dir + "." + base + ".~" + std::to_string(getpid()) + "-" + std::to_string(counter.fetch_add(1)) +
                "-" + std::to_string(tick % 1000000);
    if (FUnnamed) {
      const String self = "/proc/self/fd/" + std::to_string(FHandle);
      if (linkat(AT_FDCWD, self.c_str(), AT_FDCWD, FTempName.c_str(), AT_SYMLINK_FOLLOW) == 0)
        return FHandle;
    } else {
      handle = open(FTempName.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
      if (handle >= 0)
        return handle;
    }
    if (errno != EEXIST)
      break;
  }
  FTempName.clear();
  return -1;
}

TReplacementFile::~TReplacementFile()
{
  if (FHandle >= 0)
    close(FHandle);
  if (!FCommitted && !FTempName.empty()) {
    const int error = errno;
    unlink(FTempName.c_str());
    errno = error;
  }
}

bool TReplacementFile::Write(const void* Buffer, std::size_t Count)
{
  return FHandle >= 0 && WriteAll(FHandle, static_cast<const char*>(Buffer), Count);
}

bool TReplacementFile::Commit(bool Sync, bool NoReplace)
{
  if (FHandle < 0) {
    errno = EBADF;
    return false;
  }
  bool ok = !Sync || fsync(FHandle) == 0;
  int error = errno;
  if (ok && FUnnamed && OpenTempName() < 0) {
    ok = false;
    error = errno;
  }
  if (close(FHandle) != 0 && ok) {
    ok = false;
    error = errno;
  }
  FHandle = -1;
  if (ok) {
    ok = NoReplace ? RenameNoReplace(FTempName, FTarget) : rename(FTempName.c_str(), FTarget.c_str()) == 0;
    error = errno;
  }
  if (!ok) {
    errno = error;
    return false;
  }
  FCommitted = true;
  if (Sync) {
    // Make the rename itself durable (best effort).
    String dir = FolderPart(FTarget);
    if (dir.empty())
      dir = ".";
    const int dirFd = open(dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dirFd >= 0) {
      (void)fsync(dirFd);
      close(dirFd);
    }
  }
  return true;
}

bool FileExists(const String& FileName)
{
  struct stat st;
  return stat(FileName.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

bool DirectoryExists(const String& Directory)
{
  struct stat st;
  return stat(Directory.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

bool ForceDirectories(const String& Dir)
{
  if (Dir.empty())
    throw EInOutError(RtlConsts::SCannotCreateDir);
  String path = Dir;
  while (path.size() > 1 && path.back() == '/')
    path.pop_back();
  // Walk up to the first level that exists, then create the missing ones downwards.
  std::vector<String> missing;
  for (String level = path; !level.empty() && !DirectoryExists(level);) {
    missing.push_back(level);
    String parent = FolderPart(level);
    while (parent.size() > 1 && parent.back() == '/')
      parent.pop_back();
    if (parent == level)
      break;
    level = parent;
  }
  for (auto it = missing.rbegin(); it != missing.rend(); ++it) {
    if (mkdir(it->c_str(), 0777) != 0 && errno != EEXIST)
      return Fail(false);
  }
  if (!DirectoryExists(path))
    return Fail(false, ENOTDIR);
  return true;
}

bool CreateDir(const String& Dir)
{
  return mkdir(Dir.c_str(), 0777) == 0 || Fail(false);
}

bool RemoveDir(const String& Dir)
{
  return rmdir(Dir.c_str()) == 0 || Fail(false);
}

bool DeleteFile(const String& FileName)
{
  const String path = FileName;
  struct stat st;
  if (lstat(path.c_str(), &st) != 0)
    return Fail(false);
  if (S_ISDIR(st.st_mode))
    return Fail(false, EISDIR);
  return unlink(path.c_str()) == 0 || Fail(false);
}

bool RenameFile(const String& OldName, const String& NewName)
{
  const String from = OldName;
  const String to = NewName;
  if (RenameNoReplace(from, to))
    return true;
  if (errno != EXDEV)
    return Fail(false);
  // Another file system: a regular file is copied over and then deleted, as a move does.
  struct stat st;
  if (lstat(from.c_str(), &st) != 0 || !S_ISREG(st.st_mode))
    return Fail(false, EXDEV);
  if (!CopyFileNative(from, to, true, true))
    return Fail(false);
  if (unlink(from.c_str()) != 0) {
    int error = errno;
    unlink(to.c_str());
    return Fail(false, error);
  }
  return true;
}

bool CopyFile(const String& ExistingFileName, const String& NewFileName, bool FailIfExists)
{
  return CopyFileNative(ExistingFileName, NewFileName, FailIfExists, false) ||
         Fail(false);
}

int FileAge(const String& FileName)
{
  struct stat st;
  if (stat(FileName.c_str(), &st) != 0)
    return Fail(-1);
  if (S_ISDIR(st.st_mode))
    return Fail(-1, EISDIR);
  return DosDateFromTime(st.st_mtim.tv_sec);
}

bool FileAge(const String& FileName, TDateTime& FileDateTime)
{
  struct stat st;
  if (stat(FileName.c_str(), &st) != 0)
    return Fail(false);
  if (S_ISDIR(st.st_mode))
    return Fail(false, EISDIR);
  return DateTimeFromTimespec(st.st_mtim, FileDateTime);
}

int FileSetDate(const String& FileName, int Age)
{
  time_t time;
  if (!TimeFromDosDate(Age, time))
    return Fail(EINVAL, EINVAL);
  const struct timespec times[2] = {{0, UTIME_OMIT}, {time, 0}};
  if (utimensat(AT_FDCWD, FileName.c_str(), times, 0) != 0)
    return Fail(errno);
  return 0;
}

bool FileSizeOf(const String& FileName, Int64& Size)
{
  struct stat st;
  if (FileName.empty() || stat(FileName.c_str(), &st) != 0 || !S_ISREG(st.st_mode)) return false;
  Size = static_cast<Int64>(st.st_size);
  return true;
}

int FileGetAttr(const String& FileName)
{
  const String path = FileName;
  struct stat st;
  if (lstat(path.c_str(), &st) != 0)
    return Fail(-1);
  return AttrOf(AT_FDCWD, path, LastName(path), st);
}

int FileOpen(const String& FileName, unsigned Mode)
{
  int flags;
  switch (Mode & 3) {
    case fmOpenRead: flags = O_RDONLY; break;
    case fmOpenWrite: flags = O_WRONLY; break;
    case fmOpenReadWrite: flags = O_RDWR; break;
    default: return Fail(-1, EINVAL);
  }
  int fd = open(FileName.c_str(), flags | O_CLOEXEC);
  if (fd < 0)
    return Fail(-1);
  // A folder opens for reading on Linux, but it is not a file: refuse it here.
  struct stat st;
  const int error = fstat(fd, &st) != 0 ? errno : S_ISDIR(st.st_mode) ? EISDIR : 0;
  if (error != 0) {
    close(fd);
    return Fail(-1, error);
  }
  return fd;
}

int FileCreate(const String& FileName)
{
  return FileCreate(FileName, 0666);
}

int FileCreate(const String& FileName, int Rights)
{
  int fd = open(FileName.c_str(), O_RDWR | O_CREAT | O_TRUNC | O_CLOEXEC,
                static_cast<mode_t>(Rights));
  return fd >= 0 ? fd : Fail(-1);
}

Int64 FileRead(int Handle, void* Buffer, Int64 Count)
{
  if (Count < 0)
    return Fail<Int64>(-1, EINVAL);
  char* p = static_cast<char*>(Buffer);
  Int64 done = 0;
  while (done < Count) {
    ssize_t n = read(Handle, p + done, static_cast<size_t>(Count - done));
    if (n < 0) {
      if (errno == EINTR)
        continue;
      // What was read is handed out; the error shows on the next call.
      return done > 0 ? done : Fail<Int64>(-1);
    }
    if (n == 0)
      break;
    done += n;
  }
  return done;
}

Int64 FileWrite(int Handle, const void* Buffer, Int64 Count)
{
  if (Count < 0)
    return Fail<Int64>(-1, EINVAL);
  if (!WriteAll(Handle, static_cast<const char*>(Buffer), static_cast<size_t>(Count)))
    return Fail<Int64>(-1);
  return Count;
}

Int64 FileSeek(int Handle, Int64 Offset, int Origin)
{
  if (Origin < 0 || Origin > 2)
    return Fail<Int64>(-1, EINVAL);
  static const int whence[] = {SEEK_SET, SEEK_CUR, SEEK_END};
  off_t pos = lseek(Handle, static_cast<off_t>(Offset), whence[Origin]);
  return pos >= 0 ? static_cast<Int64>(pos) : Fail<Int64>(-1);
}

bool FileTruncate(int Handle, Int64 Size)
{
  return ftruncate(Handle, static_cast<off_t>(Size)) == 0 || Fail(false);
}

void FileClose(int Handle)
{
  // Not retried on EINTR: the descriptor is gone either way on Linux.
  if (Handle >= 0)
    close(Handle);
}

bool FileFlush(int Handle)
{
  return fsync(Handle) == 0 || Fail(false);
}

// ---------------------------------------------------------------------------------------
// Folder search

// The open folder (so that a change of the current directory does not disturb the search)
// and the names that matched, sorted.
struct TSearchState {
  DIR* Dir = nullptr;
  std::vector<String> Names;
  size_t Next = 0;

  TSearchState() = default;
  TSearchState(const TSearchState&) = delete;
  TSearchState& operator=(const TSearchState&) = delete;
  ~TSearchState()
  {
    if (Dir)
      closedir(Dir);
  }
};

namespace {

int Upper(char C)
{
  return (C >= 'a' && C <= 'z') ? C - 'a' + 'A' : static_cast<unsigned char>(C);
}

// The byte length of the UTF-8 character at Index (1 for a stray or cut-off byte), so
// that '?' takes one whole character.
size_t Utf8Length(const String& S, size_t Index)
{
  const unsigned char lead = static_cast<unsigned char>(S[Index]);
  const size_t length = lead >= 0xF0 && lead < 0xF8 ? 4 : lead >= 0xE0 ? 3 : lead >= 0xC0 ? 2 : 1;
  if (lead >= 0xF8 || Index + length > S.size())
    return 1;
  for (size_t k = 1; k < length; ++k)
    if ((static_cast<unsigned char>(S[Index + k]) & 0xC0) != 0x80)
      return 1;
  return length;
}

}  // namespace

bool MatchesFindPattern(const String& Name, const String& Pattern)
{
  // Tokens as the Windows search reads the pattern: a '*' before a '.' stops at the last
  // dot of the name; a '.' before '*', '?' or at the end also matches the end of the name.
  enum Kind { Literal, Star, StarToLastDot, Question, DotOrEnd };
  struct Token {
    Kind K;
    int C;
  };
  std::vector<Token> tokens;
  for (size_t i = 0; i < Pattern.size(); ++i) {
    const char c = Pattern[i];
    const char next = i + 1 < Pattern.size() ? Pattern[i + 1] : '\0';
    if (c == '*')
      tokens.push_back({next == '.' ? StarToLastDot : Star, 0});
    else if (c == '?')
      tokens.push_back({Question, 0});
    else if (c == '.' && (next == '*' || next == '?' || next == '\0'))
      tokens.push_back({DotOrEnd, '.'});
    else
      tokens.push_back({Literal, Upper(c)});
  }
  const size_t n = Name.size();
  const size_t lastDot = Name.rfind('.');
  // can[j] after step t: the first t tokens can match the first j characters.
  std::vector<char> can(n + 1, 0), next(n + 1, 0);
  can[0] = 1;
  for (const Token& t : tokens) {
    std::fill(next.begin(), next.end(), 0);
    for (size_t j = 0; j <= n; ++j) {
      if (!can[j])
        continue;
      switch (t.K) {
        case Literal:
          if (j < n && Upper(Name[j]) == t.C)
            next[j + 1] = 1;
          break;
        case Star:
          for (size_t k = j; k <= n; ++k)
            next[k] = 1;
          break;
        case StarToLastDot: {
          // Any run that does not take in the name's last dot.
          size_t limit = (lastDot == String::npos || lastDot < j) ? n : lastDot;
          for (size_t k = j; k <= limit; ++k)
            next[k] = 1;
          break;
        }
        case Question:
          if (j < n && Name[j] != '.')
            next[j + Utf8Length(Name, j)] = 1;
          else
            next[j] = 1;  // none at a dot or at the end
          break;
        case DotOrEnd:
          if (j < n && Name[j] == '.')
            next[j + 1] = 1;
          else if (j == n)
            next[j] = 1;
          break;
      }
    }
    can.swap(next);
  }
  return can[n] != 0;
}

int FindNext(TSearchRec& F)
{
  TSearchState* state = F.FindHandle.get();
  if (!state)
    return Fail(EBADF, EBADF);
  while (state->Next < state->Names.size()) {
    const String& name = state->Names[state->Next++];
    const int dir = dirfd(state->Dir);
    struct stat lst;
    if (fstatat(dir, name.c_str(), &lst, AT_SYMLINK_NOFOLLOW) != 0)
      continue;  // gone since the search began
    const int attr = AttrOf(dir, name, name, lst);
    if (attr & F.ExcludeAttr)
      continue;
    struct stat st = lst;
    if (S_ISLNK(lst.st_mode) && fstatat(dir, name.c_str(), &st, 0) != 0)
      st = lst;  // a dangling link keeps its own data
    F.Name = name;
    F.Attr = attr;
    F.Size = (attr & faDirectory) ? 0 : static_cast<Int64>(st.st_size);
    F.Time = DosDateFromTime(st.st_mtim.tv_sec);
    return 0;
  }
  return Fail(ENOENT, ENOENT);
}

int FindFirst(const String& Path, int Attr, TSearchRec& F)
{
  F.FindHandle.reset();
  const size_t sep = Path.rfind('/');
  const String folder = sep == String::npos ? String(".") : Path.substr(0, sep + 1);
  const String pattern = sep == String::npos ? Path : Path.substr(sep + 1);

  auto state = std::make_shared<TSearchState>();
  state->Dir = opendir(folder.c_str());
  if (!state->Dir)
    return Fail(errno);
  // errno is cleared before every readdir: only its own failure may count, not what the
  // matching and allocations in between left there.
  for (;;) {
    errno = 0;
    struct dirent* entry = readdir(state->Dir);
    if (!entry)
      break;
    if (MatchesFindPattern(entry->d_name, pattern))
      state->Names.emplace_back(entry->d_name);
  }
  if (errno != 0)
    return Fail(errno);
  std::sort(state->Names.begin(), state->Names.end());

  F.ExcludeAttr = ~Attr & (faHidden | faSysFile | faVolumeID | faDirectory);
  F.FindHandle = std::move(state);
  const int result = FindNext(F);
  if (result != 0)
    F.FindHandle.reset();
  return result;
}

void FindClose(TSearchRec& F)
{
  F.FindHandle.reset();
}
