// Fonts: the mapping of Windows face names, the metrics of the installed Liberation fonts
// (a fixed package, so exact numbers hold), extents, and the font objects.
#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <cstring>

#include "platform/gdi/Font.h"
#include "platform/gdi/FontFace.h"
#include "platform/gdi/FontResolver.h"
#include "platform/gdi/Gdi.h"

namespace {

String LowerAscii(String S)
{
  for (char& c : S)
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  return S;
}

// A memory DC with a font of the given height and face selected.
class TFontDC {
public:
  TFontDC(int Height, const char* Face, int Weight = FW_NORMAL, BYTE Quality = DEFAULT_QUALITY)
  {
    DC = CreateCompatibleDC(nullptr);
    Font = CreateFontA(Height, 0, 0, 0, Weight, 0, 0, 0, DEFAULT_CHARSET, 0, 0, Quality, 0, Face);
    Old = SelectObject(DC, Font);
  }
  ~TFontDC()
  {
    SelectObject(DC, Old);
    DeleteObject(Font);
    DeleteDC(DC);
  }
  TEXTMETRICA Metrics() const
  {
    TEXTMETRICA tm;
    EXPECT_TRUE(GetTextMetricsA(DC, &tm));
    return tm;
  }
  SIZE Extent(const String& Text) const
  {
    SIZE s{-1, -1};
    EXPECT_TRUE(GetTextExtentPoint32A(DC, Text.data(), static_cast<int>(Text.size()), &s));
    return s;
  }
  HDC DC;
  HFONT Font;
  HGDIOBJ Old;
};

} // namespace

TEST(FontTest, MapsWindowsFamilies)
{
  struct Case {
    const char* Face;
    const char* Family;
  } cases[] = {
    {"Arial", "Liberation Sans"},
    {"arial", "Liberation Sans"},
    {"Times New Roman", "Liberation Serif"},
    {"Courier New", "Liberation Mono"},
    {"Courier", "Liberation Mono"},
    {"MS Sans Serif", "Liberation Sans"},
    {"Tahoma", "Liberation Sans"},
    {"Verdana", "Liberation Sans"},
    {"Segoe UI", "Liberation Sans"},
    {"MS Shell Dlg", "Liberation Sans"},
    {"MS Shell Dlg 2", "Liberation Sans"},
    {"System", "Liberation Sans"},
    {"", "Liberation Sans"},
    {"DejaVu Serif", "DejaVu Serif"},
    {"dejavu sans mono", "DejaVu Sans Mono"},
  };
  for (const auto& c : cases) {
    TResolvedFont r = FontResolver::Resolve(c.Face, false, false);
    EXPECT_EQ(r.Family, c.Family) << c.Face;
    EXPECT_FALSE(r.Bold) << c.Face;
    TResolvedFont bold = FontResolver::Resolve(c.Face, true, true);
    EXPECT_EQ(bold.Family, c.Family) << c.Face;
    EXPECT_TRUE(bold.Bold && bold.Italic) << c.Face << " has its own bold italic face";
    EXPECT_NE(bold.FileName, r.FileName) << c.Face;
  }
  // An unknown family never fails: it gets the best match for "sans-serif".
  TResolvedFont unknown = FontResolver::Resolve("No Such Family 1234", false, false);
  EXPECT_FALSE(unknown.FileName.empty());
  EXPECT_TRUE(FontResolver::IsInstalledFamily(unknown.Family));
  EXPECT_EQ(FontResolver::Resolve("Another Missing Family", false, false).FileName, unknown.FileName);
}

TEST(FontTest, FamilyNamesAreSortedUniqueAndIncludeTheWindowsNames)
{
  std::vector<String> names = GetFontFamilyNames();
  for (const char* expected : {"Arial", "Tahoma", "MS Sans Serif", "Times New Roman", "Courier New", "Liberation Sans",
                               "DejaVu Sans"})
    EXPECT_NE(std::find(names.begin(), names.end(), expected), names.end()) << expected;
  for (std::size_t i = 1; i < names.size(); ++i) EXPECT_LT(LowerAscii(names[i - 1]), LowerAscii(names[i]));
}

