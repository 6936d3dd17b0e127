// A shown form for the edit tests (focus, painting and keys need one), the edit's pixels read
// back from the headless display, and the clipboard's text.
#pragma once

#include <cstring>
#include <memory>
#include <vector>

#include "ExtctrlsTestSupport.h"
#include "platform/win/WinUser.h"

// Show: false leaves it hidden (shown once its controls are in place).
inline std::unique_ptr<TForm> ShownEditForm(bool Show = true)
{
  EnsureHeadless();
  auto Form = std::make_unique<TForm>(nullptr);
  Form->SetBorderStyle(bsNone);
  Form->SetBounds(100, 100, 320, 160);
  Form->SetColor(clWhite);
  if (Show) {
    Form->Show();
    ProcessPendingMessages();
  }
  return Form;
}

// The colour (RGB) of a pixel of the form's window; CLR_INVALID outside it.
inline COLORREF FormPixel(TForm* Form, int X, int Y)
{
  std::vector<std::uint32_t> Pixels;
  int W = 0, H = 0;
  ProcessPendingMessages();
  if (!EnsureHeadless()->ReadPixels(GetDisplayWindow(Form->GetHandle()), Pixels, W, H) || X >= W || Y >= H)
    return CLR_INVALID;
  const std::uint32_t P = Pixels[static_cast<std::size_t>(Y * W + X)];
  return RGB((P >> 16) & 0xFF, (P >> 8) & 0xFF, P & 0xFF);
}

// Whether any pixel of the rectangle has exactly that colour.
inline bool FormHasColor(TForm* Form, const TRect& R, COLORREF Color)
{
  std::vector<std::uint32_t> Pixels;
  int W = 0, H = 0;
  ProcessPendingMessages();
  if (!EnsureHeadless()->ReadPixels(GetDisplayWindow(Form->GetHandle()), Pixels, W, H)) return false;
  for (int Y = R.top; Y < R.bottom && Y < H; ++Y)
    for (int X = R.left; X < R.right && X < W; ++X) {
      const std::uint32_t P = Pixels[static_cast<std::size_t>(Y * W + X)];
      if (RGB((P >> 16) & 0xFF, (P >> 8) & 0xFF, P & 0xFF) == Color) return true;
    }
  return false;
}

inline String ClipboardText()
{
  String Text;
  if (!OpenClipboard(nullptr)) return Text;
  if (HANDLE Data = GetClipboardData(CF_TEXT)) {
    if (auto* P = static_cast<const char*>(GlobalLock(Data))) {
      Text = P;
      GlobalUnlock(Data);
    }
  }
  CloseClipboard();
  return Text;
}

inline void SetClipboardText(const String& Text)
{
  if (!OpenClipboard(nullptr)) return;
  EmptyClipboard();
  HGLOBAL Mem = GlobalAlloc(GMEM_MOVEABLE, Text.size() + 1);
  if (auto* P = static_cast<char*>(GlobalLock(Mem))) {
    std::memcpy(P, Text.c_str(), Text.size() + 1);
    GlobalUnlock(Mem);
    SetClipboardData(CF_TEXT, Mem);
  }
  CloseClipboard();
}
