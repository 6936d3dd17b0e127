#include "tests/skin/input/XTestKeys.h"

#include <X11/Xlib.h>
#include <X11/extensions/XTest.h>
#include <X11/keysym.h>

TXTestKeys::TXTestKeys(const char* Server) : FDisplay(XOpenDisplay(Server)) {}

TXTestKeys::~TXTestKeys()
{
  if (FDisplay)
    XCloseDisplay(static_cast<Display*>(FDisplay));
}

void TXTestKeys::Key(const char* Name, bool Shift)
{
  auto* x = static_cast<Display*>(FDisplay);
  if (!x)
    return;
  const KeyCode shift = XKeysymToKeycode(x, XK_Shift_L);
  const KeyCode code = XKeysymToKeycode(x, XStringToKeysym(Name));
  if (code == 0)
    return;
  if (Shift)
    XTestFakeKeyEvent(x, shift, True, 0);
  XTestFakeKeyEvent(x, code, True, 0);
  XTestFakeKeyEvent(x, code, False, 0);
  if (Shift)
    XTestFakeKeyEvent(x, shift, False, 0);
  XFlush(x);
}
