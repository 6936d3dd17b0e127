#include <gtest/gtest.h>

#include <poll.h>

#include "platform/display/DisplayKeys.h"
#include "platform/display/HeadlessDisplay.h"
#include "platform/display/Screenshot.h"
#include "platform/gdi/PngFile.h"
#include "tests/support/TempDirTest.h"

using namespace DisplayKeys;

namespace {

struct TRecorder : IDisplaySink {
  std::vector<TDisplayEvent> Events;
  void DisplayEvent(const TDisplayEvent& Event) override { Events.push_back(Event); }
};

bool Readable(int Fd)
{
  pollfd p{Fd, POLLIN, 0};
  return poll(&p, 1, 0) == 1 && (p.revents & POLLIN);
}

std::vector<TDisplayEvent> Pump(THeadlessDisplay& D)
{
  TRecorder r;
  D.PumpEvents(r);
  return r.Events;
}

// A window filled with one colour, shown.
TDisplayWindow Filled(THeadlessDisplay& D, const RECT& Bounds, std::uint32_t Colour, unsigned Flags = 0)
{
  TDisplayWindow w = D.CreateWindow(Bounds, Flags);
  int width = Bounds.right - Bounds.left;
  int height = Bounds.bottom - Bounds.top;
  std::vector<std::uint32_t> pixels(static_cast<std::size_t>(width) * height, Colour);
  D.Present(w, pixels.data(), width, height, width * 4, {});
  D.Show(w, true, false);
  return w;
}

} // namespace

TEST(HeadlessDisplay, InputGoesToTheTopWindowUnderThePointer)
{
  THeadlessDisplay d;
  // Created first but topmost: stays above everything created later.
  TDisplayWindow top = Filled(d, Rect(80, 0, 200, 40), 0, dwfTopmost);
  TDisplayWindow a = Filled(d, Rect(0, 0, 100, 100), 0);
  TDisplayWindow b = Filled(d, Rect(50, 50, 150, 150), 0);
  TDisplayWindow hidden = d.CreateWindow(Rect(0, 0, 400, 400), 0);
  TDisplayWindow shaped = Filled(d, Rect(200, 200, 300, 300), 0);
  d.SetShape(shaped, true, {Rect(0, 0, 50, 50), Rect(60, 60, 100, 100)});
  TDisplayWindow iconic = Filled(d, Rect(300, 0, 400, 100), 0);
  d.Iconify(iconic);
  (void)hidden;

  struct {
    int X, Y;
    TDisplayWindow Expected;
  } cases[] = {
      {10, 10, a},        {60, 60, b},       {99, 99, b},          {100, 100, b},  {149, 149, b},
      {150, 150, 0},      {90, 20, top},     {90, 45, a},          {199, 39, top}, {200, 200, shaped},
      {249, 249, shaped}, {250, 250, 0},     {270, 210, 0},        {260, 260, shaped},
      {350, 50, 0},       {-1, 10, 0},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << c.X << "," << c.Y);
    EXPECT_EQ(d.WindowAt(c.X, c.Y), c.Expected);
    Pump(d);
    d.InjectButton(c.X, c.Y, 1, true);
    d.InjectButton(c.X, c.Y, 1, false);
    std::vector<TDisplayEvent> events = Pump(d);
    std::vector<TDisplayEvent> buttons;
    for (const TDisplayEvent& e : events)
      if (e.Kind == TDisplayEvent::ButtonDown || e.Kind == TDisplayEvent::ButtonUp)
        buttons.push_back(e);
    if (c.Expected == 0) {
      EXPECT_TRUE(buttons.empty());
      continue;
    }
    ASSERT_EQ(buttons.size(), 2u);
    EXPECT_EQ(buttons[0].Kind, TDisplayEvent::ButtonDown);
    EXPECT_EQ(buttons[0].Window, c.Expected);
    EXPECT_EQ(buttons[0].X, c.X);
    EXPECT_EQ(buttons[0].Y, c.Y);
    EXPECT_EQ(buttons[0].Modifiers, MK_LBUTTON);
    EXPECT_EQ(buttons[1].Kind, TDisplayEvent::ButtonUp);
    EXPECT_EQ(buttons[1].Window, c.Expected);
    EXPECT_EQ(buttons[1].Modifiers, 0u);
  }

  // Raising a window over the topmost one leaves the topmost one on top; an unshaped window
  // takes its whole rectangle again.
  d.Restack(a, 0);
  EXPECT_EQ(d.WindowAt(90, 20), top);
  EXPECT_EQ(d.WindowAt(60, 60), a);
  d.Restack(a, b); // directly above b: still above it
  EXPECT_EQ(d.WindowAt(60, 60), a);
  d.Restack(b, a);
  EXPECT_EQ(d.WindowAt(60, 60), b);
  EXPECT_EQ(d.StackingOrder(), (std::vector<TDisplayWindow>{top, iconic, shaped, hidden, b, a}));
  d.SetShape(shaped, false, {});
  EXPECT_EQ(d.WindowAt(270, 210), shaped);
}

