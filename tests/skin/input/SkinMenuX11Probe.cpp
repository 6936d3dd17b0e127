#include "tests/skin/input/SkinMenuX11Probe.h"

#include <X11/Xlib.h>
#include <X11/extensions/XTest.h>

namespace {
Display* X(void* D) { return static_cast<Display*>(D); }
} // namespace

TX11Probe::TX11Probe(const char* Server) : FDisplay(XOpenDisplay(Server)) {}

TX11Probe::~TX11Probe()
{
  if (FDisplay)
    XCloseDisplay(X(FDisplay));
}

bool TX11Probe::OverrideRedirect(std::uint64_t Window)
{
  XWindowAttributes a{};
  return XGetWindowAttributes(X(FDisplay), static_cast<::Window>(Window), &a) && a.override_redirect;
}

bool TX11Probe::Viewable(std::uint64_t Window)
{
  XWindowAttributes a{};
  return XGetWindowAttributes(X(FDisplay), static_cast<::Window>(Window), &a) && a.map_state == IsViewable;
}

bool TX11Probe::PointerGrabbedElsewhere()
{
  Display* d = X(FDisplay);
  const int result = XGrabPointer(d, DefaultRootWindow(d), False, ButtonPressMask, GrabModeAsync, GrabModeAsync, None,
                                  None, CurrentTime);
  if (result == GrabSuccess)
    XUngrabPointer(d, CurrentTime);
  XSync(d, False);
  return result == AlreadyGrabbed;
}

void TX11Probe::MoveTo(int Xp, int Yp)
{
  XTestFakeMotionEvent(X(FDisplay), 0, Xp, Yp, 0);
  XFlush(X(FDisplay));
}

void TX11Probe::Click(int Button)
{
  XTestFakeButtonEvent(X(FDisplay), static_cast<unsigned>(Button), True, 0);
  XTestFakeButtonEvent(X(FDisplay), static_cast<unsigned>(Button), False, 0);
  XFlush(X(FDisplay));
}
