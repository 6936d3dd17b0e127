#include "platform/vcl/TrackBarCtrl.h"

#include <algorithm>

#include "platform/vcl/TrackBarCtrlClass.h"

TTrackBar::TTrackBar(TComponent* AOwner) : TWinControl(AOwner) {
  FWidth = 150;
  FHeight = 45;
  SetTabStop(true);
  // The window captures the mouse itself while the thumb moves.
  FControlStyle = csSetCaption | csDoubleClicks | csOpaque;
}

void TTrackBar::CreateParams(TCreateParams& Params) {
  RegisterTrackBarClass();
  TWinControl::CreateParams(Params);
  CreateSubClass(Params, TRACKBAR_CLASSA);
  static const DWORD Marks[] = {TBS_BOTTOM, TBS_TOP, TBS_BOTH};
  static const DWORD Ticks[] = {TBS_NOTICKS, TBS_AUTOTICKS, 0};
  Params.Style |= (FOrientation == trVertical ? TBS_VERT : TBS_HORZ) | Marks[FTickMarks] | Ticks[FTickStyle] |
                  TBS_FIXEDLENGTH | TBS_ENABLESELRANGE;
  if (!FSliderVisible) Params.Style |= TBS_NOTHUMB;
  if (FShowToolTips) Params.Style |= TBS_TOOLTIPS;
  Params.WindowClass.style &= ~(CS_HREDRAW | CS_VREDRAW);
}

void TTrackBar::CreateWnd() {
  TWinControl::CreateWnd();
  HWND H = FHandle;
  SendMessageA(H, TBM_SETTHUMBLENGTH, static_cast<WPARAM>(FThumbLength), 0);
  SendMessageA(H, TBM_SETLINESIZE, 0, FLineSize);
  SendMessageA(H, TBM_SETPAGESIZE, 0, FPageSize);
  SendMessageA(H, TBM_SETRANGEMIN, FALSE, FMin);
  SendMessageA(H, TBM_SETRANGEMAX, FALSE, FMax);
  SendMessageA(H, TBM_SETSELSTART, FALSE, FSelStart);
  SendMessageA(H, TBM_SETSELEND, FALSE, FSelEnd);
  SendMessageA(H, TBM_SETTICFREQ, static_cast<WPARAM>(FFrequency), 0);
  SendMessageA(H, TBM_SETTIPSIDE, FTipSide, 0);
  for (int T : FTicks) SendMessageA(H, TBM_SETTIC, 0, T);
  SendMessageA(H, TBM_SETPOS, TRUE, FPosition);
}

void TTrackBar::DestroyWnd() {
  if (FHandle) FPosition = static_cast<int>(SendMessageA(FHandle, TBM_GETPOS, 0, 0));
  TWinControl::DestroyWnd();
}

void TTrackBar::SetOrientation(TTrackBarOrientation Value) {
  if (FOrientation == Value) return;
  FOrientation = Value;
  if (FTipSide == TBTS_TOP && Value == trVertical) FTipSide = TBTS_LEFT;
  if (FTipSide == TBTS_LEFT && Value == trHorizontal) FTipSide = TBTS_TOP;
  if (!(GetComponentState() & csLoading)) SetBounds(FLeft, FTop, FHeight, FWidth);
  RecreateWnd();
}

void TTrackBar::ApplyRange() {
  // The window's position: the user may have moved the thumb since the last notification.
  int Old = GetPosition();
  FPosition = std::clamp(Old, FMin, FMax);
  if (FHandle) {
    SendMessageA(FHandle, TBM_SETRANGEMIN, FALSE, FMin);
    SendMessageA(FHandle, TBM_SETRANGEMAX, TRUE, FMax);
    SendMessageA(FHandle, TBM_SETPOS, TRUE, FPosition);
  }
  if (Old != FPosition) Changed();
}

void TTrackBar::SetRange(int AMin, int AMax) {
  if (AMax < AMin) std::swap(AMin, AMax);
  if (AMin == FMin && AMax == FMax) return;
  FMin = AMin;
  FMax = AMax;
  ApplyRange();
}

void TTrackBar::SetMin(int Value) {
  if (Value <= FMax) SetRange(Value, FMax);
}

void TTrackBar::SetMax(int Value) {
  if (Value >= FMin) SetRange(FMin, Value);
}

