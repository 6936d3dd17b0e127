#include "extctrls/XcStringGrid.h"

#include "extctrls/XcComponentUtils.h"
#include "extctrls/XcDrawUtils.h"
#include "platform/vcl/StdCtrlsConsts.h"

// ---------------------------------------------------------------------------------------------
// TExInplaceEditList

TExInplaceEditList::TExInplaceEditList(TComponent* AOwner) : TXcExPubInplaceEditList(AOwner) {}

TXcStringGrid* TExInplaceEditList::XcGrid() const { return dynamic_cast<TXcStringGrid*>(GetGrid()); }

void TExInplaceEditList::CreateParams(TCreateParams& Params)
{
  TXcExPubInplaceEditList::CreateParams(Params);
  if (TXcStringGrid* Grid = XcGrid()) {
    switch (Grid->GetAlignment()) {
      case taLeftJustify: Params.Style |= ES_LEFT; break;
      case taRightJustify: Params.Style |= ES_RIGHT; break;
      case taCenter: Params.Style |= ES_CENTER; break;
    }
  }
}

void TExInplaceEditList::UpdateContents()
{
  TXcExPubInplaceEditList::UpdateContents();
  if (GetEditStyle() != esPickList) return;
  SetActiveList(GetPickList());
  if (TXcStringGrid* Grid = XcGrid()) GetPickList()->GetItems()->Assign(Grid->GetPickListStrings());
}

void TExInplaceEditList::DoEditButtonClick()
{
  if (TXcStringGrid* Grid = XcGrid()) Grid->EditButtonClick();
}

void TExInplaceEditList::CloseUp(bool Accept)
{
  TXcExPubInplaceEditList::CloseUp(Accept);
  if (TXcStringGrid* Grid = XcGrid()) Grid->ListBoxCloseUp();
}

void TExInplaceEditList::HookSetFocus(HWND FocusedWnd)
{
  if (TCustomGrid* Grid = GetGrid()) {
    FFocusCol = Grid->GetCol();
    FFocusRow = Grid->GetRow();
  }
  TXcExPubInplaceEditList::HookSetFocus(FocusedWnd);
}

void TExInplaceEditList::HookKillFocus(HWND FocusedWnd)
{
  if (TXcStringGrid* Grid = XcGrid()) Grid->ExitCell(GetText(), FFocusCol, FFocusRow);
  TXcExPubInplaceEditList::HookKillFocus(FocusedWnd);
}

// ---------------------------------------------------------------------------------------------
// TXcStringGrid

TXcStringGrid::TXcStringGrid(TComponent* AOwner)
    : TXcExStringGrid(AOwner), FPickListStrings(std::make_unique<TStringList>()), FFixedFont(std::make_unique<TFont>())
{
  FFixedFont->Assign(GetFont());
  FFixedFont->OnChange = [this](TObject* Sender) { FixedFontChanged(Sender); };
}

TXcStringGrid::~TXcStringGrid() = default;

void TXcStringGrid::FixedFontChanged(TObject*) { Invalidate(); }

void TXcStringGrid::SetAlignment(TAlignment Value)
{
  if (Value == FAlignment) return;
  FAlignment = Value;
  Invalidate();
  if (TInplaceEdit* Editor = GetInplaceEditor(); Editor && Editor->HandleAllocated()) Editor->RecreateWnd();
}

void TXcStringGrid::ExitCell(const String& EditText, int AColumn, int ARow)
{
  if (OnExitCell) OnExitCell(this, AColumn, ARow, EditText);
}

void TXcStringGrid::SetCanvasProperties(int AColumn, int ARow, TRect Rect, TGridDrawState State)
{
  if (OnSetCanvasProperties) OnSetCanvasProperties(this, AColumn, ARow, Rect, State);
}

TAlignment TXcStringGrid::GetCellAlignment(int AColumn, int ARow, TGridDrawState State)
{
  TAlignment Result = FAlignment;
  if (OnGetCellAlignment) OnGetCellAlignment(this, AColumn, ARow, State, Result);
  return Result;
}

void TXcStringGrid::DefaultDrawCell(int AColumn, int ARow, TRect Rect, TGridDrawState State)
{
  TCanvas* Canvas = GetCanvas();
  if (GetRowHeights(ARow) < CanvasFontHeight(Canvas)) return;
  Canvas->FillRect(Rect);
  const String Text = GetCells(AColumn, ARow);
  if (Text.empty()) return;
  InflateRect(&Rect, -2, -2);
  UINT Format = DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX;
  switch (GetCellAlignment(AColumn, ARow, State)) {
    case taLeftJustify: Format |= DT_LEFT; break;
    case taRightJustify: Format |= DT_RIGHT; break;
    case taCenter: Format |= DT_CENTER; break;
  }
  DrawTextOnCanvas(Canvas, Text, static_cast<int>(Text.size()), Format, Rect);
}

