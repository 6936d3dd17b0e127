#include "platform/os/Process.h"

#include <dirent.h>
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/eventfd.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <thread>

#include "platform/os/CommandLine.h"
#include "platform/os/KernelObjectInternal.h"
#include "platform/os/OsInit.h"
#include "platform/os/ToolLinks.h"

extern char** environ;

namespace qv::os {

namespace {

int PidfdOpen(pid_t Pid)
{
#ifdef SYS_pidfd_open
  return static_cast<int>(syscall(SYS_pidfd_open, Pid, 0));
#else
  (void)Pid;
  errno = ENOSYS;
  return -1;
#endif
}

bool PidfdEnded(int PidFd)
{
  pollfd P{PidFd, POLLIN, 0};
  return poll(&P, 1, 0) > 0;
}

// A process: a child we started (watched and reaped by the reaper thread) or another process
// of this user opened by id (only watched through its pidfd).
class TProcessObject : public TKernelObject {
public:
  ~TProcessObject() override
  {
    if (PidFd >= 0)
      close(PidFd);
  }
  bool Waitable() const override { return true; }
  bool IsSignaled(bool& Abandoned) override
  {
    Abandoned = false;
    if (!Exited && !Child && (PidFd < 0 ? kill(Pid, 0) != 0 && errno == ESRCH : PidfdEnded(PidFd))) {
      Exited = true;
      ExitCode = Terminated ? TerminateCode : 0;
    }
    return Exited;
  }
  // Another process's end wakes nobody here: a wait polls its pidfd, or looks again now and
  // then when there is none.
  int RecheckMs() override { return Child || PidFd >= 0 ? 0 : 50; }
  int WaitFd() override { return Child ? -1 : PidFd; }

  pid_t Pid = 0;
  int PidFd = -1;
  bool Child = false;
  // Under LocalStateLock:
  bool Exited = false;
  DWORD ExitCode = STILL_ACTIVE;
  DWORD PriorityClass = NORMAL_PRIORITY_CLASS;
  bool Suspended = false;
  // Under SignalLock: a child is signalled only while it is not reaped, so its id (and its
  // group id) cannot belong to another process yet.
  std::mutex SignalLock;
  bool Reaped = false;
  bool Terminated = false;
  UINT TerminateCode = 0;
};

class TProcessThreadObject : public TKernelObject {
public:
  explicit TProcessThreadObject(std::shared_ptr<TProcessObject> Process) : Process(std::move(Process)) {}
  bool Waitable() const override { return true; }
  bool IsSignaled(bool& Abandoned) override { return Process->IsSignaled(Abandoned); }
  int RecheckMs() override { return Process->RecheckMs(); }
  int WaitFd() override { return Process->WaitFd(); }
  std::shared_ptr<TProcessObject> Process;
};

DWORD ExitCodeOf(const siginfo_t& Info, bool Terminated, UINT TerminateCode)
{
  if (Info.si_code == CLD_EXITED)
    return static_cast<DWORD>(Info.si_status);
  const int Signal = Info.si_status;
  if (Terminated && Signal == SIGKILL)
    return TerminateCode;
  if (Signal == SIGINT)
    return STATUS_CONTROL_C_EXIT;
  if (Signal == SIGSEGV)
    return 0xC0000005;
  return 128 + static_cast<DWORD>(Signal);
}

// Watches the children and reaps each one as soon as it ends.
class TReaper {
public:
  static TReaper& Instance()
  {
    static TReaper* R = new TReaper();  // lives as long as the process
    return *R;
  }

  void Add(const std::shared_ptr<TProcessObject>& Process)
  {
    std::lock_guard<std::mutex> Guard(FLock);
    FChildren[Process->Pid] = Process;
    if (!FStarted) {
      FStarted = true;
      std::thread([this] { Run(); }).detach();
    }
    Wake();
  }

  std::shared_ptr<TProcessObject> FindChild(pid_t Pid)
  {
    std::lock_guard<std::mutex> Guard(FLock);
    auto It = FChildren.find(Pid);
    return It == FChildren.end() ? nullptr : It->second;
  }

