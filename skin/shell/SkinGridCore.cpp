// The skinned grid's layout: counts, fixed cells, widths and heights, the current cell, the
// anchor and the selection, the top-left cell, draw information, hit testing and invalidation.
#include <algorithm>
#include <cstdlib>

#include "platform/gdi/Gdi.h"
#include "platform/rtl/MathUtils.h"
#include "skin/shell/SkinGridEditors.h"
#include "skin/shell/SkinGrids.h"

namespace {

const char* const SGridIndexOutOfRange = "Grid index out of range";
const char* const SFixedColTooBig = "Fixed column count must be less than column count";
const char* const SFixedRowTooBig = "Fixed row count must be less than row count";
const char* const STooManyDeleted = "Too many rows or columns deleted";
const char* const SGridTooLarge = "Grid too large for operation";

[[noreturn]] void InvalidOp(const char* Message) { throw EInvalidGridOperation(Message); }

constexpr int MaxExtentsCount = 134217725;

TGridRect NormalizedRect(const TGridCoord& A, const TGridCoord& B) {
  return TGridRect{std::min(A.X, B.X), std::min(A.Y, B.Y), std::max(A.X, B.X), std::max(A.Y, B.Y)};
}

bool IsEmptyRect(const TRect& R) { return R.right <= R.left || R.bottom <= R.top; }

}  // namespace

TskSkinCustomGrid::TskSkinCustomGrid(TComponent* AOwner)
    : TskSkinControl(AOwner), FWallpaper(new TBitmap), FSelfLink(std::make_shared<TskSkinCustomGrid*>(this)) {
  FSkinDataName = "grid";
  FControlStyle = csCaptureMouse | csOpaque | csDoubleClicks;
  FColCount = 5;
  FRowCount = 5;
  FFixedCols = 1;
  FFixedRows = 1;
  FGridLineWidth = 1;
  FOptions = goFixedVertLine | goFixedHorzLine | goVertLine | goHorzLine | goRangeSelect;
  FDesignOptionsBoost = goRowSizing | goColSizing;
  FFixedColor = clBtnFace;
  FBorderStyle = bsSingle;
  FDefaultColWidth = 64;
  FDefaultRowHeight = 24;
  FDefaultDrawing = true;
  FSaveCellExtents = true;
  FEditorMode = false;
  FCanEditModify = true;
  SetColor(clWindow);
  SetParentColor(false);
  SetTabStop(true);
  SetCtl3D(false);
  SetBounds(GetLeft(), GetTop(), FColCount * FDefaultColWidth, FRowCount * FDefaultRowHeight);
  ResetTopLeftCurrentAnchor();
}

TskSkinCustomGrid::~TskSkinCustomGrid() {
  *FSelfLink = nullptr;
  delete FWallpaper;
  FWallpaper = nullptr;
  FHScrollBar = nullptr;
  FVScrollBar = nullptr;
  // The editor goes first, while the grid it talks to is still whole.
  TskSkinInplaceEdit* E = FInplaceEdit;
  FInplaceEdit = nullptr;
  delete E;
}

// ----- scroll bar links and visibility -----

void TskSkinCustomGrid::Notification(TComponent* AComponent, TOperation Operation) {
  TskSkinControl::Notification(AComponent, Operation);
  if (Operation != opRemove) return;
  if (FHScrollBarComponent && AComponent == FHScrollBarComponent) {
    FHScrollBar = nullptr;
    FHScrollBarComponent = nullptr;
  }
  if (FVScrollBarComponent && AComponent == FVScrollBarComponent) {
    FVScrollBar = nullptr;
    FVScrollBarComponent = nullptr;
  }
}

void TskSkinCustomGrid::CMVisibleChanged(TMessage& Message) {
  TskSkinControl::CMVisibleChanged(Message);
  if (FHScrollBar) FHScrollBar->SetBarVisible(GetVisible());
  if (FVScrollBar) FVScrollBar->SetBarVisible(GetVisible());
}

// ----- window -----

void TskSkinCustomGrid::CreateParams(TCreateParams& Params) {
  TskSkinControl::CreateParams(Params);
  Params.Style |= WS_TABSTOP;
  Params.Style &= ~(WS_HSCROLL | WS_VSCROLL);
  Params.WindowClass.style = CS_DBLCLKS;
}

void TskSkinCustomGrid::CMFontChanged(TMessage& Message) {
  TskSkinControl::CMFontChanged(Message);
  if (FInplaceEdit) FInplaceEdit->GetFont()->Assign(GetFont());
}

// ----- counts, fixed cells and extents -----

void TskSkinCustomGrid::ResetTopLeftCurrentAnchor() {
  FTopLeft = TGridCoord{FFixedCols, FFixedRows};
  FCurrent = FTopLeft;
  FAnchor = FCurrent;
  if (FOptions & goRowSelect) FAnchor.X = FColCount - 1;
}

