#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "extctrls/XcStringGrid.h"
#include "ExtctrlsTestSupport.h"
#include "platform/vcl/Bitmap.h"
#include "platform/vcl/StdCtrlsConsts.h"

namespace {

// A 5 x 5 grid of 64 x 24 cells (one fixed row and column, 1-pixel lines, no border, no scroll
// bars) on the hidden host form.
std::unique_ptr<TXcStringGrid> NewGrid()
{
  auto Grid = std::make_unique<TXcStringGrid>(nullptr);
  Grid->SetBounds(0, 0, 330, 125);
  Grid->SetBorderStyle(bsNone);
  Grid->SetScrollBars(ssNone);
  Grid->SetParent(HostForm());
  Grid->HandleNeeded();
  return Grid;
}

// The cell's centre in client coordinates.
TPoint Centre(TXcStringGrid* Grid, int Col, int Row)
{
  TRect R = Grid->CellRect(Col, Row);
  return Point((R.left + R.right) / 2, (R.top + R.bottom) / 2);
}

LPARAM At(const TPoint& P) { return static_cast<LPARAM>((static_cast<std::uint32_t>(P.y) << 16) | (P.x & 0xFFFF)); }

std::unique_ptr<TBitmap> Painted(TXcStringGrid* Grid)
{
  auto B = std::make_unique<TBitmap>();
  B->SetSize(Grid->GetWidth(), Grid->GetHeight());
  Grid->PaintTo(B->GetCanvas()->GetHandle(), 0, 0);
  return B;
}

// The leftmost and rightmost x inside R whose pixel is neither of the two background colours.
std::pair<int, int> InkSpan(TBitmap* B, const TRect& R, COLORREF Background)
{
  int Left = -1, Right = -1;
  for (int Y = R.top; Y < R.bottom; ++Y)
    for (int X = R.left; X < R.right; ++X) {
      if (GetPixel(B->GetCanvas()->GetHandle(), X, Y) == Background) continue;
      if (Left < 0 || X < Left) Left = X;
      if (X > Right) Right = X;
    }
  return {Left, Right};
}

}  // namespace

TEST(XcStringGrid, StartsWithItsDefaultsAndACopyOfTheFontForFixedCells)
{
  auto Grid = NewGrid();
  EXPECT_EQ(Grid->GetAlignment(), taLeftJustify);
  EXPECT_EQ(Grid->GetPressedCell(), (TGridCoord{0, 0}));
  EXPECT_EQ(Grid->GetFixedFont()->GetName(), Grid->GetFont()->GetName());
  EXPECT_EQ(Grid->GetFixedFont()->GetSize(), Grid->GetFont()->GetSize());
  EXPECT_NE(Grid->GetFixedFont(), Grid->GetFont());
  TFont Other;
  Other.SetSize(17);
  Grid->SetFixedFont(&Other);
  EXPECT_EQ(Grid->GetFixedFont()->GetSize(), 17);
  EXPECT_NE(Grid->GetFont()->GetSize(), 17);
}

TEST(XcStringGrid, CellsAreFilledFromTheCanvasHooksAndARowLowerThanTheFontIsLeftAlone)
{
  auto Grid = NewGrid();
  Grid->SetRowHeights(2, 4);
  std::vector<String> Asked;
  Grid->OnSetCanvasProperties = [&](TObject*, int Col, int Row, TRect, TGridDrawState State) {
    if (Col == 1 && Row >= 1) Grid->GetCanvas()->GetBrush()->SetColor(clRed);
    if (Col == 1 && Row == 1) Asked.push_back("state " + std::to_string(State & gdFixed));
  };
  auto B = Painted(Grid.get());
  const TPoint Normal = Centre(Grid.get(), 1, 1);
  TRect Short = Grid->CellRect(1, 2);
  EXPECT_EQ(GetPixel(B->GetCanvas()->GetHandle(), Normal.x, Normal.y), RGB(255, 0, 0));
  EXPECT_NE(GetPixel(B->GetCanvas()->GetHandle(), Short.left + 5, Short.top + 1), RGB(255, 0, 0))
      << "nothing drawn, not even the background";
  EXPECT_EQ(Asked, std::vector<String>{"state 0"});
  EXPECT_EQ(Grid->GetCanvas()->GetFont()->GetColor(), Grid->GetFont()->GetColor());
  EXPECT_EQ(Grid->GetCanvas()->GetBrush()->GetColor(), Grid->GetBrush()->GetColor())
      << "the grid's font and brush come back after each cell";
}

