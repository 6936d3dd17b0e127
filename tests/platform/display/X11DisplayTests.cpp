// The project's headers come before Xlib's, whose macros (FocusIn, Expose ...) would clash
// with the event kinds.
#include "platform/display/DisplayBackend.h"
#include "platform/display/DisplayKeys.h"
#include "platform/display/Screenshot.h"
#include "platform/display/X11Display.h"
#include "platform/gdi/PngFile.h"
#include "platform/rtl/SyncObjs.h"

namespace {
constexpr TDisplayEvent::TKind KindExpose = TDisplayEvent::Expose;
constexpr TDisplayEvent::TKind KindFocusIn = TDisplayEvent::FocusIn;
}

#include <gtest/gtest.h>

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/extensions/XTest.h>
#include <X11/extensions/shape.h>
#include <X11/keysym.h>
#include <poll.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <atomic>
#include <functional>
#include <thread>

#include "XvfbServer.h"

using namespace DisplayKeys;

namespace {

[[maybe_unused]] TXvfbServer& XvfbAtStart = TXvfbServer::Instance();

struct TRecorder : IDisplaySink {
  std::vector<TDisplayEvent> Events;
  void DisplayEvent(const TDisplayEvent& Event) override { Events.push_back(Event); }
};

// A backend on the private server, and a connection of the test's own to look at the screen
// and to play the user.
class TX11Test : public testing::Test {
protected:
  void SetUp() override
  {
    Server = TXvfbServer::Display();
    if (Server.empty())
      GTEST_SKIP() << "Xvfb is not available";
    String error;
    Backend = CreateX11Display(Server, error);
    ASSERT_TRUE(Backend) << error;
    X = XOpenDisplay(Server.c_str());
    ASSERT_NE(X, nullptr);
  }
  void TearDown() override
  {
    Backend.reset();
    if (X)
      XCloseDisplay(X);
  }

  // Pumps until Done says so about the events so far (at most 3 s).
  bool PumpUntil(TDisplayBackend& B, const std::function<bool(const std::vector<TDisplayEvent>&)>& Done,
                 const std::function<void()>& Between = {})
  {
    Cardinal start = GetTickCount();
    while (GetTickCount() - start < 3000) {
      B.PumpEvents(Events);
      if (Done(Events.Events))
        return true;
      if (Between)
        Between();
      pollfd p{B.EventFd(), POLLIN, 0};
      poll(&p, 1, 20);
    }
    return false;
  }
  bool PumpUntilKind(TDisplayEvent::TKind Kind, std::size_t Count = 1)
  {
    return PumpUntil(*Backend, [&](const std::vector<TDisplayEvent>& E) {
      return static_cast<std::size_t>(std::count_if(E.begin(), E.end(), [&](const TDisplayEvent& V) {
               return V.Kind == Kind;
             })) >= Count;
    });
  }

  // A shown window that the server has mapped, filled with Colour.
  TDisplayWindow ShownWindow(const RECT& Bounds, std::uint32_t Colour)
  {
    TDisplayWindow w = Backend->CreateWindow(Bounds, 0);
    int width = Bounds.right - Bounds.left, height = Bounds.bottom - Bounds.top;
    std::vector<std::uint32_t> pixels(static_cast<std::size_t>(width) * height, Colour);
    Backend->Present(w, pixels.data(), width, height, width * 4, {});
    Backend->Show(w, true, false);
    Backend->Flush();
    std::vector<std::uint32_t> read;
    int rw, rh;
    EXPECT_TRUE(PumpUntil(*Backend, [&](const std::vector<TDisplayEvent>&) {
      return Backend->ReadPixels(w, read, rw, rh) && read[0] == (Colour | 0xFF000000u);
    }));
    return w;
  }

  // The screen's pixels in a rectangle, through the test's own connection.
  std::vector<std::uint32_t> ScreenPixels(Window W, int Left, int Top, int Width, int Height)
  {
    XImage* image = XGetImage(X, W, Left, Top, Width, Height, AllPlanes, ZPixmap);
    std::vector<std::uint32_t> out;
    if (!image)
      return out;
    for (int y = 0; y < Height; ++y)
      for (int x = 0; x < Width; ++x)
        out.push_back(static_cast<std::uint32_t>(XGetPixel(image, x, y) & 0xFFFFFF) | 0xFF000000u);
    XDestroyImage(image);
    return out;
  }

  std::string Server;
  std::unique_ptr<TDisplayBackend> Backend;
  Display* X = nullptr;
  TRecorder Events;
};

} // namespace

// Pixels go through shared memory where the server has it, and through plain requests else.
class TX11PresentTest : public TX11Test, public testing::WithParamInterface<bool> {
protected:
  void SetUp() override
  {
    setenv("QV_X11_SHM", GetParam() ? "1" : "0", 1);
    TX11Test::SetUp();
    unsetenv("QV_X11_SHM");
  }
};

INSTANTIATE_TEST_SUITE_P(SharedMemory, TX11PresentTest, testing::Values(true, false));

