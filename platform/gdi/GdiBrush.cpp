// Brushes.
#include "platform/gdi/GdiBrush.h"

#include <cstring>

#include "platform/rtl/Exceptions.h"

int TGdiBrush::GetObjectData(int Size, void* Buffer)
{
  if (!Buffer)
    return sizeof(LOGBRUSH);
  LOGBRUSH B;
  B.lbStyle = Style;
  B.lbColor = Color;
  if (Style == BS_HATCHED)
    B.lbHatch = static_cast<ULONG_PTR>(Hatch);
  else if (Style == BS_PATTERN)
    B.lbHatch = reinterpret_cast<ULONG_PTR>(PatternHandle);
  int N = Size < static_cast<int>(sizeof(B)) ? Size : static_cast<int>(sizeof(B));
  std::memcpy(Buffer, &B, N);
  return N;
}

TGdiBrush* BrushFromHandle(HBRUSH Brush) { return GdiLookup<TGdiBrush>(Brush, OBJ_BRUSH); }

std::uint8_t HatchRow(int Hatch, int Y)
{
  Y &= 7;
  std::uint8_t Horizontal = Y == 7 ? 0xFF : 0x00;
  std::uint8_t Vertical = 0x01;
  std::uint8_t Forward = static_cast<std::uint8_t>(0x80 >> Y); // top-left to bottom-right
  std::uint8_t Backward = static_cast<std::uint8_t>(0x01 << Y);
  switch (Hatch) {
  case HS_HORIZONTAL:
    return Horizontal;
  case HS_VERTICAL:
    return Vertical;
  case HS_FDIAGONAL:
    return Forward;
  case HS_BDIAGONAL:
    return Backward;
  case HS_CROSS:
    return static_cast<std::uint8_t>(Horizontal | Vertical);
  case HS_DIAGCROSS:
    return static_cast<std::uint8_t>(Forward | Backward);
  default:
    return 0;
  }
}

HBRUSH CreateSolidBrush(COLORREF Color)
{
  auto B = std::make_unique<TGdiBrush>();
  B->Style = BS_SOLID;
  B->Color = Color & 0x00FFFFFF;
  return static_cast<HBRUSH>(GdiRegisterObject(std::move(B)));
}

HBRUSH CreateHatchBrush(int Hatch, COLORREF Color)
{
  if (Hatch < HS_HORIZONTAL || Hatch > HS_DIAGCROSS) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return nullptr;
  }
  auto B = std::make_unique<TGdiBrush>();
  B->Style = BS_HATCHED;
  B->Color = Color & 0x00FFFFFF;
  B->Hatch = Hatch;
  return static_cast<HBRUSH>(GdiRegisterObject(std::move(B)));
}

HBRUSH CreatePatternBrush(HBITMAP Bitmap)
{
  TGdiBitmap* Source = BitmapFromHandle(Bitmap);
  if (!Source) {
    SetLastError(ERROR_INVALID_HANDLE);
    return nullptr;
  }
  const TSurface& S = Source->Surface;
  auto Copy = TGdiBitmap::Make(S.Width, S.Height, S.BitsPerPixel, true, Source->DibSection,
                               Source->ColorTable.data(), static_cast<int>(Source->ColorTable.size()));
  if (!Copy)
    return nullptr;
  for (int Y = 0; Y < S.Height; ++Y)
    std::memcpy(Copy->Surface.Row(Y), S.Row(Y), static_cast<std::size_t>(S.Stride));
  auto B = std::make_unique<TGdiBrush>();
  B->Style = BS_PATTERN;
  B->Pattern = std::move(Copy);
  B->PatternHandle = Bitmap;
  return static_cast<HBRUSH>(GdiRegisterObject(std::move(B)));
}

HBRUSH CreateBrushIndirect(const LOGBRUSH* Brush)
{
  if (!Brush)
    return nullptr;
  switch (Brush->lbStyle) {
  case BS_SOLID:
    return CreateSolidBrush(Brush->lbColor);
  case BS_HATCHED:
    return CreateHatchBrush(static_cast<int>(Brush->lbHatch), Brush->lbColor);
  case BS_PATTERN:
  case BS_PATTERN8X8:
    return CreatePatternBrush(reinterpret_cast<HBITMAP>(Brush->lbHatch));
  case BS_NULL: {
    auto B = std::make_unique<TGdiBrush>();
    B->Style = BS_NULL;
    return static_cast<HBRUSH>(GdiRegisterObject(std::move(B)));
  }
  default:
    SetLastError(ERROR_INVALID_PARAMETER);
    return nullptr;
  }
}