int TskSkinCustomGrid::GetColWidths(int Index) const {
  if (FColWidths && Index >= 0 && Index < FColCount) return (*FColWidths)[static_cast<size_t>(Index)];
  return FDefaultColWidth;
}

int TskSkinCustomGrid::GetRowHeights(int Index) const {
  if (FRowHeights && Index >= 0 && Index < FRowCount) return (*FRowHeights)[static_cast<size_t>(Index)];
  return FDefaultRowHeight;
}

bool TskSkinCustomGrid::GetTabStops(int Index) const {
  if (FTabStops && Index >= 0 && Index < static_cast<int>(FTabStops->size()))
    return (*FTabStops)[static_cast<size_t>(Index)] != 0;
  return true;
}

void TskSkinCustomGrid::SetColWidths(int Index, int Value) {
  // A negative index is refused before any array is made or touched.
  if (Index < 0 || Index >= FColCount) InvalidOp(SGridIndexOutOfRange);
  if (!FColWidths) FColWidths.emplace(static_cast<size_t>(FColCount), FDefaultColWidth);
  int& Entry = (*FColWidths)[static_cast<size_t>(Index)];
  if (Entry != Value) {
    InvalidateGrid();
    Entry = Value;
    ColWidthsChanged();
  }
}

void TskSkinCustomGrid::SetRowHeights(int Index, int Value) {
  if (Index < 0 || Index >= FRowCount) InvalidOp(SGridIndexOutOfRange);
  if (!FRowHeights) FRowHeights.emplace(static_cast<size_t>(FRowCount), FDefaultRowHeight);
  int& Entry = (*FRowHeights)[static_cast<size_t>(Index)];
  if (Entry != Value) {
    InvalidateGrid();
    Entry = Value;
    RowHeightsChanged();
  }
}

void TskSkinCustomGrid::SetTabStops(int Index, bool Value) {
  if (Index < 0 || Index >= FColCount) InvalidOp(SGridIndexOutOfRange);
  if (!FTabStops) FTabStops.emplace(static_cast<size_t>(FColCount), 1);
  (*FTabStops)[static_cast<size_t>(Index)] = Value ? 1 : 0;
}

void TskSkinCustomGrid::SetDefaultColWidth(int Value) {
  FColWidths.reset();
  FDefaultColWidth = Value;
  ColWidthsChanged();
  InvalidateGrid();
}

void TskSkinCustomGrid::SetDefaultRowHeight(int Value) {
  FRowHeights.reset();
  FDefaultRowHeight = Value;
  RowHeightsChanged();
  InvalidateGrid();
}

void TskSkinCustomGrid::ColWidthsChanged() {
  UpdateScrollRange();
  UpdateEditor();
}

void TskSkinCustomGrid::RowHeightsChanged() {
  UpdateScrollRange();
  UpdateEditor();
}

// Grows or shrinks an extents array at Index by Amount; entries from Index on take the default.
void TskSkinCustomGrid::ModifyExtents(std::optional<std::vector<int>>& Extents, int Index, int Amount, int Default) {
  if (Amount == 0) return;
  const int OldSize = Extents ? static_cast<int>(Extents->size()) : 0;
  if (Index < 0 || Index > OldSize) InvalidOp(SGridIndexOutOfRange);
  const long long NewSize = static_cast<long long>(OldSize) + Amount;
  if (NewSize < 0) InvalidOp(STooManyDeleted);
  if (NewSize >= MaxExtentsCount) InvalidOp(SGridTooLarge);
  if (NewSize == 0) {
    Extents.reset();
    return;
  }
  if (!Extents) Extents.emplace();
  Extents->resize(static_cast<size_t>(NewSize));
  for (long long I = Index; I < NewSize; ++I) (*Extents)[static_cast<size_t>(I)] = Default;
}

void TskSkinCustomGrid::ResizeExtents(std::optional<std::vector<int>>& Extents, int NewCount, int Default) {
  if (!Extents) return;
  const int OldSize = static_cast<int>(Extents->size());
  if (NewCount == OldSize) return;
  if (NewCount > OldSize) {
    ModifyExtents(Extents, OldSize, NewCount - OldSize, Default);
  } else {
    if (NewCount <= 0) InvalidOp(STooManyDeleted);
    Extents->resize(static_cast<size_t>(NewCount));
  }
}

