// DIB sections of every depth and row order, and moving pixels in and out of bitmaps.
#include <gtest/gtest.h>

#include "platform/gdi/GdiSurface.h"
#include "tests/platform/gdi/GdiTestUtil.h"

namespace {

std::vector<RGBQUAD> TestPalette(int Bpp)
{
  std::vector<RGBQUAD> P(1u << Bpp);
  for (std::size_t I = 0; I < P.size(); ++I)
    P[I] = RGBQUAD{static_cast<BYTE>(I * 7), static_cast<BYTE>(255 - I), static_cast<BYTE>(I * 3), 0};
  return P;
}

COLORREF PaletteColor(const std::vector<RGBQUAD>& P, int I) { return RGB(P[I].rgbRed, P[I].rgbGreen, P[I].rgbBlue); }

// The raw value of pixel (X, Y) read straight from DIB memory.
std::uint32_t RawAt(const TTestDib& D, int X, int Y)
{
  const std::uint8_t* R = D.Row(Y);
  switch (D.BitsPerPixel) {
  case 1:
    return (R[X / 8] >> (7 - X % 8)) & 1;
  case 4:
    return X % 2 ? (R[X / 2] & 15) : (R[X / 2] >> 4);
  case 8:
    return R[X];
  case 24:
    return R[3 * X] | (R[3 * X + 1] << 8) | (R[3 * X + 2] << 16);
  default:
    return D.At(X, Y);
  }
}

BITMAPINFO* Info32(std::vector<std::uint8_t>& Buffer, int W, int H)
{
  Buffer.assign(sizeof(BITMAPINFOHEADER) + 256 * sizeof(RGBQUAD), 0);
  BITMAPINFOHEADER Hd;
  Hd.biWidth = W;
  Hd.biHeight = H;
  Hd.biBitCount = 32;
  std::memcpy(Buffer.data(), &Hd, sizeof(Hd));
  return reinterpret_cast<BITMAPINFO*>(Buffer.data());
}

} // namespace

TEST(GdiDib, EveryDepthAndRowOrderPlacesAndReadsPixels)
{
  for (int Bpp : {1, 4, 8, 24, 32})
    for (bool TopDown : {true, false}) {
      SCOPED_TRACE(testing::Message() << Bpp << " bpp, " << (TopDown ? "top-down" : "bottom-up"));
      const int W = 13, H = 3;
      std::vector<RGBQUAD> Pal = Bpp <= 8 ? TestPalette(Bpp) : std::vector<RGBQUAD>{};
      TTestDib Dib(W, H, Bpp, TopDown, Pal);
      ASSERT_NE(Dib.Bits, nullptr);
      // Pixel values chosen per position; indexed depths use table colours.
      auto ColorAt = [&](int X, int Y) -> COLORREF {
        if (Bpp <= 8)
          return PaletteColor(Pal, (X + 5 * Y) % (1 << Bpp));
        return RGB(X * 19, Y * 80, 255 - X);
      };
      for (int Y = 0; Y < H; ++Y)
        for (int X = 0; X < W; ++X)
          ASSERT_EQ(SetPixel(Dib.DC, X, Y, ColorAt(X, Y)), ColorAt(X, Y));
      for (int Y = 0; Y < H; ++Y)
        for (int X = 0; X < W; ++X) {
          EXPECT_EQ(GetPixel(Dib.DC, X, Y), ColorAt(X, Y));
          std::uint32_t Raw = RawAt(Dib, X, Y);
          if (Bpp <= 8)
            EXPECT_EQ(Raw, static_cast<std::uint32_t>((X + 5 * Y) % (1 << Bpp))) << X << "," << Y;
          else
            EXPECT_EQ(Raw, Px(ColorAt(X, Y))) << X << "," << Y;
        }
      // GetDIBits to 32 bpp bottom-up gives the same colours, the last row first.
      std::vector<std::uint8_t> InfoBuf;
      BITMAPINFO* Info = Info32(InfoBuf, W, H);
      std::vector<std::uint32_t> Out(W * H, 0xDEADBEEF);
      ASSERT_EQ(GetDIBits(Dib.DC, Dib.Bitmap, 0, H, Out.data(), Info, DIB_RGB_COLORS), H);
      for (int Y = 0; Y < H; ++Y)
        for (int X = 0; X < W; ++X)
          EXPECT_EQ(Out[(H - 1 - Y) * W + X] & 0xFFFFFF, Px(ColorAt(X, Y)));
      // And SetDIBits brings a changed picture back in.
      for (auto& V : Out)
        V = Px(ColorAt(0, 0));
      ASSERT_EQ(SetDIBits(Dib.DC, Dib.Bitmap, 0, H, Out.data(), Info, DIB_RGB_COLORS), H);
      for (int Y = 0; Y < H; ++Y)
        for (int X = 0; X < W; ++X)
          EXPECT_EQ(GetPixel(Dib.DC, X, Y), ColorAt(0, 0));
      DIBSECTION Ds;
      ASSERT_EQ(GetObject(Dib.Bitmap, sizeof(Ds), &Ds), static_cast<int>(sizeof(Ds)));
      EXPECT_EQ(Ds.dsBm.bmBits, Dib.Bits);
      EXPECT_EQ(Ds.dsBm.bmWidthBytes, Dib.Stride());
      EXPECT_EQ(Ds.dsBm.bmHeight, H);
      EXPECT_EQ(Ds.dsBmih.biHeight, TopDown ? -H : H);
      EXPECT_EQ(Ds.dsBmih.biSizeImage, static_cast<DWORD>(Dib.Stride() * H));
    }
}