  std::vector<std::shared_ptr<TProcessObject>> Children()
  {
    std::lock_guard<std::mutex> Guard(FLock);
    std::vector<std::shared_ptr<TProcessObject>> Result;
    for (auto& [Pid, Process] : FChildren)
      Result.push_back(Process);
    return Result;
  }

private:
  TReaper() : FWake(eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK)) {}

  void Wake()
  {
    std::uint64_t One = 1;
    [[maybe_unused]] ssize_t N = write(FWake, &One, sizeof One);
  }

  void Reap(const std::shared_ptr<TProcessObject>& Process, bool Blocking)
  {
    siginfo_t Info{};
    DWORD Code;
    {
      std::lock_guard<std::mutex> Guard(Process->SignalLock);
      int Rc = waitid(P_PID, static_cast<id_t>(Process->Pid), &Info, WEXITED | (Blocking ? 0 : WNOHANG));
      if (Rc != 0 && errno == ECHILD) {
        Info.si_code = CLD_EXITED;  // someone else reaped it; its code is lost
        Info.si_status = 0;
        Info.si_pid = Process->Pid;
      } else if (Rc != 0 || Info.si_pid == 0) {
        return;  // not ended yet
      }
      Process->Reaped = true;
      Code = ExitCodeOf(Info, Process->Terminated, Process->TerminateCode);
    }
    {
      std::lock_guard<std::mutex> Guard(LocalStateLock());
      Process->Exited = true;
      Process->ExitCode = Code;
    }
    {
      std::lock_guard<std::mutex> Guard(FLock);
      FChildren.erase(Process->Pid);
    }
    NotifyLocalChange();
  }

  void Run()
  {
    for (;;) {
      std::vector<std::shared_ptr<TProcessObject>> Watched = Children();
      std::vector<pollfd> Polls;
      Polls.push_back({FWake, POLLIN, 0});
      bool AnyWithoutFd = false;
      for (auto& Process : Watched) {
        Polls.push_back({Process->PidFd, POLLIN, 0});  // a negative fd is skipped by poll
        if (Process->PidFd < 0)
          AnyWithoutFd = true;
      }
      int N = poll(Polls.data(), Polls.size(), AnyWithoutFd ? 100 : -1);
      if (N < 0 && errno != EINTR)
        continue;
      if (Polls[0].revents) {
        std::uint64_t Value;
        while (read(FWake, &Value, sizeof Value) > 0) {
        }
      }
      for (std::size_t I = 0; I < Watched.size(); ++I) {
        if (Watched[I]->PidFd < 0)
          Reap(Watched[I], false);
        else if (Polls[I + 1].revents)
          Reap(Watched[I], true);
      }
    }
  }

