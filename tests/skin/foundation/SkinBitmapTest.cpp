#include <gtest/gtest.h>

#include <cstdint>
#include <memory>
#include <vector>

#include "platform/vcl/Picture.h"
#include "skin/foundation/PngImage.h"
#include "skin/foundation/SkinBitmap.h"

namespace {

// A bitmap whose pixel (x, y) holds x in blue, y in green and the given alpha.
std::unique_ptr<TskBitmap> Coordinates(int W, int H, std::uint32_t Alpha = 0xFF)
{
  auto b = std::make_unique<TskBitmap>();
  b->SetSize(W, H);
  for (int y = 0; y < H; ++y)
    for (int x = 0; x < W; ++x)
      b->SetPixel(x, y, (Alpha << 24) | (static_cast<std::uint32_t>(y) << 8) | static_cast<std::uint32_t>(x));
  return b;
}

std::unique_ptr<TskBitmap> Filled(int W, int H, std::uint32_t Value)
{
  auto b = std::make_unique<TskBitmap>();
  b->SetSize(W, H);
  FillLongwords(b->GetBits(), W * H, Value);
  return b;
}

std::uint32_t BitmapPixel(TBitmap& B, int X, int Y) { return static_cast<const std::uint32_t*>(B.ScanLine(Y))[X]; }

} // namespace

TEST(SkinBitmap, SizingTakesMagnitudesAndIgnoresZero)
{
  TskBitmap b;
  EXPECT_TRUE(b.Empty());
  b.SetSize(-10, 5);
  ASSERT_FALSE(b.Empty());
  EXPECT_EQ(10, b.GetWidth());
  EXPECT_EQ(5, b.GetHeight());
  for (int i = 0; i < 50; ++i)
    EXPECT_EQ(0u, b.GetBits()[i]);
  EXPECT_EQ(b.GetBits() + 2 * 10 + 3, b.PixelPtr(3, 2));

  b.SetPixel(1, 1, 0x12345678);
  std::uint32_t* bits = b.GetBits();
  b.SetSize(0, 5);
  b.SetSize(10, -5); // the current size: nothing changes
  EXPECT_EQ(bits, b.GetBits());
  EXPECT_EQ(0x12345678u, b.GetPixel(1, 1));

  // Writes outside the bitmap change nothing.
  const std::vector<std::uint32_t> before(b.GetBits(), b.GetBits() + 50);
  for (auto [x, y] : std::vector<std::pair<int, int>>{{10, 0}, {0, 5}, {-1, 0}, {0, -1}})
    b.SetPixel(x, y, 0xFFFFFFFF);
  EXPECT_EQ(before, std::vector<std::uint32_t>(b.GetBits(), b.GetBits() + 50));

  TskBitmap empty;
  empty.SetPixel(0, 0, 1); // no pixels: nothing happens
  empty.SetAlpha(7);
  empty.DetectAlpha();
  EXPECT_FALSE(empty.HasAlpha);
}

TEST(SkinBitmap, PixelRoutines)
{
  struct Case {
    std::uint32_t F, B, Expected;
  };
  const Case cases[] = {
      {0x80FFFFFF, 0x00000000, 0xFF7F7F7F}, // (128 x 255) div 256 = 127
      {0xFF123456, 0x00ABCDEF, 0xFF123456}, // opaque replaces
      {0x00123456, 0x44ABCDEF, 0x44ABCDEF}, // transparent keeps the background
      {0x40FF0000, 0xFF0000FF, 0xFF3F00BE}, // red (64 x 255) div 256, blue (191 x 255) div 256
  };
  for (const Case& c : cases)
    EXPECT_EQ(c.Expected, BlendPixel(c.F, c.B)) << std::hex << c.F << " over " << c.B;

  std::uint32_t src[4] = {0x00FFFFFF, 0xFF010203, 0x80FFFFFF, 0x7F7F007F};
  std::uint32_t dst[4] = {0x11223344, 0x11223344, 0x00000000, 0x00000000};
  BlendLine(src, dst, 3);
  EXPECT_EQ(0x11223344u, dst[0]);
  EXPECT_EQ(0xFF010203u, dst[1]);
  EXPECT_EQ(0xFF7F7F7Fu, dst[2]);

  std::uint32_t keyed[3] = {0x007F007F, 0x12345678, 0xAA7F007F};
  std::uint32_t out[3] = {5, 5, 5};
  TransparentLine(keyed, out, 3);
  EXPECT_EQ(5u, out[0]);
  EXPECT_EQ(0xFF345678u, out[1]);
  EXPECT_EQ(5u, out[2]);

  // Negative counts do nothing; overlapping moves keep the data.
  std::uint32_t line[5] = {1, 2, 3, 4, 5};
  FillLongwords(line, -1, 9);
  SetAlphaBytes(line, -3, 9);
  MoveLongwords(line, line + 1, 4);
  EXPECT_EQ((std::vector<std::uint32_t>{1, 1, 2, 3, 4}), std::vector<std::uint32_t>(line, line + 5));

  std::uint32_t grid[12] = {};
  FillLongwordRect(grid, 4, 1, 0, 2, 1, 0x00AABBCC);
  SetAlphaRect(grid, 4, 2, 1, 3, 2, 0x80);
  ClearColorAlpha(grid, 12, 0xFFAABBCC);
  EXPECT_EQ((std::vector<std::uint32_t>{0, 0x00AABBCC, 0x00AABBCC, 0, 0, 0x00AABBCC, 0x00AABBCC, 0x80000000, 0, 0,
                                        0x80000000, 0x80000000}),
            std::vector<std::uint32_t>(grid, grid + 12));
}

