// The caption object of a skinned frame.
#include "skin/frame/SkinFrameCaption.h"

#include <algorithm>

#include "skin/foundation/SkinData.h"
#include "skin/foundation/SkinDrawUtils.h"
#include "skin/foundation/SkinEffectBmp.h"
#include "skin/foundation/SkinEffects.h"
#include "skin/foundation/SkinStrings.h"
#include "skin/foundation/SkinStripImages.h"
#include "skin/frame/SkinnedForm.h"
#include "skin/input/SkinMenuItem.h"

namespace {

// One line as it stands: no mnemonic, no tab expansion.
constexpr UINT TextFlags = DT_SINGLELINE | DT_NOPREFIX | DT_NOCLIP | DT_LEFT | DT_TOP;

void ApplyInactiveEffect(TskEffectBmp* B, TskInactiveEffect Kind)
{
  switch (Kind) {
  case ieBrightness: B->ChangeBrightness(0.5); break;
  case ieDarkness: B->ChangeDarkness(0.3); break;
  case ieGrayScale: B->GrayScale(); break;
  case ieNoise: B->AddNoise(50); break;
  case ieSplitBlur: B->SplitBlur(1); break;
  case ieInvert: B->Invert(); break;
  }
}

} // namespace

TskSkinCaptionObject::TskSkinCaptionObject(TskSkinnedForm* AParent, TskDataSkinCaption* Data)
    : TskActiveSkinObject(AParent, Data)
{
  if (!Data)
    return;
  if (!Data->fontname.empty())
    FontName = Data->fontname;
  FontStyle = Data->fontstyle;
  FontHeight = Data->fontheight > 0 ? Data->fontheight : 14;
  FontColor = Data->fontcolor;
  ActiveFontColor = Data->activefontcolor;
  ShadowColor = Data->shadowcolor;
  ActiveShadowColor = Data->activeshadowcolor;
  Shadow = Data->shadow;
  Alignment = Data->alignment;
  TextRect = Data->textrect;
  DefaultCaption = Data->defaultcaption;
  FrameRect = Data->framerect;
  ActiveFrameRect = Data->activeframerect;
  FrameLeftOffset = Data->frameleftoffset;
  FrameRightOffset = Data->framerightoffset;
  FrameTextRect = Data->frametextrect;
  LightColor = Data->lightcolor;
  ActiveLightColor = Data->activelightcolor;
  Light = Data->light;
  StretchEffect = Data->stretcheffect;
  AnimateSkinRect = Data->animateskinrect;
  FrameCount = std::max(0, Data->framecount);
  AnimateInterval = Data->animateinterval;
  InActiveAnimation = Data->inactiveanimation;
  FullFrame = Data->fullframe;
  VistaGlowEffect = Data->vistagloweffect;
  VistaGlowInActiveEffect = Data->vistaglowinactiveeffect;
  GlowEffect = Data->gloweffect;
  GlowInActiveEffect = Data->glowinactiveeffect;
  GlowSize = Data->glowsize;
  GlowColor = Data->glowcolor;
  GlowActiveColor = Data->glowactivecolor;
  GlowOffset = Data->glowoffset;
  ReflectionEffect = Data->reflectioneffect;
  ReflectionColor = Data->reflactioncolor;
  ReflectionActiveColor = Data->reflactionactivecolor;
  ReflectionOffset = Data->reflectionoffset;
}

void TskSkinCaptionObject::SetText(const String& Value)
{
  Text = Value;
  Parent->DrawObject(this);
}

bool TskSkinCaptionObject::HasActivityAnimation() const
{
  TskSkinData* skin = Parent->GetSkinData();
  return skin && skin->EnableSkinEffects && !skin->Empty && !IsNullRect(AnimateSkinRect) && FrameCount > 0;
}

void TskSkinCaptionObject::MouseDown(int X, int Y, TMouseButton Button)
{
  if (!Parent->GetSupportNCArea() && Parent->GetSkinWindowState() != wsMaximized)
    Parent->DragStart(X, Y);
  if (Parent->OnMouseDownEvent)
    Parent->OnMouseDownEvent(IDName, X, Y, ObjectRect, Button);
}