  std::mutex FLock;
  std::map<pid_t, std::shared_ptr<TProcessObject>> FChildren;
  int FWake;
  bool FStarted = false;
};

int NiceOfClass(DWORD PriorityClass, bool& Valid)
{
  Valid = true;
  switch (PriorityClass) {
  case IDLE_PRIORITY_CLASS: return 19;
  case BELOW_NORMAL_PRIORITY_CLASS: return 10;
  case NORMAL_PRIORITY_CLASS: return 0;
  case ABOVE_NORMAL_PRIORITY_CLASS: return -2;
  case HIGH_PRIORITY_CLASS: return -5;
  case REALTIME_PRIORITY_CLASS: return -10;
  default: Valid = false; return 0;
  }
}

void ApplyNice(const TProcessObject& Process, int Nice)
{
  if (Process.Child) {
    setpriority(PRIO_PGRP, static_cast<id_t>(Process.Pid), Nice);  // every thread of the group
    return;
  }
  char Path[64];
  std::snprintf(Path, sizeof Path, "/proc/%d/task", static_cast<int>(Process.Pid));
  if (DIR* Dir = opendir(Path)) {
    while (dirent* Entry = readdir(Dir))
      if (Entry->d_name[0] != '.')
        setpriority(PRIO_PROCESS, static_cast<id_t>(std::atoi(Entry->d_name)), Nice);
    closedir(Dir);
  }
}

DWORD ErrorOfSpawn(int Error)
{
  switch (Error) {
  case ENOENT:
  case ENOTDIR: return ERROR_FILE_NOT_FOUND;
  case EACCES:
  case EPERM:
  case EISDIR: return ERROR_ACCESS_DENIED;
  case ENOEXEC:
  case ELIBBAD: return ERROR_BAD_EXE_FORMAT;
  case ENOMEM:
  case EAGAIN: return ERROR_NOT_ENOUGH_MEMORY;
  default: return ERROR_INVALID_FUNCTION;
  }
}

String CurrentFolder()
{
  char Buffer[4096];
  return getcwd(Buffer, sizeof Buffer) ? String(Buffer) : String();
}

// The program to run: a path as it stands (relative to our current folder), a bare name from
// PATH. "" with the last error set when there is none.
String ResolveProgram(const String& Name)
{
  if (Name.empty()) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return String();
  }
  String Path;
  if (Name.find('/') != String::npos) {
    Path = Name[0] == '/' ? Name : CurrentFolder() + "/" + Name;
  } else {
    const char* Env = std::getenv("PATH");
    Path = FindProgramOnPath(Name, Env ? Env : "/usr/local/bin:/usr/bin:/bin");
    if (Path.empty()) {
      SetLastError(ERROR_FILE_NOT_FOUND);
      return String();
    }
  }
  struct stat St {};
  if (stat(Path.c_str(), &St) != 0) {
    SetLastError(ErrorOfSpawn(errno));
    return String();
  }
  if (!S_ISREG(St.st_mode) || access(Path.c_str(), X_OK) != 0) {
    SetLastError(ERROR_ACCESS_DENIED);
    return String();
  }
  return Path;
}

struct TSpawnRequest {
  String Program;
  std::vector<String> Argv;
  std::vector<String> Env;  // empty with UseEnv false: inherit
  bool UseEnv = false;
  String Directory;
  int StdFds[3] = {-1, -1, -1};  // -1: /dev/null
};

// Starts the request in a session of its own; the pid, or 0 with the last error.
pid_t Spawn(const TSpawnRequest& Request)
{
  OsInitialize();
  int DevNull = open("/dev/null", O_RDWR | O_CLOEXEC);
  posix_spawn_file_actions_t Actions;
  posix_spawn_file_actions_init(&Actions);
  for (int I = 0; I < 3; ++I) {
    int Source = Request.StdFds[I] >= 0 ? Request.StdFds[I] : DevNull;
    if (Source >= 0)
      posix_spawn_file_actions_adddup2(&Actions, Source, I);
    else
      posix_spawn_file_actions_addclose(&Actions, I);
  }
  // Descriptors that some library opened without close-on-exec never reach the tool.
  posix_spawn_file_actions_addclosefrom_np(&Actions, 3);
  if (!Request.Directory.empty())
    posix_spawn_file_actions_addchdir_np(&Actions, Request.Directory.c_str());
  posix_spawnattr_t Attr;
  posix_spawnattr_init(&Attr);
  sigset_t All, None;
  sigfillset(&All);
  sigemptyset(&None);
  posix_spawnattr_setsigdefault(&Attr, &All);
  posix_spawnattr_setsigmask(&Attr, &None);
  posix_spawnattr_setflags(&Attr, POSIX_SPAWN_SETSID | POSIX_SPAWN_SETSIGDEF | POSIX_SPAWN_SETSIGMASK);

  std::vector<char*> Argv;
  for (const String& A : Request.Argv)
    Argv.push_back(const_cast<char*>(A.c_str()));
  Argv.push_back(nullptr);
  std::vector<char*> Env;
  for (const String& E : Request.Env)
    Env.push_back(const_cast<char*>(E.c_str()));
  Env.push_back(nullptr);

  pid_t Pid = 0;
  int Rc = posix_spawn(&Pid, Request.Program.c_str(), &Actions, &Attr, Argv.data(),
                       Request.UseEnv ? Env.data() : environ);
  posix_spawnattr_destroy(&Attr);
  posix_spawn_file_actions_destroy(&Actions);
  if (DevNull >= 0)
    close(DevNull);
  if (Rc != 0) {
    SetLastError(ErrorOfSpawn(Rc));
    return 0;
  }
  return Pid;
}

