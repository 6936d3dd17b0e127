// Lines, shapes, fills and pixels.
#include <algorithm>
#include <cmath>
#include <deque>
#include <map>

#include "platform/gdi/DeviceContext.h"
#include "platform/gdi/GdiBrush.h"
#include "platform/gdi/GdiInternal.h"
#include "platform/gdi/GdiPen.h"
#include "platform/rtl/Exceptions.h"

using namespace GdiInternal;

namespace {

// Wider pens draw this wide.
constexpr int MaxPenWidth = 4096;

// Draws the outline of lines and shapes with the DC's pen. Cosmetic (1-pixel) pens plot
// Bresenham lines without their last pixel, with the dash styles; wide pens collect round
// stamps along the lines and paint their union once, so mix modes touch each pixel once.
class TPenDrawer {
public:
  explicit TPenDrawer(TDeviceContext& DC)
      : FDC(DC), FPen(DC.PenObject()), FFore(DC, PenColor(DC), DC.Rop2), FBack(DC, DC.BkColor, DC.Rop2)
  {
    DWORD Style = FPen->LineStyle();
    FNull = Style == PS_NULL;
    FWidth = FPen->Width < 1 ? 1 : std::min(FPen->Width, MaxPenWidth);
    FWide = FWidth > 1;
    bool GeometricPen = (FPen->Style & PS_TYPE_MASK) == PS_GEOMETRIC;
    FFlat = GeometricPen && (FPen->Style & PS_ENDCAP_MASK) != PS_ENDCAP_ROUND;
    FSquareEnds = GeometricPen && (FPen->Style & PS_ENDCAP_MASK) == PS_ENDCAP_SQUARE;
    FOpaqueGaps = DC.BkMode == OPAQUE;
    if (!FWide) {
      switch (Style) {
      case PS_DASH:
        FDashes = {18, 6};
        break;
      case PS_DOT:
        FDashes = {3, 3};
        break;
      case PS_DASHDOT:
        FDashes = {9, 6, 3, 6};
        break;
      case PS_DASHDOTDOT:
        FDashes = {9, 3, 3, 3, 3, 3};
        break;
      case PS_ALTERNATE:
        FDashes = {1, 1};
        break;
      case PS_USERSTYLE:
        for (DWORD E : FPen->UserStyle)
          FDashes.push_back(E == 0 ? 1 : static_cast<int>(std::min<DWORD>(E, 1 << 16)));
        if (FDashes.size() % 2)
          FDashes.push_back(FDashes.back());
        break;
      default:
        break;
      }
    }
    bool Geometric = (FPen->Style & PS_TYPE_MASK) == PS_GEOMETRIC;
    if (FWide && Geometric) {
      // Geometric pens scale their dashes with the width.
      int W = FWidth;
      switch (Style) {
      case PS_DASH:
        FDashes = {3 * W, W};
        break;
      case PS_DOT:
        FDashes = {W, W};
        break;
      case PS_DASHDOT:
        FDashes = {3 * W, W, W, W};
        break;
      case PS_DASHDOTDOT:
        FDashes = {3 * W, W, W, W, W, W};
        break;
      case PS_USERSTYLE:
        for (DWORD E : FPen->UserStyle)
          FDashes.push_back(E == 0 ? 1 : static_cast<int>(std::min<DWORD>(E, 1 << 16)));
        if (FDashes.size() % 2)
          FDashes.push_back(FDashes.back());
        break;
      default:
        break;
      }
    }
    if (!FDashes.empty())
      FDashLeft = FDashes[0];
  }

  bool Null() const { return FNull; }
  int Width() const { return FWidth; }
  bool InsideFrame() const { return FPen->LineStyle() == PS_INSIDEFRAME; }

  // A line between two surface pixels.
  void Segment(POINT A, POINT B)
  {
    if (FNull)
      return;
    if (!ClipLong(A, B))
      return;
    int X = A.x, Y = A.y;
    int Dx = std::abs(B.x - A.x), Dy = std::abs(B.y - A.y);
    FMajorX = Dx >= Dy;
    if (FWide && FSquareEnds) {
      StampSquare(A.x, A.y);
      StampSquare(B.x, B.y);
    }
    int Sx = A.x < B.x ? 1 : -1, Sy = A.y < B.y ? 1 : -1;
    int Err = Dx - Dy;
    for (;;) {
      bool Last = X == B.x && Y == B.y;
      if (Last && !FWide)
        break;
      Plot(X, Y);
      if (Last)
        break;
      int E2 = 2 * Err;
      if (E2 > -Dy) {
        Err -= Dy;
        X += Sx;
      }
      if (E2 < Dx) {
        Err += Dx;
        Y += Sy;
      }
    }
  }

