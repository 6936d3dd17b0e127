// Geometry: SetWindowPos and ShowWindow message order, minimise and maximise, the client area
// the styles leave, hit testing, the window at a point with regions, z-order.
#include <functional>

#include "tests/platform/win/WinTestSupport.h"

using namespace WinTest;

namespace {

class WinGeometryTest : public TWinTest {};

const std::vector<UINT> PosMessages{WM_WINDOWPOSCHANGING, WM_NCCALCSIZE, WM_WINDOWPOSCHANGED, WM_MOVE, WM_SIZE};

TEST_F(WinGeometryTest, SetWindowPosSendsChangingCalcChangedMoveSize)
{
  HWND P = Top(0, 0, 300, 300, WS_POPUP | WS_VISIBLE);
  HWND W = Child(P, 10, 10, 50, 50);
  struct TCase {
    int X, Y, Cx, Cy;
    UINT Flags;
    std::vector<UINT> Want;
  };
  const TCase Cases[] = {
      {20, 30, 60, 70, SWP_NOZORDER, PosMessages},
      {25, 35, 0, 0, SWP_NOZORDER | SWP_NOSIZE, {WM_WINDOWPOSCHANGING, WM_WINDOWPOSCHANGED, WM_MOVE}},
      {0, 0, 80, 90, SWP_NOZORDER | SWP_NOMOVE, {WM_WINDOWPOSCHANGING, WM_NCCALCSIZE, WM_WINDOWPOSCHANGED, WM_SIZE}},
      // Unchanged geometry: no WM_MOVE/WM_SIZE.
      {25, 35, 80, 90, SWP_NOZORDER, {WM_WINDOWPOSCHANGING, WM_WINDOWPOSCHANGED}},
      {0, 0, 0, 0, SWP_NOZORDER | SWP_NOMOVE | SWP_NOSIZE | SWP_FRAMECHANGED,
       {WM_WINDOWPOSCHANGING, WM_NCCALCSIZE, WM_WINDOWPOSCHANGED}},
  };
  for (const auto& C : Cases) {
    Log().clear();
    SetWindowPos(W, nullptr, C.X, C.Y, C.Cx, C.Cy, C.Flags);
    EXPECT_EQ(MessagesOf(W, PosMessages), C.Want) << C.X << "," << C.Cx;
  }
  RECT R;
  GetWindowRect(W, &R);
  EXPECT_EQ(R, Rect(25, 35, 105, 125));
  // WM_NCCALCSIZE with TRUE proposes the new rectangle in parent coordinates.
  Log().clear();
  NCCALCSIZE_PARAMS Seen{};
  Hook() = [&](HWND H, UINT M, WPARAM Wp, LPARAM Lp, LRESULT&) {
    if (H == W && M == WM_NCCALCSIZE && Wp) Seen = *reinterpret_cast<NCCALCSIZE_PARAMS*>(Lp);
    return false;
  };
  MoveWindow(W, 1, 2, 30, 40, TRUE);
  EXPECT_EQ(Seen.rgrc[0], Rect(1, 2, 31, 42));
  EXPECT_EQ(Seen.rgrc[1], Rect(25, 35, 105, 125));
  // A WM_WINDOWPOSCHANGING handler can change the request.
  Hook() = [&](HWND H, UINT M, WPARAM, LPARAM Lp, LRESULT&) {
    if (H == W && M == WM_WINDOWPOSCHANGING) reinterpret_cast<WINDOWPOS*>(Lp)->cx = 11;
    return false;
  };
  MoveWindow(W, 1, 2, 50, 50, TRUE);
  GetClientRect(W, &R);
  EXPECT_EQ(R.right, 11);
}

// A subclass of a header-like child, as a parent that lays out its header installs: it sees
// every WM_WINDOWPOSCHANGING and may change the record.
struct TSubclass {
  WNDPROC Old = nullptr;
  std::vector<WINDOWPOS> Seen;
  std::function<void(WINDOWPOS&)> Change;
};
TSubclass& Sub()
{
  static TSubclass S;
  return S;
}

LRESULT SubclassProc(HWND Wnd, UINT Msg, WPARAM WParam, LPARAM LParam)
{
  if (Msg == WM_WINDOWPOSCHANGING) {
    auto* Wp = reinterpret_cast<WINDOWPOS*>(LParam);
    Sub().Seen.push_back(*Wp);
    if (Sub().Change) Sub().Change(*Wp);
  }
  return CallWindowProcA(Sub().Old, Wnd, Msg, WParam, LParam);
}

TEST_F(WinGeometryTest, SubclassSeesAndChangesTheRequestOfMoveWindow)
{
  HWND P = Top(0, 0, 300, 300, WS_POPUP | WS_VISIBLE);
  HWND H = Child(P, 0, 0, 100, 20);
  Sub() = TSubclass{};
  Sub().Old = reinterpret_cast<WNDPROC>(SetWindowLongPtrA(H, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&SubclassProc)));
  ASSERT_NE(Sub().Old, nullptr);
  struct TCase {
    const char* Name;
    RECT Request;  // x, y, width, height given to MoveWindow
    std::function<void(WINDOWPOS&)> Change;
    UINT SeenFlags;  // SWP_NOMOVE / SWP_NOSIZE in the record the subclass sees
    RECT Want;       // the window's rectangle afterwards (parent = screen coordinates)
  };
  const TCase Cases[] = {
      {"as asked", {10, 0, 150, 20}, nullptr, 0, {10, 0, 160, 20}},
      // Same place, new size: the record is the caller's, so "only when moved" logic sees a move.
      {"pushed down when moved", {10, 0, 120, 20},
       [](WINDOWPOS& W) {
         if (!(W.flags & SWP_NOMOVE)) W.y += 5;
       },
       0, {10, 5, 130, 25}},
      {"resized", {10, 5, 120, 20}, [](WINDOWPOS& W) { W.cx = 90; W.cy = 24; }, 0, {10, 5, 100, 29}},
      {"size refused", {30, 40, 200, 50}, [](WINDOWPOS& W) { W.flags |= SWP_NOSIZE; }, 0, {30, 40, 120, 64}},
      {"move refused", {0, 0, 60, 60}, [](WINDOWPOS& W) { W.flags |= SWP_NOMOVE; }, 0, {30, 40, 90, 100}},
  };
  for (const auto& C : Cases) {
    Sub().Seen.clear();
    Sub().Change = C.Change;
    Log().clear();
    MoveWindow(H, C.Request.left, C.Request.top, C.Request.right, C.Request.bottom, TRUE);
    ASSERT_EQ(Sub().Seen.size(), 1u) << C.Name;
    const WINDOWPOS& Seen = Sub().Seen[0];
    EXPECT_EQ(Seen.hwnd, H) << C.Name;
    EXPECT_EQ(Rect(Seen.x, Seen.y, Seen.cx, Seen.cy), C.Request) << C.Name;
    EXPECT_EQ(Seen.flags & (SWP_NOMOVE | SWP_NOSIZE), C.SeenFlags) << C.Name;
    RECT R;
    GetWindowRect(H, &R);
    EXPECT_EQ(R, C.Want) << C.Name;
    // WM_SIZE tells the result, not the request.
    ASSERT_NE(Last(H, WM_WINDOWPOSCHANGED), nullptr) << C.Name;
    const TLogged* Size = Last(H, WM_SIZE);
    if (Size != nullptr) {
      EXPECT_EQ(LOWORD(Size->LParam), C.Want.right - C.Want.left) << C.Name;
      EXPECT_EQ(HIWORD(Size->LParam), C.Want.bottom - C.Want.top) << C.Name;
    }
  }
  // Through SetWindowPos with SWP_NOMOVE the record says so, and a subclass that still moves
  // the window is obeyed.
  Sub().Seen.clear();
  Sub().Change = [](WINDOWPOS& W) { W.x = 3; };
  SetWindowPos(H, nullptr, 0, 0, 60, 60, SWP_NOZORDER | SWP_NOMOVE);
  ASSERT_EQ(Sub().Seen.size(), 1u);
  EXPECT_NE(Sub().Seen[0].flags & SWP_NOMOVE, 0u);
  RECT R;
  GetWindowRect(H, &R);
  EXPECT_EQ(R, Rect(3, 40, 63, 100));
  SetWindowLongPtrA(H, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(Sub().Old));
  Sub() = TSubclass{};
}