std::shared_ptr<TProcessObject> WatchChild(pid_t Pid)
{
  auto Process = std::make_shared<TProcessObject>();
  Process->Pid = Pid;
  Process->Child = true;
  Process->PidFd = PidfdOpen(Pid);
  TReaper::Instance().Add(Process);
  return Process;
}

std::shared_ptr<TProcessObject> ProcessOf(HANDLE Handle)
{
  std::shared_ptr<TKernelObject> Object = ObjectOf(Handle);
  if (auto Process = std::dynamic_pointer_cast<TProcessObject>(Object))
    return Process;
  SetLastError(ERROR_INVALID_HANDLE);
  return nullptr;
}

}  // namespace

String ExecutablePathOfLink(const String& LinkText)
{
  static const String Deleted = " (deleted)";
  if (LinkText.size() <= Deleted.size() ||
      LinkText.compare(LinkText.size() - Deleted.size(), Deleted.size(), Deleted) != 0)
    return LinkText;
  // A file really named so is the one running only when it is there and is what runs.
  struct stat Named {}, Running {};
  if (stat(LinkText.c_str(), &Named) == 0 && stat("/proc/self/exe", &Running) == 0 &&
      Named.st_dev == Running.st_dev && Named.st_ino == Running.st_ino)
    return LinkText;
  return LinkText.substr(0, LinkText.size() - Deleted.size());
}

String ModuleFileName()
{
  char Buffer[4096];
  ssize_t N = readlink("/proc/self/exe", Buffer, sizeof Buffer - 1);
  return N > 0 ? ExecutablePathOfLink(String(Buffer, static_cast<std::size_t>(N))) : String();
}

DWORD RestartProcess(const std::vector<String>& Arguments, HANDLE* Process)
{
  if (Process)
    *Process = nullptr;
  TSpawnRequest Request;
  // After an upgrade replaced our file, the new program at our path is the one to start;
  // otherwise the running file itself (also when its name is gone).
  const String Path = ModuleFileName();
  struct stat St {};
  const bool NewFile = !Path.empty() && stat(Path.c_str(), &St) == 0 && S_ISREG(St.st_mode) &&
                       access(Path.c_str(), X_OK) == 0;
  Request.Program = NewFile ? Path : String("/proc/self/exe");
  Request.Argv.push_back(Path);
  Request.Argv.insert(Request.Argv.end(), Arguments.begin(), Arguments.end());
  for (int I = 0; I < 3; ++I)
    Request.StdFds[I] = I;  // keep our standard streams
  pid_t Pid = Spawn(Request);
  if (Pid == 0)
    return 0;
  std::shared_ptr<TProcessObject> Child = WatchChild(Pid);
  if (Process)
    *Process = InsertObject(std::move(Child));
  return static_cast<DWORD>(Pid);
}

}  // namespace qv::os

using namespace qv::os;

