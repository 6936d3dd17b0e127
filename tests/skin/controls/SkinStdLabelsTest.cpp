#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <thread>

#include "platform/os/Shell.h"
#include "skin/controls/SkinStdLabels.h"
#include "tests/skin/support/SkinTestSupport.h"

namespace {

constexpr TColor Red = 0x0000FF, Blue = 0xFF0000, Green = 0x00FF00, White = 0xFFFFFF;
constexpr TColor Highlight = 0x00FFFF, Shadow = 0x800080;

// A stdlabel record with a big bold font (solid strokes for the pixel checks), red text and a
// green active colour; the skin's highlight and shadow colours are yellow and purple.
String Records()
{
  return "[SKINCONTROLS]\ncount=2\n0=stdlabel:stdlabel\n1=bold:stdlabel\n"
         "[stdlabel]\nfontname=Arial\nfontheight=30\nfontstyle=fsbold\nfontcolor=255\nactivefontcolor=65280\n"
         "[bold]\nfontname=Arial\nfontheight=30\nfontstyle=fsbold\nfontcolor=255\nactivefontcolor=65280\n"
         "[SKINCOLORS]\ncbtnhighlight=65535\ncbtnshadow=8388736\n";
}

// The bounding box of the pixels of exactly Colour (empty when there are none).
TRect ColourBox(TBitmap* B, TColor Colour)
{
  TRect box = Rect(B->GetWidth(), B->GetHeight(), -1, -1);
  for (int y = 0; y < B->GetHeight(); ++y)
    for (int x = 0; x < B->GetWidth(); ++x)
      if (BitmapPixel(B, x, y) == Colour) {
        box.left = std::min<LONG>(box.left, x);
        box.top = std::min<LONG>(box.top, y);
        box.right = std::max<LONG>(box.right, x + 1);
        box.bottom = std::max<LONG>(box.bottom, y + 1);
      }
  return box.right < 0 ? Rect(0, 0, 0, 0) : box;
}

class SkinStdLabelsTest : public TSkinControlTest {
protected:
  void SetUp() override
  {
    TSkinControlTest::SetUp();
    Form = NewForm(100, 100, 400, 300);
    Form->SetColor(White);
    Skin = NewSkin({}, Records());
    TStringList lines;
    lines.SetText(Records());
    TMemIniFile ini("");
    ini.SetStrings(&lines);
    Skin->SkinColors->LoadFromFile(&ini);
  }
  template <typename T>
  T* Label(const char* Caption, bool Skinned = true)
  {
    auto* l = new T(Form);
    l->SetParent(Form);
    l->SetBounds(10, 10, 200, 40);
    if constexpr (!std::is_same_v<T, TskSkinTextLabel>)
      l->SetCaption(Caption);
    if (Skinned)
      l->SetSkinData(Skin);
    return l;
  }

  TForm* Form = nullptr;
  TskSkinData* Skin = nullptr;
};

TEST_F(SkinStdLabelsTest, TheStandardLabelTakesTheSkinFontAndColour)
{
  struct Case {
    const char* Name;
    const char* Record;  // null: no skin data
    bool UseSkinFont, UseSkinColor;
    int ExpectedHeight;  // of the AutoSized label: the font's
    TColor Colour;       // solid text pixels
  } const cases[] = {
      {"skinned", "stdlabel", true, true, 30, Red},
      {"skinned, own colour", "stdlabel", true, false, 30, Blue},
      {"skinned, own font", "stdlabel", false, true, 20, Red},
      {"no such record, default font", "missing", true, true, 26, Green},
      {"no such record, own font", "missing", false, true, 20, Blue},
      {"no skin data", nullptr, true, true, 26, Green},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.Name);
    auto* l = new TskSkinStdLabel(Form);
    l->SetParent(Form);
    l->SetBounds(10, 10, 10, 10);
    l->SetAutoSize(true);
    l->GetFont()->SetName("Arial");
    l->GetFont()->SetHeight(20);
    l->GetFont()->SetStyle(fsBold);
    l->GetFont()->SetColor(Blue);
    l->GetDefaultFont()->SetName("Arial");
    l->GetDefaultFont()->SetHeight(26);
    l->GetDefaultFont()->SetStyle(fsBold);
    l->GetDefaultFont()->SetColor(Green);
    l->SetUseSkinFont(c.UseSkinFont);
    l->SetUseSkinColor(c.UseSkinColor);
    l->SetCaption("IIII");
    if (c.Record) {
      l->SetSkinDataName(c.Record);
      l->SetSkinData(Skin);
    }
    EXPECT_EQ(c.Record && std::string(c.Record) == "stdlabel" ? 0 : -1, l->GetSkinIndex());
    EXPECT_EQ(c.ExpectedHeight, l->GetHeight());
    EXPECT_FALSE(IsNullRect(ColourBox(Snapshot(l).get(), c.Colour)));
    delete l;
  }
}

