// Window states of skinned forms on the headless display: maximise to the monitor's work area,
// restore, minimise (through the application for the main form, to caption strips for the
// others), first-show placement, magnetic snapping, roll-up and minimise to the tray; the
// system and tray menus and their shortcuts; the lookups and the inactive-client veil.
#include "platform/vcl/ExtCtrls.h"
#include "platform/win/WinUser.h"
#include "skin/foundation/SkinDrawUtils.h"
#include "skin/foundation/SkinStrings.h"
#include "skin/frame/SkinFormLookup.h"
#include "skin/input/SkinTrayIcon.h"
#include "tests/skin/frame/SkinFrameTestSupport.h"

namespace {

class TSkinStatesTest : public TSkinFrameTest {
protected:
  void TearDown() override
  {
    Application->SetMainForm(nullptr);
    SetTrayAvailable(true);
    TSkinFrameTest::TearDown();
  }
  TskSkinnedForm* Shown(TskSkinData* Skin, int W = 400, int H = 300)
  {
    TskSkinnedForm* frame = FramedForm(Skin, W, H);
    frame->OwnerForm()->Show();
    Pump();
    return frame;
  }
  // Captions of the visible items of a menu root, "-" for a separator.
  static std::vector<String> Captions(TMenuItem* Root)
  {
    std::vector<String> out;
    for (int i = 0; i < Root->GetCount(); ++i)
      out.push_back(Root->GetItem(i)->GetCaption());
    return out;
  }
};

} // namespace

TEST_F(TSkinStatesTest, MaximiseFillsTheMonitorsWorkAreaAndRestoreReturns)
{
  struct TCase {
    const char* Name;
    RECT Monitor, Work;
    bool FullScreen;
    TRect Expected;
  };
  const TCase cases[] = {
      {"work area with a panel", {0, 0, 1280, 1024}, {0, 0, 1280, 1000}, false, {0, 0, 1280, 1000}},
      {"auto-hidden panel leaves a one-pixel edge", {0, 0, 1280, 1024}, {0, 0, 1280, 1024}, false, {1, 1, 1279, 1023}},
      {"full screen covers the monitor", {0, 0, 1280, 1024}, {0, 0, 1280, 1000}, true, {0, 0, 1280, 1024}},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.Name);
    Display()->SetMonitors({TDisplayMonitor{c.Monitor, c.Work, true}});
    TskSkinnedForm* frame = Shown(FrameSkin());
    frame->MaximizeOnFullScreen = c.FullScreen;
    int maximised = 0, restored = 0;
    frame->OnMaximize = [&](TObject*) { ++maximised; };
    frame->OnRestore = [&](TObject*) { ++restored; };
    const TRect before = frame->OwnerForm()->GetBoundsRect();
    frame->SetSkinWindowState(wsMaximized);
    EXPECT_EQ(c.Expected, frame->OwnerForm()->GetBoundsRect());
    EXPECT_EQ(wsNormal, frame->OwnerForm()->GetWindowState()) << "the form itself stays normal";
    EXPECT_EQ(before, frame->GetSavedBounds());
    frame->SetSkinWindowState(wsNormal);
    EXPECT_EQ(before, frame->OwnerForm()->GetBoundsRect());
    EXPECT_TRUE(IsNullRect(frame->GetSavedBounds()));
    EXPECT_EQ(1, maximised);
    EXPECT_EQ(1, restored);
  }
}

TEST_F(TSkinStatesTest, MaximiseOnTheSecondMonitorUsesItsWorkArea)
{
  Display()->SetMonitors({TDisplayMonitor{RECT{0, 0, 1280, 1024}, RECT{0, 0, 1280, 1000}, true},
                          TDisplayMonitor{RECT{1280, 0, 2560, 1024}, RECT{1280, 30, 2560, 1024}, false}});
  TskSkinnedForm* frame = Shown(FrameSkin());
  frame->OwnerForm()->SetBounds(1500, 200, 400, 300);
  Pump();
  frame->SetSkinWindowState(wsMaximized);
  EXPECT_EQ(TRect(1280, 30, 2560, 1024), frame->OwnerForm()->GetBoundsRect());
}

