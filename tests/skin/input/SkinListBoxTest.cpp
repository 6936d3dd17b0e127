// The skinned list box: items and selection, the scroll bars it keeps in step with its inner
// list, the caption bar and its auto-repeat, the empty-list query and the message hook.
#include "skin/controls/SkinScrollBar.h"
#include "tests/skin/input/SkinListTestSupport.h"

namespace {

class SkinListBoxTest : public SkinListTest {
protected:
  // An unskinned list of Count items "item 0" ... on a shown form; the inner list is
  // W - 4 x H - 4 (the frame's two-pixel default border... see ArrangeListBox).
  TTestListBox* NewList(int Count, int W = 120, int H = 104)
  {
    Form = NewForm(100, 100, 400, 300);
    auto* l = Add<TTestListBox>(Form, "List", 10, 10, W, H);
    Form->Show();
    for (int i = 0; i < Count; ++i)
      l->GetItems()->Add("item " + std::to_string(i));
    return l;
  }
  TForm* Form = nullptr;
};

TEST_F(SkinListBoxTest, EightItemsInAFiveRowListShowAVerticalBarUntilTheyFit)
{
  auto* l = NewList(8, 120, 104);
  ASSERT_EQ(l->GetListBox()->GetHeight(), 100);
  ASSERT_NE(l->GetScrollBar(), nullptr);
  auto* bar = Bar(l->GetScrollBar());
  EXPECT_EQ(bar->Kind, sbVertical);
  EXPECT_EQ(bar->Page, 5);
  EXPECT_EQ(bar->Large, 5);
  EXPECT_EQ(bar->Max, 7);
  // The bar stands at the right of the inner list.
  EXPECT_EQ(bar->GetLeft() + bar->GetWidth(), l->GetWidth() - 1);
  EXPECT_LE(l->GetListBox()->GetLeft() + l->GetListBox()->GetWidth(), bar->GetLeft());
  l->GetItems()->Delete(0);
  l->GetItems()->Delete(0);
  EXPECT_NE(l->GetScrollBar(), nullptr);
  l->GetItems()->Delete(0);
  EXPECT_EQ(l->GetScrollBar(), nullptr);
  EXPECT_EQ(l->GetListBox()->GetWidth(), l->GetWidth() - 4);
}

TEST_F(SkinListBoxTest, TheListScrollsThroughItsBarAndTheBarFollowsTheList)
{
  auto* l = NewList(20);
  auto* bar = Bar(l->GetScrollBar());
  ASSERT_NE(bar, nullptr);
  bar->SetPosition(6);
  EXPECT_EQ(l->GetListBox()->GetTopIndex(), 6);
  // The wheel moves the list one line and the bar follows.
  l->GetListBox()->Perform(WM_MOUSEWHEEL, MAKEWPARAM(0, static_cast<WORD>(-120)), 0);
  EXPECT_GT(l->GetListBox()->GetTopIndex(), 6);
  EXPECT_EQ(bar->Pos, l->GetListBox()->GetTopIndex());
  // Keys move the selection and the view with it.
  l->GetListBox()->SetItemIndex(0);
  l->GetListBox()->SetTopIndex(0);
  for (int i = 0; i < 7; ++i)
    Key(l->GetListBox(), VK_DOWN);
  EXPECT_EQ(l->GetItemIndex(), 7);
  l->UpdateScrollBars();
  EXPECT_EQ(bar->Pos, l->GetListBox()->GetTopIndex());
  EXPECT_GT(bar->Pos, 0);
  Key(l->GetListBox(), VK_END);
  EXPECT_EQ(l->GetItemIndex(), 19);
}

TEST_F(SkinListBoxTest, RowCountSizesTheListToItsRows)
{
  struct Case {
    const char* Name;
    bool CaptionMode;
    int Expected;
  } const cases[] = {{"plain", false, 104}, {"with caption", true, 124}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.Name);
    auto* l = NewList(5);
    l->SetCaptionMode(c.CaptionMode);
    l->SetRowCount(5);
    EXPECT_EQ(l->GetHeight(), c.Expected);
    EXPECT_EQ(l->GetScrollBar(), nullptr);
  }
}

