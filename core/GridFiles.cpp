#include "core/GridFiles.h"

#include <algorithm>

#include "platform/rtl/Convert.h"
#include "platform/rtl/Exceptions.h"
#include "platform/rtl/Files.h"
#include "platform/rtl/Streams.h"
#include "platform/rtl/StrUtils.h"

namespace {

// A count line: optional blanks around a whole decimal number in 0 .. Limit.
bool ParseCount(const String& Line, int Limit, int& Value, const char* What, String& Why)
{
  int V = 0;
  if (!TryStrToInt(Trim(Line), V)) {
    Why = String(What) + " is not a whole number";
    return false;
  }
  if (V < 0 || V > Limit) {
    Why = String(What) + " " + IntToStr(V) + " is out of range";
    return false;
  }
  Value = V;
  return true;
}

String TooLarge(Int64 Limit)
{
  if (Limit >= 1024 * 1024 && Limit % (1024 * 1024) == 0) return "it is larger than " + IntToStr(Limit / (1024 * 1024)) + " MB";
  return "it is larger than " + IntToStr(Limit) + " bytes";
}

}  // namespace

String GridTextBytes(int Cols, int Rows, const std::vector<String>& Cells)
{
  String Out = IntToStr(Cols) + "\r\n" + IntToStr(Rows) + "\r\n";
  for (const String& Cell : Cells) {
    for (char C : Cell) {
      if (C == '\r' || C == '\n' || C == GridTextEscape) {
        Out += GridTextEscape;
        Out += C == '\r' ? 'r' : C == '\n' ? 'n' : GridTextEscape;
      } else {
        Out += C;
      }
    }
    Out += "\r\n";
  }
  return Out;
}

String UnescapeGridTextCell(const String& Line)
{
  if (Line.find(GridTextEscape) == String::npos) return Line;
  String Cell;
  for (size_t I = 0; I < Line.size(); ++I) {
    const char C = Line[I];
    if (C != GridTextEscape || I + 1 == Line.size()) {
      Cell += C;
      continue;
    }
    const char Next = Line[++I];
    Cell += Next == 'r' ? '\r' : Next == 'n' ? '\n' : Next == GridTextEscape ? GridTextEscape : ' ';
  }
  return Cell;
}

bool ParseGridText(const String& Bytes, TGridText& Out, String& Why)
{
  // Lines end at CR LF, LF or CR.
  std::vector<String> Lines;
  size_t Start = 0;
  for (size_t I = 0; I < Bytes.size(); ++I) {
    if (Bytes[I] != '\r' && Bytes[I] != '\n') continue;
    Lines.push_back(Bytes.substr(Start, I - Start));
    if (Bytes[I] == '\r' && I + 1 < Bytes.size() && Bytes[I + 1] == '\n') ++I;
    Start = I + 1;
  }
  if (Start < Bytes.size()) Lines.push_back(Bytes.substr(Start));
  if (Lines.size() < 2) {
    Why = "the column and row counts are missing";
    return false;
  }
  if (!ParseCount(Lines[0], MaxGridFileCols, Out.Cols, "the column count", Why)) return false;
  if (!ParseCount(Lines[1], MaxGridFileRows, Out.Rows, "the row count", Why)) return false;
  if (static_cast<Int64>(std::max(Out.Cols, 1)) * std::max(Out.Rows, 1) > MaxGridFileCells) {
    Why = "more than " + IntToStr(MaxGridFileCells) + " cells";
    return false;
  }
  const size_t Wanted = static_cast<size_t>(std::max(Out.Cols, 1)) * static_cast<size_t>(std::max(Out.Rows, 1));
  const size_t Present = std::min(Lines.size() - 2, Wanted);
  Out.CellLines.assign(Lines.begin() + 2, Lines.begin() + 2 + static_cast<std::ptrdiff_t>(Present));
  for (String& Cell : Out.CellLines) Cell = UnescapeGridTextCell(Cell);
  return true;
}

String GridStreamBytes(int Cols, int Rows, const std::vector<String>& Cells)
{
  String Out;
  size_t I = 0;
  for (int R = 0; R < Rows; ++R) {
    for (int C = 0; C < Cols; ++C, ++I) {
      const String& Cell = I < Cells.size() ? Cells[I] : String();
      for (char Ch : Cell) Out += (Ch == '\0' || Ch == '\1') ? ' ' : Ch;
      if (C < Cols - 1) Out += '\0';
    }
    Out += '\1';
  }
  return Out;
}

