// Text on pixels: TextOut/ExtTextOut placement, background cells, clipping, DrawText with the
// real font, and the write-back of shortened text.
#include <gtest/gtest.h>

#include <cstring>
#include <cwchar>

#include "platform/gdi/Gdi.h"

namespace {

constexpr COLORREF White = RGB(255, 255, 255);
constexpr COLORREF Black = RGB(0, 0, 0);
constexpr COLORREF Red = RGB(255, 0, 0);

// A white 32-bpp canvas with Arial at -16 selected, black text on a transparent background.
class DrawTextTest : public testing::Test {
protected:
  static constexpr int W = 200;
  static constexpr int H = 100;

  void SetUp() override
  {
    BITMAPINFO info{};
    info.bmiHeader.biWidth = W;
    info.bmiHeader.biHeight = -H;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    void* bits = nullptr;
    Bitmap = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    ASSERT_NE(Bitmap, nullptr);
    Pixels = static_cast<std::uint32_t*>(bits);
    DC = CreateCompatibleDC(nullptr);
    OldBitmap = SelectObject(DC, Bitmap);
    Font = CreateFontA(-16, 0, 0, 0, FW_NORMAL, 0, 0, 0, DEFAULT_CHARSET, 0, 0, 0, 0, "Arial");
    OldFont = SelectObject(DC, Font);
    SetTextColor(DC, Black);
    SetBkMode(DC, TRANSPARENT);
    Clear();
  }
  void TearDown() override
  {
    SelectObject(DC, OldFont);
    SelectObject(DC, OldBitmap);
    DeleteDC(DC);
    DeleteObject(Font);
    DeleteObject(Bitmap);
  }

  void Clear()
  {
    for (int i = 0; i < W * H; ++i) Pixels[i] = 0x00FFFFFF;
  }
  COLORREF Pixel(int X, int Y) const
  {
    std::uint32_t p = Pixels[Y * W + X];
    return RGB((p >> 16) & 0xFF, (p >> 8) & 0xFF, p & 0xFF);
  }
  // The bounding box of the pixels that are not white; empty when there are none.
  RECT InkBox() const
  {
    RECT box{W, H, 0, 0};
    for (int y = 0; y < H; ++y)
      for (int x = 0; x < W; ++x)
        if (Pixel(x, y) != White) {
          box.left = std::min<LONG>(box.left, x);
          box.top = std::min<LONG>(box.top, y);
          box.right = std::max<LONG>(box.right, x + 1);
          box.bottom = std::max<LONG>(box.bottom, y + 1);
        }
    return box.right == 0 ? RECT{} : box;
  }
  int DarkPixels() const
  {
    int n = 0;
    for (int y = 0; y < H; ++y)
      for (int x = 0; x < W; ++x) n += GetRValue(Pixel(x, y)) < 128;
    return n;
  }
  static bool Inside(const RECT& Inner, const RECT& Outer)
  {
    return Inner.left >= Outer.left && Inner.top >= Outer.top && Inner.right <= Outer.right &&
           Inner.bottom <= Outer.bottom;
  }
  SIZE Extent(const String& Text)
  {
    SIZE s{};
    GetTextExtentPoint32A(DC, Text.data(), static_cast<int>(Text.size()), &s);
    return s;
  }
  TEXTMETRICA Metrics()
  {
    TEXTMETRICA tm;
    GetTextMetricsA(DC, &tm);
    return tm;
  }

  HBITMAP Bitmap = nullptr;
  std::uint32_t* Pixels = nullptr;
  HDC DC = nullptr;
  HFONT Font = nullptr;
  HGDIOBJ OldBitmap = nullptr;
  HGDIOBJ OldFont = nullptr;
};

::testing::AssertionResult RectIn(const RECT& Inner, const RECT& Outer)
{
  if (Inner.left >= Outer.left && Inner.top >= Outer.top && Inner.right <= Outer.right && Inner.bottom <= Outer.bottom)
    return ::testing::AssertionSuccess();
  return ::testing::AssertionFailure() << "(" << Inner.left << "," << Inner.top << "," << Inner.right << ","
                                       << Inner.bottom << ") not in (" << Outer.left << "," << Outer.top << ","
                                       << Outer.right << "," << Outer.bottom << ")";
}

} // namespace

