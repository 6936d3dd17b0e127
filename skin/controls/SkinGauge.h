// TskSkinGauge: the skinned progress bar (record "gauge", or "vgauge" for an upright one). It fills
// the progress area of its skin picture in proportion to Value between MinValue and MaxValue,
// from the left or (Vertical) from the bottom up, with the record's progress image stretched or
// tiled between two fixed caps, and can write a progress text and the percentage over it, opaque
// or blended. A filmstrip animation of the record can run over the filled part: frames 1..N at
// the record's frame interval, then the plain image for ProgressAnimationPause milliseconds.
// Without a record it draws a white box with a one-pixel frame and a $D2BDB6 fill.
//
// Callers rely on: the constructor gives "gauge", 0..100, Value 50 and 100 x 20; SetValue clamps
// into MinValue..MaxValue and invalidates only when the value changes; SetMaxValue lowers Value to
// a smaller maximum and SetMinValue raises it to a larger minimum (neither checks the other end);
// equal ends fill nothing and show "0%"; no range, size or record makes the gauge divide by zero.
#pragma once

#include <functional>

#include "platform/vcl/Timer.h"
#include "skin/foundation/SkinDrawUtils.h"
#include "skin/controls/SkinControl.h"

// Replaces the drawing of the filled part: the canvas, the progress area at 100 % and the filled
// rectangle.
using TskGaugePaintEvent = std::function<void(TCanvas* Cnvs, TRect AProgressArea, TRect AProgressRect)>;

class TskSkinGauge : public TskSkinCustomControl {
public:
  explicit TskSkinGauge(TComponent* AOwner);
  ~TskSkinGauge() override;

  int GetMinValue() const { return FMinValue; }
  void SetMinValue(int Value);
  int GetMaxValue() const { return FMaxValue; }
  void SetMaxValue(int Value);
  int GetValue() const { return FValue; }
  void SetValue(int Value);
  bool GetVertical() const { return FVertical; }
  // Stores and repaints; while designed also names the record ("vgauge" / "gauge").
  void SetVertical(bool Value);
  bool GetShowPercent() const { return FShowPercent; }
  void SetShowPercent(bool Value);
  bool GetShowProgressText() const { return FShowProgressText; }
  void SetShowProgressText(bool Value);
  const String& GetProgressText() const { return FProgressText; }
  void SetProgressText(const String& Value);
  bool GetTextAlphaBlend() const { return FTextAlphaBlend; }
  void SetTextAlphaBlend(bool Value);
  Byte GetTextAlphaBlendValue() const { return FTextAlphaBlendValue; }
  void SetTextAlphaBlendValue(Byte Value);
  bool GetUseSkinSize() const { return FUseSkinSize; }
  void SetUseSkinSize(bool Value) { FUseSkinSize = Value; }
  int GetProgressAnimationPause() const { return FProgressAnimationPause; }
  // A negative pause is ignored; a running pause timer keeps its interval.
  void SetProgressAnimationPause(int Value);

  TskGaugePaintEvent OnGaugePaint;

  // Starts the record's progress animation (nothing without a record or an animation strip).
  void StartProgressAnimation();
  void StopProgressAnimation();
  // True while the frames of the animation show (not during the pause).
  bool AnimationFrameShowing() const;
  int GetFrameCounter() const { return FFrameCounter; }
  // The animation runs (its timers exist).
  bool AnimationRunning() const { return FFrameTimer != nullptr; }

  // The filled part of Area for the current value.
  TRect CalcProgressRect(const TRect& Area) const;
  // The progress area at 100 % for the control's current size.
  const TRect& GetWorkingProgressArea() const { return FNewProgressArea; }
  // The text drawn over the gauge ("" when neither switch is on).
  String GetGaugeText() const;
  int GetPercent() const;

  void GetSkinData() override;
  void ChangeSkinData() override;
  void CalcSize(int& W, int& H) override;

protected:
  void CreateControlDefaultImage(TBitmap* B) override;
  void CreateControlSkinImage(TBitmap* B) override;
  void Paint() override;
  void WMEraseBkgnd(TMessage& Message) override;

private:
  struct TLook {
    TRect ProgressArea{}, ProgressRect{};
    int BeginOffset = 0, EndOffset = 0;
    String FontName = "Arial";
    int FontHeight = 14;
    TFontStyles FontStyle = 0;
    TColor FontColor = 0;
    bool ProgressTransparent = false;
    TColor ProgressTransparentColor = 0;
    bool ProgressStretch = false;
    TRect AnimationSkinRect{};
    int AnimationCountFrames = 0;
    int AnimationTimerInterval = 0;
  };

  void DrawGaugeText(TCanvas* Canvas);
  bool DrawProgressImage(TBitmap* B, const TRect& F);
  TRect GetAnimationFrameRect() const;
  void StartAnimationFrames();
  void StartAnimationPause();
  void FrameTimerTick(TObject* Sender);
  void FreeTimers();

  int FMinValue = 0;
  int FMaxValue = 100;
  int FValue = 50;
  bool FVertical = false;
  bool FShowPercent = false;
  bool FShowProgressText = false;
  String FProgressText;
  bool FTextAlphaBlend = false;
  Byte FTextAlphaBlendValue = 200;
  bool FUseSkinSize = true;
  int FProgressAnimationPause = 1000;
  TLook FLook;
  TRect FNewProgressArea{};
  TTimer* FPauseTimer = nullptr;
  TTimer* FFrameTimer = nullptr;
  int FFrameCounter = 0;
};
