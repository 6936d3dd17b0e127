// The grid's list-style in-place editor (TInplaceEditList): the button chosen per cell, the pick
// list that drops without taking the focus, choices by keys and mouse, the ellipsis button and
// the ways the list closes.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>

#include "platform/gdi/Gdi.h"
#include "platform/vcl/GridEditList.h"
#include "tests/platform/vcl/VclTestSupport.h"

namespace {

// An editor as a program's own grid makes it: it records the style its UpdateContents sees and
// copies the grid's values into the pick list, and can add window styles of its own.
class TRecordingEdit : public TInplaceEditList {
public:
  using TInplaceEditList::TInplaceEditList;
  std::vector<TEditStyle> Seen;
  TStrings* Values = nullptr;
  DWORD ExtraStyle = 0;

protected:
  void UpdateContents() override {
    TInplaceEditList::UpdateContents();
    Seen.push_back(GetEditStyle());
    if (GetEditStyle() == esPickList && Values) {
      SetActiveList(GetPickList());
      GetPickList()->GetItems()->Assign(Values);
    }
  }
  void CreateParams(TCreateParams& Params) override {
    TInplaceEditList::CreateParams(Params);
    Params.Style |= ExtraStyle;
  }
};

class TListGrid : public TStringGrid {
public:
  using TStringGrid::TStringGrid;
  std::function<TEditStyle(int, int)> StyleOf;
  std::vector<String> Asked;
  TRecordingEdit* Editor() { return static_cast<TRecordingEdit*>(GetInplaceEditor()); }

protected:
  TInplaceEdit* CreateEditor() override { return new TRecordingEdit(this); }
  TEditStyle GetEditStyle(int ACol, int ARow) override {
    Asked.push_back(std::to_string(ACol) + "," + std::to_string(ARow));
    return StyleOf ? StyleOf(ACol, ARow) : esSimple;
  }
};

class StdGridEditList : public TVclWindowTest {
protected:
  TForm* Form = nullptr;
  TListGrid* Grid = nullptr;
  TRecordingEdit* Edit = nullptr;
  std::vector<String> Log;

