// DefWindowProc: the default handling of every message, the non-client area (frame, caption,
// standard scroll bars, hit testing, the classic drawing) and the modal move/size loop.
#include <algorithm>
#include <cstdint>

#include "platform/rtl/Exceptions.h"
#include "platform/rtl/Thread.h"
#include "platform/win/WinInternal.h"

namespace QvWin {

void SetTopLevelTitle(TWnd* W);

namespace {

bool Has(DWORD Style, DWORD Bits) { return (Style & Bits) == Bits; }

// Set while the F10 key that is down was pressed with Shift: it asked for the context menu,
// so its release must not enter the menu mode.
thread_local bool F10GaveContextMenu = false;

// The context menu asked for from the keyboard: the window itself is told, with the point
// (-1, -1) meaning "no mouse position" (a child passes it up to its parent by default).
void KeyboardContextMenu(HWND Wnd)
{
  SendMessageA(Wnd, WM_CONTEXTMENU, reinterpret_cast<WPARAM>(Wnd), MAKELPARAM(0xFFFF, 0xFFFF));
}

int FrameOf(DWORD Style, DWORD ExStyle)
{
  if (Style & WS_THICKFRAME) return GetSystemMetrics(SM_CXFRAME);
  if ((Style & WS_DLGFRAME) || (ExStyle & WS_EX_DLGMODALFRAME)) return GetSystemMetrics(SM_CXDLGFRAME);
  if (Style & WS_BORDER) return GetSystemMetrics(SM_CXBORDER);
  return 0;
}

int CaptionOf(DWORD Style, DWORD ExStyle)
{
  if (!Has(Style, WS_CAPTION)) return 0;
  return (ExStyle & WS_EX_TOOLWINDOW) ? GetSystemMetrics(SM_CYSMCAPTION) : GetSystemMetrics(SM_CYCAPTION);
}

int EdgeOf(DWORD ExStyle)
{
  int E = 0;
  if (ExStyle & WS_EX_CLIENTEDGE) E += GetSystemMetrics(SM_CXEDGE);
  if (ExStyle & WS_EX_STATICEDGE) E += GetSystemMetrics(SM_CXBORDER);
  return E;
}

// Window coordinates of the caption bar (empty without one).
RECT CaptionRect(const TWnd* W)
{
  int F = FrameOf(W->Style, W->ExStyle);
  int C = CaptionOf(W->Style, W->ExStyle);
  int Width = W->Window.right - W->Window.left;
  if (C == 0) return RECT{};
  return RECT{F, F, Width - F, F + C - 1};
}

struct TCaptionButtons {
  RECT Close{}, Max{}, Min{}, SysMenu{};
};

TCaptionButtons CaptionButtons(const TWnd* W)
{
  TCaptionButtons B;
  RECT C = CaptionRect(W);
  if (IsRectEmpty(&C) || !(W->Style & WS_SYSMENU)) return B;
  bool Tool = (W->ExStyle & WS_EX_TOOLWINDOW) != 0;
  int BH = (C.bottom - C.top) - 4;
  int BW = Tool ? BH : GetSystemMetrics(SM_CXSIZE) - 2;
  int Y = C.top + 2;
  int X = C.right - 2 - BW;
  B.Close = RECT{X, Y, X + BW, Y + BH};
  if (!Tool && (W->Style & (WS_MINIMIZEBOX | WS_MAXIMIZEBOX))) {
    X -= 2 + BW;
    B.Max = RECT{X, Y, X + BW, Y + BH};
    X -= BW;
    B.Min = RECT{X, Y, X + BW, Y + BH};
  }
  if (!Tool) {
    int S = GetSystemMetrics(SM_CXSMICON);
    B.SysMenu = RECT{C.left + 1, C.top + 1, C.left + 1 + S, C.top + 1 + S};
  }
  return B;
}

bool In(const RECT& R, int X, int Y) { return X >= R.left && X < R.right && Y >= R.top && Y < R.bottom; }

LRESULT SizeHit(const TWnd* W, int X, int Y, int Width, int Height)
{
  int F = FrameOf(W->Style, W->ExStyle);
  int Corner = GetSystemMetrics(SM_CXSIZE) + F;
  bool Left = X < F, Right = X >= Width - F, Top = Y < F, Bottom = Y >= Height - F;
  if (!(Left || Right || Top || Bottom)) return HTNOWHERE;
  if (Left) return Y < Corner ? HTTOPLEFT : (Y >= Height - Corner ? HTBOTTOMLEFT : HTLEFT);
  if (Right) return Y < Corner ? HTTOPRIGHT : (Y >= Height - Corner ? HTBOTTOMRIGHT : HTRIGHT);
  if (Top) return X < Corner ? HTTOPLEFT : (X >= Width - Corner ? HTTOPRIGHT : HTTOP);
  return X < Corner ? HTBOTTOMLEFT : (X >= Width - Corner ? HTBOTTOMRIGHT : HTBOTTOM);
}

// The window rect without frame, caption and edges (window coordinates): where the scroll bars
// and the client are.
RECT InnerRect(const TWnd* W)
{
  RECT In = DefaultNcInsets(W->Style & ~(WS_VSCROLL | WS_HSCROLL), W->ExStyle, false);
  int Width = W->Window.right - W->Window.left, Height = W->Window.bottom - W->Window.top;
  return RECT{In.left, In.top, std::max<LONG>(In.left, Width - In.right), std::max<LONG>(In.top, Height - In.bottom)};
}

HCURSOR CursorFor(LRESULT Hit)
{
  switch (Hit) {
    case HTLEFT:
    case HTRIGHT: return LoadCursorA(nullptr, IDC_SIZEWE);
    case HTTOP:
    case HTBOTTOM: return LoadCursorA(nullptr, IDC_SIZENS);
    case HTTOPLEFT:
    case HTBOTTOMRIGHT: return LoadCursorA(nullptr, IDC_SIZENWSE);
    case HTTOPRIGHT:
    case HTBOTTOMLEFT: return LoadCursorA(nullptr, IDC_SIZENESW);
    default: return LoadCursorA(nullptr, IDC_ARROW);
  }
}

void FillSolid(HDC Dc, const RECT& R, int SysColor)
{
  RECT X = R;
  FillRect(Dc, &X, GetSysColorBrush(SysColor));
}

// The bold variant of the GUI font: the classic caption's font.
HFONT CaptionFont()
{
  static HFONT Font = [] {
    LOGFONTA L{};
    GetObjectA(GetStockObject(DEFAULT_GUI_FONT), sizeof L, &L);
    L.lfWeight = FW_BOLD;
    return CreateFontIndirectA(&L);
  }();
  return Font;
}

// The small icon in the caption's system-menu box. Windows here carry only the stock icons, all
// shown as the classic application icon: a small white window with a title bar.
void DrawCaptionIcon(HDC Dc, const RECT& Box)
{
  int S = std::min(Box.right - Box.left, Box.bottom - Box.top);
  if (S < 8) return;
  RECT Frame{Box.left + 1, Box.top + 2, Box.left + S - 1, Box.top + S - 2};
  HBRUSH Black = static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH));
  HBRUSH White = static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH));
  FillRect(Dc, &Frame, White);
  FrameRect(Dc, &Frame, Black);
  RECT Title{Frame.left + 1, Frame.top + 1, Frame.right - 1, Frame.top + 1 + std::max(2, S / 6)};
  HBRUSH Navy = CreateSolidBrush(RGB(0, 0, 128));
  FillRect(Dc, &Title, Navy);
  DeleteObject(Navy);
}

