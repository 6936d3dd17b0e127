// PaintEdit: paints a single-line edit's text itself, so that an edit can show its text in a
// chosen alignment and, when disabled, in a chosen colour on its own background (erased by
// the edit). The caller falls back to the edit window's own painting when it answers False.
#pragma once

#include <memory>

#include "platform/vcl/Controls.h"
#include "platform/vcl/EditCtrls.h"

// The extended style an edit gets for its alignment on a right-to-left system:
// [right-to-left][alignment].
extern const DWORD XcEditAlignmentExStyle[2][3];

// Paints Text into the editor for a WM_PAINT Message (its DC, or BeginPaint when it has none).
// PopupVisible (or taLeftJustify) starts the text at the editing rectangle's left; taRightJustify
// ends it at the right; taCenter centres it (a text wider than the rectangle starts left of it
// and is clipped). StandardPaint asks for the window's own painting: nothing is painted and the
// answer is False. Canvas is the caller's: made here when empty, kept for the next call.
bool PaintEdit(TCustomEdit* Editor, const String& Text, TAlignment Alignment, bool PopupVisible,
               TColor DisabledTextColor, bool StandardPaint, std::unique_ptr<TControlCanvas>& Canvas,
               TMessage& Message);
