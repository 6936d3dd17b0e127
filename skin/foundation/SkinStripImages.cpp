#include "skin/foundation/SkinStripImages.h"

#include "skin/foundation/SkinDrawUtils.h"
#include "skin/foundation/SkinImages.h"

namespace {

enum class THorzLayout { Both, LeftOnly, MiddleOnly };

void BuildHorz(THorzLayout Layout, int LeftOffset, int RightOffset, TBitmap* Target, TBitmap* Picture,
               const TRect& SkinRect, int W, bool Stretch)
{
  using namespace SkinPatches;
  if (!Target) return;
  const int sx = SkinRect.left;
  const int sy = SkinRect.top;
  const int SW = RectWidth(SkinRect);
  const int SH = RectHeight(SkinRect);
  Target->SetSize(W, SH);
  if (!Picture || Picture->Empty() || Target->Empty()) return;
  W = Target->GetWidth();
  TCanvas* C = Target->GetCanvas();
  if (Layout != THorzLayout::MiddleOnly) {
    if (LeftOffset != 0) CopyPatch(C, TRect{0, 0, LeftOffset, SH}, Picture, TRect{sx, sy, sx + LeftOffset, sy + SH});
    if (Layout == THorzLayout::Both && RightOffset != 0)
      CopyPatch(C, TRect{W - RightOffset, 0, W, SH}, Picture, TRect{sx + SW - RightOffset, sy, sx + SW, sy + SH});
  }
  const TRect Middle{sx + LeftOffset, sy, sx + SW - RightOffset, sy + SH};
  const int Step = RectWidth(Middle) == 0 ? 1 : RectWidth(Middle);
  const int Start = Layout == THorzLayout::MiddleOnly ? 0 : LeftOffset;
  const int End = Layout == THorzLayout::Both ? W - RightOffset : W;
  if (Stretch)
    StretchPatch(C, TRect{Start, 0, End, SH}, Picture, Middle);
  else
    TileHorz(C, Picture, Middle, Step, Start, End, 0, SH, W);
}

}  // namespace

void BuildHorzSkinBitmap(int LeftOffset, int RightOffset, TBitmap* Target, TBitmap* Picture, const TRect& SkinRect,
                         int W, int /*H*/, bool Stretch)
{
  BuildHorz(THorzLayout::Both, LeftOffset, RightOffset, Target, Picture, SkinRect, W, Stretch);
}

void BuildHorzSkinBitmapLeftCap(int LeftOffset, int RightOffset, TBitmap* Target, TBitmap* Picture,
                                const TRect& SkinRect, int W, int /*H*/, bool Stretch)
{
  BuildHorz(THorzLayout::LeftOnly, LeftOffset, RightOffset, Target, Picture, SkinRect, W, Stretch);
}

void BuildHorzSkinBitmapMiddle(int LeftOffset, int RightOffset, TBitmap* Target, TBitmap* Picture,
                               const TRect& SkinRect, int W, int /*H*/, bool Stretch)
{
  BuildHorz(THorzLayout::MiddleOnly, LeftOffset, RightOffset, Target, Picture, SkinRect, W, Stretch);
}

void BuildVertSkinBitmap(int TopOffset, int BottomOffset, TBitmap* Target, TBitmap* Picture, const TRect& SkinRect,
                         int /*W*/, int H, bool Stretch)
{
  using namespace SkinPatches;
  if (!Target) return;
  const int sx = SkinRect.left;
  const int sy = SkinRect.top;
  const int SW = RectWidth(SkinRect);
  const int SH = RectHeight(SkinRect);
  Target->SetSize(SW, H);
  if (!Picture || Picture->Empty() || Target->Empty()) return;
  H = Target->GetHeight();
  TCanvas* C = Target->GetCanvas();
  if (TopOffset != 0) CopyPatch(C, TRect{0, 0, SW, TopOffset}, Picture, TRect{sx, sy, sx + SW, sy + TopOffset});
  if (BottomOffset != 0)
    CopyPatch(C, TRect{0, H - BottomOffset, SW, H}, Picture, TRect{sx, sy + SH - BottomOffset, sx + SW, sy + SH});
  const TRect Middle{sx, sy + TopOffset, sx + SW, sy + SH - BottomOffset};
  if (Stretch)
    StretchPatch(C, TRect{0, TopOffset, SW, H - BottomOffset}, Picture, Middle);
  else
    TileVert(C, Picture, Middle, RectHeight(Middle), TopOffset, H - BottomOffset, 0, SW, H);
}

void BuildTiledSkinBitmap(const TRect& CR, const TRect& DestRect, TBitmap* Target, TBitmap* Picture,
                          const TRect& SkinRect, int W, int H, bool Stretch, TskStretchType StretchType)
{
  using namespace SkinPatches;
  if (!Target) return;
  Target->SetSize(W, H);
  const int DW = RectWidth(DestRect);
  const int DH = RectHeight(DestRect);
  if (DW == 0 || DH == 0 || !Picture || Picture->Empty() || Target->Empty()) return;
  W = Target->GetWidth();
  H = Target->GetHeight();
  TCanvas* C = Target->GetCanvas();
  const TRect Source{SkinRect.left + CR.left, SkinRect.top + CR.top, SkinRect.left + CR.right,
                     SkinRect.top + CR.bottom};
  const int CW = RectWidth(Source);
  const int CH = RectHeight(Source);
  if (!Stretch) {
    Tile2D(C, Picture, Source, TRect{0, 0, DW, DH}, W, H);
    return;
  }
  if (DW <= 0 || DH <= 0 || CW <= 0 || CH <= 0) return;
  TBitmap Patch;
  Patch.SetSize(CW, CH);
  CopyPatch(Patch.GetCanvas(), TRect{0, 0, CW, CH}, Picture, Source);
  switch (StretchType) {
    case stFull:
      C->StretchDraw(DestRect, &Patch);
      break;
    case stHorz:
    case stVert: {
      const bool Horz = StretchType == stHorz;
      TBitmap Strip;
      Strip.SetSize(Horz ? CW : DW, Horz ? DH : CH);
      Strip.GetCanvas()->StretchDraw(TRect{0, 0, Strip.GetWidth(), Strip.GetHeight()}, &Patch);
      const int Step = Horz ? CW : CH;
      const int Count = (Horz ? DW : DH) / Step;
      for (int i = 0; i <= Count; ++i) {
        const int X = Horz ? DestRect.left + i * Step : DestRect.left;
        const int Y = Horz ? DestRect.top : DestRect.top + i * Step;
        if (X >= W || Y >= H) break;
        C->Draw(X, Y, &Strip);
      }
      break;
    }
  }
}
