// The MDI tabs bar on the headless display: the layout of the tabs, hit testing on shared edges,
// reordering by dragging, the close buttons, the menu of hidden tabs and removing tabs.
#include <gtest/gtest.h>

#include "skin/frame/SkinMDITabsBar.h"
#include "skin/input/SkinMenuSpeedButton.h"
#include "tests/skin/frame/SkinFrameTestSupport.h"

namespace {

class TSkinMDITabsBarTest : public TSkinFrameTest {
protected:
  void SetUp() override
  {
    TSkinFrameTest::SetUp();
    Host = NewForm(50, 50, 400, 200);
    Bar = new TskSkinMDITabsBar(Host);
    Bar->SetParent(Host);
    Bar->SetBounds(0, 0, 150, 21);
    Host->Show();
  }
  TForm* Child(const char* Caption)
  {
    auto* f = new TForm(nullptr);
    Owned.push_back(f);
    f->SetCaption(Caption);
    f->OnClose = [this, f](TObject*, TCloseAction& Action) {
      Closed.push_back(f);
      Action = caNone;
    };
    return f;
  }
  void AddTabs(int N)
  {
    static const char* const names[] = {"one", "two", "three", "four", "five"};
    for (int i = 0; i < N; ++i)
      Bar->AddTab(Child(names[i]));
  }
  std::vector<String> Order() const
  {
    std::vector<String> r;
    for (TskMDITab* t : Bar->Tabs())
      r.push_back(t->Form->GetText());
    return r;
  }
  TForm* Host = nullptr;
  TskSkinMDITabsBar* Bar = nullptr;
  std::vector<TForm*> Closed;
};

TEST_F(TSkinMDITabsBarTest, TabsAreLaidOutFromTheListButton)
{
  struct TCase {
    const char* Name;
    int Tabs;
    int MinTabWidth;
    std::vector<TRect> Rects; // empty rect: hidden
  } const cases[] = {
      {"one tab", 1, 0, {TRect(15, 0, 115, 21)}},
      {"four tabs, the last stretched", 4, 0,
       {TRect(15, 0, 48, 21), TRect(48, 0, 81, 21), TRect(81, 0, 114, 21), TRect(114, 0, 150, 21)}},
      {"four tabs of at least 40", 4, 40, {TRect(15, 0, 55, 21), TRect(55, 0, 95, 21), TRect(95, 0, 135, 21), TRect()}},
  };
  for (const TCase& c : cases) {
    while (!Bar->Tabs().empty())
      Bar->RemoveTab(Bar->Tabs().front()->Form);
    Bar->MinTabWidth = c.MinTabWidth;
    AddTabs(c.Tabs);
    Bar->LayoutTabs();
    ASSERT_EQ(c.Rects.size(), Bar->Tabs().size()) << c.Name;
    int hidden = 0;
    for (size_t i = 0; i < c.Rects.size(); ++i) {
      EXPECT_EQ(c.Rects[i], Bar->Tabs()[i]->TabRect) << c.Name << " " << i;
      EXPECT_EQ(!IsNullRect(c.Rects[i]), Bar->Tabs()[i]->InBar) << c.Name << " " << i;
      hidden += IsNullRect(c.Rects[i]) ? 1 : 0;
    }
    EXPECT_EQ(hidden, Bar->HiddenCount) << c.Name;
  }
  // The hidden tab gets the button at the right edge whose menu lists only it.
  Bar->Repaint();
  ProcessPendingMessages();
  ASSERT_NE(nullptr, Bar->GetHiddenTabsButton());
  Bar->BuildHiddenTabsMenu();
  ASSERT_EQ(1, Bar->GetHiddenTabsMenu()->GetItems()->GetCount());
  EXPECT_EQ("four", Bar->GetHiddenTabsMenu()->GetItems()->GetItem(0)->GetCaption());
  Bar->BuildTabsMenu();
  EXPECT_EQ(4, Bar->GetTabsMenu()->GetItems()->GetCount());
}

TEST_F(TSkinMDITabsBarTest, ASharedEdgeBelongsToTheLeftTab)
{
  AddTabs(4);
  Bar->LayoutTabs();
  const struct {
    int X;
    int Tab;
  } cases[] = {{14, -1}, {15, 0}, {47, 0}, {48, 0}, {49, 1}, {114, 2}, {150, 3}};
  for (const auto& c : cases)
    EXPECT_EQ(c.Tab, Bar->TabIndexAt(c.X, 10)) << c.X;
}

TEST_F(TSkinMDITabsBarTest, DraggingReordersTheTabs)
{
  struct TCase {
    const char* Name;
    int From, To; // press and release X
    std::vector<String> Order;
  } const cases[] = {
      {"past the middle of the second", 20, 20 + 18, {"two", "one", "three", "four"}},
      {"short of it", 20, 20 + 15, {"one", "two", "three", "four"}},
      {"back over two tabs", 120, 120 - 60, {"one", "four", "two", "three"}},
  };
  for (const TCase& c : cases) {
    while (!Bar->Tabs().empty())
      Bar->RemoveTab(Bar->Tabs().front()->Form);
    AddTabs(4);
    Bar->LayoutTabs();
    Bar->MouseDown(mbLeft, 0, c.From, 10);
    Bar->MouseMove(0, c.From + (c.To > c.From ? 1 : -1), 10);
    EXPECT_TRUE(Bar->Dragging) << c.Name;
    Bar->MouseMove(0, c.To, 10);
    Bar->LayoutTabs();
    Bar->MouseUp(mbLeft, 0, c.To, 10);
    EXPECT_FALSE(Bar->Dragging) << c.Name;
    EXPECT_EQ(c.Order, Order()) << c.Name;
  }
}

TEST_F(TSkinMDITabsBarTest, CloseButtonClosesItsChildWithoutDragging)
{
  Bar->ShowCloseButtons = true;
  AddTabs(2);
  Bar->Repaint();
  ProcessPendingMessages();
  TskMDITab* tab = Bar->Tabs()[0];
  ASSERT_FALSE(IsNullRect(tab->CloseRect));
  const int x = tab->TabRect.left + (tab->CloseRect.left + tab->CloseRect.right) / 2;
  const int y = tab->TabRect.top + (tab->CloseRect.top + tab->CloseRect.bottom) / 2;
  Bar->MouseDown(mbLeft, 0, x, y);
  EXPECT_FALSE(Bar->MouseDownArmed);
  Bar->MouseMove(0, x + 1, y);
  EXPECT_FALSE(Bar->Dragging);
  Bar->MouseUp(mbLeft, 0, x + 1, y);
  ASSERT_EQ(1u, Closed.size());
  EXPECT_EQ(tab->Form, Closed[0]);
  // A press on the tab itself closes nothing.
  Bar->MouseDown(mbLeft, 0, tab->TabRect.left + 3, 5);
  Bar->MouseUp(mbLeft, 0, tab->TabRect.left + 3, 5);
  EXPECT_EQ(1u, Closed.size());
}

TEST_F(TSkinMDITabsBarTest, RemovingTabsKeepsTheHotIndexesWithinTheList)
{
  AddTabs(3);
  Bar->LayoutTabs();
  Bar->UpdateHotTab(Bar->Tabs()[2]->TabRect.left + 2, 5);
  EXPECT_EQ(2, Bar->HotIndex);
  Bar->RemoveTab(Bar->Tabs()[0]->Form); // not the hot one
  EXPECT_EQ(1, Bar->HotIndex);
  EXPECT_EQ("three", Bar->Tabs()[static_cast<size_t>(Bar->HotIndex)]->Form->GetText());
  Bar->RemoveTab(Bar->Tabs()[1]->Form); // the hot one
  EXPECT_EQ(-1, Bar->HotIndex);
  EXPECT_EQ(-1, Bar->LastHotIndex);
  EXPECT_NE(nullptr, Bar->GetTabsListButton());
  Bar->RemoveTab(Bar->Tabs()[0]->Form);
  EXPECT_EQ(nullptr, Bar->GetTabsListButton());
  Bar->UpdateHotTab(20, 5); // no tabs: nothing happens
  EXPECT_EQ(-1, Bar->HotIndex);
}

} // namespace
