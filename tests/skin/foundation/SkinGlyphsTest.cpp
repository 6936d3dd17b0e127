#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "skin/foundation/SkinGlyphs.h"

namespace {

using Picture = std::vector<std::string>;

// Draws on a white W x H bitmap and returns its pixels: '#' for Ink, '.' for white, '?' else.
Picture Render(int W, int H, const std::function<void(TCanvas*)>& Draw, TColor Ink = clBlack)
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
      P[Y][X] = Pixel == Ink ? '#' : Pixel == clWhite ? '.' : '?';
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

struct TGlyphCase {
  const char* Name;
  std::function<void(TCanvas*)> Draw;
  Picture Expected;
};

TEST(SkinGlyphsTest, SymbolsAreDrawnPixelExact)
{
  const TRect R10{0, 0, 10, 10};
  const std::vector<TGlyphCase> Cases = {
      {"arrow left", [&](TCanvas* C) { DrawArrowGlyph(C, R10, clBlack, 1); },
       {"..........", "..........", "......#...", ".....##...", "....###...", "...####...",
        "....###...", ".....##...", "......#...", ".........."}},
      {"arrow right", [&](TCanvas* C) { DrawArrowGlyph(C, R10, clBlack, 2); },
       {"..........", "..........", "....#.....", "....##....", "....###...", "....####..",
        "....###...", "....##....", "....#.....", ".........."}},
      {"arrow up", [&](TCanvas* C) { DrawArrowGlyph(C, R10, clBlack, 3); },
       {"..........", "..........", "..........", ".....#....", "....###...", "...#####..",
        "..#######.", "..........", "..........", ".........."}},
      {"arrow down", [&](TCanvas* C) { DrawArrowGlyph(C, R10, clBlack, 4); },
       {"..........", "..........", "..........", "..........", "..#######.", "...#####..",
        "....###...", ".....#....", "..........", ".........."}},
      // An inverted rectangle (width -5): its centre truncates toward zero, 9 + (-5) / 2 = 7.
      {"arrow down, inverted rectangle",
       [&](TCanvas* C) { DrawArrowGlyph(C, TRect{9, 0, 4, 10}, clBlack, 4); },
       {"..........", "..........", "..........", "..........", "....######", ".....#####",
        "......###.", ".......#..", "..........", ".........."}},
      {"small down arrow", [&](TCanvas* C) { DrawSmallDownArrow(C, TRect{0, 0, 9, 9}, clBlack); },
       {".........", ".........", ".........", ".........", "..#####..", "...###...",
        "....#....", ".........", "........."}},
      {"radio", [&](TCanvas* C) { DrawRadioGlyph(C, 1, 1, clBlack); },
       {"........", ".######.", ".######.", ".######.", ".######.", ".######.", ".######.",
        "........"}},
      {"check", [&](TCanvas* C) { DrawCheckGlyph(C, 0, 0, clBlack); },
       {"........", "......#.", ".....##.", "#...###.", "##.###..", "#####...", ".###....",
        "..#....."}},
      {"close", [&](TCanvas* C) { DrawCloseGlyph(C, 0, 0, clBlack); },
       {"...........", ".##.....##.", "..##...##..", "...##.##...", "....###....", "....###....",
        "...##.##...", "..##...##..", ".##.....##.", "..........."}},
      {"system menu", [&](TCanvas* C) { DrawSysMenuGlyph(C, 0, 0, clBlack); },
       {"...........", "...........", "...........", ".########..", ".#......#..", ".########..",
        "...........", "...........", "...........", "..........."}},
      {"minimize", [&](TCanvas* C) { DrawMinimizeGlyph(C, 0, 0, clBlack); },
       {"...........", "...........", "...........", "...........", "...........", "...........",
        "...........", "...........", ".########..", ".########.."}},
      {"maximize", [&](TCanvas* C) { DrawMaximizeGlyph(C, 0, 0, clBlack); },
       {"###########", "###########", "#.........#", "#.........#", "#.........#", "#.........#",
        "#.........#", "#.........#", "#.........#", "###########"}},
      {"restore", [&](TCanvas* C) { DrawRestoreGlyph(C, 0, 0, clBlack); },
       {"..########.", "..########.", "..#......#.", "..#......#.", "#######..#.", "##########.",
        "#.....#....", "#.....#....", "#.....#....", "#######...."}},
      {"roll down", [&](TCanvas* C) { DrawRollDownGlyph(C, 0, 0, clBlack); },
       {"...........", "...........", ".########..", "..######...", "...####....", "....##.....",
        "...........", "...........", "...........", "..........."}},
      {"roll up", [&](TCanvas* C) { DrawRollUpGlyph(C, 0, 0, clBlack); },
       {"...........", "...........", "...........", "....##.....", "...####....", "..######...",
        ".########..", "...........", "...........", "..........."}},
      {"minimize to tray", [&](TCanvas* C) { DrawMinimizeToTrayGlyph(C, 0, 0, clBlack); },
       {"...........", "...........", "..#####....", "..#####....", "..#####....", "..#####....",
        "..#####....", "...........", "...........", "..........."}},
  };
  for (const auto& Case : Cases) {
    const int W = static_cast<int>(Case.Expected[0].size());
    const int H = static_cast<int>(Case.Expected.size());
    EXPECT_EQ(Show(Render(W, H, Case.Draw)), Show(Case.Expected)) << Case.Name;
  }
}

TEST(SkinGlyphsTest, UnknownArrowDirectionDrawsNothingButSetsThePen)
{
  for (int Direction : {0, 5, -1}) {
    TColor Pen = clNone;
    const Picture P = Render(10, 10, [&](TCanvas* C) {
      DrawArrowGlyph(C, TRect{0, 0, 10, 10}, clRed, Direction);
      Pen = C->GetPen()->GetColor();
    });
    EXPECT_EQ(Show(P), Show(Picture(10, std::string(10, '.')))) << Direction;
    EXPECT_EQ(Pen, clRed) << Direction;
  }
}

TEST(SkinGlyphsTest, HollowSymbolsLeaveTheBrushClearAndFilledOnesSolid)
{
  TBitmap Bmp;
  Bmp.SetSize(12, 12);
  TCanvas* C = Bmp.GetCanvas();
  DrawMaximizeGlyph(C, 0, 0, clRed);
  EXPECT_EQ(C->GetBrush()->GetStyle(), bsClear);
  EXPECT_EQ(C->GetPen()->GetColor(), clRed);
  DrawMinimizeToTrayGlyph(C, 0, 0, clBlue);
  EXPECT_EQ(C->GetBrush()->GetStyle(), bsSolid);
  EXPECT_EQ(C->GetBrush()->GetColor(), clBlue);
  EXPECT_EQ(C->GetPen()->GetColor(), clBlue);
}

// A strip of four 4 x 3 frames; frame k is filled with Colors[k] and has its bottom-left pixel
// and one inner pixel in the transparent key colour.
class GlyphStripTest : public testing::Test {
protected:
  static constexpr TColor Key = 0xFF00FF;
  const TColor Colors[4] = {clRed, clLime, clBlue, clYellow};
  TBitmap Strip;

