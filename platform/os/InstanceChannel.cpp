#include "platform/os/InstanceChannel.h"

#include <dirent.h>
#include <fcntl.h>
#include <poll.h>
#include <sys/epoll.h>
#include <sys/file.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/timerfd.h>
#include <sys/un.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstring>
#include <map>
#include <mutex>

#include "platform/os/KernelObjectInternal.h"
#include "platform/os/OsInit.h"
#include "platform/os/Sync.h"
#include "platform/rtl/Thread.h"

namespace qv::os {

namespace {

constexpr std::uint32_t RequestMagic = 0x4D495651;  // "QVIM"
constexpr std::uint32_t ReplyMagic = 0x52495651;    // "QVIR"
constexpr std::uint32_t KindSend = 1;
constexpr std::uint32_t KindPost = 2;
constexpr std::uint32_t MaxData = MaxRemoteCopyData;

// The copy whose request the calling thread's handler is running (0 outside a handler).
thread_local DWORD CurrentSender = 0;
// How long accepting pauses when the process has no descriptor left.
constexpr int AcceptPauseMs = 250;

struct TRequestHeader {
  std::uint32_t Magic;
  std::uint32_t Kind;
  std::uint32_t Msg;
  std::uint32_t DataSize;
  std::uint64_t Target;
  std::uint64_t WParam;
  std::int64_t LParam;
  std::uint32_t SenderPid;
  std::uint32_t Reserved;
};

struct TReplyHeader {
  std::uint32_t Magic;
  std::uint32_t Status;
  std::int64_t Result;
};

String InstanceFolder()
{
  String Root = RuntimeFolder();
  if (Root.empty())
    return Root;
  String Folder = Root + "/instances";
  if (mkdir(Folder.c_str(), 0700) != 0 && errno != EEXIST) {
    SetLastError(ERROR_ACCESS_DENIED);
    return String();
  }
  struct stat St {};
  if (lstat(Folder.c_str(), &St) != 0 || !S_ISDIR(St.st_mode) || St.st_uid != geteuid()) {
    SetLastError(ERROR_ACCESS_DENIED);
    return String();
  }
  return Folder;
}

// The directory's guard: starting a copy and removing a dead copy's entry never interleave.
class TDirectoryGuard {
public:
  explicit TDirectoryGuard(const String& Folder)
  {
    FFd = open((Folder + "/.guard").c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600);
    if (FFd >= 0)
      while (flock(FFd, LOCK_EX) != 0 && errno == EINTR) {
      }
  }
  ~TDirectoryGuard()
  {
    if (FFd >= 0)
      close(FFd);
  }

private:
  int FFd = -1;
};

String ToHex(const String& Text)
{
  if (Text.empty())
    return "-";
  static const char Digits[] = "0123456789abcdef";
  String Result;
  for (unsigned char C : Text) {
    Result += Digits[C >> 4];
    Result += Digits[C & 15];
  }
  return Result;
}

bool FromHex(const String& Hex, String& Text)
{
  Text.clear();
  if (Hex == "-")
    return true;
  if (Hex.size() % 2)
    return false;
  auto Value = [](char C) -> int {
    if (C >= '0' && C <= '9')
      return C - '0';
    if (C >= 'a' && C <= 'f')
      return C - 'a' + 10;
    return -1;
  };
  for (std::size_t I = 0; I < Hex.size(); I += 2) {
    int Hi = Value(Hex[I]), Lo = Value(Hex[I + 1]);
    if (Hi < 0 || Lo < 0)
      return false;
    Text += static_cast<char>(Hi * 16 + Lo);
  }
  return true;
}

String ReadWholeFile(const String& Path)
{
  int Fd = open(Path.c_str(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW);
  if (Fd < 0)
    return String();
  String Result;
  char Buffer[4096];
  ssize_t N;
  while ((N = read(Fd, Buffer, sizeof Buffer)) > 0 && Result.size() < (1u << 20))
    Result.append(Buffer, static_cast<std::size_t>(N));
  close(Fd);
  return Result;
}

// Parses a directory file; false when it is damaged (then it is ignored).
bool ParseDirectory(const String& Text, DWORD Pid, std::vector<TRemoteWindow>& Windows)
{
  std::size_t Pos = 0;
  bool HeaderSeen = false;
  while (Pos < Text.size()) {
    std::size_t End = Text.find('\n', Pos);
    if (End == String::npos)
      return false;  // a file is always complete (written whole, then renamed)
    String Line = Text.substr(Pos, End - Pos);
    Pos = End + 1;
    if (!HeaderSeen) {
      if (Line != "QVINST 1")
        return false;
      HeaderSeen = true;
      continue;
    }
    char HwndText[32], ClassHex[1024], TitleHex[4096];
    unsigned long long Hwnd = 0;
    unsigned long Tid = 0;
    if (Line.size() > 4000 || std::sscanf(Line.c_str(), "W %31s %lu %1023s %4095s", HwndText, &Tid, ClassHex, TitleHex) != 4)
      return false;
    Hwnd = std::strtoull(HwndText, nullptr, 16);
    TRemoteWindow W;
    W.ProcessId = Pid;
    W.ThreadId = static_cast<DWORD>(Tid);
    W.Window = reinterpret_cast<HWND>(static_cast<std::uintptr_t>(Hwnd));
    if (!FromHex(ClassHex, W.ClassName) || !FromHex(TitleHex, W.Title))
      return false;
    Windows.push_back(std::move(W));
  }
  return HeaderSeen;
}

// The socket's address. A path too long for an address is reached through a descriptor of its
// folder ("/proc/self/fd/N/name"), which Folder then holds (close it after bind/connect).
bool SocketAddress(const String& Path, sockaddr_un& Address, int& Folder)
{
  Folder = -1;
  std::memset(&Address, 0, sizeof Address);
  Address.sun_family = AF_UNIX;
  String Short = Path;
  if (Path.size() >= sizeof Address.sun_path) {
    const std::size_t Slash = Path.rfind('/');
    if (Slash == String::npos)
      return false;
    Folder = open(Path.substr(0, Slash).c_str(), O_PATH | O_DIRECTORY | O_CLOEXEC);
    if (Folder < 0)
      return false;
    Short = "/proc/self/fd/" + std::to_string(Folder) + Path.substr(Slash);
    if (Short.size() >= sizeof Address.sun_path) {
      close(Folder);
      Folder = -1;
      return false;
    }
  }
  std::memcpy(Address.sun_path, Short.c_str(), Short.size() + 1);
  return true;
}

void CloseFolder(int& Folder)
{
  if (Folder >= 0)
    close(Folder);
  Folder = -1;
}

// Whole-buffer write on a non-blocking socket, until the deadline (-1: none).
// ServeFd/Serve: while waiting for room, the caller's own channel is served (a copy that sends
// to its own window is the one that must read the request).
bool WriteAll(int Fd, const char* Data, std::size_t Size, Int64 Deadline, int ServeFd = -1,
              const std::function<void()>& Serve = nullptr)
{
  while (Size > 0) {
    ssize_t N = send(Fd, Data, Size, MSG_NOSIGNAL);
    if (N > 0) {
      Data += N;
      Size -= static_cast<std::size_t>(N);
      continue;
    }
    if (N < 0 && errno != EAGAIN && errno != EINTR)
      return false;
    int Timeout = -1;
    if (Deadline >= 0) {
      Int64 Left = Deadline - GetTickCount64();
      if (Left <= 0)
        return false;
      Timeout = static_cast<int>(std::min<Int64>(Left, INT_MAX));
    }
    pollfd P[2] = {{Fd, POLLOUT, 0}, {ServeFd, POLLIN, 0}};
    poll(P, 2, Timeout);
    if (ServeFd >= 0 && P[1].revents && Serve)
      Serve();
  }
  return true;
}

std::mutex& CurrentLock()
{
  static std::mutex* M = new std::mutex();
  return *M;
}
TInstanceChannel* CurrentChannel = nullptr;

}  // namespace

struct TInstanceChannel::TImpl {
  struct TConnection {
    std::vector<char> Buffer;
    std::size_t Needed = sizeof(TRequestHeader);  // bytes of the request known so far
    Int64 Deadline = 0;  // dropped when nothing came by then (moved on by each read)
    Int64 Limit = 0;     // and when the request is not complete by then, however it trickles
    DWORD Peer = 0;      // the connecting process (from the socket's credentials)
  };
  String Folder;
  String LockPath, SocketPath, DirectoryPath;
  int LockFd = -1;
  int ListenFd = -1;
  int EpollFd = -1;
  int TimerFd = -1;
  bool Listening = false;
  Int64 ListenPausedUntil = 0;
  std::size_t Reserved = 0;  // the known sizes of the requests on all connections together
  Cardinal OwnerThread = 0;
  TInstanceHandler Handler;
  std::vector<TRemoteWindow> Windows;
  std::map<int, TConnection> Connections;

