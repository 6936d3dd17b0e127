// A font file opened with FreeType at one size and style, with the metrics GDI reports for it
// and a cache of its glyphs (keyed by face, size, style and code point). Advances are whole
// pixels, as GDI's are, and kerning is not applied. Bold and italic that the file does not
// have are synthesised (emboldened outlines one pixel wider per character; a 12-degree slant).
//
// All of the font engine runs under FontEngineLock(): callers hold it while they use a face.
#pragma once

#include <compare>
#include <cstdint>
#include <memory>
#include <mutex>
#include <unordered_map>
#include <vector>

#include "platform/rtl/System.h"
#include "platform/rtl/WinTypes.h"

// The one lock of the font engine (recursive: text functions hold it across many calls).
std::recursive_mutex& FontEngineLock();

struct TFontFaceKey {
  String FileName;
  int FaceIndex = 0;
  LONG Height = 0;        // LOGFONT lfHeight: < 0 em size, > 0 cell height, 0 default
  LONG Width = 0;         // LOGFONT lfWidth: > 0 sets the average character width
  bool SynthBold = false;
  bool SynthItalic = false;
  bool Mono = false;      // no anti-aliasing
  bool Symbol = false;    // characters are byte values of a symbol font
  LONG Escapement = 0;    // tenths of a degree, counter-clockwise
  bool Marlett = false;   // the window symbols drawn by program (no file)
  auto operator<=>(const TFontFaceKey&) const = default;
};

// The metrics in pixels (TEXTMETRIC's meaning).
struct TFontMetrics {
  int Height = 0;
  int Ascent = 0;
  int Descent = 0;
  int InternalLeading = 0;
  int ExternalLeading = 0;
  int AveCharWidth = 0;
  int MaxCharWidth = 0;
  int EmPixels = 0;
  int UnderlineOffset = 0;    // top of the underline, below the baseline
  int UnderlineThickness = 1;
  int StrikeoutOffset = 0;    // top of the strike-out line, above the baseline
  int StrikeoutThickness = 1;
  bool FixedPitch = false;
};

// A rendered glyph: 8-bit coverage, Width x Height, whose top-left lies Left pixels right of
// the pen and Top pixels above the baseline.
struct TGlyph {
  int Advance = 0;
  int Left = 0;
  int Top = 0;
  int Width = 0;
  int Height = 0;
  std::vector<std::uint8_t> Coverage;
};

class TFontFace {
public:
  // The face for a key, shared and cached. Never null: without a usable file the face has
  // plausible metrics and draws nothing.
  static std::shared_ptr<TFontFace> Get(const TFontFaceKey& Key);

  ~TFontFace();
  TFontFace(const TFontFace&) = delete;
  TFontFace& operator=(const TFontFace&) = delete;

  const TFontFaceKey& Key() const { return FKey; }
  const TFontMetrics& Metrics() const { return FMetrics; }
  // The advance of C in whole pixels (0 for control characters).
  int Advance(char32_t C);
  // The glyph of C, rendered (rotated by the escapement).
  const TGlyph& Glyph(char32_t C);

private:
  explicit TFontFace(const TFontFaceKey& Key);
  void Open();
  TGlyph Render(char32_t C);
  TGlyph* Lookup(char32_t C);
  unsigned GlyphIndex(char32_t C);

  struct TEntry {
    TGlyph Glyph;
    bool Rendered = false;
  };

  TFontFaceKey FKey;
  TFontMetrics FMetrics;
  void* FFace = nullptr;          // FT_Face
  bool FSymbolMap = false;        // the face has a symbol character map
  std::shared_ptr<TFontFace> FUpright; // advances of a rotated face come from here
  std::vector<TEntry> FLow;       // code points below 256
  std::unordered_map<char32_t, TEntry> FHigh;
  std::unordered_map<String, std::shared_ptr<TFontFace>> FFallbacks; // by file name
};