TEST(SkinBitmap, DetectAlphaLooksForPartialAlpha)
{
  auto b = Filled(3, 2, 0xFF000000);
  b->SetPixel(0, 0, 0x00FFFFFF);
  b->DetectAlpha();
  EXPECT_FALSE(b->HasAlpha);
  b->SetPixel(2, 1, 0x01000000);
  b->DetectAlpha();
  EXPECT_TRUE(b->HasAlpha);
  b->SetAlpha(255);
  b->DetectAlpha();
  EXPECT_FALSE(b->HasAlpha);
  EXPECT_EQ(0xFFFFFFFFu, b->GetPixel(0, 0));
}

TEST(SkinBitmap, StretchingSamplesNearestByTruncation)
{
  auto src = Coordinates(10, 10);
  auto dst = Filled(20, 20, 0);
  src->DrawRectToBitmap(dst.get(), RECT{0, 0, 20, 20}, RECT{0, 0, 10, 10});
  const int expected[20] = {0, 0, 0, 1, 1, 2, 2, 3, 3, 4, 4, 5, 5, 6, 6, 7, 7, 8, 8, 9};
  for (int i = 0; i < 20; ++i) {
    EXPECT_EQ(static_cast<std::uint32_t>(expected[i]), dst->GetPixel(i, 7) & 0xFF) << "column " << i;
    EXPECT_EQ(static_cast<std::uint32_t>(expected[i]), (dst->GetPixel(7, i) >> 8) & 0xFF) << "row " << i;
  }

  // Shrinking, a clipped destination and one-pixel destinations.
  struct Case {
    RECT Dst, Src;
    int X, Y;                // a destination pixel
    std::uint32_t Expected;  // its value (0: untouched)
  };
  const Case cases[] = {
      {{0, 0, 4, 4}, {0, 0, 10, 10}, 3, 3, 0xFF000909},   // scale 3: column 9
      {{0, 0, 4, 4}, {0, 0, 10, 10}, 1, 2, 0xFF000603},   // 3 and 6
      {{-5, -5, 15, 15}, {0, 0, 10, 10}, 0, 0, 0xFF000202}, // clip starts 5 in: column trunc(5*9/19)=2
      {{2, 2, 3, 3}, {2, 0, 8, 10}, 2, 2, 0xFF000404},    // one pixel: the middle (2+8-1) div 2 = 4
      {{0, 0, 4, 4}, {0, 0, 11, 10}, 0, 0, 0},          // source not inside the bitmap
      {{0, 0, 4, 4}, {3, 3, 3, 8}, 0, 0, 0},            // empty source
      {{20, 0, 30, 4}, {0, 0, 10, 10}, 19, 0, 0},       // destination outside
  };
  for (const Case& c : cases) {
    auto d = Filled(20, 20, 0);
    src->DrawRectToBitmap(d.get(), c.Dst, c.Src);
    EXPECT_EQ(c.Expected, d->GetPixel(c.X, c.Y)) << c.Dst.left << "," << c.Dst.top << " " << c.Src.right;
  }
}

