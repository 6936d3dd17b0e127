#include <gtest/gtest.h>

#include <functional>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "platform/gdi/Gdi.h"
#include "skin/foundation/SkinDrawUtils.h"
#include "skin/foundation/SkinLayered.h"

namespace {

// A white 24-bit bitmap with a black default font to draw text on.
class TTextCanvas {
public:
  TTextCanvas(int W, int H) : FW(W), FH(H)
  {
    FBmp.SetPixelFormat(pf24bit);
    FBmp.SetSize(W, H);
    Canvas()->GetBrush()->SetColor(clWhite);
    Canvas()->FillRect(TRect{0, 0, W, H});
    Canvas()->GetFont()->SetColor(clBlack);
    Canvas()->GetFont()->SetName("Arial");
    Canvas()->GetFont()->SetHeight(14);
  }
  TCanvas* Canvas() { return FBmp.GetCanvas(); }
  std::vector<TColor> Pixels()
  {
    std::vector<TColor> P;
    for (int Y = 0; Y < FH; ++Y)
      for (int X = 0; X < FW; ++X)
        P.push_back(Canvas()->GetPixels(X, Y));
    return P;
  }
  // The points of colour Color.
  std::set<std::pair<int, int>> PointsOf(TColor Color)
  {
    std::set<std::pair<int, int>> S;
    for (int Y = 0; Y < FH; ++Y)
      for (int X = 0; X < FW; ++X)
        if (Canvas()->GetPixels(X, Y) == Color)
          S.insert({X, Y});
    return S;
  }
  // The points that are not white.
  std::set<std::pair<int, int>> Ink()
  {
    std::set<std::pair<int, int>> S;
    for (int Y = 0; Y < FH; ++Y)
      for (int X = 0; X < FW; ++X)
        if (Canvas()->GetPixels(X, Y) != clWhite)
          S.insert({X, Y});
    return S;
  }

private:
  TBitmap FBmp;
  int FW, FH;
};

bool IsWellFormedUtf8(const String& S)
{
  std::size_t i = 0;
  while (i < S.size()) {
    const unsigned char B = static_cast<unsigned char>(S[i]);
    const std::size_t N = B < 0x80 ? 1 : (B >> 5) == 6 ? 2 : (B >> 4) == 14 ? 3 : (B >> 3) == 30 ? 4 : 0;
    if (N == 0 || i + N > S.size())
      return false;
    for (std::size_t k = 1; k < N; ++k)
      if ((static_cast<unsigned char>(S[i + k]) >> 6) != 2)
        return false;
    i += N;
  }
  return true;
}

TEST(SkinDrawTextTest, EllipsizeKeepsTheLongestPrefixThatFits)
{
  TTextCanvas T(10, 10);
  TCanvas* C = T.Canvas();
  const auto W = [&](const String& S) { return C->TextWidth(S); };
  const String AE = "\xC3\x86";  // a wide letter, two bytes
  ASSERT_GT(W("..."), 0);
  struct {
    String Text;
    int MaxWidth;
    String Expected;
  } const Cases[] = {
      {"Hello world", W("Hello world"), "Hello world"},
      {"Hello world", W("Hello world") + 50, "Hello world"},
      {"Hello world", W("Hello world") - 1, "Hello wo..."},  // "Hello wor..." is wider than the text
      {"Hello world", W("Hello..."), "Hello..."},
      {"Hello world", W("H..."), "H..."},
      {"Hello world", W("...") - 1, "..."},
      {"Hello world", 0, "..."},
      {"Hello world", -5, "..."},
      {"", 0, ""},
      {"", -1, "..."},
      // Multi-byte characters are removed whole.
      {"Gr\xC3\xBC\xC3\x9F" "e", W("Gr\xC3\xBC..."), "Gr\xC3\xBC..."},
      // Room for the lead byte of a wide character (which alone reads as a narrower one).
      {AE + AE + AE + AE, W(AE + AE + "\xC3..."), AE + AE + "..."},
  };
  ASSERT_LE(W("Hello wo..."), W("Hello world") - 1);
  ASSERT_GT(W("Hello wor..."), W("Hello world") - 1);
  ASSERT_GT(W(AE + AE + AE + "..."), W(AE + AE + "\xC3..."));
  for (const auto& Case : Cases) {
    String Text = Case.Text;
    EllipsizeText(C, Text, Case.MaxWidth);
    EXPECT_EQ(Text, Case.Expected) << Case.Text << " in " << Case.MaxWidth;
    EXPECT_TRUE(IsWellFormedUtf8(Text)) << Text;
  }
  // Whatever the width, a shortened text never splits a character.
  for (int Max = -1; Max <= W(AE + "\xC3\xA4" + AE + "\xE2\x82\xAC" + AE); ++Max) {
    String Text = AE + "\xC3\xA4" + AE + "\xE2\x82\xAC" + AE;
    EllipsizeText(C, Text, Max);
    EXPECT_TRUE(IsWellFormedUtf8(Text)) << Max;
  }
}

TEST(SkinDrawTextTest, WideTextMeasuresAndShortensLikeTheNarrowText)
{
  TTextCanvas T(10, 10);
  TCanvas* C = T.Canvas();
  EXPECT_EQ(TextWidthW(C, L"Quelvo"), C->TextWidth("Quelvo"));
  EXPECT_EQ(TextHeightW(C, L"Quelvo"), C->TextHeight("Quelvo"));
  EXPECT_EQ(TextWidthW(C, L"Gr\u00FC\u00DFe"), C->TextWidth("Gr\xC3\xBC\xC3\x9F" "e"));
  EXPECT_EQ(TextWidthW(C, L""), 0);

  TRect R = NullRect();
  const int Height = DrawWideText(C, L"Quelvo", R, DT_CALCRECT);
  EXPECT_EQ(Height, C->TextHeight("Quelvo"));
  EXPECT_EQ(R, (TRect{0, 0, C->TextWidth("Quelvo"), C->TextHeight("Quelvo")}));

  struct {
    WideString Text;
    int MaxWidth;
    WideString Expected;
  } const Cases[] = {
      {L"Hello world", TextWidthW(C, L"Hello world"), L"Hello world"},
      {L"Hello world", TextWidthW(C, L"Hello..."), L"Hello..."},
      {L"Gr\u00FC\u00DFe", TextWidthW(C, L"Gr\u00FC..."), L"Gr\u00FC..."},
      {L"Hello world", TextWidthW(C, L"...") - 1, L"..."},
  };
  for (const auto& Case : Cases) {
    WideString Text = Case.Text;
    EllipsizeTextW(C, Text, Case.MaxWidth);
    EXPECT_TRUE(Text == Case.Expected) << Case.MaxWidth;
  }
}

TEST(SkinDrawTextTest, WideTextDrawsLikeTheNarrowTextWithOrWithoutWideDrawing)
{
  TTextCanvas Narrow(60, 20);
  TRect R0{2, 2, 58, 18};
  DrawTextA(Narrow.Canvas()->GetHandle(), "Gr\xC3\xBC\xC3\x9F" "e", -1, &R0, DT_SINGLELINE | DT_CENTER);
  const int NarrowWidth = Narrow.Canvas()->TextWidth("Gr\xC3\xBC\xC3\x9F" "e");
  struct TRebind {
    ~TRebind() { BindSkinSystemFunctions(); }
  } Rebind;
  for (bool Wide : {true, false}) {
    SkinSystemFunctions().WideText = Wide;
    TTextCanvas T(60, 20);
    TRect R{2, 2, 58, 18};
    DrawWideText(T.Canvas(), L"Gr\u00FC\u00DFe", R, DT_SINGLELINE | DT_CENTER);
    EXPECT_FALSE(T.Ink().empty()) << Wide;
    EXPECT_EQ(T.Pixels(), Narrow.Pixels()) << Wide;
    EXPECT_EQ(TextWidthW(T.Canvas(), L"Gr\u00FC\u00DFe"), NarrowWidth) << Wide;
  }
}

TEST(SkinDrawTextTest, SingleLineTextIsCentredVertically)
{
  const TRect R{10, 3, 50, 27};
  TTextCanvas Drawn(60, 30), Reference(60, 30);
  DrawSingleLineText(Drawn.Canvas(), "Hg", R);
  const int TH = Reference.Canvas()->TextHeight("Hg");
  Reference.Canvas()->GetBrush()->SetStyle(bsClear);
  Reference.Canvas()->TextOut(R.left, R.top + (RectHeight(R) - TH) / 2, "Hg");
  EXPECT_FALSE(Drawn.Ink().empty());
  EXPECT_EQ(Drawn.Pixels(), Reference.Pixels());

  TTextCanvas Empty(60, 30);
  DrawSingleLineText(Empty.Canvas(), "", R);
  EXPECT_TRUE(Empty.Ink().empty());
}

TEST(SkinDrawTextTest, VCenteredTextStartsTwoPixelsInAndIsClippedToTheRectangle)
{
  const TRect R{6, 4, 30, 24};
  for (int Offset : {0, 5, -6}) {
    TTextCanvas Drawn(60, 30), Reference(60, 30);
    const String Text = "WWWWWWWW";
    DrawTextVCenteredOffset(Drawn.Canvas(), Text, R, Offset);
    const int TH = Reference.Canvas()->TextHeight(Text);
    Reference.Canvas()->GetBrush()->SetStyle(bsClear);
    Reference.Canvas()->TextOut(R.left + Offset + 2, R.top + RectHeight(R) / 2 - TH / 2, Text);
    std::set<std::pair<int, int>> Expected;
    for (const auto& P : Reference.Ink())
      if (P.first >= R.left && P.first < R.right && P.second >= R.top && P.second < R.bottom)
        Expected.insert(P);
    ASSERT_FALSE(Expected.empty());
    EXPECT_EQ(Drawn.Ink(), Expected) << Offset;
  }
  TTextCanvas Plain(60, 30), WithZero(60, 30);
  DrawTextVCentered(Plain.Canvas(), "Abc", R);
  DrawTextVCenteredOffset(WithZero.Canvas(), "Abc", R, 0);
  EXPECT_EQ(Plain.Pixels(), WithZero.Pixels());

  TTextCanvas Empty(60, 30);
  Empty.Canvas()->GetBrush()->SetColor(clRed);
  DrawTextVCentered(Empty.Canvas(), "", R);
  EXPECT_TRUE(Empty.Ink().empty());
}

// An image list of 8 x 8 red cells.
class GlyphAndTextTest : public testing::Test {
protected:
  TCustomImageList Images{nullptr, 8, 8};
  void SetUp() override
  {
    TBitmap Cell;
    Cell.SetPixelFormat(pf24bit);
    Cell.SetSize(8, 8);
    Cell.GetCanvas()->GetBrush()->SetColor(clRed);
    Cell.GetCanvas()->FillRect(TRect{0, 0, 8, 8});
    Images.Add(&Cell, nullptr);
  }
  static std::set<std::pair<int, int>> Block(int X1, int Y1, int X2, int Y2)
  {
    std::set<std::pair<int, int>> S;
    for (int Y = Y1; Y < Y2; ++Y)
      for (int X = X1; X < X2; ++X)
        S.insert({X, Y});
    return S;
  }
};

TEST_F(GlyphAndTextTest, ImageListGlyphPlacementPressedLookAndColourBar)
{
  const TRect R{0, 0, 40, 20};
  struct {
    const char* Name;
    int ImageIndex;
    bool UseImages, Down, Bar;
    std::set<std::pair<int, int>> Red, Blue;
  } const Cases[] = {
      // Group of glyph 8 + spacing 4 centred at 20: the glyph starts at 14.
      {"glyph", 0, true, false, false, Block(14, 6, 22, 14), {}},
      {"glyph pressed", 0, true, true, false, Block(15, 7, 23, 15), {}},
      {"glyph with bar", 0, true, false, true, Block(14, 6, 22, 12), Block(14, 12, 22, 15)},
      {"index equal to the count", 1, true, false, true, {}, Block(4, 4, 38, 16)},
      {"no image list, pressed", 0, false, true, true, {}, Block(4, 5, 38, 17)},
      {"negative index, no bar", -1, true, false, false, {}, {}},
  };
  for (const auto& C : Cases) {
    TTextCanvas T(40, 20);
    DrawImageListGlyphAndText(T.Canvas(), R, -1, 4, blGlyphLeft, "", C.ImageIndex, C.UseImages ? &Images : nullptr,
                              C.Down, true, C.Bar, clBlue);
    EXPECT_EQ(T.PointsOf(clRed), C.Red) << C.Name;
    EXPECT_EQ(T.PointsOf(clBlue), C.Blue) << C.Name;
    EXPECT_EQ(T.Ink().size(), C.Red.size() + C.Blue.size()) << C.Name;
  }

  // An unknown layout leaves glyph and caption at the rectangle's top-left corner.
  TTextCanvas Unknown(40, 20);
  DrawImageListGlyphAndText(Unknown.Canvas(), TRect{3, 2, 40, 20}, -1, 4, static_cast<TskButtonLayout>(7), "", 0,
                            &Images, false, true, false, clBlue);
  EXPECT_EQ(Unknown.PointsOf(clRed), Block(3, 2, 11, 10));

  TTextCanvas Disabled(40, 20);
  DrawImageListGlyphAndText(Disabled.Canvas(), R, -1, 4, blGlyphLeft, "", 0, &Images, false, false, false, clBlue);
  EXPECT_TRUE(Disabled.PointsOf(clRed).empty());
  EXPECT_FALSE(Disabled.Ink().empty());
}

TEST_F(GlyphAndTextTest, CaptionBarRunsUnderTheCaptionRectangle)
{
  TTextCanvas T(60, 24);
  TCanvas* C = T.Canvas();
  const int TW = C->TextWidth("Ab");
  const int TH = C->TextHeight("Ab");
  DrawImageListGlyphAndText(C, TRect{0, 0, 60, 24}, 3, 4, blGlyphLeft, "Ab", -1, &Images, false, true, true, clBlue);
  // Without a glyph the spacing does not count: the caption starts at the margin.
  const int TextY = 12 - TH / 2;
  EXPECT_EQ(T.PointsOf(clBlue), Block(3, TextY + TH - 1, 3 + TW + 2, TextY + TH + 2));
  EXPECT_FALSE(T.PointsOf(clBlack).empty());
  for (const auto& P : T.PointsOf(clBlack)) {
    EXPECT_GE(P.first, 3);
    EXPECT_LT(P.first, 3 + TW + 2);
  }
  EXPECT_EQ(C->GetBrush()->GetStyle(), bsClear);
}

TEST_F(GlyphAndTextTest, CaptionSitsBesideTheGlyph)
{
  TTextCanvas T(80, 20);
  TCanvas* C = T.Canvas();
  const int TW = C->TextWidth("Ok");
  DrawImageListGlyphAndText(C, TRect{0, 0, 80, 20}, 2, 4, blGlyphLeft, "Ok", 0, &Images, false, true, false, clBlue);
  EXPECT_EQ(T.PointsOf(clRed), Block(2, 6, 10, 14));
  const auto Text = T.PointsOf(clBlack);
  ASSERT_FALSE(Text.empty());
  for (const auto& P : Text) {
    EXPECT_GE(P.first, 14);
    EXPECT_LT(P.first, 14 + TW + 2);
  }
}

TEST_F(GlyphAndTextTest, StripGlyphDrawsOneFrameAndTheBarSpansTheWholeStrip)
{
  // Four 6 x 5 frames; frame 2 is green, the others red; bottom-left pixels are the key colour.
  TBitmap Strip;
  Strip.SetPixelFormat(pf24bit);
  Strip.SetSize(24, 5);
  for (int k = 0; k < 4; ++k) {
    Strip.GetCanvas()->GetBrush()->SetColor(k == 1 ? clLime : clRed);
    Strip.GetCanvas()->FillRect(TRect{6 * k, 0, 6 * k + 6, 5});
    Strip.GetCanvas()->SetPixels(6 * k, 4, clFuchsia);
  }
  const TRect R{0, 0, 40, 20};
  TTextCanvas T(40, 20);
  DrawBitmapGlyphAndText(T.Canvas(), R, 2, 0, blGlyphLeft, "", &Strip, 4, 2, false, true, clBlue);
  // Glyph 6 x 5 at (2, 8); bar rows 11 to 13 from x 2 across the strip's 24 pixels.
  EXPECT_EQ(T.PointsOf(clLime), Block(2, 8, 8, 11));
  EXPECT_EQ(T.PointsOf(clBlue), Block(2, 11, 26, 14));
  EXPECT_TRUE(T.PointsOf(clRed).empty());

  // Without a caption the brush keeps its style.
  TTextCanvas Solid(40, 20);
  DrawBitmapGlyphAndText(Solid.Canvas(), R, 2, 0, blGlyphLeft, "", &Strip, 4, 3, true, false, clBlue);
  EXPECT_EQ(Solid.Canvas()->GetBrush()->GetStyle(), bsSolid);
  // Frame 3, pressed: at (3, 9), its bottom-left pixel transparent.
  auto Red = Block(3, 9, 9, 14);
  Red.erase({3, 13});
  EXPECT_EQ(Solid.PointsOf(clRed), Red);
}

TEST_F(GlyphAndTextTest, StripWithoutFramesOrPictureDrawsNoGlyph)
{
  TBitmap Strip;
  Strip.SetPixelFormat(pf24bit);
  Strip.SetSize(8, 4);
  Strip.GetCanvas()->GetBrush()->SetColor(clRed);
  Strip.GetCanvas()->FillRect(TRect{0, 0, 8, 4});
  TBitmap Empty;
  struct {
    TBitmap* Glyph;
    int NumGlyphs;
  } const Cases[] = {{&Strip, 0}, {&Strip, -1}, {&Empty, 1}, {nullptr, 1}};
  for (const auto& C : Cases) {
    TTextCanvas T(40, 20);
    DrawBitmapGlyphAndText(T.Canvas(), TRect{0, 0, 40, 20}, 2, 0, blGlyphLeft, "", C.Glyph, C.NumGlyphs, 1, false,
                           false, clBlue);
    EXPECT_TRUE(T.Ink().empty()) << C.NumGlyphs;
  }
}

} // namespace
