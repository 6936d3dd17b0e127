// Colours and the drawing tools of a canvas: TColor, TFont, TPen and TBrush. Each tool keeps
// its settings and makes its GDI object (HFONT, HPEN, HBRUSH) when first asked for it.
#pragma once

#include <cstdint>

#include "platform/gdi/Gdi.h"
#include "platform/vcl/Classes.h"

class TBitmap;

// GDI refused to make an object ("Out of system resources").
QV_DECLARE_EXCEPTION(EOutOfResources, EOutOfMemory);

// 0x00BBGGRR; system colours are clSystemColor | COLOR_xxx.
using TColor = std::uint32_t;

constexpr TColor clSystemColor = 0xFF000000;
constexpr TColor clScrollBar = clSystemColor | COLOR_SCROLLBAR;
constexpr TColor clBackground = clSystemColor | COLOR_BACKGROUND;
constexpr TColor clActiveCaption = clSystemColor | COLOR_ACTIVECAPTION;
constexpr TColor clInactiveCaption = clSystemColor | COLOR_INACTIVECAPTION;
constexpr TColor clMenu = clSystemColor | COLOR_MENU;
constexpr TColor clWindow = clSystemColor | COLOR_WINDOW;
constexpr TColor clWindowFrame = clSystemColor | COLOR_WINDOWFRAME;
constexpr TColor clMenuText = clSystemColor | COLOR_MENUTEXT;
constexpr TColor clWindowText = clSystemColor | COLOR_WINDOWTEXT;
constexpr TColor clCaptionText = clSystemColor | COLOR_CAPTIONTEXT;
constexpr TColor clActiveBorder = clSystemColor | COLOR_ACTIVEBORDER;
constexpr TColor clInactiveBorder = clSystemColor | COLOR_INACTIVEBORDER;
constexpr TColor clAppWorkSpace = clSystemColor | COLOR_APPWORKSPACE;
constexpr TColor clHighlight = clSystemColor | COLOR_HIGHLIGHT;
constexpr TColor clHighlightText = clSystemColor | COLOR_HIGHLIGHTTEXT;
constexpr TColor clBtnFace = clSystemColor | COLOR_BTNFACE;
constexpr TColor clBtnShadow = clSystemColor | COLOR_BTNSHADOW;
constexpr TColor clGrayText = clSystemColor | COLOR_GRAYTEXT;
constexpr TColor clBtnText = clSystemColor | COLOR_BTNTEXT;
constexpr TColor clInactiveCaptionText = clSystemColor | COLOR_INACTIVECAPTIONTEXT;
constexpr TColor clBtnHighlight = clSystemColor | COLOR_BTNHIGHLIGHT;
constexpr TColor cl3DDkShadow = clSystemColor | COLOR_3DDKSHADOW;
constexpr TColor cl3DLight = clSystemColor | COLOR_3DLIGHT;
constexpr TColor clInfoText = clSystemColor | COLOR_INFOTEXT;
constexpr TColor clInfoBk = clSystemColor | COLOR_INFOBK;
constexpr TColor clHotLight = clSystemColor | COLOR_HOTLIGHT;
constexpr TColor clGradientActiveCaption = clSystemColor | COLOR_GRADIENTACTIVECAPTION;
constexpr TColor clGradientInactiveCaption = clSystemColor | COLOR_GRADIENTINACTIVECAPTION;
constexpr TColor clMenuHighlight = clSystemColor | COLOR_MENUHILIGHT;
constexpr TColor clMenuBar = clSystemColor | COLOR_MENUBAR;

constexpr TColor clBlack = 0x000000;
constexpr TColor clMaroon = 0x000080;
constexpr TColor clGreen = 0x008000;
constexpr TColor clOlive = 0x008080;
constexpr TColor clNavy = 0x800000;
constexpr TColor clPurple = 0x800080;
constexpr TColor clTeal = 0x808000;
constexpr TColor clGray = 0x808080;
constexpr TColor clSilver = 0xC0C0C0;
constexpr TColor clRed = 0x0000FF;
constexpr TColor clLime = 0x00FF00;
constexpr TColor clYellow = 0x00FFFF;
constexpr TColor clBlue = 0xFF0000;
constexpr TColor clFuchsia = 0xFF00FF;
constexpr TColor clAqua = 0xFFFF00;
constexpr TColor clLtGray = 0xC0C0C0;
constexpr TColor clDkGray = 0x808080;
constexpr TColor clWhite = 0xFFFFFF;
constexpr TColor clMoneyGreen = 0xC0DCC0;
constexpr TColor clSkyBlue = 0xF0CAA6;
constexpr TColor clCream = 0xF0FBFF;
constexpr TColor clMedGray = 0xA4A0A0;
constexpr TColor clNone = 0x1FFFFFFF;
constexpr TColor clDefault = 0x20000000;

// The RGB value of Color: system colours through GetSysColor; anything else unchanged.
COLORREF ColorToRGB(TColor Color);

// Deletes a GDI object, or keeps it for a later try when a device context still holds it
// (GDI refuses to delete selected objects). Every call retries the objects kept earlier.
void DeleteGdiObjectSafely(HGDIOBJ Object);

