// The "msctls_trackbar32" window class: a slider with range, page and line sizes, tick marks,
// a selection range and an optional position tip while the thumb is dragged. The user's moves
// reach the parent as WM_HSCROLL (WM_VSCROLL for TBS_VERT) with the TB_ codes.
#pragma once

#include "platform/vcl/ListCtrlsConsts.h"

// Registers the class once; true when it is registered.
bool RegisterTrackBarClass();
