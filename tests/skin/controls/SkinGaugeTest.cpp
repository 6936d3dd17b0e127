#include <gtest/gtest.h>

#include <functional>

#include "skin/controls/SkinGauge.h"
#include "tests/skin/support/SkinTestSupport.h"

namespace {

constexpr TColor Red = 0x0000FF, Green = 0x00FF00, Blue = 0xFF0000, Grey = 0x808080, Yellow = 0x00FFFF;
constexpr TColor Frame1 = 0x000080, Frame2 = 0x008000, Frame3 = 0x800000, White = 0xFFFFFF, Black = 0;

// Picture 0: the gauge frame (0,0)-(40,20) grey with a white client part; the progress image
// (40,0)-(50,16): five red columns, then five green ones; three 10 x 16 animation frames side by
// side at (60,0); the vertical progress image (40,20)-(56,30): five red rows, then five green;
// the vertical gauge frame (90,0)-(110,40).
std::vector<std::unique_ptr<TBitmap>> Pictures()
{
  std::vector<std::unique_ptr<TBitmap>> p;
  p.push_back(SolidPicture(120, 40, Black));
  FillArea(p[0].get(), Rect(0, 0, 40, 20), Grey);
  FillArea(p[0].get(), Rect(2, 2, 38, 18), White);
  FillArea(p[0].get(), Rect(40, 0, 45, 16), Red);
  FillArea(p[0].get(), Rect(45, 0, 50, 16), Green);
  FillArea(p[0].get(), Rect(60, 0, 70, 16), Frame1);
  FillArea(p[0].get(), Rect(70, 0, 80, 16), Frame2);
  FillArea(p[0].get(), Rect(80, 0, 90, 16), Frame3);
  FillArea(p[0].get(), Rect(40, 20, 56, 25), Red);
  FillArea(p[0].get(), Rect(40, 25, 56, 30), Green);
  FillArea(p[0].get(), Rect(90, 0, 110, 40), Grey);
  FillArea(p[0].get(), Rect(92, 2, 108, 38), White);
  return p;
}

const char* const Frame = "pictureindex=0\nskinrect=0,0,40,20\nlefttoppoint=2,2\nrighttoppoint=38,2\n"
                          "leftbottompoint=2,18\nrightbottompoint=38,18\nclientrect=2,2,38,18\n"
                          "progressarea=2,2,38,18\nfontname=Arial\nfontheight=14\nfontcolor=16711680\n";

String Records()
{
  String s = "[SKINCONTROLS]\ncount=7\n0=gauge:gauge\n1=stretched:gauge\n2=capped:gauge\n3=animated:gauge\n"
             "4=vgauge:gauge\n5=fixed:gauge\n6=button:button\n";
  s += String("[gauge]\n") + Frame + "progressrect=40,0,50,16\n";
  s += String("[stretched]\n") + Frame + "progressrect=40,0,50,16\nprogressstretch=1\n";
  s += String("[capped]\n") + Frame + "progressrect=40,0,50,16\nbeginoffset=2\nendoffset=3\n";
  s += String("[animated]\n") + Frame +
       "progressrect=40,0,50,16\nprogressanimationskinrect=60,0,90,16\nprogressanimationcountframes=3\n"
       "progressanimationtimerinterval=30\n";
  s += "[vgauge]\npictureindex=0\nskinrect=90,0,110,40\nlefttoppoint=2,2\nrighttoppoint=18,2\nleftbottompoint=2,38\n"
       "rightbottompoint=18,38\nclientrect=2,2,18,38\nprogressarea=2,2,18,38\nprogressrect=40,20,56,30\n"
       "vertical=1\nfontcolor=16711680\n";
  s += "[fixed]\npictureindex=0\nskinrect=0,0,40,20\nclientrect=2,2,38,18\nprogressarea=2,2,38,18\n"
       "progressrect=40,0,50,16\n";
  s += "[button]\npictureindex=0\nskinrect=0,0,40,20\nclientrect=2,2,38,18\n";
  return s;
}

class SkinGaugeTest : public TSkinControlTest {
protected:
  void SetUp() override
  {
    TSkinControlTest::SetUp();
    Form = NewForm(100, 100, 400, 300);
    Skin = NewSkin(Pictures(), Records());
  }
  TskSkinGauge* Gauge(const char* Record = "gauge", int W = 100, int H = 20)
  {
    auto* g = new TskSkinGauge(Form);
    g->SetParent(Form);
    g->SetBounds(10, 10, W, H);
    if (Record) {
      g->SetSkinDataName(Record);
      g->SetSkinData(Skin);
    }
    return g;
  }
  static bool Same(TBitmap* A, TBitmap* B)
  {
    if (A->GetWidth() != B->GetWidth() || A->GetHeight() != B->GetHeight())
      return false;
    for (int y = 0; y < A->GetHeight(); ++y)
      for (int x = 0; x < A->GetWidth(); ++x)
        if (BitmapPixel(A, x, y) != BitmapPixel(B, x, y))
          return false;
    return true;
  }
  void Advance(DWORD Ms)
  {
    Clock->Advance(Ms);
    Pump();
  }

