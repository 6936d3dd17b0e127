// The program's entry: the application object, its windows in their order (the main window, the
// preview window, the conversion history window, the about box, then the DVD title picker), the
// message loop, and the end.
//
// Contract: CreateProgramWindows makes the windows as start-up does and answers false, with the
// reason, when the main window could not start (no work folder); the windows it made are gone
// again then. ProgramMain runs the whole program and answers the process's exit code: 0 after a
// normal end, 1 when start-up failed (the reason on standard error and in a message box).
#pragma once

#include <vector>

#include "platform/rtl/System.h"

class TMainWindow;
class THistoryWindow;
class TForm2;
class TForm5;

bool CreateProgramWindows(const std::vector<String>& Args, String& Failure);
void DestroyProgramWindows();
TMainWindow* ProgramMainWindow();
THistoryWindow* ProgramHistoryWindow();
TForm2* ProgramPreviewWindow();
TForm5* ProgramTitlePicker();

int ProgramMain(const std::vector<String>& Args);