TEST_F(SkinListBoxTest, ColumnsTurnTheBarHorizontalWithOnePagePerColumn)
{
  auto* l = NewList(0, 184, 104);
  l->SetColumns(3);
  for (int i = 0; i < 40; ++i)
    l->GetItems()->Add("c" + std::to_string(i));
  l->UpdateScrollBars();
  ASSERT_NE(l->GetScrollBar(), nullptr);
  auto* bar = Bar(l->GetScrollBar());
  EXPECT_EQ(bar->Kind, sbHorizontal);
  EXPECT_EQ(bar->Page, 3);
  EXPECT_EQ(bar->GetTop() + bar->GetHeight(), l->GetHeight() - 1);
}

TEST_F(SkinListBoxTest, AWideItemGetsAHorizontalBarThatShiftsTheText)
{
  auto* l = NewList(3);
  l->GetItems()->Add(String(60, 'W'));
  l->SetHorizontalExtent(true);
  ASSERT_NE(l->GetHScrollBar(), nullptr);
  auto* h = Bar(l->GetHScrollBar());
  EXPECT_GT(h->Max, h->Page);
  const int step = h->Small;
  EXPECT_GT(step, 0);
  Word key = VK_RIGHT;
  l->GetListBox()->Perform(WM_KEYDOWN, key, 0);
  EXPECT_EQ(h->Pos, step);
  EXPECT_EQ(l->GetListBox()->GetHorzOffset(), step);
  // A wider list lowers the offset by the same amount.
  l->GetListBox()->SetHorzOffset(30);
  l->GetListBox()->SetBounds(l->GetListBox()->GetLeft(), l->GetListBox()->GetTop(), l->GetListBox()->GetWidth() + 10,
                             l->GetListBox()->GetHeight());
  EXPECT_EQ(l->GetListBox()->GetHorzOffset(), 20);
  l->SetHorizontalExtent(false);
  EXPECT_EQ(l->GetHScrollBar(), nullptr);
  EXPECT_EQ(l->GetListBox()->GetHorzOffset(), 0);
}

TEST_F(SkinListBoxTest, SelectionBySingleAndMultipleClicks)
{
  auto* l = NewList(6);
  int clicks = 0;
  l->OnListBoxClick = [&](TObject* Sender) {
    EXPECT_EQ(Sender, l);
    ++clicks;
  };
  Click(l->GetListBox(), 10, 45);
  EXPECT_EQ(l->GetItemIndex(), 2);
  EXPECT_EQ(clicks, 1);
  l->SetMultiSelect(true);
  l->SetExtandedSelect(true);
  Click(l->GetListBox(), 10, 5);
  Mouse(l->GetListBox(), WM_LBUTTONDOWN, 10, 65, MK_LBUTTON | MK_SHIFT);
  Mouse(l->GetListBox(), WM_LBUTTONUP, 10, 65, MK_SHIFT);
  EXPECT_EQ(l->GetListBox()->GetSelCount(), 4);
  EXPECT_TRUE(l->GetSelected(0));
  EXPECT_TRUE(l->GetSelected(3));
  EXPECT_FALSE(l->GetSelected(4));
}

TEST_F(SkinListBoxTest, TheEmptyListQueryPaintsOnlyAnEmptyList)
{
  auto* l = NewList(0);
  TBitmap b;
  b.SetSize(20, 20);
  b.GetCanvas()->GetBrush()->SetColor(clRed);
  b.GetCanvas()->FillRect(Rect(0, 0, 20, 20));
  const LRESULT r = l->GetListBox()->Perform(0xBC4A, reinterpret_cast<WPARAM>(b.GetCanvas()->GetHandle()), 16802);
  EXPECT_EQ(r, 16802);
  EXPECT_EQ(ColorToRGB(BitmapPixel(&b, 5, 5)), ColorToRGB(clWindow));
  EXPECT_EQ(l->GetListBox()->Perform(0xBC4A, 0, 16802), 16802);
  EXPECT_EQ(l->GetListBox()->Perform(0xBC4A, 0, 5), 0);
  l->GetItems()->Add("x");
  EXPECT_EQ(l->GetListBox()->Perform(0xBC4A, 0, 16802), 0);
}

