// The skinned grid family: TskSkinCustomGrid (layout of columns and rows, fixed title cells,
// current cell and selection, scrolling through external skinned scroll bars, keyboard and
// mouse, painting from the skin's "grid" record, the in-place editor), TskSkinDrawGrid (the
// form-facing grid with events) and TskSkinStringGrid (a text and an object per cell, kept in
// the sparse lists of the class library's grid unit).
//
// The contract the application relies on:
// - Cells [col, row] reads "" for a cell never written, at any distance from the counts, and
//   creates nothing. A write stores the text (also beyond RowCount / ColCount) and redraws the
//   one cell. Smaller counts discard nothing: cells beyond them are kept, readable, and shown
//   again when the counts grow. A negative row (or a negative column of a row that holds
//   cells) raises EListError "List index out of bounds (%d)".
// - Rows [r] is a cached view of row r; Rows [r]->Assign (source) copies min (source count,
//   ColCount) texts and objects, so empty source cells empty the target; cells at and beyond
//   ColCount are left as they were.
// - RowCount / ColCount: the same value does nothing; 0 or less becomes 1; fixed rows
//   (columns) not fewer than the new count drop to count - 1; the current cell is clamped
//   into the new size without OnClick.
// - Row := n (n different from the current row) checks the range ("Grid index out of range"),
//   asks OnSelectCell, moves the anchor along, scrolls the row into view and raises OnClick;
//   the current row again does nothing. Selection with goRowSelect spans FixedCols ..
//   ColCount - 1 over the selected rows.
// - ColWidths [i] reads the stored width or DefaultColWidth; writing i >= ColCount (or i < 0)
//   raises "Grid index out of range"; width 0 hides a column.
// - OnClick is raised by Row :=, by every keyboard move of the current cell, every wheel step
//   and the release of a mouse selection; never by scrolling, by count changes, or by clicks
//   on fixed cells.
#pragma once

#include <functional>
#include <memory>
#include <optional>
#include <vector>

#include "platform/vcl/Bitmap.h"
#include "platform/vcl/Controls.h"
#include "platform/vcl/Forms.h"
#include "platform/vcl/Grids.h"
#include "platform/vcl/SparseLists.h"
#include "skin/controls/SkinControl.h"
#include "skin/controls/SkinScrollBarLink.h"
#include "skin/foundation/SkinData.h"

class TskSkinInplaceEdit;

// Per axis: how the cells lie on the screen. Computed for every layout question.
struct TskGridAxisDrawInfo {
  int EffectiveLineWidth = 0;
  int FixedBoundary = 0;
  int GridBoundary = 0;
  int GridExtent = 0;
  int LastFullVisibleCell = 0;
  int FullVisBoundary = 0;
  int FixedCellCount = 0;
  int FirstGridCell = 0;
  int GridCellCount = 0;
  std::function<int(int)> GetExtent;
};

struct TskGridDrawInfo {
  TskGridAxisDrawInfo Horz;
  TskGridAxisDrawInfo Vert;
};

// The grid's own copy of the skin's "grid" record and its two pictures.
struct TskGridSkin {
  TRect fixedcellrect{}, selectcellrect{}, focuscellrect{};
  int fixedcellleftoffset = 0, fixedcellrightoffset = 0;
  TRect fixedcelltextrect{};
  int cellleftoffset = 0, cellrightoffset = 0;
  TRect celltextrect{};
  TColor linescolor = 0, bgcolor = 0;
  int bgpictureindex = -1;
  String fontname = "Arial";
  int fontheight = 14;
  TFontStyles fontstyle = 0;
  TColor fontcolor = 0, selectfontcolor = 0, focusfontcolor = 0;
  String fixedfontname = "Arial";
  int fixedfontheight = 14;
  TFontStyles fixedfontstyle = 0;
  TColor fixedfontcolor = 0;
  TBitmap* Picture = nullptr;
  TBitmap* BGPicture = nullptr;
  bool cellstretcheffect = false, fixedcellstretcheffect = false, showfocus = false;
};

class TskSkinCustomGrid : public TskSkinControl {
public:
  explicit TskSkinCustomGrid(TComponent* AOwner);
  ~TskSkinCustomGrid() override;

  // ---- skin record ----
  // Refreshes the copy of the "grid" record (every paint and every skin change).
  void GetSkinData() override;
  // Re-reads the record, the cursor and the row height, and repaints.
  void ChangeSkinData() override;
  const TskGridSkin& GetGridSkin() const { return FSkin; }