TEST(FontTest, MetricsOfLiberationSans)
{
  struct Case {
    int Height;
    LONG tmHeight, tmAscent, tmDescent, tmInternalLeading, tmExternalLeading, tmAveCharWidth, tmMaxCharWidth;
  } cases[] = {
    {-11, 12, 10, 2, 1, 0, 6, 15},
    {-12, 14, 11, 3, 2, 0, 7, 16},
    {-16, 17, 14, 3, 1, 1, 9, 21},
    {16, 16, 13, 3, 2, 0, 8, 19}, // a cell height is met exactly
    {0, 14, 11, 3, 2, 0, 7, 16},  // the default size
  };
  for (const auto& c : cases) {
    TFontDC dc(c.Height, "Arial");
    TEXTMETRICA tm = dc.Metrics();
    EXPECT_EQ(tm.tmHeight, c.tmHeight) << c.Height;
    EXPECT_EQ(tm.tmAscent, c.tmAscent) << c.Height;
    EXPECT_EQ(tm.tmDescent, c.tmDescent) << c.Height;
    EXPECT_EQ(tm.tmInternalLeading, c.tmInternalLeading) << c.Height;
    EXPECT_EQ(tm.tmExternalLeading, c.tmExternalLeading) << c.Height;
    EXPECT_EQ(tm.tmAveCharWidth, c.tmAveCharWidth) << c.Height;
    EXPECT_EQ(tm.tmMaxCharWidth, c.tmMaxCharWidth) << c.Height;
    EXPECT_EQ(tm.tmWeight, FW_NORMAL);
    EXPECT_EQ(tm.tmPitchAndFamily, FF_SWISS | TMPF_TRUETYPE | TMPF_VECTOR | TMPF_FIXED_PITCH);
    EXPECT_EQ(tm.tmCharSet, ANSI_CHARSET);
    EXPECT_EQ(dc.Extent("Hg").cy, c.tmHeight);
  }
  TFontDC mono(-12, "Courier New");
  EXPECT_EQ(mono.Metrics().tmPitchAndFamily, FF_MODERN | TMPF_TRUETYPE | TMPF_VECTOR);
  EXPECT_EQ(mono.Extent("iiii").cx, mono.Extent("WWWW").cx);
  // A width sets the average character width and stretches the text.
  TFontDC wide(-12, "Arial");
  HFONT stretched = CreateFontA(-12, 12, 0, 0, FW_NORMAL, 0, 0, 0, DEFAULT_CHARSET, 0, 0, 0, 0, "Arial");
  HGDIOBJ normal = SelectObject(wide.DC, stretched);
  EXPECT_EQ(wide.Metrics().tmAveCharWidth, 12);
  EXPECT_EQ(wide.Metrics().tmHeight, 14);
  EXPECT_GT(wide.Extent("Hello, World").cx, TFontDC(-12, "Arial").Extent("Hello, World").cx * 3 / 2);
  SelectObject(wide.DC, normal);
  DeleteObject(stretched);
  TFontDC bold(-12, "Arial", FW_BOLD);
  EXPECT_EQ(bold.Metrics().tmWeight, FW_BOLD);
  EXPECT_GT(bold.Extent("Hello, World of Videos").cx, TFontDC(-12, "Arial").Extent("Hello, World of Videos").cx);
}