TEST_P(TX11PresentTest, PresentedPixelsReachTheScreenAndSurviveExposure)
{
  const int width = 40, height = 30;
  TDisplayWindow w = ShownWindow(Bounds(20, 30, width, height), 0);
  auto pattern = [&](int Seed) {
    std::vector<std::uint32_t> p(static_cast<std::size_t>(width) * height);
    for (int y = 0; y < height; ++y)
      for (int x = 0; x < width; ++x)
        p[static_cast<std::size_t>(y) * width + x] =
            0xFF000000u | static_cast<std::uint32_t>((x * 6 + Seed) & 0xFF) << 16 |
            static_cast<std::uint32_t>((y * 8 + Seed) & 0xFF) << 8 | static_cast<std::uint32_t>(Seed);
    return p;
  };
  std::vector<std::uint32_t> first = pattern(0x40);
  Backend->Present(w, first.data(), width, height, width * 4, {});
  Backend->Flush();
  std::vector<std::uint32_t> read;
  int rw = 0, rh = 0;
  ASSERT_TRUE(Backend->ReadPixels(w, read, rw, rh));
  EXPECT_EQ(rw, width);
  EXPECT_EQ(rh, height);
  EXPECT_EQ(read, first);
  EXPECT_EQ(ScreenPixels(DefaultRootWindow(X), 20, 30, width, height), first);

  // Only the dirty rectangle is put: the rest keeps what the screen had.
  std::vector<std::uint32_t> second = pattern(0x90);
  Backend->Present(w, second.data(), width, height, width * 4, {Rect(5, 5, 15, 10)});
  Backend->Flush();
  std::vector<std::uint32_t> expected = first;
  for (int y = 5; y < 10; ++y)
    for (int x = 5; x < 15; ++x)
      expected[static_cast<std::size_t>(y) * width + x] = second[static_cast<std::size_t>(y) * width + x];
  ASSERT_TRUE(Backend->ReadPixels(w, read, rw, rh));
  EXPECT_EQ(read, expected);

  // Hidden and shown again, the window shows its last image without a new Present.
  Backend->Show(w, false, false);
  Backend->Flush();
  Events.Events.clear();
  Backend->Show(w, true, false);
  ASSERT_TRUE(PumpUntilKind(KindExpose));
  Backend->Flush();
  ASSERT_TRUE(Backend->ReadPixels(w, read, rw, rh));
  EXPECT_EQ(read, expected);

  // A screenshot of it.
  char dir[] = "/tmp/qv-shot-XXXXXX";
  ASSERT_NE(mkdtemp(dir), nullptr);
  String file = String(dir) + "/w.png";
  ASSERT_TRUE(SaveWindowPng(*Backend, w, file));
  TDibImage png = LoadPngFromFile(file);
  EXPECT_EQ(png.Width, width);
  TDibColor c = png.GetPixel(10, 7);
  std::uint32_t p = expected[7 * width + 10];
  EXPECT_EQ(c.Red, (p >> 16) & 0xFF);
  EXPECT_EQ(c.Green, (p >> 8) & 0xFF);
  EXPECT_EQ(c.Blue, p & 0xFF);
  std::remove(file.c_str());
  rmdir(dir);
  EXPECT_FALSE(SaveWindowPng(*Backend, 9999, String(dir) + "/none.png"));
}

TEST_F(TX11Test, FakeClicksAndWheelArriveWithWindowAndScreenPoint)
{
  TDisplayWindow w = ShownWindow(Bounds(100, 100, 100, 80), 0x336699);
  struct {
    unsigned XButton;
    TDisplayEvent::TKind Kind;
    int Button;
    int Wheel;
    unsigned HeldModifier;
  } cases[] = {
      {1, TDisplayEvent::ButtonDown, 1, 0, MK_LBUTTON},
      {3, TDisplayEvent::ButtonDown, 3, 0, MK_RBUTTON},
      {2, TDisplayEvent::ButtonDown, 2, 0, MK_MBUTTON},
      {4, TDisplayEvent::Wheel, 0, 120, 0},
      {5, TDisplayEvent::Wheel, 0, -120, 0},
  };
  int x = 150;
  for (const auto& c : cases) {
    SCOPED_TRACE(c.XButton);
    ++x;
    Events.Events.clear();
    XTestFakeMotionEvent(X, 0, x, 120, 0);
    XTestFakeButtonEvent(X, c.XButton, True, 0);
    XTestFakeButtonEvent(X, c.XButton, False, 0);
    XFlush(X);
    if (c.Kind == TDisplayEvent::Wheel) {
      ASSERT_TRUE(PumpUntilKind(TDisplayEvent::Wheel));
    } else {
      ASSERT_TRUE(PumpUntilKind(TDisplayEvent::ButtonUp));
    }
    std::vector<TDisplayEvent> picked;
    for (const TDisplayEvent& e : Events.Events)
      if (e.Kind == TDisplayEvent::ButtonDown || e.Kind == TDisplayEvent::ButtonUp || e.Kind == TDisplayEvent::Wheel)
        picked.push_back(e);
    ASSERT_FALSE(picked.empty());
    EXPECT_EQ(picked[0].Kind, c.Kind);
    EXPECT_EQ(picked[0].Window, w);
    EXPECT_EQ(picked[0].X, x);
    EXPECT_EQ(picked[0].Y, 120);
    EXPECT_EQ(picked[0].Button, c.Button);
    EXPECT_EQ(picked[0].WheelDelta, c.Wheel);
    EXPECT_EQ(picked[0].Modifiers, c.HeldModifier);
    if (c.Kind == TDisplayEvent::ButtonDown) {
      ASSERT_EQ(picked.size(), 2u);
      EXPECT_EQ(picked[1].Kind, TDisplayEvent::ButtonUp);
      EXPECT_EQ(picked[1].Window, w);
      EXPECT_EQ(picked[1].Modifiers, 0u);
    } else {
      EXPECT_EQ(picked.size(), 1u); // the release of a wheel button is no event
    }
  }
  EXPECT_EQ(Backend->CursorPos(), Point(x, 120));

  // A grab takes clicks made anywhere.
  Events.Events.clear();
  Backend->GrabPointer(w, true);
  Backend->Flush();
  XTestFakeMotionEvent(X, 0, 600, 500, 0);
  XTestFakeButtonEvent(X, 1, True, 0);
  XTestFakeButtonEvent(X, 1, False, 0);
  XFlush(X);
  ASSERT_TRUE(PumpUntilKind(TDisplayEvent::ButtonUp));
  auto down = std::find_if(Events.Events.begin(), Events.Events.end(),
                           [](const TDisplayEvent& E) { return E.Kind == TDisplayEvent::ButtonDown; });
  ASSERT_NE(down, Events.Events.end());
  EXPECT_EQ(down->Window, w);
  EXPECT_EQ(down->X, 600);
  EXPECT_EQ(down->Y, 500);
  Backend->GrabPointer(w, false);
  XTestFakeMotionEvent(X, 0, x, 120, 0);
  XFlush(X);

  // Moving off the window is a MouseLeave.
  Events.Events.clear();
  XTestFakeMotionEvent(X, 0, 500, 500, 0);
  XFlush(X);
  ASSERT_TRUE(PumpUntilKind(TDisplayEvent::MouseLeave));
  EXPECT_EQ(Events.Events.back().Window, w);
}

