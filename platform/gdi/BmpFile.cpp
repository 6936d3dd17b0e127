#include "platform/gdi/BmpFile.h"

#include <algorithm>
#include <bit>
#include <cstring>

#include "platform/rtl/Files.h"

namespace {

// biCompression values.
constexpr std::uint32_t CompRgb = 0;
constexpr std::uint32_t CompRle8 = 1;
constexpr std::uint32_t CompRle4 = 2;
constexpr std::uint32_t CompBitFields = 3;
constexpr std::uint32_t CompAlphaBitFields = 6;

constexpr std::size_t FileHeaderSize = 14;
constexpr std::uint32_t CoreHeaderSize = 12;
constexpr std::uint32_t InfoHeaderSize = 40;
constexpr std::uint32_t Os2HeaderSize = 64;
// No header in use is longer than the V5 header (124 bytes); allow for growth, not for junk.
constexpr std::uint32_t MaxHeaderSize = 1024;

[[noreturn]] void Invalid() { throw EInvalidGraphic(SInvalidBitmap); }

std::uint16_t Get16(const std::uint8_t* P) { return static_cast<std::uint16_t>(P[0] | (P[1] << 8)); }
std::uint32_t Get32(const std::uint8_t* P)
{
  return static_cast<std::uint32_t>(P[0]) | (static_cast<std::uint32_t>(P[1]) << 8) |
         (static_cast<std::uint32_t>(P[2]) << 16) | (static_cast<std::uint32_t>(P[3]) << 24);
}
void Put16(std::uint8_t* P, std::uint32_t V)
{
  P[0] = static_cast<std::uint8_t>(V);
  P[1] = static_cast<std::uint8_t>(V >> 8);
}
void Put32(std::uint8_t* P, std::uint32_t V)
{
  Put16(P, V);
  Put16(P + 2, V >> 16);
}

// Where everything lies in the file, from the headers alone.
struct TLayout {
  std::uint32_t HeaderSize = 0;
  int Width = 0;
  int Height = 0;  // positive
  bool TopDown = false;
  int BitCount = 0;
  std::uint32_t Compression = CompRgb;
  std::uint32_t Masks[4] = {0, 0, 0, 0};  // red, green, blue, alpha
  std::size_t PaletteOffset = 0;
  int PaletteEntries = 0;
  int PaletteEntrySize = 4;
  std::size_t PaletteEnd = 0;
  std::size_t BitsOffset = 0;
  // Bytes of pixel data; for RLE data 0 means "to the end of the file".
  std::size_t BitsSize = 0;
};

// The number of bytes ParseLayout needs to see: the file header and the info header size.
constexpr std::size_t PrefixSize = FileHeaderSize + 4;

// Reads the headers; Size counts the bytes available, which must reach at least the end of
// the headers (and the masks that follow a plain info header).
TLayout ParseLayout(const std::uint8_t* Data, std::size_t Size)
{
  if (Size < PrefixSize || Data[0] != 'B' || Data[1] != 'M')
    Invalid();
  TLayout L;
  const std::uint32_t OffBits = Get32(Data + 10);
  L.HeaderSize = Get32(Data + FileHeaderSize);
  const std::uint8_t* H = Data + FileHeaderSize;
  if (L.HeaderSize != CoreHeaderSize && (L.HeaderSize < InfoHeaderSize || L.HeaderSize > MaxHeaderSize))
    Invalid();
  if (Size < FileHeaderSize + L.HeaderSize)
    Invalid();
  std::int64_t Width, Height;
  std::uint32_t ColorsUsed = 0;
  if (L.HeaderSize == CoreHeaderSize) {
    Width = Get16(H + 4);
    Height = Get16(H + 6);
    L.BitCount = Get16(H + 10);
    L.PaletteEntrySize = 3;
  } else {
    Width = static_cast<std::int32_t>(Get32(H + 4));
    Height = static_cast<std::int32_t>(Get32(H + 8));
    L.BitCount = Get16(H + 14);
    L.Compression = Get32(H + 16);
    ColorsUsed = Get32(H + 32);
    L.BitsSize = Get32(H + 20);  // biSizeImage; only trusted for RLE data, below
  }
  if (Height < 0) {
    L.TopDown = true;
    Height = -Height;
  }
  if (Width <= 0 || Height <= 0 || Width > MaxDibDimension || Height > MaxDibDimension)
    Invalid();
  L.Width = static_cast<int>(Width);
  L.Height = static_cast<int>(Height);

  if (!TDibImage::IsValidBitCount(L.BitCount))
    Invalid();
  // The OS/2 header shares the first 40 bytes, but its compression 3 and 4 mean other codings.
  if (L.HeaderSize == Os2HeaderSize && L.Compression > CompRle4)
    Invalid();
  std::size_t MasksEnd = FileHeaderSize + L.HeaderSize;
  switch (L.Compression) {
  case CompRgb:
    break;
  case CompRle8:
  case CompRle4:
    if (L.BitCount != (L.Compression == CompRle8 ? 8 : 4) || L.TopDown)
      Invalid();
    break;
  case CompBitFields:
  case CompAlphaBitFields: {
    if (L.BitCount != 16 && L.BitCount != 32)
      Invalid();
    const int Count = L.Compression == CompBitFields ? 3 : 4;
    const std::uint8_t* M = H + InfoHeaderSize;
    if (L.HeaderSize == InfoHeaderSize) {
      // The masks follow the header.
      MasksEnd += static_cast<std::size_t>(4 * Count);
      if (Size < MasksEnd)
        Invalid();
    }
    for (int I = 0; I < Count && InfoHeaderSize + 4 * I + 4 <= MasksEnd - FileHeaderSize; ++I)
      L.Masks[I] = Get32(M + 4 * I);
    // The longer headers carry an alpha mask as well.
    if (L.HeaderSize >= 56 && Count == 3)
      L.Masks[3] = Get32(M + 12);
    break;
  }
  default:
    Invalid();  // JPEG and PNG inside a bitmap, or unknown codings
  }

  L.PaletteOffset = MasksEnd;
  if (L.BitCount <= 8) {
    const std::uint32_t Full = 1u << L.BitCount;
    L.PaletteEntries = static_cast<int>(ColorsUsed == 0 || ColorsUsed > Full ? Full : ColorsUsed);
    // The old header has no colour count; a file may still hold fewer entries before its bits.
    if (L.HeaderSize == CoreHeaderSize && OffBits > MasksEnd &&
        OffBits < MasksEnd + static_cast<std::size_t>(L.PaletteEntries) * 3)
      L.PaletteEntries = static_cast<int>((OffBits - MasksEnd) / 3);
  }
  L.PaletteEnd = L.PaletteOffset + static_cast<std::size_t>(L.PaletteEntries) * L.PaletteEntrySize;
  // Pixel data starts at bfOffBits; 0 is taken to mean "right after the palette".
  L.BitsOffset = OffBits == 0 ? L.PaletteEnd : OffBits;
  if (L.BitsOffset < FileHeaderSize + L.HeaderSize)
    Invalid();

  const std::int64_t Stride = TDibImage::StrideFor(L.Width, L.BitCount);
  if (Stride * L.Height > MaxDibBytes)
    Invalid();
  if (L.Compression != CompRle8 && L.Compression != CompRle4)
    L.BitsSize = static_cast<std::size_t>(Stride * L.Height);
  return L;
}

// Extracts one channel under a bit mask and scales it to 8 bits.
struct TChannel {
  std::uint32_t Mask = 0;
  int Shift = 0;
  int Bits = 0;