TEST(XcStringGrid, TextIsAlignedPerCellAndFixedCellsUseTheirOwnFont)
{
  auto Grid = NewGrid();
  Grid->SetColor(clWhite);
  Grid->SetFixedColor(clWhite);
  Grid->SetCtl3D(false);
  for (int Col = 1; Col <= 3; ++Col) Grid->SetCells(Col, 1, "ii");
  Grid->SetCells(0, 1, "Fix");
  Grid->GetFixedFont()->SetColor(clRed);
  Grid->OnGetCellAlignment = [](TXcStringGrid*, int Col, int, TGridDrawState, TAlignment& A) {
    if (Col == 2) A = taRightJustify;
    if (Col == 3) A = taCenter;
  };
  auto B = Painted(Grid.get());
  const auto Span = [&](int Col) {
    TRect R = Grid->CellRect(Col, 1);
    auto [L, Rt] = InkSpan(B.get(), Rect(R.left + 1, R.top + 1, R.right - 1, R.bottom - 1), RGB(255, 255, 255));
    return std::make_pair(L - R.left, R.right - 1 - Rt);
  };
  auto Left = Span(1), Right = Span(2), Middle = Span(3);
  ASSERT_GE(Left.first, 0);
  EXPECT_LE(Left.first, 4) << "left: a 2-pixel margin";
  EXPECT_LE(Right.second, 4) << "right: a 2-pixel margin";
  EXPECT_GT(Right.first, 20);
  EXPECT_LE(std::abs(Middle.first - Middle.second), 2) << "centred";

  // The fixed cell's text in the fixed font's red, the others not.
  TRect F = Grid->CellRect(0, 1);
  const auto Reddish = [&](int X, int Y) {
    const COLORREF C = GetPixel(B->GetCanvas()->GetHandle(), X, Y);
    return GetRValue(C) > GetGValue(C) + 60;
  };
  bool Red = false;
  for (int Y = F.top; Y < F.bottom && !Red; ++Y)
    for (int X = F.left; X < F.right && !Red; ++X) Red = Reddish(X, Y);
  EXPECT_TRUE(Red);
  TRect N = Grid->CellRect(1, 1);
  for (int Y = N.top; Y < N.bottom; ++Y)
    for (int X = N.left; X < N.right; ++X) ASSERT_FALSE(Reddish(X, Y));
}

TEST(XcStringGrid, WithOnDrawCellTheStockDrawingRunsInstead)
{
  auto Grid = NewGrid();
  int Hooks = 0, Draws = 0;
  Grid->OnSetCanvasProperties = [&](TObject*, int, int, TRect, TGridDrawState) { ++Hooks; };
  Grid->OnDrawCell = [&](TObject*, int, int, TRect, TGridDrawState) { ++Draws; };
  Painted(Grid.get());
  EXPECT_GT(Draws, 0);
  EXPECT_EQ(Hooks, 0);
}

TEST(XcStringGrid, ACaptionClickNeedsPressAndReleaseOnTheSameFixedCell)
{
  struct TCase {
    const char* Name;
    UINT Down, Up;
    TGridCoord From, To;
    bool Outside;
    std::vector<TGridCoord> Clicks;
  };
  const TCase Cases[] = {
      {"fixed row", WM_LBUTTONDOWN, WM_LBUTTONUP, {2, 0}, {2, 0}, false, {{2, 0}}},
      {"fixed column", WM_LBUTTONDOWN, WM_LBUTTONUP, {0, 3}, {0, 3}, false, {{0, 3}}},
      {"released on another cell", WM_LBUTTONDOWN, WM_LBUTTONUP, {0, 1}, {1, 1}, false, {}},
      {"a normal cell", WM_LBUTTONDOWN, WM_LBUTTONUP, {2, 2}, {2, 2}, false, {}},
      {"right button", WM_RBUTTONDOWN, WM_RBUTTONUP, {1, 0}, {1, 0}, false, {}},
      {"outside every cell", WM_LBUTTONDOWN, WM_LBUTTONUP, {0, 0}, {0, 0}, true, {}},
  };
  EnsureHeadless();
  TForm Form(nullptr);
  Form.SetBorderStyle(bsNone);
  Form.SetBounds(50, 50, 400, 200);
  Form.Show();
  for (const auto& Case : Cases) {
    auto Grid = NewGrid();
    Grid->SetParent(&Form);
    Grid->SetColCount(4);
    std::vector<TGridCoord> Clicks;
    Grid->OnCaptionClick = [&](TXcStringGrid* Sender, int Col, int Row) {
      EXPECT_EQ(Sender, Grid.get());
      Clicks.push_back({Col, Row});
    };
    const TPoint From = Case.Outside ? Point(320, 5) : Centre(Grid.get(), Case.From.X, Case.From.Y);
    const TPoint To = Case.Outside ? Point(322, 6) : Centre(Grid.get(), Case.To.X, Case.To.Y);
    Grid->Perform(Case.Down, 0, At(From));
    if (Case.Down == WM_LBUTTONDOWN && !Case.Outside)
      EXPECT_EQ(Grid->GetPressedCell(), Case.From) << Case.Name;
    else
      EXPECT_EQ(Grid->GetPressedCell(), (TGridCoord{-1, -1})) << Case.Name;
    Grid->Perform(Case.Up, 0, At(To));
    EXPECT_EQ(Clicks, Case.Clicks) << Case.Name;
    EXPECT_EQ(Grid->GetPressedCell(), (TGridCoord{-1, -1})) << Case.Name;
  }
}

