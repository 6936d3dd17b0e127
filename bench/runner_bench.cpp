// Throughput of the process runner in delivered lines: a child's console output (16 MiB of
// progress lines, "\r"-overwritten, every eighth ended by "\n") handed to OnRead on the GUI
// thread, against the same child read through a pipe by a plain thread 1,024 bytes at a time
// that counts the lines. A line counts for the runner when OnRead reports its start; lines lost
// to the 128 KiB drop rule (the GUI thread fell behind) do not count. Runs alternate, on an idle
// machine and with one busy thread per processor; the median ratio of lines per second, its
// spread and the goal are printed, with the share of lines the runner delivered.
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "RatioRuns.h"
#include "core/XcCreateProcess.h"
#include "platform/display/HeadlessDisplay.h"
#include "platform/os/Pipes.h"
#include "platform/os/Process.h"
#include "platform/os/Wait.h"
#include "platform/win/WinUser.h"

namespace {

constexpr std::size_t InputBytes = 16 * 1024 * 1024;

std::size_t ExpectedLines = 0;

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
      if (I % 8 == 7) {
        Line += "\n";
        ++ExpectedLines;
      }
      Out << Line;
      Written += Line.size();
    }
    if (Line.back() != '\n') ++ExpectedLines;  // the unfinished last line
    std::atexit([] { std::remove(Path.c_str()); });
  }
  return Path;
}

double Seconds(std::chrono::steady_clock::time_point Start)
{
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - Start).count();
}

// The same child, its output read by a thread of our own in 1,024-byte reads.
double RunPlainReader(std::size_t& Lines)
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
  Lines = 0;
  std::thread Reader([&] {
    char Buffer[1024];
    DWORD N = 0;
    bool Open = false;  // a line has begun and is not yet ended
    while (ReadFile(ReadEnd, Buffer, sizeof Buffer, &N, nullptr))
      for (DWORD I = 0; I < N; ++I) {
        if (!Open) ++Lines;
        Open = Buffer[I] != '\n';
      }
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
  Lines = 0;
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

// One busy thread per processor while it lives.
class TLoad {
public:
  explicit TLoad(bool On)
  {
    if (!On) return;
    for (unsigned I = 0; I < std::max(1u, std::thread::hardware_concurrency()); ++I)
      FThreads.emplace_back([this] {
        volatile unsigned long X = 0;
        while (!FStop.load(std::memory_order_relaxed)) X = X + 1;
      });
  }
  ~TLoad()
  {
    FStop = true;
    for (auto& T : FThreads) T.join();
  }

private:
  std::atomic<bool> FStop{false};
  std::vector<std::thread> FThreads;
};

void Compare(const char* What, int Pairs, bool Loaded)
{
  TLoad Load(Loaded);
  std::vector<double> Ratios, Ours, Base, Delivered;
  for (int I = 0; I < Pairs; ++I) {
    std::size_t RunnerLines = 0, PlainLines = 0;
    double TR = 0, TP = 0;
    if (I % 2 == 0) {
      TR = RunRunner(RunnerLines);
      TP = RunPlainReader(PlainLines);
    } else {
      TP = RunPlainReader(PlainLines);
      TR = RunRunner(RunnerLines);
    }
    // Lines per second, the runner's against the plain reader's.
    const double LR = static_cast<double>(RunnerLines) / TR, LP = static_cast<double>(PlainLines) / TP;
    Ratios.push_back(LP > 0 ? LR / LP : 0);
    Ours.push_back(1000 * TR);
    Base.push_back(1000 * TP);
    Delivered.push_back(100.0 * static_cast<double>(RunnerLines) / static_cast<double>(ExpectedLines));
  }
  auto Med = [](std::vector<double> V) {
    std::sort(V.begin(), V.end());
    return V[V.size() / 2];
  };
  qv::bench::TRatioResult R;
  R.Median = Med(Ratios);
  R.Low = *std::min_element(Ratios.begin(), Ratios.end());
  R.High = *std::max_element(Ratios.begin(), Ratios.end());
  R.OursMs = Med(Ours);
  R.BaseMs = Med(Base);
  qv::bench::PrintRatio(What, R, ">= 0.5 (lines per second)");
  std::printf("  lines delivered: median %.2f %% (%.2f-%.2f) of %zu  goal: 100 %% when the handler keeps up\n",
              Med(Delivered), *std::min_element(Delivered.begin(), Delivered.end()),
              *std::max_element(Delivered.begin(), Delivered.end()), ExpectedLines);
}

}  // namespace

int main()
{
  SetDisplayBackend(std::make_unique<THeadlessDisplay>());
  InputFile();
  Compare("runner OnRead vs a plain pipe reader", 11, false);
  Compare("the same, every processor busy", 11, true);
  return 0;
}
