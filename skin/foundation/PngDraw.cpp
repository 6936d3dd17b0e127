// TskPngImage: drawing with transparency, conversion from and to bitmaps, pixel access, alpha,
// resizing and palettes.
#include <algorithm>
#include <cstring>

#include "skin/foundation/PngCodec.h"
#include "skin/foundation/PngImage.h"
#include "skin/foundation/PngLayers.h"

namespace {

int PaletteSize(HPALETTE Palette)
{
  WORD Entries = 0;
  if (!Palette || GetObject(Palette, sizeof(Entries), &Entries) == 0) return 0;
  return Entries;
}

// A new palette with the entries of Palette.
HPALETTE CopyPalette(HPALETTE Palette)
{
  const int Count = std::min(PaletteSize(Palette), 256);
  if (Count <= 0) return nullptr;
  std::vector<Byte> Block(sizeof(LOGPALETTE) + sizeof(PALETTEENTRY) * 256, 0);
  auto* Log = reinterpret_cast<LOGPALETTE*>(Block.data());
  Log->palVersion = 0x300;
  Log->palNumEntries = static_cast<WORD>(Count);
  GetPaletteEntries(Palette, 0, static_cast<UINT>(Count), Log->palPalEntry);
  return CreatePalette(Log);
}

// Sample X of a row of Bits-bit indexes (the leftmost pixel in the highest bits).
inline unsigned IndexAt(const Byte* Row, int X, int Bits)
{
  const std::size_t Bit = static_cast<std::size_t>(X) * static_cast<std::size_t>(Bits);
  return (Row[Bit >> 3] >> (8 - Bits - (Bit & 7))) & ((1u << Bits) - 1);
}

}  // namespace

int TskPngImage::TransparencyKind() const
{
  const TskPngLayerIHDR* H = Header();
  if (!H) return ptkNone;
  const TskPngLayertRNS* Trns = FChunks->Find<TskPngLayertRNS>();
  switch (H->ColorType) {
    case COLOR_GRAYSCALE:
    case COLOR_RGB:
      return Trns ? ptkKeyColor : ptkNone;
    case COLOR_PALETTE:
      return !Trns ? ptkNone : Trns->SingleKey ? ptkKeyColor : ptkPerPixel;
    case COLOR_GRAYSCALEALPHA:
    case COLOR_RGBALPHA:
      return ptkPerPixel;
    default:
      return ptkNone;
  }
}

bool TskPngImage::GetTransparent() const { return TransparencyKind() != ptkNone; }

TColor TskPngImage::KeyColor() const
{
  const TskPngLayertRNS* Trns = FChunks->Find<TskPngLayertRNS>();
  return Trns ? Trns->GetKeyColor() : 0;
}

Byte* TskPngImage::AlphaRow(int Row) const
{
  const TskPngLayerIHDR* H = Header();
  if (!H || (H->ColorType != COLOR_GRAYSCALEALPHA && H->ColorType != COLOR_RGBALPHA)) return nullptr;
  if (Row < 0 || Row >= static_cast<int>(H->Height)) return nullptr;
  return H->AlphaRow(Row);
}

Byte* TskPngImage::ImageRow(int Row) const
{
  const TskPngLayerIHDR* H = Header();
  if (!H || !H->HasImageStore() || Row < 0 || Row >= static_cast<int>(H->Height)) return nullptr;
  return H->ImageRow(Row);
}

void TskPngImage::Draw(TCanvas* ACanvas, const TRect& Rect)
{
  TskPngLayerIHDR* H = Header();
  if (!ACanvas || !H || !H->HasImageStore()) return;
  HDC DC = ACanvas->GetHandle();
  switch (TransparencyKind()) {
    case ptkNone:
      SetStretchBltMode(DC, COLORONCOLOR);
      StretchDIBits(DC, Rect.left, Rect.top, Rect.right - Rect.left, Rect.bottom - Rect.top, 0, 0,
                    static_cast<int>(H->Width), static_cast<int>(H->Height), H->PixelBits, H->DibInfo.Info(),
                    DIB_RGB_COLORS, SRCCOPY);
      break;
    case ptkKeyColor:
      DrawKeyed(DC, Rect, ColorToRGB(KeyColor()));
      break;
    default:
      DrawBlended(DC, Rect);
      break;
  }
}

