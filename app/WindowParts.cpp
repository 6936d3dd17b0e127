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
    C->GetBrush()->SetColor(clGreen);
    const int L = 4;
    C->FillRect(Rect(0, 0, L, 2));
    C->FillRect(Rect(0, 0, 2, L));
    C->FillRect(Rect(Size - L, 0, Size, 2));
    C->FillRect(Rect(Size - 2, 0, Size, L));
    C->FillRect(Rect(0, Size - 2, L, Size));
    C->FillRect(Rect(0, Size - L, 2, Size));
    C->FillRect(Rect(Size - L, Size - 2, Size, Size));
    C->FillRect(Rect(Size - 2, Size - L, Size, Size));
  }
  return B;
}
