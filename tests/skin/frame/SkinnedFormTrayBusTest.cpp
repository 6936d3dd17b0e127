// "Minimize to tray" on a panel that shows its items over the session bus: a private
// dbus-daemon, the tests' own StatusNotifierWatcher (tests/tools/qv_sniwatcher) and a framed form
// on a private Xvfb. The icon becomes an item of the watcher with its pixels and tip, tells of
// changes, opens the skinned tray menu where the panel asks and restores the form on activation;
// it registers again with a watcher that restarts; without a watcher it docks in the X11 tray;
// when the bus ends it moves to the X11 tray, or, with no tray left, the form comes back.
#include <cstdlib>
#include <cstring>

#include "platform/win/WinUser.h"
#include "skin/input/SkinTrayIcon.h"
#include "tests/skin/frame/SkinFrameX11Support.h"
#include "tests/support/LineChild.h"
#include "tests/support/SessionBus.h"

namespace {

std::function<void()> Pumper(TDisplayBackend* Display)
{
  return [Display] {
    Application->ProcessMessages();
    Display->Flush();
  };
}

// A 16x16 icon: a square of Fill on a transparent (black) border of 4 pixels.
void MakeIcon(TIcon& Icon, TColor Fill)
{
  auto picture = SolidPicture(16, 16, clBlack);
  FillArea(picture.get(), Rect(4, 4, 12, 12), Fill);
  Icon.AssignBitmap(picture.get(), clBlack);
}

// The framed main form with a tray icon and the session bus of the test.
struct TTrayDesk {
  TBuiltinSkin Skin = TBuiltinSkin::bsFrame;
  TSessionBus Bus;
  TFramedWindow W;
  TskTrayIcon* Tray = nullptr;
  std::function<void()> Pump;

