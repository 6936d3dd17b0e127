// Drawing PNG images with their transparency, conversion from and to bitmaps, pixel access and
// resizing.
#include <gtest/gtest.h>

#include <functional>

#include "skin/foundation/PngCodec.h"
#include "skin/foundation/PngLayers.h"
#include "tests/skin/foundation/PngTestSupport.h"

using namespace pngtest;

namespace {

constexpr TColor Back = RGB(0, 200, 0);

// Draws Image into Rect of a 4 x 4 bitmap filled with Back; answers its pixels row by row.
std::vector<TColor> Paint(TskPngImage& Image, const TRect& R)
{
  TBitmap Target(4, 4, pf32bit);
  TCanvas* C = Target.GetCanvas();
  C->GetBrush()->SetColor(Back);
  C->FillRect(Rect(0, 0, 4, 4));
  Image.Draw(C, R);
  std::vector<TColor> Pixels;
  for (int Y = 0; Y < 4; ++Y)
    for (int X = 0; X < 4; ++X) Pixels.push_back(C->GetPixels(X, Y) & 0xFFFFFF);
  return Pixels;
}

Byte Mix(Byte S, Byte A, Byte D) { return static_cast<Byte>((S * A + 255 + (255 - A) * D) >> 8); }

TColor Mix(TColor S, Byte A, TColor D)
{
  return RGB(Mix(GetRValue(S), A, GetRValue(D)), Mix(GetGValue(S), A, GetGValue(D)), Mix(GetBValue(S), A, GetBValue(D)));
}

// Each of the four pixels of a 2 x 2 picture covering a 2 x 2 block of the 4 x 4 target.
std::vector<TColor> Blocks(const TColor (&Quad)[4])
{
  std::vector<TColor> Pixels;
  for (int Y = 0; Y < 4; ++Y)
    for (int X = 0; X < 4; ++X) Pixels.push_back(Quad[(Y / 2) * 2 + X / 2]);
  return Pixels;
}

const Bytes Palette4("\xFF\x00\x00" "\x00\x00\xFF" "\xFF\xFF\xFF" "\x20\x40\x60", 12);

TskPngImage* Load(TskPngImage& Image, const TPicture& P, const Bytes& Palette = "", const Bytes& Trns = "")
{
  TWriteOptions O;
  O.Palette = Palette;
  O.Transparency = Trns;
  LoadImage(Image, WritePng(P, O));
  return &Image;
}

}  // namespace

