// Skinned menus on a real X server (a private Xvfb, in a child process with its own display
// backend): a level is a separate override-redirect window that holds the pointer grab, a click
// on an entry chooses it, and a click outside the menu closes it.
#include "platform/display/X11Display.h"
#include "platform/rtl/Convert.h"
#include "skin/input/SkinMenu.h"
#include "tests/support/X11Probe.h"
#include "tests/support/XvfbChildRun.h"

#include <gtest/gtest.h>

namespace {

struct TX11Run {
  TDisplayBackend* Backend = nullptr;
  TForm* Form = nullptr;
  TskSkinMenuHost* Host = nullptr;
  TskSkinPopupMenu* Menu = nullptr;
  std::vector<String> Log;

  void Pump(int N = 20) { PumpDisplay(Backend, N); }
};

void RunOnServer(const char* Server, TDisplayBackend* Display)
{
  TX11Run run;
  run.Backend = Display;
  TX11Probe x(Server);
  ASSERT_TRUE(x.Connected());

  run.Form = new TForm(nullptr);
  run.Form->SetBorderStyle(bsNone);
  run.Form->SetBounds(0, 0, 400, 300);
  run.Host = new TskSkinMenuHost(run.Form);
  run.Menu = new TskSkinPopupMenu(run.Form);
  for (const char* caption : {"First", "Second", "Third"}) {
    auto* item = new TMenuItem(run.Menu);
    item->SetCaption(caption);
    item->OnClick = [&run, caption](TObject*) { run.Log.push_back(String("click ") + caption); };
    run.Menu->GetItems()->Add(item);
  }
  run.Form->Show();
  run.Pump();

  // Opened: a window of its own, override-redirect, holding the pointer.
  run.Menu->Popup(50, 40);
  run.Pump();
  TskSkinMenu* manager = run.Host->GetSkinMenu();
  ASSERT_EQ(1, manager->LevelCount());
  TskSkinPopupWindow* level = manager->LastLevel();
  const std::uint64_t xid = run.Backend->NativeId(GetDisplayWindow(level->GetHandle()));
  ASSERT_NE(0u, xid);
  EXPECT_NE(run.Backend->NativeId(GetDisplayWindow(run.Form->GetHandle())), xid);
  EXPECT_TRUE(x.OverrideRedirect(xid));
  EXPECT_TRUE(x.Viewable(xid));
  EXPECT_TRUE(x.PointerGrabbedElsewhere()) << "the menu holds the pointer";

  // A click on the second entry chooses it.
  const TRect second = level->Item(1)->ObjectRect;
  x.MoveTo(level->GetLeft() + second.left + 20, level->GetTop() + second.top + 5);
  run.Pump(20);
  x.Click(1);
  run.Pump(20);
  EXPECT_EQ((std::vector<String>{"click Second"}), run.Log);
  EXPECT_FALSE(manager->Visible);
  EXPECT_EQ(0, manager->PendingFreeCount());

  // Opened again, a click outside closes it and lets the pointer go.
  run.Menu->Popup(50, 40);
  run.Pump();
  ASSERT_EQ(1, manager->LevelCount());
  x.MoveTo(350, 250);
  x.Click(1);
  run.Pump(20);
  EXPECT_FALSE(manager->Visible);
  EXPECT_EQ(0, manager->LevelCount());
  EXPECT_EQ(1u, run.Log.size()) << "nothing chosen";
  EXPECT_FALSE(x.PointerGrabbedElsewhere()) << "the grab went with the menu";
  delete run.Form;
  Application->ProcessMessages();
}

TEST(SkinMenuX11, ALevelIsAnOverrideRedirectWindowThatGrabsThePointerAndClosesOnAClickOutside)
{
  if (RunOnXvfbChild("QV_SKIN_MENU_X11_GRAB", RunOnServer, false) == TXvfbChild::NoServer)
    GTEST_SKIP() << "Xvfb is not available";
}

} // namespace
