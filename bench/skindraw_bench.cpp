// Skin image building speed, reported against one 800x600 SRCCOPY BitBlt of platform/gdi
// ("vs_copy": how many such copies one build costs; lower is better).
//   NineSliceFrame800x600: a window frame image built from a 120x90 skin patch with tiled bands
//     and a tiled centre.
//   AlphaBlendedControl300x200: a control image built at 300x200 (stretched bands and centre),
//     then blended over a capture of its background with constant alpha 200, as a skinned
//     control paints.
#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdint>
#include <memory>

#include "platform/gdi/Gdi.h"
#include "platform/vcl/Bitmap.h"
#include "skin/foundation/SkinImages.h"

namespace {

std::unique_ptr<TBitmap> MakeBitmap(int W, int H, std::uint32_t Seed)
{
  auto Bitmap = std::make_unique<TBitmap>();
  Bitmap->SetPixelFormat(pf32bit);
  Bitmap->SetSize(W, H);
  for (int Y = 0; Y < H; ++Y) {
    auto* Row = static_cast<std::uint32_t*>(Bitmap->ScanLine(Y));
    for (int X = 0; X < W; ++X) Row[X] = 0xFF000000u | ((X * 7 + Y * 13 + Seed) * 2654435761u >> 8 & 0xFFFFFF);
  }
  return Bitmap;
}

// Seconds of one 800x600 SRCCOPY BitBlt, measured once.
double CopySeconds()
{
  static const double Seconds = [] {
    auto Src = MakeBitmap(800, 600, 1);
    auto Dst = MakeBitmap(800, 600, 2);
    HDC S = Src->GetCanvas()->GetHandle();
    HDC D = Dst->GetCanvas()->GetHandle();
    // The fastest of several batches, so that a busy machine disturbs the base less.
    double Best = 0;
    for (int Batch = 0; Batch < 8; ++Batch) {
      const int Rounds = 20;
      auto Start = std::chrono::steady_clock::now();
      for (int I = 0; I < Rounds; ++I) BitBlt(D, 0, 0, 800, 600, S, 0, 0, SRCCOPY);
      const double Each = std::chrono::duration<double>(std::chrono::steady_clock::now() - Start).count() / Rounds;
      if (Batch == 0 || Each < Best) Best = Each;
    }
    return Best;
  }();
  return Seconds;
}

template <class F>
void Measure(benchmark::State& State, F Body)
{
  const double Base = CopySeconds();
  double Seconds = 0;
  for (auto _ : State) {
    auto Start = std::chrono::steady_clock::now();
    Body();
    benchmark::ClobberMemory();
    Seconds += std::chrono::duration<double>(std::chrono::steady_clock::now() - Start).count();
  }
  if (State.iterations() > 0 && Base > 0) State.counters["vs_copy"] = Seconds / State.iterations() / Base;
}

// A 120x90 skin patch at (4, 4) of its picture: 20-pixel bands, 40-pixel growing middles.
const TRect SkinRect{4, 4, 124, 94};
const TRect CR{20, 20, 100, 70};
const TPoint LT{40, 30}, RT{80, 30}, LB{40, 60}, RB{80, 60};

void BuildAt(TBitmap* Target, TBitmap* Picture, int W, int H, bool Stretch)
{
  const int dW = W - 120, dH = H - 90;
  BuildNineSliceBitmap(LT, RT, LB, RB, CR, LT, TPoint{RT.x + dW, RT.y}, TPoint{LB.x, LB.y + dH},
                       TPoint{RB.x + dW, RB.y + dH}, TRect{CR.left, CR.top, CR.right + dW, CR.bottom + dH}, Target,
                       Picture, SkinRect, W, H, true, Stretch, Stretch, Stretch, Stretch, Stretch, stFull);
}

void BM_CopyBlit800x600(benchmark::State& State)
{
  auto Src = MakeBitmap(800, 600, 1);
  auto Dst = MakeBitmap(800, 600, 2);
  HDC S = Src->GetCanvas()->GetHandle();
  HDC D = Dst->GetCanvas()->GetHandle();
  Measure(State, [&] { BitBlt(D, 0, 0, 800, 600, S, 0, 0, SRCCOPY); });
}
BENCHMARK(BM_CopyBlit800x600);

void BM_NineSliceFrame800x600(benchmark::State& State)
{
  auto Picture = MakeBitmap(128, 98, 3);
  TBitmap Target;
  Target.SetPixelFormat(pf32bit);
  Measure(State, [&] { BuildAt(&Target, Picture.get(), 800, 600, false); });
}
BENCHMARK(BM_NineSliceFrame800x600);

void BM_AlphaBlendedControl300x200(benchmark::State& State)
{
  auto Picture = MakeBitmap(128, 98, 4);
  auto Background = MakeBitmap(300, 200, 5);
  auto Screen = MakeBitmap(300, 200, 6);
  TBitmap Image;
  Image.SetPixelFormat(pf32bit);
  HDC ScreenDC = Screen->GetCanvas()->GetHandle();
  HDC BackgroundDC = Background->GetCanvas()->GetHandle();
  const BLENDFUNCTION Blend{AC_SRC_OVER, 0, 200, 0};
  Measure(State, [&] {
    BuildAt(&Image, Picture.get(), 300, 200, true);
    BitBlt(ScreenDC, 0, 0, 300, 200, BackgroundDC, 0, 0, SRCCOPY);
    AlphaBlend(ScreenDC, 0, 0, 300, 200, Image.GetCanvas()->GetHandle(), 0, 0, 300, 200, Blend);
  });
}
BENCHMARK(BM_AlphaBlendedControl300x200);

}  // namespace
