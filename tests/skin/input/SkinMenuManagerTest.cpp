// The skinned menu manager and popup menu: the message order of a chosen command, levels freed
// only after the command's handler, closing by a new popup and by Escape, the sub-menu delay, the
// search for the skinned form component, the one-shot close event, and handlers that free the
// menu.
#include "tests/skin/input/SkinMenuTestSupport.h"

#include "platform/vcl/ExtCtrls.h"

namespace {

class SkinMenuManagerTest : public TSkinMenuTest {};

TEST_F(SkinMenuManagerTest, ChoosingALeafTellsOpenerFormCommandAndDoneInThatOrder)
{
  TMenuItem* open = Add(Root(), "Open");
  bool levelAliveInHandler = false;
  bool levelHiddenInHandler = false;
  TskSkinPopupWindow* level = nullptr;
  open->OnClick = [&](TObject*) {
    MenuLog().push_back("click Open");
    levelAliveInHandler = Manager->PendingFreeCount() == 1;
    levelHiddenInHandler = level && !level->GetVisible();
    EXPECT_FALSE(Manager->Visible);
  };
  Menu->PopupForButton(Opener, Rect(10, 10, 60, 30), false);
  ASSERT_EQ(1, Manager->LevelCount());
  level = Level(0);
  level->ProcessKey(VK_RETURN);
  EXPECT_EQ((std::vector<String>{"opener 1228", "form 1228", "click Open", "opener 1229"}), MenuLog());
  EXPECT_TRUE(levelAliveInHandler) << "the level is closed but not freed while the command runs";
  EXPECT_TRUE(levelHiddenInHandler);
  EXPECT_EQ(0, Manager->PendingFreeCount()) << "freed once the call that chose returned";
  EXPECT_EQ(0, Manager->LevelCount());
  EXPECT_FALSE(Host->MenuMode()) << "the form's close message ended the menu mode";
}

TEST_F(SkinMenuManagerTest, PoppingUpWhileOpenClosesTheFirstAndTellsOnlyItsOpener)
{
  Add(Root(), "Open");
  // (A control added to the form while a menu is open would close it: WM_PARENTNOTIFY.)
  auto* second = new TLoggingOpener(Form);
  second->SetName("second");
  second->SetParent(Form);
  Open(nullptr, 100, 100, Opener);
  Open(nullptr, 120, 120, second);
  EXPECT_EQ((std::vector<String>{"opener 1228"}), MenuLog());
  EXPECT_EQ(1, Manager->LevelCount());
  EXPECT_TRUE(Manager->Visible);
  EXPECT_EQ(second, Manager->Opener);
}

TEST_F(SkinMenuManagerTest, SubMenuOpensAfterFiveHundredMillisecondsOfRestAndClicksItsEntryFirst)
{
  Add(Root(), "Leaf");
  TMenuItem* sub = Add(Root(), "Sub");
  Add(sub, "Inner");
  Open(nullptr);
  TskSkinPopupWindow* l = Level(0);
  const TRect r = l->Item(1)->ObjectRect;
  l->TrackMouse(r.left + 10, r.top + 5);
  EXPECT_EQ(l->Item(1), Manager->PendingItem);
  Clock->Advance(400);
  Pump();
  EXPECT_EQ(1, Manager->LevelCount());
  // Moving on before the delay cancels the wait.
  const TRect r0 = l->Item(0)->ObjectRect;
  l->TrackMouse(r0.left + 10, r0.top + 5);
  EXPECT_EQ(nullptr, Manager->PendingItem);
  Clock->Advance(600);
  Pump();
  EXPECT_EQ(1, Manager->LevelCount());
  EXPECT_TRUE(MenuLog().empty());
  // Resting 500 ms opens it, after the entry's own OnClick.
  l->TrackMouse(r.left + 10, r.top + 5);
  Clock->Advance(500);
  Pump();
  ASSERT_EQ(2, Manager->LevelCount());
  EXPECT_EQ((std::vector<String>{"click Sub"}), MenuLog());
  EXPECT_TRUE(l->Item(1)->Down);
  EXPECT_EQ(l->GetLeft() + l->Item(1)->ObjectRect.right + 1, Level(1)->GetLeft());
  // Entering the leaf closes the sub-menu again.
  l->TrackMouse(r0.left + 10, r0.top + 5);
  EXPECT_EQ(1, Manager->LevelCount());
}

TEST_F(SkinMenuManagerTest, OnMenuCloseFiresOncePerPopupWithTheManagerAsSender)
{
  Add(Root(), "Open");
  int fired = 0;
  TObject* sender = nullptr;
  Menu->OnMenuClose = [&](TObject* S) {
    ++fired;
    sender = S;
  };
  Menu->Popup(100, 100);
  EXPECT_EQ(Point(100, 100).x, Menu->LastPopupPoint.x);
  Manager->CloseMenu();
  Manager->CloseMenu();
  EXPECT_EQ(1, fired);
  EXPECT_EQ(Manager, sender);
  Menu->Popup(100, 100);
  Level(0)->ProcessKey(VK_ESCAPE);
  EXPECT_EQ(2, fired);
}

TEST_F(SkinMenuManagerTest, PopupMenusFindTheSkinnedFormThroughOwnersAndTakeItsMenuSkin)
{
  Add(Root(), "Open");
  auto* skin = BuiltinSkinData(Holder, TBuiltinSkin::bsControls);
  auto* frameSkin = BuiltinSkinData(Holder, TBuiltinSkin::bsFrame);
  Host->SetSkinData(frameSkin);
  Host->SetMenusSkinData(skin);
  // Owned by a frame (a control owned by the form): found through the owner's owner.
  auto* frame = new TPanel(Form);
  auto* framed = new TskSkinPopupMenu(frame);
  auto* item = new TMenuItem(framed);
  item->SetCaption("Framed");
  framed->GetItems()->Add(item);
  framed->Popup(50, 50);
  EXPECT_TRUE(Manager->Visible);
  EXPECT_EQ(skin, framed->GetSkinData());
  EXPECT_NE(nullptr, Level(0)->PopupRecord);
  Manager->CloseMenu();
  // Without any skinned form component nothing opens, not even a plain menu.
  auto* lonely = new TskSkinPopupMenu(Holder);
  lonely->GetItems()->Add(new TMenuItem(lonely));
  lonely->Popup(50, 50);
  EXPECT_FALSE(Manager->Visible);
  // An edit's menu needs a menu skin.
  auto* other = new TForm(nullptr);
  Owned.push_back(other);
  new TskSkinMenuHost(other);
  auto* editMenu = new TskSkinPopupMenu(other);
  editMenu->GetItems()->Add(new TMenuItem(editMenu));
  editMenu->PopupForEdit(Opener, 10, 10);
  EXPECT_FALSE(FindSkinForm(other)->GetSkinMenu()->Visible);
  EXPECT_EQ(Host, FindSkinForm(Form));
  EXPECT_EQ(nullptr, FindSkinForm(nullptr));
}

TEST_F(SkinMenuManagerTest, HandlersThatFreeTheMenuOrTheManagerDoNotCrash)
{
  TMenuItem* kill = Add(Root(), "Kill");
  kill->OnClick = [&](TObject*) {
    MenuLog().push_back("click Kill");
    delete Menu;
    Menu = nullptr;
  };
  Open(nullptr, 100, 100, Opener);
  Level(0)->ProcessKey(VK_RETURN);
  EXPECT_EQ((std::vector<String>{"opener 1228", "form 1228", "click Kill", "opener 1229"}), MenuLog());
  // The manager itself goes in the handler (its host with it).
  Menu = new TskSkinPopupMenu(Form);
  TMenuItem* bye = Add(Root(), "Bye");
  bye->OnClick = [&](TObject*) {
    delete Host;
    Host = nullptr;
    Manager = nullptr;
  };
  Menu->Popup(100, 100);
  ASSERT_NE(nullptr, Host->GetSkinMenu()->LastLevel());
  Host->GetSkinMenu()->LastLevel()->ProcessKey(VK_RETURN);
  EXPECT_EQ(nullptr, Host);
  Pump();  // the level that chose is freed from the message loop
}

TEST_F(SkinMenuManagerTest, TheSkinnedFormClosesTheMenuOnItsCloseMessagesAndForwardsKeys)
{
  Add(Root(), "One");
  Add(Root(), "Two");
  Menu->Popup(100, 100);
  EXPECT_TRUE(Host->MenuMode());
  PostMessageA(Form->GetHandle(), WM_KEYDOWN, VK_DOWN, 0);
  Application->ProcessMessages();
  EXPECT_EQ(1, Level(0)->ItemIndex) << "keys of the application go to the last level";
  Form->Perform(WM_SIZE, 0, 0);
  EXPECT_FALSE(Manager->Visible);
  EXPECT_FALSE(Host->MenuMode());
}

TEST(SkinMenuMessages, MenuCloseMessagesAreExactlyTheListedOnes)
{
  const UINT closing[] = {3, 5, 6, 8, 31, 33, 161, 164, 167, 513, 516, 519, 528};
  for (UINT m : closing)
    EXPECT_TRUE(IsMenuCloseMessage(m)) << m;
  const UINT others[] = {0, 1, 2, 4, 7, 15, 20, 160, 512, 514, 517, 520, 522, 1228, 1229};
  for (UINT m : others)
    EXPECT_FALSE(IsMenuCloseMessage(m)) << m;
}

} // namespace
