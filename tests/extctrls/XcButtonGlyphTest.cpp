#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "ExtctrlsTestSupport.h"
#include "extctrls/XcButtonGlyph.h"

namespace {

// A W x H glyph in Fill (the bottom-left pixel, so the transparent colour) with pixels set.
std::unique_ptr<TBitmap> Glyph(int W, int H, TColor Fill = clFuchsia,
                               std::vector<std::pair<TPoint, TColor>> Pixels = {})
{
  auto B = std::make_unique<TBitmap>();
  B->SetPixelFormat(pf24bit);
  B->SetSize(W, H);
  B->GetCanvas()->GetBrush()->SetColor(Fill);
  B->GetCanvas()->FillRect(TRect(0, 0, W, H));
  for (const auto& [P, C] : Pixels) B->GetCanvas()->SetPixels(P.x, P.y, C);
  return B;
}

std::unique_ptr<TBitmap> Canvas(int W, int H, TColor Fill = clWhite) { return Glyph(W, H, Fill); }

COLORREF At(TBitmap* B, int X, int Y) { return ColorToRGB(B->GetCanvas()->GetPixels(X, Y)); }

TEST(XcButtonGlyph, CellCountFollowsTheBitmapShape)
{
  struct TCase {
    int W, H;
    int Expected;
  };
  const TCase Cases[] = {{30, 30, 1}, {150, 30, 5}, {180, 30, 1}, {60, 30, 2}, {50, 30, 3}};
  TXcxButtonGlyph G;
  G.SetNumGlyphs(3);
  int Changes = 0;
  G.OnChange = [&] { ++Changes; };
  for (const auto& C : Cases) {
    SCOPED_TRACE(C.W);
    G.SetNumGlyphs(3);
    auto B = Glyph(C.W, C.H);
    G.SetGlyph(B.get());
    EXPECT_EQ(G.GetNumGlyphs(), C.Expected);
  }
  EXPECT_GE(Changes, 5);
  G.SetNumGlyphs(0);  // ignored
  EXPECT_EQ(G.GetNumGlyphs(), 3);
}

// Layouts without a caption: only the glyph moves.
TEST(XcButtonGlyph, GlyphPlacementInEveryLayout)
{
  struct TCase {
    const char* Name;
    TButtonLayout Layout;
    int Margin, Spacing;
    UINT Flags;
    bool Mark;
    TPoint Expected;
  };
  const TCase Cases[] = {
      {"left, automatic, centred", blGlyphLeft, -1, -1, DT_CENTER, false, Point(40, 17)},
      {"left, margin 5", blGlyphLeft, 5, 1, DT_CENTER, false, Point(5, 17)},
      {"right, margin 5", blGlyphRight, 5, 3, DT_CENTER, false, Point(75, 17)},
      {"right, automatic, right-aligned text", blGlyphRight, -1, 2, DT_RIGHT, false, Point(80, 17)},
      {"top, automatic", blGlyphTop, -1, -1, DT_CENTER, false, Point(40, 18)},
      {"top, margin 3", blGlyphTop, 3, -1, DT_CENTER, false, Point(40, 3)},
      {"bottom, margin 4", blGlyphBottom, 4, 1, DT_CENTER, false, Point(40, 31)},
      {"top with a mark beside the glyph", blGlyphTop, 3, 1, DT_CENTER, true, Point(37, 3)},
  };
  TXcxButtonGlyph G;
  auto B = Glyph(20, 15);  // one cell (not a multiple of its height)
  G.SetGlyph(B.get());
  auto C = Canvas(200, 100);
  for (const auto& K : Cases) {
    SCOPED_TRACE(K.Name);
    String Caption;
    TPoint Pos;
    TRect Text;
    G.ComputeLayout(C->GetCanvas(), TRect(10, 5, 110, 55), Point(1, 2), Caption, K.Layout, K.Margin, K.Spacing,
                    K.Mark, K.Flags, nullptr, -1, Pos, Text);
    EXPECT_EQ(Pos.x, K.Expected.x + 11);
    EXPECT_EQ(Pos.y, K.Expected.y + 7);
    EXPECT_EQ(Text.right - Text.left, 0);
  }
}

TEST(XcButtonGlyph, CaptionPlacementAgainstTheGlyph)
{
  TXcxButtonGlyph G;
  auto B = Glyph(20, 15);  // one cell (not a multiple of its height)
  G.SetGlyph(B.get());
  auto C = Canvas(300, 200);
  TCanvas* Cv = C->GetCanvas();
  const TRect Client(0, 0, 120, 90);
  auto Layout = [&](TButtonLayout L, int Margin, int Spacing, UINT Flags, TPoint& Pos, TRect& Text) {
    String Caption = "Go";
    G.ComputeLayout(Cv, Client, Point(0, 0), Caption, L, Margin, Spacing, false, Flags, nullptr, -1, Pos, Text);
  };
  TPoint Pos;
  TRect Text;
  // Automatic margin and spacing on top: the free height is split in three equal parts.
  Layout(blGlyphTop, -1, -1, DT_CENTER, Pos, Text);
  const int TextH = Text.bottom - Text.top;
  ASSERT_GT(TextH, 0);
  const int Third = (90 - 15 - TextH) / 3;
  EXPECT_EQ(Pos.y, Third);
  EXPECT_EQ(Text.top - (Pos.y + 15), Third);
  EXPECT_EQ(Pos.x, 50);
  // Left layout, text left-aligned, spacing 2: glyph at the left edge, text right after it.
  Layout(blGlyphLeft, -1, 2, DT_LEFT, Pos, Text);
  EXPECT_EQ(Pos.x, 0);
  EXPECT_EQ(Text.left, 22);
  // Right layout, text right-aligned: the glyph at the right edge, the text before it.
  Layout(blGlyphRight, -1, 2, DT_RIGHT, Pos, Text);
  EXPECT_EQ(Pos.x, 100);
  EXPECT_EQ(Text.right, 98);
  // Bottom layout with given margin, automatic spacing.
  Layout(blGlyphBottom, 6, -1, DT_CENTER, Pos, Text);
  EXPECT_EQ(Pos.y, 90 - 6 - 15);
  EXPECT_EQ(Pos.y - Text.bottom, (90 - 21) / 2 - TextH / 2);
}

TEST(XcButtonGlyph, LongCaptionsAreShortenedUnlessWrapped)
{
  TXcxButtonGlyph G;
  auto C = Canvas(300, 200);
  TCanvas* Cv = C->GetCanvas();
  const String Long = "A caption far too long for the button";
  const int Room = Cv->TextWidth("A caption");
  TPoint Pos;
  TRect Text;
  String Caption = Long;
  G.ComputeLayout(Cv, TRect(0, 0, Room, 60), Point(0, 0), Caption, blGlyphTop, -1, -1, false, DT_CENTER, nullptr, -1,
                  Pos, Text);
  EXPECT_LT(Caption.size(), Long.size());
  EXPECT_EQ(Caption.substr(Caption.size() - 3), "...");
  EXPECT_LE(Text.right - Text.left, Room);
  const int OneLine = Text.bottom - Text.top;

  G.SetWordWrap(true);
  Caption = Long;
  G.ComputeLayout(Cv, TRect(0, 0, Room, 60), Point(0, 0), Caption, blGlyphTop, -1, -1, false, DT_CENTER, nullptr, -1,
                  Pos, Text);
  EXPECT_EQ(Caption, Long);
  EXPECT_GT(Text.bottom - Text.top, OneLine);
  EXPECT_LE(Text.bottom - Text.top, 60);
}

TEST(XcButtonGlyph, EmptyGlyphDrawsNothing)
{
  TXcxButtonGlyph G;
  auto C = Canvas(40, 30);
  EXPECT_EQ(G.BuildStateImage(XcGlyphUp), -1);
  const TRect R = G.DrawGlyphAndText(C->GetCanvas(), TRect(0, 0, 40, 30), Point(0, 0), "", blGlyphTop, -1, -1, false,
                                     XcGlyphUp, DT_CENTER);
  EXPECT_EQ(R.right - R.left, 0);
  for (int Y = 0; Y < 30; ++Y)
    for (int X = 0; X < 40; ++X) ASSERT_EQ(At(C.get(), X, Y), RGB(255, 255, 255));
}

// A glyph with a red and a black pixel drawn in a state onto white.
std::unique_ptr<TBitmap> DrawState(TXcxButtonGlyph& G, int State)
{
  auto C = Canvas(8, 8);
  G.DrawGlyphAndText(C->GetCanvas(), TRect(0, 0, 8, 8), Point(0, 0), "", blGlyphTop, 0, 0, false, State, DT_CENTER);
  return C;
}

TEST(XcButtonGlyph, StateImagesOfASingleCell)
{
  const COLORREF White = RGB(255, 255, 255), Shadow = ColorToRGB(clBtnShadow);
  struct TCase {
    const char* Name;
    int State;
    bool GrayNewStyle;
    COLORREF Red, Black, Mask;  // at (3, 3), (5, 5) and (0, 0)
  };
  const TCase Cases[] = {
      {"up", XcGlyphUp, true, RGB(255, 0, 0), RGB(0, 0, 0), White},
      {"pressed is up with one cell", XcGlyphPressed, true, RGB(255, 0, 0), RGB(0, 0, 0), White},
      {"disabled, flat grey", XcGlyphDisabled, true, Shadow, Shadow, White},
      {"disabled, embossed", XcGlyphDisabled, false, White, Shadow, White},
      {"inactive, grey scale", XcGlyphInactive, true, RGB(76, 76, 76), RGB(0, 0, 0), White},
  };
  for (const auto& C : Cases) {
    SCOPED_TRACE(C.Name);
    TXcxButtonGlyph G;
    G.SetGrayNewStyle(C.GrayNewStyle);
    auto B = Glyph(8, 8, clFuchsia, {{Point(3, 3), clRed}, {Point(5, 5), clBlack}});
    G.SetGlyph(B.get());
    auto Out = DrawState(G, C.State);
    EXPECT_EQ(At(Out.get(), 3, 3), C.Red);
    EXPECT_EQ(At(Out.get(), 5, 5), C.Black);
    EXPECT_EQ(At(Out.get(), 0, 0), C.Mask);
  }
}

TEST(XcButtonGlyph, StatesWithTheirOwnCells)
{
  // Five cells of 4 x 4, each filled with its own colour but for a fuchsia corner.
  const TColor Colours[] = {clRed, clLime, clBlue, clYellow, clAqua};
  auto B = Glyph(20, 4);
  for (int Cell = 0; Cell < 5; ++Cell) {
    B->GetCanvas()->GetBrush()->SetColor(Colours[Cell]);
    B->GetCanvas()->FillRect(TRect(Cell * 4, 0, Cell * 4 + 4, 3));
  }
  for (int Cells : {5, 2}) {
    SCOPED_TRACE(Cells);
    auto Strip = Glyph(Cells * 4, 4);
    Strip->GetCanvas()->CopyRect(TRect(0, 0, Cells * 4, 4), B->GetCanvas(), TRect(0, 0, Cells * 4, 4));
    TXcxButtonGlyph G;
    G.SetGlyph(Strip.get());
    ASSERT_EQ(G.GetNumGlyphs(), Cells);
    for (int State = 0; State < 5; ++State) {
      auto C = Canvas(4, 4);
      G.DrawGlyphAndText(C->GetCanvas(), TRect(0, 0, 4, 4), Point(0, 0), "", blGlyphTop, 0, 0, false, State,
                         DT_CENTER);
      const int Cell = State < Cells ? State : 0;
      if (State == XcGlyphInactive && Cells < 5) continue;  // grey form, see above
      if (State == XcGlyphPressed && Cells < 3) {
        EXPECT_EQ(At(C.get(), 1, 1), ColorToRGB(Colours[0])) << "state " << State;
        continue;
      }
      EXPECT_EQ(At(C.get(), 1, 1), ColorToRGB(Colours[Cell])) << "state " << State;
      EXPECT_EQ(At(C.get(), 1, 3), RGB(255, 255, 255)) << "state " << State;
    }
  }
}

TEST(XcButtonGlyph, GlyphsOfOneSizeShareOneList)
{
  ASSERT_EQ(SharedGlyphCache(), nullptr);
  auto Sixteen = Glyph(16, 16, clFuchsia, {{Point(2, 2), clRed}});
  auto Eight = Glyph(8, 8);
  {
    TXcxButtonGlyph A, B, C;
    A.SetGlyph(Sixteen.get());
    B.SetGlyph(Sixteen.get());
    C.SetGlyph(Eight.get());
    const int A0 = A.BuildStateImage(XcGlyphUp), A1 = A.BuildStateImage(XcGlyphDisabled);
    const int B0 = B.BuildStateImage(XcGlyphUp);
    C.BuildStateImage(XcGlyphUp);
    ASSERT_NE(SharedGlyphCache(), nullptr);
    EXPECT_EQ(SharedGlyphCache()->GetCount(), 2);
    ASSERT_EQ(A.GetImageStore(), B.GetImageStore());
    EXPECT_NE(A.GetImageStore(), C.GetImageStore());
    TXcGlyphList* List = A.GetImageStore();
    EXPECT_EQ(List->GetUsedCount(), 3);
    EXPECT_EQ(A.BuildStateImage(XcGlyphUp), A0);  // built once
    EXPECT_EQ(List->GetUsedCount(), 3);
    // A's slots are freed and taken again before the list grows.
    const int Count = List->GetCount();
    A.ReleaseStateImages();
    EXPECT_EQ(List->GetUsedCount(), 1);
    EXPECT_FALSE(List->SlotInUse(A0));
    EXPECT_TRUE(List->SlotInUse(B0));
    const int Again = B.BuildStateImage(XcGlyphDisabled);
    EXPECT_TRUE(Again == A0 || Again == A1);
    EXPECT_EQ(List->GetCount(), Count);
    B.ReleaseStateImages();
    EXPECT_EQ(SharedGlyphCache()->GetCount(), 1);  // the 16 x 16 list went with its last slot
  }
  EXPECT_EQ(SharedGlyphCache(), nullptr);  // and the cache with the last glyph
}

TEST(XcButtonGlyph, ASystemColourChangeRebuildsFromTheNewFace)
{
  TXcxButtonGlyph G;
  auto B = Glyph(8, 8, clFuchsia, {{Point(3, 3), clRed}});
  G.SetGlyph(B.get());
  const int Slot = G.BuildStateImage(XcGlyphUp);
  ASSERT_NE(Slot, -1);
  G.ReleaseStateImages();
  EXPECT_EQ(G.GetStateImage(XcGlyphUp), -1);
  EXPECT_EQ(G.GetImageStore(), nullptr);
  EXPECT_NE(G.BuildStateImage(XcGlyphUp), -1);
}

TEST(XcButtonGlyph, DropDownMarkIsASmallTriangle)
{
  for (bool Disabled : {false, true}) {
    SCOPED_TRACE(Disabled);
    auto C = Canvas(30, 30);
    DrawDropDownMark(C->GetCanvas(), 10, 10, Disabled);
    const COLORREF Ink = ColorToRGB(Disabled ? clBtnShadow : clBtnText);
    std::vector<TPoint> Marked;
    for (int X = 10; X <= 16; ++X) Marked.push_back(Point(X, 9));
    for (int X = 11; X <= 15; ++X) Marked.push_back(Point(X, 10));
    for (int X = 12; X <= 14; ++X) Marked.push_back(Point(X, 11));
    Marked.push_back(Point(13, 12));
    for (const TPoint& P : Marked) EXPECT_EQ(At(C.get(), P.x, P.y), Ink) << P.x << "," << P.y;
    EXPECT_EQ(At(C.get(), 9, 9), RGB(255, 255, 255));
    EXPECT_EQ(At(C.get(), 12, 12), RGB(255, 255, 255));
    EXPECT_EQ(At(C.get(), 14, 13), Disabled ? ColorToRGB(clBtnHighlight) : RGB(255, 255, 255));
  }
}

}  // namespace

