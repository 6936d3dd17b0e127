// The black-border measurements of a still frame of W x H pixels, read through a pixel reader
// that answers the frame's colour at (X, Y) and, for a read at column W or row H (just outside
// the picture), a value that matches only other outside reads (CLR_INVALID on a canvas).
// Colours are compared exactly; near-equal colours of the source count as equal only because
// the frame was reduced to the halftone palette before.
//
// A line (column or row) is uniform when enough of its reads, the one outside the picture
// included, match the colour of its pixel at index 1 (row 1 of a column, column 1 of a row);
// "enough" is Round(length / 100 * 97) with halves to even: the interactive measurement wants
// more than that, the batch measurement at least that. The batch measurement matches colours
// exactly. The interactive one, which walks in from the edge through the whole bar, lets a read
// differ by up to one step of the halftone palette (0x33) in each of red, green and blue: the
// noise and ringing that compression leaves in a bar quantise to the palette entries next to
// the bar's colour and would otherwise stop the walk short of the picture. The outside read
// matches only another outside read.
//
// MeasureBorders (the preview's measurement) walks in from each edge over at most half of the
// picture while the lines are uniform: Left and Top are the index of the innermost uniform line
// (0 when the first line is not uniform), Right and Bottom the distance W - r (H - b) of the
// innermost uniform line r (b) reached from the outside line W (H) inwards.
//
// MeasureBordersBatch (the batch measurement) walks outwards from a third of the picture over
// the non-uniform lines until the first uniform line; Left/Top are one more than the outermost
// non-uniform line, Right/Bottom W (H) minus one less than it; any result below 4 becomes 4.
#pragma once

#include <functional>

#include "platform/vcl/Canvas.h"

struct TBorders {
  int Left = 0;
  int Right = 0;
  int Top = 0;
  int Bottom = 0;
  bool operator==(const TBorders& O) const
  {
    return Left == O.Left && Right == O.Right && Top == O.Top && Bottom == O.Bottom;
  }
};

using TPixelReader = std::function<TColor(int X, int Y)>;

// The reads that a line of Length pixels needs to count as uniform: Round(Length / 100 * 97).
int UniformThreshold(int Length);

TBorders MeasureBorders(const TPixelReader& Pixel, int W, int H);
TBorders MeasureBordersBatch(const TPixelReader& Pixel, int W, int H);

// Marks the borders in red (255): rows Top and H - Bottom for x from 0 to W, columns Left and
// W - Right for y from 0 to H (writes outside the picture are dropped by the canvas).
void MarkBorders(TCanvas* Canvas, int W, int H, const TBorders& B);

// A reader over a canvas's pixels.
TPixelReader CanvasPixelReader(TCanvas* Canvas);