  TForm* Form = nullptr;
  TskSkinData* Skin = nullptr;
};

TEST_F(SkinGaugeTest, TheConstructorGivesTheDefaultsTheCoreReliesOn)
{
  auto* g = new TskSkinGauge(Form);
  EXPECT_EQ("gauge", g->GetSkinDataName());
  EXPECT_EQ(0, g->GetMinValue());
  EXPECT_EQ(100, g->GetMaxValue());
  EXPECT_EQ(50, g->GetValue());
  EXPECT_EQ(100, g->GetWidth());
  EXPECT_EQ(20, g->GetHeight());
  EXPECT_FALSE(g->GetShowPercent());
  EXPECT_EQ(1000, g->GetProgressAnimationPause());
}

TEST_F(SkinGaugeTest, TheSettersKeepTheValueInsideTheirEndsWithoutCrossChecking)
{
  struct Case {
    const char* Name;
    std::function<void(TskSkinGauge*)> Act;
    int Min, Max, Value;
  } const cases[] = {
      {"above the maximum", [](TskSkinGauge* g) { g->SetValue(150); }, 0, 100, 100},
      {"below the minimum", [](TskSkinGauge* g) { g->SetValue(-5); }, 0, 100, 0},
      {"inside", [](TskSkinGauge* g) { g->SetValue(73); }, 0, 100, 73},
      {"maximum below the value", [](TskSkinGauge* g) { g->SetMaxValue(40); }, 0, 40, 40},
      {"maximum above the value", [](TskSkinGauge* g) { g->SetMaxValue(400); }, 0, 400, 50},
      {"minimum above the value", [](TskSkinGauge* g) { g->SetMinValue(60); }, 60, 100, 60},
      {"minimum above a lowered maximum",
       [](TskSkinGauge* g) {
         g->SetMaxValue(40);
         g->SetMinValue(60);
       },
       60, 40, 60},
      {"negative maximum", [](TskSkinGauge* g) { g->SetMaxValue(-10); }, 0, -10, -10},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.Name);
    auto* g = Gauge();
    c.Act(g);
    EXPECT_EQ(c.Min, g->GetMinValue());
    EXPECT_EQ(c.Max, g->GetMaxValue());
    EXPECT_EQ(c.Value, g->GetValue());
    Snapshot(g); // whatever the ends, painting never divides by zero
    delete g;
  }
}

TEST_F(SkinGaugeTest, SettingTheValueInvalidatesOnlyWhenItChanges)
{
  auto* g = Gauge();
  Form->Show();
  Pump();
  RECT r{};
  ASSERT_FALSE(GetUpdateRect(g->GetHandle(), &r, FALSE));
  g->SetValue(50);
  EXPECT_FALSE(GetUpdateRect(g->GetHandle(), &r, FALSE)) << "the same value again";
  g->SetValue(500); // clamped to 100
  EXPECT_TRUE(GetUpdateRect(g->GetHandle(), &r, FALSE));
  Pump();
  g->SetValue(100);
  EXPECT_FALSE(GetUpdateRect(g->GetHandle(), &r, FALSE)) << "the clamped value again";
}

