// Message queues: one per thread, with sent (cross-thread) and posted messages, the quit flag,
// timers and the generated WM_PAINT; SendMessage, PostMessage, the retrieval functions and
// the waiting of message loops.
#include <poll.h>
#include <sys/epoll.h>
#include <sys/eventfd.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <map>

#include "platform/os/InstanceChannel.h"
#include "platform/os/Wait.h"
#include "platform/rtl/Exceptions.h"
#include "platform/rtl/Thread.h"
#include "platform/win/WinInternal.h"

namespace QvWin {

void TranslateKey(const MSG& Msg);
void SetLastCursorMessagePos(MSG& Msg);

namespace {

class TRealClock : public TMessageClock {
public:
  DWORD Now() const override { return GetTickCount(); }
  bool IsRealTime() const override { return true; }
};

struct TQueueTable {
  std::mutex Lock;
  std::map<DWORD, std::shared_ptr<TThreadQueue>> Queues;
  std::shared_ptr<TMessageClock> Clock = std::make_shared<TRealClock>();
  std::mutex ClockLock;
  std::vector<TTimer> Timers;  // guarded by TableLock()
  UINT_PTR NextThreadTimer = 0x7FF0;
  std::map<UINT, String> Messages;
  UINT NextMessage = 0xC000;
  std::mutex MessagesLock;
  bool HookSet = false;
};

TQueueTable& Q()
{
  static TQueueTable* T = new TQueueTable;
  return *T;
}

// Removes the thread's queue from the table when the thread ends.
struct TQueueHolder {
  std::shared_ptr<TThreadQueue> Queue;
  ~TQueueHolder()
  {
    if (!Queue) return;
    std::lock_guard<std::mutex> Guard(Q().Lock);
    Q().Queues.erase(Queue->ThreadId);
  }
};

thread_local TQueueHolder TlQueue;
thread_local int TlProcDepth = 0;
thread_local int TlInSend = 0;

void InstallSynchronizeHook()
{
  auto& T = Q();
  std::lock_guard<std::mutex> Guard(T.Lock);
  if (T.HookSet) return;
  T.HookSet = true;
  WakeMainThread = [] {
    auto Queue = QueueOf(static_cast<DWORD>(MainThreadID.load()));
    if (Queue) Queue->Wake();
  };
}

bool FilterMatches(const MSG& M, HWND Filter, UINT Min, UINT Max)
{
  if (Min != 0 || Max != 0) {
    if (M.message < Min || M.message > Max) return false;
  }
  if (Filter == nullptr) return true;
  if (Filter == reinterpret_cast<HWND>(static_cast<std::intptr_t>(-1))) return M.hwnd == nullptr;
  if (M.hwnd == Filter) return true;
  return IsChild(Filter, M.hwnd) != FALSE;
}

bool RangeAccepts(UINT Msg, UINT Min, UINT Max) { return (Min == 0 && Max == 0) || (Msg >= Min && Msg <= Max); }

void Reply(const std::shared_ptr<TSentMessage>& S, LRESULT Result)
{
  auto Sender = S->Sender.lock();
  if (!Sender) return;
  {
    std::lock_guard<std::mutex> Guard(Sender->Lock);
    S->Result = Result;
    S->Done = true;
  }
  Sender->Wake();
}

// Handles the messages other threads sent to this thread's windows.
void ProcessSent(TThreadQueue& Queue)
{
  for (;;) {
    std::shared_ptr<TSentMessage> S;
    {
      std::lock_guard<std::mutex> Guard(Queue.Lock);
      if (Queue.Sent.empty()) return;
      S = Queue.Sent.front();
      Queue.Sent.pop_front();
    }
    LRESULT Result = 0;
    TWnd* W = LookupLive(S->Wnd);
    if (W != nullptr && W->ThreadId == Queue.ThreadId) {
      ++TlInSend;
      try {
        Result = CallProc(W, S->Msg, S->WParam, S->LParam);
      } catch (...) {
        --TlInSend;
        if (!S->NoReply) Reply(S, 0);
        throw;
      }
      --TlInSend;
    }
    if (!S->NoReply) Reply(S, Result);
  }
}

// Runs the internal timers (hover, caret, repeat) that are due.
void RunInternalTimers(DWORD Thread)
{
  DWORD T = Now();
  std::vector<std::function<void()>> Internal;
  {
    std::lock_guard<std::recursive_mutex> Guard(TableLock());
    for (auto& Tm : Q().Timers) {
      if (Tm.ThreadId != Thread || !Tm.Internal || static_cast<int>(T - Tm.Due) < 0) continue;
      Internal.push_back(Tm.Internal);
      Tm.Due = T + Tm.Elapse;
    }
  }
  for (auto& F : Internal) F();
}

// The first due message timer, if any.
bool NextDueTimer(DWORD Thread, HWND Filter, TTimer& Out, bool Remove)
{
  DWORD T = Now();
  bool Found = false;
  {
    std::lock_guard<std::recursive_mutex> Guard(TableLock());
    auto& List = Q().Timers;
    TTimer* Best = nullptr;
    for (auto& Tm : List) {
      if (Tm.ThreadId != Thread) continue;
      if (static_cast<int>(T - Tm.Due) < 0) continue;
      if (Tm.Internal) continue;
      if (Filter != nullptr && Tm.Wnd != Filter && !(Tm.Wnd != nullptr && IsChild(Filter, Tm.Wnd))) continue;
      if (Best == nullptr || static_cast<int>(Tm.Due - Best->Due) < 0) Best = &Tm;
    }
    if (Best != nullptr) {
      Out = *Best;
      Found = true;
      if (Remove) Best->Due = T + Best->Elapse;
    }
  }
  return Found;
}

// Milliseconds until the next timer of the thread is due (INFINITE when none or when the
// clock is not real time).
DWORD TimeToNextTimer(DWORD Thread)
{
  if (!GetMessageClock().IsRealTime()) return INFINITE;
  DWORD T = Now();
  DWORD Best = INFINITE;
  std::lock_guard<std::recursive_mutex> Guard(TableLock());
  for (auto& Tm : Q().Timers) {
    if (Tm.ThreadId != Thread) continue;
    int Left = static_cast<int>(Tm.Due - T);
    DWORD L = Left <= 0 ? 0 : static_cast<DWORD>(Left);
    Best = std::min(Best, L);
  }
  return Best;
}

// Extra descriptors the GUI thread's loop watches (the instance channel).
struct TLoopFd {
  int Fd;
  std::function<void()> OnReadable;
};
std::vector<TLoopFd>& LoopFds()
{
  static std::vector<TLoopFd> V;
  return V;
}

void PumpLoopFds()
{
  if (LoopFds().empty()) return;
  std::vector<pollfd> P;
  for (auto& F : LoopFds()) P.push_back(pollfd{F.Fd, POLLIN, 0});
  if (poll(P.data(), P.size(), 0) <= 0) return;
  auto Copy = LoopFds();
  for (std::size_t I = 0; I < P.size(); ++I)
    if (P[I].revents & (POLLIN | POLLHUP | POLLERR)) Copy[I].OnReadable();
}

// Everything the thread would find by looking at its queue now.
bool HasPending(TThreadQueue& Queue)
{
  {
    std::lock_guard<std::mutex> Guard(Queue.Lock);
    if (!Queue.Posted.empty() || !Queue.Sent.empty() || Queue.QuitPosted) return true;
  }
  if (static_cast<DWORD>(MainThreadID.load()) == Queue.ThreadId && SynchronizeRequestsPending()) return true;
  if (FindPaintWindow(Queue.ThreadId) != nullptr) return true;
  DWORD T = Now();
  std::lock_guard<std::recursive_mutex> Guard(TableLock());
  for (auto& Tm : Q().Timers)
    if (Tm.ThreadId == Queue.ThreadId && static_cast<int>(T - Tm.Due) >= 0) return true;
  return false;
}

// Blocks until something may have arrived (or Timeout ms). Returns false on time-out.
bool WaitForInput(TThreadQueue& Queue, DWORD Timeout)
{
  DWORD TimerWait = TimeToNextTimer(Queue.ThreadId);
  DWORD Wait = std::min(Timeout, TimerWait);
  std::vector<pollfd> P;
  P.push_back(pollfd{Queue.WakeFd, POLLIN, 0});
  bool Gui = IsGuiThread();
  // Events the display has already read from its connection do not make its descriptor
  // readable again: look before sleeping.
  if (Gui && DisplayEventsWaiting()) return true;
  if (Gui) {
    int Fd = GetDisplayBackend().EventFd();
    if (Fd >= 0) P.push_back(pollfd{Fd, POLLIN, 0});
    for (auto& F : LoopFds()) P.push_back(pollfd{F.Fd, POLLIN, 0});
  }
  int Ms = Wait == INFINITE ? -1 : static_cast<int>(std::min<DWORD>(Wait, 0x7FFFFFFF));
  int R;
  do {
    R = poll(P.data(), P.size(), Ms);
  } while (R < 0 && errno == EINTR);
  return R > 0 || (R == 0 && TimerWait <= Timeout);
}

bool PeekInternal(MSG* Out, HWND Filter, UINT Min, UINT Max, UINT Remove)
{
  TThreadQueue& Queue = CurrentQueue();
  Queue.Drain();
  ProcessSent(Queue);
  if (IsGuiThread()) {
    HookInstanceChannel();
    PumpDisplay();
    PumpLoopFds();
    ProcessSent(Queue);
    PresentIfOverdue();
  }
  if (static_cast<DWORD>(MainThreadID.load()) == Queue.ThreadId) CheckSynchronize(0);
  RunInternalTimers(Queue.ThreadId);

  {
    std::unique_lock<std::mutex> Guard(Queue.Lock);
    for (auto It = Queue.Posted.begin(); It != Queue.Posted.end(); ++It) {
      if (!FilterMatches(*It, Filter, Min, Max)) continue;
      MSG M = *It;
      if (Remove & PM_REMOVE) Queue.Posted.erase(It);
      Guard.unlock();
      *Out = M;
      if (Remove & PM_REMOVE) Queue.Current = M;
      return true;
    }
    // WM_QUIT is handed out whatever the filters, as Windows does.
    if (Queue.QuitPosted) {
      MSG M{};
      M.message = WM_QUIT;
      M.wParam = static_cast<WPARAM>(Queue.QuitCode);
      M.time = Now();
      if (Remove & PM_REMOVE) Queue.QuitPosted = false;
      *Out = M;
      return true;
    }
  }
  if (RangeAccepts(WM_PAINT, Min, Max)) {
    TWnd* P = FindPaintWindow(Queue.ThreadId);
    if (P != nullptr && Filter != nullptr && P->Handle != Filter && !IsChild(Filter, P->Handle)) P = nullptr;
    if (P != nullptr) {
      MSG M{};
      M.hwnd = P->Handle;
      M.message = WM_PAINT;
      M.time = Now();
      SetLastCursorMessagePos(M);
      *Out = M;
      return true;
    }
  }
  if (RangeAccepts(WM_TIMER, Min, Max)) {
    TTimer Tm;
    if (NextDueTimer(Queue.ThreadId, Filter, Tm, (Remove & PM_REMOVE) != 0)) {
      MSG M{};
      M.hwnd = Tm.Wnd;
      M.message = WM_TIMER;
      M.wParam = Tm.Id;
      M.lParam = reinterpret_cast<LPARAM>(Tm.Proc);
      M.time = Now();
      SetLastCursorMessagePos(M);
      *Out = M;
      if (Remove & PM_REMOVE) Queue.Current = M;
      return true;
    }
  }
  if (IsGuiThread()) PresentAll();
  return false;
}

}  // namespace

TThreadQueue::TThreadQueue()
{
  WakeFd = eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC);
}