void TskSkinCustomGrid::ChangeSize(int NewColCount, int NewRowCount) {
  const int OldColCount = FColCount;
  const int OldRowCount = FRowCount;
  TskGridDrawInfo OldDrawInfo;
  if (HandleAllocated()) CalcDrawInfo(OldDrawInfo);
  const TGridCoord OldTopLeft = FTopLeft;
  auto DoChange = [&]() {
    ResizeExtents(FColWidths, FColCount, FDefaultColWidth);
    ResizeExtents(FTabStops, FColCount, 1);
    ResizeExtents(FRowHeights, FRowCount, FDefaultRowHeight);
    TGridCoord NewCur = FCurrent;
    if (FCurrent.X >= FColCount) NewCur.X = FColCount - 1;
    if (FCurrent.Y >= FRowCount) NewCur.Y = FRowCount - 1;
    if (!(FCurrent == NewCur)) MoveColRow(NewCur.X, NewCur.Y, true, true);
    if (!(FAnchor == NewCur)) MoveAnchor(NewCur);
    if (FVirtualView || !(FTopLeft == OldTopLeft)) {
      InvalidateGrid();
    } else if (HandleAllocated()) {
      TskGridDrawInfo NewDrawInfo;
      CalcDrawInfo(NewDrawInfo);
      const int W = GetClientWidth(), H = GetClientHeight();
      auto AxisStart = [&](const TskGridAxisDrawInfo& Old, const TskGridAxisDrawInfo& New) {
        const int Cell = std::min(Old.LastFullVisibleCell, New.LastFullVisibleCell);
        return LinePos(New, Cell);
      };
      InvalidateArea(TRect{AxisStart(OldDrawInfo.Horz, NewDrawInfo.Horz), 0, W, H}, false);
      InvalidateArea(TRect{0, AxisStart(OldDrawInfo.Vert, NewDrawInfo.Vert), W, H}, false);
    }
    UpdateScrollRange();
    SizeChanged(OldColCount, OldRowCount);
  };
  FColCount = NewColCount;
  FRowCount = NewRowCount;
  if (FFixedCols > NewColCount) FFixedCols = NewColCount - 1;
  if (FFixedRows > NewRowCount) FFixedRows = NewRowCount - 1;
  try {
    DoChange();
  } catch (...) {
    FColCount = OldColCount;
    FRowCount = OldRowCount;
    try {
      DoChange();
    } catch (...) {
    }
    InvalidateGrid();
    throw;
  }
}

void TskSkinCustomGrid::SetColCount(int Value) {
  if (FColCount == Value) return;
  if (Value < 1) Value = 1;
  if (FFixedCols >= Value) SetFixedCols(Value - 1);
  ChangeSize(Value, FRowCount);
  if (FOptions & goRowSelect) {
    FAnchor.X = FColCount - 1;
    Invalidate();
  }
}

void TskSkinCustomGrid::SetRowCount(int Value) {
  if (FRowCount == Value) return;
  if (Value < 1) Value = 1;
  if (FFixedRows >= Value) SetFixedRows(Value - 1);
  ChangeSize(FColCount, Value);
}

void TskSkinCustomGrid::SetFixedCols(int Value) {
  if (FFixedCols == Value) return;
  if (Value < 0) InvalidOp(SGridIndexOutOfRange);
  if (Value >= FColCount) InvalidOp(SFixedColTooBig);
  FFixedCols = Value;
  ResetTopLeftCurrentAnchor();
  InvalidateGrid();
}

void TskSkinCustomGrid::SetFixedRows(int Value) {
  if (FFixedRows == Value) return;
  if (Value < 0) InvalidOp(SGridIndexOutOfRange);
  if (Value >= FRowCount) InvalidOp(SFixedRowTooBig);
  FFixedRows = Value;
  ResetTopLeftCurrentAnchor();
  InvalidateGrid();
}

void TskSkinCustomGrid::SetGridLineWidth(int Value) {
  if (FGridLineWidth == Value) return;
  FGridLineWidth = Value;
  InvalidateGrid();
}

void TskSkinCustomGrid::SetFixedColor(TColor Value) {
  if (FFixedColor == Value) return;
  FFixedColor = Value;
  InvalidateGrid();
}

void TskSkinCustomGrid::SetBorderStyle(TBorderStyle Value) {
  if (FBorderStyle == Value) return;
  FBorderStyle = Value;
  RecreateWnd();
}

void TskSkinCustomGrid::SetDefaultDrawing(bool Value) {
  if (FDefaultDrawing == Value) return;
  FDefaultDrawing = Value;
  Invalidate();
}

void TskSkinCustomGrid::SetOptions(TGridOptions Value) {
  if (FOptions == Value) return;
  if (Value & goRowSelect) Value &= static_cast<TGridOptions>(~goAlwaysShowEditor);
  FOptions = Value;
  if (!FEditorMode) {
    if (FOptions & goAlwaysShowEditor) ShowEditor();
    else HideEditor();
  }
  if (FOptions & goRowSelect) MoveColRow(FCurrent.X, FCurrent.Y, true, false);
  InvalidateGrid();
}

// ----- draw information -----

