#include "skin/foundation/SkinImages.h"

#include <algorithm>

#include "platform/gdi/Gdi.h"
#include "skin/foundation/SkinDrawUtils.h"

namespace {

bool Usable(TBitmap* Bitmap) { return Bitmap && !Bitmap->Empty(); }

// A one-to-one copy of a patch of Picture in Temp, sized to it. Temp stays empty when Source is
// empty or inverted.
void CopyToTemp(TBitmap& Temp, TBitmap* Picture, const TRect& Source)
{
  if (RectWidth(Source) <= 0 || RectHeight(Source) <= 0) return;
  Temp.SetSize(RectWidth(Source), RectHeight(Source));
  SkinPatches::CopyPatch(Temp.GetCanvas(), TRect{0, 0, RectWidth(Source), RectHeight(Source)}, Picture, Source);
}

// The centre of a nine-slice image: Source (picture coordinates) laid into Dest, tiled or, with
// StretchEffect, stretched by StretchType. ClientClip is the clip rectangle of the stretched
// strips of StretchType 2 (StretchType 1 clips at Dest).
void LayCentre(TBitmap* Target, TBitmap* Picture, const TRect& Source, const TRect& Dest, const TRect& ClientClip,
               bool StretchEffect, TskStretchType StretchType)
{
  TCanvas* Canvas = Target->GetCanvas();
  const int W = Target->GetWidth();
  const int H = Target->GetHeight();
  if (!StretchEffect) {
    SkinPatches::Tile2D(Canvas, Picture, Source, Dest, W, H);
    return;
  }
  const int DW = RectWidth(Dest);
  const int DH = RectHeight(Dest);
  if (DW <= 0 || DH <= 0) return;
  if (StretchType == stFull) {
    SkinPatches::StretchPatch(Canvas, Dest, Picture, Source);
    return;
  }
  TBitmap Patch;
  CopyToTemp(Patch, Picture, Source);
  if (Patch.Empty()) return;
  const int CW = Patch.GetWidth();
  const int CH = Patch.GetHeight();
  switch (StretchType) {
    case stFull:
      break;
    case stHorz:
    case stVert: {
      const bool Horz = StretchType == stHorz;
      const TRect Clip = Horz ? Dest : ClientClip;
      TBitmap Strip;
      Strip.SetSize(Horz ? CW : DW, Horz ? DH : CH);
      Strip.GetCanvas()->StretchDraw(TRect{0, 0, Strip.GetWidth(), Strip.GetHeight()}, &Patch);
      HDC DC = Canvas->GetHandle();
      const int Saved = SaveDC(DC);
      IntersectClipRect(DC, Clip.left, Clip.top, Clip.right, Clip.bottom);
      const int Step = Horz ? CW : CH;
      const int Count = (Horz ? DW : DH) / Step;
      for (int i = 0; i <= Count; ++i) {
        const int X = Horz ? Dest.left + i * Step : Dest.left;
        const int Y = Horz ? Dest.top : Dest.top + i * Step;
        if (X >= W || Y >= H) break;
        Canvas->Draw(X, Y, &Strip);
      }
      RestoreDC(DC, Saved);
      break;
    }
  }
}

enum class TNineSliceKind { Full, LeftAnchored };

void BuildNineSlice(TNineSliceKind Kind, TPoint LT, TPoint RT, TPoint LB, TPoint RB, const TRect& CR, TPoint NLT,
                    TPoint NRT, TPoint NLB, TPoint NRB, const TRect& NCR, TBitmap* Target, TBitmap* Picture,
                    const TRect& SkinRect, int W, int H, bool DrawClient, bool LeftStretch, bool TopStretch,
                    bool RightStretch, bool BottomStretch, bool StretchEffect, TskStretchType StretchType)
{
  using namespace SkinPatches;
  if (!Target) return;
  Target->SetSize(W, H);
  if (RB.x == LT.x || RB.y == LT.y || !Usable(Picture) || Target->Empty()) return;
  const bool Alt = Kind == TNineSliceKind::LeftAnchored;
  W = Target->GetWidth();
  H = Target->GetHeight();
  TCanvas* C = Target->GetCanvas();
  const int sx = SkinRect.left;
  const int sy = SkinRect.top;
  const int SW = RectWidth(SkinRect);
  const int SH = RectHeight(SkinRect);

  // Top band.
  {
    const TRect S{sx + LT.x, sy, sx + RT.x, sy + CR.top};
    const int End = Alt ? W : NRT.x;
    if (TopStretch)
      StretchPatch(C, TRect{NLT.x, 0, End, NCR.top}, Picture, S);
    else
      TileHorz(C, Picture, S, RT.x - LT.x, NLT.x, End, 0, NCR.top, W);
  }
  // Bottom band.
  {
    const TRect S{sx + LB.x, sy + CR.bottom, sx + RB.x, sy + SH};
    const int End = Alt ? W : NRB.x;
    if (BottomStretch)
      StretchPatch(C, TRect{NLB.x, NCR.bottom, End, H}, Picture, S);
    else
      TileHorz(C, Picture, S, RB.x - LB.x, NLB.x, End, NCR.bottom, H, W);
  }
  // Left band; a tiled one takes as many source columns as the target band is wide.
  if (LeftStretch)
    StretchPatch(C, TRect{0, NLT.y, NCR.left, NLB.y}, Picture, TRect{sx, sy + LT.y, sx + CR.left, sy + LB.y});
  else
    TileVert(C, Picture, TRect{sx, sy + LT.y, sx + NCR.left, sy + LB.y}, LB.y - LT.y, NLT.y, NLB.y, 0, NCR.left, H);
  // Right band.
  if (!Alt) {
    const TRect S{sx + CR.right, sy + RT.y, sx + SW, sy + RB.y};
    if (RightStretch)
      StretchPatch(C, TRect{NCR.right, NRT.y, W, NRB.y}, Picture, S);
    else
      TileVert(C, Picture, S, RB.y - RT.y, NRT.y, NRB.y, NCR.right, W, H);
  }
  // Fixed corner patches, over the bands.
  CopyPatch(C, TRect{0, 0, NLT.x, NCR.top}, Picture, TRect{sx, sy, sx + LT.x, sy + CR.top});
  CopyPatch(C, TRect{0, NCR.top, NCR.left, NLT.y}, Picture, TRect{sx, sy + CR.top, sx + CR.left, sy + LT.y});
  if (!Alt) {
    CopyPatch(C, TRect{NRT.x, 0, W, NCR.top}, Picture, TRect{sx + RT.x, sy, sx + SW, sy + CR.top});
    CopyPatch(C, TRect{NCR.right, NCR.top, W, NRT.y}, Picture,
              TRect{sx + CR.right, sy + CR.top, sx + SW, sy + RT.y});
  }
  CopyPatch(C, TRect{0, NLB.y, NCR.left, H}, Picture, TRect{sx, sy + LB.y, sx + CR.left, sy + SH});
  CopyPatch(C, TRect{NCR.left, NCR.bottom, NLB.x, H}, Picture,
            TRect{sx + CR.left, sy + CR.bottom, sx + LB.x, sy + SH});
  if (!Alt) {
    CopyPatch(C, TRect{NRB.x, NCR.bottom, W, H}, Picture, TRect{sx + RB.x, sy + CR.bottom, sx + SW, sy + SH});
    CopyPatch(C, TRect{NCR.right, NRB.y, W, NCR.bottom}, Picture,
              TRect{sx + CR.right, sy + RB.y, sx + SW, sy + CR.bottom});
  }
  // Centre.
  if (DrawClient) {
    const TRect Source{sx + CR.left, sy + CR.top, sx + CR.right, sy + CR.bottom};
    const TRect Dest = Alt ? TRect{NCR.left, NCR.top, W, NCR.bottom} : NCR;
    LayCentre(Target, Picture, Source, Dest, NCR, StretchEffect, StretchType);
  }
}

// One horizontal frame band (top or bottom) of BuildFrameEdgeBitmaps: source rows SrcTop..
// SrcTop + BH, growing middle MidL..MidR (relative to SkinRect), laid at NMidL..NMidR.
void BuildHorzEdge(TBitmap* Band, TBitmap* Picture, const TRect& SkinRect, int SrcTop, int BH, int MidL, int MidR,
                   int NMidL, int NMidR, int W, bool Stretch)
{
  using namespace SkinPatches;
  Band->SetSize(W, BH);
  if (!Usable(Picture)) return;
  TCanvas* C = Band->GetCanvas();
  const int sx = SkinRect.left;
  const TRect Middle{sx + MidL, SrcTop, sx + MidR, SrcTop + BH};
  if (Stretch)
    StretchPatch(C, TRect{NMidL, 0, NMidR, BH}, Picture, Middle);
  else
    TileHorz(C, Picture, Middle, MidR - MidL, 0, W, 0, BH, W);
  CopyPatch(C, TRect{0, 0, NMidL, BH}, Picture, TRect{sx, SrcTop, sx + MidL, SrcTop + BH});
  CopyPatch(C, TRect{NMidR, 0, W, BH}, Picture, TRect{sx + MidR, SrcTop, SkinRect.right, SrcTop + BH});
}

// One vertical frame band (left or right) of BuildFrameEdgeBitmaps: source columns SrcL..SrcR,
// band BW x BH whose row 0 stands at the client top; MidT..MidB is the growing middle
// (relative to SkinRect), CTop and CBottom the client rectangle's top and bottom.
void BuildVertEdge(TBitmap* Band, TBitmap* Picture, const TRect& SkinRect, int SrcL, int SrcR, int BW, int BH,
                   int MidT, int MidB, int CTop, int CBottom, bool Stretch)
{
  using namespace SkinPatches;
  Band->SetSize(BW, BH);
  if (!Usable(Picture)) return;
  TCanvas* C = Band->GetCanvas();
  const int sy = SkinRect.top;
  const int Upper = MidT - CTop;
  const int Lower = CBottom - MidB;
  const TRect Middle{SrcL, sy + MidT, SrcR, sy + MidB};
  if (Stretch)
    StretchPatch(C, TRect{0, Upper, BW, BH - Lower}, Picture, Middle);
  else
    TileVert(C, Picture, Middle, MidB - MidT, 0, BH, 0, BW, BH);
  if (Upper > 0) CopyPatch(C, TRect{0, 0, BW, Upper}, Picture, TRect{SrcL, sy + CTop, SrcR, sy + MidT});
  if (Lower > 0) CopyPatch(C, TRect{0, BH - Lower, BW, BH}, Picture, TRect{SrcL, sy + MidB, SrcR, sy + CBottom});
}

}  // namespace

