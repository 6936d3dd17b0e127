// The display: what shows the window system's top-level windows on a screen and turns the
// user's input into events. The window system keeps every window's pixels itself and hands
// finished top-level images to the backend; the backend knows nothing of window messages.
// Two backends: headless (pixels kept in memory, input injected by tests) and X11.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "platform/rtl/System.h"
#include "platform/rtl/WinTypes.h"

// A top-level window or a native child window of the backend; 0 is "none".
using TDisplayWindow = std::uintptr_t;

// How a top-level window is shown.
enum TDisplayWindowFlag : unsigned {
  dwfTopmost = 1u << 0,    // stays above normal windows
  dwfToolWindow = 1u << 1, // no task-bar button
  dwfNoActivate = 1u << 2, // clicks do not take the focus from the active window
  dwfLayered = 1u << 3,    // per-window alpha or per-pixel alpha
  dwfPopup = 1u << 4,      // a menu, hint or drop-down: override-redirect on X11
  dwfTrayIcon = 1u << 5,   // an icon for the notification area: only the tray shows it
};

struct TDisplayEvent {
  enum TKind {
    MouseMove,     // X, Y: screen point
    ButtonDown,    // Button 1 left, 2 middle, 3 right
    ButtonUp,
    Wheel,         // WheelDelta: +120 per notch away from the user
    MouseLeave,    // the pointer left the window
    KeyDown,       // VirtualKey (VK_*), Repeat set for auto-repeat
    KeyUp,
    Char,          // Text: UTF-8 text the key typed
    FocusIn,       // the window got the keyboard focus (activation)
    FocusOut,
    Expose,        // Bounds: screen area to show again (the backend may repaint it itself)
    CloseRequest,  // the user asked to close (window manager)
    Configured,    // Bounds: the window manager moved or sized the window
    Iconified,     // minimised by the window manager
    Restored,      // restored from the task bar
    Drop,          // Files: paths dropped at X, Y (screen)
    DisplayChanged, // monitors changed
    // The notification area (backends with HasTrayProtocol): TrayIconLost, Window: an icon
    // window (dwfTrayIcon) the tray let go of (the tray went away with it, handed it back, or
    // a new tray took over); the window is no longer shown and is to be destroyed.
    // TrayRestarted: a new tray took over (started, or restarted after a crash); it comes
    // after the TrayIconLost of the icons the tray before held.
    TrayIconLost,
    TrayRestarted
  };
  TKind Kind = MouseMove;
  TDisplayWindow Window = 0;
  int X = 0;
  int Y = 0;
  int Button = 0;
  int WheelDelta = 0;
  unsigned VirtualKey = 0;
  bool Repeat = false;
  // Modifier and button state at the time: MK_* bits for the mouse (MK_LBUTTON 1, MK_RBUTTON 2,
  // MK_SHIFT 4, MK_CONTROL 8, MK_MBUTTON 16) plus bit 0x100 for Alt.
  unsigned Modifiers = 0;
  String Text;
  RECT Bounds{};
  std::vector<String> Files;
  DWORD Time = 0; // milliseconds, GetTickCount clock
};

// Receives the backend's events, on the GUI thread, from PumpEvents.
class IDisplaySink {
public:
  virtual ~IDisplaySink() = default;
  virtual void DisplayEvent(const TDisplayEvent& Event) = 0;
};

struct TDisplayMonitor {
  RECT Monitor{};
  RECT Work{};
  bool Primary = false;
};

class TDisplayBackend {
public:
  virtual ~TDisplayBackend() = default;

  // "headless" or "x11".
  virtual String Name() const = 0;

  // Top-level windows. Bounds are screen coordinates; a new window is hidden.
  virtual TDisplayWindow CreateWindow(const RECT& Bounds, unsigned Flags) = 0;
  virtual void DestroyWindow(TDisplayWindow Window) = 0;
  virtual void SetBounds(TDisplayWindow Window, const RECT& Bounds) = 0;
  virtual void SetFlags(TDisplayWindow Window, unsigned Flags) = 0;
  virtual void Show(TDisplayWindow Window, bool Visible, bool Activate) = 0;
  // Puts Window directly above InsertAfter (0: on top of all) in the stacking order.
  virtual void Restack(TDisplayWindow Window, TDisplayWindow InsertAfter) = 0;
  virtual void Activate(TDisplayWindow Window) = 0;
  virtual void Iconify(TDisplayWindow Window) = 0;
  virtual void SetTitle(TDisplayWindow Window, const String& Title) = 0;

