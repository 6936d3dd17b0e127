// Shared set-up of the class-library tests that use windows: one headless display for the
// whole test program, a manual message clock per test, and small controls that paint a colour
// and log what happens to them.
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "platform/display/HeadlessDisplay.h"
#include "platform/vcl/Button.h"
#include "platform/vcl/Dialogs.h"
#include "platform/vcl/Forms.h"
#include "platform/vcl/Timer.h"

inline THeadlessDisplay*& VclDisplay() {
  static THeadlessDisplay* Display = nullptr;
  return Display;
}

inline std::vector<String>& VclLog() {
  static std::vector<String> Log;
  return Log;
}

// A windowed control that fills itself with Fill and logs mouse and focus events.
class TBox : public TCustomControl {
public:
  explicit TBox(TComponent* AOwner, TColor AFill = clBlue) : TCustomControl(AOwner), Fill(AFill) {
    SetTabStop(true);
    OnEnter = [this](TObject*) { VclLog().push_back("enter " + GetName()); };
    OnExit = [this](TObject*) { VclLog().push_back("exit " + GetName()); };
    OnClick = [this](TObject*) { VclLog().push_back("click " + GetName()); };
    OnDblClick = [this](TObject*) { VclLog().push_back("dblclick " + GetName()); };
  }
  TColor Fill;

protected:
  void Paint() override {
    GetCanvas()->GetBrush()->SetColor(Fill);
    GetCanvas()->FillRect(GetClientRect());
  }
  void CMMouseEnter(TMessage& M) override {
    TCustomControl::CMMouseEnter(M);
    VclLog().push_back("mouseenter " + GetName());
  }
  void CMMouseLeave(TMessage& M) override {
    TCustomControl::CMMouseLeave(M);
    VclLog().push_back("mouseleave " + GetName());
  }
};

// A graphic control that fills itself with Fill and logs clicks and hovering.
class TDot : public TGraphicControl {
public:
  explicit TDot(TComponent* AOwner, TColor AFill = clLime) : TGraphicControl(AOwner), Fill(AFill) {
    OnClick = [this](TObject*) { VclLog().push_back("click " + GetName()); };
  }
  TColor Fill;

protected:
  void Paint() override {
    GetCanvas()->GetBrush()->SetColor(Fill);
    GetCanvas()->FillRect(GetClientRect());
  }
  void CMMouseEnter(TMessage& M) override {
    TGraphicControl::CMMouseEnter(M);
    VclLog().push_back("mouseenter " + GetName());
  }
  void CMMouseLeave(TMessage& M) override {
    TGraphicControl::CMMouseLeave(M);
    VclLog().push_back("mouseleave " + GetName());
  }
};

class TVclWindowTest : public ::testing::Test {
protected:
  std::shared_ptr<TManualMessageClock> Clock;

  void SetUp() override {
    if (!VclDisplay()) {
      auto D = std::make_unique<THeadlessDisplay>();
      VclDisplay() = D.get();
      SetDisplayBackend(std::move(D));
    }
    Clock = std::make_shared<TManualMessageClock>(100000);
    SetMessageClock(Clock);
    VclLog().clear();
    SetDialogHandler(nullptr);
    Application->OnMessage = nullptr;
    // Makes sure this thread has its message queue before the first post.
    MSG Peek;
    PeekMessageA(&Peek, nullptr, 0, 0, PM_NOREMOVE);
  }

  void TearDown() override {
    for (TComponent* C : Owned) delete C;
    Owned.clear();
    Application->OnMessage = nullptr;
    SetDialogHandler(nullptr);
    ProcessPendingMessages();
    MSG Dummy;
    while (PeekMessageA(&Dummy, nullptr, 0, 0, PM_REMOVE)) {
    }
    SetMessageClock(nullptr);
  }

  THeadlessDisplay* Display() { return VclDisplay(); }

  // A borderless form at (X, Y) with the given client size; deleted after the test.
  TForm* NewForm(int X = 100, int Y = 100, int W = 300, int H = 200) {
    auto* F = new TForm(nullptr);
    Owned.push_back(F);
    F->SetBorderStyle(bsNone);
    F->SetBounds(X, Y, W, H);
    return F;
  }

  template <class T, class... A>
  T* Add(TWinControl* Parent, const char* Name, int X, int Y, int W, int H, A... Args) {
    auto* C = new T(GetParentForm(Parent) ? static_cast<TComponent*>(GetParentForm(Parent)) : Parent, Args...);
    C->SetName(Name);
    C->SetBounds(X, Y, W, H);
    C->SetParent(Parent);
    return C;
  }

  // The pixel of a shown top-level window as the display last got it (window coordinates).
  COLORREF Pixel(TCustomForm* Form, int X, int Y) {
    std::vector<std::uint32_t> Pixels;
    int W = 0, H = 0;
    if (!Display()->ReadPixels(GetDisplayWindow(Form->GetHandle()), Pixels, W, H) || X >= W || Y >= H) return CLR_INVALID;
    std::uint32_t P = Pixels[static_cast<size_t>(Y * W + X)];
    return RGB((P >> 16) & 0xFF, (P >> 8) & 0xFF, P & 0xFF);
  }

  void Pump() { ProcessPendingMessages(); }

  std::vector<TComponent*> Owned;
};
