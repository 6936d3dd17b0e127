// The X11 backend. Every top-level window of the window system is an undecorated X window
// showing the image last presented (kept here, so that exposed areas are put again without
// asking the window system). Input events become TDisplayEvents; the clipboard is the
// CLIPBOARD selection; files dropped with the XDND protocol become Drop events.
#include "platform/display/X11Display.h"

// Xlib defines FocusIn, FocusOut and Expose as macros: the event kinds of those names are
// taken before its headers come in.
namespace {
constexpr TDisplayEvent::TKind EventFocusIn = TDisplayEvent::FocusIn;
constexpr TDisplayEvent::TKind EventFocusOut = TDisplayEvent::FocusOut;
constexpr TDisplayEvent::TKind EventExpose = TDisplayEvent::Expose;
} // namespace

#include <X11/XKBlib.h>
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/cursorfont.h>
#include <X11/extensions/XShm.h>
#include <X11/extensions/Xrandr.h>
#include <X11/extensions/shape.h>
#include <poll.h>
#include <sys/epoll.h>
#include <sys/eventfd.h>
#include <sys/ipc.h>
#include <sys/shm.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <deque>
#include <map>
#include <mutex>
#include <set>

#include "platform/display/DisplayKeys.h"
#include "platform/display/UriList.h"
#include "platform/display/X11Keys.h"

using namespace DisplayKeys;

namespace {

// ---- X errors ----
// Xlib reports errors asynchronously through one process-wide handler. Calls that may fail for
// reasons outside our control (a window that another client destroyed, a focus change racing
// an unmap) run inside a TErrorTrap, which collects the error instead of printing it.
thread_local int TrapDepth = 0;
thread_local int TrapError = 0;

int HandleXError(Display* D, XErrorEvent* E)
{
  if (TrapDepth > 0) {
    if (TrapError == 0)
      TrapError = E->error_code;
    return 0;
  }
  char text[160] = {};
  XGetErrorText(D, E->error_code, text, sizeof text - 1);
  std::fprintf(stderr, "X11: %s (request %d.%d, resource 0x%lx)\n", text, E->request_code, E->minor_code,
               E->resourceid);
  return 0;
}

class TErrorTrap {
public:
  explicit TErrorTrap(Display* D) : FDisplay(D)
  {
    XSync(FDisplay, False);
    if (TrapDepth++ == 0)
      TrapError = 0;
  }
  ~TErrorTrap()
  {
    if (!FDone)
      Finish();
  }
  // Waits for the server's answer to everything sent so far; the first error code or 0.
  int Finish()
  {
    XSync(FDisplay, False);
    FDone = true;
    int error = TrapError;
    if (--TrapDepth == 0)
      TrapError = 0;
    return error;
  }

private:
  Display* FDisplay;
  bool FDone = false;
};

std::once_flag XlibSetUp;

DWORD Now() { return GetTickCount(); }

// The pixel layout of a visual with 32 bits per pixel: how to place 8-bit channels.
struct TPixelFormat {
  int RedShift = 16, GreenShift = 8, BlueShift = 0;
  int RedBits = 8, GreenBits = 8, BlueBits = 8;
  unsigned long AlphaMask = 0; // bits outside the colour masks in a 32-deep visual
  bool Direct = true;          // BGRA in memory order as it stands
};

int LowBit(unsigned long Mask)
{
  int n = 0;
  while (Mask && !(Mask & 1)) {
    Mask >>= 1;
    ++n;
  }
  return n;
}

int BitCount(unsigned long Mask)
{
  int n = 0;
  for (; Mask; Mask >>= 1)
    n += Mask & 1;
  return n;
}

TPixelFormat FormatOf(const Visual* V, int Depth)
{
  TPixelFormat f;
  f.RedShift = LowBit(V->red_mask);
  f.GreenShift = LowBit(V->green_mask);
  f.BlueShift = LowBit(V->blue_mask);
  f.RedBits = BitCount(V->red_mask);
  f.GreenBits = BitCount(V->green_mask);
  f.BlueBits = BitCount(V->blue_mask);
  if (Depth == 32)
    f.AlphaMask = ~(V->red_mask | V->green_mask | V->blue_mask) & 0xFFFFFFFFul;
  f.Direct = V->red_mask == 0xFF0000 && V->green_mask == 0xFF00 && V->blue_mask == 0xFF &&
             (Depth != 32 || f.AlphaMask == 0xFF000000ul);
  return f;
}

unsigned long Channel(unsigned Value8, int Shift, int Bits)
{
  return Bits >= 8 ? static_cast<unsigned long>(Value8) << (Shift + Bits - 8)
                   : static_cast<unsigned long>(Value8 >> (8 - Bits)) << Shift;
}

unsigned Channel8(unsigned long Pixel, int Shift, int Bits)
{
  if (Bits <= 0)
    return 0;
  unsigned long v = (Pixel >> Shift) & ((1ul << Bits) - 1);
  if (Bits >= 8)
    return static_cast<unsigned>(v >> (Bits - 8));
  return static_cast<unsigned>((v * 255) / ((1ul << Bits) - 1));
}

// An X key symbol's cursor shape for an IDC_* number.
unsigned FontCursorOf(int CursorId)
{
  switch (CursorId) {
  case IDC_IBEAM:
    return XC_xterm;
  case IDC_WAIT:
    return XC_watch;
  case IDC_CROSS:
    return XC_crosshair;
  case IDC_UPARROW:
    return XC_sb_up_arrow;
  case IDC_SIZENWSE:
    return XC_bottom_right_corner;
  case IDC_SIZENESW:
    return XC_bottom_left_corner;
  case IDC_SIZEWE:
    return XC_sb_h_double_arrow;
  case IDC_SIZENS:
    return XC_sb_v_double_arrow;
  case IDC_SIZE:
  case IDC_SIZEALL:
    return XC_fleur;
  case IDC_NO:
    return XC_circle;
  case IDC_HAND:
    return XC_hand2;
  case IDC_APPSTARTING:
    return XC_watch;
  case IDC_HELP:
    return XC_question_arrow;
  default:
    return XC_left_ptr;
  }
}

String Latin1ToUtf8(const unsigned char* Data, std::size_t Size)
{
  String out;
  for (std::size_t i = 0; i < Size; ++i) {
    unsigned char c = Data[i];
    if (c < 0x80) {
      out += static_cast<char>(c);
    } else {
      out += static_cast<char>(0xC0 | (c >> 6));
      out += static_cast<char>(0x80 | (c & 0x3F));
    }
  }
  return out;
}

// UTF-8 to Latin-1 for the STRING target; characters outside Latin-1 become "?".
String Utf8ToLatin1(const String& Text)
{
  String out;
  for (std::size_t i = 0; i < Text.size();) {
    unsigned char c = static_cast<unsigned char>(Text[i]);
    unsigned long code;
    int len;
    if (c < 0x80) {
      code = c;
      len = 1;
    } else if ((c & 0xE0) == 0xC0) {
      code = c & 0x1F;
      len = 2;
    } else if ((c & 0xF0) == 0xE0) {
      code = c & 0x0F;
      len = 3;
    } else if ((c & 0xF8) == 0xF0) {
      code = c & 0x07;
      len = 4;
    } else {
      out += '?';
      ++i;
      continue;
    }
    if (i + len > Text.size()) {
      out += '?';
      break;
    }
    bool ok = true;
    for (int k = 1; k < len; ++k) {
      unsigned char d = static_cast<unsigned char>(Text[i + k]);
      if ((d & 0xC0) != 0x80)
        ok = false;
      code = (code << 6) | (d & 0x3F);
    }
    if (!ok) {
      out += '?';
      ++i;
      continue;
    }
    out += code <= 0xFF ? static_cast<char>(code) : '?';
    i += len;
  }
  return out;
}

// ---- The backend ----

class TX11Display : public TDisplayBackend {
public:
  explicit TX11Display(Display* D);
  ~TX11Display() override;
  TX11Display(const TX11Display&) = delete;
  TX11Display& operator=(const TX11Display&) = delete;

  String Name() const override { return "x11"; }

  TDisplayWindow CreateWindow(const RECT& Bounds, unsigned Flags) override;
  void DestroyWindow(TDisplayWindow Window) override;
  void SetBounds(TDisplayWindow Window, const RECT& Bounds) override;
  void SetFlags(TDisplayWindow Window, unsigned Flags) override;
  void Show(TDisplayWindow Window, bool Visible, bool Activate) override;
  void Restack(TDisplayWindow Window, TDisplayWindow InsertAfter) override;
  void Activate(TDisplayWindow Window) override;
  void Iconify(TDisplayWindow Window) override;
  void SetTitle(TDisplayWindow Window, const String& Title) override;

  void Present(TDisplayWindow Window, const std::uint32_t* Pixels, int Width, int Height, int Stride,
               const std::vector<RECT>& Dirty) override;
  void SetShape(TDisplayWindow Window, bool Set, const std::vector<RECT>& Rects) override;
  void SetOpacity(TDisplayWindow Window, BYTE Alpha, bool PerPixelAlpha) override;
  bool HasCompositor() const override { return FCompositor; }

  bool BeginMoveResize(TDisplayWindow Window, int Direction, POINT Screen, int Button) override;
  void SetSizeLimits(TDisplayWindow Window, SIZE Min, SIZE Max) override;
  void GrabPointer(TDisplayWindow Window, bool Grab) override;
  void SetCursor(TDisplayWindow Window, int CursorId) override;
  POINT CursorPos() const override;
  void SetCursorPos(POINT P) override;
  bool KeyDown(unsigned VirtualKey) const override;

  TDisplayWindow CreateNativeChild(TDisplayWindow Parent, const RECT& Bounds, bool Visible) override;
  void DestroyNativeChild(TDisplayWindow Child) override;
  void SetNativeChildBounds(TDisplayWindow Child, const RECT& Bounds, bool Visible) override;
  void SetNativeChildShape(TDisplayWindow Child, bool Set, const std::vector<RECT>& Rects) override;
  std::uint64_t NativeId(TDisplayWindow Window) const override;

  std::vector<TDisplayMonitor> Monitors() const override;

  void SetClipboardText(const String& Text) override;
  bool GetClipboardText(String& Text) override;

  void Beep() override;

  int EventFd() const override { return FEpollFd; }
  void PumpEvents(IDisplaySink& Sink) override;
  void Flush() override;

  bool ReadPixels(TDisplayWindow Window, std::vector<std::uint32_t>& Pixels, int& Width, int& Height) override;
  bool HasTrayProtocol() const override { return true; }
  bool DockInTray(TDisplayWindow Window) override;

private:
  // Tells a message loop about events that Xlib has already read from the connection (during a
  // round trip) and that polling the connection would therefore not show.
  struct TQueueCheck {
    explicit TQueueCheck(const TX11Display* D) : Display(const_cast<TX11Display*>(D)) {}
    ~TQueueCheck() { Display->NoteQueued(); }
    TQueueCheck(const TQueueCheck&) = delete;
    TQueueCheck& operator=(const TQueueCheck&) = delete;
    TX11Display* Display;
  };

  struct TWin {
    Window Xid = 0;
    Window XParent = 0; // the root, or a window manager's frame
    bool Native = false;
    TDisplayWindow Parent = 0;
    RECT Bounds{};
    unsigned Flags = 0;
    bool Visible = false;
    bool Mapped = false;
    bool FocusPending = false;
    bool Iconic = false;
    bool Argb = false;
    Visual* Vis = nullptr;
    int Depth = 0;
    GC Gc = nullptr;
    XIC Ic = nullptr;
    // The image as presented (BGRA) and the same in the server's pixel format.
    std::vector<std::uint32_t> Copy;
    int ImageWidth = 0;
    int ImageHeight = 0;
    XImage* Image = nullptr;
    XShmSegmentInfo Shm{};
    bool ShmUsed = false;
    bool PutPending = false;
    bool Shaped = false;
    std::vector<RECT> Shape;
    BYTE Alpha = 255;
    bool PerPixel = false;
    String Title;
    int CursorId = IDC_ARROW;
    std::deque<RECT> PendingBounds; // sizes asked for whose ConfigureNotify has not come
    SIZE MinSize{};                 // the size limits handed to the window manager (0: none)
    SIZE MaxSize{};
    Window TrayManager = 0;         // a tray icon: the tray (selection owner) it docked in
  };

