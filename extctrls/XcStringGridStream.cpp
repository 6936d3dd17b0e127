// The stream grid file of TXcStringGrid: writing and reading all cells.
#include <algorithm>
#include <climits>
#include <vector>

#include "extctrls/XcStringGrid.h"
#include "extctrls/XcTypes.h"
#include "platform/rtl/Format.h"

namespace {

constexpr char CellEnd = 0x00;
constexpr char RowEnd = 0x01;

// Progress figures are Integers; larger counts are reported as the largest one.
int ProgressFigure(Int64 Value) { return static_cast<int>(std::clamp<Int64>(Value, 0, INT_MAX)); }

// What a stream grid file needs of the grid, found before the grid is touched.
struct TStreamGridShape {
  Int64 RowEnds = 0;    // 0x01 bytes
  Int64 Cells = 0;      // 0x00 and 0x01 bytes
  Int64 MaxColumns = 0; // the most cells a row reaches
};

// Reads from Start to Size and measures the data; the stream is back at Start afterwards.
TStreamGridShape MeasureStreamGrid(TStream* Stream, Int64 Start, Int64 Size)
{
  TStreamGridShape Shape;
  Int64 Column = 0;
  std::vector<char> Block(XcStreamGridBlockSize);
  while (Stream->GetPosition() < Size) {
    const Int64 Got = Stream->Read(Block.data(), static_cast<Int64>(Block.size()));
    if (Got <= 0) break;
    for (Int64 I = 0; I < Got; ++I) {
      const char Byte = Block[static_cast<std::size_t>(I)];
      if (Byte != CellEnd && Byte != RowEnd) continue;
      ++Shape.Cells;
      ++Column;
      Shape.MaxColumns = std::max(Shape.MaxColumns, Column);
      if (Byte == RowEnd) {
        ++Shape.RowEnds;
        Column = 0;
      }
    }
  }
  Stream->SetPosition(Start);
  return Shape;
}

void CheckStreamGridShape(const TStreamGridShape& Shape)
{
  if (Shape.RowEnds + 1 > XcStreamGridMaxRows)
    throw EXCLException(Format("Stream grid data too large: %d rows or more (at most %d)",
                               {ProgressFigure(Shape.RowEnds), XcStreamGridMaxRows}));
  if (Shape.MaxColumns > XcStreamGridMaxColumns)
    throw EXCLException(Format("Stream grid data too large: a row of %d cells or more (at most %d columns)",
                               {ProgressFigure(Shape.MaxColumns), XcStreamGridMaxColumns}));
  if (Shape.Cells > XcStreamGridMaxCells)
    throw EXCLException(Format("Stream grid data too large: %d cells or more (at most %d)",
                               {ProgressFigure(Shape.Cells), static_cast<int>(XcStreamGridMaxCells)}));
}

}  // namespace

void TXcStringGrid::SaveToStream(TStream* Stream)
{
  const int Rows = GetRowCount();
  const int Cols = GetColCount();
  const Int64 Total = Int64(Rows) * Cols;
  // What the load will measure in the written data: refused here rather than there.
  CheckStreamGridShape({Rows, Total, Cols});
  const int TotalFigure = ProgressFigure(Total);
  if (OnSaveProgress) OnSaveProgress(this, 0, TotalFigure);
  String Buffer;  // reused for every cell; only grows
  for (int R = 0; R < Rows; ++R) {
    for (int C = 0; C < Cols; ++C) {
      if (OnSaveProgress) OnSaveProgress(this, ProgressFigure(Int64(R) * Cols + C), TotalFigure);
      Buffer = GetCells(C, R);
      std::replace_if(Buffer.begin(), Buffer.end(), [](char B) { return B == CellEnd || B == RowEnd; }, ' ');
      if (!Buffer.empty()) Stream->WriteBuffer(Buffer.data(), static_cast<Int64>(Buffer.size()));
      if (C != Cols - 1) Stream->WriteBuffer(&CellEnd, 1);
    }
    Stream->WriteBuffer(&RowEnd, 1);
  }
  if (OnSaveProgress) OnSaveProgress(this, TotalFigure, TotalFigure);
}

void TXcStringGrid::LoadFromStream(TStream* Stream)
{
  const Int64 Size = Stream->GetSize();
  const Int64 Start = Stream->GetPosition();
  const TStreamGridShape Shape = MeasureStreamGrid(Stream, Start, Size);
  CheckStreamGridShape(Shape);

  const int SizeFigure = ProgressFigure(Size);
  if (OnLoadProgress) OnLoadProgress(this, 0, SizeFigure);

  // The counts only grow while reading; they reach their largest values at once here (the
  // same end result, without resizing the grid once per row).
  if (Shape.Cells > 0) {
    if (GetColCount() < Shape.MaxColumns) SetColCount(static_cast<int>(Shape.MaxColumns));
    if (GetRowCount() < Shape.RowEnds + 1) SetRowCount(static_cast<int>(Shape.RowEnds + 1));
  }

  int Column = 0;
  int Row = 1;
  String Cell;
  Cell.reserve(XcStreamGridBlockSize);
  std::vector<char> Block(XcStreamGridBlockSize);
  const auto StoreCell = [&] {
    ++Column;
    if (GetRowCount() < Row) SetRowCount(Row);
    if (GetColCount() < Column) SetColCount(Column);
    SetCells(Column - 1, Row - 1, Cell);
    Cell.clear();
    if (Cell.capacity() > static_cast<std::size_t>(XcStreamGridBlockSize)) {
      String Fresh;
      Fresh.reserve(XcStreamGridBlockSize);
      Cell.swap(Fresh);
    }
  };
  while (Stream->GetPosition() < Size) {
    const Int64 Got = Stream->Read(Block.data(), static_cast<Int64>(Block.size()));
    if (Got <= 0) break;
    if (OnLoadProgress) OnLoadProgress(this, ProgressFigure(Stream->GetPosition()), SizeFigure);
    const char* Bytes = Block.data();
    for (Int64 I = 0; I < Got; ++I) {
      const char Byte = Bytes[I];
      if (Byte == CellEnd) {
        StoreCell();
      } else if (Byte == RowEnd) {
        StoreCell();
        ++Row;
        if (GetRowCount() < Row) SetRowCount(Row);
        Column = 0;
      } else {
        Cell.push_back(Byte);
      }
    }
  }
  SetRowCount(GetRowCount() - 1);
  if (OnLoadProgress) OnLoadProgress(this, SizeFigure, SizeFigure);
}
