// Backgrounds that blend with a themed parent, and small drawing wrappers of the extended
// controls.
//
// FillThemedBackground fills a rectangle of a control's canvas in a colour, or, when visual
// themes are on and the colour is the parent's, draws the parent's own background there
// instead. The EraseParentBackground family has the parent erase its background into a DC of
// the control: the DC's window origin is moved so that the parent's coordinates land on the
// control, and with a rectangle the parent draws only there. The DC is given back with the
// origin and the clip it had; a DC that had no clip region has none afterwards.
//
// Printing: every windowed control's WM_PRINTCLIENT leaves the DC's state (origin, clip,
// selected objects) as it found it. The stock windowed control does this itself here, and the
// extended controls' window procedure does it again for its members, so nothing has to be
// patched at start-up.
#pragma once

#include "platform/vcl/Canvas.h"
#include "platform/vcl/Controls.h"
#include "platform/vcl/ImgList.h"
#include "platform/vcl/Themes.h"

// The control-style bits that concern themes: csNeedsBorderPaint and csParentBackground.
constexpr TControlStyle XcThemeStyleMask = csNeedsBorderPaint | csParentBackground;
// "No rectangle" for EraseParentBackgroundInRect.
constexpr TRect XcNoRect{0x7FFFFFFF, 0x7FFFFFFF, 0x7FFFFFFF, 0x7FFFFFFF};

// The core with the canvas's current brush colour.
void FillThemedBackground(TControl* Control, TCanvas* Canvas, const TRect& Rect, bool NeedsParentBackground);
// A plain fill in Color when themes are off, the control has no parent, Color is not the
// parent's (directly or as RGB), or the parent's background is needed and the control's style
// lacks csParentBackground; the canvas's brush colour is as it was afterwards. Otherwise the
// parent's background: through the theme services for a windowed control that is not
// double-buffered, through EraseParentBackgroundRect for the others.
void FillThemedBackgroundColor(TControl* Control, TCanvas* Canvas, const TRect& Rect, bool NeedsParentBackground,
                               TColor Color);

// The parent erases its background into DC, moved by Offset, over the whole DC.
void EraseParentBackgroundAt(TControl* Control, HDC DC, const TPoint& Offset);
// The same with the control's Left and Top as offset.
void EraseParentBackground(TControl* Control, HDC DC);
// The same limited to Rect.
void EraseParentBackgroundRect(TControl* Control, HDC DC, const TRect& Rect);
// The core: nothing without a parent. A non-zero Offset moves the DC's window origin by Offset
// (for graphic and windowed controls alike); a Rect other than XcNoRect becomes the DC's clip
// region meanwhile; the parent gets WM_ERASEBKGND with the DC as wParam and lParam.
void EraseParentBackgroundInRect(TControl* Control, HDC DC, const TPoint& Offset, const TRect& Rect);

TThemeServices* XcThemeServices();
// Adds the bits of Style within XcThemeStyleMask to the control's style; other bits are ignored.
void AddThemeStyle(TControl* Control, TControlStyle Style);
TControlStyle ThemeStyleBits(TControl* Control);
// There is no glass frame here.
inline bool ControlInGlassPaint(TControl*) { return false; }
inline int NoGlassSupport() { return 0; }

// DrawTextA of the whole text in Format (Unused has no effect).
int DrawTextPlain(HDC DC, const String& Text, TRect& Rect, bool Unused, UINT Format);
// Draws image Index of the list at (X, Y) of DC with the ILD_ style; the objects selected into
// DC are as they were afterwards.
void DrawImageListItem(TCustomImageList* ImageList, int Index, HDC DC, int X, int Y, UINT Style);
