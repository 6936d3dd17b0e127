// TskSkinCheckRadioBox: the skinned check box, and with Radio the skinned radio box (records
// "checkbox" and "radiobox"). The flat look (the default) draws only the record's check image and
// the caption over what lies under the box; the framed look draws the record's whole picture as
// the box's face and cross-fades it when the skin asks for it. A box can be grayed (AllowGrayed,
// State), belongs to an exclusive group of its siblings (GroupIndex), shows an image-list image
// beside its caption, wraps its caption (flat look), takes the focus and toggles by Space (on
// release), by a click and by the caption's accelerator.
//
// Callers rely on: setting Checked from code raises OnClick on every call for a check box, and
// for a radio box on every call that leaves it checked, also when the value does not change; a
// box that becomes checked unchecks the checked boxes of its group under the same parent (a
// check box among them raises its OnClick); unchecking a grayed box leaves it grayed.
#pragma once

#include "platform/vcl/ImgList.h"
#include "skin/controls/SkinButtonEffects.h"
#include "skin/controls/SkinControl.h"

enum TCheckBoxState { cbUnchecked, cbChecked, cbGrayed };

class TskSkinCheckRadioBox : public TskSkinCustomControl {
public:
  explicit TskSkinCheckRadioBox(TComponent* AOwner);
  ~TskSkinCheckRadioBox() override;

  bool GetWordWrap() const { return FWordWrap; }
  void SetWordWrap(bool Value);
  bool GetAllowGrayed() const { return FAllowGrayed; }
  void SetAllowGrayed(bool Value);
  TCheckBoxState GetState() const { return FState; }
  // Stores, sets Checked to (Value = cbChecked), repaints and raises OnClick (no group handling).
  void SetState(TCheckBoxState Value);
  TCustomImageList* GetImages() const { return FImages; }
  void SetImages(TCustomImageList* Value);
  int GetImageIndex() const { return FImageIndex; }
  void SetImageIndex(int Value);
  bool GetUseSkinFontColor() const { return FUseSkinFontColor; }
  void SetUseSkinFontColor(bool Value) { FUseSkinFontColor = Value; }
  bool GetCanFocused() const { return FCanFocused; }
  // Stores and sets TabStop.
  void SetCanFocused(bool Value);
  bool GetRadio() const { return FRadio; }
  void SetRadio(bool Value);
  bool GetChecked() const { return FChecked; }
  // See the header comment.
  void SetChecked(bool Value);
  int GetGroupIndex() const { return FGroupIndex; }
  void SetGroupIndex(int Value) { FGroupIndex = Value; }
  bool GetFlat() const { return FFlat; }
  void SetFlat(bool Value);

  TNotifyEvent OnClick;

  // A check box flips; a radio box becomes checked (never unchecked by the user).
  void Toggle();

  void GetSkinData() override;
  void ChangeSkinData() override;
  void UpdateAlphaBlend() override;
  void CalcSize(int& W, int& H) override;

  bool GetMouseIn() const { return FMouseIn; }
  double GetMorphFactor() const { return FMorph.Factor; }
  bool GetMorphRunning() const { return FMorph.Running(); }
  bool MorphingApplies() const;
  // The framed look's text rectangle, check area and check image position for the current size.
  const TRect& GetTextRect() const { return FTextRect; }
  const TRect& GetCheckPosition() const { return FCheckPosition; }

  void Notification(TComponent* AComponent, TOperation Operation) override;

protected:
  void CreateControlDefaultImage(TBitmap* B) override;
  void Paint() override;
  void WndProc(TMessage& Message) override;
  void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
  void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;
  void ActionChange(TObject* Sender, bool CheckDefaults) override;

  void WMMove(TMessage& Message) override;
  void WMSetFocus(TMessage& Message) override;
  void WMKillFocus(TMessage& Message) override;
  void WMEraseBkgnd(TMessage& Message) override;
  void CMDialogChar(TMessage& Message) override;
  void CMEnabledChanged(TMessage& Message) override;
  void CMTextChanged(TMessage& Message) override;
  void CMMouseEnter(TMessage& Message) override;
  void CMMouseLeave(TMessage& Message) override;

private:
  struct TLook {
    String FontName = "Arial";
    int FontHeight = 14;
    TFontStyles FontStyle = 0;
    TColor FontColor = 0, ActiveFontColor = 0, FrameFontColor = 0, UnEnabledFontColor = 0;
    TRect ActiveSkinRect{};
    bool Morphing = false;
    TskMorphKind MorphKind = mkDefault;
    TRect CheckImageArea{}, TextArea{};
    TRect CheckImageRect{}, UnCheckImageRect{}, ActiveCheckImageRect{}, ActiveUnCheckImageRect{};
    TRect UnEnabledCheckImageRect{}, UnEnabledUnCheckImageRect{}, GrayedCheckImageRect{},
        ActiveGrayedCheckImageRect{};
  };

  bool IsFocusedBox();
  void FocusOrRepaint();
  void MorphTimerTick(TObject* Sender);
  void RaiseClick();
  void SetFont(TCanvas* Canvas);
  // The check image of the current state at (X, Y).
  void DrawCheckImage(TCanvas* Canvas, int X, int Y);
  void DrawPictureCell(TCanvas* Canvas, int X, int Y, const TRect& R, bool Brighten);
  // The flat look: the caption (with image and focus frame) after a check mark of CheckWidth
  // pixels starting at x 3; ImageSpacing between image and a one-line caption.
  void PaintFlatContent(TCanvas* Canvas, int CheckWidth, int ImageSpacing);
  void PaintFlat();
  void PaintFramedFace(TBitmap* B, const TRect& R, bool Active);
  // The default check frame and mark.
  void DrawDefaultCheck(TCanvas* Canvas);

  bool FWordWrap = false;
  bool FAllowGrayed = false;
  TCheckBoxState FState = cbUnchecked;
  TCustomImageList* FImages = nullptr;
  int FImageIndex = 0;
  bool FUseSkinFontColor = true;
  bool FCanFocused = true;
  bool FRadio = false;
  bool FChecked = false;
  int FGroupIndex = 0;
  bool FFlat = true;
  bool FMouseIn = false;
  bool FClicksDisabled = false;
  TskMorphTimer FMorph;
  TLook FLook;
  TRect FTextRect{}, FCheckArea{}, FCheckPosition{};
};
