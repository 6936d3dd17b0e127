#include "skin/foundation/SkinImages.h"

#include <gtest/gtest.h>

#include <vector>

#include "tests/skin/foundation/SkinImagesTestSupport.h"

using namespace skinimagetest;

namespace {

// A 30 x 24 skin patch at (5, 3) of a coordinate picture. Client rectangle (6, 4, 24, 20);
// every growing middle is 8 pixels long: top 10..18, bottom 12..20, left 7..15, right 9..17.
const TRect SkinRect{5, 3, 35, 27};
const TPoint Origin{5, 3};
const TRect CR{6, 4, 24, 20};
const TPoint LT{10, 7}, RT{18, 9}, LB{12, 15}, RB{20, 17};

struct TFlags {
  bool DrawClient = true;
  bool Left = false, Top = false, Right = false, Bottom = false;
  bool StretchEffect = false;
  TskStretchType Type = stFull;
};

enum TBuilder { bNineSlice, bStretched, bAlt };

// The patch grown by dW x dH with the usual target geometry.
void Build(TBuilder Builder, TBitmap* Target, TBitmap* Picture, int dW, int dH, const TFlags& F,
           TPoint lt = LT, TPoint rt = RT, TPoint lb = LB, TPoint rb = RB, TRect cr = CR)
{
  const TRect NCR{cr.left, cr.top, cr.right + dW, cr.bottom + dH};
  const TPoint NLT = lt, NRT{rt.x + dW, rt.y}, NLB{lb.x, lb.y + dH}, NRB{rb.x + dW, rb.y + dH};
  auto Fn = Builder == bNineSlice ? BuildNineSliceBitmap
            : Builder == bStretched ? BuildNineSliceBitmapStretched
                                    : BuildNineSliceBitmapAlt;
  Fn(lt, rt, lb, rb, cr, NLT, NRT, NLB, NRB, NCR, Target, Picture, SkinRect, 30 + dW, 24 + dH, F.DrawClient, F.Left,
     F.Top, F.Right, F.Bottom, F.StretchEffect, F.Type);
}

void ExpectProbes(TBitmap* Image, const std::vector<TProbe>& Probes)
{
  for (const TProbe& P : Probes)
    EXPECT_EQ(SourceAt(Image, P.X, P.Y, Origin), P.Expected) << "at (" << P.X << ", " << P.Y << ")";
}

}  // namespace

TEST(SkinImagesTest, NineSliceAtThePatchSizeReproducesThePatch)
{
  auto Picture = CoordinatePicture(64, 48);
  const TFlags Cases[] = {
      {},
      {true, true, true, true, true, false, stFull},
      {true, false, false, false, false, true, stFull},
      {true, true, false, true, false, true, stHorz},
      {true, false, true, false, true, true, stVert},
  };
  for (TBuilder Builder : {bNineSlice, bStretched}) {
    for (const TFlags& F : Cases) {
      TBitmap Target;
      Build(Builder, &Target, Picture.get(), 0, 0, F);
      ASSERT_EQ(Target.GetWidth(), 30);
      ASSERT_EQ(Target.GetHeight(), 24);
      for (int Y = 0; Y < 24; ++Y)
        for (int X = 0; X < 30; ++X)
          ASSERT_EQ(SourceAt(&Target, X, Y, Origin), (TSrc{X, Y}))
              << "at (" << X << ", " << Y << ") builder " << Builder << " stretch effect " << F.StretchEffect
              << " type " << F.Type;
    }
  }
}

TEST(SkinImagesTest, NineSliceTilesBandsAndCentreFromTheirRunStarts)
{
  // 20 wider and 12 taller: W = 50, H = 36, NCR = (6, 4, 44, 32).
  auto Picture = CoordinatePicture(64, 48);
  for (TBuilder Builder : {bNineSlice, bStretched}) {
    TBitmap Target;
    Build(Builder, &Target, Picture.get(), 20, 12, TFlags{});
    ASSERT_EQ(Target.GetWidth(), 50);
    ASSERT_EQ(Target.GetHeight(), 36);
    ExpectProbes(&Target, {
                              {0, 0, {0, 0}},     {9, 3, {9, 3}},      // top-left corner
                              {10, 0, {10, 0}},   {18, 1, {10, 1}},    // top middle copies at 10, 18,
                              {26, 2, {10, 2}},   {34, 0, {10, 0}},    // 26 and a 4-pixel one at 34
                              {37, 3, {13, 3}},   {38, 0, {18, 0}},    // right end from NRT.X = 38
                              {49, 3, {29, 3}},   {0, 4, {0, 4}},      // corner beside the client top
                              {0, 7, {0, 7}},     {5, 15, {5, 7}},     // left middle from NLT.Y = 7
                              {0, 26, {0, 10}},   {0, 27, {0, 15}},    // left-bottom corner at NLB.Y
                              {44, 4, {24, 4}},   {49, 8, {29, 8}},    // right corner above the band
                              {44, 9, {24, 9}},   {49, 17, {29, 9}},   // right middle from NRT.Y = 9
                              {44, 28, {24, 12}}, {44, 29, {24, 17}},  // corner below it at NRB.Y
                              {11, 33, {11, 21}}, {12, 32, {12, 20}},  // bottom: corner, then middle
                              {39, 35, {15, 23}}, {40, 32, {20, 20}},  // from 12, right end at 40
                              {6, 4, {6, 4}},     {24, 4, {6, 4}},     // centre tiles 18 x 16 from
                              {43, 31, {7, 15}},  {23, 19, {23, 19}},  // NCR's corner, cut at its edges
                          });
  }
}

