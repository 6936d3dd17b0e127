#include "platform/vcl/HintWindow.h"

#include "platform/vcl/Forms.h"

THintWindow::THintWindow(TComponent* AOwner) : TCustomControl(AOwner) {
  SetColor(clInfoBk);
  GetFont()->SetColor(clInfoText);
  FVisible = false;
}

void THintWindow::CreateParams(TCreateParams& Params) {
  TCustomControl::CreateParams(Params);
  Params.Style = WS_POPUP | WS_BORDER;
  Params.ExStyle = WS_EX_TOOLWINDOW | WS_EX_TOPMOST;
  Params.WindowClass.style |= CS_SAVEBITS;
  Params.WndParent = nullptr;
}

void THintWindow::WndProc(TMessage& Message) {
  if (Message.Msg == WM_NCHITTEST) {
    Message.Result = HTTRANSPARENT;
    return;
  }
  if (Message.Msg == WM_MOUSEACTIVATE) {
    Message.Result = MA_NOACTIVATE;
    return;
  }
  TCustomControl::WndProc(Message);
}

TRect THintWindow::CalcHintRect(int MaxWidth, const String& AHint) {
  RECT R = Rect(0, 0, MaxWidth, 0);
  HDC DC = GetCanvas()->GetHandle();
  DrawTextA(DC, AHint.c_str(), -1, &R, DT_CALCRECT | DT_LEFT | DT_WORDBREAK | DT_NOPREFIX);
  R.right += 6;
  R.bottom += 2;
  return R;
}

void THintWindow::ActivateHint(const TRect& Rect, const String& AHint) {
  SetText(AHint);
  FLeft = Rect.left;
  FTop = Rect.top;
  FWidth = Rect.right - Rect.left;
  FHeight = Rect.bottom - Rect.top;
  SetWindowPos(GetHandle(), HWND_TOPMOST, Rect.left, Rect.top, FWidth, FHeight, SWP_SHOWWINDOW | SWP_NOACTIVATE);
  FShowing = true;
  Invalidate();
}

void THintWindow::ReleaseHandle() { DestroyHandle(); }

void THintWindow::Paint() {
  TCanvas* C = GetCanvas();
  RECT R = GetClientRect();
  InflateRect(&R, -2, -2);
  C->GetFont()->Assign(GetFont());
  C->GetBrush()->SetStyle(bsClear);
  String Text = GetText();
  DrawTextA(C->GetHandle(), Text.c_str(), -1, &R, DT_LEFT | DT_NOPREFIX | DT_WORDBREAK);
}
