// Logical palettes. The surfaces here are true colour or carry their own colour tables, so a
// palette only matters for nearest-colour queries; selecting and realising are bookkeeping.
#include "platform/gdi/GdiPalette.h"

#include <cstring>

#include "platform/gdi/DeviceContext.h"
#include "platform/gdi/GdiInternal.h"
#include "platform/rtl/Exceptions.h"

namespace {

constexpr UINT MaxEntries = 65535;

UINT NearestEntry(const std::vector<PALETTEENTRY>& Entries, COLORREF Color)
{
  UINT Best = 0;
  long BestDistance = -1;
  for (UINT I = 0; I < Entries.size(); ++I) {
    long Dr = Entries[I].peRed - GetRValue(Color), Dg = Entries[I].peGreen - GetGValue(Color),
         Db = Entries[I].peBlue - GetBValue(Color);
    long D = Dr * Dr + Dg * Dg + Db * Db;
    if (BestDistance < 0 || D < BestDistance) {
      Best = I;
      BestDistance = D;
    }
  }
  return Best;
}

} // namespace

int TGdiPalette::GetObjectData(int Size, void* Buffer)
{
  if (!Buffer)
    return sizeof(WORD);
  if (Size < static_cast<int>(sizeof(WORD)))
    return 0;
  WORD N = static_cast<WORD>(Entries.size());
  std::memcpy(Buffer, &N, sizeof(N));
  return sizeof(WORD);
}

TGdiPalette* PaletteFromHandle(HPALETTE Palette) { return GdiLookup<TGdiPalette>(Palette, OBJ_PAL); }

HPALETTE CreatePalette(const LOGPALETTE* Palette)
{
  if (!Palette || Palette->palVersion != 0x300 || Palette->palNumEntries == 0) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return nullptr;
  }
  auto P = std::make_unique<TGdiPalette>();
  P->Entries.assign(Palette->palPalEntry, Palette->palPalEntry + Palette->palNumEntries);
  return static_cast<HPALETTE>(GdiRegisterObject(std::move(P)));
}

HPALETTE CreateHalftonePalette(HDC)
{
  auto P = std::make_unique<TGdiPalette>();
  const RGBQUAD* C = HalftoneColors();
  P->Entries.resize(256);
  for (int I = 0; I < 256; ++I)
    P->Entries[I] = PALETTEENTRY{C[I].rgbRed, C[I].rgbGreen, C[I].rgbBlue, 0};
  return static_cast<HPALETTE>(GdiRegisterObject(std::move(P)));
}

HPALETTE SelectPalette(HDC DC, HPALETTE Palette, BOOL)
{
  TDeviceContext* D = DcFromHandle(DC);
  TGdiPalette* P = PaletteFromHandle(Palette);
  if (!D || !P)
    return nullptr;
  HPALETTE Old = D->Palette;
  if (Old == Palette)
    return Old;
  ++P->SelectCount;
  if (TGdiPalette* OldP = PaletteFromHandle(Old))
    --OldP->SelectCount;
  D->Palette = Palette;
  return Old;
}

UINT RealizePalette(HDC DC)
{
  TDeviceContext* D = DcFromHandle(DC);
  if (!D)
    return GDI_ERROR;
  // Nothing is mapped into a hardware palette: the screen is true colour.
  return 0;
}

UINT GetPaletteEntries(HPALETTE Palette, UINT Start, UINT Count, PALETTEENTRY* Entries)
{
  TGdiPalette* P = PaletteFromHandle(Palette);
  if (!P)
    return 0;
  if (!Entries)
    return static_cast<UINT>(P->Entries.size());
  if (Start >= P->Entries.size())
    return 0;
  UINT N = Count;
  if (N > P->Entries.size() - Start)
    N = static_cast<UINT>(P->Entries.size() - Start);
  std::memcpy(Entries, P->Entries.data() + Start, N * sizeof(PALETTEENTRY));
  return N;
}

UINT SetPaletteEntries(HPALETTE Palette, UINT Start, UINT Count, const PALETTEENTRY* Entries)
{
  TGdiPalette* P = PaletteFromHandle(Palette);
  if (!P || !Entries || Start >= P->Entries.size() || P->Stock)
    return 0;
  UINT N = Count;
  if (N > P->Entries.size() - Start)
    N = static_cast<UINT>(P->Entries.size() - Start);
  std::memcpy(P->Entries.data() + Start, Entries, N * sizeof(PALETTEENTRY));
  return N;
}

BOOL ResizePalette(HPALETTE Palette, UINT Entries)
{
  TGdiPalette* P = PaletteFromHandle(Palette);
  if (!P || P->Stock || Entries == 0 || Entries > MaxEntries)
    return FALSE;
  // New entries are black.
  P->Entries.resize(Entries, PALETTEENTRY{});
  return TRUE;
}

UINT GetNearestPaletteIndex(HPALETTE Palette, COLORREF Color)
{
  TGdiPalette* P = PaletteFromHandle(Palette);
  if (!P || P->Entries.empty())
    return CLR_INVALID;
  return NearestEntry(P->Entries, Color);
}

COLORREF GetNearestColor(HDC DC, COLORREF Color)
{
  TDeviceContext* D = DcFromHandle(DC);
  if (!D)
    return CLR_INVALID;
  const TSurface& S = D->Surface();
  return S.RawToColor(S.ColorToRaw(Color & 0x00FFFFFF));
}