TThreadQueue::~TThreadQueue()
{
  if (WakeFd >= 0) close(WakeFd);
}

void TThreadQueue::Wake()
{
  std::uint64_t One = 1;
  ssize_t R = write(WakeFd, &One, sizeof One);
  (void)R;
}

void TThreadQueue::Drain()
{
  std::uint64_t V;
  while (read(WakeFd, &V, sizeof V) > 0) {
  }
}

TThreadQueue& CurrentQueue()
{
  if (!TlQueue.Queue) {
    InstallSynchronizeHook();
    auto Queue = std::make_shared<TThreadQueue>();
    Queue->ThreadId = GetCurrentThreadId();
    {
      std::lock_guard<std::mutex> Guard(Q().Lock);
      Q().Queues[Queue->ThreadId] = Queue;
    }
    TlQueue.Queue = Queue;
  }
  return *TlQueue.Queue;
}

std::shared_ptr<TThreadQueue> QueueOf(DWORD ThreadId)
{
  std::lock_guard<std::mutex> Guard(Q().Lock);
  auto It = Q().Queues.find(ThreadId);
  return It == Q().Queues.end() ? nullptr : It->second;
}

void WakeAllQueues()
{
  std::lock_guard<std::mutex> Guard(Q().Lock);
  for (auto& E : Q().Queues) E.second->Wake();
}