  // A grid of 64 x 24 cells (one fixed row and column, 1-pixel lines, no border, no scroll
  // bars) filling a 300 x 200 form at (100, FormTop), editing cell (1, 1) = client (65, 25,
  // 129, 49) with the given style everywhere.
  void Make(TEditStyle Style, int FormTop = 100) {
    Form = NewForm(100, FormTop, 300, 200);
    Grid = Add<TListGrid>(Form, "Grid", 0, 0, 280, 150);
    Grid->SetBorderStyle(bsNone);
    Grid->SetScrollBars(ssNone);
    Grid->SetRowCount(20);
    Grid->SetOptions(Grid->GetOptions() | goEditing);
    Grid->StyleOf = [Style](int, int) { return Style; };
    Grid->SetCells(1, 1, "green");
    Form->Show();
    Pump();
    Grid->SetFocus();
    Grid->SetEditorMode(true);
    Pump();
    Edit = Grid->Editor();
    ASSERT_NE(Edit, nullptr);
    Edit->OnGetPickListItems = [this](int C, int R, TStrings* Items) {
      Log.push_back("items " + std::to_string(C) + "," + std::to_string(R));
      for (const char* S : {"red", "green", "blue"}) Items->Add(S);
    };
    Edit->OnEditButtonClick = [this](TObject* Sender) { Log.push_back(Sender == Grid ? "button grid" : "button ?"); };
  }
  HWND EditWnd() { return Edit->GetHandle(); }
  HWND ListWnd() { return Edit->GetPickList()->GetHandle(); }
  LRESULT Key(UINT Msg, WPARAM K, LPARAM Data = 0) { return SendMessageA(EditWnd(), Msg, K, Data); }
  void Down(WPARAM K) { Key(WM_KEYDOWN, K); }
  void AltDown(WPARAM K) { Key(WM_SYSKEYDOWN, K, 0x20000000); }
  void Mouse(HWND W, UINT Msg, int X, int Y) { SendMessageA(W, Msg, Msg == WM_LBUTTONUP ? 0 : MK_LBUTTON, MAKELPARAM(X, Y)); }
  // A point of the button of the editor, in its client coordinates.
  POINT ButtonPoint() {
    RECT C;
    GetClientRect(EditWnd(), &C);
    return POINT{C.right - Edit->GetButtonWidth() / 2, C.bottom / 2};
  }
  // The middle of item I of the open list, in the list's client coordinates.
  POINT ItemPoint(int I) {
    RECT R{};
    SendMessageA(ListWnd(), LB_GETITEMRECT, static_cast<WPARAM>(I), reinterpret_cast<LPARAM>(&R));
    return POINT{(R.left + R.right) / 2, (R.top + R.bottom) / 2};
  }
  RECT ScreenRect(HWND W) {
    RECT R{};
    GetWindowRect(W, &R);
    return R;
  }
  // Rows of dark pixels inside the button (its 2-pixel edge left out), each as the number of
  // separate dark runs in it.
  std::vector<int> DarkRuns(const RECT& Button) {
    std::vector<int> Rows;
    for (int Y = Button.top + 2; Y < Button.bottom - 2; ++Y) {
      int Runs = 0;
      bool In = false;
      for (int X = Button.left + 2; X < Button.right - 2; ++X) {
        bool Dark = GetRValue(Pixel(Form, X, Y)) < 64 && GetGValue(Pixel(Form, X, Y)) < 64;
        if (Dark && !In) ++Runs;
        In = Dark;
      }
      if (Runs) Rows.push_back(Runs);
    }
    return Rows;
  }
};

TEST_F(StdGridEditList, StyleAnsweredPerCellSwitchesTheButton) {
  Make(esSimple);
  Grid->StyleOf = [](int C, int) { return C == 2 ? esEllipsis : C == 3 ? esPickList : esSimple; };
  Grid->SetOptions(Grid->GetOptions() | goAlwaysShowEditor);
  Grid->SetColor(clWhite);
  Edit->SetColor(clWhite);
  const int BW = Edit->GetButtonWidth();
  ASSERT_GT(BW, 8);
  struct Case { int Col; TEditStyle Style; } Cases[] = {{2, esEllipsis}, {3, esPickList}, {1, esSimple}};
  for (const Case& C : Cases) {
    Grid->Asked.clear();
    Grid->SetCol(C.Col);
    Pump();
    EXPECT_EQ(Grid->Asked, (std::vector<String>{std::to_string(C.Col) + ",1"})) << C.Col;
    EXPECT_EQ(Edit->GetEditStyle(), C.Style) << C.Col;
    EXPECT_EQ(Edit->Seen.back(), C.Style) << "a derived editor's UpdateContents sees the new style";
    // The text stays out of the button's room.
    RECT Fmt{};
    SendMessageA(EditWnd(), EM_GETRECT, 0, reinterpret_cast<LPARAM>(&Fmt));
    EXPECT_EQ(Fmt.right, Edit->GetClientWidth() - (C.Style == esSimple ? 0 : BW)) << C.Col;
    // The button in form (= grid client) coordinates.
    TRect Cell = Grid->CellRect(C.Col, 1);
    RECT Button{Cell.right - BW, Cell.top, Cell.right, Cell.bottom};
    std::vector<int> Rows = DarkRuns(Button);
    COLORREF Face = Pixel(Form, Button.left + 3, Button.top + 3);
    switch (C.Style) {
      case esSimple:
        EXPECT_TRUE(Rows.empty());
        EXPECT_EQ(Face, RGB(255, 255, 255));
        break;
      case esEllipsis:
        EXPECT_EQ(Face, GetSysColor(COLOR_BTNFACE));
        ASSERT_FALSE(Rows.empty());
        EXPECT_EQ(*std::max_element(Rows.begin(), Rows.end()), 3) << "three dots";
        break;
      case esPickList:
        EXPECT_EQ(Face, GetSysColor(COLOR_BTNFACE));
        EXPECT_GE(Rows.size(), 3u) << "an arrow of several rows";
        EXPECT_EQ(*std::max_element(Rows.begin(), Rows.end()), 1) << "each row one run";
        break;
    }
  }
}

TEST_F(StdGridEditList, PickListDropsBelowTheCellWithoutTakingTheFocus) {
  Make(esPickList);
  EXPECT_TRUE(Edit->Focused());
  EXPECT_FALSE(Edit->GetListVisible());
  Down(VK_F4);
  ASSERT_TRUE(Edit->GetListVisible());
  HWND L = ListWnd();
  EXPECT_TRUE(IsWindowVisible(L));
  EXPECT_TRUE(GetWindowLongA(L, GWL_EXSTYLE) & WS_EX_NOACTIVATE);
  EXPECT_EQ(GetFocus(), EditWnd());
  EXPECT_EQ(Screen->GetActiveCustomForm(), Form);
  RECT E = ScreenRect(EditWnd()), LR = ScreenRect(L);
  EXPECT_EQ(E.left, 100 + 65);
  EXPECT_EQ(LR.left, E.left);
  EXPECT_EQ(LR.top, E.bottom) << "below the cell";
  EXPECT_GE(LR.right - LR.left, E.right - E.left);
  int IH = static_cast<int>(SendMessageA(L, LB_GETITEMHEIGHT, 0, 0));
  EXPECT_EQ(LR.bottom - LR.top, 3 * IH + 2) << "three values, no more rows";
  EXPECT_EQ(Edit->GetPickList()->GetItemIndex(), 1) << "the cell's value is chosen";
  EXPECT_EQ(Log, (std::vector<String>{"items 1,1"}));
  Down(VK_F4);
  EXPECT_FALSE(Edit->GetListVisible());
  EXPECT_FALSE(IsWindowVisible(L));
  Down(VK_F4);
  Down(VK_F4);
  EXPECT_EQ(Log.size(), 1u) << "the values are asked once per cell";

  // Fewer rows than values: DropDownRows rows and a scroll bar.
  Edit->SetDropDownRows(2);
  Down(VK_F4);
  LR = ScreenRect(L);
  EXPECT_EQ(LR.bottom - LR.top, 2 * IH + 2);
  Down(VK_F4);
}

TEST_F(StdGridEditList, PickListDropsAboveTheCellNearTheScreenBottom) {
  Make(esPickList, 1024 - 60);  // the cell ends 11 pixels above the screen's bottom
  AltDown(VK_DOWN);
  ASSERT_TRUE(Edit->GetListVisible());
  RECT E = ScreenRect(EditWnd()), LR = ScreenRect(ListWnd());
  EXPECT_EQ(LR.bottom, E.top);
  EXPECT_EQ(LR.left, E.left);
  AltDown(VK_UP);
  EXPECT_FALSE(Edit->GetListVisible());
}

TEST_F(StdGridEditList, KeyboardChoiceWritesTheCellAndEscapeKeepsTheOldText) {
  Make(esPickList);
  std::vector<String> Sets;
  Grid->OnSetEditText = [&](TObject*, int C, int R, const String& V) {
    Sets.push_back(std::to_string(C) + "," + std::to_string(R) + "=" + V);
  };
  AltDown(VK_DOWN);
  Down(VK_DOWN);
  EXPECT_EQ(Edit->GetPickList()->GetItemIndex(), 2);
  Key(WM_CHAR, 'x');
  EXPECT_EQ(Edit->GetText(), "green") << "typing goes to the open list";
  Down(VK_ESCAPE);
  EXPECT_FALSE(Edit->GetListVisible());
  EXPECT_EQ(Edit->GetText(), "green");
  EXPECT_EQ(Grid->GetCells(1, 1), "green");
  EXPECT_TRUE(Grid->GetEditorMode()) << "Esc on the open list closes only the list";
  EXPECT_TRUE(Sets.empty());

  Down(VK_F4);
  Down(VK_UP);
  Down(VK_UP);
  Down(VK_UP);
  Down(VK_RETURN);
  EXPECT_FALSE(Edit->GetListVisible());
  EXPECT_EQ(Edit->GetText(), "red");
  EXPECT_EQ(Grid->GetCells(1, 1), "red");
  EXPECT_EQ(Sets, (std::vector<String>{"1,1=red"}));
  EXPECT_TRUE(Grid->GetEditorMode());
  // Alt+Up on the open list accepts too; PgDn goes to the end.
  AltDown(VK_UP);
  Down(VK_NEXT);
  AltDown(VK_UP);
  EXPECT_EQ(Grid->GetCells(1, 1), "blue");
  // With the list closed the keys are the grid's again.
  Down(VK_DOWN);
  EXPECT_EQ(Grid->GetRow(), 2);
}

TEST_F(StdGridEditList, MouseChoiceWritesTheCell) {
  Make(esPickList);
  POINT B = ButtonPoint();
  // A press on the button drops the list and shows the button pressed until the release.
  Mouse(EditWnd(), WM_LBUTTONDOWN, B.x, B.y);
  ASSERT_TRUE(Edit->GetListVisible());
  EXPECT_TRUE(Edit->GetPressed());
  EXPECT_EQ(GetCapture(), EditWnd());
  Mouse(EditWnd(), WM_LBUTTONUP, B.x, B.y);
  EXPECT_FALSE(Edit->GetPressed());
  EXPECT_TRUE(Edit->GetListVisible());
  EXPECT_EQ(GetCapture(), nullptr);
  // A click on an item chooses it.
  POINT I = ItemPoint(2);
  Mouse(ListWnd(), WM_LBUTTONDOWN, I.x, I.y);
  Mouse(ListWnd(), WM_LBUTTONUP, I.x, I.y);
  EXPECT_FALSE(Edit->GetListVisible());
  EXPECT_EQ(Grid->GetCells(1, 1), "blue");
  EXPECT_EQ(GetFocus(), EditWnd());

  // Press on the button, drag into the list, release on an item.
  Mouse(EditWnd(), WM_LBUTTONDOWN, B.x, B.y);
  POINT P = ItemPoint(0);
  MapWindowPoints(ListWnd(), EditWnd(), &P, 1);
  Mouse(EditWnd(), WM_MOUSEMOVE, P.x, P.y);
  EXPECT_EQ(GetCapture(), ListWnd()) << "the list took the press over";
  I = ItemPoint(0);
  Mouse(ListWnd(), WM_LBUTTONUP, I.x, I.y);
  EXPECT_EQ(Grid->GetCells(1, 1), "red");

  // A release outside the list closes it without a choice; a press on the button of the open
  // list closes it too.
  Down(VK_F4);
  I = ItemPoint(1);
  Mouse(ListWnd(), WM_LBUTTONDOWN, I.x, I.y);
  Mouse(ListWnd(), WM_LBUTTONUP, I.x, -30);
  EXPECT_FALSE(Edit->GetListVisible());
  EXPECT_EQ(Grid->GetCells(1, 1), "red");
  Down(VK_F4);
  Mouse(EditWnd(), WM_LBUTTONDOWN, B.x, B.y);
  Mouse(EditWnd(), WM_LBUTTONUP, B.x, B.y);
  EXPECT_FALSE(Edit->GetListVisible());

  // A double click in the text steps through the values, wrapping at the end.
  std::vector<String> Steps;
  for (int K = 0; K < 3; ++K) {
    Mouse(EditWnd(), WM_LBUTTONDBLCLK, 5, 5);
    Mouse(EditWnd(), WM_LBUTTONUP, 5, 5);
    Steps.push_back(Grid->GetCells(1, 1));
  }
  EXPECT_EQ(Steps, (std::vector<String>{"green", "blue", "red"}));
  EXPECT_FALSE(Edit->GetListVisible());
}

TEST_F(StdGridEditList, InjectedClickOnTheListChoosesWithoutActivatingIt) {
  Make(esPickList);
  RECT E = ScreenRect(EditWnd());
  POINT B = ButtonPoint();
  Display()->InjectButton(E.left + B.x, E.top + B.y, 1, true);
  Display()->InjectButton(E.left + B.x, E.top + B.y, 1, false);
  Pump();
  ASSERT_TRUE(Edit->GetListVisible());
  POINT I = ItemPoint(0);
  ClientToScreen(ListWnd(), &I);
  Display()->InjectMouseMove(I.x, I.y);
  Display()->InjectButton(I.x, I.y, 1, true);
  Display()->InjectButton(I.x, I.y, 1, false);
  Pump();
  EXPECT_FALSE(Edit->GetListVisible());
  EXPECT_EQ(Grid->GetCells(1, 1), "red");
  EXPECT_EQ(Screen->GetActiveCustomForm(), Form);
  EXPECT_EQ(GetFocus(), EditWnd());
}

TEST_F(StdGridEditList, ListClosesOnAPressElsewhereOnFocusLossAndOnScrolling) {
  Make(esPickList);
  auto* Other = Add<TBox>(Form, "Other", 285, 160, 10, 10);
  struct Case { const char* What; std::function<void()> Do; } Cases[] = {
      {"press on the form", [&] {
         Display()->InjectButton(100 + 150, 100 + 180, 1, true);
         Display()->InjectButton(100 + 150, 100 + 180, 1, false);
         Pump();
       }},
      {"press on a grid cell", [&] {
         Mouse(Grid->GetHandle(), WM_LBUTTONDOWN, 200, 30);
         Mouse(Grid->GetHandle(), WM_LBUTTONUP, 200, 30);
       }},
      {"focus elsewhere", [&] { Other->SetFocus(); }},
      {"scrolling", [&] { SendMessageA(Grid->GetHandle(), WM_VSCROLL, SB_LINEDOWN, 0); }},
      {"hiding the grid", [&] { Grid->Hide(); }},
  };
  for (const Case& C : Cases) {
    Grid->Show();
    Grid->SetTopRow(1);
    Grid->SetCol(1);
    Grid->SetRow(1);
    Grid->SetFocus();
    Grid->SetEditorMode(true);
    Down(VK_F4);
    ASSERT_TRUE(Edit->GetListVisible()) << C.What;
    Down(VK_DOWN);
    C.Do();
    EXPECT_FALSE(Edit->GetListVisible()) << C.What;
    EXPECT_FALSE(IsWindowVisible(ListWnd())) << C.What;
    EXPECT_EQ(Grid->GetCells(1, 1), "green") << C.What << ": closed without a choice";
  }
}

TEST_F(StdGridEditList, EllipsisButtonClicksByMouseCtrlEnterAndDoubleClick) {
  Make(esEllipsis);
  POINT B = ButtonPoint();
  Mouse(EditWnd(), WM_LBUTTONDOWN, B.x, B.y);
  EXPECT_TRUE(Edit->GetPressed());
  EXPECT_FALSE(Edit->GetListVisible()) << "an ellipsis button drops nothing";
  Mouse(EditWnd(), WM_LBUTTONUP, B.x, B.y);
  EXPECT_EQ(Log, (std::vector<String>{"button grid"}));
  // Pressed, moved off and released: no click.
  Mouse(EditWnd(), WM_LBUTTONDOWN, B.x, B.y);
  Mouse(EditWnd(), WM_MOUSEMOVE, 3, B.y);
  EXPECT_FALSE(Edit->GetPressed());
  Mouse(EditWnd(), WM_LBUTTONUP, 3, B.y);
  EXPECT_EQ(Log.size(), 1u);

  // Ctrl+Enter clicks the button and leaves the editor and its text alone.
  Display()->InjectKey(VK_CONTROL, true);
  Display()->InjectKey(VK_RETURN, true);
  Display()->InjectKey(VK_RETURN, false);
  Display()->InjectKey(VK_CONTROL, false);
  Pump();
  EXPECT_EQ(Log.size(), 2u);
  EXPECT_TRUE(Grid->GetEditorMode());
  EXPECT_EQ(Edit->GetText(), "green");
  Mouse(EditWnd(), WM_LBUTTONDBLCLK, 5, 5);
  Mouse(EditWnd(), WM_LBUTTONUP, 5, 5);
  EXPECT_EQ(Log.size(), 3u);
  // Enter alone still ends editing.
  Down(VK_RETURN);
  EXPECT_FALSE(Grid->GetEditorMode());
  EXPECT_EQ(Log.size(), 3u);
}

TEST_F(StdGridEditList, DerivedEditorValuesAndRecreatedWindowKeepTheirState) {
  TStringList Values;
  Values.Add("left");
  Values.Add("right");
  Make(esPickList);
  Edit->OnGetPickListItems = nullptr;
  Edit->Values = &Values;
  Grid->SetEditorMode(false);
  Grid->SetEditorMode(true);
  Down(VK_F4);
  ASSERT_TRUE(Edit->GetListVisible());
  EXPECT_EQ(Edit->GetPickList()->GetItems()->GetCommaText(), "left,right") << "the copied values drop";
  EXPECT_EQ(Edit->GetPickList()->GetItemIndex(), -1) << "the text is none of them";

  // A new window (a new alignment) closes the list and keeps text, style and button room.
  Edit->ExtraStyle = ES_RIGHT;
  Edit->RecreateWnd();
  EXPECT_FALSE(Edit->GetListVisible());
  EXPECT_TRUE(GetWindowLongA(EditWnd(), GWL_STYLE) & ES_RIGHT);
  EXPECT_EQ(Edit->GetText(), "green");
  EXPECT_TRUE(Edit->GetVisible());
  EXPECT_EQ(Edit->GetEditStyle(), esPickList);
  RECT Fmt{};
  SendMessageA(EditWnd(), EM_GETRECT, 0, reinterpret_cast<LPARAM>(&Fmt));
  EXPECT_EQ(Fmt.right, Edit->GetClientWidth() - Edit->GetButtonWidth());
  Down(VK_F4);
  Down(VK_DOWN);
  Down(VK_RETURN);
  EXPECT_EQ(Grid->GetCells(1, 1), "left");
}

}  // namespace