TEST(XcStringGrid, ScrollAndColumnWidthEventsFollowTheStockHandling)
{
  auto Grid = NewGrid();
  Grid->SetRowCount(50);
  Grid->SetColCount(30);
  std::vector<String> Seen;
  Grid->OnVerticalScroll = [&](TObject*) { Seen.push_back("v " + std::to_string(Grid->GetTopRow())); };
  Grid->OnHorizontalScroll = [&](TObject*) { Seen.push_back("h " + std::to_string(Grid->GetLeftCol())); };
  Grid->OnColWidthsChanged = [&](TObject*) { Seen.push_back("w " + std::to_string(Grid->GetColWidths(2))); };
  Grid->Perform(WM_VSCROLL, SB_LINEDOWN, 0);
  Grid->Perform(WM_HSCROLL, SB_LINEDOWN, 0);
  Grid->SetColWidths(2, 40);
  EXPECT_EQ(Seen, (std::vector<String>{"v 2", "h 2", "w 40"}));
}

namespace {

// A child window that answers reflected commands.
class TCommandChild : public TWinControl {
public:
  using TWinControl::TWinControl;
  std::vector<std::pair<WPARAM, LPARAM>> Seen;
  void WndProc(TMessage& M) override
  {
    if (M.Msg == CN_COMMAND) {
      Seen.emplace_back(M.WParam, M.LParam);
      M.Result = 77;
      return;
    }
    TWinControl::WndProc(M);
  }
};

}  // namespace

TEST(XcStringGrid, CommandsFromChildWindowsAreReflectedToThemAndOthersIgnored)
{
  auto Grid = NewGrid();
  TCommandChild Child(nullptr);
  Child.SetParent(Grid.get());
  const auto Wnd = reinterpret_cast<LPARAM>(Child.GetHandle());
  EXPECT_EQ(Grid->Perform(WM_COMMAND, 0x00050003, Wnd), 77);
  ASSERT_EQ(Child.Seen.size(), 1u);
  EXPECT_EQ(Child.Seen[0].first, 0x00050003u);
  EXPECT_EQ(Child.Seen[0].second, Wnd);
  EXPECT_EQ(Grid->Perform(WM_COMMAND, 9, 0), 0) << "a command without a window";
  Child.SetParent(nullptr);
}

TEST(XcStringGrid, TheEditCellMessageSelectsTheCellAndItsWholeText)
{
  auto Grid = NewGrid();
  Grid->SetOptions(Grid->GetOptions() | goEditing);
  Grid->SetCells(2, 3, "hello");
  Grid->Perform(XcEditCellMessage, 2, 3);
  EXPECT_EQ(Grid->GetCol(), 2);
  EXPECT_EQ(Grid->GetRow(), 3);
  ASSERT_TRUE(Grid->GetEditorMode());
  auto* Editor = dynamic_cast<TExInplaceEditList*>(Grid->GetInplaceEditor());
  ASSERT_NE(Editor, nullptr);
  EXPECT_EQ(Editor->GetText(), "hello");
  EXPECT_EQ(Editor->GetSelStart(), 0);
  EXPECT_EQ(Editor->GetSelLength(), 5);
}

