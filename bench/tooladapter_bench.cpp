// The tool adapter's cost: each case runs the program's command line through the adapter (as
// the work folder's encoder name) and the same translated processes wired directly (pipes, no
// adapter), on a 300-second clip made by ffmpeg, and reports the time ratio adapter / direct
// (the goal is 1.02 at most). Cases: the AAC pipe, AMR-NB through sox, MP2 through twolame, an
// ffmpeg preset and a Windows Media Encoder preset. Needs mencoder, ffmpeg and sox; not run in CI.
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <array>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "tools/adapter/PlanExecutor.h"
#include "tools/adapter/ToolPlan.h"

namespace {

const std::string& Scratch()
{
  static const std::string Folder = [] {
    std::string Pattern = std::filesystem::temp_directory_path().string() + "/qv-adapter-bench-XXXXXX";
    const char* Made = mkdtemp(Pattern.data());
    const std::string F = Made ? Made : "/tmp";
    const std::string Clip = F + "/clip.avi";
    const std::string Make = "ffmpeg -nostdin -v error -y -f lavfi -i testsrc=size=176x144:rate=25 -f lavfi -i "
                             "sine=frequency=440:sample_rate=44100 -t 300 -c:v mpeg4 -q:v 4 -c:a mp3 -ac 2 " + Clip;
    if (std::system(Make.c_str()) != 0) return std::string();
    std::filesystem::create_directories(F + "/work");
    for (const char* Name : {"mencoder.exe", "ffmpeg.exe", "qvcscript.exe"})
      std::filesystem::create_symlink(QV_BENCH_TOOL_ADAPTER, F + "/work/" + Name);
    return F;
  }();
  return Folder;
}

double Seconds(std::chrono::steady_clock::time_point Since)
{
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - Since).count();
}

pid_t Spawn(const std::string& Path, const std::vector<std::string>& Args, const std::vector<std::pair<int, int>>& Fds)
{
  std::vector<std::string> Text = {Path};
  Text.insert(Text.end(), Args.begin(), Args.end());
  std::vector<char*> Argv;
  for (std::string& A : Text) Argv.push_back(A.data());
  Argv.push_back(nullptr);
  const pid_t Pid = fork();
  if (Pid == 0) {
    const int Null = open("/dev/null", O_RDWR);
    dup2(Null, 0);
    dup2(Null, 1);
    dup2(Null, 2);
    for (const auto& [From, To] : Fds) dup2(From, To);
    execv(Path.c_str(), Argv.data());
    _exit(127);
  }
  return Pid;
}

// The plan's processes wired by hand: every step's processes with their pipes, waited for.
bool RunDirect(const qv::tools::TToolPlan& Plan, const std::string& Temp)
{
  qv::tools::TExecutorSettings Settings;
  Settings.PathList = std::getenv("PATH") ? std::getenv("PATH") : "";
  if (Plan.UsesTempFolder) std::filesystem::create_directories(Temp);
  bool Ok = true;
  for (const auto& Step : Plan.Steps) {
    std::vector<std::array<int, 2>> Pipes(static_cast<std::size_t>(Step.PipeCount));
    for (auto& P : Pipes) {
      int Fds[2];
      if (pipe2(Fds, O_CLOEXEC) != 0) return false;
      P = {fcntl(Fds[0], F_DUPFD_CLOEXEC, 100), fcntl(Fds[1], F_DUPFD_CLOEXEC, 100)};
      close(Fds[0]);
      close(Fds[1]);
    }
    std::vector<pid_t> Pids;
    for (const auto& Proc : Step.Processes) {
      std::vector<std::pair<int, int>> Fds;
      for (int W : Proc.WritePipes) Fds.push_back({Pipes[static_cast<std::size_t>(W)][1], qv::tools::PipeFd(W)});
      for (int R : Proc.ReadPipes) Fds.push_back({Pipes[static_cast<std::size_t>(R)][0], qv::tools::PipeFd(R)});
      Pids.push_back(Spawn(qv::tools::FindTool(Proc.Program, Settings), Proc.Args, Fds));
    }
    for (auto& P : Pipes)
      for (int Fd : P) close(Fd);
    for (pid_t Pid : Pids) {
      int Status = 0;
      waitpid(Pid, &Status, 0);
      Ok = Ok && WIFEXITED(Status) && WEXITSTATUS(Status) == 0;
    }
  }
  if (Plan.UsesTempFolder) std::filesystem::remove_all(Temp);
  return Ok;
}

