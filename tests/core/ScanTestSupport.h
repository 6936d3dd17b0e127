// Shared set-up of the intake, scan and history tests: the main window and the history window,
// the work folder in the temporary folder, a scan host whose identification only records what
// it is asked (kind, blank, item) and whose history panel is a flag. File size checks are
// switched off ("Ignore file-in-use check"), so small files count as sources.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

#include "MainFormTestSupport.h"
#include "core/History.h"
#include "core/qv_scan.h"

namespace scantest {

class TScanTest : public mainformtest::TMainFormTest {
protected:
  void SetUp() override
  {
    TMainFormTest::SetUp();
    History = new TForm3(nullptr);
    WorkFolder = Dir;
    ScanHost() = TScanHost();
    ScanHost().Identify = [this](const String& Kind, const String& Item) { Calls.push_back(Kind + " " + Item); };
    ScanHost().ShowHistoryPanel = [this](bool Visible) { PanelShown = Visible; };
    Form->finuse->SetChecked(true);
    BatchRunning = false;
  }
  void TearDown() override
  {
    ScanHost() = TScanHost();
    delete History;
    WorkFolder.clear();
    TMainFormTest::TearDown();
  }

  // Writes a small file (folders made as needed) and answers its path.
  std::string File(const std::string& Relative, const std::string& Data = "x")
  {
    const std::string Path = Dir + Relative;
    std::filesystem::create_directories(std::filesystem::path(Path).parent_path());
    WriteBytes(Path, Data);
    return Path;
  }
  std::string Folder(const std::string& Relative)
  {
    std::filesystem::create_directories(Dir + Relative);
    return Dir + Relative;
  }

  // A device in the device queue (model name in column 0).
  void QueueDevice(const std::string& Model)
  {
    TskSkinStringGrid* Dq = Form->dq;
    int Row = Dq->GetRowCount() - 1;
    if (!Dq->GetCells(0, Row).empty()) Dq->SetRowCount(++Row + 1);
    Dq->SetCells(0, Row, Model);
  }
  // A history row as the conversion driver leaves it.
  void Converted(const std::string& Device, const std::string& Name)
  {
    TskSkinStringGrid* Jobs = Form->convertgrid;
    Jobs->SetCells(9, 1, Device);
    Jobs->SetCells(57, 1, Name);
    Add2FileList(1);
  }

  TStrings* Pending() { return Form->ListBox1->GetItems(); }

  TForm3* History = nullptr;
  std::vector<std::string> Calls;
  bool PanelShown = false;
};

}  // namespace scantest
