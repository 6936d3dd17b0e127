// The light skinned labels: TskSkinStdLabel (the class library's label with the skin's font and
// colour), TskSkinTextLabel (a multi-line label whose text is a string list) and TskSkinLinkLabel
// (a hyperlink label that opens its URL on a click). They are not windowed and do not derive from
// the skinned control bases: each binds to a "stdlabel" record (SkinData + SkinDataName) through
// its own TskStdLabelSkin and is told of skin changes by ChangeSkinData, which the skinned form
// calls directly.
//
// Callers rely on: Caption is shown at once; without a record the labels draw with DefaultFont
// (UseSkinFont) or Font; a disabled label draws its text embossed (highlight one pixel down and
// right, shadow in place); a link label's click raises OnClick first and then, when URL is not
// empty, opens URL through the shell's "open" verb (its result is not checked); the link shows
// its active colour (or a glow) while the pointer is over it and never sizes itself to its text.
#pragma once

#include <memory>

#include "platform/rtl/StringList.h"
#include "platform/vcl/ExtCtrls.h"
#include "skin/controls/SkinControlGeometry.h"
#include "skin/foundation/SkinDrawUtils.h"

// The record binding and the copied font keys of one light label.
class TskStdLabelSkin {
public:
  TskSkinData* SkinData = nullptr;
  String SkinDataName = "stdlabel";
  int Index = -1;
  String FontName = "Arial";
  int FontHeight = 14;
  TFontStyles FontStyle = 0;
  TColor FontColor = 0;
  TColor ActiveFontColor = 0xFF0000;

  // Stores the reference and keeps Owner's free notification on it.
  void SetSkinData(TComponent* Owner, TskSkinData* Value);
  // Owner's notification: the skin data goes away.
  void Notification(TComponent* AComponent, TOperation Operation);
  // Looks the record up and copies its font keys (a record of another class leaves them).
  void GetSkinData();
  bool Skinned() const { return Index != -1; }
  // The character set of the skin's string table, else DefaultFont's.
  void ApplyCharset(TFont* Font, TFont* DefaultFont) const;
  // The embossing colours of a disabled label.
  TColor HighlightColor() const;
  TColor ShadowColor() const;
};

enum TskEllipsType { spetNone, spetEndEllips, spetPathEllips };

class TskSkinStdLabel : public TCustomLabel {
public:
  explicit TskSkinStdLabel(TComponent* AOwner);
  ~TskSkinStdLabel() override;

  TskEllipsType GetEllipsType() const { return FEllipsType; }
  void SetEllipsType(TskEllipsType Value);
  bool GetUseSkinFont() const { return FUseSkinFont; }
  void SetUseSkinFont(bool Value) { FUseSkinFont = Value; }
  bool GetUseSkinColor() const { return FUseSkinColor; }
  void SetUseSkinColor(bool Value) { FUseSkinColor = Value; }
  TFont* GetDefaultFont() const { return FDefaultFont.get(); }
  // Assigns only; no repaint.
  void SetDefaultFont(TFont* Value) { FDefaultFont->Assign(Value); }
  TskSkinData* GetSkinDataComponent() const { return FSkin.SkinData; }
  // Stores and, unless Value is null, ChangeSkinData.
  void SetSkinData(TskSkinData* Value);
  const String& GetSkinDataName() const { return FSkin.SkinDataName; }
  void SetSkinDataName(const String& Value) { FSkin.SkinDataName = Value; }
  int GetSkinIndex() const { return FSkin.Index; }

  void GetSkinData() { FSkin.GetSkinData(); }
  // Looks the record up again, fits AutoSize, repaints.
  void ChangeSkinData();

  void Notification(TComponent* AComponent, TOperation Operation) override;

protected:
  void DoDrawText(TRect& Rect, int Flags) override;

private:
  TskStdLabelSkin FSkin;
  std::unique_ptr<TFont> FDefaultFont;
  TskEllipsType FEllipsType = spetNone;
  bool FUseSkinFont = true;
  bool FUseSkinColor = true;
};

class TskSkinTextLabel : public TGraphicControl {
public:
  explicit TskSkinTextLabel(TComponent* AOwner);
  ~TskSkinTextLabel() override;

