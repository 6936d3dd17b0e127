// Palette, transparency, gamma, physical size, time, text and compressed text chunks.
#include "skin/foundation/PngLayers.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "skin/foundation/PngCodec.h"

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

Word GetBE16(const Byte* P) { return static_cast<Word>((P[0] << 8) | P[1]); }

void PutBE16(Byte* P, unsigned V)
{
  P[0] = static_cast<Byte>(V >> 8);
  P[1] = static_cast<Byte>(V);
}

// Number of entries of a palette.
int PaletteSize(HPALETTE Palette)
{
  WORD Entries = 0;
  if (!Palette || GetObject(Palette, sizeof(Entries), &Entries) == 0) return 0;
  return Entries;
}

}  // namespace

// --- PLTE ---

bool TskPngLayerPLTE::LoadFromStream(TStream* Stream, const String& AName, Cardinal Size)
{
  if (!TskPngLayer::LoadFromStream(Stream, AName, Size)) return false;
  if (Size % 3 != 0 || Size / 3 > 256) return false;
  Count = static_cast<int>(Size / 3);
  if (Count == 0) return true;
  std::vector<Byte> Block(sizeof(LOGPALETTE) + sizeof(PALETTEENTRY) * 256, 0);
  auto* Log = reinterpret_cast<LOGPALETTE*>(Block.data());
  Log->palVersion = 0x300;
  Log->palNumEntries = static_cast<WORD>(Count);
  const auto& G = Owner()->GammaMap;
  for (int I = 0; I < Count; ++I) {
    PALETTEENTRY& E = Log->palPalEntry[I];
    E.peRed = G[Data()[3 * I]];
    E.peGreen = G[Data()[3 * I + 1]];
    E.peBlue = G[Data()[3 * I + 2]];
    E.peFlags = 0;
  }
  if (HPALETTE Palette = CreatePalette(Log)) Owner()->SetPalette(Palette);
  return true;
}

bool TskPngLayerPLTE::SaveToStream(TStream* Stream)
{
  TskPngLayerIHDR* H = Header();
  if (!H || !H->Indexed || !H->PaletteHandle) return WriteChunk(Stream);
  if (Count == 0) Count = static_cast<int>(std::min<DWORD>(H->DibInfo.bmiHeader.biClrUsed, 256));
  Count = std::min(Count, PaletteSize(H->PaletteHandle));
  PALETTEENTRY Entries[256];
  GetPaletteEntries(H->PaletteHandle, 0, static_cast<UINT>(Count), Entries);
  ResizeData(static_cast<Cardinal>(Count) * 3);
  const auto& U = Owner()->UngammaMap;
  for (int I = 0; I < Count; ++I) {
    Data()[3 * I] = U[Entries[I].peRed];
    Data()[3 * I + 1] = U[Entries[I].peGreen];
    Data()[3 * I + 2] = U[Entries[I].peBlue];
  }
  return WriteChunk(Stream);
}

void TskPngLayerPLTE::Assign(TskPngLayer* Source)
{
  TskPngLayer::Assign(Source);
  if (auto* From = dynamic_cast<TskPngLayerPLTE*>(Source)) Count = From->Count;
}

std::uint32_t TskPngLayerPLTE::EntryColor(int Index) const
{
  const TskPngLayerIHDR* H = Header();
  if (!H || Index < 0 || Index >= Count || Index >= 256) return 0;
  const RGBQUAD& Q = H->DibInfo.bmiColors[Index];
  return (std::uint32_t(Q.rgbRed) << 16) | (std::uint32_t(Q.rgbGreen) << 8) | Q.rgbBlue;
}

// --- tRNS ---

