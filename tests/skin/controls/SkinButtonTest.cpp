#include <gtest/gtest.h>

#include <functional>
#include <map>

#include "platform/vcl/EditCtrls.h"
#include "skin/controls/SkinButton.h"
#include "tests/skin/support/SkinTestSupport.h"

namespace {

constexpr TColor Red = 0x0000FF, Green = 0x00FF00, Blue = 0xFF0000, Grey = 0x808080, Yellow = 0x00FFFF;
constexpr TColor Frame1 = 0x000080, Frame2 = 0x008000, Frame3 = 0x800000, White = 0xFFFFFF, Black = 0;

// Picture 0: the state cells normal (0,0)-(40,20) red, active green, down blue, disabled grey,
// focused yellow side by side; below them a strip of three 40 x 20 animation frames. Pictures 1
// and 2: a glow picture and its mask.
std::vector<std::unique_ptr<TBitmap>> Pictures()
{
  std::vector<std::unique_ptr<TBitmap>> p;
  p.push_back(SolidPicture(200, 40, Black));
  const TColor cells[] = {Red, Green, Blue, Grey, Yellow};
  for (int i = 0; i < 5; ++i)
    FillArea(p[0].get(), Rect(40 * i, 0, 40 * i + 40, 20), cells[i]);
  const TColor frames[] = {Frame1, Frame2, Frame3};
  for (int i = 0; i < 3; ++i)
    FillArea(p[0].get(), Rect(40 * i, 20, 40 * i + 40, 40), frames[i]);
  p.push_back(SolidPicture(60, 40, White));
  p.push_back(SolidPicture(60, 40, Black));
  return p;
}

const char* const States =
    "pictureindex=0\nskinrect=0,0,40,20\nclientrect=2,2,38,18\nactiveskinrect=40,0,80,20\n"
    "downskinrect=80,0,120,20\nfontcolor=0\nactivefontcolor=255\ndownfontcolor=16711680\ndisabledfontcolor=0\n";

String Records()
{
  String s = "[SKINCONTROLS]\ncount=7\n0=button:button\n1=plain:button\n2=morph:button\n3=anim:button\n"
             "4=glow:button\n5=glownomask:button\n6=wide:button\n";
  s += String("[button]\n") + States + "disabledskinrect=120,0,160,20\nfocusedskinrect=160,0,200,20\n";
  s += "[plain]\npictureindex=0\nskinrect=0,0,40,20\nclientrect=2,2,38,18\nfontcolor=0\ndisabledfontcolor=0\n";
  s += String("[morph]\n") + States + "morphing=1\nmorphkind=mkdefault\n";
  s += String("[anim]\n") + States + "animateskinrect=0,20,120,40\nframecount=3\nanimateinterval=30\n";
  s += String("[glow]\n") + States + "glowlayerpictureindex=1\nglowlayermaskpictureindex=2\n";
  s += String("[glownomask]\n") + States + "glowlayerpictureindex=1\n";
  s += "[wide]\npictureindex=0\nskinrect=0,0,40,20\nlefttoppoint=4,4\nrighttoppoint=36,4\nleftbottompoint=4,16\n"
       "rightbottompoint=36,16\nclientrect=4,4,36,16\nactiveskinrect=40,0,80,20\n";
  return s;
}

class SkinButtonTest : public TSkinControlTest {
protected:
  void SetUp() override
  {
    TSkinControlTest::SetUp();
    Form = NewForm(100, 100, 400, 300);
    Skin = NewSkin(Pictures(), Records());
  }
  TskSkinButton* Button(const char* Record = "button", int X = 10, int Y = 10)
  {
    auto* b = new TskSkinButton(Form);
    b->SetParent(Form);
    b->SetBounds(X, Y, 75, 25);
    b->SetSkinDataName(Record);
    b->OnClick = [this, b](TObject* Sender) {
      EXPECT_EQ(b, Sender);
      ++Clicks[b];
    };
    if (Record)
      b->SetSkinData(Skin);
    return b;
  }
  TColor Centre(TskSkinButton* B) { return BitmapPixel(Snapshot(B).get(), B->GetWidth() - 3, 3); }
  void Press(TControl* C) { C->Perform(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5)); }
  void Release(TControl* C) { C->Perform(WM_LBUTTONUP, 0, MAKELPARAM(5, 5)); }
  void Key(unsigned VK)
  {
    Display()->InjectKey(VK, true);
    Display()->InjectKey(VK, false);
    Application->ProcessMessages();
  }
  void Advance(DWORD Ms)
  {
    Clock->Advance(Ms);
    Pump();
  }

