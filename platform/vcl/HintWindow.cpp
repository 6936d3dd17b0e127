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
  switch (Message.Msg) {
    case WM_NCHITTEST: Message.Result = HTTRANSPARENT; return;
    case WM_MOUSEACTIVATE: Message.Result = MA_NOACTIVATE; return;
    case CM_VISIBLECHANGED:
      if (HandleAllocated()) {
        SetWindowPos(FHandle, FVisible ? HWND_TOPMOST : nullptr, 0, 0, 0, 0,
                     SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE | (FVisible ? SWP_SHOWWINDOW : SWP_NOZORDER | SWP_HIDEWINDOW));
        FShowing = FVisible;
      }
      break;
    default: break;
  }
  TCustomControl::WndProc(Message);
}

TRect THintWindow::CalcHintRect(int MaxWidth, const String& AHint, void*) {
  RECT R = Rect(0, 0, MaxWidth, 0);
  TCanvas* C = GetCanvas();
  C->SetFont(GetFont());
  DrawTextA(C->GetHandle(), AHint.c_str(), static_cast<int>(AHint.size()), &R,
            DT_CALCRECT | DT_LEFT | DT_WORDBREAK | DT_NOPREFIX);
  // At least one line of the font, however short the text.
  TEXTMETRICA Metrics{};
  if (GetTextMetricsA(C->GetHandle(), &Metrics) && R.bottom - R.top < Metrics.tmHeight) R.bottom = R.top + Metrics.tmHeight;
  // The text sits HintMargin pixels inside the one-pixel border on every side (see Paint).
  R.right += 2 * (HintMargin + 1);
  R.bottom += 2 * (HintMargin + 1);
  return R;
}

void THintWindow::ActivateHint(const TRect& ARect, const String& AHint) {
  SetText(AHint);
  int W = ARect.right - ARect.left;
  int H = ARect.bottom - ARect.top;
  TPoint P = Point(ARect.left, ARect.top);
  TRect Desktop = Screen ? Screen->GetDesktopRect() : TRect{};
  if (!IsRectEmpty(&Desktop)) {
    if (P.x + W > Desktop.right) P.x = Desktop.right - W;
    if (P.y + H > Desktop.bottom) P.y = Desktop.bottom - H;
    if (P.x < Desktop.left) P.x = Desktop.left;
    if (P.y < Desktop.top) P.y = Desktop.top;
  }
  FLeft = P.x;
  FTop = P.y;
  FWidth = W;
  FHeight = H;
  SetWindowPos(GetHandle(), HWND_TOPMOST, P.x, P.y, W, H, SWP_SHOWWINDOW | SWP_NOACTIVATE);
  FVisible = true;
  FShowing = true;
  Invalidate();
}

void THintWindow::ActivateHintData(const TRect& Rect, const String& AHint, void*) { ActivateHint(Rect, AHint); }

bool THintWindow::IsHintMsg(const MSG& Msg) {
  UINT M = Msg.message;
  return (M >= WM_KEYFIRST && M <= WM_KEYLAST) || M == CM_ACTIVATE || M == CM_DEACTIVATE || M == CM_APPKEYDOWN ||
         M == CM_APPSYSCOMMAND || M == WM_COMMAND || (M > WM_MOUSEMOVE && M <= WM_MOUSELAST) ||
         M == WM_NCMOUSEMOVE;
}

void THintWindow::ReleaseHandle() {
  DestroyHandle();
  FVisible = false;
}

void THintWindow::Paint() {
  TCanvas* C = GetCanvas();
  RECT R = GetClientRect();
  InflateRect(&R, -HintMargin, -HintMargin);
  C->SetFont(GetFont());
  C->GetBrush()->SetStyle(bsClear);
  String Text = GetText();
  DrawTextA(C->GetHandle(), Text.c_str(), static_cast<int>(Text.size()), &R, DT_LEFT | DT_NOPREFIX | DT_WORDBREAK);
}
