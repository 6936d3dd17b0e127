// TskSkinCustomEdit: the skinned single-line edit. Its frame is painted in the window's
// non-client area from the "edit" record of the skin (or "buttonedit", which adds a button at the
// right end), its client background from the same picture, and the edit window draws only the
// text over it. Two image buttons from an image list may sit inside the text area, at its left
// and right ends. TskSkinEdit publishes the properties.
//
// The contract callers rely on:
// - Without skin data, with an empty skin or without the record the edit has the default look
//   (a two-pixel frame, DefaultColor inside, DefaultFont); every paint looks the record up again,
//   while fonts, colours and size change in ChangeSkinData (the skinned form calls it on every
//   skin change).
// - With UseSkinFont a skinned edit keeps the record's height whatever height is asked; without
//   it the height follows the font.
// - OnButtonClick fires when the frame button is released after a press on it; OnLeftButtonClick
//   and OnRightButtonClick likewise for the image buttons. The text never runs under an image
//   button.
// - SkinControlQueryMessage with a DC paints the frame into it and answers SkinControlQueryAnswer;
//   SkinFramePaintMessage with SkinFramePaintParam likewise and answers SkinFramePaintParam.
#pragma once

#include <memory>

#include "platform/vcl/ImgList.h"
#include "skin/foundation/SkinData.h"
#include "skin/input/SkinCustomEdit.h"

class TskSkinCustomEdit : public TskCustomEdit {
public:
  explicit TskSkinCustomEdit(TComponent* AOwner);
  ~TskSkinCustomEdit() override;

  TskSkinData* GetSkinDataComponent() const { return FSkinData; }
  void SetSkinData(TskSkinData* Value);
  const String& GetSkinDataName() const { return FSkinDataName; }
  void SetSkinDataName(const String& Value) { FSkinDataName = Value; }
  TFont* GetDefaultFont() const { return FDefaultFont.get(); }
  void SetDefaultFont(TFont* Value);
  bool GetUseSkinFont() const { return FUseSkinFont; }
  void SetUseSkinFont(bool Value) { FUseSkinFont = Value; }
  TColor GetDefaultColor() const { return FDefaultColor; }
  void SetDefaultColor(TColor Value);
  int GetDefaultWidth() const { return FDefaultWidth; }
  void SetDefaultWidth(int Value);
  int GetDefaultHeight() const { return FDefaultHeight; }
  void SetDefaultHeight(int Value);
  bool GetButtonMode() const { return FButtonMode; }
  void SetButtonMode(bool Value);
  TAlignment GetAlignment() const { return FAlignment; }
  void SetAlignment(TAlignment Value);
  TCustomImageList* GetImages() const { return FImages; }
  void SetImages(TCustomImageList* Value);
  int GetLeftImageIndex() const { return FLeftImageIndex; }
  void SetLeftImageIndex(int Value);
  int GetRightImageIndex() const { return FRightImageIndex; }
  void SetRightImageIndex(int Value);
  int LeftImageHotIndex = -1, LeftImageDownIndex = -1, RightImageHotIndex = -1, RightImageDownIndex = -1;
  bool GetAlphaBlend() const { return FAlphaBlend; }
  void SetAlphaBlend(bool Value);
  Byte GetAlphaBlendValue() const { return FAlphaBlendValue; }
  void SetAlphaBlendValue(Byte Value);

  TNotifyEvent OnButtonClick;
  TNotifyEvent OnLeftButtonClick;
  TNotifyEvent OnRightButtonClick;
  TNotifyEvent OnMouseEnter;
  TNotifyEvent OnMouseLeave;

  // The record's index in the skin data (-1: the default look).
  int GetSkinIndex() const { return FIndex; }
  // The text area (window coordinates) and the frame button for the present size and skin.
  TRect GetTextRect() const { return TextRect; }
  TRect GetButtonRect() const { return ButtonRect; }
  TRect GetLeftImageRect() const { return LeftImageRect; }
  TRect GetRightImageRect() const { return RightImageRect; }

  void GetSkinData();
  void ChangeSkinData();
  void CalcRects();
  int CalcHeight();
  void AdjustHeight();
  void Invalidate() override;
  void SetBounds(int ALeft, int ATop, int AWidth, int AHeight) override;
  void Notification(TComponent* AComponent, TOperation Operation) override;
  // The whole window's frame picture (W x H) onto Canvas.
  void DrawFrame(TCanvas* Canvas);
  // The client background onto Canvas (client coordinates).
  void DrawBackground(TCanvas* Canvas);

protected:
  void Loaded() override;
  void CreateParams(TCreateParams& Params) override;
  void WndProc(TMessage& Message) override;

private:
  struct TImageButton {
    bool Hot = false;
    bool Down = false;
  };
  bool Skinned() const { return FIndex != -1; }
  bool Hot();
  void PaintFrame();
  void PaintFrameTo(HDC DC);
  void DrawStretchedFrame(TCanvas* Canvas);
  void DrawImageButtons(TCanvas* Canvas);
  void LayoutImageButtons(bool Apply);
  void PaintDisabledText(HDC DC);
  void ApplyStateFontColor();
  void DefaultFontChange(TObject* Sender);
  TBitmap* ParentCapture();

  TskSkinData* FSkinData = nullptr;
  String FSkinDataName = "edit";
  std::unique_ptr<TFont> FDefaultFont;
  bool FUseSkinFont = true;
  TColor FDefaultColor = clWindow;
  int FDefaultWidth = 0;
  int FDefaultHeight = 0;
  bool FButtonMode = false;
  TAlignment FAlignment = taLeftJustify;
  TCustomImageList* FImages = nullptr;
  int FLeftImageIndex = -1;
  int FRightImageIndex = -1;
  bool FAlphaBlend = false;
  Byte FAlphaBlendValue = 0;

  int FIndex = -1;
  TRect TextRect{}, ButtonRect{};
  bool ButtonHot = false, ButtonDown = false;
  TRect LeftImageRect{}, RightImageRect{};
  TImageButton LeftImage, RightImage;
  bool MouseIn = false;
  bool PaintedByErase = false;
  std::unique_ptr<TBitmap> FParentCapture;

  // Copies of the "edit" record.
  TBitmap* Picture = nullptr;
  TRect SkinRect{}, ActiveSkinRect{}, ClRect{};
  int FixedLeft = 0, FixedRight = 0;
  String FontName;
  TFontStyles FontStyle = 0;
  int FontHeight = 0;
  TColor FontColor = 0, DisabledFontColor = 0, ActiveFontColor = 0;
  TRect SkinButtonRect{}, ActiveButtonRect{}, DownButtonRect{}, UnenabledButtonRect{};
  bool StretchEffect = false;
};

class TskSkinEdit : public TskSkinCustomEdit {
public:
  using TskSkinCustomEdit::TskSkinCustomEdit;
};
