#include "skin/controls/SkinGauge.h"

#include <algorithm>

#include "skin/foundation/SkinEffectBmp.h"
#include "skin/foundation/SkinRegions.h"

TskSkinGauge::TskSkinGauge(TComponent* AOwner) : TskSkinCustomControl(AOwner)
{
  SetSkinDataName("gauge");
  SetBounds(GetLeft(), GetTop(), 100, 20);
}

TskSkinGauge::~TskSkinGauge() { FreeTimers(); }

void TskSkinGauge::FreeTimers()
{
  delete FPauseTimer;
  FPauseTimer = nullptr;
  delete FFrameTimer;
  FFrameTimer = nullptr;
}

// --- properties ------------------------------------------------------------------------------

void TskSkinGauge::SetMaxValue(int Value)
{
  FMaxValue = Value;
  if (FMaxValue < FValue)
    FValue = FMaxValue;
  Repaint();
}

void TskSkinGauge::SetMinValue(int Value)
{
  FMinValue = Value;
  if (FMinValue > FValue)
    FValue = FMinValue;
  Repaint();
}

void TskSkinGauge::SetValue(int Value)
{
  if (Value > FMaxValue)
    Value = FMaxValue;
  else if (Value < FMinValue)
    Value = FMinValue;
  if (Value == FValue)
    return;
  FValue = Value;
  Invalidate();
}

void TskSkinGauge::SetVertical(bool Value)
{
  FVertical = Value;
  Repaint();
  if (Designing() && !(GetComponentState() & csLoading))
    SetSkinDataName(Value ? "vgauge" : "gauge");
}

void TskSkinGauge::SetShowPercent(bool Value)
{
  FShowPercent = Value;
  Repaint();
}

void TskSkinGauge::SetShowProgressText(bool Value)
{
  FShowProgressText = Value;
  Repaint();
}

void TskSkinGauge::SetProgressText(const String& Value)
{
  FProgressText = Value;
  Repaint();
}

void TskSkinGauge::SetTextAlphaBlend(bool Value)
{
  FTextAlphaBlend = Value;
  if (FIndex != -1 && (FShowProgressText || FShowPercent))
    Repaint();
}

void TskSkinGauge::SetTextAlphaBlendValue(Byte Value)
{
  FTextAlphaBlendValue = Value;
  if (FIndex != -1 && FTextAlphaBlend && (FShowProgressText || FShowPercent))
    Repaint();
}

void TskSkinGauge::SetProgressAnimationPause(int Value)
{
  if (Value >= 0)
    FProgressAnimationPause = Value;
}

// --- skin ------------------------------------------------------------------------------------

void TskSkinGauge::GetSkinData()
{
  TskSkinCustomControl::GetSkinData();
  if (FIndex == -1)
    return;
  auto* record = dynamic_cast<TskDataSkinGaugeControl*>(SkinControlRecord(FSkinData, FIndex));
  if (!record)
    return;
  // A gauge of any size gets no window region: the mask fits the skin's size only.
  if (!FUseSkinSize && record->maskpictureindex != -1)
    MaskPicture = nullptr;
  FLook.ProgressArea = record->progressarea;
  FLook.ProgressRect = record->progressrect;
  FLook.BeginOffset = record->beginoffset;
  FLook.EndOffset = record->endoffset;
  FLook.FontName = record->fontname;
  FLook.FontStyle = record->fontstyle;
  FLook.FontHeight = record->fontheight;
  FLook.FontColor = record->fontcolor;
  FLook.ProgressTransparent = record->progresstransparent;
  FLook.ProgressTransparentColor = record->progresstransparentcolor;
  FLook.ProgressStretch = record->progressstretch;
  FLook.AnimationSkinRect = record->progressanimationskinrect;
  FLook.AnimationCountFrames = record->progressanimationcountframes;
  FLook.AnimationTimerInterval = record->progressanimationtimerinterval;
  FVertical = record->vertical;
}

void TskSkinGauge::ChangeSkinData()
{
  const bool running = FFrameTimer != nullptr;
  if (running)
    StopProgressAnimation();
  TskSkinCustomControl::ChangeSkinData();
  if (running)
    StartProgressAnimation();
}

