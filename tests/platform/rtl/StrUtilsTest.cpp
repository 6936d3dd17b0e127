#include "platform/rtl/StrUtils.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

using namespace std::string_literals;

namespace {

TEST(StrUtilsPos, FindsOneBasedAndAnswersZeroWhenAbsent)
{
  struct Case { const char* Sub; const char* S; int Offset; int Expected; };
  const Case cases[] = {
      {"b", "abcb", 1, 2},   {"b", "abcb", 3, 4},  {"b", "abcb", 5, 0},  {"b", "abcb", 0, 0},
      {"", "abc", 1, 0},     {"abc", "abc", 1, 1}, {"abcd", "abc", 1, 0}, {"c", "", 1, 0},
      {"cb", "abcb", 4, 0},  {"a", "abcb", -3, 0},
  };
  for (const Case& c : cases)
    EXPECT_EQ(PosEx(c.Sub, c.S, c.Offset), c.Expected) << c.Sub << " in " << c.S << " from " << c.Offset;
  EXPECT_EQ(Pos("lo", "hello"), 4);
  EXPECT_EQ(Pos("", "hello"), 0);
  EXPECT_EQ(AnsiPos("é", "caf\xC3\xA9"), 4);
}

TEST(StrUtilsCopy, ClampsIndexAndCount)
{
  struct Case { int Index; int Count; const char* Expected; };
  const Case cases[] = {
      {1, 2, "ab"}, {2, MaxInt, "bcde"}, {0, 2, "ab"}, {-5, 1, "a"}, {5, 9, "e"},
      {6, 1, ""},   {3, 0, ""},          {3, -1, ""},  {1, 5, "abcde"},
  };
  for (const Case& c : cases)
    EXPECT_EQ(Copy("abcde", c.Index, c.Count), c.Expected) << c.Index << "," << c.Count;
  EXPECT_EQ(Copy("abcde", 3), "cde");
}

TEST(StrUtilsDelete, RemovesInRangeAndIgnoresBadIndexes)
{
  struct Case { int Index; int Count; const char* Expected; };
  const Case cases[] = {
      {2, 2, "ade"}, {4, 100, "abc"}, {1, 5, "" }, {0, 2, "abcde"}, {6, 1, "abcde"},
      {3, 0, "abcde"}, {3, -2, "abcde"}, {5, 1, "abcd"},
  };
  for (const Case& c : cases) {
    String s = "abcde";
    Delete(s, c.Index, c.Count);
    EXPECT_EQ(s, c.Expected) << c.Index << "," << c.Count;
  }
}

TEST(StrUtilsInsert, PutsSourceBeforeIndexClampingToTheEnds)
{
  struct Case { int Index; const char* Expected; };
  const Case cases[] = {{1, "XYabc"}, {2, "aXYbc"}, {4, "abcXY"}, {99, "abcXY"}, {0, "XYabc"}, {-3, "XYabc"}};
  for (const Case& c : cases) {
    String s = "abc";
    Insert("XY", s, c.Index);
    EXPECT_EQ(s, c.Expected) << c.Index;
  }
  String empty;
  Insert("x", empty, 5);
  EXPECT_EQ(empty, "x");
}

TEST(StrUtilsStringReplace, FirstAllAndIgnoreCase)
{
  struct Case { const char* S; const char* Old; const char* New; TReplaceFlags Flags; const char* Expected; };
  const Case cases[] = {
      {"a-b-c", "-", "+", 0, "a+b-c"},
      {"a-b-c", "-", "+", rfReplaceAll, "a+b+c"},
      {"aAaA", "a", "x", rfReplaceAll, "xAxA"},
      {"aAaA", "a", "x", rfReplaceAll | rfIgnoreCase, "xxxx"},
      {"Hello hello", "HELLO", "bye", rfIgnoreCase, "bye hello"},
      {"aaa", "aa", "a", rfReplaceAll, "aa"},     // no rescan of replaced text
      {"abc", "b", "bb", rfReplaceAll, "abbc"},  // replacement containing the pattern
      {"abc", "", "x", rfReplaceAll, "abc"},
      {"abc", "z", "x", rfReplaceAll, "abc"},
      {"abc", "b", "", rfReplaceAll, "ac"},
      {"\xC3\x89t\xC3\xA9", "\xC3\xA9", "e", rfReplaceAll | rfIgnoreCase, "ete"},
  };
  for (const Case& c : cases)
    EXPECT_EQ(StringReplace(c.S, c.Old, c.New, c.Flags), c.Expected) << c.S << " " << c.Old;
}

TEST(StrUtilsTrim, StripsBlanksAndControlCharsButNotHighBytes)
{
  const String s = String("\t\r\n \x01") + "a b" + "\x1F \0"s;
  EXPECT_EQ(Trim(s), "a b");
  EXPECT_EQ(TrimLeft(s), "a b\x1F \0"s);
  EXPECT_EQ(TrimRight(s), "\t\r\n \x01" "a b");
  EXPECT_EQ(Trim("   "), "");
  EXPECT_EQ(Trim(""), "");
  EXPECT_EQ(Trim("\xC2\xA0x\xC2\xA0"), "\xC2\xA0x\xC2\xA0");
}

TEST(StrUtilsCase, AsciiAndLatin1Letters)
{
  EXPECT_EQ(UpperCase("abz AZ 09 \xC3\xA9"), "ABZ AZ 09 \xC3\xA9");
  EXPECT_EQ(LowerCase("ABZ az \xC3\x89"), "abz az \xC3\x89");
  // é <-> É, þ <-> Þ, ÷ and × stay, ß and ÿ have no single-byte partner here.
  EXPECT_EQ(AnsiUpperCase("caf\xC3\xA9 \xC3\xBE \xC3\xB7 \xC3\x9F \xC3\xBF"),
            "CAF\xC3\x89 \xC3\x9E \xC3\xB7 \xC3\x9F \xC3\xBF");
  EXPECT_EQ(AnsiLowerCase("CAF\xC3\x89 \xC3\x9E \xC3\x97 \xC3\x80"),
            "caf\xC3\xA9 \xC3\xBE \xC3\x97 \xC3\xA0");
  // A continuation byte that is not after C3 is not a letter.
  EXPECT_EQ(AnsiLowerCase("\xC4\x80"), "\xC4\x80");
  EXPECT_EQ(UpCase('q'), 'Q');
  EXPECT_EQ(UpCase('{'), '{');
}

int Sign(int V)
{
  return (V > 0) - (V < 0);
}

TEST(StrUtilsCompare, OrdinalCompareStrAndCompareText)
{
  struct Case { const char* A; const char* B; int Str; int Text; };
  const Case cases[] = {
      {"abc", "abc", 0, 0},  {"abc", "abd", -1, -1}, {"ab", "abc", -1, -1},
      {"B", "a", -1, 1},     {"ABC", "abc", -1, 0},  {"a_", "aZ", 1, 1},   // '_' after letters
      {"\xC3\xA9", "z", 1, 1}, {"", "", 0, 0},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(Sign(CompareStr(c.A, c.B)), c.Str) << c.A << " vs " << c.B;
    EXPECT_EQ(Sign(CompareText(c.A, c.B)), c.Text) << c.A << " vs " << c.B;
    EXPECT_EQ(SameStr(c.A, c.B), c.Str == 0);
    EXPECT_EQ(SameText(c.A, c.B), c.Text == 0);
  }
  EXPECT_EQ(CompareStr("b", "a"), 1);  // the byte difference
}

// Each list is in AnsiCompareStr order, strictly ascending.
TEST(StrUtilsCollation, AnsiCompareStrOrdersTheWayListsSort)
{
  const std::vector<String> ordered = {
      "",     " ",     "!",     "_",      "0",     "1",     "10",    "9",     "a",
      "A",    "ab",    "aB",    "Ab",     "b",     "co",    "coop",  "co-op", "coo-p",
      "Coop", "COOP",  "cooper", "it",    "its",   "it's",  "z",     "Z",
      "\xC3\xA0", "\xC3\x80", "\xC3\xA1", "\xC3\xA9",
  };
  for (size_t i = 0; i < ordered.size(); ++i)
    for (size_t j = 0; j < ordered.size(); ++j) {
      const int expected = i < j ? -1 : (i > j ? 1 : 0);
      EXPECT_EQ(AnsiCompareStr(ordered[i], ordered[j]), expected)
          << "'" << ordered[i] << "' vs '" << ordered[j] << "'";
    }

  std::vector<String> shuffled(ordered.rbegin(), ordered.rend());
  std::sort(shuffled.begin(), shuffled.end(),
            [](const String& a, const String& b) { return AnsiCompareStr(a, b) < 0; });
  EXPECT_EQ(shuffled, ordered);
}

TEST(StrUtilsCollation, AnsiCompareTextIgnoresCaseOnly)
{
  struct Case { const char* A; const char* B; int Expected; };
  const Case cases[] = {
      {"abc", "ABC", 0},     {"a", "B", -1},         {"B", "a", 1},        {"co-op", "CO-OP", 0},
      {"coop", "co-op", -1}, {"co-op", "coopER", -1}, {"file2", "file10", 1}, {"x!", "x0", -1},
      {"\xC3\xA9t\xC3\xA9", "\xC3\x89T\xC3\x89", 0}, {"z", "\xC3\xA0", -1},   {"ab", "a", 1},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(AnsiCompareText(c.A, c.B), c.Expected) << c.A << " vs " << c.B;
    EXPECT_EQ(AnsiCompareText(c.B, c.A), -c.Expected) << c.B << " vs " << c.A;
    EXPECT_EQ(AnsiSameText(c.A, c.B), c.Expected == 0);
  }
  EXPECT_TRUE(AnsiSameStr("abc", "abc"));
  EXPECT_FALSE(AnsiSameStr("abc", "ABC"));
}

TEST(StrUtilsQuote, QuoteAndDequoteRoundTrip)
{
  EXPECT_EQ(QuotedStr("it's"), "'it''s'");
  EXPECT_EQ(QuotedStr(""), "''");
  EXPECT_EQ(AnsiQuotedStr("say \"hi\"", '"'), "\"say \"\"hi\"\"\"");

  struct Case { const char* S; const char* Expected; };
  const Case cases[] = {
      {"'it''s'", "it's"}, {"''", ""}, {"abc", "abc"}, {"'abc", "'abc"}, {"'a'b", "'a'b"}, {"", ""},
  };
  for (const Case& c : cases) EXPECT_EQ(AnsiDequotedStr(c.S, '\''), c.Expected) << c.S;
  for (const char* s : {"", "x", "'", "a''b", "'''"})
    EXPECT_EQ(AnsiDequotedStr(QuotedStr(s), '\''), s);
}

TEST(StrUtilsQuote, ExtractQuotedStrAdvancesPastTheClosingQuote)
{
  const char* text = "\"a\"\"b\" rest";
  const char* src = text;
  EXPECT_EQ(AnsiExtractQuotedStr(src, '"'), "a\"b");
  EXPECT_STREQ(src, " rest");

  src = "no quote";
  EXPECT_EQ(AnsiExtractQuotedStr(src, '"'), "");
  EXPECT_STREQ(src, "no quote");

  src = "\"open";
  EXPECT_EQ(AnsiExtractQuotedStr(src, '"'), "open");
  EXPECT_STREQ(src, "");
}

TEST(StrUtilsMisc, StringOfCharAndDelimiters)
{
  EXPECT_EQ(StringOfChar('-', 3), "---");
  EXPECT_EQ(StringOfChar('-', 0), "");
  EXPECT_EQ(StringOfChar('-', -2), "");

  EXPECT_EQ(LastDelimiter("/.", "dir/file.tar.gz"), 13);
  EXPECT_EQ(LastDelimiter("/\\", "dir/sub\\file"), 8);
  EXPECT_EQ(LastDelimiter(":", "none"), 0);
  EXPECT_EQ(LastDelimiter("", "none"), 0);

  EXPECT_TRUE(IsDelimiter(",;", "a,b", 2));
  EXPECT_FALSE(IsDelimiter(",;", "a,b", 1));
  EXPECT_FALSE(IsDelimiter(",;", "a,b", 0));
  EXPECT_FALSE(IsDelimiter(",;", "a,b", 4));
}

}  // namespace