bool TskPngLayertRNS::LoadFromStream(TStream* Stream, const String& AName, Cardinal Size)
{
  if (!TskPngLayer::LoadFromStream(Stream, AName, Size)) return false;
  AlphaTable.fill(255);
  // A longer chunk than the table is kept as it is but only its first 256 bytes count.
  const std::size_t Used = std::min<std::size_t>(Size, AlphaTable.size());
  std::memcpy(AlphaTable.data(), Data(), Used);
  const TskPngLayerIHDR* H = Header();
  const Byte Type = H ? H->ColorType : 0;
  if (Type == COLOR_GRAYSCALE || Type == COLOR_RGB) {
    SingleKey = true;
  } else if (Type == COLOR_PALETTE) {
    const auto Translucent = std::count_if(AlphaTable.begin(), AlphaTable.begin() + static_cast<std::ptrdiff_t>(Used),
                                           [](Byte A) { return A != 255; });
    SingleKey = Translucent == 1;
  }
  return true;
}

bool TskPngLayertRNS::SaveToStream(TStream* Stream)
{
  if (DataSize() <= AlphaTable.size()) std::memcpy(Data(), AlphaTable.data(), DataSize());
  return WriteChunk(Stream);
}

void TskPngLayertRNS::Assign(TskPngLayer* Source)
{
  TskPngLayer::Assign(Source);
  if (auto* From = dynamic_cast<TskPngLayertRNS*>(Source)) {
    AlphaTable = From->AlphaTable;
    SingleKey = From->SingleKey;
  }
}

TColor TskPngLayertRNS::GetKeyColor() const
{
  const TskPngLayerIHDR* H = Header();
  if (!H) return 0;
  const auto& G = Owner()->GammaMap;
  switch (H->ColorType) {
    case COLOR_GRAYSCALE: {
      // The key as the colour-table index its samples are stored with.
      const Word Value = GetBE16(AlphaTable.data());
      int Index;
      if (H->BitDepth == 16)
        Index = Value >> 8;
      else if (H->BitDepth == 2)
        Index = 5 * (Value & 3);
      else
        Index = Value & ((1 << std::min<int>(H->BitDepth, 8)) - 1);
      const RGBQUAD& Q = H->DibInfo.bmiColors[Index];
      return RGB(Q.rgbRed, Q.rgbGreen, Q.rgbBlue);
    }
    case COLOR_RGB: {
      const int Shift = H->BitDepth == 16 ? 8 : 0;
      const auto Sample = [&](int I) { return G[(GetBE16(AlphaTable.data() + 2 * I) >> Shift) & 0xFF]; };
      return RGB(Sample(0), Sample(1), Sample(2));
    }
    case COLOR_PALETTE: {
      // The one entry that is not opaque (normally the fully transparent one).
      const std::size_t Used = std::min<std::size_t>(DataSize(), AlphaTable.size());
      std::size_t Index = Used;
      for (std::size_t I = 0; I < Used; ++I)
        if (AlphaTable[I] == 0) {
          Index = I;
          break;
        }
      if (Index == Used)
        for (std::size_t I = 0; I < Used; ++I)
          if (AlphaTable[I] != 255) {
            Index = I;
            break;
          }
      if (Index == Used) return 0;
      const RGBQUAD& Q = H->DibInfo.bmiColors[Index];
      return RGB(Q.rgbRed, Q.rgbGreen, Q.rgbBlue);
    }
    default:
      return 0;
  }
}

