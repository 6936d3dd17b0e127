// Test helper: a tiny window manager on the X display of $DISPLAY that only moves and sizes.
//   qv_movewm
// It announces itself (_NET_SUPPORTING_WM_CHECK, and _NET_SUPPORTED listing _NET_WM_MOVERESIZE),
// maps and configures windows as they ask (no frames, no reparenting), and runs the move or size
// a client asks for with a _NET_WM_MOVERESIZE message: it grabs the pointer and moves or sizes
// the window after it, within the window's minimum and maximum size hints, until the button is
// released. It prints on stdout:
//   ready                          once it manages the screen
//   moveresize <direction>         a move (8) or size (0..7) began
//   done <x> <y> <width> <height>  it ended, with the window's bounds
// and exits at the end of its input. Exit code 0, 2 when the display cannot be opened or another
// window manager runs.
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <poll.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <string>

namespace {

Display* D = nullptr;
bool OtherWm = false;

int OnError(Display*, XErrorEvent*) { return 0; }
int OnStartError(Display*, XErrorEvent* E)
{
  if (E->error_code == BadAccess)
    OtherWm = true;
  return 0;
}

void Say(const std::string& Line)
{
  std::printf("%s\n", Line.c_str());
  std::fflush(stdout);
}

struct TGeometry {
  int X = 0, Y = 0, W = 1, H = 1;
};

TGeometry GeometryOf(Window W)
{
  TGeometry g;
  Window root, child;
  unsigned w = 1, h = 1, border = 0, depth = 0;
  int x = 0, y = 0;
  if (XGetGeometry(D, W, &root, &x, &y, &w, &h, &border, &depth)) {
    XTranslateCoordinates(D, W, root, 0, 0, &g.X, &g.Y, &child);
    g.W = static_cast<int>(w);
    g.H = static_cast<int>(h);
  }
  return g;
}

// Follows the pointer until the button goes up: Direction 8 moves, 0..7 size from that edge.
void MoveResize(Window W, int Direction, int StartX, int StartY)
{
  Window root = DefaultRootWindow(D);
  Say("moveresize " + std::to_string(Direction));
  const TGeometry start = GeometryOf(W);
  XSizeHints hints{};
  long supplied = 0;
  XGetWMNormalHints(D, W, &hints, &supplied);
  const int minW = (hints.flags & PMinSize) ? std::max(1, hints.min_width) : 1;
  const int minH = (hints.flags & PMinSize) ? std::max(1, hints.min_height) : 1;
  const int maxW = (hints.flags & PMaxSize) ? hints.max_width : 32767;
  const int maxH = (hints.flags & PMaxSize) ? hints.max_height : 32767;
  bool grabbed = false;
  for (int i = 0; i < 100 && !grabbed; ++i) {
    grabbed = XGrabPointer(D, root, False, ButtonReleaseMask | PointerMotionMask, GrabModeAsync, GrabModeAsync,
                           None, None, CurrentTime) == GrabSuccess;
    if (!grabbed)
      usleep(5000);
  }
  if (!grabbed)
    return;
  TGeometry g = start;
  for (;;) {
    XEvent ev;
    XNextEvent(D, &ev);
    if (ev.type != MotionNotify && ev.type != ButtonRelease)
      continue;
    const int px = ev.type == MotionNotify ? ev.xmotion.x_root : ev.xbutton.x_root;
    const int py = ev.type == MotionNotify ? ev.xmotion.y_root : ev.xbutton.y_root;
    const int dx = px - StartX, dy = py - StartY;
    g = start;
    if (Direction == 8) {
      g.X += dx;
      g.Y += dy;
    } else {
      const bool left = Direction == 0 || Direction == 6 || Direction == 7;
      const bool right = Direction == 2 || Direction == 3 || Direction == 4;
      const bool top = Direction == 0 || Direction == 1 || Direction == 2;
      const bool bottom = Direction == 4 || Direction == 5 || Direction == 6;
      if (left)
        g.W = std::clamp(start.W - dx, minW, maxW), g.X = start.X + start.W - g.W;
      if (right)
        g.W = std::clamp(start.W + dx, minW, maxW);
      if (top)
        g.H = std::clamp(start.H - dy, minH, maxH), g.Y = start.Y + start.H - g.H;
      if (bottom)
        g.H = std::clamp(start.H + dy, minH, maxH);
    }
    XMoveResizeWindow(D, W, g.X, g.Y, static_cast<unsigned>(g.W), static_cast<unsigned>(g.H));
    XFlush(D);
    if (ev.type == ButtonRelease)
      break;
  }
  XUngrabPointer(D, CurrentTime);
  XFlush(D);
  Say("done " + std::to_string(g.X) + " " + std::to_string(g.Y) + " " + std::to_string(g.W) + " " +
      std::to_string(g.H));
}

} // namespace