TEST(PngDraw, EachKindOfTransparencyDraws)
{
  const TPicture Rgb{2, 2, 2, 8, {{255, 0, 0, 0, 0, 255}, {255, 255, 255, 0, 0, 0}}};
  const TPicture Indexed{2, 2, 3, 2, {{0, 1}, {2, 3}}};
  const TPicture GreyAlpha{2, 2, 4, 8, {{10, 255, 20, 0}, {30, 128, 40, 255}}};
  const TColor Red = RGB(255, 0, 0), Blue = RGB(0, 0, 255), White = RGB(255, 255, 255), Dark = RGB(0x20, 0x40, 0x60);

  const struct {
    const char* What;
    std::function<void(TskPngImage&)> Make;
    int Kind;
    TRect Where;
    std::vector<TColor> Expected;
  } Cases[] = {
      {"opaque RGB, stretched", [&](TskPngImage& I) { Load(I, Rgb); }, ptkNone, Rect(0, 0, 4, 4),
       Blocks({Red, Blue, White, 0})},
      {"RGB with an alpha channel",
       [&](TskPngImage& I) {
         Load(I, Rgb);
         I.EnsureAlpha();
         I.AlphaRow(0)[1] = 0;
         I.AlphaRow(1)[0] = 128;
       },
       ptkPerPixel, Rect(0, 0, 4, 4), Blocks({Red, Back, Mix(White, 128, Back), 0})},
      {"the same into a mirrored rectangle",
       [&](TskPngImage& I) {
         Load(I, Rgb);
         I.EnsureAlpha();
         I.AlphaRow(0)[1] = 0;
       },
       ptkPerPixel, Rect(4, 4, 0, 0), Blocks({Red, Back, White, 0})},
      {"palette with one transparent entry", [&](TskPngImage& I) { Load(I, Indexed, Palette4, Bytes("\xFF\x00", 2)); },
       ptkKeyColor, Rect(0, 0, 4, 4), Blocks({Red, Back, White, Dark})},
      {"palette with translucent entries",
       [&](TskPngImage& I) { Load(I, Indexed, Palette4, Bytes("\xFF\x00\x64", 3)); }, ptkPerPixel, Rect(0, 0, 4, 4),
       Blocks({Red, Back, Mix(White, 0x64, Back), Dark})},
      {"grey with alpha", [&](TskPngImage& I) { Load(I, GreyAlpha); }, ptkPerPixel, Rect(0, 0, 4, 4),
       Blocks({RGB(10, 10, 10), Back, Mix(RGB(30, 30, 30), 128, Back), RGB(40, 40, 40)})},
      {"RGB with a key colour", [&](TskPngImage& I) { Load(I, Rgb, "", Bytes("\0\xFF\0\xFF\0\xFF", 6)); }, ptkKeyColor,
       Rect(0, 0, 4, 4), Blocks({Red, Blue, Back, 0})},
      {"one pixel per pixel at the top left", [&](TskPngImage& I) { Load(I, GreyAlpha); }, ptkPerPixel, Rect(0, 0, 2, 2),
       {RGB(10, 10, 10), Back, Back, Back, Mix(RGB(30, 30, 30), 128, Back), RGB(40, 40, 40), Back, Back,
        Back, Back, Back, Back, Back, Back, Back, Back}},
      {"a rectangle of the picture's area but not its shape", [&](TskPngImage& I) { Load(I, GreyAlpha); }, ptkPerPixel,
       Rect(0, 0, 1, 4),
       {RGB(10, 10, 10), Back, Back, Back, RGB(10, 10, 10), Back, Back, Back,
        Mix(RGB(30, 30, 30), 128, Back), Back, Back, Back, Mix(RGB(30, 30, 30), 128, Back), Back, Back, Back}},
      {"an empty rectangle", [&](TskPngImage& I) { Load(I, GreyAlpha); }, ptkPerPixel, Rect(1, 1, 1, 3),
       std::vector<TColor>(16, Back)},
  };
  for (const auto& C : Cases) {
    SCOPED_TRACE(C.What);
    TskPngImage Image;
    C.Make(Image);
    EXPECT_EQ(Image.TransparencyKind(), C.Kind);
    EXPECT_EQ(Image.GetTransparent(), C.Kind != ptkNone);
    EXPECT_EQ(Paint(Image, C.Where), C.Expected);
  }
}

TEST(PngDraw, PixelsReadAndWriteInEveryStorage)
{
  const struct {
    const char* What;
    TPicture Picture;
    Bytes Palette;
    TColor Set;
    TColor Expected;
  } Cases[] = {
      {"grey 1 bit", {3, 2, 0, 1, {{0, 1, 0}, {1, 0, 1}}}, "", RGB(200, 180, 190), RGB(255, 255, 255)},
      {"grey 4 bits", {3, 2, 0, 4, {{0, 15, 3}, {1, 2, 5}}}, "", RGB(30, 40, 30), RGB(34, 34, 34)},
      {"grey 16 bits", {3, 2, 0, 16, {{0, 65535, 300}, {1, 2, 5}}}, "", RGB(77, 77, 77), RGB(77, 77, 77)},
      {"palette 2 bits", {3, 2, 3, 2, {{0, 1, 3}, {2, 2, 1}}}, Palette4, RGB(0x21, 0x40, 0x5F), RGB(0x20, 0x40, 0x60)},
      {"grey and alpha", {3, 2, 4, 8, {{1, 2, 3, 4, 5, 6}, {7, 8, 9, 10, 11, 12}}}, "", RGB(90, 10, 10), RGB(90, 90, 90)},
      {"RGB 16 bits", {3, 2, 2, 16, {std::vector<unsigned>(9, 0x8000), std::vector<unsigned>(9, 0x4000)}}, "",
       RGB(1, 2, 3), RGB(1, 2, 3)},
      {"RGBA", {3, 2, 6, 8, {std::vector<unsigned>(12, 9), std::vector<unsigned>(12, 200)}}, "", RGB(4, 5, 6),
       RGB(4, 5, 6)},
  };
  for (const auto& C : Cases) {
    SCOPED_TRACE(C.What);
    TskPngImage Image;
    Load(Image, C.Picture, C.Palette);
    const TReference Before = DecodeWithLibpng(SaveImage(Image));
    EXPECT_EQ(Image.GetPixel(-1, 0), 0u);
    EXPECT_EQ(Image.GetPixel(3, 0), 0u);
    EXPECT_EQ(Image.GetPixel(0, 2), 0u);
    Image.SetPixel(3, 1, RGB(1, 1, 1));
    Image.SetPixel(1, -1, RGB(1, 1, 1));
    Image.SetPixel(1, 1, C.Set);
    EXPECT_EQ(Image.GetPixel(1, 1), C.Expected);
    // Only that pixel changed, and the file says so.
    const TReference After = DecodeWithLibpng(SaveImage(Image));
    for (int Y = 0; Y < 2; ++Y)
      for (int X = 0; X < 3; ++X) {
        const unsigned char* P = After.At(X, Y);
        if (X == 1 && Y == 1)
          EXPECT_EQ(RGB(P[0], P[1], P[2]), C.Expected);
        else
          EXPECT_EQ(std::memcmp(P, Before.At(X, Y), 4), 0) << X << "," << Y;
      }
  }
}