  // ---- layout ----
  int GetColCount() const { return FColCount; }
  virtual void SetColCount(int Value);
  int GetRowCount() const { return FRowCount; }
  virtual void SetRowCount(int Value);
  int GetFixedCols() const { return FFixedCols; }
  void SetFixedCols(int Value);
  int GetFixedRows() const { return FFixedRows; }
  void SetFixedRows(int Value);
  int GetDefaultColWidth() const { return FDefaultColWidth; }
  void SetDefaultColWidth(int Value);
  int GetDefaultRowHeight() const { return FDefaultRowHeight; }
  void SetDefaultRowHeight(int Value);
  int GetColWidths(int Index) const;
  void SetColWidths(int Index, int Value);
  int GetRowHeights(int Index) const;
  void SetRowHeights(int Index, int Value);
  bool GetTabStops(int Index) const;
  void SetTabStops(int Index, bool Value);
  int GetGridLineWidth() const { return FGridLineWidth; }
  void SetGridLineWidth(int Value);
  TColor GetFixedColor() const { return FFixedColor; }
  void SetFixedColor(TColor Value);
  TGridOptions GetOptions() const { return FOptions; }
  void SetOptions(TGridOptions Value);
  TBorderStyle GetBorderStyle() const { return FBorderStyle; }
  void SetBorderStyle(TBorderStyle Value);
  bool GetDefaultDrawing() const { return FDefaultDrawing; }
  void SetDefaultDrawing(bool Value);
  bool GetSaveCellExtents() const { return FSaveCellExtents; }
  void SetSaveCellExtents(bool Value) { FSaveCellExtents = Value; }

  int GetCol() const { return FCurrent.X; }
  void SetCol(int Value);
  int GetRow() const { return FCurrent.Y; }
  void SetRow(int Value);
  TGridCoord GetAnchor() const { return FAnchor; }
  TGridRect GetSelection() const;
  int GetLeftCol() const { return FTopLeft.X; }
  int GetTopRow() const { return FTopLeft.Y; }
  int GetVisibleColCount();
  int GetVisibleRowCount();
  int GetGridWidth();
  int GetGridHeight();
  TGridState GetGridState() const { return static_cast<TGridState>(FGridState); }
  int GetColOffset() const { return FColOffset; }

  // ---- painting look ----
  TBitmap* GetWallpaper() const { return FWallpaper; }
  void SetWallpaper(TBitmap* Value);
  bool GetWallpaperStretch() const { return FWallpaperStretch; }
  void SetWallpaperStretch(bool Value);
  bool GetTransparent() const { return FTransparent; }
  void SetTransparent(bool Value);
  bool GetUseSkinFont() const { return FUseSkinFont; }
  void SetUseSkinFont(bool Value) { FUseSkinFont = Value; Invalidate(); }
  bool GetUseSkinCellHeight() const { return FUseSkinCellHeight; }
  void SetUseSkinCellHeight(bool Value) { FUseSkinCellHeight = Value; }
  TColor GetGridLineColor() const { return FGridLineColor; }
  void SetGridLineColor(TColor Value);

  // ---- external scroll bars ----
  IskScrollBarLink* GetHScrollBar() const { return FHScrollBar; }
  void SetHScrollBar(IskScrollBarLink* Value);
  IskScrollBarLink* GetVScrollBar() const { return FVScrollBar; }
  void SetVScrollBar(IskScrollBarLink* Value);
  void UpdateScrollRange();
  void UpdateScrollPos();

  // ---- operations ----
  void MoveColumn(int FromIndex, int ToIndex);
  void MoveRow(int FromIndex, int ToIndex);
  virtual void DeleteColumn(int ACol);
  virtual void DeleteRow(int ARow);
  void FocusCell(int ACol, int ARow, bool MoveAnchor);
  void MoveAnchor(const TGridCoord& NewAnchor);
  void MoveTopLeft(int ALeft, int ATop);
  void ClampInView(const TGridCoord& Coord);
  TRect CellRect(int ACol, int ARow);
  TRect BoxRect(int ALeft, int ATop, int ARight, int ABottom);
  TGridCoord CalcCoordFromPoint(int X, int Y);
  void CalcDrawInfo(TskGridDrawInfo& DrawInfo);
  void InvalidateCell(int ACol, int ARow);
  void InvalidateRect(const TGridRect& ARect);
  void InvalidateGrid() { Invalidate(); }

