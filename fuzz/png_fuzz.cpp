// Feeds arbitrary bytes to the PNG image reader, then draws, converts and re-saves whatever it
// accepted and reads the saved file again.
#include <zlib.h>

#include <cstddef>
#include <cstdint>
#include <string>

#include "platform/vcl/Bitmap.h"
#include "skin/foundation/PngCodec.h"
#include "skin/foundation/PngLayers.h"

namespace {

// Pictures above this many pixels are valid but only slow the search down (the size limit
// itself has its own tests).
constexpr std::uint64_t MaxFuzzPixels = std::uint64_t(1) << 20;

bool TooLarge(const std::uint8_t* Data, std::size_t Size)
{
  if (Size < 24) return false;
  const auto BE32 = [Data](std::size_t At) {
    return (std::uint32_t(Data[At]) << 24) | (std::uint32_t(Data[At + 1]) << 16) | (std::uint32_t(Data[At + 2]) << 8) |
           Data[At + 3];
  };
  return std::uint64_t(BE32(16)) * BE32(20) > MaxFuzzPixels;
}

// Rewrites every chunk's CRC, so that mutated chunks get past the CRC test and reach the
// decoders behind it.
void MendCrcs(std::string& File)
{
  std::size_t At = 8;
  while (At + 12 <= File.size()) {
    const auto* P = reinterpret_cast<const unsigned char*>(File.data() + At);
    const std::uint32_t Length = (std::uint32_t(P[0]) << 24) | (std::uint32_t(P[1]) << 16) | (std::uint32_t(P[2]) << 8) | P[3];
    if (Length > File.size() - At - 12) break;
    const uLong Crc = crc32(0, reinterpret_cast<const Bytef*>(File.data() + At + 4), Length + 4);
    for (int K = 0; K < 4; ++K) File[At + 8 + Length + K] = static_cast<char>(Crc >> (24 - 8 * K));
    At += 12 + Length;
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* Data, std::size_t Size)
{
  if (TooLarge(Data, Size)) return 0;
  String File(reinterpret_cast<const char*>(Data), Size);
  // Inputs of even length keep their CRCs as they are, the others get valid ones.
  if (Size & 1) MendCrcs(File);
  TStringStream Input(File);
  TskPngImage Image;
  Image.LoadFromStream(&Input);
  if (Image.Empty()) return 0;

  const int W = Image.GetWidth(), H = Image.GetHeight();
  for (int Y = -1; Y <= H && Y < 8; ++Y)
    for (int X = -1; X <= W && X < 8; ++X) Image.SetPixel(X, Y, Image.GetPixel(X, Y) ^ 0x010101);
  Image.AlphaRow(0);

  TBitmap Target(12, 9, pf32bit);
  Image.Draw(Target.GetCanvas(), Rect(0, 0, 12, 9));
  Image.Draw(Target.GetCanvas(), Rect(11, 8, 2, 1));
  try {
    TBitmap Converted;
    Converted.Assign(&Image);
  } catch (const Exception&) {
  }

  Image.AllowedFilters = static_cast<TskPngFilters>(Size & 0x1F);
  Image.Interlacing = static_cast<Byte>(Size & 1);
  TStringStream Saved;
  Image.SaveToStream(&Saved);
  TskPngImage Again;
  Saved.SetPosition(0);
  Again.LoadFromStream(&Saved);

  Image.EnsureAlpha();
  Image.SetWidth(W + 1);
  TskPngImage Copy;
  Copy.Assign(&Image);
  return 0;
}
