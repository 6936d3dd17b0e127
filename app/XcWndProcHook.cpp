#include "app/XcWndProcHook.h"

#include <algorithm>

#include "platform/vcl/Forms.h"

// ---------------------------------------------------------------------------------------------
// TXcHookInfos

TXcHookInfos::TXcHookInfos(TXcWndProcHook* Registry, TWinControl* Control) : FRegistry(Registry), FControl(Control) {}

TXcHookInfos::~TXcHookInfos()
{
  if (FRegistry) {
    auto& List = FRegistry->FInfos;
    List.erase(std::remove(List.begin(), List.end(), this), List.end());
  }
  if (!FGone) Uninstall();
  for (int Order = 0; Order < 2; ++Order) {
    TNode* Node = FFirst[Order];
    while (Node) {
      TNode* Next = Node->Next;
      delete Node;
      Node = Next;
    }
    FFirst[Order] = FLast[Order] = nullptr;
  }
}

void TXcHookInfos::Append(TXcHookOrder Order, const TXcMessageHook& Hook)
{
  auto* Node = new TNode{Hook, nullptr};
  if (FLast[Order])
    FLast[Order]->Next = Node;
  else
    FFirst[Order] = Node;
  FLast[Order] = Node;
  // Dispatches that have not finished this chain yet call the new hook too.
  for (int I = 0; I < FCount; ++I)
    if (FStack[static_cast<std::size_t>(I)].Pending[Order] == nullptr) FStack[static_cast<std::size_t>(I)].Pending[Order] = Node;
}

bool TXcHookInfos::Remove(TXcHookOrder Order, const TXcMessageHook& Hook)
{
  TNode* Previous = nullptr;
  TNode* Node = FFirst[Order];
  while (Node && !Node->Hook.Same(Hook)) {
    Previous = Node;
    Node = Node->Next;
  }
  if (Node == nullptr) return false;
  if (Previous)
    Previous->Next = Node->Next;
  else
    FFirst[Order] = Node->Next;
  if (FLast[Order] == Node) FLast[Order] = Previous;
  for (int I = 0; I < FCount; ++I) {
    TLevel& Level = FStack[static_cast<std::size_t>(I)];
    if (Level.Pending[Order] == Node) Level.Pending[Order] = Node->Next;
  }
  delete Node;
  return true;
}

void TXcHookInfos::Install()
{
  if (FInstalled || FGone) return;
  FSavedWindowProc = FControl->WindowProc;
  FControl->WindowProc = [this](TMessage& Message) { WindowProc(Message); };
  FInstalled = true;
}

void TXcHookInfos::Uninstall()
{
  if (!FInstalled) return;
  FInstalled = false;
  if (!FGone && FControl) FControl->WindowProc = FSavedWindowProc;
  FSavedWindowProc = nullptr;
}

bool TXcHookInfos::RunChain(int Depth, int Order, TMessage& Message)
{
  for (;;) {
    TNode* Node = FStack[static_cast<std::size_t>(Depth)].Pending[Order];
    if (Node == nullptr) return false;
    FStack[static_cast<std::size_t>(Depth)].Pending[Order] = Node->Next;
    // A copy: the hook may remove itself (and so free its node) while it runs.
    const std::function<bool(TMessage&)> Call = Node->Hook.Call;
    if (Call(Message)) return true;
    if (FGone) return true;
  }
}

void TXcHookInfos::WindowProc(TMessage& Message)
{
  Message.Result = 0;
  if (static_cast<std::size_t>(FCount) == FStack.size()) FStack.resize((FStack.size() + 1) * 2);
  const int Depth = FCount++;
  FStack[static_cast<std::size_t>(Depth)] = TLevel{};
  FStack[static_cast<std::size_t>(Depth)].Pending[hoBeforeMsg] = FFirst[hoBeforeMsg];
  struct TPop {
    int& Count;
    ~TPop() { --Count; }
  } Pop{FCount};
  if (RunChain(Depth, hoBeforeMsg, Message) || FGone) return;
  // A copy: the control's procedure may remove the last hook and so put the saved one back.
  const TWndMethod Saved = FSavedWindowProc;
  if (Saved) Saved(Message);
  if (FGone) return;
  FStack[static_cast<std::size_t>(Depth)].Pending[hoAfterMsg] = FFirst[hoAfterMsg];
  RunChain(Depth, hoAfterMsg, Message);
}

// ---------------------------------------------------------------------------------------------
// TXcWndProcHook

TXcWndProcHook::TXcWndProcHook() : TComponent(nullptr) {}

