// Files and folders dropped on a window: the component registers its drop target for dropped
// files and takes WM_DROPFILES through a before hook on the target (XcWndProcHook.h), so the
// target's own message handling never sees it while the hook is installed.
//
// Contract:
// - AcceptDrag switches the target's registration and the hook together; while the component
//   loads only the value is kept, and Loaded applies it. A new DropTarget is registered and
//   hooked at once when AcceptDrag is set; a target that is destroyed clears DropTarget.
// - A drop gives OnDrop one path per dropped item, in the order the source listed them, each
//   whole whatever its length and bytes (blanks, quotes, non-ASCII), with the drop point in the
//   target's client coordinates. The drop is released in every case, also when OnDrop raises.
#pragma once

#include <functional>
#include <memory>

#include "app/XcWndProcHook.h"
#include "extctrls/XcComponentBase.h"
#include "platform/rtl/StringList.h"

class TXcDragDrop : public TXcComponent {
public:
  using TDropEvent = std::function<void(TObject* Sender, const TPoint& Position, TStrings* Paths)>;

  explicit TXcDragDrop(TComponent* AOwner);
  ~TXcDragDrop() override;

  bool GetAcceptDrag() const { return FAcceptDrag; }
  void SetAcceptDrag(bool Value);
  TWinControl* GetDropTarget() const { return FDropTarget; }
  void SetDropTarget(TWinControl* Value);
  bool GetHooked() const { return FRegistered; }
  // The paths of the latest drop.
  TStrings* GetPaths() const { return FPaths.get(); }

  TDropEvent OnDrop;

  // The hook: WM_DROPFILES is handled here (true); everything else passes (false).
  bool WndProcHook(TMessage& Message);

protected:
  void Loaded() override;
  void Notification(TComponent* AComponent, TOperation Operation) override;
  void HookWndProc();
  void UnhookWndProc();
  void DoDrop(HDROP Drop);

private:
  bool FAcceptDrag = false;
  bool FLoadingAcceptDrag = true;
  TWinControl* FDropTarget = nullptr;
  std::unique_ptr<TStringList> FPaths;
  bool FRegistered = false;
};