TEST(SkinBitmap, DrawingFollowsTheFlags)
{
  // Copy (alpha-0 pixels come out as they are), blend, and colour key.
  auto src = Filled(2, 1, 0x80FFFFFF);
  src->SetPixel(1, 0, 0x007F007F);
  struct Case {
    bool HasAlpha, Transparent;
    std::uint32_t P0, P1;
  };
  const Case cases[] = {
      {false, false, 0x80FFFFFF, 0x007F007F},
      {true, false, 0xFF7F7F7F, 0x00000000}, // blending over black; alpha 0 leaves it
      {false, true, 0xFFFFFFFF, 0x00000000}, // key pixel skipped, others opaque
      {true, true, 0xFF7F7F7F, 0x00000000},  // blending wins
  };
  for (const Case& c : cases) {
    src->HasAlpha = c.HasAlpha;
    src->Transparent = c.Transparent;
    auto d = Filled(3, 1, 0);
    src->DrawToBitmap(d.get(), 1, 0);
    EXPECT_EQ(0u, d->GetPixel(0, 0));
    EXPECT_EQ(c.P0, d->GetPixel(1, 0)) << c.HasAlpha << c.Transparent;
    EXPECT_EQ(c.P1, d->GetPixel(2, 0)) << c.HasAlpha << c.Transparent;
  }

  // A part of the source at (X, Y).
  auto coords = Coordinates(4, 4);
  auto d = Filled(4, 4, 0);
  coords->DrawRectToBitmap(d.get(), 0, 1, RECT{2, 1, 4, 3});
  EXPECT_EQ(0xFF000102u, d->GetPixel(0, 1));
  EXPECT_EQ(0xFF000203u, d->GetPixel(1, 2));
  EXPECT_EQ(0u, d->GetPixel(2, 1));
}

TEST(SkinBitmap, DrawingOntoAnotherBitmapsDCBecomesABitmapDraw)
{
  auto dest = Filled(6, 6, 0);
  auto src = Filled(2, 2, 0x80FFFFFF);
  src->HasAlpha = true;
  EXPECT_EQ(dest.get(), FindBitmapByDC(dest->GetDC()));
  SetWindowOrgEx(dest->GetDC(), -1, -2, nullptr);
  src->DrawToDC(dest->GetDC(), 0, 0); // shifted by minus the window origin: (1, 2)
  EXPECT_EQ(0u, dest->GetPixel(0, 0));
  EXPECT_EQ(0xFF7F7F7Fu, dest->GetPixel(1, 2));
  EXPECT_EQ(0xFF7F7F7Fu, dest->GetPixel(2, 3));
  EXPECT_EQ(0u, dest->GetPixel(3, 4));

  HDC dc = dest->GetDC();
  dest.reset();
  EXPECT_EQ(nullptr, FindBitmapByDC(dc));
  EXPECT_EQ(nullptr, FindBitmapByDC(nullptr));
}

TEST(SkinBitmap, DrawingOntoAForeignDC)
{
  auto src = Filled(2, 1, 0x80FFFFFF);
  src->SetPixel(1, 0, 0x007F007F);
  struct Case {
    bool HasAlpha, Transparent;
    COLORREF P0, P1;
  };
  const Case cases[] = {
      {false, false, RGB(255, 255, 255), RGB(127, 0, 127)},
      {true, false, RGB(127, 127, 191), RGB(0, 0, 0x80)}, // (128 x 255 + 127 x 128) div 256 = 191
      {false, true, RGB(255, 255, 255), RGB(0, 0, 0x80)},
  };
  for (const Case& c : cases) {
    TBitmap target;
    target.SetPixelFormat(pf24bit);
    target.SetSize(3, 1);
    target.GetCanvas()->GetBrush()->SetColor(static_cast<TColor>(RGB(0, 0, 0x80)));
    target.GetCanvas()->FillRect(TRect{0, 0, 3, 1});
    src->HasAlpha = c.HasAlpha;
    src->Transparent = c.Transparent;
    src->DrawToCanvas(target.GetCanvas(), 1, 0);
    HDC dc = target.GetCanvas()->GetHandle();
    EXPECT_EQ(RGB(0, 0, 0x80), GetPixel(dc, 0, 0));
    EXPECT_EQ(c.P0, GetPixel(dc, 1, 0)) << c.HasAlpha << c.Transparent;
    EXPECT_EQ(c.P1, GetPixel(dc, 2, 0)) << c.HasAlpha << c.Transparent;
  }

  // Stretched copy onto a foreign DC.
  auto coords = Coordinates(2, 2);
  TBitmap big;
  big.SetPixelFormat(pf32bit);
  big.SetSize(4, 4);
  coords->DrawStretchToDC(big.GetCanvas()->GetHandle(), RECT{0, 0, 4, 4}, RECT{0, 0, 2, 2});
  EXPECT_EQ(0x000101u, BitmapPixel(big, 3, 3) & 0xFFFFFF);
  EXPECT_EQ(0x000000u, BitmapPixel(big, 1, 1) & 0xFFFFFF);
}

