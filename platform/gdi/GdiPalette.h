// Logical palettes (HPALETTE).
#pragma once

#include <vector>

#include "platform/gdi/GdiObject.h"

class TGdiPalette : public TGdiObject {
public:
  TGdiPalette() : TGdiObject(OBJ_PAL) {}
  std::vector<PALETTEENTRY> Entries;
  int GetObjectData(int Size, void* Buffer) override;
};

TGdiPalette* PaletteFromHandle(HPALETTE Palette);
