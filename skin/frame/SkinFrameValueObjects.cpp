// The value objects and labels of a skinned frame.
#include "skin/frame/SkinFrameValueObjects.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

#include "skin/foundation/SkinData.h"
#include "skin/foundation/SkinDrawUtils.h"
#include "skin/foundation/SkinEffectBmp.h"
#include "skin/frame/SkinnedForm.h"
#include "skin/input/SkinMenuItem.h"

namespace {

// Nearest integer, halves to the even neighbour.
int RoundEven(double X) { return static_cast<int>(std::nearbyint(X)); }

// V within the two bounds, in whichever order they come.
int Within(int V, int A, int B) { return std::clamp(V, std::min(A, B), std::max(A, B)); }

// The share of V in Min..Max (0 for an empty range).
double Share(int V, int Min, int Max) { return Max == Min ? 0.0 : double(V - Min) / double(Max - Min); }

// Copies Width x Height pixels from (SX, SY) of Source to (DX, DY) of Target, cut to both.
void CopyBlock(TBitmap* Target, int DX, int DY, TBitmap* Source, int SX, int SY, int Width, int Height)
{
  if (!Source || Source->Empty() || Width <= 0 || Height <= 0)
    return;
  Target->GetCanvas()->CopyRect(Rect(DX, DY, DX + Width, DY + Height), Source->GetCanvas(),
                                Rect(SX, SY, SX + Width, SY + Height));
}

} // namespace

// ---- Gauge ----

TskSkinGaugeObject::TskSkinGaugeObject(TskSkinnedForm* AParent, TskDataSkinGauge* Data)
    : TskActiveSkinObject(AParent, Data)
{
  MinValue = Data->minvalue;
  MaxValue = Data->maxvalue;
  Kind = Data->kind;
  Value = MinValue;
  ProgressPoint = OldProgressPoint = CalcProgressPoint();
}

TPoint TskSkinGaugeObject::CalcProgressPoint() const
{
  const double x = Share(Value, MinValue, MaxValue);
  if (Kind == gkHorizontal)
    return TPoint{RoundEven(x * RectWidth(SkinRect)), 0};
  return TPoint{0, RoundEven(RectHeight(SkinRect) * (1 - x))};
}

void TskSkinGaugeObject::Draw(TCanvas* Cnvs, bool Alone)
{
  if (!SkinReady() || (Value == MinValue && !Alone) || IsNullRect(ObjectRect))
    return;
  ProgressPoint = CalcProgressPoint();
  const int w = RectWidth(ObjectRect), h = RectHeight(ObjectRect);
  TBitmap b;
  b.SetSize(w, h);
  const TPoint p = ProgressPoint;
  if (Kind == gkHorizontal) {
    const int px = std::clamp(p.x, 0, w);
    CopyBlock(&b, 0, 0, ActivePicture, ActiveSkinRect.left, ActiveSkinRect.top, px, h);
    CopyBlock(&b, px, 0, Picture, SkinRect.left + px, SkinRect.top, w - px, h);
  } else {
    const int py = std::clamp(p.y, 0, h);
    CopyBlock(&b, 0, 0, Picture, SkinRect.left, SkinRect.top, w, py);
    CopyBlock(&b, 0, py, ActivePicture, ActiveSkinRect.left, ActiveSkinRect.top + py, w, h - py);
  }
  Cnvs->Draw(ObjectRect.left, ObjectRect.top, &b);
}

void TskSkinGaugeObject::MouseEnter()
{
  MouseIn = Active = true;
  if (Parent->OnMouseEnterEvent)
    Parent->OnMouseEnterEvent(IDName);
}

void TskSkinGaugeObject::MouseLeave()
{
  MouseIn = Active = false;
  if (Parent->OnMouseLeaveEvent)
    Parent->OnMouseLeaveEvent(IDName);
}

// ---- Track bar ----