  explicit TChannel(std::uint32_t AMask) : Mask(AMask)
  {
    if (Mask == 0)
      return;
    Shift = std::countr_zero(Mask);
    Bits = std::bit_width(Mask >> Shift);
  }
  std::uint8_t Get(std::uint32_t Pixel) const
  {
    if (Bits == 0)
      return 0;
    const std::uint32_t V = (Pixel & Mask) >> Shift;
    if (Bits >= 8)
      return static_cast<std::uint8_t>(V >> (Bits - 8));
    // Fewer bits are widened by repeating them, so that all ones give 255.
    std::uint32_t R = V << (8 - Bits);
    for (int S = Bits; S < 8; S *= 2)
      R |= R >> S;
    return static_cast<std::uint8_t>(R);
  }
};

void ReadUncompressed(const TLayout& L, const std::uint8_t* Bits, TDibImage& Image)
{
  const std::uint32_t* M = L.Masks;
  const bool BitFields = L.Compression == CompBitFields || L.Compression == CompAlphaBitFields;
  const bool Plain = !BitFields || (L.BitCount == 16 && M[0] == 0x7C00 && M[1] == 0x03E0 && M[2] == 0x001F) ||
                     (L.BitCount == 32 && M[0] == 0x00FF0000 && M[1] == 0x0000FF00 && M[2] == 0x000000FF &&
                      (M[3] == 0 || M[3] == 0xFF000000));
  if (Plain) {
    Image.SetSize(L.Width, L.Height, L.BitCount, L.TopDown);
    std::memcpy(Image.Bits.data(), Bits, Image.Bits.size());
    return;
  }
  // Other bit fields: unpack into 24 bits (16-bit pixels without alpha) or 32 bits.
  const TChannel Red(M[0]), Green(M[1]), Blue(M[2]), Alpha(M[3]);
  const int OutBits = L.BitCount == 16 && M[3] == 0 ? 24 : 32;
  Image.SetSize(L.Width, L.Height, OutBits, L.TopDown);
  const std::size_t InStride = static_cast<std::size_t>(TDibImage::StrideFor(L.Width, L.BitCount));
  const std::size_t OutStride = static_cast<std::size_t>(Image.Stride());
  const int OutBytes = OutBits / 8;
  for (int Row = 0; Row < L.Height; ++Row) {
    const std::uint8_t* In = Bits + Row * InStride;
    std::uint8_t* Out = Image.Bits.data() + Row * OutStride;
    for (int X = 0; X < L.Width; ++X) {
      const std::uint32_t P = L.BitCount == 16 ? Get16(In + 2 * X) : Get32(In + 4 * X);
      std::uint8_t* O = Out + OutBytes * X;
      O[0] = Blue.Get(P);
      O[1] = Green.Get(P);
      O[2] = Red.Get(P);
      if (OutBytes == 4)
        O[3] = Alpha.Get(P);
    }
  }
}

// Run-length decoding, bottom-up. Pixels past the right edge are dropped; the escapes are
// 0 end of line, 1 end of bitmap, 2 delta (dx, dy), n >= 3 n literal pixels padded to a word.
void ReadRle(const TLayout& L, const std::uint8_t* Data, std::size_t Size, TDibImage& Image)
{
  Image.SetSize(L.Width, L.Height, L.BitCount, false);
  const bool Four = L.BitCount == 4;
  std::int64_t X = 0, Row = 0;  // Row counts from the bottom
  auto Put = [&](int Index) {
    if (X < L.Width && Row < L.Height)
      Image.SetPixelIndex(static_cast<int>(X), static_cast<int>(L.Height - 1 - Row), Index);
    ++X;
  };
  std::size_t P = 0;
  for (;;) {
    if (Row >= L.Height)
      return;  // everything is filled; any end marker after that is not needed
    if (P + 2 > Size)
      Invalid();  // the data ends before the picture does
    const unsigned Count = Data[P], Value = Data[P + 1];
    P += 2;
    if (Count > 0) {
      if (X >= L.Width)
        continue;
      for (unsigned I = 0; I < Count; ++I)
        Put(Four ? ((I & 1) ? (Value & 0x0F) : (Value >> 4)) : Value);
      continue;
    }
    switch (Value) {
    case 0:
      X = 0;
      ++Row;
      break;
    case 1:
      return;
    case 2:
      if (P + 2 > Size)
        Invalid();
      X += Data[P];
      Row += Data[P + 1];
      P += 2;
      break;
    default: {
      const std::size_t Bytes = Four ? (Value + 1) / 2 : Value;
      if (P + Bytes > Size)
        Invalid();
      for (unsigned I = 0; I < Value; ++I)
        Put(Four ? ((I & 1) ? (Data[P + I / 2] & 0x0F) : (Data[P + I / 2] >> 4)) : Data[P + I]);
      P += Bytes + (Bytes & 1);
      break;
    }
    }
  }
}

TDibImage Decode(const std::uint8_t* Data, std::size_t Size)
{
  const TLayout L = ParseLayout(Data, Size);
  if (L.PaletteEnd > Size || L.BitsOffset > Size)
    Invalid();
  TDibImage Image;
  if (L.Compression == CompRle8 || L.Compression == CompRle4) {
    std::size_t Available = Size - L.BitsOffset;
    if (L.BitsSize != 0)
      Available = std::min(Available, L.BitsSize);
    ReadRle(L, Data + L.BitsOffset, Available, Image);
  } else {
    if (Size - L.BitsOffset < L.BitsSize)
      Invalid();
    ReadUncompressed(L, Data + L.BitsOffset, Image);
  }
  if (L.BitCount <= 8) {
    Image.Palette.assign(static_cast<std::size_t>(1) << L.BitCount, TDibColor{});
    for (int I = 0; I < L.PaletteEntries; ++I) {
      const std::uint8_t* E = Data + L.PaletteOffset + static_cast<std::size_t>(I) * L.PaletteEntrySize;
      Image.Palette[static_cast<std::size_t>(I)] = TDibColor{E[0], E[1], E[2], 0};
    }
  }
  return Image;
}

// Reads up to Count more bytes into Buffer, in steps, so that a header that promises more than
// the stream holds costs no more memory than the stream has. Answers false at the end.
bool ReadMore(TStream* Stream, std::vector<std::uint8_t>& Buffer, std::size_t Count)
{
  constexpr std::size_t Step = 1 << 20;
  while (Count > 0) {
    const std::size_t Chunk = std::min(Count, Step);
    const std::size_t Old = Buffer.size();
    Buffer.resize(Old + Chunk);
    const auto Got = static_cast<std::size_t>(std::max<Int64>(0, Stream->Read(Buffer.data() + Old, static_cast<Int64>(Chunk))));
    Buffer.resize(Old + Got);
    if (Got < Chunk)
      return false;
    Count -= Got;
  }
  return true;
}

}  // namespace

