// The arithmetic of a crop: the crop texts that the tools take, the device screen size text,
// and the fill-screen enlargements that cut more off a picture so that it fills a device's
// screen. Pure functions over numbers; the row routines (PreviewFrames.h, CropDetect.h) read
// the cells and write the results.
//
// Round is to the nearest whole number with halves to the even neighbour; Trunc drops the
// fraction. Divisions are made in floating point; a zero divisor raises EZeroDivide
// "Floating point division by zero" (nothing is computed from it).
#pragma once

#include "platform/rtl/System.h"

// The crop of a stored picture of SW x SH pixels by L, R, T, B pixels (left, right, top,
// bottom):
//   X = Round(L / 8) * 8, Y = Round(T / 8) * 8,
//   W = Round((SW - L - R) / 16) * 16, H = Round((SH - T - B) / 16) * 16,
//   W = SW - X when X + W > SW, H = SH - Y when Y + H > SH.
// The texts stay empty when nothing is cut (L, R, T and B all 0), when W or H is not above 0,
// or when X or Y is below 0; otherwise
//   Filter   "crop=" W ":" H ":" X ":" Y            (mencoder's crop filter)
//   ClipArgs "-v_clip " L " " T " " R " " B          (Windows Media Encoder's clip)
//   CropArgs "-croptop " T " -cropbottom " B " -cropleft " L " -cropright " R  (ffmpeg's)
// A crop whose rounded offsets are 0 (a letterbox without side bars) still gives its texts.
// Width and Height are W and H whether the texts are given or not.
struct TCropTexts {
  String Filter;
  String ClipArgs;
  String CropArgs;
  Int64 Width = 0;
  Int64 Height = 0;
};
TCropTexts ComputeCropTexts(Int64 SW, Int64 SH, Int64 L, Int64 R, Int64 T, Int64 B);

// A screen size text " 320 x  240": the width is the text up to the first "x" (trimmed, the
// "x" dropped); the height what is left of the whole text once the first occurrence of the
// width's digits and then the first "x" are removed, trimmed. Both are strict whole numbers
// (EConvertError otherwise).
struct TScreenSize {
  int Width = 0;
  int Height = 0;
};
TScreenSize ParseScreenSize(const String& Text);

// The smallest multiple of 16 that is not below V.
Int64 Ceil16(Int64 V);

// What a fill-screen enlargement adds to a crop: Horizontal to each of left and right,
// Vertical to each of top and bottom.
struct TCropGrowth {
  Int64 Horizontal = 0;
  Int64 Vertical = 0;
};

// The picture and the screen of a fill-screen enlargement: the stored size, the display size,
// the crop so far and the screen.
struct TFillScreenInput {
  Int64 StoredWidth = 0, StoredHeight = 0;
  Int64 DisplayWidth = 0, DisplayHeight = 0;
  Int64 Left = 0, Right = 0, Top = 0, Bottom = 0;
  Int64 ScreenWidth = 0, ScreenHeight = 0;
};

// The preview's enlargement. rx, ry = display / stored; the cropped picture in display pixels
// CW = Round((stored width - L - R) * rx), CH likewise; it is scaled to the screen's width
// (FH = Trunc(SW / CW * CH)) or, when that is too high, to its height (FW = Trunc(SH / CH * CW)).
// When Ceil16(FW) < SW the top and bottom grow by Round((CH - Trunc(CW / SW * SH)) / (2 * ry));
// when Ceil16(FH) < SH the left and right grow by Round((CW - Trunc(CH / SH * SW)) / (2 * rx)).
TCropGrowth FillScreenGrowth(const TFillScreenInput& In);
// The batch enlargement: the same steps, but FW and FH are compared as they are (SW > FW,
// SH > FH) and each growth is rounded to a multiple of 4 (Round(a / 4) * 4).
TCropGrowth FillScreenGrowthBatch(const TFillScreenInput& In);