TEST(SkinImagesTest, NineSliceStretchesBandsAndCentre)
{
  // 8 wider and taller: every middle doubles; the centre grows from 18 x 16 to 26 x 24.
  auto Picture = CoordinatePicture(64, 48);
  TBitmap Target;
  Build(bNineSlice, &Target, Picture.get(), 8, 8, TFlags{true, true, true, true, true, true, stFull});
  ExpectProbes(&Target, {
                            {10, 0, {10, 0}}, {11, 0, {10, 0}}, {12, 1, {11, 1}}, {25, 3, {17, 3}},
                            {26, 0, {18, 0}},                                        // top
                            {0, 8, {0, 7}},   {3, 9, {3, 8}},   {5, 22, {5, 14}},     // left
                            {32, 9, {24, 9}}, {37, 24, {29, 16}},                    // right
                            {13, 28, {12, 20}}, {27, 31, {19, 23}},                  // bottom
                            {6, 4, {6, 4}},   {19, 4, {15, 4}}, {31, 27, {23, 19}},   // centre
                        });
}

TEST(SkinImagesTest, NineSliceCentreStripsAreRepeatedAndClippedToTheClientRectangle)
{
  // 10 wider, 16 taller: NCR = (6, 4, 34, 36), 28 x 32.
  auto Picture = CoordinatePicture(64, 48);
  struct TCase {
    TskStretchType Type;
    std::vector<TProbe> Probes;
  } Cases[] = {
      // Stretched to 18 x 32 (each row twice), drawn at x = 6 and 24, clipped at x = 34.
      {stHorz, {{6, 4, {6, 4}}, {23, 5, {23, 4}}, {24, 5, {6, 4}}, {33, 35, {15, 19}}, {34, 20, {24, 12}}}},
      // Stretched to 28 x 16, drawn at y = 4, 20 and 36, the last clipped away.
      {stVert, {{6, 20, {6, 4}}, {33, 35, {23, 19}}, {19, 19, {14, 19}}, {20, 36, {12, 20}}}},
  };
  for (const TCase& C : Cases) {
    SCOPED_TRACE(C.Type);
    TBitmap Target;
    Build(bNineSlice, &Target, Picture.get(), 10, 16, TFlags{true, false, false, false, false, true, C.Type});
    ExpectProbes(&Target, C.Probes);
  }
}

TEST(SkinImagesTest, AltVariantRunsTopBottomAndCentreToTheRightEdge)
{
  // 20 wider and 12 taller: W = 50, H = 36, NCR = (6, 4, 44, 32).
  auto Picture = CoordinatePicture(64, 48);
  struct TCase {
    TFlags Flags;
    std::vector<TProbe> Probes;
  } Cases[] = {
      {TFlags{}, {{38, 0, {14, 0}},   {49, 3, {17, 3}},    // top middle tiled to W
                  {45, 33, {13, 21}}, {49, 35, {17, 23}},  // bottom likewise
                  {49, 10, {13, 10}}, {44, 4, {8, 4}},      // no right band or corners: centre
                  {0, 0, {0, 0}},     {0, 27, {0, 15}}}},  // left corners stay
      // RightStretch has no effect; the top band stretches from NLT.X to W (8 -> 40 pixels).
      {TFlags{true, false, true, true, false, false, stFull}, {{10, 0, {10, 0}}, {49, 0, {17, 0}}, {29, 1, {13, 1}}}},
      // The strips of StretchType 1 reach the right edge; those of StretchType 2 stop at NCR.
      {TFlags{true, false, false, false, false, true, stHorz}, {{49, 10, {13, 7}}, {43, 31, {7, 19}}}},
      {TFlags{true, false, false, false, false, true, stVert}, {{43, 10, {21, 10}}, {46, 10, Unpainted}}},
  };
  for (const TCase& C : Cases) {
    TBitmap Target;
    Build(bAlt, &Target, Picture.get(), 20, 12, C.Flags);
    ExpectProbes(&Target, C.Probes);
  }
}