namespace SkinPatches {

void CopyPatch(TCanvas* Canvas, const TRect& Dest, TBitmap* Picture, const TRect& Source)
{
  // Inverted rectangles come only from geometry that does not fit the target; a mirrored copy
  // of the patch would be drawn over its neighbours.
  if (RectWidth(Dest) <= 0 || RectHeight(Dest) <= 0 || RectWidth(Source) <= 0 || RectHeight(Source) <= 0) return;
  Canvas->CopyRect(Dest, Picture->GetCanvas(), Source);
}

void StretchPatch(TCanvas* Canvas, const TRect& Dest, TBitmap* Picture, const TRect& Source)
{
  if (RectWidth(Dest) <= 0 || RectHeight(Dest) <= 0) return;
  if (RectWidth(Source) <= 0 || RectHeight(Source) <= 0) return;
  if (Source.left >= 0 && Source.top >= 0 && Source.right <= Picture->GetWidth() &&
      Source.bottom <= Picture->GetHeight()) {
    // A patch wholly inside the picture: stretching it straight from the picture gives the
    // same pixels as stretching a one-to-one copy of it, without the copy.
    HDC DC = Canvas->GetHandle();
    const int OldMode = SetStretchBltMode(DC, COLORONCOLOR);
    StretchBlt(DC, Dest.left, Dest.top, RectWidth(Dest), RectHeight(Dest), Picture->GetCanvas()->GetHandle(),
               Source.left, Source.top, RectWidth(Source), RectHeight(Source), Canvas->GetCopyMode());
    SetStretchBltMode(DC, OldMode);
    return;
  }
  // Areas outside the picture are black in the copy, and stretch as such.
  TBitmap Patch;
  CopyToTemp(Patch, Picture, Source);
  if (!Patch.Empty()) Canvas->StretchDraw(Dest, &Patch);
}

namespace {

// The copies of a one-dimensional tiling: for each, where it starts along the run, how long the
// destination is and how long the source is.
template <class F>
void ForEachTile(int SourceLength, int Step, int Start, int End, int Limit, F Copy)
{
  if (Step <= 0) return;
  const long long Count = (static_cast<long long>(End) - Start) / Step;
  if (Count < 0) return;
  // Copies that end left of (or above) the target's origin are invisible: start at the first
  // one that reaches it.
  const long long First = Start < 0 ? -static_cast<long long>(Start) / Step : 0;
  for (long long i = First; i <= Count; ++i) {
    const long long Pos = Start + i * Step;
    if (Pos >= End || Pos >= Limit) break;
    const int Cut = static_cast<int>(std::max(0LL, Pos + Step - End));
    const int SourceLen = SourceLength - Cut;
    if (SourceLen <= 0) continue;
    Copy(static_cast<int>(Pos), Step - Cut, SourceLen);
  }
}

}  // namespace

void TileHorz(TCanvas* Canvas, TBitmap* Picture, const TRect& Source, int Step, int Start, int End, int Top,
              int Bottom, int Limit)
{
  ForEachTile(RectWidth(Source), Step, Start, End, Limit, [&](int Pos, int Len, int SourceLen) {
    CopyPatch(Canvas, TRect{Pos, Top, Pos + Len, Bottom}, Picture,
              TRect{Source.left, Source.top, Source.left + SourceLen, Source.bottom});
  });
}

void TileVert(TCanvas* Canvas, TBitmap* Picture, const TRect& Source, int Step, int Start, int End, int Left,
              int Right, int Limit)
{
  ForEachTile(RectHeight(Source), Step, Start, End, Limit, [&](int Pos, int Len, int SourceLen) {
    CopyPatch(Canvas, TRect{Left, Pos, Right, Pos + Len}, Picture,
              TRect{Source.left, Source.top, Source.right, Source.top + SourceLen});
  });
}

void Tile2D(TCanvas* Canvas, TBitmap* Picture, const TRect& Source, const TRect& Dest, int LimitX, int LimitY)
{
  const int CW = RectWidth(Source);
  const int CH = RectHeight(Source);
  if (CW <= 0 || CH <= 0) return;
  if (RectWidth(Dest) / CW < 0 || RectHeight(Dest) / CH < 0) return;
  ForEachTile(CH, CH, Dest.top, Dest.bottom, LimitY, [&](int Y, int RowLen, int SourceRows) {
    ForEachTile(CW, CW, Dest.left, Dest.right, LimitX, [&](int X, int ColLen, int SourceCols) {
      CopyPatch(Canvas, TRect{X, Y, X + ColLen, Y + RowLen}, Picture,
                TRect{Source.left, Source.top, Source.left + SourceCols, Source.top + SourceRows});
    });
  });
}

}  // namespace SkinPatches

