// TskSkinPanel: the skinned container (record "panel"): a resizable skin frame with an optional
// caption bar that can carry a check box (CheckedMode), a glyph strip or an image-list image and
// a roll-up arrow (RollUpMode: a click on the caption rolls the panel up to its frame and down
// again), a background picture of the skin, a frameless tiled look (BorderStyle bvNone), and a
// transparent mode that shows the parent through it (as an outlined group box in CaptionMode).
// TskSkinPaintPanel lets its owner paint the client area (OnPanelPaint); TskSkinGroupBox is a
// panel in caption mode bound to the "groupbox" record.
//
// Callers rely on: Checked raises OnChecked on every assignment and, in checked mode with
// AutoEnabledControls, enables or disables every child; a roll-up keeps the full height in
// RealHeight, hides the children and leaves only the caption (unskinned) or the frame (skinned);
// a roll-down gives back the height, the size constraints and each child's own visibility (a
// child hidden before the roll-up stays hidden); OnChangeRollUpState follows every roll-up and
// roll-down; an empty client part of the skin never makes the panel divide by zero.
#pragma once

#include <memory>
#include <vector>

#include "platform/vcl/ImgList.h"
#include "skin/controls/SkinBorderStyle.h"
#include "skin/controls/SkinControl.h"

enum TskImagePosition { spipDefault, spipLeft };

class TskSkinPanel : public TskSkinCustomControl {
public:
  explicit TskSkinPanel(TComponent* AOwner);
  ~TskSkinPanel() override;

  TskImagePosition GetImagePosition() const { return FImagePosition; }
  void SetImagePosition(TskImagePosition Value);
  bool GetTransparentMode() const { return FTransparentMode; }
  void SetTransparentMode(bool Value);
  TCustomImageList* GetCaptionImageList() const { return FCaptionImageList; }
  void SetCaptionImageList(TCustomImageList* Value);
  int GetCaptionImageIndex() const { return FCaptionImageIndex; }
  void SetCaptionImageIndex(int Value);
  int GetRealHeight() const { return FRealHeight; }
  void SetRealHeight(int Value) { FRealHeight = Value; }
  bool GetAutoEnabledControls() const { return FAutoEnabledControls; }
  void SetAutoEnabledControls(bool Value) { FAutoEnabledControls = Value; }
  bool GetCheckedMode() const { return FCheckedMode; }
  void SetCheckedMode(bool Value);
  bool GetChecked() const { return FChecked; }
  void SetChecked(bool Value);
  TBitmap* GetGlyph() const { return FGlyph.get(); }
  void SetGlyph(TBitmap* Value);
  int GetNumGlyphs() const { return FNumGlyphs; }
  // 1 or 2 (cell 2 is the disabled look); other values are ignored.
  void SetNumGlyphs(int Value);
  int GetSpacing() const { return FSpacing; }
  void SetSpacing(int Value);
  TAlignment GetDefaultAlignment() const { return FDefaultAlignment; }
  void SetDefaultAlignment(TAlignment Value);
  int GetDefaultCaptionHeight() const { return FDefaultCaptionHeight; }
  virtual void SetDefaultCaptionHeight(int Value);
  TskSkinBorderStyle GetBorderStyle() const { return FBorderStyle; }
  void SetBorderStyle(TskSkinBorderStyle Value);
  bool GetCaptionMode() const { return FCaptionMode; }
  virtual void SetCaptionMode(bool Value);
  bool GetRollUpMode() const { return FRollUpMode; }
  void SetRollUpMode(bool Value);
  bool GetRollUpState() const { return FRollUpState; }
  void SetRollUpState(bool Value);

  TNotifyEvent OnChecked;
  TNotifyEvent OnChangeRollUpState;

  // (0, 0, Width, Height) through AdjustClientRect: the area the children are aligned in.
  TRect GetAdjustedClientRect();
  // The caption rectangle for the current size (skinned look).
  const TRect& GetNewCaptionRect() const { return FNewCaptionRect; }
  // True for a panel that keeps the skinned bevels on it vertically centred in its client area
  // (the skinned tool bar answers true).
  virtual bool CentresBevels() const { return false; }
  // Shows every child the panel hid, then aligns them again.
  void ShowControls();
  // Stops aligning and hides every visible child (they are remembered for ShowControls).
  void HideControls();

  void GetSkinData() override;
  void ChangeSkinData() override;
  void SetBounds(int ALeft, int ATop, int AWidth, int AHeight) override;
  void Notification(TComponent* AComponent, TOperation Operation) override;

