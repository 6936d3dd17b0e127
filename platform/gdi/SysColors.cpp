// The system colours of the classic "Windows Standard" scheme and their brushes.
#include <atomic>
#include <mutex>

#include "platform/gdi/GdiBrush.h"
#include "platform/gdi/GdiObject.h"

namespace {

constexpr COLORREF Classic[COLOR_ENDCOLORS] = {
    RGB(212, 208, 200), // COLOR_SCROLLBAR
    RGB(58, 110, 165),  // COLOR_BACKGROUND
    RGB(10, 36, 106),   // COLOR_ACTIVECAPTION
    RGB(128, 128, 128), // COLOR_INACTIVECAPTION
    RGB(212, 208, 200), // COLOR_MENU
    RGB(255, 255, 255), // COLOR_WINDOW
    RGB(0, 0, 0),       // COLOR_WINDOWFRAME
    RGB(0, 0, 0),       // COLOR_MENUTEXT
    RGB(0, 0, 0),       // COLOR_WINDOWTEXT
    RGB(255, 255, 255), // COLOR_CAPTIONTEXT
    RGB(212, 208, 200), // COLOR_ACTIVEBORDER
    RGB(212, 208, 200), // COLOR_INACTIVEBORDER
    RGB(128, 128, 128), // COLOR_APPWORKSPACE
    RGB(10, 36, 106),   // COLOR_HIGHLIGHT
    RGB(255, 255, 255), // COLOR_HIGHLIGHTTEXT
    RGB(212, 208, 200), // COLOR_BTNFACE
    RGB(128, 128, 128), // COLOR_BTNSHADOW
    RGB(128, 128, 128), // COLOR_GRAYTEXT
    RGB(0, 0, 0),       // COLOR_BTNTEXT
    RGB(212, 208, 200), // COLOR_INACTIVECAPTIONTEXT
    RGB(255, 255, 255), // COLOR_BTNHIGHLIGHT
    RGB(64, 64, 64),    // COLOR_3DDKSHADOW
    RGB(212, 208, 200), // COLOR_3DLIGHT
    RGB(0, 0, 0),       // COLOR_INFOTEXT
    RGB(255, 255, 225), // COLOR_INFOBK
    RGB(181, 181, 181), // 25: no name, kept for completeness
    RGB(0, 0, 128),     // COLOR_HOTLIGHT
    RGB(166, 202, 240), // COLOR_GRADIENTACTIVECAPTION
    RGB(192, 192, 192), // COLOR_GRADIENTINACTIVECAPTION
    RGB(10, 36, 106),   // COLOR_MENUHILIGHT
    RGB(212, 208, 200), // COLOR_MENUBAR
};

struct TSysColors {
  std::atomic<COLORREF> Colors[COLOR_ENDCOLORS];
  HBRUSH Brushes[COLOR_ENDCOLORS] = {};
  std::mutex Lock;
  TSysColors()
  {
    for (int I = 0; I < COLOR_ENDCOLORS; ++I) {
      Colors[I] = Classic[I];
      auto B = std::make_unique<TGdiBrush>();
      B->Style = BS_SOLID;
      B->Color = Classic[I];
      B->Stock = true;
      Brushes[I] = static_cast<HBRUSH>(GdiRegisterObject(std::move(B)));
    }
  }
};

TSysColors& Sys()
{
  static TSysColors* S = new TSysColors;
  return *S;
}

} // namespace

DWORD GetSysColor(int Index)
{
  if (Index < 0 || Index >= COLOR_ENDCOLORS)
    return 0;
  return Sys().Colors[Index].load();
}

HBRUSH GetSysColorBrush(int Index)
{
  if (Index < 0 || Index >= COLOR_ENDCOLORS)
    return nullptr;
  return Sys().Brushes[Index];
}

BOOL SetSysColors(int Count, const INT* Elements, const COLORREF* Colors)
{
  if (Count < 0 || (Count > 0 && (!Elements || !Colors)))
    return FALSE;
  TSysColors& S = Sys();
  std::lock_guard<std::mutex> Guard(S.Lock);
  for (int I = 0; I < Count; ++I) {
    int E = Elements[I];
    if (E < 0 || E >= COLOR_ENDCOLORS)
      continue;
    S.Colors[E] = Colors[I] & 0x00FFFFFF;
    if (TGdiBrush* B = BrushFromHandle(S.Brushes[E]))
      B->Color = Colors[I] & 0x00FFFFFF;
  }
  return TRUE;
}
