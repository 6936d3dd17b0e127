// The tool adapter as the program starts it, under an encoder's name in a work folder, running
// fake tools (tests/tools/qv_faketool under the system tools' names) by scenario: Ctrl+C, a
// failing consumer, a tool that writes nothing, the adapter killed, missing tools, and tools
// looked for on PATH but never in the work folder.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <string>
#include <vector>

#include "tests/support/ShellCommands.h"
#include "tests/support/DistinctPictures.h"
#include "tests/support/TempDirTest.h"

namespace {

std::string FakeTool() { return std::string(QV_TEST_BIN_DIR) + "/qv_faketool"; }

long long NowMs()
{
  return std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now().time_since_epoch())
      .count();
}

bool Alive(pid_t Pid) { return kill(Pid, 0) == 0; }

class ToolAdapterRun : public TTempDirTest {
protected:
  void SetUp() override
  {
    TTempDirTest::SetUp();
    Work = Dir + "work";
    Tools = Dir + "tools";
    std::filesystem::create_directories(Work);
    std::filesystem::create_directories(Tools);
    std::filesystem::create_directories(Dir + "tmp");
    for (const char* Name : {"mencoder.exe", "ffmpeg.exe", "tivo.exe"})
      std::filesystem::create_symlink(QV_TOOL_ADAPTER, Work + "/" + Name);
    for (const char* Name : {"mencoder", "ffmpeg", "sox"}) std::filesystem::create_symlink(FakeTool(), Tools + "/" + Name);
    Path = Tools;
  }
  void TearDown() override
  {
    if (Pid > 0) {
      kill(Pid, SIGKILL);
      waitpid(Pid, nullptr, 0);
    }
    if (OutFd >= 0) close(OutFd);
    TTempDirTest::TearDown();
  }

  void Scenario(const std::string& Text) { WriteBytes(Dir + "scenario", Text); }

  // Starts Work/Name with Args; output is read through Read.
  void Start(const std::string& Name, const std::vector<std::string>& Args)
  {
    int Fds[2];
    ASSERT_EQ(pipe2(Fds, O_CLOEXEC), 0);
    std::vector<std::string> Text = {Work + "/" + Name};
    Text.insert(Text.end(), Args.begin(), Args.end());
    std::vector<char*> Argv;
    for (std::string& A : Text) Argv.push_back(A.data());
    Argv.push_back(nullptr);
    const std::string Env[] = {"PATH=" + Path, "QV_FAKETOOL_SCENARIO=" + Dir + "scenario",
                               "QV_FAKETOOL_LOG=" + Dir + "log", "TMPDIR=" + Dir + "tmp"};
    std::vector<char*> Envp;
    std::vector<std::string> EnvText(std::begin(Env), std::end(Env));
    for (std::string& E : EnvText) Envp.push_back(E.data());
    Envp.push_back(nullptr);
    Pid = fork();
    ASSERT_GE(Pid, 0);
    if (Pid == 0) {
      setpgid(0, 0);
      dup2(Fds[1], 1);
      dup2(Fds[1], 2);
      execve(Argv[0], Argv.data(), Envp.data());
      _exit(126);
    }
    close(Fds[1]);
    OutFd = Fds[0];
  }
  // Reads output until Text shows or the adapter's output ends or Ms pass; true when it showed.
  bool ReadUntil(const std::string& Text, int Ms)
  {
    const long long End = NowMs() + Ms;
    while (Output.find(Text) == std::string::npos && NowMs() < End) {
      pollfd P = {OutFd, POLLIN, 0};
      if (poll(&P, 1, 50) <= 0) continue;
      char Buffer[4096];
      const ssize_t N = read(OutFd, Buffer, sizeof Buffer);
      if (N <= 0) break;
      Output.append(Buffer, static_cast<std::size_t>(N));
    }
    return Output.find(Text) != std::string::npos;
  }
  // The adapter's exit code, or -1 when it did not end within Ms.
  int Wait(int Ms)
  {
    ReadUntil("\x01never", Ms);
    const long long End = NowMs() + Ms;
    for (;;) {
      int Status = 0;
      if (waitpid(Pid, &Status, WNOHANG) == Pid) {
        Pid = -1;
        return WIFEXITED(Status) ? WEXITSTATUS(Status) : 128 + WTERMSIG(Status);
      }
      if (NowMs() > End) return -1;
      usleep(20000);
    }
  }
  // The processes the fake tools logged ("run PID NAME").
  std::vector<pid_t> LoggedPids()
  {
    std::vector<pid_t> Pids;
    std::istringstream Lines(ReadBytes(Dir + "log"));
    for (std::string Line; std::getline(Lines, Line);)
      if (Line.rfind("run ", 0) == 0) Pids.push_back(static_cast<pid_t>(std::atol(Line.c_str() + 4)));
    return Pids;
  }

