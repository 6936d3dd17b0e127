// A whole repaint of a form holding 200 skinned push buttons on the headless display, with the
// program's controls skin and with the default look, as a ratio to one 800 x 600 blit.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <memory>
#include <vector>

#include "bench/BlitTiming.h"
#include "platform/display/HeadlessDisplay.h"
#include "platform/vcl/Forms.h"
#include "skin/controls/SkinButton.h"
#include "skins/BuiltinSkins.h"

namespace {

void EnsureDisplay()
{
  static bool done = false;
  if (!done) {
    SetDisplayBackend(std::make_unique<THeadlessDisplay>());
    done = true;
  }
}

// 200 buttons, 20 x 10 of 36 x 26 pixels, on an 800 x 600 form; Skin may be null.
TForm* MakeForm(TskSkinData* Skin)
{
  auto* form = new TForm(nullptr);
  form->SetBorderStyle(bsNone);
  form->SetBounds(0, 0, 800, 600);
  for (int i = 0; i < 200; ++i) {
    auto* b = new TskSkinButton(form);
    b->SetParent(form);
    b->SetBounds((i % 20) * 40 + 2, (i / 20) * 60 + 2, 36, 26);
    b->SetCaption("OK");
    if (Skin)
      b->SetSkinData(Skin);
  }
  form->Show();
  ProcessPendingMessages();
  return form;
}

void Repaint200Buttons(benchmark::State& State, bool Skinned)
{
  EnsureDisplay();
  TComponent holder(nullptr);
  TskSkinData* skin = nullptr;
  if (Skinned) {
    auto* stored = new TskCompressedStoredSkin(&holder);
    LoadBuiltinSkin(stored, TBuiltinSkin::bsControls);
    skin = new TskSkinData(&holder);
    skin->SetCompressedStoredSkin(stored);
  }
  TForm* form = MakeForm(skin);
  const double blit = Blit800x600Seconds();
  auto t0 = std::chrono::steady_clock::now();
  for (auto _ : State) {
    RedrawWindow(form->GetHandle(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
    ProcessPendingMessages();
  }
  const double perRepaint = std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count() /
                            static_cast<double>(State.iterations());
  State.SetItemsProcessed(State.iterations() * 200);
  // How many 800 x 600 blits one whole repaint costs.
  State.counters["blits_per_repaint"] = blit > 0 ? perRepaint / blit : 0;
  delete form;
  ProcessPendingMessages();
}

void BM_Repaint200SkinnedButtons(benchmark::State& State) { Repaint200Buttons(State, true); }
BENCHMARK(BM_Repaint200SkinnedButtons)->Unit(benchmark::kMillisecond);

void BM_Repaint200DefaultLookButtons(benchmark::State& State) { Repaint200Buttons(State, false); }
BENCHMARK(BM_Repaint200DefaultLookButtons)->Unit(benchmark::kMillisecond);

} // namespace
