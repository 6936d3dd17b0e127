// Putting measured characters on a device context: the glyph blending, the background cell,
// underline and strike-out that TextOut, ExtTextOut, TabbedTextOut and DrawText share.
// Callers hold FontEngineLock().
#pragma once

#include <vector>

#include "platform/gdi/FontFace.h"
#include "platform/gdi/Gdi.h"
#include "platform/gdi/TextCodec.h"

class TDeviceContext;

namespace TextRender {

// One character of a run and the room it takes. Characters below U+0020 take their room
// but draw nothing.
struct TRunChar {
  char32_t Code = 0;
  int Advance = 0;
};

// The characters of Text[0..Length) for the DC's font, with their advances (plus the DC's
// character extra). Dx, when given, holds one advance per byte; a character takes the sum of
// the advances of its bytes.
std::vector<TRunChar> MeasureRun(TDeviceContext& DC, TFontFace& Face, const char* Text, std::size_t Length,
                                 const INT* Dx = nullptr);
int RunWidth(const std::vector<TRunChar>& Run);

// Gives every tab of Run the advance to the next tab stop, the run starting at logical X.
// Stops as TabbedTextOut takes them: none (every 8 average character widths), one (every
// |Stops[0]| pixels) or a list of positions (|Stops[i]|) from Origin; past the last listed stop
// the stops repeat at the last interval.
void ExpandTabStops(std::vector<TRunChar>& Run, int X, int StopCount, const INT* Stops, int Origin, int AveCharWidth);

// Draws Run with its reference point at logical (X, Y) placed by Align (TA_LEFT/CENTER/RIGHT,
// TA_TOP/BOTTOM/BASELINE; TA_UPDATECP is the caller's business). Options: ETO_OPAQUE fills Rect
// with the background colour, ETO_CLIPPED clips to Rect. In OPAQUE background mode the text
// cell is filled too. Face may be rotated (escapement); it is then drawn along its direction.
void DrawRun(TDeviceContext& DC, TFontFace& Face, int X, int Y, UINT Align, UINT Options, const RECT* Rect,
             const std::vector<TRunChar>& Run, bool Underline, bool StrikeOut);

// A horizontal bar below the baseline of a run drawn at (X, Y) with TA_LEFT | TA_TOP, under
// the span [Left, Left + Width) (logical), in the text colour: the prefix underline of DrawText.
void DrawUnderlineMark(TDeviceContext& DC, TFontFace& Face, int Left, int Top, int Width, const RECT* ClipLogical);

} // namespace TextRender
