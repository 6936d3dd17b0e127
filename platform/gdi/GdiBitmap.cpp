// Bitmaps and DIB sections, and the functions that create them and move pixels in and out.
#include "platform/gdi/GdiBitmap.h"

#include <cstring>
#include <new>

#include "platform/gdi/DeviceContext.h"
#include "platform/gdi/GdiInternal.h"
#include "platform/rtl/Exceptions.h"

namespace {

// Largest pixel memory we hand out for one bitmap.
constexpr std::size_t MaxBitmapBytes = std::size_t(1) << 30;

RGBQUAD Quad(BYTE R, BYTE G, BYTE B) { return RGBQUAD{B, G, R, 0}; }

struct TDefaultTables {
  RGBQUAD Mono[2];
  RGBQUAD Vga[16];
  RGBQUAD Halftone[256];
  TDefaultTables()
  {
    Mono[0] = Quad(0, 0, 0);
    Mono[1] = Quad(255, 255, 255);
    const BYTE V[16][3] = {{0, 0, 0},       {128, 0, 0},   {0, 128, 0},   {128, 128, 0},
                           {0, 0, 128},     {128, 0, 128}, {0, 128, 128}, {192, 192, 192},
                           {128, 128, 128}, {255, 0, 0},   {0, 255, 0},   {255, 255, 0},
                           {0, 0, 255},     {255, 0, 255}, {0, 255, 255}, {255, 255, 255}};
    for (int I = 0; I < 16; ++I)
      Vga[I] = Quad(V[I][0], V[I][1], V[I][2]);
    // The halftone palette: the first ten static colours, the 6x6x6 cube, twenty greys that
    // the cube lacks, and the last ten static colours.
    const BYTE First[10][3] = {{0, 0, 0},     {128, 0, 0},   {0, 128, 0},     {128, 128, 0},   {0, 0, 128},
                               {128, 0, 128}, {0, 128, 128}, {192, 192, 192}, {192, 220, 192}, {166, 202, 240}};
    const BYTE Last[10][3] = {{255, 251, 240}, {160, 160, 164}, {128, 128, 128}, {255, 0, 0},   {0, 255, 0},
                              {255, 255, 0},   {0, 0, 255},     {255, 0, 255},   {0, 255, 255}, {255, 255, 255}};
    int N = 0;
    for (auto& C : First)
      Halftone[N++] = Quad(C[0], C[1], C[2]);
    for (int R = 0; R < 6; ++R)
      for (int G = 0; G < 6; ++G)
        for (int B = 0; B < 6; ++B)
          Halftone[N++] = Quad(static_cast<BYTE>(R * 51), static_cast<BYTE>(G * 51), static_cast<BYTE>(B * 51));
    for (int I = 1; I <= 20; ++I) {
      BYTE L = static_cast<BYTE>(I * 12 + (I > 4 ? 3 : 0) - (I > 12 ? 6 : 0));
      if (L % 51 == 0)
        L = static_cast<BYTE>(L + 3);
      Halftone[N++] = Quad(L, L, L);
    }
    for (auto& C : Last)
      Halftone[N++] = Quad(C[0], C[1], C[2]);
  }
};

const TDefaultTables& Tables()
{
  static const TDefaultTables T;
  return T;
}

bool ValidDepth(int Bpp) { return Bpp == 1 || Bpp == 4 || Bpp == 8 || Bpp == 24 || Bpp == 32; }

// The nearest index of each colour in one colour table, remembered: a picture converted to a
// palette repeats its colours a lot, and each search looks at the whole table. The table the
// answers belong to is kept with them; another table starts afresh.
class TNearestIndexCache {
public:
  // Whether To has a table of at most 256 colours; then IndexOf answers for it.
  bool Use(const TSurface& To)
  {
    if (!To.IsIndexed() || !To.Colors || To.ColorCount <= 0 || To.ColorCount > 256) return false;
    if (To.ColorCount != FCount ||
        std::memcmp(To.Colors, FColors, sizeof(RGBQUAD) * static_cast<std::size_t>(To.ColorCount)) != 0)
      Reset(To);
    return true;
  }
  std::uint32_t IndexOf(const TSurface& To, COLORREF Color)
  {
    TEntry& E = FEntries[(static_cast<std::uint32_t>(Color) * 2654435761u) >> (32 - SlotBits)];
    if (!E.Used || E.Color != Color) E = {Color, To.ColorToRaw(Color), true};
    return E.Index;
  }

private:
  static constexpr int SlotBits = 12;
  struct TEntry {
    COLORREF Color = 0;
    std::uint32_t Index = 0;
    bool Used = false;
  };
  void Reset(const TSurface& To)
  {
    FCount = To.ColorCount;
    std::memcpy(FColors, To.Colors, sizeof(RGBQUAD) * static_cast<std::size_t>(FCount));
    for (TEntry& E : FEntries) E.Used = false;
  }
  int FCount = -1;
  RGBQUAD FColors[256] = {};
  TEntry FEntries[1 << SlotBits] = {};
};

// Copies between two surfaces of the same size, converting formats (indices when both tables
// match, colours otherwise; alpha only between 32-bpp surfaces).
void ConvertRows(const TSurface& From, const TSurface& To, int FromY, int ToY, int Rows)
{
  thread_local TNearestIndexCache Nearest;
  bool Cached = false;
  bool SameTable = From.IsIndexed() && To.IsIndexed() && From.BitsPerPixel == To.BitsPerPixel &&
                   From.ColorCount == To.ColorCount &&
                   (From.ColorCount == 0 ||
                    std::memcmp(From.Colors, To.Colors, sizeof(RGBQUAD) * From.ColorCount) == 0);
  bool SameFormat = From.BitsPerPixel == To.BitsPerPixel && (!From.IsIndexed() || SameTable);
  int W = From.Width < To.Width ? From.Width : To.Width;
  if (!SameFormat) Cached = Nearest.Use(To);
  for (int R = 0; R < Rows; ++R) {
    int Sy = FromY + R, Dy = ToY + R;
    if (SameFormat) {
      std::size_t Bytes = (static_cast<std::size_t>(W) * From.BitsPerPixel + 7) / 8;
      if ((W * From.BitsPerPixel) % 8 == 0) {
        std::memcpy(To.Row(Dy), From.Row(Sy), Bytes);
        continue;
      }
      for (int X = 0; X < W; ++X)
        To.SetRaw(X, Dy, From.GetRaw(X, Sy));
      continue;
    }
    for (int X = 0; X < W; ++X) {
      std::uint32_t Raw = From.GetRaw(X, Sy);
      const COLORREF Color = From.RawToColor(Raw);
      std::uint32_t Out = Cached ? Nearest.IndexOf(To, Color) : To.ColorToRaw(Color);
      if (From.BitsPerPixel == 32 && To.BitsPerPixel == 32)
        Out |= Raw & 0xFF000000u;
      To.SetRaw(X, Dy, Out);
    }
  }
}

} // namespace

