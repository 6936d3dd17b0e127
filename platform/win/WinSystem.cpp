// System services of the window layer: monitors, system metrics and parameters, the standard
// scroll bars of a window, the clipboard (text) with global memory, message boxes, the tray
// icon model.
#include <algorithm>
#include <cstring>
#include <mutex>
#include <set>

#include "platform/rtl/Exceptions.h"
#include "platform/rtl/Thread.h"
#include "platform/win/WinInternal.h"

namespace QvWin {
namespace {

std::vector<TDisplayMonitor> Monitors()
{
  auto M = GetDisplayBackend().Monitors();
  if (M.empty()) {
    TDisplayMonitor D;
    D.Monitor = D.Work = RECT{0, 0, 1024, 768};
    D.Primary = true;
    M.push_back(D);
  }
  // The primary monitor first.
  std::stable_partition(M.begin(), M.end(), [](const TDisplayMonitor& X) { return X.Primary; });
  M.front().Primary = true;
  for (std::size_t I = 1; I < M.size(); ++I) M[I].Primary = false;
  return M;
}

HMONITOR MonitorHandle(std::size_t Index) { return reinterpret_cast<HMONITOR>(static_cast<std::uintptr_t>(Index + 1)); }

long long Distance2(const RECT& R, POINT P)
{
  long long Dx = P.x < R.left ? R.left - P.x : (P.x >= R.right ? P.x - R.right + 1 : 0);
  long long Dy = P.y < R.top ? R.top - P.y : (P.y >= R.bottom ? P.y - R.bottom + 1 : 0);
  return Dx * Dx + Dy * Dy;
}

HMONITOR Fallback(DWORD Flags, const std::vector<TDisplayMonitor>& M, POINT Near)
{
  if (Flags == MONITOR_DEFAULTTONULL) return nullptr;
  if (Flags == MONITOR_DEFAULTTONEAREST) {
    std::size_t Best = 0;
    for (std::size_t I = 1; I < M.size(); ++I)
      if (Distance2(M[I].Monitor, Near) < Distance2(M[Best].Monitor, Near)) Best = I;
    return MonitorHandle(Best);
  }
  return MonitorHandle(0);
}

// ---- Clipboard and global memory ----

struct TGlobalBlock {
  std::vector<char> Data;
  int Locks = 0;
};

struct TClip {
  std::mutex Lock;
  std::set<TGlobalBlock*> Blocks;
  HWND Opener = nullptr;
  bool Open = false;
  DWORD OpenThread = 0;
  HGLOBAL Text = nullptr;  // owned by the clipboard
};

TClip& Clip()
{
  static TClip* C = new TClip;
  return *C;
}

TGlobalBlock* Block(HGLOBAL H)
{
  auto* B = static_cast<TGlobalBlock*>(H);
  std::lock_guard<std::mutex> Guard(Clip().Lock);
  return Clip().Blocks.count(B) ? B : nullptr;
}

// ---- Tray ----

struct TTray {
  std::mutex Lock;
  std::vector<TTrayIcon> Icons;
  bool Available = true;
};

TTray& Tray()
{
  static TTray* T = new TTray;
  return *T;
}

std::function<int(const String&, const String&, UINT)>& BoxHandler()
{
  static std::function<int(const String&, const String&, UINT)> H;
  return H;
}

// ---- Scroll bars ----

TScrollBar* BarOf(TWnd* W, int Bar)
{
  if (Bar == SB_VERT) return &W->VScroll;
  if (Bar == SB_HORZ) return &W->HScroll;
  return nullptr;
}

DWORD BarStyle(int Bar) { return Bar == SB_VERT ? WS_VSCROLL : WS_HSCROLL; }

// The messages a scroll-bar control answers; the SB_CTL and OBJID_CLIENT forms of the
// scroll-bar functions are these messages sent to the control.
constexpr UINT kSbmEnableArrows = 0x00E4;
constexpr UINT kSbmSetScrollInfo = 0x00E9;
constexpr UINT kSbmGetScrollInfo = 0x00EA;
constexpr UINT kSbmGetScrollBarInfo = 0x00EB;

void ShowBars(TWnd* W, DWORD Bits, bool Show)
{
  DWORD Old = W->Style;
  if (Show) W->Style |= Bits;
  else W->Style &= ~Bits;
  if (W->Style != Old) {
    W->VScroll.Shown = (W->Style & WS_VSCROLL) != 0;
    W->HScroll.Shown = (W->Style & WS_HSCROLL) != 0;
    SetWindowPos(W->Handle, nullptr, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
  }
}

void RedrawBars(TWnd* W) { RedrawWindow(W->Handle, nullptr, nullptr, RDW_FRAME | RDW_INVALIDATE | RDW_NOCHILDREN); }

int MaxPos(const TScrollBar& S) { return S.Max - std::max<int>(static_cast<int>(S.Page) - 1, 0); }

struct TThumbGeometry {
  RECT Bar{};      // window coordinates
  int Arrow = 0;
  int TrackStart = 0;  // along the bar, window coordinates
  int TrackLen = 0;
  int ThumbStart = 0;
  int ThumbLen = 0;
};

TThumbGeometry Geometry(TWnd* W, int Bar, int Pos)
{
  TThumbGeometry G;
  G.Bar = ScrollBarRect(W, Bar);
  TScrollBar& S = *BarOf(W, Bar);
  bool Vert = Bar == SB_VERT;
  int Len = Vert ? G.Bar.bottom - G.Bar.top : G.Bar.right - G.Bar.left;
  G.Arrow = std::min(Vert ? GetSystemMetrics(SM_CYVSCROLL) : GetSystemMetrics(SM_CXHSCROLL), Len / 2);
  G.TrackStart = (Vert ? G.Bar.top : G.Bar.left) + G.Arrow;
  G.TrackLen = std::max(0, Len - 2 * G.Arrow);
  int Range = S.Max - S.Min + 1;
  int Thumb = S.Page > 0 ? static_cast<int>(static_cast<long long>(G.TrackLen) * S.Page / std::max(Range, 1)) : G.Arrow;
  G.ThumbLen = std::clamp(Thumb, std::min(8, G.TrackLen), G.TrackLen);
  int Span = MaxPos(S) - S.Min;
  int Off = Span > 0 ? static_cast<int>(static_cast<long long>(G.TrackLen - G.ThumbLen) * (Pos - S.Min) / Span) : 0;
  G.ThumbStart = G.TrackStart + std::clamp(Off, 0, std::max(0, G.TrackLen - G.ThumbLen));
  return G;
}

}  // namespace

void TrackScrollBar(TWnd* W, int Bar, POINT Screen)
{
  HWND H = W->Handle;
  TScrollBar* S = BarOf(W, Bar);
  if (S == nullptr || S->Disabled == ESB_DISABLE_BOTH || (W->Style & WS_DISABLED)) return;
  UINT Msg = Bar == SB_VERT ? WM_VSCROLL : WM_HSCROLL;
  bool Vert = Bar == SB_VERT;
  POINT Org = WindowOrigin(W);
  int At = Vert ? Screen.y - Org.y : Screen.x - Org.x;
  TThumbGeometry G = Geometry(W, Bar, S->Pos);
  WORD Code;
  bool Thumb = false;
  if (At < G.TrackStart) Code = SB_LINEUP;
  else if (At >= G.TrackStart + G.TrackLen) Code = SB_LINEDOWN;
  else if (At < G.ThumbStart) Code = SB_PAGEUP;
  else if (At >= G.ThumbStart + G.ThumbLen) Code = SB_PAGEDOWN;
  else {
    Code = SB_THUMBTRACK;
    Thumb = true;
  }
  int Grab = At - G.ThumbStart;
  SetCapture(H);
  if (!Thumb) SendMessageA(H, Msg, Code, 0);
  else {
    S->Tracking = true;
    S->TrackPos = S->Pos;
  }
  constexpr UINT_PTR kRepeat = 0x53;
  if (!Thumb) SetInternalTimer(kRepeat, 100, [H, Msg, Code] {
      if (LookupLive(H) != nullptr && GetCapture() == H) SendMessageA(H, Msg, Code, 0);
    });
  MSG M{};
  for (;;) {
    BOOL R = GetMessageA(&M, nullptr, 0, 0);
    if (R <= 0) {
      if (R == 0) PostQuitMessage(static_cast<int>(M.wParam));
      break;
    }
    if (LookupLive(H) == nullptr || GetCapture() != H) break;
    if (M.hwnd == H && M.message == WM_MOUSEMOVE && Thumb) {
      W = LookupLive(H);
      S = BarOf(W, Bar);
      int Now = Vert ? M.pt.y - Org.y : M.pt.x - Org.x;
      G = Geometry(W, Bar, S->Pos);
      int Room = G.TrackLen - G.ThumbLen;
      int Span = MaxPos(*S) - S->Min;
      int Pos = Room > 0 ? S->Min + static_cast<int>(static_cast<long long>(Now - Grab - G.TrackStart) * Span / Room) : S->Min;
      Pos = std::clamp(Pos, S->Min, std::max(S->Min, MaxPos(*S)));
      if (Pos != S->TrackPos) {
        S->TrackPos = Pos;
        SendMessageA(H, Msg, MAKEWPARAM(SB_THUMBTRACK, static_cast<WORD>(Pos)), 0);
      }
      continue;
    }
    if (M.hwnd == H && M.message == WM_LBUTTONUP) break;
    if (M.message >= WM_MOUSEFIRST && M.message <= WM_MOUSELAST) continue;
    TranslateMessage(&M);
    DispatchMessageA(&M);
  }
  KillInternalTimer(kRepeat);
  if (GetCapture() == H) ReleaseCapture();
  W = LookupLive(H);
  if (W == nullptr) return;
  S = BarOf(W, Bar);
  if (Thumb) {
    S->Tracking = false;
    SendMessageA(H, Msg, MAKEWPARAM(SB_THUMBPOSITION, static_cast<WORD>(S->TrackPos)), 0);
  }
  if (LookupLive(H) != nullptr) SendMessageA(H, Msg, SB_ENDSCROLL, 0);
}

void TrayWindowDestroyed(HWND Wnd)
{
  // Icons of a window that is gone would call a dead window: they go with it.
  auto& T = Tray();
  std::vector<HWND> Docked;
  {
    std::lock_guard<std::mutex> Guard(T.Lock);
    for (const TTrayIcon& I : T.Icons)
      if (I.Wnd == Wnd && I.Docked) Docked.push_back(I.Docked);
    T.Icons.erase(std::remove_if(T.Icons.begin(), T.Icons.end(), [&](const TTrayIcon& I) { return I.Wnd == Wnd; }),
                  T.Icons.end());
  }
  for (HWND D : Docked) RemoveDockedIcon(D);
}

void ForgetDockedIcon(HWND IconWindow)
{
  if (IconWindow == nullptr) return;
  auto& T = Tray();
  {
    std::lock_guard<std::mutex> Guard(T.Lock);
    std::erase_if(T.Icons, [&](const TTrayIcon& I) { return I.Docked == IconWindow; });
  }
  RemoveDockedIcon(IconWindow);
}

void ClipboardWindowDestroyed(HWND Wnd)
{
  auto& C = Clip();
  if (C.Open && C.Opener == Wnd) {
    C.Opener = nullptr;
  }
}

}  // namespace QvWin

using namespace QvWin;

// ---------------------------------------------------------------------------------------------
// Monitors

HMONITOR MonitorFromPoint(POINT Point, DWORD Flags)
{
  auto M = Monitors();
  for (std::size_t I = 0; I < M.size(); ++I)
    if (PtInRect(&M[I].Monitor, Point)) return MonitorHandle(I);
  return Fallback(Flags, M, Point);
}

HMONITOR MonitorFromRect(const RECT* Rect, DWORD Flags)
{
  if (Rect == nullptr) return nullptr;
  auto M = Monitors();
  long long BestArea = 0;
  std::size_t Best = 0;
  bool Found = false;
  for (std::size_t I = 0; I < M.size(); ++I) {
    RECT X;
    if (!IntersectRect(&X, Rect, &M[I].Monitor)) continue;
    long long A = static_cast<long long>(X.right - X.left) * (X.bottom - X.top);
    if (!Found || A > BestArea) {
      Best = I;
      BestArea = A;
      Found = true;
    }
  }
  if (Found) return MonitorHandle(Best);
  POINT Center{(Rect->left + Rect->right) / 2, (Rect->top + Rect->bottom) / 2};
  return Fallback(Flags, M, Center);
}

HMONITOR MonitorFromWindow(HWND Wnd, DWORD Flags)
{
  TWnd* W = LookupLive(Wnd);
  if (W == nullptr) return Flags == MONITOR_DEFAULTTONULL ? nullptr : MonitorFromPoint(POINT{0, 0}, MONITOR_DEFAULTTOPRIMARY);
  RECT R = ScreenWindowRect(W);
  if ((W->Style & WS_MINIMIZE) && W->HasNormalRect) R = W->NormalRect;
  return MonitorFromRect(&R, Flags);
}

BOOL GetMonitorInfoA(HMONITOR Monitor, MONITORINFO* Info)
{
  if (Info == nullptr || (Info->cbSize != sizeof(MONITORINFO) && Info->cbSize != sizeof(MONITORINFOEXA))) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  auto M = Monitors();
  std::uintptr_t Index = reinterpret_cast<std::uintptr_t>(Monitor);
  if (Index == 0 || Index > M.size()) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  const TDisplayMonitor& D = M[Index - 1];
  Info->rcMonitor = D.Monitor;
  Info->rcWork = D.Work;
  Info->dwFlags = D.Primary ? MONITORINFOF_PRIMARY : 0;
  if (Info->cbSize == sizeof(MONITORINFOEXA)) {
    auto* Ex = static_cast<MONITORINFOEXA*>(Info);
    String Name = "\\\\.\\DISPLAY" + std::to_string(Index);
    std::memset(Ex->szDevice, 0, sizeof Ex->szDevice);
    std::memcpy(Ex->szDevice, Name.c_str(), std::min<std::size_t>(Name.size(), CCHDEVICENAME - 1));
  }
  return TRUE;
}

BOOL EnumDisplayMonitors(HDC Dc, const RECT* ClipRect, MONITORENUMPROC EnumFunc, LPARAM Data)
{
  if (EnumFunc == nullptr) return FALSE;
  auto M = Monitors();
  for (std::size_t I = 0; I < M.size(); ++I) {
    RECT R = M[I].Monitor;
    if (ClipRect != nullptr && !IntersectRect(&R, &R, ClipRect)) continue;
    if (!EnumFunc(MonitorHandle(I), Dc, &R, Data)) return TRUE;
  }
  return TRUE;
}

// ---------------------------------------------------------------------------------------------
// Metrics and parameters

int GetSystemMetrics(int Index)
{
  switch (Index) {
    case SM_CXSCREEN:
    case SM_CYSCREEN: {
      auto M = Monitors();
      const RECT& R = M.front().Monitor;
      return Index == SM_CXSCREEN ? R.right - R.left : R.bottom - R.top;
    }
    case SM_CXFULLSCREEN:
    case SM_CYFULLSCREEN: {
      auto M = Monitors();
      const RECT& R = M.front().Work;
      return Index == SM_CXFULLSCREEN ? R.right - R.left : R.bottom - R.top - 19;
    }
    case SM_XVIRTUALSCREEN:
    case SM_YVIRTUALSCREEN:
    case SM_CXVIRTUALSCREEN:
    case SM_CYVIRTUALSCREEN: {
      auto M = Monitors();
      RECT U = M.front().Monitor;
      for (auto& X : M) UnionRect(&U, &U, &X.Monitor);
      if (Index == SM_XVIRTUALSCREEN) return U.left;
      if (Index == SM_YVIRTUALSCREEN) return U.top;
      return Index == SM_CXVIRTUALSCREEN ? U.right - U.left : U.bottom - U.top;
    }
    case SM_CMONITORS: return static_cast<int>(Monitors().size());
    case SM_CXVSCROLL:
    case SM_CYHSCROLL:
    case SM_CYVSCROLL:
    case SM_CXHSCROLL:
    case SM_CYVTHUMB:
    case SM_CXHTHUMB: return 16;
    case SM_CYCAPTION: return 19;
    case SM_CXBORDER:
    case SM_CYBORDER: return 1;
    case SM_CXDLGFRAME:
    case SM_CYDLGFRAME: return 3;
    case SM_CXICON:
    case SM_CYICON:
    case SM_CXCURSOR:
    case SM_CYCURSOR: return 32;
    case SM_CYMENU: return 19;
    case SM_CYKANJIWINDOW: return 0;
    case SM_MOUSEPRESENT: return 1;
    case SM_DEBUG: return 0;
    case SM_SWAPBUTTON: return 0;
    case SM_CXMIN: return 112;
    case SM_CYMIN: return 27;
    case SM_CXSIZE:
    case SM_CYSIZE: return 18;
    case SM_CXFRAME:
    case SM_CYFRAME: return 4;
    case SM_CXMINTRACK: return 112;
    case SM_CYMINTRACK: return 27;
    case SM_CXDOUBLECLK:
    case SM_CYDOUBLECLK: return 4;
    case SM_CXICONSPACING:
    case SM_CYICONSPACING: return 75;
    case SM_MENUDROPALIGNMENT: return 0;
    case SM_CMOUSEBUTTONS: return 3;
    case SM_SECURE: return 0;
    case SM_CXEDGE:
    case SM_CYEDGE: return 2;
    case SM_CXMINSPACING: return 160;
    case SM_CYMINSPACING: return 24;
    case SM_CXSMICON:
    case SM_CYSMICON: return 16;
    case SM_CYSMCAPTION: return 15;
    case SM_CXSMSIZE: return 12;
    case SM_CYSMSIZE: return 14;
    case SM_CXMENUSIZE:
    case SM_CYMENUSIZE: return 18;
    case SM_ARRANGE: return 8;  // ARW_HIDE
    case SM_CXMINIMIZED: return 160;
    case SM_CYMINIMIZED: return 24;
    case SM_CXMAXTRACK: return GetSystemMetrics(SM_CXVIRTUALSCREEN) + 12;
    case SM_CYMAXTRACK: return GetSystemMetrics(SM_CYVIRTUALSCREEN) + 12;
    case SM_CXMAXIMIZED: return GetSystemMetrics(SM_CXFULLSCREEN) + 8;
    case SM_CYMAXIMIZED: return GetSystemMetrics(SM_CYFULLSCREEN) + 19 + 8;
    case SM_NETWORK: return 1;
    case SM_CLEANBOOT: return 0;
    case SM_CXDRAG:
    case SM_CYDRAG: return 4;
    case SM_SHOWSOUNDS: return 0;
    case SM_CXMENUCHECK:
    case SM_CYMENUCHECK: return 13;
    case SM_SLOWMACHINE: return 0;
    case SM_MIDEASTENABLED: return 0;
    case SM_MOUSEWHEELPRESENT: return 1;
    case SM_SAMEDISPLAYFORMAT: return 1;
    case SM_CXFOCUSBORDER:
    case SM_CYFOCUSBORDER: return 1;
    case SM_REMOTESESSION: return 0;
    default: return 0;
  }
}

namespace {

LOGFONTA ClassicFont(bool Bold)
{
  LOGFONTA F{};
  F.lfHeight = -11;
  F.lfWeight = Bold ? FW_BOLD : 400;
  F.lfCharSet = 0;
  std::strncpy(F.lfFaceName, "Tahoma", sizeof F.lfFaceName - 1);
  return F;
}

DWORD& ForegroundLockTimeout()
{
  static DWORD V = 200000;
  return V;
}

}  // namespace

BOOL SystemParametersInfoA(UINT Action, UINT Param, PVOID PvParam, UINT WinIni)
{
  (void)WinIni;
  auto SetBool = [&](BOOL V) {
    if (PvParam == nullptr) return FALSE;
    *static_cast<BOOL*>(PvParam) = V;
    return TRUE;
  };
  auto SetUint = [&](UINT V) {
    if (PvParam == nullptr) return FALSE;
    *static_cast<UINT*>(PvParam) = V;
    return TRUE;
  };
  switch (Action) {
    case SPI_GETWORKAREA: {
      if (PvParam == nullptr) return FALSE;
      *static_cast<RECT*>(PvParam) = Monitors().front().Work;
      return TRUE;
    }
    case SPI_SETWORKAREA: return TRUE;
    case SPI_GETDRAGFULLWINDOWS: return SetBool(TRUE);
    case SPI_SETDRAGFULLWINDOWS: return TRUE;
    case SPI_GETNONCLIENTMETRICS: {
      auto* N = static_cast<NONCLIENTMETRICSA*>(PvParam);
      if (N == nullptr || N->cbSize != sizeof(NONCLIENTMETRICSA)) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
      }
      N->iBorderWidth = 1;
      N->iScrollWidth = 16;
      N->iScrollHeight = 16;
      N->iCaptionWidth = 18;
      N->iCaptionHeight = 18;
      N->lfCaptionFont = ClassicFont(true);
      N->iSmCaptionWidth = 12;
      N->iSmCaptionHeight = 14;
      N->lfSmCaptionFont = ClassicFont(true);
      N->iMenuWidth = 18;
      N->iMenuHeight = 18;
      N->lfMenuFont = ClassicFont(false);
      N->lfStatusFont = ClassicFont(false);
      N->lfMessageFont = ClassicFont(false);
      return TRUE;
    }
    case SPI_GETICONTITLELOGFONT:
      if (PvParam == nullptr) return FALSE;
      *static_cast<LOGFONTA*>(PvParam) = ClassicFont(false);
      return TRUE;
    case SPI_GETFOREGROUNDLOCKTIMEOUT:
      if (PvParam == nullptr) return FALSE;
      *static_cast<DWORD*>(PvParam) = ForegroundLockTimeout();
      return TRUE;
    case SPI_SETFOREGROUNDLOCKTIMEOUT:
      ForegroundLockTimeout() = static_cast<DWORD>(reinterpret_cast<std::uintptr_t>(PvParam));
      return TRUE;
    case SPI_GETBEEP: return SetBool(TRUE);
    case SPI_GETBORDER: return SetUint(1);
    case SPI_GETKEYBOARDSPEED: return SetUint(31);
    case SPI_GETKEYBOARDDELAY: return SetUint(1);
    case SPI_GETSCREENSAVETIMEOUT: return SetUint(0);
    case SPI_GETICONTITLEWRAP: return SetBool(TRUE);
    case SPI_GETMENUDROPALIGNMENT: return SetBool(FALSE);
    case SPI_GETWHEELSCROLLLINES: return SetUint(3);
    case SPI_GETMOUSEHOVERTIME: return SetUint(400);
    case SPI_GETMOUSEHOVERWIDTH:
    case SPI_GETMOUSEHOVERHEIGHT: return SetUint(4);
    case SPI_GETMENUSHOWDELAY: return SetUint(400);
    case SPI_GETFONTSMOOTHING: return SetBool(TRUE);
    case SPI_GETSCREENREADER: return SetBool(FALSE);
    case SPI_GETMENUANIMATION:
    case SPI_GETCOMBOBOXANIMATION:
    case SPI_GETLISTBOXSMOOTHSCROLLING:
    case SPI_GETMENUFADE:
    case SPI_GETSELECTIONFADE:
    case SPI_GETTOOLTIPANIMATION:
    case SPI_GETTOOLTIPFADE:
    case SPI_GETCURSORSHADOW:
    case SPI_GETFLATMENU:
    case SPI_GETDROPSHADOW:
    case SPI_GETHOTTRACKING:
    case SPI_GETGRADIENTCAPTIONS: return SetBool(FALSE);
    case SPI_GETKEYBOARDCUES: return SetBool(TRUE);
    default: (void)Param; SetLastError(ERROR_INVALID_PARAMETER); return FALSE;
  }
}

