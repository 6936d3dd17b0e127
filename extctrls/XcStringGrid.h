// TXcStringGrid: the string grid of the extended controls. Besides a default cell alignment, a
// font of its own for the fixed cells, per-cell alignment and canvas hooks, caption clicks,
// scroll and column-width events and an in-place editor whose style (plain, ellipsis button
// or pick list) is chosen per cell, it writes and reads all of its cells as a stream grid
// file, the form in which the program keeps its queues between runs.
//
// The stream grid file has no header, counts or trailer: row after row from row 0, each row
// its cells from column 0 with a 0x00 byte between two cells and a 0x01 byte after the last;
// a cell is its text bytes (0x00 and 0x01 in a text are written as a space, everything else,
// CR and LF included, as it is). Two rows of two columns "A","B" / "X","" are the seven bytes
// 41 00 42 01 58 00 01.
//
// Loading reads from the stream's position to its end and only ever grows ColCount and
// RowCount while reading, then lowers RowCount by one at the end: cells the data does not reach
// keep their text, rows and columns the grid had beyond the data stay, bytes after the last
// 0x00 or 0x01 (a cut-off last cell) are dropped. Data that would need more than
// XcStreamGridMaxRows rows, XcStreamGridMaxColumns columns or XcStreamGridMaxCells cells is
// refused with EXCLException before the grid is touched. Stream errors pass through.
//
// Saving refuses a grid its load could not read back (RowCount + 1 over XcStreamGridMaxRows,
// ColCount over XcStreamGridMaxColumns, more than XcStreamGridMaxCells cells) with
// EXCLException before it writes a byte.
#pragma once

#include <functional>
#include <memory>

#include "extctrls/XcExGrids.h"
#include "extctrls/XcTypes.h"
#include "platform/rtl/StringList.h"
#include "platform/rtl/Streams.h"

class TXcStringGrid;

// The most a stream grid file may make the grid hold.
// The rows the cell store can address (65,535 sections of 16); the load reads one row more.
constexpr int XcStreamGridMaxRows = 65535 * 16;
constexpr int XcStreamGridMaxColumns = 4096;
constexpr Int64 XcStreamGridMaxCells = Int64(1) << 23;  // 100,000 rows of 71 columns fit
// The block size of reading and the size the cell buffer is kept at.
constexpr int XcStreamGridBlockSize = 4096;

using TProgress = std::function<void(TObject* Sender, int Progression, int Total)>;
using TExitCellEvent = std::function<void(TXcStringGrid* Sender, int AColumn, int ARow, const String& EditText)>;
using TGetCellAlignmentEvent = std::function<void(TXcStringGrid* Sender, int AColumn, int ARow, TGridDrawState State,
                                                  TAlignment& CellAlignment)>;
using TCaptionClickEvent = std::function<void(TXcStringGrid* Sender, int AColumn, int ARow)>;
using TEditShowEvent = std::function<void(TXcStringGrid* Sender, int ACol, int ARow, bool& AllowEdit)>;
using TXcOnGetEditStyleEvent = std::function<void(TXcStringGrid* Sender, int AColumn, int ARow,
                                                  TStrings* PickListStrings, TEditStyle& EditStyle)>;

// The grid's own message: select the cell (wParam column, lParam row) and edit its whole text.
constexpr UINT XcEditCellMessage = 1147;

// The in-place editor of a TXcStringGrid: its text follows the grid's Alignment; leaving it
// reports the text of the cell it was entered on (ExitCell); its button and list report to
// the grid.
class TExInplaceEditList : public TXcExPubInplaceEditList {
public:
  explicit TExInplaceEditList(TComponent* AOwner);

  // The cell the editor last received the focus on.
  int GetFocusCol() const { return FFocusCol; }
  int GetFocusRow() const { return FFocusRow; }

