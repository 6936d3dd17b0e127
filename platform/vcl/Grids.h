// The class library's grids: TCustomGrid lays out a table of cells in columns and rows with
// fixed (title) rows and columns, per-column widths and per-row heights, a current cell with a
// selection anchored to it, scrolling through the window's scroll bars, keyboard and mouse
// navigation, sizing and moving of columns and rows with the mouse, and an in-place editor.
// TDrawGrid hands the painting of each cell to OnDrawCell; TStringGrid keeps a text and an
// object per cell and writes the text.
#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <vector>

#include "platform/vcl/Controls.h"
#include "platform/vcl/EditCtrls.h"
#include "platform/vcl/SparseLists.h"

QV_DECLARE_EXCEPTION(EInvalidGridOperation, Exception);

// A cell address: column and row, from 0.
struct TGridCoord {
  int X = 0;
  int Y = 0;
  bool operator==(const TGridCoord&) const = default;
};

// A block of cells, inclusive on every side.
struct TGridRect {
  int Left = 0;
  int Top = 0;
  int Right = 0;
  int Bottom = 0;
  bool operator==(const TGridRect&) const = default;
};

using TGridOptions = std::uint16_t;
enum : TGridOptions {
  goFixedVertLine = 1u << 0,
  goFixedHorzLine = 1u << 1,
  goVertLine = 1u << 2,
  goHorzLine = 1u << 3,
  goRangeSelect = 1u << 4,
  goDrawFocusSelected = 1u << 5,
  goRowSizing = 1u << 6,
  goColSizing = 1u << 7,
  goRowMoving = 1u << 8,
  goColMoving = 1u << 9,
  goEditing = 1u << 10,
  goTabs = 1u << 11,
  goRowSelect = 1u << 12,
  goAlwaysShowEditor = 1u << 13,
  goThumbTracking = 1u << 14,
};

using TGridDrawState = std::uint8_t;
enum : TGridDrawState {
  gdSelected = 1u << 0,
  gdFocused = 1u << 1,
  gdFixed = 1u << 2,
};

// What the in-place editor of a cell looks like: a plain edit, an edit with an ellipsis button
// (the program opens a dialog of its own), or an edit with a drop-down list of values.
enum TEditStyle { esSimple, esEllipsis, esPickList };

// What a mouse press over the grid starts.
enum TGridState { gsNormal, gsSelecting, gsRowSizing, gsColSizing, gsRowMoving, gsColMoving };

using TDrawCellEvent =
    std::function<void(TObject* Sender, int ACol, int ARow, TRect Rect, TGridDrawState State)>;
using TSelectCellEvent = std::function<void(TObject* Sender, int ACol, int ARow, bool& CanSelect)>;
using TMovedEvent = std::function<void(TObject* Sender, int FromIndex, int ToIndex)>;
using TGetEditEvent = std::function<void(TObject* Sender, int ACol, int ARow, String& Value)>;
using TSetEditEvent = std::function<void(TObject* Sender, int ACol, int ARow, const String& Value)>;

class TCustomGrid;
class TInplaceEditList;

// The editor a grid shows over its current cell: every change of its text goes to the grid's
// SetEditText; Up, Down, PgUp, PgDn (and Tab with goTabs) move in the grid; Enter closes it,
// Esc brings the cell's text back and closes it.
class TInplaceEdit : public TCustomMaskEdit {
public:
  explicit TInplaceEdit(TComponent* AOwner);
  TCustomGrid* GetGrid() const { return FGrid; }
  // Places the editor over Loc (the grid's client coordinates) and shows it.
  void Move(const TRect& Loc);
  void Hide();
  bool PosEqual(const TRect& Rect) const;

protected:
  void CreateParams(TCreateParams& Params) override;
  void WndProc(TMessage& Message) override;
  void KeyDown(Word& Key, TShiftState Shift) override;
  void KeyPress(char& Key) override;
  void Change() override;
  // Loads the current cell's text (the grid's GetEditText); the grid calls it whenever the
  // editor is shown or its cell is read again.
  virtual void UpdateContents();
  // The editor was placed over its cell again (Move).
  virtual void BoundsChanged() {}

private:
  friend class TCustomGrid;
  TCustomGrid* FGrid = nullptr;
  String FOriginal;
  bool FUpdating = false;
};