// ---------------------------------------------------------------------------------------------
// Scroll bars

BOOL GetScrollInfo(HWND Wnd, int Bar, SCROLLINFO* Info)
{
  TWnd* W = LookupLive(Wnd);
  if (W == nullptr || Info == nullptr) return FALSE;
  if (Bar == SB_CTL) return SendMessageA(Wnd, kSbmGetScrollInfo, 0, reinterpret_cast<LPARAM>(Info)) != 0 ? TRUE : FALSE;
  TScrollBar* S = BarOf(W, Bar);
  if (S == nullptr) return FALSE;
  if (Info->fMask & SIF_RANGE) {
    Info->nMin = S->Min;
    Info->nMax = S->Max;
  }
  if (Info->fMask & SIF_PAGE) Info->nPage = S->Page;
  if (Info->fMask & SIF_POS) Info->nPos = S->Pos;
  if (Info->fMask & SIF_TRACKPOS) Info->nTrackPos = S->Tracking ? S->TrackPos : S->Pos;
  return TRUE;
}

int SetScrollInfo(HWND Wnd, int Bar, const SCROLLINFO* Info, BOOL Redraw)
{
  TWnd* W = LookupLive(Wnd);
  if (W == nullptr || Info == nullptr) return 0;
  if (Bar == SB_CTL)
    return static_cast<int>(SendMessageA(Wnd, kSbmSetScrollInfo, Redraw, reinterpret_cast<LPARAM>(Info)));
  TScrollBar* S = BarOf(W, Bar);
  if (S == nullptr) return 0;
  if (Info->fMask & SIF_RANGE) {
    S->Min = Info->nMin;
    S->Max = std::max(Info->nMin, Info->nMax);
  }
  if (Info->fMask & SIF_PAGE) S->Page = Info->nPage;
  unsigned Range = static_cast<unsigned>(S->Max - S->Min) + 1;
  if (S->Page > Range) S->Page = Range;
  if (Info->fMask & SIF_POS) S->Pos = Info->nPos;
  S->Pos = std::clamp(S->Pos, S->Min, std::max(S->Min, MaxPos(*S)));
  if (Info->fMask & (SIF_RANGE | SIF_PAGE)) {
    bool Needed = S->Max > S->Min && S->Page < Range;
    if (Info->fMask & SIF_DISABLENOSCROLL) {
      S->Disabled = Needed ? ESB_ENABLE_BOTH : ESB_DISABLE_BOTH;
      if (!(W->Style & BarStyle(Bar))) ShowBars(W, BarStyle(Bar), true);
    } else {
      ShowBars(W, BarStyle(Bar), Needed);
    }
  }
  if ((W = LookupLive(Wnd)) == nullptr) return 0;
  if (Redraw) RedrawBars(W);
  return BarOf(W, Bar)->Pos;
}