TDibImage LoadBmpFromBytes(const std::uint8_t* Data, std::size_t Size)
{
  if (Data == nullptr)
    Invalid();
  return Decode(Data, Size);
}

TDibImage LoadBmpFromBytes(const std::vector<std::uint8_t>& Data)
{
  return Decode(Data.data(), Data.size());
}

TDibImage LoadBmpFromStream(TStream* Stream)
{
  std::vector<std::uint8_t> Buffer;
  if (!ReadMore(Stream, Buffer, PrefixSize))
    Invalid();
  if (Buffer[0] != 'B' || Buffer[1] != 'M')
    Invalid();
  const std::uint32_t HeaderSize = Get32(Buffer.data() + FileHeaderSize);
  if (HeaderSize > MaxHeaderSize || HeaderSize < 4)
    Invalid();
  // The header, plus room for masks after a plain info header.
  if (!ReadMore(Stream, Buffer, HeaderSize - 4 + 16) && Buffer.size() < FileHeaderSize + HeaderSize)
    Invalid();
  TLayout L = ParseLayout(Buffer.data(), Buffer.size());
  std::size_t Needed = std::max(L.PaletteEnd, L.BitsOffset);
  const bool ToEnd = (L.Compression == CompRle8 || L.Compression == CompRle4) && L.BitsSize == 0;
  if (!ToEnd)
    Needed = std::max(Needed, L.BitsOffset + L.BitsSize);
  if (Needed > Buffer.size()) {
    const bool Complete = ReadMore(Stream, Buffer, Needed - Buffer.size());
    // Short RLE data is judged by the decoder: the picture may be complete before its end.
    if (!Complete && L.Compression != CompRle8 && L.Compression != CompRle4)
      Invalid();
  } else if (Needed < Buffer.size()) {
    // Give back what was read past the picture.
    Stream->Seek(-static_cast<Int64>(Buffer.size() - Needed), soCurrent);
    Buffer.resize(Needed);
  }
  if (ToEnd)
    ReadMore(Stream, Buffer, static_cast<std::size_t>(MaxDibBytes));
  return Decode(Buffer.data(), Buffer.size());
}