TskSkinTrackBarObject::TskSkinTrackBarObject(TskSkinnedForm* AParent, TskDataSkinTrackBar* Data)
    : TskActiveSkinObject(AParent, Data)
{
  ButtonRect = Data->buttonrect;
  ActiveButtonRect = Data->activebuttonrect;
  BeginPoint = Data->beginpoint;
  EndPoint = Data->endpoint;
  MinValue = Data->minvalue;
  MaxValue = Data->maxvalue;
  MouseDownChangeValue = Data->mousedownchangevalue;
  ButtonTransparent = Data->buttontransparent;
  ButtonTransparentColor = Data->buttontransparentcolor;
  Vertical = std::abs(BeginPoint.y - EndPoint.y) >= std::abs(EndPoint.x - BeginPoint.x);
  Value = MinValue;
  ButtonPos = OldButtonPos = PointOfValue(Value);
}

TPoint TskSkinTrackBarObject::PointOfValue(int V) const
{
  const double x = Share(V, MinValue, MaxValue);
  if (!Vertical)
    return TPoint{BeginPoint.x + RoundEven(x * (EndPoint.x - BeginPoint.x)), BeginPoint.y};
  return TPoint{BeginPoint.x, EndPoint.y + RoundEven((1 - x) * (BeginPoint.y - EndPoint.y))};
}

int TskSkinTrackBarObject::ValueOfPoint(TPoint P) const
{
  double x = 0;
  if (!Vertical) {
    if (EndPoint.x != BeginPoint.x)
      x = double(P.x - BeginPoint.x) / double(EndPoint.x - BeginPoint.x);
  } else if (BeginPoint.y != EndPoint.y) {
    x = 1 - double(P.y - EndPoint.y) / double(BeginPoint.y - EndPoint.y);
  }
  return Within(MinValue + RoundEven((MaxValue - MinValue) * x), MinValue, MaxValue);
}

TRect TskSkinTrackBarObject::ButtonRectAtPos() const
{
  const int w = RectWidth(ButtonRect), h = RectHeight(ButtonRect);
  return Rect(ButtonPos.x - w / 2, ButtonPos.y - h / 2, ButtonPos.x - w / 2 + w, ButtonPos.y - h / 2 + h);
}

void TskSkinTrackBarObject::SetButtonPos(TPoint P)
{
  if (P.x == ButtonPos.x && P.y == ButtonPos.y)
    return;
  OldButtonPos = ButtonPos;
  ButtonPos = P;
  Value = ValueOfPoint(P);
  Parent->DrawObject(this);
  if (Parent->OnTrackBarChangeValueEvent)
    Parent->OnTrackBarChangeValueEvent(IDName, Value);
}

void TskSkinTrackBarObject::MouseDown(int X, int Y, TMouseButton Button)
{
  const TPoint l{X - ObjectRect.left, Y - ObjectRect.top};
  if (Button == mbLeft) {
    const TRect b = ButtonRectAtPos();
    if (l.x >= b.left && l.x < b.right && l.y >= b.top && l.y < b.bottom) {
      Down = true;
      LastPoint = l;
      if (!IsNullRect(ActiveButtonRect))
        Parent->DrawObject(this);
    } else if (MouseDownChangeValue) {
      if (!Vertical)
        SetButtonPos(TPoint{Within(l.x, BeginPoint.x, EndPoint.x), BeginPoint.y});
      else
        SetButtonPos(TPoint{BeginPoint.x, Within(l.y, EndPoint.y, BeginPoint.y)});
    }
  }
  TskActiveSkinObject::MouseDown(X, Y, Button);
}

void TskSkinTrackBarObject::MouseMove(int X, int Y)
{
  const TPoint l{X - ObjectRect.left, Y - ObjectRect.top};
  if (Down) {
    if (!Vertical) {
      const int c = l.x + ButtonPos.x - LastPoint.x;
      if (c >= std::min(BeginPoint.x, EndPoint.x) && c <= std::max(BeginPoint.x, EndPoint.x))
        SetButtonPos(TPoint{c, ButtonPos.y});
    } else {
      const int c = l.y + ButtonPos.y - LastPoint.y;
      if (c >= std::min(BeginPoint.y, EndPoint.y) && c <= std::max(BeginPoint.y, EndPoint.y))
        SetButtonPos(TPoint{ButtonPos.x, c});
    }
  }
  LastPoint = l;
  TskActiveSkinObject::MouseMove(X, Y);
}