  // Paints what wide pens collected.
  void Finish()
  {
    if (FRows.empty())
      return;
    std::vector<TSpan> Spans;
    for (auto& [Y, List] : FRows) {
      std::sort(List.begin(), List.end());
      for (auto& [X0, X1] : List) {
        if (!Spans.empty() && Spans.back().Y == Y && Spans.back().X1 >= X0)
          Spans.back().X1 = std::max(Spans.back().X1, X1);
        else
          Spans.push_back(TSpan{Y, X0, X1});
      }
    }
    FRows.clear();
    PaintSpansColor(FDC, Spans, PenColor(FDC), true);
  }

  ~TPenDrawer() { Finish(); }

private:
  // Lines longer than LongLine pixels are first cut to the visible box (plus the pen width),
  // so that far-away coordinates cost nothing; shorter lines keep their exact Bresenham
  // pixels and dash phase. False when nothing is visible.
  bool ClipLong(POINT& A, POINT& B)
  {
    constexpr std::int64_t LongLine = 1 << 16;
    std::int64_t Dx = std::int64_t(B.x) - A.x, Dy = std::int64_t(B.y) - A.y;
    if (std::max(std::abs(Dx), std::abs(Dy)) <= LongLine)
      return true;
    RECT Box = FDC.EffectiveClip().Box();
    double L = Box.left - FWidth, T = Box.top - FWidth, R = Box.right + FWidth, Bm = Box.bottom + FWidth;
    double T0 = 0, T1 = 1;
    auto Edge = [&](double P, double Q) {
      if (P == 0)
        return Q >= 0;
      double U = Q / P;
      if (P < 0) {
        if (U > T1)
          return false;
        T0 = std::max(T0, U);
      } else {
        if (U < T0)
          return false;
        T1 = std::min(T1, U);
      }
      return true;
    };
    if (!Edge(-static_cast<double>(Dx), A.x - L) || !Edge(static_cast<double>(Dx), R - A.x) ||
        !Edge(-static_cast<double>(Dy), A.y - T) || !Edge(static_cast<double>(Dy), Bm - A.y) || T0 > T1)
      return false;
    POINT NA{static_cast<LONG>(std::lround(A.x + T0 * Dx)), static_cast<LONG>(std::lround(A.y + T0 * Dy))};
    POINT NB{static_cast<LONG>(std::lround(A.x + T1 * Dx)), static_cast<LONG>(std::lround(A.y + T1 * Dy))};
    A = NA;
    B = NB;
    return true;
  }

  void Plot(int X, int Y)
  {
    if (FDashes.empty()) {
      if (FWide)
        Stamp(X, Y);
      else
        FFore.Plot(X, Y);
      return;
    }
    if (FDashIndex % 2 == 0) {
      if (FWide)
        Stamp(X, Y);
      else
        FFore.Plot(X, Y);
    } else if (FOpaqueGaps && !FWide) {
      FBack.Plot(X, Y);
    }
    if (--FDashLeft <= 0) {
      FDashIndex = (FDashIndex + 1) % static_cast<int>(FDashes.size());
      FDashLeft = FDashes[FDashIndex];
    }
  }

  void StampSquare(int X, int Y)
  {
    int Lo = -(FWidth - 1) / 2, Hi = FWidth / 2;
    for (int Dy = Lo; Dy <= Hi; ++Dy)
      FRows[Y + Dy].emplace_back(X + Lo, X + Hi + 1);
  }

