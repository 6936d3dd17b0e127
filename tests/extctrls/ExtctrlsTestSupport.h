// One headless display for the whole extended-controls test program, and a hidden form on which
// controls that need a window (grids change their counts through their window's size) are put.
#pragma once

#include <memory>

#include "platform/display/HeadlessDisplay.h"
#include "platform/vcl/Forms.h"
#include "platform/win/WinUser.h"

inline THeadlessDisplay* EnsureHeadless()
{
  static THeadlessDisplay* Display = [] {
    auto D = std::make_unique<THeadlessDisplay>();
    THeadlessDisplay* Raw = D.get();
    SetDisplayBackend(std::move(D));
    return Raw;
  }();
  return Display;
}

// A hidden borderless form that lives as long as the test program.
inline TForm* HostForm()
{
  EnsureHeadless();
  static TForm* Form = [] {
    auto* F = new TForm(nullptr);
    F->SetBorderStyle(bsNone);
    F->SetBounds(0, 0, 400, 300);
    return F;
  }();
  return Form;
}