void TskSkinCaptionObject::MouseUp(int X, int Y, TMouseButton Button)
{
  if (!Parent->GetSupportNCArea())
    Parent->DragStop();
  if (Parent->OnMouseUpEvent)
    Parent->OnMouseUpEvent(IDName, X, Y, ObjectRect, Button);
}

void TskSkinCaptionObject::MouseEnter()
{
  MouseIn = true;
  if (Parent->OnMouseEnterEvent)
    Parent->OnMouseEnterEvent(IDName);
}

void TskSkinCaptionObject::MouseLeave()
{
  MouseIn = false;
  if (Parent->OnMouseLeaveEvent)
    Parent->OnMouseLeaveEvent(IDName);
}

int TskSkinCaptionObject::StretchKind() const
{
  if (RectWidth(ObjectRect) == RectWidth(SkinRect) && RectHeight(ObjectRect) == RectHeight(SkinRect))
    return 0;
  TskSkinData* skin = Parent->GetSkinData();
  if (!skin)
    return 0;
  if (SkinRect.top <= skin->lefttoppoint.y && SkinRect.bottom < skin->righttoppoint.y)
    return 1;
  if (SkinRect.top >= skin->leftbottompoint.y && SkinRect.bottom > skin->rightbottompoint.y)
    return 2;
  if (SkinRect.top <= skin->lefttoppoint.y && SkinRect.bottom > skin->leftbottompoint.y)
    return 3;
  return 4;
}

TRect TskSkinCaptionObject::TextArea() const
{
  TRect ta = TextRect;
  if (!IsNullRect(TextRect))
    ta.right = RectWidth(ObjectRect) + TextRect.right - RectWidth(SkinRect);
  if (!IsNullRect(FrameRect)) {
    ta.left += FrameTextRect.left;
    ta.top += FrameTextRect.top;
    ta.right += FrameTextRect.right - RectWidth(FrameRect);
  }
  return ta;
}

void TskSkinCaptionObject::SetFont(TCanvas* Cnvs, TColor Color)
{
  TFont* font = Cnvs->GetFont();
  font->SetName(FontName);
  font->SetStyle(FontStyle);
  font->SetHeight(FontHeight);
  font->SetColor(Color);
  TskSkinData* skin = Parent->GetSkinData();
  if (skin && skin->GetResourceStrData())
    font->SetCharset(skin->GetResourceStrData()->CharSet);
  else
    font->SetCharset(Parent->GetDefCaptionFont()->GetCharset());
}

String TskSkinCaptionObject::FormText() const { return Parent->CaptionText(); }

TPoint TskSkinCaptionObject::TextOrigin(TCanvas* Cnvs, const String& AText)
{
  const TRect ta = TextArea();
  WideString text = MenuTextToWide(AText);
  EllipsizeTextW(Cnvs, text, RectWidth(ta));
  const int w = TextWidthW(Cnvs, text), h = TextHeightW(Cnvs, text);
  const int y = ta.top + RectHeight(ta) / 2 - h / 2;
  int x = ta.left;
  if (Alignment == taRightJustify)
    x = ta.right - w;
  else if (Alignment == taCenter)
    x = ta.left + RectWidth(ta) / 2 - w / 2;
  return TPoint{x, y};
}

