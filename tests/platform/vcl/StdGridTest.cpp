// The class library's grids (TDrawGrid, TStringGrid): layout, current cell and selection,
// errors, keys, scroll messages, mouse selection and sizing, the cell store and painting.
#include <gtest/gtest.h>

#include "platform/vcl/Grids.h"
#include "tests/platform/vcl/VclTestSupport.h"

namespace {

// A string grid whose key handler the tests call with a shift state of their own.
class TTestGrid : public TStringGrid {
public:
  using TStringGrid::TStringGrid;
  void Key(Word K, TShiftState Shift = 0) { KeyDown(K, Shift); }
};

class StdGrid : public TVclWindowTest {
protected:
  TForm* Form = nullptr;
  TTestGrid* Grid = nullptr;

  // A 5 x 5 grid of 64 x 24 cells, one fixed row and column, 1-pixel lines, no border and
  // no scroll bars, in a 200 x 100 client area.
  void MakeGrid(int W = 200, int H = 100, bool Show = true) {
    Form = NewForm(100, 100, 300, 200);
    Grid = Add<TTestGrid>(Form, "Grid", 0, 0, W, H);
    Grid->SetBorderStyle(bsNone);
    Grid->SetScrollBars(ssNone);
    if (Show) {
      Form->Show();
      Pump();
    }
  }
  static String Message(const std::function<void()>& F) {
    try {
      F();
    } catch (const EInvalidGridOperation& E) {
      return E.what();
    }
    return "";
  }
  static String Sel(const TGridRect& R) {
    return std::to_string(R.Left) + "," + std::to_string(R.Top) + "-" + std::to_string(R.Right) + "," +
           std::to_string(R.Bottom);
  }
};

TEST_F(StdGrid, CellRectsAndHitTestFollowWidthsLinesAndScrolling) {
  MakeGrid();
  EXPECT_EQ(Grid->GetVisibleColCount(), 2);
  EXPECT_EQ(Grid->GetVisibleRowCount(), 3);
  struct Case { int Col, Row; TRect Expected; } Rects[] = {
      {0, 0, {0, 0, 64, 24}},
      {1, 1, {65, 25, 129, 49}},
      {3, 1, {195, 25, 200, 49}},  // cut at the client's edge
      {4, 1, {0, 0, 0, 0}},        // past the client
      {5, 1, {0, 0, 0, 0}},        // past the count
      {-1, 0, {0, 0, 0, 0}},
  };
  for (const Case& C : Rects) EXPECT_EQ(Grid->CellRect(C.Col, C.Row), C.Expected) << C.Col << "," << C.Row;
  struct Hit { int X, Y, Col, Row; } Hits[] = {
      {0, 0, 0, 0}, {64, 24, 0, 0},  // the line belongs to the cell before it
      {65, 25, 1, 1}, {199, 99, 3, 3}, {200, 10, -1, -1}, {10, 130, -1, -1},
  };
  for (const Hit& H : Hits) {
    int C = 0, R = 0;
    Grid->MouseToCell(H.X, H.Y, C, R);
    EXPECT_EQ(C, H.Col) << H.X << "," << H.Y;
    EXPECT_EQ(R, H.Row) << H.X << "," << H.Y;
  }

  // Scrolling keeps the fixed cells and moves the others; a hidden column takes no room.
  Grid->SetTopRow(3);
  EXPECT_EQ(Grid->GetTopRow(), 2) << "no room is left unused below the last row";
  EXPECT_EQ(Grid->CellRect(1, 1), (TRect{0, 0, 0, 0}));
  EXPECT_EQ(Grid->CellRect(1, 2), (TRect{65, 25, 129, 49}));
  Grid->SetColWidths(1, -1);
  Grid->SetColWidths(2, 0);
  EXPECT_EQ(Grid->CellRect(2, 2), (TRect{65, 25, 65, 49}));
  EXPECT_EQ(Grid->CellRect(3, 2), (TRect{66, 25, 130, 49}));
  Grid->SetOptions(Grid->GetOptions() & ~goVertLine);
  EXPECT_EQ(Grid->CellRect(3, 2), (TRect{64, 25, 128, 49})) << "no vertical lines, no room for them";
}

TEST_F(StdGrid, WrongIndexesAndCountsRaiseTheClassLibraryTexts) {
  MakeGrid(200, 100, false);
  const String Range = "Grid index out of range";
  struct Case { std::function<void()> F; String Expected; } Cases[] = {
      {[&] { Grid->SetFixedCols(-1); }, Range},
      {[&] { Grid->SetFixedCols(5); }, "Fixed column count must be less than column count"},
      {[&] { Grid->SetFixedRows(5); }, "Fixed row count must be less than row count"},
      {[&] { Grid->SetColWidths(5, 10); }, Range},
      {[&] { Grid->SetRowHeights(-1, 10); }, Range},
      {[&] { Grid->SetRow(5); }, Range},
      {[&] { Grid->SetCol(-1); }, Range},
      {[&] { Grid->SetSelection(TGridRect{1, 1, 7, 2}); }, Range},
      {[&] { Grid->GetRows(5); }, Range},
      {[&] { Grid->GetRows(1)->Delete(0); }, "Cannot insert or delete rows from grid"},
      {[&] { Grid->GetCols(1)->Insert(0, "x"); }, "Cannot insert or delete rows from grid"},
  };
  for (size_t I = 0; I < std::size(Cases); ++I) EXPECT_EQ(Message(Cases[I].F), Cases[I].Expected) << I;
  EXPECT_EQ(Grid->GetCol(), 1);
  EXPECT_EQ(Grid->GetRow(), 1);
  EXPECT_EQ(Grid->GetColWidths(99), 64) << "reads outside the count answer the default";

  // Shrinking the counts takes the fixed counts and the current cell along.
  Grid->SetColCount(0);
  EXPECT_EQ(Grid->GetColCount(), 1);
  EXPECT_EQ(Grid->GetFixedCols(), 0);
  Grid->SetRowCount(3);
  Grid->SetRow(2);
  Grid->SetRowCount(2);
  EXPECT_EQ(Grid->GetRow(), 1);
}

TEST_F(StdGrid, CurrentCellFiresClickAsksSelectCellAndCollapsesTheSelection) {
  MakeGrid();
  std::vector<String> Log;
  bool Refuse = false;
  Grid->OnClick = [&](TObject*) { Log.push_back("click " + std::to_string(Grid->GetCol()) + "," + std::to_string(Grid->GetRow())); };
  Grid->OnSelectCell = [&](TObject*, int C, int R, bool& Can) {
    Log.push_back("select " + std::to_string(C) + "," + std::to_string(R));
    Can = !Refuse;
  };
  Grid->SetSelection(TGridRect{1, 1, 3, 2});
  EXPECT_EQ(Sel(Grid->GetSelection()), "1,1-3,2");
  Grid->SetRow(4);
  EXPECT_EQ(Sel(Grid->GetSelection()), "3,4-3,4");
  EXPECT_EQ(Grid->GetTopRow(), 2) << "the new row is scrolled into view";
  Refuse = true;
  Grid->SetCol(2);
  EXPECT_EQ(Grid->GetCol(), 3) << "a refused cell does not become current";
  EXPECT_EQ(Log, (std::vector<String>{"select 3,4", "click 3,4", "select 2,4", "click 3,4"}));

  Grid->SetOptions(Grid->GetOptions() | goRowSelect);
  EXPECT_EQ(Sel(Grid->GetSelection()), "1,4-4,4");
}

TEST_F(StdGrid, KeysMoveTheCurrentCellAndShiftExtendsTheSelection) {
  MakeGrid();
  Grid->SetRowCount(20);
  Grid->SetOptions(Grid->GetOptions() | goTabs);
  struct Case { Word Key; TShiftState Shift; const char* Selection; int TopRow; } Cases[] = {
      {VK_RIGHT, 0, "2,1-2,1", 1},
      {VK_LEFT, 0, "1,1-1,1", 1},
      {VK_LEFT, 0, "1,1-1,1", 1},  // stops at the fixed column
      {VK_UP, 0, "1,1-1,1", 1},
      {VK_NEXT, 0, "1,4-1,4", 2},  // a page is the rows shown
      {VK_DOWN, ssShift, "1,4-1,5", 3},
      {VK_END, ssShift, "1,4-4,5", 3},
      {VK_END, ssCtrl, "4,19-4,19", 17},
      {VK_HOME, 0, "1,19-1,19", 17},
      {VK_TAB, ssShift, "4,18-4,18", 17},  // back over the row start
      {VK_TAB, 0, "1,19-1,19", 17},
      {VK_HOME, ssCtrl, "1,1-1,1", 1},
  };
  for (const Case& C : Cases) {
    Grid->Key(C.Key, C.Shift);
    EXPECT_EQ(Sel(Grid->GetSelection()), C.Selection) << C.Key;
    EXPECT_EQ(Grid->GetTopRow(), C.TopRow) << C.Key;
  }
  EXPECT_EQ(SendMessageA(Grid->GetHandle(), WM_GETDLGCODE, 0, 0), DLGC_WANTARROWS | DLGC_WANTTAB);

  // Typed keys reach the focused grid past the form's dialog keys.
  Grid->SetFocus();
  for (unsigned K : {VK_DOWN, VK_RIGHT, VK_TAB}) {
    Display()->InjectKey(K, true);
    Display()->InjectKey(K, false);
  }
  Pump();
  EXPECT_EQ(Sel(Grid->GetSelection()), "3,2-3,2");
}

TEST_F(StdGrid, ScrollMessagesMoveTheTopLeftCell) {
  MakeGrid();
  Grid->SetRowCount(30);
  Grid->SetColCount(10);
  int Changes = 0;
  Grid->OnTopLeftChanged = [&](TObject*) { ++Changes; };
  struct Case { UINT Msg; WORD Code; WORD Pos; int Left, Top; } Cases[] = {
      {WM_VSCROLL, SB_LINEDOWN, 0, 1, 2},  {WM_VSCROLL, SB_PAGEDOWN, 0, 1, 5},
      {WM_VSCROLL, SB_LINEUP, 0, 1, 4},    {WM_VSCROLL, SB_BOTTOM, 0, 1, 27},
      {WM_VSCROLL, SB_LINEDOWN, 0, 1, 27}, {WM_VSCROLL, SB_THUMBTRACK, 3, 1, 27},  // no thumb tracking
      {WM_VSCROLL, SB_THUMBPOSITION, 9, 1, 10}, {WM_VSCROLL, SB_TOP, 0, 1, 1},
      {WM_HSCROLL, SB_PAGEDOWN, 0, 3, 1},  {WM_HSCROLL, SB_THUMBPOSITION, 40, 8, 1},
  };
  for (const Case& C : Cases) {
    SendMessageA(Grid->GetHandle(), C.Msg, MAKEWPARAM(C.Code, C.Pos), 0);
    EXPECT_EQ(Grid->GetLeftCol(), C.Left) << C.Msg << " " << C.Code;
    EXPECT_EQ(Grid->GetTopRow(), C.Top) << C.Msg << " " << C.Code;
  }
  EXPECT_EQ(Changes, 8);
  Grid->SetOptions(Grid->GetOptions() | goThumbTracking);
  SendMessageA(Grid->GetHandle(), WM_VSCROLL, MAKEWPARAM(SB_THUMBTRACK, 3), 0);
  EXPECT_EQ(Grid->GetTopRow(), 4);

  // The window's scroll bar shows the scrollable rows and the top row.
  Grid->SetScrollBars(ssVertical);
  SCROLLINFO SI{};
  SI.cbSize = sizeof(SI);
  SI.fMask = SIF_RANGE | SIF_POS;
  ASSERT_TRUE(GetScrollInfo(Grid->GetHandle(), SB_VERT, &SI));
  EXPECT_EQ(SI.nMax, 26);
  EXPECT_EQ(SI.nPos, 3);
  Grid->SetTopRow(20);
  GetScrollInfo(Grid->GetHandle(), SB_VERT, &SI);
  EXPECT_EQ(SI.nPos, 19);
}

TEST_F(StdGrid, MouseSelectsCellsAndRangesAndSizesColumns) {
  MakeGrid();
  HWND W = Grid->GetHandle();
  int Clicks = 0;
  Grid->OnClick = [&](TObject*) { ++Clicks; };
  SendMessageA(W, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(140, 30));
  SendMessageA(W, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(70, 80));
  SendMessageA(W, WM_LBUTTONUP, 0, MAKELPARAM(70, 80));
  EXPECT_EQ(Sel(Grid->GetSelection()), "1,1-2,3");
  EXPECT_EQ(Grid->GetCol(), 2);
  EXPECT_EQ(Clicks, 1);
  SendMessageA(W, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(10, 10));  // a fixed cell
  SendMessageA(W, WM_LBUTTONUP, 0, MAKELPARAM(10, 10));
  EXPECT_EQ(Sel(Grid->GetSelection()), "1,1-2,3");

  // Without column sizing a press on a title edge selects nothing and sizes nothing.
  SendMessageA(W, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(129, 10));
  SendMessageA(W, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(150, 10));
  SendMessageA(W, WM_LBUTTONUP, 0, MAKELPARAM(150, 10));
  EXPECT_EQ(Grid->GetColWidths(1), 64);
  Grid->SetOptions(Grid->GetOptions() | goColSizing | goRowSizing);
  SendMessageA(W, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(129, 10));
  SendMessageA(W, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(150, 10));
  SendMessageA(W, WM_LBUTTONUP, 0, MAKELPARAM(150, 10));
  EXPECT_EQ(Grid->GetColWidths(1), 85);
  SendMessageA(W, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(20, 49));
  SendMessageA(W, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(20, 20));
  SendMessageA(W, WM_LBUTTONUP, 0, MAKELPARAM(20, 20));
  EXPECT_EQ(Grid->GetRowHeights(1), 0) << "a row dragged above its top shrinks to nothing";
  EXPECT_EQ(Sel(Grid->GetSelection()), "1,1-2,3");
  EXPECT_EQ(Clicks, 1);
}

TEST_F(StdGrid, InPlaceEditorEditsTheCurrentCell) {
  MakeGrid();
  Grid->SetOptions(Grid->GetOptions() | goEditing);
  Grid->SetCells(1, 1, "abc");
  Grid->SetFocus();
  Pump();
  auto Key = [&](unsigned K) {
    Display()->InjectKey(K, true);
    Display()->InjectKey(K, false);
    Pump();
  };
  auto Type = [&](const char* Text) {
    Display()->InjectChar(Text);
    Pump();
  };
  Key(VK_F2);
  TInplaceEdit* E = Grid->GetInplaceEditor();
  ASSERT_NE(E, nullptr);
  EXPECT_TRUE(Grid->GetEditorMode());
  EXPECT_TRUE(E->GetVisible());
  EXPECT_TRUE(E->Focused());
  EXPECT_EQ(E->GetBoundsRect(), (TRect{65, 25, 129, 49}));
  EXPECT_EQ(E->GetText(), "abc");
  Type("xy");  // replaces the selected text
  EXPECT_EQ(Grid->GetCells(1, 1), "xy");
  Key(VK_ESCAPE);
  EXPECT_EQ(Grid->GetCells(1, 1), "abc") << "Esc brings the text back";
  EXPECT_FALSE(Grid->GetEditorMode());
  EXPECT_FALSE(E->GetVisible());
  EXPECT_TRUE(Grid->Focused());

  Type("Qz");  // typing over the grid starts editing with the character
  EXPECT_EQ(Grid->GetCells(1, 1), "Qz");
  Key(VK_DOWN);
  EXPECT_EQ(Grid->GetRow(), 2);
  EXPECT_FALSE(E->GetVisible());
  EXPECT_EQ(Grid->GetCells(1, 1), "Qz");
  Key(VK_RETURN);
  EXPECT_TRUE(E->GetVisible());
  EXPECT_EQ(E->GetBoundsRect(), (TRect{65, 50, 129, 74}));
  Grid->SetCells(1, 2, "from the program");
  EXPECT_EQ(E->GetText(), "from the program");
  Key(VK_RETURN);
  EXPECT_FALSE(Grid->GetEditorMode());
  EXPECT_EQ(Grid->GetCells(1, 2), "from the program");
}

TEST_F(StdGrid, MovingColumnsAndRowsTakesCellsWidthsAndTheCurrentCell) {
  MakeGrid();
  for (int C = 0; C < 5; ++C)
    for (int R = 0; R < 5; ++R) Grid->SetCells(C, R, std::string(1, static_cast<char>('a' + C)) + std::to_string(R));
  Grid->SetColWidths(1, 30);
  Grid->SetCol(1);
  std::vector<String> Log;
  Grid->OnColumnMoved = [&](TObject*, int F, int T) { Log.push_back("col " + std::to_string(F) + ">" + std::to_string(T)); };
  Grid->OnRowMoved = [&](TObject*, int F, int T) { Log.push_back("row " + std::to_string(F) + ">" + std::to_string(T)); };
  Grid->SetOptions(Grid->GetOptions() | goColMoving | goRowMoving);
  HWND W = Grid->GetHandle();
  // Drag the title of column 1 (x 65..95) onto column 3 (x 161..225).
  SendMessageA(W, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(80, 10));
  SendMessageA(W, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(170, 10));
  SendMessageA(W, WM_LBUTTONUP, 0, MAKELPARAM(170, 10));
  EXPECT_EQ(Grid->GetRows(2)->GetCommaText(), "a2,c2,d2,b2,e2");
  EXPECT_EQ(Grid->GetColWidths(3), 30);
  EXPECT_EQ(Grid->GetColWidths(1), 64);
  EXPECT_EQ(Grid->GetCol(), 3) << "the current cell moves with its column";
  Grid->MoveRow(4, 1);
  EXPECT_EQ(Grid->GetCols(0)->GetCommaText(), "a0,a4,a1,a2,a3");
  EXPECT_EQ(Grid->GetRow(), 2);
  EXPECT_EQ(Log, (std::vector<String>{"col 1>3", "row 4>1"}));
  EXPECT_EQ(Message([&] { Grid->MoveColumn(0, 5); }), "Grid index out of range");
}

TEST_F(StdGrid, StringGridStoresCellsSparselyWithLineViews) {
  MakeGrid(200, 100, false);
  TObject Tag;
  EXPECT_EQ(Grid->GetCells(50, 70), "") << "reads outside the counts are empty";
  EXPECT_EQ(Grid->GetCells(2000000000, 2000000000), "");
  Grid->SetCells(300, 70000, "far");  // kept without room for the cells between
  EXPECT_EQ(Grid->GetCells(300, 70000), "far");
  // Negative indexes and indexes past what the store can address are list errors that
  // store nothing.
  EXPECT_THROW(Grid->SetCells(-1, 0, "x"), EListError);
  EXPECT_THROW(Grid->SetCells(0, -1, "x"), EListError);
  EXPECT_THROW(Grid->GetCells(0, -1), EListError);
  EXPECT_THROW(Grid->SetCells(2000000000, 1, "x"), EListError);
  EXPECT_EQ(Grid->GetCells(0, 1), "");
  Grid->SetCells(2, 3, "b");
  Grid->SetObjects(2, 3, &Tag);
  EXPECT_EQ(Grid->GetRows(3)->GetCommaText(), ",,b,,");
  EXPECT_EQ(Grid->GetCols(2)->GetObject(3), &Tag);

  TStringList L;
  L.SetText("r0\nr1\nr2\nr3\nr4\nr5\nr6\n");
  Grid->GetRows(1)->Assign(&L);
  EXPECT_EQ(Grid->GetCells(4, 1), "r4");
  EXPECT_EQ(Grid->GetCells(5, 1), "") << "only as many cells as the row has";
  EXPECT_EQ(Grid->GetCols(0)->Add("new"), 0);
  EXPECT_EQ(Grid->GetCols(0)->Add("next"), 2);
  Grid->GetRows(3)->Clear();
  EXPECT_EQ(Grid->GetCells(2, 3), "");
  EXPECT_EQ(Grid->GetObjects(2, 3), nullptr);

  // Smaller counts discard nothing: the cells stay readable and show again when the counts
  // grow back (the hidden tables write beyond their counts and read it back).
  Grid->SetCells(4, 4, "corner");
  Grid->SetRowCount(4);
  Grid->SetColCount(3);
  EXPECT_EQ(Grid->GetCells(4, 4), "corner");
  Grid->SetCells(6, 9, "beyond");
  EXPECT_EQ(Grid->GetCells(6, 9), "beyond");
  Grid->SetRowCount(5);
  Grid->SetColCount(5);
  EXPECT_EQ(Grid->GetCells(4, 4), "corner");
  EXPECT_EQ(Grid->GetCells(4, 1), "r4");
  EXPECT_EQ(Grid->GetCells(2, 1), "r2");
}

TEST_F(StdGrid, PaintsFixedSelectedAndPlainCellsAndTheText) {
  MakeGrid();
  Grid->SetColor(clWhite);
  Grid->SetFixedColor(clYellow);
  Grid->SetCtl3D(false);
  Grid->SetSelection(TGridRect{1, 1, 2, 1});
  Grid->SetCells(1, 2, "MMMM");
  Grid->OnDrawCell = [](TObject* S, int C, int R, TRect Rect, TGridDrawState St) {
    if (C == 3 && R == 3 && !(St & (gdFixed | gdSelected))) {
      TCanvas* Cv = static_cast<TStringGrid*>(S)->GetCanvas();
      Cv->GetBrush()->SetColor(clRed);
      Cv->FillRect(TRect{Rect.left + 4, Rect.top + 4, Rect.left + 10, Rect.top + 10});
    }
  };
  Grid->SetFocus();
  Grid->Repaint();
  Pump();
  const COLORREF Highlight = GetSysColor(COLOR_HIGHLIGHT);
  struct Case { int X, Y; COLORREF Expected; } Cases[] = {
      {10, 10, RGB(255, 255, 0)},   // fixed
      {64, 10, RGB(0, 0, 0)},       // fixed line
      {100, 30, Highlight},         // selected
      {140, 30, RGB(255, 255, 255)},  // selected but focused: plain with a focus frame
      {100, 60, RGB(255, 255, 255)},
      {129, 60, RGB(192, 192, 192)},  // plain line
      {199, 80, RGB(255, 0, 0)},      // OnDrawCell's paint in cell (3, 3)
      {199, 77, RGB(255, 255, 255)},
  };
  for (const Case& C : Cases) EXPECT_EQ(Pixel(Form, C.X, C.Y), C.Expected) << C.X << "," << C.Y;
  int Dark = 0;
  for (int X = 66; X < 128; ++X)
    for (int Y = 51; Y < 73; ++Y)
      if (GetRValue(Pixel(Form, X, Y)) < 128) ++Dark;
  EXPECT_GT(Dark, 20) << "the cell's text is written";
}

// A grid that extends the scroll bar handlers and answers a style without a list editor.
class TScrollHookGrid : public TStringGrid {
public:
  using TStringGrid::TStringGrid;
  std::vector<String> Log;
  TEditStyle Style(int C, int R) { return GetEditStyle(C, R); }

protected:
  void WMVScroll(TMessage& M) override {
    TStringGrid::WMVScroll(M);
    Log.push_back("v " + std::to_string(GetTopRow()));
  }
  void WMHScroll(TMessage& M) override {
    TStringGrid::WMHScroll(M);
    Log.push_back("h " + std::to_string(GetLeftCol()));
  }
};

TEST_F(StdGrid, ScrollHandlersAreExtendableAndThePlainEditorStaysSimple) {
  MakeGrid();
  auto* G = Add<TScrollHookGrid>(Form, "Hooked", 0, 100, 200, 100);
  G->SetScrollBars(ssNone);
  G->SetRowCount(30);
  G->SetColCount(10);
  SendMessageA(G->GetHandle(), WM_VSCROLL, MAKEWPARAM(SB_LINEDOWN, 0), 0);
  SendMessageA(G->GetHandle(), WM_HSCROLL, MAKEWPARAM(SB_PAGEDOWN, 0), 0);
  EXPECT_EQ(G->Log, (std::vector<String>{"v 2", "h 3"})) << "the derived handler runs after the grid scrolled";
  EXPECT_EQ(G->Style(1, 1), esSimple);
  G->SetOptions(G->GetOptions() | goEditing);
  G->SetFocus();
  G->SetEditorMode(true);
  ASSERT_NE(G->GetInplaceEditor(), nullptr);
  EXPECT_EQ(G->GetInplaceEditor()->ClassName(), "TInplaceEdit") << "a grid makes the plain editor unless told";
}

}  // namespace
