// The skinned bevel and the skinned (windowed) label and status panel.
#include <gtest/gtest.h>

#include <functional>

#include "skin/controls/SkinBevel.h"
#include "skin/controls/SkinLabel.h"
#include "skin/controls/SkinPanel.h"
#include "tests/skin/support/SkinTestSupport.h"

namespace {

constexpr TColor Red = 0x0000FF, Green = 0x00FF00, Grey = 0x808080, White = 0xFFFFFF, Black = 0;
constexpr TColor Light = 0x00FFFF, Dark = 0x800080, Magenta = 0xFF00FF;

// Picture 0: a 40 x 20 label frame, grey with a white client part (3,3)-(37,17).
std::vector<std::unique_ptr<TBitmap>> Pictures()
{
  std::vector<std::unique_ptr<TBitmap>> p;
  p.push_back(SolidPicture(40, 20, Grey));
  FillArea(p[0].get(), Rect(3, 3, 37, 17), White);
  return p;
}

String Records()
{
  return "[SKINCONTROLS]\ncount=5\n0=bevel:bevel\n1=label:label\n2=fixedlabel:label\n3=statuspanel:label\n"
         "4=other:stdlabel\n"
         "[bevel]\nlightcolor=65535\ndarkcolor=8388736\n"
         "[label]\npictureindex=0\nskinrect=0,0,40,20\nlefttoppoint=3,3\nrighttoppoint=37,3\nleftbottompoint=3,17\n"
         "rightbottompoint=37,17\nclientrect=3,3,37,17\nfontname=Arial\nfontheight=14\nfontcolor=255\n"
         "[fixedlabel]\npictureindex=0\nskinrect=0,0,40,20\nclientrect=3,3,37,17\nfontcolor=255\n"
         "[statuspanel]\npictureindex=0\nskinrect=0,0,40,20\nlefttoppoint=3,3\nrighttoppoint=37,3\n"
         "leftbottompoint=3,17\nrightbottompoint=37,17\nclientrect=3,3,37,17\nfontcolor=255\n"
         "[other]\nfontcolor=0\n";
}

// A panel that centres the bevels on it, as the skinned tool bar does.
class TCentringPanel : public TskSkinPanel {
public:
  using TskSkinPanel::TskSkinPanel;
  bool CentresBevels() const override { return true; }
};

class SkinBevelLabelTest : public TSkinControlTest {
protected:
  void SetUp() override
  {
    TSkinControlTest::SetUp();
    Form = NewForm(100, 100, 400, 300);
    Form->SetColor(Black);
    Skin = NewSkin(Pictures(), Records());
  }
  TskSkinBevel* Bevel(TBevelShape Shape, TBevelStyle Style, int W, int H, bool Skinned = true)
  {
    auto* b = new TskSkinBevel(Form);
    b->SetParent(Form);
    b->SetBounds(10, 10, W, H);
    b->SetShape(Shape);
    b->SetStyle(Style);
    if (Skinned)
      b->SetSkinData(Skin);
    return b;
  }
  template <typename T = TskSkinLabel>
  T* Label(const char* Record, int W = 75, int H = 21)
  {
    auto* l = new T(Form);
    l->SetParent(Form);
    l->SetBounds(10, 10, W, H);
    if (Record) {
      l->SetSkinDataName(Record);
      l->SetSkinData(Skin);
    }
    return l;
  }
  static bool Same(TBitmap* A, TBitmap* B)
  {
    for (int y = 0; y < A->GetHeight(); ++y)
      for (int x = 0; x < A->GetWidth(); ++x)
        if (BitmapPixel(A, x, y) != BitmapPixel(B, x, y))
          return false;
    return true;
  }

  TForm* Form = nullptr;
  TskSkinData* Skin = nullptr;
};

TEST_F(SkinBevelLabelTest, ABevelDrawsInTheSkinColoursOrTheSystemOnes)
{
  struct Case {
    const char* Name;
    std::function<void(TskSkinBevel*)> Bind;
    TColor Top, Bottom;  // of a lowered top line: dark above, light below
  } const cases[] = {
      {"skinned", [this](TskSkinBevel* b) { b->SetSkinData(Skin); }, Dark, Light},
      {"no skin data", [](TskSkinBevel* b) { b->SetSkinData(nullptr); }, ColorToRGB(clBtnShadow),
       ColorToRGB(clBtnHighlight)},
      {"no bevel record",
       [this](TskSkinBevel* b) {
         b->SetSkinDataName("missing");
         b->SetSkinData(Skin);
       },
       ColorToRGB(clBtnShadow), ColorToRGB(clBtnHighlight)},
      {"a record of another kind keeps the colours",
       [this](TskSkinBevel* b) {
         b->SetSkinData(Skin);
         b->SetSkinDataName("other");
         b->ChangeSkinData();
       },
       Dark, Light},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.Name);
    auto* b = Bevel(bsTopLine, bsLowered, 50, 10, false);
    c.Bind(b);
    auto shot = Snapshot(b);
    EXPECT_EQ(c.Top, BitmapPixel(shot.get(), 20, 0));
    EXPECT_EQ(c.Bottom, BitmapPixel(shot.get(), 20, 1));
    delete b;
  }
}

