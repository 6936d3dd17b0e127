#include "skin/input/SkinUpDown.h"

#include "skin/controls/SkinResizedButton.h"
#include "skin/foundation/SkinCustomControlRecords.h"
#include "skin/foundation/SkinDrawUtils.h"
#include "skin/foundation/SkinGlyphs.h"

namespace {

bool EmptyRect(const TRect& R) { return RectWidth(R) <= 0 || RectHeight(R) <= 0; }
TRect Or(const TRect& R, const TRect& Fallback) { return EmptyRect(R) ? Fallback : R; }

}  // namespace

TskSkinUpDown::TskSkinUpDown(TComponent* AOwner)
    : TskSkinCustomControl(AOwner), FRepeat(this, FirstRepeatDelay, RepeatInterval, ResumeInterval, RepeatTimerId)
{
  SetControlStyle(GetControlStyle() | csCaptureMouse | csOpaque);
  SetSkinDataName("hupdown");
  SetBounds(GetLeft(), GetTop(), 25, 50);
}

TskSkinUpDown::~TskSkinUpDown() { FRepeat.Stop(); }

// --- properties ------------------------------------------------------------------------------

void TskSkinUpDown::SetOrientation(TUDOrientation Value)
{
  FOrientation = Value;
  if (Designing() && !(GetComponentState() & csLoading))
    SetSkinDataName(Value == udVertical ? "vupdown" : "hupdown");
  CalcRects();
  Repaint();
}

void TskSkinUpDown::SetMin(int Value)
{
  FMin = Value;
  if (FPosition < FMin)
    FPosition = FMin;
}

void TskSkinUpDown::SetMax(int Value)
{
  FMax = Value;
  if (FPosition > FMax)
    FPosition = FMax;
}

void TskSkinUpDown::SetPosition(int Value)
{
  if (Value > FMax || Value < FMin)
    return;
  FPosition = Value;
  if (!Designing() && OnChange)
    OnChange(this);
}

// --- skin and layout -------------------------------------------------------------------------

void TskSkinUpDown::GetSkinData()
{
  TskSkinCustomControl::GetSkinData();
  auto* record = FIndex == -1 ? nullptr
                              : dynamic_cast<TskDataSkinUpDownControl*>(SkinControlRecord(FSkinData, FIndex));
  if (record) {
    FLook.UpButtonRect = record->upbuttonrect;
    FLook.ActiveUpButtonRect = record->activeupbuttonrect;
    FLook.DownUpButtonRect = Or(record->downupbuttonrect, FLook.ActiveUpButtonRect);
    FLook.DownButtonRect = record->downbuttonrect;
    FLook.ActiveDownButtonRect = record->activedownbuttonrect;
    FLook.DownDownButtonRect = Or(record->downdownbuttonrect, FLook.ActiveDownButtonRect);
    // The picture is copied at its own size.
    LTPoint = RTPoint = LBPoint = RBPoint = TPoint{0, 0};
  }
  CalcRects();
}

void TskSkinUpDown::CalcRects()
{
  const int w = GetWidth(), h = GetHeight();
  if (FIndex != -1 && FUseSkinSize) {
    FButtons[0].R = FLook.UpButtonRect;
    FButtons[1].R = FLook.DownButtonRect;
  } else if (FOrientation == udVertical) {
    FButtons[0].R = {0, 0, w, h / 2};
    FButtons[1].R = {0, h / 2, w, h};
  } else {
    FButtons[1].R = {0, 0, w / 2, h};
    FButtons[0].R = {w / 2, 0, w, h};
  }
}

void TskSkinUpDown::CalcSize(int& W, int& H)
{
  if (FUseSkinSize)
    TskSkinCustomControl::CalcSize(W, H);
}

void TskSkinUpDown::SetControlRegion()
{
  if (FUseSkinSize)
    TskSkinCustomControl::SetControlRegion();
}

int TskSkinUpDown::ArrowDirection(int Index) const
{
  if (FOrientation == udVertical)
    return Index == 0 ? 3 : 4;
  return Index == 0 ? 2 : 1;
}

// --- painting --------------------------------------------------------------------------------

void TskSkinUpDown::CreateControlDefaultImage(TBitmap* B)
{
  CalcRects();
  TCanvas* c = B->GetCanvas();
  for (int i = 0; i < 2; ++i) {
    const TUpDownButton& b = FButtons[i];
    if (EmptyRect(b.R))
      continue;
    TColor frame = clBtnShadow, fill = clBtnFace;
    if (b.Down && b.MouseIn) {
      frame = clNavy;
      fill = static_cast<TColor>(0xB59385);
    } else if (b.MouseIn) {
      frame = clNavy;
      fill = static_cast<TColor>(0xD2BDB6);
    }
    c->GetBrush()->SetStyle(bsSolid);
    c->GetBrush()->SetColor(fill);
    c->FillRect(b.R);
    c->GetBrush()->SetColor(frame);
    c->FrameRect(b.R);
    DrawArrowGlyph(c, b.R, clBlack, ArrowDirection(i));
  }
}

