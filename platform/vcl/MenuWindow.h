// Popup menus in the plain classic look: a popup window lists the visible items of a menu item
// (captions with their "&" hotkey underlined, shortcut texts, checks and radio marks,
// separators, arrows to sub-menus) and tracks the mouse and the keyboard until an item is
// chosen or the menu is dismissed (Esc, Alt, a press outside, WM_CANCELMODE).
//
// Keys: Up/Down move over the enabled items (separators and disabled items are skipped, the
// ends wrap), Home/End go to the first/last of them; Right opens the sub-menu of the
// highlighted item, Left closes the open sub-menu; Enter chooses the highlighted item (or opens
// its sub-menu); Esc closes one level; a hotkey letter chooses (or opens) its item, or steps
// through the items when several share the letter; Alt or F10 closes the whole menu. A menu
// dropped from a menu bar also moves to the neighbouring bar menu on Left in its top level and
// on Right over an item without a sub-menu.
#pragma once

#include <functional>

#include "platform/vcl/Menus.h"
#include "platform/win/WinUser.h"

// How a tracked menu ended.
enum TMenuTrackEnd {
  mteDismissed,  // a press outside, WM_CANCELMODE, the capture taken away, Esc in a popup menu
  mteChosen,     // an enabled item without sub-items was chosen (Chosen)
  mteEscape,     // Esc in the top level of a menu dropped from a bar
  mteNext,       // a bar menu: Right over an item without a sub-menu
  mtePrev,       // a bar menu: Left in the top level
  mteMenuKey,    // Alt or F10 pressed and released
  mteBarItem,    // a bar menu: the mouse went to another bar item (BarIndex)
};

struct TMenuTrackParams {
  TPopupAlignment Alignment = paLeft;
  // Opened by the keyboard: the first enabled item is highlighted at once.
  bool ByKey = false;
  // Underline the hotkeys from the start (they appear anyway once a key is used).
  bool ShowAccel = true;
  // A menu dropped from a menu bar: the bar item under a screen point (-1 for none) and the
  // bar item whose menu this is. Left empty for popup menus.
  std::function<int(POINT)> BarItemAt;
  int BarIndex = -1;
};

struct TMenuTrackResult {
  TMenuTrackEnd End = mteDismissed;
  TMenuItem* Chosen = nullptr;
  int BarIndex = -1;       // for mteBarItem
  bool ShowAccel = false;  // the hotkeys were underlined when the menu closed
};

// Shows Root's sub-items with the top-left corner at the screen point (moved to stay on the
// screen) and runs a modal loop until the menu closes. The item is not clicked here; an item
// with sub-items is clicked when its sub-menu opens (the moment to update the sub-items).
// Nothing opens (mteDismissed) while another menu is tracked or when Root shows no item.
TMenuTrackResult TrackMenuWindowEx(TMenuItem* Root, int X, int Y, const TMenuTrackParams& Params);

// The plain form: answers the chosen item, or null when the menu was dismissed.
TMenuItem* TrackMenuWindow(TMenuItem* Root, int X, int Y, TPopupAlignment Alignment = paLeft);

// The window of menu level Level (0 = the popup, 1 = its open sub-menu ...) while a menu is
// tracked, else null.
HWND GetMenuWindow(int Level);
// The highlighted item of menu level Level while a menu is tracked, else null.
TMenuItem* GetMenuSelection(int Level);

// Makes TPopupMenu::Popup show the plain menu window and click the chosen item (through the
// menu's DispatchCommand) after it closes; false leaves Popup firing OnPopup only.
void UsePlainPopupMenus(bool Value);

// The window class of the menu windows.
constexpr const char* MenuWindowClassName = "#32768";

// What TPopupMenu::Popup calls after OnPopup: with UsePlainPopupMenus(true), tracks the menu
// and dispatches the chosen item's command; otherwise does nothing.
void ShowPlainPopupMenu(TPopupMenu* Menu, int X, int Y);