TEST_F(DrawTextTest, TextOutPlacesTheCellByAlignment)
{
  const String text = "Hello, World";
  const SIZE s = Extent(text);
  const TEXTMETRICA tm = Metrics();
  struct Case {
    UINT Align;
    RECT Cell; // where the text cell lies for a reference point at (100, 50)
  } cases[] = {
    {TA_LEFT | TA_TOP, Rect(100, 50, 100 + s.cx, 50 + s.cy)},
    {TA_RIGHT | TA_TOP, Rect(100 - s.cx, 50, 100, 50 + s.cy)},
    {TA_CENTER | TA_TOP, Rect(100 - s.cx / 2, 50, 100 - s.cx / 2 + s.cx, 50 + s.cy)},
    {TA_LEFT | TA_BOTTOM, Rect(100, 50 - s.cy, 100 + s.cx, 50)},
    {TA_LEFT | TA_BASELINE, Rect(100, 50 - tm.tmAscent, 100 + s.cx, 50 + tm.tmDescent)},
  };
  for (const auto& c : cases) {
    Clear();
    SetTextAlign(DC, c.Align);
    ASSERT_TRUE(TextOutA(DC, 100, 50, text.data(), static_cast<int>(text.size())));
    RECT ink = InkBox();
    EXPECT_FALSE(IsRectEmpty(&ink)) << c.Align;
    // Glyphs may reach a pixel past their advance box at most.
    RECT allowed = c.Cell;
    InflateRect(&allowed, 1, 0);
    EXPECT_TRUE(RectIn(ink, allowed)) << "align " << c.Align;
    EXPECT_GT(ink.right - ink.left, s.cx * 3 / 4) << c.Align;
    EXPECT_GT(DarkPixels(), 50) << "black text on white leaves dark pixels";
  }
  SetTextAlign(DC, TA_LEFT | TA_TOP);
}

TEST_F(DrawTextTest, OpaqueBackgroundFillsTheCell)
{
  const SIZE s = Extent("Hi");
  SetBkMode(DC, OPAQUE);
  SetBkColor(DC, Red);
  ASSERT_TRUE(TextOutA(DC, 10, 20, "Hi", 2));
  EXPECT_EQ(InkBox(), Rect(10, 20, 10 + s.cx, 20 + s.cy));
  EXPECT_EQ(Pixel(10, 20), Red);
  EXPECT_EQ(Pixel(10 + s.cx - 1, 20 + s.cy - 1), Red);

  // ETO_OPAQUE fills its rectangle in any background mode, also with no text at all.
  Clear();
  SetBkMode(DC, TRANSPARENT);
  RECT r = Rect(5, 6, 50, 40);
  ASSERT_TRUE(ExtTextOutA(DC, 0, 0, ETO_OPAQUE, &r, nullptr, 0, nullptr));
  EXPECT_EQ(InkBox(), r);
  EXPECT_EQ(Pixel(5, 6), Red);
  EXPECT_EQ(Pixel(49, 39), Red);
}

TEST_F(DrawTextTest, ExtTextOutClipsAndSpaces)
{
  RECT clip = Rect(20, 10, 40, 30);
  ASSERT_TRUE(ExtTextOutA(DC, 10, 10, ETO_CLIPPED, &clip, "WWWWWW", 6, nullptr));
  RECT ink = InkBox();
  EXPECT_FALSE(IsRectEmpty(&ink));
  EXPECT_TRUE(RectIn(ink, clip));

  // Per-character advances: the second character lands where Dx puts it.
  Clear();
  const INT dx[2] = {60, 10};
  ASSERT_TRUE(ExtTextOutA(DC, 10, 10, 0, nullptr, "ll", 2, dx));
  ink = InkBox();
  EXPECT_GE(ink.right, 70);
  EXPECT_LT(ink.left, 20);
  // Nothing between the two characters.
  for (int x = 20; x < 65; ++x)
    for (int y = 0; y < H; ++y) ASSERT_EQ(Pixel(x, y), White) << x << "," << y;
}

