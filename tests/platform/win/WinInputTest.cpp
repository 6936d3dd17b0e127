// Input through the headless display: activation by click, mouse activation answers, capture,
// double clicks, keys and characters, focus, mouse leave and hover, the wheel, the move/size
// loop, drops.
#include "tests/platform/win/WinTestSupport.h"

using namespace WinTest;

namespace {

class WinInputTest : public TWinTest {
protected:
  void Click(int X, int Y, int Button = 1)
  {
    Display->InjectButton(X, Y, Button, true);
    Display->InjectButton(X, Y, Button, false);
    Pump();
  }
};

TEST_F(WinInputTest, ClickOnAnInactiveWindowActivatesItBeforeTheButtonMessage)
{
  HWND A = Top(0, 0, 100, 100, WS_POPUP | WS_VISIBLE);
  HWND B = Top(200, 0, 100, 100, WS_POPUP | WS_VISIBLE);
  HWND K = Child(B, 10, 10, 50, 50);
  SetActiveWindow(A);
  Pump();
  ASSERT_EQ(GetActiveWindow(), A);
  Display->InjectMouseMove(220, 20);
  Pump();
  Log().clear();
  Display->InjectButton(220, 20, 1, true);
  Pump();
  auto Seq = Sequence({WM_MOUSEACTIVATE, WM_NCACTIVATE, WM_ACTIVATE, WM_SETFOCUS, WM_KILLFOCUS, WM_SETCURSOR,
                       WM_LBUTTONDOWN});
  std::vector<std::pair<HWND, UINT>> Want{
      {K, WM_MOUSEACTIVATE}, {B, WM_MOUSEACTIVATE}, {A, WM_NCACTIVATE}, {A, WM_ACTIVATE},   {B, WM_NCACTIVATE},
      {B, WM_ACTIVATE},      {A, WM_KILLFOCUS},     {B, WM_SETFOCUS},   {K, WM_SETCURSOR}, {B, WM_SETCURSOR},
      {K, WM_LBUTTONDOWN}};
  EXPECT_EQ(Seq, Want);
  EXPECT_EQ(LOWORD(Last(B, WM_ACTIVATE)->WParam), WA_CLICKACTIVE);
  EXPECT_EQ(Last(A, WM_ACTIVATE)->LParam, reinterpret_cast<LPARAM>(B));
  EXPECT_EQ(GetActiveWindow(), B);
  // Client coordinates and key state in the button message.
  const TLogged* Down = Last(K, WM_LBUTTONDOWN);
  EXPECT_EQ(Down->LParam, MAKELPARAM(10, 10));
  EXPECT_EQ(Down->WParam, MK_LBUTTON);
  Display->InjectButton(220, 20, 1, false);
  Pump();
}

TEST_F(WinInputTest, MouseActivateAnswersDecideActivationAndTheClick)
{
  struct TCase {
    LRESULT Answer;
    bool Activates, ClickArrives;
  };
  const TCase Cases[] = {{MA_ACTIVATE, true, true},
                         {MA_ACTIVATEANDEAT, true, false},
                         {MA_NOACTIVATE, false, true},
                         {MA_NOACTIVATEANDEAT, false, false}};
  for (const auto& C : Cases) {
    HWND A = Top(0, 0, 100, 100, WS_POPUP | WS_VISIBLE);
    HWND B = Top(200, 0, 100, 100, WS_POPUP | WS_VISIBLE);
    SetActiveWindow(A);
    Pump();
    Hook() = [&](HWND H, UINT M, WPARAM, LPARAM, LRESULT& R) {
      if (H == B && M == WM_MOUSEACTIVATE) {
        R = C.Answer;
        return true;
      }
      return false;
    };
    Log().clear();
    Click(250, 50);
    EXPECT_EQ(GetActiveWindow() == B, C.Activates) << C.Answer;
    EXPECT_EQ(Count(B, WM_LBUTTONDOWN) == 1, C.ClickArrives) << C.Answer;
    EXPECT_EQ(Count(B, WM_LBUTTONUP), 1);  // the release is never eaten
    Hook() = nullptr;
    DestroyWindow(A);
    DestroyWindow(B);
    Pump();
  }
}

TEST_F(WinInputTest, CaptureSendsEverythingToTheCapturingWindowInClientCoordinates)
{
  HWND P = Top(0, 0, 200, 200, WS_POPUP | WS_VISIBLE);
  HWND K = Child(P, 50, 50, 20, 20);
  HWND Other = Child(P, 100, 100, 50, 50);
  Display->InjectMouseMove(60, 60);
  Pump();
  SetCapture(K);
  Log().clear();
  Display->InjectMouseMove(120, 130);
  Pump();
  EXPECT_EQ(Count(Other, WM_MOUSEMOVE), 0);
  EXPECT_EQ(Count(K, WM_NCHITTEST), 0);
  ASSERT_NE(Last(K, WM_MOUSEMOVE), nullptr);
  EXPECT_EQ(Last(K, WM_MOUSEMOVE)->LParam, MAKELPARAM(70, 80));
  // Outside the top-level window the coordinates go negative.
  Display->InjectMouseMove(10, 5);
  Pump();
  EXPECT_EQ(GET_X_LPARAM(Last(K, WM_MOUSEMOVE)->LParam), -40);
  EXPECT_EQ(GET_Y_LPARAM(Last(K, WM_MOUSEMOVE)->LParam), -45);
  // Taking capture away tells the old owner.
  SetCapture(Other);
  EXPECT_EQ(Last(K, WM_CAPTURECHANGED)->LParam, reinterpret_cast<LPARAM>(Other));
  ReleaseCapture();
  EXPECT_EQ(Last(Other, WM_CAPTURECHANGED)->LParam, 0);
  EXPECT_EQ(GetCapture(), nullptr);
}

TEST_F(WinInputTest, DoubleClicksNeedTheClassStyleTimeAndPlace)
{
  struct TCase {
    const char* Class;
    DWORD Gap;
    int Dx;
    UINT Second;
  };
  const TCase Cases[] = {
      {RecordDblClass, 100, 0, WM_LBUTTONDBLCLK},
      {RecordDblClass, 500, 2, WM_LBUTTONDBLCLK},
      {RecordDblClass, 501, 0, WM_LBUTTONDOWN},
      {RecordDblClass, 100, 3, WM_LBUTTONDOWN},
      {RecordClass, 100, 0, WM_LBUTTONDOWN},
  };
  for (const auto& C : Cases) {
    HWND W = Top(0, 0, 100, 100, WS_POPUP | WS_VISIBLE, 0, C.Class);
    Clock->Advance(5000);
    Click(50, 50);
    Clock->Advance(C.Gap);
    Log().clear();
    Click(50 + C.Dx, 50);
    auto Downs = MessagesOf(W, {WM_LBUTTONDOWN, WM_LBUTTONDBLCLK});
    ASSERT_EQ(Downs.size(), 1u);
    EXPECT_EQ(Downs[0], C.Second) << C.Class << " gap " << C.Gap << " dx " << C.Dx;
    DestroyWindow(W);
  }
  // A third click starts over.
  HWND W = Top(0, 0, 100, 100, WS_POPUP | WS_VISIBLE, 0, RecordDblClass);
  Clock->Advance(5000);
  Log().clear();
  Click(10, 10);
  Click(10, 10);
  Click(10, 10);
  EXPECT_EQ(MessagesOf(W, {WM_LBUTTONDOWN, WM_LBUTTONDBLCLK}),
            (std::vector<UINT>{WM_LBUTTONDOWN, WM_LBUTTONDBLCLK, WM_LBUTTONDOWN}));
}

TEST_F(WinInputTest, NonClientMouseMessagesCarryTheHitCodeAndScreenPoint)
{
  HWND W = Top(100, 100, 200, 150, WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_VISIBLE, 0, RecordDblClass);
  Log().clear();
  Display->InjectMouseMove(180, 110);
  Pump();
  const TLogged* M = Last(W, WM_NCMOUSEMOVE);
  ASSERT_NE(M, nullptr);
  EXPECT_EQ(M->WParam, static_cast<WPARAM>(HTCAPTION));
  EXPECT_EQ(M->LParam, MAKELPARAM(180, 110));
  // Right click in the client area asks for the context menu in screen coordinates.
  Click(150, 200, 3);
  const TLogged* Ctx = Last(W, WM_CONTEXTMENU);
  ASSERT_NE(Ctx, nullptr);
  EXPECT_EQ(Ctx->LParam, MAKELPARAM(150, 200));
}

TEST_F(WinInputTest, KeysBecomeCharactersThroughTranslateMessage)
{
  HWND W = Top(0, 0, 100, 100, WS_POPUP | WS_VISIBLE);
  SetFocus(W);
  struct TCase {
    std::vector<int> Held;
    int Key;
    UINT KeyMsg;
    std::vector<WPARAM> Chars;
  };
  const TCase Cases[] = {
      {{}, 'A', WM_KEYDOWN, {'a'}},
      {{VK_SHIFT}, 'A', WM_KEYDOWN, {'A'}},
      {{VK_CONTROL}, 'C', WM_KEYDOWN, {3}},
      {{}, VK_RETURN, WM_KEYDOWN, {'\r'}},
      {{VK_SHIFT}, '1', WM_KEYDOWN, {'!'}},
      {{}, VK_LEFT, WM_KEYDOWN, {}},
      {{VK_MENU}, 'F', WM_SYSKEYDOWN, {'f'}},
      {{}, VK_F10, WM_SYSKEYDOWN, {}},
  };
  for (const auto& C : Cases) {
    for (int H : C.Held) Display->InjectKey(static_cast<unsigned>(H), true);
    Pump();
    Log().clear();
    Display->InjectKey(static_cast<unsigned>(C.Key), true);
    Display->InjectKey(static_cast<unsigned>(C.Key), false);
    Pump();
    for (int H : C.Held) Display->InjectKey(static_cast<unsigned>(H), false);
    Pump();
    ASSERT_NE(Last(W, C.KeyMsg), nullptr) << C.Key;
    EXPECT_EQ(Last(W, C.KeyMsg)->WParam, static_cast<WPARAM>(C.Key));
    std::vector<WPARAM> Got;
    for (auto& E : Log())
      if (E.Wnd == W && (E.Msg == WM_CHAR || E.Msg == WM_SYSCHAR)) Got.push_back(E.WParam);
    EXPECT_EQ(Got, C.Chars) << C.Key;
  }
  // Key state and the toggle bit.
  Display->InjectKey(VK_CAPITAL, true);
  Display->InjectKey(VK_CAPITAL, false);
  Pump();
  EXPECT_EQ(GetKeyState(VK_CAPITAL) & 1, 1);
  Display->InjectKey(VK_SHIFT, true);
  Pump();
  EXPECT_LT(GetKeyState(VK_SHIFT), 0);
  EXPECT_NE(GetAsyncKeyState(VK_SHIFT) & 0x8000, 0);
  Display->InjectKey(VK_SHIFT, false);
  Pump();
  // Text the display sends with a key replaces the guess from the key code.
  Log().clear();
  Display->InjectKey('E', true);
  Display->InjectChar("\xC3\xA9");
  Display->InjectKey('E', false);
  Pump();
  std::vector<WPARAM> Got;
  for (auto& E : Log())
    if (E.Wnd == W && E.Msg == WM_CHAR) Got.push_back(E.WParam);
  EXPECT_EQ(Got, (std::vector<WPARAM>{0xC3, 0xA9}));
}

TEST_F(WinInputTest, FocusMovesWithKillAndSetFocus)
{
  HWND P = Top(0, 0, 100, 100, WS_POPUP | WS_VISIBLE);
  HWND A = Child(P, 0, 0, 10, 10);
  HWND B = Child(P, 20, 0, 10, 10);
  SetFocus(A);
  Log().clear();
  EXPECT_EQ(SetFocus(B), A);
  auto Seq = Sequence({WM_KILLFOCUS, WM_SETFOCUS});
  EXPECT_EQ(Seq, (std::vector<std::pair<HWND, UINT>>{{A, WM_KILLFOCUS}, {B, WM_SETFOCUS}}));
  EXPECT_EQ(Last(A, WM_KILLFOCUS)->WParam, reinterpret_cast<WPARAM>(B));
  EXPECT_EQ(Last(B, WM_SETFOCUS)->WParam, reinterpret_cast<WPARAM>(A));
  // Keys go to the focus window; the wheel too, bubbling up to the parent by default.
  Log().clear();
  Display->InjectWheel(5, 5, -1);
  Pump();
  ASSERT_NE(Last(B, WM_MOUSEWHEEL), nullptr);
  EXPECT_EQ(GET_WHEEL_DELTA_WPARAM(Last(B, WM_MOUSEWHEEL)->WParam), -120);
  EXPECT_NE(Last(P, WM_MOUSEWHEEL), nullptr);
  // Focus on a window of another top-level activates that one.
  HWND Q = Top(200, 0, 50, 50, WS_POPUP | WS_VISIBLE);
  HWND C = Child(Q, 0, 0, 10, 10);
  SetActiveWindow(P);
  SetFocus(C);
  EXPECT_EQ(GetActiveWindow(), Q);
  EXPECT_EQ(GetFocus(), C);
}

TEST_F(WinInputTest, MouseLeaveAndHoverTracking)
{
  HWND P = Top(0, 0, 200, 100, WS_POPUP | WS_VISIBLE);
  HWND A = Child(P, 0, 0, 50, 50);
  HWND B = Child(P, 100, 0, 50, 50);
  Display->InjectMouseMove(10, 10);
  Pump();
  TRACKMOUSEEVENT T;
  T.dwFlags = TME_LEAVE | TME_HOVER;
  T.hwndTrack = A;
  T.dwHoverTime = HOVER_DEFAULT;
  ASSERT_TRUE(TrackMouseEvent(&T));
  Log().clear();
  Clock->Advance(399);
  Pump();
  EXPECT_EQ(Count(A, WM_MOUSEHOVER), 0);
  Clock->Advance(1);
  Pump();
  ASSERT_EQ(Count(A, WM_MOUSEHOVER), 1);
  EXPECT_EQ(Last(A, WM_MOUSEHOVER)->LParam, MAKELPARAM(10, 10));
  Display->InjectMouseMove(110, 10);
  Pump();
  EXPECT_EQ(Count(A, WM_MOUSELEAVE), 1);
  EXPECT_EQ(Count(B, WM_MOUSELEAVE), 0);
  // Tracking a window the pointer is not in reports the leave at once.
  T.dwFlags = TME_LEAVE;
  T.hwndTrack = A;
  TrackMouseEvent(&T);
  Pump();
  EXPECT_EQ(Count(A, WM_MOUSELEAVE), 2);
  // Leaving the top-level window ends tracking too.
  T.hwndTrack = B;
  TrackMouseEvent(&T);
  Display->InjectMouseMove(500, 500);
  Pump();
  EXPECT_EQ(Count(B, WM_MOUSELEAVE), 1);
}

TEST_F(WinInputTest, DraggingTheCaptionRunsTheMoveLoop)
{
  HWND W = Top(100, 100, 200, 150, WS_POPUP | WS_CAPTION | WS_VISIBLE);
  SetActiveWindow(W);
  Pump();
  Log().clear();
  Display->InjectButton(150, 110, 1, true);
  Display->InjectMouseMove(160, 115);
  Display->InjectMouseMove(180, 140);
  Display->InjectButton(180, 140, 1, false);
  Pump();
  auto Seq = MessagesOf(W, {WM_NCLBUTTONDOWN, WM_SYSCOMMAND, WM_ENTERSIZEMOVE, WM_MOVING, WM_EXITSIZEMOVE});
  std::vector<UINT> Want{WM_NCLBUTTONDOWN, WM_SYSCOMMAND, WM_ENTERSIZEMOVE, WM_MOVING, WM_MOVING, WM_MOVING,
                         WM_EXITSIZEMOVE};
  EXPECT_EQ(Seq, Want);
  EXPECT_EQ(Last(W, WM_SYSCOMMAND)->WParam, SC_MOVE | HTCAPTION);
  RECT R;
  GetWindowRect(W, &R);
  EXPECT_EQ(R, Rect(130, 130, 330, 280));
  EXPECT_EQ(GetCapture(), nullptr);
  EXPECT_EQ(Display->WindowInfo(GetDisplayWindow(W))->Bounds, R);
}

TEST_F(WinInputTest, DraggingAnEdgeSizesWithinTheTrackLimitsAndWmSizingEdits)
{
  HWND W = Top(100, 100, 200, 150, WS_POPUP | WS_THICKFRAME | WS_VISIBLE);
  Hook() = [&](HWND H, UINT M, WPARAM Edge, LPARAM Lp, LRESULT&) {
    if (H == W && M == WM_GETMINMAXINFO) reinterpret_cast<MINMAXINFO*>(Lp)->ptMinTrackSize = Point(150, 120);
    if (H == W && M == WM_SIZING) {
      EXPECT_EQ(Edge, WMSZ_BOTTOMRIGHT);
      RECT* R = reinterpret_cast<RECT*>(Lp);
      R->right -= R->right % 10;  // snap the width to tens
    }
    return false;
  };
  Display->InjectButton(298, 248, 1, true);  // bottom-right corner
  Display->InjectMouseMove(335, 220);
  Display->InjectButton(335, 220, 1, false);
  Pump();
  RECT R;
  GetWindowRect(W, &R);
  EXPECT_EQ(R, Rect(100, 100, 330, 222));  // the width snapped to tens by the WM_SIZING handler
  Display->InjectButton(328, 220, 1, true);
  Display->InjectMouseMove(100, 100);
  Display->InjectButton(100, 100, 1, false);
  Pump();
  GetWindowRect(W, &R);
  EXPECT_EQ(R, Rect(100, 100, 250, 220));  // the minimum track size
  EXPECT_EQ(Count(W, WM_ENTERSIZEMOVE), 2);
  EXPECT_EQ(Count(W, WM_EXITSIZEMOVE), 2);
}

TEST_F(WinInputTest, DroppedFilesArriveAsWmDropFiles)
{
  HWND P = Top(0, 0, 200, 100, WS_POPUP | WS_VISIBLE);
  HWND K = Child(P, 50, 10, 100, 50);
  DragAcceptFiles(P, TRUE);
  String Names;
  POINT At{};
  BOOL InClient = FALSE;
  Hook() = [&](HWND H, UINT M, WPARAM Wp, LPARAM, LRESULT&) {
    if (H == P && M == WM_DROPFILES) {
      HDROP D = reinterpret_cast<HDROP>(Wp);
      UINT N = DragQueryFileA(D, 0xFFFFFFFF, nullptr, 0);
      for (UINT I = 0; I < N; ++I) {
        char Buf[260];
        DragQueryFileA(D, I, Buf, sizeof Buf);
        Names += String(Buf) + ";";
      }
      InClient = DragQueryPoint(D, &At);
      DragFinish(D);
    }
    return false;
  };
  Display->InjectDrop(GetDisplayWindow(P), 60, 20, {"/tmp/a.mkv", "/tmp/b c.avi"});
  Pump();
  EXPECT_EQ(Names, "/tmp/a.mkv;/tmp/b c.avi;");
  EXPECT_EQ(At, Point(60, 20));
  EXPECT_TRUE(InClient);
  EXPECT_EQ(Count(K, WM_DROPFILES), 0);
}

TEST_F(WinInputTest, WindowManagerRequestsBecomeSystemCommands)
{
  HWND W = Top(0, 0, 100, 100, WS_OVERLAPPEDWINDOW | WS_VISIBLE);
  TDisplayWindow D = GetDisplayWindow(W);
  Display->InjectConfigure(D, Rect(10, 20, 210, 170));
  Pump();
  RECT R;
  GetWindowRect(W, &R);
  EXPECT_EQ(R, Rect(10, 20, 210, 170));
  Display->InjectClose(D);
  Pump();
  EXPECT_EQ(Last(W, WM_SYSCOMMAND)->WParam, SC_CLOSE);
  EXPECT_FALSE(IsWindow(W));  // the default handling closes and destroys it
}

TEST_F(WinInputTest, MenuKeyAndShiftF10AskTheFocusedWindowForItsContextMenu)
{
  HWND W = Top(0, 0, 100, 100, WS_POPUP | WS_SYSMENU | WS_VISIBLE);
  HWND K = Child(W, 10, 10, 50, 50);
  SetFocus(K);
  Pump();
  struct TCase {
    const char* Name;
    std::vector<std::pair<int, bool>> Keys;  // key, pressed
    int ContextMenus;                        // WM_CONTEXTMENU the focused window got
    int KeyMenus;                            // SC_KEYMENU the top-level window got
  };
  const TCase Cases[] = {
      {"menu key pressed", {{VK_APPS, true}}, 0, 0},  // it acts when released
      {"menu key released", {{VK_APPS, false}}, 1, 0},
      {"shift+F10", {{VK_SHIFT, true}, {VK_F10, true}, {VK_F10, false}, {VK_SHIFT, false}}, 1, 0},
      {"shift+F10 held", {{VK_SHIFT, true}, {VK_F10, true}, {VK_F10, true}, {VK_F10, false}, {VK_SHIFT, false}}, 1, 0},
      {"shift released first", {{VK_SHIFT, true}, {VK_F10, true}, {VK_SHIFT, false}, {VK_F10, false}}, 1, 0},
      {"F10 alone", {{VK_F10, true}, {VK_F10, false}}, 0, 1},
      {"F10 then shift", {{VK_F10, true}, {VK_SHIFT, true}, {VK_F10, false}, {VK_SHIFT, false}}, 0, 1},
  };
  for (const auto& C : Cases) {
    Log().clear();
    for (auto [Key, Down] : C.Keys) Display->InjectKey(static_cast<unsigned>(Key), Down);
    Pump();
    EXPECT_EQ(Count(K, WM_CONTEXTMENU), C.ContextMenus) << C.Name;
    int KeyMenus = 0;
    for (auto& E : Log())
      if (E.Wnd == W && E.Msg == WM_SYSCOMMAND && (E.WParam & 0xFFF0) == SC_KEYMENU) ++KeyMenus;
    EXPECT_EQ(KeyMenus, C.KeyMenus) << C.Name;
    if (C.ContextMenus > 0) {
      // (-1, -1): asked from the keyboard; the child passes it on to its parent.
      const TLogged* M = Last(K, WM_CONTEXTMENU);
      EXPECT_EQ(M->WParam, reinterpret_cast<WPARAM>(K));
      EXPECT_EQ(GET_X_LPARAM(M->LParam), -1);
      EXPECT_EQ(GET_Y_LPARAM(M->LParam), -1);
      EXPECT_EQ(Sequence({WM_CONTEXTMENU}), (std::vector<std::pair<HWND, UINT>>{{K, WM_CONTEXTMENU}, {W, WM_CONTEXTMENU}}))
          << C.Name;
    }
  }
}

TEST_F(WinInputTest, AltLetterGoesToTheTopLevelMenuOrBeeps)
{
  struct TCase {
    const char* Name;
    DWORD Style;
    bool HasMenu;
    bool KeyMenu;  // WM_SYSCOMMAND SC_KEYMENU with the letter at the top-level window
  };
  const TCase Cases[] = {
      {"system menu", WS_POPUP | WS_CAPTION | WS_SYSMENU, false, true},
      {"menu bar", WS_POPUP | WS_CAPTION, true, true},
      {"neither", WS_POPUP | WS_CAPTION, false, false},
  };
  for (const auto& C : Cases) {
    HWND W = CreateWindowExA(0, RecordClass, "top", C.Style | WS_VISIBLE, 0, 0, 200, 150, nullptr,
                             C.HasMenu ? reinterpret_cast<HMENU>(static_cast<std::intptr_t>(0x4D31)) : nullptr,
                             nullptr, nullptr);
    HWND K = Child(W, 10, 10, 50, 50);
    SetFocus(K);
    Pump();
    Log().clear();
    int Beeps = Display->BeepCount();
    Display->InjectKey(VK_MENU, true);
    Display->InjectKey('F', true);
    Display->InjectKey('F', false);
    Display->InjectKey(VK_MENU, false);
    Pump();
    ASSERT_NE(Last(K, WM_SYSCHAR), nullptr) << C.Name;  // the focused child gets the character
    const TLogged* Cmd = Last(W, WM_SYSCOMMAND);
    if (C.KeyMenu) {
      ASSERT_NE(Cmd, nullptr) << C.Name;
      EXPECT_EQ(Cmd->WParam & 0xFFF0, SC_KEYMENU) << C.Name;
      EXPECT_EQ(Cmd->LParam, 'f') << C.Name;
      EXPECT_EQ(Display->BeepCount(), Beeps) << C.Name;
    } else {
      EXPECT_EQ(Cmd, nullptr) << C.Name;
      EXPECT_EQ(Display->BeepCount(), Beeps + 1) << C.Name;
    }
    DestroyWindow(W);
  }
}

}  // namespace