  struct TAtoms {
    Atom WmProtocols, WmDeleteWindow, WmState, WmChangeState, NetWmPing, NetWmName, NetWmPid, Utf8String,
        NetWmState, NetWmStateAbove, NetWmStateSkipTaskbar, NetWmStateSkipPager, NetWmWindowType,
        NetWmWindowTypeNormal, NetWmWindowTypeUtility, NetWmWindowTypePopupMenu, NetWmWindowOpacity, MotifWmHints,
        NetActiveWindow, NetSupported, NetSupportingWmCheck, NetWorkarea, NetCurrentDesktop, NetWmCmS, Clipboard,
        Targets, Text, Multiple, Timestamp, Incr, TextPlainUtf8, QvSelection, QvTimestamp, XdndAware, XdndEnter,
        XdndPosition, XdndStatus, XdndLeave, XdndDrop, XdndFinished, XdndSelection, XdndTypeList, XdndActionCopy,
        UriList, NetSystemTrayS, NetSystemTrayOpcode, XEmbedInfo, Manager, NetWmMoveResize;
  };

  // An XDND drag that is over one of our windows.
  struct TDrag {
    Window Source = 0;
    TDisplayWindow Target = 0;
    int Version = 0;
    bool Accept = false;
    int X = 0;
    int Y = 0;
    bool Dropped = false;
  };

  void Init();
  TWin* Find(TDisplayWindow Window);
  const TWin* Find(TDisplayWindow Window) const;
  TWin* FindTopLevel(TDisplayWindow Window);
  TDisplayWindow IdOf(Window Xid) const;
  bool NeedsArgb(const TWin& W) const;
  void CreateXWindow(TDisplayWindow Id, TWin& W);
  void FreeXWindow(TWin& W);
  void RecreateXWindow(TDisplayWindow Id, TWin& W);
  void ApplyWindowProperties(TWin& W, bool Initial);
  void SetNetState(TWin& W, Atom State, bool On);
  void FreeImage(TWin& W);
  bool EnsureImage(TWin& W, int Width, int Height);
  void Convert(TWin& W, const RECT& R);
  void PutImage(TWin& W, const RECT& R);
  void KeepTopmostAbove();
  bool WindowManagerRuns();
  Cursor CursorOf(int CursorId);
  void Queue(TDisplayEvent E);
  void QueueDisplayChanged();
  void Wake();
  void NoteQueued();
  void Translate(XEvent& Ev);
  void OnKey(XEvent& Ev, TDisplayWindow Id, TWin& W);
  void OnConfigure(const XConfigureEvent& Ev, TDisplayWindow Id, TWin& W);
  void OnClientMessage(const XClientMessageEvent& Ev, TDisplayWindow Id);
  void OnSelectionRequest(const XSelectionRequestEvent& Ev);
  void OnDropData(const XSelectionEvent& Ev);
  void FinishDrop(bool Accepted);
  void SendDndMessage(Window To, Atom Type, long L1, long L2, long L3, long L4);
  void OnPropertyNotify(const XPropertyEvent& Ev);
  unsigned ModifiersOf(unsigned State) const;
  Time ServerTime();
  bool WaitForEvent(XEvent& Ev, Bool (*Predicate)(Display*, XEvent*, XPointer), XPointer Arg, int TimeoutMs);
  bool ReadSelectionProperty(Window W, Atom Property, Atom& Type, String& Data);
  bool ConvertSelection(Atom Selection, Atom Target, String& Data, Atom& Type, bool& TimedOut);
  void LoadMonitors() const;
  // Position, size and size limits of W for the window manager.
  void SetNormalHints(const TWin& W);

  Display* FDisplay;
  int FScreen = 0;
  Window FRoot = 0;
  Visual* FVisual = nullptr;
  int FDepth = 24;
  Colormap FColormap = 0;
  Visual* FArgbVisual = nullptr;
  Colormap FArgbColormap = 0;
  bool FCompositor = false;
  bool FHasShm = false;
  bool FHasShape = false;
  bool FHasRandr = false;
  int FRandrEventBase = 0;
  XIM FIm = nullptr;
  XIMStyle FImStyle = 0;
  Window FHelper = 0;
  TAtoms A{};
  int FEpollFd = -1;
  int FWakeFd = -1;
  std::map<TDisplayWindow, TWin> FWindows;
  std::map<Window, TDisplayWindow> FByXid;
  TDisplayWindow FNextId = 1;
  TDisplayWindow FGrab = 0;
  std::deque<TDisplayEvent> FOut;
  std::set<unsigned> FKeysDown; // keycodes, to tell auto-repeat
  std::map<int, Cursor> FCursors;
  String FClipboard;
  bool FOwnClipboard = false;
  Time FClipboardTime = CurrentTime;
  Time FLastTime = CurrentTime;
  TDrag FDrag;
  String FHostName;
  bool FWmChecked = false;
  bool FWmRuns = false;
  bool FWmActivates = false;
  bool FWmMovesAndSizes = false;
  DWORD FWmCheckedAt = 0;
  mutable bool FMonitorsValid = false;
  mutable std::vector<TDisplayMonitor> FMonitors;
};

} // namespace

// ---- Set-up ----

std::unique_ptr<TDisplayBackend> CreateX11Display(const String& DisplayName, String& Error)
{
  std::call_once(XlibSetUp, [] {
    XInitThreads();
    XSetErrorHandler(HandleXError);
  });
  const char* name = DisplayName.empty() ? nullptr : DisplayName.c_str();
  Display* d = XOpenDisplay(name);
  if (!d) {
    const char* shown = name ? name : std::getenv("DISPLAY");
    Error = String("cannot open the X display \"") + (shown ? shown : "") + "\"";
    return nullptr;
  }
  return std::make_unique<TX11Display>(d);
}

TX11Display::TX11Display(Display* D) : FDisplay(D) { Init(); }

void TX11Display::Init()
{
  FScreen = DefaultScreen(FDisplay);
  FRoot = RootWindow(FDisplay, FScreen);
  FVisual = DefaultVisual(FDisplay, FScreen);
  FDepth = DefaultDepth(FDisplay, FScreen);
  FColormap = DefaultColormap(FDisplay, FScreen);

  const std::string compositorSelection = "_NET_WM_CM_S" + std::to_string(FScreen);
  const std::string trayManagerSelection = "_NET_SYSTEM_TRAY_S" + std::to_string(FScreen);
  struct {
    Atom* Target;
    const char* Name;
  } atoms[] = {
      {&A.WmProtocols, "WM_PROTOCOLS"},
      {&A.WmDeleteWindow, "WM_DELETE_WINDOW"},
      {&A.WmState, "WM_STATE"},
      {&A.WmChangeState, "WM_CHANGE_STATE"},
      {&A.NetWmPing, "_NET_WM_PING"},
      {&A.NetWmName, "_NET_WM_NAME"},
      {&A.NetWmPid, "_NET_WM_PID"},
      {&A.Utf8String, "UTF8_STRING"},
      {&A.NetWmState, "_NET_WM_STATE"},
      {&A.NetWmStateAbove, "_NET_WM_STATE_ABOVE"},
      {&A.NetWmStateSkipTaskbar, "_NET_WM_STATE_SKIP_TASKBAR"},
      {&A.NetWmStateSkipPager, "_NET_WM_STATE_SKIP_PAGER"},
      {&A.NetWmWindowType, "_NET_WM_WINDOW_TYPE"},
      {&A.NetWmWindowTypeNormal, "_NET_WM_WINDOW_TYPE_NORMAL"},
      {&A.NetWmWindowTypeUtility, "_NET_WM_WINDOW_TYPE_UTILITY"},
      {&A.NetWmWindowTypePopupMenu, "_NET_WM_WINDOW_TYPE_POPUP_MENU"},
      {&A.NetWmWindowOpacity, "_NET_WM_WINDOW_OPACITY"},
      {&A.MotifWmHints, "_MOTIF_WM_HINTS"},
      {&A.NetActiveWindow, "_NET_ACTIVE_WINDOW"},
      {&A.NetSupported, "_NET_SUPPORTED"},
      {&A.NetSupportingWmCheck, "_NET_SUPPORTING_WM_CHECK"},
      {&A.NetWmMoveResize, "_NET_WM_MOVERESIZE"},
      {&A.NetWorkarea, "_NET_WORKAREA"},
      {&A.NetCurrentDesktop, "_NET_CURRENT_DESKTOP"},
      {&A.NetWmCmS, compositorSelection.c_str()},
      {&A.Clipboard, "CLIPBOARD"},
      {&A.Targets, "TARGETS"},
      {&A.Text, "TEXT"},
      {&A.Multiple, "MULTIPLE"},
      {&A.Timestamp, "TIMESTAMP"},
      {&A.Incr, "INCR"},
      {&A.TextPlainUtf8, "text/plain;charset=utf-8"},
      {&A.QvSelection, "QV_SELECTION"},
      {&A.QvTimestamp, "QV_TIMESTAMP"},
      {&A.XdndAware, "XdndAware"},
      {&A.XdndEnter, "XdndEnter"},
      {&A.XdndPosition, "XdndPosition"},
      {&A.XdndStatus, "XdndStatus"},
      {&A.XdndLeave, "XdndLeave"},
      {&A.XdndDrop, "XdndDrop"},
      {&A.XdndFinished, "XdndFinished"},
      {&A.XdndSelection, "XdndSelection"},
      {&A.XdndTypeList, "XdndTypeList"},
      {&A.XdndActionCopy, "XdndActionCopy"},
      {&A.UriList, "text/uri-list"},
      {&A.NetSystemTrayS, trayManagerSelection.c_str()},
      {&A.NetSystemTrayOpcode, "_NET_SYSTEM_TRAY_OPCODE"},
      {&A.XEmbedInfo, "_XEMBED_INFO"},
      {&A.Manager, "MANAGER"},
  };
  for (auto& a : atoms)
    *a.Target = XInternAtom(FDisplay, a.Name, False);

  FCompositor = XGetSelectionOwner(FDisplay, A.NetWmCmS) != None;
  XVisualInfo info;
  if (XMatchVisualInfo(FDisplay, FScreen, 32, TrueColor, &info)) {
    FArgbVisual = info.visual;
    FArgbColormap = XCreateColormap(FDisplay, FRoot, FArgbVisual, AllocNone);
  }

  int major = 0, minor = 0;
  Bool pixmaps = False;
  FHasShm = XShmQueryExtension(FDisplay) && XShmQueryVersion(FDisplay, &major, &minor, &pixmaps);
  // Shared memory only helps, and only works, on a local server.
  const char* name = DisplayString(FDisplay);
  if (name && name[0] != ':' && std::strncmp(name, "unix:", 5) != 0)
    FHasShm = false;
  // QV_X11_SHM=0 turns it off (for a server that claims it but cannot use it).
  if (const char* shm = std::getenv("QV_X11_SHM"); shm && String(shm) == "0")
    FHasShm = false;
  int eventBase = 0, errorBase = 0;
  FHasShape = XShapeQueryExtension(FDisplay, &eventBase, &errorBase);
  if (XRRQueryExtension(FDisplay, &FRandrEventBase, &errorBase) && XRRQueryVersion(FDisplay, &major, &minor) &&
      (major > 1 || (major == 1 && minor >= 3))) {
    FHasRandr = true;
    XRRSelectInput(FDisplay, FRoot, RRScreenChangeNotifyMask | RRCrtcChangeNotifyMask);
  }
  XSelectInput(FDisplay, FRoot, PropertyChangeMask | StructureNotifyMask);

  Bool detectable = False;
  XkbSetDetectableAutoRepeat(FDisplay, True, &detectable);

  // The user's input method ($XMODIFIERS) where it offers the plain style, else Xlib's own
  // (compose sequences and dead keys); without either, keys are looked up one by one.
  for (const char* modifiers : {"", "@im=none"}) {
    XSetLocaleModifiers(modifiers);
    FIm = XOpenIM(FDisplay, nullptr, nullptr, nullptr);
    if (!FIm)
      continue;
    XIMStyles* styles = nullptr;
    if (!XGetIMValues(FIm, XNQueryInputStyle, &styles, nullptr) && styles) {
      for (int i = 0; i < styles->count_styles; ++i)
        if (styles->supported_styles[i] == (XIMPreeditNothing | XIMStatusNothing))
          FImStyle = styles->supported_styles[i];
      XFree(styles);
    }
    if (FImStyle)
      break;
    XCloseIM(FIm);
    FIm = nullptr;
  }

  XSetWindowAttributes a{};
  a.event_mask = PropertyChangeMask;
  FHelper = XCreateWindow(FDisplay, FRoot, -10, -10, 1, 1, 0, CopyFromParent, InputOnly, CopyFromParent, CWEventMask, &a);

  char host[256] = {};
  if (gethostname(host, sizeof host - 1) == 0)
    FHostName = host;

  FWakeFd = eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC);
  FEpollFd = epoll_create1(EPOLL_CLOEXEC);
  epoll_event ev{};
  ev.events = EPOLLIN;
  ev.data.fd = ConnectionNumber(FDisplay);
  epoll_ctl(FEpollFd, EPOLL_CTL_ADD, ConnectionNumber(FDisplay), &ev);
  ev.data.fd = FWakeFd;
  epoll_ctl(FEpollFd, EPOLL_CTL_ADD, FWakeFd, &ev);
  XFlush(FDisplay);
}