namespace {

TEST(XcButtonGlyph, ImageListGlyphsInTheirStates)
{
  TImageList Images(nullptr);
  Images.SetWidth(8);
  Images.SetHeight(8);
  auto Cell = Glyph(8, 8, clFuchsia, {{Point(3, 3), clRed}, {Point(5, 5), clBlack}});
  Images.AddMasked(Cell.get(), clFuchsia);
  const COLORREF White = RGB(255, 255, 255);
  struct TCase {
    const char* Name;
    int State;
    COLORREF Red, Corner;  // at (3, 3) and (0, 0)
  };
  const TCase Cases[] = {
      {"up", XcGlyphUp, RGB(255, 0, 0), White},
      {"pressed", XcGlyphPressed, RGB(255, 0, 0), White},
      {"inactive: grey", XcGlyphInactive, RGB(76, 76, 76), White},
      {"disabled: no colour", XcGlyphDisabled, ColorToRGB(clBtnShadow), White},
  };
  for (const auto& C : Cases) {
    SCOPED_TRACE(C.Name);
    TXcxButtonGlyph G;
    auto Out = Canvas(20, 20);
    G.DrawGlyphAndText(Out->GetCanvas(), TRect(0, 0, 20, 20), Point(0, 0), "", blGlyphTop, 6, 0, false, C.State,
                       DT_CENTER, &Images, 0);
    EXPECT_EQ(At(Out.get(), 6 + 3, 6 + 3), C.Red);
    EXPECT_EQ(At(Out.get(), 6, 6), C.Corner);
  }
}

}  // namespace