TEST_F(DrawTextTest, UpdateCpMovesTheCurrentPosition)
{
  const SIZE s = Extent("abc");
  SetTextAlign(DC, TA_UPDATECP);
  MoveToEx(DC, 10, 10, nullptr);
  ASSERT_TRUE(TextOutA(DC, 150, 80, "abc", 3));
  POINT p;
  GetCurrentPositionEx(DC, &p);
  EXPECT_EQ(p.x, 10 + s.cx);
  EXPECT_EQ(p.y, 10);
  EXPECT_TRUE(RectIn(InkBox(), Rect(9, 10, 11 + s.cx, 10 + s.cy))) << "drawn at the current position";
  SetTextAlign(DC, TA_UPDATECP | TA_RIGHT);
  ASSERT_TRUE(TextOutA(DC, 0, 0, "abc", 3));
  GetCurrentPositionEx(DC, &p);
  EXPECT_EQ(p.x, 10);
  SetTextAlign(DC, TA_LEFT | TA_TOP);
}

TEST_F(DrawTextTest, DrawTextClipsToTheRectangleUnlessNoClip)
{
  const char* text = "A line far too long for its box";
  RECT r = Rect(10, 10, 60, 30);
  RECT copy = r;
  EXPECT_EQ(DrawTextA(DC, text, -1, &copy, DT_SINGLELINE), Metrics().tmHeight);
  EXPECT_EQ(copy, r) << "the rectangle is left alone without DT_CALCRECT";
  RECT ink = InkBox();
  EXPECT_FALSE(IsRectEmpty(&ink));
  EXPECT_TRUE(RectIn(ink, r));
  EXPECT_EQ(ink.right, r.right) << "clipped at the edge, not cut before it";

  Clear();
  DrawTextA(DC, text, -1, &copy, DT_SINGLELINE | DT_NOCLIP);
  EXPECT_GT(InkBox().right, 100);

  // With an ellipsis the text ends inside the box.
  Clear();
  DrawTextA(DC, text, -1, &copy, DT_SINGLELINE | DT_END_ELLIPSIS);
  ink = InkBox();
  EXPECT_TRUE(RectIn(ink, r));
  EXPECT_LE(ink.right, r.right);
}

TEST_F(DrawTextTest, DrawTextMeasuresWithTheRealFont)
{
  const TEXTMETRICA tm = Metrics();
  const SIZE one = Extent("Convert the clip");
  struct Case {
    const char* Name;
    const char* Text;
    UINT Format;
    RECT R;
    RECT Expected;
    int Result;
  } cases[] = {
    {"one line", "Convert the clip", DT_SINGLELINE, Rect(5, 5, 5, 5), Rect(5, 5, 5 + one.cx, 5 + tm.tmHeight), tm.tmHeight},
    {"two lines", "Convert the clip\r\nConvert", 0, Rect(0, 0, 0, 0), Rect(0, 0, one.cx, 2 * tm.tmHeight), 2 * tm.tmHeight},
    {"wrapped at the width", "Convert the clip", DT_WORDBREAK, Rect(0, 0, Extent("Convert the").cx, 0),
     Rect(0, 0, Extent("Convert the").cx, 2 * tm.tmHeight), 2 * tm.tmHeight},
    {"prefix takes no room", "&Convert the clip", DT_SINGLELINE, Rect(0, 0, 0, 0), Rect(0, 0, one.cx, tm.tmHeight),
     tm.tmHeight},
    {"tabs", "a\tb", DT_EXPANDTABS | DT_SINGLELINE, Rect(0, 0, 0, 0),
     Rect(0, 0, 8 * tm.tmAveCharWidth + Extent("b").cx, tm.tmHeight), tm.tmHeight},
  };
  for (const auto& c : cases) {
    RECT r = c.R;
    EXPECT_EQ(DrawTextA(DC, c.Text, -1, &r, c.Format | DT_CALCRECT), c.Result) << c.Name;
    EXPECT_EQ(r, c.Expected) << c.Name << ": " << r.left << "," << r.top << "," << r.right << "," << r.bottom;
    // The wide and Ex forms agree.
    std::wstring wide(c.Text, c.Text + std::strlen(c.Text));
    RECT w = c.R;
    EXPECT_EQ(DrawTextW(DC, wide.c_str(), -1, &w, c.Format | DT_CALCRECT), c.Result) << c.Name;
    EXPECT_EQ(w, c.Expected) << c.Name;
  }
  EXPECT_EQ(InkBox(), RECT{}) << "measuring draws nothing";

  // Drawn text stays in its measured rectangle.
  RECT r = Rect(20, 20, 20, 20);
  DrawTextA(DC, "Convert the clip\r\nnow", -1, &r, DT_CALCRECT);
  DrawTextA(DC, "Convert the clip\r\nnow", -1, &r, 0);
  RECT allowed = r;
  InflateRect(&allowed, 1, 0);
  EXPECT_TRUE(RectIn(InkBox(), allowed));

  // Vertical centring returns the offset to the bottom of the text.
  r = Rect(0, 0, 200, 40);
  EXPECT_EQ(DrawTextA(DC, "x", 1, &r, DT_SINGLELINE | DT_VCENTER), (40 - tm.tmHeight) / 2 + tm.tmHeight);
}