namespace GdiInternal {

const RGBQUAD* DefaultColors(int BitsPerPixel, int& Count)
{
  switch (BitsPerPixel) {
  case 1:
    Count = 2;
    return Tables().Mono;
  case 4:
    Count = 16;
    return Tables().Vga;
  case 8:
    Count = 256;
    return Tables().Halftone;
  default:
    Count = 0;
    return nullptr;
  }
}

bool DescribeDib(const BITMAPINFO* Info, const void* Bits, UINT Usage, TSurface& Out, std::vector<RGBQUAD>& Colors)
{
  if (!Info || Usage != DIB_RGB_COLORS)
    return false;
  const BITMAPINFOHEADER& H = Info->bmiHeader;
  if (H.biSize < sizeof(BITMAPINFOHEADER) || H.biWidth <= 0 || H.biHeight == 0 || H.biHeight == INT32_MIN)
    return false;
  int Bpp = H.biBitCount == 16 ? 0 : H.biBitCount;
  if (!ValidDepth(Bpp))
    return false;
  const auto* Extra = reinterpret_cast<const std::uint8_t*>(Info) + H.biSize;
  if (H.biCompression == BI_BITFIELDS) {
    DWORD Masks[3];
    std::memcpy(Masks, Extra, sizeof(Masks));
    if (Bpp != 32 || Masks[0] != 0xFF0000 || Masks[1] != 0xFF00 || Masks[2] != 0xFF)
      return false;
  } else if (H.biCompression != BI_RGB) {
    return false;
  }
  int Height = H.biHeight < 0 ? -H.biHeight : H.biHeight;
  std::size_t Stride = GdiInternal::DibStride(H.biWidth, Bpp);
  if (Stride * static_cast<std::size_t>(Height) > MaxBitmapBytes)
    return false;
  Colors.clear();
  if (Bpp <= 8) {
    int N = H.biClrUsed ? static_cast<int>(H.biClrUsed) : (1 << Bpp);
    if (N > (1 << Bpp))
      N = 1 << Bpp;
    Colors.resize(1u << Bpp);
    std::memcpy(Colors.data(), Extra, sizeof(RGBQUAD) * N);
  }
  Out = TSurface{};
  Out.Bits = const_cast<std::uint8_t*>(static_cast<const std::uint8_t*>(Bits));
  Out.Width = H.biWidth;
  Out.Height = Height;
  Out.Stride = static_cast<int>(Stride);
  Out.BitsPerPixel = Bpp;
  Out.TopDown = H.biHeight < 0;
  Out.Colors = Colors.empty() ? nullptr : Colors.data();
  Out.ColorCount = static_cast<int>(Colors.size());
  return true;
}

} // namespace GdiInternal

