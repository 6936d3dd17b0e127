#include "platform/gdi/FontFace.h"

#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_OUTLINE_H
#include FT_TRUETYPE_TABLES_H

#include <algorithm>
#include <cmath>
#include <map>
#include <numbers>

#include "platform/gdi/FontResolver.h"
#include "platform/gdi/GlyphMarlett.h"

namespace {

// Sizes beyond this many pixels per em are drawn at this size: a glyph bitmap stays bounded
// whatever height a caller asks for.
constexpr int MaxEmPixels = 2048;
// The em size of a font created with height 0.
constexpr int DefaultEmPixels = 12;
// Faces kept when nobody holds them any more.
constexpr std::size_t FaceCacheLimit = 64;

FT_Library Library()
{
  static FT_Library library = [] {
    FT_Library lib = nullptr;
    if (FT_Init_FreeType(&lib) != 0) lib = nullptr;
    return lib;
  }();
  return library;
}

int RoundToInt(double V) { return static_cast<int>(std::lround(V)); }

bool IsControl(char32_t C) { return C < 0x20 || C == 0x7F || (C >= 0x80 && C < 0xA0); }

// Copies FreeType's bitmap into 8-bit coverage.
void TakeBitmap(const FT_Bitmap& Bitmap, TGlyph& G)
{
  G.Width = static_cast<int>(Bitmap.width);
  G.Height = static_cast<int>(Bitmap.rows);
  G.Coverage.assign(static_cast<std::size_t>(G.Width) * static_cast<std::size_t>(G.Height), 0);
  if (G.Width == 0 || G.Height == 0 || Bitmap.buffer == nullptr) return;
  const int pitch = Bitmap.pitch;
  const unsigned char* rows = Bitmap.buffer;
  if (pitch < 0) rows -= static_cast<std::ptrdiff_t>(pitch) * (G.Height - 1);
  for (int y = 0; y < G.Height; ++y) {
    const unsigned char* src = rows + static_cast<std::ptrdiff_t>(pitch) * y;
    std::uint8_t* dst = G.Coverage.data() + static_cast<std::size_t>(y) * static_cast<std::size_t>(G.Width);
    if (Bitmap.pixel_mode == FT_PIXEL_MODE_MONO) {
      for (int x = 0; x < G.Width; ++x) dst[x] = (src[x >> 3] & (0x80 >> (x & 7))) ? 255 : 0;
    } else if (Bitmap.pixel_mode == FT_PIXEL_MODE_GRAY) {
      const int grays = Bitmap.num_grays > 1 ? Bitmap.num_grays - 1 : 255;
      for (int x = 0; x < G.Width; ++x) dst[x] = grays == 255 ? src[x] : static_cast<std::uint8_t>(src[x] * 255 / grays);
    }
  }
}

} // namespace

std::recursive_mutex& FontEngineLock()
{
  static std::recursive_mutex lock;
  return lock;
}

std::shared_ptr<TFontFace> TFontFace::Get(const TFontFaceKey& Key)
{
  std::lock_guard<std::recursive_mutex> guard(FontEngineLock());
  static std::map<TFontFaceKey, std::shared_ptr<TFontFace>> cache;
  auto it = cache.find(Key);
  if (it != cache.end()) return it->second;
  if (cache.size() >= FaceCacheLimit) {
    for (auto i = cache.begin(); i != cache.end();) {
      if (i->second.use_count() == 1)
        i = cache.erase(i);
      else
        ++i;
    }
  }
  std::shared_ptr<TFontFace> face(new TFontFace(Key));
  face->Open();
  cache.emplace(Key, face);
  return face;
}

TFontFace::TFontFace(const TFontFaceKey& Key) : FKey(Key) {}

TFontFace::~TFontFace()
{
  if (FFace != nullptr) FT_Done_Face(static_cast<FT_Face>(FFace));
}

