#include "core/BorderMeasure.h"

#include "platform/gdi/Gdi.h"
#include "platform/rtl/MathUtils.h"

int UniformThreshold(int Length)
{
  return static_cast<int>(Round(static_cast<double>(Length) / 100 * 97));
}

namespace {

// How far a read of the preview's measurement may stray from the line's colour in each of red,
// green and blue and still count as that colour: one step of the halftone palette's colour
// cube. A compressed frame's bars carry noise and ringing near the picture's edge, which the
// palette maps to the entries next to the bar's colour; the picture differs by more.
constexpr int NoiseStep = 0x33;

bool SameColour(TColor A, TColor B)
{
  return A == B;
}

// The outside read matches only another outside read.
bool NearColour(TColor A, TColor B)
{
  if (A == B) return true;
  if (A == static_cast<TColor>(CLR_INVALID) || B == static_cast<TColor>(CLR_INVALID)) return false;
  for (int Shift : {0, 8, 16}) {
    const int Difference = static_cast<int>((A >> Shift) & 0xFF) - static_cast<int>((B >> Shift) & 0xFF);
    if (Difference > NoiseStep || Difference < -NoiseStep) return false;
  }
  return true;
}

using TColourMatch = bool (*)(TColor, TColor);

// The reads of column X (rows 0..H) that match the colour at row 1.
int ColumnMatches(const TPixelReader& Pixel, int X, int H, TColourMatch Match)
{
  const TColor Reference = Pixel(X, 1);
  int Count = 0;
  for (int Y = 0; Y <= H; ++Y)
    if (Match(Pixel(X, Y), Reference)) ++Count;
  return Count;
}

int RowMatches(const TPixelReader& Pixel, int Y, int W, TColourMatch Match)
{
  const TColor Reference = Pixel(1, Y);
  int Count = 0;
  for (int X = 0; X <= W; ++X)
    if (Match(Pixel(X, Y), Reference)) ++Count;
  return Count;
}

}  // namespace

TBorders MeasureBorders(const TPixelReader& Pixel, int W, int H)
{
  const int ColumnNeed = UniformThreshold(H);
  const int RowNeed = UniformThreshold(W);
  auto ColumnUniform = [&](int X) { return ColumnMatches(Pixel, X, H, NearColour) > ColumnNeed; };
  auto RowUniform = [&](int Y) { return RowMatches(Pixel, Y, W, NearColour) > RowNeed; };

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
  auto ColumnUniform = [&](int X) { return ColumnMatches(Pixel, X, H, SameColour) >= ColumnNeed; };
  auto RowUniform = [&](int Y) { return RowMatches(Pixel, Y, W, SameColour) >= RowNeed; };

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
