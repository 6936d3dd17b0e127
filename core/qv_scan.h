// Input intake and the scan pipeline: every way a source enters the program ends in the pending
// inputs ListBox1 (one full path of a file, folder, drive root or shortcut per item) and switches
// the scan timer on; the scan timer's tick drains ListBox1 whole into the sorted ListBox2 and runs
// the pipeline ScanList -> ScanFolders -> ScanFiles -> ScanDVD, which sorts the inputs into discs,
// folders and files, expands folders (their whole tree), shortcuts, drive roots and disc images,
// drops what the conversion history marks as converted (to the skip list) and hands every new
// source to identification (DetectFile) or the DVD title scan (ScanDvd). Disc arrival and removal
// come in the shape of WM_DEVICECHANGE (TDiscWatch, platform/os/DiscWatch.h).
//
// Contracts callers rely on:
// - Nothing is examined when it arrives; arrival only appends and switches ScanTimer on (the
//   command line of start-up appends without switching it on: AddCommandLineInputs).
// - Dropped names are taken whole, whatever their length; a name that is only blanks is left out.
// - A tick blocked by Converting, GoBusy, ToolRunning or StopRequested leaves the timer on; a tick
//   that scans switches it off first. After every scan filelist, filelist2, folderlist, videobox,
//   dvdbox and voblist are empty and BatchRunning is off.
// - A folder (or part of its tree) that cannot be listed is passed over with a status message
//   naming it; the rest of the scan goes on. Symbolic links to folders are not followed.
// - A disc or skip-list entry with "*" is scanned without the history test.
// - Everything runs on the GUI thread. The disc watch calls from its own thread: the window
//   posts the notification and calls WMDeviceChange on the GUI thread.
#pragma once

#include <functional>
#include <vector>

#include "platform/os/DiscWatch.h"
#include "platform/rtl/StringList.h"
#include "platform/rtl/System.h"

// The "Add file(s)" open dialog as the intake sees it (multi-select, existing files only).
// InitialDir is the dialog's own start folder, kept between calls.
class TAddFilesDialog {
public:
  virtual ~TAddFilesDialog() = default;
  String InitialDir;
  // Shows the dialog in its detailed view; true on OK with the chosen files in Files.
  virtual bool Execute(const String& Filter, const String& Title, const String& FileName,
                       std::vector<String>& Files) = 0;
};

// The "Add folder" dialog: shows StartFolder (and that drive's free space); true on OK with the
// chosen folder.
class TAddFolderDialog {
public:
  virtual ~TAddFolderDialog() = default;
  virtual bool Execute(const String& Title, const String& StartFolder, String& Folder) = 0;
};

// What the intake needs of the windows beyond the model of MainForm.h: the options that the
// option pages keep in step with their check boxes, the dialogs, and the window actions. The
// main window fills it at creation; tests fill it with their own. The option fields start as
// their controls do (OptionControls.h copies the controls in).
struct TScanHost {
  bool RememberFolders = false;       // checkbox12 "Remember added folders"
  bool SkipConverted = false;         // checkbox13 "Skip previously  converted files"
  bool ConvertAutomatically = false;  // checkbox2 "Convert automatically"
  bool MonitorDiscs = true;           // checkbox10 "Monitor DVD's on insert"
  bool ScanDiscsOnStartup = true;     // checkbox9 "Scan for DVD's on startup"
  TAddFilesDialog* FilesDialog = nullptr;    // xcOpenDialog1
  TAddFolderDialog* FolderDialog = nullptr;  // XcSelectDirectory1
  // The destination folder's label (xcedit2).
  std::function<String()> DestinationFolder;
  // Shows or hides the skip-list panel "history".
  std::function<void(bool Visible)> ShowHistoryPanel;
  // Presses "Go" (b1Click).
  std::function<void()> Go;
  // The window side of a scan: true at its start (Panel18 hidden, the work panels in front),
  // false at its end (the source queue in front, its size column refreshed, the current row
  // selected again and the option panel reloaded from it, Panel18 shown).
  std::function<void(bool Scanning)> ScanPanels;
  // Brings the main window to the front (false) or forces it into the foreground (true).
  std::function<void(bool Force)> BringToFront;
  // The drive letters of the drive combo box, refreshed; the volume table's letters when unset.
  std::function<std::vector<char>()> DriveLetters;
  // The blocking wait after a disc arrival (Sleep, 2,000 ms); tests shorten it.
  std::function<void(Cardinal Ms)> Sleep;
  // Replaces the identification of one source (DetectFile for "vid", ScanDvd for "dvd") when set.
  std::function<void(const String& Kind, const String& Item)> Identify;
};
TScanHost& ScanHost();

// ---- Intake ----

// Dropped names (the drop hook, XcDragDrop1Drop and WMDropFiles): appended untrimmed unless only
// blanks; then the status line reads ListBox1's count + " items added" and the scan timer runs.
void DropFiles(const std::vector<String>& Names);
// "Add file(s)" and "Add folder".
void AddFilesClick();
void AddFolderClick();
// "Scan DVD(s)": every ready DVD drive into the pending inputs, or the skip list when converted.
void bscanClick();
// "Add all" and "Add selected" of the skip list.
void AddAllSkippedClick();
void AddSelectedSkippedClick();
// Appends one input and switches the scan timer on (a second start, the history window).
void AddPendingInput(const String& Path);
// The command-line arguments of start-up: appended, the timer left as it is.
void AddCommandLineInputs(const std::vector<String>& Args);

// ---- Discs ----

// The drive letter of a volume notification: 'A' + the highest set bit of bits 0..25 of the unit
// mask; 0 without DBTF_MEDIA.
char DriveFromUnitMask(const DEV_BROADCAST_VOLUME& Volume);
// WM_DEVICECHANGE: arrival (with "Monitor DVD's on insert") and removal of a disc.
void WMDeviceChange(WPARAM Event, const DEV_BROADCAST_HDR* Header);
// Lets the watch's notifications reach WMDeviceChange through Post, which must run its argument
// on the GUI thread (the window system's message queue).
void ConnectDiscWatch(TDiscWatch& Watch, std::function<void(std::function<void()>)> Post);

// ---- Timers and the pipeline ----

void ScanTimerTimer();
// MonitorTimer's tick (and the hidden "Activate Timer"): switches the scan timer on while
// "Remember added folders" is ticked.
void MonitorTimerTimer();
void ScanList(TStrings* Items);
void ScanFolders(TStrings* Folders);
void ScanFiles(TStrings* Files);
void ScanDVD(TStrings* Candidates);
// Identifies one new source: kind "dvd" (a drive, DVD folder or large disc image) or "vid".
void Detect(const String& Kind, const String& Item);