TX11Display::~TX11Display()
{
  for (auto& [id, w] : FWindows)
    if (!w.Native)
      FreeImage(w);
  for (auto& [id, w] : FWindows)
    if (w.Ic)
      XDestroyIC(w.Ic);
  for (auto& [id, w] : FWindows)
    if (w.Gc)
      XFreeGC(FDisplay, w.Gc);
  if (FGrab)
    XUngrabPointer(FDisplay, CurrentTime);
  for (auto& [id, w] : FWindows)
    if (!w.Native)
      XDestroyWindow(FDisplay, w.Xid);
  for (auto& [id, c] : FCursors)
    XFreeCursor(FDisplay, c);
  if (FIm)
    XCloseIM(FIm);
  if (FHelper)
    XDestroyWindow(FDisplay, FHelper);
  if (FArgbColormap)
    XFreeColormap(FDisplay, FArgbColormap);
  XCloseDisplay(FDisplay);
  if (FEpollFd >= 0)
    close(FEpollFd);
  if (FWakeFd >= 0)
    close(FWakeFd);
}

void TX11Display::Wake()
{
  std::uint64_t one = 1;
  [[maybe_unused]] ssize_t n = write(FWakeFd, &one, sizeof one);
}

void TX11Display::NoteQueued()
{
  if (!FOut.empty() || XQLength(FDisplay) > 0)
    Wake();
}

void TX11Display::QueueDisplayChanged()
{
  FMonitorsValid = false;
  // One change of the screen arrives as several X events: the window system hears of it once.
  if (!FOut.empty() && FOut.back().Kind == TDisplayEvent::DisplayChanged)
    return;
  TDisplayEvent e;
  e.Kind = TDisplayEvent::DisplayChanged;
  Queue(e);
}

void TX11Display::Queue(TDisplayEvent E)
{
  E.Time = Now();
  FOut.push_back(std::move(E));
}

TX11Display::TWin* TX11Display::Find(TDisplayWindow Window)
{
  auto it = FWindows.find(Window);
  return it == FWindows.end() ? nullptr : &it->second;
}

const TX11Display::TWin* TX11Display::Find(TDisplayWindow Window) const
{
  auto it = FWindows.find(Window);
  return it == FWindows.end() ? nullptr : &it->second;
}

TX11Display::TWin* TX11Display::FindTopLevel(TDisplayWindow Window)
{
  TWin* w = Find(Window);
  // A lost tray icon (its X window gone with the tray) is only waiting for DestroyWindow.
  return w && !w->Native && w->Xid != 0 ? w : nullptr;
}

TDisplayWindow TX11Display::IdOf(Window Xid) const
{
  auto it = FByXid.find(Xid);
  return it == FByXid.end() ? 0 : it->second;
}

bool TX11Display::NeedsArgb(const TWin& W) const
{
  return FCompositor && FArgbVisual && ((W.Flags & dwfLayered) || W.PerPixel);
}

bool TX11Display::WindowManagerRuns()
{
  if (FWmChecked && Now() - FWmCheckedAt < 2000)
    return FWmRuns;
  FWmChecked = true;
  FWmCheckedAt = Now();
  FWmRuns = false;
  FWmActivates = false;
  FWmMovesAndSizes = false;
  auto windowProperty = [this](Window W, Atom Property, Window& Value) {
    Atom type;
    int format;
    unsigned long count, after;
    unsigned char* data = nullptr;
    bool ok = XGetWindowProperty(FDisplay, W, Property, 0, 1, False, XA_WINDOW, &type, &format, &count, &after,
                                 &data) == Success &&
              type == XA_WINDOW && format == 32 && count == 1;
    if (ok)
      Value = static_cast<Window>(reinterpret_cast<unsigned long*>(data)[0]);
    if (data)
      XFree(data);
    return ok;
  };
  Window check = 0, self = 0;
  TErrorTrap trap(FDisplay);
  if (windowProperty(FRoot, A.NetSupportingWmCheck, check) && windowProperty(check, A.NetSupportingWmCheck, self) &&
      check == self)
    FWmRuns = true;
  if (trap.Finish() != 0)
    FWmRuns = false;
  if (FWmRuns) {
    Atom type;
    int format;
    unsigned long count, after;
    unsigned char* data = nullptr;
    if (XGetWindowProperty(FDisplay, FRoot, A.NetSupported, 0, 4096, False, XA_ATOM, &type, &format, &count, &after,
                           &data) == Success &&
        type == XA_ATOM && format == 32) {
      auto* list = reinterpret_cast<Atom*>(data);
      FWmActivates = std::find(list, list + count, A.NetActiveWindow) != list + count;
      FWmMovesAndSizes = std::find(list, list + count, A.NetWmMoveResize) != list + count;
    }
    if (data)
      XFree(data);
  }
  return FWmRuns;
}

// ---- Windows ----

void TX11Display::CreateXWindow(TDisplayWindow Id, TWin& W)
{
  W.Argb = NeedsArgb(W);
  W.Vis = W.Argb ? FArgbVisual : FVisual;
  W.Depth = W.Argb ? 32 : FDepth;
  XSetWindowAttributes a{};
  unsigned long mask = CWBackPixmap | CWBorderPixel | CWColormap | CWEventMask | CWOverrideRedirect | CWBitGravity;
  a.background_pixmap = None;
  a.border_pixel = 0;
  a.colormap = W.Argb ? FArgbColormap : FColormap;
  a.override_redirect = (W.Flags & dwfPopup) ? True : False;
  a.bit_gravity = NorthWestGravity;
  a.event_mask = ExposureMask | KeyPressMask | KeyReleaseMask | ButtonPressMask | ButtonReleaseMask |
                 PointerMotionMask | EnterWindowMask | LeaveWindowMask | FocusChangeMask | StructureNotifyMask |
                 PropertyChangeMask;
  int width = std::max<LONG>(1, W.Bounds.right - W.Bounds.left);
  int height = std::max<LONG>(1, W.Bounds.bottom - W.Bounds.top);
  W.Xid = XCreateWindow(FDisplay, FRoot, W.Bounds.left, W.Bounds.top, width, height, 0, W.Depth, InputOutput,
                        W.Vis, mask, &a);
  W.XParent = FRoot;
  FByXid[W.Xid] = Id;
  W.Gc = XCreateGC(FDisplay, W.Xid, 0, nullptr);
  W.Mapped = false;
  if (FIm) {
    W.Ic = XCreateIC(FIm, XNInputStyle, FImStyle, XNClientWindow, W.Xid, XNFocusWindow, W.Xid, nullptr);
    if (W.Ic) {
      unsigned long filter = 0;
      if (!XGetICValues(W.Ic, XNFilterEvents, &filter, nullptr) && filter)
        XSelectInput(FDisplay, W.Xid, a.event_mask | filter);
    }
  }
  ApplyWindowProperties(W, true);
}

void TX11Display::ApplyWindowProperties(TWin& W, bool Initial)
{
  Atom protocols[] = {A.WmDeleteWindow, A.NetWmPing};
  XSetWMProtocols(FDisplay, W.Xid, protocols, 2);

  // No decorations: the window draws its own frame.
  long motif[5] = {2, 0, 0, 0, 0};
  XChangeProperty(FDisplay, W.Xid, A.MotifWmHints, A.MotifWmHints, 32, PropModeReplace,
                  reinterpret_cast<unsigned char*>(motif), 5);

  Atom type = (W.Flags & dwfPopup)        ? A.NetWmWindowTypePopupMenu
              : (W.Flags & dwfToolWindow) ? A.NetWmWindowTypeUtility
                                          : A.NetWmWindowTypeNormal;
  XChangeProperty(FDisplay, W.Xid, A.NetWmWindowType, XA_ATOM, 32, PropModeReplace,
                  reinterpret_cast<unsigned char*>(&type), 1);

  XWMHints* hints = XAllocWMHints();
  if (hints) {
    hints->flags = InputHint | StateHint;
    hints->input = (W.Flags & dwfNoActivate) ? False : True;
    hints->initial_state = NormalState;
    XSetWMHints(FDisplay, W.Xid, hints);
    XFree(hints);
  }
  SetNormalHints(W);

  if (Initial) {
    XClassHint* cls = XAllocClassHint();
    if (cls) {
      char name[] = "quelvo3";
      char className[] = "Quelvo3";
      cls->res_name = name;
      cls->res_class = className;
      XSetClassHint(FDisplay, W.Xid, cls);
      XFree(cls);
    }
    long pid = getpid();
    XChangeProperty(FDisplay, W.Xid, A.NetWmPid, XA_CARDINAL, 32, PropModeReplace,
                    reinterpret_cast<unsigned char*>(&pid), 1);
    long version = 5;
    XChangeProperty(FDisplay, W.Xid, A.XdndAware, XA_ATOM, 32, PropModeReplace,
                    reinterpret_cast<unsigned char*>(&version), 1);
  }

  SetNetState(W, A.NetWmStateAbove, (W.Flags & dwfTopmost) != 0);
  SetNetState(W, A.NetWmStateSkipTaskbar, (W.Flags & dwfToolWindow) != 0);
  SetNetState(W, A.NetWmStateSkipPager, (W.Flags & dwfToolWindow) != 0);
}

// Sets one _NET_WM_STATE flag: through the window manager while the window is mapped, in the
// property before that.
void TX11Display::SetNetState(TWin& W, Atom State, bool On)
{
  if (W.Mapped && !(W.Flags & dwfPopup)) {
    XEvent ev{};
    ev.xclient.type = ClientMessage;
    ev.xclient.window = W.Xid;
    ev.xclient.message_type = A.NetWmState;
    ev.xclient.format = 32;
    ev.xclient.data.l[0] = On ? 1 : 0;
    ev.xclient.data.l[1] = static_cast<long>(State);
    ev.xclient.data.l[3] = 1;
    XSendEvent(FDisplay, FRoot, False, SubstructureRedirectMask | SubstructureNotifyMask, &ev);
    return;
  }
  std::vector<Atom> states;
  Atom type;
  int format;
  unsigned long count, after;
  unsigned char* data = nullptr;
  if (XGetWindowProperty(FDisplay, W.Xid, A.NetWmState, 0, 64, False, XA_ATOM, &type, &format, &count, &after,
                         &data) == Success &&
      type == XA_ATOM && format == 32) {
    auto* list = reinterpret_cast<Atom*>(data);
    states.assign(list, list + count);
  }
  if (data)
    XFree(data);
  std::erase(states, State);
  if (On)
    states.push_back(State);
  XChangeProperty(FDisplay, W.Xid, A.NetWmState, XA_ATOM, 32, PropModeReplace,
                  reinterpret_cast<unsigned char*>(states.data()), static_cast<int>(states.size()));
}

TDisplayWindow TX11Display::CreateWindow(const RECT& Bounds, unsigned Flags)
{
  TQueueCheck check(this);
  TDisplayWindow id = FNextId++;
  TWin& w = FWindows[id];
  w.Bounds = Bounds;
  w.Flags = Flags;
  CreateXWindow(id, w);
  return id;
}

void TX11Display::FreeImage(TWin& W)
{
  if (!W.Image)
    return;
  if (W.ShmUsed) {
    if (W.PutPending)
      XSync(FDisplay, False);
    XShmDetach(FDisplay, &W.Shm);
    XDestroyImage(W.Image);
    shmdt(W.Shm.shmaddr);
  } else {
    XDestroyImage(W.Image); // frees the pixel memory too
  }
  W.Image = nullptr;
  W.ShmUsed = false;
  W.PutPending = false;
  W.Shm = XShmSegmentInfo{};
}

void TX11Display::FreeXWindow(TWin& W)
{
  FreeImage(W);
  if (W.Ic) {
    XDestroyIC(W.Ic);
    W.Ic = nullptr;
  }
  if (W.Gc) {
    XFreeGC(FDisplay, W.Gc);
    W.Gc = nullptr;
  }
  FByXid.erase(W.Xid);
  if (W.Xid) {
    // (0: the server destroyed the window already, with the tray that held it.)
    TErrorTrap trap(FDisplay);
    XDestroyWindow(FDisplay, W.Xid);
    trap.Finish();
  }
  W.Xid = 0;
  W.Mapped = false;
}

