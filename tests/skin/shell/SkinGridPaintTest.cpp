// Painting from the skin's "grid" record and the plain look: cell pieces by state, fonts and
// fills, row height from the skin, lines, transparency, the cell-parameter event and the text
// position.
#include "tests/skin/shell/SkinGridTestSupport.h"
#include "tests/skin/support/SkinTestSupport.h"

namespace {

constexpr TColor Red = 0x0000FF, Green = 0x00FF00, Blue = 0xFF0000, White = 0xFFFFFF, Yellow = 0x00FFFF;

// Picture 0 (60 x 20): the fixed piece (0,0)-(20,20) red, the select piece (20,0)-(40,20)
// green, the focus piece (40,0)-(60,20) blue.
std::vector<std::unique_ptr<TBitmap>> GridPictures() {
  std::vector<std::unique_ptr<TBitmap>> P;
  P.push_back(SolidPicture(60, 20, Red));
  FillArea(P[0].get(), Rect(20, 0, 40, 20), Green);
  FillArea(P[0].get(), Rect(40, 0, 60, 20), Blue);
  return P;
}

const char* const GridRecords =
    "[SKINCONTROLS]\ncount=2\n0=grid:grid\n1=nofixed:grid\n"
    "[grid]\npictureindex=0\nfixedcellrect=0,0,20,20\nselectcellrect=20,0,40,20\nfocuscellrect=40,0,60,20\n"
    "fixedcellleftoffset=2\nfixedcellrightoffset=2\nfixedcelltextrect=3,1,17,19\ncellleftoffset=2\n"
    "cellrightoffset=2\ncelltextrect=4,2,16,18\nlinescolor=0\nbgcolor=16777215\nfontcolor=0\n"
    "bgpictureindex=-1\n"
    "[nofixed]\npictureindex=0\nselectcellrect=20,0,40,20\nfocuscellrect=40,0,60,20\nbgcolor=16777215\n";

class SkinGridPaint : public TSkinControlTest {
protected:
  TForm* Form = nullptr;
  TTestSkinGrid* Grid = nullptr;
  TskSkinData* Skin = nullptr;

