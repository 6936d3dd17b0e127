// What the frame paints (skinned, default and client-drawn, active and inactive), the fades, and
// the window procedure's answers: broadcasts reaching the right controls, caption double clicks,
// the query messages.
#include "skin/controls/GraphicSkinControl.h"
#include "skin/controls/SkinControl.h"
#include "skin/controls/SkinPanel.h"
#include "tests/skin/frame/SkinFrameTestSupport.h"

namespace {

COLORREF Rgb(TColor C) { return ColorToRGB(C); }

// Shows another form, so that the forms shown before paint inactive.
void ShowAnotherForm(std::vector<TComponent*>& Owned)
{
  auto* other = new TForm(nullptr);
  Owned.push_back(other);
  other->SetBounds(900, 700, 100, 100);
  other->Show();
}

} // namespace

TEST_F(TSkinFrameTest, DefaultFramePaintsRingsCaptionAndFace)
{
  TskSkinnedForm* frame = FramedForm(nullptr);
  TForm* form = frame->OwnerForm();
  form->Show();
  Pump();
  EXPECT_EQ(Rgb(cl3DLight), Pixel(form, 0, 0));
  EXPECT_EQ(Rgb(cl3DDkShadow), Pixel(form, 399, 299));
  EXPECT_EQ(Rgb(clBtnHighlight), Pixel(form, 1, 1));
  EXPECT_EQ(Rgb(clBtnShadow), Pixel(form, 398, 298));
  EXPECT_EQ(Rgb(clBtnFace), Pixel(form, 2, 150));
  EXPECT_EQ(Rgb(clBtnFace), Pixel(form, 200, 150));
  // The caption's stripes: highlight on even rows, shadow on odd ones, away from the text.
  EXPECT_EQ(Rgb(clBtnHighlight), Pixel(form, 30, 3 + 2));
  EXPECT_EQ(Rgb(clBtnShadow), Pixel(form, 30, 3 + 3));
}

TEST_F(TSkinFrameTest, SkinnedFrameActiveAndInactive)
{
  struct TCase {
    const char* Name;
    bool InactivePicture;
    bool AutoRender;
    COLORREF Active, Inactive;
  } const cases[] = {
      {"no inactive look", false, false, RGB(200, 0, 0), RGB(200, 0, 0)},
      {"inactive picture", true, false, RGB(200, 0, 0), RGB(0, 0, 200)},
      {"rendered inactive (brighter)", false, true, RGB(200, 0, 0), RGB(227, 127, 127)},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.Name);
    TskSkinData* skin = PlainFrameSkin(RGB(200, 0, 0), clGreen, nullptr,
                                       c.AutoRender ? "autorenderinginactiveimage=1\ninactiveeffect=iebrightness\n" : "");
    if (c.InactivePicture) {
      auto inactive = SolidPicture(100, 60, RGB(0, 0, 200));
      skin->inactivepicture->Assign(inactive.get());
    }
    TskSkinnedForm* frame = FramedForm(skin, 200, 100);
    TForm* form = frame->OwnerForm();
    form->Show();
    Pump();
    ASSERT_TRUE(frame->IsFormActive());
    EXPECT_EQ(c.Active, Pixel(form, 50, 2));
    EXPECT_EQ(Rgb(clGreen), Pixel(form, 100, 50));
    ShowAnotherForm(Owned);
    Pump();
    ASSERT_FALSE(frame->IsFormActive());
    const COLORREF inactive = Pixel(form, 50, 2);
    EXPECT_NEAR(GetRValue(c.Inactive), GetRValue(inactive), 2);
    EXPECT_NEAR(GetGValue(c.Inactive), GetGValue(inactive), 2);
    EXPECT_NEAR(GetBValue(c.Inactive), GetBValue(inactive), 2);
  }
}

TEST_F(TSkinFrameTest, DefaultFrameUntilASkinIsLoadedThenTheSkin)
{
  auto* stored = new TskCompressedStoredSkin(Holder);
  LoadBuiltinSkin(stored, TBuiltinSkin::bsFrame);
  auto* skin = new TskSkinData(Holder);
  TskSkinnedForm* frame = FramedForm(skin);
  TForm* form = frame->OwnerForm();
  form->Show();
  Pump();
  EXPECT_EQ(Rgb(cl3DLight), Pixel(form, 0, 0));
  EXPECT_EQ(394, form->GetClientWidth());
  EXPECT_EQ(275, form->GetClientHeight());
  skin->SetCompressedStoredSkin(stored);
  Pump();
  EXPECT_TRUE(frame->GetSkinLoaded());
  EXPECT_NE(Rgb(cl3DLight), Pixel(form, 0, 0));
  EXPECT_EQ(392, form->GetClientWidth());
  EXPECT_EQ(268, form->GetClientHeight());
}

