// Windows, classes and messages: creation and destruction order, failed creation, sending and
// posting across threads, nested loops, timers on the test clock, subclassing.
#include <atomic>
#include <thread>

#include "platform/rtl/Thread.h"
#include "tests/platform/win/WinTestSupport.h"

using namespace WinTest;

namespace {

class WinMessageTest : public TWinTest {};

TEST_F(WinMessageTest, CreationSendsTheMessagesInWindowsOrder)
{
  HWND W = Top(10, 20, 200, 100, WS_OVERLAPPEDWINDOW);
  ASSERT_NE(W, nullptr);
  std::vector<UINT> Expected{WM_GETMINMAXINFO, WM_NCCREATE, WM_NCCALCSIZE, WM_CREATE, WM_SIZE, WM_MOVE};
  EXPECT_EQ(MessagesOf(W), Expected);
  // The create structure carries what was asked; WM_SIZE has the client size the frame leaves.
  RECT C;
  GetClientRect(W, &C);
  EXPECT_EQ(C.right, 200 - 2 * 4);
  EXPECT_EQ(C.bottom, 100 - 2 * 4 - 19);
  EXPECT_EQ(Last(W, WM_SIZE)->LParam, MAKELPARAM(192, 73));

  // A visible child adds WM_PARENTNOTIFY to the parent and the show messages.
  Log().clear();
  HWND K = Child(W, 5, 6, 50, 40, WS_CHILD | WS_VISIBLE, 77);
  auto Seq = Sequence({WM_NCCREATE, WM_CREATE, WM_SIZE, WM_MOVE, WM_PARENTNOTIFY, WM_SHOWWINDOW, WM_WINDOWPOSCHANGED});
  std::vector<std::pair<HWND, UINT>> Want{{K, WM_NCCREATE}, {K, WM_CREATE},       {K, WM_SIZE},
                                          {K, WM_MOVE},     {W, WM_PARENTNOTIFY}, {K, WM_SHOWWINDOW},
                                          {K, WM_WINDOWPOSCHANGED}};
  EXPECT_EQ(Seq, Want);
  EXPECT_EQ(Last(W, WM_PARENTNOTIFY)->WParam, MAKEWPARAM(WM_CREATE, 77));
  EXPECT_EQ(GetDlgCtrlID(K), 77);
  EXPECT_EQ(GetParent(K), W);
}

TEST_F(WinMessageTest, RefusedCreationDestroysTheWindowAndAnswersNull)
{
  struct TCase {
    UINT Msg;
    LRESULT Answer;
    std::vector<UINT> Tail;  // what the window hears after refusing
  };
  const TCase Cases[] = {
      {WM_NCCREATE, FALSE, {WM_NCDESTROY}},
      {WM_CREATE, -1, {WM_DESTROY, WM_NCDESTROY}},
  };
  for (const auto& Case : Cases) {
    Log().clear();
    HWND Seen = nullptr;
    Hook() = [&](HWND W, UINT M, WPARAM, LPARAM, LRESULT& R) {
      Seen = W;
      if (M != Case.Msg) return false;
      R = Case.Answer;
      return true;
    };
    int Before = GetWindowCount();
    HWND W = Top(0, 0, 50, 50);
    EXPECT_EQ(W, nullptr);
    EXPECT_FALSE(IsWindow(Seen));
    EXPECT_EQ(GetWindowCount(), Before);
    auto All = MessagesOf(Seen);
    ASSERT_GE(All.size(), Case.Tail.size());
    EXPECT_EQ(std::vector<UINT>(All.end() - Case.Tail.size(), All.end()), Case.Tail) << Case.Msg;
  }
}

TEST_F(WinMessageTest, DestroyGoesTopDownThenBottomUpAndTakesOwnedWindows)
{
  HWND P = Top(0, 0, 200, 200, WS_POPUP | WS_VISIBLE);
  HWND A = Child(P, 0, 0, 50, 50);
  HWND A1 = Child(A, 0, 0, 10, 10);
  HWND B = Child(P, 60, 0, 50, 50);
  HWND Owned = CreateWindowExA(0, RecordClass, "owned", WS_POPUP | WS_VISIBLE, 0, 0, 10, 10, P, nullptr, nullptr, nullptr);
  ASSERT_NE(Owned, nullptr);
  SetTimer(A1, 5, 100, nullptr);
  SetCapture(A1);
  SetFocus(A1);
  Log().clear();
  ASSERT_TRUE(DestroyWindow(P));
  auto Seq = Sequence({WM_DESTROY, WM_NCDESTROY});
  std::vector<std::pair<HWND, UINT>> Want{{Owned, WM_DESTROY}, {Owned, WM_NCDESTROY}, {P, WM_DESTROY},
                                          {B, WM_DESTROY},     {A, WM_DESTROY},       {A1, WM_DESTROY},
                                          {B, WM_NCDESTROY},   {A1, WM_NCDESTROY},    {A, WM_NCDESTROY},
                                          {P, WM_NCDESTROY}};
  EXPECT_EQ(Seq, Want);
  for (HWND H : {P, A, A1, B, Owned}) EXPECT_FALSE(IsWindow(H));
  EXPECT_EQ(GetCapture(), nullptr);
  EXPECT_EQ(GetFocus(), nullptr);
  EXPECT_EQ(GetActiveWindow(), nullptr);
  // The dead window's timer is gone: nothing arrives later.
  Clock->Advance(1000);
  Log().clear();
  Pump();
  EXPECT_EQ(Count(nullptr, WM_TIMER), 0);
  // Stale handles are refused, not crashed on.
  EXPECT_EQ(SendMessageA(A1, WM_USER, 0, 0), 0);
  EXPECT_FALSE(PostMessageA(A1, WM_USER, 0, 0));
  EXPECT_EQ(GetLastError(), ERROR_INVALID_WINDOW_HANDLE);
}

TEST_F(WinMessageTest, SendMessageIsReentrantFromInsideAHandler)
{
  HWND W = Top(0, 0, 10, 10);
  std::vector<int> Depths;
  int Depth = 0;
  Hook() = [&](HWND Wnd, UINT M, WPARAM Wp, LPARAM, LRESULT& R) {
    if (M != WM_USER) return false;
    ++Depth;
    Depths.push_back(Depth);
    R = Wp == 0 ? 1 : SendMessageA(Wnd, WM_USER, Wp - 1, 0) + 1;
    --Depth;
    return true;
  };
  EXPECT_EQ(SendMessageA(W, WM_USER, 3, 0), 4);
  EXPECT_EQ(Depths, (std::vector<int>{1, 2, 3, 4}));
}

TEST_F(WinMessageTest, PostsFromEightThreadsArriveCompleteAndInOrderPerThread)
{
  HWND W = Top(0, 0, 10, 10);
  constexpr int Threads = 8, PerThread = 500;
  std::vector<std::thread> Workers;
  for (int T = 0; T < Threads; ++T)
    Workers.emplace_back([=] {
      for (int I = 0; I < PerThread; ++I) PostMessageA(W, WM_APP, static_cast<WPARAM>(T), I);
    });
  for (auto& T : Workers) T.join();
  std::vector<int> Next(Threads, 0);
  int Total = 0;
  MSG M;
  while (PeekMessageA(&M, nullptr, WM_APP, WM_APP, PM_REMOVE)) {
    ASSERT_EQ(M.hwnd, W);
    ASSERT_LT(M.wParam, static_cast<WPARAM>(Threads));
    EXPECT_EQ(M.lParam, Next[M.wParam]) << "thread " << M.wParam;
    Next[M.wParam] = static_cast<int>(M.lParam) + 1;
    ++Total;
  }
  EXPECT_EQ(Total, Threads * PerThread);
}

TEST_F(WinMessageTest, SendFromAnotherThreadRunsOnTheOwnerThreadWhileTheSenderWaits)
{
  HWND W = Top(0, 0, 10, 10);
  Cardinal Owner = GetCurrentThreadId();
  std::atomic<Cardinal> RanOn{0};
  Hook() = [&](HWND, UINT M, WPARAM Wp, LPARAM, LRESULT& R) {
    if (M != WM_USER) return false;
    RanOn = GetCurrentThreadId();
    R = static_cast<LRESULT>(Wp * 2);
    return true;
  };
  std::atomic<LRESULT> Result{0};
  std::atomic<bool> Done{false};
  std::thread T([&] {
    Result = SendMessageA(W, WM_USER, 21, 0);
    Done = true;
  });
  // The owner thread's loop delivers the message.
  MSG M;
  while (!Done) {
    MsgWaitForMultipleObjects(0, nullptr, FALSE, 50, QS_ALLINPUT);
    PeekMessageA(&M, nullptr, 0, 0, PM_NOREMOVE);
  }
  T.join();
  EXPECT_EQ(Result.load(), 42);
  EXPECT_EQ(RanOn.load(), Owner);

  // A receiver that does not look at its queue makes SendMessageTimeout give up.
  DWORD_PTR R2 = 7;
  std::atomic<LRESULT> TimeoutResult{1};
  std::thread T2([&] { TimeoutResult = SendMessageTimeoutA(W, WM_USER, 1, 0, SMTO_NORMAL, 30, &R2); });
  T2.join();
  EXPECT_EQ(TimeoutResult.load(), 0);
  EXPECT_EQ(R2, 7u);
  Pump();  // the abandoned message is handled without anyone waiting for it
}

TEST_F(WinMessageTest, NestedLoopsEachEndAtTheirOwnQuit)
{
  HWND W = Top(0, 0, 10, 10);
  std::vector<String> Trace;
  Hook() = [&](HWND, UINT M, WPARAM Wp, LPARAM, LRESULT&) {
    if (M != WM_APP) return false;
    Trace.push_back("msg" + std::to_string(Wp));
    if (Wp == 1) {
      // A modal loop inside a handler.
      PostMessageA(W, WM_APP, 2, 0);
      PostQuitMessage(5);
      MSG Inner;
      while (GetMessageA(&Inner, nullptr, 0, 0) > 0) DispatchMessageA(&Inner);
      Trace.push_back("inner quit " + std::to_string(Inner.wParam));
    }
    return true;
  };
  PostMessageA(W, WM_APP, 1, 0);
  PostMessageA(W, WM_APP, 3, 0);
  MSG M;
  BOOL R;
  while ((R = GetMessageA(&M, nullptr, 0, 0)) > 0) {
    DispatchMessageA(&M);
    PostQuitMessage(9);
  }
  EXPECT_EQ(R, FALSE);
  EXPECT_EQ(M.wParam, 9u);
  // Posted messages come before the quit: the inner loop handles 3 and 2 first, in order.
  EXPECT_EQ(Trace, (std::vector<String>{"msg1", "msg3", "msg2", "inner quit 5"}));
}

TEST_F(WinMessageTest, TimersFollowTheTestClock)
{
  HWND W = Top(0, 0, 10, 10);
  static std::vector<UINT_PTR> ProcCalls;
  ProcCalls.clear();
  TIMERPROC Proc = [](HWND, UINT, UINT_PTR Id, DWORD) { ProcCalls.push_back(Id); };
  EXPECT_EQ(SetTimer(W, 1, 100, nullptr), 1u);
  EXPECT_EQ(SetTimer(W, 2, 250, Proc), 2u);
  UINT_PTR ThreadTimer = SetTimer(nullptr, 0, 50, Proc);
  EXPECT_NE(ThreadTimer, 0u);
  Pump();
  EXPECT_EQ(Count(W, WM_TIMER), 0);

  Clock->Advance(99);
  Pump();
  EXPECT_EQ(Count(W, WM_TIMER), 0);
  EXPECT_EQ(ProcCalls, std::vector<UINT_PTR>{ThreadTimer});
  Clock->Advance(1);
  Pump();
  EXPECT_EQ(Count(W, WM_TIMER), 1);
  EXPECT_EQ(Last(W, WM_TIMER)->WParam, 1u);
  // A long gap gives one tick per timer, not a backlog.
  Log().clear();
  ProcCalls.clear();
  Clock->Advance(1000);
  Pump();
  EXPECT_EQ(Count(W, WM_TIMER), 1);
  EXPECT_EQ(ProcCalls.size(), 2u);  // the thread timer and timer 2 (through its procedure)
  // Replacing keeps one timer; killing stops it; a timer killed in its own tick is fine.
  EXPECT_EQ(SetTimer(W, 1, 500, nullptr), 1u);
  Hook() = [&](HWND H, UINT M, WPARAM Id, LPARAM, LRESULT&) {
    if (M == WM_TIMER) KillTimer(H, Id);
    return false;
  };
  Log().clear();
  Clock->Advance(500);
  Pump();
  Clock->Advance(5000);
  Pump();
  EXPECT_EQ(Count(W, WM_TIMER), 1);
  EXPECT_FALSE(KillTimer(W, 1));
  KillTimer(W, 2);
  KillTimer(nullptr, ThreadTimer);
}

TEST_F(WinMessageTest, WaitingLoopWakesWhenTheTestClockMoves)
{
  HWND W = Top(0, 0, 10, 10);
  SetTimer(W, 7, 100, nullptr);
  std::thread T([&] {
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
    Clock->Advance(100);
  });
  MSG M;
  ASSERT_GT(GetMessageA(&M, nullptr, 0, 0), 0);
  EXPECT_EQ(M.message, WM_TIMER);
  EXPECT_EQ(M.wParam, 7u);
  T.join();
}

LRESULT CALLBACK_Sub1(HWND W, UINT M, WPARAM Wp, LPARAM Lp);
LRESULT CALLBACK_Sub2(HWND W, UINT M, WPARAM Wp, LPARAM Lp);
WNDPROC Old1 = nullptr;
WNDPROC Old2 = nullptr;
std::vector<String> SubTrace;

LRESULT CALLBACK_Sub1(HWND W, UINT M, WPARAM Wp, LPARAM Lp)
{
  if (M == WM_USER) SubTrace.push_back("sub1");
  return CallWindowProcA(Old1, W, M, Wp, Lp);
}

LRESULT CALLBACK_Sub2(HWND W, UINT M, WPARAM Wp, LPARAM Lp)
{
  if (M == WM_USER) {
    SubTrace.push_back("sub2");
    if (Wp == 1) return 99;  // swallowed here
  }
  return CallWindowProcA(Old2, W, M, Wp, Lp);
}

TEST_F(WinMessageTest, SubclassingChainsAndRestores)
{
  HWND W = Top(0, 0, 10, 10);
  SubTrace.clear();
  Old1 = reinterpret_cast<WNDPROC>(SetWindowLongPtrA(W, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(CALLBACK_Sub1)));
  Old2 = reinterpret_cast<WNDPROC>(SetWindowLongPtrA(W, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(CALLBACK_Sub2)));
  EXPECT_EQ(Old1, CALLBACK_Record);
  EXPECT_EQ(Old2, CALLBACK_Sub1);
  Log().clear();
  SendMessageA(W, WM_USER, 0, 0);
  EXPECT_EQ(SubTrace, (std::vector<String>{"sub2", "sub1"}));
  EXPECT_EQ(Count(W, WM_USER), 1);
  EXPECT_EQ(SendMessageA(W, WM_USER, 1, 0), 99);
  EXPECT_EQ(Count(W, WM_USER), 1);
  // Restoring in reverse order leaves the class procedure.
  SetWindowLongPtrA(W, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(Old2));
  SetWindowLongPtrA(W, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(Old1));
  EXPECT_EQ(reinterpret_cast<WNDPROC>(GetWindowLongPtrA(W, GWLP_WNDPROC)), CALLBACK_Record);
}

TEST_F(WinMessageTest, LongValuesPropertiesTextAndClasses)
{
  HWND W = Top(0, 0, 10, 10);
  struct TCase {
    int Index;
    LONG_PTR Value;
  };
  for (TCase C : {TCase{GWLP_USERDATA, 12345}, TCase{0, -7}, TCase{8, 0x1122334455LL}}) {
    SetWindowLongPtrA(W, C.Index, C.Value);
    EXPECT_EQ(GetWindowLongPtrA(W, C.Index), C.Value) << C.Index;
  }
  SetLastError(0);
  EXPECT_EQ(GetWindowLongPtrA(W, 12), 0);  // past the 16 extra bytes
  EXPECT_NE(GetLastError(), 0u);
  // Style changes are announced.
  Log().clear();
  SetWindowLongA(W, GWL_EXSTYLE, WS_EX_TOOLWINDOW);
  EXPECT_EQ(MessagesOf(W, {WM_STYLECHANGING, WM_STYLECHANGED}), (std::vector<UINT>{WM_STYLECHANGING, WM_STYLECHANGED}));
  EXPECT_TRUE(GetWindowLongA(W, GWL_EXSTYLE) & WS_EX_TOOLWINDOW);

  EXPECT_TRUE(SetPropA(W, "Owner", reinterpret_cast<HANDLE>(5)));
  EXPECT_EQ(GetPropA(W, "OWNER"), reinterpret_cast<HANDLE>(5));
  EXPECT_EQ(RemovePropA(W, "owner"), reinterpret_cast<HANDLE>(5));
  EXPECT_EQ(GetPropA(W, "Owner"), nullptr);

  // Text through WM_SETTEXT/WM_GETTEXT; a short buffer never cuts a UTF-8 character.
  SetWindowTextA(W, "Gr\xC3\xBC\xC3\x9F");
  char Buf[5];
  EXPECT_EQ(GetWindowTextA(W, Buf, 4), 2);
  EXPECT_STREQ(Buf, "Gr");
  EXPECT_EQ(GetWindowTextA(W, Buf, 5), 4);
  EXPECT_STREQ(Buf, "Gr\xC3\xBC");
  EXPECT_EQ(GetWindowTextLengthA(W), 6);

  char Name[32];
  EXPECT_EQ(GetClassNameA(W, Name, sizeof Name), static_cast<int>(strlen(RecordClass)));
  EXPECT_STREQ(Name, RecordClass);
  WNDCLASSA Again;
  Again.lpfnWndProc = CALLBACK_Record;
  Again.lpszClassName = "qvtestrecord";  // class names ignore case
  EXPECT_EQ(RegisterClassA(&Again), 0);
  EXPECT_EQ(GetLastError(), ERROR_CLASS_ALREADY_EXISTS);
  EXPECT_FALSE(UnregisterClassA(RecordClass, nullptr));  // a window still uses it
  EXPECT_EQ(FindWindowA(RecordClass, "Gr\xC3\xBC\xC3\x9F"), W);
  EXPECT_EQ(FindWindowA("NoSuchClass", nullptr), nullptr);
}

TEST_F(WinMessageTest, RegisteredMessagesAreStablePerName)
{
  UINT A = RegisterWindowMessageA("QvTest.Alpha");
  UINT B = RegisterWindowMessageA("QvTest.Beta");
  EXPECT_GE(A, 0xC000u);
  EXPECT_LE(A, 0xFFFFu);
  EXPECT_NE(A, B);
  EXPECT_EQ(RegisterWindowMessageA("qvtest.alpha"), A);
  EXPECT_EQ(RegisterWindowMessageA(""), 0u);
}

TEST_F(WinMessageTest, SynchronizeRunsFromTheMessageLoop)
{
  HWND W = Top(0, 0, 10, 10);
  (void)W;
  SetMainThread();
  std::atomic<bool> Ran{false};
  std::atomic<bool> Back{false};
  std::thread T([&] {
    TThread::Synchronize(nullptr, [&] { Ran = true; });
    Back = true;
  });
  MSG M;
  while (!Back) {
    MsgWaitForMultipleObjects(0, nullptr, FALSE, 100, QS_ALLINPUT);
    PeekMessageA(&M, nullptr, 0, 0, PM_NOREMOVE);
  }
  T.join();
  EXPECT_TRUE(Ran);
}

TEST_F(WinMessageTest, EnumerationVisitsTheTreeAndNotifyMessagesDoNotWait)
{
  HWND P = Top(0, 0, 10, 10);
  HWND A = Child(P, 0, 0, 5, 5);
  HWND A1 = Child(A, 0, 0, 2, 2);
  HWND B = Child(P, 5, 0, 5, 5);
  std::vector<HWND> Seen;
  EnumChildWindows(P, [](HWND W, LPARAM L) { reinterpret_cast<std::vector<HWND>*>(L)->push_back(W); return TRUE; },
                   reinterpret_cast<LPARAM>(&Seen));
  EXPECT_EQ(Seen, (std::vector<HWND>{B, A, A1}));  // z-order, each child before its children
  Seen.clear();
  EnumThreadWindows(GetCurrentThreadId(),
                    [](HWND W, LPARAM L) { reinterpret_cast<std::vector<HWND>*>(L)->push_back(W); return TRUE; },
                    reinterpret_cast<LPARAM>(&Seen));
  EXPECT_EQ(Seen, std::vector<HWND>{P});
  // A notification from another thread returns at once and is handled by the owner later.
  std::thread T([&] { EXPECT_TRUE(SendNotifyMessageA(P, WM_USER + 9, 1, 2)); });
  T.join();
  EXPECT_EQ(Count(P, WM_USER + 9), 0);
  Pump();
  EXPECT_EQ(Count(P, WM_USER + 9), 1);
}

TEST_F(WinMessageTest, PeekFiltersByWindowAndRange)
{
  HWND A = Top(0, 0, 10, 10);
  HWND B = Top(0, 0, 10, 10);
  PostMessageA(A, WM_APP + 1, 0, 0);
  PostMessageA(B, WM_APP + 2, 0, 0);
  PostThreadMessageA(GetCurrentThreadId(), WM_APP + 3, 0, 0);
  MSG M;
  ASSERT_TRUE(PeekMessageA(&M, B, 0, 0, PM_NOREMOVE));
  EXPECT_EQ(M.message, WM_APP + 2);
  ASSERT_TRUE(PeekMessageA(&M, nullptr, WM_APP + 3, WM_APP + 3, PM_REMOVE));
  EXPECT_EQ(M.hwnd, nullptr);
  ASSERT_TRUE(PeekMessageA(&M, nullptr, WM_APP, WM_APP + 5, PM_REMOVE));
  EXPECT_EQ(M.message, WM_APP + 1);
  ASSERT_TRUE(PeekMessageA(&M, nullptr, WM_APP, WM_APP + 5, PM_REMOVE));
  EXPECT_EQ(M.message, WM_APP + 2);
  EXPECT_FALSE(PeekMessageA(&M, nullptr, WM_APP, WM_APP + 5, PM_REMOVE));
  // WM_QUIT comes out whatever the filter.
  PostQuitMessage(3);
  ASSERT_TRUE(PeekMessageA(&M, A, WM_APP, WM_APP, PM_REMOVE));
  EXPECT_EQ(M.message, WM_QUIT);
  EXPECT_EQ(M.wParam, 3u);
  EXPECT_FALSE(PeekMessageA(&M, nullptr, 0, 0, PM_REMOVE));
}

}  // namespace

// A thread that made a window has a queue at once: a post made before the thread ever looked
// for messages is kept for it.
TEST_F(WinMessageTest, PostsToANewThreadsWindowWaitForItsFirstLook)
{
  std::atomic<HWND> Made{nullptr};
  std::atomic<bool> Posted{false};
  MSG Got{};
  std::thread T([&] {
    Made = CreateWindowExA(0, RecordClass, "", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
    while (!Posted)
      std::this_thread::yield();
    if (PeekMessageA(&Got, nullptr, WM_APP + 7, WM_APP + 7, PM_REMOVE) == FALSE)
      Got.message = 0;
    DestroyWindow(Made);
  });
  while (!Made)
    std::this_thread::yield();
  EXPECT_TRUE(PostMessageA(Made, WM_APP + 7, 1, 2));
  Posted = true;
  T.join();
  EXPECT_EQ(Got.message, static_cast<UINT>(WM_APP + 7));
}
