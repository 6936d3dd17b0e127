#include "skin/controls/SkinScrollBar.h"

#include <algorithm>

#include "platform/rtl/MathUtils.h"
#include "skin/foundation/SkinDrawUtils.h"
#include "skin/foundation/SkinEffectBmp.h"
#include "skin/foundation/SkinGlyphs.h"
#include "skin/foundation/SkinStripImages.h"

namespace {

constexpr int DefaultButtonSize = 17;
constexpr int DefaultThumbLength = 16;

// An empty rectangle (no width or no height) of a record falls back to another one.
TRect Or(const TRect& R, const TRect& Fallback) { return RectWidth(R) <= 0 || RectHeight(R) <= 0 ? Fallback : R; }

bool EmptyRect(const TRect& R) { return RectWidth(R) <= 0 || RectHeight(R) <= 0; }

int AxisStart(const TRect& R, bool Horz) { return Horz ? R.left : R.top; }
int AxisEnd(const TRect& R, bool Horz) { return Horz ? R.right : R.bottom; }

}  // namespace

TskSkinScrollBar::TskSkinScrollBar(TComponent* AOwner)
    : TskSkinCustomControl(AOwner), FRepeat(this, FirstRepeatDelay, RepeatInterval, RepeatInterval, RepeatTimerId)
{
  SetControlStyle(GetControlStyle() | csCaptureMouse | csOpaque);
  SetTabStop(false);
  SetSkinDataName("hscrollbar");
  SetDefaultHeight(19);
  SetDefaultWidth(0);
  SetBounds(GetLeft(), GetTop(), 200, 19);
}

TskSkinScrollBar::~TskSkinScrollBar() { FRepeat.Stop(); }

// --- position and range ----------------------------------------------------------------------

int TskSkinScrollBar::UpperPosition() const
{
  const int upper = FPageSize > 0 ? FMax - FPageSize + 1 : FMax;
  return std::max(FMin, upper);
}

int TskSkinScrollBar::ClampPosition(int Value) const
{
  if (Value < FMin)
    return FMin;
  return std::min(Value, UpperPosition());
}

void TskSkinScrollBar::SetPosition(int Value)
{
  const int v = ClampPosition(Value);
  if (v == FPosition)
    return;
  FPosition = v;
  Repaint();
  if (OnChange)
    OnChange(this);
}

void TskSkinScrollBar::SetPositionSilent(int Value)
{
  const int v = ClampPosition(Value);
  if (v == FPosition)
    return;
  FPosition = v;
  Repaint();
}

void TskSkinScrollBar::SetRange(int AMin, int AMax, int APosition, int APageSize)
{
  FMin = AMin;
  FMax = AMax;
  FPageSize = std::max(0, APageSize);
  FPosition = ClampPosition(APosition);
  Repaint();
}

void TskSkinScrollBar::SetMin(int Value)
{
  FMin = Value;
  FPosition = ClampPosition(FPosition);
  Repaint();
}

void TskSkinScrollBar::SetMax(int Value)
{
  FMax = Value;
  FPosition = ClampPosition(FPosition);
  Repaint();
}

void TskSkinScrollBar::SetPageSize(int Value)
{
  if (Value >= 0 && FPosition + Value <= FMax + 1)
    FPageSize = Value;
  Repaint();
}

void TskSkinScrollBar::SetSmallChange(int Value)
{
  FSmallChange = Value;
  Repaint();
}

void TskSkinScrollBar::SetLargeChange(int Value)
{
  FLargeChange = Value;
  Repaint();
}

void TskSkinScrollBar::SetBothMarkerWidth(int Value)
{
  if (Value < 0)
    return;
  FBothMarkerWidth = Value;
  if (FIndex == -1)
    Repaint();
}

void TskSkinScrollBar::SetCanFocused(bool Value)
{
  FCanFocused = Value;
  SetTabStop(Value);
}