void TskSkinTrackBarObject::MouseUp(int X, int Y, TMouseButton Button)
{
  if (Button == mbLeft && Down) {
    Down = false;
    if (!IsNullRect(ActiveButtonRect))
      Parent->DrawObject(this);
  }
  TskActiveSkinObject::MouseUp(X, Y, Button);
}

void TskSkinTrackBarObject::Draw(TCanvas* Cnvs, bool)
{
  if (!SkinReady() || IsNullRect(SkinRect))
    return;
  const TRect button = Down && !IsNullRect(ActiveButtonRect) ? ActiveButtonRect : ButtonRect;
  const int w = RectWidth(SkinRect), h = RectHeight(SkinRect);
  TBitmap b;
  b.SetSize(w, h);
  if (IsNullRect(ActiveSkinRect)) {
    CopyBlock(&b, 0, 0, Picture, SkinRect.left, SkinRect.top, w, h);
  } else if (!Vertical) {
    const int px = std::clamp(ButtonPos.x, 0, w);
    CopyBlock(&b, 0, 0, ActivePicture, ActiveSkinRect.left, ActiveSkinRect.top, px, h);
    CopyBlock(&b, px, 0, Picture, SkinRect.left + px, SkinRect.top, w - px, h);
  } else {
    const int py = std::clamp(ButtonPos.y, 0, h);
    CopyBlock(&b, 0, 0, Picture, SkinRect.left, SkinRect.top, w, py);
    CopyBlock(&b, 0, py, ActivePicture, ActiveSkinRect.left, ActiveSkinRect.top + py, w, h - py);
  }
  if (ActivePicture && !IsNullRect(button)) {
    const TRect at = ButtonRectAtPos();
    if (ButtonTransparent) {
      TBitmap face;
      face.SetSize(RectWidth(button), RectHeight(button));
      CopyBlock(&face, 0, 0, ActivePicture, button.left, button.top, RectWidth(button), RectHeight(button));
      face.SetTransparentMode(tmFixed);
      face.SetTransparentColor(ButtonTransparentColor);
      face.SetTransparent(true);
      b.GetCanvas()->Draw(at.left, at.top, &face);
    } else {
      CopyBlock(&b, at.left, at.top, ActivePicture, button.left, button.top, RectWidth(button), RectHeight(button));
    }
  }
  Cnvs->Draw(ObjectRect.left, ObjectRect.top, &b);
}

// ---- Switch ----

TskSkinSwitchObject::TskSkinSwitchObject(TskSkinnedForm* AParent, TskDataSkinSwitch* Data)
    : TskActiveSkinObject(AParent, Data)
{
}

void TskSkinSwitchObject::MouseDown(int X, int Y, TMouseButton Button)
{
  if (Button == mbLeft) {
    State = State == swsOn ? swsOff : swsOn;
    Active = State == swsOn;
    ReDraw();
    if (Parent->OnSwitchChangeStateEvent)
      Parent->OnSwitchChangeStateEvent(IDName, State);
  }
  TskActiveSkinObject::MouseDown(X, Y, Button);
}

void TskSkinSwitchObject::MouseEnter()
{
  MouseIn = true;
  if (Parent->OnMouseEnterEvent)
    Parent->OnMouseEnterEvent(IDName);
}

void TskSkinSwitchObject::MouseLeave()
{
  MouseIn = false;
  if (Parent->OnMouseLeaveEvent)
    Parent->OnMouseLeaveEvent(IDName);
}

// ---- Filmstrip objects ----

TskSkinFrameObject::TskSkinFrameObject(TskSkinnedForm* AParent, TskDataSkinObject* Data, int ACountFrames,
                                       TskFramesPlacement APlacement)
    : TskActiveSkinObject(AParent, Data), CountFrames(ACountFrames), FramesPlacement(APlacement)
{
  if (CountFrames > 0) {
    if (FramesPlacement == fpHorizontal) {
      FrameWidth = RectWidth(ActiveSkinRect) / CountFrames;
      FrameHeight = RectHeight(ActiveSkinRect);
    } else {
      FrameHeight = RectHeight(ActiveSkinRect) / CountFrames;
      FrameWidth = RectWidth(ActiveSkinRect);
    }
  }
}