int TTrackBar::GetPosition() const {
  return FHandle ? static_cast<int>(SendMessageA(FHandle, TBM_GETPOS, 0, 0)) : FPosition;
}

void TTrackBar::SetPosition(int Value) {
  Value = std::clamp(Value, FMin, FMax);
  if (Value == GetPosition()) return;
  FPosition = Value;
  if (FHandle) SendMessageA(FHandle, TBM_SETPOS, TRUE, Value);
  Changed();
}

void TTrackBar::SetFrequency(int Value) {
  FFrequency = std::max(1, Value);
  if (FHandle) SendMessageA(FHandle, TBM_SETTICFREQ, static_cast<WPARAM>(FFrequency), 0);
}

void TTrackBar::SetLineSize(int Value) {
  FLineSize = std::max(0, Value);
  if (FHandle) SendMessageA(FHandle, TBM_SETLINESIZE, 0, FLineSize);
}

void TTrackBar::SetPageSize(int Value) {
  FPageSize = std::max(0, Value);
  if (FHandle) SendMessageA(FHandle, TBM_SETPAGESIZE, 0, FPageSize);
}

void TTrackBar::SetSelStart(int Value) {
  FSelStart = Value;
  if (FHandle) SendMessageA(FHandle, TBM_SETSELSTART, TRUE, Value);
}

void TTrackBar::SetSelEnd(int Value) {
  FSelEnd = Value;
  if (FHandle) SendMessageA(FHandle, TBM_SETSELEND, TRUE, Value);
}

void TTrackBar::SetThumbLength(int Value) {
  FThumbLength = std::max(4, Value);
  if (FHandle) SendMessageA(FHandle, TBM_SETTHUMBLENGTH, static_cast<WPARAM>(FThumbLength), 0);
}

void TTrackBar::SetTickMarks(TTickMark Value) {
  if (FTickMarks == Value) return;
  FTickMarks = Value;
  RecreateWnd();
}

void TTrackBar::SetTickStyle(TTickStyle Value) {
  if (FTickStyle == Value) return;
  FTickStyle = Value;
  RecreateWnd();
}

void TTrackBar::SetSliderVisible(bool Value) {
  if (FSliderVisible == Value) return;
  FSliderVisible = Value;
  RecreateWnd();
}

void TTrackBar::SetShowToolTips(bool Value) {
  if (FShowToolTips == Value) return;
  FShowToolTips = Value;
  RecreateWnd();
}

void TTrackBar::SetTipSide(WPARAM Value) {
  if (Value > TBTS_RIGHT) return;
  FTipSide = Value;
  if (FHandle) SendMessageA(FHandle, TBM_SETTIPSIDE, Value, 0);
}

void TTrackBar::SetTick(int Value) {
  if (Value <= FMin || Value >= FMax) return;
  if (std::find(FTicks.begin(), FTicks.end(), Value) == FTicks.end()) FTicks.push_back(Value);
  if (FHandle) SendMessageA(FHandle, TBM_SETTIC, 0, Value);
}

void TTrackBar::Changed() {
  if (OnChange) OnChange(this);
}

void TTrackBar::WndProc(TMessage& Message) {
  switch (Message.Msg) {
    case CN_HSCROLL:
    case CN_VSCROLL:
      // Every notification of the window, TB_ENDTRACK included, reads the position back and
      // raises OnChange.
      FPosition = static_cast<int>(SendMessageA(FHandle, TBM_GETPOS, 0, 0));
      Message.Result = 0;
      Changed();
      return;
    case WM_MOUSEWHEEL: {
      TPoint Pos = Point(GET_X_LPARAM(Message.LParam), GET_Y_LPARAM(Message.LParam));
      if (DoMouseWheel(KeysToShiftState(LOWORD(Message.WParam)), GET_WHEEL_DELTA_WPARAM(Message.WParam), Pos)) {
        Message.Result = 1;
        return;
      }
      // A notch up moves towards the minimum by a line, as the arrow keys do.
      int Delta = GET_WHEEL_DELTA_WPARAM(Message.WParam);
      int Steps = std::max(1, std::abs(Delta) / WHEEL_DELTA);
      SetPosition(GetPosition() + (Delta > 0 ? -1 : 1) * Steps * FLineSize);
      Message.Result = 1;
      return;
    }
  }
  TWinControl::WndProc(Message);
}
