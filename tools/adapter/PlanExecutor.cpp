#include "tools/adapter/PlanExecutor.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

#include <array>
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <memory>
#include <system_error>

#include "tools/adapter/ProgressRelay.h"

namespace qv::tools {

namespace {

int SignalPipe[2] = {-1, -1};
volatile sig_atomic_t Interrupts = 0;
volatile sig_atomic_t Terminations = 0;

void OnSignal(int Signal)
{
  const int Saved = errno;
  if (Signal == SIGINT) Interrupts = Interrupts + 1;
  if (Signal == SIGTERM) Terminations = Terminations + 1;
  const char C = 1;
  if (write(SignalPipe[1], &C, 1) < 0) {
  }
  errno = Saved;
}

void WriteAll(int Fd, const std::string& Text)
{
  std::size_t Done = 0;
  while (Done < Text.size()) {
    const ssize_t N = write(Fd, Text.data() + Done, Text.size() - Done);
    if (N < 0 && errno == EINTR) continue;
    if (N <= 0) return;
    Done += static_cast<std::size_t>(N);
  }
}

// An fd at 100 or above with close-on-exec, so that the numbers the plan uses stay free.
int HighFd(int Fd)
{
  const int High = fcntl(Fd, F_DUPFD_CLOEXEC, 100);
  close(Fd);
  return High;
}

std::string RealPath(const std::string& Path)
{
  char Buffer[PATH_MAX];
  return realpath(Path.c_str(), Buffer) ? std::string(Buffer) : std::string();
}

bool IsExecutableFile(const std::string& Path)
{
  struct stat St {};
  return stat(Path.c_str(), &St) == 0 && S_ISREG(St.st_mode) && access(Path.c_str(), X_OK) == 0;
}

class TSignalScope {
public:
  TSignalScope()
  {
    if (pipe2(SignalPipe, O_CLOEXEC | O_NONBLOCK) != 0) SignalPipe[0] = SignalPipe[1] = -1;
    struct sigaction Action {};
    Action.sa_handler = OnSignal;
    sigemptyset(&Action.sa_mask);
    Action.sa_flags = SA_RESTART;
    sigaction(SIGINT, &Action, &OldInt);
    sigaction(SIGTERM, &Action, &OldTerm);
    sigaction(SIGCHLD, &Action, &OldChild);
    struct sigaction Ignore {};
    Ignore.sa_handler = SIG_IGN;
    sigaction(SIGPIPE, &Ignore, &OldPipe);
  }
  ~TSignalScope()
  {
    sigaction(SIGINT, &OldInt, nullptr);
    sigaction(SIGTERM, &OldTerm, nullptr);
    sigaction(SIGCHLD, &OldChild, nullptr);
    sigaction(SIGPIPE, &OldPipe, nullptr);
    for (int& Fd : SignalPipe) {
      if (Fd >= 0) close(Fd);
      Fd = -1;
    }
  }
  TSignalScope(const TSignalScope&) = delete;
  TSignalScope& operator=(const TSignalScope&) = delete;

private:
  struct sigaction OldInt {}, OldTerm {}, OldChild {}, OldPipe {};
};

struct TRunning {
  pid_t Pid = -1;
  bool Done = false;
  bool StoppedByUs = false;
  int Code = 0;
  int RelayFd = -1;
  TProgressRelay Relay;
};

struct TStepResult {
  int Code = 0;
  bool Terminated = false;
};

TStepResult RunStep(const TToolStep& Step, const std::vector<std::string>& Paths, const TExecutorSettings& Settings,
                    int& InterruptsSeen, int& TerminationsSeen)
{
  TStepResult Result;
  std::vector<std::array<int, 2>> Pipes(static_cast<std::size_t>(Step.PipeCount), {-1, -1});
  for (auto& P : Pipes) {
    int Fds[2];
    if (pipe2(Fds, O_CLOEXEC) != 0) {
      WriteAll(Settings.OutputFd, "quelvo3 tool adapter: cannot make a pipe: " + std::string(std::strerror(errno)) + "\n");
      Result.Code = 1;
      return Result;
    }
    P = {HighFd(Fds[0]), HighFd(Fds[1])};
  }
  std::vector<std::unique_ptr<TRunning>> Running;
  const pid_t Parent = getpid();
  for (std::size_t I = 0; I < Step.Processes.size(); ++I) {
    const TToolProcess& Proc = Step.Processes[I];
    auto R = std::make_unique<TRunning>();
    int RelayWrite = -1;
    if (Proc.RewriteProgress) {
      int Fds[2];
      if (pipe2(Fds, O_CLOEXEC) == 0) {
        R->RelayFd = HighFd(Fds[0]);
        RelayWrite = HighFd(Fds[1]);
      }
    }
    std::vector<std::string> ArgText = {Proc.Program};
    for (const std::string& A : Proc.Args) ArgText.push_back(A);
    std::vector<char*> Argv;
    for (std::string& A : ArgText) Argv.push_back(A.data());
    Argv.push_back(nullptr);
    const pid_t Pid = fork();
    if (Pid == 0) {
      setpgid(0, 0);
      prctl(PR_SET_PDEATHSIG, SIGKILL);
      if (getppid() != Parent) _exit(127);
      for (int S : {SIGINT, SIGTERM, SIGCHLD, SIGPIPE}) signal(S, SIG_DFL);
      sigset_t None;
      sigemptyset(&None);
      sigprocmask(SIG_SETMASK, &None, nullptr);
      const int Null = open("/dev/null", O_RDONLY);
      if (Null >= 0) dup2(Null, 0);
      if (RelayWrite >= 0) {
        dup2(RelayWrite, 1);
        dup2(RelayWrite, 2);
      } else if (Settings.OutputFd != 1) {
        dup2(Settings.OutputFd, 1);
        dup2(Settings.OutputFd, 2);
      }
      for (int W : Proc.WritePipes) dup2(Pipes[static_cast<std::size_t>(W)][1], PipeFd(W));
      for (int Rd : Proc.ReadPipes) dup2(Pipes[static_cast<std::size_t>(Rd)][0], PipeFd(Rd));
      execv(Paths[I].c_str(), Argv.data());
      const std::string Message = Proc.Program + ": cannot start " + Paths[I] + ": " + std::strerror(errno) + "\n";
      if (write(2, Message.data(), Message.size()) < 0) {
      }
      _exit(127);
    }
    if (RelayWrite >= 0) close(RelayWrite);
    if (Pid < 0) {
      WriteAll(Settings.OutputFd, "quelvo3 tool adapter: cannot start " + Proc.Program + "\n");
      R->Done = true;
      R->Code = 127;
      if (!Result.Code) Result.Code = 127;
    } else {
      setpgid(Pid, Pid);
      R->Pid = Pid;
    }
    Running.push_back(std::move(R));
  }
  for (auto& P : Pipes)
    for (int Fd : P) close(Fd);

  auto Stop = [&](std::size_t I, int Signal) {
    if (!Running[I]->Done && Running[I]->Pid > 0) kill(-Running[I]->Pid, Signal);
  };
  auto WritersOf = [&](std::size_t Reader) {
    std::vector<std::size_t> W;
    for (int Pipe : Step.Processes[Reader].ReadPipes)
      for (std::size_t J = 0; J < Step.Processes.size(); ++J)
        for (int Out : Step.Processes[J].WritePipes)
          if (Out == Pipe) W.push_back(J);
    return W;
  };
  bool Failed = Result.Code != 0;
  if (Failed)
    for (std::size_t I = 0; I < Running.size(); ++I) {
      Stop(I, SIGKILL);
      Running[I]->StoppedByUs = true;
    }
  for (;;) {
    // Signals that came for the adapter.
    if (Interrupts > InterruptsSeen) {
      if (InterruptsSeen == 0) Stop(0, SIGINT);  // once: a second one kills mencoder before it closes its file
      InterruptsSeen = Interrupts;
    }
    if (Terminations > TerminationsSeen) {
      TerminationsSeen = Terminations;
      Stop(0, SIGTERM);
      Result.Terminated = true;
    }
    // Processes that ended.
    for (;;) {
      int Status = 0;
      const pid_t Pid = waitpid(-1, &Status, WNOHANG);
      if (Pid <= 0) break;
      for (std::size_t I = 0; I < Running.size(); ++I) {
        TRunning& R = *Running[I];
        if (R.Pid != Pid || R.Done) continue;
        R.Done = true;
        R.Code = WIFEXITED(Status) ? WEXITSTATUS(Status) : 128 + (WIFSIGNALED(Status) ? WTERMSIG(Status) : 0);
        if (R.Code != 0 && !R.StoppedByUs && !Failed) {
          Failed = true;
          Result.Code = R.Code;
        }
        for (std::size_t W : WritersOf(I))
          if (!Running[W]->Done) {
            Running[W]->StoppedByUs = true;
            Stop(W, SIGKILL);
          }
      }
    }
    bool AllDone = true;
    std::vector<pollfd> Polls;
    Polls.push_back({SignalPipe[0], POLLIN, 0});
    for (auto& R : Running) {
      AllDone = AllDone && R->Done && R->RelayFd < 0;
      if (R->RelayFd >= 0) Polls.push_back({R->RelayFd, POLLIN, 0});
    }
    if (AllDone) break;
    const int N = poll(Polls.data(), Polls.size(), 200);
    if (N <= 0) continue;
    if (Polls[0].revents) {
      char Drain[64];
      while (read(SignalPipe[0], Drain, sizeof Drain) > 0) {
      }
    }
    for (std::size_t P = 1; P < Polls.size(); ++P) {
      if (!Polls[P].revents) continue;
      for (auto& R : Running) {
        if (R->RelayFd != Polls[P].fd) continue;
        char Buffer[4096];
        const ssize_t Got = read(R->RelayFd, Buffer, sizeof Buffer);
        if (Got > 0) {
          WriteAll(Settings.OutputFd, R->Relay.Feed(Buffer, static_cast<std::size_t>(Got)));
        } else if (Got == 0 || (errno != EINTR && errno != EAGAIN)) {
          WriteAll(Settings.OutputFd, R->Relay.Finish());
          close(R->RelayFd);
          R->RelayFd = -1;
        }
      }
    }
  }
  return Result;
}

bool OutputWritten(const std::string& Output, const timespec& Started)
{
  struct stat St {};
  if (stat(Output.c_str(), &St) != 0 || !S_ISREG(St.st_mode) || St.st_size <= 0) return false;
  return St.st_mtim.tv_sec > Started.tv_sec - 2;
}

}  // namespace

std::string FindTool(const std::string& Program, const TExecutorSettings& Settings)
{
  const std::string Skip = Settings.SkipFolder.empty() ? std::string() : RealPath(Settings.SkipFolder);
  const std::string Self = Settings.SelfPath.empty() ? std::string() : RealPath(Settings.SelfPath);
  std::size_t Start = 0;
  const std::string& List = Settings.PathList;
  while (Start <= List.size()) {
    std::size_t End = List.find(':', Start);
    if (End == std::string::npos) End = List.size();
    const std::string Folder = List.substr(Start, End - Start);
    Start = End + 1;
    if (Folder.empty() || Folder[0] != '/') continue;
    if (!Skip.empty() && RealPath(Folder) == Skip) continue;
    const std::string Candidate = Folder + (Folder.back() == '/' ? "" : "/") + Program;
    if (!IsExecutableFile(Candidate)) continue;
    if (!Self.empty() && RealPath(Candidate) == Self) continue;
    return Candidate;
  }
  return std::string();
}

int RunToolPlan(const TToolPlan& Plan, const std::string& TempFolder, const TExecutorSettings& Settings)
{
  if (!Plan.Message.empty()) WriteAll(Settings.OutputFd, Plan.Message + "\n");
  if (Plan.Steps.empty()) return Plan.MessageExitCode;
  std::vector<std::vector<std::string>> Paths;
  for (const TToolStep& Step : Plan.Steps) {
    Paths.emplace_back();
    for (const TToolProcess& Proc : Step.Processes) {
      const std::string Path = FindTool(Proc.Program, Settings);
      if (Path.empty()) {
        WriteAll(Settings.OutputFd, Proc.Program + " is not installed (not found on PATH)\n");
        return 127;
      }
      Paths.back().push_back(Path);
    }
  }
  if (Plan.UsesTempFolder && (TempFolder.empty() || (mkdir(TempFolder.c_str(), 0700) != 0 && errno != EEXIST))) {
    WriteAll(Settings.OutputFd, "quelvo3 tool adapter: cannot make the temporary folder " + TempFolder + "\n");
    return 1;
  }
  timespec Started {};
  clock_gettime(CLOCK_REALTIME, &Started);
  int Code = 0;
  {
    TSignalScope Signals;
    int InterruptsSeen = 0, TerminationsSeen = 0;
    Interrupts = 0;
    Terminations = 0;
    for (std::size_t S = 0; S < Plan.Steps.size() && Code == 0; ++S) {
      const TStepResult R = RunStep(Plan.Steps[S], Paths[S], Settings, InterruptsSeen, TerminationsSeen);
      Code = R.Code;
      if (R.Terminated && Code == 0) Code = 128 + SIGTERM;
    }
  }
  if (Plan.UsesTempFolder) {
    std::error_code Ignored;
    std::filesystem::remove_all(TempFolder, Ignored);
  }
  if (Code == 0 && !Plan.Output.empty() && !OutputWritten(Plan.Output, Started)) {
    WriteAll(Settings.OutputFd, "quelvo3 tool adapter: the tool ended without writing " + Plan.Output + "\n");
    Code = 1;
  }
  return Code;
}

std::string TempRootFolder()
{
  const char* Tmp = std::getenv("TMPDIR");
  std::string Base = Tmp && Tmp[0] == '/' ? Tmp : "/tmp";
  while (Base.size() > 1 && Base.back() == '/') Base.pop_back();
  const std::string Root = Base + "/qv-tooladapter-" + std::to_string(getuid());
  mkdir(Root.c_str(), 0700);
  struct stat St {};
  if (lstat(Root.c_str(), &St) != 0 || !S_ISDIR(St.st_mode) || St.st_uid != getuid()) return std::string();
  return Root;
}

std::string RunTempFolder(const std::string& Root, long Pid) { return Root + "/run-" + std::to_string(Pid); }

void SweepTempFolders(const std::string& Root)
{
  if (Root.empty()) return;
  std::error_code Error;
  for (const auto& Entry : std::filesystem::directory_iterator(Root, Error)) {
    const std::string Name = Entry.path().filename().string();
    if (Name.rfind("run-", 0) != 0) continue;
    char* End = nullptr;
    const long Pid = std::strtol(Name.c_str() + 4, &End, 10);
    if (Pid <= 0 || *End != '\0') continue;
    if (kill(static_cast<pid_t>(Pid), 0) == 0 || errno != ESRCH) continue;
    std::error_code Ignored;
    std::filesystem::remove_all(Entry.path(), Ignored);
  }
}

}  // namespace qv::tools
