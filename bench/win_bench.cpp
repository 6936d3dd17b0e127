// Message throughput of the window system: SendMessage to a window procedure, and
// PostMessage followed by the retrieve-and-dispatch loop, on the headless display.
#include <benchmark/benchmark.h>

#include "platform/display/HeadlessDisplay.h"
#include "platform/win/WinUser.h"

namespace {

LRESULT CountingProc(HWND Wnd, UINT Msg, WPARAM WParam, LPARAM LParam)
{
  static LRESULT Sum = 0;
  if (Msg == WM_APP) return Sum += static_cast<LRESULT>(WParam);
  return DefWindowProcA(Wnd, Msg, WParam, LParam);
}

HWND BenchWindow()
{
  static HWND W = [] {
    SetDisplayBackend(std::make_unique<THeadlessDisplay>());
    WNDCLASSA C;
    C.lpfnWndProc = CountingProc;
    C.lpszClassName = "QvBench";
    RegisterClassA(&C);
    return CreateWindowExA(0, "QvBench", "bench", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
  }();
  return W;
}

void BM_SendMessage(benchmark::State& State)
{
  HWND W = BenchWindow();
  for (auto _ : State) benchmark::DoNotOptimize(SendMessageA(W, WM_APP, 1, 0));
  State.SetItemsProcessed(State.iterations());
}
BENCHMARK(BM_SendMessage);

void BM_PostAndDispatch(benchmark::State& State)
{
  HWND W = BenchWindow();
  const int Batch = static_cast<int>(State.range(0));
  MSG M;
  for (auto _ : State) {
    for (int I = 0; I < Batch; ++I) PostMessageA(W, WM_APP, 1, 0);
    while (PeekMessageA(&M, nullptr, 0, 0, PM_REMOVE)) {
      TranslateMessage(&M);
      DispatchMessageA(&M);
    }
  }
  State.SetItemsProcessed(State.iterations() * Batch);
}
BENCHMARK(BM_PostAndDispatch)->Arg(1)->Arg(100);

}  // namespace