int TskSkinFrameObject::FrameOfValue(int V, int Min, int Max) const
{
  if (CountFrames < 2)
    return 1;
  const int step = (Max - Min) / (CountFrames - 1);
  if (step == 0)
    return 1;
  // A value outside the range shows the nearest end of the strip.
  return std::clamp(std::abs(V - Min) / std::abs(step) + 1, 1, CountFrames);
}

TRect TskSkinFrameObject::FrameRect(int Index) const
{
  const int w = FrameWidth, h = FrameHeight;
  const TRect s = ActiveSkinRect;
  if (FramesPlacement == fpHorizontal)
    return Rect(s.left + w * (Index - 1), s.top, s.left + w * Index, s.top + h);
  return Rect(s.left, s.top + h * (Index - 1), s.left + w, s.top + h * Index);
}

void TskSkinFrameObject::Draw(TCanvas* Cnvs, bool)
{
  if (!SkinReady() || CountFrames <= 0)
    return;
  CopyLook(Cnvs, ActivePicture, FrameRect(std::clamp(FrameIndex, 1, CountFrames)));
}

TskSkinFrameGaugeObject::TskSkinFrameGaugeObject(TskSkinnedForm* AParent, TskDataSkinFrameGaugeObject* Data)
    : TskSkinFrameObject(AParent, Data, Data->countframes, Data->framesplacement)
{
  MinValue = Data->minvalue;
  MaxValue = Data->maxvalue;
}

void TskSkinFrameGaugeObject::Draw(TCanvas* Cnvs, bool Alone)
{
  FrameIndex = FrameOfValue(Value, MinValue, MaxValue);
  TskSkinFrameObject::Draw(Cnvs, Alone);
}

void TskSkinFrameGaugeObject::MouseEnter()
{
  MouseIn = Active = true;
  if (Parent->OnMouseEnterEvent)
    Parent->OnMouseEnterEvent(IDName);
}

void TskSkinFrameGaugeObject::MouseLeave()
{
  MouseIn = Active = false;
  if (Parent->OnMouseLeaveEvent)
    Parent->OnMouseLeaveEvent(IDName);
}

TskSkinFrameRegulatorObject::TskSkinFrameRegulatorObject(TskSkinnedForm* AParent,
                                                         TskDataSkinFrameRegulatorObject* Data)
    : TskSkinFrameObject(AParent, Data, Data->countframes, Data->framesplacement)
{
  MinValue = Data->minvalue;
  MaxValue = Data->maxvalue;
  Kind = Data->kind;
  Value = Within(0, MinValue, MaxValue);
  const int d = CountFrames - 1;
  if (d >= 1) {
    const int length = Kind == rkRound ? 360 : Kind == rkHorizontal ? FrameWidth : FrameHeight;
    PixelStep = std::max(1, length / d);
    ValueStep = std::max(1, (MaxValue - MinValue) / d);
  }
}

void TskSkinFrameRegulatorObject::Draw(TCanvas* Cnvs, bool Alone)
{
  FrameIndex = FrameOfValue(Value, MinValue, MaxValue);
  TskSkinFrameObject::Draw(Cnvs, Alone);
}

int TskSkinFrameRegulatorObject::AngleOf(TPoint P, int Previous) const
{
  const int w = RectWidth(ObjectRect), h = RectHeight(ObjectRect);
  const int x = std::clamp(P.x, 0, std::max(0, w)), y = std::clamp(P.y, 0, std::max(0, h));
  const int cx = w / 2, cy = h / 2;
  const double dx = cx - x, dy = cy - y;
  const double d = std::sqrt(dx * dx + dy * dy);
  if (d == 0)
    return Previous;
  int base = 0;
  if (x <= cx && y < cy)
    base = 90;
  if (x < cx && y >= cy)
    base = 180;
  if (x >= cx && y > cy)
    base = 270;
  if (x > cx && y <= cy)
    base = 0;
  const double s = std::min(1.0, (base == 0 || base == 180 ? std::abs(dy) : std::abs(dx)) / d);
  const double a = std::asin(s) * 180.0 / M_PI;
  const int t = static_cast<int>(std::trunc(base + a));
  int angle = 270 - t;
  if (angle < 0)
    angle += 360;
  return angle;
}