  std::string Work, Tools, Path, Output;
  pid_t Pid = -1;
  int OutFd = -1;
};

// An AAC line: mencoder writes into a pipe that ffmpeg reads.
std::vector<std::string> AacArgs(const std::string& Out)
{
  return {"/v/in.mkv", "-ovc", "lavc", "-oac", "faac", "-faacopts", "br=96", "-of", "lavf", "-lavfopts", "format=mp4", "-o", Out};
}

}  // namespace

TEST_F(ToolAdapterRun, CtrlCReachesTheHeadOnceAndTheRestDrains)
{
  // mencoder closes its file on the first Ctrl+C and dies on a second one.
  Scenario("[mencoder]\nsigint finish\nwritefd 10 100000\nprint Pos: 1.0s 25f (20%)\nstall\nprint closing\n"
           "sleep 1000\nexit 0\n[ffmpeg]\ndrainfd 10\nfile $last 4000\nexit 0\n");
  const std::string Out = Dir + "out \"1\".mp4";
  Start("mencoder.exe", AacArgs(Out));
  ASSERT_TRUE(ReadUntil("Pos:", 10000)) << Output;
  kill(Pid, SIGINT);
  ASSERT_TRUE(ReadUntil("closing", 10000)) << Output;
  kill(Pid, SIGINT);  // the program's second Ctrl+C while mencoder closes its file
  EXPECT_EQ(Wait(10000), 0) << Output;
  EXPECT_EQ(ReadBytes(Out).size(), 4000u);
  EXPECT_NE(ReadBytes(Dir + "log").find("drained 10 100000"), std::string::npos) << "ffmpeg read everything";
}

TEST_F(ToolAdapterRun, AConsumerFailingAtOnceStopsTheProducer)
{
  Scenario("[mencoder]\nwritefd 10 100000000\nexit 0\n[ffmpeg]\neprint pipe:10: Invalid data found\nexit 1\n");
  const long long Started = NowMs();
  Start("mencoder.exe", AacArgs(Dir + "out.mp4"));
  EXPECT_EQ(Wait(15000), 1) << Output;
  EXPECT_LT(NowMs() - Started, 15000);
  EXPECT_NE(Output.find("Invalid data found"), std::string::npos);
  for (pid_t P : LoggedPids()) EXPECT_FALSE(Alive(P)) << P;
}