TEST(GdiDib, GetDIBitsDescribesAndCopiesBands)
{
  TTestDib Dib(2, 3);
  for (int Y = 0; Y < 3; ++Y)
    for (int X = 0; X < 2; ++X)
      Dib.At(X, Y) = static_cast<std::uint32_t>(0x10 * Y + X);
  std::vector<std::uint8_t> Buffer(sizeof(BITMAPINFOHEADER) + 1024, 0);
  auto* Info = reinterpret_cast<BITMAPINFO*>(Buffer.data());
  Info->bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
  Info->bmiHeader.biBitCount = 0;
  ASSERT_NE(GetDIBits(Dib.DC, Dib.Bitmap, 0, 0, nullptr, Info, DIB_RGB_COLORS), 0);
  EXPECT_EQ(Info->bmiHeader.biWidth, 2);
  EXPECT_EQ(Info->bmiHeader.biHeight, 3);
  EXPECT_EQ(Info->bmiHeader.biBitCount, 32);
  EXPECT_EQ(Info->bmiHeader.biSizeImage, 24u);
  // Scan line 1 of a bottom-up request is the middle row; of a top-down one too (3 rows).
  // Scan line 0 differs: bottom row versus top row.
  std::uint32_t Row[2];
  for (bool TopDown : {false, true}) {
    Info->bmiHeader.biHeight = TopDown ? -3 : 3;
    ASSERT_EQ(GetDIBits(Dib.DC, Dib.Bitmap, 0, 1, Row, Info, DIB_RGB_COLORS), 1);
    EXPECT_EQ(Row[1], TopDown ? 0x01u : 0x21u);
    ASSERT_EQ(GetDIBits(Dib.DC, Dib.Bitmap, 1, 1, Row, Info, DIB_RGB_COLORS), 1);
    EXPECT_EQ(Row[0], 0x10u);
  }
  EXPECT_EQ(GetDIBits(Dib.DC, Dib.Bitmap, 3, 1, Row, Info, DIB_RGB_COLORS), 0);
  EXPECT_EQ(GetDIBits(Dib.DC, nullptr, 0, 1, Row, Info, DIB_RGB_COLORS), 0);
}

TEST(GdiDib, CreateDIBSectionRejectsBadHeaders)
{
  struct TCase {
    LONG W, H;
    WORD Bpp;
    DWORD Compression;
  } Cases[] = {
      {0, 5, 32, BI_RGB}, {5, 0, 32, BI_RGB}, {-5, 5, 32, BI_RGB}, {5, 5, 7, BI_RGB},
      {5, 5, 8, BI_RLE8}, {100000, 100000, 32, BI_RGB}, {5, 5, 32, BI_JPEG},
  };
  for (const TCase& C : Cases) {
    BITMAPINFO Info;
    Info.bmiHeader.biWidth = C.W;
    Info.bmiHeader.biHeight = C.H;
    Info.bmiHeader.biBitCount = C.Bpp;
    Info.bmiHeader.biCompression = C.Compression;
    void* Bits = reinterpret_cast<void*>(1);
    EXPECT_EQ(CreateDIBSection(nullptr, &Info, DIB_RGB_COLORS, &Bits, nullptr, 0), nullptr) << C.W << "x" << C.H;
    EXPECT_EQ(Bits, nullptr);
  }
}

