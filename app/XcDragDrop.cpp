#include "app/XcDragDrop.h"

#include "extctrls/XcComponentUtils.h"

TXcDragDrop::TXcDragDrop(TComponent* AOwner) : TXcComponent(AOwner), FPaths(std::make_unique<TStringList>()) {}

TXcDragDrop::~TXcDragDrop() { UnhookWndProc(); }

void TXcDragDrop::Loaded()
{
  TXcComponent::Loaded();
  FAcceptDrag = false;
  SetAcceptDrag(FLoadingAcceptDrag);
}

void TXcDragDrop::SetAcceptDrag(bool Value)
{
  if (GetComponentState() & csLoading) {
    FLoadingAcceptDrag = Value;
    return;
  }
  if (Value == FAcceptDrag) return;
  FAcceptDrag = Value;
  if (FDropTarget == nullptr || (GetComponentState() & csDesigning)) return;
  if (!(FDropTarget->GetComponentState() & csDestroying)) DragAcceptFiles(FDropTarget->GetHandle(), Value ? TRUE : FALSE);
  if (Value)
    HookWndProc();
  else
    UnhookWndProc();
}

void TXcDragDrop::SetDropTarget(TWinControl* Value)
{
  if (GetComponentState() & csLoading) {
    SwapComponentReference(this, Value, FDropTarget);
    return;
  }
  if (Value == FDropTarget) return;
  const bool Accept = FAcceptDrag;
  SetAcceptDrag(false);
  SwapComponentReference(this, Value, FDropTarget);
  if (Accept) SetAcceptDrag(true);
}

void TXcDragDrop::Notification(TComponent* AComponent, TOperation Operation)
{
  TXcComponent::Notification(AComponent, Operation);
  if (Operation == opRemove && AComponent == FDropTarget) {
    // The target's record in the hook registry goes with it, and a dying window is neither
    // asked for its handle nor unhooked; AcceptDrag stays for the next target.
    FRegistered = false;
    FDropTarget = nullptr;
  }
}

void TXcDragDrop::HookWndProc()
{
  if (FRegistered || FDropTarget == nullptr || (GetComponentState() & csDesigning)) return;
  FRegistered = AddControlMessageHook(FDropTarget, hoBeforeMsg, MakeMessageHook(this, &TXcDragDrop::WndProcHook));
}

void TXcDragDrop::UnhookWndProc()
{
  if (!FRegistered) return;
  FRegistered = false;
  if (FDropTarget && !(GetComponentState() & csDesigning))
    RemoveControlMessageHook(FDropTarget, hoBeforeMsg, MakeMessageHook(this, &TXcDragDrop::WndProcHook));
}

bool TXcDragDrop::WndProcHook(TMessage& Message)
{
  if (Message.Msg != WM_DROPFILES) return false;
  DoDrop(reinterpret_cast<HDROP>(Message.WParam));
  return true;
}

void TXcDragDrop::DoDrop(HDROP Drop)
{
  struct TFinish {
    HDROP Drop;
    ~TFinish() { DragFinish(Drop); }
  } Finish{Drop};
  FPaths->Clear();
  std::vector<char> Buffer(260);
  const UINT Count = DragQueryFileA(Drop, 0xFFFFFFFF, nullptr, 0);
  for (UINT I = 0; I < Count; ++I) {
    const std::size_t Needed = static_cast<std::size_t>(DragQueryFileA(Drop, I, nullptr, 0)) + 1;
    if (Needed > Buffer.size()) Buffer.resize(Needed);
    const UINT Length = DragQueryFileA(Drop, I, Buffer.data(), static_cast<UINT>(Buffer.size()));
    FPaths->Add(String(Buffer.data(), Length));
  }
  if (OnDrop) {
    POINT Point{};
    DragQueryPoint(Drop, &Point);
    OnDrop(this, Point, FPaths.get());
  }
}