  void Stamp(int X, int Y)
  {
    int Lo = -(FWidth - 1) / 2, Hi = FWidth / 2;
    if (FFlat) {
      // Flat and square ends: the pen's width lies across the line only.
      if (FMajorX) {
        for (int Dy = Lo; Dy <= Hi; ++Dy)
          FRows[Y + Dy].emplace_back(X, X + 1);
      } else {
        FRows[Y].emplace_back(X + Lo, X + Hi + 1);
      }
      return;
    }
    double R = FWidth / 2.0, C = (Lo + Hi) / 2.0;
    for (int Dy = Lo; Dy <= Hi; ++Dy) {
      int X0 = X + Lo, X1 = X + Hi + 1;
      {
        double Off = Dy - C;
        double Half = std::sqrt(std::max(0.0, R * R - Off * Off));
        X0 = X + static_cast<int>(std::ceil(C - Half - 0.5 + 1e-9));
        X1 = X + static_cast<int>(std::floor(C + Half - 0.5 - 1e-9)) + 1;
        if (X1 <= X0) {
          X0 = X;
          X1 = X + 1;
        }
      }
      FRows[Y + Dy].emplace_back(X0, X1);
    }
  }

  TDeviceContext& FDC;
  TGdiPen* FPen;
  TPixelPainter FFore;
  TPixelPainter FBack;
  bool FNull = false;
  bool FWide = false;
  bool FFlat = false;
  bool FSquareEnds = false;
  bool FMajorX = true;
  bool FOpaqueGaps = false;
  int FWidth = 1;
  std::vector<int> FDashes;
  int FDashIndex = 0;
  int FDashLeft = 0;
  std::map<int, std::vector<std::pair<int, int>>> FRows;
};

void DrawClosed(TDeviceContext& D, TPenDrawer& Pen, const POINT* Points, int Count)
{
  for (int I = 0; I < Count; ++I)
    Pen.Segment(D.LPtoDevice(Points[I]), D.LPtoDevice(Points[(I + 1) % Count]));
}

RECT Normalised(int Left, int Top, int Right, int Bottom)
{
  return RECT{std::min(Left, Right), std::min(Top, Bottom), std::max(Left, Right), std::max(Top, Bottom)};
}

// The outer rectangle a pen of width W covers when centred on the edges of R, and the inner
// rectangle it leaves.
void PenBands(const RECT& R, int W, bool Inside, RECT& Outer, RECT& Inner)
{
  if (Inside || W <= 1) {
    Outer = R;
    Inner = RECT{R.left + W, R.top + W, R.right - W, R.bottom - W};
    return;
  }
  Outer = RECT{R.left - (W - 1) / 2, R.top - (W - 1) / 2, R.right + W / 2, R.bottom + W / 2};
  Inner = RECT{Outer.left + W, Outer.top + W, Outer.right - W, Outer.bottom - W};
}

// Shape drawing shared by Ellipse and RoundRect: fill the interior with the brush and the
// outline band with the pen (both under the mix mode).
// Curved shapes are scan-converted whole; larger ones than this are refused.
constexpr int MaxShapeSize = 1 << 20;

bool ShapeTooLarge(const RECT& R) { return R.right - R.left > MaxShapeSize || R.bottom - R.top > MaxShapeSize; }

bool DrawShape(TDeviceContext& D, const RECT& Logical, TRowShape (*Make)(const RECT&, int, int), int Ew, int Eh)
{
  RECT R = D.LPtoDevice(Logical);
  if (ShapeTooLarge(R))
    return false;
  TPenDrawer Pen(D);
  if (Pen.Null()) {
    // Without a pen the shape is one pixel smaller, as on Windows.
    RECT Small{R.left, R.top, R.right - 1, R.bottom - 1};
    PaintSpans(D, ShapeSpans(Make(Small, Ew, Eh)), nullptr, true);
    return true;
  }
  int W = Pen.Width();
  RECT Outer, Inner;
  PenBands(R, W, Pen.InsideFrame(), Outer, Inner);
  TRowShape OuterShape = Make(Outer, Ew + (Outer.right - R.right) * 2, Eh + (Outer.bottom - R.bottom) * 2);
  TRowShape InnerShape;
  if (W <= 1) {
    InnerShape = ShapeInterior(OuterShape);
  } else {
    InnerShape = Make(Inner, std::max(0, Ew - 2 * W), std::max(0, Eh - 2 * W));
  }
  PaintSpans(D, ShapeSpans(InnerShape), nullptr, true);
  PaintSpansColor(D, ShapeDifference(OuterShape, InnerShape), PenColor(D), true);
  return true;
}

TRowShape EllipseMaker(const RECT& R, int, int) { return EllipseShape(R); }
TRowShape RoundRectMaker(const RECT& R, int Ew, int Eh) { return RoundRectShape(R, Ew, Eh); }

// Arc angles measured counter-clockwise on screen from the positive x axis, in [0, 2pi).
double AngleOf(double Dx, double Dy)
{
  double A = std::atan2(-Dy, Dx);
  return A < 0 ? A + 2 * M_PI : A;
}

bool InArc(double A, double Start, double End)
{
  if (std::fabs(Start - End) < 1e-12)
    return true;
  double Span = End - Start;
  if (Span < 0)
    Span += 2 * M_PI;
  double Rel = A - Start;
  if (Rel < 0)
    Rel += 2 * M_PI;
  return Rel <= Span;
}

enum TArcKind { akArc, akPie, akChord };

BOOL DrawArc(HDC DC, int Left, int Top, int Right, int Bottom, int XStart, int YStart, int XEnd, int YEnd, TArcKind Kind)
{
  TDeviceContext* D = DcFromHandle(DC);
  if (!D)
    return FALSE;
  RECT R = D->LPtoDevice(Normalised(Left, Top, Right, Bottom));
  if (ShapeTooLarge(R))
    return FALSE;
  POINT S = D->LPtoDevice(POINT{XStart, YStart}), E = D->LPtoDevice(POINT{XEnd, YEnd});
  double Cx = (R.left + R.right) / 2.0, Cy = (R.top + R.bottom) / 2.0;
  double A0 = AngleOf(S.x - Cx, S.y - Cy), A1 = AngleOf(E.x - Cx, E.y - Cy);
  double Ra = (R.right - R.left) / 2.0, Rb = (R.bottom - R.top) / 2.0;
  auto OnEllipse = [&](double A) {
    // The ellipse point on the radial of angle A.
    double C = std::cos(A), Sn = -std::sin(A);
    double K = 1.0 / std::sqrt((C * C) / (Ra * Ra) + (Sn * Sn) / (Rb * Rb));
    return POINT{static_cast<LONG>(std::lround(Cx + C * K - 0.5)), static_cast<LONG>(std::lround(Cy + Sn * K - 0.5))};
  };
  if (Ra <= 0 || Rb <= 0)
    return TRUE;
  TRowShape Shape = EllipseShape(R);
  TRowShape Inner = ShapeInterior(Shape);
  TPenDrawer Pen(*D);
  POINT Ps = OnEllipse(A0), Pe = OnEllipse(A1);
  // The interior part (pie: the sector; chord: the side of the chord holding the arc).
  if (Kind != akArc) {
    double Mid = A0 + ((A1 - A0 < 0 ? A1 - A0 + 2 * M_PI : A1 - A0) / 2.0);
    POINT Pm = OnEllipse(Mid);
    auto Side = [&](double X, double Y) {
      return (Pe.x - Ps.x) * (Y - Ps.y) - (Pe.y - Ps.y) * (X - Ps.x);
    };
    double MidSide = Side(Pm.x, Pm.y);
    std::vector<TSpan> Fill;
    for (std::size_t I = 0; I < Inner.Rows.size(); ++I) {
      int Y = Inner.Top + static_cast<int>(I);
      for (int X = Inner.Rows[I].first; X < Inner.Rows[I].second; ++X) {
        bool In = Kind == akPie ? InArc(AngleOf(X + 0.5 - Cx, Y + 0.5 - Cy), A0, A1)
                                : (Side(X, Y) * MidSide > 0 || (A0 == A1));
        if (!In)
          continue;
        if (!Fill.empty() && Fill.back().Y == Y && Fill.back().X1 == X)
          ++Fill.back().X1;
        else
          Fill.push_back(TSpan{Y, X, X + 1});
      }
    }
    PaintSpans(*D, Fill, nullptr, true);
  }
  if (!Pen.Null()) {
    TPixelPainter Painter(*D, PenColor(*D), D->Rop2);
    for (const TSpan& Sp : ShapeDifference(Shape, Inner))
      for (int X = Sp.X0; X < Sp.X1; ++X)
        if (InArc(AngleOf(X + 0.5 - Cx, Sp.Y + 0.5 - Cy), A0, A1))
          Painter.Plot(X, Sp.Y);
    if (Kind == akPie) {
      POINT C{static_cast<LONG>(std::floor(Cx)), static_cast<LONG>(std::floor(Cy))};
      Pen.Segment(Pe, C);
      Pen.Segment(C, Ps);
    } else if (Kind == akChord) {
      Pen.Segment(Pe, Ps);
    }
  }
  return TRUE;
}

TGdiBrush* FillBrush(HBRUSH Brush)
{
  auto Value = reinterpret_cast<std::uintptr_t>(Brush);
  if (Value >= 1 && Value <= static_cast<std::uintptr_t>(COLOR_ENDCOLORS))
    return BrushFromHandle(GetSysColorBrush(static_cast<int>(Value - 1)));
  return BrushFromHandle(Brush);
}

// The rows of R inside the DC's visible box.
std::vector<TSpan> RectSpans(TDeviceContext& D, RECT R)
{
  std::vector<TSpan> Spans;
  RECT Box = D.EffectiveClip().Box();
  if (!IntersectRect(&R, &R, &Box))
    return Spans;
  for (int Y = R.top; Y < R.bottom; ++Y)
    Spans.push_back(TSpan{Y, R.left, R.right});
  return Spans;
}

void InvertSpans(TDeviceContext& D, const std::vector<TSpan>& Spans)
{
  int Old = D.Rop2;
  D.Rop2 = R2_NOT;
  PaintSpansColor(D, Spans, 0, true);
  D.Rop2 = Old;
}

// The region's rectangles moved from logical to surface pixels, cut to the visible box.
TRegion RegionToDevice(TDeviceContext& D, const TRegion& R)
{
  TRegion Out = R;
  POINT O = D.LPtoDevice(POINT{0, 0});
  Out.Offset(O.x, O.y);
  Out.IntersectWith(D.EffectiveClip().Box());
  return Out;
}

} // namespace

