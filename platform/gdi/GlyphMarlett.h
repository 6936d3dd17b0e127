// The symbols of the "Marlett" face, drawn by program where that font is not installed. Code
// that sets "Marlett" writes letters that stand for window and control symbols ("o" and "p" the
// two colours of a size grip, "r" a close cross, "3"-"6" arrows); drawing the letters of another
// face would put text where a symbol belongs.
#pragma once

#include "platform/gdi/FontFace.h"

namespace GlyphMarlett {

// True for the family names drawn this way.
bool IsMarlett(const String& Family);

// The symbol for C in an Em x Em cell whose top is the cell top (the glyph's Top is Em); an
// empty glyph for characters without a symbol. The advance is Em for every character.
TGlyph Render(char32_t C, int Em);

} // namespace GlyphMarlett