void TskSkinCustomGrid::InitDrawInfo(TskGridDrawInfo& DrawInfo) {
  auto& H = DrawInfo.Horz;
  H.EffectiveLineWidth = (FOptions & (goFixedVertLine | goVertLine)) ? FGridLineWidth : 0;
  H.FixedCellCount = FFixedCols;
  H.FirstGridCell = FTopLeft.X;
  H.GridCellCount = FColCount;
  H.GetExtent = [this](int I) { return GetColWidths(I); };
  auto& V = DrawInfo.Vert;
  V.EffectiveLineWidth = (FOptions & (goFixedHorzLine | goHorzLine)) ? FGridLineWidth : 0;
  V.FixedCellCount = FFixedRows;
  V.FirstGridCell = FTopLeft.Y;
  V.GridCellCount = FRowCount;
  V.GetExtent = [this](int I) { return GetRowHeights(I); };
  for (TskGridAxisDrawInfo* A : {&H, &V}) {
    A->FixedBoundary = 0;
    for (int I = 0; I < A->FixedCellCount; ++I) A->FixedBoundary += A->GetExtent(I) + A->EffectiveLineWidth;
  }
}

void TskSkinCustomGrid::CalcAxis(TskGridAxisDrawInfo& A, int UseExtent) {
  A.GridExtent = UseExtent;
  A.GridBoundary = A.FixedBoundary;
  A.FullVisBoundary = A.FixedBoundary;
  A.LastFullVisibleCell = A.FirstGridCell;
  for (int I = A.FirstGridCell; I < A.GridCellCount; ++I) {
    A.GridBoundary += A.GetExtent(I) + A.EffectiveLineWidth;
    if (A.GridBoundary > A.GridExtent + A.EffectiveLineWidth) {
      A.GridBoundary = A.GridExtent;
      break;
    }
    A.LastFullVisibleCell = I;
    A.FullVisBoundary = A.GridBoundary;
  }
}

void TskSkinCustomGrid::CalcDrawInfo(TskGridDrawInfo& DrawInfo) {
  InitDrawInfo(DrawInfo);
  CalcAxis(DrawInfo.Horz, GetClientWidth());
  CalcAxis(DrawInfo.Vert, GetClientHeight());
}

TGridCoord TskSkinCustomGrid::CalcMaxTopLeft(const TGridCoord& Coord, const TskGridDrawInfo& DrawInfo) {
  auto CalcMaxCell = [](const TskGridAxisDrawInfo& A, int Start) {
    int Result = Start;
    int Line = A.GridExtent + A.EffectiveLineWidth;
    for (int I = Start; I >= A.FixedCellCount; --I) {
      const int E = A.GetExtent(I);
      Line -= E + A.EffectiveLineWidth;
      if (Line < A.FixedBoundary) break;
      if (E > 0) Result = I;
    }
    return Result;
  };
  return TGridCoord{CalcMaxCell(DrawInfo.Horz, Coord.X), CalcMaxCell(DrawInfo.Vert, Coord.Y)};
}

int TskSkinCustomGrid::GetVisibleColCount() {
  TskGridDrawInfo DI;
  CalcDrawInfo(DI);
  return DI.Horz.LastFullVisibleCell - FTopLeft.X + 1;
}

int TskSkinCustomGrid::GetVisibleRowCount() {
  TskGridDrawInfo DI;
  CalcDrawInfo(DI);
  return DI.Vert.LastFullVisibleCell - FTopLeft.Y + 1;
}

int TskSkinCustomGrid::GetGridWidth() {
  TskGridDrawInfo DI;
  CalcDrawInfo(DI);
  return DI.Horz.GridBoundary;
}

int TskSkinCustomGrid::GetGridHeight() {
  TskGridDrawInfo DI;
  CalcDrawInfo(DI);
  return DI.Vert.GridBoundary;
}

// The pixel position of a cell's start; 0 for cells scrolled away or past the extent.
int TskSkinCustomGrid::LinePos(const TskGridAxisDrawInfo& A, int Line) {
  int Start = 0;
  int Result = 0;
  auto Sum = [&](int From, int To) {
    // Adds the cells From .. To - 1; false when the sum passes the extent.
    for (int I = From; I < To; ++I) {
      Result += A.GetExtent(I) + A.EffectiveLineWidth;
      if (Result > A.GridExtent) return false;
    }
    return true;
  };
  if (Line < A.FixedCellCount) {
    Start = 0;
    return Sum(Start, Line) ? Result : 0;
  }
  if (Line >= A.FirstGridCell) {
    Result = A.FixedBoundary;
    return Sum(A.FirstGridCell, Line) ? Result : 0;
  }
  return 0;
}