void TskSkinGauge::CalcSize(int& W, int& H)
{
  const int requestedW = W, requestedH = H;
  TskSkinCustomControl::CalcSize(W, H);
  FNewProgressArea = FLook.ProgressArea;
  if (FIndex != -1 && ResizeMode > 0) {
    if (FVertical)
      FNewProgressArea.bottom += H - RectHeight(SkinRect);
    else
      FNewProgressArea.right += W - RectWidth(SkinRect);
  }
  if (!FUseSkinSize) {
    W = requestedW;
    H = requestedH;
  }
}

// --- values ----------------------------------------------------------------------------------

namespace {

// Value's place between Min and Max as 0..1; 0 for an empty range.
double GaugeFraction(int Value, int Min, int Max)
{
  if (Max == Min)
    return 0.0;
  const double f = (static_cast<double>(Value) - Min) / (static_cast<double>(Max) - Min);
  return std::clamp(f, 0.0, 1.0);
}

} // namespace

TRect TskSkinGauge::CalcProgressRect(const TRect& Area) const
{
  const double fraction = GaugeFraction(FValue, FMinValue, FMaxValue);
  TRect r = Area;
  if (FVertical)
    r.top = r.bottom - static_cast<int>(fraction * RectHeight(Area));
  else
    r.right = r.left + static_cast<int>(fraction * RectWidth(Area));
  return r;
}

int TskSkinGauge::GetPercent() const { return static_cast<int>(GaugeFraction(FValue, FMinValue, FMaxValue) * 100); }

String TskSkinGauge::GetGaugeText() const
{
  String text;
  if (FShowProgressText)
    text += FProgressText;
  if (FShowPercent)
    text += std::to_string(GetPercent()) + "%";
  return text;
}

// --- painting --------------------------------------------------------------------------------

void TskSkinGauge::DrawGaugeText(TCanvas* Canvas)
{
  const String text = GetGaugeText();
  if (text.empty())
    return;
  TFont* font = Canvas->GetFont();
  if (FIndex == -1) {
    font->Assign(GetDefaultFont());
  } else if (GetUseSkinFont()) {
    font->SetName(FLook.FontName);
    font->SetHeight(FLook.FontHeight);
    font->SetStyle(FLook.FontStyle);
    font->SetColor(FLook.FontColor);
  } else {
    font->Assign(GetDefaultFont());
    font->SetColor(FLook.FontColor);
  }
  if (FSkinData && FSkinData->GetResourceStrData())
    font->SetCharset(FSkinData->GetResourceStrData()->CharSet);
  else
    font->SetCharset(GetDefaultFont()->GetCharset());
  int x = 0, y = 0;
  if (!FVertical) {
    x = GetWidth() / 2 - Canvas->TextWidth(text) / 2;
    y = GetHeight() / 2 - Canvas->TextHeight(text) / 2;
  } else {
    font->SetOrientation(900);
    x = GetWidth() / 2 - Canvas->TextHeight(text) / 2;
    y = Canvas->TextWidth(text) / 2 + GetHeight() / 2;
  }
  Canvas->GetBrush()->SetStyle(bsClear);
  Canvas->TextOut(x, y, text);
  font->SetOrientation(0);
}

void TskSkinGauge::CreateControlDefaultImage(TBitmap* B)
{
  TCanvas* canvas = B->GetCanvas();
  const TRect client = Rect(0, 0, GetWidth(), GetHeight());
  canvas->GetBrush()->SetStyle(bsSolid);
  canvas->GetBrush()->SetColor(clWindow);
  canvas->FillRect(client);
  canvas->GetBrush()->SetColor(clBtnShadow);
  canvas->FrameRect(client);
  const TRect area = Rect(1, 1, GetWidth() - 1, GetHeight() - 1);
  const TRect filled = CalcProgressRect(area);
  if (OnGaugePaint) {
    TskGaugePaintEvent handler = OnGaugePaint;
    handler(canvas, area, filled);
    return;
  }
  if (RectWidth(filled) > 0 && RectHeight(filled) > 0) {
    canvas->GetBrush()->SetStyle(bsSolid);
    canvas->GetBrush()->SetColor(0xD2BDB6);
    canvas->FillRect(filled);
  }
  DrawGaugeText(canvas);
}

TRect TskSkinGauge::GetAnimationFrameRect() const
{
  const TRect& A = FLook.AnimationSkinRect;
  const int n = FLook.AnimationCountFrames, k = FFrameCounter;
  if (n <= 0)
    return FLook.ProgressRect;
  if (RectWidth(A) > RectWidth(FLook.ProgressRect)) {
    const int w = RectWidth(A) / n;
    return Rect(A.left + (k - 1) * w, A.top, A.left + k * w, A.bottom);
  }
  const int h = RectHeight(A) / n;
  return Rect(A.left, A.top + (k - 1) * h, A.right, A.top + k * h);
}

