// Shared set-up of the frame-grab and crop-detection tests: the main window's data model with a
// work folder of tools (fake tools playing a scenario, or the installed mplayer, mencoder and
// ffmpeg), the runner wired as the main window wires it (its end clears ToolRunning), every
// command line the routines show in Edit1, and fixture frames written as JPEG files.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

#include "MainFormTestSupport.h"
#include "core/FrameImage.h"
#include "core/MainForm.h"
#include "core/SourceRow.h"
#include "platform/gdi/JpegFile.h"
#include "platform/os/ToolLinks.h"

namespace croptest {

// A frame of W x H pixels: black bars of the given widths on each side, between them 16 x 16
// blocks of two greys in a checker pattern (flat 8 x 8 blocks survive JPEG exactly, and grey
// carries no colour that the decoder's smoothing could spread into the bars).
inline void WriteFrameJpeg(const std::string& Path, int W, int H, int Left, int Right, int Top, int Bottom)
{
  TDibImage Image;
  Image.SetSize(W, H, 24);
  for (int Y = 0; Y < H; ++Y)
    for (int X = 0; X < W; ++X) {
      const bool Bar = X < Left || X >= W - Right || Y < Top || Y >= H - Bottom;
      const std::uint8_t Grey = Bar ? 0 : (((X / 16) + (Y / 16)) % 2 ? 0xC0 : 0x40);
      Image.SetPixel(X, Y, TDibColor{Grey, Grey, Grey, 0});
    }
  TJpegWriteOptions Options;
  Options.Quality = 100;
  SaveJpegToFile(Image, Path, Options);
}

class TCropTest : public mainformtest::TMainFormTest {
protected:
  void SetUp() override
  {
    TMainFormTest::SetUp();
    WorkFolder = Dir + "work/";
    std::filesystem::create_directories(WorkFolder + "temp");
    Form->XcCreateProcess1->OnTerminate = [](TObject*, Cardinal) { ToolRunning = false; };
    Form->Edit1->OnChange = [this](TObject*) { Lines.push_back(Form->Edit1->GetText()); };
    BatchRunning = false;
    UiSync = true;
    PreviewFrameImage()->Clear();
  }
  void TearDown() override
  {
    PreviewFrameImage()->Clear();
    WorkFolder.clear();
    TMainFormTest::TearDown();
  }

  // Fake tools in the work folder playing Scenario (sections "[mencoder.exe]", "[ffmpeg.exe]").
  void UseFakeTools(const std::string& Scenario)
  {
    for (const auto& Name : runnertest::ToolNames())
      if (!std::filesystem::is_symlink(WorkFolder + Name))
        std::filesystem::create_symlink(std::string(QV_TEST_BIN_DIR) + "/qv_faketool", WorkFolder + Name);
    WriteBytes(Dir + "scenario", Scenario);
    TStrings* Env = Form->XcCreateProcess1->GetEnvironment();
    Env->Clear();
    Env->Add("QV_FAKETOOL_SCENARIO=" + Dir + "scenario");
    Env->Add("QV_FAKETOOL_LOG=" + Dir + "tool.log");
  }

  // The installed tools linked into the work folder; false (the test skips) when one is missing.
  bool UseRealTools()
  {
    ExtractPlay(WorkFolder);
    for (const char* Name : {"mplayer.exe", "mencoder.exe", "ffmpeg.exe"})
      if (!qv::os::IsExecutableFile(WorkFolder + Name)) return false;
    return true;
  }

  // The programs the fake tools ran, in order ("mencoder.exe", "ffmpeg.exe" ...).
  std::vector<std::string> ToolRuns() const
  {
    std::vector<std::string> Runs;
    std::istringstream Log(ReadBytes(Dir + "tool.log"));
    std::string Line;
    while (std::getline(Log, Line))
      if (Line.rfind("run ", 0) == 0) Runs.push_back(Line.substr(Line.find(' ', 4) + 1));
    return Runs;
  }

  // The command lines shown in Edit1 that start the named tool.
  std::vector<std::string> LinesOf(const std::string& Tool) const
  {
    std::vector<std::string> Out;
    for (const auto& L : Lines)
      if (L.rfind("\"" + WorkFolder + Tool + "\"", 0) == 0) Out.push_back(L);
    return Out;
  }

  std::string Q(const std::string& Path) const { return "\"" + Path + "\""; }
  std::string Temp(const std::string& Name) const { return WorkFolder + "temp/" + Name; }

  // A source row (row 1, selected) of a stored size, display size and input.
  void SetSourceRow(int Row, const std::string& Kind, int W, int H, int DW, int DH, const std::string& Input,
                    const std::string& Aspect = "")
  {
    TskSkinStringGrid* G = Form->StringGrid1;
    if (G->GetRowCount() <= Row) G->SetRowCount(Row + 1);
    G->SetCells(scNumber, Row, SourceRowNumberText(Row));
    G->SetCells(scType, Row, Kind);
    G->SetCells(scWidth, Row, std::to_string(W));
    G->SetCells(scHeight, Row, std::to_string(H));
    G->SetCells(scAspect, Row, Aspect);
    G->SetCells(scInputArgs, Row, Input);
    G->SetCells(scDisplayWidth, Row, std::to_string(DW));
    G->SetCells(scDisplayHeight, Row, std::to_string(DH));
    G->SetRow(Row);
  }

  std::vector<std::string> Cells(TskSkinStringGrid* G, int Row, std::initializer_list<int> Cols) const
  {
    std::vector<std::string> Out;
    for (int C : Cols) Out.push_back(G->GetCells(C, Row));
    return Out;
  }

  std::vector<std::string> Lines;
};

}  // namespace croptest