TEST_F(WinGeometryTest, ShowWindowSendsShowWindowBeforeTheChange)
{
  HWND P = Top(0, 0, 300, 300, WS_POPUP | WS_VISIBLE);
  HWND W = Child(P, 10, 10, 50, 50, WS_CHILD);
  Log().clear();
  EXPECT_FALSE(ShowWindow(W, SW_SHOW));
  EXPECT_EQ(MessagesOf(W, {WM_SHOWWINDOW, WM_WINDOWPOSCHANGING, WM_WINDOWPOSCHANGED}),
            (std::vector<UINT>{WM_SHOWWINDOW, WM_WINDOWPOSCHANGING, WM_WINDOWPOSCHANGED}));
  EXPECT_TRUE(IsWindowVisible(W));
  Log().clear();
  EXPECT_TRUE(ShowWindow(W, SW_SHOW));  // already visible: nothing happens
  EXPECT_TRUE(MessagesOf(W, {WM_SHOWWINDOW, WM_WINDOWPOSCHANGING}).empty());
  EXPECT_TRUE(ShowWindow(W, SW_HIDE));
  EXPECT_FALSE(IsWindowVisible(W));
  EXPECT_EQ(Last(W, WM_SHOWWINDOW)->WParam, static_cast<WPARAM>(FALSE));
  // A hidden parent hides its visible children.
  ShowWindow(W, SW_SHOW);
  ShowWindow(P, SW_HIDE);
  EXPECT_FALSE(IsWindowVisible(W));
  EXPECT_TRUE(GetWindowLongA(W, GWL_STYLE) & WS_VISIBLE);
}