TEST_F(TSkinFrameTest, ClientDrawnFrame)
{
  // Without a skin: a face with a black outline.
  auto* plain = new TForm(nullptr);
  Owned.push_back(plain);
  plain->SetBorderStyle(bsNone);
  plain->SetBounds(50, 50, 120, 80);
  auto* bare = new TskSkinnedForm(plain);
  bare->SetSupportNCArea(false);
  plain->Show();
  Pump();
  EXPECT_EQ(RGB(0, 0, 0), Pixel(plain, 0, 0));
  EXPECT_EQ(Rgb(clBtnFace), Pixel(plain, 5, 5));

  // With a skin: the picture laid out in the client area; hit codes in client coordinates.
  auto* form = new TForm(nullptr);
  Owned.push_back(form);
  form->SetBorderStyle(bsNone);
  form->SetBounds(100, 100, 200, 100);
  auto* frame = new TskSkinnedForm(form);
  frame->SetSupportNCArea(false);
  frame->SetSkinData(PlainFrameSkin(RGB(200, 0, 0), clGreen));
  form->Show();
  Pump();
  EXPECT_EQ(200, form->GetClientWidth());
  EXPECT_EQ(RGB(200, 0, 0), Pixel(form, 50, 2));
  EXPECT_EQ(Rgb(clGreen), Pixel(form, 100, 50));
  struct TCase {
    int X, Y;
    LRESULT Hit;
  } const cases[] = {{1, 50, HTLEFT}, {198, 50, HTRIGHT}, {100, 50, HTCLIENT}, {198, 98, HTBOTTOMRIGHT}};
  for (const TCase& c : cases)
    EXPECT_EQ(c.Hit, SendMessage(form->GetHandle(), WM_NCHITTEST, 0, MAKELPARAM(100 + c.X, 100 + c.Y)))
        << c.X << "," << c.Y;
  // A picture smaller than the window's client area is never left: the client grows to it.
  form->SetClientWidth(40);
  frame->ApplySkin();
  EXPECT_EQ(100, form->GetClientWidth());
}

TEST_F(TSkinFrameTest, FadeSteps)
{
  struct TCase {
    int Target;
    std::size_t Count;
    int First, Last;
  } const cases[] = {{255, 15, 17, 255}, {200, 16, 13, 200}, {14, 14, 1, 14}, {1, 1, 1, 1}};
  for (const TCase& c : cases) {
    const std::vector<int> steps = FadeSteps(c.Target);
    ASSERT_EQ(c.Count, steps.size()) << c.Target;
    EXPECT_EQ(c.First, steps.front());
    EXPECT_EQ(c.Last, steps.back());
    EXPECT_TRUE(std::is_sorted(steps.begin(), steps.end()));
  }
  EXPECT_TRUE(FadeSteps(0).empty());
}

TEST_F(TSkinFrameTest, OpacityAfterTheFade)
{
  struct TCase {
    const char* Name;
    bool AlphaBlend, Animation;
    Byte Value;
    bool Layered;
    int Alpha;
  } const cases[] = {
      {"alpha blend 255: opaque again", true, false, 255, false, 255},
      {"alpha blend 120 stays layered", true, false, 120, true, 120},
      {"fade-in ends opaque", false, true, 200, false, 255},
      {"fade-in to the blend value", true, true, 90, true, 90},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.Name);
    TskSkinnedForm* frame = FramedForm(FrameSkin());
    frame->SetAlphaBlendValue(c.Value);
    frame->SetAlphaBlend(c.AlphaBlend);
    frame->AlphaBlendAnimation = c.Animation;
    TForm* form = frame->OwnerForm();
    form->Show();
    Clock->Advance(20);
    Pump();
    const bool layered = (GetWindowLong(form->GetHandle(), GWL_EXSTYLE) & WS_EX_LAYERED) != 0;
    EXPECT_EQ(c.Layered, layered);
    EXPECT_EQ(c.Alpha, frame->CurrentFadeAlpha());
  }
}

// ---- Broadcasts ----