TEST_F(TX11Test, KeysArriveWithVirtualKeyAndText)
{
  TDisplayWindow w = ShownWindow(Bounds(100, 100, 100, 80), 0);
  Backend->Activate(w);
  ASSERT_TRUE(PumpUntilKind(KindFocusIn));
  EXPECT_EQ(Events.Events.back().Window, w);

  KeyCode shift = XKeysymToKeycode(X, XK_Shift_L);
  struct {
    KeySym Sym;
    bool Shift;
    unsigned Vk;
    const char* Text; // nullptr: no Char event
  } cases[] = {
      {XK_a, false, 'A', "a"},
      {XK_a, true, 'A', "A"},
      {XK_1, true, '1', "!"},
      {XK_Return, false, VK_RETURN, "\r"},
      {XK_Escape, false, VK_ESCAPE, "\x1b"},
      {XK_F5, false, 0x74, nullptr},
      {XK_Delete, false, VK_DELETE, nullptr},
      {XK_Left, false, VK_LEFT, nullptr},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(XKeysymToString(c.Sym));
    Events.Events.clear();
    KeyCode code = XKeysymToKeycode(X, c.Sym);
    ASSERT_NE(code, 0);
    if (c.Shift)
      XTestFakeKeyEvent(X, shift, True, 0);
    XTestFakeKeyEvent(X, code, True, 0);
    XTestFakeKeyEvent(X, code, False, 0);
    if (c.Shift)
      XTestFakeKeyEvent(X, shift, False, 0);
    XFlush(X);
    ASSERT_TRUE(PumpUntil(*Backend, [&](const std::vector<TDisplayEvent>& E) {
      return std::count_if(E.begin(), E.end(), [](const TDisplayEvent& V) { return V.Kind == TDisplayEvent::KeyUp; }) >=
             (c.Shift ? 2 : 1);
    }));
    std::vector<TDisplayEvent> keys;
    for (const TDisplayEvent& e : Events.Events)
      if (e.VirtualKey != VK_SHIFT)
        keys.push_back(e);
    ASSERT_EQ(keys.size(), c.Text ? 3u : 2u);
    EXPECT_EQ(keys[0].Kind, TDisplayEvent::KeyDown);
    EXPECT_EQ(keys[0].VirtualKey, c.Vk);
    EXPECT_EQ(keys[0].Window, w);
    EXPECT_FALSE(keys[0].Repeat);
    EXPECT_EQ((keys[0].Modifiers & MK_SHIFT) != 0, c.Shift);
    if (c.Text) {
      EXPECT_EQ(keys[1].Kind, TDisplayEvent::Char);
      EXPECT_EQ(keys[1].Text, c.Text);
    }
    EXPECT_EQ(keys.back().Kind, TDisplayEvent::KeyUp);
    EXPECT_EQ(keys.back().VirtualKey, c.Vk);
  }

  // A key of another layout (the map changes while the program runs) types its own text.
  int minCode = 0, maxCode = 0;
  XDisplayKeycodes(X, &minCode, &maxCode);
  int perCode = 0;
  KeySym* map = XGetKeyboardMapping(X, static_cast<KeyCode>(minCode), maxCode - minCode + 1, &perCode);
  int spare = 0;
  for (int code = maxCode; code >= minCode && !spare; --code) {
    bool empty = true;
    for (int i = 0; i < perCode; ++i)
      empty = empty && map[(code - minCode) * perCode + i] == NoSymbol;
    if (empty)
      spare = code;
  }
  XFree(map);
  ASSERT_NE(spare, 0);
  for (const auto& [sym, text] : {std::pair<KeySym, const char*>{XK_Cyrillic_a, "\xD0\xB0"},
                                  std::pair<KeySym, const char*>{0x010020AC, "\xE2\x82\xAC"}}) {
    SCOPED_TRACE(text);
    KeySym mapped[2] = {sym, sym};
    XChangeKeyboardMapping(X, spare, 2, mapped, 1);
    XSync(X, False);
    Events.Events.clear();
    XTestFakeKeyEvent(X, static_cast<KeyCode>(spare), True, 0);
    XTestFakeKeyEvent(X, static_cast<KeyCode>(spare), False, 0);
    XFlush(X);
    ASSERT_TRUE(PumpUntilKind(TDisplayEvent::Char));
    auto typed = std::find_if(Events.Events.begin(), Events.Events.end(),
                              [](const TDisplayEvent& E) { return E.Kind == TDisplayEvent::Char; });
    EXPECT_EQ(typed->Text, text);
  }
  KeySym none[2] = {NoSymbol, NoSymbol};
  XChangeKeyboardMapping(X, spare, 2, none, 1);
  XSync(X, False);

  // Key state for GetAsyncKeyState.
  XTestFakeKeyEvent(X, XKeysymToKeycode(X, XK_Control_R), True, 0);
  XSync(X, False);
  EXPECT_TRUE(Backend->KeyDown(VK_CONTROL));
  EXPECT_TRUE(Backend->KeyDown(VK_RCONTROL));
  EXPECT_FALSE(Backend->KeyDown(VK_LCONTROL));
  XTestFakeKeyEvent(X, XKeysymToKeycode(X, XK_Control_R), False, 0);
  XSync(X, False);
  EXPECT_FALSE(Backend->KeyDown(VK_CONTROL));
}

