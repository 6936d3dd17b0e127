// The drawing API: a software renderer over pixel buffers with the Win32 GDI names, structures,
// constants and semantics. Everything is headless; a window's device context draws into the
// window system's backing store (see SurfaceDC.h).
//
// Pixel rules:
// - COLORREF is 0x00BBGGRR. A 32-bpp pixel is the bytes B, G, R, A (0xAARRGGBB read as a
//   little-endian uint32); a 24-bpp pixel is B, G, R.
// - On 32-bpp surfaces every drawing operation writes alpha 0 into the pixels it draws (fills,
//   lines, shapes, text, pattern blits, colour conversions), as Windows does. Only AlphaBlend and
//   raster operations whose source is a 32-bpp surface carry alpha (BitBlt/StretchBlt SRCCOPY from
//   a 32-bpp source copies it; other ternary operations apply to all 32 bits, with the pattern's
//   alpha 0). Code that shows a surface with per-pixel alpha must set alpha itself afterwards.
// - Rectangles are right/bottom exclusive. Device coordinates = logical - window origin +
//   viewport origin; every output is clipped to the device's system area, the selected clip
//   region and the surface.
// - Indexed surfaces (1, 4, 8 bpp) take the nearest colour of their colour table; raster
//   operations on them work on the index bits, as on Windows.
// - StretchBlt in COLORONCOLOR takes for destination column dx the source column
//   floor((dx + 0.5) * SrcWidth / DstWidth) (rows likewise); HALFTONE averages the covered source
//   area with exact area weights; BLACKONWHITE / WHITEONBLACK keep dark / light pixels when
//   shrinking (AND / OR of the merged source pixels).
// - Pens draw at most 4096 pixels wide; Ellipse, RoundRect, Arc, Pie and Chord refuse shapes
//   larger than 2^20 pixels; device coordinates are kept within +-2^30. Far-away coordinates
//   are clipped before any work, so they cost nothing.
// - Cosmetic dash styles: PS_DASH 18 on / 6 off, PS_DOT 3/3, PS_DASHDOT 9/6/3/6,
//   PS_DASHDOTDOT 9/3/3/3/3/3, PS_ALTERNATE 1/1; gaps take the background colour in OPAQUE
//   mode. Wide geometric pens scale dashes with the width; wide CreatePen pens draw solid.
// - Handles are never reused quickly; a stale or wrong-typed handle makes a call fail (FALSE,
//   nullptr, 0, GDI_ERROR or CLR_INVALID, as the Windows function reports failure), never crash.
// - DeleteObject of a stock object does nothing and returns TRUE. DeleteObject of an object that
//   is selected into a device context (or held by one of its saved states) is refused with FALSE;
//   delete it after selecting it out or deleting the DC.
//
// Text functions (fonts, TextOut, DrawText, extents, metrics) are declared here and implemented
// in the Font/Text files. Text is UTF-8 bytes; the A functions and their unsuffixed names are the
// same function.
#pragma once

#include <cstdint>
#include <vector>

#include "platform/gdi/Region.h"
#include "platform/rtl/System.h"
#include "platform/rtl/WinTypes.h"

using FLOAT = float;
using LPINT = int*;

// ---------------------------------------------------------------------------------------------
// Structures
// ---------------------------------------------------------------------------------------------

struct RGBQUAD {
  BYTE rgbBlue = 0;
  BYTE rgbGreen = 0;
  BYTE rgbRed = 0;
  BYTE rgbReserved = 0;
};

struct BITMAPINFOHEADER {
  DWORD biSize = 40;
  LONG biWidth = 0;
  LONG biHeight = 0; // negative: top-down rows
  WORD biPlanes = 1;
  WORD biBitCount = 0;
  DWORD biCompression = 0;
  DWORD biSizeImage = 0;
  LONG biXPelsPerMeter = 0;
  LONG biYPelsPerMeter = 0;
  DWORD biClrUsed = 0;
  DWORD biClrImportant = 0;
};
using PBITMAPINFOHEADER = BITMAPINFOHEADER*;

// Callers that pass colour tables allocate room for them after the header, as on Windows.
struct BITMAPINFO {
  BITMAPINFOHEADER bmiHeader;
  RGBQUAD bmiColors[1];
};
using PBITMAPINFO = BITMAPINFO*;
using LPBITMAPINFO = BITMAPINFO*;

struct BITMAP {
  LONG bmType = 0;
  LONG bmWidth = 0;
  LONG bmHeight = 0;
  LONG bmWidthBytes = 0;
  WORD bmPlanes = 1;
  WORD bmBitsPixel = 0;
  LPVOID bmBits = nullptr;
};
using PBITMAP = BITMAP*;

struct DIBSECTION {
  BITMAP dsBm;
  BITMAPINFOHEADER dsBmih;
  DWORD dsBitfields[3] = {0, 0, 0};
  HANDLE dshSection = nullptr;
  DWORD dsOffset = 0;
};

struct LOGPEN {
  UINT lopnStyle = 0;
  POINT lopnWidth; // only x is used
  COLORREF lopnColor = 0;
};

struct EXTLOGPEN {
  DWORD elpPenStyle = 0;
  DWORD elpWidth = 0;
  UINT elpBrushStyle = 0;
  COLORREF elpColor = 0;
  ULONG_PTR elpHatch = 0;
  DWORD elpNumEntries = 0;
  DWORD elpStyleEntry[1] = {0};
};

struct LOGBRUSH {
  UINT lbStyle = 0;
  COLORREF lbColor = 0;
  ULONG_PTR lbHatch = 0; // HS_* for BS_HATCHED, the HBITMAP for BS_PATTERN
};

constexpr int LF_FACESIZE = 32;

struct LOGFONTA {
  LONG lfHeight = 0;
  LONG lfWidth = 0;
  LONG lfEscapement = 0;
  LONG lfOrientation = 0;
  LONG lfWeight = 0;
  BYTE lfItalic = 0;
  BYTE lfUnderline = 0;
  BYTE lfStrikeOut = 0;
  BYTE lfCharSet = 0;
  BYTE lfOutPrecision = 0;
  BYTE lfClipPrecision = 0;
  BYTE lfQuality = 0;
  BYTE lfPitchAndFamily = 0;
  CHAR lfFaceName[LF_FACESIZE] = {};
};
using LOGFONT = LOGFONTA;

struct TEXTMETRICA {
  LONG tmHeight = 0;
  LONG tmAscent = 0;
  LONG tmDescent = 0;
  LONG tmInternalLeading = 0;
  LONG tmExternalLeading = 0;
  LONG tmAveCharWidth = 0;
  LONG tmMaxCharWidth = 0;
  LONG tmWeight = 0;
  LONG tmOverhang = 0;
  LONG tmDigitizedAspectX = 0;
  LONG tmDigitizedAspectY = 0;
  BYTE tmFirstChar = 0;
  BYTE tmLastChar = 0;
  BYTE tmDefaultChar = 0;
  BYTE tmBreakChar = 0;
  BYTE tmItalic = 0;
  BYTE tmUnderlined = 0;
  BYTE tmStruckOut = 0;
  BYTE tmPitchAndFamily = 0;
  BYTE tmCharSet = 0;
};
using TEXTMETRIC = TEXTMETRICA;

