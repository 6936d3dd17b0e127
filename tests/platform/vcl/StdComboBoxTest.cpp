// The standard combo box: the "COMBOBOX" window with its drop-down list and inner edit, and
// TComboBox over it.
#include <gtest/gtest.h>

#include "platform/vcl/ComboBoxCtrl.h"
#include "platform/vcl/ComboBoxCtrlClass.h"
#include "tests/platform/vcl/VclTestSupport.h"

namespace {

class StdComboBox : public TVclWindowTest {
protected:
  TForm* Form = nullptr;
  TComboBox* Combo = nullptr;
  std::vector<String> Events;

  void Make(TComboBoxStyle Style, std::initializer_list<const char*> Items) {
    Form = NewForm(100, 100, 300, 200);
    Combo = Add<TComboBox>(Form, "Combo", 10, 10, 150, 22);
    Combo->SetStyle(Style);
    for (const char* S : Items) Combo->GetItems()->Add(S);
    Combo->OnChange = [this](TObject*) { Events.push_back("change"); };
    Combo->OnSelect = [this](TObject*) { Events.push_back("select " + Combo->GetText()); };
    Combo->OnDropDown = [this](TObject*) { Events.push_back("dropdown"); };
    Combo->OnCloseUp = [this](TObject*) { Events.push_back("closeup"); };
    Form->Show();
    Pump();
  }
  LRESULT Send(UINT Msg, WPARAM W = 0, LPARAM L = 0) { return SendMessageA(Combo->GetHandle(), Msg, W, L); }
  HWND List() {
    RECT R{};
    Send(CB_GETDROPPEDCONTROLRECT, 0, reinterpret_cast<LPARAM>(&R));
    return WindowFromPoint(POINT{R.left + 5, R.bottom - 5});
  }
  // A point of item I of the open list, in the combo's client coordinates.
  LPARAM ItemPoint(int I) {
    RECT C;
    GetWindowRect(Combo->GetHandle(), &C);
    POINT P{C.left + 10, 0};
    RECT L;
    GetWindowRect(List(), &L);
    P.y = L.top + 1 + I * static_cast<int>(Send(CB_GETITEMHEIGHT)) + 3;
    ScreenToClient(Combo->GetHandle(), &P);
    return MAKELONG(static_cast<WORD>(P.x), static_cast<WORD>(P.y));
  }
};

TEST_F(StdComboBox, MessagesAndErrors) {
  Make(csDropDownList, {"delta", "Alpha", "charlie", "bravo"});
  Combo->SetSorted(true);
  EXPECT_EQ(Combo->GetItems()->Get(0), "Alpha") << "sorting keeps the items";
  EXPECT_EQ(Combo->GetItems()->Get(3), "delta");
  struct Case { UINT Msg; WPARAM W; const char* Text; LRESULT Expected; } Cases[] = {
      {CB_FINDSTRING, static_cast<WPARAM>(-1), "CH", 2},
      {CB_FINDSTRING, 2, "a", 0},  // wraps around
      {CB_FINDSTRINGEXACT, static_cast<WPARAM>(-1), "BRAVO", 1},
      {CB_FINDSTRINGEXACT, static_cast<WPARAM>(-1), "brav", CB_ERR},
      {CB_SELECTSTRING, static_cast<WPARAM>(-1), "d", 3},
  };
  for (const Case& C : Cases)
    EXPECT_EQ(Send(C.Msg, C.W, reinterpret_cast<LPARAM>(C.Text)), C.Expected) << C.Text;
  EXPECT_EQ(Combo->GetItemIndex(), 3);
  EXPECT_EQ(Combo->GetText(), "delta") << "a drop-down list shows the selected item";
  EXPECT_EQ(Send(CB_SETCURSEL, 9), CB_ERR);
  EXPECT_EQ(Combo->GetItemIndex(), -1);
  EXPECT_EQ(Combo->GetText(), "");
  EXPECT_EQ(Send(CB_GETLBTEXTLEN, 4), CB_ERR);
  EXPECT_EQ(Send(CB_DELETESTRING, 4), CB_ERR);
  EXPECT_EQ(Send(CB_SETITEMDATA, 4, 1), CB_ERR);
  EXPECT_EQ(Send(CB_LIMITTEXT, 3), FALSE) << "no inner edit";
  // WM_SETTEXT on a drop-down list selects the matching item, or refuses.
  EXPECT_TRUE(SendMessageA(Combo->GetHandle(), WM_SETTEXT, 0, reinterpret_cast<LPARAM>("CHARLIE")));
  EXPECT_EQ(Combo->GetItemIndex(), 2);
  EXPECT_EQ(SendMessageA(Combo->GetHandle(), WM_SETTEXT, 0, reinterpret_cast<LPARAM>("x")), CB_ERR);
  EXPECT_THROW(Combo->GetItems()->Get(4), EListError);
}

TEST_F(StdComboBox, MouseDropDownAndChoiceInWindowsOrder) {
  Make(csDropDownList, {"one", "two", "three", "four", "five", "six", "seven", "eight", "nine", "ten"});
  Combo->SetDropDownCount(4);
  Combo->SetItemIndex(0);
  Events.clear();
  // A press on the field opens the list; the list takes neither activation nor focus.
  Send(WM_LBUTTONDOWN, MK_LBUTTON, MAKELONG(20, 8));
  Send(WM_LBUTTONUP, 0, MAKELONG(20, 8));
  ASSERT_TRUE(Combo->GetDroppedDown());
  HWND L = List();
  ASSERT_NE(L, nullptr);
  EXPECT_NE(L, Combo->GetHandle());
  EXPECT_TRUE(GetWindowLongA(L, GWL_EXSTYLE) & WS_EX_NOACTIVATE);
  EXPECT_EQ(GetFocus(), Combo->GetHandle());
  EXPECT_EQ(GetCapture(), Combo->GetHandle());
  RECT LR;
  GetClientRect(L, &LR);
  EXPECT_EQ(LR.bottom, 4 * Send(CB_GETITEMHEIGHT)) << "DropDownCount rows";
  // Hover, then release on item 2.
  Send(WM_MOUSEMOVE, MK_LBUTTON, ItemPoint(1));
  Send(WM_LBUTTONUP, 0, ItemPoint(2));
  EXPECT_FALSE(Combo->GetDroppedDown());
  EXPECT_FALSE(IsWindowVisible(L));
  EXPECT_EQ(Combo->GetItemIndex(), 2);
  EXPECT_EQ(Events, (std::vector<String>{"dropdown", "select three", "closeup"}));

  // Keys: F4 opens, arrows move in the open list, Esc closes without a choice.
  Events.clear();
  Send(WM_KEYDOWN, VK_F4, 0);
  Send(WM_KEYDOWN, VK_DOWN, 0);
  Send(WM_KEYDOWN, VK_ESCAPE, 0);
  EXPECT_EQ(Combo->GetItemIndex(), 2);
  EXPECT_EQ(Events, (std::vector<String>{"dropdown", "closeup"}));
  // On a closed combo the arrows change the selection at once.
  Events.clear();
  Send(WM_KEYDOWN, VK_DOWN, 0);
  Send(WM_KEYDOWN, VK_END, 0);
  EXPECT_EQ(Combo->GetItemIndex(), 9);
  EXPECT_EQ(Events, (std::vector<String>{"select four", "select ten"}));
  // Enter in the open list accepts the highlighted item; the list scrolled to show it.
  Events.clear();
  Send(WM_KEYDOWN, VK_F4, 0);
  Send(WM_KEYDOWN, VK_HOME, 0);
  EXPECT_EQ(Send(CB_GETTOPINDEX), 0);
  Send(WM_KEYDOWN, VK_RETURN, 0);
  EXPECT_EQ(Combo->GetItemIndex(), 0);
  // A press outside closes without a choice.
  Send(WM_LBUTTONDOWN, MK_LBUTTON, MAKELONG(20, 8));
  Send(WM_LBUTTONUP, 0, MAKELONG(20, 8));
  Send(WM_LBUTTONDOWN, MK_LBUTTON, MAKELONG(250, 150));
  EXPECT_FALSE(Combo->GetDroppedDown());
  EXPECT_EQ(Combo->GetItemIndex(), 0);
  EXPECT_EQ(GetCapture(), nullptr);
}

TEST_F(StdComboBox, InjectedClicksChooseFromThePopup) {
  Make(csDropDownList, {"red", "green", "blue"});
  // The form is at (100, 100), the combo at (10, 10) in it.
  Display()->InjectButton(100 + 20, 100 + 18, 1, true);
  Display()->InjectButton(100 + 20, 100 + 18, 1, false);
  Pump();
  ASSERT_TRUE(Combo->GetDroppedDown());
  RECT L;
  GetWindowRect(List(), &L);
  int H = static_cast<int>(Send(CB_GETITEMHEIGHT));
  Display()->InjectMouseMove(L.left + 5, L.top + 1 + H + H / 2);
  Display()->InjectButton(L.left + 5, L.top + 1 + H + H / 2, 1, true);
  Display()->InjectButton(L.left + 5, L.top + 1 + H + H / 2, 1, false);
  Pump();
  EXPECT_FALSE(Combo->GetDroppedDown());
  EXPECT_EQ(Combo->GetText(), "green");
  EXPECT_EQ(Screen->GetActiveCustomForm(), Form) << "the popup never took the activation";
}

TEST_F(StdComboBox, NotificationCodesReachTheParent) {
  Make(csDropDownList, {"a", "b"});
  std::vector<int> Got;
  TWndMethod Old = Form->WindowProc;
  Form->WindowProc = [&](TMessage& M) {
    if (M.Msg == WM_COMMAND && reinterpret_cast<HWND>(M.LParam) == Combo->GetHandle()) Got.push_back(HIWORD(M.WParam));
    Form->WndProc(M);
  };
  Send(CB_SHOWDROPDOWN, TRUE);
  Send(WM_LBUTTONUP, 0, ItemPoint(1));
  Send(CB_SHOWDROPDOWN, TRUE);
  Send(CB_SHOWDROPDOWN, FALSE);
  Form->WindowProc = Old;
  EXPECT_EQ(Got, (std::vector<int>{CBN_DROPDOWN, CBN_SELCHANGE, CBN_CLOSEUP, CBN_SELENDOK, CBN_DROPDOWN, CBN_CLOSEUP,
                                   CBN_SELENDCANCEL}));
}

TEST_F(StdComboBox, DropDownStyleEditsThroughItsInnerEdit) {
  Make(csDropDown, {"apple", "banana"});
  HWND Edit = Combo->GetEditHandle();
  ASSERT_NE(Edit, nullptr);
  Combo->SetFocus();
  EXPECT_EQ(GetFocus(), Edit);
  EXPECT_TRUE(Combo->Focused());
  Events.clear();
  Display()->InjectChar("kiwi");
  Pump();
  EXPECT_EQ(Combo->GetText(), "kiwi");
  EXPECT_EQ(Combo->GetItemIndex(), -1);
  EXPECT_EQ(Events.size(), 4u) << "OnChange per typed character";
  // Choosing an item puts its text into the inner edit.
  Send(WM_KEYDOWN, VK_DOWN, 0);
  EXPECT_EQ(Combo->GetText(), "apple");
  Combo->SetItemIndex(1);
  EXPECT_EQ(Combo->GetText(), "banana");
  // The items survive a new window; so does the selection.
  Combo->SetSorted(true);
  EXPECT_EQ(Combo->GetItems()->GetCount(), 2);
  EXPECT_EQ(Combo->GetText(), "banana");
  Combo->GetItems()->Clear();
  EXPECT_EQ(Combo->GetText(), "banana") << "clearing the items keeps the edited text";
}

TEST_F(StdComboBox, OwnerDrawItemsAndField) {
  std::vector<std::pair<int, TOwnerDrawState>> Drawn;
  Form = NewForm(100, 100, 300, 200);
  Combo = Add<TComboBox>(Form, "Combo", 10, 10, 150, 24);
  Combo->SetStyle(csOwnerDrawFixed);
  Combo->SetItemHeight(18);
  Combo->GetItems()->Add("x");
  Combo->GetItems()->Add("y");
  Combo->OnDrawItem = [&](TWinControl*, int Index, const TRect& R, TOwnerDrawState State) {
    Drawn.push_back({Index, State});
    Combo->GetCanvas()->GetBrush()->SetColor(Index == 1 ? clRed : clLime);
    Combo->GetCanvas()->FillRect(R);
  };
  Form->Show();
  Combo->SetItemIndex(1);
  Pump();
  EXPECT_EQ(Send(CB_GETITEMHEIGHT), 18);
  EXPECT_EQ(Pixel(Form, 10 + 20, 10 + 12), clRed) << "the field shows the selected item";
  bool Field = false;
  for (auto& [I, S] : Drawn) Field = Field || (I == 1 && (S & odComboBoxEdit));
  EXPECT_TRUE(Field);
  Drawn.clear();
  Combo->SetDroppedDown(true);
  Pump();
  bool Listed = false;
  for (auto& [I, S] : Drawn) Listed = Listed || (I == 0 && !(S & odComboBoxEdit));
  EXPECT_TRUE(Listed) << "the open list draws through OnDrawItem too";
  Combo->SetDroppedDown(false);
}

// CharCase converts the items the window takes and the text typed into the inner edit.
TEST_F(StdComboBox, CharCaseConvertsItemsAndTyping) {
  Make(csDropDown, {"Apple", "banana"});
  Combo->SetItemIndex(1);
  Combo->SetCharCase(ecUpperCase);
  EXPECT_EQ(Combo->GetCharCase(), ecUpperCase);
  EXPECT_EQ(Combo->GetItems()->Get(0), "APPLE");
  EXPECT_EQ(Combo->GetItemIndex(), 1) << "the new window keeps the selection";
  Combo->GetItems()->Add("Cherry");
  EXPECT_EQ(Combo->GetItems()->Get(2), "CHERRY");
  Combo->SetText("");
  Combo->SetFocus();
  Display()->InjectChar("kiwi");
  Pump();
  EXPECT_EQ(Combo->GetText(), "KIWI");
  Combo->SetCharCase(ecLowerCase);
  EXPECT_EQ(Combo->GetItems()->Get(1), "banana");
  Combo->SetCharCase(ecNormal);
  Combo->GetItems()->Add("Mixed");
  EXPECT_EQ(Combo->GetItems()->Get(3), "Mixed");
}

// The combo names its parts, so that a control over it can subclass the edit and the list.
TEST_F(StdComboBox, ComboBoxInfoNamesTheEditAndTheList) {
  for (TComboBoxStyle Style : {csDropDown, csDropDownList}) {
    Make(Style, {"one", "two"});
    COMBOBOXINFO Info;
    ASSERT_TRUE(GetComboBoxInfo(Combo->GetHandle(), &Info));
    EXPECT_EQ(Info.hwndCombo, Combo->GetHandle());
    EXPECT_EQ(Info.hwndItem, Style == csDropDown ? Combo->GetEditHandle() : Combo->GetHandle());
    ASSERT_NE(Info.hwndList, nullptr);
    EXPECT_EQ(Info.hwndList, Combo->GetListHandle());
    EXPECT_LE(Info.rcItem.right, Info.rcButton.left) << "the field lies left of the button";
    EXPECT_EQ(Info.rcButton.right, Combo->GetClientWidth() - 2);
    Combo->SetDroppedDown(true);
    EXPECT_EQ(List(), Info.hwndList) << "the open list is that window";
    Combo->SetDroppedDown(false);
    Info.cbSize = 0;
    EXPECT_FALSE(GetComboBoxInfo(Combo->GetHandle(), &Info)) << "a record of another size";
  }
  EXPECT_FALSE(GetComboBoxInfo(nullptr, nullptr));
}

// Switching between the styles makes a new window that keeps the items, the selection and
// the text.
TEST_F(StdComboBox, StyleChangesKeepItemsAndSelection) {
  Make(csDropDown, {"red", "green", "blue"});
  Combo->GetItems()->PutObject(2, reinterpret_cast<TObject*>(7));
  Combo->SetItemIndex(2);
  for (TComboBoxStyle Style : {csDropDownList, csOwnerDrawFixed, csDropDown, csSimple, csDropDownList}) {
    Combo->SetStyle(Style);
    EXPECT_EQ(Combo->GetItems()->GetCount(), 3) << Style;
    EXPECT_EQ(Combo->GetItemIndex(), 2) << Style;
    EXPECT_EQ(Combo->GetText(), "blue") << Style;
    EXPECT_EQ(Combo->GetItems()->GetObject(2), reinterpret_cast<TObject*>(7)) << Style;
    EXPECT_EQ(Combo->GetEditHandle() != nullptr, Style == csDropDown || Style == csSimple) << Style;
  }
}

// Setting ItemIndex reports nothing; the wheel on a closed combo moves the selection as the
// arrow keys do, unless OnMouseWheel takes it.
TEST_F(StdComboBox, ItemIndexIsQuietAndTheWheelSelects) {
  Make(csDropDownList, {"one", "two", "three"});
  Events.clear();
  Combo->SetItemIndex(1);
  Combo->SetItemIndex(1);
  EXPECT_TRUE(Events.empty());
  WPARAM Down = MAKELONG(0, static_cast<WORD>(-WHEEL_DELTA));
  Send(WM_MOUSEWHEEL, Down, 0);
  EXPECT_EQ(Combo->GetItemIndex(), 2);
  EXPECT_EQ(Events, (std::vector<String>{"select three"}));
  Combo->OnMouseWheel = [](TObject*, TShiftState, int, TPoint, bool& Handled) { Handled = true; };
  Send(WM_MOUSEWHEEL, MAKELONG(0, WHEEL_DELTA), 0);
  EXPECT_EQ(Combo->GetItemIndex(), 2);
}

}  // namespace

