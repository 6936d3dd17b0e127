// The gallery of the skinned basic controls (see tests/skin/support/SkinGallery.h): push buttons,
// speed buttons, check and radio boxes in their states, in the three looks.
#include "skin/controls/SkinButton.h"
#include "skin/controls/SkinCheckRadioBox.h"
#include "skin/controls/SkinSpeedButton.h"
#include "tests/skin/support/SkinGallery.h"

namespace {

// A 16 x 16 glyph: a blue disc on the magenta transparent colour.
TBitmap* Glyph(TComponent* Owner)
{
  static std::vector<std::unique_ptr<TBitmap>> keep;
  (void)Owner;
  auto b = SolidPicture(16, 16, 0xFF00FF);
  b->GetCanvas()->GetBrush()->SetColor(0xC0742F);
  b->GetCanvas()->GetPen()->SetColor(0xC0742F);
  b->GetCanvas()->Ellipse(2, 2, 14, 14);
  keep.push_back(std::move(b));
  return keep.back().get();
}

TGalleryFamily PushButtons("Push buttons", 70, [](TGalleryColumn& C) {
  auto* normal = C.Add<TskSkinButton>(0, 0, 80, 25);
  normal->SetCaption("Normal");
  auto* def = C.Add<TskSkinButton>(90, 0, 80, 25);
  def->SetCaption("Default");
  def->SetDefault(true);
  auto* hot = C.Add<TskSkinButton>(180, 0, 80, 25);
  hot->SetCaption("Hot");
  hot->Perform(CM_MOUSEENTER, 0, 0);
  auto* pressed = C.Add<TskSkinButton>(0, 35, 80, 25);
  pressed->SetCaption("Pressed");
  pressed->SetGroupIndex(C.Group(7));
  pressed->SetDown(true);
  auto* disabled = C.Add<TskSkinButton>(90, 35, 80, 25);
  disabled->SetCaption("Disabled");
  disabled->SetEnabled(false);
  auto* glyph = C.Add<TskSkinButton>(180, 35, 80, 25);
  glyph->SetCaption("Glyph");
  glyph->SetGlyph(Glyph(C.Form));
});

TGalleryFamily SpeedButtons("Speed buttons", 40, [](TGalleryColumn& C) {
  auto* normal = C.Add<TskSkinSpeedButton>(0, 0, 60, 25);
  normal->SetCaption("Clear");
  auto* hot = C.Add<TskSkinSpeedButton>(64, 0, 40, 25);
  hot->SetCaption("Hot");
  hot->Perform(CM_MOUSEENTER, 0, 0);
  auto* down = C.Add<TskSkinSpeedButton>(108, 0, 44, 25);
  down->SetCaption("Down");
  down->SetGroupIndex(C.Group(3));
  down->SetDown(true);
  auto* flat = C.Add<TskSkinSpeedButton>(156, 0, 40, 25);
  flat->SetFlat(true);
  flat->SetCaption("Flat");
  auto* flatHot = C.Add<TskSkinSpeedButton>(200, 0, 25, 25);
  flatHot->SetFlat(true);
  flatHot->SetGlyph(Glyph(C.Form));
  flatHot->Perform(CM_MOUSEENTER, 0, 0);
  auto* disabled = C.Add<TskSkinSpeedButton>(229, 0, 50, 25);
  disabled->SetCaption("Skip");
  disabled->SetEnabled(false);
});

TGalleryFamily CheckBoxes("Check and radio boxes", 120, [](TGalleryColumn& C) {
  auto box = [&](int X, int Y, const char* Caption, bool Radio) {
    auto* b = C.Add<TskSkinCheckRadioBox>(X, Y, 130, 25);
    b->SetCaption(Caption);
    if (Radio) {
      b->SetRadio(true);
      b->SetSkinDataName("radiobox");
      b->SetGroupIndex(C.Group(1));
      if (C.SkinData)
        b->SetSkinData(C.SkinData);
    }
    return b;
  };
  box(0, 0, "Unchecked", false);
  box(140, 0, "Checked", false)->SetChecked(true);
  box(0, 25, "Hot", false)->Perform(CM_MOUSEENTER, 0, 0);
  box(140, 25, "Grayed", false)->SetState(cbGrayed);
  auto* disabled = box(0, 50, "Disabled", false);
  disabled->SetChecked(true);
  disabled->SetEnabled(false);
  auto* framed = box(140, 50, "Framed", false);
  framed->SetFlat(false);
  framed->SetChecked(true);
  box(0, 75, "Radio off", true);
  box(140, 75, "Radio on", true)->SetChecked(true);
});

TEST(SkinGallery, TheControlsOfEveryLookAreShownAndKeptAsAScreenshot)
{
  SkinGallery::RunSkinGallery(String(QV_TEST_BIN_DIR) + "/../skin-gallery.png",
                              "SkinGallery.TheControlsOfEveryLookAreShownAndKeptAsAScreenshot");
}

} // namespace
