// A file manager's drag, reduced to what a drop target sees: drags the given paths as a
// text/uri-list over one window and drops them there (XDND version 5).
//
//   qv_xdnddrag DISPLAY TARGET-WINDOW-ID PATH...
//
// Every byte of a path outside the URI's unreserved set and "/" travels percent-encoded. The
// exit code is 0 when the target took the drop (XdndFinished with success), 2 when it refused
// it, 3 when it did not answer in time, 1 on bad use.
#include <X11/Xatom.h>
#include <X11/Xlib.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

std::string FileUri(const std::string& Path)
{
  static const char Hex[] = "0123456789ABCDEF";
  std::string Uri = "file://";
  for (unsigned char C : Path) {
    const bool Plain = (C >= 'a' && C <= 'z') || (C >= 'A' && C <= 'Z') || (C >= '0' && C <= '9') || C == '-' ||
                       C == '_' || C == '.' || C == '~' || C == '/';
    if (Plain) {
      Uri += static_cast<char>(C);
    } else {
      Uri += '%';
      Uri += Hex[C >> 4];
      Uri += Hex[C & 15];
    }
  }
  return Uri;
}

void Send(Display* D, Window To, Atom Type, long L0, long L1, long L2, long L3, long L4)
{
  XEvent Ev{};
  Ev.xclient.type = ClientMessage;
  Ev.xclient.display = D;
  Ev.xclient.window = To;
  Ev.xclient.message_type = Type;
  Ev.xclient.format = 32;
  Ev.xclient.data.l[0] = L0;
  Ev.xclient.data.l[1] = L1;
  Ev.xclient.data.l[2] = L2;
  Ev.xclient.data.l[3] = L3;
  Ev.xclient.data.l[4] = L4;
  XSendEvent(D, To, False, NoEventMask, &Ev);
  XFlush(D);
}

}  // namespace

int main(int argc, char** argv)
{
  if (argc < 4) {
    std::fprintf(stderr, "usage: qv_xdnddrag DISPLAY TARGET-WINDOW-ID PATH...\n");
    return 1;
  }
  Display* D = XOpenDisplay(argv[1]);
  if (!D) {
    std::fprintf(stderr, "qv_xdnddrag: cannot open %s\n", argv[1]);
    return 1;
  }
  const Window Target = static_cast<Window>(std::strtoul(argv[2], nullptr, 0));
  std::string List;
  for (int I = 3; I < argc; ++I) List += FileUri(argv[I]) + "\r\n";

  const Atom DndEnter = XInternAtom(D, "XdndEnter", False),
             DndPosition = XInternAtom(D, "XdndPosition", False), DndStatus = XInternAtom(D, "XdndStatus", False),
             DndDrop = XInternAtom(D, "XdndDrop", False), DndFinished = XInternAtom(D, "XdndFinished", False),
             DndSelection = XInternAtom(D, "XdndSelection", False), DndTypeList = XInternAtom(D, "XdndTypeList", False),
             DndCopy = XInternAtom(D, "XdndActionCopy", False), DndUriList = XInternAtom(D, "text/uri-list", False),
             DndPlain = XInternAtom(D, "text/plain", False);
  const Window Source = XCreateSimpleWindow(D, DefaultRootWindow(D), 0, 0, 1, 1, 0, 0, 0);
  // More than three types: the target has to read them from the source's type list.
  const Atom Types[] = {DndPlain, XInternAtom(D, "UTF8_STRING", False), XInternAtom(D, "STRING", False), DndUriList};
  XChangeProperty(D, Source, DndTypeList, XA_ATOM, 32, PropModeReplace, reinterpret_cast<const unsigned char*>(Types), 4);
  XSetSelectionOwner(D, DndSelection, Source, CurrentTime);

  int RootX = 0, RootY = 0;
  Window Child = 0;
  XTranslateCoordinates(D, Target, DefaultRootWindow(D), 20, 20, &RootX, &RootY, &Child);
  Send(D, Target, DndEnter, static_cast<long>(Source), (5L << 24) | 1, 0, 0, 0);
  Send(D, Target, DndPosition, static_cast<long>(Source), 0, (static_cast<long>(RootX) << 16) | RootY, CurrentTime,
       static_cast<long>(DndCopy));

  const auto End = std::chrono::steady_clock::now() + std::chrono::seconds(15);
  bool Dropped = false;
  while (std::chrono::steady_clock::now() < End) {
    if (!XPending(D)) {
      struct timespec Nap{0, 10'000'000};
      nanosleep(&Nap, nullptr);
      continue;
    }
    XEvent Ev;
    XNextEvent(D, &Ev);
    if (Ev.type == ClientMessage && Ev.xclient.message_type == DndStatus && !Dropped) {
      if (!(Ev.xclient.data.l[1] & 1)) {
        Send(D, Target, XInternAtom(D, "XdndLeave", False), static_cast<long>(Source), 0, 0, 0, 0);
        return 2;
      }
      Dropped = true;
      Send(D, Target, DndDrop, static_cast<long>(Source), 0, CurrentTime, 0, 0);
    } else if (Ev.type == SelectionRequest) {
      const XSelectionRequestEvent& R = Ev.xselectionrequest;
      XEvent Reply{};
      Reply.xselection.type = SelectionNotify;
      Reply.xselection.display = D;
      Reply.xselection.requestor = R.requestor;
      Reply.xselection.selection = R.selection;
      Reply.xselection.target = R.target;
      Reply.xselection.time = R.time;
      Reply.xselection.property = None;
      if (R.selection == DndSelection && R.target == DndUriList && R.property != None) {
        XChangeProperty(D, R.requestor, R.property, DndUriList, 8, PropModeReplace,
                        reinterpret_cast<const unsigned char*>(List.data()), static_cast<int>(List.size()));
        Reply.xselection.property = R.property;
      }
      XSendEvent(D, R.requestor, False, NoEventMask, &Reply);
      XFlush(D);
    } else if (Ev.type == ClientMessage && Ev.xclient.message_type == DndFinished) {
      const int Code = (Ev.xclient.data.l[1] & 1) ? 0 : 2;
      XCloseDisplay(D);
      return Code;
    }
  }
  std::fprintf(stderr, "qv_xdnddrag: the target did not finish the drop\n");
  return 3;
}