int GetScrollPos(HWND Wnd, int Bar)
{
  SCROLLINFO Si;
  Si.fMask = SIF_POS;
  return GetScrollInfo(Wnd, Bar, &Si) ? Si.nPos : 0;
}

int SetScrollPos(HWND Wnd, int Bar, int Pos, BOOL Redraw)
{
  int Old = GetScrollPos(Wnd, Bar);
  SCROLLINFO Si;
  Si.fMask = SIF_POS;
  Si.nPos = Pos;
  SetScrollInfo(Wnd, Bar, &Si, Redraw);
  return Old;
}

BOOL GetScrollRange(HWND Wnd, int Bar, int* MinPos, int* MaxPos)
{
  SCROLLINFO Si;
  Si.fMask = SIF_RANGE;
  if (!GetScrollInfo(Wnd, Bar, &Si)) return FALSE;
  if (MinPos != nullptr) *MinPos = Si.nMin;
  if (MaxPos != nullptr) *MaxPos = Si.nMax;
  return TRUE;
}

BOOL SetScrollRange(HWND Wnd, int Bar, int MinPos, int MaxPos, BOOL Redraw)
{
  SCROLLINFO Si;
  Si.fMask = SIF_RANGE;
  Si.nMin = MinPos;
  Si.nMax = MaxPos;
  return SetScrollInfo(Wnd, Bar, &Si, Redraw) >= 0 && LookupLive(Wnd) != nullptr ? TRUE : FALSE;
}

