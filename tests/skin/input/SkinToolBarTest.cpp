// The skinned tool bar: the scroll arrows appearing when the buttons do not fit, the steps and
// their limits, the setters that ignore bad values, the caption widths, and what the bar hands
// to its speed buttons.
#include "skin/input/SkinToolBar.h"

#include "tests/skin/support/SkinTestSupport.h"

namespace {

class SkinToolBarTest : public TSkinControlTest {
protected:
  void SetUp() override
  {
    TSkinControlTest::SetUp();
    Form = NewForm(0, 0, 400, 100);
    Form->Show();
    Bar = new TskSkinToolBar(Form);
    Bar->SetParent(Form);
    Bar->SetBounds(0, 0, 200, 25);
  }
  // Three 100-pixel buttons side by side.
  void AddButtons()
  {
    for (int i = 0; i < 3; ++i) {
      auto* b = new TskSkinSpeedButton(Form);
      b->SetParent(Bar);
      b->SetBounds(i * 100, 0, 100, 22);
      Buttons.push_back(b);
    }
  }
  TForm* Form = nullptr;
  TskSkinToolBar* Bar = nullptr;
  std::vector<TskSkinSpeedButton*> Buttons;
};

TEST_F(SkinToolBarTest, ButtonsThatDoNotFitBringTheArrowsAndStepsStopAtTheEnd)
{
  Bar->SetCanScroll(true);
  AddButtons();
  Bar->UpdateScrollButtons();
  ASSERT_TRUE(Bar->GetArrowsVisible());
  EXPECT_EQ(200 - 2 * TskSkinToolBar::ArrowWidth, Bar->GetClientWidth());
  const int cw = Bar->GetClientWidth();
  const int left0 = Buttons[0]->GetLeft();
  // A right step with ScrollOffset 0 moves by the client width, but never past the end.
  Bar->ScrollStep(2);
  const int end = 299 - cw + 1;
  EXPECT_EQ(std::min(cw, end), Bar->GetScrollPosition());
  EXPECT_EQ(left0 - Bar->GetScrollPosition(), Buttons[0]->GetLeft());
  Bar->ScrollStep(2);
  EXPECT_EQ(end, Bar->GetScrollPosition());
  EXPECT_EQ(left0 - end, Buttons[0]->GetLeft()) << "the content moves by the steps taken";
  Bar->ScrollStep(2);
  EXPECT_EQ(end, Bar->GetScrollPosition());
  // Back to the start, not below it.
  Bar->ScrollStep(1);
  Bar->ScrollStep(1);
  EXPECT_EQ(0, Bar->GetScrollPosition());
  EXPECT_EQ(left0, Buttons[0]->GetLeft());
}

TEST_F(SkinToolBarTest, StepsWithoutALayoutBetweenThemMoveByOneStepEach)
{
  Bar->SetCanScroll(true);
  Bar->SetScrollOffset(10);
  AddButtons();
  Bar->UpdateScrollButtons();
  const int left0 = Buttons[2]->GetLeft();
  for (int i = 1; i <= 3; ++i) {
    Bar->ScrollStep(2);
    EXPECT_EQ(10 * i, Bar->GetScrollPosition()) << i;
    EXPECT_EQ(left0 - 10 * i, Buttons[2]->GetLeft()) << i;
  }
  // A left step at position 30 with ScrollOffset 50 stops at 0.
  Bar->SetScrollOffset(50);
  Bar->ScrollStep(1);
  EXPECT_EQ(0, Bar->GetScrollPosition());
  EXPECT_EQ(left0, Buttons[2]->GetLeft());
}

TEST_F(SkinToolBarTest, BadIntervalsAndOffsetsAreIgnored)
{
  Bar->SetScrollTimerInterval(0);
  EXPECT_EQ(50, Bar->GetScrollTimerInterval());
  Bar->SetScrollTimerInterval(-5);
  EXPECT_EQ(50, Bar->GetScrollTimerInterval());
  Bar->SetScrollOffset(-1);
  EXPECT_EQ(0, Bar->GetScrollOffset());
  Bar->SetScrollOffset(7);
  EXPECT_EQ(7, Bar->GetScrollOffset());
}

TEST_F(SkinToolBarTest, WithoutCanScrollTheArrowsNeverAppear)
{
  AddButtons();
  Bar->SetBounds(0, 0, 150, 25);
  EXPECT_FALSE(Bar->GetArrowsVisible());
  EXPECT_EQ(150, Bar->GetClientWidth());
  EXPECT_EQ(0, Bar->ArrowHitTest(-3));
  EXPECT_EQ(0, Bar->ArrowHitTest(500));
  POINT p{Bar->ClientToScreen(Point(1, 5)).x, Bar->ClientToScreen(Point(1, 5)).y};
  EXPECT_NE(static_cast<LRESULT>(TskSkinToolBar::HitLeftArrow),
            SendMessageA(Bar->GetHandle(), WM_NCHITTEST, 0, MAKELPARAM(p.x - 5, p.y)));
  // With CanScroll the arrows answer their hit-test codes.
  Bar->SetCanScroll(true);
  Bar->UpdateScrollButtons();
  ASSERT_TRUE(Bar->GetArrowsVisible());
  EXPECT_EQ(TskSkinToolBar::HitLeftArrow, Bar->ArrowHitTest(-3));
  EXPECT_EQ(TskSkinToolBar::HitRightArrow, Bar->ArrowHitTest(Bar->GetClientWidth() + 3));
  EXPECT_EQ(0, Bar->ArrowHitTest(5));
  // Content that fits again hides them and scrolls back.
  Bar->ScrollStep(2);
  Buttons[1]->SetVisible(false);
  Buttons[2]->SetVisible(false);
  Bar->UpdateScrollButtons();
  EXPECT_FALSE(Bar->GetArrowsVisible());
  EXPECT_EQ(0, Bar->GetScrollPosition());
  EXPECT_EQ(0, Buttons[0]->GetLeft());
}

TEST_F(SkinToolBarTest, ShowCaptionsSwitchesBetweenTheTwoWidthsAndReachesTheButtons)
{
  AddButtons();
  Bar->SetWidthWithCaptions(300);
  Bar->SetWidthWithoutCaptions(120);
  Bar->SetAutoShowHideCaptions(true);
  Bar->SetShowCaptions(true);
  EXPECT_EQ(300, Bar->GetWidth());
  EXPECT_TRUE(Buttons[0]->GetShowCaption());
  Bar->SetShowCaptions(false);
  EXPECT_EQ(120, Bar->GetWidth());
  EXPECT_FALSE(Buttons[1]->GetShowCaption());
}

TEST_F(SkinToolBarTest, FlatSkinAndImagesReachTheSpeedButtons)
{
  AddButtons();
  TskSkinData* data = BuiltinSkinData(Holder, TBuiltinSkin::bsControls);
  Bar->SetFlat(true);
  Bar->SetSkinData(data);
  for (TskSkinSpeedButton* b : Buttons) {
    EXPECT_TRUE(b->GetFlat());
    EXPECT_EQ(data, b->GetSkinDataComponent());
  }
  auto* images = new TImageList(Holder);
  Bar->SetImages(images);
  Bar->SetHotImages(images);
  EXPECT_EQ(images, static_cast<TskToolBarImageSource*>(Bar)->GetImages());
  delete images;
  EXPECT_EQ(nullptr, Bar->GetImages());
  EXPECT_EQ(nullptr, Bar->GetHotImages());
  EXPECT_TRUE(Bar->CentresBevels());
}

} // namespace
