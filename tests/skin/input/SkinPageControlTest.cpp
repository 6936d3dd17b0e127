#include <gtest/gtest.h>

#include <algorithm>
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

constexpr TColor Yellow = 0x00FFFF, Magenta = 0xFF00FF;

// Picture 0 of Pictures() with a tab whose outer edge (its top three rows) is yellow, an active
// tab at (30,0)-(60,26) four rows taller (blue, yellow top) and a focused tab like it.
String TallActiveRecords(const String& Extra = "")
{
  return Records(-1) + "activetabrect=30,0,60,26\nfocustabrect=30,0,60,26\n" + Extra;
}

std::vector<std::unique_ptr<TBitmap>> EdgedPictures()
{
  auto p = Pictures();
  FillArea(p[0].get(), Rect(30, 0, 60, 26), Blue);
  FillArea(p[0].get(), Rect(30, 0, 60, 3), Yellow);
  return p;
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


TEST_F(SkinPageControlTest, TabPicturesAreFlippedOrTurnedTowardThePage)
{
  // The tab picture's outer edge (yellow) faces away from the page on every side.
  struct {
    const char* Name;
    TTabPosition Position;
    bool TextInHorizontal;
    int Side;  // 0 top, 1 bottom, 2 left, 3 right of the item rect
  } const cases[] = {
      {"top: as drawn", tpTop, false, 0},
      {"bottom: flipped", tpBottom, false, 1},
      {"left: turned left", tpLeft, false, 2},
      {"right: turned right", tpRight, false, 3},
      {"left with horizontal text", tpLeft, true, 2},
      {"right with horizontal text", tpRight, true, 3},
  };
  for (const auto& c : cases) {
    TskSkinData* skin = NewSkin(EdgedPictures(), Records(-1));
    auto* pc = Pages(300, {"One", "Two"}, skin);
    pc->SetTextInHorizontal(c.TextInHorizontal);
    pc->SetTabPosition(c.Position);
    Pump();
    auto shot = Snapshot(pc);
    const TRect r = pc->GetItemRect(1);
    ASSERT_GT(RectWidth(r), 6) << c.Name;
    ASSERT_GT(RectHeight(r), 6) << c.Name;
    const TPoint edge[] = {{r.left + 3, r.top + 1}, {r.left + 3, r.bottom - 2}, {r.left + 1, r.top + 3},
                           {r.right - 2, r.top + 3}};
    const TPoint opposite[] = {edge[1], edge[0], edge[3], edge[2]};
    EXPECT_EQ(Yellow, BitmapPixel(shot.get(), edge[c.Side].x, edge[c.Side].y)) << c.Name;
    EXPECT_EQ(Blue, BitmapPixel(shot.get(), opposite[c.Side].x, opposite[c.Side].y)) << c.Name;
    delete pc;
  }
}

TEST_F(SkinPageControlTest, TheActiveTabReachesIntoThePageFrameOnEverySide)
{
  struct {
    const char* Name;
    TTabPosition Position;
  } const cases[] = {{"top", tpTop}, {"bottom", tpBottom}, {"left", tpLeft}, {"right", tpRight}};
  for (const auto& c : cases) {
    TskSkinData* skin = NewSkin(EdgedPictures(), TallActiveRecords());
    auto* pc = Pages(300, {"One", "Two"}, skin);
    pc->SetTabPosition(c.Position);
    Pump();
    auto shot = Snapshot(pc);
    const TRect item = pc->GetItemRect(0), ext = pc->ActiveTabExtension();
    // The extension is the item rect grown by 6 toward the page.
    const TRect expected[] = {{item.left, item.top, item.right, item.bottom + 6},
                              {item.left, item.top - 6, item.right, item.bottom},
                              {item.left, item.top, item.right + 6, item.bottom},
                              {item.left - 6, item.top, item.right, item.bottom}};
    const int k = static_cast<int>(c.Position);
    EXPECT_EQ(expected[k].left, ext.left) << c.Name;
    EXPECT_EQ(expected[k].top, ext.top) << c.Name;
    EXPECT_EQ(expected[k].right, ext.right) << c.Name;
    EXPECT_EQ(expected[k].bottom, ext.bottom) << c.Name;
    // Just inside the extension, on the page's side, the tab covers the frame.
    const TPoint inside[] = {{ext.left + 4, ext.bottom - 2}, {ext.left + 4, ext.top + 1},
                             {ext.right - 2, ext.top + 4}, {ext.left + 1, ext.top + 4}};
    EXPECT_EQ(Blue, BitmapPixel(shot.get(), inside[k].x, inside[k].y)) << c.Name;
    delete pc;
  }
}

TEST_F(SkinPageControlTest, TheTabStripShowsTheSkinOrTheParentBehindIt)
{
  struct {
    const char* Name;
    TTabPosition Position;
    bool Transparent;
    TColor Expected;
  } const cases[] = {
      {"top, skin client part", tpTop, false, Green},
      {"top, transparent", tpTop, true, Magenta},
      {"bottom, skin client part", tpBottom, false, Green},
      {"bottom, transparent", tpBottom, true, Magenta},
      {"right, transparent", tpRight, true, Magenta},
  };
  Form->SetColor(Magenta);
  for (const auto& c : cases) {
    TskSkinData* skin = NewSkin(Pictures(), Records(-1));
    auto* pc = Pages(300, {"One"}, skin);
    pc->SetTabPosition(c.Position);
    pc->SetTabsBGTransparent(c.Transparent);
    Pump();
    auto shot = Snapshot(pc);
    const TRect item = pc->GetItemRect(0);
    // Beyond the last tab, inside the strip.
    const TPoint p = c.Position == tpRight ? TPoint{(item.left + item.right) / 2, item.bottom + 20}
                                           : TPoint{item.right + 20, (item.top + item.bottom) / 2};
    EXPECT_EQ(c.Expected, BitmapPixel(shot.get(), p.x, p.y)) << c.Name;
    delete pc;
  }
}

TEST_F(SkinPageControlTest, SkinnedTabsTakeTheTabPictureHeightAlsoWhenTheWindowIsMadeLater)
{
  String text = Records(-1);
  text.replace(text.find("tabrect=30,0,60,20"), 18, "tabrect=30,0,60,26");
  auto* pc = Pages(300, {"One", "Two"}, NewSkin(EdgedPictures(), text));  // bound before Show
  EXPECT_EQ(26, RectHeight(pc->GetItemRect(1)));
  pc->SetTabPosition(tpBottom);  // the native window is made again
  Pump();
  EXPECT_EQ(26, RectHeight(pc->GetItemRect(1)));
}

TEST_F(SkinPageControlTest, AFixedTabHeightStretchesTheWholeTabPicture)
{
  TskSkinData* skin = NewSkin(EdgedPictures(), Records(-1));
  auto* pc = Pages(300, {"One", "Two"}, skin);
  pc->SetTabHeight(34);
  pc->ChangeSkinData();
  Pump();
  auto shot = Snapshot(pc);
  const TRect r = pc->GetItemRect(1);
  EXPECT_EQ(34, RectHeight(r));
  EXPECT_EQ(Blue, BitmapPixel(shot.get(), r.left + 3, r.bottom - 2)) << "the picture reaches the tab's bottom";
  EXPECT_EQ(Yellow, BitmapPixel(shot.get(), r.left + 3, r.top)) << "the edge stays at the top";
}

TEST_F(SkinPageControlTest, TabImagesGetRoomAndOnDrawSkinTabReplacesTheContents)
{
  auto* pc = Pages(300, {"One", "Two"});
  const int plain = RectWidth(pc->GetItemRect(1));
  auto* images = new TCustomImageList(Form, 12, 12);
  auto red = SolidPicture(12, 12, Red);
  images->Add(red.get(), nullptr);
  pc->SetImages(images);
  Pump();
  EXPECT_EQ(plain + 12, RectWidth(pc->GetItemRect(1))) << "room for the image";
  auto shot = Snapshot(pc);
  TRect r = pc->GetItemRect(1);
  bool sawRed = false;
  for (int x = r.left; x < r.right; ++x)
    sawRed |= BitmapPixel(shot.get(), x, (r.top + r.bottom) / 2) == Red;
  EXPECT_TRUE(sawRed) << "the page's image is drawn";

  pc->SetTabExtededDraw(true);
  pc->SetTabMargin(0);
  Pump();
  shot = Snapshot(pc);
  r = pc->GetItemRect(1);
  bool redNearLeft = false;
  for (int x = r.left; x < r.left + 6; ++x)
    redNearLeft |= BitmapPixel(shot.get(), x, (r.top + r.bottom) / 2) == Red;
  EXPECT_TRUE(redNearLeft) << "the layout routine pins the image to the left with margin 0";

  std::vector<int> drawn;
  pc->OnDrawSkinTab = [&](int TabIndex, const TRect& Rct, bool Active, bool, TCanvas* Cnvs) {
    drawn.push_back(TabIndex * 10 + (Active ? 1 : 0));
    Cnvs->GetBrush()->SetStyle(bsSolid);
    Cnvs->GetBrush()->SetColor(Magenta);
    Cnvs->FillRect(Rct);
  };
  pc->Invalidate();
  Pump();
  drawn.clear();
  shot = Snapshot(pc);
  r = pc->GetItemRect(1);
  EXPECT_EQ(Magenta, BitmapPixel(shot.get(), (r.left + r.right) / 2, (r.top + r.bottom) / 2));
  EXPECT_NE(drawn.end(), std::find(drawn.begin(), drawn.end(), 10)) << "page 1, not active";
  EXPECT_NE(drawn.end(), std::find(drawn.begin(), drawn.end(), 1)) << "page 0, active";

  delete images;
  EXPECT_EQ(nullptr, pc->GetImages());
  EXPECT_EQ(plain, RectWidth(pc->GetItemRect(1))) << "the room is given back";
}

TEST_F(SkinPageControlTest, TheFocusedActiveTabShowsAFocusRectangle)
{
  TskSkinData* skin = NewSkin(EdgedPictures(), TallActiveRecords("showfocus=1\nfocusoffsetx=3\nfocusoffsety=5\nfocusfontcolor=255\n"));
  auto* pc = Pages(300, {"One", "Two"}, skin);
  pc->SetFocus();
  Pump();
  ASSERT_TRUE(pc->Focused());
  auto shot = Snapshot(pc);
  const TRect r = pc->GetItemRect(0);
  int dots = 0;
  for (int y = r.top + 5; y < r.top + 20; ++y)
    dots += BitmapPixel(shot.get(), r.left + 3, y) == Red;
  EXPECT_GT(dots, 3) << "a dotted line in the focus font colour, offset 3 from the left";
  EXPECT_EQ(Blue, BitmapPixel(shot.get(), r.left + 1, r.top + 10)) << "outside the focus rectangle";
}

}  // namespace
