#include "platform/display/DisplayBackend.h"

#include <cstdio>
#include <cstdlib>

#include "platform/display/HeadlessDisplay.h"
#include "platform/display/X11Display.h"

std::unique_ptr<TDisplayBackend> CreateDisplayBackend()
{
  const char* choice = std::getenv("QV_DISPLAY");
  const char* display = std::getenv("DISPLAY");
  if ((choice && String(choice) == "headless") || !display || !*display)
    return std::make_unique<THeadlessDisplay>();
  String error;
  std::unique_ptr<TDisplayBackend> backend = CreateX11Display(String(), error);
  if (backend)
    return backend;
  std::fprintf(stderr, "Quelvo 3: %s; running without a screen.\n", error.c_str());
  return std::make_unique<THeadlessDisplay>();
}
