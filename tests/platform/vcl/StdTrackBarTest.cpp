// The track bar ("msctls_trackbar32", TTrackBar) and the scroll bar control ("SCROLLBAR",
// TScrollBar): their messages, what they report to the parent, keys and mouse.
#include <gtest/gtest.h>

#include "platform/vcl/ScrollBarCtrl.h"
#include "platform/vcl/TrackBarCtrl.h"
#include "tests/platform/vcl/VclTestSupport.h"

namespace {

// A form that logs the WM_HSCROLL / WM_VSCROLL its children send, as "code:pos" ("vcode:pos"
// for WM_VSCROLL).
class TScrollLogForm : public TForm {
public:
  using TForm::TForm;
  std::vector<String> Scrolls;

protected:
  void WndProc(TMessage& M) override {
    if ((M.Msg == WM_HSCROLL || M.Msg == WM_VSCROLL) && M.LParam)
      Scrolls.push_back(String(M.Msg == WM_VSCROLL ? "v" : "") + std::to_string(LOWORD(M.WParam)) + ":" + std::to_string(static_cast<short>(HIWORD(M.WParam))));
    TForm::WndProc(M);
  }
};

class StdTrackBar : public TVclWindowTest {
protected:
  TScrollLogForm* Form = nullptr;

  TScrollLogForm* MakeForm() {
    Form = new TScrollLogForm(nullptr);
    Owned.push_back(Form);
    Form->SetBorderStyle(bsNone);
    Form->SetBounds(100, 100, 300, 200);
    return Form;
  }
  static LRESULT Send(TWinControl* C, UINT Msg, WPARAM W = 0, LPARAM L = 0) {
    return SendMessageA(C->GetHandle(), Msg, W, L);
  }
  static RECT RectOf(TWinControl* C, UINT Msg) {
    RECT R{};
    Send(C, Msg, 0, reinterpret_cast<LPARAM>(&R));
    return R;
  }
};

TEST_F(StdTrackBar, MessagesKeepRangeAndPosition) {
  MakeForm();
  TTrackBar* T = Add<TTrackBar>(Form, "T", 10, 10, 200, 40);
  Form->Show();
  Pump();
  struct Case { UINT Msg; WPARAM W; LPARAM L; UINT Query; LRESULT Expected; } Cases[] = {
      {TBM_SETRANGE, TRUE, MAKELONG(-5, 50), TBM_GETRANGEMIN, -5},
      {TBM_SETPOS, TRUE, 80, TBM_GETPOS, 50},       // clamped to the maximum
      {TBM_SETRANGEMAX, TRUE, 30, TBM_GETPOS, 30},  // the position follows a smaller range
      {TBM_SETPOS, TRUE, -100, TBM_GETPOS, -5},
      {TBM_SETSELSTART, TRUE, 3, TBM_GETSELSTART, 3},
      {TBM_SETSELEND, TRUE, 9, TBM_GETSELEND, 9},
      {TBM_SETLINESIZE, 0, 4, TBM_GETLINESIZE, 4},
      {TBM_SETPAGESIZE, 0, 7, TBM_GETPAGESIZE, 7},
      {TBM_SETTHUMBLENGTH, 16, 0, TBM_GETTHUMBLENGTH, 16},
  };
  for (const Case& C : Cases) {
    Send(T, C.Msg, C.W, C.L);
    EXPECT_EQ(Send(T, C.Query), C.Expected) << std::hex << C.Msg;
  }
  EXPECT_EQ(Send(T, TBM_SETPAGESIZE, 0, 9), 7) << "the old page size comes back";
  EXPECT_EQ(Send(T, TBM_SETTIPSIDE, TBTS_BOTTOM), static_cast<LRESULT>(TBTS_TOP));
  EXPECT_TRUE(Form->Scrolls.empty()) << "messages of the program are not reported";

  // Thumb and channel: the thumb sits on the channel at the position's share of it.
  RECT Ch = RectOf(T, TBM_GETCHANNELRECT);
  Send(T, TBM_SETPOS, TRUE, -5);
  RECT Lo = RectOf(T, TBM_GETTHUMBRECT);
  Send(T, TBM_SETPOS, TRUE, 30);
  RECT Hi = RectOf(T, TBM_GETTHUMBRECT);
  EXPECT_EQ((Lo.left + Lo.right) / 2, Ch.left);
  EXPECT_EQ((Hi.left + Hi.right) / 2, Ch.right - 1);
  EXPECT_EQ(Hi.bottom - Hi.top, 16);

  // Ticks: the ends, the automatic ones and manual ones.
  T->SetRange(0, 20);
  T->SetFrequency(5);
  EXPECT_EQ(Send(T, TBM_GETNUMTICS), 5);
  Send(T, TBM_SETTIC, 0, 7);
  EXPECT_EQ(Send(T, TBM_GETNUMTICS), 6);
  EXPECT_EQ(Send(T, TBM_GETTIC, 1), 7);
  EXPECT_FALSE(Send(T, TBM_SETTIC, 0, 20)) << "no manual tick on an end";
}

TEST_F(StdTrackBar, KeysAndMouseReportTheirCodes) {
  MakeForm();
  TTrackBar* T = Add<TTrackBar>(Form, "T", 10, 10, 200, 40);
  int Changes = 0;
  T->OnChange = [&](TObject*) { ++Changes; };
  T->SetRange(0, 100);
  T->SetPageSize(10);
  T->SetLineSize(2);
  T->SetPosition(50);
  Form->Show();
  Pump();
  Changes = 0;
  struct Key { WPARAM Vk; int Pos; const char* Report; } Keys[] = {
      {VK_RIGHT, 52, "1:0"}, {VK_UP, 50, "0:0"}, {VK_NEXT, 60, "3:0"}, {VK_PRIOR, 50, "2:0"},
      {VK_END, 100, "7:0"},  {VK_HOME, 0, "6:0"}, {VK_LEFT, 0, "0:0"},
  };
  for (const Key& K : Keys) {
    Form->Scrolls.clear();
    Send(T, WM_KEYDOWN, K.Vk, 0);
    Send(T, WM_KEYUP, K.Vk, 0);
    EXPECT_EQ(T->GetPosition(), K.Pos) << K.Vk;
    EXPECT_EQ(Form->Scrolls, (std::vector<String>{K.Report, "8:0"})) << K.Vk;
  }
  EXPECT_EQ(Changes, 14) << "OnChange for every notification, TB_ENDTRACK included";

  // Dragging the thumb: TB_THUMBTRACK with positions, then TB_THUMBPOSITION and TB_ENDTRACK.
  T->SetPosition(50);
  RECT Th = RectOf(T, TBM_GETTHUMBRECT);
  RECT Ch = RectOf(T, TBM_GETCHANNELRECT);
  int X = (Th.left + Th.right) / 2, Y = (Th.top + Th.bottom) / 2;
  Form->Scrolls.clear();
  Send(T, WM_LBUTTONDOWN, MK_LBUTTON, MAKELONG(X, Y));
  Send(T, WM_MOUSEMOVE, MK_LBUTTON, MAKELONG(Ch.right + 30, Y));
  Send(T, WM_LBUTTONUP, 0, MAKELONG(Ch.right + 30, Y));
  EXPECT_EQ(Form->Scrolls, (std::vector<String>{"5:100", "4:100", "8:0"}));
  EXPECT_EQ(T->GetPosition(), 100);
  EXPECT_EQ(GetCapture(), nullptr);

  // A press on the channel before the thumb pages towards the pointer, repeating on the timer
  // but never past the pointer.
  Form->Scrolls.clear();
  int Target = Ch.left + (Ch.right - Ch.left) * 3 / 4;
  Send(T, WM_LBUTTONDOWN, MK_LBUTTON, MAKELONG(Target, Y));
  EXPECT_EQ(T->GetPosition(), 90);
  for (int I = 0; I < 5; ++I) {
    Clock->Advance(500);
    Pump();
  }
  Send(T, WM_LBUTTONUP, 0, MAKELONG(Target, Y));
  EXPECT_GE(T->GetPosition(), 74);
  EXPECT_LE(T->GetPosition(), 76);
  ASSERT_GE(Form->Scrolls.size(), 3u);
  EXPECT_EQ(Form->Scrolls.front(), "2:0");
  EXPECT_EQ(Form->Scrolls.back(), "8:0");
}

TEST_F(StdTrackBar, VerticalBarsReportWithVScrollAndShowATipWhileDragging) {
  MakeForm();
  TTrackBar* T = Add<TTrackBar>(Form, "T", 10, 10, 40, 150);
  T->SetOrientation(trVertical);
  T->SetShowToolTips(true);
  T->SetRange(0, 10);
  Form->Show();
  Pump();
  EXPECT_EQ(T->GetWidth(), 150) << "turning swaps width and height";
  T->SetBounds(10, 10, 40, 150);
  HWND Tip = reinterpret_cast<HWND>(Send(T, TBM_GETTOOLTIPS));
  ASSERT_NE(Tip, nullptr);
  EXPECT_FALSE(IsWindowVisible(Tip));
  RECT Th = RectOf(T, TBM_GETTHUMBRECT);
  int X = (Th.left + Th.right) / 2, Y = (Th.top + Th.bottom) / 2;
  Send(T, WM_LBUTTONDOWN, MK_LBUTTON, MAKELONG(X, Y));
  Send(T, WM_MOUSEMOVE, MK_LBUTTON, MAKELONG(X, 200));
  EXPECT_TRUE(IsWindowVisible(Tip));
  EXPECT_EQ(GetFocus(), T->GetHandle()) << "the tip takes no focus";
  char Text[16] = {};
  GetWindowTextA(Tip, Text, sizeof Text);
  EXPECT_STREQ(Text, "10");
  // The bar is asked for the tip's text (TTN_NEEDTEXTW) and may answer with its own.
  static char16_t Own[] = u"ten \u00E9";
  T->WindowProc = [T](TMessage& M) {
    if (M.Msg == WM_NOTIFY && reinterpret_cast<NMHDR*>(M.LParam)->code == TTN_NEEDTEXTW) {
      reinterpret_cast<NMTTDISPINFOW*>(M.LParam)->lpszText = Own;
      M.Result = 1;
      return;
    }
    T->WndProc(M);
  };
  Send(T, WM_MOUSEMOVE, MK_LBUTTON, MAKELONG(X, Y));
  GetWindowTextA(Tip, Text, sizeof Text);
  EXPECT_STREQ(Text, "ten \xC3\xA9");
  Send(T, WM_MOUSEMOVE, MK_LBUTTON, MAKELONG(X, 200));
  RECT TipRect{}, Bar{};
  GetWindowRect(Tip, &TipRect);
  GetWindowRect(T->GetHandle(), &Bar);
  EXPECT_LE(TipRect.right, Bar.left) << "on the left of a vertical bar";
  Send(T, WM_LBUTTONUP, 0, MAKELONG(X, 200));
  EXPECT_FALSE(IsWindowVisible(Tip));
  EXPECT_EQ(Form->Scrolls.back(), "v8:0");
  EXPECT_EQ(T->GetPosition(), 10);
  // The position survives a new window.
  T->SetTickStyle(tsNone);
  EXPECT_EQ(T->GetPosition(), 10);
  EXPECT_EQ(Send(T, TBM_GETNUMTICS), 0);
}

TEST_F(StdTrackBar, ScrollBarMovesByItsSteps) {
  MakeForm();
  TScrollBar* S = Add<TScrollBar>(Form, "S", 10, 10, 200, 17);
  std::vector<String> Log;
  S->OnScroll = [&](TObject*, TScrollCode Code, int& Pos) { Log.push_back(std::to_string(Code) + "@" + std::to_string(Pos)); };
  S->SetParams(10, 0, 50);
  S->SetSmallChange(2);
  S->SetLargeChange(10);
  S->SetPageSize(5);
  Form->Show();
  Pump();
  SCROLLINFO SI;
  SI.fMask = SIF_ALL;
  Send(S, SBM_GETSCROLLINFO, 0, reinterpret_cast<LPARAM>(&SI));
  EXPECT_EQ((std::vector<int>{SI.nMin, SI.nMax, static_cast<int>(SI.nPage), SI.nPos}), (std::vector<int>{0, 50, 5, 10}));

  // Arrows (a line), the track beside the thumb (a page), keys.
  Send(S, WM_LBUTTONDOWN, MK_LBUTTON, MAKELONG(195, 8));
  Send(S, WM_LBUTTONUP, 0, MAKELONG(195, 8));
  EXPECT_EQ(S->GetPosition(), 12);
  Send(S, WM_LBUTTONDOWN, MK_LBUTTON, MAKELONG(5, 8));
  Clock->Advance(450);  // held: the arrow repeats
  Pump();
  Send(S, WM_LBUTTONUP, 0, MAKELONG(5, 8));
  EXPECT_EQ(S->GetPosition(), 8);
  Send(S, WM_LBUTTONDOWN, MK_LBUTTON, MAKELONG(170, 8));
  Send(S, WM_LBUTTONUP, 0, MAKELONG(170, 8));
  EXPECT_EQ(S->GetPosition(), 18);
  Send(S, WM_KEYDOWN, VK_END, 0);
  EXPECT_EQ(S->GetPosition(), 46) << "the last position shows a whole page";
  EXPECT_EQ(Send(S, SBM_GETPOS), 46);
  EXPECT_EQ(Log.front(), "1@12");
  EXPECT_EQ(Log.back(), "8@46") << "SB_ENDSCROLL ends each action";

  // Dragging the thumb to the start.
  RECT R;
  GetClientRect(S->GetHandle(), &R);
  Log.clear();
  int ThumbX = 0;
  for (int X = R.right - 18; X > 17; --X) {
    // The thumb is where a press neither pages nor steps: find it from the end.
    SendMessageA(S->GetHandle(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELONG(X, 8));
    bool Moved = S->GetPosition() != 46;
    SendMessageA(S->GetHandle(), WM_MOUSEMOVE, MK_LBUTTON, MAKELONG(-50, 8));
    SendMessageA(S->GetHandle(), WM_LBUTTONUP, 0, MAKELONG(-50, 8));
    if (!Moved && S->GetPosition() == 0) {
      ThumbX = X;
      break;
    }
    S->SetPosition(46);
  }
  EXPECT_GT(ThumbX, 0);
  EXPECT_EQ(S->GetPosition(), 0);
  ASSERT_GE(Log.size(), 3u);
  EXPECT_EQ(Log[Log.size() - 3].substr(0, 2), "5@") << "SB_THUMBTRACK while moving";
  EXPECT_EQ(Log[Log.size() - 2], "4@0");

  EXPECT_THROW(S->SetParams(0, 10, 5), EInvalidOperation);
  EXPECT_THROW(S->SetPageSize(100), EInvalidOperation);
  EXPECT_EQ(S->GetMax(), 50) << "a refused change keeps the old values";
  S->SetKind(sbVertical);
  EXPECT_EQ(S->GetHeight(), 200);
  EXPECT_EQ(Send(S, SBM_GETPOS), 0);
}

// A scroll-bar control describes its own geometry and states through GetScrollBarInfo.
TEST_F(StdTrackBar, ScrollBarTrackIsTheClassicCheckerboard) {
  // Whatever the control's own colour, its track shows the face and highlight colours in turn.
  MakeForm();
  TScrollBar* S = Add<TScrollBar>(Form, "S", 10, 10, 200, 17);
  S->SetParams(0, 0, 100);
  Form->Show();
  Pump();
  RECT F{}, R{};
  GetWindowRect(Form->GetHandle(), &F);
  GetWindowRect(S->GetHandle(), &R);
  const int X = R.left - F.left + 150, Y = R.top - F.top + 8;  // right of the thumb, left of the arrow
  const COLORREF Face = ColorToRGB(clBtnFace), Light = ColorToRGB(clBtnHighlight);
  const COLORREF A = Pixel(Form, X, Y), B = Pixel(Form, X + 1, Y);
  EXPECT_TRUE((A == Face && B == Light) || (A == Light && B == Face)) << std::hex << A << " " << B;
  EXPECT_EQ(Pixel(Form, X, Y + 1), B);
}

TEST_F(StdTrackBar, ScrollBarControlAnswersScrollBarInfo) {
  MakeForm();
  TScrollBar* S = Add<TScrollBar>(Form, "S", 10, 10, 200, 17);
  S->SetParams(0, 0, 99);
  S->SetPageSize(10);
  Form->Show();
  Pump();
  SCROLLBARINFO Info;
  ASSERT_TRUE(GetScrollBarInfo(S->GetHandle(), OBJID_CLIENT, &Info));
  RECT W;
  GetWindowRect(S->GetHandle(), &W);
  EXPECT_TRUE(EqualRect(&Info.rcScrollBar, &W));
  EXPECT_EQ(Info.dxyLineButton, 17);
  EXPECT_EQ(Info.xyThumbTop, 17) << "position 0: the thumb starts after the first arrow";
  EXPECT_EQ(Info.xyThumbBottom - Info.xyThumbTop, (200 - 2 * 17) * 10 / 100);
  EXPECT_EQ(Info.rgstate[0], 0u);

  S->SetPosition(90);  // the last position shows a whole page: the thumb ends at the last arrow
  ASSERT_TRUE(GetScrollBarInfo(S->GetHandle(), OBJID_CLIENT, &Info));
  EXPECT_EQ(Info.xyThumbBottom, 200 - 17);

  SendMessageA(S->GetHandle(), SBM_ENABLE_ARROWS, ESB_DISABLE_LTUP, 0);
  ASSERT_TRUE(GetScrollBarInfo(S->GetHandle(), OBJID_CLIENT, &Info));
  EXPECT_EQ(Info.rgstate[1], STATE_SYSTEM_UNAVAILABLE);
  EXPECT_EQ(Info.rgstate[5], 0u);
  S->SetEnabled(false);
  S->SetVisible(false);
  ASSERT_TRUE(GetScrollBarInfo(S->GetHandle(), OBJID_CLIENT, &Info));
  EXPECT_EQ(Info.rgstate[0], STATE_SYSTEM_INVISIBLE | STATE_SYSTEM_UNAVAILABLE);
  EXPECT_EQ(Info.rgstate[3], STATE_SYSTEM_UNAVAILABLE);

  Info.cbSize = 4;
  EXPECT_FALSE(GetScrollBarInfo(S->GetHandle(), OBJID_CLIENT, &Info));
}

// Settings made before the window exists reach it, and they and the position the user chose
// survive a new window.
TEST_F(StdTrackBar, SettingsAndPositionSurviveANewWindow) {
  MakeForm();
  TTrackBar* T = Add<TTrackBar>(Form, "T", 10, 10, 200, 45);
  T->SetRange(0, 40);
  T->SetSelStart(5);
  T->SetSelEnd(25);
  T->SetFrequency(10);
  T->SetThumbLength(14);
  T->SetLineSize(3);
  T->SetPageSize(8);
  Form->Show();
  Pump();
  auto Check = [&](const char* When) {
    struct Case { UINT Query; LRESULT Expected; } Cases[] = {
        {TBM_GETSELSTART, 5}, {TBM_GETSELEND, 25}, {TBM_GETTHUMBLENGTH, 14}, {TBM_GETLINESIZE, 3},
        {TBM_GETPAGESIZE, 8}, {TBM_GETRANGEMAX, 40}, {TBM_GETNUMTICS, 5},
    };
    for (const Case& C : Cases) EXPECT_EQ(Send(T, C.Query), C.Expected) << When << " " << std::hex << C.Query;
  };
  Check("first window");
  EXPECT_NE(GetWindowLongA(T->GetHandle(), GWL_STYLE) & TBS_ENABLESELRANGE, 0);
  Send(T, WM_KEYDOWN, VK_END, 0);
  Send(T, WM_KEYUP, VK_END, 0);
  HWND Old = T->GetHandle();
  T->SetTickMarks(tmBoth);
  ASSERT_NE(T->GetHandle(), Old);
  EXPECT_NE(GetWindowLongA(T->GetHandle(), GWL_STYLE) & TBS_BOTH, 0);
  Check("new window");
  EXPECT_EQ(T->GetPosition(), 40) << "the position the keys chose";
  EXPECT_GE(GetComCtlVersion(), 0x00040046) << "the bar has the tip side and tool tips of 4.70";
}

}  // namespace
