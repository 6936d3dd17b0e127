// A second X connection for the tests on Xvfb, kept apart from the class library's headers
// (Xlib's names clash with them): window attributes, geometry and shape, the pointer grab, XTest
// input. Test programs that use it list support/X11Probe.cpp among their sources.
#pragma once

#include <cstdint>
#include <vector>

// X keysyms the tests press.
constexpr unsigned long KsReturn = 0xff0d, KsEscape = 0xff1b, KsSpace = 0x20, KsDown = 0xff54;

class TX11Probe {
public:
  explicit TX11Probe(const char* Server);
  ~TX11Probe();
  TX11Probe(const TX11Probe&) = delete;
  TX11Probe& operator=(const TX11Probe&) = delete;

  bool Connected() const { return FDisplay != nullptr; }
  // Whether the window is override-redirect and mapped (viewable).
  bool OverrideRedirect(std::uint64_t Window);
  bool Viewable(std::uint64_t Window);
  // Whether another client holds the pointer grab (a grab of our own on the root fails).
  bool PointerGrabbedElsewhere();
  void MoveTo(int X, int Y);
  // Press and release of a button at the current pointer position.
  void Click(int Button);
  void Press(int Button);
  void Release(int Button);
  // Press and release of the key of an X keysym (XK_Return ...), with Alt held when WithAlt.
  void KeyTap(unsigned long KeySym, bool WithAlt = false);
  // The window's bounds on the screen (left, top, right, bottom); false when it has none.
  bool Bounds(std::uint64_t Window, int& Left, int& Top, int& Right, int& Bottom);
  // The window's bounding shape as rectangles (left, top, right, bottom in window coordinates,
  // four numbers each); false when the window is not shaped.
  bool Shape(std::uint64_t Window, std::vector<int>& Rects);

private:
  void* FDisplay = nullptr;
};
