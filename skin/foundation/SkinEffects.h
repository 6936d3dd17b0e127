// Blur and text effects: a fast triangular blur of 32-bit bitmaps, and text drawn with a soft
// shadow, a glow or a fading mirror image below it. The effect shape is rendered in pure red into
// a TskBitmap, blurred, turned into per-pixel alpha of the effect colour and blended onto the
// caller's canvas; then the text itself is drawn on top with the canvas's font.
#pragma once

#include "platform/rtl/System.h"
#include "platform/vcl/Canvas.h"
#include "platform/vcl/Classes.h"
#include "skin/foundation/SkinBitmap.h"
#include "skin/foundation/SkinDrawUtils.h"

// Separable triangular blur of red, green and blue with kernel weights Radius + 1 - |k|
// (k = -Radius .. Radius), edges repeating the first or last pixel; every alpha byte becomes 255.
// Nothing when Radius <= 0 or the bitmap is empty.
void BlurBitmap(TskBitmap* Bitmap, int Radius);

// Each returns the value of the final DrawText of Text into R (Format: DT_ flags); 0 without a
// canvas. A negative effect size counts as 0; an empty R gets the text but no reflection.
int DrawShadowText(TCanvas* Canvas, const TRect& R, const AnsiString& Text, UINT Format, int ShadowOffset,
                   TColor ShadowColor, int ShadowSize);
int DrawGlowText(TCanvas* Canvas, const TRect& R, const AnsiString& Text, UINT Format, int GlowOffset,
                 TColor GlowColor, int GlowSize);
int DrawReflectionText(TCanvas* Canvas, const TRect& R, const AnsiString& Text, UINT Format, int ReflectionOffset,
                       TColor ReflectionColor);
int DrawShadowTextW(TCanvas* Canvas, const TRect& R, const WideString& Text, UINT Format, int ShadowOffset,
                    TColor ShadowColor, int ShadowSize);
int DrawReflectionTextW(TCanvas* Canvas, const TRect& R, const WideString& Text, UINT Format, int ReflectionOffset,
                        TColor ReflectionColor);
// The glowing caption of a skinned window: a blurred backing bar and text outline in GlowColor.
int DrawCaptionGlowTextW(TCanvas* Canvas, const TRect& R, const WideString& Text, UINT Format, TColor GlowColor);
