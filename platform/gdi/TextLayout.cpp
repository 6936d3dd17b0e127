#include "platform/gdi/TextLayout.h"

#include <algorithm>
#include <cstdint>

#include "platform/gdi/Gdi.h"

namespace {

using Int64 = std::int64_t;

constexpr char32_t CR = U'\r';
constexpr char32_t LF = U'\n';
constexpr char32_t Tab = U'\t';

struct TLayoutContext {
  const TTextLayoutFont& Font;
  UINT Format;
  bool ExpandTabs;
  int TabWidth;    // pixels between tab stops
  Int64 Avail;     // room for a line between the margins
  int DotWidth;
};

bool IsBlank(char32_t C) { return C == U' ' || C == Tab; }

int CharAdvance(const TLayoutContext& Ctx, char32_t C)
{
  if (C < 0x20 && C != Tab) return 0;
  if (!Ctx.Font.CharWidth) return 0;
  return std::max(0, Ctx.Font.CharWidth(C));
}

// Sets X and Width of every glyph from the line's start; tabs jump to the next stop.
int PlaceGlyphs(const TLayoutContext& Ctx, std::vector<TTextLayoutGlyph>& Glyphs)
{
  Int64 x = 0;
  for (auto& g : Glyphs) {
    int w;
    if (g.Code == Tab && Ctx.ExpandTabs) {
      Int64 next = Ctx.TabWidth > 0 ? (x / Ctx.TabWidth + 1) * Ctx.TabWidth : x;
      w = static_cast<int>(next - x);
    } else {
      w = CharAdvance(Ctx, g.Code);
    }
    g.X = static_cast<int>(x);
    g.Width = w;
    x += w;
  }
  return static_cast<int>(x);
}

// The width from the line start to the end of glyph I - 1 (the first I glyphs).
Int64 PrefixEnd(const std::vector<TTextLayoutGlyph>& G, std::size_t I)
{
  return I == 0 ? 0 : static_cast<Int64>(G[I - 1].X) + G[I - 1].Width;
}

// Applies the prefix rules: "&x" underlines x, "&&" is one '&', a '&' at the end goes.
std::vector<TTextLayoutGlyph> ApplyPrefixes(const std::vector<TTextChar>& Chars, UINT Format)
{
  std::vector<TTextLayoutGlyph> out;
  out.reserve(Chars.size());
  const bool prefixes = (Format & DT_NOPREFIX) == 0;
  const bool underline = (Format & DT_HIDEPREFIX) == 0;
  for (std::size_t i = 0; i < Chars.size(); ++i) {
    TTextLayoutGlyph g;
    g.Code = Chars[i].Code;
    g.SrcBegin = Chars[i].SrcBegin;
    g.SrcEnd = Chars[i].SrcEnd;
    if (prefixes && g.Code == U'&') {
      if (i + 1 >= Chars.size()) break;
      const TTextChar& next = Chars[i + 1];
      if (next.Code == CR || next.Code == LF) continue; // the break keeps its meaning
      g.Code = next.Code;
      g.SrcEnd = next.SrcEnd;
      g.Underline = underline && next.Code != U'&';
      ++i;
    }
    out.push_back(g);
  }
  return out;
}

struct TParagraph {
  std::vector<TTextLayoutGlyph> Glyphs;
  std::uint32_t SrcPos = 0; // where the paragraph starts in the source
};

// Splits at CR, LF, CR LF and LF CR; a break at the very end leaves an empty last line.
std::vector<TParagraph> SplitParagraphs(std::vector<TTextLayoutGlyph>&& Glyphs)
{
  std::vector<TParagraph> out;
  if (Glyphs.empty()) return out;
  TParagraph current;
  for (std::size_t i = 0; i < Glyphs.size(); ++i) {
    char32_t c = Glyphs[i].Code;
    if (c == CR || c == LF) {
      std::uint32_t end = Glyphs[i].SrcEnd;
      if (i + 1 < Glyphs.size()) {
        char32_t n = Glyphs[i + 1].Code;
        if ((c == CR && n == LF) || (c == LF && n == CR)) end = Glyphs[++i].SrcEnd;
      }
      out.push_back(std::move(current));
      current = TParagraph{};
      current.SrcPos = end;
      continue;
    }
    current.Glyphs.push_back(Glyphs[i]);
  }
  out.push_back(std::move(current));
  return out;
}

TTextLayoutLine MakeLine(std::vector<TTextLayoutGlyph>&& Glyphs, std::uint32_t SrcPos)
{
  TTextLayoutLine line;
  line.Glyphs = std::move(Glyphs);
  if (line.Glyphs.empty()) {
    line.SrcBegin = line.SrcEnd = SrcPos;
  } else {
    line.SrcBegin = line.Glyphs.front().SrcBegin;
    line.SrcEnd = line.Glyphs.back().SrcEnd;
  }
  return line;
}

// Greedy word wrapping of one paragraph: a line breaks before a word that would cross the
// right edge, and the blanks at the break go. A word longer than a whole line stays whole
// (and overhangs), or with DT_EDITCONTROL is broken between characters. Positions are
// worked out only as far as the scan reaches, relative to each line's start (tab stops depend
// on it), so a long paragraph costs time in proportion to its length.
void WrapParagraph(const TLayoutContext& Ctx, TParagraph& Para, std::vector<TTextLayoutLine>& Lines)
{
  const bool breakWords = (Ctx.Format & DT_EDITCONTROL) != 0;
  std::vector<TTextLayoutGlyph>& g = Para.Glyphs;
  const std::size_t n = g.size();
  std::size_t start = 0;
  while (true) {
    const std::size_t m = n - start;
    std::size_t placed = 0;
    Int64 x = 0;
    // The width of the first K glyphs of the line.
    auto prefixEnd = [&](std::size_t K) -> Int64 {
      while (placed < K) {
        TTextLayoutGlyph& c = g[start + placed];
        int w;
        if (c.Code == Tab && Ctx.ExpandTabs)
          w = Ctx.TabWidth > 0 ? static_cast<int>((x / Ctx.TabWidth + 1) * Ctx.TabWidth - x) : 0;
        else
          w = CharAdvance(Ctx, c.Code);
        c.X = static_cast<int>(x);
        c.Width = w;
        x += w;
        ++placed;
      }
      return K == 0 ? 0 : static_cast<Int64>(g[start + K - 1].X) + g[start + K - 1].Width;
    };
    auto at = [&](std::size_t I) { return g[start + I].Code; };

    std::size_t lineEnd = m; // glyphs [0, lineEnd) of the rest make the line
    std::size_t next = m;    // where the next line starts
    bool hasWord = false;
    std::size_t i = 0;
    while (i < m) {
      std::size_t blankEnd = i;
      while (blankEnd < m && IsBlank(at(blankEnd))) ++blankEnd;
      std::size_t wordEnd = blankEnd;
      while (wordEnd < m && !IsBlank(at(wordEnd))) ++wordEnd;
      if (wordEnd == blankEnd) break; // blanks at the paragraph's end stay on the line
      if (prefixEnd(wordEnd) > Ctx.Avail) {
        if (hasWord) {
          lineEnd = i;
          next = blankEnd;
        } else if (breakWords) {
          std::size_t k = blankEnd; // as many characters as fit, at least one
          while (k < wordEnd && prefixEnd(k + 1) <= Ctx.Avail) ++k;
          if (k == blankEnd) ++k;
          lineEnd = next = k;
        } else {
          // An overlong word on a line of its own; the blanks after it go.
          std::size_t after = wordEnd;
          while (after < m && IsBlank(at(after))) ++after;
          lineEnd = wordEnd;
          next = after;
        }
        break;
      }
      hasWord = true;
      i = wordEnd;
    }
    prefixEnd(lineEnd);
    std::vector<TTextLayoutGlyph> lineGlyphs(g.begin() + static_cast<std::ptrdiff_t>(start),
                                             g.begin() + static_cast<std::ptrdiff_t>(start + lineEnd));
    TTextLayoutLine line = MakeLine(std::move(lineGlyphs), start < n ? g[start].SrcBegin : Para.SrcPos);
    line.Width = static_cast<int>(prefixEnd(lineEnd));
    Lines.push_back(std::move(line));
    if (next >= m) break;
    start += next;
  }
}

std::vector<TTextLayoutGlyph> Dots(std::uint32_t SrcPos)
{
  std::vector<TTextLayoutGlyph> dots(3);
  for (auto& d : dots) {
    d.Code = U'.';
    d.Inserted = true;
    d.SrcBegin = d.SrcEnd = SrcPos;
  }
  return dots;
}

// The first K glyphs that fit before an ellipsis within the room.
std::size_t FitBeforeEllipsis(const TLayoutContext& Ctx, const std::vector<TTextLayoutGlyph>& G, Int64 Room)
{
  Int64 limit = Room - 3 * static_cast<Int64>(Ctx.DotWidth);
  std::size_t k = 0;
  while (k < G.size() && PrefixEnd(G, k + 1) <= limit) ++k;
  return k;
}

std::vector<TTextLayoutGlyph> EndEllipsis(const TLayoutContext& Ctx, const std::vector<TTextLayoutGlyph>& G, Int64 Room)
{
  std::size_t k = FitBeforeEllipsis(Ctx, G, Room);
  std::vector<TTextLayoutGlyph> out(G.begin(), G.begin() + static_cast<std::ptrdiff_t>(k));
  auto dots = Dots(k < G.size() ? G[k].SrcBegin : (G.empty() ? 0 : G.back().SrcEnd));
  out.insert(out.end(), dots.begin(), dots.end());
  return out;
}

std::vector<TTextLayoutGlyph> WordEllipsis(const TLayoutContext& Ctx, const std::vector<TTextLayoutGlyph>& G, Int64 Room)
{
  Int64 limit = Room - 3 * static_cast<Int64>(Ctx.DotWidth);
  std::size_t best = 0;
  for (std::size_t k = 1; k < G.size(); ++k) {
    if (IsBlank(G[k].Code) && !IsBlank(G[k - 1].Code) && PrefixEnd(G, k) <= limit) best = k;
  }
  if (best == 0) return EndEllipsis(Ctx, G, Room);
  std::vector<TTextLayoutGlyph> out(G.begin(), G.begin() + static_cast<std::ptrdiff_t>(best));
  auto dots = Dots(G[best].SrcBegin);
  out.insert(out.end(), dots.begin(), dots.end());
  return out;
}

// Keeps the last path component (from the last '\' or '/') and shortens what is before it.
std::vector<TTextLayoutGlyph> PathEllipsis(const TLayoutContext& Ctx, const std::vector<TTextLayoutGlyph>& G, Int64 Room)
{
  std::size_t sep = G.size();
  for (std::size_t k = G.size(); k-- > 0;) {
    if (G[k].Code == U'\\' || G[k].Code == U'/') {
      sep = k;
      break;
    }
  }
  if (sep == G.size()) return EndEllipsis(Ctx, G, Room);
  std::vector<TTextLayoutGlyph> tail(G.begin() + static_cast<std::ptrdiff_t>(sep), G.end());
  Int64 tailWidth = PlaceGlyphs(Ctx, tail);
  std::size_t k = FitBeforeEllipsis(Ctx, G, Room - tailWidth);
  if (k > sep) k = sep;
  std::vector<TTextLayoutGlyph> out(G.begin(), G.begin() + static_cast<std::ptrdiff_t>(k));
  auto dots = Dots(G[k].SrcBegin);
  out.insert(out.end(), dots.begin(), dots.end());
  out.insert(out.end(), tail.begin(), tail.end());
  if (k == 0) {
    // Not even "...\name" fits: shorten the name too, keeping its start in view.
    PlaceGlyphs(Ctx, out);
    if (PrefixEnd(out, out.size()) > Room) {
      auto shortened = EndEllipsis(Ctx, out, Room);
      return shortened;
    }
  }
  return out;
}

void ApplyEllipsis(const TLayoutContext& Ctx, TTextLayoutLine& Line)
{
  if (Line.Width <= Ctx.Avail) return;
  std::vector<TTextLayoutGlyph> out;
  if (Ctx.Format & DT_PATH_ELLIPSIS)
    out = PathEllipsis(Ctx, Line.Glyphs, Ctx.Avail);
  else if (Ctx.Format & DT_END_ELLIPSIS)
    out = EndEllipsis(Ctx, Line.Glyphs, Ctx.Avail);
  else
    out = WordEllipsis(Ctx, Line.Glyphs, Ctx.Avail);
  Line.Width = PlaceGlyphs(Ctx, out);
  Line.Glyphs = std::move(out);
  Line.Ellipsized = true;
}

// The text of a line as shown: the source bytes of the kept characters, dots for the ellipsis.
String LineSource(const char* Text, const TTextLayoutLine& Line)
{
  String out;
  for (const auto& g : Line.Glyphs) {
    if (g.Inserted)
      out += '.';
    else
      out.append(Text + g.SrcBegin, g.SrcEnd - g.SrcBegin);
  }
  return out;
}

} // namespace