namespace {

// The scroll-bar styles a combo box is created with belong to its drop-down list: the combo
// window shows no scroll bar of its own, and its field reaches the drop button at its right edge.
TEST_F(StdComboBox, NoScrollBarInTheComboWindow) {
  for (TComboBoxStyle Style : {csDropDown, csDropDownList}) {
    SCOPED_TRACE(Style);
    Make(Style, {"a", "b"});
    HWND W = Combo->GetHandle();
    EXPECT_EQ(GetWindowLongA(W, GWL_STYLE) & (WS_VSCROLL | WS_HSCROLL), 0);
    RECT Window{}, Client{};
    GetWindowRect(W, &Window);
    GetClientRect(W, &Client);
    MapWindowPoints(W, nullptr, reinterpret_cast<POINT*>(&Client), 2);
    EXPECT_EQ(Client.left - Window.left, Window.right - Client.right) << "no room kept on the right";
    RECT F{};
    GetWindowRect(Form->GetHandle(), &F);
    auto At = [&](int X, int Y) { return Pixel(Form, Window.left - F.left + X, Window.top - F.top + Y); };
    // Just left of the drop button, where a scroll bar pushed it before, the field's colour
    // (the focused drop-down list shows its field selected).
    const COLORREF Field = At(150 - 24, 11);
    EXPECT_TRUE(Field == ColorToRGB(clWindow) || Field == ColorToRGB(clHighlight)) << std::hex << Field;
    // The drop button's face reaches the right edge.
    EXPECT_EQ(At(150 - 5, 4), ColorToRGB(clBtnFace));
    Form->Hide();
  }
}

}  // namespace
