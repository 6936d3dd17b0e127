// Pens.
#include "platform/gdi/GdiPen.h"

#include <cstring>

#include "platform/rtl/Exceptions.h"

int TGdiPen::GetObjectData(int Size, void* Buffer)
{
  if (ObjectType == OBJ_EXTPEN) {
    int Need = static_cast<int>(sizeof(EXTLOGPEN) + (UserStyle.empty() ? 0 : (UserStyle.size() - 1) * sizeof(DWORD)));
    if (!Buffer)
      return Need;
    if (Size < Need)
      return 0;
    EXTLOGPEN P;
    P.elpPenStyle = Style;
    P.elpWidth = static_cast<DWORD>(Width);
    P.elpBrushStyle = BrushStyle;
    P.elpColor = Color;
    P.elpHatch = Hatch;
    P.elpNumEntries = static_cast<DWORD>(UserStyle.size());
    std::memcpy(Buffer, &P, sizeof(P));
    if (!UserStyle.empty())
      std::memcpy(static_cast<std::uint8_t*>(Buffer) + offsetof(EXTLOGPEN, elpStyleEntry), UserStyle.data(),
                  UserStyle.size() * sizeof(DWORD));
    return Need;
  }
  if (!Buffer)
    return sizeof(LOGPEN);
  LOGPEN P;
  P.lopnStyle = Style;
  P.lopnWidth.x = Width;
  P.lopnColor = Color;
  int N = Size < static_cast<int>(sizeof(P)) ? Size : static_cast<int>(sizeof(P));
  std::memcpy(Buffer, &P, N);
  return N;
}

TGdiPen* PenFromHandle(HPEN Pen) { return GdiLookup<TGdiPen>(Pen, OBJ_PEN); }

HPEN CreatePen(int Style, int Width, COLORREF Color)
{
  if (Style < 0 || Style > static_cast<int>(PS_INSIDEFRAME)) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return nullptr;
  }
  auto P = std::make_unique<TGdiPen>(false);
  P->Style = static_cast<DWORD>(Style);
  P->Width = Width < 0 ? 0 : Width;
  P->Color = Color;
  // Wide pens draw styled lines solid, as the classic cosmetic pens do.
  if (P->Width > 1 && Style >= static_cast<int>(PS_DASH) && Style <= static_cast<int>(PS_DASHDOTDOT))
    P->Style = PS_SOLID;
  return static_cast<HPEN>(GdiRegisterObject(std::move(P)));
}

HPEN CreatePenIndirect(const LOGPEN* Pen)
{
  if (!Pen)
    return nullptr;
  return CreatePen(static_cast<int>(Pen->lopnStyle), Pen->lopnWidth.x, Pen->lopnColor);
}

HPEN ExtCreatePen(DWORD Style, DWORD Width, const LOGBRUSH* Brush, DWORD StyleCount, const DWORD* StyleEntries)
{
  DWORD Line = Style & PS_STYLE_MASK;
  bool Geometric = (Style & PS_TYPE_MASK) == PS_GEOMETRIC;
  if (!Brush || Line > PS_ALTERNATE || (Line == PS_USERSTYLE) != (StyleCount > 0) || StyleCount > 16 ||
      (StyleCount && !StyleEntries) || (!Geometric && Width != 1) || (Line == PS_ALTERNATE && Geometric) ||
      Width > 0x7FFFFFFF) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return nullptr;
  }
  auto P = std::make_unique<TGdiPen>(true);
  P->Style = Style;
  P->Width = static_cast<int>(Width);
  P->Color = Brush->lbColor;
  P->BrushStyle = Brush->lbStyle;
  P->Hatch = Brush->lbHatch;
  if (StyleCount)
    P->UserStyle.assign(StyleEntries, StyleEntries + StyleCount);
  return static_cast<HPEN>(GdiRegisterObject(std::move(P)));
}
