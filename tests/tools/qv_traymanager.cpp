// Test helper: a tiny notification area (system tray manager) on the X display of $DISPLAY.
//   qv_traymanager
// It owns the _NET_SYSTEM_TRAY_S<screen> selection with a 200 x 32 window at the top left of
// the screen, takes icons that ask with SYSTEM_TRAY_REQUEST_DOCK (reparents, sizes 24 x 24 and
// maps them, left to right) and prints on stdout:
//   ready                      once the selection is owned
//   docked <window id>         an icon was taken
//   gone <window id>           a docked icon was destroyed
// and obeys lines on stdin (answering "ok" or "error <what>"):
//   click <button> <n>         moves the pointer onto the last docked icon and sends it n
//                              presses and releases of button 1, 2 or 3 (n 2: a double click)
//   hover                      moves the pointer onto the last docked icon
//   away                       moves the pointer off the tray
//   pixel                      prints "pixel rrggbb" of the middle of the last docked icon
//   quit                       exits (end of input too)
// Exit code 0 at the end, 2 when the display cannot be opened or the selection is taken.
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <poll.h>
#include <unistd.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

namespace {

Display* D = nullptr;
Window Tray = 0;
std::vector<Window> Icons;

int OnError(Display*, XErrorEvent*) { return 0; }

void Say(const std::string& Line)
{
  std::printf("%s\n", Line.c_str());
  std::fflush(stdout);
}

void Button(Window Icon, unsigned Number, bool Press)
{
  int rx = 0, ry = 0;
  Window child;
  XTranslateCoordinates(D, Icon, DefaultRootWindow(D), 12, 12, &rx, &ry, &child);
  XEvent ev{};
  ev.xbutton.type = Press ? ButtonPress : ButtonRelease;
  ev.xbutton.display = D;
  ev.xbutton.window = Icon;
  ev.xbutton.root = DefaultRootWindow(D);
  ev.xbutton.subwindow = None;
  ev.xbutton.time = CurrentTime;
  ev.xbutton.x = 12;
  ev.xbutton.y = 12;
  ev.xbutton.x_root = rx;
  ev.xbutton.y_root = ry;
  ev.xbutton.state = Press ? 0 : (Button1Mask << (Number - 1));
  ev.xbutton.button = Number;
  ev.xbutton.same_screen = True;
  XSendEvent(D, Icon, True, Press ? ButtonPressMask : ButtonReleaseMask, &ev);
}

void Hover(Window Icon)
{
  XWarpPointer(D, None, Icon, 0, 0, 0, 0, 12, 12);
  int rx = 0, ry = 0;
  Window child;
  XTranslateCoordinates(D, Icon, DefaultRootWindow(D), 12, 12, &rx, &ry, &child);
  XEvent ev{};
  ev.xmotion.type = MotionNotify;
  ev.xmotion.display = D;
  ev.xmotion.window = Icon;
  ev.xmotion.root = DefaultRootWindow(D);
  ev.xmotion.time = CurrentTime;
  ev.xmotion.x = 12;
  ev.xmotion.y = 12;
  ev.xmotion.x_root = rx;
  ev.xmotion.y_root = ry;
  ev.xmotion.same_screen = True;
  XSendEvent(D, Icon, True, PointerMotionMask, &ev);
}

void Command(const std::string& Line)
{
  char verb[32] = {};
  unsigned a = 0, b = 0;
  const int n = std::sscanf(Line.c_str(), "%31s %u %u", verb, &a, &b);
  const std::string v = n >= 1 ? verb : "";
  if (v == "quit")
    _exit(0);
  if (Icons.empty()) {
    Say("error no icon");
    return;
  }
  const Window icon = Icons.back();
  if (v == "click" && n == 3 && a >= 1 && a <= 3) {
    Hover(icon);
    for (unsigned i = 0; i < b; ++i) {
      Button(icon, a, true);
      Button(icon, a, false);
    }
  } else if (v == "hover") {
    Hover(icon);
  } else if (v == "away") {
    XWarpPointer(D, None, DefaultRootWindow(D), 0, 0, 0, 0, 600, 400);
  } else if (v == "pixel") {
    XSync(D, False);
    XImage* image = XGetImage(D, icon, 12, 12, 1, 1, AllPlanes, ZPixmap);
    if (!image) {
      Say("error no image");
      return;
    }
    char text[32];
    std::snprintf(text, sizeof text, "pixel %06lx", XGetPixel(image, 0, 0) & 0xFFFFFF);
    XDestroyImage(image);
    Say(text);
  } else {
    Say("error bad command");
    return;
  }
  XSync(D, False);
  Say("ok");
}

} // namespace

