// The crop texts, the screen-size text and both fill-screen enlargements, as tables of named
// cases worked out by hand from the rules in CropArithmetic.h.
#include <gtest/gtest.h>

#include "core/CropArithmetic.h"
#include "platform/rtl/MathErrors.h"

namespace {

struct TCropCase {
  const char* Name;
  Int64 SW, SH, L, R, T, B;
  const char* Filter;
  const char* Clip;
  const char* Crop;
  Int64 W, H;
};

const TCropCase CropCases[] = {
    {"pal_letterbox_with_side_bars", 720, 576, 8, 8, 72, 72, "crop=704:432:8:72", "-v_clip 8 72 8 72",
     "-croptop 72 -cropbottom 72 -cropleft 8 -cropright 8", 704, 432},
    // 12 rounds to 16 and 20 to 16 (halves to even: 2.5 -> 2); the texts keep the raw values.
    {"offsets_round_to_multiples_of_8", 720, 576, 12, 0, 20, 0, "crop=704:560:16:16", "-v_clip 12 20 0 0",
     "-croptop 20 -cropbottom 0 -cropleft 12 -cropright 0", 704, 560},
    // 4 and 4 round to offset 0 (Round(0.5) = 0): a crop at the picture's corner is still a crop.
    {"offsets_rounding_to_zero_still_crop", 720, 576, 4, 4, 4, 4, "crop=704:576:0:0", "-v_clip 4 4 4 4",
     "-croptop 4 -cropbottom 4 -cropleft 4 -cropright 4", 704, 576},
    // A letterbox without side bars (left 0) is cropped too.
    {"letterbox_without_side_bars", 720, 576, 0, 0, 72, 72, "crop=720:432:0:72", "-v_clip 0 72 0 72",
     "-croptop 72 -cropbottom 72 -cropleft 0 -cropright 0", 720, 432},
    {"nothing_cut_gives_no_texts", 720, 576, 0, 0, 0, 0, "", "", "", 720, 576},
    // Width rounds up past the picture: W becomes SW - X.
    {"width_clipped_to_picture", 100, 100, 8, 0, 8, 0, "crop=92:92:8:8", "-v_clip 8 8 0 0",
     "-croptop 8 -cropbottom 0 -cropleft 8 -cropright 0", 92, 92},
    {"crop_larger_than_picture_gives_no_texts", 320, 240, 200, 200, 8, 8, "", "", "", -80, 224},
    {"negative_offset_gives_no_texts", 320, 240, -16, 0, 8, 0, "", "", "", 336, 224},
};

class CropTexts : public testing::TestWithParam<TCropCase> {};

TEST_P(CropTexts, FollowTheRoundingRules)
{
  const TCropCase& C = GetParam();
  const TCropTexts T = ComputeCropTexts(C.SW, C.SH, C.L, C.R, C.T, C.B);
  EXPECT_EQ(T.Filter, C.Filter);
  EXPECT_EQ(T.ClipArgs, C.Clip);
  EXPECT_EQ(T.CropArgs, C.Crop);
  EXPECT_EQ(T.Width, C.W);
  EXPECT_EQ(T.Height, C.H);
}

INSTANTIATE_TEST_SUITE_P(Cases, CropTexts, testing::ValuesIn(CropCases),
                         [](const auto& I) { return std::string(I.param.Name); });

TEST(ScreenSize, ReadsTheComboItemForms)
{
  struct {
    const char* Text;
    int W, H;
  } Cases[] = {{" 320 x  240", 320, 240}, {"1920x1080", 1920, 1080}, {"240 x 240", 240, 240}, {" 176 x 144 ", 176, 144}};
  for (const auto& C : Cases) {
    const TScreenSize S = ParseScreenSize(C.Text);
    EXPECT_EQ(S.Width, C.W) << C.Text;
    EXPECT_EQ(S.Height, C.H) << C.Text;
  }
}

TEST(ScreenSize, TextWithoutANumberRaisesTheConversionError)
{
  for (const char* Text : {"", "wide", "320 by 240", "x 240"}) EXPECT_THROW(ParseScreenSize(Text), EConvertError) << Text;
}

TEST(Ceil16, SmallestMultipleNotBelow)
{
  EXPECT_EQ(Ceil16(0), 0);
  EXPECT_EQ(Ceil16(1), 16);
  EXPECT_EQ(Ceil16(16), 16);
  EXPECT_EQ(Ceil16(17), 32);
  EXPECT_EQ(Ceil16(319), 320);
}

struct TFillCase {
  const char* Name;
  TFillScreenInput In;
  Int64 Horizontal, Vertical;            // the preview's enlargement
  Int64 BatchHorizontal, BatchVertical;  // the batch enlargement
};

// Worked examples:
// - 4:3 picture on a 16:9 screen: CW 640, CH 480; FH = Trunc(1280/640*480) = 960 > 720, so
//   FW = Trunc(720/480*640) = 960, FH = 720. Ceil16(960) < 1280: t = Trunc(640/1280*720) = 360,
//   a = Round((480-360)/2) = 60 (batch: Round(60/4)*4 = 60).
// - 16:9 picture on a 4:3 screen: CW 1280, CH 720; FH = Trunc(320/1280*720) = 180 < 240, so
//   FW = 320. Ceil16(180) = 192 < 240: t = Trunc(720/240*320) = 960, a = Round((1280-960)/2) =
//   160 at the sides.
// - Anamorphic DVD 720x576 shown 1024x576 on 320x240: rx = 1.4222, CW 1024, CH 576;
//   FH = Trunc(320/1024*576) = 180; Ceil16(180) = 192 < 240: t = Trunc(576/240*320) = 768,
//   a = Round(256 / 2.8444) = Round(90.0) = 90; batch Round(90/4)*4 = Round(22.5)*4 = 88.
// - Same aspect as the screen: nothing grows.
// - A picture 2 pixels short of filling: the preview's Ceil16 hides it, the batch's exact
//   comparison does not: 640x478 on 640x480: FH = 478, Ceil16(478) = 480, not below 480;
//   batch: 480 > 478: t = Trunc(478/480*640) = 637, a = Round(3/2) = 2, Round(2/4)*4 = 0.
const TFillCase FillCases[] = {
    {"four_three_on_wide_screen", {640, 480, 640, 480, 0, 0, 0, 0, 1280, 720}, 0, 60, 0, 60},
    {"wide_picture_on_four_three_screen", {1280, 720, 1280, 720, 0, 0, 0, 0, 320, 240}, 160, 0, 160, 0},
    {"anamorphic_dvd_on_small_screen", {720, 576, 1024, 576, 0, 0, 0, 0, 320, 240}, 90, 0, 88, 0},
    {"same_aspect_grows_nothing", {640, 480, 640, 480, 0, 0, 0, 0, 320, 240}, 0, 0, 0, 0},
    {"nearly_filling_picture", {640, 478, 640, 478, 0, 0, 0, 0, 640, 480}, 0, 0, 0, 0},
    // The crop so far counts: 720x576 with 72 cut top and bottom is 720x432 (5:3) on 4:3.
    {"existing_crop_counts", {720, 576, 720, 576, 0, 0, 72, 72, 320, 240}, 72, 0, 72, 0},
};

class FillScreen : public testing::TestWithParam<TFillCase> {};

TEST_P(FillScreen, GrowsTheCropToFillTheScreen)
{
  const TFillCase& C = GetParam();
  const TCropGrowth G = FillScreenGrowth(C.In);
  EXPECT_EQ(G.Horizontal, C.Horizontal);
  EXPECT_EQ(G.Vertical, C.Vertical);
  const TCropGrowth B = FillScreenGrowthBatch(C.In);
  EXPECT_EQ(B.Horizontal, C.BatchHorizontal);
  EXPECT_EQ(B.Vertical, C.BatchVertical);
}

INSTANTIATE_TEST_SUITE_P(Cases, FillScreen, testing::ValuesIn(FillCases),
                         [](const auto& I) { return std::string(I.param.Name); });

TEST(FillScreen, ZeroSizesRaiseTheDivisionError)
{
  const TFillScreenInput ZeroStored{0, 576, 1024, 576, 0, 0, 0, 0, 320, 240};
  const TFillScreenInput AllCropped{720, 576, 720, 576, 360, 360, 0, 0, 320, 240};
  for (const auto& In : {ZeroStored, AllCropped}) {
    EXPECT_THROW(FillScreenGrowth(In), EZeroDivide);
    EXPECT_THROW(FillScreenGrowthBatch(In), EZeroDivide);
  }
}

}  // namespace
