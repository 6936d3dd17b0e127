#include "platform/gdi/TextRender.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <numbers>

#include "platform/gdi/DeviceContext.h"

namespace TextRender {

namespace {

struct TDirection {
  double Dx = 1, Dy = 0;     // along the text
  double Ux = 0, Uy = 1;     // from the top of the cell towards its bottom
};

TDirection DirectionOf(const TFontFace& Face)
{
  TDirection d;
  LONG e = Face.Key().Escapement;
  if (e == 0) return d;
  // Exact values for the right angles, so that rotated cells stay on whole pixels.
  double c, s;
  switch (e) {
  case 900: c = 0; s = 1; break;
  case 1800: c = -1; s = 0; break;
  case 2700: c = 0; s = -1; break;
  default: {
    double a = e / 10.0 * std::numbers::pi / 180.0;
    c = std::cos(a);
    s = std::sin(a);
  }
  }
  d.Dx = c;
  d.Dy = -s;
  d.Ux = s;
  d.Uy = c;
  return d;
}

int Round(double V) { return static_cast<int>(std::lround(V)); }

RECT DeviceRect(TDeviceContext& DC, const RECT& Logical) { return DC.LPtoDevice(Logical); }

} // namespace

std::vector<TRunChar> MeasureRun(TDeviceContext& DC, TFontFace& Face, const char* Text, std::size_t Length,
                                 const INT* Dx)
{
  std::vector<TTextChar> chars = TextCodec::Decode(Text, Length, Face.Key().Symbol);
  std::vector<TRunChar> run;
  run.reserve(chars.size());
  for (const auto& c : chars) {
    TRunChar r;
    r.Code = c.Code;
    if (Dx != nullptr) {
      for (std::uint32_t b = c.SrcBegin; b < c.SrcEnd; ++b) r.Advance += Dx[b];
    } else {
      r.Advance = Face.Advance(c.Code) + DC.TextCharacterExtra;
    }
    run.push_back(r);
  }
  return run;
}

int RunWidth(const std::vector<TRunChar>& Run)
{
  long long w = 0;
  for (const auto& r : Run) w += r.Advance;
  return static_cast<int>(std::clamp<long long>(w, -0x3FFFFFFF, 0x3FFFFFFF));
}

void ExpandTabStops(std::vector<TRunChar>& Run, int X, int StopCount, const INT* Stops, int Origin, int AveCharWidth)
{
  std::vector<long long> stops;
  long long interval = 8LL * std::max(1, AveCharWidth);
  if (Stops != nullptr && StopCount == 1 && Stops[0] != 0) {
    interval = std::llabs(Stops[0]);
  } else if (Stops != nullptr && StopCount > 1) {
    for (int i = 0; i < StopCount; ++i) stops.push_back(std::llabs(Stops[i]));
    std::sort(stops.begin(), stops.end());
    stops.erase(std::unique(stops.begin(), stops.end()), stops.end());
    if (stops.size() >= 2) interval = stops.back() - stops[stops.size() - 2];
    if (interval <= 0) interval = 8LL * std::max(1, AveCharWidth);
  }
  long long x = X;
  for (auto& r : Run) {
    if (r.Code == U'\t') {
      long long rel = x - Origin;
      long long next = -1;
      for (long long s : stops)
        if (s > rel) {
          next = s;
          break;
        }
      if (next < 0) {
        long long from = stops.empty() ? 0 : stops.back();
        next = rel < from ? from : from + ((rel - from) / interval + 1) * interval;
      }
      r.Advance = static_cast<int>(next - rel);
    }
    x += r.Advance;
  }
}

void DrawRun(TDeviceContext& DC, TFontFace& Face, int X, int Y, UINT Align, UINT Options, const RECT* Rect,
             const std::vector<TRunChar>& Run, bool Underline, bool StrikeOut)
{
  const TFontMetrics& m = Face.Metrics();
  const int width = RunWidth(Run);
  const TDirection dir = DirectionOf(Face);

  int along = 0;
  if ((Align & TA_CENTER) == TA_CENTER)
    along = -width / 2;
  else if (Align & TA_RIGHT)
    along = -width;
  int down = m.Ascent;
  if ((Align & TA_BASELINE) == TA_BASELINE)
    down = 0;
  else if (Align & TA_BOTTOM)
    down = -m.Descent;
  // Start of the baseline, logical.
  const double ox = X + along * dir.Dx + down * dir.Ux;
  const double oy = Y + along * dir.Dy + down * dir.Uy;

  RECT clip{};
  const RECT* extraClip = nullptr;
  if (Rect != nullptr && (Options & ETO_CLIPPED)) {
    clip = DeviceRect(DC, *Rect);
    extraClip = &clip;
  }
  if (Rect != nullptr && (Options & ETO_OPAQUE)) DC.FillDeviceRect(DeviceRect(DC, *Rect), DC.BkColor);

  // The text cell in the background colour (right-angle directions only; they stay rectangles).
  if (DC.BkMode == OPAQUE && width > 0 && Face.Key().Escapement % 900 == 0) {
    double xs[4], ys[4];
    int k = 0;
    for (int a : {0, width})
      for (int b : {-m.Ascent, m.Descent}) {
        xs[k] = ox + a * dir.Dx + b * dir.Ux;
        ys[k] = oy + a * dir.Dy + b * dir.Uy;
        ++k;
      }
    RECT cell{Round(*std::min_element(xs, xs + 4)), Round(*std::min_element(ys, ys + 4)),
              Round(*std::max_element(xs, xs + 4)), Round(*std::max_element(ys, ys + 4))};
    DC.FillDeviceRect(DeviceRect(DC, cell), DC.BkColor, extraClip);
  }

  const POINT base = DC.LPtoDevice(POINT{0, 0});
  long long pen = 0;
  for (const auto& r : Run) {
    if (r.Code >= 0x20) {
      const TGlyph& g = Face.Glyph(r.Code);
      if (g.Width > 0 && g.Height > 0) {
        int px = Round(ox + static_cast<double>(pen) * dir.Dx);
        int py = Round(oy + static_cast<double>(pen) * dir.Dy);
        DC.BlendMask(base.x + px + g.Left, base.y + py - g.Top, g.Coverage.data(), g.Width, g.Height, g.Width,
                     DC.TextColor, extraClip);
      }
    }
    pen += r.Advance;
  }

  if ((Underline || StrikeOut) && Face.Key().Escapement == 0 && width > 0) {
    const int left = Round(ox);
    const int baseline = Round(oy);
    if (Underline) {
      RECT line{left, baseline + m.UnderlineOffset, left + width, baseline + m.UnderlineOffset + m.UnderlineThickness};
      DC.FillDeviceRect(DeviceRect(DC, line), DC.TextColor, extraClip);
    }
    if (StrikeOut) {
      RECT line{left, baseline - m.StrikeoutOffset, left + width, baseline - m.StrikeoutOffset + m.StrikeoutThickness};
      DC.FillDeviceRect(DeviceRect(DC, line), DC.TextColor, extraClip);
    }
  }
}

void DrawUnderlineMark(TDeviceContext& DC, TFontFace& Face, int Left, int Top, int Width, const RECT* ClipLogical)
{
  if (Width <= 0) return;
  const TFontMetrics& m = Face.Metrics();
  const int y = Top + m.Ascent + m.UnderlineOffset;
  RECT line{Left, y, Left + Width, y + m.UnderlineThickness};
  RECT clip{};
  if (ClipLogical != nullptr) clip = DeviceRect(DC, *ClipLogical);
  DC.FillDeviceRect(DeviceRect(DC, line), DC.TextColor, ClipLogical != nullptr ? &clip : nullptr);
}

} // namespace TextRender
