// Internals shared by the drawing code; not for users of the drawing API.
#pragma once

#include <climits>
#include <cstdint>
#include <cstring>
#include <utility>
#include <vector>

#include "platform/gdi/Gdi.h"
#include "platform/gdi/GdiSurface.h"
#include "platform/gdi/Region.h"

class TDeviceContext;
class TGdiBrush;

namespace GdiInternal {

// The stock 1x1 monochrome bitmap that memory DCs start with.
HBITMAP DefaultBitmap();
// The colour table a bitmap of this depth gets when none is given (Count entries).
const RGBQUAD* DefaultColors(int BitsPerPixel, int& Count);
// A view of a caller's packed DIB (header, colour table, bits). Lines > 0 limits the height to
// that many rows (SetDIBitsToDevice bands). False for formats we do not read.
bool DescribeDib(const BITMAPINFO* Info, const void* Bits, UINT Usage, TSurface& Out, std::vector<RGBQUAD>& Colors);
// Bytes of one DIB row.
inline std::size_t DibStride(int Width, int BitsPerPixel)
{
  return ((static_cast<std::size_t>(Width) * BitsPerPixel + 31) / 32) * 4;
}

// Fills N 32-bit pixels with V (doubling copies: memcpy speed on long rows).
inline void FillRow32(std::uint32_t* P, int N, std::uint32_t V)
{
  if (N <= 0)
    return;
  int Done = N < 16 ? N : 16;
  for (int I = 0; I < Done; ++I)
    P[I] = V;
  while (Done < N) {
    int Chunk = Done < N - Done ? Done : N - Done;
    std::memcpy(P + Done, P, static_cast<std::size_t>(Chunk) * 4);
    Done += Chunk;
  }
}

// x / 255 rounded to nearest, in each 16-bit lane of a word holding two lanes (each lane at
// most 255 * 255): (x + 128 + ((x + 128) >> 8)) >> 8, exact for that range.
inline std::uint32_t Div255Lanes(std::uint32_t X)
{
  X += 0x00800080u;
  return ((X + ((X >> 8) & 0x00FF00FFu)) >> 8) & 0x00FF00FFu;
}

// Two 9-bit lane sums clamped to 255 per lane.
inline std::uint32_t SaturateLanes(std::uint32_t Sum)
{
  std::uint32_t Over = Sum & 0x01000100u;
  return (Sum | (Over - (Over >> 8))) & 0x00FF00FFu;
}

// Ternary raster operation on raw values: bit i of Rop is the result for pattern bit p,
// source bit s, destination bit d with i = p*4 + s*2 + d.
inline std::uint32_t Rop3(std::uint8_t Rop, std::uint32_t P, std::uint32_t S, std::uint32_t D)
{
  switch (Rop) {
  case 0x00: return 0;
  case 0xFF: return 0xFFFFFFFFu;
  case 0xCC: return S;
  case 0xF0: return P;
  case 0xAA: return D;
  case 0x88: return S & D;
  case 0xEE: return S | D;
  case 0x66: return S ^ D;
  case 0x44: return S & ~D;
  case 0x33: return ~S;
  case 0x11: return ~(S | D);
  case 0xC0: return P & S;
  case 0xBB: return ~S | D;
  case 0x5A: return P ^ D;
  case 0x55: return ~D;
  case 0xFB: return P | ~S | D;
  default: break;
  }
  std::uint32_t R = 0;
  for (int I = 0; I < 8; ++I) {
    if (!((Rop >> I) & 1))
      continue;
    std::uint32_t Pp = (I & 4) ? P : ~P;
    std::uint32_t Ss = (I & 2) ? S : ~S;
    std::uint32_t Dd = (I & 1) ? D : ~D;
    R |= Pp & Ss & Dd;
  }
  return R;
}

// Binary raster operation (R2_*) of pen or brush P on destination D.
inline std::uint32_t Rop2(int Mode, std::uint32_t P, std::uint32_t D)
{
  switch (Mode) {
  case R2_COPYPEN: return P;
  case R2_XORPEN: return P ^ D;
  case R2_NOT: return ~D;
  case R2_NOP: return D;
  default: break;
  }
  unsigned Table = static_cast<unsigned>(Mode - 1) & 0xF;
  std::uint32_t R = 0;
  for (int I = 0; I < 4; ++I) {
    if (!((Table >> I) & 1))
      continue;
    std::uint32_t Pp = (I & 2) ? P : ~P;
    std::uint32_t Dd = (I & 1) ? D : ~D;
    R |= Pp & Dd;
  }
  return R;
}

// Pixel painting for shapes: spans in surface pixels, clipped by the DC's effective clip.
struct TSpan {
  int Y;
  int X0; // inclusive
  int X1; // exclusive
};

// Fills spans with the DC's brush (or Brush when given) under the DC's ROP2 mode (UseRop2) or
// plain copy. A null brush paints nothing.
void PaintSpans(TDeviceContext& DC, const std::vector<TSpan>& Spans, TGdiBrush* Brush, bool UseRop2);
// Paints spans in one solid colour with the DC's ROP2 mode (pens).
void PaintSpansColor(TDeviceContext& DC, const std::vector<TSpan>& Spans, COLORREF Color, bool UseRop2);
// The raw pattern value of Brush at surface pixel (X, Y) and whether it is drawn there (hatch
// gaps are not drawn in TRANSPARENT background mode).
struct TPatternSource {
  TPatternSource(TDeviceContext& DC, TGdiBrush* Brush);
  bool Null = true;
  bool Solid = true;
  std::uint32_t SolidRaw = 0;
  // For patterned brushes: raw values of one period, with drawn flags.
  int W = 0, H = 0, OrgX = 0, OrgY = 0;
  std::vector<std::uint32_t> Raw;
  std::vector<std::uint8_t> Drawn;
  bool At(int X, int Y, std::uint32_t& Value) const
  {
    if (Solid) {
      Value = SolidRaw;
      return true;
    }
    int Px = (X - OrgX) % W, Py = (Y - OrgY) % H;
    if (Px < 0) Px += W;
    if (Py < 0) Py += H;
    std::size_t I = static_cast<std::size_t>(Py) * W + Px;
    Value = Raw[I];
    return Drawn[I] != 0;
  }
};

// Plots single pixels (surface pixels) in a colour under a ROP2 mode, clipped by the DC.
class TPixelPainter {
public:
  TPixelPainter(TDeviceContext& DC, COLORREF Color, int Rop2);
  void Plot(int X, int Y) { PlotRaw(X, Y, FRaw); }
  void PlotRaw(int X, int Y, std::uint32_t Raw);
  bool Visible(int X, int Y) const;
  std::uint32_t RawOf(COLORREF Color) const { return FSurface.ColorToRaw(Color & 0x00FFFFFF); }

private:
  const TSurface& FSurface;
  const TRegion& FClip;
  RECT FBox;
  bool FSimple;
  std::uint32_t FRaw;
  int FRop2;
  std::uint32_t FMask;
};

// Scan conversion (GdiScan.cpp). A "row shape" has at most one span per row: Rows[i] is the
// span of row Top + i (X0 >= X1 when the row is empty).
struct TRowShape {
  int Top = 0;
  std::vector<std::pair<int, int>> Rows;
};
// Pixels whose centres lie inside the polygons (ALTERNATE or WINDING), in the points' space.
// Only rows RowFrom .. RowTo-1 are produced.
std::vector<TSpan> PolygonSpans(const POINT* Points, const INT* Counts, int Polys, int FillMode, int RowFrom = INT_MIN,
                                int RowTo = INT_MAX);
// The ellipse inscribed in R (right/bottom exclusive).
TRowShape EllipseShape(const RECT& R);
// R with its corners rounded by ellipses of EllipseW x EllipseH.
TRowShape RoundRectShape(const RECT& R, int EllipseW, int EllipseH);
// The shape's pixels as spans.
std::vector<TSpan> ShapeSpans(const TRowShape& S);
// Pixels of the shape with all four neighbours in the shape (the inside of a 1-pixel outline).
TRowShape ShapeInterior(const TRowShape& S);
// Spans of A minus B (B's rows are inside A's, as for an interior).
std::vector<TSpan> ShapeDifference(const TRowShape& A, const TRowShape& B);
// Spans covering a region's rectangles.
std::vector<TSpan> RegionSpans(const TRegion& R);

// The colour of the DC's pen (the DC pen colour for DC_PEN).
COLORREF PenColor(TDeviceContext& DC);

} // namespace GdiInternal