void DrawScrollBar(TWnd* W, HDC Dc, int Bar)
{
  RECT R = ScrollBarRect(W, Bar);
  if (IsRectEmpty(&R)) return;
  TScrollBar& S = Bar == SB_VERT ? W->VScroll : W->HScroll;
  bool Vert = Bar == SB_VERT;
  int Arrow = Vert ? GetSystemMetrics(SM_CYVSCROLL) : GetSystemMetrics(SM_CXHSCROLL);
  int Len = Vert ? R.bottom - R.top : R.right - R.left;
  if (2 * Arrow > Len) Arrow = Len / 2;
  RECT A1 = R, A2 = R;
  if (Vert) {
    A1.bottom = A1.top + Arrow;
    A2.top = A2.bottom - Arrow;
  } else {
    A1.right = A1.left + Arrow;
    A2.left = A2.right - Arrow;
  }
  bool Disabled = (S.Disabled == ESB_DISABLE_BOTH) || (W->Style & WS_DISABLED) || S.Max <= S.Min;
  UINT Dis = Disabled ? DFCS_INACTIVE : 0;
  DrawFrameControl(Dc, &A1, DFC_SCROLL, (Vert ? DFCS_SCROLLUP : DFCS_SCROLLLEFT) | Dis);
  DrawFrameControl(Dc, &A2, DFC_SCROLL, (Vert ? DFCS_SCROLLDOWN : DFCS_SCROLLRIGHT) | Dis);
  RECT Track = R;
  if (Vert) {
    Track.top = A1.bottom;
    Track.bottom = A2.top;
  } else {
    Track.left = A1.right;
    Track.right = A2.left;
  }
  FillRect(Dc, &Track, ScrollTrackBrush());
  if (Disabled) return;
  int TrackLen = Vert ? Track.bottom - Track.top : Track.right - Track.left;
  int Range = S.Max - S.Min + 1;
  int Thumb = S.Page > 0 ? static_cast<int>(static_cast<long long>(TrackLen) * S.Page / std::max(Range, 1)) : Arrow;
  Thumb = std::clamp(Thumb, std::min(8, TrackLen), TrackLen);
  int MaxPos = S.Max - std::max<int>(static_cast<int>(S.Page) - 1, 0);
  int Pos = S.Tracking ? S.TrackPos : S.Pos;
  int Span = MaxPos - S.Min;
  int Off = Span > 0 ? static_cast<int>(static_cast<long long>(TrackLen - Thumb) * (Pos - S.Min) / Span) : 0;
  Off = std::clamp(Off, 0, std::max(0, TrackLen - Thumb));
  RECT T = Track;
  if (Vert) {
    T.top += Off;
    T.bottom = T.top + Thumb;
  } else {
    T.left += Off;
    T.right = T.left + Thumb;
  }
  FillSolid(Dc, T, COLOR_BTNFACE);
  DrawEdge(Dc, &T, EDGE_RAISED, BF_RECT);
}

void SysCommand(TWnd* W, WPARAM Cmd, LPARAM LParam)
{
  HWND H = W->Handle;
  switch (Cmd & 0xFFF0) {
    case SC_MINIMIZE: ShowWindow(H, SW_MINIMIZE); break;
    case SC_MAXIMIZE: ShowWindow(H, SW_MAXIMIZE); break;
    case SC_RESTORE: ShowWindow(H, SW_RESTORE); break;
    case SC_CLOSE: SendMessageA(H, WM_CLOSE, 0, 0); break;
    case SC_MOVE: {
      POINT P{GET_X_LPARAM(LParam), GET_Y_LPARAM(LParam)};
      if ((Cmd & 0x0F) == 0) GetCursorPos(&P);
      RunMoveSizeLoop(W, HTCAPTION, P);
      break;
    }
    case SC_SIZE: {
      WPARAM Edge = Cmd & 0x0F;
      if (Edge == 0) break;  // keyboard sizing is not offered
      POINT P{GET_X_LPARAM(LParam), GET_Y_LPARAM(LParam)};
      RunMoveSizeLoop(W, static_cast<LRESULT>(Edge + 9), P);
      break;
    }
    default: break;
  }
}

