// Shared set-up of the runner and tool-process tests: a headless display (the runner's message
// window lives in it), a folder of fake tools (tests/tools/qv_faketool linked under the tool
// names), and a loop that handles messages until a condition holds.
#pragma once

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "../support/TempDirTest.h"
#include "core/ToolProcesses.h"
#include "core/XcCreateProcess.h"
#include "platform/display/HeadlessDisplay.h"
#include "platform/rtl/SyncObjs.h"
#include "platform/vcl/Forms.h"
#include "platform/win/WinUser.h"

namespace runnertest {

inline void EnsureHeadlessDisplay()
{
  static bool Installed = false;
  if (Installed) return;
  Installed = true;
  SetDisplayBackend(std::make_unique<THeadlessDisplay>());
}

inline const std::vector<std::string>& ToolNames()
{
  static const std::vector<std::string> Names = {"mplayer.exe", "mplayer2.exe", "mencoder.exe", "mencoder2.exe",
                                                 "ffmpeg.exe",  "ffmpeg2.exe",  "mp4box.exe",   "tivo.exe",
                                                 "qvcscript.exe"};
  return Names;
}

// Handles messages until Done() holds or TimeoutMs passed; whether Done() holds. Like a real
// message loop it looks at the condition between messages, so a tool that floods the queue
// cannot keep it from returning.
inline bool PumpUntil(const std::function<bool()>& Done, Cardinal TimeoutMs = 20000)
{
  const Int64 Start = GetTickCount64();
  for (;;) {
    MSG M;
    for (int I = 0; I < 50 && PeekMessageA(&M, nullptr, 0, 0, PM_REMOVE); ++I) {
      if (M.message == WM_QUIT) {
        PostQuitMessage(static_cast<int>(M.wParam));
        break;
      }
      TranslateMessage(&M);
      DispatchMessageA(&M);
    }
    if (Done()) return true;
    if (GetTickCount64() - Start > TimeoutMs) return false;
    MsgWaitForMultipleObjects(0, nullptr, FALSE, 5, QS_ALLINPUT);
  }
}

inline int CountEntries(const char* Folder)
{
  int N = 0;
  for ([[maybe_unused]] const auto& E : std::filesystem::directory_iterator(Folder)) ++N;
  return N;
}

// One report of OnRead, or a marker of another event.
struct TReport {
  std::string Line;
  bool NewLine = false;
  bool operator==(const TReport& O) const { return Line == O.Line && NewLine == O.NewLine; }
};
inline std::ostream& operator<<(std::ostream& Out, const TReport& R)
{
  return Out << "(\"" << R.Line << "\", " << (R.NewLine ? "T" : "F") << ")";
}

// A fixture with fake tools in Dir and a runner set up as the program sets up its own.
class TRunnerTest : public TTempDirTest {
protected:
  void SetUp() override
  {
    TTempDirTest::SetUp();
    EnsureHeadlessDisplay();
    SetMessageClock(nullptr);
    for (const auto& Name : ToolNames())
      std::filesystem::create_symlink(std::string(QV_TEST_BIN_DIR) + "/qv_faketool", Dir + Name);
    // The kill routines reach only this run's tools, whatever else runs tools of these names.
    SetToolLookupFolder(Dir);
    Runner = std::make_unique<TXcCreateProcess>(nullptr);
    Runner->GetStartupInfo()->ShowWindow = swHide;
    Runner->GetStartupInfo()->DefaultWindowState = false;
    Runner->SetConsoleOptions({coOwnerData, coRedirect});
    Runner->SetCurrentDirectory(Dir);
    Runner->SetOnRead([this](TObject*, const String& S, bool NewLine) {
      Reports.push_back({S, NewLine});
      Events.push_back("read");
    });
    Runner->OnTerminate = [this](TObject*, Cardinal Code) {
      ExitCodes.push_back(Code);
      Events.push_back("terminate");
    };
  }

  void TearDown() override
  {
    Runner.reset();
    // Anything a test left running goes; the threads of detached runs end by themselves.
    for (const auto& Name : ToolNames())
      while (FindProcessIdsOf(Name)) {
      }
    ProcessPendingMessages();
    SetToolLookupFolder("");
    TTempDirTest::TearDown();
  }

  // Kills one process of that name started from Dir; whether there was one.
  bool FindProcessIdsOf(const std::string& Name)
  {
    const Integer Id = FindProcessIdByExeName(Dir + Name);
    if (Id == -1) return false;
    CloseOrKillProcess(static_cast<DWORD>(Id), 0);
    return true;
  }

  // Runs Script in the tool Name ("ffmpeg.exe" ...) with Arguments.
  void Start(const std::string& Script, const std::string& Name = "mencoder.exe", const std::string& Arguments = "")
  {
    Runner->GetEnvironment()->Clear();
    Runner->GetEnvironment()->Add("QV_FAKETOOL_SCRIPT=" + Script);
    Runner->GetEnvironment()->Add("QV_FAKETOOL_LOG=" + Dir + "tool.log");
    Runner->SetCommandLine("\"" + Dir + Name + "\"" + (Arguments.empty() ? "" : " " + Arguments));
    Runner->StartProcess();
  }

  bool WaitTerminated(size_t Count = 1) { return PumpUntil([&] { return ExitCodes.size() >= Count; }); }

  // The lines of the transcript kept the way the program's windows keep it.
  std::vector<std::string> Transcript() const
  {
    std::vector<std::string> Lines;
    for (const auto& R : Reports) {
      if (R.NewLine || Lines.empty())
        Lines.push_back(R.Line);
      else
        Lines.back() = R.Line;
    }
    return Lines;
  }

  std::unique_ptr<TXcCreateProcess> Runner;
  std::vector<TReport> Reports;
  std::vector<Cardinal> ExitCodes;
  std::vector<std::string> Events;
};

}  // namespace runnertest
