// A framed form on a private X server for the frame's X11 tests: its bounds and X window, and the
// user's pointer played on another thread while this one handles messages.
#pragma once

#include <unistd.h>

#include <atomic>
#include <functional>
#include <thread>

#include "tests/skin/frame/SkinFrameTestSupport.h"
#include "tests/support/X11Probe.h"
#include "tests/support/XvfbChildRun.h"

struct TFramedWindow {
  TDisplayBackend* Display = nullptr;
  TForm* Form = nullptr;
  TskSkinnedForm* Frame = nullptr;
  TComponent* Holder = nullptr;

  TFramedWindow(TDisplayBackend* ADisplay, TBuiltinSkin* Skin, int X = 100, int Y = 100, int W = 400, int H = 300)
      : Display(ADisplay)
  {
    Holder = new TComponent(nullptr);
    Form = new TForm(nullptr);
    Form->SetBounds(X, Y, W, H);
    Form->SetCaption("Quelvo 3 - framed form");
    Frame = new TskSkinnedForm(Form);
    if (Skin)
      Frame->SetSkinData(BuiltinSkinData(Holder, *Skin));
  }
  ~TFramedWindow()
  {
    delete Form;
    delete Holder;
    Application->ProcessMessages();
  }
  TRect Bounds() const { return Form->GetBoundsRect(); }
  std::uint64_t Xid() const { return Display->NativeId(GetDisplayWindow(Form->GetHandle())); }
  void Pump(int N = 10) const { PumpDisplay(Display, N); }
  // Plays the user's pointer Steps on another thread (a press starts the window system's modal
  // move or size loop on this one) while this thread handles messages, until they are done.
  void Play(const std::function<void()>& Steps) const
  {
    std::atomic<bool> done{false};
    std::thread user([&] {
      Steps();
      done = true;
    });
    while (!done)
      Pump(2);
    user.join();
    Pump(20);
  }
  // Drags with the left button from (Xw, Yw) by (Dx, Dy) in steps (window coordinates).
  void Drag(TX11Probe& X, int Xw, int Yw, int Dx, int Dy) const
  {
    const TRect b = Bounds();
    Play([&] {
      X.MoveTo(b.left + Xw, b.top + Yw);
      usleep(50000);
      X.Press(1);
      usleep(80000);
      for (int i = 1; i <= 4; ++i) {
        X.MoveTo(b.left + Xw + Dx * i / 4, b.top + Yw + Dy * i / 4);
        usleep(60000);
      }
      X.Release(1);
      usleep(50000);
    });
  }
  // Two clicks at (Xw, Yw), window coordinates.
  void DoubleClick(TX11Probe& X, int Xw, int Yw) const
  {
    const TRect b = Bounds();
    Play([&] {
      X.MoveTo(b.left + Xw, b.top + Yw);
      usleep(50000);
      X.Click(1);
      usleep(60000);
      X.Click(1);
      usleep(100000);
    });
  }
};

