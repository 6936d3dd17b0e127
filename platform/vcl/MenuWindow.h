// Popup menus in the plain classic look: a popup window lists the visible items of a menu item
// (captions with their "&" hotkey underlined, shortcut texts, checks and radio marks,
// separators, arrows to sub-menus) and tracks the mouse and the keyboard until an item is
// chosen or the menu is dismissed (Esc, a press outside, WM_CANCELMODE).
#pragma once

#include "platform/vcl/Menus.h"
#include "platform/win/WinUser.h"

// Shows Root's sub-items at the screen point and runs a modal loop until the menu closes.
// Answers the chosen (enabled, not a sub-menu) item, or null when the menu was dismissed or
// had nothing to show. The item is not clicked here.
TMenuItem* TrackMenuWindow(TMenuItem* Root, int X, int Y, TPopupAlignment Alignment = paLeft);

// The window of menu level Level (0 = the popup, 1 = its open sub-menu ...) while a menu is
// tracked, else null.
HWND GetMenuWindow(int Level);

// Makes TPopupMenu::Popup show the plain menu window and click the chosen item (through the
// menu's DispatchCommand) after it closes; false leaves Popup firing OnPopup only.
void UsePlainPopupMenus(bool Value);

// The window class of the menu windows.
constexpr const char* MenuWindowClassName = "#32768";

// What TPopupMenu::Popup calls after OnPopup: with UsePlainPopupMenus(true), tracks the menu
// and dispatches the chosen item's command; otherwise does nothing.
void ShowPlainPopupMenu(TPopupMenu* Menu, int X, int Y);