  // The stock close-up, then the grid's ListBoxCloseUp when the list was open.
  void CloseUp(bool Accept) override;
  void HookSetFocus(HWND FocusedWnd) override;
  void HookKillFocus(HWND FocusedWnd) override;

protected:
  void CreateParams(TCreateParams& Params) override;
  void UpdateContents() override;
  void DoEditButtonClick() override;

private:
  TXcStringGrid* XcGrid() const;
  int FFocusCol = 0;
  int FFocusRow = 0;
};

class TXcStringGrid : public TXcExStringGrid {
public:
  explicit TXcStringGrid(TComponent* AOwner);
  ~TXcStringGrid() override;

  // Writes every cell at the stream's position (see the top of this file). Raises what the
  // stream raises.
  void SaveToStream(TStream* Stream);
  // Reads from the stream's position to its end into the grid (see the top of this file).
  void LoadFromStream(TStream* Stream);

  TAlignment GetAlignment() const { return FAlignment; }
  // Repaints; an editor's window is made again so that its text follows.
  void SetAlignment(TAlignment Value);
  TFont* GetFixedFont() const { return FFixedFont.get(); }
  // Copies Value.
  void SetFixedFont(TFont* Value) { FFixedFont->Assign(Value); }
  // The column and row of the last left press; (-1, -1) after a release or another button's
  // press; (0, 0) before the first press.
  TGridCoord GetPressedCell() const { return FPressedCell; }
  TEditStyle GetLastEditStyle() const { return FEditStyle; }
  TStrings* GetPickListStrings() const { return FPickListStrings.get(); }

  TDrawCellEvent OnSetCanvasProperties;
  TGetCellAlignmentEvent OnGetCellAlignment;
  TNotifyEvent OnColWidthsChanged;
  TCaptionClickEvent OnCaptionClick;
  TExitCellEvent OnExitCell;
  TProgress OnLoadProgress;
  TProgress OnSaveProgress;
  TNotifyEvent OnHorizontalScroll;
  TNotifyEvent OnVerticalScroll;
  TEditShowEvent OnShowEditor;
  TXcOnGetEditStyleEvent OnGetEditStyle;
  TNotifyEvent OnEditButtonClick;
  TNotifyEvent OnListBoxCloseUp;

  void Dispatch(TMessage& Message) override;

  // Raises OnExitCell.
  virtual void ExitCell(const String& EditText, int AColumn, int ARow);
  // Raises OnSetCanvasProperties with a copy of the rectangle.
  virtual void SetCanvasProperties(int AColumn, int ARow, TRect Rect, TGridDrawState State);
  // Alignment, or what OnGetCellAlignment makes of it.
  virtual TAlignment GetCellAlignment(int AColumn, int ARow, TGridDrawState State);
  // Fills the cell with the canvas's brush and writes its text inside a 2-pixel margin,
  // vertically centred; nothing at all in a row lower than the canvas's font.
  virtual void DefaultDrawCell(int AColumn, int ARow, TRect Rect, TGridDrawState State);

  // Each raises its event.
  virtual void EditButtonClick();
  virtual void ListBoxCloseUp();
  virtual void CaptionClick(int AColumn, int ARow);

  // The answer of OnGetEditStyle (the pick-list strings emptied first), esSimple without one.
  TEditStyle GetEditStyle(int ACol, int ARow) override;

protected:
  TInplaceEdit* CreateEditor() override;
  bool CanEditShow() override;
  void DrawCell(int ACol, int ARow, const TRect& ARect, TGridDrawState AState) override;
  void ColWidthsChanged() override;
  void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
  void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;
  void WMHScroll(TMessage& Message) override;
  void WMVScroll(TMessage& Message) override;
  void WMCommand(TMessage& Message) override;

private:
  friend class TExInplaceEditList;
  void FixedFontChanged(TObject* Sender);
  void EditCell(TMessage& Message);

  TAlignment FAlignment = taLeftJustify;
  TGridCoord FPressedCell{0, 0};
  TEditStyle FEditStyle = esSimple;
  std::unique_ptr<TStringList> FPickListStrings;
  std::unique_ptr<TFont> FFixedFont;
};
