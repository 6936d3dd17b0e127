#include <gtest/gtest.h>

#include <functional>

#include "skin/controls/SkinGauge.h"
#include "skin/controls/SkinPanel.h"
#include "skin/controls/SkinStatusBar.h"
#include "tests/skin/support/SkinTestSupport.h"

namespace {

constexpr TColor Red = 0x0000FF, Green = 0x00FF00, Grey = 0x808080, White = 0xFFFFFF, Black = 0;
constexpr TColor Yellow = 0x00FFFF, Magenta = 0xFF00FF;

// Picture 0: a 40 x 40 panel frame (0,0)-(40,40): grey edges 5 wide (a 15-pixel caption band at
// the top), a green client part (5,15)-(35,35); a red 12 x 12 gripper at (40,0) on magenta;
// check images (60,0)-(72,12) yellow and (72,0)-(84,12) white, each in a magenta ring (the
// bottom-left pixel gives the transparent colour).
std::vector<std::unique_ptr<TBitmap>> Pictures()
{
  std::vector<std::unique_ptr<TBitmap>> p;
  p.push_back(SolidPicture(100, 40, Black));
  FillArea(p[0].get(), Rect(0, 0, 40, 40), Grey);
  FillArea(p[0].get(), Rect(5, 15, 35, 35), Green);
  FillArea(p[0].get(), Rect(40, 0, 52, 12), Magenta);
  FillArea(p[0].get(), Rect(44, 4, 52, 12), Red);
  FillArea(p[0].get(), Rect(60, 0, 84, 12), Magenta);
  FillArea(p[0].get(), Rect(61, 1, 71, 11), Yellow);
  FillArea(p[0].get(), Rect(73, 1, 83, 11), White);
  return p;
}

const char* const Frame = "pictureindex=0\nskinrect=0,0,40,40\nlefttoppoint=5,15\nrighttoppoint=35,15\n"
                          "leftbottompoint=5,35\nrightbottompoint=35,35\nclientrect=5,15,35,35\n"
                          "captionrect=5,0,35,15\nfontcolor=0\ncheckimagerect=60,0,72,12\n"
                          "uncheckimagerect=72,0,84,12\n";

String Records()
{
  String s = "[SKINCONTROLS]\ncount=6\n0=panel:panel\n1=groupbox:panel\n2=statusbar:panel\n3=bgpanel:panel\n"
             "4=emptyclient:panel\n5=gauge:gauge\n";
  s += String("[panel]\n") + Frame;
  s += String("[groupbox]\n") + Frame;
  s += String("[statusbar]\n") + Frame + "gripperrect=40,0,52,12\ngrippertransparent=1\n"
                                         "grippertransparentcolor=16711935\n";
  s += String("[bgpanel]\n") + Frame + "bgpictureindex=0\n";
  s += "[emptyclient]\npictureindex=0\nskinrect=0,0,40,40\nlefttoppoint=5,15\nrighttoppoint=35,15\n"
       "leftbottompoint=5,35\nrightbottompoint=35,35\n";
  s += "[gauge]\npictureindex=0\nskinrect=0,0,40,40\nclientrect=5,15,35,35\n";
  return s;
}

class SkinPanelTest : public TSkinControlTest {
protected:
  void SetUp() override
  {
    TSkinControlTest::SetUp();
    Form = NewForm(100, 100, 500, 400);
    Skin = NewSkin(Pictures(), Records());
  }
  template <typename T = TskSkinPanel>
  T* Panel(const char* Record, int W = 150, int H = 200)
  {
    auto* p = new T(Form);
    p->SetParent(Form);
    p->SetBounds(10, 10, W, H);
    if (Record) {
      p->SetSkinDataName(Record);
      p->SetSkinData(Skin);
    }
    return p;
  }
  template <typename T>
  T* Child(TWinControl* Parent, int Y)
  {
    auto* c = new T(Form);
    c->SetParent(Parent);
    c->SetBounds(10, Y, 50, 20);
    return c;
  }
  void ClickAt(TControl* C, int X, int Y)
  {
    C->Perform(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(X, Y));
    C->Perform(WM_LBUTTONUP, 0, MAKELPARAM(X, Y));
  }