  bool WriteDirectory()
  {
    String Text = "QVINST 1\n";
    char Line[64];
    for (const TRemoteWindow& W : Windows) {
      std::snprintf(Line, sizeof Line, "W %llx %lu ",
                    static_cast<unsigned long long>(reinterpret_cast<std::uintptr_t>(W.Window)),
                    static_cast<unsigned long>(W.ThreadId));
      Text += Line + ToHex(W.ClassName) + " " + ToHex(W.Title) + "\n";
    }
    String Temp = DirectoryPath + ".tmp";
    int Fd = open(Temp.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC | O_NOFOLLOW, 0600);
    if (Fd < 0) {
      SetLastError(errno == ENOSPC || errno == EDQUOT ? ERROR_DISK_FULL : ERROR_ACCESS_DENIED);
      return false;
    }
    std::size_t Done = 0;
    int Error = 0;
    while (Done < Text.size()) {
      ssize_t N = ::write(Fd, Text.data() + Done, Text.size() - Done);
      if (N < 0 && errno == EINTR)
        continue;
      if (N <= 0) {
        Error = N < 0 ? errno : ENOSPC;
        break;
      }
      Done += static_cast<std::size_t>(N);
    }
    if (close(Fd) != 0 && Error == 0)
      Error = errno;
    if (Error == 0 && rename(Temp.c_str(), DirectoryPath.c_str()) != 0)
      Error = errno;
    if (Error != 0) {
      unlink(Temp.c_str());
      SetLastError(Error == ENOSPC || Error == EDQUOT ? ERROR_DISK_FULL : ERROR_ACCESS_DENIED);
      return false;
    }
    return true;
  }

