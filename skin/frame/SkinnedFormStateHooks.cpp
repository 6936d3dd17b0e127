// TskSkinnedForm: the window-state actions the caption buttons ask for, in their plain form: the
// system menu shows the items of SystemMenu, minimising to the tray minimises, rolling up keeps
// the state and repaints the frame.
#include "skin/frame/SkinnedForm.h"

TMenuItem* TskSkinnedForm::GetSystemMenuItems() { return FSystemMenu ? FSystemMenu->GetItems() : nullptr; }

void TskSkinnedForm::MinimizeToTray() { SetSkinWindowState(wsMinimized); }

void TskSkinnedForm::SetRollUpState(bool Value)
{
  if (FRollUpState == Value)
    return;
  FRollUpState = Value;
  if (FOwnerForm->HandleAllocated())
    SendNCPaint();
}
