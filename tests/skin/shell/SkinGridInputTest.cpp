// The grid and the user: keys, dialog codes, tab stepping, timed scrolling while selecting,
// column sizing and moving with the mouse, cancelling.
#include "tests/skin/shell/SkinGridTestSupport.h"

namespace {

TEST_F(SkinGridTest, KeysMoveTheCurrentCell) {
  MakeGrid(200, 150);  // rows 1..5 fully visible
  Grid->SetRowCount(20);
  Grid->SetColCount(8);
  struct Case {
    const char* Name;
    TGridOptions Extra;
    Word Key;
    TShiftState Shift;
    int Col, Row, TopRow;
  } Cases[] = {
      {"Down", 0, VK_DOWN, 0, 3, 4, 1},
      {"Up", 0, VK_UP, 0, 3, 2, 1},
      {"Left", 0, VK_LEFT, 0, 2, 3, 1},
      {"Right", 0, VK_RIGHT, 0, 4, 3, 1},
      {"Home", 0, VK_HOME, 0, 1, 3, 1},
      {"End", 0, VK_END, 0, 7, 3, 1},
      {"Page Down", 0, VK_NEXT, 0, 3, 7, 5},
      {"Ctrl+Home", 0, VK_HOME, ssCtrl, 1, 1, 1},
      {"Ctrl+End", 0, VK_END, ssCtrl, 7, 19, 15},
      {"Ctrl+Page Down", 0, VK_NEXT, ssCtrl, 3, 5, 1},
      {"Ctrl+Down scrolls only", 0, VK_DOWN, ssCtrl, 3, 3, 2},
      {"row select: Left is up", goRowSelect, VK_LEFT, 0, 1, 2, 1},
      {"row select: Right is down", goRowSelect, VK_RIGHT, 0, 1, 4, 1},
      {"row select: Home is the first data row", goRowSelect, VK_HOME, 0, 1, 1, 1},
      {"row select: End is the last row", goRowSelect, VK_END, 0, 1, 19, 15},
      {"row select: Ctrl+Right does nothing", goRowSelect, VK_RIGHT, ssCtrl, 1, 3, 1},
  };
  const TGridOptions Base = goFixedVertLine | goFixedHorzLine | goVertLine | goHorzLine | goRangeSelect;
  for (const Case& C : Cases) {
    Grid->SetOptions(Base);
    Grid->MoveTopLeft(1, 1);
    Grid->FocusCell(3, 3, true);
    Grid->SetOptions(Base | C.Extra);
    Grid->Key(C.Key, C.Shift);
    EXPECT_EQ(Grid->GetCol(), C.Col) << C.Name;
    EXPECT_EQ(Grid->GetRow(), C.Row) << C.Name;
    EXPECT_EQ(Grid->GetTopRow(), C.TopRow) << C.Name;
  }
}

TEST_F(SkinGridTest, DialogCodesFollowTheOptions) {
  MakeGrid();
  struct Case { TGridOptions Options; LRESULT Code; } Cases[] = {
      {0, DLGC_WANTARROWS},
      {goTabs, DLGC_WANTARROWS | DLGC_WANTTAB},
      {goEditing, DLGC_WANTARROWS | DLGC_WANTCHARS},
      {goTabs | goEditing | goRowSelect, DLGC_WANTARROWS},
  };
  for (const Case& C : Cases) {
    Grid->SetOptions(C.Options);
    EXPECT_EQ(SendMessageA(Grid->GetHandle(), WM_GETDLGCODE, 0, 0), C.Code) << C.Options;
  }
}

TEST_F(SkinGridTest, TabStepsOverColumnsThatAreNoTabStops) {
  MakeGrid(400, 150);
  Grid->SetOptions(Grid->GetOptions() | goTabs);
  Grid->SetTabStops(3, false);
  Grid->FocusCell(2, 1, true);
  Grid->Key(VK_TAB);
  EXPECT_EQ(Grid->GetCol(), 4) << "column 3 is no tab stop";
  Grid->Key(VK_TAB);
  EXPECT_EQ(Grid->GetCol(), 1);
  EXPECT_EQ(Grid->GetRow(), 2) << "wraps to the next row";
  Grid->Key(VK_TAB, ssShift);
  EXPECT_EQ(Grid->GetCol(), 4);
  EXPECT_EQ(Grid->GetRow(), 1) << "back to the previous row";
}

TEST_F(SkinGridTest, SelectingBelowTheGridScrollsOneRowPerTick) {
  MakeGrid(200, 150);
  Grid->SetRowCount(20);
  Grid->SetOptions(Grid->GetOptions() | goRowSelect);
  HWND W = Grid->GetHandle();
  SendMessageA(W, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(100, 55));  // row 2
  SendMessageA(W, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(100, 130));  // row 5, the last one shown
  EXPECT_EQ(Grid->GetSelection().Bottom, 5);
  const TPoint Below = Grid->ClientToScreen(Point(100, 200));
  ::SetCursorPos(Below.x, Below.y);
  for (int Tick = 1; Tick <= 3; ++Tick) {
    SendMessageA(W, WM_TIMER, 1, 0);
    EXPECT_EQ(Grid->GetSelection().Bottom, 5 + Tick) << Tick;
    EXPECT_EQ(Grid->GetTopRow(), 1 + Tick) << Tick;
  }
  SendMessageA(W, WM_LBUTTONUP, 0, MAKELPARAM(100, 140));
  EXPECT_EQ(Grid->GetRow(), 2);
  EXPECT_EQ(Grid->GetGridState(), gsNormal);
  SendMessageA(W, WM_TIMER, 1, 0);
  EXPECT_EQ(Grid->GetTopRow(), 4) << "no scrolling once released";
}

TEST_F(SkinGridTest, ColumnSizingStartsNearABorderOfTheTitleBand) {
  MakeGrid(400, 150);
  Grid->SetOptions(Grid->GetOptions() | goColSizing);
  HWND W = Grid->GetHandle();
  // Column 1 spans 65..128 with its line at 129; the border is at 129 (cell end) for sizing.
  struct Press { int X, Y; bool Starts; } Presses[] = {
      {126, 10, true}, {129, 10, true}, {133, 10, true}, {125, 10, false}, {134, 10, false},
      {129, 40, false},  // not in the title band
      {30, 10, false},   // inside the fixed column's title
  };
  for (const Press& P : Presses) {
    SendMessageA(W, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(P.X, P.Y));
    EXPECT_EQ(Grid->GetGridState() == gsColSizing, P.Starts) << P.X << "," << P.Y;
    SendMessageA(W, WM_CANCELMODE, 0, 0);
    EXPECT_EQ(Grid->GetGridState(), gsNormal);
  }
  struct Drag { int To, Width; } Drags[] = {{66, 64}, {65, 64}, {105, 40}, {200, 135}};
  for (const Drag& D : Drags) {
    const int Border = 65 + Grid->GetColWidths(1);
    SendMessageA(W, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(Border, 10));
    SendMessageA(W, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(D.To, 10));
    SendMessageA(W, WM_LBUTTONUP, 0, MAKELPARAM(D.To, 10));
    EXPECT_EQ(Grid->GetColWidths(1), D.Width) << D.To;
  }
  // A cancel while sizing leaves the width.
  SendMessageA(W, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(65 + 135, 10));
  SendMessageA(W, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(90, 10));
  SendMessageA(W, WM_CANCELMODE, 0, 0);
  SendMessageA(W, WM_LBUTTONUP, 0, MAKELPARAM(90, 10));
  EXPECT_EQ(Grid->GetColWidths(1), 135);
}

TEST_F(SkinGridTest, DraggingATitleCellMovesTheColumn) {
  MakeGrid(400, 150);
  Grid->SetOptions(Grid->GetOptions() | goColMoving);
  for (int C = 0; C < 5; ++C) Grid->SetCells(C, 1, std::string(1, static_cast<char>('a' + C)));
  HWND W = Grid->GetHandle();
  SendMessageA(W, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(80, 10));  // title of column 1
  EXPECT_EQ(Grid->GetGridState(), gsColMoving);
  SendMessageA(W, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(220, 40));   // over column 3
  SendMessageA(W, WM_LBUTTONUP, 0, MAKELPARAM(220, 40));
  EXPECT_EQ(Grid->GetRows(1)->GetCommaText(), "a,c,d,b,e");
  EXPECT_EQ(Grid->GetGridState(), gsNormal);
}

TEST_F(SkinGridTest, EnterAndF2SwitchTheEditorMode) {
  MakeGrid();
  Grid->SetOptions(Grid->GetOptions() | goEditing);
  char Enter = '\r';
  Grid->Char(Enter);
  EXPECT_TRUE(Grid->GetEditorMode());
  Enter = '\r';
  Grid->Char(Enter);
  EXPECT_FALSE(Grid->GetEditorMode());
  Grid->Key(VK_F2);
  EXPECT_TRUE(Grid->GetEditorMode());
  EXPECT_EQ(SendMessageA(Grid->GetHandle(), CM_WANTSPECIALKEY, VK_RETURN, 0), 1);
}

}  // namespace