void PostInput(const MSG& Msg)
{
  TThreadQueue& Queue = CurrentQueue();
  std::lock_guard<std::mutex> Guard(Queue.Lock);
  Queue.Posted.push_back(Msg);
}

LRESULT CallProc(TWnd* W, UINT Msg, WPARAM WParam, LPARAM LParam)
{
  WNDPROC Proc = W->Proc;
  HWND H = W->Handle;
  struct TDepth {
    TDepth() { ++TlProcDepth; }
    ~TDepth() { --TlProcDepth; }
  } Depth;
  if (Proc == nullptr) return DefWindowProcA(H, Msg, WParam, LParam);
  return Proc(H, Msg, WParam, LParam);
}

LRESULT Send(HWND Wnd, UINT Msg, WPARAM WParam, LPARAM LParam) { return SendMessageA(Wnd, Msg, WParam, LParam); }

DWORD Now() { return GetMessageClock().Now(); }

void KillWindowTimers(HWND Wnd)
{
  std::lock_guard<std::recursive_mutex> Guard(TableLock());
  auto& L = Q().Timers;
  L.erase(std::remove_if(L.begin(), L.end(), [&](const TTimer& T) { return T.Wnd == Wnd && !T.Internal; }), L.end());
}

void RemoveWindowMessages(HWND Wnd)
{
  DWORD T = WindowThread(Wnd);
  auto Queue = QueueOf(T);
  if (!Queue) return;
  std::lock_guard<std::mutex> Guard(Queue->Lock);
  auto& P = Queue->Posted;
  P.erase(std::remove_if(P.begin(), P.end(), [&](const MSG& M) { return M.hwnd == Wnd; }), P.end());
}

void SetInternalTimer(UINT_PTR Id, UINT Elapse, std::function<void()> Callback)
{
  std::lock_guard<std::recursive_mutex> Guard(TableLock());
  KillInternalTimer(Id);
  TTimer T;
  T.Id = Id;
  T.Elapse = std::max<UINT>(Elapse, 1);
  T.Due = Now() + T.Elapse;
  T.ThreadId = GetCurrentThreadId();
  T.Internal = std::move(Callback);
  Q().Timers.push_back(std::move(T));
}

