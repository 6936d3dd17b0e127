// Scrolling through the external skinned scroll bars: ranges and steps on the 0..127 scale,
// visibility, the bar's events, thumb positions, hidden rows, the one-column pixel scroll, and
// that scrolling never moves the current cell.
#include "platform/rtl/MathUtils.h"
#include "tests/skin/shell/SkinGridTestSupport.h"

namespace {

class SkinGridScroll : public SkinGridTest {
protected:
  TTestScrollBar* VBar = nullptr;
  TTestScrollBar* HBar = nullptr;

  void MakeScrolledGrid(int W, int H, int Rows) {
    MakeGrid(W, H);
    VBar = new TTestScrollBar(Form);
    HBar = new TTestScrollBar(Form);
    Grid->SetRowCount(Rows);
    Grid->SetVScrollBar(VBar);
    Grid->SetHScrollBar(HBar);
  }
};

TEST_F(SkinGridScroll, LinkingHidesEnablesAndTheRangeUpdateShowsWhatCanScroll) {
  MakeGrid(200, 150);
  auto* Bar = new TTestScrollBar(Form);
  Bar->Shown = true;
  Grid->SetRowCount(3);
  Grid->SetVScrollBar(Bar);
  EXPECT_TRUE(Bar->Enabled);
  EXPECT_FALSE(Bar->Shown) << "every row fits";
  EXPECT_EQ(Bar->Max, 0);
  // Rows of 24 + 1 line under a 25-pixel title: five fit in 150 pixels, the sixth does not.
  Grid->SetRowCount(6);
  EXPECT_FALSE(Bar->Shown);
  Grid->SetRowCount(7);
  EXPECT_TRUE(Bar->Shown);
  EXPECT_EQ(Bar->Min, 0);
  EXPECT_EQ(Bar->Max, 127);
  Grid->SetRowCount(2);
  EXPECT_FALSE(Bar->Shown);
  EXPECT_EQ(Bar->Pos, 0);
}

TEST_F(SkinGridScroll, StepsFollowTheHiddenRowCount) {
  struct Case { int Height, Rows, Small; } Cases[] = {
      {275, 100, 1},   // 10 rows fully visible: 127 div 89
      {150, 10, 31},   // 5 visible: 127 div 4
      {150, 7, 127},   // 5 visible: 127 div 1
  };
  for (const Case& C : Cases) {
    MakeScrolledGrid(200, C.Height, C.Rows);
    EXPECT_EQ(VBar->Small, C.Small) << C.Rows;
    EXPECT_EQ(VBar->Large, C.Small) << C.Rows;
  }
}

TEST_F(SkinGridScroll, BarEventsMoveTheTopRowButNeverTheCurrentCell) {
  MakeScrolledGrid(200, 150, 10);  // top rows 1..5 possible
  LogEvents();
  struct Case {
    const char* Name;
    std::function<void()> Action;
    int TopRow;
  } Cases[] = {
      {"thumb to the end", [&] { VBar->DragThumbTo(127); }, 5},
      {"thumb to the start", [&] { VBar->DragThumbTo(0); }, 1},
      {"thumb to the middle", [&] { VBar->DragThumbTo(64); }, 3},
      {"increasing arrow: one line down", [&] { VBar->PressUp(); }, 4},
      {"decreasing arrow: one line up", [&] { VBar->PressDown(); }, 3},
      {"track after the thumb: a page down", [&] { VBar->PressTrackAfterThumb(); }, 5},
      {"track before the thumb: a page up", [&] { if (VBar->OnPageUp) VBar->OnPageUp(VBar); }, 1},
      {"arrow at the end stays", [&] { VBar->DragThumbTo(127), VBar->PressUp(); }, 5},
  };
  for (const Case& C : Cases) {
    C.Action();
    EXPECT_EQ(Grid->GetTopRow(), C.TopRow) << C.Name;
    EXPECT_EQ(Grid->GetRow(), 1) << C.Name;
    EXPECT_EQ(VBar->Pos, MulDiv(Grid->GetTopRow() - 1, 127, 4)) << C.Name << ": the bar follows";
  }
  EXPECT_TRUE(Events.empty());
}

TEST_F(SkinGridScroll, ScrollingStepsOverHiddenRows) {
  MakeScrolledGrid(200, 150, 12);
  for (int R : {2, 3, 4}) Grid->SetRowHeights(R, 0);
  SendMessageA(Grid->GetHandle(), WM_VSCROLL, SB_LINEDOWN, 0);
  EXPECT_EQ(Grid->GetTopRow(), 5) << "rows 2 to 4 take no pixels and are stepped over";
  SendMessageA(Grid->GetHandle(), WM_VSCROLL, SB_LINEUP, 0);
  EXPECT_EQ(Grid->GetTopRow(), 1) << "back over them to the first";
}

TEST_F(SkinGridScroll, OneColumnScrollsByPixels) {
  MakeGrid(300, 150);
  auto* Bar = new TTestScrollBar(Form);
  Grid->SetFixedCols(0);
  Grid->SetColCount(1);
  Grid->SetColWidths(0, 500);
  Grid->SetHScrollBar(Bar);
  EXPECT_TRUE(Bar->Shown);
  EXPECT_EQ(Bar->Max, 200);
  Bar->DragThumbTo(150);
  EXPECT_EQ(Grid->GetColOffset(), 150);
  SendMessageA(Grid->GetHandle(), WM_HSCROLL, SB_PAGEDOWN, 0);
  EXPECT_EQ(Grid->GetColOffset(), 200) << "never past the column's end";
  SendMessageA(Grid->GetHandle(), WM_HSCROLL, SB_TOP, 0);
  EXPECT_EQ(Grid->GetColOffset(), 0);
  EXPECT_EQ(Bar->Pos, 0);
}

TEST_F(SkinGridScroll, HorizontalBarDrawsTheCornerBesideAVisibleVerticalBar) {
  MakeScrolledGrid(150, 150, 20);
  Grid->SetColCount(8);
  Grid->UpdateScrollRange();
  EXPECT_TRUE(VBar->Shown);
  EXPECT_TRUE(HBar->Shown);
  EXPECT_TRUE(HBar->Both);
  Grid->SetRowCount(2);
  EXPECT_FALSE(VBar->Shown);
  EXPECT_FALSE(HBar->Both);
  // Horizontal arrows step the bar by SmallChange and go to that position.
  const int Before = Grid->GetLeftCol();
  HBar->PressUp();
  EXPECT_GT(Grid->GetLeftCol(), Before);
}

TEST_F(SkinGridScroll, AFreedBarIsForgotten) {
  MakeScrolledGrid(200, 150, 20);
  delete VBar;
  EXPECT_EQ(Grid->GetVScrollBar(), nullptr);
  Grid->SetRowCount(30);  // no access to the freed bar
  SendMessageA(Grid->GetHandle(), WM_VSCROLL, SB_LINEDOWN, 0);
  EXPECT_EQ(Grid->GetTopRow(), 2);
}

TEST_F(SkinGridScroll, ABarOutlivingItsGridFiresIntoNothing) {
  MakeScrolledGrid(200, 150, 20);
  auto* Kept = new TTestScrollBar(nullptr);
  Owned.push_back(Kept);
  Grid->SetVScrollBar(Kept);
  Grid->SetVScrollBar(nullptr);  // unlinked: the handlers stay on the bar
  Kept->PressUp();
  EXPECT_EQ(Grid->GetTopRow(), 2) << "an unlinked bar still scrolls the grid that hooked it";
  delete Grid;
  Grid = nullptr;
  Kept->PressUp();
  Kept->DragThumbTo(50);
  Kept->PressTrackAfterThumb();
}

TEST_F(SkinGridScroll, KeepingTheCurrentRowInViewMovesTheBar) {
  MakeScrolledGrid(200, 150, 10);
  Grid->SetRow(9);
  EXPECT_EQ(Grid->GetTopRow(), 5);
  EXPECT_EQ(VBar->Pos, 127);
  Grid->SetRowCount(6);  // the largest top row shrinks to 1
  EXPECT_EQ(Grid->GetTopRow(), 1);
  EXPECT_FALSE(VBar->Shown);
}

}  // namespace
