// Windows of other running copies of the program: this copy's windows are listed in the
// instance channel's directory, requests from other copies arrive as sent messages on the GUI
// thread, and FindWindow answers a stand-in handle for another copy's window through which
// SendMessage, SendNotifyMessage and PostMessage travel (WM_COPYDATA with its bytes).
#include <map>
#include <mutex>

#include "platform/os/InstanceChannel.h"
#include "platform/rtl/Thread.h"
#include "platform/win/WinInternal.h"

namespace QvWin {

HWND AllocateHandleValue();
void AddLoopFd(int Fd, std::function<void()> OnReadable);

namespace {

struct TRemoteTable {
  std::mutex Lock;
  std::map<HWND, qv::os::TRemoteWindow> Proxies;
  qv::os::TInstanceChannel* Hooked = nullptr;
  int HookedFd = -1;
};

TRemoteTable& R()
{
  static TRemoteTable* T = new TRemoteTable;
  return *T;
}

HWND ProxyFor(const qv::os::TRemoteWindow& Remote);

// The stand-in handle here for window Value of process Sender (listed or not).
HWND ProxyForValue(DWORD Sender, HWND Value)
{
  for (const auto& W : qv::os::FindRemoteWindows(nullptr, nullptr, false))
    if (W.ProcessId == Sender && W.Window == Value) return ProxyFor(W);
  qv::os::TRemoteWindow Unlisted;
  Unlisted.ProcessId = Sender;
  Unlisted.Window = Value;
  return ProxyFor(Unlisted);
}

LRESULT Deliver(HWND Target, UINT Msg, WPARAM WParam, LPARAM LParam, const std::vector<char>& Data)
{
  // The channel lets through only listed windows and messages whose parameters mean the same
  // here; a top-level window of ours is what it lists.
  TWnd* W = LookupLive(Target);
  if (W == nullptr || W->IsDesktop || !W->IsTopLevel() || !qv::os::RemoteMessageAllowed(Msg)) return 0;
  if (Msg != WM_COPYDATA && !Data.empty()) return 0;
  if (Msg == WM_COPYDATA) {
    // wParam names the sending window, a handle value of the sender's: here it becomes the
    // stand-in for that window, so that it never passes for a window of ours.
    const DWORD Sender = qv::os::RemoteRequestSender();
    if (WParam != 0 && Sender != 0)
      WParam = reinterpret_cast<WPARAM>(ProxyForValue(Sender, reinterpret_cast<HWND>(WParam)));
    COPYDATASTRUCT Cds;
    Cds.dwData = static_cast<ULONG_PTR>(LParam);
    Cds.cbData = static_cast<DWORD>(Data.size());
    Cds.lpData = Data.empty() ? nullptr : const_cast<char*>(Data.data());
    return SendMessageA(Target, WM_COPYDATA, WParam, reinterpret_cast<LPARAM>(&Cds));
  }
  return SendMessageA(Target, Msg, WParam, LParam);
}

HWND ProxyFor(const qv::os::TRemoteWindow& Remote)
{
  auto& T = R();
  std::lock_guard<std::mutex> Guard(T.Lock);
  for (auto& E : T.Proxies)
    if (E.second.ProcessId == Remote.ProcessId && E.second.Window == Remote.Window) return E.first;
  HWND H = AllocateHandleValue();
  T.Proxies[H] = Remote;
  return H;
}

}  // namespace

// Hooks the process's instance channel into the GUI thread's loop once it exists.
void HookInstanceChannel()
{
  auto* Channel = qv::os::TInstanceChannel::Current();
  auto& T = R();
  if (!IsGuiThread()) return;
  if (Channel == nullptr) {
    // The channel was closed: its descriptor leaves the loop.
    if (T.Hooked != nullptr) RemoveLoopFd(T.HookedFd);
    T.Hooked = nullptr;
    return;
  }
  if (Channel == T.Hooked) return;
  if (T.Hooked != nullptr) RemoveLoopFd(T.HookedFd);
  T.Hooked = Channel;
  T.HookedFd = Channel->GetFd();
  Channel->SetHandler(Deliver);
  AddLoopFd(Channel->GetFd(), [] {
    auto* C = qv::os::TInstanceChannel::Current();
    if (C != nullptr) C->Pump();
  });
  // Windows made before the channel opened.
  for (TWnd* W : Desktop()->Children) Channel->RegisterWindow(W->Handle, ClassNameOf(W), W->Text, W->ThreadId);
}

void RemoteWindowCreated(TWnd* W)
{
  HookInstanceChannel();
  auto* Channel = qv::os::TInstanceChannel::Current();
  if (Channel != nullptr && Channel == R().Hooked && W->IsTopLevel())
    Channel->RegisterWindow(W->Handle, ClassNameOf(W), W->Text, W->ThreadId);
}

void RemoteWindowRetitled(TWnd* W)
{
  auto* Channel = qv::os::TInstanceChannel::Current();
  if (Channel != nullptr && Channel == R().Hooked && W->IsTopLevel()) Channel->SetWindowTitle(W->Handle, W->Text);
}

void RemoteWindowDestroyed(TWnd* W)
{
  auto* Channel = qv::os::TInstanceChannel::Current();
  if (Channel != nullptr && Channel == R().Hooked && W->IsTopLevel()) Channel->UnregisterWindow(W->Handle);
}

bool IsRemoteProxy(HWND Wnd)
{
  auto& T = R();
  std::lock_guard<std::mutex> Guard(T.Lock);
  return T.Proxies.count(Wnd) != 0;
}

bool RemoteTarget(HWND Wnd, qv::os::TRemoteWindow& Out)
{
  auto& T = R();
  std::lock_guard<std::mutex> Guard(T.Lock);
  auto It = T.Proxies.find(Wnd);
  if (It == T.Proxies.end()) return false;
  Out = It->second;
  return true;
}

void ForgetProxy(HWND Wnd)
{
  auto& T = R();
  std::lock_guard<std::mutex> Guard(T.Lock);
  T.Proxies.erase(Wnd);
}

// SendMessage/SendMessageTimeout to another copy's window. False when Wnd is no stand-in.
bool RemoteSend(HWND Wnd, UINT Msg, WPARAM WParam, LPARAM LParam, DWORD Timeout, LRESULT* Result, BOOL* Ok)
{
  qv::os::TRemoteWindow Target;
  if (!RemoteTarget(Wnd, Target)) return false;
  BOOL R2;
  if (Msg == WM_COPYDATA) {
    auto* Cds = reinterpret_cast<const COPYDATASTRUCT*>(LParam);
    R2 = Cds == nullptr ? FALSE
                        : qv::os::SendRemoteCopyData(Target, reinterpret_cast<HWND>(WParam), Cds->dwData, Cds->lpData,
                                                     Cds->cbData, Timeout, Result);
  } else {
    R2 = qv::os::SendRemoteMessage(Target, Msg, WParam, LParam, nullptr, 0, Timeout, Result);
  }
  if (!R2 && GetLastError() == ERROR_INVALID_WINDOW_HANDLE) ForgetProxy(Wnd);
  if (Ok != nullptr) *Ok = R2;
  return true;
}

bool RemotePost(HWND Wnd, UINT Msg, WPARAM WParam, LPARAM LParam, BOOL* Ok)
{
  qv::os::TRemoteWindow Target;
  if (!RemoteTarget(Wnd, Target)) return false;
  // Pointers mean nothing in another process: only WM_COPYDATA carries bytes, and it is sent.
  *Ok = qv::os::PostRemoteMessage(Target, Msg, WParam, LParam, nullptr, 0);
  if (!*Ok && GetLastError() == ERROR_INVALID_WINDOW_HANDLE) ForgetProxy(Wnd);
  return true;
}

DWORD RemoteThreadProcess(HWND Wnd, DWORD* ProcessId)
{
  qv::os::TRemoteWindow Target;
  if (!RemoteTarget(Wnd, Target)) return 0;
  if (ProcessId != nullptr) *ProcessId = Target.ProcessId;
  return Target.ThreadId;
}

bool RemoteClassName(HWND Wnd, String& ClassName)
{
  qv::os::TRemoteWindow Target;
  if (!RemoteTarget(Wnd, Target)) return false;
  ClassName = Target.ClassName;
  return true;
}

void InstallRemoteFind()
{
  static std::once_flag Once;
  std::call_once(Once, [] {
    RemoteFindWindow = [](LPCSTR ClassName, LPCSTR WindowName) -> HWND {
      if (ClassName != nullptr && IS_INTRESOURCE(ClassName)) return nullptr;
      auto Found = qv::os::FindRemoteWindows(ClassName, WindowName, false);
      if (Found.empty()) return nullptr;
      return ProxyFor(Found.front());
    };
  });
}

}  // namespace QvWin

using namespace QvWin;

BOOL EnumRemoteWindows(WNDENUMPROC EnumFunc, LPARAM LParam)
{
  if (EnumFunc == nullptr) return FALSE;
  for (const auto& W : qv::os::FindRemoteWindows(nullptr, nullptr, false))
    if (!EnumFunc(ProxyFor(W), LParam)) return FALSE;
  return TRUE;
}

HWND SenderWindowHandle(HWND Value)
{
  const DWORD Sender = qv::os::RemoteRequestSender();
  if (Value == nullptr || Sender == 0) return Value;
  return ProxyForValue(Sender, Value);
}
