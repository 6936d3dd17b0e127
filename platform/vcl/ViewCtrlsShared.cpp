#include "platform/vcl/ViewCtrlsShared.h"

#include <algorithm>
#include <climits>
#include <map>

#include "platform/gdi/Gdi.h"
#include "platform/vcl/Controls.h"
#include "platform/vcl/StdEdit.h"

namespace {

constexpr UINT WHEEL_PAGESCROLL = UINT_MAX;

struct TEditLink {
  WNDPROC OldProc = nullptr;
  TLabelEditEnd OnEnd = nullptr;
  HWND View = nullptr;
};

std::map<HWND, TEditLink>& Links() {
  static std::map<HWND, TEditLink> Map;
  return Map;
}

LRESULT LabelEditProc(HWND Wnd, UINT Msg, WPARAM WParam, LPARAM LParam) {
  auto It = Links().find(Wnd);
  if (It == Links().end()) return DefWindowProcA(Wnd, Msg, WParam, LParam);
  TEditLink Link = It->second;
  switch (Msg) {
    case WM_GETDLGCODE:
      // Enter and Escape belong to the editor, not to the dialog around the view.
      return CallWindowProcA(Link.OldProc, Wnd, Msg, WParam, LParam) | DLGC_WANTALLKEYS;
    case WM_KEYDOWN:
      if (WParam == VK_RETURN || WParam == VK_ESCAPE) {
        if (Link.OnEnd) Link.OnEnd(Link.View, WParam == VK_ESCAPE);
        return 0;
      }
      break;
    case WM_CHAR:
      if (WParam == '\r' || WParam == '\n' || WParam == 0x1B) return 0;
      break;
    case WM_KILLFOCUS: {
      LRESULT R = CallWindowProcA(Link.OldProc, Wnd, Msg, WParam, LParam);
      // Still linked: the user moved the focus away, which keeps the text.
      if (Links().count(Wnd) && Link.OnEnd) Link.OnEnd(Link.View, false);
      return R;
    }
    case WM_NCDESTROY:
      Links().erase(Wnd);
      SetWindowLongPtrA(Wnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(Link.OldProc));
      return CallWindowProcA(Link.OldProc, Wnd, Msg, WParam, LParam);
    default: break;
  }
  return CallWindowProcA(Link.OldProc, Wnd, Msg, WParam, LParam);
}

int TextWidthIn(HWND Wnd, const String& Text) {
  HDC DC = GetDC(Wnd);
  auto Font = reinterpret_cast<HFONT>(SendMessageA(Wnd, WM_GETFONT, 0, 0));
  HGDIOBJ Old = Font ? SelectObject(DC, Font) : nullptr;
  SIZE Size{};
  String Sample = Text.empty() ? String("W") : Text;
  GetTextExtentPoint32A(DC, Sample.c_str(), static_cast<int>(Sample.size()), &Size);
  TEXTMETRICA TM{};
  GetTextMetricsA(DC, &TM);
  if (Old) SelectObject(DC, Old);
  ReleaseDC(Wnd, DC);
  return Text.empty() ? TM.tmAveCharWidth : Size.cx;
}

int FontHeightIn(HWND Wnd) {
  HDC DC = GetDC(Wnd);
  auto Font = reinterpret_cast<HFONT>(SendMessageA(Wnd, WM_GETFONT, 0, 0));
  HGDIOBJ Old = Font ? SelectObject(DC, Font) : nullptr;
  TEXTMETRICA TM{};
  GetTextMetricsA(DC, &TM);
  if (Old) SelectObject(DC, Old);
  ReleaseDC(Wnd, DC);
  return TM.tmHeight;
}

}  // namespace