TEST_F(TX11Test, ShapeIsSetAndRemoved)
{
  TDisplayWindow w = ShownWindow(Bounds(10, 10, 40, 20), 0);
  Window xid = static_cast<Window>(Backend->NativeId(w));
  ASSERT_NE(xid, 0u);
  Backend->SetShape(w, true, {Rect(0, 0, 10, 10), Rect(20, 5, 30, 15), Rect(5, 5, 5, 9)});
  Backend->Flush();

  int count = 0, ordering = 0;
  XRectangle* rects = XShapeGetRectangles(X, xid, ShapeBounding, &count, &ordering);
  // Compare the covered pixels: the server may split the rectangles into bands.
  std::vector<int> covered(40 * 20, 0), expected(40 * 20, 0);
  for (int i = 0; i < count; ++i)
    for (int y = rects[i].y; y < rects[i].y + rects[i].height; ++y)
      for (int x = rects[i].x; x < rects[i].x + rects[i].width; ++x)
        if (x >= 0 && x < 40 && y >= 0 && y < 20)
          covered[y * 40 + x]++;
  if (rects)
    XFree(rects);
  for (const RECT& r : {Rect(0, 0, 10, 10), Rect(20, 5, 30, 15)})
    for (int y = r.top; y < r.bottom; ++y)
      for (int x = r.left; x < r.right; ++x)
        expected[y * 40 + x] = 1;
  EXPECT_EQ(covered, expected);

  Backend->SetShape(w, false, {});
  Backend->Flush();
  Bool bShaped = True, cShaped = True;
  int bx, by, cx, cy;
  unsigned bw, bh, cw, ch;
  XShapeQueryExtents(X, xid, &bShaped, &bx, &by, &bw, &bh, &cShaped, &cx, &cy, &cw, &ch);
  EXPECT_FALSE(bShaped);
}

TEST_F(TX11Test, AnotherProcessDrawsIntoANativeChild)
{
  TDisplayWindow w = ShownWindow(Bounds(300, 300, 100, 80), 0xFF0000);
  TDisplayWindow child = Backend->CreateNativeChild(w, Rect(10, 10, 60, 50), true);
  ASSERT_NE(child, 0u);
  std::uint64_t id = Backend->NativeId(child);
  ASSERT_NE(id, 0u);
  EXPECT_NE(id, Backend->NativeId(w));

  std::string tool = String(QV_TEST_BIN_DIR) + "/qv_x11fill";
  std::string idText = std::to_string(id);
  std::string displayVar = "DISPLAY=" + Server;
  const char* argv[] = {tool.c_str(), idText.c_str(), "00ff00", nullptr};
  const char* envp[] = {displayVar.c_str(), nullptr};
  pid_t pid = -1;
  ASSERT_EQ(posix_spawn(&pid, tool.c_str(), nullptr, nullptr, const_cast<char**>(argv), const_cast<char**>(envp)), 0);
  int status = -1;
  ASSERT_EQ(waitpid(pid, &status, 0), pid);
  ASSERT_TRUE(WIFEXITED(status));
  ASSERT_EQ(WEXITSTATUS(status), 0);

  EXPECT_EQ(ScreenPixels(static_cast<Window>(id), 0, 0, 50, 40), std::vector<std::uint32_t>(50 * 40, 0xFF00FF00));
  std::vector<std::uint32_t> read;
  int rw, rh;
  ASSERT_TRUE(Backend->ReadPixels(w, read, rw, rh));
  EXPECT_EQ(read[5 * rw + 5], 0xFFFF0000u);   // the window's own image around the child
  EXPECT_EQ(read[20 * rw + 20], 0xFF00FF00u); // the child's pixels

  // Moved and hidden; a bad id makes the tool fail cleanly.
  Backend->SetNativeChildBounds(child, Rect(0, 0, 20, 20), false);
  XWindowAttributes attrs;
  XSync(X, False);
  ASSERT_TRUE(XGetWindowAttributes(X, static_cast<Window>(id), &attrs));
  EXPECT_EQ(attrs.map_state, IsUnmapped);
  EXPECT_EQ(attrs.width, 20);
  Backend->DestroyNativeChild(child);
  EXPECT_EQ(Backend->NativeId(child), 0u);
}

TEST_F(TX11Test, ClipboardTextGoesBetweenTwoConnections)
{
  String error;
  std::unique_ptr<TDisplayBackend> other = CreateX11Display(Server, error);
  ASSERT_TRUE(other) << error;

  // Whoever owns the selection answers from its own loop while the other one waits.
  auto readWhilePumping = [](TDisplayBackend& Owner, TDisplayBackend& Reader, String& Text) {
    std::atomic<bool> stop{false};
    std::thread pump([&] {
      TRecorder sink;
      while (!stop) {
        pollfd p{Owner.EventFd(), POLLIN, 0};
        poll(&p, 1, 10);
        Owner.PumpEvents(sink);
      }
    });
    bool ok = Reader.GetClipboardText(Text);
    stop = true;
    pump.join();
    return ok;
  };

  const String first = "Grüße ✓\r\nzweite Zeile";
  Backend->SetClipboardText(first);
  String text;
  ASSERT_TRUE(Backend->GetClipboardText(text));
  EXPECT_EQ(text, first);
  ASSERT_TRUE(readWhilePumping(*Backend, *other, text));
  EXPECT_EQ(text, first);

  const String second(100000, 'x'); // larger than one small request
  other->SetClipboardText(second);
  ASSERT_TRUE(readWhilePumping(*other, *Backend, text));
  EXPECT_EQ(text, second);

  // An old program that offers Latin-1 text only.
  Window owner = XCreateSimpleWindow(X, DefaultRootWindow(X), 0, 0, 1, 1, 0, 0, 0);
  Atom clipboard = XInternAtom(X, "CLIPBOARD", False);
  XSetSelectionOwner(X, clipboard, owner, CurrentTime);
  XSync(X, False);
  std::atomic<bool> stop{false};
  std::thread oldProgram([&] {
    while (!stop) {
      while (XPending(X)) {
        XEvent ev;
        XNextEvent(X, &ev);
        if (ev.type != SelectionRequest)
          continue;
        const XSelectionRequestEvent& r = ev.xselectionrequest;
        XEvent reply{};
        reply.xselection.type = SelectionNotify;
        reply.xselection.requestor = r.requestor;
        reply.xselection.selection = r.selection;
        reply.xselection.target = r.target;
        reply.xselection.time = r.time;
        reply.xselection.property = None;
        if (r.target == XA_STRING) {
          const char latin1[] = "Gr\xFC\xDF" "e";
          XChangeProperty(X, r.requestor, r.property, XA_STRING, 8, PropModeReplace,
                          reinterpret_cast<const unsigned char*>(latin1), 5);
          reply.xselection.property = r.property;
        }
        XSendEvent(X, r.requestor, False, NoEventMask, &reply);
        XFlush(X);
      }
      pollfd p{ConnectionNumber(X), POLLIN, 0};
      poll(&p, 1, 10);
    }
  });
  bool ok = Backend->GetClipboardText(text);
  stop = true;
  oldProgram.join();
  ASSERT_TRUE(ok);
  EXPECT_EQ(text, "Grüße");
  XDestroyWindow(X, owner);
}