struct DRAWTEXTPARAMS {
  UINT cbSize = sizeof(DRAWTEXTPARAMS);
  int iTabLength = 0;
  int iLeftMargin = 0;
  int iRightMargin = 0;
  UINT uiLengthDrawn = 0;
};
using LPDRAWTEXTPARAMS = DRAWTEXTPARAMS*;

struct BLENDFUNCTION {
  BYTE BlendOp = 0;
  BYTE BlendFlags = 0;
  BYTE SourceConstantAlpha = 255;
  BYTE AlphaFormat = 0;
};

struct RGNDATAHEADER {
  DWORD dwSize = sizeof(RGNDATAHEADER);
  DWORD iType = 1; // RDH_RECTANGLES
  DWORD nCount = 0;
  DWORD nRgnSize = 0;
  RECT rcBound;
};

// The rectangles follow the header in Buffer (nCount RECTs).
struct RGNDATA {
  RGNDATAHEADER rdh;
  char Buffer[1];
};
using LPRGNDATA = RGNDATA*;

struct XFORM {
  FLOAT eM11 = 1;
  FLOAT eM12 = 0;
  FLOAT eM21 = 0;
  FLOAT eM22 = 1;
  FLOAT eDx = 0;
  FLOAT eDy = 0;
};

struct PALETTEENTRY {
  BYTE peRed = 0;
  BYTE peGreen = 0;
  BYTE peBlue = 0;
  BYTE peFlags = 0;
};

struct LOGPALETTE {
  WORD palVersion = 0x300;
  WORD palNumEntries = 0;
  PALETTEENTRY palPalEntry[1];
};

using COLOR16 = USHORT;
struct TRIVERTEX {
  LONG x = 0;
  LONG y = 0;
  COLOR16 Red = 0; // 8.8 fixed point: the colour byte is the high byte
  COLOR16 Green = 0;
  COLOR16 Blue = 0;
  COLOR16 Alpha = 0;
};
struct GRADIENT_RECT {
  ULONG UpperLeft = 0;
  ULONG LowerRight = 0;
};

// ---------------------------------------------------------------------------------------------
// Constants
// ---------------------------------------------------------------------------------------------

// Object types (GetObjectType, GetCurrentObject).
constexpr DWORD OBJ_PEN = 1;
constexpr DWORD OBJ_BRUSH = 2;
constexpr DWORD OBJ_DC = 3;
constexpr DWORD OBJ_METADC = 4;
constexpr DWORD OBJ_PAL = 5;
constexpr DWORD OBJ_FONT = 6;
constexpr DWORD OBJ_BITMAP = 7;
constexpr DWORD OBJ_REGION = 8;
constexpr DWORD OBJ_METAFILE = 9;
constexpr DWORD OBJ_MEMDC = 10;
constexpr DWORD OBJ_EXTPEN = 11;
constexpr DWORD OBJ_ENHMETADC = 12;
constexpr DWORD OBJ_ENHMETAFILE = 13;

// Stock objects.
constexpr int WHITE_BRUSH = 0;
constexpr int LTGRAY_BRUSH = 1;
constexpr int GRAY_BRUSH = 2;
constexpr int DKGRAY_BRUSH = 3;
constexpr int BLACK_BRUSH = 4;
constexpr int NULL_BRUSH = 5;
constexpr int HOLLOW_BRUSH = NULL_BRUSH;
constexpr int WHITE_PEN = 6;
constexpr int BLACK_PEN = 7;
constexpr int NULL_PEN = 8;
constexpr int OEM_FIXED_FONT = 10;
constexpr int ANSI_FIXED_FONT = 11;
constexpr int ANSI_VAR_FONT = 12;
constexpr int SYSTEM_FONT = 13;
constexpr int DEVICE_DEFAULT_FONT = 14;
constexpr int DEFAULT_PALETTE = 15;
constexpr int SYSTEM_FIXED_FONT = 16;
constexpr int DEFAULT_GUI_FONT = 17;
constexpr int DC_BRUSH = 18;
constexpr int DC_PEN = 19;

// Errors and special colours.
constexpr DWORD GDI_ERROR = 0xFFFFFFFF;
inline HGDIOBJ const HGDI_ERROR = reinterpret_cast<HGDIOBJ>(static_cast<std::intptr_t>(-1));
constexpr COLORREF CLR_INVALID = 0xFFFFFFFF;
constexpr COLORREF CLR_NONE = 0xFFFFFFFF;
constexpr COLORREF CLR_DEFAULT = 0xFF000000;
// Region results (with NULLREGION, SIMPLEREGION, COMPLEXREGION of Region.h).
constexpr int ERROR = 0;
constexpr DWORD RDH_RECTANGLES = 1;

// Bitmaps.
constexpr DWORD BI_RGB = 0;
constexpr DWORD BI_RLE8 = 1;
constexpr DWORD BI_RLE4 = 2;
constexpr DWORD BI_BITFIELDS = 3;
constexpr DWORD BI_JPEG = 4;
constexpr DWORD BI_PNG = 5;
constexpr UINT DIB_RGB_COLORS = 0;
constexpr UINT DIB_PAL_COLORS = 1;
constexpr DWORD CBM_INIT = 4;

// Ternary raster operations. Bits 16..23 are the truth table of pattern (0xF0), source (0xCC)
// and destination (0xAA); the low word is ignored.
constexpr DWORD SRCCOPY = 0x00CC0020;
constexpr DWORD SRCPAINT = 0x00EE0086;
constexpr DWORD SRCAND = 0x008800C6;
constexpr DWORD SRCINVERT = 0x00660046;
constexpr DWORD SRCERASE = 0x00440328;
constexpr DWORD NOTSRCCOPY = 0x00330008;
constexpr DWORD NOTSRCERASE = 0x001100A6;
constexpr DWORD MERGECOPY = 0x00C000CA;
constexpr DWORD MERGEPAINT = 0x00BB0226;
constexpr DWORD PATCOPY = 0x00F00021;
constexpr DWORD PATPAINT = 0x00FB0A09;
constexpr DWORD PATINVERT = 0x005A0049;
constexpr DWORD DSTINVERT = 0x00550009;
constexpr DWORD BLACKNESS = 0x00000042;
constexpr DWORD WHITENESS = 0x00FF0062;
constexpr DWORD NOMIRRORBITMAP = 0x80000000;
constexpr DWORD CAPTUREBLT = 0x40000000;
// MaskBlt's pair of operations: fore for mask bits 1, back for mask bits 0.
constexpr DWORD MAKEROP4(DWORD Fore, DWORD Back) { return ((Back << 8) & 0xFF000000) | Fore; }

// Binary raster operations of pens and fills (SetROP2).
constexpr int R2_BLACK = 1;
constexpr int R2_NOTMERGEPEN = 2;
constexpr int R2_MASKNOTPEN = 3;
constexpr int R2_NOTCOPYPEN = 4;
constexpr int R2_MASKPENNOT = 5;
constexpr int R2_NOT = 6;
constexpr int R2_XORPEN = 7;
constexpr int R2_NOTMASKPEN = 8;
constexpr int R2_MASKPEN = 9;
constexpr int R2_NOTXORPEN = 10;
constexpr int R2_NOP = 11;
constexpr int R2_MERGENOTPEN = 12;
constexpr int R2_COPYPEN = 13;
constexpr int R2_MERGEPENNOT = 14;
constexpr int R2_MERGEPEN = 15;
constexpr int R2_WHITE = 16;

