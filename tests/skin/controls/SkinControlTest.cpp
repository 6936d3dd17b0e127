#include <gtest/gtest.h>

#include "skin/controls/GraphicSkinControl.h"
#include "skin/controls/SkinControl.h"
#include "tests/skin/support/SkinTestSupport.h"

namespace {

constexpr TColor Red = 0x0000FF, Green = 0x00FF00, Blue = 0xFF0000, White = 0xFFFFFF, Black = 0;

// Picture 0 (60 x 40): the fixed patch (0,0)-(20,10) red; the both-ways patch (20,0)-(40,20)
// blue with a 4-pixel green frame; the horizontal patch (0,20)-(30,30) white; the vertical patch
// (40,0)-(50,30) green. Picture 1: a 20 x 10 mask, black on the left half only.
std::vector<std::unique_ptr<TBitmap>> Pictures()
{
  std::vector<std::unique_ptr<TBitmap>> p;
  p.push_back(SolidPicture(60, 40, Black));
  FillArea(p[0].get(), Rect(0, 0, 20, 10), Red);
  FillArea(p[0].get(), Rect(20, 0, 40, 20), Green);
  FillArea(p[0].get(), Rect(24, 4, 36, 16), Blue);
  FillArea(p[0].get(), Rect(0, 20, 30, 30), White);
  FillArea(p[0].get(), Rect(40, 0, 50, 30), Green);
  p.push_back(SolidPicture(20, 10, White));
  FillArea(p[1].get(), Rect(0, 0, 10, 10), Black);
  return p;
}

const char* const Records =
    "[SKINCONTROLS]\ncount=8\n0=fixed:label\n1=both:panel\n2=horz:label\n3=vert:label\n4=empty:label\n"
    "5=masked:label\n6=bevel:bevel\n7=noclient:panel\n"
    "[fixed]\npictureindex=0\nskinrect=0,0,20,10\nclientrect=2,2,18,8\ncursorindex=3\n"
    "[both]\npictureindex=0\nskinrect=20,0,40,20\nlefttoppoint=4,4\nrighttoppoint=16,4\nleftbottompoint=4,16\n"
    "rightbottompoint=16,16\nclientrect=4,4,16,16\n"
    "[horz]\npictureindex=0\nskinrect=0,20,30,30\nlefttoppoint=10,0\nrighttoppoint=20,0\nclientrect=10,0,20,10\n"
    "[vert]\npictureindex=0\nskinrect=40,0,50,30\nlefttoppoint=0,10\nleftbottompoint=0,20\nclientrect=0,10,10,20\n"
    "[empty]\npictureindex=0\n"
    "[masked]\npictureindex=0\nmaskpictureindex=1\nskinrect=0,0,20,10\n"
    "[bevel]\npictureindex=0\nskinrect=0,0,20,10\n"
    "[noclient]\npictureindex=0\nskinrect=20,0,40,20\nlefttoppoint=4,4\nrighttoppoint=16,4\nleftbottompoint=4,16\n"
    "rightbottompoint=16,16\n";

// A custom control that counts the parent-image notices it acts on.
class TCounting : public TskSkinCustomControl {
public:
  using TskSkinCustomControl::TskSkinCustomControl;
  void UpdateAlphaBlend() override
  {
    ++Notices;
    TskSkinCustomControl::UpdateAlphaBlend();
  }
  int Notices = 0;
};

// A panel-like control painting its frame directly.
class TDirect : public TskSkinCustomControl {
public:
  explicit TDirect(TComponent* AOwner) : TskSkinCustomControl(AOwner) { DirectFramePaint = true; }
};

// A container that asks its skinned children to centre themselves in (0, 10)-(200, 50).
class TCentring : public TskSkinCustomControl {
public:
  using TskSkinCustomControl::TskSkinCustomControl;
  bool GetControlsCentringArea(TRect& Area) override
  {
    Area = Rect(0, 10, 200, 50);
    return true;
  }
};

class TGraphicCounting : public TskGraphicSkinCustomControl {
public:
  using TskGraphicSkinCustomControl::TskGraphicSkinCustomControl;
  int Paints = 0;

protected:
  void Paint() override
  {
    ++Paints;
    TskGraphicSkinCustomControl::Paint();
  }
};

class SkinControlTest : public TSkinControlTest {
protected:
  void SetUp() override
  {
    TSkinControlTest::SetUp();
    Form = NewForm(0, 0, 400, 300);
    Form->SetColor(0x808080);
    Skin = NewSkin(Pictures(), Records);
  }
  template <typename T = TskSkinCustomControl>
  T* Control(const char* Record, int W = 50, int H = 40, TWinControl* Parent = nullptr)
  {
    auto* c = new T(Form);
    c->SetParent(Parent ? Parent : Form);
    c->SetBounds(10, 10, W, H);
    c->SetSkinDataName(Record);
    return c;
  }
  TForm* Form = nullptr;
  TskSkinData* Skin = nullptr;
};

TEST_F(SkinControlTest, ResizeModeFollowsTheCornerPointsAndSkinRect)
{
  struct Case {
    const char* Record;
    int Mode;
  } const cases[] = {{"fixed", 0}, {"both", 1}, {"horz", 2}, {"vert", 3}, {"empty", -1}};
  for (const Case& c : cases) {
    auto* control = Control(c.Record);
    control->SetSkinData(Skin);
    EXPECT_EQ(c.Mode, control->ResizeMode) << c.Record;
  }
}

TEST_F(SkinControlTest, TheSkinDecidesTheSizeOnEverySetBoundsAndSkinChange)
{
  struct Case {
    const char* Record;
    int AskW, AskH, W, H;
    TRect NewClRect;
  } const cases[] = {
      {"fixed", 50, 40, 20, 10, Rect(2, 2, 18, 8)},       // fixed: the skin rectangle's size
      {"both", 50, 40, 50, 40, Rect(4, 4, 46, 36)},       // both ways: any size
      {"horz", 50, 40, 50, 10, Rect(10, 0, 40, 10)},      // horizontal: the height is forced
      {"vert", 50, 40, 10, 40, Rect(0, 10, 10, 30)},      // vertical: the width is forced
      {"empty", 50, 40, 50, 40, Rect(0, 0, 0, 0)},        // no picture size: nothing changes
      {"both", 10, 8, 10, 8, Rect(4, 4, 6, 4)},           // no minimum size
      {"missing", 50, 40, 50, 40, Rect(0, 0, 0, 0)},      // no record
  };
  for (const Case& c : cases) {
    auto* control = Control(c.Record, 5, 5);
    control->SetSkinData(Skin);
    control->SetBounds(10, 10, c.AskW, c.AskH);
    EXPECT_EQ(c.W, control->GetWidth()) << c.Record;
    EXPECT_EQ(c.H, control->GetHeight()) << c.Record;
    EXPECT_TRUE(EqualRect(&c.NewClRect, &control->NewClRect)) << c.Record;
    // A skin change applies the rules to the current size too.
    control->SetSkinDataName("fixed");
    control->ChangeSkinData();
    EXPECT_EQ(20, control->GetWidth()) << c.Record;
    EXPECT_EQ(10, control->GetHeight()) << c.Record;
  }
}

TEST_F(SkinControlTest, WithoutARecordTheDefaultLookAndDefaultSizeApply)
{
  auto* control = Control("missing", 60, 30);
  control->SetDefaultWidth(70);
  control->SetDefaultHeight(0);
  control->SetSkinData(Skin);
  EXPECT_EQ(-1, control->GetSkinIndex());
  EXPECT_EQ(70, control->GetWidth());
  EXPECT_EQ(30, control->GetHeight());
  EXPECT_EQ(ColorToRGB(clBtnFace), BitmapPixel(Snapshot(control).get(), 5, 5));

  // Without DrawDefault the off-screen bitmap is drawn as it was made.
  control->SetDrawDefault(false);
  EXPECT_EQ(Black, BitmapPixel(Snapshot(control).get(), 5, 5));

  // No skin data and an empty skin are the same as a missing record.
  auto* other = Control("fixed", 60, 30);
  EXPECT_EQ(ColorToRGB(clBtnFace), BitmapPixel(Snapshot(other).get(), 5, 5));
  Skin->Empty = true;
  other->SetSkinData(Skin);
  EXPECT_EQ(60, other->GetWidth());
  EXPECT_EQ(-1, other->GetSkinIndex());
}

TEST_F(SkinControlTest, ImagesAreBuiltFromTheRecordAtTheControlsSize)
{
  auto* fixed = Control("fixed");
  fixed->SetSkinData(Skin);
  auto image = Snapshot(fixed);
  EXPECT_EQ(Red, BitmapPixel(image.get(), 10, 5));

  auto* both = Control("both", 80, 60);
  both->SetSkinData(Skin);
  image = Snapshot(both);
  EXPECT_EQ(Green, BitmapPixel(image.get(), 1, 1));
  EXPECT_EQ(Green, BitmapPixel(image.get(), 78, 58));
  EXPECT_EQ(Blue, BitmapPixel(image.get(), 40, 30));

  auto* horz = Control("horz", 90, 10);
  horz->SetSkinData(Skin);
  image = Snapshot(horz);
  EXPECT_EQ(White, BitmapPixel(image.get(), 85, 5));
}

TEST_F(SkinControlTest, PictureIndexesOutsideThePictureListGiveNoPicture)
{
  auto* record = SkinRecord<TskDataSkinCustomControl>(Skin, "fixed");
  for (int index : {-1, -2, -1000, 2, 99}) {
    record->pictureindex = index;
    record->maskpictureindex = index;
    auto* control = Control("fixed");
    control->SetSkinData(Skin);
    EXPECT_EQ(nullptr, control->Picture) << index;
    EXPECT_EQ(nullptr, control->GetMaskPicture()) << index;
    EXPECT_EQ(nullptr, control->GetRegionHandle()) << index;
    // Nothing is drawn from the missing picture; painting does not fail.
    EXPECT_EQ(Black, BitmapPixel(Snapshot(control).get(), 5, 5)) << index;
  }
}

TEST_F(SkinControlTest, ARecordOfAnotherFamilyGivesAFixedSizeWithoutPictures)
{
  auto* control = Control("bevel", 33, 22);
  control->SetSkinData(Skin);
  EXPECT_NE(-1, control->GetSkinIndex());
  EXPECT_EQ(0, control->ResizeMode);
  EXPECT_EQ(nullptr, control->Picture);
  Snapshot(control);
}

TEST_F(SkinControlTest, AlphaBlendMixesTheControlWithWhatLiesUnderIt)
{
  struct Case {
    Byte Value;
    TColor Expected;
  } const cases[] = {{255, Red}, {0, 0x808080}, {128, 0x4040C0}};
  for (const Case& c : cases) {
    auto* control = Control("fixed");
    control->SetSkinData(Skin);
    control->SetAlphaBlend(true);
    control->SetAlphaBlendValue(c.Value);
    const TColor got = BitmapPixel(Snapshot(control).get(), 10, 5);
    for (int shift : {0, 8, 16})
      EXPECT_NEAR(static_cast<int>((c.Expected >> shift) & 0xFF), static_cast<int>((got >> shift) & 0xFF), 1)
          << int(c.Value);
  }
}

TEST_F(SkinControlTest, ParentImageNoticesRunDownThroughBlendedControlsOnly)
{
  auto* outer = Control<TCounting>("both", 200, 150);
  auto* inner = Control<TCounting>("both", 100, 80, outer);
  auto* innermost = Control<TCounting>("both", 50, 40, inner);
  Form->Show();

  outer->SetAlphaBlend(true);
  inner->SetAlphaBlend(false);
  outer->Perform(ParentImageChangedMessage, 0, 0);
  EXPECT_EQ(1, outer->Notices);
  EXPECT_EQ(1, inner->Notices);       // heard it
  EXPECT_EQ(0, innermost->Notices);   // but a control that is not blended does not pass it on

  inner->SetAlphaBlend(true);
  outer->Perform(ParentImageChangedMessage, 0, 0);
  EXPECT_EQ(2, inner->Notices);
  EXPECT_EQ(1, innermost->Notices);
}

TEST_F(SkinControlTest, FreeingTheSkinDataLeavesTheControlUnskinned)
{
  auto* control = Control("fixed");
  control->SetSkinData(Skin);
  EXPECT_NE(-1, control->GetSkinIndex());
  delete Skin;
  Skin = nullptr;
  EXPECT_EQ(nullptr, control->GetSkinDataComponent());
  EXPECT_EQ(-1, control->GetSkinIndex());
  EXPECT_EQ(ColorToRGB(clBtnFace), BitmapPixel(Snapshot(control).get(), 5, 5));
}

TEST_F(SkinControlTest, ANewSkinDataNameTakesEffectAtTheNextLookup)
{
  auto* control = Control("fixed");
  control->SetSkinData(Skin);
  const int fixed = control->GetSkinIndex();
  control->SetSkinDataName("both");
  EXPECT_EQ(fixed, control->GetSkinIndex());
  Snapshot(control);
  EXPECT_EQ(Skin->GetControlIndex("both"), control->GetSkinIndex());
  // Record names compare exactly.
  control->SetSkinDataName("Both");
  control->GetSkinData();
  EXPECT_EQ(-1, control->GetSkinIndex());
}

TEST_F(SkinControlTest, MapSkinRectPlacesRectanglesOfSkinCoordinates)
{
  auto* both = Control("both", 40, 30); // dW 20, dH 10
  both->SetSkinData(Skin);
  auto* horz = Control("horz", 50, 10); // dW 20
  horz->SetSkinData(Skin);
  auto* vert = Control("vert", 10, 45); // dH 15
  vert->SetSkinData(Skin);
  struct Case {
    TskSkinCustomControl* Control;
    TRect In, Out;
  } const cases[] = {
      {both, Rect(0, 0, 3, 3), Rect(0, 0, 3, 3)},         // inside the top-left corner
      {both, Rect(17, 0, 19, 3), Rect(37, 0, 39, 3)},     // inside the top-right corner
      {both, Rect(1, 17, 3, 19), Rect(1, 27, 3, 29)},     // inside the bottom-left corner
      {both, Rect(17, 17, 19, 19), Rect(37, 27, 39, 29)}, // inside the bottom-right corner
      {both, Rect(1, 1, 18, 3), Rect(1, 1, 38, 3)},       // across the top corners: widened
      {both, Rect(1, 1, 18, 18), Rect(1, 1, 38, 28)},     // top-left to bottom-right
      {both, Rect(1, 17, 18, 19), Rect(1, 27, 38, 29)},   // across the bottom corners
      {both, Rect(1, 1, 3, 18), Rect(1, 1, 3, 28)},       // down the left side
      {both, Rect(17, 1, 19, 18), Rect(37, 1, 39, 28)},   // down the right side
      {both, Rect(8, 8, 10, 10), Rect(8, 8, 10, 10)},     // in the middle: unchanged
      {horz, Rect(5, 0, 25, 10), Rect(5, 0, 45, 10)},
      {horz, Rect(22, 0, 28, 10), Rect(42, 0, 48, 10)},
      {horz, Rect(12, 0, 15, 10), Rect(12, 0, 15, 10)},
      {vert, Rect(0, 5, 10, 25), Rect(0, 5, 10, 40)},
      {vert, Rect(0, 22, 10, 28), Rect(0, 37, 10, 43)},
      {vert, Rect(0, 12, 10, 15), Rect(0, 12, 10, 15)},
  };
  for (const Case& c : cases) {
    const TRect got = c.Control->MapSkinRect(c.In);
    EXPECT_TRUE(EqualRect(&c.Out, &got)) << c.In.left << "," << c.In.top << "," << c.In.right << "," << c.In.bottom
                                         << " -> " << got.left << "," << got.top << "," << got.right << ","
                                         << got.bottom;
  }
}

TEST_F(SkinControlTest, AMaskCutsTheWindowAndGoesAwayWithTheRecord)
{
  auto* control = Control("masked");
  Form->Show();
  control->SetSkinData(Skin);
  ASSERT_NE(nullptr, control->GetRegionHandle());
  HRGN current = CreateRectRgn(0, 0, 0, 0);
  ASSERT_NE(ERROR, GetWindowRgn(control->GetHandle(), current));
  EXPECT_TRUE(PtInRegion(current, 5, 5));
  EXPECT_FALSE(PtInRegion(current, 15, 5));
  DeleteObject(current);

  control->SetSkinDataName("fixed");
  control->ChangeSkinData();
  EXPECT_EQ(nullptr, control->GetRegionHandle());

  // A mask of another size than the skin rectangle does not fail.
  auto* record = SkinRecord(Skin, "both");
  record->maskpictureindex = 1;
  auto* framed = Control("both", 70, 50);
  framed->SetSkinData(Skin);
  framed->SetBounds(0, 0, 90, 60);
}

TEST_F(SkinControlTest, DirectFramePaintingTilesTheClientAndSurvivesAnEmptyClientRectangle)
{
  auto* panel = Control<TDirect>("both", 90, 70);
  panel->SetSkinData(Skin);
  auto image = Snapshot(panel);
  EXPECT_EQ(Green, BitmapPixel(image.get(), 1, 1));
  EXPECT_EQ(Green, BitmapPixel(image.get(), 88, 68));
  EXPECT_EQ(Blue, BitmapPixel(image.get(), 45, 35));

  auto* broken = Control<TDirect>("noclient", 90, 70);
  broken->SetSkinData(Skin);
  Snapshot(broken);
}

TEST_F(SkinControlTest, ChildrenOfACentringContainerAreCentredVertically)
{
  auto* bar = Control<TCentring>("both", 200, 60);
  for (int top : {0, 5, 33}) {
    auto* child = Control("both", 30, 20, bar);
    child->SetBounds(4, top, 30, 20);
    EXPECT_EQ(20, child->GetTop()) << top; // 40 / 2 + 10 - 20 / 2
    auto* graphic = new TskGraphicSkinCustomControl(Form);
    graphic->SetParent(bar);
    graphic->SetBounds(40, top, 25, 15);
    EXPECT_EQ(23, graphic->GetTop()) << top; // 20 + 10 - 7
  }
}

TEST_F(SkinControlTest, TheSkinCursorComesFromTheRecordWhenAskedFor)
{
  auto* control = Control("fixed");
  control->SetUseSkinCursor(true);
  control->SetSkinData(Skin);
  EXPECT_EQ(Skin->StartCursorIndex + 3, control->GetCursor());
  control->SetSkinDataName("both");
  control->ChangeSkinData();
  EXPECT_EQ(crDefault, control->GetCursor());
}

TEST_F(SkinControlTest, MouseEnterAndLeaveRaiseTheirEventsOnce)
{
  auto* control = Control("fixed");
  int enters = 0, leaves = 0;
  control->OnMouseEnter = [&](TObject*) { ++enters; };
  control->OnMouseLeave = [&](TObject*) { ++leaves; };
  control->Perform(CM_MOUSEENTER, 0, 0);
  control->Perform(CM_MOUSELEAVE, 0, 0);
  EXPECT_EQ(1, enters);
  EXPECT_EQ(1, leaves);
}

// --- the non-windowed base ------------------------------------------------------------------

TEST_F(SkinControlTest, GraphicControlsFollowTheSameSizeRulesAndLooks)
{
  struct Case {
    const char* Record;
    int W, H;
  } const cases[] = {{"fixed", 20, 10}, {"both", 50, 40}, {"horz", 50, 10}, {"vert", 10, 40}, {"missing", 50, 40}};
  for (const Case& c : cases) {
    auto* control = new TskGraphicSkinCustomControl(Form);
    control->SetParent(Form);
    control->SetSkinDataName(c.Record);
    control->SetSkinData(Skin);
    control->SetBounds(0, 0, 50, 40);
    EXPECT_EQ(c.W, control->GetWidth()) << c.Record;
    EXPECT_EQ(c.H, control->GetHeight()) << c.Record;
  }
  auto* fixed = new TskGraphicSkinCustomControl(Form);
  fixed->SetParent(Form);
  fixed->SetSkinDataName("fixed");
  fixed->SetSkinData(Skin);
  EXPECT_EQ(Red, BitmapPixel(Snapshot(fixed).get(), 10, 5));
  fixed->SetSkinDataName("missing");
  EXPECT_EQ(ColorToRGB(clBtnFace), BitmapPixel(Snapshot(fixed).get(), 5, 5));
}

TEST_F(SkinControlTest, AGraphicControlRepaintsOnAParentImageNoticeOnlyWhenBlended)
{
  auto* control = new TGraphicCounting(Form);
  control->SetParent(Form);
  control->SetBounds(0, 0, 40, 30);
  Form->Show();
  Pump();
  control->Paints = 0;
  control->Perform(ParentImageChangedMessage, 0, 0);
  Pump();
  EXPECT_EQ(0, control->Paints);
  control->SetAlphaBlend(true);
  Pump();
  control->Paints = 0;
  control->Perform(ParentImageChangedMessage, 0, 0);
  Pump();
  EXPECT_GE(control->Paints, 1);
}

TEST_F(SkinControlTest, GraphicControlsHaveNoPictureForBadIndexesAndForgetAFreedSkin)
{
  auto* record = SkinRecord<TskDataSkinCustomControl>(Skin, "both");
  record->pictureindex = -7;
  auto* control = new TskGraphicSkinCustomControl(Form);
  control->SetParent(Form);
  control->SetSkinDataName("both");
  control->SetSkinData(Skin);
  control->SetBounds(0, 0, 30, 30);
  EXPECT_EQ(nullptr, control->Picture);
  Snapshot(control);
  delete Skin;
  Skin = nullptr;
  EXPECT_EQ(nullptr, control->GetSkinDataComponent());
  EXPECT_EQ(ColorToRGB(clBtnFace), BitmapPixel(Snapshot(control).get(), 5, 5));
}

} // namespace
