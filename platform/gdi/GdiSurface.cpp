// Pixel access for every surface layout.
#include "platform/gdi/GdiSurface.h"

std::uint32_t TSurface::GetRaw(int X, int Y) const
{
  const std::uint8_t* R = Row(Y);
  switch (BitsPerPixel) {
  case 1:
    return (R[X >> 3] >> (7 - (X & 7))) & 1u;
  case 4:
    return (X & 1) ? (R[X >> 1] & 0x0Fu) : (R[X >> 1] >> 4);
  case 8:
    return R[X];
  case 24: {
    const std::uint8_t* P = R + X * 3;
    return P[0] | (P[1] << 8) | (static_cast<std::uint32_t>(P[2]) << 16);
  }
  default: {
    const std::uint8_t* P = R + X * 4;
    return P[0] | (P[1] << 8) | (static_cast<std::uint32_t>(P[2]) << 16) | (static_cast<std::uint32_t>(P[3]) << 24);
  }
  }
}

void TSurface::SetRaw(int X, int Y, std::uint32_t V) const
{
  std::uint8_t* R = Row(Y);
  switch (BitsPerPixel) {
  case 1: {
    std::uint8_t Bit = static_cast<std::uint8_t>(0x80 >> (X & 7));
    if (V & 1)
      R[X >> 3] |= Bit;
    else
      R[X >> 3] &= static_cast<std::uint8_t>(~Bit);
    break;
  }
  case 4:
    if (X & 1)
      R[X >> 1] = static_cast<std::uint8_t>((R[X >> 1] & 0xF0) | (V & 0x0F));
    else
      R[X >> 1] = static_cast<std::uint8_t>((R[X >> 1] & 0x0F) | ((V & 0x0F) << 4));
    break;
  case 8:
    R[X] = static_cast<std::uint8_t>(V);
    break;
  case 24: {
    std::uint8_t* P = R + X * 3;
    P[0] = static_cast<std::uint8_t>(V);
    P[1] = static_cast<std::uint8_t>(V >> 8);
    P[2] = static_cast<std::uint8_t>(V >> 16);
    break;
  }
  default: {
    std::uint8_t* P = R + X * 4;
    P[0] = static_cast<std::uint8_t>(V);
    P[1] = static_cast<std::uint8_t>(V >> 8);
    P[2] = static_cast<std::uint8_t>(V >> 16);
    P[3] = static_cast<std::uint8_t>(V >> 24);
    break;
  }
  }
}

std::uint32_t TSurface::RawMask() const
{
  switch (BitsPerPixel) {
  case 1:
    return 1u;
  case 4:
    return 0x0Fu;
  case 8:
    return 0xFFu;
  case 24:
    return 0xFFFFFFu;
  default:
    return 0xFFFFFFFFu;
  }
}

int NearestColorIndex(const RGBQUAD* Colors, int Count, COLORREF Color)
{
  int Best = 0;
  long BestDistance = -1;
  int R = GetRValue(Color), G = GetGValue(Color), B = GetBValue(Color);
  for (int I = 0; I < Count; ++I) {
    long Dr = Colors[I].rgbRed - R, Dg = Colors[I].rgbGreen - G, Db = Colors[I].rgbBlue - B;
    long D = Dr * Dr + Dg * Dg + Db * Db;
    if (BestDistance < 0 || D < BestDistance) {
      Best = I;
      BestDistance = D;
      if (D == 0)
        break;
    }
  }
  return Best;
}

std::uint32_t TSurface::ColorToRaw(COLORREF Color) const
{
  if (IsIndexed()) {
    if (!Colors || ColorCount <= 0)
      return 0;
    return static_cast<std::uint32_t>(NearestColorIndex(Colors, ColorCount, Color));
  }
  return static_cast<std::uint32_t>(GetBValue(Color)) | (static_cast<std::uint32_t>(GetGValue(Color)) << 8) |
         (static_cast<std::uint32_t>(GetRValue(Color)) << 16);
}

COLORREF TSurface::RawToColor(std::uint32_t Raw) const
{
  if (IsIndexed()) {
    if (!Colors || Raw >= static_cast<std::uint32_t>(ColorCount))
      return RGB(0, 0, 0);
    const RGBQUAD& Q = Colors[Raw];
    return RGB(Q.rgbRed, Q.rgbGreen, Q.rgbBlue);
  }
  return RGB(static_cast<BYTE>(Raw >> 16), static_cast<BYTE>(Raw >> 8), static_cast<BYTE>(Raw));
}
