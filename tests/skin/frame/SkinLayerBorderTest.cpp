// The layered border: which records are usable, the outer rectangle, the four strips cut from
// the picture, the strip windows around a shown form, the opacities, the hit zones and the
// sizing by a strip.
#include "skin/frame/SkinLayerBorder.h"
#include "tests/skin/frame/SkinFrameTestSupport.h"

namespace {

class TLayerBorderTest : public TSkinFrameTest {
protected:
  TskSkinData* LayerSkin(const TRect& BorderRect = TRect{}) { return LayerFrameSkinData(Holder, BorderRect); }
  static int Red(TskBitmap* B, int X, int Y) { return static_cast<int>((*B->PixelPtr(X, Y) >> 16) & 0xFF); }
  static int Alpha(TskBitmap* B, int X, int Y) { return static_cast<int>(*B->PixelPtr(X, Y) >> 24); }
};

} // namespace

TEST_F(TLayerBorderTest, UnusableRecordsShowNothing)
{
  struct TCase {
    const char* Name;
    int Picture, Mask;
  };
  const TCase cases[] = {{"picture index -1", -1, 1}, {"picture index past the list", 99, 1}, {"mask past the list", 0, 99}};
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.Name);
    TskSkinData* skin = LayerSkin();
    const int base = skin->LayerFrame->pictureindex;
    skin->LayerFrame->pictureindex = c.Picture == -1 ? -1 : c.Picture == 99 ? 99 : base;
    skin->LayerFrame->maskpictureindex = c.Mask == 99 ? 99 : base + 1;
    TskSkinnedForm* frame = FramedForm(skin);
    frame->OwnerForm()->Show();
    Pump();
    TskFormLayerBorder* border = frame->GetLayerBorder();
    EXPECT_FALSE(border->HasRecord());
    EXPECT_FALSE(border->Shown);
    border->ShowAt(0, 0, 200, 200);
    EXPECT_FALSE(border->Shown);
  }
}

TEST_F(TLayerBorderTest, OuterRectangleAndStripsOfAShownForm)
{
  TskSkinnedForm* frame = FramedForm(LayerSkin());
  frame->OwnerForm()->SetBounds(200, 100, 300, 200);
  frame->OwnerForm()->Show();
  Pump();
  TskFormLayerBorder* border = frame->GetLayerBorder();
  ASSERT_TRUE(border->Shown);
  EXPECT_EQ(TRect(190, 90, 510, 310), border->OuterRect(200, 100, 300, 200));
  EXPECT_EQ(320, border->BorderWidth);
  EXPECT_EQ(220, border->BorderHeight);
  struct TCase {
    TskLayerSide Side;
    TRect Window;
  };
  const TCase cases[] = {{lsTop, {190, 90, 510, 100}},
                         {lsBottom, {190, 300, 510, 310}},
                         {lsLeft, {190, 100, 200, 300}},
                         {lsRight, {500, 100, 510, 300}}};
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.Side);
    TskFormLayerWindow* w = border->Window(c.Side);
    ASSERT_NE(nullptr, w);
    RECT r{};
    GetWindowRect(w->GetHandle(), &r);
    EXPECT_EQ(c.Window, TRect(r));
    EXPECT_TRUE(IsWindowVisible(w->GetHandle()));
  }
  // The top strip keeps the picture's top rows; the alpha is the mask's grey level.
  TskBitmap* top = border->Strip(lsTop);
  EXPECT_EQ(0, Red(top, 150, 0));
  EXPECT_EQ(9, Red(top, 150, 9));
  EXPECT_EQ(128, Alpha(top, 2, 5));
  EXPECT_EQ(255, Alpha(top, 150, 5));
  // The side strips repeat the rows between the top and the bottom strip.
  TskBitmap* left = border->Strip(lsLeft);
  EXPECT_EQ(10, Red(left, 7, 0));
  EXPECT_EQ(89, Red(left, 7, 79));
  EXPECT_EQ(10, Red(left, 7, 80)) << "the second tile starts over";
  EXPECT_EQ(99, Red(border->Strip(lsBottom), 150, 9));

  // Following the form.
  frame->OwnerForm()->SetBounds(250, 120, 300, 200);
  Pump();
  RECT r{};
  GetWindowRect(border->Window(lsTop)->GetHandle(), &r);
  EXPECT_EQ(TRect(240, 110, 560, 120), TRect(r));
  frame->SetBorderIcons(biSystemMenu | biMaximize);
  frame->SetSkinWindowState(wsMaximized);
  EXPECT_FALSE(border->Shown) << "no border around a maximised form";
  frame->SetSkinWindowState(wsNormal);
  EXPECT_TRUE(border->Shown);
}