class TCustomGrid : public TCustomControl {
public:
  explicit TCustomGrid(TComponent* AOwner);
  ~TCustomGrid() override;

  int GetColCount() const { return FColCount; }
  // Below 1 becomes 1; the fixed columns shrink to leave one scrollable column.
  void SetColCount(int Value);
  int GetRowCount() const { return FRowCount; }
  void SetRowCount(int Value);
  int GetFixedCols() const { return FFixedCols; }
  // "Grid index out of range" below 0; "Fixed column count must be less than column count".
  void SetFixedCols(int Value);
  int GetFixedRows() const { return FFixedRows; }
  void SetFixedRows(int Value);
  int GetDefaultColWidth() const { return FDefaultColWidth; }
  // Resets every column to the new width.
  void SetDefaultColWidth(int Value);
  int GetDefaultRowHeight() const { return FDefaultRowHeight; }
  void SetDefaultRowHeight(int Value);
  // Out-of-range reads answer the default; writes raise "Grid index out of range".
  int GetColWidths(int Index) const;
  void SetColWidths(int Index, int Value);
  int GetRowHeights(int Index) const;
  void SetRowHeights(int Index, int Value);
  int GetGridLineWidth() const { return FGridLineWidth; }
  void SetGridLineWidth(int Value);
  TColor GetFixedColor() const { return FFixedColor; }
  void SetFixedColor(TColor Value);
  TGridOptions GetOptions() const { return FOptions; }
  void SetOptions(TGridOptions Value);
  TScrollStyle GetScrollBars() const { return FScrollBars; }
  void SetScrollBars(TScrollStyle Value);
  TBorderStyle GetBorderStyle() const { return FBorderStyle; }
  void SetBorderStyle(TBorderStyle Value);

  // The current cell; setting it checks the counts, asks SelectCell, scrolls it into view,
  // collapses the selection onto it and fires Click.
  int GetCol() const { return FCurrent.X; }
  void SetCol(int Value);
  int GetRow() const { return FCurrent.Y; }
  void SetRow(int Value);
  TGridRect GetSelection() const;
  void SetSelection(const TGridRect& Value);
  // The first scrollable column and row shown.
  int GetLeftCol() const { return FTopLeft.X; }
  void SetLeftCol(int Value);
  int GetTopRow() const { return FTopLeft.Y; }
  void SetTopRow(int Value);
  // Whole scrollable columns (rows) shown from LeftCol (TopRow); at least 1.
  int GetVisibleColCount();
  int GetVisibleRowCount();
  int GetGridWidth();
  int GetGridHeight();

  // The cell's rectangle in client coordinates, cut to what is shown; empty when not shown.
  TRect CellRect(int ACol, int ARow);
  // The cell under a client point; (-1, -1) outside every shown cell.
  TGridCoord MouseCoord(int X, int Y);
  void MouseToCell(int X, int Y, int& ACol, int& ARow);

  // The in-place editor is shown (goEditing grids only).
  bool GetEditorMode() const { return FEditorMode; }
  void SetEditorMode(bool Value);
  TInplaceEdit* GetInplaceEditor() const { return FInplaceEdit; }

  TNotifyEvent OnTopLeftChanged;

