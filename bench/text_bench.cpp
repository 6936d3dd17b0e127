// DrawText of one 60-character line into an 800x600 32-bpp DIB, next to a memcpy of the whole
// 800x600 frame. Each text benchmark reports "x_memcpy": its time per call divided by the time
// of one frame copy, so the numbers compare across machines.
#include <benchmark/benchmark.h>

#include <chrono>
#include <cstring>
#include <vector>

#include "platform/gdi/Gdi.h"

namespace {

constexpr int Width = 800;
constexpr int Height = 600;
const char* const Line = "Converting holiday_2026_part_one.mkv to MPEG-4 AVC, pass 1/2"; // 60 characters

// Nanoseconds of one memcpy of the frame, measured once.
double FrameCopyNs()
{
  static const double ns = [] {
    std::vector<std::uint32_t> a(Width * Height, 0x00FFFFFF), b(Width * Height);
    const int rounds = 200;
    auto start = std::chrono::steady_clock::now();
    for (int i = 0; i < rounds; ++i) {
      std::memcpy(b.data(), a.data(), a.size() * sizeof(std::uint32_t));
      benchmark::DoNotOptimize(b.data());
      benchmark::ClobberMemory();
    }
    auto end = std::chrono::steady_clock::now();
    return std::chrono::duration<double, std::nano>(end - start).count() / rounds;
  }();
  return ns;
}

struct TCanvas {
  TCanvas(int FontHeight, BYTE Quality)
  {
    BITMAPINFO info{};
    info.bmiHeader.biWidth = Width;
    info.bmiHeader.biHeight = -Height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    void* bits = nullptr;
    Bitmap = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    std::memset(bits, 0xFF, static_cast<std::size_t>(Width) * Height * 4);
    DC = CreateCompatibleDC(nullptr);
    OldBitmap = SelectObject(DC, Bitmap);
    Font = CreateFontA(FontHeight, 0, 0, 0, FW_NORMAL, 0, 0, 0, DEFAULT_CHARSET, 0, 0, Quality, 0, "Tahoma");
    OldFont = SelectObject(DC, Font);
    SetBkMode(DC, TRANSPARENT);
    SetTextColor(DC, RGB(0, 0, 0));
  }
  ~TCanvas()
  {
    SelectObject(DC, OldFont);
    SelectObject(DC, OldBitmap);
    DeleteDC(DC);
    DeleteObject(Font);
    DeleteObject(Bitmap);
  }
  HBITMAP Bitmap;
  HDC DC;
  HFONT Font;
  HGDIOBJ OldBitmap, OldFont;
};

using TClock = std::chrono::steady_clock;

void ReportRatio(benchmark::State& State, TClock::time_point Start)
{
  const double ns = std::chrono::duration<double, std::nano>(TClock::now() - Start).count();
  if (State.iterations() > 0) State.counters["x_memcpy"] = ns / static_cast<double>(State.iterations()) / FrameCopyNs();
}

void BM_MemcpyFrame(benchmark::State& State)
{
  std::vector<std::uint32_t> a(Width * Height, 0x00FFFFFF), b(Width * Height);
  for (auto _ : State) {
    std::memcpy(b.data(), a.data(), a.size() * sizeof(std::uint32_t));
    benchmark::DoNotOptimize(b.data());
    benchmark::ClobberMemory();
  }
}
BENCHMARK(BM_MemcpyFrame);

void BM_DrawTextLine(benchmark::State& State)
{
  FrameCopyNs();
  TCanvas canvas(static_cast<int>(State.range(0)), DEFAULT_QUALITY);
  RECT r{10, 10, Width - 10, 40};
  const auto start = TClock::now();
  for (auto _ : State) {
    RECT copy = r;
    benchmark::DoNotOptimize(DrawTextA(canvas.DC, Line, -1, &copy, DT_SINGLELINE | DT_VCENTER | DT_END_ELLIPSIS));
  }
  ReportRatio(State, start);
}
BENCHMARK(BM_DrawTextLine)->Arg(-11)->Arg(-16)->Arg(-32);

void BM_DrawTextWrapped(benchmark::State& State)
{
  FrameCopyNs();
  TCanvas canvas(-11, DEFAULT_QUALITY);
  RECT r{10, 10, 200, Height - 10};
  const auto start = TClock::now();
  for (auto _ : State) {
    RECT copy = r;
    benchmark::DoNotOptimize(DrawTextA(canvas.DC, Line, -1, &copy, DT_WORDBREAK | DT_CENTER));
  }
  ReportRatio(State, start);
}
BENCHMARK(BM_DrawTextWrapped);

void BM_TextExtent(benchmark::State& State)
{
  FrameCopyNs();
  TCanvas canvas(-11, DEFAULT_QUALITY);
  SIZE size;
  const auto start = TClock::now();
  for (auto _ : State) benchmark::DoNotOptimize(GetTextExtentPoint32A(canvas.DC, Line, 60, &size));
  ReportRatio(State, start);
}
BENCHMARK(BM_TextExtent);

} // namespace
