// The "COMBOBOX" window class: a selection field (an edit with CBS_DROPDOWN, drawn text with
// CBS_DROPDOWNLIST) and a drop-down list in a popup window that never takes the focus. CB_
// messages, CBN_ notifications to the parent, owner-drawn items (ODT_COMBOBOX).
//
// Notifications of a drop-down: CBN_DROPDOWN before the list shows; accepting an item with the
// mouse or Enter sends CBN_SELCHANGE (when the selection changed), CBN_CLOSEUP, CBN_SELENDOK;
// closing without choosing (Esc, a press elsewhere, losing the focus) sends CBN_CLOSEUP,
// CBN_SELENDCANCEL. Arrow keys on a closed combo change the selection with CBN_SELCHANGE.
// CBS_SIMPLE behaves as CBS_DROPDOWN. CBS_UPPERCASE / CBS_LOWERCASE convert the text of the
// field and of every item added. CB_GETCOMBOBOXINFO (and GetComboBoxInfo) give the field and
// button rectangles and the windows of the inner edit and of the drop-down list, so that a
// control over the combo can subclass them.
#pragma once

#include "platform/vcl/ListCtrlsConsts.h"

// The id of the inner edit inside a CBS_DROPDOWN combo box.
constexpr int ComboEditId = 1001;

// Registers the class (and the class of its list) once; true when registered.
bool RegisterComboBoxClass();

// Fills Info (cbSize set by the caller) for the combo box Combo; FALSE for another window.
BOOL GetComboBoxInfo(HWND Combo, PCOMBOBOXINFO Info);