  // A 5 x 5 grid of 40-pixel columns without lines, rows of 20 pixels.
  void MakeGrid(bool Skinned = true) {
    Form = NewForm(0, 0, 400, 300);
    Form->SetColor(Yellow);
    Grid = new TTestSkinGrid(Form);
    Grid->SetParent(Form);
    Grid->SetBounds(0, 0, 200, 100);
    Grid->SetBorderStyle(bsNone);
    Grid->SetDefaultColWidth(40);
    Grid->SetGridLineWidth(0);
    Grid->SetDefaultRowHeight(20);
    Form->Show();
    Pump();
    if (Skinned) {
      Skin = NewSkin(GridPictures(), GridRecords);
      Grid->SetSkinData(Skin);
    }
  }
  TColor At(int X, int Y) {
    auto B = Snapshot(Grid);
    return BitmapPixel(B.get(), X, Y);
  }
};

TEST_F(SkinGridPaint, SkinPiecesFollowTheCellState) {
  MakeGrid();
  ASSERT_GE(Grid->GetSkinIndex(), 0);
  Grid->SetFocus();
  Pump();
  // Cell (1,1) is current and focused; drag the anchor to (2,2) to select a range.
  Grid->MoveAnchor(TGridCoord{2, 2});
  auto B = Snapshot(Grid);
  struct Case { const char* Name; int X, Y; TColor Expected; } Cases[] = {
      {"fixed corner", 10, 10, Red},
      {"fixed title", 90, 10, Red},
      {"fixed column", 10, 50, Red},
      {"focused current cell", 50, 30, Blue},
      {"selected cell", 90, 50, Green},
      {"normal cell", 130, 30, White},
      {"beyond the last column", 199, 50, White},
  };
  for (const Case& C : Cases) EXPECT_EQ(BitmapPixel(B.get(), C.X, C.Y), C.Expected) << C.Name;

  // With row selection every cell of the selected row shows the focus piece.
  Grid->SetOptions(Grid->GetOptions() | goRowSelect);
  Grid->SetRow(3);
  B = Snapshot(Grid);
  for (int X : {50, 90, 130, 170}) EXPECT_EQ(BitmapPixel(B.get(), X, 70), Blue) << X;
  EXPECT_EQ(BitmapPixel(B.get(), 50, 30), White);
}

TEST_F(SkinGridPaint, ARecordWithoutFixedPiecePaintsThePlainLook) {
  MakeGrid();
  Grid->SetSkinDataName("nofixed");
  Grid->GetSkinData();
  EXPECT_EQ(Grid->GetSkinIndex(), -1);
  Grid->SetRow(2);
  Grid->MoveAnchor(TGridCoord{2, 3});
  auto B = Snapshot(Grid);
  EXPECT_EQ(BitmapPixel(B.get(), 10, 10), static_cast<TColor>(ColorToRGB(clBtnFace)));
  EXPECT_EQ(BitmapPixel(B.get(), 90, 70), static_cast<TColor>(ColorToRGB(clHighlight))) << "selection";
  EXPECT_EQ(BitmapPixel(B.get(), 130, 30), static_cast<TColor>(ColorToRGB(clWindow)));
}

TEST_F(SkinGridPaint, SkinChangeTakesTheCellHeightWhenAsked) {
  MakeGrid(false);
  Grid->SetDefaultRowHeight(24);
  Grid->SetRowHeights(2, 50);
  Grid->SetUseSkinCellHeight(false);
  Skin = NewSkin(GridPictures(), GridRecords);
  Grid->SetSkinData(Skin);
  EXPECT_EQ(Grid->GetDefaultRowHeight(), 24);
  Grid->SetUseSkinCellHeight(true);
  Grid->ChangeSkinData();
  EXPECT_EQ(Grid->GetDefaultRowHeight(), 20);
  EXPECT_EQ(Grid->GetRowHeights(2), 20) << "individual heights are dropped";
}

TEST_F(SkinGridPaint, LinesOnlyWithAWidth) {
  MakeGrid(false);
  Grid->SetGridLineColor(Red);
  // Without lines the pixel right after a column is the next cell.
  EXPECT_EQ(At(40, 50), static_cast<TColor>(ColorToRGB(clWindow)));
  Grid->SetGridLineWidth(1);
  EXPECT_EQ(At(40, 50), Red) << "the line after column 0 lies at 40";
  EXPECT_EQ(At(81, 50), Red) << "and the next one column further";
  Grid->SetOptions(Grid->GetOptions() & ~(goVertLine | goFixedVertLine));
  EXPECT_NE(At(40, 50), Red);
  Grid->SetColor(clSilver);
  Grid->SetOptions(Grid->GetOptions() | goVertLine | goFixedVertLine);
  EXPECT_EQ(At(40, 50), clGray) << "silver grids draw gray lines";
}

TEST_F(SkinGridPaint, TransparentGridShowsTheParentInNormalCells) {
  MakeGrid();
  Grid->SetTransparent(true);
  Grid->SetRowCount(3);
  auto B = Snapshot(Grid);
  EXPECT_EQ(BitmapPixel(B.get(), 130, 30), Yellow) << "a normal cell";
  EXPECT_EQ(BitmapPixel(B.get(), 130, 90), Yellow) << "below the last row";
  EXPECT_EQ(BitmapPixel(B.get(), 10, 10), Red) << "fixed cells keep their piece";
  // A wallpaper replaces the parent's image.
  auto Paper = SolidPicture(8, 8, Green);
  Grid->SetWallpaper(Paper.get());
  EXPECT_EQ(At(130, 30), Green);
  EXPECT_EQ(At(199, 99), Green);
}

TEST_F(SkinGridPaint, CellParametersFillAndColourTheCell) {
  MakeGrid();
  Grid->OnGetCellParam = [](TObject*, int C, int R, TGridDrawState, TColor& BG, bool& Fill, TColor&) {
    if (C == 3 && R == 2) {
      BG = Green;
      Fill = true;
    }
    if (C == 4 && R == 2) BG = Green;  // without AFillBG nothing is filled
  };
  auto B = Snapshot(Grid);
  EXPECT_EQ(BitmapPixel(B.get(), 125, 45), Green);
  EXPECT_EQ(BitmapPixel(B.get(), 165, 45), White);
}

TEST_F(SkinGridPaint, HiddenColumnsAreNeverDrawn) {
  MakeGrid();
  std::vector<int> Cols;
  Grid->OnDrawCell = [&](TObject*, int C, int R, TRect, TGridDrawState) {
    if (R == 1) Cols.push_back(C);
  };
  Grid->SetColWidths(2, 0);
  Snapshot(Grid);
  EXPECT_EQ(Cols, (std::vector<int>{0, 1, 3, 4}));
}

TEST_F(SkinGridPaint, TextRectangleComesFromTheSkinPiece) {
  MakeGrid();
  Grid->GetSkinData();
  struct Case { TRect Cell; TGridDrawState State; TRect Expected; } Cases[] = {
      {{40, 20, 80, 40}, gdFixed, {43, 21, 43 + 14 + 20, 21 + 18}},
      {{40, 20, 80, 40}, 0, {44, 22, 44 + 12 + 20, 22 + 16}},
      {{0, 0, 30, 20}, gdSelected, {4, 2, 4 + 12 + 10, 2 + 16}},
  };
  for (const Case& C : Cases) EXPECT_EQ(Grid->GetTextRect(C.Cell, C.State), C.Expected) << C.State;
  Grid->SetUseSkinCellHeight(false);
  EXPECT_EQ(Grid->GetTextRect(TRect{0, 0, 40, 30}, 0), (TRect{4, 2, 4 + 12 + 20, 2 + 16 + 10}));
  Grid->SetSkinData(nullptr);
  Grid->GetSkinData();
  EXPECT_EQ(Grid->GetTextRect(TRect{1, 2, 3, 4}, 0), (TRect{1, 2, 3, 4})) << "plain look: the cell itself";
}

TEST_F(SkinGridPaint, TextIsCentredVerticallyTwoPixelsIn) {
  MakeGrid(false);
  Grid->GetFont()->SetColor(0);
  Grid->SetCells(2, 2, "|");
  auto B = Snapshot(Grid);
  const int TH = Grid->GetCanvas()->TextHeight("|");
  // The bar's ink lies inside [top + 10 - TH/2, top + 10 - TH/2 + TH) from x = 82 on.
  const int Top = 40 + 10 - TH / 2;
  int FirstInk = -1;
  for (int Y = 40; Y < 60 && FirstInk < 0; ++Y)
    for (int X = 80; X < 90; ++X)
      if (BitmapPixel(B.get(), X, Y) != static_cast<TColor>(ColorToRGB(clWindow))) {
        FirstInk = Y;
        EXPECT_GE(X, 82);
        break;
      }
  EXPECT_GE(FirstInk, Top);
  EXPECT_LT(FirstInk, Top + TH);
}

}  // namespace
