#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <thread>
#include <vector>

#include "RunnerTestSupport.h"
#include "core/SxSysUtils.h"
#include "platform/os/Wait.h"

using namespace runnertest;

namespace {

// A piece of console output, or the end of the stream.
struct TPieceCase {
  const char* Name;
  std::vector<std::string> Pieces;  // "<end>" stands for the end of the stream
  std::vector<TReport> Expected;
};

std::vector<TReport> Assemble(TXcCreateProcess& Runner, const std::vector<std::string>& Pieces)
{
  std::vector<TReport> Reports;
  Runner.SetOnRead([&](TObject* Sender, const String& S, bool NewLine) {
    EXPECT_EQ(Sender, &Runner);
    Reports.push_back({S, NewLine});
  });
  for (const auto& Piece : Pieces) {
    if (Piece == "<end>") {
      Runner.GetOutputReader()->FinishLine();
      continue;
    }
    std::string Copy = Piece;
    Runner.GetOutputReader()->ParseChunk(Copy.data(), static_cast<int>(Copy.size()));
  }
  return Reports;
}

}  // namespace

TEST(XcLineAssembly, PiecesGiveTheConsoleLines)
{
  using namespace std::string_literals;
  const std::vector<TPieceCase> Cases = {
      {"cr before lf only moves the cursor", {"abc\r\nxyz", "<end>"}, {{"abc", true}, {"xyz", true}, {"xyz", false}}},
      {"progress overwritten before it is reported", {"50%\r60%\r"}, {{"60%", true}}},
      {"cr overwrites from column 0", {"abcdef\rXY\n"}, {{"XYcdef", true}, {"", true}}},
      {"tab is eight spaces", {"a\tb"}, {{"a        b", true}}},
      {"backspace moves left without erasing", {"ab\b\bX"}, {{"Xb", true}}},
      {"backspace stops at column 0", {"x\b\b\by"}, {{"y", true}}},
      {"nul and bel show as spaces", {"a\0b\a"s}, {{"a b ", true}}},
      {"tab overwrites", {"abcdefghijk\r\tX"}, {{"        Xjk", true}}},
      {"a line over two pieces", {"hel", "lo\n"}, {{"hel", true}, {"hello", false}, {"", true}}},
      {"the end repeats only an unfinished line", {"a\n", "<end>"}, {{"a", true}, {"", true}}},
      {"cr progress then a new line", {"1%\r", "2%\r\nok\n"}, {{"1%", true}, {"2%", false}, {"ok", true}, {"", true}}},
      {"an empty piece", {""}, {{"", true}}},
  };
  for (const auto& Case : Cases) {
    SCOPED_TRACE(Case.Name);
    TXcCreateProcess Runner(nullptr);
    EXPECT_EQ(Assemble(Runner, Case.Pieces), Case.Expected);
  }
}

TEST(XcLineAssembly, RawReadGetsThePieceUnchangedAndOutputLinesKeepTheTranscript)
{
  using namespace std::string_literals;
  TXcCreateProcess Runner(nullptr);
  Runner.SetConsoleOptions({coRedirect});  // without coOwnerData the reader keeps the lines
  std::vector<std::string> Raw;
  Runner.SetOnRawRead([&](TObject*, const String& S) { Raw.push_back(S); });
  Assemble(Runner, {"50%\r", "a\0\a\r\ndone\n"s});
  EXPECT_EQ(Raw, (std::vector<std::string>{"50%\r", "a\0\a\r\ndone\n"s}));
  TStringList* Lines = Runner.GetOutputReader()->GetOutputLines();
  ASSERT_EQ(Lines->GetCount(), 3);
  EXPECT_EQ(Lines->Get(0), "a  ");
  EXPECT_EQ(Lines->Get(1), "done");
  EXPECT_EQ(Lines->Get(2), "");

  TXcCreateProcess OwnerData(nullptr);
  Assemble(OwnerData, {"x\ny"});
  EXPECT_EQ(OwnerData.GetOutputReader()->GetOutputLines()->GetCount(), 0);
}

