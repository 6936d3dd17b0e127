// The scroll bars' band of the skinned-controls gallery: horizontal bars at rest, with a page,
// with a hot button and disabled, and two vertical bars.
#include "skin/controls/SkinScrollBar.h"
#include "tests/skin/support/SkinGallery.h"

namespace {

TGalleryFamily ScrollBars("Scroll bars", 112, [](TGalleryColumn& C) {
  auto horizontal = [&](int Y, int Min, int Max, int Position, int Page) {
    auto* b = C.Add<TskSkinScrollBar>(0, Y, 200, 19);
    b->SetRange(Min, Max, Position, Page);
    return b;
  };
  horizontal(0, 0, 100, 30, 0);
  horizontal(24, 0, 99, 60, 25);
  auto* hot = horizontal(48, 0, 100, 100, 0);
  hot->LayoutItems();
  const TRect up = hot->GetItemRect(TskSkinScrollBar::siUpButton);
  hot->Perform(WM_MOUSEMOVE, 0, MAKELPARAM((up.left + up.right) / 2, (up.top + up.bottom) / 2));
  horizontal(72, 0, 100, 50, 0)->SetEnabled(false);
  auto vertical = [&](int X, int Position, int Page) {
    auto* b = new TskSkinScrollBar(C.Form);
    b->SetParent(C.Form);
    b->SetKind(sbVertical);
    b->SetSkinDataName("vscrollbar");
    b->SetDefaultWidth(19);
    b->SetDefaultHeight(0);
    b->SetBounds(C.Left + X, C.Top, 19, 108);
    if (C.SkinData)
      b->SetSkinData(C.SkinData);
    b->SetRange(0, 99, Position, Page);
    return b;
  };
  vertical(220, 0, 0);
  vertical(250, 70, 40);
});

}  // namespace