void TX11Display::DestroyWindow(TDisplayWindow Window)
{
  TQueueCheck check(this);
  TWin* w = Find(Window);
  if (!w)
    return;
  if (w->Native) {
    DestroyNativeChild(Window);
    return;
  }
  if (FGrab == Window) {
    XUngrabPointer(FDisplay, CurrentTime);
    FGrab = 0;
  }
  if (FDrag.Target == Window)
    FDrag = TDrag{};
  // The X server destroys the native children with their parent.
  for (auto it = FWindows.begin(); it != FWindows.end();) {
    if (it->second.Native && it->second.Parent == Window) {
      FByXid.erase(it->second.Xid);
      it = FWindows.erase(it);
    } else {
      ++it;
    }
  }
  FreeXWindow(*w);
  FWindows.erase(Window);
  std::erase_if(FOut, [Window](const TDisplayEvent& E) { return E.Window == Window; });
}

void TX11Display::RecreateXWindow(TDisplayWindow Id, TWin& W)
{
  Window old = W.Xid;
  bool visible = W.Visible;
  if (FGrab == Id) {
    XUngrabPointer(FDisplay, CurrentTime);
    FGrab = 0;
  }
  FreeImage(W);
  if (W.Ic) {
    XDestroyIC(W.Ic);
    W.Ic = nullptr;
  }
  if (W.Gc) {
    XFreeGC(FDisplay, W.Gc);
    W.Gc = nullptr;
  }
  FByXid.erase(old);
  CreateXWindow(Id, W);
  for (auto& [childId, child] : FWindows)
    if (child.Native && child.Parent == Id)
      XReparentWindow(FDisplay, child.Xid, W.Xid, child.Bounds.left, child.Bounds.top);
  {
    TErrorTrap trap(FDisplay);
    XDestroyWindow(FDisplay, old);
  }
  if (!W.Title.empty())
    SetTitle(Id, W.Title);
  if (W.Shaped)
    SetShape(Id, true, W.Shape);
  SetOpacity(Id, W.Alpha, W.PerPixel);
  XDefineCursor(FDisplay, W.Xid, CursorOf(W.CursorId));
  if (!W.Copy.empty() && EnsureImage(W, W.ImageWidth, W.ImageHeight))
    Convert(W, Rect(0, 0, W.ImageWidth, W.ImageHeight));
  W.Visible = false;
  if (visible)
    Show(Id, true, false);
}

void TX11Display::SetBounds(TDisplayWindow Window, const RECT& Bounds)
{
  TQueueCheck check(this);
  TWin* w = FindTopLevel(Window);
  if (!w)
    return;
  if (w->Bounds == Bounds)
    return;
  w->Bounds = Bounds;
  int width = std::max<LONG>(1, Bounds.right - Bounds.left);
  int height = std::max<LONG>(1, Bounds.bottom - Bounds.top);
  w->PendingBounds.push_back(Rect(Bounds.left, Bounds.top, Bounds.left + width, Bounds.top + height));
  if (w->PendingBounds.size() > 16)
    w->PendingBounds.pop_front();
  XMoveResizeWindow(FDisplay, w->Xid, Bounds.left, Bounds.top, width, height);
  SetNormalHints(*w);
}

void TX11Display::SetFlags(TDisplayWindow Window, unsigned Flags)
{
  TQueueCheck check(this);
  TWin* w = FindTopLevel(Window);
  if (!w || w->Flags == Flags)
    return;
  unsigned old = w->Flags;
  w->Flags = Flags;
  if (NeedsArgb(*w) != w->Argb) {
    RecreateXWindow(Window, *w);
    return;
  }
  if ((old ^ Flags) & dwfPopup) {
    // Override-redirect counts from the next mapping on.
    XSetWindowAttributes a{};
    a.override_redirect = (Flags & dwfPopup) ? True : False;
    bool remap = w->Mapped;
    if (remap) {
      XUnmapWindow(FDisplay, w->Xid);
      w->Mapped = false;
    }
    XChangeWindowAttributes(FDisplay, w->Xid, CWOverrideRedirect, &a);
    ApplyWindowProperties(*w, false);
    if (remap)
      XMapWindow(FDisplay, w->Xid);
    return;
  }
  ApplyWindowProperties(*w, false);
  if (!WindowManagerRuns())
    KeepTopmostAbove();
}

void TX11Display::KeepTopmostAbove()
{
  for (auto& [id, w] : FWindows)
    if (!w.Native && w.Visible && (w.Flags & dwfTopmost))
      XRaiseWindow(FDisplay, w.Xid);
}

void TX11Display::Show(TDisplayWindow Window, bool Visible, bool Activate)
{
  TQueueCheck check(this);
  TWin* w = FindTopLevel(Window);
  if (!w)
    return;
  if (w->Flags & dwfTrayIcon) {
    // The tray maps a docked icon itself (XEMBED_MAPPED); it is never a window of its own.
    w->Visible = Visible;
    return;
  }
  if (Visible) {
    if (!w->Visible || w->Iconic) {
      w->Visible = true;
      w->Iconic = false;
      XMapWindow(FDisplay, w->Xid);
    }
    if (Activate)
      this->Activate(Window);
    else if (!WindowManagerRuns())
      KeepTopmostAbove();
  } else if (w->Visible) {
    w->Visible = false;
    w->FocusPending = false;
    if (FGrab == Window) {
      XUngrabPointer(FDisplay, CurrentTime);
      FGrab = 0;
    }
    if (w->Flags & dwfPopup)
      XUnmapWindow(FDisplay, w->Xid);
    else
      XWithdrawWindow(FDisplay, w->Xid, FScreen);
  }
}

bool TX11Display::DockInTray(TDisplayWindow Window)
{
  TQueueCheck check(this);
  TWin* w = FindTopLevel(Window);
  if (!w || !(w->Flags & dwfTrayIcon))
    return false;
  const ::Window manager = XGetSelectionOwner(FDisplay, A.NetSystemTrayS);
  if (manager == None)
    return false;
  // XEmbed version 0, XEMBED_MAPPED: the tray maps the icon once it has taken it.
  const long info[2] = {0, 1};
  XChangeProperty(FDisplay, w->Xid, A.XEmbedInfo, A.XEmbedInfo, 32, PropModeReplace,
                  reinterpret_cast<const unsigned char*>(info), 2);
  XEvent ev{};
  ev.xclient.type = ClientMessage;
  ev.xclient.window = manager;
  ev.xclient.message_type = A.NetSystemTrayOpcode;
  ev.xclient.format = 32;
  ev.xclient.data.l[0] = static_cast<long>(CurrentTime);
  ev.xclient.data.l[1] = 0; // SYSTEM_TRAY_REQUEST_DOCK
  ev.xclient.data.l[2] = static_cast<long>(w->Xid);
  TErrorTrap trap(FDisplay);
  XSendEvent(FDisplay, manager, False, NoEventMask, &ev);
  XSync(FDisplay, False);
  if (trap.Finish() != 0)
    return false;
  w->TrayManager = manager;
  return true;
}

void TX11Display::Restack(TDisplayWindow Window, TDisplayWindow InsertAfter)
{
  TQueueCheck check(this);
  TWin* w = FindTopLevel(Window);
  if (!w || Window == InsertAfter)
    return;
  TWin* below = InsertAfter ? FindTopLevel(InsertAfter) : nullptr;
  TErrorTrap trap(FDisplay);
  if (!below) {
    XRaiseWindow(FDisplay, w->Xid);
  } else {
    XWindowChanges changes{};
    changes.sibling = below->Xid;
    changes.stack_mode = Above;
    XReconfigureWMWindow(FDisplay, w->Xid, FScreen, CWSibling | CWStackMode, &changes);
  }
  trap.Finish();
  if (!WindowManagerRuns())
    KeepTopmostAbove();
}

void TX11Display::Activate(TDisplayWindow Window)
{
  TQueueCheck check(this);
  TWin* w = FindTopLevel(Window);
  if (!w || !w->Visible)
    return;
  if (WindowManagerRuns() && FWmActivates && !(w->Flags & dwfPopup)) {
    XEvent ev{};
    ev.xclient.type = ClientMessage;
    ev.xclient.window = w->Xid;
    ev.xclient.message_type = A.NetActiveWindow;
    ev.xclient.format = 32;
    ev.xclient.data.l[0] = 1; // from an application
    ev.xclient.data.l[1] = static_cast<long>(FLastTime);
    XSendEvent(FDisplay, FRoot, False, SubstructureRedirectMask | SubstructureNotifyMask, &ev);
    return;
  }
  XRaiseWindow(FDisplay, w->Xid);
  if (!WindowManagerRuns())
    KeepTopmostAbove();
  if (!w->Mapped) {
    w->FocusPending = true; // once the window can take it
    return;
  }
  TErrorTrap trap(FDisplay);
  XSetInputFocus(FDisplay, w->Xid, RevertToParent, CurrentTime);
}

void TX11Display::Iconify(TDisplayWindow Window)
{
  TQueueCheck check(this);
  TWin* w = FindTopLevel(Window);
  if (!w || !w->Visible || w->Iconic)
    return;
  if (WindowManagerRuns() && !(w->Flags & dwfPopup)) {
    XIconifyWindow(FDisplay, w->Xid, FScreen);
    return;
  }
  // Nobody to keep an icon: the window goes out of sight until it is shown again.
  w->Iconic = true;
  XUnmapWindow(FDisplay, w->Xid);
  TDisplayEvent e;
  e.Kind = TDisplayEvent::Iconified;
  e.Window = Window;
  Queue(e);
}

void TX11Display::SetTitle(TDisplayWindow Window, const String& Title)
{
  TQueueCheck check(this);
  TWin* w = FindTopLevel(Window);
  if (!w)
    return;
  w->Title = Title;
  XChangeProperty(FDisplay, w->Xid, A.NetWmName, A.Utf8String, 8, PropModeReplace,
                  reinterpret_cast<const unsigned char*>(Title.data()), static_cast<int>(Title.size()));
  char* list[] = {const_cast<char*>(Title.c_str())};
  XTextProperty text{};
  if (Xutf8TextListToTextProperty(FDisplay, list, 1, XStdICCTextStyle, &text) >= Success) {
    XSetWMName(FDisplay, w->Xid, &text);
    XSetWMIconName(FDisplay, w->Xid, &text);
    if (text.value)
      XFree(text.value);
  }
}

// ---- Pixels ----

bool TX11Display::EnsureImage(TWin& W, int Width, int Height)
{
  if (W.Image && W.Image->width == Width && W.Image->height == Height)
    return true;
  FreeImage(W);
  if (FHasShm) {
    XImage* image = XShmCreateImage(FDisplay, W.Vis, W.Depth, ZPixmap, nullptr, &W.Shm, Width, Height);
    if (image) {
      std::size_t bytes = static_cast<std::size_t>(image->bytes_per_line) * Height;
      W.Shm.shmid = shmget(IPC_PRIVATE, bytes, IPC_CREAT | 0600);
      if (W.Shm.shmid >= 0) {
        W.Shm.shmaddr = static_cast<char*>(shmat(W.Shm.shmid, nullptr, 0));
        if (W.Shm.shmaddr != reinterpret_cast<char*>(-1)) {
          image->data = W.Shm.shmaddr;
          W.Shm.readOnly = False;
          TErrorTrap trap(FDisplay);
          XShmAttach(FDisplay, &W.Shm);
          bool attached = trap.Finish() == 0;
          shmctl(W.Shm.shmid, IPC_RMID, nullptr); // freed once both sides detach
          if (attached) {
            W.Image = image;
            W.ShmUsed = true;
            return true;
          }
          shmdt(W.Shm.shmaddr);
        } else {
          shmctl(W.Shm.shmid, IPC_RMID, nullptr);
        }
      }
      XDestroyImage(image);
    }
    // No shared memory with this server: plain requests from now on.
    FHasShm = false;
    W.Shm = XShmSegmentInfo{};
  }
  XImage* image = XCreateImage(FDisplay, W.Vis, W.Depth, ZPixmap, 0, nullptr, Width, Height, 32, 0);
  if (!image)
    return false;
  image->data = static_cast<char*>(std::calloc(static_cast<std::size_t>(image->bytes_per_line), Height));
  if (!image->data) {
    XDestroyImage(image);
    return false;
  }
  W.Image = image;
  return true;
}

