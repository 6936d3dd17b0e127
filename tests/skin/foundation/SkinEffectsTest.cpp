#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <vector>

#include "platform/vcl/Bitmap.h"
#include "platform/vcl/Canvas.h"
#include "skin/foundation/SkinEffects.h"

namespace {

std::uint32_t Channel(std::uint32_t P, int Shift)
{
  return (P >> Shift) & 0xFF;
}

// A 32-bit canvas filled with one colour, drawing in a fixed font.
class TPaper {
public:
  TPaper(int W, int H, TColor Fill = clWhite)
  {
    FBitmap.SetPixelFormat(pf32bit);
    FBitmap.SetSize(W, H);
    TCanvas* C = FBitmap.GetCanvas();
    C->GetBrush()->SetColor(Fill);
    C->FillRect(TRect{0, 0, W, H});
    C->GetFont()->SetName("DejaVu Sans");
    C->GetFont()->SetHeight(-14);
    C->GetFont()->SetColor(clBlack);
  }
  TCanvas* Canvas() { return FBitmap.GetCanvas(); }
  // 0x00RRGGBB.
  std::uint32_t Pixel(int X, int Y)
  {
    return static_cast<const std::uint32_t*>(FBitmap.ScanLine(Y))[X] & 0xFFFFFF;
  }
  int Width() const { return FBitmap.GetWidth(); }
  int Height() const { return FBitmap.GetHeight(); }

private:
  TBitmap FBitmap;
};

// The red coverage of Text drawn alone in pure red on black into R of a W x H area, the way the
// effects draw their shapes.
std::vector<std::vector<int>> Shape(int W, int H, const String& Text, TRect R, UINT Format)
{
  TPaper P(W, H, clBlack);
  P.Canvas()->GetFont()->SetColor(static_cast<TColor>(255));
  P.Canvas()->GetBrush()->SetStyle(bsClear);
  DrawTextA(P.Canvas()->GetHandle(), Text.data(), static_cast<int>(Text.size()), &R, Format);
  std::vector<std::vector<int>> Red(static_cast<size_t>(H), std::vector<int>(static_cast<size_t>(W)));
  for (int y = 0; y < H; ++y)
    for (int x = 0; x < W; ++x)
      Red[static_cast<size_t>(y)][static_cast<size_t>(x)] = static_cast<int>(Channel(P.Pixel(x, y), 16));
  return Red;
}

// Colour with alpha A over white, as a per-pixel blend gives it (within 1 per channel).
void ExpectBlendOverWhite(std::uint32_t Actual, std::uint32_t Color, int A, const char* What, int X, int Y)
{
  for (int Shift : {0, 8, 16}) {
    const int Expected = A == 0     ? 255
                         : A == 255 ? static_cast<int>(Channel(Color, Shift))
                                    : (A * static_cast<int>(Channel(Color, Shift)) + (255 - A) * 255) / 256;
    EXPECT_NEAR(static_cast<int>(Channel(Actual, Shift)), Expected, A == 0 || A == 255 ? 0 : 1)
        << What << " at " << X << "," << Y << " alpha " << A;
  }
}

std::unique_ptr<TskBitmap> Pixels(int W, int H, const std::vector<std::uint32_t>& Values)
{
  auto B = std::make_unique<TskBitmap>();
  B->SetSize(W, H);
  for (int i = 0; i < W * H; ++i)
    B->GetBits()[i] = Values[static_cast<size_t>(i)];
  return B;
}

TEST(SkinEffectsTest, BlurWeightsNeighboursByDistanceAndRepeatsEdges)
{
  struct Case {
    int W, H, Radius;
    std::vector<std::uint32_t> In, Out;
  };
  const Case Cases[] = {
      // Radius 1: centre weight 2, neighbours 1, divided by 4 in each direction.
      {5, 3, 1, {0, 0, 0, 0, 0, 0, 0, 0x00FF0000, 0, 0, 0, 0, 0, 0, 0},
       {0xFF000000, 0xFF0F0000, 0xFF1F0000, 0xFF0F0000, 0xFF000000,
        0xFF000000, 0xFF1F0000, 0xFF3F0000, 0xFF1F0000, 0xFF000000,
        0xFF000000, 0xFF0F0000, 0xFF1F0000, 0xFF0F0000, 0xFF000000}},
      // Radius 2 (weights 1 2 3 2 1 / 9) on one row: the ends repeat the first and last pixel;
      // each channel on its own.
      {4, 1, 2, {0x12FF000A, 0x12FF0014, 0x12FF001E, 0x12FF0028},
       {0xFFFF000E, 0xFFFF0015, 0xFFFF001C, 0xFFFF0023}},
      // Nothing for radius 0 or less.
      {2, 1, 0, {0x12345678, 0x9ABCDEF0}, {0x12345678, 0x9ABCDEF0}},
      {2, 1, -3, {0x12345678, 0x9ABCDEF0}, {0x12345678, 0x9ABCDEF0}},
  };
  for (const Case& C : Cases) {
    auto B = Pixels(C.W, C.H, C.In);
    BlurBitmap(B.get(), C.Radius);
    for (int i = 0; i < C.W * C.H; ++i)
      EXPECT_EQ(B->GetBits()[i], C.Out[static_cast<size_t>(i)]) << "radius " << C.Radius << " pixel " << i;
  }
  TskBitmap Empty;
  BlurBitmap(&Empty, 3);
  BlurBitmap(nullptr, 3);
  EXPECT_TRUE(Empty.Empty());
}

TEST(SkinEffectsTest, BlurEqualsTheDirectKernelSumsForAnyRadius)
{
  const int W = 13, H = 7;
  std::vector<std::uint32_t> In(W * H);
  std::uint32_t Seed = 12345;
  for (auto& P : In) {
    Seed = Seed * 1103515245u + 12345u;
    P = Seed;
  }
  auto At = [](const std::vector<int>& Line, int i) {
    return Line[static_cast<size_t>(std::min(std::max(i, 0), static_cast<int>(Line.size()) - 1))];
  };
  auto Direct = [&](const std::vector<int>& Line, int r) {
    std::vector<int> Out(Line.size());
    for (int x = 0; x < static_cast<int>(Line.size()); ++x) {
      long long Sum = 0;
      for (int k = -r; k <= r; ++k)
        Sum += static_cast<long long>(r + 1 - std::abs(k)) * At(Line, x + k);
      Out[static_cast<size_t>(x)] = static_cast<int>(Sum / ((r + 1) * (r + 1)));
    }
    return Out;
  };
  for (int r : {1, 2, 3, 6, 12, 40}) {
    auto B = Pixels(W, H, In);
    BlurBitmap(B.get(), r);
    for (int Shift : {0, 8, 16}) {
      std::vector<std::vector<int>> Rows;
      for (int y = 0; y < H; ++y) {
        std::vector<int> Line;
        for (int x = 0; x < W; ++x)
          Line.push_back(static_cast<int>(Channel(In[static_cast<size_t>(y * W + x)], Shift)));
        Rows.push_back(Direct(Line, r));
      }
      for (int x = 0; x < W; ++x) {
        std::vector<int> Column;
        for (int y = 0; y < H; ++y)
          Column.push_back(Rows[static_cast<size_t>(y)][static_cast<size_t>(x)]);
        const std::vector<int> Expected = Direct(Column, r);
        for (int y = 0; y < H; ++y) {
          const std::uint32_t P = B->GetBits()[y * W + x];
          ASSERT_EQ(static_cast<int>(Channel(P, Shift)), Expected[static_cast<size_t>(y)])
              << "radius " << r << " at " << x << "," << y;
          ASSERT_EQ(P >> 24, 0xFFu);
        }
      }
    }
  }
}

TEST(SkinEffectsTest, UnblurredShadowIsTheTextShapeInTheShadowColourAtTheOffset)
{
  const TRect R{5, 5, 45, 25};
  const UINT Format = DT_SINGLELINE | DT_LEFT | DT_TOP;
  TPaper P(80, 60);
  const std::uint32_t Shadow = 0x2040C0; // 0x00RRGGBB
  const int Result = DrawShadowText(P.Canvas(), R, "Hk", Format, 20, static_cast<TColor>(RGB(0x20, 0x40, 0xC0)), 0);

  TRect Measure = R;
  EXPECT_EQ(Result, DrawTextA(P.Canvas()->GetHandle(), "Hk", 2, &Measure, Format | DT_CALCRECT));
  const auto Text = Shape(80, 60, "Hk", R, Format);
  const auto Moved = Shape(80, 60, "Hk", TRect{25, 25, 65, 45}, Format);
  int Inked = 0;
  for (int y = 0; y < 60; ++y)
    for (int x = 0; x < 80; ++x) {
      const int Text255 = Text[static_cast<size_t>(y)][static_cast<size_t>(x)];
      if (Text255 > 0) {
        // The text itself, in the canvas's font colour, over white.
        if (Text255 == 255) {
          EXPECT_EQ(P.Pixel(x, y), 0u) << x << "," << y;
        }
        continue;
      }
      const int A = Moved[static_cast<size_t>(y)][static_cast<size_t>(x)];
      Inked += A == 255;
      ExpectBlendOverWhite(P.Pixel(x, y), Shadow, A, "shadow", x, y);
    }
  EXPECT_GT(Inked, 8);
}

TEST(SkinEffectsTest, BlurredShadowSpreadsAtMostItsSize)
{
  const TRect R{10, 10, 50, 30};
  const UINT Format = DT_SINGLELINE | DT_LEFT | DT_TOP;
  const int Size = 3, Offset = 25;
  TPaper P(90, 70);
  DrawShadowText(P.Canvas(), R, "H", Format, Offset, clBlue, Size);
  const auto Moved = Shape(90, 70, "H", TRect{R.left + Offset, R.top + Offset, R.right + Offset, R.bottom + Offset},
                           Format);
  const auto Text = Shape(90, 70, "H", R, Format);
  int Tinted = 0, Spread = 0;
  for (int y = 0; y < 70; ++y)
    for (int x = 0; x < 90; ++x) {
      if (Text[static_cast<size_t>(y)][static_cast<size_t>(x)] > 0)
        continue;
      bool Near = false, On = Moved[static_cast<size_t>(y)][static_cast<size_t>(x)] > 0;
      for (int dy = -Size; dy <= Size && !Near; ++dy)
        for (int dx = -Size; dx <= Size && !Near; ++dx) {
          const int yy = y + dy, xx = x + dx;
          Near = yy >= 0 && yy < 70 && xx >= 0 && xx < 90 && Moved[static_cast<size_t>(yy)][static_cast<size_t>(xx)] > 0;
        }
      const bool White = P.Pixel(x, y) == 0xFFFFFF;
      if (!Near)
        EXPECT_TRUE(White) << x << "," << y;
      else if (!White) {
        ++Tinted;
        Spread += !On;
        // Blue over white: blue stays (within the blend's division by 256), red and green drop
        // together.
        EXPECT_GE(Channel(P.Pixel(x, y), 0), 0xFEu);
        EXPECT_EQ(Channel(P.Pixel(x, y), 8), Channel(P.Pixel(x, y), 16));
      }
    }
  EXPECT_GT(Tinted, 20);
  EXPECT_GT(Spread, 10); // the blur reaches beyond the shape
}

TEST(SkinEffectsTest, UnblurredGlowCoversTheShapeMovedOnePixelEachWay)
{
  const TRect R{5, 5, 45, 25};
  const UINT Format = DT_SINGLELINE | DT_LEFT | DT_TOP;
  TPaper P(80, 60);
  DrawGlowText(P.Canvas(), R, "H", Format, 25, clRed, 0);
  const auto Moved = Shape(80, 60, "H", TRect{30, 30, 70, 50}, Format);
  int Grown = 0;
  for (int y = 1; y < 59; ++y)
    for (int x = 1; x < 79; ++x) {
      auto Full = [&](int xx, int yy) { return Moved[static_cast<size_t>(yy)][static_cast<size_t>(xx)] == 255; };
      if (Full(x, y) || Full(x - 1, y) || Full(x + 1, y) || Full(x, y - 1) || Full(x, y + 1)) {
        EXPECT_EQ(P.Pixel(x, y), 0xFF0000u) << x << "," << y;
        Grown += !Full(x, y);
      }
    }
  EXPECT_GT(Grown, 10);
}

TEST(SkinEffectsTest, ReflectionFadesAwayFromTheText)
{
  const TRect R{4, 2, 44, 22};
  const UINT Format = DT_SINGLELINE | DT_LEFT | DT_TOP;
  const int W = 40, H = 20, Offset = 2;
  for (bool Wide : {false, true}) {
    TPaper P(60, 70);
    const std::uint32_t Color = 0x0000FF; // blue, 0x00RRGGBB
    if (Wide)
      DrawReflectionTextW(P.Canvas(), R, L"Hk", Format, Offset, clBlue);
    else
      DrawReflectionText(P.Canvas(), R, "Hk", Format, Offset, clBlue);

    const auto T = Shape(W, H, "Hk", TRect{0, 0, W, H}, Format);
    TRect M{0, 0, W, H};
    TRect MR = R;
    {
      TPaper Measure(W, H);
      DrawTextA(Measure.Canvas()->GetHandle(), "Hk", 2, &M, Format | DT_CALCRECT);
      DrawTextA(Measure.Canvas()->GetHandle(), "Hk", 2, &MR, Format | DT_CALCRECT);
    }
    ASSERT_GT(M.bottom - M.top, 0);
    const int Top = MR.bottom + M.bottom + Offset - H;
    int Strong = 0, Faded = 0;
    for (int y = M.top; y < std::min(M.bottom, H); ++y) {
      float f = static_cast<float>(0.7 - static_cast<double>(M.bottom + M.top - y) / (M.bottom - M.top));
      if (f < (Wide ? 0.0f : 0.05f))
        f = Wide ? 0.0f : 0.05f;
      for (int x = 0; x < W; ++x) {
        const int Red = T[static_cast<size_t>(y)][static_cast<size_t>(x)];
        const int Sy = Top + H - 1 - y;
        if (Red == 0 || Sy < MR.bottom)
          continue;
        const int A = static_cast<int>(std::trunc(Red * static_cast<double>(f)));
        ExpectBlendOverWhite(P.Pixel(R.left + x, Sy), Color, A, Wide ? "wide" : "narrow", x, y);
        Strong += A >= 100;
        Faded += A < 20;
      }
    }
    EXPECT_GT(Strong, 0) << Wide;
    EXPECT_GT(Faded, 0) << Wide;
  }
}

TEST(SkinEffectsTest, ReflectionOfAnEmptyTextDrawsNothing)
{
  for (bool Wide : {false, true}) {
    TPaper P(40, 40);
    if (Wide)
      DrawReflectionTextW(P.Canvas(), TRect{2, 2, 30, 20}, L"", DT_SINGLELINE, 0, clBlue);
    else
      DrawReflectionText(P.Canvas(), TRect{2, 2, 30, 20}, "", DT_SINGLELINE, 0, clBlue);
    for (int y = 0; y < 40; ++y)
      for (int x = 0; x < 40; ++x)
        ASSERT_EQ(P.Pixel(x, y), 0xFFFFFFu) << Wide << " " << x << "," << y;
  }
}

TEST(SkinEffectsTest, CaptionGlowLiesAroundTheCaptionAndTheTextOnTop)
{
  const TRect R{20, 20, 80, 40};
  const UINT Format = DT_SINGLELINE | DT_CENTER | DT_VCENTER;
  TPaper Plain(100, 60);
  TRect Place = R;
  const int Expected = DrawTextA(Plain.Canvas()->GetHandle(), "Title", 5, &Place, Format);
  TPaper P(100, 60);
  EXPECT_EQ(DrawCaptionGlowTextW(P.Canvas(), R, L"Title", Format, clYellow), Expected);
  // The glow is yellow: blue drops, red and green stay; it reaches around the caption but not
  // beyond the 12-pixel margin.
  int Glow = 0;
  for (int y = 0; y < 60; ++y)
    for (int x = 0; x < 100; ++x) {
      const std::uint32_t Px = P.Pixel(x, y);
      const bool Outside = x < R.left - 12 || x >= R.right + 12 || y < R.top - 12 || y >= R.bottom + 12;
      if (Outside)
        EXPECT_EQ(Px, 0xFFFFFFu) << x << "," << y;
      else if (Px != 0xFFFFFF && Channel(Px, 16) >= 0xFE && Channel(Px, 8) >= 0xFE)
        ++Glow;
    }
  EXPECT_GT(Glow, 100);
  // Above the caption's middle, inside the backing bar, the glow is strong.
  EXPECT_LT(Channel(P.Pixel(R.left + 2, (R.top + R.bottom) / 2 - 2), 0), 0x80u);
}

} // namespace