TEST_F(SkinGaugeTest, TheTextIsTheProgressTextAndTheTruncatedPercentage)
{
  struct Case {
    const char* Name;
    int Min, Max, Value;
    bool ShowText, ShowPercent;
    const char* Expected;
  } const cases[] = {
      {"a third", 0, 3, 1, false, true, "33%"},
      {"with the progress text", 0, 3, 1, true, true, "Pass 33%"},
      {"the progress text alone", 0, 3, 1, true, false, "Pass "},
      {"neither", 0, 3, 1, false, false, ""},
      {"an empty range", 0, 0, 0, false, true, "0%"},
      {"all", 10, 20, 20, false, true, "100%"},
      {"a range below zero", -200, -100, -150, false, true, "50%"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.Name);
    auto* g = Gauge(nullptr);
    g->SetMaxValue(c.Max);
    g->SetMinValue(c.Min);
    g->SetValue(c.Value);
    g->SetProgressText("Pass ");
    g->SetShowProgressText(c.ShowText);
    g->SetShowPercent(c.ShowPercent);
    EXPECT_EQ(c.Expected, g->GetGaugeText());
    delete g;
  }
}

TEST_F(SkinGaugeTest, TheFilledPartIsTheTruncatedShareOfTheArea)
{
  auto* g = Gauge(nullptr);
  g->SetMaxValue(3);
  g->SetValue(1);
  EXPECT_EQ(Rect(0, 0, 66, 10), g->CalcProgressRect(Rect(0, 0, 200, 10)));
  g->SetMaxValue(0); // an empty range fills nothing
  EXPECT_EQ(Rect(0, 0, 0, 10), g->CalcProgressRect(Rect(0, 0, 200, 10)));
  g->SetMaxValue(4);
  g->SetValue(3);
  g->SetVertical(true); // from the bottom up
  EXPECT_EQ(Rect(0, 25, 10, 100), g->CalcProgressRect(Rect(0, 0, 10, 100)));
}

TEST_F(SkinGaugeTest, TheDefaultLookFillsTheShareInsideAOnePixelFrame)
{
  auto* g = Gauge(nullptr);
  auto shot = Snapshot(g);
  EXPECT_EQ(TColor(0xD2BDB6), BitmapPixel(shot.get(), 1, 1));
  EXPECT_EQ(TColor(0xD2BDB6), BitmapPixel(shot.get(), 49, 18));
  EXPECT_NE(TColor(0xD2BDB6), BitmapPixel(shot.get(), 50, 10));
  EXPECT_NE(TColor(0xD2BDB6), BitmapPixel(shot.get(), 0, 10)) << "the frame";
  EXPECT_NE(TColor(0xD2BDB6), BitmapPixel(shot.get(), 49, 19)) << "the frame";
}

TEST_F(SkinGaugeTest, TheProgressImageIsTiledFromTheStartAndCutAtTheEnd)
{
  // The working area of a 100-pixel gauge is 96 wide: 25 % is 24 pixels from x 2.
  auto* g = Gauge();
  g->SetValue(25);
  EXPECT_EQ(Rect(2, 2, 98, 18), g->GetWorkingProgressArea());
  auto shot = Snapshot(g);
  const TColor expected[] = {Red, Green, Red, Green, Red};
  for (int i = 0; i < 5; ++i) {
    SCOPED_TRACE(i);
    EXPECT_EQ(expected[i], BitmapPixel(shot.get(), 2 + i * 5, 8));
    if (2 + i * 5 + 4 < 26) {
      EXPECT_EQ(expected[i], BitmapPixel(shot.get(), 2 + i * 5 + 4, 8));
    }
  }
  EXPECT_EQ(White, BitmapPixel(shot.get(), 26, 8)) << "the unfilled client part";
  EXPECT_EQ(Grey, BitmapPixel(shot.get(), 0, 8)) << "the frame";
}

TEST_F(SkinGaugeTest, AStretchedImageAndItsCaps)
{
  auto* stretched = Gauge("stretched");
  stretched->SetValue(100); // 96 pixels: the red half stretched over the first 48
  auto shot = Snapshot(stretched);
  EXPECT_EQ(Red, BitmapPixel(shot.get(), 2 + 40, 8));
  EXPECT_EQ(Green, BitmapPixel(shot.get(), 2 + 55, 8));
  // Caps: 2 red columns at the start, 3 green ones at the end, the middle tiled from the rest.
  auto* capped = Gauge("capped");
  capped->SetValue(25); // 24 pixels
  shot = Snapshot(capped);
  EXPECT_EQ(Red, BitmapPixel(shot.get(), 2, 8));
  EXPECT_EQ(Green, BitmapPixel(shot.get(), 2 + 23, 8));
  EXPECT_EQ(Green, BitmapPixel(shot.get(), 2 + 21, 8));
  EXPECT_EQ(Red, BitmapPixel(shot.get(), 2 + 2, 8)) << "the middle starts with the source's third column";
}

