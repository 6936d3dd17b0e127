// Logical fonts (HFONT) and the link from a device context's selected font to the face that
// draws it. CreateFontIndirectA and CreateFontA are declared in Gdi.h.
#pragma once

#include <memory>

#include "platform/gdi/FontFace.h"
#include "platform/gdi/Gdi.h"

class TDeviceContext;

// The font of DEFAULT_GUI_FONT: "MS Sans Serif" at height -11 (8 points at 96 dpi).
LOGFONTA DefaultGuiLogFont();
// The stock DEFAULT_GUI_FONT object (a font of DefaultGuiLogFont made once should the stock
// table have none); never deleted. Text functions use it for a DC with no font.
HFONT GetDefaultGuiFont();

// The face that draws a logical font; Upright ignores the escapement (layout and metrics).
std::shared_ptr<TFontFace> FontFaceFor(const LOGFONTA& Font, bool Upright = false);
// The logical font selected into DC (the default GUI font when none is).
LOGFONTA DcLogFont(TDeviceContext& DC);
// The face of the font selected into DC.
std::shared_ptr<TFontFace> DcFontFace(TDeviceContext& DC, bool Upright = false);
// The face name of a LOGFONT (lfFaceName need not be terminated).
String LogFontFaceName(const LOGFONTA& Font);