TEST_F(SkinBevelLabelTest, TheShapesAndTheDividers)
{
  struct Case {
    const char* Name;
    TBevelShape Shape;
    TBevelStyle Style;
    bool Divider;
    int W, H;
    std::vector<std::pair<TPoint, TColor>> Pixels;
  } const cases[] = {
      {"one-pixel lowered left line: only the dark line", bsLeftLine, bsLowered, false, 1, 20,
       {{Point(0, 5), Dark}}},
      {"raised right line", bsRightLine, bsRaised, false, 10, 20, {{Point(8, 5), Light}, {Point(9, 5), Dark}}},
      {"bottom line", bsBottomLine, bsLowered, false, 30, 10, {{Point(5, 8), Dark}, {Point(5, 9), Light}}},
      {"lowered box", bsBox, bsLowered, false, 30, 20,
       {{Point(0, 10), Dark}, {Point(10, 0), Dark}, {Point(29, 10), Light}, {Point(10, 19), Light}}},
      {"divider of a top line", bsTopLine, bsLowered, true, 30, 10,
       {{Point(2, 4), Dark}, {Point(27, 4), Dark}, {Point(10, 5), Light}, {Point(10, 3), Black},
        {Point(1, 4), Black}, {Point(10, 6), Black}, {Point(10, 0), Black}}},
      {"divider of a box: vertical", bsBox, bsLowered, true, 10, 30,
       {{Point(4, 10), Dark}, {Point(5, 10), Light}, {Point(0, 10), Black}, {Point(4, 1), Black}}},
      {"a spacer draws nothing", bsSpacer, bsLowered, false, 30, 30, {{Point(0, 0), Black}, {Point(15, 15), Black}}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.Name);
    auto* b = Bevel(c.Shape, c.Style, c.W, c.H);
    b->SetDividerMode(c.Divider);
    auto shot = Snapshot(b);
    for (auto [p, colour] : c.Pixels)
      EXPECT_EQ(colour, BitmapPixel(shot.get(), p.x, p.y)) << p.x << "," << p.y;
    delete b;
  }
}

TEST_F(SkinBevelLabelTest, ABevelOnACentringPanelStaysCentred)
{
  auto* panel = new TCentringPanel(Form);
  panel->SetParent(Form);
  panel->SetBounds(0, 0, 200, 41);
  panel->SetBorderStyle(TskSkinBorderStyle::bvNone);
  auto* b = new TskSkinBevel(Form);
  b->SetParent(panel);
  b->SetBounds(5, 0, 2, 21);
  EXPECT_EQ(10, b->GetTop());
  b->SetTop(30);
  EXPECT_EQ(10, b->GetTop());
  auto* loose = new TskSkinBevel(Form);
  loose->SetParent(Form);
  loose->SetBounds(5, 30, 2, 21);
  EXPECT_EQ(30, loose->GetTop());
}

TEST_F(SkinBevelLabelTest, AutoSizeFitsTheCaption)
{
  auto* plain = Label(nullptr);
  plain->SetCaption("Status text");
  TCanvas* c = Form->GetCanvas();
  c->GetFont()->Assign(plain->GetDefaultFont());
  const int text = c->TextWidth("Status text");
  plain->SetAutoSize(true);
  EXPECT_EQ(text + 4, plain->GetWidth()) << "shrinks or grows to the text and 4 pixels";
  plain->SetCaption("Status text, longer");
  EXPECT_EQ(c->TextWidth("Status text, longer") + 4, plain->GetWidth());

  auto* skinned = Label("label");
  skinned->SetCaption("Status text");
  skinned->SetAutoSize(true);
  EXPECT_EQ(text + 6, skinned->GetWidth()) << "the text fills the client part";

  auto* client = Label(nullptr);
  client->SetAlign(alClient);
  const int width = client->GetWidth();
  client->SetCaption("x");
  client->SetAutoSize(true);
  EXPECT_EQ(width, client->GetWidth()) << "aligned to the client area";

  auto* fixed = Label(nullptr);
  fixed->SetAutoSize(true);
  fixed->SetSkinDataName("fixedlabel");
  fixed->SetSkinData(Skin);
  EXPECT_FALSE(fixed->GetAutoSize()) << "a fixed-size record switches it off";
  EXPECT_EQ(40, fixed->GetWidth());
}

