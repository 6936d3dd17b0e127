// Painting spans and pixels with brushes and pens under the DC's clip and mix mode.
#include <algorithm>

#include "platform/gdi/DeviceContext.h"
#include "platform/gdi/GdiBrush.h"
#include "platform/gdi/GdiInternal.h"
#include "platform/gdi/GdiPen.h"

namespace GdiInternal {

TPatternSource::TPatternSource(TDeviceContext& DC, TGdiBrush* Brush)
{
  if (!Brush || Brush->Style == BS_NULL)
    return;
  Null = false;
  const TSurface& S = DC.Surface();
  if (Brush->DcColor) {
    SolidRaw = S.ColorToRaw(DC.DCBrushColor);
    return;
  }
  if (Brush->Style == BS_SOLID) {
    SolidRaw = S.ColorToRaw(Brush->Color);
    return;
  }
  OrgX = DC.BrushOrg.x + DC.Origin.x;
  OrgY = DC.BrushOrg.y + DC.Origin.y;
  if (Brush->Style == BS_HATCHED) {
    Solid = false;
    W = H = 8;
    Raw.resize(64);
    Drawn.resize(64);
    std::uint32_t Fore = S.ColorToRaw(Brush->Color), Back = S.ColorToRaw(DC.BkColor);
    for (int Y = 0; Y < 8; ++Y) {
      std::uint8_t Row = HatchRow(Brush->Hatch, Y);
      for (int X = 0; X < 8; ++X) {
        bool On = (Row >> (7 - X)) & 1;
        Raw[Y * 8 + X] = On ? Fore : Back;
        Drawn[Y * 8 + X] = On || DC.BkMode == OPAQUE;
      }
    }
    return;
  }
  if (Brush->Style == BS_PATTERN && Brush->Pattern) {
    const TSurface& P = Brush->Pattern->Surface;
    Solid = false;
    W = P.Width;
    H = P.Height;
    Raw.resize(static_cast<std::size_t>(W) * H);
    Drawn.assign(Raw.size(), 1);
    bool MonoDdb = P.BitsPerPixel == 1 && !Brush->Pattern->DibSection;
    std::uint32_t Fore = S.ColorToRaw(DC.TextColor), Back = S.ColorToRaw(DC.BkColor);
    for (int Y = 0; Y < H; ++Y)
      for (int X = 0; X < W; ++X) {
        std::uint32_t V = P.GetRaw(X, Y);
        std::uint32_t Out;
        if (MonoDdb)
          Out = V ? Back : Fore;
        else if (P.IsIndexed() && S.IsIndexed() && P.BitsPerPixel == S.BitsPerPixel && P.ColorCount == S.ColorCount &&
                 std::equal(P.Colors, P.Colors + P.ColorCount, S.Colors, [](const RGBQUAD& A, const RGBQUAD& B) {
                   return A.rgbRed == B.rgbRed && A.rgbGreen == B.rgbGreen && A.rgbBlue == B.rgbBlue;
                 }))
          Out = V;
        else
          Out = S.ColorToRaw(P.RawToColor(V));
        Raw[static_cast<std::size_t>(Y) * W + X] = Out;
      }
    return;
  }
  // Brush styles we do not draw paint nothing.
  Null = true;
}

namespace {

void PaintWith(TDeviceContext& DC, const std::vector<TSpan>& Spans, const TPatternSource& Pattern, bool UseRop2)
{
  if (Pattern.Null || Spans.empty())
    return;
  const TSurface& S = DC.Surface();
  const TRegion& Clip = DC.EffectiveClip();
  int Mode = UseRop2 ? DC.Rop2 : R2_COPYPEN;
  std::uint32_t Mask = S.RawMask();
  if (S.BitsPerPixel == 32)
    Mask = 0x00FFFFFF; // drawn pixels get alpha 0
  for (const TSpan& Span : Spans) {
    if (Span.X1 <= Span.X0)
      continue;
    for (const RECT& C : Clip.Rects()) {
      if (Span.Y < C.top || Span.Y >= C.bottom)
        continue;
      int X0 = std::max<int>(Span.X0, C.left), X1 = std::min<int>(Span.X1, C.right);
      if (X0 >= X1)
        continue;
      if (Pattern.Solid && Mode == R2_COPYPEN && S.BitsPerPixel == 32) {
        FillRow32(reinterpret_cast<std::uint32_t*>(S.Row(Span.Y)) + X0, X1 - X0, Pattern.SolidRaw & Mask);
        continue;
      }
      for (int X = X0; X < X1; ++X) {
        std::uint32_t P;
        if (!Pattern.At(X, Span.Y, P))
          continue;
        std::uint32_t D = S.GetRaw(X, Span.Y);
        S.SetRaw(X, Span.Y, Rop2(Mode, P, D) & Mask);
      }
    }
  }
}

} // namespace

void PaintSpans(TDeviceContext& DC, const std::vector<TSpan>& Spans, TGdiBrush* Brush, bool UseRop2)
{
  TPatternSource Pattern(DC, Brush ? Brush : DC.BrushObject());
  PaintWith(DC, Spans, Pattern, UseRop2);
}

void PaintSpansColor(TDeviceContext& DC, const std::vector<TSpan>& Spans, COLORREF Color, bool UseRop2)
{
  TPatternSource Pattern(DC, nullptr);
  Pattern.Null = false;
  Pattern.SolidRaw = DC.Surface().ColorToRaw(Color & 0x00FFFFFF);
  PaintWith(DC, Spans, Pattern, UseRop2);
}

TPixelPainter::TPixelPainter(TDeviceContext& DC, COLORREF Color, int Rop2Mode)
    : FSurface(DC.Surface()), FClip(DC.EffectiveClip()), FRop2(Rop2Mode)
{
  FBox = FClip.Box();
  FSimple = FClip.Rects().size() <= 1;
  FRaw = FSurface.ColorToRaw(Color & 0x00FFFFFF);
  FMask = FSurface.BitsPerPixel == 32 ? 0x00FFFFFFu : FSurface.RawMask();
}

bool TPixelPainter::Visible(int X, int Y) const
{
  if (X < FBox.left || X >= FBox.right || Y < FBox.top || Y >= FBox.bottom)
    return false;
  return FSimple || FClip.Contains(X, Y);
}

void TPixelPainter::PlotRaw(int X, int Y, std::uint32_t Raw)
{
  if (!Visible(X, Y))
    return;
  std::uint32_t D = FSurface.GetRaw(X, Y);
  FSurface.SetRaw(X, Y, Rop2(FRop2, Raw, D) & FMask);
}

COLORREF PenColor(TDeviceContext& DC)
{
  TGdiPen* P = DC.PenObject();
  return P->DcColor ? DC.DCPenColor : P->Color;
}

} // namespace GdiInternal