  bool GetUseSkinFont() const { return FUseSkinFont; }
  void SetUseSkinFont(bool Value) { FUseSkinFont = Value; }
  bool GetUseSkinColor() const { return FUseSkinColor; }
  void SetUseSkinColor(bool Value) { FUseSkinColor = Value; }
  TStrings* GetLines() const { return FLines.get(); }
  // Assigns and repaints.
  void SetLines(TStrings* Value);
  TFont* GetDefaultFont() const { return FDefaultFont.get(); }
  void SetDefaultFont(TFont* Value) { FDefaultFont->Assign(Value); }
  TskSkinData* GetSkinDataComponent() const { return FSkin.SkinData; }
  void SetSkinData(TskSkinData* Value);
  const String& GetSkinDataName() const { return FSkin.SkinDataName; }
  void SetSkinDataName(const String& Value) { FSkin.SkinDataName = Value; }
  int GetSkinIndex() const { return FSkin.Index; }
  TAlignment GetAlignment() const { return FAlignment; }
  void SetAlignment(TAlignment Value);
  TTextLayout GetLayout() const { return FLayout; }
  void SetLayout(TTextLayout Value);
  bool GetWordWrap() const { return FWordWrap; }
  void SetWordWrap(bool Value);
  void SetAutoSize(bool Value) override;

  void GetSkinData() { FSkin.GetSkinData(); }
  void ChangeSkinData();

  void Notification(TComponent* AComponent, TOperation Operation) override;

protected:
  // The text drawn: the lines, each ended by a line break.
  virtual String GetLabelText();
  virtual void DoDrawText(TRect& Rect, int Flags);
  // With AutoSize: the height of the lines (without the empty line after the last line break)
  // and the width of the widest; a right-aligned label keeps its right edge.
  virtual void AdjustBounds();
  void Paint() override;
  void Loaded() override;
  void CMFontChanged(TMessage& Message) override;

private:
  void LinesChanged(TObject* Sender);
  // Measures the label text on Canvas into R (DT_CALCRECT) without the trailing empty line.
  void MeasureLines(TCanvas* Canvas, TRect& R, int Flags);

  TskStdLabelSkin FSkin;
  std::unique_ptr<TStringList> FLines;
  std::unique_ptr<TFont> FDefaultFont;
  bool FUseSkinFont = true;
  bool FUseSkinColor = true;
  TAlignment FAlignment = taLeftJustify;
  TTextLayout FLayout = tlTop;
  bool FWordWrap = false;
};

class TskSkinLinkLabel : public TCustomLabel {
public:
  explicit TskSkinLinkLabel(TComponent* AOwner);
  ~TskSkinLinkLabel() override;

  bool GetGlowEffect() const { return FGlowEffect; }
  void SetGlowEffect(bool Value) { FGlowEffect = Value; }
  int GetGlowSize() const { return FGlowSize; }
  void SetGlowSize(int Value) { FGlowSize = Value; }
  bool GetUseUnderLine() const { return FUseUnderLine; }
  void SetUseUnderLine(bool Value);
  bool GetUseSkinFont() const { return FUseSkinFont; }
  void SetUseSkinFont(bool Value) { FUseSkinFont = Value; }
  TColor GetDefaultActiveFontColor() const { return FDefaultActiveFontColor; }
  void SetDefaultActiveFontColor(TColor Value) { FDefaultActiveFontColor = Value; }
  const String& GetURL() const { return FURL; }
  void SetURL(const String& Value) { FURL = Value; }
  TFont* GetDefaultFont() const { return FDefaultFont.get(); }
  void SetDefaultFont(TFont* Value) { FDefaultFont->Assign(Value); }
  TskSkinData* GetSkinDataComponent() const { return FSkin.SkinData; }
  void SetSkinData(TskSkinData* Value);
  const String& GetSkinDataName() const { return FSkin.SkinDataName; }
  void SetSkinDataName(const String& Value) { FSkin.SkinDataName = Value; }
  int GetSkinIndex() const { return FSkin.Index; }
  bool GetHovered() const { return FHovered; }

  void GetSkinData() { FSkin.GetSkinData(); }
  void ChangeSkinData();

  void Notification(TComponent* AComponent, TOperation Operation) override;

protected:
  // Draws into a copy of Rect (moved down by GlowSize with GlowEffect); Rect is not changed, so
  // AutoSize leaves the label at its size.
  void DoDrawText(TRect& Rect, int Flags) override;
  // OnClick, then the URL opened with the shell's "open" verb.
  void Click() override;
  void CMMouseEnter(TMessage& Message) override;
  void CMMouseLeave(TMessage& Message) override;

private:
  TskStdLabelSkin FSkin;
  std::unique_ptr<TFont> FDefaultFont;
  bool FGlowEffect = false;
  int FGlowSize = 7;
  bool FUseUnderLine = true;
  bool FUseSkinFont = true;
  TColor FDefaultActiveFontColor = 0xFF0000;
  String FURL;
  bool FHovered = false;
};
