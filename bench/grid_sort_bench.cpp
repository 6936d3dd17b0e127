// The shared grid sort and row deletion on the skinned string grid at 1k, 10k and 100k rows,
// each against the same work on a plain std::vector of rows: a stable sort by the same
// case-blind key, and the same deletions (every second row, from the top, so that each one
// moves the rest of the table). The exchange sort the program used before is timed at 1k rows
// for comparison. Keys repeat a lot (200 words in two cases), as real tables do.
#include <algorithm>
#include <cstdio>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "RatioRuns.h"
#include "core/qv_functions.h"
#include "skin/shell/SkinGrids.h"

namespace {

using TRows = std::vector<std::vector<std::string>>;

TRows MakeRows(int Rows, int Cols)
{
  std::mt19937 Random(7);
  TRows T(static_cast<size_t>(Rows));
  for (int R = 0; R < Rows; ++R) {
    auto& Row = T[static_cast<size_t>(R)];
    String Key = "title " + std::to_string(Random() % 200);
    if (Random() % 2) Key[0] = 'T';
    Row.push_back(Key);
    for (int C = 1; C < Cols; ++C) Row.push_back("c" + std::to_string(C) + "r" + std::to_string(R));
  }
  return T;
}

std::unique_ptr<TskSkinStringGrid> MakeGrid(const TRows& T)
{
  auto G = std::make_unique<TskSkinStringGrid>(nullptr);
  G->SetColCount(static_cast<int>(T[0].size()));
  G->SetRowCount(static_cast<int>(T.size()) + 1);
  G->SetFixedRows(1);
  for (int R = 0; R < static_cast<int>(T.size()); ++R)
    for (int C = 0; C < static_cast<int>(T[0].size()); ++C)
      G->SetCells(C, R + 1, T[static_cast<size_t>(R)][static_cast<size_t>(C)]);
  return G;
}

void OldExchangeSort(TskSkinStringGrid* Grid, int Col)
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

void SortRuns(int Rows, int Cols, int Pairs, const char* Goal)
{
  const TRows Source = MakeRows(Rows, Cols);
  std::unique_ptr<TskSkinStringGrid> G;
  TRows V;
  const auto R = qv::bench::AlternateRuns(
      Pairs,
      [&] {
        G = MakeGrid(Source);
        V = Source;
      },
      [&] { SortGridByColumn(G.get(), 0); },
      [&] {
        std::stable_sort(V.begin(), V.end(), [](const auto& A, const auto& B) { return AnsiCompareText(A[0], B[0]) < 0; });
      });
  char What[80];
  std::snprintf(What, sizeof What, "sort %d rows x %d cols vs vector", Rows, Cols);
  qv::bench::PrintRatio(What, R, Goal);
}

void OldSortRuns(int Rows, int Cols)
{
  const TRows Source = MakeRows(Rows, Cols);
  std::unique_ptr<TskSkinStringGrid> G;
  const auto R = qv::bench::AlternateRuns(
      3, [&] { G = MakeGrid(Source); }, [&] { OldExchangeSort(G.get(), 0); }, [&] { SortGridByColumn(G.get(), 0); });
  char What[80];
  std::snprintf(What, sizeof What, "exchange sort %d rows vs today's sort", Rows);
  qv::bench::PrintRatio(What, R, "(the old cost, for reference)");
}

void DeleteRuns(int Rows, int Cols, int Pairs, const char* Goal)
{
  const TRows Source = MakeRows(Rows, Cols);
  std::unique_ptr<TskSkinStringGrid> G;
  TRows V;
  const auto R = qv::bench::AlternateRuns(
      Pairs,
      [&] {
        G = MakeGrid(Source);
        V = Source;
      },
      [&] {
        for (int Row = 1; Row < G->GetRowCount(); ++Row) G->DeleteRow(Row);
      },
      [&] {
        for (size_t Row = 0; Row < V.size(); ++Row) V.erase(V.begin() + static_cast<std::ptrdiff_t>(Row));
      });
  char What[80];
  std::snprintf(What, sizeof What, "delete every 2nd of %d rows vs vector", Rows);
  qv::bench::PrintRatio(What, R, Goal);
}

}  // namespace

int main()
{
  OldSortRuns(1000, 8);
  SortRuns(1000, 71, 11, "10k rows < 50 ms");
  SortRuns(10000, 71, 7, "< 50 ms (left column)");
  SortRuns(100000, 8, 3, "n log n: ~12x the 10k time per column");
  DeleteRuns(1000, 71, 11, "<= 2");
  DeleteRuns(10000, 71, 5, "<= 2");
  DeleteRuns(100000, 8, 3, "<= 2");
  return 0;
}
