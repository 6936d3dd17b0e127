#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <memory>
#include <vector>

#include "platform/rtl/MathUtils.h"
#include "platform/vcl/Bitmap.h"
#include "platform/vcl/Canvas.h"
#include "skin/foundation/SkinEffectBmp.h"

namespace {

using TMorph = void (TskEffectBmp::*)(const TskEffectBmp*, double);

Cardinal Grey(int V)
{
  return static_cast<Cardinal>(V) * 0x010101u;
}

// 0x00RRGGBB, the value order of GetPixel.
Cardinal Rgb(int R, int G, int B)
{
  return static_cast<Cardinal>((R << 16) | (G << 8) | B);
}

std::unique_ptr<TskEffectBmp> Filled(int W, int H, Cardinal Value)
{
  auto Bmp = std::make_unique<TskEffectBmp>(W, H);
  for (int Y = 0; Y < H; ++Y)
    for (int X = 0; X < W; ++X)
      Bmp->SetPixel(X, Y, Value);
  return Bmp;
}

// Every row holds the grey levels Columns.
std::unique_ptr<TskEffectBmp> Columns(const std::vector<int>& Columns, int H)
{
  auto Bmp = std::make_unique<TskEffectBmp>(static_cast<int>(Columns.size()), H);
  for (int Y = 0; Y < H; ++Y)
    for (size_t X = 0; X < Columns.size(); ++X)
      Bmp->SetPixel(static_cast<int>(X), Y, Grey(Columns[X]));
  return Bmp;
}

// The grey levels of row Y (the blue channel; the test checks that all channels agree).
std::vector<int> RowLevels(const TskEffectBmp& Bmp, int Y)
{
  std::vector<int> Levels;
  for (int X = 0; X < Bmp.GetWidth(); ++X) {
    Cardinal P = Bmp.GetPixel(X, Y);
    EXPECT_EQ(P, Grey(static_cast<int>(P & 0xFF))) << "not grey at " << X << "," << Y;
    Levels.push_back(static_cast<int>(P & 0xFF));
  }
  return Levels;
}

std::vector<int> ColumnLevels(const TskEffectBmp& Bmp, int X)
{
  std::vector<int> Levels;
  for (int Y = 0; Y < Bmp.GetHeight(); ++Y)
    Levels.push_back(static_cast<int>(Bmp.GetPixel(X, Y) & 0xFF));
  return Levels;
}

std::vector<Byte> AllBytes(const TskEffectBmp& Bmp)
{
  return std::vector<Byte>(Bmp.GetBits(), Bmp.GetBits() + Bmp.GetSize());
}

TEST(SkinEffectBmpTest, RowsArePaddedTopDownBlueGreenRedTriples)
{
  struct Case {
    int W, RowLength;
  };
  for (const Case& C : {Case{1, 4}, Case{2, 8}, Case{3, 12}, Case{4, 12}, Case{5, 16}, Case{7, 24}}) {
    TskEffectBmp Bmp(C.W, 3);
    ASSERT_NE(Bmp.GetHandle(), nullptr);
    EXPECT_EQ(Bmp.GetRowLength(), C.RowLength) << C.W;
    EXPECT_EQ(Bmp.GetSize(), C.RowLength * 3) << C.W;
    DIBSECTION Dib;
    ASSERT_EQ(GetObjectA(Bmp.GetHandle(), sizeof(Dib), &Dib), static_cast<int>(sizeof(Dib)));
    EXPECT_EQ(Dib.dsBm.bmBits, Bmp.GetBits());
    EXPECT_EQ(Dib.dsBmih.biBitCount, 24);
    EXPECT_EQ(Dib.dsBmih.biHeight, -3);
    EXPECT_EQ(Bmp.GetBitmapInfo().bmiHeader.biHeight, -3);

    Bmp.SetPixel(C.W - 1, 2, Rgb(0x11, 0x22, 0x33));
    const Byte* P = Bmp.GetBits() + 2 * C.RowLength + (C.W - 1) * 3;
    EXPECT_EQ(P[0], 0x33);
    EXPECT_EQ(P[1], 0x22);
    EXPECT_EQ(P[2], 0x11);
    EXPECT_EQ(Bmp.RowPtr(2), Bmp.GetBits() + 2 * C.RowLength);
    EXPECT_EQ(Bmp.GetPixel(C.W - 1, 2), Rgb(0x11, 0x22, 0x33));
  }
}

TEST(SkinEffectBmpTest, AccessOutsideTheBufferIsIgnored)
{
  auto Bmp = Filled(3, 2, Grey(9));
  const std::vector<Byte> Before = AllBytes(*Bmp);
  for (POINT P : {POINT{-1, 0}, POINT{3, 0}, POINT{0, -1}, POINT{0, 2}}) {
    Bmp->SetPixel(P.x, P.y, 0xFFFFFF);
    EXPECT_EQ(Bmp->GetPixel(P.x, P.y), 0u);
  }
  EXPECT_EQ(Bmp->RowPtr(-1), nullptr);
  EXPECT_EQ(Bmp->RowPtr(2), nullptr);
  std::vector<Byte> Row(9, 0xEE);
  Bmp->SetRow(2, Row.data());
  Bmp->SetRow(-1, Row.data());
  EXPECT_EQ(AllBytes(*Bmp), Before);

  // Row copies move exactly Width x 3 bytes.
  std::vector<Byte> Out(12, 0x77);
  Bmp->GetRow(1, Out.data());
  EXPECT_EQ(Out, (std::vector<Byte>{9, 9, 9, 9, 9, 9, 9, 9, 9, 0x77, 0x77, 0x77}));
  Bmp->SetRow(0, Row.data());
  EXPECT_EQ(Bmp->GetPixel(2, 0), 0xEEEEEEu);
  EXPECT_EQ(Bmp->GetPixel(0, 1), Grey(9));

  for (auto Size : {POINT{0, 5}, POINT{5, 0}, POINT{-3, 4}}) {
    TskEffectBmp Empty(Size.x, Size.y);
    EXPECT_EQ(Empty.GetBits(), nullptr);
    EXPECT_EQ(Empty.GetWidth(), 0);
    EXPECT_EQ(Empty.GetSize(), 0);
    Empty.Invert();
    Empty.SplitBlur(2);
    Empty.AddNoise(10);
    Empty.Morph(&Empty, 0.5);
    Empty.MorphRightGradient(&Empty, 0.5);
    Empty.Draw(nullptr, 0, 0);
  }
}

TEST(SkinEffectBmpTest, TakesTheBitmapsPixelsAndDrawsThemAtAPoint)
{
  for (TPixelFormat Format : {pf24bit, pf32bit}) {
    TBitmap Source;
    Source.SetPixelFormat(Format);
    Source.SetSize(5, 3);
    for (int Y = 0; Y < 3; ++Y)
      for (int X = 0; X < 5; ++X)
        Source.GetCanvas()->SetPixels(X, Y, static_cast<TColor>(RGB(10 * X, 20 * Y, 7)));

    // The bitmap stays selected into its canvas, as the controls hand it over.
    auto Bmp = TskEffectBmp::CreateFromBitmap(Source.GetHandle());
    ASSERT_EQ(Bmp->GetWidth(), 5);
    ASSERT_EQ(Bmp->GetHeight(), 3);
    for (int Y = 0; Y < 3; ++Y)
      for (int X = 0; X < 5; ++X)
        EXPECT_EQ(Bmp->GetPixel(X, Y), Rgb(10 * X, 20 * Y, 7)) << X << "," << Y;

    TBitmap Target;
    Target.SetPixelFormat(pf32bit);
    Target.SetSize(8, 6);
    Target.GetCanvas()->GetBrush()->SetColor(static_cast<TColor>(RGB(1, 2, 3)));
    Target.GetCanvas()->FillRect(TRect{0, 0, 8, 6});
    Bmp->Draw(Target.GetCanvas()->GetHandle(), 2, 1);
    EXPECT_EQ(Target.GetCanvas()->GetPixels(1, 1), static_cast<TColor>(RGB(1, 2, 3)));
    EXPECT_EQ(Target.GetCanvas()->GetPixels(2, 1), static_cast<TColor>(RGB(0, 0, 7)));
    EXPECT_EQ(Target.GetCanvas()->GetPixels(6, 3), static_cast<TColor>(RGB(40, 40, 7)));
    EXPECT_EQ(Target.GetCanvas()->GetPixels(7, 4), static_cast<TColor>(RGB(1, 2, 3)));
  }
  // Anything that is no bitmap gives an empty buffer.
  EXPECT_EQ(TskEffectBmp::CreateFromBitmap(nullptr)->GetWidth(), 0);
  HBRUSH Brush = CreateSolidBrush(0);
  EXPECT_EQ(TskEffectBmp::CreateFromBitmap(reinterpret_cast<HBITMAP>(Brush))->GetBits(), nullptr);
  DeleteObject(Brush);
}

TEST(SkinEffectBmpTest, MorphCrossFadesEveryChannelRoundingHalvesToEven)
{
  const double NaN = std::numeric_limits<double>::quiet_NaN();
  struct Case {
    double x;
    Cardinal Expected;
  };
  // A = (0, 1, 2), B = (255, 2, 3).
  for (const Case& C : {Case{0.5, Rgb(128, 2, 2)}, Case{0.25, Rgb(64, 1, 2)}, Case{0.0, Rgb(0, 1, 2)},
                        Case{1.0, Rgb(255, 2, 3)}, Case{-1.0, Rgb(0, 1, 2)}, Case{2.0, Rgb(255, 2, 3)},
                        Case{NaN, Rgb(0, 1, 2)}}) {
    auto A = Filled(3, 2, Rgb(0, 1, 2));
    auto B = Filled(3, 2, Rgb(255, 2, 3));
    A->Morph(B.get(), C.x);
    for (int Y = 0; Y < 2; ++Y)
      for (int X = 0; X < 3; ++X)
        EXPECT_EQ(A->GetPixel(X, Y), C.Expected) << C.x;
  }
}

TEST(SkinEffectBmpTest, EveryMorphKindLeavesBuffersOfAnotherSizeAlone)
{
  for (TMorph Kind : {&TskEffectBmp::Morph, &TskEffectBmp::MorphGradient, &TskEffectBmp::MorphHorzGradient,
                      &TskEffectBmp::MorphVertGradient, &TskEffectBmp::MorphLeftGradient,
                      &TskEffectBmp::MorphRightGradient, &TskEffectBmp::MorphLeftSlide,
                      &TskEffectBmp::MorphRightSlide, &TskEffectBmp::MorphPush}) {
    for (POINT Size : {POINT{6, 4}, POINT{5, 5}, POINT{0, 0}}) {
      auto A = Filled(5, 4, Grey(30));
      auto B = Filled(Size.x, Size.y, Grey(200));
      ((*A).*Kind)(B.get(), 0.5);
      ((*A).*Kind)(nullptr, 0.5);
      for (int Y = 0; Y < 4; ++Y)
        EXPECT_EQ(RowLevels(*A, Y), std::vector<int>(5, 30));
    }
  }
}

TEST(SkinEffectBmpTest, MorphRectBlendsOnlyThePartInsideBothBuffers)
{
  // B's pixel (x, y) has the grey level 100 + 10 y + x.
  auto B = std::make_unique<TskEffectBmp>(3, 3);
  for (int Y = 0; Y < 3; ++Y)
    for (int X = 0; X < 3; ++X)
      B->SetPixel(X, Y, Grey(100 + 10 * Y + X));
  struct Case {
    TRect R;
    int BX, BY;
    double x;
    std::vector<std::vector<int>> Rows;
  };
  const Case Cases[] = {
      // Full factor: a plain copy; the rectangle reaches past A's right and B's bottom edge.
      {TRect{1, 1, 6, 3}, 1, 1, 1.0, {{0, 0, 0, 0}, {0, 111, 112, 0}, {0, 121, 122, 0}}},
      {TRect{0, 0, 2, 1}, 1, 2, 0.5, {{60, 61, 0, 0}, {0, 0, 0, 0}, {0, 0, 0, 0}}},
      // Sources left of and above B.
      {TRect{0, 0, 4, 3}, -2, -1, 1.0, {{0, 0, 0, 0}, {0, 0, 100, 101}, {0, 0, 110, 111}}},
      {TRect{5, 0, 9, 3}, 0, 0, 1.0, {{0, 0, 0, 0}, {0, 0, 0, 0}, {0, 0, 0, 0}}},
      {TRect{-2, -1, 1, 1}, 0, 0, 1.0, {{112, 0, 0, 0}, {0, 0, 0, 0}, {0, 0, 0, 0}}},
  };
  for (const Case& C : Cases) {
    auto A = Filled(4, 3, Grey(0));
    A->MorphRect(B.get(), C.R, C.x, C.BX, C.BY);
    for (int Y = 0; Y < 3; ++Y)
      EXPECT_EQ(RowLevels(*A, Y), C.Rows[static_cast<size_t>(Y)]) << C.R.left << "," << C.R.top << " row " << Y;
  }
}

// The morph kinds on rows: A and B are grey levels per column, the same in every row.
TEST(SkinEffectBmpTest, MorphKindsOnRows)
{
  const std::vector<int> Black(10, 0), White(10, 255), Dark(10, 40), Light(10, 240);
  const std::vector<int> ColsA{0, 1, 2, 3, 4, 5, 6, 7, 8, 9};
  const std::vector<int> ColsB{100, 101, 102, 103, 104, 105, 106, 107, 108, 109};
  struct Case {
    const char* Name;
    TMorph Kind;
    std::vector<int> A, B;
    double x;
    std::vector<int> Expected;
  };
  const Case Cases[] = {
      // B opens from the centre column with ramps of step 1 / ((Width - a) div 2).
      {"horz 0", &TskEffectBmp::MorphHorzGradient, Black, White, 0.0, {0, 51, 102, 153, 204, 255, 204, 153, 102, 51}},
      {"horz 0.25", &TskEffectBmp::MorphHorzGradient, Black, White, 0.25, {0, 64, 128, 191, 255, 255, 255, 191, 128, 64}},
      {"horz 0.4", &TskEffectBmp::MorphHorzGradient, Black, White, 0.4, {0, 85, 170, 255, 255, 255, 255, 255, 170, 85}},
      {"horz 1", &TskEffectBmp::MorphHorzGradient, Black, White, 1.0, White},
      {"horz -3", &TskEffectBmp::MorphHorzGradient, Black, White, -3.0, {0, 51, 102, 153, 204, 255, 204, 153, 102, 51}},
      {"horz 5 wide", &TskEffectBmp::MorphHorzGradient, {0, 0, 0, 0, 0}, {255, 255, 255, 255, 255}, 0.6,
       {0, 255, 255, 255, 0}},
      // A ramp from B at column 0 to A at column a.
      {"left 0", &TskEffectBmp::MorphLeftGradient, Dark, Light, 0.0, {240, 40, 40, 40, 40, 40, 40, 40, 40, 40}},
      {"left 0.5", &TskEffectBmp::MorphLeftGradient, Dark, Light, 0.5, {240, 200, 160, 120, 80, 40, 40, 40, 40, 40}},
      {"left 1", &TskEffectBmp::MorphLeftGradient, Dark, Light, 1.0, {240, 218, 196, 173, 151, 129, 107, 84, 62, 40}},
      {"right 0", &TskEffectBmp::MorphRightGradient, Dark, Light, 0.0, {40, 40, 40, 40, 40, 40, 40, 40, 40, 240}},
      {"right 0.5", &TskEffectBmp::MorphRightGradient, Dark, Light, 0.5, {40, 40, 40, 40, 40, 80, 120, 160, 200, 240}},
      {"right 1", &TskEffectBmp::MorphRightGradient, Dark, Light, 1.0, {60, 80, 100, 120, 140, 160, 180, 200, 220, 240}},
      // Column-coded pictures show where each column comes from.
      {"push 0", &TskEffectBmp::MorphPush, ColsA, ColsB, 0.0, {109, 0, 1, 2, 3, 4, 5, 6, 7, 8}},
      {"push 0.5", &TskEffectBmp::MorphPush, ColsA, ColsB, 0.5, {104, 105, 106, 107, 108, 109, 0, 1, 2, 3}},
      {"push 1", &TskEffectBmp::MorphPush, ColsA, ColsB, 1.0, ColsB},
      {"left slide 0", &TskEffectBmp::MorphLeftSlide, ColsA, ColsB, 0.0, {109, 1, 2, 3, 4, 5, 6, 7, 8, 9}},
      {"left slide 0.5", &TskEffectBmp::MorphLeftSlide, ColsA, ColsB, 0.5, {105, 106, 107, 108, 109, 5, 6, 7, 8, 9}},
      {"left slide 1", &TskEffectBmp::MorphLeftSlide, ColsA, ColsB, 1.0,
       {101, 102, 103, 104, 105, 106, 107, 108, 109, 9}},
      {"right slide 0", &TskEffectBmp::MorphRightSlide, ColsA, ColsB, 0.0, {0, 1, 2, 3, 4, 5, 6, 7, 8, 100}},
      {"right slide 0.5", &TskEffectBmp::MorphRightSlide, ColsA, ColsB, 0.5, {0, 1, 2, 3, 4, 100, 101, 102, 103, 104}},
      {"right slide 1", &TskEffectBmp::MorphRightSlide, ColsA, ColsB, 1.0,
       {0, 100, 101, 102, 103, 104, 105, 106, 107, 108}},
      // A square buffer opens horizontally.
      {"gradient square", &TskEffectBmp::MorphGradient, {0, 0, 0, 0, 0}, {255, 255, 255, 255, 255}, 0.6,
       {0, 255, 255, 255, 0}},
  };
  for (const Case& C : Cases) {
    const int H = C.A.size() == 5 ? 5 : 2;
    auto A = Columns(C.A, H);
    auto B = Columns(C.B, H);
    ((*A).*C.Kind)(B.get(), C.x);
    for (int Y = 0; Y < H; ++Y)
      EXPECT_EQ(RowLevels(*A, Y), C.Expected) << C.Name << " row " << Y;
  }
}

TEST(SkinEffectBmpTest, VerticalGradientOpensFromTheCentreRow)
{
  struct Case {
    int W, H;
    TMorph Kind;
    double x;
    std::vector<int> Expected;
  };
  const Case Cases[] = {
      // s = (10 - 1 - 2) div 2 = 3: ramps of thirds.
      {2, 10, &TskEffectBmp::MorphVertGradient, 0.25, {0, 0, 85, 170, 255, 255, 255, 170, 85, 0}},
      {2, 10, &TskEffectBmp::MorphVertGradient, 0.0, {0, 0, 64, 128, 191, 255, 191, 128, 64, 0}},
      // s = 0: every row outside the band becomes B as well.
      {2, 5, &TskEffectBmp::MorphVertGradient, 0.6, {255, 255, 255, 255, 255}},
      {2, 5, &TskEffectBmp::MorphGradient, 0.6, {255, 255, 255, 255, 255}},
      {2, 5, &TskEffectBmp::MorphVertGradient, 1.0, {255, 255, 255, 255, 255}},
  };
  for (const Case& C : Cases) {
    auto A = Filled(C.W, C.H, Grey(0));
    auto B = Filled(C.W, C.H, Grey(255));
    ((*A).*C.Kind)(B.get(), C.x);
    for (int X = 0; X < C.W; ++X)
      EXPECT_EQ(ColumnLevels(*A, X), C.Expected) << C.H << " x " << C.x;
  }
}

TEST(SkinEffectBmpTest, NarrowBuffersStayInside)
{
  // One- and two-column buffers clamp every column count into the row.
  for (int W : {1, 2}) {
    for (TMorph Kind : {&TskEffectBmp::MorphHorzGradient, &TskEffectBmp::MorphLeftGradient,
                        &TskEffectBmp::MorphRightGradient, &TskEffectBmp::MorphLeftSlide,
                        &TskEffectBmp::MorphRightSlide, &TskEffectBmp::MorphPush, &TskEffectBmp::MorphVertGradient}) {
      for (double x : {0.0, 0.5, 1.0}) {
        auto A = Filled(W, 1, Grey(0));
        auto B = Filled(W, 1, Grey(255));
        ((*A).*Kind)(B.get(), x);
        for (int X = 0; X < W; ++X) {
          Cardinal P = A->GetPixel(X, 0);
          EXPECT_TRUE(P == Grey(0) || P == Grey(255) || P == Grey(128)) << W << " " << x;
        }
      }
    }
  }
  // Push on one column shows B.
  auto A = Filled(1, 1, Grey(0));
  auto B = Filled(1, 1, Grey(255));
  A->MorphPush(B.get(), 0.0);
  EXPECT_EQ(A->GetPixel(0, 0), Grey(255));
}

TEST(SkinEffectBmpTest, InactiveEffectsPerChannel)
{
  struct Case {
    const char* Name;
    void (*Apply)(TskEffectBmp&);
    Cardinal In, Out;
  };
  const Case Cases[] = {
      {"brightness 0.5", [](TskEffectBmp& B) { B.ChangeBrightness(0.5); }, Rgb(0, 1, 100), Rgb(128, 128, 178)},
      {"brightness 0.5 white", [](TskEffectBmp& B) { B.ChangeBrightness(0.5); }, Rgb(255, 254, 2), Rgb(255, 254, 128)},
      {"brightness 2", [](TskEffectBmp& B) { B.ChangeBrightness(2); }, Rgb(0, 1, 100), Rgb(255, 255, 255)},
      {"brightness -1", [](TskEffectBmp& B) { B.ChangeBrightness(-1); }, Rgb(0, 1, 100), Rgb(0, 1, 100)},
      {"darkness 0.5", [](TskEffectBmp& B) { B.ChangeDarkness(0.5); }, Rgb(255, 101, 1), Rgb(128, 50, 0)},
      {"darkness 0.25", [](TskEffectBmp& B) { B.ChangeDarkness(0.25); }, Rgb(2, 6, 200), Rgb(2, 4, 150)},
      {"darkness 3", [](TskEffectBmp& B) { B.ChangeDarkness(3); }, Rgb(255, 101, 1), Rgb(0, 0, 0)},
      {"grey red", [](TskEffectBmp& B) { B.GrayScale(); }, Rgb(255, 0, 0), Grey(76)},
      {"grey green", [](TskEffectBmp& B) { B.GrayScale(); }, Rgb(0, 255, 0), Grey(150)},
      {"grey blue", [](TskEffectBmp& B) { B.GrayScale(); }, Rgb(0, 0, 255), Grey(28)},
      {"grey mix", [](TskEffectBmp& B) { B.GrayScale(); }, Rgb(100, 150, 200), Grey(140)},
      {"grey white", [](TskEffectBmp& B) { B.GrayScale(); }, Rgb(255, 255, 255), Grey(255)},
      {"invert", [](TskEffectBmp& B) { B.Invert(); }, Rgb(0, 100, 255), Rgb(255, 155, 0)},
  };
  for (const Case& C : Cases) {
    auto Bmp = Filled(3, 2, C.In);
    C.Apply(*Bmp);
    for (int Y = 0; Y < 2; ++Y)
      for (int X = 0; X < 3; ++X)
        EXPECT_EQ(Bmp->GetPixel(X, Y), C.Out) << C.Name;
  }
}

TEST(SkinEffectBmpTest, AddNoiseAddsOneDrawPerPixelInPixelOrderAndClamps)
{
  const Cardinal Levels[2][3] = {{Rgb(0, 5, 250), Grey(128), Rgb(255, 3, 0)},
                                 {Grey(1), Grey(254), Rgb(10, 128, 245)}};
  auto Bmp = std::make_unique<TskEffectBmp>(3, 2);
  for (int Y = 0; Y < 2; ++Y)
    for (int X = 0; X < 3; ++X)
      Bmp->SetPixel(X, Y, Levels[Y][X]);

  RandSeed = 20261210;
  std::vector<int> Draws;
  for (int i = 0; i < 6; ++i)
    Draws.push_back(Random(21) - 10);
  RandSeed = 20261210;
  Bmp->AddNoise(21);
  for (int Y = 0; Y < 2; ++Y)
    for (int X = 0; X < 3; ++X) {
      const int v = Draws[static_cast<size_t>(Y * 3 + X)];
      Cardinal Expected = 0;
      for (int Shift : {0, 8, 16}) {
        const int c = static_cast<int>((Levels[Y][X] >> Shift) & 0xFF) + v;
        Expected |= static_cast<Cardinal>(std::min(255, std::max(0, c))) << Shift;
      }
      EXPECT_EQ(Bmp->GetPixel(X, Y), Expected) << X << "," << Y;
    }

  for (int Amount : {0, -8}) {
    const std::vector<Byte> Before = AllBytes(*Bmp);
    Bmp->AddNoise(Amount);
    EXPECT_EQ(AllBytes(*Bmp), Before) << Amount;
  }
}

TEST(SkinEffectBmpTest, SplitBlurSamplesDiagonallyFromRowsAlreadyBlurred)
{
  // Rows of one level each: above and below the row only, so each row becomes their mean.
  // The bottom row samples row Height - y = 1, which the pass has already changed.
  auto Bmp = std::make_unique<TskEffectBmp>(4, 4);
  const int RowLevel[4] = {0, 100, 200, 40};
  for (int Y = 0; Y < 4; ++Y)
    for (int X = 0; X < 4; ++X)
      Bmp->SetPixel(X, Y, Grey(RowLevel[Y]));
  Bmp->SplitBlur(1);
  EXPECT_EQ(ColumnLevels(*Bmp, 0), (std::vector<int>{50, 125, 82, 103}));
  EXPECT_EQ(ColumnLevels(*Bmp, 3), (std::vector<int>{50, 125, 82, 103}));

  // Columns of one level each: within a row the samples come from the row as it was; the last
  // column samples column Width - x = 1.
  auto Cols = Columns({0, 100, 200, 40}, 4);
  Cols->SplitBlur(1);
  EXPECT_EQ(RowLevels(*Cols, 0), (std::vector<int>{50, 100, 70, 150}));
  // Row 1: above is row 0 as blurred, below is row 2 as it was.
  EXPECT_EQ(RowLevels(*Cols, 1), (std::vector<int>{62, 80, 97, 117}));

  // Nothing for 0; amounts beyond the buffer stay inside it.
  auto Same = Columns({0, 100, 200, 40}, 3);
  const std::vector<Byte> Before = AllBytes(*Same);
  Same->SplitBlur(0);
  Same->SplitBlur(-2);
  EXPECT_EQ(AllBytes(*Same), Before);
  Same->SplitBlur(4);
  Same->SplitBlur(1000000);
  Same->SplitBlur(std::numeric_limits<int>::max());
}

TEST(SkinEffectBmpTest, TurnedCopies)
{
  // A is 3 x 2 with levels 10 y + x + 1.
  auto A = std::make_unique<TskEffectBmp>(3, 2);
  for (int Y = 0; Y < 2; ++Y)
    for (int X = 0; X < 3; ++X)
      A->SetPixel(X, Y, Grey(10 * Y + X + 1));
  struct Case {
    const char* Name;
    void (TskEffectBmp::*Turn)(TskEffectBmp*) const;
    int W, H;
    std::vector<std::vector<int>> Rows;
  };
  const Case Cases[] = {
      {"left", &TskEffectBmp::Rotate90Left, 2, 3, {{3, 13}, {2, 12}, {1, 11}}},
      {"right", &TskEffectBmp::Rotate90Right, 2, 3, {{11, 1}, {12, 2}, {13, 3}}},
      {"flip", &TskEffectBmp::FlipVert, 3, 2, {{11, 12, 13}, {1, 2, 3}}},
  };
  for (const Case& C : Cases) {
    auto Dest = Filled(C.W, C.H, Grey(0));
    ((*A).*C.Turn)(Dest.get());
    for (int Y = 0; Y < C.H; ++Y)
      EXPECT_EQ(RowLevels(*Dest, Y), C.Rows[static_cast<size_t>(Y)]) << C.Name;
    // A destination of another size is left alone.
    auto Wrong = Filled(C.W + 1, C.H, Grey(7));
    ((*A).*C.Turn)(Wrong.get());
    for (int Y = 0; Y < C.H; ++Y)
      EXPECT_EQ(RowLevels(*Wrong, Y), std::vector<int>(static_cast<size_t>(C.W + 1), 7)) << C.Name;
  }

  // Turning a square buffer into itself.
  auto Square = Columns({1, 2, 3}, 3);
  for (int X = 0; X < 3; ++X)
    Square->SetPixel(X, 2, Grey(9));
  Square->Rotate90Right(Square.get());
  EXPECT_EQ(RowLevels(*Square, 0), (std::vector<int>{9, 1, 1}));
  EXPECT_EQ(RowLevels(*Square, 2), (std::vector<int>{9, 3, 3}));
  Square->FlipVert(Square.get());
  EXPECT_EQ(RowLevels(*Square, 0), (std::vector<int>{9, 3, 3}));
}

} // namespace
