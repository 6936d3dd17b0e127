// The skinned menu bar on the headless display: hot tracking, opening and sliding between
// sub-menus, items that run their command, items that do not fit and the mark that lists them,
// the keyboard driven through the skinned form, the skin's height, and the MDI buttons.
#include <gtest/gtest.h>

#include "skin/frame/SkinFormLookup.h"
#include "skin/frame/SkinMainMenuBar.h"
#include "skin/input/SkinMenuItem.h"
#include "tests/skin/frame/SkinFrameTestSupport.h"

namespace {

class TSkinMainMenuBarTest : public TSkinFrameTest {
protected:
  void SetUp() override
  {
    TSkinFrameTest::SetUp();
    Frame = FramedForm(nullptr, 600, 300);
    Form = Frame->OwnerForm();
    Menu = new TMainMenu(Form);
    TMenuItem* root = Menu->GetItems();
    File = Add(root, "&File");
    Add(File, "&Open");
    Add(File, "E&xit");
    Edit = Add(root, "&Edit");
    Add(Edit, "Cu&t");
    Run = Add(root, "&Run");
    Run->OnClick = [this](TObject*) { ++RunClicks; };
    Help = Add(root, "&Help");
    Add(Help, "&About");
    Bar = new TskSkinMainMenuBar(Form);
    Bar->SetParent(Form);
    Bar->SetSkinnedForm(Frame);
    Bar->SetMainMenu(Menu);
    Form->Show();
    Layout();
  }

  TMenuItem* Add(TMenuItem* Parent, const char* Caption)
  {
    auto* item = new TMenuItem(Parent);
    item->SetCaption(Caption);
    Parent->Add(item);
    return item;
  }

  // Paints the bar once so that its objects are laid out.
  void Layout()
  {
    TBitmap b;
    b.SetSize(1, 1);
    Bar->PaintBar(b.GetCanvas());
  }

  TskSkinMainMenuBarItem* Item(int I) const { return static_cast<TskSkinMainMenuBarItem*>(Bar->Objects().at(I)); }
  TPoint Centre(int I) const
  {
    const TRect& r = Bar->Objects().at(I)->ObjectBounds;
    return TPoint{(r.left + r.right) / 2, (r.top + r.bottom) / 2};
  }
  void Press(int I)
  {
    const TPoint p = Centre(I);
    Bar->MouseDown(mbLeft, 0, p.x, p.y);
    Bar->MouseUp(mbLeft, 0, p.x, p.y);
  }
  // The captions of the open menu's last level.
  std::vector<String> OpenEntries() const
  {
    std::vector<String> captions;
    TskSkinPopupWindow* level = Frame->GetSkinMenu()->LastLevel();
    for (int i = 0; level && i < level->ItemCount(); ++i)
      captions.push_back(level->Item(i)->MenuItem->GetCaption());
    return captions;
  }
  int HotIndex() const
  {
    for (size_t i = 0; i < Bar->Objects().size(); ++i)
      if (Bar->Objects()[i]->Hot)
        return static_cast<int>(i);
    return -1;
  }