TEST(XcReadBuffer, GrowsTo128KiBThenDropsTheUnreadDataButKeepsTheNewestChunk)
{
  EnsureHeadlessDisplay();
  TXcCreateProcess Runner(nullptr);
  auto* Thread = new TXcReadThread(Runner.GetOutputReader(), Runner.EnsureMessageWindow(), nullptr);
  std::vector<char> Chunk(XcChunkSize);
  std::vector<int> Capacities;
  for (int I = 0; I < 129; ++I) {
    std::fill(Chunk.begin(), Chunk.end(), static_cast<char>('A' + I % 26));
    Thread->AppendData(Chunk.data(), XcChunkSize);
    if (Capacities.empty() || Capacities.back() != Thread->GetCapacity()) Capacities.push_back(Thread->GetCapacity());
  }
  EXPECT_EQ(Capacities, (std::vector<int>{1024, 2048, 4096, 8192, 16384, 32768, 65536, 131072}));
  char Piece[XcChunkSize];
  int Count = 0;
  ASSERT_TRUE(Thread->TakeData(Piece, Count));
  EXPECT_EQ(Count, XcChunkSize);
  EXPECT_EQ(Piece[0], static_cast<char>('A' + 128 % 26));
  EXPECT_FALSE(Thread->TakeData(Piece, Count));

  // Pieces come out in order, at most 1,024 bytes each.
  Thread->AppendData("hello ", 6);
  Thread->AppendData(std::string(2000, 'w').data(), 2000);
  std::string Out;
  while (Thread->TakeData(Piece, Count)) {
    EXPECT_LE(Count, XcChunkSize);
    Out.append(Piece, Count);
  }
  EXPECT_EQ(Out, "hello " + std::string(2000, 'w'));
  delete Thread;
  ProcessPendingMessages();
}

namespace {

// What the reader thread's buffer was given and what the GUI side took, step by step.
struct TBufferStep {
  int Append;  // bytes appended (0: none)
  int Take;    // then at most this many bytes taken in one batch (0: none)
};

struct TBufferCase {
  const char* Name;
  std::vector<TBufferStep> Steps;
  std::vector<std::pair<int, int>> Kept;  // stream ranges [from, to) that come out; none: all
  int Messages;                           // read messages posted to the window
};

int CountReadMessages(HWND Window)
{
  int N = 0;
  MSG M;
  while (PeekMessageA(&M, Window, ReadDataMessage, ReadDataMessage, PM_REMOVE)) ++N;
  return N;
}

}  // namespace

TEST(XcReadBuffer, KeepsTheStreamInOrderPostsOnceUntilEmptiedAndDropsOnlyPast128KiB)
{
  EnsureHeadlessDisplay();
  const int K = 1024;
  const std::vector<TBufferCase> Cases = {
      {"appends without a take: one message", {{K, 0}, {K, 0}, {500, 0}}, {}, 1},
      {"a take that empties the buffer rearms the message", {{K, 0}, {0, 4 * K}, {10, 0}, {10, 0}}, {}, 2},
      {"a take that leaves bytes posts nothing more", {{3 * K, 0}, {0, K}, {K, 0}, {0, K}, {K, 0}}, {}, 1},
      {"exactly 128 KiB unread is kept", {{64 * K, 0}, {64 * K, 0}}, {}, 1},
      {"the ring wraps around when the GUI keeps up", {{100 * K, 0}, {0, 64 * K}, {92 * K, 0}}, {}, 1},
      {"one byte too many drops all unread bytes",
       {{100 * K, 0}, {0, 64 * K}, {92 * K + 1, 0}},
       {{0, 64 * K}, {100 * K, 192 * K + 1}},
       1},
      {"after a drop the buffer fills again", {{128 * K, 0}, {K, 0}, {0, 512}, {2 * K, 0}}, {{128 * K, 131 * K}}, 1},
      {"an append larger than the buffer keeps its newest bytes", {{128 * K, 0}, {130 * K, 0}}, {{130 * K, 258 * K}}, 1},
      {"one append grows the buffer twice", {{3000, 0}}, {}, 1},
  };
  for (const TBufferCase& Case : Cases) {
    SCOPED_TRACE(Case.Name);
    TXcCreateProcess Runner(nullptr);
    const HWND Window = Runner.EnsureMessageWindow();
    auto* Thread = new TXcReadThread(Runner.GetOutputReader(), Window, nullptr);
    // Every byte tells its place in the stream, so order, losses and repeats all show.
    auto ByteAt = [](int Offset) { return static_cast<char>(Offset % 251); };
    int Written = 0;
    std::vector<char> Taken;
    for (const TBufferStep& Step : Case.Steps) {
      std::vector<char> Bytes(static_cast<size_t>(Step.Append));
      for (int I = 0; I < Step.Append; ++I) Bytes[static_cast<size_t>(I)] = ByteAt(Written + I);
      if (Step.Append) Thread->AppendData(Bytes.data(), Step.Append);
      Written += Step.Append;
      if (Step.Take) Thread->TakeBatch(Taken, Step.Take);
    }
    EXPECT_EQ(CountReadMessages(Window), Case.Messages);
    while (Thread->TakeBatch(Taken, 7 * K) > 0) {
    }
    const std::vector<std::pair<int, int>> Kept =
        Case.Kept.empty() ? std::vector<std::pair<int, int>>{{0, Written}} : Case.Kept;
    std::vector<char> Expected;
    for (const auto& [From, To] : Kept)
      for (int I = From; I < To; ++I) Expected.push_back(ByteAt(I));
    ASSERT_EQ(Taken.size(), Expected.size());
    EXPECT_TRUE(Taken == Expected);
    EXPECT_LE(Thread->GetCapacity(), XcMaxBufferSize);
    delete Thread;
    ProcessPendingMessages();
  }
}