TEST(FontTest, ExtentsAreSumsOfWholeAdvances)
{
  TFontDC dc(-11, "Arial");
  const String text = "Quelvo 3, the video converter";
  std::vector<int> widths(256);
  ASSERT_TRUE(GetCharWidth32A(dc.DC, 0, 255, widths.data()));
  int sum = 0;
  for (unsigned char c : text) sum += widths[c];
  EXPECT_EQ(dc.Extent(text).cx, sum);
  EXPECT_EQ(dc.Extent("").cx, 0);
  EXPECT_EQ(dc.Extent("").cy, dc.Metrics().tmHeight);
  // Kerning is off: "AV" is as wide as "A" and "V" apart.
  EXPECT_EQ(dc.Extent("AV").cx, dc.Extent("A").cx + dc.Extent("V").cx);

  SetTextCharacterExtra(dc.DC, 2);
  EXPECT_EQ(dc.Extent(text).cx, sum + 2 * static_cast<int>(text.size()));
  SetTextCharacterExtra(dc.DC, 0);

  // Fit count and partial extents are in bytes; a character's bytes share its end extent.
  const String accented = "a\xC3\xA9" "b"; // a, e-acute (two bytes), b
  int fit = -1;
  int dx[4] = {-1, -1, -1, -1};
  SIZE size;
  int a = dc.Extent("a").cx, e = dc.Extent("\xC3\xA9").cx, b = dc.Extent("b").cx;
  ASSERT_TRUE(GetTextExtentExPointA(dc.DC, accented.data(), 4, a + e, &fit, dx, &size));
  EXPECT_EQ(fit, 3);
  EXPECT_EQ(dx[0], a);
  EXPECT_EQ(dx[1], a + e);
  EXPECT_EQ(dx[2], a + e);
  EXPECT_EQ(dx[3], -1) << "no extent past the fit";
  EXPECT_EQ(size.cx, a + e + b);
  ASSERT_TRUE(GetTextExtentExPointA(dc.DC, accented.data(), 4, a + e - 1, &fit, nullptr, &size));
  EXPECT_EQ(fit, 1);
  ASSERT_TRUE(GetTextExtentExPointA(dc.DC, accented.data(), 4, 0, nullptr, dx, &size));
  EXPECT_EQ(dx[3], a + e + b);

  // Invalid UTF-8 measures as single-byte characters.
  EXPECT_EQ(dc.Extent("\xE9").cx, widths[0xE9]);
  EXPECT_EQ(dc.Extent("\xE9").cx, dc.Extent("\xC3\xA9").cx);

  EXPECT_FALSE(GetTextExtentPoint32A(dc.DC, "abc", -1, &size));
  EXPECT_FALSE(GetTextExtentPoint32A(nullptr, "abc", 3, &size));
}

TEST(FontTest, FontObjects)
{
  LOGFONTA in;
  in.lfHeight = -13;
  in.lfWeight = FW_BOLD;
  in.lfItalic = 1;
  in.lfUnderline = 1;
  in.lfCharSet = SYMBOL_CHARSET;
  std::strcpy(in.lfFaceName, "Tahoma");
  HFONT font = CreateFontIndirectA(&in);
  ASSERT_NE(font, nullptr);
  EXPECT_EQ(GetObjectType(font), OBJ_FONT);
  EXPECT_EQ(GetObjectA(font, 0, nullptr), static_cast<int>(sizeof(LOGFONTA)));
  LOGFONTA out;
  ASSERT_EQ(GetObjectA(font, sizeof(out), &out), static_cast<int>(sizeof(LOGFONTA)));
  EXPECT_EQ(std::memcmp(&in, &out, sizeof(LOGFONTA)), 0);
  EXPECT_TRUE(DeleteObject(font));
  EXPECT_EQ(GetObjectType(font), 0u);

  EXPECT_EQ(CreateFontIndirectA(nullptr), nullptr);

  // A face name longer than the array is cut, not overrun.
  String longName(60, 'x');
  font = CreateFontA(-12, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, longName.c_str());
  ASSERT_TRUE(GetObjectA(font, sizeof(out), &out));
  EXPECT_EQ(String(out.lfFaceName), String(LF_FACESIZE - 1, 'x'));
  HDC dc = CreateCompatibleDC(nullptr);
  HGDIOBJ old = SelectObject(dc, font);
  char face[64];
  EXPECT_EQ(GetTextFaceA(dc, sizeof(face), face), LF_FACESIZE);
  EXPECT_EQ(String(face), String(LF_FACESIZE - 1, 'x'));
  TEXTMETRICA tm;
  EXPECT_TRUE(GetTextMetricsA(dc, &tm)) << "an unknown face still draws";
  SelectObject(dc, old);
  DeleteObject(font);

  // A fresh DC's stock font is named by GetTextFace.
  int copied = GetTextFaceA(dc, sizeof(face), face);
  EXPECT_EQ(copied, static_cast<int>(std::strlen(face)) + 1);
  LOGFONTA current;
  ASSERT_TRUE(GetObjectA(GetCurrentObject(dc, OBJ_FONT), sizeof(current), &current));
  EXPECT_EQ(String(face), String(current.lfFaceName));
  EXPECT_EQ(GetTextFaceA(dc, 0, nullptr), copied);
  LOGFONTA gui;
  ASSERT_TRUE(GetObjectA(GetDefaultGuiFont(), sizeof(gui), &gui));
  EXPECT_EQ(gui.lfHeight, -11);
  EXPECT_EQ(GetTextFaceA(dc, 3, face), 3);
  EXPECT_EQ(std::strlen(face), 2u);
  DeleteDC(dc);
}

