// What the application relies on of its tables: cells by (column, row) independent of the
// counts, counts and fixed counts, row views and Assign, Row / Selection / ColWidths, and which
// actions raise OnClick and OnSelectCell.
#include "tests/skin/shell/SkinGridTestSupport.h"

namespace {

TEST_F(SkinGridTest, CellsAreStoredAndReadIndependentlyOfTheCounts) {
  MakeGrid(200, 100, false);
  TObject Tag;
  struct Case { int Col, Row; } Never[] = {{0, 0}, {4, 4}, {70, 2}, {3, 9999}, {100000, 100000}};
  for (const Case& C : Never) {
    EXPECT_EQ(Grid->GetCells(C.Col, C.Row), "") << C.Col << "," << C.Row;
    EXPECT_EQ(Grid->GetObjects(C.Col, C.Row), nullptr);
  }
  // Writes beyond the counts are kept and read back (the device queue writes column 21 of a
  // 21-column table before growing it).
  Grid->SetCells(21, 1, "beyond the columns");
  Grid->SetCells(2, 10, "beyond the rows");
  Grid->SetObjects(3, 12, &Tag);
  EXPECT_EQ(Grid->GetCells(21, 1), "beyond the columns");
  EXPECT_EQ(Grid->GetCells(2, 10), "beyond the rows");
  EXPECT_EQ(Grid->GetObjects(3, 12), &Tag);
  EXPECT_EQ(Grid->GetRowCount(), 5) << "writing never changes the counts";
  EXPECT_EQ(Grid->GetColCount(), 5);

  // Smaller counts discard nothing; larger ones show the old cells again.
  Grid->SetCells(1, 1, "row one");
  Grid->SetRowCount(1);
  Grid->SetColCount(1);
  EXPECT_EQ(Grid->GetCells(1, 1), "row one");
  Grid->SetRowCount(11);
  Grid->SetColCount(22);
  EXPECT_EQ(Grid->GetCells(1, 1), "row one");
  EXPECT_EQ(Grid->GetCells(2, 10), "beyond the rows");

  // An empty text removes the cell; a cell with an object keeps it.
  Grid->SetCells(21, 1, "");
  EXPECT_EQ(Grid->GetCells(21, 1), "");
  Grid->SetCells(3, 12, "x");
  Grid->SetCells(3, 12, "");
  EXPECT_EQ(Grid->GetObjects(3, 12), &Tag);
}

TEST_F(SkinGridTest, NegativeIndexesAreListErrorsThatStoreNothing) {
  MakeGrid(200, 100, false);
  Grid->SetCells(0, 2, "a");
  struct Case {
    const char* Name;
    std::function<void()> F;
    const char* Message;
  } Cases[] = {
      {"read negative row", [&] { Grid->GetCells(0, -1); }, "List index out of bounds (-1)"},
      {"write negative row", [&] { Grid->SetCells(0, -3, "x"); }, "List index out of bounds (-3)"},
      {"negative column of a written row", [&] { Grid->GetCells(-2, 2); }, "List index out of bounds (-2)"},
      {"write negative column", [&] { Grid->SetCells(-1, 2, "x"); }, "List index out of bounds (-1)"},
      {"object of a negative row", [&] { Grid->GetObjects(0, -1); }, "List index out of bounds (-1)"},
  };
  for (const Case& C : Cases) {
    try {
      C.F();
      ADD_FAILURE() << C.Name << ": no error";
    } catch (const EListError& E) {
      EXPECT_STREQ(E.what(), C.Message) << C.Name;
    }
  }
  EXPECT_EQ(Grid->GetCells(-1, 5), "") << "a negative column of a row without cells reads empty";
  EXPECT_EQ(Grid->GetCells(0, 2), "a");
}

TEST_F(SkinGridTest, RowViewsCopyExactlyColCountCellsWithObjects) {
  MakeGrid(200, 100, false);
  Grid->SetColCount(4);
  TObject A, B;
  for (int C = 0; C < 6; ++C) Grid->SetCells(C, 1, "old" + std::to_string(C));
  Grid->SetCells(0, 2, "new0");
  Grid->SetObjects(1, 2, &A);
  Grid->SetCells(3, 2, "new3");
  Grid->SetCells(5, 2, "new5");  // beyond ColCount: not copied
  Grid->SetObjects(0, 1, &B);

  TStrings* Row1 = Grid->GetRows(1);
  EXPECT_EQ(Row1, Grid->GetRows(1)) << "the view is cached";
  EXPECT_EQ(Row1->GetCount(), 4);
  Row1->Assign(Grid->GetRows(2));
  const char* Expected[] = {"new0", "", "", "new3", "old4", "old5"};
  for (int C = 0; C < 6; ++C) EXPECT_EQ(Grid->GetCells(C, 1), Expected[C]) << C;
  EXPECT_EQ(Grid->GetObjects(0, 1), nullptr) << "objects are copied too, nil included";
  EXPECT_EQ(Grid->GetObjects(1, 1), &A);

  // A longer source list copies only ColCount entries; a shorter one leaves the rest.
  TStringList L;
  L.SetCommaText("a,b");
  Grid->GetRows(3)->SetCommaText("p,q,r,s,t,u");
  EXPECT_EQ(Grid->GetCells(3, 3), "s");
  EXPECT_EQ(Grid->GetCells(4, 3), "") << "only ColCount cells";
  Grid->GetRows(3)->Assign(&L);
  EXPECT_EQ(Grid->GetRows(3)->GetCommaText(), "a,b,r,s");

  // Add, Clear, Insert and Delete of a view.
  TStrings* Row4 = Grid->GetRows(4);
  for (const char* S : {"w", "x", "y", "z"}) Row4->Add(S);
  EXPECT_EQ(Row4->Add("full"), -1);
  Grid->SetCells(2, 4, "");
  EXPECT_EQ(Row4->Add("back"), 2);
  Row4->Clear();
  EXPECT_EQ(Row4->GetCommaText(), ",,,");
  EXPECT_EQ(GridError([&] { Row4->Delete(0); }), "Cannot insert or delete rows from grid");
  EXPECT_EQ(GridError([&] { Grid->GetCols(1)->Insert(0, "x"); }), "Cannot insert or delete rows from grid");
  EXPECT_EQ(Grid->GetCols(1)->GetCount(), Grid->GetRowCount());
}

TEST_F(SkinGridTest, AssignRepaintsOnceAtTheEnd) {
  MakeGrid();
  Grid->Update();
  int Paints = 0;
  Grid->OnDrawCell = [&](TObject*, int, int, TRect, TGridDrawState) { ++Paints; };
  TStringList L;
  L.SetCommaText("1,2,3,4,5");
  Grid->GetRows(2)->Assign(&L);
  EXPECT_EQ(Paints, 0) << "nothing paints while the view updates";
  Grid->Update();
  EXPECT_GT(Paints, 0);
}

TEST_F(SkinGridTest, CountsClampAndLowerTheFixedCounts) {
  MakeGrid(200, 100, false);
  struct Case {
    const char* Name;
    std::function<void()> Op;
    int Cols, Rows, FixedCols, FixedRows;
  } Cases[] = {
      {"row count 0 becomes 1", [&] { Grid->SetRowCount(0); }, 5, 1, 1, 0},
      {"column count -5 becomes 1", [&] { Grid->SetColCount(-5); }, 1, 5, 0, 1},
      {"growing again keeps the lowered fixed count",
       [&] {
         Grid->SetRowCount(1);
         Grid->SetRowCount(8);
       },
       5, 8, 1, 0},
      {"the same value does nothing", [&] { Grid->SetRowCount(5); }, 5, 5, 1, 1},
  };
  for (const Case& C : Cases) {
    Grid->SetColCount(5);
    Grid->SetRowCount(5);
    Grid->SetFixedCols(1);
    Grid->SetFixedRows(1);
    C.Op();
    EXPECT_EQ(Grid->GetColCount(), C.Cols) << C.Name;
    EXPECT_EQ(Grid->GetRowCount(), C.Rows) << C.Name;
    EXPECT_EQ(Grid->GetFixedCols(), C.FixedCols) << C.Name;
    EXPECT_EQ(Grid->GetFixedRows(), C.FixedRows) << C.Name;
  }
  Grid->SetRowCount(5);
  Grid->SetFixedRows(1);
  Grid->SetRowCount(1);
  EXPECT_EQ(Grid->GetRow(), 0) << "current cell reset to (FixedCols, 0)";
  EXPECT_EQ(Grid->GetCol(), 1);
}

TEST_F(SkinGridTest, LayoutErrorsCarryTheClassLibraryTexts) {
  MakeGrid(200, 100, false);
  const String Range = "Grid index out of range";
  struct Case {
    std::function<void()> F;
    String Expected;
  } Cases[] = {
      {[&] { Grid->SetFixedCols(5); }, "Fixed column count must be less than column count"},
      {[&] { Grid->SetFixedRows(5); }, "Fixed row count must be less than row count"},
      {[&] { Grid->SetFixedCols(-1); }, Range},
      {[&] { Grid->SetRow(5); }, Range},
      {[&] { Grid->SetRow(-1); }, Range},
      {[&] { Grid->SetCol(5); }, Range},
      {[&] { Grid->SetColWidths(5, 10); }, Range},
      {[&] { Grid->SetColWidths(-1, 10); }, Range},
      {[&] { Grid->SetRowHeights(5, 10); }, Range},
  };
  for (size_t I = 0; I < std::size(Cases); ++I) EXPECT_EQ(GridError(Cases[I].F), Cases[I].Expected) << I;
  EXPECT_EQ(Grid->GetRow(), 1);
  EXPECT_EQ(Grid->GetColWidths(0), 64) << "a refused negative write makes no width array";
  Grid->SetDefaultColWidth(30);
  EXPECT_EQ(Grid->GetColWidths(3), 30);
}

TEST_F(SkinGridTest, ColumnWidthsReadDefaultsOutsideAndHideAtZero) {
  MakeGrid();
  Grid->SetGridLineWidth(0);
  struct Case { int Index, Expected; } Reads[] = {{0, 64}, {4, 64}, {5, 64}, {99, 64}, {-1, 64}};
  for (const Case& C : Reads) EXPECT_EQ(Grid->GetColWidths(C.Index), C.Expected) << C.Index;
  Grid->SetColWidths(2, 0);
  EXPECT_EQ(Grid->GetColWidths(2), 0);
  EXPECT_EQ(Grid->GetColWidths(3), 64);
  EXPECT_EQ(Grid->CellRect(3, 1).left, 128) << "a zero-width column takes no pixels";
  Grid->SetDefaultColWidth(20);
  EXPECT_EQ(Grid->GetColWidths(2), 20) << "a new default discards individual widths";
  Grid->SetDefaultColWidth(0);
  for (int I = 0; I < 5; ++I) EXPECT_EQ(Grid->GetColWidths(I), 0);
}

TEST_F(SkinGridTest, RowSetterChecksAsksMovesTheAnchorAndClicks) {
  MakeGrid();
  Grid->SetRowCount(30);
  LogEvents();
  Grid->SetRow(3);
  EXPECT_EQ(Events, (std::vector<String>{"select 1,3", "click 3"}));
  EXPECT_EQ(Sel(Grid->GetSelection()), "1,3-1,3") << "the anchor moved with it";
  Events.clear();
  Grid->SetRow(3);
  EXPECT_TRUE(Events.empty()) << "the current row again does nothing";
  Grid->SetRow(25);
  EXPECT_GE(25, Grid->GetTopRow());
  EXPECT_LE(25, Grid->GetTopRow() + Grid->GetVisibleRowCount() - 1) << "scrolled into view";

  // A refusal keeps the row, and the click still comes.
  Events.clear();
  Grid->OnSelectCell = [&](TObject*, int, int R, bool& Can) {
    Events.push_back("refuse " + std::to_string(R));
    Can = false;
  };
  Grid->SetRow(4);
  EXPECT_EQ(Events, (std::vector<String>{"refuse 4", "click 25"}));
  EXPECT_EQ(Grid->GetRow(), 25);
}

TEST_F(SkinGridTest, RowSelectSpansTheScrollableColumns) {
  MakeGrid();
  Grid->SetOptions(Grid->GetOptions() | goRowSelect);
  Grid->SetRow(3);
  EXPECT_EQ(Grid->GetCol(), Grid->GetFixedCols());
  EXPECT_EQ(Grid->GetAnchor(), (TGridCoord{4, 3}));
  EXPECT_EQ(Sel(Grid->GetSelection()), "1,3-4,3");
  // Shift with a movement key extends the range from the anchor; Row stays put.
  Grid->Key(VK_DOWN, ssShift);
  EXPECT_EQ(Sel(Grid->GetSelection()), "1,3-4,4");
  EXPECT_EQ(Grid->GetRow(), 4);
  EXPECT_EQ(Grid->GetAnchor().Y, 3);
}

TEST_F(SkinGridTest, ShrinkingBelowTheCurrentRowMovesItWithoutAClick) {
  MakeGrid();
  Grid->SetRowCount(10);
  Grid->SetRow(8);
  LogEvents();
  Grid->SetRowCount(4);
  EXPECT_EQ(Grid->GetRow(), 3);
  EXPECT_EQ(Sel(Grid->GetSelection()), "1,3-1,3");
  for (const String& E : Events) EXPECT_NE(E.rfind("click", 0), 0u) << E;
}

TEST_F(SkinGridTest, VisibleRowCountCountsFullyShownRows) {
  MakeGrid(200, 100);
  Grid->SetGridLineWidth(0);
  Grid->SetRowCount(10);
  EXPECT_EQ(Grid->GetVisibleRowCount(), 3);  // rows 1..3 end at 48, 72, 96
  Grid->SetGridLineWidth(1);
  EXPECT_EQ(Grid->GetVisibleRowCount(), 3);  // 25 + 25 * 3 = 100 still fits
  Grid->SetRowHeights(2, 0);
  EXPECT_EQ(Grid->GetVisibleRowCount(), 4);
}

// Which actions raise OnSelectCell and OnClick, on a grid of 20 rows with row selection.
TEST_F(SkinGridTest, OnlyUserMovesAndRowAssignmentsClick) {
  MakeGrid(200, 100);
  struct Case {
    const char* Name;
    std::function<void()> Action;
    std::vector<String> Expected;
  } Cases[] = {
      {"Row := 5", [&] { Grid->SetRow(5); }, {"select 1,5", "click 5"}},
      {"Row := current row", [&] { Grid->SetRow(2); }, {}},
      {"RowCount grows", [&] { Grid->SetRowCount(40); }, {}},
      {"RowCount shrinks past the row", [&] { Grid->SetRowCount(2); }, {"select 1,1"}},
      {"vertical scroll message", [&] { SendMessageA(Grid->GetHandle(), WM_VSCROLL, SB_LINEDOWN, 0); }, {}},
      {"ColWidths change", [&] { Grid->SetColWidths(1, 10); }, {}},
      {"Down key", [&] { Grid->Key(VK_DOWN); }, {"select 1,3", "click 3"}},
      {"Right key with row select", [&] { Grid->Key(VK_RIGHT); }, {"select 1,3", "click 3"}},
      {"Up key on the first data row", [&] { Grid->SetRow(1), Events.clear(), Grid->Key(VK_UP); }, {}},
      {"Ctrl+Down scrolls only", [&] { Grid->Key(VK_DOWN, ssCtrl); }, {}},
      {"End key", [&] { Grid->Key(VK_END); }, {"select 1,19", "click 19"}},
      {"Down on the last row", [&] { Grid->SetRow(19), Events.clear(), Grid->Key(VK_DOWN); }, {}},
      {"wheel down", [&] { Grid->WheelDown(); }, {"select 1,3", "click 3"}},
      {"wheel down on the last row", [&] { Grid->SetRow(19), Events.clear(), Grid->WheelDown(); }, {}},
      {"wheel up on the first data row", [&] { Grid->SetRow(1), Events.clear(), Grid->WheelUp(); }, {}},
      {"click on a data row", [&] { Click(100, 80); }, {"select 1,3", "click 3"}},
      {"click on the header row", [&] { Click(100, 10); }, {}},
  };
  for (const Case& C : Cases) {
    Grid->SetOptions(goFixedVertLine | goFixedHorzLine | goVertLine | goHorzLine | goRangeSelect | goRowSelect);
    Grid->SetRowCount(20);
    Grid->SetColWidths(1, 64);
    Grid->SetRow(2);
    LogEvents();
    Events.clear();
    C.Action();
    EXPECT_EQ(Events, C.Expected) << C.Name;
    Grid->OnClick = nullptr;
    Grid->OnSelectCell = nullptr;
  }
}

TEST_F(SkinGridTest, MouseSelectionClicksOnReleaseAndShiftExtends) {
  MakeGrid(200, 150);
  Grid->SetRowCount(20);
  Grid->SetOptions(Grid->GetOptions() | goRowSelect);
  LogEvents();
  HWND W = Grid->GetHandle();
  SendMessageA(W, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(100, 55));  // row 2
  EXPECT_EQ(Events, (std::vector<String>{"select 1,2"})) << "no click on the press";
  SendMessageA(W, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(100, 130));  // row 5
  SendMessageA(W, WM_LBUTTONUP, 0, MAKELPARAM(100, 130));
  EXPECT_EQ(Events, (std::vector<String>{"select 1,2", "click 2"}));
  EXPECT_EQ(Sel(Grid->GetSelection()), "1,2-4,5");
  EXPECT_EQ(Grid->GetRow(), 2);

  Grid->SetRow(3);
  Events.clear();
  Click(100, 105, MK_SHIFT);  // row 4 with Shift
  EXPECT_EQ(Sel(Grid->GetSelection()), "1,3-4,4");
  EXPECT_EQ(Grid->GetRow(), 3);
  EXPECT_EQ(Events, (std::vector<String>{"click 3"}));
}

}  // namespace
