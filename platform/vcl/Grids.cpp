#include "platform/vcl/Grids.h"

#include <algorithm>

#include "platform/gdi/Gdi.h"
#include "platform/vcl/Forms.h"

namespace {

const char* const SGridIndexOutOfRange = "Grid index out of range";
const char* const SFixedColTooBig = "Fixed column count must be less than column count";
const char* const SFixedRowTooBig = "Fixed row count must be less than row count";
const char* const SInsertDeleteGrid = "Cannot insert or delete rows from grid";

[[noreturn]] void InvalidOp(const char* Message) { throw EInvalidGridOperation(Message); }

// Where index I ends up when the entry at From moves to To.
int MovedIndex(int I, int From, int To) {
  if (I == From) return To;
  if (From < To && I > From && I <= To) return I - 1;
  if (From > To && I >= To && I < From) return I + 1;
  return I;
}

// Pixels around a column or row edge where a press starts sizing.
constexpr int SizingSlack = 2;

}  // namespace

// One direction of the layout: the cells of an axis, the fixed ones first, then the scrollable
// ones from First on. Each cell is followed by a line of LineWidth pixels; a cell of negative
// extent takes no room at all.
struct TCustomGrid::TAxis {
  int Count;
  int Fixed;
  int First;
  const std::vector<int>* Extents;
  int Default;
  int LineWidth;
  int ClientExtent;

  int Extent(int I) const { return Extents->empty() ? Default : (*Extents)[static_cast<size_t>(I)]; }
  // The room of cell I with its line.
  int Step(int I) const {
    int E = Extent(I);
    return E < 0 ? 0 : E + LineWidth;
  }
  int FixedBoundary() const {
    int P = 0;
    for (int I = 0; I < Fixed; ++I) P += Step(I);
    return P;
  }
  // The start of cell I, or -1 when it is scrolled out of view (or past the end of the client).
  int Position(int I) const {
    if (I < 0 || I >= Count) return -1;
    int P = 0;
    if (I < Fixed) {
      for (int J = 0; J < I; ++J) P += Step(J);
      return P;
    }
    if (I < First) return -1;
    P = FixedBoundary();
    for (int J = First; J < I && P < ClientExtent; ++J) P += Step(J);
    return P < ClientExtent ? P : -1;
  }
  // The cell at coordinate X, -1 when none (the line after a cell belongs to the cell).
  int CellAt(int X) const {
    if (X < 0) return -1;
    int P = 0;
    for (int I = 0; I < Fixed; ++I) {
      if (X < P + Step(I)) return I;
      P += Step(I);
    }
    for (int I = First; I < Count && P < ClientExtent; ++I) {
      if (X < P + Step(I) && X < ClientExtent) return I;
      P += Step(I);
    }
    return -1;
  }
  // The last scrollable cell wholly shown (at least First).
  int LastFullVisible() const {
    int P = FixedBoundary();
    int Last = First;
    for (int I = First; I < Count; ++I) {
      P += Step(I);
      if (P > ClientExtent) break;
      Last = I;
    }
    return Last;
  }
  // The largest First that still leaves no room unused after the last cell.
  int MaxFirst() const {
    int Room = ClientExtent - FixedBoundary();
    int P = 0;
    int Result = Count - 1;
    for (int I = Count - 1; I >= Fixed; --I) {
      P += Step(I);
      if (P > Room) break;
      Result = I;
    }
    return std::max(Result, Fixed);
  }
  // The end of the last shown cell and its line.
  int Boundary() const {
    int P = FixedBoundary();
    for (int I = First; I < Count && P < ClientExtent; ++I) P += Step(I);
    return std::min(P, ClientExtent);
  }
};

TCustomGrid::TCustomGrid(TComponent* AOwner) : TCustomControl(AOwner) {
  FControlStyle = csCaptureMouse | csOpaque | csDoubleClicks;
  SetTabStop(true);
  SetParentColor(false);
  SetColor(clWindow);
  FWidth = 320;
  FHeight = 120;
}

TCustomGrid::~TCustomGrid() {
  // The editor goes first, while the grid it talks to is still whole.
  TInplaceEdit* E = FInplaceEdit;
  FInplaceEdit = nullptr;
  delete E;
}

TCustomGrid::TAxis TCustomGrid::Horz() {
  int LW = (FOptions & goVertLine) ? FGridLineWidth : 0;
  return TAxis{FColCount, FFixedCols, FTopLeft.X, &FColWidths, FDefaultColWidth, LW, GetClientWidth()};
}

TCustomGrid::TAxis TCustomGrid::Vert() {
  int LW = (FOptions & goHorzLine) ? FGridLineWidth : 0;
  return TAxis{FRowCount, FFixedRows, FTopLeft.Y, &FRowHeights, FDefaultRowHeight, LW, GetClientHeight()};
}

void TCustomGrid::CreateParams(TCreateParams& Params) {
  TCustomControl::CreateParams(Params);
  Params.Style |= WS_TABSTOP;
  if (FScrollBars == ssVertical || FScrollBars == ssBoth) Params.Style |= WS_VSCROLL;
  if (FScrollBars == ssHorizontal || FScrollBars == ssBoth) Params.Style |= WS_HSCROLL;
  if (FBorderStyle == bsSingle) Params.ExStyle |= WS_EX_CLIENTEDGE;
  Params.WindowClass.style |= CS_DBLCLKS;
  Params.WindowClass.style &= ~(CS_HREDRAW | CS_VREDRAW);
}

void TCustomGrid::CreateWnd() {
  TCustomControl::CreateWnd();
  UpdateScrollRange();
}

// ----- counts and extents -----

void TCustomGrid::ChangeSize(int NewColCount, int NewRowCount) {
  int OldCols = FColCount, OldRows = FRowCount;
  if (NewColCount == OldCols && NewRowCount == OldRows) return;
  auto Resize = [](std::vector<int>& V, int N, int Default) {
    if (!V.empty()) V.resize(static_cast<size_t>(N), Default);
  };
  Resize(FColWidths, NewColCount, FDefaultColWidth);
  Resize(FRowHeights, NewRowCount, FDefaultRowHeight);
  FColCount = NewColCount;
  FRowCount = NewRowCount;
  auto Clamp = [this](TGridCoord& C) {
    C.X = std::clamp(C.X, FFixedCols, FColCount - 1);
    C.Y = std::clamp(C.Y, FFixedRows, FRowCount - 1);
  };
  Clamp(FCurrent);
  Clamp(FAnchor);
  if (FOptions & goRowSelect) FAnchor.X = FColCount - 1;
  SizeChanged(OldCols, OldRows);
  ClampTopLeft();
  UpdateScrollRange();
  Invalidate();
}