void TskSkinScrollBar::SetKind(TskScrollBarKind Value)
{
  if (FKind == Value)
    return;
  FKind = Value;
  if (Designing() && !(GetComponentState() & csLoading)) {
    if (Value == sbVertical) {
      SetSkinDataName("vscrollbar");
      if (GetHeight() < GetWidth())
        SetBounds(GetLeft(), GetTop(), GetHeight(), GetWidth());
      SetDefaultWidth(GetDefaultHeight());
      SetDefaultHeight(0);
    } else {
      SetSkinDataName("hscrollbar");
      if (GetWidth() < GetHeight())
        SetBounds(GetLeft(), GetTop(), GetHeight(), GetWidth());
      SetDefaultHeight(GetDefaultWidth());
      SetDefaultWidth(0);
    }
  }
  Repaint();
}

void TskSkinScrollBar::SetBoth(bool Value)
{
  if (FBoth == Value)
    return;
  FBoth = Value;
  if (!Designing()) {
    if (Value) {
      FSavedSkinDataName = GetSkinDataName();
      FHasSavedSkinDataName = true;
      SetSkinDataName(FBothSkinDataName);
    } else if (FHasSavedSkinDataName) {
      SetSkinDataName(FSavedSkinDataName);
    }
  }
  GetSkinData();
  if (FIndex == -1)
    Repaint();
  else
    ChangeSkinData();
}

// --- skin ------------------------------------------------------------------------------------

void TskSkinScrollBar::GetSkinData()
{
  TskSkinCustomControl::GetSkinData();
  auto* record = FIndex == -1 ? nullptr
                              : dynamic_cast<TskDataSkinScrollBarControl*>(SkinControlRecord(FSkinData, FIndex));
  if (!record)
    return;
  TSkinLook& l = FLook;
  l.TrackArea = record->trackarea;
  l.UpButtonRect = record->upbuttonrect;
  l.ActiveUpButtonRect = record->activeupbuttonrect;
  l.DownUpButtonRect = Or(record->downupbuttonrect, l.ActiveUpButtonRect);
  l.DownButtonRect = record->downbuttonrect;
  l.ActiveDownButtonRect = record->activedownbuttonrect;
  l.DownDownButtonRect = Or(record->downdownbuttonrect, l.ActiveDownButtonRect);
  l.ThumbRect = record->thumbrect;
  l.ActiveThumbRect = Or(record->activethumbrect, l.ThumbRect);
  l.DownThumbRect = Or(record->downthumbrect, l.ActiveThumbRect);
  l.ThumbOffset1 = record->thumboffset1;
  l.ThumbOffset2 = record->thumboffset2;
  l.ThumbTransparent = record->thumbtransparent;
  l.ThumbTransparentColor = record->thumbtransparentcolor;
  l.GlyphRect = record->glyphrect;
  l.ActiveGlyphRect = Or(record->activeglyphrect, l.GlyphRect);
  l.DownGlyphRect = Or(record->downglyphrect, l.ActiveGlyphRect);
  l.GlyphTransparent = record->glyphtransparent;
  l.GlyphTransparentColor = record->glyphtransparentcolor;
  l.ThumbStretchEffect = record->thumbstretcheffect;
  l.ThumbMinSize = record->thumbminsize;
  l.ThumbMinPageSize = record->thumbminpagesize;
}

void TskSkinScrollBar::CalcSize(int& W, int& H)
{
  TskSkinCustomControl::CalcSize(W, H);
  LayoutItems();
}

// --- layout ----------------------------------------------------------------------------------

double TskSkinScrollBar::ThumbFraction() const
{
  double f = 0;
  if (FPageSize > 0) {
    const int upper = FMax - FPageSize + 1;
    if (FMin < upper)
      f = static_cast<double>(FPosition - FMin) / (upper - FMin);
    else
      f = Horizontal() ? 1 : 0;
  } else if (FMax != FMin) {
    f = static_cast<double>(FPosition - FMin) / (FMax - FMin);
  }
  return std::clamp(f, 0.0, 1.0);
}