TEST_F(SkinGaugeTest, AVerticalGaugeFillsFromTheBottomUp)
{
  auto* g = Gauge("vgauge", 20, 100);
  EXPECT_TRUE(g->GetVertical()) << "taken from the record";
  g->SetValue(10); // the area is 96 high: 9 pixels at the bottom
  auto shot = Snapshot(g);
  EXPECT_EQ(Green, BitmapPixel(shot.get(), 10, 97)) << "the source's bottom row first";
  EXPECT_EQ(Red, BitmapPixel(shot.get(), 10, 91));
  EXPECT_EQ(White, BitmapPixel(shot.get(), 10, 88));
}

TEST_F(SkinGaugeTest, ThePercentageIsWrittenOverTheGauge)
{
  auto* g = Gauge();
  g->SetValue(0);
  auto plain = Snapshot(g);
  g->SetShowPercent(true);
  auto text = Snapshot(g);
  EXPECT_FALSE(Same(plain.get(), text.get()));
  // The text is in the record's font colour: blue dominates where it differs.
  bool bluish = false;
  for (int y = 0; y < 20; ++y)
    for (int x = 0; x < 100; ++x) {
      const TColor c = BitmapPixel(text.get(), x, y);
      if (c != BitmapPixel(plain.get(), x, y) && ((c >> 16) & 0xFF) > (c & 0xFF) + 64)
        bluish = true;
    }
  EXPECT_TRUE(bluish);
  // Fully blended away, the text leaves the picture as it was.
  g->SetTextAlphaBlend(true);
  g->SetTextAlphaBlendValue(0);
  EXPECT_TRUE(Same(plain.get(), Snapshot(g).get()));
  g->SetTextAlphaBlendValue(255);
  EXPECT_TRUE(Same(text.get(), Snapshot(g).get()));
}

TEST_F(SkinGaugeTest, APaintHandlerReplacesTheFilledPartAndTheText)
{
  auto* g = Gauge();
  TRect area{}, filled{};
  int calls = 0;
  g->OnGaugePaint = [&](TCanvas* C, TRect A, TRect F) {
    ++calls;
    area = A;
    filled = F;
    C->GetBrush()->SetColor(Yellow);
    C->FillRect(F);
  };
  auto shot = Snapshot(g);
  g->SetShowPercent(true);
  EXPECT_TRUE(Same(shot.get(), Snapshot(g).get())) << "no text";
  EXPECT_GE(calls, 1);
  EXPECT_EQ(Rect(2, 2, 98, 18), area);
  EXPECT_EQ(Rect(2, 2, 50, 18), filled);
  EXPECT_EQ(Yellow, BitmapPixel(shot.get(), 20, 8));
}

TEST_F(SkinGaugeTest, WithoutTheSkinSizeAGaugeKeepsAnySizeAndHasNoRegion)
{
  auto* g = new TskSkinGauge(Form);
  g->SetParent(Form);
  g->SetUseSkinSize(false);
  g->SetSkinDataName("fixed");
  g->SetBounds(10, 10, 80, 30);
  g->SetSkinData(Skin);
  EXPECT_EQ(80, g->GetWidth());
  EXPECT_EQ(30, g->GetHeight());
  EXPECT_EQ(nullptr, g->GetRegionHandle());
  g->SetValue(100);
  auto shot = Snapshot(g); // the 40 x 20 skin stretched over 80 x 30
  EXPECT_EQ(Grey, BitmapPixel(shot.get(), 1, 1));
  EXPECT_EQ(Red, BitmapPixel(shot.get(), 6, 15));
  // With the skin's size the fixed record sets the size.
  auto* sized = Gauge("fixed", 80, 30);
  EXPECT_EQ(40, sized->GetWidth());
  EXPECT_EQ(20, sized->GetHeight());
}

