#include "skin/foundation/SkinEffects.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <functional>
#include <initializer_list>
#include <vector>

#include "platform/vcl/GraphicsObjects.h"

namespace {

// Radii beyond this are taken as this: the window sums stay within 64 bits and the work per
// line within reason. Far above anything a skin asks for.
constexpr int kMaxBlurRadius = 1 << 16;

// The triangular kernel over one line of N values read from In (step InStep), written to Out
// (step OutStep): Out[x] = (sum of (r + 1 - |k|) x In[x + k], k = -r .. r) div (r + 1)^2, the
// positions outside the line taking its first or last value.
//
// The kernel is two boxes of r + 1 in a row: S(y) = In[y] + ... + In[y - r] and
// T(x) = S(x) + ... + S(x + r). Both slide by one addition and one subtraction per step.
void TriangleLine(const Byte* In, int InStep, Byte* Out, int OutStep, int N, int r, std::vector<std::int64_t>& S)
{
  auto At = [&](std::int64_t i) -> std::int64_t {
    return In[static_cast<std::ptrdiff_t>(std::clamp<std::int64_t>(i, 0, N - 1)) * InStep];
  };
  const std::int64_t Divisor = static_cast<std::int64_t>(r + 1) * (r + 1);
  const size_t Count = static_cast<size_t>(N) + static_cast<size_t>(r);
  S.resize(Count);
  std::int64_t Sum = static_cast<std::int64_t>(r + 1) * At(0);
  S[0] = Sum;
  for (size_t y = 1; y < Count; ++y) {
    Sum += At(static_cast<std::int64_t>(y)) - At(static_cast<std::int64_t>(y) - 1 - r);
    S[y] = Sum;
  }
  std::int64_t T = 0;
  for (int a = 0; a <= r; ++a)
    T += S[static_cast<size_t>(a)];
  for (int x = 0; x < N; ++x) {
    Out[static_cast<std::ptrdiff_t>(x) * OutStep] = static_cast<Byte>(T / Divisor);
    if (x + 1 < N)
      T += S[static_cast<size_t>(x) + static_cast<size_t>(r) + 1] - S[static_cast<size_t>(x)];
  }
}

// A pixel value of the effect colour with the given alpha.
inline std::uint32_t ColorPixel(COLORREF C, Byte Alpha)
{
  return (static_cast<std::uint32_t>(Alpha) << 24) | (static_cast<std::uint32_t>(GetRValue(C)) << 16) |
         (static_cast<std::uint32_t>(GetGValue(C)) << 8) | GetBValue(C);
}

// Every pixel: alpha := its red byte, colour := Color.
void RedToAlpha(TskBitmap& T, TColor Color)
{
  const COLORREF C = ColorToRGB(Color);
  std::uint32_t* P = T.GetBits();
  const size_t Count = static_cast<size_t>(T.GetWidth()) * static_cast<size_t>(T.GetHeight());
  for (size_t i = 0; i < Count; ++i)
    P[i] = ColorPixel(C, static_cast<Byte>((P[i] >> 16) & 0xFF));
}

// The canvas of T set up for drawing the effect shape: Canvas's font in pure red, clear brush.
TCanvas* RedCanvas(TskBitmap& T, TCanvas* Canvas)
{
  TCanvas* C = T.GetCanvas();
  C->GetFont()->Assign(Canvas->GetFont());
  C->GetFont()->SetColor(static_cast<TColor>(255));
  C->GetBrush()->SetStyle(bsClear);
  return C;
}

// Draws the text into a rectangle of a canvas with DT_ flags; returns DrawText's value.
using TTextDrawer = std::function<int(TCanvas*, TRect&, UINT)>;

TTextDrawer AnsiDrawer(const AnsiString& Text)
{
  return [&Text](TCanvas* C, TRect& R, UINT Format) {
    return DrawTextA(C->GetHandle(), Text.data(), static_cast<int>(Text.size()), &R, Format);
  };
}

TTextDrawer WideDrawer(const WideString& Text)
{
  return [&Text](TCanvas* C, TRect& R, UINT Format) { return DrawWideText(C, Text, R, Format); };
}

// The text itself, last, over whatever effect lies under it.
int DrawFinalText(TCanvas* Canvas, const TRect& R, UINT Format, const TTextDrawer& Draw)
{
  Canvas->GetBrush()->SetStyle(bsClear);
  TRect Place = R;
  return Draw(Canvas, Place, Format);
}

// Shadow and glow: the red shape drawn at each of Shifts, blurred by Size, in Color under the
// text at Offset.
int DrawBlurredText(TCanvas* Canvas, const TRect& R, UINT Format, int Offset, TColor Color, int Size,
                    std::initializer_list<POINT> Shifts, const TTextDrawer& Draw)
{
  if (!Canvas)
    return 0;
  const int s = std::max(Size, 0);
  const int W = std::max(RectWidth(R), 0), H = std::max(RectHeight(R), 0);
  if (W + 2 * s > 0 && H + 2 * s > 0) {
    TskBitmap T;
    T.SetSize(W + 2 * s, H + 2 * s);
    TCanvas* C = RedCanvas(T, Canvas);
    const TRect Inner{s, s, T.GetWidth() - s, T.GetHeight() - s};
    for (POINT Shift : Shifts) {
      TRect Place = Inner;
      OffsetRect(&Place, Shift.x, Shift.y);
      Draw(C, Place, Format);
    }
    BlurBitmap(&T, s);
    RedToAlpha(T, Color);
    T.HasAlpha = true;
    T.DrawToCanvas(Canvas, R.left + Offset - s, R.top + Offset - s);
  }
  return DrawFinalText(Canvas, R, Format, Draw);
}

// The mirror image below the text; MinFactor is where the fading stops (0.05, or 0 for the wide
// variant).
int DrawMirroredText(TCanvas* Canvas, const TRect& R, UINT Format, int Offset, TColor Color, float MinFactor,
                     const TTextDrawer& Draw)
{
  if (!Canvas)
    return 0;
  const int W = RectWidth(R), H = RectHeight(R);
  if (W > 0 && H > 0) {
    TskBitmap T;
    T.SetSize(W, H);
    TCanvas* C = RedCanvas(T, Canvas);
    TRect Place{0, 0, W, H};
    Draw(C, Place, Format);
    TRect M{0, 0, W, H};
    Draw(C, M, Format | DT_CALCRECT);
    TRect MR = R;
    Draw(Canvas, MR, Format | DT_CALCRECT);
    const int TextHeight = M.bottom - M.top;
    if (TextHeight > 0) {
      const COLORREF Col = ColorToRGB(Color);
      for (int y = 0; y < H; ++y) {
        std::uint32_t* Row = T.ScanLine(y);
        if (y < M.top || y > M.bottom) {
          std::fill(Row, Row + W, 0u);
          continue;
        }
        float f = static_cast<float>(0.7 - static_cast<double>(M.bottom + M.top - y) / TextHeight);
        if (f < MinFactor)
          f = MinFactor;
        for (int x = 0; x < W; ++x) {
          const double Red = static_cast<double>((Row[x] >> 16) & 0xFF);
          Row[x] = ColorPixel(Col, static_cast<Byte>(std::trunc(Red * static_cast<double>(f))));
        }
      }
    }
    T.FlipVert();
    T.HasAlpha = true;
    T.DrawToCanvas(Canvas, R.left, MR.bottom + M.bottom + Offset - T.GetHeight());
  }
  return DrawFinalText(Canvas, R, Format, Draw);
}

} // namespace