// A press on a caption button: tracked until the button is released; the command is sent when
// it is released over the same button.
void TrackCaptionButton(TWnd* W, LRESULT Hit)
{
  HWND H = W->Handle;
  SetCapture(H);
  MSG M;
  bool Over = true;
  while (GetMessageA(&M, nullptr, 0, 0) > 0) {
    if (GetCapture() != H || LookupLive(H) == nullptr) return;
    if (M.hwnd == H && (M.message == WM_MOUSEMOVE || M.message == WM_LBUTTONUP)) {
      TWnd* X = LookupLive(H);
      Over = X != nullptr && DefaultHitTest(X, M.pt) == Hit;
      if (M.message == WM_LBUTTONUP) break;
      continue;
    }
    if (M.message == WM_KEYDOWN && M.wParam == VK_ESCAPE) {
      Over = false;
      break;
    }
    TranslateMessage(&M);
    DispatchMessageA(&M);
  }
  if (M.message == WM_QUIT) PostQuitMessage(static_cast<int>(M.wParam));
  if (GetCapture() == H) ReleaseCapture();
  if (!Over || (W = LookupLive(H)) == nullptr) return;
  WPARAM Cmd = Hit == HTCLOSE ? SC_CLOSE
               : Hit == HTMINBUTTON ? SC_MINIMIZE
                                    : ((W->Style & WS_MAXIMIZE) ? SC_RESTORE : SC_MAXIMIZE);
  SendMessageA(H, WM_SYSCOMMAND, Cmd, M.lParam);
}

}  // namespace

HBRUSH ScrollTrackBrush()
{
  static HBRUSH Brush = nullptr;
  static COLORREF Face = CLR_INVALID, Light = CLR_INVALID;
  COLORREF F = GetSysColor(COLOR_BTNFACE), L = GetSysColor(COLOR_BTNHIGHLIGHT);
  if (Brush != nullptr && F == Face && L == Light) return Brush;
  std::uint32_t Bits[8 * 8];
  auto Raw = [](COLORREF C) { return (std::uint32_t(GetRValue(C)) << 16) | (std::uint32_t(GetGValue(C)) << 8) | GetBValue(C); };
  for (int Y = 0; Y < 8; ++Y)
    for (int X = 0; X < 8; ++X) Bits[Y * 8 + X] = (X + Y) % 2 ? Raw(L) : Raw(F);
  HBITMAP Pattern = CreateBitmap(8, 8, 1, 32, Bits);
  HBRUSH Made = Pattern != nullptr ? CreatePatternBrush(Pattern) : nullptr;
  if (Pattern != nullptr) DeleteObject(Pattern);
  if (Made == nullptr) return GetSysColorBrush(COLOR_SCROLLBAR);
  if (Brush != nullptr) DeleteObject(Brush);
  Brush = Made;
  Face = F;
  Light = L;
  return Brush;
}

RECT DefaultNcInsets(DWORD Style, DWORD ExStyle, bool HasMenu)
{
  int F = FrameOf(Style, ExStyle);
  int E = EdgeOf(ExStyle);
  RECT R{F + E, F + E + CaptionOf(Style, ExStyle), F + E, F + E};
  if (HasMenu && !(Style & WS_CHILD)) R.top += GetSystemMetrics(SM_CYMENU);
  if (Style & WS_VSCROLL) R.right += GetSystemMetrics(SM_CXVSCROLL);
  if (Style & WS_HSCROLL) R.bottom += GetSystemMetrics(SM_CYHSCROLL);
  return R;
}

RECT ScrollBarRect(TWnd* W, int Bar)
{
  RECT In = InnerRect(W);
  bool V = (W->Style & WS_VSCROLL) != 0, Hz = (W->Style & WS_HSCROLL) != 0;
  int Cx = GetSystemMetrics(SM_CXVSCROLL), Cy = GetSystemMetrics(SM_CYHSCROLL);
  if (Bar == SB_VERT && V) {
    return RECT{std::max<LONG>(In.left, In.right - Cx), In.top, In.right, Hz ? std::max<LONG>(In.top, In.bottom - Cy) : In.bottom};
  }
  if (Bar == SB_HORZ && Hz) {
    return RECT{In.left, std::max<LONG>(In.top, In.bottom - Cy), V ? std::max<LONG>(In.left, In.right - Cx) : In.right, In.bottom};
  }
  return RECT{};
}

LRESULT DefaultHitTest(TWnd* W, POINT Screen)
{
  RECT R = ScreenWindowRect(W);
  if (!PtInRect(&R, Screen)) return HTNOWHERE;
  int X = Screen.x - R.left, Y = Screen.y - R.top;
  if (W->HasRegion && !W->Region.Contains(X, Y)) return HTNOWHERE;
  RECT C = ScreenClientRect(W);
  if (PtInRect(&C, Screen)) return HTCLIENT;
  if (W->Style & WS_MINIMIZE) return HTCAPTION;
  int Width = R.right - R.left, Height = R.bottom - R.top;
  int F = FrameOf(W->Style, W->ExStyle);
  if ((W->Style & WS_THICKFRAME) && !(W->Style & WS_MAXIMIZE)) {
    LRESULT S = SizeHit(W, X, Y, Width, Height);
    if (S != HTNOWHERE) return S;
  } else if (F > 0 && (X < F || Y < F || X >= Width - F || Y >= Height - F)) {
    return HTBORDER;
  }
  RECT Cap = CaptionRect(W);
  if (In(Cap, X, Y)) {
    TCaptionButtons B = CaptionButtons(W);
    if (In(B.Close, X, Y)) return HTCLOSE;
    if (In(B.Max, X, Y)) return HTMAXBUTTON;
    if (In(B.Min, X, Y)) return HTMINBUTTON;
    if (In(B.SysMenu, X, Y)) return HTSYSMENU;
    return HTCAPTION;
  }
  RECT V = ScrollBarRect(W, SB_VERT), Hz = ScrollBarRect(W, SB_HORZ);
  if (In(V, X, Y)) return HTVSCROLL;
  if (In(Hz, X, Y)) return HTHSCROLL;
  if ((W->Style & WS_VSCROLL) && (W->Style & WS_HSCROLL)) {
    RECT Grow{V.left, Hz.top, V.right, Hz.bottom};
    if (In(Grow, X, Y)) return (W->Style & WS_THICKFRAME) && !W->IsChild() ? HTBOTTOMRIGHT : HTGROWBOX;
  }
  return HTBORDER;
}

