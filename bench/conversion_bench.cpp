// One conversion job through the program with its default options (crop detection on: job
// list, crop detection, driver, command line, runner, watchdog and progress) against the same
// encoder command line started directly, without a shell, its output read through a pipe by a
// plain thread 1,024 bytes at a time. Runs alternate, program and direct, for at least 10 pairs;
// the median of the pair ratios, its spread and the goal are printed, and the CPU time the
// program's own process spends per job (the tools' time not counted) with the number of
// status lines the encoder wrote; then that CPU time for the job without crop detection. Needs the installed mencoder, mplayer and ffmpeg; says so and
// ends without them. QV_BENCH_PAIRS sets the number of pairs (10 at least).
#include <stdlib.h>
#include <sys/resource.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "RatioRuns.h"
#include "core/CodecPresets.h"
#include "core/CropDetect.h"
#include "core/MainForm.h"
#include "core/RunControl.h"
#include "core/SourceRow.h"
#include "core/qv_convert.h"
#include "core/qv_joblist.h"
#include "platform/display/HeadlessDisplay.h"
#include "platform/os/CommandLine.h"
#include "platform/os/Pipes.h"
#include "platform/os/Process.h"
#include "platform/os/Wait.h"

namespace {

// The CPU time of this process so far (all its threads, no child processes), in user mode
// and in the system.
struct TCpu {
  double UserMs = 0, SystemMs = 0;
};

TCpu ProcessCpu()
{
  rusage U{};
  getrusage(RUSAGE_SELF, &U);
  auto Ms = [](const timeval& T) { return static_cast<double>(T.tv_sec) * 1000.0 + static_cast<double>(T.tv_usec) / 1000.0; };
  return {Ms(U.ru_utime), Ms(U.ru_stime)};
}

// Runs Line in Folder; its output goes through a pipe to a plain reader. Whether it ended with
// exit code 0; Lines gets the number of lines and carriage-return updates it wrote.
bool RunDirect(const std::string& Line, const std::string& Folder, long& Lines)
{
  HANDLE ReadEnd = nullptr, WriteEnd = nullptr;
  if (!CreatePipe(&ReadEnd, &WriteEnd, nullptr, 0)) return false;
  STARTUPINFOA Info;
  Info.dwFlags = STARTF_USESTDHANDLES;
  Info.hStdOutput = WriteEnd;
  Info.hStdError = WriteEnd;
  PROCESS_INFORMATION Pi;
  std::string Command = Line;
  const BOOL Started =
      CreateProcessA(nullptr, Command.data(), nullptr, nullptr, TRUE, 0, nullptr, Folder.c_str(), &Info, &Pi);
  CloseHandle(WriteEnd);
  if (!Started) {
    CloseHandle(ReadEnd);
    return false;
  }
  Lines = 0;
  std::thread Reader([&] {
    char Buffer[1024];
    DWORD N = 0;
    while (ReadFile(ReadEnd, Buffer, sizeof Buffer, &N, nullptr))
      for (DWORD I = 0; I < N; ++I) Lines += Buffer[I] == '\n' || Buffer[I] == '\r';
  });
  Reader.join();
  WaitForSingleObject(Pi.hProcess, INFINITE);
  DWORD Code = 1;
  GetExitCodeProcess(Pi.hProcess, &Code);
  CloseHandle(Pi.hProcess);
  CloseHandle(Pi.hThread);
  CloseHandle(ReadEnd);
  return Code == 0;
}

double Median(std::vector<double> V)
{
  std::sort(V.begin(), V.end());
  return V.empty() ? 0 : V[V.size() / 2];
}

}  // namespace

