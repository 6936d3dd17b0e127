// The display without a screen: every top-level window is a record in memory with the last
// image the window system presented, and input comes from the test that injects it. Injected
// input is turned into events at once (the target window is found as the X server would find
// it) and queued; PumpEvents hands the queue to the sink. An eventfd is readable while events
// wait, so a message loop polling EventFd wakes for injected input.
#pragma once

#include <deque>
#include <map>
#include <mutex>
#include <set>

#include "platform/display/DisplayBackend.h"

class THeadlessDisplay : public TDisplayBackend {
public:
  // What the backend knows of one window, for tests.
  struct TWindowInfo {
    RECT Bounds{};
    unsigned Flags = 0;
    bool Visible = false;
    bool Iconified = false;
    String Title;
    bool Shaped = false;
    std::vector<RECT> Shape; // window coordinates
    BYTE Alpha = 255;
    bool PerPixelAlpha = false;
    int Cursor = 32512;
    // The image as last presented (BGRA, top-down, Width * Height, no padding).
    std::vector<std::uint32_t> Image;
    int ImageWidth = 0;
    int ImageHeight = 0;
    int PresentCount = 0;
    std::vector<RECT> LastDirty;
    // Native children only.
    bool NativeChild = false;
    TDisplayWindow Parent = 0;
  };

  THeadlessDisplay();
  ~THeadlessDisplay() override;
  THeadlessDisplay(const THeadlessDisplay&) = delete;
  THeadlessDisplay& operator=(const THeadlessDisplay&) = delete;

  String Name() const override { return "headless"; }

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
  bool HasCompositor() const override { return true; }

  void GrabPointer(TDisplayWindow Window, bool Grab) override;
  void SetCursor(TDisplayWindow Window, int CursorId) override;
  POINT CursorPos() const override;
  void SetCursorPos(POINT P) override;
  bool KeyDown(unsigned VirtualKey) const override;

  TDisplayWindow CreateNativeChild(TDisplayWindow Parent, const RECT& Bounds, bool Visible) override;
  void DestroyNativeChild(TDisplayWindow Child) override;
  void SetNativeChildBounds(TDisplayWindow Child, const RECT& Bounds, bool Visible) override;
  std::uint64_t NativeId(TDisplayWindow) const override { return 0; }

  std::vector<TDisplayMonitor> Monitors() const override;

  void SetClipboardText(const String& Text) override;
  bool GetClipboardText(String& Text) override;

  void Beep() override;

  int EventFd() const override { return FEventFd; }
  void PumpEvents(IDisplaySink& Sink) override;
  void Flush() override {}

  bool ReadPixels(TDisplayWindow Window, std::vector<std::uint32_t>& Pixels, int& Width, int& Height) override;

  // ---- Test side ----

  // Replaces the monitors (the first primary one, or the first, is the primary) and queues
  // DisplayChanged. An empty list is refused: a screen always has a monitor.
  void SetMonitors(const std::vector<TDisplayMonitor>& Monitors);

  // The pointer moves to (X, Y), screen coordinates: MouseMove to the window under it (or the
  // grabbing window), MouseLeave to the window it left.
  void InjectMouseMove(int X, int Y);
  // Button 1 left, 2 middle, 3 right pressed or released at (X, Y). The pointer moves there
  // first. While a button is held, input goes to the window where it was pressed.
  void InjectButton(int X, int Y, int Button, bool Down);
  // Notches * 120 at (X, Y).
  void InjectWheel(int X, int Y, int Notches);
  // A key pressed or released; a press of a key already down is an auto-repeat. Goes to the
  // window with the focus (0 when none has it).
  void InjectKey(unsigned VirtualKey, bool Down);
  // Typed text for the window with the focus.
  void InjectChar(const String& Text);
  void InjectDrop(TDisplayWindow Window, int X, int Y, const std::vector<String>& Files);
  // The window manager gives Window the focus (0: another program's window gets it).
  void InjectFocus(TDisplayWindow Window);
  void InjectClose(TDisplayWindow Window);
  // The window manager moved or sized the window.
  void InjectConfigure(TDisplayWindow Window, const RECT& Bounds);
  // The user restored an iconified window from the task bar.
  void InjectRestore(TDisplayWindow Window);
  // An area of the window (window coordinates) needs showing again.
  void InjectExpose(TDisplayWindow Window, const RECT& Area);

  // The whole screen (the bounding box of the monitors, from its top-left corner) as it
  // looks: the visible windows bottom to top, each cut to its shape, blended with its
  // opacity and, for per-pixel alpha, its premultiplied alpha; black where no window is.
  void ComposeScreen(std::vector<std::uint32_t>& Pixels, int& Width, int& Height) const;

  // The top-level window under a screen point, honouring stacking order, visibility and
  // shapes; 0 when none.
  TDisplayWindow WindowAt(int X, int Y) const;
  // Null for an unknown window.
  const TWindowInfo* WindowInfo(TDisplayWindow Window) const;
  // Top-level windows, topmost first (hidden ones included).
  std::vector<TDisplayWindow> StackingOrder() const;
  TDisplayWindow FocusWindow() const;
  TDisplayWindow GrabWindow() const;
  int BeepCount() const;
  // Events queued and not yet pumped.
  std::size_t PendingEvents() const;

private:
  TWindowInfo* Find(TDisplayWindow Window);
  const TWindowInfo* Find(TDisplayWindow Window) const;
  TWindowInfo* FindTopLevel(TDisplayWindow Window);
  void Queue(TDisplayEvent Event);
  void SetFocusTo(TDisplayWindow Window);
  void KeepTopmostAbove();
  void MovePointer(int X, int Y, bool SendMove);
  TDisplayWindow PointerTarget() const;
  unsigned Modifiers() const;
  TDisplayWindow WindowAtLocked(int X, int Y) const;

  mutable std::recursive_mutex FLock;
  int FEventFd = -1;
  std::deque<TDisplayEvent> FQueue;
  TDisplayWindow FNextId = 1;
  std::map<TDisplayWindow, TWindowInfo> FWindows;
  std::vector<TDisplayWindow> FStack; // top-level windows, topmost first
  std::vector<TDisplayMonitor> FMonitors;
  POINT FCursor{};
  TDisplayWindow FHover = 0;    // the window the pointer is in
  TDisplayWindow FGrab = 0;     // explicit grab
  TDisplayWindow FPressGrab = 0; // implicit grab while a button is held
  TDisplayWindow FFocus = 0;
  unsigned FButtons = 0; // MK_LBUTTON, MK_RBUTTON, MK_MBUTTON
  std::set<unsigned> FKeys;
  bool FHasClipboard = false;
  String FClipboard;
  int FBeeps = 0;
};