  void Dispatch(TMessage& Message) override;

protected:
  friend class TInplaceEdit;
  friend class TInplaceEditList;
  // Makes the in-place editor (first needed by ShowEditor).
  virtual TInplaceEdit* CreateEditor();
  // The look of the editor over a cell; asked whenever the editor is shown or moves to a cell
  // (a list-style editor follows it). esSimple here.
  virtual TEditStyle GetEditStyle(int ACol, int ARow);
  // goEditing without goRowSelect, and the editor wanted (EditorMode or goAlwaysShowEditor).
  virtual bool CanEditShow();
  virtual String GetEditText(int ACol, int ARow);
  virtual void SetEditText(int ACol, int ARow, const String& Value);
  void ShowEditor();
  void HideEditor();
  // Moves a column (row) with its width (height) to another index; the cells between shift
  // by one. "Grid index out of range" outside the counts.
  void MoveColumn(int FromIndex, int ToIndex);
  void MoveRow(int FromIndex, int ToIndex);
  virtual void ColumnMoved(int FromIndex, int ToIndex);
  virtual void RowMoved(int FromIndex, int ToIndex);
  // Reloads the editor's text from the current cell and places it there (when shown).
  void UpdateEdit();
  void KeyPress(char& Key) override;
  void CreateParams(TCreateParams& Params) override;
  void CreateWnd() override;
  void WndProc(TMessage& Message) override;
  void Paint() override;
  void KeyDown(Word& Key, TShiftState Shift) override;
  void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
  void MouseMove(TShiftState Shift, int X, int Y) override;
  void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;
  bool DoMouseWheel(TShiftState Shift, int WheelDelta, TPoint MousePos) override;
  void Resize() override;
  // The grid's own scroll bars (the message from a scroll bar control goes to that control).
  virtual void WMHScroll(TMessage& Message);
  virtual void WMVScroll(TMessage& Message);

  // Paints one cell (its background is filled before, the lines after).
  virtual void DrawCell(int ACol, int ARow, const TRect& ARect, TGridDrawState AState) = 0;
  // Whether the cell may become current.
  virtual bool SelectCell(int ACol, int ARow);
  virtual void TopLeftChanged();
  virtual void ColWidthsChanged();
  virtual void RowHeightsChanged();
  // The counts changed from the old ones (descendants resize their stores).
  virtual void SizeChanged(int OldColCount, int OldRowCount);
  void InvalidateCell(int ACol, int ARow);
  void InvalidateRow(int ARow);
  void InvalidateCol(int ACol);
  void InvalidateGrid() { Invalidate(); }
  // Makes (ACol, ARow) current; MoveAnchor collapses the selection onto it, else it grows
  // from the anchor. Fires Click.
  void FocusCell(int ACol, int ARow, bool MoveAnchor);
  bool GetDefaultDrawing() const { return FDefaultDrawing; }
  void SetDefaultDrawing(bool Value);
  TGridState FGridState = gsNormal;

private:
  struct TAxis;
  TAxis Horz();
  TAxis Vert();
  void MoveCurrent(int ACol, int ARow, bool MoveAnchor, bool Show);
  void MoveTopLeft(int ALeft, int ATop);
  void ClampTopLeft();
  TGridCoord MaxTopLeft();
  void ScrollIntoView(int ACol, int ARow);
  void UpdateScrollRange();
  void ScrollMessage(bool Vertical, WORD Code, int Pos);
  void ScrollBarMessage(TMessage& Message);
  void ChangeSize(int NewColCount, int NewRowCount);
  bool SizingHit(int X, int Y, bool& IsCol, int& Index, int& Edge);
  bool InSelection(int ACol, int ARow) const;

  int FColCount = 5;
  int FRowCount = 5;
  int FFixedCols = 1;
  int FFixedRows = 1;
  int FDefaultColWidth = 64;
  int FDefaultRowHeight = 24;
  std::vector<int> FColWidths;  // empty: every column has the default width
  std::vector<int> FRowHeights;
  int FGridLineWidth = 1;
  TColor FFixedColor = clBtnFace;
  TGridOptions FOptions = goFixedVertLine | goFixedHorzLine | goVertLine | goHorzLine | goRangeSelect;
  TScrollStyle FScrollBars = ssBoth;
  TBorderStyle FBorderStyle = bsSingle;
  bool FDefaultDrawing = true;
  TGridCoord FCurrent{1, 1};
  TGridCoord FAnchor{1, 1};
  TGridCoord FTopLeft{1, 1};
  // Sizing with the mouse: the column or row, and the pointer's offset from its edge.
  int FSizingIndex = -1;
  int FSizingOffset = 0;
  int FMoveIndex = -1;  // the column or row being dragged to another place
  bool FUpdatingScrollBars = false;
  bool FEditorMode = false;
  TInplaceEdit* FInplaceEdit = nullptr;  // owned as a component of the grid
};

