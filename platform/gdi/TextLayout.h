// The layout of DrawText: prefix characters, line breaks, word wrapping, tab expansion,
// ellipses, alignment and the measured rectangle. It is pure arithmetic over a measuring
// function, so it works the same for a real font and for a fixed-width stand-in.
#pragma once

#include <cstdint>
#include <functional>
#include <vector>

#include "platform/gdi/TextCodec.h"
#include "platform/rtl/WinTypes.h"

// What the layout needs to know about the font.
struct TTextLayoutFont {
  int Height = 0;            // tmHeight: the height of one line
  int ExternalLeading = 0;   // added to each line with DT_EXTERNALLEADING
  int AveCharWidth = 0;      // tab stops are multiples of this
  // The advance of one character in whole pixels (texts measure as sums of these).
  std::function<int(char32_t)> CharWidth;
  // Every byte is one character (symbol fonts).
  bool SingleByte = false;
};

// What DrawTextEx adds to the format.
struct TTextLayoutOptions {
  bool HasParams = false;    // DrawTextEx with a DRAWTEXTPARAMS
  int TabLength = 0;         // in average character widths; 0 or less means 8
  int LeftMargin = 0;
  int RightMargin = 0;
};

// One character as laid out. X is relative to the line's left edge. Characters below U+0020
// (tabs, line breaks shown as nothing) take their room but are never drawn.
struct TTextLayoutGlyph {
  char32_t Code = 0;
  int X = 0;
  int Width = 0;
  bool Underline = false;    // the character after a prefix '&'
  bool Inserted = false;     // one of the dots of an ellipsis
  std::uint32_t SrcBegin = 0;
  std::uint32_t SrcEnd = 0;
};

struct TTextLayoutLine {
  std::vector<TTextLayoutGlyph> Glyphs;
  int X = 0;                 // left edge of the line on the device
  int Y = 0;                 // top of the line cell
  int Width = 0;
  bool Visible = true;       // false for lines DT_EDITCONTROL leaves out (partly below the rect)
  bool Ellipsized = false;
  std::uint32_t SrcBegin = 0;
  std::uint32_t SrcEnd = 0;
};

struct TTextLayout {
  std::vector<TTextLayoutLine> Lines;
  int LineHeight = 0;
  // DrawText's result: the text height, or the offset from the top to the bottom of the text
  // for DT_VCENTER/DT_BOTTOM single lines.
  int Result = 0;
  // With DT_CALCRECT: the rectangle with right and bottom fitted to the text.
  RECT CalcRect{};
  // Where drawing is clipped (the given rectangle), unless DT_NOCLIP.
  bool Clip = true;
  RECT ClipRect{};
  // Bytes of the text that fall inside the rectangle (DRAWTEXTPARAMS.uiLengthDrawn).
  UINT LengthDrawn = 0;
  // With DT_MODIFYSTRING and an ellipsis: the text as shown.
  bool Modified = false;
  String ModifiedText;
};

// Lays out Text[0..Length) for DrawText's Format in Rect.
TTextLayout LayoutText(const char* Text, std::size_t Length, UINT Format, const RECT& Rect,
  const TTextLayoutFont& Font, const TTextLayoutOptions& Options = {});
