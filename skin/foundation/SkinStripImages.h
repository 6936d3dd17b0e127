// Skin images that grow in one direction (caption bars, tracks, channels, strips) and skin
// patches laid repeatedly into an area (edit and memo backgrounds). Fixed ends are copied one to
// one; the middle is tiled (the last copy cut at the end of its run) or stretched.
//
// A strip shorter than its two fixed ends gets no middle: the left (top) end is copied first and
// the right (bottom) end over it. A tiled patch of width or height 0 is skipped.
#pragma once

#include "platform/vcl/Bitmap.h"
#include "skin/foundation/SkinIniLayout.h"

// Target becomes W x SkinRect's height (H has no effect): the LeftOffset columns of the patch at
// the left, its RightOffset columns at the right, the rest of the patch tiled or stretched
// between them.
void BuildHorzSkinBitmap(int LeftOffset, int RightOffset, TBitmap* Target, TBitmap* Picture, const TRect& SkinRect,
                         int W, int H, bool Stretch);

// As BuildHorzSkinBitmap without the right end: the middle (which still leaves out the patch's
// RightOffset columns) runs to the right edge.
void BuildHorzSkinBitmapLeftCap(int LeftOffset, int RightOffset, TBitmap* Target, TBitmap* Picture,
                                const TRect& SkinRect, int W, int H, bool Stretch);

// Target becomes W x SkinRect's height, made of the middle of the patch only.
void BuildHorzSkinBitmapMiddle(int LeftOffset, int RightOffset, TBitmap* Target, TBitmap* Picture,
                               const TRect& SkinRect, int W, int H, bool Stretch);

// The vertical twin of BuildHorzSkinBitmap: Target becomes SkinRect's width x H (W has no
// effect).
void BuildVertSkinBitmap(int TopOffset, int BottomOffset, TBitmap* Target, TBitmap* Picture, const TRect& SkinRect,
                         int W, int H, bool Stretch);

// Target becomes W x H; the client patch CR (relative to SkinRect) is tiled from the target's
// origin over DestRect's size, or with Stretch laid into DestRect by StretchType (stFull
// stretched, stHorz stretched to DestRect's height and repeated across, stVert stretched to its
// width and repeated downward; the repeats are not cut at DestRect).
void BuildTiledSkinBitmap(const TRect& CR, const TRect& DestRect, TBitmap* Target, TBitmap* Picture,
                          const TRect& SkinRect, int W, int H, bool Stretch, TskStretchType StretchType);
