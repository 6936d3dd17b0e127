#include <gtest/gtest.h>

#include <set>

#include "platform/vcl/Bitmap.h"
#include "platform/vcl/Controls.h"
#include "platform/vcl/Menus.h"

namespace {

TEST(VclMenus, ShortCutTextRoundTrips) {
  struct TCase {
    Word Key;
    TShiftState Shift;
    const char* Text;
  } Cases[] = {
      {0x73, ssCtrl, "Ctrl+F4"},       {0x73, ssAlt, "Alt+F4"},
      {'A', ssShift | ssCtrl, "Shift+Ctrl+A"}, {0x08, ssAlt, "Alt+BkSp"},
      {0x2E, 0, "Del"},                {0x0D, ssCtrl, "Ctrl+Enter"},
      {0x21, 0, "PgUp"},               {0x28, ssShift, "Shift+Down"},
      {'5', ssCtrl | ssAlt, "Ctrl+Alt+5"}, {0x61, 0, "1"},
      {0x87, 0, "F24"},                {0x1B, 0, "Esc"},
      {0x20, ssCtrl, "Ctrl+Space"},    {0x6B, ssCtrl, "Ctrl+Num +"},
  };
  for (const TCase& C : Cases) {
    SCOPED_TRACE(C.Text);
    TShortCut SC = ShortCut(C.Key, C.Shift);
    EXPECT_EQ(ShortCutToText(SC), C.Text);
    if (C.Key != 0x61) {  // "1" reads back as the main-row key
      EXPECT_EQ(TextToShortCut(C.Text), SC);
    }
    Word Key;
    TShiftState Shift;
    ShortCutToKey(SC, Key, Shift);
    EXPECT_EQ(Key, C.Key);
    EXPECT_EQ(Shift, C.Shift);
  }
  EXPECT_EQ(ShortCut(0x100, ssCtrl), 0);
  EXPECT_EQ(ShortCutToText(ShortCut(0x07, ssCtrl)), "");
  EXPECT_EQ(TextToShortCut("alt+ctrl+x"), ShortCut('X', ssCtrl | ssAlt));
  EXPECT_EQ(TextToShortCut("Ctrl+"), 0);
  EXPECT_EQ(TextToShortCut("Hyper+X"), 0);
}

TEST(VclMenus, FindDispatchAndShortCuts) {
  TComponent Owner(nullptr);
  TMainMenu Menu(&Owner);
  auto* File = new TMenuItem(&Owner);
  File->SetCaption("&File");
  auto* Open = new TMenuItem(&Owner);
  Open->SetCaption("&Open");
  Open->SetShortCut(ShortCut('O', ssCtrl));
  auto* Line = new TMenuItem(&Owner);
  Line->SetCaption("-");
  auto* Quit = new TMenuItem(&Owner);
  Quit->SetShortCut(ShortCut(0x73, ssAlt));
  Menu.GetItems()->Add(File);
  File->Add(Open);
  File->Add(Line);
  File->Add(Quit);
  int OpenClicks = 0, QuitClicks = 0;
  Open->OnClick = [&](TObject* S) { EXPECT_EQ(S, Open); ++OpenClicks; };
  Quit->OnClick = [&](TObject*) { ++QuitClicks; };

  EXPECT_TRUE(Line->IsLine());
  EXPECT_EQ(Open->GetParentMenu(), &Menu);
  EXPECT_EQ(Quit->GetMenuIndex(), 2);
  EXPECT_EQ(File->Find("open"), Open);
  EXPECT_EQ(Menu.FindItem(Quit->GetCommand(), fkCommand), Quit);
  EXPECT_EQ(Menu.FindItem(reinterpret_cast<std::uintptr_t>(File->GetHandle()), fkHandle), File);
  EXPECT_EQ(Menu.FindItem(ShortCut('O', ssCtrl), fkShortCut), Open);

  EXPECT_TRUE(Menu.DispatchCommand(Open->GetCommand()));
  EXPECT_FALSE(Menu.DispatchCommand(0));
  EXPECT_EQ(OpenClicks, 1);

  TWMKey Key;
  Key.CharCode = 0x73;
  Key.KeyData = AltMask;
  EXPECT_TRUE(Menu.IsShortCut(Key));
  EXPECT_EQ(QuitClicks, 1);
  File->SetEnabled(false);  // a disabled parent blocks the shortcut
  EXPECT_FALSE(Menu.IsShortCut(Key));
  Key.KeyData = 0;
  File->SetEnabled(true);
  EXPECT_FALSE(Menu.IsShortCut(Key)) << "F4 without Alt";

  Open->SetEnabled(false);
  Open->Click();
  EXPECT_EQ(OpenClicks, 1);
}

TEST(VclMenus, RadioGroupsCommandIdsAndStructureErrors) {
  TComponent Owner(nullptr);
  TPopupMenu Menu(&Owner);
  std::set<Word> Commands;
  TMenuItem* Items[4];
  for (int I = 0; I < 4; ++I) {
    Items[I] = new TMenuItem(&Owner);
    Items[I]->SetRadioItem(I < 3);
    Items[I]->SetGroupIndex(I == 2 ? 2 : 1);
    Menu.GetItems()->Add(Items[I]);
    Commands.insert(Items[I]->GetCommand());
  }
  EXPECT_EQ(Commands.size(), 4u);
  EXPECT_EQ(Commands.count(0), 0u);
  Items[0]->SetChecked(true);
  Items[2]->SetChecked(true);
  Items[3]->SetChecked(true);
  Items[1]->SetChecked(true);
  EXPECT_FALSE(Items[0]->GetChecked());
  EXPECT_TRUE(Items[1]->GetChecked());
  EXPECT_TRUE(Items[2]->GetChecked()) << "another group";
  EXPECT_TRUE(Items[3]->GetChecked()) << "not a radio item";

  auto* Auto = new TMenuItem(&Owner);
  Auto->SetAutoCheck(true);
  Auto->Click();
  EXPECT_TRUE(Auto->GetChecked());

  EXPECT_THROW(Menu.GetItems()->Insert(0, Items[0]), EMenuError);
  EXPECT_THROW(Menu.GetItems()->Insert(9, Auto), EMenuError);
  EXPECT_THROW(Auto->Add(Auto), EMenuError);
  Menu.GetItems()->Add(Auto);
  EXPECT_THROW(Auto->Insert(0, Menu.GetItems()), EMenuError) << "an item can't hold its ancestor";

  // A freed command id is handed out again.
  Word Freed = Items[3]->GetCommand();
  delete Items[3];
  EXPECT_EQ(Menu.GetItems()->GetCount(), 4);
  auto* Again = new TMenuItem(&Owner);
  EXPECT_EQ(Again->GetCommand(), Freed);

  int Popups = 0;
  Menu.OnPopup = [&](TObject*) { ++Popups; };
  Menu.Popup(10, 20);
  EXPECT_EQ(Popups, 1);
  EXPECT_EQ(Menu.GetPopupPoint(), Point(10, 20));
}

TEST(VclMenus, HotkeysInCaptions) {
  EXPECT_EQ(StripHotkey("&Save && Exit"), "Save & Exit");
  EXPECT_EQ(GetHotkey("Save && E&xit"), 'x');
  EXPECT_TRUE(IsAccel('X', "E&xit"));
  EXPECT_FALSE(IsAccel('E', "E&xit"));
  EXPECT_FALSE(IsAccel('A', "A && B"));
}

TEST(VclMenus, RethinkLinesHidesOnlySuperfluousSeparators) {
  // Captions: letters are items, '-' separators, '.' a hidden item, '~' a separator the
  // program hid. The expected string keeps what is shown.
  struct TCase {
    const char* Items;
    const char* Shown;
    bool Changed;
  } Cases[] = {
      {"-a-b-", "a-b", true}, {"--a", "a", true},    {"a--b", "a-b", true}, {"a-.-b", "a-b", true},
      {"a-.", "a", true},     {".-a", "a", true},    {"a~b", "ab", false},  {"a-~-b", "a-b", true},
      {"---", "", true},      {"ab", "ab", false},   {"a.-.b", "a-b", false},
  };
  for (const TCase& C : Cases) {
    SCOPED_TRACE(C.Items);
    TComponent Owner(nullptr);
    TPopupMenu Menu(&Owner);
    for (const char* P = C.Items; *P; ++P) {
      auto* Item = new TMenuItem(&Owner);
      Item->SetCaption(*P == '-' || *P == '~' ? "-" : String(1, *P));
      if (*P == '.' || *P == '~') Item->SetVisible(false);
      Menu.GetItems()->Add(Item);
    }
    auto Shown = [&] {
      String S;
      for (int I = 0; I < Menu.GetItems()->GetCount(); ++I)
        if (Menu.GetItems()->GetItem(I)->GetVisible()) S += Menu.GetItems()->GetItem(I)->GetCaption();
      return S;
    };
    bool Changed = Menu.GetItems()->RethinkLines();
    EXPECT_EQ(Shown(), C.Shown);
    EXPECT_EQ(Changed, C.Changed);
    EXPECT_FALSE(Menu.GetItems()->RethinkLines()) << "nothing left to do";
  }

  // A hidden separator comes back when the item that makes it needed shows again; one the
  // program hides itself stays hidden.
  TComponent Owner(nullptr);
  TPopupMenu Menu(&Owner);
  TMenuItem* Items[3];
  for (int I = 0; I < 3; ++I) {
    Items[I] = new TMenuItem(&Owner);
    Items[I]->SetCaption(I == 1 ? "-" : "x");
    Menu.GetItems()->Add(Items[I]);
  }
  Items[2]->SetVisible(false);
  EXPECT_TRUE(Menu.GetItems()->RethinkLines());
  EXPECT_FALSE(Items[1]->GetVisible());
  Items[2]->SetVisible(true);
  EXPECT_TRUE(Menu.GetItems()->RethinkLines());
  EXPECT_TRUE(Items[1]->GetVisible());
  Items[1]->SetVisible(false);
  EXPECT_FALSE(Menu.GetItems()->RethinkLines());
  EXPECT_FALSE(Items[1]->GetVisible());

  EXPECT_EQ(Menu.GetAutoLineReduction(), maAutomatic);
  Menu.SetAutoLineReduction(maManual);
  EXPECT_EQ(Menu.GetAutoLineReduction(), maManual);
  Menu.SetAutoLineReduction(maParent);
  EXPECT_EQ(Menu.GetAutoLineReduction(), maAutomatic) << "a menu has no parent to follow";
}

TEST(VclMenus, ItemBitmapAndAction) {
  TComponent Owner(nullptr);
  TMainMenu Menu(&Owner);
  auto* Item = new TMenuItem(&Owner);
  Menu.GetItems()->Add(Item);
  int Changes = 0;
  Menu.OnChange = [&](TObject*) { ++Changes; };

  EXPECT_FALSE(Item->HasBitmap());
  TBitmap Picture(16, 12);
  Item->SetBitmap(&Picture);
  EXPECT_TRUE(Item->HasBitmap());
  EXPECT_EQ(Item->GetBitmap()->GetWidth(), 16);
  EXPECT_NE(Item->GetBitmap(), &Picture) << "a copy";
  EXPECT_GT(Changes, 0) << "the menu hears of the new picture";
  Item->SetBitmap(nullptr);
  EXPECT_FALSE(Item->HasBitmap());

  // Without OnClick a click executes the action; OnClick takes precedence; a deleted action
  // is let go.
  auto* Action = new TBasicAction(nullptr);
  int Executed = 0, Clicked = 0;
  Action->SetOnExecute([&](TObject*) { ++Executed; });
  Item->SetAction(Action);
  Item->Click();
  EXPECT_EQ(Executed, 1);
  Item->OnClick = [&](TObject*) { ++Clicked; };
  Item->Click();
  EXPECT_EQ(Executed, 1);
  EXPECT_EQ(Clicked, 1);
  Item->SetEnabled(false);
  Item->Click();
  EXPECT_EQ(Clicked, 1);
  delete Action;
  EXPECT_EQ(Item->GetAction(), nullptr);
}

}  // namespace