void BuildNineSliceBitmap(TPoint LT, TPoint RT, TPoint LB, TPoint RB, const TRect& CR, TPoint NLT, TPoint NRT,
                          TPoint NLB, TPoint NRB, const TRect& NCR, TBitmap* Target, TBitmap* Picture,
                          const TRect& SkinRect, int W, int H, bool DrawClient, bool LeftStretch, bool TopStretch,
                          bool RightStretch, bool BottomStretch, bool StretchEffect, TskStretchType StretchType)
{
  BuildNineSlice(TNineSliceKind::Full, LT, RT, LB, RB, CR, NLT, NRT, NLB, NRB, NCR, Target, Picture, SkinRect, W, H,
                 DrawClient, LeftStretch, TopStretch, RightStretch, BottomStretch, StretchEffect, StretchType);
}

void BuildNineSliceBitmapStretched(TPoint LT, TPoint RT, TPoint LB, TPoint RB, const TRect& CR, TPoint NLT,
                                   TPoint NRT, TPoint NLB, TPoint NRB, const TRect& NCR, TBitmap* Target,
                                   TBitmap* Picture, const TRect& SkinRect, int W, int H, bool DrawClient,
                                   bool LeftStretch, bool TopStretch, bool RightStretch, bool BottomStretch,
                                   bool StretchEffect, TskStretchType StretchType)
{
  BuildNineSlice(TNineSliceKind::Full, LT, RT, LB, RB, CR, NLT, NRT, NLB, NRB, NCR, Target, Picture, SkinRect, W, H,
                 DrawClient, LeftStretch, TopStretch, RightStretch, BottomStretch, StretchEffect, StretchType);
}

