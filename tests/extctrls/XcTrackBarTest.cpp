// TXcTrackBar on a real "msctls_trackbar32" window: OnChange from the program and from the
// user (keys, channel clicks, thumb drags) without the end-of-track notification, OnChanged on
// every mouse release, the hidden selection range, the position tip and its text.
#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "ExtctrlsTestSupport.h"
#include "extctrls/XcTrackBar.h"
#include "platform/vcl/Bitmap.h"

namespace {

// A track bar on the host form that logs its events and the scroll notifications reflected to
// it ("scroll N" for the TB_ code N) in the order they come.
struct TBarFixture {
  std::vector<std::string> Log;  // outlives the bar, whose last messages may still log
  std::unique_ptr<TXcTrackBar> Bar;

  explicit TBarFixture(TXcTrackBar* Made = nullptr) : Bar(Made ? Made : new TXcTrackBar(nullptr))
  {
    Bar->SetParent(HostForm());
    Bar->SetBounds(10, 10, 200, 45);
    Bar->SetRange(0, 10);
    Bar->OnChange = [this](TObject*) { Log.push_back("change " + std::to_string(Bar->GetPosition())); };
    Bar->OnChanged = [this](TObject*) { Log.push_back("changed"); };
    Bar->OnMouseUp = [this](TObject*, TMouseButton Button, TShiftState, int, int) {
      Log.push_back(Button == mbLeft ? "up left" : Button == mbRight ? "up right" : "up middle");
    };
    // Through TControl: the window's last messages come while the bar is being destroyed.
    TControl* B = Bar.get();
    Bar->WindowProc = [this, B](TMessage& M) {
      if (M.Msg == CN_HSCROLL || M.Msg == CN_VSCROLL) Log.push_back("scroll " + std::to_string(LOWORD(M.WParam)));
      B->WndProc(M);
    };
  }

