// Pens (HPEN): cosmetic and geometric, with the dash styles of Windows.
#pragma once

#include <vector>

#include "platform/gdi/GdiObject.h"

class TGdiPen : public TGdiObject {
public:
  explicit TGdiPen(bool Extended) : TGdiObject(Extended ? OBJ_EXTPEN : OBJ_PEN) {}

  DWORD Style = PS_SOLID; // the whole style word (type, end cap, join, line style)
  int Width = 1;
  COLORREF Color = 0;
  UINT BrushStyle = BS_SOLID;
  ULONG_PTR Hatch = 0;
  std::vector<DWORD> UserStyle;
  // The stock DC_PEN: draws in the DC's pen colour.
  bool DcColor = false;

  DWORD LineStyle() const { return Style & PS_STYLE_MASK; }
  int GetObjectData(int Size, void* Buffer) override;
};

TGdiPen* PenFromHandle(HPEN Pen);
