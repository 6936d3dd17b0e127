#include "platform/vcl/ScrollBarCtrl.h"

#include <algorithm>

#include "platform/vcl/ScrollBarCtrlClass.h"

namespace {
const char SScrollBarRange[] = "Scroll bar property out of range";
}

TScrollBar::TScrollBar(TComponent* AOwner) : TWinControl(AOwner) {
  FWidth = 121;
  FHeight = GetSystemMetrics(SM_CYHSCROLL);
  SetTabStop(true);
  FControlStyle = csFramed | csDoubleClicks | csOpaque;
}

void TScrollBar::CreateParams(TCreateParams& Params) {
  RegisterScrollBarClass();
  TWinControl::CreateParams(Params);
  CreateSubClass(Params, WC_SCROLLBARA);
  Params.Style |= FKind == sbVertical ? SBS_VERT : SBS_HORZ;
}

void TScrollBar::CreateWnd() {
  TWinControl::CreateWnd();
  UpdateWindow();
}

void TScrollBar::UpdateWindow() {
  if (!FHandle) return;
  SCROLLINFO SI;
  SI.fMask = SIF_RANGE | SIF_PAGE | SIF_POS;
  SI.nMin = FMin;
  SI.nMax = FMax;
  SI.nPage = static_cast<UINT>(FPageSize);
  SI.nPos = FPosition;
  SendMessageA(FHandle, SBM_SETSCROLLINFO, TRUE, reinterpret_cast<LPARAM>(&SI));
}

void TScrollBar::SetKind(TScrollBarKind Value) {
  if (FKind == Value) return;
  FKind = Value;
  if (!(GetComponentState() & csLoading)) SetBounds(FLeft, FTop, FHeight, FWidth);
  RecreateWnd();
}

void TScrollBar::SetParams(int APosition, int AMin, int AMax) {
  if (AMax < AMin || AMax - AMin + 1 < FPageSize) throw EInvalidOperation(SScrollBarRange);
  int MaxPos = FPageSize > 0 ? AMax - FPageSize + 1 : AMax;
  APosition = std::clamp(APosition, AMin, MaxPos);
  bool Changed = APosition != FPosition;
  if (APosition == FPosition && AMin == FMin && AMax == FMax) return;
  FMin = AMin;
  FMax = AMax;
  FPosition = APosition;
  UpdateWindow();
  if (Changed) Change();
}

void TScrollBar::SetPageSize(int Value) {
  Value = std::max(0, Value);
  if (Value == FPageSize) return;
  if (Value > FMax - FMin + 1) throw EInvalidOperation(SScrollBarRange);
  FPageSize = Value;
  int MaxPos = FPageSize > 0 ? FMax - FPageSize + 1 : FMax;
  if (FPosition > MaxPos) {
    FPosition = MaxPos;
    UpdateWindow();
    Change();
  } else {
    UpdateWindow();
  }
}

void TScrollBar::Change() {
  if (OnChange) OnChange(this);
}

void TScrollBar::Scroll(TScrollCode ScrollCode, int& ScrollPos) {
  if (OnScroll) OnScroll(this, ScrollCode, ScrollPos);
}

void TScrollBar::DoScroll(TMessage& Message) {
  int ScrollPos = FPosition;
  auto Code = static_cast<TScrollCode>(LOWORD(Message.WParam));
  switch (LOWORD(Message.WParam)) {
    case SB_LINEUP: ScrollPos -= FSmallChange; break;
    case SB_LINEDOWN: ScrollPos += FSmallChange; break;
    case SB_PAGEUP: ScrollPos -= FLargeChange; break;
    case SB_PAGEDOWN: ScrollPos += FLargeChange; break;
    case SB_THUMBPOSITION:
    case SB_THUMBTRACK: {
      // The 16-bit position of the message is not enough for large ranges: ask the window.
      SCROLLINFO SI;
      SI.fMask = SIF_TRACKPOS;
      if (FHandle && SendMessageA(FHandle, SBM_GETSCROLLINFO, 0, reinterpret_cast<LPARAM>(&SI)))
        ScrollPos = SI.nTrackPos;
      else
        ScrollPos = static_cast<short>(HIWORD(Message.WParam));
      break;
    }
    case SB_TOP: ScrollPos = FMin; break;
    case SB_BOTTOM: ScrollPos = FMax; break;
    case SB_ENDSCROLL: break;
    default: return;
  }
  int MaxPos = FPageSize > 0 ? FMax - FPageSize + 1 : FMax;
  ScrollPos = std::clamp(ScrollPos, FMin, MaxPos);
  Scroll(Code, ScrollPos);
  SetPosition(ScrollPos);
  Message.Result = 0;
}

void TScrollBar::WndProc(TMessage& Message) {
  switch (Message.Msg) {
    case CN_HSCROLL:
    case CN_VSCROLL: DoScroll(Message); return;
    case CN_CTLCOLORSCROLLBAR:
      // The track keeps the system's look (the classic checkerboard), not the control's colour.
      Message.Result = DefWindowProcA(FHandle, WM_CTLCOLORSCROLLBAR, Message.WParam, Message.LParam);
      return;
    case WM_MOUSEWHEEL: {
      TPoint Pos = Point(GET_X_LPARAM(Message.LParam), GET_Y_LPARAM(Message.LParam));
      if (DoMouseWheel(KeysToShiftState(LOWORD(Message.WParam)), GET_WHEEL_DELTA_WPARAM(Message.WParam), Pos)) {
        Message.Result = 1;
        return;
      }
      // A notch is a line.
      int Delta = GET_WHEEL_DELTA_WPARAM(Message.WParam);
      TMessage M{CN_HSCROLL, static_cast<WPARAM>(Delta > 0 ? SB_LINEUP : SB_LINEDOWN), 0, 0};
      for (int I = 0; I < std::max(1, std::abs(Delta) / WHEEL_DELTA); ++I) DoScroll(M);
      Message.Result = 1;
      return;
    }
  }
  TWinControl::WndProc(Message);
}