void TskPngImage::DrawKeyed(HDC DC, const TRect& Rect, COLORREF Key)
{
  TskPngLayerIHDR* H = Header();
  const int W = Rect.right - Rect.left;
  const int Hh = Rect.bottom - Rect.top;
  if (W <= 0 || Hh <= 0) return;
  // The picture stretched onto the rectangle, every pixel of the key colour left out.
  TransparentBlt(DC, Rect.left, Rect.top, W, Hh, H->MemoryDC, 0, 0, static_cast<int>(H->Width),
                 static_cast<int>(H->Height), Key & 0xFFFFFF);
}

void TskPngImage::DrawBlended(HDC DC, const TRect& Rect)
{
  TskPngLayerIHDR* H = Header();
  TRect R = Rect;
  if (R.left > R.right) std::swap(R.left, R.right);
  if (R.top > R.bottom) std::swap(R.top, R.bottom);
  const int W = R.right - R.left;
  const int Hh = R.bottom - R.top;
  if (W <= 0 || Hh <= 0) return;
  const int PW = static_cast<int>(H->Width);
  const int PH = static_cast<int>(H->Height);

  // Source column of every destination column, source row of every destination row.
  std::vector<int> Cols(static_cast<std::size_t>(W)), Rows(static_cast<std::size_t>(Hh));
  for (int I = 0; I < W; ++I) Cols[static_cast<std::size_t>(I)] = W == PW ? I : static_cast<int>(std::int64_t(I) * PW / W);
  for (int E = 0; E < Hh; ++E) Rows[static_cast<std::size_t>(E)] = Hh == PH ? E : static_cast<int>(std::int64_t(E) * PH / Hh);

  BITMAPINFO Info{};
  Info.bmiHeader.biSize = 40;
  Info.bmiHeader.biWidth = W;
  Info.bmiHeader.biHeight = -Hh;
  Info.bmiHeader.biPlanes = 1;
  Info.bmiHeader.biBitCount = 32;
  Info.bmiHeader.biCompression = BI_RGB;
  void* Bits = nullptr;
  HBITMAP Buffer = CreateDIBSection(DC, &Info, DIB_RGB_COLORS, &Bits, nullptr, 0);
  if (!Buffer || !Bits) {
    if (Buffer) DeleteObject(Buffer);
    return;
  }
  HDC BufferDC = CreateCompatibleDC(DC);
  HGDIOBJ Old = SelectObject(BufferDC, Buffer);
  BitBlt(BufferDC, 0, 0, W, Hh, DC, R.left, R.top, SRCCOPY);

  const int DibBits = H->DibInfo.bmiHeader.biBitCount;
  const TskPngLayertRNS* Trns = FChunks->Find<TskPngLayertRNS>();
  const TskPngLayerPLTE* Plte = FChunks->Find<TskPngLayerPLTE>();
  const auto Blend = [](Byte* D, unsigned SR, unsigned SG, unsigned SB, unsigned A) {
    D[0] = static_cast<Byte>((SB * A + 255 + (255 - A) * D[0]) >> 8);
    D[1] = static_cast<Byte>((SG * A + 255 + (255 - A) * D[1]) >> 8);
    D[2] = static_cast<Byte>((SR * A + 255 + (255 - A) * D[2]) >> 8);
  };
  for (int E = 0; E < Hh; ++E) {
    const int SY = Rows[static_cast<std::size_t>(E)];
    const Byte* Src = H->ImageRow(SY);
    const Byte* Alpha = H->AlphaRow(SY);
    Byte* Dst = static_cast<Byte*>(Bits) + static_cast<std::size_t>(E) * W * 4;
    for (int I = 0; I < W; ++I, Dst += 4) {
      const int SX = Cols[static_cast<std::size_t>(I)];
      if (DibBits <= 8 && H->ColorType == COLOR_GRAYSCALEALPHA) {
        const unsigned Grey = Src[SX];
        Blend(Dst, Grey, Grey, Grey, Alpha ? Alpha[SX] : 255);
      } else if (DibBits <= 8) {
        const unsigned Index = IndexAt(Src, SX, DibBits);
        const unsigned A = Trns ? Trns->AlphaTable[Index] : 255;
        const std::uint32_t C = Plte ? Plte->EntryColor(static_cast<int>(Index)) : 0;
        Blend(Dst, (C >> 16) & 0xFF, (C >> 8) & 0xFF, C & 0xFF, A);
      } else {
        const unsigned A = Alpha ? Alpha[SX] : 255;
        if (A == 0) continue;
        const Byte* S = Src + 3 * SX;
        if (A == 255) {
          Dst[0] = S[0];
          Dst[1] = S[1];
          Dst[2] = S[2];
        } else {
          Blend(Dst, S[2], S[1], S[0], A);
        }
      }
    }
  }
  BitBlt(DC, R.left, R.top, W, Hh, BufferDC, 0, 0, SRCCOPY);
  SelectObject(BufferDC, Old);
  DeleteDC(BufferDC);
  DeleteObject(Buffer);
}

