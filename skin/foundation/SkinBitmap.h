// TskBitmap: a 32-bit top-down DIB section with a per-pixel alpha byte, its own memory DC and
// canvas, drawn by copying, by colour-key transparency or by per-pixel blending, stretched by
// nearest-neighbour sampling. Also the pixel-line routines the drawing uses and the registry of
// bitmaps by device context.
//
// Pixels are 4 bytes B, G, R, A (0xAARRGGBB as a 32-bit value); row y starts at
// Bits + y * Width * 4, without padding. The transparency key is RGB 0x7F007F (any alpha).
#pragma once

#include <cstdint>

#include "platform/gdi/Gdi.h"
#include "platform/rtl/Persistent.h"
#include "platform/vcl/Bitmap.h"

class TskPngImage;

// The colour key of transparent bitmaps as a pixel value (RGB only).
constexpr std::uint32_t skTransparentKey = 0x007F007F;

// ---- Pixel-line routines (a negative Count does nothing) ----

// Copies Count pixels; the areas may overlap.
void MoveLongwords(const std::uint32_t* Src, std::uint32_t* Dst, int Count);
void FillLongwords(std::uint32_t* Dst, int Count, std::uint32_t Value);
// Fills the inclusive pixel rectangle Left..Right x Top..Bottom of a buffer RowPixels wide.
void FillLongwordRect(std::uint32_t* Dst, int RowPixels, int Left, int Top, int Right, int Bottom,
                      std::uint32_t Value);
void SetAlphaBytes(std::uint32_t* Dst, int Count, Byte Alpha);
void SetAlphaRect(std::uint32_t* Dst, int RowPixels, int Left, int Top, int Right, int Bottom, Byte Alpha);
// Alpha 0 on every pixel whose RGB equals Color's RGB (Color as a pixel value).
void ClearColorAlpha(std::uint32_t* Dst, int Count, std::uint32_t Color);
// F over B: alpha 255 gives F, alpha 0 gives B, otherwise each colour channel is
// (a * F + (255 - a) * B) div 256 with alpha 255.
std::uint32_t BlendPixel(std::uint32_t F, std::uint32_t B);
// BlendPixel of each Src pixel over Dst; alpha 0 leaves Dst, alpha 255 copies.
void BlendLine(const std::uint32_t* Src, std::uint32_t* Dst, int Count);
// Copies every Src pixel whose RGB is not the key colour, with alpha 255.
void TransparentLine(const std::uint32_t* Src, std::uint32_t* Dst, int Count);

class TskBitmap : public TPersistent {
public:
  TskBitmap();
  TskBitmap(const TskBitmap&) = delete;
  TskBitmap& operator=(const TskBitmap&) = delete;
  ~TskBitmap() override;

  // Drawing blends per pixel.
  bool HasAlpha = false;
  // Drawing treats the key colour as transparent.
  bool Transparent = false;
  // A text value that Assign copies along.
  String Text;

  std::uint32_t* GetBits() const { return FBits; }
  int GetWidth() const { return FWidth; }
  int GetHeight() const { return FHeight; }
  // The memory DC (nullptr while empty).
  HDC GetDC() const { return FDC; }
  HBITMAP GetHandle() const { return FDib; }

  // Negative sizes count as positive; a zero size or the current size changes nothing.
  // Exception "Can't allocate the DIB handle", "Can't create compatible DC" or
  // "Can't bslect an object into DC" when GDI refuses (the bitmap is empty then).
  void SetSize(int W, int H);
  bool Empty() const { return FDib == nullptr; }
  std::uint32_t* ScanLine(int Y) const { return FBits + static_cast<std::ptrdiff_t>(Y) * FWidth; }
  std::uint32_t* PixelPtr(int X, int Y) const { return ScanLine(Y) + X; }
  void SetPixel(int X, int Y, std::uint32_t Value);
  std::uint32_t GetPixel(int X, int Y) const;
  void SetAlpha(Byte A);
  void DetectAlpha();
  TCanvas* GetCanvas();

  void DrawToDC(HDC DC, int X, int Y);
  void DrawToCanvas(TCanvas* Canvas, int X, int Y);
  void DrawRectToDC(HDC DC, int X, int Y, const RECT& SrcRect);
  void DrawStretchToDC(HDC DC, const RECT& DstRect, const RECT& SrcRect);
  void DrawToBitmap(TskBitmap* Dest, int X, int Y);
  void DrawRectToBitmap(TskBitmap* Dest, const RECT& DstRect, const RECT& SrcRect);
  void DrawRectToBitmap(TskBitmap* Dest, int X, int Y, const RECT& SrcRect);
  // Draws straight into the 32-bit DIB section selected into DC (by the flags, as
  // DrawRectToBitmap, with source positions rounded to nearest); false when DC holds no 32-bit
  // DIB section.
  bool DrawStretchToDIB(HDC DC, const RECT& DstRect, const RECT& SrcRect);
  void DrawGraphic(TGraphic* Graphic, const RECT& R);

  void FlipVert();
  void MakeReflection();
  void MakeFaintReflection();

  void Assign(TPersistent* Source) override;

protected:
  void AssignTo(TPersistent* Dest) override;

private:
  void FreeHandles();
  void MakeReflectionDiv(int Divisor);
  void AssignBitmap(TBitmap* Source);
  void DrawViaTemporary(HDC DC, const RECT& DstRect, const RECT& SrcRect);

  std::uint32_t* FBits = nullptr;
  int FWidth = 0;
  int FHeight = 0;
  BITMAPINFO FInfo{};
  HBITMAP FDib = nullptr;
  HDC FDC = nullptr;
  HGDIOBJ FOldBitmap = nullptr;
  TCanvas* FCanvas = nullptr;
  bool FRegistered = false;
};

// The first registered bitmap whose DC is DC, or nullptr.
TskBitmap* FindBitmapByDC(HDC DC);
// Sizes Bitmap to the PNG and takes every pixel's colour and alpha (255 without an alpha
// plane), then DetectAlpha.
void AssignPngToBitmap(TskBitmap* Bitmap, TskPngImage* Png);
// Each pixel's alpha := Trunc((red + green + blue) / 3) of Mask's pixel (the common area only).
void SetAlphaFromMask(TskBitmap* Bitmap, TskBitmap* Mask);
