#include <gtest/gtest.h>

#include <vector>

#include "skin/foundation/SkinStripImages.h"
#include "tests/skin/foundation/SkinImagesTestSupport.h"

using namespace skinimagetest;

namespace {

const TPoint Origin{5, 3};

enum TStrip { sHorz, sLeftCap, sMiddle, sVert };

struct TStripCase {
  const char* Name;
  TStrip Builder;
  int First, Last;  // fixed ends: left and right, or top and bottom
  int Length;       // W of the horizontal strips, H of the vertical one
  bool Stretch;
  std::vector<TProbe> Probes;  // horizontal: X only (Y = 0 and Y = 7 are checked); vertical: Y only
};

}  // namespace

TEST(SkinImagesStripTest, StripsCopyTheirEndsAndTileOrStretchTheMiddle)
{
  auto Picture = CoordinatePicture(64, 48);
  const TRect HorzPatch{5, 3, 35, 11};  // 30 x 8
  const TRect VertPatch{5, 3, 13, 33};  // 8 x 30
  auto X = [](int At, int Src) { return TProbe{At, 0, {Src, 0}}; };
  auto Gap = [](int At) { return TProbe{At, 0, Unpainted}; };
  const TStripCase Cases[] = {
      {"tiled, last copy cut", sHorz, 10, 10, 45, false,
       {X(0, 0), X(9, 9), X(10, 10), X(19, 19), X(20, 10), X(30, 10), X(34, 14), X(35, 20), X(44, 29)}},
      {"tiled exactly", sHorz, 10, 10, 50, false, {X(30, 10), X(39, 19), X(40, 20), X(49, 29)}},
      {"stretched", sHorz, 10, 10, 50, true, {X(10, 10), X(12, 10), X(13, 11), X(39, 19), X(40, 20)}},
      {"shorter than the ends", sHorz, 10, 10, 15, false, {X(4, 4), X(5, 20), X(14, 29)}},
      {"shorter than the ends, stretched", sHorz, 10, 10, 15, true, {X(4, 4), X(5, 20), X(14, 29)}},
      {"no middle", sHorz, 15, 15, 40, false, {X(14, 14), Gap(15), Gap(24), X(25, 15)}},
      {"left cap", sLeftCap, 10, 10, 45, false, {X(9, 9), X(35, 15), X(44, 14)}},
      {"left cap, stretched", sLeftCap, 10, 10, 40, true, {X(10, 10), X(39, 19)}},
      {"middle only", sMiddle, 10, 10, 25, false, {X(0, 10), X(9, 19), X(10, 10), X(24, 14)}},
      {"middle only, stretched", sMiddle, 10, 10, 20, true, {X(0, 10), X(1, 10), X(2, 11), X(19, 19)}},
      {"vertical, tiled", sVert, 10, 10, 45, false, {X(0, 0), X(34, 14), X(35, 20), X(44, 29)}},
      {"vertical, stretched", sVert, 10, 10, 50, true, {X(13, 11), X(39, 19), X(40, 20)}},
      {"vertical, no middle", sVert, 15, 15, 40, false, {X(14, 14), Gap(20), X(25, 15)}},
  };
  for (const TStripCase& C : Cases) {
    SCOPED_TRACE(C.Name);
    TBitmap Target;
    const bool Vert = C.Builder == sVert;
    switch (C.Builder) {
      case sHorz:
        BuildHorzSkinBitmap(C.First, C.Last, &Target, Picture.get(), HorzPatch, C.Length, 99, C.Stretch);
        break;
      case sLeftCap:
        BuildHorzSkinBitmapLeftCap(C.First, C.Last, &Target, Picture.get(), HorzPatch, C.Length, 99, C.Stretch);
        break;
      case sMiddle:
        BuildHorzSkinBitmapMiddle(C.First, C.Last, &Target, Picture.get(), HorzPatch, C.Length, 99, C.Stretch);
        break;
      case sVert:
        BuildVertSkinBitmap(C.First, C.Last, &Target, Picture.get(), VertPatch, 99, C.Length, C.Stretch);
        break;
    }
    ASSERT_EQ(Target.GetWidth(), Vert ? 8 : C.Length);
    ASSERT_EQ(Target.GetHeight(), Vert ? C.Length : 8);
    for (const TProbe& P : C.Probes) {
      for (int Across : {0, 7}) {
        const TSrc Expected = P.Expected == Unpainted ? Unpainted
                              : Vert                  ? TSrc{Across, P.Expected.X}
                                                      : TSrc{P.Expected.X, Across};
        const TSrc Found = Vert ? SourceAt(&Target, Across, P.X, Origin) : SourceAt(&Target, P.X, Across, Origin);
        EXPECT_EQ(Found, Expected) << "at " << P.X << ", across " << Across;
      }
    }
  }
}