void PaintDefaultFrame(TWnd* W, HDC Dc)
{
  if (Dc == nullptr) return;
  int Width = W->Window.right - W->Window.left, Height = W->Window.bottom - W->Window.top;
  RECT R{0, 0, Width, Height};
  bool Active = TopLevelOf(W)->Handle == ActiveWindowRef() || W->IsChild();
  int F = FrameOf(W->Style, W->ExStyle);
  if (W->Style & WS_THICKFRAME) {
    DrawEdge(Dc, &R, EDGE_RAISED, BF_RECT | 0x2000 /* BF_ADJUST */);
    RECT Inner = R;
    for (int I = 2; I < F; ++I) {
      FrameRect(Dc, &Inner, GetSysColorBrush(Active ? COLOR_ACTIVEBORDER : COLOR_INACTIVEBORDER));
      InflateRect(&Inner, -1, -1);
    }
    R = Inner;
  } else if ((W->Style & WS_DLGFRAME) || (W->ExStyle & WS_EX_DLGMODALFRAME)) {
    DrawEdge(Dc, &R, EDGE_RAISED, BF_RECT | 0x2000);
    RECT Inner = R;
    for (int I = 2; I < F; ++I) {
      FrameRect(Dc, &Inner, GetSysColorBrush(COLOR_BTNFACE));
      InflateRect(&Inner, -1, -1);
    }
    R = Inner;
  } else if (W->Style & WS_BORDER) {
    FrameRect(Dc, &R, GetSysColorBrush(COLOR_WINDOWFRAME));
    InflateRect(&R, -1, -1);
  }
  RECT Cap = CaptionRect(W);
  if (!IsRectEmpty(&Cap)) {
    FillSolid(Dc, Cap, Active ? COLOR_ACTIVECAPTION : COLOR_INACTIVECAPTION);
    RECT Line{Cap.left, Cap.bottom, Cap.right, Cap.bottom + 1};
    FillSolid(Dc, Line, COLOR_BTNFACE);
    TCaptionButtons B = CaptionButtons(W);
    RECT TextR = Cap;
    TextR.left += IsRectEmpty(&B.SysMenu) ? 2 : (B.SysMenu.right + 2);
    if (!IsRectEmpty(&B.Min)) TextR.right = B.Min.left - 2;
    else if (!IsRectEmpty(&B.Close)) TextR.right = B.Close.left - 2;
    SetBkMode(Dc, TRANSPARENT);
    SetTextColor(Dc, GetSysColor(Active ? COLOR_CAPTIONTEXT : COLOR_INACTIVECAPTIONTEXT));
    if (!IsRectEmpty(&B.SysMenu)) DrawCaptionIcon(Dc, B.SysMenu);
    HGDIOBJ OldFont = SelectObject(Dc, CaptionFont() ? static_cast<HGDIOBJ>(CaptionFont()) : GetStockObject(DEFAULT_GUI_FONT));
    DrawTextA(Dc, W->Text.c_str(), static_cast<int>(W->Text.size()), &TextR,
              DT_SINGLELINE | DT_VCENTER | DT_END_ELLIPSIS | 0x0800 /* DT_NOPREFIX */);
    SelectObject(Dc, OldFont);
    if (!IsRectEmpty(&B.Close)) DrawFrameControl(Dc, &B.Close, DFC_CAPTION, DFCS_CAPTIONCLOSE);
    if (!IsRectEmpty(&B.Max))
      DrawFrameControl(Dc, &B.Max, DFC_CAPTION,
                       ((W->Style & WS_MAXIMIZE) ? DFCS_CAPTIONRESTORE : DFCS_CAPTIONMAX) |
                           ((W->Style & WS_MAXIMIZEBOX) ? 0 : DFCS_INACTIVE));
    if (!IsRectEmpty(&B.Min))
      DrawFrameControl(Dc, &B.Min, DFC_CAPTION,
                       ((W->Style & WS_MINIMIZE) ? DFCS_CAPTIONRESTORE : DFCS_CAPTIONMIN) |
                           ((W->Style & WS_MINIMIZEBOX) ? 0 : DFCS_INACTIVE));
  }
  if (W->ExStyle & (WS_EX_CLIENTEDGE | WS_EX_STATICEDGE)) {
    RECT E = InnerRect(W);
    int Edge = EdgeOf(W->ExStyle);
    InflateRect(&E, Edge, Edge);
    if (W->ExStyle & WS_EX_CLIENTEDGE) DrawEdge(Dc, &E, EDGE_SUNKEN, BF_RECT);
    else DrawEdge(Dc, &E, BDR_SUNKENOUTER, BF_RECT);
  }
  DrawScrollBar(W, Dc, SB_VERT);
  DrawScrollBar(W, Dc, SB_HORZ);
  if ((W->Style & WS_VSCROLL) && (W->Style & WS_HSCROLL)) {
    RECT V = ScrollBarRect(W, SB_VERT), Hz = ScrollBarRect(W, SB_HORZ);
    RECT Grow{V.left, Hz.top, V.right, Hz.bottom};
    FillSolid(Dc, Grow, COLOR_BTNFACE);
  }
}

