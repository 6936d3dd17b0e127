// The window system's own menus. Windows keeps a standard edit menu with captions in the
// user's language; this system has none, so the lookup answers that it has no caption and
// callers keep their own texts.
#pragma once

#include "platform/rtl/System.h"
#include "platform/rtl/WinTypes.h"

// The caption of the system edit menu's item for Command (WM_UNDO, WM_CUT, WM_COPY, WM_PASTE,
// WM_CLEAR, EM_SETSEL for "select all"), at most MaxLength characters; false when the system
// has no such menu or item.
bool GetSystemEditMenuString(UINT Command, String& Text, int MaxLength = 255);