// Stretch modes.
constexpr int BLACKONWHITE = 1;
constexpr int WHITEONBLACK = 2;
constexpr int COLORONCOLOR = 3;
constexpr int HALFTONE = 4;
constexpr int STRETCH_ANDSCANS = BLACKONWHITE;
constexpr int STRETCH_ORSCANS = WHITEONBLACK;
constexpr int STRETCH_DELETESCANS = COLORONCOLOR;
constexpr int STRETCH_HALFTONE = HALFTONE;

// Background modes, polygon fill modes, mapping mode.
constexpr int TRANSPARENT = 1;
constexpr int OPAQUE = 2;
constexpr int ALTERNATE = 1;
constexpr int WINDING = 2;
constexpr int MM_TEXT = 1;

// Clip region modes (ExtSelectClipRgn uses the RGN_* values of Region.h).

// Pens.
constexpr DWORD PS_SOLID = 0;
constexpr DWORD PS_DASH = 1;
constexpr DWORD PS_DOT = 2;
constexpr DWORD PS_DASHDOT = 3;
constexpr DWORD PS_DASHDOTDOT = 4;
constexpr DWORD PS_NULL = 5;
constexpr DWORD PS_INSIDEFRAME = 6;
constexpr DWORD PS_USERSTYLE = 7;
constexpr DWORD PS_ALTERNATE = 8;
constexpr DWORD PS_STYLE_MASK = 0x0000000F;
constexpr DWORD PS_ENDCAP_ROUND = 0x00000000;
constexpr DWORD PS_ENDCAP_SQUARE = 0x00000100;
constexpr DWORD PS_ENDCAP_FLAT = 0x00000200;
constexpr DWORD PS_ENDCAP_MASK = 0x00000F00;
constexpr DWORD PS_JOIN_ROUND = 0x00000000;
constexpr DWORD PS_JOIN_BEVEL = 0x00001000;
constexpr DWORD PS_JOIN_MITER = 0x00002000;
constexpr DWORD PS_JOIN_MASK = 0x0000F000;
constexpr DWORD PS_COSMETIC = 0x00000000;
constexpr DWORD PS_GEOMETRIC = 0x00010000;
constexpr DWORD PS_TYPE_MASK = 0x000F0000;

// Brushes.
constexpr UINT BS_SOLID = 0;
constexpr UINT BS_NULL = 1;
constexpr UINT BS_HOLLOW = BS_NULL;
constexpr UINT BS_HATCHED = 2;
constexpr UINT BS_PATTERN = 3;
constexpr UINT BS_INDEXED = 4;
constexpr UINT BS_DIBPATTERN = 5;
constexpr UINT BS_DIBPATTERNPT = 6;
constexpr UINT BS_PATTERN8X8 = 7;
constexpr UINT BS_DIBPATTERN8X8 = 8;
constexpr int HS_HORIZONTAL = 0;
constexpr int HS_VERTICAL = 1;
constexpr int HS_FDIAGONAL = 2;
constexpr int HS_BDIAGONAL = 3;
constexpr int HS_CROSS = 4;
constexpr int HS_DIAGCROSS = 5;

// Flood fill types.
constexpr UINT FLOODFILLBORDER = 0;
constexpr UINT FLOODFILLSURFACE = 1;

// Alpha blending and gradients.
constexpr BYTE AC_SRC_OVER = 0;
constexpr BYTE AC_SRC_ALPHA = 1;
constexpr ULONG GRADIENT_FILL_RECT_H = 0;
constexpr ULONG GRADIENT_FILL_RECT_V = 1;
constexpr ULONG GRADIENT_FILL_TRIANGLE = 2;

// GetDeviceCaps indices and answers.
constexpr int DRIVERVERSION = 0;
constexpr int TECHNOLOGY = 2;
constexpr int HORZSIZE = 4;
constexpr int VERTSIZE = 6;
constexpr int HORZRES = 8;
constexpr int VERTRES = 10;
constexpr int BITSPIXEL = 12;
constexpr int PLANES = 14;
constexpr int NUMBRUSHES = 16;
constexpr int NUMPENS = 18;
constexpr int NUMMARKERS = 20;
constexpr int NUMFONTS = 22;
constexpr int NUMCOLORS = 24;
constexpr int PDEVICESIZE = 26;
constexpr int CURVECAPS = 28;
constexpr int LINECAPS = 30;
constexpr int POLYGONALCAPS = 32;
constexpr int TEXTCAPS = 34;
constexpr int CLIPCAPS = 36;
constexpr int RASTERCAPS = 38;
constexpr int ASPECTX = 40;
constexpr int ASPECTY = 42;
constexpr int ASPECTXY = 44;
constexpr int LOGPIXELSX = 88;
constexpr int LOGPIXELSY = 90;
constexpr int SIZEPALETTE = 104;
constexpr int NUMRESERVED = 106;
constexpr int COLORRES = 108;
constexpr int PHYSICALWIDTH = 110;
constexpr int PHYSICALHEIGHT = 111;
constexpr int PHYSICALOFFSETX = 112;
constexpr int PHYSICALOFFSETY = 113;
constexpr int VREFRESH = 116;
constexpr int DESKTOPVERTRES = 117;
constexpr int DESKTOPHORZRES = 118;
constexpr int BLTALIGNMENT = 119;
constexpr int SHADEBLENDCAPS = 120;
constexpr int DT_PLOTTER = 0;
constexpr int DT_RASDISPLAY = 1;
constexpr int RC_BITBLT = 0x0001;
constexpr int RC_BANDING = 0x0002;
constexpr int RC_SCALING = 0x0004;
constexpr int RC_BITMAP64 = 0x0008;
constexpr int RC_GDI20_OUTPUT = 0x0010;
constexpr int RC_DI_BITMAP = 0x0080;
constexpr int RC_PALETTE = 0x0100;
constexpr int RC_DIBTODEV = 0x0200;
constexpr int RC_BIGFONT = 0x0400;
constexpr int RC_STRETCHBLT = 0x0800;
constexpr int RC_FLOODFILL = 0x1000;
constexpr int RC_STRETCHDIB = 0x2000;
constexpr int SB_CONST_ALPHA = 0x00000001;
constexpr int SB_PIXEL_ALPHA = 0x00000002;
constexpr int SB_PREMULT_ALPHA = 0x00000004;

