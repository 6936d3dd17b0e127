// The grid's list-style in-place editor: TInplaceEditList shows a button at the right inside the
// editor, chosen per cell by the grid's GetEditStyle: an ellipsis button that raises
// OnEditButtonClick, or a drop-down arrow that opens a list of values (PickList, a list box in a
// popup window that never takes the focus) below the cell, or above it when the screen ends
// first.
//
// Keys of a pick-list editor: Alt+Down, Alt+Up and F4 open and close the list; while it is open
// every key goes to the list (arrows, PgUp, PgDn move the choice), Enter accepts the choice and
// Esc closes it without one. Ctrl+Enter clicks an ellipsis button. A double click in the editor
// of a pick list steps to the next value (wrapping), in an ellipsis editor it clicks the button.
// The list closes without a choice when the editor loses the focus, the user presses the mouse
// elsewhere, the grid scrolls or the editor moves to another cell.
#pragma once

#include <functional>

#include "platform/vcl/Grids.h"
#include "platform/vcl/ListBoxCtrl.h"

using TOnGetPickListItems = std::function<void(int ACol, int ARow, TStrings* Items)>;

// The pick list of a TInplaceEditList (its owner): a list box in a popup window above every
// other window that is never activated and never takes the focus. A press chooses the item under
// the mouse and holds the mouse; releasing it over the list accepts the choice, anywhere else
// closes the list without one.
class TPopupListbox : public TCustomListBox {
public:
  explicit TPopupListbox(TComponent* AOwner);
  void WndProc(TMessage& Message) override;
  // Shows the window at Bounds (screen coordinates) above every other window, or hides it.
  void ShowAt(const TRect& Bounds);
  void HideList();

protected:
  void CreateParams(TCreateParams& Params) override;

private:
  TInplaceEditList* Editor() const;
  // Selects the item under a client point (none when the point is on no item).
  void ChooseAt(int X, int Y);
  bool FTracking = false;
};

class TInplaceEditList : public TInplaceEdit {
public:
  explicit TInplaceEditList(TComponent* AOwner);
  ~TInplaceEditList() override;

  void WndProc(TMessage& Message) override;
  // The button, then the edit's text beside it.
  void PaintWindow(HDC DC) override;

  TEditStyle GetEditStyle() const { return FEditStyle; }
  // Shows or removes the button; an open list closes first.
  void SetEditStyle(TEditStyle Value);
  int GetButtonWidth() const { return FButtonWidth; }
  void SetButtonWidth(int Value);
  // The most rows the pick list shows at once (a scroll bar shows the rest); 0 = all.
  int GetDropDownRows() const { return FDropDownRows; }
  void SetDropDownRows(int Value) { FDropDownRows = Value < 0 ? 0 : Value; }
  bool GetListVisible() const { return FListVisible; }
  // The button is shown pressed (while the mouse holds it).
  bool GetPressed() const { return FPressed; }
  // The list of values of a pick-list editor (owned by the editor).
  TCustomListBox* GetPickList() const { return FPickList; }
  // The list that drops down: the pick list unless a descendant shows a list of its own (a
  // popup window it owns). UpdateContents sets it back to the pick list.
  TWinControl* GetActiveList() const { return FActiveList; }
  void SetActiveList(TWinControl* Value);

  // Opens the active list below the editor (above when the screen ends first) and keeps the
  // focus in the editor.
  virtual void DropDown();
  // Closes the list; with Accept the chosen item of the pick list becomes the editor's text
  // and the cell's.
  virtual void CloseUp(bool Accept);

  // Raised with the grid as Sender.
  TNotifyEvent OnEditButtonClick;
  // Asked for the pick list's items (emptied before) when the list first opens or steps after
  // the editor moved to a cell.
  TOnGetPickListItems OnGetPickListItems;

protected:
  // The keys that open, close and answer the list; the key is 0 when used.
  virtual void DoDropDownKeys(Word& Key, TShiftState Shift);
  virtual void DoEditButtonClick();
  virtual void DoGetPickListItems();
  // Reads the cell and the grid's answer for its style; the pick list becomes the active list.
  void UpdateContents() override;
  void BoundsChanged() override;
  void KeyDown(Word& Key, TShiftState Shift) override;
  void DblClick() override;
  void DestroyWnd() override;
  void WMSetFont(TMessage& Message) override;
  void WMPaint(TMessage& Message) override;
  void Notification(TComponent* AComponent, TOperation Operation) override;
  // The button's place in client coordinates (empty for esSimple).
  TRect ButtonRect();
  bool OverButton(const TPoint& P);

private:
  friend class TPopupListbox;
  // Writes a value chosen from the list into the editor and the cell.
  void AcceptValue(const String& Value);
  void ButtonPress(int X, int Y);
  void TrackButton(int X, int Y);
  void StopTracking();
  // Keeps the text out of the button's room.
  void UpdateTextArea();
  void PaintButton(HDC DC, const TRect& R);

  TEditStyle FEditStyle = esSimple;
  int FButtonWidth;
  int FDropDownRows = 7;
  bool FListVisible = false;
  bool FPressed = false;
  bool FTracking = false;
  bool FPickListLoaded = false;
  TPopupListbox* FPickList = nullptr;  // owned as a component of the editor
  TWinControl* FActiveList = nullptr;
};