  TForm* Form = nullptr;
  TskSkinData* Skin = nullptr;
};

TEST_F(SkinPanelTest, CheckedFiresOnEveryAssignmentAndEnablesTheChildrenInCheckedMode)
{
  struct Case {
    const char* Name;
    bool CheckedMode, AutoEnabled;
    bool ChildEnabledAfterUncheck;
  } const cases[] = {
      {"checked mode", true, true, false},
      {"checked mode without auto-enabling", true, false, true},
      {"plain panel", false, true, true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.Name);
    auto* p = Panel<TskSkinPanel>(nullptr);
    auto* child = Child<TskSkinGauge>(p, 30);
    p->SetCheckedMode(c.CheckedMode);
    p->SetAutoEnabledControls(c.AutoEnabled);
    int events = 0;
    p->OnChecked = [&](TObject* Sender) {
      EXPECT_EQ(p, Sender);
      ++events;
    };
    p->SetChecked(false);
    p->SetChecked(false);
    EXPECT_EQ(2, events) << "also when nothing changes";
    EXPECT_EQ(c.ChildEnabledAfterUncheck, child->GetEnabled());
    p->SetChecked(true);
    EXPECT_EQ(3, events);
    EXPECT_TRUE(child->GetEnabled());
    delete p;
  }
}

TEST_F(SkinPanelTest, TheClientRectangleFollowsTheLook)
{
  struct Case {
    const char* Name;
    const char* Record;
    std::function<void(TskSkinPanel*)> Setup;
    TRect Expected;  // for a 150 x 200 panel
  } const cases[] = {
      {"unskinned caption, no border", nullptr,
       [](TskSkinPanel* p) {
         p->SetCaptionMode(true);
         p->SetBorderStyle(TskSkinBorderStyle::bvNone);
       },
       Rect(0, 22, 150, 200)},
      {"unskinned caption, frame", nullptr, [](TskSkinPanel* p) { p->SetCaptionMode(true); }, Rect(1, 23, 149, 199)},
      {"unskinned, raised", nullptr, [](TskSkinPanel* p) { p->SetBorderStyle(TskSkinBorderStyle::bvRaised); },
       Rect(1, 1, 149, 199)},
      {"skinned", "panel", [](TskSkinPanel*) {}, Rect(5, 15, 145, 195)},
      {"skinned, transparent", "panel", [](TskSkinPanel* p) { p->SetTransparentMode(true); }, Rect(2, 2, 148, 198)},
      {"skinned, no border", "panel", [](TskSkinPanel* p) { p->SetBorderStyle(TskSkinBorderStyle::bvNone); },
       Rect(0, 0, 150, 200)},
      {"skinned, background picture", "bgpanel", [](TskSkinPanel*) {}, Rect(0, 0, 150, 200)},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.Name);
    auto* p = Panel<TskSkinPanel>(c.Record);
    c.Setup(p);
    EXPECT_EQ(c.Expected, p->GetAdjustedClientRect());
    delete p;
  }
}

TEST_F(SkinPanelTest, ATransparentGroupBoxLeavesRoomForItsCaptionText)
{
  auto* p = Panel<TskSkinGroupBox>("groupbox");
  p->SetCaption("Crop");
  p->SetTransparentMode(true);
  const TRect r = p->GetAdjustedClientRect();
  EXPECT_EQ(2, r.left);
  EXPECT_GT(r.top, 10);
  EXPECT_LT(r.top, 20);
  Snapshot(p);
}

TEST_F(SkinPanelTest, ARollUpLeavesTheFrameAndARollDownGivesBackSizeConstraintsAndVisibility)
{
  auto* p = Panel<TskSkinGroupBox>("groupbox", 150, 200);
  p->SetRollUpMode(true);
  p->GetConstraints()->SetMinHeight(120);
  p->GetConstraints()->SetMaxWidth(300);
  auto* shown = Child<TskSkinGauge>(p, 20);
  auto* hidden = Child<TskSkinGauge>(p, 50);
  hidden->SetVisible(false);
  std::vector<bool> events;
  p->OnChangeRollUpState = [&](TObject*) { events.push_back(p->GetRollUpState()); };

  p->SetRollUpState(true);
  EXPECT_EQ(20, p->GetHeight()) << "200 less the 180-pixel client part";
  EXPECT_EQ(200, p->GetRealHeight());
  EXPECT_FALSE(shown->GetVisible());
  EXPECT_FALSE(hidden->GetVisible());
  EXPECT_EQ(0, p->GetConstraints()->GetMinHeight()) << "lifted while rolled up";

  p->SetRollUpState(false);
  EXPECT_EQ(200, p->GetHeight());
  EXPECT_EQ(-1, p->GetRealHeight());
  EXPECT_TRUE(shown->GetVisible());
  EXPECT_FALSE(hidden->GetVisible()) << "a child hidden before stays hidden";
  EXPECT_EQ(120, p->GetConstraints()->GetMinHeight());
  EXPECT_EQ(300, p->GetConstraints()->GetMaxWidth());
  EXPECT_EQ((std::vector<bool>{true, false}), events);

  // A second round keeps them too.
  p->SetRollUpState(true);
  p->SetRollUpState(false);
  EXPECT_EQ(120, p->GetConstraints()->GetMinHeight());
  EXPECT_EQ(200, p->GetHeight());
}

