// The guard between copies of the program, the message hooks behind file drops, and the
// processor load of the status bar.
#include <gtest/gtest.h>
#include <signal.h>
#include <stdlib.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <string>
#include <thread>
#include <vector>

#include "app/SxAppInstances.h"
#include "app/TobrinCpuUsage.h"
#include "app/XcWndProcHook.h"
#include "platform/vcl/Forms.h"
#include "tests/support/TempDirTest.h"

namespace {

// ---- What a second start sends ----

TEST(CopyCommandLine, ArgumentsArriveAsTheyWereWhateverTheyHold)
{
  const std::vector<std::vector<String>> Cases = {
      {},
      {""},
      {"/videos/a b.avi", ""},
      {"say \"hi\".mkv", "-leading.avi", "back\\slash"},
      {"line\nbreak.avi", "plain"},
      {"cr\ronly", ""},
  };
  for (const auto& Args : Cases) {
    String Data;
    const ULONG_PTR Kind = TSxAppInstances::CommandLineData(Args, Data);
    TStringList Lines;
    if (Kind == CopyDataCommandLine) {
      COPYDATASTRUCT Cds{Kind, static_cast<DWORD>(Data.size()), Data.data()};
      TMessage M;
      M.Msg = WM_COPYDATA;
      M.LParam = reinterpret_cast<LPARAM>(&Cds);
      CopyDataToStrings(M, &Lines);
    } else {
      ArgumentListToStrings(std::vector<char>(Data.begin(), Data.end()), &Lines);
    }
    ASSERT_EQ(Lines.GetCount(), static_cast<int>(Args.size())) << Data;
    for (std::size_t I = 0; I < Args.size(); ++I) EXPECT_EQ(Lines.Get(static_cast<int>(I)), Args[I]);
  }
}

TEST(CopyCommandLine, PlainArgumentsTravelAsLinesEndedByCrLf)
{
  String Data;
  EXPECT_EQ(TSxAppInstances::CommandLineData({"a b", ""}, Data), CopyDataCommandLine);
  EXPECT_EQ(Data, "a b\r\n\r\n");
}

TEST(CopyCommandLine, OnlyAnotherWindowsCopyDataCounts)
{
  COPYDATASTRUCT Cds{7, 0, nullptr};
  TMessage M;
  M.Msg = WM_COPYDATA;
  M.WParam = 0x100;
  M.LParam = reinterpret_cast<LPARAM>(&Cds);
  EXPECT_EQ(CheckCopyDataMessage(M, reinterpret_cast<HWND>(0x200)), 7);
  EXPECT_EQ(M.Result, 1);
  EXPECT_EQ(CheckCopyDataMessage(M, reinterpret_cast<HWND>(0x100)), -1);
  EXPECT_EQ(M.Result, 0);
}

TEST(CopyNames, EveryExecutablePathHasItsOwnNames)
{
  const String A = TSxAppInstances::BaseName("/opt/q/quelvo3");
  EXPECT_EQ(A, "Sx/opt/q/quelvo3");
  EXPECT_NE(A, TSxAppInstances::BaseName("/opt/Q/quelvo3"));
  EXPECT_NE(TSxAppInstances::BaseName("/a\\b"), TSxAppInstances::BaseName("/a_b"));
  const String Long1 = TSxAppInstances::BaseName("/" + String(300, 'x') + "1");
  const String Long2 = TSxAppInstances::BaseName("/" + String(300, 'x') + "2");
  EXPECT_LE(Long1.size(), 200u);
  EXPECT_NE(Long1, Long2);
}

// ---- Real copies of the program ----

class TProgramCopies : public TTempDirTest {
protected:
  void SetUp() override
  {
    TTempDirTest::SetUp();
    std::filesystem::create_directories(Dir + "home");
    std::filesystem::create_directories(Dir + "run");
    std::filesystem::permissions(Dir + "run", std::filesystem::perms::owner_all);
  }
  void TearDown() override
  {
    for (pid_t P : Started) {
      kill(P, SIGKILL);
      waitpid(P, nullptr, 0);
    }
    TTempDirTest::TearDown();
  }
  pid_t Start(const std::string& Program, const std::vector<std::string>& Args)
  {
    const pid_t P = fork();
    if (P == 0) {
      setenv("HOME", (Dir + "home").c_str(), 1);
      setenv("XDG_RUNTIME_DIR", (Dir + "run").c_str(), 1);
      setenv("QV_DISPLAY", "headless", 1);
      unsetenv("DISPLAY");
      std::vector<char*> Argv{const_cast<char*>(Program.c_str())};
      for (const auto& A : Args) Argv.push_back(const_cast<char*>(A.c_str()));
      Argv.push_back(nullptr);
      freopen("/dev/null", "w", stdout);
      freopen("/dev/null", "w", stderr);
      execv(Program.c_str(), Argv.data());
      _exit(127);
    }
    Started.push_back(P);
    return P;
  }
  // The exit code, or -1 when it still runs after Seconds.
  static int WaitExit(pid_t P, double Seconds)
  {
    const auto End = std::chrono::steady_clock::now() + std::chrono::duration<double>(Seconds);
    while (std::chrono::steady_clock::now() < End) {
      int Status = 0;
      if (waitpid(P, &Status, WNOHANG) == P) return WIFEXITED(Status) ? WEXITSTATUS(Status) : 128 + WTERMSIG(Status);
      std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    return -1;
  }
  // The first copy is up once its window is listed for the others.
  void WaitListed()
  {
    const auto End = std::chrono::steady_clock::now() + std::chrono::seconds(20);
    while (std::chrono::steady_clock::now() < End) {
      std::error_code E;
      if (std::filesystem::exists(Dir + "run/quelvo3/instances", E) &&
          !std::filesystem::is_empty(Dir + "run/quelvo3/instances", E)) {
        std::this_thread::sleep_for(std::chrono::seconds(2));
        return;
      }
      std::this_thread::sleep_for(std::chrono::milliseconds(100));
    }
  }
  std::vector<pid_t> Started;
};

// Disabled: now and then the second start's send of its command line reports failure although
// the first copy handled it (see CopiesAndDropX11Test.cpp); the second copy then goes on as a
// copy of its own and never ends. Enable with the channel's reply mended.
TEST_F(TProgramCopies, DISABLED_ASecondStartHandsOverAndEndsWhileTheFirstRuns)
{
  const pid_t First = Start(QV_PROGRAM, {});
  WaitListed();
  ASSERT_EQ(WaitExit(First, 0.1), -1) << "the first copy ended by itself";
  const pid_t Second = Start(QV_PROGRAM, {"", "/v/a b.avi", "say \"hi\".avi", "line\nbreak.avi"});
  EXPECT_EQ(WaitExit(Second, 20), 0);
  EXPECT_EQ(WaitExit(First, 0.1), -1) << "the first copy must go on";
}

// Disabled for the same lost reply as the hand-over test above.
TEST_F(TProgramCopies, DISABLED_AFloodOfSecondStartsAllEndAndTheFirstStays)
{
  const pid_t First = Start(QV_PROGRAM, {});
  WaitListed();
  std::vector<pid_t> Flood;
  for (int I = 0; I < 20; ++I) Flood.push_back(Start(QV_PROGRAM, {"file " + std::to_string(I) + ".avi"}));
  for (pid_t P : Flood) EXPECT_EQ(WaitExit(P, 60), 0);
  EXPECT_EQ(WaitExit(First, 0.1), -1);
}

TEST_F(TProgramCopies, ACopyOfTheProgramElsewhereRunsBeside)
{
  const std::string Other = Dir + "other/quelvo3";
  std::filesystem::create_directories(Dir + "other");
  std::filesystem::copy_file(QV_PROGRAM, Other);
  std::filesystem::permissions(Other, std::filesystem::perms::owner_all);
  const pid_t First = Start(QV_PROGRAM, {});
  WaitListed();
  const pid_t Beside = Start(Other, {"x.avi"});
  EXPECT_EQ(WaitExit(Beside, 6), -1) << "a copy from another file is no second start";
  EXPECT_EQ(WaitExit(First, 0.1), -1);
}

TEST_F(TProgramCopies, AKilledFirstCopyLeavesNothingThatStopsTheNextStart)
{
  const pid_t First = Start(QV_PROGRAM, {});
  WaitListed();
  kill(First, SIGKILL);
  waitpid(First, nullptr, 0);
  Started.erase(Started.begin());
  const pid_t Next = Start(QV_PROGRAM, {"y.avi"});
  EXPECT_EQ(WaitExit(Next, 6), -1) << "the next start took the dead copy for a running one";
}

// ---- Message hooks ----

class THookRecorder : public TObject {
public:
  THookRecorder(std::vector<std::string>* Log, std::string Name, bool Swallow = false)
      : FLog(Log), FName(std::move(Name)), FSwallow(Swallow) {}
  bool Hook(TMessage&)
  {
    FLog->push_back(FName);
    if (OnCall) OnCall();
    return FSwallow;
  }
  std::function<void()> OnCall;

private:
  std::vector<std::string>* FLog;
  std::string FName;
  bool FSwallow;
};

class TMessageHooks : public testing::Test {
protected:
  void SetUp() override
  {
    Form = new TForm(nullptr);
    Form->HandleNeeded();
    const TWndMethod Own = Form->WindowProc;
    Form->WindowProc = [this, Own](TMessage& M) {
      if (M.Msg == WM_USER + 1) Log.push_back("control");
      Own(M);
    };
  }
  void TearDown() override { DropForm(); }
  // The form goes before the hooks' objects of a test do (its last messages pass the hooks).
  void DropForm()
  {
    delete Form;
    Form = nullptr;
    Application->ProcessMessages();
  }
  std::vector<std::string> Send()
  {
    Log.clear();
    Form->Perform(WM_USER + 1, 0, 0);
    return Log;
  }
  TForm* Form = nullptr;
  std::vector<std::string> Log;
};

TEST_F(TMessageHooks, BeforeAndAfterHooksRunInOrderAroundTheControl)
{
  THookRecorder A(&Log, "a"), B(&Log, "b"), C(&Log, "c");
  ASSERT_TRUE(AddControlMessageHook(Form, hoAfterMsg, MakeMessageHook(&C, &THookRecorder::Hook)));
  ASSERT_TRUE(AddControlMessageHook(Form, hoBeforeMsg, MakeMessageHook(&A, &THookRecorder::Hook)));
  ASSERT_TRUE(AddControlMessageHook(Form, hoBeforeMsg, MakeMessageHook(&B, &THookRecorder::Hook)));
  EXPECT_EQ(Send(), (std::vector<std::string>{"a", "b", "control", "c"}));
  EXPECT_TRUE(RemoveControlMessageHook(Form, hoBeforeMsg, MakeMessageHook(&A, &THookRecorder::Hook)));
  EXPECT_TRUE(RemoveControlMessageHook(Form, hoBeforeMsg, MakeMessageHook(&A, &THookRecorder::Hook)));
  EXPECT_EQ(Send(), (std::vector<std::string>{"b", "control", "c"}));
  RemoveControlMessageHook(Form, hoBeforeMsg, MakeMessageHook(&B, &THookRecorder::Hook));
  RemoveControlMessageHook(Form, hoAfterMsg, MakeMessageHook(&C, &THookRecorder::Hook));
  EXPECT_EQ(Send(), (std::vector<std::string>{"control"}));
}

TEST_F(TMessageHooks, ABeforeHookThatHandlesTheMessageHidesItFromTheRest)
{
  THookRecorder A(&Log, "a", true), B(&Log, "b"), C(&Log, "c");
  AddControlMessageHook(Form, hoBeforeMsg, MakeMessageHook(&A, &THookRecorder::Hook));
  AddControlMessageHook(Form, hoBeforeMsg, MakeMessageHook(&B, &THookRecorder::Hook));
  AddControlMessageHook(Form, hoAfterMsg, MakeMessageHook(&C, &THookRecorder::Hook));
  EXPECT_EQ(Send(), (std::vector<std::string>{"a"}));
  DropForm();
}

TEST_F(TMessageHooks, RemovalAndAdditionDuringADispatch)
{
  THookRecorder A(&Log, "a"), B(&Log, "b"), Late(&Log, "late");
  A.OnCall = [&] {
    RemoveControlMessageHook(Form, hoBeforeMsg, MakeMessageHook(&B, &THookRecorder::Hook));
    AddControlMessageHook(Form, hoBeforeMsg, MakeMessageHook(&Late, &THookRecorder::Hook));
  };
  AddControlMessageHook(Form, hoBeforeMsg, MakeMessageHook(&A, &THookRecorder::Hook));
  AddControlMessageHook(Form, hoBeforeMsg, MakeMessageHook(&B, &THookRecorder::Hook));
  EXPECT_EQ(Send(), (std::vector<std::string>{"a", "late", "control"}));
  A.OnCall = nullptr;
  DropForm();
}

TEST_F(TMessageHooks, RefusedWithoutControlOrHook)
{
  THookRecorder A(&Log, "a");
  EXPECT_FALSE(AddControlMessageHook(nullptr, hoBeforeMsg, MakeMessageHook(&A, &THookRecorder::Hook)));
  EXPECT_FALSE(AddControlMessageHook(Form, hoBeforeMsg, TXcMessageHook{}));
}

TEST_F(TMessageHooks, ADestroyedControlLeavesTheRegistryAndItsRecordIsFreedFromTheLoop)
{
  THookRecorder A(&Log, "a");
  const int Before = WndProcHookRegistry()->GetCount();
  AddControlMessageHook(Form, hoBeforeMsg, MakeMessageHook(&A, &THookRecorder::Hook));
  EXPECT_EQ(WndProcHookRegistry()->GetCount(), Before + 1);
  delete Form;
  Form = nullptr;
  EXPECT_EQ(WndProcHookRegistry()->GetCount(), Before);
  Application->ProcessMessages();
}

// ---- Processor load ----

class TCpuMeter : public TTempDirTest {
protected:
  void TearDown() override
  {
    SetProcessorCounterFile("/proc/stat");
    TTempDirTest::TearDown();
  }
};

TEST_F(TCpuMeter, OneInstancePerProcessorAndTheTotalLastAndOfflineProcessorsReadZero)
{
  const std::string Stat = Dir + "stat";
  WriteBytes(Stat, "cpu  200 0 200 1600 0 0 0 0\ncpu0 100 0 100 800 0 0 0 0\ncpu1 100 0 100 800 0 0 0 0\nintr 1\n");
  SetProcessorCounterFile(Stat);
  EXPECT_EQ(ProcessorCount(), 3);
  // cpu0 busy half of the step, cpu1 gone, the total as the kernel counts it.
  WriteBytes(Stat, "cpu  300 0 200 1700 0 0 0 0\ncpu0 200 0 100 900 0 0 0 0\n");
  SampleProcessorCounters();
  EXPECT_EQ(ProcessorCount(), 3);
  EXPECT_DOUBLE_EQ(ProcessorLoad(0), 0.5);
  EXPECT_DOUBLE_EQ(ProcessorLoad(1), 0.0);
  EXPECT_DOUBLE_EQ(ProcessorLoad(2), 0.5);
  EXPECT_THROW(ProcessorLoad(3), Exception);
  EXPECT_THROW(ProcessorLoad(-1), Exception);
  // cpu1 back: its counters since start are no load of this step.
  WriteBytes(Stat, "cpu  300 0 200 1700 0 0 0 0\ncpu0 200 0 100 900 0 0 0 0\ncpu1 500 0 100 100 0 0 0 0\n");
  SampleProcessorCounters();
  EXPECT_DOUBLE_EQ(ProcessorLoad(1), 0.0);
  EXPECT_DOUBLE_EQ(ProcessorLoad(2), 0.0);  // no time passed
}

TEST_F(TCpuMeter, AnUnreadableCounterFileRaises)
{
  SetProcessorCounterFile(Dir + "missing");
  EXPECT_THROW(ProcessorCount(), Exception);
}

}  // namespace