bool TskSkinGauge::AnimationFrameShowing() const
{
  return FFrameTimer && FFrameTimer->GetEnabled() && FFrameCounter != 0;
}

// The image of the filled part F onto B. False when the record's source has no length along the
// gauge: then nothing more of the gauge is drawn.
bool TskSkinGauge::DrawProgressImage(TBitmap* B, const TRect& F)
{
  const int pw = RectWidth(F), ph = RectHeight(F);
  const int bo = FLook.BeginOffset, eo = FLook.EndOffset;
  TBitmap P;
  P.SetSize(pw, ph);
  TCanvas* pc = P.GetCanvas();
  TCanvas* source = Picture->GetCanvas();
  auto shrink = [&](TRect R) {
    if (FVertical) {
      R.top += bo;
      R.bottom -= eo;
    } else {
      R.left += bo;
      R.right -= eo;
    }
    return R;
  };
  auto along = [&](const TRect& R) { return FVertical ? RectHeight(R) : RectWidth(R); };
  const TRect D = shrink(Rect(0, 0, pw, ph));
  if (along(D) > 0) {
    const bool frame = AnimationFrameShowing() && FLook.AnimationCountFrames != 0;
    const TRect S = shrink(frame ? GetAnimationFrameRect() : FLook.ProgressRect);
    const int s = along(S);
    if (s <= 0)
      return false;
    if (FLook.ProgressStretch || (FFrameTimer && FFrameTimer->GetEnabled() && FFrameCounter != 0)) {
      if (RectWidth(S) > 0 && RectHeight(S) > 0) {
        TBitmap cell;
        cell.SetSize(RectWidth(S), RectHeight(S));
        cell.GetCanvas()->CopyRect(Rect(0, 0, RectWidth(S), RectHeight(S)), source, S);
        pc->StretchDraw(D, &cell);
      }
    } else {
      const int d = along(D);
      for (int i = 0; i <= d / s; ++i) {
        const int over = std::max(0, (i + 1) * s - d);
        if (!FVertical)
          pc->CopyRect(Rect(D.left + i * s, D.top, D.left + i * s + s - over, D.bottom), source,
                       Rect(S.left, S.top, S.right - over, S.bottom));
        else
          pc->CopyRect(Rect(D.left, D.bottom - (i + 1) * s + over, D.right, D.bottom - i * s), source,
                       Rect(S.left, S.top + over, S.right, S.bottom));
      }
    }
  }
  // The caps always come from the progress image itself, never from an animation frame.
  const TRect& R = FLook.ProgressRect;
  if (!FVertical) {
    if (bo > 0)
      pc->CopyRect(Rect(0, 0, bo, ph), source, Rect(R.left, R.top, R.left + bo, R.bottom));
    if (eo > 0)
      pc->CopyRect(Rect(pw - eo, 0, pw, ph), source, Rect(R.right - eo, R.top, R.right, R.bottom));
  } else {
    if (bo > 0)
      pc->CopyRect(Rect(0, 0, pw, bo), source, Rect(R.left, R.top, R.right, R.top + bo));
    if (eo > 0)
      pc->CopyRect(Rect(0, ph - eo, pw, ph), source, Rect(R.left, R.bottom - eo, R.right, R.bottom));
  }
  if (FLook.ProgressTransparent) {
    P.SetTransparentMode(tmFixed);
    P.SetTransparentColor(FLook.ProgressTransparentColor);
    P.SetTransparent(true);
  }
  B->GetCanvas()->Draw(F.left, F.top, &P);
  return true;
}

