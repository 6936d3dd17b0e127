// The buttons of the program's own skins that sit inside an input control: the combo box's drop
// button, the spin edit's up and down buttons and the button edit's button. Their places are
// read as places on the control, their look at rest must be part of the control's picture, and
// their hot and pressed looks are pictures of the place's size.
#include <gtest/gtest.h>

#include <memory>

#include "skin/foundation/SkinData.h"
#include "skin/foundation/SkinDrawUtils.h"
#include "skins/BuiltinSkins.h"

namespace {

std::unique_ptr<TskSkinData> Load(TBuiltinSkin Which, TComponent* Owner)
{
  auto* stored = new TskCompressedStoredSkin(Owner);
  LoadBuiltinSkin(stored, Which);
  auto data = std::make_unique<TskSkinData>(nullptr);
  data->SetCompressedStoredSkin(stored);
  return data;
}

struct TFieldButton {
  const char* Name;
  TRect Place;                 // on the control
  std::vector<TRect> Looks;    // hot, pressed (and disabled), cells of the picture
};

// The record's button(s), read as the controls read them.
std::vector<TFieldButton> Buttons(TskDataSkinControl* Record)
{
  if (auto* c = dynamic_cast<TskDataSkinComboBox*>(Record))
    return {{"drop button", c->buttonrect, {c->activebuttonrect, c->downbuttonrect, c->unenabledbuttonrect}}};
  if (auto* s = dynamic_cast<TskDataSkinSpinEditControl*>(Record))
    return {{"up button", s->upbuttonrect, {s->activeupbuttonrect, s->downupbuttonrect}},
            {"down button", s->downbuttonrect, {s->activedownbuttonrect, s->downdownbuttonrect}}};
  if (auto* e = dynamic_cast<TskDataSkinEditControl*>(Record))
    return {{"button", e->buttonrect, {e->activebuttonrect, e->downbuttonrect, e->unenabledbuttonrect}}};
  return {};
}

// How many pixels of the picture's rectangle A differ from those of B (same size).
int Differing(TBitmap* Picture, const TRect& A, const TRect& B)
{
  int n = 0;
  for (int y = 0; y < RectHeight(A); ++y)
    for (int x = 0; x < RectWidth(A); ++x)
      if (Picture->GetCanvas()->GetPixels(A.left + x, A.top + y) != Picture->GetCanvas()->GetPixels(B.left + x, B.top + y))
        ++n;
  return n;
}

TEST(BuiltinSkinsFieldButton, ButtonsLieOnTheControlAndArePaintedInEveryState)
{
  TComponent owner(nullptr);
  for (TBuiltinSkin which : {TBuiltinSkin::bsFrame, TBuiltinSkin::bsControls})
    for (const char* name : {"combobox", "spinedit", "buttonedit"}) {
      SCOPED_TRACE(std::string(name) + " in skin " + std::to_string(static_cast<int>(which)));
      auto data = Load(which, &owner);
      ASSERT_FALSE(data->Empty);
      const int index = data->GetControlIndex(name);
      ASSERT_GE(index, 0);
      auto* record = dynamic_cast<TskDataSkinCustomControl*>(data->ControlList[static_cast<std::size_t>(index)]);
      ASSERT_NE(nullptr, record);
      TBitmap* picture = data->ActivePictures[static_cast<std::size_t>(record->pictureindex)];
      const TRect skin = record->skinrect;
      const int w = RectWidth(skin), h = RectHeight(skin);
      const auto buttons = Buttons(record);
      ASSERT_FALSE(buttons.empty());
      for (const TFieldButton& b : buttons) {
        SCOPED_TRACE(b.Name);
        const TRect p = b.Place;
        // On the control, right of the text part and in the fixed right end, so that it follows
        // the control's right edge.
        ASSERT_FALSE(IsRectEmpty(&p));
        ASSERT_TRUE(p.left >= 0 && p.top >= 0 && p.right <= w && p.bottom <= h)
            << p.left << "," << p.top << "," << p.right << "," << p.bottom << " on " << w << "x" << h;
        EXPECT_GE(p.left, record->clientrect.right);
        EXPECT_GE(p.left, record->righttoppoint.x);
        // At rest the button is part of the picture: it differs from the text field left of it.
        TRect rest = p;
        OffsetRect(&rest, skin.left, skin.top);
        TRect field = Rect(skin.left + record->clientrect.left, rest.top, 0, rest.bottom);
        field.right = field.left + RectWidth(p);
        EXPECT_GT(Differing(picture, rest, field), RectWidth(p) * RectHeight(p) / 3);
        // Hot, pressed and disabled looks: pictures of the place's size, each unlike the rest
        // look, hot unlike pressed (a disabled look only greys the lines and the glyph).
        for (std::size_t i = 0; i < b.Looks.size(); ++i) {
          const TRect& look = b.Looks[i];
          EXPECT_EQ(RectWidth(look), RectWidth(p));
          EXPECT_EQ(RectHeight(look), RectHeight(p));
          ASSERT_TRUE(look.right <= picture->GetWidth() && look.bottom <= picture->GetHeight());
          EXPECT_GT(Differing(picture, look, rest), i < 2 ? RectWidth(p) * RectHeight(p) / 3 : 0);
        }
        EXPECT_GT(Differing(picture, b.Looks[0], b.Looks[1]), RectWidth(p) * RectHeight(p) / 3);
      }
    }
}

} // namespace