  // Shows the window's image: Pixels is 32-bit BGRA, top-down, Width x Height, Stride bytes per
  // row, the window's whole area. Dirty lists the changed rectangles (window coordinates); an
  // empty list means all. For a window with per-pixel alpha, alpha is premultiplied.
  virtual void Present(TDisplayWindow Window, const std::uint32_t* Pixels, int Width, int Height, int Stride,
                       const std::vector<RECT>& Dirty) = 0;
  // The visible shape (window coordinates); an empty list with Set = false removes the shape.
  virtual void SetShape(TDisplayWindow Window, bool Set, const std::vector<RECT>& Rects) = 0;
  // Constant opacity 0..255 for the whole window, and whether the image's own alpha counts.
  virtual void SetOpacity(TDisplayWindow Window, BYTE Alpha, bool PerPixelAlpha) = 0;
  // True when a compositor shows translucent windows; without one, layered windows are opaque.
  virtual bool HasCompositor() const = 0;

  // Moving and sizing by the user. BeginMoveResize asks the desktop's window manager to move
  // (Direction 8) or size (Direction 0 top-left, 1 top, 2 top-right, 3 right, 4 bottom-right,
  // 5 bottom, 6 bottom-left, 7 left) Window after the pointer at the screen point Screen while
  // the mouse button Button (1 left) stays down; the window manager then reports the new bounds
  // (Configured). False when no window manager offers it (nothing happens; the caller moves and
  // sizes the window itself). SetSizeLimits gives the window manager the smallest and largest
  // size the user may give the window (0 for no limit).
  virtual bool BeginMoveResize(TDisplayWindow Window, int Direction, POINT Screen, int Button)
  {
    (void)Window;
    (void)Direction;
    (void)Screen;
    (void)Button;
    return false;
  }
  virtual void SetSizeLimits(TDisplayWindow Window, SIZE Min, SIZE Max)
  {
    (void)Window;
    (void)Min;
    (void)Max;
  }

  // Pointer and keyboard.
  virtual void GrabPointer(TDisplayWindow Window, bool Grab) = 0;
  // One of the IDC_* cursor numbers (32512 arrow ...).
  virtual void SetCursor(TDisplayWindow Window, int CursorId) = 0;
  virtual POINT CursorPos() const = 0;
  virtual void SetCursorPos(POINT P) = 0;
  // Whether a key (VK_*) is down now, for GetAsyncKeyState.
  virtual bool KeyDown(unsigned VirtualKey) const = 0;

  // Native child windows (for a player that draws into a window by its id). The id is the
  // number handed to the player; headless answers 0 (no such window). A child made hidden
  // (Visible false) exists at once, so that a player can be given its id before it is shown.
  virtual TDisplayWindow CreateNativeChild(TDisplayWindow Parent, const RECT& Bounds, bool Visible) = 0;
  virtual void DestroyNativeChild(TDisplayWindow Child) = 0;
  virtual void SetNativeChildBounds(TDisplayWindow Child, const RECT& Bounds, bool Visible) = 0;
  // Limits a native child to Rects (its own coordinates), so that what lies above it in the
  // program's windows stays visible; Set false shows it whole again.
  virtual void SetNativeChildShape(TDisplayWindow Child, bool Set, const std::vector<RECT>& Rects)
  {
    (void)Child;
    (void)Set;
    (void)Rects;
  }
  virtual std::uint64_t NativeId(TDisplayWindow Window) const = 0;

  virtual std::vector<TDisplayMonitor> Monitors() const = 0;

  virtual void SetClipboardText(const String& Text) = 0;
  virtual bool GetClipboardText(String& Text) = 0;

  virtual void Beep() = 0;

  // The file descriptor the message loop polls for the backend's input (-1: none), and the
  // call that hands every pending event to the sink without blocking.
  virtual int EventFd() const = 0;
  virtual void PumpEvents(IDisplaySink& Sink) = 0;
  // Sends buffered output to the screen.
  virtual void Flush() = 0;

  // The window's pixels as the screen shows them (headless: the last presented image);
  // 32-bit BGRA top-down. False when the window is unknown or not shown.
  virtual bool ReadPixels(TDisplayWindow Window, std::vector<std::uint32_t>& Pixels, int& Width, int& Height) = 0;

  // The notification area. HasTrayProtocol: icons go to a tray of the window system (X11:
  // the system tray protocol) rather than to the window system's own icon model.
  // DockInTray asks the running tray to take Window (made with dwfTrayIcon) as an icon; the
  // tray then shows it (Show never maps such a window itself). False when no tray runs:
  // nothing changes and the window stays unseen.
  virtual bool HasTrayProtocol() const { return false; }
  virtual bool DockInTray(TDisplayWindow Window)
  {
    (void)Window;
    return false;
  }
};

// The backend for this run: X11 when $DISPLAY opens and $QV_DISPLAY is not "headless",
// headless otherwise.
std::unique_ptr<TDisplayBackend> CreateDisplayBackend();