bool TskSkinCustomGrid::CalcAxisRect(const TskGridAxisDrawInfo& A, int Start, int End, int& PStart, int& PEnd,
                                     bool IncludeLine) {
  if (Start >= A.FixedCellCount && Start < A.FirstGridCell) {
    if (End < A.FirstGridCell) return false;
    Start = A.FirstGridCell;
  }
  if (End > A.LastFullVisibleCell) {
    End = A.LastFullVisibleCell;
    if (End < A.GridCellCount - 1) ++End;
    if (LinePos(A, End) == 0) --End;
  }
  PStart = LinePos(A, Start);
  PEnd = LinePos(A, End);
  if (PEnd == 0) PEnd = PStart + A.GetExtent(Start);
  else PEnd += A.GetExtent(End);
  if (PEnd > A.GridExtent) PEnd = A.GridExtent;
  if (IncludeLine) PEnd += A.EffectiveLineWidth;
  return true;
}

TRect TskSkinCustomGrid::GridRectToScreenRect(const TGridRect& R, bool IncludeLine) {
  TRect Result{0, 0, 0, 0};
  if (R.Left > R.Right || R.Top > R.Bottom) return Result;
  TskGridDrawInfo DI;
  CalcDrawInfo(DI);
  if (R.Left > DI.Horz.LastFullVisibleCell + 1 || R.Top > DI.Vert.LastFullVisibleCell + 1) return Result;
  int L, Rt, T, B;
  if (!CalcAxisRect(DI.Horz, R.Left, R.Right, L, Rt, IncludeLine)) return Result;
  if (!CalcAxisRect(DI.Vert, R.Top, R.Bottom, T, B, IncludeLine)) return Result;
  return TRect{L, T, Rt, B};
}

TRect TskSkinCustomGrid::CellRect(int ACol, int ARow) { return BoxRect(ACol, ARow, ACol, ARow); }

TRect TskSkinCustomGrid::BoxRect(int ALeft, int ATop, int ARight, int ABottom) {
  return GridRectToScreenRect(TGridRect{ALeft, ATop, ARight, ABottom}, false);
}

int TskSkinCustomGrid::CalcAxisCoord(const TskGridAxisDrawInfo& A, int N) {
  int Start = A.FirstGridCell, Stop = A.GridCellCount - 1, Line = A.FixedBoundary;
  if (N < A.FixedBoundary) {
    Start = 0;
    Stop = A.FixedCellCount - 1;
    Line = 0;
  }
  for (int I = Start; I <= Stop; ++I) {
    Line += A.GetExtent(I) + A.EffectiveLineWidth;
    if (N < Line) return I;
  }
  return -1;
}

TGridCoord TskSkinCustomGrid::CalcCoordFromPoint(int X, int Y) {
  TskGridDrawInfo DI;
  CalcDrawInfo(DI);
  return TGridCoord{CalcAxisCoord(DI.Horz, X), CalcAxisCoord(DI.Vert, Y)};
}

// ----- invalidation -----

void TskSkinCustomGrid::InvalidateArea(const TRect& R, bool Erase) {
  if (!HandleAllocated() || IsEmptyRect(R)) return;
  RECT WR{R.left, R.top, R.right, R.bottom};
  ::InvalidateRect(GetHandle(), &WR, Erase ? TRUE : FALSE);
}

void TskSkinCustomGrid::InvalidateCell(int ACol, int ARow) { InvalidateRect(TGridRect{ACol, ARow, ACol, ARow}); }

void TskSkinCustomGrid::InvalidateRect(const TGridRect& ARect) {
  if (!HandleAllocated()) return;
  InvalidateArea(GridRectToScreenRect(ARect, true), false);
}

void TskSkinCustomGrid::InvalidateSelectionChange(const TGridRect& OldSel, const TGridRect& NewSel) {
  if (!HandleAllocated()) return;
  const TRect O = GridRectToScreenRect(OldSel, true);
  const TRect N = GridRectToScreenRect(NewSel, true);
  const bool Overlap =
      !IsEmptyRect(O) && !IsEmptyRect(N) && O.left < N.right && N.left < O.right && O.top < N.bottom && N.top < O.bottom;
  if (!Overlap) {
    InvalidateArea(O, false);
    InvalidateArea(N, false);
    return;
  }
  const TRect I{std::max(O.left, N.left), std::max(O.top, N.top), std::min(O.right, N.right),
                std::min(O.bottom, N.bottom)};
  const TRect U{std::min(O.left, N.left), std::min(O.top, N.top), std::max(O.right, N.right),
                std::max(O.bottom, N.bottom)};
  InvalidateArea(TRect{U.left, U.top, I.left, U.bottom}, false);
  InvalidateArea(TRect{I.left, U.top, I.right, I.top}, false);
  InvalidateArea(TRect{I.right, U.top, U.right, U.bottom}, false);
  InvalidateArea(TRect{I.left, I.bottom, I.right, U.bottom}, false);
}

void TskSkinCustomGrid::RepaintPending() {
  if (HandleAllocated()) ::UpdateWindow(GetHandle());
}

// ----- current cell, anchor and selection -----

