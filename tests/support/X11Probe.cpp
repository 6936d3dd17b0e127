#include "tests/support/X11Probe.h"

#include <X11/Xlib.h>
#include <X11/extensions/XTest.h>
#include <X11/keysym.h>
#include <X11/extensions/shape.h>

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

void TX11Probe::KeyTap(unsigned long KeySym, bool WithAlt)
{
  Display* d = X(FDisplay);
  const KeyCode alt = XKeysymToKeycode(d, XK_Alt_L);
  const KeyCode key = XKeysymToKeycode(d, KeySym);
  if (WithAlt)
    XTestFakeKeyEvent(d, alt, True, 0);
  XTestFakeKeyEvent(d, key, True, 0);
  XTestFakeKeyEvent(d, key, False, 0);
  if (WithAlt)
    XTestFakeKeyEvent(d, alt, False, 0);
  XFlush(d);
}

void TX11Probe::Press(int Button)
{
  XTestFakeButtonEvent(X(FDisplay), static_cast<unsigned>(Button), True, 0);
  XFlush(X(FDisplay));
}

void TX11Probe::Release(int Button)
{
  XTestFakeButtonEvent(X(FDisplay), static_cast<unsigned>(Button), False, 0);
  XFlush(X(FDisplay));
}

bool TX11Probe::Bounds(std::uint64_t Window, int& Left, int& Top, int& Right, int& Bottom)
{
  Display* d = X(FDisplay);
  XWindowAttributes a{};
  if (!XGetWindowAttributes(d, static_cast<::Window>(Window), &a))
    return false;
  ::Window child;
  XTranslateCoordinates(d, static_cast<::Window>(Window), DefaultRootWindow(d), 0, 0, &Left, &Top, &child);
  Right = Left + a.width;
  Bottom = Top + a.height;
  return true;
}

bool TX11Probe::Shape(std::uint64_t Window, std::vector<int>& Rects)
{
  Display* d = X(FDisplay);
  Bool bounding = False, clip = False;
  int bx, by, cx, cy;
  unsigned bw, bh, cw, ch;
  if (!XShapeQueryExtents(d, static_cast<::Window>(Window), &bounding, &bx, &by, &bw, &bh, &clip, &cx, &cy, &cw, &ch) ||
      !bounding)
    return false;
  int count = 0, ordering = 0;
  XRectangle* r = XShapeGetRectangles(d, static_cast<::Window>(Window), ShapeBounding, &count, &ordering);
  Rects.clear();
  for (int i = 0; i < count; ++i) {
    Rects.push_back(r[i].x);
    Rects.push_back(r[i].y);
    Rects.push_back(r[i].x + r[i].width);
    Rects.push_back(r[i].y + r[i].height);
  }
  if (r)
    XFree(r);
  return true;
}
