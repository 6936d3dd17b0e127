// The "SCROLLBAR" window class: a scroll bar control (SBS_HORZ / SBS_VERT) with SBM_ messages
// that reports the user's scrolling to its parent as WM_HSCROLL / WM_VSCROLL.
#pragma once

#include "platform/vcl/ListCtrlsConsts.h"

// Registers the class once; true when it is registered.
bool RegisterScrollBarClass();
