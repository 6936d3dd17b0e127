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
// - EditMenuStrings finds the string table as the skinned form component offers it (the first
//   component owned by the edit's parent form that implements IskSkinnedFormSkin); a missing link
//   of that chain answers null (the built-in captions).
// - EditContextMenuPoint: the message's screen point, or the centre of the edit for a menu asked
//   from the keyboard (the point (-1, -1)); a right click at negative coordinates (a monitor left
//   of or above the primary one) keeps its point.
#pragma once

#include <functional>
#include <vector>

#include "platform/vcl/EditCtrls.h"
#include "platform/vcl/Menus.h"
#include "skin/foundation/SkinData.h"

// The message a skinned menu sends to the control that opened it after a chosen command ran.
constexpr UINT SkinMenuCommandDoneMessage = 0x4CD;

// One entry of an edit's context menu.
struct TskEditMenuEntry {
  String Caption;  // "-" for a separator
  bool Enabled = true;
  std::function<void()> Action;
};

// What the edits read of the skinned form component of their form: the skin data whose string
// table names the menu entries. The skinned form component implements it.
class IskSkinnedFormSkin {
public:
  IskSkinnedFormSkin() = default;
  IskSkinnedFormSkin(const IskSkinnedFormSkin&) = delete;
  IskSkinnedFormSkin& operator=(const IskSkinnedFormSkin&) = delete;
  virtual ~IskSkinnedFormSkin() = default;
  virtual TskSkinData* GetFormSkinData() const = 0;
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

// A popup menu owned by Owner holding Entries as items (each runs its action when clicked).
// MakeMenu makes the empty menu (the skinned popup menu when set); a class-library menu otherwise.
TPopupMenu* NewEditContextMenu(TComponent* Owner, const std::vector<TskEditMenuEntry>& Entries,
                               const std::function<TPopupMenu*(TComponent*)>& MakeMenu = nullptr);

// Where the context menu of Edit opens for a WM_CONTEXTMENU with LParam (screen coordinates).
TPoint EditContextMenuPoint(TControl* Edit, LPARAM LParam);
