// The header chunk with its picture storage, and the image data decoder and encoder.
#include "skin/foundation/PngCodec.h"

#include <zlib.h>

#if defined(__x86_64__) || defined(__i386__)
#include <immintrin.h>
#endif

#include <algorithm>
#include <cstring>
#include <memory>
#include <new>

#include "skin/foundation/PngLayers.h"
#include "skin/foundation/PngRowFilters.h"

namespace {

std::uint32_t GetBE32(const Byte* P)
{
  return (std::uint32_t(P[0]) << 24) | (std::uint32_t(P[1]) << 16) | (std::uint32_t(P[2]) << 8) | P[3];
}

void PutBE32(Byte* P, std::uint32_t V)
{
  P[0] = static_cast<Byte>(V >> 24);
  P[1] = static_cast<Byte>(V >> 16);
  P[2] = static_cast<Byte>(V >> 8);
  P[3] = static_cast<Byte>(V);
}

// A grey palette of Count levels through the gamma table.
HPALETTE CreateGreyPalette(int Count, const std::array<Byte, 256>& Gamma)
{
  std::vector<Byte> Block(sizeof(LOGPALETTE) + sizeof(PALETTEENTRY) * 256, 0);
  auto* Log = reinterpret_cast<LOGPALETTE*>(Block.data());
  Log->palVersion = 0x300;
  Log->palNumEntries = static_cast<WORD>(Count);
  for (int I = 0; I < Count; ++I) {
    const int Level = Count > 1 ? (I * 255 + (Count - 1) / 2) / (Count - 1) : 0;
    const Byte G = Gamma[static_cast<std::size_t>(Level)];
    Log->palPalEntry[I] = PALETTEENTRY{G, G, G, 0};
  }
  return CreatePalette(Log);
}

// The pass geometry of Adam7.
constexpr Cardinal PassColStart[7] = {0, 4, 0, 2, 0, 1, 0};
constexpr Cardinal PassColStep[7] = {8, 8, 4, 4, 2, 2, 1};
constexpr Cardinal PassRowStart[7] = {0, 0, 4, 0, 2, 0, 1};
constexpr Cardinal PassRowStep[7] = {8, 8, 8, 4, 4, 2, 2};

Cardinal PassCount(Cardinal Size, Cardinal Start, Cardinal Step)
{
  return Size > Start ? (Size - Start + Step - 1) / Step : 0;
}

// Reads the compressed stream of consecutive image data chunks, checking each chunk's CRC.
class TImageDataReader {
public:
  // The input block is as long as the first chunk (a small picture has a small one), at least
  // 8 KiB and at most 65535 bytes; it is not cleared, as it only ever holds what was read.
  TImageDataReader(TStream* Stream, Cardinal Length)
      : FStream(Stream), FLeft(Length), FInputSize(std::clamp<Cardinal>(Length, 8192, 65535)),
        FInput(new Byte[FInputSize])
  {
    FCrc = UpdatePngCrc(0xFFFFFFFFu, "IDAT", 4);
    FReady = inflateInit(&FZ) == Z_OK;
  }
  ~TImageDataReader() { inflateEnd(&FZ); }
  TImageDataReader(const TImageDataReader&) = delete;
  TImageDataReader& operator=(const TImageDataReader&) = delete;

  bool Ready() const { return FReady; }
  // Inflates up to Count bytes into Out; answers how many came. Fewer than Count means the data
  // ended, was damaged or failed its CRC.
  std::size_t Fill(Byte* Out, std::size_t Count)
  {
    FZ.next_out = Out;
    FZ.avail_out = static_cast<uInt>(Count);
    while (FZ.avail_out > 0 && !FEnded) {
      if (FZ.avail_in == 0 && !Refill()) {
        FEnded = true;
        break;
      }
      const int Result = inflate(&FZ, Z_NO_FLUSH);
      if (Result == Z_STREAM_END) {
        // The compressed stream is complete; rows still missing never come.
        FEnded = FZ.avail_out > 0;
        if (FEnded) break;
      } else if (Result != Z_OK) {
        FEnded = true;
        break;
      }
    }
    return Count - FZ.avail_out;
  }