void TskPngLayertRNS::SetKeyColor(TColor Value)
{
  const TskPngLayerIHDR* H = Header();
  if (!H) return;
  AlphaTable.fill(0);
  SingleKey = true;
  // A colour component as a sample of the header's depth.
  const auto Sample = [&](Byte Component) -> unsigned {
    if (H->BitDepth >= 16) return Component * 257u;
    if (H->BitDepth >= 8) return Component;
    const unsigned Top = (1u << H->BitDepth) - 1;
    return (Component * Top + 127) / 255;
  };
  switch (H->ColorType) {
    case COLOR_GRAYSCALE:
      ResizeData(2);
      PutBE16(AlphaTable.data(), Sample(GetRValue(Value)));
      break;
    case COLOR_RGB:
      ResizeData(6);
      PutBE16(AlphaTable.data(), Sample(GetRValue(Value)));
      PutBE16(AlphaTable.data() + 2, Sample(GetGValue(Value)));
      PutBE16(AlphaTable.data() + 4, Sample(GetBValue(Value)));
      break;
    case COLOR_PALETTE: {
      // Every entry of the colour becomes transparent (a palette may hold it more than once).
      const DWORD InUse = std::min<DWORD>(H->DibInfo.bmiHeader.biClrUsed, 256);
      int Matches = 0;
      DWORD Last = 0;
      AlphaTable.fill(255);
      for (DWORD B = 0; B < InUse; ++B) {
        const RGBQUAD& Q = H->DibInfo.bmiColors[B];
        if (RGB(Q.rgbRed, Q.rgbGreen, Q.rgbBlue) == (Value & 0xFFFFFF)) {
          AlphaTable[B] = 0;
          Last = B;
          ++Matches;
        }
      }
      if (Matches > 0) {
        ResizeData(Last + 1);
        SingleKey = Matches == 1;
        return;
      }
      // A colour the palette lacks cannot be a key: nothing is transparent then.
      ResizeData(0);
      SingleKey = false;
      break;
    }
    default:
      break;
  }
}

// --- gAMA ---

TskPngLayergAMA::TskPngLayergAMA(TskPngImage* AOwner) : TskPngLayer(AOwner) { SetGammaValue(1); }

Cardinal TskPngLayergAMA::GetGammaValue()
{
  if (DataSize() == 4) return GetBE32(Data());
  ResizeData(4);
  return 1;
}

void TskPngLayergAMA::SetGammaValue(Cardinal Value)
{
  if (DataSize() != 4) ResizeData(4);
  PutBE32(Data(), Value);
}

bool TskPngLayergAMA::LoadFromStream(TStream* Stream, const String& AName, Cardinal Size)
{
  if (!TskPngLayer::LoadFromStream(Stream, AName, Size)) return false;
  // Only a well-formed value changes the tables.
  if (Size != 4) return true;
  const Cardinal Value = GetBE32(Data());
  if (Value == 0) return true;
  auto& G = Owner()->GammaMap;
  auto& U = Owner()->UngammaMap;
  const double Exponent = 1.0 / (Value / 100000.0 * 2.2);
  for (int I = 0; I < 256; ++I) {
    const double Level = std::nearbyint(255.0 * std::pow(I / 255.0, Exponent));
    const Byte Mapped = static_cast<Byte>(std::clamp(Level, 0.0, 255.0));
    G[static_cast<std::size_t>(I)] = Mapped;
    U[Mapped] = static_cast<Byte>(I);
  }
  return true;
}

void TskPngLayergAMA::Assign(TskPngLayer* Source)
{
  if (auto* From = dynamic_cast<TskPngLayergAMA*>(Source)) SetGammaValue(From->GetGammaValue());
}

// --- pHYs ---

bool TskPngLayerpHYs::LoadFromStream(TStream* Stream, const String& AName, Cardinal Size)
{
  if (!TskPngLayer::LoadFromStream(Stream, AName, Size)) return false;
  if (Size == 9) {
    PixelsPerUnitX = GetBE32(Data());
    PixelsPerUnitY = GetBE32(Data() + 4);
    UnitSpecifier = Data()[8];
  }
  return true;
}

bool TskPngLayerpHYs::SaveToStream(TStream* Stream)
{
  ResizeData(9);
  PutBE32(Data(), PixelsPerUnitX);
  PutBE32(Data() + 4, PixelsPerUnitY);
  Data()[8] = UnitSpecifier;
  return WriteChunk(Stream);
}

void TskPngLayerpHYs::Assign(TskPngLayer* Source)
{
  if (auto* From = dynamic_cast<TskPngLayerpHYs*>(Source)) {
    PixelsPerUnitX = From->PixelsPerUnitX;
    PixelsPerUnitY = From->PixelsPerUnitY;
    UnitSpecifier = From->UnitSpecifier;
  }
}