TEST(HeadlessDisplay, PressedButtonAndGrabKeepInputOnOneWindow)
{
  THeadlessDisplay d;
  TDisplayWindow a = Filled(d, Rect(0, 0, 100, 100), 0);
  TDisplayWindow b = Filled(d, Rect(200, 0, 300, 100), 0);
  d.InjectMouseMove(10, 10);
  d.InjectButton(10, 10, 3, true);
  d.InjectMouseMove(250, 50); // still a's: the button is held
  d.InjectButton(250, 50, 3, false);
  d.InjectMouseMove(260, 50);
  d.InjectWheel(260, 50, -2);
  d.GrabPointer(a, true);
  d.InjectButton(260, 60, 1, true);
  d.InjectWheel(260, 60, 1);

  struct {
    TDisplayEvent::TKind Kind;
    TDisplayWindow Window;
    int X, Y;
    unsigned Modifiers;
  } expected[] = {
      {TDisplayEvent::MouseMove, a, 10, 10, 0},
      {TDisplayEvent::ButtonDown, a, 10, 10, MK_RBUTTON},
      {TDisplayEvent::MouseMove, a, 250, 50, MK_RBUTTON},
      {TDisplayEvent::ButtonUp, a, 250, 50, 0},
      {TDisplayEvent::MouseLeave, a, 250, 50, 0},
      {TDisplayEvent::MouseMove, b, 260, 50, 0},
      {TDisplayEvent::Wheel, b, 260, 50, 0},
      {TDisplayEvent::MouseMove, a, 260, 60, 0},
      {TDisplayEvent::ButtonDown, a, 260, 60, MK_LBUTTON},
      {TDisplayEvent::Wheel, a, 260, 60, MK_LBUTTON},
  };
  std::vector<TDisplayEvent> events = Pump(d);
  ASSERT_EQ(events.size(), std::size(expected));
  for (std::size_t i = 0; i < events.size(); ++i) {
    SCOPED_TRACE(i);
    EXPECT_EQ(events[i].Kind, expected[i].Kind);
    EXPECT_EQ(events[i].Window, expected[i].Window);
    EXPECT_EQ(events[i].X, expected[i].X);
    EXPECT_EQ(events[i].Y, expected[i].Y);
    EXPECT_EQ(events[i].Modifiers, expected[i].Modifiers);
  }
  EXPECT_EQ(events[6].WheelDelta, -240);
  EXPECT_EQ(events[9].WheelDelta, 120);
  EXPECT_TRUE(d.KeyDown(VK_LBUTTON));
  EXPECT_FALSE(d.KeyDown(VK_RBUTTON));
  EXPECT_EQ(d.CursorPos(), Point(260, 60));

  // Hiding the grabbing window ends the grab.
  d.Show(a, false, false);
  EXPECT_EQ(d.GrabWindow(), 0u);
}

