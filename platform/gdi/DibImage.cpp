#include "platform/gdi/DibImage.h"

#include <algorithm>
#include <cstring>

namespace {

void Fail(const char* Message) { throw EInvalidGraphic(Message); }

std::uint8_t Expand5(unsigned V) { return static_cast<std::uint8_t>((V << 3) | (V >> 2)); }

}  // namespace

std::int64_t TDibImage::StrideFor(std::int64_t Width, int BitCount)
{
  return ((Width * BitCount + 31) / 32) * 4;
}

bool TDibImage::IsValidBitCount(int BitCount)
{
  switch (BitCount) {
  case 1:
  case 4:
  case 8:
  case 16:
  case 24:
  case 32:
    return true;
  default:
    return false;
  }
}

void TDibImage::SetSize(int AWidth, int AHeight, int ABitCount, bool ATopDown)
{
  if (!IsValidBitCount(ABitCount))
    Fail("Unsupported bitmap pixel format");
  if (AWidth < 0 || AHeight < 0 || AWidth > MaxDibDimension || AHeight > MaxDibDimension ||
      StrideFor(AWidth, ABitCount) * AHeight > MaxDibBytes)
    Fail("Bitmap size is out of range");
  const std::size_t Bytes = static_cast<std::size_t>(StrideFor(AWidth, ABitCount) * AHeight);
  std::vector<std::uint8_t> NewBits(Bytes, 0);
  std::vector<TDibColor> NewPalette;
  if (ABitCount <= 8) {
    const int Count = 1 << ABitCount;
    NewPalette.resize(static_cast<std::size_t>(Count));
    for (int I = 0; I < Count; ++I) {
      const auto Level = static_cast<std::uint8_t>(I * 255 / (Count - 1));
      NewPalette[static_cast<std::size_t>(I)] = TDibColor{Level, Level, Level, 0};
    }
  }
  Width = AWidth;
  Height = AHeight;
  BitCount = ABitCount;
  TopDown = ATopDown;
  Bits = std::move(NewBits);
  Palette = std::move(NewPalette);
}

bool TDibImage::IsConsistent() const
{
  if (!IsValidBitCount(BitCount) || Width < 0 || Height < 0)
    return false;
  return static_cast<std::int64_t>(Bits.size()) == StrideFor(Width, BitCount) * Height;
}

std::uint8_t* TDibImage::ScanLine(int Y)
{
  const int Row = TopDown ? Y : Height - 1 - Y;
  return Bits.data() + static_cast<std::ptrdiff_t>(Row) * Stride();
}

const std::uint8_t* TDibImage::ScanLine(int Y) const
{
  const int Row = TopDown ? Y : Height - 1 - Y;
  return Bits.data() + static_cast<std::ptrdiff_t>(Row) * Stride();
}

void TDibImage::SetTopDown(bool Value)
{
  if (Value == TopDown)
    return;
  const std::size_t S = static_cast<std::size_t>(Stride());
  for (int Top = 0, Bottom = Height - 1; Top < Bottom; ++Top, --Bottom)
    std::swap_ranges(Bits.begin() + static_cast<std::ptrdiff_t>(Top * S),
                     Bits.begin() + static_cast<std::ptrdiff_t>((Top + 1) * S),
                     Bits.begin() + static_cast<std::ptrdiff_t>(Bottom * S));
  TopDown = Value;
}

int TDibImage::GetPixelIndex(int X, int Y) const
{
  const std::uint8_t* Row = ScanLine(Y);
  switch (BitCount) {
  case 1:
    return (Row[X >> 3] >> (7 - (X & 7))) & 1;
  case 4:
    return (X & 1) ? (Row[X >> 1] & 0x0F) : (Row[X >> 1] >> 4);
  case 8:
    return Row[X];
  default:
    return 0;
  }
}

void TDibImage::SetPixelIndex(int X, int Y, int Index)
{
  std::uint8_t* Row = ScanLine(Y);
  switch (BitCount) {
  case 1: {
    const auto Bit = static_cast<std::uint8_t>(0x80 >> (X & 7));
    Row[X >> 3] = static_cast<std::uint8_t>((Index & 1) ? (Row[X >> 3] | Bit) : (Row[X >> 3] & ~Bit));
    break;
  }
  case 4:
    if (X & 1)
      Row[X >> 1] = static_cast<std::uint8_t>((Row[X >> 1] & 0xF0) | (Index & 0x0F));
    else
      Row[X >> 1] = static_cast<std::uint8_t>((Row[X >> 1] & 0x0F) | ((Index & 0x0F) << 4));
    break;
  case 8:
    Row[X] = static_cast<std::uint8_t>(Index);
    break;
  default:
    break;
  }
}

