// Speed of the effect-bitmap morphs and effects and of the triangular blur on an 800x600 frame,
// each also reported against memcpy of the frame's 24-bit bytes ("vs_memcpy": 1.0 = as fast as
// memcpy). The blur's cost per pixel must not grow with its radius: compare the radius cases.
#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdint>
#include <cstring>
#include <memory>
#include <vector>

#include "skin/foundation/SkinEffectBmp.h"
#include "skin/foundation/SkinEffects.h"

namespace {

constexpr int Width = 800;
constexpr int Height = 600;
constexpr std::size_t FrameBytes = std::size_t(Width) * Height * 3;

double MemcpyRate()
{
  static const double Rate = [] {
    std::vector<std::uint8_t> A(FrameBytes, 1), B(FrameBytes, 2);
    const int Rounds = 40;
    auto Start = std::chrono::steady_clock::now();
    for (int I = 0; I < Rounds; ++I) {
      std::memcpy(B.data(), A.data(), FrameBytes);
      benchmark::DoNotOptimize(B.data());
      benchmark::ClobberMemory();
    }
    double Seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - Start).count();
    return FrameBytes * static_cast<double>(Rounds) / Seconds;
  }();
  return Rate;
}

// Runs Body once per iteration (Setup untimed before it) and reports the ratio against memcpy.
template <class S, class F>
void Measure(benchmark::State& State, S Setup, F Body)
{
  const double Base = MemcpyRate();
  double Seconds = 0;
  for (auto _ : State) {
    Setup();
    auto Start = std::chrono::steady_clock::now();
    Body();
    benchmark::ClobberMemory();
    Seconds += std::chrono::duration<double>(std::chrono::steady_clock::now() - Start).count();
  }
  const double Bytes = static_cast<double>(FrameBytes) * State.iterations();
  State.SetBytesProcessed(static_cast<std::int64_t>(Bytes));
  if (Seconds > 0)
    State.counters["vs_memcpy"] = (Bytes / Seconds) / Base;
}

std::unique_ptr<TskEffectBmp> Frame(int Seed)
{
  auto B = std::make_unique<TskEffectBmp>(Width, Height);
  for (int Y = 0; Y < Height; ++Y) {
    Byte* Row = B->RowPtr(Y);
    for (int I = 0; I < Width * 3; ++I)
      Row[I] = static_cast<Byte>((I * 7 + Y * 13 + Seed) & 0xFF);
  }
  return B;
}

using TMorph = void (TskEffectBmp::*)(const TskEffectBmp*, double);

void BM_Morph(benchmark::State& State, TMorph Kind)
{
  auto A = Frame(1), Saved = Frame(1), B = Frame(2);
  Measure(
      State, [&] { std::memcpy(A->GetBits(), Saved->GetBits(), static_cast<size_t>(A->GetSize())); },
      [&] { ((*A).*Kind)(B.get(), 0.37); });
}
BENCHMARK_CAPTURE(BM_Morph, CrossFade, &TskEffectBmp::Morph);
BENCHMARK_CAPTURE(BM_Morph, Gradient, &TskEffectBmp::MorphHorzGradient);
BENCHMARK_CAPTURE(BM_Morph, LeftGradient, &TskEffectBmp::MorphLeftGradient);
BENCHMARK_CAPTURE(BM_Morph, Push, &TskEffectBmp::MorphPush);

void BM_Effect(benchmark::State& State, void (*Effect)(TskEffectBmp&))
{
  auto A = Frame(1), Saved = Frame(1);
  Measure(
      State, [&] { std::memcpy(A->GetBits(), Saved->GetBits(), static_cast<size_t>(A->GetSize())); },
      [&] { Effect(*A); });
}
BENCHMARK_CAPTURE(BM_Effect, Brightness, [](TskEffectBmp& B) { B.ChangeBrightness(0.3); });
BENCHMARK_CAPTURE(BM_Effect, GrayScale, [](TskEffectBmp& B) { B.GrayScale(); });
BENCHMARK_CAPTURE(BM_Effect, Noise, [](TskEffectBmp& B) { B.AddNoise(20); });
BENCHMARK_CAPTURE(BM_Effect, SplitBlur, [](TskEffectBmp& B) { B.SplitBlur(2); });

void BM_BlurBitmap(benchmark::State& State)
{
  TskBitmap B;
  B.SetSize(Width, Height);
  for (int I = 0; I < Width * Height; ++I)
    B.GetBits()[I] = static_cast<std::uint32_t>(I) * 2654435761u;
  const int Radius = static_cast<int>(State.range(0));
  Measure(State, [] {}, [&] { BlurBitmap(&B, Radius); });
}
BENCHMARK(BM_BlurBitmap)->Arg(1)->Arg(6)->Arg(24);

} // namespace
