#include "platform/display/HeadlessDisplay.h"

#include <sys/eventfd.h>
#include <unistd.h>

#include <algorithm>
#include <cstring>

#include "platform/display/DisplayKeys.h"

using namespace DisplayKeys;

namespace {

bool RectHasPoint(const RECT& R, int X, int Y)
{
  return X >= R.left && X < R.right && Y >= R.top && Y < R.bottom;
}

// Channel * Alpha / 255, rounded.
inline unsigned Scale(unsigned Channel, unsigned Alpha) { return (Channel * Alpha + 127) / 255; }

// Source over destination with premultiplied source channels and source alpha A.
std::uint32_t Over(std::uint32_t Src, unsigned A, std::uint32_t Dst)
{
  std::uint32_t out = 0;
  for (int shift = 0; shift < 32; shift += 8) {
    unsigned s = shift == 24 ? A : (Src >> shift) & 0xFF;
    unsigned d = (Dst >> shift) & 0xFF;
    unsigned v = s + Scale(d, 255 - A);
    out |= static_cast<std::uint32_t>(std::min(v, 255u)) << shift;
  }
  return out;
}

} // namespace

THeadlessDisplay::THeadlessDisplay()
{
  FEventFd = eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC);
  TDisplayMonitor m;
  m.Monitor = Rect(0, 0, 1280, 1024);
  m.Work = Rect(0, 0, 1280, 1024 - 30);
  m.Primary = true;
  FMonitors.push_back(m);
}

THeadlessDisplay::~THeadlessDisplay()
{
  if (FEventFd >= 0)
    close(FEventFd);
}

THeadlessDisplay::TWindowInfo* THeadlessDisplay::Find(TDisplayWindow Window)
{
  auto it = FWindows.find(Window);
  return it == FWindows.end() ? nullptr : &it->second;
}

const THeadlessDisplay::TWindowInfo* THeadlessDisplay::Find(TDisplayWindow Window) const
{
  auto it = FWindows.find(Window);
  return it == FWindows.end() ? nullptr : &it->second;
}

THeadlessDisplay::TWindowInfo* THeadlessDisplay::FindTopLevel(TDisplayWindow Window)
{
  TWindowInfo* w = Find(Window);
  return w && !w->NativeChild ? w : nullptr;
}

void THeadlessDisplay::Queue(TDisplayEvent Event)
{
  std::lock_guard<std::recursive_mutex> lock(FLock);
  Event.Time = GetTickCount();
  bool wasEmpty = FQueue.empty();
  FQueue.push_back(std::move(Event));
  if (wasEmpty && FEventFd >= 0) {
    std::uint64_t one = 1;
    [[maybe_unused]] ssize_t n = write(FEventFd, &one, sizeof one);
  }
}

void THeadlessDisplay::PumpEvents(IDisplaySink& Sink)
{
  // One event at a time: the sink may queue more, or pump again from a nested loop.
  for (;;) {
    TDisplayEvent event;
    {
      std::lock_guard<std::recursive_mutex> lock(FLock);
      if (FQueue.empty())
        return;
      event = std::move(FQueue.front());
      FQueue.pop_front();
      if (FQueue.empty() && FEventFd >= 0) {
        std::uint64_t value;
        [[maybe_unused]] ssize_t n = read(FEventFd, &value, sizeof value);
      }
    }
    Sink.DisplayEvent(event);
  }
}

std::size_t THeadlessDisplay::PendingEvents() const
{
  std::lock_guard<std::recursive_mutex> lock(FLock);
  return FQueue.size();
}

TDisplayWindow THeadlessDisplay::CreateWindow(const RECT& Bounds, unsigned Flags)
{
  std::lock_guard<std::recursive_mutex> lock(FLock);
  TDisplayWindow id = FNextId++;
  TWindowInfo& w = FWindows[id];
  w.Bounds = Bounds;
  w.Flags = Flags;
  FStack.insert(FStack.begin(), id);
  KeepTopmostAbove();
  return id;
}