// --- tIME ---

bool TskPngLayertIME::LoadFromStream(TStream* Stream, const String& AName, Cardinal Size)
{
  if (!TskPngLayer::LoadFromStream(Stream, AName, Size)) return false;
  if (Size == 7) {
    Year = GetBE16(Data());
    Month = Data()[2];
    Day = Data()[3];
    Hour = Data()[4];
    Minute = Data()[5];
    Second = Data()[6];
  }
  return true;
}

bool TskPngLayertIME::SaveToStream(TStream* Stream)
{
  ResizeData(7);
  PutBE16(Data(), Year);
  Data()[2] = Month;
  Data()[3] = Day;
  Data()[4] = Hour;
  Data()[5] = Minute;
  Data()[6] = Second;
  return WriteChunk(Stream);
}

void TskPngLayertIME::Assign(TskPngLayer* Source)
{
  if (auto* From = dynamic_cast<TskPngLayertIME*>(Source)) {
    Year = From->Year;
    Month = From->Month;
    Day = From->Day;
    Hour = From->Hour;
    Minute = From->Minute;
    Second = From->Second;
  }
}

// --- tEXt ---

bool TskPngLayertEXt::LoadFromStream(TStream* Stream, const String& AName, Cardinal Size)
{
  if (!TskPngLayer::LoadFromStream(Stream, AName, Size)) return false;
  if (Size == 0) return true;
  const char* P = reinterpret_cast<const char*>(Data());
  const void* Zero = std::memchr(P, 0, Size);
  // Without a terminator the whole chunk is the keyword.
  const std::size_t KeyLength = Zero ? static_cast<std::size_t>(static_cast<const char*>(Zero) - P) : Size;
  Keyword.assign(P, KeyLength);
  Text = KeyLength < Size ? String(P + KeyLength + 1, Size - KeyLength - 1) : String();
  return true;
}

bool TskPngLayertEXt::SaveToStream(TStream* Stream)
{
  ResizeData(static_cast<Cardinal>(Keyword.size() + 1 + Text.size()));
  std::memcpy(Data(), Keyword.data(), Keyword.size());
  Data()[Keyword.size()] = 0;
  std::memcpy(Data() + Keyword.size() + 1, Text.data(), Text.size());
  return WriteChunk(Stream);
}

void TskPngLayertEXt::Assign(TskPngLayer* Source)
{
  TskPngLayer::Assign(Source);
  if (auto* From = dynamic_cast<TskPngLayertEXt*>(Source)) {
    Keyword = From->Keyword;
    Text = From->Text;
  }
}

// --- zTXt ---

bool TskPngLayerzTXt::LoadFromStream(TStream* Stream, const String& AName, Cardinal Size)
{
  if (!TskPngLayertEXt::LoadFromStream(Stream, AName, Size)) return false;
  if (Size < 4) return true;
  Text.clear();
  const std::size_t MethodAt = Keyword.size() + 1;
  if (MethodAt < Size && Data()[MethodAt] == 0) {
    String Error;
    if (!InflateBuffer(Data() + MethodAt + 1, Size - MethodAt - 1, Text, Error)) Text.clear();
  }
  return true;
}

bool TskPngLayerzTXt::SaveToStream(TStream* Stream)
{
  if (Text.empty()) Text = " ";
  String Packed, Error;
  if (!DeflateBuffer(Text.data(), Text.size(), Owner()->DeflateLevel, Packed, Error)) return false;
  ResizeData(static_cast<Cardinal>(Keyword.size() + 2 + Packed.size()));
  std::memcpy(Data(), Keyword.data(), Keyword.size());
  Data()[Keyword.size()] = 0;
  Data()[Keyword.size() + 1] = 0;
  std::memcpy(Data() + Keyword.size() + 2, Packed.data(), Packed.size());
  return WriteChunk(Stream);
}