TGridRect TskSkinCustomGrid::GetSelection() const {
  TGridRect R = NormalizedRect(FCurrent, FAnchor);
  if (FOptions & goRowSelect) {
    R.Left = FFixedCols;
    R.Right = FColCount - 1;
  }
  return R;
}

bool TskSkinCustomGrid::SelectCell(int, int) { return true; }

void TskSkinCustomGrid::MoveColRow(int ACol, int ARow, bool DoMoveAnchor, bool Show) {
  if (ACol < 0 || ARow < 0 || ACol >= FColCount || ARow >= FRowCount) InvalidOp(SGridIndexOutOfRange);
  if (!SelectCell(ACol, ARow)) return;
  const TGridRect OldSel = GetSelection();
  const TGridCoord OldCurrent = FCurrent;
  FCurrent = TGridCoord{ACol, ARow};
  if (!(FOptions & goAlwaysShowEditor)) HideEditor();
  if (DoMoveAnchor || !(FOptions & goRangeSelect)) {
    FAnchor = FCurrent;
    if (FOptions & goRowSelect) FAnchor.X = FColCount - 1;
  }
  if (FOptions & goRowSelect) FCurrent.X = FFixedCols;
  if (Show) ClampInView(FCurrent);
  InvalidateSelectionChange(OldSel, GetSelection());
  InvalidateCell(OldCurrent.X, OldCurrent.Y);
  InvalidateCell(ACol, ARow);
}

void TskSkinCustomGrid::FocusCell(int ACol, int ARow, bool DoMoveAnchor) {
  MoveColRow(ACol, ARow, DoMoveAnchor, true);
  UpdateEditor();
  Click();
}

void TskSkinCustomGrid::SetCol(int Value) {
  if (FCurrent.X != Value) FocusCell(Value, FCurrent.Y, true);
}

void TskSkinCustomGrid::SetRow(int Value) {
  if (FCurrent.Y != Value) FocusCell(FCurrent.X, Value, true);
}

void TskSkinCustomGrid::MoveAnchor(const TGridCoord& NewAnchor) {
  if ((FOptions & goRangeSelect) && !(FOptions & goEditing)) {
    const TGridRect OldSel = GetSelection();
    FAnchor = NewAnchor;
    if (FOptions & goRowSelect) FAnchor.X = FColCount - 1;
    ClampInView(NewAnchor);
    InvalidateSelectionChange(OldSel, GetSelection());
  } else {
    MoveColRow(NewAnchor.X, NewAnchor.Y, true, true);
  }
}

void TskSkinCustomGrid::ClampInView(const TGridCoord& Coord) {
  if (!HandleAllocated()) return;
  TskGridDrawInfo DI;
  CalcDrawInfo(DI);
  if (Coord.X > DI.Horz.LastFullVisibleCell || Coord.Y > DI.Vert.LastFullVisibleCell || Coord.X < FTopLeft.X ||
      Coord.Y < FTopLeft.Y) {
    const TGridCoord OldTopLeft = FTopLeft;
    const TGridCoord MaxTopLeft = CalcMaxTopLeft(Coord, DI);
    RepaintPending();
    if (Coord.X < FTopLeft.X) FTopLeft.X = Coord.X;
    else if (Coord.X > DI.Horz.LastFullVisibleCell) FTopLeft.X = MaxTopLeft.X;
    if (Coord.Y < FTopLeft.Y) FTopLeft.Y = Coord.Y;
    else if (Coord.Y > DI.Vert.LastFullVisibleCell) FTopLeft.Y = MaxTopLeft.Y;
    TopLeftMoved(OldTopLeft);
  }
}

void TskSkinCustomGrid::MoveTopLeft(int ALeft, int ATop) {
  if (ALeft == FTopLeft.X && ATop == FTopLeft.Y) return;
  RepaintPending();
  const TGridCoord OldTopLeft = FTopLeft;
  FTopLeft = TGridCoord{ALeft, ATop};
  TopLeftMoved(OldTopLeft);
}

void TskSkinCustomGrid::TopLeftChanged() {
  if (FEditorMode && FInplaceEdit) FInplaceEdit->Move(CellRect(FCurrent.X, FCurrent.Y));
}

void TskSkinCustomGrid::ScrollDataInfo(int DX, int DY, TskGridDrawInfo& DI) {
  if (!HandleAllocated()) return;
  const UINT Flags = SW_INVALIDATE | (FDefaultDrawing ? 0u : static_cast<UINT>(SW_ERASE));
  const HWND H = GetHandle();
  auto Scroll = [&](int X, int Y, const TRect& R) {
    RECT WR{R.left, R.top, R.right, R.bottom};
    ScrollWindowEx(H, X, Y, &WR, &WR, nullptr, nullptr, Flags);
  };
  const int HF = DI.Horz.FixedBoundary, VF = DI.Vert.FixedBoundary;
  const int HE = DI.Horz.GridExtent, VE = DI.Vert.GridExtent;
  if (DY == 0) {
    Scroll(DX, 0, TRect{HF, 0, HE - 1, VE});
  } else if (DX == 0) {
    Scroll(0, DY, TRect{0, VF, HE, VE});
  } else {
    Scroll(DX, 0, TRect{HF, 0, HE - 1, VF});
    Scroll(0, DY, TRect{0, VF, HF, VE});
    Scroll(DX, DY, TRect{HF, VF, HE, VE});
  }
  if (FOptions & goRowSelect) InvalidateRect(GetSelection());
}