namespace {

// The window manager's direction for a hit code (_NET_WM_MOVERESIZE numbering): 8 moves.
int MoveResizeDirection(LRESULT Hit)
{
  switch (Hit) {
    case HTTOPLEFT: return 0;
    case HTTOP: return 1;
    case HTTOPRIGHT: return 2;
    case HTRIGHT: return 3;
    case HTBOTTOMRIGHT: return 4;
    case HTBOTTOM: return 5;
    case HTBOTTOMLEFT: return 6;
    case HTLEFT: return 7;
    default: return 8;
  }
}

// The move or size of a top-level window done by the desktop's window manager while the left
// button stays down. The new bounds arrive as the display's reports (WM_WINDOWPOSCHANGED,
// WM_MOVE, WM_SIZE as the window follows); the window hears WM_ENTERSIZEMOVE before and
// WM_EXITSIZEMOVE after. False when the display has no window manager that does it.
bool RunWindowManagerMoveSize(TWnd* W, LRESULT Hit, POINT Start, const MINMAXINFO& Info)
{
  HWND H = W->Handle;
  TWnd* Top = TopLevelOf(W);
  if (Top != W) return false;
  TDisplayWindow D = GetDisplayWindow(H);
  TDisplayBackend& Backend = GetDisplayBackend();
  if (D == 0 || !Backend.KeyDown(VK_LBUTTON)) return false;
  if (Hit != HTCAPTION)
    Backend.SetSizeLimits(D, SIZE{Info.ptMinTrackSize.x, Info.ptMinTrackSize.y},
                          SIZE{Info.ptMaxTrackSize.x, Info.ptMaxTrackSize.y});
  if (GetCapture() == H) ReleaseCapture();
  if (!Backend.BeginMoveResize(D, MoveResizeDirection(Hit), Start, 1)) return false;
  SendMessageA(H, WM_ENTERSIZEMOVE, 0, 0);
  MSG M{};
  while (LookupLive(H) != nullptr && GetDisplayBackend().KeyDown(VK_LBUTTON)) {
    MsgWaitForMultipleObjects(0, nullptr, FALSE, 15, QS_ALLINPUT);
    while (PeekMessageA(&M, nullptr, 0, 0, PM_REMOVE)) {
      if (M.message == WM_QUIT) {
        PostQuitMessage(static_cast<int>(M.wParam));
        break;
      }
      // The user's input belongs to the window manager until the button goes up.
      if ((M.message >= WM_MOUSEFIRST && M.message <= WM_MOUSELAST) ||
          (M.message >= WM_NCMOUSEMOVE && M.message <= WM_NCMBUTTONDBLCLK))
        continue;
      TranslateMessage(&M);
      DispatchMessageA(&M);
    }
    if (M.message == WM_QUIT) break;
  }
  if (LookupLive(H) != nullptr) SendMessageA(H, WM_EXITSIZEMOVE, 0, 0);
  return true;
}

}  // namespace

void RunMoveSizeLoop(TWnd* W, LRESULT Hit, POINT Start)
{
  HWND H = W->Handle;
  bool Move = Hit == HTCAPTION;
  if (!Move && (Hit < HTLEFT || Hit > HTBOTTOMRIGHT)) return;
  if (W->Style & WS_MAXIMIZE) return;
  if (!Move && !(W->Style & WS_THICKFRAME) && Hit != HTBOTTOMRIGHT) return;
  MINMAXINFO Info{};
  if (!Move) {
    GetMinMax(W, Info);
    if ((W = LookupLive(H)) == nullptr) return;
  }
  if (RunWindowManagerMoveSize(W, Hit, Start, Info)) return;
  if ((W = LookupLive(H)) == nullptr) return;
  SendMessageA(H, WM_ENTERSIZEMOVE, 0, 0);
  if ((W = LookupLive(H)) == nullptr) return;
  RECT Orig = W->Window;  // parent coordinates
  SetCapture(H);
  TWnd* Top = TopLevelOf(W);
  TDisplayWindow D = GetDisplayWindow(Top->Handle);
  if (D != 0) GetDisplayBackend().GrabPointer(D, true);
  WPARAM Edge = Move ? 0 : static_cast<WPARAM>(Hit - 9);
  MSG M{};
  bool Cancel = false;
  for (;;) {
    BOOL R = GetMessageA(&M, nullptr, 0, 0);
    if (R <= 0) {
      if (R == 0) PostQuitMessage(static_cast<int>(M.wParam));
      break;
    }
    if (LookupLive(H) == nullptr || GetCapture() != H) break;
    bool Mouse = M.message == WM_MOUSEMOVE || M.message == WM_LBUTTONUP;
    if (M.message == WM_KEYDOWN && M.wParam == VK_ESCAPE) {
      Cancel = true;
      break;
    }
    if (M.message == WM_KEYDOWN && M.wParam == VK_RETURN) break;
    if (!Mouse) {
      if (M.message >= WM_MOUSEFIRST && M.message <= WM_MOUSELAST) continue;
      if (M.message >= WM_KEYFIRST && M.message <= WM_KEYLAST) continue;
      TranslateMessage(&M);
      DispatchMessageA(&M);
      if (LookupLive(H) == nullptr || GetCapture() != H) break;
      continue;
    }
    W = LookupLive(H);
    int Dx = M.pt.x - Start.x, Dy = M.pt.y - Start.y;
    RECT N = Orig;
    if (Move) {
      OffsetRect(&N, Dx, Dy);
      SendMessageA(H, WM_MOVING, 0, reinterpret_cast<LPARAM>(&N));
    } else {
      if (Edge == WMSZ_LEFT || Edge == WMSZ_TOPLEFT || Edge == WMSZ_BOTTOMLEFT) N.left += Dx;
      if (Edge == WMSZ_RIGHT || Edge == WMSZ_TOPRIGHT || Edge == WMSZ_BOTTOMRIGHT) N.right += Dx;
      if (Edge == WMSZ_TOP || Edge == WMSZ_TOPLEFT || Edge == WMSZ_TOPRIGHT) N.top += Dy;
      if (Edge == WMSZ_BOTTOM || Edge == WMSZ_BOTTOMLEFT || Edge == WMSZ_BOTTOMRIGHT) N.bottom += Dy;
      // The size limits, keeping the dragged edge's opposite side in place.
      int Cx = std::clamp<int>(N.right - N.left, Info.ptMinTrackSize.x, std::max(Info.ptMinTrackSize.x, Info.ptMaxTrackSize.x));
      int Cy = std::clamp<int>(N.bottom - N.top, Info.ptMinTrackSize.y, std::max(Info.ptMinTrackSize.y, Info.ptMaxTrackSize.y));
      if (Edge == WMSZ_LEFT || Edge == WMSZ_TOPLEFT || Edge == WMSZ_BOTTOMLEFT) N.left = N.right - Cx;
      else N.right = N.left + Cx;
      if (Edge == WMSZ_TOP || Edge == WMSZ_TOPLEFT || Edge == WMSZ_TOPRIGHT) N.top = N.bottom - Cy;
      else N.bottom = N.top + Cy;
      SendMessageA(H, WM_SIZING, Edge, reinterpret_cast<LPARAM>(&N));
    }
    if (LookupLive(H) == nullptr) break;
    SetWindowPos(H, nullptr, N.left, N.top, N.right - N.left, N.bottom - N.top,
                 SWP_NOZORDER | SWP_NOACTIVATE | (Move ? SWP_NOSIZE : 0));
    if (LookupLive(H) == nullptr) break;
    UpdateWindow(H);
    if (M.message == WM_LBUTTONUP) break;
  }
  if (D != 0) GetDisplayBackend().GrabPointer(D, false);
  if (Cancel && LookupLive(H) != nullptr)
    SetWindowPos(H, nullptr, Orig.left, Orig.top, Orig.right - Orig.left, Orig.bottom - Orig.top,
                 SWP_NOZORDER | SWP_NOACTIVATE);
  if (GetCapture() == H) ReleaseCapture();
  if (LookupLive(H) != nullptr) SendMessageA(H, WM_EXITSIZEMOVE, 0, 0);
}

}  // namespace QvWin

