// The two file forms the program stores its tables in, for any of its string grids.
//
// Text grid file (".prf" device profiles, "laststate_devices.state", "filelist.db"): line 1 the
// column count, line 2 the row count, then one line per cell, row by row from row 0, each line
// ended by CR LF; no header. A CR or LF inside a cell (a file name may hold one) is written as
// the byte 0x01 followed by "r" or "n", and a 0x01 as two of them, so every cell reads back
// exactly; a cell without these bytes is written as it is.
//
// Stream grid file ("laststate_queue.state", "laststatus.state"): the cells of a row separated
// by one 0x00 byte, every row ended by one 0x01 byte, the bytes 0x00 and 0x01 inside a cell
// written as blanks; cells may hold line breaks.
//
// Contracts:
// - Saves go to a temporary file in the same folder that is renamed over the old file only when
//   complete: a failed save leaves the previous file as it was. They answer false (with the
//   reason in Message) instead of raising.
// - A save refuses (answers false with the reason in Message, the old file untouched) a grid its
//   load could not read back: more than MaxGridFileCols columns, MaxGridFileRows rows,
//   MaxGridFileCells cells or MaxGridFileBytes bytes.
// - A load reads and checks the whole file before it touches the grid. A missing file changes
//   nothing (glMissing); a damaged one (a count that is no whole number, negative or over the
//   limits, a file over the size limit) changes nothing either and answers glDamaged with a
//   message for the user. A file that is there but cannot be read (a folder in its place, no
//   permission, a read error) is not damaged: it answers glUnreadable with the system's reason,
//   and callers must not write over it. Text files short of cell lines fill the remaining cells
//   with "". The size is checked before anything is read.
// - Grids are any type with GetCells/SetCells, GetColCount/SetColCount, GetRowCount/SetRowCount
//   (the class library's string grid, the skinned string grid).
#pragma once

#include <vector>

#include "platform/rtl/System.h"

constexpr int MaxGridFileCols = 1024;
constexpr int MaxGridFileRows = 200000;
constexpr Int64 MaxGridFileCells = 8000000;  // the largest queue (100,000 rows of 71) fits
constexpr Int64 MaxGridFileBytes = 256 * 1024 * 1024;

enum TGridLoadStatus { glLoaded, glMissing, glDamaged, glUnreadable };
struct TGridLoadResult {
  TGridLoadStatus Status = glMissing;
  String Message;  // for glDamaged and glUnreadable: what is wrong, naming the file
};

// The parsed content of a text grid file.
struct TGridText {
  int Cols = 0, Rows = 0;          // as the file gives them
  std::vector<String> CellLines;   // the cell lines present, in file order
};

// The escape byte of the text form, and a cell line read back into the cell's text (a 0x01
// before another byte than "r", "n" or 0x01 reads as a blank).
constexpr char GridTextEscape = '\x01';
String UnescapeGridTextCell(const String& Line);

// Bytes <-> content; no grid involved.
String GridTextBytes(int Cols, int Rows, const std::vector<String>& Cells);
bool ParseGridText(const String& Bytes, TGridText& Out, String& Why);
String GridStreamBytes(int Cols, int Rows, const std::vector<String>& Cells);
// The complete rows of a stream (rows ended by 0x01), each as its cells.
bool ParseGridStream(const String& Bytes, std::vector<std::vector<String>>& Rows, String& Why);
// Checks a stream as ParseGridStream does without keeping its cells; Rows is the number of
// complete rows.
bool CheckGridStream(const String& Bytes, int& Rows, String& Why);
// False with Why when a grid of these counts (Bytes long once written) is beyond what the
// loads accept.
bool GridFitsFile(int Cols, int Rows, size_t Bytes, String& Why);

// File helpers: whole-file read (false with Why for missing/unreadable/too large; Missing set
// when the file is not there, *Unreadable when it is there but could not be read; a file over
// Limit bytes is refused before it is read) and the safe replacement write.
bool ReadGridFileBytes(const String& FileName, String& Bytes, bool& Missing, String& Why, bool* Unreadable = nullptr,
                       Int64 Limit = MaxGridFileBytes);
bool WriteGridFileBytes(const String& FileName, const String& Bytes, String& Why);

namespace gridfiles_detail {
template <class TGrid>
std::vector<String> AllCells(TGrid* Grid)
{
  std::vector<String> Cells;
  const int Cols = Grid->GetColCount(), Rows = Grid->GetRowCount();
  Cells.reserve(static_cast<size_t>(Cols) * static_cast<size_t>(Rows));
  for (int R = 0; R < Rows; ++R)
    for (int C = 0; C < Cols; ++C) Cells.push_back(Grid->GetCells(C, R));
  return Cells;
}
inline TGridLoadResult Damaged(const String& FileName, const String& Why)
{
  return {glDamaged, "The file \"" + FileName + "\" is damaged and was not loaded (" + Why + ")."};
}
inline TGridLoadResult NotRead(const String& FileName, bool Missing, bool Unreadable, const String& Why)
{
  if (Missing) return {glMissing, String()};
  if (Unreadable) return {glUnreadable, "The file \"" + FileName + "\" cannot be read and was not loaded (" + Why + ")."};
  return Damaged(FileName, Why);
}
}  // namespace gridfiles_detail