TEST_F(TLayerBorderTest, AShortFormHasNoSideStrips)
{
  TskSkinnedForm* frame = FramedForm(LayerSkin());
  TskFormLayerBorder* border = frame->GetLayerBorder();
  frame->OwnerForm()->HandleNeeded();
  border->ShowAt(0, 0, 200, 20);
  EXPECT_TRUE(border->Shown);
  EXPECT_EQ(nullptr, border->Window(lsLeft));
  EXPECT_EQ(nullptr, border->Window(lsRight));
  EXPECT_NE(nullptr, border->Window(lsTop));
  border->HideBorder();
  EXPECT_EQ(nullptr, border->Window(lsTop));
}

TEST_F(TLayerBorderTest, AlphaLevelsAndActivation)
{
  TskSkinnedForm* frame = FramedForm(LayerSkin());
  TskFormLayerBorder* border = frame->GetLayerBorder();
  frame->OwnerForm()->Show();
  Pump();
  struct TCase {
    int Level, Active, Inactive;
  };
  const TCase cases[] = {{255, 200, 100}, {0, 0, 0}, {128, 100, 50}, {51, 40, 20}};
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.Level);
    border->SetAlphaLevel(c.Level, true);
    EXPECT_EQ(c.Active, border->AlphaValue(true));
    EXPECT_EQ(c.Inactive, border->AlphaValue(false));
    EXPECT_TRUE(border->Shown) << "a zero level hides nothing";
  }
  border->SetActive(false, true);
  EXPECT_FALSE(border->Active);
  EXPECT_TRUE(border->Shown);
}

TEST_F(TLayerBorderTest, HitZonesOfTheStrips)
{
  const TRect form{200, 100, 500, 300};
  const TRect e{10, 10, 10, 10};
  struct TCase {
    TskLayerSide Side;
    TPoint P;
    int Zone;
  };
  const TCase cases[] = {
      {lsLeft, {195, 200}, 1},   {lsLeft, {185, 200}, 0},   {lsRight, {505, 200}, 3},  {lsRight, {515, 200}, 0},
      {lsTop, {195, 95}, 5},     {lsTop, {202, 102}, 5},    {lsTop, {300, 95}, 2},     {lsTop, {505, 95}, 6},
      {lsTop, {300, 85}, 0},     {lsTop, {195, 105}, 1},    {lsBottom, {195, 305}, 7}, {lsBottom, {300, 305}, 4},
      {lsBottom, {505, 305}, 8}, {lsBottom, {300, 315}, 0}, {lsBottom, {499, 298}, 8}, {lsBottom, {503, 290}, 3},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(std::to_string(c.Side) + " at " + std::to_string(c.P.x) + "," + std::to_string(c.P.y));
    EXPECT_EQ(c.Zone, LayerHitZone(c.Side, c.P, form, e));
  }
}

TEST_F(TLayerBorderTest, SizingByAStrip)
{
  const TRect form{200, 100, 500, 300};
  struct TCase {
    const char* Name;
    int Zone, Dx, Dy;
    TRect Expected;
  };
  const TCase cases[] = {
      {"left strip 10 right", 1, 10, 0, {210, 100, 500, 300}},
      {"left strip past the minimum", 1, 250, 0, form},
      {"right strip past the minimum is clamped", 3, -250, 0, {200, 100, 300, 300}},
      {"top strip up", 2, 0, -20, {200, 80, 500, 300}},
      {"bottom strip without movement", 4, 0, 0, form},
      {"top-left corner", 5, -5, -5, {195, 95, 500, 300}},
      {"top-right corner", 6, 5, -5, {200, 95, 505, 300}},
      {"bottom-left corner", 7, -5, 5, {195, 100, 500, 305}},
      {"bottom-right past the maximum", 8, 2000, 5, {200, 100, 1000, 305}},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.Name);
    EXPECT_EQ(c.Expected, LayerSizedBounds(static_cast<Byte>(c.Zone), form, c.Dx, c.Dy, 100, 50, 800, 600));
  }
}

TEST_F(TLayerBorderTest, ExtentsComeFromTheBorderRectangle)
{
  TskSkinnedForm* frame = FramedForm(LayerSkin(TRect{4, 6, 96, 95}));
  frame->OwnerForm()->Show();
  Pump();
  TskFormLayerBorder* border = frame->GetLayerBorder();
  EXPECT_EQ(TRect(6, 4, 6, 5), border->Extents());
  EXPECT_TRUE(border->HasExtents());
  // Without one, the strips let the mouse through.
  TskSkinnedForm* other = FramedForm(LayerSkin());
  other->OwnerForm()->Show();
  Pump();
  ASSERT_NE(nullptr, other->GetLayerBorder()->Window(lsTop));
  EXPECT_NE(0, GetWindowLong(other->GetLayerBorder()->Window(lsTop)->GetHandle(), GWL_EXSTYLE) & WS_EX_TRANSPARENT);
  EXPECT_EQ(0, GetWindowLong(border->Window(lsTop)->GetHandle(), GWL_EXSTYLE) & WS_EX_TRANSPARENT);
}