void TCustomGrid::SetColCount(int Value) {
  if (Value < 1) Value = 1;
  if (Value <= FFixedCols) SetFixedCols(Value - 1);
  ChangeSize(Value, FRowCount);
}

void TCustomGrid::SetRowCount(int Value) {
  if (Value < 1) Value = 1;
  if (Value <= FFixedRows) SetFixedRows(Value - 1);
  ChangeSize(FColCount, Value);
}

void TCustomGrid::SetFixedCols(int Value) {
  if (Value < 0) InvalidOp(SGridIndexOutOfRange);
  if (Value >= FColCount) InvalidOp(SFixedColTooBig);
  if (Value == FFixedCols) return;
  FFixedCols = Value;
  FTopLeft.X = Value;
  FCurrent.X = Value;
  FAnchor.X = (FOptions & goRowSelect) ? FColCount - 1 : Value;
  UpdateScrollRange();
  Invalidate();
}

void TCustomGrid::SetFixedRows(int Value) {
  if (Value < 0) InvalidOp(SGridIndexOutOfRange);
  if (Value >= FRowCount) InvalidOp(SFixedRowTooBig);
  if (Value == FFixedRows) return;
  FFixedRows = Value;
  FTopLeft.Y = Value;
  FCurrent.Y = Value;
  FAnchor.Y = Value;
  UpdateScrollRange();
  Invalidate();
}

void TCustomGrid::SetDefaultColWidth(int Value) {
  FDefaultColWidth = Value;
  FColWidths.clear();
  ColWidthsChanged();
}

void TCustomGrid::SetDefaultRowHeight(int Value) {
  FDefaultRowHeight = Value;
  FRowHeights.clear();
  RowHeightsChanged();
}

int TCustomGrid::GetColWidths(int Index) const {
  if (FColWidths.empty() || Index < 0 || Index >= FColCount) return FDefaultColWidth;
  return FColWidths[static_cast<size_t>(Index)];
}

void TCustomGrid::SetColWidths(int Index, int Value) {
  if (Index < 0 || Index >= FColCount) InvalidOp(SGridIndexOutOfRange);
  if (FColWidths.empty()) FColWidths.assign(static_cast<size_t>(FColCount), FDefaultColWidth);
  if (FColWidths[static_cast<size_t>(Index)] == Value) return;
  FColWidths[static_cast<size_t>(Index)] = Value;
  ColWidthsChanged();
}

int TCustomGrid::GetRowHeights(int Index) const {
  if (FRowHeights.empty() || Index < 0 || Index >= FRowCount) return FDefaultRowHeight;
  return FRowHeights[static_cast<size_t>(Index)];
}

void TCustomGrid::SetRowHeights(int Index, int Value) {
  if (Index < 0 || Index >= FRowCount) InvalidOp(SGridIndexOutOfRange);
  if (FRowHeights.empty()) FRowHeights.assign(static_cast<size_t>(FRowCount), FDefaultRowHeight);
  if (FRowHeights[static_cast<size_t>(Index)] == Value) return;
  FRowHeights[static_cast<size_t>(Index)] = Value;
  RowHeightsChanged();
}

void TCustomGrid::SetGridLineWidth(int Value) {
  Value = std::max(Value, 0);
  if (Value == FGridLineWidth) return;
  FGridLineWidth = Value;
  ClampTopLeft();
  UpdateScrollRange();
  Invalidate();
}

void TCustomGrid::SetFixedColor(TColor Value) {
  if (Value == FFixedColor) return;
  FFixedColor = Value;
  Invalidate();
}

void TCustomGrid::SetOptions(TGridOptions Value) {
  if (Value == FOptions) return;
  FOptions = Value;
  if (FOptions & goRowSelect) FAnchor.X = FColCount - 1;
  else if ((FOptions & goRangeSelect) == 0) FAnchor = FCurrent;
  ClampTopLeft();
  UpdateScrollRange();
  Invalidate();
}

void TCustomGrid::SetScrollBars(TScrollStyle Value) {
  if (Value == FScrollBars) return;
  FScrollBars = Value;
  RecreateWnd();
}

void TCustomGrid::SetBorderStyle(TBorderStyle Value) {
  if (Value == FBorderStyle) return;
  FBorderStyle = Value;
  RecreateWnd();
}

void TCustomGrid::SetDefaultDrawing(bool Value) {
  if (Value == FDefaultDrawing) return;
  FDefaultDrawing = Value;
  Invalidate();
}

void TCustomGrid::ColWidthsChanged() {
  ClampTopLeft();
  UpdateScrollRange();
  Invalidate();
}

void TCustomGrid::RowHeightsChanged() {
  ClampTopLeft();
  UpdateScrollRange();
  Invalidate();
}

void TCustomGrid::SizeChanged(int, int) {}

// ----- current cell, selection and scrolling -----

bool TCustomGrid::SelectCell(int, int) { return true; }

void TCustomGrid::TopLeftChanged() {
  if (OnTopLeftChanged) OnTopLeftChanged(this);
}

TGridRect TCustomGrid::GetSelection() const {
  TGridRect R{std::min(FCurrent.X, FAnchor.X), std::min(FCurrent.Y, FAnchor.Y), std::max(FCurrent.X, FAnchor.X),
              std::max(FCurrent.Y, FAnchor.Y)};
  if (FOptions & goRowSelect) {
    R.Left = FFixedCols;
    R.Right = FColCount - 1;
  }
  return R;
}

void TCustomGrid::SetSelection(const TGridRect& Value) {
  auto Inside = [this](int C, int R) { return C >= 0 && R >= 0 && C < FColCount && R < FRowCount; };
  if (!Inside(Value.Left, Value.Top) || !Inside(Value.Right, Value.Bottom)) InvalidOp(SGridIndexOutOfRange);
  FAnchor = TGridCoord{Value.Left, Value.Top};
  FCurrent = TGridCoord{Value.Right, Value.Bottom};
  if ((FOptions & goRangeSelect) == 0) FAnchor = FCurrent;
  if (FOptions & goRowSelect) FAnchor.X = FColCount - 1;
  ScrollIntoView(FCurrent.X, FCurrent.Y);
  Invalidate();
}

