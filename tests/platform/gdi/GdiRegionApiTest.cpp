// The region functions over handles: data sizes, complexity results, validation.
#include <gtest/gtest.h>

#include <vector>

#include "platform/gdi/Gdi.h"

TEST(GdiRegionApi, GetRegionDataSizesAndContent)
{
  HRGN A = CreateRectRgn(0, 0, 10, 10);
  HRGN B = CreateRectRgn(20, 5, 30, 15);
  HRGN Both = CreateRectRgn(0, 0, 0, 0);
  ASSERT_EQ(CombineRgn(Both, A, B, RGN_OR), COMPLEXREGION);
  // Bands: 0-5 one rect, 5-10 two, 10-15 one.
  const DWORD Need = sizeof(RGNDATAHEADER) + 4 * sizeof(RECT);
  EXPECT_EQ(GetRegionData(Both, 0, nullptr), Need);
  std::vector<std::uint8_t> Small(Need - 1);
  EXPECT_EQ(GetRegionData(Both, Need - 1, reinterpret_cast<RGNDATA*>(Small.data())), Need);
  std::vector<std::uint8_t> Buf(Need);
  auto* Data = reinterpret_cast<RGNDATA*>(Buf.data());
  ASSERT_EQ(GetRegionData(Both, Need, Data), Need);
  EXPECT_EQ(Data->rdh.dwSize, 32u);
  EXPECT_EQ(Data->rdh.iType, RDH_RECTANGLES);
  EXPECT_EQ(Data->rdh.nCount, 4u);
  EXPECT_EQ(Data->rdh.nRgnSize, 4 * sizeof(RECT));
  EXPECT_EQ(Data->rdh.rcBound, Rect(0, 0, 30, 15));
  const RECT* Rects = reinterpret_cast<const RECT*>(Data->Buffer);
  EXPECT_EQ(Rects[0], Rect(0, 0, 10, 5));
  EXPECT_EQ(Rects[3], Rect(20, 10, 30, 15));
  // The data makes the same region again.
  HRGN Again = ExtCreateRegion(nullptr, Need, Data);
  ASSERT_NE(Again, nullptr);
  EXPECT_TRUE(EqualRgn(Again, Both));
  HRGN Empty = CreateRectRgn(0, 0, 0, 0);
  EXPECT_EQ(GetRegionData(Empty, 0, nullptr), sizeof(RGNDATAHEADER));
  for (HRGN R : {A, B, Both, Again, Empty})
    DeleteObject(R);
}

TEST(GdiRegionApi, ExtCreateRegionValidatesItsInput)
{
  struct {
    RGNDATAHEADER Header;
    RECT Rects[2];
  } Data;
  Data.Header.nCount = 2;
  Data.Header.nRgnSize = sizeof(Data.Rects);
  Data.Rects[0] = Rect(0, 0, 5, 5);
  Data.Rects[1] = Rect(3, 3, 8, 8); // overlapping rectangles are united
  HRGN R = ExtCreateRegion(nullptr, sizeof(Data), reinterpret_cast<RGNDATA*>(&Data));
  ASSERT_NE(R, nullptr);
  EXPECT_TRUE(PtInRegion(R, 7, 7));
  EXPECT_FALSE(PtInRegion(R, 7, 1));
  DeleteObject(R);
  EXPECT_EQ(ExtCreateRegion(nullptr, sizeof(Data) - 1, reinterpret_cast<RGNDATA*>(&Data)), nullptr); // count too big
  XFORM Move;
  Move.eDx = 10;
  HRGN Moved = ExtCreateRegion(&Move, sizeof(Data), reinterpret_cast<RGNDATA*>(&Data));
  RECT Box;
  EXPECT_EQ(GetRgnBox(Moved, &Box), COMPLEXREGION);
  EXPECT_EQ(Box, Rect(10, 0, 18, 8));
  DeleteObject(Moved);
  XFORM Scale;
  Scale.eM11 = 2;
  EXPECT_EQ(ExtCreateRegion(&Scale, sizeof(Data), reinterpret_cast<RGNDATA*>(&Data)), nullptr);
  Data.Header.dwSize = 40;
  EXPECT_EQ(ExtCreateRegion(nullptr, sizeof(Data), reinterpret_cast<RGNDATA*>(&Data)), nullptr);
  Data.Header.dwSize = sizeof(RGNDATAHEADER);
  Data.Header.iType = 2;
  EXPECT_EQ(ExtCreateRegion(nullptr, sizeof(Data), reinterpret_cast<RGNDATA*>(&Data)), nullptr);
  EXPECT_EQ(ExtCreateRegion(nullptr, 0, nullptr), nullptr);
}

