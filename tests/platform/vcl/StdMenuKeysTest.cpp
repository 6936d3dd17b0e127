// The keyboard on the plain menus: a form's menu bar driven by Alt, F10 and Alt+letter while
// the focus stays on the form's control, and the keys in popup menus.
#include <gtest/gtest.h>

#include "platform/vcl/MenuWindow.h"
#include "platform/vcl/MenuWindowBar.h"
#include "tests/platform/vcl/VclTestSupport.h"

namespace {

// In the key lists below: 0 is Alt pressed and released alone, Alt('F') is Alt+F.
constexpr unsigned Alt(char C) { return 0x1000 + static_cast<unsigned>(C); }

class StdMenuKeys : public TVclWindowTest {
protected:
  TForm* Form = nullptr;
  TBox* Box = nullptr;
  TMainMenu* Main = nullptr;
  TMainMenuBar* Bar = nullptr;
  TMenuItem *File = nullptr, *Recent = nullptr, *Edit = nullptr, *View = nullptr, *Help = nullptr;
  std::vector<String> Log;

  void SetUp() override {
    TVclWindowTest::SetUp();
    Form = NewForm(60, 60, 420, 300);
    Form->SetBorderStyle(bsSingle);  // a window with a system menu gets Alt+letter
    Box = Add<TBox>(Form, "Box", 20, 60, 100, 60);
    Box->OnKeyDown = [this](TObject*, Word& Key, TShiftState Shift) {
      if (Key >= 'A' && Key <= 'Z' && !(Shift & ssAlt)) Log.push_back("key " + String(1, static_cast<char>(Key)));
    };
    Main = new TMainMenu(Form);
    File = AddItem(Main->GetItems(), "&File");
    AddItem(File, "&New");
    AddItem(File, "-");
    AddItem(File, "&Save")->SetEnabled(false);
    Recent = AddItem(File, "&Recent");
    AddItem(Recent, "&One");
    AddItem(Recent, "&Two");
    AddItem(File, "E&xit");
    Edit = AddItem(Main->GetItems(), "&Edit");
    AddItem(Edit, "&Undo");
    AddItem(Edit, "Cu&t");
    AddItem(Edit, "&Copy");
    AddItem(Edit, "&Clear");
    View = AddItem(Main->GetItems(), "&View");
    AddItem(View, "&Zoom");
    View->SetEnabled(false);
    Help = AddItem(Main->GetItems(), "&Help");  // no sub-items: a command of its own
    Bar = new TMainMenuBar(Form);
    Bar->SetParent(Form);
    Bar->SetMenu(Main);
    Form->Show();
    Pump();
    Box->SetFocus();
    Pump();
  }

  TMenuItem* AddItem(TMenuItem* Parent, const char* Caption) {
    auto* I = new TMenuItem(Form);
    I->SetCaption(Caption);
    I->OnClick = [this, I](TObject*) { Log.push_back(StripHotkey(I->GetCaption())); };
    Parent->Add(I);
    return I;
  }

