// A view of pixel memory in any of the supported layouts: 1, 4 and 8 bpp indexed with a
// colour table, 24 bpp B,G,R and 32 bpp B,G,R,A, rows top-down or bottom-up.
//
// A "raw" pixel value is what the memory holds: the index for indexed layouts, 0x00RRGGBB for
// 24 bpp and 0xAARRGGBB for 32 bpp. Raster operations work on raw values.
#pragma once

#include <cstdint>

#include "platform/gdi/Gdi.h"

struct TSurface {
  std::uint8_t* Bits = nullptr;
  int Width = 0;
  int Height = 0;
  int Stride = 0; // bytes per row, positive
  int BitsPerPixel = 32;
  bool TopDown = true;
  const RGBQUAD* Colors = nullptr; // colour table for indexed layouts
  int ColorCount = 0;

  bool IsIndexed() const { return BitsPerPixel <= 8; }
  bool Contains(int X, int Y) const { return X >= 0 && Y >= 0 && X < Width && Y < Height; }
  RECT Bounds() const { return RECT{0, 0, Width, Height}; }
  // Row Y counted from the top of the picture, whatever the memory order.
  std::uint8_t* Row(int Y) const { return Bits + static_cast<std::ptrdiff_t>(TopDown ? Y : Height - 1 - Y) * Stride; }

  std::uint32_t GetRaw(int X, int Y) const;
  void SetRaw(int X, int Y, std::uint32_t Value) const;
  // The raw value that shows Color: the nearest table entry on indexed layouts, alpha 0 on 32 bpp.
  std::uint32_t ColorToRaw(COLORREF Color) const;
  COLORREF RawToColor(std::uint32_t Raw) const;
  COLORREF GetColor(int X, int Y) const { return RawToColor(GetRaw(X, Y)); }
  // Mask of the meaningful bits of a raw value (1, 0xF, 0xFF, 0xFFFFFF, 0xFFFFFFFF).
  std::uint32_t RawMask() const;
};

// Index of the table colour nearest to Color (squared distance; the first of equals).
int NearestColorIndex(const RGBQUAD* Colors, int Count, COLORREF Color);
