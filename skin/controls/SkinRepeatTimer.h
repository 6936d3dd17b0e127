// TskRepeatTimer: the auto-repeat of a button held down on a skinned control, run on one window
// timer of that control (the scroll bar's arrows and track, the up-down, the spin edit and the
// list caption's buttons). Each control keeps its own delays, its own step and its own rules
// for when a repeat pauses; the timer keeps the first-delay-then-repeat rhythm.
//
// The contract callers rely on:
// - Start (at the press) runs the timer at FirstDelay and marks the first tick pending. The
//   first tick is no step: it only switches the timer to Interval. Every later tick is a step.
// - Pause (the pointer slid off the held button) kills the timer and keeps the state; Resume
//   (it slid back) runs the timer at ResumeInterval, with the first tick still pending if it
//   was. A repeat resumed after its first tick stays at ResumeInterval.
// - Stop kills the timer. Start, Pause, Resume and Stop do nothing on a control without a
//   window (they never make one); a control whose window may outlive it calls Stop from its
//   destructor.
// - Tick is the control's WM_TIMER (its WParam): true when that tick is a step, false for the
//   first tick and for the control's other timers.
#pragma once

#include "platform/vcl/Controls.h"

class TskRepeatTimer {
public:
  TskRepeatTimer(TWinControl* AControl, UINT AFirstDelay, UINT AInterval, UINT AResumeInterval,
                 UINT_PTR ATimerId = 1)
      : FControl(AControl), FFirstDelay(AFirstDelay), FInterval(AInterval), FResumeInterval(AResumeInterval),
        FTimerId(ATimerId)
  {
  }
  TskRepeatTimer(const TskRepeatTimer&) = delete;
  TskRepeatTimer& operator=(const TskRepeatTimer&) = delete;

  void Start();
  void Pause();
  void Resume();
  void Stop();
  bool Tick(WPARAM TimerId);

  UINT_PTR GetTimerId() const { return FTimerId; }
  bool GetFirstTickPending() const { return FFirstTick; }

private:
  void Run(UINT Elapse);
  // Kills and sets the timer again (it goes to the end of the window's timers).
  void Restart(UINT Elapse);

  TWinControl* FControl;
  UINT FFirstDelay;
  UINT FInterval;
  UINT FResumeInterval;
  UINT_PTR FTimerId;
  bool FFirstTick = false;
};
