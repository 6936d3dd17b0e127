// Saving and loading the stream grid file of the extended string grid: a job list of 20
// columns with 2,000 and 20,000 rows (loading into a fresh grid, as the program does at
// start-up). Loading grows the grid once, so the time per row stays flat as the file grows.
#include <benchmark/benchmark.h>

#include <memory>

#include "extctrls/XcStringGrid.h"
#include "platform/display/HeadlessDisplay.h"
#include "platform/vcl/Forms.h"

namespace {

TForm* Host()
{
  static TForm* Form = [] {
    SetDisplayBackend(std::make_unique<THeadlessDisplay>());
    auto* F = new TForm(nullptr);
    F->SetBounds(0, 0, 400, 300);
    return F;
  }();
  return Form;
}

std::unique_ptr<TXcStringGrid> NewGrid()
{
  auto Grid = std::make_unique<TXcStringGrid>(nullptr);
  Grid->SetParent(Host());
  return Grid;
}

String StateFile(int Rows)
{
  auto Grid = NewGrid();
  Grid->SetColCount(20);
  Grid->SetRowCount(Rows);
  for (int R = 0; R < Rows; ++R)
    for (int C = 0; C < 20; ++C)
      Grid->SetCells(C, R, C == 0 ? "/home/ann/Videos/holiday " + std::to_string(R) + ".mkv" : std::to_string(R * C));
  TStringStream Out;
  Grid->SaveToStream(&Out);
  return Out.GetDataString();
}

void BM_SaveStreamGrid(benchmark::State& State)
{
  const int Rows = static_cast<int>(State.range(0));
  auto Grid = NewGrid();
  TStringStream In(StateFile(Rows));
  Grid->LoadFromStream(&In);
  for (auto _ : State) {
    TStringStream Out;
    Grid->SaveToStream(&Out);
    benchmark::DoNotOptimize(Out.GetDataString().size());
  }
  State.SetItemsProcessed(State.iterations() * Rows);
}
BENCHMARK(BM_SaveStreamGrid)->Arg(2000)->Arg(20000)->Unit(benchmark::kMillisecond);

void BM_LoadStreamGrid(benchmark::State& State)
{
  const int Rows = static_cast<int>(State.range(0));
  const String Data = StateFile(Rows);
  for (auto _ : State) {
    auto Grid = NewGrid();
    TStringStream In(Data);
    Grid->LoadFromStream(&In);
    benchmark::DoNotOptimize(Grid->GetRowCount());
  }
  State.SetItemsProcessed(State.iterations() * Rows);
}
BENCHMARK(BM_LoadStreamGrid)->Arg(2000)->Arg(20000)->Unit(benchmark::kMillisecond);

}  // namespace
