// TTimer: fires OnTimer every Interval milliseconds while Enabled, through a hidden window of
// its own. Changing the interval or the handler restarts the count.
#pragma once

#include "platform/vcl/Controls.h"

class TTimer : public TComponent {
public:
  explicit TTimer(TComponent* AOwner);
  // The timer may be deleted inside its own OnTimer.
  ~TTimer() override;

  bool GetEnabled() const { return FEnabled; }
  void SetEnabled(bool Value);
  Cardinal GetInterval() const { return FInterval; }
  void SetInterval(Cardinal Value);
  const TNotifyEvent& GetOnTimer() const { return FOnTimer; }
  void SetOnTimer(TNotifyEvent Value);

protected:
  virtual void Timer();

private:
  void UpdateTimer();
  void WndProc(TMessage& Message);
  HWND FWindowHandle = nullptr;
  Cardinal FInterval = 1000;
  bool FEnabled = true;
  TNotifyEvent FOnTimer;
};