TEST(XcReadBuffer, AFullBufferWaitsForTheGuiToTakeDataBeforeDroppingAny)
{
  EnsureHeadlessDisplay();
  TXcCreateProcess Runner(nullptr);
  auto* Thread = new TXcReadThread(Runner.GetOutputReader(), Runner.EnsureMessageWindow(), nullptr);
  std::string Stream;
  for (int I = 0; Stream.size() < static_cast<size_t>(XcMaxBufferSize) + 3000; ++I) Stream += std::to_string(I) + ",";
  Thread->AppendData(Stream.data(), XcMaxBufferSize);
  // The reader thread's next append finds the buffer full; the GUI thread takes data soon after.
  std::thread Worker([&] { Thread->AppendData(Stream.data() + XcMaxBufferSize, 3000); });
  Sleep(10);
  std::vector<char> Taken;
  Thread->TakeBatch(Taken, 64 * 1024);
  Worker.join();
  while (Thread->TakeBatch(Taken, 64 * 1024) > 0) {
  }
  EXPECT_TRUE(std::string(Taken.begin(), Taken.end()) == Stream.substr(0, XcMaxBufferSize + 3000));
  delete Thread;
  ProcessPendingMessages();
}

TEST(XcStartupInfo, AssignCopiesEveryValueAndRefusesOtherTargets)
{
  TXcCPSStartupInfo A;
  A.Desktop = "d";
  A.Title = "t";
  A.Left = 1;
  A.Top = 2;
  A.DefaultPosition = false;
  A.Width = 3;
  A.Height = 4;
  A.DefaultSize = false;
  A.ShowWindow = swMaximize;
  A.DefaultWindowState = false;
  A.ForceOnFeedback = true;
  A.ForceOffFeedback = true;
  TXcCPSStartupInfo B;
  B.Assign(&A);
  EXPECT_EQ(B.Desktop, "d");
  EXPECT_EQ(B.Title, "t");
  EXPECT_EQ(B.Left + B.Top + B.Width + B.Height, 10);
  EXPECT_FALSE(B.DefaultPosition || B.DefaultSize || B.DefaultWindowState);
  EXPECT_EQ(B.ShowWindow, swMaximize);
  EXPECT_TRUE(B.ForceOnFeedback && B.ForceOffFeedback);
  TStringList Other;
  EXPECT_THROW(Other.Assign(&A), EConvertError);
}

TEST(XcEnumerations, MapToTheWindowsValues)
{
  EXPECT_EQ(XcPriorityClass(ppIdle), 0x40u);
  EXPECT_EQ(XcPriorityClass(ppNormal), 0x20u);
  EXPECT_EQ(XcPriorityClass(ppHigh), 0x80u);
  EXPECT_EQ(XcPriorityClass(ppRealTime), 0x100u);
  const DWORD Flags[] = {0x4000000, 0x10, 0x200, 0x800, 0x1000, 0x4, 0x400, 0x8};
  for (int F = cfDefaultErrorMode; F <= cfDetached; ++F) EXPECT_EQ(XcCreationFlag(static_cast<TXcCPSFlag>(F)), Flags[F]);
  EXPECT_EQ(XcShowWindowValue(swHide), 0);
  EXPECT_EQ(XcShowWindowValue(swMinimize), 2);
  EXPECT_EQ(XcShowWindowValue(swMaximize), 3);
  EXPECT_EQ(XcShowWindowValue(swNormal), 1);
}

