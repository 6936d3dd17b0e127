// Raster operations: the ternary ROP table, colour/monochrome conversions, stretching,
// colour keys, alpha blending arithmetic, masks, clipping with origins.
#include <gtest/gtest.h>

#include <functional>

#include "platform/gdi/GdiObject.h"
#include "platform/gdi/SurfaceDC.h"
#include "tests/platform/gdi/GdiTestUtil.h"

namespace {

// Runs one BitBlt of a single pixel: pattern = solid brush P, source = S, destination = D
// (all 0x00RRGGBB), from a 24-bpp source to a 32-bpp destination; returns the destination.
std::uint32_t BlitOne(DWORD Rop, std::uint32_t P, std::uint32_t S, std::uint32_t D)
{
  TTestDib Src(1, 1, 24);
  TTestDib Dst(1, 1, 32);
  Src.Bits[0] = static_cast<std::uint8_t>(S);
  Src.Bits[1] = static_cast<std::uint8_t>(S >> 8);
  Src.Bits[2] = static_cast<std::uint8_t>(S >> 16);
  Dst.At(0, 0) = D;
  HBRUSH Brush = CreateSolidBrush(RGB(P >> 16, P >> 8, P));
  HGDIOBJ Old = SelectObject(Dst.DC, Brush);
  EXPECT_TRUE(BitBlt(Dst.DC, 0, 0, 1, 1, Src.DC, 0, 0, Rop));
  SelectObject(Dst.DC, Old);
  DeleteObject(Brush);
  return Dst.At(0, 0);
}

} // namespace

TEST(GdiBlit, EveryTernaryRopFollowsItsTruthTable)
{
  // With P = 0xF0, S = 0xCC and D = 0xAA in every byte, each result byte is the ROP's truth
  // table itself: that is what the code means.
  for (unsigned Code = 0; Code < 256; ++Code) {
    DWORD Rop = (Code << 16) | 0x1234; // the low word does not matter
    std::uint32_t R = BlitOne(Rop, 0xF0F0F0, 0xCCCCCC, 0xAAAAAA);
    EXPECT_EQ(R, Code * 0x010101u) << std::hex << Code;
  }
}

TEST(GdiBlit, NamedRopsOnColours)
{
  const std::uint32_t P = 0x3C5A96, S = 0x12F0A5, D = 0xC3810F;
  const struct {
    DWORD Rop;
    const char* Name;
    std::uint32_t Expected;
  } Cases[] = {
      {SRCCOPY, "SRCCOPY", S},
      {SRCPAINT, "SRCPAINT", S | D},
      {SRCAND, "SRCAND", S & D},
      {SRCINVERT, "SRCINVERT", S ^ D},
      {SRCERASE, "SRCERASE", S & ~D & 0xFFFFFF},
      {NOTSRCCOPY, "NOTSRCCOPY", ~S & 0xFFFFFF},
      {NOTSRCERASE, "NOTSRCERASE", ~(S | D) & 0xFFFFFF},
      {MERGECOPY, "MERGECOPY", P & S},
      {MERGEPAINT, "MERGEPAINT", (~S | D) & 0xFFFFFF},
      {PATCOPY, "PATCOPY", P},
      {PATPAINT, "PATPAINT", (P | ~S | D) & 0xFFFFFF},
      {PATINVERT, "PATINVERT", P ^ D},
      {DSTINVERT, "DSTINVERT", ~D & 0xFFFFFF},
      {BLACKNESS, "BLACKNESS", 0},
      {WHITENESS, "WHITENESS", 0xFFFFFF},
      {0x00E20746, "DSPDxax", (S & P) | (~S & D)},
      {0x00B8074A, "PSDPxax", (S & D) | (~S & P)},
  };
  for (const auto& C : Cases)
    EXPECT_EQ(BlitOne(C.Rop, P, S, D), C.Expected) << C.Name;
}