TEST(PngDraw, BitmapsConvertToImagesAndBack)
{
  const TColor Colors[8] = {clRed, clBlue, clWhite, clLime, clBlue, clNavy, clBlack, clYellow};
  for (const TPixelFormat Format : {pf4bit, pf8bit, pf24bit, pf32bit}) {
    SCOPED_TRACE(Format);
    TBitmap Source(4, 2, Format);
    for (int I = 0; I < 8; ++I) Source.GetCanvas()->SetPixels(I % 4, I / 4, Colors[I]);
    Source.SetTransparentColor(clBlue);
    Source.SetTransparent(true);

    TskPngImage Image;
    Image.Assign(&Source);
    TskPngLayerIHDR* H = Image.Header();
    ASSERT_NE(H, nullptr);
    const bool Indexed = Format == pf4bit || Format == pf8bit;
    EXPECT_EQ(H->ColorType, Indexed ? COLOR_PALETTE : COLOR_RGB);
    EXPECT_EQ(H->BitDepth, Format == pf4bit ? 4 : 8);
    // The halftone palette holds blue twice: both entries become transparent, per pixel.
    const int Kind = Format == pf8bit ? ptkPerPixel : ptkKeyColor;
    EXPECT_EQ(Image.TransparencyKind(), Kind);
    EXPECT_EQ(Image.KeyColor(), clBlue);
    for (int I = 0; I < 8; ++I) EXPECT_EQ(Image.GetPixel(I % 4, I / 4), Colors[I]) << I;
    if (Indexed) {
      EXPECT_EQ(Image.Chunks()->Find<TskPngLayerPLTE>()->Count, Format == pf4bit ? 16 : 256);
      auto* Trns = Image.Chunks()->Find<TskPngLayertRNS>();
      EXPECT_EQ(Trns->AlphaTable[Trns->DataSize() - 1], 0);
      EXPECT_EQ(Image.GetPixel(1, 0), clBlue);
    }

    // The file: blue is transparent, the rest as in the bitmap.
    const TReference Ref = DecodeWithLibpng(SaveImage(Image));
    for (int I = 0; I < 8; ++I) {
      const unsigned char* P = Ref.At(I % 4, I / 4);
      EXPECT_EQ(RGB(P[0], P[1], P[2]), Colors[I]) << I;
      EXPECT_EQ(P[3], Colors[I] == clBlue ? 0 : 255) << I;
    }

    // And back to a bitmap, keeping the key colour.
    TBitmap Back;
    Back.Assign(&Image);
    EXPECT_EQ(Back.GetPixelFormat(), Format == pf4bit ? pf4bit : pf24bit);
    EXPECT_EQ(Back.GetTransparent(), Kind == ptkKeyColor);
    if (Kind == ptkKeyColor) {
      EXPECT_EQ(Back.GetTransparentColor(), clBlue);
    }
    for (int I = 0; I < 8; ++I)
      if (Colors[I] != clBlue) {
        EXPECT_EQ(Back.GetCanvas()->GetPixels(I % 4, I / 4) & 0xFFFFFF, Colors[I]) << I;
      }
  }
}