void TskSkinScrollBar::PlaceThumb(int Length, int CrossStart, int CrossEnd)
{
  const bool horz = Horizontal();
  const int trackStart = AxisStart(FTrack, horz), trackEnd = AxisEnd(FTrack, horz);
  // The thumb never gets longer than its track, so it never covers a button.
  Length = std::max(0, std::min(Length, trackEnd - trackStart));
  const int half = Length / 2;
  FTravelStart = trackStart + half;
  FTravelEnd = trackEnd - half;
  FOffset = static_cast<int>(Round((FTravelEnd - FTravelStart) * ThumbFraction()));
  const int a = FTravelStart + FOffset - half, b = FTravelStart + FOffset + half;
  FItems[siThumb].R = horz ? TRect{a, CrossStart, b, CrossEnd} : TRect{CrossStart, a, CrossEnd, b};
}

void TskSkinScrollBar::LayoutItems()
{
  const bool horz = Horizontal();
  const int w = GetWidth(), h = GetHeight();
  const int range = FMax - FMin + 1;
  if (FIndex == -1) {
    if (horz) {
      const int uw = FBoth ? w - FBothMarkerWidth : w;
      FItems[siDownButton].R = {1, 1, DefaultButtonSize, h - 1};
      FItems[siUpButton].R = {uw - DefaultButtonSize, 1, uw - 1, h - 1};
      FTrack = {DefaultButtonSize, 1, uw - DefaultButtonSize, h - 1};
    } else {
      FItems[siDownButton].R = {1, 1, w - 1, DefaultButtonSize};
      FItems[siUpButton].R = {1, h - DefaultButtonSize, w - 1, h - 1};
      FTrack = {1, DefaultButtonSize, w - 1, h - DefaultButtonSize};
    }
    const int trackLength = horz ? RectWidth(FTrack) : RectHeight(FTrack);
    int length = DefaultThumbLength;
    if (FPageSize > 0) {
      length = range == 0 ? 0 : static_cast<int>(Round(static_cast<double>(trackLength) * FPageSize / range));
      length = std::max(length, DefaultThumbLength);
    }
    if (horz)
      PlaceThumb(length, FTrack.top, FTrack.bottom);
    else
      PlaceThumb(length, FTrack.left, FTrack.right);
    return;
  }
  const int growth = horz ? w - RectWidth(SkinRect) : h - RectHeight(SkinRect);
  FTrack = FLook.TrackArea;
  if (horz)
    FTrack.right += growth;
  else
    FTrack.bottom += growth;
  FItems[siUpButton].R = FLook.UpButtonRect;
  FItems[siDownButton].R = FLook.DownButtonRect;
  for (int i : {siUpButton, siDownButton}) {
    TRect& r = FItems[i].R;
    if (horz && r.left > RTPoint.x)
      OffsetRect(&r, growth, 0);
    else if (!horz && r.top > LBPoint.y)
      OffsetRect(&r, 0, growth);
  }
  const int thumbCross = horz ? RectHeight(FLook.ThumbRect) : RectWidth(FLook.ThumbRect);
  const int thumbOwnLength = horz ? RectWidth(FLook.ThumbRect) : RectHeight(FLook.ThumbRect);
  const int trackCross = horz ? RectHeight(FTrack) : RectWidth(FTrack);
  const int crossStart = (horz ? FTrack.top : FTrack.left) + trackCross / 2 - thumbCross / 2;
  const int trackLength = horz ? RectWidth(FTrack) : RectHeight(FTrack);
  int length;
  if (FPageSize == 0) {
    length = FLook.ThumbMinPageSize != 0 ? FLook.ThumbMinPageSize
                                         : (FLook.ThumbMinSize != 0 ? FLook.ThumbMinSize : thumbOwnLength);
  } else {
    length = range == 0 ? 0 : static_cast<int>(Round(static_cast<double>(trackLength) * FPageSize / range));
    length = std::max(length, FLook.ThumbMinSize != 0 ? FLook.ThumbMinSize : thumbOwnLength);
  }
  PlaceThumb(length, crossStart, crossStart + thumbCross);
}

