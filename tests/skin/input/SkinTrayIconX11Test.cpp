// The tray icon on a real X server (Xvfb) through the X11 backend: without a notification area
// the icon cannot be shown; once our own small tray manager (tests/tools/qv_traymanager) starts
// the icon docks through the system tray protocol, draws its icon, shows its hint while the pointer
// rests on it, reports clicks and opens its menu on the right button, and leaves the tray when
// hidden.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <functional>
#include <string>

#include "platform/display/X11Display.h"
#include "platform/vcl/Forms.h"
#include "skin/input/SkinTrayIcon.h"
#include "tests/platform/display/XvfbServer.h"
#include "tests/skin/support/SkinTestSupport.h"
#include "tests/support/LineChild.h"

namespace {

constexpr const char* ServerVariable = "QV_SKIN_TRAY_X11";

bool PumpUntil(TDisplayBackend* Backend, const std::function<bool()>& Done, int Ms = 3000)
{
  for (int i = 0; i < Ms / 10; ++i) {
    Application->ProcessMessages();
    Backend->Flush();
    if (Done())
      return true;
    usleep(10000);
  }
  return false;
}

// The tray manager as a child process, spoken to through its standard input and output.
class TTrayManager {
public:
  bool Start(const char* Server) { return Child.Start("qv_traymanager", {{"DISPLAY", Server}}); }
  // Ends the manager with Signal (SIGKILL: a crash) and waits for it.
  void Stop(int Signal) { Child.Stop(Signal); }
  // The next line, pumping the program's messages meanwhile; empty after Ms without one.
  std::string Line(TDisplayBackend* Backend, int Ms = 3000) { return Child.Line(Pump(Backend), Ms); }
  // Sends a command and answers its reply ("ok", "pixel ...", "error ...").
  std::string Ask(TDisplayBackend* Backend, const std::string& Command) { return Child.Ask(Pump(Backend), Command); }

private:
  static std::function<void()> Pump(TDisplayBackend* Backend)
  {
    return [Backend] {
      Application->ProcessMessages();
      Backend->Flush();
    };
  }
  TLineChild Child;
};

// A tray icon that counts how often it is shown (the answer to "TaskbarCreated" shows it).
class TCountingTrayIcon : public TskTrayIcon {
public:
  using TskTrayIcon::TskTrayIcon;
  bool ShowIcon() override
  {
    ++Shows;
    return TskTrayIcon::ShowIcon();
  }
  int Shows = 0;
};

void DockTheIcon(const char* Server)
{
  String error;
  std::unique_ptr<TDisplayBackend> backend = CreateX11Display(Server, error);
  ASSERT_TRUE(backend) << error;
  TDisplayBackend* display = backend.get();
  SetDisplayBackend(std::move(backend));

  auto* form = new TForm(nullptr);
  form->SetBounds(300, 200, 200, 100);
  auto* tray = new TskTrayIcon(form);
  auto red = SolidPicture(16, 16, clRed);
  TIcon icon;
  icon.AssignBitmap(red.get(), clBlack);
  tray->SetIcon(&icon);
  tray->SetHint("Converting 42%");

  // No notification area runs: the icon cannot be shown.
  tray->SetIconVisible(true);
  EXPECT_TRUE(GetTrayIcons().empty()) << "without a tray there is no icon";

  // A tray starts: it tells the program ("TaskbarCreated") and the icon, still meant to be
  // visible, docks in it.
  TTrayManager manager;
  ASSERT_TRUE(manager.Start(Server));
  ASSERT_EQ(manager.Line(display), "ready");
  const std::string docked = manager.Line(display);
  ASSERT_EQ(docked.rfind("docked ", 0), 0u) << docked;
  ASSERT_EQ(GetTrayIcons().size(), 1u);
  HWND iconWindow = GetTrayIcons()[0].Docked;
  ASSERT_NE(iconWindow, nullptr);
  PumpUntil(display, [] { return false; }, 300);
  EXPECT_EQ(manager.Ask(display, "pixel"), "pixel ff0000") << "the docked window draws the icon";

  // The hint shows while the pointer rests on the icon.
  EXPECT_EQ(manager.Ask(display, "hover"), "ok");
  EXPECT_TRUE(PumpUntil(display, [] {
    HWND tip = FindWindowA("QvTrayTipWindow", nullptr);
    return tip && IsWindowVisible(tip);
  })) << "the hint appears";
  char text[64] = {};
  GetWindowTextA(FindWindowA("QvTrayTipWindow", nullptr), text, sizeof text);
  EXPECT_STREQ(text, "Converting 42%");

  // A left click: the press at once, the click one double-click time later.
  int downs = 0, clicks = 0;
  tray->OnMouseDown = [&](TObject*, TMouseButton Button, TShiftState, int, int) {
    if (Button == mbLeft)
      ++downs;
  };
  tray->OnClick = [&](TObject*) { ++clicks; };
  EXPECT_EQ(manager.Ask(display, "click 1 1"), "ok");
  EXPECT_TRUE(PumpUntil(display, [&] { return downs == 1 && clicks == 1; })) << downs << " " << clicks;

  // The right button opens the menu at the pointer.
  auto* menu = new TskSkinPopupMenu(form);
  auto* item = new TMenuItem(menu);
  item->SetCaption("Restore");
  menu->GetItems()->Add(item);
  tray->SetPopupMenu(menu);
  int popups = 0;
  menu->OnPopup = [&](TObject*) { ++popups; };
  EXPECT_EQ(manager.Ask(display, "click 3 1"), "ok");
  EXPECT_TRUE(PumpUntil(display, [&] { return popups == 1; })) << "the menu opens";

  // Hidden, the icon leaves the tray.
  tray->SetIconVisible(false);
  std::string gone = manager.Line(display);
  while (gone == "ok")
    gone = manager.Line(display);
  EXPECT_EQ(gone, "gone " + docked.substr(7));
  EXPECT_TRUE(GetTrayIcons().empty());

  delete form;
  Application->ProcessMessages();
}

// The tray manager crashes and a new one starts: the icon window the dead tray took down with
// it is destroyed and leaves the icon model, the new tray announces itself, the icon is told
// "TaskbarCreated" once and docks in the new tray, drawn as before.
void DockAgainAfterTheTrayRestarts(const char* Server)
{
  String error;
  std::unique_ptr<TDisplayBackend> backend = CreateX11Display(Server, error);
  ASSERT_TRUE(backend) << error;
  TDisplayBackend* display = backend.get();
  SetDisplayBackend(std::move(backend));

  auto* form = new TForm(nullptr);
  Application->SetMainForm(form);
  form->SetBounds(300, 200, 200, 100);
  auto* tray = new TCountingTrayIcon(form);
  auto red = SolidPicture(16, 16, clRed);
  TIcon icon;
  icon.AssignBitmap(red.get(), clBlack);
  tray->SetIcon(&icon);

  TTrayManager first;
  ASSERT_TRUE(first.Start(Server));
  ASSERT_EQ(first.Line(display), "ready");
  const std::string docked = first.Line(display);
  ASSERT_EQ(docked.rfind("docked ", 0), 0u) << docked;
  ASSERT_EQ(GetTrayIcons().size(), 1u);
  const HWND lost = GetTrayIcons()[0].Docked;
  ASSERT_TRUE(IsWindow(lost));
  PumpUntil(display, [] { return false; }, 200);
  tray->Shows = 0;

  first.Stop(SIGKILL);
  EXPECT_TRUE(PumpUntil(display, [&] { return !IsWindow(lost); }))
      << "the icon window that went with the dead tray is destroyed";
  EXPECT_TRUE(GetTrayIcons().empty()) << "the icon left the model with its tray";
  EXPECT_EQ(tray->Shows, 0) << "no tray runs: nothing to show the icon in";

  TTrayManager second;
  ASSERT_TRUE(second.Start(Server));
  ASSERT_EQ(second.Line(display), "ready");
  const std::string again = second.Line(display);
  ASSERT_EQ(again.rfind("docked ", 0), 0u) << "the icon docks in the new tray: " << again;
  PumpUntil(display, [] { return false; }, 300);
  EXPECT_EQ(tray->Shows, 1) << "\"TaskbarCreated\" reached the icon once";
  ASSERT_EQ(GetTrayIcons().size(), 1u);
  EXPECT_NE(GetTrayIcons()[0].Docked, lost);
  EXPECT_TRUE(IsWindow(GetTrayIcons()[0].Docked));
  EXPECT_TRUE(tray->GetIconVisible());
  EXPECT_EQ(second.Ask(display, "pixel"), "pixel ff0000") << "the new icon window draws the icon";

  // The icon knows it is shown: hiding it takes it out of the new tray.
  tray->SetIconVisible(false);
  std::string gone = second.Line(display);
  while (gone == "ok")
    gone = second.Line(display);
  EXPECT_EQ(gone, "gone " + again.substr(7));
  EXPECT_TRUE(GetTrayIcons().empty());

  delete form;
  Application->ProcessMessages();
}

// Runs Body in a child process that talks to the Xvfb server (the X11 backend stays out of
// this process).
void RunOnServer(const char* Test, void (*Body)(const char*))
{
  if (const char* server = std::getenv(ServerVariable)) {
    Body(server);
    return;
  }
  const std::string server = TXvfbServer::Display();
  if (server.empty())
    GTEST_SKIP() << "Xvfb is not available";
  const std::string filter = std::string("--gtest_filter=SkinTrayIconX11.") + Test;
  const pid_t pid = fork();
  ASSERT_GE(pid, 0);
  if (pid == 0) {
    setenv(ServerVariable, server.c_str(), 1);
    // The X11 tray is what is tested: no panel of the session bus may take the icon.
    unsetenv("DBUS_SESSION_BUS_ADDRESS");
    execl("/proc/self/exe", "skin_tray_x11", filter.c_str(), nullptr);
    _exit(127);
  }
  int status = 0;
  ASSERT_EQ(pid, waitpid(pid, &status, 0));
  ASSERT_TRUE(WIFEXITED(status));
  EXPECT_EQ(WEXITSTATUS(status), 0) << "the run on the X server failed";
}

TEST(SkinTrayIconX11, TheIconDocksInATrayManagerAndAnswersClicksHintAndMenu)
{
  RunOnServer("TheIconDocksInATrayManagerAndAnswersClicksHintAndMenu", DockTheIcon);
}

TEST(SkinTrayIconX11, TheIconDocksAgainWhenTheTrayManagerRestarts)
{
  RunOnServer("TheIconDocksAgainWhenTheTrayManagerRestarts", DockAgainAfterTheTrayRestarts);
}

} // namespace