// Borders of DrawEdge.
constexpr UINT BDR_RAISEDOUTER = 0x0001;
constexpr UINT BDR_SUNKENOUTER = 0x0002;
constexpr UINT BDR_RAISEDINNER = 0x0004;
constexpr UINT BDR_SUNKENINNER = 0x0008;
constexpr UINT BDR_OUTER = BDR_RAISEDOUTER | BDR_SUNKENOUTER;
constexpr UINT BDR_INNER = BDR_RAISEDINNER | BDR_SUNKENINNER;
constexpr UINT BDR_RAISED = BDR_RAISEDOUTER | BDR_RAISEDINNER;
constexpr UINT BDR_SUNKEN = BDR_SUNKENOUTER | BDR_SUNKENINNER;
constexpr UINT EDGE_RAISED = BDR_RAISEDOUTER | BDR_RAISEDINNER;
constexpr UINT EDGE_SUNKEN = BDR_SUNKENOUTER | BDR_SUNKENINNER;
constexpr UINT EDGE_ETCHED = BDR_SUNKENOUTER | BDR_RAISEDINNER;
constexpr UINT EDGE_BUMP = BDR_RAISEDOUTER | BDR_SUNKENINNER;
constexpr UINT BF_LEFT = 0x0001;
constexpr UINT BF_TOP = 0x0002;
constexpr UINT BF_RIGHT = 0x0004;
constexpr UINT BF_BOTTOM = 0x0008;
constexpr UINT BF_TOPLEFT = BF_TOP | BF_LEFT;
constexpr UINT BF_TOPRIGHT = BF_TOP | BF_RIGHT;
constexpr UINT BF_BOTTOMLEFT = BF_BOTTOM | BF_LEFT;
constexpr UINT BF_BOTTOMRIGHT = BF_BOTTOM | BF_RIGHT;
constexpr UINT BF_RECT = BF_LEFT | BF_TOP | BF_RIGHT | BF_BOTTOM;
constexpr UINT BF_DIAGONAL = 0x0010;
constexpr UINT BF_DIAGONAL_ENDTOPRIGHT = BF_DIAGONAL | BF_TOP | BF_RIGHT;
constexpr UINT BF_DIAGONAL_ENDTOPLEFT = BF_DIAGONAL | BF_TOP | BF_LEFT;
constexpr UINT BF_DIAGONAL_ENDBOTTOMLEFT = BF_DIAGONAL | BF_BOTTOM | BF_LEFT;
constexpr UINT BF_DIAGONAL_ENDBOTTOMRIGHT = BF_DIAGONAL | BF_BOTTOM | BF_RIGHT;
constexpr UINT BF_MIDDLE = 0x0800;
constexpr UINT BF_SOFT = 0x1000;
constexpr UINT BF_ADJUST = 0x2000;
constexpr UINT BF_FLAT = 0x4000;
constexpr UINT BF_MONO = 0x8000;

// DrawFrameControl.
constexpr UINT DFC_CAPTION = 1;
constexpr UINT DFC_MENU = 2;
constexpr UINT DFC_SCROLL = 3;
constexpr UINT DFC_BUTTON = 4;
constexpr UINT DFC_POPUPMENU = 5;
constexpr UINT DFCS_CAPTIONCLOSE = 0x0000;
constexpr UINT DFCS_CAPTIONMIN = 0x0001;
constexpr UINT DFCS_CAPTIONMAX = 0x0002;
constexpr UINT DFCS_CAPTIONRESTORE = 0x0003;
constexpr UINT DFCS_CAPTIONHELP = 0x0004;
constexpr UINT DFCS_MENUARROW = 0x0000;
constexpr UINT DFCS_MENUCHECK = 0x0001;
constexpr UINT DFCS_MENUBULLET = 0x0002;
constexpr UINT DFCS_MENUARROWRIGHT = 0x0004;
constexpr UINT DFCS_SCROLLUP = 0x0000;
constexpr UINT DFCS_SCROLLDOWN = 0x0001;
constexpr UINT DFCS_SCROLLLEFT = 0x0002;
constexpr UINT DFCS_SCROLLRIGHT = 0x0003;
constexpr UINT DFCS_SCROLLCOMBOBOX = 0x0005;
constexpr UINT DFCS_SCROLLSIZEGRIP = 0x0008;
constexpr UINT DFCS_SCROLLSIZEGRIPRIGHT = 0x0010;
constexpr UINT DFCS_BUTTONCHECK = 0x0000;
constexpr UINT DFCS_BUTTONRADIOIMAGE = 0x0001;
constexpr UINT DFCS_BUTTONRADIOMASK = 0x0002;
constexpr UINT DFCS_BUTTONRADIO = 0x0004;
constexpr UINT DFCS_BUTTON3STATE = 0x0008;
constexpr UINT DFCS_BUTTONPUSH = 0x0010;
constexpr UINT DFCS_INACTIVE = 0x0100;
constexpr UINT DFCS_PUSHED = 0x0200;
constexpr UINT DFCS_CHECKED = 0x0400;
constexpr UINT DFCS_TRANSPARENT = 0x0800;
constexpr UINT DFCS_HOT = 0x1000;
constexpr UINT DFCS_ADJUSTRECT = 0x2000;
constexpr UINT DFCS_FLAT = 0x4000;
constexpr UINT DFCS_MONO = 0x8000;

// System colours. FillRect also takes COLOR_xxx + 1 in place of a brush handle.
constexpr int COLOR_SCROLLBAR = 0;
constexpr int COLOR_BACKGROUND = 1;
constexpr int COLOR_DESKTOP = COLOR_BACKGROUND;
constexpr int COLOR_ACTIVECAPTION = 2;
constexpr int COLOR_INACTIVECAPTION = 3;
constexpr int COLOR_MENU = 4;
constexpr int COLOR_WINDOW = 5;
constexpr int COLOR_WINDOWFRAME = 6;
constexpr int COLOR_MENUTEXT = 7;
constexpr int COLOR_WINDOWTEXT = 8;
constexpr int COLOR_CAPTIONTEXT = 9;
constexpr int COLOR_ACTIVEBORDER = 10;
constexpr int COLOR_INACTIVEBORDER = 11;
constexpr int COLOR_APPWORKSPACE = 12;
constexpr int COLOR_HIGHLIGHT = 13;
constexpr int COLOR_HIGHLIGHTTEXT = 14;
constexpr int COLOR_BTNFACE = 15;
constexpr int COLOR_3DFACE = COLOR_BTNFACE;
constexpr int COLOR_BTNSHADOW = 16;
constexpr int COLOR_3DSHADOW = COLOR_BTNSHADOW;
constexpr int COLOR_GRAYTEXT = 17;
constexpr int COLOR_BTNTEXT = 18;
constexpr int COLOR_INACTIVECAPTIONTEXT = 19;
constexpr int COLOR_BTNHIGHLIGHT = 20;
constexpr int COLOR_BTNHILIGHT = COLOR_BTNHIGHLIGHT;
constexpr int COLOR_3DHIGHLIGHT = COLOR_BTNHIGHLIGHT;
constexpr int COLOR_3DHILIGHT = COLOR_BTNHIGHLIGHT;
constexpr int COLOR_3DDKSHADOW = 21;
constexpr int COLOR_3DLIGHT = 22;
constexpr int COLOR_INFOTEXT = 23;
constexpr int COLOR_INFOBK = 24;
constexpr int COLOR_HOTLIGHT = 26;
constexpr int COLOR_GRADIENTACTIVECAPTION = 27;
constexpr int COLOR_GRADIENTINACTIVECAPTION = 28;
constexpr int COLOR_MENUHILIGHT = 29;
constexpr int COLOR_MENUBAR = 30;
// Number of system colour entries (0 .. COLOR_ENDCOLORS - 1).
constexpr int COLOR_ENDCOLORS = 31;

// Text alignment (SetTextAlign).
constexpr UINT TA_NOUPDATECP = 0;
constexpr UINT TA_UPDATECP = 1;
constexpr UINT TA_LEFT = 0;
constexpr UINT TA_RIGHT = 2;
constexpr UINT TA_CENTER = 6;
constexpr UINT TA_TOP = 0;
constexpr UINT TA_BOTTOM = 8;
constexpr UINT TA_BASELINE = 24;
constexpr UINT TA_RTLREADING = 256;
constexpr UINT TA_MASK = TA_BASELINE + TA_CENTER + TA_UPDATECP + TA_RTLREADING;