TEST(SkinBitmap, DrawingStraightIntoADibRoundsSourcePositions)
{
  auto src = Coordinates(4, 1);
  TBitmap target; // bottom-up rows, as the class library makes them
  target.SetPixelFormat(pf32bit);
  target.SetSize(7, 2);
  ASSERT_FALSE(target.IsTopDown());
  ASSERT_TRUE(src->DrawStretchToDIB(target.GetCanvas()->GetHandle(), RECT{0, 1, 7, 2}, RECT{0, 0, 4, 1}));
  // positions 0, .5, 1, 1.5, 2, 2.5, 3 rounded half to even
  const std::uint32_t expected[7] = {0, 0, 1, 2, 2, 2, 3};
  for (int x = 0; x < 7; ++x) {
    EXPECT_EQ(0u, BitmapPixel(target, x, 0));
    EXPECT_EQ(0xFF000000u | expected[x], BitmapPixel(target, x, 1)) << x;
  }
  TBitmap mono;
  mono.SetPixelFormat(pf24bit);
  mono.SetSize(2, 2);
  EXPECT_FALSE(src->DrawStretchToDIB(mono.GetCanvas()->GetHandle(), RECT{0, 0, 2, 2}, RECT{0, 0, 4, 1}));
}

TEST(SkinBitmap, FlipAndReflections)
{
  auto b = Coordinates(1, 5);
  b->FlipVert();
  for (int y = 0; y < 5; ++y)
    EXPECT_EQ(static_cast<std::uint32_t>(4 - y), (b->GetPixel(0, y) >> 8) & 0xFF);

  struct Case {
    bool Faint;
    std::uint32_t Alphas[4]; // rows after mirroring, factors 1, 0.5, 0, -0.5
  };
  const Case cases[] = {{false, {85, 42, 0, 0}}, {true, {63, 32, 0, 0}}};
  for (const Case& c : cases) {
    auto r = Filled(2, 4, 0xFF102030);
    r->SetPixel(1, 0, 0x00102030);
    if (c.Faint)
      r->MakeFaintReflection();
    else
      r->MakeReflection();
    for (int y = 0; y < 4; ++y) {
      EXPECT_EQ(c.Alphas[y], r->GetPixel(0, y) >> 24) << "row " << y;
      EXPECT_EQ(0x102030u, r->GetPixel(0, y) & 0xFFFFFF);
    }
    EXPECT_EQ(0u, r->GetPixel(1, 3) >> 24); // alpha 0 stays 0
  }
}