bool TCustomGrid::InSelection(int ACol, int ARow) const {
  TGridRect S = GetSelection();
  return ACol >= S.Left && ACol <= S.Right && ARow >= S.Top && ARow <= S.Bottom;
}

void TCustomGrid::MoveCurrent(int ACol, int ARow, bool MoveAnchor, bool Show) {
  if (ACol < 0 || ARow < 0 || ACol >= FColCount || ARow >= FRowCount) InvalidOp(SGridIndexOutOfRange);
  if (!SelectCell(ACol, ARow)) return;
  FCurrent = TGridCoord{ACol, ARow};
  if (MoveAnchor || (FOptions & goRangeSelect) == 0 || (FOptions & goEditing)) FAnchor = FCurrent;
  if (FOptions & goRowSelect) FAnchor.X = FColCount - 1;
  if (Show) ScrollIntoView(ACol, ARow);
  Invalidate();
  if (FOptions & goAlwaysShowEditor) UpdateEdit();
  else if (FEditorMode) HideEditor();
}

void TCustomGrid::FocusCell(int ACol, int ARow, bool MoveAnchor) {
  MoveCurrent(ACol, ARow, MoveAnchor, true);
  Click();
}

void TCustomGrid::SetCol(int Value) {
  if (Value != FCurrent.X) FocusCell(Value, FCurrent.Y, true);
}

void TCustomGrid::SetRow(int Value) {
  if (Value != FCurrent.Y) FocusCell(FCurrent.X, Value, true);
}

TGridCoord TCustomGrid::MaxTopLeft() { return TGridCoord{Horz().MaxFirst(), Vert().MaxFirst()}; }

void TCustomGrid::MoveTopLeft(int ALeft, int ATop) {
  TGridCoord Max = MaxTopLeft();
  ALeft = std::clamp(ALeft, FFixedCols, std::max(FFixedCols, Max.X));
  ATop = std::clamp(ATop, FFixedRows, std::max(FFixedRows, Max.Y));
  if (ALeft == FTopLeft.X && ATop == FTopLeft.Y) return;
  FTopLeft = TGridCoord{ALeft, ATop};
  UpdateScrollRange();
  Invalidate();
  if (FInplaceEdit && FInplaceEdit->GetVisible()) FInplaceEdit->Move(CellRect(FCurrent.X, FCurrent.Y));
  TopLeftChanged();
}

void TCustomGrid::ClampTopLeft() {
  TGridCoord Max = MaxTopLeft();
  TGridCoord T{std::clamp(FTopLeft.X, FFixedCols, std::max(FFixedCols, Max.X)),
               std::clamp(FTopLeft.Y, FFixedRows, std::max(FFixedRows, Max.Y))};
  if (T == FTopLeft) return;
  FTopLeft = T;
  Invalidate();
  TopLeftChanged();
}

void TCustomGrid::SetLeftCol(int Value) { MoveTopLeft(Value, FTopLeft.Y); }
void TCustomGrid::SetTopRow(int Value) { MoveTopLeft(FTopLeft.X, Value); }

void TCustomGrid::ScrollIntoView(int ACol, int ARow) {
  TGridCoord T = FTopLeft;
  auto Fit = [](const TAxis& A, int Cell, int& First) {
    if (Cell < A.Fixed) return;
    if (Cell < First) {
      First = Cell;
      return;
    }
    TAxis B = A;
    B.First = First;
    if (B.LastFullVisible() >= Cell) return;
    // The smallest first cell that still shows Cell whole (Cell itself when it is too big).
    int Room = A.ClientExtent - A.FixedBoundary(), P = 0;
    First = Cell;
    for (int I = Cell; I >= A.Fixed; --I) {
      P += A.Step(I);
      if (P > Room) break;
      First = I;
    }
  };
  if ((FOptions & goRowSelect) == 0) Fit(Horz(), ACol, T.X);
  Fit(Vert(), ARow, T.Y);
  MoveTopLeft(T.X, T.Y);
}

int TCustomGrid::GetVisibleColCount() {
  TAxis A = Horz();
  return A.LastFullVisible() - A.First + 1;
}

int TCustomGrid::GetVisibleRowCount() {
  TAxis A = Vert();
  return A.LastFullVisible() - A.First + 1;
}

int TCustomGrid::GetGridWidth() { return Horz().Boundary(); }
int TCustomGrid::GetGridHeight() { return Vert().Boundary(); }

void TCustomGrid::UpdateScrollRange() {
  if (!HandleAllocated() || FUpdatingScrollBars) return;
  FUpdatingScrollBars = true;
  auto Apply = [this](int Bar, int Range, int Pos) {
    SCROLLINFO SI{};
    SI.cbSize = sizeof(SI);
    SI.fMask = SIF_RANGE | SIF_POS | SIF_PAGE;
    SI.nMin = 0;
    SI.nMax = std::max(Range, 0);
    SI.nPage = 0;
    SI.nPos = std::clamp(Pos, 0, SI.nMax);
    SetScrollInfo(GetHandle(), Bar, &SI, TRUE);
  };
  // Showing or hiding a bar changes the client size, which can change the ranges again.
  for (int Pass = 0; Pass < 2; ++Pass) {
    TGridCoord Max = MaxTopLeft();
    if (FScrollBars == ssHorizontal || FScrollBars == ssBoth)
      Apply(SB_HORZ, (FOptions & goRowSelect) ? 0 : Max.X - FFixedCols, FTopLeft.X - FFixedCols);
    if (FScrollBars == ssVertical || FScrollBars == ssBoth) Apply(SB_VERT, Max.Y - FFixedRows, FTopLeft.Y - FFixedRows);
  }
  FUpdatingScrollBars = false;
  ClampTopLeft();
}

void TCustomGrid::ScrollMessage(bool Vertical, WORD Code, int Pos) {
  int First = Vertical ? FTopLeft.Y : FTopLeft.X;
  int Fixed = Vertical ? FFixedRows : FFixedCols;
  int Page = std::max(1, Vertical ? GetVisibleRowCount() : GetVisibleColCount());
  int Max = Vertical ? MaxTopLeft().Y : MaxTopLeft().X;
  int New = First;
  switch (Code) {
    case SB_LINEUP: New = First - 1; break;
    case SB_LINEDOWN: New = First + 1; break;
    case SB_PAGEUP: New = First - Page; break;
    case SB_PAGEDOWN: New = First + Page; break;
    case SB_THUMBTRACK:
      if ((FOptions & goThumbTracking) == 0) return;
      New = Fixed + Pos;
      break;
    case SB_THUMBPOSITION: New = Fixed + Pos; break;
    case SB_TOP: New = Fixed; break;
    case SB_BOTTOM: New = Max; break;
    default: return;
  }
  if (Vertical) MoveTopLeft(FTopLeft.X, New);
  else MoveTopLeft(New, FTopLeft.Y);
}

