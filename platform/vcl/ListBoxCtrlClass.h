// The "LISTBOX" window class: a list of strings (or owner-drawn items) with single, multiple or
// extended selection, one or many columns, LB_ messages and LBN_ notifications to the parent.
// An owner-drawn list asks its parent to draw every item (WM_DRAWITEM); an empty one with the
// focus is asked for "no item" (itemID -1, ODA_FOCUS) so that the focus frame shows. The scroll
// state (nMin 0, nMax count - 1, nPage full rows, nPos the top index; all 0 when everything fits)
// is kept also when the window has no room for its bars.
#pragma once

#include "platform/vcl/ListCtrlsConsts.h"

// Registers the class once (later calls do nothing); true when it is registered.
bool RegisterListBoxClass();