const RGBQUAD* HalftoneColors() { return Tables().Halftone; }

std::unique_ptr<TGdiBitmap> TGdiBitmap::Make(int Width, int Height, int BitsPerPixel, bool TopDown, bool DibSection,
                                             const RGBQUAD* Colors, int ColorCount)
{
  if (Width <= 0 || Height <= 0 || !ValidDepth(BitsPerPixel))
    return nullptr;
  std::size_t Stride = GdiInternal::DibStride(Width, BitsPerPixel);
  if (Stride > MaxBitmapBytes || Stride * static_cast<std::size_t>(Height) > MaxBitmapBytes)
    return nullptr;
  std::unique_ptr<TGdiBitmap> B(new TGdiBitmap());
  std::size_t Bytes = Stride * static_cast<std::size_t>(Height);
  B->FMemory.reset(new (std::nothrow) std::uint8_t[Bytes]());
  if (!B->FMemory)
    return nullptr;
  B->DibSection = DibSection;
  if (BitsPerPixel <= 8) {
    int Count = 0;
    const RGBQUAD* Defaults = GdiInternal::DefaultColors(BitsPerPixel, Count);
    B->ColorTable.assign(Defaults, Defaults + Count);
    if (Colors) {
      for (int I = 0; I < Count; ++I)
        B->ColorTable[I] = I < ColorCount ? Colors[I] : RGBQUAD{};
    }
  }
  B->Surface.Bits = B->FMemory.get();
  B->Surface.Width = Width;
  B->Surface.Height = Height;
  B->Surface.Stride = static_cast<int>(Stride);
  B->Surface.BitsPerPixel = BitsPerPixel;
  B->Surface.TopDown = TopDown;
  B->SyncColors();
  return B;
}

void TGdiBitmap::SyncColors()
{
  Surface.Colors = ColorTable.empty() ? nullptr : ColorTable.data();
  Surface.ColorCount = static_cast<int>(ColorTable.size());
}

int TGdiBitmap::GetObjectData(int Size, void* Buffer)
{
  BITMAP Bm;
  Bm.bmType = 0;
  Bm.bmWidth = Surface.Width;
  Bm.bmHeight = Surface.Height;
  Bm.bmPlanes = 1;
  Bm.bmBitsPixel = static_cast<WORD>(Surface.BitsPerPixel);
  if (DibSection) {
    Bm.bmWidthBytes = Surface.Stride;
    Bm.bmBits = Surface.Bits;
  } else {
    Bm.bmWidthBytes = ((Surface.Width * Surface.BitsPerPixel + 15) / 16) * 2;
    Bm.bmBits = nullptr;
  }
  if (DibSection && (!Buffer || Size >= static_cast<int>(sizeof(DIBSECTION)))) {
    if (!Buffer)
      return sizeof(DIBSECTION);
    DIBSECTION Ds;
    Ds.dsBm = Bm;
    Ds.dsBmih.biWidth = Surface.Width;
    Ds.dsBmih.biHeight = Surface.TopDown ? -Surface.Height : Surface.Height;
    Ds.dsBmih.biPlanes = 1;
    Ds.dsBmih.biBitCount = static_cast<WORD>(Surface.BitsPerPixel);
    Ds.dsBmih.biCompression = BI_RGB;
    Ds.dsBmih.biSizeImage = static_cast<DWORD>(Surface.Stride) * Surface.Height;
    Ds.dsBmih.biClrUsed = static_cast<DWORD>(ColorTable.size());
    std::memcpy(Buffer, &Ds, sizeof(Ds));
    return sizeof(DIBSECTION);
  }
  if (!Buffer)
    return sizeof(BITMAP);
  int N = Size < static_cast<int>(sizeof(BITMAP)) ? Size : static_cast<int>(sizeof(BITMAP));
  std::memcpy(Buffer, &Bm, N);
  return N;
}

