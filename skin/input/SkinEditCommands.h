// The context menu of the skinned edits and the skinned memo: Undo, Cut, Copy, Paste, Delete and
// Select All, with their captions from the string table of the skin that dresses the edit's form
// (the built-in English texts when there is none), enabled by the edit's state at the moment the
// menu is built.
//
// The contract callers rely on:
// - EditContextMenuEntries answers the eight entries in menu order (two of them separators "-").
//   A selection exists when its start lies below its end; all text counts as selected when the
//   selection runs from 0 to the text's length (so in an empty edit Select All is disabled).
//   Cut, Paste and Delete are disabled while ReadOnly; Paste also without text on the clipboard.
// - The actions go through the edit's clipboard operations (WM_CUT, WM_PASTE ...), so the edit's
//   own read-only filter governs them as it governs the keys.
// - EditMenuStrings finds the string table through the skin data of the skinned form component
//   of the edit's parent form (the first component it owns that is one); a missing link of that
//   chain answers null (the built-in captions).
// - NewEditContextMenu makes a skinned popup menu whose skinned form is EditMenuSkinForm's;
//   shown with PopupForEdit it shows nothing on a form without a skinned form component or
//   without a menu skin.
// - EditContextMenuPoint: the message's screen point, or the centre of the edit for a menu asked
//   from the keyboard (the point (-1, -1)); a right click at negative coordinates (a monitor left
//   of or above the primary one) keeps its point.
#pragma once

#include <functional>
#include <vector>

#include "platform/vcl/EditCtrls.h"
#include "platform/vcl/Menus.h"
#include "skin/foundation/SkinData.h"
#include "skin/input/SkinMenu.h"

// One entry of an edit's context menu.
struct TskEditMenuEntry {
  String Caption;  // "-" for a separator
  bool Enabled = true;
  std::function<void()> Action;
};

// The string table for Edit's menu (see the header comment); null for the built-in captions.
TskResourceStrData* EditMenuStrings(TControl* Edit);

// The caption named Name in Strings, or Fallback when Strings is null or has no such text.
String EditMenuCaption(TskResourceStrData* Strings, const char* Name, const char* Fallback);

// The entries of the context menu of Edit in its present state. ReadOnly is the edit's
// read-only rule (an edit may keep its own flag).
std::vector<TskEditMenuEntry> EditContextMenuEntries(TCustomEdit* Edit, bool ReadOnly, TskResourceStrData* Strings);

// The form whose skin the menu of Edit takes: the edit's parent form, or the application's main
// form when that form is an MDI child.
TCustomForm* EditMenuSkinForm(TControl* Edit);

// A skinned popup menu owned by Edit holding Entries as items (each runs its action when
// clicked), its skinned form that of EditMenuSkinForm.
TskSkinPopupMenu* NewEditContextMenu(TControl* Edit, const std::vector<TskEditMenuEntry>& Entries);

// The context menu an edit keeps from one WM_CONTEXTMENU to the next, to
// SkinMenuCommandDoneMessage (Free) or to the edit's end.
class TskEditContextMenu {
public:
  TskEditContextMenu() = default;
  TskEditContextMenu(const TskEditContextMenu&) = delete;
  TskEditContextMenu& operator=(const TskEditContextMenu&) = delete;
  ~TskEditContextMenu() { Free(); }

  // Frees a previous menu, builds one of Entries for Edit and shows it where LParam (of
  // WM_CONTEXTMENU) says.
  void Show(TControl* Edit, LPARAM LParam, const std::vector<TskEditMenuEntry>& Entries);
  void Free();
  TskSkinPopupMenu* Menu() const { return FMenu; }
  TPoint Point() const { return FPoint; }

private:
  TskSkinPopupMenu* FMenu = nullptr;
  TPoint FPoint{};
};

// Where the context menu of Edit opens for a WM_CONTEXTMENU with LParam (screen coordinates).
TPoint EditContextMenuPoint(TControl* Edit, LPARAM LParam);
