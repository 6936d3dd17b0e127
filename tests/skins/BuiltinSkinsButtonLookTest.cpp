// The looks of the program's own skins that the skinned buttons and dialogs depend on.
#include <gtest/gtest.h>

#include <memory>

#include "skin/foundation/SkinData.h"
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

// The mean brightness (0..255) of the inner part of R in Picture.
double Brightness(TBitmap* Picture, const TRect& R)
{
  double sum = 0;
  int n = 0;
  for (int y = R.top + 4; y < R.bottom - 4; ++y)
    for (int x = R.left + 4; x < R.right - 4; ++x) {
      const TColor c = Picture->GetCanvas()->GetPixels(x, y);
      sum += ((c & 0xFF) + ((c >> 8) & 0xFF) + ((c >> 16) & 0xFF)) / 3.0;
      ++n;
    }
  return n ? sum / n : 0;
}

TEST(BuiltinSkinsButtonLook, PressedButtonsAreClearlyDarkerThanHoveredOnes)
{
  TComponent owner(nullptr);
  for (TBuiltinSkin which : {TBuiltinSkin::bsFrame, TBuiltinSkin::bsControls})
    for (const char* name : {"button", "toolbutton"}) {
      auto data = Load(which, &owner);
      ASSERT_FALSE(data->Empty);
      auto* record = dynamic_cast<TskDataSkinButtonControl*>(data->ControlList[data->GetControlIndex(name)]);
      ASSERT_NE(nullptr, record) << name;
      TBitmap* picture = data->ActivePictures[static_cast<std::size_t>(record->pictureindex)];
      const double hot = Brightness(picture, record->activeskinrect);
      const double pressed = Brightness(picture, record->downskinrect);
      EXPECT_GT(hot - pressed, 25.0) << name << ": hot " << hot << ", pressed " << pressed;
    }
}

TEST(BuiltinSkinsButtonLook, BothSkinsCarryTheToolPanelAndToolEdit)
{
  TComponent owner(nullptr);
  for (TBuiltinSkin which : {TBuiltinSkin::bsFrame, TBuiltinSkin::bsControls}) {
    auto data = Load(which, &owner);
    EXPECT_GE(data->GetControlIndex("toolpanel"), 0) << static_cast<int>(which);
    EXPECT_GE(data->GetControlIndex("tooledit"), 0) << static_cast<int>(which);
  }
}

} // namespace
