#include "platform/vcl/Timer.h"

#include "platform/vcl/Forms.h"

namespace {
constexpr const char* SNoTimers = "Not enough timers available";
}

TTimer::TTimer(TComponent* AOwner) : TComponent(AOwner) {
  FWindowHandle = AllocateHWnd([this](TMessage& M) { WndProc(M); });
}

TTimer::~TTimer() {
  FEnabled = false;
  if (FWindowHandle) {
    KillTimer(FWindowHandle, 1);
    DeallocateHWnd(FWindowHandle);
  }
}

void TTimer::UpdateTimer() {
  KillTimer(FWindowHandle, 1);
  if (FInterval != 0 && FEnabled && FOnTimer)
    if (!SetTimer(FWindowHandle, 1, FInterval, nullptr)) throw EOutOfResources(SNoTimers);
}

void TTimer::SetEnabled(bool Value) {
  if (Value == FEnabled) return;
  FEnabled = Value;
  UpdateTimer();
}

void TTimer::SetInterval(Cardinal Value) {
  if (Value == FInterval) return;
  FInterval = Value;
  UpdateTimer();
}

void TTimer::SetOnTimer(TNotifyEvent Value) {
  FOnTimer = std::move(Value);
  UpdateTimer();
}

void TTimer::Timer() {
  // A copy: the handler may delete the timer (and with it FOnTimer) while it runs.
  TNotifyEvent Handler = FOnTimer;
  if (Handler) Handler(this);
}

void TTimer::WndProc(TMessage& Message) {
  if (Message.Msg == WM_TIMER) {
    try {
      Timer();  // may delete this timer: nothing may touch it afterwards
    } catch (...) {
      VclHandleException(this);
    }
    return;
  }
  Message.Result = DefWindowProcA(FWindowHandle, Message.Msg, Message.WParam, Message.LParam);
}