int TskSkinScrollBar::PosFromOffset(int D)
{
  int start = FTravelStart, end = FTravelEnd;
  if (FPageSize > 0) {
    const bool horz = Horizontal();
    const TRect& t = FItems[siThumb].R;
    const int length = horz ? RectWidth(t) : RectHeight(t);
    start = AxisStart(FTrack, horz) + length / 2;
    end = AxisEnd(FTrack, horz) - length / 2;
  }
  double f = end - start > 0 ? static_cast<double>(D) / (end - start) : 0;
  f = std::clamp(f, 0.0, 1.0);
  if (FPageSize > 0)
    return FMin + static_cast<int>(Round((FMax - FMin - FPageSize + 1) * f));
  return FMin + static_cast<int>(Round((FMax - FMin) * f));
}

// --- painting --------------------------------------------------------------------------------

bool TskSkinScrollBar::HasKeyFocus() { return FCanFocused && HandleAllocated() && Focused(); }

void TskSkinScrollBar::CreateControlDefaultImage(TBitmap* B)
{
  LayoutItems();
  TCanvas* c = B->GetCanvas();
  const TRect r = GetClientRect();
  c->GetBrush()->SetStyle(bsSolid);
  c->GetBrush()->SetColor(clBtnFace);
  c->FillRect(r);
  c->FrameRect(r);
  if (GetEnabled())
    DrawDefaultItem(c, siThumb);
  DrawDefaultItem(c, siUpButton);
  DrawDefaultItem(c, siDownButton);
}

void TskSkinScrollBar::DrawDefaultItem(TCanvas* Canvas, int Index)
{
  const TBarItem& item = FItems[Index];
  if (EmptyRect(item.R))
    return;
  const bool pressed = (item.Pressed && item.Hot) || (Index == siThumb && (item.Pressed || HasKeyFocus()));
  TColor frame = clBtnShadow, fill = clBtnFace;
  if (pressed) {
    frame = clNavy;
    fill = static_cast<TColor>(0xB59385);
  } else if (item.Hot) {
    frame = clNavy;
    fill = static_cast<TColor>(0xD2BDB6);
  }
  Canvas->GetBrush()->SetStyle(bsSolid);
  Canvas->GetBrush()->SetColor(fill);
  Canvas->FillRect(item.R);
  Canvas->GetBrush()->SetColor(frame);
  Canvas->FrameRect(item.R);
  if (Index == siThumb)
    return;
  TRect inner = item.R;
  InflateRect(&inner, -1, -1);
  const bool horz = Horizontal();
  const int direction = Index == siUpButton ? (horz ? 2 : 4) : (horz ? 1 : 3);
  DrawArrowGlyph(Canvas, inner, clBlack, direction);
}

void TskSkinScrollBar::CreateControlSkinImage(TBitmap* B)
{
  TskSkinCustomControl::CreateControlSkinImage(B);
  LayoutItems();
  DrawSkinItem(B, siUpButton);
  DrawSkinItem(B, siDownButton);
  if (GetEnabled())
    DrawSkinThumb(B);
}

void TskSkinScrollBar::DrawSkinItem(TBitmap* B, int Index)
{
  const TBarItem& item = FItems[Index];
  if (!Picture || EmptyRect(item.R))
    return;
  const bool up = Index == siUpButton;
  TRect source{};
  if (item.Pressed && item.Hot)
    source = up ? FLook.DownUpButtonRect : FLook.DownDownButtonRect;
  else if (item.Hot)
    source = up ? FLook.ActiveUpButtonRect : FLook.ActiveDownButtonRect;
  if (EmptyRect(source))
    return;
  B->GetCanvas()->CopyRect(item.R, Picture->GetCanvas(), source);
}

