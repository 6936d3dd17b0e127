// Typing into the skinned edits on a real X server (Xvfb) through the X11 backend, the keys
// played with XTest as a user would press them.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <functional>

#include "platform/display/X11Display.h"
#include "platform/vcl/Forms.h"
#include "skin/input/SkinEdit.h"
#include "skin/input/SkinSpinEdit.h"
#include "tests/platform/display/XvfbServer.h"
#include "tests/skin/support/SkinTestSupport.h"
#include "tests/skin/input/XTestKeys.h"

namespace {

constexpr const char* ServerVariable = "QV_SKIN_EDIT_X11";

// Pumps the program's messages until Done holds (at most 3 s).
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

// The part that runs in the child process, on the X server named by the environment.
void TypeIntoEdits(const char* Server)
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
  auto* edit = new TskSkinEdit(form);
  edit->SetParent(form);
  edit->SetBounds(10, 10, 200, 20);
  edit->SetSkinData(skin);
  edit->SetText("");
  auto* spin = new TskSkinSpinEdit(form);
  spin->SetParent(form);
  spin->SetBounds(10, 50, 100, 20);
  spin->SetSkinData(skin);
  spin->SetMaxValue(20);
  int changes = 0;
  spin->OnChange = [&](TObject*) { ++changes; };
  form->Show();
  edit->SetFocus();
  ASSERT_TRUE(PumpUntil(display, [&] { return edit->Focused(); }));

  keys.Key("a");
  keys.Key("b", true);
  keys.Key("slash");
  keys.Key("1");
  EXPECT_TRUE(PumpUntil(display, [&] { return edit->GetText() == "aB/1"; })) << edit->GetText();
  keys.Key("BackSpace");
  keys.Key("Return");
  EXPECT_TRUE(PumpUntil(display, [&] { return edit->GetText() == "aB/"; })) << edit->GetText();

  spin->GetEdit()->SetFocus();
  ASSERT_TRUE(PumpUntil(display, [&] { return spin->GetEdit()->Focused(); }));
  keys.Key("2");
  keys.Key("x");  // filtered out
  keys.Key("5");
  EXPECT_TRUE(PumpUntil(display, [&] { return spin->GetValue() == 20; })) << spin->GetValue();
  EXPECT_EQ(spin->GetEdit()->GetText(), "20") << "25 cannot be reached: the maximum is shown";
  keys.Key("Down");
  EXPECT_TRUE(PumpUntil(display, [&] { return spin->GetValue() == 19; })) << spin->GetValue();
  EXPECT_GE(changes, 3);

  delete form;
  delete holder;
  Application->ProcessMessages();
}

TEST(SkinEditX11, KeysTypedOnTheXServerReachTheEditsAndTheSpinEditsRules)
{
  if (const char* server = std::getenv(ServerVariable)) {
    TypeIntoEdits(server);
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
    execl("/proc/self/exe", "skin_edit_x11",
          "--gtest_filter=SkinEditX11.KeysTypedOnTheXServerReachTheEditsAndTheSpinEditsRules", nullptr);
    _exit(127);
  }
  int status = 0;
  ASSERT_EQ(pid, waitpid(pid, &status, 0));
  ASSERT_TRUE(WIFEXITED(status));
  EXPECT_EQ(0, WEXITSTATUS(status)) << "the run on the X server failed";
}

} // namespace