TEST_F(TSkinStatesTest, MainFormMinimisesThroughTheApplication)
{
  TskSkinnedForm* frame = Shown(FrameSkin());
  Application->SetMainForm(frame->OwnerForm());
  int formEvents = 0, appEvents = 0;
  frame->OnMinimize = [&](TObject*) { ++formEvents; };
  Application->OnMinimize = [&](TObject*) { ++appEvents; };
  frame->SetSkinWindowState(wsMinimized);
  Application->OnMinimize = nullptr;
  EXPECT_EQ(wsNormal, frame->GetSkinWindowState()) << "the main form's own state does not change";
  EXPECT_TRUE(IsIconic(frame->OwnerForm()->GetHandle()));
  EXPECT_EQ(1, formEvents);
  EXPECT_EQ(1, appEvents);
  Application->Restore();
  EXPECT_FALSE(IsIconic(frame->OwnerForm()->GetHandle()));
}

TEST_F(TSkinStatesTest, SecondaryFormsMinimiseToCaptionStripsInARow)
{
  TskSkinData* skin = FrameSkin();
  std::vector<TskSkinnedForm*> frames;
  for (int i = 0; i < 3; ++i)
    frames.push_back(Shown(skin));
  const int m = frames[0]->GetEffectiveMinWidth();
  for (int i = 0; i < 3; ++i) {
    frames[static_cast<std::size_t>(i)]->SetSkinWindowState(wsMinimized);
    TForm* f = frames[static_cast<std::size_t>(i)]->OwnerForm();
    const int n = frames[static_cast<std::size_t>(i)]->GetEffectiveMinHeight();
    EXPECT_EQ(i * m, f->GetLeft()) << i;
    EXPECT_EQ(1000 - n, f->GetTop()) << i;
    EXPECT_EQ(m, f->GetWidth());
    EXPECT_EQ(n, f->GetHeight());
  }
  frames[1]->SetSkinWindowState(wsNormal);
  EXPECT_EQ(TRect(100, 100, 500, 400), frames[1]->OwnerForm()->GetBoundsRect());
}

TEST_F(TSkinStatesTest, FirstShowCentresOnTheMonitor)
{
  struct TCase {
    const char* Name;
    TskPositionInMonitor Position;
    TPoint Expected;
  };
  const TCase cases[] = {{"default keeps its place", sppDefault, {100, 100}},
                         {"screen centre", sppScreenCenter, {640 - 200, 512 - 150}},
                         {"desktop centre", sppDesktopCenter, {640 - 200, 500 - 150}}};
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.Name);
    TskSkinnedForm* frame = FramedForm(FrameSkin(), 401, 301);
    frame->PositionInMonitor = c.Position;
    frame->OwnerForm()->Show();
    Pump();
    EXPECT_EQ(c.Expected.x, frame->OwnerForm()->GetLeft());
    EXPECT_EQ(c.Expected.y, frame->OwnerForm()->GetTop());
    EXPECT_FALSE(frame->GetFirstShowPending());
  }
}

TEST_F(TSkinStatesTest, FormFirstShownMaximisedIsCentredOnItsFirstRestore)
{
  TskSkinnedForm* frame = FramedForm(FrameSkin(), 400, 300);
  frame->PositionInMonitor = sppScreenCenter;
  frame->OwnerForm()->HandleNeeded();
  frame->SetSkinWindowState(wsMaximized);
  frame->OwnerForm()->Show();
  Pump();
  EXPECT_TRUE(frame->GetFirstShowPending());
  frame->SetSkinWindowState(wsNormal);
  EXPECT_EQ(TRect(440, 362, 840, 662), frame->OwnerForm()->GetBoundsRect());
}