TEST_F(TX11Test, FilesDroppedWithXdndBecomeADropEvent)
{
  TDisplayWindow w = ShownWindow(Bounds(100, 100, 200, 150), 0);
  Window target = static_cast<Window>(Backend->NativeId(w));
  Window source = XCreateSimpleWindow(X, DefaultRootWindow(X), 0, 0, 1, 1, 0, 0, 0);
  Atom selection = XInternAtom(X, "XdndSelection", False);
  Atom uriList = XInternAtom(X, "text/uri-list", False);
  Atom copy = XInternAtom(X, "XdndActionCopy", False);
  XSetSelectionOwner(X, selection, source, CurrentTime);

  Atom aware = XInternAtom(X, "XdndAware", False);
  Atom type;
  int format;
  unsigned long count, after;
  unsigned char* data = nullptr;
  ASSERT_EQ(XGetWindowProperty(X, target, aware, 0, 1, False, XA_ATOM, &type, &format, &count, &after, &data), Success);
  ASSERT_EQ(count, 1u);
  EXPECT_EQ(reinterpret_cast<long*>(data)[0], 5);
  XFree(data);

  auto send = [&](const char* Name, long L1, long L2, long L3, long L4) {
    XEvent ev{};
    ev.xclient.type = ClientMessage;
    ev.xclient.window = target;
    ev.xclient.message_type = XInternAtom(X, Name, False);
    ev.xclient.format = 32;
    ev.xclient.data.l[0] = static_cast<long>(source);
    ev.xclient.data.l[1] = L1;
    ev.xclient.data.l[2] = L2;
    ev.xclient.data.l[3] = L3;
    ev.xclient.data.l[4] = L4;
    XSendEvent(X, target, False, NoEventMask, &ev);
    XFlush(X);
  };
  send("XdndEnter", 5L << 24, static_cast<long>(uriList), 0, 0);
  send("XdndPosition", 0, (150L << 16) | 120, CurrentTime, static_cast<long>(copy));

  // The test plays the source: it answers the status, the request for the data, the finish.
  bool statusAccepted = false, finished = false, finishedOk = false, dropSent = false;
  auto sourceSide = [&] {
    while (XPending(X)) {
      XEvent ev;
      XNextEvent(X, &ev);
      if (ev.type == ClientMessage && ev.xclient.message_type == XInternAtom(X, "XdndStatus", False)) {
        EXPECT_EQ(static_cast<Window>(ev.xclient.data.l[0]), target);
        statusAccepted = (ev.xclient.data.l[1] & 1) != 0;
        EXPECT_EQ(static_cast<Atom>(ev.xclient.data.l[4]), copy);
        if (statusAccepted && !dropSent) {
          dropSent = true;
          send("XdndDrop", 0, CurrentTime, 0, 0);
        }
      } else if (ev.type == ClientMessage && ev.xclient.message_type == XInternAtom(X, "XdndFinished", False)) {
        finished = true;
        finishedOk = (ev.xclient.data.l[1] & 1) != 0;
      } else if (ev.type == SelectionRequest) {
        EXPECT_EQ(ev.xselectionrequest.target, uriList);
        const std::string list = "file:///tmp/a%20b.mkv\r\n# note\r\nhttp://example.org/x.avi\r\n"
                                 "file://localhost/home/u/%C3%BC.avi\r\n";
        XChangeProperty(X, ev.xselectionrequest.requestor, ev.xselectionrequest.property, uriList, 8,
                        PropModeReplace, reinterpret_cast<const unsigned char*>(list.data()),
                        static_cast<int>(list.size()));
        XEvent reply{};
        reply.xselection.type = SelectionNotify;
        reply.xselection.requestor = ev.xselectionrequest.requestor;
        reply.xselection.selection = ev.xselectionrequest.selection;
        reply.xselection.target = ev.xselectionrequest.target;
        reply.xselection.property = ev.xselectionrequest.property;
        reply.xselection.time = ev.xselectionrequest.time;
        XSendEvent(X, ev.xselectionrequest.requestor, False, NoEventMask, &reply);
        XFlush(X);
      }
    }
  };
  ASSERT_TRUE(PumpUntil(
      *Backend,
      [&](const std::vector<TDisplayEvent>& E) {
        return finished &&
               std::any_of(E.begin(), E.end(), [](const TDisplayEvent& V) { return V.Kind == TDisplayEvent::Drop; });
      },
      sourceSide));
  EXPECT_TRUE(statusAccepted);
  EXPECT_TRUE(finishedOk);
  const TDisplayEvent& drop =
      *std::find_if(Events.Events.begin(), Events.Events.end(), [](const TDisplayEvent& V) { return V.Kind == TDisplayEvent::Drop; });
  EXPECT_EQ(drop.Window, w);
  EXPECT_EQ(drop.X, 150);
  EXPECT_EQ(drop.Y, 120);
  EXPECT_EQ(drop.Files, (std::vector<String>{"/tmp/a b.mkv", "/home/u/\xC3\xBC.avi"}));
  XDestroyWindow(X, source);
}