  HWND Wnd() { return Bar->GetHandle(); }
  LRESULT Send(UINT Msg, WPARAM W = 0, LPARAM L = 0) { return SendMessageA(Wnd(), Msg, W, L); }
  RECT Rect(UINT Msg)
  {
    RECT R{};
    Send(Msg, 0, reinterpret_cast<LPARAM>(&R));
    return R;
  }
  // The pixel along the channel where the thumb's centre stands at Pos.
  int PixelOf(int Pos)
  {
    RECT Ch = Rect(TBM_GETCHANNELRECT);
    const int Len = Ch.right - Ch.left - 1, Range = Bar->GetMax() - Bar->GetMin();
    return Ch.left + ((Pos - Bar->GetMin()) * Len + Range / 2) / Range;
  }
  int MidY()
  {
    RECT Th = Rect(TBM_GETTHUMBRECT);
    return (Th.top + Th.bottom) / 2;
  }
  DWORD Style() { return static_cast<DWORD>(GetWindowLongA(Wnd(), GWL_STYLE)); }
  WPARAM TipSide()
  {
    // TBM_SETTIPSIDE answers the side it replaces; the side is put back.
    auto Side = static_cast<WPARAM>(Send(TBM_SETTIPSIDE, TBTS_TOP));
    Send(TBM_SETTIPSIDE, Side);
    return Side;
  }
};

// A track bar that sees an older common-controls library.
class TOldLibraryTrackBar : public TXcTrackBar {
public:
  TOldLibraryTrackBar(int AVersion) : TXcTrackBar(nullptr), Version(AVersion) {}
  int Version;

protected:
  int CommonControlsVersion() const override { return Version; }
};

using TStrings = std::vector<std::string>;

TEST(XcTrackBar, StartsWithItsDefaults)
{
  TXcTrackBar Bar(nullptr);
  EXPECT_TRUE(Bar.GetShowRange());
  EXPECT_FALSE(Bar.GetToolTips());
  EXPECT_EQ(Bar.GetToolTipSide(), tsLeft);
  EXPECT_EQ(Bar.GetHintColor(), clDefault);
  EXPECT_FALSE(Bar.OnChanged);
  EXPECT_FALSE(Bar.OnToolTip);
}

// What the program's sliders rely on: the position is kept inside the range and OnChange comes
// only with a real change, with the window and before it exists.
TEST(XcTrackBar, ProgramSetPositionClampsAndRaisesOnChangeOnlyOnAChange)
{
  struct TCase {
    const char* Name;
    int Start;
    std::function<void(TXcTrackBar&)> Act;
    int Position;
    int Max;
    int Changes;
  };
  const TCase Cases[] = {
      {"inside the range", 2, [](TXcTrackBar& B) { B.SetPosition(7); }, 7, 10, 1},
      {"the same position", 4, [](TXcTrackBar& B) { B.SetPosition(4); }, 4, 10, 0},
      {"above the maximum", 2, [](TXcTrackBar& B) { B.SetPosition(50); }, 10, 10, 1},
      {"below the minimum", 2, [](TXcTrackBar& B) { B.SetPosition(-3); }, 0, 10, 1},
      {"clamped to where it stands", 10, [](TXcTrackBar& B) { B.SetPosition(11); }, 10, 10, 0},
      {"max below the position", 8, [](TXcTrackBar& B) { B.SetMax(5); }, 5, 5, 1},
      {"max down to the position", 5, [](TXcTrackBar& B) { B.SetMax(5); }, 5, 5, 0},
      {"max above the position", 8, [](TXcTrackBar& B) { B.SetMax(20); }, 8, 20, 0},
      {"min above the position", 2, [](TXcTrackBar& B) { B.SetMin(4); }, 4, 10, 1},
      {"set twice", 0, [](TXcTrackBar& B) { B.SetPosition(3); B.SetPosition(3); }, 3, 10, 1},
  };
  for (bool WithWindow : {false, true}) {
    for (const TCase& C : Cases) {
      SCOPED_TRACE(std::string(C.Name) + (WithWindow ? ", with window" : ", no window"));
      TBarFixture F;
      F.Bar->SetPosition(C.Start);
      if (WithWindow) F.Wnd();
      F.Log.clear();
      C.Act(*F.Bar);
      EXPECT_EQ(F.Bar->GetPosition(), C.Position);
      EXPECT_EQ(F.Bar->GetMax(), C.Max);
      EXPECT_EQ(static_cast<int>(F.Log.size()), C.Changes);
      if (C.Changes) {
        EXPECT_EQ(F.Log.back(), "change " + std::to_string(C.Position));
      }
      if (WithWindow) {
        EXPECT_EQ(F.Send(TBM_GETPOS), C.Position) << "the window shows the same position";
      }
      F.Wnd();
      EXPECT_EQ(F.Send(TBM_GETPOS), C.Position) << "a window made later starts there";
    }
  }
}

// Each scroll code the bar reports to its parent: 0..7 raise OnChange once, TB_ENDTRACK none.
TEST(XcTrackBar, EveryScrollCodeButEndTrackRaisesOnChange)
{
  for (bool Vertical : {false, true}) {
    TBarFixture F;
    if (Vertical) F.Bar->SetOrientation(trVertical);
    F.Bar->SetPosition(4);
    for (WORD Code = TB_LINEUP; Code <= TB_ENDTRACK; ++Code) {
      SCOPED_TRACE(std::to_string(Code) + (Vertical ? " vertical" : " horizontal"));
      F.Log.clear();
      SendMessageA(HostForm()->GetHandle(), Vertical ? WM_VSCROLL : WM_HSCROLL, MAKELONG(Code, 0),
                   reinterpret_cast<LPARAM>(F.Wnd()));
      const std::string Scroll = "scroll " + std::to_string(Code);
      EXPECT_EQ(F.Log, (Code == TB_ENDTRACK ? TStrings{Scroll} : TStrings{Scroll, "change 4"}));
    }
  }
}

TEST(XcTrackBar, AKeyRaisesOneOnChangeAndNoneForTheEndOfTrackThatFollows)
{
  struct TCase {
    const char* Name;
    WPARAM Key;
    int Position;
    TStrings Log;
  };
  const TCase Cases[] = {
      {"arrow right", VK_RIGHT, 6, {"scroll 1", "change 6", "scroll 8"}},
      {"arrow up", VK_UP, 4, {"scroll 0", "change 4", "scroll 8"}},
      {"page down", VK_NEXT, 7, {"scroll 3", "change 7", "scroll 8"}},
      {"home", VK_HOME, 0, {"scroll 6", "change 0", "scroll 8"}},
      {"end", VK_END, 10, {"scroll 7", "change 10", "scroll 8"}},
  };
  for (const TCase& C : Cases) {
    SCOPED_TRACE(C.Name);
    TBarFixture F;
    F.Bar->SetPageSize(2);
    F.Bar->SetPosition(5);
    F.Wnd();
    F.Log.clear();
    F.Send(WM_KEYDOWN, C.Key, 0);
    F.Send(WM_KEYUP, C.Key, 0);
    EXPECT_EQ(F.Log, C.Log);
    EXPECT_EQ(F.Bar->GetPosition(), C.Position);
  }
}

// The stock bar raises OnChange for the end of track too; the extended bar is the one that
// drops it.
TEST(XcTrackBar, TheStockBarStillReportsTheEndOfTrack)
{
  TTrackBar Stock(nullptr);
  Stock.SetParent(HostForm());
  Stock.SetRange(0, 10);
  int Changes = 0;
  Stock.OnChange = [&](TObject*) { ++Changes; };
  SendMessageA(Stock.GetHandle(), WM_KEYDOWN, VK_RIGHT, 0);
  SendMessageA(Stock.GetHandle(), WM_KEYUP, VK_RIGHT, 0);
  EXPECT_EQ(Changes, 2);
  EXPECT_EQ(Stock.GetPosition(), 1);
}

TEST(XcTrackBar, DraggingTheThumbReportsEachMoveThenTheReleaseThenOnChanged)
{
  TBarFixture F;
  F.Bar->SetPosition(2);
  F.Wnd();
  F.Log.clear();
  const int Y = F.MidY();
  F.Send(WM_LBUTTONDOWN, MK_LBUTTON, MAKELONG(F.PixelOf(2), Y));
  for (int Pos : {3, 4, 5}) F.Send(WM_MOUSEMOVE, MK_LBUTTON, MAKELONG(F.PixelOf(Pos), Y));
  F.Send(WM_LBUTTONUP, 0, MAKELONG(F.PixelOf(5), Y));
  EXPECT_EQ(F.Log, (TStrings{"scroll 5", "change 3", "scroll 5", "change 4", "scroll 5", "change 5",  // the moves
                             "scroll 4", "change 5",                                                // the release
                             "scroll 8", "up left", "changed"}));
  EXPECT_EQ(F.Bar->GetPosition(), 5);
}

// OnChanged follows every release, whatever the button, also when nothing moved.
TEST(XcTrackBar, EveryMouseReleaseRaisesOnChanged)
{
  struct TCase {
    const char* Name;
    UINT Down, Up;
    int PressAt;  // position under the pointer
    int Position;
    TStrings Log;
  };
  const TCase Cases[] = {
      {"right click on the thumb", WM_RBUTTONDOWN, WM_RBUTTONUP, 5, 5, {"up right", "changed"}},
      {"right click on the channel", WM_RBUTTONDOWN, WM_RBUTTONUP, 9, 5, {"up right", "changed"}},
      {"middle click", WM_MBUTTONDOWN, WM_MBUTTONUP, 9, 5, {"up middle", "changed"}},
      {"left click on the thumb", WM_LBUTTONDOWN, WM_LBUTTONUP, 5, 5,
       {"scroll 4", "change 5", "scroll 8", "up left", "changed"}},
      {"left click on the channel pages", WM_LBUTTONDOWN, WM_LBUTTONUP, 9, 7,
       {"scroll 3", "change 7", "scroll 8", "up left", "changed"}},
  };
  for (const TCase& C : Cases) {
    SCOPED_TRACE(C.Name);
    TBarFixture F;
    F.Bar->SetPageSize(2);
    F.Bar->SetPosition(5);
    F.Wnd();
    F.Log.clear();
    const LPARAM At = MAKELONG(F.PixelOf(C.PressAt), F.MidY());
    F.Send(C.Down, 0, At);
    F.Send(C.Up, 0, At);
    EXPECT_EQ(F.Log, C.Log);
    EXPECT_EQ(F.Bar->GetPosition(), C.Position);
  }
}

// The colour in the middle of the selection as the window paints it.
TColor SelectionPixel(TBarFixture& F)
{
  TBitmap Shot;
  Shot.SetSize(F.Bar->GetWidth(), F.Bar->GetHeight());
  F.Bar->PaintTo(Shot.GetCanvas()->GetHandle(), 0, 0);
  RECT Ch = F.Rect(TBM_GETCHANNELRECT);
  return Shot.GetCanvas()->GetPixels(F.PixelOf(7), (Ch.top + Ch.bottom) / 2);
}

TEST(XcTrackBar, WithoutShowRangeNoSelectionShows)
{
  TBarFixture F;
  F.Bar->SetSelStart(5);
  F.Bar->SetSelEnd(9);
  F.Bar->SetPosition(1);
  const auto Highlight = static_cast<TColor>(GetSysColor(COLOR_HIGHLIGHT));
  EXPECT_NE(F.Style() & TBS_ENABLESELRANGE, 0u);
  EXPECT_EQ(SelectionPixel(F), Highlight);

  HWND Before = F.Wnd();
  F.Bar->SetShowRange(false);
  EXPECT_NE(F.Wnd(), Before) << "a new window";
  EXPECT_EQ(F.Style() & TBS_ENABLESELRANGE, 0u);
  EXPECT_NE(SelectionPixel(F), Highlight);
  EXPECT_EQ(F.Bar->GetSelStart(), 5) << "the range itself is kept";
  EXPECT_EQ(F.Bar->GetPosition(), 1);

  F.Bar->SetShowRange(true);
  EXPECT_EQ(SelectionPixel(F), Highlight);
}

TEST(XcTrackBar, ToolTipsAndTheirSideNeedCommonControls470)
{
  struct TSideCase {
    TXcTrackToolTipSide Side;
    WPARAM Window;
  };
  const TSideCase Sides[] = {{tsTop, TBTS_TOP}, {tsRight, TBTS_RIGHT}, {tsBottom, TBTS_BOTTOM}, {tsLeft, TBTS_LEFT}};
  struct TCase {
    const char* Name;
    int Version;
    bool Effect;
  };
  const TCase Cases[] = {
      {"this platform", 0, true},
      {"6.0", 0x00060000, true},
      {"4.70", 0x00040046, true},
      {"4.71", 0x00040047, true},
      {"4.00", 0x00040000, false},
      {"4.69", 0x00040045, false},
      {"3.99", 0x00030063, false},
  };
  for (const TCase& C : Cases) {
    SCOPED_TRACE(C.Name);
    TBarFixture F(C.Version ? new TOldLibraryTrackBar(C.Version) : nullptr);
    EXPECT_EQ(F.TipSide(), C.Effect ? TBTS_LEFT : TBTS_TOP) << "the side after the window is made";
    EXPECT_EQ(F.Style() & TBS_TOOLTIPS, 0u);
    HWND Before = F.Wnd();
    F.Bar->SetToolTips(true);
    EXPECT_NE(F.Wnd(), Before) << "a new window";
    EXPECT_EQ((F.Style() & TBS_TOOLTIPS) != 0, C.Effect);
    EXPECT_EQ(F.Send(TBM_GETTOOLTIPS) != 0, C.Effect);
    for (const TSideCase& S : Sides) {
      F.Bar->SetToolTipSide(S.Side);
      EXPECT_EQ(F.TipSide(), C.Effect ? S.Window : TBTS_TOP) << S.Side;
    }
    F.Bar->SetToolTipSide(tsBottom);
    F.Bar->SetToolTips(false);
    EXPECT_EQ(F.Style() & TBS_TOOLTIPS, 0u);
    EXPECT_EQ(F.TipSide(), C.Effect ? TBTS_BOTTOM : TBTS_TOP) << "the side reaches a new window";
  }
}

// The tip's text request as the tip sends it: the handler starts from the position and its
// text is what the tip gets; without a handler the stock answer stands.
TEST(XcTrackBar, OnToolTipAnswersTheTipsTextRequest)
{
  struct TCase {
    const char* Name;
    String Text;
    std::u16string Expected;
  };
  const TCase Cases[] = {
      {"the position as it comes", "", u"6"},
      {"own text", "6 s", u"6 s"},
      {"empty text", "<empty>", u""},
      {"non-ASCII text", "\xC3\xA9 \xF0\x9F\x8E\xAC", u"\u00E9 \U0001F3AC"},
  };
  for (const TCase& C : Cases) {
    SCOPED_TRACE(C.Name);
    TBarFixture F;
    F.Bar->SetPosition(6);
    String Seen;
    F.Bar->OnToolTip = [&](TObject* Sender, String& Text) {
      EXPECT_EQ(Sender, F.Bar.get());
      Seen = Text;
      if (C.Text == "<empty>") Text.clear();
      else if (!C.Text.empty()) Text = C.Text;
    };
    NMTTDISPINFOW Info;
    Info.hdr.code = TTN_NEEDTEXTW;
    Info.hinst = reinterpret_cast<HINSTANCE>(1);
    Info.szText[0] = u'x';
    Info.lpszText = Info.szText;
    EXPECT_EQ(F.Send(WM_NOTIFY, 0, reinterpret_cast<LPARAM>(&Info)), 1);
    EXPECT_EQ(Seen, "6");
    ASSERT_NE(Info.lpszText, nullptr);
    EXPECT_EQ(std::u16string(Info.lpszText), C.Expected);
    EXPECT_EQ(Info.lpszText, F.Bar->GetToolTipText().c_str()) << "the control keeps the text";
    EXPECT_EQ(Info.hinst, nullptr);
    EXPECT_EQ(std::u16string(Info.szText, 80), std::u16string(80, u'\0')) << "the inline buffer is cleared";
  }

  TBarFixture F;
  NMTTDISPINFOW Info;
  Info.hdr.code = TTN_NEEDTEXTW;
  Info.lpszText = Info.szText;
  EXPECT_EQ(F.Send(WM_NOTIFY, 0, reinterpret_cast<LPARAM>(&Info)), 0) << "no handler: the stock answer";
  EXPECT_EQ(Info.lpszText, Info.szText);
  F.Bar->OnToolTip = [](TObject*, String& Text) { Text = "never"; };
  Info.hdr.code = TTN_NEEDTEXTA;
  EXPECT_EQ(F.Send(WM_NOTIFY, 0, reinterpret_cast<LPARAM>(&Info)), 0) << "other requests: the stock answer";
  EXPECT_EQ(Info.lpszText, Info.szText);
}

// The tip of a dragged thumb shows the handler's text, an empty one included.
TEST(XcTrackBar, TheDraggedThumbsTipShowsTheHandlersText)
{
  struct TCase {
    const char* Name;
    bool Handler;
    const char* Text;
  };
  const TCase Cases[] = {{"no handler", false, "7"}, {"own text", true, "7 of 10"}, {"empty", true, ""}};
  for (const TCase& C : Cases) {
    SCOPED_TRACE(C.Name);
    TBarFixture F;
    F.Bar->SetToolTips(true);
    F.Bar->SetPosition(3);
    if (C.Handler) F.Bar->OnToolTip = [&](TObject*, String& Text) { Text = C.Text; };
    HWND Tip = reinterpret_cast<HWND>(F.Send(TBM_GETTOOLTIPS));
    ASSERT_NE(Tip, nullptr);
    const int Y = F.MidY();
    F.Send(WM_LBUTTONDOWN, MK_LBUTTON, MAKELONG(F.PixelOf(3), Y));
    F.Send(WM_MOUSEMOVE, MK_LBUTTON, MAKELONG(F.PixelOf(7), Y));
    EXPECT_TRUE(IsWindowVisible(Tip));
    char Text[32] = "unchanged";
    GetWindowTextA(Tip, Text, sizeof Text);
    EXPECT_STREQ(Text, C.Text);
    F.Send(WM_LBUTTONUP, 0, MAKELONG(F.PixelOf(7), Y));
    EXPECT_FALSE(IsWindowVisible(Tip));
  }
}

// A position the window took without a notification (TBM_SETPOS from elsewhere) is the one a
// smaller range clamps.
TEST(XcTrackBar, ANewRangeClampsThePositionTheWindowHolds)
{
  TBarFixture F;
  F.Bar->SetPosition(2);
  F.Send(TBM_SETPOS, TRUE, 8);
  F.Log.clear();
  F.Bar->SetMax(5);
  EXPECT_EQ(F.Bar->GetPosition(), 5);
  EXPECT_EQ(F.Log, TStrings{"change 5"});
}

}  // namespace