TEST_F(DrawTextTest, PrefixUnderlineAndFontUnderline)
{
  RECT r = Rect(10, 10, 190, 90);
  DrawTextA(DC, "a", 1, &r, DT_SINGLELINE);
  const RECT plain = InkBox();
  Clear();
  DrawTextA(DC, "&a", 2, &r, DT_SINGLELINE);
  const RECT marked = InkBox();
  EXPECT_GT(marked.bottom, plain.bottom) << "the underline sits below the letter";
  EXPECT_EQ(marked.left, plain.left);

  Clear();
  DrawTextA(DC, "&a", 2, &r, DT_SINGLELINE | DT_HIDEPREFIX);
  EXPECT_EQ(InkBox(), plain);

  Clear();
  DrawTextA(DC, "&a", 2, &r, DT_SINGLELINE | DT_PREFIXONLY);
  RECT onlyMark = InkBox();
  EXPECT_FALSE(IsRectEmpty(&onlyMark));
  EXPECT_GE(onlyMark.top, plain.bottom - 1) << "only the underline is drawn";

  // A font with lfUnderline underlines the whole text.
  HFONT underlined = CreateFontA(-16, 0, 0, 0, FW_NORMAL, 0, TRUE, 0, DEFAULT_CHARSET, 0, 0, 0, 0, "Arial");
  HGDIOBJ old = SelectObject(DC, underlined);
  Clear();
  const SIZE s = Extent("a b");
  TextOutA(DC, 10, 10, "a b", 3);
  RECT ink = InkBox();
  EXPECT_EQ(ink.left, 10);
  EXPECT_EQ(ink.right, 10 + s.cx);
  SelectObject(DC, old);
  DeleteObject(underlined);
}

TEST_F(DrawTextTest, ModifyStringWritesBackOnlyWhereItFits)
{
  char buffer[64];
  std::strcpy(buffer, "/home/ann/videos/holiday/clip.mkv");
  RECT r = Rect(0, 0, Extent("/home/....../clip.mkv").cx, 20);
  DRAWTEXTPARAMS params;
  ASSERT_GT(DrawTextExA(DC, buffer, -1, &r, DT_SINGLELINE | DT_PATH_ELLIPSIS | DT_MODIFYSTRING, &params), 0);
  const String shown = buffer;
  EXPECT_LT(shown.size(), std::strlen("/home/ann/videos/holiday/clip.mkv"));
  EXPECT_NE(shown.find("..."), String::npos) << shown;
  EXPECT_EQ(shown.substr(shown.size() - 9), "/clip.mkv");
  EXPECT_EQ(params.uiLengthDrawn, std::strlen("/home/ann/videos/holiday/clip.mkv"));

  // Without DT_MODIFYSTRING, and through DrawTextA, the text stays as it is.
  std::strcpy(buffer, "/home/ann/videos/holiday/clip.mkv");
  DrawTextExA(DC, buffer, -1, &r, DT_SINGLELINE | DT_PATH_ELLIPSIS, nullptr);
  EXPECT_STREQ(buffer, "/home/ann/videos/holiday/clip.mkv");
  DrawTextA(DC, buffer, -1, &r, DT_SINGLELINE | DT_PATH_ELLIPSIS | DT_MODIFYSTRING);
  EXPECT_STREQ(buffer, "/home/ann/videos/holiday/clip.mkv");

  // A shown text longer than the caller's text ("WW" becoming "...") is not written.
  std::strcpy(buffer, "WWXY");
  r = Rect(0, 0, Extent("WWX").cx, 20);
  DrawTextExA(DC, buffer, 2, &r, DT_SINGLELINE | DT_END_ELLIPSIS | DT_MODIFYSTRING, nullptr);
  EXPECT_STREQ(buffer, "WWXY");

  DRAWTEXTPARAMS bad;
  bad.cbSize = 3;
  EXPECT_EQ(DrawTextExA(DC, buffer, -1, &r, 0, &bad), 0);
}