void THeadlessDisplay::DestroyWindow(TDisplayWindow Window)
{
  std::lock_guard<std::recursive_mutex> lock(FLock);
  TWindowInfo* w = Find(Window);
  if (!w)
    return;
  if (w->NativeChild) {
    FWindows.erase(Window);
    return;
  }
  for (auto it = FWindows.begin(); it != FWindows.end();) {
    if (it->second.NativeChild && it->second.Parent == Window)
      it = FWindows.erase(it);
    else
      ++it;
  }
  FWindows.erase(Window);
  std::erase(FStack, Window);
  // A window that is gone gets no more events, and holds neither focus nor grab.
  std::erase_if(FQueue, [Window](const TDisplayEvent& E) { return E.Window == Window; });
  if (FQueue.empty() && FEventFd >= 0) {
    std::uint64_t value;
    [[maybe_unused]] ssize_t n = read(FEventFd, &value, sizeof value);
  }
  if (FFocus == Window)
    FFocus = 0;
  if (FGrab == Window)
    FGrab = 0;
  if (FPressGrab == Window)
    FPressGrab = 0;
  if (FHover == Window)
    FHover = 0;
}

void THeadlessDisplay::SetBounds(TDisplayWindow Window, const RECT& Bounds)
{
  std::lock_guard<std::recursive_mutex> lock(FLock);
  if (TWindowInfo* w = FindTopLevel(Window))
    w->Bounds = Bounds;
}

void THeadlessDisplay::SetFlags(TDisplayWindow Window, unsigned Flags)
{
  std::lock_guard<std::recursive_mutex> lock(FLock);
  if (TWindowInfo* w = FindTopLevel(Window)) {
    w->Flags = Flags;
    KeepTopmostAbove();
  }
}

void THeadlessDisplay::KeepTopmostAbove()
{
  std::stable_partition(FStack.begin(), FStack.end(),
                        [this](TDisplayWindow W) { return (Find(W)->Flags & dwfTopmost) != 0; });
}

void THeadlessDisplay::Show(TDisplayWindow Window, bool Visible, bool Activate)
{
  std::lock_guard<std::recursive_mutex> lock(FLock);
  TWindowInfo* w = FindTopLevel(Window);
  if (!w)
    return;
  if (Visible) {
    w->Visible = true;
    w->Iconified = false;
    if (Activate)
      this->Activate(Window);
  } else {
    w->Visible = false;
    if (FFocus == Window)
      SetFocusTo(0);
    // A grab ends when its window can no longer be seen.
    if (FGrab == Window)
      FGrab = 0;
    if (FPressGrab == Window)
      FPressGrab = 0;
  }
  MovePointer(FCursor.x, FCursor.y, false);
}

void THeadlessDisplay::Restack(TDisplayWindow Window, TDisplayWindow InsertAfter)
{
  std::lock_guard<std::recursive_mutex> lock(FLock);
  if (!FindTopLevel(Window) || Window == InsertAfter)
    return;
  std::erase(FStack, Window);
  auto at = std::find(FStack.begin(), FStack.end(), InsertAfter);
  if (InsertAfter == 0 || at == FStack.end())
    at = FStack.begin();
  FStack.insert(at, Window);
  KeepTopmostAbove();
  MovePointer(FCursor.x, FCursor.y, false);
}

void THeadlessDisplay::Activate(TDisplayWindow Window)
{
  std::lock_guard<std::recursive_mutex> lock(FLock);
  TWindowInfo* w = FindTopLevel(Window);
  if (!w || !w->Visible || w->Iconified)
    return;
  Restack(Window, 0);
  SetFocusTo(Window);
}

