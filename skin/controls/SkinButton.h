// TskSkinButton: the skinned push button (record "button" by default). It draws one of the state
// pictures of its record (normal, active, down, focused, disabled) with a glyph strip or an
// image-list image and a word-wrapped caption; it acts as a dialog button (Default answers Enter,
// Cancel answers Escape, ModalResult goes to the parent form on a click, the caption's accelerator
// clicks it), as a latching group button (GroupIndex, Down, AllowAllUp) and as a repeating button
// (RepeatMode: the first repeated click 500 ms after the press, then one every RepeatInterval);
// it fades between its normal and active pictures, plays the record's frame animation and shows
// a glow frame when the skin asks for them.
//
// OnClick is the button's own event, raised only by DoClick. A click handler may free or hide
// the button: the mouse-up handling then stops without touching it.
#pragma once

#include <memory>

#include "platform/vcl/Forms.h"
#include "platform/vcl/Timer.h"
#include "skin/controls/SkinButtonEffects.h"
#include "skin/controls/SkinButtonLook.h"
#include "skin/controls/SkinControl.h"

class TskSkinButton : public TskSkinCustomControl {
public:
  explicit TskSkinButton(TComponent* AOwner);
  ~TskSkinButton() override;

  TCustomImageList* GetImageList() const { return FImageList; }
  void SetImageList(TCustomImageList* Value);
  int GetImageIndex() const { return FImageIndex; }
  void SetImageIndex(int Value);
  bool GetAlwaysShowLayeredFrame() const { return FAlwaysShowLayeredFrame; }
  void SetAlwaysShowLayeredFrame(bool Value) { FAlwaysShowLayeredFrame = Value; }
  bool GetUseSkinSize() const { return FUseSkinSize; }
  void SetUseSkinSize(bool Value) { FUseSkinSize = Value; }
  bool GetUseSkinFontColor() const { return FUseSkinFontColor; }
  void SetUseSkinFontColor(bool Value) { FUseSkinFontColor = Value; }
  bool GetRepeatMode() const { return FRepeatMode; }
  void SetRepeatMode(bool Value) { FRepeatMode = Value; }
  int GetRepeatInterval() const { return FRepeatInterval; }
  void SetRepeatInterval(int Value) { FRepeatInterval = Value; }
  bool GetAllowAllUp() const { return FAllowAllUp; }
  void SetAllowAllUp(bool Value) { FAllowAllUp = Value; }
  bool GetCanFocused() const { return FCanFocused; }
  // Stores and sets TabStop.
  void SetCanFocused(bool Value);
  bool GetDown() const { return FDown; }
  // Stores and repaints; a group button that goes down releases the other down buttons of its
  // group among its siblings (unless AllowAllUp).
  void SetDown(bool Value);
  int GetGroupIndex() const { return FGroupIndex; }
  // A non-zero group makes the button unfocusable.
  void SetGroupIndex(int Value);
  TBitmap* GetGlyph() const { return FGlyph.get(); }
  void SetGlyph(TBitmap* Value);
  int GetNumGlyphs() const { return FNumGlyphs; }
  void SetNumGlyphs(int Value);
  int GetMargin() const { return FMargin; }
  // Values below -1 are ignored.
  void SetMargin(int Value);
  int GetSpacing() const { return FSpacing; }
  void SetSpacing(int Value);
  TskButtonLayout GetLayout() const { return FLayout; }
  void SetLayout(TskButtonLayout Value);
  bool GetCancel() const { return FCancel; }
  void SetCancel(bool Value) { FCancel = Value; }
  bool GetDefault() const { return FDefault; }
  // Stores; with a window, every button of the form works out again which one answers Enter.
  void SetDefault(bool Value);
  TModalResult GetModalResult() const { return FModalResult; }
  void SetModalResult(TModalResult Value) { FModalResult = Value; }

  // The button's own click event (hides the class library's).
  TNotifyEvent OnClick;
  TskButtonPaintEvent OnPaint;

