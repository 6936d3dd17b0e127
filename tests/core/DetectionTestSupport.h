// Shared set-up of the identification and DVD scan tests: the main window's data model, a work
// folder whose tools are links (to the fake tool, or to the real tools), a process runner wired
// the way the main window's read and terminate handlers feed identification, the detection
// watchdog on detecttimer1 (with a short tick, so that a silent tool is ended quickly), and the
// status texts and watchdog log collected.
#pragma once

#include <sys/stat.h>

#include <filesystem>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "MainFormTestSupport.h"
#include "core/DetectionWatchdog.h"
#include "core/DvdScan.h"
#include "core/ToolProcesses.h"
#include "core/XcCreateProcess.h"
#include "core/qv_detect.h"

namespace detecttest {

inline std::string ReadFile(const std::string& Path)
{
  std::ifstream In(Path, std::ios::binary);
  std::stringstream S;
  S << In.rdbuf();
  return S.str();
}

inline void WriteFile(const std::string& Path, const std::string& Text)
{
  std::ofstream Out(Path, std::ios::binary);
  Out << Text;
}

class TDetectionTest : public mainformtest::TMainFormTest {
protected:
  void SetUp() override
  {
    TMainFormTest::SetUp();
    Work = Dir + "work/";
    std::filesystem::create_directories(Work);
    WorkFolder = Work;
    SetToolLookupFolder(Work);  // the kill routines reach only this run's tools
    Runner = new TXcCreateProcess(Form);
    Runner->GetStartupInfo()->ShowWindow = swHide;
    Runner->GetStartupInfo()->DefaultWindowState = false;
    Runner->SetConsoleOptions({coOwnerData, coRedirect});
    Runner->SetOnRead([this](TObject*, const String& S, bool) {
      ToolRunning = true;
      StallTicks = 0;
      if (!Converting) Feed.Report(S, Runner->GetOutputReader());
    });
    Runner->OnTerminate = [this](TObject*, Cardinal) {
      Feed.Flush();
      ToolRunning = false;
    };
    Form->detecttimer1->SetInterval(20);
    Watchdog = std::make_unique<TTimerDetectionWatchdog>(Form->detecttimer1, Runner,
                                                         [this](const String& S) { WatchdogLog.push_back(S); });
    TDetectionHost& Host = DetectionHost();
    Host = TDetectionHost();
    Host.Runner = Runner;
    Host.ShowStatus = [this](const String& S) { Statuses.push_back(S); };
    Host.ShowCommandLine = [this](const String& S) { CommandLines.push_back(S); };
    Host.Watchdog = Watchdog.get();
    BatchRunning = false;
    ToolRunning = false;
  }

  void TearDown() override
  {
    DetectionHost() = TDetectionHost();
    SetToolLookupFolder("");
    Watchdog.reset();
    unsetenv("QV_FAKETOOL_SCENARIO");
    unsetenv("QV_FAKETOOL_LOG");
    TMainFormTest::TearDown();
  }

  // Links the fake tool into the work folder under these names and plays Scenario (sections
  // "[words]" of fake-tool commands, see tests/tools/qv_faketool.cpp).
  void UseFakeTools(const std::string& Scenario,
                    const std::vector<std::string>& Names = {"mplayer.exe", "mplayer2.exe", "ffmpeg2.exe"})
  {
    for (const auto& Name : Names) {
      std::filesystem::remove(Work + Name);
      std::filesystem::create_symlink(std::string(QV_TEST_BIN_DIR) + "/qv_faketool", Work + Name);
    }
    WriteFile(Dir + "scenario.txt", Scenario);
    setenv("QV_FAKETOOL_SCENARIO", (Dir + "scenario.txt").c_str(), 1);
    setenv("QV_FAKETOOL_LOG", (Dir + "tool.log").c_str(), 1);
  }

  // The argument lists of the fake tool's runs, in order ("run" lines start a new run).
  std::vector<std::vector<std::string>> ToolRuns() const
  {
    std::vector<std::vector<std::string>> Runs;
    std::istringstream In(ReadFile(Dir + "tool.log"));
    std::string Line;
    while (std::getline(In, Line)) {
      if (Line.rfind("run ", 0) == 0) {
        Runs.push_back({Line.substr(Line.rfind(' ') + 1)});
      } else if (Line.rfind("arg ", 0) == 0 && !Runs.empty()) {
        const auto Space = Line.find(' ', 4);
        Runs.back().push_back(Line.substr(Space + 1));
      }
    }
    return Runs;
  }

  std::string CellOf(int Col, int Row) const { return Form->StringGrid1->GetCells(Col, Row); }

  std::vector<std::string> MemoLines(TMemo* Memo) const { return Items(Memo->GetLines()); }

  // The rows of the source queue in use (column 0 not empty).
  int UsedQueueRows() const
  {
    int N = 0;
    for (int R = 1; R < Form->StringGrid1->GetRowCount(); ++R)
      if (!Form->StringGrid1->GetCells(0, R).empty()) ++N;
    return N;
  }

  std::string Work;
  TXcCreateProcess* Runner = nullptr;
  TDetectionLineFeed Feed;
  std::unique_ptr<TTimerDetectionWatchdog> Watchdog;
  std::vector<std::string> Statuses, CommandLines, WatchdogLog;
};

}  // namespace detecttest