using XcRunner = TRunnerTest;

TEST_F(XcRunner, ReadsComeBeforeTheOneTerminateWithTheExitCode)
{
  Start("print one;write two\\r\\nthr;sleep 20;print ee\\tx;exit 7");
  EXPECT_EQ(Runner->GetState(), TXcCreateProcess::Watched);
  EXPECT_EQ(Runner->GetWatcherCount(), 2);
  ASSERT_TRUE(WaitTerminated());
  EXPECT_EQ(ExitCodes, (std::vector<Cardinal>{7}));
  EXPECT_EQ(Transcript(), (std::vector<std::string>{"one", "two", "three        x", ""}));
  EXPECT_EQ(Events.back(), "terminate");
  EXPECT_EQ(std::count(Events.begin(), Events.end(), "terminate"), 1);
  EXPECT_EQ(Runner->GetState(), TXcCreateProcess::Ready);
  EXPECT_FALSE(Runner->QueueInputText("x"));
  // A second run on the same component.
  Reports.clear();
  Start("print again");
  ASSERT_TRUE(WaitTerminated(2));
  EXPECT_EQ(Transcript()[0], "again");
  EXPECT_EQ(ExitCodes[1], 0u);
}

TEST_F(XcRunner, ATrailingLineWithoutNewLineIsReportedOnceMoreAtTheEnd)
{
  Start("write abc\\r\\nxyz");
  ASSERT_TRUE(WaitTerminated());
  ASSERT_GE(Reports.size(), 2u);
  EXPECT_EQ(Reports.back(), (TReport{"xyz", false}));
  EXPECT_EQ(Transcript(), (std::vector<std::string>{"abc", "xyz"}));
}

TEST_F(XcRunner, AToolThatWritesNothingStillTerminates)
{
  Start("exit 0", "ffmpeg.exe");
  ASSERT_TRUE(WaitTerminated());
  EXPECT_EQ(ExitCodes[0], 0u);
  for (const auto& R : Reports) EXPECT_EQ(R.Line, "");
}

TEST_F(XcRunner, StandardInputQueueTakesOnlyWholeTexts)
{
  Start("echoinput;print bye", "mplayer.exe");
  EXPECT_FALSE(Runner->QueueInputLine(std::string(1023, 'x')));
  EXPECT_TRUE(Runner->QueueInputText(""));
  EXPECT_TRUE(Runner->QueueInputLine("seek 10"));
  EXPECT_TRUE(Runner->QueueInputLine("quit"));
  ASSERT_TRUE(WaitTerminated());
  EXPECT_EQ(Transcript(), (std::vector<std::string>{"got seek 10", "bye", ""}));
  const std::string Log = ReadBytes(Dir + "tool.log");
  EXPECT_NE(Log.find("stdin seek 10\n"), std::string::npos);
  EXPECT_FALSE(Runner->QueueInputText(""));  // no tool runs
}

TEST_F(XcRunner, AFullQueueLineFitsIntoAnEmptyQueue)
{
  Start("stall", "mplayer.exe");
  EXPECT_TRUE(Runner->QueueInputLine(std::string(1022, 'x')));
  EXPECT_TRUE(Runner->KillProcess());
  ASSERT_TRUE(WaitTerminated());
  EXPECT_EQ(ExitCodes[0], 0u);
}

TEST_F(XcRunner, StartWhileWatchedRaisesAndLeavesTheRunAlone)
{
  Start("sleep 100;print done");
  const DWORD Pid = Runner->GetProcessInformation().dwProcessId;
  try {
    Runner->StartProcess();
    FAIL() << "no exception";
  } catch (const EXCLException& E) {
    EXPECT_STREQ(E.what(), "Cannot perform this operation when process is running");
  }
  EXPECT_THROW(Runner->SetWaitForTerminate(true), EXCLException);
  EXPECT_EQ(Runner->GetProcessInformation().dwProcessId, Pid);
  ASSERT_TRUE(WaitTerminated());
  EXPECT_EQ(Transcript()[0], "done");
}