void TskSkinScrollBar::DrawSkinThumb(TBitmap* B)
{
  const TBarItem& item = FItems[siThumb];
  const int w = RectWidth(item.R), h = RectHeight(item.R);
  if (!Picture || w <= 0 || h <= 0)
    return;
  const bool pressed = item.Pressed || HasKeyFocus();
  const TRect source = pressed ? FLook.DownThumbRect : (item.Hot ? FLook.ActiveThumbRect : FLook.ThumbRect);
  if (EmptyRect(source))
    return;
  TBitmap thumb;
  thumb.SetPixelFormat(pf24bit);
  if (FPageSize > 0 || FLook.ThumbMinPageSize != 0) {
    if (Horizontal())
      BuildHorzSkinBitmap(FLook.ThumbOffset1, FLook.ThumbOffset2, &thumb, Picture, source, w, h,
                          FLook.ThumbStretchEffect);
    else
      BuildVertSkinBitmap(FLook.ThumbOffset1, FLook.ThumbOffset2, &thumb, Picture, source, w, h,
                          FLook.ThumbStretchEffect);
  } else {
    thumb.SetSize(w, h);
    thumb.GetCanvas()->CopyRect(Rect(0, 0, w, h), Picture->GetCanvas(),
                                Rect(source.left, source.top, source.left + w, source.top + h));
  }
  const TRect glyph = pressed ? FLook.DownGlyphRect : (item.Hot ? FLook.ActiveGlyphRect : FLook.GlyphRect);
  if (!EmptyRect(glyph)) {
    TBitmap g;
    g.SetPixelFormat(pf24bit);
    g.SetSize(RectWidth(glyph), RectHeight(glyph));
    g.GetCanvas()->CopyRect(Rect(0, 0, g.GetWidth(), g.GetHeight()), Picture->GetCanvas(), glyph);
    if (FLook.GlyphTransparent) {
      g.SetTransparentMode(tmFixed);
      g.SetTransparentColor(FLook.GlyphTransparentColor);
      g.SetTransparent(true);
    }
    thumb.GetCanvas()->Draw(thumb.GetWidth() / 2 - g.GetWidth() / 2, thumb.GetHeight() / 2 - g.GetHeight() / 2, &g);
  }
  if (GetAlphaBlend()) {
    TBitmap under;
    under.SetPixelFormat(pf24bit);
    under.SetSize(thumb.GetWidth(), thumb.GetHeight());
    under.GetCanvas()->CopyRect(Rect(0, 0, under.GetWidth(), under.GetHeight()), B->GetCanvas(),
                                Rect(item.R.left, item.R.top, item.R.left + under.GetWidth(),
                                     item.R.top + under.GetHeight()));
    auto front = TskEffectBmp::CreateFromBitmap(thumb.GetHandle());
    auto back = TskEffectBmp::CreateFromBitmap(under.GetHandle());
    front->Morph(back.get(), 1.0 - GetAlphaBlendValue() / 255.0);
    front->Draw(thumb.GetCanvas()->GetHandle(), 0, 0);
  }
  if (FLook.ThumbTransparent) {
    thumb.SetTransparentMode(tmFixed);
    thumb.SetTransparentColor(FLook.ThumbTransparentColor);
    thumb.SetTransparent(true);
  }
  B->GetCanvas()->Draw(item.R.left, item.R.top, &thumb);
}

// --- hover, press, repeat ----------------------------------------------------------------------

int TskSkinScrollBar::HitItem(int X, int Y) const
{
  const TPoint p{X, Y};
  for (int i : {siThumb, siUpButton, siDownButton})
    if (PtInRect(&FItems[i].R, p))
      return i;
  return -1;
}

void TskSkinScrollBar::TrackHover(int X, int Y)
{
  int hover = HitItem(X, Y);
  if (FPressed != -1 && hover != FPressed)
    hover = -1;
  if (hover == FHover)
    return;
  const int old = FHover;
  FHover = hover;
  if (old != -1)
    ItemLeave(old);
  if (hover != -1)
    ItemEnter(hover);
}