TEST(HeadlessDisplay, QueueKeepsOrderWakesThePollAndSurvivesNestedPumps)
{
  THeadlessDisplay d;
  TDisplayWindow a = Filled(d, Rect(0, 0, 100, 100), 0);
  TDisplayWindow b = Filled(d, Rect(200, 0, 300, 100), 0);
  EXPECT_FALSE(Readable(d.EventFd()));
  d.Show(a, true, true);
  d.InjectKey(VK_SHIFT, true);
  d.InjectKey('A', true);
  d.InjectKey('A', true);
  d.InjectChar("A");
  d.InjectKey('A', false);
  d.InjectFocus(b);
  d.InjectKey(VK_SHIFT, false);
  d.InjectClose(a);
  d.InjectDrop(b, 250, 50, {"/tmp/a b.mkv", "/x/ü.avi"});
  EXPECT_TRUE(Readable(d.EventFd()));

  // The sink pumps again from inside (a nested loop) after the second event.
  struct TNested : IDisplaySink {
    THeadlessDisplay* Display = nullptr;
    std::vector<TDisplayEvent> Events;
    void DisplayEvent(const TDisplayEvent& Event) override
    {
      Events.push_back(Event);
      if (Events.size() == 2)
        Display->PumpEvents(*this);
    }
  } sink;
  sink.Display = &d;
  d.PumpEvents(sink);
  EXPECT_FALSE(Readable(d.EventFd()));

  struct {
    TDisplayEvent::TKind Kind;
    TDisplayWindow Window;
    unsigned Key;
    bool Repeat;
    unsigned Modifiers;
  } expected[] = {
      {TDisplayEvent::FocusIn, a, 0, false, 0},
      {TDisplayEvent::KeyDown, a, VK_SHIFT, false, MK_SHIFT},
      {TDisplayEvent::KeyDown, a, 'A', false, MK_SHIFT},
      {TDisplayEvent::KeyDown, a, 'A', true, MK_SHIFT},
      {TDisplayEvent::Char, a, 0, false, MK_SHIFT},
      {TDisplayEvent::KeyUp, a, 'A', false, MK_SHIFT},
      {TDisplayEvent::FocusOut, a, 0, false, 0},
      {TDisplayEvent::FocusIn, b, 0, false, 0},
      {TDisplayEvent::KeyUp, b, VK_SHIFT, false, 0},
      {TDisplayEvent::CloseRequest, a, 0, false, 0},
      {TDisplayEvent::Drop, b, 0, false, 0},
  };
  ASSERT_EQ(sink.Events.size(), std::size(expected));
  for (std::size_t i = 0; i < sink.Events.size(); ++i) {
    SCOPED_TRACE(i);
    EXPECT_EQ(sink.Events[i].Kind, expected[i].Kind);
    EXPECT_EQ(sink.Events[i].Window, expected[i].Window);
    EXPECT_EQ(sink.Events[i].VirtualKey, expected[i].Key);
    EXPECT_EQ(sink.Events[i].Repeat, expected[i].Repeat);
    if (sink.Events[i].Kind != TDisplayEvent::FocusIn && sink.Events[i].Kind != TDisplayEvent::FocusOut &&
        sink.Events[i].Kind != TDisplayEvent::CloseRequest && sink.Events[i].Kind != TDisplayEvent::Drop) {
      EXPECT_EQ(sink.Events[i].Modifiers, expected[i].Modifiers);
    }
  }
  EXPECT_EQ(sink.Events[4].Text, "A");
  EXPECT_EQ(sink.Events[10].Files, (std::vector<String>{"/tmp/a b.mkv", "/x/ü.avi"}));
  EXPECT_EQ(sink.Events[10].X, 250);

  // Events for a window that is destroyed before they are pumped are dropped with it.
  d.InjectClose(a);
  d.InjectClose(b);
  d.DestroyWindow(a);
  std::vector<TDisplayEvent> rest = Pump(d);
  ASSERT_EQ(rest.size(), 1u);
  EXPECT_EQ(rest[0].Window, b);
  // Keys with no window of ours focused still change the key state but make no event.
  d.InjectFocus(0);
  Pump(d);
  d.InjectKey(VK_RCONTROL, true);
  EXPECT_TRUE(Pump(d).empty());
  EXPECT_TRUE(d.KeyDown(VK_CONTROL));
  EXPECT_TRUE(d.KeyDown(VK_RCONTROL));
  EXPECT_FALSE(d.KeyDown(VK_LCONTROL));
}

