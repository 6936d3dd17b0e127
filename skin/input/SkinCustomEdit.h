// TskCustomEdit: the single-line edit every skinned edit is built on (the skinned edit, the inner
// edits of the combo box and of the spin edit). It adds to the class library's masked edit a
// skinned context menu (Undo, Cut, Copy, Paste, Delete, Select All, captions from the skin's
// string table), a transparent mode that draws the text over whatever the parent shows, strict
// read-only handling and a cancel-mode notification for its owner.
//
// TskSkinNumEdit adds a character filter for numbers and turns the Up and Down keys and the
// mouse wheel into up and down notifications (the spin edit steps its value on them).
//
// The contract callers rely on:
// - The window is a multi-line edit window shown on one line (its formatting rectangle can be
//   set), or a password edit. No line break ever enters it: Enter and Esc go to the form (its
//   default and cancel buttons) after OnKeyPress has seen them, Ctrl+Enter is dropped, and a
//   paste keeps the clipboard's text up to its first line break.
// - ReadOnly: typing, Delete, cut, paste, clear and undo change nothing, from keys, menu or code
//   alike; copying works.
// - Transparent: the edit paints what lies under it as its background and repaints it with every
//   change of its text or selection.
// - The context menu is built at each WM_CONTEXTMENU unless PopupMenu is set, lives until the next
//   one, until SkinMenuCommandDoneMessage or until the edit is freed.
#pragma once

#include <functional>

#include "platform/vcl/EditCtrls.h"
#include "platform/vcl/Menus.h"
#include "skin/input/SkinEditCommands.h"

class TskCustomEdit : public TCustomMaskEdit {
public:
  explicit TskCustomEdit(TComponent* AOwner);
  ~TskCustomEdit() override;

  bool GetEditTransparent() const { return FEditTransparent; }
  // Stores and re-creates the window.
  void SetEditTransparent(bool Value);
  void Invalidate() override;

  // Called after CM_CANCELMODE with the message's sender (the combo box closes its list).
  std::function<void(TObject* Sender)> OnCancelMode;

  // The menu shown by the last context-menu request, null when none, and where it was asked to
  // open (screen coordinates).
  TskSkinPopupMenu* GetContextMenu() const { return FContextMenu.Menu(); }
  TPoint GetContextMenuPoint() const { return FContextMenu.Point(); }
  // The entries the context menu would show now.
  std::vector<TskEditMenuEntry> ContextMenuEntries();

protected:
  void CreateParams(TCreateParams& Params) override;
  void WndProc(TMessage& Message) override;
  void Change() override;
  void WMSetFont(TMessage& Message) override;
  // A paste: the clipboard's text up to the first line break replaces the selection.
  virtual void PasteFirstLine();

private:

  bool FEditTransparent = false;
  bool FLeftButtonDown = false;
  TskEditContextMenu FContextMenu;
};

class TskSkinNumEdit : public TskCustomEdit {
public:
  explicit TskSkinNumEdit(TComponent* AOwner);

  std::function<void(TObject* Sender)> OnUpClick;
  std::function<void(TObject* Sender)> OnDownClick;
  std::function<void(TObject* Sender)> OnEditMouseEnter;
  std::function<void(TObject* Sender)> OnEditMouseLeave;

  bool GetEditorEnabled() const { return FEditorEnabled; }
  void SetEditorEnabled(bool Value) { FEditorEnabled = Value; }
  bool GetFloatValue() const { return FFloatValue; }
  void SetFloatValue(bool Value) { FFloatValue = Value; }

  // Whether Key may enter the edit with its present text.
  bool IsValidChar(char Key);

protected:
  void KeyDown(Word& Key, TShiftState Shift) override;
  void KeyPress(char& Key) override;
  void WndProc(TMessage& Message) override;

private:
  bool FEditorEnabled = true;
  bool FFloatValue = false;
};