// The presented pixels of R into the server-format image.
void TX11Display::Convert(TWin& W, const RECT& R)
{
  XImage* image = W.Image;
  const bool forceOpaque = !(W.Argb && W.PerPixel);
  TPixelFormat f = FormatOf(W.Vis, W.Depth);
  const bool direct = f.Direct && image->bits_per_pixel == 32 && image->byte_order == LSBFirst;
  for (int y = R.top; y < R.bottom; ++y) {
    const std::uint32_t* src = &W.Copy[static_cast<std::size_t>(y) * W.ImageWidth];
    if (direct) {
      auto* dst = reinterpret_cast<std::uint32_t*>(image->data + static_cast<std::size_t>(y) * image->bytes_per_line);
      if (forceOpaque) {
        for (int x = R.left; x < R.right; ++x)
          dst[x] = src[x] | 0xFF000000u;
      } else {
        std::memcpy(dst + R.left, src + R.left, static_cast<std::size_t>(R.right - R.left) * 4);
      }
      continue;
    }
    for (int x = R.left; x < R.right; ++x) {
      std::uint32_t p = src[x];
      unsigned long pixel = Channel((p >> 16) & 0xFF, f.RedShift, f.RedBits) |
                            Channel((p >> 8) & 0xFF, f.GreenShift, f.GreenBits) |
                            Channel(p & 0xFF, f.BlueShift, f.BlueBits);
      if (f.AlphaMask)
        pixel |= forceOpaque ? f.AlphaMask : ((static_cast<unsigned long>(p >> 24) << LowBit(f.AlphaMask)) & f.AlphaMask);
      XPutPixel(image, x, y, pixel);
    }
  }
}

void TX11Display::PutImage(TWin& W, const RECT& R)
{
  if (!W.Image || IsRectEmpty(&R))
    return;
  if (W.ShmUsed) {
    XShmPutImage(FDisplay, W.Xid, W.Gc, W.Image, R.left, R.top, R.left, R.top, R.right - R.left, R.bottom - R.top,
                 False);
    W.PutPending = true;
  } else {
    XPutImage(FDisplay, W.Xid, W.Gc, W.Image, R.left, R.top, R.left, R.top, R.right - R.left, R.bottom - R.top);
  }
}

void TX11Display::Present(TDisplayWindow Window, const std::uint32_t* Pixels, int Width, int Height, int Stride,
                          const std::vector<RECT>& Dirty)
{
  TQueueCheck check(this);
  TWin* w = FindTopLevel(Window);
  if (!w || !Pixels || Width <= 0 || Height <= 0 || Stride < Width * 4 || Stride % 4 != 0)
    return;
  const RECT all = Rect(0, 0, Width, Height);
  std::vector<RECT> areas;
  const bool whole = Dirty.empty() || w->ImageWidth != Width || w->ImageHeight != Height || !w->Image;
  if (whole) {
    areas.push_back(all);
  } else {
    for (RECT r : Dirty)
      if (IntersectRect(&r, &r, &all))
        areas.push_back(r);
  }
  if (whole) {
    w->Copy.assign(static_cast<std::size_t>(Width) * Height, 0);
    w->ImageWidth = Width;
    w->ImageHeight = Height;
  }
  const int pitch = Stride / 4;
  for (const RECT& r : areas)
    for (int y = r.top; y < r.bottom; ++y)
      std::memcpy(&w->Copy[static_cast<std::size_t>(y) * Width + r.left],
                  Pixels + static_cast<std::size_t>(y) * pitch + r.left, static_cast<std::size_t>(r.right - r.left) * 4);
  if (!EnsureImage(*w, Width, Height))
    return;
  // The server may still be reading the shared image of the last put.
  if (w->PutPending) {
    XSync(FDisplay, False);
    w->PutPending = false;
  }
  for (const RECT& r : areas) {
    Convert(*w, r);
    PutImage(*w, r);
  }
}

void TX11Display::SetShape(TDisplayWindow Window, bool Set, const std::vector<RECT>& Rects)
{
  TQueueCheck check(this);
  TWin* w = FindTopLevel(Window);
  if (!w)
    return;
  w->Shaped = Set;
  w->Shape = Set ? Rects : std::vector<RECT>{};
  if (!FHasShape)
    return;
  if (!Set) {
    XShapeCombineMask(FDisplay, w->Xid, ShapeBounding, 0, 0, None, ShapeSet);
    return;
  }
  std::vector<XRectangle> rects;
  for (const RECT& r : Rects) {
    if (IsRectEmpty(&r))
      continue;
    auto clampPos = [](LONG V) { return static_cast<short>(std::clamp<LONG>(V, -32768, 32767)); };
    short left = clampPos(r.left), top = clampPos(r.top);
    LONG width = std::clamp<LONG>(r.right - left, 0, 65535);
    LONG height = std::clamp<LONG>(r.bottom - top, 0, 65535);
    if (width > 0 && height > 0)
      rects.push_back(XRectangle{left, top, static_cast<unsigned short>(width), static_cast<unsigned short>(height)});
  }
  XShapeCombineRectangles(FDisplay, w->Xid, ShapeBounding, 0, 0, rects.data(), static_cast<int>(rects.size()),
                          ShapeSet, Unsorted);
}

void TX11Display::SetOpacity(TDisplayWindow Window, BYTE Alpha, bool PerPixelAlpha)
{
  TQueueCheck check(this);
  TWin* w = FindTopLevel(Window);
  if (!w)
    return;
  bool perPixelChanged = w->PerPixel != PerPixelAlpha;
  w->Alpha = Alpha;
  w->PerPixel = PerPixelAlpha;
  if (NeedsArgb(*w) != w->Argb) {
    RecreateXWindow(Window, *w);
    return;
  }
  if (FCompositor) {
    if (Alpha == 255) {
      XDeleteProperty(FDisplay, w->Xid, A.NetWmWindowOpacity);
    } else {
      unsigned long opacity = static_cast<unsigned long>(Alpha) * 0x01010101ul;
      XChangeProperty(FDisplay, w->Xid, A.NetWmWindowOpacity, XA_CARDINAL, 32, PropModeReplace,
                      reinterpret_cast<unsigned char*>(&opacity), 1);
    }
  }
  if (perPixelChanged && w->Argb && w->Image && !w->Copy.empty()) {
    RECT all = Rect(0, 0, w->ImageWidth, w->ImageHeight);
    if (w->PutPending) {
      XSync(FDisplay, False);
      w->PutPending = false;
    }
    Convert(*w, all);
    PutImage(*w, all);
  }
}

bool TX11Display::ReadPixels(TDisplayWindow Window, std::vector<std::uint32_t>& Pixels, int& Width, int& Height)
{
  TQueueCheck check(this);
  TWin* w = FindTopLevel(Window);
  if (!w || !w->Visible)
    return false;
  XWindowAttributes attrs{};
  TErrorTrap trap(FDisplay);
  if (!XGetWindowAttributes(FDisplay, w->Xid, &attrs) || attrs.map_state != IsViewable) {
    trap.Finish();
    return false;
  }
  XImage* image = XGetImage(FDisplay, w->Xid, 0, 0, attrs.width, attrs.height, AllPlanes, ZPixmap);
  if (trap.Finish() != 0 || !image) {
    if (image)
      XDestroyImage(image);
    return false;
  }
  TPixelFormat f = FormatOf(attrs.visual, attrs.depth);
  Width = attrs.width;
  Height = attrs.height;
  Pixels.resize(static_cast<std::size_t>(Width) * Height);
  for (int y = 0; y < Height; ++y) {
    for (int x = 0; x < Width; ++x) {
      unsigned long p = XGetPixel(image, x, y);
      unsigned alpha = f.AlphaMask ? Channel8(p, LowBit(f.AlphaMask), BitCount(f.AlphaMask)) : 255;
      Pixels[static_cast<std::size_t>(y) * Width + x] =
          (static_cast<std::uint32_t>(alpha) << 24) | (Channel8(p, f.RedShift, f.RedBits) << 16) |
          (Channel8(p, f.GreenShift, f.GreenBits) << 8) | Channel8(p, f.BlueShift, f.BlueBits);
    }
  }
  XDestroyImage(image);
  return true;
}

// ---- Pointer and keyboard ----

void TX11Display::SetNormalHints(const TWin& W)
{
  XSizeHints* size = XAllocSizeHints();
  if (!size)
    return;
  size->flags = USPosition | PPosition | USSize | PSize;
  size->x = W.Bounds.left;
  size->y = W.Bounds.top;
  size->width = std::max<LONG>(1, W.Bounds.right - W.Bounds.left);
  size->height = std::max<LONG>(1, W.Bounds.bottom - W.Bounds.top);
  if (W.MinSize.cx > 0 || W.MinSize.cy > 0) {
    size->flags |= PMinSize;
    size->min_width = std::max<LONG>(1, W.MinSize.cx);
    size->min_height = std::max<LONG>(1, W.MinSize.cy);
  }
  if (W.MaxSize.cx > 0 || W.MaxSize.cy > 0) {
    size->flags |= PMaxSize;
    size->max_width = W.MaxSize.cx > 0 ? W.MaxSize.cx : 32767;
    size->max_height = W.MaxSize.cy > 0 ? W.MaxSize.cy : 32767;
  }
  XSetWMNormalHints(FDisplay, W.Xid, size);
  XFree(size);
}

void TX11Display::SetSizeLimits(TDisplayWindow Window, SIZE Min, SIZE Max)
{
  TQueueCheck check(this);
  TWin* w = FindTopLevel(Window);
  if (!w || (w->MinSize.cx == Min.cx && w->MinSize.cy == Min.cy && w->MaxSize.cx == Max.cx && w->MaxSize.cy == Max.cy))
    return;
  w->MinSize = Min;
  w->MaxSize = Max;
  SetNormalHints(*w);
}

bool TX11Display::BeginMoveResize(TDisplayWindow Window, int Direction, POINT Screen, int Button)
{
  TQueueCheck check(this);
  TWin* w = FindTopLevel(Window);
  if (!w || !w->Visible || (w->Flags & dwfPopup) || Direction < 0 || Direction > 8)
    return false;
  if (!WindowManagerRuns() || !FWmMovesAndSizes)
    return false;
  // The window manager takes the pointer: any grab of ours must go first.
  XUngrabPointer(FDisplay, CurrentTime);
  FGrab = 0;
  XEvent ev{};
  ev.xclient.type = ClientMessage;
  ev.xclient.window = w->Xid;
  ev.xclient.message_type = A.NetWmMoveResize;
  ev.xclient.format = 32;
  ev.xclient.data.l[0] = Screen.x;
  ev.xclient.data.l[1] = Screen.y;
  ev.xclient.data.l[2] = Direction;
  ev.xclient.data.l[3] = Button;
  ev.xclient.data.l[4] = 1; // a normal application
  XSendEvent(FDisplay, FRoot, False, SubstructureRedirectMask | SubstructureNotifyMask, &ev);
  XFlush(FDisplay);
  return true;
}

void TX11Display::GrabPointer(TDisplayWindow Window, bool Grab)
{
  TQueueCheck check(this);
  if (!Grab) {
    if (FGrab && (Window == FGrab || Window == 0)) {
      XUngrabPointer(FDisplay, CurrentTime);
      XFlush(FDisplay);
      FGrab = 0;
    }
    return;
  }
  TWin* w = FindTopLevel(Window);
  if (!w || !w->Visible)
    return;
  int result = XGrabPointer(FDisplay, w->Xid, False,
                            ButtonPressMask | ButtonReleaseMask | PointerMotionMask | EnterWindowMask | LeaveWindowMask,
                            GrabModeAsync, GrabModeAsync, None, None, CurrentTime);
  if (result == GrabSuccess)
    FGrab = Window;
}

Cursor TX11Display::CursorOf(int CursorId)
{
  unsigned shape = FontCursorOf(CursorId);
  auto it = FCursors.find(static_cast<int>(shape));
  if (it != FCursors.end())
    return it->second;
  Cursor c = XCreateFontCursor(FDisplay, shape);
  FCursors[static_cast<int>(shape)] = c;
  return c;
}

void TX11Display::SetCursor(TDisplayWindow Window, int CursorId)
{
  TQueueCheck check(this);
  TWin* w = FindTopLevel(Window);
  if (!w || w->CursorId == CursorId)
    return;
  w->CursorId = CursorId;
  XDefineCursor(FDisplay, w->Xid, CursorOf(CursorId));
  XFlush(FDisplay);
}

POINT TX11Display::CursorPos() const
{
  TQueueCheck check(this);
  Window root, child;
  int rootX = 0, rootY = 0, x, y;
  unsigned mask;
  XQueryPointer(FDisplay, FRoot, &root, &child, &rootX, &rootY, &x, &y, &mask);
  return Point(rootX, rootY);
}

void TX11Display::SetCursorPos(POINT P)
{
  XWarpPointer(FDisplay, None, FRoot, 0, 0, 0, 0, P.x, P.y);
  XFlush(FDisplay);
}