TDibColor TDibImage::GetPixel(int X, int Y) const
{
  const std::uint8_t* Row = ScanLine(Y);
  switch (BitCount) {
  case 1:
  case 4:
  case 8: {
    const auto Index = static_cast<std::size_t>(GetPixelIndex(X, Y));
    if (Index >= Palette.size())
      return TDibColor{};
    TDibColor C = Palette[Index];
    C.Reserved = 0;
    return C;
  }
  case 16: {
    const unsigned V = Row[2 * X] | (Row[2 * X + 1] << 8);
    return TDibColor{Expand5(V & 31), Expand5((V >> 5) & 31), Expand5((V >> 10) & 31), 0};
  }
  case 24:
    return TDibColor{Row[3 * X], Row[3 * X + 1], Row[3 * X + 2], 0};
  case 32:
    return TDibColor{Row[4 * X], Row[4 * X + 1], Row[4 * X + 2], Row[4 * X + 3]};
  default:
    return TDibColor{};
  }
}

void TDibImage::SetPixel(int X, int Y, TDibColor Color)
{
  std::uint8_t* Row = ScanLine(Y);
  switch (BitCount) {
  case 1:
  case 4:
  case 8:
    SetPixelIndex(X, Y, NearestPaletteIndex(Palette, Color));
    break;
  case 16: {
    const unsigned V = (Color.Blue >> 3) | ((Color.Green >> 3) << 5) | ((Color.Red >> 3) << 10);
    Row[2 * X] = static_cast<std::uint8_t>(V);
    Row[2 * X + 1] = static_cast<std::uint8_t>(V >> 8);
    break;
  }
  case 24:
    Row[3 * X] = Color.Blue;
    Row[3 * X + 1] = Color.Green;
    Row[3 * X + 2] = Color.Red;
    break;
  case 32:
    std::memcpy(Row + 4 * X, &Color, 4);
    break;
  default:
    break;
  }
}

void TDibImage::ReadRow(int Y, TDibColor* Out) const
{
  const std::uint8_t* Row = ScanLine(Y);
  if (BitCount == 32) {
    std::memcpy(Out, Row, static_cast<std::size_t>(Width) * 4);
    return;
  }
  if (BitCount == 24) {
    for (int X = 0; X < Width; ++X)
      Out[X] = TDibColor{Row[3 * X], Row[3 * X + 1], Row[3 * X + 2], 0};
    return;
  }
  for (int X = 0; X < Width; ++X)
    Out[X] = GetPixel(X, Y);
}

TDibImage TDibImage::Converted(int NewBitCount) const
{
  if (NewBitCount != 24 && NewBitCount != 32)
    Fail("Unsupported bitmap pixel format");
  if (!IsConsistent())
    Fail(SInvalidBitmap);
  TDibImage Result;
  Result.SetSize(Width, Height, NewBitCount, TopDown);
  std::vector<TDibColor> Row(static_cast<std::size_t>(Width));
  for (int Y = 0; Y < Height; ++Y) {
    ReadRow(Y, Row.data());
    std::uint8_t* Out = Result.ScanLine(Y);
    for (int X = 0; X < Width; ++X) {
      const TDibColor& C = Row[static_cast<std::size_t>(X)];
      if (NewBitCount == 24) {
        Out[3 * X] = C.Blue;
        Out[3 * X + 1] = C.Green;
        Out[3 * X + 2] = C.Red;
      } else {
        Out[4 * X] = C.Blue;
        Out[4 * X + 1] = C.Green;
        Out[4 * X + 2] = C.Red;
        Out[4 * X + 3] = BitCount == 32 ? C.Reserved : 255;
      }
    }
  }
  return Result;
}

int NearestPaletteIndex(const std::vector<TDibColor>& Palette, TDibColor Color)
{
  int Best = 0;
  long BestDistance = -1;
  for (std::size_t I = 0; I < Palette.size(); ++I) {
    const long DB = long(Palette[I].Blue) - Color.Blue;
    const long DG = long(Palette[I].Green) - Color.Green;
    const long DR = long(Palette[I].Red) - Color.Red;
    const long Distance = DB * DB + DG * DG + DR * DR;
    if (BestDistance < 0 || Distance < BestDistance) {
      BestDistance = Distance;
      Best = static_cast<int>(I);
      if (Distance == 0)
        break;
    }
  }
  return Best;
}

std::vector<std::uint8_t> ReadRestOfStream(TStream* Stream)
{
  std::vector<std::uint8_t> Data;
  constexpr std::size_t Step = 1 << 20;
  for (;;) {
    const std::size_t Old = Data.size();
    if (static_cast<std::int64_t>(Old) > MaxDibBytes)
      Fail("Picture data is too large");
    Data.resize(Old + Step);
    const Int64 Got = std::max<Int64>(0, Stream->Read(Data.data() + Old, static_cast<Int64>(Step)));
    Data.resize(Old + static_cast<std::size_t>(Got));
    if (static_cast<std::size_t>(Got) < Step)
      return Data;
  }
}