  TForm* Form = nullptr;
  TskSkinData* Skin = nullptr;
  std::map<TskSkinButton*, int> Clicks;
};

TEST_F(SkinButtonTest, EachStateShowsItsPictureOfTheRecord)
{
  struct Case {
    const char* Name;
    const char* Record;
    std::function<void(TskSkinButton*)> Setup;
    TColor Expected;
  } const cases[] = {
      {"normal", "button", [](TskSkinButton*) {}, Red},
      {"hot", "button", [](TskSkinButton* b) { b->Perform(CM_MOUSEENTER, 0, 0); }, Green},
      {"hot, left again", "button",
       [](TskSkinButton* b) {
         b->Perform(CM_MOUSEENTER, 0, 0);
         b->Perform(CM_MOUSELEAVE, 0, 0);
       },
       Red},
      {"latched group button", "button",
       [](TskSkinButton* b) {
         b->SetGroupIndex(1);
         b->SetDown(true);
       },
       Blue},
      {"pressed", "button",
       [this](TskSkinButton* b) {
         b->Perform(CM_MOUSEENTER, 0, 0);
         Press(b);
       },
       Blue},
      {"down but not hot", "button", [](TskSkinButton* b) { b->SetDown(true); }, Red},
      {"disabled", "button", [](TskSkinButton* b) { b->SetEnabled(false); }, Grey},
      {"disabled without a disabled picture", "plain", [](TskSkinButton* b) { b->SetEnabled(false); }, Red},
      {"focused", "button",
       [this](TskSkinButton* b) {
         b->SetFocus();
         Pump();
       },
       Yellow},
      {"focused without a focused picture", "morph",
       [this](TskSkinButton* b) {
         b->GetSkinDataComponent()->EnableSkinEffects = false;
         b->SetFocus();
         Pump();
       },
       Green},
  };
  Form->Show();
  Pump();
  for (const Case& c : cases) {
    Skin->EnableSkinEffects = true;
    auto* b = Button(c.Record);
    c.Setup(b);
    EXPECT_EQ(c.Expected, Centre(b)) << c.Name;
    delete b;
  }
}

TEST_F(SkinButtonTest, TheCaptionColourFollowsTheState)
{
  auto* b = Button("plain");
  b->GetSkinData();
  EXPECT_EQ(DefaultDisabledFontColor, b->GetLook().DisabledFontColor) << "equal to the normal colour: grey";
  b->SetSkinDataName("button");
  b->GetSkinData();
  const TskButtonLook& look = b->GetLook();
  TFont font;
  font.SetColor(0x123456);
  struct Case {
    bool Enabled, UseSkinFontColor, Down, In;
    TColor Expected;
  } const cases[] = {
      {true, true, false, false, 0},        {true, true, false, true, 255},        {true, true, true, true, 16711680},
      {true, true, true, false, 0},         {false, true, false, false, 8421504},  {false, false, false, false, 8421504},
      {true, false, true, true, 0x123456},
  };
  for (const Case& c : cases)
    EXPECT_EQ(c.Expected, ButtonCaptionColor(look, c.Enabled, c.UseSkinFontColor, &font, c.Down, c.In));
}

TEST_F(SkinButtonTest, WithoutARecordTheDefaultLookShowsTheState)
{
  struct Case {
    const char* Name;
    std::function<void(TskSkinButton*)> Setup;
    TColor Fill, Frame;
  } const cases[] = {
      {"normal", [](TskSkinButton*) {}, ColorToRGB(clBtnFace), ColorToRGB(clBtnShadow)},
      {"hot", [](TskSkinButton* b) { b->Perform(CM_MOUSEENTER, 0, 0); }, DefaultHotFill, DefaultActiveFrame},
      {"latched", [](TskSkinButton* b) {
         b->SetGroupIndex(2);
         b->SetDown(true);
       },
       DefaultDownFill, DefaultActiveFrame},
  };
  for (const Case& c : cases) {
    auto* b = Button("none");
    c.Setup(b);
    auto image = Snapshot(b);
    EXPECT_EQ(c.Fill, BitmapPixel(image.get(), 70, 3)) << c.Name;
    EXPECT_EQ(c.Frame, BitmapPixel(image.get(), 0, 0)) << c.Name;
    EXPECT_EQ(75, b->GetWidth());
  }
}

TEST_F(SkinButtonTest, AClickNeedsTheReleaseInsideTheButton)
{
  Form->Show();
  auto* b = Button();
  Press(b);
  EXPECT_TRUE(b->GetDown());
  EXPECT_TRUE(b->Focused()) << "a press takes the focus";
  Release(b);
  EXPECT_FALSE(b->GetDown());
  EXPECT_EQ(1, Clicks[b]);

  Press(b);
  b->Perform(CM_MOUSELEAVE, 0, 0);
  Release(b);
  EXPECT_FALSE(b->GetDown());
  EXPECT_EQ(1, Clicks[b]) << "released outside: no click";
}