TEST_F(SkinListBoxTest, TheHookStopsAMessageBeforeTheListSeesIt)
{
  auto* l = NewList(3);
  l->Hook = [](TMessage& M, bool& PassOn) {
    if (M.Msg == WM_KEYDOWN)
      PassOn = false;
  };
  l->SetItemIndex(0);
  Key(l->GetListBox(), VK_DOWN);
  EXPECT_EQ(l->GetItemIndex(), 0);
  l->Hook = nullptr;
  Key(l->GetListBox(), VK_DOWN);
  EXPECT_EQ(l->GetItemIndex(), 1);
}

TEST_F(SkinListBoxTest, EveryPublicOperationSurvivesAnEmptyListAndABadIndex)
{
  auto* l = NewList(0);
  l->SetItemIndex(5);
  EXPECT_EQ(l->GetItemIndex(), -1);
  l->SetTopIndex(9);
  l->Clear();
  l->UpdateScrollBars();
  EXPECT_EQ(l->ItemAtPos(Point(5, 5), true), -1);
  EXPECT_THROW(l->GetItems()->Get(3), EListError);
  l->Repaint();
  Snapshot(l);
}

// --- caption bar -----------------------------------------------------------------------------

class SkinListCaptionTest : public SkinListBoxTest {
protected:
  TTestListBox* CaptionList(int Count)
  {
    auto* l = NewList(Count, 150, 124);
    l->SetCaptionMode(true);
    l->Repaint();
    return l;
  }
  // The middle of caption button I.
  static TPoint At(TTestListBox* L, int I)
  {
    const TRect r = L->GetCaptionButton(I).Rect;
    return Point((r.left + r.right) / 2, (r.top + r.bottom) / 2);
  }
  void Press(TTestListBox* L, int I) { L->MouseDown(mbLeft, 0, At(L, I).x, At(L, I).y); }
  void Release(TTestListBox* L, int I) { L->MouseUp(mbLeft, 0, At(L, I).x, At(L, I).y); }
  void Wait(DWORD Ms)
  {
    for (DWORD t = 0; t < Ms; t += 10) {
      Clock->Advance(10);
      Pump();
    }
  }
};

TEST_F(SkinListCaptionTest, TheButtonsOfTheDefaultLookFollowTheCaptionHeight)
{
  auto* l = CaptionList(3);
  const int w = l->GetWidth();
  EXPECT_EQ(l->GetCaptionButton(0).Rect, Rect(w - 19, 2, w - 2, 18));
  EXPECT_EQ(l->GetCaptionButton(1).Rect, Rect(w - 36, 2, w - 19, 18));
  EXPECT_EQ(l->GetCaptionButton(2).Rect, Rect(w - 53, 2, w - 36, 18));
  l->SetDefaultCaptionHeight(12);
  l->Repaint();
  EXPECT_EQ(RectWidth(l->GetCaptionButton(0).Rect), 9);
}

TEST_F(SkinListCaptionTest, HoldingTheDownButtonStepsAfterTheFirstDelayAndOnRelease)
{
  auto* l = CaptionList(20);
  l->SetItemIndex(0);
  Press(l, 1);
  EXPECT_EQ(l->GetItemIndex(), 0);
  Wait(550);
  EXPECT_EQ(l->GetItemIndex(), 0);  // the first tick only switches to the fast rate
  Wait(450);
  EXPECT_EQ(l->GetItemIndex(), 5);  // 600, 700, 800, 900, 1000 ms
  Release(l, 1);
  EXPECT_EQ(l->GetItemIndex(), 6);
  EXPECT_EQ(l->GetTimerMode(), 0);
  Wait(300);
  EXPECT_EQ(l->GetItemIndex(), 6);
}

