// Icons in a tray of the window system. Where the panel shows items over the session bus (a
// StatusNotifierWatcher runs) the icon becomes such an item (WinTraySni.cpp). Otherwise (on X11
// the system tray protocol) each icon is a small top-level window of its own that the display
// backend docks in the running tray. The window draws the icon (through the painter the class
// library installs), shows the icon's tip while the pointer rests on it, and reports the mouse to
// the icon's owner as the notification area does: the owner's callback message with the icon id
// and the mouse message.
#include <algorithm>
#include <functional>
#include <map>

#include "platform/display/DisplayBackend.h"
#include "platform/gdi/Gdi.h"
#include "platform/win/WinInternal.h"
#include "platform/win/WinUser.h"

using namespace QvWin;

namespace {

constexpr char IconClass[] = "QvTrayIconWindow";
constexpr char TipClass[] = "QvTrayTipWindow";
constexpr int IconSize = 24;
constexpr UINT_PTR TipTimer = 1;
constexpr UINT TipDelay = 500;

struct TDocked {
  HWND Owner = nullptr;
  UINT Id = 0;
  UINT Callback = 0;
  HICON Icon = nullptr;
  String Tip;
  HWND TipWindow = nullptr;
  bool Hovering = false;
};

std::map<HWND, TDocked>& Docked()
{
  static auto* M = new std::map<HWND, TDocked>;
  return *M;
}

TTrayIconPainter& Painter()
{
  static auto* P = new TTrayIconPainter;
  return *P;
}

bool PointerOver(HWND Wnd)
{
  POINT P{};
  RECT R{};
  return GetCursorPos(&P) && GetWindowRect(Wnd, &R) && PtInRect(&R, P);
}

void HideTip(TDocked& D)
{
  if (D.TipWindow) ShowWindow(D.TipWindow, SW_HIDE);
}

void ShowTip(HWND Wnd, TDocked& D)
{
  if (D.Tip.empty()) return;
  if (!D.TipWindow)
    D.TipWindow = CreateWindowExA(WS_EX_TOOLWINDOW | WS_EX_TOPMOST | WS_EX_NOACTIVATE, TipClass, "", WS_POPUP, 0, 0, 1,
                                  1, nullptr, nullptr, nullptr, nullptr);
  if (!D.TipWindow) return;
  SetWindowTextA(D.TipWindow, D.Tip.c_str());
  HDC Dc = GetDC(D.TipWindow);
  HGDIOBJ Old = SelectObject(Dc, GetStockObject(DEFAULT_GUI_FONT));
  RECT Text{0, 0, 0, 0};
  DrawTextA(Dc, D.Tip.c_str(), static_cast<int>(D.Tip.size()), &Text, DT_CALCRECT | DT_NOPREFIX);
  SelectObject(Dc, Old);
  ReleaseDC(D.TipWindow, Dc);
  POINT P{};
  GetCursorPos(&P);
  RECT Icon{};
  GetWindowRect(Wnd, &Icon);
  const int W = Text.right + 8, H = Text.bottom + 4;
  // Below the icon, or above it when the tray is at the bottom of the screen.
  int Y = Icon.bottom + 2;
  if (Y + H > GetSystemMetrics(SM_CYSCREEN)) Y = Icon.top - H - 2;
  int X = std::clamp<int>(P.x, 0, std::max(0, GetSystemMetrics(SM_CXSCREEN) - W));
  SetWindowPos(D.TipWindow, HWND_TOPMOST, X, Y, W, H, SWP_NOACTIVATE | SWP_SHOWWINDOW);
  InvalidateRect(D.TipWindow, nullptr, TRUE);
}

LRESULT TipProc(HWND Wnd, UINT Msg, WPARAM WParam, LPARAM LParam)
{
  if (Msg == WM_PAINT) {
    PAINTSTRUCT Ps{};
    HDC Dc = BeginPaint(Wnd, &Ps);
    RECT R{};
    GetClientRect(Wnd, &R);
    FillRect(Dc, &R, GetSysColorBrush(COLOR_INFOBK));
    FrameRect(Dc, &R, GetSysColorBrush(COLOR_INFOTEXT));
    char Text[256] = {};
    GetWindowTextA(Wnd, Text, sizeof Text);
    HGDIOBJ Old = SelectObject(Dc, GetStockObject(DEFAULT_GUI_FONT));
    SetBkMode(Dc, TRANSPARENT);
    SetTextColor(Dc, GetSysColor(COLOR_INFOTEXT));
    RECT T = R;
    InflateRect(&T, -4, -2);
    DrawTextA(Dc, Text, -1, &T, DT_NOPREFIX);
    SelectObject(Dc, Old);
    EndPaint(Wnd, &Ps);
    return 0;
  }
  if (Msg == WM_MOUSEACTIVATE) return MA_NOACTIVATE;
  return DefWindowProcA(Wnd, Msg, WParam, LParam);
}

LRESULT IconProc(HWND Wnd, UINT Msg, WPARAM WParam, LPARAM LParam)
{
  auto It = Docked().find(Wnd);
  if (It == Docked().end()) return DefWindowProcA(Wnd, Msg, WParam, LParam);
  TDocked& D = It->second;
  switch (Msg) {
    case WM_PAINT: {
      PAINTSTRUCT Ps{};
      HDC Dc = BeginPaint(Wnd, &Ps);
      RECT R{};
      GetClientRect(Wnd, &R);
      FillRect(Dc, &R, GetSysColorBrush(COLOR_BTNFACE));
      if (D.Icon && Painter()) {
        RECT I = R;
        if (R.right > 8 && R.bottom > 8) InflateRect(&I, -2, -2);
        Painter()(Dc, D.Icon, I);
      }
      EndPaint(Wnd, &Ps);
      return 0;
    }
    case WM_ERASEBKGND: return 1;
    case WM_MOUSEACTIVATE: return MA_NOACTIVATE;
    case WM_MOUSEMOVE:
      if (!D.Hovering) {
        D.Hovering = true;
        SetTimer(Wnd, TipTimer, TipDelay, nullptr);
      }
      [[fallthrough]];
    case WM_LBUTTONDOWN:
    case WM_LBUTTONUP:
    case WM_LBUTTONDBLCLK:
    case WM_RBUTTONDOWN:
    case WM_RBUTTONUP:
    case WM_RBUTTONDBLCLK:
    case WM_MBUTTONDOWN:
    case WM_MBUTTONUP:
    case WM_MBUTTONDBLCLK:
      if (Msg != WM_MOUSEMOVE) HideTip(D);
      if (D.Callback != 0) PostMessageA(D.Owner, D.Callback, D.Id, static_cast<LPARAM>(Msg));
      return 0;
    case WM_TIMER:
      if (WParam != TipTimer) break;
      if (!PointerOver(Wnd)) {
        // The pointer left: the tip goes, the next rest starts the delay again.
        KillTimer(Wnd, TipTimer);
        D.Hovering = false;
        HideTip(D);
      } else if (!D.TipWindow || !IsWindowVisible(D.TipWindow)) {
        ShowTip(Wnd, D);
        SetTimer(Wnd, TipTimer, 100, nullptr);
      }
      return 0;
    case WM_DESTROY:
      KillTimer(Wnd, TipTimer);
      if (D.TipWindow) DestroyWindow(D.TipWindow);
      D.TipWindow = nullptr;
      return 0;
    case WM_NCDESTROY: Docked().erase(It); return 0;
    default: break;
  }
  return DefWindowProcA(Wnd, Msg, WParam, LParam);
}

void RegisterClasses()
{
  static bool Done = false;
  if (Done) return;
  Done = true;
  WNDCLASSA C{};
  C.style = CS_DBLCLKS;
  C.lpfnWndProc = IconProc;
  C.hCursor = LoadCursorA(nullptr, IDC_ARROW);
  C.lpszClassName = IconClass;
  RegisterClassA(&C);
  WNDCLASSA T{};
  T.lpfnWndProc = TipProc;
  T.hCursor = LoadCursorA(nullptr, IDC_ARROW);
  T.lpszClassName = TipClass;
  RegisterClassA(&T);
}

}  // namespace