void TXcStringGrid::DrawCell(int ACol, int ARow, const TRect& ARect, TGridDrawState AState)
{
  TCanvas* Canvas = GetCanvas();
  if (ACol < GetFixedCols() || ARow < GetFixedRows()) Canvas->SetFont(FFixedFont.get());
  if (OnDrawCell) {
    TXcExStringGrid::DrawCell(ACol, ARow, ARect, AState);
    return;
  }
  SetCanvasProperties(ACol, ARow, ARect, AState);
  DefaultDrawCell(ACol, ARow, ARect, AState);
  Canvas->SetFont(GetFont());
  Canvas->SetBrush(GetBrush());
}

void TXcStringGrid::EditButtonClick()
{
  if (OnEditButtonClick) OnEditButtonClick(this);
}

void TXcStringGrid::ListBoxCloseUp()
{
  if (OnListBoxCloseUp) OnListBoxCloseUp(this);
}

void TXcStringGrid::CaptionClick(int AColumn, int ARow)
{
  if (OnCaptionClick) OnCaptionClick(this, AColumn, ARow);
}

TEditStyle TXcStringGrid::GetEditStyle(int ACol, int ARow)
{
  FEditStyle = esSimple;
  if (OnGetEditStyle) {
    FPickListStrings->Clear();
    OnGetEditStyle(this, ACol, ARow, FPickListStrings.get(), FEditStyle);
  }
  return FEditStyle;
}

TInplaceEdit* TXcStringGrid::CreateEditor() { return new TExInplaceEditList(this); }

bool TXcStringGrid::CanEditShow()
{
  bool Result = TXcExStringGrid::CanEditShow();
  if (Result && OnShowEditor) {
    OnShowEditor(this, GetCol(), GetRow(), Result);
    if (!Result) HideEditor();
  }
  return Result;
}

void TXcStringGrid::ColWidthsChanged()
{
  TXcExStringGrid::ColWidthsChanged();
  if (OnColWidthsChanged) OnColWidthsChanged(this);
}

void TXcStringGrid::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y)
{
  TXcExStringGrid::MouseDown(Button, Shift, X, Y);
  if (Button == mbLeft)
    MouseToCell(X, Y, FPressedCell.X, FPressedCell.Y);
  else
    FPressedCell = TGridCoord{-1, -1};
}

void TXcStringGrid::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y)
{
  if (Button == mbLeft) {
    TGridCoord Cell{-1, -1};
    MouseToCell(X, Y, Cell.X, Cell.Y);
    // A press and release outside every cell is no click on a caption.
    if (Cell.X >= 0 && Cell.Y >= 0 && MemEqual(&Cell, &FPressedCell, sizeof(Cell)) &&
        (Cell.X < GetFixedCols() || Cell.Y < GetFixedRows()))
      CaptionClick(Cell.X, Cell.Y);
  }
  FPressedCell = TGridCoord{-1, -1};
  TXcExStringGrid::MouseUp(Button, Shift, X, Y);
}

void TXcStringGrid::WMHScroll(TMessage& Message)
{
  TXcExStringGrid::WMHScroll(Message);
  if (OnHorizontalScroll) OnHorizontalScroll(this);
}

void TXcStringGrid::WMVScroll(TMessage& Message)
{
  TXcExStringGrid::WMVScroll(Message);
  if (OnVerticalScroll) OnVerticalScroll(this);
}

void TXcStringGrid::WMCommand(TMessage& Message)
{
  TInplaceEdit* Editor = GetInplaceEditor();
  auto From = reinterpret_cast<HWND>(Message.LParam);
  if (GetEditorMode() && Editor && Editor->HandleAllocated() && From == Editor->GetHandle()) {
    TXcExStringGrid::WMCommand(Message);
    return;
  }
  if (From && IsWindow(From)) Message.Result = SendMessageA(From, CN_COMMAND, Message.WParam, Message.LParam);
}

void TXcStringGrid::EditCell(TMessage& Message)
{
  SetCol(static_cast<int>(Message.WParam));
  SetRow(static_cast<int>(Message.LParam));
  SetEditorMode(true);
  if (auto* Editor = dynamic_cast<TCustomEdit*>(GetInplaceEditor())) Editor->SelectAll();
}

void TXcStringGrid::Dispatch(TMessage& Message)
{
  if (Message.Msg == XcEditCellMessage) {
    EditCell(Message);
    return;
  }
  TXcExStringGrid::Dispatch(Message);
}
