// Handlers that free what called them: a menu item whose OnClick deletes the item (or its whole
// menu), and an application message filter that replaces itself while it runs.
#include <gtest/gtest.h>

#include "platform/vcl/Forms.h"
#include "platform/vcl/Menus.h"
#include "tests/platform/vcl/VclTestSupport.h"

namespace {

class MenuHandlerLifetimeTest : public TVclWindowTest {};

TEST_F(MenuHandlerLifetimeTest, AnItemMayDeleteItsMenuFromItsOwnClick)
{
  auto* menu = new TPopupMenu(nullptr);
  auto* item = new TMenuItem(menu);
  int clicks = 0;
  item->OnClick = [menu, &clicks](TObject*) {
    ++clicks;
    delete menu;
  };
  menu->GetItems()->Add(item);
  EXPECT_TRUE(menu->DispatchCommand(item->GetCommand()));
  EXPECT_EQ(1, clicks);
}

TEST_F(MenuHandlerLifetimeTest, AMessageFilterMayReplaceItselfWhileItRuns)
{
  std::vector<String> seen;
  Application->OnMessage = [&seen](MSG& Msg, bool&) {
    if (Msg.message != WM_USER + 7)
      return;
    seen.push_back("first");
    Application->OnMessage = [&seen](MSG& M, bool&) {
      if (M.message == WM_USER + 7)
        seen.push_back("second");
    };
  };
  auto* form = new TForm(nullptr);
  Owned.push_back(form);
  PostMessageA(form->GetHandle(), WM_USER + 7, 0, 0);
  PostMessageA(form->GetHandle(), WM_USER + 7, 0, 0);
  Application->ProcessMessages();
  EXPECT_EQ((std::vector<String>{"first", "second"}), seen);
}

} // namespace
