// Test helpers for PNG images: a small independent PNG writer (zlib, any colour type, depth,
// interlacing, filters, chunk splitting and extra chunks), chunk listing, and libpng as the
// reference decoder.
#pragma once

#include <png.h>
#include <zlib.h>

#include <cstdint>
#include <cstring>
#include <stdexcept>
#include <string>
#include <vector>

#include "platform/rtl/Streams.h"
#include "skin/foundation/PngImage.h"

namespace pngtest {

using Bytes = std::string;

inline void PutBE32(Bytes& Out, std::uint32_t V)
{
  for (int S = 24; S >= 0; S -= 8) Out.push_back(static_cast<char>((V >> S) & 0xFF));
}

inline std::uint32_t GetBE32(const Bytes& In, std::size_t At)
{
  const auto* P = reinterpret_cast<const unsigned char*>(In.data() + At);
  return (std::uint32_t(P[0]) << 24) | (std::uint32_t(P[1]) << 16) | (std::uint32_t(P[2]) << 8) | P[3];
}

inline Bytes Chunk(const std::string& Name, const Bytes& Data)
{
  Bytes Out;
  PutBE32(Out, static_cast<std::uint32_t>(Data.size()));
  Out += Name;
  Out += Data;
  uLong Crc = crc32(0, reinterpret_cast<const Bytef*>(Name.data()), 4);
  Crc = crc32(Crc, reinterpret_cast<const Bytef*>(Data.data()), static_cast<uInt>(Data.size()));
  PutBE32(Out, static_cast<std::uint32_t>(Crc));
  return Out;
}

inline const Bytes Signature("\x89PNG\r\n\x1a\n", 8);

struct TChunkInfo {
  std::string Name;
  Bytes Data;
};

// The chunks of a PNG file (stops at the first damaged one).
inline std::vector<TChunkInfo> ListChunks(const Bytes& File)
{
  std::vector<TChunkInfo> Result;
  std::size_t At = 8;
  while (At + 12 <= File.size()) {
    const std::uint32_t Length = GetBE32(File, At);
    if (At + 12 + Length > File.size()) break;
    Result.push_back({File.substr(At + 4, 4), File.substr(At + 8, Length)});
    At += 12 + Length;
  }
  return Result;
}

inline int Channels(int ColorType)
{
  switch (ColorType) {
    case 2: return 3;
    case 4: return 2;
    case 6: return 4;
    default: return 1;
  }
}

// A picture in PNG sample terms: Samples[y][x * channels + c] (palette indexes or grey levels
// at the file's depth, 16-bit samples as numbers up to 65535).
struct TPicture {
  int Width = 0;
  int Height = 0;
  int ColorType = 2;
  int Depth = 8;
  std::vector<std::vector<unsigned>> Samples;
};

// A deterministic pseudo-random source.
struct TRandom {
  std::uint32_t State;
  explicit TRandom(std::uint32_t Seed) : State(Seed * 2654435761u + 12345u) {}
  std::uint32_t Next()
  {
    State ^= State << 13;
    State ^= State >> 17;
    State ^= State << 5;
    return State;
  }
};

inline TPicture RandomPicture(int Width, int Height, int ColorType, int Depth, std::uint32_t Seed, unsigned MaxIndex = 0)
{
  TPicture P{Width, Height, ColorType, Depth, {}};
  TRandom R(Seed);
  const unsigned Top = ColorType == 3 && MaxIndex ? MaxIndex : (Depth == 16 ? 65535u : (1u << Depth) - 1);
  P.Samples.assign(static_cast<std::size_t>(Height), {});
  for (auto& Row : P.Samples) {
    Row.resize(static_cast<std::size_t>(Width * Channels(ColorType)));
    for (auto& S : Row) {
      // Runs and gradients as well as noise, so that every filter has work to do.
      const std::uint32_t V = R.Next();
      S = (V % 4 == 0 && &S != Row.data()) ? *(&S - 1) : V % (Top + 1);
    }
  }
  return P;
}

// Packs row Y of a picture (columns X0, X0 + Step, ...) into PNG row bytes.
inline Bytes PackRow(const TPicture& P, int Y, int X0, int Step)
{
  const int C = Channels(P.ColorType);
  Bytes Out;
  unsigned Acc = 0;
  int Bits = 0;
  for (int X = X0; X < P.Width; X += Step)
    for (int K = 0; K < C; ++K) {
      const unsigned S = P.Samples[static_cast<std::size_t>(Y)][static_cast<std::size_t>(X * C + K)];
      if (P.Depth == 16) {
        Out.push_back(static_cast<char>(S >> 8));
        Out.push_back(static_cast<char>(S & 0xFF));
      } else if (P.Depth == 8) {
        Out.push_back(static_cast<char>(S));
      } else {
        Acc = (Acc << P.Depth) | S;
        Bits += P.Depth;
        if (Bits == 8) {
          Out.push_back(static_cast<char>(Acc));
          Acc = 0;
          Bits = 0;
        }
      }
    }
  if (Bits) Out.push_back(static_cast<char>(Acc << (8 - Bits)));
  return Out;
}

inline int Paeth(int A, int B, int C)
{
  const int P = A + B - C, PA = std::abs(P - A), PB = std::abs(P - B), PC = std::abs(P - C);
  return PA <= PB && PA <= PC ? A : PB <= PC ? B : C;
}

inline Bytes FilterRow(const Bytes& Row, const Bytes& Prior, int Type, int Bpp)
{
  Bytes Out(1, static_cast<char>(Type));
  for (std::size_t I = 0; I < Row.size(); ++I) {
    const int X = static_cast<unsigned char>(Row[I]);
    const int A = I >= std::size_t(Bpp) ? static_cast<unsigned char>(Row[I - Bpp]) : 0;
    const int B = Prior.empty() ? 0 : static_cast<unsigned char>(Prior[I]);
    const int C = I >= std::size_t(Bpp) && !Prior.empty() ? static_cast<unsigned char>(Prior[I - Bpp]) : 0;
    int Pred = 0;
    switch (Type) {
      case 1: Pred = A; break;
      case 2: Pred = B; break;
      case 3: Pred = (A + B) / 2; break;
      case 4: Pred = Paeth(A, B, C); break;
      default: break;
    }
    Out.push_back(static_cast<char>((X - Pred) & 0xFF));
  }
  return Out;
}

struct TWriteOptions {
  bool Interlaced = false;
  std::vector<Bytes> AfterHeader;  // extra chunks (whole) right after the header
  std::size_t IdatSize = 0;        // 0: one chunk; else chunks of this many bytes
  std::vector<Bytes> BeforeData;   // extra chunks (whole) between the header/palette and the data
  std::vector<Bytes> AfterData;    // extra chunks between the data and the end
  Bytes Palette;                   // PLTE data
  Bytes Transparency;              // tRNS data
};

// The filtered scanlines of a picture (all passes when interlaced), the filter cycling by row.
inline Bytes Scanlines(const TPicture& P, bool Interlaced)
{
  const int Bpp = std::max(1, Channels(P.ColorType) * P.Depth / 8);
  Bytes Raw;
  int RowNo = 0;
  const auto Emit = [&](int X0, int XStep, int Y0, int YStep) {
    if (X0 >= P.Width) return;
    Bytes Prior;
    for (int Y = Y0; Y < P.Height; Y += YStep) {
      const Bytes Row = PackRow(P, Y, X0, XStep);
      Raw += FilterRow(Row, Prior, RowNo++ % 5, Bpp);
      Prior = Row;
    }
  };
  if (!Interlaced) {
    Emit(0, 1, 0, 1);
  } else {
    const int CS[7] = {0, 4, 0, 2, 0, 1, 0}, CI[7] = {8, 8, 4, 4, 2, 2, 1};
    const int RS[7] = {0, 0, 4, 0, 2, 0, 1}, RI[7] = {8, 8, 8, 4, 4, 2, 2};
    for (int Pass = 0; Pass < 7; ++Pass) Emit(CS[Pass], CI[Pass], RS[Pass], RI[Pass]);
  }
  return Raw;
}

inline Bytes Compress(const Bytes& Raw, int Level = 6)
{
  uLongf Size = compressBound(static_cast<uLong>(Raw.size()));
  Bytes Out(Size, '\0');
  compress2(reinterpret_cast<Bytef*>(Out.data()), &Size, reinterpret_cast<const Bytef*>(Raw.data()),
            static_cast<uLong>(Raw.size()), Level);
  Out.resize(Size);
  return Out;
}

inline Bytes HeaderData(int Width, int Height, int Depth, int ColorType, int Interlace, int Compression = 0)
{
  Bytes H;
  PutBE32(H, static_cast<std::uint32_t>(Width));
  PutBE32(H, static_cast<std::uint32_t>(Height));
  H.push_back(static_cast<char>(Depth));
  H.push_back(static_cast<char>(ColorType));
  H.push_back(static_cast<char>(Compression));
  H.push_back(0);
  H.push_back(static_cast<char>(Interlace));
  return H;
}

inline Bytes WritePng(const TPicture& P, const TWriteOptions& O = {})
{
  Bytes File = Signature;
  File += Chunk("IHDR", HeaderData(P.Width, P.Height, P.Depth, P.ColorType, O.Interlaced ? 1 : 0));
  for (const auto& C : O.AfterHeader) File += C;
  if (!O.Palette.empty()) File += Chunk("PLTE", O.Palette);
  if (!O.Transparency.empty()) File += Chunk("tRNS", O.Transparency);
  for (const auto& C : O.BeforeData) File += C;
  const Bytes Data = Compress(Scanlines(P, O.Interlaced));
  const std::size_t Step = O.IdatSize ? O.IdatSize : Data.size();
  for (std::size_t At = 0; At < Data.size(); At += Step) File += Chunk("IDAT", Data.substr(At, Step));
  for (const auto& C : O.AfterData) File += C;
  File += Chunk("IEND", "");
  return File;
}

// libpng's decoding of a PNG file: 8-bit samples (16-bit ones keep their high byte), palette
// and low depths expanded, grey turned to RGB, tRNS to alpha: RGBA per pixel, top row first.
struct TReference {
  int Width = 0;
  int Height = 0;
  std::vector<unsigned char> Rgba;
  const unsigned char* At(int X, int Y) const { return Rgba.data() + (static_cast<std::size_t>(Y) * Width + X) * 4; }
};

inline TReference DecodeWithLibpng(const Bytes& File)
{
  TReference R;
  struct TReader {
    const Bytes* Data;
    std::size_t At;
  } Reader{&File, 8};
  png_structp Png = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
  png_infop Info = png_create_info_struct(Png);
  if (setjmp(png_jmpbuf(Png))) {
    png_destroy_read_struct(&Png, &Info, nullptr);
    throw std::runtime_error("libpng failed");
  }
  png_set_sig_bytes(Png, 8);
  png_set_read_fn(Png, &Reader, [](png_structp P, png_bytep Out, png_size_t Count) {
    auto* Rd = static_cast<TReader*>(png_get_io_ptr(P));
    if (Rd->At + Count > Rd->Data->size()) png_error(P, "read past end");
    std::memcpy(Out, Rd->Data->data() + Rd->At, Count);
    Rd->At += Count;
  });
  png_read_info(Png, Info);
  R.Width = static_cast<int>(png_get_image_width(Png, Info));
  R.Height = static_cast<int>(png_get_image_height(Png, Info));
  png_set_expand(Png);
  png_set_strip_16(Png);
  png_set_gray_to_rgb(Png);
  png_set_add_alpha(Png, 0xFF, PNG_FILLER_AFTER);
  png_set_interlace_handling(Png);
  png_read_update_info(Png, Info);
  R.Rgba.resize(static_cast<std::size_t>(R.Width) * R.Height * 4);
  std::vector<png_bytep> Rows(static_cast<std::size_t>(R.Height));
  for (int Y = 0; Y < R.Height; ++Y) Rows[static_cast<std::size_t>(Y)] = R.Rgba.data() + static_cast<std::size_t>(Y) * R.Width * 4;
  png_read_image(Png, Rows.data());
  png_read_end(Png, nullptr);
  png_destroy_read_struct(&Png, &Info, nullptr);
  return R;
}

inline void LoadImage(TskPngImage& Image, const Bytes& File)
{
  TStringStream S(File);
  Image.LoadFromStream(&S);
}

inline Bytes SaveImage(TskPngImage& Image)
{
  TStringStream S;
  Image.SaveToStream(&S);
  return S.GetDataString();
}

inline Bytes RandomBytes(std::size_t Count, std::uint32_t Seed)
{
  TRandom R(Seed);
  Bytes Out(Count, '\0');
  for (auto& C : Out) C = static_cast<char>(R.Next() >> 24);
  return Out;
}

}  // namespace pngtest

namespace pngtest {

// The inflated image data of a PNG file (all IDAT chunks joined).
inline Bytes InflateImageData(const Bytes& File)
{
  Bytes Packed;
  for (const auto& C : ListChunks(File))
    if (C.Name == "IDAT") Packed += C.Data;
  z_stream Z{};
  inflateInit(&Z);
  Z.next_in = reinterpret_cast<Bytef*>(Packed.data());
  Z.avail_in = static_cast<uInt>(Packed.size());
  Bytes Out;
  char Window[4096];
  int Result = Z_OK;
  while (Result == Z_OK) {
    Z.next_out = reinterpret_cast<Bytef*>(Window);
    Z.avail_out = sizeof(Window);
    Result = inflate(&Z, Z_NO_FLUSH);
    Out.append(Window, sizeof(Window) - Z.avail_out);
  }
  inflateEnd(&Z);
  return Out;
}

}  // namespace pngtest
