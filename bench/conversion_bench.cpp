// One conversion job through the program (job list, driver, command line, runner, watchdog and
// progress) against the same command line run directly with system() on the same clip. The
// counter "ratio" is the program's wall time divided by the direct run's (goal: at most 1.02).
// Needs the installed mencoder and ffmpeg; without them the benchmark reports an error.
#include <benchmark/benchmark.h>
#include <stdlib.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <memory>
#include <string>

#include "BenchSupport.h"
#include "core/CodecPresets.h"
#include "core/MainForm.h"
#include "core/RunControl.h"
#include "core/SourceRow.h"
#include "core/qv_convert.h"
#include "core/qv_joblist.h"
#include "platform/display/HeadlessDisplay.h"
#include "platform/os/CommandLine.h"

namespace {

using qv::bench::Seconds;

void BM_ConversionJobAgainstDirectRun(benchmark::State& State)
{
  if (!std::filesystem::exists("/usr/bin/mencoder") || !std::filesystem::exists("/usr/bin/ffmpeg")) {
    State.SkipWithError("mencoder or ffmpeg is not installed");
    return;
  }
  SetDisplayBackend(std::make_unique<THeadlessDisplay>());
  char Template[] = "/tmp/qv-convbench-XXXXXX";
  const std::string Dir = std::string(mkdtemp(Template)) + "/";
  WorkFolder = Dir + "work/";
  std::filesystem::create_directories(WorkFolder + "temp");
  std::filesystem::create_symlink("/usr/bin/mencoder", WorkFolder + "mencoder.exe");
  const std::string Clip = Dir + "clip.avi";
  const std::string Make = "ffmpeg -v error -y -f lavfi -i testsrc=size=640x480:rate=25 -f lavfi -i "
                           "sine=frequency=440:sample_rate=44100 -t 20 -c:v mpeg4 -c:a mp3 -ac 2 " + Clip;
  if (system(Make.c_str()) != 0) {
    State.SkipWithError("the clip could not be made");
    return;
  }
  ResetRunState();
  BatchRunning = false;
  auto* Form = new TForm1(nullptr);
  AppendCodecPresets(Form->codecgrid);
  Form->dq->SetColCount(22);
  Form->dq->SetCells(0, 1, "Bench Player");
  Form->dq->SetCells(1, 1, "480x272");
  Form->dq->SetCells(2, 1, "800");
  Form->dq->SetCells(3, 1, "128");
  Form->dq->SetCells(4, 1, "xvid_mp3");
  Form->dq->SetCells(6, 1, "25");
  for (int C : {7, 8}) Form->dq->SetCells(C, 1, "0");
  Form->dq->SetCells(9, 1, "2");
  Form->dq->SetCells(10, 1, "5");
  Form->dq->SetCells(11, 1, "1");
  Form->dq->SetCells(12, 1, Dir + "out/");
  auto* Src = Form->StringGrid1;
  const std::pair<int, std::string> Cells[] = {
      {scNumber, "00001"}, {scType, "VIDEO"}, {scLength, "20"}, {scVideoCodec, "mpeg4"}, {scWidth, "640"},
      {scHeight, "480"}, {scFrameRate, "25"}, {scAspect, "0"}, {scSourcePath, Clip},
      {scInputArgs, qv::os::QuoteCommandLinePath(Clip) + " "}, {scTrimStart, "0"}, {scTrimEnd, "20"}, {scSubtitlesOn, "NO"},
      {scConvertSeconds, "20"}, {scOutputName, "clip"}, {scDisplayWidth, "640"}, {scDisplayHeight, "480"}};
  ConversionOptions.NoCropping = true;
  InstallRunControl();
  double Program = 0, Direct = 0;
  for (auto _ : State) {
    std::filesystem::remove_all(Dir + "out");
    for (const auto& [C, T] : Cells) Src->SetCells(C, 1, T);
    Src->SetCells(scConvert, 1, "Yes");
    auto Start = std::chrono::steady_clock::now();
    GoClick();
    Program += Seconds(Start);
    // The same line, run directly (the runner splits it the same way the shell does here).
    std::string Line = Form->Edit1->GetText();
    std::filesystem::remove_all(Dir + "out");
    std::filesystem::create_directories(Dir + "out");
    Start = std::chrono::steady_clock::now();
    if (system((Line + " >/dev/null 2>&1").c_str()) != 0) State.SkipWithError("the direct run failed");
    Direct += Seconds(Start);
  }
  State.counters["program_s"] = Program / State.iterations();
  State.counters["direct_s"] = Direct / State.iterations();
  State.counters["ratio"] = Direct > 0 ? Program / Direct : 0;
  delete Form;
  std::filesystem::remove_all(Dir);
}
BENCHMARK(BM_ConversionJobAgainstDirectRun)->Iterations(3)->Unit(benchmark::kSecond);

}  // namespace