TEST(GdiBlit, MonochromeAndColourConversions)
{
  // Monochrome device bitmap -> colour: 0 bits take the destination's text colour, 1 bits its
  // background colour.
  const BYTE Row[2] = {0x40, 0}; // pixels 0,1,0,0
  HBITMAP Mono = CreateBitmap(4, 1, 1, 1, Row);
  HDC MonoDC = CreateCompatibleDC(nullptr);
  HGDIOBJ OldMono = SelectObject(MonoDC, Mono);
  TTestDib Colour(4, 1);
  SetTextColor(Colour.DC, RGB(200, 0, 0));
  SetBkColor(Colour.DC, RGB(0, 0, 200));
  ASSERT_TRUE(BitBlt(Colour.DC, 0, 0, 4, 1, MonoDC, 0, 0, SRCCOPY));
  EXPECT_EQ(Colour.At(0, 0), Px(RGB(200, 0, 0)));
  EXPECT_EQ(Colour.At(1, 0), Px(RGB(0, 0, 200)));
  EXPECT_EQ(Colour.At(2, 0), Px(RGB(200, 0, 0)));

  // Colour -> monochrome: pixels equal to the source DC's background colour become 1 (white).
  Colour.At(0, 0) = Px(RGB(0, 255, 0));
  Colour.At(1, 0) = Px(RGB(0, 254, 0));
  Colour.At(2, 0) = Px(RGB(0, 255, 0), 0x80); // alpha does not take part
  Colour.At(3, 0) = Px(RGB(255, 255, 255));
  SetBkColor(Colour.DC, RGB(0, 255, 0));
  ASSERT_TRUE(BitBlt(MonoDC, 0, 0, 4, 1, Colour.DC, 0, 0, SRCCOPY));
  const COLORREF Expected[4] = {RGB(255, 255, 255), 0, RGB(255, 255, 255), 0};
  for (int X = 0; X < 4; ++X)
    EXPECT_EQ(GetPixel(MonoDC, X, 0), Expected[X]) << X;

  // A compatible bitmap of a fresh memory DC is monochrome, as on Windows.
  HDC Fresh = CreateCompatibleDC(nullptr);
  HBITMAP Compatible = CreateCompatibleBitmap(Fresh, 5, 5);
  BITMAP Bm;
  GetObject(Compatible, sizeof(Bm), &Bm);
  EXPECT_EQ(Bm.bmBitsPixel, 1);
  // ... and of a 32-bpp DC it is 32 bpp.
  HBITMAP Deep = CreateCompatibleBitmap(Colour.DC, 5, 5);
  GetObject(Deep, sizeof(Bm), &Bm);
  EXPECT_EQ(Bm.bmBitsPixel, 32);
  DeleteObject(Deep);
  DeleteObject(Compatible);
  DeleteDC(Fresh);
  SelectObject(MonoDC, OldMono);
  DeleteDC(MonoDC);
  DeleteObject(Mono);
}

TEST(GdiBlit, MonochromePatternBrushUsesTextAndBackgroundColours)
{
  // Rows of two bytes (word-aligned), alternating 0xAA and 0x55.
  const BYTE Rows[16] = {0xAA, 0, 0x55, 0, 0xAA, 0, 0x55, 0, 0xAA, 0, 0x55, 0, 0xAA, 0, 0x55, 0};
  HBITMAP Pattern = CreateBitmap(8, 8, 1, 1, Rows);
  HBRUSH Brush = CreatePatternBrush(Pattern);
  DeleteObject(Pattern); // the brush keeps its own copy
  TTestDib Dib(4, 2);
  SetTextColor(Dib.DC, RGB(10, 20, 30));
  SetBkColor(Dib.DC, RGB(250, 240, 230));
  HGDIOBJ Old = SelectObject(Dib.DC, Brush);
  ASSERT_TRUE(PatBlt(Dib.DC, 0, 0, 4, 2, PATCOPY));
  // Byte 0xAA: bits 1,0,1,0... (the first pixel is the high bit) -> background, text, ...
  EXPECT_EQ(Dib.At(0, 0), Px(RGB(250, 240, 230)));
  EXPECT_EQ(Dib.At(1, 0), Px(RGB(10, 20, 30)));
  EXPECT_EQ(Dib.At(0, 1), Px(RGB(10, 20, 30)));
  SelectObject(Dib.DC, Old);
  DeleteObject(Brush);
}