TEST_F(DrawTextTest, DamagedTextAndBadArguments)
{
  const char damaged[] = "\xFF\xFE\xE2\x82 ok \xC3";
  RECT r = Rect(0, 0, W, H);
  EXPECT_EQ(DrawTextA(DC, damaged, -1, &r, DT_WORDBREAK), Metrics().tmHeight);
  EXPECT_GT(DarkPixels(), 20);
  EXPECT_TRUE(TextOutA(DC, 0, 50, damaged, static_cast<int>(std::strlen(damaged))));

  EXPECT_EQ(DrawTextA(nullptr, "x", 1, &r, 0), 0);
  EXPECT_EQ(DrawTextA(DC, "x", 1, nullptr, 0), 0);
  EXPECT_FALSE(TextOutA(DC, 0, 0, "x", -1));
  EXPECT_FALSE(TextOutA(nullptr, 0, 0, "x", 1));
  EXPECT_EQ(DrawTextA(DC, nullptr, 0, &r, 0), 0);
}

TEST_F(DrawTextTest, EscapementRunsTextUpwards)
{
  const SIZE s = Extent("Progress");
  HFONT up = CreateFontA(-16, 0, 900, 900, FW_NORMAL, 0, 0, 0, DEFAULT_CHARSET, 0, 0, 0, 0, "Arial");
  HGDIOBJ old = SelectObject(DC, up);
  ASSERT_TRUE(TextOutA(DC, 40, 90, "Progress", 8));
  RECT ink = InkBox();
  // Running up from (40, 90): the cell spans x 40 .. 40 + height, y 90 - width .. 90.
  EXPECT_GT(ink.bottom - ink.top, ink.right - ink.left);
  EXPECT_TRUE(RectIn(ink, Rect(40, 89 - s.cx, 41 + s.cy, 91))) << s.cx << " x " << s.cy;
  SelectObject(DC, old);
  DeleteObject(up);
}

TEST_F(DrawTextTest, TabbedTextOut)
{
  const INT stops[2] = {50, 120};
  LONG extent = TabbedTextOutA(DC, 10, 10, "a\tb\tc", 5, 2, stops, 10);
  EXPECT_EQ(LOWORD(extent), 120 + Extent("c").cx);
  EXPECT_EQ(HIWORD(extent), Metrics().tmHeight);
  EXPECT_EQ(GetTabbedTextExtentA(DC, "a\tb\tc", 5, 2, stops), MAKELONG(120 + Extent("c").cx, Metrics().tmHeight));
  // 'c' starts at the second stop from the origin.
  RECT ink = InkBox();
  EXPECT_GE(ink.right, 130);
  EXPECT_LE(ink.right, 130 + Extent("c").cx + 1);
  EXPECT_EQ(LOWORD(GetTabbedTextExtentA(DC, "a\tb", 3, 1, stops)), 50 + Extent("b").cx);
}

TEST_F(DrawTextTest, MarlettDrawsSymbolsNotLetters)
{
  // The size grip: "o" light and "p" dark lines, both in the lower right of a 16 x 16 cell.
  HFONT marlett = CreateFontA(-16, 0, 0, 0, FW_NORMAL, 0, 0, 0, DEFAULT_CHARSET, 0, 0, 0, 0, "Marlett");
  HGDIOBJ old = SelectObject(DC, marlett);
  EXPECT_EQ(Metrics().tmHeight, 16);
  SetTextColor(DC, Red);
  TextOutA(DC, 10, 10, "o", 1);
  SetTextColor(DC, Black);
  TextOutA(DC, 10, 10, "p", 1);
  RECT ink = InkBox();
  EXPECT_TRUE(RectIn(ink, Rect(14, 14, 26, 26))) << "the grip hugs the cell's lower right corner";
  EXPECT_EQ(ink.right, 26);
  EXPECT_EQ(ink.bottom, 26);
  int red = 0, black = 0;
  for (int y = 10; y < 26; ++y)
    for (int x = 10; x < 26; ++x) {
      red += Pixel(x, y) == Red;
      black += Pixel(x, y) == Black;
    }
  EXPECT_GT(red, 5);
  EXPECT_GT(black, 10);
  // A letter without a symbol draws nothing.
  Clear();
  TextOutA(DC, 10, 10, "Q", 1);
  EXPECT_EQ(InkBox(), RECT{});
  SelectObject(DC, old);
  DeleteObject(marlett);
}
