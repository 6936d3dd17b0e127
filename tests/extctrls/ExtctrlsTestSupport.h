// One headless display for the whole extended-controls test program.
#pragma once

#include <memory>

#include "platform/display/HeadlessDisplay.h"
#include "platform/win/WinUser.h"

inline void EnsureHeadless()
{
  static bool Done = false;
  if (Done) return;
  Done = true;
  SetDisplayBackend(std::make_unique<THeadlessDisplay>());
}