  // Reads the rest of the current chunk and its CRC; answers whether it matches.
  bool FinishChunk()
  {
    while (FLeft > 0) {
      const Int64 Want = std::min<Cardinal>(FLeft, FInputSize);
      const Int64 Got = FStream->Read(FInput.get(), Want);
      if (Got <= 0) return false;
      FCrc = UpdatePngCrc(FCrc, FInput.get(), static_cast<std::size_t>(Got));
      FLeft -= static_cast<Cardinal>(Got);
    }
    Byte Crc[4];
    return FStream->Read(Crc, 4) == 4 && GetBE32(Crc) == (FCrc ^ 0xFFFFFFFFu);
  }

private:
  bool Refill()
  {
    while (FLeft == 0) {
      // The chunk is used up: check it, then go on with the next image data chunk.
      Byte Crc[4];
      if (FStream->Read(Crc, 4) != 4 || GetBE32(Crc) != (FCrc ^ 0xFFFFFFFFu)) return false;
      Byte Head[8];
      if (FStream->Read(Head, 8) != 8 || std::memcmp(Head + 4, "IDAT", 4) != 0) return false;
      FLeft = GetBE32(Head);
      FCrc = UpdatePngCrc(0xFFFFFFFFu, "IDAT", 4);
    }
    const Int64 Want = std::min<Cardinal>(FLeft, FInputSize);
    const Int64 Got = FStream->Read(FInput.get(), Want);
    if (Got <= 0) return false;
    FCrc = UpdatePngCrc(FCrc, FInput.get(), static_cast<std::size_t>(Got));
    FLeft -= static_cast<Cardinal>(Got);
    FZ.next_in = FInput.get();
    FZ.avail_in = static_cast<uInt>(Got);
    return true;
  }

