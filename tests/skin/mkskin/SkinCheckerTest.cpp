#include <gtest/gtest.h>

#include "platform/rtl/StrUtils.h"
#include "platform/rtl/StringList.h"
#include "tools/mkskin/SkinChecker.h"

namespace {

const char* const GoodSkin =
    "[VERSION]\r\nskinname=t\r\n"
    "[PICTURES]\r\npicture=frame.bmp\r\nactivepicturescount=2\r\n0=a.bmp\r\n1=b.bmp\r\n"
    "[FORMINFO]\r\nlefttoppoint=4,24\r\nclientrect=4,24,196,116\r\nstatusbarname=statusbar\r\n"
    "[SKINCOLORS]\r\ncbtnface=1\r\ncbtntext=1\r\ncwindow=1\r\ncwindowtext=1\r\nchighlight=1\r\n"
    "chighlighttext=1\r\ncbtnhighlight=1\r\ncbtnshadow=1\r\nc3dlight=1\r\nc3ddkshadow=1\r\n"
    "[SKINOBJECTS]\r\ncount=2\r\n0=mbitem:mainmenubaritem\r\n1=mbclose:mainmenubarbutton\r\n"
    "[mbitem]\r\nskinrect=0,0,10,10\r\n[mbclose]\r\nskinrect=0,0,10,10\r\n"
    "[SKINCONTROLS]\r\ncount=7\r\n0=statusbar:panel\r\n1=combobox:combobox\r\n2=listbox:listbox\r\n"
    "3=vscrollbar:scrollbar\r\n4=hscrollbar:scrollbar\r\n5=bothhscrollbar:scrollbar\r\n6=mainmenubar:mainmenubar\r\n"
    "[statusbar]\r\npictureindex=1\r\nskinrect=0,0,20,20\r\n"
    "[combobox]\r\npictureindex=0\r\nlistboxname=listbox\r\n"
    "[listbox]\r\npictureindex=0\r\n[vscrollbar]\r\npictureindex=0\r\n[hscrollbar]\r\npictureindex=0\r\n"
    "[bothhscrollbar]\r\npictureindex=0\r\n"
    "[mainmenubar]\r\nmenubaritem=mbitem\r\nclosebutton=mbclose\r\n";

std::vector<String> Check(const String& Text, const std::vector<TSkinRequirement>& Required = {})
{
  TMemIniFile ini("");
  TStringList lines;
  lines.SetText(Text);
  ini.SetStrings(&lines);
  return CheckSkinIni(&ini, 2, Required);
}

TEST(SkinChecker, AGoodSkinPasses)
{
  const auto problems = Check(GoodSkin, ParseSkinRequirements("# names\ncombobox combobox\nobject mbitem mainmenubaritem\n"));
  for (const String& p : problems)
    ADD_FAILURE() << p;
}

TEST(SkinChecker, AuthoringMistakesAreFound)
{
  struct Case {
    const char* From;
    const char* To;
    const char* Expected;
  };
  const Case cases[] = {
      {"skinrect=0,0,20,20", "skinrect=", "[statusbar] skinrect: empty value"},
      {"lefttoppoint=4,24", "lefttoppoint=-4,24", "[FORMINFO] lefttoppoint: negative number"},
      {"clientrect=4,24,196,116", "clientrect=4,24,196", "[FORMINFO] clientrect: needs 4 numbers"},
      {"1=combobox:combobox", "1=combobox:ComboBox", "unknown control kind 'ComboBox'"},
      {"[statusbar]\r\npictureindex=1", "[statusbar]\r\npictureindex=2", "picture index 2 outside 0..1"},
      {"listboxname=listbox", "listboxname=lbox", "listboxname: names the missing record lbox"},
      {"listboxname=listbox", "listboxname=vscrollbar", "names vscrollbar of the wrong kind scrollbar"},
      {"statusbarname=statusbar", "statusbarname=combobox", "names combobox of the wrong kind combobox"},
      {"closebutton=mbclose", "closebutton=mbitem", "names mbitem of the wrong kind mainmenubaritem"},
      {"5=bothhscrollbar:scrollbar", "5=bothhscrollbar:panel", "names bothhscrollbar of the wrong kind panel"},
      {"c3ddkshadow=1\r\n", "", "[SKINCOLORS] c3ddkshadow: missing"},
      {"[SKINOBJECTS]", "[OBJECTS]", "needs the sections"},
      {"[vscrollbar]\r\npictureindex=0\r\n", "", "record vscrollbar has no section"},
      {"2=listbox:listbox", "2=listbox", "[SKINCONTROLS] 2: needs name:kind"},
      // What the loader itself refuses is refused before packing.
      {"skinrect=0,0,20,20", "skinrect=0,0,99999999999,20", "the skin loader refuses it"},
      {"[SKINCOLORS]", "[SKINAREAS]\r\ncount=1\r\n0=logo:\r\n[SKINCOLORS]", "the skin loader refuses it"},
      {"[SKINCOLORS]", "[SKINAREAS]\r\ncount=9\r\n0=logo:1,2,3,4\r\n[SKINCOLORS]", "the skin loader refuses it"},
      {"[listbox]\r\npictureindex=0", "[listbox]\r\npictureindex=0\r\nskinrect=1,2", "the skin loader refuses it"},
      // Keys and sections that nothing reads.
      {"skinrect=0,0,20,20", "skinrct=0,0,20,20", "[statusbar] skinrct: unknown key"},
      {"clientrect=", "clientrectt=1,2,3,4\r\nclientrect=", "[FORMINFO] clientrectt: unknown key"},
      {"1=b.bmp\r\n", "1=b.bmp\r\n2=c.bmp\r\n", "[PICTURES] 2: unknown key"},
      {"[mbitem]", "[mbitm]\r\nx=1\r\n[mbitem]", "[mbitm] a section that nothing reads"},
  };
  for (const Case& c : cases) {
    String text = GoodSkin;
    ASSERT_GT(Pos(c.From, text), 0) << c.From;
    text = StringReplace(text, c.From, c.To);
    const auto problems = Check(text);
    bool found = false;
    for (const String& p : problems)
      found = found || Pos(c.Expected, p) > 0;
    EXPECT_TRUE(found) << "expected \"" << c.Expected << "\" after changing " << c.From;
  }
}

TEST(SkinChecker, KeysTheLoaderReadsAreNotFlagged)
{
  // Mixed letter case, line lists of a record, the unread "ver" and every numbered entry.
  String text = StringReplace(GoodSkin, "skinname=t", "SkinName=t\r\nver=3");
  text = StringReplace(text, "6=mainmenubar:mainmenubar", "6=mainmenubar:mainmenubar\r\n7=digits:bitlabel");
  text = StringReplace(text, "count=7", "count=8");
  text += "[digits]\r\nPictureIndex=0\r\nsymbolslinecount=2\r\nsymbolsline0=0123\r\nsymbolsline1=4567\r\n"
          "[SKINAREAS]\r\ncount=1\r\n0=logo:1,2,3,4\r\n[HINTWINDOW]\r\nfontheight=14\r\n";
  for (const String& p : Check(text))
    ADD_FAILURE() << p;
  // The line after the last is not read.
  text = StringReplace(text, "symbolsline1=4567", "symbolsline1=4567\r\nsymbolsline2=89");
  const auto problems = Check(text);
  ASSERT_EQ(problems.size(), 1u);
  EXPECT_EQ(problems[0], "[digits] symbolsline2: unknown key (nothing reads it)");
}

TEST(SkinChecker, ARecordOfUnknownKindIsReportedOnce)
{
  const auto problems = Check(StringReplace(GoodSkin, "1=combobox:combobox", "1=combobox:ComboBox"));
  // Its kind is the problem; the keys of its section are not each flagged as unread.
  ASSERT_EQ(problems.size(), 1u);
  EXPECT_NE(Pos("unknown control kind 'ComboBox'", problems[0]), 0);
}

TEST(SkinChecker, TheLoaderJudgesTextAndPackedSkins)
{
  EXPECT_EQ(SkinTextLoadError(GoodSkin, 2), "");
  EXPECT_NE(SkinTextLoadError(GoodSkin, 1), ""); // a record points at the second picture
  TskCompressedStoredSkin empty(nullptr);
  EXPECT_NE(SkinLoadError(&empty), "");
}

TEST(SkinChecker, RequiredRecordsMustExistWithTheirKind)
{
  const auto problems = Check(GoodSkin, {{"edit", false, "edit"}, {"listbox", false, "checklistbox"},
                                         {"mbclose", true, "mainmenubarbutton"}});
  ASSERT_EQ(problems.size(), 2u);
  EXPECT_GT(Pos("needs the record edit (edit)", problems[0]), 0);
  EXPECT_GT(Pos("listbox must be of kind checklistbox", problems[1]), 0);
}

} // namespace
