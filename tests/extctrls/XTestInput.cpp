#include "XTestInput.h"

#include <X11/Xlib.h>
#include <X11/extensions/XTest.h>
#include <X11/keysym.h>

namespace {
Display* X(void* D) { return static_cast<Display*>(D); }
}  // namespace

TXTestInput::TXTestInput(const char* Server) : FDisplay(XOpenDisplay(Server)) {}

TXTestInput::~TXTestInput()
{
  if (FDisplay) XCloseDisplay(X(FDisplay));
}

void TXTestInput::Key(const char* Name, unsigned Modifiers)
{
  Display* D = X(FDisplay);
  if (!D) return;
  const KeyCode Code = XKeysymToKeycode(D, XStringToKeysym(Name));
  if (Code == 0) return;
  const KeyCode Mods[] = {XKeysymToKeycode(D, XK_Shift_L), XKeysymToKeycode(D, XK_Control_L)};
  const unsigned Bits[] = {Shift, Control};
  for (int I = 0; I < 2; ++I)
    if (Modifiers & Bits[I]) XTestFakeKeyEvent(D, Mods[I], True, 0);
  XTestFakeKeyEvent(D, Code, True, 0);
  XTestFakeKeyEvent(D, Code, False, 0);
  for (int I = 1; I >= 0; --I)
    if (Modifiers & Bits[I]) XTestFakeKeyEvent(D, Mods[I], False, 0);
  XFlush(D);
}

void TXTestInput::Click(int Xp, int Yp, int Button, unsigned Modifiers)
{
  Display* D = X(FDisplay);
  if (!D) return;
  const KeyCode Mods[] = {XKeysymToKeycode(D, XK_Shift_L), XKeysymToKeycode(D, XK_Control_L)};
  const unsigned Bits[] = {Shift, Control};
  XTestFakeMotionEvent(D, -1, Xp, Yp, 0);
  for (int I = 0; I < 2; ++I)
    if (Modifiers & Bits[I]) XTestFakeKeyEvent(D, Mods[I], True, 0);
  XTestFakeButtonEvent(D, static_cast<unsigned>(Button), True, 0);
  XTestFakeButtonEvent(D, static_cast<unsigned>(Button), False, 0);
  for (int I = 1; I >= 0; --I)
    if (Modifiers & Bits[I]) XTestFakeKeyEvent(D, Mods[I], False, 0);
  XFlush(D);
}