namespace {

struct TSkinCounts {
  int Changed = 0;
  int Reset = 0;
};

class TCountingControl : public TskSkinControl {
public:
  TCountingControl(TComponent* AOwner, TSkinCounts* ACounts) : TskSkinControl(AOwner), Counts(ACounts) {}
  void ChangeSkinData() override
  {
    ++Counts->Changed;
    TskSkinControl::ChangeSkinData();
  }
  void ResetSkinIndex() override
  {
    ++Counts->Reset;
    TskSkinControl::ResetSkinIndex();
  }
  TSkinCounts* Counts;
};

class TCountingGraphic : public TskGraphicSkinControl {
public:
  TCountingGraphic(TComponent* AOwner, TSkinCounts* ACounts) : TskGraphicSkinControl(AOwner), Counts(ACounts) {}
  void ChangeSkinData() override
  {
    ++Counts->Changed;
    TskGraphicSkinControl::ChangeSkinData();
  }
  TSkinCounts* Counts;
};

} // namespace

TEST_F(TSkinFrameTest, SkinChangeReachesExactlyTheControlsOfThatSkin)
{
  TskSkinData* frameSkin = FrameSkin();
  TskSkinData* controlsA = BuiltinSkinData(Holder, TBuiltinSkin::bsControls);
  TskSkinData* controlsB = BuiltinSkinData(Holder, TBuiltinSkin::bsControls);
  TSkinCounts onA1, onB1, onA2Nested, onA2Graphic, unframed;

  TskSkinnedForm* first = FramedForm(frameSkin);
  TskSkinnedForm* second = FramedForm(frameSkin);
  auto add = [](TForm* Form, TWinControl* Parent, TskSkinData* Skin, TSkinCounts* Counts) {
    auto* c = new TCountingControl(Form, Counts);
    c->SetParent(Parent);
    c->SetBounds(10, 10, 20, 20);
    c->SetSkinData(Skin);
    return c;
  };
  add(first->OwnerForm(), first->OwnerForm(), controlsA, &onA1);
  add(first->OwnerForm(), first->OwnerForm(), controlsB, &onB1);
  auto* panel = new TskSkinPanel(second->OwnerForm());
  panel->SetParent(second->OwnerForm());
  panel->SetBounds(0, 0, 100, 100);
  add(second->OwnerForm(), panel, controlsA, &onA2Nested);
  auto* graphic = new TCountingGraphic(second->OwnerForm(), &onA2Graphic);
  graphic->SetParent(second->OwnerForm());
  graphic->SetSkinData(controlsA);
  // A form without the component passes nothing on.
  auto* plain = NewForm();
  add(plain, plain, controlsA, &unframed);
  for (TSkinCounts* c : {&onA1, &onB1, &onA2Nested, &onA2Graphic, &unframed})
    *c = TSkinCounts{};

  controlsA->SendSkinDataMessage(SkinChangingMessage);
  controlsA->SendSkinDataMessage(SkinChangedMessage);
  EXPECT_EQ(1, onA1.Changed);
  EXPECT_EQ(0, onB1.Changed);
  EXPECT_EQ(1, onA2Nested.Changed);
  EXPECT_EQ(1, onA2Graphic.Changed);
  EXPECT_EQ(0, unframed.Changed);
  // The frames, whose skin did not change, keep their objects.
  EXPECT_FALSE(first->Objects().empty());
  EXPECT_TRUE(first->GetSkinLoaded());

  // The frame's own skin going away: the controls of that skin forget their records first.
  TSkinCounts onFrameSkin;
  add(first->OwnerForm(), first->OwnerForm(), frameSkin, &onFrameSkin);
  onA1 = TSkinCounts{};
  frameSkin->SendSkinDataMessage(SkinChangingMessage);
  EXPECT_EQ(1, onFrameSkin.Reset);
  EXPECT_EQ(0, onA1.Reset);
  frameSkin->SendSkinDataMessage(SkinChangedMessage);
}

TEST_F(TSkinFrameTest, FrameSkinChangeRebuildsTheFrame)
{
  TskSkinData* skin = FrameSkin();
  TskSkinnedForm* frame = FramedForm(skin);
  frame->OwnerForm()->Show();
  Pump();
  const std::size_t objects = frame->Objects().size();
  ASSERT_GT(objects, 0u);
  int changes = 0;
  frame->OnChangeSkinData = [&](TObject*) { ++changes; };
  skin->SendSkinDataMessage(SkinChangingMessage);
  EXPECT_FALSE(frame->GetSkinLoaded());
  EXPECT_TRUE(frame->Objects().empty());
  skin->SendSkinDataMessage(SkinChangedMessage);
  EXPECT_TRUE(frame->GetSkinLoaded());
  EXPECT_EQ(objects, frame->Objects().size());
  EXPECT_EQ(1, changes);
}

