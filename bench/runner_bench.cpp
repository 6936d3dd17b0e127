// Throughput of the process runner: console output of a child delivered as OnRead lines on the
// GUI thread, against the same bytes from the same child through a pipe that a plain reader
// thread reads 1,024 bytes at a time (what the runner's own reader does, without the message
// window, the line assembly and the events). The counter "ratio" is the runner's throughput
// divided by the plain reader's (goal: at least 0.5). `cat` into /dev/null is shown for
// information ("cat_MiBps").
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <memory>
#include <string>
#include <thread>

#include "core/XcCreateProcess.h"
#include "platform/display/HeadlessDisplay.h"
#include "platform/os/Pipes.h"
#include "platform/os/Process.h"
#include "platform/os/Wait.h"
#include "platform/win/WinUser.h"

namespace {

constexpr std::size_t InputBytes = 16 * 1024 * 1024;

const std::string& InputFile()
{
  static std::string Path;
  if (Path.empty()) {
    Path = "/tmp/qv_runner_bench_" + std::to_string(getpid()) + ".txt";
    std::ofstream Out(Path, std::ios::binary);
    std::string Line;
    std::size_t Written = 0;
    for (int I = 0; Written < InputBytes; ++I) {
      Line = "Pos: " + std::to_string(I % 9000) + ".3s " + std::to_string(I) + "f (12%) 75.23fps Trem: 1min 98mb\r";
      if (I % 8 == 0) Line += "\n";
      Out << Line;
      Written += Line.size();
    }
    std::atexit([] { std::remove(Path.c_str()); });
  }
  return Path;
}

double Seconds(std::chrono::steady_clock::time_point Start)
{
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - Start).count();
}

double RunCat()
{
  const auto Start = std::chrono::steady_clock::now();
  const std::string Command = "cat '" + InputFile() + "' > /dev/null";
  if (std::system(Command.c_str()) != 0) return 0;
  return Seconds(Start);
}

// The same child, its output read by a thread of our own in 1,024-byte reads.
double RunPlainReader(std::size_t& Bytes)
{
  HANDLE ReadEnd = nullptr, WriteEnd = nullptr;
  if (!CreatePipe(&ReadEnd, &WriteEnd, nullptr, 0)) return 0;
  STARTUPINFOA Info;
  Info.dwFlags = STARTF_USESTDHANDLES;
  Info.hStdOutput = WriteEnd;
  Info.hStdError = WriteEnd;
  PROCESS_INFORMATION Pi;
  std::string Command = "/bin/cat \"" + InputFile() + "\"";
  const auto Start = std::chrono::steady_clock::now();
  const BOOL Started = CreateProcessA(nullptr, Command.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr, &Info, &Pi);
  CloseHandle(WriteEnd);
  if (!Started) {
    CloseHandle(ReadEnd);
    return 0;
  }
  std::thread Reader([&] {
    char Buffer[1024];
    DWORD N = 0;
    while (ReadFile(ReadEnd, Buffer, sizeof Buffer, &N, nullptr)) Bytes += N;
  });
  Reader.join();
  WaitForSingleObject(Pi.hProcess, INFINITE);
  const double Time = Seconds(Start);
  CloseHandle(Pi.hProcess);
  CloseHandle(Pi.hThread);
  CloseHandle(ReadEnd);
  return Time;
}

double RunRunner(std::size_t& Lines)
{
  TXcCreateProcess Runner(nullptr);
  Runner.SetConsoleOptions({coOwnerData, coRedirect});
  Runner.SetCommandLine("/bin/cat \"" + InputFile() + "\"");
  Runner.SetOnRead([&](TObject*, const String&, bool NewLine) { Lines += NewLine ? 1 : 0; });
  bool Done = false;
  Runner.OnTerminate = [&](TObject*, Cardinal) { Done = true; };
  const auto Start = std::chrono::steady_clock::now();
  Runner.StartProcess();
  MSG M;
  while (!Done) {
    if (GetMessageA(&M, nullptr, 0, 0) <= 0) break;
    DispatchMessageA(&M);
  }
  return Seconds(Start);
}

void BM_RunnerOnReadAgainstAPipeReader(benchmark::State& State)
{
  static bool Display = false;
  if (!Display) {
    SetDisplayBackend(std::make_unique<THeadlessDisplay>());
    Display = true;
  }
  InputFile();
  double CatTime = 0, PlainTime = 0, RunnerTime = 0;
  std::size_t Lines = 0, PlainBytes = 0;
  for (auto _ : State) {
    CatTime += RunCat();
    PlainTime += RunPlainReader(PlainBytes);
    RunnerTime += RunRunner(Lines);
  }
  const double Bytes = static_cast<double>(InputBytes) * static_cast<double>(State.iterations());
  State.counters["cat_MiBps"] = Bytes / CatTime / 1048576.0;
  State.counters["pipe_reader_MiBps"] = static_cast<double>(PlainBytes) / PlainTime / 1048576.0;
  State.counters["runner_MiBps"] = Bytes / RunnerTime / 1048576.0;
  State.counters["ratio"] = PlainTime / RunnerTime;
  State.counters["lines"] = static_cast<double>(Lines) / static_cast<double>(State.iterations());
  State.SetBytesProcessed(static_cast<int64_t>(Bytes));
}
BENCHMARK(BM_RunnerOnReadAgainstAPipeReader)->Unit(benchmark::kMillisecond)->Iterations(5);

}  // namespace