TEST(SkinImagesTest, DegenerateGeometryAndEmptyPicturesLeaveTheirPatchesOut)
{
  auto Picture = CoordinatePicture(64, 48);
  TBitmap Empty;
  struct TCase {
    const char* Name;
    TBitmap* Picture;
    TPoint lt, rt, lb, rb;
    TRect cr;
    TFlags Flags;
    std::vector<TProbe> Probes;
  } Cases[] = {
      {"no growing columns", Picture.get(), {10, 7}, RT, LB, {10, 17}, CR, {},
       {{0, 0, Unpainted}, {20, 20, Unpainted}}},
      {"no growing rows", Picture.get(), {10, 7}, RT, LB, {20, 7}, CR, {}, {{0, 0, Unpainted}, {49, 35, Unpainted}}},
      {"empty picture", &Empty, LT, RT, LB, RB, CR, {}, {{0, 0, Unpainted}, {20, 20, Unpainted}}},
      // Zero-width top middle, tiled: the top middle stays unpainted, the rest is built.
      {"empty top middle", Picture.get(), {10, 7}, {10, 9}, LB, RB, CR, {},
       {{20, 0, Unpainted}, {9, 0, {9, 0}}, {30, 0, {10, 0}}, {12, 32, {12, 20}}}},
      // Empty client rectangle, tiled centre: the centre is left out.
      {"empty centre", Picture.get(), LT, RT, LB, RB, {6, 4, 6, 20}, {}, {{10, 10, Unpainted}, {0, 0, {0, 0}}}},
      {"empty centre, strips", Picture.get(), LT, RT, LB, RB, {6, 4, 6, 20},
       {true, false, false, false, false, true, stHorz},
       {{10, 10, Unpainted}}},
  };
  for (const TCase& C : Cases) {
    SCOPED_TRACE(C.Name);
    TBitmap Target;
    Build(bNineSlice, &Target, C.Picture, 20, 12, C.Flags, C.lt, C.rt, C.lb, C.rb, C.cr);
    EXPECT_EQ(Target.GetWidth(), 50);
    EXPECT_EQ(Target.GetHeight(), 36);
    ExpectProbes(&Target, C.Probes);
  }
}

TEST(SkinImagesTest, SkinBitmapStretchesEverythingAtTheTargetsSize)
{
  auto Picture = CoordinatePicture(64, 48);
  TBitmap Target;
  Target.SetSize(48, 40);  // the client 18 x 16 grows to 36 x 32
  BuildSkinBitmap(&Target, Picture.get(), SkinRect, CR, true);
  ASSERT_EQ(Target.GetWidth(), 48);
  ExpectProbes(&Target, {
                            {0, 0, {0, 0}},     {5, 3, {5, 3}},        // corners one to one
                            {42, 36, {24, 20}}, {47, 39, {29, 23}},
                            {6, 0, {6, 0}},     {7, 0, {6, 0}},        // top band doubled
                            {41, 2, {23, 2}},   {0, 5, {0, 4}},        // left band doubled
                            {6, 4, {6, 4}},     {41, 35, {23, 19}},    // centre doubled
                        });

  TBitmap NoClient;
  NoClient.SetSize(48, 40);
  BuildSkinBitmap(&NoClient, Picture.get(), SkinRect, CR, false);
  ExpectProbes(&NoClient, {{20, 20, Unpainted}, {0, 0, {0, 0}}});

  TBitmap Nothing;
  BuildSkinBitmap(&Nothing, Picture.get(), SkinRect, CR, true);
  EXPECT_TRUE(Nothing.Empty());
}

