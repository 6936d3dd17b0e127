#include "platform/gdi/GlyphMarlett.h"

#include <algorithm>
#include <cmath>

namespace GlyphMarlett {

namespace {

struct TCanvas {
  explicit TCanvas(int Em) : Size(Em), Cov(static_cast<std::size_t>(Em) * static_cast<std::size_t>(Em), 0) {}
  void Set(int X, int Y)
  {
    if (X >= 0 && Y >= 0 && X < Size && Y < Size) Cov[static_cast<std::size_t>(Y) * Size + X] = 255;
  }
  void Fill(int L, int T, int R, int B)
  {
    for (int y = T; y < B; ++y)
      for (int x = L; x < R; ++x) Set(x, y);
  }
  int Size;
  std::vector<std::uint8_t> Cov;
};

// A solid triangle pointing in a direction (0 left, 1 right, 2 up, 3 down), centred.
void Arrow(TCanvas& C, int Direction)
{
  const int s = C.Size;
  const int h = std::max(1, s / 4);     // height of the triangle
  const int cx = s / 2, cy = s / 2;
  for (int i = 0; i < h; ++i) {
    // Row i from the tip: half width i.
    for (int j = -i; j <= i; ++j) {
      int along = i - h / 2;
      switch (Direction) {
      case 0: C.Set(cx + along, cy + j); break;
      case 1: C.Set(cx - along, cy + j); break;
      case 2: C.Set(cx + j, cy + along); break;
      default: C.Set(cx + j, cy - along); break;
      }
    }
  }
}

// A window outline: a box of side B at (L, T) with a thicker top edge.
void Box(TCanvas& C, int L, int T, int B, int Stroke)
{
  C.Fill(L, T, L + B, T + 2 * Stroke);
  C.Fill(L, T, L + Stroke, T + B);
  C.Fill(L + B - Stroke, T, L + B, T + B);
  C.Fill(L, T + B - Stroke, L + B, T + B);
}

} // namespace

bool IsMarlett(const String& Family)
{
  if (Family.size() != 7) return false;
  const char* name = "marlett";
  for (std::size_t i = 0; i < 7; ++i) {
    char c = Family[i];
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    if (c != name[i]) return false;
  }
  return true;
}

TGlyph Render(char32_t Code, int Em)
{
  TGlyph g;
  const int s = std::max(1, Em);
  g.Advance = s;
  TCanvas c(s);
  const int m = std::max(1, s / 8);        // margin
  const int t = std::max(1, s / 12);       // stroke
  bool drawn = true;
  switch (Code) {
  case U'o': // size grip, light part
  case U'p': // size grip, dark part
  case U'y': { // both
    for (int y = 0; y < s; ++y)
      for (int x = 0; x < s; ++x) {
        int d = (s - 1 - x) + (s - 1 - y); // distance from the bottom-right corner along the diagonal
        if (d < 1 || d > 11) continue;
        bool light = d % 4 == 3;
        bool dark = d % 4 == 1 || d % 4 == 2;
        if ((Code != U'p' && light) || (Code != U'o' && dark)) c.Set(x, y);
      }
    break;
  }
  case U'3': Arrow(c, 0); break;
  case U'4': Arrow(c, 1); break;
  case U'5': Arrow(c, 2); break;
  case U'6': Arrow(c, 3); break;
  case U'r': // close cross
    for (int i = m; i < s - m; ++i)
      for (int k = 0; k < t + 1; ++k) {
        c.Set(i + k, i);
        c.Set(s - 1 - i - k, i);
      }
    break;
  case U'0': c.Fill(m, s - m - 2 * t, s - 2 * m, s - m); break; // minimise bar
  case U'1': Box(c, m, m, s - 2 * m, t); break; // maximise box
  case U'2': { // restore: a box behind another
    const int b = std::max(2 * t + 1, (s - 2 * m) * 2 / 3);
    Box(c, s - m - b, m, b, t);
    c.Fill(m, s - m - b, m + b, s - m); // the front box hides what lies behind it
    for (int y = s - m - b + 2 * t; y < s - m - t; ++y)
      for (int x = m + t; x < m + b - t; ++x) c.Cov[static_cast<std::size_t>(y) * s + x] = 0;
    break;
  }
  case U'a': { // check mark
    const int x0 = m, y0 = s / 2, x1 = s * 2 / 5, y1 = s - m - 1, x2 = s - m - 1, y2 = m + 1;
    for (int x = x0; x <= x1; ++x)
      for (int k = 0; k <= t; ++k) c.Set(x, y0 + (x - x0) * (y1 - y0) / std::max(1, x1 - x0) - k);
    for (int x = x1; x <= x2; ++x)
      for (int k = 0; k <= t; ++k) c.Set(x, y1 + (x - x1) * (y2 - y1) / std::max(1, x2 - x1) - k);
    break;
  }
  case U'h': { // bullet
    const double r = s / 6.0, cx = (s - 1) / 2.0;
    for (int y = 0; y < s; ++y)
      for (int x = 0; x < s; ++x)
        if ((x - cx) * (x - cx) + (y - cx) * (y - cx) <= r * r) c.Set(x, y);
    break;
  }
  default: drawn = false; break;
  }
  if (!drawn) return g;
  g.Width = s;
  g.Height = s;
  g.Left = 0;
  g.Top = s;
  g.Coverage = std::move(c.Cov);
  return g;
}

} // namespace GlyphMarlett