TEST_F(TSkinStatesTest, MagneticEdgesSnapAndLetGoWithTheCursor)
{
  TskSkinnedForm* frame = Shown(FrameSkin());
  frame->MagneticSize = 10;
  struct TStep {
    const char* Name;
    int Left, Top; // proposed
    int CursorX;
    int ExpectLeft;
  };
  // The cursor drags the form by its caption; the anchor is set where the edge snapped.
  const TStep steps[] = {
      {"9 pixels from the left edge jumps to it", 9, 300, 209, 0},
      {"cursor 10 pixels further keeps it there", 4, 300, 199, 0},
      {"cursor 11 pixels away lets go", 9, 300, 220, 11},
      {"far from the edge moves freely", 200, 300, 400, 200},
      {"right edge snaps too", 1280 - 400 - 5, 300, 900, 880},
  };
  frame->ClearMagnetSnaps();
  for (const TStep& s : steps) {
    SCOPED_TRACE(s.Name);
    SetCursorPos(s.CursorX, 310);
    int left = s.Left, top = s.Top;
    frame->MagnetPosition(left, top, 300, 400);
    EXPECT_EQ(s.ExpectLeft, left);
    EXPECT_EQ(s.Top, top);
  }
}

TEST_F(TSkinStatesTest, RollUpToTheCaptionAndDown)
{
  TskSkinnedForm* frame = Shown(FrameSkin());
  TForm* form = frame->OwnerForm();
  int events = 0;
  frame->OnChangeRollUpState = [&](TObject*) { ++events; };
  frame->SetBorderIcons(biSystemMenu);
  frame->SetRollUpState(true);
  EXPECT_FALSE(frame->GetRollUpState()) << "no roll-up button: refused";
  EXPECT_EQ(0, events);

  frame->SetBorderIcons(biSystemMenu | biRollUp | biMaximize);
  frame->SetRollUpState(true);
  EXPECT_TRUE(frame->GetRollUpState());
  const int frameHeight = frame->GetEffectiveMinHeight();
  EXPECT_EQ(frameHeight, form->GetHeight());
  frame->SetRollUpState(true);
  EXPECT_EQ(300, frame->GetRollUpHeight()) << "rolling up twice keeps the height to come back to";
  frame->SetRollUpState(false);
  EXPECT_EQ(300, form->GetHeight());
  EXPECT_EQ(2, events);

  frame->ClientHeight = 200;
  frame->SetRollUpState(true);
  frame->SetRollUpState(false);
  EXPECT_EQ(200, form->GetClientHeight()) << "the component's client height wins";
  frame->ClientHeight = 0;
}

TEST_F(TSkinStatesTest, RollUpAndMaximiseTogether)
{
  TskSkinnedForm* frame = Shown(FrameSkin());
  frame->SetBorderIcons(biSystemMenu | biRollUp | biMaximize);
  // Rolled up, then maximised: stays rolled up until restored, and after it.
  frame->SetRollUpState(true);
  frame->SetSkinWindowState(wsMaximized);
  frame->SetRollUpState(false);
  EXPECT_TRUE(frame->GetRollUpState()) << "cannot roll down while maximised";
  frame->SetSkinWindowState(wsNormal);
  EXPECT_TRUE(frame->GetRollUpState());
  frame->SetRollUpState(false);
  EXPECT_EQ(TRect(100, 100, 500, 400), frame->OwnerForm()->GetBoundsRect());

  // Maximised, then rolled up: the restore rolls it down.
  frame->SetSkinWindowState(wsMaximized);
  frame->SetRollUpState(true);
  EXPECT_TRUE(frame->GetMaxRollUpState());
  frame->SetSkinWindowState(wsNormal);
  EXPECT_FALSE(frame->GetRollUpState());
  EXPECT_EQ(TRect(100, 100, 500, 400), frame->OwnerForm()->GetBoundsRect());
}

