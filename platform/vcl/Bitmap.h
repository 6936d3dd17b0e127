// TGraphic, the base of every picture kind, and TBitmap, a device-independent bitmap with a
// canvas, direct row access, pixel-format conversion, transparency and BMP files.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "platform/gdi/DibImage.h"
#include "platform/rtl/Streams.h"
#include "platform/vcl/Canvas.h"

class TGraphic : public TPersistent {
public:
  virtual bool Empty() const = 0;
  virtual int GetWidth() const = 0;
  virtual int GetHeight() const = 0;
  virtual void SetWidth(int Value) = 0;
  virtual void SetHeight(int Value) = 0;
  virtual bool GetTransparent() const { return FTransparent; }
  virtual void SetTransparent(bool Value);
  bool GetModified() const { return FModified; }
  // Setting it true reports a change.
  void SetModified(bool Value);
  virtual HPALETTE GetPalette() { return nullptr; }
  virtual void SetPalette(HPALETTE) {}

  // Paints the picture stretched into Rect of ACanvas.
  virtual void Draw(TCanvas* ACanvas, const TRect& Rect) = 0;
  virtual void LoadFromStream(TStream* Stream) = 0;
  virtual void SaveToStream(TStream* Stream) = 0;
  // EFOpenError when the file cannot be opened; the picture's own error when it is damaged
  // (the picture stays as it was then).
  virtual void LoadFromFile(const String& FileName);
  // Writes the whole picture, replacing the file only when complete.
  virtual void SaveToFile(const String& FileName);

  TNotifyEvent OnChange;

protected:
  virtual void Changed(TObject* Sender);

private:
  bool FTransparent = false;
  bool FModified = false;
};

enum TPixelFormat { pfDevice, pf1bit, pf4bit, pf8bit, pf15bit, pf16bit, pf24bit, pf32bit, pfCustom };
enum TBitmapHandleType { bmDIB, bmDDB };
enum TTransparentMode { tmAuto, tmFixed };

class TBitmap;

// The canvas of a bitmap: a memory DC with the bitmap selected, made when first needed.
class TBitmapCanvas : public TCanvas {
public:
  explicit TBitmapCanvas(TBitmap* ABitmap) : FBitmap(ABitmap) {}
  ~TBitmapCanvas() override;
  // Gives the DC back (the bitmap is selected out first).
  void FreeContext();

protected:
  void CreateHandle() override;

private:
  TBitmap* FBitmap;
  HDC FDC = nullptr;
  HGDIOBJ FOldBitmap = nullptr;
  HGDIOBJ FOldPalette = nullptr;
};

class TBitmap : public TGraphic {
public:
  TBitmap();
  TBitmap(int AWidth, int AHeight, TPixelFormat APixelFormat = pfDevice);
  ~TBitmap() override;

  bool Empty() const override { return FWidth <= 0 || FHeight <= 0; }
  int GetWidth() const override { return FWidth; }
  int GetHeight() const override { return FHeight; }
  // Sizes keep the top-left part of the picture; new pixels are black.
  void SetWidth(int Value) override { SetSize(Value, FHeight); }
  void SetHeight(int Value) override { SetSize(FWidth, Value); }
  void SetSize(int AWidth, int AHeight);

  TPixelFormat GetPixelFormat() const { return FPixelFormat; }
  // Converts the pixels: indexed formats take the nearest colour of their table (pf1bit black
  // and white, pf4bit the 16 standard colours, pf8bit the halftone palette). pf15bit and
  // pf16bit are kept in 24-bit rows (the drawing layer has no 16-bit surfaces).
  void SetPixelFormat(TPixelFormat Value);
  TBitmapHandleType GetHandleType() const { return FPixelFormat == pfDevice ? bmDDB : bmDIB; }
  // bmDDB makes the format pfDevice; bmDIB turns pfDevice into pf32bit.
  void SetHandleType(TBitmapHandleType Value);
  bool GetMonochrome() const { return FPixelFormat == pf1bit; }
  void SetMonochrome(bool Value);
  int GetBitCount() const { return FBitCount; }

