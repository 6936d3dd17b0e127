#include <gtest/gtest.h>

#include <functional>

#include "skin/controls/SkinCheckRadioBox.h"
#include "tests/skin/support/SkinTestSupport.h"

namespace {

constexpr TColor Red = 0x0000FF, Green = 0x00FF00, Blue = 0xFF0000, White = 0xFFFFFF, Grey = 0x808080;
constexpr TColor DarkGrey = 0x404040, Magenta = 0xFF00FF, Yellow = 0x00FFFF, Cyan = 0xFFFF00, Black = 0;

// Picture 0: 16 x 16 check cells on magenta (their transparent colour) with a 12 x 12 core:
// unchecked white, checked red, hot unchecked green, hot checked blue, disabled unchecked grey,
// disabled checked dark grey; below them the framed faces: normal yellow, active cyan.
std::vector<std::unique_ptr<TBitmap>> Pictures()
{
  std::vector<std::unique_ptr<TBitmap>> p;
  p.push_back(SolidPicture(120, 40, Magenta));
  const TColor cores[] = {White, Red, Green, Blue, Grey, DarkGrey};
  for (int i = 0; i < 6; ++i)
    FillArea(p[0].get(), Rect(16 * i + 2, 2, 16 * i + 14, 14), cores[i]);
  FillArea(p[0].get(), Rect(0, 16, 60, 40), Yellow);
  FillArea(p[0].get(), Rect(60, 16, 120, 40), Cyan);
  return p;
}

const char* const Keys =
    "pictureindex=0\nskinrect=0,16,60,40\nactiveskinrect=60,16,120,40\nclientrect=0,0,60,24\n"
    "lefttoppoint=16,0\nrighttoppoint=50,0\ncheckimagearea=0,4,16,20\ntextarea=20,0,56,24\n"
    "uncheckimagerect=0,0,16,16\ncheckimagerect=16,0,32,16\nactiveuncheckimagerect=32,0,48,16\n"
    "activecheckimagerect=48,0,64,16\nunenableduncheckimagerect=64,0,80,16\nunenabledcheckimagerect=80,0,96,16\n"
    "framefontcolor=0\nunenabledfontcolor=8421504\n";

String Records()
{
  return String("[SKINCONTROLS]\ncount=2\n0=checkbox:checkradio\n1=radiobox:checkradio\n[checkbox]\n") + Keys +
         "[radiobox]\n" + Keys;
}

class SkinCheckRadioBoxTest : public TSkinControlTest {
protected:
  void SetUp() override
  {
    TSkinControlTest::SetUp();
    Form = NewForm(100, 100, 400, 300);
    Form->SetColor(0x336699);
    Skin = NewSkin(Pictures(), Records());
  }
  TskSkinCheckRadioBox* Box(bool Radio, int Group = 0, TWinControl* Parent = nullptr, bool Skinned = true)
  {
    auto* b = new TskSkinCheckRadioBox(Form);
    b->SetParent(Parent ? Parent : Form);
    b->SetBounds(10, 10 + 30 * static_cast<int>(Clicks.size()), 150, 25);
    b->SetRadio(Radio);
    b->SetSkinDataName(Radio ? "radiobox" : "checkbox");
    b->SetGroupIndex(Group);
    b->OnClick = [this, b](TObject*) { ++Clicks[b]; };
    Clicks[b] = 0;
    if (Skinned)
      b->SetSkinData(Skin);
    return b;
  }
  TColor CheckPixel(TskSkinCheckRadioBox* B) { return BitmapPixel(Snapshot(B).get(), 11, 12); }
  void Click(TControl* C)
  {
    C->Perform(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
    C->Perform(WM_LBUTTONUP, 0, MAKELPARAM(5, 5));
  }

  TForm* Form = nullptr;
  TskSkinData* Skin = nullptr;
  std::map<TskSkinCheckRadioBox*, int> Clicks;
};

TEST_F(SkinCheckRadioBoxTest, SettingCheckedFromCodeRaisesOnClickAsTheProgramExpects)
{
  struct Case {
    bool Radio, Start, Set;
    int Clicks;
  } const cases[] = {
      {false, false, true, 1}, {false, true, true, 1},   // a check box: every call, also without a change
      {false, true, false, 1}, {false, false, false, 1},
      {true, false, true, 1},  {true, true, true, 1},    // a radio box: every call that leaves it checked
      {true, true, false, 0},  {true, false, false, 0},
  };
  for (const Case& c : cases) {
    auto* b = Box(c.Radio);
    b->SetChecked(c.Start);
    Clicks[b] = 0;
    b->SetChecked(c.Set);
    EXPECT_EQ(c.Set, b->GetChecked());
    EXPECT_EQ(c.Clicks, Clicks[b]) << c.Radio << c.Start << c.Set;
  }
}

TEST_F(SkinCheckRadioBoxTest, CheckingABoxUnchecksItsGroupUnderTheSameParent)
{
  auto* panel = new TskSkinCustomControl(Form);
  panel->SetParent(Form);
  panel->SetBounds(200, 0, 190, 290);
  auto* r1 = Box(true, 1);
  auto* r2 = Box(true, 1);
  auto* r3 = Box(true, 2);
  auto* elsewhere = Box(true, 1, panel);
  r2->SetChecked(true);
  r3->SetChecked(true);
  elsewhere->SetChecked(true);
  for (auto& [box, n] : Clicks)
    n = 0;
  r1->SetChecked(true);
  EXPECT_TRUE(r1->GetChecked());
  EXPECT_FALSE(r2->GetChecked());
  EXPECT_EQ(0, Clicks[r2]) << "an unchecked radio box raises nothing";
  EXPECT_TRUE(r3->GetChecked()) << "another group";
  EXPECT_TRUE(elsewhere->GetChecked()) << "another parent";

  auto* c1 = Box(false, 5);
  auto* c2 = Box(false, 5);
  c2->SetChecked(true);
  Clicks[c2] = 0;
  c1->SetChecked(true);
  EXPECT_FALSE(c2->GetChecked());
  EXPECT_EQ(1, Clicks[c2]) << "a check box of the group hears its unchecking";
}

TEST_F(SkinCheckRadioBoxTest, TheGrayedStateAndItsClickCycle)
{
  auto* b = Box(false);
  b->SetState(cbGrayed);
  EXPECT_EQ(1, Clicks[b]);
  EXPECT_FALSE(b->GetChecked());
  b->SetChecked(false);
  EXPECT_EQ(cbGrayed, b->GetState()) << "unchecking a grayed box leaves it grayed";

  b->SetState(cbUnchecked);
  b->SetAllowGrayed(true);
  const TCheckBoxState cycle[] = {cbGrayed, cbChecked, cbUnchecked, cbGrayed};
  for (TCheckBoxState expected : cycle) {
    Click(b);
    EXPECT_EQ(expected, b->GetState());
  }

  auto* radio = Box(true);
  radio->SetAllowGrayed(true);
  Click(radio);
  EXPECT_EQ(cbChecked, radio->GetState()) << "a radio box ignores AllowGrayed";
  Click(radio);
  EXPECT_TRUE(radio->GetChecked()) << "the user never unchecks a radio box";
}

TEST_F(SkinCheckRadioBoxTest, SpaceTogglesOnReleaseAndTheAcceleratorToggles)
{
  auto* b = Box(false);
  b->SetCaption("&Auto");
  b->SetCanFocused(true);
  Form->Show();
  b->SetFocus();
  Application->ProcessMessages();
  Display()->InjectKey(VK_SPACE, true);
  Application->ProcessMessages();
  EXPECT_FALSE(b->GetChecked());
  Display()->InjectKey(VK_SPACE, false);
  Application->ProcessMessages();
  EXPECT_TRUE(b->GetChecked());
  Form->Perform(CM_DIALOGCHAR, 'a', 0);
  EXPECT_FALSE(b->GetChecked());
}

TEST_F(SkinCheckRadioBoxTest, TheFlatLookShowsTheRecordsCheckImageOfTheState)
{
  struct Case {
    const char* Name;
    std::function<void(TskSkinCheckRadioBox*)> Setup;
    TColor Expected;
  } const cases[] = {
      {"unchecked", [](TskSkinCheckRadioBox*) {}, White},
      {"checked", [](TskSkinCheckRadioBox* b) { b->SetChecked(true); }, Red},
      {"hot", [](TskSkinCheckRadioBox* b) { b->Perform(CM_MOUSEENTER, 0, 0); }, Green},
      {"hot checked",
       [](TskSkinCheckRadioBox* b) {
         b->SetChecked(true);
         b->Perform(CM_MOUSEENTER, 0, 0);
       },
       Blue},
      {"disabled", [](TskSkinCheckRadioBox* b) { b->SetEnabled(false); }, Grey},
      {"disabled checked",
       [](TskSkinCheckRadioBox* b) {
         b->SetChecked(true);
         b->SetEnabled(false);
       },
       DarkGrey},
  };
  for (const Case& c : cases) {
    auto* b = Box(false);
    c.Setup(b);
    auto image = Snapshot(b);
    EXPECT_EQ(c.Expected, BitmapPixel(image.get(), 11, 12)) << c.Name;
    EXPECT_EQ(0x336699u, BitmapPixel(image.get(), 3, 4)) << c.Name << ": the transparent corner shows the parent";
    EXPECT_EQ(0x336699u, BitmapPixel(image.get(), 140, 2)) << c.Name;
  }
}

TEST_F(SkinCheckRadioBoxTest, AGrayedBoxWithoutAGrayedImageShowsTheCheckImageBrightened)
{
  auto* b = Box(false);
  b->SetState(cbGrayed);
  const TColor got = CheckPixel(b);
  EXPECT_NEAR(255, got & 0xFF, 1);          // red stays full
  EXPECT_NEAR(128, (got >> 8) & 0xFF, 1);   // green and blue halfway to white
  EXPECT_NEAR(128, (got >> 16) & 0xFF, 1);
}

TEST_F(SkinCheckRadioBoxTest, WithoutARecordTheDefaultMarksAreDrawn)
{
  auto* b = Box(false, 0, nullptr, false);
  auto image = Snapshot(b);
  EXPECT_EQ(ColorToRGB(clBtnShadow), BitmapPixel(image.get(), 3, 12 - 7 + 3));
  b->Perform(CM_MOUSEENTER, 0, 0);
  EXPECT_EQ(DefaultActiveFrame, BitmapPixel(Snapshot(b).get(), 3, 12 - 7 + 3));
  b->SetChecked(true);
  image = Snapshot(b);
  int dark = 0;
  for (int y = 5; y < 20; ++y)
    for (int x = 4; x < 16; ++x)
      dark += BitmapPixel(image.get(), x, y) == Black;
  EXPECT_GT(dark, 5) << "a black check mark";
}

TEST_F(SkinCheckRadioBoxTest, TheFramedLookUsesTheWholePictureAndItsAreas)
{
  auto* b = Box(false);
  b->SetFlat(false);
  b->SetBounds(10, 10, 100, 30);
  EXPECT_EQ(24, b->GetHeight()) << "the record grows only sideways";
  b->GetSkinData();
  int w = b->GetWidth(), h = b->GetHeight();
  b->CalcSize(w, h);
  EXPECT_EQ(Rect(20, 0, 96, 24).right, b->GetTextRect().right);
  EXPECT_EQ(0, b->GetCheckPosition().left);
  EXPECT_EQ(4, b->GetCheckPosition().top);
  auto image = Snapshot(b);
  EXPECT_EQ(Yellow, BitmapPixel(image.get(), 90, 2));
  EXPECT_EQ(White, BitmapPixel(image.get(), 8, 12));
  b->Perform(CM_MOUSEENTER, 0, 0);
  image = Snapshot(b);
  EXPECT_EQ(Cyan, BitmapPixel(image.get(), 90, 2));
  EXPECT_EQ(Green, BitmapPixel(image.get(), 8, 12));
}

TEST_F(SkinCheckRadioBoxTest, AFlatBoxRepaintsWithTheBackgroundItMovesOver)
{
  auto* patch = new TDot(Form, clLime);
  patch->SetParent(Form);
  patch->SetBounds(200, 0, 200, 300);
  auto* b = Box(false);
  b->SetCaption("");
  Form->Show();
  Pump();
  EXPECT_EQ(0x336699u, Pixel(Form, 100, 20));
  b->SetLeft(210);
  Pump();
  EXPECT_EQ(ColorToRGB(clLime), Pixel(Form, 300, 20));
}

TEST_F(SkinCheckRadioBoxTest, TheRecordsFontIsReadable)
{
  SkinRecord<TskDataSkinCheckRadioControl>(Skin, "checkbox")->fontname = "Tahoma";
  SkinRecord<TskDataSkinCheckRadioControl>(Skin, "checkbox")->fontheight = 17;
  auto* b = Box(false);
  EXPECT_NE(-1, b->GetSkinIndex());
  EXPECT_EQ("Tahoma", b->GetFontName());
  EXPECT_EQ(17, b->GetFontHeight());
  auto* plain = Box(false, 0, nullptr, false);
  plain->GetSkinData();
  EXPECT_EQ(-1, plain->GetSkinIndex());
}

TEST_F(SkinCheckRadioBoxTest, CreationDefaults)
{
  auto* b = new TskSkinCheckRadioBox(Form);
  EXPECT_EQ("checkbox", b->GetSkinDataName());
  EXPECT_EQ(150, b->GetWidth());
  EXPECT_EQ(25, b->GetHeight());
  EXPECT_TRUE(b->GetFlat());
  EXPECT_TRUE(b->GetCanFocused());
  EXPECT_FALSE(b->GetTabStop());
  EXPECT_EQ(cbUnchecked, b->GetState());
}

} // namespace

namespace {

// The program's controls skin: the flat box shows the check image cell of its state.
TEST_F(SkinCheckRadioBoxTest, TheProgramsSkinShowsItsCheckImages)
{
  TskSkinData* skin = BuiltinSkinData(Holder, TBuiltinSkin::bsControls);
  for (const char* name : {"checkbox", "radiobox"}) {
    auto* record = SkinRecord<TskDataSkinCheckRadioControl>(skin, name);
    ASSERT_NE(nullptr, record);
    TBitmap* picture = skin->ActivePictures[static_cast<std::size_t>(record->pictureindex)];
    struct Case {
      bool Checked, Hot, Enabled;
      TRect Cell;
    } const cases[] = {{false, false, true, record->uncheckimagerect},
                       {true, false, true, record->checkimagerect},
                       {true, true, true, record->activecheckimagerect},
                       {true, false, false, record->unenabledcheckimagerect}};
    for (const Case& c : cases) {
      auto* b = new TskSkinCheckRadioBox(Form);
      b->SetParent(Form);
      b->SetSkinDataName(name);
      b->SetRadio(std::string(name) == "radiobox");
      b->SetSkinData(skin);
      b->SetChecked(c.Checked);
      b->SetEnabled(c.Enabled);
      if (c.Hot)
        b->Perform(CM_MOUSEENTER, 0, 0);
      auto image = Snapshot(b);
      const int top = b->GetHeight() / 2 - RectHeight(record->checkimagerect) / 2;
      EXPECT_EQ(BitmapPixel(picture, c.Cell.left + 8, c.Cell.top + 8), BitmapPixel(image.get(), 3 + 8, top + 8))
          << name << " checked " << c.Checked << " hot " << c.Hot << " enabled " << c.Enabled;
      delete b;
    }
  }
}

} // namespace
