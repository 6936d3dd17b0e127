// The skinned draw grid (the core's hooks as events) and the skinned string grid (a text and
// an object per cell in sparse lists, row and column views, the text painting).
#include <algorithm>

#include "skin/shell/SkinGridEditors.h"
#include "skin/shell/SkinGrids.h"

namespace {

const char* const SInsertDeleteGrid = "Cannot insert or delete rows from grid";

}  // namespace

// ----- TskSkinDrawGrid -----

void TskSkinDrawGrid::DrawCell(int ACol, int ARow, const TRect& ARect, TGridDrawState AState) {
  if (OnDrawCell) OnDrawCell(this, ACol, ARow, ARect, AState);
}

bool TskSkinDrawGrid::SelectCell(int ACol, int ARow) {
  bool CanSelect = true;
  if (OnSelectCell) OnSelectCell(this, ACol, ARow, CanSelect);
  return CanSelect;
}

String TskSkinDrawGrid::GetEditText(int ACol, int ARow) {
  String Value;
  if (OnGetEditText) OnGetEditText(this, ACol, ARow, Value);
  return Value;
}

String TskSkinDrawGrid::GetEditMask(int ACol, int ARow) {
  String Value;
  if (OnGetEditMask) OnGetEditMask(this, ACol, ARow, Value);
  return Value;
}

void TskSkinDrawGrid::SetEditText(int ACol, int ARow, const String& Value) {
  if (OnSetEditText) OnSetEditText(this, ACol, ARow, Value);
}

void TskSkinDrawGrid::ColumnMoved(int FromIndex, int ToIndex) {
  if (OnColumnMoved) OnColumnMoved(this, FromIndex, ToIndex);
}

void TskSkinDrawGrid::RowMoved(int FromIndex, int ToIndex) {
  if (OnRowMoved) OnRowMoved(this, FromIndex, ToIndex);
}

void TskSkinDrawGrid::TopLeftChanged() {
  TskSkinCustomGrid::TopLeftChanged();
  if (OnTopLeftChanged) OnTopLeftChanged(this);
}

// ----- TskSkinStringGridStrings -----

TskSkinStringGridStrings::TskSkinStringGridStrings(TskSkinStringGrid* AGrid, int AIndex)
    : FGrid(AGrid), FIndex(AIndex) {}

int TskSkinStringGridStrings::GetCount() const {
  if (FIndex == 0) return 0;
  return FIndex > 0 ? FGrid->GetColCount() : FGrid->GetRowCount();
}

String TskSkinStringGridStrings::Get(int Index) const {
  if (FIndex == 0) return String();
  return FIndex > 0 ? FGrid->GetCells(Index, FIndex - 1) : FGrid->GetCells(-FIndex - 1, Index);
}

void TskSkinStringGridStrings::Put(int Index, const String& S) {
  if (FIndex == 0) return;
  if (FIndex > 0) FGrid->SetCells(Index, FIndex - 1, S);
  else FGrid->SetCells(-FIndex - 1, Index, S);
}

TObject* TskSkinStringGridStrings::GetObject(int Index) const {
  if (FIndex == 0) return nullptr;
  return FIndex > 0 ? FGrid->GetObjects(Index, FIndex - 1) : FGrid->GetObjects(-FIndex - 1, Index);
}

void TskSkinStringGridStrings::PutObject(int Index, TObject* AObject) {
  if (FIndex == 0) return;
  if (FIndex > 0) FGrid->SetObjects(Index, FIndex - 1, AObject);
  else FGrid->SetObjects(-FIndex - 1, Index, AObject);
}

void TskSkinStringGridStrings::Assign(TPersistent* Source) {
  auto* S = dynamic_cast<TStrings*>(Source);
  if (!S) {
    TStrings::Assign(Source);
    return;
  }
  TStringsUpdate Update(this);
  const int N = std::min(S->GetCount(), GetCount());
  for (int I = 0; I < N; ++I) {
    Put(I, S->Get(I));
    PutObject(I, S->GetObject(I));
  }
}