HPALETTE TskPngImage::GetPalette()
{
  TskPngLayerIHDR* H = Header();
  return H ? H->PaletteHandle : nullptr;
}

void TskPngImage::SetPalette(HPALETTE Value)
{
  TskPngLayerIHDR* H = Header();
  if (!Value || (H && Value == H->PaletteHandle)) return;
  // The image owns the palette: one it cannot use is deleted.
  if (!ApplyPalette(Value, true)) DeleteObject(Value);
}

bool TskPngImage::ApplyPalette(HPALETTE Palette, bool CopyToColorTable)
{
  TskPngLayerIHDR* H = Header();
  if (!Palette || !H || !H->Indexed || !H->MemoryDC) return false;
  if (CopyToColorTable) {
    const int Size = 1 << H->DibInfo.bmiHeader.biBitCount;
    const int Count = std::min(PaletteSize(Palette), Size);
    PALETTEENTRY Entries[256];
    GetPaletteEntries(Palette, 0, static_cast<UINT>(Count), Entries);
    for (int I = 0; I < Size; ++I)
      H->DibInfo.bmiColors[I] =
          I < Count ? RGBQUAD{Entries[I].peBlue, Entries[I].peGreen, Entries[I].peRed, 0} : RGBQUAD{};
    H->DibInfo.bmiHeader.biClrUsed = static_cast<DWORD>(Count);
    SetDIBColorTable(H->MemoryDC, 0, static_cast<UINT>(Size), H->DibInfo.bmiColors);
  }
  SelectPalette(H->MemoryDC, Palette, FALSE);
  RealizePalette(H->MemoryDC);
  if (H->PaletteHandle && H->PaletteHandle != Palette) DeleteObject(H->PaletteHandle);
  H->PaletteHandle = Palette;
  return true;
}

void TskPngImage::SetWidth(int Value) { ResizeImage(Value, GetHeight()); }

void TskPngImage::SetHeight(int Value) { ResizeImage(GetWidth(), Value); }

void TskPngImage::ResizeImage(int AWidth, int AHeight)
{
  TskPngLayerIHDR* H = Header();
  if (AWidth <= 0 || AHeight <= 0 || !H) return;
  H->ResizeImageStore(static_cast<Cardinal>(AWidth), static_cast<Cardinal>(AHeight));
}

TColor TskPngImage::GetPixel(int X, int Y)
{
  TskPngLayerIHDR* H = Header();
  if (!H || !H->HasImageStore() || X < 0 || Y < 0 || X >= static_cast<int>(H->Width) || Y >= static_cast<int>(H->Height))
    return 0;
  const Byte* Row = H->ImageRow(Y);
  switch (H->ColorType) {
    case COLOR_GRAYSCALE:
    case COLOR_PALETTE: {
      const int Bits = H->DibInfo.bmiHeader.biBitCount;
      const unsigned Sample = IndexAt(Row, X, Bits);
      if (H->ColorType == COLOR_PALETTE) {
        // The colour table already holds the displayed colours.
        const RGBQUAD& Q = H->DibInfo.bmiColors[Sample];
        return RGB(Q.rgbRed, Q.rgbGreen, Q.rgbBlue);
      }
      const unsigned Level = Bits == 1 ? (Sample ? 255 : 0) : Bits == 4 ? Sample * 17 : Sample;
      const Byte G = GammaMap[Level];
      return RGB(G, G, G);
    }
    case COLOR_GRAYSCALEALPHA:
      return RGB(Row[X], Row[X], Row[X]);
    case COLOR_RGB:
    case COLOR_RGBALPHA:
      return RGB(Row[3 * X + 2], Row[3 * X + 1], Row[3 * X]);
    default:
      return 0;
  }
}