  void SetUp() override
  {
    Strip.SetPixelFormat(pf24bit);
    Strip.SetSize(16, 3);
    for (int k = 0; k < 4; ++k) {
      Strip.GetCanvas()->GetBrush()->SetColor(Colors[k]);
      Strip.GetCanvas()->FillRect(TRect{4 * k, 0, 4 * k + 4, 3});
      Strip.GetCanvas()->SetPixels(4 * k, 2, Key);
      Strip.GetCanvas()->SetPixels(4 * k + 2, 1, Key);
    }
  }

  // Draws with the arguments onto a white 8 x 6 canvas at (2, 1), returns the pixels.
  std::vector<TColor> Draw(TBitmap* Glyph, int Count, int Index)
  {
    TBitmap Target;
    Target.SetPixelFormat(pf24bit);
    Target.SetSize(8, 6);
    Target.GetCanvas()->GetBrush()->SetColor(clWhite);
    Target.GetCanvas()->FillRect(TRect{0, 0, 8, 6});
    DrawGlyphStripFrame(Target.GetCanvas(), 2, 1, Glyph, Count, Index);
    std::vector<TColor> Pixels;
    for (int Y = 0; Y < 6; ++Y)
      for (int X = 0; X < 8; ++X)
        Pixels.push_back(Target.GetCanvas()->GetPixels(X, Y));
    return Pixels;
  }
};

TEST_F(GlyphStripTest, DrawsOneFrameWithItsBottomLeftColourTransparent)
{
  for (int Index = 1; Index <= 4; ++Index) {
    const std::vector<TColor> Pixels = Draw(&Strip, 4, Index);
    for (int Y = 0; Y < 6; ++Y)
      for (int X = 0; X < 8; ++X) {
        const int FX = X - 2, FY = Y - 1;
        const bool Inside = FX >= 0 && FX < 4 && FY >= 0 && FY < 3;
        const bool Keyed = (FX == 0 && FY == 2) || (FX == 2 && FY == 1);
        const TColor Expected = Inside && !Keyed ? Colors[Index - 1] : clWhite;
        EXPECT_EQ(Pixels[static_cast<std::size_t>(Y * 8 + X)], Expected)
            << "frame " << Index << " at " << X << "," << Y;
      }
  }
}

TEST_F(GlyphStripTest, NothingForAnEmptyGlyphOrAFrameOutsideTheStrip)
{
  const std::vector<TColor> Blank(48, clWhite);
  TBitmap Empty;
  struct {
    TBitmap* Glyph;
    int Count, Index;
  } const Cases[] = {{&Empty, 4, 1}, {nullptr, 4, 1}, {&Strip, 4, 0}, {&Strip, 4, 5}, {&Strip, 0, 1},
                     {&Strip, -2, 1}, {&Strip, 17, 1}};
  for (const auto& Case : Cases)
    EXPECT_EQ(Draw(Case.Glyph, Case.Count, Case.Index), Blank) << Case.Count << " " << Case.Index;
}

} // namespace