TEST_F(TSkinStatesTest, MinimiseToTrayWithAndWithoutANotificationArea)
{
  TskSkinnedForm* frame = Shown(FrameSkin());
  TForm* form = frame->OwnerForm();
  Application->SetMainForm(form);
  int toTray = 0, fromTray = 0, appMinimised = 0;
  frame->OnMinimizeToTray = [&](TObject*) { ++toTray; };
  frame->OnRestoreFromTray = [&](TObject*) { ++fromTray; };
  Application->OnMinimize = [&](TObject*) { ++appMinimised; };
  frame->MinimizeToTray();
  EXPECT_EQ(0, toTray) << "no tray icon: nothing at all";
  EXPECT_EQ(0, appMinimised);
  EXPECT_FALSE(IsIconic(form->GetHandle()));

  auto* tray = new TskTrayIcon(form);
  frame->SetTrayIcon(tray);
  EXPECT_EQ(frame->GetTrayMenu(), tray->GetPopupMenu());
  EXPECT_FALSE(tray->GetIconVisible());

  SetTrayAvailable(false);
  frame->MinimizeToTray();
  Pump();
  EXPECT_TRUE(form->GetVisible()) << "without a notification area the window stays, minimised";
  EXPECT_TRUE(IsIconic(form->GetHandle()));
  Application->Restore();
  SetTrayAvailable(true);

  frame->MinimizeToTray();
  Pump();
  EXPECT_EQ(2, toTray);
  EXPECT_FALSE(form->GetVisible());
  ASSERT_TRUE(tray->OnDblClick);
  tray->OnDblClick(tray);
  Pump();
  EXPECT_EQ(1, fromTray);
  EXPECT_TRUE(form->GetVisible());
  EXPECT_FALSE(IsIconic(form->GetHandle()));
  EXPECT_FALSE(tray->MinimizeToTray);
  EXPECT_FALSE(tray->GetIconVisible()) << "hidden again unless AlwaysShowInTray";
  Application->OnMinimize = nullptr;
}

TEST_F(TSkinStatesTest, SystemMenuItemsFollowIconsAndState)
{
  struct TCase {
    const char* Name;
    TskBorderIcons Icons;
    int State; // 0 normal, 1 maximised, 2 rolled up
    std::vector<String> Expected;
  };
  const TCase cases[] = {
      {"system menu only", biSystemMenu, 0, {"&Close"}},
      {"no icons at all", 0, 0, {"&Close"}},
      {"the main window", biSystemMenu | biMinimize | biMaximize, 0, {"Mi&nimize", "Ma&ximize", "-", "&Close"}},
      {"maximised", biSystemMenu | biMinimize | biMaximize, 1, {"Mi&nimize", "&Restore", "-", "&Close"}},
      {"rolled up", biSystemMenu | biRollUp, 2, {"&Restore", "-", "&Close"}},
      {"every icon", biSystemMenu | biMinimize | biMaximize | biRollUp | biMinimizeToTray, 0,
       {"Mi&nimize", "Ma&ximize", "Ro&llUp", "Minimize to &Tray", "-", "&Close"}},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.Name);
    TskSkinnedForm* frame = Shown(FrameSkin());
    frame->SetBorderIcons(c.Icons | biRollUp);
    if (c.State == 1)
      frame->SetSkinWindowState(wsMaximized);
    if (c.State == 2)
      frame->SetRollUpState(true);
    frame->SetBorderIcons(c.Icons);
    EXPECT_EQ(c.Expected, Captions(frame->GetSystemMenuItems()));
  }
}

TEST_F(TSkinStatesTest, TheApplicationsSystemMenuGetsTheStandardItemsAroundItsOwn)
{
  TskSkinnedForm* frame = Shown(FrameSkin());
  frame->SetBorderIcons(biSystemMenu | biMinimize | biMaximize | biRollUp);
  auto* own = new TPopupMenu(frame->OwnerForm());
  auto* about = new TMenuItem(own);
  about->SetCaption("About");
  own->GetItems()->Add(about);
  frame->SetSystemMenu(own);
  const std::vector<String> expected = {"Mi&nimize", "Ma&ximize", "Ro&llUp", "About", "&Close"};
  EXPECT_EQ(expected, Captions(frame->GetSystemMenuItems()));
  EXPECT_EQ(expected, Captions(frame->GetSystemMenuItems())) << "refilled, not added twice";
  frame->UseDefaultSysMenu = false;
  frame->SetSystemMenu(nullptr);
  frame->SetSystemMenu(own);
}

