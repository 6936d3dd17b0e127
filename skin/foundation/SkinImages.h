// Nine-slice skin images: a skin patch (a rectangle of a skin picture with corner points and a
// client rectangle) rebuilt at any size. Fixed corners are copied one to one; the growing middles
// of the four frame bands and the centre are tiled or stretched.
//
// Geometry (all points and CR relative to SkinRect's top-left corner):
//   CR      client rectangle; its edges give the thickness of the four bands.
//   LT, RT  X: the growing middle of the top band; Y: the growing middles of the left/right bands.
//   LB, RB  X: the growing middle of the bottom band; Y: where the side middles end.
//   NLT ... NCR  the same in target coordinates, computed by the caller.
//
// Patches the builders cannot lay are skipped: a tiled patch of width or height 0 (or less), a
// copied or stretched patch whose source or destination is empty or inverted (no mirrored
// copies), and the tile copies that would start at or beyond the end of their run or outside
// the target.
#pragma once

#include "platform/vcl/Bitmap.h"
#include "skin/foundation/SkinIniLayout.h"

// Target becomes W x H; bands, corners and (when DrawClient) the centre are laid in. Nothing is
// painted when RB.X = LT.X, RB.Y = LT.Y or Picture is empty.
void BuildNineSliceBitmap(TPoint LT, TPoint RT, TPoint LB, TPoint RB, const TRect& CR, TPoint NLT, TPoint NRT,
                          TPoint NLB, TPoint NRB, const TRect& NCR, TBitmap* Target, TBitmap* Picture,
                          const TRect& SkinRect, int W, int H, bool DrawClient, bool LeftStretch, bool TopStretch,
                          bool RightStretch, bool BottomStretch, bool StretchEffect, TskStretchType StretchType);

// The same bitmap as BuildNineSliceBitmap (the entry point of popup, hint and menu frames).
void BuildNineSliceBitmapStretched(TPoint LT, TPoint RT, TPoint LB, TPoint RB, const TRect& CR, TPoint NLT,
                                   TPoint NRT, TPoint NLB, TPoint NRB, const TRect& NCR, TBitmap* Target,
                                   TBitmap* Picture, const TRect& SkinRect, int W, int H, bool DrawClient,
                                   bool LeftStretch, bool TopStretch, bool RightStretch, bool BottomStretch,
                                   bool StretchEffect, TskStretchType StretchType);

// Left-anchored variant: the top and bottom bands run to the right edge, there is no right band
// and no right corner, and the centre reaches the right edge. RightStretch is ignored.
void BuildNineSliceBitmapAlt(TPoint LT, TPoint RT, TPoint LB, TPoint RB, const TRect& CR, TPoint NLT, TPoint NRT,
                             TPoint NLB, TPoint NRB, const TRect& NCR, TBitmap* Target, TBitmap* Picture,
                             const TRect& SkinRect, int W, int H, bool DrawClient, bool LeftStretch,
                             bool TopStretch, bool RightStretch, bool BottomStretch, bool StretchEffect,
                             TskStretchType StretchType);

// Target keeps its size; the corners of CR are the corner points, every band and the centre
// are stretched.
void BuildSkinBitmap(TBitmap* Target, TBitmap* Picture, const TRect& SkinRect, const TRect& CR, bool DrawClient);

// The four bands of a window frame of W x H as separate bitmaps. The left and right bitmaps
// start at the client top and are as high as what the top and bottom bitmaps leave. A band whose
// geometry is empty keeps its previous size and content.
void BuildFrameEdgeBitmaps(TPoint LT, TPoint RT, TPoint LB, TPoint RB, const TRect& CR, TPoint NLT, TPoint NRT,
                           TPoint NLB, TPoint NRB, const TRect& NCR, TBitmap* LeftBitmap, TBitmap* TopBitmap,
                           TBitmap* RightBitmap, TBitmap* BottomBitmap, TBitmap* Picture, const TRect& SkinRect,
                           int W, int H, bool LeftStretch, bool TopStretch, bool RightStretch, bool BottomStretch);

// Patch copies shared by the skin image builders.
namespace SkinPatches {

// Source of Picture into Dest of Canvas (scaling when the sizes differ), with the canvas's
// copy mode. Nothing when either rectangle is empty or inverted.
void CopyPatch(TCanvas* Canvas, const TRect& Dest, TBitmap* Picture, const TRect& Source);

// Source stretched into Dest, as if copied one to one into a temporary bitmap first (areas of
// Source outside the picture stretch as black). Nothing when Source or Dest is empty or
// inverted.
void StretchPatch(TCanvas* Canvas, const TRect& Dest, TBitmap* Picture, const TRect& Source);

// Source repeated one to one along X with step Step from Start, the last copy cut at End (the
// same number of pixels off source and destination): (End - Start) / Step + 1 copies (toward
// zero), none when that is negative. Rows Top..Bottom of the target (scaled when they differ
// from the source's height). Nothing when Step <= 0; copies starting at or beyond Limit (the
// target's width) are left out.
void TileHorz(TCanvas* Canvas, TBitmap* Picture, const TRect& Source, int Step, int Start, int End, int Top,
              int Bottom, int Limit);
// The same along Y, in columns Left..Right; Limit is the target's height.
void TileVert(TCanvas* Canvas, TBitmap* Picture, const TRect& Source, int Step, int Start, int End, int Left,
              int Right, int Limit);
// Source repeated in both directions from Dest's top-left corner with steps of its width and
// height, every copy cut at Dest's right and bottom edges. Nothing when Source is empty or
// inverted.
void Tile2D(TCanvas* Canvas, TBitmap* Picture, const TRect& Source, const TRect& Dest, int LimitX, int LimitY);

}  // namespace SkinPatches
