// TskSkinLabel: a windowed label drawn on a resizable skin picture (record "label"), with an
// optional blurred shadow or mirrored reflection of its text, an ellipsis for a text too long,
// and an AutoSize that widens or narrows the control to its caption. With UseSkinSize off the
// skin picture stretches only sideways and the label keeps any height (and gets no region).
// TskSkinStatusPanel (record "statuspanel") adds a glyph strip or an image-list image in front
// of the text; the main window's status bars hold them.
//
// Callers rely on: Caption is shown at once; binding to a fixed-size skin record switches AutoSize
// off; a label aligned to the top, bottom or whole client area never changes its width through
// AutoSize; with both effects on only the shadow is drawn; a two-cell glyph shows its second cell
// while the panel is disabled.
#pragma once

#include <memory>

#include "platform/vcl/ImgList.h"
#include "skin/controls/SkinBorderStyle.h"
#include "skin/controls/SkinControl.h"

enum TskEllipsType2 { spetNoneEllips, spetEllips };

class TskSkinLabel : public TskSkinCustomControl {
public:
  explicit TskSkinLabel(TComponent* AOwner);

  bool GetShadowEffect() const { return FShadowEffect; }
  void SetShadowEffect(bool Value);
  TColor GetShadowColor() const { return FShadowColor; }
  void SetShadowColor(TColor Value);
  int GetShadowOffset() const { return FShadowOffset; }
  void SetShadowOffset(int Value);
  int GetShadowSize() const { return FShadowSize; }
  void SetShadowSize(int Value);
  bool GetReflectionEffect() const { return FReflectionEffect; }
  void SetReflectionEffect(bool Value);
  int GetReflectionOffset() const { return FReflectionOffset; }
  void SetReflectionOffset(int Value);
  TskEllipsType2 GetEllipsType() const { return FEllipsType; }
  void SetEllipsType(TskEllipsType2 Value);
  bool GetUseSkinSize() const { return FUseSkinSize; }
  void SetUseSkinSize(bool Value) { FUseSkinSize = Value; }
  bool GetUseSkinFontColor() const { return FUseSkinFontColor; }
  void SetUseSkinFontColor(bool Value) { FUseSkinFontColor = Value; }
  TskSkinBorderStyle GetBorderStyle() const { return FBorderStyle; }
  void SetBorderStyle(TskSkinBorderStyle Value);
  TAlignment GetAlignment() const { return FAlignment; }
  void SetAlignment(TAlignment Value);
  // The label's own AutoSize (the width follows the caption); the class library's is not used.
  bool GetAutoSize() const { return FAutoSize; }
  void SetAutoSize(bool Value) override;

  // The width change AutoSize needs for the current caption (positive: wider).
  virtual int CalcAutoSizeWidth();
  // Applies CalcAutoSizeWidth unless the label is aligned to the top, bottom or client area.
  void AdjustAutoSize();

  void GetSkinData() override;
  void CalcSize(int& W, int& H) override;
  void SetControlRegion() override;

protected:
  // The caption in R with the label's font, alignment, ellipsis and effect.
  void DrawLabelText(TCanvas* Canvas, TRect R);
  // The label's font on Canvas (the record's or DefaultFont) with the skin's character set.
  void SetLabelFont(TCanvas* Canvas);
  void CreateControlDefaultImage(TBitmap* B) override;
  void CreateControlSkinImage(TBitmap* B) override;
  void WMEraseBkgnd(TMessage& Message) override;
  void CMTextChanged(TMessage& Message) override;
  bool Skinned() const { return FIndex != -1; }

  String FFontName = "Arial";
  int FFontHeight = 14;
  TFontStyles FFontStyle = 0;
  TColor FFontColor = 0;

private:
  bool FShadowEffect = false;
  TColor FShadowColor = 0;
  int FShadowOffset = 0;
  int FShadowSize = 3;
  bool FReflectionEffect = false;
  int FReflectionOffset = -5;
  TskEllipsType2 FEllipsType = spetNoneEllips;
  bool FUseSkinSize = true;
  bool FUseSkinFontColor = true;
  TskSkinBorderStyle FBorderStyle = TskSkinBorderStyle::bvFrame;
  TAlignment FAlignment = taLeftJustify;
  bool FAutoSize = false;
};

class TskSkinStatusPanel : public TskSkinLabel {
public:
  explicit TskSkinStatusPanel(TComponent* AOwner);
  ~TskSkinStatusPanel() override;

  TCustomImageList* GetImageList() const { return FImageList; }
  void SetImageList(TCustomImageList* Value);
  int GetImageIndex() const { return FImageIndex; }
  void SetImageIndex(int Value);
  TBitmap* GetGlyph() const { return FGlyph.get(); }
  void SetGlyph(TBitmap* Value);
  int GetNumGlyphs() const { return FNumGlyphs; }
  // 1 or 2 (cell 2 is the disabled look); other values are ignored.
  void SetNumGlyphs(int Value);

  int CalcAutoSizeWidth() override;
  void Notification(TComponent* AComponent, TOperation Operation) override;

protected:
  void CreateControlDefaultImage(TBitmap* B) override;
  void CreateControlSkinImage(TBitmap* B) override;
  void CMEnabledChanged(TMessage& Message) override;

private:
  bool HasImage() const;
  bool HasGlyph() const { return FGlyph && !FGlyph->Empty(); }
  // The image or glyph at the left of R, vertically centred; R.left moves past it plus 2.
  void DrawImage(TCanvas* Canvas, TRect& R);

  TCustomImageList* FImageList = nullptr;
  int FImageIndex = -1;
  std::unique_ptr<TBitmap> FGlyph;
  int FNumGlyphs = 1;
};
