#include "platform/os/ProcessLookup.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "platform/os/KernelObjectInternal.h"
#include "platform/os/Process.h"

namespace qv::os {

namespace {

std::atomic<std::uint64_t> TableWalks{0};

String ReadSmallFile(const String& Path)
{
  int Fd = open(Path.c_str(), O_RDONLY | O_CLOEXEC);
  if (Fd < 0)
    return String();
  String Result;
  char Buffer[4096];
  ssize_t N;
  while ((N = read(Fd, Buffer, sizeof Buffer)) > 0 && Result.size() < 65536)
    Result.append(Buffer, static_cast<std::size_t>(N));
  close(Fd);
  return Result;
}

String BaseName(const String& Path)
{
  std::size_t Slash = Path.find_last_of('/');
  return Slash == String::npos ? Path : Path.substr(Slash + 1);
}

bool SameTextAZ(const String& A, const String& B)
{
  if (A.size() != B.size())
    return false;
  for (std::size_t I = 0; I < A.size(); ++I) {
    char X = A[I], Y = B[I];
    if (X >= 'a' && X <= 'z')
      X = static_cast<char>(X - 32);
    if (Y >= 'a' && Y <= 'z')
      Y = static_cast<char>(Y - 32);
    if (X != Y)
      return false;
  }
  return true;
}

// The value of one "Key:" line of /proc/<pid>/status ("" when absent).
String StatusField(const String& Status, const char* Key)
{
  const String Prefix = String(Key) + ":";
  std::size_t At = 0;
  if (Status.compare(0, Prefix.size(), Prefix) != 0) {
    At = Status.find("\n" + Prefix);
    if (At == String::npos)
      return String();
    ++At;
  }
  At += Prefix.size();
  while (At < Status.size() && (Status[At] == '\t' || Status[At] == ' '))
    ++At;
  std::size_t End = Status.find('\n', At);
  return Status.substr(At, End == String::npos ? String::npos : End - At);
}

String ExeLinkOf(pid_t Pid)
{
  char Link[4096];
  ssize_t N = readlink(("/proc/" + std::to_string(Pid) + "/exe").c_str(), Link, sizeof Link - 1);
  String Exe = N > 0 ? String(Link, static_cast<std::size_t>(N)) : String();
  const String Deleted = " (deleted)";
  if (Exe.size() > Deleted.size() && Exe.compare(Exe.size() - Deleted.size(), Deleted.size(), Deleted) == 0)
    Exe.erase(Exe.size() - Deleted.size());
  return Exe;
}

// Reads what a lookup needs from two small files (status: user, short name, parent; cmdline:
// argv[0]); the executable link only when WithExe (it costs a third call per process).
bool ReadEntry(pid_t Pid, TProcessEntry& Entry, bool WithExe)
{
  const String Dir = "/proc/" + std::to_string(Pid);
  const String Status = ReadSmallFile(Dir + "/status");
  const String Uid = StatusField(Status, "Uid");
  if (Uid.empty() || std::strtoul(Uid.c_str(), nullptr, 10) != getuid())
    return false;
  const String Cmdline = ReadSmallFile(Dir + "/cmdline");
  if (Cmdline.empty())
    return false;  // kernel threads and zombies have no command line
  const String Argv0 = Cmdline.substr(0, Cmdline.find('\0'));
  Entry.ProcessId = static_cast<DWORD>(Pid);
  Entry.ParentProcessId = static_cast<DWORD>(std::strtoul(StatusField(Status, "PPid").c_str(), nullptr, 10));
  Entry.Comm = StatusField(Status, "Name");
  Entry.ExeLink = WithExe ? ExeLinkOf(Pid) : String();
  Entry.ExeName = !Argv0.empty() ? BaseName(Argv0) : !Entry.Comm.empty() ? Entry.Comm : BaseName(Entry.ExeLink);
  Entry.FullPath = !Argv0.empty() && Argv0[0] == '/' ? Argv0 : Entry.ExeLink;
  return true;
}

// A Toolhelp snapshot: the entries taken when it was made, walked by Process32First/Next.
class TSnapshotObject : public TKernelObject {
public:
  std::vector<TProcessEntry> Entries;
  std::size_t Next = 0;
};

BOOL FillEntry(HANDLE Snapshot, LPPROCESSENTRY32 Entry, bool First)
{
  auto Object = ObjectAs<TSnapshotObject>(Snapshot);
  if (!Object)
    return FALSE;
  if (!Entry || Entry->dwSize < sizeof(PROCESSENTRY32)) {
    SetLastError(ERROR_BAD_LENGTH);
    return FALSE;
  }
  std::lock_guard<std::mutex> Guard(LocalStateLock());
  if (First)
    Object->Next = 0;
  if (Object->Next >= Object->Entries.size()) {
    SetLastError(ERROR_NO_MORE_FILES);
    return FALSE;
  }
  const TProcessEntry& E = Object->Entries[Object->Next++];
  const DWORD Size = Entry->dwSize;
  *Entry = PROCESSENTRY32{};
  Entry->dwSize = Size;
  Entry->cntUsage = 1;
  Entry->th32ProcessID = E.ProcessId;
  Entry->th32ParentProcessID = E.ParentProcessId;
  Entry->cntThreads = 1;
  Entry->pcPriClassBase = 8;
  std::size_t N = std::min<std::size_t>(E.ExeName.size(), sizeof Entry->szExeFile - 1);
  std::memcpy(Entry->szExeFile, E.ExeName.data(), N);
  Entry->szExeFile[N] = 0;
  return TRUE;
}

DWORD CopyName(const String& Name, LPSTR Buffer, DWORD Size)
{
  if (!Buffer || Size == 0 || Name.empty()) {
    SetLastError(Name.empty() ? ERROR_ACCESS_DENIED : ERROR_INVALID_PARAMETER);
    return 0;
  }
  std::size_t N = std::min<std::size_t>(Name.size(), Size - 1);
  std::memcpy(Buffer, Name.data(), N);
  Buffer[N] = 0;
  return static_cast<DWORD>(N);
}

}  // namespace

bool ProcessBelongsToUser(int Pid)
{
  const String Status = ReadSmallFile("/proc/" + std::to_string(Pid) + "/status");
  std::size_t At = Status.find("\nUid:");
  if (At == String::npos)
    return false;
  unsigned long Real = 0;
  if (std::sscanf(Status.c_str() + At + 5, "%lu", &Real) != 1)
    return false;
  return static_cast<uid_t>(Real) == getuid();
}

std::vector<TProcessEntry> ListUserProcesses(bool WithExeLinks)
{
  TableWalks.fetch_add(1, std::memory_order_relaxed);
  std::vector<pid_t> Pids;
  if (DIR* Dir = opendir("/proc")) {
    while (dirent* Entry = readdir(Dir)) {
      const char* Name = Entry->d_name;
      if (*Name < '1' || *Name > '9')
        continue;
      char* End;
      long Pid = std::strtol(Name, &End, 10);
      if (*End == 0)
        Pids.push_back(static_cast<pid_t>(Pid));
    }
    closedir(Dir);
  }
  std::sort(Pids.begin(), Pids.end());
  std::vector<TProcessEntry> Result;
  for (pid_t Pid : Pids) {
    TProcessEntry Entry;
    if (ReadEntry(Pid, Entry, WithExeLinks))
      Result.push_back(std::move(Entry));
  }
  return Result;
}

bool ProcessMatchesName(const TProcessEntry& Entry, const String& Name)
{
  if (Name.empty())
    return false;
  if (Name.find_first_of("/\\") != String::npos)
    return SameTextAZ(Entry.FullPath, Name) || SameTextAZ(Entry.ExeLink, Name);
  if (SameTextAZ(Entry.ExeName, Name) || SameTextAZ(BaseName(Entry.ExeLink), Name))
    return true;
  // The kernel keeps only the first 15 bytes of the short name.
  if (Entry.Comm.size() == 15 && Name.size() > 15)
    return SameTextAZ(Entry.Comm, Name.substr(0, 15));
  return SameTextAZ(Entry.Comm, Name);
}

std::vector<DWORD> FindProcessIdsByExeName(const String& Name, bool ExcludeSelf)
{
  std::vector<DWORD> Result;
  const DWORD Self = static_cast<DWORD>(getpid());
  for (TProcessEntry& Entry : ListUserProcesses(false)) {
    if (ExcludeSelf && Entry.ProcessId == Self)
      continue;
    if (!ProcessMatchesName(Entry, Name)) {
      // Only now the executable link: most processes are told apart without it.
      Entry.ExeLink = ExeLinkOf(static_cast<pid_t>(Entry.ProcessId));
      if (Entry.FullPath.empty())
        Entry.FullPath = Entry.ExeLink;
      if (Entry.ExeLink.empty() || !ProcessMatchesName(Entry, Name))
        continue;
    }
    Result.push_back(Entry.ProcessId);
  }
  return Result;
}

std::uint64_t ProcessTableWalks() { return TableWalks.load(std::memory_order_relaxed); }

bool SystemHasCrashDialog(const String&) { return false; }

}  // namespace qv::os

