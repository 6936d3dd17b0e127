#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <utility>

#include "platform/vcl/EditCtrls.h"
#include "platform/vcl/StdEdit.h"
#include "tests/platform/vcl/VclTestSupport.h"

namespace {

String TextOf(HWND Wnd) {
  String S(static_cast<size_t>(SendMessageA(Wnd, WM_GETTEXTLENGTH, 0, 0)) + 1, '\0');
  S.resize(static_cast<size_t>(SendMessageA(Wnd, WM_GETTEXT, S.size(), reinterpret_cast<LPARAM>(S.data()))));
  return S;
}

std::pair<int, int> SelOf(HWND Wnd) {
  DWORD A = 0, B = 0;
  SendMessageA(Wnd, EM_GETSEL, reinterpret_cast<WPARAM>(&A), reinterpret_cast<LPARAM>(&B));
  return {static_cast<int>(A), static_cast<int>(B)};
}

void SetModifiers(bool Shift, bool Ctrl) {
  BYTE Keys[256] = {};
  if (Shift) Keys[VK_SHIFT] = 0x80;
  if (Ctrl) Keys[VK_CONTROL] = 0x80;
  SetKeyboardState(Keys);
}

void PressKey(HWND Wnd, int Vk, bool Shift = false, bool Ctrl = false) {
  SetModifiers(Shift, Ctrl);
  SendMessageA(Wnd, WM_KEYDOWN, static_cast<WPARAM>(Vk), 1);
  SetModifiers(false, false);
}

// Plays a script on an edit window: plain characters are typed; <...> tokens are keys.
void Play(HWND Wnd, const String& Script) {
  struct TKey {
    const char* Name;
    int Vk;     // key down, or 0
    int Char;   // WM_CHAR code when Vk is 0
    bool Shift;
    bool Ctrl;
  };
  static const TKey Keys[] = {
      {"L", VK_LEFT, 0, false, false},   {"R", VK_RIGHT, 0, false, false}, {"SL", VK_LEFT, 0, true, false},
      {"SR", VK_RIGHT, 0, true, false},  {"CL", VK_LEFT, 0, false, true},  {"CR", VK_RIGHT, 0, false, true},
      {"U", VK_UP, 0, false, false},     {"D", VK_DOWN, 0, false, false},  {"H", VK_HOME, 0, false, false},
      {"E", VK_END, 0, false, false},    {"SH", VK_HOME, 0, true, false},  {"SE", VK_END, 0, true, false},
      {"CH", VK_HOME, 0, false, true},   {"CE", VK_END, 0, false, true},   {"DEL", VK_DELETE, 0, false, false},
      {"BS", 0, 8, false, false},        {"ENT", 0, 13, false, false},     {"TAB", 0, 9, false, false},
      {"A", 0, 1, false, false},         {"C", 0, 3, false, false},        {"V", 0, 22, false, false},
      {"X", 0, 24, false, false},        {"Z", 0, 26, false, false},       {"SDEL", VK_DELETE, 0, true, false},
      {"SINS", VK_INSERT, 0, true, false}, {"CINS", VK_INSERT, 0, false, true},
  };
  for (size_t I = 0; I < Script.size(); ++I) {
    if (Script[I] == '<') {
      size_t End = Script.find('>', I);
      String Name = Script.substr(I + 1, End - I - 1);
      I = End;
      bool Found = false;
      for (const TKey& K : Keys)
        if (Name == K.Name) {
          Found = true;
          if (K.Vk)
            PressKey(Wnd, K.Vk, K.Shift, K.Ctrl);
          else
            SendMessageA(Wnd, WM_CHAR, static_cast<WPARAM>(K.Char), 1);
        }
      EXPECT_TRUE(Found) << Name;
      continue;
    }
    SendMessageA(Wnd, WM_CHAR, static_cast<unsigned char>(Script[I]), 1);
  }
}

class StdEdit : public TVclWindowTest {
protected:
  TForm* Form = nullptr;
  std::vector<std::pair<WORD, HWND>> Notes;  // EN_ codes the form got

  void SetUp() override {
    TVclWindowTest::SetUp();
    ASSERT_TRUE(RegisterEditClass());
    Form = NewForm(50, 50, 320, 200);
    Form->Show();
    TWndMethod Inherited = Form->WindowProc;
    Form->WindowProc = [this, Inherited](TMessage& M) {
      if (M.Msg == WM_COMMAND) Notes.emplace_back(HIWORD(M.WParam), reinterpret_cast<HWND>(M.LParam));
      Inherited(M);
    };
  }