BOOL ShowScrollBar(HWND Wnd, int Bar, BOOL Show)
{
  TWnd* W = LookupLive(Wnd);
  if (W == nullptr) return FALSE;
  if (Bar == SB_CTL) {
    ShowWindow(Wnd, Show ? SW_SHOW : SW_HIDE);
    return TRUE;
  }
  DWORD Bits = Bar == SB_BOTH ? (WS_VSCROLL | WS_HSCROLL) : (Bar == SB_VERT ? WS_VSCROLL : (Bar == SB_HORZ ? WS_HSCROLL : 0));
  if (Bits == 0) return FALSE;
  ShowBars(W, Bits, Show != FALSE);
  return TRUE;
}

BOOL EnableScrollBar(HWND Wnd, UINT SbFlags, UINT Arrows)
{
  TWnd* W = LookupLive(Wnd);
  if (W == nullptr) return FALSE;
  if (SbFlags == static_cast<UINT>(SB_CTL)) return SendMessageA(Wnd, kSbmEnableArrows, Arrows, 0) != 0 ? TRUE : FALSE;
  if (SbFlags == static_cast<UINT>(SB_VERT) || SbFlags == static_cast<UINT>(SB_BOTH)) W->VScroll.Disabled = Arrows;
  if (SbFlags == static_cast<UINT>(SB_HORZ) || SbFlags == static_cast<UINT>(SB_BOTH)) W->HScroll.Disabled = Arrows;
  RedrawBars(W);
  return TRUE;
}