int main()
{
  D = XOpenDisplay(nullptr);
  if (!D)
    return 2;
  Window root = DefaultRootWindow(D);
  XSetErrorHandler(OnStartError);
  XSelectInput(D, root, SubstructureRedirectMask | SubstructureNotifyMask);
  XSync(D, False);
  if (OtherWm)
    return 2;
  XSetErrorHandler(OnError);
  const Atom check = XInternAtom(D, "_NET_SUPPORTING_WM_CHECK", False);
  const Atom supported = XInternAtom(D, "_NET_SUPPORTED", False);
  const Atom moveResize = XInternAtom(D, "_NET_WM_MOVERESIZE", False);
  Window self = XCreateSimpleWindow(D, root, -10, -10, 1, 1, 0, 0, 0);
  XChangeProperty(D, self, check, XA_WINDOW, 32, PropModeReplace, reinterpret_cast<unsigned char*>(&self), 1);
  XChangeProperty(D, root, check, XA_WINDOW, 32, PropModeReplace, reinterpret_cast<unsigned char*>(&self), 1);
  Atom list[] = {check, moveResize};
  XChangeProperty(D, root, supported, XA_ATOM, 32, PropModeReplace, reinterpret_cast<unsigned char*>(list), 2);
  XSync(D, False);
  Say("ready");

  pollfd fds[2] = {{ConnectionNumber(D), POLLIN, 0}, {0, POLLIN, 0}};
  for (;;) {
    while (XPending(D)) {
      XEvent ev;
      XNextEvent(D, &ev);
      if (ev.type == MapRequest) {
        XMapWindow(D, ev.xmaprequest.window);
      } else if (ev.type == ConfigureRequest) {
        XWindowChanges changes{};
        changes.x = ev.xconfigurerequest.x;
        changes.y = ev.xconfigurerequest.y;
        changes.width = ev.xconfigurerequest.width;
        changes.height = ev.xconfigurerequest.height;
        changes.border_width = ev.xconfigurerequest.border_width;
        changes.sibling = ev.xconfigurerequest.above;
        changes.stack_mode = ev.xconfigurerequest.detail;
        XConfigureWindow(D, ev.xconfigurerequest.window, static_cast<unsigned>(ev.xconfigurerequest.value_mask),
                         &changes);
      } else if (ev.type == ClientMessage && ev.xclient.message_type == moveResize) {
        MoveResize(ev.xclient.window, static_cast<int>(ev.xclient.data.l[2]), static_cast<int>(ev.xclient.data.l[0]),
                   static_cast<int>(ev.xclient.data.l[1]));
      }
    }
    XFlush(D);
    if (poll(fds, 2, -1) < 0)
      break;
    if (fds[1].revents & (POLLIN | POLLHUP)) {
      char buffer[64];
      if (read(0, buffer, sizeof buffer) <= 0)
        break;
    }
  }
  XCloseDisplay(D);
  return 0;
}