TEST_F(WinGeometryTest, MinimiseMaximiseRestoreReportTheirSizeType)
{
  Display->SetMonitors({TDisplayMonitor{Rect(0, 0, 800, 600), Rect(0, 0, 800, 560), true}});
  HWND W = Top(100, 50, 300, 200, WS_OVERLAPPEDWINDOW | WS_VISIBLE);
  struct TCase {
    int Cmd;
    WPARAM SizeType;
    bool Iconic, Zoomed;
  };
  const TCase Cases[] = {{SW_MAXIMIZE, SIZE_MAXIMIZED, false, true},
                         {SW_MINIMIZE, SIZE_MINIMIZED, true, false},
                         {SW_RESTORE, SIZE_MAXIMIZED, false, true},  // back to maximised
                         {SW_RESTORE, SIZE_RESTORED, false, false}};
  for (const auto& C : Cases) {
    Log().clear();
    ShowWindow(W, C.Cmd);
    const TLogged* S = Last(W, WM_SIZE);
    ASSERT_NE(S, nullptr) << C.Cmd;
    EXPECT_EQ(S->WParam, C.SizeType) << C.Cmd;
    EXPECT_EQ(IsIconic(W) != FALSE, C.Iconic);
    EXPECT_EQ(IsZoomed(W) != FALSE, C.Zoomed);
    if (C.Cmd == SW_MAXIMIZE) {
      EXPECT_GE(Count(W, WM_GETMINMAXINFO), 1);
      RECT R;
      GetWindowRect(W, &R);
      EXPECT_EQ(R, Rect(-4, -4, 804, 564));  // the work area, frame outside
    }
  }
  RECT R;
  GetWindowRect(W, &R);
  EXPECT_EQ(R, Rect(100, 50, 400, 250));
  WINDOWPLACEMENT Wp;
  GetWindowPlacement(W, &Wp);
  EXPECT_EQ(Wp.showCmd, static_cast<UINT>(SW_SHOWNORMAL));
  EXPECT_EQ(Wp.rcNormalPosition, Rect(100, 50, 400, 250));
}

