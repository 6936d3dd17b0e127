// TskSkinSpeedButton: the skinned button without a window of its own (record "toolbutton" by
// default), never focused, with no default or cancel role. It shares the push button's state
// pictures, glyph and caption layout, group latching, repeat mode, cross-fade and frame animation,
// and adds Flat (only the glyph and caption show until the mouse is over it; a flat button never
// fades or animates), ShowCaption with two preset widths, and the image lists of the skinned tool
// bar it stands on. OnClick is raised only by DoClick (the class library raises no click of its
// own). A click handler may free the button: the mouse-up handling then stops without touching it.
#pragma once

#include <memory>

#include "platform/vcl/Timer.h"
#include "skin/controls/GraphicSkinControl.h"
#include "skin/controls/SkinButtonEffects.h"
#include "skin/controls/SkinButtonLook.h"

// What a speed button borrows from the skinned tool bar it stands on: the tool bar implements it.
class TskToolBarImageSource {
public:
  virtual ~TskToolBarImageSource() = default;
  virtual TCustomImageList* GetImages() const = 0;
  virtual TCustomImageList* GetHotImages() const = 0;
  virtual TCustomImageList* GetDisabledImages() const = 0;
};

class TskSkinSpeedButton : public TskGraphicSkinCustomControl {
public:
  explicit TskSkinSpeedButton(TComponent* AOwner);
  ~TskSkinSpeedButton() override;

  TCustomImageList* GetImageList() const { return FImageList; }
  void SetImageList(TCustomImageList* Value);
  bool GetUseSkinSize() const { return FUseSkinSize; }
  void SetUseSkinSize(bool Value) { FUseSkinSize = Value; }
  bool GetUseSkinFontColor() const { return FUseSkinFontColor; }
  void SetUseSkinFontColor(bool Value) { FUseSkinFontColor = Value; }
  int GetWidthWithCaption() const { return FWidthWithCaption; }
  void SetWidthWithCaption(int Value) { FWidthWithCaption = Value; }
  int GetWidthWithoutCaption() const { return FWidthWithoutCaption; }
  void SetWidthWithoutCaption(int Value) { FWidthWithoutCaption = Value; }
  int GetImageIndex() const { return FImageIndex; }
  // Repaints only inside a skinned tool bar or with an ImageList.
  void SetImageIndex(int Value);
  bool GetRepeatMode() const { return FRepeatMode; }
  void SetRepeatMode(bool Value) { FRepeatMode = Value; }
  int GetRepeatInterval() const { return FRepeatInterval; }
  void SetRepeatInterval(int Value) { FRepeatInterval = Value; }
  bool GetFlat() const { return FFlat; }
  // Flat buttons are not opaque.
  void SetFlat(bool Value);
  bool GetAllowAllUp() const { return FAllowAllUp; }
  void SetAllowAllUp(bool Value) { FAllowAllUp = Value; }
  bool GetDown() const { return FDown; }
  void SetDown(bool Value);
  int GetGroupIndex() const { return FGroupIndex; }
  void SetGroupIndex(int Value) { FGroupIndex = Value; }
  bool GetShowCaption() const { return FShowCaption; }
  // With both preset widths above 0 the button takes the matching one; otherwise repaints.
  void SetShowCaption(bool Value);
  TBitmap* GetGlyph() const { return FGlyph.get(); }
  void SetGlyph(TBitmap* Value);
  int GetNumGlyphs() const { return FNumGlyphs; }
  void SetNumGlyphs(int Value);
  int GetMargin() const { return FMargin; }
  void SetMargin(int Value);
  int GetSpacing() const { return FSpacing; }
  void SetSpacing(int Value);
  TskButtonLayout GetLayout() const { return FLayout; }
  void SetLayout(TskButtonLayout Value);

  TskButtonPaintEvent OnPaint;

  virtual void DoClick();
  virtual void CreateButtonImage(TBitmap* Bitmap, const TRect& R, bool ADown, bool AMouseIn);

  void GetSkinData() override;
  void ChangeSkinData() override;
  void CalcSize(int& W, int& H) override;

  bool GetMouseIn() const { return FMouseIn; }
  double GetMorphFactor() const { return FMorph.Factor; }
  bool GetMorphRunning() const { return FMorph.Running(); }
  const TskFrameAnimation& GetAnimation() const { return FAnimation; }
  const TskButtonLook& GetLook() const { return FLook; }
  bool MorphingApplies() const;
  bool EffectsApply() const;

  void Notification(TComponent* AComponent, TOperation Operation) override;

protected:
  void CreateControlDefaultImage(TBitmap* B) override;
  void CreateControlSkinImage(TBitmap*) override {}
  void Paint() override;
  void Dispatch(TMessage& Message) override;
  void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
  void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;
  void ActionChange(TObject* Sender, bool CheckDefaults) override;
  void CMEnabledChanged(TMessage& Message) override;
  void CMTextChanged(TMessage& Message) override;
  void CMMouseEnter(TMessage& Message) override;
  void CMMouseLeave(TMessage& Message) override;

  // The images menu of the menu speed button: the images, index and caption its selected item
  // gives; false without one (this class has none).
  virtual bool GetImagesMenuContent(TCustomImageList*& Images, int& Index, String& Caption);
  // Glyph and caption of a state in R (OnPaint first, with EventRect).
  void DrawContent(TCanvas* Canvas, const TRect& R, const TRect& EventRect, bool ADown, bool AMouseIn);
  // The content alone (images menu, tool bar images, image list or glyph strip).
  void DrawGlyphAndCaption(TCanvas* Canvas, const TRect& R, bool ADown, bool AMouseIn);
  String CaptionToDraw() { return FShowCaption ? GetCaption() : String(); }

  bool FMouseIn = false;
  bool FPressed = false;
  bool FWasDown = false;
  TskButtonLook FLook;
  TskMorphTimer FMorph;
  TskFrameAnimation FAnimation;

private:
  void MorphOrRepaint();
  void MorphTimerTick(TObject* Sender);
  void AnimationTick(TObject* Sender);
  void StartRepeat();
  void StopRepeat();
  void RepeatTimerTick(TObject* Sender);
  // The transparent look of a flat button (glyph and caption straight on the canvas).
  void PaintTransparent(bool HasRecord);

  TCustomImageList* FImageList = nullptr;
  bool FUseSkinSize = true;
  bool FUseSkinFontColor = true;
  int FWidthWithCaption = 0;
  int FWidthWithoutCaption = 0;
  int FImageIndex = 0;
  bool FRepeatMode = false;
  int FRepeatInterval = 100;
  bool FFlat = false;
  bool FAllowAllUp = false;
  bool FDown = false;
  int FGroupIndex = 0;
  bool FShowCaption = true;
  std::unique_ptr<TBitmap> FGlyph;
  int FNumGlyphs = 1;
  int FMargin = -1;
  int FSpacing = 1;
  TskButtonLayout FLayout = blGlyphLeft;
  TTimer* FRepeatTimer = nullptr;
  std::shared_ptr<bool> FAliveFlag = std::make_shared<bool>(true);
};
