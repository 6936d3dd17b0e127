// The detection watchdog: while an identify run or a DVD title scan waits for its tool, a
// one-second tick counts the silent seconds (StallTicks; every output line resets it to 0).
// From the second silent tick each tick logs "Bad count:" with the count; above 10 silent
// ticks it sets ToolStalled, ends the stalled tool and logs "killed", again on every further
// silent tick. Identification only starts and stops the watchdog; the run control of the main
// window owns the timer and the log and may put its own watchdog in place of this one
// (SetDetectionWatchdog).
#pragma once

#include <functional>

#include "platform/rtl/System.h"

class TTimer;
class TXcCreateProcess;

// What identification needs of a watchdog.
class TDetectionWatchdog {
public:
  virtual ~TDetectionWatchdog() = default;
  // StallTicks := 0 and the ticks start (detecttimer1 on).
  virtual void Start() = 0;
  // The ticks stop (detecttimer1 off).
  virtual void Stop() = 0;
};

// One tick of the detection watchdog, as above. Log receives "Bad count:<n>" and "killed"
// (nothing is logged without it). The stalled tool is the runner's own child when Runner is
// given and runs one: that child is ended (whatever tool it is, so a silent ffmpeg fallback run
// ends as well), and players of other programs are left alone. Otherwise the players are ended
// by name (KillPlayers). A tick never waits for the end it asked for.
void DetectionWatchdogTick(TXcCreateProcess* Runner, const std::function<void(const String&)>& Log);

// The watchdog on a timer (the main window's detecttimer1): Start and Stop switch the timer,
// whose OnTimer this watchdog sets to DetectionWatchdogTick with the runner and log given.
class TTimerDetectionWatchdog : public TDetectionWatchdog {
public:
  TTimerDetectionWatchdog(TTimer* Timer, TXcCreateProcess* Runner, std::function<void(const String&)> Log);
  void Start() override;
  void Stop() override;

private:
  TTimer* FTimer;
  TXcCreateProcess* FRunner;
  std::function<void(const String&)> FLog;
};