// ----- geometry -----

TRect TCustomGrid::CellRect(int ACol, int ARow) {
  TAxis H = Horz(), V = Vert();
  int X = H.Position(ACol), Y = V.Position(ARow);
  if (X < 0 || Y < 0 || H.Extent(ACol) < 0 || V.Extent(ARow) < 0) return TRect{0, 0, 0, 0};
  TRect R{X, Y, std::min(X + H.Extent(ACol), H.ClientExtent), std::min(Y + V.Extent(ARow), V.ClientExtent)};
  return R;
}

TGridCoord TCustomGrid::MouseCoord(int X, int Y) {
  TGridCoord C{Horz().CellAt(X), Vert().CellAt(Y)};
  if (C.X < 0 || C.Y < 0) return TGridCoord{-1, -1};
  return C;
}

void TCustomGrid::MouseToCell(int X, int Y, int& ACol, int& ARow) {
  TGridCoord C = MouseCoord(X, Y);
  ACol = C.X;
  ARow = C.Y;
}

void TCustomGrid::InvalidateCell(int ACol, int ARow) {
  if (!HandleAllocated()) return;
  TRect R = CellRect(ACol, ARow);
  if (IsRectEmpty(&R)) return;
  R.right += FGridLineWidth;
  R.bottom += FGridLineWidth;
  InvalidateRect(GetHandle(), &R, FALSE);
}

void TCustomGrid::InvalidateRow(int ARow) {
  if (!HandleAllocated()) return;
  TAxis V = Vert();
  int Y = V.Position(ARow);
  if (Y < 0) return;
  TRect R{0, Y, GetClientWidth(), Y + V.Step(ARow)};
  InvalidateRect(GetHandle(), &R, FALSE);
}

void TCustomGrid::InvalidateCol(int ACol) {
  if (!HandleAllocated()) return;
  TAxis H = Horz();
  int X = H.Position(ACol);
  if (X < 0) return;
  TRect R{X, 0, X + H.Step(ACol), GetClientHeight()};
  InvalidateRect(GetHandle(), &R, FALSE);
}

// ----- painting -----

void TCustomGrid::Paint() {
  TCanvas* C = GetCanvas();
  TAxis H = Horz(), V = Vert();
  TRect Client = GetClientRect();
  bool HasFocus = Focused();
  auto Cells = [](const TAxis& A) {
    std::vector<int> L;
    for (int I = 0; I < A.Fixed; ++I) L.push_back(I);
    for (int I = A.First; I < A.Count; ++I) {
      int P = A.Position(I);
      if (P < 0) break;
      L.push_back(I);
    }
    return L;
  };
  std::vector<int> Cols = Cells(H), Rows = Cells(V);
  for (int Row : Rows) {
    int Y = V.Position(Row), RH = V.Extent(Row);
    if (RH < 0) continue;
    for (int Col : Cols) {
      int X = H.Position(Col), CW = H.Extent(Col);
      if (CW < 0) continue;
      TRect Where{X, Y, X + CW, Y + RH};
      bool Fixed = Col < FFixedCols || Row < FFixedRows;
      TGridDrawState State = 0;
      if (Fixed) State |= gdFixed;
      else {
        if (InSelection(Col, Row)) State |= gdSelected;
        if (HasFocus && Col == FCurrent.X && Row == FCurrent.Y) State |= gdFocused;
      }
      C->SetFont(GetFont());
      if (Fixed) C->GetBrush()->SetColor(FFixedColor);
      else if ((State & gdSelected) &&
               ((State & gdFocused) == 0 || (FOptions & (goDrawFocusSelected | goRowSelect)) != 0)) {
        C->GetBrush()->SetColor(clHighlight);
        C->GetFont()->SetColor(clHighlightText);
      } else
        C->GetBrush()->SetColor(GetColor());
      C->GetBrush()->SetStyle(bsSolid);
      C->FillRect(Where);
      DrawCell(Col, Row, Where, State);
      if (Fixed && GetCtl3D() && FDefaultDrawing) {
        TRect E = Where;
        DrawEdge(C->GetHandle(), &E, BDR_RAISEDINNER, BF_RECT);
      }
      if (FDefaultDrawing && (State & gdFocused) && (FOptions & goRowSelect) == 0) C->DrawFocusRect(Where);
      // The lines to the right of and below the cell.
      auto Line = [&](const TRect& R, bool Wanted) {
        if (IsRectEmpty(&R)) return;
        C->GetBrush()->SetColor(Wanted ? (Fixed ? clBlack : clSilver) : (Fixed ? FFixedColor : GetColor()));
        C->FillRect(R);
      };
      Line(TRect{X + CW, Y, X + CW + H.LineWidth, Y + RH + V.LineWidth},
           (FOptions & ((Col < FFixedCols || Row < FFixedRows) ? goFixedVertLine : goVertLine)) != 0);
      Line(TRect{X, Y + RH, X + CW, Y + RH + V.LineWidth},
           (FOptions & ((Col < FFixedCols || Row < FFixedRows) ? goFixedHorzLine : goHorzLine)) != 0);
    }
  }
  // The focused row of a row-selecting grid gets one focus rectangle over its shown cells.
  if (HasFocus && FDefaultDrawing && (FOptions & goRowSelect)) {
    int Y = V.Position(FCurrent.Y);
    int X = H.Position(std::max(FFixedCols, FTopLeft.X));
    if (X >= 0 && Y >= 0) C->DrawFocusRect(TRect{X, Y, H.Boundary() - H.LineWidth, Y + V.Extent(FCurrent.Y)});
  }
  // The room after the last column and below the last row.
  C->GetBrush()->SetColor(GetColor());
  int GW = H.Boundary(), GH = V.Boundary();
  if (GW < Client.right) C->FillRect(TRect{GW, 0, Client.right, Client.bottom});
  if (GH < Client.bottom) C->FillRect(TRect{0, GH, std::min(GW, Client.right), Client.bottom});
}