void TskPngImage::SetPixel(int X, int Y, TColor Value)
{
  TskPngLayerIHDR* H = Header();
  if (!H || !H->HasImageStore() || X < 0 || Y < 0 || X >= static_cast<int>(H->Width) || Y >= static_cast<int>(H->Height))
    return;
  const COLORREF C = ColorToRGB(Value);
  Byte* Row = H->ImageRow(Y);
  switch (H->ColorType) {
    case COLOR_GRAYSCALE:
    case COLOR_PALETTE: {
      const int Bits = H->DibInfo.bmiHeader.biBitCount;
      UINT Index = H->PaletteHandle ? GetNearestPaletteIndex(H->PaletteHandle, C) : 0;
      if (Index == CLR_INVALID) Index = 0;
      Index &= (1u << Bits) - 1;
      const std::size_t Bit = static_cast<std::size_t>(X) * Bits;
      const int Shift = 8 - Bits - static_cast<int>(Bit & 7);
      const unsigned Mask = ((1u << Bits) - 1) << Shift;
      Row[Bit >> 3] = static_cast<Byte>((Row[Bit >> 3] & ~Mask) | (Index << Shift));
      break;
    }
    case COLOR_GRAYSCALEALPHA:
      Row[X] = GetRValue(C);
      break;
    case COLOR_RGB:
    case COLOR_RGBALPHA:
      Row[3 * X] = GetBValue(C);
      Row[3 * X + 1] = GetGValue(C);
      Row[3 * X + 2] = GetRValue(C);
      break;
    default:
      break;
  }
}

void TskPngImage::EnsureAlpha()
{
  TskPngLayerIHDR* H = Header();
  if (!H || !H->HasImageStore()) return;
  const std::size_t Pixels = static_cast<std::size_t>(H->Width) * H->Height;
  switch (H->ColorType) {
    case COLOR_GRAYSCALE:
      // Grey with alpha exists only at 8 and 16 bits.
      if (H->BitDepth < 8) return;
      H->ColorType = COLOR_GRAYSCALEALPHA;
      H->AlphaPlane.assign(Pixels, 255);
      break;
    case COLOR_RGB:
      H->ColorType = COLOR_RGBALPHA;
      H->AlphaPlane.assign(Pixels, 255);
      break;
    case COLOR_PALETTE: {
      auto* Trns = FChunks->Find<TskPngLayertRNS>();
      if (!Trns) Trns = static_cast<TskPngLayertRNS*>(FChunks->AddChunkByClass(PngLayerClass<TskPngLayertRNS>()));
      if (!Trns) return;
      Trns->AlphaTable.fill(255);
      // No more entries than the palette has (a longer table is invalid).
      Cardinal Entries = 1u << std::min<int>(H->BitDepth, 8);
      if (const auto* Plte = FChunks->Find<TskPngLayerPLTE>(); Plte && Plte->Count > 0)
        Entries = std::min<Cardinal>(Entries, static_cast<Cardinal>(Plte->Count));
      Trns->ResizeData(Entries);
      Trns->SingleKey = false;
      break;
    }
    default:
      break;
  }
}