TEST_F(SkinPanelTest, AnUnskinnedRollUpLeavesTheCaptionBar)
{
  auto* p = Panel<TskSkinGroupBox>(nullptr, 150, 200);
  p->SetRollUpMode(true);
  p->SetRollUpState(true);
  EXPECT_EQ(23, p->GetHeight());
  // A skin change while rolled up rolls it to the new skin's frame.
  p->SetSkinData(Skin);
  EXPECT_EQ(20, p->GetHeight());
  EXPECT_EQ(200, p->GetRealHeight());
  p->SetRollUpState(false);
  EXPECT_EQ(200, p->GetHeight());
}

TEST_F(SkinPanelTest, TheRollUpStateNeedsRollUpModeAndLeavingTheModeRollsDown)
{
  auto* p = Panel<TskSkinGroupBox>("groupbox", 150, 200);
  auto* child = Child<TskSkinGauge>(p, 20);
  p->SetRollUpState(true);
  EXPECT_FALSE(p->GetRollUpState()) << "not in roll-up mode";
  EXPECT_EQ(200, p->GetHeight());
  p->SetRollUpMode(true);
  p->SetRollUpState(true);
  ASSERT_EQ(20, p->GetHeight());
  int events = 0;
  p->OnChangeRollUpState = [&](TObject*) { ++events; };
  p->SetRollUpMode(false);
  p->SetRollUpState(false);
  EXPECT_FALSE(p->GetRollUpState());
  EXPECT_EQ(200, p->GetHeight()) << "not left collapsed";
  EXPECT_TRUE(child->GetVisible());
  EXPECT_EQ(1, events);
}

TEST_F(SkinPanelTest, AClickOnTheCaptionTogglesTheCheckAndTheRollUp)
{
  auto* p = Panel<TskSkinGroupBox>(nullptr, 150, 200);
  p->SetRollUpMode(true);
  p->SetCheckedMode(true);
  Form->Show();
  Pump();
  ClickAt(p, 50, 60); // below the caption bar
  EXPECT_FALSE(p->GetChecked());
  EXPECT_FALSE(p->GetRollUpState());
  ClickAt(p, 50, 10);
  EXPECT_TRUE(p->GetChecked());
  EXPECT_TRUE(p->GetRollUpState());
  ClickAt(p, 50, 10);
  EXPECT_FALSE(p->GetChecked());
  EXPECT_FALSE(p->GetRollUpState());
  EXPECT_EQ(200, p->GetHeight());
}