TEST_F(TSkinStatesTest, StandardItemsActAndTheTrayMenuKeepsItsTexts)
{
  TskSkinData* skin = FrameSkin();
  auto* strings = new TskResourceStrData(Holder);
  strings->GetResStrings()->Clear();
  strings->GetResStrings()->Add("MI_MAXCAPTION=Groesser");
  strings->GetResStrings()->Add("MI_RESTORECAPTION=Zurueck");
  skin->SetResourceStrData(strings);
  TskSkinnedForm* frame = Shown(skin);
  frame->SetBorderIcons(biSystemMenu | biMaximize | biRollUp);
  TMenuItem* items = frame->GetSystemMenuItems();
  ASSERT_EQ("Groesser", items->GetItem(0)->GetCaption());
  items->GetItem(0)->Click();
  EXPECT_EQ(wsMaximized, frame->GetSkinWindowState());
  items = frame->GetSystemMenuItems();
  ASSERT_EQ("Zurueck", items->GetItem(0)->GetCaption());
  items->GetItem(0)->Click();
  EXPECT_EQ(wsNormal, frame->GetSkinWindowState());
  // A rolled-up normal form: Restore rolls it down.
  frame->SetRollUpState(true);
  items = frame->GetSystemMenuItems();
  for (int i = 0; i < items->GetCount(); ++i)
    if (items->GetItem(i)->GetName() == "SKF_RESTORE")
      items->GetItem(i)->Click();
  EXPECT_FALSE(frame->GetRollUpState());
  EXPECT_EQ((std::vector<String>{"&Restore", "-", "&Close"}), Captions(frame->GetTrayMenu()->GetItems()));
  TMenuItem* root = frame->GetSystemMenuItems();
  TMenuItem* close = root->GetItem(root->GetCount() - 1);
  EXPECT_EQ("SKF_CLOSE", close->GetName());
  EXPECT_EQ("", close->GetCaption()) << "a string table without the key gives an empty caption";
  EXPECT_EQ(TextToShortCut("Alt+F4"), close->GetShortCut());
}

TEST_F(TSkinStatesTest, AltSpaceAndTheCaptionsRightButtonOpenTheSystemMenu)
{
  TskSkinnedForm* frame = Shown(FrameSkin());
  TForm* form = frame->OwnerForm();
  TWMKey key;
  key.Msg = WM_SYSKEYDOWN;
  key.CharCode = VK_SPACE;
  key.KeyData = static_cast<LPARAM>(0x20000000); // Alt held
  bool handled = false;
  frame->FormShortCut(key, handled);
  EXPECT_TRUE(handled);
  ASSERT_TRUE(frame->GetSkinMenu()->Visible);
  EXPECT_TRUE(frame->GetMenuOpenFlag());
  // Under the system button.
  TskSkinPopupWindow* level = frame->GetSkinMenu()->LastLevel();
  ASSERT_NE(nullptr, level);
  for (TskActiveSkinObject* o : frame->Objects())
    if (auto* b = dynamic_cast<TskSkinStdButtonObject*>(o); b && b->Command == cmSysMenu) {
      EXPECT_EQ(form->GetLeft() + b->ObjectRect.left, level->GetLeft());
      EXPECT_EQ(form->GetTop() + b->ObjectRect.bottom, level->GetTop());
    }
  // The wheel does nothing while the menu is open; Escape closes it.
  MSG wheel{};
  wheel.message = WM_MOUSEWHEEL;
  bool swallowed = false;
  ASSERT_TRUE(Application->OnMessage);
  Application->OnMessage(wheel, swallowed);
  EXPECT_TRUE(swallowed);
  Display()->InjectKey(VK_ESCAPE, true);
  Display()->InjectKey(VK_ESCAPE, false);
  Application->ProcessMessages();
  EXPECT_FALSE(frame->GetSkinMenu()->Visible);
  EXPECT_FALSE(frame->GetMenuOpenFlag());

  frame->DisableSystemMenu = true;
  handled = false;
  frame->FormShortCut(key, handled);
  EXPECT_FALSE(frame->GetSkinMenu()->Visible) << "DisableSystemMenu";
  frame->DisableSystemMenu = false;

  // A right click on the caption.
  RECT w{};
  GetWindowRect(form->GetHandle(), &w);
  SendMessage(form->GetHandle(), WM_NCRBUTTONDOWN, HTCAPTION, MAKELPARAM(w.left + 150, w.top + 10));
  EXPECT_TRUE(frame->GetSkinMenu()->Visible);
  EXPECT_EQ(w.left + 150, frame->GetSkinMenu()->LastLevel()->GetLeft());
}