void KillInternalTimer(UINT_PTR Id)
{
  std::lock_guard<std::recursive_mutex> Guard(TableLock());
  auto& L = Q().Timers;
  L.erase(std::remove_if(L.begin(), L.end(), [&](const TTimer& T) { return T.Internal && T.Id == Id; }), L.end());
}

void AddLoopFd(int Fd, std::function<void()> OnReadable) { LoopFds().push_back(TLoopFd{Fd, std::move(OnReadable)}); }

void RemoveLoopFd(int Fd)
{
  auto& V = LoopFds();
  V.erase(std::remove_if(V.begin(), V.end(), [&](const TLoopFd& F) { return F.Fd == Fd; }), V.end());
}

}  // namespace QvWin

using namespace QvWin;

// ---------------------------------------------------------------------------------------------
// Clock

void TManualMessageClock::Advance(DWORD Milliseconds)
{
  FNow.fetch_add(Milliseconds);
  WakeAllQueues();
}

void TManualMessageClock::Set(DWORD Value)
{
  FNow.store(Value);
  WakeAllQueues();
}

void SetMessageClock(std::shared_ptr<TMessageClock> Clock)
{
  auto& T = Q();
  DWORD Before = Now();
  {
    std::lock_guard<std::mutex> Guard(T.ClockLock);
    T.Clock = Clock ? std::move(Clock) : std::make_shared<TRealClock>();
  }
  // Timers keep their remaining time on the new clock.
  DWORD After = Now();
  {
    std::lock_guard<std::recursive_mutex> Guard(TableLock());
    for (auto& Tm : T.Timers) Tm.Due = Tm.Due - Before + After;
  }
  WakeAllQueues();
}

TMessageClock& GetMessageClock()
{
  auto& T = Q();
  std::lock_guard<std::mutex> Guard(T.ClockLock);
  return *T.Clock;
}

// ---------------------------------------------------------------------------------------------
// Sending

namespace {

// Window records belong to their thread: here only the handle and the thread id are used.
LRESULT SendAcross(HWND Wnd, DWORD Thread, UINT Msg, WPARAM WParam, LPARAM LParam, UINT Timeout, bool& TimedOut)
{
  TimedOut = false;
  auto Target = QueueOf(Thread);
  if (!Target) {
    SetLastError(ERROR_INVALID_WINDOW_HANDLE);
    return 0;
  }
  TThreadQueue& Self = CurrentQueue();
  auto S = std::make_shared<TSentMessage>();
  S->Wnd = Wnd;
  S->Msg = Msg;
  S->WParam = WParam;
  S->LParam = LParam;
  S->SenderThread = Self.ThreadId;
  S->Sender = TlQueue.Queue;
  {
    std::lock_guard<std::mutex> Guard(Target->Lock);
    Target->Sent.push_back(S);
  }
  Target->Wake();
  DWORD Start = GetTickCount();
  for (;;) {
    {
      std::lock_guard<std::mutex> Guard(Self.Lock);
      if (S->Done) return S->Result;
    }
    // A thread blocked in SendMessage still receives messages sent to it.
    Self.Drain();
    ProcessSent(Self);
    {
      std::lock_guard<std::mutex> Guard(Self.Lock);
      if (S->Done) return S->Result;
    }
    int Ms = -1;
    if (Timeout != INFINITE) {
      DWORD Spent = GetTickCount() - Start;
      if (Spent >= Timeout) {
        std::lock_guard<std::mutex> Guard(Self.Lock);
        if (S->Done) return S->Result;
        S->NoReply = true;
        S->Sender.reset();
        TimedOut = true;
        return 0;
      }
      Ms = static_cast<int>(Timeout - Spent);
    }
    pollfd P{Self.WakeFd, POLLIN, 0};
    poll(&P, 1, Ms);
  }
}

void Broadcast(UINT Msg, WPARAM WParam, LPARAM LParam, bool Post)
{
  std::vector<HWND> Targets;
  for (TWnd* W : Desktop()->Children) Targets.push_back(W->Handle);
  for (HWND H : Targets) {
    if (Post) PostMessageA(H, Msg, WParam, LParam);
    else SendMessageA(H, Msg, WParam, LParam);
  }
}

}  // namespace

LRESULT SendMessageA(HWND Wnd, UINT Msg, WPARAM WParam, LPARAM LParam)
{
  if (Wnd == HWND_BROADCAST) {
    Broadcast(Msg, WParam, LParam, false);
    return 0;
  }
  DWORD Thread = WindowThread(Wnd);
  if (Thread == 0) {
    LRESULT Result = 0;
    if (RemoteSend(Wnd, Msg, WParam, LParam, INFINITE, &Result, nullptr)) return Result;
    if (Wnd == GetDesktopWindow()) return 0;
    SetLastError(ERROR_INVALID_WINDOW_HANDLE);
    return 0;
  }
  if (Thread == GetCurrentThreadId()) {
    TWnd* W = LookupLive(Wnd);
    return W != nullptr ? CallProc(W, Msg, WParam, LParam) : 0;
  }
  bool TimedOut = false;
  return SendAcross(Wnd, Thread, Msg, WParam, LParam, INFINITE, TimedOut);
}