void SetTrayIconPainter(TTrayIconPainter Painter_) { Painter() = std::move(Painter_); }

namespace QvWin {

void PaintTrayIcon(HDC DC, HICON Icon, const RECT& Rect)
{
  if (Icon && Painter()) Painter()(DC, Icon, Rect);
}

HWND DockTrayIcon(HWND Owner, UINT Id, UINT Callback, HICON Icon, const String& Tip)
{
  if (StatusNotifierAvailable())
    if (HWND Item = AddStatusNotifierItem(Owner, Id, Callback, Icon, Tip)) return Item;
  RegisterClasses();
  HWND Wnd = CreateWindowExA(WS_EX_TOOLWINDOW | WS_EX_NOACTIVATE, IconClass, Tip.c_str(), WS_POPUP, 0, 0, IconSize,
                             IconSize, nullptr, nullptr, nullptr, nullptr);
  TWnd* W = LookupLive(Wnd);
  if (W == nullptr) return nullptr;
  TDocked D;
  D.Owner = Owner;
  D.Id = Id;
  D.Callback = Callback;
  D.Icon = Icon;
  D.Tip = Tip;
  Docked()[Wnd] = D;
  W->TrayIcon = true;
  SurfaceCreate(W);
  if (!W->Surface || W->Surface->Display == 0 || !GetDisplayBackend().DockInTray(W->Surface->Display)) {
    DestroyWindow(Wnd);
    return nullptr;
  }
  ShowWindow(Wnd, SW_SHOWNA);
  UpdateWindow(Wnd);
  return Wnd;
}

void UpdateDockedIcon(HWND IconWindow, UINT Callback, HICON Icon, const String& Tip)
{
  if (UpdateStatusNotifierItem(IconWindow, Callback, Icon, Tip)) return;
  auto It = Docked().find(IconWindow);
  if (It == Docked().end()) return;
  It->second.Callback = Callback;
  It->second.Icon = Icon;
  if (It->second.Tip != Tip) {
    It->second.Tip = Tip;
    if (It->second.TipWindow && IsWindowVisible(It->second.TipWindow)) ShowTip(IconWindow, It->second);
    if (Tip.empty()) HideTip(It->second);
  }
  InvalidateRect(IconWindow, nullptr, FALSE);
}

void RemoveDockedIcon(HWND IconWindow)
{
  if (IsWindow(IconWindow)) DestroyWindow(IconWindow);
}

void TrayRestarted()
{
  PostMessageA(HWND_BROADCAST, RegisterWindowMessageA("TaskbarCreated"), 0, 0);
}

}  // namespace QvWin