TEST_F(SkinStdLabelsTest, ADisabledLabelIsEmbossedInTheSkinColours)
{
  auto* skinned = Label<TskSkinStdLabel>("IIII");
  skinned->SetEnabled(false);
  auto shot = Snapshot(skinned);
  const TRect light = ColourBox(shot.get(), Highlight), dark = ColourBox(shot.get(), Shadow);
  ASSERT_FALSE(IsNullRect(light));
  ASSERT_FALSE(IsNullRect(dark));
  // The shadow covers the highlight but for its right and bottom edges.
  EXPECT_EQ(dark.right + 1, light.right) << "the highlight one pixel right";
  EXPECT_EQ(dark.bottom + 1, light.bottom) << "and one down";
  EXPECT_TRUE(IsNullRect(ColourBox(shot.get(), Red)));
  // Unskinned, the system's colours.
  auto* plain = Label<TskSkinStdLabel>("IIII", false);
  plain->GetDefaultFont()->SetHeight(30);
  plain->GetDefaultFont()->SetStyle(fsBold);
  plain->SetEnabled(false);
  shot = Snapshot(plain);
  EXPECT_FALSE(IsNullRect(ColourBox(shot.get(), ColorToRGB(clBtnShadow))));
  EXPECT_TRUE(IsNullRect(ColourBox(shot.get(), Shadow)));
}

TEST_F(SkinStdLabelsTest, AnEndEllipsisCutsATextWiderThanTheLabel)
{
  auto* l = Label<TskSkinStdLabel>("A long caption that does not fit");
  l->SetAutoSize(false);
  l->SetBounds(10, 10, 120, 40);
  auto whole = Snapshot(l);
  l->SetEllipsType(spetEndEllips);
  auto cut = Snapshot(l);
  // The last 20 columns: cut text without an ellipsis there, dots with one.
  int wholeRed = 0, cutRed = 0;
  for (int y = 0; y < 40; ++y)
    for (int x = 100; x < 120; ++x) {
      wholeRed += BitmapPixel(whole.get(), x, y) == Red;
      cutRed += BitmapPixel(cut.get(), x, y) == Red;
    }
  EXPECT_NE(wholeRed, cutRed);
  EXPECT_LT(cutRed, wholeRed) << "three dots instead of letters";
}

TEST_F(SkinStdLabelsTest, ATextLabelSizesItselfToItsLines)
{
  auto* l = Label<TskSkinTextLabel>("");
  EXPECT_TRUE(l->GetAutoSize());
  TStringList lines;
  lines.Add("one");
  lines.Add("two");
  lines.Add("three");
  l->SetLines(&lines);
  TCanvas* canvas = Form->GetCanvas();
  canvas->GetFont()->SetName("Arial");
  canvas->GetFont()->SetHeight(30);
  canvas->GetFont()->SetStyle(fsBold);
  const int line = canvas->TextHeight("A");
  EXPECT_EQ(3 * line, l->GetHeight()) << "exactly three lines";
  EXPECT_EQ(canvas->TextWidth("three"), l->GetWidth());
  l->GetLines()->Add("four and more");
  EXPECT_EQ(4 * line, l->GetHeight());
  EXPECT_EQ(canvas->TextWidth("four and more"), l->GetWidth());
}