void TskPngImage::AssignBitmap(HBITMAP Bitmap, bool Transparent, COLORREF Key)
{
  BITMAP Info{};
  if (!Bitmap || GetObject(Bitmap, sizeof(Info), &Info) == 0 || Info.bmWidth <= 0 || Info.bmHeight == 0) {
    RemoveAllChunks();
    return;
  }
  const int Bpp = Info.bmBitsPixel;
  RemoveAllChunks();
  auto* H = new TskPngLayerIHDR(this);
  FChunks->Add(H);
  H->Width = static_cast<Cardinal>(Info.bmWidth);
  H->Height = static_cast<Cardinal>(Info.bmHeight < 0 ? -Info.bmHeight : Info.bmHeight);
  H->BitDepth = static_cast<Byte>(Bpp < 16 ? Bpp : 8);
  H->ColorType = Bpp < 16 ? COLOR_PALETTE : COLOR_RGB;
  if (!H->BuildImageStore()) {
    RemoveAllChunks();
    return;
  }
  TskPngDibInfo Fetch = H->DibInfo;
  HDC ScreenDC = CreateCompatibleDC(nullptr);
  GetDIBits(ScreenDC, Bitmap, 0, H->Height, H->PixelBits, Fetch.Info(), DIB_RGB_COLORS);
  DeleteDC(ScreenDC);

  if (H->Indexed) {
    const int Count = 1 << H->DibInfo.bmiHeader.biBitCount;
    std::memcpy(H->DibInfo.bmiColors, Fetch.bmiColors, sizeof(RGBQUAD) * static_cast<std::size_t>(Count));
    H->DibInfo.bmiHeader.biClrUsed = static_cast<DWORD>(Count);
    SetDIBColorTable(H->MemoryDC, 0, static_cast<UINT>(Count), H->DibInfo.bmiColors);
    auto* Plte = new TskPngLayerPLTE(this);
    FChunks->Add(Plte);
    Plte->Count = Count;
    std::vector<Byte> Block(sizeof(LOGPALETTE) + sizeof(PALETTEENTRY) * 256, 0);
    auto* Log = reinterpret_cast<LOGPALETTE*>(Block.data());
    Log->palVersion = 0x300;
    Log->palNumEntries = static_cast<WORD>(Count);
    for (int I = 0; I < Count; ++I) {
      const RGBQUAD& Q = H->DibInfo.bmiColors[I];
      Log->palPalEntry[I] = PALETTEENTRY{Q.rgbRed, Q.rgbGreen, Q.rgbBlue, 0};
    }
    if (HPALETTE Palette = CreatePalette(Log))
      if (!ApplyPalette(Palette, false)) DeleteObject(Palette);
  }
  TskPngLayertRNS* Trns = nullptr;
  if (Transparent) {
    Trns = new TskPngLayertRNS(this);
    FChunks->Add(Trns);
  }
  FChunks->Add(new TskPngLayerIDAT(this));
  FChunks->Add(new TskPngLayerIEND(this));
  if (Trns) Trns->SetKeyColor(Key);
}

void TskPngImage::AssignTo(TPersistent* Dest)
{
  if (auto* Png = dynamic_cast<TskPngImage*>(Dest)) {
    Png->CopyImage(this);
    return;
  }
  if (auto* Bitmap = dynamic_cast<TBitmap*>(Dest)) {
    if (Header()) {
      AssignToBitmap(Bitmap);
    } else {
      // An empty image gives an empty bitmap.
      Bitmap->SetSize(0, 0);
    }
    return;
  }
  TGraphic::AssignTo(Dest);
}

void TskPngImage::AssignToBitmap(TBitmap* Bitmap)
{
  TskPngLayerIHDR* H = Header();
  const int Kind = TransparencyKind();
  TPixelFormat Format;
  if (Kind == ptkPerPixel) {
    Format = pf24bit;
  } else if (H->BitDepth == 1) {
    Format = pf1bit;
  } else if (H->BitDepth == 2 || H->BitDepth == 4) {
    Format = pf4bit;
  } else if ((H->BitDepth == 8 || H->BitDepth == 16) && (H->ColorType == COLOR_GRAYSCALE || H->ColorType == COLOR_RGB)) {
    Format = pf24bit;
  } else if ((H->BitDepth == 8 || H->BitDepth == 16) && H->ColorType == COLOR_PALETTE) {
    Format = pf8bit;
  } else {
    throw Exception("");
  }
  Bitmap->SetPixelFormat(Format);
  Bitmap->SetSize(static_cast<int>(H->Width), static_cast<int>(H->Height));
  // Indexed bitmaps take the image's own colours rather than a standard table.
  if (Format != pf24bit && H->Indexed && H->PaletteHandle)
    if (HPALETTE Copy = CopyPalette(H->PaletteHandle)) Bitmap->SetPalette(Copy);
  Draw(Bitmap->GetCanvas(), Rect(0, 0, static_cast<int>(H->Width), static_cast<int>(H->Height)));
  if (Kind == ptkKeyColor) {
    Bitmap->SetTransparentColor(KeyColor());
    Bitmap->SetTransparent(true);
  }
}
