#include "core/DetectionWatchdog.h"

#include "core/MainForm.h"
#include "core/ToolProcesses.h"
#include "core/XcCreateProcess.h"
#include "platform/rtl/Convert.h"
#include "platform/vcl/Timer.h"

void DetectionWatchdogTick(TXcCreateProcess* Runner, const std::function<void(const String&)>& Log)
{
  ++StallTicks;
  if (StallTicks > 1 && Log) Log("Bad count:" + IntToStr(StallTicks));
  if (StallTicks <= 10) return;
  ToolStalled = true;
  bool Own = false;
  if (Runner && Runner->GetState() != TXcCreateProcess::Ready) {
    Own = true;
    try {
      Runner->KillProcess();
    } catch (const Exception&) {
      // Ended between the test and the kill: nothing left to stop.
    }
  }
  if (!Own) KillPlayers();
  if (Log) Log("killed");
}

TTimerDetectionWatchdog::TTimerDetectionWatchdog(TTimer* Timer, TXcCreateProcess* Runner,
                                                 std::function<void(const String&)> Log)
    : FTimer(Timer), FRunner(Runner), FLog(std::move(Log))
{
  FTimer->SetOnTimer([this](TObject*) { DetectionWatchdogTick(FRunner, FLog); });
}

void TTimerDetectionWatchdog::Start()
{
  StallTicks = 0;
  FTimer->SetEnabled(true);
}

void TTimerDetectionWatchdog::Stop() { FTimer->SetEnabled(false); }