// ---------------------------------------------------------------------------------------------
// Lines
// ---------------------------------------------------------------------------------------------

BOOL LineTo(HDC DC, int X, int Y)
{
  TDeviceContext* D = DcFromHandle(DC);
  if (!D)
    return FALSE;
  {
    TPenDrawer Pen(*D);
    Pen.Segment(D->LPtoDevice(D->CurrentPos), D->LPtoDevice(POINT{X, Y}));
  }
  D->CurrentPos = POINT{X, Y};
  return TRUE;
}

BOOL Polyline(HDC DC, const POINT* Points, int Count)
{
  TDeviceContext* D = DcFromHandle(DC);
  if (!D || !Points || Count < 2)
    return FALSE;
  TPenDrawer Pen(*D);
  for (int I = 0; I + 1 < Count; ++I)
    Pen.Segment(D->LPtoDevice(Points[I]), D->LPtoDevice(Points[I + 1]));
  return TRUE;
}

BOOL PolylineTo(HDC DC, const POINT* Points, DWORD Count)
{
  TDeviceContext* D = DcFromHandle(DC);
  if (!D || (Count && !Points))
    return FALSE;
  {
    TPenDrawer Pen(*D);
    POINT From = D->CurrentPos;
    for (DWORD I = 0; I < Count; ++I) {
      Pen.Segment(D->LPtoDevice(From), D->LPtoDevice(Points[I]));
      From = Points[I];
    }
  }
  if (Count)
    D->CurrentPos = Points[Count - 1];
  return TRUE;
}