void THeadlessDisplay::SetFocusTo(TDisplayWindow Window)
{
  if (Window == FFocus)
    return;
  TDisplayWindow old = FFocus;
  FFocus = Window;
  if (old) {
    TDisplayEvent e;
    e.Kind = TDisplayEvent::FocusOut;
    e.Window = old;
    Queue(e);
  }
  if (Window) {
    TDisplayEvent e;
    e.Kind = TDisplayEvent::FocusIn;
    e.Window = Window;
    Queue(e);
  }
}

void THeadlessDisplay::Iconify(TDisplayWindow Window)
{
  std::lock_guard<std::recursive_mutex> lock(FLock);
  TWindowInfo* w = FindTopLevel(Window);
  if (!w || w->Iconified)
    return;
  w->Iconified = true;
  if (FFocus == Window)
    SetFocusTo(0);
  TDisplayEvent e;
  e.Kind = TDisplayEvent::Iconified;
  e.Window = Window;
  Queue(e);
  MovePointer(FCursor.x, FCursor.y, false);
}

void THeadlessDisplay::SetTitle(TDisplayWindow Window, const String& Title)
{
  std::lock_guard<std::recursive_mutex> lock(FLock);
  if (TWindowInfo* w = FindTopLevel(Window))
    w->Title = Title;
}

void THeadlessDisplay::Present(TDisplayWindow Window, const std::uint32_t* Pixels, int Width, int Height,
                               int Stride, const std::vector<RECT>& Dirty)
{
  std::lock_guard<std::recursive_mutex> lock(FLock);
  TWindowInfo* w = FindTopLevel(Window);
  if (!w || !Pixels || Width <= 0 || Height <= 0 || Stride < Width * 4 || Stride % 4 != 0)
    return;
  const int pitch = Stride / 4;
  auto copyRect = [&](RECT r) {
    RECT all = Rect(0, 0, Width, Height);
    if (!IntersectRect(&r, &r, &all))
      return;
    for (int y = r.top; y < r.bottom; ++y)
      std::memcpy(&w->Image[static_cast<std::size_t>(y) * Width + r.left],
                  Pixels + static_cast<std::size_t>(y) * pitch + r.left, (r.right - r.left) * 4u);
  };
  if (Dirty.empty() || w->ImageWidth != Width || w->ImageHeight != Height) {
    w->Image.assign(static_cast<std::size_t>(Width) * Height, 0);
    w->ImageWidth = Width;
    w->ImageHeight = Height;
    copyRect(Rect(0, 0, Width, Height));
  } else {
    for (const RECT& r : Dirty)
      copyRect(r);
  }
  w->PresentCount++;
  w->LastDirty = Dirty;
}

void THeadlessDisplay::SetShape(TDisplayWindow Window, bool Set, const std::vector<RECT>& Rects)
{
  std::lock_guard<std::recursive_mutex> lock(FLock);
  TWindowInfo* w = FindTopLevel(Window);
  if (!w)
    return;
  w->Shaped = Set;
  w->Shape = Set ? Rects : std::vector<RECT>{};
  MovePointer(FCursor.x, FCursor.y, false);
}

void THeadlessDisplay::SetOpacity(TDisplayWindow Window, BYTE Alpha, bool PerPixelAlpha)
{
  std::lock_guard<std::recursive_mutex> lock(FLock);
  if (TWindowInfo* w = FindTopLevel(Window)) {
    w->Alpha = Alpha;
    w->PerPixelAlpha = PerPixelAlpha;
  }
}

void THeadlessDisplay::GrabPointer(TDisplayWindow Window, bool Grab)
{
  std::lock_guard<std::recursive_mutex> lock(FLock);
  if (Grab) {
    TWindowInfo* w = FindTopLevel(Window);
    if (w && w->Visible && !w->Iconified)
      FGrab = Window;
  } else if (FGrab == Window || Window == 0) {
    FGrab = 0;
    MovePointer(FCursor.x, FCursor.y, false);
  }
}

void THeadlessDisplay::SetCursor(TDisplayWindow Window, int CursorId)
{
  std::lock_guard<std::recursive_mutex> lock(FLock);
  if (TWindowInfo* w = FindTopLevel(Window))
    w->Cursor = CursorId;
}