TGdiBitmap* BitmapFromHandle(HBITMAP Bitmap) { return GdiLookup<TGdiBitmap>(Bitmap, OBJ_BITMAP); }

HBITMAP CreateBitmap(int Width, int Height, UINT Planes, UINT BitCount, const void* Bits)
{
  if (Width == 0 || Height == 0)
    return GdiInternal::DefaultBitmap();
  if (Width < 0 || Height < 0 || Planes != 1) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return nullptr;
  }
  int Bpp = BitCount == 16 ? 32 : static_cast<int>(BitCount);
  if (Bpp <= 1)
    Bpp = 1;
  else if (Bpp <= 4)
    Bpp = 4;
  else if (Bpp <= 8)
    Bpp = 8;
  else if (Bpp <= 24)
    Bpp = 24;
  else
    Bpp = 32;
  auto B = TGdiBitmap::Make(Width, Height, Bpp, true, false);
  if (!B) {
    SetLastError(ERROR_NOT_ENOUGH_MEMORY);
    return nullptr;
  }
  if (Bits) {
    // Caller rows are padded to 2 bytes (the BITMAP layout); 16-bit input is not converted.
    std::size_t InStride = ((static_cast<std::size_t>(Width) * BitCount + 15) / 16) * 2;
    std::size_t RowBytes = (static_cast<std::size_t>(Width) * Bpp + 7) / 8;
    if (static_cast<int>(BitCount) == Bpp) {
      for (int Y = 0; Y < Height; ++Y)
        std::memcpy(B->Surface.Row(Y), static_cast<const std::uint8_t*>(Bits) + Y * InStride, RowBytes);
    }
  }
  return static_cast<HBITMAP>(GdiRegisterObject(std::move(B)));
}

HBITMAP CreateBitmapIndirect(const BITMAP* Bitmap)
{
  if (!Bitmap)
    return nullptr;
  return CreateBitmap(Bitmap->bmWidth, Bitmap->bmHeight, Bitmap->bmPlanes, Bitmap->bmBitsPixel, Bitmap->bmBits);
}

HBITMAP CreateCompatibleBitmap(HDC DC, int Width, int Height)
{
  TDeviceContext* D = DcFromHandle(DC);
  if (!D || Width < 0 || Height < 0)
    return nullptr;
  if (Width == 0 || Height == 0)
    return GdiInternal::DefaultBitmap();
  const TGdiBitmap* Current = D->TargetBitmap();
  int Bpp = Current->Surface.BitsPerPixel;
  std::unique_ptr<TGdiBitmap> B;
  if (D->Kind == TDeviceContext::dkMemory && Current->DibSection) {
    // Compatible with a DIB section: a DIB section of the same format.
    B = TGdiBitmap::Make(Width, Height, Bpp, true, true, Current->ColorTable.data(),
                         static_cast<int>(Current->ColorTable.size()));
  } else {
    B = TGdiBitmap::Make(Width, Height, Bpp, true, false);
  }
  if (!B) {
    SetLastError(ERROR_NOT_ENOUGH_MEMORY);
    return nullptr;
  }
  return static_cast<HBITMAP>(GdiRegisterObject(std::move(B)));
}

HBITMAP CreateDIBSection(HDC, const BITMAPINFO* Info, UINT Usage, void** Bits, HANDLE Section, DWORD)
{
  if (Bits)
    *Bits = nullptr;
  TSurface View;
  std::vector<RGBQUAD> Colors;
  if (Section || !GdiInternal::DescribeDib(Info, nullptr, Usage, View, Colors)) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return nullptr;
  }
  auto B = TGdiBitmap::Make(View.Width, View.Height, View.BitsPerPixel, View.TopDown, true, Colors.data(),
                            static_cast<int>(Colors.size()));
  if (!B) {
    SetLastError(ERROR_NOT_ENOUGH_MEMORY);
    return nullptr;
  }
  void* Memory = B->Surface.Bits;
  HBITMAP H = static_cast<HBITMAP>(GdiRegisterObject(std::move(B)));
  if (Bits)
    *Bits = Memory;
  return H;
}