  void Key(unsigned K) {
    Display()->InjectKey(K, true);
    Display()->InjectKey(K, false);
  }
  void AltKey(unsigned K) {
    Display()->InjectKey(VK_MENU, true);
    Key(K);
    Display()->InjectKey(VK_MENU, false);
  }
  // Sends the keys to the form and answers the log. A Z follows, which reaches the focused
  // control only when the keys left the menu mode, and Escapes that close a menu left open
  // by a fault.
  String Run(const std::vector<unsigned>& Ks) {
    Log.clear();
    for (unsigned K : Ks) {
      if (K == 0) Key(VK_MENU);
      else if (K > 0x1000) AltKey(K - 0x1000);
      else Key(K);
    }
    Key('Z');
    for (int I = 0; I < 4; ++I) Key(VK_ESCAPE);
    Pump();
    if (Bar) {
      EXPECT_FALSE(Bar->GetMenuActive());
    }
    EXPECT_EQ(GetMenuWindow(0), nullptr);
    if (!Log.empty() && Log.back() == "key Z") Log.pop_back();
    else Log.push_back("(the menu mode went on)");
    String S;
    for (const String& L : Log) S += (S.empty() ? "" : " ") + L;
    return S;
  }
};

TEST_F(StdMenuKeys, AltHighlightsTheBarAndTheKeysDriveIt) {
  struct Case { std::vector<unsigned> Keys; const char* Log; } Cases[] = {
      // Alt alone highlights File; Down, Up or Enter drop it with its first item highlighted.
      {{0, VK_DOWN, VK_RETURN}, "File New"},
      {{0, VK_UP, VK_RETURN}, "File New"},
      {{0, VK_RETURN, VK_DOWN, VK_DOWN, VK_RETURN}, "File Exit"},  // skips the separator and Save
      {{VK_F10, VK_DOWN, VK_RETURN}, "File New"},
      // Left and Right move the highlight and wrap around; Enter on Help clicks it.
      {{0, VK_RIGHT, VK_DOWN, VK_RETURN}, "Edit Undo"},
      {{0, VK_LEFT, VK_RETURN}, "Help"},
      {{0, VK_RIGHT, VK_RIGHT, VK_RIGHT, VK_RIGHT, VK_RIGHT, VK_DOWN, VK_RETURN}, "Edit Undo"},
      // A hotkey letter while the bar is highlighted drops its item, or clicks one without
      // sub-items; a letter without an item beeps and keeps the bar.
      {{0, 'E', VK_DOWN, VK_RETURN}, "Edit Cut"},
      {{0, 'H'}, "Help"},
      {{0, 'Q', 'E', VK_RETURN}, "Edit Undo"},
      // A disabled item drops nothing; the bar stays highlighted.
      {{0, 'V', VK_DOWN, VK_RIGHT, VK_DOWN, VK_RETURN}, "Help"},
      // Escape, Alt or F10 leave: the keys after them go to the focused control again.
      {{0, VK_ESCAPE, 'N'}, "key N"},
      {{0, 0, 'N'}, "key N"},
      {{VK_F10, VK_F10, 'N'}, "key N"},
      // Escape in a dropped menu goes back to the highlighted bar item, a second one leaves.
      {{0, VK_DOWN, VK_ESCAPE, VK_RIGHT, VK_DOWN, VK_RETURN}, "File Edit Undo"},
      {{0, VK_DOWN, VK_ESCAPE, VK_ESCAPE, 'N'}, "File key N"},
      // Alt in a dropped menu closes everything (and its release starts nothing new).
      {{0, VK_DOWN, 0, 'N'}, "File key N"},
  };
  for (const Case& C : Cases) {
    EXPECT_EQ(Run(C.Keys), C.Log) << C.Log;
    EXPECT_EQ(Form->GetActiveControl(), Box) << C.Log;
    EXPECT_EQ(GetFocus(), Box->GetHandle()) << "the focus stays where it was: " << C.Log;
  }
}

TEST_F(StdMenuKeys, AltLetterDropsTheItemWithThatHotkey) {
  struct Case { std::vector<unsigned> Keys; const char* Log; } Cases[] = {
      {{Alt('F'), VK_RETURN}, "File New"},
      {{Alt('E'), VK_END, VK_RETURN}, "Edit Clear"},
      {{Alt('H')}, "Help"},                         // no sub-items: clicked at once
      {{Alt('Q'), 'N'}, "key N"},                   // no such hotkey: nothing opens
      {{Alt('F'), 'R', 'T'}, "File Recent Two"},    // letters in the dropped menu
      {{Alt('E'), 'C', 'C', VK_RETURN}, "Edit Clear"},  // Copy and Clear share C: they take turns
      {{Alt('E'), VK_ESCAPE, VK_LEFT, VK_RETURN, VK_RETURN}, "Edit File New"},  // Esc keeps the bar
  };
  for (const Case& C : Cases) EXPECT_EQ(Run(C.Keys), C.Log) << C.Log;
}

TEST_F(StdMenuKeys, LeftAndRightInADroppedMenuMoveToTheNeighbouringMenus) {
  struct Case { std::vector<unsigned> Keys; const char* Log; } Cases[] = {
      // Right over an item without sub-menu drops the next bar menu.
      {{Alt('F'), VK_RIGHT, VK_RETURN}, "File Edit Undo"},
      // Right over an item with one opens it; Left closes it again.
      {{Alt('F'), VK_UP, VK_UP, VK_RIGHT, VK_DOWN, VK_RETURN}, "File Recent Two"},
      {{Alt('F'), VK_UP, VK_UP, VK_RIGHT, VK_LEFT, VK_DOWN, VK_RETURN}, "File Recent Exit"},
      // Right over a leaf in a sub-menu moves on to the next bar menu as well.
      {{Alt('F'), VK_UP, VK_UP, VK_RIGHT, VK_RIGHT, VK_RETURN}, "File Recent Edit Undo"},
      // Left in the top level drops the previous bar menu.
      {{Alt('E'), VK_LEFT, VK_RETURN}, "Edit File New"},
      // An item without a menu (Help) or a disabled one (View) is only highlighted on the
      // way; moving on drops the next menu again, wrapping around; Enter clicks Help.
      {{Alt('E'), VK_RIGHT, VK_RIGHT, VK_RIGHT, VK_RETURN}, "Edit File New"},
      {{Alt('F'), VK_LEFT, VK_RETURN}, "File Help"},
      {{Alt('F'), VK_LEFT, VK_LEFT, VK_RETURN, VK_ESCAPE}, "File"},  // View: nothing
  };
  for (const Case& C : Cases) EXPECT_EQ(Run(C.Keys), C.Log) << C.Log;
}

TEST_F(StdMenuKeys, TheKeyboardUnderlinesTheHotkeysOfTheBar) {
  // Dark pixels in the File item of the bar, counted while File's Recent sub-menu opens.
  int Dark = -1;
  Recent->OnClick = [&](TObject*) {
    UpdateWindow(Bar->GetHandle());
    TRect R = Bar->ItemRect(0);
    HDC DC = GetDC(Bar->GetHandle());
    Dark = 0;
    for (int Y = R.top; Y < R.bottom; ++Y)
      for (int X = R.left; X < R.right; ++X) {
        COLORREF C = GetPixel(DC, X, Y);
        if (GetRValue(C) + GetGValue(C) + GetBValue(C) < 200) ++Dark;
      }
    ReleaseDC(Bar->GetHandle(), DC);
    Log.push_back(Bar->GetShowAccel() ? "underlined" : "plain");
  };
  EXPECT_EQ(Run({Alt('F'), 'R', VK_ESCAPE, VK_ESCAPE, VK_ESCAPE}), "File underlined");
  int ByKey = Dark;

  // Dropped by the mouse, the bar shows no underline (the keys used inside the menu do not
  // repaint the bar).
  Log.clear();
  Key(VK_UP);
  Key(VK_UP);
  Key(VK_RIGHT);
  Key(VK_ESCAPE);
  Key(VK_ESCAPE);
  Key(VK_ESCAPE);
  TRect FileR = Bar->ItemRect(0);
  SendMessageA(Bar->GetHandle(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(FileR.left + 3, 5));
  SendMessageA(Bar->GetHandle(), WM_LBUTTONUP, 0, MAKELPARAM(FileR.left + 3, 5));
  Pump();
  EXPECT_EQ(Log, (std::vector<String>{"File", "plain"}));
  EXPECT_GT(ByKey, Dark) << "the underline under the F";
  EXPECT_FALSE(Bar->GetMenuActive());
}

TEST_F(StdMenuKeys, TheMouseMovesTheDroppedMenuAlongTheBar) {
  // With File dropped, the mouse going over Edit drops Edit's menu in its place.
  TRect FileR = Bar->ItemRect(0), EditR = Bar->ItemRect(1);
  TPoint EditAt = Bar->ClientToScreen(Point(EditR.left + 3, 5));
  Log.clear();
  Display()->InjectMouseMove(EditAt.x, EditAt.y);
  Key(VK_DOWN);
  Key(VK_RETURN);
  SendMessageA(Bar->GetHandle(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(FileR.left + 3, 5));
  Pump();
  EXPECT_EQ(Log, (std::vector<String>{"File", "Edit", "Undo"}));
  EXPECT_FALSE(Bar->GetMenuActive());

  // A pointer resting over Edit (moves reported where it already is) leaves a menu dropped
  // by the keyboard alone.
  Log.clear();
  AltKey('F');
  Display()->InjectMouseMove(EditAt.x, EditAt.y);
  Key(VK_DOWN);
  Display()->InjectMouseMove(EditAt.x, EditAt.y);
  Key(VK_RETURN);
  Key(VK_ESCAPE);
  Key(VK_ESCAPE);
  Key(VK_ESCAPE);
  Pump();
  EXPECT_EQ(Log, (std::vector<String>{"File", "Recent"}));
  EXPECT_FALSE(Bar->GetMenuActive());
}

TEST_F(StdMenuKeys, TheFormFindsTheBarOnIt) {
  EXPECT_EQ(Form->GetMenuBar(), Bar);
  TForm* Other = NewForm(10, 10, 200, 100);
  Bar->SetParent(Other);
  EXPECT_EQ(Form->GetMenuBar(), nullptr) << "the bar left the form";
  EXPECT_EQ(Other->GetMenuBar(), Bar);
  Bar->SetParent(Form);
  EXPECT_EQ(Other->GetMenuBar(), nullptr);
  delete Bar;
  Bar = nullptr;
  EXPECT_EQ(Form->GetMenuBar(), nullptr) << "the form lets go of a deleted bar";
  EXPECT_EQ(Run({0, 'N'}), "key N") << "Alt without a bar opens nothing";
}

// Popup menus: the keys skip what can't be chosen, the first item of a menu opened by the
// keyboard is highlighted, and a disabled item never does anything.
class StdMenuPopupKeys : public TVclWindowTest {
protected:
  TForm* Form = nullptr;
  TPopupMenu* Menu = nullptr;
  std::vector<String> Log;
  TMenuItem *Save = nullptr, *More = nullptr;

  void SetUp() override {
    TVclWindowTest::SetUp();
    UsePlainPopupMenus(true);
    Form = NewForm(50, 50, 400, 300);
    Form->Show();
    Pump();
    Menu = new TPopupMenu(Form);
    Add(Menu->GetItems(), "&Undo")->SetEnabled(false);
    Add(Menu->GetItems(), "-");
    Add(Menu->GetItems(), "&Copy");
    Save = Add(Menu->GetItems(), "&Save");
    Save->SetEnabled(false);
    More = Add(Menu->GetItems(), "&More");
    Add(More, "-");
    Add(More, "&First")->SetEnabled(false);
    Add(More, "&Second");
    Add(Menu->GetItems(), "C&ut");
    Add(Menu->GetItems(), "-");
    Add(Menu->GetItems(), "&Paste")->SetEnabled(false);
  }
  void TearDown() override {
    UsePlainPopupMenus(false);
    TVclWindowTest::TearDown();
  }
  TMenuItem* Add(TMenuItem* Parent, const char* Caption) {
    auto* I = new TMenuItem(Form);
    I->SetCaption(Caption);
    I->OnClick = [this, I](TObject*) { Log.push_back(StripHotkey(I->GetCaption())); };
    Parent->Add(I);
    return I;
  }
  void Keys(const std::vector<unsigned>& Ks) {
    for (unsigned K : Ks) {
      Display()->InjectKey(K, true);
      Display()->InjectKey(K, false);
    }
  }
  String Run(const std::vector<unsigned>& Ks) {
    Log.clear();
    Keys(Ks);
    Keys({VK_ESCAPE, VK_ESCAPE, VK_ESCAPE});
    Menu->Popup(200, 150);
    Pump();
    String S;
    for (const String& L : Log) S += (S.empty() ? "" : " ") + L;
    return S;
  }
};

TEST_F(StdMenuPopupKeys, KeysSkipWhatCannotBeChosen) {
  struct Case { std::vector<unsigned> Keys; const char* Log; } Cases[] = {
      {{VK_DOWN, VK_RETURN}, "Copy"},          // past the disabled item and the separator
      {{VK_UP, VK_RETURN}, "Cut"},             // from nothing up: the last enabled item
      {{VK_DOWN, VK_UP, VK_RETURN}, "Cut"},    // wraps at the top
      {{VK_UP, VK_DOWN, VK_RETURN}, "Copy"},   // and at the bottom
      {{VK_HOME, VK_RETURN}, "Copy"},
      {{VK_END, VK_RETURN}, "Cut"},
      {{VK_DOWN, VK_DOWN, VK_RETURN}, "More"},  // Save is skipped; Enter opens More ...
      {{VK_DOWN, VK_DOWN, VK_RETURN, VK_RETURN}, "More Second"},  // ... with its first enabled item lit
      {{VK_DOWN, VK_DOWN, VK_RIGHT, VK_UP, VK_RETURN}, "More Second"},  // the only one: wraps to itself
      {{'S'}, ""},                            // a disabled item's hotkey does nothing
      {{'S', VK_RETURN}, ""},                 // not even when it is lit
      {{'M', VK_LEFT, VK_DOWN, VK_RETURN}, "More Cut"},
      {{'U', VK_RETURN}, ""},                 // Undo and Cut share U: the first is lit, disabled
      {{'U', 'U', VK_RETURN}, "Cut"},         // the second U goes on to Cut
      {{'T', VK_DOWN, VK_RETURN}, "Copy"},    // a letter without an item changes nothing
  };
  for (const Case& C : Cases) EXPECT_EQ(Run(C.Keys), C.Log) << C.Log;
}

TEST_F(StdMenuPopupKeys, AClickOnADisabledItemDoesNothing) {
  // The menu pops up at (200, 150); the items are about 18 pixels high below a 3-pixel edge.
  Log.clear();
  Display()->InjectButton(230, 150 + 3 + 9, 1, true);  // Undo, disabled
  Display()->InjectButton(230, 150 + 3 + 9, 1, false);
  Keys({VK_ESCAPE});
  Menu->Popup(200, 150);
  Pump();
  EXPECT_TRUE(Log.empty());
}

TEST_F(StdMenuPopupKeys, AltClosesThePopupMenu) {
  Log.clear();
  Keys({VK_DOWN, VK_MENU, VK_RETURN});  // the Enter comes after the menu closed
  Menu->Popup(200, 150);
  Pump();
  EXPECT_TRUE(Log.empty());
  EXPECT_EQ(GetMenuWindow(0), nullptr);
}

TEST_F(StdMenuPopupKeys, SuperfluousSeparatorsAreHiddenWhileShown) {
  // Undo hidden: the separator after it would lead the menu; Cut and Paste hidden: the
  // one before them would end it.
  Menu->GetItems()->GetItem(0)->SetVisible(false);
  Menu->GetItems()->GetItem(5)->SetVisible(false);
  Menu->GetItems()->GetItem(7)->SetVisible(false);
  int Rows = 0;
  Save->SetEnabled(true);
  Save->OnClick = [&](TObject*) {
    Rows = 0;
    for (int I = 0; I < Menu->GetItems()->GetCount(); ++I) Rows += Menu->GetItems()->GetItem(I)->GetVisible();
  };
  EXPECT_EQ(Run({'S'}), "");
  EXPECT_EQ(Rows, 3) << "Copy, Save, More";
  EXPECT_FALSE(Menu->GetItems()->GetItem(1)->GetVisible());
  EXPECT_FALSE(Menu->GetItems()->GetItem(6)->GetVisible());
}

}  // namespace