void Compare(benchmark::State& State, const std::string& Tool, const std::vector<std::string>& Template)
{
  const std::string F = Scratch();
  if (F.empty()) {
    State.SkipWithError("no clip (is ffmpeg installed?)");
    return;
  }
  std::vector<std::string> Args;
  for (std::string A : Template) {
    for (std::size_t At; (At = A.find("CLIP")) != std::string::npos;) A.replace(At, 4, F + "/clip.avi");
    for (std::size_t At; (At = A.find("OUT")) != std::string::npos;) A.replace(At, 3, F + "/out");
    Args.push_back(A);
  }
  const qv::tools::TToolPlan Plan = qv::tools::TranslateToolCommand(Tool, Args, F + "/direct-temp");
  double Adapter = 0, Direct = 0;
  bool AdapterFirst = true;
  for (auto _ : State) {
    // Alternating which runs first evens out the caches and the machine's other load.
    for (int Turn = 0; Turn < 2; ++Turn) {
      const auto Start = std::chrono::steady_clock::now();
      if ((Turn == 0) == AdapterFirst) {
        const pid_t Pid = Spawn(F + "/work/" + Tool, Args, {});
        int Status = 0;
        waitpid(Pid, &Status, 0);
        Adapter += Seconds(Start);
        if (!WIFEXITED(Status) || WEXITSTATUS(Status) != 0) State.SkipWithError("the adapter's run failed");
      } else {
        if (!RunDirect(Plan, F + "/direct-temp")) State.SkipWithError("the direct run failed");
        Direct += Seconds(Start);
      }
    }
    AdapterFirst = !AdapterFirst;
  }
  State.counters["adapter_s"] = Adapter / static_cast<double>(State.iterations());
  State.counters["direct_s"] = Direct / static_cast<double>(State.iterations());
  State.counters["ratio"] = Direct > 0 ? Adapter / Direct : 0;
}

void AacPipe(benchmark::State& S)
{
  Compare(S, "mencoder.exe", {"CLIP", "-vf", "harddup,scale=176:144,", "-ovc", "lavc", "-oac", "faac", "-faacopts",
                              "br=64:mpeg=4:object=2:raw", "-lavcopts", "aglobal=1:vglobal=1:vcodec=mpeg4:vbitrate=200",
                              "-of", "lavf", "-lavfopts", "format=3gp", "-af", "channels=2,volume=5:resample=24000",
                              "-srate", "24000", "-o", "OUT.3gp"});
}
void AmrNb(benchmark::State& S)
{
  Compare(S, "mencoder.exe", {"CLIP", "-vf", "harddup,scale=176:144,", "-ovc", "lavc", "-oac", "lavc", "-lavcopts",
                              "aglobal=1:vglobal=1:vcodec=h263:acodec=libamr_nb:vbitrate=200:abitrate=12200", "-of",
                              "lavf", "-lavfopts", "format=3gp", "-af", "channels=1,volume=5:resample=8000", "-srate",
                              "8000", "-o", "OUT.3gp"});
}
void Mp2(benchmark::State& S)
{
  Compare(S, "mencoder.exe", {"CLIP", "-vf", "harddup,scale=176:144,", "-ovc", "xvid", "-oac", "lavc", "-lavcopts",
                              "acodec=mp2:br=128", "-xvidencopts", "bitrate=200", "-ffourcc", "XVID", "-o", "OUT.avi"});
}
void FfmpegPreset(benchmark::State& S)
{
  Compare(S, "ffmpeg.exe", {"-i", "CLIP", "-y", "-f", "psp", "-vcodec", "xvid", "-b", "200", "-maxrate", "2500k", "-g",
                            "250", "-acodec", "aac", "-ac", "2", "-ar", "24000", "-ab", "64k", "-vol", "256", "-s",
                            "176x144", "OUT.MP4"});
}
void WmePreset(benchmark::State& S)
{
  Compare(S, "qvcscript.exe", {"wmcmd.vbs", "-input", "CLIP", "-v_width", "176", "-v_height", "144", "-time", "0",
                               "end", "-v_codec", "WMV9", "-v_bitrate", "200000", "-v_mode", "0", "-a_setting",
                               "64_44_2", "-output", "OUT.wmv"});
}

}  // namespace

BENCHMARK(AacPipe)->Iterations(4)->Unit(benchmark::kSecond)->UseRealTime();
BENCHMARK(AmrNb)->Iterations(4)->Unit(benchmark::kSecond)->UseRealTime();
BENCHMARK(Mp2)->Iterations(4)->Unit(benchmark::kSecond)->UseRealTime();
BENCHMARK(FfmpegPreset)->Iterations(4)->Unit(benchmark::kSecond)->UseRealTime();
BENCHMARK(WmePreset)->Iterations(4)->Unit(benchmark::kSecond)->UseRealTime();