void TskSkinCustomGrid::ScrollData(int DX, int DY) {
  TskGridDrawInfo DI;
  CalcDrawInfo(DI);
  ScrollDataInfo(DX, DY, DI);
}

void TskSkinCustomGrid::TopLeftMoved(const TGridCoord& OldTopLeft) {
  UpdateScrollPos();
  TskGridDrawInfo DI;
  CalcDrawInfo(DI);
  auto CalcScroll = [](const TskGridAxisDrawInfo& A, int OldPos, int CurrentPos, int& Amount) {
    if (OldPos == CurrentPos) {
      Amount = 0;
      return true;
    }
    const int Start = std::min(OldPos, CurrentPos);
    const int Stop = std::max(OldPos, CurrentPos);
    Amount = 0;
    for (int I = Start; I < Stop; ++I) {
      Amount += A.GetExtent(I) + A.EffectiveLineWidth;
      if (Amount > A.GridBoundary - A.FixedBoundary) return false;
    }
    if (OldPos < CurrentPos) Amount = -Amount;
    return true;
  };
  int DX = 0, DY = 0;
  if (CalcScroll(DI.Horz, OldTopLeft.X, FTopLeft.X, DX) && CalcScroll(DI.Vert, OldTopLeft.Y, FTopLeft.Y, DY))
    ScrollDataInfo(DX, DY, DI);
  else
    InvalidateGrid();
  TopLeftChanged();
  // The strip right of the cells (and a see-through data area) holds what the old position
  // showed there.
  int X = std::min(GetGridWidth(), GetWidth() - 1);
  if (FIndex >= 0 && (FTransparent || FSkin.BGPicture)) {
    InvalidateArea(TRect{DI.Horz.FixedBoundary, DI.Vert.FixedBoundary, GetClientWidth(), GetClientHeight()}, true);
    InvalidateArea(TRect{X, 0, GetWidth(), DI.Vert.FixedBoundary}, true);
  } else {
    InvalidateArea(TRect{X, 0, GetWidth(), GetHeight()}, true);
  }
}

// ----- moves and deletion -----

namespace {

int AdjustPosition(int P, int From, int To) {
  if (P == From) return To;
  if (From < To && P >= From && P <= To) return P - 1;
  if (To < From && P >= To && P <= From) return P + 1;
  return P;
}

void MoveExtent(std::optional<std::vector<int>>& Extents, int From, int To) {
  if (!Extents) return;
  auto& V = *Extents;
  const int N = static_cast<int>(V.size());
  if (From < 0 || To < 0 || From >= N || To >= N) InvalidOp(SGridIndexOutOfRange);
  const int E = V[static_cast<size_t>(From)];
  V.erase(V.begin() + From);
  V.insert(V.begin() + To, E);
}

}  // namespace

void TskSkinCustomGrid::MoveColumn(int FromIndex, int ToIndex) {
  if (FromIndex == ToIndex) return;
  if (FColWidths) {
    MoveExtent(FColWidths, FromIndex, ToIndex);
    MoveExtent(FTabStops, FromIndex, ToIndex);
  }
  FCurrent.X = AdjustPosition(FCurrent.X, FromIndex, ToIndex);
  FAnchor.X = AdjustPosition(FAnchor.X, FromIndex, ToIndex);
  FInplaceCol = FInplaceCol < 0 ? FInplaceCol : AdjustPosition(FInplaceCol, FromIndex, ToIndex);
  InvalidateRect(TGridRect{std::min(FromIndex, ToIndex), 0, std::max(FromIndex, ToIndex), GetVisibleRowCount()});
  ColumnMoved(FromIndex, ToIndex);
  if (FColWidths) ColWidthsChanged();
  UpdateEditor();
}

void TskSkinCustomGrid::MoveRow(int FromIndex, int ToIndex) {
  if (FromIndex == ToIndex) return;
  if (FRowHeights) MoveExtent(FRowHeights, FromIndex, ToIndex);
  FCurrent.Y = AdjustPosition(FCurrent.Y, FromIndex, ToIndex);
  FAnchor.Y = AdjustPosition(FAnchor.Y, FromIndex, ToIndex);
  FInplaceRow = FInplaceRow < 0 ? FInplaceRow : AdjustPosition(FInplaceRow, FromIndex, ToIndex);
  RowMoved(FromIndex, ToIndex);
  if (FRowHeights) RowHeightsChanged();
  UpdateEditor();
}

