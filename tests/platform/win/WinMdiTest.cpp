// Multiple-document windows: the client and its window list, activation and its messages, next
// and previous, hand-over when the active child goes, maximised children and the frame's merged
// text, activation by a press, the keyboard's child commands.
#include "platform/win/WinMdi.h"
#include "tests/platform/win/WinTestSupport.h"

using namespace WinTest;

namespace {

HWND& FrameClient()
{
  static HWND C = nullptr;
  return C;
}

LRESULT CALLBACK_Frame(HWND Wnd, UINT Msg, WPARAM WParam, LPARAM LParam)
{
  Log().push_back(TLogged{Wnd, Msg, WParam, LParam});
  return DefFrameProcA(Wnd, FrameClient(), Msg, WParam, LParam);
}

LRESULT CALLBACK_Doc(HWND Wnd, UINT Msg, WPARAM WParam, LPARAM LParam)
{
  Log().push_back(TLogged{Wnd, Msg, WParam, LParam});
  return DefMDIChildProcA(Wnd, Msg, WParam, LParam);
}

String TextOf(HWND Wnd)
{
  char Buffer[256];
  int N = GetWindowTextA(Wnd, Buffer, sizeof Buffer);
  return String(Buffer, static_cast<std::size_t>(N));
}

class WinMdiTest : public TWinTest {
protected:
  HWND Frame = nullptr;
  HWND Client = nullptr;

  void SetUp() override
  {
    TWinTest::SetUp();
    WNDCLASSA F{};
    F.lpfnWndProc = CALLBACK_Frame;
    F.lpszClassName = "QvTestMdiFrame";
    RegisterClassA(&F);
    WNDCLASSA D{};
    D.lpfnWndProc = CALLBACK_Doc;
    D.lpszClassName = "QvTestMdiDoc";
    D.hbrBackground = reinterpret_cast<HBRUSH>(static_cast<std::intptr_t>(COLOR_WINDOW + 1));
    RegisterClassA(&D);
    FrameClient() = nullptr;
    Frame = CreateWindowExA(0, "QvTestMdiFrame", "Editor", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 600, 400, nullptr,
                            nullptr, nullptr, nullptr);
    CLIENTCREATESTRUCT Cc{nullptr, 100};
    RECT R;
    GetClientRect(Frame, &R);
    Client = CreateWindowExA(0, "MDICLIENT", nullptr, WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN, 0, 0, R.right,
                             R.bottom, Frame, nullptr, nullptr, &Cc);
    FrameClient() = Client;
    SetActiveWindow(Frame);
    Pump();
  }

  void TearDown() override
  {
    FrameClient() = nullptr;
    TWinTest::TearDown();
  }

  HWND Doc(const char* Title, DWORD Style = WS_VISIBLE, int X = 10, int Y = 10)
  {
    MDICREATESTRUCTA M;
    M.szClass = "QvTestMdiDoc";
    M.szTitle = Title;
    M.x = X;
    M.y = Y;
    M.cx = 200;
    M.cy = 150;
    M.style = Style;
    return reinterpret_cast<HWND>(SendMessageA(Client, WM_MDICREATE, 0, reinterpret_cast<LPARAM>(&M)));
  }

