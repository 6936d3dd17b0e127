// Shared set-up of the window-system tests: a headless display, a manual message clock, a
// window class whose procedure records every message, and helpers to read the record.
#pragma once

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/display/HeadlessDisplay.h"
#include "platform/win/WinUser.h"

namespace WinTest {

struct TLogged {
  HWND Wnd;
  UINT Msg;
  WPARAM WParam;
  LPARAM LParam;
};

// What the recording procedure saw, in order.
inline std::vector<TLogged>& Log()
{
  static std::vector<TLogged> L;
  return L;
}

// Optional per-test handler: return true with Result set to answer instead of DefWindowProc.
using THook = std::function<bool(HWND, UINT, WPARAM, LPARAM, LRESULT&)>;
inline THook& Hook()
{
  static THook H;
  return H;
}

inline LRESULT CALLBACK_Record(HWND Wnd, UINT Msg, WPARAM WParam, LPARAM LParam)
{
  Log().push_back(TLogged{Wnd, Msg, WParam, LParam});
  if (Hook()) {
    LRESULT R = 0;
    if (Hook()(Wnd, Msg, WParam, LParam, R)) return R;
  }
  return DefWindowProcA(Wnd, Msg, WParam, LParam);
}

inline const char* RecordClass = "QvTestRecord";
inline const char* RecordDblClass = "QvTestRecordDbl";

// Messages of one window, in order, keeping only those in Interesting (all when empty).
inline std::vector<UINT> MessagesOf(HWND Wnd, const std::vector<UINT>& Interesting = {})
{
  std::vector<UINT> R;
  for (auto& E : Log()) {
    if (Wnd != nullptr && E.Wnd != Wnd) continue;
    if (!Interesting.empty() && std::find(Interesting.begin(), Interesting.end(), E.Msg) == Interesting.end()) continue;
    R.push_back(E.Msg);
  }
  return R;
}

// (window, message) pairs of the whole log restricted to Interesting.
inline std::vector<std::pair<HWND, UINT>> Sequence(const std::vector<UINT>& Interesting)
{
  std::vector<std::pair<HWND, UINT>> R;
  for (auto& E : Log())
    if (std::find(Interesting.begin(), Interesting.end(), E.Msg) != Interesting.end()) R.emplace_back(E.Wnd, E.Msg);
  return R;
}

inline int Count(HWND Wnd, UINT Msg)
{
  int N = 0;
  for (auto& E : Log())
    if ((Wnd == nullptr || E.Wnd == Wnd) && E.Msg == Msg) ++N;
  return N;
}

inline const TLogged* Last(HWND Wnd, UINT Msg)
{
  for (auto It = Log().rbegin(); It != Log().rend(); ++It)
    if (It->Wnd == Wnd && It->Msg == Msg) return &*It;
  return nullptr;
}

class TWinTest : public ::testing::Test {
protected:
  THeadlessDisplay* Display = nullptr;
  std::shared_ptr<TManualMessageClock> Clock;

  void SetUp() override
  {
    auto D = std::make_unique<THeadlessDisplay>();
    Display = D.get();
    SetDisplayBackend(std::move(D));
    Clock = std::make_shared<TManualMessageClock>(100000);
    SetMessageClock(Clock);
    for (const char* Name : {RecordClass, RecordDblClass}) {
      WNDCLASSA C{};
      C.lpfnWndProc = CALLBACK_Record;
      C.lpszClassName = Name;
      C.style = Name == RecordDblClass ? CS_DBLCLKS : 0;
      C.hbrBackground = reinterpret_cast<HBRUSH>(static_cast<std::intptr_t>(COLOR_WINDOW + 1));
      C.hCursor = LoadCursorA(nullptr, IDC_ARROW);
      C.cbWndExtra = 16;
      RegisterClassA(&C);
    }
    Log().clear();
    Hook() = nullptr;
  }

  void TearDown() override
  {
    Hook() = nullptr;
    std::vector<HWND> All;
    EnumWindows([](HWND W, LPARAM L) { reinterpret_cast<std::vector<HWND>*>(L)->push_back(W); return TRUE; },
                reinterpret_cast<LPARAM>(&All));
    for (HWND W : All)
      if (IsWindow(W)) DestroyWindow(W);
    HWND M = nullptr;
    while ((M = FindWindowExA(HWND_MESSAGE, nullptr, nullptr, nullptr)) != nullptr) DestroyWindow(M);
    // Leave nothing queued for the next test.
    MSG Dummy;
    while (PeekMessageA(&Dummy, nullptr, 0, 0, PM_REMOVE)) {
    }
    ReleaseCapture();
    SetMessageClock(nullptr);
    SetDisplayBackend(std::make_unique<THeadlessDisplay>());
    Log().clear();
  }

  HWND Top(int X, int Y, int W, int H, DWORD Style = WS_POPUP, DWORD ExStyle = 0, const char* Class = RecordClass)
  {
    return CreateWindowExA(ExStyle, Class, "top", Style, X, Y, W, H, nullptr, nullptr, nullptr, nullptr);
  }

  HWND Child(HWND Parent, int X, int Y, int W, int H, DWORD Style = WS_CHILD | WS_VISIBLE, int Id = 0,
             const char* Class = RecordClass)
  {
    return CreateWindowExA(0, Class, "child", Style, X, Y, W, H, Parent,
                           reinterpret_cast<HMENU>(static_cast<std::intptr_t>(Id)), nullptr, nullptr);
  }

  void Pump() { ProcessPendingMessages(); }

  // The presented pixel of a top-level window at window coordinates, as 0x00RRGGBB.
  std::uint32_t Pixel(HWND TopWnd, int X, int Y)
  {
    Pump();
    std::vector<std::uint32_t> Px;
    int W = 0, H = 0;
    if (!Display->ReadPixels(GetDisplayWindow(TopWnd), Px, W, H) || X < 0 || Y < 0 || X >= W || Y >= H)
      return 0xDEADBEEF;
    return Px[static_cast<std::size_t>(Y) * W + X] & 0xFFFFFF;
  }
};

constexpr std::uint32_t Rgb(COLORREF C)
{
  return (static_cast<std::uint32_t>(GetRValue(C)) << 16) | (GetGValue(C) << 8) | GetBValue(C);
}

}  // namespace WinTest