BOOL GetScrollBarInfo(HWND Wnd, LONG IdObject, SCROLLBARINFO* Info)
{
  TWnd* W = LookupLive(Wnd);
  if (W == nullptr) {
    SetLastError(ERROR_INVALID_WINDOW_HANDLE);
    return FALSE;
  }
  if (Info == nullptr || Info->cbSize != sizeof(SCROLLBARINFO)) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  // A scroll-bar control describes itself.
  if (IdObject == OBJID_CLIENT)
    return SendMessageA(Wnd, kSbmGetScrollBarInfo, 0, reinterpret_cast<LPARAM>(Info)) != 0 ? TRUE : FALSE;
  int Bar = IdObject == OBJID_VSCROLL ? SB_VERT : (IdObject == OBJID_HSCROLL ? SB_HORZ : -1);
  if (Bar < 0) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  TScrollBar* S = BarOf(W, Bar);
  bool Shown = (W->Style & BarStyle(Bar)) != 0;
  TThumbGeometry G = Geometry(W, Bar, S->Tracking ? S->TrackPos : S->Pos);
  POINT O = WindowOrigin(W);
  RECT R = G.Bar;
  if (!Shown) {
    // Where the bar would be.
    RECT Cl = ScreenClientRect(W);
    R = Bar == SB_VERT ? RECT{Cl.right - O.x, Cl.top - O.y, Cl.right - O.x + GetSystemMetrics(SM_CXVSCROLL), Cl.bottom - O.y}
                       : RECT{Cl.left - O.x, Cl.bottom - O.y, Cl.right - O.x, Cl.bottom - O.y + GetSystemMetrics(SM_CYHSCROLL)};
  }
  OffsetRect(&R, O.x, O.y);
  Info->rcScrollBar = R;
  Info->dxyLineButton = G.Arrow;
  int Base = Bar == SB_VERT ? G.Bar.top : G.Bar.left;
  Info->xyThumbTop = G.ThumbStart - Base;
  Info->xyThumbBottom = G.ThumbStart - Base + G.ThumbLen;
  Info->reserved = 0;
  // States: the bar, the top/left arrow, the page area before the thumb, the thumb, the page
  // area after it, the bottom/right arrow.
  std::memset(Info->rgstate, 0, sizeof Info->rgstate);
  if (!Shown) Info->rgstate[0] |= STATE_SYSTEM_INVISIBLE;
  bool AllOff = S->Disabled == ESB_DISABLE_BOTH || (W->Style & WS_DISABLED);
  if (AllOff) {
    for (DWORD& State : Info->rgstate) State |= STATE_SYSTEM_UNAVAILABLE;
  } else {
    if (S->Disabled & ESB_DISABLE_LTUP) Info->rgstate[1] |= STATE_SYSTEM_UNAVAILABLE;
    if (S->Disabled & ESB_DISABLE_RTDN) Info->rgstate[5] |= STATE_SYSTEM_UNAVAILABLE;
  }
  if (S->Tracking) Info->rgstate[3] |= STATE_SYSTEM_PRESSED;
  return TRUE;
}

