// The DrawText layout with a fixed-width stand-in font (every character 10 pixels, lines 16
// high), so that every position is exact; and the decoding of text bytes.
#include <gtest/gtest.h>

#include <vector>

#include "platform/gdi/Gdi.h"
#include "platform/gdi/TextCodec.h"
#include "platform/gdi/TextLayout.h"

namespace {

TTextLayoutFont FixedFont()
{
  TTextLayoutFont font;
  font.Height = 16;
  font.ExternalLeading = 2;
  font.AveCharWidth = 10;
  font.CharWidth = [](char32_t) { return 10; };
  return font;
}

String LineText(const TTextLayoutLine& Line)
{
  String out;
  for (const auto& g : Line.Glyphs) TextCodec::AppendUtf8(out, g.Code);
  return out;
}

std::vector<String> Lines(const TTextLayout& Layout)
{
  std::vector<String> out;
  for (const auto& line : Layout.Lines) out.push_back(LineText(line));
  return out;
}

TTextLayout Layout(const String& Text, UINT Format, RECT R, const TTextLayoutOptions& Options = {})
{
  return LayoutText(Text.data(), Text.size(), Format, R, FixedFont(), Options);
}

} // namespace

TEST(TextCodecTest, DecodesUtf8AndTakesStrayBytesAsSingleCharacters)
{
  struct Case {
    String Bytes;
    std::vector<char32_t> Codes;
  } cases[] = {
    {"ab", {U'a', U'b'}},
    {"\xC3\xA9t\xC3\xA9", {0xE9, U't', 0xE9}},
    {"\xE2\x82\xAC", {0x20AC}},
    {"\xF0\x9F\x98\x80", {0x1F600}},
    {"\xE9t\xE9", {0xE9, U't', 0xE9}},              // Latin-1 text
    {"\x80", {0x20AC}},                              // the Windows-1252 euro sign
    {"\xE2\x82", {0xE2, 0x201A}},                    // cut-off sequence: each byte alone
    {"\xC0\xAF", {0xC0, 0xAF}},                      // overlong form
    {"\xED\xA0\x80", {0xED, 0xA0, 0x20AC}},        // encoded surrogate
    {String("a\0b", 3), {U'a', 0, U'b'}},
  };
  for (const auto& c : cases) {
    auto chars = TextCodec::Decode(c.Bytes.data(), c.Bytes.size());
    std::vector<char32_t> codes;
    for (const auto& ch : chars) codes.push_back(ch.Code);
    EXPECT_EQ(codes, c.Codes) << c.Bytes;
    // Every byte belongs to exactly one character, in order.
    std::uint32_t pos = 0;
    for (const auto& ch : chars) {
      EXPECT_EQ(ch.SrcBegin, pos);
      pos = ch.SrcEnd;
    }
    EXPECT_EQ(pos, c.Bytes.size());
  }
  EXPECT_EQ(TextCodec::WideToUtf8(L"a\u00e9\u20ac", -1), "a\xC3\xA9\xE2\x82\xAC");
  EXPECT_EQ(TextCodec::WideToUtf8(L"abc", 2), "ab");
}

TEST(TextLayoutTest, BreaksLinesAndWraps)
{
  struct Case {
    const char* Name;
    String Text;
    UINT Format;
    int Width;
    std::vector<String> Expected;
  } cases[] = {
    {"each break kind", "a\r\nb\nc\rd\n\re", 0, 100, {"a", "b", "c", "d", "e"}},
    {"break at the end adds a line", "ab\r\n", 0, 100, {"ab", ""}},
    {"blank lines", "a\r\n\r\nb", 0, 100, {"a", "", "b"}},
    {"empty text has no line", "", 0, 100, {}},
    {"single line keeps breaks as nothing", "a\r\nb", DT_SINGLELINE, 100, {"a\r\nb"}},
    {"single line beats word break", "aaa bbb", DT_SINGLELINE | DT_WORDBREAK, 30, {"aaa bbb"}},
    {"no wrap without DT_WORDBREAK", "aaa bbb ccc", 0, 50, {"aaa bbb ccc"}},
    {"wrap at blanks", "aaa bbb ccc", DT_WORDBREAK, 75, {"aaa bbb", "ccc"}},
    {"fits exactly", "aaa bbb", DT_WORDBREAK, 70, {"aaa bbb"}},
    {"blanks at a break go", "aaa   bbb", DT_WORDBREAK, 50, {"aaa", "bbb"}},
    {"leading blanks stay", "  aa bb", DT_WORDBREAK, 50, {"  aa", "bb"}},
    {"long word overhangs", "aaaaaaaaaa bb", DT_WORDBREAK, 50, {"aaaaaaaaaa", "bb"}},
    {"long word after a word", "bb aaaaaaaaaa", DT_WORDBREAK, 50, {"bb", "aaaaaaaaaa"}},
    {"edit control breaks long words", "aaaaaaa bb", DT_WORDBREAK | DT_EDITCONTROL, 50, {"aaaaa", "aa bb"}},
    {"zero width: a word per line", "a b c", DT_WORDBREAK, 0, {"a", "b", "c"}},
    {"wrap inside paragraphs", "aa bb\ncc dd", DT_WORDBREAK, 30, {"aa", "bb", "cc", "dd"}},
    {"prefix underline char", "&File", 0, 100, {"File"}},
    {"double ampersand", "a&&b", 0, 100, {"a&b"}},
    {"ampersand at the end goes", "ab&", 0, 100, {"ab"}},
    {"no prefix", "&File", DT_NOPREFIX, 100, {"&File"}},
    {"prefix before a break", "a&\nb", 0, 100, {"a", "b"}},
  };
  for (const auto& c : cases) EXPECT_EQ(Lines(Layout(c.Text, c.Format, Rect(0, 0, c.Width, 100))), c.Expected) << c.Name;
}

