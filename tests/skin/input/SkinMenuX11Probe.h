// A second X connection for the skinned menu tests on Xvfb, kept apart from the class library's
// headers (Xlib's names clash with them): window attributes, the pointer grab, XTest input.
#pragma once

#include <cstdint>

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

private:
  void* FDisplay = nullptr;
};