using namespace qv::os;

HANDLE CreateToolhelp32Snapshot(DWORD Flags, DWORD)
{
  if (!(Flags & TH32CS_SNAPPROCESS)) {
    SetLastError(ERROR_NOT_SUPPORTED);
    return INVALID_HANDLE_VALUE;
  }
  auto Snapshot = std::make_shared<TSnapshotObject>();
  Snapshot->Entries = ListUserProcesses(false);
  return InsertObject(std::move(Snapshot));
}

BOOL Process32First(HANDLE Snapshot, LPPROCESSENTRY32 Entry) { return FillEntry(Snapshot, Entry, true); }
BOOL Process32Next(HANDLE Snapshot, LPPROCESSENTRY32 Entry) { return FillEntry(Snapshot, Entry, false); }

BOOL EnumProcesses(DWORD* ProcessIds, DWORD Size, DWORD* BytesReturned)
{
  if (!ProcessIds || !BytesReturned) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  std::vector<TProcessEntry> Entries = ListUserProcesses(false);
  const std::size_t Count = std::min<std::size_t>(Entries.size(), Size / sizeof(DWORD));
  for (std::size_t I = 0; I < Count; ++I)
    ProcessIds[I] = Entries[I].ProcessId;
  *BytesReturned = static_cast<DWORD>(Count * sizeof(DWORD));
  return TRUE;
}

namespace {

bool EntryOfHandle(HANDLE Process, HMODULE Module, TProcessEntry& Entry)
{
  if (Module) {
    SetLastError(ERROR_INVALID_HANDLE);
    return false;
  }
  const DWORD Pid = GetProcessId(Process);
  if (Pid == 0)
    return false;
  if (!ReadEntry(static_cast<pid_t>(Pid), Entry, true)) {
    SetLastError(ERROR_ACCESS_DENIED);  // ended, or not ours
    return false;
  }
  return true;
}

}  // namespace

DWORD GetModuleBaseNameA(HANDLE Process, HMODULE Module, LPSTR BaseName, DWORD Size)
{
  TProcessEntry Entry;
  return EntryOfHandle(Process, Module, Entry) ? CopyName(Entry.ExeName, BaseName, Size) : 0;
}

DWORD GetModuleFileNameExA(HANDLE Process, HMODULE Module, LPSTR FileName, DWORD Size)
{
  TProcessEntry Entry;
  return EntryOfHandle(Process, Module, Entry) ? CopyName(Entry.FullPath, FileName, Size) : 0;
}
