#include "skin/controls/SkinButtonEffects.h"

#include <algorithm>
#include <memory>

#include "platform/vcl/Forms.h"
#include "skin/foundation/SkinImages.h"
#include "skin/foundation/SkinStripImages.h"

void TskMorphTimer::Start(TComponent* Owner, TNotifyEvent OnTick)
{
  if (FTimer)
    return;
  FTimer = new TTimer(Owner);
  FTimer->SetInterval(20);
  FTimer->SetOnTimer(std::move(OnTick));
  FTimer->SetEnabled(true);
}

void TskMorphTimer::Stop()
{
  TTimer* timer = FTimer;
  FTimer = nullptr;
  delete timer;
}

bool TskMorphTimer::Tick(bool Applies, bool Target)
{
  const double target = Target ? 1.0 : 0.0;
  if (!Applies) {
    Factor = target;
    Stop();
    return false;
  }
  // Steps of 0.2 in doubles drift; a step that ends within rounding of an end lands on it.
  const auto settle = [this](double Value) {
    Factor = std::clamp(Value, 0.0, 1.0);
    if (Factor < 1e-9)
      Factor = 0;
    if (Factor > 1 - 1e-9)
      Factor = 1;
  };
  if (Target && Factor < 1) {
    settle(Factor + 0.2);
    return true;
  }
  if (!Target && Factor > 0) {
    settle(Factor - 0.2);
    return true;
  }
  Factor = target;
  Stop();
  return true;
}

void TskFrameAnimation::Start(TComponent* Owner, bool AForward, int FrameCount, int Interval, TNotifyEvent OnTick)
{
  Stop();
  Forward = AForward;
  Frame = AForward ? 1 : FrameCount;
  FTimer = new TTimer(Owner);
  FTimer->SetInterval(static_cast<Cardinal>(std::max(Interval, 1)));
  FTimer->SetOnTimer(std::move(OnTick));
  FTimer->SetEnabled(true);
}

void TskFrameAnimation::Stop()
{
  Frame = 0;
  TTimer* timer = FTimer;
  FTimer = nullptr;
  delete timer;
}

bool TskFrameAnimation::Tick(int FrameCount)
{
  bool repaint = false;
  if (Forward) {
    if (Frame <= FrameCount) {
      ++Frame;
      repaint = true;
    }
    if (Frame > FrameCount)
      Stop();
  } else {
    if (Frame >= 0) {
      --Frame;
      repaint = true;
    }
    if (Frame <= 0)
      Stop();
  }
  return repaint;
}

bool TskFrameAnimation::CurrentCell(const TRect& Strip, const TRect& SkinRect, int FrameCount, TRect& Cell) const
{
  if (!Running() || FrameCount <= 0 || Frame <= 0 || Frame > FrameCount)
    return false;
  if (RectWidth(Strip) > RectWidth(SkinRect)) {
    const int w = RectWidth(Strip) / FrameCount;
    Cell = Rect(Strip.left + w * (Frame - 1), Strip.top, Strip.left + w * Frame, Strip.bottom);
  } else {
    const int h = RectHeight(Strip) / FrameCount;
    Cell = Rect(Strip.left, Strip.top + h * (Frame - 1), Strip.right, Strip.top + h * Frame);
  }
  return true;
}

bool CanAnimate(bool EffectsApply, const TskButtonLook& Look)
{
  return EffectsApply && !IsNullRect(Look.AnimateSkinRect) && Look.FrameCount > 0;
}