TEST_F(WinGeometryTest, OwnedPopupsHideWithTheirMinimisedOwner)
{
  HWND O = Top(0, 0, 200, 200, WS_OVERLAPPEDWINDOW | WS_VISIBLE);
  HWND P = CreateWindowExA(WS_EX_TOOLWINDOW, RecordClass, "p", WS_POPUP | WS_VISIBLE, 0, 0, 20, 20, O, nullptr,
                           nullptr, nullptr);
  ShowWindow(O, SW_MINIMIZE);
  EXPECT_FALSE(IsWindowVisible(P));
  EXPECT_EQ(Last(P, WM_SHOWWINDOW)->LParam, SW_PARENTCLOSING);
  ShowWindow(O, SW_RESTORE);
  EXPECT_TRUE(IsWindowVisible(P));
  EXPECT_EQ(Last(P, WM_SHOWWINDOW)->LParam, SW_PARENTOPENING);
}

TEST_F(WinGeometryTest, ClientAreaFollowsTheStyles)
{
  struct TCase {
    DWORD Style, ExStyle;
    RECT Client;  // in window coordinates of a 200 x 100 window
  };
  const TCase Cases[] = {
      {WS_POPUP, 0, {0, 0, 200, 100}},
      {WS_POPUP | WS_BORDER, 0, {1, 1, 199, 99}},
      {WS_POPUP | WS_DLGFRAME, 0, {3, 3, 197, 97}},
      {WS_POPUP | WS_THICKFRAME, 0, {4, 4, 196, 96}},
      {WS_POPUP | WS_CAPTION, 0, {3, 22, 197, 97}},
      {WS_OVERLAPPEDWINDOW, 0, {4, 23, 196, 96}},
      {WS_POPUP | WS_CAPTION, WS_EX_TOOLWINDOW, {3, 18, 197, 97}},
      {WS_POPUP, WS_EX_CLIENTEDGE, {2, 2, 198, 98}},
      {WS_POPUP | WS_VSCROLL | WS_HSCROLL, 0, {0, 0, 184, 84}},
      {WS_POPUP | WS_BORDER | WS_VSCROLL, WS_EX_CLIENTEDGE, {3, 3, 181, 97}},
  };
  for (const auto& C : Cases) {
    HWND W = Top(10, 10, 200, 100, C.Style, C.ExStyle);
    RECT Wr, Cr;
    GetWindowRect(W, &Wr);
    GetClientRect(W, &Cr);
    POINT O{0, 0};
    ClientToScreen(W, &O);
    RECT Got{O.x - Wr.left, O.y - Wr.top, O.x - Wr.left + Cr.right, O.y - Wr.top + Cr.bottom};
    EXPECT_EQ(Got, C.Client) << std::hex << C.Style << " " << C.ExStyle;
    RECT Adj = Rect(0, 0, C.Client.right - C.Client.left, C.Client.bottom - C.Client.top);
    AdjustWindowRectEx(&Adj, C.Style, FALSE, C.ExStyle);
    EXPECT_EQ(Adj.right - Adj.left, 200);
    EXPECT_EQ(Adj.bottom - Adj.top, 100);
    DestroyWindow(W);
  }
}

TEST_F(WinGeometryTest, DefaultHitTestFromTheStyles)
{
  HWND W = Top(100, 100, 200, 150, WS_OVERLAPPEDWINDOW | WS_VSCROLL);
  struct TCase {
    int X, Y;  // window coordinates
    LRESULT Hit;
  };
  const TCase Cases[] = {
      {100, 1, HTTOP},       {1, 75, HTLEFT},         {198, 75, HTRIGHT},       {100, 148, HTBOTTOM},
      {1, 1, HTTOPLEFT},     {198, 148, HTBOTTOMRIGHT}, {1, 148, HTBOTTOMLEFT}, {198, 1, HTTOPRIGHT},
      {80, 12, HTCAPTION},   {185, 12, HTCLOSE},      {160, 12, HTMAXBUTTON},   {145, 12, HTMINBUTTON},
      {12, 12, HTSYSMENU},   {50, 80, HTCLIENT},      {185, 80, HTVSCROLL},     {500, 500, HTNOWHERE},
  };
  for (const auto& C : Cases) {
    LRESULT Hit = SendMessageA(W, WM_NCHITTEST, 0, MAKELPARAM(100 + C.X, 100 + C.Y));
    EXPECT_EQ(Hit, C.Hit) << C.X << "," << C.Y;
  }
}