// ---------------------------------------------------------------------------------------------
// Global memory and the clipboard

HGLOBAL GlobalAlloc(UINT Flags, SIZE_T Bytes)
{
  (void)Flags;
  auto* B = new (std::nothrow) TGlobalBlock;
  if (B == nullptr) {
    SetLastError(ERROR_NOT_ENOUGH_MEMORY);
    return nullptr;
  }
  try {
    B->Data.assign(Bytes, 0);
  } catch (const std::bad_alloc&) {
    delete B;
    SetLastError(ERROR_NOT_ENOUGH_MEMORY);
    return nullptr;
  }
  std::lock_guard<std::mutex> Guard(Clip().Lock);
  Clip().Blocks.insert(B);
  return B;
}

LPVOID GlobalLock(HGLOBAL Mem)
{
  TGlobalBlock* B = Block(Mem);
  if (B == nullptr) {
    SetLastError(ERROR_INVALID_HANDLE);
    return nullptr;
  }
  ++B->Locks;
  return B->Data.empty() ? static_cast<void*>(B) : B->Data.data();
}

BOOL GlobalUnlock(HGLOBAL Mem)
{
  TGlobalBlock* B = Block(Mem);
  if (B == nullptr) {
    SetLastError(ERROR_INVALID_HANDLE);
    return FALSE;
  }
  if (B->Locks > 0) --B->Locks;
  SetLastError(NO_ERROR);
  return B->Locks > 0 ? TRUE : FALSE;
}