TEST(GdiDib, BottomUpSourcesCountRowsFromTheBottom)
{
  // A 1x3 bottom-up picture, rows from the top: red, green, blue (memory holds blue first).
  std::vector<std::uint8_t> InfoBuf;
  BITMAPINFO* Info = Info32(InfoBuf, 1, 3);
  const std::uint32_t Pixels[3] = {Px(RGB(0, 0, 255)), Px(RGB(0, 255, 0)), Px(RGB(255, 0, 0))};
  TTestDib Dst(1, 3);
  // StretchDIBits: YSrc 0 is the bottom row.
  Dst.Fill(0);
  StretchDIBits(Dst.DC, 0, 0, 1, 1, 0, 0, 1, 1, Pixels, Info, DIB_RGB_COLORS, SRCCOPY);
  EXPECT_EQ(Dst.At(0, 0), Px(RGB(0, 0, 255)));
  StretchDIBits(Dst.DC, 0, 0, 1, 1, 0, 2, 1, 1, Pixels, Info, DIB_RGB_COLORS, SRCCOPY);
  EXPECT_EQ(Dst.At(0, 0), Px(RGB(255, 0, 0)));
  // The whole picture lands upright.
  ASSERT_EQ(StretchDIBits(Dst.DC, 0, 0, 1, 3, 0, 0, 1, 3, Pixels, Info, DIB_RGB_COLORS, SRCCOPY), 3);
  EXPECT_EQ(Dst.At(0, 0), Px(RGB(255, 0, 0)));
  EXPECT_EQ(Dst.At(0, 2), Px(RGB(0, 0, 255)));
  // SetDIBitsToDevice with a band: the buffer holds only scan line 1 (the middle row).
  Dst.Fill(0);
  const std::uint32_t Band[1] = {Px(RGB(9, 9, 9))};
  EXPECT_EQ(SetDIBitsToDevice(Dst.DC, 0, 0, 1, 3, 0, 0, 1, 1, Band, Info, DIB_RGB_COLORS), 1);
  EXPECT_EQ(Dst.At(0, 0), 0u);
  EXPECT_EQ(Dst.At(0, 1), Px(RGB(9, 9, 9)));
  EXPECT_EQ(Dst.At(0, 2), 0u);
  EXPECT_EQ(SetDIBitsToDevice(Dst.DC, 0, 0, 1, 3, 0, 0, 0, 3, nullptr, Info, DIB_RGB_COLORS), 0);
}

