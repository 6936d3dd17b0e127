// Small drawing helpers shared by every skinned control and the skinned window frame:
// rectangle and point tests, Windows version tests, monitor and work-area rectangles, focus and
// bevel frames, 8-bit and wide text drawing with an ellipsis, and the layout of a button's glyph
// and caption. Halving is integer division truncating toward zero throughout.
#pragma once

#include <string>

#include "platform/rtl/System.h"
#include "platform/rtl/WinTypes.h"
#include "platform/vcl/Bitmap.h"
#include "platform/vcl/Canvas.h"
#include "platform/vcl/Classes.h"
#include "platform/vcl/GraphicsObjects.h"
#include "platform/vcl/ButtonTypes.h"
#include "platform/vcl/ImgList.h"
#include "skin/foundation/SkinGlyphs.h"

// 8-bit text is String (UTF-8 bytes); wide text holds one character per element.
using AnsiString = String;
using WideString = std::wstring;

// Where a button's glyph stands relative to its caption.
using TskButtonLayout = TButtonLayout;

// The number of equal frames in a glyph strip bitmap: 1 to 4 (up, disabled, down, hot).
using TskNumGlyphs = int;

// Rectangles (right and bottom edges exclusive) and points.
int RectWidth(const TRect& R);
int RectHeight(const TRect& R);
bool EqualRects(const TRect& A, const TRect& B);
TRect NullRect();
// True for any empty or inverted rectangle, not only (0, 0, 0, 0).
bool IsNullRect(const TRect& R);
// True when either coordinate is 0.
bool IsNullPoint(const TPoint& P);
// All four edges inclusive.
bool PointInsideRect(const TRect& R, const TPoint& P);
// A's top-left and bottom-right corners both lie in B by PtInRect (B's right and bottom edges
// exclusive), so A.Right must be less than B.Right.
bool RectInRect(const TRect& A, const TRect& B);
int IntMax(int A, int B);
int IntMin(int A, int B);

// Windows version, from GetVersion (low byte major, next byte minor).
void GetWindowsVersion(int& Major, int& Minor);
bool IsWindowsVistaOrLater();
bool IsWindowsXPOrLater();
// The test for layered windows and per-pixel alpha throughout the skin library.
bool IsWindows2000OrLater();
// The same tests for a given version (what the three above apply to GetWindowsVersion).
bool IsWindowsVistaOrLaterVersion(int Major, int Minor);
bool IsWindowsXPOrLaterVersion(int Major, int Minor);
bool IsWindows2000OrLaterVersion(int Major, int Minor);

// Monitors and work areas. The monitor functions are the bound ones of SkinSystemFunctions();
// without them there is a single monitor.
bool HasMultipleMonitors();
// WorkArea: the desktop work area; otherwise (0, 0, Screen width, Screen height).
void GetDesktopWorkArea(bool WorkArea, TRect& R);
// The work area (WorkArea) or the whole area of the monitor nearest to Wnd. When the monitor
// query fails R is left as it was, so callers initialise it.
void GetMonitorArea(HWND Wnd, bool WorkArea, TRect& R);

// Frames.
// A dotted one-pixel outline in the canvas font's colour (the pen colour is set to it too).
void DrawDottedFocusRect(TCanvas* Canvas, const TRect& R);
// A one-pixel three-dimensional frame: top and left in TopLeftColor, right and bottom (and the
// top-right corner pixel) in BottomRightColor.
void DrawBevelFrame(TCanvas* Canvas, const TRect& R, TColor TopLeftColor, TColor BottomRightColor);

// Text.
// Shortens Text in place so that it fits MaxWidth pixels, ending in "..." ("..." alone when not
// even that fits); a text that fits stays as it is.
void EllipsizeText(TCanvas* Canvas, AnsiString& Text, int MaxWidth);
void EllipsizeTextW(TCanvas* Canvas, WideString& Text, int MaxWidth);
// DrawTextW on the canvas with the DT_ format flags (DrawTextA with the 8-bit form of the text
// when wide drawing is not available); returns DrawText's value (with DT_CALCRECT R receives the
// measured rectangle).
int DrawWideText(TCanvas* Canvas, const WideString& Text, TRect& R, UINT Format);
int TextWidthW(TCanvas* Canvas, const WideString& Text);
int TextHeightW(TCanvas* Canvas, const WideString& Text);
// One line, vertically centred in R (DT_SINGLELINE | DT_VCENTER); nothing for an empty text.
void DrawSingleLineText(TCanvas* Canvas, const AnsiString& Text, const TRect& R);
// Text clipped to R, 2 pixels from its left edge (plus Offset) and vertically centred; nothing
// for an empty text.
void DrawTextVCentered(TCanvas* Canvas, const AnsiString& Text, const TRect& R);
void DrawTextVCenteredOffset(TCanvas* Canvas, const AnsiString& Text, const TRect& R, int Offset);

// Glyph and caption of a button.
// Positions of glyph and caption in R. A Margin of -1 centres the group; any other Margin pins
// the glyph to the layout's side. A Layout outside the four values leaves the outputs unset.
void CalcButtonLayout(TskButtonLayout Layout, const TRect& R, int GlyphWidth, int GlyphHeight,
                      int TextWidth, int TextHeight, int Spacing, int Margin, int& TextX,
                      int& TextY, int& GlyphX, int& GlyphY);
// Glyph ImageIndex of Images (none when out of range or Images is null) and Caption, laid out in
// R; Down shifts everything by one pixel; ShowColorBar draws a bar in BarColor under the glyph,
// under the caption, or (with neither) fills most of R.
void DrawImageListGlyphAndText(TCanvas* Canvas, const TRect& R, int Margin, int Spacing,
                               TskButtonLayout Layout, const AnsiString& Caption, int ImageIndex,
                               TCustomImageList* Images, bool Down, bool Enabled,
                               bool ShowColorBar, TColor BarColor);
// The same with frame GlyphIndex (from 1) of a strip bitmap of NumGlyphs equal frames.
void DrawBitmapGlyphAndText(TCanvas* Canvas, const TRect& R, int Margin, int Spacing,
                            TskButtonLayout Layout, const AnsiString& Caption, TBitmap* Glyph,
                            TskNumGlyphs NumGlyphs, int GlyphIndex, bool Down, bool ShowColorBar,
                            TColor BarColor);