void TskSkinUpDown::CreateControlSkinImage(TBitmap* B)
{
  CalcRects();
  TCanvas* c = B->GetCanvas();
  if (!FUseSkinSize) {
    for (int i = 0; i < 2; ++i) {
      const TUpDownButton& b = FButtons[i];
      const TskResizedButtonState state = b.Down && b.MouseIn ? TskResizedButtonState::Pressed
                                          : b.MouseIn         ? TskResizedButtonState::Hot
                                                              : TskResizedButtonState::Normal;
      if (!DrawResizedButton(FSkinData, "resizebutton", c, b.R, state, ArrowDirection(i)))
        DrawBlankResizedButton(c, b.R);
    }
    return;
  }
  TskSkinCustomControl::CreateControlSkinImage(B);
  if (!Picture)
    return;
  for (int i = 0; i < 2; ++i) {
    const TUpDownButton& b = FButtons[i];
    TRect source{};
    if (b.Down && b.MouseIn)
      source = i == 0 ? FLook.DownUpButtonRect : FLook.DownDownButtonRect;
    else if (b.MouseIn)
      source = i == 0 ? FLook.ActiveUpButtonRect : FLook.ActiveDownButtonRect;
    if (!EmptyRect(source) && !EmptyRect(b.R))
      c->CopyRect(b.R, Picture->GetCanvas(), source);
  }
}

// --- pointer and repeat ----------------------------------------------------------------------

void TskSkinUpDown::TestActive(int X, int Y)
{
  int active = -1;
  for (int i = 0; i < 2; ++i)
    if (PointInsideRect(FButtons[i].R, TPoint{X, Y})) {
      active = i;
      break;
    }
  if (FCaptured != -1 && active != FCaptured)
    active = -1;
  if (active == FActive)
    return;
  FOldActive = FActive;
  FActive = active;
  if (FOldActive != -1)
    ButtonLeave(FOldActive);
  if (FActive != -1)
    ButtonEnter(FActive);
}

void TskSkinUpDown::ButtonEnter(int Index)
{
  FButtons[1 - Index].MouseIn = false;
  FButtons[Index].MouseIn = true;
  Repaint();
  if (FButtons[Index].Down && FIncrement != 0)
    FRepeat.Resume();
}

void TskSkinUpDown::ButtonLeave(int Index)
{
  FButtons[Index].MouseIn = false;
  Repaint();
  if (FButtons[Index].Down && FIncrement != 0)
    FRepeat.Pause();
}

void TskSkinUpDown::ButtonDown(int Index)
{
  FButtons[Index].MouseIn = true;
  FButtons[Index].Down = true;
  Repaint();
  if (FIncrement == 0)
    return;
  FTimerMode = Index == 0 ? 2 : 1;
  FRepeat.Start();
}

void TskSkinUpDown::ButtonUp(int Index)
{
  if (FIncrement != 0) {
    FRepeat.Stop();
    FTimerMode = 0;
  }
  FButtons[Index].Down = false;
  if (Index != FActive)
    FButtons[Index].MouseIn = false;
  Repaint();
  if (Index == 0) {
    if (FIncrement != 0)
      SetPosition(FPosition + FIncrement);
    if (OnUpButtonClick)
      OnUpButtonClick(this);
  } else {
    if (FIncrement != 0)
      SetPosition(FPosition - FIncrement);
    if (OnDownButtonClick)
      OnDownButtonClick(this);
  }
}

void TskSkinUpDown::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y)
{
  TestActive(X, Y);
  if (FActive == 0)
    FButtons[1].MouseIn = false;
  else
    FButtons[0].MouseIn = false;
  if (FActive != -1) {
    FCaptured = FActive;
    ButtonDown(FActive);
  }
  TskSkinCustomControl::MouseDown(Button, Shift, X, Y);
}

void TskSkinUpDown::MouseMove(TShiftState Shift, int X, int Y)
{
  TestActive(X, Y);
  TskSkinCustomControl::MouseMove(Shift, X, Y);
}

void TskSkinUpDown::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y)
{
  const int captured = FCaptured;
  FCaptured = -1;
  if (captured != -1)
    ButtonUp(captured);
  TskSkinCustomControl::MouseUp(Button, Shift, X, Y);
}

void TskSkinUpDown::RepeatStep()
{
  if (FTimerMode == 1)
    SetPosition(FPosition - FIncrement);
  else if (FTimerMode == 2)
    SetPosition(FPosition + FIncrement);
}

// --- messages --------------------------------------------------------------------------------

void TskSkinUpDown::Dispatch(TMessage& Message)
{
  if (Message.Msg == WM_TIMER) {
    TskSkinCustomControl::Dispatch(Message);
    if (FRepeat.Tick(Message.WParam))
      RepeatStep();
    return;
  }
  TskSkinCustomControl::Dispatch(Message);
}

void TskSkinUpDown::WMSize(TMessage& Message)
{
  TskSkinCustomControl::WMSize(Message);
  CalcRects();
}

void TskSkinUpDown::WMEraseBkgnd(TMessage& Message) { Message.Result = 1; }

void TskSkinUpDown::CMMouseEnter(TMessage& Message)
{
  FActive = -1;
  FOldActive = -1;
  TskSkinCustomControl::CMMouseEnter(Message);
}

void TskSkinUpDown::CMMouseLeave(TMessage& Message)
{
  TskSkinCustomControl::CMMouseLeave(Message);
  for (TUpDownButton& b : FButtons)
    if (b.MouseIn) {
      b.MouseIn = false;
      Repaint();
    }
}
