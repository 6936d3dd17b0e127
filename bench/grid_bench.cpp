// The program's largest table as a skinned string grid: 71 columns by 10,000 rows filled, every
// cell read, every second row deleted, and one full repaint of an 800 x 600 grid showing it.
// Each is reported next to its floor: the same pass over a plain std::vector<std::string> (fill,
// read, delete) or one 800 x 600 blit (repaint).
#include <benchmark/benchmark.h>

#include "bench/BlitTiming.h"

#include <algorithm>
#include <chrono>
#include <string>
#include <vector>

#include "platform/display/HeadlessDisplay.h"
#include "platform/vcl/Forms.h"
#include "skin/shell/SkinGrids.h"

namespace {

constexpr int Cols = 71;
constexpr int Rows = 10000;

using Clock = std::chrono::steady_clock;

double Since(Clock::time_point T0) { return std::chrono::duration<double>(Clock::now() - T0).count(); }

void EnsureDisplay() {
  static bool Done = false;
  if (!Done) {
    SetDisplayBackend(std::make_unique<THeadlessDisplay>());
    Done = true;
  }
}

String CellText(int C, int R) { return "c" + std::to_string(C) + "r" + std::to_string(R); }

// The median of a few timed runs of F.
template <class F>
double Median(F&& Fn, int Runs = 5) {
  std::vector<double> T;
  for (int I = 0; I < Runs; ++I) {
    auto T0 = Clock::now();
    Fn();
    T.push_back(Since(T0));
  }
  std::sort(T.begin(), T.end());
  return T[T.size() / 2];
}

double VectorFillSeconds() {
  return Median([] {
    std::vector<std::string> V(static_cast<size_t>(Cols) * Rows);
    for (int R = 0; R < Rows; ++R)
      for (int C = 0; C < Cols; ++C) V[static_cast<size_t>(R) * Cols + C] = CellText(C, R);
    benchmark::DoNotOptimize(V.data());
  });
}

std::vector<std::string> FilledVector() {
  std::vector<std::string> V(static_cast<size_t>(Cols) * Rows);
  for (int R = 0; R < Rows; ++R)
    for (int C = 0; C < Cols; ++C) V[static_cast<size_t>(R) * Cols + C] = CellText(C, R);
  return V;
}

std::unique_ptr<TskSkinStringGrid> FilledGrid() {
  auto G = std::make_unique<TskSkinStringGrid>(nullptr);
  G->SetColCount(Cols);
  G->SetRowCount(Rows);
  for (int R = 0; R < Rows; ++R)
    for (int C = 0; C < Cols; ++C) G->SetCells(C, R, CellText(C, R));
  return G;
}

void BM_GridFill(benchmark::State& State) {
  const double Floor = VectorFillSeconds();
  double Total = 0;
  for (auto _ : State) {
    auto T0 = Clock::now();
    auto G = FilledGrid();
    Total += Since(T0);
    State.PauseTiming();
    G.reset();
    State.ResumeTiming();
  }
  State.counters["vs_vector"] = Total / static_cast<double>(State.iterations()) / Floor;
}
BENCHMARK(BM_GridFill)->Unit(benchmark::kMillisecond)->Iterations(3);

void BM_GridReadAll(benchmark::State& State) {
  auto G = FilledGrid();
  auto V = FilledVector();
  const double Floor = Median([&] {
    size_t N = 0;
    for (int R = 0; R < Rows; ++R)
      for (int C = 0; C < Cols; ++C) N += std::string(V[static_cast<size_t>(R) * Cols + C]).size();
    benchmark::DoNotOptimize(N);
  });
  double Total = 0;
  for (auto _ : State) {
    auto T0 = Clock::now();
    size_t N = 0;
    for (int R = 0; R < Rows; ++R)
      for (int C = 0; C < Cols; ++C) N += G->GetCells(C, R).size();
    benchmark::DoNotOptimize(N);
    Total += Since(T0);
  }
  State.counters["vs_vector"] = Total / static_cast<double>(State.iterations()) / Floor;
}
BENCHMARK(BM_GridReadAll)->Unit(benchmark::kMillisecond)->Iterations(5);

// Backward (State.range(0) == 0) each deletion moves the few rows after it; forward every
// deletion moves the rest of the table one place.
void BM_GridDeleteEverySecondRow(benchmark::State& State) {
  // The floor: one pass that keeps every second row of the vector.
  const double Floor = Median([] {
    auto V = FilledVector();
    size_t Out = 0;
    for (int R = 0; R < Rows; R += 2)
      for (int C = 0; C < Cols; ++C) V[Out++] = std::move(V[static_cast<size_t>(R) * Cols + C]);
    V.resize(Out);
    benchmark::DoNotOptimize(V.data());
  }, 3);
  double Total = 0;
  for (auto _ : State) {
    State.PauseTiming();
    auto G = FilledGrid();
    State.ResumeTiming();
    auto T0 = Clock::now();
    if (State.range(0) == 0)
      for (int R = Rows - 1; R >= 1; R -= 2) G->DeleteRow(R);
    else
      for (int R = 1; R < G->GetRowCount(); ++R) G->DeleteRow(R);
    Total += Since(T0);
    State.PauseTiming();
    G.reset();
    State.ResumeTiming();
  }
  State.counters["vs_vector"] = Total / static_cast<double>(State.iterations()) / Floor;
}
BENCHMARK(BM_GridDeleteEverySecondRow)->Unit(benchmark::kMillisecond)->Iterations(1)->Arg(0)->Arg(1);

double BlitSeconds() { return Blit800x600Seconds(); }

void BM_GridRepaint800x600(benchmark::State& State) {
  EnsureDisplay();
  auto* F = new TForm(nullptr);
  F->SetBorderStyle(bsNone);
  F->SetBounds(0, 0, 800, 600);
  auto* G = new TskSkinStringGrid(F);
  G->SetBounds(0, 0, 800, 600);
  G->SetParent(F);
  G->SetColCount(Cols);
  G->SetRowCount(Rows);
  G->SetDefaultColWidth(60);
  G->SetOptions(goRangeSelect | goRowSelect | goFixedHorzLine | goHorzLine);
  for (int R = 0; R < Rows; ++R)
    for (int C = 0; C < Cols; ++C) G->SetCells(C, R, CellText(C, R));
  F->Show();
  ProcessPendingMessages();
  const double Blit = BlitSeconds();
  double Total = 0;
  for (auto _ : State) {
    auto T0 = Clock::now();
    RedrawWindow(G->GetHandle(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
    ProcessPendingMessages();
    Total += Since(T0);
  }
  State.counters["blits_per_repaint"] = Total / static_cast<double>(State.iterations()) / Blit;
  delete F;
  ProcessPendingMessages();
}
BENCHMARK(BM_GridRepaint800x600)->Unit(benchmark::kMillisecond);

}  // namespace
