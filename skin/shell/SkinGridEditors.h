// The skinned grid's in-place editor: TskSkinTransparentMaskEdit is a mask edit that can let
// the grid's skinned background show through; TskSkinInplaceEdit lies over the current cell,
// loads the cell's text and mask from the grid, writes every change back through the grid,
// forwards navigation keys to the grid and offers an edit context menu (Undo, Cut, Copy,
// Paste, Delete, Select All) whose captions come from the skin's string table.
#pragma once

#include <functional>

#include "platform/vcl/EditCtrls.h"
#include "platform/vcl/Menus.h"
#include "skin/input/SkinEditCommands.h"

class TskSkinCustomGrid;

class TskSkinTransparentMaskEdit : public TCustomMaskEdit {
public:
  explicit TskSkinTransparentMaskEdit(TComponent* AOwner);

  bool GetTransparent() const { return FTransparent; }
  // Re-creates the window when changed; a transparent window is WS_EX_TRANSPARENT.
  void SetTransparent(bool Value);
  // A transparent edit repaints what lies under it as well.
  void Invalidate() override;

protected:
  void CreateParams(TCreateParams& Params) override;
  void WndProc(TMessage& Message) override;

private:
  bool FTransparent = false;
  bool FMouseDown = false;
};

class TskSkinInplaceEdit : public TskSkinTransparentMaskEdit {
public:
  explicit TskSkinInplaceEdit(TComponent* AOwner);
  ~TskSkinInplaceEdit() override;

  TskSkinCustomGrid* GetGrid() const { return FGrid; }
  // Caret to the end, nothing selected.
  void Deselect();
  void Hide();
  // Places the editor over R (grid client coordinates) and shows it; an empty R hides it.
  void Move(const TRect& R);
  void UpdateLoc(const TRect& R);
  void Invalidate() override;

  // The context menu's entries for the current state of the edit, in menu order.
  std::vector<TskEditMenuEntry> ContextMenuEntries();
  // The menu shown by the last context-menu request (owned; freed when its command is done,
  // with the editor, or when the next one is built).
  TPopupMenu* GetContextMenu() const { return FPopupMenu; }

  // Makes the context menu shown for an editor; the skinned popup menu installs itself here.
  // Unset, a menu of the class library is made.
  static std::function<TPopupMenu*(TskSkinInplaceEdit* Editor)> CreateContextMenu;

protected:
  friend class TskSkinCustomGrid;
  virtual void BoundsChanged();
  virtual void UpdateContents();

  void CreateParams(TCreateParams& Params) override;
  void WndProc(TMessage& Message) override;
  void KeyDown(Word& Key, TShiftState Shift) override;
  void KeyPress(char& Key) override;
  void KeyUp(Word& Key, TShiftState Shift) override;
  void DblClick() override;

private:
  void ShowContextMenu(int X, int Y);
  void FreeContextMenu();
  bool ForwardKey(Word& Key, TShiftState Shift);

  TskSkinCustomGrid* FGrid = nullptr;
  DWORD FClickTime = 0;
  TPopupMenu* FPopupMenu = nullptr;
};
