// A fixture for extended-control tests that use shown windows: the program's headless display,
// a manual message clock per test, forms deleted after the test, the user's pointer through the
// display, and pixel reads of painted controls.
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "ExtctrlsTestSupport.h"
#include "platform/vcl/Bitmap.h"

class TXcWindowTest : public ::testing::Test {
protected:
  void SetUp() override
  {
    Display = EnsureHeadless();
    Clock = std::make_shared<TManualMessageClock>(200000);
    SetMessageClock(Clock);
    MSG Peek;
    PeekMessageA(&Peek, nullptr, 0, 0, PM_NOREMOVE);
  }
  void TearDown() override
  {
    for (TComponent* C : Owned) delete C;
    Owned.clear();
    ProcessPendingMessages();
    MSG Dummy;
    while (PeekMessageA(&Dummy, nullptr, 0, 0, PM_REMOVE)) {
    }
    SetMessageClock(nullptr);
  }

  // A shown borderless form at (100, 100) with that client size.
  TForm* NewForm(int W = 400, int H = 300)
  {
    auto* F = new TForm(nullptr);
    Owned.push_back(F);
    F->SetBorderStyle(bsNone);
    F->SetColor(clWhite);
    F->SetBounds(100, 100, W, H);
    F->Show();
    Pump();
    return F;
  }
  template <class T>
  T* Add(TWinControl* Parent, int X, int Y, int W, int H)
  {
    auto* C = new T(Parent);
    C->SetParent(Parent);
    C->SetBounds(X, Y, W, H);
    return C;
  }

  void Pump() { ProcessPendingMessages(); }
  void Advance(DWORD Ms)
  {
    Clock->Advance(Ms);
    Pump();
  }
  void Move(TControl* C, int X, int Y)
  {
    const TPoint P = C->ClientToScreen(Point(X, Y));
    Display->InjectMouseMove(P.x, P.y);
    Pump();
  }
  void Button(TControl* C, int X, int Y, int Which, bool Pressed)
  {
    const TPoint P = C->ClientToScreen(Point(X, Y));
    Display->InjectButton(P.x, P.y, Which, Pressed);
    Pump();
  }
  void Down(TControl* C, int X, int Y) { Button(C, X, Y, 1, true); }
  void Up(TControl* C, int X, int Y) { Button(C, X, Y, 1, false); }

  // The control painted as it shows on its parent, in a bitmap of its size.
  static std::unique_ptr<TBitmap> Snapshot(TControl* Control)
  {
    auto B = std::make_unique<TBitmap>();
    B->SetPixelFormat(pf24bit);
    B->SetSize(Control->GetWidth(), Control->GetHeight());
    if (auto* W = dynamic_cast<TWinControl*>(Control))
      W->PaintTo(B->GetCanvas()->GetHandle(), 0, 0);
    else
      Control->PaintTo(B->GetCanvas()->GetHandle(), 0, 0);
    return B;
  }
  static COLORREF Pixel(TBitmap* B, int X, int Y) { return ColorToRGB(B->GetCanvas()->GetPixels(X, Y)); }

  THeadlessDisplay* Display = nullptr;
  std::shared_ptr<TManualMessageClock> Clock;
  std::vector<TComponent*> Owned;
};
