#include <gtest/gtest.h>

#include <functional>
#include <map>
#include <string>
#include <vector>

#include "skin/foundation/SkinDrawUtils.h"

namespace {

using Picture = std::vector<std::string>;

// Draws on a white W x H bitmap and returns its pixels as characters: Palette's character for
// its colours, '.' for white, '?' for anything else.
Picture Render(int W, int H, const std::function<void(TCanvas*)>& Draw,
               const std::map<TColor, char>& Palette = {{clBlack, '#'}})
{
  TBitmap Bmp;
  Bmp.SetPixelFormat(pf24bit);
  Bmp.SetSize(W, H);
  TCanvas* C = Bmp.GetCanvas();
  C->GetBrush()->SetColor(clWhite);
  C->FillRect(TRect{0, 0, W, H});
  Draw(C);
  Picture P(static_cast<std::size_t>(H), std::string(static_cast<std::size_t>(W), '?'));
  for (int Y = 0; Y < H; ++Y)
    for (int X = 0; X < W; ++X) {
      const TColor Pixel = C->GetPixels(X, Y);
      const auto It = Palette.find(Pixel);
      P[Y][X] = It != Palette.end() ? It->second : Pixel == clWhite ? '.' : '?';
    }
  return P;
}

std::string Show(const Picture& P)
{
  std::string S;
  for (const auto& Row : P)
    S += Row + "\n";
  return S;
}

TEST(SkinDrawUtilsTest, RectangleAndPointTests)
{
  struct {
    TRect R;
    bool Null;
  } const NullCases[] = {{{0, 0, 0, 0}, true},   {{5, 5, 5, 20}, true},  {{10, 0, 0, 10}, true},
                         {{0, 10, 10, 0}, true}, {{-3, -3, -2, -2}, false}, {{0, 0, 1, 1}, false}};
  for (const auto& C : NullCases)
    EXPECT_EQ(IsNullRect(C.R), C.Null) << C.R.left << "," << C.R.top << "," << C.R.right << "," << C.R.bottom;

  EXPECT_EQ(RectWidth(TRect{3, 4, -7, 20}), -10);
  EXPECT_EQ(RectHeight(TRect{3, 4, -7, 20}), 16);
  EXPECT_TRUE(EqualRects(NullRect(), TRect{0, 0, 0, 0}));
  EXPECT_FALSE(EqualRects(TRect{1, 2, 3, 4}, TRect{1, 2, 3, 5}));
  EXPECT_FALSE(EqualRects(TRect{1, 2, 3, 4}, TRect{0, 2, 3, 4}));

  struct {
    TPoint P;
    bool Null;
  } const PointCases[] = {{{0, 7}, true}, {{7, 0}, true}, {{0, 0}, true}, {{-1, 1}, false}};
  for (const auto& C : PointCases)
    EXPECT_EQ(IsNullPoint(C.P), C.Null) << C.P.x << "," << C.P.y;

  const TRect Box{0, 0, 10, 10};
  struct {
    TPoint P;
    bool Inside;
  } const InsideCases[] = {{{10, 10}, true}, {{0, 0}, true},   {{0, 10}, true},
                           {{11, 5}, false}, {{5, -1}, false}, {{-1, 5}, false}};
  for (const auto& C : InsideCases)
    EXPECT_EQ(PointInsideRect(Box, C.P), C.Inside) << C.P.x << "," << C.P.y;

  struct {
    TRect A;
    bool In;
  } const InRectCases[] = {{{0, 0, 10, 10}, false}, {{0, 0, 9, 9}, true}, {{2, 2, 9, 10}, false},
                           {{-1, 0, 5, 5}, false}, {{5, 5, 6, 6}, true}};
  for (const auto& C : InRectCases)
    EXPECT_EQ(RectInRect(C.A, Box), C.In) << C.A.left << "," << C.A.top << "," << C.A.right << "," << C.A.bottom;

  EXPECT_EQ(IntMax(-3, 2), 2);
  EXPECT_EQ(IntMin(-3, 2), -3);
}

TEST(SkinDrawUtilsTest, WindowsVersionTests)
{
  struct {
    int Major, Minor;
    bool Vista, XP, W2000;
  } const Cases[] = {{4, 0, false, false, false}, {4, 10, false, false, false}, {5, 0, false, false, true},
                     {5, 1, false, true, true},   {5, 2, false, false, true},   {5, 3, false, false, false},
                     {6, 0, true, true, true},    {6, 1, true, true, true},     {10, 0, true, true, true}};
  for (const auto& C : Cases) {
    EXPECT_EQ(IsWindowsVistaOrLaterVersion(C.Major, C.Minor), C.Vista) << C.Major << "." << C.Minor;
    EXPECT_EQ(IsWindowsXPOrLaterVersion(C.Major, C.Minor), C.XP) << C.Major << "." << C.Minor;
    EXPECT_EQ(IsWindows2000OrLaterVersion(C.Major, C.Minor), C.W2000) << C.Major << "." << C.Minor;
  }
  // This platform reports itself as a current Windows: every feature test passes.
  int Major = 0, Minor = 0;
  GetWindowsVersion(Major, Minor);
  EXPECT_GE(Major, 6);
  EXPECT_TRUE(IsWindows2000OrLater());
  EXPECT_TRUE(IsWindowsXPOrLater());
  EXPECT_TRUE(IsWindowsVistaOrLater());
}

TEST(SkinDrawUtilsTest, ButtonLayoutForEverySideAndMargin)
{
  struct {
    const char* Name;
    TskButtonLayout Layout;
    TRect R;
    int GW, GH, TW, TH, Spacing, Margin;
    int TextX, TextY, GlyphX, GlyphY;
  } const Cases[] = {
      {"left centred", blGlyphLeft, {0, 0, 100, 20}, 16, 16, 40, 13, 4, -1, 40, 4, 20, 2},
      {"left centred, odd group", blGlyphLeft, {0, 0, 100, 20}, 16, 16, 41, 13, 4, -1, 39, 4, 20, 2},
      {"left pinned", blGlyphLeft, {0, 0, 100, 20}, 16, 16, 40, 13, 4, 5, 25, 4, 5, 2},
      {"right centred", blGlyphRight, {0, 0, 100, 20}, 16, 16, 40, 13, 4, -1, 20, 4, 64, 2},
      {"right pinned", blGlyphRight, {0, 0, 100, 20}, 16, 16, 40, 13, 4, 5, 35, 4, 79, 2},
      {"top centred", blGlyphTop, {0, 0, 60, 50}, 16, 16, 40, 13, 4, -1, 10, 28, 22, 9},
      {"top pinned", blGlyphTop, {0, 0, 60, 50}, 16, 16, 40, 13, 4, 3, 10, 23, 22, 3},
      {"bottom centred", blGlyphBottom, {0, 0, 60, 50}, 16, 16, 40, 13, 4, -1, 10, 9, 22, 25},
      {"bottom pinned", blGlyphBottom, {0, 0, 60, 50}, 16, 16, 40, 13, 4, 3, 10, 14, 22, 31},
      {"offset rectangle", blGlyphLeft, {10, 30, 110, 51}, 16, 16, 40, 13, 4, -1, 50, 34, 30, 32},
      // Without a glyph the spacing does not count.
      {"no glyph, left", blGlyphLeft, {0, 0, 100, 20}, 0, 0, 40, 13, 4, -1, 30, 4, 30, 10},
      {"no glyph, pinned", blGlyphLeft, {0, 0, 100, 20}, 0, 0, 40, 13, 4, 3, 3, 4, 3, 10},
      {"no glyph, top", blGlyphTop, {0, 0, 60, 50}, 0, 0, 40, 13, 4, -1, 10, 18, 30, 19},
      // Halving truncates toward zero: (-7) div 2 = -3 and (-13) div 2 = -6.
      {"inverted rectangle", blGlyphLeft, {0, 0, -7, -7}, 0, 0, 0, 0, 0, -1, -3, -3, -3, -3},
      {"negative text size", blGlyphLeft, {0, 0, 100, 20}, 0, 0, -13, -13, 0, -1, 57, 16, 56, 10},
  };
  for (const auto& C : Cases) {
    int TextX = 999, TextY = 999, GlyphX = 999, GlyphY = 999;
    CalcButtonLayout(C.Layout, C.R, C.GW, C.GH, C.TW, C.TH, C.Spacing, C.Margin, TextX, TextY, GlyphX, GlyphY);
    EXPECT_EQ((std::vector<int>{TextX, TextY, GlyphX, GlyphY}),
              (std::vector<int>{C.TextX, C.TextY, C.GlyphX, C.GlyphY}))
        << C.Name;
  }
  int TextX = 999, TextY = 999, GlyphX = 999, GlyphY = 999;
  CalcButtonLayout(static_cast<TskButtonLayout>(4), TRect{0, 0, 100, 20}, 16, 16, 40, 13, 4, -1, TextX, TextY,
                   GlyphX, GlyphY);
  EXPECT_EQ((std::vector<int>{TextX, TextY, GlyphX, GlyphY}), (std::vector<int>{999, 999, 999, 999}));
}

TEST(SkinDrawUtilsTest, DottedFocusRectangleAlternatesAroundTheCorners)
{
  struct {
    TRect R;
    int W, H;
    Picture Expected;
  } const Cases[] = {
      // Width and height (of the inclusive outline) both even: the first corner stays unset.
      {{1, 1, 6, 6}, 7, 7, {".......", "..#.#..", ".#...#.", ".......", ".#...#.", "..#.#..", "......."}},
      // Odd sizes: the first corner is set.
      {{1, 1, 7, 5}, 8, 6, {"........", ".#.#.#..", "......#.", ".#......", "..#.#.#.", "........"}},
      // A one-pixel-wide outline: each pixel is passed twice.
      {{2, 1, 3, 4}, 5, 5, {".....", ".....", "..#..", ".....", "....."}},
      // Empty and inverted rectangles draw nothing.
      {{2, 2, 2, 2}, 4, 4, {"....", "....", "....", "...."}},
      {{3, 3, 1, 1}, 4, 4, {"....", "....", "....", "...."}},
  };
  for (const auto& C : Cases) {
    TColor Pen = clNone;
    const Picture P = Render(C.W, C.H,
                             [&](TCanvas* Canvas) {
                               Canvas->GetFont()->SetColor(clRed);
                               DrawDottedFocusRect(Canvas, C.R);
                               Pen = Canvas->GetPen()->GetColor();
                             },
                             {{clRed, '#'}});
    EXPECT_EQ(Show(P), Show(C.Expected)) << C.R.left << "," << C.R.top << "," << C.R.right << "," << C.R.bottom;
    EXPECT_EQ(Pen, clRed);
  }
}

TEST(SkinDrawUtilsTest, BevelFrameGivesTheTopRightCornerToTheBottomRightColour)
{
  const Picture P = Render(7, 6, [](TCanvas* C) { DrawBevelFrame(C, TRect{1, 1, 6, 5}, clRed, clBlue); },
                           {{clRed, 'r'}, {clBlue, 'b'}});
  EXPECT_EQ(Show(P), Show({".......", ".rrrrb.", ".r...b.", ".r...b.", ".bbbbb.", "......."}));
}

} // namespace