TEST_F(SkinStdLabelsTest, ATextLabelLaysItsLinesOutTopCentreOrBottom)
{
  auto* l = Label<TskSkinTextLabel>("");
  l->SetAutoSize(false);
  l->SetBounds(10, 10, 65, 65);
  l->GetLines()->Add("I");
  const int top = ColourBox(Snapshot(l).get(), Red).top;
  l->SetLayout(tlBottom);
  const int bottom = ColourBox(Snapshot(l).get(), Red).top;
  l->SetLayout(tlCenter);
  const int centre = ColourBox(Snapshot(l).get(), Red).top;
  TCanvas* canvas = Form->GetCanvas();
  canvas->GetFont()->SetName("Arial");
  canvas->GetFont()->SetHeight(30);
  canvas->GetFont()->SetStyle(fsBold);
  const int line = canvas->TextHeight("A");
  EXPECT_EQ(top + 65 - line, bottom) << "the line at the bottom";
  EXPECT_EQ(top + (65 - line) / 2, centre);
}

class SkinLinkLabelTest : public SkinStdLabelsTest {
protected:
  void SetUp() override
  {
    SkinStdLabelsTest::SetUp();
    char pattern[] = "/tmp/qv-linklabel-XXXXXX";
    ASSERT_NE(nullptr, mkdtemp(pattern));
    Dir = std::string(pattern) + "/";
    // An opener that records its arguments, one per line.
    const std::string opener = Dir + "opener";
    std::ofstream(opener) << "#!/bin/sh\nfor a in \"$@\"; do printf '%s\\n' \"$a\"; done > '" << Dir
                          << "opened.tmp' && mv '" << Dir << "opened.tmp' '" << Dir << "opened'\n";
    chmod(opener.c_str(), 0755);
    SetShellOpener(opener);
  }
  void TearDown() override
  {
    SetShellOpener("xdg-open");
    std::filesystem::remove_all(Dir);
    SkinStdLabelsTest::TearDown();
  }
  std::string Opened()
  {
    const std::string file = Dir + "opened";
    for (int i = 0; i < 500 && !std::filesystem::exists(file); ++i)
      std::this_thread::sleep_for(std::chrono::milliseconds(10));
    std::ifstream in(file);
    return std::string(std::istreambuf_iterator<char>(in), {});
  }
  void Click(TControl* C)
  {
    C->Perform(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(3, 3));
    C->Perform(WM_LBUTTONUP, 0, MAKELPARAM(3, 3));
  }

  std::string Dir;
};

TEST_F(SkinLinkLabelTest, AClickRaisesOnClickThenOpensTheAddress)
{
  auto* l = Label<TskSkinLinkLabel>("Quelvo");
  std::vector<std::string> log;
  l->OnClick = [&](TObject* Sender) {
    EXPECT_EQ(l, Sender);
    log.push_back("click");
    EXPECT_FALSE(std::filesystem::exists(Dir + "opened")) << "the address opens after OnClick";
  };
  l->SetURL("http://www.example.com/a b?c=\"d\"");
  Click(l);
  EXPECT_EQ(std::vector<std::string>{"click"}, log);
  EXPECT_EQ("http://www.example.com/a b?c=\"d\"\n", Opened());
}