  void Watch(int Fd, bool On)
  {
    epoll_event Event{};
    Event.events = EPOLLIN;
    Event.data.fd = Fd;
    epoll_ctl(EpollFd, On ? EPOLL_CTL_ADD : EPOLL_CTL_DEL, Fd, On ? &Event : nullptr);
  }

  void SetListening(bool On)
  {
    if (On == Listening)
      return;
    Listening = On;
    Watch(ListenFd, On);
  }

  // The timer wakes the loop for the next deadline: a connection's, or the end of a pause.
  void ArmTimer()
  {
    Int64 Next = 0;
    for (auto& [Fd, Connection] : Connections) {
      const Int64 Due = std::min(Connection.Deadline, Connection.Limit);
      if (Next == 0 || Due < Next)
        Next = Due;
    }
    if (ListenPausedUntil != 0 && (Next == 0 || ListenPausedUntil < Next))
      Next = ListenPausedUntil;
    itimerspec Spec{};
    if (Next != 0) {
      Int64 Left = std::max<Int64>(Next - static_cast<Int64>(GetTickCount64()), 1);
      Spec.it_value.tv_sec = static_cast<time_t>(Left / 1000);
      Spec.it_value.tv_nsec = static_cast<long>(Left % 1000) * 1000000L;
    }
    timerfd_settime(TimerFd, 0, &Spec, nullptr);
  }

  void Forget(std::map<int, TConnection>::iterator It)
  {
    Reserved -= It->second.Needed;
    Connections.erase(It);
    if (ListenPausedUntil == 0 && Connections.size() < static_cast<std::size_t>(MaxRemoteConnections))
      SetListening(true);
  }

  void Drop(int Fd)
  {
    auto It = Connections.find(Fd);
    Watch(Fd, false);
    if (It != Connections.end())
      Forget(It);
    close(Fd);
  }

  void AcceptAll()
  {
    while (Connections.size() < static_cast<std::size_t>(MaxRemoteConnections)) {
      int Fd = accept4(ListenFd, nullptr, nullptr, SOCK_NONBLOCK | SOCK_CLOEXEC);
      if (Fd < 0) {
        if (errno == EMFILE || errno == ENFILE || errno == ENOBUFS || errno == ENOMEM) {
          // The waiting connection stays in the backlog and would wake the loop at once,
          // again and again: stop looking for a moment.
          SetListening(false);
          ListenPausedUntil = static_cast<Int64>(GetTickCount64()) + AcceptPauseMs;
        }
        return;
      }
      ucred Cred{};
      socklen_t Length = sizeof Cred;
      if (getsockopt(Fd, SOL_SOCKET, SO_PEERCRED, &Cred, &Length) != 0 || Cred.uid != geteuid()) {
        close(Fd);  // only this user's programs may talk to us
        continue;
      }
      Watch(Fd, true);
      TConnection Connection;
      Connection.Peer = static_cast<DWORD>(Cred.pid);
      Connection.Deadline = static_cast<Int64>(GetTickCount64()) + RemoteRequestDeadlineMs;
      Connection.Limit = static_cast<Int64>(GetTickCount64()) + RemoteRequestLimitMs;
      Reserved += Connection.Needed;
      Connections[Fd] = std::move(Connection);
    }
    SetListening(false);  // full: the rest wait in the backlog until a connection ends
  }