  TStream* FStream;
  Cardinal FLeft;
  std::uint32_t FCrc;
  Cardinal FInputSize;
  std::unique_ptr<Byte[]> FInput;
  z_stream FZ{};
  bool FReady = false;
  bool FEnded = false;
};

#if defined(__x86_64__) || defined(__i386__)
bool HasSsse3()
{
  static const bool Has = __builtin_cpu_supports("ssse3");
  return Has;
}

// Four 8-bit RGB (Channels 3) or RGBA (4) pixels at a time into BGR (and the alpha plane), for a
// whole row stored without gamma; answers how many pixels it did (the rest go the plain way).
template <int Channels>
__attribute__((target("ssse3"))) Cardinal SwapRowSsse3(const Byte* Src, Cardinal Count, Byte* Dst, Byte* Alpha)
{
  const __m128i Order = Channels == 4 ? _mm_setr_epi8(2, 1, 0, 6, 5, 4, 10, 9, 8, 14, 13, 12, 3, 7, 11, 15)
                                      : _mm_setr_epi8(2, 1, 0, 5, 4, 3, 8, 7, 6, 11, 10, 9, -1, -1, -1, -1);
  Cardinal K = 0;
  // A load takes 16 bytes: an RGB row stops while four more bytes are still in it.
  for (; K + 4 <= Count && (Channels == 4 || (K + 4) * 3 + 4 <= Count * 3); K += 4) {
    const __m128i V = _mm_shuffle_epi8(_mm_loadu_si128(reinterpret_cast<const __m128i*>(Src + Channels * K)), Order);
    _mm_storel_epi64(reinterpret_cast<__m128i*>(Dst + 3 * K), V);
    const std::uint32_t Rest = static_cast<std::uint32_t>(_mm_cvtsi128_si32(_mm_srli_si128(V, 8)));
    std::memcpy(Dst + 3 * K + 8, &Rest, 4);
    if constexpr (Channels == 4) {
      const std::uint32_t A = static_cast<std::uint32_t>(_mm_cvtsi128_si32(_mm_srli_si128(V, 12)));
      std::memcpy(Alpha + K, &A, 4);
    }
  }
  return K;
}
#endif

// 8-bit RGB (Channels 3) or RGBA (4) pixels without gamma into BGR at columns X0, X0 + Step, ...
// (and their alpha into Alpha).
template <int Channels>
void StorePlainRow(const Byte* Src, Cardinal Count, Cardinal X0, Cardinal Step, Byte* Dst, Byte* Alpha)
{
  Cardinal K = 0;
#if defined(__x86_64__) || defined(__i386__)
  if (Step == 1 && X0 == 0 && HasSsse3()) K = SwapRowSsse3<Channels>(Src, Count, Dst, Alpha);
#endif
  for (Cardinal X = X0 + K * Step; K < Count; ++K, X += Step) {
    const Byte* S = Src + Channels * static_cast<std::size_t>(K);
    Byte* D = Dst + 3 * static_cast<std::size_t>(X);
    const Byte R = S[0];
    D[0] = S[2];
    D[1] = S[1];
    D[2] = R;
    if constexpr (Channels == 4) Alpha[X] = S[3];
  }
}

// Moves Count pixels of an unfiltered PNG row into the picture row Dst (and Alpha), at columns
// X0, X0 + Step, ... Plain: the gamma table G maps every value to itself.
void StoreRow(const TskPngLayerIHDR& H, const std::array<Byte, 256>& G, bool Plain, const Byte* Src, Cardinal Count,
              Cardinal X0, Cardinal Step, Byte* Dst, Byte* Alpha)
{
  const int Depth = H.BitDepth;
  switch (H.ColorType) {
    case COLOR_GRAYSCALE:
    case COLOR_PALETTE: {
      if (Depth == 16) {
        for (Cardinal K = 0, X = X0; K < Count; ++K, X += Step) Dst[X] = Src[2 * K];
        return;
      }
      if (Depth == 8) {
        if (Step == 1)
          std::memcpy(Dst + X0, Src, Count);
        else
          for (Cardinal K = 0, X = X0; K < Count; ++K, X += Step) Dst[X] = Src[K];
        return;
      }
      if (Step == 1 && X0 == 0 && Depth != 2) {
        std::memcpy(Dst, Src, (static_cast<std::size_t>(Count) * Depth + 7) / 8);
        return;
      }
      const int DibBits = Depth == 2 ? 4 : Depth;
      const unsigned Mask = (1u << Depth) - 1;
      const bool Grey = H.ColorType == COLOR_GRAYSCALE;
      for (Cardinal K = 0, X = X0; K < Count; ++K, X += Step) {
        const std::size_t SrcBit = static_cast<std::size_t>(K) * Depth;
        unsigned V = (Src[SrcBit >> 3] >> (8 - Depth - (SrcBit & 7))) & Mask;
        if (Depth == 2 && Grey) V *= 5;
        const std::size_t DstBit = static_cast<std::size_t>(X) * DibBits;
        Dst[DstBit >> 3] = static_cast<Byte>(Dst[DstBit >> 3] | (V << (8 - DibBits - (DstBit & 7))));
      }
      return;
    }
    case COLOR_RGB:
      if (Depth == 8 && Plain) {
        StorePlainRow<3>(Src, Count, X0, Step, Dst, nullptr);
      } else if (Depth == 8) {
        for (Cardinal K = 0, X = X0; K < Count; ++K, X += Step) {
          const Byte* S = Src + 3 * static_cast<std::size_t>(K);
          Byte* D = Dst + 3 * static_cast<std::size_t>(X);
          D[0] = G[S[2]];
          D[1] = G[S[1]];
          D[2] = G[S[0]];
        }
      } else {
        for (Cardinal K = 0, X = X0; K < Count; ++K, X += Step) {
          const Byte* S = Src + 6 * static_cast<std::size_t>(K);
          Byte* D = Dst + 3 * static_cast<std::size_t>(X);
          D[0] = G[S[4]];
          D[1] = G[S[2]];
          D[2] = G[S[0]];
        }
      }
      return;
    case COLOR_GRAYSCALEALPHA: {
      const std::size_t Size = Depth == 8 ? 2 : 4;
      for (Cardinal K = 0, X = X0; K < Count; ++K, X += Step) {
        const Byte* S = Src + Size * K;
        Dst[X] = S[0];
        Alpha[X] = S[Size / 2];
      }
      return;
    }
    case COLOR_RGBALPHA:
      if (Depth == 8 && Plain) {
        StorePlainRow<4>(Src, Count, X0, Step, Dst, Alpha);
      } else if (Depth == 8) {
        for (Cardinal K = 0, X = X0; K < Count; ++K, X += Step) {
          const Byte* S = Src + 4 * static_cast<std::size_t>(K);
          Byte* D = Dst + 3 * static_cast<std::size_t>(X);
          D[0] = G[S[2]];
          D[1] = G[S[1]];
          D[2] = G[S[0]];
          Alpha[X] = S[3];
        }
      } else {
        for (Cardinal K = 0, X = X0; K < Count; ++K, X += Step) {
          const Byte* S = Src + 8 * static_cast<std::size_t>(K);
          Byte* D = Dst + 3 * static_cast<std::size_t>(X);
          D[0] = G[S[4]];
          D[1] = G[S[2]];
          D[2] = G[S[0]];
          Alpha[X] = S[6];
        }
      }
      return;
    default:
      return;
  }
}

// The inverse of StoreRow: Count pixels of picture row Src at columns X0, X0 + Step, ... as a
// PNG row of depth Depth (the stored depth: 16-bit samples get a zero low byte).
void FetchRow(const TskPngLayerIHDR& H, int Depth, const std::array<Byte, 256>& U, const Byte* Src, const Byte* Alpha,
              Cardinal Count, Cardinal X0, Cardinal Step, Byte* Dst)
{
  const auto AlphaAt = [Alpha](Cardinal X) -> Byte { return Alpha ? Alpha[X] : 255; };
  switch (H.ColorType) {
    case COLOR_GRAYSCALE:
    case COLOR_PALETTE: {
      if (Depth == 16) {
        for (Cardinal K = 0, X = X0; K < Count; ++K, X += Step) {
          Dst[2 * K] = Src[X];
          Dst[2 * K + 1] = 0;
        }
        return;
      }
      const std::size_t Bytes = (static_cast<std::size_t>(Count) * Depth + 7) / 8;
      if (Step == 1 && X0 == 0) {
        std::memcpy(Dst, Src, Bytes);
        return;
      }
      std::memset(Dst, 0, Bytes);
      const unsigned Mask = (1u << Depth) - 1;
      for (Cardinal K = 0, X = X0; K < Count; ++K, X += Step) {
        const std::size_t SrcBit = static_cast<std::size_t>(X) * Depth;
        const unsigned V = (Src[SrcBit >> 3] >> (8 - Depth - (SrcBit & 7))) & Mask;
        const std::size_t DstBit = static_cast<std::size_t>(K) * Depth;
        Dst[DstBit >> 3] = static_cast<Byte>(Dst[DstBit >> 3] | (V << (8 - Depth - (DstBit & 7))));
      }
      return;
    }
    case COLOR_RGB:
    case COLOR_RGBALPHA: {
      const bool HasAlpha = H.ColorType == COLOR_RGBALPHA;
      const std::size_t Channels = HasAlpha ? 4 : 3;
      if (Depth == 8) {
        for (Cardinal K = 0, X = X0; K < Count; ++K, X += Step) {
          const Byte* S = Src + 3 * static_cast<std::size_t>(X);
          Byte* D = Dst + Channels * K;
          D[0] = U[S[2]];
          D[1] = U[S[1]];
          D[2] = U[S[0]];
          if (HasAlpha) D[3] = AlphaAt(X);
        }
      } else {
        for (Cardinal K = 0, X = X0; K < Count; ++K, X += Step) {
          const Byte* S = Src + 3 * static_cast<std::size_t>(X);
          Byte* D = Dst + 2 * Channels * K;
          D[0] = U[S[2]];
          D[2] = U[S[1]];
          D[4] = U[S[0]];
          D[1] = D[3] = D[5] = 0;
          if (HasAlpha) {
            D[6] = AlphaAt(X);
            D[7] = 0;
          }
        }
      }
      return;
    }
    case COLOR_GRAYSCALEALPHA:
      for (Cardinal K = 0, X = X0; K < Count; ++K, X += Step) {
        if (Depth == 8) {
          Dst[2 * K] = Src[X];
          Dst[2 * K + 1] = AlphaAt(X);
        } else {
          Dst[4 * K] = Src[X];
          Dst[4 * K + 1] = 0;
          Dst[4 * K + 2] = AlphaAt(X);
          Dst[4 * K + 3] = 0;
        }
      }
      return;
    default:
      return;
  }
}

// Counts positions whose byte repeats one of the two bytes before it.
int RepeatScore(const Byte* Row, std::size_t RowBytes)
{
  int Score = 0;
  for (std::size_t J = 2; J < RowBytes; ++J)
    if (Row[J] == Row[J - 1] || Row[J] == Row[J - 2]) ++Score;
  return Score;
}

void WriteIDATChunk(TStream* Stream, const Byte* Data, std::size_t Size)
{
  Byte Head[8];
  PutBE32(Head, static_cast<std::uint32_t>(Size));
  std::memcpy(Head + 4, "IDAT", 4);
  Stream->WriteBuffer(Head, 8);
  if (Size) Stream->WriteBuffer(Data, static_cast<Int64>(Size));
  Byte Tail[4];
  PutBE32(Tail, PngChunkCrc("IDAT", Data, Size));
  Stream->WriteBuffer(Tail, 4);
}

}  // namespace