TEST_F(WinGeometryTest, WindowFromPointHonoursRegionsTransparencyAndDisabledChildren)
{
  HWND P = Top(0, 0, 200, 200, WS_POPUP | WS_VISIBLE);
  HWND A = Child(P, 0, 0, 100, 100);
  HWND B = Child(P, 50, 50, 100, 100);  // above A
  HWND Disabled = Child(P, 150, 150, 40, 40, WS_CHILD | WS_VISIBLE | WS_DISABLED);
  EXPECT_EQ(WindowFromPoint(Point(60, 60)), B);
  EXPECT_EQ(WindowFromPoint(Point(10, 10)), A);
  EXPECT_EQ(WindowFromPoint(Point(160, 160)), P);  // disabled children pass input to the parent
  // B's region leaves its top-left corner open: A shows through there.
  SetWindowRgn(B, CreateRectRgn(20, 20, 100, 100), TRUE);
  EXPECT_EQ(WindowFromPoint(Point(60, 60)), A);
  EXPECT_EQ(WindowFromPoint(Point(80, 80)), B);
  // HTTRANSPARENT passes the point to the window below.
  Hook() = [&](HWND H, UINT M, WPARAM, LPARAM, LRESULT& R) {
    if (H == B && M == WM_NCHITTEST) {
      R = HTTRANSPARENT;
      return true;
    }
    return false;
  };
  EXPECT_EQ(WindowFromPoint(Point(80, 80)), A);
  EXPECT_EQ(WindowFromPoint(Point(120, 120)), P);
  Hook() = nullptr;
  EXPECT_EQ(ChildWindowFromPoint(P, Point(160, 160)), Disabled);
  EXPECT_EQ(ChildWindowFromPointEx(P, Point(160, 160), CWP_SKIPDISABLED), P);
  EXPECT_EQ(WindowFromPoint(Point(500, 500)), nullptr);
  // A layered click-through window is not found.
  HWND Glass = Top(0, 0, 50, 50, WS_POPUP | WS_VISIBLE, WS_EX_LAYERED | WS_EX_TRANSPARENT | WS_EX_TOPMOST);
  ASSERT_NE(Glass, nullptr);
  EXPECT_EQ(WindowFromPoint(Point(10, 10)), A);
  POINT Pt{60, 70};
  MapWindowPoints(nullptr, B, &Pt, 1);
  EXPECT_EQ(Pt, Point(10, 20));
}

