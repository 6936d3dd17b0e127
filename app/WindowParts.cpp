#include "app/WindowParts.h"

TBitmap* CropGlyph(int Size, bool Bars, bool Fill)
{
  auto* B = new TBitmap();
  B->SetPixelFormat(pf24bit);
  B->SetSize(Size, Size);
  TCanvas* C = B->GetCanvas();
  C->GetBrush()->SetColor(clFuchsia);
  C->FillRect(Rect(0, 0, Size, Size));
  const int M = Size / 6;
  // The screen: a white face in a navy frame.
  C->GetBrush()->SetColor(clNavy);
  C->FillRect(Rect(M, M + 2, Size - M, Size - M - 2));
  C->GetBrush()->SetColor(clWhite);
  C->FillRect(Rect(M + 1, M + 3, Size - M - 1, Size - M - 3));
  if (Bars) {
    C->GetBrush()->SetColor(clBlack);
    C->FillRect(Rect(M + 1, M + 3, Size - M - 1, M + 6));
    C->FillRect(Rect(M + 1, Size - M - 6, Size - M - 1, Size - M - 3));
  }
  if (Fill) {
    // Corner marks one pixel in from the edges: the corner pixel stays the transparent colour.
    C->GetBrush()->SetColor(clGreen);
    const int L = 5, E = Size - 1;
    C->FillRect(Rect(1, 1, L, 3));
    C->FillRect(Rect(1, 1, 3, L));
    C->FillRect(Rect(E - L + 1, 1, E, 3));
    C->FillRect(Rect(E - 2, 1, E, L));
    C->FillRect(Rect(1, E - 2, L, E));
    C->FillRect(Rect(1, E - L + 1, 3, E));
    C->FillRect(Rect(E - L + 1, E - 2, E, E));
    C->FillRect(Rect(E - 2, E - L + 1, E, E));
  }
  return B;
}
