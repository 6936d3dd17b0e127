#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "skin/input/SkinPageControl.h"
#include "skin/input/SkinUpDown.h"
#include "tests/skin/support/SkinTestSupport.h"

namespace {

constexpr TColor Red = 0x0000FF, Green = 0x00FF00, Blue = 0xFF0000;

// Picture 0: a tab record's frame (0,0)-(30,30) red with a green client part (5,5)-(25,25); a
// blue tab at (30,0)-(60,20). Picture 1: a 4 x 4 background picture, blue.
std::vector<std::unique_ptr<TBitmap>> Pictures()
{
  std::vector<std::unique_ptr<TBitmap>> p;
  p.push_back(SolidPicture(60, 30, Red));
  FillArea(p[0].get(), Rect(5, 5, 25, 25), Green);
  FillArea(p[0].get(), Rect(30, 0, 60, 20), Blue);
  p.push_back(SolidPicture(4, 4, Blue));
  return p;
}

String Records(int BgPicture)
{
  return "[SKINCONTROLS]\ncount=1\n0=tab:tab\n[tab]\npictureindex=0\nskinrect=0,0,30,30\nclientrect=5,5,25,25\n"
         "lefttoppoint=5,5\nrighttoppoint=25,5\nleftbottompoint=5,25\nrightbottompoint=25,25\n"
         "tabrect=30,0,60,20\nbgpictureindex=" +
         std::to_string(BgPicture) + "\nfontname=Arial\nfontheight=14\n";
}

class SkinPageControlTest : public TSkinControlTest {
protected:
  void SetUp() override
  {
    TSkinControlTest::SetUp();
    Form = NewForm(100, 100, 400, 300);
  }
  TskSkinPageControl* Pages(int W, const std::vector<const char*>& Captions, TskSkinData* Skin = nullptr)
  {
    auto* pc = new TskSkinPageControl(Form);
    pc->SetParent(Form);
    pc->SetBounds(10, 10, W, 150);
    for (const char* c : Captions) {
      auto* s = new TskSkinTabSheet(Form);
      s->SetCaption(c);
      s->SetPageControl(pc);
    }
    if (!Captions.empty())
      pc->SetActivePageIndex(0);
    if (Skin)
      pc->SetSkinData(Skin);
    Form->Show();
    Pump();
    return pc;
  }
  void Click(TControl* C, int X, int Y)
  {
    const TPoint p = C->ClientToScreen(TPoint{X, Y});
    Display()->InjectMouseMove(p.x, p.y);
    Display()->InjectButton(p.x, p.y, 1, true);
    Display()->InjectButton(p.x, p.y, 1, false);
    Pump();
  }
  // The centre of the close button of visible tab I (page Page) in page-control coordinates
  // (after a paint).
  TPoint CloseCentre(TskSkinPageControl* Pc, int I, int Page = -1)
  {
    Snapshot(Pc);
    auto* s = dynamic_cast<TskSkinCustomTabSheet*>(Pc->GetPage(Page < 0 ? I : Page));
    const TRect item = Pc->GetItemRect(I);
    return TPoint{item.left + (s->CloseRect.left + s->CloseRect.right) / 2,
                  item.top + (s->CloseRect.top + s->CloseRect.bottom) / 2};
  }