TEST_F(TSkinStatesTest, AFormDestroyedWhileItsMenuIsOpen)
{
  TskSkinnedForm* other = Shown(FrameSkin());
  auto* form = new TForm(nullptr);
  form->SetBounds(150, 150, 300, 200);
  auto* frame = new TskSkinnedForm(form);
  frame->SetSkinData(FrameSkin());
  form->Show();
  Pump();
  frame->PopupSystemMenu(200, 200);
  ASSERT_TRUE(frame->GetSkinMenu()->Visible);
  delete form;
  Pump();
  EXPECT_FALSE(Application->OnMessage) << "the application's messages are no longer taken";
  EXPECT_TRUE(IsWindow(other->OwnerForm()->GetHandle()));
}

TEST_F(TSkinStatesTest, LookupsAndTheFreeClientArea)
{
  TskSkinnedForm* frame = Shown(FrameSkin());
  TForm* form = frame->OwnerForm();
  auto* second = new TskSkinnedForm(form);
  EXPECT_EQ(frame, GetSkinnedForm(form)) << "the first of two";
  EXPECT_EQ(nullptr, GetSkinnedForm(nullptr));
  delete second;
  EXPECT_TRUE(IsNullRect(GetMainFormFreeClientRect())) << "no main form";
  Application->SetMainForm(form);
  auto panel = [&](TAlign Align, int Size) {
    auto* p = new TPanel(form);
    p->SetParent(form);
    p->SetAlign(Align);
    if (Align == alTop || Align == alBottom)
      p->SetHeight(Size);
    else
      p->SetWidth(Size);
  };
  panel(alTop, 30);
  panel(alBottom, 20);
  panel(alLeft, 40);
  panel(alRight, 10);
  const int cw = form->GetClientWidth(), ch = form->GetClientHeight();
  EXPECT_EQ(TRect(40, 30, cw - 10, ch - 20), GetMainFormFreeClientRect());
  EXPECT_EQ(nullptr, GetActiveMDIChildSkinForm());
  EXPECT_EQ(nullptr, GetMaximizedChildSkinForm());
}

TEST_F(TSkinStatesTest, InactiveClientVeil)
{
  TskSkinnedForm* frame = Shown(FrameSkin());
  frame->ClientInActiveEffect = true;
  frame->ClientInActiveEffectType = spieSemiTransparent;
  SendMessage(frame->OwnerForm()->GetHandle(), WM_NCACTIVATE, FALSE, 0);
  TskClientInActivePanel* panel = frame->GetClientInActivePanel();
  ASSERT_NE(nullptr, panel);
  EXPECT_TRUE(panel->GetVisible());
  EXPECT_EQ(frame->OwnerForm()->GetClientWidth(), panel->GetWidth());
  ASSERT_NE(nullptr, panel->GetSnapshot());
  EXPECT_EQ(frame->OwnerForm()->GetClientHeight(), panel->GetSnapshot()->GetHeight());
  SendMessage(frame->OwnerForm()->GetHandle(), WM_NCACTIVATE, TRUE, 0);
  EXPECT_EQ(nullptr, frame->GetClientInActivePanel());

  // Nothing for an invisible form.
  TskSkinnedForm* hidden = FramedForm(FrameSkin());
  hidden->ClientInActiveEffect = true;
  hidden->OwnerForm()->HandleNeeded();
  TskClientInActivePanel probe(nullptr);
  probe.ShowPanel(hidden->OwnerForm(), spieBlur);
  EXPECT_FALSE(probe.GetVisible());
  EXPECT_EQ(nullptr, probe.GetSnapshot());
}