TEST_F(TX11Test, MonitorsAndTheBackendChoice)
{
  std::vector<TDisplayMonitor> monitors = Backend->Monitors();
  ASSERT_FALSE(monitors.empty());
  EXPECT_EQ(monitors[0].Monitor, Rect(0, 0, 1024, 768));
  EXPECT_TRUE(monitors[0].Primary);
  EXPECT_EQ(monitors[0].Work, Rect(0, 0, 1024, 768));
  EXPECT_FALSE(Backend->HasCompositor());

  // A work area published by a window manager cuts the monitor, and is reported as a change.
  long area[4] = {0, 24, 1024, 700};
  XChangeProperty(X, DefaultRootWindow(X), XInternAtom(X, "_NET_WORKAREA", False), XA_CARDINAL, 32, PropModeReplace,
                  reinterpret_cast<unsigned char*>(area), 4);
  XFlush(X);
  ASSERT_TRUE(PumpUntilKind(TDisplayEvent::DisplayChanged));
  EXPECT_EQ(Backend->Monitors()[0].Work, Rect(0, 24, 1024, 724));
  XDeleteProperty(X, DefaultRootWindow(X), XInternAtom(X, "_NET_WORKAREA", False));
  XFlush(X);

  struct {
    const char* QvDisplay;
    std::string Display;
    const char* Expected;
  } cases[] = {
      {nullptr, Server, "x11"},
      {"headless", Server, "headless"},
      {nullptr, "", "headless"},
      {nullptr, ":4711", "headless"}, // no such server: a message and no crash
  };
  std::string savedDisplay = getenv("DISPLAY") ? getenv("DISPLAY") : "";
  bool hadDisplay = getenv("DISPLAY") != nullptr;
  for (const auto& c : cases) {
    SCOPED_TRACE(c.Display);
    if (c.QvDisplay)
      setenv("QV_DISPLAY", c.QvDisplay, 1);
    else
      unsetenv("QV_DISPLAY");
    if (c.Display.empty())
      unsetenv("DISPLAY");
    else
      setenv("DISPLAY", c.Display.c_str(), 1);
    std::unique_ptr<TDisplayBackend> backend = CreateDisplayBackend();
    ASSERT_TRUE(backend);
    EXPECT_EQ(backend->Name(), c.Expected);
  }
  unsetenv("QV_DISPLAY");
  if (hadDisplay)
    setenv("DISPLAY", savedDisplay.c_str(), 1);
  else
    unsetenv("DISPLAY");
}

TEST_F(TX11Test, StackingFollowsRestackAndKeepsTopmostWindowsAbove)
{
  TDisplayWindow a = ShownWindow(Bounds(0, 0, 50, 50), 0);
  TDisplayWindow b = ShownWindow(Bounds(10, 10, 50, 50), 0);
  TDisplayWindow top = Backend->CreateWindow(Bounds(20, 20, 50, 50), dwfTopmost);
  Backend->Show(top, true, false);
  auto order = [&] { // ours, bottom to top
    Backend->Flush();
    Window root, parent, *children = nullptr;
    unsigned count = 0;
    XQueryTree(X, DefaultRootWindow(X), &root, &parent, &children, &count);
    std::vector<TDisplayWindow> out;
    for (unsigned i = 0; i < count; ++i)
      for (TDisplayWindow w : {a, b, top})
        if (Backend->NativeId(w) == children[i])
          out.push_back(w);
    if (children)
      XFree(children);
    return out;
  };
  EXPECT_EQ(order(), (std::vector<TDisplayWindow>{a, b, top}));
  Backend->Restack(a, 0);
  EXPECT_EQ(order(), (std::vector<TDisplayWindow>{b, a, top}));
  Backend->Restack(b, a);
  EXPECT_EQ(order(), (std::vector<TDisplayWindow>{a, b, top}));
  Backend->Activate(a);
  EXPECT_EQ(order(), (std::vector<TDisplayWindow>{b, a, top}));
}

TEST_F(TX11Test, LayeredWindowsUseAnAlphaVisualUnderACompositor)
{
  // The test plays the compositor by owning its selection.
  Window owner = XCreateSimpleWindow(X, DefaultRootWindow(X), 0, 0, 1, 1, 0, 0, 0);
  XSetSelectionOwner(X, XInternAtom(X, "_NET_WM_CM_S0", False), owner, CurrentTime);
  XSync(X, False);
  String error;
  std::unique_ptr<TDisplayBackend> composited = CreateX11Display(Server, error);
  ASSERT_TRUE(composited) << error;
  EXPECT_TRUE(composited->HasCompositor());

  TDisplayWindow w = composited->CreateWindow(Bounds(50, 50, 8, 4), dwfLayered);
  std::vector<std::uint32_t> pixels(8 * 4, 0x80402010); // premultiplied, half transparent
  composited->SetOpacity(w, 200, true);
  composited->Present(w, pixels.data(), 8, 4, 32, {});
  composited->Show(w, true, false);
  composited->Flush();
  Atom opacityAtom = XInternAtom(X, "_NET_WM_WINDOW_OPACITY", False);
  auto depthAndOpacity = [&](int& Depth, long& Opacity) {
    Window xid = static_cast<Window>(composited->NativeId(w));
    XWindowAttributes attrs{};
    XGetWindowAttributes(X, xid, &attrs);
    Depth = attrs.depth;
    Opacity = -1;
    Atom type;
    int format;
    unsigned long count, after;
    unsigned char* data = nullptr;
    if (XGetWindowProperty(X, xid, opacityAtom, 0, 1, False, XA_CARDINAL, &type, &format, &count, &after, &data) ==
            Success &&
        count == 1)
      Opacity = static_cast<long>(reinterpret_cast<unsigned long*>(data)[0] & 0xFFFFFFFF);
    if (data)
      XFree(data);
  };
  auto pixelAfterExpose = [&] {
    std::vector<std::uint32_t> read;
    int rw = 0, rh = 0;
    std::uint32_t value = 0;
    PumpUntil(*composited, [&](const std::vector<TDisplayEvent>&) {
      composited->Flush();
      if (composited->ReadPixels(w, read, rw, rh))
        value = read[rw + 1];
      return value != 0 && (value & 0x00FFFFFF) != 0;
    });
    return value;
  };

  int depth = 0;
  long opacity = 0;
  depthAndOpacity(depth, opacity);
  EXPECT_EQ(depth, 32);
  EXPECT_EQ(opacity, 200L * 0x01010101L);
  EXPECT_EQ(pixelAfterExpose(), 0x80402010u);

  // Constant alpha only: the image's alpha no longer counts, the opacity property goes.
  composited->SetOpacity(w, 255, false);
  composited->Flush();
  depthAndOpacity(depth, opacity);
  EXPECT_EQ(opacity, -1);
  EXPECT_EQ(pixelAfterExpose(), 0xFF402010u);

  // No longer layered: a plain window again, still shown with its image.
  composited->SetFlags(w, 0);
  composited->Flush();
  depthAndOpacity(depth, opacity);
  EXPECT_EQ(depth, 24);
  EXPECT_EQ(pixelAfterExpose(), 0xFF402010u);
  composited.reset();
  XDestroyWindow(X, owner);
}