TEST(SkinImagesTest, FrameEdgesAreFourSeparateBands)
{
  auto Picture = CoordinatePicture(64, 48);
  auto Edges = [&](int W, int H, bool Stretch, TBitmap& L, TBitmap& T, TBitmap& R, TBitmap& B) {
    const int dW = W - 30, dH = H - 24;
    const TRect NCR{CR.left, CR.top, CR.right + dW, CR.bottom + dH};
    BuildFrameEdgeBitmaps(LT, RT, LB, RB, CR, LT, TPoint{RT.x + dW, RT.y}, TPoint{LB.x, LB.y + dH},
                          TPoint{RB.x + dW, RB.y + dH}, NCR, &L, &T, &R, &B, Picture.get(), SkinRect, W, H, Stretch,
                          Stretch, Stretch, Stretch);
  };
  {
    TBitmap L, T, R, B;
    Edges(50, 40, false, L, T, R, B);
    EXPECT_EQ((TSrc{T.GetWidth(), T.GetHeight()}), (TSrc{50, 4}));
    EXPECT_EQ((TSrc{B.GetWidth(), B.GetHeight()}), (TSrc{50, 4}));
    EXPECT_EQ((TSrc{L.GetWidth(), L.GetHeight()}), (TSrc{6, 32}));
    EXPECT_EQ((TSrc{R.GetWidth(), R.GetHeight()}), (TSrc{6, 32}));
    // Bands tile from their bitmap's origin, then the fixed ends cover both sides.
    ExpectProbes(&T, {{0, 0, {0, 0}}, {12, 0, {14, 0}}, {16, 3, {10, 3}}, {37, 0, {15, 0}}, {38, 0, {18, 0}}});
    ExpectProbes(&B, {{0, 0, {0, 20}}, {12, 0, {16, 20}}, {16, 3, {12, 23}}, {40, 1, {20, 21}}});
    // Row 0 of the side bands is the client top: 3 fixed rows, the middle, 5 fixed rows.
    ExpectProbes(&L, {{0, 0, {0, 4}}, {5, 2, {5, 6}}, {0, 3, {0, 10}}, {0, 8, {0, 7}}, {0, 26, {0, 9}},
                      {0, 27, {0, 15}}, {0, 31, {0, 19}}});
    ExpectProbes(&R, {{0, 0, {24, 4}}, {5, 4, {29, 8}}, {0, 5, {24, 14}}, {0, 29, {24, 17}}, {0, 31, {24, 19}}});
  }
  {
    TBitmap L, T, R, B;
    Edges(46, 40, true, L, T, R, B);  // top middle 8 -> 24 pixels
    ExpectProbes(&T, {{10, 0, {10, 0}}, {12, 0, {10, 0}}, {13, 0, {11, 0}}, {33, 0, {17, 0}}, {34, 0, {18, 0}}});
    ExpectProbes(&L, {{0, 3, {0, 7}}, {0, 4, {0, 7}}, {0, 5, {0, 7}}, {0, 6, {0, 8}}, {0, 26, {0, 14}}});
  }
  {
    // Narrower than the two fixed ends of the top: the right end wins where they overlap.
    TBitmap L, T, R, B;
    Edges(20, 40, false, L, T, R, B);
    ExpectProbes(&T, {{7, 0, {7, 0}}, {8, 0, {18, 0}}, {9, 1, {19, 1}}, {19, 0, {29, 0}}});
  }
  {
    // With W = 0 the top and bottom bands keep their size and pixels; the side bands take the
    // height those leave.
    TBitmap L, T, R, B;
    T.SetSize(3, 2);
    T.GetCanvas()->SetPixels(1, 1, clRed);
    B.SetSize(5, 1);
    Edges(0, 40, false, L, T, R, B);
    EXPECT_EQ((TSrc{T.GetWidth(), T.GetHeight()}), (TSrc{3, 2}));
    EXPECT_EQ(T.GetCanvas()->GetPixels(1, 1), clRed);
    EXPECT_EQ((TSrc{B.GetWidth(), B.GetHeight()}), (TSrc{5, 1}));
    EXPECT_EQ((TSrc{L.GetWidth(), L.GetHeight()}), (TSrc{6, 37}));
    EXPECT_EQ((TSrc{R.GetWidth(), R.GetHeight()}), (TSrc{6, 37}));
    ExpectProbes(&L, {{0, 0, {0, 4}}, {0, 36, {0, 19}}});
  }
}

TEST(SkinImagesTest, InvertedPatchesAreNotDrawnMirrored)
{
  auto Picture = CoordinatePicture(16, 16);
  TBitmap Target;
  Target.SetSize(16, 8);
  // Geometry that does not fit its target gives rectangles with right < left.
  SkinPatches::CopyPatch(Target.GetCanvas(), TRect{10, 0, 5, 8}, Picture.get(), TRect{0, 0, 5, 8});
  SkinPatches::StretchPatch(Target.GetCanvas(), TRect{10, 0, 5, 8}, Picture.get(), TRect{0, 0, 5, 8});
  SkinPatches::CopyPatch(Target.GetCanvas(), TRect{0, 0, 5, 8}, Picture.get(), TRect{5, 0, 0, 8});
  for (int X = 0; X < 16; ++X) EXPECT_EQ(SourceAt(&Target, X, 0, TPoint{0, 0}), Unpainted) << X;
}
