// One level of a skinned menu: placement against the work area, sizing and scrolling, the mouse
// and the keys, the fade-in, and the skinned frame without a menu-item record.
#include "tests/skin/input/SkinMenuTestSupport.h"

#include "skin/foundation/SkinDrawUtils.h"

namespace {

class SkinPopupWindowTest : public TSkinMenuTest {
protected:
  void AddItems(int N)
  {
    for (int i = 0; i < N; ++i)
      Add(Root(), "Item " + IntToStr(i));
  }
};

TEST_F(SkinPopupWindowTest, PlacementFollowsTheWorkAreaRules)
{
  AddItems(3);
  Open(nullptr);
  TskSkinPopupWindow* l = Level(0);
  const TRect wa = Manager->MenuWorkArea;
  const int w = l->GetWidth();
  const int h = l->GetHeight();
  const int mid = wa.top + RectHeight(wa) / 2;
  struct TCase {
    const char* Name;
    TRect R;
    bool Above, Sub;
    TPoint Want;
  } const cases[] = {
      {"point in the open", Rect(100, 100, 100, 100), false, false, Point(100, 100)},
      {"near the right edge moves left", Rect(wa.right - 5, 100, wa.right - 5, 100), false, false,
       Point(wa.right - w, 100)},
      {"left of the work area", Rect(wa.left - 50, 100, wa.left - 50, 100), false, false, Point(wa.left, 100)},
      {"near the bottom in the lower half opens upward", Rect(100, wa.bottom - 5, 100, wa.bottom - 5), false, false,
       Point(100, wa.bottom - 5 - h)},
      {"above when asked and there is room", Rect(100, 300, 150, 320), true, false, Point(100, 300 - h)},
      {"above without room, upper half: below", Rect(100, wa.top + 2, 150, wa.top + 20), true, false,
       Point(100, wa.top + 20)},
      {"sub-menu lines up with the parent entry", Rect(100, 200, 180, 220), false, true,
       Point(181, 200 - l->ItemsRect.top)},
      {"sub-menu flips left at the right edge", Rect(wa.right - 60, 200, wa.right - 2, 220), false, true,
       Point(wa.right - 60 - w - 1, 200 - l->ItemsRect.top)},
      {"sub-menu near the bottom, lower half", Rect(100, wa.bottom - 10, 180, wa.bottom), false, true,
       Point(181, std::max(static_cast<int>(wa.bottom) - h + l->ItemsRect.top, static_cast<int>(wa.top)))},
  };
  for (const TCase& c : cases) {
    const TPoint p = l->Placement(c.R, c.Above, c.Sub);
    EXPECT_EQ(c.Want.x, p.x) << c.Name;
    EXPECT_EQ(c.Want.y, p.y) << c.Name;
  }
  (void)mid;
}

TEST_F(SkinPopupWindowTest, ALevelThatFitsShowsEveryEntryWithoutMarkers)
{
  AddItems(2);
  Add(Root(), "-");
  AddItems(2);
  Open(BuiltinSkinData(Holder, TBuiltinSkin::bsControls));
  TskSkinPopupWindow* l = Level(0);
  EXPECT_TRUE(l->PopupRecord != nullptr);
  EXPECT_FALSE(l->Scrollable);
  EXPECT_EQ(5, l->VisibleCount);
  EXPECT_EQ(l->ItemsRect.top, l->Item(0)->ObjectRect.top);
  ASSERT_EQ(5, l->ItemCount());
  EXPECT_EQ(4, RectHeight(l->Item(2)->ObjectRect)) << "the separator is as high as the divider";
  EXPECT_EQ(Point(200, 150).x, l->GetLeft());
  EXPECT_EQ(150, l->GetTop());
  EXPECT_TRUE(l->GetVisible());
}

TEST_F(SkinPopupWindowTest, ALevelTallerThanTheWorkAreaScrollsBesideThePoint)
{
  const int n = 60;  // 60 x 20 pixels do not fit 768
  AddItems(n);
  Open(nullptr, 300, 200);
  TskSkinPopupWindow* l = Level(0);
  const TRect wa = Manager->MenuWorkArea;
  EXPECT_TRUE(l->Scrollable);
  EXPECT_FALSE(l->LimitedByMax);
  EXPECT_EQ(RectHeight(wa), l->GetHeight());
  EXPECT_EQ(wa.top, l->GetTop());
  EXPECT_EQ(301, l->GetLeft()) << "opens beside the point";
  EXPECT_EQ(l->ItemsRect.top + 10, l->Item(0)->ObjectRect.top);
  EXPECT_FALSE(l->Item(n - 1)->Visible);
  // Down from the last shown entry scrolls by one.
  const int shown = l->VisibleCount;
  for (int i = 0; i < shown - 1; ++i)
    l->ProcessKey(VK_DOWN);
  EXPECT_EQ(shown - 1, l->ItemIndex);
  EXPECT_EQ(0, l->TopIndex);
  l->ProcessKey(VK_DOWN);
  EXPECT_EQ(shown, l->ItemIndex);
  EXPECT_EQ(1, l->TopIndex);
  EXPECT_TRUE(l->Item(shown)->Visible);
  EXPECT_FALSE(l->Item(0)->Visible);
  // The markers are drawn: the down arrow in the shadow colour near the bottom centre.
  auto b = Paint(l);
  int shadow = 0;
  for (int x = 0; x < l->GetWidth(); ++x)
    for (int y = l->GetHeight() - 10; y < l->GetHeight() - 3; ++y)
      shadow += BitmapPixel(b.get(), x, y) == ColorToRGB(clBtnShadow);
  EXPECT_GT(shadow, 3);
}

TEST_F(SkinPopupWindowTest, MaxItemsInWindowShowsFiveBetweenMarkersAndScrollsByMouse)
{
  AddItems(8);
  Manager->MaxMenuItemsInWindow = 5;
  Open(nullptr, 100, 100);
  TskSkinPopupWindow* l = Level(0);
  EXPECT_TRUE(l->Scrollable);
  EXPECT_TRUE(l->LimitedByMax);
  EXPECT_EQ(20 * 5 + 6 + 20, l->GetHeight());
  EXPECT_EQ(5, l->VisibleCount);
  EXPECT_EQ(100, l->GetTop()) << "placed by the ordinary rules";
  EXPECT_EQ(3, l->LastTopIndex());
  // Resting on the down marker scrolls once per tick until the end.
  l->TrackMouse(20, l->GetHeight() - 6);
  EXPECT_EQ(2, l->ScrollDirection);
  for (int i = 0; i < 6; ++i)
    l->ScrollTimerTick();
  EXPECT_EQ(3, l->TopIndex);
  EXPECT_EQ(0, l->ScrollDirection) << "stops at the end";
  // Leaving the markers stops scrolling at once.
  l->TrackMouse(20, 8);
  EXPECT_EQ(1, l->ScrollDirection);
  l->TrackMouse(20, 40);
  EXPECT_EQ(0, l->ScrollDirection);
}

TEST_F(SkinPopupWindowTest, DownAndUpSkipSeparatorsAndDisabledEntriesAndWrapFromTheEnds)
{
  Add(Root(), "A");
  Add(Root(), "-");
  Add(Root(), "B");
  Add(Root(), "C", false);
  Add(Root(), "D", false);
  Open(nullptr);
  TskSkinPopupWindow* l = Level(0);
  EXPECT_EQ(0, l->ItemIndex);
  l->ProcessKey(VK_DOWN);
  EXPECT_EQ(2, l->ItemIndex);
  EXPECT_TRUE(l->Item(2)->Active);
  EXPECT_FALSE(l->Item(0)->Active);
  l->ProcessKey(VK_DOWN);
  EXPECT_EQ(2, l->ItemIndex) << "only disabled entries follow: the selection stays";
  l->ProcessKey(VK_UP);
  EXPECT_EQ(0, l->ItemIndex);
  l->ProcessKey(VK_UP);
  EXPECT_EQ(2, l->ItemIndex) << "Up from the first entry searches from the bottom";
  // From the very last entry Down starts again at the top.
  l->TrackMouse(10, l->Item(4)->ObjectRect.top + 1);
  EXPECT_EQ(4, l->ItemIndex) << "a disabled entry can be the index without being highlighted";
  l->ProcessKey(VK_DOWN);
  EXPECT_EQ(0, l->ItemIndex);
}

TEST_F(SkinPopupWindowTest, ClicksChooseOnlyEnabledEntriesWithTheLeftButton)
{
  Add(Root(), "A");
  Add(Root(), "-");
  Add(Root(), "C", false);
  Open(nullptr);
  TskSkinPopupWindow* l = Level(0);
  const auto centre = [&](int I) {
    const TRect r = l->Item(I)->ObjectRect;
    return Point(r.left + 20, r.top + RectHeight(r) / 2);
  };
  l->Perform(WM_RBUTTONUP, 0, MAKELPARAM(centre(0).x, centre(0).y));
  l->Perform(WM_LBUTTONUP, 0, MAKELPARAM(centre(1).x, centre(1).y));
  l->Perform(WM_LBUTTONUP, 0, MAKELPARAM(centre(2).x, centre(2).y));
  EXPECT_TRUE(MenuLog().empty());
  EXPECT_TRUE(Manager->Visible);
  l->Perform(WM_LBUTTONUP, 0, MAKELPARAM(centre(0).x, centre(0).y));
  EXPECT_EQ((std::vector<String>{"form 1228", "click A"}), MenuLog());
  EXPECT_FALSE(Manager->Visible);
}

TEST_F(SkinPopupWindowTest, EscapeClosesOneLevelAndLeftAlikeButNotTheFirst)
{
  TMenuItem* sub = Add(Root(), "Sub");
  Add(sub, "Inner");
  Add(Root(), "Other");
  Open(nullptr, 200, 150, Opener);
  Level(0)->ProcessKey(VK_RIGHT);
  ASSERT_EQ(2, Manager->LevelCount());
  EXPECT_TRUE(Level(0)->Item(0)->Down);
  EXPECT_EQ(0, Level(1)->ItemIndex);
  Level(1)->ProcessKey(VK_ESCAPE);
  EXPECT_EQ(1, Manager->LevelCount());
  EXPECT_FALSE(Level(0)->Item(0)->Down);
  Level(0)->ProcessKey(VK_LEFT);
  EXPECT_EQ(1, Manager->LevelCount()) << "Left does nothing in the first level";
  Level(0)->ProcessKey(VK_RETURN);
  ASSERT_EQ(2, Manager->LevelCount()) << "Enter opens the sub-menu";
  Level(1)->ProcessKey(VK_LEFT);
  EXPECT_EQ(1, Manager->LevelCount());
  Level(0)->ProcessKey(VK_ESCAPE);
  EXPECT_EQ(0, Manager->LevelCount());
  EXPECT_FALSE(Manager->Visible);
  // The opener is told, the form is not (the skinned form ends its menu mode itself).
  EXPECT_EQ((std::vector<String>{"click Sub", "click Sub", "opener 1228"}), MenuLog());
}

TEST_F(SkinPopupWindowTest, AcceleratorSelectsAndChooses)
{
  Add(Root(), "&Open");
  Add(Root(), "&Close");
  Open(nullptr);
  Level(0)->ProcessKey('C');
  EXPECT_EQ((std::vector<String>{"form 1228", "click &Close"}), MenuLog());
}

TEST_F(SkinPopupWindowTest, FirstLevelFadesInByFifteenthsAndSubMenusAppearAtOnce)
{
  TMenuItem* sub = Add(Root(), "Sub");
  Add(sub, "Inner");
  Manager->AlphaBlend = true;
  Manager->AlphaBlendAnimation = true;
  Manager->AlphaBlendValue = 200;
  Open(nullptr);
  const std::vector<int>& steps = Level(0)->FadeSteps;
  ASSERT_FALSE(steps.empty());
  EXPECT_EQ(13, steps.front());
  EXPECT_EQ(200, steps.back());
  EXPECT_EQ(16u, steps.size());  // 15 steps of 13 and the last capped at 200
  Level(0)->ProcessKey(VK_RIGHT);
  ASSERT_EQ(2, Manager->LevelCount());
  EXPECT_TRUE(Level(1)->FadeSteps.empty());
}

TEST_F(SkinPopupWindowTest, SkinnedFrameWithoutAMenuItemRecordUsesDefaultEntries)
{
  auto* data = BuiltinSkinData(Holder, TBuiltinSkin::bsControls);
  // Take the menu-item objects away from the skin.
  for (auto*& o : data->ObjectList)
    if (o->RecordName == "menuitem" || o->RecordName == "MENUITEM")
      o->RecordName = "gone";
  AddItems(1);
  Add(Root(), "-");
  AddItems(2);
  Open(data);
  TskSkinPopupWindow* l = Level(0);
  EXPECT_NE(nullptr, l->PopupRecord);
  EXPECT_EQ(nullptr, l->ItemRecord);
  EXPECT_EQ(20, RectHeight(l->Item(0)->ObjectRect));
  EXPECT_EQ(4, RectHeight(l->Item(1)->ObjectRect));
  auto b = Paint(l);  // paints without touching the missing record
  EXPECT_EQ(b->GetWidth(), l->GetWidth());
}

TEST_F(SkinPopupWindowTest, EmptyAndInvisibleSubItemsOpenNothingOrAFrameOnly)
{
  Open(nullptr);
  EXPECT_EQ(0, Manager->LevelCount());
  EXPECT_FALSE(Manager->Visible);
  TMenuItem* hidden = Add(Root(), "Hidden");
  hidden->SetVisible(false);
  Open(nullptr);
  ASSERT_EQ(1, Manager->LevelCount());
  EXPECT_EQ(0, Level(0)->ItemCount());
  EXPECT_EQ(6, Level(0)->GetHeight());
  Level(0)->ProcessKey(VK_DOWN);
  Level(0)->ProcessKey(VK_RETURN);
  Level(0)->TrackMouse(2, 2);
  Manager->Popup(nullptr, nullptr, 5, Rect(0, 0, 0, 0), Root(), false);
  EXPECT_EQ(0, Manager->LevelCount()) << "a start index past the items opens nothing";
}

} // namespace