TEST_F(SkinPanelTest, TheSkinnedLooks)
{
  struct Case {
    const char* Name;
    const char* Record;
    std::function<void(TskSkinPanel*)> Setup;
    TPoint At;
    TColor Expected;
  } const cases[] = {
      {"frame", "panel", [](TskSkinPanel*) {}, Point(2, 2), Grey},
      {"client part", "panel", [](TskSkinPanel*) {}, Point(70, 100), Green},
      {"no border: only the tiled client part", "panel",
       [](TskSkinPanel* p) { p->SetBorderStyle(TskSkinBorderStyle::bvNone); }, Point(1, 1), Green},
      {"no border, blended: tiled too", "panel",
       [](TskSkinPanel* p) {
         p->SetBorderStyle(TskSkinBorderStyle::bvNone);
         p->SetAlphaBlend(true);
         p->SetAlphaBlendValue(255);
       },
       Point(149, 199), Green},
      {"checked caption", "groupbox",
       [](TskSkinPanel* p) {
         p->SetCaption("Box");
         p->SetCheckedMode(true);
         p->SetChecked(true);
       },
       Point(10, 7), Yellow},
      {"unchecked caption", "groupbox",
       [](TskSkinPanel* p) {
         p->SetCaption("Box");
         p->SetCheckedMode(true);
       },
       Point(10, 7), White},
      {"unskinned frame", nullptr, [](TskSkinPanel*) {}, Point(0, 100), ColorToRGB(clBtnShadow)},
      {"unskinned face", nullptr, [](TskSkinPanel*) {}, Point(70, 100), ColorToRGB(clBtnFace)},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.Name);
    auto* p = Panel<TskSkinPanel>(nullptr);
    if (c.Record) {
      p->SetSkinDataName(c.Record);
      p->SetSkinData(Skin);
    }
    c.Setup(p);
    Form->Show();
    Pump();
    EXPECT_EQ(c.Expected, BitmapPixel(Snapshot(p).get(), c.At.x, c.At.y));
    delete p;
  }
}

TEST_F(SkinPanelTest, APaintPanelLetsItsOwnerPaintTheClientArea)
{
  for (const char* record : {"panel", static_cast<const char*>(nullptr)}) {
    SCOPED_TRACE(record ? record : "unskinned");
    auto* p = Panel<TskSkinPaintPanel>(record);
    TRect given{};
    p->OnPanelPaint = [&](TCanvas* C, TRect R) {
      given = R;
      C->GetBrush()->SetColor(Magenta);
      C->FillRect(R);
    };
    auto shot = Snapshot(p);
    EXPECT_EQ(p->GetAdjustedClientRect(), given);
    EXPECT_EQ(Magenta, BitmapPixel(shot.get(), given.left + 3, given.top + 3));
    delete p;
  }
}

TEST_F(SkinPanelTest, DamagedRecordsAndOddSizesPaintWithoutFailing)
{
  const std::function<void(TskSkinPanel*)> looks[] = {
      [](TskSkinPanel*) {},
      [](TskSkinPanel* p) { p->SetBorderStyle(TskSkinBorderStyle::bvNone); },
      [](TskSkinPanel* p) {
        p->SetCaptionMode(true);
        p->SetRollUpMode(true);
        p->SetCheckedMode(true);
        p->SetCaption("Caption");
      },
      [](TskSkinPanel* p) { p->SetTransparentMode(true); },
      [](TskSkinPanel* p) {
        p->SetTransparentMode(true);
        p->SetCaptionMode(true);
        p->SetRollUpMode(true);
      },
  };
  const std::pair<int, int> sizes[] = {{0, 0}, {1, 1}, {3, 200}, {240, 70}};
  for (const char* record : {"emptyclient", "bgpanel", "panel"})
    for (const auto& look : looks)
      for (auto [w, h] : sizes) {
        TskSkinData* skin = NewSkin(Pictures(), Records());
        if (std::string(record) == "bgpanel")
          SkinRecord<TskDataSkinPanelControl>(skin, record)->bgpictureindex = 42;
        if (std::string(record) == "panel")
          SkinRecord<TskDataSkinPanelControl>(skin, record)->pictureindex = -7;
        auto* p = new TskSkinPanel(Form);
        p->SetParent(Form);
        p->SetSkinDataName(record);
        look(p);
        p->SetBounds(0, 0, w, h);
        p->SetSkinData(skin);
        Snapshot(p);
        p->SetRollUpState(true);
        Snapshot(p);
        delete p;
        delete skin;
      }
}

class SkinStatusBarTest : public SkinPanelTest {
protected:
  TskSkinStatusBar* Bar(const char* Record)
  {
    auto* b = new TskSkinStatusBar(Form);
    b->SetParent(Form);
    if (Record)
      b->SetSkinData(Skin);
    Form->Show();
    Pump();
    return b;
  }
  LRESULT HitTest(TskSkinStatusBar* B, int X, int Y)
  {
    const TPoint p = B->ClientToScreen(Point(X, Y));
    return B->Perform(WM_NCHITTEST, 0, MAKELPARAM(p.x, p.y));
  }
};