bool TX11Display::KeyDown(unsigned VirtualKey) const
{
  TQueueCheck check(this);
  if (VirtualKey == VK_LBUTTON || VirtualKey == VK_RBUTTON || VirtualKey == VK_MBUTTON) {
    Window root, child;
    int rootX, rootY, x, y;
    unsigned mask = 0;
    XQueryPointer(FDisplay, FRoot, &root, &child, &rootX, &rootY, &x, &y, &mask);
    unsigned bit = VirtualKey == VK_LBUTTON ? Button1Mask : VirtualKey == VK_RBUTTON ? Button3Mask : Button2Mask;
    return (mask & bit) != 0;
  }
  char keys[32] = {};
  XQueryKeymap(FDisplay, keys);
  for (int code = 8; code < 256; ++code) {
    if (!(keys[code / 8] & (1 << (code % 8))))
      continue;
    KeySym sym = XkbKeycodeToKeysym(FDisplay, static_cast<KeyCode>(code), 0, 0);
    if (VirtualKeyFromKeySym(sym) == VirtualKey || SidedVirtualKeyFromKeySym(sym) == VirtualKey)
      return true;
  }
  return false;
}

// ---- Native children ----

TDisplayWindow TX11Display::CreateNativeChild(TDisplayWindow Parent, const RECT& Bounds, bool Visible)
{
  TQueueCheck check(this);
  TWin* parent = FindTopLevel(Parent);
  if (!parent)
    return 0;
  TDisplayWindow id = FNextId++;
  TWin& w = FWindows[id];
  w.Native = true;
  w.Parent = Parent;
  w.Bounds = Bounds;
  w.Visible = Visible;
  int width = std::max<LONG>(1, Bounds.right - Bounds.left);
  int height = std::max<LONG>(1, Bounds.bottom - Bounds.top);
  unsigned long black = BlackPixel(FDisplay, FScreen);
  XSetWindowAttributes a{};
  a.background_pixel = parent->Argb ? 0xFF000000ul : black;
  a.border_pixel = 0;
  a.colormap = parent->Argb ? FArgbColormap : FColormap;
  w.Xid = XCreateWindow(FDisplay, parent->Xid, Bounds.left, Bounds.top, width, height, 0, parent->Depth, InputOutput,
                        parent->Vis, CWBackPixel | CWBorderPixel | CWColormap, &a);
  FByXid[w.Xid] = id;
  if (Visible) XMapWindow(FDisplay, w.Xid);
  // Another process may draw into it as soon as it has the id.
  XSync(FDisplay, False);
  return id;
}

void TX11Display::DestroyNativeChild(TDisplayWindow Child)
{
  TQueueCheck check(this);
  TWin* w = Find(Child);
  if (!w || !w->Native)
    return;
  FByXid.erase(w->Xid);
  {
    TErrorTrap trap(FDisplay);
    XDestroyWindow(FDisplay, w->Xid);
  }
  FWindows.erase(Child);
}

void TX11Display::SetNativeChildBounds(TDisplayWindow Child, const RECT& Bounds, bool Visible)
{
  TQueueCheck check(this);
  TWin* w = Find(Child);
  if (!w || !w->Native)
    return;
  w->Bounds = Bounds;
  int width = std::max<LONG>(1, Bounds.right - Bounds.left);
  int height = std::max<LONG>(1, Bounds.bottom - Bounds.top);
  XMoveResizeWindow(FDisplay, w->Xid, Bounds.left, Bounds.top, width, height);
  if (Visible != w->Visible) {
    w->Visible = Visible;
    if (Visible)
      XMapWindow(FDisplay, w->Xid);
    else
      XUnmapWindow(FDisplay, w->Xid);
  }
  XFlush(FDisplay);
}

void TX11Display::SetNativeChildShape(TDisplayWindow Child, bool Set, const std::vector<RECT>& Rects)
{
  TQueueCheck check(this);
  TWin* w = Find(Child);
  if (!w || !w->Native)
    return;
  if (!Set) {
    XShapeCombineMask(FDisplay, w->Xid, ShapeBounding, 0, 0, None, ShapeSet);
  } else {
    std::vector<XRectangle> xr;
    for (const RECT& r : Rects)
      if (r.right > r.left && r.bottom > r.top)
        xr.push_back(XRectangle{static_cast<short>(r.left), static_cast<short>(r.top),
                                static_cast<unsigned short>(r.right - r.left),
                                static_cast<unsigned short>(r.bottom - r.top)});
    XShapeCombineRectangles(FDisplay, w->Xid, ShapeBounding, 0, 0, xr.data(), static_cast<int>(xr.size()), ShapeSet,
                            Unsorted);
  }
  XFlush(FDisplay);
}

std::uint64_t TX11Display::NativeId(TDisplayWindow Window) const
{
  const TWin* w = Find(Window);
  return w ? w->Xid : 0;
}

// ---- Monitors ----

void TX11Display::LoadMonitors() const
{
  FMonitors.clear();
  if (FHasRandr) {
    XRRScreenResources* res = XRRGetScreenResourcesCurrent(FDisplay, FRoot);
    if (res) {
      RROutput primaryOutput = XRRGetOutputPrimary(FDisplay, FRoot);
      for (int i = 0; i < res->ncrtc; ++i) {
        XRRCrtcInfo* crtc = XRRGetCrtcInfo(FDisplay, res, res->crtcs[i]);
        if (!crtc)
          continue;
        if (crtc->mode != None && crtc->width > 0 && crtc->height > 0) {
          TDisplayMonitor m;
          m.Monitor = Bounds(crtc->x, crtc->y, static_cast<int>(crtc->width), static_cast<int>(crtc->height));
          m.Primary = std::find(crtc->outputs, crtc->outputs + crtc->noutput, primaryOutput) != crtc->outputs + crtc->noutput;
          auto same = std::find_if(FMonitors.begin(), FMonitors.end(),
                                   [&](const TDisplayMonitor& O) { return O.Monitor == m.Monitor; });
          if (same == FMonitors.end())
            FMonitors.push_back(m);
          else
            same->Primary = same->Primary || m.Primary; // a clone shows the same area
        }
        XRRFreeCrtcInfo(crtc);
      }
      XRRFreeScreenResources(res);
    }
  }
  if (FMonitors.empty()) {
    TDisplayMonitor m;
    m.Monitor = Rect(0, 0, DisplayWidth(FDisplay, FScreen), DisplayHeight(FDisplay, FScreen));
    FMonitors.push_back(m);
  }
  auto primary = std::find_if(FMonitors.begin(), FMonitors.end(), [](const TDisplayMonitor& M) { return M.Primary; });
  if (primary == FMonitors.end())
    primary = FMonitors.begin();
  std::rotate(FMonitors.begin(), primary, primary + 1);
  for (auto& m : FMonitors)
    m.Primary = false;
  FMonitors.front().Primary = true;

  // The work area: _NET_WORKAREA of the current desktop, cut to each monitor.
  RECT work{};
  bool haveWork = false;
  Atom type;
  int format;
  unsigned long count, after;
  unsigned char* data = nullptr;
  long desktop = 0;
  if (XGetWindowProperty(FDisplay, FRoot, A.NetCurrentDesktop, 0, 1, False, XA_CARDINAL, &type, &format, &count,
                         &after, &data) == Success &&
      type == XA_CARDINAL && format == 32 && count == 1)
    desktop = reinterpret_cast<long*>(data)[0];
  if (data)
    XFree(data);
  data = nullptr;
  if (XGetWindowProperty(FDisplay, FRoot, A.NetWorkarea, 0, 4096, False, XA_CARDINAL, &type, &format, &count, &after,
                         &data) == Success &&
      type == XA_CARDINAL && format == 32 && count >= 4) {
    auto* v = reinterpret_cast<long*>(data);
    unsigned long at = static_cast<unsigned long>(desktop) * 4;
    if (desktop < 0 || at + 4 > count)
      at = 0;
    work = Bounds(static_cast<int>(v[at]), static_cast<int>(v[at + 1]), static_cast<int>(v[at + 2]),
                  static_cast<int>(v[at + 3]));
    haveWork = !IsRectEmpty(&work);
  }
  if (data)
    XFree(data);
  for (auto& m : FMonitors) {
    m.Work = m.Monitor;
    RECT cut;
    if (haveWork && IntersectRect(&cut, &m.Monitor, &work))
      m.Work = cut;
  }
  FMonitorsValid = true;
}

std::vector<TDisplayMonitor> TX11Display::Monitors() const
{
  TQueueCheck check(this);
  if (!FMonitorsValid)
    LoadMonitors();
  return FMonitors;
}

// ---- Clipboard ----

Time TX11Display::ServerTime()
{
  // A zero-length append changes nothing but is answered with a PropertyNotify carrying the time.
  XChangeProperty(FDisplay, FHelper, A.QvTimestamp, XA_INTEGER, 8, PropModeAppend, nullptr, 0);
  XEvent ev;
  struct TMatch {
    Window W;
    Atom P;
  } match{FHelper, A.QvTimestamp};
  auto predicate = [](Display*, XEvent* E, XPointer Arg) -> Bool {
    auto* m = reinterpret_cast<TMatch*>(Arg);
    return E->type == PropertyNotify && E->xproperty.window == m->W && E->xproperty.atom == m->P;
  };
  if (WaitForEvent(ev, predicate, reinterpret_cast<XPointer>(&match), 1000))
    return ev.xproperty.time;
  return FLastTime;
}

bool TX11Display::WaitForEvent(XEvent& Ev, Bool (*Predicate)(Display*, XEvent*, XPointer), XPointer Arg,
                               int TimeoutMs)
{
  DWORD start = Now();
  for (;;) {
    XEventsQueued(FDisplay, QueuedAfterFlush);
    if (XCheckIfEvent(FDisplay, &Ev, Predicate, Arg))
      return true;
    int left = TimeoutMs - static_cast<int>(Now() - start);
    if (left <= 0)
      return false;
    pollfd p{ConnectionNumber(FDisplay), POLLIN, 0};
    poll(&p, 1, std::min(left, 50));
  }
}

void TX11Display::SetClipboardText(const String& Text)
{
  TQueueCheck check(this);
  FClipboard = Text;
  FClipboardTime = FLastTime != CurrentTime ? FLastTime : ServerTime();
  XSetSelectionOwner(FDisplay, A.Clipboard, FHelper, FClipboardTime);
  FOwnClipboard = XGetSelectionOwner(FDisplay, A.Clipboard) == FHelper;
}

// Reads (and deletes) a property that a selection owner wrote, following the INCR protocol for
// large transfers.
bool TX11Display::ReadSelectionProperty(Window W, Atom Property, Atom& Type, String& Data)
{
  Data.clear();
  int format;
  unsigned long count, after;
  unsigned char* data = nullptr;
  if (XGetWindowProperty(FDisplay, W, Property, 0, 0x1FFFFFFF, True, AnyPropertyType, &Type, &format, &count, &after,
                         &data) != Success)
    return false;
  bool incr = Type == A.Incr;
  if (!incr && data)
    Data.assign(reinterpret_cast<char*>(data), count * (format / 8));
  if (data)
    XFree(data);
  if (!incr)
    return Type != None;
  // Deleting the property (done above) asks for the first chunk; a zero-length chunk ends it.
  struct TMatch {
    Window W;
    Atom P;
  } match{W, Property};
  auto predicate = [](Display*, XEvent* E, XPointer Arg) -> Bool {
    auto* m = reinterpret_cast<TMatch*>(Arg);
    return E->type == PropertyNotify && E->xproperty.window == m->W && E->xproperty.atom == m->P &&
           E->xproperty.state == PropertyNewValue;
  };
  for (;;) {
    XEvent ev;
    if (!WaitForEvent(ev, predicate, reinterpret_cast<XPointer>(&match), 2000))
      return false;
    data = nullptr;
    if (XGetWindowProperty(FDisplay, W, Property, 0, 0x1FFFFFFF, True, AnyPropertyType, &Type, &format, &count, &after,
                           &data) != Success)
      return false;
    std::size_t bytes = data ? count * (format / 8) : 0;
    if (bytes)
      Data.append(reinterpret_cast<char*>(data), bytes);
    if (data)
      XFree(data);
    if (bytes == 0)
      return true;
  }
}

// Asks the selection's owner for Target; TimedOut tells a silent owner from one that refused.
bool TX11Display::ConvertSelection(Atom Selection, Atom Target, String& Data, Atom& Type, bool& TimedOut)
{
  TimedOut = false;
  XDeleteProperty(FDisplay, FHelper, A.QvSelection);
  XConvertSelection(FDisplay, Selection, Target, A.QvSelection, FHelper, FLastTime);
  XEvent ev;
  struct TMatch {
    Window W;
    Atom S;
  } match{FHelper, Selection};
  auto predicate = [](Display*, XEvent* E, XPointer Arg) -> Bool {
    auto* m = reinterpret_cast<TMatch*>(Arg);
    return E->type == SelectionNotify && E->xselection.requestor == m->W && E->xselection.selection == m->S;
  };
  if (!WaitForEvent(ev, predicate, reinterpret_cast<XPointer>(&match), 2000)) {
    TimedOut = true;
    return false;
  }
  if (ev.xselection.property == None)
    return false;
  return ReadSelectionProperty(FHelper, ev.xselection.property, Type, Data);
}

