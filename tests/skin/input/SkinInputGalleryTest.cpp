// The gallery of the skinned input controls (see tests/skin/support/SkinGallery.h), in the three
// looks: up-downs horizontal and vertical, at the skin's size and stretched over the
// resized-button drawing, at rest and with a hot button.
#include "skin/input/SkinPageControl.h"
#include "skin/input/SkinUpDown.h"
#include "tests/skin/support/SkinGallery.h"

namespace {

TGalleryFamily UpDowns("Up-downs", 60, [](TGalleryColumn& C) {
  auto add = [&](int X, int W, int H, TUDOrientation Orientation, bool UseSkinSize) {
    auto* u = new TskSkinUpDown(C.Form);
    u->SetParent(C.Form);
    u->SetOrientation(Orientation);
    u->SetSkinDataName(Orientation == udVertical ? "vupdown" : "hupdown");
    u->SetUseSkinSize(UseSkinSize);
    u->SetBounds(C.Left + X, C.Top, W, H);
    if (C.SkinData)
      u->SetSkinData(C.SkinData);
    return u;
  };
  add(0, 40, 20, udHorizontal, true);
  auto* hot = add(50, 40, 20, udHorizontal, true);
  hot->CalcRects();
  const TRect up = hot->GetButtonRect(0);
  hot->Perform(WM_MOUSEMOVE, 0, MAKELPARAM(up.left + 2, up.top + 2));
  add(100, 20, 40, udVertical, true);
  add(130, 60, 24, udHorizontal, false);
  add(200, 22, 50, udVertical, false);
});

TGalleryFamily PageControls("Page controls: close buttons, and cut-off tabs with the up-down", 200,
                             [](TGalleryColumn& C) {
  auto add = [&](int Y, int W, bool Close, const std::vector<const char*>& Captions) {
    auto* pc = new TskSkinPageControl(C.Form);
    pc->SetParent(C.Form);
    pc->SetBounds(C.Left, C.Top + Y, W, 95);
    for (const char* caption : Captions) {
      auto* s = new TskSkinTabSheet(C.Form);
      s->SetCaption(caption);
      s->SetPageControl(pc);
    }
    pc->SetActivePageIndex(1);
    pc->SetShowCloseButtons(Close);
    if (C.SkinData)
      pc->SetSkinData(C.SkinData);
    return pc;
  };
  add(0, 280, true, {"Input", "Output", "Audio"});
  add(100, 200, false, {"General", "Video", "Audio", "Subtitles", "Tools"});
});

TGalleryFamily PageControlSides("Page controls: tabs below, left, right (horizontal text), images, transparent strip",
                                 380, [](TGalleryColumn& C) {
  auto add = [&](int X, int Y, int W, int H, TTabPosition Position) {
    auto* pc = new TskSkinPageControl(C.Form);
    pc->SetParent(C.Form);
    pc->SetBounds(C.Left + X, C.Top + Y, W, H);
    for (const char* caption : {"Video", "Audio", "Tools"}) {
      auto* s = new TskSkinTabSheet(C.Form);
      s->SetCaption(caption);
      s->SetPageControl(pc);
    }
    pc->SetActivePageIndex(1);
    pc->SetTabPosition(Position);
    if (C.SkinData)
      pc->SetSkinData(C.SkinData);
    return pc;
  };
  add(0, 0, 280, 80, tpBottom);
  add(0, 85, 135, 170, tpLeft);
  auto* horizontal = add(145, 85, 135, 170, tpRight);
  horizontal->SetTabHeight(44);
  horizontal->SetTextInHorizontal(true);
  auto* images = new TCustomImageList(C.Form, 10, 10);
  for (TColor color : {static_cast<TColor>(0x2080E0), static_cast<TColor>(0x30A030), static_cast<TColor>(0xC04040)}) {
    TBitmap b;
    b.SetPixelFormat(pf24bit);
    b.SetSize(10, 10);
    b.GetCanvas()->GetBrush()->SetColor(color);
    b.GetCanvas()->FillRect(Rect(0, 0, 10, 10));
    images->Add(&b, nullptr);
  }
  auto* withImages = add(0, 260, 280, 55, tpTop);
  withImages->SetImages(images);
  for (int i = 0; i < withImages->GetPageCount(); ++i)
    withImages->GetPage(i)->SetImageIndex(i);
  withImages->SetTabsBGTransparent(true);
  auto* extended = add(0, 320, 280, 55, tpTop);
  extended->SetImages(images);
  extended->SetTabExtededDraw(true);
  extended->SetTabLayout(blGlyphRight);
  extended->SetShowCloseButtons(true);
});

TEST(SkinInputGallery, TheInputControlsOfEveryLookAreShownAndKeptAsAScreenshot)
{
  SkinGallery::RunSkinGallery(String(QV_TEST_BIN_DIR) + "/../skin-input-gallery.png",
                              "SkinInputGallery.TheInputControlsOfEveryLookAreShownAndKeptAsAScreenshot");
}

}  // namespace