  // Drops the connections whose time is up, and ends a pause of accepting.
  void Sweep()
  {
    const Int64 Now = static_cast<Int64>(GetTickCount64());
    std::vector<int> Late;
    for (auto& [Fd, Connection] : Connections)
      if (Connection.Deadline <= Now || Connection.Limit <= Now)
        Late.push_back(Fd);
    for (int Fd : Late)
      Drop(Fd);
    if (ListenPausedUntil != 0 && ListenPausedUntil <= Now) {
      ListenPausedUntil = 0;
      if (Connections.size() < static_cast<std::size_t>(MaxRemoteConnections))
        SetListening(true);
    }
  }

  // Reads from one connection; handles its request when it is complete. Returns 1 when a
  // request was handled.
  int Serve(int Fd)
  {
    auto It = Connections.find(Fd);
    if (It == Connections.end())
      return 0;
    TConnection& C = It->second;
    TInstanceRequest Request;
    for (;;) {
      std::size_t Needed = C.Needed;
      TFrameStatus Status = ParseInstanceRequest(C.Buffer.data(), C.Buffer.size(), Request, Needed);
      if (Status == TFrameStatus::Damaged) {
        Drop(Fd);  // not one of ours, or too large
        return 0;
      }
      if (Status == TFrameStatus::Complete)
        break;
      if (Needed > C.Needed) {
        // The header told the size: it must fit into what all connections may hold together.
        if (Reserved - C.Needed + Needed > MaxRemoteBufferedBytes) {
          Drop(Fd);
          return 0;
        }
        Reserved += Needed - C.Needed;
        C.Needed = Needed;
      }
      char Chunk[65536];
      const std::size_t Want = std::min(sizeof Chunk, C.Needed - C.Buffer.size());
      ssize_t N = recv(Fd, Chunk, Want, 0);
      if (N > 0) {
        C.Buffer.insert(C.Buffer.end(), Chunk, Chunk + N);
        C.Deadline = static_cast<Int64>(GetTickCount64()) + RemoteRequestDeadlineMs;
        continue;
      }
      if (N < 0 && (errno == EAGAIN || errno == EINTR))
        return 0;  // the rest comes later
      Drop(Fd);    // closed before the request was complete
      return 0;
    }
    // The connection leaves the table before the handler runs: a nested Pump (the handler may
    // send messages itself) must not see it again.
    Watch(Fd, false);
    const DWORD Peer = It->second.Peer;
    Forget(It);
    LRESULT Result = 0;
    std::uint32_t Status = 0;
    const HWND Target = reinterpret_cast<HWND>(static_cast<std::uintptr_t>(Request.Target));
    // Only listed windows, only messages whose parameters mean the same here, and bytes only
    // with WM_COPYDATA: anything else is answered 0 and goes nowhere.
    const bool Deliverable = IsListed(Target) && RemoteMessageAllowed(Request.Msg) &&
                             (Request.Data.empty() || Request.Msg == WM_COPYDATA_MESSAGE);
    if (Handler && Deliverable) {
      const DWORD OuterSender = CurrentSender;
      CurrentSender = Peer;
      try {
        Result = Handler(Target, Request.Msg, static_cast<WPARAM>(Request.WParam), static_cast<LPARAM>(Request.LParam),
                         Request.Data);
      } catch (...) {
        Status = 1;  // the handler failed: the sender gets 0
        Result = 0;
      }
      CurrentSender = OuterSender;
    }
    if (Request.Send) {
      TReplyHeader Reply{ReplyMagic, Status, static_cast<std::int64_t>(Result)};
      WriteAll(Fd, reinterpret_cast<const char*>(&Reply), sizeof Reply, GetTickCount64() + 1000);
    }
    close(Fd);
    return 1;
  }

  bool IsListed(HWND Window) const
  {
    if (!Window)
      return false;
    for (const TRemoteWindow& W : Windows)
      if (W.Window == Window)
        return true;
    return false;
  }