TEST_F(XcRunner, KillBeforeAnyStartRaisesAndStartFailuresAreOSErrors)
{
  try {
    Runner->KillProcess();
    FAIL() << "no exception";
  } catch (const EXCLException& E) {
    EXPECT_STREQ(E.what(), "Process is not running");
  }
  Runner->SetCommandLine("\"" + Dir + "no-such-tool.exe\"");
  EXPECT_THROW(Runner->StartProcess(), EOSError);
  EXPECT_EQ(Runner->GetState(), TXcCreateProcess::Ready);
  EXPECT_EQ(Runner->GetProcessInformation().hProcess, nullptr);
  Runner->GetEnvironment()->Add("");
  Runner->SetCommandLine("\"" + Dir + "ffmpeg.exe\"");
  EXPECT_THROW(Runner->StartProcess(), ESxStringError);
}

TEST_F(XcRunner, KillDuringHeavyOutputEndsTheRun)
{
  Start("flood 2000000000");
  // The queue keeps returning to the loop between pieces while the tool floods it.
  ASSERT_TRUE(PumpUntil([&] { return Reports.size() > 10; }));
  EXPECT_TRUE(Runner->KillProcess());
  ASSERT_TRUE(WaitTerminated());
  EXPECT_EQ(ExitCodes, (std::vector<Cardinal>{0}));
  EXPECT_EQ(Events.back(), "terminate");
}

TEST_F(XcRunner, UndrainedOutputBeyond128KiBLosesTheOlderPart)
{
  std::string RawAll;
  Runner->SetOnRawRead([&](TObject*, const String& S) { RawAll += S; });
  Start("flood 400000;print END");
  // The GUI thread handles nothing until the tool has ended: by then the reader has taken in
  // far more than the buffer holds.
  ASSERT_EQ(WaitForSingleObject(Runner->GetProcessInformation().hProcess, 20000), WAIT_OBJECT_0);
  ASSERT_TRUE(WaitTerminated());
  EXPECT_LT(RawAll.size(), 400000u);
  EXPECT_GE(RawAll.size(), 1024u);
  EXPECT_EQ(RawAll.substr(RawAll.size() - 4), "END\n");
}

TEST_F(XcRunner, AChildThatClosesItsOutputKeepsTheRunUntilItIsKilledByName)
{
  Start("print bye;closeout;stall", "mplayer.exe");
  ASSERT_TRUE(PumpUntil([&] { return !Runner->GetOutputReader()->IsReading(); }));
  EXPECT_EQ(Transcript()[0], "bye");
  EXPECT_TRUE(ExitCodes.empty());
  EXPECT_EQ(Runner->GetState(), TXcCreateProcess::Watched);
  EXPECT_NE(FindProcessIdByExeName(Dir + "MPLAYER.EXE"), -1);
  KillPlayers();
  ASSERT_TRUE(WaitTerminated());
  EXPECT_EQ(ExitCodes[0], 0u);
}

TEST_F(XcRunner, WithoutRedirectionAWaitThreadWatchesOrTheChildIsJustStarted)
{
  Runner->SetConsoleOptions({coOwnerData});
  Start("exit 5", "ffmpeg.exe");
  EXPECT_EQ(Runner->GetWatcherCount(), 1);
  ASSERT_TRUE(WaitTerminated());
  EXPECT_EQ(ExitCodes[0], 5u);
  EXPECT_TRUE(Reports.empty());

  Runner->SetWaitForTerminate(false);
  Start("stall", "ffmpeg.exe");
  EXPECT_EQ(Runner->GetState(), TXcCreateProcess::Started);
  EXPECT_EQ(Runner->GetProcessInformation().hProcess, nullptr);
  EXPECT_NE(Runner->GetProcessInformation().dwProcessId, 0u);
  EXPECT_FALSE(Runner->QueueInputText("x"));
  EXPECT_TRUE(Runner->KillProcess());
  PumpUntil([] { return false; }, 100);
  EXPECT_EQ(ExitCodes.size(), 1u);  // a started run raises nothing
}

