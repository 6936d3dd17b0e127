// The services around windows: waiting for kernel objects and messages together, requests
// from another copy of the program, the standard scroll bars, the clipboard, the tray model,
// the caret, message boxes, system metrics.
#include <atomic>
#include <cstring>
#include <functional>
#include <thread>

#include "platform/os/InstanceChannel.h"
#include "platform/os/Sync.h"
#include "platform/rtl/Thread.h"
#include "tests/platform/win/WinTestSupport.h"

using namespace WinTest;

namespace {

class WinServicesTest : public TWinTest {};

TEST_F(WinServicesTest, WaitsForMessagesWakeForAWorkerThreadsReport)
{
  // A worker's report to the main thread (how a reader's or watcher's end arrives) counts as
  // a posted message: a wait for messages returns for it long before its time-out.
  HANDLE Event = CreateEventA(nullptr, TRUE, FALSE, nullptr);
  ASSERT_NE(Event, nullptr);
  struct TCase {
    const char* Wait;
    std::function<DWORD()> Run;
    DWORD Woken;
  };
  const TCase Cases[] = {
      {"MsgWaitForMultipleObjects, no handles", [] { return MsgWaitForMultipleObjects(0, nullptr, FALSE, 5000, QS_ALLINPUT); },
       WAIT_OBJECT_0},
      {"MsgWaitForMultipleObjects, an event",
       [&] { return MsgWaitForMultipleObjects(1, &Event, FALSE, 5000, QS_ALLINPUT); }, WAIT_OBJECT_0 + 1},
      {"MsgWaitForMultipleObjects, posted only",
       [&] { return MsgWaitForMultipleObjects(1, &Event, FALSE, 5000, QS_POSTMESSAGE); }, WAIT_OBJECT_0 + 1},
      {"WaitMessage", [] { return WaitMessage() ? DWORD(0) : DWORD(1); }, 0},
  };
  for (const TCase& Case : Cases) {
    Pump();
    bool Ran = false;
    std::thread Worker([&] {
      std::this_thread::sleep_for(std::chrono::milliseconds(20));
      TThread::Queue(nullptr, [&] { Ran = true; });
    });
    const Int64 Start = GetTickCount64();
    EXPECT_EQ(Case.Run(), Case.Woken) << Case.Wait;
    EXPECT_LT(GetTickCount64() - Start, 2500) << Case.Wait;
    Worker.join();
    CheckSynchronize(1000);
    EXPECT_TRUE(Ran) << Case.Wait;
  }
  CloseHandle(Event);
}

TEST_F(WinServicesTest, MsgWaitReturnsForTheHandleOrForInput)
{
  HWND W = Top(0, 0, 10, 10);
  HANDLE Event = CreateEventA(nullptr, TRUE, FALSE, nullptr);
  ASSERT_NE(Event, nullptr);
  EXPECT_EQ(MsgWaitForMultipleObjects(1, &Event, FALSE, 0, QS_ALLINPUT), WAIT_TIMEOUT);
  PostMessageA(W, WM_APP, 0, 0);
  EXPECT_EQ(MsgWaitForMultipleObjects(1, &Event, FALSE, 1000, QS_ALLINPUT), WAIT_OBJECT_0 + 1);
  Pump();
  std::thread T([&] {
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
    SetEvent(Event);
  });
  EXPECT_EQ(MsgWaitForMultipleObjects(1, &Event, FALSE, 5000, QS_ALLINPUT), WAIT_OBJECT_0);
  T.join();
  CloseHandle(Event);
}

TEST_F(WinServicesTest, RequestsThroughTheInstanceChannelArriveAsSentMessages)
{
  std::unique_ptr<qv::os::TInstanceChannel> Channel;
  try {
    Channel = std::make_unique<qv::os::TInstanceChannel>();
  } catch (const Exception& E) {
    GTEST_SKIP() << "no instance channel here: " << E.Message();
  }
  HWND W = CreateWindowExA(0, RecordClass, "QvRemoteTarget", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
  Pump();  // the loop hooks the channel and lists the window
  auto Found = qv::os::FindRemoteWindows(RecordClass, "QvRemoteTarget", true);
  ASSERT_EQ(Found.size(), 1u);
  EXPECT_EQ(Found[0].Window, W);
  String Received;
  ULONG_PTR Tag = 0;
  const UINT Registered = RegisterWindowMessageA("QvRemoteServicesTest");
  ASSERT_GE(Registered, 0xC000u);
  int PointerMessages = 0;
  Hook() = [&](HWND H, UINT M, WPARAM, LPARAM Lp, LRESULT& R) {
    if (H == W && (M == WM_SETTEXT || M == WM_GETTEXT || M == WM_APP)) ++PointerMessages;
    if (H != W) return false;
    if (M == WM_COPYDATA) {
      auto* C = reinterpret_cast<COPYDATASTRUCT*>(Lp);
      Received.assign(static_cast<const char*>(C->lpData), C->cbData);
      Tag = C->dwData;
      R = 17;
      return true;
    }
    if (M == Registered) {
      R = Lp + 1;
      return true;
    }
    return false;
  };
  std::atomic<bool> Done{false};
  LRESULT CopyResult = 0, AppResult = 0, SetTextResult = -1, GetTextResult = -1, PrivateResult = -1;
  std::thread Sender([&] {
    const char Payload[] = "C:\\Videos\\clip.avi";
    qv::os::SendRemoteCopyData(Found[0], nullptr, 0x51, Payload, sizeof Payload - 1, 5000, &CopyResult);
    qv::os::SendRemoteMessage(Found[0], Registered, 0, 41, nullptr, 0, 5000, &AppResult);
    // Pointers of another process: never handed to the window procedure.
    qv::os::SendRemoteMessage(Found[0], WM_SETTEXT, 0, 0x5EADBEEF, nullptr, 0, 5000, &SetTextResult);
    qv::os::SendRemoteMessage(Found[0], WM_GETTEXT, 100, 0x5EADBEEF, nullptr, 0, 5000, &GetTextResult);
    qv::os::SendRemoteMessage(Found[0], WM_APP, 0, 0x5EADBEEF, nullptr, 0, 5000, &PrivateResult);
    Done = true;
  });
  MSG M;
  while (!Done) {
    MsgWaitForMultipleObjects(0, nullptr, FALSE, 50, QS_ALLINPUT);
    PeekMessageA(&M, nullptr, 0, 0, PM_NOREMOVE);
  }
  Sender.join();
  EXPECT_EQ(Received, "C:\\Videos\\clip.avi");
  EXPECT_EQ(Tag, 0x51u);
  EXPECT_EQ(CopyResult, 17);
  EXPECT_EQ(AppResult, 42);
  EXPECT_EQ(SetTextResult, 0);
  EXPECT_EQ(GetTextResult, 0);
  EXPECT_EQ(PrivateResult, 0);
  EXPECT_EQ(PointerMessages, 0);
  char Text[64] = {};
  GetWindowTextA(W, Text, sizeof Text);
  EXPECT_STREQ(Text, "QvRemoteTarget");
  DestroyWindow(W);
  EXPECT_TRUE(qv::os::FindRemoteWindows(RecordClass, "QvRemoteTarget", true).empty());
}

TEST_F(WinServicesTest, ScrollInfoClampsShowsTheBarAndClicksScroll)
{
  HWND W = Top(0, 0, 200, 100, WS_POPUP | WS_VISIBLE);
  SCROLLINFO Si;
  Si.fMask = SIF_RANGE | SIF_PAGE | SIF_POS;
  Si.nMin = 0;
  Si.nMax = 99;
  Si.nPage = 10;
  Si.nPos = 500;
  Log().clear();
  EXPECT_EQ(SetScrollInfo(W, SB_VERT, &Si, TRUE), 90);  // the position stops at max - page + 1
  EXPECT_TRUE(GetWindowLongA(W, GWL_STYLE) & WS_VSCROLL);
  EXPECT_GE(Count(W, WM_NCCALCSIZE), 1);
  RECT C;
  GetClientRect(W, &C);
  EXPECT_EQ(C.right, 200 - GetSystemMetrics(SM_CXVSCROLL));
  SCROLLBARINFO Sbi;
  ASSERT_TRUE(GetScrollBarInfo(W, OBJID_VSCROLL, &Sbi));
  EXPECT_EQ(Sbi.rgstate[0] & STATE_SYSTEM_INVISIBLE, 0u);
  EXPECT_EQ(Sbi.rcScrollBar, Rect(184, 0, 200, 100));
  // A page that covers the range hides the bar again.
  Si.fMask = SIF_PAGE;
  Si.nPage = 100;
  SetScrollInfo(W, SB_VERT, &Si, TRUE);
  EXPECT_FALSE(GetWindowLongA(W, GWL_STYLE) & WS_VSCROLL);
  GetScrollBarInfo(W, OBJID_VSCROLL, &Sbi);
  EXPECT_NE(Sbi.rgstate[0] & STATE_SYSTEM_INVISIBLE, 0u);
  // Clicks on the arrows and the track send the SB_ codes.
  Si.fMask = SIF_PAGE | SIF_POS;
  Si.nPage = 10;
  Si.nPos = 50;
  SetScrollInfo(W, SB_VERT, &Si, TRUE);
  struct TCase {
    int Y;
    WORD Code;
  };
  for (TCase Cs : {TCase{5, SB_LINEUP}, TCase{95, SB_LINEDOWN}, TCase{20, SB_PAGEUP}, TCase{80, SB_PAGEDOWN}}) {
    Log().clear();
    Display->InjectButton(190, Cs.Y, 1, true);
    Display->InjectButton(190, Cs.Y, 1, false);
    Pump();
    auto Codes = std::vector<WORD>();
    for (auto& E : Log())
      if (E.Wnd == W && E.Msg == WM_VSCROLL) Codes.push_back(LOWORD(E.WParam));
    EXPECT_EQ(Codes, (std::vector<WORD>{Cs.Code, SB_ENDSCROLL})) << Cs.Y;
  }
}

TEST_F(WinServicesTest, ScrollBarInfoDescribesTheBarInScreenCoordinates)
{
  HWND W = Top(50, 40, 200, 100, WS_POPUP | WS_VISIBLE);
  SCROLLINFO Si;
  Si.fMask = SIF_RANGE | SIF_PAGE | SIF_POS;
  Si.nMin = 0;
  Si.nMax = 99;
  Si.nPage = 10;
  Si.nPos = 0;
  SetScrollInfo(W, SB_VERT, &Si, TRUE);
  SCROLLBARINFO Sbi;
  // The record's size is checked; only the bars and a control's client are objects here.
  Sbi.cbSize = sizeof Sbi - 4;
  SetLastError(0);
  EXPECT_FALSE(GetScrollBarInfo(W, OBJID_VSCROLL, &Sbi));
  EXPECT_EQ(GetLastError(), ERROR_INVALID_PARAMETER);
  Sbi.cbSize = sizeof Sbi;
  EXPECT_FALSE(GetScrollBarInfo(W, OBJID_WINDOW, &Sbi));
  EXPECT_FALSE(GetScrollBarInfo(W, OBJID_CLIENT, &Sbi));  // no scroll-bar control answers

  ASSERT_TRUE(GetScrollBarInfo(W, OBJID_VSCROLL, &Sbi));
  const int Cx = GetSystemMetrics(SM_CXVSCROLL);
  EXPECT_EQ(Sbi.rcScrollBar, Rect(250 - Cx, 40, 250, 140));
  EXPECT_EQ(Sbi.dxyLineButton, GetSystemMetrics(SM_CYVSCROLL));
  EXPECT_EQ(Sbi.xyThumbTop, Sbi.dxyLineButton);  // at the minimum the thumb touches the top arrow
  EXPECT_GT(Sbi.xyThumbBottom, Sbi.xyThumbTop);
  for (DWORD State : Sbi.rgstate) EXPECT_EQ(State, 0u);
  SetScrollPos(W, SB_VERT, 90, TRUE);
  GetScrollBarInfo(W, OBJID_VSCROLL, &Sbi);
  EXPECT_EQ(Sbi.xyThumbBottom, 100 - Sbi.dxyLineButton);  // at the maximum it touches the bottom one
  // The absent horizontal bar is invisible.
  ASSERT_TRUE(GetScrollBarInfo(W, OBJID_HSCROLL, &Sbi));
  EXPECT_EQ(Sbi.rgstate[0], STATE_SYSTEM_INVISIBLE);
  // Disabled arrows and bars.
  struct TCase {
    UINT Arrows;
    DWORD Bar, Up, Down;
  };
  for (TCase C : {TCase{ESB_DISABLE_UP, 0, STATE_SYSTEM_UNAVAILABLE, 0},
                  TCase{ESB_DISABLE_DOWN, 0, 0, STATE_SYSTEM_UNAVAILABLE},
                  TCase{ESB_DISABLE_BOTH, STATE_SYSTEM_UNAVAILABLE, STATE_SYSTEM_UNAVAILABLE, STATE_SYSTEM_UNAVAILABLE},
                  TCase{ESB_ENABLE_BOTH, 0, 0, 0}}) {
    EnableScrollBar(W, SB_VERT, C.Arrows);
    ASSERT_TRUE(GetScrollBarInfo(W, OBJID_VSCROLL, &Sbi));
    EXPECT_EQ(Sbi.rgstate[0], C.Bar) << C.Arrows;
    EXPECT_EQ(Sbi.rgstate[1], C.Up) << C.Arrows;
    EXPECT_EQ(Sbi.rgstate[5], C.Down) << C.Arrows;
  }
}

TEST_F(WinServicesTest, TrackPosFollowsTheDraggedThumbAndThenEqualsThePosition)
{
  HWND W = Top(0, 0, 200, 100, WS_POPUP | WS_VISIBLE);
  SCROLLINFO Si;
  Si.fMask = SIF_RANGE | SIF_PAGE | SIF_POS;
  Si.nMin = 0;
  Si.nMax = 99;
  Si.nPage = 10;
  Si.nPos = 20;
  SetScrollInfo(W, SB_VERT, &Si, TRUE);
  SCROLLBARINFO Before;
  ASSERT_TRUE(GetScrollBarInfo(W, OBJID_VSCROLL, &Before));
  struct TSeen {
    int Pos, TrackPos, Reported, ThumbTop;
    DWORD ThumbState;
  };
  std::vector<TSeen> Seen;
  Hook() = [&](HWND Wnd, UINT Msg, WPARAM WParam, LPARAM, LRESULT&) {
    if (Wnd == W && Msg == WM_VSCROLL && LOWORD(WParam) == SB_THUMBTRACK) {
      SCROLLINFO Now;
      Now.fMask = SIF_POS | SIF_TRACKPOS;
      GetScrollInfo(W, SB_VERT, &Now);
      SCROLLBARINFO Bar;
      GetScrollBarInfo(W, OBJID_VSCROLL, &Bar);
      Seen.push_back(TSeen{Now.nPos, Now.nTrackPos, HIWORD(WParam), Bar.xyThumbTop, Bar.rgstate[3]});
    }
    return false;
  };
  int X = 192, Y = Before.rcScrollBar.top + Before.xyThumbTop + 2;
  Display->InjectButton(X, Y, 1, true);
  Display->InjectMouseMove(X, Y + 20);
  Display->InjectMouseMove(X, Y + 40);
  Display->InjectButton(X, Y + 40, 1, false);
  Pump();
  ASSERT_EQ(Seen.size(), 2u);
  for (const TSeen& S : Seen) {
    EXPECT_EQ(S.Pos, 20);  // the window has not scrolled yet
    EXPECT_EQ(S.TrackPos, S.Reported);
    EXPECT_EQ(S.ThumbState, STATE_SYSTEM_PRESSED);
  }
  EXPECT_GT(Seen[0].TrackPos, 20);
  EXPECT_GT(Seen[1].TrackPos, Seen[0].TrackPos);
  EXPECT_GT(Seen[1].ThumbTop, Before.xyThumbTop);  // the thumb is drawn where it is dragged
  Si.fMask = SIF_POS | SIF_TRACKPOS;
  GetScrollInfo(W, SB_VERT, &Si);
  EXPECT_EQ(Si.nTrackPos, Si.nPos);
  SCROLLBARINFO After;
  GetScrollBarInfo(W, OBJID_VSCROLL, &After);
  EXPECT_EQ(After.rgstate[3], 0u);
}

TEST_F(WinServicesTest, ControlFormsOfTheScrollFunctionsAskTheControl)
{
  // A window answering the scroll-bar control messages stands for the control.
  constexpr UINT GetInfo = 0x00EA, GetBarInfo = 0x00EB, SetInfo = 0x00E9;
  HWND C = Top(0, 0, 100, 20, WS_POPUP | WS_VISIBLE);
  Hook() = [&](HWND Wnd, UINT Msg, WPARAM WParam, LPARAM LParam, LRESULT& R) {
    if (Wnd != C) return false;
    if (Msg == GetInfo) {
      auto* I = reinterpret_cast<SCROLLINFO*>(LParam);
      if (I->fMask & SIF_POS) I->nPos = 7;
      if (I->fMask & SIF_TRACKPOS) I->nTrackPos = 9;
      R = TRUE;
      return true;
    }
    if (Msg == GetBarInfo) {
      reinterpret_cast<SCROLLBARINFO*>(LParam)->dxyLineButton = 13;
      R = TRUE;
      return true;
    }
    if (Msg == SetInfo) {
      R = reinterpret_cast<const SCROLLINFO*>(LParam)->nPos + static_cast<LRESULT>(WParam);
      return true;
    }
    return false;
  };
  SCROLLINFO Si;
  Si.fMask = SIF_POS | SIF_TRACKPOS;
  ASSERT_TRUE(GetScrollInfo(C, SB_CTL, &Si));
  EXPECT_EQ(Si.nPos, 7);
  EXPECT_EQ(Si.nTrackPos, 9);
  EXPECT_EQ(GetScrollPos(C, SB_CTL), 7);
  Si.fMask = SIF_POS;
  Si.nPos = 30;
  EXPECT_EQ(SetScrollInfo(C, SB_CTL, &Si, TRUE), 31);  // the redraw flag travels in wParam
  SCROLLBARINFO Sbi;
  ASSERT_TRUE(GetScrollBarInfo(C, OBJID_CLIENT, &Sbi));
  EXPECT_EQ(Sbi.dxyLineButton, 13);
}

TEST_F(WinServicesTest, ClipboardTextRoundTripsThroughTheDisplay)
{
  HWND W = Top(0, 0, 10, 10);
  const char Text[] = "D:\\Movies\\a.mkv";
  HGLOBAL H = GlobalAlloc(GMEM_MOVEABLE, sizeof Text);
  ASSERT_NE(H, nullptr);
  std::memcpy(GlobalLock(H), Text, sizeof Text);
  GlobalUnlock(H);
  EXPECT_EQ(GlobalSize(H), sizeof Text);
  EXPECT_FALSE(SetClipboardData(CF_TEXT, H));  // the clipboard is not open
  ASSERT_TRUE(OpenClipboard(W));
  EmptyClipboard();
  EXPECT_EQ(SetClipboardData(CF_TEXT, H), H);
  CloseClipboard();
  String Seen;
  ASSERT_TRUE(Display->GetClipboardText(Seen));
  EXPECT_EQ(Seen, Text);
  Display->SetClipboardText("from elsewhere");
  EXPECT_TRUE(IsClipboardFormatAvailable(CF_TEXT));
  ASSERT_TRUE(OpenClipboard(W));
  HANDLE Got = GetClipboardData(CF_TEXT);
  ASSERT_NE(Got, nullptr);
  EXPECT_STREQ(static_cast<const char*>(GlobalLock(Got)), "from elsewhere");
  GlobalUnlock(Got);
  CloseClipboard();
  EXPECT_EQ(GlobalFree(reinterpret_cast<HGLOBAL>(0x1234)), reinterpret_cast<HGLOBAL>(0x1234));  // unknown: refused
}

TEST_F(WinServicesTest, TrayIconsAreKeptAsDataAndCallBack)
{
  HWND W = Top(0, 0, 10, 10);
  NOTIFYICONDATAA D;
  D.hWnd = W;
  D.uID = 1;
  D.uFlags = NIF_MESSAGE | NIF_TIP;
  D.uCallbackMessage = WM_APP + 5;
  std::memset(D.szTip, 'x', sizeof D.szTip);  // no terminator: taken up to the array's end
  ASSERT_TRUE(Shell_NotifyIconA(NIM_ADD, &D));
  EXPECT_FALSE(Shell_NotifyIconA(NIM_ADD, &D));
  ASSERT_EQ(GetTrayIcons().size(), 1u);
  EXPECT_EQ(GetTrayIcons()[0].Tip.size(), sizeof D.szTip);
  std::strcpy(D.szTip, "Quelvo 3");
  D.uFlags = NIF_TIP;
  EXPECT_TRUE(Shell_NotifyIconA(NIM_MODIFY, &D));
  EXPECT_EQ(GetTrayIcons()[0].Tip, "Quelvo 3");
  EXPECT_TRUE(SendTrayMouseMessage(W, 1, WM_LBUTTONDBLCLK));
  Pump();
  const TLogged* Cb = Last(W, WM_APP + 5);
  ASSERT_NE(Cb, nullptr);
  EXPECT_EQ(Cb->WParam, 1u);
  EXPECT_EQ(Cb->LParam, static_cast<LPARAM>(WM_LBUTTONDBLCLK));
  EXPECT_TRUE(Shell_NotifyIconA(NIM_DELETE, &D));
  EXPECT_TRUE(GetTrayIcons().empty());
  // Icons go with their window.
  D.uFlags = NIF_MESSAGE;
  Shell_NotifyIconA(NIM_ADD, &D);
  DestroyWindow(W);
  EXPECT_TRUE(GetTrayIcons().empty());
  SetTrayAvailable(false);
  HWND W2 = Top(0, 0, 10, 10);
  D.hWnd = W2;
  EXPECT_FALSE(Shell_NotifyIconA(NIM_ADD, &D));
  SetTrayAvailable(true);
}

TEST_F(WinServicesTest, CaretBlinksByTheClockAndHidesDuringPaint)
{
  HWND W = Top(0, 0, 50, 50, WS_POPUP | WS_VISIBLE);
  Pump();
  std::uint32_t Background = Pixel(W, 11, 11);
  ASSERT_TRUE(CreateCaret(W, nullptr, 2, 10));
  SetCaretPos(10, 10);
  EXPECT_EQ(Pixel(W, 11, 11), Background);  // a new caret is hidden
  ShowCaret(W);
  EXPECT_EQ(Pixel(W, 11, 11), (~Background) & 0xFFFFFF);
  Clock->Advance(GetCaretBlinkTime());
  EXPECT_EQ(Pixel(W, 11, 11), Background);
  Clock->Advance(GetCaretBlinkTime());
  EXPECT_EQ(Pixel(W, 11, 11), (~Background) & 0xFFFFFF);
  // Painting under the caret never leaves a stale inverted patch.
  InvalidateRect(W, nullptr, TRUE);
  Pump();
  EXPECT_EQ(Pixel(W, 11, 11), (~Background) & 0xFFFFFF);
  POINT P;
  GetCaretPos(&P);
  EXPECT_EQ(P, Point(10, 10));
  DestroyCaret();
  EXPECT_EQ(Pixel(W, 11, 11), Background);
}

// The caret's shape in pixels: what each pixel of a 16x16 area around the caret looks like.
struct TCaretShapeCase {
  const char* Name;
  int Kind;  // 0 solid, 1 grey, 2 monochrome bitmap, 3 colour bitmap
  int Width, Height;
  // The colour XOR-ed into the background at (X, Y) relative to the caret, 0 where unchanged.
  std::function<std::uint32_t(int X, int Y)> Xor;
};

TEST_F(WinServicesTest, CaretShapeIsSolidGreyOrTheBitmapInvertedIntoThePixels)
{
  HWND W = Top(0, 0, 60, 60, WS_POPUP | WS_VISIBLE);
  Pump();
  const std::uint32_t Bg = Pixel(W, 20, 20);
  ASSERT_EQ(Bg, 0xFFFFFFu);
  // Monochrome 8x3 (rows padded to 16 bits): set bits invert, clear bits leave alone.
  const BYTE Mono[] = {0xF0, 0, 0x0F, 0, 0xA5, 0};
  // Colour 2x2: each pixel is XOR-ed in.
  const std::uint32_t Colour[] = {0x00FF00, 0x000000, 0xFFFFFF, 0x0000FF};
  const TCaretShapeCase Cases[] = {
      {"solid", 0, 3, 5, [](int X, int Y) { return X < 3 && Y < 5 ? 0xFFFFFFu : 0u; }},
      {"grey", 1, 4, 4, [](int X, int Y) { return X < 4 && Y < 4 && ((X + Y) & 1) == 0 ? 0xFFFFFFu : 0u; }},
      {"mono", 2, 40, 40,  // the bitmap's size wins over the given one
       [&](int X, int Y) {
         if (X >= 8 || Y >= 3) return 0u;
         return (Mono[Y * 2] & (0x80 >> X)) ? 0xFFFFFFu : 0u;
       }},
      {"colour", 3, 40, 40, [&](int X, int Y) { return X < 2 && Y < 2 ? Colour[Y * 2 + X] : 0u; }},
  };
  for (const auto& C : Cases) {
    HBITMAP Bmp = nullptr;
    if (C.Kind == 1) Bmp = reinterpret_cast<HBITMAP>(static_cast<std::intptr_t>(1));
    if (C.Kind == 2) Bmp = CreateBitmap(8, 3, 1, 1, Mono);
    if (C.Kind == 3) Bmp = CreateBitmap(2, 2, 1, 32, Colour);
    ASSERT_TRUE(CreateCaret(W, Bmp, C.Width, C.Height)) << C.Name;
    // The caret keeps its own copy: the application may delete its bitmap.
    if (C.Kind >= 2) DeleteObject(Bmp);
    SetCaretPos(20, 20);
    ShowCaret(W);
    for (int Y = -2; Y < 14; ++Y)
      for (int X = -2; X < 14; ++X) {
        std::uint32_t Want = Bg ^ (X < 0 || Y < 0 ? 0u : C.Xor(X, Y));
        ASSERT_EQ(Pixel(W, 20 + X, 20 + Y), Want) << C.Name << " at " << X << "," << Y;
      }
    // Blinking off puts every pixel back.
    Clock->Advance(GetCaretBlinkTime());
    for (int Y = 0; Y < 12; ++Y)
      for (int X = 0; X < 12; ++X) ASSERT_EQ(Pixel(W, 20 + X, 20 + Y), Bg) << C.Name << " blinked off";
    Clock->Advance(GetCaretBlinkTime());
    EXPECT_EQ(Pixel(W, 20, 20), Bg ^ C.Xor(0, 0)) << C.Name << " blinked on";
    DestroyCaret();
    EXPECT_EQ(Pixel(W, 20, 20), Bg) << C.Name;
  }
}

TEST_F(WinServicesTest, CaretHideCountsPositionAndBadBitmaps)
{
  HWND W = Top(0, 0, 60, 60, WS_POPUP | WS_VISIBLE);
  HWND Other = Top(100, 0, 60, 60, WS_POPUP | WS_VISIBLE);
  Pump();
  const std::uint32_t Bg = Pixel(W, 5, 5);
  const std::uint32_t On = (~Bg) & 0xFFFFFF;
  ASSERT_TRUE(CreateCaret(W, nullptr, 2, 8));
  SetCaretPos(5, 5);
  EXPECT_FALSE(ShowCaret(Other));  // not the caret's window
  ShowCaret(W);
  EXPECT_EQ(Pixel(W, 5, 5), On);
  // Hiding counts: two hides need two shows.
  HideCaret(W);
  HideCaret(nullptr);
  EXPECT_EQ(Pixel(W, 5, 5), Bg);
  ShowCaret(W);
  EXPECT_EQ(Pixel(W, 5, 5), Bg);
  Clock->Advance(GetCaretBlinkTime());
  EXPECT_EQ(Pixel(W, 5, 5), Bg);  // no blinking while hidden
  ShowCaret(W);
  EXPECT_EQ(Pixel(W, 5, 5), On);
  // Moving takes the caret along and leaves nothing behind.
  SetCaretPos(30, 12);
  POINT P{};
  EXPECT_TRUE(GetCaretPos(&P));
  EXPECT_EQ(P, Point(30, 12));
  EXPECT_EQ(Pixel(W, 5, 5), Bg);
  EXPECT_EQ(Pixel(W, 31, 19), On);
  EXPECT_EQ(Pixel(W, 32, 19), Bg);
  // A handle that is no bitmap fails and leaves the current caret alone.
  HBITMAP Gone = CreateBitmap(4, 4, 1, 1, nullptr);
  DeleteObject(Gone);
  HBRUSH Brush = CreateSolidBrush(RGB(1, 2, 3));
  for (HBITMAP Bad : {Gone, reinterpret_cast<HBITMAP>(Brush)}) {
    SetLastError(0);
    EXPECT_FALSE(CreateCaret(W, Bad, 5, 5));
    EXPECT_EQ(GetLastError(), ERROR_INVALID_HANDLE);
    EXPECT_EQ(Pixel(W, 31, 19), On);
  }
  DeleteObject(Brush);
  EXPECT_FALSE(CreateCaret(nullptr, nullptr, 2, 2));
  // Destroying the window takes its caret away.
  DestroyWindow(W);
  EXPECT_FALSE(GetCaretPos(&P));
  EXPECT_FALSE(HideCaret(nullptr));
}

TEST_F(WinServicesTest, MessageBoxAnswersTheDefaultButtonOrTheHandler)
{
  struct TCase {
    UINT Type;
    int Answer;
  };
  for (TCase C : {TCase{MB_OK, IDOK}, TCase{MB_YESNO, IDYES}, TCase{MB_YESNO | MB_DEFBUTTON2, IDNO},
                  TCase{MB_YESNOCANCEL | MB_DEFBUTTON3, IDCANCEL}, TCase{MB_OKCANCEL | MB_ICONERROR, IDOK}})
    EXPECT_EQ(MessageBoxA(nullptr, "text", "caption", C.Type), C.Answer) << C.Type;
  String Seen;
  SetMessageBoxHandler([&](const String& T, const String& Cap, UINT) {
    Seen = Cap + ":" + T;
    return IDRETRY;
  });
  EXPECT_EQ(MessageBoxA(nullptr, "Disc not ready", "Quelvo", MB_RETRYCANCEL), IDRETRY);
  EXPECT_EQ(Seen, "Quelvo:Disc not ready");
  SetMessageBoxHandler(nullptr);
}

TEST_F(WinServicesTest, ClassicSystemMetrics)
{
  struct TCase {
    int Index, Value;
  };
  for (TCase C : {TCase{SM_CXSMICON, 16}, TCase{SM_CXVSCROLL, 16}, TCase{SM_CXEDGE, 2}, TCase{SM_CXBORDER, 1},
                  TCase{SM_CXDLGFRAME, 3}, TCase{SM_CXFRAME, 4}, TCase{SM_CYCAPTION, 19}, TCase{SM_CXSIZE, 18},
                  TCase{SM_CYMENU, 19}, TCase{SM_CXDOUBLECLK, 4}, TCase{SM_SWAPBUTTON, 0}})
    EXPECT_EQ(GetSystemMetrics(C.Index), C.Value) << C.Index;
  EXPECT_EQ(GetDoubleClickTime(), 500u);
  NONCLIENTMETRICSA N;
  ASSERT_TRUE(SystemParametersInfoA(SPI_GETNONCLIENTMETRICS, sizeof N, &N, 0));
  EXPECT_EQ(N.iScrollWidth, 16);
  EXPECT_EQ(N.lfCaptionFont.lfWeight, FW_BOLD);
  N.cbSize = 12;
  EXPECT_FALSE(SystemParametersInfoA(SPI_GETNONCLIENTMETRICS, 12, &N, 0));
  SystemParametersInfoA(SPI_SETFOREGROUNDLOCKTIMEOUT, 0, nullptr, 0);
  DWORD T = 1;
  SystemParametersInfoA(SPI_GETFOREGROUNDLOCKTIMEOUT, 0, &T, 0);
  EXPECT_EQ(T, 0u);
}

}  // namespace
