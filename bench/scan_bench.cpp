// Scanning a folder tree through the intake (the pending list, the scan timer's tick, folder
// expansion, sorting into kinds, DetectFile for every clip) against a plain recursive directory
// walk plus the same identify runs started directly. The tree holds 2,000 small non-video files
// in 20 folders and 20 real clips. The counter "ratio" is the program's time divided by the
// direct time. Needs mplayer and ffmpeg (for the clip); skipped without them.
#include <benchmark/benchmark.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "BenchSupport.h"
#include "core/MainForm.h"
#include "core/XcCreateProcess.h"
#include "core/qv_detect.h"
#include "core/qv_scan.h"
#include "platform/display/HeadlessDisplay.h"

namespace {

using qv::bench::Seconds;
using qv::bench::TIdentifySetup;

const TIdentifySetup& Setup()
{
  static TIdentifySetup S;
  static bool Done = false;
  if (Done) return S;
  Done = true;
  qv::bench::PrepareIdentifySetup(S, "qv_scan_bench_");
  if (!S.Ready) return S;
  for (int F = 0; F < 20; ++F) {
    const std::string Sub = S.Dir + "tree/f" + std::to_string(F) + "/";
    std::filesystem::create_directories(Sub);
    for (int I = 0; I < 100; ++I) std::ofstream(Sub + "note" + std::to_string(I) + ".txt") << "x";
    std::filesystem::copy_file(S.Clip, Sub + "clip" + std::to_string(F) + ".avi");
  }
  return S;
}

// The plain way: a recursive walk that picks the ".avi" files, then one identify run each.
double Direct(const TIdentifySetup& S)
{
  const auto Start = std::chrono::steady_clock::now();
  std::vector<std::string> Clips;
  for (const auto& E : std::filesystem::recursive_directory_iterator(S.Dir + "tree"))
    if (E.is_regular_file() && E.path().extension() == ".avi") Clips.push_back(E.path());
  const double Walk = Seconds(Start);
  double Runs = 0;
  for (const std::string& C : Clips) Runs += qv::bench::RunIdentifyDirect(S, C);
  return Walk + Runs;
}

void BM_ScanTreeAgainstWalkAndDirectIdentify(benchmark::State& State)
{
  const TIdentifySetup& S = Setup();
  if (!S.Ready) {
    State.SkipWithError(S.Error.c_str());
    return;
  }
  SetDisplayBackend(std::make_unique<THeadlessDisplay>());
  ResetRunState();
  BatchRunning = false;
  WorkFolder = S.Dir + "work/";
  auto* Form = new TForm1(nullptr);
  Form->finuse->SetChecked(true);  // the clips are small
  TDetectionLineFeed Feed;
  qv::bench::IdentifyRunner(Form, Feed);
  ScanHost() = TScanHost();

  double Program = 0, Plain = 0;
  for (auto _ : State) {
    Plain += Direct(S);
    ClearGridRows(Form->StringGrid1);
    const auto Start = std::chrono::steady_clock::now();
    AddPendingInput(S.Dir + "tree/");
    ScanTimerTimer();
    Program += Seconds(Start);
    if (Form->StringGrid1->GetCells(scWidth, 20) != "320") {
      const std::string Why = "the scan did not identify the 20 clips: " +
                              std::to_string(Form->StringGrid1->GetRowCount()) + " rows, row 1 \"" +
                              Form->StringGrid1->GetCells(scSourcePath, 1) + "\" width \"" +
                              Form->StringGrid1->GetCells(scWidth, 1) + "\", row 20 width \"" +
                              Form->StringGrid1->GetCells(scWidth, 20) + "\" type \"" + Form->StringGrid1->GetCells(scType, 20) + "\" path \"" + Form->StringGrid1->GetCells(scSourcePath, 20) + "\"";
      State.SkipWithError(Why.c_str());
      break;
    }
  }
  State.counters["program_ms"] = 1000 * Program / static_cast<double>(State.iterations());
  State.counters["direct_ms"] = 1000 * Plain / static_cast<double>(State.iterations());
  State.counters["ratio"] = Plain > 0 ? Program / Plain : 0;
  DetectionHost() = TDetectionHost();
  ScanHost() = TScanHost();
  delete Form;
}
BENCHMARK(BM_ScanTreeAgainstWalkAndDirectIdentify)->Unit(benchmark::kMillisecond)->Iterations(3);

}  // namespace