TEST(GdiDib, ColourTablesAndPalettes)
{
  std::vector<RGBQUAD> Pal = TestPalette(8);
  TTestDib Dib(2, 1, 8, true, Pal);
  Dib.Bits[0] = 5;
  EXPECT_EQ(GetPixel(Dib.DC, 0, 0), PaletteColor(Pal, 5));
  RGBQUAD Red{0, 0, 255, 0};
  EXPECT_EQ(SetDIBColorTable(Dib.DC, 5, 1, &Red), 1u);
  EXPECT_EQ(GetPixel(Dib.DC, 0, 0), RGB(255, 0, 0));
  RGBQUAD Back[2];
  EXPECT_EQ(GetDIBColorTable(Dib.DC, 254, 5, Back), 2u); // clipped to the table
  // Drawing on an indexed surface picks the nearest entry.
  EXPECT_EQ(GetNearestColor(Dib.DC, RGB(250, 5, 5)), RGB(255, 0, 0));
  EXPECT_EQ(SetPixel(Dib.DC, 1, 0, RGB(250, 5, 5)), RGB(255, 0, 0));
  EXPECT_EQ(Dib.Bits[1], 5);

  std::vector<std::uint8_t> Buf(sizeof(LOGPALETTE) + 3 * sizeof(PALETTEENTRY));
  auto* Log = reinterpret_cast<LOGPALETTE*>(Buf.data());
  Log->palVersion = 0x300;
  Log->palNumEntries = 3;
  Log->palPalEntry[0] = PALETTEENTRY{0, 0, 0, 0};
  Log->palPalEntry[1] = PALETTEENTRY{200, 0, 0, 0};
  Log->palPalEntry[2] = PALETTEENTRY{0, 0, 200, 0};
  HPALETTE P = CreatePalette(Log);
  ASSERT_NE(P, nullptr);
  EXPECT_EQ(GetNearestPaletteIndex(P, RGB(180, 20, 0)), 1u);
  EXPECT_EQ(GetNearestPaletteIndex(P, RGB(0, 10, 255)), 2u);
  EXPECT_TRUE(ResizePalette(P, 5));
  EXPECT_EQ(GetPaletteEntries(P, 0, 0, nullptr), 5u);
  PALETTEENTRY E[8];
  EXPECT_EQ(GetPaletteEntries(P, 3, 8, E), 2u);
  EXPECT_EQ(E[0].peRed, 0);
  PALETTEENTRY Green{0, 255, 0, 0};
  EXPECT_EQ(SetPaletteEntries(P, 4, 1, &Green), 1u);
  EXPECT_EQ(GetNearestPaletteIndex(P, RGB(0, 250, 0)), 4u);
  HPALETTE Old = SelectPalette(Dib.DC, P, FALSE);
  EXPECT_EQ(Old, GetStockObject(DEFAULT_PALETTE));
  EXPECT_EQ(RealizePalette(Dib.DC), 0u);
  EXPECT_FALSE(DeleteObject(P)); // selected
  SelectPalette(Dib.DC, Old, FALSE);
  EXPECT_TRUE(DeleteObject(P));
  Log->palVersion = 0x200;
  EXPECT_EQ(CreatePalette(Log), nullptr);
  HPALETTE Half = CreateHalftonePalette(nullptr);
  EXPECT_EQ(GetPaletteEntries(Half, 0, 0, nullptr), 256u);
  for (COLORREF C : {RGB(255, 255, 255), RGB(0, 0, 0), RGB(51, 102, 153), RGB(192, 192, 192)}) {
    PALETTEENTRY Found;
    ASSERT_EQ(GetPaletteEntries(Half, GetNearestPaletteIndex(Half, C), 1, &Found), 1u);
    EXPECT_EQ(RGB(Found.peRed, Found.peGreen, Found.peBlue), C); // exact entries exist
  }
  DeleteObject(Half);
}

TEST(GdiDib, ColoursIntoAColourTableTakeTheNearestEntryWhateverTableCameBefore)
{
  // Many colours, most of them repeated, into tables of the same size but other colours: each
  // pixel gets the entry the table search gives for it, also when the same colours went into
  // another table just before.
  const int W = 97, H = 61;
  std::vector<std::uint32_t> Picture(W * H);
  std::uint32_t Seed = 12345;
  for (std::size_t I = 0; I < Picture.size(); ++I) {
    Seed = Seed * 1103515245u + 12345u;
    Picture[I] = I % 3 == 0 ? Picture[I / 2] : (Seed >> 8) & 0xFFFFFF;
  }
  std::vector<RGBQUAD> Warm = TestPalette(8), Cool = TestPalette(8), Small = TestPalette(4);
  for (RGBQUAD& Q : Cool) std::swap(Q.rgbRed, Q.rgbBlue);
  const struct {
    const char* Name;
    int Bpp;
    const std::vector<RGBQUAD>* Table;
  } Cases[] = {{"warm", 8, &Warm}, {"cool", 8, &Cool}, {"warm again", 8, &Warm}, {"16 colours", 4, &Small}};
  std::vector<std::uint8_t> InfoBuf;
  BITMAPINFO* Info = Info32(InfoBuf, W, H);
  for (const auto& Case : Cases) {
    SCOPED_TRACE(Case.Name);
    TTestDib Dib(W, H, Case.Bpp, true, *Case.Table);
    ASSERT_EQ(SetDIBits(Dib.DC, Dib.Bitmap, 0, H, Picture.data(), Info, DIB_RGB_COLORS), H);
    int Wrong = 0;
    for (int Y = 0; Y < H; ++Y)
      for (int X = 0; X < W; ++X) {
        const std::uint32_t P = Picture[(H - 1 - Y) * W + X];
        const COLORREF Color = RGB((P >> 16) & 0xFF, (P >> 8) & 0xFF, P & 0xFF);
        const int Want = NearestColorIndex(Case.Table->data(), static_cast<int>(Case.Table->size()), Color);
        Wrong += RawAt(Dib, X, Y) != static_cast<std::uint32_t>(Want);
      }
    EXPECT_EQ(Wrong, 0);
  }
}