HWND CreateLabelEdit(HWND View, const String& Text, HFONT Font, const RECT& Label, TLabelEditEnd OnEnd) {
  if (!RegisterEditClass()) return nullptr;
  HWND Edit = CreateWindowExA(0, "EDIT", Text.c_str(), WS_CHILD | WS_BORDER | ES_AUTOHSCROLL, Label.left, Label.top,
                              std::max<LONG>(1, Label.right - Label.left), std::max<LONG>(1, Label.bottom - Label.top),
                              View, nullptr, nullptr, nullptr);
  if (!Edit) return nullptr;
  TEditLink Link;
  Link.OnEnd = OnEnd;
  Link.View = View;
  Link.OldProc = reinterpret_cast<WNDPROC>(GetWindowLongPtrA(Edit, GWLP_WNDPROC));
  Links()[Edit] = Link;
  SetWindowLongPtrA(Edit, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(LabelEditProc));
  if (Font) SendMessageA(Edit, WM_SETFONT, reinterpret_cast<WPARAM>(Font), 0);
  SendMessageA(Edit, EM_SETSEL, 0, -1);
  FitLabelEdit(Edit, Label);
  return Edit;
}

void ShowLabelEdit(HWND Edit) {
  if (!IsWindow(Edit)) return;
  ShowWindow(Edit, SW_SHOW);
  SetFocus(Edit);
  SendMessageA(Edit, EM_SETSEL, 0, -1);
}

void FitLabelEdit(HWND Edit, const RECT& Label) {
  if (!IsWindow(Edit)) return;
  HWND View = GetParent(Edit);
  RECT C{};
  if (View) GetClientRect(View, &C);
  String Text = LabelEditText(Edit);
  // Room for the border, the margins and the caret after the last character.
  int Want = TextWidthIn(Edit, Text) + TextWidthIn(Edit, "") + 8;
  int Width = std::max<int>(Label.right - Label.left, Want);
  int Right = Label.left + Width;
  if (View && Right > C.right) Right = std::max<int>(C.right, Label.right);
  int Height = std::max<int>(Label.bottom - Label.top, FontHeightIn(Edit) + 4);
  MoveWindow(Edit, Label.left, Label.top, std::max<int>(1, Right - Label.left), Height, TRUE);
}

String LabelEditText(HWND Edit) {
  if (!IsWindow(Edit)) return String();
  int Len = static_cast<int>(SendMessageA(Edit, WM_GETTEXTLENGTH, 0, 0));
  String Text(static_cast<size_t>(std::max(Len, 0)) + 1, '\0');
  int Got = static_cast<int>(SendMessageA(Edit, WM_GETTEXT, Text.size(), reinterpret_cast<LPARAM>(Text.data())));
  Text.resize(static_cast<size_t>(std::clamp(Got, 0, Len)));
  return Text;
}

void DestroyLabelEdit(HWND Edit) {
  if (!IsWindow(Edit)) return;
  auto It = Links().find(Edit);
  HWND View = It != Links().end() ? It->second.View : GetParent(Edit);
  if (It != Links().end()) It->second.OnEnd = nullptr;
  bool HadFocus = GetFocus() == Edit;
  if (HadFocus && View && IsWindow(View)) SetFocus(View);
  DestroyWindow(Edit);
}

int WheelScrollLines(int& Accumulator, int Delta, int PageLines) {
  UINT Setting = 3;
  if (!SystemParametersInfoA(SPI_GETWHEELSCROLLLINES, 0, &Setting, 0)) Setting = 3;
  if (Setting == 0) {
    Accumulator = 0;
    return 0;
  }
  int PerNotch = Setting == WHEEL_PAGESCROLL ? std::max(1, PageLines) : static_cast<int>(std::min(Setting, 1000u));
  if ((Accumulator > 0 && Delta < 0) || (Accumulator < 0 && Delta > 0)) Accumulator = 0;
  Accumulator += Delta;
  int Lines = static_cast<int>(static_cast<long long>(Accumulator) * PerNotch / WHEEL_DELTA);
  Accumulator -= static_cast<int>(static_cast<long long>(Lines) * WHEEL_DELTA / PerNotch);
  return Lines;
}

int ThumbPosition(HWND View, int Bar, WPARAM WParam)
{
  const int Short = static_cast<short>(HIWORD(WParam));
  SCROLLINFO Si{};
  Si.cbSize = sizeof(Si);
  Si.fMask = SIF_POS;
  if (!GetScrollInfo(View, Bar, &Si)) return Short;
  const bool Wide = Si.nPos > 0x7FFF || Si.nPos < -0x8000;
  return Wide && (Si.nPos & 0xFFFF) == HIWORD(WParam) ? Si.nPos : Short;
}
