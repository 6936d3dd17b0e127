// Both border measurements over small pictures drawn in the test (a colour per pixel, the
// outside reads CLR_INVALID), and the measurement over a real bitmap reduced to the halftone
// palette, as the frame grab makes it.
#include <gtest/gtest.h>

#include <vector>

#include "core/BorderMeasure.h"
#include "platform/gdi/Gdi.h"
#include "platform/vcl/Bitmap.h"

namespace {

constexpr TColor Black = 0x000000;

constexpr TColor Content[4] = {0xA05030, 0x3050A0, 0x30A050, 0xE0E0E0};

// A picture of W x H pixels; "content" pixels vary from neighbour to neighbour (four colours
// in a pattern that makes no line uniform).
struct TPicture {
  int W, H;
  std::vector<TColor> Pixels;
  TPicture(int AW, int AH) : W(AW), H(AH), Pixels(static_cast<size_t>(AW) * AH)
  {
    for (int Y = 0; Y < H; ++Y)
      for (int X = 0; X < W; ++X) At(X, Y) = Content[(X + 2 * Y) % 4];
  }
  TColor& At(int X, int Y) { return Pixels[static_cast<size_t>(Y) * W + X]; }
  TPicture& Columns(int From, int To, TColor C)
  {
    for (int X = From; X <= To; ++X)
      for (int Y = 0; Y < H; ++Y) At(X, Y) = C;
    return *this;
  }
  TPicture& Rows(int From, int To, TColor C)
  {
    for (int Y = From; Y <= To; ++Y)
      for (int X = 0; X < W; ++X) At(X, Y) = C;
    return *this;
  }
  TPicture& Fill(TColor C) { return Columns(0, W - 1, C); }
  // Count pixels of colour C spread over row Y (columns 3, 19, 35 ...), as compression noise.
  TPicture& SpeckleRow(int Y, int Count, TColor C)
  {
    for (int K = 0; K < Count; ++K) At(3 + 16 * K, Y) = C;
    return *this;
  }
  TPicture& SpeckleColumn(int X, int Count, TColor C)
  {
    for (int K = 0; K < Count; ++K) At(X, 3 + 16 * K) = C;
    return *this;
  }
  TPixelReader Reader() const
  {
    return [this](int X, int Y) {
      if (X < 0 || Y < 0 || X >= W || Y >= H) return static_cast<TColor>(CLR_INVALID);
      return Pixels[static_cast<size_t>(Y) * W + X];
    };
  }
};

struct TMeasureCase {
  const char* Name;
  TPicture Picture;
  TBorders Interactive;
  TBorders Batch;
};

std::vector<TMeasureCase> MeasureCases()
{
  return {
      // Interactive: innermost uniform index 9 on the left; batch: from W/3 = 13 down to 10
      // the columns vary, so L = 10 + 1.
      {"ten_black_columns_left", TPicture(40, 20).Columns(0, 9, Black), {9, 0, 0, 0}, {11, 4, 4, 4}},
      // Interactive: r reaches 30, R = 10; batch: from 26 up to 29 vary, r = 28, R = 12.
      {"ten_black_columns_right", TPicture(40, 20).Columns(30, 39, Black), {0, 10, 0, 0}, {4, 12, 4, 4}},
      // Batch without borders: 1 and 2 before the minimum of 4.
      {"no_borders", TPicture(40, 20), {0, 0, 0, 0}, {4, 4, 4, 4}},
      // One colour: left W div 2, right W - W div 2 (the scans meet in the middle).
      {"one_colour_odd_size", TPicture(41, 21).Fill(Black), {20, 21, 10, 11}, {4, 4, 4, 4}},
      // Letterbox of a half-size PAL frame: 16 black rows top and bottom.
      {"letterbox_rows", TPicture(160, 120).Rows(0, 15, Black).Rows(104, 119, Black), {0, 0, 15, 16}, {4, 4, 17, 18}},
      // Bars on all sides.
      {"bars_on_four_sides",
       TPicture(160, 120).Rows(0, 11, Black).Rows(108, 119, Black).Columns(0, 7, Black).Columns(150, 159, Black),
       {7, 10, 11, 12},
       {9, 12, 13, 14}},
      // Near-black bars of a colour other than black count the same: uniform is "one colour".
      {"grey_bars_count_too", TPicture(40, 20).Columns(0, 5, 0x202020), {5, 0, 0, 0}, {7, 4, 4, 4}},
      // A compressed letterbox: the bar lines next to the picture carry noise of the palette
      // entries next to black (7 of 161 reads, more than the 3 % a uniform line may miss). The
      // preview takes them as bar; the batch, exact, takes them as picture (and its two lines).
      {"noise_near_black_in_the_bars",
       TPicture(160, 120)
           .Rows(0, 15, Black)
           .Rows(104, 119, Black)
           .SpeckleRow(12, 7, 0x0C0C0C)
           .SpeckleRow(13, 7, 0x000033)
           .SpeckleRow(14, 7, 0x333300)
           .SpeckleRow(15, 7, 0x330033)
           .SpeckleRow(104, 7, 0x003300)
           .SpeckleRow(105, 7, 0x181818),
       {0, 0, 15, 16},
       {4, 4, 13, 16}},
      // Noise one level further from the bar's colour than a palette step is picture: the
      // preview stops before it.
      {"noise_beyond_one_palette_step", TPicture(160, 120).Columns(0, 9, Black).SpeckleColumn(6, 7, 0x340000),
       {5, 0, 0, 0},
       {11, 4, 4, 4}},
  };
}

TEST(BorderMeasure, BothMeasurementsOnDrawnPictures)
{
  for (const auto& C : MeasureCases()) {
    const TBorders I = MeasureBorders(C.Picture.Reader(), C.Picture.W, C.Picture.H);
    const TBorders B = MeasureBordersBatch(C.Picture.Reader(), C.Picture.W, C.Picture.H);
    EXPECT_EQ(I, C.Interactive) << C.Name << " interactive: " << I.Left << " " << I.Right << " " << I.Top << " "
                                << I.Bottom;
    EXPECT_EQ(B, C.Batch) << C.Name << " batch: " << B.Left << " " << B.Right << " " << B.Top << " " << B.Bottom;
  }
}

TEST(BorderMeasure, ThresholdIsRoundOfNinetySevenPercent)
{
  EXPECT_EQ(UniformThreshold(240), 233);  // Round(232.8)
  EXPECT_EQ(UniformThreshold(50), 48);    // Round(48.5): halves go to the even neighbour
  EXPECT_EQ(UniformThreshold(150), 146);  // Round(145.5)
  EXPECT_EQ(UniformThreshold(0), 0);
}

// Columns 0..5 of a 20 x 240 picture hold Matching pixels of the bar colour (row 1 among
// them), the rest of each such column the other colour: the preview needs more than 233
// matches, the batch at least 233. The read below the picture matches neither colour, not
// even white, which lies next to it in every channel.
TEST(BorderMeasure, ColumnUniformityAtTheThreshold)
{
  constexpr TColor White = 0xFFFFFF;
  struct {
    int Matching;
    TColor Bar;
    int InteractiveLeft;
    int BatchLeft;
  } Cases[] = {{232, Black, 0, 4}, {233, Black, 0, 7}, {234, Black, 5, 7}, {240, Black, 5, 7},
               {233, White, 0, 7}, {234, White, 5, 7}};
  for (const auto& C : Cases) {
    TPicture P(20, 240);
    for (int X = 0; X <= 5; ++X)
      for (int Y = 0; Y < 240; ++Y) P.At(X, Y) = Y < C.Matching ? C.Bar : C.Bar ^ White;
    EXPECT_EQ(MeasureBorders(P.Reader(), P.W, P.H).Left, C.InteractiveLeft) << C.Matching << " " << C.Bar;
    EXPECT_EQ(MeasureBordersBatch(P.Reader(), P.W, P.H).Left, C.BatchLeft) << C.Matching << " " << C.Bar;
  }
}

TEST(BorderMeasure, TinyPicturesDoNotReadFarOutside)
{
  for (int W : {0, 1, 2})
    for (int H : {0, 1, 2}) {
      TPicture P(W, H);
      const TPixelReader Checked = [&](int X, int Y) {
        EXPECT_TRUE(X >= 0 && Y >= 0 && X <= W + 1 && Y <= H + 1) << X << "," << Y;
        return P.Reader()(X, Y);
      };
      MeasureBorders(Checked, W, H);
      MeasureBordersBatch(Checked, W, H);
    }
}

// The frame as the grab leaves it: a 24-bit picture converted to 8 bits with the halftone
// palette, read through the bitmap's canvas (CLR_INVALID just outside).
TEST(BorderMeasure, HalftoneBitmapMergesNearEqualColours)
{
  TBitmap Bitmap(48, 24, pf24bit);
  TCanvas* Canvas = Bitmap.GetCanvas();
  for (int Y = 0; Y < 24; ++Y)
    for (int X = 0; X < 48; ++X) {
      // Noisy near-black bars of 6 columns at both sides, a picture of strong colours between.
      const TColor Dark = static_cast<TColor>((X * 3 + Y * 5) % 4) * 0x010101u;
      const TColor Bright = (X + Y) % 2 ? 0x0000FFu : 0xFF8000u;
      Canvas->SetPixels(X, Y, X < 6 || X >= 42 ? Dark : Bright);
    }
  Bitmap.SetPixelFormat(pf8bit);
  TCanvas* Frame = Bitmap.GetCanvas();
  EXPECT_EQ(Frame->GetPixels(48, 3), static_cast<TColor>(CLR_INVALID));
  EXPECT_EQ(Frame->GetPixels(0, 0), Frame->GetPixels(1, 1));  // the noise maps to one palette entry
  const TBorders I = MeasureBorders(CanvasPixelReader(Frame), 48, 24);
  EXPECT_EQ(I.Left, 5);
  EXPECT_EQ(I.Right, 6);
}

TEST(BorderMeasure, MarkingDrawsRedLinesAtTheBorders)
{
  TBitmap Bitmap(20, 10, pf24bit);
  TCanvas* Canvas = Bitmap.GetCanvas();
  MarkBorders(Canvas, 20, 10, TBorders{3, 4, 2, 1});
  EXPECT_EQ(Canvas->GetPixels(3, 5), 255u);   // column L
  EXPECT_EQ(Canvas->GetPixels(16, 5), 255u);  // column W - R
  EXPECT_EQ(Canvas->GetPixels(10, 2), 255u);  // row T
  EXPECT_EQ(Canvas->GetPixels(10, 9), 255u);  // row H - B
  EXPECT_EQ(Canvas->GetPixels(10, 5), 0u);
}

}  // namespace