TEST(GdiBlit, StretchModesPickAndMergeSourcePixels)
{
  // A row of distinct grey levels.
  auto Run = [](int SrcW, int DstW, int Mode, std::function<void(TTestDib&)> Check) {
    TTestDib Src(SrcW, 1);
    for (int X = 0; X < SrcW; ++X)
      Src.At(X, 0) = Px(RGB(X * 40, X * 40, X * 40));
    TTestDib Dst(std::abs(DstW), 1);
    SetStretchBltMode(Dst.DC, Mode);
    int X0 = DstW < 0 ? -DstW - 1 : 0;
    ASSERT_TRUE(StretchBlt(Dst.DC, X0, 0, DstW, 1, Src.DC, 0, 0, SrcW, 1, SRCCOPY));
    Check(Dst);
  };
  // Nearest sample: destination x takes source floor((x + 0.5) * SrcW / DstW).
  const struct {
    int SrcW, DstW;
    std::vector<int> Columns;
  } Nearest[] = {
      {4, 8, {0, 0, 1, 1, 2, 2, 3, 3}},
      {3, 5, {0, 0, 1, 2, 2}},
      {5, 3, {0, 2, 4}},
      {4, 2, {1, 3}},
      {4, -4, {3, 2, 1, 0}}, // a negative width mirrors
  };
  for (const auto& C : Nearest)
    Run(C.SrcW, C.DstW, COLORONCOLOR, [&](TTestDib& Dst) {
      for (std::size_t X = 0; X < C.Columns.size(); ++X) {
        BYTE L = static_cast<BYTE>(C.Columns[X] * 40);
        EXPECT_EQ(Dst.At(static_cast<int>(X), 0), Px(RGB(L, L, L))) << C.SrcW << "->" << C.DstW << " x=" << X;
      }
    });
  // HALFTONE: exact area averages. 3 -> 2: (2*0 + 40)/3 = 13.3 -> 13, (40 + 2*80)/3 = 66.7 -> 67.
  Run(3, 2, HALFTONE, [](TTestDib& Dst) {
    EXPECT_EQ(Dst.At(0, 0), Px(RGB(13, 13, 13)));
    EXPECT_EQ(Dst.At(1, 0), Px(RGB(67, 67, 67)));
  });
  // BLACKONWHITE keeps the darker bits (AND), WHITEONBLACK the lighter (OR): 0 and 40 -> 0 / 40.
  Run(2, 1, BLACKONWHITE, [](TTestDib& Dst) { EXPECT_EQ(Dst.At(0, 0), Px(RGB(0, 0, 0))); });
  Run(2, 1, WHITEONBLACK, [](TTestDib& Dst) { EXPECT_EQ(Dst.At(0, 0), Px(RGB(40, 40, 40))); });
}

TEST(GdiBlit, OverlappingCopyWithinOneSurface)
{
  TTestDib Dib(5, 1);
  for (int X = 0; X < 5; ++X)
    Dib.At(X, 0) = static_cast<std::uint32_t>(X + 1);
  ASSERT_TRUE(BitBlt(Dib.DC, 1, 0, 4, 1, Dib.DC, 0, 0, SRCCOPY));
  const std::uint32_t Expected[5] = {1, 1, 2, 3, 4};
  for (int X = 0; X < 5; ++X)
    EXPECT_EQ(Dib.At(X, 0), Expected[X]) << X;
}

