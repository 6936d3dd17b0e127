// A device-independent picture in memory, the common ground of the image file readers and
// writers (BMP, JPEG, PNG), the class library's bitmap classes and the drawing layer.
//
// Layouts: 1, 4 and 8 bits per pixel index the palette; 16 bits hold x555 words (blue in the
// low five bits); 24 bits hold B,G,R bytes; 32 bits hold B,G,R and a fourth byte that is alpha
// where the picture has one. Rows are padded to a multiple of 4 bytes and stored top row first
// when TopDown is set, bottom row first otherwise (as Windows keeps a DIB).
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "platform/rtl/Exceptions.h"
#include "platform/rtl/Streams.h"

// A picture file or picture data that cannot be read, or a picture that cannot be written.
QV_DECLARE_EXCEPTION(EInvalidGraphic, Exception);

// The class library's text for a damaged bitmap.
inline constexpr const char* SInvalidBitmap = "Bitmap image is not valid";

// A palette entry, laid out as RGBQUAD.
struct TDibColor {
  std::uint8_t Blue = 0;
  std::uint8_t Green = 0;
  std::uint8_t Red = 0;
  std::uint8_t Reserved = 0;

  bool operator==(const TDibColor&) const = default;
};
static_assert(sizeof(TDibColor) == 4);

// Limits that keep damaged or hostile files from asking for absurd amounts of memory.
constexpr int MaxDibDimension = 65535;
constexpr std::int64_t MaxDibBytes = std::int64_t(256) << 20;

struct TDibImage {
  int Width = 0;
  int Height = 0;
  int BitCount = 24;
  bool TopDown = true;
  std::vector<TDibColor> Palette;
  std::vector<std::uint8_t> Bits;

  // Bytes per row of a picture Width pixels wide (rows padded to 4 bytes).
  static std::int64_t StrideFor(std::int64_t Width, int BitCount);
  static bool IsValidBitCount(int BitCount);
  int Stride() const { return static_cast<int>(StrideFor(Width, BitCount)); }
  bool IsEmpty() const { return Width <= 0 || Height <= 0; }

  // Makes a picture of the given size and layout with all bits zero. Indexed layouts get a
  // default palette: black and white for 1 bit, an even grey ramp for 4 and 8 bits.
  // EInvalidGraphic for a layout other than 1/4/8/16/24/32 bits, negative sizes or a size past
  // the limits above.
  void SetSize(int AWidth, int AHeight, int ABitCount, bool ATopDown = true);
  // True when the bits hold exactly Height rows of Stride bytes and the layout is known.
  bool IsConsistent() const;

  // Row Y counted from the top of the picture, whatever the storage order.
  std::uint8_t* ScanLine(int Y);
  const std::uint8_t* ScanLine(int Y) const;
  // Reorders the rows in memory; the picture stays the same.
  void SetTopDown(bool Value);

  // The colour of pixel (X, Y), Y from the top. Indexed pixels whose index lies past the end of
  // the palette read as black. The fourth byte is the alpha byte for 32 bits, else 0.
  TDibColor GetPixel(int X, int Y) const;
  // Indexed layouts store the nearest palette entry; 32 bits stores the fourth byte as given.
  void SetPixel(int X, int Y, TDibColor Color);
  // The raw index of an indexed pixel.
  int GetPixelIndex(int X, int Y) const;
  void SetPixelIndex(int X, int Y, int Index);

  // Row Y (from the top) as Width colours, as GetPixel gives them.
  void ReadRow(int Y, TDibColor* Out) const;
  // The same picture as 24 or 32 bits per pixel (EInvalidGraphic for other counts). Going to
  // 32 bits, the fourth byte is 255 unless the source has 32 bits itself.
  TDibImage Converted(int NewBitCount) const;
};

// Index of the palette entry nearest to Color (squared distance; the first of equals).
int NearestPaletteIndex(const std::vector<TDibColor>& Palette, TDibColor Color);

// The rest of Stream from its position, for decoders that need a whole file in memory.
// EInvalidGraphic when it holds more than MaxDibBytes.
std::vector<std::uint8_t> ReadRestOfStream(TStream* Stream);