POINT THeadlessDisplay::CursorPos() const
{
  std::lock_guard<std::recursive_mutex> lock(FLock);
  return FCursor;
}

void THeadlessDisplay::SetCursorPos(POINT P) { InjectMouseMove(P.x, P.y); }

bool THeadlessDisplay::KeyDown(unsigned VirtualKey) const
{
  std::lock_guard<std::recursive_mutex> lock(FLock);
  switch (VirtualKey) {
  case VK_LBUTTON:
    return (FButtons & MK_LBUTTON) != 0;
  case VK_RBUTTON:
    return (FButtons & MK_RBUTTON) != 0;
  case VK_MBUTTON:
    return (FButtons & MK_MBUTTON) != 0;
  default:
    return IsVirtualKeyHeld(VirtualKey, [this](unsigned K) { return FKeys.count(K) != 0; });
  }
}

TDisplayWindow THeadlessDisplay::CreateNativeChild(TDisplayWindow Parent, const RECT& Bounds, bool Visible)
{
  std::lock_guard<std::recursive_mutex> lock(FLock);
  if (!FindTopLevel(Parent))
    return 0;
  TDisplayWindow id = FNextId++;
  TWindowInfo& w = FWindows[id];
  w.NativeChild = true;
  w.Parent = Parent;
  w.Bounds = Bounds;
  w.Visible = Visible;
  return id;
}

void THeadlessDisplay::DestroyNativeChild(TDisplayWindow Child)
{
  std::lock_guard<std::recursive_mutex> lock(FLock);
  TWindowInfo* w = Find(Child);
  if (w && w->NativeChild)
    FWindows.erase(Child);
}

void THeadlessDisplay::SetNativeChildBounds(TDisplayWindow Child, const RECT& Bounds, bool Visible)
{
  std::lock_guard<std::recursive_mutex> lock(FLock);
  TWindowInfo* w = Find(Child);
  if (w && w->NativeChild) {
    w->Bounds = Bounds;
    w->Visible = Visible;
  }
}

std::vector<TDisplayMonitor> THeadlessDisplay::Monitors() const
{
  std::lock_guard<std::recursive_mutex> lock(FLock);
  return FMonitors;
}

void THeadlessDisplay::SetMonitors(const std::vector<TDisplayMonitor>& Monitors)
{
  std::lock_guard<std::recursive_mutex> lock(FLock);
  if (Monitors.empty())
    return;
  FMonitors = Monitors;
  auto primary = std::find_if(FMonitors.begin(), FMonitors.end(), [](const TDisplayMonitor& M) { return M.Primary; });
  if (primary == FMonitors.end())
    primary = FMonitors.begin();
  for (auto it = FMonitors.begin(); it != FMonitors.end(); ++it)
    it->Primary = it == primary;
  TDisplayEvent e;
  e.Kind = TDisplayEvent::DisplayChanged;
  Queue(e);
}

void THeadlessDisplay::SetClipboardText(const String& Text)
{
  std::lock_guard<std::recursive_mutex> lock(FLock);
  FClipboard = Text;
  FHasClipboard = true;
}

bool THeadlessDisplay::GetClipboardText(String& Text)
{
  std::lock_guard<std::recursive_mutex> lock(FLock);
  if (!FHasClipboard)
    return false;
  Text = FClipboard;
  return true;
}

void THeadlessDisplay::Beep()
{
  std::lock_guard<std::recursive_mutex> lock(FLock);
  FBeeps++;
}

int THeadlessDisplay::BeepCount() const
{
  std::lock_guard<std::recursive_mutex> lock(FLock);
  return FBeeps;
}