TEST_F(TX11Test, WindowManagerRequestsBecomeEventsAndOwnChangesDoNot)
{
  TDisplayWindow w = ShownWindow(Bounds(100, 100, 60, 40), 0);
  Window xid = static_cast<Window>(Backend->NativeId(w));

  // Our own moves come back from the server but are no news to the window system.
  Backend->SetBounds(w, Bounds(110, 105, 70, 45));
  Backend->SetBounds(w, Bounds(120, 110, 80, 50));
  Backend->Flush();
  // Someone else (a window manager) moves and sizes it.
  XMoveResizeWindow(X, xid, 200, 150, 90, 55);
  XFlush(X);
  ASSERT_TRUE(PumpUntilKind(TDisplayEvent::Configured));
  std::vector<TDisplayEvent> configured;
  for (const TDisplayEvent& e : Events.Events)
    if (e.Kind == TDisplayEvent::Configured)
      configured.push_back(e);
  ASSERT_EQ(configured.size(), 1u);
  EXPECT_EQ(configured[0].Window, w);
  EXPECT_EQ(configured[0].Bounds, Bounds(200, 150, 90, 55));

  // The close button of a window manager.
  XEvent ev{};
  ev.xclient.type = ClientMessage;
  ev.xclient.window = xid;
  ev.xclient.message_type = XInternAtom(X, "WM_PROTOCOLS", False);
  ev.xclient.format = 32;
  ev.xclient.data.l[0] = static_cast<long>(XInternAtom(X, "WM_DELETE_WINDOW", False));
  XSendEvent(X, xid, False, NoEventMask, &ev);
  XSync(X, False);
  // A round trip of the backend's own reads the message off the connection into Xlib's queue;
  // a loop polling EventFd must still wake for it.
  Events.Events.clear();
  Backend->Flush();
  pollfd p{Backend->EventFd(), POLLIN, 0};
  EXPECT_EQ(poll(&p, 1, 0), 1);
  Backend->PumpEvents(Events);
  ASSERT_FALSE(Events.Events.empty()); // exposures of the resize may come first
  EXPECT_EQ(Events.Events.back().Kind, TDisplayEvent::CloseRequest);
  EXPECT_EQ(poll(&p, 1, 0), 0);
  EXPECT_EQ(Events.Events.back().Window, w);

  // No window manager keeps icons here: iconified means out of sight until shown again.
  Backend->Iconify(w);
  ASSERT_TRUE(PumpUntilKind(TDisplayEvent::Iconified));
  XWindowAttributes attrs;
  Backend->Flush();
  XGetWindowAttributes(X, xid, &attrs);
  EXPECT_EQ(attrs.map_state, IsUnmapped);
  Backend->Show(w, true, false);
  Backend->Flush();
  XGetWindowAttributes(X, xid, &attrs);
  EXPECT_EQ(attrs.map_state, IsViewable);
}

TEST_F(TX11Test, WindowFlagsBecomeWindowManagerHints)
{
  auto atoms = [&](Window W, const char* Property) {
    Atom type;
    int format;
    unsigned long count, after;
    unsigned char* data = nullptr;
    std::vector<std::string> names;
    if (XGetWindowProperty(X, W, XInternAtom(X, Property, False), 0, 64, False, XA_ATOM, &type, &format, &count,
                           &after, &data) == Success &&
        data) {
      for (unsigned long i = 0; i < count; ++i) {
        char* name = XGetAtomName(X, reinterpret_cast<Atom*>(data)[i]);
        names.push_back(name);
        XFree(name);
      }
      XFree(data);
    }
    std::sort(names.begin(), names.end());
    return names;
  };
  struct {
    unsigned Flags;
    std::vector<std::string> State;
    const char* Type;
    bool OverrideRedirect;
  } cases[] = {
      {0, {}, "_NET_WM_WINDOW_TYPE_NORMAL", false},
      {dwfTopmost, {"_NET_WM_STATE_ABOVE"}, "_NET_WM_WINDOW_TYPE_NORMAL", false},
      {dwfToolWindow, {"_NET_WM_STATE_SKIP_PAGER", "_NET_WM_STATE_SKIP_TASKBAR"}, "_NET_WM_WINDOW_TYPE_UTILITY", false},
      {dwfPopup | dwfTopmost, {"_NET_WM_STATE_ABOVE"}, "_NET_WM_WINDOW_TYPE_POPUP_MENU", true},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.Flags);
    TDisplayWindow w = Backend->CreateWindow(Bounds(0, 0, 10, 10), c.Flags);
    Backend->Flush();
    Window xid = static_cast<Window>(Backend->NativeId(w));
    EXPECT_EQ(atoms(xid, "_NET_WM_STATE"), c.State);
    EXPECT_EQ(atoms(xid, "_NET_WM_WINDOW_TYPE"), std::vector<std::string>{c.Type});
    XWindowAttributes attrs;
    XGetWindowAttributes(X, xid, &attrs);
    EXPECT_EQ(attrs.override_redirect != 0, c.OverrideRedirect);

    // No frame from the window manager: the window draws its own.
    Atom type;
    int format;
    unsigned long count, after;
    unsigned char* data = nullptr;
    Atom motif = XInternAtom(X, "_MOTIF_WM_HINTS", False);
    ASSERT_EQ(XGetWindowProperty(X, xid, motif, 0, 5, False, motif, &type, &format, &count, &after, &data), Success);
    ASSERT_EQ(count, 5u);
    EXPECT_EQ(reinterpret_cast<long*>(data)[0], 2);  // decorations given
    EXPECT_EQ(reinterpret_cast<long*>(data)[2], 0);  // none
    XFree(data);
    XWMHints* hints = XGetWMHints(X, xid);
    ASSERT_NE(hints, nullptr);
    EXPECT_TRUE(hints->input);
    XFree(hints);
    Backend->DestroyWindow(w);
  }

  // Changed flags follow, and a window that must not take the focus says so.
  TDisplayWindow w = Backend->CreateWindow(Bounds(0, 0, 10, 10), dwfToolWindow);
  Backend->SetFlags(w, dwfTopmost | dwfNoActivate);
  Backend->Flush();
  Window xid = static_cast<Window>(Backend->NativeId(w));
  EXPECT_EQ(atoms(xid, "_NET_WM_STATE"), std::vector<std::string>{"_NET_WM_STATE_ABOVE"});
  EXPECT_EQ(atoms(xid, "_NET_WM_WINDOW_TYPE"), std::vector<std::string>{"_NET_WM_WINDOW_TYPE_NORMAL"});
  XWMHints* hints = XGetWMHints(X, xid);
  ASSERT_NE(hints, nullptr);
  EXPECT_FALSE(hints->input);
  XFree(hints);
}