TEST_F(XcRunner, DestroyingTheRunnerDetachesAndTheChildRunsOn)
{
  Start("print hi;stall", "mencoder2.exe");
  ASSERT_TRUE(PumpUntil([&] { return !Reports.empty(); }));
  Runner.reset();
  PumpUntil([] { return false; }, 50);
  const Integer Id = FindProcessIdByExeName(Dir + "mencoder2.exe");
  ASSERT_NE(Id, -1);
  EXPECT_EQ(CloseOrKillProcess(static_cast<DWORD>(Id), 0), 2);
  EXPECT_TRUE(ExitCodes.empty());
}

TEST_F(XcRunner, FiftyShortRunsLeakNoDescriptorsOrThreads)
{
  Start("print warm-up");
  ASSERT_TRUE(WaitTerminated());
  auto Settled = [&](int Fds, int Threads) {
    return PumpUntil([&] { return CountEntries("/proc/self/fd") <= Fds && CountEntries("/proc/self/task") <= Threads; },
                     5000);
  };
  ASSERT_TRUE(Settled(1 << 20, 1 << 20));
  PumpUntil([] { return false; }, 100);
  const int Fds = CountEntries("/proc/self/fd");
  const int Threads = CountEntries("/proc/self/task");
  for (int I = 0; I < 50; ++I) {
    Start("print run " + std::to_string(I));
    ASSERT_TRUE(WaitTerminated(static_cast<size_t>(I) + 2)) << I;
  }
  EXPECT_TRUE(Settled(Fds, Threads)) << CountEntries("/proc/self/fd") << " fds, " << CountEntries("/proc/self/task")
                                     << " threads";
}

TEST_F(XcRunner, TheToolRunsInTheCurrentDirectoryWithTheGivenEnvironmentAndArguments)
{
  Start("file part.bin 1500;jpeg $after:-o", "ffmpeg.exe", "-y -i \"in put.avi\" -o frame.jpg");
  ASSERT_TRUE(WaitTerminated());
  EXPECT_EQ(ReadBytes(Dir + "part.bin").size(), 1500u);
  const std::string Jpeg = ReadBytes(Dir + "frame.jpg");
  ASSERT_GE(Jpeg.size(), 4u);
  EXPECT_EQ(Jpeg.substr(0, 2), "\xFF\xD8");
  const std::string Log = ReadBytes(Dir + "tool.log");
  EXPECT_NE(Log.find("arg 3 in put.avi\n"), std::string::npos) << Log;
  EXPECT_NE(Log.find("cmd ffmpeg.exe -y -i in put.avi -o frame.jpg\n"), std::string::npos) << Log;
  EXPECT_NE(Log.find("exit 0\n"), std::string::npos);
}

TEST_F(XcRunner, KillingAToolThatHasEndedAnswersNotRunning)
{
  struct TCase {
    const char* Name;
    const char* Script;
    std::function<void(TXcCreateProcess&)> BeforeKill;
  };
  const TCase Cases[] = {
      // A second kill right after the first, before the end report ran.
      {"second kill 20 ms after the first", "stall",
       [](TXcCreateProcess& R) {
         EXPECT_TRUE(R.KillProcess());
         Sleep(20);
       }},
      // The tool ended by itself just before OnTerminate: the id may already be free.
      {"ended before its end report", "print bye",
       [](TXcCreateProcess& R) {
         ASSERT_EQ(WaitForSingleObject(R.GetProcessInformation().hProcess, 10000), WAIT_OBJECT_0);
         Sleep(20);
       }},
  };
  for (const TCase& Case : Cases) {
    ExitCodes.clear();
    Start(Case.Script);
    Case.BeforeKill(*Runner);
    EXPECT_EQ(Runner->GetState(), TXcCreateProcess::Watched) << Case.Name;
    bool Killed = true;
    EXPECT_NO_THROW(Killed = Runner->KillProcess()) << Case.Name;
    EXPECT_FALSE(Killed) << Case.Name;
    ASSERT_TRUE(WaitTerminated()) << Case.Name;
  }
}