TXcWndProcHook::~TXcWndProcHook()
{
  while (!FInfos.empty()) delete FInfos.back();  // each leaves the list
}

TXcHookInfos* TXcWndProcHook::Find(TWinControl* Control) const
{
  for (TXcHookInfos* Infos : FInfos)
    if (Infos->FControl == Control) return Infos;
  return nullptr;
}

bool TXcWndProcHook::Add(TWinControl* Control, TXcHookOrder Order, const TXcMessageHook& Hook)
{
  if (Control == nullptr || (Control->GetComponentState() & csDestroying) || !Hook.Assigned()) return false;
  TXcHookInfos* Infos = Find(Control);
  if (Infos == nullptr) {
    Infos = new TXcHookInfos(this, Control);
    FInfos.push_back(Infos);
    Control->FreeNotification(this);
  }
  Infos->Append(Order, Hook);
  Infos->Install();
  return true;
}

bool TXcWndProcHook::Remove(TWinControl* Control, TXcHookOrder Order, const TXcMessageHook& Hook)
{
  if (Control == nullptr || !Hook.Assigned()) return false;
  TXcHookInfos* Infos = Find(Control);
  if (Infos == nullptr) return false;
  Infos->Remove(Order, Hook);
  if (Infos->Empty()) Infos->Uninstall();
  return true;
}

void TXcWndProcHook::Notification(TComponent* AComponent, TOperation Operation)
{
  TComponent::Notification(AComponent, Operation);
  if (Operation != opRemove) return;
  for (TXcHookInfos* Infos : FInfos) {
    if (Infos->FControl != AComponent || Infos->FGone) continue;
    // The control goes: its record is freed from the message loop, not inside a message of the
    // dying control that may still be in dispatch.
    Infos->FGone = true;
    Infos->FInstalled = false;
    Infos->FSavedWindowProc = nullptr;
    FInfos.erase(std::find(FInfos.begin(), FInfos.end(), Infos));
    Infos->FRegistry = nullptr;
    Infos->FControl = nullptr;
    XcReleaser()->Schedule(Infos);
    return;
  }
}

// ---------------------------------------------------------------------------------------------
// TXcReleaser

TXcReleaser::~TXcReleaser()
{
  while (!FWaiting.empty()) {
    TObject* First = FWaiting.front();
    FWaiting.erase(FWaiting.begin());
    delete First;
  }
  if (FWindow) DeallocateHWnd(FWindow);
}

bool TXcReleaser::IsWaiting(const TObject* Object) const
{
  return std::find(FWaiting.begin(), FWaiting.end(), Object) != FWaiting.end();
}

void TXcReleaser::Schedule(TObject* Object)
{
  if (Object == nullptr || IsWaiting(Object)) return;
  FWaiting.push_back(Object);
  if (FWindow == nullptr || !IsWindow(FWindow)) FWindow = AllocateHWnd([this](TMessage& Message) { WndProc(Message); });
  PostMessageA(FWindow, CM_RELEASE, reinterpret_cast<WPARAM>(Object), 0);
}

void TXcReleaser::WndProc(TMessage& Message)
{
  try {
    if (Message.Msg == CM_RELEASE) {
      auto* Object = reinterpret_cast<TObject*>(Message.WParam);
      auto It = std::find(FWaiting.begin(), FWaiting.end(), Object);
      if (It != FWaiting.end()) {
        FWaiting.erase(It);
        delete Object;
      }
      return;
    }
    Message.Result = DefWindowProcA(FWindow, Message.Msg, Message.WParam, Message.LParam);
  } catch (...) {
    Application->HandleException(this);
  }
}

// ---------------------------------------------------------------------------------------------

TXcWndProcHook* WndProcHookRegistry()
{
  // Lives until the program ends; the controls it knows tell it when they go.
  static TXcWndProcHook* Registry = new TXcWndProcHook();
  return Registry;
}

TXcReleaser* XcReleaser()
{
  static TXcReleaser* Releaser = new TXcReleaser();
  return Releaser;
}

bool AddControlMessageHook(TWinControl* Control, TXcHookOrder Order, const TXcMessageHook& Hook)
{
  return WndProcHookRegistry()->Add(Control, Order, Hook);
}

bool RemoveControlMessageHook(TWinControl* Control, TXcHookOrder Order, const TXcMessageHook& Hook)
{
  if (Control == nullptr || !Hook.Assigned()) return false;
  return WndProcHookRegistry()->Remove(Control, Order, Hook);
}