int TskSkinStringGridStrings::Add(const String& S) {
  for (int I = 0, N = GetCount(); I < N; ++I)
    if (Get(I).empty()) {
      Put(I, S);
      return I;
    }
  return -1;
}

void TskSkinStringGridStrings::Clear() {
  if (FIndex > 0) {
    const int Row = FIndex - 1;
    auto* L = static_cast<TStringSparseList*>(FGrid->FData->Get(Row));
    if (!L) return;
    // The stored items first, so that emptying them does not disturb the walk.
    std::vector<int> Stored;
    L->GetList()->ForAll([&](int Index, void*) {
      Stored.push_back(Index);
      return 0;
    });
    for (int Col : Stored) {
      FGrid->SetObjects(Col, Row, nullptr);
      FGrid->SetCells(Col, Row, "");
    }
  } else if (FIndex < 0) {
    const int Col = -FIndex - 1;
    for (int I = GetCount() - 1; I >= 0; --I) {
      FGrid->SetObjects(Col, I, nullptr);
      FGrid->SetCells(Col, I, "");
    }
  }
}

void TskSkinStringGridStrings::Delete(int) { throw EInvalidGridOperation(SInsertDeleteGrid); }
void TskSkinStringGridStrings::Insert(int, const String&) { throw EInvalidGridOperation(SInsertDeleteGrid); }

void TskSkinStringGridStrings::SetUpdateState(bool Updating) { FGrid->SetUpdateState(Updating); }

// ----- TskSkinStringGrid -----

TskSkinStringGrid::TskSkinStringGrid(TComponent* AOwner)
    : TskSkinDrawGrid(AOwner),
      FData(new TSparseList(GetRowCount() > 256 ? SPALarge : SPASmall)),
      FRows(new TSparseList(GetRowCount() > 256 ? SPALarge : SPASmall)),
      FCols(new TSparseList(GetColCount() > 512 ? SPALarge : SPASmall)) {}

TskSkinStringGrid::~TskSkinStringGrid() {
  auto FreeViews = [](int, void* P) {
    delete static_cast<TskSkinStringGridStrings*>(P);
    return 0;
  };
  FRows->ForAll(FreeViews);
  FCols->ForAll(FreeViews);
  FData->ForAll([](int, void* P) {
    delete static_cast<TStringSparseList*>(P);
    return 0;
  });
  delete FRows;
  delete FCols;
  delete FData;
  FRows = FCols = FData = nullptr;
}

TStringSparseList* TskSkinStringGrid::EnsureDataRow(int ARow) {
  auto* L = static_cast<TStringSparseList*>(FData->Get(ARow));
  if (!L) {
    L = new TStringSparseList(GetColCount() > 512 ? SPALarge : SPASmall);
    try {
      FData->Put(ARow, L);
    } catch (...) {
      delete L;
      throw;
    }
  }
  return L;
}

void TskSkinStringGrid::EnsureColRow(int ACol, int ARow) {
  if (!FCols->Get(ACol)) {
    auto* V = new TskSkinStringGridStrings(this, -ACol - 1);
    try {
      FCols->Put(ACol, V);
    } catch (...) {
      delete V;
      throw;
    }
  }
  if (!FRows->Get(ARow)) {
    auto* V = new TskSkinStringGridStrings(this, ARow + 1);
    try {
      FRows->Put(ARow, V);
    } catch (...) {
      delete V;
      throw;
    }
  }
}

void TskSkinStringGrid::CellUpdated(int ACol, int ARow) {
  if (FUpdating) FNeedsRepaint = true;
  else InvalidateCell(ACol, ARow);
  if (ACol == GetCol() && ARow == GetRow() && FEditUpdate == 0) InvalidateEditor();
}

void TskSkinStringGrid::SetUpdateState(bool Value) {
  FUpdating = Value;
  if (!Value && FNeedsRepaint) {
    InvalidateGrid();
    FNeedsRepaint = false;
  }
}

String TskSkinStringGrid::GetCells(int ACol, int ARow) const {
  auto* L = static_cast<TStringSparseList*>(FData->Get(ARow));
  return L ? L->Get(ACol) : String();
}

