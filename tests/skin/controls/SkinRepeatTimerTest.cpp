#include <gtest/gtest.h>

#include <vector>

#include "skin/controls/SkinControl.h"
#include "skin/controls/SkinRepeatTimer.h"
#include "tests/skin/support/SkinTestSupport.h"

namespace {

// A control that counts the steps its repeat timer gives.
class TRepeatProbe : public TskSkinCustomControl {
public:
  TRepeatProbe(TComponent* AOwner, UINT FirstDelay, UINT Interval, UINT ResumeInterval, UINT_PTR TimerId = 1)
      : TskSkinCustomControl(AOwner), Repeat(this, FirstDelay, Interval, ResumeInterval, TimerId)
  {
  }
  ~TRepeatProbe() override { Repeat.Stop(); }

  TskRepeatTimer Repeat;
  int Steps = 0;

protected:
  void Dispatch(TMessage& Message) override
  {
    TskSkinCustomControl::Dispatch(Message);
    if (Message.Msg == WM_TIMER && Repeat.Tick(Message.WParam))
      ++Steps;
  }
};

enum TOp { Start, Pause, Resume, Stop, Wait };

// One act of a case and the steps counted when it is done (Ms: how long Wait moves the clock).
struct TAct {
  TOp Op;
  DWORD Ms;
  int Steps;
};

struct TRepeatCase {
  const char* Name;
  UINT FirstDelay, Interval, ResumeInterval;
  std::vector<TAct> Acts;
};

class SkinRepeatTimerTest : public TSkinPointerTest {
protected:
  TRepeatProbe* Probe(UINT FirstDelay, UINT Interval, UINT ResumeInterval, UINT_PTR TimerId = 1)
  {
    auto* p = new TRepeatProbe(Form, FirstDelay, Interval, ResumeInterval, TimerId);
    p->SetParent(Form);
    p->SetBounds(10, 10, 40, 20);
    Form->Show();
    Pump();
    return p;
  }
};

TEST_F(SkinRepeatTimerTest, TheRhythmFollowsTheMessageClock)
{
  // The held buttons' delays: the up-down, the spin edit and the list caption repeat at
  // 500 / 100 / 50 ms, the scroll bar at 500 / 50 / 50 ms.
  const TRepeatCase cases[] = {
      {"the first tick only switches to the interval", 500, 100, 50,
       {{Start, 0, 0}, {Wait, 499, 0}, {Wait, 1, 0}, {Wait, 99, 0}, {Wait, 1, 1}, {Wait, 100, 2}, {Wait, 100, 3}}},
      {"the scroll bar's rhythm", 500, 50, 50,
       {{Start, 0, 0}, {Wait, 500, 0}, {Wait, 49, 0}, {Wait, 1, 1}, {Wait, 50, 2}, {Wait, 50, 3}}},
      {"a pause holds the steps and a resume runs at the resume interval", 500, 100, 50,
       {{Start, 0, 0},
        {Wait, 500, 0},
        {Wait, 100, 1},
        {Pause, 0, 1},
        {Wait, 1000, 1},
        {Resume, 0, 1},
        {Wait, 49, 1},
        {Wait, 1, 2},
        {Wait, 50, 3},
        {Wait, 50, 4}}},
      {"a pause before the first tick keeps it pending", 500, 100, 50,
       {{Start, 0, 0},
        {Wait, 200, 0},
        {Pause, 0, 0},
        {Wait, 1000, 0},
        {Resume, 0, 0},
        {Wait, 50, 0},
        {Wait, 99, 0},
        {Wait, 1, 1}}},
      {"stop ends the repeat", 500, 100, 50,
       {{Start, 0, 0}, {Wait, 500, 0}, {Wait, 100, 1}, {Stop, 0, 1}, {Wait, 500, 1}, {Wait, 100, 1}}},
      {"a stop before the first tick steps nothing", 500, 100, 50,
       {{Start, 0, 0}, {Wait, 499, 0}, {Stop, 0, 0}, {Wait, 1, 0}, {Wait, 100, 0}}},
      {"a start after a stop waits the first delay again", 500, 100, 50,
       {{Start, 0, 0},
        {Wait, 500, 0},
        {Wait, 100, 1},
        {Stop, 0, 1},
        {Start, 0, 1},
        {Wait, 499, 1},
        {Wait, 1, 1},
        {Wait, 100, 2}}},
      {"a start during a repeat begins again", 500, 100, 50,
       {{Start, 0, 0}, {Wait, 500, 0}, {Wait, 100, 1}, {Start, 0, 1}, {Wait, 100, 1}, {Wait, 400, 1}, {Wait, 100, 2}}},
  };
  for (const TRepeatCase& c : cases) {
    auto* p = Probe(c.FirstDelay, c.Interval, c.ResumeInterval);
    int i = 0;
    for (const TAct& a : c.Acts) {
      switch (a.Op) {
      case Start: p->Repeat.Start(); break;
      case Pause: p->Repeat.Pause(); break;
      case Resume: p->Repeat.Resume(); break;
      case Stop: p->Repeat.Stop(); break;
      case Wait: Advance(a.Ms); break;
      }
      EXPECT_EQ(a.Steps, p->Steps) << c.Name << ", act " << i;
      ++i;
    }
    delete p;
  }
}

TEST_F(SkinRepeatTimerTest, OnlyItsOwnTimerCounts)
{
  auto* p = Probe(500, 100, 50, 3);
  SetTimer(p->GetHandle(), 1, 10, nullptr);
  p->Repeat.Start();
  Advance(100);
  EXPECT_EQ(0, p->Steps) << "the control's timer 1 is none of the repeat's";
  EXPECT_TRUE(p->Repeat.GetFirstTickPending());
  EXPECT_FALSE(p->Repeat.Tick(1));
  Advance(400);
  EXPECT_FALSE(p->Repeat.GetFirstTickPending());
  Advance(100);
  EXPECT_EQ(1, p->Steps);
  KillTimer(p->GetHandle(), 1);
}

TEST_F(SkinRepeatTimerTest, WithoutAWindowNothingIsMade)
{
  TRepeatProbe p(nullptr, 500, 100, 50);
  p.Repeat.Start();
  p.Repeat.Pause();
  p.Repeat.Resume();
  p.Repeat.Stop();
  EXPECT_FALSE(p.HandleAllocated());
  EXPECT_TRUE(p.Repeat.GetFirstTickPending()) << "the press is remembered for a later window";
  Advance(1000);
  EXPECT_EQ(0, p.Steps);
}

} // namespace