TEST(HeadlessDisplay, ComposeScreenBlendsInStackingOrderWithShapesAndOpacity)
{
  THeadlessDisplay d;
  d.SetMonitors({{Rect(0, 0, 40, 10), Rect(0, 0, 40, 10), true}});
  Filled(d, Rect(0, 0, 40, 10), 0x00FF0000); // red; its alpha byte does not count
  TDisplayWindow constant = Filled(d, Rect(0, 0, 10, 10), 0xFF0000FF, dwfLayered);
  d.SetOpacity(constant, 128, false);
  TDisplayWindow perPixel = Filled(d, Rect(10, 0, 20, 10), 0x80008000, dwfLayered); // premultiplied
  d.SetOpacity(perPixel, 255, true);
  TDisplayWindow both = Filled(d, Rect(20, 0, 30, 10), 0x80008000, dwfLayered);
  d.SetOpacity(both, 128, true);
  TDisplayWindow shaped = Filled(d, Rect(30, 0, 40, 10), 0xFFFFFFFF);
  d.SetShape(shaped, true, {Rect(0, 0, 5, 5)});
  TDisplayWindow hidden = Filled(d, Rect(0, 0, 40, 10), 0xFF00FF00);
  d.Show(hidden, false, false);

  std::vector<std::uint32_t> screen;
  int width = 0, height = 0;
  d.ComposeScreen(screen, width, height);
  ASSERT_EQ(width, 40);
  ASSERT_EQ(height, 10);
  struct {
    int X, Y;
    std::uint32_t Expected;
  } cases[] = {
      {5, 5, 0xFF7F0080},   // blue at 128 over red: 128 blue + 127 red
      {15, 5, 0xFF7F8000},  // per-pixel 50 % green over red
      {25, 5, 0xFFBF4000},  // per-pixel alpha scaled by 128: alpha 64, green 64, red 191
      {32, 2, 0xFFFFFFFF},  // inside the shape
      {37, 7, 0xFFFF0000},  // outside it: the red window below
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << c.X << "," << c.Y);
    EXPECT_EQ(screen[static_cast<std::size_t>(c.Y) * width + c.X], c.Expected);
  }
}

TEST(HeadlessDisplay, PresentKeepsACopyAndHonoursDirtyRectangles)
{
  THeadlessDisplay d;
  TDisplayWindow w = d.CreateWindow(Rect(0, 0, 4, 2), 0);
  std::vector<std::uint32_t> pixels(4 * 2, 1);
  std::vector<std::uint32_t> out;
  int width = 0, height = 0;
  d.Present(w, pixels.data(), 4, 2, 16, {});
  EXPECT_FALSE(d.ReadPixels(w, out, width, height)); // not shown yet
  d.Show(w, true, false);
  pixels.assign(8, 2); // the caller's buffer changes: the backend's copy does not
  ASSERT_TRUE(d.ReadPixels(w, out, width, height));
  EXPECT_EQ(out, std::vector<std::uint32_t>(8, 1));

  // Only the dirty area (cut to the image) is taken; a padded stride is read correctly.
  std::vector<std::uint32_t> padded = {5, 5, 5, 5, 9, 6, 6, 6, 6, 9};
  d.Present(w, padded.data(), 4, 2, 20, {Rect(2, 1, 10, 10)});
  ASSERT_TRUE(d.ReadPixels(w, out, width, height));
  EXPECT_EQ(out, (std::vector<std::uint32_t>{1, 1, 1, 1, 1, 1, 6, 6}));
  // A new size takes the whole image whatever Dirty says.
  d.Present(w, padded.data(), 2, 2, 20, {Rect(0, 0, 1, 1)});
  ASSERT_TRUE(d.ReadPixels(w, out, width, height));
  EXPECT_EQ(width, 2);
  EXPECT_EQ(out, (std::vector<std::uint32_t>{5, 5, 6, 6}));

  // Damaged calls change nothing and do not crash.
  d.Present(w, nullptr, 4, 2, 16, {});
  d.Present(w, padded.data(), 4, 2, 8, {});
  d.Present(w, padded.data(), -1, 2, 16, {});
  d.Present(12345, padded.data(), 4, 2, 16, {});
  ASSERT_TRUE(d.ReadPixels(w, out, width, height));
  EXPECT_EQ(out, (std::vector<std::uint32_t>{5, 5, 6, 6}));
  EXPECT_EQ(d.WindowInfo(w)->PresentCount, 3);
  EXPECT_FALSE(d.ReadPixels(12345, out, width, height));

  TDisplayWindow child = d.CreateNativeChild(w, Rect(0, 0, 1, 1), true);
  EXPECT_NE(child, 0u);
  EXPECT_EQ(d.NativeId(child), 0u);
  d.DestroyWindow(w);
  EXPECT_EQ(d.WindowInfo(child), nullptr);
}