HBITMAP CreateDIBitmap(HDC DC, const BITMAPINFOHEADER* Header, DWORD Init, const void* Bits, const BITMAPINFO* Info,
                       UINT Usage)
{
  if (!Header || Header->biWidth <= 0 || Header->biHeight == 0)
    return nullptr;
  int Height = Header->biHeight < 0 ? -Header->biHeight : Header->biHeight;
  HBITMAP B;
  if (DC) {
    B = CreateCompatibleBitmap(DC, Header->biWidth, Height);
  } else {
    B = CreateBitmap(Header->biWidth, Height, 1, 1, nullptr);
  }
  if (!B)
    return nullptr;
  if ((Init & CBM_INIT) && Bits && Info) {
    if (SetDIBits(DC, B, 0, static_cast<UINT>(Height), Bits, Info, Usage) == 0) {
      DeleteObject(B);
      return nullptr;
    }
  }
  return B;
}

int GetDIBits(HDC DC, HBITMAP Bitmap, UINT Start, UINT Lines, void* Bits, BITMAPINFO* Info, UINT Usage)
{
  TGdiBitmap* B = BitmapFromHandle(Bitmap);
  if (!B || !Info || !DcFromHandle(DC) || Usage != DIB_RGB_COLORS ||
      Info->bmiHeader.biSize < sizeof(BITMAPINFOHEADER)) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return 0;
  }
  BITMAPINFOHEADER& H = Info->bmiHeader;
  const TSurface& S = B->Surface;
  if (H.biBitCount == 0) {
    // Describe the bitmap only.
    H.biWidth = S.Width;
    H.biHeight = S.Height;
    H.biPlanes = 1;
    H.biBitCount = static_cast<WORD>(S.BitsPerPixel);
    H.biCompression = BI_RGB;
    H.biSizeImage = static_cast<DWORD>(GdiInternal::DibStride(S.Width, S.BitsPerPixel) * S.Height);
    H.biClrUsed = 0;
    H.biClrImportant = 0;
    return 1;
  }
  int Bpp = H.biBitCount;
  if (!ValidDepth(Bpp) || (H.biCompression != BI_RGB && !(H.biCompression == BI_BITFIELDS && Bpp == 32)))
    return 0;
  if (H.biWidth != S.Width)
    H.biWidth = S.Width;
  bool TopDown = H.biHeight < 0;
  int Height = S.Height;
  H.biSizeImage = static_cast<DWORD>(GdiInternal::DibStride(S.Width, Bpp) * Height);
  H.biPlanes = 1;
  auto* Extra = reinterpret_cast<std::uint8_t*>(Info) + H.biSize;
  std::vector<RGBQUAD> Table;
  if (Bpp <= 8) {
    if (Bpp == S.BitsPerPixel && S.IsIndexed()) {
      Table = B->ColorTable;
    } else {
      int Count = 0;
      const RGBQUAD* Def = GdiInternal::DefaultColors(Bpp, Count);
      Table.assign(Def, Def + Count);
    }
    std::memcpy(Extra, Table.data(), sizeof(RGBQUAD) * Table.size());
    H.biClrUsed = 0;
  } else if (H.biCompression == BI_BITFIELDS) {
    const DWORD Masks[3] = {0xFF0000, 0xFF00, 0xFF};
    std::memcpy(Extra, Masks, sizeof(Masks));
  }
  if (!Bits)
    return 1;
  if (Start >= static_cast<UINT>(Height))
    return 0;
  UINT Count = Lines;
  if (Count > static_cast<UINT>(Height) - Start)
    Count = static_cast<UINT>(Height) - Start;
  TSurface Out;
  Out.Bits = static_cast<std::uint8_t*>(Bits);
  Out.Width = S.Width;
  Out.Height = static_cast<int>(Count);
  Out.Stride = static_cast<int>(GdiInternal::DibStride(S.Width, Bpp));
  Out.BitsPerPixel = Bpp;
  Out.TopDown = TopDown;
  Out.Colors = Table.empty() ? nullptr : Table.data();
  Out.ColorCount = static_cast<int>(Table.size());
  // Scan line Start is the top row for a top-down request, the bottom row otherwise.
  for (UINT I = 0; I < Count; ++I) {
    int Scan = static_cast<int>(Start + I);
    int SrcY = TopDown ? Scan : Height - 1 - Scan;
    int OutY = TopDown ? static_cast<int>(I) : static_cast<int>(Count - 1 - I);
    ConvertRows(S, Out, SrcY, OutY, 1);
  }
  return static_cast<int>(Count);
}