int main()
{
  for (const char* Tool : {"/usr/bin/mencoder", "/usr/bin/mplayer", "/usr/bin/ffmpeg"})
    if (!std::filesystem::exists(Tool)) {
      std::printf("conversion benchmark skipped: %s is not installed\n", Tool);
      return 0;
    }
  const char* PairsText = getenv("QV_BENCH_PAIRS");
  const int Pairs = std::max(10, PairsText ? atoi(PairsText) : 10);
  SetDisplayBackend(std::make_unique<THeadlessDisplay>());
  char Template[] = "/tmp/qv-convbench-XXXXXX";
  const std::string Dir = std::string(mkdtemp(Template)) + "/";
  WorkFolder = Dir + "work/";
  std::filesystem::create_directories(WorkFolder + "temp");
  for (const char* Tool : {"mencoder", "mplayer", "ffmpeg"})
    std::filesystem::create_symlink(std::string("/usr/bin/") + Tool, WorkFolder + Tool + ".exe");
  const std::string Clip = Dir + "clip.avi";
  const std::string Make = "ffmpeg -v error -y -f lavfi -i testsrc=size=640x480:rate=25 -f lavfi -i "
                           "sine=frequency=440:sample_rate=44100 -t 20 -c:v mpeg4 -c:a mp3 -ac 2 " + Clip;
  if (system(Make.c_str()) != 0) {
    std::printf("conversion benchmark: the clip could not be made\n");
    return 1;
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
  // The program's default options: crop detection stays on, wired as the main window wires it.
  ConversionOptions = TConversionOptions();
  RunHooks.AutoDetectCrop = [](int Row) { AutoDetectCrop(Row); };
  InstallRunControl();

  auto Prepare = [&] {
    std::filesystem::remove_all(Dir + "out");
    std::filesystem::create_directories(Dir + "out");
    for (const auto& [C, T] : Cells) Src->SetCells(C, 1, T);
    Src->SetCells(scConvert, 1, "Yes");
  };
  bool Failed = false;
  std::vector<double> CpuMs, UserMs;
  auto Program = [&] {
    const TCpu Before = ProcessCpu();
    GoClick();
    const TCpu After = ProcessCpu();
    UserMs.push_back(After.UserMs - Before.UserMs);
    CpuMs.push_back(UserMs.back() + After.SystemMs - Before.SystemMs);
    Failed |= !std::filesystem::exists(Dir + "out/clip.avi");
  };
  // Once untimed: it gives the encoder's command line as the program built it.
  Prepare();
  Program();
  CpuMs.clear();
  UserMs.clear();
  const std::string Line = Form->Edit1->GetText();
  long Lines = 0;
  auto Direct = [&] { Failed |= !RunDirect(Line, WorkFolder, Lines); };
  const auto R = qv::bench::AlternateRuns(Pairs, Prepare, Program, Direct);
  qv::bench::PrintRatio("conversion job vs the encoder run directly", R, "<= 1.02");
  std::printf("  program process CPU per job: median %.1f ms (%.1f-%.1f), %.1f ms of it in user mode; %ld status lines "
              "per job\n",
              Median(CpuMs), *std::min_element(CpuMs.begin(), CpuMs.end()), *std::max_element(CpuMs.begin(), CpuMs.end()),
              Median(UserMs), Lines);
  // Where that CPU goes: the same job with crop detection off leaves the run itself (start,
  // status lines, progress and the job's grid and status updates).
  ConversionOptions.NoCropping = true;
  CpuMs.clear();
  UserMs.clear();
  for (int I = 0; I < 5; ++I) {
    Prepare();
    Program();
  }
  ConversionOptions = TConversionOptions();
  std::printf("  of which the run without crop detection: median %.1f ms (%.1f-%.1f), %.1f ms in user mode\n",
              Median(CpuMs), *std::min_element(CpuMs.begin(), CpuMs.end()), *std::max_element(CpuMs.begin(), CpuMs.end()),
              Median(UserMs));
  if (Failed) std::printf("a run failed: line %s\n", Line.c_str());
  delete Form;
  std::filesystem::remove_all(Dir);
  return Failed ? 1 : 0;
}