TEST_F(TSkinFrameTest, CaptionDoubleClickMaximisesAndRestores)
{
  TskSkinnedForm* frame = FramedForm(FrameSkin());
  TForm* form = frame->OwnerForm();
  form->Show();
  Pump();
  int maximized = 0, restored = 0;
  frame->OnMaximize = [&](TObject*) { ++maximized; };
  frame->OnRestore = [&](TObject*) { ++restored; };
  SendMessage(form->GetHandle(), WM_NCLBUTTONDBLCLK, HTCAPTION, MAKELPARAM(200, 110));
  EXPECT_EQ(wsMaximized, frame->GetSkinWindowState());
  EXPECT_EQ(wsNormal, form->GetWindowState());
  EXPECT_EQ(TRect(0, 0, 1280, 1000), form->GetBoundsRect());
  SendMessage(form->GetHandle(), WM_NCLBUTTONDBLCLK, HTCAPTION, MAKELPARAM(200, 10));
  EXPECT_EQ(wsNormal, frame->GetSkinWindowState());
  EXPECT_EQ(TRect(100, 100, 500, 400), form->GetBoundsRect());
  EXPECT_EQ(1, maximized);
  EXPECT_EQ(1, restored);
  // Without the maximise icon the caption does not maximise.
  frame->SetBorderIcons(biSystemMenu);
  SendMessage(form->GetHandle(), WM_NCLBUTTONDBLCLK, HTCAPTION, MAKELPARAM(200, 110));
  EXPECT_EQ(wsNormal, frame->GetSkinWindowState());
}

TEST_F(TSkinFrameTest, QueryMessagesAnswer)
{
  TskSkinnedForm* frame = FramedForm(FrameSkin());
  HWND wnd = frame->OwnerForm()->GetHandle();
  EXPECT_EQ(12853, SendMessage(wnd, SkinFormQueryMessage, 0, 0));
  TBitmap target;
  target.SetSize(400, 300);
  FillArea(&target, Rect(0, 0, 400, 300), clWhite);
  EXPECT_EQ(12851, SendMessage(wnd, SkinControlQueryMessage,
                               reinterpret_cast<WPARAM>(target.GetCanvas()->GetHandle()), 0));
  EXPECT_NE(clWhite, BitmapPixel(&target, 100, 2));
  EXPECT_EQ(clWhite, BitmapPixel(&target, 200, 150));
  EXPECT_EQ(16802, SendMessage(wnd, SkinFramePaintMessage, 0, 16802));
}

TEST_F(TSkinFrameTest, ComponentLifetime)
{
  // Only a form can own one.
  EXPECT_THROW(delete new TskSkinnedForm(Holder), EInvalidCast);
  // Freed: the form is an ordinary form again.
  TskSkinnedForm* frame = FramedForm(FrameSkin());
  TForm* form = frame->OwnerForm();
  form->Show();
  Pump();
  delete frame;
  Pump();
  RECT c{};
  GetClientRect(form->GetHandle(), &c);
  EXPECT_EQ(HTCAPTION, SendMessage(form->GetHandle(), WM_NCHITTEST, 0, MAKELPARAM(200, 100 + 10)));
  // The freed skin clears the reference.
  TskSkinData* skin = FrameSkin();
  TskSkinnedForm* other = FramedForm(skin);
  delete skin;
  EXPECT_EQ(nullptr, other->GetSkinData());
  EXPECT_FALSE(other->GetSkinLoaded());
  // Property values that are out of range are ignored.
  const int height = other->GetSkinMenu()->DefMenuItemHeight;
  other->SetDefMenuItemHeight(0);
  other->SetMaxMenuItemsInWindow(-1);
  EXPECT_EQ(height, other->GetSkinMenu()->DefMenuItemHeight);
  EXPECT_EQ(0, other->GetSkinMenu()->MaxMenuItemsInWindow);
}

TEST_F(TSkinFrameTest, NotSkinnableSkinKeepsTheOrdinaryFrame)
{
  TskSkinData* skin = FrameSkin();
  skin->SetSkinnableForm(false);
  TskSkinnedForm* frame = FramedForm(skin);
  frame->SetBorderIcons(biSystemMenu | biMaximize);
  frame->ApplySkin();
  TForm* form = frame->OwnerForm();
  EXPECT_FALSE(frame->GetFormSkinnable());
  EXPECT_EQ(TBorderIcons(biSystemMenu | biMaximize), form->GetBorderIcons());
  frame->HideCaptionButtons = true;
  frame->ApplySkin();
  EXPECT_EQ(TBorderIcons(biMaximize), form->GetBorderIcons());
}