void TskSkinScrollBar::ItemEnter(int Index)
{
  FItems[Index].Hot = true;
  Repaint();
  if (Index != siThumb && FItems[Index].Pressed)
    FRepeat.Resume();
}

void TskSkinScrollBar::ItemLeave(int Index)
{
  FItems[Index].Hot = false;
  Repaint();
  if (Index != siThumb && FItems[Index].Pressed)
    FRepeat.Pause();
}

void TskSkinScrollBar::StartRepeat(TRepeatMode Mode)
{
  FRepeatMode = Mode;
  FRepeat.Start();
}

void TskSkinScrollBar::StopRepeat()
{
  FRepeat.Stop();
  FRepeatMode = rmNone;
}

void TskSkinScrollBar::StepUp()
{
  if (OnUpButtonClick)
    OnUpButtonClick(this);
  else
    SetPosition(FPosition + FSmallChange);
}

void TskSkinScrollBar::StepDown()
{
  if (OnDownButtonClick)
    OnDownButtonClick(this);
  else
    SetPosition(FPosition - FSmallChange);
}

void TskSkinScrollBar::ItemDown(int Index, int X, int Y)
{
  FItems[Index].Pressed = true;
  Repaint();
  switch (Index) {
  case siThumb:
    FDragAnchor = Horizontal() ? X : Y;
    FDragOffset = FOffset;
    FDragging = true;
    Repaint();
    break;
  case siUpButton:
    StepUp();
    StartRepeat(rmUpButton);
    break;
  case siDownButton:
    StepDown();
    StartRepeat(rmDownButton);
    break;
  default: break;
  }
}

void TskSkinScrollBar::ItemUp(int Index)
{
  TBarItem& item = FItems[Index];
  item.Pressed = false;
  if (Index != FHover)
    item.Hot = false;
  Repaint();
  if (Index == siThumb)
    FDragging = false;
  else
    StopRepeat();
}

void TskSkinScrollBar::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y)
{
  TskSkinCustomControl::MouseDown(Button, Shift, X, Y);
  if (Button != mbLeft)
    return;
  FMousePressed = true;
  FLastPoint = {X, Y};
  LayoutItems();
  FRepeatMode = rmNone;
  const int hit = HitItem(X, Y);
  if (hit != -1) {
    FPressed = hit;
    ItemDown(hit, X, Y);
    return;
  }
  const TPoint p{X, Y};
  if (!PtInRect(&FTrack, p))
    return;
  const bool horz = Horizontal();
  if ((horz ? X : Y) < AxisStart(FItems[siThumb].R, horz)) {
    SetPosition(FPosition - FLargeChange);
    StartRepeat(rmPageUp);
    if (OnPageUp)
      OnPageUp(this);
  } else {
    SetPosition(FPosition + FLargeChange);
    StartRepeat(rmPageDown);
    if (OnPageDown)
      OnPageDown(this);
  }
}

void TskSkinScrollBar::MouseMove(TShiftState Shift, int X, int Y)
{
  FLastPoint = {X, Y};
  TrackHover(X, Y);
  if (FDragging)
    SetPosition(PosFromOffset((Horizontal() ? X : Y) - FDragAnchor + FDragOffset));
  TskSkinCustomControl::MouseMove(Shift, X, Y);
}

void TskSkinScrollBar::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y)
{
  TskSkinCustomControl::MouseUp(Button, Shift, X, Y);
  FMousePressed = false;
  if (FRepeatMode == rmPageUp || FRepeatMode == rmPageDown)
    StopRepeat();
  const int pressed = FPressed;
  if (pressed != -1)
    ItemUp(pressed);
  FPressed = -1;
  if (Button == mbLeft && pressed == siThumb && OnLastChange)
    OnLastChange(this);
}

