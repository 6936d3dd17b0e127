// Typing into the skinned combo boxes on a real X server (Xvfb) through the X11 backend, the keys
// played with XTest: completion in edit style, stepping and opening the list in fixed style.
#include <gtest/gtest.h>

#include "skin/input/SkinComboBox.h"
#include "tests/skin/input/XTestKeys.h"
#include "tests/skin/support/SkinTestSupport.h"
#include "tests/support/XvfbChildRun.h"

namespace {

constexpr const char* ServerVariable = "QV_SKIN_COMBO_X11";

void TypeIntoCombos(const char* Server, TDisplayBackend* Display)
{
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
  ASSERT_TRUE(PumpDisplayUntil(Display, [&] { return edit->GetEdit()->Focused(); }));

  keys.Key("s", true);
  EXPECT_TRUE(PumpDisplayUntil(Display, [&] { return edit->GetText() == "Stereo"; })) << edit->GetText();
  EXPECT_EQ(edit->GetItemIndex(), 1);
  keys.Key("t");  // replaces the completed tail
  keys.Key("BackSpace");
  EXPECT_TRUE(PumpDisplayUntil(Display, [&] { return edit->GetEdit()->GetText() == "S"; })) << edit->GetEdit()->GetText();

  fixed->SetFocus();
  ASSERT_TRUE(PumpDisplayUntil(Display, [&] { return fixed->Focused(); }));
  keys.Key("Down");
  EXPECT_TRUE(PumpDisplayUntil(Display, [&] { return fixed->GetItemIndex() == 1; })) << fixed->GetItemIndex();
  keys.Key("s");
  EXPECT_TRUE(PumpDisplayUntil(Display, [&] { return fixed->GetText() == "Sony"; })) << fixed->GetText();
  fixed->DropDown();
  EXPECT_TRUE(PumpDisplayUntil(Display, [&] { return fixed->GetListBox()->GetVisible(); }));
  keys.Key("Escape");
  EXPECT_TRUE(PumpDisplayUntil(Display, [&] { return !fixed->GetListBox()->GetVisible(); }));

  delete form;
  delete holder;
  Application->ProcessMessages();
}

TEST(SkinComboX11, KeysTypedOnTheXServerCompleteAndStepTheCombos)
{
  if (RunOnXvfbChild(ServerVariable, TypeIntoCombos) == TXvfbChild::NoServer)
    GTEST_SKIP() << "Xvfb is not available";
}

} // namespace