  TskSkinnedForm* Frame = nullptr;
  TForm* Form = nullptr;
  TMainMenu* Menu = nullptr;
  TMenuItem *File = nullptr, *Edit = nullptr, *Run = nullptr, *Help = nullptr;
  TskSkinMainMenuBar* Bar = nullptr;
  int RunClicks = 0;
};

TEST_F(TSkinMainMenuBarTest, ItemsSitSideBySideAsWideAsTheirCaptions)
{
  ASSERT_EQ(4u, Bar->Objects().size());
  EXPECT_EQ(22, Bar->GetHeight());
  EXPECT_EQ(2, Item(0)->ObjectBounds.left);
  for (int i = 1; i < 4; ++i)
    EXPECT_EQ(Item(i - 1)->ObjectBounds.right, Item(i)->ObjectBounds.left) << i;
  // Unskinned: the caption's width (without the accelerator mark) and 12 pixels.
  TBitmap b;
  b.SetSize(1, 1);
  b.GetCanvas()->GetFont()->Assign(Bar->GetDefItemFont());
  EXPECT_EQ(b.GetCanvas()->TextWidth("File") + 12, RectWidth(Item(0)->ObjectBounds));
  for (int i = 0; i < 4; ++i)
    EXPECT_TRUE(Item(i)->InBar) << i;
}

TEST_F(TSkinMainMenuBarTest, HotTrackingFollowsThePointer)
{
  struct TCase {
    const char* Name;
    int Object; // -1: a point off every item
    int HotAfter;
  } const cases[] = {
      {"onto File", 0, 0}, {"onto Edit", 1, 1}, {"past the items", -1, -1}, {"onto Help", 3, 3}, {"outside", -2, -1}};
  for (const TCase& c : cases) {
    TPoint p{Bar->GetWidth() - 20, 10};
    if (c.Object >= 0)
      p = Centre(c.Object);
    if (c.Object == -2)
      p = TPoint{-1, -1};
    Bar->TrackHotObject(p.x, p.y);
    EXPECT_EQ(c.HotAfter, Bar->ActiveIndex) << c.Name;
    EXPECT_EQ(c.HotAfter, HotIndex()) << c.Name;
  }
}

TEST_F(TSkinMainMenuBarTest, OpenItemStaysLitAndSlidingOpensTheNeighbour)
{
  Bar->TrackHotObject(Centre(0).x, Centre(0).y);
  Press(0);
  EXPECT_TRUE(Item(0)->Pressed);
  EXPECT_TRUE(Frame->GetSkinMenu()->Visible);
  EXPECT_TRUE(Frame->MainMenuMode);
  EXPECT_EQ((std::vector<String>{"&Open", "E&xit"}), OpenEntries());

  // The pointer leaves the bar: the open item stays lit.
  Bar->TrackHotObject(-1, -1);
  EXPECT_EQ(0, Bar->ActiveIndex);
  EXPECT_TRUE(Item(0)->Hot);
  EXPECT_TRUE(Item(0)->Pressed);

  // Onto the neighbour: its menu opens without a click, the first lets go.
  Bar->TrackHotObject(Centre(1).x, Centre(1).y);
  EXPECT_FALSE(Item(0)->Pressed);
  EXPECT_FALSE(Item(0)->Hot);
  EXPECT_TRUE(Item(1)->Pressed);
  EXPECT_EQ((std::vector<String>{"Cu&t"}), OpenEntries());
  EXPECT_EQ(1, Frame->GetSkinMenu()->LevelCount());

  // Closing the menu ends the mode and unlights the bar.
  Frame->GetSkinMenu()->CloseMenu();
  ProcessPendingMessages();
  EXPECT_FALSE(Frame->MainMenuMode);
  EXPECT_FALSE(Item(1)->Pressed);
  EXPECT_FALSE(Bar->MenuActive);
}

TEST_F(TSkinMainMenuBarTest, ItemWithoutSubItemsRunsItsCommand)
{
  std::vector<String> clicked;
  Bar->OnMainMenuItemClick = [&](const String& Name) { clicked.push_back(Name); };
  Run->SetName("RunItem");
  Bar->SetMainMenu(Menu);
  Layout();
  Bar->TrackHotObject(Centre(2).x, Centre(2).y);
  Press(2);
  EXPECT_EQ(1, RunClicks);
  EXPECT_FALSE(Frame->GetSkinMenu()->Visible);
  EXPECT_FALSE(Frame->MainMenuMode);
  EXPECT_FALSE(Item(2)->Pressed);
  EXPECT_EQ((std::vector<String>{"RunItem"}), clicked);
}

TEST_F(TSkinMainMenuBarTest, WithoutASkinnedFormNothingOpensOrRuns)
{
  Bar->SetSkinnedForm(nullptr);
  Press(0);
  Press(2);
  EXPECT_EQ(0, RunClicks);
  EXPECT_FALSE(Item(0)->Pressed);
  EXPECT_FALSE(Frame->GetSkinMenu()->Visible);
}

TEST_F(TSkinMainMenuBarTest, ItemsThatDoNotFitHideBehindTheMarkWhichListsExactlyThem)
{
  struct TCase {
    int Width;
    int Fit;
  } const cases[] = {{600, 4}, {Item(0)->ObjectBounds.right + 7 + 1, 1}, {Item(1)->ObjectBounds.right + 7, 2}};
  Bar->SetAlign(alNone);
  for (const TCase& c : cases) {
    Bar->SetWidth(c.Width);
    Layout();
    EXPECT_EQ(c.Fit, Bar->FittingItemCount()) << c.Width;
    EXPECT_EQ(c.Fit < 4, Bar->HiddenItems) << c.Width;
    for (int i = 0; i < 4; ++i) {
      EXPECT_EQ(i < c.Fit, Item(i)->InBar) << c.Width << " " << i;
      EXPECT_EQ(i < c.Fit, Item(i)->Enabled) << c.Width << " " << i;
    }
    if (c.Fit == 4)
      continue;
    const TRect mark = Bar->TrackMarkRect();
    Bar->MouseDown(mbLeft, 0, mark.left + 2, mark.top + 2);
    std::vector<String> expected;
    for (int i = c.Fit; i < 4; ++i)
      expected.push_back(Menu->GetItems()->GetItem(i)->GetCaption());
    EXPECT_EQ(expected, OpenEntries()) << c.Width;
    Frame->GetSkinMenu()->CloseMenu();
    ProcessPendingMessages();
  }
  // Wide again: the items come back with their enabled state.
  Bar->SetWidth(600);
  Layout();
  EXPECT_EQ(4, Bar->FittingItemCount());
  EXPECT_FALSE(Bar->HiddenItems);
}

TEST_F(TSkinMainMenuBarTest, TheKeyboardWalksOpensAndLeavesTheMenu)
{
  Frame->SetMainMenuBar(Bar);
  ASSERT_TRUE(Frame->KeyMenu(0)); // Alt or F10 alone
  EXPECT_TRUE(Frame->MainMenuMode);
  EXPECT_TRUE(Bar->MenuActive);
  EXPECT_TRUE(Frame->AppHooked());
  struct TStep {
    const char* Name;
    Word Key;
    int Lit;        // lit (hot or open) item after the key
    int Open;       // pressed item, -1 none
    bool Mode;      // still in keyboard mode
  } const steps[] = {
      {"Right", VK_RIGHT, 1, -1, true},   {"Right", VK_RIGHT, 2, -1, true},   {"Left", VK_LEFT, 1, -1, true},
      {"Left", VK_LEFT, 0, -1, true},     {"Left wraps", VK_LEFT, 3, -1, true}, {"Right wraps", VK_RIGHT, 0, -1, true},
      {"Down opens", VK_DOWN, 0, 0, true}, {"Right moves the open menu", VK_RIGHT, 1, 1, true},
      {"Escape closes the sub-menu", VK_ESCAPE, 1, -1, true}, {"Escape leaves", VK_ESCAPE, -1, -1, false},
  };
  for (const TStep& s : steps) {
    Frame->MenuKeyDown(s.Key);
    ProcessPendingMessages();
    int open = -1, lit = -1;
    for (int i = 0; i < 4; ++i) {
      if (Item(i)->Pressed)
        open = i;
      if (Item(i)->Pressed || Item(i)->Hot)
        lit = lit == -1 ? i : -2;
    }
    EXPECT_EQ(s.Lit, lit) << s.Name;
    EXPECT_EQ(s.Open, open) << s.Name;
    EXPECT_EQ(s.Open != -1, Frame->GetSkinMenu()->Visible) << s.Name;
    EXPECT_EQ(s.Mode, Frame->MainMenuMode) << s.Name;
  }
  EXPECT_FALSE(Frame->AppHooked());
  EXPECT_FALSE(Bar->MenuActive);
}

TEST_F(TSkinMainMenuBarTest, AcceleratorsOpenOrRunTheirItem)
{
  Frame->SetMainMenuBar(Bar);
  // Alt+E opens Edit.
  EXPECT_TRUE(Frame->KeyMenu('e'));
  EXPECT_TRUE(Item(1)->Pressed);
  EXPECT_EQ((std::vector<String>{"Cu&t"}), OpenEntries());
  // In the mode a plain letter moves the open menu to its item.
  Frame->MenuKeyDown('H');
  EXPECT_TRUE(Item(3)->Pressed);
  EXPECT_EQ((std::vector<String>{"&About"}), OpenEntries());
  // A letter of an item without sub-items runs it and ends the mode.
  Frame->MenuKeyDown('R');
  ProcessPendingMessages();
  EXPECT_EQ(1, RunClicks);
  EXPECT_FALSE(Frame->MainMenuMode);
  EXPECT_FALSE(Frame->GetSkinMenu()->Visible);
  // No item has the letter: not taken.
  EXPECT_FALSE(Frame->KeyMenu('q'));
  // Alt+F4 is never a menu accelerator, even with an item "&4".
  Add(Menu->GetItems(), "&4")->SetName("Four");
  Bar->SetMainMenu(Menu);
  Layout();
  TWMKey key{};
  key.CharCode = VK_F4;
  key.KeyData = static_cast<LPARAM>(0x20000000);
  bool handled = false;
  Frame->FormShortCut(key, handled);
  EXPECT_FALSE(Frame->GetSkinMenu()->Visible);
}

TEST_F(TSkinMainMenuBarTest, TheSkinSetsTheHeightAndKeepsIt)
{
  TskSkinData* skin = BuiltinSkinData(Holder, TBuiltinSkin::bsControls);
  Bar->SetSkinData(skin);
  const int index = skin->GetControlIndex("mainmenubar");
  ASSERT_GE(index, 0);
  const int skinHeight = RectHeight(skin->ControlList[static_cast<size_t>(index)]->skinrect);
  EXPECT_EQ(skinHeight, Bar->GetHeight());
  EXPECT_TRUE(Bar->SkinLayout);
  Bar->SetHeight(40);
  EXPECT_EQ(skinHeight, Bar->GetHeight());
  // The objects were made anew from the skin's item record.
  ASSERT_EQ(4u, Bar->Objects().size());
  EXPECT_TRUE(Item(0)->HasSkin);
  Layout();
  EXPECT_EQ(skinHeight > 0, RectHeight(Item(0)->ObjectBounds) > 0);
}

TEST_F(TSkinMainMenuBarTest, EnabledStateIsTakenWhenTheBarIsBuilt)
{
  Edit->SetEnabled(false);
  EXPECT_TRUE(Item(1)->Enabled);
  Bar->SetMainMenu(Menu);
  Layout();
  EXPECT_FALSE(Item(1)->Enabled);
  Bar->TrackHotObject(Centre(1).x, Centre(1).y);
  EXPECT_EQ(-1, Bar->ActiveIndex);
}

// ---- MDI buttons ----

class TSkinMainMenuBarMDITest : public TSkinMainMenuBarTest {
protected:
  void SetUp() override
  {
    TSkinMainMenuBarTest::SetUp();
    Form->SetFormStyle(fsMDIForm);
    Application->SetMainForm(Form);
    Child = new TForm(nullptr);
    Owned.push_back(Child);
    Child->SetFormStyle(fsMDIChild);
    Child->SetBounds(10, 10, 200, 150);
    ChildFrame = new TskSkinnedForm(Child);
    Child->OnClose = [this](TObject*, TCloseAction& Action) {
      ++Closes;
      Action = caNone;
    };
    Child->Show();
  }
  void TearDown() override
  {
    Application->SetMainForm(nullptr);
    TSkinMainMenuBarTest::TearDown();
  }
  TskSkinMainMenuBarButton* Button(int I) const
  {
    return static_cast<TskSkinMainMenuBarButton*>(Bar->Objects().at(I));
  }