BOOL PolyPolyline(HDC DC, const POINT* Points, const DWORD* Counts, DWORD Polys)
{
  TDeviceContext* D = DcFromHandle(DC);
  if (!D || !Points || !Counts)
    return FALSE;
  for (DWORD K = 0; K < Polys; ++K)
    if (Counts[K] < 2)
      return FALSE;
  TPenDrawer Pen(*D);
  const POINT* P = Points;
  for (DWORD K = 0; K < Polys; ++K) {
    for (DWORD I = 0; I + 1 < Counts[K]; ++I)
      Pen.Segment(D->LPtoDevice(P[I]), D->LPtoDevice(P[I + 1]));
    P += Counts[K];
  }
  return TRUE;
}

BOOL PolyPolygon(HDC DC, const POINT* Points, const INT* Counts, int Polys)
{
  TDeviceContext* D = DcFromHandle(DC);
  if (!D || !Points || !Counts || Polys <= 0)
    return FALSE;
  std::vector<POINT> Device;
  int Total = 0;
  for (int K = 0; K < Polys; ++K) {
    if (Counts[K] < 2)
      return FALSE;
    Total += Counts[K];
  }
  Device.reserve(Total);
  for (int I = 0; I < Total; ++I)
    Device.push_back(D->LPtoDevice(Points[I]));
  RECT Box = D->EffectiveClip().Box();
  PaintSpans(*D, PolygonSpans(Device.data(), Counts, Polys, D->PolyFillMode, Box.top, Box.bottom), nullptr, true);
  TPenDrawer Pen(*D);
  const POINT* P = Points;
  for (int K = 0; K < Polys; ++K) {
    DrawClosed(*D, Pen, P, Counts[K]);
    P += Counts[K];
  }
  return TRUE;
}