TEST(SkinImagesStripTest, TiledPatchFillsFromTheOriginOrIsLaidIntoTheDestination)
{
  auto Picture = CoordinatePicture(64, 48);
  const TRect SkinRect{5, 3, 35, 27};
  const TRect CR{6, 4, 24, 20};  // 18 x 16
  struct TCase {
    const char* Name;
    TRect Client, Dest;
    bool Stretch;
    TskStretchType Type;
    std::vector<TProbe> Probes;
  } Cases[] = {
      // Tiling covers DestRect's size from the target's origin, not DestRect itself.
      {"tiled", CR, {3, 3, 103, 53}, false, stFull,
       {{0, 0, {6, 4}}, {17, 15, {23, 19}}, {18, 0, {6, 4}}, {99, 49, {15, 5}}, {100, 10, Unpainted},
        {10, 50, Unpainted}, {102, 52, Unpainted}}},
      {"stretched", CR, {3, 3, 39, 35}, true, stFull,
       {{2, 2, Unpainted}, {3, 3, {6, 4}}, {4, 4, {6, 4}}, {38, 34, {23, 19}}, {39, 3, Unpainted}}},
      // Strips repeat past DestRect: 37 / 18 + 1 = 3 copies at x = 3, 21, 39.
      {"horizontal strips", CR, {3, 3, 40, 35}, true, stHorz,
       {{3, 3, {6, 4}}, {39, 3, {6, 4}}, {56, 34, {23, 19}}, {57, 3, Unpainted}, {3, 35, Unpainted}}},
      {"vertical strips", CR, {3, 3, 39, 40}, true, stVert,
       {{3, 35, {6, 4}}, {38, 50, {23, 19}}, {3, 51, Unpainted}, {39, 3, Unpainted}}},
      {"empty client patch, tiled", {6, 4, 6, 20}, {3, 3, 103, 53}, false, stFull, {{0, 0, Unpainted}}},
      {"empty client patch, strips", {6, 4, 24, 4}, {3, 3, 103, 53}, true, stVert, {{3, 3, Unpainted}}},
      {"empty destination", CR, {3, 3, 3, 53}, false, stFull, {{0, 0, Unpainted}}},
  };
  for (const TCase& C : Cases) {
    SCOPED_TRACE(C.Name);
    TBitmap Target;
    BuildTiledSkinBitmap(C.Client, C.Dest, &Target, Picture.get(), SkinRect, 110, 60, C.Stretch, C.Type);
    ASSERT_EQ(Target.GetWidth(), 110);
    ASSERT_EQ(Target.GetHeight(), 60);
    for (const TProbe& P : C.Probes)
      EXPECT_EQ(SourceAt(&Target, P.X, P.Y, Origin), P.Expected) << "at (" << P.X << ", " << P.Y << ")";
  }
}

TEST(SkinImagesStripTest, EmptyPicturesAndSizesPaintNothing)
{
  TBitmap Empty;
  TBitmap Target;
  BuildHorzSkinBitmap(2, 2, &Target, &Empty, TRect{0, 0, 10, 6}, 30, 6, false);
  EXPECT_EQ(Target.GetWidth(), 30);
  EXPECT_EQ(SourceAt(&Target, 0, 0, TPoint{0, 0}), Unpainted);
  auto Picture = CoordinatePicture(16, 16);
  BuildVertSkinBitmap(2, 2, &Target, Picture.get(), TRect{0, 0, 10, 6}, 0, 0, false);
  EXPECT_TRUE(Target.Empty());
  BuildTiledSkinBitmap(TRect{0, 0, 4, 4}, TRect{0, 0, 10, 10}, &Target, Picture.get(), TRect{0, 0, 10, 6}, -5, 10,
                       false, stFull);
  EXPECT_TRUE(Target.Empty());
}

TEST(SkinImagesStripTest, AreasOfAPatchOutsideThePictureStretchAsBlack)
{
  auto Picture = CoordinatePicture(16, 16);
  TBitmap Target;
  Target.SetSize(40, 8);
  Target.GetCanvas()->GetBrush()->SetColor(clWhite);
  Target.GetCanvas()->FillRect(TRect{0, 0, 40, 8});
  // The patch is 20 wide, its last 4 columns beyond the picture; stretched to 40.
  BuildHorzSkinBitmap(0, 0, &Target, Picture.get(), TRect{0, 0, 20, 8}, 40, 8, true);
  EXPECT_EQ(SourceAt(&Target, 0, 0, TPoint{0, 0}), (TSrc{0, 0}));
  EXPECT_EQ(SourceAt(&Target, 31, 7, TPoint{0, 0}), (TSrc{15, 7}));
  EXPECT_EQ(Target.GetCanvas()->GetPixels(32, 0), clBlack);
  EXPECT_EQ(Target.GetCanvas()->GetPixels(39, 7), clBlack);
}