void BuildNineSliceBitmapAlt(TPoint LT, TPoint RT, TPoint LB, TPoint RB, const TRect& CR, TPoint NLT, TPoint NRT,
                             TPoint NLB, TPoint NRB, const TRect& NCR, TBitmap* Target, TBitmap* Picture,
                             const TRect& SkinRect, int W, int H, bool DrawClient, bool LeftStretch,
                             bool TopStretch, bool RightStretch, bool BottomStretch, bool StretchEffect,
                             TskStretchType StretchType)
{
  BuildNineSlice(TNineSliceKind::LeftAnchored, LT, RT, LB, RB, CR, NLT, NRT, NLB, NRB, NCR, Target, Picture,
                 SkinRect, W, H, DrawClient, LeftStretch, TopStretch, RightStretch, BottomStretch, StretchEffect,
                 StretchType);
}

void BuildSkinBitmap(TBitmap* Target, TBitmap* Picture, const TRect& SkinRect, const TRect& CR, bool DrawClient)
{
  if (!Target) return;
  const int W = Target->GetWidth();
  const int H = Target->GetHeight();
  const TRect NCR{CR.left, CR.top, CR.right + W - RectWidth(SkinRect), CR.bottom + H - RectHeight(SkinRect)};
  BuildNineSliceBitmap(TPoint{CR.left, CR.top}, TPoint{CR.right, CR.top}, TPoint{CR.left, CR.bottom},
                       TPoint{CR.right, CR.bottom}, CR, TPoint{NCR.left, NCR.top}, TPoint{NCR.right, NCR.top},
                       TPoint{NCR.left, NCR.bottom}, TPoint{NCR.right, NCR.bottom}, NCR, Target, Picture, SkinRect, W,
                       H, DrawClient, true, true, true, true, true, stFull);
}

