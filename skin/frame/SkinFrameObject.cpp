// The shared base of the frame objects and the plain user object.
#include "skin/frame/SkinFrameObject.h"

#include <algorithm>

#include "skin/foundation/SkinData.h"
#include "skin/foundation/SkinDrawUtils.h"
#include "skin/foundation/SkinEffectBmp.h"
#include "skin/foundation/SkinLayered.h"
#include "skin/frame/SkinnedForm.h"

TBitmap* SkinActivePictureAt(TskSkinData* Skin, int Index)
{
  if (!Skin || Index < 0 || Index >= static_cast<int>(Skin->ActivePictures.size()))
    return nullptr;
  return Skin->ActivePictures[static_cast<std::size_t>(Index)];
}

void MorphByKind(TskEffectBmp* A, const TskEffectBmp* B, TskMorphKind Kind, double X)
{
  switch (Kind) {
  case mkDefault: A->Morph(B, X); break;
  case mkGradient: A->MorphGradient(B, X); break;
  case mkLeftGradient: A->MorphLeftGradient(B, X); break;
  case mkRightGradient: A->MorphRightGradient(B, X); break;
  case mkLeftSlide: A->MorphLeftSlide(B, X); break;
  case mkRightSlide: A->MorphRightSlide(B, X); break;
  case mkPush: A->MorphPush(B, X); break;
  }
}

TskActiveSkinObject::TskActiveSkinObject(TskSkinnedForm* AParent, TskDataSkinObject* Data) : Parent(AParent)
{
  SkinData = AParent->GetSkinData();
  if (!Data)
    return;
  TskSkinData* skin = SkinData;
  IDName = Data->RecordName;
  Hint = Data->hint;
  RollUp = Data->rollup;
  if (skin)
    Picture = RollUp ? skin->rolluppicture : skin->picture;
  ActivePicture = SkinActivePictureAt(skin, Data->activepictureindex);
  ActiveMaskPicture = SkinActivePictureAt(skin, Data->activemaskpictureindex);
  SkinRect = Data->skinrect;
  // Without an active picture there is no active look.
  ActiveSkinRect = ActivePicture ? Data->activeskinrect : TRect{};
  InActiveSkinRect = Data->inactiveskinrect;
  Morphing = Data->morphing;
  MorphKind = Data->morphkind;
  ObjectRect = SkinRect;
  CursorIndex = Data->cursorindex;
  SkinRectInAPicture = Data->skinrectinapicture;
  GlowLayerPictureIndex = Data->glowlayerpictureindex;
  GlowLayerMaskPictureIndex = Data->glowlayermaskpictureindex;
  GlowLayerOffsetX = Data->glowlayeroffsetx;
  GlowLayerOffsetY = Data->glowlayeroffsety;
  GlowLayerAlphaBlendValue = static_cast<Byte>(std::clamp(Data->glowlayeralphablendvalue, 0, 255));
}

bool TskActiveSkinObject::SkinReady() const { return Parent->GetSkinData() && !Parent->GetSkinData()->Empty; }

bool TskActiveSkinObject::EnableMorphing() const
{
  return Morphing && Parent->GetSkinData() && Parent->GetSkinData()->EnableSkinEffects;
}

bool TskActiveSkinObject::InActiveArea(int X, int Y)
{
  if (!SkinReady() || !ActiveMaskPicture || ActiveMaskPicture->Empty())
    return true;
  // A point on or past the mask's right or bottom edge reads no pixel: not in the area.
  if (X < 0 || Y < 0 || X >= ActiveMaskPicture->GetWidth() || Y >= ActiveMaskPicture->GetHeight())
    return false;
  return (ActiveMaskPicture->GetCanvas()->GetPixels(X, Y) & 0xFFFFFF) == 0;
}

TRect TskActiveSkinObject::ScreenObjectRect() const
{
  TRect r = ObjectRect;
  const TPoint origin = Parent->FrameScreenOrigin();
  OffsetRect(&r, origin.x, origin.y);
  return r;
}

TskLayerManager* TskActiveSkinObject::GlowManager() const { return Parent->GetLayerManager(0); }

bool TskActiveSkinObject::GlowAllowed() const
{
  return SkinReady() && GlowLayerPictureIndex != -1 && SkinSystemFunctions().UpdateLayeredWindow &&
         Parent->GetSkinData()->ShowCaptionButtonGlowFrames;
}

void TskActiveSkinObject::ShowLayer()
{
  if (!GlowAllowed())
    return;
  TBitmap* picture = SkinActivePictureAt(Parent->GetSkinData(), GlowLayerPictureIndex);
  TBitmap* mask = SkinActivePictureAt(Parent->GetSkinData(), GlowLayerMaskPictureIndex);
  // A glow needs its alpha mask of the picture's size; without one nothing is shown.
  if (!picture || !mask || picture->Empty() || picture->GetWidth() != mask->GetWidth() ||
      picture->GetHeight() != mask->GetHeight())
    return;
  TskLayerManager* layers = GlowManager();
  if (!layers)
    return;
  const TRect r = ScreenObjectRect();
  layers->Show(r.left - GlowLayerOffsetX, r.top - GlowLayerOffsetY, picture, mask, GlowLayerAlphaBlendValue);
}