HGLOBAL GlobalFree(HGLOBAL Mem)
{
  if (Mem == nullptr) return nullptr;
  auto* B = static_cast<TGlobalBlock*>(Mem);
  {
    std::lock_guard<std::mutex> Guard(Clip().Lock);
    if (!Clip().Blocks.count(B)) {
      SetLastError(ERROR_INVALID_HANDLE);
      return Mem;
    }
    if (Clip().Text == Mem) Clip().Text = nullptr;
    Clip().Blocks.erase(B);
  }
  delete B;
  return nullptr;
}

SIZE_T GlobalSize(HGLOBAL Mem)
{
  TGlobalBlock* B = Block(Mem);
  return B == nullptr ? 0 : B->Data.size();
}

BOOL OpenClipboard(HWND NewOwner)
{
  auto& C = Clip();
  if (C.Open && C.OpenThread != GetCurrentThreadId()) {
    SetLastError(5);
    return FALSE;
  }
  C.Open = true;
  C.Opener = NewOwner;
  C.OpenThread = GetCurrentThreadId();
  return TRUE;
}

BOOL CloseClipboard()
{
  auto& C = Clip();
  if (!C.Open) return FALSE;
  C.Open = false;
  C.Opener = nullptr;
  return TRUE;
}

BOOL EmptyClipboard()
{
  auto& C = Clip();
  if (!C.Open) return FALSE;
  if (C.Text != nullptr) {
    HGLOBAL T = C.Text;
    C.Text = nullptr;
    GlobalFree(T);
  }
  GetDisplayBackend().SetClipboardText(String());
  return TRUE;
}

HANDLE SetClipboardData(UINT Format, HANDLE Mem)
{
  auto& C = Clip();
  if (!C.Open || (Format != CF_TEXT && Format != CF_OEMTEXT)) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return nullptr;
  }
  TGlobalBlock* B = Block(Mem);
  if (B == nullptr) {
    SetLastError(ERROR_INVALID_HANDLE);
    return nullptr;
  }
  // The text ends at the first zero byte, or at the end of the block.
  std::size_t N = 0;
  while (N < B->Data.size() && B->Data[N] != '\0') ++N;
  String Text(B->Data.data(), N);
  if (C.Text != nullptr && C.Text != Mem) GlobalFree(C.Text);
  C.Text = Mem;
  GetDisplayBackend().SetClipboardText(Text);
  return Mem;
}

HANDLE GetClipboardData(UINT Format)
{
  auto& C = Clip();
  if (!C.Open || (Format != CF_TEXT && Format != CF_OEMTEXT)) return nullptr;
  String Text;
  if (!GetDisplayBackend().GetClipboardText(Text)) return nullptr;
  if (C.Text != nullptr) {
    TGlobalBlock* B = Block(C.Text);
    if (B != nullptr && B->Data.size() >= Text.size() + 1 && std::memcmp(B->Data.data(), Text.data(), Text.size()) == 0 &&
        B->Data[Text.size()] == '\0')
      return C.Text;
    HGLOBAL T = C.Text;
    C.Text = nullptr;
    GlobalFree(T);
  }
  HGLOBAL H = GlobalAlloc(GMEM_MOVEABLE, Text.size() + 1);
  if (H == nullptr) return nullptr;
  std::memcpy(Block(H)->Data.data(), Text.data(), Text.size());
  C.Text = H;
  return H;
}