namespace {

// The glow picture and mask of the skin, or false when the skin does not ask for a glow frame
// that can be shown (a picture without a mask of its size shows none).
bool GlowPictures(TskSkinData* SkinData, const TskButtonLook& Look, const TskSkinGeometry& Geometry,
                  bool UseSkinSize, bool AlwaysShow, TBitmap*& Picture, TBitmap*& Mask)
{
  if (!SkinData || SkinData->Empty || !IsWindows2000OrLater())
    return false;
  if (!SkinData->ShowButtonGlowFrames && !AlwaysShow)
    return false;
  if (Look.GlowLayerPictureIndex == -1)
    return false;
  if (!(Geometry.ResizeMode == 0 || Geometry.ResizeMode == 1 || (Geometry.ResizeMode == 2 && UseSkinSize)))
    return false;
  Picture = SkinPicture(SkinData, Look.GlowLayerPictureIndex);
  Mask = SkinPicture(SkinData, Look.GlowLayerMaskPictureIndex);
  return Picture && Mask && !Picture->Empty() && Picture->GetWidth() == Mask->GetWidth() &&
         Picture->GetHeight() == Mask->GetHeight();
}

} // namespace

void ShowButtonGlowFrame(TskLayerManager* Layers, TControl* Control, TskSkinData* SkinData, const TskButtonLook& Look,
                         const TskSkinGeometry& Geometry, bool UseSkinSize, bool AlwaysShow)
{
  TBitmap *picture = nullptr, *mask = nullptr;
  if (!Layers || !GlowPictures(SkinData, Look, Geometry, UseSkinSize, AlwaysShow, picture, mask))
    return;
  if (auto* form = dynamic_cast<TForm*>(GetParentForm(Control)))
    Layers->TopMost = form->GetFormStyle() == fsStayOnTop;
  const int pw = picture->GetWidth(), ph = picture->GetHeight();
  const int dW = Control->GetWidth() - RectWidth(Geometry.SkinRect);
  const int dH = Control->GetHeight() - RectHeight(Geometry.SkinRect);
  std::unique_ptr<TBitmap> sizedPicture, sizedMask;
  if (Geometry.ResizeMode == 2) {
    sizedPicture = std::make_unique<TBitmap>();
    sizedMask = std::make_unique<TBitmap>();
    BuildHorzSkinBitmap(Look.GlowLayerOffsetLeft, Look.GlowLayerOffsetRight, sizedPicture.get(), picture,
                        Rect(0, 0, pw, ph), pw + dW, ph, true);
    BuildHorzSkinBitmap(Look.GlowLayerOffsetLeft, Look.GlowLayerOffsetRight, sizedMask.get(), mask, Rect(0, 0, pw, ph),
                        pw + dW, ph, true);
  } else if (Geometry.ResizeMode == 1) {
    const TRect client =
        Rect(Look.GlowLayerOffsetLeft, Look.GlowLayerOffsetTop, pw - Look.GlowLayerOffsetRight, ph - Look.GlowLayerOffsetBottom);
    if (pw + dW <= 0 || ph + dH <= 0)
      return;
    sizedPicture = std::make_unique<TBitmap>();
    sizedMask = std::make_unique<TBitmap>();
    sizedPicture->SetSize(pw + dW, ph + dH);
    sizedMask->SetSize(pw + dW, ph + dH);
    BuildSkinBitmap(sizedPicture.get(), picture, Rect(0, 0, pw, ph), client, true);
    BuildSkinBitmap(sizedMask.get(), mask, Rect(0, 0, pw, ph), client, true);
  }
  const TPoint origin = Control->ClientToScreen(Point(0, 0));
  Layers->Show(origin.x - Look.GlowLayerShowOffsetX, origin.y - Look.GlowLayerShowOffsetY,
               sizedPicture ? sizedPicture.get() : picture, sizedMask ? sizedMask.get() : mask,
               Look.GlowLayerAlphaBlendValue);
}

void HideButtonGlowFrame(TskLayerManager* Layers, TskSkinData* SkinData, const TskButtonLook& Look,
                         const TskSkinGeometry& Geometry, bool UseSkinSize, bool AlwaysShow)
{
  TBitmap *picture = nullptr, *mask = nullptr;
  if (Layers && GlowPictures(SkinData, Look, Geometry, UseSkinSize, AlwaysShow, picture, mask))
    Layers->Hide();
}