  // The user-visible click: modal result, then the action or OnClick.
  virtual void DoClick();
  // Draws the record's state rectangle R with glyph and caption into Bitmap.
  virtual void CreateButtonImage(TBitmap* Bitmap, const TRect& R, bool ADown, bool AMouseIn);

  void GetSkinData() override;
  void ChangeSkinData() override;
  void ResetSkinIndex() override;
  void CalcSize(int& W, int& H) override;

  // The effects.
  void StartMorph();
  void StopMorph();
  void MorphTimerTick(TObject* Sender);
  void StartAnimation(bool Forward);
  void StopAnimation();
  void ShowGlowFrame();
  void HideGlowFrame();

  // State read by tests and by the painters.
  bool GetMouseIn() const { return FMouseIn; }
  bool GetActiveDefault() const { return FActiveDefault; }
  double GetMorphFactor() const { return FMorph.Factor; }
  bool GetMorphRunning() const { return FMorph.Running(); }
  const TskFrameAnimation& GetAnimation() const { return FAnimation; }
  TTimer* GetRepeatTimer() const { return FRepeatTimer; }
  TskLayerManager* GetLayerManager() const { return FLayerManager; }
  const TskButtonLook& GetLook() const { return FLook; }
  // Focused and CanFocused.
  bool IsFocusedButton();
  bool MorphingApplies() const;
  bool EffectsApply() const;

  void Notification(TComponent* AComponent, TOperation Operation) override;

protected:
  void CreateControlDefaultImage(TBitmap* B) override;
  void CreateControlSkinImage(TBitmap*) override {}
  void Paint() override;
  void WndProc(TMessage& Message) override;
  void Dispatch(TMessage& Message) override;
  void CreateWnd() override;
  void Click() override;
  void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
  void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;
  void ActionChange(TObject* Sender, bool CheckDefaults) override;

  void WMSetFocus(TMessage& Message) override;
  void WMKillFocus(TMessage& Message) override;
  void WMEraseBkgnd(TMessage& Message) override;
  void CMDialogKey(TMessage& Message) override;
  void CMDialogChar(TMessage& Message) override;
  void CMFocusChanged(TMessage& Message) override;
  void CMEnabledChanged(TMessage& Message) override;
  void CMTextChanged(TMessage& Message) override;
  void CMMouseEnter(TMessage& Message) override;
  void CMMouseLeave(TMessage& Message) override;

private:
  void MorphOrRepaint();
  void StartRepeat();
  void StopRepeat();
  void RepeatTimerTick(TObject* Sender);
  void AnimationTick(TObject* Sender);
  // Glyph and caption (after OnPaint) in R.
  void DrawContent(TCanvas* Canvas, const TRect& R, const TRect& EventRect, bool ADown, bool AMouseIn);
  // The form holding this button still holds it (a click handler may have freed it).
  bool Alive() const;

  TCustomImageList* FImageList = nullptr;
  int FImageIndex = -1;
  bool FAlwaysShowLayeredFrame = false;
  bool FUseSkinSize = true;
  bool FUseSkinFontColor = true;
  bool FRepeatMode = false;
  int FRepeatInterval = 100;
  bool FAllowAllUp = false;
  bool FCanFocused = true;
  bool FDown = false;
  int FGroupIndex = 0;
  std::unique_ptr<TBitmap> FGlyph;
  int FNumGlyphs = 1;
  int FMargin = -1;
  int FSpacing = 1;
  TskButtonLayout FLayout = blGlyphLeft;
  bool FCancel = false;
  bool FDefault = false;
  TModalResult FModalResult = mrNone;

  bool FMouseIn = false;
  bool FPressed = false;
  bool FActiveDefault = false;
  bool FWasDown = false;
  bool FClicksDisabled = false;
  TTimer* FRepeatTimer = nullptr;
  TskLayerManager* FLayerManager = nullptr;
  TskMorphTimer FMorph;
  TskFrameAnimation FAnimation;
  TskButtonLook FLook;
  // Shared with the handlers that outlive a click which freed the button.
  std::shared_ptr<bool> FAliveFlag = std::make_shared<bool>(true);
};