int TskSkinFrameRegulatorObject::Measure(TPoint L) const
{
  switch (Kind) {
  case rkRound: return AngleOf(L, PreviousMeasure);
  case rkHorizontal: return L.x;
  case rkVertical: return -L.y;
  }
  return 0;
}

void TskSkinFrameRegulatorObject::MouseDown(int X, int Y, TMouseButton Button)
{
  Down = true;
  WorkValue = Value;
  const TPoint l{X - ObjectRect.left, Y - ObjectRect.top};
  StartMeasure = PreviousMeasure = Measure(l);
  TskSkinFrameObject::MouseDown(X, Y, Button);
}

void TskSkinFrameRegulatorObject::MouseUp(int X, int Y, TMouseButton Button)
{
  Down = false;
  TskSkinFrameObject::MouseUp(X, Y, Button);
}

void TskSkinFrameRegulatorObject::MouseMove(int X, int Y)
{
  if (Down) {
    CurrentMeasure = Measure(TPoint{X - ObjectRect.left, Y - ObjectRect.top});
    if (Kind == rkRound)
      RoundStep();
    else
      LinearStep();
    PreviousMeasure = CurrentMeasure;
  }
  TskSkinFrameObject::MouseMove(X, Y);
}

void TskSkinFrameRegulatorObject::Step(bool Up)
{
  StartMeasure = CurrentMeasure;
  WorkValue = Within(WorkValue + (Up ? ValueStep : -ValueStep), MinValue, MaxValue);
  SetValue(WorkValue);
}

void TskSkinFrameRegulatorObject::RoundStep()
{
  if (CountFrames < 2)
    return;
  if (std::abs(CurrentMeasure - PreviousMeasure) > 300) {
    // The pointer crossed the seam between 359 and 0 degrees.
    Step(CurrentMeasure < PreviousMeasure);
    return;
  }
  if (std::abs(CurrentMeasure - StartMeasure) < PixelStep)
    return;
  Step(CurrentMeasure >= StartMeasure);
}

void TskSkinFrameRegulatorObject::LinearStep()
{
  if (CountFrames < 2 || std::abs(CurrentMeasure - StartMeasure) < PixelStep)
    return;
  Step(CurrentMeasure >= StartMeasure);
}

void TskSkinFrameRegulatorObject::SetValue(int V)
{
  if (V == Value || V < std::min(MinValue, MaxValue) || V > std::max(MinValue, MaxValue))
    return;
  Value = V;
  Parent->DrawObject(this);
  if (Parent->OnFrameRegulatorChangeValueEvent)
    Parent->OnFrameRegulatorChangeValueEvent(IDName, V);
}

// ---- Label ----

TskSkinLabelObject::TskSkinLabelObject(TskSkinnedForm* AParent, TskDataSkinLabel* Data)
    : TskActiveSkinObject(AParent, Data)
{
  Text = Data->textvalue;
  if (!Data->fontName.empty())
    FontName = Data->fontName;
  FontStyle = Data->fontstyle;
  FontHeight = Data->fontheight > 0 ? Data->fontheight : 14;
  FontColor = Data->fontcolor;
  ActiveFontColor = Data->activefontcolor;
  Alignment = Data->alignment;
}

void TskSkinLabelObject::MouseEnter()
{
  MouseIn = Active = true;
  if (!IsNullRect(ActiveSkinRect) || FontColor != ActiveFontColor)
    ReDraw();
  if (Parent->OnMouseEnterEvent)
    Parent->OnMouseEnterEvent(IDName);
}

void TskSkinLabelObject::MouseLeave()
{
  MouseIn = Active = false;
  if (!IsNullRect(ActiveSkinRect) || FontColor != ActiveFontColor)
    ReDraw();
  if (Parent->OnMouseLeaveEvent)
    Parent->OnMouseLeaveEvent(IDName);
}