TEST_F(XcRunner, EveryByteReachesOnReadEvenWhenTheHandlerPumpsMessages)
{
  // Handlers that run nested message loops (a progress dialog, a wait) while the stream ends.
  struct TCase {
    const char* Name;
    long Bytes;
    int PumpEvery;  // the handler pumps on every Nth report
  };
  const TCase Cases[] = {
      {"pumps on every report", 78894, 1},
      {"pumps now and then", 120000, 7},
      {"short output", 1500, 1},
  };
  for (const TCase& Case : Cases) {
    Reports.clear();
    ExitCodes.clear();
    Events.clear();
    std::string RawAll;
    int Calls = 0;
    bool RawAfterTerminate = false;
    Runner->SetOnRawRead([&](TObject*, const String& S) {
      RawAll += S;
      if (!ExitCodes.empty()) RawAfterTerminate = true;
      if (++Calls % Case.PumpEvery == 0) {
        MSG M;
        for (int I = 0; I < 20 && PeekMessageA(&M, nullptr, 0, 0, PM_REMOVE); ++I) DispatchMessageA(&M);
        Sleep(1);
      }
    });
    Start("flood " + std::to_string(Case.Bytes));
    ASSERT_TRUE(WaitTerminated()) << Case.Name;
    EXPECT_EQ(RawAll.size(), static_cast<size_t>(Case.Bytes)) << Case.Name;
    EXPECT_FALSE(RawAfterTerminate) << Case.Name;
    EXPECT_EQ(ExitCodes, (std::vector<Cardinal>{0})) << Case.Name;
  }
}

TEST_F(XcRunner, EveryLineArrivesWhileTheHandlerKeepsUp)
{
  // Bursts below the buffer's limit with a pause after each: the GUI thread is never 128 KiB
  // behind, so nothing may be lost, whatever the pieces and batches look like.
  struct TCase {
    const char* Name;
    int Bursts;
    int LinesPerBurst;
    const char* Text;  // one line
  };
  const TCase Cases[] = {
      {"short lines", 12, 2600, "flood 0123456789abcdef\\n"},
      {"lines longer than a piece", 6, 40, "<1500>\\n"},
      {"progress lines overwritten in place", 8, 600, "Pos: 12.3s 45f (7%)\\r\\n"},
  };
  for (const TCase& Case : Cases) {
    SCOPED_TRACE(Case.Name);
    Reports.clear();
    ExitCodes.clear();
    std::string Line = Case.Text;
    if (Line == "<1500>\\n") Line = std::string(1500, 'x') + "\\n";
    // The length as the tool writes it: each "\\n" or "\\r" is one byte.
    size_t Bytes = 0;
    for (size_t I = 0; I < Line.size(); ++I, ++Bytes)
      if (Line[I] == '\\') ++I;
    std::string Script;
    for (int B = 0; B < Case.Bursts; ++B)
      Script += "flood " + std::to_string(Bytes * static_cast<size_t>(Case.LinesPerBurst)) + " " + Line + ";sleep 60;";
    size_t Largest = 0;
    Runner->SetOnRawRead([&](TObject*, const String& S) { Largest = std::max(Largest, S.size()); });
    Start(Script + "exit 0");
    ASSERT_TRUE(WaitTerminated());
    const std::vector<std::string> Lines = Transcript();
    const size_t Want = static_cast<size_t>(Case.Bursts) * static_cast<size_t>(Case.LinesPerBurst);
    ASSERT_EQ(Lines.size(), Want + 1);
    const std::string Expected = Line.substr(0, Line.find('\\'));
    EXPECT_EQ(std::count(Lines.begin(), Lines.end(), Expected), static_cast<long>(Want));
    EXPECT_EQ(Lines.back(), "");
    EXPECT_LE(Largest, static_cast<size_t>(XcChunkSize));
  }
}

namespace {
int TimerTicks = 0;
void CountTick(HWND, UINT, UINT_PTR, DWORD) { ++TimerTicks; }
}  // namespace

TEST_F(XcRunner, AFloodingToolLeavesTimersAndPaintingTheirTurn)
{
  Start("flood 2000000000");
  ASSERT_TRUE(PumpUntil([&] { return Reports.size() > 10; }));
  TimerTicks = 0;
  const UINT_PTR Timer = SetTimer(nullptr, 0, 20, CountTick);
  ASSERT_NE(Timer, 0u);
  EXPECT_TRUE(PumpUntil([&] { return TimerTicks >= 3; }, 6000)) << "ticks: " << TimerTicks;
  KillTimer(nullptr, Timer);
  const size_t Before = Reports.size();
  EXPECT_TRUE(PumpUntil([&] { return Reports.size() > Before + 10; })) << "the output keeps coming";
  EXPECT_TRUE(Runner->KillProcess());
  ASSERT_TRUE(WaitTerminated());
}
