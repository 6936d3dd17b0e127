// Test helper: fills an X window, given by its id, with one colour, as a video player drawing
// into a window it was handed would.
//   qv_x11fill <window id> <rrggbb>      (the X display comes from $DISPLAY)
// Exit code 0 when the window was filled, 1 on bad arguments, 2 when the display or the window
// is not there.
#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <cstdio>
#include <cstdlib>

namespace {

int Failed = 0;

int OnError(Display*, XErrorEvent*)
{
  Failed = 1;
  return 0;
}

int LowBit(unsigned long Mask)
{
  int n = 0;
  while (Mask && !(Mask & 1)) {
    Mask >>= 1;
    ++n;
  }
  return n;
}

unsigned long Place(unsigned long Value8, unsigned long Mask)
{
  int bits = 0;
  for (unsigned long m = Mask >> LowBit(Mask); m; m >>= 1)
    bits += m & 1;
  unsigned long v = bits >= 8 ? Value8 << (bits - 8) : Value8 >> (8 - bits);
  return (v << LowBit(Mask)) & Mask;
}

} // namespace

int main(int argc, char** argv)
{
  if (argc != 3) {
    std::fprintf(stderr, "usage: qv_x11fill <window id> <rrggbb>\n");
    return 1;
  }
  char* end = nullptr;
  unsigned long id = std::strtoul(argv[1], &end, 0);
  if (!end || *end || id == 0) {
    std::fprintf(stderr, "qv_x11fill: bad window id \"%s\"\n", argv[1]);
    return 1;
  }
  unsigned long rgb = std::strtoul(argv[2], &end, 16);
  if (!end || *end || rgb > 0xFFFFFF) {
    std::fprintf(stderr, "qv_x11fill: bad colour \"%s\"\n", argv[2]);
    return 1;
  }
  Display* display = XOpenDisplay(nullptr);
  if (!display) {
    std::fprintf(stderr, "qv_x11fill: cannot open the display\n");
    return 2;
  }
  XSetErrorHandler(OnError);
  Window window = static_cast<Window>(id);
  XWindowAttributes attrs;
  if (!XGetWindowAttributes(display, window, &attrs) || Failed) {
    std::fprintf(stderr, "qv_x11fill: no window 0x%lx\n", id);
    XCloseDisplay(display);
    return 2;
  }
  const Visual* v = attrs.visual;
  unsigned long pixel = Place((rgb >> 16) & 0xFF, v->red_mask) | Place((rgb >> 8) & 0xFF, v->green_mask) |
                        Place(rgb & 0xFF, v->blue_mask);
  if (attrs.depth == 32)
    pixel |= ~(v->red_mask | v->green_mask | v->blue_mask) & 0xFFFFFFFFul;
  XGCValues values;
  values.foreground = pixel;
  GC gc = XCreateGC(display, window, GCForeground, &values);
  XFillRectangle(display, window, gc, 0, 0, static_cast<unsigned>(attrs.width), static_cast<unsigned>(attrs.height));
  XFreeGC(display, gc);
  XSync(display, False);
  int result = Failed ? 2 : 0;
  XCloseDisplay(display);
  return result;
}
