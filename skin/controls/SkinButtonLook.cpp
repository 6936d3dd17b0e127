#include "skin/controls/SkinButtonLook.h"

#include "skin/foundation/SkinEffectBmp.h"
#include "skin/foundation/SkinImages.h"
#include "skin/foundation/SkinRegions.h"

void TskButtonLook::CopyFrom(const TskDataSkinButtonControl* Record, const TRect& SkinRect)
{
  FontName = Record->fontname;
  FontHeight = Record->fontheight;
  FontStyle = Record->fontstyle;
  FontColor = Record->fontcolor;
  ActiveFontColor = Record->activefontcolor;
  DownFontColor = Record->downfontcolor;
  DisabledFontColor = Record->disabledfontcolor;
  if (DisabledFontColor == FontColor)
    DisabledFontColor = DefaultDisabledFontColor;
  ActiveSkinRect = IsNullRect(Record->activeskinrect) ? SkinRect : Record->activeskinrect;
  DownSkinRect = IsNullRect(Record->downskinrect) ? ActiveSkinRect : Record->downskinrect;
  DisabledSkinRect = Record->disabledskinrect;
  FocusedSkinRect = Record->focusedskinrect;
  Morphing = Record->morphing;
  MorphKind = Record->morphkind;
  AnimateSkinRect = Record->animateskinrect;
  FrameCount = Record->framecount;
  AnimateInterval = Record->animateinterval;
  ShowFocus = Record->showfocus;
  GlowLayerPictureIndex = Record->glowlayerpictureindex;
  GlowLayerMaskPictureIndex = Record->glowlayermaskpictureindex;
  GlowLayerOffsetLeft = Record->glowlayeroffsetleft;
  GlowLayerOffsetRight = Record->glowlayeroffsetright;
  GlowLayerOffsetTop = Record->glowlayeroffsettop;
  GlowLayerOffsetBottom = Record->glowlayeroffsetbottom;
  GlowLayerShowOffsetX = Record->glowlayershowoffsetx;
  GlowLayerShowOffsetY = Record->glowlayershowoffsety;
  GlowLayerAlphaBlendValue = Record->glowlayeralphablendvalue;
  MenuMarkerRect = Record->menumarkerrect;
  MenuMarkerActiveRect = IsNullRect(Record->menumarkeractiverect) ? MenuMarkerRect : Record->menumarkeractiverect;
  MenuMarkerDownRect = IsNullRect(Record->menumarkerdownrect) ? MenuMarkerActiveRect : Record->menumarkerdownrect;
  MenuMarkerFlatRect = IsNullRect(Record->menumarkerflatrect) ? MenuMarkerRect : Record->menumarkerflatrect;
  MenuMarkerTransparentColor = Record->menumarkertransparentcolor;
}

int ButtonGlyphNum(bool ADown, bool AMouseIn, int NumGlyphs, bool Enabled)
{
  if (ADown && AMouseIn && NumGlyphs > 2)
    return 3;
  if (AMouseIn && NumGlyphs > 3)
    return 4;
  if (Enabled || NumGlyphs < 2)
    return 1;
  return 2;
}

namespace {

void ApplyCharset(TFont* Font, TskSkinData* SkinData, TFont* DefaultFont)
{
  if (SkinData && SkinData->GetResourceStrData())
    Font->SetCharset(SkinData->GetResourceStrData()->CharSet);
  else if (DefaultFont)
    Font->SetCharset(DefaultFont->GetCharset());
}

} // namespace

void SetButtonFont(TCanvas* Canvas, const TskButtonLook& Look, bool UseSkinFont, TFont* DefaultFont,
                   TskSkinData* SkinData)
{
  TFont* font = Canvas->GetFont();
  if (UseSkinFont) {
    font->SetName(Look.FontName);
    font->SetHeight(Look.FontHeight);
    font->SetStyle(Look.FontStyle);
  } else {
    font->Assign(DefaultFont);
  }
  ApplyCharset(font, SkinData, DefaultFont);
}