LRESULT SendMessageTimeoutA(HWND Wnd, UINT Msg, WPARAM WParam, LPARAM LParam, UINT, UINT Timeout, DWORD_PTR* Result)
{
  if (Wnd == HWND_BROADCAST) {
    Broadcast(Msg, WParam, LParam, false);
    if (Result != nullptr) *Result = 0;
    return TRUE;
  }
  DWORD Thread = WindowThread(Wnd);
  if (Thread == 0) {
    LRESULT Remote = 0;
    BOOL Ok = FALSE;
    if (RemoteSend(Wnd, Msg, WParam, LParam, Timeout, &Remote, &Ok)) {
      if (Ok && Result != nullptr) *Result = static_cast<DWORD_PTR>(Remote);
      return Ok;
    }
    SetLastError(ERROR_INVALID_WINDOW_HANDLE);
    return 0;
  }
  LRESULT R;
  if (Thread == GetCurrentThreadId()) {
    TWnd* W = LookupLive(Wnd);
    R = W != nullptr ? CallProc(W, Msg, WParam, LParam) : 0;
  } else {
    bool TimedOut = false;
    R = SendAcross(Wnd, Thread, Msg, WParam, LParam, Timeout, TimedOut);
    if (TimedOut) {
      SetLastError(ERROR_TIMEOUT);
      return 0;
    }
  }
  if (Result != nullptr) *Result = static_cast<DWORD_PTR>(R);
  return TRUE;
}

BOOL SendNotifyMessageA(HWND Wnd, UINT Msg, WPARAM WParam, LPARAM LParam)
{
  if (Wnd == HWND_BROADCAST) {
    std::vector<HWND> Targets;
    for (TWnd* W : Desktop()->Children) Targets.push_back(W->Handle);
    for (HWND H : Targets) SendNotifyMessageA(H, Msg, WParam, LParam);
    return TRUE;
  }
  std::shared_ptr<TThreadQueue> Target;
  BOOL RemoteOk = FALSE;
  if (LookupLive(Wnd) == nullptr && RemotePost(Wnd, Msg, WParam, LParam, &RemoteOk)) return RemoteOk;
  {
    std::lock_guard<std::recursive_mutex> Guard(TableLock());
    TWnd* W = LookupLive(Wnd);
    if (W == nullptr || W->IsDesktop) {
      SetLastError(ERROR_INVALID_WINDOW_HANDLE);
      return FALSE;
    }
    if (W->ThreadId == GetCurrentThreadId()) {
      Target = nullptr;
    } else {
      Target = QueueOf(W->ThreadId);
      if (!Target) {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return FALSE;
      }
    }
  }
  if (!Target) {
    SendMessageA(Wnd, Msg, WParam, LParam);
    return TRUE;
  }
  auto S = std::make_shared<TSentMessage>();
  S->Wnd = Wnd;
  S->Msg = Msg;
  S->WParam = WParam;
  S->LParam = LParam;
  S->NoReply = true;
  {
    std::lock_guard<std::mutex> Guard(Target->Lock);
    Target->Sent.push_back(S);
  }
  Target->Wake();
  return TRUE;
}

BOOL InSendMessage() { return TlInSend > 0 ? TRUE : FALSE; }

BOOL ReplyMessage(LRESULT) { return TlInSend > 0 ? TRUE : FALSE; }

// ---------------------------------------------------------------------------------------------
// Posting

namespace {

POINT LastPostPoint()
{
  MSG M{};
  SetLastCursorMessagePos(M);
  return M.pt;
}

BOOL PostTo(const std::shared_ptr<TThreadQueue>& Queue, HWND Wnd, UINT Msg, WPARAM WParam, LPARAM LParam,
           const POINT* Point = nullptr)
{
  MSG M{};
  M.hwnd = Wnd;
  M.message = Msg;
  M.wParam = WParam;
  M.lParam = LParam;
  M.time = Now();
  M.pt = Point ? *Point : LastPostPoint();
  {
    std::lock_guard<std::mutex> Guard(Queue->Lock);
    Queue->Posted.push_back(M);
  }
  Queue->Wake();
  return TRUE;
}

}  // namespace

namespace QvWin {

BOOL PostMessageAt(HWND Wnd, UINT Msg, WPARAM WParam, LPARAM LParam, POINT Point)
{
  std::shared_ptr<TThreadQueue> Queue;
  {
    std::lock_guard<std::recursive_mutex> Guard(TableLock());
    DWORD T = WindowThread(Wnd);
    if (T != 0) Queue = QueueOf(T);
  }
  if (!Queue) {
    SetLastError(ERROR_INVALID_WINDOW_HANDLE);
    return FALSE;
  }
  return PostTo(Queue, Wnd, Msg, WParam, LParam, &Point);
}

}  // namespace QvWin

