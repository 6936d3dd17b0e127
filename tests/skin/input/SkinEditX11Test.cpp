// Typing into the skinned edits on a real X server (Xvfb) through the X11 backend, the keys
// played with XTest as a user would press them.
#include <gtest/gtest.h>

#include "skin/input/SkinEdit.h"
#include "skin/input/SkinSpinEdit.h"
#include "tests/skin/support/SkinTestSupport.h"
#include "tests/skin/input/XTestKeys.h"
#include "tests/support/XvfbChildRun.h"

namespace {

constexpr const char* ServerVariable = "QV_SKIN_EDIT_X11";

// The part that runs in the child process, on the X server named by the environment.
void TypeIntoEdits(const char* Server, TDisplayBackend* Display)
{
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
  ASSERT_TRUE(PumpDisplayUntil(Display, [&] { return edit->Focused(); }));

  keys.Key("a");
  keys.Key("b", true);
  keys.Key("slash");
  keys.Key("1");
  EXPECT_TRUE(PumpDisplayUntil(Display, [&] { return edit->GetText() == "aB/1"; })) << edit->GetText();
  keys.Key("BackSpace");
  keys.Key("Return");
  EXPECT_TRUE(PumpDisplayUntil(Display, [&] { return edit->GetText() == "aB/"; })) << edit->GetText();

  spin->GetEdit()->SetFocus();
  ASSERT_TRUE(PumpDisplayUntil(Display, [&] { return spin->GetEdit()->Focused(); }));
  keys.Key("2");
  keys.Key("x");  // filtered out
  keys.Key("5");
  EXPECT_TRUE(PumpDisplayUntil(Display, [&] { return spin->GetValue() == 20; })) << spin->GetValue();
  EXPECT_EQ(spin->GetEdit()->GetText(), "20") << "25 cannot be reached: the maximum is shown";
  keys.Key("Down");
  EXPECT_TRUE(PumpDisplayUntil(Display, [&] { return spin->GetValue() == 19; })) << spin->GetValue();
  EXPECT_GE(changes, 3);

  delete form;
  delete holder;
  Application->ProcessMessages();
}

TEST(SkinEditX11, KeysTypedOnTheXServerReachTheEditsAndTheSpinEditsRules)
{
  if (RunOnXvfbChild(ServerVariable, TypeIntoEdits) == TXvfbChild::NoServer)
    GTEST_SKIP() << "Xvfb is not available";
}

} // namespace