void BuildFrameEdgeBitmaps(TPoint LT, TPoint RT, TPoint LB, TPoint RB, const TRect& CR, TPoint NLT, TPoint NRT,
                           TPoint NLB, TPoint NRB, const TRect& NCR, TBitmap* LeftBitmap, TBitmap* TopBitmap,
                           TBitmap* RightBitmap, TBitmap* BottomBitmap, TBitmap* Picture, const TRect& SkinRect,
                           int W, int H, bool LeftStretch, bool TopStretch, bool RightStretch, bool BottomStretch)
{
  const int sx = SkinRect.left;
  const int sy = SkinRect.top;
  if (TopBitmap && W > 0 && NCR.top > 0 && RT.x - LT.x > 0)
    BuildHorzEdge(TopBitmap, Picture, SkinRect, sy, NCR.top, LT.x, RT.x, NLT.x, NRT.x, W, TopStretch);
  const int BH = H - NCR.bottom;
  if (BottomBitmap && W > 0 && BH > 0 && RB.x - LB.x > 0)
    BuildHorzEdge(BottomBitmap, Picture, SkinRect, SkinRect.bottom - BH, BH, LB.x, RB.x, NLB.x, NRB.x, W,
                  BottomStretch);
  const int Bands = (TopBitmap ? TopBitmap->GetHeight() : 0) + (BottomBitmap ? BottomBitmap->GetHeight() : 0);
  const int SideH = H - Bands;
  if (LeftBitmap && NCR.left > 0 && SideH > 0 && LB.y - LT.y > 0)
    BuildVertEdge(LeftBitmap, Picture, SkinRect, sx, sx + NCR.left, NCR.left, SideH, LT.y, LB.y, CR.top, CR.bottom,
                  LeftStretch);
  const int RW = W - NCR.right;
  if (RightBitmap && RW >= 1 && SideH >= 1 && RB.y - RT.y >= 1)
    BuildVertEdge(RightBitmap, Picture, SkinRect, sx + CR.right, SkinRect.right, RW, SideH, RT.y, RB.y, CR.top,
                  CR.bottom, RightStretch);
}