void TskSkinScrollBar::RepeatStep()
{
  const bool horz = Horizontal();
  switch (FRepeatMode) {
  case rmDownButton: StepDown(); break;
  case rmUpButton: StepUp(); break;
  case rmPageUp:
    TrackHover(FLastPoint.x, FLastPoint.y);
    LayoutItems();
    if ((horz ? FLastPoint.x : FLastPoint.y) < AxisStart(FItems[siThumb].R, horz)) {
      SetPosition(FPosition - FLargeChange);
      if (OnPageUp)
        OnPageUp(this);
    } else {
      StopRepeat();
    }
    break;
  case rmPageDown:
    TrackHover(FLastPoint.x, FLastPoint.y);
    LayoutItems();
    if ((horz ? FLastPoint.x : FLastPoint.y) > AxisEnd(FItems[siThumb].R, horz)) {
      SetPosition(FPosition + FLargeChange);
      if (OnPageDown)
        OnPageDown(this);
    } else {
      StopRepeat();
    }
    break;
  default: break;
  }
}

// --- messages --------------------------------------------------------------------------------

void TskSkinScrollBar::WndProc(TMessage& Message)
{
  if (FCanFocused && !Designing()) {
    switch (Message.Msg) {
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
      if (!Focused()) {
        FTakingFocus = true;
        ::SetFocus(GetHandle());
        FTakingFocus = false;
        if (!Focused())
          return;
      }
      break;
    case CN_COMMAND:
      if (FTakingFocus)
        return;
      break;
    default: break;
    }
  }
  TskSkinCustomControl::WndProc(Message);
}

void TskSkinScrollBar::Dispatch(TMessage& Message)
{
  switch (Message.Msg) {
  case WM_TIMER:
    TskSkinCustomControl::Dispatch(Message);
    if (FRepeat.Tick(Message.WParam))
      RepeatStep();
    return;
  case CM_WANTSPECIALKEY:
    TskSkinCustomControl::Dispatch(Message);
    if (FCanFocused && Message.WParam >= VK_LEFT && Message.WParam <= VK_DOWN)
      Message.Result = 1;
    return;
  case WM_MOUSEWHEEL:
    if (HasKeyFocus()) {
      if (GET_WHEEL_DELTA_WPARAM(Message.WParam) > 0)
        SetPosition(FPosition - FSmallChange);
      else
        SetPosition(FPosition + FSmallChange);
      Message.Result = 1;
      return;
    }
    break;
  default: break;
  }
  TskSkinCustomControl::Dispatch(Message);
}

void TskSkinScrollBar::KeyDown(Word& Key, TShiftState Shift)
{
  TskSkinCustomControl::KeyDown(Key, Shift);
  if (!FCanFocused)
    return;
  if (Key == VK_LEFT || Key == VK_UP)
    SetPosition(FPosition - FSmallChange);
  else if (Key == VK_RIGHT || Key == VK_DOWN)
    SetPosition(FPosition + FSmallChange);
}

void TskSkinScrollBar::WMSetFocus(TMessage& Message)
{
  TskSkinCustomControl::WMSetFocus(Message);
  if (FCanFocused)
    Repaint();
}

void TskSkinScrollBar::WMKillFocus(TMessage& Message)
{
  TskSkinCustomControl::WMKillFocus(Message);
  if (FCanFocused)
    Repaint();
}

void TskSkinScrollBar::WMEraseBkgnd(TMessage& Message)
{
  if (!InWMPaint && Message.WParam)
    PaintWindow(reinterpret_cast<HDC>(Message.WParam));
  Message.Result = 1;
}

void TskSkinScrollBar::CMEnabledChanged(TMessage& Message)
{
  TskSkinCustomControl::CMEnabledChanged(Message);
  Repaint();
}

void TskSkinScrollBar::CMMouseLeave(TMessage& Message)
{
  TskSkinCustomControl::CMMouseLeave(Message);
  if (Designing())
    return;
  if (FHover != -1 && FPressed == -1 && !FDragging) {
    FItems[FHover].Hot = false;
    Repaint();
    FHover = -1;
  }
  if (FMousePressed && (FRepeatMode == rmPageUp || FRepeatMode == rmPageDown))
    StopRepeat();
}