TEST_F(ToolAdapterRun, ExitCodesAndMessages)
{
  const struct {
    const char* Name;
    const char* Scenario;
    const char* Tool;
    std::vector<std::string> Args;
    int Code;
    const char* Says;
  } Cases[] = {
      {"ZeroWithoutTheOutputGivesOne", "[mencoder]\nprint compiled without libfaac\nexit 0\n", "mencoder.exe",
       {"/v/in.mkv", "-ovc", "xvid", "-oac", "mp3lame", "-o", "OUT"}, 1, "without writing"},
      {"TheDecidingToolsCode", "[mencoder]\nexit 3\n", "mencoder.exe", {"/v/in.mkv", "-o", "OUT"}, 3, ""},
      {"OutputWritten", "[ffmpeg]\nprint frame=1 size=1kB time=00:01:02.50 bitrate=1\nfile $last 10\nexit 0\n",
       "ffmpeg.exe", {"-i", "/v/in.avi", "-y", "OUT"}, 0, "time=62.50 "},
      {"ATivoRecordingIsNotDecoded", "", "tivo.exe", {"--mak", "1", "--out", "OUT", "/v/a.tivo"}, 1,
       "no TiVo decoder is available"},
      {"AMissingToolIsNamed", "", "mencoder.exe",
       {"/v/in.mkv", "-oac", "lavc", "-lavcopts", "acodec=libamr_nb", "-o", "OUT"}, 127, "sox is not installed"},
  };
  for (const auto& C : Cases) {
    SCOPED_TRACE(C.Name);
    Scenario(C.Scenario);
    if (std::string(C.Name) == "AMissingToolIsNamed") std::filesystem::remove(Tools + "/sox");
    std::vector<std::string> Args = C.Args;
    for (std::string& A : Args)
      if (A == "OUT") A = Dir + "out-" + C.Name;
    Output.clear();
    Start(C.Tool, Args);
    EXPECT_EQ(Wait(10000), C.Code) << Output;
    EXPECT_NE(Output.find(C.Says), std::string::npos) << Output;
    EXPECT_EQ(Output.find("Invalid MAK"), std::string::npos);
    close(OutFd);
    OutFd = -1;
  }
}

TEST_F(ToolAdapterRun, KillingTheAdapterLeavesNoChild)
{
  Scenario("[mencoder]\nprint Pos: 1.0s\nstall\n[ffmpeg]\ndrainfd 10\n");
  Start("mencoder.exe", AacArgs(Dir + "out.mp4"));
  ASSERT_TRUE(ReadUntil("Pos:", 10000)) << Output;
  while (LoggedPids().size() < 2) usleep(20000);
  const std::vector<pid_t> Children = LoggedPids();
  kill(Pid, SIGKILL);
  EXPECT_EQ(Wait(5000), 128 + SIGKILL);
  const long long End = NowMs() + 5000;
  for (pid_t P : Children) {
    while (Alive(P) && NowMs() < End) usleep(20000);
    EXPECT_FALSE(Alive(P)) << "child " << P << " outlived the adapter";
  }
}

TEST_F(ToolAdapterRun, ToolsComeFromThePathNeverFromTheWorkFolder)
{
  // The work folder comes first on PATH and holds an "ffmpeg" of its own: it is passed over,
  // as is a PATH entry that leads back to the adapter.
  WriteBytes(Work + "/ffmpeg", "#!/bin/sh\necho wrong ffmpeg\n");
  std::filesystem::permissions(Work + "/ffmpeg", std::filesystem::perms::owner_all);
  std::filesystem::create_directories(Dir + "loop");
  std::filesystem::create_symlink(QV_TOOL_ADAPTER, Dir + "loop/ffmpeg");
  Path = Work + ":" + Dir + "loop:" + Tools;
  // A dead run's temporary folder is swept; a live one's stays.
  const std::string Root = Dir + "tmp/qv-tooladapter-" + std::to_string(getuid());
  std::filesystem::create_directories(Root + "/run-999999999/x");
  std::filesystem::create_directories(Root + "/run-" + std::to_string(getpid()));
  Scenario("[ffmpeg]\nprint right ffmpeg\nfile $last 10\n");
  Start("ffmpeg.exe", {"-i", "/v/in.avi", Dir + "out.avi"});
  EXPECT_EQ(Wait(10000), 0) << Output;
  EXPECT_NE(Output.find("right ffmpeg"), std::string::npos) << Output;
  EXPECT_FALSE(std::filesystem::exists(Root + "/run-999999999"));
  EXPECT_TRUE(std::filesystem::exists(Root + "/run-" + std::to_string(getpid())));
}