TEST(GdiBlit, TransparentBltSkipsTheKeyColourWhileStretching)
{
  TTestDib Src(2, 1);
  Src.At(0, 0) = Px(RGB(127, 0, 127));
  Src.At(1, 0) = Px(RGB(1, 2, 3), 0xFF);
  TTestDib Dst(4, 1);
  Dst.Fill(Px(RGB(9, 9, 9)));
  ASSERT_TRUE(TransparentBlt(Dst.DC, 0, 0, 4, 1, Src.DC, 0, 0, 2, 1, RGB(127, 0, 127)));
  EXPECT_EQ(Dst.At(0, 0), Px(RGB(9, 9, 9)));
  EXPECT_EQ(Dst.At(1, 0), Px(RGB(9, 9, 9)));
  EXPECT_EQ(Dst.At(2, 0), Px(RGB(1, 2, 3), 0xFF));
  EXPECT_EQ(Dst.At(3, 0), Px(RGB(1, 2, 3), 0xFF));
  EXPECT_FALSE(TransparentBlt(Dst.DC, 0, 0, -1, 1, Src.DC, 0, 0, 2, 1, 0));
}

TEST(GdiBlit, AlphaBlendArithmetic)
{
  const struct {
    std::uint32_t Src, Dst;
    BYTE Sca, Format;
    std::uint32_t Expected;
  } Cases[] = {
      // a = 128: 100 + 200*127/255 = 200, 50 + 100 = 150, 0 + 100 = 100, alpha 128 + 127 = 255.
      {0x80643200, 0xFFC8C8C8, 255, AC_SRC_ALPHA, 0xFFC89664},
      // Constant alpha 128 without source alpha: 255*128/255 = 128 red, blue 255*127/255 = 127.
      {0x00FF0000, 0x000000FF, 128, 0, 0x8080007F},
      // Opaque source pixels replace the destination, alpha included.
      {0xFF102030, 0x11223344, 255, AC_SRC_ALPHA, 0xFF102030},
      // Fully transparent premultiplied pixels leave it alone.
      {0x00000000, 0x11223344, 255, AC_SRC_ALPHA, 0x11223344},
      // Both alphas: a = 200*51/255 = 40; 40 + 10*215/255 = 48, 20 + 17 = 37, 0 + 25 = 25.
      {0xC8C86400, 0x0A0A141E, 51, AC_SRC_ALPHA, 0x30302519},
      // A source that is not premultiplied saturates instead of wrapping.
      {0x00FF0000, 0x00FF0000, 255, AC_SRC_ALPHA, 0x00FF0000},
  };
  // Rows of 1 to 19 pixels, so that every width of the vector paths and their tails is met;
  // a stretched row goes through the general path.
  for (const auto& C : Cases)
    for (int W : {1, 3, 4, 7, 8, 19}) {
      for (bool Stretch : {false, true}) {
        TTestDib Src(W, 1), Dst(W, 1);
        Src.Fill(C.Src);
        Dst.Fill(C.Dst);
        BLENDFUNCTION B{AC_SRC_OVER, 0, C.Sca, C.Format};
        ASSERT_TRUE(AlphaBlend(Dst.DC, 0, 0, W, 1, Src.DC, 0, 0, Stretch ? 1 : W, 1, B));
        for (int X = 0; X < W; ++X)
          EXPECT_EQ(Dst.At(X, 0), C.Expected) << std::hex << C.Src << " over " << C.Dst << std::dec << " width " << W
                                              << " x " << X << (Stretch ? " stretched" : "");
      }
    }
}