TEST_F(SkinButtonTest, GroupButtonsLatchAndReleaseEachOther)
{
  Form->Show();
  auto* a = Button("button", 10, 10);
  auto* b = Button("button", 100, 10);
  auto* other = Button("button", 200, 10);
  for (auto* x : {a, b})
    x->SetGroupIndex(1);
  other->SetGroupIndex(2);
  other->SetDown(true);
  EXPECT_FALSE(a->GetCanFocused());

  Press(a);
  EXPECT_EQ(1, Clicks[a]) << "a group button clicks on the press";
  Release(a);
  EXPECT_EQ(1, Clicks[a]);
  EXPECT_TRUE(a->GetDown());
  Press(b);
  Release(b);
  EXPECT_TRUE(b->GetDown());
  EXPECT_FALSE(a->GetDown());
  EXPECT_TRUE(other->GetDown()) << "another group is left alone";

  // Pressing a down button again releases it only with AllowAllUp.
  b->Perform(CM_MOUSEENTER, 0, 0);
  Press(b);
  Release(b);
  EXPECT_TRUE(b->GetDown());
  EXPECT_EQ(1, Clicks[b]);
  b->SetAllowAllUp(true);
  Press(b);
  Release(b);
  EXPECT_FALSE(b->GetDown());
  EXPECT_EQ(2, Clicks[b]);
}

TEST_F(SkinButtonTest, RepeatModeClicksOnTheClockWhileHeldInside)
{
  Form->Show();
  auto* b = Button();
  b->SetRepeatMode(true);
  b->SetRepeatInterval(100);
  b->Perform(CM_MOUSEENTER, 0, 0);
  Press(b);
  Advance(499);
  EXPECT_EQ(0, Clicks[b]);
  Advance(1); // the first tick only switches to the repeat rate
  EXPECT_EQ(0, Clicks[b]);
  Advance(100);
  EXPECT_EQ(1, Clicks[b]);
  Advance(100);
  EXPECT_EQ(2, Clicks[b]);
  b->Perform(CM_MOUSELEAVE, 0, 0);
  Advance(1000);
  EXPECT_EQ(2, Clicks[b]) << "leaving pauses the repeating";
  b->Perform(CM_MOUSEENTER, 0, 0);
  Advance(500);
  Advance(100);
  EXPECT_EQ(3, Clicks[b]) << "re-entering resumes it";
  Release(b);
  EXPECT_EQ(4, Clicks[b]) << "the release adds one";
  Advance(1000);
  EXPECT_EQ(4, Clicks[b]);
}

TEST_F(SkinButtonTest, DefaultAndCancelAnswerEnterAndEscape)
{
  auto* edit = new TEdit(Form);
  edit->SetParent(Form);
  edit->SetBounds(10, 100, 100, 22);
  auto* ok = Button("button", 10, 10);
  ok->SetCanFocused(true);
  ok->SetDefault(true);
  ok->SetModalResult(mrOk);
  auto* cancel = Button("button", 100, 10);
  cancel->SetCancel(true);
  cancel->SetModalResult(mrCancel);
  auto* other = Button("button", 200, 10);
  Form->Show();
  edit->SetFocus();
  Pump();
  EXPECT_TRUE(ok->GetActiveDefault());
  EXPECT_TRUE(ok->GetMouseIn()) << "the default button is highlighted while an edit has the focus";
  EXPECT_EQ(Green, Centre(ok));

  Key(VK_RETURN);
  EXPECT_EQ(1, Clicks[ok]);
  EXPECT_EQ(mrOk, Form->GetModalResult());
  Key(VK_ESCAPE);
  EXPECT_EQ(1, Clicks[cancel]);
  EXPECT_EQ(mrCancel, Form->GetModalResult());

  Display()->InjectKey(VK_CONTROL, true);
  Key(VK_ESCAPE);
  Display()->InjectKey(VK_CONTROL, false);
  Application->ProcessMessages();
  EXPECT_EQ(1, Clicks[cancel]) << "Escape with Ctrl held";

  other->SetFocus();
  Pump();
  EXPECT_FALSE(ok->GetActiveDefault());
  EXPECT_FALSE(ok->GetMouseIn()) << "another skinned button took the focus";
  Key(VK_RETURN);
  EXPECT_EQ(1, Clicks[ok]);
  EXPECT_EQ(1, Clicks[other]);
}

