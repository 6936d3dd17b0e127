// Scanning a folder tree through the intake (the pending list, the scan timer's tick, folder
// expansion, sorting into kinds, DetectFile for every clip) against a plain recursive directory
// walk plus the same identify runs started directly. The tree holds 2,000 small non-video files
// in 20 folders and 20 real clips. The counter "ratio" is the program's time divided by the
// direct time. Needs mplayer and ffmpeg (for the clip); skipped without them.
#include <benchmark/benchmark.h>
#include <stdlib.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "core/MainForm.h"
#include "core/XcCreateProcess.h"
#include "core/qv_detect.h"
#include "core/qv_scan.h"
#include "platform/display/HeadlessDisplay.h"
#include "platform/os/CommandLine.h"
#include "platform/os/Pipes.h"
#include "platform/os/Process.h"
#include "platform/os/ToolLinks.h"
#include "platform/os/Wait.h"

namespace {

double Seconds(std::chrono::steady_clock::time_point Start)
{
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - Start).count();
}

struct TSetup {
  std::string Dir, Clip;
  bool Ready = false;
  std::string Error;
};

const TSetup& Setup()
{
  static TSetup S;
  static bool Done = false;
  if (Done) return S;
  Done = true;
  const char* Path = getenv("PATH");
  const String Mplayer = qv::os::FindProgramOnPath("mplayer", Path ? Path : "");
  if (Mplayer.empty() || qv::os::FindProgramOnPath("ffmpeg", Path ? Path : "").empty()) {
    S.Error = "mplayer or ffmpeg is not installed";
    return S;
  }
  S.Dir = "/tmp/qv_scan_bench_" + std::to_string(getpid()) + "/";
  std::filesystem::create_directories(S.Dir + "work");
  std::filesystem::create_directories(S.Dir + "home/.mplayer");
  std::ofstream(S.Dir + "home/.mplayer/config") << "ao=null\nlirc=no\n";
  setenv("HOME", (S.Dir + "home").c_str(), 1);
  std::filesystem::create_symlink(Mplayer, S.Dir + "work/mplayer.exe");
  S.Clip = S.Dir + "clip.avi";
  const std::string Make = "ffmpeg -v error -y -f lavfi -i testsrc=size=320x240:rate=25 -f lavfi -i "
                           "sine=frequency=440:sample_rate=44100 -t 3 -c:v mpeg4 -c:a mp3 '" +
                           S.Clip + "' > /dev/null 2>&1";
  if (std::system(Make.c_str()) != 0) {
    S.Error = "ffmpeg could not make the clip";
    return S;
  }
  for (int F = 0; F < 20; ++F) {
    const std::string Sub = S.Dir + "tree/f" + std::to_string(F) + "/";
    std::filesystem::create_directories(Sub);
    for (int I = 0; I < 100; ++I) std::ofstream(Sub + "note" + std::to_string(I) + ".txt") << "x";
    std::filesystem::copy_file(S.Clip, Sub + "clip" + std::to_string(F) + ".avi");
  }
  static std::string Folder = S.Dir;
  std::atexit([] { std::filesystem::remove_all(Folder); });
  S.Ready = true;
  return S;
}

String IdentifyCommand(const TSetup& S, const std::string& Clip)
{
  return qv::os::QuoteCommandLinePath(S.Dir + "work/mplayer.exe") + " -af volume=-200 -vo null -identify " +
         qv::os::QuoteCommandLinePath(Clip) + " -wid 0";
}

// The same command, its output read 1,024 bytes at a time by a thread that ends the player at
// the first status line.
double RunDirect(const TSetup& S, const std::string& Clip)
{
  HANDLE ReadEnd = nullptr, WriteEnd = nullptr;
  if (!CreatePipe(&ReadEnd, &WriteEnd, nullptr, 0)) return 0;
  STARTUPINFOA Info;
  Info.dwFlags = STARTF_USESTDHANDLES;
  Info.hStdOutput = WriteEnd;
  Info.hStdError = WriteEnd;
  PROCESS_INFORMATION Pi;
  std::string Command = IdentifyCommand(S, Clip);
  const auto Start = std::chrono::steady_clock::now();
  const BOOL Started = CreateProcessA(nullptr, Command.data(), nullptr, nullptr, TRUE, 0, nullptr,
                                      (S.Dir + "work").c_str(), &Info, &Pi);
  CloseHandle(WriteEnd);
  if (!Started) {
    CloseHandle(ReadEnd);
    return 0;
  }
  std::thread Reader([&] {
    char Buffer[1024];
    DWORD N = 0;
    std::string Line;
    bool Killed = false;
    while (ReadFile(ReadEnd, Buffer, sizeof Buffer, &N, nullptr)) {
      for (DWORD I = 0; I < N && !Killed; ++I) {
        const char C = Buffer[I];
        if (C == '\n' || C == '\r') {
          Line.clear();
        } else {
          Line += C;
          if (Line == "A:" || Line == "V:") {
            TerminateProcess(Pi.hProcess, 0);
            Killed = true;
          }
        }
      }
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

// The plain way: a recursive walk that picks the ".avi" files, then one identify run each.
double Direct(const TSetup& S)
{
  const auto Start = std::chrono::steady_clock::now();
  std::vector<std::string> Clips;
  for (const auto& E : std::filesystem::recursive_directory_iterator(S.Dir + "tree"))
    if (E.is_regular_file() && E.path().extension() == ".avi") Clips.push_back(E.path());
  const double Walk = Seconds(Start);
  double Runs = 0;
  for (const std::string& C : Clips) Runs += RunDirect(S, C);
  return Walk + Runs;
}

void BM_ScanTreeAgainstWalkAndDirectIdentify(benchmark::State& State)
{
  const TSetup& S = Setup();
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
  auto* Runner = new TXcCreateProcess(Form);
  Runner->GetStartupInfo()->ShowWindow = swHide;
  Runner->GetStartupInfo()->DefaultWindowState = false;
  Runner->SetConsoleOptions({coOwnerData, coRedirect});
  TDetectionLineFeed Feed;
  Runner->SetOnRead([&](TObject*, const String& Line, bool) {
    StallTicks = 0;
    Feed.Report(Line, Runner->GetOutputReader());
  });
  Runner->OnTerminate = [&](TObject*, Cardinal) {
    Feed.Flush();
    ToolRunning = false;
  };
  DetectionHost() = TDetectionHost();
  DetectionHost().Runner = Runner;
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
      State.SkipWithError("the scan did not identify the 20 clips");
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