TEST(GdiBlit, AlphaBlendRefusesBadInput)
{
  TTestDib Src24(2, 2, 24), Src(2, 2), Dst(2, 2);
  Dst.Fill(0x12345678);
  BLENDFUNCTION PerPixel{AC_SRC_OVER, 0, 255, AC_SRC_ALPHA};
  EXPECT_FALSE(AlphaBlend(Dst.DC, 0, 0, 2, 2, Src24.DC, 0, 0, 2, 2, PerPixel)); // no alpha channel
  EXPECT_FALSE(AlphaBlend(Dst.DC, 0, 0, 2, 2, Src.DC, 1, 1, 2, 2, PerPixel));   // outside the source
  EXPECT_FALSE(AlphaBlend(Dst.DC, 0, 0, -2, 2, Src.DC, 0, 0, 2, 2, PerPixel));
  BLENDFUNCTION BadOp{1, 0, 255, 0};
  EXPECT_FALSE(AlphaBlend(Dst.DC, 0, 0, 2, 2, Src.DC, 0, 0, 2, 2, BadOp));
  for (int Y = 0; Y < 2; ++Y)
    for (int X = 0; X < 2; ++X)
      EXPECT_EQ(Dst.At(X, Y), 0x12345678u); // nothing touched
}

TEST(GdiBlit, MaskBltChoosesForegroundAndBackgroundOperations)
{
  TTestDib Src(4, 1), Dst(4, 1);
  Src.Fill(Px(RGB(1, 1, 1)));
  Dst.Fill(Px(RGB(7, 7, 7)));
  const BYTE Row[2] = {0xA0, 0}; // 1,0,1,0
  HBITMAP Mask = CreateBitmap(4, 1, 1, 1, Row);
  // Mask 1: copy the source; mask 0: keep the destination.
  ASSERT_TRUE(MaskBlt(Dst.DC, 0, 0, 4, 1, Src.DC, 0, 0, Mask, 0, 0, MAKEROP4(SRCCOPY, 0x00AA0029)));
  const std::uint32_t Expected[4] = {Px(RGB(1, 1, 1)), Px(RGB(7, 7, 7)), Px(RGB(1, 1, 1)), Px(RGB(7, 7, 7))};
  for (int X = 0; X < 4; ++X)
    EXPECT_EQ(Dst.At(X, 0), Expected[X]) << X;
  HBITMAP Colour = CreateBitmap(4, 1, 1, 32, nullptr);
  EXPECT_FALSE(MaskBlt(Dst.DC, 0, 0, 4, 1, Src.DC, 0, 0, Colour, 0, 0, SRCCOPY)); // masks are monochrome
  DeleteObject(Colour);
  DeleteObject(Mask);
}

TEST(GdiBlit, ClipRegionsAndOriginsCombine)
{
  TTestDib Dib(10, 10);
  Dib.Fill(0);
  HDC DC = Dib.DC;
  // logical (x, y) -> device (x - 1 + 2, y - 1 + 3)
  SetWindowOrgEx(DC, 1, 1, nullptr);
  SetViewportOrgEx(DC, 2, 3, nullptr);
  EXPECT_EQ(IntersectClipRect(DC, 0, 0, 4, 4), SIMPLEREGION); // device (1,2)-(5,6)
  EXPECT_EQ(ExcludeClipRect(DC, 1, 1, 2, 2), COMPLEXREGION);  // device (2,3)
  HBRUSH Brush = CreateSolidBrush(RGB(255, 0, 0));
  RECT All{-50, -50, 50, 50};
  FillRect(DC, &All, Brush);
  int Painted = 0;
  for (int Y = 0; Y < 10; ++Y)
    for (int X = 0; X < 10; ++X) {
      bool Inside = X >= 1 && X < 5 && Y >= 2 && Y < 6 && !(X == 2 && Y == 3);
      EXPECT_EQ(Dib.At(X, Y), Inside ? Px(RGB(255, 0, 0)) : 0u) << X << "," << Y;
      Painted += Inside;
    }
  EXPECT_EQ(Painted, 15);
  // Later origin changes do not move the clip region (it is in device units).
  SetViewportOrgEx(DC, 0, 0, nullptr);
  SetWindowOrgEx(DC, 0, 0, nullptr);
  RECT Box;
  GetClipBox(DC, &Box);
  EXPECT_EQ(Box, Rect(1, 2, 5, 6));
  EXPECT_TRUE(PtVisible(DC, 1, 2));
  EXPECT_FALSE(PtVisible(DC, 2, 3));
  EXPECT_EQ(GetPixel(DC, 0, 0), CLR_INVALID);
  HRGN Copy = CreateRectRgn(0, 0, 0, 0);
  EXPECT_EQ(GetClipRgn(DC, Copy), 1);
  EXPECT_EQ(OffsetClipRgn(DC, 1, 0), COMPLEXREGION);
  GetClipBox(DC, &Box);
  EXPECT_EQ(Box, Rect(2, 2, 6, 6));
  EXPECT_EQ(SelectClipRgn(DC, nullptr), SIMPLEREGION);
  EXPECT_EQ(GetClipRgn(DC, Copy), 0);
  DeleteObject(Copy);
  DeleteObject(Brush);
}