class TDrawGrid : public TCustomGrid {
public:
  using TCustomGrid::TCustomGrid;
  using TCustomGrid::GetDefaultDrawing;
  using TCustomGrid::SetDefaultDrawing;

  TDrawCellEvent OnDrawCell;
  TSelectCellEvent OnSelectCell;
  TGetEditEvent OnGetEditText;
  TSetEditEvent OnSetEditText;
  TMovedEvent OnColumnMoved;
  TMovedEvent OnRowMoved;
  using TCustomGrid::MoveColumn;
  using TCustomGrid::MoveRow;

protected:
  void ColumnMoved(int FromIndex, int ToIndex) override;
  void RowMoved(int FromIndex, int ToIndex) override;
  String GetEditText(int ACol, int ARow) override;
  void SetEditText(int ACol, int ARow, const String& Value) override;
  // Fires OnDrawCell.
  void DrawCell(int ACol, int ARow, const TRect& ARect, TGridDrawState AState) override;
  // Asks OnSelectCell.
  bool SelectCell(int ACol, int ARow) override;
};

class TStringGrid;

// A column or a row of a string grid seen as a list of strings: reads and writes go to the
// cells; the list cannot grow or shrink.
class TStringGridStrings : public TStrings {
public:
  TStringGridStrings(TStringGrid* AGrid, bool AIsCol, int AIndex);
  // Copies the source's strings and objects into the first cells (as many as both have).
  void Assign(TPersistent* Source) override;
  // Writes S into the first empty cell; -1 when there is none.
  int Add(const String& S) override;
  // Empties every cell of the line.
  void Clear() override;
  // "Cannot insert or delete rows from grid".
  void Delete(int Index) override;
  void Insert(int Index, const String& S) override;
  String Get(int Index) const override;
  void Put(int Index, const String& S) override;
  TObject* GetObject(int Index) const override;
  void PutObject(int Index, TObject* AObject) override;
  int GetCount() const override;

private:
  TStringGrid* FGrid;
  bool FIsCol;
  int FIndex;
};

class TStringGrid : public TDrawGrid {
public:
  explicit TStringGrid(TComponent* AOwner);
  ~TStringGrid() override;

  // Cells live in a sparse store independent of the counts: reads never store anything and
  // answer "" (nil) for cells never written, at any distance from the counts; writes beyond the
  // counts are kept and readable, and smaller counts discard nothing (growing them again shows
  // the old cells). A negative row, or a negative column of a row that holds cells, raises
  // EListError "List index out of bounds (%d)"; nothing is stored then.
  String GetCells(int ACol, int ARow) const;
  void SetCells(int ACol, int ARow, const String& Value);
  TObject* GetObjects(int ACol, int ARow) const;
  void SetObjects(int ACol, int ARow, TObject* Value);
  // A view of column ACol (row ARow); the grid owns it.
  TStrings* GetCols(int Index);
  TStrings* GetRows(int Index);
  // Copies Value's strings into the column (row).
  void SetCols(int Index, TStrings* Value) { GetCols(Index)->Assign(Value); }
  void SetRows(int Index, TStrings* Value) { GetRows(Index)->Assign(Value); }

protected:
  // Writes the cell's text (with DefaultDrawing), then fires OnDrawCell.
  void DrawCell(int ACol, int ARow, const TRect& ARect, TGridDrawState AState) override;
  // The cells move with their column (row).
  void ColumnMoved(int FromIndex, int ToIndex) override;
  void RowMoved(int FromIndex, int ToIndex) override;
  // The cell's text (then OnGetEditText may change it); edits write Cells.
  String GetEditText(int ACol, int ARow) override;
  void SetEditText(int ACol, int ARow, const String& Value) override;

private:
  TStringSparseList* FindRow(int ARow) const;
  TStringSparseList* EnsureRow(int ARow);
  void CellChanged(int ACol, int ARow);
  // Row lists by row number, each holding its cells by column (written rows only).
  std::unique_ptr<TSparseList> FData;
  std::map<int, std::unique_ptr<TStringGridStrings>> FColViews;
  std::map<int, std::unique_ptr<TStringGridStrings>> FRowViews;
  bool FEditUpdate = false;  // a write that comes from the editor
};