TEST_F(SkinLinkLabelTest, AClickWithoutAnAddressOnlyRaisesOnClick)
{
  auto* l = Label<TskSkinLinkLabel>("Quelvo");
  int clicks = 0;
  l->OnClick = [&](TObject*) { ++clicks; };
  Click(l);
  EXPECT_EQ(1, clicks);
  std::this_thread::sleep_for(std::chrono::milliseconds(100));
  EXPECT_FALSE(std::filesystem::exists(Dir + "opened"));
}

TEST_F(SkinLinkLabelTest, TheLinkShowsItsActiveColourWhileThePointerIsOverIt)
{
  struct Case {
    const char* Name;
    bool Skinned;
    TColor Normal, Hot;
  } const cases[] = {
      {"skinned: the record's colours", true, Red, Green},
      {"unskinned: the font's colour, then DefaultActiveFontColor", false, Blue, 0x00A000},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.Name);
    auto* l = Label<TskSkinLinkLabel>("IIII", c.Skinned);
    l->SetSkinDataName("bold");
    if (c.Skinned)
      l->SetSkinData(Skin);
    l->GetDefaultFont()->SetHeight(30);
    l->GetDefaultFont()->SetStyle(fsBold);
    l->GetDefaultFont()->SetColor(Blue);
    l->SetDefaultActiveFontColor(0x00A000);
    EXPECT_EQ(crHandPoint, l->GetCursor());
    EXPECT_FALSE(IsNullRect(ColourBox(Snapshot(l).get(), c.Normal)));
    l->Perform(CM_MOUSEENTER, 0, 0);
    EXPECT_TRUE(l->GetHovered());
    auto hot = Snapshot(l);
    EXPECT_FALSE(IsNullRect(ColourBox(hot.get(), c.Hot)));
    EXPECT_TRUE(IsNullRect(ColourBox(hot.get(), c.Normal)));
    l->Perform(CM_MOUSELEAVE, 0, 0);
    EXPECT_FALSE(IsNullRect(ColourBox(Snapshot(l).get(), c.Normal)));
    delete l;
  }
}

TEST_F(SkinLinkLabelTest, WithGlowTheHoveredTextKeepsItsColourAndGlows)
{
  auto* l = Label<TskSkinLinkLabel>("IIII");
  l->SetSkinDataName("bold");
  l->SetSkinData(Skin);
  l->SetGlowEffect(true);
  l->SetGlowSize(5);
  l->SetBounds(10, 10, 200, 60);
  const TRect normal = ColourBox(Snapshot(l).get(), Red);
  l->Perform(CM_MOUSEENTER, 0, 0);
  auto hot = Snapshot(l);
  const TRect text = ColourBox(hot.get(), Red);
  EXPECT_EQ(normal, text) << "the text keeps its colour and place";
  bool greenish = false;
  for (int y = 0; y < 60; ++y)
    for (int x = 0; x < 200; ++x) {
      const TColor c = BitmapPixel(hot.get(), x, y);
      if (((c >> 8) & 0xFF) > (c & 0xFF) + 40 && ((c >> 8) & 0xFF) > ((c >> 16) & 0xFF) + 40)
        greenish = true;
    }
  EXPECT_TRUE(greenish) << "a glow in the active colour";
  EXPECT_EQ(200, l->GetWidth());
  EXPECT_EQ(60, l->GetHeight());
}

TEST_F(SkinStdLabelsTest, FreeingTheSkinDataLeavesTheLabelsUnskinned)
{
  auto* std = Label<TskSkinStdLabel>("x");
  auto* text = Label<TskSkinTextLabel>("x");
  auto* link = Label<TskSkinLinkLabel>("x");
  delete Skin;
  Skin = nullptr;
  EXPECT_EQ(nullptr, std->GetSkinDataComponent());
  EXPECT_EQ(nullptr, text->GetSkinDataComponent());
  EXPECT_EQ(nullptr, link->GetSkinDataComponent());
  Snapshot(std);
  Snapshot(text);
  Snapshot(link);
  EXPECT_EQ(-1, std->GetSkinIndex());
}

} // namespace
