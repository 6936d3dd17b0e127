// Shared set-up of the tests that work on the main window's data model: a headless display, a
// fresh TForm1 (Form1) per test with the run state at its start values, a temporary folder
// that also serves as the home and XDG folders, and a small string-grid factory.
#pragma once

#include <gtest/gtest.h>
#include <stdlib.h>

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "RunnerTestSupport.h"
#include "core/MainForm.h"
#include "platform/vcl/Grids.h"

namespace mainformtest {

class TMainFormTest : public TTempDirTest {
protected:
  void SetUp() override
  {
    TTempDirTest::SetUp();
    runnertest::EnsureHeadlessDisplay();
    SetMessageClock(nullptr);
    for (const char* Name : {"HOME", "XDG_CONFIG_HOME", "XDG_DATA_HOME"}) {
      const char* Old = getenv(Name);
      SavedEnv.push_back({Name, Old ? std::string(Old) : std::string(), Old != nullptr});
    }
    setenv("HOME", (Dir + "home").c_str(), 1);
    setenv("XDG_CONFIG_HOME", (Dir + "home/.config").c_str(), 1);
    setenv("XDG_DATA_HOME", (Dir + "home/.local/share").c_str(), 1);
    std::filesystem::create_directories(Dir + "home/.config");
    ResetRunState();
    Form = new TForm1(nullptr);
  }
  void TearDown() override
  {
    delete Form;
    for (const auto& E : SavedEnv)
      if (E.Present)
        setenv(E.Name.c_str(), E.Value.c_str(), 1);
      else
        unsetenv(E.Name.c_str());
    TTempDirTest::TearDown();
  }

  // A hidden string grid of the form, of that size with FixedRows header rows (0 for a hidden table).
  TStringGrid* NewGrid(int Cols, int Rows, int FixedRows = 1)
  {
    auto* G = new TStringGrid(Form);
    G->SetVisible(false);
    G->SetParent(Form);
    G->SetFixedCols(0);
    G->SetColCount(Cols);
    G->SetRowCount(Rows);
    G->SetFixedRows(FixedRows);
    return G;
  }

  // Column Col of every row, top to bottom.
  static std::vector<std::string> Column(TStringGrid* G, int Col)
  {
    std::vector<std::string> Out;
    for (int R = 0; R < G->GetRowCount(); ++R) Out.push_back(G->GetCells(Col, R));
    return Out;
  }

  static std::vector<std::string> Items(TStrings* List)
  {
    std::vector<std::string> Out;
    for (int I = 0; I < List->GetCount(); ++I) Out.push_back(List->Get(I));
    return Out;
  }

  TForm1* Form = nullptr;

private:
  struct TSavedEnv {
    std::string Name, Value;
    bool Present;
  };
  std::vector<TSavedEnv> SavedEnv;
};

}  // namespace mainformtest
