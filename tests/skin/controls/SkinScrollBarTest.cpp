#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "skin/controls/SkinScrollBar.h"
#include "skin/foundation/SkinDrawUtils.h"
#include "tests/skin/support/SkinTestSupport.h"

namespace {

constexpr TColor Red = 0x0000FF, Green = 0x00FF00, Blue = 0xFF0000, Grey = 0x808080, Yellow = 0x00FFFF;
constexpr TColor White = 0xFFFFFF, Black = 0;

// Picture 0: a horizontal bar at rest (0,0)-(60,20): left button red, track green, right button
// blue. Below it the hot right button yellow (0,20)-(20,40), the pressed one white (20,20)-(40,40)
// and a 10 x 14 grey thumb at (40,20).
std::vector<std::unique_ptr<TBitmap>> Pictures()
{
  std::vector<std::unique_ptr<TBitmap>> p;
  p.push_back(SolidPicture(60, 40, Black));
  FillArea(p[0].get(), Rect(0, 0, 20, 20), Red);
  FillArea(p[0].get(), Rect(20, 0, 40, 20), Green);
  FillArea(p[0].get(), Rect(40, 0, 60, 20), Blue);
  FillArea(p[0].get(), Rect(0, 20, 20, 40), Yellow);
  FillArea(p[0].get(), Rect(20, 20, 40, 40), White);
  FillArea(p[0].get(), Rect(40, 20, 50, 34), Grey);
  return p;
}

const char* const Records =
    "[SKINCONTROLS]\ncount=2\n0=hscrollbar:scrollbar\n1=notabar:button\n"
    "[hscrollbar]\npictureindex=0\nskinrect=0,0,60,20\nlefttoppoint=20,0\nrighttoppoint=39,0\n"
    "clientrect=20,0,40,20\nleftstretch=1\nrightstretch=1\nstretcheffect=1\ntrackarea=20,0,40,20\n"
    "upbuttonrect=40,0,60,20\nactiveupbuttonrect=0,20,20,40\ndownupbuttonrect=20,20,40,40\n"
    "downbuttonrect=0,0,20,20\nthumbrect=40,20,50,34\n"
    "[notabar]\npictureindex=0\nskinrect=0,0,60,20\n";

class SkinScrollBarTest : public TSkinPointerTest {
protected:
  // An unskinned bar of W x H on the shown form that logs its events.
  TskSkinScrollBar* Bar(TskScrollBarKind Kind = sbHorizontal, int W = 200, int H = 19)
  {
    auto* b = new TskSkinScrollBar(Form);
    b->SetParent(Form);
    b->SetKind(Kind);
    b->SetBounds(10, 10, W, H);
    b->OnChange = [this, b](TObject*) { Log.push_back("change " + std::to_string(b->GetPosition())); };
    b->OnLastChange = [this](TObject*) { Log.push_back("last"); };
    b->OnPageUp = [this](TObject*) { Log.push_back("pageup"); };
    b->OnPageDown = [this](TObject*) { Log.push_back("pagedown"); };
    Form->Show();
    Pump();
    return b;
  }
};

TEST_F(SkinScrollBarTest, PositionsAreClampedToTheRangeLessThePage)
{
  struct {
    const char* Name;
    int Min, Max, Page, Asked, Expected;
  } const cases[] = {
      {"inside, no page", 0, 100, 0, 40, 40},
      {"above, no page", 0, 100, 0, 150, 100},
      {"below", 10, 100, 0, -5, 10},
      {"above, with a page", 0, 99, 10, 95, 90},
      {"last position with a page", 0, 99, 10, 90, 90},
      {"empty range", 0, 0, 0, 7, 0},
      {"page larger than the range stays at Min", 5, 9, 20, 8, 5},
      {"negative range", -50, -10, 0, 0, -10},
  };
  auto* b = Bar();
  for (const auto& c : cases) {
    b->SetRange(c.Min, c.Max, 0, c.Page);
    b->SetPosition(c.Asked);
    EXPECT_EQ(c.Expected, b->GetPosition()) << c.Name;
    b->SetRange(c.Min, c.Max, c.Asked, c.Page);
    EXPECT_EQ(c.Expected, b->GetPosition()) << c.Name << " (SetRange)";
    b->SetPositionSilent(c.Asked);
    EXPECT_EQ(c.Expected, b->GetPosition()) << c.Name << " (silent)";
  }
}

TEST_F(SkinScrollBarTest, OnlySetPositionRaisesOnChangeAndOnlyOnAChange)
{
  auto* b = Bar();
  b->SetRange(0, 100, 30, 0);
  b->SetPositionSilent(40);
  EXPECT_EQ("", Events());
  b->SetPosition(40);
  EXPECT_EQ("", Events()) << "the same value";
  b->SetPosition(41);
  b->SetPosition(500);
  b->SetPosition(500);
  EXPECT_EQ("change 41; change 100", Events());
}

TEST_F(SkinScrollBarTest, RangeSettersKeepThePositionValid)
{
  auto* b = Bar();
  b->SetRange(0, 100, 80, 0);
  b->SetMax(50);
  EXPECT_EQ(50, b->GetPosition());
  b->SetMin(60);
  EXPECT_EQ(60, b->GetPosition());
  b->SetRange(0, 100, 95, 0);
  b->SetPageSize(10);
  EXPECT_EQ(0, b->GetPageSize()) << "95 + 10 leaves the range: the old page size stays";
  b->SetPageSize(6);
  EXPECT_EQ(6, b->GetPageSize());
  b->SetMax(50);
  EXPECT_EQ(45, b->GetPosition());
  EXPECT_EQ("", Events()) << "the property setters raise no event";
}

TEST_F(SkinScrollBarTest, DefaultLookPlacesButtonsTrackAndThumb)
{
  struct {
    const char* Name;
    TskScrollBarKind Kind;
    int Min, Max, Page, Position;
    const char *Down, *Up, *Track, *Thumb;
  } const cases[] = {
      {"horizontal at Min", sbHorizontal, 0, 100, 0, 0, "1,1,17,18", "183,1,199,18", "17,1,183,18", "17,1,33,18"},
      {"horizontal half way", sbHorizontal, 0, 100, 0, 50, "1,1,17,18", "183,1,199,18", "17,1,183,18",
       "92,1,108,18"},
      {"horizontal at Max", sbHorizontal, 0, 100, 0, 100, "1,1,17,18", "183,1,199,18", "17,1,183,18",
       "167,1,183,18"},
      {"empty range: thumb at the start", sbHorizontal, 0, 0, 0, 0, "1,1,17,18", "183,1,199,18", "17,1,183,18",
       "17,1,33,18"},
      {"page of a fifth", sbHorizontal, 0, 99, 20, 80, "1,1,17,18", "183,1,199,18", "17,1,183,18",
       "151,1,183,18"},
      {"page beyond the range fills the track", sbHorizontal, 0, 9, 20, 0, "1,1,17,18", "183,1,199,18",
       "17,1,183,18", "17,1,183,18"},
      {"vertical half way", sbVertical, 0, 100, 0, 50, "1,1,18,17", "1,183,18,199", "1,17,18,183",
       "1,92,18,108"},
      {"vertical page beyond the range", sbVertical, 0, 9, 20, 0, "1,1,18,17", "1,183,18,199", "1,17,18,183",
       "1,17,18,183"},
  };
  for (const auto& c : cases) {
    auto* b = c.Kind == sbHorizontal ? Bar(sbHorizontal, 200, 19) : Bar(sbVertical, 19, 200);
    b->SetRange(c.Min, c.Max, c.Position, c.Page);
    b->LayoutItems();
    EXPECT_EQ(c.Down, RectText(b->GetItemRect(TskSkinScrollBar::siDownButton))) << c.Name;
    EXPECT_EQ(c.Up, RectText(b->GetItemRect(TskSkinScrollBar::siUpButton))) << c.Name;
    EXPECT_EQ(c.Track, RectText(b->GetTrackRect())) << c.Name;
    EXPECT_EQ(c.Thumb, RectText(b->GetItemRect(TskSkinScrollBar::siThumb))) << c.Name;
    delete b;
  }
}

TEST_F(SkinScrollBarTest, TheThumbNeverLeavesTheTrack)
{
  auto* b = Bar(sbHorizontal, 60, 19);
  for (int page : {0, 1, 5, 50, 1000})
    for (int max : {0, 3, 10, 1000})
      for (int pos : {-5, 0, 2, 999, 5000}) {
        b->SetRange(0, max, pos, page);
        b->LayoutItems();
        const TRect& t = b->GetItemRect(TskSkinScrollBar::siThumb);
        EXPECT_GE(t.left, b->GetTrackRect().left) << page << " " << max << " " << pos;
        EXPECT_LE(t.right, b->GetTrackRect().right) << page << " " << max << " " << pos;
      }
  b->SetBounds(10, 10, 20, 19);  // narrower than its two buttons
  b->SetRange(0, 10, 5, 3);
  b->LayoutItems();
  EXPECT_LE(RectWidth(b->GetItemRect(TskSkinScrollBar::siThumb)), 0);
}

TEST_F(SkinScrollBarTest, BothLeavesTheCornerMarkerEmptyWithoutASkin)
{
  auto* b = Bar();
  b->SetBothMarkerWidth(19);
  b->SetBoth(true);
  b->LayoutItems();
  EXPECT_EQ("164,1,180,18", RectText(b->GetItemRect(TskSkinScrollBar::siUpButton)));
  EXPECT_EQ(ColorToRGB(clBtnFace), ColorToRGB(BitmapPixel(Snapshot(b).get(), 198, 9)))
      << "no button frame in the marker";
  b->SetBothMarkerWidth(-3);
  EXPECT_EQ(19, b->GetBothMarkerWidth());
  EXPECT_EQ("bothhscrollbar", b->GetSkinDataName());
  b->SetBoth(false);
  EXPECT_EQ("hscrollbar", b->GetSkinDataName());
}

TEST_F(SkinScrollBarTest, HoldingTheUpButtonRepeatsOnTheClock)
{
  auto* b = Bar();
  b->SetRange(0, 100, 0, 0);
  Move(b, 190, 9);
  Down(b, 190, 9);
  EXPECT_EQ("change 1", Events()) << "one step at the press";
  Advance(499);
  EXPECT_EQ("", Events());
  Advance(1);
  EXPECT_EQ("", Events()) << "the first tick only switches to the repeat rate";
  Advance(50);
  Advance(50);
  EXPECT_EQ("change 2; change 3", Events());
  Move(b, 100, 9);
  Advance(500);
  EXPECT_EQ("", Events()) << "off the button the repeat pauses";
  Move(b, 190, 9);
  Advance(50);
  EXPECT_EQ("change 4", Events()) << "back on it resumes at the fast rate";
  Up(b, 190, 9);
  Advance(500);
  EXPECT_EQ("", Events());
  EXPECT_EQ(TskSkinScrollBar::rmNone, b->GetRepeatMode());
}

TEST_F(SkinScrollBarTest, AnAssignedButtonEventReplacesTheStep)
{
  auto* b = Bar();
  b->SetRange(0, 100, 50, 0);
  int ups = 0, downs = 0;
  b->OnUpButtonClick = [&](TObject*) { ++ups; };
  b->OnDownButtonClick = [&](TObject*) { ++downs; };
  Move(b, 190, 9);
  Down(b, 190, 9);
  Advance(500);
  Advance(50);
  Up(b, 190, 9);
  Move(b, 5, 9);
  Down(b, 5, 9);
  Up(b, 5, 9);
  EXPECT_EQ(2, ups);
  EXPECT_EQ(1, downs);
  EXPECT_EQ(50, b->GetPosition());
  EXPECT_EQ("", Events());
}

TEST_F(SkinScrollBarTest, HeldPagingStopsWhenTheThumbReachesThePointer)
{
  auto* b = Bar();
  b->SetRange(0, 100, 0, 0);
  b->SetLargeChange(10);
  Move(b, 120, 9);
  Down(b, 120, 9);
  EXPECT_EQ("change 10; pagedown", Events()) << "the page event follows its step";
  Advance(500);
  for (int i = 0; i < 10; ++i)
    Advance(50);
  EXPECT_EQ(60, b->GetPosition()) << "the thumb (107..123) now covers the pointer";
  EXPECT_EQ(TskSkinScrollBar::rmNone, b->GetRepeatMode());
  Up(b, 120, 9);

  Move(b, 20, 9);
  Down(b, 20, 9);
  EXPECT_EQ(50, b->GetPosition());
  Move(b, 20, 100);  // below the bar
  Advance(1000);
  EXPECT_EQ(50, b->GetPosition()) << "leaving the bar stops the paging";
  Up(b, 20, 9);
}

TEST_F(SkinScrollBarTest, DraggingTheThumbFollowsThePointerAndEndsWithLastChange)
{
  auto* b = Bar();
  b->SetRange(0, 150, 0, 0);
  Move(b, 25, 9);
  Down(b, 25, 9);
  EXPECT_TRUE(b->GetDragging());
  Move(b, 75, 9);
  Move(b, 75, 9);
  Move(b, 400, 9);
  Move(b, -300, 9);
  Up(b, -300, 9);
  EXPECT_EQ("change 50; change 150; change 0; last", Events());
  EXPECT_FALSE(b->GetDragging());

  Button(b, 25, 9, 3, true);
  Move(b, 75, 9);
  Button(b, 75, 9, 3, false);
  EXPECT_EQ("", Events()) << "the right button neither drags nor steps";
}

TEST_F(SkinScrollBarTest, DragWithAPageUsesTheFreeTravel)
{
  auto* b = Bar();
  b->SetRange(0, 99, 0, 50);  // positions 0..50, thumb 83 long
  b->LayoutItems();
  const TRect t = b->GetItemRect(TskSkinScrollBar::siThumb);
  Move(b, t.left + 5, 9);
  Down(b, t.left + 5, 9);
  const int end = t.left + 5 + (b->GetTravelEnd() - b->GetTravelStart());
  Move(b, end, 9);
  Up(b, end, 9);
  EXPECT_EQ(50, b->GetPosition());
}

TEST_F(SkinScrollBarTest, ArrowKeysAndWheelStepOnlyAFocusableBar)
{
  auto* b = Bar();
  b->SetRange(0, 100, 50, 0);
  b->Perform(WM_KEYDOWN, VK_RIGHT, 0);
  EXPECT_EQ(50, b->GetPosition());
  b->SetCanFocused(true);
  EXPECT_TRUE(b->GetTabStop());
  b->SetFocus();
  Pump();
  b->Perform(WM_KEYDOWN, VK_RIGHT, 0);
  b->Perform(WM_KEYDOWN, VK_DOWN, 0);
  b->Perform(WM_KEYDOWN, VK_LEFT, 0);
  EXPECT_EQ(51, b->GetPosition());
  EXPECT_EQ(1, b->Perform(CM_WANTSPECIALKEY, VK_UP, 0));
  b->Perform(WM_MOUSEWHEEL, MAKEWPARAM(0, 120), 0);
  EXPECT_EQ(50, b->GetPosition());
  b->Perform(WM_MOUSEWHEEL, MAKEWPARAM(0, static_cast<WORD>(-120)), 0);
  EXPECT_EQ(51, b->GetPosition());
}

TEST_F(SkinScrollBarTest, DefaultLookShowsStatesAndHidesTheThumbWhenDisabled)
{
  auto* b = Bar();
  b->SetRange(0, 100, 50, 0);
  EXPECT_EQ(ColorToRGB(clBtnFace), ColorToRGB(BitmapPixel(Snapshot(b).get(), 100, 9)));
  EXPECT_EQ(ColorToRGB(clBtnShadow), ColorToRGB(BitmapPixel(Snapshot(b).get(), 92, 9))) << "thumb frame";
  Move(b, 100, 9);
  EXPECT_EQ(0xD2BDB6, ColorToRGB(BitmapPixel(Snapshot(b).get(), 100, 9))) << "hot thumb";
  Down(b, 100, 9);
  EXPECT_EQ(0xB59385, ColorToRGB(BitmapPixel(Snapshot(b).get(), 100, 9))) << "pressed thumb";
  Up(b, 100, 9);
  b->SetEnabled(false);
  EXPECT_EQ(ColorToRGB(clBtnFace), ColorToRGB(BitmapPixel(Snapshot(b).get(), 100, 9)));
  EXPECT_EQ(ColorToRGB(clBtnFace), ColorToRGB(BitmapPixel(Snapshot(b).get(), 92, 9))) << "no thumb frame";
}

TEST_F(SkinScrollBarTest, SkinnedBarStretchesItsTrackAndKeepsTheFarButtonAtTheEnd)
{
  TskSkinData* skin = NewSkin(Pictures(), Records);
  auto* b = Bar(sbHorizontal, 160, 20);
  b->SetSkinData(skin);
  b->SetRange(0, 100, 0, 0);
  b->LayoutItems();
  EXPECT_EQ("20,0,140,20", RectText(b->GetTrackRect()));
  EXPECT_EQ("140,0,160,20", RectText(b->GetItemRect(TskSkinScrollBar::siUpButton)));
  EXPECT_EQ("0,0,20,20", RectText(b->GetItemRect(TskSkinScrollBar::siDownButton)));
  EXPECT_EQ("20,3,30,17", RectText(b->GetItemRect(TskSkinScrollBar::siThumb))) << "centred across, picture length";
  auto shot = Snapshot(b);
  EXPECT_EQ(Red, BitmapPixel(shot.get(), 10, 10));
  EXPECT_EQ(Green, BitmapPixel(shot.get(), 80, 1));
  EXPECT_EQ(Blue, BitmapPixel(shot.get(), 150, 10));
  EXPECT_EQ(Grey, BitmapPixel(shot.get(), 25, 10));
  Move(b, 150, 10);
  EXPECT_EQ(Yellow, BitmapPixel(Snapshot(b).get(), 150, 10)) << "hot";
  Down(b, 150, 10);
  EXPECT_EQ(White, BitmapPixel(Snapshot(b).get(), 150, 10)) << "pressed";
  Up(b, 150, 10);
  b->SetEnabled(false);
  EXPECT_EQ(Green, BitmapPixel(Snapshot(b).get(), 25, 10)) << "no thumb when disabled";
}

TEST_F(SkinScrollBarTest, ARecordOfAnotherKindKeepsTheBarValues)
{
  TskSkinData* skin = NewSkin(Pictures(), Records);
  auto* b = Bar(sbHorizontal, 160, 20);
  b->SetSkinData(skin);
  b->SetSkinDataName("notabar");
  b->ChangeSkinData();
  b->SetRange(0, 10, 3, 0);
  b->LayoutItems();
  EXPECT_EQ(60, b->GetWidth()) << "the button record fixes the size";
  EXPECT_EQ("20,0,40,20", RectText(b->GetTrackRect()));
  EXPECT_EQ("40,0,60,20", RectText(b->GetItemRect(TskSkinScrollBar::siUpButton)));
  Snapshot(b);  // paints without failing
}

}  // namespace
