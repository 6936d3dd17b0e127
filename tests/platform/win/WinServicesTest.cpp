// The services around windows: waiting for kernel objects and messages together, requests
// from another copy of the program, the standard scroll bars, the clipboard, the tray model,
// the caret, message boxes, system metrics.
#include <atomic>
#include <cstring>
#include <thread>

#include "platform/os/InstanceChannel.h"
#include "platform/os/Sync.h"
#include "tests/platform/win/WinTestSupport.h"

using namespace WinTest;

namespace {

class WinServicesTest : public TWinTest {};

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
  Hook() = [&](HWND H, UINT M, WPARAM, LPARAM Lp, LRESULT& R) {
    if (H != W) return false;
    if (M == WM_COPYDATA) {
      auto* C = reinterpret_cast<COPYDATASTRUCT*>(Lp);
      Received.assign(static_cast<const char*>(C->lpData), C->cbData);
      Tag = C->dwData;
      R = 17;
      return true;
    }
    if (M == WM_APP) {
      R = Lp + 1;
      return true;
    }
    return false;
  };
  std::atomic<bool> Done{false};
  LRESULT CopyResult = 0, AppResult = 0;
  std::thread Sender([&] {
    const char Payload[] = "C:\\Videos\\clip.avi";
    qv::os::SendRemoteCopyData(Found[0], nullptr, 0x51, Payload, sizeof Payload - 1, 5000, &CopyResult);
    qv::os::SendRemoteMessage(Found[0], WM_APP, 0, 41, nullptr, 0, 5000, &AppResult);
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
