// Typing into the skinned combo boxes on a real X server (Xvfb) through the X11 backend, the keys
// played with XTest: completion in edit style, stepping and opening the list in fixed style.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <functional>

#include "platform/display/X11Display.h"
#include "platform/vcl/Forms.h"
#include "skin/input/SkinComboBox.h"
#include "tests/platform/display/XvfbServer.h"
#include "tests/skin/input/XTestKeys.h"
#include "tests/skin/support/SkinTestSupport.h"

namespace {

constexpr const char* ServerVariable = "QV_SKIN_COMBO_X11";

bool PumpUntil(TDisplayBackend* Backend, const std::function<bool()>& Done)
{
  for (int i = 0; i < 300; ++i) {
    Application->ProcessMessages();
    Backend->Flush();
    if (Done())
      return true;
    usleep(10000);
  }
  return false;
}

void TypeIntoCombos(const char* Server)
{
  String error;
  std::unique_ptr<TDisplayBackend> backend = CreateX11Display(Server, error);
  ASSERT_TRUE(backend) << error;
  TDisplayBackend* display = backend.get();
  SetDisplayBackend(std::move(backend));
  TXTestKeys keys(Server);
  ASSERT_TRUE(keys.Ok());

  auto* holder = new TComponent(nullptr);
  TskSkinData* skin = BuiltinSkinData(holder, TBuiltinSkin::bsControls);
  auto* form = new TForm(nullptr);
  form->SetBorderStyle(bsNone);
  form->SetBounds(40, 40, 300, 120);
  auto* edit = new TskSkinComboBox(form);
  edit->SetParent(form);
  edit->SetBounds(10, 10, 200, 20);
  edit->SetSkinData(skin);
  edit->GetItems()->Add("Mono");
  edit->GetItems()->Add("Stereo");
  edit->SetStyle(spcbEditStyle);
  auto* fixed = new TskSkinComboBox(form);
  fixed->SetParent(form);
  fixed->SetBounds(10, 50, 200, 20);
  fixed->SetSkinData(skin);
  for (const char* s : {"Apple", "Nokia", "Sony"})
    fixed->GetItems()->Add(s);
  fixed->SetItemIndex(0);
  form->Show();
  edit->GetEdit()->SetFocus();
  ASSERT_TRUE(PumpUntil(display, [&] { return edit->GetEdit()->Focused(); }));

  keys.Key("s", true);
  EXPECT_TRUE(PumpUntil(display, [&] { return edit->GetText() == "Stereo"; })) << edit->GetText();
  EXPECT_EQ(edit->GetItemIndex(), 1);
  keys.Key("t");  // replaces the completed tail
  keys.Key("BackSpace");
  EXPECT_TRUE(PumpUntil(display, [&] { return edit->GetEdit()->GetText() == "S"; })) << edit->GetEdit()->GetText();

  fixed->SetFocus();
  ASSERT_TRUE(PumpUntil(display, [&] { return fixed->Focused(); }));
  keys.Key("Down");
  EXPECT_TRUE(PumpUntil(display, [&] { return fixed->GetItemIndex() == 1; })) << fixed->GetItemIndex();
  keys.Key("s");
  EXPECT_TRUE(PumpUntil(display, [&] { return fixed->GetText() == "Sony"; })) << fixed->GetText();
  fixed->DropDown();
  EXPECT_TRUE(PumpUntil(display, [&] { return fixed->GetListBox()->GetVisible(); }));
  keys.Key("Escape");
  EXPECT_TRUE(PumpUntil(display, [&] { return !fixed->GetListBox()->GetVisible(); }));

  delete form;
  delete holder;
  Application->ProcessMessages();
}

TEST(SkinComboX11, KeysTypedOnTheXServerCompleteAndStepTheCombos)
{
  if (const char* server = std::getenv(ServerVariable)) {
    TypeIntoCombos(server);
    return;
  }
  const std::string server = TXvfbServer::Display();
  if (server.empty())
    GTEST_SKIP() << "Xvfb is not available";
  const pid_t pid = fork();
  ASSERT_GE(pid, 0);
  if (pid == 0) {
    setenv(ServerVariable, server.c_str(), 1);
    const int devnull = open("/dev/null", O_WRONLY);
    if (devnull >= 0)
      dup2(devnull, 1);
    execl("/proc/self/exe", "skin_combo_x11", "--gtest_filter=SkinComboX11.KeysTypedOnTheXServerCompleteAndStepTheCombos",
          nullptr);
    _exit(127);
  }
  int status = 0;
  ASSERT_EQ(pid, waitpid(pid, &status, 0));
  ASSERT_TRUE(WIFEXITED(status));
  EXPECT_EQ(0, WEXITSTATUS(status)) << "the run on the X server failed";
}

} // namespace
