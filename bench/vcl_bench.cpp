// A full repaint of a form with 200 child controls on the headless display, next to the cost
// of one 800 x 600 blit (the floor any repaint of that area pays).
#include <benchmark/benchmark.h>

#include "bench/BlitTiming.h"

#include <algorithm>
#include <chrono>
#include <vector>
#include <memory>

#include "platform/display/HeadlessDisplay.h"
#include "platform/vcl/Forms.h"

namespace {

class TFilled : public TCustomControl {
public:
  TFilled(TComponent* AOwner, TColor AFill) : TCustomControl(AOwner), Fill(AFill) {}
  TColor Fill;

protected:
  void Paint() override {
    GetCanvas()->GetBrush()->SetColor(Fill);
    GetCanvas()->FillRect(GetClientRect());
    GetCanvas()->GetPen()->SetColor(clBlack);
    GetCanvas()->Rectangle(0, 0, GetWidth(), GetHeight());
  }
};

class TFilledDot : public TGraphicControl {
public:
  TFilledDot(TComponent* AOwner, TColor AFill) : TGraphicControl(AOwner), Fill(AFill) {}
  TColor Fill;

protected:
  void Paint() override {
    GetCanvas()->GetBrush()->SetColor(Fill);
    GetCanvas()->FillRect(GetClientRect());
  }
};

void EnsureDisplay() {
  static bool Done = false;
  if (!Done) {
    SetDisplayBackend(std::make_unique<THeadlessDisplay>());
    Done = true;
  }
}

// 200 children on an 800 x 600 form: 100 windowed and 100 graphic controls in a grid.
TForm* MakeForm() {
  auto* F = new TForm(nullptr);
  F->SetBorderStyle(bsNone);
  F->SetBounds(0, 0, 800, 600);
  for (int I = 0; I < 200; ++I) {
    int X = (I % 20) * 40, Y = (I / 20) * 60;
    TControl* C = I % 2 ? static_cast<TControl*>(new TFilled(F, RGB(I, 100, 200 - I)))
                        : static_cast<TControl*>(new TFilledDot(F, RGB(200 - I, I, 100)));
    C->SetBounds(X + 2, Y + 2, 36, 56);
    C->SetParent(F);
  }
  F->Show();
  ProcessPendingMessages();
  return F;
}

double BlitSeconds() { return Blit800x600Seconds(); }

void BM_FormRepaint200Children(benchmark::State& State) {
  EnsureDisplay();
  TForm* F = MakeForm();
  double Blit = BlitSeconds();
  auto T0 = std::chrono::steady_clock::now();
  for (auto _ : State) {
    RedrawWindow(F->GetHandle(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
    ProcessPendingMessages();
  }
  double PerRepaint =
      std::chrono::duration<double>(std::chrono::steady_clock::now() - T0).count() / static_cast<double>(State.iterations());
  State.SetItemsProcessed(State.iterations() * 200);
  // How many 800 x 600 blits one full repaint costs.
  State.counters["blits_per_repaint"] = Blit > 0 ? PerRepaint / Blit : 0;
  delete F;
  ProcessPendingMessages();
}
BENCHMARK(BM_FormRepaint200Children)->Unit(benchmark::kMicrosecond);

void BM_Blit800x600(benchmark::State& State) {
  BITMAPINFO Info{};
  Info.bmiHeader.biWidth = 800;
  Info.bmiHeader.biHeight = -600;
  Info.bmiHeader.biBitCount = 32;
  void* Bits = nullptr;
  HBITMAP Src = CreateDIBSection(nullptr, &Info, DIB_RGB_COLORS, &Bits, nullptr, 0);
  HBITMAP Dst = CreateDIBSection(nullptr, &Info, DIB_RGB_COLORS, &Bits, nullptr, 0);
  HDC SrcDC = CreateCompatibleDC(nullptr);
  HDC DstDC = CreateCompatibleDC(nullptr);
  HGDIOBJ OldSrc = SelectObject(SrcDC, Src);
  HGDIOBJ OldDst = SelectObject(DstDC, Dst);
  for (auto _ : State) {
    BitBlt(DstDC, 0, 0, 800, 600, SrcDC, 0, 0, SRCCOPY);
    benchmark::ClobberMemory();
  }
  SelectObject(SrcDC, OldSrc);
  SelectObject(DstDC, OldDst);
  DeleteDC(SrcDC);
  DeleteDC(DstDC);
  DeleteObject(Src);
  DeleteObject(Dst);
}
BENCHMARK(BM_Blit800x600)->Unit(benchmark::kMicrosecond);

}  // namespace
