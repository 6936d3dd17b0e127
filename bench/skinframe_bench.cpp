// Live resize of a skinned window: one size step of an 800 x 600 form with the program's frame
// skin (the new size, the frame laid out and painted, the client background and a panel
// repainted) on the headless display, as a ratio to one 800 x 600 blit, and the same with the
// default frame. A 60 Hz frame is 16.7 ms: "ms_per_step" must stay well inside it.
#include <benchmark/benchmark.h>

#include <chrono>
#include <memory>

#include "bench/BlitTiming.h"
#include "platform/display/HeadlessDisplay.h"
#include "skin/controls/SkinPanel.h"
#include "skin/frame/SkinnedForm.h"
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

void ResizeStep(benchmark::State& State, bool Skinned)
{
  EnsureDisplay();
  TComponent holder(nullptr);
  TskSkinData* frameSkin = nullptr;
  auto* controls = new TskSkinData(&holder);
  auto* storedControls = new TskCompressedStoredSkin(&holder);
  LoadBuiltinSkin(storedControls, TBuiltinSkin::bsControls);
  controls->SetCompressedStoredSkin(storedControls);
  if (Skinned) {
    auto* stored = new TskCompressedStoredSkin(&holder);
    LoadBuiltinSkin(stored, TBuiltinSkin::bsFrame);
    frameSkin = new TskSkinData(&holder);
    frameSkin->SetCompressedStoredSkin(stored);
  }
  auto* form = new TForm(nullptr);
  form->SetBounds(0, 0, 800, 600);
  auto* frame = new TskSkinnedForm(form);
  frame->SetSkinData(frameSkin);
  auto* panel = new TskSkinPanel(form);
  panel->SetParent(form);
  panel->SetAlign(alClient);
  panel->SetSkinData(controls);
  form->Show();
  ProcessPendingMessages();
  const double blit = Blit800x600Seconds();
  int step = 0;
  auto t0 = std::chrono::steady_clock::now();
  for (auto _ : State) {
    form->SetBounds(0, 0, 800 - (step++ % 2), 600);
    ProcessPendingMessages();
  }
  const double perStep =
      std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count() / static_cast<double>(State.iterations());
  State.counters["blits_per_step"] = blit > 0 ? perStep / blit : 0;
  State.counters["ms_per_step"] = perStep * 1000;
  delete form;
  ProcessPendingMessages();
}

void BM_ResizeStepSkinnedFrame(benchmark::State& State) { ResizeStep(State, true); }
BENCHMARK(BM_ResizeStepSkinnedFrame)->Unit(benchmark::kMillisecond);

void BM_ResizeStepDefaultFrame(benchmark::State& State) { ResizeStep(State, false); }
BENCHMARK(BM_ResizeStepDefaultFrame)->Unit(benchmark::kMillisecond);

} // namespace
