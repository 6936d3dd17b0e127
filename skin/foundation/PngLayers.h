// The ancillary and structural chunks of a PNG image: palette, transparency, gamma, physical
// pixel size, modification time, text, compressed text and the end chunk. Helpers for the
// chunk CRC and for zlib over whole buffers.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

#include "skin/foundation/PngImage.h"

// The PNG CRC-32 of Size bytes, continued from Crc (start with 0xFFFFFFFF, complement at the end).
std::uint32_t UpdatePngCrc(std::uint32_t Crc, const void* Buffer, std::size_t Size);
// The finished CRC over a chunk name and its data.
std::uint32_t PngChunkCrc(const String& Name, const void* Data, std::size_t Size);

// Inflates or deflates a whole buffer; false with zlib's message on an error. Inflated output
// is limited to MaxOutput bytes (exceeding it is an error).
bool InflateBuffer(const void* Input, std::size_t Size, String& Output, String& ErrorText,
                   std::size_t MaxOutput = std::size_t(16) << 20);
bool DeflateBuffer(const void* Input, std::size_t Size, int Level, String& Output, String& ErrorText);

class TskPngLayerIEND : public TskPngLayer {
public:
  using TskPngLayer::TskPngLayer;
  static const char* ClassChunkName() { return "IEND"; }
  TskPngLayerClass GetClass() const override { return PngLayerClass<TskPngLayerIEND>(); }
};

class TskPngLayerPLTE : public TskPngLayer {
public:
  using TskPngLayer::TskPngLayer;
  static const char* ClassChunkName() { return "PLTE"; }
  TskPngLayerClass GetClass() const override { return PngLayerClass<TskPngLayerPLTE>(); }
  // Up to 256 entries (a multiple of 3 bytes); they become the image's palette.
  bool LoadFromStream(TStream* Stream, const String& AName, Cardinal Size) override;
  // Palette images write their current palette; other images write the chunk as it was read.
  bool SaveToStream(TStream* Stream) override;
  void Assign(TskPngLayer* Source) override;
  // The DIB colour table entry Index as 0x00RRGGBB; 0 at or beyond Count.
  std::uint32_t EntryColor(int Index) const;
  int Count = 0;
};

class TskPngLayertRNS : public TskPngLayer {
public:
  using TskPngLayer::TskPngLayer;
  static const char* ClassChunkName() { return "tRNS"; }
  TskPngLayerClass GetClass() const override { return PngLayerClass<TskPngLayertRNS>(); }
  bool LoadFromStream(TStream* Stream, const String& AName, Cardinal Size) override;
  bool SaveToStream(TStream* Stream) override;
  void Assign(TskPngLayer* Source) override;
  // The colour left out when drawing with a key colour.
  TColor GetKeyColor() const;
  void SetKeyColor(TColor Value);

  bool SingleKey = false;
  // Alpha of every palette entry (palette images); the key value bytes otherwise.
  std::array<Byte, 256> AlphaTable{};
};

class TskPngLayergAMA : public TskPngLayer {
public:
  explicit TskPngLayergAMA(TskPngImage* AOwner);
  static const char* ClassChunkName() { return "gAMA"; }
  TskPngLayerClass GetClass() const override { return PngLayerClass<TskPngLayergAMA>(); }
  // Fills the image's gamma tables from the value.
  bool LoadFromStream(TStream* Stream, const String& AName, Cardinal Size) override;
  void Assign(TskPngLayer* Source) override;
  // The file's gamma times 100000.
  Cardinal GetGammaValue();
  void SetGammaValue(Cardinal Value);
};

class TskPngLayerpHYs : public TskPngLayer {
public:
  using TskPngLayer::TskPngLayer;
  static const char* ClassChunkName() { return "pHYs"; }
  TskPngLayerClass GetClass() const override { return PngLayerClass<TskPngLayerpHYs>(); }
  bool LoadFromStream(TStream* Stream, const String& AName, Cardinal Size) override;
  bool SaveToStream(TStream* Stream) override;
  void Assign(TskPngLayer* Source) override;
  Cardinal PixelsPerUnitX = 0;
  Cardinal PixelsPerUnitY = 0;
  Byte UnitSpecifier = 0;
};

class TskPngLayertIME : public TskPngLayer {
public:
  using TskPngLayer::TskPngLayer;
  static const char* ClassChunkName() { return "tIME"; }
  TskPngLayerClass GetClass() const override { return PngLayerClass<TskPngLayertIME>(); }
  bool LoadFromStream(TStream* Stream, const String& AName, Cardinal Size) override;
  bool SaveToStream(TStream* Stream) override;
  void Assign(TskPngLayer* Source) override;
  Word Year = 0;
  Byte Month = 0;
  Byte Day = 0;
  Byte Hour = 0;
  Byte Minute = 0;
  Byte Second = 0;
};

class TskPngLayertEXt : public TskPngLayer {
public:
  using TskPngLayer::TskPngLayer;
  static const char* ClassChunkName() { return "tEXt"; }
  TskPngLayerClass GetClass() const override { return PngLayerClass<TskPngLayertEXt>(); }
  bool LoadFromStream(TStream* Stream, const String& AName, Cardinal Size) override;
  bool SaveToStream(TStream* Stream) override;
  void Assign(TskPngLayer* Source) override;
  String Keyword;
  String Text;
};

class TskPngLayerzTXt : public TskPngLayertEXt {
public:
  using TskPngLayertEXt::TskPngLayertEXt;
  static const char* ClassChunkName() { return "zTXt"; }
  TskPngLayerClass GetClass() const override { return PngLayerClass<TskPngLayerzTXt>(); }
  bool LoadFromStream(TStream* Stream, const String& AName, Cardinal Size) override;
  bool SaveToStream(TStream* Stream) override;
};