BOOL PostMessageA(HWND Wnd, UINT Msg, WPARAM WParam, LPARAM LParam)
{
  if (Wnd == nullptr) return PostThreadMessageA(GetCurrentThreadId(), Msg, WParam, LParam);
  if (Wnd == HWND_BROADCAST) {
    Broadcast(Msg, WParam, LParam, true);
    return TRUE;
  }
  std::shared_ptr<TThreadQueue> Queue;
  {
    std::lock_guard<std::recursive_mutex> Guard(TableLock());
    DWORD T = WindowThread(Wnd);
    if (T == 0) {
      BOOL RemoteOk = FALSE;
      if (RemotePost(Wnd, Msg, WParam, LParam, &RemoteOk)) return RemoteOk;
      SetLastError(ERROR_INVALID_WINDOW_HANDLE);
      return FALSE;
    }
    Queue = QueueOf(T);
  }
  if (!Queue) {
    SetLastError(ERROR_INVALID_WINDOW_HANDLE);
    return FALSE;
  }
  return PostTo(Queue, Wnd, Msg, WParam, LParam);
}

BOOL PostThreadMessageA(DWORD ThreadId, UINT Msg, WPARAM WParam, LPARAM LParam)
{
  auto Queue = ThreadId == GetCurrentThreadId() ? TlQueue.Queue : QueueOf(ThreadId);
  if (!Queue && ThreadId == GetCurrentThreadId()) {
    CurrentQueue();
    Queue = TlQueue.Queue;
  }
  if (!Queue) {
    SetLastError(1444);  // ERROR_INVALID_THREAD_ID
    return FALSE;
  }
  return PostTo(Queue, nullptr, Msg, WParam, LParam);
}

void PostQuitMessage(int ExitCode)
{
  TThreadQueue& Queue = CurrentQueue();
  {
    std::lock_guard<std::mutex> Guard(Queue.Lock);
    Queue.QuitPosted = true;
    Queue.QuitCode = ExitCode;
  }
  Queue.Wake();
}

UINT RegisterWindowMessageA(LPCSTR Name)
{
  if (Name == nullptr || Name[0] == '\0') {
    SetLastError(ERROR_INVALID_PARAMETER);
    return 0;
  }
  // The same number in every copy of the program for the same name.
  UINT Shared = qv::os::RegisterSharedMessage(Name);
  if (Shared != 0) return Shared;
  auto& T = Q();
  std::lock_guard<std::mutex> Guard(T.MessagesLock);
  for (auto& E : T.Messages)
    if (NameMatches(E.second, Name)) return E.first;
  if (T.NextMessage == 0) {
    SetLastError(ERROR_NOT_ENOUGH_MEMORY);
    return 0;
  }
  UINT M = T.NextMessage;
  T.NextMessage = M == 0xFFFF ? 0 : M + 1;
  T.Messages[M] = Name;
  return M;
}

// ---------------------------------------------------------------------------------------------
// Retrieval

BOOL PeekMessageA(MSG* Msg, HWND Wnd, UINT MsgFilterMin, UINT MsgFilterMax, UINT RemoveMsg)
{
  if (Msg == nullptr) return FALSE;
  if (Wnd != nullptr && Wnd != reinterpret_cast<HWND>(static_cast<std::intptr_t>(-1)) && LookupLive(Wnd) == nullptr) {
    SetLastError(ERROR_INVALID_WINDOW_HANDLE);
    return FALSE;
  }
  if (TlProcDepth == 0) CollectGarbage();
  return PeekInternal(Msg, Wnd, MsgFilterMin, MsgFilterMax, RemoveMsg) ? TRUE : FALSE;
}

BOOL GetMessageA(MSG* Msg, HWND Wnd, UINT MsgFilterMin, UINT MsgFilterMax)
{
  if (Msg == nullptr) return -1;
  if (Wnd != nullptr && Wnd != reinterpret_cast<HWND>(static_cast<std::intptr_t>(-1)) && LookupLive(Wnd) == nullptr) {
    SetLastError(ERROR_INVALID_WINDOW_HANDLE);
    return -1;
  }
  TThreadQueue& Queue = CurrentQueue();
  for (;;) {
    if (TlProcDepth == 0) CollectGarbage();
    if (PeekInternal(Msg, Wnd, MsgFilterMin, MsgFilterMax, PM_REMOVE)) return Msg->message == WM_QUIT ? FALSE : TRUE;
    if (Wnd != nullptr && LookupLive(Wnd) == nullptr) {
      SetLastError(ERROR_INVALID_WINDOW_HANDLE);
      return -1;
    }
    WaitForInput(Queue, INFINITE);
  }
}

BOOL WaitMessage()
{
  TThreadQueue& Queue = CurrentQueue();
  if (HasPending(Queue)) return TRUE;
  if (IsGuiThread()) {
    PumpDisplay();
    if (HasPending(Queue)) return TRUE;
    PresentAll();
  }
  WaitForInput(Queue, INFINITE);
  return TRUE;
}