void TskActiveSkinObject::HideLayer()
{
  if (!GlowAllowed())
    return;
  if (TskLayerManager* layers = GlowManager())
    layers->Hide();
}

void TskActiveSkinObject::CopyLook(TCanvas* Cnvs, TBitmap* Bitmap, const TRect& Source)
{
  if (!Bitmap || Bitmap->Empty() || IsNullRect(Source) || IsNullRect(ObjectRect))
    return;
  Cnvs->CopyRect(ObjectRect, Bitmap->GetCanvas(), Source);
}

void TskActiveSkinObject::CopyToBitmap(TBitmap* Target, TBitmap* Bitmap, const TRect& Source)
{
  if (!Bitmap || Bitmap->Empty() || IsNullRect(Source) || Target->Empty())
    return;
  Target->GetCanvas()->CopyRect(Rect(0, 0, Target->GetWidth(), Target->GetHeight()), Bitmap->GetCanvas(), Source);
}

void TskActiveSkinObject::DrawMorph(TCanvas* Cnvs, TBitmap* Normal, TBitmap* ActiveLook)
{
  if (Normal->Empty() || ActiveLook->Empty())
    return;
  auto a = TskEffectBmp::CreateFromBitmap(Normal->GetHandle());
  auto b = TskEffectBmp::CreateFromBitmap(ActiveLook->GetHandle());
  MorphByKind(a.get(), b.get(), MorphKind, MorphFactor);
  a->Draw(Cnvs->GetHandle(), ObjectRect.left, ObjectRect.top);
}

void TskActiveSkinObject::Draw(TCanvas* Cnvs, bool Alone)
{
  if (!SkinReady())
    return;
  if (Enabled && !Parent->IsFormActive() && !IsNullRect(InActiveSkinRect)) {
    CopyLook(Cnvs, ActivePicture, InActiveSkinRect);
    return;
  }
  if (EnableMorphing() && MorphUnderWay() && !IsNullRect(ObjectRect)) {
    TBitmap normal, active;
    normal.SetSize(RectWidth(ObjectRect), RectHeight(ObjectRect));
    active.SetSize(RectWidth(ObjectRect), RectHeight(ObjectRect));
    CopyToBitmap(&normal, SkinRectInAPicture ? ActivePicture : Picture, SkinRect);
    CopyToBitmap(&active, ActivePicture, ActiveSkinRect);
    DrawMorph(Cnvs, &normal, &active);
    return;
  }
  if (Active && !IsNullRect(ActiveSkinRect)) {
    CopyLook(Cnvs, ActivePicture, ActiveSkinRect);
    return;
  }
  if (!Alone && !SkinRectInAPicture)
    return;
  CopyLook(Cnvs, SkinRectInAPicture ? ActivePicture : Picture, SkinRect);
}

void TskActiveSkinObject::ReDraw()
{
  if (EnableMorphing())
    Parent->StartMorphTimer();
  else
    Parent->DrawObject(this);
}

void TskActiveSkinObject::MorphStep()
{
  MorphFactor = std::clamp(MorphFactor + (Active ? 0.2 : -0.2), 0.0, 1.0);
  Parent->DrawObject(this);
}

bool TskActiveSkinObject::CanMorphing() { return (Active && MorphFactor < 1) || (!Active && MorphFactor > 0); }

void TskActiveSkinObject::MouseDown(int X, int Y, TMouseButton Button)
{
  if (Parent->OnMouseDownEvent)
    Parent->OnMouseDownEvent(IDName, X, Y, ObjectRect, Button);
}

void TskActiveSkinObject::MouseUp(int X, int Y, TMouseButton Button)
{
  if (MouseIn && Parent->OnMouseUpEvent)
    Parent->OnMouseUpEvent(IDName, X, Y, ObjectRect, Button);
}

void TskActiveSkinObject::MouseMove(int X, int Y)
{
  if (Parent->OnMouseMoveEvent)
    Parent->OnMouseMoveEvent(IDName, X, Y, ObjectRect);
}

void TskActiveSkinObject::MouseEnter()
{
  MouseIn = true;
  Active = true;
  if (!IsNullRect(ActiveSkinRect))
    ReDraw();
  if (Parent->OnMouseEnterEvent)
    Parent->OnMouseEnterEvent(IDName);
  ShowLayer();
}

void TskActiveSkinObject::MouseLeave()
{
  MouseIn = false;
  Active = false;
  if (!IsNullRect(ActiveSkinRect))
    ReDraw();
  if (Parent->OnMouseLeaveEvent)
    Parent->OnMouseLeaveEvent(IDName);
  HideLayer();
}

void TskUserObject::Draw(TCanvas* Cnvs, bool)
{
  if (Parent->OnPaintEvent)
    Parent->OnPaintEvent(IDName, Cnvs, ObjectRect);
}