void TskSkinCaptionObject::DrawText(TCanvas* Cnvs, TCanvas* DrawCanvas, int OX, int OY, bool F, TColor Color)
{
  const String formText = FormText();
  if (Parent->OnCaptionPaint) {
    Parent->OnCaptionPaint(DrawCanvas, ObjectRect, F);
    return;
  }
  const TRect ta = TextArea();
  if (formText.empty() || IsNullRect(TextRect) || RectWidth(ta) <= 0)
    return;
  SetFont(Cnvs, Color);
  WideString text = MenuTextToWide(formText);
  EllipsizeTextW(Cnvs, text, RectWidth(ta));
  const int w = TextWidthW(Cnvs, text), h = TextHeightW(Cnvs, text);
  const TPoint origin = TextOrigin(Cnvs, formText);
  const int x = origin.x + OX, y = origin.y + OY;
  Cnvs->GetBrush()->SetStyle(bsClear);
  if (!IsNullRect(FrameRect)) {
    const TRect frame = F && !IsNullRect(ActiveFrameRect) ? ActiveFrameRect : FrameRect;
    TBitmap strip;
    TskSkinData* skin = Parent->GetSkinData();
    if (FullFrame) {
      const int width = RectWidth(ObjectRect) - 2 * skin->buttonsoffset;
      if (width > 0) {
        BuildHorzSkinBitmap(FrameLeftOffset, FrameRightOffset, &strip, ActivePicture, frame, width,
                            RectHeight(frame), false);
        Cnvs->Draw(OX + skin->buttonsoffset, y - FrameTextRect.top, &strip);
      }
    } else {
      const int width = RectWidth(FrameRect) + w - RectWidth(FrameTextRect);
      if (width > 0) {
        BuildHorzSkinBitmap(FrameLeftOffset, FrameRightOffset, &strip, ActivePicture, frame, width,
                            RectHeight(frame), false);
        Cnvs->Draw(x - FrameTextRect.left, y - FrameTextRect.top, &strip);
      }
    }
    Cnvs->GetBrush()->SetStyle(bsClear);
  }
  auto plain = [&](int Px, int Py) {
    TRect r = Rect(Px, Py, Px + w, Py + h);
    DrawWideText(Cnvs, text, r, TextFlags);
  };
  if (Light) {
    Cnvs->GetFont()->SetColor(F ? ActiveLightColor : LightColor);
    plain(x - 1, y - 1);
    Cnvs->GetFont()->SetColor(Color);
  }
  if (Shadow) {
    Cnvs->GetFont()->SetColor(F ? ActiveShadowColor : ShadowColor);
    plain(x + 1, y + 1);
    Cnvs->GetFont()->SetColor(Color);
  }
  const TRect r = Rect(x, y, x + w, y + h);
  if (ReflectionEffect) {
    DrawReflectionTextW(Cnvs, r, text, TextFlags, ReflectionOffset, F ? ReflectionActiveColor : ReflectionColor);
  } else if (VistaGlowEffect) {
    if (F || VistaGlowInActiveEffect)
      DrawCaptionGlowTextW(Cnvs, r, text, TextFlags, F ? GlowActiveColor : GlowColor);
    else
      plain(x, y);
  } else if (GlowEffect) {
    if (F || GlowInActiveEffect)
      DrawShadowTextW(Cnvs, r, text, TextFlags, GlowOffset, F ? GlowActiveColor : GlowColor, GlowSize);
    else
      plain(x, y);
  } else {
    plain(x, y);
  }
}

void TskSkinCaptionObject::BuildBackground(TBitmap* B, TBitmap* P, const TRect& R, bool HorizontalOnly)
{
  const int w = std::max(0, RectWidth(ObjectRect)), h = std::max(0, RectHeight(ObjectRect));
  B->SetSize(w, h);
  if (!P || P->Empty() || IsNullRect(R) || w == 0 || h == 0)
    return;
  TskSkinData* skin = Parent->GetSkinData();
  if (!Parent->IsStretchableSkin() || !skin) {
    CopyToBitmap(B, P, R);
    return;
  }
  const int k = StretchKind();
  int a = 0, b = 0;
  const bool vertical = k >= 3 && !HorizontalOnly;
  if (vertical) {
    a = k == 3 ? skin->lefttoppoint.y - SkinRect.top : skin->righttoppoint.y - SkinRect.top;
    b = k == 3 ? SkinRect.bottom - skin->leftbottompoint.y : SkinRect.bottom - skin->rightbottompoint.y;
  } else if (k == 1) {
    a = skin->lefttoppoint.x - SkinRect.left;
    b = SkinRect.right - skin->righttoppoint.x;
  } else if (k == 2) {
    a = skin->leftbottompoint.x - SkinRect.left;
    b = SkinRect.right - skin->rightbottompoint.x;
  }
  a = std::max(0, a);
  b = std::max(0, b);
  if (a == 0 && b == 0) {
    CopyToBitmap(B, P, R);
    return;
  }
  TBitmap built;
  if (vertical)
    BuildVertSkinBitmap(a, b, &built, P, R, w, h, StretchEffect);
  else
    BuildHorzSkinBitmap(a, b, &built, P, R, w, h, StretchEffect);
  B->GetCanvas()->CopyRect(Rect(0, 0, w, h), built.GetCanvas(), Rect(0, 0, built.GetWidth(), built.GetHeight()));
}

