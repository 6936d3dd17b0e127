#include "app/ProgramMain.h"

#include <cstdio>

#include "app/AboutBox.h"
#include "app/HistoryWindow.h"
#include "app/MainWindow.h"
#include "app/PreviewWindow.h"
#include "app/TitlePickerWindow.h"
#include "core/qv_detect.h"
#include "app/ProgramUnits.h"
#include "platform/vcl/Dialogs.h"
#include "platform/win/WinUser.h"

namespace {

TMainWindow* MainWindow = nullptr;
THistoryWindow* HistoryWindow = nullptr;
TForm2* PreviewWindow = nullptr;
TForm5* TitlePicker = nullptr;

// The preview and the title picker as the main window's parts reach them.
void WirePreviewAndPicker()
{
  TDetectionHost& D = DetectionHost();
  D.Picker = TitlePicker;
  D.PlacePreviewPicture = [](int Width, int Height) {
    if (Form2) Form2->PicturePlaced(Width, Height);
  };
}

}  // namespace

TMainWindow* ProgramMainWindow() { return MainWindow; }
THistoryWindow* ProgramHistoryWindow() { return HistoryWindow; }
TForm2* ProgramPreviewWindow() { return PreviewWindow; }
TForm5* ProgramTitlePicker() { return TitlePicker; }

bool CreateProgramWindows(const std::vector<String>& Args, String& Failure)
{
  ResetRunState();
  Application->Initialize();
  Application->SetTitle("Quelvo 3");
  TMainWindow::SetCommandLine(Args);
  Application->CreateForm(MainWindow);
  Application->SetMainForm(MainWindow);
  if (MainWindow->StartFailed()) {
    Failure = MainWindow->StartFailure();
    DestroyProgramWindows();
    return false;
  }
  Application->CreateForm(PreviewWindow);
  Application->CreateForm(HistoryWindow);
  Tabout* About = nullptr;
  Application->CreateForm(About);
  SetProgramAboutBox(About);
  Application->CreateForm(TitlePicker);
  WirePreviewAndPicker();
  return true;
}

void DestroyProgramWindows()
{
  delete TitlePicker;
  TitlePicker = nullptr;
  delete ProgramAboutBox();
  SetProgramAboutBox(nullptr);
  delete PreviewWindow;
  PreviewWindow = nullptr;
  delete HistoryWindow;
  HistoryWindow = nullptr;
  if (MainWindow && Application->GetMainForm() == MainWindow) Application->SetMainForm(nullptr);
  delete MainWindow;
  MainWindow = nullptr;
}

int ProgramMain(const std::vector<String>& Args)
{
  StartProgramUnits();
  String Failure;
  int Code = 0;
  if (!CreateProgramWindows(Args, Failure)) {
    std::fprintf(stderr, "Quelvo 3: %s\n", Failure.c_str());
    // Without a display nobody could answer a message box: standard error says it.
    if (GetDisplayBackend().Name() != "headless") ShowMessage(Failure);
    Code = 1;
  } else {
    Application->Run();
    DestroyProgramWindows();
  }
  EndProgramUnits();
  return Code;
}
