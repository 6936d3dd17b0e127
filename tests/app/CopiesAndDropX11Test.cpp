// What reaches the running program's pending inputs from outside: files and folders dragged from
// another X client onto the main window (tests/tools/qv_xdnddrag plays the file manager), and the
// arguments of second starts, handed over to the copy that runs. The program's windows run in a
// child on a private Xvfb; a second start is this test program again, in the role of
// QV_SECOND_START (its arguments in the file that variable names), running the program's start.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <stdlib.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "app/MainWindow.h"
#include "app/ProgramMain.h"
#include "platform/vcl/Dialogs.h"
#include "tests/support/TempDirTest.h"
#include "tests/support/XvfbChildRun.h"

namespace {

constexpr const char* ServerVariable = "QV_COPIES_DROP_X11";
constexpr const char* SecondStartVariable = "QV_SECOND_START";

// The arguments file: every argument ended by a zero byte.
std::vector<String> ReadArguments(const std::string& Path)
{
  std::ifstream In(Path, std::ios::binary);
  std::vector<String> Args;
  String Arg;
  for (char C; In.get(C);) {
    if (C == '\0') {
      Args.push_back(Arg);
      Arg.clear();
    } else {
      Arg += C;
    }
  }
  return Args;
}

// In the role of a second start: the program's start with the file's arguments, then the end.
// Own is the temporary folder this run made for itself (the first copy's stays).
void RunAsSecondStartWhenAsked(const std::string& Own)
{
  if (const char* File = getenv(SecondStartVariable)) {
    std::error_code Ignored;
    std::filesystem::remove_all(Own, Ignored);
    const int Code = ProgramMain(ReadArguments(File));
    std::fflush(nullptr);
    _exit(Code);
  }
}

// Starts this program as a second start of the program with Args.
pid_t StartSecond(const std::string& ArgsFile, const std::vector<std::string>& Args)
{
  {
    std::ofstream Out(ArgsFile, std::ios::binary);
    for (const auto& A : Args) Out << A << '\0';
  }
  const std::string Filter =
      std::string("--gtest_filter=") + testing::UnitTest::GetInstance()->current_test_info()->test_suite_name() + "." +
      testing::UnitTest::GetInstance()->current_test_info()->name();
  const pid_t P = fork();
  if (P == 0) {
    setenv(SecondStartVariable, ArgsFile.c_str(), 1);
    setenv("QV_DISPLAY", "headless", 1);
    unsetenv("DISPLAY");
    unsetenv(ServerVariable);
    freopen("/dev/null", "w", stdout);
    execl("/proc/self/exe", "second_start", Filter.c_str(), "--gtest_also_run_disabled_tests", nullptr);
    _exit(127);
  }
  return P;
}

// A connection to the first copy's channel, as any process of the user could make one; -1 when
// none could be made.
int ConnectToCopy(const std::string& RunFolder, pid_t Pid)
{
  const std::string Path = RunFolder + "/quelvo3/instances/" + std::to_string(Pid) + ".sock";
  const int Fd = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
  sockaddr_un Address{};
  Address.sun_family = AF_UNIX;
  std::snprintf(Address.sun_path, sizeof Address.sun_path, "%s", Path.c_str());
  if (connect(Fd, reinterpret_cast<sockaddr*>(&Address), sizeof Address) != 0) {
    close(Fd);
    return -1;
  }
  return Fd;
}

class TCopiesAndDrop : public TTempDirTest {
protected:
  // The child's own home and run folder, then the program's windows as start-up makes them.
  TMainWindow* StartFirst(TDisplayBackend* Display)
  {
    const std::string Home = Dir + "home/", Run = Dir + "run";
    std::filesystem::create_directories(Home + ".local/share/Quelvo3");
    std::filesystem::create_directories(Run);
    std::filesystem::permissions(Run, std::filesystem::perms::owner_all);
    setenv("HOME", Home.c_str(), 1);
    setenv("XDG_DATA_HOME", (Home + ".local/share").c_str(), 1);
    setenv("XDG_CONFIG_HOME", (Home + ".config").c_str(), 1);
    setenv("XDG_RUNTIME_DIR", Run.c_str(), 1);
    SetDialogHandler([](TDialogRequest&) { return mrOk; });
    String Failure;
    EXPECT_TRUE(CreateProgramWindows({}, Failure)) << Failure;
    TMainWindow* W = ProgramMainWindow();
    if (!W) return nullptr;
    W->SetBounds(0, 0, W->GetWidth(), W->GetHeight());
    W->Show();
    PumpDisplay(Display, 20);
    return W;
  }
  // Pumps the program (its scan kept from taking the pending inputs away) until Done holds or
  // Seconds pass.
  static bool PumpUntil(TMainWindow* W, TDisplayBackend* Display, double Seconds, const std::function<bool()>& Done)
  {
    const auto End = std::chrono::steady_clock::now() + std::chrono::duration<double>(Seconds);
    while (std::chrono::steady_clock::now() < End) {
      Application->ProcessMessages();
      W->ScanTimer->SetEnabled(false);
      Display->Flush();
      if (Done()) return true;
      usleep(5000);
    }
    return Done();
  }
  static std::vector<String> Pending(TMainWindow* W)
  {
    std::vector<String> Items;
    for (int I = 0; I < W->ListBox1->GetItems()->GetCount(); ++I) Items.push_back(W->ListBox1->GetItems()->Get(I));
    return Items;
  }
  // The exit code of P once it ended, -1 while it runs.
  static int ExitCode(pid_t P)
  {
    int Status = 0;
    if (waitpid(P, &Status, WNOHANG) != P) return -1;
    return WIFEXITED(Status) ? WEXITSTATUS(Status) : 128 + WTERMSIG(Status);
  }
  // Pumps the program until P ends (at most Seconds); its exit code, or -1 after it was killed
  // for running too long.
  static int PumpUntilExit(TMainWindow* W, TDisplayBackend* Display, pid_t P, double Seconds)
  {
    int Code = -1;
    PumpUntil(W, Display, Seconds, [&] { return (Code = ExitCode(P)) != -1; });
    if (Code == -1) {
      kill(P, SIGKILL);
      waitpid(P, nullptr, 0);
    }
    return Code;
  }
  void Finish()
  {
    DestroyProgramWindows();
    SetDialogHandler(nullptr);
  }
};

TEST_F(TCopiesAndDrop, DroppedFilesAndFoldersArriveWholeAndInOrder)
{
  const TXvfbChild Where = RunOnXvfbChild(ServerVariable, [&](const char* Server, TDisplayBackend* Display) {
    TMainWindow* W = StartFirst(Display);
    ASSERT_NE(W, nullptr);
    // A folder whose name and path are long (a name may hold 255 bytes, the path more).
    const std::string Media = Dir + "media/";
    const std::string LongFolder = Media + std::string(250, 'f') + "/";
    std::filesystem::create_directories(LongFolder);
    const std::vector<std::string> Names = {
        Media + "a b.avi",
        Media + "say \"hi\".avi",
        Media + "Gr\xC3\xBC\xC3\x9F" "e \xE2\x98\x83.mkv",
        LongFolder + std::string(240, 'n') + ".avi",
        LongFolder.substr(0, LongFolder.size() - 1),
        Media + "-lead 100% #1?.avi",
        Media + "back\\slash.avi",
        Media + "raw \xFF\xFE.avi",
    };
    ASSERT_GT(Names[3].size(), 300u);
    for (const auto& N : Names)
      if (!std::filesystem::is_directory(N)) WriteBytes(N, "x");
    const std::vector<String> Expected(Names.begin(), Names.end());
    const pid_t Drag = fork();
    if (Drag == 0) {
      const std::string Tool = std::string(QV_TEST_BIN_DIR) + "/qv_xdnddrag";
      const std::string Target = std::to_string(Display->NativeId(GetDisplayWindow(W->GetHandle())));
      std::vector<char*> Argv{const_cast<char*>("qv_xdnddrag"), const_cast<char*>(Server),
                              const_cast<char*>(Target.c_str())};
      for (const auto& N : Names) Argv.push_back(const_cast<char*>(N.c_str()));
      Argv.push_back(nullptr);
      execv(Tool.c_str(), Argv.data());
      _exit(127);
    }
    const int Code = PumpUntilExit(W, Display, Drag, 20);
    EXPECT_EQ(Code, 0) << "the program did not take the drop";
    EXPECT_TRUE(PumpUntil(W, Display, 5, [&] { return W->ListBox1->GetItems()->GetCount() >= 8; }));
    EXPECT_EQ(Pending(W), Expected);
    Finish();
  });
  if (Where == TXvfbChild::NoServer) GTEST_SKIP() << "Xvfb is not available";
}

// Known fault, open: now and then a second start whose arguments the first copy took keeps
// running as a copy of its own (it sits in its message loop instead of ending), seen in about
// half of the starts here: its WM_COPYDATA to the first copy's window is handled there, yet the
// send reports failure to the second start, which then counts no copy that took the command
// line. Enable once a second start reliably ends after the hand-over (run with
// --gtest_also_run_disabled_tests).
TEST_F(TCopiesAndDrop, DISABLED_SecondStartsHandTheirArgumentsToTheFirstCopyInOrder)
{
  RunAsSecondStartWhenAsked(Dir);
  const TXvfbChild Where = RunOnXvfbChild(ServerVariable, [&](const char*, TDisplayBackend* Display) {
    TMainWindow* W = StartFirst(Display);
    ASSERT_NE(W, nullptr);
    const std::vector<std::vector<std::string>> Starts = {
        {"", "/v/a b.avi", "say \"hi\".avi"},
        {"line\nbreak.avi", "-dash.avi", "back\\slash \xC3\xBC.avi"},
        {"cr\r\nlf.avi", ""},
    };
    std::vector<String> Expected;
    for (std::size_t I = 0; I < Starts.size(); ++I) {
      // One after the other, so their order is the order of the starts.
      const pid_t Second = StartSecond(Dir + "args" + std::to_string(I), Starts[I]);
      const int Code = PumpUntilExit(W, Display, Second, 20);
      EXPECT_EQ(Code, 0) << "second start " << I;
      Expected.insert(Expected.end(), Starts[I].begin(), Starts[I].end());
      PumpUntil(W, Display, 3, [&] { return Pending(W).size() >= Expected.size(); });
    }
    EXPECT_EQ(Pending(W), Expected);
    Finish();
  });
  if (Where == TXvfbChild::NoServer) GTEST_SKIP() << "Xvfb is not available";
}

// Disabled for the same fault as the test above.
TEST_F(TCopiesAndDrop, DISABLED_AFloodOfStartsAndBadPeersLoseNoArgument)
{
  RunAsSecondStartWhenAsked(Dir);
  const TXvfbChild Where = RunOnXvfbChild(ServerVariable, [&](const char*, TDisplayBackend* Display) {
    TMainWindow* W = StartFirst(Display);
    ASSERT_NE(W, nullptr);
    // Peers that are no copies of the program: one sends bytes that are no request, others
    // connect and never send or read anything.
    std::vector<int> Peers;
    const int Garbage = ConnectToCopy(Dir + "run", getpid());
    ASSERT_GE(Garbage, 0) << "the first copy has no channel";
    const std::string Junk(4096, '\x5A');
    EXPECT_GT(send(Garbage, Junk.data(), Junk.size(), MSG_NOSIGNAL), 0);
    Peers.push_back(Garbage);
    for (int I = 0; I < 20; ++I) {
      const int Fd = ConnectToCopy(Dir + "run", getpid());
      if (Fd >= 0) Peers.push_back(Fd);
    }
    // Fifty starts within about a second, while the first copy runs its loop.
    std::vector<pid_t> Starts;
    std::vector<String> Expected;
    for (int I = 0; I < 50; ++I) {
      const std::string Arg = "flood " + std::to_string(I) + " \"q\".avi";
      Expected.push_back(Arg);
      Starts.push_back(StartSecond(Dir + "flood" + std::to_string(I), {Arg}));
      PumpUntil(W, Display, 0.02, [] { return false; });
    }
    std::vector<int> Codes(Starts.size(), -1);
    PumpUntil(W, Display, 120, [&] {
      for (std::size_t I = 0; I < Starts.size(); ++I)
        if (Codes[I] == -1) Codes[I] = ExitCode(Starts[I]);
      return std::count(Codes.begin(), Codes.end(), -1) == 0;
    });
    for (std::size_t I = 0; I < Starts.size(); ++I) {
      if (Codes[I] == -1) {
        kill(Starts[I], SIGKILL);
        waitpid(Starts[I], nullptr, 0);
      }
      EXPECT_EQ(Codes[I], 0) << "start " << I;
    }
    PumpUntil(W, Display, 3, [&] { return Pending(W).size() >= Expected.size(); });
    std::vector<String> Got = Pending(W);
    std::sort(Got.begin(), Got.end());
    std::sort(Expected.begin(), Expected.end());
    EXPECT_EQ(Got, Expected);
    // Still answering: a start after the flood is handed over as well.
    const pid_t Late = StartSecond(Dir + "late", {"late.avi"});
    const int Code = PumpUntilExit(W, Display, Late, 20);
    EXPECT_EQ(Code, 0);
    EXPECT_TRUE(PumpUntil(W, Display, 3, [&] { return !Pending(W).empty() && Pending(W).back() == "late.avi"; }));
    for (int Fd : Peers) close(Fd);
    Finish();
  });
  if (Where == TXvfbChild::NoServer) GTEST_SKIP() << "Xvfb is not available";
}

}  // namespace