void TFontFace::Open()
{
  if (FKey.Escapement % 3600 != 0) {
    TFontFaceKey upright = FKey;
    upright.Escapement = 0;
    FUpright = Get(upright);
  }

  int em = FKey.Height < 0 ? -FKey.Height : (FKey.Height == 0 ? DefaultEmPixels : 0);
  FT_Face face = nullptr;
  if (Library() != nullptr && !FKey.FileName.empty() && !FKey.Marlett &&
      FT_New_Face(Library(), FKey.FileName.c_str(), FKey.FaceIndex, &face) != 0)
    face = nullptr;
  if (face != nullptr && (!FT_IS_SCALABLE(face) || face->units_per_EM == 0)) {
    FT_Done_Face(face);
    face = nullptr;
  }

  if (FKey.Marlett) {
    if (em == 0) em = FKey.Height;
    em = std::clamp(em, 1, MaxEmPixels);
    FMetrics.EmPixels = em;
    FMetrics.Ascent = em;
    FMetrics.Height = em;
    FMetrics.AveCharWidth = em;
    FMetrics.MaxCharWidth = em;
    FMetrics.UnderlineOffset = 1;
    FMetrics.StrikeoutOffset = em / 2;
    return;
  }
  if (face == nullptr) {
    // No usable file: plausible metrics so that layouts still work.
    if (em == 0) em = std::max(1, FKey.Height * 8 / 9);
    em = std::clamp(em, 1, MaxEmPixels);
    FMetrics.EmPixels = em;
    FMetrics.Ascent = RoundToInt(em * 0.905);
    FMetrics.Descent = RoundToInt(em * 0.212);
    FMetrics.Height = FMetrics.Ascent + FMetrics.Descent;
    FMetrics.InternalLeading = FMetrics.Height - em;
    FMetrics.AveCharWidth = std::max(1, em / 2);
    FMetrics.MaxCharWidth = em;
    FMetrics.UnderlineOffset = std::max(1, em / 10);
    FMetrics.StrikeoutOffset = em / 4;
    return;
  }
  FFace = face;

  auto* os2 = static_cast<TT_OS2*>(FT_Get_Sfnt_Table(face, FT_SFNT_OS2));
  auto* hhea = static_cast<TT_HoriHeader*>(FT_Get_Sfnt_Table(face, FT_SFNT_HHEA));
  if (os2 != nullptr && os2->version == 0xFFFF) os2 = nullptr;
  const double units = face->units_per_EM;
  double winAscent = os2 != nullptr ? os2->usWinAscent : face->ascender;
  double winDescent = os2 != nullptr ? os2->usWinDescent : -face->descender;
  if (winAscent + winDescent <= 0) {
    winAscent = face->ascender;
    winDescent = -face->descender;
  }
  if (winAscent + winDescent <= 0) {
    winAscent = units * 0.9;
    winDescent = units * 0.2;
  }
  const double cellUnits = winAscent + winDescent;

  bool cellHeight = FKey.Height > 0;
  if (cellHeight) em = RoundToInt(FKey.Height * units / cellUnits);
  if (em > MaxEmPixels) cellHeight = false;
  em = std::clamp(em, 1, MaxEmPixels);
  const double scale = em / units;

  double avgUnits = os2 != nullptr && os2->xAvgCharWidth > 0 ? os2->xAvgCharWidth : units / 2;
  double xem = em;
  if (FKey.Width > 0) xem = std::clamp(FKey.Width * units / avgUnits, 1.0, static_cast<double>(MaxEmPixels));
  const double xscale = xem / units;

  FT_Set_Char_Size(face, static_cast<FT_F26Dot6>(std::lround(xem * 64)), static_cast<FT_F26Dot6>(em) * 64, 72, 72);
  if (FKey.Symbol && FT_Select_Charmap(face, FT_ENCODING_MS_SYMBOL) == 0)
    FSymbolMap = true;
  else
    FT_Select_Charmap(face, FT_ENCODING_UNICODE);

  const int bold = FKey.SynthBold ? std::max(1, em / 24) : 0;
  FMetrics.EmPixels = em;
  FMetrics.Ascent = RoundToInt(winAscent * scale);
  FMetrics.Descent = cellHeight ? std::max(0, FKey.Height - FMetrics.Ascent) : RoundToInt(winDescent * scale);
  FMetrics.Height = FMetrics.Ascent + FMetrics.Descent;
  FMetrics.InternalLeading = std::max(0, FMetrics.Height - em);
  if (hhea != nullptr) {
    double gap = hhea->Line_Gap - (cellUnits - (hhea->Ascender - hhea->Descender));
    FMetrics.ExternalLeading = std::max(0, RoundToInt(gap * scale));
    FMetrics.MaxCharWidth = RoundToInt(hhea->advance_Width_Max * xscale) + bold;
  } else {
    FMetrics.MaxCharWidth = RoundToInt(face->max_advance_width * xscale) + bold;
  }
  FMetrics.AveCharWidth = RoundToInt(avgUnits * xscale) + bold;
  FMetrics.FixedPitch = FT_IS_FIXED_WIDTH(face);

  const int underline = std::max(1, RoundToInt(face->underline_thickness * scale));
  const double underlineCentre = -face->underline_position * scale;
  FMetrics.UnderlineThickness = underline;
  FMetrics.UnderlineOffset = std::max(1, RoundToInt(underlineCentre - underline / 2.0));
  if (os2 != nullptr && os2->yStrikeoutSize > 0) {
    FMetrics.StrikeoutThickness = std::max(1, RoundToInt(os2->yStrikeoutSize * scale));
    FMetrics.StrikeoutOffset = RoundToInt(os2->yStrikeoutPosition * scale);
  } else {
    FMetrics.StrikeoutThickness = underline;
    FMetrics.StrikeoutOffset = RoundToInt(winAscent * scale / 3);
  }
}

