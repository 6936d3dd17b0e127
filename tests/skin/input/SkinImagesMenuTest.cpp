// The images menu: the grid layout with header and button rows, the column limits, the keys,
// the mouse, closing and its events in order, and the popup's placement.
#include "skin/input/SkinImagesMenu.h"

#include "skin/foundation/SkinDrawUtils.h"
#include "tests/skin/support/SkinTestSupport.h"

namespace {

class SkinImagesMenuTest : public TSkinControlTest {
protected:
  void SetUp() override
  {
    TSkinControlTest::SetUp();
    Form = NewForm(0, 0, 300, 200);
    Form->Show();
    Images = new TImageList(Holder);
    Images->SetWidth(16);
    Images->SetHeight(16);
    Menu = new TskSkinImagesMenu(Holder);
    Menu->SetImages(Images);
  }
  void TearDown() override
  {
    delete Menu;
    TSkinControlTest::TearDown();
  }
  void AddImages(int N)
  {
    for (int i = 0; i < N; ++i) {
      auto b = SolidPicture(16, 16, static_cast<TColor>(0x102030 * (i + 1)));
      Images->Add(b.get(), nullptr);
    }
  }
  TskImagesMenuItem* AddItem(int Image, bool Button = false, bool Header = false, const String& Caption = "")
  {
    TskImagesMenuItem* it = Menu->GetImagesItems()->Add();
    it->SetImageIndex(Image);
    it->SetButton(Button);
    it->SetHeader(Header);
    it->SetCaption(Caption);
    return it;
  }
  TRect Cell(int I) { return Menu->GetImagesItems()->GetItem(I)->GetItemRect(); }
  TskSkinImagesMenuPopupWindow* Open()
  {
    Menu->Popup(Rect(50, 50, 120, 70));
    return Menu->GetPopupWindow();
  }
  TForm* Form = nullptr;
  TImageList* Images = nullptr;
  TskSkinImagesMenu* Menu = nullptr;
};

TEST_F(SkinImagesMenuTest, ColumnsOutsideOneToFiftyAreIgnored)
{
  Menu->SetColumnsCount(3);
  for (int bad : {0, 51, -1}) {
    Menu->SetColumnsCount(bad);
    EXPECT_EQ(3, Menu->GetColumnsCount()) << bad;
  }
  Menu->SetColumnsCount(50);
  EXPECT_EQ(50, Menu->GetColumnsCount());
}

TEST_F(SkinImagesMenuTest, EightImagesInThreeColumnsFormRowsOfThreeThreeAndTwo)
{
  AddImages(8);
  Menu->SetColumnsCount(3);
  for (int i = 0; i < 8; ++i)
    AddItem(i);
  TskSkinImagesMenuPopupWindow* w = Open();
  ASSERT_NE(nullptr, w);
  // Cells are 26 x 26 (image + 10), rows one pixel apart, from (5, 5).
  const int tops[] = {5, 5, 5, 32, 32, 32, 59, 59};
  const int lefts[] = {5, 31, 57, 5, 31, 57, 5, 31};
  for (int i = 0; i < 8; ++i) {
    EXPECT_EQ(tops[i], Cell(i).top) << i;
    EXPECT_EQ(lefts[i], Cell(i).left) << i;
    EXPECT_EQ(26, RectWidth(Cell(i))) << i;
  }
  EXPECT_EQ(3 * 26 + 10, w->GetWidth());
  EXPECT_EQ(85 - 5 + 10, w->GetHeight());
}

TEST_F(SkinImagesMenuTest, HeadersAndButtonsStartFullWidthRows)
{
  AddImages(8);
  Menu->SetColumnsCount(3);
  for (int i = 0; i < 4; ++i)
    AddItem(i);
  AddItem(-1, false, true, "Header");
  AddItem(4);
  AddItem(5, true, false, "Button");
  AddItem(6);
  Open();
  // Item 3 opened the second row; the header starts a new row below it, full width.
  EXPECT_EQ(32, Cell(3).top);
  EXPECT_EQ(Rect(5, 59, 5 + 78, 59 + 26), Cell(4));
  EXPECT_EQ(Rect(5, 86, 31, 112), Cell(5));
  EXPECT_EQ(Rect(5, 113, 83, 139), Cell(6));
  EXPECT_EQ(Rect(5, 140, 31, 166), Cell(7));
  // Headers are not hit; cell edges are.
  TskSkinImagesMenuPopupWindow* w = Menu->GetPopupWindow();
  EXPECT_EQ(-1, w->ItemAtPos(10, 70));
  EXPECT_EQ(5, w->ItemAtPos(31, 112));
  EXPECT_EQ(-1, w->ItemAtPos(200, 200));
}

TEST_F(SkinImagesMenuTest, AnEmptyImageListOpensNothingButStillReportsThePopup)
{
  AddItem(0);
  int popups = 0;
  Menu->OnMenuPopup = [&](TObject*) { ++popups; };
  EXPECT_EQ(nullptr, Open());
  EXPECT_EQ(1, popups);
}

TEST_F(SkinImagesMenuTest, AMenuWithoutItemsOpensAnEmptyFrameThatStillClosesWithItsNotice)
{
  AddImages(1);
  TskSkinImagesMenuPopupWindow* w = Open();
  ASSERT_NE(nullptr, w);
  EXPECT_EQ(10, w->GetHeight());
  int closes = 0;
  Menu->OnAttachedClose = [&] { ++closes; };
  w->ProcessKey(VK_ESCAPE);
  EXPECT_EQ(1, closes);
  EXPECT_EQ(nullptr, Menu->GetPopupWindow());
}

TEST_F(SkinImagesMenuTest, ClosingFiresItsEventsInOrderAndOnlyChoosingFiresTheClicks)
{
  AddImages(3);
  for (int i = 0; i < 3; ++i)
    AddItem(i);
  std::vector<String> log;
  Menu->OnAttachedClose = [&] { log.push_back("attached close"); };
  Menu->OnMenuClose = [&](TObject*) { log.push_back("close"); };
  Menu->GetImagesItems()->GetItem(1)->OnClick = [&](TObject*) { log.push_back("item 1"); };
  Menu->OnItemClick = [&](TObject*) { log.push_back("item click"); };
  Menu->OnAttachedChange = [&] { log.push_back("attached change"); };
  Menu->OnChange = [&](TObject*) { log.push_back("change"); };
  struct TCase {
    const char* Name;
    int Start;
    std::vector<Word> Keys;
    int WantIndex;
    std::vector<String> Want;
  } const cases[] = {
      {"escape", -1, {VK_RIGHT, VK_ESCAPE}, -1, {"attached close", "close"}},
      {"enter on a new item", -1, {VK_RIGHT, VK_RIGHT, VK_RETURN}, 1,
       {"attached close", "close", "item 1", "item click", "attached change", "change"}},
      {"space on the selected item: no change", 1, {VK_RIGHT, VK_RIGHT, VK_SPACE}, 1,
       {"attached close", "close", "item 1", "item click"}},
      {"enter with no hot item", -1, {VK_RETURN}, -1, {"attached close", "close"}},
  };
  for (const TCase& c : cases) {
    log.clear();
    Menu->SetItemIndex(c.Start);
    TskSkinImagesMenuPopupWindow* w = Open();
    ASSERT_NE(nullptr, w) << c.Name;
    for (Word k : c.Keys) {
      MSG m{};
      m.message = WM_KEYDOWN;
      m.wParam = k;
      bool handled = false;
      ASSERT_TRUE(Application->OnMessage) << c.Name;
      Application->OnMessage(m, handled);
      EXPECT_EQ(0u, m.message) << c.Name << ": keys are consumed";
    }
    EXPECT_EQ(c.WantIndex, Menu->GetItemIndex()) << c.Name;
    EXPECT_EQ(c.Want, log) << c.Name;
    EXPECT_EQ(nullptr, Menu->GetPopupWindow()) << c.Name;
    EXPECT_FALSE(Application->OnMessage) << c.Name << ": the filter is given back";
  }
}

TEST_F(SkinImagesMenuTest, ArrowKeysMoveTheHotItemThroughTheGrid)
{
  AddImages(8);
  Menu->SetColumnsCount(3);
  AddItem(-1, false, true, "Header");  // 0
  for (int i = 0; i < 5; ++i)
    AddItem(i);  // 1..5: row of 3, row of 2
  AddItem(5, true, false, "Button");  // 6
  struct TCase {
    const char* Name;
    int From;
    Word Key;
    int Want;
  } const cases[] = {
      {"right from none skips the header", -1, VK_RIGHT, 1},
      {"right from the last wraps past the header", 6, VK_RIGHT, 1},
      {"right to the next", 2, VK_RIGHT, 3},
      {"left from the first selectable wraps to the last", 1, VK_LEFT, 6},
      {"left from none goes to the last", -1, VK_LEFT, 6},
      {"left does not land on the header", 2, VK_LEFT, 1},
      {"down to the same column", 2, VK_DOWN, 5},
      {"down from the lower row to the button row", 5, VK_DOWN, 6},
      {"down from the button row: no move", 6, VK_DOWN, 6},
      {"down from none skips the header", -1, VK_DOWN, 1},
      {"up to the same column", 4, VK_UP, 1},
      {"up from the top row: no move (header skipped)", 1, VK_UP, 1},
      {"up from none goes to the last", -1, VK_UP, 6},
  };
  TskSkinImagesMenuPopupWindow* w = Open();
  ASSERT_NE(nullptr, w);
  for (const TCase& c : cases) {
    w->HotIndex = c.From;
    w->ProcessKey(c.Key);
    EXPECT_EQ(c.Want, w->HotIndex) << c.Name;
  }
}

TEST_F(SkinImagesMenuTest, TheMouseChoosesOnReleaseAndAClickOutsideClosesWithoutChoosing)
{
  AddImages(3);
  for (int i = 0; i < 3; ++i)
    AddItem(i);
  int clicks = 0;
  Menu->OnItemClick = [&](TObject*) { ++clicks; };
  TskSkinImagesMenuPopupWindow* w = Open();
  ASSERT_NE(nullptr, w);
  EXPECT_EQ(w->GetHandle(), GetCapture());
  const TRect c = Cell(2);
  const LPARAM at = MAKELPARAM(c.left + 3, c.top + 3);
  SetCursorPos(w->GetLeft() + c.left + 3, w->GetTop() + c.top + 3);
  SendMessageA(w->GetHandle(), WM_MOUSEMOVE, 0, at);
  EXPECT_EQ(2, w->HotIndex);
  SendMessageA(w->GetHandle(), WM_LBUTTONDOWN, MK_LBUTTON, at);
  EXPECT_TRUE(w->Pressed);
  SendMessageA(w->GetHandle(), WM_LBUTTONUP, 0, at);
  EXPECT_EQ(2, Menu->GetItemIndex());
  EXPECT_EQ(1, clicks);
  EXPECT_EQ(nullptr, Menu->GetPopupWindow());
  EXPECT_NE(w->GetHandle(), GetCapture());
  // A press with the cursor over another window closes the popup without choosing.
  w = Open();
  ASSERT_NE(nullptr, w);
  SetCursorPos(Form->GetLeft() + 250, Form->GetTop() + 180);
  SendMessageA(w->GetHandle(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(-5, -5));
  EXPECT_EQ(nullptr, Menu->GetPopupWindow());
  EXPECT_EQ(1, clicks);
  EXPECT_EQ(2, Menu->GetItemIndex());
  // A right press anywhere (through the filter) does too.
  w = Open();
  MSG m{};
  m.message = WM_RBUTTONDOWN;
  bool handled = false;
  Application->OnMessage(m, handled);
  EXPECT_EQ(nullptr, Menu->GetPopupWindow());
}

TEST_F(SkinImagesMenuTest, ThePopupOpensBelowTheRectangleOrAboveItAtTheBottomOfTheWorkArea)
{
  AddImages(2);
  AddItem(0);
  AddItem(1);
  TskSkinImagesMenuPopupWindow* w = Open();
  ASSERT_NE(nullptr, w);
  const TRect wa = Screen->MonitorFromWindow(Form->GetHandle()).WorkareaRect;
  const int h = w->GetHeight();
  const int width = w->GetWidth();
  struct TCase {
    const char* Name;
    TRect R;
    TPoint Want;
  } const cases[] = {
      {"below", Rect(50, 50, 120, 70), Point(50, 70)},
      {"above at the bottom", Rect(50, wa.bottom - 10, 120, wa.bottom), Point(50, wa.bottom - 10 - h)},
      {"kept inside at the right", Rect(wa.right - 3, 50, wa.right + 60, 70), Point(wa.right - width, 70)},
      {"raised to the left edge", Rect(wa.left - 40, 50, wa.left, 70), Point(wa.left, 70)},
  };
  for (const TCase& c : cases) {
    const TPoint p = w->Placement(c.R);
    EXPECT_EQ(c.Want.x, p.x) << c.Name;
    EXPECT_EQ(c.Want.y, p.y) << c.Name;
  }
}

TEST_F(SkinImagesMenuTest, AHandlerThatFreesTheMenuEndsTheClosing)
{
  AddImages(2);
  AddItem(0);
  AddItem(1);
  int after = 0;
  Menu->OnMenuClose = [&](TObject*) {
    delete Menu;
    Menu = nullptr;
  };
  Menu->OnItemClick = [&](TObject*) { ++after; };
  TskSkinImagesMenuPopupWindow* w = Open();
  ASSERT_NE(nullptr, w);
  w->HotIndex = 1;
  w->ProcessKey(VK_RETURN);
  EXPECT_EQ(nullptr, Menu);
  EXPECT_EQ(0, after);
  EXPECT_FALSE(Application->OnMessage);
}

TEST_F(SkinImagesMenuTest, TheSelectedItemAndAssignFollowTheItems)
{
  AddItem(3, true, false, "Three")->SetHint("tip");
  EXPECT_EQ(nullptr, Menu->GetSelectedItem());
  Menu->SetItemIndex(0);
  EXPECT_EQ(Menu->GetImagesItems()->GetItem(0), Menu->GetSelectedItem());
  Menu->SetItemIndex(5);
  EXPECT_EQ(nullptr, Menu->GetSelectedItem());
  TskSkinImagesMenu other(Holder);
  other.SetImagesItems(Menu->GetImagesItems());
  ASSERT_EQ(1, other.GetImagesItems()->GetCount());
  TskImagesMenuItem* copy = other.GetImagesItems()->GetItem(0);
  EXPECT_EQ(3, copy->GetImageIndex());
  EXPECT_EQ(String("Three"), copy->GetCaption());
  EXPECT_TRUE(copy->GetButton());
  EXPECT_EQ(String("tip"), copy->GetHint());
}

} // namespace