LRESULT DispatchMessageA(const MSG* Msg)
{
  if (Msg == nullptr) return 0;
  if (Msg->message == WM_TIMER && Msg->lParam != 0) {
    TIMERPROC Proc = reinterpret_cast<TIMERPROC>(Msg->lParam);
    bool Known = false;
    {
      std::lock_guard<std::recursive_mutex> Guard(TableLock());
      for (auto& T : Q().Timers)
        if (T.Wnd == Msg->hwnd && T.Id == Msg->wParam && T.Proc == Proc) Known = true;
    }
    if (!Known) return 0;
    Proc(Msg->hwnd, WM_TIMER, Msg->wParam, Now());
    return 0;
  }
  if (Msg->hwnd == nullptr) return 0;
  TWnd* W = LookupLive(Msg->hwnd);
  if (W == nullptr) {
    SetLastError(ERROR_INVALID_WINDOW_HANDLE);
    return 0;
  }
  if (W->ThreadId != GetCurrentThreadId()) return 0;
  TThreadQueue& Queue = CurrentQueue();
  MSG Saved = Queue.Current;
  Queue.Current = *Msg;
  struct TRestore {
    TThreadQueue& Q;
    MSG S;
    ~TRestore() { Q.Current = S; }
  } Restore{Queue, Saved};
  if (Msg->message == WM_PAINT) {
    W->PaintServiced = false;
    HWND H = W->Handle;
    LRESULT R = CallProc(W, WM_PAINT, Msg->wParam, Msg->lParam);
    W = LookupLive(H);
    // A procedure that ignored WM_PAINT would be asked again for ever: what it did not
    // validate is validated here.
    if (W != nullptr && !W->PaintServiced) {
      W->Update = TRegion();
      W->EraseNeeded = false;
      W->FrameNeeded = false;
    }
    if (W != nullptr) W->InternalPaint = false;
    return R;
  }
  return CallProc(W, Msg->message, Msg->wParam, Msg->lParam);
}

BOOL TranslateMessage(const MSG* Msg)
{
  if (Msg == nullptr) return FALSE;
  if (Msg->message != WM_KEYDOWN && Msg->message != WM_SYSKEYDOWN) return FALSE;
  TranslateKey(*Msg);
  return TRUE;
}

LONG GetMessageTime() { return static_cast<LONG>(CurrentQueue().Current.time); }

DWORD GetMessagePos()
{
  const POINT& P = CurrentQueue().Current.pt;
  return MAKELONG(static_cast<WORD>(P.x), static_cast<WORD>(P.y));
}

DWORD GetQueueStatus(UINT Flags)
{
  TThreadQueue& Queue = CurrentQueue();
  UINT Now = 0;
  {
    std::lock_guard<std::mutex> Guard(Queue.Lock);
    for (auto& M : Queue.Posted) {
      if (M.message >= WM_KEYFIRST && M.message <= WM_KEYLAST) Now |= QS_KEY;
      else if (M.message == WM_MOUSEMOVE) Now |= QS_MOUSEMOVE;
      else if (M.message >= WM_MOUSEFIRST && M.message <= WM_MOUSELAST) Now |= QS_MOUSEBUTTON;
      else Now |= QS_POSTMESSAGE | QS_ALLPOSTMESSAGE;
    }
    if (!Queue.Sent.empty()) Now |= QS_SENDMESSAGE;
    if (Queue.QuitPosted) Now |= QS_POSTMESSAGE | QS_ALLPOSTMESSAGE;
  }
  // Requests of worker threads (a reader's or a watcher's end report) come to the main thread
  // as a posted message would.
  if (static_cast<DWORD>(MainThreadID.load()) == Queue.ThreadId && SynchronizeRequestsPending())
    Now |= QS_POSTMESSAGE | QS_ALLPOSTMESSAGE;
  if (FindPaintWindow(Queue.ThreadId) != nullptr) Now |= QS_PAINT;
  if (TimeToNextTimer(Queue.ThreadId) == 0) Now |= QS_TIMER;
  Now &= Flags;
  return MAKELONG(static_cast<WORD>(Now), static_cast<WORD>(Now));
}

BOOL GetInputState()
{
  if (IsGuiThread()) PumpDisplay();
  return (GetQueueStatus(QS_INPUT) & 0xFFFF) != 0 ? TRUE : FALSE;
}

