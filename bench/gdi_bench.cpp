// Drawing speed on an 800x600 32-bpp surface, each case also reported against memcpy of the
// same bytes ("vs_memcpy": 1.0 = as fast as memcpy). Goals: copy >= 0.5, alpha blend >= 0.5.
// At the end, the alpha blends again against memcpy over alternating runs (speed as a share of
// memcpy's: memcpy time / blend time), with the median, the spread and the goal: a picture of
// partial alpha everywhere, and one shaped like skin pictures (runs of transparent and opaque
// pixels around anti-aliased edges).
// More cases (text) can be added as further BENCHMARK functions with the same helpers.
#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdio>
#include <cstring>
#include <vector>

#include "RatioRuns.h"
#include "platform/gdi/AlphaRow.h"
#include "platform/gdi/Gdi.h"

namespace {

constexpr int Width = 800;
constexpr int Height = 600;
constexpr std::size_t FrameBytes = std::size_t(Width) * Height * 4;

// A memory DC with an 800x600 32-bpp DIB section.
struct TSurfaceDib {
  HDC DC = nullptr;
  HBITMAP Bitmap = nullptr;
  HGDIOBJ Old = nullptr;
  std::uint32_t* Bits = nullptr;
  TSurfaceDib()
  {
    BITMAPINFO Info;
    Info.bmiHeader.biWidth = Width;
    Info.bmiHeader.biHeight = -Height;
    Info.bmiHeader.biBitCount = 32;
    void* P = nullptr;
    Bitmap = CreateDIBSection(nullptr, &Info, DIB_RGB_COLORS, &P, nullptr, 0);
    Bits = static_cast<std::uint32_t*>(P);
    DC = CreateCompatibleDC(nullptr);
    Old = SelectObject(DC, Bitmap);
  }
  ~TSurfaceDib()
  {
    SelectObject(DC, Old);
    DeleteDC(DC);
    DeleteObject(Bitmap);
  }
};

// Bytes per second of memcpy over one frame, measured once.
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

// Runs Body once per iteration and reports bytes/second and the ratio against memcpy.
template <class F>
void Measure(benchmark::State& State, F Body)
{
  double Base = MemcpyRate();
  double Seconds = 0;
  for (auto _ : State) {
    auto Start = std::chrono::steady_clock::now();
    Body();
    benchmark::ClobberMemory();
    Seconds += std::chrono::duration<double>(std::chrono::steady_clock::now() - Start).count();
  }
  double Bytes = static_cast<double>(FrameBytes) * State.iterations();
  State.SetBytesProcessed(static_cast<std::int64_t>(Bytes));
  if (Seconds > 0)
    State.counters["vs_memcpy"] = (Bytes / Seconds) / Base;
}

void BM_Memcpy(benchmark::State& State)
{
  std::vector<std::uint8_t> A(FrameBytes, 1), B(FrameBytes, 2);
  Measure(State, [&] { std::memcpy(B.data(), A.data(), FrameBytes); });
}
BENCHMARK(BM_Memcpy);

void BM_BitBltSrcCopy(benchmark::State& State)
{
  TSurfaceDib Src, Dst;
  std::memset(Src.Bits, 0x5A, FrameBytes);
  Measure(State, [&] { BitBlt(Dst.DC, 0, 0, Width, Height, Src.DC, 0, 0, SRCCOPY); });
}
BENCHMARK(BM_BitBltSrcCopy);

void BM_AlphaBlendPerPixel(benchmark::State& State)
{
  TSurfaceDib Src, Dst;
  // A mix of transparent, opaque and partial premultiplied pixels.
  for (int I = 0; I < Width * Height; ++I) {
    std::uint32_t A = static_cast<std::uint32_t>((I * 37) & 0xFF);
    std::uint32_t C = A / 2;
    Src.Bits[I] = (A << 24) | (C << 16) | (C << 8) | C;
  }
  std::memset(Dst.Bits, 0x80, FrameBytes);
  BLENDFUNCTION Blend{AC_SRC_OVER, 0, 255, AC_SRC_ALPHA};
  Measure(State, [&] { AlphaBlend(Dst.DC, 0, 0, Width, Height, Src.DC, 0, 0, Width, Height, Blend); });
}
BENCHMARK(BM_AlphaBlendPerPixel);

void BM_FillRect(benchmark::State& State)
{
  TSurfaceDib Dst;
  HBRUSH Brush = CreateSolidBrush(RGB(12, 34, 56));
  RECT R{0, 0, Width, Height};
  Measure(State, [&] { FillRect(Dst.DC, &R, Brush); });
  DeleteObject(Brush);
}
BENCHMARK(BM_FillRect);

// Premultiplied pixels: alpha A, colour from Seed.
std::uint32_t Premultiplied(std::uint32_t A, std::uint32_t Seed)
{
  const std::uint32_t C = ((Seed & 0xFF) * A) / 255;
  return (A << 24) | (C << 16) | (((Seed >> 8 & 0xFF) * A / 255) << 8) | C;
}

// Alpha blend of a whole frame against memcpy of the same bytes, alternating.
void BlendAgainstMemcpy(const char* What, const std::function<std::uint32_t(int X, int Y)>& Pixel)
{
  TSurfaceDib Src, Dst;
  for (int Y = 0; Y < Height; ++Y)
    for (int X = 0; X < Width; ++X) Src.Bits[Y * Width + X] = Pixel(X, Y);
  std::memset(Dst.Bits, 0x80, FrameBytes);
  std::vector<std::uint8_t> A(FrameBytes, 1), B(FrameBytes, 2);
  const BLENDFUNCTION Blend{AC_SRC_OVER, 0, 255, AC_SRC_ALPHA};
  const auto R = qv::bench::AlternateRuns(
      31, nullptr,
      [&] {
        for (int I = 0; I < 10; ++I) {
          std::memcpy(B.data(), A.data(), FrameBytes);
          benchmark::DoNotOptimize(B.data());
          benchmark::ClobberMemory();
        }
      },
      [&] {
        for (int I = 0; I < 10; ++I) {
          AlphaBlend(Dst.DC, 0, 0, Width, Height, Src.DC, 0, 0, Width, Height, Blend);
          benchmark::ClobberMemory();
        }
      });
  // AlternateRuns gives the first over the second: memcpy time / blend time here.
  std::printf("%-44s %9.2f ms vs %9.2f ms  speed vs memcpy %.2f (%.2f-%.2f)  goal >= 0.5\n", What, R.BaseMs / 10,
              R.OursMs / 10, R.Median, R.Low, R.High);
}

const char* FormName(GdiInternal::TBlendForm F)
{
  switch (F) {
    case GdiInternal::TBlendForm::Plain: return "plain";
    case GdiInternal::TBlendForm::Sse2: return "SSE2";
    case GdiInternal::TBlendForm::Avx2: return "AVX2";
    case GdiInternal::TBlendForm::Avx512: return "AVX-512";
  }
  return "?";
}

} // namespace

int main(int argc, char** argv)
{
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  std::printf("\nAlpha blend, 800x600 frame, per-pixel alpha, %s form (median of 31 alternating pairs)\n",
              FormName(GdiInternal::ChosenBlendForm()));
  BlendAgainstMemcpy("alpha blend, partial alpha everywhere",
                     [](int X, int Y) { return Premultiplied(static_cast<std::uint32_t>((Y * Width + X) * 37) & 0xFF, X * 7 + Y); });
  // Skin-shaped: rounded shapes, opaque inside, transparent outside, a two-pixel soft edge.
  BlendAgainstMemcpy("alpha blend, skin-shaped (runs of 0 and 255)", [](int X, int Y) {
    const int Cx = X % 100 - 50, Cy = Y % 80 - 40;
    const int D = Cx * Cx + Cy * Cy;
    const std::uint32_t A = D < 30 * 30 ? 255u : D > 32 * 32 ? 0u : static_cast<std::uint32_t>(255 * (32 * 32 - D) / (32 * 32 - 30 * 30));
    return Premultiplied(A, static_cast<std::uint32_t>(X + Y * 3));
  });
  return 0;
}
