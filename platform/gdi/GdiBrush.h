// Brushes (HBRUSH): solid, hatched, pattern and null.
#pragma once

#include <memory>

#include "platform/gdi/GdiBitmap.h"
#include "platform/gdi/GdiObject.h"

class TGdiBrush : public TGdiObject {
public:
  TGdiBrush() : TGdiObject(OBJ_BRUSH) {}

  UINT Style = BS_SOLID;
  COLORREF Color = 0;
  int Hatch = 0;
  // BS_PATTERN: a private copy of the pattern bitmap, and the handle it was made from.
  std::unique_ptr<TGdiBitmap> Pattern;
  HBITMAP PatternHandle = nullptr;
  // The stock DC_BRUSH: paints in the DC's brush colour.
  bool DcColor = false;

  int GetObjectData(int Size, void* Buffer) override;
};

TGdiBrush* BrushFromHandle(HBRUSH Brush);
// The 8x8 hatch pattern: bit (7 - x) of row y is set where the hatch line is.
std::uint8_t HatchRow(int Hatch, int Y);