void TskSkinLabelObject::BuildImage(TBitmap* B, bool ActiveBackground, TColor Color)
{
  const int w = RectWidth(ObjectRect), h = RectHeight(ObjectRect);
  B->SetSize(w, h);
  if (ActiveBackground)
    CopyToBitmap(B, ActivePicture, ActiveSkinRect);
  else
    CopyToBitmap(B, Picture, SkinRect);
  TCanvas* c = B->GetCanvas();
  c->GetBrush()->SetStyle(bsClear);
  TFont* font = c->GetFont();
  font->SetName(FontName);
  font->SetStyle(FontStyle);
  font->SetHeight(FontHeight);
  font->SetColor(Color);
  const WideString text = MenuTextToWide(Text);
  const int tw = TextWidthW(c, text), th = TextHeightW(c, text);
  int x = 0;
  if (Alignment == taRightJustify)
    x = w - tw;
  else if (Alignment == taCenter)
    x = w / 2 - tw / 2;
  const int y = h / 2 - th / 2;
  TRect r = Rect(x, y, x + tw, y + th);
  DrawWideText(c, text, r, DT_SINGLELINE | DT_NOPREFIX | DT_LEFT | DT_TOP);
}

void TskSkinLabelObject::Draw(TCanvas* Cnvs, bool)
{
  if (!SkinReady() || IsNullRect(ObjectRect))
    return;
  TBitmap normal;
  if (EnableMorphing() && MorphUnderWay()) {
    TBitmap active;
    BuildImage(&normal, false, FontColor);
    BuildImage(&active, !IsNullRect(ActiveSkinRect), ActiveFontColor);
    DrawMorph(Cnvs, &normal, &active);
    return;
  }
  if (Active && !IsNullRect(ActiveSkinRect))
    BuildImage(&normal, true, ActiveFontColor);
  else
    // A hovered label whose active look is its normal one keeps showing that.
    BuildImage(&normal, false, Active ? ActiveFontColor : FontColor);
  Cnvs->Draw(ObjectRect.left, ObjectRect.top, &normal);
}

// ---- Bit label ----

TskSkinBitLabelObject::TskSkinBitLabelObject(TskSkinnedForm* AParent, TskDataSkinBitLabel* Data)
    : TskActiveSkinObject(AParent, Data)
{
  Text = Data->textvalue;
  SymbolWidth = Data->symbolwidth;
  SymbolHeight = Data->symbolheight;
  for (int i = 0; i < Data->symbols.GetCount(); ++i)
    Symbols.push_back(Data->symbols[i]);
  Transparent = Data->transparent;
  TransparentColor = Data->transparentcolor;
}

void TskSkinBitLabelObject::Draw(TCanvas* Cnvs, bool)
{
  if (!SkinReady() || IsNullRect(SkinRect))
    return;
  const int w = RectWidth(SkinRect), h = RectHeight(SkinRect);
  TBitmap b;
  b.SetSize(w, h);
  CopyBlock(&b, 0, 0, Picture, SkinRect.left, SkinRect.top, w, h);
  if (SymbolWidth > 0 && SymbolHeight > 0) {
    for (std::size_t i = 0; i < Text.size(); ++i) {
      const int x = static_cast<int>(i) * SymbolWidth;
      if (x >= w)
        break;
      for (std::size_t row = 0; row < Symbols.size(); ++row) {
        const std::size_t column = Symbols[row].find(Text[i]);
        if (column == String::npos)
          continue;
        const int cut = std::min(SymbolWidth, w - x);
        CopyBlock(&b, x, 0, ActivePicture, ActiveSkinRect.left + static_cast<int>(column) * SymbolWidth,
                  ActiveSkinRect.top + static_cast<int>(row) * SymbolHeight, cut, SymbolHeight);
        break;
      }
    }
  }
  if (!Transparent) {
    Cnvs->Draw(ObjectRect.left, ObjectRect.top, &b);
    return;
  }
  TBitmap back;
  back.SetSize(w, h);
  CopyBlock(&back, 0, 0, Parent->GetSkinData()->picture, SkinRect.left, SkinRect.top, w, h);
  b.SetTransparentMode(tmFixed);
  b.SetTransparentColor(TransparentColor);
  b.SetTransparent(true);
  back.GetCanvas()->Draw(0, 0, &b);
  Cnvs->Draw(ObjectRect.left, ObjectRect.top, &back);
}