// ExtTextOut options.
constexpr UINT ETO_OPAQUE = 0x0002;
constexpr UINT ETO_CLIPPED = 0x0004;
constexpr UINT ETO_GLYPH_INDEX = 0x0010;
constexpr UINT ETO_RTLREADING = 0x0080;
constexpr UINT ETO_NUMERICSLOCAL = 0x0400;
constexpr UINT ETO_NUMERICSLATIN = 0x0800;
constexpr UINT ETO_IGNORELANGUAGE = 0x1000;
constexpr UINT ETO_PDY = 0x2000;

// DrawText formats.
constexpr UINT DT_TOP = 0x00000000;
constexpr UINT DT_LEFT = 0x00000000;
constexpr UINT DT_CENTER = 0x00000001;
constexpr UINT DT_RIGHT = 0x00000002;
constexpr UINT DT_VCENTER = 0x00000004;
constexpr UINT DT_BOTTOM = 0x00000008;
constexpr UINT DT_WORDBREAK = 0x00000010;
constexpr UINT DT_SINGLELINE = 0x00000020;
constexpr UINT DT_EXPANDTABS = 0x00000040;
constexpr UINT DT_TABSTOP = 0x00000080;
constexpr UINT DT_NOCLIP = 0x00000100;
constexpr UINT DT_EXTERNALLEADING = 0x00000200;
constexpr UINT DT_CALCRECT = 0x00000400;
constexpr UINT DT_NOPREFIX = 0x00000800;
constexpr UINT DT_INTERNAL = 0x00001000;
constexpr UINT DT_EDITCONTROL = 0x00002000;
constexpr UINT DT_PATH_ELLIPSIS = 0x00004000;
constexpr UINT DT_END_ELLIPSIS = 0x00008000;
constexpr UINT DT_MODIFYSTRING = 0x00010000;
constexpr UINT DT_RTLREADING = 0x00020000;
constexpr UINT DT_WORD_ELLIPSIS = 0x00040000;
constexpr UINT DT_NOFULLWIDTHCHARBREAK = 0x00080000;
constexpr UINT DT_HIDEPREFIX = 0x00100000;
constexpr UINT DT_PREFIXONLY = 0x00200000;

// Font weights.
constexpr LONG FW_DONTCARE = 0;
constexpr LONG FW_THIN = 100;
constexpr LONG FW_EXTRALIGHT = 200;
constexpr LONG FW_ULTRALIGHT = 200;
constexpr LONG FW_LIGHT = 300;
constexpr LONG FW_NORMAL = 400;
constexpr LONG FW_REGULAR = 400;
constexpr LONG FW_MEDIUM = 500;
constexpr LONG FW_SEMIBOLD = 600;
constexpr LONG FW_DEMIBOLD = 600;
constexpr LONG FW_BOLD = 700;
constexpr LONG FW_EXTRABOLD = 800;
constexpr LONG FW_ULTRABOLD = 800;
constexpr LONG FW_HEAVY = 900;
constexpr LONG FW_BLACK = 900;

// Character sets.
constexpr BYTE ANSI_CHARSET = 0;
constexpr BYTE DEFAULT_CHARSET = 1;
constexpr BYTE SYMBOL_CHARSET = 2;
constexpr BYTE MAC_CHARSET = 77;
constexpr BYTE SHIFTJIS_CHARSET = 128;
constexpr BYTE HANGEUL_CHARSET = 129;
constexpr BYTE HANGUL_CHARSET = 129;
constexpr BYTE JOHAB_CHARSET = 130;
constexpr BYTE GB2312_CHARSET = 134;
constexpr BYTE CHINESEBIG5_CHARSET = 136;
constexpr BYTE GREEK_CHARSET = 161;
constexpr BYTE TURKISH_CHARSET = 162;
constexpr BYTE VIETNAMESE_CHARSET = 163;
constexpr BYTE HEBREW_CHARSET = 177;
constexpr BYTE ARABIC_CHARSET = 178;
constexpr BYTE BALTIC_CHARSET = 186;
constexpr BYTE RUSSIAN_CHARSET = 204;
constexpr BYTE THAI_CHARSET = 222;
constexpr BYTE EASTEUROPE_CHARSET = 238;
constexpr BYTE OEM_CHARSET = 255;

// Output and clip precision, quality, pitch and family.
constexpr BYTE OUT_DEFAULT_PRECIS = 0;
constexpr BYTE OUT_STRING_PRECIS = 1;
constexpr BYTE OUT_CHARACTER_PRECIS = 2;
constexpr BYTE OUT_STROKE_PRECIS = 3;
constexpr BYTE OUT_TT_PRECIS = 4;
constexpr BYTE OUT_DEVICE_PRECIS = 5;
constexpr BYTE OUT_RASTER_PRECIS = 6;
constexpr BYTE OUT_TT_ONLY_PRECIS = 7;
constexpr BYTE OUT_OUTLINE_PRECIS = 8;
constexpr BYTE OUT_SCREEN_OUTLINE_PRECIS = 9;
constexpr BYTE OUT_PS_ONLY_PRECIS = 10;
constexpr BYTE CLIP_DEFAULT_PRECIS = 0;
constexpr BYTE CLIP_CHARACTER_PRECIS = 1;
constexpr BYTE CLIP_STROKE_PRECIS = 2;
constexpr BYTE CLIP_MASK = 0x0F;
constexpr BYTE CLIP_LH_ANGLES = 0x10;
constexpr BYTE CLIP_TT_ALWAYS = 0x20;
constexpr BYTE CLIP_EMBEDDED = 0x80;
constexpr BYTE DEFAULT_QUALITY = 0;
constexpr BYTE DRAFT_QUALITY = 1;
constexpr BYTE PROOF_QUALITY = 2;
constexpr BYTE NONANTIALIASED_QUALITY = 3;
constexpr BYTE ANTIALIASED_QUALITY = 4;
constexpr BYTE CLEARTYPE_QUALITY = 5;
constexpr BYTE CLEARTYPE_NATURAL_QUALITY = 6;
constexpr BYTE DEFAULT_PITCH = 0;
constexpr BYTE FIXED_PITCH = 1;
constexpr BYTE VARIABLE_PITCH = 2;
constexpr BYTE FF_DONTCARE = 0x00;
constexpr BYTE FF_ROMAN = 0x10;
constexpr BYTE FF_SWISS = 0x20;
constexpr BYTE FF_MODERN = 0x30;
constexpr BYTE FF_SCRIPT = 0x40;
constexpr BYTE FF_DECORATIVE = 0x50;
constexpr BYTE TMPF_FIXED_PITCH = 0x01;
constexpr BYTE TMPF_VECTOR = 0x02;
constexpr BYTE TMPF_TRUETYPE = 0x04;
constexpr BYTE TMPF_DEVICE = 0x08;

// Palette entry flags.
constexpr BYTE PC_RESERVED = 0x01;
constexpr BYTE PC_EXPLICIT = 0x02;
constexpr BYTE PC_NOCOLLAPSE = 0x04;

// ---------------------------------------------------------------------------------------------
// Objects
// ---------------------------------------------------------------------------------------------