  HWND Active(BOOL* Maximized = nullptr)
  {
    return reinterpret_cast<HWND>(SendMessageA(Client, WM_MDIGETACTIVE, 0, reinterpret_cast<LPARAM>(Maximized)));
  }
};

TEST_F(WinMdiTest, ChildrenJoinTheWindowListInCreationOrderAndAreRenumberedWhenOneGoes)
{
  ASSERT_NE(Client, nullptr);
  EXPECT_TRUE(IsMDIClientWindow(Client));
  EXPECT_FALSE(IsMDIClientWindow(Frame));
  HWND A = Doc("A");
  HWND B = Doc("B");
  // A child made directly with the MDI extended style joins as well, with the child styles.
  HWND C = CreateWindowExA(WS_EX_MDICHILD, "QvTestMdiDoc", "C", WS_POPUP | WS_VISIBLE, 0, 0, 100, 80, Client, nullptr,
                           nullptr, nullptr);
  ASSERT_TRUE(A && B && C);
  EXPECT_EQ(GetMDIChildWindows(Client), (std::vector<HWND>{A, B, C}));
  EXPECT_EQ(GetParent(C), Client);
  EXPECT_TRUE(GetWindowLongA(C, GWL_STYLE) & WS_CHILD);
  EXPECT_FALSE(GetWindowLongA(C, GWL_STYLE) & WS_POPUP);
  EXPECT_EQ(GetDlgCtrlID(A), 100);
  EXPECT_EQ(GetDlgCtrlID(C), 102);
  EXPECT_EQ(Active(), C);

  SendMessageA(Client, WM_MDIDESTROY, reinterpret_cast<WPARAM>(A), 0);
  EXPECT_FALSE(IsWindow(A));
  EXPECT_EQ(GetMDIChildWindows(Client), (std::vector<HWND>{B, C}));
  EXPECT_EQ(GetDlgCtrlID(B), 100);
  EXPECT_EQ(GetDlgCtrlID(C), 101);
  // An ordinary child of the client is not a document.
  HWND Plain = Child(Client, 0, 0, 10, 10);
  EXPECT_EQ(GetMDIChildWindows(Client).size(), 2u);
  EXPECT_TRUE(GetMDIChildWindows(Plain).empty());
}

TEST_F(WinMdiTest, ActivationTellsTheOldChildFirstThenRaisesAndTellsTheNewOne)
{
  HWND A = Doc("A");
  HWND B = Doc("B");
  ASSERT_EQ(Active(), B);
  Log().clear();
  SendMessageA(Client, WM_MDIACTIVATE, reinterpret_cast<WPARAM>(A), 0);
  auto Seq = Sequence({WM_NCACTIVATE, WM_MDIACTIVATE});
  std::vector<std::pair<HWND, UINT>> Want{{B, WM_NCACTIVATE}, {B, WM_MDIACTIVATE}, {A, WM_NCACTIVATE}, {A, WM_MDIACTIVATE}};
  EXPECT_EQ(Seq, Want);
  EXPECT_EQ(Last(B, WM_NCACTIVATE)->WParam, static_cast<WPARAM>(FALSE));
  EXPECT_EQ(Last(A, WM_NCACTIVATE)->WParam, static_cast<WPARAM>(TRUE));
  for (HWND W : {A, B}) {
    EXPECT_EQ(Last(W, WM_MDIACTIVATE)->WParam, reinterpret_cast<WPARAM>(B));
    EXPECT_EQ(Last(W, WM_MDIACTIVATE)->LParam, reinterpret_cast<LPARAM>(A));
  }
  EXPECT_EQ(Active(), A);
  EXPECT_EQ(GetWindow(Client, GW_CHILD), A);  // on top
  EXPECT_EQ(GetFocus(), A);

  // Activating the active child again, or a hidden one, says nothing.
  Log().clear();
  HWND Hidden = Doc("H", 0);
  SendMessageA(Client, WM_MDIACTIVATE, reinterpret_cast<WPARAM>(A), 0);
  SendMessageA(Client, WM_MDIACTIVATE, reinterpret_cast<WPARAM>(Hidden), 0);
  EXPECT_EQ(Count(nullptr, WM_MDIACTIVATE), 0);
  EXPECT_EQ(Active(), A);
  // Showing the hidden one activates it.
  ShowWindow(Hidden, SW_SHOWNORMAL);
  EXPECT_EQ(Active(), Hidden);
}

TEST_F(WinMdiTest, NextAndPreviousWalkTheChildrenAndPreviousUndoesNext)
{
  HWND A = Doc("A");
  HWND B = Doc("B");
  HWND C = Doc("C");  // z-order C, B, A
  struct TStep {
    LPARAM Previous;
    HWND Expected;
  };
  const TStep Steps[] = {{0, B}, {0, A}, {0, C}, {0, B}, {1, C}, {1, A}, {1, B}};
  for (const auto& S : Steps) {
    SendMessageA(Client, WM_MDINEXT, 0, S.Previous);
    EXPECT_EQ(Active(), S.Expected) << "previous " << S.Previous;
  }
  // From a named child that is not the active one.
  SendMessageA(Client, WM_MDINEXT, reinterpret_cast<WPARAM>(A), 0);
  HWND AfterA = Active();
  EXPECT_NE(AfterA, A);
  // One child alone: nothing moves.
  SendMessageA(Client, WM_MDIDESTROY, reinterpret_cast<WPARAM>(A), 0);
  SendMessageA(Client, WM_MDIDESTROY, reinterpret_cast<WPARAM>(B), 0);
  SendMessageA(Client, WM_MDINEXT, 0, 0);
  EXPECT_EQ(Active(), C);
}

TEST_F(WinMdiTest, TheActiveChildGoingAwayHandsOverToTheNextVisibleOne)
{
  struct TCase {
    const char* Name;
    bool Destroy;
  };
  for (const TCase& Case : {TCase{"hidden", false}, TCase{"destroyed", true}}) {
    HWND A = Doc("A");
    HWND B = Doc("B");
    HWND C = Doc("C");
    ShowWindow(B, SW_HIDE);  // not a candidate
    SendMessageA(Client, WM_MDIACTIVATE, reinterpret_cast<WPARAM>(C), 0);
    Log().clear();
    if (Case.Destroy)
      DestroyWindow(C);
    else
      ShowWindow(C, SW_HIDE);
    EXPECT_EQ(Active(), A) << Case.Name;
    EXPECT_EQ(Last(A, WM_NCACTIVATE)->WParam, static_cast<WPARAM>(TRUE)) << Case.Name;
    // The last visible one going leaves no active child, and it hears so.
    Log().clear();
    ShowWindow(A, SW_HIDE);
    EXPECT_EQ(Active(), nullptr) << Case.Name;
    ASSERT_NE(Last(A, WM_NCACTIVATE), nullptr) << Case.Name;
    EXPECT_EQ(Last(A, WM_NCACTIVATE)->WParam, static_cast<WPARAM>(FALSE)) << Case.Name;
    for (HWND W : GetMDIChildWindows(Client)) DestroyWindow(W);
    EXPECT_TRUE(GetMDIChildWindows(Client).empty());
  }
}

TEST_F(WinMdiTest, AMaximisedChildFillsTheClientAndMergesItsTextIntoTheFrames)
{
  HWND A = Doc("Doc1");
  HWND B = Doc("Doc2");
  RECT Area;
  GetClientRect(Client, &Area);
  SendMessageA(Client, WM_MDIMAXIMIZE, reinterpret_cast<WPARAM>(B), 0);
  BOOL Maximized = FALSE;
  EXPECT_EQ(Active(&Maximized), B);
  EXPECT_TRUE(Maximized);
  RECT Inner;
  GetClientRect(B, &Inner);
  EXPECT_EQ(Inner.right, Area.right);
  EXPECT_EQ(Inner.bottom, Area.bottom);
  POINT Origin{0, 0};
  MapWindowPoints(B, Client, &Origin, 1);
  EXPECT_EQ(Origin.x, 0);
  EXPECT_EQ(Origin.y, 0);

  struct TStep {
    std::function<void()> Do;
    const char* FrameText;
  };
  const TStep Steps[] = {
      {[] {}, "Editor - [Doc2]"},
      {[&] { SetWindowTextA(B, "Notes"); }, "Editor - [Notes]"},
      {[&] { SetWindowTextA(Frame, "Writer"); }, "Writer - [Notes]"},
      // Another child activated while one is maximised is maximised in its place.
      {[&] { SendMessageA(Client, WM_MDIACTIVATE, reinterpret_cast<WPARAM>(A), 0); }, "Writer - [Doc1]"},
      {[&] { SendMessageA(Client, WM_MDIRESTORE, reinterpret_cast<WPARAM>(A), 0); }, "Writer"},
  };
  for (const auto& S : Steps) {
    S.Do();
    EXPECT_EQ(TextOf(Frame), S.FrameText);
  }
  EXPECT_FALSE(IsZoomed(A));
  EXPECT_FALSE(IsZoomed(B));

  // The client growing takes the maximised child with it.
  SendMessageA(Client, WM_MDIMAXIMIZE, reinterpret_cast<WPARAM>(A), 0);
  MoveWindow(Client, 0, 0, Area.right - 50, Area.bottom - 30, TRUE);
  GetClientRect(A, &Inner);
  EXPECT_EQ(Inner.right, Area.right - 50);
  EXPECT_EQ(Inner.bottom, Area.bottom - 30);
  // The maximised child destroyed: the frame reads its own title again.
  DestroyWindow(A);
  EXPECT_EQ(Active(), B);
  EXPECT_EQ(TextOf(Frame), "Writer");
}

TEST_F(WinMdiTest, APressIntoAnInactiveChildActivatesIt)
{
  HWND A = Doc("A", WS_VISIBLE, 0, 0);
  HWND B = Doc("B", WS_VISIBLE, 300, 0);
  ASSERT_EQ(Active(), B);
  HWND Inner = Child(A, 5, 5, 40, 30);
  POINT P{10, 10};
  MapWindowPoints(Inner, nullptr, &P, 1);
  Display->InjectButton(P.x, P.y, 1, true);
  Display->InjectButton(P.x, P.y, 1, false);
  Pump();
  EXPECT_EQ(Active(), A);
  EXPECT_EQ(GetActiveWindow(), Frame);
}

TEST_F(WinMdiTest, ControlKeysCloseAndCycleTheChildren)
{
  HWND A = Doc("A");
  HWND B = Doc("B");
  HWND C = Doc("C");
  struct TCase {
    std::vector<int> Held;
    int Key;
    BOOL Handled;
    HWND ActiveAfter;
  };
  const TCase Cases[] = {
      {{VK_CONTROL}, VK_F6, TRUE, B},
      {{VK_CONTROL, VK_SHIFT}, VK_F6, TRUE, C},
      {{}, VK_F6, FALSE, C},
      {{VK_CONTROL}, 'X', FALSE, C},
      {{VK_CONTROL}, VK_F4, TRUE, nullptr},  // C closes
  };
  for (const auto& Case : Cases) {
    for (int H : Case.Held) Display->InjectKey(static_cast<unsigned>(H), true);
    Pump();
    MSG M{};
    M.hwnd = Active();
    M.message = WM_KEYDOWN;
    M.wParam = static_cast<WPARAM>(Case.Key);
    EXPECT_EQ(TranslateMDISysAccel(Client, &M), Case.Handled) << Case.Key;
    for (int H : Case.Held) Display->InjectKey(static_cast<unsigned>(H), false);
    Pump();
    if (Case.ActiveAfter) {
      EXPECT_EQ(Active(), Case.ActiveAfter) << Case.Key;
    }
  }
  EXPECT_FALSE(IsWindow(C));
  EXPECT_TRUE(IsWindow(A));
  EXPECT_EQ(GetMDIChildWindows(Client), (std::vector<HWND>{A, B}));
}

TEST_F(WinMdiTest, TilingAndCascadingArrangeNothing)
{
  HWND A = Doc("A", WS_VISIBLE, 7, 9);
  for (UINT Msg : {WM_MDITILE, WM_MDICASCADE, WM_MDIICONARRANGE}) EXPECT_EQ(SendMessageA(Client, Msg, 0, 0), FALSE);
  RECT R;
  GetWindowRect(A, &R);
  POINT P{R.left, R.top};
  ScreenToClient(Client, &P);
  EXPECT_EQ(P.x, 7);
  EXPECT_EQ(P.y, 9);
}

}  // namespace
