// Small helpers the program's windows share while they make their controls: a named control
// with its caption, parent and bounds, and the picture of a crop button.
#pragma once

#include "platform/vcl/Bitmap.h"
#include "platform/vcl/Forms.h"

// A control of class T owned by Owner, placed on Parent, named Name with the caption Caption.
template <class T>
T* MakePart(TForm* Owner, TWinControl* Parent, const char* Name, const char* Caption, int Left, int Top, int Width,
            int Height)
{
  auto* C = new T(Owner);
  C->SetName(Name);
  C->SetText(Caption);
  C->SetParent(Parent);
  C->SetBounds(Left, Top, Width, Height);
  return C;
}

// A Size x Size picture of a screen on the transparent fuchsia: with black bars at its top and
// bottom when Bars (the border detection), with marks at its corners pointing outwards when
// Fill (the picture filling the screen). The caller owns it.
TBitmap* CropGlyph(int Size, bool Bars, bool Fill);