namespace {

// The same runs with the installed mencoder and ffmpeg.
class ToolAdapterRealTools : public ToolAdapterRun {
protected:
  void SetUp() override
  {
    ToolAdapterRun::SetUp();
    const char* P = getenv("PATH");
    Path = P ? P : "";
    if (const char* Missing = qvtest::FirstMissingProgram({"mencoder", "ffmpeg", "ffprobe"}))
      GTEST_SKIP() << Missing << " is not installed";
  }
  std::string MakeClip(int Seconds)
  {
    const std::string Clip = Dir + "clip " + std::to_string(Seconds) + ".avi";
    qvtest::CommandOutput("ffmpeg -nostdin -v error -y -f lavfi -i testsrc=size=320x240:rate=25 -f lavfi -i sine=frequency=440:"
          "sample_rate=44100 -t " + std::to_string(Seconds) + " -c:v mpeg4 -q:v 3 -c:a mp3 -ac 2 " + qvtest::ShellQuoted(Clip));
    return Clip;
  }
  std::string Probe(const std::string& File, const std::string& Entries)
  {
    std::string S = qvtest::CommandOutput("ffprobe -v error " + Entries + " -of csv=p=0 " + qvtest::ShellQuoted(File));
    while (!S.empty() && (S.back() == '\n' || S.back() == '\r')) S.pop_back();
    return S;
  }
};

}  // namespace

TEST_F(ToolAdapterRealTools, OneCtrlCLeavesAValidPartialMp4)
{
  const std::string Clip = MakeClip(60), Out = Dir + "partial.mp4";
  Start("mencoder.exe", {Clip, "-vf", "harddup,scale=320:240,", "-ovc", "x264", "-x264encopts",
                         "threads=1:subq=6:partitions=all:bitrate=600:global_header", "-oac", "faac", "-faacopts",
                         "br=96:mpeg=4:object=2:raw", "-of", "lavf", "-lavfopts", "format=mp4", "-o", Out});
  ASSERT_TRUE(ReadUntil("Pos:   2.", 30000)) << Output;
  kill(Pid, SIGINT);
  // mencoder's own code for an interrupted run is passed on; what counts is the file.
  EXPECT_NE(Wait(30000), -1) << "the run ends";
  const double Seconds = atof(Probe(Out, "-show_entries format=duration").c_str());
  EXPECT_GT(Seconds, 1.5);
  EXPECT_LT(Seconds, 50.0) << "stopped early";
  EXPECT_EQ(Probe(Out, "-select_streams a:0 -show_entries stream=codec_name"), "aac");
  const qvtest::TPictureCount Pictures = qvtest::CountPictures(Out);
  EXPECT_GT(Pictures.Decoded, 30);
  EXPECT_EQ(Pictures.Distinct, Pictures.Decoded);
}

TEST_F(ToolAdapterRealTools, TwoPassAacHitsItsRate)
{
  const std::string Clip = MakeClip(30), Out = Dir + "two pass.mp4", Log = Dir + "temp/Clip.txt";
  std::filesystem::create_directories(Dir + "temp");
  for (const char* Pass : {"vpass=1:turbo:", "vpass=2:"}) {
    SCOPED_TRACE(Pass);
    std::vector<std::string> Args = {Clip, "-vf", "harddup,scale=320:240,", "-ovc", "lavc", "-oac", "faac", "-faacopts",
                                     std::string("br=64") + (Pass[6] == '1' ? "" : ":mpeg=4:object=2:raw"),
                                     "-lavcopts", std::string("aglobal=1:vglobal=1:vcodec=mpeg4:") + Pass + "vbitrate=120",
                                     "-of", "lavf", "-lavfopts", "format=mp4", "-passlogfile", Log, "-o", Out};
    Output.clear();
    Start("mencoder.exe", Args);
    ASSERT_EQ(Wait(120000), 0) << Output.substr(Output.size() > 2000 ? Output.size() - 2000 : 0);
    close(OutFd);
    OutFd = -1;
  }
  const double Video = atof(Probe(Out, "-select_streams v:0 -show_entries stream=bit_rate").c_str()) / 1000;
  const double Audio = atof(Probe(Out, "-select_streams a:0 -show_entries stream=bit_rate").c_str()) / 1000;
  EXPECT_NEAR(Video, 120, 12) << "kbit/s of video";
  EXPECT_NEAR(Audio, 64, 8) << "kbit/s of AAC";
  EXPECT_NEAR(atof(Probe(Out, "-show_entries format=duration").c_str()), 30, 0.5);
}
