// What controls built on the edit classes rely on: a masked edit that makes its window a
// multi-line one shown on one line, paints the background itself and lets the window draw the
// text over it, filters the clipboard messages, replaces the caret; and the state a new window
// takes over from the old one.
#include <gtest/gtest.h>

#include <functional>
#include <utility>
#include <vector>

#include "platform/rtl/Convert.h"
#include "platform/vcl/EditCtrls.h"
#include "platform/vcl/StdEdit.h"
#include "tests/platform/vcl/VclTestSupport.h"

namespace {

std::pair<int, int> SelOf(HWND Wnd) {
  DWORD A = 0, B = 0;
  SendMessageA(Wnd, EM_GETSEL, reinterpret_cast<WPARAM>(&A), reinterpret_cast<LPARAM>(&B));
  return {static_cast<int>(A), static_cast<int>(B)};
}

POINT PosOf(HWND Wnd, int Pos) {
  LRESULT P = SendMessageA(Wnd, EM_POSFROMCHAR, static_cast<WPARAM>(Pos), 0);
  return POINT{static_cast<SHORT>(LOWORD(P)), static_cast<SHORT>(HIWORD(P))};
}

void KeyWith(HWND Wnd, int Vk, bool Shift, bool Ctrl) {
  BYTE Keys[256] = {};
  if (Shift) Keys[VK_SHIFT] = 0x80;
  if (Ctrl) Keys[VK_CONTROL] = 0x80;
  SetKeyboardState(Keys);
  SendMessageA(Wnd, WM_KEYDOWN, static_cast<WPARAM>(Vk), 1);
  BYTE None[256] = {};
  SetKeyboardState(None);
}

// A borderless masked edit over a multi-line window (a password edit keeps a single-line
// one), with a 2-pixel left margin, a background of its own painted in the erase step with the
// text drawn over it by the window, optional filtering of the clipboard messages and an
// optional caret of its own.
class TOverlayEdit : public TCustomMaskEdit {
public:
  using TCustomMaskEdit::TCustomMaskEdit;
  int Changes = 0;
  int Erases = 0;
  bool Gate = false;             // swallow cut, copy, paste, clear and undo
  std::vector<UINT> Gated;       // what was swallowed
  bool OwnCaret = false;
  TColor Background = clRed;

protected:
  void CreateParams(TCreateParams& Params) override {
    TCustomMaskEdit::CreateParams(Params);
    Params.Style &= ~WS_BORDER;
    Params.ExStyle &= ~WS_EX_CLIENTEDGE;
    Params.Style |= GetPasswordChar() ? ES_PASSWORD : ES_MULTILINE;
  }
  void Change() override {
    ++Changes;
    TCustomMaskEdit::Change();
  }
  void WMSetFont(TMessage& Message) override {
    TCustomMaskEdit::WMSetFont(Message);
    SendMessageA(GetHandle(), EM_SETMARGINS, EC_LEFTMARGIN | EC_RIGHTMARGIN, MAKELONG(2, 0));
  }
  void WndProc(TMessage& M) override {
    switch (M.Msg) {
      case WM_CUT:
      case WM_COPY:
      case WM_PASTE:
      case WM_CLEAR:
      case WM_UNDO:
        if (Gate) {
          Gated.push_back(M.Msg);
          M.Result = 1;
          return;
        }
        break;
      case CN_CTLCOLOREDIT:
      case CN_CTLCOLORSTATIC:
        SetBkMode(reinterpret_cast<HDC>(M.WParam), TRANSPARENT);
        SetTextColor(reinterpret_cast<HDC>(M.WParam), RGB(0, 0, 0));
        M.Result = reinterpret_cast<LRESULT>(GetStockObject(NULL_BRUSH));
        return;
      case WM_ERASEBKGND: {
        // The background, then the window's text into the same DC; the paint that follows
        // only validates.
        ++Erases;
        auto DC = reinterpret_cast<HDC>(M.WParam);
        HBRUSH B = CreateSolidBrush(ColorToRGB(Background));
        RECT R = GetClientRect();
        FillRect(DC, &R, B);
        DeleteObject(B);
        SendMessageA(GetHandle(), WM_PAINT, M.WParam, 0);
        FPaintedByErase = true;
        M.Result = 1;
        return;
      }
      case WM_PAINT:
        if (FPaintedByErase && M.WParam == 0) {
          PAINTSTRUCT Ps{};
          BeginPaint(GetHandle(), &Ps);
          EndPaint(GetHandle(), &Ps);
          FPaintedByErase = false;
          M.Result = 0;
          return;
        }
        break;
      case WM_SETFOCUS:
        TCustomMaskEdit::WndProc(M);
        if (OwnCaret) {
          CreateCaret(GetHandle(), nullptr, 3, 10);
          ShowCaret(GetHandle());
        }
        return;
      case WM_KILLFOCUS:
        if (OwnCaret) DestroyCaret();
        break;
    }
    TCustomMaskEdit::WndProc(M);
  }

private:
  bool FPaintedByErase = false;
};

// An edit with the text alignment of its window style.
class TAlignedEdit : public TEdit {
public:
  TAlignedEdit(TComponent* AOwner, DWORD AAlign) : TEdit(AOwner), Align(AAlign) {}
  DWORD Align;

protected:
  void CreateParams(TCreateParams& Params) override {
    TEdit::CreateParams(Params);
    Params.Style |= Align;
  }
};

class StdEditSubclass : public TVclWindowTest {
protected:
  TForm* Form = nullptr;
  void SetUp() override {
    TVclWindowTest::SetUp();
    Form = NewForm(50, 50, 360, 240);
    Form->Show();
  }
};

TEST_F(StdEditSubclass, MultiLineWindowShownOnOneLine) {
  auto* E = Add<TOverlayEdit>(Form, "E", 10, 10, 150, 24);
  E->SetText("");
  HWND Wnd = E->GetHandle();
  DWORD Style = static_cast<DWORD>(GetWindowLongA(Wnd, GWL_STYLE));
  EXPECT_TRUE(Style & ES_MULTILINE);
  EXPECT_FALSE(Style & WS_BORDER);
  EXPECT_FALSE(GetWindowLongA(Wnd, GWL_EXSTYLE) & WS_EX_CLIENTEDGE);
  // The margins the subclass sets after the font win over the class library's.
  EXPECT_EQ(SendMessageA(Wnd, EM_GETMARGINS, 0, 0), MAKELONG(2, 0));
  RECT R{};
  SendMessageA(Wnd, EM_GETRECT, 0, reinterpret_cast<LPARAM>(&R));
  EXPECT_EQ(R.left, 2);
  // Enter and Esc are the window's (the form does not take them as dialog keys).
  EXPECT_TRUE(E->Perform(WM_GETDLGCODE, 0, 0) & DLGC_WANTALLKEYS);

  // Something to paste.
  auto* Source = Add<TEdit>(Form, "S", 10, 60, 150, 24);
  Source->SetText("P");
  Source->SelectAll();
  Source->CopyToClipboard();

  // OnChange once per change, whether the window reports it or the control does.
  struct TCase {
    const char* What;
    std::function<void()> Act;
    int Changes;
    const char* Text;
  } Cases[] = {
      {"typing", [&] { for (char C : String("ab")) SendMessageA(Wnd, WM_CHAR, static_cast<unsigned char>(C), 1); }, 2, "ab"},
      {"set text", [&] { E->SetText("xyz"); }, 1, "xyz"},
      {"same text", [&] { E->SetText("xyz"); }, 0, "xyz"},
      {"paste", [&] { E->SelectAll(); E->PasteFromClipboard(); }, 1, "P"},
      {"undo", [&] { E->Undo(); }, 1, "xyz"},
      {"sel text", [&] { E->SetSelStart(0); E->SetSelLength(1); E->SetSelText("Q"); }, 1, "Qyz"},
      {"clear", [&] { E->Clear(); }, 1, ""},
      {"up and down move nothing", [&] { E->SetText("one"); E->SetSelStart(1); KeyWith(Wnd, VK_DOWN, false, false); KeyWith(Wnd, VK_UP, false, false); }, 1, "one"},
  };
  for (const TCase& C : Cases) {
    SCOPED_TRACE(C.What);
    E->Changes = 0;
    C.Act();
    EXPECT_EQ(E->Changes, C.Changes);
    EXPECT_EQ(E->GetText(), C.Text);
  }
  EXPECT_EQ(E->GetSelStart(), 1);

  // A password character needs a single-line window: the window is made again with the text.
  E->SetText("secret");
  E->SetPasswordChar('*');
  HWND Pass = E->GetHandle();
  EXPECT_FALSE(GetWindowLongA(Pass, GWL_STYLE) & ES_MULTILINE);
  EXPECT_TRUE(GetWindowLongA(Pass, GWL_STYLE) & ES_PASSWORD);
  EXPECT_EQ(SendMessageA(Pass, EM_GETPASSWORDCHAR, 0, 0), '*');
  EXPECT_EQ(E->GetText(), "secret");
  E->SetPasswordChar(0);
  EXPECT_TRUE(GetWindowLongA(E->GetHandle(), GWL_STYLE) & ES_MULTILINE);
  EXPECT_EQ(SendMessageA(E->GetHandle(), EM_GETPASSWORDCHAR, 0, 0), 0);
  EXPECT_EQ(E->GetText(), "secret");
}

TEST_F(StdEditSubclass, ClipboardKeysAndCallsGoThroughTheMessages) {
  auto* Source = Add<TEdit>(Form, "S", 10, 60, 150, 24);
  Source->SetText("P");
  Source->SelectAll();
  Source->CopyToClipboard();

  auto* E = Add<TOverlayEdit>(Form, "E", 10, 10, 150, 24);
  E->SetText("text");
  E->SelectAll();
  HWND Wnd = E->GetHandle();
  // A change made through the window so that there is something to undo.
  SendMessageA(Wnd, WM_CHAR, 'n', 1);
  SendMessageA(Wnd, EM_SETSEL, 0, -1);
  E->Gate = true;
  struct TCase {
    const char* What;
    std::function<void()> Act;
    UINT Msg;
  } Cases[] = {
      {"Ctrl+X", [&] { SendMessageA(Wnd, WM_CHAR, 24, 1); }, WM_CUT},
      {"Shift+Delete", [&] { KeyWith(Wnd, VK_DELETE, true, false); }, WM_CUT},
      {"CutToClipboard", [&] { E->CutToClipboard(); }, WM_CUT},
      {"Ctrl+C", [&] { SendMessageA(Wnd, WM_CHAR, 3, 1); }, WM_COPY},
      {"Ctrl+Insert", [&] { KeyWith(Wnd, VK_INSERT, false, true); }, WM_COPY},
      {"Ctrl+V", [&] { SendMessageA(Wnd, WM_CHAR, 22, 1); }, WM_PASTE},
      {"Shift+Insert", [&] { KeyWith(Wnd, VK_INSERT, true, false); }, WM_PASTE},
      {"PasteFromClipboard", [&] { E->PasteFromClipboard(); }, WM_PASTE},
      {"ClearSelection", [&] { E->ClearSelection(); }, WM_CLEAR},
      {"Ctrl+Z", [&] { SendMessageA(Wnd, WM_CHAR, 26, 1); }, WM_UNDO},
      {"Undo", [&] { E->Undo(); }, WM_UNDO},
  };
  for (const TCase& C : Cases) {
    SCOPED_TRACE(C.What);
    E->Gated.clear();
    C.Act();
    EXPECT_EQ(E->Gated, std::vector<UINT>{C.Msg});
    EXPECT_EQ(E->GetText(), "n");
    EXPECT_EQ(SelOf(Wnd), std::make_pair(0, 1));
  }
  // Let through, the same keys act.
  E->Gate = false;
  SendMessageA(Wnd, WM_CHAR, 22, 1);
  EXPECT_EQ(E->GetText(), "P");
  SendMessageA(Wnd, WM_CHAR, 26, 1);
  EXPECT_EQ(E->GetText(), "n");
}

TEST_F(StdEditSubclass, SubclassPaintsTheBackgroundAndTheWindowTheText) {
  Form->SetColor(clWhite);
  auto* E = Add<TOverlayEdit>(Form, "E", 10, 10, 150, 24);
  E->SetText("WWWWWWWWWWWWWWWWWWWWWWWW");
  HWND Wnd = E->GetHandle();
  // The text starts at 40 and stops at 110.
  RECT Fmt = Rect(40, 2, 110, 22);
  SendMessageA(Wnd, EM_SETRECT, 0, reinterpret_cast<LPARAM>(&Fmt));
  RECT Got{};
  SendMessageA(Wnd, EM_GETRECT, 0, reinterpret_cast<LPARAM>(&Got));
  EXPECT_EQ(Got, Fmt);
  EXPECT_EQ(PosOf(Wnd, 0).x, 40);
  Pump();
  EXPECT_GT(E->Erases, 0);
  // Painted once: nothing is left to paint.
  RECT Dirty{};
  EXPECT_FALSE(GetUpdateRect(Wnd, &Dirty, FALSE));

  int InkInside = 0, InkOutside = 0, Red = 0, White = 0;
  int H = E->GetHeight();
  ASSERT_GT(H, 12);
  for (int Y = 0; Y < H; ++Y)
    for (int X = 0; X < 150; ++X) {
      COLORREF P = Pixel(Form, 10 + X, 10 + Y);
      if (P == RGB(255, 0, 0)) {
        ++Red;
      } else if (P == RGB(255, 255, 255)) {
        ++White;  // the form or a window brush showing through
      } else if (GetRValue(P) < 100 && GetGValue(P) < 100 && GetBValue(P) < 100) {
        (X >= 40 && X < 110 ? InkInside : InkOutside) += 1;
      }
    }
  EXPECT_GT(InkInside, 30);
  EXPECT_EQ(InkOutside, 0);
  EXPECT_GT(Red, 150 * H / 2);
  EXPECT_EQ(White, 0);

  // Without repainting (what a subclass sets while painting its background): the text moves,
  // nothing becomes dirty.
  RECT Np = Rect(50, 2, 110, 22);
  SendMessageA(Wnd, EM_SETRECTNP, 0, reinterpret_cast<LPARAM>(&Np));
  SendMessageA(Wnd, EM_GETRECT, 0, reinterpret_cast<LPARAM>(&Got));
  EXPECT_EQ(Got, Np);
  EXPECT_EQ(PosOf(Wnd, 0).x, 50);
  EXPECT_FALSE(GetUpdateRect(Wnd, &Dirty, FALSE));

  // A change repaints through the erase step again, with the new background.
  E->Background = clBlue;
  int Before = E->Erases;
  SendMessageA(Wnd, WM_CHAR, 'x', 1);
  Pump();
  EXPECT_GT(E->Erases, Before);
  EXPECT_EQ(Pixel(Form, 10 + 5, 10 + 5), RGB(0, 0, 255));
}

TEST_F(StdEditSubclass, AReplacedCaretFollowsTheText) {
  auto* Other = Add<TBox>(Form, "O", 10, 60, 150, 24);  // takes the focus, has no caret
  auto* E = Add<TOverlayEdit>(Form, "E", 10, 10, 150, 24);
  E->OwnCaret = true;
  E->SetAutoSelect(false);
  E->SetText("");
  HWND Wnd = E->GetHandle();
  E->SetFocus();
  for (char C : String("abc")) SendMessageA(Wnd, WM_CHAR, static_cast<unsigned char>(C), 1);
  POINT Caret{};
  ASSERT_TRUE(::GetCaretPos(&Caret));
  // The end of the text has a position: where the caret stands.
  POINT End = PosOf(Wnd, 3);
  EXPECT_NE(SendMessageA(Wnd, EM_POSFROMCHAR, 3, 0), -1);
  EXPECT_EQ(SendMessageA(Wnd, EM_POSFROMCHAR, 4, 0), -1);
  EXPECT_GT(End.x, PosOf(Wnd, 2).x);
  EXPECT_EQ(Caret.x, End.x);
  EXPECT_EQ(Caret.y, End.y);
  KeyWith(Wnd, VK_HOME, false, false);
  ASSERT_TRUE(::GetCaretPos(&Caret));
  EXPECT_EQ(Caret.x, PosOf(Wnd, 0).x);
  // Leaving: the subclass destroys its caret first, the window finds none left.
  Other->SetFocus();
  EXPECT_FALSE(::GetCaretPos(&Caret));
  EXPECT_EQ(E->GetText(), "abc");
  // Back again, a caret of its own once more.
  E->SetFocus();
  EXPECT_TRUE(::GetCaretPos(&Caret));
}

TEST_F(StdEditSubclass, ANewWindowKeepsTextSelectionAndScrollPosition) {
  // A memo scrolled down.
  auto* M = Add<TMemo>(Form, "M", 10, 10, 200, 100);
  M->SetScrollBars(ssVertical);
  String Text;
  for (int I = 0; I < 30; ++I) Text += "line " + IntToStr(I) + "\r\n";
  M->SetText(Text);
  HWND Old = M->GetHandle();
  SendMessageA(Old, WM_VSCROLL, MAKEWPARAM(SB_THUMBPOSITION, 12), 0);
  SendMessageA(Old, EM_SETSEL, 5, 9);
  SendMessageA(Old, EM_SETMODIFY, TRUE, 0);

  // A memo scrolled to the right.
  auto* Wide = Add<TMemo>(Form, "W", 10, 120, 100, 60);
  Wide->SetWordWrap(false);
  Wide->SetScrollBars(ssBoth);
  Wide->SetText("a rather long line that does not fit at all\r\nshort");
  SendMessageA(Wide->GetHandle(), WM_HSCROLL, MAKEWPARAM(SB_THUMBPOSITION, 40), 0);
  ASSERT_EQ(PosOf(Wide->GetHandle(), 0).x, -40);

  // A single-line edit showing the end of a long text.
  auto* E = Add<TEdit>(Form, "E", 220, 10, 60, 24);
  E->SetText("0123456789012345678901234567890123456789");
  E->SetSelStart(40);
  SendMessageA(E->GetHandle(), EM_SCROLLCARET, 0, 0);
  LRESULT FirstChar = SendMessageA(E->GetHandle(), EM_GETFIRSTVISIBLELINE, 0, 0);
  ASSERT_GT(FirstChar, 0);

  M->SetOEMConvert(true);
  Wide->SetOEMConvert(true);
  E->SetOEMConvert(true);
  HWND New = M->GetHandle();
  ASSERT_NE(New, Old);
  EXPECT_EQ(M->GetText(), Text);
  EXPECT_EQ(SendMessageA(New, EM_GETFIRSTVISIBLELINE, 0, 0), 12);
  EXPECT_EQ(SelOf(New), std::make_pair(5, 9));
  EXPECT_TRUE(M->GetModified());
  EXPECT_EQ(PosOf(Wide->GetHandle(), 0).x, -40);
  EXPECT_EQ(SendMessageA(E->GetHandle(), EM_GETFIRSTVISIBLELINE, 0, 0), FirstChar);

  // Lines written while the window is gone are there when it comes back.
  M->SetParent(nullptr);
  EXPECT_FALSE(M->HandleAllocated());
  M->GetLines()->Add("added");
  M->GetLines()->Delete(0);
  M->SetParent(Form);
  New = M->GetHandle();
  EXPECT_EQ(M->GetLines()->GetCount(), 30);
  EXPECT_EQ(M->GetLines()->Get(0), "line 1");
  EXPECT_EQ(M->GetLines()->Get(29), "added");
}

TEST_F(StdEditSubclass, SingleLineAlignment) {
  struct TCase {
    DWORD Align;
    int MinX, MaxX;
  } Cases[] = {{ES_LEFT, 0, 0}, {ES_CENTER, 50, 90}, {ES_RIGHT, 110, 149}};
  for (const TCase& C : Cases) {
    SCOPED_TRACE(C.Align);
    auto* E = Add<TAlignedEdit>(Form, ("A" + IntToStr(static_cast<int>(C.Align))).c_str(), 10, 10, 160, 24, C.Align);
    E->SetBorderStyle(bsNone);
    E->SetText("ab");
    HWND Wnd = E->GetHandle();
    int X0 = PosOf(Wnd, 0).x;
    EXPECT_GE(X0, C.MinX);
    EXPECT_LE(X0, C.MaxX);
    // Typing keeps the alignment: a right-aligned text grows to the left.
    SendMessageA(Wnd, EM_SETSEL, 2, 2);
    SendMessageA(Wnd, WM_CHAR, 'c', 1);
    int X1 = PosOf(Wnd, 0).x;
    if (C.Align == ES_LEFT) {
      EXPECT_EQ(X1, X0);
    } else {
      EXPECT_LT(X1, X0);
    }
    // The caret after the last character is at the right end for a right-aligned text.
    // After the last character of a right-aligned text is the right edge; the caret stands on
    // the last column inside, and nothing scrolled.
    if (C.Align == ES_RIGHT) {
      EXPECT_EQ(PosOf(Wnd, 3).x, 160);
      E->SetFocus();
      SendMessageA(Wnd, EM_SETSEL, 3, 3);
      POINT Caret{};
      ASSERT_TRUE(::GetCaretPos(&Caret));
      EXPECT_EQ(Caret.x, 159);
    }
  }
}

TEST_F(StdEditSubclass, The3DLookIsABorderOfItsOwn) {
  auto* E = Add<TEdit>(Form, "E", 10, 10, 150, 24);
  E->SetText("kept");
  E->SetSelStart(1);
  E->SetSelLength(2);
  EXPECT_TRUE(GetWindowLongA(E->GetHandle(), GWL_EXSTYLE) & WS_EX_CLIENTEDGE);
  int Tall = E->GetHeight();
  E->SetCtl3D(false);
  E->Perform(CM_CTL3DCHANGED, 0, 0);  // what a change of Ctl3D tells the control
  HWND Wnd = E->GetHandle();
  EXPECT_FALSE(GetWindowLongA(Wnd, GWL_EXSTYLE) & WS_EX_CLIENTEDGE);
  EXPECT_TRUE(GetWindowLongA(Wnd, GWL_STYLE) & WS_BORDER);
  EXPECT_EQ(E->GetText(), "kept");
  EXPECT_EQ(SelOf(Wnd), std::make_pair(1, 3));
  // AutoSize: a plain border is thinner than the sunken one.
  EXPECT_EQ(E->GetHeight(), Tall - 2 * GetSystemMetrics(SM_CYBORDER));
}

TEST_F(StdEditSubclass, AWheelTheEditLeavesGoesToItsParent) {
  std::vector<String> Wheels;
  Form->OnMouseWheel = [&](TObject*, TShiftState, int Delta, TPoint, bool& Handled) {
    Wheels.push_back("form " + IntToStr(Delta));
    Handled = true;
  };
  auto* E = Add<TEdit>(Form, "E", 10, 10, 150, 24);
  auto* Taker = Add<TEdit>(Form, "T", 10, 60, 150, 24);
  Taker->OnMouseWheel = [&](TObject*, TShiftState, int Delta, TPoint, bool& Handled) {
    Wheels.push_back("taker " + IntToStr(Delta));
    Handled = true;
  };
  WPARAM Up = MAKEWPARAM(0, WHEEL_DELTA);
  EXPECT_NE(SendMessageA(E->GetHandle(), WM_MOUSEWHEEL, Up, MAKELPARAM(70, 70)), 0);
  SendMessageA(Taker->GetHandle(), WM_MOUSEWHEEL, Up, MAKELPARAM(70, 120));
  EXPECT_EQ(Wheels, (std::vector<String>{"form 120", "taker 120"}));
}

}  // namespace
