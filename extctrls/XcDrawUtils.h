// Drawing and text routines shared by the extended controls: text drawn without being written
// back, text shortened to a width, fonts that follow another font, masked (transparent)
// bitmap drawing and a checker pattern.
#pragma once

#include "extctrls/XcTypes.h"
#include "platform/vcl/Bitmap.h"
#include "platform/vcl/Canvas.h"
#include "platform/vcl/Controls.h"
#include "platform/vcl/GraphicsObjects.h"
#include "platform/vcl/ImgList.h"

// DrawTextA with the format minus DT_MODIFYSTRING, so that the text is never written back.
int DrawTextOnCanvas(TCanvas* Canvas, const String& Text, int Count, UINT Format, RECT& Rect);
int DrawTextOnDC(HDC DC, const String& Text, int Count, UINT Format, RECT& Rect);
// DrawTextA with the format as given.
int DrawTextRaw(TCanvas* Canvas, const String& Text, int Count, UINT Format, RECT& Rect);

// The text, or its beginning followed by "..." when it is wider than MaxWidth; the first
// shortened form drops two characters, the shortest is "..." alone (returned even if still
// too wide).
String EllipsizeToWidth(const String& Text, TCanvas* Canvas, int MaxWidth);
// tmHeight of the canvas's current font.
int CanvasFontHeight(TCanvas* Canvas);
// With hoFollowFont: copies charset, colour, height, name, pitch and style from Font to
// TrackFont except those whose preserve option is set.
void ApplyTrackFont(TFont* TrackFont, TFont* Font, TXcTrackFontOptions Options);

// The colour as a palette-relative colour reference (RGB + 0x02000000).
COLORREF PaletteRelativeColor(TColor Color);
// A new 8 x 8 bitmap (the caller owns it): Color1, with Color2 where column and row are both
// even or both odd.
TBitmap* MakeCheckerBitmap(TColor Color1, TColor Color2);

// Draws the source rectangle stretched onto the destination rectangle, leaving the pixels of
// TransparentColor (an RGB value) unpainted; the destination is written once.
void StretchMaskedBlt(HDC DestDC, int DestX, int DestY, int DestW, int DestH, HDC SrcDC, int SrcX, int SrcY,
                      int SrcW, int SrcH, HPALETTE Palette, COLORREF TransparentColor);
// A bitmap drawn with a transparent colour: clNone copies every pixel, clDefault takes the
// bottom-left pixel's colour; a monochrome bitmap always uses white. Sizes below 1 mean the
// whole bitmap (source) or its own size (destination).
void StretchBitmapMasked(TCanvas* Canvas, TBitmap* Bitmap, TColor TransparentColor, int DestX, int DestY, int DestW,
                         int DestH, int SrcX, int SrcY, int SrcW, int SrcH);
void DrawBitmapMasked(TCanvas* Canvas, int X, int Y, TBitmap* Bitmap, TColor TransparentColor);

// The raster operation of the disabled images: the current brush where the monochrome source
// selects a pixel, the destination elsewhere.
constexpr DWORD XcMaskedPaintRop = 0x00E20746;

// Disabled looks of a glyph; each returns a new bitmap of the source's size owned by the
// caller. Flat: the pixels that differ from BackColor (white ones excepted) in clBtnHighlight
// one pixel down-right and in clBtnShadow over it, on BackColor.
TBitmap* MakeDisabledBitmapFlat(TBitmap* Source, TColor BackColor);
// The pixels of OutlineColor in ShadowColor (and, with DrawHighlight, in HighlightColor one
// pixel down-right beneath), on BackColor.
TBitmap* MakeDisabledBitmapEx(TBitmap* Source, TColor OutlineColor, TColor BackColor, TColor HighlightColor,
                              TColor ShadowColor, bool DrawHighlight);
TBitmap* MakeDisabledBitmap(TBitmap* Source, TColor OutlineColor);
// The opaque pixels of image Index in GreyColor at (X, Y) (and, with DrawHighlight, in
// HighlightColor at (X + 1, Y + 1) beneath); the canvas's brush colour is kept.
void DrawDisabledImageGlyph(TCustomImageList* Images, TCanvas* Canvas, int X, int Y, int Index,
                            TColor HighlightColor, TColor GreyColor, bool DrawHighlight);

// Extra cursors of the extended controls: ids 368, 370 and 371 take the multi-drag cursor,
// 369 the drag cursor. Errors are swallowed.
void RegisterXclCursors();

// Paints what lies beneath Control into Canvas: the parent's background and painting, then the
// parent's earlier visible children that overlap the control, so that the control looks
// transparent.
void PaintParentImage(TControl* Control, TCanvas* Canvas);