HGDIOBJ GetStockObject(int Index);
BOOL DeleteObject(HGDIOBJ Object);
// Pens, brushes, fonts and bitmaps give the previous object; a region gives the new clip's
// complexity (as an HGDIOBJ value) or HGDI_ERROR; failure gives nullptr.
HGDIOBJ SelectObject(HDC DC, HGDIOBJ Object);
// Copies BITMAP / DIBSECTION / LOGPEN / EXTLOGPEN / LOGBRUSH / LOGFONTA / WORD (palette entry
// count); a null Buffer gives the size needed. Returns the bytes written, 0 on failure.
int GetObjectA(HGDIOBJ Object, int Size, LPVOID Buffer);
inline int GetObject(HGDIOBJ Object, int Size, LPVOID Buffer) { return GetObjectA(Object, Size, Buffer); }
DWORD GetObjectType(HGDIOBJ Object);
HGDIOBJ GetCurrentObject(HDC DC, UINT Type);
BOOL GdiFlush();

// ---------------------------------------------------------------------------------------------
// Device contexts
// ---------------------------------------------------------------------------------------------

// A memory DC with the stock 1x1 monochrome bitmap selected. DC may be nullptr (the screen).
HDC CreateCompatibleDC(HDC DC);
// "DISPLAY" gives a DC on the screen (a screen-sized 32-bpp surface); other drivers fail.
HDC CreateDCA(LPCSTR Driver, LPCSTR Device, LPCSTR Output, const void* InitData);
inline HDC CreateDC(LPCSTR Driver, LPCSTR Device, LPCSTR Output, const void* InitData)
{
  return CreateDCA(Driver, Device, Output, InitData);
}
BOOL DeleteDC(HDC DC);
// Returns the saved state's number (1, 2, ...), 0 on failure.
int SaveDC(HDC DC);
// Positive: that state (the states above it are dropped); negative: relative to the current.
BOOL RestoreDC(HDC DC, int SavedDC);
int GetDeviceCaps(HDC DC, int Index);

BOOL SetViewportOrgEx(HDC DC, int X, int Y, POINT* Old);
BOOL GetViewportOrgEx(HDC DC, POINT* Org);
BOOL OffsetViewportOrgEx(HDC DC, int Dx, int Dy, POINT* Old);
BOOL SetWindowOrgEx(HDC DC, int X, int Y, POINT* Old);
BOOL GetWindowOrgEx(HDC DC, POINT* Org);
BOOL OffsetWindowOrgEx(HDC DC, int Dx, int Dy, POINT* Old);
BOOL LPtoDP(HDC DC, POINT* Points, int Count);
BOOL DPtoLP(HDC DC, POINT* Points, int Count);
int SetMapMode(HDC DC, int Mode); // MM_TEXT only
int GetMapMode(HDC DC);
// The DC's device origin on its surface (a window DC's position in its backing store).
BOOL GetDCOrgEx(HDC DC, POINT* Org);

// Clip regions are in device units (not moved by later origin changes).
int SelectClipRgn(HDC DC, HRGN Rgn);
int ExtSelectClipRgn(HDC DC, HRGN Rgn, int Mode);
int IntersectClipRect(HDC DC, int Left, int Top, int Right, int Bottom);
int ExcludeClipRect(HDC DC, int Left, int Top, int Right, int Bottom);
int OffsetClipRgn(HDC DC, int Dx, int Dy);
// In logical units: the box of the visible area (system area, clip region and surface).
int GetClipBox(HDC DC, RECT* Rect);
// 1 and a copy in Rgn when a clip region is selected, 0 when none, -1 on error.
int GetClipRgn(HDC DC, HRGN Rgn);
BOOL PtVisible(HDC DC, int X, int Y);
BOOL RectVisible(HDC DC, const RECT* Rect);

COLORREF SetTextColor(HDC DC, COLORREF Color);
COLORREF GetTextColor(HDC DC);
COLORREF SetBkColor(HDC DC, COLORREF Color);
COLORREF GetBkColor(HDC DC);
int SetBkMode(HDC DC, int Mode);
int GetBkMode(HDC DC);
UINT SetTextAlign(HDC DC, UINT Align);
UINT GetTextAlign(HDC DC);
int SetTextCharacterExtra(HDC DC, int Extra);
int GetTextCharacterExtra(HDC DC);
int SetROP2(HDC DC, int Rop2);
int GetROP2(HDC DC);
int SetStretchBltMode(HDC DC, int Mode);
int GetStretchBltMode(HDC DC);
int SetPolyFillMode(HDC DC, int Mode);
int GetPolyFillMode(HDC DC);
BOOL SetBrushOrgEx(HDC DC, int X, int Y, POINT* Old);
BOOL GetBrushOrgEx(HDC DC, POINT* Org);
COLORREF SetDCBrushColor(HDC DC, COLORREF Color);
COLORREF GetDCBrushColor(HDC DC);
COLORREF SetDCPenColor(HDC DC, COLORREF Color);
COLORREF GetDCPenColor(HDC DC);
BOOL MoveToEx(HDC DC, int X, int Y, POINT* Old);
BOOL GetCurrentPositionEx(HDC DC, POINT* Pos);

// ---------------------------------------------------------------------------------------------
// Bitmaps
// ---------------------------------------------------------------------------------------------

// Bits per pixel 1, 4, 8, 24 or 32 (16 is taken as 32). Bits: rows top-down, each padded to
// 2 bytes (the BITMAP layout); nullptr leaves the bitmap zeroed.
HBITMAP CreateBitmap(int Width, int Height, UINT Planes, UINT BitCount, const void* Bits);
HBITMAP CreateBitmapIndirect(const BITMAP* Bitmap);
// Monochrome for a memory DC with its default bitmap selected; otherwise the depth of the
// DC's bitmap (32 bpp for screen and window DCs).
HBITMAP CreateCompatibleBitmap(HDC DC, int Width, int Height);
// 1, 4, 8, 24 and 32 bpp, BI_RGB (and BI_BITFIELDS with the 8-8-8 masks at 32 bpp). The pixel
// memory stays valid until DeleteObject; rows are padded to 4 bytes.
HBITMAP CreateDIBSection(HDC DC, const BITMAPINFO* Info, UINT Usage, void** Bits, HANDLE Section, DWORD Offset);
HBITMAP CreateDIBitmap(HDC DC, const BITMAPINFOHEADER* Header, DWORD Init, const void* Bits, const BITMAPINFO* Info,
                       UINT Usage);
// Bits nullptr: fills in the header (size, biSizeImage, and the colour table for <= 8 bpp) and
// returns non-zero. Otherwise converts rows Start .. Start+Lines-1 (counted from the bottom for a
// bottom-up request) into the requested format and returns the number of rows copied.
int GetDIBits(HDC DC, HBITMAP Bitmap, UINT Start, UINT Lines, void* Bits, BITMAPINFO* Info, UINT Usage);
int SetDIBits(HDC DC, HBITMAP Bitmap, UINT Start, UINT Lines, const void* Bits, const BITMAPINFO* Info, UINT Usage);
int SetDIBitsToDevice(HDC DC, int XDest, int YDest, DWORD Width, DWORD Height, int XSrc, int YSrc, UINT StartScan,
                      UINT Lines, const void* Bits, const BITMAPINFO* Info, UINT Usage);
int StretchDIBits(HDC DC, int XDest, int YDest, int DestWidth, int DestHeight, int XSrc, int YSrc, int SrcWidth,
                  int SrcHeight, const void* Bits, const BITMAPINFO* Info, UINT Usage, DWORD Rop);