// The test's connection plays the trays. A tray that takes over announces itself (MANAGER on
// the root window): the icons docked in another tray are reported lost, then the new tray; an
// icon that docked in the new tray already stays, and an announcement of another selection is
// none. An icon the server destroys with its tray, or that the tray hands back to the root,
// is reported lost too, and destroying it after that is quiet.
TEST_F(TX11Test, ANewTrayIsReportedAfterTheIconsTheTrayBeforeHeld)
{
  const Window root = DefaultRootWindow(X);
  const Atom selection =
      XInternAtom(X, ("_NET_SYSTEM_TRAY_S" + std::to_string(DefaultScreen(X))).c_str(), False);
  auto tray = [&] {
    Window t = XCreateSimpleWindow(X, root, 0, 0, 100, 30, 0, 0, 0);
    XSetSelectionOwner(X, selection, t, CurrentTime);
    XSync(X, False);
    return t;
  };
  auto announce = [&](Atom Selection, Window Owner) {
    XEvent ev{};
    ev.xclient.type = ClientMessage;
    ev.xclient.window = root;
    ev.xclient.message_type = XInternAtom(X, "MANAGER", False);
    ev.xclient.format = 32;
    ev.xclient.data.l[0] = CurrentTime;
    ev.xclient.data.l[1] = static_cast<long>(Selection);
    ev.xclient.data.l[2] = static_cast<long>(Owner);
    XSendEvent(X, root, False, StructureNotifyMask, &ev);
    XSync(X, False);
  };
  // Pumps what the server has sent so far.
  auto settle = [&] {
    for (int i = 0; i < 10; ++i) {
      Backend->PumpEvents(Events);
      usleep(20000);
    }
  };
  auto kinds = [&](TDisplayEvent::TKind Kind) {
    std::vector<TDisplayWindow> out;
    for (const TDisplayEvent& e : Events.Events)
      if (e.Kind == Kind)
        out.push_back(e.Window);
    return out;
  };

  const Window first = tray();
  const TDisplayWindow a = Backend->CreateWindow(Rect(0, 0, 24, 24), dwfTrayIcon);
  const TDisplayWindow b = Backend->CreateWindow(Rect(0, 0, 24, 24), dwfTrayIcon);
  ASSERT_TRUE(Backend->DockInTray(a));
  ASSERT_TRUE(Backend->DockInTray(b));
  const Window second = tray();
  const TDisplayWindow c = Backend->CreateWindow(Rect(0, 0, 24, 24), dwfTrayIcon);
  ASSERT_TRUE(Backend->DockInTray(c));
  announce(XInternAtom(X, "_NET_SYSTEM_TRAY_S7", False), second);
  announce(selection, second);
  ASSERT_TRUE(PumpUntilKind(TDisplayEvent::TrayRestarted));
  settle();
  EXPECT_EQ(kinds(TDisplayEvent::TrayRestarted).size(), 1u) << "only our screen's tray counts";
  EXPECT_EQ(kinds(TDisplayEvent::TrayIconLost), (std::vector<TDisplayWindow>{a, b}))
      << "the icons of the tray before, not the one in the new tray";
  EXPECT_EQ(Events.Events.back().Kind, TDisplayEvent::TrayRestarted) << "the new tray comes last";
  Backend->DestroyWindow(a);
  Backend->DestroyWindow(b);

  // The new tray holds c and goes away: the server destroys c with it.
  Events.Events.clear();
  XReparentWindow(X, static_cast<Window>(Backend->NativeId(c)), second, 4, 4);
  XSync(X, False);
  XDestroyWindow(X, second);
  XSync(X, False);
  ASSERT_TRUE(PumpUntilKind(TDisplayEvent::TrayIconLost));
  EXPECT_EQ(kinds(TDisplayEvent::TrayIconLost), (std::vector<TDisplayWindow>{c}));
  EXPECT_EQ(Backend->NativeId(c), 0u) << "the dead window's id is forgotten";
  Backend->Show(c, true, false);
  Backend->DestroyWindow(c);

  // A tray that hands its icon back to the root lets go of it too.
  const Window third = tray();
  const TDisplayWindow d = Backend->CreateWindow(Rect(0, 0, 24, 24), dwfTrayIcon);
  ASSERT_TRUE(Backend->DockInTray(d));
  const Window dx = static_cast<Window>(Backend->NativeId(d));
  XReparentWindow(X, dx, third, 4, 4);
  XSync(X, False);
  settle();
  Events.Events.clear();
  XReparentWindow(X, dx, root, 0, 0);
  XSync(X, False);
  ASSERT_TRUE(PumpUntilKind(TDisplayEvent::TrayIconLost));
  EXPECT_EQ(kinds(TDisplayEvent::TrayIconLost), (std::vector<TDisplayWindow>{d}));
  Backend->DestroyWindow(d);
  Backend->Flush();
  XDestroyWindow(X, first);
  XDestroyWindow(X, third);
  XSync(X, False);
}