BOOL Polygon(HDC DC, const POINT* Points, int Count)
{
  if (Count < 2)
    return FALSE;
  return PolyPolygon(DC, Points, &Count, 1);
}

// ---------------------------------------------------------------------------------------------
// Shapes
// ---------------------------------------------------------------------------------------------

BOOL Rectangle(HDC DC, int Left, int Top, int Right, int Bottom)
{
  TDeviceContext* D = DcFromHandle(DC);
  if (!D)
    return FALSE;
  RECT R = D->LPtoDevice(Normalised(Left, Top, Right, Bottom));
  if (R.right - R.left < 1 || R.bottom - R.top < 1)
    return TRUE;
  TPenDrawer Pen(*D);
  if (Pen.Null()) {
    // Without a pen the rectangle is one pixel smaller, as on Windows.
    PaintSpans(*D, RectSpans(*D, RECT{R.left, R.top, R.right - 1, R.bottom - 1}), nullptr, true);
    return TRUE;
  }
  int W = Pen.Width();
  RECT Outer, Inner;
  PenBands(R, W, Pen.InsideFrame(), Outer, Inner);
  if (Inner.right > Inner.left && Inner.bottom > Inner.top)
    PaintSpans(*D, RectSpans(*D, Inner), nullptr, true);
  if (W <= 1) {
    POINT Corners[4] = {{R.left, R.top}, {R.right - 1, R.top}, {R.right - 1, R.bottom - 1}, {R.left, R.bottom - 1}};
    if (R.right - R.left == 1 || R.bottom - R.top == 1) {
      // A one-pixel-thin rectangle is a line; draw it once.
      Pen.Segment(Corners[0], Corners[2]);
      TPixelPainter(*D, PenColor(*D), D->Rop2).Plot(Corners[2].x, Corners[2].y);
      return TRUE;
    }
    for (int I = 0; I < 4; ++I)
      Pen.Segment(Corners[I], Corners[(I + 1) % 4]);
    return TRUE;
  }
  TRegion Band(Outer);
  if (Inner.right > Inner.left && Inner.bottom > Inner.top)
    Band.Subtract(Inner);
  Band.IntersectWith(D->EffectiveClip().Box());
  PaintSpansColor(*D, RegionSpans(Band), PenColor(*D), true);
  return TRUE;
}

BOOL RoundRect(HDC DC, int Left, int Top, int Right, int Bottom, int Width, int Height)
{
  TDeviceContext* D = DcFromHandle(DC);
  if (!D)
    return FALSE;
  return DrawShape(*D, Normalised(Left, Top, Right, Bottom), RoundRectMaker, std::abs(Width), std::abs(Height)) ? TRUE
                                                                                                                 : FALSE;
}

BOOL Ellipse(HDC DC, int Left, int Top, int Right, int Bottom)
{
  TDeviceContext* D = DcFromHandle(DC);
  if (!D)
    return FALSE;
  return DrawShape(*D, Normalised(Left, Top, Right, Bottom), EllipseMaker, 0, 0) ? TRUE : FALSE;
}

BOOL Arc(HDC DC, int Left, int Top, int Right, int Bottom, int XStart, int YStart, int XEnd, int YEnd)
{
  return DrawArc(DC, Left, Top, Right, Bottom, XStart, YStart, XEnd, YEnd, akArc);
}

BOOL Pie(HDC DC, int Left, int Top, int Right, int Bottom, int XStart, int YStart, int XEnd, int YEnd)
{
  return DrawArc(DC, Left, Top, Right, Bottom, XStart, YStart, XEnd, YEnd, akPie);
}