TEST_F(WinGeometryTest, ZOrderTopmostAndOwnedWindows)
{
  HWND A = Top(0, 0, 10, 10, WS_POPUP | WS_VISIBLE);
  HWND B = Top(0, 0, 10, 10, WS_POPUP | WS_VISIBLE);
  HWND T = Top(0, 0, 10, 10, WS_POPUP | WS_VISIBLE, WS_EX_TOPMOST);
  HWND O = CreateWindowExA(0, RecordClass, "o", WS_POPUP | WS_VISIBLE, 0, 0, 5, 5, A, nullptr, nullptr, nullptr);
  auto Order = [] {
    std::vector<HWND> L;
    for (HWND H = GetTopWindow(nullptr); H != nullptr; H = GetWindow(H, GW_HWNDNEXT)) L.push_back(H);
    return L;
  };
  // Topmost first; the newest normal window next.
  auto L = Order();
  ASSERT_GE(L.size(), 4u);
  EXPECT_EQ(L[0], T);
  BringWindowToTop(A);
  L = Order();
  // A comes up, its owned window stays above it, the topmost one stays on top.
  EXPECT_EQ(L[0], T);
  EXPECT_EQ(L[1], O);
  EXPECT_EQ(L[2], A);
  EXPECT_EQ(L[3], B);
  EXPECT_EQ(GetWindow(O, GW_OWNER), A);
  EXPECT_EQ(GetParent(O), A);  // popups answer their owner
  SetWindowPos(T, HWND_NOTOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  SetWindowPos(B, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  L = Order();
  EXPECT_EQ(L[0], B);
  EXPECT_TRUE(GetWindowLongA(B, GWL_EXSTYLE) & WS_EX_TOPMOST);
  EXPECT_FALSE(GetWindowLongA(T, GWL_EXSTYLE) & WS_EX_TOPMOST);
  // The display stacks the same way.
  auto Stack = Display->StackingOrder();
  ASSERT_FALSE(Stack.empty());
  EXPECT_EQ(Stack[0], GetDisplayWindow(B));
}

TEST_F(WinGeometryTest, EnableWindowSendsEnableAndMovesFocusAway)
{
  HWND P = Top(0, 0, 100, 100, WS_POPUP | WS_VISIBLE);
  HWND W = Child(P, 0, 0, 10, 10);
  SetFocus(W);
  Log().clear();
  EXPECT_FALSE(EnableWindow(W, FALSE));
  EXPECT_FALSE(IsWindowEnabled(W));
  EXPECT_EQ(MessagesOf(W, {WM_CANCELMODE, WM_KILLFOCUS, WM_ENABLE}),
            (std::vector<UINT>{WM_CANCELMODE, WM_KILLFOCUS, WM_ENABLE}));
  EXPECT_NE(GetFocus(), W);
  EXPECT_TRUE(EnableWindow(W, TRUE));
  EXPECT_EQ(Last(W, WM_ENABLE)->WParam, static_cast<WPARAM>(TRUE));
}

TEST_F(WinGeometryTest, SetParentMovesAWindowBetweenParentsAndNativeIdsAreZeroHeadless)
{
  HWND A = Top(0, 0, 100, 100, WS_POPUP | WS_VISIBLE);
  HWND B = Top(200, 0, 100, 100, WS_POPUP | WS_VISIBLE);
  HWND K = Child(A, 10, 10, 20, 20);
  EXPECT_EQ(SetParent(K, B), A);
  EXPECT_EQ(GetParent(K), B);
  EXPECT_TRUE(IsChild(B, K));
  EXPECT_FALSE(IsChild(A, K));
  RECT R;
  GetWindowRect(K, &R);
  EXPECT_EQ(R, Rect(210, 10, 230, 30));  // the same place within the new parent
  EXPECT_EQ(SetParent(B, K), nullptr);     // no cycles
  EXPECT_EQ(EnsureNativeWindow(K), 0u);
  EXPECT_EQ(GetNativeWindowId(K), 0u);
}

TEST_F(WinGeometryTest, MonitorsAndWorkArea)
{
  Display->SetMonitors({TDisplayMonitor{Rect(0, 0, 1024, 768), Rect(0, 0, 1024, 738), true},
                        TDisplayMonitor{Rect(1024, 0, 2048, 768), Rect(1024, 0, 2048, 768), false}});
  EXPECT_EQ(GetSystemMetrics(SM_CMONITORS), 2);
  EXPECT_EQ(GetSystemMetrics(SM_CXSCREEN), 1024);
  HWND W = Top(1500, 100, 100, 100);
  HMONITOR M = MonitorFromWindow(W, MONITOR_DEFAULTTONEAREST);
  MONITORINFOEXA Info;
  ASSERT_TRUE(GetMonitorInfoA(M, &Info));
  EXPECT_EQ(Info.rcMonitor, Rect(1024, 0, 2048, 768));
  EXPECT_EQ(Info.dwFlags, 0u);
  EXPECT_STREQ(Info.szDevice, "\\\\.\\DISPLAY2");
  EXPECT_EQ(MonitorFromPoint(Point(5000, 5000), MONITOR_DEFAULTTONULL), nullptr);
  MONITORINFO Near;
  GetMonitorInfoA(MonitorFromPoint(Point(5000, 10), MONITOR_DEFAULTTONEAREST), &Near);
  EXPECT_EQ(Near.rcMonitor.left, 1024);
  GetMonitorInfoA(MonitorFromPoint(Point(5000, 10), MONITOR_DEFAULTTOPRIMARY), &Near);
  EXPECT_EQ(Near.dwFlags, MONITORINFOF_PRIMARY);
  RECT Work;
  SystemParametersInfoA(SPI_GETWORKAREA, 0, &Work, 0);
  EXPECT_EQ(Work, Rect(0, 0, 1024, 738));
  BOOL Full = FALSE;
  SystemParametersInfoA(SPI_GETDRAGFULLWINDOWS, 0, &Full, 0);
  EXPECT_TRUE(Full);
}

}  // namespace