  TForm* Form = nullptr;
};

TEST_F(SkinPageControlTest, SheetBackgroundsByPriority)
{
  struct {
    const char* Name;
    int BgPicture;  // -2: no skin
    bool WallPaper;
    TColor Expected;
  } const cases[] = {
      {"unskinned: button face", -2, false, ColorToRGB(clBtnFace)},
      {"a wallpaper ignores the skin", -1, true, Red},
      {"skin client part", -1, false, Green},
      {"skin background picture", 1, false, Blue},
  };
  for (const auto& c : cases) {
    TskSkinData* skin = c.BgPicture == -2 ? nullptr : NewSkin(Pictures(), Records(c.BgPicture));
    auto* pc = Pages(200, {"One"}, skin);
    auto* sheet = dynamic_cast<TskSkinTabSheet*>(pc->GetPage(0));
    if (c.WallPaper) {
      auto w = SolidPicture(3, 3, Red);
      sheet->SetWallPaper(w.get());
    }
    TBitmap b;
    b.SetPixelFormat(pf24bit);
    b.SetSize(20, 20);
    sheet->PaintSheetBackground(b.GetCanvas()->GetHandle());
    EXPECT_EQ(c.Expected, ColorToRGB(BitmapPixel(&b, 10, 10))) << c.Name;
    delete pc;
  }
}

TEST_F(SkinPageControlTest, TheCloseButtonClosesItsOwnPageWhenAllowed)
{
  auto* pc = Pages(300, {"One", "Two", "Three"});
  pc->SetShowCloseButtons(true);
  pc->OnChanging = [](TObject*, bool& AllowChange) { AllowChange = false; };
  std::vector<String> log;
  bool allow = false;
  pc->OnClose = [&](TObject* Sender, bool& CanClose) {
    log.push_back("close " + dynamic_cast<TTabSheet*>(Sender)->GetCaption());
    CanClose = allow;
  };
  pc->OnAfterClose = [&](TObject*) { log.push_back("after"); };
  TPoint p = CloseCentre(pc, 1);
  Click(pc, p.x, p.y);
  EXPECT_TRUE(pc->GetPage(1)->GetTabVisible()) << "refused";
  allow = true;
  p = CloseCentre(pc, 1);
  Click(pc, p.x, p.y);
  EXPECT_EQ(pc->GetPage(0), pc->GetActivePage()) << "the switch was vetoed";
  EXPECT_FALSE(pc->GetPage(1)->GetTabVisible()) << "the page whose button was released closes";
  EXPECT_TRUE(pc->GetPage(0)->GetTabVisible());
  ASSERT_EQ(3u, log.size());
  EXPECT_EQ("close Two", log[1]);
  EXPECT_EQ("after", log[2]);

  pc->SetFreeOnClose(true);
  pc->OnAfterClose = [&](TObject*) { log.push_back("after, pages " + std::to_string(pc->GetPageCount())); };
  p = CloseCentre(pc, 1, 2);  // "Three" is now the second visible tab
  Click(pc, p.x, p.y);
  EXPECT_EQ("after, pages 2", log.back()) << "freed before OnAfterClose";
}

TEST_F(SkinPageControlTest, AnUpDownScrollsTheTabsOnlyWhileSomeAreCut)
{
  auto* pc = Pages(400, {"First page", "Second page", "Third page"});
  EXPECT_EQ(nullptr, pc->GetUpDown());
  pc->SetWidth(150);
  Pump();
  ASSERT_NE(nullptr, pc->GetUpDown());
  EXPECT_EQ(pc->ScrolledOutCount(), pc->GetUpDown()->GetMax());
  EXPECT_GT(pc->GetUpDown()->GetMax(), 0);
  EXPECT_EQ(pc->GetWidth() - pc->GetUpDown()->GetWidth(), pc->GetUpDown()->GetLeft());
  pc->GetUpDown()->SetPosition(1);
  EXPECT_EQ(1, pc->LeftScrolledCount()) << "the native tabs scrolled";
  pc->GetUpDown()->SetPosition(0);
  pc->SetWidth(400);
  Pump();
  EXPECT_EQ(nullptr, pc->GetUpDown());
}

TEST_F(SkinPageControlTest, CentredTabsNeedAFixedWidthAndMoveByHalfTheFreeRoom)
{
  auto* pc = Pages(600, {"One", "Two", "Three"});
  pc->SetTabsInCenter(true);
  EXPECT_FALSE(pc->GetTabsInCenter()) << "no fixed tab width";
  pc->SetTabWidth(80);
  const int unshifted = pc->GetItemRect(1).left;
  pc->SetTabPosition(tpBottom);
  pc->SetTabsInCenter(true);
  EXPECT_TRUE(pc->GetTabsInCenter());
  EXPECT_EQ(tpTop, pc->GetTabPosition());
  EXPECT_TRUE(pc->GetTabsBGTransparent());
  EXPECT_EQ(180, pc->CenterOffset());
  EXPECT_EQ(unshifted + 180, pc->GetItemRect(1).left);
  Pump();
  const TRect second = pc->GetItemRect(1);
  const TPoint p = pc->ClientToScreen(TPoint{(second.left + second.right) / 2, (second.top + second.bottom) / 2});
  Display()->InjectButton(p.x, p.y, 1, true);
  Display()->InjectButton(p.x, p.y, 1, false);
  Pump();
  EXPECT_EQ(1, pc->GetActivePageIndex()) << "a press on a moved tab selects it";
}

TEST_F(SkinPageControlTest, TabsShowTheirStateAndTheSkinFrameSurroundsThePage)
{
  auto* pc = Pages(300, {"One", "Two"});
  pc->SetTabMargin(-2);
  EXPECT_EQ(-1, pc->GetTabMargin());
  auto shot = Snapshot(pc);
  const TRect active = pc->GetItemRect(0), other = pc->GetItemRect(1);
  EXPECT_EQ(0x800000, ColorToRGB(BitmapPixel(shot.get(), active.left + 1, active.top)) & 0xFFFFFF) << "active frame";
  EXPECT_EQ(ColorToRGB(clBtnFace), ColorToRGB(BitmapPixel(shot.get(), other.left + 2, other.top + 2)));

  TskSkinData* skin = NewSkin(Pictures(), Records(-1));
  auto* skinned = Pages(300, {"One", "Two"}, skin);
  shot = Snapshot(skinned);
  const TRect d = skinned->GetDisplayRect();
  EXPECT_EQ(Red, BitmapPixel(shot.get(), d.left - 2, d.top + 10)) << "the frame's left edge";
  const TRect tab = skinned->GetItemRect(1);
  EXPECT_EQ(Blue, BitmapPixel(shot.get(), tab.left + 2, tab.bottom - 3)) << "the tab picture";
}

}  // namespace