bool TX11Display::GetClipboardText(String& Text)
{
  TQueueCheck check(this);
  Window owner = XGetSelectionOwner(FDisplay, A.Clipboard);
  if (owner == None)
    return false;
  if (owner == FHelper) {
    Text = FClipboard;
    return true;
  }
  String data;
  Atom type = None;
  bool timedOut = false;
  if (ConvertSelection(A.Clipboard, A.Utf8String, data, type, timedOut) && type == A.Utf8String) {
    Text = data;
    return true;
  }
  // An owner that does not answer at all is not asked twice.
  if (!timedOut && ConvertSelection(A.Clipboard, XA_STRING, data, type, timedOut) && type == XA_STRING) {
    Text = Latin1ToUtf8(reinterpret_cast<const unsigned char*>(data.data()), data.size());
    return true;
  }
  return false;
}

void TX11Display::OnSelectionRequest(const XSelectionRequestEvent& Ev)
{
  XEvent reply{};
  reply.xselection.type = SelectionNotify;
  reply.xselection.display = FDisplay;
  reply.xselection.requestor = Ev.requestor;
  reply.xselection.selection = Ev.selection;
  reply.xselection.target = Ev.target;
  reply.xselection.time = Ev.time;
  reply.xselection.property = None;
  // Old clients name no property: the target's name serves.
  Atom property = Ev.property != None ? Ev.property : Ev.target;
  bool ours = Ev.selection == A.Clipboard && FOwnClipboard &&
              (Ev.time == CurrentTime || FClipboardTime == CurrentTime || Ev.time >= FClipboardTime);
  if (ours) {
    TErrorTrap trap(FDisplay);
    long maxBytes = std::max(XExtendedMaxRequestSize(FDisplay), XMaxRequestSize(FDisplay)) * 4 - 256;
    if (Ev.target == A.Targets) {
      Atom targets[] = {A.Targets, A.Timestamp, A.Utf8String, A.TextPlainUtf8, XA_STRING, A.Text};
      XChangeProperty(FDisplay, Ev.requestor, property, XA_ATOM, 32, PropModeReplace,
                      reinterpret_cast<unsigned char*>(targets), static_cast<int>(std::size(targets)));
      reply.xselection.property = property;
    } else if (Ev.target == A.Timestamp) {
      long time = static_cast<long>(FClipboardTime);
      XChangeProperty(FDisplay, Ev.requestor, property, XA_INTEGER, 32, PropModeReplace,
                      reinterpret_cast<unsigned char*>(&time), 1);
      reply.xselection.property = property;
    } else if (Ev.target == A.Utf8String || Ev.target == A.TextPlainUtf8 || Ev.target == XA_STRING ||
               Ev.target == A.Text) {
      bool latin1 = Ev.target == XA_STRING || Ev.target == A.Text;
      String bytes = latin1 ? Utf8ToLatin1(FClipboard) : FClipboard;
      Atom type = latin1 ? XA_STRING : Ev.target;
      // Larger than one request would take: refused rather than cut.
      if (static_cast<long>(bytes.size()) <= maxBytes) {
        XChangeProperty(FDisplay, Ev.requestor, property, type, 8, PropModeReplace,
                        reinterpret_cast<const unsigned char*>(bytes.data()), static_cast<int>(bytes.size()));
        reply.xselection.property = property;
      }
    }
    if (trap.Finish() != 0)
      reply.xselection.property = None;
  }
  TErrorTrap trap(FDisplay);
  XSendEvent(FDisplay, Ev.requestor, False, NoEventMask, &reply);
}

// ---- Dropping files (XDND) ----

void TX11Display::SendDndMessage(Window To, Atom Type, long L1, long L2, long L3, long L4)
{
  TWin* w = Find(FDrag.Target);
  XEvent ev{};
  ev.xclient.type = ClientMessage;
  ev.xclient.display = FDisplay;
  ev.xclient.window = To;
  ev.xclient.message_type = Type;
  ev.xclient.format = 32;
  ev.xclient.data.l[0] = w ? static_cast<long>(w->Xid) : 0;
  ev.xclient.data.l[1] = L1;
  ev.xclient.data.l[2] = L2;
  ev.xclient.data.l[3] = L3;
  ev.xclient.data.l[4] = L4;
  TErrorTrap trap(FDisplay);
  XSendEvent(FDisplay, To, False, NoEventMask, &ev);
}

void TX11Display::FinishDrop(bool Accepted)
{
  if (FDrag.Source) {
    if (FDrag.Version >= 2)
      SendDndMessage(FDrag.Source, A.XdndFinished, Accepted ? 1 : 0,
                     Accepted ? static_cast<long>(A.XdndActionCopy) : static_cast<long>(None), 0, 0);
  }
  FDrag = TDrag{};
}

void TX11Display::OnClientMessage(const XClientMessageEvent& Ev, TDisplayWindow Id)
{
  if (Ev.message_type == A.WmProtocols) {
    Atom protocol = static_cast<Atom>(Ev.data.l[0]);
    if (protocol == A.WmDeleteWindow) {
      TDisplayEvent e;
      e.Kind = TDisplayEvent::CloseRequest;
      e.Window = Id;
      Queue(e);
    } else if (protocol == A.NetWmPing) {
      XEvent reply{};
      reply.xclient = Ev;
      reply.xclient.window = FRoot;
      XSendEvent(FDisplay, FRoot, False, SubstructureRedirectMask | SubstructureNotifyMask, &reply);
    }
    return;
  }
  if (Ev.message_type == A.XdndEnter) {
    FDrag = TDrag{};
    FDrag.Source = static_cast<Window>(Ev.data.l[0]);
    FDrag.Target = Id;
    FDrag.Version = static_cast<int>((static_cast<unsigned long>(Ev.data.l[1]) >> 24) & 0xFF);
    std::vector<Atom> types;
    if (Ev.data.l[1] & 1) {
      Atom type;
      int format;
      unsigned long count, after;
      unsigned char* data = nullptr;
      TErrorTrap trap(FDisplay);
      if (XGetWindowProperty(FDisplay, FDrag.Source, A.XdndTypeList, 0, 1024, False, XA_ATOM, &type, &format, &count,
                             &after, &data) == Success &&
          type == XA_ATOM && format == 32) {
        auto* list = reinterpret_cast<Atom*>(data);
        types.assign(list, list + count);
      }
      if (data)
        XFree(data);
    } else {
      for (int i = 2; i <= 4; ++i)
        if (Ev.data.l[i])
          types.push_back(static_cast<Atom>(Ev.data.l[i]));
    }
    FDrag.Accept = std::find(types.begin(), types.end(), A.UriList) != types.end();
    return;
  }
  if (Ev.message_type == A.XdndPosition) {
    if (FDrag.Source != static_cast<Window>(Ev.data.l[0]))
      return;
    FDrag.Target = Id;
    FDrag.X = static_cast<int>((static_cast<unsigned long>(Ev.data.l[2]) >> 16) & 0xFFFF);
    FDrag.Y = static_cast<int>(static_cast<unsigned long>(Ev.data.l[2]) & 0xFFFF);
    if (FDrag.X >= 0x8000)
      FDrag.X -= 0x10000;
    if (FDrag.Y >= 0x8000)
      FDrag.Y -= 0x10000;
    if (Ev.data.l[3])
      FLastTime = static_cast<Time>(Ev.data.l[3]);
    // Accepted anywhere in the window: ask for positions all the time (empty rectangle).
    SendDndMessage(FDrag.Source, A.XdndStatus, FDrag.Accept ? 3 : 0, 0, 0,
                   FDrag.Accept ? static_cast<long>(A.XdndActionCopy) : static_cast<long>(None));
    return;
  }
  if (Ev.message_type == A.XdndLeave) {
    if (FDrag.Source == static_cast<Window>(Ev.data.l[0]))
      FDrag = TDrag{};
    return;
  }
  if (Ev.message_type == A.XdndDrop) {
    if (FDrag.Source != static_cast<Window>(Ev.data.l[0]))
      return;
    TWin* w = FindTopLevel(FDrag.Target);
    if (!FDrag.Accept || !w) {
      FinishDrop(false);
      return;
    }
    FDrag.Dropped = true;
    Time time = FDrag.Version >= 1 && Ev.data.l[2] ? static_cast<Time>(Ev.data.l[2]) : CurrentTime;
    // The data comes as a SelectionNotify to the target window.
    XDeleteProperty(FDisplay, w->Xid, A.XdndSelection);
    XConvertSelection(FDisplay, A.XdndSelection, A.UriList, A.XdndSelection, w->Xid, time);
  }
}

void TX11Display::OnDropData(const XSelectionEvent& Ev)
{
  TWin* w = FindTopLevel(FDrag.Target);
  if (!FDrag.Dropped || !w || Ev.requestor != w->Xid)
    return;
  String data;
  Atom type = None;
  bool ok = Ev.property != None && ReadSelectionProperty(w->Xid, Ev.property, type, data);
  std::vector<String> files = ok ? FileNamesFromUriList(data, FHostName) : std::vector<String>{};
  const bool accepted = !files.empty();
  if (accepted) {
    TDisplayEvent e;
    e.Kind = TDisplayEvent::Drop;
    e.Window = FDrag.Target;
    e.X = FDrag.X;
    e.Y = FDrag.Y;
    e.Files = std::move(files);
    Queue(e);
  }
  FinishDrop(accepted);
}

// ---- Events ----

unsigned TX11Display::ModifiersOf(unsigned State) const
{
  unsigned m = 0;
  if (State & Button1Mask)
    m |= MK_LBUTTON;
  if (State & Button2Mask)
    m |= MK_MBUTTON;
  if (State & Button3Mask)
    m |= MK_RBUTTON;
  if (State & ShiftMask)
    m |= MK_SHIFT;
  if (State & ControlMask)
    m |= MK_CONTROL;
  if (State & Mod1Mask)
    m |= MK_ALT;
  return m;
}

void TX11Display::OnKey(XEvent& Ev, TDisplayWindow Id, TWin& W)
{
  XKeyEvent& key = Ev.xkey;
  const bool press = Ev.type == KeyPress;
  if (!press) {
    // Without detectable auto-repeat the server sends release + press with one time stamp.
    if (XEventsQueued(FDisplay, QueuedAfterReading) > 0) {
      XEvent next;
      XPeekEvent(FDisplay, &next);
      if (next.type == KeyPress && next.xkey.keycode == key.keycode && next.xkey.time == key.time)
        return;
    }
  }
  char buffer[64];
  String text;
  KeySym sym = NoSymbol;
  if (press && W.Ic) {
    Status status = 0;
    int n = Xutf8LookupString(W.Ic, &key, buffer, sizeof buffer, &sym, &status);
    if (status == XBufferOverflow) {
      std::vector<char> big(static_cast<std::size_t>(n) + 1);
      n = Xutf8LookupString(W.Ic, &key, big.data(), n, &sym, &status);
      if (status == XLookupChars || status == XLookupBoth)
        text.assign(big.data(), static_cast<std::size_t>(std::max(n, 0)));
    } else if (status == XLookupChars || status == XLookupBoth) {
      text.assign(buffer, static_cast<std::size_t>(std::max(n, 0)));
    }
    if (status != XLookupKeySym && status != XLookupBoth)
      sym = NoSymbol;
  } else {
    int n = XLookupString(&key, buffer, sizeof buffer, &sym, nullptr);
    if (press && n > 0)
      text = Latin1ToUtf8(reinterpret_cast<unsigned char*>(buffer), static_cast<std::size_t>(n));
  }
  if (press && text.empty() && !W.Ic)
    text = TextFromKeySym(sym);
  if (sym == NoSymbol) {
    XKeyEvent copy = key;
    XLookupString(&copy, buffer, sizeof buffer, &sym, nullptr);
  }
  unsigned vk = VirtualKeyFromKeySym(sym);
  if (!vk)
    vk = VirtualKeyFromKeySym(XLookupKeysym(&key, 0));

  bool repeat = false;
  if (press) {
    repeat = !FKeysDown.insert(key.keycode).second;
  } else {
    FKeysDown.erase(key.keycode);
  }
  unsigned modifiers = ModifiersOf(key.state);
  unsigned bit = vk == VK_SHIFT ? MK_SHIFT : vk == VK_CONTROL ? MK_CONTROL : vk == VK_MENU ? MK_ALT : 0;
  modifiers = press ? (modifiers | bit) : (modifiers & ~bit);
  if (vk) {
    TDisplayEvent e;
    e.Kind = press ? TDisplayEvent::KeyDown : TDisplayEvent::KeyUp;
    e.Window = Id;
    e.VirtualKey = vk;
    e.Repeat = repeat;
    e.Modifiers = modifiers;
    e.X = key.x_root;
    e.Y = key.y_root;
    Queue(e);
  }
  // Delete types no character on Windows.
  if (press && !text.empty() && text != "\x7f") {
    TDisplayEvent e;
    e.Kind = TDisplayEvent::Char;
    e.Window = Id;
    e.Text = text;
    e.Modifiers = modifiers;
    Queue(e);
  }
}

