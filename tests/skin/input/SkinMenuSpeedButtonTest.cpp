// The menu speed button: where a press opens the menus, the button staying down while a menu is
// open and coming up with OnHideTrackMenu on its closing notice, the drop-down part, and the
// images menu's chosen item standing for the button's image and caption.
#include "skin/input/SkinMenuSpeedButton.h"

#include "tests/skin/input/SkinMenuTestSupport.h"

namespace {

class SkinMenuSpeedButtonTest : public TSkinMenuTest {
protected:
  void SetUp() override
  {
    TSkinMenuTest::SetUp();
    Add(Root(), "One");
    Add(Root(), "Two");
    Button = new TskSkinMenuSpeedButton(Form);
    Button->SetParent(Form);
    Button->SetBounds(100, 50, 60, 24);
    Button->OnClick = [this](TObject*) { Log.push_back("click"); };
    Button->OnShowTrackMenu = [this](TObject*) { Log.push_back("show"); };
    Button->OnHideTrackMenu = [this](TObject*) { Log.push_back("hide"); };
    Images = new TImageList(Form);
    Images->SetWidth(16);
    Images->SetHeight(16);
    for (int i = 0; i < 3; ++i) {
      auto b = SolidPicture(16, 16, static_cast<TColor>(0x203040 * (i + 1)));
      Images->Add(b.get(), nullptr);
    }
    ImagesMenu = new TskSkinImagesMenu(Form);
    ImagesMenu->SetImages(Images);
    for (int i = 0; i < 3; ++i) {
      TskImagesMenuItem* it = ImagesMenu->GetImagesItems()->Add();
      it->SetImageIndex(i);
      it->SetCaption("Image " + IntToStr(i));
    }
  }
  void TearDown() override
  {
    Manager->CloseMenu();
    ImagesMenu->ClosePopup(false);
    TSkinMenuTest::TearDown();
  }
  void Press(int X, int Y) { Button->Perform(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(X, Y)); }
  void Release(int X, int Y) { Button->Perform(WM_LBUTTONUP, 0, MAKELPARAM(X, Y)); }

  TskSkinMenuSpeedButton* Button = nullptr;
  TImageList* Images = nullptr;
  TskSkinImagesMenu* ImagesMenu = nullptr;
  std::vector<String> Log;
};

TEST_F(SkinMenuSpeedButtonTest, WithoutTrackModeAPressAnywhereOpensTheMenuAndNoClickFollows)
{
  Button->SetSkinPopupMenu(Menu);
  Press(5, 5);
  EXPECT_TRUE(Button->GetMenuOpen());
  EXPECT_TRUE(Button->GetDown());
  EXPECT_EQ(1, Manager->LevelCount());
  Release(5, 5);
  EXPECT_TRUE(Button->GetDown()) << "the button stays down while its menu is open";
  EXPECT_EQ((std::vector<String>{"show"}), Log);
  Manager->CloseMenu();
  EXPECT_FALSE(Button->GetMenuOpen());
  EXPECT_FALSE(Button->GetDown());
  EXPECT_EQ((std::vector<String>{"show", "hide"}), Log);
}

TEST_F(SkinMenuSpeedButtonTest, WithTrackModeOnlyTheRightFifteenPixelsOpenTheMenu)
{
  Button->SetSkinPopupMenu(Menu);
  Button->SetTrackButtonMode(true);
  EXPECT_EQ(Rect(45, 0, 60, 24), Button->GetTrackRect());
  struct TCase {
    const char* Name;
    int X, Y;
    bool Opens;
  } const cases[] = {
      {"left edge of the drop-down part", 45, 5, true},
      {"right edge (inclusive)", 60, 24, true},
      {"just left of it", 44, 5, false},
      {"middle of the main part", 20, 12, false},
  };
  for (const TCase& c : cases)
    EXPECT_EQ(c.Opens, Button->InTrackPart(c.X, c.Y)) << c.Name;
  // The main part clicks like a speed button.
  Button->Perform(CM_MOUSEENTER, 0, 0);
  Press(20, 12);
  Release(20, 12);
  EXPECT_EQ((std::vector<String>{"click"}), Log);
  EXPECT_EQ(0, Manager->LevelCount());
  Press(50, 12);
  EXPECT_EQ(1, Manager->LevelCount());
  EXPECT_EQ((std::vector<String>{"click", "show"}), Log);
  // Without any menu the button is an ordinary speed button.
  Manager->CloseMenu();
  Button->SetSkinPopupMenu(nullptr);
  EXPECT_FALSE(Button->InTrackPart(50, 12));
}

TEST_F(SkinMenuSpeedButtonTest, WithBothMenusOnePressOpensBothAndAnnouncesTwice)
{
  Button->SetSkinPopupMenu(Menu);
  Button->SetSkinImagesMenu(ImagesMenu);
  Press(5, 5);
  EXPECT_EQ((std::vector<String>{"show", "show"}), Log);
  EXPECT_NE(nullptr, ImagesMenu->GetPopupWindow());
}

TEST_F(SkinMenuSpeedButtonTest, TheImagesMenuClosingBringsTheButtonUpAndAChosenItemStandsForItsContent)
{
  Button->SetSkinImagesMenu(ImagesMenu);
  Button->SetUseImagesMenuImage(true);
  Button->SetUseImagesMenuCaption(true);
  Press(5, 5);
  TskSkinImagesMenuPopupWindow* w = ImagesMenu->GetPopupWindow();
  ASSERT_NE(nullptr, w);
  EXPECT_TRUE(Button->GetDown());
  w->HotIndex = 2;
  w->ProcessKey(VK_RETURN);
  EXPECT_FALSE(Button->GetDown());
  EXPECT_FALSE(Button->GetMenuOpen());
  EXPECT_EQ((std::vector<String>{"show", "hide"}), Log);
  EXPECT_EQ(2, ImagesMenu->GetItemIndex());
  // The face shows the chosen image: a pixel of its colour appears on the painted button.
  auto shot = Snapshot(Button);
  const TColor want = static_cast<TColor>(0x203040 * 3);
  bool found = false;
  for (int y = 0; y < shot->GetHeight() && !found; ++y)
    for (int x = 0; x < shot->GetWidth() && !found; ++x)
      found = BitmapPixel(shot.get(), x, y) == want;
  EXPECT_TRUE(found);
  // Freeing the images menu leaves the button without it.
  delete ImagesMenu;
  EXPECT_EQ(nullptr, Button->GetSkinImagesMenu());
  ImagesMenu = new TskSkinImagesMenu(Form);
}

TEST_F(SkinMenuSpeedButtonTest, TheDropDownPartOfThePlainRecordsAndTheNewStyle)
{
  struct TCase {
    const char* Name;
    bool NewStyle;
    TskTrackPosition Position;
    TRect Want;
  } const cases[] = {
      {"plain record, right", false, sptpRight, Rect(45, 0, 60, 24)},
      {"new style, bottom", true, sptpBottom, Rect(0, 9, 60, 24)},
      {"new style, right", true, sptpRight, Rect(45, 0, 60, 24)},
  };
  for (const TCase& c : cases) {
    Button->SetNewStyle(c.NewStyle);
    Button->SetTrackPosition(c.Position);
    EXPECT_EQ(c.Want, Button->GetTrackRect()) << c.Name;
  }
  EXPECT_EQ(String("resizetoolbutton"), Button->GetSkinDataName());
}

} // namespace
