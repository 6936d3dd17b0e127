// Shared set-up of the preview and title-picker tests: the program's windows made as start-up
// makes them in a temporary home, the kill routines limited to the work folder's tools, a
// source row written straight into the queue, the player replaced by the fake tool (with its
// log), and a stepper that acts from a timer while the program waits for its player.
#pragma once

#include <gtest/gtest.h>
#include <stdlib.h>
#include <unistd.h>

#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "app/MainWindow.h"
#include "app/PreviewWindow.h"
#include "app/ProgramMain.h"
#include "app/TitlePickerWindow.h"
#include "core/SourceRow.h"
#include "core/ToolProcesses.h"
#include "platform/vcl/Dialogs.h"
#include "platform/vcl/Timer.h"
#include "tests/support/TempDirTest.h"

namespace previewtest {

class TProgramHome : public TTempDirTest {
protected:
  // Makes the windows; Home is where HOME points.
  void StartProgram()
  {
    for (const char* Name : {"HOME", "XDG_DATA_HOME", "XDG_CONFIG_HOME", "QV_FAKETOOL_SCRIPT", "QV_FAKETOOL_LOG"}) {
      const char* Old = getenv(Name);
      Saved.push_back({Name, Old ? Old : "", Old != nullptr});
    }
    Home = Dir + "home/";
    setenv("HOME", Home.c_str(), 1);
    setenv("XDG_DATA_HOME", (Home + ".local/share").c_str(), 1);
    setenv("XDG_CONFIG_HOME", (Home + ".config").c_str(), 1);
    std::filesystem::create_directories(Home + ".config");
    std::filesystem::create_directories(Home + ".mplayer");
    WriteBytes(Home + ".mplayer/config", "ao=null\nlirc=no\n");
    Work = Home + ".local/share/Quelvo3/";
    SetDialogHandler([](TDialogRequest&) { return mrOk; });
    String Failure;
    ASSERT_TRUE(CreateProgramWindows({}, Failure)) << Failure;
    SetToolLookupFolder(Work);  // the kill routines reach only this run's tools
    Started = true;
  }

  void TearDown() override
  {
    if (Started) DestroyProgramWindows();
    SetToolLookupFolder("");
    SetDialogHandler(nullptr);
    for (const auto& S : Saved)
      if (S.Present)
        setenv(S.Name.c_str(), S.Value.c_str(), 1);
      else
        unsetenv(S.Name.c_str());
    TTempDirTest::TearDown();
  }

  TMainWindow* W() { return ProgramMainWindow(); }

  // Writes a used source row 1 (selected) for Path with the given length and stored size.
  void PutSource(const std::string& Path, const String& Length, int Width = 320, int Height = 240)
  {
    auto* G = W()->StringGrid1;
    G->SetRowCount(std::max(G->GetRowCount(), 2));
    G->SetCells(scNumber, 1, "00001");
    G->SetCells(scType, 1, "VIDEO");
    G->SetCells(scSourcePath, 1, Path);
    G->SetCells(scInputArgs, 1, "\"" + Path + "\"");
    G->SetCells(scLength, 1, Length);
    G->SetCells(scWidth, 1, IntToStr(Width));
    G->SetCells(scHeight, 1, IntToStr(Height));
    G->SetCells(scDisplayWidth, 1, IntToStr(Width));
    G->SetCells(scDisplayHeight, 1, IntToStr(Height));
    G->SetCells(scTrimStart, 1, "0");
    G->SetCells(scTrimEnd, 1, Length);
    G->SetRow(1);
  }

  // The work folder's "mplayer.exe" becomes the fake tool playing Script; its log is Log.
  void FakePlayer(const std::string& Script)
  {
    std::filesystem::remove(Work + "mplayer.exe");
    std::filesystem::create_symlink(std::string(QV_TEST_BIN_DIR) + "/qv_faketool", Work + "mplayer.exe");
    Log = Dir + "player.log";
    setenv("QV_FAKETOOL_SCRIPT", Script.c_str(), 1);
    setenv("QV_FAKETOOL_LOG", Log.c_str(), 1);
  }
  // The log lines of the fake player that start with Prefix, Prefix removed.
  std::vector<std::string> Logged(const std::string& Prefix)
  {
    std::vector<std::string> Out;
    const std::string All = ReadBytes(Log);
    std::size_t Start = 0;
    while (Start < All.size()) {
      std::size_t End = All.find('\n', Start);
      if (End == std::string::npos) End = All.size();
      const std::string Line = All.substr(Start, End - Start);
      if (Line.rfind(Prefix, 0) == 0) Out.push_back(Line.substr(Prefix.size()));
      Start = End + 1;
    }
    return Out;
  }

  std::string Home, Work, Log;

private:
  struct TSaved {
    std::string Name, Value;
    bool Present;
  };
  std::vector<TSaved> Saved;
  bool Started = false;
};

// Runs Steps one after the other from a timer (every IntervalMs), each step repeated until it
// answers true; used to act while the program sits in a wait. Gives up after Limit ticks: ends
// the tools, so that a wait for a tool ends, and runs GiveUp, which ends any other wait the
// test put the program in (a window the program waits for is closed), so that a failing run
// fails instead of hanging.
class TStepper {
public:
  using TStep = std::function<bool()>;
  TStepper(std::vector<TStep> Steps, Cardinal IntervalMs = 20, int Limit = 1500, std::function<void()> GiveUp = {})
      : FSteps(std::move(Steps)), FLimit(Limit), FGiveUp(std::move(GiveUp)), FTimer(nullptr)
  {
    FTimer.SetInterval(IntervalMs);
    FTimer.SetOnTimer([this](TObject*) { Tick(); });
    FTimer.SetEnabled(true);
  }
  bool Done() const { return FNext >= FSteps.size(); }
  std::size_t Reached() const { return FNext; }

private:
  void Tick()
  {
    if (Done()) return;
    if (++FTicks > FLimit) {
      FTimer.SetEnabled(false);
      // The program must not keep waiting for a player the test gave up on.
      KillAllTools();
      if (FGiveUp) FGiveUp();
      return;
    }
    // A step may open a nested wait (a button that plays): the ticks inside it go on with the
    // next steps. A step that answers false is tried again.
    const std::size_t I = FNext++;
    const bool Ok = FSteps[I]();
    if (!Ok && FNext == I + 1) FNext = I;
    if (Done()) FTimer.SetEnabled(false);
  }

  std::vector<TStep> FSteps;
  std::size_t FNext = 0;
  int FLimit;
  std::function<void()> FGiveUp;
  int FTicks = 0;
  TTimer FTimer;
};

}  // namespace previewtest