TEST_F(SkinBevelLabelTest, OnlyTheShadowIsDrawnWhenBothEffectsAreOn)
{
  auto* l = Label("label", 120, 21);
  l->SetCaption("Shadow");
  auto plain = Snapshot(l);
  l->SetShadowEffect(true);
  auto shadow = Snapshot(l);
  EXPECT_FALSE(Same(plain.get(), shadow.get()));
  l->SetReflectionEffect(true);
  EXPECT_TRUE(Same(shadow.get(), Snapshot(l).get()));
  l->SetShadowEffect(false);
  EXPECT_FALSE(Same(shadow.get(), Snapshot(l).get())) << "now the reflection";
}

TEST_F(SkinBevelLabelTest, WithoutTheSkinSizeALabelKeepsItsHeightAndHasNoRegion)
{
  auto* l = new TskSkinLabel(Form);
  l->SetParent(Form);
  l->SetUseSkinSize(false);
  l->SetBounds(10, 10, 90, 50);
  l->SetSkinDataName("fixedlabel"); // a fixed-size picture, stretched sideways and down
  l->SetSkinData(Skin);
  EXPECT_EQ(90, l->GetWidth());
  EXPECT_EQ(50, l->GetHeight());
  EXPECT_EQ(nullptr, l->GetRegionHandle());
  auto shot = Snapshot(l);
  EXPECT_EQ(Grey, BitmapPixel(shot.get(), 1, 25));
  EXPECT_EQ(White, BitmapPixel(shot.get(), 45, 45)) << "the client part stretched over the height";
}

TEST_F(SkinBevelLabelTest, AStatusPanelShowsTheGlyphCellOfItsState)
{
  // A two-cell 8 x 8 glyph: red, then green; the bottom-left pixel of each cell is magenta.
  TBitmap glyph;
  glyph.SetPixelFormat(pf24bit);
  glyph.SetSize(16, 8);
  FillArea(&glyph, Rect(0, 0, 8, 8), Red);
  FillArea(&glyph, Rect(8, 0, 16, 8), Green);
  glyph.GetCanvas()->SetPixels(0, 7, Magenta);
  glyph.GetCanvas()->SetPixels(8, 7, Magenta);
  for (const char* record : {"statuspanel", static_cast<const char*>(nullptr)}) {
    SCOPED_TRACE(record ? record : "unskinned");
    auto* p = Label<TskSkinStatusPanel>(record, 120, 20);
    p->SetGlyph(&glyph);
    p->SetNumGlyphs(2);
    auto at = [&] { return BitmapPixel(Snapshot(p).get(), 6, 10); };
    EXPECT_EQ(Red, at());
    p->SetEnabled(false);
    EXPECT_EQ(Green, at());
    p->SetNumGlyphs(1); // one 16-pixel cell: always that
    EXPECT_EQ(Red, at());
    p->SetEnabled(true);
    EXPECT_EQ(Red, at());
    delete p;
  }
}

TEST_F(SkinBevelLabelTest, AStatusPanelMakesRoomForItsGlyphWhenSizingItself)
{
  TBitmap glyph;
  glyph.SetSize(16, 8);
  auto* fresh = new TskSkinStatusPanel(Form);
  EXPECT_EQ(120, fresh->GetWidth());
  EXPECT_EQ("statuspanel", fresh->GetSkinDataName());
  auto* p = Label<TskSkinStatusPanel>(nullptr);
  p->SetCaption("CPU:");
  p->SetGlyph(&glyph);
  p->SetNumGlyphs(2);
  p->SetAutoSize(true);
  TCanvas* c = Form->GetCanvas();
  c->GetFont()->Assign(p->GetDefaultFont());
  EXPECT_EQ(c->TextWidth("CPU:") + 4 + 8 + 3, p->GetWidth());
}

TEST_F(SkinBevelLabelTest, DamagedRecordsAndOddSizesPaintWithoutFailing)
{
  const std::pair<int, int> sizes[] = {{0, 0}, {1, 1}, {3, 200}, {240, 70}};
  for (const char* record : {"label", "fixedlabel", "statuspanel", "other"})
    for (bool useSkinSize : {true, false})
      for (auto [w, h] : sizes) {
        TskSkinData* skin = NewSkin(Pictures(), Records());
        if (auto* r = SkinRecord<TskDataSkinLabelControl>(skin, record)) {
          r->clientrect = Rect(30, 30, 0, 0);
          r->pictureindex = 5;
        }
        auto* l = new TskSkinStatusPanel(Form);
        l->SetParent(Form);
        l->SetUseSkinSize(useSkinSize);
        l->SetSkinDataName(record);
        l->SetBounds(0, 0, w, h);
        l->SetSkinData(skin);
        l->SetCaption("Text");
        l->SetEllipsType(spetEllips);
        l->SetAutoSize(true);
        l->SetShadowEffect(true);
        Snapshot(l);
        delete l;
        auto* b = new TskSkinBevel(Form);
        b->SetParent(Form);
        b->SetBounds(0, 0, w, h);
        b->SetSkinData(skin);
        b->SetDividerMode(true);
        Snapshot(b);
        delete skin;
        Snapshot(b);
        delete b;
      }
}

} // namespace
