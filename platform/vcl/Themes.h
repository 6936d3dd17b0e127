// The class library's theme services. This system draws the classic look, so visual themes
// are off (ThemesEnabled false) unless a caller turns them on; the parent-background painting
// works either way.
#pragma once

#include "platform/rtl/WinTypes.h"
#include "platform/vcl/Classes.h"

class TThemeServices {
public:
  bool ThemesEnabled() const { return FThemesEnabled; }
  // For the look of a themed desktop (and its tests).
  void SetThemesEnabled(bool Value) { FThemesEnabled = Value; }

  // Paints what the parent window of Wnd shows under it into DC (whose origin is Wnd's client
  // corner): the parent's background (WM_ERASEBKGND) and its client painting
  // (WM_PRINTCLIENT), limited to Bounds (Wnd's client coordinates) when given. The DC's origin
  // and clip are as they were afterwards. Details and OnlyIfTransparent are accepted and have
  // no effect (no element is transparent in the classic look).
  void DrawParentBackground(HWND Wnd, HDC DC, const void* Details, bool OnlyIfTransparent, const TRect* Bounds);

private:
  bool FThemesEnabled = false;
};

TThemeServices* ThemeServices();