bool PngFormatSupported(Byte ColorType, Byte BitDepth) { return PngDibBitCount(ColorType, BitDepth) != 0; }

int PngDibBitCount(Byte ColorType, Byte BitDepth)
{
  switch (ColorType) {
    case COLOR_GRAYSCALE:
      return BitDepth == 1 ? 1 : BitDepth == 2 || BitDepth == 4 ? 4 : BitDepth == 8 || BitDepth == 16 ? 8 : 0;
    case COLOR_PALETTE:
      return BitDepth == 1 ? 1 : BitDepth == 2 || BitDepth == 4 ? 4 : BitDepth == 8 ? 8 : 0;
    case COLOR_GRAYSCALEALPHA:
      return BitDepth == 8 || BitDepth == 16 ? 8 : 0;
    case COLOR_RGB:
    case COLOR_RGBALPHA:
      return BitDepth == 8 || BitDepth == 16 ? 24 : 0;
    default:
      return 0;
  }
}

void PngRowLayout(Byte ColorType, Byte BitDepth, Cardinal Width, std::size_t& RowBytes, int& BytesPerPixel)
{
  const std::size_t W = Width;
  RowBytes = 0;
  BytesPerPixel = 1;
  switch (ColorType) {
    case COLOR_GRAYSCALE:
      RowBytes = (W * BitDepth + 7) / 8;
      BytesPerPixel = BitDepth == 16 ? 2 : 1;
      break;
    case COLOR_PALETTE:
      RowBytes = (W * BitDepth + 7) / 8;
      break;
    case COLOR_RGB:
      RowBytes = W * BitDepth * 3 / 8;
      BytesPerPixel = BitDepth * 3 / 8;
      break;
    case COLOR_GRAYSCALEALPHA:
      RowBytes = W * BitDepth * 2 / 8;
      BytesPerPixel = BitDepth / 4;
      break;
    case COLOR_RGBALPHA:
      RowBytes = W * BitDepth * 4 / 8;
      BytesPerPixel = BitDepth / 2;
      break;
    default:
      break;
  }
  if (BytesPerPixel < 1) BytesPerPixel = 1;
}