  explicit TTrayDesk(TDisplayBackend* Display) : W(Display, &Skin), Pump(Pumper(Display))
  {
    Application->SetMainForm(W.Form);
    Tray = new TskTrayIcon(W.Form);
    TIcon icon;
    MakeIcon(icon, clRed);
    Tray->SetIcon(&icon);
    Tray->SetHint("Converting \"a b\" 42%");
    W.Frame->SetTrayIcon(Tray);
    W.Form->Show();
    PumpDisplayUntil(W.Display, [&] { return IsWindowVisible(W.Form->GetHandle()) != FALSE; });
  }
  bool StartBus()
  {
    if (!Bus.Start())
      return false;
    setenv("DBUS_SESSION_BUS_ADDRESS", Bus.Address.c_str(), 1);
    return true;
  }
  bool FormHidden()
  {
    return PumpDisplayUntil(W.Display, [&] { return !W.Form->GetVisible(); });
  }
  bool FormShown()
  {
    return PumpDisplayUntil(W.Display, [&] { return W.Form->GetVisible() && IsWindowVisible(W.Form->GetHandle()); });
  }
};

constexpr char ItemPrefix[] = "registered org.kde.StatusNotifierItem-";

void ThePanelShowsTheIcon(const char*, TDisplayBackend* Display)
{
  TTrayDesk desk(Display);
  ASSERT_TRUE(desk.StartBus());
  TLineChild watcher;
  ASSERT_TRUE(watcher.Start("qv_sniwatcher"));
  ASSERT_EQ("ready", watcher.Line(desk.Pump));

  desk.W.Frame->MinimizeToTray();
  const std::string registered = watcher.Line(desk.Pump);
  ASSERT_EQ(0u, registered.rfind(ItemPrefix, 0)) << registered;
  EXPECT_TRUE(desk.FormHidden()) << "the icon took the form's place";
  ASSERT_EQ(1u, GetTrayIcons().size());
  EXPECT_FALSE(IsWindowVisible(GetTrayIcons()[0].Docked)) << "no window of ours docks anywhere";

  // What the panel reads and what a wrong call gets.
  struct {
    const char* Command;
    std::string Answer;
  } const reads[] = {
      {"get ToolTip", "tooltip Converting \"a b\" 42%"},
      {"get Title", "value Converting \"a b\" 42%"},
      {"get Status", "value Active"},
      {"get Category", "value ApplicationStatus"},
      {"get ItemIsMenu", "value false"},
      // The border shows through, the square is opaque red, at every size.
      {"get IconPixmap",
       "pixmaps 16x16:00000000:ffff0000 24x24:00000000:ffff0000 32x32:00000000:ffff0000 48x48:00000000:ffff0000"},
      {"get NoSuchProperty", "error org.freedesktop.DBus.Error.UnknownProperty"},
      {"badcall ContextMenu", "error org.freedesktop.DBus.Error.InvalidArgs"},
      {"badcall Activate", "error org.freedesktop.DBus.Error.InvalidArgs"},
  };
  for (const auto& r : reads)
    EXPECT_EQ(r.Answer, watcher.Ask(desk.Pump, r.Command)) << r.Command;
  EXPECT_FALSE(desk.W.Form->GetVisible()) << "a wrong call does nothing";

  // A new tip (a newline, a backslash, a byte that is not UTF-8) and a new picture are told.
  desk.Tray->SetHint("Line\nwith \\ and \xff byte");
  EXPECT_EQ("signal NewToolTip", watcher.Line(desk.Pump));
  EXPECT_EQ("signal NewTitle", watcher.Line(desk.Pump));
  EXPECT_EQ("tooltip Line\\nwith \\\\ and \xef\xbf\xbd byte", watcher.Ask(desk.Pump, "get ToolTip"))
      << "the tip went out as valid UTF-8 and nothing else was told";
  TIcon green;
  MakeIcon(green, clLime);
  desk.Tray->SetIcon(&green);
  EXPECT_EQ("signal NewIcon", watcher.Line(desk.Pump));
  const std::string pixmaps = watcher.Ask(desk.Pump, "get IconPixmap");
  EXPECT_EQ(0u, pixmaps.rfind("pixmaps 16x16:00000000:ff00ff00 ", 0)) << pixmaps;

  // The context menu is the form's skinned tray menu, opened where the panel asks.
  int popups = 0;
  desk.W.Frame->GetTrayMenu()->OnPopup = [&](TObject*) { ++popups; };
  EXPECT_EQ("ok", watcher.Ask(desk.Pump, "call ContextMenu 140 150"));
  ASSERT_TRUE(PumpDisplayUntil(Display, [&] { return popups == 1; })) << "the tray menu opens";
  EXPECT_EQ(TPoint(140, 150), desk.W.Frame->GetTrayMenu()->LastPopupPoint);
  desk.W.Frame->GetSkinMenu()->CloseMenu();
  desk.W.Pump(10);

  // The secondary activation is the middle button.
  int middles = 0;
  desk.Tray->OnMouseUp = [&](TObject*, TMouseButton Button, TShiftState, int X, int Y) {
    if (Button == mbMiddle && X == 30 && Y == 40)
      ++middles;
  };
  EXPECT_EQ("ok", watcher.Ask(desk.Pump, "call SecondaryActivate 30 40"));
  EXPECT_TRUE(PumpDisplayUntil(Display, [&] { return middles == 1; }));
  EXPECT_FALSE(desk.W.Form->GetVisible());

  // Activation restores the form; the icon then leaves the panel.
  EXPECT_EQ("ok", watcher.Ask(desk.Pump, "call Activate 5 5"));
  EXPECT_TRUE(desk.FormShown()) << "activation restored the form";
  EXPECT_EQ("gone " + registered.substr(std::strlen("registered ")), watcher.Line(desk.Pump));
  EXPECT_TRUE(GetTrayIcons().empty());
}

void TheIconFollowsTheWatcherAndOutlivesTheBus(const char* Server, TDisplayBackend* Display)
{
  TTrayDesk desk(Display);
  ASSERT_TRUE(desk.StartBus());
  TLineChild manager, watcher;
  ASSERT_TRUE(manager.Start("qv_traymanager", {{"DISPLAY", Server}}));
  ASSERT_EQ("ready", manager.Line(desk.Pump));
  ASSERT_TRUE(watcher.Start("qv_sniwatcher"));
  ASSERT_EQ("ready", watcher.Line(desk.Pump));

  desk.W.Frame->MinimizeToTray();
  const std::string registered = watcher.Line(desk.Pump);
  ASSERT_EQ(0u, registered.rfind(ItemPrefix, 0)) << registered;
  EXPECT_EQ("", manager.Line(desk.Pump, 300)) << "with a watcher the X11 tray gets nothing";
  EXPECT_TRUE(desk.FormHidden());

  // The panel crashes and comes back: the item registers with the new watcher.
  watcher.Stop(SIGKILL);
  desk.W.Pump(20);
  TLineChild second;
  ASSERT_TRUE(second.Start("qv_sniwatcher"));
  ASSERT_EQ("ready", second.Line(desk.Pump));
  EXPECT_EQ(registered, second.Line(desk.Pump)) << "registered again under the same name";
  EXPECT_EQ("value Active", second.Ask(desk.Pump, "get Status"));

  // The bus ends: the icon moves to the X11 tray, the form stays in the tray.
  ASSERT_EQ(1u, GetTrayIcons().size());
  const HWND item = GetTrayIcons()[0].Docked;
  desk.Bus.Stop(SIGKILL);
  const std::string docked = manager.Line(desk.Pump);
  EXPECT_EQ(0u, docked.rfind("docked ", 0)) << "the icon docks in the X11 tray: " << docked;
  EXPECT_FALSE(IsWindow(item)) << "the item is gone with its bus";
  ASSERT_EQ(1u, GetTrayIcons().size());
  EXPECT_TRUE(IsWindowVisible(GetTrayIcons()[0].Docked));
  EXPECT_FALSE(desk.W.Form->GetVisible());
  EXPECT_EQ("pixel ff0000", manager.Ask(desk.Pump, "pixel"));
}

void WithoutAWatcherAndAfterTheBus(const char* Server, TDisplayBackend* Display)
{
  TTrayDesk desk(Display);
  ASSERT_TRUE(desk.StartBus());
  TLineChild manager;
  ASSERT_TRUE(manager.Start("qv_traymanager", {{"DISPLAY", Server}}));
  ASSERT_EQ("ready", manager.Line(desk.Pump));

  // A bus without a watcher: the X11 tray takes the icon.
  desk.W.Frame->MinimizeToTray();
  const std::string docked = manager.Line(desk.Pump);
  EXPECT_EQ(0u, docked.rfind("docked ", 0)) << docked;
  EXPECT_TRUE(desk.FormHidden());
  desk.W.Frame->RestoreFromTray();
  EXPECT_TRUE(desk.FormShown());
  std::string gone = manager.Line(desk.Pump);
  while (gone == "ok")
    gone = manager.Line(desk.Pump);
  EXPECT_EQ("gone " + docked.substr(7), gone);
  manager.Stop(SIGTERM);

  // Only the panel holds the icon when the bus ends: with no tray left the form comes back
  // rather than staying hidden with nothing to restore it from.
  TLineChild watcher;
  ASSERT_TRUE(watcher.Start("qv_sniwatcher"));
  ASSERT_EQ("ready", watcher.Line(desk.Pump));
  desk.W.Frame->MinimizeToTray();
  EXPECT_EQ(0u, watcher.Line(desk.Pump).rfind(ItemPrefix, 0));
  EXPECT_TRUE(desk.FormHidden());
  desk.Bus.Stop(SIGKILL);
  EXPECT_TRUE(desk.FormShown()) << "the form came back";
  EXPECT_TRUE(GetTrayIcons().empty());

  // A later minimise to the tray, with neither bus nor tray, keeps the form (minimised).
  desk.W.Frame->MinimizeToTray();
  desk.W.Pump(20);
  EXPECT_TRUE(desk.W.Form->GetVisible());
}

void RunWithBus(const char* Variable, const TXvfbBody& Body)
{
  if (!std::getenv(Variable) && std::system("command -v dbus-daemon >/dev/null 2>&1") != 0)
    GTEST_SKIP() << "dbus-daemon is not installed: no session bus to test the panel's tray with";
  if (RunOnXvfbChild(Variable, Body) == TXvfbChild::NoServer)
    GTEST_SKIP() << "Xvfb is not available";
}

TEST(SkinnedFormTrayBus, ThePanelShowsTheIconItsTipAndMenuAndActivationRestores)
{
  RunWithBus("QV_TRAY_BUS_PANEL", ThePanelShowsTheIcon);
}

TEST(SkinnedFormTrayBus, TheIconRegistersWithARestartedWatcherAndMovesToTheX11TrayWhenTheBusEnds)
{
  RunWithBus("QV_TRAY_BUS_RESTART", TheIconFollowsTheWatcherAndOutlivesTheBus);
}

TEST(SkinnedFormTrayBus, WithoutAWatcherTheX11TrayAndWithNoTrayLeftTheFormComesBack)
{
  RunWithBus("QV_TRAY_BUS_FALLBACK", WithoutAWatcherAndAfterTheBus);
}

} // namespace