void TskSkinCaptionObject::BuildImage(TBitmap* B, TCanvas* DrawCanvas, TBitmap* P, const TRect& R, TColor Color,
                                      bool F)
{
  BuildBackground(B, P, R, false);
  if (!B->Empty())
    DrawText(B->GetCanvas(), DrawCanvas, 0, 0, F, Color);
}

void TskSkinCaptionObject::DrawImage(TCanvas* Cnvs, TBitmap* B, bool Effect)
{
  if (B->Empty())
    return;
  if (!Effect) {
    Cnvs->Draw(ObjectRect.left, ObjectRect.top, B);
    return;
  }
  auto e = TskEffectBmp::CreateFromBitmap(B->GetHandle());
  ApplyInactiveEffect(e.get(), Parent->GetSkinData()->inactiveeffect);
  e->Draw(Cnvs->GetHandle(), ObjectRect.left, ObjectRect.top);
}

void TskSkinCaptionObject::Draw(TCanvas* Cnvs, bool Alone)
{
  if (!SkinReady() || IsNullRect(ObjectRect))
    return;
  Active = Parent->IsFormActive();
  const bool clientDrawn = !Parent->GetSupportNCArea();
  const bool effect = Parent->GetAutoRenderInactive() && !Active;
  // The activity frame.
  if (HasActivityAnimation() && AnimFrame >= 1 && AnimFrame <= FrameCount) {
    TRect f = AnimateSkinRect;
    if (RectHeight(AnimateSkinRect) > RectHeight(SkinRect)) {
      const int fh = RectHeight(AnimateSkinRect) / FrameCount;
      f = Rect(f.left, f.top + (AnimFrame - 1) * fh, f.right, f.top + AnimFrame * fh);
    } else {
      const int fw = RectWidth(AnimateSkinRect) / FrameCount;
      f = Rect(f.left + (AnimFrame - 1) * fw, f.top, f.left + AnimFrame * fw, f.bottom);
    }
    TBitmap b;
    BuildBackground(&b, ActivePicture, f, !clientDrawn);
    if (!b.Empty())
      DrawText(b.GetCanvas(), Cnvs, 0, 0, !Active, Active ? FontColor : ActiveFontColor);
    DrawImage(Cnvs, &b, false);
    return;
  }
  if (clientDrawn || !IsNullRect(ActiveSkinRect)) {
    if (!IsNullRect(ActiveSkinRect) && (Active || (MorphFactor != 0 && EnableMorphing()))) {
      TBitmap active;
      BuildImage(&active, Cnvs, ActivePicture, ActiveSkinRect, ActiveFontColor, true);
      if ((MorphFactor == 0 && Active && !EnableMorphing()) || (Active && MorphFactor == 1)) {
        DrawImage(Cnvs, &active, false);
        return;
      }
      TBitmap normal;
      BuildImage(&normal, Cnvs, Picture, SkinRect, FontColor, false);
      if (normal.Empty() || active.Empty())
        return;
      auto a = TskEffectBmp::CreateFromBitmap(normal.GetHandle());
      auto b = TskEffectBmp::CreateFromBitmap(active.GetHandle());
      MorphByKind(a.get(), b.get(), MorphKind, MorphFactor);
      if (effect)
        ApplyInactiveEffect(a.get(), Parent->GetSkinData()->inactiveeffect);
      a->Draw(Cnvs->GetHandle(), ObjectRect.left, ObjectRect.top);
      return;
    }
    if (Alone) {
      TBitmap b;
      BuildImage(&b, Cnvs, Picture, SkinRect, Active ? ActiveFontColor : FontColor, Active);
      DrawImage(Cnvs, &b, effect);
      return;
    }
  }
  if (Alone) {
    // Redrawn by itself: the frame's own picture goes under the new text first.
    TBitmap b;
    BuildBackground(&b, Picture, SkinRect, false);
    DrawImage(Cnvs, &b, false);
  }
  DrawText(Cnvs, Cnvs, ObjectRect.left, ObjectRect.top, Active, Active ? ActiveFontColor : FontColor);
}