int SetDIBits(HDC, HBITMAP Bitmap, UINT Start, UINT Lines, const void* Bits, const BITMAPINFO* Info, UINT Usage)
{
  TGdiBitmap* B = BitmapFromHandle(Bitmap);
  TSurface In;
  std::vector<RGBQUAD> Colors;
  if (!B || !Bits || !GdiInternal::DescribeDib(Info, Bits, Usage, In, Colors)) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return 0;
  }
  const TSurface& S = B->Surface;
  int Height = S.Height < In.Height ? S.Height : In.Height;
  if (Start >= static_cast<UINT>(Height))
    return 0;
  UINT Count = Lines;
  if (Count > static_cast<UINT>(Height) - Start)
    Count = static_cast<UINT>(Height) - Start;
  // The buffer holds Count rows starting at scan line Start.
  TSurface Band = In;
  Band.Height = static_cast<int>(Count);
  for (UINT I = 0; I < Count; ++I) {
    int Scan = static_cast<int>(Start + I);
    int DstY = In.TopDown ? Scan : S.Height - 1 - Scan;
    int BandY = In.TopDown ? static_cast<int>(I) : static_cast<int>(Count - 1 - I);
    if (DstY < 0 || DstY >= S.Height)
      continue;
    ConvertRows(Band, S, BandY, DstY, 1);
  }
  return static_cast<int>(Count);
}

UINT GetDIBColorTable(HDC DC, UINT Start, UINT Count, RGBQUAD* Colors)
{
  TDeviceContext* D = DcFromHandle(DC);
  if (!D || !Colors)
    return 0;
  TGdiBitmap* B = D->TargetBitmap();
  if (!B->DibSection || Start >= B->ColorTable.size())
    return 0;
  UINT N = Count;
  if (N > B->ColorTable.size() - Start)
    N = static_cast<UINT>(B->ColorTable.size() - Start);
  std::memcpy(Colors, B->ColorTable.data() + Start, N * sizeof(RGBQUAD));
  return N;
}

UINT SetDIBColorTable(HDC DC, UINT Start, UINT Count, const RGBQUAD* Colors)
{
  TDeviceContext* D = DcFromHandle(DC);
  if (!D || !Colors)
    return 0;
  TGdiBitmap* B = D->TargetBitmap();
  if (!B->DibSection || Start >= B->ColorTable.size())
    return 0;
  UINT N = Count;
  if (N > B->ColorTable.size() - Start)
    N = static_cast<UINT>(B->ColorTable.size() - Start);
  std::memcpy(B->ColorTable.data() + Start, Colors, N * sizeof(RGBQUAD));
  B->SyncColors();
  return N;
}

LONG GetBitmapBits(HBITMAP Bitmap, LONG Size, LPVOID Bits)
{
  TGdiBitmap* B = BitmapFromHandle(Bitmap);
  if (!B)
    return 0;
  const TSurface& S = B->Surface;
  std::size_t OutStride = ((static_cast<std::size_t>(S.Width) * S.BitsPerPixel + 15) / 16) * 2;
  std::size_t Total = OutStride * S.Height;
  if (!Bits)
    return static_cast<LONG>(Total);
  if (Size <= 0)
    return 0;
  std::size_t Want = static_cast<std::size_t>(Size) < Total ? static_cast<std::size_t>(Size) : Total;
  auto* Out = static_cast<std::uint8_t*>(Bits);
  std::size_t Done = 0;
  for (int Y = 0; Y < S.Height && Done < Want; ++Y) {
    std::size_t N = OutStride < Want - Done ? OutStride : Want - Done;
    std::size_t Row = static_cast<std::size_t>(S.Stride) < N ? static_cast<std::size_t>(S.Stride) : N;
    std::memcpy(Out + Done, S.Row(Y), Row);
    if (N > Row)
      std::memset(Out + Done + Row, 0, N - Row);
    Done += N;
  }
  return static_cast<LONG>(Done);
}

LONG SetBitmapBits(HBITMAP Bitmap, DWORD Size, const void* Bits)
{
  TGdiBitmap* B = BitmapFromHandle(Bitmap);
  if (!B || !Bits)
    return 0;
  const TSurface& S = B->Surface;
  std::size_t InStride = ((static_cast<std::size_t>(S.Width) * S.BitsPerPixel + 15) / 16) * 2;
  std::size_t RowBytes = (static_cast<std::size_t>(S.Width) * S.BitsPerPixel + 7) / 8;
  const auto* In = static_cast<const std::uint8_t*>(Bits);
  std::size_t Done = 0;
  for (int Y = 0; Y < S.Height && Done + InStride <= Size; ++Y) {
    std::memcpy(S.Row(Y), In + Done, RowBytes);
    Done += InStride;
  }
  return static_cast<LONG>(Done);
}