namespace {

// Walks the cell and row ends of a stream within the limits; Row is called for each complete
// row, with its cells when Keep is set (else with none).
template <class TRowFn>
bool WalkGridStream(const String& Bytes, String& Why, bool Keep, TRowFn&& Row)
{
  size_t RowCells = 0, Cells = 0, Rows = 0, Start = 0;
  std::vector<String> Kept;
  for (size_t I = 0; I < Bytes.size(); ++I) {
    const char Ch = Bytes[I];
    if (Ch != '\0' && Ch != '\1') continue;
    if (RowCells >= static_cast<size_t>(MaxGridFileCols)) {
      Why = "a row has more than " + IntToStr(MaxGridFileCols) + " cells";
      return false;
    }
    ++RowCells;
    if (Keep) Kept.push_back(Bytes.substr(Start, I - Start));
    Start = I + 1;
    if (Ch == '\1') {
      Cells += RowCells;
      if (Rows >= static_cast<size_t>(MaxGridFileRows) || Cells > static_cast<size_t>(MaxGridFileCells)) {
        Why = "more than " + IntToStr(MaxGridFileRows) + " rows or " + IntToStr(MaxGridFileCells) + " cells";
        return false;
      }
      ++Rows;
      RowCells = 0;
      Row(std::move(Kept));
      Kept.clear();
    }
  }
  // Bytes after the last row end belong to no complete row and are dropped.
  return true;
}

}  // namespace

bool ParseGridStream(const String& Bytes, std::vector<std::vector<String>>& Rows, String& Why)
{
  Rows.clear();
  return WalkGridStream(Bytes, Why, true, [&](std::vector<String>&& Row) { Rows.push_back(std::move(Row)); });
}

bool CheckGridStream(const String& Bytes, int& Rows, String& Why)
{
  Rows = 0;
  return WalkGridStream(Bytes, Why, false, [&](std::vector<String>&&) { ++Rows; });
}

bool GridFitsFile(int Cols, int Rows, size_t Bytes, String& Why)
{
  if (Cols > MaxGridFileCols || Rows > MaxGridFileRows ||
      static_cast<Int64>(std::max(Cols, 1)) * std::max(Rows, 1) > MaxGridFileCells) {
    Why = "The table of " + IntToStr(Rows) + " rows and " + IntToStr(Cols) +
          " columns is too large to be saved (at most " + IntToStr(MaxGridFileRows) + " rows, " +
          IntToStr(MaxGridFileCols) + " columns and " + IntToStr(MaxGridFileCells) + " cells).";
    return false;
  }
  if (static_cast<Int64>(Bytes) > MaxGridFileBytes) {
    Why = "The table is too large to be saved (more than " + IntToStr(MaxGridFileBytes / (1024 * 1024)) + " MB).";
    return false;
  }
  return true;
}

bool ReadGridFileBytes(const String& FileName, String& Bytes, bool& Missing, String& Why, bool* Unreadable,
                       Int64 Limit)
{
  Missing = false;
  bool NotRead = true;
  struct TSetUnreadable {
    bool& NotRead;
    bool* Out;
    ~TSetUnreadable()
    {
      if (Out) *Out = NotRead;
    }
  } SetUnreadable{NotRead, Unreadable};
  if (DirectoryExists(FileName)) {
    Why = "it is a folder";
    return false;
  }
  if (!FileExists(FileName)) {
    NotRead = false;
    Missing = true;
    return false;
  }
  const int Handle = FileOpen(FileName, fmOpenRead | fmShareDenyNone);
  if (Handle < 0) {
    Why = "it cannot be opened: " + SysErrorMessage(GetLastError());
    return false;
  }
  // The size is checked before a byte is read.
  const Int64 Size = FileSeek(Handle, 0, 2);
  if (Size > Limit) {
    FileClose(Handle);
    NotRead = false;
    Why = TooLarge(Limit);
    return false;
  }
  Bytes.clear();
  bool Ok = FileSeek(Handle, 0, 0) == 0;
  if (!Ok) Why = "it cannot be read: " + SysErrorMessage(GetLastError());
  char Buffer[65536];
  while (Ok) {
    const Int64 N = FileRead(Handle, Buffer, sizeof(Buffer));
    if (N < 0) {
      Why = "it cannot be read: " + SysErrorMessage(GetLastError());
      Ok = false;
      break;
    }
    if (N == 0) break;
    if (static_cast<Int64>(Bytes.size()) + N > Limit) {  // it grew while being read
      Why = TooLarge(Limit);
      NotRead = false;
      Ok = false;
      break;
    }
    Bytes.append(Buffer, static_cast<size_t>(N));
  }
  FileClose(Handle);
  if (Ok) NotRead = false;
  return Ok;
}

bool WriteGridFileBytes(const String& FileName, const String& Bytes, String& Why)
{
  try {
    AtomicSaveToFile(FileName, Bytes.data(), Bytes.size());
    return true;
  } catch (const Exception& E) {
    Why = E.Message();
    return false;
  }
}
