#include <gtest/gtest.h>

#include <functional>

#include "skin/controls/SkinControl.h"
#include "skin/controls/SkinSpeedButton.h"
#include "tests/skin/support/SkinTestSupport.h"

namespace {

constexpr TColor Red = 0x0000FF, Green = 0x00FF00, Blue = 0xFF0000, Grey = 0x808080, Black = 0;
constexpr TColor Background = 0x336699;

// Picture 0: normal red, active green, down blue, disabled grey, 30 x 30 each.
std::vector<std::unique_ptr<TBitmap>> Pictures()
{
  std::vector<std::unique_ptr<TBitmap>> p;
  p.push_back(SolidPicture(120, 30, Black));
  const TColor cells[] = {Red, Green, Blue, Grey};
  for (int i = 0; i < 4; ++i)
    FillArea(p[0].get(), Rect(30 * i, 0, 30 * i + 30, 30), cells[i]);
  return p;
}

const char* const Records =
    "[SKINCONTROLS]\ncount=1\n0=toolbutton:button\n"
    "[toolbutton]\npictureindex=0\nskinrect=0,0,30,30\nclientrect=2,2,28,28\nactiveskinrect=30,0,60,30\n"
    "downskinrect=60,0,90,30\ndisabledskinrect=90,0,120,30\nmorphing=1\n";

// A container offering its image lists to the speed buttons on it, as the skinned tool bar does.
class TImageBar : public TskSkinCustomControl, public TskToolBarImageSource {
public:
  using TskSkinCustomControl::TskSkinCustomControl;
  TCustomImageList* GetImages() const override { return Images; }
  TCustomImageList* GetHotImages() const override { return Hot; }
  TCustomImageList* GetDisabledImages() const override { return Disabled; }
  TCustomImageList *Images = nullptr, *Hot = nullptr, *Disabled = nullptr;
};

// A 16 x 16 image list with one image of Color.
TCustomImageList* ImageList(TComponent* Owner, TColor Color)
{
  auto* list = new TCustomImageList(Owner);
  list->SetWidth(16);
  list->SetHeight(16);
  auto image = SolidPicture(16, 16, Color);
  list->Add(image.get(), nullptr);
  return list;
}

class SkinSpeedButtonTest : public TSkinControlTest {
protected:
  void SetUp() override
  {
    TSkinControlTest::SetUp();
    Form = NewForm(100, 100, 400, 300);
    Form->SetColor(Background);
    Skin = NewSkin(Pictures(), Records);
  }
  TskSkinSpeedButton* Button(bool Skinned = true, TWinControl* Parent = nullptr)
  {
    auto* b = new TskSkinSpeedButton(Form);
    b->SetParent(Parent ? Parent : Form);
    b->SetBounds(10, 10, 30, 30);
    b->OnClick = [this, b](TObject*) { ++Clicks[b]; };
    if (Skinned)
      b->SetSkinData(Skin);
    return b;
  }
  void Press(TControl* C) { C->Perform(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5)); }
  void Release(TControl* C) { C->Perform(WM_LBUTTONUP, 0, MAKELPARAM(5, 5)); }

  TForm* Form = nullptr;
  TskSkinData* Skin = nullptr;
  std::map<TskSkinSpeedButton*, int> Clicks;
};

TEST_F(SkinSpeedButtonTest, CreationDefaults)
{
  auto* b = new TskSkinSpeedButton(Form);
  EXPECT_EQ("toolbutton", b->GetSkinDataName());
  EXPECT_EQ(25, b->GetWidth());
  EXPECT_EQ(25, b->GetHeight());
  EXPECT_EQ(0, b->GetImageIndex());
  EXPECT_EQ(1, b->GetSpacing());
  EXPECT_EQ(csCaptureMouse | csOpaque | csDoubleClicks, b->GetControlStyle());
  b->SetFlat(true);
  EXPECT_EQ(0u, b->GetControlStyle() & csOpaque);
}

TEST_F(SkinSpeedButtonTest, EachStateShowsItsPicture)
{
  struct Case {
    const char* Name;
    std::function<void(TskSkinSpeedButton*)> Setup;
    TColor Expected;
  } const cases[] = {
      {"normal", [](TskSkinSpeedButton*) {}, Red},
      {"hot", [](TskSkinSpeedButton* b) { b->Perform(CM_MOUSEENTER, 0, 0); }, Green},
      {"pressed", [this](TskSkinSpeedButton* b) {
         b->Perform(CM_MOUSEENTER, 0, 0);
         Press(b);
       },
       Blue},
      {"latched in a group", [](TskSkinSpeedButton* b) {
         b->SetGroupIndex(3);
         b->SetDown(true);
       },
       Blue},
      {"disabled", [](TskSkinSpeedButton* b) { b->SetEnabled(false); }, Grey},
  };
  Skin->EnableSkinEffects = false;
  for (const Case& c : cases) {
    auto* b = Button();
    c.Setup(b);
    EXPECT_EQ(c.Expected, BitmapPixel(Snapshot(b).get(), 15, 15)) << c.Name;
  }
}