  // The panel record's values, as the last lookup copied them.
  struct TPanelLook {
    TRect CaptionRect{};
    TAlignment Alignment = taLeftJustify;
    String FontName = "Arial";
    int FontHeight = 14;
    TFontStyles FontStyle = 0;
    TColor FontColor = 0;
    int BGPictureIndex = -1;
    TRect CheckImageRect{}, UnCheckImageRect{}, MarkFrameRect{}, FrameRect{}, FrameTextRect{};
    int FrameLeftOffset = 0, FrameRightOffset = 0;
  };
  const TPanelLook& GetLook() const { return FLook; }

protected:
  bool CanAutoSize(int& NewWidth, int& NewHeight) override;
  void AdjustClientRect(TRect& Rect) override;
  void CreateParams(TCreateParams& Params) override;
  void Paint() override;
  void CreateControlDefaultImage(TBitmap* B) override;
  void CreateControlSkinImage(TBitmap* B) override;
  // Paints over the transparent looks (empty here).
  virtual void PanelPaint(TCanvas* Canvas);
  void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;
  void WMMove(TMessage& Message) override;
  void WMParentImageChanged(TMessage& Message) override;
  void CMTextChanged(TMessage& Message) override;

  // The record's font (UseSkinFont) or DefaultFont on Canvas, with the skin's character set.
  void SetCaptionFont(TCanvas* Canvas);
  bool Skinned() const { return FIndex != -1; }

  TPanelLook FLook;
  TRect FNewCaptionRect{};

private:
  TRect GetTransparentClientRect();
  void DrawSkinCaption(TBitmap* B);
  void PaintTransparent(bool Outline);
  void PaintTiledClient(TCanvas* Canvas);
  void PaintBackgroundPicture(TCanvas* Canvas, TBitmap* G);
  void TileClientPart(TCanvas* Canvas, int W, int H);
  // Rolls up (true) or down (false) and leaves the roll-up state alone.
  void ApplyRollUpState(bool Value);
  // The height of the rolled-up panel for the current skin.
  int RolledUpHeight();
  bool HasCaptionImage() const;
  bool HasGlyph() const { return FGlyph && !FGlyph->Empty(); }
  int GlyphCell() const;
  // The width of the image or glyph before the caption (0 without one).
  int CaptionImageWidth() const;
  int CaptionImageHeight() const;
  void DrawCaptionImage(TCanvas* Canvas, int X, int Y);
  void DrawCheckImage(TCanvas* Canvas, int X, int Y, const TRect& Image);

  TskImagePosition FImagePosition = spipDefault;
  bool FTransparentMode = false;
  TCustomImageList* FCaptionImageList = nullptr;
  int FCaptionImageIndex = -1;
  int FRealHeight = -1;
  bool FAutoEnabledControls = true;
  bool FCheckedMode = false;
  bool FChecked = false;
  std::unique_ptr<TBitmap> FGlyph;
  int FNumGlyphs = 1;
  int FSpacing = 2;
  TAlignment FDefaultAlignment = taLeftJustify;
  int FDefaultCaptionHeight = 22;
  TskSkinBorderStyle FBorderStyle = TskSkinBorderStyle::bvFrame;
  bool FCaptionMode = false;
  bool FRollUpMode = false;
  bool FRollUpState = false;
  bool FRollingUp = false;
  // The size constraints the panel had before it rolled up.
  int FSavedMaxWidth = 0, FSavedMinWidth = 0, FSavedMaxHeight = 0, FSavedMinHeight = 0;
  // The children the roll-up hid.
  std::vector<TControl*> FHiddenChildren;
};

// The owner paints the panel's client area in OnPanelPaint (the canvas and the client rectangle).
using TskPaintPanelEvent = std::function<void(TCanvas* Cnvs, TRect R)>;

class TskSkinPaintPanel : public TskSkinPanel {
public:
  explicit TskSkinPaintPanel(TComponent* AOwner);

  TskPaintPanelEvent OnPanelPaint;

protected:
  void PanelPaint(TCanvas* Canvas) override;
  void CreateControlDefaultImage(TBitmap* B) override;
  void CreateControlSkinImage(TBitmap* B) override;
  void WMEraseBkgnd(TMessage& Message) override;
};

class TskSkinGroupBox : public TskSkinPanel {
public:
  explicit TskSkinGroupBox(TComponent* AOwner);
};
