// The header chunk, which owns the decoded picture (a DIB section plus an alpha plane), and the
// image data chunk, which decodes the compressed, filtered rows into it and encodes them back.
#pragma once

#include <vector>

#include "skin/foundation/PngImage.h"

// A DIB header with room for a full colour table.
struct TskPngDibInfo {
  BITMAPINFOHEADER bmiHeader;
  RGBQUAD bmiColors[256];
  const BITMAPINFO* Info() const { return reinterpret_cast<const BITMAPINFO*>(this); }
  BITMAPINFO* Info() { return reinterpret_cast<BITMAPINFO*>(this); }
};

// Colour types.
constexpr Byte COLOR_GRAYSCALE = 0;
constexpr Byte COLOR_RGB = 2;
constexpr Byte COLOR_PALETTE = 3;
constexpr Byte COLOR_GRAYSCALEALPHA = 4;
constexpr Byte COLOR_RGBALPHA = 6;

// Whether the codec handles a colour type at a bit depth.
bool PngFormatSupported(Byte ColorType, Byte BitDepth);
// The bits per pixel of the DIB that stores such a picture (0 when unsupported).
int PngDibBitCount(Byte ColorType, Byte BitDepth);

// Pictures are refused above this many DIB and alpha bytes (damaged or hostile headers).
constexpr std::int64_t MaxPngImageBytes = std::int64_t(256) << 20;

class TskPngLayerIHDR : public TskPngLayer {
public:
  explicit TskPngLayerIHDR(TskPngImage* AOwner);
  ~TskPngLayerIHDR() override;
  static const char* ClassChunkName() { return "IHDR"; }
  TskPngLayerClass GetClass() const override { return PngLayerClass<TskPngLayerIHDR>(); }

  // Checks the header and builds the picture storage. False for a bad CRC, a short chunk,
  // sizes of 0 or above 65535, unknown methods, an unsupported colour type or depth, or a
  // picture too large to hold.
  bool LoadFromStream(TStream* Stream, const String& AName, Cardinal Size) override;
  bool SaveToStream(TStream* Stream) override;
  // Copies the header values and the picture of another header.
  void Assign(TskPngLayer* Source) override;

  void ReleaseImageStore();
  // Builds the DIB section, memory DC, palette and alpha plane for the header values; false
  // when the format is unsupported or the memory cannot be had.
  bool BuildImageStore();
  // A new picture size with the same format: the top-left part is kept, new pixels are zero
  // and new alpha 255. False (nothing changed) for an empty or too large size.
  bool ResizeImageStore(Cardinal AWidth, Cardinal AHeight);

  // Row Row of the picture (0 = top) and of the alpha plane (nullptr without one).
  Byte* ImageRow(int Row) const { return PixelBits + static_cast<std::ptrdiff_t>(RowStride) * (Height - 1 - Row); }
  Byte* AlphaRow(int Row) const
  {
    return AlphaPlane.empty() ? nullptr : const_cast<Byte*>(AlphaPlane.data()) + static_cast<std::size_t>(Row) * Width;
  }
  bool HasImageStore() const { return BitmapHandle != nullptr; }

  HBITMAP BitmapHandle = nullptr;
  HDC MemoryDC = nullptr;
  HPALETTE PaletteHandle = nullptr;
  bool Indexed = false;
  TskPngDibInfo DibInfo;
  Byte* PixelBits = nullptr;
  std::vector<Byte> AlphaPlane;
  Cardinal Width = 0;
  Cardinal Height = 0;
  Byte BitDepth = 0;
  Byte ColorType = 0;
  Byte CompressionMethod = 0;
  Byte FilterMethod = 0;
  Byte InterlaceMethod = 0;
  int RowStride = 0;

private:
  HGDIOBJ FOldBitmap = nullptr;
};

class TskPngLayerIDAT : public TskPngLayer {
public:
  using TskPngLayer::TskPngLayer;
  static const char* ClassChunkName() { return "IDAT"; }
  TskPngLayerClass GetClass() const override { return PngLayerClass<TskPngLayerIDAT>(); }
  // Decodes this and every following image data chunk into the header's picture. False for a
  // CRC mismatch, damaged compressed data or a stream that ends early (rows not decoded stay
  // zero).
  bool LoadFromStream(TStream* Stream, const String& AName, Cardinal Size) override;
  // Writes the whole picture as one or more image data chunks.
  bool SaveToStream(TStream* Stream) override;
  // The image data lives in the header; nothing to copy.
  void Assign(TskPngLayer*) override {}
};

// The byte count of a PNG row of Width pixels and the filter distance.
void PngRowLayout(Byte ColorType, Byte BitDepth, Cardinal Width, std::size_t& RowBytes, int& BytesPerPixel);