// ----- moving columns and rows -----

void TCustomGrid::MoveColumn(int FromIndex, int ToIndex) {
  if (FromIndex < 0 || ToIndex < 0 || FromIndex >= FColCount || ToIndex >= FColCount) InvalidOp(SGridIndexOutOfRange);
  if (FromIndex == ToIndex) return;
  if (!FColWidths.empty()) {
    int W = FColWidths[static_cast<size_t>(FromIndex)];
    FColWidths.erase(FColWidths.begin() + FromIndex);
    FColWidths.insert(FColWidths.begin() + ToIndex, W);
  }
  FCurrent.X = MovedIndex(FCurrent.X, FromIndex, ToIndex);
  if (!(FOptions & goRowSelect)) FAnchor.X = MovedIndex(FAnchor.X, FromIndex, ToIndex);
  ColumnMoved(FromIndex, ToIndex);
  ClampTopLeft();
  UpdateScrollRange();
  Invalidate();
  UpdateEdit();
}

void TCustomGrid::MoveRow(int FromIndex, int ToIndex) {
  if (FromIndex < 0 || ToIndex < 0 || FromIndex >= FRowCount || ToIndex >= FRowCount) InvalidOp(SGridIndexOutOfRange);
  if (FromIndex == ToIndex) return;
  if (!FRowHeights.empty()) {
    int H = FRowHeights[static_cast<size_t>(FromIndex)];
    FRowHeights.erase(FRowHeights.begin() + FromIndex);
    FRowHeights.insert(FRowHeights.begin() + ToIndex, H);
  }
  FCurrent.Y = MovedIndex(FCurrent.Y, FromIndex, ToIndex);
  FAnchor.Y = MovedIndex(FAnchor.Y, FromIndex, ToIndex);
  RowMoved(FromIndex, ToIndex);
  ClampTopLeft();
  UpdateScrollRange();
  Invalidate();
  UpdateEdit();
}

void TCustomGrid::ColumnMoved(int, int) {}
void TCustomGrid::RowMoved(int, int) {}

// ----- messages, keys and mouse -----

void TCustomGrid::WndProc(TMessage& Message) {
  switch (Message.Msg) {
    case WM_GETDLGCODE:
      Message.Result = DLGC_WANTARROWS;
      if (FOptions & goTabs) Message.Result |= DLGC_WANTTAB;
      if (FOptions & goEditing) Message.Result |= DLGC_WANTCHARS;
      return;
    case WM_SETCURSOR:
      if (LOWORD(static_cast<std::uintptr_t>(Message.LParam)) == HTCLIENT && FGridState == gsNormal) {
        POINT P{};
        GetCursorPos(&P);
        TPoint CP = ScreenToClient(Point(P.x, P.y));
        bool IsCol = false;
        int Index = 0, Edge = 0;
        if (SizingHit(CP.x, CP.y, IsCol, Index, Edge)) {
          ::SetCursor(Screen->GetCursors(IsCol ? crHSplit : crVSplit));
          Message.Result = 1;
          return;
        }
      }
      break;
    case WM_CANCELMODE:
      FGridState = gsNormal;
      break;
    default:
      break;
  }
  TCustomControl::WndProc(Message);
}

void TCustomGrid::Dispatch(TMessage& Message) {
  if ((Message.Msg == WM_HSCROLL || Message.Msg == WM_VSCROLL) && Message.LParam == 0) {
    if (Message.Msg == WM_HSCROLL) WMHScroll(Message);
    else WMVScroll(Message);
    return;
  }
  TCustomControl::Dispatch(Message);
}

void TCustomGrid::WMHScroll(TMessage& Message) { ScrollBarMessage(Message); }
void TCustomGrid::WMVScroll(TMessage& Message) { ScrollBarMessage(Message); }

void TCustomGrid::ScrollBarMessage(TMessage& Message) {
  // The message carries 16 bits of the thumb's place; the bar knows all of it.
  int Pos = Message.WParamHi();
  WORD Code = Message.WParamLo();
  if ((Code == SB_THUMBTRACK || Code == SB_THUMBPOSITION) && HandleAllocated()) {
    SCROLLINFO SI{};
    SI.cbSize = sizeof(SI);
    SI.fMask = SIF_TRACKPOS;
    if (GetScrollInfo(GetHandle(), Message.Msg == WM_VSCROLL ? SB_VERT : SB_HORZ, &SI) && SI.nTrackPos > 0xFFFF &&
        (SI.nTrackPos & 0xFFFF) == Pos)
      Pos = SI.nTrackPos;
  }
  ScrollMessage(Message.Msg == WM_VSCROLL, Code, Pos);
  Message.Result = 0;
}

void TCustomGrid::KeyDown(Word& Key, TShiftState Shift) {
  TCustomControl::KeyDown(Key, Shift);
  if (Key == 0) return;
  bool Extend = (Shift & ssShift) && (FOptions & goRangeSelect) && !(FOptions & goEditing) && Key != VK_TAB;
  TGridCoord From = Extend ? FAnchor : FCurrent;
  if (Extend && (FOptions & goRowSelect)) From.X = FCurrent.X;
  TGridCoord To = From;
  bool Ctrl = (Shift & ssCtrl) != 0;
  int PageRows = std::max(1, GetVisibleRowCount());
  bool RowSelect = (FOptions & goRowSelect) != 0;
  switch (Key) {
    case VK_UP: To.Y -= 1; break;
    case VK_DOWN: To.Y += 1; break;
    case VK_LEFT:
      if (RowSelect) {
        SetLeftCol(FTopLeft.X - 1);
        return;
      }
      To.X -= 1;
      break;
    case VK_RIGHT:
      if (RowSelect) {
        SetLeftCol(FTopLeft.X + 1);
        return;
      }
      To.X += 1;
      break;
    case VK_PRIOR: To.Y -= PageRows; break;
    case VK_NEXT: To.Y += PageRows; break;
    case VK_HOME:
      if (Ctrl) To.Y = FFixedRows;
      To.X = FFixedCols;
      break;
    case VK_END:
      if (Ctrl) To.Y = FRowCount - 1;
      To.X = FColCount - 1;
      break;
    case VK_F2:
    case VK_RETURN:
      if ((FOptions & goEditing) && !FEditorMode) SetEditorMode(true);
      return;
    case VK_TAB:
      if ((FOptions & goTabs) == 0 || (Shift & ssAlt)) return;
      if (Shift & ssShift) {
        if (To.X > FFixedCols) --To.X;
        else if (To.Y > FFixedRows) {
          --To.Y;
          To.X = FColCount - 1;
        }
      } else {
        if (To.X < FColCount - 1) ++To.X;
        else if (To.Y < FRowCount - 1) {
          ++To.Y;
          To.X = FFixedCols;
        }
      }
      break;
    default: return;
  }
  To.X = std::clamp(To.X, FFixedCols, FColCount - 1);
  To.Y = std::clamp(To.Y, FFixedRows, FRowCount - 1);
  if (To == From) return;
  if (Extend) {
    FAnchor = To;
    if (RowSelect) FAnchor.X = FColCount - 1;
    ScrollIntoView(To.X, To.Y);
    Invalidate();
    Click();
  } else
    FocusCell(To.X, To.Y, true);
}

