// Default symbols drawn with pen lines and rectangles when a skin has no picture for them:
// arrows, the radio dot and check mark, the caption-button symbols and one frame of a glyph
// strip. Every routine sets the pen colour (and where noted the brush) and leaves it so.
#pragma once

#include "platform/vcl/Bitmap.h"
#include "platform/vcl/Canvas.h"
#include "platform/vcl/Classes.h"
#include "platform/vcl/GraphicsObjects.h"

// A solid four-line triangle centred in R. Direction 1 left, 2 right, 3 up, 4 down; any other
// value draws nothing (the pen colour is set all the same).
void DrawArrowGlyph(TCanvas* Canvas, const TRect& R, TColor Color, int Direction);
// A solid three-row downward triangle centred in R (rows of 5, 3 and 1 pixels).
void DrawSmallDownArrow(TCanvas* Canvas, const TRect& R, TColor Color);
// A filled 6 x 6 square at (X, Y) (pen and brush in Color).
void DrawRadioGlyph(TCanvas* Canvas, int X, int Y, TColor Color);
// A check mark three pixels thick with its top-left corner near (X, Y).
void DrawCheckGlyph(TCanvas* Canvas, int X, int Y, TColor Color);

// Caption-button symbols; (X, Y) is the symbol's top-left corner (about 11 x 10 pixels).
void DrawCloseGlyph(TCanvas* Canvas, int X, int Y, TColor Color);
void DrawSysMenuGlyph(TCanvas* Canvas, int X, int Y, TColor Color);
void DrawMinimizeGlyph(TCanvas* Canvas, int X, int Y, TColor Color);
void DrawMaximizeGlyph(TCanvas* Canvas, int X, int Y, TColor Color);
void DrawRestoreGlyph(TCanvas* Canvas, int X, int Y, TColor Color);
void DrawRollDownGlyph(TCanvas* Canvas, int X, int Y, TColor Color);
void DrawRollUpGlyph(TCanvas* Canvas, int X, int Y, TColor Color);
void DrawMinimizeToTrayGlyph(TCanvas* Canvas, int X, int Y, TColor Color);

// Draws frame Index (counted from 1) of a strip of Count equal frames at (X, Y), transparently
// (the frame's bottom-left pixel is the transparent colour). Nothing for an empty Glyph, or for a
// Count or Index outside the strip.
void DrawGlyphStripFrame(TCanvas* Canvas, int X, int Y, TBitmap* Glyph, int Count, int Index);