  // ---- in-place editor ----
  bool GetEditorMode() const { return FEditorMode; }
  void SetEditorMode(bool Value);
  TskSkinInplaceEdit* GetInplaceEditor() const { return FInplaceEdit; }

  // Stored extents ("ColWidths", "RowHeights"): the widths (heights) of every column (row)
  // when their array exists. Reading sets as many entries as the grid has columns (rows).
  bool HasStoredColWidths() const { return FSaveCellExtents && FColWidths.has_value(); }
  bool HasStoredRowHeights() const { return FSaveCellExtents && FRowHeights.has_value(); }
  void WriteColWidths(TStream* Stream);
  void ReadColWidths(TStream* Stream);
  void WriteRowHeights(TStream* Stream);
  void ReadRowHeights(TStream* Stream);

  void Notification(TComponent* AComponent, TOperation Operation) override;

protected:
  friend class TskSkinInplaceEdit;

  virtual void MoveColRow(int ACol, int ARow, bool MoveAnchor, bool Show);
  virtual void CalcSizingState(int X, int Y, int& State, int& Index, int& SizingPos, int& SizingOfs,
                               TskGridDrawInfo& FixedInfo);
  virtual TskSkinInplaceEdit* CreateEditor();
  virtual bool CanEditShow();
  virtual void DrawCell(int ACol, int ARow, const TRect& ARect, TGridDrawState AState) = 0;
  virtual bool SelectCell(int ACol, int ARow);

  virtual void ColumnMoved(int /*FromIndex*/, int /*ToIndex*/) {}
  virtual void RowMoved(int /*FromIndex*/, int /*ToIndex*/) {}
  virtual String GetEditText(int ACol, int ARow);
  virtual String GetEditMask(int ACol, int ARow);
  virtual void SetEditText(int /*ACol*/, int /*ARow*/, const String& /*Value*/) {}
  virtual int GetEditLimit() { return 0; }
  virtual bool CanEditModify() { return FCanEditModify; }
  virtual bool CanEditAcceptKey(char /*Key*/) { return true; }
  virtual bool CanGridAcceptKey(Word /*Key*/, TShiftState /*Shift*/) { return true; }
  virtual void TopLeftChanged();
  virtual void ColWidthsChanged();
  virtual void RowHeightsChanged();
  virtual void SizeChanged(int /*OldColCount*/, int /*OldRowCount*/) {}
  virtual void TimedScroll(unsigned Direction);
  virtual bool BeginColumnDrag(int& /*Origin*/, int& /*Destination*/, const TPoint& /*MousePt*/) { return true; }
  virtual bool BeginRowDrag(int& /*Origin*/, int& /*Destination*/, const TPoint& /*MousePt*/) { return true; }
  virtual bool CheckColumnDrag(int& /*Origin*/, int& /*Destination*/, const TPoint& /*MousePt*/) { return true; }
  virtual bool CheckRowDrag(int& /*Origin*/, int& /*Destination*/, const TPoint& /*MousePt*/) { return true; }
  virtual bool EndColumnDrag(int& /*Origin*/, int& /*Destination*/, const TPoint& /*MousePt*/) { return true; }
  virtual bool EndRowDrag(int& /*Origin*/, int& /*Destination*/, const TPoint& /*MousePt*/) { return true; }
  // Inserts (Amount > 0) or deletes (Amount < 0) a run of columns or rows in the layout.
  virtual void ChangeGridOrientation(int Index, int Amount, bool Rows);

  // The rectangle the string grid writes a cell's text into (the skin's text rectangle).
  TRect GetTextRect(const TRect& CellRect, TGridDrawState State);

  void CreateParams(TCreateParams& Params) override;
  void WndProc(TMessage& Message) override;
  void Paint() override;
  void Resize() override;
  void KeyDown(Word& Key, TShiftState Shift) override;
  void KeyPress(char& Key) override;
  void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
  void MouseMove(TShiftState Shift, int X, int Y) override;
  void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;
  bool DoMouseWheelDown(TShiftState Shift, TPoint MousePos) override;
  bool DoMouseWheelUp(TShiftState Shift, TPoint MousePos) override;
  void DoExit() override;
  void CMVisibleChanged(TMessage& Message) override;
  // The grid's font goes to its editor too.
  void CMFontChanged(TMessage& Message) override;