TEST_F(SkinButtonTest, SpaceLatchesOnPressAndClicksOnRelease)
{
  auto* b = Button();
  Form->Show();
  b->SetFocus();
  Pump();
  Display()->InjectKey(VK_SPACE, true);
  Application->ProcessMessages();
  EXPECT_TRUE(b->GetDown());
  EXPECT_EQ(0, Clicks[b]);
  Display()->InjectKey(VK_SPACE, false);
  Application->ProcessMessages();
  EXPECT_FALSE(b->GetDown());
  EXPECT_EQ(1, Clicks[b]);
}

TEST_F(SkinButtonTest, TheAcceleratorClicksAFocusableButton)
{
  auto* b = Button();
  b->SetCaption("&Go");
  auto* locked = Button("button", 100, 10);
  locked->SetCaption("&Stop");
  locked->SetCanFocused(false);
  Form->Show();
  Pump();
  Form->Perform(CM_DIALOGCHAR, 'g', 0);
  Form->Perform(CM_DIALOGCHAR, 's', 0);
  EXPECT_EQ(1, Clicks[b]);
  EXPECT_EQ(0, Clicks[locked]);
}

TEST_F(SkinButtonTest, AButtonFreedByItsOwnClickIsLeftAlone)
{
  Form->Show();
  auto* b = Button();
  bool freed = false;
  b->OnClick = [&](TObject* Sender) {
    delete static_cast<TskSkinButton*>(Sender);
    freed = true;
  };
  b->Perform(CM_MOUSEENTER, 0, 0);
  Press(b);
  HWND form = Form->GetHandle();
  SendMessageA(form, WM_NULL, 0, 0);
  Release(b);
  EXPECT_TRUE(freed);
  EXPECT_EQ(0, Form->GetControlCount());
}

TEST_F(SkinButtonTest, MorphingFadesInFiveStepsOnTheClock)
{
  Form->Show();
  auto* b = Button("morph");
  b->Perform(CM_MOUSEENTER, 0, 0);
  EXPECT_TRUE(b->GetMorphRunning());
  const double expected[] = {0.2, 0.4, 0.6, 0.8, 1.0};
  for (double e : expected) {
    Advance(20);
    EXPECT_NEAR(e, b->GetMorphFactor(), 1e-9);
  }
  // Half way the picture lies between the two looks.
  b->Perform(CM_MOUSELEAVE, 0, 0);
  Advance(20);
  Advance(20);
  Advance(20); // 0.4
  const TColor mixed = BitmapPixel(Snapshot(b).get(), 20, 3);
  EXPECT_NEAR(0.6 * 255, mixed & 0xFF, 2);
  EXPECT_NEAR(0.4 * 255, (mixed >> 8) & 0xFF, 2);
  Advance(20);
  Advance(20);
  Advance(20);
  EXPECT_EQ(0.0, b->GetMorphFactor());
  EXPECT_FALSE(b->GetMorphRunning());

  // A press stops the fade and shows the down picture at once.
  b->Perform(CM_MOUSEENTER, 0, 0);
  Advance(20);
  Press(b);
  EXPECT_FALSE(b->GetMorphRunning());
  EXPECT_EQ(Blue, Centre(b));

  // Without skin effects there is no fade.
  Release(b);
  Skin->EnableSkinEffects = false;
  auto* still = Button("morph", 100, 10);
  still->Perform(CM_MOUSEENTER, 0, 0);
  EXPECT_FALSE(still->GetMorphRunning());
  EXPECT_EQ(Green, Centre(still));
}

TEST_F(SkinButtonTest, TheFrameAnimationPlaysTheStripForwardAndBack)
{
  Form->Show();
  auto* b = Button("anim");
  b->Perform(CM_MOUSEENTER, 0, 0);
  EXPECT_TRUE(b->GetAnimation().Running());
  EXPECT_EQ(Frame1, Centre(b));
  Advance(30);
  EXPECT_EQ(Frame2, Centre(b));
  Advance(30);
  EXPECT_EQ(Frame3, Centre(b));
  Advance(30);
  EXPECT_FALSE(b->GetAnimation().Running());
  EXPECT_EQ(Green, Centre(b));
  b->Perform(CM_MOUSELEAVE, 0, 0);
  EXPECT_EQ(Frame3, Centre(b));
  Advance(30);
  EXPECT_EQ(Frame2, Centre(b));
  Advance(30);
  EXPECT_EQ(Frame1, Centre(b));
  Advance(30);
  EXPECT_FALSE(b->GetAnimation().Running());
  EXPECT_EQ(Red, Centre(b));

  // A zero frame count plays nothing.
  SkinRecord<TskDataSkinButtonControl>(Skin, "anim")->framecount = 0;
  auto* none = Button("anim", 100, 10);
  none->Perform(CM_MOUSEENTER, 0, 0);
  EXPECT_FALSE(none->GetAnimation().Running());
}

