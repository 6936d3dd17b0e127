// The tray icon through the platform's notification-area model: the tooltip, click and
// double-click detection, the popup menu, the Enabled switch, icon lists and cycling, the
// notification area's restart, and minimising to the tray with and without a tray.
#include "tests/skin/input/SkinMenuTestSupport.h"

#include "platform/vcl/ImgList.h"
#include "skin/input/SkinTrayIcon.h"

namespace {

class SkinTrayIconTest : public TSkinMenuTest {
protected:
  void SetUp() override
  {
    TSkinMenuTest::SetUp();
    SetTrayAvailable(true);
    Tray = new TskTrayIcon(Form);
  }
  void TearDown() override
  {
    SetTrayAvailable(true);
    TSkinMenuTest::TearDown();
  }
  // The notification area's record of our icon, or null.
  const TTrayIcon* Shown()
  {
    static std::vector<TTrayIcon> icons;
    icons = GetTrayIcons();
    for (const TTrayIcon& i : icons)
      if (i.Wnd == Tray->GetTrayWindow())
        return &i;
    return nullptr;
  }
  // The notification area posts the callback; it is handled at once here.
  void Mouse(UINT Msg)
  {
    ASSERT_TRUE(SendTrayMouseMessage(Tray->GetTrayWindow(), 1, Msg));
    Pump();
  }
  void Log(const char* What)
  {
    Tray->OnClick = [](TObject*) { MenuLog().push_back("click"); };
    Tray->OnDblClick = [](TObject*) { MenuLog().push_back("dblclick"); };
    (void)What;
  }
  TskTrayIcon* Tray = nullptr;
};

TEST_F(SkinTrayIconTest, TheTooltipIsTheFirst127CharactersOfTheHintAndEmptyWithoutShowHint)
{
  ASSERT_TRUE(Tray->ShowIcon());
  ASSERT_NE(nullptr, Shown());
  EXPECT_EQ(TrayIconCallbackMessage, Shown()->CallbackMessage);
  Tray->SetHint(String(200, 'x'));
  EXPECT_EQ(String(127, 'x'), Shown()->Tip);
  Tray->SetShowHint(false);
  EXPECT_EQ("", Shown()->Tip);
  EXPECT_TRUE(Tray->HideIcon());
  EXPECT_EQ(nullptr, Shown());
  EXPECT_FALSE(Tray->GetIconVisible());
}

TEST_F(SkinTrayIconTest, ASingleClickReportsOnceAfterTheDoubleClickTimeAndADoubleClickOnlyAsSuch)
{
  Tray->ShowIcon();
  Log("");
  Mouse(WM_LBUTTONDOWN);
  Mouse(WM_LBUTTONUP);
  EXPECT_TRUE(MenuLog().empty()) << "a click waits for a possible second one";
  Clock->Advance(GetDoubleClickTime());
  Pump();
  EXPECT_EQ((std::vector<String>{"click"}), MenuLog());
  MenuLog().clear();
  Mouse(WM_LBUTTONDOWN);
  Mouse(WM_LBUTTONUP);
  Mouse(WM_LBUTTONDBLCLK);
  Mouse(WM_LBUTTONUP);
  Clock->Advance(GetDoubleClickTime());
  Pump();
  EXPECT_EQ((std::vector<String>{"dblclick"}), MenuLog());
  // Held longer than the double-click time: the click comes at the release.
  MenuLog().clear();
  Mouse(WM_LBUTTONDOWN);
  Clock->Advance(GetDoubleClickTime());
  Pump();
  Mouse(WM_LBUTTONUP);
  EXPECT_EQ((std::vector<String>{"click"}), MenuLog());
}

TEST_F(SkinTrayIconTest, TheMenuOpensOnTheRightButtonOnlyWithAutoPopupAndNothingWhileDisabled)
{
  Tray->ShowIcon();
  Add(Root(), "Restore")->SetDefault(true);
  Add(Root(), "Close");
  Tray->SetPopupMenu(Menu);
  Menu->SetAutoPopup(false);
  Mouse(WM_RBUTTONDOWN);
  EXPECT_FALSE(Manager->Visible);
  Menu->SetAutoPopup(true);
  Tray->Enabled = false;
  Log("");
  Mouse(WM_RBUTTONDOWN);
  Mouse(WM_LBUTTONDBLCLK);
  EXPECT_FALSE(Manager->Visible);
  EXPECT_TRUE(MenuLog().empty());
  Tray->Enabled = true;
  Mouse(WM_RBUTTONDOWN);
  EXPECT_TRUE(Manager->Visible) << "the skinned menu of the form's skinned form component";
  EXPECT_EQ(Tray, Menu->GetPopupComponent());
  Manager->CloseMenu();
  MenuLog().clear();
  // A double click clicks the default item, unless the menu belongs to the left button.
  Mouse(WM_LBUTTONDBLCLK);
  EXPECT_EQ((std::vector<String>{"dblclick", "click Restore"}), MenuLog());
  MenuLog().clear();
  Tray->PopupByLeftButton = true;
  Mouse(WM_LBUTTONDOWN);
  EXPECT_TRUE(Manager->Visible);
  Mouse(WM_LBUTTONDBLCLK);
  EXPECT_EQ((std::vector<String>{"dblclick"}), MenuLog());
}

TEST_F(SkinTrayIconTest, IconIndexesStayInsideTheListAndAnEmptyListKeepsTheIcon)
{
  auto* list = new TImageList(Form);
  list->SetWidth(16);
  list->SetHeight(16);
  Tray->SetIconList(list);
  Tray->SetIconIndex(5);
  EXPECT_EQ(0, Tray->GetIconIndex()) << "an empty list keeps index 0";
  EXPECT_EQ(0, Tray->NextIconIndex());
  Tray->AnimateTick();  // nothing to cycle through
  for (TColor c : {0x0000FF, 0x00FF00, 0xFF0000, 0x00FFFF}) {
    auto b = SolidPicture(16, 16, c);
    list->AddMasked(b.get(), 0xFF00FF);
  }
  Tray->SetIconIndex(10);
  EXPECT_EQ(3, Tray->GetIconIndex());
  EXPECT_EQ(0, Tray->NextIconIndex()) << "after the last icon comes the first";
  std::vector<int> next;
  Tray->OnCycle = [&next](TObject*, int Next) { next.push_back(Next); };
  Tray->SetCycleIcons(true);
  EXPECT_TRUE(Tray->GetAnimateTimer()->GetEnabled() || Tray->GetAnimateTimerInterval() == 0);
  for (int i = 0; i < 5; ++i)
    Tray->AnimateTick();
  EXPECT_EQ((std::vector<int>{1, 2, 3, 0, 1}), next);
}

TEST_F(SkinTrayIconTest, TheIconComesBackAfterTheNotificationAreaRestartsOnlyWhenVisible)
{
  Tray->ShowIcon();
  NOTIFYICONDATAA d;
  d.hWnd = Tray->GetTrayWindow();
  d.uID = 1;
  Shell_NotifyIconA(NIM_DELETE, &d);  // the notification area went away
  ASSERT_EQ(nullptr, Shown());
  SendMessageA(Application->GetHandle(), RegisterWindowMessageA("TaskbarCreated"), 0, 0);
  EXPECT_NE(nullptr, Shown());
  Tray->SetIconVisible(false);
  SendMessageA(Application->GetHandle(), RegisterWindowMessageA("TaskbarCreated"), 0, 0);
  EXPECT_EQ(nullptr, Shown());
}

// The restarted notification area tells every top-level window (the application's window and
// the main form, which owns the icon, both hear it): the icon is added once and stays known as
// shown, whether the new area had lost it or holds it already.
TEST_F(SkinTrayIconTest, TaskbarCreatedToAllWindowsAddsTheIconOnceAndKeepsItKnownAsShown)
{
  struct TCase {
    const char* Name;
    bool LostBefore;
  };
  const TCase cases[] = {
      {"the area lost the icon", true},
      {"the area holds the icon already", false},
  };
  Application->SetMainForm(Form);
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.Name);
    ASSERT_TRUE(Tray->ShowIcon());
    if (c.LostBefore) {
      NOTIFYICONDATAA d{};
      d.hWnd = Tray->GetTrayWindow();
      d.uID = 1;
      ASSERT_TRUE(Shell_NotifyIconA(NIM_DELETE, &d));
    }
    SendMessageA(HWND_BROADCAST, RegisterWindowMessageA("TaskbarCreated"), 0, 0);
    ASSERT_NE(nullptr, Shown());
    EXPECT_EQ(1u, GetTrayIcons().size());
    EXPECT_TRUE(Tray->HideIcon()) << "the icon knows it is shown";
    EXPECT_EQ(nullptr, Shown());
  }
}

TEST_F(SkinTrayIconTest, MinimisingToTheTrayHidesTheFormOnlyWhenTheIconIsShown)
{
  Application->SetMainForm(Form);
  Tray->MinimizeToTray = true;
  SetTrayAvailable(false);
  Form->Perform(WM_SIZE, SIZE_MINIMIZED, 0);
  EXPECT_TRUE(Form->GetVisible()) << "without a notification area the form is kept";
  EXPECT_EQ(nullptr, Shown());
  SetTrayAvailable(true);
  SendMessageA(Form->GetHandle(), WM_SIZE, SIZE_MINIMIZED, 0);
  EXPECT_FALSE(Form->GetVisible());
  EXPECT_NE(nullptr, Shown());
  Tray->RestoreMainForm();
  EXPECT_TRUE(Form->GetVisible());
  Application->SetMainForm(nullptr);
}

} // namespace