BOOL CreateProcessA(LPCSTR ApplicationName, LPSTR CommandLine, LPSECURITY_ATTRIBUTES, LPSECURITY_ATTRIBUTES, BOOL,
                    DWORD CreationFlags, LPVOID Environment, LPCSTR CurrentDirectory, LPSTARTUPINFOA StartupInfo,
                    LPPROCESS_INFORMATION ProcessInformation)
{
  if (ProcessInformation)
    *ProcessInformation = PROCESS_INFORMATION{};
  if (!StartupInfo || !ProcessInformation || (!CommandLine && !ApplicationName)) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  TSpawnRequest Request;
  Request.Argv = SplitCommandLine(CommandLine ? CommandLine : ApplicationName);
  const String AppName = ApplicationName ? ApplicationName : "";
  if (Request.Argv.empty()) {
    if (AppName.empty()) {
      SetLastError(ERROR_INVALID_PARAMETER);
      return FALSE;
    }
    Request.Argv.push_back(AppName);
  }
  Request.Program = ResolveProgram(AppName.empty() ? Request.Argv[0] : AppName);
  if (Request.Program.empty())
    return FALSE;

  if (CurrentDirectory && *CurrentDirectory) {
    struct stat St {};
    if (stat(CurrentDirectory, &St) != 0 || !S_ISDIR(St.st_mode)) {
      SetLastError(ERROR_DIRECTORY);
      return FALSE;
    }
    Request.Directory = CurrentDirectory;
  }

  if (Environment) {
    if (CreationFlags & CREATE_UNICODE_ENVIRONMENT) {
      SetLastError(ERROR_INVALID_PARAMETER);  // only 8-bit environment blocks are read
      return FALSE;
    }
    Request.UseEnv = true;
    for (const char* P = static_cast<const char*>(Environment); *P; P += std::strlen(P) + 1)
      Request.Env.push_back(P);
  }

  if (StartupInfo->dwFlags & STARTF_USESTDHANDLES) {
    const HANDLE Std[3] = {StartupInfo->hStdInput, StartupInfo->hStdOutput, StartupInfo->hStdError};
    for (int I = 0; I < 3; ++I) {
      if (!Std[I] || Std[I] == INVALID_HANDLE_VALUE)
        continue;
      Request.StdFds[I] = FdOfHandle(Std[I]);
      if (Request.StdFds[I] < 0) {
        SetLastError(ERROR_INVALID_HANDLE);
        return FALSE;
      }
    }
  }

  bool ValidClass = true;
  DWORD PriorityClass = CreationFlags & (IDLE_PRIORITY_CLASS | BELOW_NORMAL_PRIORITY_CLASS | NORMAL_PRIORITY_CLASS |
                                         ABOVE_NORMAL_PRIORITY_CLASS | HIGH_PRIORITY_CLASS | REALTIME_PRIORITY_CLASS);
  if (PriorityClass == 0)
    PriorityClass = NORMAL_PRIORITY_CLASS;
  const int Nice = NiceOfClass(PriorityClass, ValidClass);
  if (!ValidClass) {
    SetLastError(ERROR_INVALID_PARAMETER);  // more than one class
    return FALSE;
  }

  pid_t Pid = 0;
  if (Nice == 0) {
    Pid = Spawn(Request);
  } else {
    // The child must start with its priority: it is spawned from a helper thread that takes
    // that nice value first (a new process inherits it from the thread that made it), so
    // that our own threads keep theirs.
    DWORD Error = 0;
    std::thread Helper([&] {
      setpriority(PRIO_PROCESS, static_cast<id_t>(OwnTid()), Nice);  // best effort
      Pid = Spawn(Request);
      Error = GetLastError();
    });
    Helper.join();
    SetLastError(Error);
  }
  if (Pid == 0)
    return FALSE;
  std::shared_ptr<TProcessObject> Process = WatchChild(Pid);
  Process->PriorityClass = PriorityClass;
  if (Nice != 0)
    ApplyNice(*Process, Nice);  // best effort
  if (CreationFlags & CREATE_SUSPENDED) {
    kill(Pid, SIGSTOP);
    std::lock_guard<std::mutex> Guard(LocalStateLock());
    Process->Suspended = true;
  }
  ProcessInformation->hThread = InsertObject(std::make_shared<TProcessThreadObject>(Process));
  ProcessInformation->hProcess = InsertObject(Process);
  ProcessInformation->dwProcessId = static_cast<DWORD>(Pid);
  ProcessInformation->dwThreadId = static_cast<DWORD>(Pid);  // the main thread's id is the process id
  SetLastError(ERROR_SUCCESS);
  return TRUE;
}