BOOL Chord(HDC DC, int Left, int Top, int Right, int Bottom, int XStart, int YStart, int XEnd, int YEnd)
{
  return DrawArc(DC, Left, Top, Right, Bottom, XStart, YStart, XEnd, YEnd, akChord);
}

// ---------------------------------------------------------------------------------------------
// Rectangle fills
// ---------------------------------------------------------------------------------------------

int FillRect(HDC DC, const RECT* Rect, HBRUSH Brush)
{
  TDeviceContext* D = DcFromHandle(DC);
  TGdiBrush* B = FillBrush(Brush);
  if (!D || !Rect || !B)
    return 0;
  if (Rect->right <= Rect->left || Rect->bottom <= Rect->top)
    return 1;
  RECT R = D->LPtoDevice(*Rect);
  PaintSpans(*D, RectSpans(*D, R), B, false);
  return 1;
}

int FrameRect(HDC DC, const RECT* Rect, HBRUSH Brush)
{
  TDeviceContext* D = DcFromHandle(DC);
  TGdiBrush* B = FillBrush(Brush);
  if (!D || !Rect || !B)
    return 0;
  if (Rect->right <= Rect->left || Rect->bottom <= Rect->top)
    return 1;
  RECT R = D->LPtoDevice(*Rect);
  TRegion Band(R);
  Band.Subtract(RECT{R.left + 1, R.top + 1, R.right - 1, R.bottom - 1});
  Band.IntersectWith(D->EffectiveClip().Box());
  PaintSpans(*D, RegionSpans(Band), B, false);
  return 1;
}

BOOL InvertRect(HDC DC, const RECT* Rect)
{
  TDeviceContext* D = DcFromHandle(DC);
  if (!D || !Rect)
    return FALSE;
  if (Rect->right <= Rect->left || Rect->bottom <= Rect->top)
    return TRUE;
  InvertSpans(*D, RectSpans(*D, D->LPtoDevice(*Rect)));
  return TRUE;
}

// ---------------------------------------------------------------------------------------------
// Pixels
// ---------------------------------------------------------------------------------------------

COLORREF SetPixel(HDC DC, int X, int Y, COLORREF Color)
{
  TDeviceContext* D = DcFromHandle(DC);
  if (!D)
    return CLR_INVALID;
  POINT P = D->LPtoDevice(POINT{X, Y});
  if (!D->EffectiveClip().Contains(P.x, P.y))
    return CLR_INVALID;
  const TSurface& S = D->Surface();
  std::uint32_t Raw = S.ColorToRaw(Color & 0x00FFFFFF);
  S.SetRaw(P.x, P.y, Raw);
  return S.RawToColor(Raw);
}

BOOL SetPixelV(HDC DC, int X, int Y, COLORREF Color) { return SetPixel(DC, X, Y, Color) != CLR_INVALID ? TRUE : FALSE; }

COLORREF GetPixel(HDC DC, int X, int Y)
{
  TDeviceContext* D = DcFromHandle(DC);
  if (!D)
    return CLR_INVALID;
  POINT P = D->LPtoDevice(POINT{X, Y});
  if (!D->EffectiveClip().Contains(P.x, P.y))
    return CLR_INVALID;
  return D->Surface().GetColor(P.x, P.y);
}

