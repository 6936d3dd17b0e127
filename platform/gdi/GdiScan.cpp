// Scan conversion of polygons, ellipses and rounded rectangles into spans of pixels.
#include <algorithm>
#include <cmath>

#include "platform/gdi/GdiInternal.h"

namespace GdiInternal {

std::vector<TSpan> PolygonSpans(const POINT* Points, const INT* Counts, int Polys, int FillMode, int RowFrom, int RowTo)
{
  struct TEdge {
    double X0, Y0, X1, Y1;
    int Dir;
  };
  std::vector<TEdge> Edges;
  int MinY = 0, MaxY = 0;
  bool Any = false;
  const POINT* P = Points;
  for (int K = 0; K < Polys; ++K) {
    int N = Counts[K];
    for (int I = 0; I < N; ++I) {
      const POINT& A = P[I];
      const POINT& B = P[(I + 1) % N];
      if (!Any) {
        MinY = MaxY = A.y;
        Any = true;
      }
      MinY = std::min<int>(MinY, std::min(A.y, B.y));
      MaxY = std::max<int>(MaxY, std::max(A.y, B.y));
      if (A.y == B.y)
        continue;
      Edges.push_back(TEdge{static_cast<double>(A.x), static_cast<double>(A.y), static_cast<double>(B.x),
                            static_cast<double>(B.y), B.y > A.y ? 1 : -1});
    }
    P += N;
  }
  std::vector<TSpan> Spans;
  std::vector<std::pair<double, int>> Cross;
  MinY = std::max(MinY, RowFrom);
  MaxY = std::min(MaxY, RowTo);
  for (int Y = MinY; Y < MaxY; ++Y) {
    double Yc = Y + 0.5;
    Cross.clear();
    for (const TEdge& E : Edges) {
      double Lo = std::min(E.Y0, E.Y1), Hi = std::max(E.Y0, E.Y1);
      if (Yc < Lo || Yc >= Hi)
        continue;
      double X = E.X0 + (Yc - E.Y0) * (E.X1 - E.X0) / (E.Y1 - E.Y0);
      Cross.emplace_back(X, E.Dir);
    }
    std::sort(Cross.begin(), Cross.end());
    int Winding = 0;
    for (std::size_t I = 0; I + 1 < Cross.size(); ++I) {
      Winding += Cross[I].second;
      bool Inside = FillMode == WINDING ? Winding != 0 : (I % 2) == 0;
      if (!Inside)
        continue;
      int X0 = static_cast<int>(std::ceil(Cross[I].first - 0.5));
      int X1 = static_cast<int>(std::ceil(Cross[I + 1].first - 0.5));
      if (X1 <= X0)
        continue;
      if (!Spans.empty() && Spans.back().Y == Y && Spans.back().X1 >= X0)
        Spans.back().X1 = std::max(Spans.back().X1, X1);
      else
        Spans.push_back(TSpan{Y, X0, X1});
    }
  }
  return Spans;
}

TRowShape EllipseShape(const RECT& R)
{
  TRowShape S;
  S.Top = R.top;
  int W = R.right - R.left, H = R.bottom - R.top;
  if (W <= 0 || H <= 0)
    return S;
  double A = W / 2.0, B = H / 2.0, Cx = R.left + A, Cy = R.top + B;
  S.Rows.resize(H);
  for (int I = 0; I < H; ++I) {
    double Dy = (R.top + I + 0.5 - Cy) / B;
    double T = 1.0 - Dy * Dy;
    if (T < 0) {
      S.Rows[I] = {0, 0};
      continue;
    }
    double Dx = A * std::sqrt(T);
    int X0 = static_cast<int>(std::ceil(Cx - Dx - 0.5));
    int X1 = static_cast<int>(std::floor(Cx + Dx - 0.5)) + 1;
    X0 = std::max<int>(X0, R.left);
    X1 = std::min<int>(X1, R.right);
    if (X1 <= X0) {
      // Very flat rows still get their centre pixel, so thin ellipses stay connected.
      X0 = static_cast<int>(std::floor(Cx - 0.5));
      X1 = X0 + 1;
    }
    S.Rows[I] = {X0, X1};
  }
  return S;
}

TRowShape RoundRectShape(const RECT& R, int EllipseW, int EllipseH)
{
  TRowShape S;
  S.Top = R.top;
  int W = R.right - R.left, H = R.bottom - R.top;
  if (W <= 0 || H <= 0)
    return S;
  EllipseW = std::clamp(EllipseW, 0, W);
  EllipseH = std::clamp(EllipseH, 0, H);
  S.Rows.assign(H, {R.left, R.right});
  if (EllipseW < 2 || EllipseH < 2)
    return S;
  TRowShape Top = EllipseShape(RECT{R.left, R.top, R.left + EllipseW, R.top + EllipseH});
  TRowShape Bottom = EllipseShape(RECT{R.left, R.bottom - EllipseH, R.left + EllipseW, R.bottom});
  int Half = EllipseH / 2;
  for (int I = 0; I < Half && I < H; ++I) {
    auto [X0, X1] = Top.Rows[I];
    int Inset = X0 - R.left;
    S.Rows[I] = {R.left + Inset, R.right - Inset};
  }
  for (int I = EllipseH - Half; I < EllipseH; ++I) {
    int Row = H - EllipseH + I;
    if (Row < Half)
      continue;
    auto [X0, X1] = Bottom.Rows[I];
    int Inset = X0 - R.left;
    S.Rows[Row] = {R.left + Inset, R.right - Inset};
  }
  return S;
}

std::vector<TSpan> ShapeSpans(const TRowShape& S)
{
  std::vector<TSpan> Spans;
  for (std::size_t I = 0; I < S.Rows.size(); ++I)
    if (S.Rows[I].second > S.Rows[I].first)
      Spans.push_back(TSpan{S.Top + static_cast<int>(I), S.Rows[I].first, S.Rows[I].second});
  return Spans;
}

TRowShape ShapeInterior(const TRowShape& S)
{
  TRowShape In;
  In.Top = S.Top;
  In.Rows.assign(S.Rows.size(), {0, 0});
  for (std::size_t I = 1; I + 1 < S.Rows.size(); ++I) {
    auto [X0, X1] = S.Rows[I];
    if (X1 <= X0)
      continue;
    int L = std::max({X0 + 1, S.Rows[I - 1].first, S.Rows[I + 1].first});
    int R = std::min({X1 - 1, S.Rows[I - 1].second, S.Rows[I + 1].second});
    if (S.Rows[I - 1].second <= S.Rows[I - 1].first || S.Rows[I + 1].second <= S.Rows[I + 1].first)
      continue;
    if (R > L)
      In.Rows[I] = {L, R};
  }
  return In;
}

std::vector<TSpan> ShapeDifference(const TRowShape& A, const TRowShape& B)
{
  std::vector<TSpan> Spans;
  for (std::size_t I = 0; I < A.Rows.size(); ++I) {
    auto [X0, X1] = A.Rows[I];
    if (X1 <= X0)
      continue;
    int Y = A.Top + static_cast<int>(I);
    int J = Y - B.Top;
    if (J < 0 || J >= static_cast<int>(B.Rows.size()) || B.Rows[J].second <= B.Rows[J].first) {
      Spans.push_back(TSpan{Y, X0, X1});
      continue;
    }
    int L = std::max(X0, B.Rows[J].first), R = std::min(X1, B.Rows[J].second);
    if (R <= L) {
      Spans.push_back(TSpan{Y, X0, X1});
      continue;
    }
    if (L > X0)
      Spans.push_back(TSpan{Y, X0, L});
    if (X1 > R)
      Spans.push_back(TSpan{Y, R, X1});
  }
  return Spans;
}

std::vector<TSpan> RegionSpans(const TRegion& R)
{
  std::vector<TSpan> Spans;
  for (const RECT& Rc : R.Rects())
    for (int Y = Rc.top; Y < Rc.bottom; ++Y)
      Spans.push_back(TSpan{Y, Rc.left, Rc.right});
  return Spans;
}

} // namespace GdiInternal