unsigned TFontFace::GlyphIndex(char32_t C)
{
  auto face = static_cast<FT_Face>(FFace);
  if (FSymbolMap) {
    if (C < 0x100) {
      unsigned index = FT_Get_Char_Index(face, 0xF000 + C);
      if (index != 0) return index;
    }
  }
  return FT_Get_Char_Index(face, C);
}

TGlyph TFontFace::Render(char32_t C)
{
  TGlyph g;
  if (IsControl(C)) return g;
  if (FKey.Marlett) return GlyphMarlett::Render(C, FMetrics.EmPixels);
  if (FUpright) g.Advance = FUpright->Advance(C);
  auto face = static_cast<FT_Face>(FFace);
  if (face == nullptr) {
    if (!FUpright) g.Advance = FMetrics.AveCharWidth;
    return g;
  }

  unsigned index = GlyphIndex(C);
  if (index == 0 && !FKey.Symbol) {
    // Another installed font may have the character.
    TResolvedFont other = FontResolver::ResolveForChar(C);
    if (!other.FileName.empty() && (other.FileName != FKey.FileName || other.FaceIndex != FKey.FaceIndex)) {
      auto& fallback = FFallbacks[other.FileName];
      if (!fallback) {
        TFontFaceKey key = FKey;
        key.FileName = other.FileName;
        key.FaceIndex = other.FaceIndex;
        fallback = Get(key);
      }
      TGlyph borrowed = fallback->Glyph(C);
      if (FUpright) borrowed.Advance = g.Advance;
      return borrowed;
    }
  }

  FT_Int32 flags = FT_LOAD_NO_BITMAP | (FKey.Mono ? FT_LOAD_TARGET_MONO : FT_LOAD_TARGET_NORMAL);
  if (FT_Load_Glyph(face, index, flags) != 0 && (index == 0 || FT_Load_Glyph(face, 0, flags) != 0)) return g;
  FT_GlyphSlot slot = face->glyph;
  const int bold = FKey.SynthBold ? std::max(1, FMetrics.EmPixels / 24) : 0;
  if (!FUpright) g.Advance = static_cast<int>((slot->advance.x + 32) >> 6) + bold;

  if (slot->format == FT_GLYPH_FORMAT_OUTLINE) {
    if (bold > 0) FT_Outline_EmboldenXY(&slot->outline, bold * 64, 0);
    if (FKey.SynthItalic) {
      FT_Matrix shear{0x10000, 0x0366A, 0, 0x10000};
      FT_Outline_Transform(&slot->outline, &shear);
    }
    if (FUpright) {
      const double angle = FKey.Escapement / 10.0 * std::numbers::pi / 180.0;
      const auto c = static_cast<FT_Fixed>(std::lround(std::cos(angle) * 0x10000));
      const auto s = static_cast<FT_Fixed>(std::lround(std::sin(angle) * 0x10000));
      FT_Matrix rotate{c, -s, s, c};
      FT_Outline_Transform(&slot->outline, &rotate);
    }
  }
  if (FT_Render_Glyph(slot, FKey.Mono ? FT_RENDER_MODE_MONO : FT_RENDER_MODE_NORMAL) != 0) return g;
  TakeBitmap(slot->bitmap, g);
  g.Left = slot->bitmap_left;
  g.Top = slot->bitmap_top;
  return g;
}

TGlyph* TFontFace::Lookup(char32_t C)
{
  TEntry* entry;
  if (C < 256) {
    if (FLow.empty()) FLow.resize(256);
    entry = &FLow[C];
  } else {
    entry = &FHigh[C];
  }
  if (!entry->Rendered) {
    entry->Glyph = Render(C);
    entry->Rendered = true;
  }
  return &entry->Glyph;
}

int TFontFace::Advance(char32_t C)
{
  std::lock_guard<std::recursive_mutex> guard(FontEngineLock());
  return Lookup(C)->Advance;
}

const TGlyph& TFontFace::Glyph(char32_t C)
{
  std::lock_guard<std::recursive_mutex> guard(FontEngineLock());
  return *Lookup(C);
}