TColor ButtonCaptionColor(const TskButtonLook& Look, bool Enabled, bool UseSkinFontColor, TFont* DefaultFont,
                          bool ADown, bool AMouseIn)
{
  if (Enabled && !UseSkinFontColor)
    return DefaultFont->GetColor();
  if (!Enabled)
    return Look.DisabledFontColor;
  if (ADown && AMouseIn)
    return Look.DownFontColor;
  if (AMouseIn)
    return Look.ActiveFontColor;
  return Look.FontColor;
}

void SetDefaultButtonFont(TCanvas* Canvas, TFont* DefaultFont, TskSkinData* SkinData, bool Enabled)
{
  TFont* font = Canvas->GetFont();
  font->Assign(DefaultFont);
  ApplyCharset(font, SkinData, DefaultFont);
  if (!Enabled)
    font->SetColor(clBtnShadow);
}

void DrawDefaultButtonFace(TCanvas* Canvas, const TRect& R, bool Pressed, bool Hot)
{
  TColor frame = clBtnShadow, fill = clBtnFace;
  if (Pressed) {
    frame = DefaultActiveFrame;
    fill = DefaultDownFill;
  } else if (Hot) {
    frame = DefaultActiveFrame;
    fill = DefaultHotFill;
  }
  Canvas->GetBrush()->SetStyle(bsSolid);
  Canvas->GetBrush()->SetColor(fill);
  Canvas->FillRect(R);
  Canvas->GetBrush()->SetColor(frame);
  Canvas->FrameRect(R);
}

TRect BuildFreeSizeButtonImage(const TskSkinGeometry& Geometry, TBitmap* Bitmap, const TRect& R)
{
  const int bw = Bitmap->GetWidth(), bh = Bitmap->GetHeight();
  TBitmap* picture = Geometry.Picture;
  if (picture && !picture->Empty()) {
    switch (Geometry.ResizeMode) {
    case 0:
      if (RectWidth(R) > 0 && RectHeight(R) > 0)
        Bitmap->GetCanvas()->CopyRect(Rect(0, 0, bw, bh), picture->GetCanvas(), R);
      break;
    case 2:
    case 3: BuildSkinBitmap(Bitmap, picture, R, Geometry.ClRect, true); break;
    default: break;
    }
  }
  const TRect& cr = Geometry.ClRect;
  return Rect(cr.left, cr.top, cr.right + bw - RectWidth(R), cr.bottom + bh - RectHeight(R));
}

void DrawMorphedButton(TControl* Control, TCanvas* Canvas, TBitmap* Normal, TBitmap* Active, TskMorphKind Kind,
                       double Factor, bool AlphaBlend, Byte AlphaBlendValue)
{
  auto a = TskEffectBmp::CreateFromBitmap(Normal->GetHandle());
  auto b = TskEffectBmp::CreateFromBitmap(Active->GetHandle());
  switch (Kind) {
  case mkDefault: a->Morph(b.get(), Factor); break;
  case mkGradient: a->MorphGradient(b.get(), Factor); break;
  case mkLeftGradient: a->MorphLeftGradient(b.get(), Factor); break;
  case mkRightGradient: a->MorphRightGradient(b.get(), Factor); break;
  case mkLeftSlide: a->MorphLeftSlide(b.get(), Factor); break;
  case mkRightSlide: a->MorphRightSlide(b.get(), Factor); break;
  case mkPush: a->MorphPush(b.get(), Factor); break;
  }
  if (AlphaBlend) {
    TBitmap background;
    background.SetSize(Normal->GetWidth(), Normal->GetHeight());
    PaintParentBackground(Control, background.GetCanvas());
    auto c = TskEffectBmp::CreateFromBitmap(background.GetHandle());
    a->Morph(c.get(), 1.0 - AlphaBlendValue / 255.0);
  }
  a->Draw(Canvas->GetHandle(), 0, 0);
}