DWORD MsgWaitForMultipleObjectsEx(DWORD Count, const HANDLE* Handles, DWORD Timeout, DWORD WakeMask, DWORD Flags)
{
  bool WaitAll = (Flags & MWMO_WAITALL) != 0;
  if (Count > 0 && Handles == nullptr) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return WAIT_FAILED;
  }
  TThreadQueue& Queue = CurrentQueue();
  DWORD Start = GetTickCount();
  for (;;) {
    if (IsGuiThread()) PumpDisplay();
    ProcessSent(Queue);
    if (Count > 0) {
      DWORD R = WaitForMultipleObjects(Count, Handles, WaitAll, 0);
      if (R != WAIT_TIMEOUT) return R;
    }
    if (!WaitAll && (GetQueueStatus(WakeMask) & 0xFFFF) != 0) return WAIT_OBJECT_0 + Count;
    DWORD Spent = GetTickCount() - Start;
    if (Timeout != INFINITE && Spent >= Timeout) return WAIT_TIMEOUT;
    DWORD Left = Timeout == INFINITE ? INFINITE : Timeout - Spent;
    Queue.Drain();
    if (!WaitAll && (GetQueueStatus(WakeMask) & 0xFFFF) != 0) return WAIT_OBJECT_0 + Count;
    if (Count == 0) {
      WaitForInput(Queue, Left);
      continue;
    }
    // The handles, or anything that wakes this thread's loop (messages, the display, the
    // instance channel), through one descriptor.
    int Ep = epoll_create1(EPOLL_CLOEXEC);
    if (Ep < 0) {
      SetLastError(ERROR_NOT_ENOUGH_MEMORY);
      return WAIT_FAILED;
    }
    auto Add = [&](int Fd) {
      epoll_event E{};
      E.events = EPOLLIN;
      E.data.fd = Fd;
      epoll_ctl(Ep, EPOLL_CTL_ADD, Fd, &E);
    };
    Add(Queue.WakeFd);
    if (IsGuiThread()) {
      int D = GetDisplayBackend().EventFd();
      if (D >= 0) Add(D);
      for (auto& F : LoopFds()) Add(F.Fd);
    }
    DWORD TimerWait = TimeToNextTimer(Queue.ThreadId);
    DWORD Wait = std::min(Left, TimerWait);
    DWORD R = qv::os::WaitForMultipleObjectsOrFd(Count, Handles, WaitAll, Wait, Ep);
    close(Ep);
    if (R == WAIT_FAILED) return WAIT_FAILED;
    if (R < WAIT_OBJECT_0 + Count || (R >= WAIT_ABANDONED_0 && R < WAIT_ABANDONED_0 + Count)) return R;
  }
}

DWORD MsgWaitForMultipleObjects(DWORD Count, const HANDLE* Handles, BOOL, DWORD Timeout, DWORD WakeMask)
{
  return MsgWaitForMultipleObjectsEx(Count, Handles, Timeout, WakeMask, 0);
}

// ---------------------------------------------------------------------------------------------
// Timers

UINT_PTR SetTimer(HWND Wnd, UINT_PTR IdEvent, UINT Elapse, TIMERPROC TimerFunc)
{
  if (Wnd != nullptr) {
    TWnd* W = LookupLive(Wnd);
    if (W == nullptr || W->IsDesktop) {
      SetLastError(ERROR_INVALID_WINDOW_HANDLE);
      return 0;
    }
    if (W->ThreadId != GetCurrentThreadId()) {
      SetLastError(5);
      return 0;
    }
  }
  CurrentQueue();
  Elapse = std::clamp<UINT>(Elapse, 10, 0x7FFFFFFF);
  std::lock_guard<std::recursive_mutex> Guard(TableLock());
  auto& L = Q().Timers;
  DWORD Thread = GetCurrentThreadId();
  for (auto& T : L) {
    if (T.Internal || T.Wnd != Wnd || T.Id != IdEvent) continue;
    if (Wnd == nullptr && T.ThreadId != Thread) continue;
    T.Elapse = Elapse;
    T.Proc = TimerFunc;
    T.Due = Now() + Elapse;
    return Wnd != nullptr ? (IdEvent != 0 ? IdEvent : 1) : IdEvent;
  }
  TTimer T;
  T.Wnd = Wnd;
  T.Elapse = Elapse;
  T.Proc = TimerFunc;
  T.Due = Now() + Elapse;
  T.ThreadId = Thread;
  if (Wnd == nullptr) {
    UINT_PTR Id;
    bool Used;
    do {
      Id = Q().NextThreadTimer++;
      if (Q().NextThreadTimer > 0xFFFF) Q().NextThreadTimer = 0x7FF0;
      Used = false;
      for (auto& E : L)
        if (!E.Internal && E.Wnd == nullptr && E.Id == Id) Used = true;
    } while (Used);
    T.Id = Id;
  } else {
    T.Id = IdEvent;
  }
  L.push_back(T);
  auto Queue = QueueOf(Thread);
  if (Queue) Queue->Wake();
  if (Wnd == nullptr) return T.Id;
  return IdEvent != 0 ? IdEvent : 1;
}

BOOL KillTimer(HWND Wnd, UINT_PTR IdEvent)
{
  std::lock_guard<std::recursive_mutex> Guard(TableLock());
  auto& L = Q().Timers;
  DWORD Thread = GetCurrentThreadId();
  for (auto It = L.begin(); It != L.end(); ++It) {
    if (It->Internal || It->Wnd != Wnd || It->Id != IdEvent) continue;
    if (Wnd == nullptr && It->ThreadId != Thread) continue;
    L.erase(It);
    return TRUE;
  }
  return FALSE;
}

void ProcessPendingMessages()
{
  MSG M;
  for (int Guard = 0; Guard < 1000000; ++Guard) {
    if (!PeekMessageA(&M, nullptr, 0, 0, PM_REMOVE)) break;
    if (M.message == WM_QUIT) {
      PostQuitMessage(static_cast<int>(M.wParam));
      break;
    }
    TranslateMessage(&M);
    DispatchMessageA(&M);
  }
  if (IsGuiThread()) PresentAll();
}