// --- TskPngLayerIHDR ---

TskPngLayerIHDR::TskPngLayerIHDR(TskPngImage* AOwner) : TskPngLayer(AOwner) {}

TskPngLayerIHDR::~TskPngLayerIHDR() { ReleaseImageStore(); }

bool TskPngLayerIHDR::LoadFromStream(TStream* Stream, const String& AName, Cardinal Size)
{
  if (!TskPngLayer::LoadFromStream(Stream, AName, Size)) return false;
  if (Size < 13) return false;
  Width = GetBE32(Data());
  Height = GetBE32(Data() + 4);
  BitDepth = Data()[8];
  ColorType = Data()[9];
  CompressionMethod = Data()[10];
  FilterMethod = Data()[11];
  InterlaceMethod = Data()[12];
  if (Width == 0 || Height == 0 || Width > 65535 || Height > 65535) return false;
  if (CompressionMethod != 0 || InterlaceMethod > 1) return false;
  if (!PngFormatSupported(ColorType, BitDepth)) return false;
  Owner()->Interlacing = InterlaceMethod;
  return BuildImageStore();
}

bool TskPngLayerIHDR::SaveToStream(TStream* Stream)
{
  if (BitDepth == 2) {
    // Stored at four bits: a grey key value moves to the level it has there.
    BitDepth = 4;
    if (ColorType == COLOR_GRAYSCALE)
      if (auto* Trns = Owner()->Chunks()->Find<TskPngLayertRNS>(); Trns && Trns->DataSize() >= 2) {
        const unsigned Key = (Trns->AlphaTable[1] & 3u) * 5u;
        Trns->AlphaTable[0] = 0;
        Trns->AlphaTable[1] = static_cast<Byte>(Key);
      }
  }
  ResizeData(13);
  PutBE32(Data(), Width);
  PutBE32(Data() + 4, Height);
  Data()[8] = BitDepth;
  Data()[9] = ColorType;
  Data()[10] = CompressionMethod;
  Data()[11] = FilterMethod;
  Data()[12] = Owner()->Interlacing;
  return WriteChunk(Stream);
}

void TskPngLayerIHDR::Assign(TskPngLayer* Source)
{
  auto* From = dynamic_cast<TskPngLayerIHDR*>(Source);
  if (!From || From == this) return;
  TskPngLayer::Assign(Source);
  Width = From->Width;
  Height = From->Height;
  BitDepth = From->BitDepth;
  ColorType = From->ColorType;
  CompressionMethod = From->CompressionMethod;
  FilterMethod = From->FilterMethod;
  InterlaceMethod = From->InterlaceMethod;
  if (!From->HasImageStore() || !BuildImageStore()) return;
  std::memcpy(PixelBits, From->PixelBits, static_cast<std::size_t>(RowStride) * Height);
  if (!AlphaPlane.empty() && From->AlphaPlane.size() == AlphaPlane.size()) AlphaPlane = From->AlphaPlane;
  std::memcpy(DibInfo.bmiColors, From->DibInfo.bmiColors, sizeof(DibInfo.bmiColors));
  DibInfo.bmiHeader.biClrUsed = From->DibInfo.bmiHeader.biClrUsed;
  if (Indexed) {
    SetDIBColorTable(MemoryDC, 0, 1u << DibInfo.bmiHeader.biBitCount, DibInfo.bmiColors);
    WORD Entries = 0;
    if (From->PaletteHandle && PaletteHandle && GetObject(From->PaletteHandle, sizeof(Entries), &Entries) && Entries) {
      std::vector<PALETTEENTRY> Colors(Entries);
      GetPaletteEntries(From->PaletteHandle, 0, Entries, Colors.data());
      ResizePalette(PaletteHandle, Entries);
      SetPaletteEntries(PaletteHandle, 0, Entries, Colors.data());
    }
  }
}

void TskPngLayerIHDR::ReleaseImageStore()
{
  if (TskPngImage* Image = Owner()) {
    TCanvas* Canvas = Image->GetCanvas();
    if (Canvas && MemoryDC && Canvas->HandleAllocated() && Canvas->GetHandle() == MemoryDC) Canvas->SetHandle(nullptr);
  }
  if (MemoryDC) {
    if (FOldBitmap) SelectObject(MemoryDC, FOldBitmap);
    DeleteDC(MemoryDC);
  }
  if (BitmapHandle) DeleteObject(BitmapHandle);
  if (PaletteHandle) DeleteObject(PaletteHandle);
  MemoryDC = nullptr;
  BitmapHandle = nullptr;
  PaletteHandle = nullptr;
  FOldBitmap = nullptr;
  PixelBits = nullptr;
  Indexed = false;
  std::vector<Byte>().swap(AlphaPlane);
}

