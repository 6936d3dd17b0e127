#include <gtest/gtest.h>

#include <memory>

#include "skin/foundation/SkinCustomControlRecords.h"
#include "skin/foundation/SkinObjectRecords.h"
#include "skin/foundation/SkinWindowRecords.h"

namespace {

std::unique_ptr<TMemIniFile> IniOf(const String& Text)
{
  auto ini = std::make_unique<TMemIniFile>("");
  TStringList lines;
  lines.SetText(Text);
  ini->SetStrings(&lines);
  return ini;
}

template <typename T>
std::unique_ptr<T> Loaded(const String& Name, const String& Text)
{
  auto ini = IniOf(Text);
  auto record = std::make_unique<T>(Name);
  record->LoadFromFile(ini.get());
  return record;
}

TEST(SkinControlRecords, MissingSectionGivesTheDefaults)
{
  auto bevel = Loaded<TskDataSkinBevel>("bevel", "");
  EXPECT_EQ(bevel->pictureindex, -1);
  EXPECT_EQ(bevel->maskpictureindex, -1);
  EXPECT_EQ(bevel->cursorindex, -1);
  EXPECT_EQ(bevel->skinrect, TRect{});
  EXPECT_EQ(bevel->lightcolor, 0u);
  EXPECT_EQ(bevel->darkcolor, 0u);

  auto button = Loaded<TskDataSkinButtonControl>("button", "");
  EXPECT_EQ(button->animateinterval, 25);
  EXPECT_EQ(button->glowlayeralphablendvalue, 255);
  EXPECT_EQ(button->glowlayerpictureindex, -1);
  EXPECT_EQ(button->fontname, "Arial");
  EXPECT_EQ(button->fontheight, 14);

  auto bar = Loaded<TskDataSkinControlBar>("controlbar", "");
  EXPECT_EQ(bar->itemoffset1, 3);
  EXPECT_EQ(bar->itemoffset2, 3);
}

TEST(SkinControlRecords, FilmstripAndRegulatorKeywords)
{
  struct Case {
    const char* Section;
    int FramesCount;
    TskFramesPlacement Placement;
  };
  const Case cases[] = {
      {"framescount=0\r\nframesplacement=fpvertical\r\n", 1, fpVertical},
      {"framescount=-5\r\nframesplacement=FPHORIZONTAL\r\n", 1, fpVertical},
      {"framescount=abc\r\nframesplacement=\r\n", 1, fpVertical},
      {"framescount=4\r\n", 4, fpHorizontal},
  };
  for (const Case& c : cases) {
    auto gauge = Loaded<TskDataSkinFrameGauge>("fg", String("[fg]\r\n") + c.Section);
    EXPECT_EQ(gauge->framescount, c.FramesCount) << c.Section;
    EXPECT_EQ(gauge->framesplacement, c.Placement) << c.Section;
  }
  EXPECT_EQ(Loaded<TskDataSkinFrameRegulator>("r", "[r]\r\nkind=rkvertical\r\n")->kind, rkVertical);
  EXPECT_EQ(Loaded<TskDataSkinFrameRegulator>("r", "[r]\r\nkind=circle\r\n")->kind, rkVertical);
  EXPECT_EQ(Loaded<TskDataSkinFrameRegulator>("r", "[r]\r\nkind=rkhorizontal\r\n")->kind, rkHorizontal);
  EXPECT_EQ(Loaded<TskDataSkinFrameRegulator>("r", "")->kind, rkRound);
}

TEST(SkinControlRecords, PresentEmptyFontNameStaysEmpty)
{
  auto absent = Loaded<TskDataSkinStdLabelControl>("stdlabel", "");
  EXPECT_EQ(absent->activefontcolor, 0xFF0000u);
  EXPECT_EQ(absent->fontname, "Arial");
  auto empty = Loaded<TskDataSkinStdLabelControl>("stdlabel", "[stdlabel]\r\nfontname=\r\n");
  EXPECT_EQ(empty->fontname, "");
}

TEST(SkinControlRecords, SavedTabReadsBackEqual)
{
  auto source = Loaded<TskDataSkinTabControl>(
      "tab", "[tab]\r\npictureindex=2\r\nskinrect=1,2,30,40\r\nleftstretch=1\r\ntopstretch=1\r\nrightstretch=0\r\n"
             "bottomstretch=1\r\nstretchtype=stvert\r\nfontstyle=fsbold\r\nfontcolor=255\r\nupdown=tabupdown\r\n"
             "lefttoppoint=3,4\r\nclosebuttonrect=5,6,7,8\r\n");
  auto ini = IniOf("[tab]\r\nstale=1\r\n");
  source->SaveToFile(ini.get());
  EXPECT_EQ(ini->ReadString("tab", "stale", "gone"), "gone");
  TskDataSkinTabControl copy("tab");
  copy.LoadFromFile(ini.get());
  EXPECT_EQ(copy.pictureindex, 2);
  EXPECT_EQ(copy.skinrect, (TRect{1, 2, 30, 40}));
  EXPECT_TRUE(copy.leftstretch);
  EXPECT_TRUE(copy.topstretch);
  EXPECT_FALSE(copy.rightstretch);
  EXPECT_TRUE(copy.bottomstretch);
  EXPECT_EQ(copy.stretchtype, stVert);
  EXPECT_EQ(copy.fontstyle, fsBold);
  EXPECT_EQ(copy.fontcolor, 255u);
  EXPECT_EQ(copy.updown, "tabupdown");
  EXPECT_EQ(copy.lefttoppoint, (TPoint{3, 4}));
  EXPECT_EQ(copy.closebuttonrect, (TRect{5, 6, 7, 8}));
  EXPECT_EQ(copy.fontname, "Arial");
}

TEST(SkinControlRecords, UpDownDropsItsCornersAndListBoxNamesItsScrollBars)
{
  auto updown = Loaded<TskDataSkinUpDownControl>(
      "updown", "[updown]\r\nlefttoppoint=3,3\r\nclientrect=2,2,10,10\r\nupbuttonrect=1,1,5,5\r\n");
  EXPECT_EQ(updown->lefttoppoint, TPoint{});
  EXPECT_EQ(updown->clientrect, TRect{});
  EXPECT_EQ(updown->upbuttonrect, (TRect{1, 1, 5, 5}));

  auto absent = Loaded<TskDataSkinListBox>("listbox", "");
  EXPECT_EQ(absent->vscrollbarname, "vscrollbar");
  EXPECT_EQ(absent->hscrollbarname, "hscrollbar");
  EXPECT_EQ(absent->bothhscrollbarname, "bothhscrollbar");
  auto empty = Loaded<TskDataSkinListBox>("listbox", "[listbox]\r\nvscrollbarname=\r\n");
  EXPECT_EQ(empty->vscrollbarname, "");
}

TEST(SkinControlRecords, KeywordsSelectTheirClassesExactly)
{
  std::unique_ptr<TskDataSkinControl> check(CreateSkinControlRecord("checklistbox", "c"));
  ASSERT_NE(check, nullptr);
  EXPECT_NE(dynamic_cast<TskDataSkinCheckListBox*>(check.get()), nullptr);
  EXPECT_NE(dynamic_cast<TskDataSkinListBox*>(check.get()), nullptr); // a list box for class tests
  std::unique_ptr<TskDataSkinControl> list(CreateSkinControlRecord("listbox", "l"));
  EXPECT_EQ(dynamic_cast<TskDataSkinCheckListBox*>(list.get()), nullptr);
  std::unique_ptr<TskDataSkinControl> memo(CreateSkinControlRecord("memo", "m"));
  EXPECT_NE(dynamic_cast<TskDataSkinEditControl*>(memo.get()), nullptr);
  EXPECT_EQ(CreateSkinControlRecord("Button", "b"), nullptr);
  EXPECT_EQ(CreateSkinControlRecord("", "b"), nullptr);

  auto bits = Loaded<TskDataSkinBitLabelControl>("b", "[b]\r\nsymbolslinecount=2\r\nsymbolsline0=0123\r\n"
                                                      "symbolsline1=4567\r\n");
  EXPECT_EQ(bits->symbols.GetText(), "0123\r\n4567\r\n");
}

TEST(SkinObjectRecords, RestoreHintRule)
{
  struct Case {
    const char* Section;
    TskButtonCommand Command;
    const char* RestoreHint;
  };
  const Case cases[] = {
      {"hint=Maximize\r\ncommand=cmmaximize\r\n", cmMaximize, "Restore"},
      {"hint=maximize\r\ncommand=cmmaximize\r\n", cmMaximize, ""},
      {"hint=Maximize\r\ncommand=cmMaximize\r\n", cmMinimizeToTray, ""},
      {"hint=Roll Up\r\ncommand=cmrollup\r\n", cmRollUp, "Restore"},
      {"hint=Minimize\r\ncommand=cmminimize\r\nrestorehint=Back\r\n", cmMinimize, "Back"},
      {"", cmDefault, ""},
  };
  for (const Case& c : cases) {
    auto button = Loaded<TskDataSkinStdButton>("b", String("[b]\r\n") + c.Section);
    EXPECT_EQ(button->command, c.Command) << c.Section;
    EXPECT_EQ(button->restorehint, c.RestoreHint) << c.Section;
  }
  EXPECT_EQ(Loaded<TskDataSkinStdButton>("b", "")->groupindex, -1);
}

TEST(SkinObjectRecords, SpecialLoadRules)
{
  auto item = Loaded<TskDataSkinMenuItem>("mi", "[mi]\r\ncheckimagerect=1,2,11,12\r\n"
                                                "radioimagerect=1,1,5,5\r\nactiveradioimagerect=6,6,9,9\r\n");
  EXPECT_EQ(item->activecheckimagerect, (TRect{1, 2, 11, 12}));
  EXPECT_EQ(item->activeradioimagerect, (TRect{6, 6, 9, 9}));

  auto user = Loaded<TskDataUserObject>("u", "[u]\r\nhint=x\r\nactivepictureindex=3\r\nrollup=1\r\n"
                                             "skinrect=1,2,3,4\r\n");
  EXPECT_EQ(user->hint, "");
  EXPECT_EQ(user->activepictureindex, -1);
  EXPECT_TRUE(user->rollup);
  EXPECT_EQ(user->skinrect, (TRect{1, 2, 3, 4}));

  EXPECT_FALSE(Loaded<TskDataSkinAnimate>("a", "[a]\r\nmorphing=1\r\n")->morphing);
  EXPECT_FALSE(Loaded<TskDataSkinTrackBar>("a", "[a]\r\nmorphing=1\r\n")->morphing);
  EXPECT_FALSE(Loaded<TskDataSkinBitLabel>("a", "[a]\r\nmorphing=1\r\n")->morphing);
  EXPECT_TRUE(Loaded<TskDataSkinCaption>("a", "[a]\r\nmorphing=1\r\n")->morphing);
  EXPECT_EQ(Loaded<TskDataSkinBitLabel>("a", "")->transparentcolor, 0xFF00FFu);
  EXPECT_EQ(Loaded<TskDataSkinGauge>("g", "[g]\r\nkind=GKHORIZONTAL\r\n")->kind, gkVertical);
  EXPECT_EQ(Loaded<TskDataSkinCaption>("c", "")->glowsize, 3);
  // Key names ignore case: "fontName" of the label is the usual font name key.
  EXPECT_EQ(Loaded<TskDataSkinLabel>("l", "[l]\r\nFONTNAME=Tahoma\r\n")->fontName, "Tahoma");

  std::unique_ptr<TskDataSkinObject> bar(CreateSkinObjectRecord("mainmenubaritem", "x"));
  EXPECT_NE(dynamic_cast<TskDataSkinMainMenuBarItem*>(bar.get()), nullptr);
  EXPECT_EQ(CreateSkinObjectRecord("Caption", "x"), nullptr);
}

TEST(SkinWindowRecords, SingleRecordsAndTheirDefaults)
{
  auto ini = IniOf("[HINTWINDOW]\r\nwindowpictureindex=4\r\n");
  TskDataSkinPopupWindow popup;
  popup.LoadFromFile(ini.get());
  EXPECT_EQ(popup.windowpictureindex, -1); // absent
  TskDataSkinHintWindow hint;
  EXPECT_EQ(hint.fontheight, 12);
  hint.LoadFromFile(ini.get());
  EXPECT_EQ(hint.windowpictureindex, 4);
  EXPECT_EQ(hint.fontheight, 14);
  EXPECT_EQ(hint.fontname, "Arial");
  TskDataSkinLayerFrame layer;
  layer.LoadFromFile(ini.get());
  EXPECT_EQ(layer.pictureindex, -1);
  EXPECT_EQ(layer.alphablendvalue, 255);
  EXPECT_EQ(layer.inactivealphablendvalue, 255);
}

} // namespace
