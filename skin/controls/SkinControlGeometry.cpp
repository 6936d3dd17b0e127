#include "skin/controls/SkinControlGeometry.h"

#include <cstdint>

#include "skin/foundation/SkinDrawUtils.h"
#include "skin/foundation/SkinEffectBmp.h"
#include "skin/foundation/SkinImages.h"
#include "skin/foundation/SkinRegions.h"
#include "skin/foundation/SkinStripImages.h"

int FindSkinControlIndex(TskSkinData* SkinData, const String& Name)
{
  if (!SkinData || SkinData->Empty)
    return -1;
  return SkinData->GetControlIndex(Name);
}

TskDataSkinControl* SkinControlRecord(TskSkinData* SkinData, int Index)
{
  if (!SkinData || Index < 0 || Index >= static_cast<int>(SkinData->ControlList.size()))
    return nullptr;
  return SkinData->ControlList[static_cast<std::size_t>(Index)];
}

TBitmap* SkinPicture(TskSkinData* SkinData, int Index)
{
  if (!SkinData || Index < 0 || Index >= static_cast<int>(SkinData->ActivePictures.size()))
    return nullptr;
  return SkinData->ActivePictures[static_cast<std::size_t>(Index)];
}

TCursor SkinCursor(TskSkinData* SkinData, int CursorIndex)
{
  if (CursorIndex == -1 || !SkinData)
    return crDefault;
  return static_cast<std::int16_t>(SkinData->StartCursorIndex + CursorIndex);
}

void DrawSkinControlImage(TControl* Control, TCanvas* Canvas, TBitmap* Image, bool AlphaBlend, Byte AlphaBlendValue)
{
  if (!Canvas || !Image || Image->Empty())
    return;
  if (!AlphaBlend) {
    Canvas->Draw(0, 0, Image);
    return;
  }
  TBitmap background;
  background.SetSize(Image->GetWidth(), Image->GetHeight());
  PaintParentBackground(Control, background.GetCanvas());
  auto front = TskEffectBmp::CreateFromBitmap(Image->GetHandle());
  auto back = TskEffectBmp::CreateFromBitmap(background.GetHandle());
  front->Morph(back.get(), 1.0 - AlphaBlendValue / 255.0);
  front->Draw(Canvas->GetHandle(), 0, 0);
}

int TskSkinGeometry::GetResizeMode() const
{
  if (RectWidth(SkinRect) <= 0 || RectHeight(SkinRect) <= 0)
    return -1;
  if (RBPoint.x != 0 && RBPoint.y != 0)
    return 1;
  if (RTPoint.x != 0 || RTPoint.y != 0)
    return 2;
  if (LBPoint.x != 0 || LBPoint.y != 0)
    return 3;
  return 0;
}

bool TskSkinGeometry::CopySkinGeometry(TskSkinData* SkinData, TskDataSkinControl* Record)
{
  auto* r = dynamic_cast<TskDataSkinCustomControl*>(Record);
  if (!r) {
    ResizeMode = 0;
    Picture = nullptr;
    return false;
  }
  LTPoint = r->lefttoppoint;
  RTPoint = r->righttoppoint;
  LBPoint = r->leftbottompoint;
  RBPoint = r->rightbottompoint;
  SkinRect = r->skinrect;
  ClRect = r->clientrect;
  StretchEffect = r->stretcheffect;
  LeftStretch = r->leftstretch;
  TopStretch = r->topstretch;
  RightStretch = r->rightstretch;
  BottomStretch = r->bottomstretch;
  StretchType = r->stretchtype;
  Picture = SkinPicture(SkinData, r->pictureindex);
  ResizeMode = GetResizeMode();
  return true;
}

void TskSkinGeometry::CalcSkinSize(bool HasRecord, int& W, int& H)
{
  if (!HasRecord || ResizeMode == -1)
    return;
  const int dW = W - RectWidth(SkinRect);
  const int dH = H - RectHeight(SkinRect);
  switch (ResizeMode) {
  case 0:
    W = RectWidth(SkinRect);
    H = RectHeight(SkinRect);
    NewClRect = ClRect;
    break;
  case 1:
    NewLTPoint = LTPoint;
    NewRTPoint = Point(RTPoint.x + dW, RTPoint.y);
    NewLBPoint = Point(LBPoint.x, LBPoint.y + dH);
    NewRBPoint = Point(RBPoint.x + dW, RBPoint.y + dH);
    NewClRect = Rect(ClRect.left, ClRect.top, ClRect.right + dW, ClRect.bottom + dH);
    break;
  case 2:
    H = RectHeight(SkinRect);
    NewLTPoint = LTPoint;
    NewRTPoint = Point(RTPoint.x + dW, RTPoint.y);
    NewClRect = Rect(ClRect.left, ClRect.top, ClRect.right + dW, ClRect.bottom);
    break;
  case 3:
    W = RectWidth(SkinRect);
    NewLTPoint = LTPoint;
    NewLBPoint = Point(LBPoint.x, LBPoint.y + dH);
    NewClRect = Rect(ClRect.left, ClRect.top, ClRect.right, ClRect.bottom + dH);
    break;
  default: break;
  }
}

