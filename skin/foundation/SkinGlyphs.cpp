#include "skin/foundation/SkinGlyphs.h"

#include <memory>

namespace {

int CenterX(const TRect& R) { return R.left + (R.right - R.left) / 2; }
int CenterY(const TRect& R) { return R.top + (R.bottom - R.top) / 2; }

// A pen line from (X1, Y1) towards (X2, Y2), the end point left out.
void Line(TCanvas* Canvas, int X1, int Y1, int X2, int Y2)
{
  Canvas->MoveTo(X1, Y1);
  Canvas->LineTo(X2, Y2);
}

// The pixels X1..X2 of row Y, both ends included.
void Row(TCanvas* Canvas, int X1, int X2, int Y) { Line(Canvas, X1, Y, X2 + 1, Y); }

// The pixels Y1..Y2 of column X, both ends included.
void Column(TCanvas* Canvas, int X, int Y1, int Y2) { Line(Canvas, X, Y1, X, Y2 + 1); }

void SetPenAndBrush(TCanvas* Canvas, TColor Color)
{
  Canvas->GetPen()->SetColor(Color);
  Canvas->GetBrush()->SetColor(Color);
  Canvas->GetBrush()->SetStyle(bsSolid);
}

void SetPenHollow(TCanvas* Canvas, TColor Color)
{
  Canvas->GetPen()->SetColor(Color);
  Canvas->GetBrush()->SetStyle(bsClear);
}

} // namespace

void DrawArrowGlyph(TCanvas* Canvas, const TRect& R, TColor Color, int Direction)
{
  Canvas->GetPen()->SetColor(Color);
  const int CX = CenterX(R);
  const int CY = CenterY(R);
  for (int i = 0; i <= 3; ++i) {
    switch (Direction) {
    case 1: Column(Canvas, CX - 2 + i, CY - i, CY + i); break;
    case 2: Column(Canvas, CX + 2 - i, CY - i, CY + i); break;
    case 3: Row(Canvas, CX - i, CX + i, CY - 2 + i); break;
    case 4: Row(Canvas, CX - i, CX + i, CY + 2 - i); break;
    default: return;
    }
  }
}

void DrawSmallDownArrow(TCanvas* Canvas, const TRect& R, TColor Color)
{
  Canvas->GetPen()->SetColor(Color);
  const int CX = CenterX(R);
  const int CY = CenterY(R);
  for (int n = 2; n >= 0; --n)
    Row(Canvas, CX - n, CX + n, CY + 2 - n);
}

void DrawRadioGlyph(TCanvas* Canvas, int X, int Y, TColor Color)
{
  SetPenAndBrush(Canvas, Color);
  Canvas->Rectangle(X, Y, X + 6, Y + 6);
}

void DrawCheckGlyph(TCanvas* Canvas, int X, int Y, TColor Color)
{
  Canvas->GetPen()->SetColor(Color);
  for (int i = 0; i <= 2; ++i) {
    Canvas->MoveTo(X, Y + 5 - i);
    Canvas->LineTo(X + 2, Y + 7 - i);
    Canvas->LineTo(X + 7, Y + 2 - i);
  }
}

void DrawCloseGlyph(TCanvas* Canvas, int X, int Y, TColor Color)
{
  Canvas->GetPen()->SetColor(Color);
  Line(Canvas, X + 1, Y + 1, X + 9, Y + 9);
  Line(Canvas, X + 9, Y + 1, X + 1, Y + 9);
  Line(Canvas, X + 2, Y + 1, X + 10, Y + 9);
  Line(Canvas, X + 8, Y + 1, X, Y + 9);
}

void DrawSysMenuGlyph(TCanvas* Canvas, int X, int Y, TColor Color)
{
  SetPenHollow(Canvas, Color);
  Canvas->Rectangle(X + 1, Y + 3, X + 9, Y + 6);
}

void DrawMinimizeGlyph(TCanvas* Canvas, int X, int Y, TColor Color)
{
  Canvas->GetPen()->SetColor(Color);
  Line(Canvas, X + 1, Y + 8, X + 9, Y + 8);
  Line(Canvas, X + 1, Y + 9, X + 9, Y + 9);
}

void DrawMaximizeGlyph(TCanvas* Canvas, int X, int Y, TColor Color)
{
  SetPenHollow(Canvas, Color);
  Canvas->Rectangle(X, Y, X + 11, Y + 10);
  Canvas->Rectangle(X, Y, X + 11, Y + 2);
}

void DrawRestoreGlyph(TCanvas* Canvas, int X, int Y, TColor Color)
{
  SetPenHollow(Canvas, Color);
  Canvas->Rectangle(X + 2, Y, X + 10, Y + 6);
  Canvas->Rectangle(X + 2, Y, X + 10, Y + 2);
  Canvas->Rectangle(X, Y + 4, X + 7, Y + 10);
  Canvas->Rectangle(X, Y + 4, X + 7, Y + 6);
}

void DrawRollDownGlyph(TCanvas* Canvas, int X, int Y, TColor Color)
{
  Canvas->GetPen()->SetColor(Color);
  for (int i = 0; i <= 4; ++i)
    Line(Canvas, X + 5 - i, Y + 6 - i, X + 5 + i, Y + 6 - i);
}

void DrawRollUpGlyph(TCanvas* Canvas, int X, int Y, TColor Color)
{
  Canvas->GetPen()->SetColor(Color);
  for (int i = 0; i <= 4; ++i)
    Line(Canvas, X + 5 - i, Y + 2 + i, X + 5 + i, Y + 2 + i);
}

void DrawMinimizeToTrayGlyph(TCanvas* Canvas, int X, int Y, TColor Color)
{
  SetPenAndBrush(Canvas, Color);
  Canvas->Rectangle(X + 2, Y + 2, X + 7, Y + 7);
}

void DrawGlyphStripFrame(TCanvas* Canvas, int X, int Y, TBitmap* Glyph, int Count, int Index)
{
  // A count below one or an index outside the strip would divide by zero or copy from outside
  // the bitmap; such a call draws nothing.
  if (!Glyph || Glyph->Empty() || Count < 1 || Index < 1 || Index > Count)
    return;
  const int FW = Glyph->GetWidth() / Count;
  const int FH = Glyph->GetHeight();
  if (FW <= 0)
    return;
  auto Frame = std::make_unique<TBitmap>();
  Frame->SetSize(FW, FH);
  Frame->GetCanvas()->CopyRect(TRect{0, 0, FW, FH}, Glyph->GetCanvas(),
                               TRect{FW * (Index - 1), 0, FW * Index, FH});
  Frame->SetTransparent(true);
  Canvas->Draw(X, Y, Frame.get());
}