TEST_F(SkinListCaptionTest, TheButtonsStopAtBothEndsOfTheList)
{
  auto* l = CaptionList(3);
  l->SetItemIndex(0);
  Press(l, 0);
  Release(l, 0);
  EXPECT_EQ(l->GetItemIndex(), 0);
  l->SetItemIndex(2);
  Press(l, 1);
  Wait(1000);
  Release(l, 1);
  EXPECT_EQ(l->GetItemIndex(), 2);
}

TEST_F(SkinListCaptionTest, AButtonWithAHandlerCallsItOnceAndLeavesTheSelection)
{
  auto* l = CaptionList(10);
  l->SetItemIndex(3);
  int calls = 0;
  l->OnDownButtonClick = [&](TObject* Sender) {
    EXPECT_EQ(Sender, l);
    ++calls;
  };
  Press(l, 1);
  Wait(1000);
  Release(l, 1);
  EXPECT_EQ(calls, 1);
  EXPECT_EQ(l->GetItemIndex(), 3);
}

TEST_F(SkinListCaptionTest, TheCheckButtonClicksTheList)
{
  auto* l = CaptionList(3);
  int clicks = 0;
  l->OnListBoxClick = [&](TObject*) { ++clicks; };
  Press(l, 2);
  Release(l, 2);
  EXPECT_EQ(clicks, 1);
}

TEST_F(SkinListCaptionTest, LeavingTheButtonStopsTheRepeatAndComingBackResumesIt)
{
  auto* l = CaptionList(40);
  l->SetItemIndex(0);
  Press(l, 1);
  Wait(800);
  const int held = l->GetItemIndex();
  EXPECT_GT(held, 0);
  l->MouseMove(0, 2, 60);
  EXPECT_FALSE(l->GetCaptionButton(1).MouseIn);
  Wait(500);
  EXPECT_EQ(l->GetItemIndex(), held);
  l->MouseMove(0, At(l, 1).x, At(l, 1).y);
  EXPECT_TRUE(l->GetCaptionButton(1).MouseIn);
  Wait(200);
  EXPECT_GE(l->GetItemIndex(), held + 3);  // 50 ms steps
  Release(l, 1);
}

TEST_F(SkinListCaptionTest, LeavingTheControlClearsEveryHotButton)
{
  auto* l = CaptionList(3);
  l->MouseMove(0, At(l, 0).x, At(l, 0).y);
  EXPECT_TRUE(l->GetCaptionButton(0).MouseIn);
  TMessage m{CM_MOUSELEAVE, 0, 0, 0};
  l->CMMouseLeave(m);
  for (int i = 0; i < 3; ++i)
    EXPECT_FALSE(l->GetCaptionButton(i).MouseIn);
}

} // namespace

// --- the program's own scroll bar --------------------------------------------------------------

class SkinListRealBarTest : public SkinListBoxTest {
protected:
  void SetUp() override
  {
    SkinListBoxTest::SetUp();
    SetListScrollBarMaker(nullptr);
  }
};

TEST_F(SkinListRealBarTest, TheListScrollsThroughTheSkinnedScrollBar)
{
  auto* l = NewList(20);
  auto* bar = dynamic_cast<TskSkinScrollBar*>(l->GetScrollBar());
  ASSERT_NE(bar, nullptr);
  EXPECT_EQ(bar->GetKind(), sbVertical);
  EXPECT_EQ(bar->GetParent(), l);
  EXPECT_EQ(bar->GetPageSize(), 5);
  bar->SetPosition(6);
  EXPECT_EQ(l->GetListBox()->GetTopIndex(), 6);
  // A click on the bar's lower arrow moves the list one line.
  const int x = bar->GetWidth() / 2, y = bar->GetHeight() - 3;
  bar->Perform(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(x, y));
  bar->Perform(WM_LBUTTONUP, 0, MAKELPARAM(x, y));
  EXPECT_EQ(l->GetListBox()->GetTopIndex(), 7);
  EXPECT_EQ(bar->GetPosition(), 7);
  // The list's own scrolling moves the bar.
  l->GetListBox()->SetTopIndex(2);
  l->UpdateScrollBars();
  EXPECT_EQ(bar->GetPosition(), 2);
  l->Clear();
  EXPECT_EQ(l->GetScrollBar(), nullptr);
}
