// The main window as the program shows it: the model TForm1 (core/MainForm.h) with its layout,
// the window-only controls (pages, bars, buttons, captions), the hosts through which the core
// reaches the window, and the window's own life cycle: the creation handler that brings the
// program into its working state, the show and close handlers, the shut-down sequence, the two
// state commands of the File menu, "Reset to defaults" and "Start over".
//
// Contract:
// - Making a TMainWindow runs the component loading (TForm1's constructor, then the layout and
//   the hosts), then FormCreate. When the work folder cannot be made, FormCreate stops there:
//   StartFailed() is true and StartFailure() says why; the caller ends the program cleanly.
// - After FormCreate every host the core calls through is wired to this window (runner,
//   watchdogs, status line, dialogs, history, shut-down): nothing runs on a test's stand-in.
// - Files that cannot be read at start-up (settings, saved job list, saved queues) are kept
//   beside under a ".damaged" name, and the start goes on with what was readable; each is
//   reported in the status line, the tool log and on standard error.
// - Every close of the window passes ExitApp once; a restart ("Reset to defaults", "Start
//   over") ends the program without it.
#pragma once

#include <functional>
#include <memory>
#include <vector>

#include "core/MainForm.h"
#include "platform/vcl/Menus.h"
#include "skin/controls/SkinStatusBar.h"
#include "skin/input/SkinPageControl.h"
#include "core/qv_scan.h"
#include "skin/shell/SkinDriveComboBox.h"

class TTimerDetectionWatchdog;
class TProgramOpenDialog;
class TSkinnedFolderDialog;
class TQueueEditPanel;
class TOptionPages;
class TXcAppInstances;
class TXcDragDrop;

class TMainWindow : public TForm1 {
public:
  explicit TMainWindow(TComponent* AOwner);
  ~TMainWindow() override;

  // ---- Window-only controls ----
  TskSkinPanel* Panel2 = nullptr;    // the client area right of the left column
  TskSkinPanel* leftcol = nullptr;   // the left column: device and profile choices
  TskSkinPanel* Panel13 = nullptr;   // holds the settings pages p2
  TskSkinPanel* p2 = nullptr;        // the settings pages
  TskSkinPanel* blank1 = nullptr;    // lower part: the tool log and command line
  TskSkinPanel* blank2 = nullptr;
  TskSkinPanel* addstuff = nullptr;  // lower part: the add buttons and the skip list
  TskSkinPanel* Panel18 = nullptr;   // the device panel ("Edit video settings")
  TskSkinPanel* dqpanel = nullptr;   // the hidden panel holding dq
  TskSkinPanel* Panel3 = nullptr;    // the bottom bar
  TskSkinStatusBar* skSkinStatusBar2 = nullptr;
  TskSkinStatusPanel* skSkinStatusPanel1 = nullptr;  // "CPU:"
  TskSkinPageControl* skSkinPageControl1 = nullptr;
  TskSkinStdLabel* timerstatusx = nullptr;       // the build tag
  TskSkinStdLabel* skSkinStdLabel54 = nullptr;   // "Quelvo 3 Build ..." on "Version Info"
  TskSkinStdLabel* skSkinStdLabel14 = nullptr;   // the monitor interval as h:mm:ss
  TskSkinStdLabel* skSkinStdLabel25 = nullptr;   // the minimum title length as h:mm:ss
  TskSkinStdLabel* corelabel = nullptr;          // "Processor count:"
  TskSkinSpeedButton* skSkinSpeedButton1 = nullptr;   // "Add file(s)"
  TskSkinSpeedButton* skSkinSpeedButton2 = nullptr;   // "Add folder"
  TskSkinSpeedButton* skSkinSpeedButton6 = nullptr;   // "Scan DVD(s)"
  TskSkinSpeedButton* skSkinSpeedButton4 = nullptr;   // "Add videos"
  TskSkinSpeedButton* skSkinSpeedButton13 = nullptr;  // "Add all"
  TskSkinSpeedButton* skSkinSpeedButton17 = nullptr;  // "Add selected"
  TskSkinSpeedButton* speedbutton2 = nullptr;         // "File History"
  TskSkinSpeedButton* skSkinSpeedButton11 = nullptr;  // "Reset to defaults"
  TskSkinSpeedButton* skSkinSpeedButton14 = nullptr;  // "Start over"
  TskSkinSpeedButton* skSkinSpeedButton20 = nullptr;  // before command: "Browse"
  TskSkinSpeedButton* skSkinSpeedButton23 = nullptr;  // before command: "Clear"
  TskSkinSpeedButton* skSkinSpeedButton22 = nullptr;  // after command: "Browse"
  TskSkinSpeedButton* skSkinSpeedButton24 = nullptr;  // after command: "Clear"
  TskSkinSpeedButton* aboutbutton = nullptr;          // "About"
  TMainMenu* MainMenu1 = nullptr;
  // The hidden drive combo box that "Scan DVD(s)" walks.
  TskSkinDriveComboBox* skSkinshellDriveComboBox1 = nullptr;
  // The source queue's editing panel and the queue commands (QueueEditPanel.h); the area
  // switching, option actions and menus (OptionPages.h).
  std::unique_ptr<TQueueEditPanel> QueueEdit;
  std::unique_ptr<TOptionPages> Options;
  // The single-instance guard and the file drop (made while the window loads).
  TXcAppInstances* XcAppInstances1 = nullptr;
  TXcDragDrop* XcDragDrop1 = nullptr;

