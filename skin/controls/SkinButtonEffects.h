// The timed and layered effects of the skinned buttons and boxes: the cross-fade (morph) between
// the normal and the active look, the skin-frame animation that plays a strip of pictures of the
// record, and the glow frame drawn around a hovered button in a window of its own. Each control
// owns its effect timers; deleting the control (or stopping an effect) frees them, also from
// inside their own tick.
#pragma once

#include "platform/vcl/Timer.h"
#include "skin/controls/SkinButtonLook.h"
#include "skin/foundation/SkinLayered.h"

// Morph state of one control: the factor (0 the normal look, 1 the active one) and the 20 ms
// timer that moves it by 0.2 per tick.
class TskMorphTimer {
public:
  ~TskMorphTimer() { Stop(); }
  double Factor = 0;
  bool Running() const { return FTimer != nullptr; }
  TTimer* GetTimer() const { return FTimer; }
  // Starts the timer (owned by Owner) unless one runs; OnTick is called on every tick.
  void Start(TComponent* Owner, TNotifyEvent OnTick);
  void Stop();
  // One step toward Target (true = 1). Applies false (no record, or morphing does not apply):
  // the factor jumps to the target and the timer stops without a repaint. Answers whether to
  // repaint.
  bool Tick(bool Applies, bool Target);

private:
  TTimer* FTimer = nullptr;
};

// The skin-frame animation: frame 1..FrameCount of AnimateSkinRect shown forward (toward the
// active look) or backward.
class TskFrameAnimation {
public:
  ~TskFrameAnimation() { Stop(); }
  int Frame = 0;
  bool Forward = true;
  bool Running() const { return FTimer != nullptr; }
  TTimer* GetTimer() const { return FTimer; }
  // Restarts at frame 1 (forward) or FrameCount (backward) with a timer of Interval ms.
  void Start(TComponent* Owner, bool AForward, int FrameCount, int Interval, TNotifyEvent OnTick);
  // Frame 0, no timer.
  void Stop();
  // One step; stops at the end. Answers whether to repaint.
  bool Tick(int FrameCount);
  // The cell of the current frame in Strip (cells side by side when Strip is wider than
  // SkinRect, else stacked); false while no frame is to be shown.
  bool CurrentCell(const TRect& Strip, const TRect& SkinRect, int FrameCount, TRect& Cell) const;

private:
  TTimer* FTimer = nullptr;
};

// Whether a record's animation can run: effects apply, the strip is not empty and it holds at
// least one frame.
bool CanAnimate(bool EffectsApply, const TskButtonLook& Look);

// Shows the glow picture of Look around Control through Layers when the skin allows it (skin
// data set and loaded, layered windows, ShowButtonGlowFrames or AlwaysShow, a glow picture and a
// glow mask of the same size) for the geometry's resize mode (0; 1; 2 only with UseSkinSize).
void ShowButtonGlowFrame(TskLayerManager* Layers, TControl* Control, TskSkinData* SkinData, const TskButtonLook& Look,
                         const TskSkinGeometry& Geometry, bool UseSkinSize, bool AlwaysShow);
// Hides it under the same conditions.
void HideButtonGlowFrame(TskLayerManager* Layers, TskSkinData* SkinData, const TskButtonLook& Look,
                         const TskSkinGeometry& Geometry, bool UseSkinSize, bool AlwaysShow);