BOOL ExtFloodFill(HDC DC, int X, int Y, COLORREF Color, UINT Type)
{
  TDeviceContext* D = DcFromHandle(DC);
  if (!D || Type > FLOODFILLSURFACE)
    return FALSE;
  POINT Start = D->LPtoDevice(POINT{X, Y});
  const TRegion& Clip = D->EffectiveClip();
  if (!Clip.Contains(Start.x, Start.y))
    return FALSE;
  const TSurface& S = D->Surface();
  std::uint32_t Key = S.ColorToRaw(Color & 0x00FFFFFF);
  std::uint32_t Mask = S.BitsPerPixel == 32 ? 0x00FFFFFFu : S.RawMask();
  auto Fillable = [&](int Px, int Py) {
    bool Match = (S.GetRaw(Px, Py) & Mask) == Key;
    return Type == FLOODFILLSURFACE ? Match : !Match;
  };
  if (!Fillable(Start.x, Start.y))
    return FALSE;
  // Scan-line fill over a visited map of the clip box.
  RECT Box = Clip.Box();
  int W = Box.right - Box.left, H = Box.bottom - Box.top;
  std::vector<std::uint8_t> Seen(static_cast<std::size_t>(W) * H, 0);
  auto Index = [&](int Px, int Py) { return static_cast<std::size_t>(Py - Box.top) * W + (Px - Box.left); };
  auto Ok = [&](int Px, int Py) {
    return Px >= Box.left && Px < Box.right && Py >= Box.top && Py < Box.bottom && !Seen[Index(Px, Py)] &&
           Clip.Contains(Px, Py) && Fillable(Px, Py);
  };
  std::vector<TSpan> Spans;
  std::deque<POINT> Queue{Start};
  while (!Queue.empty()) {
    POINT P = Queue.front();
    Queue.pop_front();
    if (!Ok(P.x, P.y))
      continue;
    int L = P.x, R = P.x;
    while (Ok(L - 1, P.y))
      --L;
    while (Ok(R + 1, P.y))
      ++R;
    for (int Px = L; Px <= R; ++Px)
      Seen[Index(Px, P.y)] = 1;
    Spans.push_back(TSpan{P.y, L, R + 1});
    for (int Ny : {P.y - 1, P.y + 1})
      for (int Px = L; Px <= R; ++Px)
        if (Ok(Px, Ny) && (Px == L || !Ok(Px - 1, Ny)))
          Queue.push_back(POINT{Px, Ny});
  }
  PaintSpans(*D, Spans, nullptr, false);
  return TRUE;
}

BOOL FloodFill(HDC DC, int X, int Y, COLORREF Color) { return ExtFloodFill(DC, X, Y, Color, FLOODFILLBORDER); }

// ---------------------------------------------------------------------------------------------
// Regions
// ---------------------------------------------------------------------------------------------

BOOL FillRgn(HDC DC, HRGN Rgn, HBRUSH Brush)
{
  TDeviceContext* D = DcFromHandle(DC);
  TRegion* R = RegionFromHandle(Rgn);
  TGdiBrush* B = FillBrush(Brush);
  if (!D || !R || !B)
    return FALSE;
  PaintSpans(*D, RegionSpans(RegionToDevice(*D, *R)), B, false);
  return TRUE;
}

BOOL PaintRgn(HDC DC, HRGN Rgn)
{
  TDeviceContext* D = DcFromHandle(DC);
  TRegion* R = RegionFromHandle(Rgn);
  if (!D || !R)
    return FALSE;
  PaintSpans(*D, RegionSpans(RegionToDevice(*D, *R)), nullptr, true);
  return TRUE;
}

BOOL InvertRgn(HDC DC, HRGN Rgn)
{
  TDeviceContext* D = DcFromHandle(DC);
  TRegion* R = RegionFromHandle(Rgn);
  if (!D || !R)
    return FALSE;
  InvertSpans(*D, RegionSpans(RegionToDevice(*D, *R)));
  return TRUE;
}

BOOL FrameRgn(HDC DC, HRGN Rgn, HBRUSH Brush, int Width, int Height)
{
  TDeviceContext* D = DcFromHandle(DC);
  TRegion* R = RegionFromHandle(Rgn);
  TGdiBrush* B = FillBrush(Brush);
  if (!D || !R || !B || Width < 0 || Height < 0)
    return FALSE;
  // The frame is the region minus its erosion by Width x Height.
  TRegion Eroded = *R;
  for (int Dx = -Width; Dx <= Width; ++Dx) {
    if (Dx == 0)
      continue;
    TRegion Moved = *R;
    Moved.Offset(Dx, 0);
    Eroded = TRegion::Combine(Eroded, Moved, RGN_AND);
  }
  TRegion Horizontal = Eroded;
  for (int Dy = -Height; Dy <= Height; ++Dy) {
    if (Dy == 0)
      continue;
    TRegion Moved = Horizontal;
    Moved.Offset(0, Dy);
    Eroded = TRegion::Combine(Eroded, Moved, RGN_AND);
  }
  TRegion Frame = TRegion::Combine(*R, Eroded, RGN_DIFF);
  PaintSpans(*D, RegionSpans(RegionToDevice(*D, Frame)), B, false);
  return TRUE;
}
