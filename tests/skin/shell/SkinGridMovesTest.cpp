// Moving and deleting columns and rows: the current cell, anchor, widths, heights and cells go
// along; deleted rows' cells end up beyond the count; stored extents.
#include "tests/skin/shell/SkinGridTestSupport.h"

namespace {

TEST_F(SkinGridTest, MovingAColumnAdjustsTheCurrentColumn) {
  MakeGrid(600, 100);
  Grid->SetColCount(8);
  struct Case { int Current, Expected; } Cases[] = {{4, 3}, {2, 5}, {6, 6}, {5, 4}, {1, 1}};
  for (const Case& C : Cases) {
    Grid->SetCol(C.Current);
    Grid->MoveColumn(2, 5);
    EXPECT_EQ(Grid->GetCol(), C.Expected) << C.Current;
  }
  Grid->SetCol(6);
  Grid->MoveColumn(6, 2);
  EXPECT_EQ(Grid->GetCol(), 2);
  EXPECT_EQ(Grid->GetAnchor().X, 2);
}

TEST_F(SkinGridTest, ColumnsTakeTheirWidthsAndCellsAlong) {
  MakeGrid(600, 100);
  Grid->SetColCount(6);
  std::vector<String> Moves;
  Grid->OnColumnMoved = [&](TObject*, int F, int T) { Moves.push_back(std::to_string(F) + ">" + std::to_string(T)); };
  for (int C = 0; C < 6; ++C) {
    Grid->SetColWidths(C, 10 + C);
    Grid->SetCells(C, 1, "c" + std::to_string(C));
  }
  Grid->SetCells(1, 3, "short row");  // a row whose cells end before the moved column
  Grid->WidthsChanged = 0;
  Grid->MoveColumn(4, 1);
  EXPECT_EQ(Grid->GetRows(1)->GetCommaText(), "c0,c4,c1,c2,c3,c5");
  const int Widths[] = {10, 14, 11, 12, 13, 15};
  for (int C = 0; C < 6; ++C) EXPECT_EQ(Grid->GetColWidths(C), Widths[C]) << C;
  EXPECT_EQ(Grid->GetCells(2, 3), "short row");
  EXPECT_EQ(Grid->GetCells(1, 3), "");
  EXPECT_EQ(Moves, (std::vector<String>{"4>1"}));
  EXPECT_EQ(Grid->WidthsChanged, 1);
}

TEST_F(SkinGridTest, DeletedRowsKeepTheirCellsBeyondTheCount) {
  MakeGrid();
  Grid->SetRowCount(3);
  for (int R = 0; R < 3; ++R) Grid->SetCells(0, R, "r" + std::to_string(R));
  Grid->HeightsChanged = 0;
  Grid->DeleteRow(1);
  EXPECT_EQ(Grid->GetRowCount(), 2);
  EXPECT_EQ(Grid->GetCells(0, 0), "r0");
  EXPECT_EQ(Grid->GetCells(0, 1), "r2");
  EXPECT_EQ(Grid->GetCells(0, 2), "r1") << "the deleted row's cells stay at the old last index";
  EXPECT_EQ(Grid->HeightsChanged, 0) << "no height array, no height change";
  // The application empties a row it appends again itself.
  Grid->SetRowCount(3);
  EXPECT_EQ(Grid->GetCells(0, 2), "r1");
}

TEST_F(SkinGridTest, DeletingAColumnShrinksTheCountAndMovesTheCurrentCell) {
  MakeGrid(600, 100);
  Grid->SetColCount(5);
  Grid->SetColWidths(2, 30);
  Grid->SetCol(4);
  Grid->DeleteColumn(2);
  EXPECT_EQ(Grid->GetColCount(), 4);
  EXPECT_EQ(Grid->GetCol(), 3);
  EXPECT_EQ(Grid->GetColWidths(2), 64);
  Grid->SetColCount(5);
  EXPECT_EQ(Grid->GetColWidths(4), 64) << "a grown array takes the default";
}

TEST_F(SkinGridTest, MovingRowsTakesHeightsAndTheAnchor) {
  MakeGrid(200, 300);
  Grid->SetRowCount(6);
  Grid->SetRowHeights(1, 11);
  Grid->SetRow(1);
  Grid->MoveRow(1, 4);
  EXPECT_EQ(Grid->GetRowHeights(4), 11);
  EXPECT_EQ(Grid->GetRowHeights(1), 24);
  EXPECT_EQ(Grid->GetRow(), 4);
  EXPECT_EQ(Grid->GetAnchor().Y, 4);
}

TEST_F(SkinGridTest, InsertOrDeleteHookRefusesTooManyAndMovesTheCurrentCell) {
  MakeGrid();
  Grid->SetRowCount(10);
  Grid->SetRow(6);
  EXPECT_EQ(GridError([&] { Grid->ChangeGridOrientation(8, -3, true); }), "Too many rows or columns deleted");
  Grid->ChangeGridOrientation(2, -2, true);
  EXPECT_EQ(Grid->GetRowCount(), 8);
  EXPECT_EQ(Grid->GetRow(), 4);
  Grid->ChangeGridOrientation(3, -2, true);
  EXPECT_EQ(Grid->GetRow(), 3) << "a current row inside the deleted run goes to its start";
  Grid->ChangeGridOrientation(1, 2, true);
  EXPECT_EQ(Grid->GetRowCount(), 8);
  EXPECT_EQ(Grid->GetRow(), 5);
}

TEST_F(SkinGridTest, StoredExtentsAreWrittenOnlyWhenSet) {
  MakeGrid(200, 100, false);
  EXPECT_FALSE(Grid->HasStoredColWidths());
  EXPECT_FALSE(Grid->HasStoredRowHeights());
  Grid->SetColWidths(3, 7);
  ASSERT_TRUE(Grid->HasStoredColWidths());
  TMemoryStream S;
  Grid->WriteColWidths(&S);
  auto* Other = Add<TTestSkinGrid>(Form, "Other", 0, 0, 100, 100);
  Other->SetColCount(4);
  S.SetPosition(0);
  Other->ReadColWidths(&S);
  const int Expected[] = {64, 64, 64, 7};
  for (int C = 0; C < 4; ++C) EXPECT_EQ(Other->GetColWidths(C), Expected[C]) << C;
  Grid->SetSaveCellExtents(false);
  EXPECT_FALSE(Grid->HasStoredColWidths());
}

}  // namespace