TDibImage LoadBmpFromFile(const String& FileName)
{
  TFileStream Stream(FileName, fmOpenRead | fmShareDenyWrite);
  return LoadBmpFromStream(&Stream);
}

std::vector<std::uint8_t> SaveBmpToBytes(const TDibImage& Image)
{
  // A file of no pixels could not be read back (readers refuse zero sizes), so none is written.
  if (!Image.IsConsistent() || Image.IsEmpty())
    throw EInvalidGraphic(SInvalidBitmap);
  std::vector<TDibColor> Palette;
  if (Image.BitCount <= 8) {
    const std::size_t Full = static_cast<std::size_t>(1) << Image.BitCount;
    if (Image.Palette.empty()) {
      TDibImage Default;
      Default.SetSize(0, 0, Image.BitCount);
      Palette = Default.Palette;
    } else {
      Palette.assign(Image.Palette.begin(), Image.Palette.begin() + static_cast<std::ptrdiff_t>(std::min(Full, Image.Palette.size())));
    }
  }
  const std::size_t Stride = static_cast<std::size_t>(Image.Stride());
  const std::size_t BitsSize = Stride * static_cast<std::size_t>(Image.Height);
  const std::size_t OffBits = FileHeaderSize + InfoHeaderSize + 4 * Palette.size();
  const std::size_t Total = OffBits + BitsSize;
  std::vector<std::uint8_t> Out(Total, 0);
  std::uint8_t* P = Out.data();
  P[0] = 'B';
  P[1] = 'M';
  Put32(P + 2, static_cast<std::uint32_t>(Total));
  Put32(P + 10, static_cast<std::uint32_t>(OffBits));
  std::uint8_t* H = P + FileHeaderSize;
  Put32(H, InfoHeaderSize);
  Put32(H + 4, static_cast<std::uint32_t>(Image.Width));
  Put32(H + 8, static_cast<std::uint32_t>(Image.Height));
  Put16(H + 12, 1);
  Put16(H + 14, static_cast<std::uint32_t>(Image.BitCount));
  Put32(H + 16, CompRgb);
  Put32(H + 20, static_cast<std::uint32_t>(BitsSize));
  const bool FullPalette = Palette.size() == (static_cast<std::size_t>(1) << Image.BitCount);
  Put32(H + 32, Image.BitCount <= 8 && !FullPalette ? static_cast<std::uint32_t>(Palette.size()) : 0);
  std::uint8_t* E = H + InfoHeaderSize;
  for (const TDibColor& C : Palette) {
    E[0] = C.Blue;
    E[1] = C.Green;
    E[2] = C.Red;
    E[3] = 0;
    E += 4;
  }
  // Bottom row first.
  for (int Y = 0; Y < Image.Height; ++Y)
    std::memcpy(P + OffBits + static_cast<std::size_t>(Image.Height - 1 - Y) * Stride, Image.ScanLine(Y), Stride);
  return Out;
}

void SaveBmpToStream(const TDibImage& Image, TStream* Stream)
{
  const std::vector<std::uint8_t> Bytes = SaveBmpToBytes(Image);
  Stream->WriteBuffer(Bytes.data(), static_cast<Int64>(Bytes.size()));
}

void SaveBmpToFile(const TDibImage& Image, const String& FileName)
{
  const std::vector<std::uint8_t> Bytes = SaveBmpToBytes(Image);
  AtomicSaveToFile(FileName, Bytes.data(), Bytes.size());
}