void BlurBitmap(TskBitmap* Bitmap, int Radius)
{
  if (!Bitmap || Radius <= 0 || Bitmap->Empty() || !Bitmap->GetBits())
    return;
  const int r = std::min(Radius, kMaxBlurRadius);
  const int W = Bitmap->GetWidth(), H = Bitmap->GetHeight();
  const size_t Pixels = static_cast<size_t>(W) * static_cast<size_t>(H);
  std::vector<std::int64_t> S;
  // The rows first, into one plane per channel (blue, green, red) ...
  std::vector<Byte> Planes[3];
  for (auto& Plane : Planes)
    Plane.resize(Pixels);
  const auto* Bytes = reinterpret_cast<const Byte*>(Bitmap->GetBits());
  for (int y = 0; y < H; ++y)
    for (int ch = 0; ch < 3; ++ch)
      TriangleLine(Bytes + static_cast<size_t>(y) * W * 4 + ch, 4, Planes[ch].data() + static_cast<size_t>(y) * W, 1,
                   W, r, S);
  // ... then the columns of the planes, back into the pixels with alpha 255.
  std::vector<Byte> Column[3];
  for (auto& C : Column)
    C.resize(static_cast<size_t>(H));
  for (int x = 0; x < W; ++x) {
    for (int ch = 0; ch < 3; ++ch)
      TriangleLine(Planes[ch].data() + x, W, Column[ch].data(), 1, H, r, S);
    for (int y = 0; y < H; ++y)
      Bitmap->GetBits()[static_cast<size_t>(y) * W + x] =
          0xFF000000u | (static_cast<std::uint32_t>(Column[2][static_cast<size_t>(y)]) << 16) |
          (static_cast<std::uint32_t>(Column[1][static_cast<size_t>(y)]) << 8) | Column[0][static_cast<size_t>(y)];
  }
}

