// Painting checked by the pixels the headless display shows: erasing with the class brush,
// update regions and BeginPaint, child clipping, redraw off, scrolling, the default frame,
// window regions and layered windows.
#include <map>

#include "tests/platform/win/WinTestSupport.h"

using namespace WinTest;

namespace {

class WinPaintTest : public TWinTest {
protected:
  std::map<HWND, COLORREF> Fill;  // windows that paint their whole client in one colour
  std::map<HWND, int> Paints;
  std::map<HWND, RECT> LastPaintRect;
  std::map<HWND, BOOL> LastErase;

  void SetUp() override
  {
    TWinTest::SetUp();
    Hook() = [this](HWND W, UINT M, WPARAM, LPARAM, LRESULT& R) {
      if (M != WM_PAINT || !Fill.count(W)) return false;
      PAINTSTRUCT Ps;
      HDC Dc = BeginPaint(W, &Ps);
      ++Paints[W];
      LastPaintRect[W] = Ps.rcPaint;
      LastErase[W] = Ps.fErase;
      RECT C;
      GetClientRect(W, &C);
      HBRUSH B = CreateSolidBrush(Fill[W]);
      FillRect(Dc, &C, B);
      DeleteObject(B);
      EndPaint(W, &Ps);
      R = 0;
      return true;
    };
  }
};

constexpr COLORREF Red = RGB(255, 0, 0);
constexpr COLORREF Green = RGB(0, 255, 0);
constexpr COLORREF Blue = RGB(0, 0, 255);

TEST_F(WinPaintTest, ShownWindowIsErasedWithTheClassBrushAndPainted)
{
  WNDCLASSA C;
  C.lpfnWndProc = CALLBACK_Record;
  C.lpszClassName = "QvTestBrush";
  C.hbrBackground = CreateSolidBrush(RGB(10, 20, 30));
  RegisterClassA(&C);
  HWND W = Top(10, 10, 60, 40, WS_POPUP | WS_VISIBLE, 0, "QvTestBrush");
  EXPECT_EQ(Pixel(W, 5, 5), 0x0A141Eu);
  EXPECT_EQ(Pixel(W, 59, 39), 0x0A141Eu);
  EXPECT_EQ(Count(W, WM_ERASEBKGND), 1);
  EXPECT_EQ(Count(W, WM_PAINT), 1);
  // COLOR_xxx + 1 works as a class brush too.
  HWND S = Top(100, 10, 20, 20, WS_POPUP | WS_VISIBLE);  // COLOR_WINDOW + 1
  EXPECT_EQ(Pixel(S, 3, 3), Rgb(GetSysColor(COLOR_WINDOW)));
  DestroyWindow(W);
  UnregisterClassA("QvTestBrush", nullptr);
}

// A window laid out while hidden (sized many times, drawn on through GetDC on the way) and one
// resized while shown both show their whole present client once painted: the pixels follow the
// last size, wherever the window grew, and drawing on a hidden window changes nothing.
TEST_F(WinPaintTest, PixelsFollowTheLastSizeOfAWindowSizedHiddenOrShown)
{
  struct TCase {
    const char* Name;
    bool ShownFirst;
  } Cases[] = {{"sized while hidden", false}, {"sized while shown", true}};
  for (const auto& C : Cases) {
    SCOPED_TRACE(C.Name);
    HWND W = Top(0, 0, 40, 30, WS_POPUP | (C.ShownFirst ? WS_VISIBLE : 0));
    Fill[W] = Green;
    for (const auto& [Cx, Cy] : {std::pair{200, 20}, {30, 150}, {120, 90}, {90, 120}}) {
      SetWindowPos(W, nullptr, 0, 0, Cx, Cy, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
      HDC Dc = GetDC(W);
      RECT All{0, 0, Cx, Cy};
      HBRUSH B = CreateSolidBrush(Red);
      FillRect(Dc, &All, B);  // visible only while the window is shown, and painted over then
      DeleteObject(B);
      ReleaseDC(W, Dc);
    }
    if (!C.ShownFirst) ShowWindow(W, SW_SHOWNA);
    InvalidateRect(W, nullptr, TRUE);
    for (const auto& [X, Y] : {std::pair{0, 0}, {89, 0}, {0, 119}, {89, 119}, {45, 60}})
      EXPECT_EQ(Pixel(W, X, Y), 0x00FF00u) << X << "," << Y;
    DestroyWindow(W);
  }
}

TEST_F(WinPaintTest, BeginPaintCoversOnlyTheInvalidPart)
{
  HWND W = Top(0, 0, 100, 100, WS_POPUP | WS_VISIBLE);
  Fill[W] = Red;
  Pump();
  EXPECT_EQ(Pixel(W, 50, 50), 0xFF0000u);
  Fill[W] = Blue;
  RECT R = Rect(10, 20, 30, 40);
  InvalidateRect(W, &R, FALSE);
  RECT U;
  EXPECT_TRUE(GetUpdateRect(W, &U, FALSE));
  EXPECT_EQ(U, R);
  Pump();
  EXPECT_EQ(LastPaintRect[W], R);
  EXPECT_FALSE(LastErase[W]);
  EXPECT_EQ(Pixel(W, 15, 25), 0x0000FFu);
  EXPECT_EQ(Pixel(W, 50, 50), 0xFF0000u);  // outside the update region nothing changed
  EXPECT_EQ(Pixel(W, 30, 40), 0xFF0000u);  // right/bottom exclusive
  EXPECT_FALSE(GetUpdateRect(W, &U, FALSE));
  // Validated areas are not painted; two invalid rectangles paint once with their union box.
  int Before = Paints[W];
  InvalidateRect(W, &R, TRUE);
  ValidateRect(W, nullptr);
  Pump();
  EXPECT_EQ(Paints[W], Before);
  RECT A = Rect(0, 0, 5, 5), B = Rect(90, 90, 95, 95);
  InvalidateRect(W, &A, TRUE);
  InvalidateRect(W, &B, TRUE);
  Pump();
  EXPECT_EQ(Paints[W], Before + 1);
  EXPECT_EQ(LastPaintRect[W], Rect(0, 0, 95, 95));
  EXPECT_EQ(Pixel(W, 50, 50), 0xFF0000u);  // the box is not the region: the middle stays
  EXPECT_EQ(Pixel(W, 92, 92), 0x0000FFu);
}

TEST_F(WinPaintTest, ChildrenClipTheirParentWithClipChildren)
{
  struct TCase {
    DWORD ParentStyle;
    int ChildRepaints;  // child paints after InvalidateRect(parent)
  };
  for (TCase C : {TCase{WS_POPUP | WS_VISIBLE | WS_CLIPCHILDREN, 0}, TCase{WS_POPUP | WS_VISIBLE, 1}}) {
    HWND P = Top(0, 0, 100, 100, C.ParentStyle);
    HWND K = Child(P, 20, 20, 30, 30);
    Fill[P] = Red;
    Fill[K] = Green;
    Pump();
    EXPECT_EQ(Pixel(P, 25, 25), 0x00FF00u);
    EXPECT_EQ(Pixel(P, 10, 10), 0xFF0000u);
    int Before = Paints[K];
    InvalidateRect(P, nullptr, TRUE);
    Pump();
    EXPECT_EQ(Paints[K] - Before, C.ChildRepaints) << std::hex << C.ParentStyle;
    EXPECT_EQ(Pixel(P, 25, 25), 0x00FF00u);  // the child shows either way
    // Moving the child uncovers the parent, which repaints there.
    SetWindowPos(K, nullptr, 60, 60, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    EXPECT_EQ(Pixel(P, 25, 25), 0xFF0000u);
    EXPECT_EQ(Pixel(P, 65, 65), 0x00FF00u);
    DestroyWindow(P);
  }
}

TEST_F(WinPaintTest, SiblingsClipWithClipSiblingsAndRedrawOffStopsPainting)
{
  HWND P = Top(0, 0, 100, 100, WS_POPUP | WS_VISIBLE | WS_CLIPCHILDREN);
  HWND Below = Child(P, 0, 0, 50, 50, WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS);
  HWND Above = Child(P, 25, 25, 50, 50, WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS);
  ASSERT_EQ(GetWindow(Above, GW_HWNDFIRST), Above);  // the newer child is on top
  Fill[P] = Red;
  Fill[Below] = Green;
  Fill[Above] = Blue;
  Pump();
  InvalidateRect(Below, nullptr, TRUE);
  Pump();
  EXPECT_EQ(Pixel(P, 30, 30), 0x0000FFu);  // the lower sibling did not paint over the upper
  EXPECT_EQ(Pixel(P, 10, 10), 0x00FF00u);
  SendMessageA(Above, WM_SETREDRAW, FALSE, 0);
  int Before = Paints[Above];
  InvalidateRect(Above, nullptr, TRUE);
  Pump();
  EXPECT_EQ(Paints[Above], Before);
  SendMessageA(Above, WM_SETREDRAW, TRUE, 0);
  InvalidateRect(Above, nullptr, TRUE);
  Pump();
  EXPECT_EQ(Paints[Above], Before + 1);
}

TEST_F(WinPaintTest, ScrollWindowExMovesPixelsAndInvalidatesTheUncoveredStrip)
{
  HWND W = Top(0, 0, 100, 100, WS_POPUP | WS_VISIBLE);
  Fill[W] = Red;
  Pump();
  // Draw a marker through a window DC, then scroll it up by 10.
  HDC Dc = GetDC(W);
  RECT M = Rect(40, 40, 50, 50);
  HBRUSH B = CreateSolidBrush(Green);
  FillRect(Dc, &M, B);
  DeleteObject(B);
  ReleaseDC(W, Dc);
  EXPECT_EQ(Pixel(W, 45, 45), 0x00FF00u);
  RECT Upd{};
  Fill[W] = Blue;
  ScrollWindowEx(W, 0, -10, nullptr, nullptr, nullptr, &Upd, SW_INVALIDATE);
  EXPECT_EQ(Upd, Rect(0, 90, 100, 100));
  Pump();
  EXPECT_EQ(LastPaintRect[W], Rect(0, 90, 100, 100));
  EXPECT_EQ(Pixel(W, 45, 35), 0x00FF00u);
  EXPECT_EQ(Pixel(W, 45, 45), 0xFF0000u);
  EXPECT_EQ(Pixel(W, 45, 95), 0x0000FFu);
}

TEST_F(WinPaintTest, DefaultFrameDrawsTheClassicCaptionAndBorders)
{
  HWND W = Top(0, 0, 200, 100, WS_OVERLAPPEDWINDOW | WS_VISIBLE);
  SetActiveWindow(W);
  Pump();
  EXPECT_EQ(Pixel(W, 60, 10), Rgb(GetSysColor(COLOR_ACTIVECAPTION)));
  EXPECT_EQ(Pixel(W, 0, 50), Rgb(GetSysColor(COLOR_3DLIGHT)));  // outer raised edge, left
  EXPECT_EQ(Pixel(W, 199, 50), Rgb(GetSysColor(COLOR_3DDKSHADOW)));
  HWND Other = Top(300, 0, 50, 50, WS_POPUP | WS_VISIBLE);
  SetActiveWindow(Other);
  Pump();
  EXPECT_EQ(Pixel(W, 60, 10), Rgb(GetSysColor(COLOR_INACTIVECAPTION)));
}

TEST_F(WinPaintTest, ClassicCaptionIsBoldAfterTheWindowIcon)
{
  HWND W = Top(0, 0, 300, 100, WS_OVERLAPPEDWINDOW | WS_VISIBLE);
  SetWindowTextA(W, "HHHHHHHH");
  SetActiveWindow(W);
  Pump();
  // The system-menu box holds the icon, not an empty stretch of caption colour.
  RECT Box{};
  for (int X = 0; X < 30 && IsRectEmpty(&Box); ++X)
    for (int Y = 0; Y < 30; ++Y) {
      RECT R{};
      GetWindowRect(W, &R);
      if (SendMessageA(W, WM_NCHITTEST, 0, MAKELPARAM(R.left + X, R.top + Y)) == HTSYSMENU) {
        Box = RECT{X, Y, X + 1, Y + 1};
        break;
      }
    }
  ASSERT_FALSE(IsRectEmpty(&Box)) << "a system-menu box";
  const std::uint32_t Caption = Rgb(GetSysColor(COLOR_ACTIVECAPTION));
  int Icon = 0;
  for (int X = Box.left; X < Box.left + 16; ++X)
    for (int Y = Box.top; Y < Box.top + 16; ++Y) Icon += Pixel(W, X, Y) != Caption;
  EXPECT_GT(Icon, 64) << "the icon fills its box";
  EXPECT_EQ(Pixel(W, Box.left + 8, Box.top + 9), 0xFFFFFFu) << "the icon's white window";

  // The title in the bold caption font: more ink than the same text in the plain GUI font.
  const std::uint32_t Text = Rgb(GetSysColor(COLOR_CAPTIONTEXT));
  int Ink = 0;
  for (int X = Box.left + 16; X < 200; ++X)
    for (int Y = 0; Y < GetSystemMetrics(SM_CYCAPTION); ++Y) Ink += Pixel(W, X, Y) == Text;
  HDC Screen = GetDC(nullptr);
  HDC Mem = CreateCompatibleDC(Screen);
  HBITMAP Bmp = CreateCompatibleBitmap(Screen, 200, 30);
  HGDIOBJ OldBmp = SelectObject(Mem, Bmp);
  RECT All{0, 0, 200, 30};
  FillRect(Mem, &All, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
  SelectObject(Mem, GetStockObject(DEFAULT_GUI_FONT));
  SetTextColor(Mem, RGB(255, 255, 255));
  SetBkMode(Mem, TRANSPARENT);
  DrawTextA(Mem, "HHHHHHHH", 8, &All, DT_SINGLELINE);
  int PlainInk = 0;
  for (int X = 0; X < 200; ++X)
    for (int Y = 0; Y < 30; ++Y) PlainInk += GetPixel(Mem, X, Y) == RGB(255, 255, 255);
  SelectObject(Mem, OldBmp);
  DeleteObject(Bmp);
  DeleteDC(Mem);
  ReleaseDC(nullptr, Screen);
  EXPECT_GT(PlainInk, 0);
  EXPECT_GT(Ink, PlainInk + PlainInk / 4) << "bold strokes";
}

TEST_F(WinPaintTest, ScrollBarTracksAreACheckerboardOfFaceAndHighlight)
{
  const std::uint32_t Face = Rgb(GetSysColor(COLOR_BTNFACE)), Light = Rgb(GetSysColor(COLOR_BTNHIGHLIGHT));
  struct TCase {
    const char* Name;
    int Max;  // 0: nothing to scroll, the bar is drawn disabled
  } Cases[] = {{"scrollable", 100}, {"disabled", 0}};
  for (const TCase& C : Cases) {
    SCOPED_TRACE(C.Name);
    HWND W = Top(0, 0, 120, 200, WS_POPUP | WS_VSCROLL | WS_VISIBLE);
    SCROLLINFO Si{sizeof Si, SIF_RANGE | SIF_PAGE | SIF_POS | SIF_DISABLENOSCROLL, 0, C.Max, 10, 0, 0};
    SetScrollInfo(W, SB_VERT, &Si, TRUE);
    Pump();
    // Low in the track, away from the thumb at the top: neighbours alternate.
    const int X = 120 - GetSystemMetrics(SM_CXVSCROLL) / 2, Y = 200 - GetSystemMetrics(SM_CYVSCROLL) - 10;
    const std::uint32_t A = Pixel(W, X, Y), B = Pixel(W, X + 1, Y), D = Pixel(W, X, Y + 1), E = Pixel(W, X + 1, Y + 1);
    EXPECT_TRUE((A == Face && B == Light) || (A == Light && B == Face)) << std::hex << A << " " << B;
    EXPECT_EQ(D, B);
    EXPECT_EQ(E, A);
    DestroyWindow(W);
  }
}

TEST_F(WinPaintTest, WindowRegionShapesTheDisplayAndClipsPainting)
{
  HWND W = Top(0, 0, 100, 100, WS_POPUP | WS_VISIBLE);
  Fill[W] = Red;
  HRGN R = CreateRectRgn(10, 10, 60, 60);
  ASSERT_TRUE(SetWindowRgn(W, R, TRUE));
  Pump();
  const auto* Info = Display->WindowInfo(GetDisplayWindow(W));
  ASSERT_NE(Info, nullptr);
  EXPECT_TRUE(Info->Shaped);
  ASSERT_EQ(Info->Shape.size(), 1u);
  EXPECT_EQ(Info->Shape[0], Rect(10, 10, 60, 60));
  EXPECT_EQ(Pixel(W, 20, 20), 0xFF0000u);
  HRGN Copy = CreateRectRgn(0, 0, 0, 0);
  EXPECT_EQ(GetWindowRgn(W, Copy), SIMPLEREGION);
  RECT Box;
  GetRgnBox(Copy, &Box);
  EXPECT_EQ(Box, Rect(10, 10, 60, 60));
  DeleteObject(Copy);
  // Hit testing follows the region.
  EXPECT_EQ(WindowFromPoint(Point(5, 5)), nullptr);
  EXPECT_EQ(WindowFromPoint(Point(15, 15)), W);
  SetWindowRgn(W, nullptr, TRUE);
  Pump();
  EXPECT_FALSE(Display->WindowInfo(GetDisplayWindow(W))->Shaped);
}

TEST_F(WinPaintTest, LayeredWindowsPresentConstantAndPerPixelAlpha)
{
  HWND W = Top(0, 0, 40, 40, WS_POPUP | WS_VISIBLE, WS_EX_LAYERED);
  Fill[W] = Red;
  ASSERT_TRUE(SetLayeredWindowAttributes(W, 0, 128, LWA_ALPHA));
  Pump();
  const auto* Info = Display->WindowInfo(GetDisplayWindow(W));
  EXPECT_EQ(Info->Alpha, 128);
  EXPECT_FALSE(Info->PerPixelAlpha);
  BYTE A = 0;
  DWORD F = 0;
  ASSERT_TRUE(GetLayeredWindowAttributes(W, nullptr, &A, &F));
  EXPECT_EQ(A, 128);
  EXPECT_EQ(F, LWA_ALPHA);

  // Per-pixel alpha from a premultiplied DIB.
  HWND G = Top(50, 0, 20, 10, WS_POPUP | WS_VISIBLE, WS_EX_LAYERED);
  BITMAPINFO Bi{};
  Bi.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
  Bi.bmiHeader.biWidth = 20;
  Bi.bmiHeader.biHeight = -10;
  Bi.bmiHeader.biPlanes = 1;
  Bi.bmiHeader.biBitCount = 32;
  void* Bits = nullptr;
  HBITMAP Bmp = CreateDIBSection(nullptr, &Bi, DIB_RGB_COLORS, &Bits, nullptr, 0);
  auto* Px = static_cast<std::uint32_t*>(Bits);
  for (int I = 0; I < 200; ++I) Px[I] = I < 100 ? 0x80400000u : 0x00000000u;  // half: alpha 128, red 64
  HDC Mem = CreateCompatibleDC(nullptr);
  HGDIOBJ Old = SelectObject(Mem, Bmp);
  POINT Dst{60, 5}, Src{0, 0};
  SIZE Sz{20, 10};
  BLENDFUNCTION Bf{AC_SRC_OVER, 0, 200, AC_SRC_ALPHA};
  ASSERT_TRUE(UpdateLayeredWindow(G, nullptr, &Dst, &Sz, Mem, &Src, 0, &Bf, ULW_ALPHA));
  SelectObject(Mem, Old);
  DeleteDC(Mem);
  DeleteObject(Bmp);
  Pump();
  const auto* GInfo = Display->WindowInfo(GetDisplayWindow(G));
  EXPECT_TRUE(GInfo->PerPixelAlpha);
  EXPECT_EQ(GInfo->Alpha, 200);
  EXPECT_EQ(GInfo->Bounds, Rect(60, 5, 80, 15));
  ASSERT_EQ(GInfo->Image.size(), 200u);
  EXPECT_EQ(GInfo->Image[0], 0x80400000u);
  EXPECT_EQ(GInfo->Image[150], 0u);
  // Such a window gets no WM_PAINT of its own.
  int Before = Count(G, WM_PAINT);
  InvalidateRect(G, nullptr, TRUE);
  Pump();
  EXPECT_EQ(Count(G, WM_PAINT), Before);
}

TEST_F(WinPaintTest, UpdateWindowPaintsSynchronouslyParentFirst)
{
  HWND P = Top(0, 0, 100, 100, WS_POPUP | WS_BORDER | WS_VISIBLE);
  HWND K = Child(P, 0, 0, 10, 10);
  Fill[P] = Red;
  Fill[K] = Green;
  Pump();
  InvalidateRect(P, nullptr, TRUE);
  Log().clear();
  UpdateWindow(P);
  EXPECT_EQ(Sequence({WM_PAINT}), (std::vector<std::pair<HWND, UINT>>{{P, WM_PAINT}, {K, WM_PAINT}}));
  // RedrawWindow with RDW_FRAME | RDW_UPDATENOW repaints the frame through WM_NCPAINT.
  Log().clear();
  RedrawWindow(P, nullptr, nullptr, RDW_INVALIDATE | RDW_FRAME | RDW_UPDATENOW | RDW_NOCHILDREN);
  EXPECT_EQ(MessagesOf(P, {WM_NCPAINT, WM_PAINT}), (std::vector<UINT>{WM_NCPAINT, WM_PAINT}));
  EXPECT_EQ(Count(K, WM_PAINT), 0);
}

}  // namespace

TEST_F(WinPaintTest, ABusyQueueStillShowsWhatWasPainted)
{
  HWND W = Top(0, 0, 40, 40, WS_POPUP | WS_VISIBLE);
  Fill[W] = Red;
  ASSERT_EQ(Pixel(W, 5, 5), 0xFF0000u);
  // A timer that is due again whenever the loop comes back: the queue never runs empty.
  SetTimer(W, 1, 10, nullptr);
  Fill[W] = Green;
  InvalidateRect(W, nullptr, TRUE);
  auto Shown = [&] {
    std::vector<std::uint32_t> Px;
    int Wd = 0, Ht = 0;
    if (!Display->ReadPixels(GetDisplayWindow(W), Px, Wd, Ht) || Wd < 6 || Ht < 6) return 0xDEADBEEFu;
    return Px[5 * static_cast<std::size_t>(Wd) + 5] & 0xFFFFFFu;
  };
  MSG M;
  for (int I = 0; I < 8; ++I) {
    Clock->Advance(10);
    ASSERT_TRUE(PeekMessageA(&M, nullptr, 0, 0, PM_REMOVE));
    DispatchMessageA(&M);
  }
  EXPECT_EQ(Shown(), 0x00FF00u) << "the green paint never reached the display";
  KillTimer(W, 1);
  DestroyWindow(W);
}
