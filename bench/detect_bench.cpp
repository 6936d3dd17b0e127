// Identification of one short video file through the program (DetectFile: the runner, the line
// feed, the parser and the row) against the same mplayer identify command run directly, its
// output read by a plain thread that stops the player at its first playback status line, as
// the program does. The counter "ratio" is the program's time divided by the direct time
// (goal: at most 1.1). Needs mplayer and ffmpeg (for the clip); skipped without them.
#include <benchmark/benchmark.h>

#include <chrono>
#include <memory>
#include <string>

#include "BenchSupport.h"
#include "core/MainForm.h"
#include "core/XcCreateProcess.h"
#include "core/qv_detect.h"
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
  qv::bench::PrepareIdentifySetup(S, "qv_detect_bench_");
  if (!S.Ready) return S;
  return S;
}

void BM_DetectFileAgainstDirectIdentify(benchmark::State& State)
{
  const TIdentifySetup& S = Setup();
  if (!S.Ready) {
    State.SkipWithError(S.Error.c_str());
    return;
  }
  static bool Display = false;
  if (!Display) {
    SetDisplayBackend(std::make_unique<THeadlessDisplay>());
    Display = true;
  }
  ResetRunState();
  BatchRunning = false;
  WorkFolder = S.Dir + "work/";
  auto* Form = new TForm1(nullptr);
  TDetectionLineFeed Feed;
  qv::bench::IdentifyRunner(Form, Feed);

  double Program = 0, Direct = 0;
  for (auto _ : State) {
    Direct += qv::bench::RunIdentifyDirect(S, S.Clip);
    ClearGridRows(Form->StringGrid1);
    const auto Start = std::chrono::steady_clock::now();
    DetectFile(S.Clip);
    Program += Seconds(Start);
    if (Form->StringGrid1->GetCells(scWidth, 1) != "320") {
      const std::string Why = "the clip was not identified: width \"" + Form->StringGrid1->GetCells(scWidth, 1) + "\", type \"" + Form->StringGrid1->GetCells(scType, 1) + "\"";
      State.SkipWithError(Why.c_str());
      break;
    }
  }
  State.counters["program_ms"] = 1000 * Program / static_cast<double>(State.iterations());
  State.counters["direct_ms"] = 1000 * Direct / static_cast<double>(State.iterations());
  State.counters["ratio"] = Direct > 0 ? Program / Direct : 0;
  DetectionHost() = TDetectionHost();
  delete Form;
}
BENCHMARK(BM_DetectFileAgainstDirectIdentify)->Unit(benchmark::kMillisecond)->Iterations(10);

}  // namespace
