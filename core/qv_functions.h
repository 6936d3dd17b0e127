// The small routines the rest of the program shares: number and time texts, folder and file
// services, shortcuts, power-off, disc eject, the update check, opening web pages, the skip
// list and two grid operations. They keep no state of their own and run on the GUI thread;
// several read or write the main window's lists and run state (MainForm.h).
//
// Contracts callers rely on:
// - Nothing here raises for bad text: StrToFloatSafe, IsFloat, HmsToSeconds (an empty text
//   when the text is no time), ParsePlaybackPosition and the file tests answer a plain value.
// - The routines that call the system (shortcuts, copy, power-off, eject, browser) ignore the
//   system's failures.
// - Texts are UTF-8 bytes; numbers are written with "." as the decimal separator.
#pragma once

#include <functional>
#include <unordered_set>
#include <vector>

#include "core/GridSortOrder.h"
#include "platform/rtl/Convert.h"
#include "platform/rtl/Format.h"
#include "platform/rtl/StrUtils.h"
#include "platform/rtl/StringList.h"
#include "platform/rtl/System.h"
#include "platform/win/WinUser.h"

class TTrackBar;

// ---- Numbers and text ----

// The tolerant number parse used for every fractional value (frame rates, aspects, seconds):
// "" gives 0 (and leaves the decimal separator alone); otherwise the process-wide decimal
// separator becomes "." for good, a text of 12 or more bytes gives 0, the first comma counts
// as a point, and a text that is no number gives 0.
double StrToFloatSafe(const String& S);
// The class library's float parse accepts S with the current decimal separator.
bool IsFloat(const String& S);
// The decimal value with at least Digits digits, zeros in front ("%.*d").
String ZeroPad(int Value, int Digits);
// Rounded to whole seconds (halves to even), then "h:mm:ss"; hours are not limited to 24.
String SecondsToHMS(double Seconds);
// "hh:mm:ss.ff" to whole seconds as decimal text; the fraction is dropped. A text whose parts
// are not whole numbers ("Duration: N/A", no point, fewer than two colons) gives "".
String HmsToSeconds(const String& S);
// (Video + Audio) kbit/s over Seconds in megabytes: "%3.2f" followed by " MB".
String EstimateSizeMB(int VideoKbps, int AudioKbps, int Seconds);
// The larger of the audio ("A:") and video ("V:") positions of a player status line in whole
// seconds (0 when neither reads). Unless SeekDragging is set, the preview window's seek bar
// (PreviewSeekBar, when one is set) moves to the result.
int ParsePlaybackPosition(const String& Line);
// The preview window's seek bar that ParsePlaybackPosition moves (the preview window sets it).
extern TTrackBar* PreviewSeekBar;

// ---- Folders and files ----

// The per-user application-data folder with a trailing separator, or the program's folder when
// there is none.
String AppDataFolder();
// The documents and videos folders from the special-folder lists shlfld1..3 of the main window:
// the row of "CSIDL_PERSONAL" ("CSIDL_MYVIDEO") wins; otherwise the first row whose display
// name is "My Documents" ("My Videos") or "Printers". "" when none.
String MyDocumentsFolder();
String MyVideosFolder();
// The same walk over three given lists (entry i of each belongs to one folder).
String SpecialFolderFromLists(TStrings* Paths, TStrings* Names, TStrings* Ids, const String& DisplayName,
                              const String& IdName);
bool FolderExists(const String& Path);
// The drive of that letter holds a readable medium (the class library's DiskSize is not -1).
bool DriveReady(char Letter);
// True when the file exists and another process has it open for writing (a file still being
// written, a tool's executable that runs); false for a missing file and for one that only
// readers hold.
bool FileInUse(const String& Path);
// Clears List, then fills it with the files matching Mask (e.g. "*.ifo") of Folder's tree,
// depth first: a folder's own matches (sorted by name) before those of its subfolders. Symbolic
// links to folders are not followed, so a loop in the tree ends.
void FindFilesRecursive(const String& Folder, const String& Mask, TStrings* List);
// The same; Unreadable is told every folder of the tree (Folder included) that cannot be listed.
void FindFilesRecursive(const String& Folder, const String& Mask, TStrings* List,
                        const std::function<void(const String& Folder)>& Unreadable);
// Stops a running encoder, waits for the current tool, then replaces Target by a copy of
// Source. Failures are not reported.
void CopyToolExecutable(const String& Source, const String& Target);
// Saves mencoder_conf to WorkFolder + "mplayer/mencoder.conf" (CR LF after every line). The
// file is written only when its bytes change, never over a file that is there but cannot be
// read; a failure is told in the status line and the log, and answers false.
bool WriteMencoderConf();
// The text the free-space panel shows for the drive that holds Path: "Drive C: 12,345 MB
// Available", or "E Drive not present" when its free space cannot be read. False (Text
// untouched) when Path is on no drive.
bool DriveFreeSpaceText(const String& Path, String& Text);
// Shows DriveFreeSpaceText in the status bar's free-space panel (through FreeSpacePanelProc).
void ShowDriveFreeSpace(const String& Path);
// Where ShowDriveFreeSpace writes its text (the main window installs its status panel).
void SetFreeSpacePanelProc(std::function<void(const String& Text)> Proc);

// ---- Shortcuts, system and web ----

