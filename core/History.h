// The conversion history: which sources were converted for which device (the grid database of
// the history window TForm3, stored as "filelist.db" in the work folder, a text grid file) and
// the folders the user added and wants re-scanned (the list track, stored as "folders.db", one
// path per line ended by CR LF).
//
// Contracts callers rely on:
// - Rows are appended, never renumbered and never removed one by one; column 0 is the row's own
//   index as "%5.5d", column 1 the local date "mm/dd/yyyy", column 2 the device title, column 3
//   the source's history name. A source is listed once per device title.
// - notdone compares file names without folders, ignoring case, and device names after the
//   same title cleaning on both sides (the history holds cleaned titles, the device queue raw
//   model names).
// - A damaged "filelist.db" is not loaded: the history starts empty, the status line says so and
//   the damaged file is kept beside as "filelist.db.damaged" before anything overwrites it.
//   A "filelist.db" that is there but cannot be read is not written at exit; the status line says
//   why. A failed copy to ".damaged" is said too.
// - A "folders.db" line that is not a whole path (a cut last line, an empty line, control bytes,
//   a file over 16 MB) is not loaded; the other folders are, the status line says how many lines
//   were not read and the file is kept beside as "folders.db.damaged" before the next save
//   writes the readable folders. A "folders.db" that cannot be read is not written at exit.
// - A folder whose path holds a line break is scanned but not remembered (the file holds one
//   path per line); the status line says so.
// - Both files are written whole through a temporary file: a failed write keeps the old file.
#pragma once

#include <unordered_set>

#include "platform/rtl/System.h"

// Creation of the history window: loads both files, writes the header, queues the remembered
// folders (with "Remember added folders"), runs "Scan DVD(s)" with "Scan for DVD's on startup",
// then BatchRunning := off and the scan timer on.
void HistoryFormCreate();
// Close and destroy: writes both files.
void HistorySave();
// Column 3 fills the grid's width.
void HistoryFormResize();
// History "Clear": rows 1 and up emptied, two rows left, the file written anew.
void HistoryClear();
// Folders "Clear" and "Delete" (the selected folder, the first when none is).
void HistoryClearFolders();
void HistoryDeleteFolder();
// True when the source Name is not to be treated as converted.
bool notdone(const String& Name);
// notdone's answers for many names: the history rows whose device is in the device queue are
// gathered once (from the grids as they are now), each question is then one look-up.
class TConvertedIndex {
public:
  TConvertedIndex();
  bool NotDone(const String& Name) const;

private:
  bool FActive = false;  // the check applies at all
  std::unordered_set<String> FNames;
};
// Appends the history row of the job in row JobRow of convertgrid (once per name and device).
void Add2FileList(int JobRow);
// Adds Folder to track unless listed (exact text); false (with a status message) when the path
// holds a line break.
bool RememberFolder(const String& Folder);