TEST_F(SkinSpeedButtonTest, AFlatButtonShowsOnlyItsContentUntilTheMouseEnters)
{
  auto* b = Button();
  b->SetFlat(true);
  b->SetCaption("");
  auto* plain = Button(false);
  plain->SetLeft(60);
  plain->SetFlat(true);
  plain->SetCaption("");
  Form->Show();
  Pump();
  EXPECT_EQ(Background, Pixel(Form, 25, 25));
  EXPECT_EQ(Background, Pixel(Form, 75, 25));
  b->Perform(CM_MOUSEENTER, 0, 0);
  EXPECT_FALSE(b->GetMorphRunning()) << "flat buttons do not fade";
  plain->Perform(CM_MOUSEENTER, 0, 0);
  Pump();
  EXPECT_EQ(Green, Pixel(Form, 25, 25));
  EXPECT_EQ(DefaultHotFill, Pixel(Form, 75, 25));
}

TEST_F(SkinSpeedButtonTest, ANonFlatButtonFadesOnTheClock)
{
  Form->Show();
  auto* b = Button();
  b->Perform(CM_MOUSEENTER, 0, 0);
  EXPECT_TRUE(b->GetMorphRunning());
  for (int i = 0; i < 5; ++i) {
    Clock->Advance(20);
    Pump();
  }
  EXPECT_EQ(1.0, b->GetMorphFactor());
  EXPECT_EQ(Green, BitmapPixel(Snapshot(b).get(), 15, 15));
}

TEST_F(SkinSpeedButtonTest, OnAToolBarItUsesTheBarsImageLists)
{
  auto* bar = new TImageBar(Form);
  bar->SetParent(Form);
  bar->SetBounds(0, 0, 300, 40);
  bar->Images = ImageList(Holder, 0x112233);
  bar->Hot = ImageList(Holder, 0x445566);
  bar->Disabled = ImageList(Holder, 0x778899);
  auto* b = Button(false, bar);
  b->SetCaption("");
  EXPECT_EQ(0x112233u, BitmapPixel(Snapshot(b).get(), 15, 15));
  b->Perform(CM_MOUSEENTER, 0, 0);
  EXPECT_EQ(0x445566u, BitmapPixel(Snapshot(b).get(), 15, 15));
  b->Perform(CM_MOUSELEAVE, 0, 0);
  b->SetEnabled(false);
  EXPECT_EQ(0x778899u, BitmapPixel(Snapshot(b).get(), 15, 15)) << "drawn as enabled";
}

TEST_F(SkinSpeedButtonTest, ShowCaptionTakesThePresetWidthsOnlyWhenBothAreSet)
{
  auto* b = Button(false);
  b->SetBounds(0, 0, 80, 25);
  b->SetWidthWithCaption(80);
  b->SetShowCaption(false);
  EXPECT_EQ(80, b->GetWidth());
  b->SetShowCaption(true);
  b->SetWidthWithoutCaption(24);
  b->SetShowCaption(false);
  EXPECT_EQ(24, b->GetWidth());
  b->SetShowCaption(true);
  EXPECT_EQ(80, b->GetWidth());
}

TEST_F(SkinSpeedButtonTest, TheAcceleratorClicksOnlyAnEnabledVisibleButtonOnAShowingParent)
{
  auto* b = Button();
  b->SetCaption("&Browse");
  struct Case {
    bool Shown, Enabled, Visible;
    int Clicks;
  } const cases[] = {{false, true, true, 0}, {true, true, true, 1}, {true, false, true, 0}, {true, true, false, 0}};
  for (const Case& c : cases) {
    if (c.Shown)
      Form->Show();
    b->SetEnabled(c.Enabled);
    b->SetVisible(c.Visible);
    Clicks[b] = 0;
    b->Perform(CM_DIALOGCHAR, 'b', 0);
    EXPECT_EQ(c.Clicks, Clicks[b]) << c.Shown << c.Enabled << c.Visible;
  }
}

TEST_F(SkinSpeedButtonTest, ClicksGroupsAndRepeat)
{
  auto* b = Button();
  b->Perform(CM_MOUSEENTER, 0, 0);
  Press(b);
  EXPECT_EQ(0, Clicks[b]);
  Release(b);
  EXPECT_EQ(1, Clicks[b]);
  Press(b);
  b->Perform(CM_MOUSELEAVE, 0, 0);
  Release(b);
  EXPECT_EQ(1, Clicks[b]);
  EXPECT_FALSE(b->GetDown());

  auto* x = Button();
  auto* y = Button();
  x->SetGroupIndex(4);
  y->SetGroupIndex(4);
  Press(x);
  Release(x);
  EXPECT_EQ(1, Clicks[x]);
  Press(y);
  Release(y);
  EXPECT_TRUE(y->GetDown());
  EXPECT_FALSE(x->GetDown());

  auto* r = Button();
  r->SetRepeatMode(true);
  r->Perform(CM_MOUSEENTER, 0, 0);
  Press(r);
  Clock->Advance(500);
  Pump();
  Clock->Advance(100);
  Pump();
  EXPECT_EQ(1, Clicks[r]);
  Release(r);
  EXPECT_EQ(2, Clicks[r]);
}

TEST_F(SkinSpeedButtonTest, AButtonFreedInsideItsOwnClickDoesNotCrash)
{
  Form->Show();
  auto* b = Button();
  b->OnClick = [](TObject* Sender) { delete static_cast<TskSkinSpeedButton*>(Sender); };
  // Through the form, as the window system delivers a click on a graphic control.
  const TPoint origin = Form->ClientToScreen(Point(15, 15));
  Display()->InjectMouseMove(origin.x, origin.y);
  Pump();
  Display()->InjectButton(origin.x, origin.y, 1, true);
  Pump();
  Display()->InjectButton(origin.x, origin.y, 1, false);
  Pump();
  EXPECT_EQ(0, Form->GetControlCount());
}

} // namespace