// The name of the shortcut file that CreateShortcut writes: the special folder of Csidl, "/",
// Name and ".desktop" (a desktop entry). "" when the folder is unknown.
String ShortcutFileName(int Csidl, const String& Name);
extern const char* const SendToMimeTypes;
// A desktop entry starting the program (its executable, working folder the program's folder)
// in the special folder Csidl (made when missing). The Send To entry is an "Open with" choice
// for videos, disc images and folders (SendToMimeTypes) that passes the chosen files on.
// Failures are not reported.
void CreateShortcut(int Csidl, const String& Name);
void DeleteShortcut(int Csidl, const String& Name);
// The target of a shortcut file (".lnk", any case; its desktop entry is read); a file with
// another extension gives "NOT a shortuct by extension!"; an unreadable one "".
String ResolveShortcut(const String& Path);
// "poweroff" powers the computer off, "reboot" restarts it; other modes do nothing.
void ShutdownWindows(const String& Mode);
// Opens the tray of the drive of DrivePath. When the drive cannot be opened or refuses, EjectDone
// is set at once (nobody would report the disc's removal, and EjectAndWait must not wait).
void EjectDisc(const String& DrivePath);
// Brings the window to the foreground; whether it is there now.
bool ForceForegroundWindow(HWND Window);
bool WindowsMediaEncoderInstalled();
// Opens a web address or a help file with the registered browser (the program between the
// first two double quotes of the "htmlfile" open command); nothing when none is registered.
void OpenUrlInBrowser(const String& Url);

// The update check. The site and what the check shows; tests point it at a local server.
struct TUpdateSite {
  String Name = "www.quelvo.com";   // shown in the captions
  String Address = "http://www.quelvo.com";
  Cardinal ReadTimeoutMs = 15000;   // silence while reading ends the check
  Cardinal ConnectTimeoutMs = 10000;
};
void SetUpdateSite(const TUpdateSite& Site);
const TUpdateSite& GetUpdateSite();
// Asks the user (caption, text, with Yes/No or OK alone); returns the modal result (6 = Yes).
using TUpdateAskProc = std::function<int(const String& Caption, const String& Text, bool YesNo)>;
void SetUpdateAskProc(TUpdateAskProc Proc);
// Starts the check: the caption of the main window shows "Connecting to ..." at once, the
// download runs on a worker thread (with a read time-out), and the answer is handled back on
// the GUI thread: the caption, the memo v, the question and, on Yes, the download page opens
// and the application ends. A failure shows "Can not make a connection with ..." in the
// caption. Returns at once; a check already running is not started twice.
void CheckForUpdate();
// True while a check's download runs.
bool UpdateCheckRunning();
// The GUI-thread half of the check for a downloaded version file (tests call it directly).
void HandleUpdateText(const String& Body);

// ---- Lists and grids ----

// Adds Path to the main window's skiplist unless an entry equals it or its CleanTitle form.
void AddToSkipList(const String& Path);
void AddToSkipList(TStrings* SkipList, const String& Path);
// The same for many paths in a row: Seen holds the list's entries (filled from the list when
// empty) and is kept up to date, so each path costs one look-up whatever the list's length.
void AddToSkipList(TStrings* SkipList, std::unordered_set<String>& Seen, const String& Path);

// Grid operations over any grid with GetCells/SetCells, GetRowCount/SetRowCount,
// GetColCount and GetFixedRows (the class library's string grid, the skinned string grid).

// Sorts the rows below the fixed rows ascending by Col, ignoring case (A-Z); rows with equal
// keys end in the order GridSortOrder describes (not their table order). Cells only: objects
// stay where they are.
template <class TGrid>
void SortGridByColumn(TGrid* Grid, int Col)
{
  const int Rows = Grid->GetRowCount();
  const int Cols = Grid->GetColCount();
  const int First = Grid->GetFixedRows();
  if (Rows - First < 2) return;
  std::vector<String> Keys;
  Keys.reserve(static_cast<size_t>(Rows - First));
  for (int R = First; R < Rows; ++R) Keys.push_back(Grid->GetCells(Col, R));
  const std::vector<int> Order = GridSortOrder(Keys);
  // Every row that moves is read before any is written.
  std::vector<String> Moved;
  for (size_t K = 0; K < Order.size(); ++K)
    if (Order[K] != static_cast<int>(K))
      for (int C = 0; C < Cols; ++C) Moved.push_back(Grid->GetCells(C, First + Order[K]));
  size_t Next = 0;
  for (size_t K = 0; K < Order.size(); ++K)
    if (Order[K] != static_cast<int>(K))
      for (int C = 0; C < Cols; ++C) Grid->SetCells(C, First + static_cast<int>(K), Moved[Next++]);
}

// Removes row Row: every row below moves up one, the row count drops by one. A row outside
// the grid changes nothing.
template <class TGrid>
void DeleteGridRow(TGrid* Grid, int Row)
{
  const int Rows = Grid->GetRowCount();
  if (Row < 0 || Row >= Rows) return;
  const int Cols = Grid->GetColCount();
  for (int R = Row; R < Rows - 1; ++R)
    for (int C = 0; C < Cols; ++C) Grid->SetCells(C, R, Grid->GetCells(C, R + 1));
  // The cells of the dropped last row must not come back when the grid grows again.
  for (int C = 0; C < Cols; ++C) Grid->SetCells(C, Rows - 1, "");
  Grid->SetRowCount(Rows - 1);
}