int main()
{
  D = XOpenDisplay(nullptr);
  if (!D)
    return 2;
  XSetErrorHandler(OnError);
  const int screen = DefaultScreen(D);
  const Window root = RootWindow(D, screen);
  XSetWindowAttributes a{};
  a.override_redirect = True;
  a.background_pixel = 0x303030;
  a.event_mask = SubstructureNotifyMask;
  Tray = XCreateWindow(D, root, 0, 0, 200, 32, 0, CopyFromParent, InputOutput, CopyFromParent,
                       CWOverrideRedirect | CWBackPixel | CWEventMask, &a);
  XMapWindow(D, Tray);
  const std::string selectionName = "_NET_SYSTEM_TRAY_S" + std::to_string(screen);
  const Atom selection = XInternAtom(D, selectionName.c_str(), False);
  const Atom opcode = XInternAtom(D, "_NET_SYSTEM_TRAY_OPCODE", False);
  const Atom manager = XInternAtom(D, "MANAGER", False);
  if (XGetSelectionOwner(D, selection) != None)
    return 2;
  XSetSelectionOwner(D, selection, Tray, CurrentTime);
  if (XGetSelectionOwner(D, selection) != Tray)
    return 2;
  XEvent announce{};
  announce.xclient.type = ClientMessage;
  announce.xclient.window = root;
  announce.xclient.message_type = manager;
  announce.xclient.format = 32;
  announce.xclient.data.l[0] = CurrentTime;
  announce.xclient.data.l[1] = static_cast<long>(selection);
  announce.xclient.data.l[2] = static_cast<long>(Tray);
  XSendEvent(D, root, False, StructureNotifyMask, &announce);
  XSync(D, False);
  Say("ready");

  std::string input;
  for (;;) {
    while (XPending(D)) {
      XEvent ev;
      XNextEvent(D, &ev);
      if (ev.type == ClientMessage && ev.xclient.message_type == opcode && ev.xclient.data.l[1] == 0) {
        const Window icon = static_cast<Window>(ev.xclient.data.l[2]);
        const int x = 4 + 28 * static_cast<int>(Icons.size());
        XSelectInput(D, icon, StructureNotifyMask);
        XReparentWindow(D, icon, Tray, x, 4);
        XResizeWindow(D, icon, 24, 24);
        XMapWindow(D, icon);
        XSync(D, False);
        Icons.push_back(icon);
        Say("docked " + std::to_string(icon));
      } else if (ev.type == DestroyNotify) {
        for (auto it = Icons.begin(); it != Icons.end(); ++it)
          if (*it == ev.xdestroywindow.window) {
            Say("gone " + std::to_string(*it));
            Icons.erase(it);
            break;
          }
      }
    }
    pollfd fds[2] = {{ConnectionNumber(D), POLLIN, 0}, {0, POLLIN, 0}};
    if (poll(fds, 2, 100) < 0)
      continue;
    if (fds[1].revents & (POLLIN | POLLHUP)) {
      char buffer[256];
      const ssize_t got = read(0, buffer, sizeof buffer);
      if (got <= 0)
        return 0;
      input.append(buffer, static_cast<size_t>(got));
      size_t end;
      while ((end = input.find('\n')) != std::string::npos) {
        const std::string line = input.substr(0, end);
        input.erase(0, end + 1);
        Command(line);
      }
    }
  }
}