void TskSkinGauge::CreateControlSkinImage(TBitmap* B)
{
  // Without its picture the skin gives nothing to build the frame from: a plain face instead.
  if (!Picture || Picture->Empty()) {
    B->GetCanvas()->GetBrush()->SetStyle(bsSolid);
    B->GetCanvas()->GetBrush()->SetColor(FSkinData && FSkinData->SkinColors ? FSkinData->SkinColors->cbtnface
                                                                          : clBtnFace);
    B->GetCanvas()->FillRect(Rect(0, 0, B->GetWidth(), B->GetHeight()));
  }
  TskSkinCustomControl::CreateControlSkinImage(B);
  const TRect filled = CalcProgressRect(FNewProgressArea);
  if (OnGaugePaint) {
    TskGaugePaintEvent handler = OnGaugePaint;
    handler(B->GetCanvas(), FNewProgressArea, filled);
    return;
  }
  if (RectWidth(filled) > 0 && RectHeight(filled) > 0 && Picture && !Picture->Empty() && !DrawProgressImage(B, filled))
    return;
  if (!FUseSkinSize)
    return;
  if (FTextAlphaBlend && (FShowProgressText || FShowPercent)) {
    TBitmap copy;
    copy.Assign(B);
    DrawGaugeText(B->GetCanvas());
    auto front = TskEffectBmp::CreateFromBitmap(B->GetHandle());
    auto back = TskEffectBmp::CreateFromBitmap(copy.GetHandle());
    front->Morph(back.get(), 1.0 - FTextAlphaBlendValue / 255.0);
    front->Draw(B->GetCanvas()->GetHandle(), 0, 0);
  } else {
    DrawGaugeText(B->GetCanvas());
  }
}

void TskSkinGauge::Paint()
{
  if (GetWidth() < 1 || GetHeight() < 1)
    return;
  GetSkinData();
  if (FUseSkinSize || FIndex == -1) {
    TskSkinCustomControl::Paint();
    return;
  }
  // A skinned gauge of any size: the skin's own image stretched over the control.
  int w = GetWidth(), h = GetHeight();
  CalcSize(w, h);
  TBitmap B;
  B.SetSize(GetWidth(), GetHeight());
  TBitmap image;
  CreateControlSkinImage(&image);
  if (!image.Empty())
    B.GetCanvas()->StretchDraw(Rect(0, 0, GetWidth(), GetHeight()), &image);
  else
    CreateControlDefaultImage(&B);
  DrawGaugeText(B.GetCanvas());
  if (GetAlphaBlend()) {
    TBitmap background;
    background.SetSize(GetWidth(), GetHeight());
    PaintParentBackground(this, background.GetCanvas());
    auto front = TskEffectBmp::CreateFromBitmap(B.GetHandle());
    auto back = TskEffectBmp::CreateFromBitmap(background.GetHandle());
    front->Morph(back.get(), 1.0 - GetAlphaBlendValue() / 255.0);
    front->Draw(GetCanvas()->GetHandle(), 0, 0);
  } else {
    GetCanvas()->Draw(0, 0, &B);
  }
}

void TskSkinGauge::WMEraseBkgnd(TMessage& Message)
{
  if (!InWMPaint && Message.WParam)
    PaintWindow(reinterpret_cast<HDC>(Message.WParam));
  Message.Result = 1;
}

// --- progress animation ----------------------------------------------------------------------

void TskSkinGauge::StartProgressAnimation()
{
  if (FIndex == -1 || IsNullRect(FLook.AnimationSkinRect))
    return;
  FreeTimers();
  FPauseTimer = new TTimer(this);
  FPauseTimer->SetInterval(static_cast<Cardinal>(FProgressAnimationPause));
  FPauseTimer->SetOnTimer([this](TObject*) { StartAnimationFrames(); });
  FPauseTimer->SetEnabled(true);
  FFrameTimer = new TTimer(this);
  FFrameTimer->SetEnabled(false);
  FFrameTimer->SetInterval(static_cast<Cardinal>(std::max(0, FLook.AnimationTimerInterval)));
  FFrameTimer->SetOnTimer([this](TObject* Sender) { FrameTimerTick(Sender); });
  StartAnimationFrames();
}

void TskSkinGauge::StartAnimationFrames()
{
  if (FPauseTimer)
    FPauseTimer->SetEnabled(false);
  FFrameCounter = 0;
  if (FFrameTimer)
    FFrameTimer->SetEnabled(true);
  Repaint();
}

void TskSkinGauge::FrameTimerTick(TObject*)
{
  ++FFrameCounter;
  if (FFrameCounter > FLook.AnimationCountFrames)
    StartAnimationPause();
  Repaint();
}

void TskSkinGauge::StartAnimationPause()
{
  if (FPauseTimer)
    FPauseTimer->SetEnabled(true);
  if (FFrameTimer)
    FFrameTimer->SetEnabled(false);
  FFrameCounter = 0;
  Repaint();
}

void TskSkinGauge::StopProgressAnimation()
{
  FFrameCounter = 0;
  if (FFrameTimer)
    FreeTimers();
}
