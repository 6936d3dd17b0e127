// The grid scrolled through real skinned scroll bars placed beside it, as the forms place them:
// the user's presses and drags on the bar move the grid, the grid's own scrolling moves the bar.
#include "platform/rtl/MathUtils.h"
#include "skin/controls/SkinScrollBar.h"
#include "tests/skin/shell/SkinGridTestSupport.h"

namespace {

class SkinGridRealBar : public SkinGridTest {
protected:
  TskSkinScrollBar* VBar = nullptr;

  // A 200 x 150 grid of Rows rows (five fit) with a vertical bar of 19 x 150 at its right.
  void MakeScrolledGrid(int Rows)
  {
    MakeGrid(200, 150);
    VBar = new TskSkinScrollBar(Form);
    VBar->SetParent(Form);
    VBar->SetKind(sbVertical);
    VBar->SetSkinDataName("vscrollbar");
    VBar->SetBounds(200, 0, 19, 150);
    Grid->SetRowCount(Rows);
    Grid->SetVScrollBar(VBar);
    Pump();
  }
  void Press(int X, int Y)
  {
    VBar->Perform(WM_MOUSEMOVE, 0, MAKELPARAM(X, Y));
    VBar->Perform(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(X, Y));
  }
  void Release(int X, int Y) { VBar->Perform(WM_LBUTTONUP, 0, MAKELPARAM(X, Y)); }
};

TEST_F(SkinGridRealBar, TheBarShowsOnlyWhenRowsAreHidden)
{
  MakeScrolledGrid(3);
  EXPECT_FALSE(VBar->GetVisible());
  Grid->SetRowCount(10);
  EXPECT_TRUE(VBar->GetVisible());
  EXPECT_EQ(127, VBar->GetMax());
}

TEST_F(SkinGridRealBar, ButtonsTrackAndThumbOfTheBarScrollTheGrid)
{
  MakeScrolledGrid(10);  // top rows 1..5
  ASSERT_TRUE(VBar->GetVisible());
  Press(9, 140);  // the increasing button at the bottom
  Release(9, 140);
  EXPECT_EQ(2, Grid->GetTopRow());
  Press(9, 5);  // the decreasing button at the top
  Release(9, 5);
  EXPECT_EQ(1, Grid->GetTopRow());
  Press(9, 120);  // the track after the thumb
  Release(9, 120);
  EXPECT_EQ(5, Grid->GetTopRow());
  EXPECT_EQ(MulDiv(4, 127, 4), VBar->GetPosition()) << "the bar follows the grid";

  VBar->LayoutItems();
  const TRect t = VBar->GetItemRect(TskSkinScrollBar::siThumb);
  const int y = (t.top + t.bottom) / 2;
  Press(9, y);
  VBar->Perform(WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(9, y - 200));
  EXPECT_EQ(5, Grid->GetTopRow()) << "without thumb tracking the grid waits for the release";
  Release(9, y - 200);
  EXPECT_EQ(1, Grid->GetTopRow());
  EXPECT_EQ(1, Grid->GetRow()) << "scrolling never moves the current cell";
}

TEST_F(SkinGridRealBar, TheGridsOwnScrollingMovesTheThumb)
{
  MakeScrolledGrid(10);
  VBar->LayoutItems();
  const int top = VBar->GetItemRect(TskSkinScrollBar::siThumb).top;
  Grid->MoveTopLeft(Grid->GetLeftCol(), 5);
  EXPECT_EQ(127, VBar->GetPosition());
  VBar->LayoutItems();
  EXPECT_GT(VBar->GetItemRect(TskSkinScrollBar::siThumb).top, top);
  EXPECT_LE(VBar->GetItemRect(TskSkinScrollBar::siThumb).bottom, VBar->GetTrackRect().bottom);
}

TEST_F(SkinGridRealBar, FreeingTheBarUnlinksIt)
{
  MakeScrolledGrid(10);
  delete VBar;
  VBar = nullptr;
  EXPECT_EQ(nullptr, Grid->GetVScrollBar());
  Grid->MoveTopLeft(Grid->GetLeftCol(), 3);
  EXPECT_EQ(3, Grid->GetTopRow());
}

}  // namespace