TEST(HeadlessDisplay, ClipboardAndMonitors)
{
  THeadlessDisplay d;
  String text = "unchanged";
  EXPECT_FALSE(d.GetClipboardText(text));
  EXPECT_EQ(text, "unchanged");
  for (const String& value : {String("Grüße ✓\r\nline 2"), String()}) {
    d.SetClipboardText(value);
    ASSERT_TRUE(d.GetClipboardText(text));
    EXPECT_EQ(text, value);
  }

  std::vector<TDisplayMonitor> monitors = d.Monitors();
  ASSERT_EQ(monitors.size(), 1u);
  EXPECT_EQ(monitors[0].Monitor, Rect(0, 0, 1280, 1024));
  EXPECT_EQ(monitors[0].Work, Rect(0, 0, 1280, 994));
  EXPECT_TRUE(monitors[0].Primary);

  d.SetMonitors({});
  EXPECT_EQ(d.Monitors().size(), 1u);
  EXPECT_TRUE(Pump(d).empty());
  d.SetMonitors({{Rect(0, 0, 800, 600), Rect(0, 0, 800, 570), false},
                 {Rect(-1024, 0, 0, 768), Rect(-1024, 0, 0, 768), true}});
  monitors = d.Monitors();
  ASSERT_EQ(monitors.size(), 2u);
  EXPECT_FALSE(monitors[0].Primary);
  EXPECT_TRUE(monitors[1].Primary);
  std::vector<TDisplayEvent> events = Pump(d);
  ASSERT_EQ(events.size(), 1u);
  EXPECT_EQ(events[0].Kind, TDisplayEvent::DisplayChanged);
}

class THeadlessScreenshot : public TTempDirTest {};

TEST_F(THeadlessScreenshot, WritesTheWindowOpaqueAndRefusesHiddenOnes)
{
  THeadlessDisplay d;
  // A plain window's image may carry any alpha byte: the picture is opaque all the same.
  TDisplayWindow w = Filled(d, Rect(0, 0, 3, 2), 0x00102030);
  ASSERT_TRUE(SaveWindowPng(d, w, Dir + "w.png"));
  TDibImage png = LoadPngFromFile(Dir + "w.png");
  ASSERT_EQ(png.Width, 3);
  ASSERT_EQ(png.Height, 2);
  TDibColor c = png.GetPixel(2, 1);
  EXPECT_EQ(c.Red, 0x10);
  EXPECT_EQ(c.Green, 0x20);
  EXPECT_EQ(c.Blue, 0x30);
  EXPECT_EQ(png.Converted(32).GetPixel(2, 1).Reserved, 255);

  d.Show(w, false, false);
  EXPECT_FALSE(SaveWindowPng(d, w, Dir + "hidden.png"));
  d.Show(w, true, false);
  EXPECT_FALSE(SaveWindowPng(d, w, Dir + "no/such/folder.png"));
  EXPECT_EQ(DirEntries(), std::vector<std::string>{"w.png"});
}