TEST(TextLayoutTest, MarksThePrefixCharacter)
{
  struct Case {
    String Text;
    UINT Format;
    std::vector<bool> Underlined;
  } cases[] = {
    {"&File", 0, {true, false, false, false}},
    {"Sa&ve", 0, {false, false, true, false}},
    {"a&&b", 0, {false, false, false}},
    {"&File", DT_HIDEPREFIX, {false, false, false, false}},
  };
  for (const auto& c : cases) {
    auto layout = Layout(c.Text, c.Format | DT_SINGLELINE, Rect(0, 0, 100, 20));
    ASSERT_EQ(layout.Lines.size(), 1u);
    std::vector<bool> marks;
    for (const auto& g : layout.Lines[0].Glyphs) marks.push_back(g.Underline);
    EXPECT_EQ(marks, c.Underlined) << c.Text;
  }
}

TEST(TextLayoutTest, PlacesLines)
{
  struct Case {
    const char* Name;
    String Text;
    UINT Format;
    RECT R;
    std::vector<POINT> Origins;
    int Result;
  } cases[] = {
    {"left top", "abc", DT_SINGLELINE, Rect(5, 7, 105, 47), {{5, 7}}, 16},
    {"centre", "abc", DT_SINGLELINE | DT_CENTER, Rect(0, 0, 100, 40), {{35, 0}}, 16},
    {"right", "abc", DT_SINGLELINE | DT_RIGHT, Rect(0, 0, 100, 40), {{70, 0}}, 16},
    {"vertical centre", "abc", DT_SINGLELINE | DT_VCENTER, Rect(0, 10, 100, 50), {{0, 22}}, 28},
    {"bottom", "abc", DT_SINGLELINE | DT_BOTTOM, Rect(0, 10, 100, 50), {{0, 34}}, 40},
    {"vcentre needs single line", "abc", DT_VCENTER, Rect(0, 0, 100, 40), {{0, 0}}, 16},
    {"centre too wide", "abcdefghijkl", DT_SINGLELINE | DT_CENTER, Rect(0, 0, 100, 40), {{-10, 0}}, 16},
    {"lines aligned each", "a\nabc", DT_RIGHT, Rect(0, 0, 100, 40), {{90, 0}, {70, 16}}, 32},
    {"external leading", "a\nb", DT_EXTERNALLEADING, Rect(0, 0, 100, 40), {{0, 0}, {0, 18}}, 36},
  };
  for (const auto& c : cases) {
    auto layout = Layout(c.Text, c.Format, c.R);
    std::vector<POINT> origins;
    for (const auto& line : layout.Lines) origins.push_back(POINT{line.X, line.Y});
    EXPECT_EQ(origins.size(), c.Origins.size()) << c.Name;
    for (std::size_t i = 0; i < std::min(origins.size(), c.Origins.size()); ++i) {
      EXPECT_EQ(origins[i].x, c.Origins[i].x) << c.Name << " line " << i;
      EXPECT_EQ(origins[i].y, c.Origins[i].y) << c.Name << " line " << i;
    }
    EXPECT_EQ(layout.Result, c.Result) << c.Name;
  }
}