bool TskPngLayerIHDR::BuildImageStore()
{
  ReleaseImageStore();
  const int Bits = PngDibBitCount(ColorType, BitDepth);
  if (Bits == 0 || Width == 0 || Height == 0 || Width > 65535 || Height > 65535) return false;
  RowStride = static_cast<int>((static_cast<std::int64_t>(Bits) * Width + 31) / 32 * 4);
  const bool HasAlpha = ColorType == COLOR_GRAYSCALEALPHA || ColorType == COLOR_RGBALPHA;
  const std::int64_t Bytes =
      std::int64_t(RowStride) * Height + (HasAlpha ? std::int64_t(Width) * Height : std::int64_t(0));
  if (Bytes > MaxPngImageBytes) return false;

  DibInfo = TskPngDibInfo{};
  DibInfo.bmiHeader.biSize = 40;
  DibInfo.bmiHeader.biWidth = static_cast<LONG>(Width);
  DibInfo.bmiHeader.biHeight = static_cast<LONG>(Height);
  DibInfo.bmiHeader.biPlanes = 1;
  DibInfo.bmiHeader.biBitCount = static_cast<WORD>(Bits);
  DibInfo.bmiHeader.biCompression = BI_RGB;
  Indexed = Bits <= 8;
  try {
    if (HasAlpha) AlphaPlane.assign(static_cast<std::size_t>(Width) * Height, 0);
  } catch (const std::bad_alloc&) {
    return false;
  }

  MemoryDC = CreateCompatibleDC(nullptr);
  if (!MemoryDC) {
    ReleaseImageStore();
    return false;
  }
  Owner()->GetCanvas()->SetHandle(MemoryDC);
  if (Indexed) {
    const int Entries = 1 << Bits;
    HPALETTE Palette = ColorType == COLOR_PALETTE
                           ? CreateHalftonePalette(MemoryDC)
                           : CreateGreyPalette(BitDepth == 16 ? 256 : 1 << BitDepth, Owner()->GammaMap);
    if (Palette) {
      ResizePalette(Palette, static_cast<UINT>(Entries));
      PALETTEENTRY Colors[256];
      const UINT Got = GetPaletteEntries(Palette, 0, static_cast<UINT>(Entries), Colors);
      for (UINT I = 0; I < Got && I < 256; ++I)
        DibInfo.bmiColors[I] = RGBQUAD{Colors[I].peBlue, Colors[I].peGreen, Colors[I].peRed, 0};
      SelectPalette(MemoryDC, Palette, FALSE);
      RealizePalette(MemoryDC);
      PaletteHandle = Palette;
    }
    DibInfo.bmiHeader.biClrUsed = static_cast<DWORD>(Entries);
  }
  void* DibBits = nullptr;
  BitmapHandle = CreateDIBSection(MemoryDC, DibInfo.Info(), DIB_RGB_COLORS, &DibBits, nullptr, 0);
  if (!BitmapHandle || !DibBits) {
    ReleaseImageStore();
    return false;
  }
  PixelBits = static_cast<Byte*>(DibBits);
  FOldBitmap = SelectObject(MemoryDC, BitmapHandle);
  // A new DIB section comes zeroed: rows never decoded stay black.
  return true;
}

// --- TskPngLayerIDAT ---

bool TskPngLayerIDAT::LoadFromStream(TStream* Stream, const String&, Cardinal Size)
{
  TskPngImage* Image = Owner();
  TskPngLayerIHDR* H = Header();
  if (!H || !H->HasImageStore()) return false;

  // Grey pictures get a fresh grey colour table through the gamma table now known.
  if (H->ColorType == COLOR_GRAYSCALE || H->ColorType == COLOR_GRAYSCALEALPHA)
    if (HPALETTE Grey = CreateGreyPalette(1 << H->DibInfo.bmiHeader.biBitCount, Image->GammaMap))
      Image->SetPalette(Grey);

  std::size_t RowBytes = 0;
  int Bpp = 1;
  PngRowLayout(H->ColorType, H->BitDepth, H->Width, RowBytes, Bpp);
  TImageDataReader Reader(Stream, Size);
  if (!Reader.Ready()) return false;
  std::vector<Byte> RowA(RowBytes + 1, 0), RowB(RowBytes + 1, 0);
  Byte* Cur = RowA.data();
  Byte* Prev = RowB.data();
  const auto& G = Image->GammaMap;
  // Without a gamma correction the table maps every value to itself and can be skipped.
  bool Plain = true;
  for (int V = 0; V < 256 && Plain; ++V) Plain = G[static_cast<std::size_t>(V)] == V;

  // Reads and unfilters one row of RowLength bytes; false when no data came.
  bool Complete = true;
  const auto NextRow = [&](std::size_t RowLength) {
    const std::size_t Got = Reader.Fill(Cur, RowLength + 1);
    if (Got < RowLength + 1) {
      Complete = false;
      if (Got == 0) return false;
      std::memset(Cur + Got, 0, RowLength + 1 - Got);
    }
    PngUnfilterRow(Cur[0], Cur + 1, Prev + 1, RowLength, Bpp);
    return true;
  };

  if (Image->Interlacing == 0) {
    for (Cardinal Y = 0; Y < H->Height && Complete; ++Y) {
      if (!NextRow(RowBytes)) break;
      StoreRow(*H, G, Plain, Cur + 1, H->Width, 0, 1, H->ImageRow(static_cast<int>(Y)), H->AlphaRow(static_cast<int>(Y)));
      std::swap(Cur, Prev);
    }
  } else {
    for (int Pass = 0; Pass < 7 && Complete; ++Pass) {
      const Cardinal Cols = PassCount(H->Width, PassColStart[Pass], PassColStep[Pass]);
      const Cardinal Rows = PassCount(H->Height, PassRowStart[Pass], PassRowStep[Pass]);
      if (Cols == 0 || Rows == 0) continue;
      std::size_t PassBytes = 0;
      int PassBpp = 1;
      PngRowLayout(H->ColorType, H->BitDepth, Cols, PassBytes, PassBpp);
      std::memset(Prev, 0, PassBytes + 1);
      for (Cardinal R = 0; R < Rows && Complete; ++R) {
        if (!NextRow(PassBytes)) break;
        const int Y = static_cast<int>(PassRowStart[Pass] + R * PassRowStep[Pass]);
        StoreRow(*H, G, Plain, Cur + 1, Cols, PassColStart[Pass], PassColStep[Pass], H->ImageRow(Y), H->AlphaRow(Y));
        std::swap(Cur, Prev);
      }
    }
  }
  return Complete && Reader.FinishChunk();
}

