// The resized-button drawing of the spin edit and the skinned edit: a button record of the skin
// (looked up by name) drawn into a target rectangle of any size in its normal, hot or pressed
// state, with an optional arrow glyph.
//
// Contract: a missing record draws a blank bitmap of the target size when BlankWhenMissing is set
// and nothing otherwise; the arrow (Direction as for DrawArrowGlyph, 0 for none) is drawn in the
// state's text colour, moved 2 pixels right and down while pressed.
#pragma once

#include "platform/vcl/Canvas.h"
#include "skin/foundation/SkinData.h"

void DrawResizedSkinButton(TskSkinData* SkinData, const String& RecordName, TCanvas* Canvas, const TRect& Target,
                           bool Pressed, bool Hot, int Direction, bool BlankWhenMissing);