TEST(TextLayoutTest, CalcRectFitsTheText)
{
  struct Case {
    const char* Name;
    String Text;
    UINT Format;
    RECT R;
    RECT Expected;
    int Result;
  } cases[] = {
    {"one line grows", "abcde", DT_SINGLELINE, Rect(10, 20, 10, 20), Rect(10, 20, 60, 36), 16},
    {"lines: widest", "abc\r\nabcde", 0, Rect(10, 10, 10, 10), Rect(10, 10, 60, 42), 32},
    {"wrapped: widest line", "aaa bbb ccc", DT_WORDBREAK, Rect(0, 0, 75, 0), Rect(0, 0, 70, 32), 32},
    {"wrapped: long word widens", "aaaaaaaaaa", DT_WORDBREAK, Rect(0, 0, 50, 0), Rect(0, 0, 100, 16), 16},
    {"empty text", "", 0, Rect(3, 4, 50, 60), Rect(3, 4, 3, 4), 0},
    {"empty text single line", "", DT_SINGLELINE, Rect(3, 4, 50, 60), Rect(3, 4, 3, 4), 0},
    {"trailing break", "ab\r\n", 0, Rect(0, 0, 0, 0), Rect(0, 0, 20, 32), 32},
    {"vertical flags do not move it", "ab", DT_SINGLELINE | DT_VCENTER, Rect(0, 0, 100, 100), Rect(0, 0, 20, 16), 16},
    {"ellipsis keeps the width", "abcdefghij", DT_SINGLELINE | DT_END_ELLIPSIS, Rect(0, 0, 60, 20), Rect(0, 0, 60, 16), 16},
    {"huge width", "aaa bbb", DT_WORDBREAK, Rect(0, 0, 0x7FFFFFFF, 1), Rect(0, 0, 70, 16), 16},
  };
  for (const auto& c : cases) {
    auto layout = Layout(c.Text, c.Format | DT_CALCRECT, c.R);
    EXPECT_EQ(layout.CalcRect, c.Expected) << c.Name << ": " << layout.CalcRect.left << "," << layout.CalcRect.top
                                           << "," << layout.CalcRect.right << "," << layout.CalcRect.bottom;
    EXPECT_EQ(layout.Result, c.Result) << c.Name;
  }
}

TEST(TextLayoutTest, ExpandsTabs)
{
  struct Case {
    const char* Name;
    String Text;
    UINT Format;
    TTextLayoutOptions Options;
    int SecondX; // x of the character after the first tab
  } cases[] = {
    {"8 average widths", "a\tb", DT_EXPANDTABS, {}, 80},
    {"tab at a stop jumps a whole stop", "aaaaaaaa\tb", DT_EXPANDTABS, {}, 160},
    {"DT_TABSTOP length in the high byte", "a\tb", DT_EXPANDTABS | DT_TABSTOP | (4 << 8), {}, 40},
    {"DrawTextEx tab length", "a\tb", DT_EXPANDTABS, {true, 2, 0, 0}, 20},
    {"not expanded: a plain character", "a\tb", 0, {}, 20},
  };
  for (const auto& c : cases) {
    auto layout = Layout(c.Text, c.Format | DT_SINGLELINE, Rect(0, 0, 400, 20), c.Options);
    ASSERT_EQ(layout.Lines.size(), 1u);
    const auto& glyphs = layout.Lines[0].Glyphs;
    std::size_t tab = 0;
    while (glyphs[tab].Code != U'\t') ++tab;
    EXPECT_EQ(glyphs[tab + 1].X, c.SecondX) << c.Name;
  }
  // With DT_TABSTOP the high byte is a length, not DT_CALCRECT (0x400) nor DT_NOPREFIX (0x800).
  auto layout = Layout("&a\tb", DT_EXPANDTABS | DT_TABSTOP | DT_SINGLELINE | (12 << 8), Rect(0, 0, 400, 20));
  EXPECT_EQ(LineText(layout.Lines[0]), "a\tb");
  EXPECT_EQ(layout.CalcRect, Rect(0, 0, 400, 20));
  // Wrapped lines measure tabs from their own start.
  layout = Layout("aaaaaaaaa bb\tc", DT_EXPANDTABS | DT_WORDBREAK, Rect(0, 0, 100, 100));
  ASSERT_EQ(Lines(layout), (std::vector<String>{"aaaaaaaaa", "bb\tc"}));
  EXPECT_EQ(layout.Lines[1].Glyphs[3].X, 80);
}