TEST(SkinBitmap, AssignTakesEveryKindOfPicture)
{
  // A 32-bit bitmap keeps its alpha; other formats become opaque.
  TBitmap b32;
  b32.SetPixelFormat(pf32bit);
  b32.SetSize(2, 1);
  static_cast<std::uint32_t*>(b32.ScanLine(0))[0] = 0x80112233;
  static_cast<std::uint32_t*>(b32.ScanLine(0))[1] = 0xFF445566;
  TskBitmap a;
  a.Assign(&b32);
  EXPECT_EQ(0x80112233u, a.GetPixel(0, 0));
  EXPECT_EQ(0xFF445566u, a.GetPixel(1, 0));
  EXPECT_TRUE(a.HasAlpha);

  TBitmap b24;
  b24.SetPixelFormat(pf24bit);
  b24.SetSize(2, 2);
  b24.GetCanvas()->GetBrush()->SetColor(static_cast<TColor>(RGB(1, 2, 3)));
  b24.GetCanvas()->FillRect(TRect{0, 0, 2, 2});
  TPicture picture;
  picture.SetGraphic(&b24);
  TskBitmap c;
  c.Assign(&picture);
  ASSERT_EQ(2, c.GetWidth());
  EXPECT_EQ(0xFF010203u, c.GetPixel(1, 1));
  EXPECT_FALSE(c.HasAlpha);

  // An icon is drawn through a magenta background; its transparent pixels keep the old value.
  TBitmap iconPicture;
  iconPicture.SetPixelFormat(pf24bit);
  iconPicture.SetSize(2, 1);
  iconPicture.GetCanvas()->SetPixels(0, 0, static_cast<TColor>(RGB(9, 8, 7)));
  iconPicture.GetCanvas()->SetPixels(1, 0, static_cast<TColor>(RGB(0, 255, 0)));
  TIcon icon;
  icon.AssignBitmap(&iconPicture, static_cast<TColor>(RGB(0, 255, 0)));
  TskBitmap d;
  d.Assign(&icon);
  ASSERT_EQ(2, d.GetWidth());
  EXPECT_EQ(0xFF090807u, d.GetPixel(0, 0));
  EXPECT_EQ(0xFF000000u, d.GetPixel(1, 0)); // transparent pixel: kept (zero), then opaque

  // Bitmap to bitmap copies pixels, text and flags; an empty source empties.
  a.Text = "glow";
  a.Transparent = true;
  TskBitmap e;
  e.Assign(&a);
  EXPECT_EQ(0x80112233u, e.GetPixel(0, 0));
  EXPECT_EQ("glow", e.Text);
  EXPECT_TRUE(e.HasAlpha && e.Transparent);
  TskBitmap empty;
  e.Assign(&empty);
  EXPECT_TRUE(e.Empty());

  TFont foreign;
  EXPECT_THROW(a.Assign(&foreign), EConvertError);

  // Back to a class-library bitmap.
  TBitmap out;
  out.Assign(&c);
  EXPECT_EQ(pf32bit, out.GetPixelFormat());
  EXPECT_EQ(2, out.GetWidth());
  EXPECT_EQ(0x010203u, BitmapPixel(out, 0, 0) & 0xFFFFFF);
}

TEST(SkinBitmap, AlphaFromMaskAndPng)
{
  auto b = Filled(2, 1, 0xFF445566);
  auto mask = Filled(2, 1, 0);
  mask->SetPixel(0, 0, 0x001E3C5B); // (30 + 60 + 91) / 3 = 60.33
  mask->SetPixel(1, 0, 0x00FFFFFF);
  SetAlphaFromMask(b.get(), mask.get());
  EXPECT_EQ(0x3C445566u, b->GetPixel(0, 0));
  EXPECT_EQ(0xFF445566u, b->GetPixel(1, 0));
  auto small = Filled(1, 1, 0);
  SetAlphaFromMask(b.get(), small.get()); // only the common area
  EXPECT_EQ(0x00445566u, b->GetPixel(0, 0));
  EXPECT_EQ(0xFF445566u, b->GetPixel(1, 0));

  TBitmap source;
  source.SetPixelFormat(pf24bit);
  source.SetSize(2, 1);
  source.GetCanvas()->SetPixels(0, 0, static_cast<TColor>(RGB(10, 20, 30)));
  source.GetCanvas()->SetPixels(1, 0, static_cast<TColor>(RGB(40, 50, 60)));
  TskPngImage png;
  png.Assign(&source);
  TskBitmap fromPng;
  AssignPngToBitmap(&fromPng, &png);
  EXPECT_EQ(0xFF0A141Eu, fromPng.GetPixel(0, 0));
  EXPECT_FALSE(fromPng.HasAlpha);
  png.EnsureAlpha();
  ASSERT_NE(nullptr, png.AlphaRow(0));
  png.AlphaRow(0)[1] = 128;
  AssignPngToBitmap(&fromPng, &png);
  EXPECT_EQ(0x80283C32u & 0xFF000000u, fromPng.GetPixel(1, 0) & 0xFF000000u);
  EXPECT_EQ(0x28323Cu, fromPng.GetPixel(1, 0) & 0xFFFFFF);
  EXPECT_TRUE(fromPng.HasAlpha);
}

TEST(SkinBitmap, CanvasDrawsIntoThePixels)
{
  TskBitmap b;
  TCanvas* canvas = b.GetCanvas();
  b.SetSize(3, 3);
  canvas->GetBrush()->SetColor(static_cast<TColor>(RGB(0, 255, 0)));
  canvas->FillRect(TRect{0, 0, 2, 2});
  EXPECT_EQ(0x00FF00u, b.GetPixel(1, 1) & 0xFFFFFF);
  EXPECT_EQ(0u, b.GetPixel(2, 2));
  b.SetSize(4, 4); // the canvas follows the new DC
  canvas->FillRect(TRect{3, 3, 4, 4});
  EXPECT_EQ(0x00FF00u, b.GetPixel(3, 3) & 0xFFFFFF);
}
