#include "core/BorderMeasure.h"

#include "platform/rtl/MathUtils.h"

int UniformThreshold(int Length)
{
  return static_cast<int>(Round(static_cast<double>(Length) / 100 * 97));
}

namespace {

// The reads of column X (rows 0..H) that equal the colour at row 1.
int ColumnMatches(const TPixelReader& Pixel, int X, int H)
{
  const TColor Reference = Pixel(X, 1);
  int Count = 0;
  for (int Y = 0; Y <= H; ++Y)
    if (Pixel(X, Y) == Reference) ++Count;
  return Count;
}

int RowMatches(const TPixelReader& Pixel, int Y, int W)
{
  const TColor Reference = Pixel(1, Y);
  int Count = 0;
  for (int X = 0; X <= W; ++X)
    if (Pixel(X, Y) == Reference) ++Count;
  return Count;
}

}  // namespace

TBorders MeasureBorders(const TPixelReader& Pixel, int W, int H)
{
  const int ColumnNeed = UniformThreshold(H);
  const int RowNeed = UniformThreshold(W);
  auto ColumnUniform = [&](int X) { return ColumnMatches(Pixel, X, H) > ColumnNeed; };
  auto RowUniform = [&](int Y) { return RowMatches(Pixel, Y, W) > RowNeed; };

  TBorders B;
  for (int X = 0; X <= W / 2 && ColumnUniform(X); ++X) B.Left = X;
  int Right = W;
  for (int X = W; X >= W / 2 && ColumnUniform(X); --X) Right = X;
  B.Right = W - Right;
  for (int Y = 0; Y <= H / 2 && RowUniform(Y); ++Y) B.Top = Y;
  int Bottom = H;
  for (int Y = H; Y >= H / 2 && RowUniform(Y); --Y) Bottom = Y;
  B.Bottom = H - Bottom;
  return B;
}

TBorders MeasureBordersBatch(const TPixelReader& Pixel, int W, int H)
{
  const int ColumnNeed = UniformThreshold(H);
  const int RowNeed = UniformThreshold(W);
  auto ColumnUniform = [&](int X) { return ColumnMatches(Pixel, X, H) >= ColumnNeed; };
  auto RowUniform = [&](int Y) { return RowMatches(Pixel, Y, W) >= RowNeed; };

  TBorders B;
  for (int X = W / 3; X >= 0 && !ColumnUniform(X); --X) B.Left = X + 1;
  int Right = W;
  for (int X = 2 * (W / 3); X <= W && !ColumnUniform(X); ++X) Right = X - 1;
  B.Right = W - Right;
  for (int Y = H / 3; Y >= 0 && !RowUniform(Y); --Y) B.Top = Y + 1;
  int Bottom = H;
  for (int Y = 2 * (H / 3); Y <= H && !RowUniform(Y); ++Y) Bottom = Y - 1;
  B.Bottom = H - Bottom;
  for (int* V : {&B.Left, &B.Right, &B.Top, &B.Bottom})
    if (*V < 4) *V = 4;
  return B;
}

void MarkBorders(TCanvas* Canvas, int W, int H, const TBorders& B)
{
  constexpr TColor Red = 255;
  for (int X = 0; X <= W; ++X) {
    Canvas->SetPixels(X, B.Top, Red);
    Canvas->SetPixels(X, H - B.Bottom, Red);
  }
  for (int Y = 0; Y <= H; ++Y) {
    Canvas->SetPixels(B.Left, Y, Red);
    Canvas->SetPixels(W - B.Right, Y, Red);
  }
}

TPixelReader CanvasPixelReader(TCanvas* Canvas)
{
  return [Canvas](int X, int Y) { return Canvas->GetPixels(X, Y); };
}
