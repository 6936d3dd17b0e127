#include "app/XcAppInstances.h"

#include "extctrls/XcUtilityWindow.h"
#include "platform/os/Process.h"

namespace {

bool& FirstGuard()
{
  static bool First = true;
  return First;
}

std::function<void()>& ExitProc()
{
  static std::function<void()> Proc;
  return Proc;
}

}  // namespace

void TXcAppInstances::SetExitProc(std::function<void()> Proc) { ExitProc() = std::move(Proc); }

void TXcAppInstances::ResetFirstGuard() { FirstGuard() = true; }

TXcAppInstances::TXcAppInstances(TComponent* AOwner) : TComponent(AOwner)
{
  if (!(GetComponentState() & csDesigning)) {
    // The shared list and the channel first, then the windows the other copies look for: the
    // application window, and ours.
    SharedAppInstances();
    Application->GetHandle();
    FHandle = CreateUtilityWindow(XcAppInstancesWindowClass, [this](TMessage& Message) { Dispatch(Message); });
    if (FirstGuard()) {
      FirstGuard() = false;
      SharedAppInstances()->RegisterInstance(65535);
    }
  }
  FActive = FAutoActivate = FSendCmdLine = true;
  FMaxInstances = 1;
}

TXcAppInstances::~TXcAppInstances()
{
  if (FHandle) DestroyUtilityWindow(FHandle);
  FHandle = nullptr;
}

void TXcAppInstances::Loaded()
{
  TComponent::Loaded();
  RejectIfSurplus();
}

void TXcAppInstances::RejectIfSurplus()
{
  if (!FActive || (GetComponentState() & csDesigning) || FMaxInstances <= 0) return;
  TSxAppInstances* Shared = SharedAppInstances();
  const int Index = Shared->IndexOfProcessId(Shared->GetProcessId());
  if (Index < FMaxInstances) return;
  if (!QueryOthersActive()) return;
  FireRejected();
  if (FAutoActivate) Shared->ActivateInstance(0);
  if (FSendCmdLine && Shared->SendCommandLine(XcAppInstancesWindowClass, FHandle) == 0) {
    // The copies before this one ended meanwhile: nobody holds the arguments, so this copy
    // runs with them itself.
    return;
  }
  FreeSharedAppInstances();
  if (ExitProc())
    ExitProc()();
  else
    ExitProcess(0);
}

bool TXcAppInstances::QueryOthersActive()
{
  TSxAppInstances* Shared = SharedAppInstances();
  const DWORD Own = Shared->GetProcessId();
  for (int I = 0; I < Shared->RegisteredCount(); ++I) {
    const DWORD Pid = Shared->InstanceProcessId(I);
    if (Pid == 0 || Pid == Own) continue;
    HWND App = TSxAppInstances::AppWindowOf(Pid);
    if (App == nullptr) continue;  // a copy without an application window is not asked
    const DWORD Thread = GetWindowThreadProcessId(App, nullptr);
    for (HWND Wnd : TSxAppInstances::ThreadWindows(Pid, Thread)) {
      if (!FActive) break;
      DWORD_PTR Ignored = 0;
      // The answer (code 5) comes back while this waits; a copy that does not answer in time
      // leaves Active as it is.
      SendMessageTimeoutA(Wnd, Shared->GetMessageId(), AppInstanceQueryActive, reinterpret_cast<LPARAM>(FHandle),
                          SMTO_NORMAL, CopyAnswerTimeoutMs, &Ignored);
    }
    if (!FActive) break;
  }
  return FActive;
}

void TXcAppInstances::Dispatch(TMessage& Message)
{
  try {
    HandleWindowMessage(Message);
  } catch (Exception&) {
    Application->HandleException(this);
    Message.Result = DefWindowProcA(FHandle, Message.Msg, Message.WParam, Message.LParam);
  }
}

void TXcAppInstances::HandleWindowMessage(TMessage& Message)
{
  TSxAppInstances* Shared = SharedAppInstances();
  if (Message.Msg == Shared->GetMessageId() && Message.Msg != 0) {
    switch (Message.WParam) {
      case AppInstanceCreated:
        if (static_cast<DWORD>(Message.LParam) != Shared->GetProcessId())
          FireInstanceCreated(static_cast<DWORD>(Message.LParam));
        break;
      case AppInstanceDestroyed: FireInstanceDestroyed(static_cast<DWORD>(Message.LParam)); break;
      case AppInstanceUserNotify: FireUserNotify(Message.LParam); break;
      case AppInstanceQueryActive: {
        // lParam is the asking copy's window, a handle value of that copy's.
        HWND Asker = SenderWindowHandle(reinterpret_cast<HWND>(Message.LParam));
        DWORD_PTR Ignored = 0;
        SendMessageTimeoutA(Asker, Shared->GetMessageId(), AppInstanceActiveAnswer, FActive ? 1 : 0, SMTO_NORMAL,
                            CopyAnswerTimeoutMs, &Ignored);
        break;
      }
      case AppInstanceActiveAnswer: FActive = Message.LParam != 0; break;
      default: break;
    }
    Message.Result = DefWindowProcA(FHandle, Message.Msg, Message.WParam, Message.LParam);
    return;
  }
  const int Kind = CheckCopyDataMessage(Message, FHandle);
  if (Kind != -1) {
    if ((Kind == static_cast<int>(CopyDataCommandLine) || Kind == static_cast<int>(CopyDataArgumentList)) &&
        OnCmdLineReceived) {
      TStringList Lines;
      if (Kind == static_cast<int>(CopyDataCommandLine))
        CopyDataToStrings(Message, &Lines);
      else
        ArgumentListToStrings(CopyDataToBuffer(Message), &Lines);
      FireCmdLineReceived(&Lines);
    } else if (Kind != static_cast<int>(CopyDataCommandLine) && Kind != static_cast<int>(CopyDataArgumentList) &&
               OnDataAvailable) {
      const std::vector<char> Block = CopyDataToBuffer(Message);
      FireDataAvailable(Kind, Block.data(), Block.size());
    }
    return;  // the result stays 1
  }
  Message.Result = DefWindowProcA(FHandle, Message.Msg, Message.WParam, Message.LParam);
}

void TXcAppInstances::FireInstanceCreated(DWORD ProcessId)
{
  if (OnInstanceCreated) OnInstanceCreated(this, ProcessId);
}

void TXcAppInstances::FireInstanceDestroyed(DWORD ProcessId)
{
  if (OnInstanceDestroyed) OnInstanceDestroyed(this, ProcessId);
}

void TXcAppInstances::FireUserNotify(LPARAM Value)
{
  if (OnUserNotify) OnUserNotify(this, Value);
}

void TXcAppInstances::FireDataAvailable(int Kind, const void* Data, std::size_t Size)
{
  if (OnDataAvailable) OnDataAvailable(this, Kind, Data, Size);
}

void TXcAppInstances::FireCmdLineReceived(TStrings* CmdLine)
{
  if (OnCmdLineReceived) OnCmdLineReceived(this, CmdLine);
}

void TXcAppInstances::FireRejected()
{
  if (OnRejected) OnRejected(this);
}
