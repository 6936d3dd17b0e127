// The bitmap object behind HBITMAP: device-dependent bitmaps (CreateBitmap,
// CreateCompatibleBitmap) and DIB sections (CreateDIBSection) alike own their pixel memory,
// described by a TSurface. DIB sections report their memory through GetObject(DIBSECTION).
#pragma once

#include <memory>
#include <vector>

#include "platform/gdi/GdiObject.h"
#include "platform/gdi/GdiSurface.h"

class TGdiBitmap : public TGdiObject {
public:
  // Zeroed pixels; rows padded to 4 bytes. Colors gives the table for indexed depths (missing
  // entries are black; nullptr gives black/white for 1 bpp, the VGA colours for 4 bpp and the
  // halftone palette for 8 bpp). Returns nullptr when the size is out of range or memory runs out.
  static std::unique_ptr<TGdiBitmap> Make(int Width, int Height, int BitsPerPixel, bool TopDown, bool DibSection,
                                          const RGBQUAD* Colors = nullptr, int ColorCount = 0);

  TSurface Surface;
  std::vector<RGBQUAD> ColorTable;
  bool DibSection = false;
  // The memory DC this bitmap is selected into (a bitmap goes into one memory DC at a time).
  HDC SelectedDC = nullptr;

  // Refreshes Surface.Colors after ColorTable changed.
  void SyncColors();
  int GetObjectData(int Size, void* Buffer) override;

private:
  TGdiBitmap() : TGdiObject(OBJ_BITMAP) {}
  std::unique_ptr<std::uint8_t[]> FMemory;
};

TGdiBitmap* BitmapFromHandle(HBITMAP Bitmap);
// The halftone palette's 256 colours (used for CreateHalftonePalette and 8-bpp defaults).
const RGBQUAD* HalftoneColors();
