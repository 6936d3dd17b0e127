#include "skin/controls/SkinRepeatTimer.h"

void TskRepeatTimer::Run(UINT Elapse)
{
  // A second SetTimer with the same id replaces the running one.
  if (FControl->HandleAllocated())
    SetTimer(FControl->GetHandle(), FTimerId, Elapse, nullptr);
}

void TskRepeatTimer::Restart(UINT Elapse)
{
  if (FControl->HandleAllocated()) {
    KillTimer(FControl->GetHandle(), FTimerId);
    SetTimer(FControl->GetHandle(), FTimerId, Elapse, nullptr);
  }
}

void TskRepeatTimer::Start()
{
  FFirstTick = true;
  Run(FFirstDelay);
}

void TskRepeatTimer::Pause()
{
  if (FControl->HandleAllocated())
    KillTimer(FControl->GetHandle(), FTimerId);
}

void TskRepeatTimer::Resume() { Run(FResumeInterval); }

void TskRepeatTimer::Stop() { Pause(); }

bool TskRepeatTimer::Tick(WPARAM TimerId)
{
  if (TimerId != FTimerId)
    return false;
  if (FFirstTick) {
    FFirstTick = false;
    Restart(FInterval);
    return false;
  }
  return true;
}
