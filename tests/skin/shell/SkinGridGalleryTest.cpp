// The gallery of the skinned grids (see tests/skin/support/SkinGallery.h): a queue-like table of
// a few hundred rows as the program sets its tables (transparent, no lines, no fixed column,
// whole-row selection), and a small grid with lines, fixed cells and a selected range.
#include "skin/controls/SkinScrollBar.h"
#include "skin/shell/SkinGrids.h"
#include "tests/skin/support/SkinGallery.h"

namespace {

TGalleryFamily QueueGrid("String grid: a queue of 300 rows", 190, [](TGalleryColumn& C) {
  auto* G = C.Add<TskSkinStringGrid>(0, 0, 261, 185);
  G->SetTransparent(true);
  G->SetGridLineWidth(0);
  G->SetFixedCols(0);
  G->SetColCount(4);
  G->SetRowCount(300);
  G->SetOptions(goRangeSelect | goColSizing | goRowSelect);
  const char* Titles[] = {"File", "Length", "Size", "State"};
  const int Widths[] = {100, 50, 50, 55};
  for (int Col = 0; Col < 4; ++Col) {
    G->SetCells(Col, 0, Titles[Col]);
    G->SetColWidths(Col, Widths[Col]);
  }
  for (int Row = 1; Row < 300; ++Row) {
    G->SetCells(0, Row, "clip" + std::to_string(Row) + ".mkv");
    G->SetCells(1, Row, std::to_string(Row % 60) + ":" + std::to_string(10 + Row % 50));
    G->SetCells(2, Row, std::to_string(100 + Row * 7) + " MB");
    G->SetCells(3, Row, Row % 3 == 0 ? "Done" : "Waiting");
  }
  G->SetRow(3);
  // The vertical bar beside it, as the forms place it.
  auto* Bar = C.Add<TskSkinScrollBar>(261, 0, 19, 185);
  Bar->SetKind(sbVertical);
  Bar->SetSkinDataName("vscrollbar");
  Bar->SetDefaultWidth(19);
  Bar->SetDefaultHeight(0);
  Bar->SetBounds(Bar->GetLeft(), Bar->GetTop(), 19, 185);
  if (C.SkinData) Bar->SetSkinData(C.SkinData);
  G->SetVScrollBar(Bar);
  G->MoveTopLeft(G->GetLeftCol(), 40);
});

TGalleryFamily PlainGrid("Draw grid with lines and a selected range", 120, [](TGalleryColumn& C) {
  auto* G = C.Add<TskSkinStringGrid>(0, 0, 280, 115);
  G->SetDefaultColWidth(50);
  G->SetUseSkinCellHeight(false);
  G->SetDefaultRowHeight(20);
  for (int Col = 1; Col < 5; ++Col) G->SetCells(Col, 0, std::string(1, static_cast<char>('A' + Col - 1)));
  for (int Row = 1; Row < 5; ++Row) {
    G->SetCells(0, Row, std::to_string(Row));
    for (int Col = 1; Col < 5; ++Col) G->SetCells(Col, Row, std::to_string(Row * Col));
  }
  G->FocusCell(1, 1, true);
  G->MoveAnchor(TGridCoord{2, 3});
});

TEST(SkinShellGallery, TheGridsOfEveryLookAreShownAndKeptAsAScreenshot)
{
  SkinGallery::RunSkinGallery(String(QV_TEST_BIN_DIR) + "/../skin-shell-gallery.png",
                              "SkinShellGallery.TheGridsOfEveryLookAreShownAndKeptAsAScreenshot");
}

}  // namespace