TEST_F(SkinGaugeTest, TheAnimationShowsItsFramesThenPausesOnTheTestClock)
{
  auto* g = Gauge("animated");
  g->SetValue(100);
  g->SetProgressAnimationPause(100);
  g->SetProgressAnimationPause(-1); // ignored
  EXPECT_EQ(100, g->GetProgressAnimationPause());
  Form->Show();
  Pump();
  g->StartProgressAnimation();
  auto colour = [&] { return BitmapPixel(Snapshot(g).get(), 50, 8); };
  EXPECT_EQ(0, g->GetFrameCounter());
  EXPECT_EQ(Green, colour()) << "the plain image before the first frame";
  const TColor frames[] = {Frame1, Frame2, Frame3};
  for (TColor f : frames) {
    Advance(30);
    EXPECT_EQ(f, colour());
  }
  Advance(30);
  EXPECT_EQ(0, g->GetFrameCounter()) << "the pause";
  EXPECT_EQ(Green, colour());
  Advance(60);
  EXPECT_EQ(Green, colour()) << "still pausing";
  Advance(40);
  Advance(30);
  EXPECT_EQ(Frame1, colour()) << "the next run";
  // A skin change keeps a running animation running; a stop ends it.
  g->ChangeSkinData();
  EXPECT_TRUE(g->AnimationRunning());
  g->StopProgressAnimation();
  EXPECT_FALSE(g->AnimationRunning());
  EXPECT_EQ(Green, colour());
}

TEST_F(SkinGaugeTest, NoAnimationWithoutARecordOrAStrip)
{
  auto* plain = Gauge("gauge");
  plain->StartProgressAnimation();
  EXPECT_FALSE(plain->AnimationRunning());
  auto* unskinned = Gauge(nullptr);
  unskinned->StartProgressAnimation();
  EXPECT_FALSE(unskinned->AnimationRunning());
}

TEST_F(SkinGaugeTest, ARecordOfAnotherKindIsPaintedAsAPlainFrame)
{
  auto* g = Gauge("button");
  g->SetShowPercent(true);
  Snapshot(g);
  EXPECT_EQ(50, g->GetValue());
}

TEST_F(SkinGaugeTest, DamagedRecordsAndOddSizesPaintWithoutFailing)
{
  const std::function<void(TskDataSkinGaugeControl*)> damages[] = {
      [](TskDataSkinGaugeControl*) {},
      [](TskDataSkinGaugeControl* r) { r->progressrect = Rect(0, 0, 0, 0); },
      [](TskDataSkinGaugeControl* r) { r->progressrect = Rect(50, 16, 40, 0); },
      [](TskDataSkinGaugeControl* r) { r->progressarea = Rect(0, 0, 0, 0); },
      [](TskDataSkinGaugeControl* r) {
        r->beginoffset = 30;
        r->endoffset = 40;
      },
      [](TskDataSkinGaugeControl* r) { r->pictureindex = 9; },
      [](TskDataSkinGaugeControl* r) { r->skinrect = Rect(500, 500, 540, 520); },
      [](TskDataSkinGaugeControl* r) {
        r->progressanimationcountframes = 0;
        r->progressanimationskinrect = Rect(60, 0, 90, 16);
      },
      [](TskDataSkinGaugeControl* r) {
        r->progressanimationcountframes = 1000;
        r->progressanimationtimerinterval = 1;
      },
  };
  const std::pair<int, int> sizes[] = {{0, 0}, {1, 1}, {3, 200}, {240, 70}};
  for (const auto& damage : damages) {
    TskSkinData* skin = NewSkin(Pictures(), Records());
    damage(SkinRecord<TskDataSkinGaugeControl>(skin, "animated"));
    for (bool useSkinSize : {true, false})
      for (auto [w, h] : sizes) {
        auto* g = new TskSkinGauge(Form);
        g->SetParent(Form);
        g->SetUseSkinSize(useSkinSize);
        g->SetSkinDataName("animated");
        g->SetBounds(0, 0, w, h);
        g->SetSkinData(skin);
        g->SetShowPercent(true);
        g->SetValue(70);
        g->StartProgressAnimation();
        Snapshot(g);
        Advance(40);
        Snapshot(g);
        g->SetMaxValue(-3);
        Snapshot(g);
        delete g;
      }
    delete skin;
  }
}

} // namespace