BOOL IsClipboardFormatAvailable(UINT Format)
{
  if (Format != CF_TEXT && Format != CF_OEMTEXT) return FALSE;
  String Text;
  return GetDisplayBackend().GetClipboardText(Text) && !Text.empty() ? TRUE : FALSE;
}

// ---------------------------------------------------------------------------------------------
// Message boxes and the tray

int MessageBoxA(HWND Wnd, LPCSTR Text, LPCSTR Caption, UINT Type)
{
  (void)Wnd;
  auto& H = BoxHandler();
  if (H) return H(Text != nullptr ? String(Text) : String(), Caption != nullptr ? String(Caption) : String("Error"), Type);
  static const int Buttons[][3] = {
      {IDOK, IDOK, IDOK},           {IDOK, IDCANCEL, IDCANCEL}, {IDABORT, IDRETRY, IDIGNORE},
      {IDYES, IDNO, IDCANCEL},      {IDYES, IDNO, IDNO},        {IDRETRY, IDCANCEL, IDCANCEL},
  };
  UINT Set = Type & MB_TYPEMASK;
  if (Set > 5) Set = 0;
  UINT Def = (Type & MB_DEFMASK) >> 8;
  if (Def > 2) Def = 0;
  return Buttons[Set][Def];
}

void SetMessageBoxHandler(std::function<int(const String& Text, const String& Caption, UINT Type)> Handler)
{
  BoxHandler() = std::move(Handler);
}

BOOL Shell_NotifyIconA(DWORD Message, NOTIFYICONDATAA* Data)
{
  if (Data == nullptr) return FALSE;
  auto& T = Tray();
  const bool Dock = GetDisplayBackend().HasTrayProtocol();
  auto Find = [&] {
    return std::find_if(T.Icons.begin(), T.Icons.end(),
                        [&](const TTrayIcon& I) { return I.Wnd == Data->hWnd && I.Id == Data->uID; });
  };
  auto Apply = [&](TTrayIcon& I) {
    if (Data->uFlags & NIF_MESSAGE) I.CallbackMessage = Data->uCallbackMessage;
    if (Data->uFlags & NIF_ICON) I.Icon = Data->hIcon;
    if (Data->uFlags & NIF_TIP) I.Tip = String(Data->szTip, strnlen(Data->szTip, sizeof Data->szTip));
  };
  switch (Message) {
    case NIM_ADD: {
      TTrayIcon I;
      {
        std::lock_guard<std::mutex> Guard(T.Lock);
        if (Find() != T.Icons.end() || !T.Available || LookupLive(Data->hWnd) == nullptr) return FALSE;
      }
      I.Wnd = Data->hWnd;
      I.Id = Data->uID;
      Apply(I);
      // With a tray of the window system the icon is there only once the tray took it; the
      // windows are made outside the lock (their destruction takes it).
      if (Dock && (I.Docked = DockTrayIcon(I.Wnd, I.Id, I.CallbackMessage, I.Icon, I.Tip)) == nullptr) return FALSE;
      std::lock_guard<std::mutex> Guard(T.Lock);
      T.Icons.push_back(I);
      return TRUE;
    }
    case NIM_MODIFY: {
      TTrayIcon I;
      {
        std::lock_guard<std::mutex> Guard(T.Lock);
        auto It = Find();
        if (It == T.Icons.end()) return FALSE;
        Apply(*It);
        I = *It;
      }
      if (I.Docked) UpdateDockedIcon(I.Docked, I.CallbackMessage, I.Icon, I.Tip);
      return TRUE;
    }
    case NIM_DELETE: {
      HWND Docked = nullptr;
      {
        std::lock_guard<std::mutex> Guard(T.Lock);
        auto It = Find();
        if (It == T.Icons.end()) return FALSE;
        Docked = It->Docked;
        T.Icons.erase(It);
      }
      if (Docked) RemoveDockedIcon(Docked);
      return TRUE;
    }
    case NIM_SETFOCUS:
    case NIM_SETVERSION: {
      std::lock_guard<std::mutex> Guard(T.Lock);
      return Find() != T.Icons.end() ? TRUE : FALSE;
    }
    default: return FALSE;
  }
}

std::vector<TTrayIcon> GetTrayIcons()
{
  auto& T = Tray();
  std::lock_guard<std::mutex> Guard(T.Lock);
  return T.Icons;
}

void SetTrayAvailable(bool Available)
{
  auto& T = Tray();
  std::lock_guard<std::mutex> Guard(T.Lock);
  T.Available = Available;
}

bool SendTrayMouseMessage(HWND Wnd, UINT Id, UINT MouseMessage)
{
  TTrayIcon Icon;
  {
    auto& T = Tray();
    std::lock_guard<std::mutex> Guard(T.Lock);
    auto It = std::find_if(T.Icons.begin(), T.Icons.end(), [&](const TTrayIcon& I) { return I.Wnd == Wnd && I.Id == Id; });
    if (It == T.Icons.end()) return false;
    Icon = *It;
  }
  if (Icon.CallbackMessage == 0) return true;
  return PostMessageA(Wnd, Icon.CallbackMessage, Id, static_cast<LPARAM>(MouseMessage)) != FALSE;
}
