#include <gtest/gtest.h>

#include <vector>

#include "skin/foundation/SkinDrawUtils.h"
#include "skin/foundation/SkinLayered.h"
#include "tests/platform/vcl/VclTestSupport.h"

namespace {

// Monitor and work-area rectangles on the headless display with one or two monitors; the
// display's monitors are put back after each test.
class SkinMonitorAreaTest : public TVclWindowTest {
protected:
  std::vector<TDisplayMonitor> Saved;
  void SetUp() override
  {
    // Share the headless display that earlier tests of this program may have created already.
    if (!VclDisplay())
      VclDisplay() = dynamic_cast<THeadlessDisplay*>(&GetDisplayBackend());
    TVclWindowTest::SetUp();
    Saved = Display()->Monitors();
  }
  void TearDown() override
  {
    Display()->SetMonitors(Saved);
    BindSkinSystemFunctions();
    TVclWindowTest::TearDown();
  }
  static TDisplayMonitor Monitor(const RECT& Whole, const RECT& Work, bool Primary)
  {
    TDisplayMonitor M;
    M.Monitor = Whole;
    M.Work = Work;
    M.Primary = Primary;
    return M;
  }
};

TEST_F(SkinMonitorAreaTest, OneMonitorGivesTheDesktopAreas)
{
  Display()->SetMonitors({Monitor(Rect(0, 0, 800, 600), Rect(0, 0, 800, 570), true)});
  TForm* Form = NewForm(900, 100, 100, 80);
  EXPECT_FALSE(HasMultipleMonitors());
  struct {
    bool WorkArea;
    TRect Expected;
  } const Cases[] = {{true, {0, 0, 800, 570}}, {false, {0, 0, 800, 600}}};
  for (const auto& C : Cases) {
    TRect R{-1, -1, -1, -1};
    GetMonitorArea(Form->GetHandle(), C.WorkArea, R);
    EXPECT_EQ(R, C.Expected) << C.WorkArea;
    TRect D{-1, -1, -1, -1};
    GetDesktopWorkArea(C.WorkArea, D);
    EXPECT_EQ(D, C.Expected) << C.WorkArea;
  }
}

TEST_F(SkinMonitorAreaTest, TwoMonitorsGiveTheAreasOfTheWindowsMonitor)
{
  Display()->SetMonitors({Monitor(Rect(0, 0, 800, 600), Rect(0, 0, 800, 570), true),
                          Monitor(Rect(800, 0, 1824, 768), Rect(800, 20, 1824, 768), false)});
  EXPECT_TRUE(HasMultipleMonitors());
  TForm* OnSecond = NewForm(900, 100, 100, 80);
  TForm* OnFirst = NewForm(10, 10, 100, 80);
  struct {
    TForm* Form;
    bool WorkArea;
    TRect Expected;
  } const Cases[] = {{OnSecond, true, {800, 20, 1824, 768}},
                     {OnSecond, false, {800, 0, 1824, 768}},
                     {OnFirst, true, {0, 0, 800, 570}},
                     {OnFirst, false, {0, 0, 800, 600}}};
  for (const auto& C : Cases) {
    TRect R{-1, -1, -1, -1};
    GetMonitorArea(C.Form->GetHandle(), C.WorkArea, R);
    EXPECT_EQ(R, C.Expected) << C.Form->GetLeft() << " " << C.WorkArea;
  }
  // The desktop areas stay those of the primary monitor.
  TRect D;
  GetDesktopWorkArea(false, D);
  EXPECT_EQ(D, (TRect{0, 0, 800, 600}));
}

TEST_F(SkinMonitorAreaTest, WithoutTheMonitorFunctionsThereIsOneMonitor)
{
  Display()->SetMonitors({Monitor(Rect(0, 0, 800, 600), Rect(0, 0, 800, 570), true),
                          Monitor(Rect(800, 0, 1824, 768), Rect(800, 20, 1824, 768), false)});
  TForm* OnSecond = NewForm(900, 100, 100, 80);
  SkinSystemFunctions().GetMonitorInfoA = nullptr;
  SkinSystemFunctions().MonitorFromWindow = nullptr;
  EXPECT_FALSE(HasMultipleMonitors());
  TRect R{-1, -1, -1, -1};
  GetMonitorArea(OnSecond->GetHandle(), true, R);
  EXPECT_EQ(R, (TRect{0, 0, 800, 570}));
}

} // namespace
