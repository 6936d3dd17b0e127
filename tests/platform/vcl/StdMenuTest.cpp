// Popup menus in the plain look: TPopupMenu::Popup tracks a menu window with the keyboard and
// the mouse, opens sub-menus, and clicks the chosen item after the menu closes.
#include <gtest/gtest.h>

#include "platform/vcl/MenuWindow.h"
#include "platform/vcl/MenuWindowBar.h"
#include "tests/platform/vcl/VclTestSupport.h"

namespace {

class StdMenu : public TVclWindowTest {
protected:
  TForm* Form = nullptr;
  TPopupMenu* Menu = nullptr;
  std::vector<String> Log;
  TMenuItem* Export = nullptr;
  const int PX = 200, PY = 150;  // where the menu pops up

  void SetUp() override {
    TVclWindowTest::SetUp();
    UsePlainPopupMenus(true);
    Form = NewForm(50, 50, 400, 300);
    Form->Show();
    Pump();
    Menu = new TPopupMenu(Form);
    Menu->OnPopup = [this](TObject*) { Log.push_back("popup"); };
    Add(Menu->GetItems(), "&Open", ShortCut('O', ssCtrl));
    Add(Menu->GetItems(), "-");
    Add(Menu->GetItems(), "&Save")->SetEnabled(false);
    Export = Add(Menu->GetItems(), "E&xport");
    Add(Export, "&PNG");
    Add(Export, "&JPEG")->SetChecked(true);
    Add(Menu->GetItems(), "&Quit");
  }
  void TearDown() override {
    UsePlainPopupMenus(false);
    TVclWindowTest::TearDown();
  }
  TMenuItem* Add(TMenuItem* Parent, const char* Caption, TShortCut SC = 0) {
    auto* I = new TMenuItem(Form);
    I->SetCaption(Caption);
    I->SetShortCut(SC);
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
  // Pops the menu up after queueing Ks, with Escapes after them so that a menu left open by
  // a fault still closes.
  String Run(const std::vector<unsigned>& Ks) {
    Log.clear();
    Keys(Ks);
    Keys({VK_ESCAPE, VK_ESCAPE, VK_ESCAPE});
    Menu->Popup(PX, PY);
    String S;
    for (const String& L : Log) S += (S.empty() ? "" : " ") + L;
    Pump();
    return S;
  }
};

TEST_F(StdMenu, KeysSelectOpenSubMenusAndChooseItems) {
  struct Case { std::vector<unsigned> Keys; const char* Log; } Cases[] = {
      {{VK_DOWN, VK_RETURN}, "popup Open"},
      {{VK_DOWN, VK_DOWN, VK_RETURN}, "popup Export"},  // past the separator and the disabled item
      {{VK_UP, VK_RETURN}, "popup Quit"},        // from nothing up wraps to the last
      {{VK_END, VK_DOWN, VK_RETURN}, "popup Open"},
      {{'Q'}, "popup Quit"},
      {{'X', VK_DOWN, VK_RETURN}, "popup Export JPEG"},  // the parent's click comes when it opens
      {{'X', VK_LEFT, VK_DOWN, VK_RETURN}, "popup Export Quit"},
      {{'X', VK_ESCAPE, VK_UP, VK_RIGHT, VK_RETURN}, "popup Export Open"},  // Save (disabled) is skipped
      {{'X', VK_ESCAPE, VK_RIGHT, VK_RETURN}, "popup Export Export PNG"},
      {{VK_DOWN, VK_RIGHT, VK_ESCAPE, VK_RETURN}, "popup"},
  };
  for (const Case& C : Cases) EXPECT_EQ(Run(C.Keys), C.Log) << C.Log;
  EXPECT_EQ(GetMenuWindow(0), nullptr) << "no menu window is left";
}

TEST_F(StdMenu, MouseChoosesAnItemAndAPressOutsideDismisses) {
  Log.clear();
  Display()->InjectButton(PX + 30, PY + 8, 1, true);
  Display()->InjectButton(PX + 30, PY + 8, 1, false);
  Keys({VK_ESCAPE});
  Menu->Popup(PX, PY);
  EXPECT_EQ(Log, (std::vector<String>{"popup", "Open"}));

  Log.clear();
  Display()->InjectButton(10, 10, 1, true);
  Display()->InjectButton(10, 10, 1, false);
  Display()->InjectButton(PX + 30, PY + 8, 1, true);  // after the menu closed: not a choice
  Display()->InjectButton(PX + 30, PY + 8, 1, false);
  Menu->Popup(PX, PY);
  EXPECT_EQ(Log, (std::vector<String>{"popup"}));
  Pump();
  Keys({VK_ESCAPE});
  Pump();
}

TEST_F(StdMenu, MainMenuBarDropsItsMenusAndClicksItems) {
  auto* Main = new TMainMenu(Form);
  TMenuItem* File = Add(Main->GetItems(), "&File");
  Add(File, "&New");
  Add(File, "E&xit");
  Add(Main->GetItems(), "&Help");
  auto* Bar = new TMainMenuBar(Form);
  Bar->SetParent(Form);
  Bar->SetMenu(Main);
  Pump();
  EXPECT_EQ(Bar->GetTop(), 0);
  EXPECT_EQ(Bar->GetWidth(), Form->GetClientWidth());
  TRect FileR = Bar->ItemRect(0), HelpR = Bar->ItemRect(1);
  EXPECT_EQ(FileR.left, 0);
  EXPECT_EQ(HelpR.left, FileR.right);
  EXPECT_EQ(Bar->ItemAtPos(HelpR.left + 2, 5), Main->GetItems()->GetItem(1));

  Log.clear();
  Keys({VK_UP, VK_RETURN, VK_ESCAPE});
  SendMessageA(Bar->GetHandle(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(FileR.left + 3, 5));
  SendMessageA(Bar->GetHandle(), WM_LBUTTONUP, 0, MAKELPARAM(FileR.left + 3, 5));
  SendMessageA(Bar->GetHandle(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(HelpR.left + 3, 5));
  SendMessageA(Bar->GetHandle(), WM_LBUTTONUP, 0, MAKELPARAM(HelpR.left + 3, 5));
  EXPECT_EQ(Log, (std::vector<String>{"File", "Exit", "Help"}));
  Pump();
  EXPECT_EQ(Pixel(Form, FileR.right + 1, 2), GetSysColor(COLOR_MENU));
  delete Main;
  EXPECT_EQ(Bar->GetMenu(), nullptr) << "the bar lets go of a deleted menu";
}

TEST_F(StdMenu, PaintsTheClassicLookWithTheSelectedItemHighlighted) {
  std::vector<COLORREF> Pixels;
  int W = 0, H = 0;
  RECT R{};
  Export->OnClick = [&](TObject*) {
    HWND M = GetMenuWindow(0);
    UpdateWindow(M);
    GetWindowRect(M, &R);
    W = R.right - R.left;
    H = R.bottom - R.top;
    HDC DC = GetWindowDC(M);
    for (int Y = 0; Y < H; ++Y)
      for (int X = 0; X < W; ++X) Pixels.push_back(GetPixel(DC, X, Y));
    ReleaseDC(M, DC);
  };
  Run({'X'});
  ASSERT_GT(W, 0);
  EXPECT_EQ(R.left, PX);
  EXPECT_EQ(R.top, PY);
  auto At = [&](int X, int Y) { return Pixels[static_cast<size_t>(Y * W + X)]; };
  // Count the highlighted rows: exactly the Export item's, below the others.
  int FirstHi = -1, LastHi = -1, Text = 0;
  for (int Y = 0; Y < H; ++Y) {
    if (At(W / 2 + 20, Y) == GetSysColor(COLOR_HIGHLIGHT) && At(W - 5, Y) == GetSysColor(COLOR_HIGHLIGHT)) {
      if (FirstHi < 0) FirstHi = Y;
      LastHi = Y;
    }
    for (int X = 3; X < W - 3; ++X)
      if (GetRValue(At(X, Y)) + GetGValue(At(X, Y)) + GetBValue(At(X, Y)) < 200) ++Text;  // dark text
  }
  EXPECT_GT(FirstHi, H / 2) << "Export is the fourth of five items";
  EXPECT_LT(LastHi, H - 3 - 10);
  EXPECT_EQ(At(W / 2, 1), GetSysColor(COLOR_BTNHIGHLIGHT)) << "raised edge";
  EXPECT_EQ(At(W / 2, 5), GetSysColor(COLOR_MENU));
  EXPECT_GT(Text, 100) << "captions are written";
}

}  // namespace
