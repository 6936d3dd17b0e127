// The class library's button enumerations shared by every glyph button: where the glyph stands
// relative to the caption, and the frame style of a speed button.
#pragma once

enum TButtonLayout { blGlyphLeft = 0, blGlyphRight = 1, blGlyphTop = 2, blGlyphBottom = 3 };
// bsAutoDetect draws like bsNew.
enum TButtonStyle { bsAutoDetect, bsWin31, bsNew };
