// Geometry of windows: positions and sizes, the z-order, showing and hiding, minimising and
// maximising, coordinates, finding the window at a point, enabling.
#include <algorithm>

#include "platform/rtl/Exceptions.h"
#include "platform/rtl/Thread.h"
#include "platform/win/WinInternal.h"

namespace QvWin {
namespace {

constexpr int kIconicPos = -32000;

bool RectContains(const RECT& R, POINT P) { return P.x >= R.left && P.x < R.right && P.y >= R.top && P.y < R.bottom; }

// Whether the window's own area (rect and region) holds the screen point.
bool WindowHolds(const TWnd* W, POINT Screen)
{
  RECT R = ScreenWindowRect(W);
  if (!RectContains(R, Screen)) return false;
  if (W->HasRegion && !W->Region.Contains(Screen.x - R.left, Screen.y - R.top)) return false;
  return true;
}

bool Enabled(const TWnd* W) { return (W->Style & WS_DISABLED) == 0; }

void OwnedAbove(TWnd* W)
{
  // Owned windows stay above their owner: move them, in their order, right above it.
  TWnd* D = Desktop();
  std::vector<TWnd*> Owned;
  for (TWnd* T : D->Children)
    if (T->Owner == W) Owned.push_back(T);
  if (Owned.empty()) return;
  for (auto It = Owned.rbegin(); It != Owned.rend(); ++It) {
    TWnd* O = *It;
    auto& C = D->Children;
    auto Pos = std::find(C.begin(), C.end(), O);
    auto OwnerPos = std::find(C.begin(), C.end(), W);
    if (Pos == C.end() || OwnerPos == C.end()) continue;
    if (Pos < OwnerPos) continue;  // already above
    C.erase(Pos);
    OwnerPos = std::find(C.begin(), C.end(), W);
    // A non-topmost owned window cannot go above the topmost group.
    C.insert(OwnerPos, O);
  }
  for (TWnd* O : Owned) OwnedAbove(O);
}

void Restack(TWnd* W, HWND InsertAfter)
{
  TWnd* P = W->Parent;
  if (P == nullptr) return;
  auto& C = P->Children;
  bool TopLevel = P->IsDesktop && !P->MessageOnly;
  if (TopLevel) {
    if (InsertAfter == HWND_TOPMOST) W->ExStyle |= WS_EX_TOPMOST;
    else if (InsertAfter == HWND_NOTOPMOST) W->ExStyle &= ~WS_EX_TOPMOST;
  }
  TWnd* After = nullptr;
  bool Bottom = InsertAfter == HWND_BOTTOM;
  if (InsertAfter != HWND_TOP && InsertAfter != HWND_TOPMOST && InsertAfter != HWND_NOTOPMOST && !Bottom) {
    After = LookupLive(InsertAfter);
    if (After == nullptr || After->Parent != P || After == W) return;
  }
  C.erase(std::find(C.begin(), C.end(), W));
  if (Bottom) {
    if (TopLevel) W->ExStyle &= ~WS_EX_TOPMOST;
    C.push_back(W);
  } else if (After != nullptr) {
    C.insert(std::find(C.begin(), C.end(), After) + 1, W);
    if (TopLevel) {
      // A window placed among the topmost ones becomes one of them only by HWND_TOPMOST; a
      // topmost window placed after a normal one loses its topmost state.
      bool AfterTop = (After->ExStyle & WS_EX_TOPMOST) != 0;
      if (!AfterTop) W->ExStyle &= ~WS_EX_TOPMOST;
      else if (!(W->ExStyle & WS_EX_TOPMOST)) {
        C.erase(std::find(C.begin(), C.end(), W));
        LinkAt(P, W, nullptr, true);
      }
    }
  } else {
    LinkAt(P, W, nullptr, true);
  }
  if (TopLevel) OwnedAbove(W);
}

RECT WorkAreaFor(const TWnd* W, RECT* MonitorRect)
{
  HMONITOR M = MonitorFromWindow(W->Handle, MONITOR_DEFAULTTONEAREST);
  MONITORINFO Info;
  GetMonitorInfoA(M, &Info);
  if (MonitorRect != nullptr) *MonitorRect = Info.rcMonitor;
  return Info.rcWork;
}

int FrameSize(DWORD Style, DWORD ExStyle)
{
  if (Style & WS_THICKFRAME) return GetSystemMetrics(SM_CXFRAME);
  if ((Style & WS_DLGFRAME) || (ExStyle & WS_EX_DLGMODALFRAME)) return GetSystemMetrics(SM_CXDLGFRAME);
  if (Style & WS_BORDER) return GetSystemMetrics(SM_CXBORDER);
  return 0;
}

}  // namespace

POINT WindowOrigin(const TWnd* W)
{
  POINT P{W->Window.left, W->Window.top};
  if (W->Parent != nullptr && !W->Parent->IsDesktop) {
    POINT O = ClientOrigin(W->Parent);
    P.x += O.x;
    P.y += O.y;
  }
  return P;
}

POINT ClientOrigin(const TWnd* W)
{
  if (W->IsDesktop) return POINT{0, 0};
  POINT P{W->Client.left, W->Client.top};
  if (W->Parent != nullptr && !W->Parent->IsDesktop) {
    POINT O = ClientOrigin(W->Parent);
    P.x += O.x;
    P.y += O.y;
  }
  return P;
}

RECT ScreenWindowRect(const TWnd* W)
{
  if (W->IsDesktop) {
    return RECT{0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
  }
  POINT O = WindowOrigin(W);
  return RECT{O.x, O.y, O.x + (W->Window.right - W->Window.left), O.y + (W->Window.bottom - W->Window.top)};
}

RECT ScreenClientRect(const TWnd* W)
{
  if (W->IsDesktop) return ScreenWindowRect(W);
  POINT O = ClientOrigin(W);
  return RECT{O.x, O.y, O.x + (W->Client.right - W->Client.left), O.y + (W->Client.bottom - W->Client.top)};
}

TWnd* TopLevelOf(TWnd* W)
{
  while (W->Parent != nullptr && !W->Parent->IsDesktop) W = W->Parent;
  return W;
}

bool IsReallyVisible(const TWnd* W)
{
  for (const TWnd* X = W; X != nullptr && !X->IsDesktop; X = X->Parent)
    if ((X->Style & WS_VISIBLE) == 0) return false;
  return true;
}

bool IsDescendant(const TWnd* Ancestor, const TWnd* W)
{
  if (W == nullptr) return false;
  for (const TWnd* X = W->Parent; X != nullptr; X = X->Parent)
    if (X == Ancestor) return true;
  return false;
}

void Unlink(TWnd* W)
{
  if (W->Parent == nullptr) return;
  auto& C = W->Parent->Children;
  C.erase(std::remove(C.begin(), C.end(), W), C.end());
  W->Parent = nullptr;
}

void LinkAt(TWnd* Parent, TWnd* W, TWnd* InsertAfter, bool Top)
{
  W->Parent = Parent;
  auto& C = Parent->Children;
  if (InsertAfter != nullptr) {
    auto It = std::find(C.begin(), C.end(), InsertAfter);
    C.insert(It == C.end() ? C.end() : It + 1, W);
    return;
  }
  bool TopLevel = Parent->IsDesktop && !Parent->MessageOnly;
  if (!TopLevel) {
    if (Top) C.insert(C.begin(), W);
    else C.push_back(W);
    return;
  }
  if (W->ExStyle & WS_EX_TOPMOST) {
    C.insert(C.begin(), W);
    return;
  }
  auto It = C.begin();
  while (It != C.end() && ((*It)->ExStyle & WS_EX_TOPMOST)) ++It;
  C.insert(It, W);
}

TWnd* ChildAt(TWnd* Root, POINT Screen, bool SkipDisabled, bool SkipTransparent)
{
  if (!Root->IsDesktop && !WindowHolds(Root, Screen)) return nullptr;
  if (!RectContains(ScreenClientRect(Root), Screen)) return Root;
  for (TWnd* C : Root->Children) {
    if ((C->Style & WS_VISIBLE) == 0) continue;
    if (SkipDisabled && !Enabled(C)) continue;
    if (SkipTransparent && (C->ExStyle & WS_EX_TRANSPARENT)) continue;
    if (!WindowHolds(C, Screen)) continue;
    TWnd* R = ChildAt(C, Screen, SkipDisabled, SkipTransparent);
    if (R != nullptr) return R;
  }
  return Root;
}

TWnd* TopLevelAt(POINT Screen, TWnd* Below)
{
  bool Started = Below == nullptr;
  for (TWnd* T : Desktop()->Children) {
    if (!Started) {
      if (T == Below) Started = true;
      continue;
    }
    if ((T->Style & WS_VISIBLE) == 0 || (T->Style & WS_MINIMIZE)) continue;
    if ((T->ExStyle & (WS_EX_LAYERED | WS_EX_TRANSPARENT)) == (WS_EX_LAYERED | WS_EX_TRANSPARENT)) continue;
    if (!WindowHolds(T, Screen)) continue;
    return T;
  }
  return nullptr;
}

namespace {

// The window that takes mouse input at a point below W (W holds the point), or nullptr when
// every candidate answers HTTRANSPARENT.
TWnd* SearchHit(TWnd* W, POINT P, LRESULT& Hit, bool SendHitTest)
{
  if (RectContains(ScreenClientRect(W), P)) {
    std::vector<HWND> Kids;
    for (TWnd* C : W->Children) Kids.push_back(C->Handle);
    for (HWND K : Kids) {
      TWnd* C = LookupLive(K);
      if (C == nullptr || (C->Style & WS_VISIBLE) == 0 || !Enabled(C) || !WindowHolds(C, P)) continue;
      TWnd* R = SearchHit(C, P, Hit, SendHitTest);
      if (R != nullptr) return R;
    }
  }
  if (!SendHitTest || W->ThreadId != GetCurrentThreadId()) {
    Hit = HTCLIENT;
    return W;
  }
  HWND H = W->Handle;
  Hit = SendMessageA(H, WM_NCHITTEST, 0, MAKELPARAM(static_cast<WORD>(P.x), static_cast<WORD>(P.y)));
  if (LookupLive(H) == nullptr) return nullptr;
  if (Hit == HTTRANSPARENT) return nullptr;
  return W;
}

}  // namespace

// The window under a screen point as mouse input finds it, with its hit-test code.
TWnd* HitWindow(POINT P, LRESULT& Hit, bool SendHitTest, TWnd* StartTop)
{
  TWnd* Below = nullptr;
  for (;;) {
    TWnd* T = StartTop != nullptr ? StartTop : TopLevelAt(P, Below);
    StartTop = nullptr;
    if (T == nullptr) return nullptr;
    if (!Enabled(T)) {
      Hit = HTERROR;
      return T;
    }
    TWnd* R = SearchHit(T, P, Hit, SendHitTest);
    if (R != nullptr) return R;
    Below = T;
  }
}

RECT CalcClient(TWnd* W, const RECT& WindowRect, bool Changed, WINDOWPOS* Pos)
{
  HWND H = W->Handle;
  if (!Changed) {
    RECT R = WindowRect;
    SendMessageA(H, WM_NCCALCSIZE, FALSE, reinterpret_cast<LPARAM>(&R));
    return R;
  }
  NCCALCSIZE_PARAMS P;
  P.rgrc[0] = WindowRect;
  P.rgrc[1] = W->Window;
  P.rgrc[2] = W->Client;
  P.lppos = Pos;
  SendMessageA(H, WM_NCCALCSIZE, TRUE, reinterpret_cast<LPARAM>(&P));
  return P.rgrc[0];
}

void GetMinMax(TWnd* W, MINMAXINFO& Info)
{
  RECT MonitorRect{};
  RECT Work = WorkAreaFor(W, &MonitorRect);
  int F = FrameSize(W->Style, W->ExStyle);
  Info.ptMaxSize = POINT{(Work.right - Work.left) + 2 * F, (Work.bottom - Work.top) + 2 * F};
  Info.ptMaxPosition = POINT{Work.left - MonitorRect.left - F, Work.top - MonitorRect.top - F};
  Info.ptMinTrackSize = POINT{GetSystemMetrics(SM_CXMINTRACK), GetSystemMetrics(SM_CYMINTRACK)};
  Info.ptMaxTrackSize = POINT{GetSystemMetrics(SM_CXMAXTRACK), GetSystemMetrics(SM_CYMAXTRACK)};
  SendMessageA(W->Handle, WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(&Info));
}

void SetPos(TWnd* W, HWND InsertAfter, int X, int Y, int Cx, int Cy, UINT Flags)
{
  HWND H = W->Handle;
  bool TopLevel = W->IsTopLevel();
  if (!TopLevel && (InsertAfter == HWND_TOPMOST || InsertAfter == HWND_NOTOPMOST)) InsertAfter = HWND_TOP;
  if (Cx < 0) Cx = 0;
  if (Cy < 0) Cy = 0;
  bool Visible = (W->Style & WS_VISIBLE) != 0;
  if ((Flags & SWP_SHOWWINDOW) && Visible) Flags &= ~SWP_SHOWWINDOW;
  if ((Flags & SWP_HIDEWINDOW) && !Visible) Flags &= ~SWP_HIDEWINDOW;
  if (!(Flags & SWP_NOZORDER) && InsertAfter == H) Flags |= SWP_NOZORDER;

  WINDOWPOS Wp;
  Wp.hwnd = H;
  Wp.hwndInsertAfter = InsertAfter;
  Wp.x = (Flags & SWP_NOMOVE) ? W->Window.left : X;
  Wp.y = (Flags & SWP_NOMOVE) ? W->Window.top : Y;
  Wp.cx = (Flags & SWP_NOSIZE) ? W->Window.right - W->Window.left : Cx;
  Wp.cy = (Flags & SWP_NOSIZE) ? W->Window.bottom - W->Window.top : Cy;
  Wp.flags = Flags;
  if (!(Flags & SWP_NOSENDCHANGING)) {
    // The window (through its current procedure, a subclass included) sees the request as
    // the caller made it and may change it: a position or size it changes is applied, one it
    // forbids by adding SWP_NOMOVE / SWP_NOSIZE is not.
    const WINDOWPOS Sent = Wp;
    SendMessageA(H, WM_WINDOWPOSCHANGING, 0, reinterpret_cast<LPARAM>(&Wp));
    if ((W = LookupLive(H)) == nullptr) return;
    UINT Asked = Wp.flags;
    bool Moved = Wp.x != Sent.x || Wp.y != Sent.y;
    bool Sized = Wp.cx != Sent.cx || Wp.cy != Sent.cy;
    Flags = Asked & ~(SWP_NOMOVE | SWP_NOSIZE);
    if ((Asked & SWP_NOMOVE) && (!Moved || !(Sent.flags & SWP_NOMOVE))) Flags |= SWP_NOMOVE;
    if ((Asked & SWP_NOSIZE) && (!Sized || !(Sent.flags & SWP_NOSIZE))) Flags |= SWP_NOSIZE;
    if (Flags & SWP_NOMOVE) {
      Wp.x = W->Window.left;
      Wp.y = W->Window.top;
    }
    if (Flags & SWP_NOSIZE) {
      Wp.cx = W->Window.right - W->Window.left;
      Wp.cy = W->Window.bottom - W->Window.top;
    }
    InsertAfter = Wp.hwndInsertAfter;
  }
  if (Wp.cx < 0) Wp.cx = 0;
  if (Wp.cy < 0) Wp.cy = 0;
  // What does not change is not a move or a size.
  if (Wp.x == W->Window.left && Wp.y == W->Window.top) Flags |= SWP_NOMOVE;
  if (Wp.cx == W->Window.right - W->Window.left && Wp.cy == W->Window.bottom - W->Window.top) Flags |= SWP_NOSIZE;
  RECT NewWindow{Wp.x, Wp.y, Wp.x + Wp.cx, Wp.y + Wp.cy};
  RECT OldWindow = W->Window;
  RECT OldClient = W->Client;
  RECT NewClient = OldClient;
  if (!(Flags & SWP_NOSIZE) || (Flags & SWP_FRAMECHANGED)) {
    Wp.flags = Flags;
    NewClient = CalcClient(W, NewWindow, true, &Wp);
    if ((W = LookupLive(H)) == nullptr) return;
  } else if (!(Flags & SWP_NOMOVE)) {
    OffsetRect(&NewClient, NewWindow.left - OldWindow.left, NewWindow.top - OldWindow.top);
  }
  W->Window = NewWindow;
  W->Client = NewClient;
  if (!(Flags & SWP_NOZORDER)) Restack(W, InsertAfter);
  if (Flags & SWP_SHOWWINDOW) W->Style |= WS_VISIBLE;
  if (Flags & SWP_HIDEWINDOW) W->Style &= ~WS_VISIBLE;

  WindowMoved(W, OldWindow, OldClient, Flags);
  if (Flags & SWP_HIDEWINDOW) WindowGone(W, false);
  if ((W = LookupLive(H)) == nullptr) return;

  Wp.x = W->Window.left;
  Wp.y = W->Window.top;
  Wp.cx = W->Window.right - W->Window.left;
  Wp.cy = W->Window.bottom - W->Window.top;
  Wp.hwndInsertAfter = InsertAfter;
  Wp.flags = Flags;
  SendMessageA(H, WM_WINDOWPOSCHANGED, 0, reinterpret_cast<LPARAM>(&Wp));
  if ((W = LookupLive(H)) == nullptr) return;

  // Without SWP_NOACTIVATE a shown top-level window is activated, as Windows does.
  if (TopLevel && (W->Style & WS_VISIBLE) && !(W->Style & WS_MINIMIZE) && !(Flags & SWP_NOACTIVATE) &&
      !(W->ExStyle & WS_EX_NOACTIVATE)) {
    if (ActiveWindowRef() != H) ActivateWindow(W, WA_ACTIVE);
  }
}

// A window was hidden, destroyed or disabled: activation and focus leave it.
void WindowGone(TWnd* W, bool Destroying)
{
  HWND H = W->Handle;
  TWnd* Focus = LookupLive(FocusWindowRef());
  if (Focus != nullptr && (Focus == W || IsDescendant(W, Focus))) {
    if (W->IsChild()) {
      SetFocus(W->Parent->Handle);
    } else if (Destroying) {
      SetFocus(nullptr);
    }
  }
  if ((W = LookupLive(H)) == nullptr) return;
  if (W->IsTopLevel() && ActiveWindowRef() == H) {
    // The owner takes over, else the next window in z-order that can be active.
    TWnd* Next = nullptr;
    if (W->Owner != nullptr && (W->Owner->Style & WS_VISIBLE) && !(W->Owner->Style & WS_DISABLED) &&
        !(W->Owner->Style & WS_MINIMIZE))
      Next = W->Owner;
    if (Next == nullptr)
      for (TWnd* T : Desktop()->Children)
        if (T != W && (T->Style & WS_VISIBLE) && !(T->Style & WS_DISABLED) && !(T->Style & WS_MINIMIZE) &&
            !(T->ExStyle & (WS_EX_NOACTIVATE | WS_EX_TOOLWINDOW)) && !T->Destroying && T->ThreadId == W->ThreadId) {
          Next = T;
          break;
        }
    ActivateWindow(Next, WA_ACTIVE);
  }
}

}  // namespace QvWin

using namespace QvWin;

namespace {

TWnd* ValidW(HWND Wnd)
{
  TWnd* W = LookupLive(Wnd);
  if (W == nullptr) SetLastError(ERROR_INVALID_WINDOW_HANDLE);
  return W;
}

// Minimises, maximises or restores; returns the flags for the final SetWindowPos.
void ChangeState(TWnd* W, int Cmd, RECT& NewRect, UINT& Flags, bool SaveNormal = true)
{
  HWND H = W->Handle;
  bool Min = (W->Style & WS_MINIMIZE) != 0;
  bool Max = (W->Style & WS_MAXIMIZE) != 0;
  if (!Min && !Max && SaveNormal) {
    W->NormalRect = W->Window;
    W->HasNormalRect = true;
  }
  NewRect = W->Window;
  switch (Cmd) {
    case SW_MINIMIZE:
    case SW_SHOWMINIMIZED:
    case SW_SHOWMINNOACTIVE:
    case SW_FORCEMINIMIZE: {
      if (Min) return;
      W->RestoreToMaximized = Max;
      W->Style = (W->Style & ~WS_MAXIMIZE) | WS_MINIMIZE;
      if (W->IsTopLevel()) {
        int Cx = GetSystemMetrics(SM_CXMINIMIZED), Cy = GetSystemMetrics(SM_CYMINIMIZED);
        NewRect = RECT{kIconicPos, kIconicPos, kIconicPos + Cx, kIconicPos + Cy};
      } else {
        int Cx = GetSystemMetrics(SM_CXMINIMIZED), Cy = GetSystemMetrics(SM_CYMINIMIZED);
        NewRect = RECT{W->Window.left, W->Window.top, W->Window.left + Cx, W->Window.top + Cy};
      }
      if (W->MinPosition.x != -1 || W->MinPosition.y != -1) {
        OffsetRect(&NewRect, W->MinPosition.x - NewRect.left, W->MinPosition.y - NewRect.top);
      }
      Flags |= SWP_FRAMECHANGED | SWP_STATECHANGED;
      return;
    }
    case SW_MAXIMIZE: {
      if (Max) return;
      MINMAXINFO Info{};
      GetMinMax(W, Info);
      if ((W = LookupLive(H)) == nullptr) return;
      RECT MonitorRect{};
      RECT Work = WorkAreaFor(W, &MonitorRect);
      (void)Work;
      int X = MonitorRect.left + Info.ptMaxPosition.x;
      int Y = MonitorRect.top + Info.ptMaxPosition.y;
      if (!W->IsTopLevel()) {
        RECT PC{};
        GetClientRect(W->Parent->Handle, &PC);
        int F = FrameSize(W->Style, W->ExStyle);
        X = -F;
        Y = -F;
        Info.ptMaxSize = POINT{PC.right + 2 * F, PC.bottom + 2 * F};
      }
      int Cx = std::min(Info.ptMaxSize.x, Info.ptMaxTrackSize.x);
      int Cy = std::min(Info.ptMaxSize.y, Info.ptMaxTrackSize.y);
      NewRect = RECT{X, Y, X + Cx, Y + Cy};
      W->Style = (W->Style & ~WS_MINIMIZE) | WS_MAXIMIZE;
      Flags |= SWP_FRAMECHANGED | SWP_STATECHANGED;
      return;
    }
    default: {  // restore
      if (Min && W->RestoreToMaximized) {
        W->Style &= ~WS_MINIMIZE;
        W->RestoreToMaximized = false;
        ChangeState(W, SW_MAXIMIZE, NewRect, Flags, false);
        return;
      }
      if (!Min && !Max) return;
      W->Style &= ~(WS_MINIMIZE | WS_MAXIMIZE);
      NewRect = W->HasNormalRect ? W->NormalRect : W->Window;
      Flags |= SWP_FRAMECHANGED | SWP_STATECHANGED;
      return;
    }
  }
}

}  // namespace

BOOL SetWindowPos(HWND Wnd, HWND InsertAfter, int X, int Y, int Cx, int Cy, UINT Flags)
{
  TWnd* W = ValidW(Wnd);
  if (W == nullptr || W->IsDesktop) return FALSE;
  if (W->ThreadId != GetCurrentThreadId()) {
    // Geometry changes are made on the window's own thread.
    SetLastError(5);
    return FALSE;
  }
  Flags &= ~SWP_STATECHANGED;
  SetPos(W, InsertAfter, X, Y, Cx, Cy, Flags);
  return TRUE;
}

BOOL MoveWindow(HWND Wnd, int X, int Y, int Width, int Height, BOOL Repaint)
{
  return SetWindowPos(Wnd, nullptr, X, Y, Width, Height, SWP_NOZORDER | SWP_NOACTIVATE | (Repaint ? 0 : SWP_NOREDRAW));
}

BOOL ShowWindow(HWND Wnd, int CmdShow)
{
  TWnd* W = ValidW(Wnd);
  if (W == nullptr || W->IsDesktop) return FALSE;
  HWND H = W->Handle;
  bool WasVisible = (W->Style & WS_VISIBLE) != 0;
  bool TopLevel = W->IsTopLevel();
  UINT Flags = SWP_NOZORDER | SWP_NOMOVE | SWP_NOSIZE;
  bool Activate = false;
  int StateCmd = -1;
  switch (CmdShow) {
    case SW_HIDE:
      if (!WasVisible) return FALSE;
      SendMessageA(H, WM_SHOWWINDOW, FALSE, 0);
      if ((W = LookupLive(H)) == nullptr) return WasVisible;
      SetPos(W, nullptr, 0, 0, 0, 0, SWP_HIDEWINDOW | SWP_NOZORDER | SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
      return WasVisible;
    case SW_SHOWNA:
    case SW_SHOWNOACTIVATE: Flags |= SWP_SHOWWINDOW | SWP_NOACTIVATE; break;
    case SW_SHOW: Flags |= SWP_SHOWWINDOW; Activate = true; break;
    case SW_SHOWNORMAL:
    case SW_RESTORE:
    case SW_SHOWDEFAULT:
      Flags |= SWP_SHOWWINDOW;
      Activate = true;
      StateCmd = SW_RESTORE;
      if (CmdShow == SW_SHOWNORMAL && !(W->Style & (WS_MINIMIZE | WS_MAXIMIZE))) StateCmd = -1;
      break;
    case SW_SHOWMAXIMIZED: Flags |= SWP_SHOWWINDOW; Activate = true; StateCmd = SW_MAXIMIZE; break;
    case SW_MINIMIZE:
    case SW_SHOWMINNOACTIVE:
    case SW_FORCEMINIMIZE: Flags |= SWP_SHOWWINDOW | SWP_NOACTIVATE; StateCmd = SW_MINIMIZE; break;
    case SW_SHOWMINIMIZED: Flags |= SWP_SHOWWINDOW; Activate = true; StateCmd = SW_MINIMIZE; break;
    default: SetLastError(ERROR_INVALID_PARAMETER); return FALSE;
  }
  if (!TopLevel || (W->ExStyle & WS_EX_NOACTIVATE)) Activate = false;
  if (!Activate) Flags |= SWP_NOACTIVATE;
  bool StateChanges = false;
  if (StateCmd == SW_MINIMIZE) StateChanges = !(W->Style & WS_MINIMIZE);
  else if (StateCmd == SW_MAXIMIZE) StateChanges = !(W->Style & WS_MAXIMIZE);
  else if (StateCmd == SW_RESTORE) StateChanges = (W->Style & (WS_MINIMIZE | WS_MAXIMIZE)) != 0;
  if (WasVisible && !StateChanges) {
    if (Activate && ActiveWindowRef() != H && !(W->Style & WS_MINIMIZE)) ActivateWindow(W, WA_ACTIVE);
    return TRUE;
  }
  if (!WasVisible) {
    SendMessageA(H, WM_SHOWWINDOW, TRUE, 0);
    if ((W = LookupLive(H)) == nullptr) return FALSE;
  }
  RECT NewRect = W->Window;
  if (StateChanges) {
    bool WasMin = (W->Style & WS_MINIMIZE) != 0;
    ChangeState(W, StateCmd, NewRect, Flags);
    if ((W = LookupLive(H)) == nullptr) return WasVisible;
    Flags &= ~(SWP_NOMOVE | SWP_NOSIZE);
    if (TopLevel) {
      TDisplayWindow D = GetDisplayWindow(H);
      if (D != 0 && StateCmd == SW_MINIMIZE) GetDisplayBackend().Iconify(D);
    }
    if (StateCmd == SW_MINIMIZE && ActiveWindowRef() == H) {
      // A minimised window gives up activation.
      Flags |= SWP_NOACTIVATE;
    }
    (void)WasMin;
  }
  SetPos(W, nullptr, NewRect.left, NewRect.top, NewRect.right - NewRect.left, NewRect.bottom - NewRect.top,
         Flags | (StateChanges ? SWP_STATECHANGED : 0));
  if ((W = LookupLive(H)) == nullptr) return WasVisible;
  if (StateCmd == SW_MINIMIZE && StateChanges && ActiveWindowRef() == H) WindowGone(W, false);
  if (StateChanges && TopLevel && (W = LookupLive(H)) != nullptr) {
    // Owned popups follow their owner into and out of the minimised state.
    bool Closing = StateCmd == SW_MINIMIZE;
    std::vector<HWND> Owned;
    for (TWnd* T : Desktop()->Children)
      if (T->Owner == W && (Closing ? (T->Style & WS_VISIBLE) != 0 : T->HiddenByOwner)) Owned.push_back(T->Handle);
    for (HWND O : Owned)
      if (LookupLive(O) != nullptr)
        SendMessageA(O, WM_SHOWWINDOW, Closing ? FALSE : TRUE, Closing ? SW_PARENTCLOSING : SW_PARENTOPENING);
  }
  return WasVisible;
}

BOOL IsIconic(HWND Wnd)
{
  TWnd* W = LookupLive(Wnd);
  return W != nullptr && (W->Style & WS_MINIMIZE) ? TRUE : FALSE;
}

BOOL IsZoomed(HWND Wnd)
{
  TWnd* W = LookupLive(Wnd);
  return W != nullptr && (W->Style & WS_MAXIMIZE) ? TRUE : FALSE;
}

BOOL CloseWindow(HWND Wnd)
{
  if (LookupLive(Wnd) == nullptr) return FALSE;
  ShowWindow(Wnd, SW_MINIMIZE);
  return TRUE;
}

BOOL GetWindowPlacement(HWND Wnd, WINDOWPLACEMENT* Placement)
{
  TWnd* W = ValidW(Wnd);
  if (W == nullptr || Placement == nullptr) return FALSE;
  Placement->length = sizeof(WINDOWPLACEMENT);
  Placement->flags = W->RestoreToMaximized ? WPF_RESTORETOMAXIMIZED : 0;
  if (!(W->Style & WS_VISIBLE)) Placement->showCmd = SW_HIDE;
  else if (W->Style & WS_MINIMIZE) Placement->showCmd = SW_SHOWMINIMIZED;
  else if (W->Style & WS_MAXIMIZE) Placement->showCmd = SW_SHOWMAXIMIZED;
  else Placement->showCmd = SW_SHOWNORMAL;
  Placement->ptMinPosition = W->MinPosition;
  Placement->ptMaxPosition = W->MaxPosition;
  Placement->rcNormalPosition = (W->Style & (WS_MINIMIZE | WS_MAXIMIZE)) && W->HasNormalRect ? W->NormalRect : W->Window;
  return TRUE;
}

BOOL SetWindowPlacement(HWND Wnd, const WINDOWPLACEMENT* Placement)
{
  TWnd* W = ValidW(Wnd);
  if (W == nullptr || Placement == nullptr) return FALSE;
  HWND H = W->Handle;
  if (Placement->flags & WPF_SETMINPOSITION) W->MinPosition = Placement->ptMinPosition;
  W->MaxPosition = Placement->ptMaxPosition;
  W->NormalRect = Placement->rcNormalPosition;
  W->HasNormalRect = true;
  if (!(W->Style & (WS_MINIMIZE | WS_MAXIMIZE))) {
    const RECT& R = Placement->rcNormalPosition;
    SetWindowPos(H, nullptr, R.left, R.top, R.right - R.left, R.bottom - R.top, SWP_NOZORDER | SWP_NOACTIVATE);
  }
  if ((W = LookupLive(H)) == nullptr) return FALSE;
  W->RestoreToMaximized = (Placement->flags & WPF_RESTORETOMAXIMIZED) != 0;
  ShowWindow(H, static_cast<int>(Placement->showCmd));
  return TRUE;
}

BOOL GetWindowRect(HWND Wnd, RECT* Rect)
{
  TWnd* W = ValidW(Wnd);
  if (W == nullptr || Rect == nullptr) return FALSE;
  *Rect = ScreenWindowRect(W);
  return TRUE;
}

BOOL GetClientRect(HWND Wnd, RECT* Rect)
{
  TWnd* W = ValidW(Wnd);
  if (W == nullptr || Rect == nullptr) return FALSE;
  RECT S = ScreenClientRect(W);
  *Rect = RECT{0, 0, S.right - S.left, S.bottom - S.top};
  return TRUE;
}

BOOL ClientToScreen(HWND Wnd, POINT* Point)
{
  TWnd* W = ValidW(Wnd);
  if (W == nullptr || Point == nullptr) return FALSE;
  POINT O = ClientOrigin(W);
  Point->x += O.x;
  Point->y += O.y;
  return TRUE;
}

BOOL ScreenToClient(HWND Wnd, POINT* Point)
{
  TWnd* W = ValidW(Wnd);
  if (W == nullptr || Point == nullptr) return FALSE;
  POINT O = ClientOrigin(W);
  Point->x -= O.x;
  Point->y -= O.y;
  return TRUE;
}

int MapWindowPoints(HWND From, HWND To, POINT* Points, UINT Count)
{
  POINT A{0, 0}, B{0, 0};
  if (From != nullptr) {
    TWnd* W = ValidW(From);
    if (W == nullptr) return 0;
    A = ClientOrigin(W);
  }
  if (To != nullptr) {
    TWnd* W = ValidW(To);
    if (W == nullptr) return 0;
    B = ClientOrigin(W);
  }
  int Dx = A.x - B.x, Dy = A.y - B.y;
  for (UINT I = 0; I < Count && Points != nullptr; ++I) {
    Points[I].x += Dx;
    Points[I].y += Dy;
  }
  SetLastError(0);
  return MAKELONG(static_cast<WORD>(Dx), static_cast<WORD>(Dy));
}

BOOL AdjustWindowRectEx(RECT* Rect, DWORD Style, BOOL Menu, DWORD ExStyle)
{
  if (Rect == nullptr) return FALSE;
  RECT In = DefaultNcInsets(Style, ExStyle, Menu != FALSE);
  Rect->left -= In.left;
  Rect->top -= In.top;
  Rect->right += In.right;
  Rect->bottom += In.bottom;
  return TRUE;
}

BOOL AdjustWindowRect(RECT* Rect, DWORD Style, BOOL Menu) { return AdjustWindowRectEx(Rect, Style, Menu, 0); }

HWND WindowFromPoint(POINT Point)
{
  LRESULT Hit = 0;
  TWnd* W = HitWindow(Point, Hit, true, nullptr);
  return W != nullptr ? W->Handle : nullptr;
}

HWND ChildWindowFromPointEx(HWND Parent, POINT Point, UINT Flags)
{
  TWnd* P = ValidW(Parent);
  if (P == nullptr) return nullptr;
  POINT S = Point;
  POINT O = ClientOrigin(P);
  S.x += O.x;
  S.y += O.y;
  if (!P->IsDesktop && !RectContains(ScreenWindowRect(P), S)) return nullptr;
  for (TWnd* C : P->Children) {
    if ((Flags & CWP_SKIPINVISIBLE) && !(C->Style & WS_VISIBLE)) continue;
    if ((Flags & CWP_SKIPDISABLED) && (C->Style & WS_DISABLED)) continue;
    if ((Flags & CWP_SKIPTRANSPARENT) && (C->ExStyle & WS_EX_TRANSPARENT)) continue;
    if (WindowHolds(C, S)) return C->Handle;
  }
  return Parent;
}

HWND ChildWindowFromPoint(HWND Parent, POINT Point) { return ChildWindowFromPointEx(Parent, Point, CWP_ALL); }

HWND RealChildWindowFromPoint(HWND Parent, POINT Point)
{
  TWnd* P = ValidW(Parent);
  if (P == nullptr) return nullptr;
  POINT S = Point;
  POINT O = ClientOrigin(P);
  S.x += O.x;
  S.y += O.y;
  for (TWnd* C : P->Children) {
    if (!(C->Style & WS_VISIBLE) || !WindowHolds(C, S)) continue;
    LRESULT Hit = SendMessageA(C->Handle, WM_NCHITTEST, 0, MAKELPARAM(static_cast<WORD>(S.x), static_cast<WORD>(S.y)));
    if (Hit == HTTRANSPARENT) continue;
    return C->Handle;
  }
  return Parent;
}

BOOL BringWindowToTop(HWND Wnd) { return SetWindowPos(Wnd, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE); }

BOOL IsWindowVisible(HWND Wnd)
{
  TWnd* W = LookupLive(Wnd);
  return W != nullptr && IsReallyVisible(W) ? TRUE : FALSE;
}

BOOL IsWindowEnabled(HWND Wnd)
{
  TWnd* W = LookupLive(Wnd);
  return W != nullptr && !(W->Style & WS_DISABLED) ? TRUE : FALSE;
}

BOOL EnableWindow(HWND Wnd, BOOL Enable)
{
  TWnd* W = ValidW(Wnd);
  if (W == nullptr) return FALSE;
  BOOL WasDisabled = (W->Style & WS_DISABLED) ? TRUE : FALSE;
  if (Enable && WasDisabled) {
    W->Style &= ~WS_DISABLED;
    SendMessageA(Wnd, WM_ENABLE, TRUE, 0);
  } else if (!Enable && !WasDisabled) {
    HWND H = W->Handle;
    SendMessageA(H, WM_CANCELMODE, 0, 0);
    if ((W = LookupLive(H)) == nullptr) return WasDisabled;
    W->Style |= WS_DISABLED;
    // Focus and capture leave a disabled window.
    TWnd* Focus = LookupLive(FocusWindowRef());
    if (Focus != nullptr && (Focus == W || IsDescendant(W, Focus))) SetFocus(nullptr);
    if (CaptureWindowRef() == H) ReleaseCapture();
    if ((W = LookupLive(H)) == nullptr) return WasDisabled;
    SendMessageA(H, WM_ENABLE, FALSE, 0);
  }
  return WasDisabled;
}