bool TCustomGrid::SizingHit(int X, int Y, bool& IsCol, int& Index, int& Edge) {
  TAxis H = Horz(), V = Vert();
  auto Find = [](const TAxis& A, int P, int& Idx, int& E) {
    for (int I = 0; I < A.Count; ++I) {
      int S = A.Position(I);
      if (S < 0) {
        if (I >= A.First) break;
        continue;
      }
      if (A.Extent(I) < 0) continue;
      int End = S + A.Extent(I);
      if (P >= End - SizingSlack && P <= End + A.LineWidth + SizingSlack) {
        Idx = I;
        E = End;
        return true;
      }
    }
    return false;
  };
  if ((FOptions & goColSizing) && Y >= 0 && Y < V.FixedBoundary() && Find(H, X, Index, Edge)) {
    IsCol = true;
    return true;
  }
  if ((FOptions & goRowSizing) && X >= 0 && X < H.FixedBoundary() && Find(V, Y, Index, Edge)) {
    IsCol = false;
    return true;
  }
  return false;
}

void TCustomGrid::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
  if (Button == mbLeft && CanFocus() && !Focused()) SetFocus();
  if (Button == mbLeft) {
    bool IsCol = false;
    int Index = 0, Edge = 0;
    if (SizingHit(X, Y, IsCol, Index, Edge)) {
      FGridState = IsCol ? gsColSizing : gsRowSizing;
      FSizingIndex = Index;
      FSizingOffset = (IsCol ? X : Y) - Edge;
    } else {
      TGridCoord Cell = MouseCoord(X, Y);
      if ((FOptions & goColMoving) && Cell.Y >= 0 && Cell.Y < FFixedRows && Cell.X >= FFixedCols) {
        FGridState = gsColMoving;
        FMoveIndex = Cell.X;
      } else if ((FOptions & goRowMoving) && Cell.X >= 0 && Cell.X < FFixedCols && Cell.Y >= FFixedRows) {
        FGridState = gsRowMoving;
        FMoveIndex = Cell.Y;
      } else if (Cell.X >= FFixedCols && Cell.Y >= FFixedRows) {
        FGridState = gsSelecting;
        if ((Shift & ssShift) && (FOptions & goRangeSelect) && !(FOptions & goEditing)) {
          FAnchor = Cell;
          if (FOptions & goRowSelect) FAnchor.X = FColCount - 1;
          Invalidate();
          Click();
        } else
          FocusCell(Cell.X, Cell.Y, true);
      }
    }
  }
  TCustomControl::MouseDown(Button, Shift, X, Y);
}

void TCustomGrid::MouseMove(TShiftState Shift, int X, int Y) {
  switch (FGridState) {
    case gsColSizing: {
      int Start = Horz().Position(FSizingIndex);
      if (Start >= 0) SetColWidths(FSizingIndex, std::max(0, X - FSizingOffset - Start));
      break;
    }
    case gsRowSizing: {
      int Start = Vert().Position(FSizingIndex);
      if (Start >= 0) SetRowHeights(FSizingIndex, std::max(0, Y - FSizingOffset - Start));
      break;
    }
    case gsSelecting:
      if ((FOptions & goRangeSelect) && !(FOptions & goEditing)) {
        TGridCoord Cell = MouseCoord(X, Y);
        if (Cell.X >= FFixedCols && Cell.Y >= FFixedRows) {
          TGridCoord NewAnchor = Cell;
          if (FOptions & goRowSelect) NewAnchor.X = FColCount - 1;
          if (!(NewAnchor == FAnchor)) {
            FAnchor = NewAnchor;
            ScrollIntoView(Cell.X, Cell.Y);
            Invalidate();
          }
        }
      }
      break;
    default: break;
  }
  TCustomControl::MouseMove(Shift, X, Y);
}

void TCustomGrid::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) {
  if (FGridState == gsColMoving || FGridState == gsRowMoving) {
    bool Cols = FGridState == gsColMoving;
    FGridState = gsNormal;
    TAxis A = Cols ? Horz() : Vert();
    int To = A.CellAt(Cols ? X : Y);
    if ((Cols ? X : Y) >= A.Boundary()) To = A.Count - 1;  // dropped past the last one
    if (To >= A.Fixed && To != FMoveIndex) {
      if (Cols) MoveColumn(FMoveIndex, To);
      else MoveRow(FMoveIndex, To);
    }
  }
  FMoveIndex = -1;
  FGridState = gsNormal;
  FSizingIndex = -1;
  TCustomControl::MouseUp(Button, Shift, X, Y);
}

bool TCustomGrid::DoMouseWheel(TShiftState Shift, int WheelDelta, TPoint MousePos) {
  if (TCustomControl::DoMouseWheel(Shift, WheelDelta, MousePos)) return true;
  if (WheelDelta < 0 && FCurrent.Y < FRowCount - 1) FocusCell(FCurrent.X, FCurrent.Y + 1, true);
  else if (WheelDelta > 0 && FCurrent.Y > FFixedRows) FocusCell(FCurrent.X, FCurrent.Y - 1, true);
  return true;
}

void TCustomGrid::Resize() {
  TCustomControl::Resize();
  ClampTopLeft();
  UpdateScrollRange();
}

// ----- in-place editor -----

TInplaceEdit* TCustomGrid::CreateEditor() { return new TInplaceEdit(this); }

TEditStyle TCustomGrid::GetEditStyle(int, int) { return esSimple; }

bool TCustomGrid::CanEditShow() {
  return (FOptions & (goEditing | goRowSelect)) == goEditing && HandleAllocated() &&
         (FEditorMode || (FOptions & goAlwaysShowEditor));
}