bool THeadlessDisplay::ReadPixels(TDisplayWindow Window, std::vector<std::uint32_t>& Pixels, int& Width, int& Height)
{
  std::lock_guard<std::recursive_mutex> lock(FLock);
  const TWindowInfo* w = Find(Window);
  if (!w || w->NativeChild || !w->Visible || w->Iconified || w->Image.empty())
    return false;
  Pixels = w->Image;
  Width = w->ImageWidth;
  Height = w->ImageHeight;
  return true;
}

TDisplayWindow THeadlessDisplay::WindowAtLocked(int X, int Y) const
{
  for (TDisplayWindow id : FStack) {
    const TWindowInfo& w = *Find(id);
    if (!w.Visible || w.Iconified || !RectHasPoint(w.Bounds, X, Y))
      continue;
    if (w.Shaped) {
      int wx = X - w.Bounds.left;
      int wy = Y - w.Bounds.top;
      if (std::none_of(w.Shape.begin(), w.Shape.end(), [&](const RECT& R) { return RectHasPoint(R, wx, wy); }))
        continue;
    }
    return id;
  }
  return 0;
}

TDisplayWindow THeadlessDisplay::WindowAt(int X, int Y) const
{
  std::lock_guard<std::recursive_mutex> lock(FLock);
  return WindowAtLocked(X, Y);
}

unsigned THeadlessDisplay::Modifiers() const
{
  unsigned m = FButtons;
  auto held = [this](unsigned K) { return FKeys.count(K) != 0; };
  if (IsVirtualKeyHeld(VK_SHIFT, held))
    m |= MK_SHIFT;
  if (IsVirtualKeyHeld(VK_CONTROL, held))
    m |= MK_CONTROL;
  if (IsVirtualKeyHeld(VK_MENU, held))
    m |= MK_ALT;
  return m;
}

TDisplayWindow THeadlessDisplay::PointerTarget() const
{
  if (FGrab)
    return FGrab;
  if (FPressGrab)
    return FPressGrab;
  return WindowAtLocked(FCursor.x, FCursor.y);
}

void THeadlessDisplay::MovePointer(int X, int Y, bool SendMove)
{
  FCursor = Point(X, Y);
  TDisplayWindow under = WindowAtLocked(X, Y);
  if (!FGrab && !FPressGrab && under != FHover) {
    if (FHover && Find(FHover)) {
      TDisplayEvent e;
      e.Kind = TDisplayEvent::MouseLeave;
      e.Window = FHover;
      e.X = X;
      e.Y = Y;
      e.Modifiers = Modifiers();
      Queue(e);
    }
    FHover = under;
  }
  if (SendMove) {
    TDisplayWindow target = PointerTarget();
    if (target) {
      TDisplayEvent e;
      e.Kind = TDisplayEvent::MouseMove;
      e.Window = target;
      e.X = X;
      e.Y = Y;
      e.Modifiers = Modifiers();
      Queue(e);
    }
  }
}

void THeadlessDisplay::InjectMouseMove(int X, int Y)
{
  std::lock_guard<std::recursive_mutex> lock(FLock);
  MovePointer(X, Y, true);
}

void THeadlessDisplay::InjectButton(int X, int Y, int Button, bool Down)
{
  std::lock_guard<std::recursive_mutex> lock(FLock);
  static const unsigned bits[] = {0, MK_LBUTTON, MK_MBUTTON, MK_RBUTTON};
  if (Button < 1 || Button > 3)
    return;
  if (X != FCursor.x || Y != FCursor.y)
    MovePointer(X, Y, true);
  TDisplayWindow target = PointerTarget();
  if (Down) {
    if (FButtons == 0 && !FGrab)
      FPressGrab = target;
    FButtons |= bits[Button];
  } else {
    FButtons &= ~bits[Button];
  }
  if (target) {
    TDisplayEvent e;
    e.Kind = Down ? TDisplayEvent::ButtonDown : TDisplayEvent::ButtonUp;
    e.Window = target;
    e.X = X;
    e.Y = Y;
    e.Button = Button;
    e.Modifiers = Modifiers();
    Queue(e);
  }
  if (FButtons == 0 && FPressGrab) {
    FPressGrab = 0;
    MovePointer(X, Y, false);
  }
}

