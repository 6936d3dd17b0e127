#include <gtest/gtest.h>

#include <memory>

#include "platform/rtl/Exceptions.h"
#include "skin/foundation/SkinIniLayout.h"
#include "skin/foundation/SkinValueCodec.h"

namespace {

std::unique_ptr<TMemIniFile> IniOf(const String& Text)
{
  auto ini = std::make_unique<TMemIniFile>("");
  TStringList lines;
  lines.SetText(Text);
  ini->SetStrings(&lines);
  return ini;
}

TEST(SkinValueCodec, PointsAndRectanglesKeepOnlyDigits)
{
  struct Case {
    const char* Text;
    POINT Point;
  };
  const Case points[] = {
      {"8,28", {8, 28}}, {"-1,-1", {1, 1}}, {" 8 , 28 ", {8, 28}}, {"1a2,3", {12, 3}}, {"1,2,3", {1, 2}},
      {"+7,0", {7, 0}},
  };
  for (const Case& c : points)
    EXPECT_EQ(ParsePoint(c.Text), c.Point) << c.Text;

  EXPECT_EQ(ParseRect("4,27,146,101"), (RECT{4, 27, 146, 101}));
  EXPECT_EQ(ParseRect("4, 27 ,-146,101,9"), (RECT{4, 27, 146, 101}));
}

TEST(SkinValueCodec, FieldsWithoutDigitsRaiseTheConversionError)
{
  for (const char* text : {"", "5", "a,b", "1,", ",2", "99999999999,1"})
    EXPECT_THROW(ParsePoint(text), EConvertError) << text;
  EXPECT_THROW(ParseRect("1,2,3"), EConvertError);
}

TEST(SkinValueCodec, ReadersApplyDefaultsForMissingKeys)
{
  auto ini = IniOf("[s]\r\np=8,28\r\nempty=\r\nr=4,27,146,101\r\n");
  EXPECT_EQ(ReadPoint(ini.get(), "s", "p"), (POINT{8, 28}));
  EXPECT_EQ(ReadPoint(ini.get(), "s", "missing"), (POINT{0, 0}));
  EXPECT_EQ(ReadRect(ini.get(), "S", "R"), (RECT{4, 27, 146, 101})); // names ignore case
  EXPECT_EQ(ReadRect(ini.get(), "s", "missing"), (RECT{0, 0, 0, 0}));
  EXPECT_THROW(ReadPoint(ini.get(), "s", "empty"), EConvertError);
}

TEST(SkinValueCodec, BooleansAreTrueOnlyForOne)
{
  auto ini = IniOf("[s]\r\na=1\r\nb=2\r\nc=true\r\nd=\r\n");
  EXPECT_TRUE(ReadBoolean(ini.get(), "s", "a"));
  for (const char* key : {"b", "c", "d", "missing"})
    EXPECT_FALSE(ReadBoolean(ini.get(), "s", key)) << key;
}

TEST(SkinValueCodec, FontStylesAndAlignments)
{
  auto ini = IniOf("[s]\r\nf1=fsbold,fsunderline\r\nf2=FSBOLD\r\nf3=fsitalicfsbold\r\n"
                   "a1=TaCenter\r\na2=centre\r\na3=taleftjustify\r\na4=tacenter\r\n");
  EXPECT_EQ(ReadFontStyles(ini.get(), "s", "f1"), fsBold | fsUnderline);
  EXPECT_EQ(ReadFontStyles(ini.get(), "s", "f2"), 0u);
  EXPECT_EQ(ReadFontStyles(ini.get(), "s", "f3"), fsBold | fsItalic);
  EXPECT_EQ(ReadAlignment(ini.get(), "s", "missing"), taCenter);
  EXPECT_EQ(ReadAlignment(ini.get(), "s", "a1"), taRightJustify);
  EXPECT_EQ(ReadAlignment(ini.get(), "s", "a2"), taRightJustify);
  EXPECT_EQ(ReadAlignment(ini.get(), "s", "a3"), taLeftJustify);
  EXPECT_EQ(ReadAlignment(ini.get(), "s", "a4"), taCenter);

  auto out = IniOf("");
  WriteFontStyles(out.get(), "s", "f", fsItalic | fsStrikeOut);
  WriteFontStyles(out.get(), "s", "none", 0);
  WriteAlignment(out.get(), "s", "a", taRightJustify);
  EXPECT_EQ(out->ReadString("s", "f", "?"), "fsitalic,fsstrikeout");
  EXPECT_EQ(out->ReadString("s", "none", "?"), "");
  EXPECT_EQ(out->ReadString("s", "a", "?"), "tarightjustify");
}

TEST(SkinValueCodec, WrittenValuesReadBackExceptTheSign)
{
  auto ini = IniOf("");
  WritePoint(ini.get(), "s", "p", POINT{-1, -1});
  WriteRect(ini.get(), "s", "r", RECT{1, 2, 300, 4000});
  WriteBoolean(ini.get(), "s", "b", true);
  EXPECT_EQ(ini->ReadString("s", "p", ""), "-1,-1");
  EXPECT_EQ(ReadPoint(ini.get(), "s", "p"), (POINT{1, 1}));
  EXPECT_EQ(ReadRect(ini.get(), "s", "r"), (RECT{1, 2, 300, 4000}));
  EXPECT_TRUE(ReadBoolean(ini.get(), "s", "b"));
}

TEST(SkinValueCodec, ListsAppendAndCountsBelowOneReadNothing)
{
  auto ini = IniOf("[s]\r\nhintlinecount=2\r\nhintline0=a\r\nhintline1=b\r\nbadlinecount=-1\r\nbadline0=x\r\n"
                   "[PICTURES]\r\nactivepicturescount=2\r\n0=pw.bmp\r\n1=menu.bmp\r\n");
  TStringList lines;
  lines.Add("kept");
  ReadLines(ini.get(), "s", "hint", &lines);
  ReadLines(ini.get(), "s", "bad", &lines);
  EXPECT_EQ(lines.GetText(), "kept\r\na\r\nb\r\n");

  TStringList pictures;
  ReadStrings(ini.get(), "PICTURES", "activepictures", &pictures);
  EXPECT_EQ(pictures.GetText(), "pw.bmp\r\nmenu.bmp\r\n");

  auto out = IniOf("");
  WriteLines(out.get(), "s", "hint", &lines);
  TStringList back;
  ReadLines(out.get(), "s", "hint", &back);
  EXPECT_EQ(back.GetText(), lines.GetText());
}

TEST(SkinValueCodec, ListCountsBeyondTheSectionAreDamage)
{
  // Each entry of a list is a line of its section, so a count above the section's lines can
  // only be damage; reading it would loop or allocate for billions of entries.
  struct Case {
    const char* Text;
    bool Lines; // ReadLines of "hint" in [s], else ReadStrings of "activepictures" in [s]
    bool Throws;
  };
  const Case cases[] = {
      {"[s]\r\nhintlinecount=2000000000\r\nhintline0=a\r\n", true, true},
      {"[s]\r\nhintlinecount=3\r\nhintline0=a\r\nhintline1=b\r\n", true, false},   // 3 lines: fits
      {"[s]\r\nhintlinecount=4\r\nhintline0=a\r\nhintline1=b\r\n", true, true},    // one too many
      {"[s]\r\nhintlinecount=1\r\n[t]\r\na=1\r\nb=2\r\n", true, false},           // own key counts
      {"[s]\r\nactivepicturescount=2147483647\r\n0=a.bmp\r\n", false, true},
      {"[s]\r\nactivepicturescount=2\r\n0=a.bmp\r\n", false, false},
      {"[s]\r\nactivepicturescount=3\r\n0=a.bmp\r\n[t]\r\n1=b\r\n2=c\r\n", false, true}, // others' keys do not
  };
  for (const Case& c : cases) {
    auto ini = IniOf(c.Text);
    TStringList list;
    const auto read = [&] {
      if (c.Lines)
        ReadLines(ini.get(), "s", "hint", &list);
      else
        ReadStrings(ini.get(), "s", "activepictures", &list);
    };
    if (c.Throws)
      EXPECT_THROW(read(), EReadError) << c.Text;
    else
      EXPECT_NO_THROW(read()) << c.Text;
  }
}

TEST(SkinIniLayout, KeywordsCompareExactly)
{
  auto ini = IniOf("[s]\r\nst1=StFull\r\nst2=stvert\r\nst3=sthorz\r\nmk1=\r\nmk2=mkpush\r\nie1=iefade\r\n"
                   "ie2=ieinvert\r\n");
  EXPECT_EQ(ReadStretchType(ini.get(), "s", "st1"), stHorz);
  EXPECT_EQ(ReadStretchType(ini.get(), "s", "st2"), stVert);
  EXPECT_EQ(ReadStretchType(ini.get(), "s", "st3"), stHorz);
  EXPECT_EQ(ReadStretchType(ini.get(), "s", "missing"), stFull);
  EXPECT_EQ(ReadMorphKind(ini.get(), "s", "mk1"), mkDefault);
  EXPECT_EQ(ReadMorphKind(ini.get(), "s", "mk2"), mkPush);
  EXPECT_EQ(ReadInactiveEffect(ini.get(), "s", "ie1"), ieGrayScale);
  EXPECT_EQ(ReadInactiveEffect(ini.get(), "s", "ie2"), ieInvert);
  EXPECT_EQ(ReadInactiveEffect(ini.get(), "s", "missing"), ieBrightness);

  auto out = IniOf("");
  WriteStretchType(out.get(), "s", "st", stVert);
  WriteMorphKind(out.get(), "s", "mk", mkLeftSlide);
  EXPECT_EQ(out->ReadString("s", "st", ""), "stvert");
  EXPECT_EQ(out->ReadString("s", "mk", ""), "mkleftslide");
}

TEST(SkinIniLayout, SectionCheckNeedsAllFiveSections)
{
  auto full = IniOf("[VERSION]\r\nv=1\r\n[PICTURES]\r\np=1\r\n[FORMINFO]\r\nf=1\r\n[skinobjects]\r\ncount=0\r\n"
                    "[SKINCONTROLS]\r\ncount=0\r\n");
  EXPECT_TRUE(CheckSkinIniSections(full.get()));
  auto partial = IniOf("[VERSION]\r\nv=1\r\n[PICTURES]\r\np=1\r\n[FORMINFO]\r\nf=1\r\n[SKINOBJECTS]\r\n"
                       "[SKINCONTROLS]\r\ncount=0\r\n"); // an empty section does not count
  EXPECT_FALSE(CheckSkinIniSections(partial.get()));
}

} // namespace
