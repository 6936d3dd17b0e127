// The standard edit window class "EDIT": single- and multi-line text editing with caret,
// selection by mouse and keys, clipboard, one-level undo, read-only and password modes, a text
// limit, alignment, word wrap, a formatting rectangle with margins, and scroll state kept in the
// window's scroll information (so that a control hiding the system bars can still read it).
// The parent gets EN_ notifications through WM_COMMAND and is asked for the colours with
// WM_CTLCOLOREDIT (WM_CTLCOLORSTATIC when read-only or disabled); a transparent background mode
// with the stock NULL_BRUSH makes the edit draw only its glyphs over what the DC already holds.
//
// Text is bytes (UTF-8, with stray bytes standing for themselves); positions are byte offsets
// and the caret never stops inside a character. Lines of a multi-line edit end with CR LF (a
// lone LF also ends a line). The window has no menu of its own: WM_CONTEXTMENU is left to the
// parent and the control library.
#pragma once

#include "platform/vcl/StdCtrlsConsts.h"
#include "platform/win/WinUser.h"

// The window procedure of the "EDIT" class.
LRESULT EditWndProc(HWND Wnd, UINT Msg, WPARAM WParam, LPARAM LParam);
// Registers the "EDIT" class (once; later calls do nothing). Answers false when the window
// system refused the class.
bool RegisterEditClass();