template <class TGrid>
bool SaveGridText(TGrid* Grid, const String& FileName, String* Message = nullptr)
{
  String Why;
  const int Cols = Grid->GetColCount(), Rows = Grid->GetRowCount();
  bool Ok = GridFitsFile(Cols, Rows, 0, Why);
  if (Ok) {
    const String Bytes = GridTextBytes(Cols, Rows, gridfiles_detail::AllCells(Grid));
    Ok = GridFitsFile(Cols, Rows, Bytes.size(), Why) && WriteGridFileBytes(FileName, Bytes, Why);
  }
  if (!Ok && Message) *Message = Why;
  return Ok;
}

template <class TGrid>
TGridLoadResult LoadGridText(TGrid* Grid, const String& FileName)
{
  String Bytes, Why;
  bool Missing = false, Unreadable = false;
  if (!ReadGridFileBytes(FileName, Bytes, Missing, Why, &Unreadable))
    return gridfiles_detail::NotRead(FileName, Missing, Unreadable, Why);
  TGridText Text;
  if (!ParseGridText(Bytes, Text, Why)) return gridfiles_detail::Damaged(FileName, Why);
  Grid->SetColCount(Text.Cols);
  Grid->SetRowCount(Text.Rows);
  // The loops use the counts the grid holds now (it may hold a count within its own limits).
  size_t Next = 0;
  const int Cols = Grid->GetColCount(), Rows = Grid->GetRowCount();
  for (int R = 0; R < Rows; ++R)
    for (int C = 0; C < Cols; ++C) {
      const String Cell = Next < Text.CellLines.size() ? Text.CellLines[Next++] : String();
      if (!Cell.empty() || !Grid->GetCells(C, R).empty()) Grid->SetCells(C, R, Cell);
    }
  return {glLoaded, String()};
}

template <class TGrid>
bool SaveGridStream(TGrid* Grid, const String& FileName, String* Message = nullptr)
{
  String Why;
  const int Cols = Grid->GetColCount(), Rows = Grid->GetRowCount();
  bool Ok = GridFitsFile(Cols, Rows, 0, Why);
  if (Ok) {
    const String Bytes = GridStreamBytes(Cols, Rows, gridfiles_detail::AllCells(Grid));
    Ok = GridFitsFile(Cols, Rows, Bytes.size(), Why) && WriteGridFileBytes(FileName, Bytes, Why);
  }
  if (!Ok && Message) *Message = Why;
  return Ok;
}

template <class TGrid>
TGridLoadResult LoadGridStream(TGrid* Grid, const String& FileName)
{
  String Bytes, Why;
  bool Missing = false, Unreadable = false;
  if (!ReadGridFileBytes(FileName, Bytes, Missing, Why, &Unreadable))
    return gridfiles_detail::NotRead(FileName, Missing, Unreadable, Why);
  int Stored = 0;
  if (!CheckGridStream(Bytes, Stored, Why)) return gridfiles_detail::Damaged(FileName, Why);
  // The row count becomes the number of stored rows (a grid holds at least one); the column
  // count stays, stored columns beyond it are dropped, cells the file does not supply are "".
  // The cells go from the file's bytes straight into the grid (no copy of the whole table).
  Grid->SetRowCount(Stored);
  const int Cols = Grid->GetColCount(), RowCount = Grid->GetRowCount();
  const auto Store = [&](int C, int R, const String& Cell) {
    if (!Cell.empty() || !Grid->GetCells(C, R).empty()) Grid->SetCells(C, R, Cell);
  };
  int R = 0, C = 0;
  size_t Start = 0;
  for (size_t I = 0; I < Bytes.size() && R < Stored; ++I) {
    const char Ch = Bytes[I];
    if (Ch != '\0' && Ch != '\1') continue;
    if (C < Cols && R < RowCount) Store(C, R, Bytes.substr(Start, I - Start));
    ++C;
    Start = I + 1;
    if (Ch == '\1') {
      for (; C < Cols && R < RowCount; ++C) Store(C, R, String());
      ++R;
      C = 0;
    }
  }
  for (; R < RowCount; ++R)
    for (C = 0; C < Cols; ++C) Store(C, R, String());
  return {glLoaded, String()};
}