// Settings holder with a change event; the base of TFont, TPen and TBrush.
class TGraphicsObject : public TPersistent {
public:
  TNotifyEvent OnChange;

protected:
  // Fires OnChange (a canvas drops the object from its DC) and then frees the GDI object
  // so the next GetHandle makes one with the new settings.
  virtual void Changed();
  virtual void FreeHandle() {}
};

// Font styles (a set).
using TFontStyles = std::uint32_t;
enum : TFontStyles {
  fsBold = 1u << 0,
  fsItalic = 1u << 1,
  fsUnderline = 1u << 2,
  fsStrikeOut = 1u << 3,
};
enum TFontPitch { fpDefault, fpVariable, fpFixed };
using TFontCharset = Byte;

class TFont : public TGraphicsObject {
public:
  TFont();
  ~TFont() override;

  HFONT GetHandle();
  // Takes the settings of Value's LOGFONT (the font object itself stays the caller's).
  void SetHandle(HFONT Value);
  const String& GetName() const { return FName; }
  void SetName(const String& Value);
  // Point size at PixelsPerInch: -MulDiv(Height, 72, PixelsPerInch) (negative for a positive,
  // cell-height Height).
  int GetSize() const;
  void SetSize(int Value);
  // Pixel height: negative = character height, positive = cell height.
  int GetHeight() const { return FHeight; }
  void SetHeight(int Value);
  TFontStyles GetStyle() const { return FStyle; }
  void SetStyle(TFontStyles Value);
  TColor GetColor() const { return FColor; }
  void SetColor(TColor Value);
  TFontCharset GetCharset() const { return FCharset; }
  void SetCharset(TFontCharset Value);
  TFontPitch GetPitch() const { return FPitch; }
  void SetPitch(TFontPitch Value);
  // Tenths of degrees, as LOGFONT's escapement.
  int GetOrientation() const { return FOrientation; }
  void SetOrientation(int Value);
  int GetPixelsPerInch() const { return FPixelsPerInch; }
  void SetPixelsPerInch(int Value) { FPixelsPerInch = Value > 0 ? Value : 96; }

  void Assign(TPersistent* Source) override;
  // The settings as a LOGFONT.
  LOGFONTA GetLogFont() const;

protected:
  void FreeHandle() override;

private:
  HFONT FHandle = nullptr;
  String FName = "MS Sans Serif";
  int FHeight = -11;
  TFontStyles FStyle = 0;
  TColor FColor = clWindowText;
  TFontCharset FCharset = DEFAULT_CHARSET;
  TFontPitch FPitch = fpDefault;
  int FOrientation = 0;
  int FPixelsPerInch = 96;
};

enum TPenStyle { psSolid, psDash, psDot, psDashDot, psDashDotDot, psClear, psInsideFrame };
enum TPenMode {
  pmBlack, pmWhite, pmNop, pmNot, pmCopy, pmNotCopy, pmMergePenNot, pmMaskPenNot,
  pmMergeNotPen, pmMaskNotPen, pmMerge, pmNotMerge, pmMask, pmNotMask, pmXor, pmNotXor
};
// The ROP2 code of a pen mode.
int PenModeToRop2(TPenMode Mode);

class TPen : public TGraphicsObject {
public:
  TPen() = default;
  ~TPen() override;

  HPEN GetHandle();
  TColor GetColor() const { return FColor; }
  void SetColor(TColor Value);
  int GetWidth() const { return FWidth; }
  void SetWidth(int Value);
  TPenStyle GetStyle() const { return FStyle; }
  void SetStyle(TPenStyle Value);
  // The mix mode; a canvas applies it with SetROP2.
  TPenMode GetMode() const { return FMode; }
  void SetMode(TPenMode Value);
  void Assign(TPersistent* Source) override;

protected:
  void FreeHandle() override;

private:
  HPEN FHandle = nullptr;
  TColor FColor = clBlack;
  int FWidth = 1;
  TPenStyle FStyle = psSolid;
  TPenMode FMode = pmCopy;
};

enum TBrushStyle {
  bsSolid, bsClear, bsHorizontal, bsVertical, bsFDiagonal, bsBDiagonal, bsCross, bsDiagCross
};

class TBrush : public TGraphicsObject {
public:
  TBrush() = default;
  ~TBrush() override;

  HBRUSH GetHandle();
  TColor GetColor() const { return FColor; }
  // Setting a colour on a clear brush makes it solid.
  void SetColor(TColor Value);
  TBrushStyle GetStyle() const { return FStyle; }
  void SetStyle(TBrushStyle Value);
  // A pattern bitmap (not owned: the caller keeps it alive while the brush uses it).
  TBitmap* GetBitmap() const { return FBitmap; }
  void SetBitmap(TBitmap* Value);
  void Assign(TPersistent* Source) override;

protected:
  void FreeHandle() override;

private:
  HBRUSH FHandle = nullptr;
  bool FOwnsHandle = false;
  TColor FColor = clWhite;
  TBrushStyle FStyle = bsSolid;
  TBitmap* FBitmap = nullptr;
};