void TskSkinGeometry::BuildSkinImage(TBitmap* Bitmap, TBitmap* APicture, const TRect& Source, int W, int H,
                                     bool DirectFrame) const
{
  if (!Bitmap || !APicture || APicture->Empty())
    return;
  switch (ResizeMode) {
  case 0: {
    const int w = RectWidth(Source), h = RectHeight(Source);
    if (w <= 0 || h <= 0)
      return;
    Bitmap->SetSize(w, h);
    Bitmap->GetCanvas()->CopyRect(Rect(0, 0, w, h), APicture->GetCanvas(), Source);
    break;
  }
  case 1:
    if (DirectFrame)
      return;
    BuildNineSliceBitmap(LTPoint, RTPoint, LBPoint, RBPoint, ClRect, NewLTPoint, NewRTPoint, NewLBPoint, NewRBPoint,
                         NewClRect, Bitmap, APicture, Source, W, H, true, LeftStretch, TopStretch, RightStretch,
                         BottomStretch, StretchEffect, StretchType);
    break;
  case 2:
    BuildHorzSkinBitmap(LTPoint.x, RectWidth(SkinRect) - RTPoint.x, Bitmap, APicture, Source, W, H, StretchEffect);
    break;
  case 3:
    BuildVertSkinBitmap(LTPoint.y, RectHeight(SkinRect) - LBPoint.y, Bitmap, APicture, Source, W, H, StretchEffect);
    break;
  default: break;
  }
}

TRect TskSkinGeometry::MapSkinRectFor(const TRect& R, int W, int H) const
{
  const int sw = RectWidth(SkinRect), sh = RectHeight(SkinRect);
  const int dW = W - sw, dH = H - sh;
  TRect out = R;
  switch (ResizeMode) {
  case 1: {
    const TRect TL = Rect(0, 0, LTPoint.x, LTPoint.y);
    const TRect TR = Rect(RTPoint.x, 0, sw, RTPoint.y);
    const TRect BL = Rect(0, LBPoint.y, LBPoint.x, sh);
    const TRect BR = Rect(RBPoint.x, RBPoint.y, sw, sh);
    if (RectInRect(R, TL))
      return out;
    if (RectInRect(R, TR))
      return Rect(R.left + dW, R.top, R.right + dW, R.bottom);
    if (RectInRect(R, BL))
      return Rect(R.left, R.top + dH, R.right, R.bottom + dH);
    if (RectInRect(R, BR))
      return Rect(R.left + dW, R.top + dH, R.right + dW, R.bottom + dH);
    const TPoint P1 = Point(R.left, R.top), P2 = Point(R.right, R.bottom);
    if (PointInsideRect(TL, P1) && PointInsideRect(BR, P2)) {
      out.right += dW;
      out.bottom += dH;
    } else if (PointInsideRect(TL, P1) && PointInsideRect(TR, P2)) {
      out.right += dW;
    } else if (PointInsideRect(BL, P1) && PointInsideRect(BR, P2)) {
      out = Rect(R.left, R.top + dH, R.right + dW, R.bottom + dH);
    } else if (PointInsideRect(TL, P1) && PointInsideRect(BL, P2)) {
      out.bottom += dH;
    } else if (PointInsideRect(TR, P1) && PointInsideRect(BR, P2)) {
      out = Rect(R.left + dW, R.top, R.right + dW, R.bottom + dH);
    }
    return out;
  }
  case 2:
    if (R.left <= LTPoint.x && R.right >= RTPoint.x)
      out.right += dW;
    else if (R.left >= RTPoint.x && R.right > RTPoint.x)
      out = Rect(R.left + dW, R.top, R.right + dW, R.bottom);
    return out;
  case 3:
    if (R.top <= LTPoint.y && R.bottom >= LBPoint.y)
      out.bottom += dH;
    else if (R.top >= LBPoint.y && R.bottom > LBPoint.y)
      out = Rect(R.left, R.top + dH, R.right, R.bottom + dH);
    return out;
  default: return out;
  }
}