int DrawShadowText(TCanvas* Canvas, const TRect& R, const AnsiString& Text, UINT Format, int ShadowOffset,
                   TColor ShadowColor, int ShadowSize)
{
  return DrawBlurredText(Canvas, R, Format, ShadowOffset, ShadowColor, ShadowSize, {POINT{0, 0}}, AnsiDrawer(Text));
}

int DrawGlowText(TCanvas* Canvas, const TRect& R, const AnsiString& Text, UINT Format, int GlowOffset,
                 TColor GlowColor, int GlowSize)
{
  return DrawBlurredText(Canvas, R, Format, GlowOffset, GlowColor, GlowSize,
                         {POINT{0, 0}, POINT{-1, 0}, POINT{1, 0}, POINT{0, -1}, POINT{0, 1}}, AnsiDrawer(Text));
}

int DrawReflectionText(TCanvas* Canvas, const TRect& R, const AnsiString& Text, UINT Format, int ReflectionOffset,
                       TColor ReflectionColor)
{
  return DrawMirroredText(Canvas, R, Format, ReflectionOffset, ReflectionColor, 0.05f, AnsiDrawer(Text));
}

int DrawShadowTextW(TCanvas* Canvas, const TRect& R, const WideString& Text, UINT Format, int ShadowOffset,
                    TColor ShadowColor, int ShadowSize)
{
  return DrawBlurredText(Canvas, R, Format, ShadowOffset, ShadowColor, ShadowSize, {POINT{0, 0}}, WideDrawer(Text));
}

int DrawReflectionTextW(TCanvas* Canvas, const TRect& R, const WideString& Text, UINT Format, int ReflectionOffset,
                        TColor ReflectionColor)
{
  return DrawMirroredText(Canvas, R, Format, ReflectionOffset, ReflectionColor, 0.0f, WideDrawer(Text));
}

int DrawCaptionGlowTextW(TCanvas* Canvas, const TRect& R, const WideString& Text, UINT Format, TColor GlowColor)
{
  if (!Canvas)
    return 0;
  const TTextDrawer Draw = WideDrawer(Text);
  constexpr int m = 12;
  const int W = std::max(RectWidth(R), 0), H = std::max(RectHeight(R), 0);
  TskBitmap T;
  T.SetSize(W + 2 * m, H + 2 * m);
  TCanvas* C = RedCanvas(T, Canvas);
  const TRect Inner{m, m, T.GetWidth() - m, T.GetHeight() - m};
  // A backing bar under the text.
  C->GetBrush()->SetStyle(bsSolid);
  C->GetBrush()->SetColor(static_cast<TColor>(255));
  C->FillRect(TRect{Inner.left - 3, Inner.top + 2, Inner.right + 3, Inner.bottom - 2});
  C->GetBrush()->SetStyle(bsClear);
  for (POINT Shift : {POINT{-1, -1}, POINT{-2, -2}, POINT{-1, 0}, POINT{-2, 0}, POINT{1, 0}, POINT{2, 0}, POINT{1, 1},
                      POINT{2, 2}, POINT{0, 0}}) {
    TRect Place = Inner;
    OffsetRect(&Place, Shift.x, Shift.y);
    Draw(C, Place, Format);
  }
  BlurBitmap(&T, 6);
  BlurBitmap(&T, 6);
  RedToAlpha(T, GlowColor);
  T.HasAlpha = true;
  T.DrawToCanvas(Canvas, R.left - m, R.top - m);
  return DrawFinalText(Canvas, R, Format, Draw);
}
