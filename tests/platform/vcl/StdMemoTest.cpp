#include <gtest/gtest.h>

#include <functional>

#include "platform/rtl/Convert.h"
#include "platform/vcl/EditCtrls.h"
#include "tests/platform/vcl/VclTestSupport.h"

namespace {

class TCountingMemo : public TMemo {
public:
  using TMemo::TMemo;
  int Changes = 0;

protected:
  void Change() override {
    ++Changes;
    TMemo::Change();
  }
};

// A memo that gives the window no frame: the scroll bars it asks for never show, but the
// scroll state is kept for whoever draws bars of its own.
class TBarlessMemo : public TMemo {
public:
  using TMemo::TMemo;

protected:
  void WndProc(TMessage& M) override {
    if (M.Msg == WM_NCCALCSIZE) {
      M.Result = 0;
      return;
    }
    TMemo::WndProc(M);
  }
};

SCROLLINFO ScrollOf(HWND Wnd, int Bar) {
  SCROLLINFO Si{};
  Si.fMask = SIF_ALL;
  GetScrollInfo(Wnd, Bar, &Si);
  return Si;
}

int FirstVisible(HWND Wnd) { return static_cast<int>(SendMessageA(Wnd, EM_GETFIRSTVISIBLELINE, 0, 0)); }

class StdMemo : public TVclWindowTest {
protected:
  TForm* Form = nullptr;
  int Made = 0;
  void SetUp() override {
    TVclWindowTest::SetUp();
    Form = NewForm(50, 50, 400, 300);
    Form->Show();
  }
  template <class T = TMemo>
  T* NewMemo(int W = 200, int H = 100, bool Parented = true) {
    if (Parented) return Add<T>(Form, ("M" + IntToStr(++Made)).c_str(), 10, 10, W, H);
    auto* M = new T(nullptr);
    Owned.push_back(M);
    M->SetBounds(0, 0, W, H);
    return M;
  }
};

TEST_F(StdMemo, LinesEditTheTextWithAndWithoutAWindow) {
  struct TCase {
    const char* What;
    const char* Start;
    std::function<void(TStrings*)> Act;
    const char* Text;
  } Cases[] = {
      {"add to empty", "", [](TStrings* L) { L->Add("a"); L->Add("b"); }, "a\r\nb\r\n"},
      {"add after an open line", "x\r\ny", [](TStrings* L) { L->Add("z"); }, "x\r\ny\r\nz"},
      {"insert first", "a\r\nb\r\n", [](TStrings* L) { L->Insert(0, "z"); }, "z\r\na\r\nb\r\n"},
      {"insert middle", "a\r\nb", [](TStrings* L) { L->Insert(1, "m"); }, "a\r\nm\r\nb"},
      {"delete middle", "a\r\nb\r\nc\r\n", [](TStrings* L) { L->Delete(1); }, "a\r\nc\r\n"},
      {"delete last open line", "a\r\nb", [](TStrings* L) { L->Delete(1); }, "a\r\n"},
      {"put", "a\r\nb\r\n", [](TStrings* L) { L->Put(1, "B"); }, "a\r\nB\r\n"},
      {"set text", "old", [](TStrings* L) { L->SetText("p\nq\rr"); }, "p\r\nq\r\nr"},
      {"clear", "a\r\nb", [](TStrings* L) { L->Clear(); }, ""},
  };
  for (bool Parented : {true, false}) {
    for (const TCase& C : Cases) {
      SCOPED_TRACE(testing::Message() << C.What << (Parented ? " (window)" : " (no window)"));
      TMemo* M = NewMemo(200, 100, Parented);
      M->SetText(C.Start);
      C.Act(M->GetLines());
      EXPECT_EQ(M->GetText(), C.Text);
      EXPECT_EQ(M->HandleAllocated(), Parented);
      if (!Parented) Owned.pop_back();
      M->SetParent(nullptr);
      delete M;
    }
  }
}

TEST_F(StdMemo, LinesCountReadAndRefuseBadIndexes) {
  TMemo* M = NewMemo();
  M->SetText("one\r\ntwo\r\n");
  TStrings* L = M->GetLines();
  ASSERT_EQ(L->GetCount(), 2);
  EXPECT_EQ(L->Get(0), "one");
  EXPECT_EQ(L->Get(1), "two");
  EXPECT_EQ(L->GetText(), "one\r\ntwo\r\n");
  EXPECT_THROW(L->Get(2), EListError);
  EXPECT_THROW(L->Insert(3, "x"), EListError);
  EXPECT_THROW(L->Delete(-1), EListError);
  EXPECT_EQ(M->GetText(), "one\r\ntwo\r\n");
  M->SetText("");
  EXPECT_EQ(L->GetCount(), 0);
}

TEST_F(StdMemo, ChangeFiresOnceForTextAndLines) {
  auto* M = NewMemo<TCountingMemo>();
  M->HandleNeeded();
  struct TCase {
    const char* What;
    std::function<void()> Act;
    int Changes;
  } Cases[] = {
      {"text", [&] { M->SetText("a\r\nb"); }, 1},
      {"same text", [&] { M->SetText("a\r\nb"); }, 0},
      {"add", [&] { M->GetLines()->Add("c"); }, 1},
      {"typing", [&] { SendMessageA(M->GetHandle(), WM_CHAR, 'x', 1); }, 1},
  };
  for (const TCase& C : Cases) {
    SCOPED_TRACE(C.What);
    M->Changes = 0;
    C.Act();
    EXPECT_EQ(M->Changes, C.Changes);
  }
}

TEST_F(StdMemo, KeysMoveBetweenLinesAndReturnsFollowWantReturns) {
  TMemo* M = NewMemo();
  M->SetText("");
  HWND Wnd = M->GetHandle();
  for (char C : String("ab\rcd")) SendMessageA(Wnd, WM_CHAR, static_cast<unsigned char>(C), 1);
  EXPECT_EQ(M->GetText(), "ab\r\ncd");
  EXPECT_EQ(M->GetCaretPos(), Point(2, 1));
  SendMessageA(Wnd, WM_KEYDOWN, VK_HOME, 1);
  SendMessageA(Wnd, WM_KEYDOWN, VK_UP, 1);
  SendMessageA(Wnd, WM_CHAR, 'x', 1);
  EXPECT_EQ(M->GetText(), "xab\r\ncd");
  SendMessageA(Wnd, WM_KEYDOWN, VK_DOWN, 1);
  SendMessageA(Wnd, WM_KEYDOWN, VK_END, 1);
  EXPECT_EQ(M->GetCaretPos(), Point(2, 1));
  // Shift with Up and Down selects across lines, from the caret's column.
  M->SetCaretPos(Point(1, 0));
  SendMessageA(Wnd, EM_SETSEL, 1, 1);
  BYTE Keys[256] = {};
  Keys[VK_SHIFT] = 0x80;
  SetKeyboardState(Keys);
  SendMessageA(Wnd, WM_KEYDOWN, VK_DOWN, 1);
  Keys[VK_SHIFT] = 0;
  SetKeyboardState(Keys);
  EXPECT_EQ(M->GetSelStart(), 1);
  EXPECT_EQ(M->GetSelText(), "ab\r\nc");
  // Backspace at a line start joins the lines.
  M->SetCaretPos(Point(0, 1));
  SendMessageA(Wnd, WM_CHAR, 8, 1);
  EXPECT_EQ(M->GetText(), "xabcd");
  EXPECT_EQ(M->GetCaretPos(), Point(3, 0));

  struct TCase {
    bool WantReturns, WantTabs;
    LRESULT Code;
  } Cases[] = {
      {true, false, DLGC_WANTCHARS | DLGC_HASSETSEL | DLGC_WANTARROWS | DLGC_WANTALLKEYS},
      {false, false, DLGC_WANTCHARS | DLGC_HASSETSEL | DLGC_WANTARROWS},
      {false, true, DLGC_WANTCHARS | DLGC_HASSETSEL | DLGC_WANTARROWS | DLGC_WANTTAB},
  };
  for (const TCase& C : Cases) {
    M->SetWantReturns(C.WantReturns);
    M->SetWantTabs(C.WantTabs);
    EXPECT_EQ(M->Perform(WM_GETDLGCODE, 0, 0), C.Code);
  }
  // Without WantReturns the key press is dropped before the window sees it.
  M->SetText("");
  SendMessageA(Wnd, WM_CHAR, 13, 1);
  EXPECT_EQ(M->GetText(), "");
}

TEST_F(StdMemo, WordWrapBreaksAtSpacesWithoutLosingText) {
  const String Text = "one two three four five six seven eight nine ten";
  struct TCase {
    bool WordWrap;
    TScrollStyle Bars;
    bool Wraps;
  } Cases[] = {
      {true, ssNone, true},
      {true, ssVertical, true},
      {false, ssNone, false},
      {true, ssBoth, false},  // a horizontal bar means horizontal scrolling
  };
  for (const TCase& C : Cases) {
    SCOPED_TRACE(testing::Message() << C.WordWrap << " " << C.Bars);
    TMemo* M = NewMemo(100, 120);
    M->SetWordWrap(C.WordWrap);
    M->SetScrollBars(C.Bars);
    M->SetText(Text);
    HWND Wnd = M->GetHandle();
    int Lines = static_cast<int>(SendMessageA(Wnd, EM_GETLINECOUNT, 0, 0));
    if (!C.Wraps) {
      EXPECT_EQ(Lines, 1);
    } else {
      EXPECT_GT(Lines, 2);
      RECT Fmt{};
      SendMessageA(Wnd, EM_GETRECT, 0, reinterpret_cast<LPARAM>(&Fmt));
      String Joined;
      for (int I = 0; I < M->GetLines()->GetCount(); ++I) {
        String Line = M->GetLines()->Get(I);
        Joined += Line;
        // Words stay whole: every line but the last ends with the space it broke at.
        if (I + 1 < M->GetLines()->GetCount()) {
          EXPECT_EQ(Line.back(), ' ') << Line;
        }
        LRESULT Start = SendMessageA(Wnd, EM_LINEINDEX, static_cast<WPARAM>(I), 0);
        EXPECT_GE(static_cast<int>(LOWORD(SendMessageA(Wnd, EM_POSFROMCHAR, static_cast<WPARAM>(Start), 0))), 0);
      }
      EXPECT_EQ(Joined, Text);
    }
    M->SetParent(nullptr);
    delete M;
  }
}

TEST_F(StdMemo, ScrollStateIsKeptEvenWithoutVisibleBars) {
  auto* M = NewMemo<TBarlessMemo>(200, 100);
  M->SetScrollBars(ssVertical);
  String Text;
  for (int I = 0; I < 20; ++I) Text += "line " + IntToStr(I) + "\r\n";
  M->SetText(Text);
  HWND Wnd = M->GetHandle();
  RECT Client{};
  GetClientRect(Wnd, &Client);
  EXPECT_EQ(Client.right, 200);  // no bar took space

  int Visible = static_cast<int>(ScrollOf(Wnd, SB_VERT).nPage);
  ASSERT_GT(Visible, 1);
  ASSERT_LT(Visible, 20);
  SCROLLINFO Si = ScrollOf(Wnd, SB_VERT);
  EXPECT_EQ(Si.nMin, 0);
  EXPECT_EQ(Si.nMax, 20);  // 21 lines: the last one is empty
  EXPECT_EQ(Si.nPos, 0);

  int MaxTop = 21 - Visible;
  struct TCase {
    UINT Msg;
    WPARAM WParam;
    LPARAM LParam;
    int Top;
  } Cases[] = {
      {WM_VSCROLL, MAKEWPARAM(SB_THUMBPOSITION, 5), 0, 5},
      {WM_VSCROLL, SB_LINEDOWN, 0, 6},
      {WM_VSCROLL, SB_LINEUP, 0, 5},
      {WM_VSCROLL, SB_PAGEDOWN, 0, 5 + Visible},
      {WM_VSCROLL, SB_BOTTOM, 0, MaxTop},
      {WM_VSCROLL, MAKEWPARAM(SB_THUMBPOSITION, 99), 0, MaxTop},
      {EM_LINESCROLL, 0, -2, MaxTop - 2},
      {WM_MOUSEWHEEL, MAKEWPARAM(0, 120), 0, MaxTop - 5},
      {WM_VSCROLL, SB_TOP, 0, 0},
      {WM_VSCROLL, SB_LINEUP, 0, 0},
  };
  for (const TCase& C : Cases) {
    SCOPED_TRACE(testing::Message() << std::hex << C.Msg << " " << C.WParam);
    SendMessageA(Wnd, C.Msg, C.WParam, C.LParam);
    EXPECT_EQ(FirstVisible(Wnd), C.Top);
    EXPECT_EQ(ScrollOf(Wnd, SB_VERT).nPos, C.Top);
  }
  // The caret pulls its line into view.
  M->SetFocus();
  SendMessageA(Wnd, EM_SETSEL, 10 * 8, 10 * 8);
  SendMessageA(Wnd, EM_SCROLLCARET, 0, 0);
  int Top = FirstVisible(Wnd);
  EXPECT_LE(Top, 10);
  EXPECT_GT(Top + Visible, 10);
}

TEST_F(StdMemo, HorizontalScrollAndAlignment) {
  TMemo* M = NewMemo(100, 60);
  M->SetWordWrap(false);
  M->SetScrollBars(ssHorizontal);
  M->SetText("a rather long line that does not fit\r\nshort");
  HWND Wnd = M->GetHandle();
  SCROLLINFO Si = ScrollOf(Wnd, SB_HORZ);
  EXPECT_GT(Si.nMax, 100);
  SendMessageA(Wnd, WM_HSCROLL, MAKEWPARAM(SB_THUMBPOSITION, 30), 0);
  EXPECT_EQ(ScrollOf(Wnd, SB_HORZ).nPos, 30);
  EXPECT_EQ(static_cast<SHORT>(LOWORD(SendMessageA(Wnd, EM_POSFROMCHAR, 0, 0))), -30);

  struct TCase {
    TAlignment Align;
    int MinX, MaxX;
  } Cases[] = {{taLeftJustify, 0, 0}, {taCenter, 60, 120}, {taRightJustify, 150, 199}};
  for (const TCase& C : Cases) {
    TMemo* A = NewMemo(200, 60);
    A->SetAlignment(C.Align);
    A->SetText("ab");
    int X = static_cast<SHORT>(LOWORD(SendMessageA(A->GetHandle(), EM_POSFROMCHAR, 0, 0)));
    EXPECT_GE(X, C.MinX);
    EXPECT_LE(X, C.MaxX);
    EXPECT_TRUE(GetWindowLongA(A->GetHandle(), GWL_STYLE) & ES_MULTILINE);
  }
}

TEST_F(StdMemo, EditsLeaveTheLinesASetTextGives) {
  // Each edit lays out only what it touches; the lines must match a fresh layout of the result.
  struct TCase {
    int Start, End;
    const char* Insert;
  } Cases[] = {
      {10, 10, "\r\n"},      // split a paragraph
      {10, 12, ""},            // join it again
      {28, 40, "XY"},          // replace across a line break
      {0, 0, "first "},        // at the start
      {9999, 9999, "\r\n"},  // at the end, then more
      {9999, 9999, "tail words that wrap around the edge"},
      {5, 6, "\n"},           // a lone line feed ends a line too
      {37, 38, ""},            // drop a CR of a CR LF
      {0, 9999, "all new"},
      {0, 9999, ""},
  };
  const String Base = "alpha beta gamma delta epsilon\r\nzeta\r\n\r\neta theta iota kappa lambda mu\r\nnu";
  for (bool Wrap : {true, false}) {
    SCOPED_TRACE(Wrap ? "wrapped" : "plain");
    TMemo* Edited = NewMemo(120, 80);
    TMemo* Fresh = NewMemo(120, 80);
    for (TMemo* M : {Edited, Fresh}) {
      M->SetWordWrap(Wrap);
      M->SetScrollBars(Wrap ? ssVertical : ssBoth);
    }
    Edited->SetText(Base);
    HWND A = Edited->GetHandle(), B = Fresh->GetHandle();
    for (const TCase& C : Cases) {
      SCOPED_TRACE(testing::Message() << C.Start << "-" << C.End << " '" << C.Insert << "'");
      SendMessageA(A, EM_SETSEL, static_cast<WPARAM>(C.Start), C.End);
      SendMessageA(A, EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(C.Insert));
      Fresh->SetText(Edited->GetText());
      int Count = static_cast<int>(SendMessageA(B, EM_GETLINECOUNT, 0, 0));
      ASSERT_EQ(SendMessageA(A, EM_GETLINECOUNT, 0, 0), Count);
      for (int L = 0; L < Count; ++L) {
        LRESULT Start = SendMessageA(B, EM_LINEINDEX, static_cast<WPARAM>(L), 0);
        EXPECT_EQ(SendMessageA(A, EM_LINEINDEX, static_cast<WPARAM>(L), 0), Start) << "line " << L;
        EXPECT_EQ(SendMessageA(A, EM_LINELENGTH, static_cast<WPARAM>(Start), 0),
                  SendMessageA(B, EM_LINELENGTH, static_cast<WPARAM>(Start), 0))
            << "line " << L;
      }
      EXPECT_EQ(ScrollOf(A, SB_VERT).nMax, ScrollOf(B, SB_VERT).nMax);
      if (!Wrap) {
        EXPECT_EQ(ScrollOf(A, SB_HORZ).nMax, ScrollOf(B, SB_HORZ).nMax);
      }
    }
  }
}

// A log: lines added at the end keep the end in view.
TEST_F(StdMemo, AddedLinesKeepTheEndInView) {
  TMemo* M = NewMemo(200, 100);
  M->SetScrollBars(ssVertical);
  M->SetText("");
  HWND Wnd = M->GetHandle();
  for (int I = 0; I < 50; ++I) M->GetLines()->Add("line " + IntToStr(I));
  int Visible = static_cast<int>(ScrollOf(Wnd, SB_VERT).nPage);
  ASSERT_GT(Visible, 1);
  ASSERT_LT(Visible, 40);
  int Top = FirstVisible(Wnd);
  // The last line (49) and the empty one after it are shown.
  EXPECT_GE(Top + Visible, 51);
  EXPECT_EQ(ScrollOf(Wnd, SB_VERT).nPos, Top);
  EXPECT_EQ(M->GetLines()->GetCount(), 50);
  EXPECT_EQ(M->GetLines()->Get(49), "line 49");
}

}  // namespace