  void ShowEditor();
  void HideEditor();
  void ShowEditorChar(char Ch);
  void InvalidateEditor();
  void UpdateEditor();
  void UpdateText();
  void HideEdit();
  // The scroll-bar modifier: a scroll code on one axis moves the top-left cell.
  void ModifyScrollBar(int ScrollBar, int ScrollCode, int Pos, bool UseRightToLeft);
  bool IsActiveControl();
  TskGridSkin FSkin;
  int FGridState = 0;

private:
  struct TSelectionChange;
  void ResetTopLeftCurrentAnchor();
  void ChangeSize(int NewColCount, int NewRowCount);
  void CalcAxis(TskGridAxisDrawInfo& Axis, int UseExtent);
  void InitDrawInfo(TskGridDrawInfo& DrawInfo);
  TGridCoord CalcMaxTopLeft(const TGridCoord& Coord, const TskGridDrawInfo& DrawInfo);
  int LinePos(const TskGridAxisDrawInfo& Axis, int Line);
  bool CalcAxisRect(const TskGridAxisDrawInfo& Axis, int Start, int End, int& PStart, int& PEnd, bool IncludeLine);
  TRect GridRectToScreenRect(const TGridRect& R, bool IncludeLine);
  int CalcAxisCoord(const TskGridAxisDrawInfo& Axis, int N);
  void InvalidateSelectionChange(const TGridRect& OldSel, const TGridRect& NewSel);
  void TopLeftMoved(const TGridCoord& OldTopLeft);
  void ScrollData(int DX, int DY);
  void ScrollDataInfo(int DX, int DY, TskGridDrawInfo& DrawInfo);
  void RepaintPending();
  void InvalidateArea(const TRect& R, bool Erase);
  void AxisScrollRange(bool Horizontal, IskScrollBarLink* Bar, const TGridCoord& OldTopLeft, bool& Repainted,
                       int& PendingShow);
  void ModifyPixelScrollBar(int Code, int Pos);
  void HookScrollBar(IskScrollBarLink* Bar, bool Vertical);
  void MoveAndScroll(int Mouse, int CellHit, TskGridDrawInfo& DrawInfo, TskGridAxisDrawInfo& Axis, int ScrollBar,
                     const TPoint& MousePt);
  void DrawSizingLine(const TskGridDrawInfo& DrawInfo);
  void DrawMove();
  void CancelMode();
  void CalcSizingAxis(const TskGridAxisDrawInfo& Axis, int N, int& State, int& Index, int& SizingPos,
                      int& SizingOfs, int AxisState);
  void ResizeExtents(std::optional<std::vector<int>>& Extents, int NewCount, int Default);
  void ModifyExtents(std::optional<std::vector<int>>& Extents, int Index, int Amount, int Default);
  void PaintLines(const TskGridDrawInfo& DrawInfo);
  void PaintCells(const TskGridDrawInfo& DrawInfo, int ACol, int ARow, int StartX, int StartY, int StopX, int StopY,
                  TColor Color, TGridDrawState IncludeDrawState);
  void PrepareSkinCell(const TRect& Where, TGridDrawState State);
  void SetCanvasSkinFont(const String& Name, int Height, TFontStyles Style, TColor Color);
  void ApplyCharset();
  void WriteExtents(TStream* Stream, const std::optional<std::vector<int>>& Extents, int Count);

  TBitmap* FWallpaper;
  bool FWallpaperStretch = false;
  bool FUseSkinFont = true;
  bool FUseSkinCellHeight = true;
  bool FTransparent = false;
  bool FUpdatingScrollBars = false;
  TColor FGridLineColor = clWindowText;
  IskScrollBarLink* FHScrollBar = nullptr;
  IskScrollBarLink* FVScrollBar = nullptr;
  TComponent* FHScrollBarComponent = nullptr;
  TComponent* FVScrollBarComponent = nullptr;
  TGridCoord FAnchor;
  TBorderStyle FBorderStyle = bsSingle;
  bool FCanEditModify = true;
  int FColCount = 5;
  std::optional<std::vector<int>> FColWidths;
  std::optional<std::vector<int>> FTabStops;
  TGridCoord FCurrent;
  int FDefaultColWidth = 64;
  int FDefaultRowHeight = 24;
  int FFixedCols = 1;
  int FFixedRows = 1;
  TColor FFixedColor = clBtnFace;
  int FGridLineWidth = 1;
  TGridOptions FOptions = goFixedVertLine | goFixedHorzLine | goVertLine | goHorzLine | goRangeSelect;
  int FRowCount = 5;
  std::optional<std::vector<int>> FRowHeights;
  TGridCoord FTopLeft;
  int FSizingIndex = -1;
  int FSizingPos = 0;
  int FSizingOfs = 0;
  int FMoveIndex = -1;
  int FMovePos = -1;
  TPoint FHitTest{};
  TskSkinInplaceEdit* FInplaceEdit = nullptr;
  int FInplaceCol = -1;
  int FInplaceRow = -1;
  int FColOffset = 0;
  bool FDefaultDrawing = true;
  bool FEditorMode = false;
  bool FSaveCellExtents = true;
  TGridOptions FDesignOptionsBoost = goRowSizing | goColSizing;
  bool FVirtualView = false;
  // The grid as the scroll bars' handlers see it: cleared when the grid goes.
  std::shared_ptr<TskSkinCustomGrid*> FSelfLink;
};