void TskSkinCustomGrid::DeleteColumn(int ACol) {
  MoveColumn(ACol, FColCount - 1);
  SetColCount(FColCount - 1);
}

void TskSkinCustomGrid::DeleteRow(int ARow) {
  MoveRow(ARow, FRowCount - 1);
  SetRowCount(FRowCount - 1);
}

void TskSkinCustomGrid::ChangeGridOrientation(int Index, int Amount, bool Rows) {
  if (Amount == 0) return;
  const TGridCoord OldCurrent = FCurrent;
  const int OldColCount = FColCount, OldRowCount = FRowCount;
  TGridCoord NewCurrent = FCurrent;
  TGridRect Area{FFixedCols, FFixedRows, FColCount - 1, FRowCount - 1};
  TskGridDrawInfo DI;
  CalcDrawInfo(DI);
  int Distance = 0;
  auto& Extents = Rows ? FRowHeights : FColWidths;
  const int Default = Rows ? FDefaultRowHeight : FDefaultColWidth;
  int& Count = Rows ? FRowCount : FColCount;
  const int NewCount = Count + Amount;
  if (NewCount < Index) InvalidOp(STooManyDeleted);
  if (Amount < 0 && Extents) {
    for (int I = Index; I < Index - Amount && I < static_cast<int>(Extents->size()); ++I)
      Distance += (*Extents)[static_cast<size_t>(I)];
    Distance = -Distance;
  } else {
    Distance = Amount * Default;
  }
  // Without an array every entry has the default: there is nothing to shift (resizing a
  // missing array at an index above 0 would refuse the index).
  if (Extents) ModifyExtents(Extents, Index, Amount, Default);
  Count = NewCount;
  int& Pos = Rows ? NewCurrent.Y : NewCurrent.X;
  if (Pos >= Index) {
    if (Amount < 0 && Pos < Index - Amount) Pos = Index;
    else Pos += Amount;
  }
  const TskGridAxisDrawInfo& A = Rows ? DI.Vert : DI.Horz;
  if (Rows) {
    Area.Top = Index;
    if (Index + std::abs(Amount) <= A.FirstGridCell) Area.Bottom = A.FirstGridCell - 1;
  } else {
    Area.Left = Index;
    if (Index + std::abs(Amount) <= A.FirstGridCell) Area.Right = A.FirstGridCell - 1;
  }
  if (HandleAllocated()) {
    const TRect R = GridRectToScreenRect(Area, true);
    if (!IsEmptyRect(R)) {
      RECT WR{R.left, R.top, R.right, R.bottom};
      RECT Client{0, 0, GetClientWidth(), GetClientHeight()};
      ScrollWindowEx(GetHandle(), Rows ? 0 : Distance, Rows ? Distance : 0, &WR, &Client, nullptr, nullptr,
                     SW_INVALIDATE);
      ::UpdateWindow(GetHandle());
    }
  }
  SizeChanged(OldColCount, OldRowCount);
  if (!(NewCurrent == OldCurrent)) MoveColRow(NewCurrent.X, NewCurrent.Y, true, true);
}

// ----- stored extents -----

void TskSkinCustomGrid::WriteExtents(TStream* Stream, const std::optional<std::vector<int>>& Extents, int Count) {
  std::int32_t N = Count;
  Stream->WriteBuffer(&N, sizeof N);
  for (int I = 0; I < Count; ++I) {
    std::int32_t V = Extents && I < static_cast<int>(Extents->size()) ? (*Extents)[static_cast<size_t>(I)] : 0;
    Stream->WriteBuffer(&V, sizeof V);
  }
}

void TskSkinCustomGrid::WriteColWidths(TStream* Stream) { WriteExtents(Stream, FColWidths, FColCount); }
void TskSkinCustomGrid::WriteRowHeights(TStream* Stream) { WriteExtents(Stream, FRowHeights, FRowCount); }

void TskSkinCustomGrid::ReadColWidths(TStream* Stream) {
  std::int32_t N = 0;
  Stream->ReadBuffer(&N, sizeof N);
  for (int I = 0; I < N; ++I) {
    std::int32_t V = 0;
    Stream->ReadBuffer(&V, sizeof V);
    if (I < FColCount) SetColWidths(I, V);
  }
}

void TskSkinCustomGrid::ReadRowHeights(TStream* Stream) {
  std::int32_t N = 0;
  Stream->ReadBuffer(&N, sizeof N);
  for (int I = 0; I < N; ++I) {
    std::int32_t V = 0;
    Stream->ReadBuffer(&V, sizeof V);
    if (I < FRowCount) SetRowHeights(I, V);
  }
}
