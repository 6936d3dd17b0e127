// Small helpers of the drawing tests: a memory DC with a DIB section of any depth, and direct
// access to its pixel memory.
#pragma once

#include <cstdint>
#include <cstring>
#include <vector>

#include "platform/gdi/Gdi.h"

class TTestDib {
public:
  TTestDib(int Width, int Height, int Bpp = 32, bool TopDown = true, const std::vector<RGBQUAD>& Colors = {})
      : W(Width), H(Height), BitsPerPixel(Bpp), Top(TopDown)
  {
    std::vector<std::uint8_t> Info(sizeof(BITMAPINFOHEADER) + 256 * sizeof(RGBQUAD));
    BITMAPINFOHEADER Header;
    Header.biWidth = Width;
    Header.biHeight = TopDown ? -Height : Height;
    Header.biBitCount = static_cast<WORD>(Bpp);
    Header.biClrUsed = static_cast<DWORD>(Colors.size());
    std::memcpy(Info.data(), &Header, sizeof(Header));
    if (!Colors.empty())
      std::memcpy(Info.data() + sizeof(Header), Colors.data(), Colors.size() * sizeof(RGBQUAD));
    void* Pixels = nullptr;
    Bitmap = CreateDIBSection(nullptr, reinterpret_cast<BITMAPINFO*>(Info.data()), DIB_RGB_COLORS, &Pixels, nullptr, 0);
    Bits = static_cast<std::uint8_t*>(Pixels);
    DC = CreateCompatibleDC(nullptr);
    Old = SelectObject(DC, Bitmap);
  }
  ~TTestDib()
  {
    SelectObject(DC, Old);
    DeleteDC(DC);
    DeleteObject(Bitmap);
  }
  TTestDib(const TTestDib&) = delete;
  TTestDib& operator=(const TTestDib&) = delete;

  int Stride() const { return ((W * BitsPerPixel + 31) / 32) * 4; }
  std::uint8_t* Row(int Y) const { return Bits + static_cast<std::ptrdiff_t>(Top ? Y : H - 1 - Y) * Stride(); }
  // 32 bpp: the pixel as 0xAARRGGBB.
  std::uint32_t& At(int X, int Y) const { return reinterpret_cast<std::uint32_t*>(Row(Y))[X]; }
  void Fill(std::uint32_t Value) const
  {
    for (int Y = 0; Y < H; ++Y)
      for (int X = 0; X < W; ++X)
        At(X, Y) = Value;
  }

  int W, H, BitsPerPixel;
  bool Top;
  HBITMAP Bitmap = nullptr;
  HDC DC = nullptr;
  HGDIOBJ Old = nullptr;
  std::uint8_t* Bits = nullptr;
};

// COLORREF as the 32-bpp pixel with alpha A.
constexpr std::uint32_t Px(COLORREF C, std::uint32_t A = 0)
{
  return (A << 24) | (static_cast<std::uint32_t>(GetRValue(C)) << 16) | (static_cast<std::uint32_t>(GetGValue(C)) << 8) |
         GetBValue(C);
}