  int Pump()
  {
    int Handled = 0;
    std::uint64_t Expirations;
    while (read(TimerFd, &Expirations, sizeof Expirations) > 0) {
    }
    epoll_event Events[32];
    int N = epoll_wait(EpollFd, Events, 32, 0);
    std::vector<int> Ready;
    for (int I = 0; I < N; ++I)
      if (Events[I].data.fd != TimerFd)
        Ready.push_back(Events[I].data.fd);
    for (int Fd : Ready) {
      if (Fd == ListenFd)
        AcceptAll();
      else
        Handled += Serve(Fd);
    }
    // Connections accepted just now may already hold their request.
    std::vector<int> Fresh;
    for (auto& [Fd, Connection] : Connections)
      if (Connection.Buffer.empty() && std::find(Ready.begin(), Ready.end(), Fd) == Ready.end())
        Fresh.push_back(Fd);
    for (int Fd : Fresh)
      Handled += Serve(Fd);
    // Whatever had arrived was read first: a busy loop never costs a sender its request.
    Sweep();
    ArmTimer();
    return Handled;
  }
};

TInstanceChannel::TInstanceChannel() : FImpl(std::make_unique<TImpl>())
{
  OsInitialize();
  std::lock_guard<std::mutex> Guard(CurrentLock());
  if (CurrentChannel)
    RaiseLastOSError(ERROR_ALREADY_EXISTS);
  TImpl& I = *FImpl;
  I.Folder = InstanceFolder();
  if (I.Folder.empty())
    RaiseLastOSError();
  const String Base = I.Folder + "/" + std::to_string(getpid());
  I.LockPath = Base + ".lock";
  I.SocketPath = Base + ".sock";
  I.DirectoryPath = Base + ".dir";
  I.OwnerThread = GetCurrentThreadId();
  int AddressFolder = -1;
  auto Fail = [&](DWORD Error) {
    CloseFolder(AddressFolder);
    if (I.TimerFd >= 0)
      close(I.TimerFd);
    if (I.EpollFd >= 0)
      close(I.EpollFd);
    if (I.ListenFd >= 0)
      close(I.ListenFd);
    if (I.LockFd >= 0)
      close(I.LockFd);
    RaiseLastOSError(Error);
  };
  {
    TDirectoryGuard DirGuard(I.Folder);
    I.LockFd = open(I.LockPath.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600);
    if (I.LockFd < 0 || flock(I.LockFd, LOCK_EX | LOCK_NB) != 0)
      Fail(ERROR_ACCESS_DENIED);
    sockaddr_un Address;
    if (!SocketAddress(I.SocketPath, Address, AddressFolder))
      Fail(ERROR_FILENAME_EXCED_RANGE);
    unlink(I.SocketPath.c_str());  // left by a dead process that had our id
    I.ListenFd = socket(AF_UNIX, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
    if (I.ListenFd < 0 || bind(I.ListenFd, reinterpret_cast<sockaddr*>(&Address), sizeof Address) != 0 ||
        listen(I.ListenFd, 64) != 0)
      Fail(errno == ENOSPC || errno == EDQUOT ? ERROR_DISK_FULL : ERROR_ACCESS_DENIED);
    CloseFolder(AddressFolder);
    I.EpollFd = epoll_create1(EPOLL_CLOEXEC);
    I.TimerFd = timerfd_create(CLOCK_MONOTONIC, TFD_NONBLOCK | TFD_CLOEXEC);
    if (I.EpollFd < 0 || I.TimerFd < 0)
      Fail(ERROR_NOT_ENOUGH_MEMORY);
    I.Watch(I.TimerFd, true);
    I.SetListening(true);
    if (!I.WriteDirectory()) {
      const DWORD Error = GetLastError();
      unlink(I.SocketPath.c_str());
      unlink(I.LockPath.c_str());
      Fail(Error);
    }
  }
  CurrentChannel = this;
}

TInstanceChannel::~TInstanceChannel()
{
  {
    std::lock_guard<std::mutex> Guard(CurrentLock());
    if (CurrentChannel == this)
      CurrentChannel = nullptr;
  }
  TImpl& I = *FImpl;
  for (auto& [Fd, Connection] : I.Connections)
    close(Fd);
  I.Connections.clear();
  TDirectoryGuard DirGuard(I.Folder);
  unlink(I.DirectoryPath.c_str());
  unlink(I.SocketPath.c_str());
  unlink(I.LockPath.c_str());
  close(I.TimerFd);
  close(I.EpollFd);
  close(I.ListenFd);
  close(I.LockFd);
}

int TInstanceChannel::GetFd() const { return FImpl->EpollFd; }
bool TInstanceChannel::OwnedByCallingThread() const { return FImpl->OwnerThread == GetCurrentThreadId(); }
void TInstanceChannel::SetHandler(TInstanceHandler Handler) { FImpl->Handler = std::move(Handler); }
int TInstanceChannel::Pump() { return FImpl->Pump(); }

BOOL TInstanceChannel::RegisterWindow(HWND Window, const String& ClassName, const String& Title, DWORD ThreadId)
{
  for (TRemoteWindow& W : FImpl->Windows)
    if (W.Window == Window) {
      W.ClassName = ClassName;
      W.Title = Title;
      W.ThreadId = ThreadId;
      return FImpl->WriteDirectory() ? TRUE : FALSE;
    }
  FImpl->Windows.push_back(TRemoteWindow{static_cast<DWORD>(getpid()), ThreadId, Window, ClassName, Title});
  return FImpl->WriteDirectory() ? TRUE : FALSE;
}

BOOL TInstanceChannel::SetWindowTitle(HWND Window, const String& Title)
{
  bool Changed = false;
  for (TRemoteWindow& W : FImpl->Windows)
    if (W.Window == Window && W.Title != Title) {
      W.Title = Title;
      Changed = true;
    }
  return !Changed || FImpl->WriteDirectory() ? TRUE : FALSE;
}

BOOL TInstanceChannel::UnregisterWindow(HWND Window)
{
  auto& Windows = FImpl->Windows;
  auto It = std::remove_if(Windows.begin(), Windows.end(), [&](const TRemoteWindow& W) { return W.Window == Window; });
  if (It == Windows.end())
    return TRUE;
  Windows.erase(It, Windows.end());
  return FImpl->WriteDirectory() ? TRUE : FALSE;
}

bool TInstanceChannel::IsListed(HWND Window) const { return FImpl->IsListed(Window); }
int TInstanceChannel::GetConnectionCount() const { return static_cast<int>(FImpl->Connections.size()); }

TInstanceChannel* TInstanceChannel::Current()
{
  std::lock_guard<std::mutex> Guard(CurrentLock());
  return CurrentChannel;
}

std::vector<TRemoteWindow> FindRemoteWindows(LPCSTR ClassName, LPCSTR Title, bool IncludeSelf)
{
  std::vector<TRemoteWindow> Result;
  const String Folder = InstanceFolder();
  if (Folder.empty())
    return Result;
  std::vector<DWORD> Pids;
  if (DIR* Dir = opendir(Folder.c_str())) {
    while (dirent* Entry = readdir(Dir)) {
      String Name = Entry->d_name;
      if (Name.size() < 5 || Name.compare(Name.size() - 4, 4, ".dir") != 0)
        continue;
      char* End;
      unsigned long Pid = std::strtoul(Name.c_str(), &End, 10);
      if (End == Name.c_str() + Name.size() - 4 && Pid > 0)
        Pids.push_back(static_cast<DWORD>(Pid));
    }
    closedir(Dir);
  }
  std::sort(Pids.begin(), Pids.end());
  const DWORD Self = static_cast<DWORD>(getpid());
  for (DWORD Pid : Pids) {
    if (Pid == Self && !IncludeSelf)
      continue;
    const String Base = Folder + "/" + std::to_string(Pid);
    if (Pid != Self) {
      // A copy is alive while it holds its lock; the entry of a dead one is removed.
      TDirectoryGuard DirGuard(Folder);
      int Fd = open((Base + ".lock").c_str(), O_RDWR | O_CLOEXEC | O_NOFOLLOW);
      bool Alive = Fd >= 0 && flock(Fd, LOCK_SH | LOCK_NB) != 0;
      if (!Alive) {
        unlink((Base + ".dir").c_str());
        unlink((Base + ".sock").c_str());
        if (Fd >= 0)
          unlink((Base + ".lock").c_str());
      }
      if (Fd >= 0)
        close(Fd);
      if (!Alive)
        continue;
    }
    std::vector<TRemoteWindow> Windows;
    if (!ParseDirectory(ReadWholeFile(Base + ".dir"), Pid, Windows))
      continue;
    for (TRemoteWindow& W : Windows)
      if ((!ClassName || W.ClassName == ClassName) && (!Title || W.Title == Title))
        Result.push_back(std::move(W));
  }
  return Result;
}

namespace {

// Connects, sends the request, and for a send waits for the reply.
BOOL Deliver(const TRemoteWindow& Target, std::uint32_t Kind, UINT Msg, WPARAM wParam, LPARAM lParam,
             const void* Data, DWORD DataSize, DWORD Timeout, LRESULT* Result)
{
  OsInitialize();
  if (Result)
    *Result = 0;
  if ((DataSize > 0 && !Data) || DataSize > MaxData) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  const String Folder = InstanceFolder();
  sockaddr_un Address;
  int AddressFolder = -1;
  if (Folder.empty() ||
      !SocketAddress(Folder + "/" + std::to_string(Target.ProcessId) + ".sock", Address, AddressFolder)) {
    SetLastError(ERROR_INVALID_WINDOW_HANDLE);
    return FALSE;
  }
  const Int64 Deadline = Timeout == INFINITE ? -1 : GetTickCount64() + Timeout;
  int Fd = socket(AF_UNIX, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
  if (Fd < 0) {
    CloseFolder(AddressFolder);
    SetLastError(ERROR_NOT_ENOUGH_MEMORY);
    return FALSE;
  }
  const bool Connected =
      connect(Fd, reinterpret_cast<sockaddr*>(&Address), sizeof Address) == 0 || errno == EINPROGRESS || errno == EAGAIN;
  CloseFolder(AddressFolder);
  if (!Connected) {
    close(Fd);
    SetLastError(ERROR_INVALID_WINDOW_HANDLE);  // the copy is gone
    return FALSE;
  }
  TRequestHeader H{RequestMagic, Kind, Msg, DataSize, static_cast<std::uint64_t>(reinterpret_cast<std::uintptr_t>(Target.Window)),
                   static_cast<std::uint64_t>(wParam), static_cast<std::int64_t>(lParam),
                   static_cast<std::uint32_t>(getpid()), 0};
  std::vector<char> Frame(sizeof H + DataSize);
  std::memcpy(Frame.data(), &H, sizeof H);
  if (DataSize)
    std::memcpy(Frame.data() + sizeof H, Data, DataSize);
  // While waiting, the owner of our own channel keeps serving what others send to it.
  TInstanceChannel* Own = TInstanceChannel::Current();
  const bool Serve = Own && Own->OwnedByCallingThread();
  if (!WriteAll(Fd, Frame.data(), Frame.size(), Deadline, Serve ? Own->GetFd() : -1, [Own] { Own->Pump(); })) {
    close(Fd);
    SetLastError(errno == EAGAIN || Deadline >= 0 ? ERROR_TIMEOUT : ERROR_INVALID_WINDOW_HANDLE);
    return FALSE;
  }
  if (Kind == KindPost) {
    close(Fd);
    return TRUE;
  }
  TReplyHeader Reply{};
  std::size_t Got = 0;
  for (;;) {
    ssize_t N = recv(Fd, reinterpret_cast<char*>(&Reply) + Got, sizeof Reply - Got, 0);
    if (N > 0) {
      Got += static_cast<std::size_t>(N);
      if (Got == sizeof Reply)
        break;
      continue;
    }
    if (N == 0 || (errno != EAGAIN && errno != EINTR)) {
      close(Fd);
      SetLastError(ERROR_INVALID_WINDOW_HANDLE);  // the copy ended without answering
      return FALSE;
    }
    int Wait = -1;
    if (Deadline >= 0) {
      Int64 Left = Deadline - GetTickCount64();
      if (Left <= 0) {
        close(Fd);
        SetLastError(ERROR_TIMEOUT);
        return FALSE;
      }
      Wait = static_cast<int>(std::min<Int64>(Left, INT_MAX));
    }
    pollfd P[2] = {{Fd, POLLIN, 0}, {Serve ? Own->GetFd() : -1, POLLIN, 0}};
    poll(P, 2, Wait);
    if (Serve && P[1].revents)
      Own->Pump();
  }
  close(Fd);
  if (Reply.Magic != ReplyMagic) {
    SetLastError(ERROR_INVALID_WINDOW_HANDLE);
    return FALSE;
  }
  if (Result)
    *Result = static_cast<LRESULT>(Reply.Result);
  return TRUE;
}

}  // namespace

BOOL SendRemoteMessage(const TRemoteWindow& Target, UINT Msg, WPARAM wParam, LPARAM lParam, const void* Data,
                       DWORD DataSize, DWORD Timeout, LRESULT* Result)
{
  return Deliver(Target, KindSend, Msg, wParam, lParam, Data, DataSize, Timeout, Result);
}

BOOL PostRemoteMessage(const TRemoteWindow& Target, UINT Msg, WPARAM wParam, LPARAM lParam, const void* Data,
                       DWORD DataSize)
{
  return Deliver(Target, KindPost, Msg, wParam, lParam, Data, DataSize, 5000, nullptr);
}

BOOL SendRemoteCopyData(const TRemoteWindow& Target, HWND From, ULONG_PTR dwData, const void* lpData, DWORD cbData,
                        DWORD Timeout, LRESULT* Result)
{
  return Deliver(Target, KindSend, WM_COPYDATA_MESSAGE, reinterpret_cast<WPARAM>(From), static_cast<LPARAM>(dwData),
                 lpData, cbData, Timeout, Result);
}

UINT RegisterSharedMessage(const String& Name)
{
  if (Name.empty()) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return 0;
  }
  String Key = Name;
  for (char& C : Key)
    if (C >= 'a' && C <= 'z')
      C = static_cast<char>(C - 32);
  const String Folder = RuntimeFolder();
  if (Folder.empty())
    return 0;
  static std::mutex CacheLock;
  static std::map<String, UINT>* Cache = new std::map<String, UINT>();
  const String CacheKey = Folder + "/" + Key;
  {
    std::lock_guard<std::mutex> Guard(CacheLock);
    auto It = Cache->find(CacheKey);
    if (It != Cache->end())
      return It->second;
  }
  int Fd = open((Folder + "/messages").c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600);
  if (Fd < 0) {
    SetLastError(ERROR_ACCESS_DENIED);
    return 0;
  }
  while (flock(Fd, LOCK_EX) != 0 && errno == EINTR) {
  }
  String Text;
  char Buffer[4096];
  ssize_t N;
  while ((N = read(Fd, Buffer, sizeof Buffer)) > 0)
    Text.append(Buffer, static_cast<std::size_t>(N));
  // One name per line, hex-coded; a line cut short by a crash is ignored and overwritten.
  std::vector<String> Names;
  std::size_t Pos = 0, End;
  while ((End = Text.find('\n', Pos)) != String::npos) {
    Names.push_back(Text.substr(Pos, End - Pos));
    Pos = End + 1;
  }
  const String Hex = ToHex(Key);
  UINT Result = 0;
  auto Found = std::find(Names.begin(), Names.end(), Hex);
  if (Found != Names.end()) {
    Result = 0xC000 + static_cast<UINT>(Found - Names.begin());
  } else if (Names.size() < 0x4000) {
    String Line = Hex + "\n";
    if (pwrite(Fd, Line.data(), Line.size(), static_cast<off_t>(Pos)) == static_cast<ssize_t>(Line.size())) {
      if (ftruncate(Fd, static_cast<off_t>(Pos + Line.size())) == 0)
        Result = 0xC000 + static_cast<UINT>(Names.size());
    }
  }
  close(Fd);
  if (Result == 0) {
    SetLastError(ERROR_NOT_ENOUGH_MEMORY);
    return 0;
  }
  std::lock_guard<std::mutex> Guard(CacheLock);
  (*Cache)[CacheKey] = Result;
  return Result;
}

DWORD RemoteRequestSender() { return CurrentSender; }

bool RemoteMessageAllowed(UINT Msg)
{
  if (Msg == WM_COPYDATA_MESSAGE || (Msg >= 0xC000 && Msg <= 0xFFFF))
    return true;
  switch (Msg) {
  case 0x0000:  // WM_NULL
  case 0x0010:  // WM_CLOSE
  case 0x0011:  // WM_QUERYENDSESSION
  case 0x0016:  // WM_ENDSESSION
  case 0x001C:  // WM_ACTIVATEAPP
  case 0x0112:  // WM_SYSCOMMAND (a command number and a screen point)
    return true;
  default: return false;
  }
}

TFrameStatus ParseInstanceRequest(const char* Bytes, std::size_t Size, TInstanceRequest& Request, std::size_t& Needed)
{
  Needed = sizeof(TRequestHeader);
  if (Size < sizeof(TRequestHeader)) {
    // A wrong start is known as soon as the magic is there.
    if (Size >= sizeof(std::uint32_t)) {
      std::uint32_t Magic;
      std::memcpy(&Magic, Bytes, sizeof Magic);
      if (Magic != RequestMagic)
        return TFrameStatus::Damaged;
    }
    return TFrameStatus::NeedMore;
  }
  TRequestHeader H;
  std::memcpy(&H, Bytes, sizeof H);
  if (H.Magic != RequestMagic || H.DataSize > MaxData || (H.Kind != KindSend && H.Kind != KindPost))
    return TFrameStatus::Damaged;
  Needed = sizeof H + H.DataSize;
  if (Size < Needed)
    return TFrameStatus::NeedMore;
  Request.Send = H.Kind == KindSend;
  Request.Msg = H.Msg;
  Request.Target = H.Target;
  Request.WParam = H.WParam;
  Request.LParam = H.LParam;
  Request.Data.assign(Bytes + sizeof H, Bytes + Needed);
  return TFrameStatus::Complete;
}

}  // namespace qv::os
