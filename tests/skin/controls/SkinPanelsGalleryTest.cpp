// The gallery families of the gauges, labels, panels, status bar and bevels (shown by the gallery
// test of this program, see tests/skin/support/SkinGallery.h).
#include "skin/controls/SkinBevel.h"
#include "skin/controls/SkinGauge.h"
#include "skin/controls/SkinLabel.h"
#include "skin/controls/SkinPanel.h"
#include "skin/controls/SkinStatusBar.h"
#include "skin/controls/SkinStdLabels.h"
#include "tests/skin/support/SkinGallery.h"

namespace {

TGalleryFamily Gauges("Gauges", 70, [](TGalleryColumn& C) {
  auto* quarter = C.Add<TskSkinGauge>(0, 0, 120, 20);
  quarter->SetValue(25);
  auto* percent = C.Add<TskSkinGauge>(0, 25, 120, 20);
  percent->SetValue(60);
  percent->SetShowPercent(true);
  auto* text = C.Add<TskSkinGauge>(0, 50, 120, 20);
  text->SetMaxValue(3);
  text->SetValue(1);
  text->SetProgressText("Pass ");
  text->SetShowProgressText(true);
  text->SetShowPercent(true);
  auto* full = C.Add<TskSkinGauge>(130, 0, 120, 20);
  full->SetValue(100);
  full->SetShowPercent(true);
  auto* empty = C.Add<TskSkinGauge>(130, 25, 120, 20);
  empty->SetValue(0);
  empty->SetShowPercent(true);
  auto* vertical = new TskSkinGauge(C.Form);
  vertical->SetParent(C.Form);
  vertical->SetVertical(true);
  vertical->SetSkinDataName("vgauge");
  vertical->SetBounds(C.Left + 260, C.Top, 20, 70);
  vertical->SetValue(70);
  if (C.SkinData)
    vertical->SetSkinData(C.SkinData);
});

// Light labels carry no skin of their own for the look: their skin data is set like the others'.
template <typename T>
T* AddLabel(TGalleryColumn& C, int X, int Y, int W, int H, const char* Caption)
{
  auto* l = C.AddPlain<T>(X, Y, W, H);
  l->SetAutoSize(false);
  l->SetBounds(C.Left + X, C.Top + Y, W, H);
  l->SetCaption(Caption);
  if (C.SkinData)
    l->SetSkinData(C.SkinData);
  return l;
}

TGalleryFamily Labels("Standard, text and link labels", 75, [](TGalleryColumn& C) {
  AddLabel<TskSkinStdLabel>(C, 0, 0, 130, 18, "Standard label");
  AddLabel<TskSkinStdLabel>(C, 140, 0, 130, 18, "Disabled label")->SetEnabled(false);
  auto* ellipsis = AddLabel<TskSkinStdLabel>(C, 0, 20, 130, 18, "A caption that is far too long");
  ellipsis->SetEllipsType(spetEndEllips);
  auto* link = AddLabel<TskSkinLinkLabel>(C, 140, 20, 60, 18, "Link");
  link->SetURL("http://www.example.com/");
  auto* hot = AddLabel<TskSkinLinkLabel>(C, 200, 20, 80, 18, "Hot link");
  hot->Perform(CM_MOUSEENTER, 0, 0);
  auto* glow = AddLabel<TskSkinLinkLabel>(C, 200, 40, 80, 30, "Glowing");
  glow->SetGlowEffect(true);
  glow->SetGlowSize(4);
  glow->Perform(CM_MOUSEENTER, 0, 0);
  auto* text = C.AddPlain<TskSkinTextLabel>(0, 40, 130, 30);
  text->GetLines()->Add("Text label, line one");
  text->GetLines()->Add("and line two");
  if (C.SkinData)
    text->SetSkinData(C.SkinData);
});

TGalleryFamily Panels("Panels and group boxes", 130, [](TGalleryColumn& C) {
  auto* panel = C.Add<TskSkinPanel>(0, 0, 85, 60);
  auto* inner = new TskSkinGauge(C.Form);
  inner->SetParent(panel);
  inner->SetBounds(10, 20, 60, 16);
  if (C.SkinData)
    inner->SetSkinData(C.SkinData);
  auto* paint = C.Add<TskSkinPaintPanel>(95, 0, 90, 60);
  paint->OnPanelPaint = [](TCanvas* Canvas, TRect R) {
    Canvas->GetPen()->SetColor(0xC0742F);
    Canvas->MoveTo(R.left + 4, R.top + 4);
    Canvas->LineTo(R.right - 4, R.bottom - 4);
    Canvas->MoveTo(R.right - 4, R.top + 4);
    Canvas->LineTo(R.left + 4, R.bottom - 4);
  };
  paint->Repaint();
  auto* box = C.Add<TskSkinGroupBox>(195, 0, 90, 60);
  box->SetCaption("Group box");
  auto* checked = C.Add<TskSkinGroupBox>(0, 68, 90, 60);
  checked->SetCheckedMode(true);
  checked->SetChecked(true);
  checked->SetCaption("Checked");
  auto* rolled = C.Add<TskSkinGroupBox>(95, 68, 90, 60);
  rolled->SetRollUpMode(true);
  rolled->SetCaption("Rolled up");
  rolled->SetRollUpState(true);
  auto* transparent = C.Add<TskSkinGroupBox>(195, 68, 90, 60);
  transparent->SetTransparentMode(true);
  transparent->SetRollUpMode(true);
  transparent->SetCaption("Crop");
});

TGalleryFamily StatusBars("Status bar, status panels and labels", 60, [](TGalleryColumn& C) {
  auto* bar = C.Add<TskSkinStatusBar>(0, 0, 280, 24);
  bar->SetAlign(alNone);
  bar->SetBounds(C.Left, C.Top, 280, 24);
  bar->SetSizeGrip(true);
  auto* panel = new TskSkinStatusPanel(C.Form);
  panel->SetParent(bar);
  panel->SetBounds(2, 2, 110, 20);
  panel->SetCaption("Status panel");
  if (C.SkinData)
    panel->SetSkinData(C.SkinData);
  auto* cpu = new TskSkinGauge(C.Form);
  cpu->SetParent(bar);
  cpu->SetBounds(116, 3, 60, 18);
  cpu->SetValue(42);
  cpu->SetShowPercent(true);
  if (C.SkinData)
    cpu->SetSkinData(C.SkinData);
  auto* label = C.Add<TskSkinLabel>(0, 32, 90, 21);
  label->SetCaption("Skin label");
  auto* shadow = C.Add<TskSkinLabel>(95, 32, 90, 21);
  shadow->SetCaption("Shadow");
  shadow->SetShadowEffect(true);
  auto* reflection = C.Add<TskSkinLabel>(190, 32, 90, 21);
  reflection->SetCaption("Reflection");
  reflection->SetReflectionEffect(true);
});

TGalleryFamily Bevels("Bevels", 30, [](TGalleryColumn& C) {
  const TBevelShape shapes[] = {bsBox, bsFrame, bsTopLine, bsBottomLine, bsLeftLine, bsRightLine};
  int x = 0;
  for (TBevelShape shape : shapes) {
    auto* b = C.AddPlain<TskSkinBevel>(x, 0, 30, 26);
    b->SetShape(shape);
    if (C.SkinData)
      b->SetSkinData(C.SkinData);
    x += 36;
  }
  auto* divider = C.AddPlain<TskSkinBevel>(x, 0, 60, 26);
  divider->SetShape(bsTopLine);
  divider->SetDividerMode(true);
  if (C.SkinData)
    divider->SetSkinData(C.SkinData);
});

} // namespace