TEST_F(SkinStatusBarTest, TheBarSitsAtTheBottom)
{
  auto* b = Bar(nullptr);
  EXPECT_EQ(alBottom, b->GetAlign());
  EXPECT_EQ(21, b->GetHeight());
  EXPECT_EQ(500, b->GetWidth());
  EXPECT_EQ(TskSkinBorderStyle::bvNone, b->GetBorderStyle());
  EXPECT_FALSE(b->GetSizeGrip());
}

TEST_F(SkinStatusBarTest, TheGripAnswersTheHitTestOnlyInsideItsRectangle)
{
  struct Case {
    const char* Name;
    const char* Record;
    TRect Grip;    // for a 500 x 21 bar
    TRect Client;
  } const cases[] = {
      {"skinned with a gripper picture", "statusbar", Rect(488, 9, 500, 21), Rect(0, 0, 488, 21)},
      {"unskinned", nullptr, Rect(481, 0, 500, 19), Rect(0, 0, 479, 21)},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.Name);
    auto* b = Bar(c.Record);
    b->SetSizeGrip(true);
    Form->Show();
    Pump();
    EXPECT_EQ(c.Client, b->GetAdjustedClientRect());
    EXPECT_EQ(c.Grip, b->GetGripRect());
    EXPECT_EQ(HTBOTTOMRIGHT, HitTest(b, c.Grip.left + 1, c.Grip.bottom - 2));
    EXPECT_EQ(HTBOTTOMRIGHT, HitTest(b, c.Grip.right - 1, c.Grip.top));
    EXPECT_EQ(HTCLIENT, HitTest(b, c.Grip.left - 1, c.Grip.bottom - 2));
    EXPECT_EQ(HTCLIENT, HitTest(b, 10, 10));
    b->SetGripEnabled(false); // the form is maximised
    EXPECT_EQ(Rect(0, 0, 500, 21), b->GetAdjustedClientRect());
    EXPECT_EQ(HTCLIENT, HitTest(b, c.Grip.left + 1, c.Grip.bottom - 2));
    b->SetGripEnabled(true);
    b->SetSizeGrip(false);
    EXPECT_EQ(HTCLIENT, HitTest(b, c.Grip.left + 1, c.Grip.bottom - 2)) << "the class library's answer";
    delete b;
  }
}

TEST_F(SkinStatusBarTest, TheGripIsTheSkinsPictureOrDiagonalLines)
{
  auto* skinned = Bar("statusbar");
  skinned->SetSizeGrip(true);
  auto shot = Snapshot(skinned);
  EXPECT_EQ(Red, BitmapPixel(shot.get(), 495, 17)) << "the gripper picture";
  EXPECT_EQ(Green, BitmapPixel(shot.get(), 490, 10)) << "its magenta is transparent";
  delete skinned;
  auto* plain = Bar(nullptr);
  plain->SetSizeGrip(true);
  shot = Snapshot(plain);
  const TRect grip = plain->GetGripRect();
  int shadow = 0;
  for (int y = grip.top; y < grip.bottom; ++y)
    for (int x = grip.left; x < grip.right; ++x)
      shadow += BitmapPixel(shot.get(), x, y) == ColorToRGB(clBtnShadow);
  EXPECT_GT(shadow, 10);
}

TEST_F(SkinStatusBarTest, DraggingTheGripSizesTheForm)
{
  auto* b = Bar("statusbar");
  b->SetSizeGrip(true);
  Form->Show();
  Pump();
  const TPoint start = b->ClientToScreen(Point(495, 17));
  Display()->InjectMouseMove(start.x, start.y);
  Display()->InjectButton(start.x, start.y, 1, true);
  Display()->InjectMouseMove(start.x + 40, start.y + 30);
  Display()->InjectButton(start.x + 40, start.y + 30, 1, false);
  Pump();
  EXPECT_EQ(540, Form->GetWidth());
  EXPECT_EQ(430, Form->GetHeight());
  EXPECT_EQ(540, b->GetWidth()) << "the bar follows its form";
}

TEST_F(SkinStatusBarTest, ANewSkinIsHandedToTheSkinnedChildren)
{
  auto* b = Bar(nullptr);
  auto* gauge = Child<TskSkinGauge>(b, 0);
  b->SetSkinData(Skin);
  EXPECT_EQ(Skin, gauge->GetSkinDataComponent());
}

} // namespace
