// The class library's colour identifiers ("clRed", "clBtnFace" ...), as stored forms write
// colours that have a name.
#pragma once

#include "platform/vcl/GraphicsObjects.h"

// The colour of an identifier (compared without case, A-Z only); false for an unknown one.
bool IdentToColor(const String& Ident, TColor& Color);
// The identifier of a colour; false when the colour has none.
bool ColorToIdent(TColor Color, String& Ident);