  HWND NewEdit(DWORD Style = 0, const char* Text = "", int W = 200, int H = 24) {
    HWND Wnd = CreateWindowExA(0, "EDIT", Text, WS_CHILD | WS_VISIBLE | Style, 10, 10, W, H, Form->GetHandle(),
                               nullptr, nullptr, nullptr);
    EXPECT_NE(Wnd, nullptr);
    SendMessageA(Wnd, WM_SETFONT, reinterpret_cast<WPARAM>(Form->GetFont()->GetHandle()), 0);
    ::SetFocus(Wnd);
    return Wnd;
  }

  int Count(WORD Code) {
    int N = 0;
    for (auto& N2 : Notes) N += N2.first == Code;
    return N;
  }
};

TEST_F(StdEdit, EditingScriptsGiveTextAndSelection) {
  struct TCase {
    const char* Script;
    const char* Text;
    int SelStart, SelEnd;
  } Cases[] = {
      {"abc", "abc", 3, 3},
      {"abc<L><L><BS>", "bc", 0, 0},
      {"abc<H>x", "xabc", 1, 1},
      {"abc<SL><SL>x", "ax", 2, 2},
      {"abc<SL><SL><L>", "abc", 1, 1},  // Left collapses a selection to its start
      {"hello world<CL><SE><DEL>", "hello ", 6, 6},
      {"hello world<CL><CL><CR>", "hello world", 6, 6},
      {"abc<A>z", "z", 1, 1},
      {"abc<SH><X><E><V><V>", "abcabc", 6, 6},
      {"ab<L><SR><C><E><V>", "abb", 3, 3},
      {"abc<SH><CINS><SDEL><SINS><SINS>", "abcabc", 6, 6},
      {"ab<Z>", "", 0, 0},         // a run of typing is undone at once
      {"ab<Z><Z>", "ab", 2, 2},    // and undoing again redoes it
      {"ab<BS>c<Z>", "a", 1, 1},   // deleting ends the run
      {"a<ENT>b<TAB>", "ab", 2, 2},  // a single-line edit takes no line break or tab
      {"abc<DEL><E><R>", "abc", 3, 3},
      {"x\xC3\xA9<BS>", "x", 1, 1},  // a two-byte character goes at once
      {"\xC3\xA9z<H><R>q", "\xC3\xA9qz", 3, 3},
      {"ab<CH><SE>", "ab", 0, 2},
  };
  for (const TCase& C : Cases) {
    SCOPED_TRACE(C.Script);
    HWND Wnd = NewEdit();
    Play(Wnd, C.Script);
    EXPECT_EQ(TextOf(Wnd), C.Text);
    EXPECT_EQ(SelOf(Wnd), std::make_pair(C.SelStart, C.SelEnd));
    DestroyWindow(Wnd);
  }
}

TEST_F(StdEdit, SetSelFollowsTheWin32Rules) {
  struct TCase {
    int Start, End;
    int SelStart, SelEnd;
  } Cases[] = {
      {1, 3, 1, 3}, {3, 1, 1, 3}, {0, -1, 0, 6}, {2, 99, 2, 6}, {-5, 2, 0, 2}, {4, 4, 4, 4},
  };
  HWND Wnd = NewEdit(0, "abcdef");
  for (const TCase& C : Cases) {
    SCOPED_TRACE(testing::Message() << C.Start << "," << C.End);
    SendMessageA(Wnd, EM_SETSEL, static_cast<WPARAM>(C.Start), C.End);
    EXPECT_EQ(SelOf(Wnd), std::make_pair(C.SelStart, C.SelEnd));
    EXPECT_EQ(SendMessageA(Wnd, EM_GETSEL, 0, 0), MAKELRESULT(C.SelStart, C.SelEnd));
  }
  // -1 drops the selection and keeps the caret where it was (the end given last).
  SendMessageA(Wnd, EM_SETSEL, 1, 3);
  SendMessageA(Wnd, EM_SETSEL, static_cast<WPARAM>(-1), 0);
  EXPECT_EQ(SelOf(Wnd), std::make_pair(3, 3));
  // The caret is at the end given, so Shift+Left shrinks from there.
  SendMessageA(Wnd, EM_SETSEL, 4, 1);
  PressKey(Wnd, VK_LEFT, true);
  EXPECT_EQ(SelOf(Wnd), std::make_pair(0, 4));
}

TEST_F(StdEdit, NotifiesChangesAndTheLimit) {
  HWND Wnd = NewEdit();
  Notes.clear();
  Play(Wnd, "ab");
  EXPECT_EQ(Count(EN_UPDATE), 2);
  EXPECT_EQ(Count(EN_CHANGE), 2);
  ASSERT_FALSE(Notes.empty());
  EXPECT_EQ(Notes.back().second, Wnd);
  EXPECT_EQ(SendMessageA(Wnd, EM_GETMODIFY, 0, 0), TRUE);
  EXPECT_EQ(SendMessageA(Wnd, EM_CANUNDO, 0, 0), TRUE);
  SendMessageA(Wnd, EM_EMPTYUNDOBUFFER, 0, 0);
  EXPECT_EQ(SendMessageA(Wnd, EM_CANUNDO, 0, 0), FALSE);
  EXPECT_EQ(SendMessageA(Wnd, WM_UNDO, 0, 0), FALSE);
  EXPECT_EQ(TextOf(Wnd), "ab");

  // Setting the text reports a change, clears the modified flag and the undo buffer.
  Notes.clear();
  SendMessageA(Wnd, WM_SETTEXT, 0, reinterpret_cast<LPARAM>("hello"));
  EXPECT_EQ(Count(EN_CHANGE), 1);
  EXPECT_EQ(SendMessageA(Wnd, EM_GETMODIFY, 0, 0), FALSE);
  EXPECT_EQ(SendMessageA(Wnd, EM_CANUNDO, 0, 0), FALSE);

  // The limit cuts typing and pasting and says so.
  SendMessageA(Wnd, EM_LIMITTEXT, 6, 0);
  EXPECT_EQ(SendMessageA(Wnd, EM_GETLIMITTEXT, 0, 0), 6);
  Notes.clear();
  SendMessageA(Wnd, EM_SETSEL, 5, 5);
  Play(Wnd, "!?");
  EXPECT_EQ(TextOf(Wnd), "hello!");
  EXPECT_EQ(Count(EN_MAXTEXT), 1);
  SendMessageA(Wnd, EM_SETSEL, 0, 1);
  SendMessageA(Wnd, EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>("HHH"));
  EXPECT_EQ(TextOf(Wnd), "Hello!");
  // Never half a character.
  SendMessageA(Wnd, EM_SETSEL, 5, 6);
  SendMessageA(Wnd, EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>("\xC3\xA9"));
  EXPECT_EQ(TextOf(Wnd), "Hello");
  SendMessageA(Wnd, EM_LIMITTEXT, 0, 0);
  EXPECT_EQ(SendMessageA(Wnd, EM_GETLIMITTEXT, 0, 0), 0x7FFFFFFE);
}

TEST_F(StdEdit, ReadOnlyAndPasswordGuardTheText) {
  // Something on the clipboard to paste.
  HWND Source = NewEdit(0, "PASTE");
  SendMessageA(Source, EM_SETSEL, 0, -1);
  SendMessageA(Source, WM_COPY, 0, 0);

  HWND Wnd = NewEdit(ES_READONLY, "fixed");
  SendMessageA(Wnd, EM_SETSEL, 0, 2);
  for (UINT Msg : {WM_CUT, WM_PASTE, WM_CLEAR}) SendMessageA(Wnd, Msg, 0, 0);
  Play(Wnd, "x<BS><DEL><V><X>");
  EXPECT_EQ(TextOf(Wnd), "fixed");
  // Copying still works.
  SendMessageA(Wnd, WM_COPY, 0, 0);
  SendMessageA(Source, EM_SETSEL, 0, -1);
  SendMessageA(Source, WM_PASTE, 0, 0);
  EXPECT_EQ(TextOf(Source), "fi");
  SendMessageA(Wnd, EM_SETREADONLY, FALSE, 0);
  Play(Wnd, "<X>");
  EXPECT_EQ(TextOf(Wnd), "xed");

  // A password edit keeps its text but never hands it out.
  HWND Pass = NewEdit(ES_PASSWORD, "secret");
  EXPECT_EQ(SendMessageA(Pass, EM_GETPASSWORDCHAR, 0, 0), '*');
  SendMessageA(Pass, EM_SETPASSWORDCHAR, '#', 0);
  EXPECT_EQ(SendMessageA(Pass, EM_GETPASSWORDCHAR, 0, 0), '#');
  SendMessageA(Pass, EM_SETSEL, 0, -1);
  SendMessageA(Pass, WM_COPY, 0, 0);
  SendMessageA(Pass, WM_CUT, 0, 0);
  EXPECT_EQ(TextOf(Pass), "secret");
  SendMessageA(Source, EM_SETSEL, 0, -1);
  SendMessageA(Source, WM_PASTE, 0, 0);
  EXPECT_EQ(TextOf(Source), "fi");
  SendMessageA(Pass, EM_SETPASSWORDCHAR, 0, 0);
  EXPECT_EQ(SendMessageA(Pass, EM_GETPASSWORDCHAR, 0, 0), 0);
}

TEST_F(StdEdit, StylesFilterTypedCharacters) {
  struct TCase {
    DWORD Style;
    const char* Typed;
    const char* Text;
  } Cases[] = {
      {ES_NUMBER, "1a2-3", "123"},
      {ES_UPPERCASE, "aBc", "ABC"},
      {ES_LOWERCASE, "aBc", "abc"},
  };
  for (const TCase& C : Cases) {
    SCOPED_TRACE(C.Typed);
    HWND Wnd = NewEdit(C.Style);
    Play(Wnd, C.Typed);
    EXPECT_EQ(TextOf(Wnd), C.Text);
    DestroyWindow(Wnd);
  }
}

TEST_F(StdEdit, FormattingRectangleAndPositions) {
  HWND Wnd = NewEdit(ES_MULTILINE | ES_AUTOHSCROLL, "abc", 200, 40);
  RECT R{};
  SendMessageA(Wnd, EM_GETRECT, 0, reinterpret_cast<LPARAM>(&R));
  EXPECT_EQ(R, Rect(0, 0, 200, 40));
  SendMessageA(Wnd, EM_SETMARGINS, EC_LEFTMARGIN | EC_RIGHTMARGIN, MAKELONG(2, 3));
  SendMessageA(Wnd, EM_GETRECT, 0, reinterpret_cast<LPARAM>(&R));
  EXPECT_EQ(R, Rect(2, 0, 197, 40));
  EXPECT_EQ(SendMessageA(Wnd, EM_GETMARGINS, 0, 0), MAKELONG(2, 3));

  RECT Fmt = Rect(20, 5, 150, 35);
  SendMessageA(Wnd, EM_SETRECT, 0, reinterpret_cast<LPARAM>(&Fmt));
  SendMessageA(Wnd, EM_GETRECT, 0, reinterpret_cast<LPARAM>(&R));
  EXPECT_EQ(R, Fmt);
  LRESULT P0 = SendMessageA(Wnd, EM_POSFROMCHAR, 0, 0);
  EXPECT_EQ(LOWORD(P0), 20);
  EXPECT_EQ(HIWORD(P0), 5);
  LRESULT P2 = SendMessageA(Wnd, EM_POSFROMCHAR, 2, 0);
  EXPECT_GT(static_cast<int>(LOWORD(P2)), 20);
  EXPECT_EQ(SendMessageA(Wnd, EM_POSFROMCHAR, 4, 0), -1);
  // Character from a position: the nearest boundary.
  EXPECT_EQ(LOWORD(SendMessageA(Wnd, EM_CHARFROMPOS, 0, MAKELPARAM(LOWORD(P2) + 1, 10))), 2);
  EXPECT_EQ(LOWORD(SendMessageA(Wnd, EM_CHARFROMPOS, 0, MAKELPARAM(0, 10))), 0);
  EXPECT_EQ(LOWORD(SendMessageA(Wnd, EM_CHARFROMPOS, 0, MAKELPARAM(190, 10))), 3);

  // The same rectangle again repaints nothing.
  UpdateWindow(Wnd);
  SendMessageA(Wnd, EM_SETRECT, 0, reinterpret_cast<LPARAM>(&Fmt));
  RECT Dirty{};
  EXPECT_FALSE(GetUpdateRect(Wnd, &Dirty, FALSE));
  RECT Other = Rect(20, 5, 140, 35);
  SendMessageA(Wnd, EM_SETRECT, 0, reinterpret_cast<LPARAM>(&Other));
  EXPECT_TRUE(GetUpdateRect(Wnd, &Dirty, FALSE));

  // A single-line edit keeps its rectangle (the formatting rectangle is for multi-line ones).
  HWND Single = NewEdit(0, "abc");
  SendMessageA(Single, EM_SETRECT, 0, reinterpret_cast<LPARAM>(&Fmt));
  SendMessageA(Single, EM_GETRECT, 0, reinterpret_cast<LPARAM>(&R));
  EXPECT_EQ(R, Rect(0, 0, 200, 24));
}

TEST_F(StdEdit, MouseSelectsAndDialogCodeAnswers) {
  HWND Wnd = NewEdit(0, "abcdef");
  auto X = [&](int Pos) { return static_cast<int>(LOWORD(SendMessageA(Wnd, EM_POSFROMCHAR, static_cast<WPARAM>(Pos), 0))); };
  SendMessageA(Wnd, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(X(2), 5));
  EXPECT_EQ(GetCapture(), Wnd);
  SendMessageA(Wnd, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(X(5), 5));
  SendMessageA(Wnd, WM_LBUTTONUP, 0, MAKELPARAM(X(5), 5));
  EXPECT_EQ(SelOf(Wnd), std::make_pair(2, 5));
  EXPECT_NE(GetCapture(), Wnd);
  SendMessageA(Wnd, WM_LBUTTONDOWN, MK_LBUTTON | MK_SHIFT, MAKELPARAM(X(1), 5));
  SendMessageA(Wnd, WM_LBUTTONUP, 0, MAKELPARAM(X(1), 5));
  EXPECT_EQ(SelOf(Wnd), std::make_pair(1, 2));

  EXPECT_EQ(SendMessageA(Wnd, WM_GETDLGCODE, 0, 0), DLGC_WANTCHARS | DLGC_HASSETSEL | DLGC_WANTARROWS);
  HWND Multi = NewEdit(ES_MULTILINE);
  EXPECT_EQ(SendMessageA(Multi, WM_GETDLGCODE, 0, 0),
            DLGC_WANTCHARS | DLGC_HASSETSEL | DLGC_WANTARROWS | DLGC_WANTALLKEYS);
}

// ---------------------------------------------------------------------------------------------
// TEdit

class TLoggedEdit : public TEdit {
public:
  using TEdit::TEdit;
  int Changes = 0;

protected:
  void Change() override {
    ++Changes;
    TEdit::Change();
  }
};

// An edit whose background comes from elsewhere: it answers the colour query with a hollow
// brush and paints its own background on erase.
class TClearEdit : public TEdit {
public:
  using TEdit::TEdit;
  TColor Background = clRed;

protected:
  void WndProc(TMessage& M) override {
    switch (M.Msg) {
      case CN_CTLCOLOREDIT:
      case CN_CTLCOLORSTATIC:
        SetBkMode(reinterpret_cast<HDC>(M.WParam), TRANSPARENT);
        SetTextColor(reinterpret_cast<HDC>(M.WParam), RGB(0, 0, 0));
        M.Result = reinterpret_cast<LRESULT>(GetStockObject(NULL_BRUSH));
        return;
      case WM_ERASEBKGND: {
        HBRUSH B = CreateSolidBrush(ColorToRGB(Background));
        RECT R = GetClientRect();
        FillRect(reinterpret_cast<HDC>(M.WParam), &R, B);
        DeleteObject(B);
        M.Result = 1;
        return;
      }
    }
    TEdit::WndProc(M);
  }
};

using StdEditControl = StdEdit;

TEST_F(StdEditControl, ChangeFiresOncePerChange) {
  auto* E = Add<TLoggedEdit>(Form, "E", 10, 10, 150, 24);
  E->HandleNeeded();
  E->Changes = 0;
  struct TCase {
    const char* What;
    std::function<void()> Act;
    int Changes;
  } Cases[] = {
      {"type", [&] { Play(E->GetHandle(), "ab"); }, 2},
      {"set text", [&] { E->SetText("xyz"); }, 1},
      {"same text", [&] { E->SetText("xyz"); }, 0},
      {"sel text", [&] { E->SetSelStart(1); E->SetSelLength(1); E->SetSelText("Q"); }, 1},
      {"clear selection", [&] { E->SelectAll(); E->ClearSelection(); }, 1},
      {"undo", [&] { E->Undo(); }, 1},
      {"clear", [&] { E->Clear(); }, 1},
  };
  for (const TCase& C : Cases) {
    SCOPED_TRACE(C.What);
    E->Changes = 0;
    C.Act();
    EXPECT_EQ(E->Changes, C.Changes);
  }
}

TEST_F(StdEditControl, PropertiesReachTheWindowAndSurviveRecreation) {
  auto* E = Add<TEdit>(Form, "E", 10, 10, 150, 24);
  E->SetText("hello");
  E->SetMaxLength(7);
  E->SetReadOnly(true);
  E->SetPasswordChar('*');
  E->HandleNeeded();
  HWND Wnd = E->GetHandle();
  EXPECT_EQ(SendMessageA(Wnd, EM_GETLIMITTEXT, 0, 0), 7);
  EXPECT_TRUE(GetWindowLongA(Wnd, GWL_STYLE) & ES_READONLY);
  EXPECT_EQ(SendMessageA(Wnd, EM_GETPASSWORDCHAR, 0, 0), '*');
  E->SetReadOnly(false);
  E->SetSelStart(5);
  Play(Wnd, "!!!");
  EXPECT_EQ(E->GetText(), "hello!!");
  EXPECT_TRUE(E->GetModified());
  E->SetSelStart(2);
  E->SetSelLength(3);

  E->SetHideSelection(false);  // makes a new window
  HWND New = E->GetHandle();
  EXPECT_TRUE(GetWindowLongA(New, GWL_STYLE) & ES_NOHIDESEL);
  EXPECT_EQ(E->GetText(), "hello!!");
  EXPECT_EQ(SendMessageA(New, EM_GETLIMITTEXT, 0, 0), 7);
  EXPECT_EQ(SendMessageA(New, EM_GETPASSWORDCHAR, 0, 0), '*');
  EXPECT_TRUE(E->GetModified());
  EXPECT_EQ(E->GetSelStart(), 2);
  EXPECT_EQ(E->GetSelLength(), 3);
  EXPECT_EQ(E->GetSelText(), "llo");

  E->SetCharCase(ecUpperCase);
  EXPECT_EQ(E->GetText(), "HELLO!!");
  EXPECT_TRUE(GetWindowLongA(E->GetHandle(), GWL_STYLE) & ES_UPPERCASE);
}

TEST_F(StdEditControl, AutoSelectOnEnterAndFontHeight) {
  auto* Other = Add<TEdit>(Form, "O", 10, 50, 150, 24);
  auto* E = Add<TEdit>(Form, "E", 10, 10, 150, 24);
  E->SetText("all of it");
  Other->SetFocus();
  E->SetFocus();
  EXPECT_EQ(E->GetSelStart(), 0);
  EXPECT_EQ(E->GetSelLength(), 9);
  E->SetAutoSelect(false);
  E->SetSelStart(3);
  Other->SetFocus();
  E->SetFocus();
  EXPECT_EQ(E->GetSelLength(), 0);

  // AutoSize follows the font.
  E->GetFont()->SetHeight(-30);
  int Tall = E->GetHeight();
  E->GetFont()->SetHeight(-10);
  EXPECT_GT(Tall, E->GetHeight());
  E->SetAutoSize(false);
  E->SetHeight(60);
  E->GetFont()->SetHeight(-12);
  EXPECT_EQ(E->GetHeight(), 60);
}

TEST_F(StdEditControl, PaintsTextOverItsBackground) {
  Form->SetColor(clBtnFace);
  auto* Plain = Add<TEdit>(Form, "P", 10, 10, 120, 24);
  Plain->SetBorderStyle(bsNone);
  Plain->SetColor(clWhite);
  Plain->GetFont()->SetColor(clBlack);
  Plain->SetText("WWWW");
  auto* Clear = Add<TClearEdit>(Form, "C", 10, 60, 120, 24);
  Clear->SetBorderStyle(bsNone);
  Clear->SetText("WWWW");
  Pump();

  auto Dark = [&](int X0, int Y0, COLORREF Back) {
    int Ink = 0, Bg = 0;
    for (int Y = Y0; Y < Y0 + 24; ++Y)
      for (int X = X0; X < X0 + 120; ++X) {
        COLORREF P = Pixel(Form, X, Y);
        if (P == Back) ++Bg;
        else if (GetRValue(P) < 100 && GetGValue(P) < 100 && GetBValue(P) < 100) ++Ink;
      }
    return std::make_pair(Ink, Bg);
  };
  auto [PlainInk, PlainBack] = Dark(10, 10, RGB(255, 255, 255));
  EXPECT_GT(PlainInk, 20);
  EXPECT_GT(PlainBack, 120 * 24 / 2);
  // The hollow brush keeps the subclass's red under the glyphs.
  auto [ClearInk, ClearBack] = Dark(10, 60, RGB(255, 0, 0));
  EXPECT_GT(ClearInk, 20);
  EXPECT_GT(ClearBack, 120 * 24 / 2);

  // Selected text is drawn highlighted while focused.
  Plain->SetFocus();
  Plain->SelectAll();
  Pump();
  COLORREF Highlight = GetSysColor(COLOR_HIGHLIGHT);
  int Lit = 0;
  for (int Y = 10; Y < 34; ++Y)
    for (int X = 10; X < 130; ++X) Lit += Pixel(Form, X, Y) == Highlight;
  EXPECT_GT(Lit, 50);
}

TEST_F(StdEditControl, RightClickAsksForAContextMenu) {
  auto* E = Add<TEdit>(Form, "E", 10, 10, 120, 24);
  E->SetText("keep");
  TPoint Asked{-1, -1};
  E->OnContextPopup = [&](TObject*, TPoint Pos, bool& Handled) {
    Asked = Pos;
    Handled = true;
  };
  HWND Wnd = E->GetHandle();
  SendMessageA(Wnd, WM_RBUTTONDOWN, MK_RBUTTON, MAKELPARAM(7, 5));
  SendMessageA(Wnd, WM_RBUTTONUP, 0, MAKELPARAM(7, 5));
  EXPECT_EQ(Asked, Point(7, 5));
  EXPECT_EQ(E->GetText(), "keep");
}

TEST_F(StdEditControl, MaskEditKeepsItsMask) {
  auto* M = Add<TMaskEdit>(Form, "M", 10, 10, 120, 24);
  EXPECT_FALSE(M->IsMasked());
  M->SetEditMask("");
  M->SetText("abc");
  EXPECT_EQ(M->GetEditText(), "abc");
  M->SetEditMask("999;1;_");
  EXPECT_TRUE(M->IsMasked());
  EXPECT_EQ(M->GetEditMask(), "999;1;_");
  M->Clear();
  EXPECT_EQ(M->GetText(), "");
}

TEST_F(StdEdit, PrintsItsTextIntoAGivenDC) {
  HWND Wnd = NewEdit(0, "WWWW", 120, 24);
  HDC Screen = GetDC(nullptr);
  HDC Mem = CreateCompatibleDC(Screen);
  HBITMAP Bmp = CreateCompatibleBitmap(Screen, 120, 24);
  ReleaseDC(nullptr, Screen);
  HGDIOBJ Old = SelectObject(Mem, Bmp);
  RECT R = Rect(0, 0, 120, 24);
  HBRUSH Green = CreateSolidBrush(RGB(0, 255, 0));
  FillRect(Mem, &R, Green);
  DeleteObject(Green);
  // What WM_PRINT asks of the window: the background, then the client area.
  SendMessageA(Wnd, WM_ERASEBKGND, reinterpret_cast<WPARAM>(Mem), 0);
  SendMessageA(Wnd, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(Mem), PRF_CLIENT);
  int Ink = 0, Back = 0;
  COLORREF Window = GetSysColor(COLOR_WINDOW);
  for (int Y = 0; Y < 24; ++Y)
    for (int X = 0; X < 120; ++X) {
      COLORREF P = GetPixel(Mem, X, Y);
      if (P == Window) ++Back;
      else if (GetRValue(P) < 100 && GetGValue(P) < 100 && GetBValue(P) < 100) ++Ink;
    }
  EXPECT_GT(Ink, 20);
  EXPECT_GT(Back, 120 * 24 / 2);
  SelectObject(Mem, Old);
  DeleteObject(Bmp);
  DeleteDC(Mem);
}

}  // namespace