// The colour table of the DIB section selected into DC.
UINT GetDIBColorTable(HDC DC, UINT Start, UINT Count, RGBQUAD* Colors);
UINT SetDIBColorTable(HDC DC, UINT Start, UINT Count, const RGBQUAD* Colors);
LONG GetBitmapBits(HBITMAP Bitmap, LONG Size, LPVOID Bits);
LONG SetBitmapBits(HBITMAP Bitmap, DWORD Size, const void* Bits);

// ---------------------------------------------------------------------------------------------
// Palettes
// ---------------------------------------------------------------------------------------------

HPALETTE CreatePalette(const LOGPALETTE* Palette);
// The 256-entry halftone palette (the 6x6x6 colour cube plus the 20 static colours and greys).
HPALETTE CreateHalftonePalette(HDC DC);
HPALETTE SelectPalette(HDC DC, HPALETTE Palette, BOOL ForceBackground);
UINT RealizePalette(HDC DC);
UINT GetPaletteEntries(HPALETTE Palette, UINT Start, UINT Count, PALETTEENTRY* Entries);
UINT SetPaletteEntries(HPALETTE Palette, UINT Start, UINT Count, const PALETTEENTRY* Entries);
BOOL ResizePalette(HPALETTE Palette, UINT Entries);
UINT GetNearestPaletteIndex(HPALETTE Palette, COLORREF Color);
// The colour the DC's surface shows for Color (the nearest table colour on indexed surfaces).
COLORREF GetNearestColor(HDC DC, COLORREF Color);

// ---------------------------------------------------------------------------------------------
// Raster operations
// ---------------------------------------------------------------------------------------------

BOOL BitBlt(HDC Dest, int X, int Y, int Width, int Height, HDC Src, int XSrc, int YSrc, DWORD Rop);
// Negative widths or heights mirror.
BOOL StretchBlt(HDC Dest, int XDest, int YDest, int WDest, int HDest, HDC Src, int XSrc, int YSrc, int WSrc,
                int HSrc, DWORD Rop);
BOOL PatBlt(HDC DC, int X, int Y, int Width, int Height, DWORD Rop);
// Mask: a monochrome bitmap; where its bit is 1 the fore ROP (low bytes) applies, else the back
// ROP (MAKEROP4). A null mask is a plain BitBlt with the fore ROP.
BOOL MaskBlt(HDC Dest, int X, int Y, int Width, int Height, HDC Src, int XSrc, int YSrc, HBITMAP Mask, int XMask,
             int YMask, DWORD Rop);
// Copies (stretching by nearest sample) every source pixel whose colour is not Transparent.
BOOL TransparentBlt(HDC Dest, int XDest, int YDest, int WDest, int HDest, HDC Src, int XSrc, int YSrc, int WSrc,
                    int HSrc, UINT Transparent);
// For each channel c (also alpha) with SCA = SourceConstantAlpha:
//   s = Src.c * SCA / 255, a = Src.A * SCA / 255 (AC_SRC_ALPHA; else a = SCA),
//   Dst.c = s + Dst.c * (255 - a) / 255,
// with every division rounded to nearest ((x + 127) / 255, exact integer arithmetic). Without
// AC_SRC_ALPHA the source alpha is taken as 255 before SCA scales it. The source is taken as
// premultiplied. Stretches by nearest sample. Negative sizes fail.
BOOL AlphaBlend(HDC Dest, int XDest, int YDest, int WDest, int HDest, HDC Src, int XSrc, int YSrc, int WSrc, int HSrc,
                BLENDFUNCTION Blend);
BOOL GradientFill(HDC DC, TRIVERTEX* Vertices, ULONG NumVertices, void* Mesh, ULONG NumMesh, ULONG Mode);

// ---------------------------------------------------------------------------------------------
// Pens and brushes
// ---------------------------------------------------------------------------------------------

HPEN CreatePen(int Style, int Width, COLORREF Color);
HPEN CreatePenIndirect(const LOGPEN* Pen);
HPEN ExtCreatePen(DWORD Style, DWORD Width, const LOGBRUSH* Brush, DWORD StyleCount, const DWORD* StyleEntries);
HBRUSH CreateSolidBrush(COLORREF Color);
HBRUSH CreateHatchBrush(int Hatch, COLORREF Color);
// The bitmap is copied; a monochrome pattern draws its 0 bits in the DC's text colour and its
// 1 bits in the background colour.
HBRUSH CreatePatternBrush(HBITMAP Bitmap);
HBRUSH CreateBrushIndirect(const LOGBRUSH* Brush);

// ---------------------------------------------------------------------------------------------
// Drawing
// ---------------------------------------------------------------------------------------------

// Lines leave out their last pixel; the current position moves to the end.
BOOL LineTo(HDC DC, int X, int Y);
BOOL Polyline(HDC DC, const POINT* Points, int Count);
BOOL PolylineTo(HDC DC, const POINT* Points, DWORD Count);
BOOL PolyPolyline(HDC DC, const POINT* Points, const DWORD* Counts, DWORD Polys);
BOOL Polygon(HDC DC, const POINT* Points, int Count);
BOOL PolyPolygon(HDC DC, const POINT* Points, const INT* Counts, int Polys);
// Shapes cover Left..Right-1 x Top..Bottom-1 with the pen's outline inside, filled with the brush.
BOOL Rectangle(HDC DC, int Left, int Top, int Right, int Bottom);
BOOL RoundRect(HDC DC, int Left, int Top, int Right, int Bottom, int Width, int Height);
BOOL Ellipse(HDC DC, int Left, int Top, int Right, int Bottom);
BOOL Arc(HDC DC, int Left, int Top, int Right, int Bottom, int XStart, int YStart, int XEnd, int YEnd);
BOOL Pie(HDC DC, int Left, int Top, int Right, int Bottom, int XStart, int YStart, int XEnd, int YEnd);
BOOL Chord(HDC DC, int Left, int Top, int Right, int Bottom, int XStart, int YStart, int XEnd, int YEnd);
// Brush: a brush handle or (COLOR_xxx + 1) cast to HBRUSH. Fills ignore the ROP2 mode.
int FillRect(HDC DC, const RECT* Rect, HBRUSH Brush);
int FrameRect(HDC DC, const RECT* Rect, HBRUSH Brush);
BOOL InvertRect(HDC DC, const RECT* Rect);
BOOL DrawEdge(HDC DC, RECT* Rect, UINT Edge, UINT Flags);
BOOL DrawFocusRect(HDC DC, const RECT* Rect);
BOOL DrawFrameControl(HDC DC, RECT* Rect, UINT Type, UINT State);
COLORREF SetPixel(HDC DC, int X, int Y, COLORREF Color);
BOOL SetPixelV(HDC DC, int X, int Y, COLORREF Color);
COLORREF GetPixel(HDC DC, int X, int Y);
BOOL FloodFill(HDC DC, int X, int Y, COLORREF Color);
BOOL ExtFloodFill(HDC DC, int X, int Y, COLORREF Color, UINT Type);
BOOL FillRgn(HDC DC, HRGN Rgn, HBRUSH Brush);
BOOL FrameRgn(HDC DC, HRGN Rgn, HBRUSH Brush, int Width, int Height);
BOOL InvertRgn(HDC DC, HRGN Rgn);
BOOL PaintRgn(HDC DC, HRGN Rgn);

