#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "skin/controls/SkinResizedButton.h"
#include "skin/input/SkinUpDown.h"
#include "tests/skin/support/SkinTestSupport.h"

namespace {

constexpr TColor Red = 0x0000FF, Green = 0x00FF00, Blue = 0xFF0000, Grey = 0x808080, Yellow = 0x00FFFF;
constexpr TColor White = 0xFFFFFF, Black = 0, Navy = 0x800000, Maroon = 0x000080;

// Picture 0: a horizontal up-down at rest (0,0)-(40,20), down button red, up button blue; the hot
// up button yellow at (0,20), the pressed one white at (20,20). A button record's normal picture
// green at (40,0)-(60,20) and its hot picture grey at (40,20)-(60,40), both with a 4-pixel black
// edge.
std::vector<std::unique_ptr<TBitmap>> Pictures()
{
  std::vector<std::unique_ptr<TBitmap>> p;
  p.push_back(SolidPicture(60, 40, Black));
  FillArea(p[0].get(), Rect(0, 0, 20, 20), Red);
  FillArea(p[0].get(), Rect(20, 0, 40, 20), Blue);
  FillArea(p[0].get(), Rect(0, 20, 20, 40), Yellow);
  FillArea(p[0].get(), Rect(20, 20, 40, 40), White);
  FillArea(p[0].get(), Rect(44, 4, 56, 16), Green);
  FillArea(p[0].get(), Rect(44, 24, 56, 36), Grey);
  return p;
}

const char* const Records =
    "[SKINCONTROLS]\ncount=3\n0=hupdown:updown\n1=resizebutton:button\n2=flatbutton:button\n"
    "[hupdown]\npictureindex=0\nskinrect=0,0,40,20\nupbuttonrect=20,0,40,20\nactiveupbuttonrect=0,20,20,40\n"
    "downupbuttonrect=20,20,40,40\ndownbuttonrect=0,0,20,20\nlefttoppoint=5,5\nrightbottompoint=9,9\n"
    "[resizebutton]\npictureindex=0\nskinrect=40,0,60,20\nactiveskinrect=40,20,60,40\n"
    "lefttoppoint=4,4\nrighttoppoint=16,4\nleftbottompoint=4,16\nrightbottompoint=16,16\nclientrect=4,4,16,16\n"
    "leftstretch=1\ntopstretch=1\nrightstretch=1\nbottomstretch=1\nstretcheffect=1\n"
    "fontcolor=16711680\nactivefontcolor=128\ndownfontcolor=8388608\n"
    "[flatbutton]\npictureindex=0\nskinrect=40,0,60,20\n";

class SkinUpDownTest : public TSkinPointerTest {
protected:
  // An unskinned up-down of W x H at (10, 10) on the shown form; logs OnChange and the button
  // events.
  TskSkinUpDown* UpDown(TUDOrientation Orientation = udHorizontal, int W = 40, int H = 20)
  {
    auto* u = new TskSkinUpDown(Form);
    u->SetParent(Form);
    u->SetOrientation(Orientation);
    u->SetBounds(10, 10, W, H);
    u->OnChange = [this, u](TObject*) { Log.push_back("change " + std::to_string(u->GetPosition())); };
    u->OnUpButtonClick = [this](TObject*) { Log.push_back("up"); };
    u->OnDownButtonClick = [this](TObject*) { Log.push_back("down"); };
    Form->Show();
    Pump();
    return u;
  }
};

TEST_F(SkinUpDownTest, PositionOutsideTheLimitsIsIgnoredAndEveryAcceptedSetFires)
{
  auto* u = UpDown();
  u->SetPosition(150);
  EXPECT_EQ(0, u->GetPosition());
  EXPECT_EQ("", Events());
  u->SetPosition(50);
  u->SetPosition(50);
  EXPECT_EQ("change 50; change 50", Events());
  u->SetMax(5);
  EXPECT_EQ(5, u->GetPosition());
  u->SetMin(8);
  EXPECT_EQ(8, u->GetPosition());
  EXPECT_EQ("", Events()) << "the limits pull Position in silently";
}

TEST_F(SkinUpDownTest, ButtonsSplitTheControlByOrientation)
{
  struct {
    const char* Name;
    TUDOrientation Orientation;
    int W, H;
    const char *Up, *Down;
  } const cases[] = {
      {"horizontal: down on the left", udHorizontal, 40, 20, "20,0,40,20", "0,0,20,20"},
      {"vertical: up on top", udVertical, 20, 41, "0,0,20,20", "0,20,20,41"},
  };
  for (const auto& c : cases) {
    auto* u = UpDown(c.Orientation, c.W, c.H);
    EXPECT_EQ(c.Up, RectText(u->GetButtonRect(0))) << c.Name;
    EXPECT_EQ(c.Down, RectText(u->GetButtonRect(1))) << c.Name;
    delete u;
  }
  auto* u = UpDown();
  Move(u, 20, 5);
  EXPECT_EQ(0, u->GetActiveButton()) << "the shared column belongs to the up button";
  Move(u, 19, 5);
  EXPECT_EQ(1, u->GetActiveButton());
}

TEST_F(SkinUpDownTest, HoldingTheUpButtonStepsOnTheClockAndOnceMoreOnRelease)
{
  auto* u = UpDown();
  Move(u, 30, 10);
  Down(u, 30, 10);
  EXPECT_EQ("", Events()) << "the press itself steps nothing";
  Advance(500);
  EXPECT_EQ("", Events()) << "the first tick only switches to the repeat rate";
  Advance(99);
  EXPECT_EQ("", Events());
  Advance(1);
  Advance(100);
  EXPECT_EQ("change 1; change 2", Events());
  Move(u, 100, 10);
  Advance(500);
  EXPECT_EQ("", Events()) << "off the button the repeat pauses";
  Move(u, 30, 10);
  Advance(50);
  Advance(50);
  EXPECT_EQ("change 3; change 4", Events()) << "back on it the repeat resumes every 50 ms";
  Up(u, 30, 10);
  EXPECT_EQ("change 5; up", Events());
  Advance(1000);
  EXPECT_EQ("", Events());
  EXPECT_EQ(0, u->GetTimerMode());
}

TEST_F(SkinUpDownTest, ReleasingOffThePressedButtonStillSteps)
{
  auto* u = UpDown();
  u->SetPosition(10);
  Events();
  Move(u, 5, 10);
  Down(u, 5, 10);
  Move(u, 200, 100);
  Up(u, 200, 100);
  EXPECT_EQ("change 9; down", Events());
}

TEST_F(SkinUpDownTest, IncrementZeroOnlyRaisesTheButtonEvents)
{
  auto* u = UpDown();
  u->SetIncrement(0);
  Move(u, 30, 10);
  Down(u, 30, 10);
  Advance(2000);
  Up(u, 30, 10);
  Move(u, 5, 10);
  Down(u, 5, 10);
  Up(u, 5, 10);
  EXPECT_EQ("up; down", Events());
  EXPECT_EQ(0, u->GetPosition());
}

TEST_F(SkinUpDownTest, StepsBeyondTheLimitsAreIgnored)
{
  auto* u = UpDown();
  u->SetMax(2);
  u->SetIncrement(2);
  u->SetPosition(1);
  Events();
  Move(u, 30, 10);
  Down(u, 30, 10);
  Advance(500);
  Advance(300);
  Up(u, 30, 10);
  EXPECT_EQ("up", Events());
  EXPECT_EQ(1, u->GetPosition());
}

TEST_F(SkinUpDownTest, DefaultLookShowsTheButtonStates)
{
  auto* u = UpDown();
  EXPECT_EQ(ColorToRGB(clBtnFace), ColorToRGB(BitmapPixel(Snapshot(u).get(), 22, 3)));
  EXPECT_EQ(ColorToRGB(clBtnShadow), ColorToRGB(BitmapPixel(Snapshot(u).get(), 20, 3)));
  Move(u, 30, 10);
  EXPECT_EQ(0xD2BDB6, ColorToRGB(BitmapPixel(Snapshot(u).get(), 22, 3)));
  EXPECT_EQ(Navy, BitmapPixel(Snapshot(u).get(), 20, 3));
  Down(u, 30, 10);
  EXPECT_EQ(0xB59385, ColorToRGB(BitmapPixel(Snapshot(u).get(), 22, 3)));
  EXPECT_EQ(ColorToRGB(clBtnFace), ColorToRGB(BitmapPixel(Snapshot(u).get(), 2, 3))) << "the other stays normal";
  Up(u, 30, 10);
}

TEST_F(SkinUpDownTest, SkinnedLookCopiesTheStatePicturesOntoTheButtons)
{
  TskSkinData* skin = NewSkin(Pictures(), Records);
  auto* u = UpDown(udHorizontal, 70, 30);
  u->SetSkinData(skin);
  EXPECT_EQ(40, u->GetWidth()) << "the skin's size";
  EXPECT_EQ(20, u->GetHeight());
  auto shot = Snapshot(u);
  EXPECT_EQ(Red, BitmapPixel(shot.get(), 5, 10));
  EXPECT_EQ(Blue, BitmapPixel(shot.get(), 30, 10));
  Move(u, 30, 10);
  EXPECT_EQ(Yellow, BitmapPixel(Snapshot(u).get(), 30, 10));
  Down(u, 30, 10);
  EXPECT_EQ(White, BitmapPixel(Snapshot(u).get(), 30, 10));
  Up(u, 30, 10);
}

TEST_F(SkinUpDownTest, WithoutSkinSizeTheButtonsAreResizedButtons)
{
  TskSkinData* skin = NewSkin(Pictures(), Records);
  auto* u = UpDown(udHorizontal, 80, 30);
  u->SetUseSkinSize(false);
  u->SetSkinData(skin);
  EXPECT_EQ(80, u->GetWidth());
  EXPECT_EQ("40,0,80,30", RectText(u->GetButtonRect(0)));
  auto shot = Snapshot(u);
  EXPECT_EQ(Green, BitmapPixel(shot.get(), 8, 6)) << "the centre grows";
  EXPECT_EQ(Black, BitmapPixel(shot.get(), 41, 1)) << "the corners stay";
  Move(u, 45, 6);
  EXPECT_EQ(Grey, BitmapPixel(Snapshot(u).get(), 45, 6));
}

TEST_F(SkinUpDownTest, ResizedButtonPicksThePictureAndArrowColourByState)
{
  TskSkinData* skin = NewSkin(Pictures(), Records);
  struct {
    const char* Name;
    TskResizedButtonState State;
    TColor Face, Arrow;
  } const cases[] = {
      {"normal", TskResizedButtonState::Normal, Green, Blue},
      {"hot", TskResizedButtonState::Hot, Grey, Maroon},
      {"pressed falls back to the hot picture", TskResizedButtonState::Pressed, Grey, Navy},
  };
  for (const auto& c : cases) {
    auto b = SolidPicture(60, 30, Yellow);
    ASSERT_TRUE(DrawResizedButton(skin, "resizebutton", b->GetCanvas(), Rect(10, 5, 50, 25), c.State, 4)) << c.Name;
    EXPECT_EQ(Yellow, BitmapPixel(b.get(), 5, 5)) << c.Name << ": nothing outside the target";
    EXPECT_EQ(Black, BitmapPixel(b.get(), 11, 6)) << c.Name;
    EXPECT_EQ(c.Face, BitmapPixel(b.get(), 16, 10)) << c.Name;
    int arrow = 0;
    for (int y = 5; y < 25; ++y)
      for (int x = 10; x < 50; ++x)
        arrow += BitmapPixel(b.get(), x, y) == c.Arrow;
    EXPECT_GT(arrow, 3) << c.Name;
  }
  auto b = SolidPicture(60, 30, Yellow);
  EXPECT_FALSE(DrawResizedButton(skin, "editbutton", b->GetCanvas(), Rect(10, 5, 50, 25),
                                 TskResizedButtonState::Normal, 4));
  EXPECT_FALSE(DrawResizedButton(nullptr, "resizebutton", b->GetCanvas(), Rect(10, 5, 50, 25),
                                 TskResizedButtonState::Normal, 4));
  EXPECT_FALSE(DrawResizedButton(skin, "hupdown", b->GetCanvas(), Rect(10, 5, 50, 25),
                                 TskResizedButtonState::Normal, 4))
      << "not a button record";
  EXPECT_EQ(Yellow, BitmapPixel(b.get(), 30, 15)) << "a missing record draws nothing";
  EXPECT_TRUE(DrawResizedButton(skin, "flatbutton", b->GetCanvas(), Rect(10, 5, 10, 25),
                                TskResizedButtonState::Hot, 4));
  DrawBlankResizedButton(b->GetCanvas(), Rect(10, 5, 50, 25));
  EXPECT_EQ(White, BitmapPixel(b.get(), 30, 15));
}

TEST_F(SkinUpDownTest, AMissingResizeButtonRecordLeavesBlankButtons)
{
  TskSkinData* skin = NewSkin(Pictures(), "[SKINCONTROLS]\ncount=1\n0=hupdown:updown\n"
                                          "[hupdown]\npictureindex=0\nskinrect=0,0,40,20\n");
  auto* u = UpDown(udHorizontal, 80, 30);
  u->SetUseSkinSize(false);
  u->SetSkinData(skin);
  EXPECT_EQ(White, BitmapPixel(Snapshot(u).get(), 60, 15));
}

}  // namespace