void TskSkinStringGrid::SetCells(int ACol, int ARow, const String& Value) {
  EnsureDataRow(ARow)->Put(ACol, Value);
  EnsureColRow(ACol, ARow);
  CellUpdated(ACol, ARow);
}

TObject* TskSkinStringGrid::GetObjects(int ACol, int ARow) const {
  auto* L = static_cast<TStringSparseList*>(FData->Get(ARow));
  return L ? L->GetObject(ACol) : nullptr;
}

void TskSkinStringGrid::SetObjects(int ACol, int ARow, TObject* Value) {
  EnsureDataRow(ARow)->PutObject(ACol, Value);
  EnsureColRow(ACol, ARow);
  CellUpdated(ACol, ARow);
}

TStrings* TskSkinStringGrid::GetRows(int ARow) {
  auto* V = static_cast<TskSkinStringGridStrings*>(FRows->Get(ARow));
  if (!V) {
    V = new TskSkinStringGridStrings(this, ARow + 1);
    try {
      FRows->Put(ARow, V);
    } catch (...) {
      delete V;
      throw;
    }
  }
  return V;
}

TStrings* TskSkinStringGrid::GetCols(int ACol) {
  auto* V = static_cast<TskSkinStringGridStrings*>(FCols->Get(ACol));
  if (!V) {
    V = new TskSkinStringGridStrings(this, -ACol - 1);
    try {
      FCols->Put(ACol, V);
    } catch (...) {
      delete V;
      throw;
    }
  }
  return V;
}

void TskSkinStringGrid::ColumnMoved(int FromIndex, int ToIndex) {
  FData->ForAll([&](int, void* P) {
    static_cast<TStringSparseList*>(P)->Move(FromIndex, ToIndex);
    return 0;
  });
  InvalidateGrid();
  TskSkinDrawGrid::ColumnMoved(FromIndex, ToIndex);
}

void TskSkinStringGrid::RowMoved(int FromIndex, int ToIndex) {
  FData->Move(FromIndex, ToIndex);
  InvalidateGrid();
  TskSkinDrawGrid::RowMoved(FromIndex, ToIndex);
}

String TskSkinStringGrid::GetEditText(int ACol, int ARow) {
  String Value = GetCells(ACol, ARow);
  if (OnGetEditText) OnGetEditText(this, ACol, ARow, Value);
  return Value;
}

void TskSkinStringGrid::SetEditText(int ACol, int ARow, const String& Value) {
  ++FEditUpdate;
  try {
    if (Value != GetCells(ACol, ARow)) SetCells(ACol, ARow, Value);
  } catch (...) {
    --FEditUpdate;
    throw;
  }
  --FEditUpdate;
  TskSkinDrawGrid::SetEditText(ACol, ARow, Value);
}

void TskSkinStringGrid::DrawCell(int ACol, int ARow, const TRect& ARect, TGridDrawState AState) {
  if (GetDefaultDrawing()) {
    TCanvas* C = GetCanvas();
    if (OnGetCellParam) {
      TColor FontColor = C->GetFont()->GetColor();
      TColor BGColor = C->GetBrush()->GetColor();
      bool FillBG = false;
      OnGetCellParam(this, ACol, ARow, AState, BGColor, FillBG, FontColor);
      C->GetFont()->SetColor(FontColor);
      if (FillBG) {
        C->GetBrush()->SetColor(BGColor);
        C->FillRect(ARect);
      }
    }
    const TRect R = GetTextRect(ARect, AState);
    const String Text = GetCells(ACol, ARow);
    C->GetBrush()->SetStyle(bsClear);
    const int TH = C->TextHeight(Text);
    const int Y = R.top + (R.bottom - R.top) / 2 - TH / 2;
    C->TextRect(R, R.left + 2, Y, Text);
    C->GetBrush()->SetStyle(bsSolid);
  }
  TskSkinDrawGrid::DrawCell(ACol, ARow, ARect, AState);
}