void TX11Display::OnConfigure(const XConfigureEvent& Ev, TDisplayWindow Id, TWin& W)
{
  int x = Ev.x, y = Ev.y;
  if (!Ev.send_event && W.XParent != FRoot) {
    // Relative to the frame a window manager put around us: ask where that is.
    Window child;
    TErrorTrap trap(FDisplay);
    if (!XTranslateCoordinates(FDisplay, W.Xid, FRoot, 0, 0, &x, &y, &child))
      return;
    if (trap.Finish() != 0)
      return;
  }
  RECT bounds = Bounds(x, y, Ev.width, Ev.height);
  auto asked = std::find(W.PendingBounds.begin(), W.PendingBounds.end(), bounds);
  if (asked != W.PendingBounds.end()) {
    // Our own request coming back.
    W.PendingBounds.erase(W.PendingBounds.begin(), asked + 1);
    return;
  }
  RECT current = W.Bounds;
  if (std::max<LONG>(1, current.right - current.left) == Ev.width &&
      std::max<LONG>(1, current.bottom - current.top) == Ev.height && current.left == x && current.top == y)
    return;
  W.Bounds = bounds;
  TDisplayEvent e;
  e.Kind = TDisplayEvent::Configured;
  e.Window = Id;
  e.Bounds = bounds;
  Queue(e);
}

void TX11Display::OnPropertyNotify(const XPropertyEvent& Ev)
{
  if (Ev.window == FRoot) {
    if (Ev.atom == A.NetWorkarea || Ev.atom == A.NetCurrentDesktop)
      QueueDisplayChanged();
    return;
  }
  if (Ev.atom != A.WmState)
    return;
  TDisplayWindow id = IdOf(Ev.window);
  TWin* w = FindTopLevel(id);
  if (!w)
    return;
  Atom type;
  int format;
  unsigned long count, after;
  unsigned char* data = nullptr;
  long state = -1;
  if (XGetWindowProperty(FDisplay, w->Xid, A.WmState, 0, 2, False, A.WmState, &type, &format, &count, &after, &data) ==
          Success &&
      type == A.WmState && format == 32 && count >= 1)
    state = reinterpret_cast<long*>(data)[0];
  if (data)
    XFree(data);
  if (state == IconicState && !w->Iconic) {
    w->Iconic = true;
    TDisplayEvent e;
    e.Kind = TDisplayEvent::Iconified;
    e.Window = id;
    Queue(e);
  } else if (state == NormalState && w->Iconic) {
    w->Iconic = false;
    TDisplayEvent e;
    e.Kind = TDisplayEvent::Restored;
    e.Window = id;
    Queue(e);
  }
}

void TX11Display::Translate(XEvent& Ev)
{
  if (FHasRandr && (Ev.type == FRandrEventBase + RRScreenChangeNotify || Ev.type == FRandrEventBase + RRNotify)) {
    XRRUpdateConfiguration(&Ev);
    QueueDisplayChanged();
    return;
  }
  if (Ev.type == ConfigureNotify && Ev.xconfigure.window == FRoot) {
    // The screen changed size; RandR, where there is one, has told already.
    XRRUpdateConfiguration(&Ev);
    if (!FHasRandr)
      QueueDisplayChanged();
    return;
  }
  switch (Ev.type) {
  case SelectionRequest:
    OnSelectionRequest(Ev.xselectionrequest);
    return;
  case SelectionClear:
    if (Ev.xselectionclear.selection == A.Clipboard && Ev.xselectionclear.window == FHelper) {
      FOwnClipboard = false;
      FClipboard.clear();
    }
    return;
  case SelectionNotify:
    if (Ev.xselection.selection == A.XdndSelection)
      OnDropData(Ev.xselection);
    return;
  case PropertyNotify:
    FLastTime = Ev.xproperty.time;
    OnPropertyNotify(Ev.xproperty);
    return;
  case MappingNotify:
    // Another keyboard layout: Xlib's copy of the key map must follow.
    if (Ev.xmapping.request == MappingKeyboard || Ev.xmapping.request == MappingModifier)
      XRefreshKeyboardMapping(&Ev.xmapping);
    return;
  case ClientMessage:
    if (Ev.xclient.window == FRoot) {
      // A tray manager announces itself (the system tray protocol): our screen's selection
      // has a new owner. Icons docked in another tray are lost to the new one (a tray that took
      // over from a running one); icons that docked in the new tray already stay.
      if (Ev.xclient.message_type == A.Manager && Ev.xclient.format == 32 &&
          static_cast<Atom>(Ev.xclient.data.l[1]) == A.NetSystemTrayS) {
        const ::Window owner = static_cast<::Window>(Ev.xclient.data.l[2]);
        for (auto& [id, w] : FWindows)
          if (!w.Native && (w.Flags & dwfTrayIcon) && w.Xid != 0 && w.TrayManager != owner) {
            TDisplayEvent lost;
            lost.Kind = TDisplayEvent::TrayIconLost;
            lost.Window = id;
            Queue(lost);
          }
        TDisplayEvent e;
        e.Kind = TDisplayEvent::TrayRestarted;
        Queue(e);
      }
      return;
    }
    break;
  default:
    break;
  }

  TDisplayWindow id = IdOf(Ev.xany.window);
  TWin* w = Find(id);
  if (!w || w->Native)
    return;
  TDisplayEvent e;
  e.Window = id;
  switch (Ev.type) {
  case MotionNotify: {
    // Only the latest position of a run of moves counts.
    XEvent next;
    while (XEventsQueued(FDisplay, QueuedAfterReading) > 0) {
      XPeekEvent(FDisplay, &next);
      if (next.type != MotionNotify || next.xmotion.window != Ev.xmotion.window)
        break;
      XNextEvent(FDisplay, &Ev);
    }
    FLastTime = Ev.xmotion.time;
    e.Kind = TDisplayEvent::MouseMove;
    e.X = Ev.xmotion.x_root;
    e.Y = Ev.xmotion.y_root;
    e.Modifiers = ModifiersOf(Ev.xmotion.state);
    Queue(e);
    return;
  }
  case ButtonPress:
  case ButtonRelease: {
    const XButtonEvent& b = Ev.xbutton;
    FLastTime = b.time;
    const bool press = Ev.type == ButtonPress;
    e.X = b.x_root;
    e.Y = b.y_root;
    unsigned modifiers = ModifiersOf(b.state);
    if (b.button == Button4 || b.button == Button5) {
      if (!press)
        return;
      e.Kind = TDisplayEvent::Wheel;
      e.WheelDelta = b.button == Button4 ? 120 : -120;
      e.Modifiers = modifiers;
      Queue(e);
      return;
    }
    if (b.button < Button1 || b.button > Button3)
      return;
    static const unsigned bits[] = {0, MK_LBUTTON, MK_MBUTTON, MK_RBUTTON};
    e.Kind = press ? TDisplayEvent::ButtonDown : TDisplayEvent::ButtonUp;
    e.Button = static_cast<int>(b.button);
    e.Modifiers = press ? (modifiers | bits[b.button]) : (modifiers & ~bits[b.button]);
    Queue(e);
    // The last button up ends the implicit grab: a pointer now outside has left the window.
    if (!press && !FGrab && (e.Modifiers & (MK_LBUTTON | MK_MBUTTON | MK_RBUTTON)) == 0 &&
        (b.x < 0 || b.y < 0 || b.x >= w->Bounds.right - w->Bounds.left || b.y >= w->Bounds.bottom - w->Bounds.top)) {
      TDisplayEvent leave;
      leave.Kind = TDisplayEvent::MouseLeave;
      leave.Window = id;
      leave.X = b.x_root;
      leave.Y = b.y_root;
      Queue(leave);
    }
    return;
  }
  case EnterNotify:
  case LeaveNotify: {
    const XCrossingEvent& c = Ev.xcrossing;
    FLastTime = c.time;
    if (c.mode == NotifyGrab || c.detail == NotifyInferior)
      return;
    const bool buttonsHeld = (c.state & (Button1Mask | Button2Mask | Button3Mask)) != 0;
    if (Ev.type == LeaveNotify && ((FGrab && c.mode == NotifyNormal) || buttonsHeld))
      return;
    e.Kind = Ev.type == EnterNotify ? TDisplayEvent::MouseMove : TDisplayEvent::MouseLeave;
    e.X = c.x_root;
    e.Y = c.y_root;
    e.Modifiers = ModifiersOf(c.state);
    Queue(e);
    return;
  }
  case KeyPress:
  case KeyRelease:
    FLastTime = Ev.xkey.time;
    OnKey(Ev, id, *w);
    return;
  case FocusIn:
  case FocusOut: {
    const XFocusChangeEvent& f = Ev.xfocus;
    if (f.mode == NotifyGrab || f.mode == NotifyUngrab || f.detail == NotifyPointer || f.detail == NotifyInferior)
      return;
    // Keys released while another window had the focus never came here.
    FKeysDown.clear();
    if (w->Ic) {
      if (Ev.type == FocusIn)
        XSetICFocus(w->Ic);
      else
        XUnsetICFocus(w->Ic);
    }
    e.Kind = Ev.type == FocusIn ? EventFocusIn : EventFocusOut;
    Queue(e);
    return;
  }
  case Expose: {
    const XExposeEvent& x = Ev.xexpose;
    RECT area = Bounds(x.x, x.y, x.width, x.height);
    RECT image = Rect(0, 0, w->ImageWidth, w->ImageHeight);
    RECT put;
    if (w->Image && IntersectRect(&put, &area, &image)) {
      if (w->PutPending) {
        XSync(FDisplay, False);
        w->PutPending = false;
      }
      PutImage(*w, put);
    }
    e.Kind = EventExpose;
    e.Bounds = area;
    OffsetRect(&e.Bounds, w->Bounds.left, w->Bounds.top);
    Queue(e);
    return;
  }
  case ConfigureNotify:
    if (Ev.xconfigure.window == w->Xid)
      OnConfigure(Ev.xconfigure, id, *w);
    return;
  case MapNotify:
    w->Mapped = true;
    if (w->FocusPending) {
      w->FocusPending = false;
      TErrorTrap trap(FDisplay);
      XSetInputFocus(FDisplay, w->Xid, RevertToParent, CurrentTime);
    }
    return;
  case UnmapNotify:
    w->Mapped = false;
    return;
  case ReparentNotify:
    if (Ev.xreparent.window != w->Xid)
      return;
    if ((w->Flags & dwfTrayIcon) && Ev.xreparent.parent == FRoot && w->XParent != FRoot) {
      // The tray handed the icon back (it quit keeping its icons in its save-set): the icon
      // is nobody's now.
      e.Kind = TDisplayEvent::TrayIconLost;
      Queue(e);
    }
    w->XParent = Ev.xreparent.parent;
    return;
  case DestroyNotify:
    if (Ev.xdestroywindow.window == w->Xid && (w->Flags & dwfTrayIcon)) {
      // The tray went away and the server destroyed its children, our icon among them: the
      // window's id is dead (it is never destroyed again nor drawn to).
      FByXid.erase(w->Xid);
      w->Xid = 0;
      w->Mapped = false;
      w->Visible = false;
      e.Kind = TDisplayEvent::TrayIconLost;
      Queue(e);
    }
    return;
  case ClientMessage:
    OnClientMessage(Ev.xclient, id);
    return;
  default:
    return;
  }
}

void TX11Display::PumpEvents(IDisplaySink& Sink)
{
  std::uint64_t value;
  [[maybe_unused]] ssize_t n = read(FWakeFd, &value, sizeof value);
  // One event at a time: the sink may pump again from a nested loop, and the order holds.
  for (;;) {
    if (FOut.empty()) {
      if (XPending(FDisplay) == 0)
        break;
      XEvent ev;
      XNextEvent(FDisplay, &ev);
      if (XFilterEvent(&ev, None))
        continue;
      Translate(ev);
      continue;
    }
    TDisplayEvent e = std::move(FOut.front());
    FOut.pop_front();
    Sink.DisplayEvent(e);
  }
  XFlush(FDisplay);
  NoteQueued();
}

void TX11Display::Flush()
{
  // Waits until the server has done everything: then the screen shows it, also to other
  // connections (a screenshot, a test looking at the pixels).
  XSync(FDisplay, False);
  NoteQueued();
}

void TX11Display::Beep()
{
  XBell(FDisplay, 0);
  XFlush(FDisplay);
}
