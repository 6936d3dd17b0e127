// What the tree view and list view window classes (and the rich edit's wheel) share.
//
// The in-place label editor: an "EDIT" child of the view lying over an item's label and
// growing with its text. Enter ends the edit and keeps the text, Escape ends it and drops the
// text, losing the focus ends it and keeps the text; the view hears of each through the end
// function it gives and does the notifying itself.
//
// The wheel step: how many lines a turn of the mouse wheel scrolls, following the system's
// lines-per-notch setting and keeping the remainder of small turns for the next one.
#pragma once

#include "platform/rtl/Rtl.h"
#include "platform/win/WinUser.h"

// Called when the user ends the edit (Cancel for Escape); the view then ends it for good.
using TLabelEditEnd = void (*)(HWND View, bool Cancel);

// Makes the (hidden) editor over Label (client coordinates of View), holding Text in Font with
// the whole text selected. Null when the edit window class cannot be had.
HWND CreateLabelEdit(HWND View, const String& Text, HFONT Font, const RECT& Label, TLabelEditEnd OnEnd);
// Shows the editor and gives it the focus.
void ShowLabelEdit(HWND Edit);
// Fits the editor to its text: as wide as Label at least, wider as the text grows, never past
// the view's right edge (unless the label itself reaches past it).
void FitLabelEdit(HWND Edit, const RECT& Label);
String LabelEditText(HWND Edit);
// Forgets the end function and destroys the editor; the view gets the focus back when the
// editor had it.
void DestroyLabelEdit(HWND Edit);

// The lines to scroll for a wheel turn of Delta (WHEEL_DELTA per notch; positive = towards the
// top). Accumulator keeps what small turns left over (reset when the direction changes);
// PageLines stands for a page when the system setting asks for page scrolling.
int WheelScrollLines(int& Accumulator, int Delta, int PageLines);

// The thumb position a WM_VSCROLL / WM_HSCROLL with SB_THUMBPOSITION or SB_THUMBTRACK asks for.
// The message carries only 16 bits; a sender that needs more first stores the whole position
// in the view's own scroll information (SetScrollInfo, SIF_POS) and sends its low 16 bits:
// when the stored position is beyond 16 bits and agrees in those bits, it is the answer;
// otherwise the message's signed 16-bit value is.
int ThumbPosition(HWND View, int Bar, WPARAM WParam);