TEST(FontTest, ExtremeSizesStayBounded)
{
  for (int height : {INT_MIN, INT_MAX, -1, 1, -100000}) {
    TFontDC dc(height, "Arial");
    TEXTMETRICA tm = dc.Metrics();
    EXPECT_GT(tm.tmHeight, 0) << height;
    EXPECT_LE(tm.tmHeight, 4096) << height;
    EXPECT_GE(dc.Extent("W").cx, 0) << height;
  }
}

TEST(FontTest, GlyphCacheAndRenderingModes)
{
  TResolvedFont r = FontResolver::Resolve("Arial", false, false);
  TFontFaceKey key;
  key.FileName = r.FileName;
  key.Height = -16;
  auto face = TFontFace::Get(key);
  EXPECT_EQ(TFontFace::Get(key), face) << "faces are shared";
  const TGlyph& a = face->Glyph(U'A');
  EXPECT_EQ(&face->Glyph(U'A'), &a) << "glyphs are cached";
  EXPECT_GT(a.Width, 0);
  EXPECT_GT(a.Height, 0);
  EXPECT_LE(a.Top, face->Metrics().Ascent);
  bool gray = false;
  for (auto v : a.Coverage) gray = gray || (v > 0 && v < 255);
  EXPECT_TRUE(gray) << "anti-aliased";

  TFontFaceKey monoKey = key;
  monoKey.Mono = true;
  for (auto v : TFontFace::Get(monoKey)->Glyph(U'A').Coverage) ASSERT_TRUE(v == 0 || v == 255);

  // Synthetic bold: one pixel more per character and more ink.
  TFontFaceKey boldKey = key;
  boldKey.SynthBold = true;
  auto bold = TFontFace::Get(boldKey);
  EXPECT_EQ(bold->Advance(U'l'), face->Advance(U'l') + 1);
  auto ink = [](const TGlyph& G) {
    long sum = 0;
    for (auto v : G.Coverage) sum += v;
    return sum;
  };
  EXPECT_GT(ink(bold->Glyph(U'l')), ink(face->Glyph(U'l')));

  // Synthetic italic leans: the top of an 'l' moves right of its bottom.
  TFontFaceKey italicKey = key;
  italicKey.SynthItalic = true;
  EXPECT_GT(TFontFace::Get(italicKey)->Glyph(U'l').Width, face->Glyph(U'l').Width);

  // Control characters take no room and draw nothing.
  EXPECT_EQ(face->Advance(U'\r'), 0);
  EXPECT_TRUE(face->Glyph(U'\t').Coverage.empty());

  // A character the face lacks comes from another installed font.
  EXPECT_GT(face->Glyph(0x2620).Width, 0); // skull and crossbones: DejaVu has it

  // A missing file still gives a usable face.
  TFontFaceKey missing = key;
  missing.FileName = "/nonexistent/font.ttf";
  auto none = TFontFace::Get(missing);
  EXPECT_GT(none->Metrics().Height, 0);
  EXPECT_GT(none->Advance(U'a'), 0);
  EXPECT_TRUE(none->Glyph(U'a').Coverage.empty());
}