HANDLE OpenProcess(DWORD, BOOL, DWORD ProcessId)
{
  if (ProcessId == 0 || ProcessId > static_cast<DWORD>(INT32_MAX)) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return nullptr;
  }
  const pid_t Pid = static_cast<pid_t>(ProcessId);
  if (auto Child = TReaper::Instance().FindChild(Pid))
    return InsertObject(Child);
  char Path[32];
  std::snprintf(Path, sizeof Path, "/proc/%d", static_cast<int>(Pid));
  struct stat St {};
  if (stat(Path, &St) != 0) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return nullptr;
  }
  if (!ProcessBelongsToUser(static_cast<int>(Pid))) {
    SetLastError(ERROR_ACCESS_DENIED);  // never reach other users' processes
    return nullptr;
  }
  auto Process = std::make_shared<TProcessObject>();
  Process->Pid = Pid;
  Process->PidFd = PidfdOpen(Pid);
  if (Process->PidFd < 0 && errno == ESRCH) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return nullptr;
  }
  return InsertObject(std::move(Process));
}

BOOL TerminateProcess(HANDLE Handle, UINT ExitCode)
{
  std::shared_ptr<TProcessObject> Process = ProcessOf(Handle);
  if (!Process)
    return FALSE;
  std::lock_guard<std::mutex> Guard(Process->SignalLock);
  if (Process->Child) {
    if (Process->Reaped) {
      SetLastError(ERROR_ACCESS_DENIED);
      return FALSE;
    }
    if (!Process->Terminated) {
      Process->Terminated = true;
      Process->TerminateCode = ExitCode;
    }
    if (kill(-Process->Pid, SIGKILL) != 0)
      kill(Process->Pid, SIGKILL);
    return TRUE;
  }
  {
    bool Abandoned;
    std::lock_guard<std::mutex> State(LocalStateLock());
    if (Process->IsSignaled(Abandoned)) {
      SetLastError(ERROR_ACCESS_DENIED);
      return FALSE;
    }
    Process->Terminated = true;
    Process->TerminateCode = ExitCode;
  }
  int Rc;
#ifdef SYS_pidfd_send_signal
  Rc = Process->PidFd >= 0 ? static_cast<int>(syscall(SYS_pidfd_send_signal, Process->PidFd, SIGKILL, nullptr, 0))
                           : kill(Process->Pid, SIGKILL);
#else
  Rc = kill(Process->Pid, SIGKILL);
#endif
  if (Rc != 0) {
    SetLastError(ERROR_ACCESS_DENIED);
    return FALSE;
  }
  if (getpgid(Process->Pid) == Process->Pid)
    kill(-Process->Pid, SIGKILL);  // the tool's own children, when it leads its group
  return TRUE;
}

