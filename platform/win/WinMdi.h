// Multiple-document windows: the "MDICLIENT" window class that holds the document (child) windows
// of a frame window, and the default procedures of the frame and of the children.
//
// A frame makes its client with CreateWindowExA(0, "MDICLIENT", ..., WS_CHILD | ..., Frame, ...,
// &ClientCreate) (a CLIENTCREATESTRUCT, may be null); the class is there without registration.
// Children are made by WM_MDICREATE to the client (an MDICREATESTRUCTA), or by CreateWindowExA
// with WS_EX_MDICHILD and the client as parent; either way they get WS_CHILD | WS_CLIPSIBLINGS,
// keep the styles asked for, take the ids idFirstChild, idFirstChild + 1, ... in creation order
// (renumbered when one goes), and a visible child becomes the active one.
//
// Contract kept for callers:
// - At most one child is active. Activation (WM_MDIACTIVATE, a press into a child, showing a
//   child, WM_MDINEXT) sends WM_NCACTIVATE FALSE and WM_MDIACTIVATE (WParam the child losing,
//   LParam the child gaining) to the old child, then brings the new one to the top and sends it
//   WM_NCACTIVATE TRUE and the same WM_MDIACTIVATE. A hidden, disabled-for-good or destroyed
//   active child hands over to the next visible child in z-order (or to none).
// - WM_MDINEXT (WParam the child, 0 for the active one; LParam 0) activates the child behind it
//   and sends it to the bottom; with LParam non-zero it activates the bottom-most child, so that
//   "previous" undoes "next".
// - A maximised child fills the client area with its frame outside it; while the active child is
//   maximised the frame's text reads "<frame title> - [<child text>]" (DefFrameProcA keeps the
//   title that WM_SETTEXT gives the frame). Activating another child while one is maximised
//   maximises the new one and restores the old one.
// - WM_MDITILE, WM_MDICASCADE and WM_MDIICONARRANGE are answered with FALSE and arrange nothing.
// GUI thread only.
#pragma once

#include <vector>

#include "platform/win/WinUser.h"

struct CLIENTCREATESTRUCT {
  HANDLE hWindowMenu = nullptr;
  UINT idFirstChild = 0;
};

struct MDICREATESTRUCTA {
  LPCSTR szClass = nullptr;
  LPCSTR szTitle = nullptr;
  HANDLE hOwner = nullptr;
  int x = 0;
  int y = 0;
  int cx = 0;
  int cy = 0;
  DWORD style = 0;
  LPARAM lParam = 0;
};

constexpr DWORD MDIS_ALLCHILDSTYLES = 0x0001;

// The frame's default procedure: WM_SETTEXT keeps the title (merged with a maximised child's
// text), WM_SIZE fills the client with the client window, WM_NCACTIVATE reaches the active child,
// WM_SETFOCUS goes to the active child, WM_COMMAND with a child's id activates it,
// SC_NEXTWINDOW/SC_PREVWINDOW move through the children. Client may be null.
LRESULT DefFrameProcA(HWND Frame, HWND Client, UINT Msg, WPARAM WParam, LPARAM LParam);
// A child's default procedure: activation on WM_CHILDACTIVATE and on being shown, hand-over on
// being hidden, WM_CLOSE as WM_MDIDESTROY, SC_NEXTWINDOW/SC_PREVWINDOW, the frame's merged text
// on WM_SETTEXT and on maximise and restore.
LRESULT DefMDIChildProcA(HWND Child, UINT Msg, WPARAM WParam, LPARAM LParam);
// Ctrl+F4 closes (SC_CLOSE), Ctrl+F6 / Ctrl+Tab and with Shift the previous one move through the
// children of Client; answers TRUE when Msg was such a key (it is then handled).
BOOL TranslateMDISysAccel(HWND Client, MSG* Msg);

// The window list of a client: its children in creation order (their ids ascending). Empty for
// a window that is not an MDI client.
std::vector<HWND> GetMDIChildWindows(HWND Client);
// Whether Wnd is a window of the "MDICLIENT" class.
bool IsMDIClientWindow(HWND Wnd);

inline LRESULT DefFrameProc(HWND F, HWND C, UINT M, WPARAM W, LPARAM L) { return DefFrameProcA(F, C, M, W, L); }
inline LRESULT DefMDIChildProc(HWND C, UINT M, WPARAM W, LPARAM L) { return DefMDIChildProcA(C, M, W, L); }
