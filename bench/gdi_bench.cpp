// Drawing speed on an 800x600 32-bpp surface, each case also reported against memcpy of the
// same bytes ("vs_memcpy": 1.0 = as fast as memcpy). Goals: copy >= 0.5, alpha blend >= 0.15.
// More cases (text) can be added as further BENCHMARK functions with the same helpers.
#include <benchmark/benchmark.h>

#include <chrono>
#include <cstring>
#include <vector>

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

} // namespace