  TForm* Child = nullptr;
  TskSkinnedForm* ChildFrame = nullptr;
  int Closes = 0;
};

TEST_F(TSkinMainMenuBarMDITest, AMaximisedChildGetsItsButtonsOnTheBar)
{
  ChildFrame->SetSkinWindowState(wsMaximized);
  ASSERT_EQ(ChildFrame, GetMaximizedChildSkinForm());
  Bar->ShowMDIButtons();
  Layout();
  ASSERT_EQ(8u, Bar->Objects().size());
  EXPECT_EQ(4, Bar->GetMDIButtonCount());
  const Byte commands[] = {cmSysMenu, cmClose, cmMaximize, cmMinimize};
  for (int i = 0; i < 4; ++i)
    EXPECT_EQ(commands[i], Button(i)->Command) << i;
  // The system-menu button at the left, the others from the right end, the items after the first.
  const int h = RectHeight(Bar->ItemsRect);
  EXPECT_EQ(TRect(2, 2, 2 + h, 2 + h), Button(0)->ObjectBounds);
  EXPECT_EQ(Bar->GetWidth() - 2, Button(1)->ObjectBounds.right);
  EXPECT_EQ(Button(1)->ObjectBounds.left - 2, Button(2)->ObjectBounds.right);
  EXPECT_EQ(Button(2)->ObjectBounds.left - 2, Button(3)->ObjectBounds.right);
  EXPECT_EQ(Button(0)->ObjectBounds.right + 2, Item(4)->ObjectBounds.left);

  // The minimise button follows the child's border icons.
  ChildFrame->SetBorderIcons(biSystemMenu | biMaximize);
  Bar->HideMDIButtons(); // the child is still maximised: only the states are checked
  EXPECT_FALSE(Button(3)->Enabled);
  EXPECT_TRUE(Button(0)->Enabled);
}

TEST_F(TSkinMainMenuBarMDITest, ButtonsActOnTheChild)
{
  struct TCase {
    const char* Name;
    int Button;
    bool ReleaseOnIt;
    TWindowState State;
    int Closes;
  } const cases[] = {
      {"close", 1, true, wsMaximized, 1},
      {"restore", 2, true, wsNormal, 0},
      {"minimise", 3, true, wsMinimized, 0},
      {"released away from it", 1, false, wsMaximized, 0},
  };
  for (const TCase& c : cases) {
    Closes = 0;
    ChildFrame->SetSkinWindowState(wsMaximized);
    Bar->ShowMDIButtons();
    Layout();
    const TRect r = Button(c.Button)->ObjectBounds;
    const TPoint p{(r.left + r.right) / 2, (r.top + r.bottom) / 2};
    Bar->TrackHotObject(p.x, p.y);
    Bar->MouseDown(mbLeft, 0, p.x, p.y);
    EXPECT_TRUE(Button(c.Button)->Pressed) << c.Name;
    if (!c.ReleaseOnIt) {
      Bar->TrackHotObject(-1, -1);
      Bar->MouseUp(mbLeft, 0, -1, -1);
    } else {
      Bar->MouseUp(mbLeft, 0, p.x, p.y);
    }
    EXPECT_FALSE(Button(c.Button)->Pressed) << c.Name;
    EXPECT_EQ(c.State, ChildFrame->GetSkinWindowState()) << c.Name;
    EXPECT_EQ(c.Closes, Closes) << c.Name;
    // Not maximised any more: the buttons go.
    if (ChildFrame->GetSkinWindowState() != wsMaximized) {
      Bar->HideMDIButtons();
      EXPECT_EQ(4u, Bar->Objects().size()) << c.Name;
      EXPECT_FALSE(Bar->GetMDIButtonsShown()) << c.Name;
    }
  }
}

TEST_F(TSkinMainMenuBarMDITest, SystemMenuButtonOpensTheChildsMenuAndComesUpWhenItCloses)
{
  ChildFrame->SetSkinWindowState(wsMaximized);
  Bar->ShowMDIButtons();
  Layout();
  const TRect r = Button(0)->ObjectBounds;
  Bar->TrackHotObject(r.left + 2, r.top + 2);
  Bar->MouseDown(mbLeft, 0, r.left + 2, r.top + 2);
  Bar->MouseUp(mbLeft, 0, r.left + 2, r.top + 2);
  EXPECT_TRUE(Button(0)->Pressed);
  ASSERT_TRUE(Frame->GetSkinMenu()->Visible);
  std::vector<String> entries = OpenEntries();
  ASSERT_FALSE(entries.empty());
  EXPECT_EQ("&Close", entries.back());
  Frame->GetSkinMenu()->CloseMenu();
  ProcessPendingMessages();
  EXPECT_FALSE(Button(0)->Pressed);
}

} // namespace

namespace {

TEST_F(TSkinMainMenuBarTest, SlidingOntoAnItemWithoutAMenuEndsTheMenuMode)
{
  Press(1); // Edit open
  ASSERT_TRUE(Frame->GetSkinMenu()->Visible);
  Bar->TrackHotObject(Centre(2).x, Centre(2).y); // onto Run
  ProcessPendingMessages();
  EXPECT_FALSE(Frame->GetSkinMenu()->Visible);
  EXPECT_FALSE(Frame->MainMenuMode);
  EXPECT_FALSE(Frame->AppHooked()); // the application's keys are its own again
  EXPECT_TRUE(Item(2)->Hot);
  EXPECT_FALSE(Item(1)->Pressed);
  EXPECT_EQ(0, RunClicks);
}

} // namespace