TEST(GdiBlit, SurfaceDcDrawsAtItsOriginInsideItsSystemRegion)
{
  TTestDib Store(8, 8);
  Store.Fill(0);
  TRegion System(Rect(0, 0, 5, 5));
  HDC DC = CreateSurfaceDC(Store.Bitmap, Point(3, 2), &System);
  ASSERT_NE(DC, nullptr);
  HWND Fake = reinterpret_cast<HWND>(0x1234);
  SetDCWindow(DC, Fake);
  EXPECT_EQ(WindowFromDC(DC), Fake);
  // Another bitmap cannot go into it, and its surface cannot be deleted meanwhile.
  HBITMAP Other = CreateBitmap(2, 2, 1, 32, nullptr);
  EXPECT_EQ(SelectObject(DC, Other), nullptr);
  EXPECT_FALSE(DeleteObject(Store.Bitmap));
  RECT R{0, 0, 10, 10};
  FillRect(DC, &R, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
  for (int Y = 0; Y < 8; ++Y)
    for (int X = 0; X < 8; ++X)
      EXPECT_EQ(Store.At(X, Y), (X >= 3 && X < 5 && Y >= 2 && Y < 5) ? 0x00FFFFFFu : 0u) << X << "," << Y;
  RECT Box;
  GetClipBox(DC, &Box);
  EXPECT_EQ(Box, Rect(-3, -2, 2, 3)); // the system area, in the DC's coordinates
  // Moving it and widening its area.
  SetSurfaceDCOrigin(DC, Point(0, 0), nullptr);
  EXPECT_EQ(SetPixel(DC, 7, 7, RGB(1, 2, 3)), RGB(1, 2, 3));
  EXPECT_EQ(Store.At(7, 7), Px(RGB(1, 2, 3)));
  HDC OnOther = CreateSurfaceDC(Other, Point(0, 0), nullptr);
  EXPECT_NE(OnOther, nullptr);
  EXPECT_FALSE(DeleteObject(Other)); // held by its surface DC
  DeleteDC(OnOther);
  EXPECT_TRUE(DeleteObject(Other));
  TTestDib Shallow(2, 2, 24);
  EXPECT_EQ(CreateSurfaceDC(Shallow.Bitmap, Point(0, 0), nullptr), nullptr);
  DeleteDC(DC);
}

TEST(GdiBlit, IndexedSurfacesOperateOnIndices)
{
  std::vector<RGBQUAD> Pal(256);
  for (int I = 0; I < 256; ++I)
    Pal[I] = RGBQUAD{static_cast<BYTE>(I), static_cast<BYTE>(I), static_cast<BYTE>(255 - I), 0};
  TTestDib Src(2, 1, 8, true, Pal), Dst(2, 1, 8, true, Pal);
  Src.Bits[0] = 0x0F;
  Src.Bits[1] = 0xF0;
  Dst.Bits[0] = 0x3C;
  Dst.Bits[1] = 0x3C;
  // Same colour table: the operation works on the index bits.
  ASSERT_TRUE(BitBlt(Dst.DC, 0, 0, 2, 1, Src.DC, 0, 0, SRCINVERT));
  EXPECT_EQ(Dst.Bits[0], 0x33);
  EXPECT_EQ(Dst.Bits[1], 0xCC);
  // From true colour the nearest entry is taken.
  TTestDib Colour(1, 1);
  Colour.At(0, 0) = Px(RGB(155, 101, 99)); // entry I is (255 - I, I, I)
  ASSERT_TRUE(BitBlt(Dst.DC, 0, 0, 1, 1, Colour.DC, 0, 0, SRCCOPY));
  EXPECT_EQ(Dst.Bits[0], 100);
  // A null brush paints nothing.
  HGDIOBJ Old = SelectObject(Dst.DC, GetStockObject(NULL_BRUSH));
  ASSERT_TRUE(PatBlt(Dst.DC, 0, 0, 2, 1, PATCOPY));
  EXPECT_EQ(Dst.Bits[0], 100);
  SelectObject(Dst.DC, Old);
  EXPECT_FALSE(PatBlt(Dst.DC, 0, 0, 2, 1, SRCCOPY)); // PatBlt has no source
}

TEST(GdiBlit, DeviceBitmapBitsAndTheScreen)
{
  const BYTE Rows[4] = {0x80, 0, 0x40, 0}; // 3x2 monochrome, word-aligned rows
  HBITMAP Mono = CreateBitmap(3, 2, 1, 1, Rows);
  EXPECT_EQ(GetBitmapBits(Mono, 0, nullptr), 4);
  BYTE Back[4] = {};
  EXPECT_EQ(GetBitmapBits(Mono, 4, Back), 4);
  EXPECT_EQ(Back[0], 0x80);
  EXPECT_EQ(Back[2], 0x40);
  const BYTE Other[4] = {0x20, 0, 0xE0, 0};
  EXPECT_EQ(SetBitmapBits(Mono, 4, Other), 4);
  HDC DC = CreateCompatibleDC(nullptr);
  HGDIOBJ Old = SelectObject(DC, Mono);
  EXPECT_EQ(GetPixel(DC, 2, 0), RGB(255, 255, 255));
  EXPECT_EQ(GetPixel(DC, 0, 0), RGB(0, 0, 0));
  EXPECT_EQ(GetPixel(DC, 1, 1), RGB(255, 255, 255));
  SelectObject(DC, Old);
  DeleteDC(DC);
  DeleteObject(Mono);

  SetScreenSize(640, 480);
  HDC Screen = CreateDC("DISPLAY", nullptr, nullptr, nullptr);
  EXPECT_EQ(GetDeviceCaps(Screen, HORZRES), 640);
  EXPECT_EQ(GetDeviceCaps(Screen, VERTRES), 480);
  RECT Box;
  GetClipBox(Screen, &Box);
  EXPECT_EQ(Box, Rect(0, 0, 640, 480));
  // Copying from the screen works like any other source.
  TTestDib Dib(2, 2);
  SetPixel(Screen, 10, 10, RGB(5, 6, 7));
  ASSERT_TRUE(BitBlt(Dib.DC, 0, 0, 2, 2, Screen, 10, 10, SRCCOPY));
  EXPECT_EQ(Dib.At(0, 0), Px(RGB(5, 6, 7)));
  // A new size serves new screen DCs; the old DC keeps working on its own surface.
  SetScreenSize(320, 200);
  HDC Small = CreateDC("DISPLAY", nullptr, nullptr, nullptr);
  GetClipBox(Small, &Box);
  EXPECT_EQ(Box, Rect(0, 0, 320, 200));
  EXPECT_EQ(GetPixel(Screen, 10, 10), RGB(5, 6, 7));
  DeleteDC(Screen);
  DeleteDC(Small);
  SetScreenSize(1024, 768);
}
