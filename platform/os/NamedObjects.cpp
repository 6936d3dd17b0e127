// The store of named kernel objects: one file per name in the user's runtime folder, whose
// first page holds the object's shared state (and, for a mapping, whose rest holds the data).
//
// Lifetime: every process that has the object open holds a shared flock on its file. Whoever
// finds no holder (an exclusive flock succeeds) knows the object is gone, whatever file may
// be left from a crashed process, and starts it afresh. Creating, opening and removing take
// one guard lock (also a flock) so that these steps never interleave. Locks held by a process
// vanish when it dies, so nothing a crashed process leaves can block or mislead a later one.
#include <fcntl.h>
#include <linux/futex.h>
#include <sys/file.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "platform/os/KernelObjectInternal.h"
#include "platform/os/Sync.h"

namespace qv::os {

namespace {

DWORD ErrorOfErrno(int Error)
{
  switch (Error) {
  case ENOENT: return ERROR_FILE_NOT_FOUND;
  case EACCES:
  case EPERM:
  case ELOOP: return ERROR_ACCESS_DENIED;
  case ENOMEM: return ERROR_NOT_ENOUGH_MEMORY;
  case ENOSPC:
  case EDQUOT: return ERROR_DISK_FULL;
  case ENAMETOOLONG: return ERROR_FILENAME_EXCED_RANGE;
  default: return ERROR_INVALID_FUNCTION;
  }
}

bool SafeFolder(const String& Folder)
{
  struct stat St {};
  if (lstat(Folder.c_str(), &St) != 0)
    return false;
  return S_ISDIR(St.st_mode) && St.st_uid == geteuid() && (St.st_mode & 022) == 0;
}

// Holds the guard lock of the runtime folder while it lives.
class TGuard {
public:
  explicit TGuard(const String& Folder)
  {
    String Path = Folder + "/kobj.lock";
    FFd = open(Path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600);
    if (FFd >= 0)
      while (flock(FFd, LOCK_EX) != 0 && errno == EINTR) {
      }
  }
  ~TGuard()
  {
    if (FFd >= 0)
      close(FFd);
  }
  bool Ok() const { return FFd >= 0; }

private:
  int FFd = -1;
};

std::uint64_t HashName(const String& Name)
{
  std::uint64_t H = 1469598103934665603ULL;  // FNV-1a
  for (unsigned char C : Name) {
    H ^= C;
    H *= 1099511628211ULL;
  }
  return H;
}

String ObjectName(LPCSTR Name)
{
  String S = Name;
  if (S.rfind("Global\\", 0) == 0)
    S.erase(0, 7);
  else if (S.rfind("Local\\", 0) == 0)
    S.erase(0, 6);
  return S;
}

}  // namespace

namespace {

// Makes Folder (mode 0700) unless it exists; true when it is then ours and private.
bool MakePrivateFolder(const String& Folder)
{
  if (mkdir(Folder.c_str(), 0700) != 0 && errno != EEXIST)
    return false;
  return SafeFolder(Folder);
}

// The fallback when the shared temporary folder holds someone else's entry under our name:
// a folder under the user's cache folder, which nobody else can create.
String PrivateCacheFolder()
{
  String Cache;
  const char* Xdg = std::getenv("XDG_CACHE_HOME");
  if (Xdg && Xdg[0] == '/') {
    Cache = Xdg;
  } else {
    const char* Home = std::getenv("HOME");
    if (!Home || Home[0] != '/')
      return String();
    Cache = String(Home) + "/.cache";
  }
  mkdir(Cache.c_str(), 0700);
  const String Folder = Cache + "/quelvo3-runtime";
  return MakePrivateFolder(Folder) ? Folder : String();
}

}  // namespace

String RuntimeFolder()
{
  const char* Xdg = std::getenv("XDG_RUNTIME_DIR");
  struct stat St {};
  String Folder;
  if (Xdg && Xdg[0] == '/' && stat(Xdg, &St) == 0 && S_ISDIR(St.st_mode)) {
    Folder = String(Xdg) + "/quelvo3";
  } else {
    const char* Tmp = std::getenv("TMPDIR");
    const String Base = Tmp && Tmp[0] == '/' ? String(Tmp) : String("/tmp");
    Folder = Base + "/quelvo3-" + std::to_string(geteuid());
  }
  if (MakePrivateFolder(Folder))
    return Folder;
  // Another user (or a link, or a folder others may write to) took the name first: never use
  // it, whatever it holds.
  const String Fallback = PrivateCacheFolder();
  if (!Fallback.empty())
    return Fallback;
  SetLastError(ERROR_ACCESS_DENIED);
  return String();
}

TNamedFile::~TNamedFile()
{
  if (Header)
    munmap(Header, NamedHeaderSize);
  if (Fd < 0)
    return;
  // Remove the file when we were the last holder.
  String Folder = Path.substr(0, Path.rfind('/'));
  TGuard Guard(Folder);
  close(Fd);
  if (!Guard.Ok())
    return;
  int Probe = open(Path.c_str(), O_RDWR | O_CLOEXEC | O_NOFOLLOW);
  if (Probe >= 0) {
    if (flock(Probe, LOCK_EX | LOCK_NB) == 0)
      unlink(Path.c_str());
    close(Probe);
  }
}

void TNamedFile::Lock()
{
  int Rc = pthread_mutex_lock(&Header->Lock);
  if (Rc == EOWNERDEAD)
    pthread_mutex_consistent(&Header->Lock);  // the holder died inside a short state change
}

void TNamedFile::Unlock() { pthread_mutex_unlock(&Header->Lock); }

void TNamedFile::Changed()
{
  Header->Generation.fetch_add(1);
  syscall(SYS_futex, reinterpret_cast<std::uint32_t*>(&Header->Generation), FUTEX_WAKE, INT_MAX, nullptr, nullptr,
          0);
}

std::shared_ptr<TNamedFile> OpenNamedObject(LPCSTR Name, TNamedKind Kind, bool Create,
                                            const std::function<bool(TNamedFile&)>& Init, bool& Existed)
{
  Existed = false;
  if (!Name) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return nullptr;
  }
  String Key = ObjectName(Name);
  if (Key.size() > NamedMaxName) {
    SetLastError(ERROR_FILENAME_EXCED_RANGE);
    return nullptr;
  }
  String Folder = RuntimeFolder();
  if (Folder.empty())
    return nullptr;
  TGuard Guard(Folder);
  if (!Guard.Ok()) {
    SetLastError(ErrorOfErrno(errno));
    return nullptr;
  }
  char Hex[17];
  std::snprintf(Hex, sizeof Hex, "%016llx", static_cast<unsigned long long>(HashName(Key)));
  auto File = std::make_shared<TNamedFile>();
  File->Path = Folder + "/kobj-" + Hex;
  File->Fd = open(File->Path.c_str(), O_RDWR | O_CLOEXEC | O_NOFOLLOW | (Create ? O_CREAT : 0), 0600);
  if (File->Fd < 0) {
    SetLastError(ErrorOfErrno(errno));
    return nullptr;
  }
  auto Fail = [&](DWORD Error, bool Remove) -> std::shared_ptr<TNamedFile> {
    if (File->Header) {
      munmap(File->Header, NamedHeaderSize);
      File->Header = nullptr;
    }
    if (Remove)
      unlink(File->Path.c_str());
    close(File->Fd);
    File->Fd = -1;
    SetLastError(Error);
    return nullptr;
  };
  const bool Fresh = flock(File->Fd, LOCK_EX | LOCK_NB) == 0;
  if (Fresh) {
    // Nobody holds it: whatever the file holds is left over; the object does not exist.
    if (!Create)
      return Fail(ERROR_FILE_NOT_FOUND, true);
    if (ftruncate(File->Fd, 0) != 0 || ftruncate(File->Fd, NamedHeaderSize) != 0)
      return Fail(ErrorOfErrno(errno), true);
    // The page is reserved before it is mapped: on a full file system touching a page that has
    // no room would end the process (SIGBUS) instead of failing here.
    if (int Rc = posix_fallocate(File->Fd, 0, NamedHeaderSize); Rc != 0 && Rc != EOPNOTSUPP && Rc != EINVAL)
      return Fail(ErrorOfErrno(Rc), true);
  } else {
    while (flock(File->Fd, LOCK_SH) != 0)
      if (errno != EINTR)
        return Fail(ErrorOfErrno(errno), false);
    struct stat St {};
    if (fstat(File->Fd, &St) != 0 || St.st_size < static_cast<off_t>(NamedHeaderSize))
      return Fail(ERROR_INVALID_HANDLE, false);
  }
  void* Map = mmap(nullptr, NamedHeaderSize, PROT_READ | PROT_WRITE, MAP_SHARED, File->Fd, 0);
  if (Map == MAP_FAILED)
    return Fail(ERROR_NOT_ENOUGH_MEMORY, Fresh);
  File->Header = static_cast<TSharedHeader*>(Map);
  TSharedHeader* H = File->Header;
  if (Fresh) {
    std::memset(static_cast<void*>(H), 0, sizeof(TSharedHeader));
    H->Magic = NamedMagic;
    H->Kind = static_cast<std::uint32_t>(Kind);
    H->NameLength = static_cast<std::uint32_t>(Key.size());
    std::memcpy(H->Name, Key.data(), Key.size());
    pthread_mutexattr_t Attr;
    pthread_mutexattr_init(&Attr);
    pthread_mutexattr_setpshared(&Attr, PTHREAD_PROCESS_SHARED);
    pthread_mutexattr_setrobust(&Attr, PTHREAD_MUTEX_ROBUST);
    pthread_mutex_init(&H->Lock, &Attr);
    pthread_mutexattr_destroy(&Attr);
    if (Init && !Init(*File)) {
      DWORD Error = GetLastError();
      return Fail(Error ? Error : ERROR_INVALID_PARAMETER, true);
    }
    // Others may open it from now on; we stay a holder.
    flock(File->Fd, LOCK_SH);
  } else {
    if (H->Magic != NamedMagic || H->NameLength != Key.size() || std::memcmp(H->Name, Key.data(), Key.size()) != 0)
      return Fail(ERROR_INVALID_HANDLE, false);
    if (H->Kind != static_cast<std::uint32_t>(Kind))
      return Fail(ERROR_INVALID_HANDLE, false);
    Existed = true;
  }
  return File;
}

}  // namespace qv::os
