// The linked-bar steps the skinned views share (TskViewBars): linking a bar, showing it, giving a
// shown bar the view's range, page and steps, and the end of a synchronisation. The views' own
// rules (when a bar shows, with which page) and the re-align of an aligned view's parent are
// tested with the views in SkinViewsTest.
#include "skin/controls/SkinPanel.h"
#include "skin/input/SkinViewLook.h"
#include "tests/skin/input/SkinListTestSupport.h"

namespace {

class SkinViewBars : public TSkinControlTest {
protected:
  void SetUp() override
  {
    TSkinControlTest::SetUp();
    Form = NewForm(100, 100, 400, 300);
    View = Add<TskSkinPanel>(Form, "View", 0, 0, 200, 100);
    Bars = std::make_unique<TskViewBars>(View);
    Form->Show();
    Pump();
  }
  void TearDown() override
  {
    Bars.reset();
    TSkinControlTest::TearDown();
  }
  TListTestBar* NewBar(TskScrollBarKind Kind)
  {
    auto* bar = new TListTestBar(Form, Kind);
    bar->SetParent(Form);
    bar->SetBounds(Kind == sbVertical ? 380 : 0, Kind == sbVertical ? 0 : 280, Kind == sbVertical ? 16 : 300, 16);
    return bar;
  }
  static SCROLLINFO Info(int Min, int Max, int Pos)
  {
    SCROLLINFO si{};
    si.nMin = Min;
    si.nMax = Max;
    si.nPos = Pos;
    return si;
  }

  TForm* Form = nullptr;
  TskSkinPanel* View = nullptr;
  std::unique_ptr<TskViewBars> Bars;
};

struct TFollowCase {
  const char* Name;
  bool Shown;
  SCROLLINFO Info;
  int Page, SmallChange, LargeChange;
  bool WithLast;
  // What the bar holds afterwards ("min,max,position,page") with its steps and the last position.
  const char* Range;
  int Small, Large, Last;
};

TEST_F(SkinViewBars, AShownBarTakesTheViewsRangePageAndSteps)
{
  const TFollowCase cases[] = {
      {"RangeAndPageKeepTheSteps", true, Info(0, 50, 7), 10, 0, 0, false, "0,50,7,10", 3, 4, -1},
      {"StepsAboveZeroAreSet", true, Info(0, 50, 7), 10, 2, 5, true, "0,50,7,10", 2, 5, 7},
      {"TheLastPositionIsTheBarsClampedOne", true, Info(0, 100, 95), 10, 0, 0, true, "0,100,91,10", 3, 4, 91},
      {"AHiddenBarIsLeftAsItIs", false, Info(0, 50, 7), 10, 2, 5, true, "0,100,0,0", 3, 4, -1},
  };
  for (const TFollowCase& c : cases) {
    auto* bar = NewBar(sbVertical);
    bar->SetSmallChange(3);
    bar->SetLargeChange(4);
    bar->SetVisible(c.Shown);
    int last = -1;
    Bars->Follow(bar, c.Info, c.Page, c.SmallChange, c.LargeChange, c.WithLast ? &last : nullptr);
    const String range = std::to_string(bar->Min) + "," + std::to_string(bar->Max) + "," + std::to_string(bar->Pos) +
                         "," + std::to_string(bar->Page);
    EXPECT_EQ(c.Range, range) << c.Name;
    EXPECT_EQ(c.Small, bar->Small) << c.Name;
    EXPECT_EQ(c.Large, bar->Large) << c.Name;
    EXPECT_EQ(c.Last, last) << c.Name;
    delete bar;
  }
}

TEST_F(SkinViewBars, ALinkTakesOverTheBarAndRoutesItsChange)
{
  auto* v = NewBar(sbVertical);
  auto* h = NewBar(sbHorizontal);
  h->SetEnabled(false);
  int changes = 0;
  Bars->Link(true, v, true, [&changes] { ++changes; });
  Bars->Link(false, h, false, [&changes] { changes += 10; });
  EXPECT_TRUE(v->GetEnabled());
  EXPECT_FALSE(v->GetVisible()) << "taken over: hidden until the view shows it";
  EXPECT_FALSE(h->GetEnabled()) << "not taken over: left as it is";
  EXPECT_TRUE(h->GetVisible());
  v->SetPosition(5);
  h->SetPosition(5);
  EXPECT_EQ(11, changes);
  EXPECT_EQ(v, Bars->Bar(true));
  EXPECT_EQ(h, Bars->Bar(false));

  Bars->Forget(h);
  EXPECT_EQ(v, Bars->Bar(true)) << "only the removed bar is forgotten";
  EXPECT_EQ(nullptr, Bars->Bar(false));
  Bars->Link(true, nullptr, true);
  EXPECT_EQ(nullptr, Bars->Bar(true));
}

TEST_F(SkinViewBars, ShowAnswersAChangeAndFinishGivesTheHorizontalBarItsBothLook)
{
  auto* v = NewBar(sbVertical);
  auto* h = NewBar(sbHorizontal);
  Bars->Link(true, v, true);
  Bars->Link(false, h, true);
  EXPECT_FALSE(Bars->Show(v, false)) << "already hidden";
  EXPECT_TRUE(Bars->Show(v, true));
  EXPECT_TRUE(v->GetVisible());
  EXPECT_FALSE(Bars->Synchronising);
  Bars->Finish(true);
  EXPECT_TRUE(h->Both) << "the vertical bar shows";
  EXPECT_TRUE(Bars->Show(v, false));
  Bars->Finish(true);
  EXPECT_FALSE(h->Both);
}

} // namespace