String TCustomGrid::GetEditText(int, int) { return String(); }
void TCustomGrid::SetEditText(int, int, const String&) {}

void TCustomGrid::SetEditorMode(bool Value) {
  if (Value) {
    FEditorMode = true;
    ShowEditor();
    if (!FInplaceEdit || !FInplaceEdit->GetVisible()) FEditorMode = false;
  } else
    HideEditor();
}

void TCustomGrid::ShowEditor() {
  FEditorMode = true;
  if (!CanEditShow()) return;
  if (!FInplaceEdit) {
    FInplaceEdit = CreateEditor();
    FInplaceEdit->FGrid = this;
    FInplaceEdit->SetParent(this);
  }
  UpdateEdit();
  if (Focused() && FInplaceEdit->GetVisible()) {
    FInplaceEdit->SetFocus();
    FInplaceEdit->SelectAll();
  }
}

void TCustomGrid::HideEditor() {
  FEditorMode = false;
  if (!FInplaceEdit || !FInplaceEdit->GetVisible()) return;
  bool HadFocus = FInplaceEdit->Focused();
  FInplaceEdit->Hide();
  if (HadFocus && CanFocus()) SetFocus();
}

void TCustomGrid::UpdateEdit() {
  if (!FInplaceEdit || !CanEditShow()) {
    if ((FOptions & goAlwaysShowEditor) && CanEditShow()) ShowEditor();
    return;
  }
  FInplaceEdit->UpdateContents();
  FInplaceEdit->Move(CellRect(FCurrent.X, FCurrent.Y));
}

void TCustomGrid::KeyPress(char& Key) {
  TCustomControl::KeyPress(Key);
  if (!(FOptions & goEditing) || static_cast<unsigned char>(Key) < 32) return;
  if (FEditorMode && FInplaceEdit && FInplaceEdit->GetVisible()) {
    // Characters typed before the focus reached the editor belong to it too.
    SendMessageA(FInplaceEdit->GetHandle(), WM_CHAR, static_cast<unsigned char>(Key), 0);
    Key = 0;
    return;
  }
  // Typing over a cell starts editing it with the typed character.
  SetEditorMode(true);
  if (!FEditorMode) return;
  FInplaceEdit->SetText(String(1, Key));
  FInplaceEdit->SetSelStart(1);
  Key = 0;
}

TInplaceEdit::TInplaceEdit(TComponent* AOwner) : TCustomMaskEdit(AOwner) {
  SetParentCtl3D(false);
  SetCtl3D(false);
  SetTabStop(false);
  SetBorderStyle(bsNone);
  FVisible = false;
}

void TInplaceEdit::CreateParams(TCreateParams& Params) {
  TCustomMaskEdit::CreateParams(Params);
  Params.Style |= ES_AUTOHSCROLL;
}

void TInplaceEdit::WndProc(TMessage& Message) {
  if (Message.Msg == WM_GETDLGCODE) {
    Message.Result = DLGC_WANTARROWS | DLGC_WANTCHARS | DLGC_WANTALLKEYS;
    if (FGrid && (FGrid->GetOptions() & goTabs)) Message.Result |= DLGC_WANTTAB;
    return;
  }
  TCustomMaskEdit::WndProc(Message);
}

void TInplaceEdit::KeyDown(Word& Key, TShiftState Shift) {
  if (FGrid) {
    switch (Key) {
      case VK_UP:
      case VK_DOWN:
      case VK_PRIOR:
      case VK_NEXT:
        FGrid->KeyDown(Key, Shift);
        Key = 0;
        return;
      case VK_TAB:
        if (FGrid->GetOptions() & goTabs) {
          FGrid->KeyDown(Key, Shift);
          Key = 0;
          return;
        }
        break;
      case VK_ESCAPE:
        if (GetText() != FOriginal) SetText(FOriginal);
        FGrid->HideEditor();
        Key = 0;
        return;
      case VK_RETURN:
        FGrid->HideEditor();
        Key = 0;
        return;
      default:
        break;
    }
  }
  TCustomMaskEdit::KeyDown(Key, Shift);
}

void TInplaceEdit::KeyPress(char& Key) {
  if (Key == '\r' || Key == 27) {
    Key = 0;
    return;
  }
  TCustomMaskEdit::KeyPress(Key);
}

void TInplaceEdit::Change() {
  TCustomMaskEdit::Change();
  if (FGrid && !FUpdating) FGrid->SetEditText(FGrid->GetCol(), FGrid->GetRow(), GetText());
}

void TInplaceEdit::UpdateContents() {
  if (!FGrid) return;
  String Text = FGrid->GetEditText(FGrid->GetCol(), FGrid->GetRow());
  FUpdating = true;
  try {
    SetText(Text);
  } catch (...) {
    FUpdating = false;
    throw;
  }
  FUpdating = false;
  FOriginal = GetText();
}

void TInplaceEdit::Move(const TRect& Loc) {
  if (IsRectEmpty(&Loc)) {
    Hide();
    return;
  }
  SetBounds(Loc.left, Loc.top, Loc.right - Loc.left, Loc.bottom - Loc.top);
  Show();
  BoundsChanged();
}

void TInplaceEdit::Hide() { SetVisible(false); }

bool TInplaceEdit::PosEqual(const TRect& Rect) const {
  return GetBoundsRect() == Rect;
}

// ----- TDrawGrid -----

void TDrawGrid::DrawCell(int ACol, int ARow, const TRect& ARect, TGridDrawState AState) {
  if (OnDrawCell) OnDrawCell(this, ACol, ARow, ARect, AState);
}

String TDrawGrid::GetEditText(int ACol, int ARow) {
  String Value;
  if (OnGetEditText) OnGetEditText(this, ACol, ARow, Value);
  return Value;
}

void TDrawGrid::SetEditText(int ACol, int ARow, const String& Value) {
  if (OnSetEditText) OnSetEditText(this, ACol, ARow, Value);
}

void TDrawGrid::ColumnMoved(int FromIndex, int ToIndex) {
  if (OnColumnMoved) OnColumnMoved(this, FromIndex, ToIndex);
}

void TDrawGrid::RowMoved(int FromIndex, int ToIndex) {
  if (OnRowMoved) OnRowMoved(this, FromIndex, ToIndex);
}