// ---------------------------------------------------------------------------------------------
// System colours (the classic "Windows Standard" scheme)
// ---------------------------------------------------------------------------------------------

DWORD GetSysColor(int Index);
// A stock brush of that colour (not to be deleted); nullptr for a bad index.
HBRUSH GetSysColorBrush(int Index);
BOOL SetSysColors(int Count, const INT* Elements, const COLORREF* Colors);

// ---------------------------------------------------------------------------------------------
// Regions
// ---------------------------------------------------------------------------------------------

HRGN CreateRectRgn(int Left, int Top, int Right, int Bottom);
HRGN CreateRectRgnIndirect(const RECT* Rect);
HRGN CreateRoundRectRgn(int Left, int Top, int Right, int Bottom, int Width, int Height);
HRGN CreateEllipticRgn(int Left, int Top, int Right, int Bottom);
HRGN CreateEllipticRgnIndirect(const RECT* Rect);
HRGN CreatePolygonRgn(const POINT* Points, int Count, int FillMode);
HRGN CreatePolyPolygonRgn(const POINT* Points, const INT* Counts, int Polys, int FillMode);
BOOL SetRectRgn(HRGN Rgn, int Left, int Top, int Right, int Bottom);
// Dest may be one of the sources; returns the complexity or ERROR.
int CombineRgn(HRGN Dest, HRGN Src1, HRGN Src2, int Mode);
// Transform must be nullptr or the identity; Count is the byte size of Data.
HRGN ExtCreateRegion(const XFORM* Transform, DWORD Count, const RGNDATA* Data);
// Data nullptr or Count too small: returns the size needed. Else the bytes written.
DWORD GetRegionData(HRGN Rgn, DWORD Count, RGNDATA* Data);
int OffsetRgn(HRGN Rgn, int Dx, int Dy);
BOOL PtInRegion(HRGN Rgn, int X, int Y);
BOOL RectInRegion(HRGN Rgn, const RECT* Rect);
BOOL EqualRgn(HRGN A, HRGN B);
int GetRgnBox(HRGN Rgn, RECT* Rect);

// ---------------------------------------------------------------------------------------------
// Fonts and text (implemented by the Font/Text files)
// ---------------------------------------------------------------------------------------------

HFONT CreateFontIndirectA(const LOGFONTA* Font);
inline HFONT CreateFontIndirect(const LOGFONTA* Font) { return CreateFontIndirectA(Font); }
HFONT CreateFontA(int Height, int Width, int Escapement, int Orientation, int Weight, DWORD Italic, DWORD Underline,
                  DWORD StrikeOut, DWORD CharSet, DWORD OutPrecision, DWORD ClipPrecision, DWORD Quality,
                  DWORD PitchAndFamily, LPCSTR FaceName);
inline HFONT CreateFont(int Height, int Width, int Escapement, int Orientation, int Weight, DWORD Italic,
                        DWORD Underline, DWORD StrikeOut, DWORD CharSet, DWORD OutPrecision, DWORD ClipPrecision,
                        DWORD Quality, DWORD PitchAndFamily, LPCSTR FaceName)
{
  return CreateFontA(Height, Width, Escapement, Orientation, Weight, Italic, Underline, StrikeOut, CharSet,
                     OutPrecision, ClipPrecision, Quality, PitchAndFamily, FaceName);
}
// Count is in bytes (-1 for DrawText: up to the terminating zero).
BOOL TextOutA(HDC DC, int X, int Y, LPCSTR Text, int Count);
inline BOOL TextOut(HDC DC, int X, int Y, LPCSTR Text, int Count) { return TextOutA(DC, X, Y, Text, Count); }
BOOL ExtTextOutA(HDC DC, int X, int Y, UINT Options, const RECT* Rect, LPCSTR Text, UINT Count, const INT* Dx);
inline BOOL ExtTextOut(HDC DC, int X, int Y, UINT Options, const RECT* Rect, LPCSTR Text, UINT Count, const INT* Dx)
{
  return ExtTextOutA(DC, X, Y, Options, Rect, Text, Count, Dx);
}
int DrawTextA(HDC DC, LPCSTR Text, int Count, RECT* Rect, UINT Format);
inline int DrawText(HDC DC, LPCSTR Text, int Count, RECT* Rect, UINT Format)
{
  return DrawTextA(DC, Text, Count, Rect, Format);
}
int DrawTextW(HDC DC, const wchar_t* Text, int Count, RECT* Rect, UINT Format);
int DrawTextExA(HDC DC, LPSTR Text, int Count, RECT* Rect, UINT Format, DRAWTEXTPARAMS* Params);
inline int DrawTextEx(HDC DC, LPSTR Text, int Count, RECT* Rect, UINT Format, DRAWTEXTPARAMS* Params)
{
  return DrawTextExA(DC, Text, Count, Rect, Format, Params);
}
BOOL GetTextExtentPoint32A(HDC DC, LPCSTR Text, int Count, SIZE* Size);
inline BOOL GetTextExtentPoint32(HDC DC, LPCSTR Text, int Count, SIZE* Size)
{
  return GetTextExtentPoint32A(DC, Text, Count, Size);
}
BOOL GetTextExtentExPointA(HDC DC, LPCSTR Text, int Count, int MaxExtent, LPINT Fit, LPINT Dx, SIZE* Size);
inline BOOL GetTextExtentExPoint(HDC DC, LPCSTR Text, int Count, int MaxExtent, LPINT Fit, LPINT Dx, SIZE* Size)
{
  return GetTextExtentExPointA(DC, Text, Count, MaxExtent, Fit, Dx, Size);
}
BOOL GetTextMetricsA(HDC DC, TEXTMETRICA* Metrics);
inline BOOL GetTextMetrics(HDC DC, TEXTMETRICA* Metrics) { return GetTextMetricsA(DC, Metrics); }
int GetTextFaceA(HDC DC, int Count, LPSTR Name);
inline int GetTextFace(HDC DC, int Count, LPSTR Name) { return GetTextFaceA(DC, Count, Name); }
BOOL GetCharWidth32A(HDC DC, UINT First, UINT Last, LPINT Widths);
inline BOOL GetCharWidth32(HDC DC, UINT First, UINT Last, LPINT Widths) { return GetCharWidth32A(DC, First, Last, Widths); }
// Tab stops in pixels; returns the extent as MAKELONG(width, height).
LONG TabbedTextOutA(HDC DC, int X, int Y, LPCSTR Text, int Count, int TabPositions, const INT* TabStops,
                    int TabOrigin);
inline LONG TabbedTextOut(HDC DC, int X, int Y, LPCSTR Text, int Count, int TabPositions, const INT* TabStops,
                          int TabOrigin)
{
  return TabbedTextOutA(DC, X, Y, Text, Count, TabPositions, TabStops, TabOrigin);
}
DWORD GetTabbedTextExtentA(HDC DC, LPCSTR Text, int Count, int TabPositions, const INT* TabStops);
inline DWORD GetTabbedTextExtent(HDC DC, LPCSTR Text, int Count, int TabPositions, const INT* TabStops)
{
  return GetTabbedTextExtentA(DC, Text, Count, TabPositions, TabStops);
}
// The family names of the fonts the screen offers, sorted, without duplicates.
std::vector<String> GetFontFamilyNames();