// The grid that a form places: the core's layout with its hooks turned into events.
class TskSkinDrawGrid : public TskSkinCustomGrid {
public:
  using TskSkinCustomGrid::TskSkinCustomGrid;

  TMovedEvent OnColumnMoved;
  TDrawCellEvent OnDrawCell;
  TGetEditEvent OnGetEditMask;
  TGetEditEvent OnGetEditText;
  TMovedEvent OnRowMoved;
  TSelectCellEvent OnSelectCell;
  TSetEditEvent OnSetEditText;
  TNotifyEvent OnTopLeftChanged;

protected:
  void DrawCell(int ACol, int ARow, const TRect& ARect, TGridDrawState AState) override;
  bool SelectCell(int ACol, int ARow) override;
  String GetEditText(int ACol, int ARow) override;
  String GetEditMask(int ACol, int ARow) override;
  void SetEditText(int ACol, int ARow, const String& Value) override;
  void ColumnMoved(int FromIndex, int ToIndex) override;
  void RowMoved(int FromIndex, int ToIndex) override;
  void TopLeftChanged() override;
};

class TskSkinStringGrid;

// A row (or column) of a skinned string grid as a string list: its count is ColCount
// (RowCount); reads and writes go to the cells; it cannot grow or shrink.
class TskSkinStringGridStrings : public TStrings {
public:
  // AIndex n > 0: row n - 1; n < 0: column -n - 1; 0: an empty view.
  TskSkinStringGridStrings(TskSkinStringGrid* AGrid, int AIndex);

  String Get(int Index) const override;
  void Put(int Index, const String& S) override;
  TObject* GetObject(int Index) const override;
  void PutObject(int Index, TObject* AObject) override;
  int GetCount() const override;
  // From a TStrings: min (its count, this count) texts and objects, in one repaint.
  void Assign(TPersistent* Source) override;
  // Stores S in the first empty cell and answers its index; -1 when every cell holds text.
  int Add(const String& S) override;
  // Empties every stored cell of the line (text and object).
  void Clear() override;
  // "Cannot insert or delete rows from grid".
  void Delete(int Index) override;
  void Insert(int Index, const String& S) override;

protected:
  void SetUpdateState(bool Updating) override;

private:
  TskSkinStringGrid* FGrid;
  int FIndex;
};

using TskGetCellParamEvent = std::function<void(TObject* Sender, int ACol, int ARow, TGridDrawState AState,
                                                TColor& ABGColor, bool& AFillBG, TColor& AFontColor)>;

class TskSkinStringGrid : public TskSkinDrawGrid {
public:
  explicit TskSkinStringGrid(TComponent* AOwner);
  ~TskSkinStringGrid() override;

  String GetCells(int ACol, int ARow) const;
  void SetCells(int ACol, int ARow, const String& Value);
  TObject* GetObjects(int ACol, int ARow) const;
  void SetObjects(int ACol, int ARow, TObject* Value);
  TStrings* GetRows(int ARow);
  TStrings* GetCols(int ACol);

  TskGetCellParamEvent OnGetCellParam;

protected:
  friend class TskSkinStringGridStrings;
  void DrawCell(int ACol, int ARow, const TRect& ARect, TGridDrawState AState) override;
  void ColumnMoved(int FromIndex, int ToIndex) override;
  void RowMoved(int FromIndex, int ToIndex) override;
  String GetEditText(int ACol, int ARow) override;
  void SetEditText(int ACol, int ARow, const String& Value) override;

private:
  TStringSparseList* EnsureDataRow(int ARow);
  void EnsureColRow(int ACol, int ARow);
  void CellUpdated(int ACol, int ARow);
  void SetUpdateState(bool Value);

  TSparseList* FData;
  TSparseList* FRows;
  TSparseList* FCols;
  bool FUpdating = false;
  bool FNeedsRepaint = false;
  int FEditUpdate = 0;
};