BOOL GetExitCodeProcess(HANDLE Handle, DWORD* ExitCode)
{
  std::shared_ptr<TProcessObject> Process = ProcessOf(Handle);
  if (!Process || !ExitCode) {
    if (Process)
      SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  bool Abandoned;
  std::lock_guard<std::mutex> Guard(LocalStateLock());
  *ExitCode = Process->IsSignaled(Abandoned) ? Process->ExitCode : STILL_ACTIVE;
  return TRUE;
}

DWORD GetProcessId(HANDLE Handle)
{
  if (Handle == GetCurrentProcess())
    return static_cast<DWORD>(getpid());
  std::shared_ptr<TProcessObject> Process = ProcessOf(Handle);
  return Process ? static_cast<DWORD>(Process->Pid) : 0;
}

BOOL SetPriorityClass(HANDLE Handle, DWORD PriorityClass)
{
  bool Valid;
  const int Nice = NiceOfClass(PriorityClass, Valid);
  if (!Valid) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  if (Handle == GetCurrentProcess()) {
    setpriority(PRIO_PROCESS, 0, Nice);
    return TRUE;
  }
  std::shared_ptr<TProcessObject> Process = ProcessOf(Handle);
  if (!Process)
    return FALSE;
  {
    std::lock_guard<std::mutex> Guard(Process->SignalLock);
    if (!Process->Reaped)
      ApplyNice(*Process, Nice);  // refused changes are ignored
  }
  std::lock_guard<std::mutex> Guard(LocalStateLock());
  Process->PriorityClass = PriorityClass;
  return TRUE;
}

DWORD GetPriorityClass(HANDLE Handle)
{
  std::shared_ptr<TProcessObject> Process = ProcessOf(Handle);
  if (!Process)
    return 0;
  std::lock_guard<std::mutex> Guard(LocalStateLock());
  return Process->PriorityClass;
}

DWORD WaitForInputIdle(HANDLE Handle, DWORD)
{
  return ProcessOf(Handle) ? 0 : WAIT_FAILED;
}

DWORD ResumeThread(HANDLE Thread)
{
  auto Object = ObjectAs<TProcessThreadObject>(Thread);
  if (!Object)
    return 0xFFFFFFFF;
  TProcessObject& Process = *Object->Process;
  {
    std::lock_guard<std::mutex> Guard(LocalStateLock());
    if (!Process.Suspended)
      return 0;
    Process.Suspended = false;
  }
  std::lock_guard<std::mutex> Guard(Process.SignalLock);
  if (!Process.Reaped)
    kill(Process.Pid, SIGCONT);
  return 1;
}

BOOL GenerateConsoleCtrlEvent(DWORD CtrlEvent, DWORD ProcessGroupId)
{
  int Signal;
  if (CtrlEvent == CTRL_C_EVENT)
    Signal = SIGINT;
  else if (CtrlEvent == CTRL_BREAK_EVENT)
    Signal = SIGTERM;
  else {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  bool Found = false;
  for (const auto& Process : TReaper::Instance().Children()) {
    if (ProcessGroupId != 0 && static_cast<DWORD>(Process->Pid) != ProcessGroupId)
      continue;
    std::lock_guard<std::mutex> Guard(Process->SignalLock);
    if (Process->Reaped)
      continue;
    Found = true;
    if (kill(-Process->Pid, Signal) != 0)
      kill(Process->Pid, Signal);
  }
  if (!Found && ProcessGroupId != 0) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  return TRUE;
}

DWORD GetCurrentProcessId() { return static_cast<DWORD>(getpid()); }

DWORD GetModuleFileNameA(HMODULE, LPSTR FileName, DWORD Size)
{
  const String Path = ModuleFileName();
  if (Path.empty()) {
    SetLastError(ERROR_FILE_NOT_FOUND);
    return 0;
  }
  if (!FileName || Size == 0) {
    SetLastError(ERROR_INSUFFICIENT_BUFFER);
    return 0;
  }
  if (Path.size() >= Size) {
    std::memcpy(FileName, Path.data(), Size - 1);
    FileName[Size - 1] = 0;
    SetLastError(ERROR_INSUFFICIENT_BUFFER);
    return Size;
  }
  std::memcpy(FileName, Path.c_str(), Path.size() + 1);
  SetLastError(ERROR_SUCCESS);
  return static_cast<DWORD>(Path.size());
}

DWORD GetEnvironmentVariableA(LPCSTR Name, LPSTR Buffer, DWORD Size)
{
  const char* Value = Name ? std::getenv(Name) : nullptr;
  if (!Value) {
    SetLastError(ERROR_ENVVAR_NOT_FOUND);
    return 0;
  }
  const std::size_t Length = std::strlen(Value);
  if (!Buffer || Length >= Size)
    return static_cast<DWORD>(Length + 1);
  std::memcpy(Buffer, Value, Length + 1);
  return static_cast<DWORD>(Length);
}

String EnvironmentValue(const String& Name)
{
  const char* Value = std::getenv(Name.c_str());
  return Value ? String(Value) : String();
}

BOOL SetEnvironmentVariableA(LPCSTR Name, LPCSTR Value)
{
  if (!Name || !*Name || std::strchr(Name, '=')) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  int Rc = Value ? setenv(Name, Value, 1) : unsetenv(Name);
  if (Rc != 0) {
    SetLastError(ERROR_NOT_ENOUGH_MEMORY);
    return FALSE;
  }
  return TRUE;
}

void ExitProcess(UINT ExitCode)
{
  std::fflush(nullptr);
  _exit(static_cast<int>(ExitCode));
}
