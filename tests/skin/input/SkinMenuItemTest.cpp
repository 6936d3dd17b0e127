// Skinned menu entries: the default-look glyphs, the kinds of entry, the two looks of highlighted,
// disabled, checked, system and header entries, and the morph and frame-strip animations.
#include "tests/skin/input/SkinMenuTestSupport.h"

#include "platform/rtl/Convert.h"
#include "skin/foundation/SkinGlyphs.h"

namespace {

constexpr TColor Red = 0x0000FF;
constexpr TColor White = 0xFFFFFF;

std::unique_ptr<TBitmap> White20()
{
  return SolidPicture(20, 20, White);
}

TEST(SkinMenuGlyphs, EachGlyphSetsExactlyItsPixels)
{
  struct TCase {
    const char* Name;
    void (*Draw)(TCanvas*, int, int, TColor);
    std::vector<TPoint> Set;
    std::vector<TPoint> Clear;
  } const cases[] = {
      // The three strokes of the check mark: the lowest one starts at (X, Y + 5).
      {"check mark", DrawMenuCheckMark, {{2, 7}, {4, 9}, {6, 7}, {4, 7}}, {{2, 8}, {10, 2}, {1, 1}}},
      // Four vertical lines growing shorter to the right.
      {"sub arrow", DrawMenuSubArrow, {{2, 2}, {2, 8}, {3, 3}, {3, 7}, {5, 5}}, {{5, 3}, {6, 5}, {2, 10}}},
      {"radio dot", DrawMenuRadioDot, {{4, 4}, {5, 5}}, {{9, 9}, {1, 1}}},
  };
  for (const TCase& c : cases) {
    auto b = White20();
    c.Draw(b->GetCanvas(), 2, 2, Red);
    for (const TPoint& p : c.Set)
      EXPECT_EQ(Red, BitmapPixel(b.get(), p.x, p.y)) << c.Name << " at " << p.x << "," << p.y;
    for (const TPoint& p : c.Clear)
      EXPECT_EQ(White, BitmapPixel(b.get(), p.x, p.y)) << c.Name << " at " << p.x << "," << p.y;
  }
}

TEST(SkinMenuGlyphs, SystemEntriesAreKnownByComponentName)
{
  struct TCase {
    const char* Name;
    TskMenuSystemGlyph Glyph;
  } const cases[] = {{"SKF_CLOSE", msgClose},       {"TRAY_SKF_CLOSE", msgClose},     {"SKF_MINITEM", msgMinimize},
                     {"SKF_MAXITEM", msgMaximize},  {"SKF_RESTORE", msgRestore},      {"TRAY_SKF_RESTORE", msgRestore},
                     {"SKF_ROLLUP", msgRollUp},     {"SKF_MINTOTRAY", msgMinimizeToTray}, {"skf_close", msgNone},
                     {"Open", msgNone}};
  for (const TCase& c : cases) {
    TMenuItem item(nullptr);
    item.SetName(c.Name);
    EXPECT_EQ(c.Glyph, MenuSystemGlyph(&item)) << c.Name;
  }
  EXPECT_EQ(msgNone, MenuSystemGlyph(nullptr));
}

class SkinMenuItemLook : public TSkinMenuTest {
protected:
  // The entry of level 0 at Index painted alone, in a bitmap of its rectangle's size.
  std::unique_ptr<TBitmap> Entry(int Index)
  {
    TskSkinMenuItem* e = Level(0)->Item(Index);
    auto b = std::make_unique<TBitmap>();
    b->SetPixelFormat(pf24bit);
    b->SetSize(e->ObjectRect.right, e->ObjectRect.bottom);
    e->Draw(b->GetCanvas());
    auto out = std::make_unique<TBitmap>();
    out->SetPixelFormat(pf24bit);
    out->SetSize(RectWidth(e->ObjectRect), RectHeight(e->ObjectRect));
    out->GetCanvas()->CopyRect(Rect(0, 0, out->GetWidth(), out->GetHeight()), b->GetCanvas(), e->ObjectRect);
    return out;
  }
  static int Count(TBitmap* B, TColor C, const TRect& R)
  {
    int n = 0;
    for (int y = R.top; y < R.bottom; ++y)
      for (int x = R.left; x < R.right; ++x)
        n += BitmapPixel(B, x, y) == C;
    return n;
  }
};

TEST_F(SkinMenuItemLook, DefaultLookHighlightsWithANavyFrameAndNeverHighlightsADisabledEntry)
{
  Add(Root(), "Open");
  Add(Root(), "Gone", false);
  Open(nullptr);
  TskSkinPopupWindow* l = Level(0);
  ASSERT_EQ(0, l->ItemIndex);  // the first entry is selected on opening
  auto lit = Entry(0);
  EXPECT_EQ(ColorToRGB(clNavy), ColorToRGB(BitmapPixel(lit.get(), 0, 0)));
  EXPECT_EQ(ColorToRGB(13811126), ColorToRGB(BitmapPixel(lit.get(), 5, lit->GetHeight() - 3)));
  // The mouse over the disabled entry makes it the index but never highlights it.
  const TRect r = l->Item(1)->ObjectRect;
  l->TrackMouse(r.left + 30, r.top + 5);
  EXPECT_EQ(1, l->ItemIndex);
  EXPECT_FALSE(l->Item(1)->Active);
  EXPECT_FALSE(l->Item(0)->Active);
  auto disabled = Entry(1);
  EXPECT_EQ(ColorToRGB(clBtnFace), ColorToRGB(BitmapPixel(disabled.get(), 2, 2)));
  EXPECT_GT(Count(disabled.get(), ColorToRGB(clBtnShadow), Rect(19, 0, disabled->GetWidth(), disabled->GetHeight())), 5)
      << "the caption of a disabled entry is drawn in the shadow colour";
}

TEST_F(SkinMenuItemLook, HeaderOnlyInTheSkinnedLook)
{
  TMenuItem* header = Add(Root(), "-Options-", false);
  Add(Root(), "Open");
  Open(nullptr);
  EXPECT_FALSE(Level(0)->Item(0)->IsHeader()) << "the default look draws the caption as it stands";
  EXPECT_FALSE(Level(0)->Item(0)->IsSeparator());
  Manager->CloseMenu();
  Open(BuiltinSkinData(Holder, TBuiltinSkin::bsControls));
  EXPECT_TRUE(Level(0)->Item(0)->IsHeader());
  header->SetEnabled(true);
  EXPECT_FALSE(Level(0)->Item(0)->IsHeader()) << "an enabled item is never a header";
}

TEST_F(SkinMenuItemLook, SystemEntryShowsItsGlyphOnlyWithoutAnImage)
{
  TMenuItem* restore = Add(Root(), "Restore");
  restore->SetName("TRAY_SKF_RESTORE");
  TMenuItem* plain = Add(Root(), "Restore");
  Open(nullptr);
  Level(0)->Item(0)->Active = false;
  auto glyph = Entry(0);
  auto none = Entry(1);
  // The glyph sits at (T.Left + 2, centre - 4) with T = (2, 2, W - 2, H - 2): x 4 .. 15.
  const TRect glyphArea = Rect(4, 4, 16, 16);
  EXPECT_GT(Count(glyph.get(), ColorToRGB(clWindowText), glyphArea), 8);
  EXPECT_EQ(0, Count(none.get(), ColorToRGB(clWindowText), glyphArea));
  // With a picture of its own, only the picture shows.
  Manager->CloseMenu();
  auto pic = SolidPicture(10, 10, Red);
  restore->SetBitmap(pic.get());
  (void)plain;
  Open(nullptr);
  Level(0)->Item(0)->Active = false;
  auto image = Entry(0);
  EXPECT_EQ(Red, BitmapPixel(image.get(), 6, 10));
  EXPECT_EQ(0, Count(image.get(), ColorToRGB(clWindowText), Rect(4, 4, 16, 6)));
}

TEST_F(SkinMenuItemLook, CheckedEntryWithAnImageGetsAnOutlineAndNoCheckMark)
{
  TMenuItem* checked = Add(Root(), "Checked");
  checked->SetChecked(true);
  auto pic = SolidPicture(10, 10, Red);
  checked->SetBitmap(pic.get());
  TMenuItem* mark = Add(Root(), "Mark");
  mark->SetChecked(true);
  Open(nullptr);
  Level(0)->Item(0)->Active = false;
  auto withImage = Entry(0);
  const int h = withImage->GetHeight();
  const int y = 2 + (h - 4) / 2 - 5;  // image top
  // Outline from (T.Left + 1, y - 1): T.Left = 2.
  EXPECT_EQ(ColorToRGB(clWindowText), ColorToRGB(BitmapPixel(withImage.get(), 3, y - 1)));
  EXPECT_EQ(ColorToRGB(clWindowText), ColorToRGB(BitmapPixel(withImage.get(), 4 + 10, y + 10)));
  EXPECT_EQ(Red, BitmapPixel(withImage.get(), 5, y + 1));
  auto checkMark = Entry(1);
  // The check mark at (T.Left + 3, centre - 4): its lowest stroke starts 5 lower.
  const int centre = 2 + (h - 4) / 2;
  EXPECT_EQ(ColorToRGB(clWindowText), ColorToRGB(BitmapPixel(checkMark.get(), 5, centre - 4 + 5)));
}

TEST_F(SkinMenuItemLook, MissingPictureEmptiesTheRecordsSourceRectangles)
{
  auto* data = BuiltinSkinData(Holder, TBuiltinSkin::bsControls);
  const int index = data->GetObjectIndex("menuitem");
  ASSERT_GE(index, 0);
  auto* record = dynamic_cast<TskDataSkinMenuItem*>(data->ObjectList[static_cast<std::size_t>(index)]);
  ASSERT_NE(nullptr, record);
  Add(Root(), "Open");
  Open(data);
  TskSkinPopupWindow* l = Level(0);
  record->activepictureindex = 99;
  TskSkinMenuItem entry(l, record, Root()->GetItem(0));
  EXPECT_EQ(nullptr, entry.Picture);
  EXPECT_TRUE(IsNullRect(record->skinrect));
  EXPECT_TRUE(IsNullRect(record->activeskinrect));
}

class SkinMenuItemAnimation : public TSkinMenuTest {
protected:
  TskDataSkinMenuItem* Record = nullptr;
  TskSkinData* Data = nullptr;
  void SetUp() override
  {
    TSkinMenuTest::SetUp();
    Data = BuiltinSkinData(Holder, TBuiltinSkin::bsControls);
    Record = dynamic_cast<TskDataSkinMenuItem*>(
        Data->ObjectList[static_cast<std::size_t>(Data->GetObjectIndex("menuitem"))]);
    ASSERT_NE(nullptr, Record);
    Add(Root(), "One");
    Add(Root(), "Two");
  }
};

TEST_F(SkinMenuItemAnimation, MorphCompletesAfterFiveTicksAndFadesBackTheSameWay)
{
  Record->morphing = true;
  Record->morphkind = mkDefault;
  Open(Data);
  TskSkinPopupWindow* l = Level(0);
  TskSkinMenuItem* two = l->Item(1);
  ASSERT_TRUE(two->HasMorph());
  // Level 0 opened with "One" selected (morph running): let it finish first.
  for (int i = 0; i < 5; ++i)
    l->AnimationTimerTick();
  const TRect r = two->ObjectRect;
  l->TrackMouse(r.left + 20, r.top + 3);
  ASSERT_TRUE(two->Active);
  EXPECT_TRUE(l->AnimationTimer->GetEnabled());
  std::vector<double> factors;
  for (int i = 0; i < 5; ++i) {
    l->AnimationTimerTick();
    factors.push_back(two->MorphFactor);
  }
  EXPECT_NEAR(0.2, factors[0], 1e-9);
  EXPECT_NEAR(0.6, factors[2], 1e-9);
  EXPECT_EQ(1.0, factors[4]);
  EXPECT_FALSE(two->MorphStepNeeded());
  // Leaving: back to 0 in five more ticks, after which the timer stops.
  const TRect r0 = l->Item(0)->ObjectRect;
  l->TrackMouse(r0.left + 20, r0.top + 3);
  for (int i = 0; i < 5; ++i)
    l->AnimationTimerTick();
  EXPECT_EQ(0.0, two->MorphFactor);
  for (int i = 0; i < 5; ++i)
    l->AnimationTimerTick();
  l->AnimationTimerTick();
  EXPECT_FALSE(l->AnimationTimer->GetEnabled());
}

TEST_F(SkinMenuItemAnimation, FrameStripPlaysForwardOnSelectAndBackOnDeselect)
{
  Record->animateskinrect = Rect(48, 0, 88, 80);  // four 20-pixel frames stacked
  Record->framecount = 4;
  Record->animateinterval = 30;
  Record->inactiveanimation = true;  // without it a deselected entry drops to the plain look at once
  Open(Data);
  TskSkinPopupWindow* l = Level(0);
  TskSkinMenuItem* two = l->Item(1);
  ASSERT_TRUE(two->HasFrameAnimation());
  EXPECT_TRUE(EqualRects(Rect(48, 20, 88, 40), two->FrameRect(2)));
  const TRect r = two->ObjectRect;
  l->TrackMouse(r.left + 20, r.top + 3);
  EXPECT_EQ(0, two->CurrentFrame);
  EXPECT_EQ(30u, l->AnimationTimer->GetInterval());
  std::vector<int> frames;
  for (int i = 0; i < 6; ++i) {
    l->AnimationTimerTick();
    frames.push_back(two->CurrentFrame);
  }
  // Frames 1 to 4, then 5 = the plain highlighted look, then no more change.
  EXPECT_EQ((std::vector<int>{1, 2, 3, 4, 5, 5}), frames);
  const TRect r0 = l->Item(0)->ObjectRect;
  l->TrackMouse(r0.left + 20, r0.top + 3);
  EXPECT_EQ(5, two->CurrentFrame);
  frames.clear();
  for (int i = 0; i < 6; ++i) {
    l->AnimationTimerTick();
    frames.push_back(two->CurrentFrame);
  }
  EXPECT_EQ((std::vector<int>{4, 3, 2, 1, 0, 0}), frames);
}

} // namespace
