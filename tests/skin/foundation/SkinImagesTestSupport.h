// Test pictures whose every pixel names its own coordinates, so that a built skin image can be
// read back as "which source pixel landed here".
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <memory>
#include <ostream>

#include "platform/vcl/Bitmap.h"

namespace skinimagetest {

constexpr int Tag = 0x55;  // blue of every picture pixel; unpainted target pixels are black

// Pixel (x, y) of the picture is RGB(x, y, Tag).
inline std::unique_ptr<TBitmap> CoordinatePicture(int Width, int Height)
{
  auto Picture = std::make_unique<TBitmap>();
  Picture->SetPixelFormat(pf24bit);
  Picture->SetSize(Width, Height);
  for (int Y = 0; Y < Height; ++Y) {
    auto* Row = static_cast<std::uint8_t*>(Picture->ScanLine(Y));
    for (int X = 0; X < Width; ++X) {
      Row[X * 3 + 0] = Tag;
      Row[X * 3 + 1] = static_cast<std::uint8_t>(Y);
      Row[X * 3 + 2] = static_cast<std::uint8_t>(X);
    }
  }
  return Picture;
}

struct TSrc {
  int X, Y;
  bool operator==(const TSrc&) const = default;
};
inline std::ostream& operator<<(std::ostream& Out, const TSrc& S)
{
  return Out << "(" << S.X << ", " << S.Y << ")";
}
inline constexpr TSrc Unpainted{-1000, -1000};

// The picture pixel found at (X, Y) of Image, relative to Origin (the skin rectangle's corner).
inline TSrc SourceAt(TBitmap* Image, int X, int Y, TPoint Origin)
{
  const COLORREF C = Image->GetCanvas()->GetPixels(X, Y);
  if (((C >> 16) & 0xFF) != Tag) return Unpainted;
  return TSrc{static_cast<int>(C & 0xFF) - Origin.x, static_cast<int>((C >> 8) & 0xFF) - Origin.y};
}

struct TProbe {
  int X, Y;
  TSrc Expected;
};

}  // namespace skinimagetest
