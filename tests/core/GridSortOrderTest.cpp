// The grid sort against the exchange sort it replaces (kept here as the reference): the same
// rows in the same order, ties included, on random grids with many equal keys that differ in
// case and in their other columns.
#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "core/qv_functions.h"

namespace {

// The grid interface the sort uses, over a plain table.
struct TTableGrid {
  std::vector<std::vector<String>> Cells;  // [row][col]
  int Fixed = 0;
  int GetRowCount() const { return static_cast<int>(Cells.size()); }
  int GetColCount() const { return Cells.empty() ? 0 : static_cast<int>(Cells[0].size()); }
  int GetFixedRows() const { return Fixed; }
  String GetCells(int C, int R) const { return Cells[static_cast<size_t>(R)][static_cast<size_t>(C)]; }
  void SetCells(int C, int R, const String& S) { Cells[static_cast<size_t>(R)][static_cast<size_t>(C)] = S; }
};

// The exchange sort the program used to run: each place in turn swaps with every later row
// whose key sorts strictly before the place's.
void ReferenceSort(TTableGrid* Grid, int Col)
{
  const int Rows = Grid->GetRowCount();
  const int Cols = Grid->GetColCount();
  for (int A = Grid->GetFixedRows(); A < Rows - 1; ++A)
    for (int I = A + 1; I < Rows; ++I)
      if (AnsiCompareText(Grid->GetCells(Col, A), Grid->GetCells(Col, I)) > 0)
        for (int C = 0; C < Cols; ++C) {
          String T = Grid->GetCells(C, A);
          Grid->SetCells(C, A, Grid->GetCells(C, I));
          Grid->SetCells(C, I, T);
        }
}

TTableGrid RandomGrid(int Rows, int Distinct, int Fixed, unsigned Seed)
{
  std::mt19937 Random(Seed);
  const char* Stems[] = {"alpha", "Bravo", "charlie", "delta", "", "echo", "Foxtrot", "10", "9", "a b"};
  TTableGrid G;
  G.Fixed = Fixed;
  for (int R = 0; R < Rows; ++R) {
    String Key = Stems[Random() % static_cast<unsigned>(Distinct)];
    if (Random() % 2 && !Key.empty()) Key[0] = static_cast<char>(Key[0] ^ 0x20);  // other case, same key
    G.Cells.push_back({"row" + std::to_string(R), Key, std::to_string(Random() % 7)});
  }
  return G;
}

TEST(GridSortOrder, MatchesTheExchangeSortOnRandomGridsWithManyEqualKeys)
{
  struct TCase {
    const char* Name;
    int Rows, Distinct, Fixed, Col;
  };
  const TCase Cases[] = {
      {"two keys", 40, 2, 0, 1},         {"three keys, a title row", 60, 3, 1, 1},
      {"one key for all", 25, 1, 0, 1},  {"ten keys, long", 400, 10, 1, 1},
      {"few rows", 3, 2, 0, 1},          {"by a column of small numbers", 80, 10, 2, 2},
      {"only the title rows", 2, 2, 2, 1}, {"one row below the title", 2, 3, 1, 1},
  };
  for (const TCase& C : Cases)
    for (unsigned Seed = 1; Seed <= 30; ++Seed) {
      TTableGrid Old = RandomGrid(C.Rows, C.Distinct, C.Fixed, Seed);
      TTableGrid New = Old;
      ReferenceSort(&Old, C.Col);
      SortGridByColumn(&New, C.Col);
      ASSERT_EQ(New.Cells, Old.Cells) << C.Name << ", seed " << Seed;
    }
}

TEST(GridSortOrder, EqualKeysDoNotKeepTheirTableOrder)
{
  // A smaller key after two equal ones carries the first of them past the second.
  struct TCase {
    std::vector<String> Keys;
    std::vector<int> Order;
  };
  const TCase Cases[] = {
      {{"b", "B", "a"}, {2, 1, 0}},
      {{"b", "a", "B"}, {1, 0, 2}},
      {{"b", "b", "b", "a", "a"}, {3, 4, 2, 0, 1}},
      {{}, {}},
      {{"x"}, {0}},
  };
  for (const TCase& C : Cases) EXPECT_EQ(GridSortOrder(C.Keys), C.Order) << C.Keys.size() << " keys";
}

}  // namespace