TEST_F(SkinButtonTest, TheGlowFrameShowsOnEnterWhenTheSkinOrTheButtonAsksForIt)
{
  Form->Show();
  Skin->ShowButtonGlowFrames = false;
  struct Case {
    const char* Record;
    bool Always, Shown;
  } const cases[] = {{"glow", true, true}, {"glow", false, false}, {"glownomask", true, false}, {"button", true, false}};
  int x = 10;
  for (const Case& c : cases) {
    auto* b = Button(c.Record, x, 10);
    x += 90;
    b->SetAlwaysShowLayeredFrame(c.Always);
    b->Perform(CM_MOUSEENTER, 0, 0);
    Pump();
    EXPECT_EQ(c.Shown, b->GetLayerManager()->GetShown()) << c.Record << " " << c.Always;
    b->Perform(CM_MOUSELEAVE, 0, 0);
    Pump();
    EXPECT_FALSE(b->GetLayerManager()->GetShown()) << c.Record;
  }
}

TEST_F(SkinButtonTest, WithoutSkinSizeAFixedRecordIsStretchedToTheButton)
{
  auto* b = Button("plain");
  EXPECT_EQ(40, b->GetWidth());
  b->SetUseSkinSize(false);
  b->SetBounds(0, 0, 120, 50);
  EXPECT_EQ(120, b->GetWidth());
  EXPECT_EQ(50, b->GetHeight());
  auto image = Snapshot(b);
  EXPECT_EQ(Red, BitmapPixel(image.get(), 115, 45));

  auto* wide = Button("wide");
  wide->SetBounds(0, 0, 150, 20);
  EXPECT_EQ(150, wide->GetWidth());
  EXPECT_EQ(Red, BitmapPixel(Snapshot(wide).get(), 140, 10));
}

TEST_F(SkinButtonTest, CreationDefaults)
{
  auto* b = new TskSkinButton(Form);
  EXPECT_EQ("button", b->GetSkinDataName());
  EXPECT_EQ(75, b->GetWidth());
  EXPECT_EQ(25, b->GetHeight());
  EXPECT_EQ(1, b->GetSpacing());
  EXPECT_EQ(-1, b->GetMargin());
  EXPECT_EQ(-1, b->GetImageIndex());
  EXPECT_TRUE(b->GetCanFocused());
  b->SetMargin(-5);
  EXPECT_EQ(-1, b->GetMargin());
  delete b;
}

} // namespace

namespace {

// The program's controls skin: each state shows its cell of the skin's picture.
TEST_F(SkinButtonTest, TheProgramsSkinShowsItsStatePictures)
{
  TskSkinData* skin = BuiltinSkinData(Holder, TBuiltinSkin::bsControls);
  auto* record = SkinRecord<TskDataSkinButtonControl>(skin, "button");
  ASSERT_NE(nullptr, record);
  TBitmap* picture = skin->ActivePictures[static_cast<std::size_t>(record->pictureindex)];
  struct Case {
    const char* Name;
    std::function<void(TskSkinButton*)> Setup;
    TRect Cell;
  } const cases[] = {
      {"normal", [](TskSkinButton*) {}, record->skinrect},
      {"hot", [](TskSkinButton* b) { b->Perform(CM_MOUSEENTER, 0, 0); }, record->activeskinrect},
      {"pressed", [](TskSkinButton* b) {
         b->SetGroupIndex(1);
         b->SetDown(true);
       },
       record->downskinrect},
      {"disabled", [](TskSkinButton* b) { b->SetEnabled(false); }, record->disabledskinrect},
  };
  for (const Case& c : cases) {
    auto* b = new TskSkinButton(Form);
    b->SetParent(Form);
    b->SetSkinData(skin);
    b->SetBounds(0, 0, RectWidth(record->skinrect), RectHeight(record->skinrect));
    c.Setup(b);
    auto image = Snapshot(b);
    for (auto [x, y] : {std::pair{12, 12}, std::pair{1, 1}, std::pair{0, 12}, std::pair{20, 22}})
      EXPECT_EQ(BitmapPixel(picture, c.Cell.left + x, c.Cell.top + y), BitmapPixel(image.get(), x, y))
          << c.Name << " at " << x << "," << y;
    delete b;
  }
}

} // namespace