bool TDrawGrid::SelectCell(int ACol, int ARow) {
  bool CanSelect = true;
  if (OnSelectCell) OnSelectCell(this, ACol, ARow, CanSelect);
  return CanSelect;
}

// ----- TStringGridStrings -----

TStringGridStrings::TStringGridStrings(TStringGrid* AGrid, bool AIsCol, int AIndex)
    : FGrid(AGrid), FIsCol(AIsCol), FIndex(AIndex) {}

int TStringGridStrings::GetCount() const { return FIsCol ? FGrid->GetRowCount() : FGrid->GetColCount(); }

String TStringGridStrings::Get(int Index) const {
  return FIsCol ? FGrid->GetCells(FIndex, Index) : FGrid->GetCells(Index, FIndex);
}

void TStringGridStrings::Put(int Index, const String& S) {
  if (FIsCol) FGrid->SetCells(FIndex, Index, S);
  else FGrid->SetCells(Index, FIndex, S);
}

TObject* TStringGridStrings::GetObject(int Index) const {
  return FIsCol ? FGrid->GetObjects(FIndex, Index) : FGrid->GetObjects(Index, FIndex);
}

void TStringGridStrings::PutObject(int Index, TObject* AObject) {
  if (FIsCol) FGrid->SetObjects(FIndex, Index, AObject);
  else FGrid->SetObjects(Index, FIndex, AObject);
}

void TStringGridStrings::Assign(TPersistent* Source) {
  auto* S = dynamic_cast<TStrings*>(Source);
  if (!S) {
    TStrings::Assign(Source);
    return;
  }
  int N = std::min(S->GetCount(), GetCount());
  for (int I = 0; I < N; ++I) {
    Put(I, S->Get(I));
    PutObject(I, S->GetObject(I));
  }
}

int TStringGridStrings::Add(const String& S) {
  for (int I = 0, N = GetCount(); I < N; ++I)
    if (Get(I).empty()) {
      Put(I, S);
      return I;
    }
  return -1;
}

void TStringGridStrings::Clear() {
  for (int I = 0, N = GetCount(); I < N; ++I) {
    Put(I, "");
    PutObject(I, nullptr);
  }
}

void TStringGridStrings::Delete(int) { InvalidOp(SInsertDeleteGrid); }
void TStringGridStrings::Insert(int, const String&) { InvalidOp(SInsertDeleteGrid); }

// ----- TStringGrid -----

TStringGrid::TStringGrid(TComponent* AOwner)
    : TDrawGrid(AOwner), FData(std::make_unique<TSparseList>(GetRowCount() > 256 ? SPALarge : SPASmall)) {}

TStringGrid::~TStringGrid() {
  FData->ForAll([](int, void* Row) {
    delete static_cast<TStringSparseList*>(Row);
    return 0;
  });
}

TStringSparseList* TStringGrid::FindRow(int ARow) const { return static_cast<TStringSparseList*>(FData->Get(ARow)); }

TStringSparseList* TStringGrid::EnsureRow(int ARow) {
  TStringSparseList* R = FindRow(ARow);
  if (!R) {
    auto Made = std::make_unique<TStringSparseList>(GetColCount() > 512 ? SPALarge : SPASmall);
    FData->Put(ARow, Made.get());
    R = Made.release();
  }
  return R;
}

String TStringGrid::GetCells(int ACol, int ARow) const {
  TStringSparseList* R = FindRow(ARow);
  return R ? R->Get(ACol) : String();
}

void TStringGrid::CellChanged(int ACol, int ARow) {
  InvalidateCell(ACol, ARow);
  // A program's write to the cell being edited shows in the editor.
  if (!FEditUpdate && GetEditorMode() && ACol == GetCol() && ARow == GetRow()) UpdateEdit();
}

void TStringGrid::SetCells(int ACol, int ARow, const String& Value) {
  EnsureRow(ARow)->Put(ACol, Value);
  CellChanged(ACol, ARow);
}

void TStringGrid::ColumnMoved(int FromIndex, int ToIndex) {
  FData->ForAll([&](int, void* Row) {
    static_cast<TStringSparseList*>(Row)->Move(FromIndex, ToIndex);
    return 0;
  });
  TDrawGrid::ColumnMoved(FromIndex, ToIndex);
}

void TStringGrid::RowMoved(int FromIndex, int ToIndex) {
  FData->Move(FromIndex, ToIndex);
  TDrawGrid::RowMoved(FromIndex, ToIndex);
}

String TStringGrid::GetEditText(int ACol, int ARow) {
  String Value = GetCells(ACol, ARow);
  if (OnGetEditText) OnGetEditText(this, ACol, ARow, Value);
  return Value;
}

void TStringGrid::SetEditText(int ACol, int ARow, const String& Value) {
  FEditUpdate = true;
  try {
    SetCells(ACol, ARow, Value);
  } catch (...) {
    FEditUpdate = false;
    throw;
  }
  FEditUpdate = false;
  TDrawGrid::SetEditText(ACol, ARow, Value);
}

TObject* TStringGrid::GetObjects(int ACol, int ARow) const {
  TStringSparseList* R = FindRow(ARow);
  return R ? R->GetObject(ACol) : nullptr;
}

void TStringGrid::SetObjects(int ACol, int ARow, TObject* Value) {
  EnsureRow(ARow)->PutObject(ACol, Value);
  CellChanged(ACol, ARow);
}

TStrings* TStringGrid::GetCols(int Index) {
  if (Index < 0 || Index >= GetColCount()) InvalidOp(SGridIndexOutOfRange);
  auto& V = FColViews[Index];
  if (!V) V = std::make_unique<TStringGridStrings>(this, true, Index);
  return V.get();
}

TStrings* TStringGrid::GetRows(int Index) {
  if (Index < 0 || Index >= GetRowCount()) InvalidOp(SGridIndexOutOfRange);
  auto& V = FRowViews[Index];
  if (!V) V = std::make_unique<TStringGridStrings>(this, false, Index);
  return V.get();
}

void TStringGrid::DrawCell(int ACol, int ARow, const TRect& ARect, TGridDrawState AState) {
  if (GetDefaultDrawing()) {
    TCanvas* C = GetCanvas();
    C->GetBrush()->SetStyle(bsClear);
    C->TextRect(ARect, ARect.left + 2, ARect.top + 2, GetCells(ACol, ARow));
    C->GetBrush()->SetStyle(bsSolid);
  }
  TDrawGrid::DrawCell(ACol, ARow, ARect, AState);
}