TTextLayout LayoutText(const char* Text, std::size_t Length, UINT Format, const RECT& Rect,
  const TTextLayoutFont& Font, const TTextLayoutOptions& Options)
{
  TTextLayout result;
  if (Text == nullptr) Length = 0;

  // Tab length: DrawTextEx's parameters, else the high byte with DT_TABSTOP (whose bits then
  // are no flags), else 8 average characters.
  int tabChars = 8;
  if (Options.HasParams) {
    if (Options.TabLength > 0) tabChars = Options.TabLength;
  } else if (Format & DT_TABSTOP) {
    int t = static_cast<int>((Format >> 8) & 0xFF);
    if (t > 0) tabChars = t;
    Format &= ~static_cast<UINT>(0xFF00);
  }
  const bool singleLine = (Format & DT_SINGLELINE) != 0;
  const bool calcRect = (Format & DT_CALCRECT) != 0;
  const int leftMargin = Options.HasParams ? Options.LeftMargin : 0;
  const int rightMargin = Options.HasParams ? Options.RightMargin : 0;

  TLayoutContext ctx{Font, Format, (Format & DT_EXPANDTABS) != 0, tabChars * std::max(0, Font.AveCharWidth),
    static_cast<Int64>(Rect.right) - Rect.left - leftMargin - rightMargin, 0};
  ctx.DotWidth = CharAdvance(ctx, U'.');

  std::vector<TTextChar> chars = TextCodec::Decode(Text, Length, Font.SingleByte);
  std::vector<TTextLayoutGlyph> glyphs = ApplyPrefixes(chars, Format);

  // Lines.
  if (singleLine) {
    if (!glyphs.empty()) {
      TTextLayoutLine line = MakeLine(std::move(glyphs), 0);
      line.Width = PlaceGlyphs(ctx, line.Glyphs);
      result.Lines.push_back(std::move(line));
    }
  } else {
    for (auto& para : SplitParagraphs(std::move(glyphs))) {
      if (Format & DT_WORDBREAK) {
        WrapParagraph(ctx, para, result.Lines);
      } else {
        TTextLayoutLine line = MakeLine(std::move(para.Glyphs), para.SrcPos);
        line.Width = PlaceGlyphs(ctx, line.Glyphs);
        result.Lines.push_back(std::move(line));
      }
    }
  }
  if (Format & (DT_END_ELLIPSIS | DT_PATH_ELLIPSIS | DT_WORD_ELLIPSIS)) {
    for (auto& line : result.Lines) ApplyEllipsis(ctx, line);
  }

  // Vertical placement.
  const int lineHeight = Font.Height + ((Format & DT_EXTERNALLEADING) ? Font.ExternalLeading : 0);
  result.LineHeight = lineHeight;
  const Int64 textHeight = static_cast<Int64>(lineHeight) * static_cast<Int64>(result.Lines.size());
  Int64 top = Rect.top;
  Int64 offset = 0;
  if (singleLine && !calcRect) {
    if (Format & DT_VCENTER)
      offset = (static_cast<Int64>(Rect.bottom) - Rect.top - textHeight) / 2;
    else if (Format & DT_BOTTOM)
      offset = static_cast<Int64>(Rect.bottom) - Rect.top - textHeight;
  }
  int maxWidth = 0;
  for (const auto& line : result.Lines) maxWidth = std::max(maxWidth, line.Width);

  const Int64 areaLeft = static_cast<Int64>(Rect.left) + leftMargin;
  const Int64 areaRight = static_cast<Int64>(Rect.right) - rightMargin;
  // DT_EDITCONTROL leaves out lines the rectangle would cut (the first line always shows);
  // with DT_END_ELLIPSIS the last line shown then ends in an ellipsis.
  if ((Format & DT_EDITCONTROL) && !calcRect && !singleLine && result.Lines.size() > 1) {
    std::size_t shown = 1;
    while (shown < result.Lines.size() && top + static_cast<Int64>(shown + 1) * lineHeight <= Rect.bottom) ++shown;
    for (std::size_t i = shown; i < result.Lines.size(); ++i) result.Lines[i].Visible = false;
    TTextLayoutLine& last = result.Lines[shown - 1];
    if ((Format & DT_END_ELLIPSIS) && shown < result.Lines.size() && !last.Ellipsized) {
      last.Glyphs = EndEllipsis(ctx, last.Glyphs, ctx.Avail);
      last.Width = PlaceGlyphs(ctx, last.Glyphs);
      last.Ellipsized = true;
    }
  }
  Int64 y = top + offset;
  for (auto& line : result.Lines) {
    Int64 x = areaLeft;
    if (Format & DT_CENTER)
      x = areaLeft + (areaRight - areaLeft - line.Width) / 2;
    else if (Format & DT_RIGHT)
      x = areaRight - line.Width;
    line.X = static_cast<int>(x);
    line.Y = static_cast<int>(y);
    y += lineHeight;
  }

  // Result value and measured rectangle.
  if (singleLine && (Format & (DT_VCENTER | DT_BOTTOM)) && !calcRect)
    result.Result = static_cast<int>(offset + textHeight);
  else
    result.Result = static_cast<int>(textHeight);
  result.CalcRect = Rect;
  if (calcRect) {
    result.CalcRect.right = static_cast<LONG>(static_cast<Int64>(Rect.left) + leftMargin + maxWidth + rightMargin);
    result.CalcRect.bottom = static_cast<LONG>(top + textHeight);
  }
  result.Clip = (Format & DT_NOCLIP) == 0;
  result.ClipRect = Rect;

  // How much of the text lies in the rectangle: up to the first line that starts below it.
  result.LengthDrawn = static_cast<UINT>(Length);
  if (!calcRect && !singleLine) {
    for (const auto& line : result.Lines) {
      if (line.Y >= Rect.bottom) {
        result.LengthDrawn = line.SrcBegin;
        break;
      }
    }
  }

  // The text as shown, for DT_MODIFYSTRING.
  if (Format & DT_MODIFYSTRING) {
    bool any = false;
    for (const auto& line : result.Lines) any = any || line.Ellipsized;
    if (any && Text != nullptr) {
      String out;
      std::uint32_t pos = 0;
      for (const auto& line : result.Lines) {
        if (!line.Ellipsized) continue;
        out.append(Text + pos, line.SrcBegin - pos);
        out += LineSource(Text, line);
        pos = line.SrcEnd;
      }
      out.append(Text + pos, Length - pos);
      result.Modified = true;
      result.ModifiedText = std::move(out);
    }
  }
  return result;
}
