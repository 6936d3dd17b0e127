#include "platform/rtl/IniFiles.h"

#include <gtest/gtest.h>
#include <sys/resource.h>

#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <sstream>
#include <vector>

#include "platform/rtl/Convert.h"
#include "platform/rtl/StringList.h"
#include "tests/support/StringsLines.h"
#include "tests/support/TempDirTest.h"

namespace {

// An INI file from text, kept in memory.
void Parse(TMemIniFile& Ini, const String& Text)
{
  TStringList list;
  list.SetText(Text);
  Ini.SetStrings(&list);
}

String Dump(TMemIniFile& Ini)
{
  TStringList list;
  Ini.GetStrings(&list);
  return list.GetText();
}

class IniFilesTest : public TTempDirTest {
protected:
  void SetUp() override
  {
    TTempDirTest::SetUp();
    Name = Dir + "settings.ini";
  }
  String Name;
};

TEST_F(IniFilesTest, ParsingNormalisesTheLines)
{
  struct Case {
    const char* Text;
    const char* Expected;
  } cases[] = {
      {"", ""},
      {"before=any section\n[ A ]\n key = v \n;comment\n\n  plain line\n[b]\nx=1\n[a]\ny=2\n",
       "[A]\r\nkey=v\r\nplain line\r\ny=2\r\n\r\n[b]\r\nx=1\r\n\r\n"},
      {"[empty]\n[]\n=v\n[x]\r\nk=a=b\r", "[empty]\r\n\r\n[]\r\n=v\r\n\r\n[x]\r\nk=a=b\r\n\r\n"},
      {"[not a section\nk=v\n[s] trailing\n", ""},
  };
  for (const auto& c : cases) {
    TMemIniFile ini("");
    Parse(ini, c.Text);
    EXPECT_EQ(Dump(ini), c.Expected) << c.Text;
  }
}

TEST_F(IniFilesTest, ReadingStrings)
{
  TMemIniFile ini("");
  Parse(ini, "[Main]\nPath = /a=b \nKey=first\nkey=second\nEmpty=\nbare\n[Other]\nPath=other\n");
  struct Case {
    const char* Section;
    const char* Ident;
    const char* Expected;
  } cases[] = {
      {"Main", "Path", "/a=b"},   {"MAIN", "path", "/a=b"}, {" main ", " Path ", "/a=b"},
      {"Main", "KEY", "first"},   {"Main", "Empty", ""},    {"Main", "bare", "<default>"},
      {"Main", "none", "<default>"}, {"None", "Path", "<default>"}, {"Other", "Path", "other"},
  };
  for (const auto& c : cases)
    EXPECT_EQ(ini.ReadString(c.Section, c.Ident, "<default>"), c.Expected) << c.Section << "/" << c.Ident;
}

TEST_F(IniFilesTest, TypedValues)
{
  TMemIniFile ini("");
  Parse(ini, "[n]\ndec=42\nneg=-5\nhex=0x1F\nHEX=0X10\ndollar=$10\nword=abc\nblank=\ntrue=true\ntwo=2\nzero=0\n"
             "float=1.5\nexp=2E3\n");
  struct IntCase {
    const char* Ident;
    int Expected;
  } ints[] = {{"dec", 42}, {"neg", -5}, {"hex", 31}, {"HEX", 31}, {"dollar", 16},
              {"word", 7}, {"blank", 7}, {"missing", 7}};
  for (const auto& c : ints) EXPECT_EQ(ini.ReadInteger("n", c.Ident, 7), c.Expected) << c.Ident;

  struct BoolCase {
    const char* Ident;
    bool Default, Expected;
  } bools[] = {{"two", false, true}, {"neg", false, true}, {"zero", true, false}, {"true", false, false},
               {"true", true, true}, {"missing", true, true}, {"missing", false, false}};
  for (const auto& c : bools) EXPECT_EQ(ini.ReadBool("n", c.Ident, c.Default), c.Expected) << c.Ident;

  EXPECT_EQ(ini.ReadFloat("n", "float", 0), 1.5);
  EXPECT_EQ(ini.ReadFloat("n", "exp", 0), 2000.0);
  EXPECT_EQ(ini.ReadFloat("n", "word", -1), -1.0);
  EXPECT_EQ(ini.ReadFloat("n", "blank", -1), -1.0);

  ini.WriteInteger("w", "i", -12);
  ini.WriteBool("w", "t", true);
  ini.WriteBool("w", "f", false);
  ini.WriteFloat("w", "x", 0.25);
  TStringList values;
  ini.ReadSectionValues("w", &values);
  EXPECT_EQ(LinesOf(values), (Lines{"i=-12", "t=1", "f=0", "x=0.25"}));
}

TEST_F(IniFilesTest, WritingReplacesInPlaceOrAppends)
{
  TMemIniFile ini("");
  Parse(ini, "[A]\nx=1\ny=2\n[B]\nz=3\n");
  ini.WriteString("a", "X", "10");
  ini.WriteString("A", "new", "n");
  ini.WriteString("C", "k", " spaced ");
  EXPECT_EQ(Dump(ini), "[A]\r\nX=10\r\ny=2\r\nnew=n\r\n\r\n[B]\r\nz=3\r\n\r\n[C]\r\nk= spaced \r\n\r\n");
}

TEST_F(IniFilesTest, EntriesThatCouldNotBeReadBackAreRefused)
{
  TMemIniFile ini("");
  Parse(ini, "[s]\nk=v\n");
  const String before = Dump(ini);
  struct Case {
    const char* Section;
    const char* Ident;
    const char* Value;
  } cases[] = {
      {"s", "k", "line\nbreak"}, {"s", "k", "cr\r"},  {"s", "a=b", "v"}, {"s", ";k", "v"},
      {"s", "[k", "v]"},         {"s\n[t]", "k", "v"}, {"s", "k\r\nx", "v"},
  };
  for (const auto& c : cases) {
    try {
      ini.WriteString(c.Section, c.Ident, c.Value);
      ADD_FAILURE() << "no error for " << testing::PrintToString(String(c.Ident));
    } catch (const EIniFileException& e) {
      EXPECT_EQ(e.Message(), String("Invalid INI file entry: section [") + c.Section + "], key \"" + c.Ident + "\"");
    }
  }
  EXPECT_EQ(Dump(ini), before);
}

TEST_F(IniFilesTest, SectionsKeysAndErasing)
{
  TMemIniFile ini("");
  Parse(ini, "[One]\na=1\nbare\nA=dup\nb=2\n[Two]\n[Three]\nc=3\n");
  TStringList list;
  ini.ReadSections(&list);
  EXPECT_EQ(LinesOf(list), (Lines{"One", "Two", "Three"}));
  ini.ReadSection("one", &list);
  EXPECT_EQ(LinesOf(list), (Lines{"a", "bare", "A", "b"}));
  ini.ReadSectionValues("ONE", &list);
  EXPECT_EQ(LinesOf(list), (Lines{"a=1", "bare", "A=dup", "b=2"}));
  ini.ReadSection("missing", &list);
  EXPECT_EQ(list.GetCount(), 0);

  EXPECT_TRUE(ini.SectionExists("three"));
  EXPECT_FALSE(ini.SectionExists("Two")) << "a section without lines";
  EXPECT_FALSE(ini.SectionExists("Four"));
  EXPECT_TRUE(ini.ValueExists("One", "B"));
  EXPECT_FALSE(ini.ValueExists("One", "bare"));
  EXPECT_FALSE(ini.ValueExists("Two", "a"));

  ini.DeleteKey("One", "a");
  EXPECT_FALSE(ini.ValueExists("One", "a")) << "every line of the key goes";
  ini.EraseSection("TWO");
  ini.EraseSection("absent");
  EXPECT_EQ(Dump(ini), "[One]\r\nbare\r\nb=2\r\n\r\n[Three]\r\nc=3\r\n\r\n");
}

// Sections are found through an index: it must follow erasing, adding, repeated sections and
// a change of the case rule, in files of many sections.
TEST_F(IniFilesTest, ManySectionsStayFoundThroughEveryChange)
{
  TMemIniFile ini("");
  String text;
  for (int i = 0; i < 300; ++i) text += "[S" + IntToStr(i) + "]\nv=" + IntToStr(i) + "\n";
  text += "[s7]\nv=repeated\nw=more\n";  // continues [S7]
  Parse(ini, text);
  ini.EraseSection("s0");
  ini.EraseSection("S150");
  ini.WriteString("New", "v", "new");
  const struct {
    const char* Section;
    const char* Key;
    const char* Value;
  } cases[] = {
      {"S0", "v", "-"}, {"S1", "v", "1"}, {"s7", "v", "7"}, {"S7", "w", "more"}, {"S149", "v", "149"},
      {"S150", "v", "-"}, {"S151", "v", "151"}, {"S299", "v", "299"}, {"new", "v", "new"}, {"S300", "v", "-"},
  };
  for (const auto& c : cases) EXPECT_EQ(ini.ReadString(c.Section, c.Key, "-"), c.Value) << c.Section;
  ini.SetCaseSensitive(true);
  EXPECT_EQ(ini.ReadString("S299", "v", "-"), "299");
  EXPECT_EQ(ini.ReadString("s299", "v", "-"), "-");
  EXPECT_EQ(ini.ReadString("S7", "w", "-"), "more");
  ini.EraseSection("S1");
  EXPECT_EQ(ini.ReadString("S2", "v", "-"), "2");
  EXPECT_EQ(ini.ReadString("New", "v", "-"), "new");
}

TEST_F(IniFilesTest, CaseSensitivity)
{
  TMemIniFile ini("");
  ini.SetCaseSensitive(true);
  Parse(ini, "[S]\nKey=upper\n[s]\nkey=lower\n");
  EXPECT_EQ(ini.ReadString("S", "Key", "-"), "upper");
  EXPECT_EQ(ini.ReadString("S", "key", "-"), "-");
  EXPECT_EQ(ini.ReadString("s", "key", "-"), "lower");
  ini.SetCaseSensitive(false);
  EXPECT_EQ(Dump(ini), "[S]\r\nKey=upper\r\nkey=lower\r\n\r\n") << "sections equal now are merged";
  EXPECT_EQ(ini.ReadString("s", "KEY", "-"), "upper");
}

TEST_F(IniFilesTest, FileRoundTrip)
{
  WriteBytes(Name, "\xEF\xBB\xBF; settings\n[General]\nLanguage = English\n[Window]\nLeft=10\n");
  TMemIniFile ini(Name);
  EXPECT_EQ(ini.GetFileName(), Name);
  EXPECT_EQ(ini.ReadString("General", "Language", ""), "English");
  ini.WriteInteger("Window", "Top", 20);
  EXPECT_EQ(ReadBytes(Name).substr(0, 3), "\xEF\xBB\xBF") << "nothing is written before UpdateFile";
  ini.UpdateFile();
  EXPECT_EQ(ReadBytes(Name), "[General]\r\nLanguage=English\r\n\r\n[Window]\r\nLeft=10\r\nTop=20\r\n\r\n");

  TMemIniFile again(Name);
  EXPECT_EQ(Dump(again), Dump(ini));

  TMemIniFile missing(Dir + "new.ini");
  TStringList sections;
  missing.ReadSections(&sections);
  EXPECT_EQ(sections.GetCount(), 0);
  missing.Rename(Name, true);
  EXPECT_EQ(missing.ReadInteger("Window", "Top", 0), 20);
  missing.Clear();
  EXPECT_EQ(Dump(missing), "");
}

TEST_F(IniFilesTest, IniFileWritesThrough)
{
  TIniFile ini(Name);
  ini.WriteString("A", "k", "v");
  EXPECT_EQ(ReadBytes(Name), "[A]\r\nk=v\r\n\r\n");
  ini.WriteBool("B", "on", true);
  ini.DeleteKey("A", "k");
  EXPECT_EQ(ReadBytes(Name), "[A]\r\n\r\n[B]\r\non=1\r\n\r\n");
  ini.EraseSection("A");
  EXPECT_EQ(ReadBytes(Name), "[B]\r\non=1\r\n\r\n");
}

TEST_F(IniFilesTest, IniFileChangesOnlyTheLinesConcerned)
{
  WriteBytes(Name, "; made by hand\nloose=line\n[A]\n; the width\nwidth = 10\n\n[B]\nx = 1\n");
  TIniFile ini(Name);
  struct Case {
    const char* What;
    std::function<void()> Run;
    const char* Text;
  } cases[] = {
      {"replaced in place", [&] { ini.WriteString("a", "WIDTH", "20"); },
       "; made by hand\r\nloose=line\r\n[A]\r\n; the width\r\nWIDTH=20\r\n\r\n[B]\r\nx = 1\r\n"},
      {"added after the section's last entry", [&] { ini.WriteString("A", "height", "5"); },
       "; made by hand\r\nloose=line\r\n[A]\r\n; the width\r\nWIDTH=20\r\nheight=5\r\n\r\n[B]\r\nx = 1\r\n"},
      {"new section at the end", [&] { ini.WriteString("C", "k", "v"); },
       "; made by hand\r\nloose=line\r\n[A]\r\n; the width\r\nWIDTH=20\r\nheight=5\r\n\r\n[B]\r\nx = 1\r\n\r\n"
       "[C]\r\nk=v\r\n\r\n"},
      {"key deleted", [&] { ini.DeleteKey("A", "width"); },
       "; made by hand\r\nloose=line\r\n[A]\r\n; the width\r\nheight=5\r\n\r\n[B]\r\nx = 1\r\n\r\n[C]\r\nk=v\r\n\r\n"},
      {"section erased up to the next", [&] { ini.EraseSection("b"); },
       "; made by hand\r\nloose=line\r\n[A]\r\n; the width\r\nheight=5\r\n\r\n[C]\r\nk=v\r\n\r\n"},
  };
  for (const auto& c : cases) {
    c.Run();
    EXPECT_EQ(ReadBytes(Name), c.Text) << c.What;
  }
  EXPECT_EQ(ini.ReadString("A", "height", ""), "5");
  EXPECT_EQ(ini.ReadString("A", "loose", "-"), "-") << "lines before the first section belong to none";
  TStringList sections;
  ini.ReadSections(&sections);
  EXPECT_EQ(LinesOf(sections), (Lines{"A", "C"}));
}

TEST_F(IniFilesTest, IniFilesSharingAFileKeepEachOthersChanges)
{
  TIniFile first(Name);
  // The same file, named another way.
  String otherName = Name;
  otherName.insert(otherName.rfind('/') + 1, "./");
  TIniFile second(otherName);
  first.WriteString("S", "one", "1");
  second.WriteString("S", "two", "2");
  EXPECT_EQ(first.ReadString("S", "two", ""), "2");
  first.DeleteKey("S", "two");
  EXPECT_FALSE(second.ValueExists("S", "two"));
  EXPECT_EQ(ReadBytes(Name), "[S]\r\none=1\r\n\r\n");

  // Edited by someone else: seen at the next access.
  WriteBytes(Name, "[S]\none=changed\n");
  EXPECT_EQ(second.ReadString("S", "one", ""), "changed");
}

TEST_F(IniFilesTest, AFailedWriteThroughReportsAndKeepsTheFile)
{
  TIniFile ini(Name);
  ini.WriteString("S", "k", "old");
  const String before = ReadBytes(Name);

  struct rlimit saved;
  ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &saved), 0);
  const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
  struct rlimit limited = saved;
  limited.rlim_cur = 64;
  ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &limited), 0);
  String message;
  try {
    ini.WriteString("S", "k", String(500, 'x'));
  } catch (const EIniFileException& e) {
    message = e.Message();
  }
  setrlimit(RLIMIT_FSIZE, &saved);
  std::signal(SIGXFSZ, oldHandler);

  EXPECT_EQ(message, "Unable to write to " + Name);
  EXPECT_EQ(ReadBytes(Name), before);
  EXPECT_EQ(ini.ReadString("S", "k", ""), "old") << "what failed to be saved is not pretended to be there";
}

}  // namespace