void THeadlessDisplay::InjectWheel(int X, int Y, int Notches)
{
  std::lock_guard<std::recursive_mutex> lock(FLock);
  if (X != FCursor.x || Y != FCursor.y)
    MovePointer(X, Y, true);
  TDisplayWindow target = PointerTarget();
  if (!target || Notches == 0)
    return;
  TDisplayEvent e;
  e.Kind = TDisplayEvent::Wheel;
  e.Window = target;
  e.X = X;
  e.Y = Y;
  e.WheelDelta = Notches * 120;
  e.Modifiers = Modifiers();
  Queue(e);
}

void THeadlessDisplay::InjectKey(unsigned VirtualKey, bool Down)
{
  std::lock_guard<std::recursive_mutex> lock(FLock);
  bool repeat = Down && FKeys.count(VirtualKey) != 0;
  if (Down)
    FKeys.insert(VirtualKey);
  else
    FKeys.erase(VirtualKey);
  if (!FFocus)
    return;
  TDisplayEvent e;
  e.Kind = Down ? TDisplayEvent::KeyDown : TDisplayEvent::KeyUp;
  e.Window = FFocus;
  e.VirtualKey = VirtualKey;
  e.Repeat = repeat;
  e.Modifiers = Modifiers();
  e.X = FCursor.x;
  e.Y = FCursor.y;
  Queue(e);
}

void THeadlessDisplay::InjectChar(const String& Text)
{
  std::lock_guard<std::recursive_mutex> lock(FLock);
  if (!FFocus || Text.empty())
    return;
  TDisplayEvent e;
  e.Kind = TDisplayEvent::Char;
  e.Window = FFocus;
  e.Text = Text;
  e.Modifiers = Modifiers();
  Queue(e);
}

void THeadlessDisplay::InjectDrop(TDisplayWindow Window, int X, int Y, const std::vector<String>& Files)
{
  std::lock_guard<std::recursive_mutex> lock(FLock);
  if (!FindTopLevel(Window))
    return;
  TDisplayEvent e;
  e.Kind = TDisplayEvent::Drop;
  e.Window = Window;
  e.X = X;
  e.Y = Y;
  e.Files = Files;
  Queue(e);
}

void THeadlessDisplay::InjectFocus(TDisplayWindow Window)
{
  std::lock_guard<std::recursive_mutex> lock(FLock);
  TWindowInfo* w = FindTopLevel(Window);
  SetFocusTo(w && w->Visible && !w->Iconified ? Window : 0);
}

void THeadlessDisplay::InjectClose(TDisplayWindow Window)
{
  std::lock_guard<std::recursive_mutex> lock(FLock);
  if (!FindTopLevel(Window))
    return;
  TDisplayEvent e;
  e.Kind = TDisplayEvent::CloseRequest;
  e.Window = Window;
  Queue(e);
}

void THeadlessDisplay::InjectConfigure(TDisplayWindow Window, const RECT& Bounds)
{
  std::lock_guard<std::recursive_mutex> lock(FLock);
  TWindowInfo* w = FindTopLevel(Window);
  if (!w)
    return;
  w->Bounds = Bounds;
  TDisplayEvent e;
  e.Kind = TDisplayEvent::Configured;
  e.Window = Window;
  e.Bounds = Bounds;
  Queue(e);
  MovePointer(FCursor.x, FCursor.y, false);
}

void THeadlessDisplay::InjectRestore(TDisplayWindow Window)
{
  std::lock_guard<std::recursive_mutex> lock(FLock);
  TWindowInfo* w = FindTopLevel(Window);
  if (!w || !w->Iconified)
    return;
  w->Iconified = false;
  TDisplayEvent e;
  e.Kind = TDisplayEvent::Restored;
  e.Window = Window;
  Queue(e);
  MovePointer(FCursor.x, FCursor.y, false);
}

