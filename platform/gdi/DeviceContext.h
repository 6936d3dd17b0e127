// The device context behind HDC, as the text code and the window system see it.
//
// Coordinates:
// - logical: what the drawing functions take;
// - DC coordinates ("device units" of the Win32 API): logical - WindowOrg + ViewportOrg; clip
//   regions and GetClipRgn/SelectClipRgn are in these;
// - surface pixels: DC coordinates + Origin, the pixel of the target surface. The helpers below
//   that say "Device" take and give surface pixels.
// Output is limited to the effective clip: system region (surface pixels) ∩ clip region
// (moved by Origin) ∩ surface bounds.
#pragma once

#include <cstdint>
#include <optional>
#include <vector>

#include "platform/gdi/GdiBitmap.h"
#include "platform/gdi/GdiObject.h"
#include "platform/gdi/Region.h"

class TGdiPen;
class TGdiBrush;
class TGdiPalette;

// The part of a DC that SaveDC keeps and RestoreDC brings back.
struct TDcState {
  HPEN Pen = nullptr;
  HBRUSH Brush = nullptr;
  HFONT Font = nullptr;
  HBITMAP Bitmap = nullptr;
  HPALETTE Palette = nullptr;
  std::optional<TRegion> ClipRgn; // DC coordinates; empty optional = no clip region
  POINT ViewportOrg{0, 0};
  POINT WindowOrg{0, 0};
  COLORREF TextColor = RGB(0, 0, 0);
  COLORREF BkColor = RGB(255, 255, 255);
  int BkMode = OPAQUE;
  UINT TextAlign = TA_LEFT | TA_TOP | TA_NOUPDATECP;
  int TextCharacterExtra = 0;
  int Rop2 = R2_COPYPEN;
  int StretchMode = BLACKONWHITE;
  int PolyFillMode = ALTERNATE;
  POINT CurrentPos{0, 0}; // logical
  POINT BrushOrg{0, 0};   // DC coordinates
  COLORREF DCBrushColor = RGB(255, 255, 255);
  COLORREF DCPenColor = RGB(0, 0, 0);
};

class TDeviceContext : public TGdiObject, public TDcState {
public:
  enum TKind {
    dkMemory,  // CreateCompatibleDC: draws on the selected bitmap
    dkScreen,  // CreateDC("DISPLAY"): draws on the shared screen surface
    dkSurface, // CreateSurfaceDC: draws on a fixed bitmap (a window's backing store)
  };

  explicit TDeviceContext(TKind Kind);
  ~TDeviceContext() override;

  TKind Kind;
  // DC coordinate (0,0) on the surface (surface DCs).
  POINT Origin{0, 0};
  // Limits output (surface pixels); empty optional = the whole surface.
  std::optional<TRegion> SystemRegion;
  // The window a surface DC belongs to (WindowFromDC).
  HWND Window = nullptr;
  std::vector<TDcState> SavedStates;

  // The target surface; never null (a memory DC starts with the stock 1x1 monochrome bitmap).
  TGdiBitmap* TargetBitmap() const;
  const TSurface& Surface() const { return TargetBitmap()->Surface; }

  // The selected objects (stock objects when nothing else is selected).
  TGdiPen* PenObject() const;
  TGdiBrush* BrushObject() const;
  TGdiFont* FontObject() const;
  TGdiPalette* PaletteObject() const;

  POINT LPtoDevice(POINT P) const;
  RECT LPtoDevice(const RECT& R) const; // normalised (left <= right, top <= bottom)
  POINT DeviceToLP(POINT P) const;
  // From DC coordinates to surface pixels and back.
  POINT DcToDevice(POINT P) const { return POINT{P.x + Origin.x, P.y + Origin.y}; }

  // The effective clip in surface pixels (cached; see InvalidateClip).
  const TRegion& EffectiveClip();
  // Call after changing ClipRgn, SystemRegion, Origin or the target bitmap directly.
  void InvalidateClip() { FClipValid = false; }

  // Fills a rectangle of surface pixels with a colour (alpha 0 on 32 bpp, nearest entry on
  // indexed surfaces), clipped to the effective clip and to ExtraClip (surface pixels) if given.
  void FillDeviceRect(const RECT& Device, COLORREF Color, const RECT* ExtraClip = nullptr);
  // Blends Color onto the surface with coverage 0..255 per pixel (W x H values, Stride bytes per
  // row), the top-left coverage at (DeviceX, DeviceY) in surface pixels; clipped like
  // FillDeviceRect. Coverage 255 gives Color exactly; alpha of touched 32-bpp pixels becomes 0.
  // On indexed surfaces the blended colour's nearest table entry is written.
  void BlendMask(int DeviceX, int DeviceY, const std::uint8_t* Coverage, int W, int H, int Stride, COLORREF Color,
                 const RECT* ExtraClip = nullptr);

private:
  TRegion FClip;
  bool FClipValid = false;
};

// The DC behind a handle, nullptr for a stale or non-DC handle.
TDeviceContext* DcFromHandle(HDC DC);