using namespace QvWin;

LRESULT DefWindowProcA(HWND Wnd, UINT Msg, WPARAM WParam, LPARAM LParam)
{
  TWnd* W = LookupLive(Wnd);
  if (W == nullptr || W->IsDesktop) return 0;
  switch (Msg) {
    case WM_NCCREATE:
      W->VScroll.Shown = (W->Style & WS_VSCROLL) != 0;
      W->HScroll.Shown = (W->Style & WS_HSCROLL) != 0;
      if (LParam != 0) {
        auto* Cs = reinterpret_cast<CREATESTRUCTA*>(LParam);
        if (Cs->lpszName != nullptr) W->Text = Cs->lpszName;
      }
      return TRUE;
    case WM_NCCALCSIZE: {
      RECT* R = WParam ? &reinterpret_cast<NCCALCSIZE_PARAMS*>(LParam)->rgrc[0] : reinterpret_cast<RECT*>(LParam);
      if (R == nullptr) return 0;
      if ((W->Style & WS_MINIMIZE) && W->IsTopLevel()) {
        R->right = R->left;
        R->bottom = R->top;
        return 0;
      }
      // Menu bars are drawn by the class library inside the client area: no room is kept.
      RECT In = DefaultNcInsets(W->Style, W->ExStyle, false);
      R->left += In.left;
      R->top += In.top;
      R->right -= In.right;
      R->bottom -= In.bottom;
      if (R->right < R->left) R->right = R->left;
      if (R->bottom < R->top) R->bottom = R->top;
      return 0;
    }
    case WM_NCHITTEST: return DefaultHitTest(W, POINT{GET_X_LPARAM(LParam), GET_Y_LPARAM(LParam)});
    case WM_NCPAINT: {
      HDC Dc = GetWindowDC(Wnd);
      if (Dc != nullptr) {
        PaintDefaultFrame(W, Dc);
        ReleaseDC(Wnd, Dc);
      }
      return 0;
    }
    case WM_NCACTIVATE:
      if (W->IsTopLevel() && (W->Style & WS_CAPTION) == WS_CAPTION) RedrawWindow(Wnd, nullptr, nullptr, RDW_FRAME | RDW_INVALIDATE | RDW_NOCHILDREN);
      return TRUE;
    case WM_ACTIVATE:
      if (LOWORD(WParam) != WA_INACTIVE && !(W->Style & WS_MINIMIZE)) SetFocus(Wnd);
      return 0;
    case WM_MOUSEACTIVATE:
      if (W->IsChild()) {
        LRESULT R = SendMessageA(W->Parent->Handle, WM_MOUSEACTIVATE, WParam, LParam);
        if (R != 0) return R;
      }
      return MA_ACTIVATE;
    case WM_SETCURSOR: {
      if (W->IsChild()) {
        if (SendMessageA(W->Parent->Handle, WM_SETCURSOR, WParam, LParam)) return TRUE;
        if ((W = LookupLive(Wnd)) == nullptr) return FALSE;
      }
      LRESULT Hit = static_cast<SHORT>(LOWORD(static_cast<std::uintptr_t>(LParam)));
      if (Hit == HTERROR) {
        WORD Mouse = HIWORD(static_cast<std::uintptr_t>(LParam));
        if (Mouse == WM_LBUTTONDOWN || Mouse == WM_RBUTTONDOWN || Mouse == WM_MBUTTONDOWN) MessageBeep(0);
        return FALSE;
      }
      if (Hit == HTCLIENT) {
        if (W->Class != nullptr && W->Class->Cursor != nullptr) {
          SetCursor(W->Class->Cursor);
          return TRUE;
        }
        return FALSE;
      }
      SetCursor(CursorFor(Hit));
      return TRUE;
    }
    case WM_SETTEXT:
    case WM_GETTEXT:
    case WM_GETTEXTLENGTH: {
      LRESULT R = DefaultTextMessage(W, Msg, WParam, LParam);
      if (Msg == WM_SETTEXT) {
        if (W->IsTopLevel()) SetTopLevelTitle(W);
        if ((W->Style & WS_CAPTION) == WS_CAPTION) RedrawWindow(Wnd, nullptr, nullptr, RDW_FRAME | RDW_INVALIDATE | RDW_NOCHILDREN);
      }
      return R;
    }
    case WM_CLOSE: DestroyWindow(Wnd); return 0;
    case WM_SYSCOMMAND: SysCommand(W, WParam, LParam); return 0;
    case WM_NCLBUTTONDOWN: {
      LRESULT Hit = static_cast<LRESULT>(WParam);
      POINT P{GET_X_LPARAM(LParam), GET_Y_LPARAM(LParam)};
      if (Hit == HTCAPTION) {
        TWnd* Top = TopLevelOf(W);
        if (Top->Handle != ActiveWindowRef() && !(Top->ExStyle & WS_EX_NOACTIVATE)) SetActiveWindow(Top->Handle);
        if ((W = LookupLive(Wnd)) == nullptr) return 0;
        SendMessageA(Wnd, WM_SYSCOMMAND, SC_MOVE | HTCAPTION, LParam);
      } else if (Hit == HTBOTTOMRIGHT && W->IsChild() && !(W->Style & WS_THICKFRAME)) {
        // A size grip of a child without a sizing border (a status bar's) sizes its top-level
        // window.
        HWND Top = TopLevelOf(W)->Handle;
        if (Top != Wnd) SendMessageA(Top, WM_SYSCOMMAND, SC_SIZE | static_cast<WPARAM>(Hit - 9), LParam);
      } else if (Hit >= HTLEFT && Hit <= HTBOTTOMRIGHT) {
        SendMessageA(Wnd, WM_SYSCOMMAND, SC_SIZE | static_cast<WPARAM>(Hit - 9), LParam);
      } else if (Hit == HTCLOSE || Hit == HTMINBUTTON || Hit == HTMAXBUTTON) {
        TrackCaptionButton(W, Hit);
      } else if (Hit == HTVSCROLL || Hit == HTHSCROLL) {
        TrackScrollBar(W, Hit == HTVSCROLL ? SB_VERT : SB_HORZ, P);
      }
      return 0;
    }
    case WM_NCLBUTTONDBLCLK:
      if (WParam == HTCAPTION && (W->Style & WS_MAXIMIZEBOX) && (W->Style & WS_SYSMENU))
        SendMessageA(Wnd, WM_SYSCOMMAND, (W->Style & (WS_MAXIMIZE | WS_MINIMIZE)) ? SC_RESTORE : SC_MAXIMIZE, LParam);
      else if (WParam == HTVSCROLL || WParam == HTHSCROLL)
        TrackScrollBar(W, WParam == HTVSCROLL ? SB_VERT : SB_HORZ, POINT{GET_X_LPARAM(LParam), GET_Y_LPARAM(LParam)});
      return 0;
    case WM_RBUTTONUP: {
      POINT P{GET_X_LPARAM(LParam), GET_Y_LPARAM(LParam)};
      ClientToScreen(Wnd, &P);
      SendMessageA(Wnd, WM_CONTEXTMENU, reinterpret_cast<WPARAM>(Wnd), MAKELPARAM(static_cast<WORD>(P.x), static_cast<WORD>(P.y)));
      return 0;
    }
    case WM_NCRBUTTONUP:
      if (WParam != HTCAPTION && WParam != HTSYSMENU)
        SendMessageA(Wnd, WM_CONTEXTMENU, reinterpret_cast<WPARAM>(Wnd), LParam);
      return 0;
    case WM_CONTEXTMENU:
    case WM_HELP:
    case WM_APPCOMMAND:
      if (W->IsChild()) return SendMessageA(W->Parent->Handle, Msg, WParam, LParam);
      return 0;
    case WM_MOUSEWHEEL:
      if (W->IsChild()) return SendMessageA(W->Parent->Handle, Msg, WParam, LParam);
      return 0;
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN:
      if (WParam == static_cast<WPARAM>(VK_F10)) {
        // Shift+F10 asks for the context menu (once per press, not for the auto-repeat).
        bool Shift = GetKeyState(VK_SHIFT) < 0;
        if (Shift && !(LParam & KF_REPEAT_BIT)) KeyboardContextMenu(Wnd);
        if (Shift || !(LParam & KF_REPEAT_BIT)) F10GaveContextMenu = Shift;
        return 0;
      }
      if (Msg == WM_SYSKEYDOWN && WParam == static_cast<WPARAM>(VK_F4) && (LParam & KF_ALTDOWN_BIT) &&
          W->IsTopLevel()) {
        SendMessageA(Wnd, WM_SYSCOMMAND, SC_CLOSE, 0);
      }
      return 0;
    case WM_KEYUP:
    case WM_SYSKEYUP:
      if (WParam == static_cast<WPARAM>(VK_APPS)) {
        KeyboardContextMenu(Wnd);
        return 0;
      }
      if (WParam == static_cast<WPARAM>(VK_F10) && F10GaveContextMenu) {
        F10GaveContextMenu = false;
        return 0;
      }
      if (Msg == WM_SYSKEYUP && (WParam == static_cast<WPARAM>(VK_MENU) || WParam == static_cast<WPARAM>(VK_F10))) {
        TWnd* Top = TopLevelOf(W);
        SendMessageA(Top->Handle, WM_SYSCOMMAND, SC_KEYMENU, 0);
      }
      return 0;
    case WM_SYSCHAR:
      if (WParam != '\r' && WParam != 0x1B) {
        // Alt+key goes to the top-level window's menu (its system menu, or its menu bar for a
        // letter); a window that has neither only beeps.
        TWnd* Top = TopLevelOf(W);
        if ((Top->Style & WS_SYSMENU) || (Top->Menu != nullptr && WParam != ' '))
          SendMessageA(Top->Handle, WM_SYSCOMMAND, SC_KEYMENU, static_cast<LPARAM>(WParam));
        else
          MessageBeep(0);
      }
      return 0;
    case WM_WINDOWPOSCHANGED: {
      auto* Wp = reinterpret_cast<WINDOWPOS*>(LParam);
      if (Wp == nullptr) return 0;
      if (!(Wp->flags & SWP_NOMOVE))
        SendMessageA(Wnd, WM_MOVE, 0, MAKELPARAM(static_cast<WORD>(W->Client.left), static_cast<WORD>(W->Client.top)));
      if ((W = LookupLive(Wnd)) == nullptr) return 0;
      if (!(Wp->flags & SWP_NOSIZE) || (Wp->flags & SWP_STATECHANGED)) {
        WPARAM Type = (W->Style & WS_MINIMIZE) ? SIZE_MINIMIZED : ((W->Style & WS_MAXIMIZE) ? SIZE_MAXIMIZED : SIZE_RESTORED);
        SendMessageA(Wnd, WM_SIZE, Type,
                     MAKELPARAM(static_cast<WORD>(W->Client.right - W->Client.left),
                                static_cast<WORD>(W->Client.bottom - W->Client.top)));
      }
      return 0;
    }
    case WM_ERASEBKGND: {
      HBRUSH B = W->Class != nullptr ? W->Class->Background : nullptr;
      if (B == nullptr || WParam == 0) return 0;
      RECT R{0, 0, W->Client.right - W->Client.left, W->Client.bottom - W->Client.top};
      FillRect(reinterpret_cast<HDC>(WParam), &R, B);
      return 1;
    }
    case WM_PAINT: {
      PAINTSTRUCT Ps;
      BeginPaint(Wnd, &Ps);
      EndPaint(Wnd, &Ps);
      return 0;
    }
    case WM_PRINT: {
      HDC Dc = reinterpret_cast<HDC>(WParam);
      if (Dc == nullptr) return 0;
      if ((LParam & PRF_CHECKVISIBLE) && !IsWindowVisible(Wnd)) return 0;
      POINT ClientOff{W->Client.left - W->Window.left, W->Client.top - W->Window.top};
      if (LParam & PRF_NONCLIENT) PaintDefaultFrame(W, Dc);
      POINT Old{};
      OffsetViewportOrgEx(Dc, ClientOff.x, ClientOff.y, &Old);
      int Saved = SaveDC(Dc);
      IntersectClipRect(Dc, 0, 0, W->Client.right - W->Client.left, W->Client.bottom - W->Client.top);
      if (LParam & PRF_ERASEBKGND) SendMessageA(Wnd, WM_ERASEBKGND, WParam, 0);
      if (LParam & PRF_CLIENT) SendMessageA(Wnd, WM_PRINTCLIENT, WParam, LParam);
      if ((LParam & PRF_CHILDREN) && (W = LookupLive(Wnd)) != nullptr) {
        std::vector<TWnd*> Kids(W->Children.rbegin(), W->Children.rend());
        for (TWnd* C : Kids) {
          if (!(C->Style & WS_VISIBLE)) continue;
          POINT O2{};
          OffsetViewportOrgEx(Dc, C->Window.left, C->Window.top, &O2);
          int S2 = SaveDC(Dc);
          IntersectClipRect(Dc, 0, 0, C->Window.right - C->Window.left, C->Window.bottom - C->Window.top);
          SendMessageA(C->Handle, WM_PRINT, WParam, LParam | PRF_NONCLIENT | PRF_CLIENT | PRF_ERASEBKGND);
          RestoreDC(Dc, S2);
          SetViewportOrgEx(Dc, O2.x, O2.y, nullptr);
        }
      }
      RestoreDC(Dc, Saved);
      SetViewportOrgEx(Dc, Old.x, Old.y, nullptr);
      return 0;
    }
    case WM_SETREDRAW:
      W->RedrawOff = WParam == FALSE;
      return 0;
    case WM_CANCELMODE:
      if (GetCapture() == Wnd) ReleaseCapture();
      return 0;
    case WM_CTLCOLORSCROLLBAR: {
      HDC Dc = reinterpret_cast<HDC>(WParam);
      SetTextColor(Dc, GetSysColor(COLOR_BTNFACE));
      SetBkColor(Dc, GetSysColor(COLOR_BTNHIGHLIGHT));
      return reinterpret_cast<LRESULT>(ScrollTrackBrush());
    }
    case WM_CTLCOLORMSGBOX:
    case WM_CTLCOLORBTN:
    case WM_CTLCOLORDLG:
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORLISTBOX: {
      HDC Dc = reinterpret_cast<HDC>(WParam);
      bool Window = Msg == WM_CTLCOLOREDIT || Msg == WM_CTLCOLORLISTBOX;
      SetTextColor(Dc, GetSysColor(COLOR_WINDOWTEXT));
      SetBkColor(Dc, GetSysColor(Window ? COLOR_WINDOW : COLOR_BTNFACE));
      return reinterpret_cast<LRESULT>(GetSysColorBrush(Window ? COLOR_WINDOW : COLOR_BTNFACE));
    }
    case WM_SHOWWINDOW:
      // Popups hide with their minimised owner and come back with it.
      if (W->IsTopLevel() && (W->Style & WS_POPUP) && W->Owner != nullptr) {
        if (LParam == SW_PARENTCLOSING && !WParam && (W->Style & WS_VISIBLE)) {
          W->HiddenByOwner = true;
          SetWindowPos(Wnd, nullptr, 0, 0, 0, 0, SWP_HIDEWINDOW | SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
        } else if (LParam == SW_PARENTOPENING && WParam && W->HiddenByOwner) {
          W->HiddenByOwner = false;
          SetWindowPos(Wnd, nullptr, 0, 0, 0, 0, SWP_SHOWWINDOW | SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
        }
      }
      return 0;
    case WM_QUERYENDSESSION:
    case WM_QUERYOPEN: return TRUE;
    case WM_NOTIFYFORMAT: return 1;  // NFR_ANSI
    case WM_GETICON:
      if (W->Class == nullptr) return 0;
      return reinterpret_cast<LRESULT>(WParam == ICON_SMALL && W->Class->IconSm ? W->Class->IconSm : W->Class->Icon);
    case WM_VKEYTOITEM:
    case WM_CHARTOITEM: return -1;
    default: return 0;
  }
}