TEST(TextLayoutTest, ShortensWithEllipses)
{
  struct Case {
    const char* Name;
    String Text;
    UINT Format;
    int Width;
    String Expected;
  } cases[] = {
    {"end: fits untouched", "abcdef", DT_END_ELLIPSIS, 60, "abcdef"},
    {"end", "abcdefghij", DT_END_ELLIPSIS, 60, "abc..."},
    {"end, one pixel less", "abcdefghij", DT_END_ELLIPSIS, 59, "ab..."},
    {"end, no room", "abcdefghij", DT_END_ELLIPSIS, 10, "..."},
    {"word", "one two three", DT_WORD_ELLIPSIS, 100, "one two..."},
    {"word, first word too long", "abcdefghijkl", DT_WORD_ELLIPSIS, 60, "abc..."},
    {"path keeps the file name", "c:\\dir\\sub\\file.txt", DT_PATH_ELLIPSIS, 150, "c:\\...\\file.txt"},
    {"path with slashes", "/home/ann/videos/a.mkv", DT_PATH_ELLIPSIS, 120, "/ho.../a.mkv"},
    {"path: name too long", "c:\\dir\\sub\\file.txt", DT_PATH_ELLIPSIS, 100, "...\\fil..."},
    {"path without separator", "abcdefghij", DT_PATH_ELLIPSIS, 60, "abc..."},
    {"prefix is kept on the shown part", "&abcdefghij", DT_END_ELLIPSIS, 60, "abc..."},
  };
  for (const auto& c : cases) {
    auto layout = Layout(c.Text, c.Format | DT_SINGLELINE, Rect(0, 0, c.Width, 20));
    ASSERT_EQ(layout.Lines.size(), 1u) << c.Name;
    EXPECT_EQ(LineText(layout.Lines[0]), c.Expected) << c.Name;
    EXPECT_LE(layout.Lines[0].Width, std::max(c.Width, 30)) << c.Name;
  }
  // Each line of a multi-line text is shortened on its own.
  auto layout = Layout("abcdefghij\nab", DT_END_ELLIPSIS, Rect(0, 0, 60, 100));
  EXPECT_EQ(Lines(layout), (std::vector<String>{"abc...", "ab"}));
}

TEST(TextLayoutTest, ModifyStringGivesTheShownText)
{
  struct Case {
    String Text;
    UINT Format;
    bool Modified;
    String Expected;
  } cases[] = {
    {"&abcdefghij", DT_END_ELLIPSIS | DT_MODIFYSTRING, true, "&abc..."},
    {"abcdefghij", DT_END_ELLIPSIS, false, ""},
    {"abc", DT_END_ELLIPSIS | DT_MODIFYSTRING, false, ""},
    {"c:\\dir\\sub\\file.txt", DT_PATH_ELLIPSIS | DT_MODIFYSTRING, true, "c:\\...\\file.txt"},
  };
  for (const auto& c : cases) {
    auto layout = Layout(c.Text, c.Format | DT_SINGLELINE, Rect(0, 0, 150, 20));
    if (c.Text[0] == '&') layout = Layout(c.Text, c.Format | DT_SINGLELINE, Rect(0, 0, 60, 20));
    EXPECT_EQ(layout.Modified, c.Modified) << c.Text;
    EXPECT_EQ(layout.ModifiedText, c.Expected) << c.Text;
  }
}

TEST(TextLayoutTest, MarginsAndLengthDrawn)
{
  TTextLayoutOptions margins{true, 0, 5, 15};
  auto layout = Layout("abc", DT_SINGLELINE | DT_CENTER, Rect(0, 0, 100, 20), margins);
  EXPECT_EQ(layout.Lines[0].X, 5 + (80 - 30) / 2);
  layout = Layout("abc", DT_SINGLELINE | DT_RIGHT, Rect(0, 0, 100, 20), margins);
  EXPECT_EQ(layout.Lines[0].X, 55);
  layout = Layout("abc", DT_SINGLELINE | DT_CALCRECT, Rect(0, 0, 100, 20), margins);
  EXPECT_EQ(layout.CalcRect.right, 50);
  layout = Layout("aaa bbb", DT_WORDBREAK, Rect(0, 0, 60, 100), margins);
  EXPECT_EQ(Lines(layout), (std::vector<String>{"aaa", "bbb"}));

  // uiLengthDrawn stops at the first line that starts below the rectangle.
  layout = Layout("ab\ncd\nef", 0, Rect(0, 0, 100, 32));
  EXPECT_EQ(layout.LengthDrawn, 6u);
  layout = Layout("ab\ncd\nef", 0, Rect(0, 0, 100, 33));
  EXPECT_EQ(layout.LengthDrawn, 8u);

  // DT_EDITCONTROL leaves out a last line that would show only in part.
  layout = Layout("a\nb\nc", DT_EDITCONTROL, Rect(0, 0, 100, 40));
  std::vector<bool> visible;
  for (const auto& line : layout.Lines) visible.push_back(line.Visible);
  EXPECT_EQ(visible, (std::vector<bool>{true, true, false}));
  // ... and with DT_END_ELLIPSIS the last line shown says that more follows.
  layout = Layout("aaa bbb ccc ddd eee", DT_WORDBREAK | DT_EDITCONTROL | DT_END_ELLIPSIS, Rect(0, 0, 70, 35));
  EXPECT_EQ(Lines(layout), (std::vector<String>{"aaa bbb", "ccc ...", "eee"}));
  EXPECT_FALSE(layout.Lines[2].Visible);
  // The first line shows even in a rectangle lower than a line.
  layout = Layout("a\nb", DT_EDITCONTROL, Rect(0, 0, 100, 10));
  EXPECT_TRUE(layout.Lines[0].Visible);
  EXPECT_FALSE(layout.Lines[1].Visible);
}
