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
//
// What a subclass can rely on:
// - The clipboard and undo keys (Ctrl+C/V/X/Z, Shift+Delete, Shift+Insert, Ctrl+Insert) are sent
//   to the window itself as WM_COPY, WM_PASTE, WM_CUT and WM_UNDO, so one filter on those
//   messages governs the keys, the menus and the program alike.
// - The caret is made in WM_SETFOCUS and destroyed in WM_KILLFOCUS; afterwards the edit only
//   moves, hides and shows it, so a subclass may replace it after the default WM_SETFOCUS.
// - WM_PAINT with a DC in wParam paints into that DC without BeginPaint; the background is only
//   drawn in WM_ERASEBKGND (the brush from WM_CTLCOLOREDIT/WM_CTLCOLORSTATIC), so a subclass can
//   paint the background in its erase handler and let the edit draw the text over it.
// - EM_SETRECT/EM_SETRECTNP (multi-line windows) move the text; a rectangle equal to the current
//   one changes nothing. EM_POSFROMCHAR also answers for the position after the last character
//   (where the caret stands at the end of the text).
#pragma once

#include "platform/vcl/StdCtrlsConsts.h"
#include "platform/win/WinUser.h"

// The window procedure of the "EDIT" class.
LRESULT EditWndProc(HWND Wnd, UINT Msg, WPARAM WParam, LPARAM LParam);
// Registers the "EDIT" class (once; later calls do nothing). Answers false when the window
// system refused the class.
bool RegisterEditClass();
