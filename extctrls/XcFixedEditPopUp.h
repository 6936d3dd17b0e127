// The replacement context menu of the extended edits: one class-library popup menu with the six
// standard edit commands (Undo, Cut, Copy, Paste, Delete, Select All), shared by every edit of
// the program. Before it pops up for an edit, its items are enabled from that edit's selection,
// read-only state, undo state and clipboard commands; choosing an item sends the edit the
// command's message, so that the edit's own clipboard gating applies.
//
// The menu and its hidden owner live from the first request to the end of the program. The
// edit served last is kept with free notification: destroying it leaves the object without an
// edit, and its menu stays.
#pragma once

#include "extctrls/XcInterfaces.h"
#include "extctrls/XcTypes.h"
#include "platform/vcl/Controls.h"
#include "platform/vcl/Menus.h"

// What an edit can offer instead of being sent messages (nothing in the program does).
class IXcEditOperations : public virtual IInterface {
public:
  static constexpr TIID IID = "{2ECA1438-EFA5-460A-B586-C30C04B85FF3}";
  virtual bool CanUndo() = 0;
  virtual bool CanRedo() = 0;
  virtual bool CanCut() = 0;
  virtual bool CanCopy() = 0;
  virtual bool CanPaste() = 0;
  virtual bool CanSelectAll() = 0;
  virtual bool HasSelection() = 0;
  virtual void Undo() = 0;
  virtual void Redo() = 0;
  virtual void Cut() = 0;
  virtual void Copy() = 0;
  virtual void Paste() = 0;
  virtual void Delete() = 0;
  virtual void SelectAll() = 0;

protected:
  ~IXcEditOperations() = default;
};

// The menu's items by index (1 and 6 are separators).
enum TXcEditMenuItem { emiUndo = 0, emiCut = 2, emiCopy = 3, emiPaste = 4, emiDelete = 5, emiSelectAll = 7 };
constexpr int XcEditMenuItemCount = 8;

class THiddenPopupObject : public TComponent {
public:
  explicit THiddenPopupObject(TComponent* AOwner);
  ~THiddenPopupObject() override;

  TWinControl* GetEdit() const { return FEdit; }
  void SetEdit(TWinControl* Value);
  // Builds the menu on first use; with UpdateStates its items follow the served edit.
  TPopupMenu* EnsurePopupMenu(bool UpdateStates);
  TPopupMenu* GetPopupMenu() const { return FPopupMenu; }
  void UpdateItemStates();

  // The command handlers (the items' OnClick).
  void DoUndo(TObject* Sender);
  void DoCut(TObject* Sender);
  void DoCopy(TObject* Sender);
  void DoPaste(TObject* Sender);
  void DoDelete(TObject* Sender);
  void DoSelectAll(TObject* Sender);

  // Queries on the served edit (0, False or nil when there is none or it has no window).
  HWND EditWindowHandle();
  int EditTextLength();
  bool EditIsReadOnly();
  int EditSelectionLength();
  bool EditCanUndo();
  // The edit's ClipboardCommands when it has them; copy, cut, paste and undo otherwise.
  TXcClipboardCommands EditClipboardCommands();
  // The edit gates WM_CLEAR by its clipboard commands.
  bool EditGatesClear();

  void Notification(TComponent* AComponent, TOperation Operation) override;

private:
  bool EditReady();
  IXcEditOperations* EditOperations();
  // Through the edit-operations interface when the edit offers it, else the message through
  // the edit's own handling (so that its clipboard gating applies).
  void RunCommand(void (IXcEditOperations::*Operation)(), UINT Msg, WPARAM WParam = 0, LPARAM LParam = 0);
  void BuildMenu();
  TWinControl* FEdit = nullptr;
  TPopupMenu* FPopupMenu = nullptr;  // owned
};

// The shared menu pointed at Edit (its states updated with UpdateStates).
TPopupMenu* GetReplacementEditPopup(TWinControl* Edit, bool UpdateStates);
// The shared object (nil before the first request).
THiddenPopupObject* GetHiddenPopupObject();
