// The looks of the program's own skins that the skinned buttons and dialogs depend on.
#include <gtest/gtest.h>

#include <array>
#include <cmath>
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

// The mean colour of the inner part of R in Picture, as 0..255 channels.
std::array<double, 3> MeanColour(TBitmap* Picture, const TRect& R)
{
  std::array<double, 3> sum{};
  int n = 0;
  for (int y = R.top + 1; y < R.bottom - 1; ++y)
    for (int x = R.left + 1; x < R.right - 1; ++x) {
      const TColor c = Picture->GetCanvas()->GetPixels(x, y);
      for (int ch = 0; ch < 3; ++ch)
        sum[static_cast<std::size_t>(ch)] += (c >> (8 * ch)) & 0xFF;
      ++n;
    }
  for (double& v : sum)
    v = n ? v / n : 0;
  return sum;
}

double Distance(const std::array<double, 3>& A, const std::array<double, 3>& B)
{
  return std::abs(A[0] - B[0]) + std::abs(A[1] - B[1]) + std::abs(A[2] - B[2]);
}

// The program offers the two skins as two looks: every control the main window shows, and the
// window's frame, must come out visibly different in the other skin, not just its name.
TEST(BuiltinSkinsButtonLook, TheTwoSkinsLookDifferentControlByControl)
{
  TComponent owner(nullptr);
  auto frame = Load(TBuiltinSkin::bsFrame, &owner);
  auto controls = Load(TBuiltinSkin::bsControls, &owner);
  ASSERT_FALSE(frame->Empty);
  ASSERT_FALSE(controls->Empty);
  EXPECT_NE(frame->SkinColors->cbtnface, controls->SkinColors->cbtnface);
  EXPECT_NE(frame->SkinColors->chighlight, controls->SkinColors->chighlight);
  // The caption bar and the border of the window frame.
  const TRect caption{40, 2, 120, 20}, border{0, 40, 4, 100};
  for (const TRect& r : {caption, border})
    EXPECT_GT(Distance(MeanColour(frame->picture, r), MeanColour(controls->picture, r)), 12.0)
        << "frame picture at " << r.left << "," << r.top;
  // The pressed and hot looks carry the accent; the rest looks carry the faces.
  const struct {
    const char* Name;
    bool Active;
  } looks[] = {{"button", true},  {"toolbutton", true}, {"checkbox", false}, {"gauge", false},
               {"statusbar", false}, {"tab", true},    {"vscrollbar", false}};
  for (const auto& look : looks) {
    const int fi = frame->GetControlIndex(look.Name), ci = controls->GetControlIndex(look.Name);
    ASSERT_GE(fi, 0) << look.Name;
    ASSERT_GE(ci, 0) << look.Name;
    TskDataSkinControl* f = frame->ControlList[static_cast<std::size_t>(fi)];
    TskDataSkinControl* c = controls->ControlList[static_cast<std::size_t>(ci)];
    TRect rf = f->skinrect, rc = c->skinrect;
    if (look.Active) {
      if (auto* fa = dynamic_cast<TskDataSkinButtonControl*>(f)) {
        rf = fa->downskinrect;
        rc = dynamic_cast<TskDataSkinButtonControl*>(c)->downskinrect;
      }
    }
    ASSERT_EQ(rf, rc) << look.Name << ": the two skins share one layout";
    TBitmap* pf = frame->ActivePictures[static_cast<std::size_t>(f->pictureindex)];
    TBitmap* pc = controls->ActivePictures[static_cast<std::size_t>(c->pictureindex)];
    EXPECT_GT(Distance(MeanColour(pf, rf), MeanColour(pc, rc)), 6.0) << look.Name;
  }
}

} // namespace