  // ---- Other copies, drops and the CPU meter ----
  // Lines another copy handed over: appended as they are, then the scan timer runs.
  void XcAppInstances1CmdLineReceived(TObject* Sender, TStrings* CmdLine);
  void XcDragDrop1Drop(TObject* Sender, const TPoint& Position, TStrings* Paths);
  // The one-second tick of cputimer: every processor's gauge.
  void cputimerTimer(TObject* Sender);
  // Shows Percent on the gauge "cpu_<Index>" of the status bar.
  void updateCPU(int Index, int Percent);

  // ---- Life cycle ----
  void FormCreate(TObject* Sender);
  void FormShow(TObject* Sender);
  void FormClose(TObject* Sender, TCloseAction& Action);
  void ExitApp();
  void Exit2Click(TObject* Sender);
  void Savestate1Click(TObject* Sender);
  void Loadstate1Click(TObject* Sender);
  void SavestatusClick(TObject* Sender);
  void skSkinSpeedButton11Click(TObject* Sender);  // "Reset to defaults"
  void skSkinSpeedButton14Click(TObject* Sender);  // "Start over"
  // Shows "Global settings" (the settings pages) or the main page again.
  void skSkinSpeedButton8Click(TObject* Sender);

  bool StartFailed() const { return FStartFailed; }
  const String& StartFailure() const { return FStartFailure; }
  // What start-up could not read or provide, in order (also shown in the status line and log).
  const std::vector<String>& StartNotes() const { return FStartNotes; }

  // Start-up reads the command-line arguments from here (set before the window is made).
  static void SetCommandLine(std::vector<String> Args);

private:
  void MakeWindowControls();
  void LayOut();
  void WireHosts();
  void MakeEditingAndOptions();
  void MakeGuardAndDrop();
  void MakeCpuGauges();
  void Note(const String& Text);
  void CheckTools();
  template <class TGrid>
  void LoadSaved(TGrid* Grid, const String& File, bool Stream);

  std::unique_ptr<TTimerDetectionWatchdog> FWatchdog;
  std::unique_ptr<TProgramOpenDialog> FFilesDialog;
  DWORD FDriveMask = 0;  // the drives the drive combo box was last built for
  std::unique_ptr<TSkinnedFolderDialog> FFolderDialog;  // XcSelectDirectory1
  bool FStartFailed = false;
  String FStartFailure;
  std::vector<String> FStartNotes;
  String FGuardFailure;  // why the single-instance guard could not start ("" when it did)
  bool FExited = false;
};

// Starts a new copy of the program (our own executable, no arguments) and ends this one
// without the shut-down sequence. The start goes through the proc when one is set (tests).
void RestartApplication();
void SetRestartProc(std::function<void(const String& Executable)> Proc);

// The Yes/No question of the reset commands (the skinned message box with the "Quelvo 3"
// caption once it exists; the plain dialog meanwhile): true on Yes.
bool AskQuelvo(const String& Text);