  TCanvas* GetCanvas();
  // The DIB section (made on demand for a sized bitmap); the bitmap keeps owning it.
  HBITMAP GetHandle();
  // Takes Value over (a device-dependent bitmap is copied into a DIB section and deleted).
  void SetHandle(HBITMAP Value);
  bool HandleAllocated() const { return FHandle != nullptr; }
  // Hands the DIB section to the caller; the bitmap is empty afterwards.
  HBITMAP ReleaseHandle();
  // A monochrome mask: 1 where the pixel has TransparentColor. Owned by the bitmap.
  HBITMAP GetMaskHandle();
  HBITMAP ReleaseMaskHandle();
  // Turns the bitmap itself into that mask (monochrome).
  void Mask(TColor TransparentColor);
  HPALETTE GetPalette() override;
  // Indexed formats take Value's colours as their table; the bitmap owns Value afterwards.
  void SetPalette(HPALETTE Value) override;
  HPALETTE ReleasePalette();

  // Row Row (0 = top) of the pixels, whatever the DIB's row order. EInvalidGraphic "Scan line
  // index out of range" outside 0..Height-1.
  void* ScanLine(int Row);
  int GetStride() const { return FStride; }
  bool IsTopDown() const { return FTopDown; }

  // tmAuto: the bottom-left pixel (white for monochrome bitmaps); tmFixed: the set colour.
  TColor GetTransparentColor();
  // clDefault returns to tmAuto; any other colour sets tmFixed.
  void SetTransparentColor(TColor Value);
  TTransparentMode GetTransparentMode() const { return FTransparentMode; }
  void SetTransparentMode(TTransparentMode Value);

  void Assign(TPersistent* Source) override;
  void Draw(TCanvas* ACanvas, const TRect& Rect) override;
  // A BMP file (EInvalidGraphic "Bitmap image is not valid" when damaged; the bitmap keeps its
  // picture then).
  void LoadFromStream(TStream* Stream) override;
  void SaveToStream(TStream* Stream) override;
  void Dormant() {}
  void FreeImage() {}

  // The pixels as a neutral picture (a copy) and back.
  TDibImage ToDibImage() const;
  void LoadFromDibImage(const TDibImage& Image);

protected:
  void Changed(TObject* Sender) override;

private:
  friend class TBitmapCanvas;
  void FreeContext();
  void FreeMask();
  void FreePalette();
  struct TImageData {
    HBITMAP Handle = nullptr;
    std::uint8_t* Bits = nullptr;
    int Width = 0;
    int Height = 0;
    int BitCount = 32;
    int Stride = 0;
    bool TopDown = false;
    std::vector<RGBQUAD> Colors;
    std::uint8_t* Row(int Y) const { return Bits + static_cast<std::ptrdiff_t>(TopDown ? Y : Height - 1 - Y) * Stride; }
  };
  // A new zeroed DIB section (bottom-up, as the class library makes them); Colors for indexed
  // depths. An empty size gives no section. EOutOfResources when GDI refuses.
  static TImageData CreateImage(int AWidth, int AHeight, int ABitCount, std::vector<RGBQUAD> Colors);
  // Replaces the current pixels (the old section is deleted).
  void InstallImage(TImageData&& Image, TPixelFormat Format);
  TImageData CurrentImage() const;
  void DestroyImage();
  // Converts Source's pixels into Dest's format through GDI (nearest table colour).
  static void ConvertPixels(const TImageData& Source, const TImageData& Dest);
  COLORREF PixelAt(int X, int Y) const;

  HBITMAP FHandle = nullptr;
  std::vector<RGBQUAD> FColors;
  std::uint8_t* FBits = nullptr;
  int FWidth = 0;
  int FHeight = 0;
  int FBitCount = 32;
  int FStride = 0;
  bool FTopDown = false;
  TPixelFormat FPixelFormat = pfDevice;
  HBITMAP FMaskHandle = nullptr;
  HPALETTE FPalette = nullptr;
  TColor FTransparentColor = clDefault;
  TTransparentMode FTransparentMode = tmAuto;
  std::unique_ptr<TBitmapCanvas> FCanvas;
};

// Depth of a pixel format's rows.
int PixelFormatBitCount(TPixelFormat Format);
// The default colour table of an indexed depth (1: black and white; 4: the 16 standard
// colours; 8: the halftone palette).
std::vector<RGBQUAD> DefaultColorTable(int BitCount);
