// The skinned hint: one font line per line of text with the margins of the look around the whole
// text, the frame arithmetic of the skinned look, placement against the work area, the component
// in charge, requested hints and the fade-in.
#include "skin/input/SkinHint.h"

#include "skin/controls/SkinPanel.h"
#include "skin/foundation/SkinDrawUtils.h"
#include "tests/skin/support/SkinTestSupport.h"

namespace {

class SkinHintTest : public TSkinControlTest {
protected:
  void SetUp() override
  {
    TSkinControlTest::SetUp();
    Main = NewForm(0, 0, 300, 200);
    Application->SetMainForm(Main);
  }
  void TearDown() override
  {
    Application->SetMainForm(nullptr);
    Application->HintWindowClass = nullptr;
    Application->OnShowHint = nullptr;
    TSkinControlTest::TearDown();
  }
  TskSkinHint* NewHint() { return new TskSkinHint(Main); }
  // The height of one line of the hint's font (measured the way the window does).
  static int LineHeight(TskSkinHintWindow* W, TFont* Font)
  {
    TCanvas* c = W->GetCanvas();
    c->GetFont()->Assign(Font);
    RECT r = Rect(0, 0, 0, 0);
    DrawTextA(c->GetHandle(), "Xg", 2, &r, DT_CALCRECT);
    return r.bottom - r.top;
  }
  TForm* Main = nullptr;
};

TEST_F(SkinHintTest, EveryLineTakesOneFontLineAndTheMarginsSurroundTheWholeText)
{
  TskSkinHint* hint = NewHint();
  TskSkinHintWindow* w = hint->GetHintWindow();
  const int line = LineHeight(w, hint->GetDefaultFont());
  ASSERT_GT(line, 0);
  struct TCase {
    const char* Name;
    String Text;
    int Lines;
  } const cases[] = {
      {"one line", "Convert", 1},
      {"the separator twice gives three lines", "First@Second@Third", 3},
      {"a separator at the end leaves an empty last line", "Only@", 2},
  };
  for (const TCase& c : cases) {
    w->ActivateHint(Rect(10, 10, 10, 10), c.Text);
    EXPECT_EQ(c.Lines * line + 4, w->GetHeight()) << c.Name;
    EXPECT_TRUE(w->GetVisible()) << c.Name;
  }
  // The widest line sets the width; the separator is gone from the text.
  w->ActivateHint(Rect(10, 10, 10, 10), "a@a much longer line@b");
  EXPECT_EQ(String("a\n\ra much longer line\n\rb"), w->GetText());
  TCanvas* c = w->GetCanvas();
  RECT r = Rect(0, 0, 0, 0);
  DrawTextA(c->GetHandle(), "a much longer line", 18, &r, DT_CALCRECT);
  EXPECT_EQ(r.right - r.left + 4, w->GetWidth());
}

TEST_F(SkinHintTest, TheSkinnedLookGrowsTheTextByTheFrameOfTheHintPicture)
{
  TskSkinHint* hint = NewHint();
  TskSkinData* data = BuiltinSkinData(Holder, TBuiltinSkin::bsControls);
  ASSERT_FALSE(data->Empty);
  hint->SetSkinData(data);
  hint->SetUseSkinFont(false);
  TskSkinHintWindow* w = hint->GetHintWindow();
  const int line = LineHeight(w, hint->GetDefaultFont());
  const TskDataSkinHintWindow* rec = data->HintWindow;
  TBitmap* pic = data->ActivePictures[static_cast<std::size_t>(rec->windowpictureindex)];
  const int extraH = rec->clientrect.top + pic->GetHeight() - rec->clientrect.bottom;
  w->ActivateHint(Rect(10, 10, 10, 10), "One@Two");
  EXPECT_EQ(data, w->SkinInUse);
  EXPECT_EQ(2 * line + extraH, w->GetHeight());
  // The client part of the frame holds the text; its corners follow the window's size.
  EXPECT_EQ(rec->clientrect.bottom + w->GetHeight() - pic->GetHeight(), w->FrameClientRect.bottom);
  EXPECT_EQ(rec->clientrect.right + w->GetWidth() - pic->GetWidth(), w->FrameClientRect.right);
  EXPECT_GE(RectHeight(w->FrameClientRect), 2 * line);
  // Without a loaded skin the default look is used.
  auto* empty = new TskSkinData(Holder);
  hint->SetSkinData(empty);
  w->ActivateHint(Rect(10, 10, 10, 10), "One@Two");
  EXPECT_EQ(nullptr, w->SkinInUse);
  EXPECT_EQ(2 * line + 4, w->GetHeight());
}

TEST_F(SkinHintTest, AHintPassingTheWorkAreaOpensLeftOrAboveTheRequestedPoint)
{
  Main->Show();
  TskSkinHint* hint = NewHint();
  TskSkinHintWindow* w = hint->GetHintWindow();
  const TRect wa = Screen->MonitorFromWindow(Main->GetHandle()).WorkareaRect;
  w->ActivateHint(Rect(100, 100, 100, 100), "Placed");
  const int width = w->GetWidth();
  const int height = w->GetHeight();
  struct TCase {
    const char* Name;
    TPoint At;
    TPoint Want;
  } const cases[] = {
      {"in the open", Point(100, 100), Point(100, 100)},
      {"past the right edge", Point(wa.right - 5, 100), Point(wa.right - 5 - width - 2, 100)},
      {"past the bottom", Point(100, wa.bottom - 3), Point(100, wa.bottom - 3 - height - 2)},
  };
  for (const TCase& c : cases) {
    w->ActivateHint(Rect(c.At.x, c.At.y, c.At.x, c.At.y), "Placed");
    EXPECT_EQ(c.Want.x, w->GetLeft()) << c.Name;
    EXPECT_EQ(c.Want.y, w->GetTop()) << c.Name;
  }
  // Past the right edge, the hint's right edge lies 2 pixels left of the point.
  w->ActivateHint(Rect(wa.right - 5, 100, wa.right - 5, 100), "Placed");
  EXPECT_EQ(wa.right - 7, w->GetLeft() + w->GetWidth());
}

TEST_F(SkinHintTest, WithoutAnActiveHintComponentNothingShows)
{
  TskSkinHint* hint = NewHint();
  hint->SetActive(false);
  TskSkinHintWindow w(nullptr);
  w.ActivateHint(Rect(10, 10, 10, 10), "Hidden");
  EXPECT_FALSE(w.GetVisible());
  EXPECT_EQ(nullptr, w.ActiveHint);
}

TEST_F(SkinHintTest, ActivatingOneHintComponentDeactivatesTheOther)
{
  TskSkinHint* first = NewHint();
  TskSkinHint* second = NewHint();
  EXPECT_TRUE(first->GetActive());
  second->SetActive(true);
  EXPECT_FALSE(first->GetActive());
  EXPECT_TRUE(second->GetActive());
  EXPECT_EQ(second, TskSkinHintWindow::FindActiveHint());
  first->SetActive(true);
  EXPECT_FALSE(second->GetActive());
  EXPECT_EQ(first, TskSkinHintWindow::FindActiveHint());
}

TEST_F(SkinHintTest, TheComponentInstallsItsWindowClassAndTakesTheTitleOfASkinnedControl)
{
  TskSkinHint* hint = NewHint();
  ASSERT_TRUE(Application->HintWindowClass);
  std::unique_ptr<THintWindow> made(Application->HintWindowClass(nullptr));
  EXPECT_NE(nullptr, dynamic_cast<TskSkinHintWindow*>(made.get()));
  EXPECT_EQ(100, Application->GetHintShortPause());
  auto* panel = Add<TskSkinPanel>(Main, "Panel", 0, 0, 50, 50);
  panel->SetHintTitle("Title");
  panel->SetHintImageIndex(3);
  int calls = 0;
  TControl* seen = nullptr;
  hint->OnShowHint = [&](String&, bool&, THintInfo& Info) {
    ++calls;
    seen = Info.HintControl;
  };
  String text = "Body";
  bool show = true;
  THintInfo info;
  info.HintControl = panel;
  Application->OnShowHint(text, show, info);
  EXPECT_EQ(1, calls);
  EXPECT_EQ(panel, seen);
  EXPECT_EQ(String("Title"), hint->TitleText);
  EXPECT_EQ(3, hint->TitleImageIndex);
  // A plain control clears what the last one gave.
  info.HintControl = Main;
  Application->OnShowHint(text, show, info);
  EXPECT_TRUE(hint->TitleText.empty());
  EXPECT_EQ(0, hint->TitleImageIndex);
  // A title makes the hint taller by the title's line and 10 pixels.
  TskSkinHintWindow* w = hint->GetHintWindow();
  w->ActivateHint(Rect(10, 10, 10, 10), "Body");
  const int plain = w->GetHeight();
  hint->TitleText = "Title";
  w->ActivateHint(Rect(10, 10, 10, 10), "Body");
  EXPECT_TRUE(w->RichMode);
  EXPECT_EQ(plain + LineHeight(w, hint->GetDefaultFont()) + 10, w->GetHeight());
  // A component that went away leaves a handler that does nothing.
  hint->OnShowHint = nullptr;
  delete hint;
  info.HintControl = panel;
  Application->OnShowHint(text, show, info);
}

TEST_F(SkinHintTest, ARequestedHintShowsAfterThePauseUnlessHiddenFirst)
{
  TskSkinHint* hint = NewHint();
  TskSkinHintWindow* w = hint->GetHintWindow();
  Application->SetHintPause(500);
  hint->ShowHintText("Requested");
  ASSERT_NE(nullptr, hint->GetRequestTimer());
  EXPECT_EQ(500u, hint->GetRequestTimer()->GetInterval());
  hint->HideHint();
  EXPECT_EQ(nullptr, hint->GetRequestTimer());
  Clock->Advance(1000);
  Pump();
  EXPECT_FALSE(w->GetVisible());
  // Left alone, the request shows the hint below the cursor, then hides it after HintHidePause.
  SetCursorPos(40, 50);
  hint->ShowHintText("Requested");
  Clock->Advance(600);
  Pump();
  EXPECT_TRUE(w->GetVisible());
  EXPECT_EQ(String("Requested"), w->GetText());
  EXPECT_EQ(40, w->GetLeft());
  EXPECT_EQ(50 + TskSkinHint::CursorMargin(), w->GetTop());
  ASSERT_NE(nullptr, hint->GetRequestTimer());
  EXPECT_EQ(static_cast<Cardinal>(Application->GetHintHidePause()), hint->GetRequestTimer()->GetInterval());
  Clock->Advance(static_cast<DWORD>(Application->GetHintHidePause()) + 100);
  Pump();
  EXPECT_FALSE(w->GetVisible());
  EXPECT_EQ(nullptr, hint->GetRequestTimer());
}

TEST_F(SkinHintTest, TheFadeInRaisesTheAlphaInFifteenthsUpToTheValue)
{
  if (!IsWindows2000OrLater())
    GTEST_SKIP() << "no layered windows";
  TskSkinHint* hint = NewHint();
  hint->SetAlphaBlend(true);
  hint->SetAlphaBlendAnimation(true);
  hint->SetAlphaBlendValue(200);
  TskSkinHintWindow* w = hint->GetHintWindow();
  w->ActivateHint(Rect(10, 10, 10, 10), "Fading");
  ASSERT_FALSE(w->FadeSteps.empty());
  EXPECT_EQ(13, w->FadeSteps.front());
  EXPECT_EQ(200, w->FadeSteps.back());
  EXPECT_EQ(16u, w->FadeSteps.size());
  // Without the animation the hint shows at once.
  hint->SetAlphaBlendAnimation(false);
  w->ActivateHint(Rect(10, 10, 10, 10), "At once");
  EXPECT_TRUE(w->FadeSteps.empty());
}

} // namespace
