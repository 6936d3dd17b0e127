// Hidden utility windows: a tool window that lets a non-visual component receive window
// messages (posted from any thread) on the thread that made it, passed to one method of the
// component as a TMessage.
#pragma once

#include "platform/vcl/Controls.h"
#include "platform/vcl/Messages.h"
#include "platform/win/WinUser.h"

// The class name used when the caller gives none.
inline constexpr const char* XcDefaultUtilityWindowClass = "TPUtilWindowEx";

// Window extra bytes of a utility window: slot 0 holds the method (the address of a
// TWndMethod owned by the window), slot 1 is reserved for the method's object. Both stay 0
// when the window was made without a method.
constexpr int XcUtilityWindowMethodSlot = 0;
constexpr int XcUtilityWindowObjectSlot = static_cast<int>(sizeof(LONG_PTR));
constexpr int XcUtilityWindowExtraBytes = 2 * static_cast<int>(sizeof(LONG_PTR));

// Makes a hidden WS_EX_TOOLWINDOW / WS_POPUP window of the class (ClassName, or
// "TPUtilWindowEx" when empty), registering the class when it is missing or registered with
// another procedure than DefWindowProcA. With a Method, every message after creation goes to
// it (Result preset to 0, returned to the sender); the method hands the messages it does not
// handle to DefWindowProcA itself. Returns 0 when the window could not be made (GetLastError
// tells why); nothing is raised.
HWND CreateUtilityWindow(const String& ClassName, TWndMethod Method = nullptr);
// Destroys the window (the class stays registered).
void DestroyUtilityWindow(HWND Wnd);
// The procedure of a utility window that has a method.
LRESULT UtilityWindowProc(HWND Wnd, UINT Msg, WPARAM WParam, LPARAM LParam);