TEST(XcStringGrid, TheEditorFollowsTheStyleAlignmentAndReportsItsCellAndButtons)
{
  auto Grid = NewGrid();
  Grid->SetOptions(Grid->GetOptions() | goEditing);
  std::vector<String> Seen;
  Grid->OnGetEditStyle = [&](TXcStringGrid*, int Col, int Row, TStrings* Pick, TEditStyle& Style) {
    EXPECT_EQ(Pick->GetCount(), 0) << "emptied before each question";
    if (Col == 1) {
      Style = esPickList;
      Pick->Add("one");
      Pick->Add("two");
    } else if (Col == 2) {
      Style = esEllipsis;
    }
    (void)Row;
  };
  Grid->OnExitCell = [&](TXcStringGrid*, int Col, int Row, const String& Text) {
    Seen.push_back("exit " + std::to_string(Col) + "," + std::to_string(Row) + " " + Text);
  };
  Grid->OnEditButtonClick = [&](TObject* Sender) {
    EXPECT_EQ(Sender, Grid.get());
    Seen.push_back("button");
  };
  Grid->OnListBoxCloseUp = [&](TObject*) { Seen.push_back("close up"); };

  Grid->SetCol(1);
  Grid->SetRow(1);
  Grid->SetEditorMode(true);
  auto* Editor = dynamic_cast<TExInplaceEditList*>(Grid->GetInplaceEditor());
  ASSERT_NE(Editor, nullptr);
  EXPECT_EQ(Grid->GetLastEditStyle(), esPickList);
  EXPECT_EQ(Editor->GetEditStyle(), esPickList);
  EXPECT_EQ(Editor->GetPickList()->GetItems()->GetCount(), 2);
  EXPECT_EQ(Editor->GetPickList()->GetItems()->Get(1), "two");

  // Entered on (1, 1), typed into, left after the grid moved on.
  Editor->Perform(WM_SETFOCUS, 0, 0);
  EXPECT_EQ(Editor->GetFocusCol(), 1);
  EXPECT_EQ(Editor->GetFocusRow(), 1);
  Editor->SetText("typed");
  Seen.clear();
  Editor->Perform(WM_KILLFOCUS, 0, 0);
  EXPECT_EQ(Seen, std::vector<String>{"exit 1,1 typed"});

  // Closing an open list is reported, closing a closed one is not.
  Seen.clear();
  Grid->SetEditorMode(true);
  Editor->CloseUp(false);
  EXPECT_TRUE(Seen.empty());
  Editor->DropDown();
  ASSERT_TRUE(Editor->GetListVisible());
  Editor->CloseUp(false);
  EXPECT_EQ(Seen, std::vector<String>{"close up"});

  // An ellipsis cell: a double click in the editor clicks the button.
  Grid->SetCol(2);
  Grid->SetEditorMode(true);
  EXPECT_EQ(Grid->GetLastEditStyle(), esEllipsis);
  Seen.clear();
  Editor->Perform(WM_LBUTTONDBLCLK, 0, At(Point(3, 3)));
  EXPECT_EQ(Seen, std::vector<String>{"button"});

  // Alignment: the editor's window is made again with the matching style.
  EXPECT_EQ(GetWindowLongA(Editor->GetHandle(), GWL_STYLE) & (ES_RIGHT | ES_CENTER), 0);
  Grid->SetAlignment(taRightJustify);
  EXPECT_EQ(GetWindowLongA(Editor->GetHandle(), GWL_STYLE) & (ES_RIGHT | ES_CENTER), static_cast<LONG>(ES_RIGHT));
  Grid->SetAlignment(taCenter);
  EXPECT_EQ(GetWindowLongA(Editor->GetHandle(), GWL_STYLE) & (ES_RIGHT | ES_CENTER), static_cast<LONG>(ES_CENTER));
}

TEST(XcStringGrid, OnShowEditorCanKeepTheEditorAway)
{
  auto Grid = NewGrid();
  Grid->SetOptions(Grid->GetOptions() | goEditing);
  std::vector<String> Asked;
  Grid->OnShowEditor = [&](TXcStringGrid*, int Col, int Row, bool& Allow) {
    Asked.push_back(std::to_string(Col) + "," + std::to_string(Row));
    Allow = Col != 3;
  };
  Grid->SetCol(3);
  Grid->SetRow(2);
  Grid->SetEditorMode(true);
  EXPECT_FALSE(Grid->GetEditorMode());
  EXPECT_FALSE(Grid->GetInplaceEditor() && Grid->GetInplaceEditor()->GetVisible());
  Grid->SetCol(1);
  Grid->SetEditorMode(true);
  EXPECT_TRUE(Grid->GetEditorMode());
  ASSERT_GE(Asked.size(), 2u);
  EXPECT_EQ(Asked.front(), "3,2");
}
