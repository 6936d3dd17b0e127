#include "platform/vcl/Themes.h"

#include "platform/gdi/Gdi.h"
#include "platform/win/WinUser.h"

TThemeServices* ThemeServices()
{
  static TThemeServices Services;
  return &Services;
}

void TThemeServices::DrawParentBackground(HWND Wnd, HDC DC, const void*, bool, const TRect* Bounds)
{
  HWND Parent = Wnd ? GetParent(Wnd) : nullptr;
  if (!Parent || !DC) return;
  POINT Corner{0, 0};
  MapWindowPoints(Wnd, Parent, &Corner, 1);
  const int Saved = SaveDC(DC);
  if (Bounds) IntersectClipRect(DC, Bounds->left, Bounds->top, Bounds->right, Bounds->bottom);
  OffsetViewportOrgEx(DC, -Corner.x, -Corner.y, nullptr);
  try {
    SendMessageA(Parent, WM_ERASEBKGND, reinterpret_cast<WPARAM>(DC), 0);
    SendMessageA(Parent, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(DC), PRF_CLIENT);
  } catch (...) {
    RestoreDC(DC, Saved);
    throw;
  }
  RestoreDC(DC, Saved);
}
