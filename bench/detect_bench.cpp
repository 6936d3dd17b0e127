// Identification of one short video file through the program (DetectFile: the runner, the line
// feed, the parser and the row) against the same mplayer identify command run directly, its
// output read by a plain thread that stops the player at its first playback status line, as
// the program does. The counter "ratio" is the program's time divided by the direct time
// (goal: at most 1.1). Needs mplayer and ffmpeg (for the clip); skipped without them.
#include <benchmark/benchmark.h>
#include <stdlib.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <thread>

#include "core/MainForm.h"
#include "core/XcCreateProcess.h"
#include "core/qv_detect.h"
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
  S.Dir = "/tmp/qv_detect_bench_" + std::to_string(getpid()) + "/";
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
  static std::string Folder = S.Dir;
  std::atexit([] { std::filesystem::remove_all(Folder); });
  S.Ready = true;
  return S;
}

String IdentifyCommand(const TSetup& S)
{
  return qv::os::QuoteCommandLinePath(S.Dir + "work/mplayer.exe") + " -af volume=-200 -vo null -identify " +
         qv::os::QuoteCommandLinePath(S.Clip) + " -wid 0";
}

// The same command, its output read 1,024 bytes at a time by a thread that ends the player at
// the first status line.
double RunDirect(const TSetup& S)
{
  HANDLE ReadEnd = nullptr, WriteEnd = nullptr;
  if (!CreatePipe(&ReadEnd, &WriteEnd, nullptr, 0)) return 0;
  STARTUPINFOA Info;
  Info.dwFlags = STARTF_USESTDHANDLES;
  Info.hStdOutput = WriteEnd;
  Info.hStdError = WriteEnd;
  PROCESS_INFORMATION Pi;
  std::string Command = IdentifyCommand(S);
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

void BM_DetectFileAgainstDirectIdentify(benchmark::State& State)
{
  const TSetup& S = Setup();
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

  double Program = 0, Direct = 0;
  for (auto _ : State) {
    Direct += RunDirect(S);
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