bool TskPngLayerIDAT::SaveToStream(TStream* Stream)
{
  TskPngImage* Image = Owner();
  TskPngLayerIHDR* H = Header();
  if (!H || !H->HasImageStore()) return false;
  // Two-bit pictures are stored at four bits.
  const int Depth = H->BitDepth == 2 ? 4 : H->BitDepth;
  std::size_t RowBytes = 0;
  int Bpp = 1;
  PngRowLayout(H->ColorType, static_cast<Byte>(Depth), H->Width, RowBytes, Bpp);

  const TskPngFilters Allowed = Image->AllowedFilters & 0x1F;
  // Raw row and the filtered rows, each with the filter type byte in front.
  std::vector<Byte> Rows[5];
  for (int F = 0; F < 5; ++F)
    if (F == 0 || (Allowed & (1u << F))) Rows[F].assign(RowBytes + 1, static_cast<Byte>(F));
  std::vector<Byte> Prior(RowBytes + 1, 0);

  z_stream Z{};
  if (deflateInit(&Z, std::clamp<int>(Image->DeflateLevel, 0, 9)) != Z_OK) return false;
  const std::size_t Limit = static_cast<std::size_t>(Image->GetIdatChunkLimit());
  std::vector<Byte> Pending;
  Byte Window[65536];
  const auto Drain = [&](int Flush) {
    int Result;
    do {
      Z.next_out = Window;
      Z.avail_out = sizeof(Window);
      Result = deflate(&Z, Flush);
      Pending.insert(Pending.end(), Window, Window + (sizeof(Window) - Z.avail_out));
      while (Pending.size() >= Limit) {
        WriteIDATChunk(Stream, Pending.data(), Limit);
        Pending.erase(Pending.begin(), Pending.begin() + static_cast<std::ptrdiff_t>(Limit));
      }
    } while (Result == Z_OK && (Z.avail_out == 0 || (Flush == Z_FINISH)));
    return Result;
  };

  const auto EncodeRow = [&](std::size_t Length, int Distance) {
    const Byte* Raw = Rows[0].data() + 1;
    const Byte* Up = Prior.data() + 1;
    for (int F = 1; F < 5; ++F)
      if (!Rows[F].empty()) PngFilterRow(F, Raw, Up, Length, Distance, Rows[F].data() + 1);
    int Chosen = 0;
    const int Enabled = __builtin_popcount(Allowed);
    if (Enabled == 1) {
      Chosen = __builtin_ctz(Allowed);
    } else if (Enabled > 1) {
      int Best = 0;
      for (int F = 0; F < 5; ++F) {
        if (!(Allowed & (1u << F))) continue;
        const int Score = RepeatScore(Rows[F].data() + 1, Length);
        if (Score > Best) {
          Best = Score;
          Chosen = F;
        }
      }
    }
    std::memcpy(Prior.data(), Rows[0].data(), Length + 1);
    Z.next_in = Rows[Chosen].data();
    Z.avail_in = static_cast<uInt>(Length + 1);
    return Drain(Z_NO_FLUSH);
  };

  bool Ok = true;
  const auto& U = Image->UngammaMap;
  if (Image->Interlacing == 0) {
    for (Cardinal Y = 0; Y < H->Height && Ok; ++Y) {
      FetchRow(*H, Depth, U, H->ImageRow(static_cast<int>(Y)), H->AlphaRow(static_cast<int>(Y)), H->Width, 0, 1,
               Rows[0].data() + 1);
      Ok = EncodeRow(RowBytes, Bpp) == Z_OK;
    }
  } else {
    for (int Pass = 0; Pass < 7 && Ok; ++Pass) {
      const Cardinal Cols = PassCount(H->Width, PassColStart[Pass], PassColStep[Pass]);
      const Cardinal PassRows = PassCount(H->Height, PassRowStart[Pass], PassRowStep[Pass]);
      if (Cols == 0 || PassRows == 0) continue;
      std::size_t PassBytes = 0;
      int PassBpp = 1;
      PngRowLayout(H->ColorType, static_cast<Byte>(Depth), Cols, PassBytes, PassBpp);
      std::fill(Prior.begin(), Prior.end(), Byte(0));
      for (Cardinal R = 0; R < PassRows && Ok; ++R) {
        const int Y = static_cast<int>(PassRowStart[Pass] + R * PassRowStep[Pass]);
        FetchRow(*H, Depth, U, H->ImageRow(Y), H->AlphaRow(Y), Cols, PassColStart[Pass], PassColStep[Pass],
                 Rows[0].data() + 1);
        Ok = EncodeRow(PassBytes, PassBpp) == Z_OK;
      }
    }
  }
  Z.next_in = nullptr;
  Z.avail_in = 0;
  if (Ok) Ok = Drain(Z_FINISH) == Z_STREAM_END;
  deflateEnd(&Z);
  if (Ok && !Pending.empty()) WriteIDATChunk(Stream, Pending.data(), Pending.size());
  return Ok;
}