TEST(GdiRegionApi, CombineRgnReportsComplexity)
{
  HRGN A = CreateRectRgn(0, 0, 10, 10);
  HRGN B = CreateRectRgn(5, 0, 15, 10);
  HRGN Far = CreateRectRgn(50, 50, 60, 60);
  HRGN D = CreateRectRgn(0, 0, 0, 0);
  const struct {
    HRGN X, Y;
    int Mode, Result;
    RECT Box;
  } Cases[] = {
      {A, B, RGN_AND, SIMPLEREGION, {5, 0, 10, 10}},
      {A, B, RGN_OR, SIMPLEREGION, {0, 0, 15, 10}},
      {A, B, RGN_XOR, COMPLEXREGION, {0, 0, 15, 10}},
      {A, B, RGN_DIFF, SIMPLEREGION, {0, 0, 5, 10}},
      {A, Far, RGN_AND, NULLREGION, {0, 0, 0, 0}},
      {A, Far, RGN_OR, COMPLEXREGION, {0, 0, 60, 60}},
      {Far, nullptr, RGN_COPY, SIMPLEREGION, {50, 50, 60, 60}},
      {A, nullptr, RGN_OR, ERROR, {50, 50, 60, 60}},
      {A, B, 0, ERROR, {50, 50, 60, 60}},
  };
  for (const auto& C : Cases) {
    EXPECT_EQ(CombineRgn(D, C.X, C.Y, C.Mode), C.Result) << C.Mode;
    RECT Box;
    GetRgnBox(D, &Box);
    EXPECT_EQ(Box, C.Box) << C.Mode;
  }
  // The destination may be a source.
  EXPECT_EQ(CombineRgn(A, A, B, RGN_OR), SIMPLEREGION);
  RECT Box;
  GetRgnBox(A, &Box);
  EXPECT_EQ(Box, Rect(0, 0, 15, 10));
  EXPECT_EQ(OffsetRgn(A, 1, 2), SIMPLEREGION);
  GetRgnBox(A, &Box);
  EXPECT_EQ(Box, Rect(1, 2, 16, 12));
  RECT Probe{15, 11, 20, 20};
  EXPECT_TRUE(RectInRegion(A, &Probe));
  Probe = RECT{16, 11, 20, 20};
  EXPECT_FALSE(RectInRegion(A, &Probe));
  EXPECT_TRUE(SetRectRgn(A, 10, 10, 0, 0)); // normalised
  GetRgnBox(A, &Box);
  EXPECT_EQ(Box, Rect(0, 0, 10, 10));
  for (HRGN R : {A, B, Far, D})
    DeleteObject(R);
}

TEST(GdiRegionApi, PolygonRegionsCoverPixelCentres)
{
  const POINT Square[4] = {{0, 0}, {10, 0}, {10, 10}, {0, 10}};
  HRGN P = CreatePolygonRgn(Square, 4, ALTERNATE);
  HRGN R = CreateRectRgn(0, 0, 10, 10);
  EXPECT_TRUE(EqualRgn(P, R));
  // A right triangle: row y holds the pixels whose centres lie left of the diagonal; centres on
  // a right edge are outside, as right edges of rectangles are.
  const POINT Tri[3] = {{0, 0}, {4, 4}, {0, 4}};
  HRGN T = CreatePolygonRgn(Tri, 3, WINDING);
  RECT Box;
  EXPECT_EQ(GetRgnBox(T, &Box), COMPLEXREGION);
  EXPECT_EQ(Box, Rect(0, 1, 3, 4));
  for (int Y = 0; Y < 4; ++Y)
    for (int X = 0; X < 4; ++X)
      EXPECT_EQ(PtInRegion(T, X, Y) != FALSE, X < Y) << X << "," << Y;
  EXPECT_EQ(CreatePolygonRgn(Tri, 3, 7), nullptr);
  HRGN Ellipse = CreateEllipticRgn(0, 0, 10, 6);
  EXPECT_TRUE(PtInRegion(Ellipse, 5, 3));
  EXPECT_FALSE(PtInRegion(Ellipse, 0, 0));
  for (HRGN X : {P, R, T, Ellipse})
    DeleteObject(X);
}

TEST(GdiRegionApi, RegionsDrawAndClip)
{
  std::vector<std::uint32_t> Pixels(8 * 8, 0x00FFFFFF);
  BITMAPINFO Info;
  Info.bmiHeader.biWidth = 8;
  Info.bmiHeader.biHeight = -8;
  Info.bmiHeader.biBitCount = 32;
  void* Bits = nullptr;
  HBITMAP Bm = CreateDIBSection(nullptr, &Info, DIB_RGB_COLORS, &Bits, nullptr, 0);
  HDC DC = CreateCompatibleDC(nullptr);
  HGDIOBJ Old = SelectObject(DC, Bm);
  auto At = [&](int X, int Y) { return static_cast<std::uint32_t*>(Bits)[Y * 8 + X]; };
  HRGN Rgn = CreateRectRgn(1, 1, 4, 4);
  HBRUSH Red = CreateSolidBrush(RGB(255, 0, 0));
  ASSERT_TRUE(FrameRgn(DC, Rgn, Red, 1, 1));
  EXPECT_EQ(At(1, 1), 0x00FF0000u);
  EXPECT_EQ(At(2, 2), 0u); // the inside stays
  EXPECT_EQ(At(3, 3), 0x00FF0000u);
  ASSERT_TRUE(FillRgn(DC, Rgn, Red));
  EXPECT_EQ(At(2, 2), 0x00FF0000u);
  ASSERT_TRUE(InvertRgn(DC, Rgn));
  EXPECT_EQ(At(2, 2), 0x0000FFFFu);
  // Selecting a region clips; the DC keeps its own copy.
  EXPECT_EQ(reinterpret_cast<std::intptr_t>(SelectObject(DC, Rgn)), SIMPLEREGION);
  EXPECT_TRUE(DeleteObject(Rgn));
  RECT All{0, 0, 8, 8};
  FillRect(DC, &All, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
  EXPECT_EQ(At(0, 0), 0u);
  EXPECT_EQ(At(1, 1), 0u);
  EXPECT_EQ(At(5, 5), 0u);
  RECT Box;
  GetClipBox(DC, &Box);
  EXPECT_EQ(Box, Rect(1, 1, 4, 4));
  SelectObject(DC, Old);
  DeleteDC(DC);
  DeleteObject(Bm);
  DeleteObject(Red);
}