void THeadlessDisplay::InjectExpose(TDisplayWindow Window, const RECT& Area)
{
  std::lock_guard<std::recursive_mutex> lock(FLock);
  TWindowInfo* w = FindTopLevel(Window);
  if (!w)
    return;
  TDisplayEvent e;
  e.Kind = TDisplayEvent::Expose;
  e.Window = Window;
  e.Bounds = Area;
  OffsetRect(&e.Bounds, w->Bounds.left, w->Bounds.top);
  Queue(e);
}

std::vector<TDisplayWindow> THeadlessDisplay::StackingOrder() const
{
  std::lock_guard<std::recursive_mutex> lock(FLock);
  return FStack;
}

const THeadlessDisplay::TWindowInfo* THeadlessDisplay::WindowInfo(TDisplayWindow Window) const
{
  std::lock_guard<std::recursive_mutex> lock(FLock);
  return Find(Window);
}

TDisplayWindow THeadlessDisplay::FocusWindow() const
{
  std::lock_guard<std::recursive_mutex> lock(FLock);
  return FFocus;
}

TDisplayWindow THeadlessDisplay::GrabWindow() const
{
  std::lock_guard<std::recursive_mutex> lock(FLock);
  return FGrab;
}

void THeadlessDisplay::ComposeScreen(std::vector<std::uint32_t>& Pixels, int& Width, int& Height) const
{
  std::lock_guard<std::recursive_mutex> lock(FLock);
  RECT screen{};
  for (const TDisplayMonitor& m : FMonitors)
    UnionRect(&screen, &screen, &m.Monitor);
  Width = screen.right - screen.left;
  Height = screen.bottom - screen.top;
  Pixels.assign(static_cast<std::size_t>(std::max(Width, 0)) * std::max(Height, 0), 0xFF000000u);
  for (auto it = FStack.rbegin(); it != FStack.rend(); ++it) {
    const TWindowInfo& w = *Find(*it);
    if (!w.Visible || w.Iconified || w.Image.empty())
      continue;
    RECT area = Rect(w.Bounds.left, w.Bounds.top, w.Bounds.left + std::min<LONG>(w.ImageWidth, w.Bounds.right - w.Bounds.left),
                     w.Bounds.top + std::min<LONG>(w.ImageHeight, w.Bounds.bottom - w.Bounds.top));
    if (!IntersectRect(&area, &area, &screen))
      continue;
    for (int y = area.top; y < area.bottom; ++y) {
      for (int x = area.left; x < area.right; ++x) {
        int wx = x - w.Bounds.left;
        int wy = y - w.Bounds.top;
        if (w.Shaped &&
            std::none_of(w.Shape.begin(), w.Shape.end(), [&](const RECT& R) { return RectHasPoint(R, wx, wy); }))
          continue;
        std::uint32_t src = w.Image[static_cast<std::size_t>(wy) * w.ImageWidth + wx];
        std::uint32_t& dst = Pixels[static_cast<std::size_t>(y - screen.top) * Width + (x - screen.left)];
        if (w.PerPixelAlpha) {
          // Premultiplied colour and alpha, both scaled by the constant opacity.
          std::uint32_t scaled = 0;
          for (int shift = 0; shift < 32; shift += 8)
            scaled |= static_cast<std::uint32_t>(Scale((src >> shift) & 0xFF, w.Alpha)) << shift;
          dst = Over(scaled, scaled >> 24, dst);
        } else if (w.Alpha != 255) {
          std::uint32_t scaled = 0;
          for (int shift = 0; shift < 24; shift += 8)
            scaled |= static_cast<std::uint32_t>(Scale((src >> shift) & 0xFF, w.Alpha)) << shift;
          dst = Over(scaled, w.Alpha, dst);
        } else {
          dst = src | 0xFF000000u;
        }
      }
    }
  }
}
