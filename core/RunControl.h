// Run control: the main window's side of running the external tools. The handlers of the runner
// XcCreateProcess1 (one call per output line, one at the end), Go, Skip and Stop, the three
// one-second watchdogs, the parser that turns an encoder's progress line into seconds, the
// progress shown in the status line, the window title and the tray hint, and the priority box.
//
// Contract:
// - Everything runs on the GUI thread; the driver waits for each tool in WaitForTool, so the
//   output lines, the watchdog ticks and Skip/Stop all run inside that wait and reach the driver
//   only through the run flags (MainForm.h) and the few values below.
// - Ctrl+C to a tool is SIGINT to that tool's own process group, never keystrokes to a window.
// - A watchdog kill is recorded (ToolKilledByWatchdog) so the job it ends reads "Failed"; the
//   kill reaches only the tool the runner started, never processes of other programs.
// - The window controls the option pages and the main window own (check boxes, the status bar,
//   the tray icon) are reached through ConversionOptions and RunHooks; the windows fill them.
#pragma once

#include <functional>

#include "core/MainForm.h"

class TXcReader;

// The options the conversion reads; each field names the control it mirrors and starts as that
// control does (OptionControls.h copies the controls in).
struct TConversionOptions {
  bool PerDevice = true;            // radiobutton4 "Convert per device"
  bool PerSelection = false;        // RadioButton5 "Convert per selection"
  bool NoCropping = false;          // radiobutton1
  bool BlackBars = false;           // radiobutton12 "Add black bars to fit resolution"
  bool FullscreenStretch = false;   // radiobutton4x
  bool ConvertOnly = false;         // skSkinCheckRadioBox4x "Convert only "
  double LimitMinutes = 0;          // limit
  bool SourceFolderOutput = false;  // videofolder "(VIDEO) Use source folder as output folder"
  bool EjectWhenDone = true;        // checkbox11
  bool NicerSubtitles = false;      // dvdnav
  bool EnableHastekit = true;       // mencoder2
  String CoreCount = "1";           // corecount
  bool OpenFolderWhenDone = true;   // skSkinCheckRadioBox4
  String Destination;               // xcedit2
  int PriorityIndex = 1;            // prioritybox1 ("NORMAL")
  bool SelfExit = false;            // selfexit
  bool ShutdownComputer = false;    // checkbox1
  bool ConvertAutomatically = false;  // checkbox2
  String BeforeCommand;             // skSkinLabel2
  String AfterCommand;              // skSkinLabel3
};
extern TConversionOptions ConversionOptions;

// What the run needs from the windows and from other parts of the program; every hook may be
// empty (then nothing happens).
struct TRunHooks {
  std::function<void(const String& Text)> ShowStatus;        // the status line
  std::function<void(const String& Title)> ShowAppTitle;    // application title and tray hint
  std::function<void(bool Go, bool Skip, bool Stop)> ShowButtons;
  std::function<void(const String& Text)> MessageBox;        // the skinned message box
  std::function<void()> ShowWmvInfo;                         // WMVinfo1Click
  std::function<void(const String& File, const String& Verb)> ShellOpen;
  std::function<void(int JobRow)> AddToHistory;              // Add2FileList
  std::function<void(int JobRow)> MakeOutputThumbnail;
  std::function<void(int JobRow)> AutoDetectCrop;            // batch crop detection
  // ParseToolOutputLine: every output line of a run outside a conversion, once and whole,
  // with one blank in front; a playback status line ("A:", "V:") as soon as it shows, and a
  // last line without a line end when the tool ends. Never a blank line.
  std::function<void(const String& Line)> IdentifyLine;
  std::function<void()> ScanTimerTick;                       // ScanTimerTimer
  std::function<void()> EndApplication;                      // the shut-down sequence
  std::function<void()> PowerOff;
};
extern TRunHooks RunHooks;

// What the windows show; the hooks above get every change too.
extern String StatusText;
extern String ApplicationTitle;
// The last tool run: its exit code, whether a watchdog killed it, and its last output lines
// other than progress lines (the tool's own reason when it fails).
extern Cardinal LastToolExitCode;
extern bool ToolKilledByWatchdog;
String LastToolOutputTail();
void ClearToolOutputTail();

void SetStatus(const String& Text);
void SetApplicationTitle(const String& Title);
void AppendLog(const String& Line);

// Wires the handlers to Form1's runner and timers.
void InstallRunControl();

// One output report of the runner; Reader is the reader it came from (null: S is a whole line).
void XcCreateProcess1Read(const String& S, const TXcReader* Reader = nullptr);
void XcCreateProcess1Terminate(Cardinal ExitCode);
void GoClick();       // b1
void SkipClick();     // b2
void StopClick();     // b3
void Skip2Click();    // skip2
void ConvertTimerTick();
// Silent seconds after which the conversion watchdog kills a DVD title that had shown progress
// (any other tool: 11; a silent start of any tool: 11, restarted once).
constexpr int DvdStallTicks = 120;
void DetectTimerTick();
void CropTimerTick();
void GetLine(const String& Line);
void PriorityChange();

// The gauge's value for a progress line: false when the line gives no usable position.
bool ParseProgressPosition(const String& Line, int& Seconds);
// Starts Form1's runner with Line; false (with the reason in the log and ToolRunning cleared)
// when the system refuses to start it.
bool StartTool(const String& Line);
// SIGINT to the running tool's process group.
void InterruptTool();
// Kills the tool the runner started (the watchdogs and Stop).
void KillRunningTool();
