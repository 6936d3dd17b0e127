// The resized-button drawing: one button record of the skin ("resizebutton", "editbutton",
// "combobutton", "resizetoolbutton" ...) drawn into a rectangle of any size in its normal, hot
// or pressed state, optionally with an arrow glyph in the state's text colour. The up-down, the
// spin edit, the skinned edit and the combo box draw their buttons with it.
//
// Callers rely on:
// - The record is looked up by name at every call; a missing record (no skin data, an empty
//   skin, no such name, or a record that is not a button record) draws nothing and answers
//   false, so that the caller chooses its own fallback (DrawBlankResizedButton for the up-down and
//   the spin edit, nothing for the edit and the combo box).
// - The picture of the state (pressed: "downskinrect", else "activeskinrect", else "skinrect";
//   hot: "activeskinrect", else "skinrect"; normal: "skinrect") is laid as a nine-slice image by
//   the record's corner points, client rectangle and stretch settings, grown to the target.
// - An empty target (no width or no height) draws nothing.
#pragma once

#include "platform/vcl/Canvas.h"
#include "skin/foundation/SkinData.h"

enum class TskResizedButtonState { Normal, Hot, Pressed };

// The arrow of DrawArrowGlyph: 0 none, 1 left, 2 right, 3 up, 4 down. TextColor, when given,
// receives the state's text colour ("downfontcolor", "activefontcolor", "fontcolor") for a
// glyph of the caller's own.
bool DrawResizedButton(TskSkinData* SkinData, const String& RecordName, TCanvas* Canvas, const TRect& Target,
                       TskResizedButtonState State, int ArrowDirection = 0, TColor* TextColor = nullptr);

// The up-down's and the spin edit's fallback for a missing record: a blank (white) rectangle.
void DrawBlankResizedButton(TCanvas* Canvas, const TRect& Target);
