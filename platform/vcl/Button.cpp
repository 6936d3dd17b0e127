#include "platform/vcl/Button.h"

#include "platform/vcl/Forms.h"

TButton::TButton(TComponent* AOwner) : TCustomControl(AOwner) {
  FControlStyle = csCaptureMouse | csClickEvents | csSetCaption | csDoubleClicks | csOpaque;
  FWidth = 75;
  FHeight = 25;
  SetTabStop(true);
  SetColor(clBtnFace);
}

void TButton::SetDefault(bool Value) {
  if (FDefault == Value) return;
  FDefault = Value;
  TCustomForm* Form = GetParentForm(this);
  FActive = Value && (!Form || !dynamic_cast<TButton*>(Form->GetActiveControl()));
  Invalidate();
}

void TButton::Click() {
  if (TCustomForm* Form = GetParentForm(this)) Form->SetModalResult(FModalResult);
  TCustomControl::Click();
}

void TButton::KeyUp(Word& Key, TShiftState Shift) {
  TCustomControl::KeyUp(Key, Shift);
  if (Key == VK_SPACE && FEnabled) Click();
}

void TButton::WndProc(TMessage& Message) {
  switch (Message.Msg) {
    case WM_GETDLGCODE:
      Message.Result = FActive ? DLGC_BUTTON | DLGC_DEFPUSHBUTTON : DLGC_BUTTON | DLGC_UNDEFPUSHBUTTON;
      return;
    case CM_DIALOGKEY:
      if (((Message.WParam == VK_RETURN && FActive) || (Message.WParam == VK_ESCAPE && FCancel)) &&
          (KeyDataToShiftState(Message.LParam) & (ssShift | ssCtrl | ssAlt)) == 0 && CanFocus()) {
        Click();
        Message.Result = 1;
        return;
      }
      break;
    case CM_DIALOGCHAR:
      if (IsAccel(static_cast<Word>(Message.WParam), GetText()) && CanFocus()) {
        Click();
        Message.Result = 1;
        return;
      }
      break;
    case CM_FOCUSCHANGED: {
      auto* Focused = reinterpret_cast<TWinControl*>(Message.LParam);
      bool Active = Focused == this || (FDefault && !dynamic_cast<TButton*>(Focused));
      if (Active != FActive) {
        FActive = Active;
        Invalidate();
      }
      break;
    }
    case WM_LBUTTONDOWN:
      FPressed = true;
      if (CanFocus()) SetFocus();
      Invalidate();
      break;
    case WM_LBUTTONUP:
      FPressed = false;
      Invalidate();
      break;
    case CM_TEXTCHANGED:
    case CM_ENABLEDCHANGED:
    case WM_SETFOCUS:
    case WM_KILLFOCUS: Invalidate(); break;
  }
  TCustomControl::WndProc(Message);
}

void TButton::Paint() {
  TCanvas* C = GetCanvas();
  RECT R = GetClientRect();
  HDC DC = C->GetHandle();
  if (FActive) {
    C->GetBrush()->SetColor(clWindowFrame);
    C->FrameRect(R);
    InflateRect(&R, -1, -1);
  }
  DrawFrameControl(DC, &R, DFC_BUTTON, DFCS_BUTTONPUSH | (FPressed ? DFCS_PUSHED : 0));
  C->GetFont()->Assign(GetFont());
  C->GetFont()->SetColor(FEnabled ? clBtnText : clGrayText);
  C->GetBrush()->SetStyle(bsClear);
  String Text = GetText();
  RECT T = R;
  if (FPressed) OffsetRect(&T, 1, 1);
  DrawTextA(C->GetHandle(), Text.c_str(), -1, &T, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
  if (Focused()) {
    RECT F = R;
    InflateRect(&F, -3, -3);
    C->DrawFocusRect(F);
  }
}