TEST(PngDraw, PaletteImagesBecomeBitmapsWithTheirOwnColours)
{
  TskPngImage Image;
  Load(Image, TPicture{2, 2, 3, 2, {{0, 1}, {2, 3}}}, Palette4);
  TBitmap Target;
  Target.Assign(&Image);
  EXPECT_EQ(Target.GetPixelFormat(), pf4bit);
  EXPECT_FALSE(Target.GetTransparent());
  const TColor Expected[4] = {RGB(255, 0, 0), RGB(0, 0, 255), RGB(255, 255, 255), RGB(0x20, 0x40, 0x60)};
  for (int I = 0; I < 4; ++I) EXPECT_EQ(Target.GetCanvas()->GetPixels(I % 2, I / 2) & 0xFFFFFF, Expected[I]) << I;

  // An empty image gives an empty bitmap; an empty bitmap an empty image.
  TskPngImage Empty;
  Target.Assign(&Empty);
  EXPECT_TRUE(Target.Empty());
  Image.Assign(&Target);
  EXPECT_TRUE(Image.Empty());
}

TEST(PngDraw, ResizingKeepsTheTopLeftAndZeroesTheRest)
{
  TskPngImage Image;
  Load(Image, TPicture{2, 2, 6, 8, {{1, 2, 3, 4, 5, 6, 7, 8}, {9, 10, 11, 12, 13, 14, 15, 16}}});
  Image.SetWidth(3);
  ASSERT_EQ(Image.GetWidth(), 3);
  EXPECT_EQ(Image.GetPixel(0, 0), RGB(1, 2, 3));
  EXPECT_EQ(Image.GetPixel(1, 1), RGB(13, 14, 15));
  EXPECT_EQ(Image.GetPixel(2, 1), 0u);
  EXPECT_EQ(Image.AlphaRow(1)[1], 16);
  EXPECT_EQ(Image.AlphaRow(1)[2], 255);
  Image.SetHeight(1);
  EXPECT_EQ(Image.GetHeight(), 1);
  EXPECT_EQ(Image.GetPixel(1, 0), RGB(5, 6, 7));
  Image.SetHeight(0);
  EXPECT_EQ(Image.GetHeight(), 1);
  // The new size is what a saved file holds.
  const TReference Ref = DecodeWithLibpng(SaveImage(Image));
  EXPECT_EQ(Ref.Width, 3);
  EXPECT_EQ(Ref.Height, 1);
  EXPECT_EQ(Ref.At(1, 0)[3], 8);

  // Palette pictures keep their indexes and colours.
  TskPngImage Indexed;
  Load(Indexed, TPicture{2, 2, 3, 2, {{0, 1}, {2, 3}}}, Palette4);
  Indexed.SetWidth(5);
  EXPECT_EQ(Indexed.GetPixel(1, 1), RGB(0x20, 0x40, 0x60));
  EXPECT_EQ(Indexed.GetPixel(4, 1), RGB(255, 0, 0));  // index 0
}

TEST(PngDraw, AlphaIsAddedWhereTheFormatAllowsIt)
{
  const struct {
    const char* What;
    TPicture Picture;
    Bytes Palette;
    Byte TypeAfter;
    bool Plane;
  } Cases[] = {
      {"grey 8 bits", {2, 1, 0, 8, {{1, 2}}}, "", COLOR_GRAYSCALEALPHA, true},
      {"grey 2 bits stays", {2, 1, 0, 2, {{1, 2}}}, "", COLOR_GRAYSCALE, false},
      {"RGB", {1, 1, 2, 8, {{1, 2, 3}}}, "", COLOR_RGBALPHA, true},
      {"palette", {2, 1, 3, 2, {{1, 2}}}, Palette4, COLOR_PALETTE, false},
  };
  for (const auto& C : Cases) {
    SCOPED_TRACE(C.What);
    TskPngImage Image;
    Load(Image, C.Picture, C.Palette);
    const TReference Before = DecodeWithLibpng(SaveImage(Image));
    Image.EnsureAlpha();
    EXPECT_EQ(Image.Header()->ColorType, C.TypeAfter);
    EXPECT_EQ(Image.AlphaRow(0) != nullptr, C.Plane);
    if (C.Plane) {
      EXPECT_EQ(Image.AlphaRow(0)[0], 255);
    }
    if (C.TypeAfter == COLOR_PALETTE) {
      EXPECT_EQ(Image.TransparencyKind(), ptkPerPixel);
      EXPECT_EQ(Image.Chunks()->Find<TskPngLayertRNS>()->DataSize(), 4u);  // the palette's entries
    }
    EXPECT_EQ(DecodeWithLibpng(SaveImage(Image)).Rgba, Before.Rgba);
  }
}