bool TskPngLayerIHDR::ResizeImageStore(Cardinal AWidth, Cardinal AHeight)
{
  if (!HasImageStore() || AWidth == 0 || AHeight == 0 || AWidth > 65535 || AHeight > 65535) return false;
  const int Bits = DibInfo.bmiHeader.biBitCount;
  const int NewStride = static_cast<int>((static_cast<std::int64_t>(Bits) * AWidth + 31) / 32 * 4);
  const std::int64_t Bytes = std::int64_t(NewStride) * AHeight +
                             (AlphaPlane.empty() ? std::int64_t(0) : std::int64_t(AWidth) * AHeight);
  if (Bytes > MaxPngImageBytes) return false;

  TskPngDibInfo Info = DibInfo;
  Info.bmiHeader.biWidth = static_cast<LONG>(AWidth);
  Info.bmiHeader.biHeight = static_cast<LONG>(AHeight);
  HDC DC = CreateCompatibleDC(MemoryDC);
  if (!DC) return false;
  void* NewBits = nullptr;
  HBITMAP Bitmap = CreateDIBSection(DC, Info.Info(), DIB_RGB_COLORS, &NewBits, nullptr, 0);
  if (!Bitmap || !NewBits) {
    if (Bitmap) DeleteObject(Bitmap);
    DeleteDC(DC);
    return false;
  }
  std::vector<Byte> NewAlpha;
  if (!AlphaPlane.empty()) NewAlpha.assign(static_cast<std::size_t>(AWidth) * AHeight, 255);
  HGDIOBJ Old = SelectObject(DC, Bitmap);
  auto* Pixels = static_cast<Byte*>(NewBits);
  std::memset(Pixels, 0, static_cast<std::size_t>(NewStride) * AHeight);
  const Cardinal Rows = std::min(AHeight, Height);
  const std::size_t RowCopy = static_cast<std::size_t>(std::min(NewStride, RowStride));
  const std::size_t AlphaCopy = std::min(AWidth, Width);
  for (Cardinal R = 0; R < Rows; ++R) {
    std::memcpy(Pixels + static_cast<std::size_t>(NewStride) * (AHeight - 1 - R), ImageRow(static_cast<int>(R)), RowCopy);
    if (!NewAlpha.empty())
      std::memcpy(NewAlpha.data() + static_cast<std::size_t>(R) * AWidth, AlphaRow(static_cast<int>(R)), AlphaCopy);
  }
  if (PaletteHandle) {
    SelectPalette(MemoryDC, static_cast<HPALETTE>(GetStockObject(DEFAULT_PALETTE)), FALSE);
    SelectPalette(DC, PaletteHandle, FALSE);
    RealizePalette(DC);
  }
  TCanvas* Canvas = Owner()->GetCanvas();
  if (Canvas->HandleAllocated() && Canvas->GetHandle() == MemoryDC) Canvas->SetHandle(DC);
  if (FOldBitmap) SelectObject(MemoryDC, FOldBitmap);
  DeleteDC(MemoryDC);
  DeleteObject(BitmapHandle);
  MemoryDC = DC;
  BitmapHandle = Bitmap;
  FOldBitmap = Old;
  PixelBits = Pixels;
  DibInfo = Info;
  Width = AWidth;
  Height = AHeight;
  RowStride = NewStride;
  AlphaPlane.swap(NewAlpha);
  return true;
}
