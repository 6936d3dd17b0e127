// A fixture for tests of the program's windows in process: a temporary home (HOME and the XDG
// folders point into it, PATH restored afterwards), the dialogs answered by the test, restarts recorded, and the windows
// made and destroyed as the program makes them.
#pragma once

#include <stdlib.h>

#include <filesystem>
#include <string>
#include <vector>

#include "app/MainWindow.h"
#include "app/ProgramMain.h"
#include "platform/vcl/Dialogs.h"
#include "tests/support/TempDirTest.h"

class TProgramHomeTest : public TTempDirTest {
protected:
  void SetUp() override
  {
    TTempDirTest::SetUp();
    for (const char* Name : {"HOME", "XDG_DATA_HOME", "XDG_CONFIG_HOME", "PATH"}) {
      const char* Old = getenv(Name);
      Saved.push_back({Name, Old ? Old : "", Old != nullptr});
    }
    Home = Dir + "home/";
    setenv("HOME", Home.c_str(), 1);
    setenv("XDG_DATA_HOME", (Home + ".local/share").c_str(), 1);
    setenv("XDG_CONFIG_HOME", (Home + ".config").c_str(), 1);
    std::filesystem::create_directories(Home + ".config");
    SetDialogHandler([this](TDialogRequest& R) {
      Asked.push_back(R.Text);
      return Answer;
    });
    SetRestartProc([this](const String& Exe) { Restarted.push_back(Exe); });
  }
  void TearDown() override
  {
    DestroyProgramWindows();
    SetDialogHandler(nullptr);
    SetRestartProc(nullptr);
    for (const auto& S : Saved)
      if (S.Present)
        setenv(S.Name.c_str(), S.Value.c_str(), 1);
      else
        unsetenv(S.Name.c_str());
    TTempDirTest::TearDown();
  }
  bool Start(const std::vector<String>& Args = {})
  {
    Failure.clear();
    return CreateProgramWindows(Args, Failure);
  }
  TMainWindow* W() { return ProgramMainWindow(); }

  std::string Home;
  String Failure;
  int Answer = mrNo;
  std::vector<String> Asked;
  std::vector<String> Restarted;

private:
  struct TSaved {
    std::string Name, Value;
    bool Present;
  };
  std::vector<TSaved> Saved;
};
