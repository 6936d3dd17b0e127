#include "skin/controls/SkinLabel.h"

#include "skin/controls/ComponentReference.h"
#include "skin/foundation/SkinDrawUtils.h"
#include "skin/foundation/SkinEffects.h"
#include "skin/foundation/SkinImages.h"
#include "skin/foundation/SkinLayered.h"

// ---------------------------------------------------------------------------------------------
// TskSkinLabel

TskSkinLabel::TskSkinLabel(TComponent* AOwner) : TskSkinCustomControl(AOwner)
{
  SetSkinDataName("label");
  SetBounds(GetLeft(), GetTop(), 75, 21);
}

void TskSkinLabel::SetShadowEffect(bool Value)
{
  if (FShadowEffect == Value)
    return;
  FShadowEffect = Value;
  Repaint();
}

void TskSkinLabel::SetShadowColor(TColor Value)
{
  if (FShadowColor == Value)
    return;
  FShadowColor = Value;
  Repaint();
}

void TskSkinLabel::SetShadowOffset(int Value)
{
  if (FShadowOffset == Value)
    return;
  FShadowOffset = Value;
  Repaint();
}

void TskSkinLabel::SetShadowSize(int Value)
{
  if (FShadowSize == Value)
    return;
  FShadowSize = Value;
  Repaint();
}

void TskSkinLabel::SetReflectionEffect(bool Value)
{
  if (FReflectionEffect == Value)
    return;
  FReflectionEffect = Value;
  Repaint();
}

void TskSkinLabel::SetReflectionOffset(int Value)
{
  if (FReflectionOffset == Value)
    return;
  FReflectionOffset = Value;
  Repaint();
}

void TskSkinLabel::SetEllipsType(TskEllipsType2 Value)
{
  if (FEllipsType == Value)
    return;
  FEllipsType = Value;
  Invalidate();
}

void TskSkinLabel::SetBorderStyle(TskSkinBorderStyle Value)
{
  FBorderStyle = Value;
  if (!Skinned()) {
    Repaint();
    Realign();
  }
}

void TskSkinLabel::SetAlignment(TAlignment Value)
{
  if (FAlignment == Value)
    return;
  FAlignment = Value;
  Repaint();
}

void TskSkinLabel::SetAutoSize(bool Value)
{
  FAutoSize = Value;
  if (Value)
    AdjustAutoSize();
}

// --- skin and size ---------------------------------------------------------------------------

void TskSkinLabel::GetSkinData()
{
  TskSkinCustomControl::GetSkinData();
  if (!Skinned())
    return;
  if (auto* record = dynamic_cast<TskDataSkinLabelControl*>(SkinControlRecord(FSkinData, FIndex))) {
    FFontName = record->fontname;
    FFontColor = record->fontcolor;
    FFontStyle = record->fontstyle;
    FFontHeight = record->fontheight;
  }
  // A fixed-size skin cannot follow the caption.
  if (ResizeMode == 0)
    FAutoSize = false;
}

void TskSkinLabel::CalcSize(int& W, int& H)
{
  if (FUseSkinSize || ResizeMode == 1 || !Skinned()) {
    TskSkinCustomControl::CalcSize(W, H);
  } else {
    // Free size: the picture stretches sideways only and the label keeps any height.
    const int dW = W - RectWidth(SkinRect);
    NewLTPoint = LTPoint;
    NewRTPoint = Point(RTPoint.x + dW, RTPoint.y);
    NewClRect = ClRect;
    NewClRect.right += dW;
  }
  if (FAutoSize) {
    const int grow = CalcAutoSizeWidth();
    if (grow > 0)
      W += grow;
  }
}

int TskSkinLabel::CalcAutoSizeWidth()
{
  TCanvas* canvas = GetCanvas();
  const String caption = GetCaption();
  if (!Skinned()) {
    canvas->GetFont()->Assign(GetDefaultFont());
    return canvas->TextWidth(caption) + 4 - GetWidth();
  }
  SetLabelFont(canvas);
  if (ResizeMode == 0)
    return 0;
  return canvas->TextWidth(caption) - RectWidth(NewClRect);
}

void TskSkinLabel::AdjustAutoSize()
{
  const TAlign align = GetAlign();
  if (align == alTop || align == alBottom || align == alClient)
    return;
  GetSkinData();
  if (Skinned()) {
    // The client rectangle for the current width, without the growth CalcSize would add.
    const bool autoSize = FAutoSize;
    FAutoSize = false;
    int w = GetWidth(), h = GetHeight();
    CalcSize(w, h);
    FAutoSize = autoSize;
  }
  const int change = CalcAutoSizeWidth();
  if (change != 0)
    SetWidth(GetWidth() + change);
}

void TskSkinLabel::SetControlRegion()
{
  if (FUseSkinSize)
    TskSkinCustomControl::SetControlRegion();
}

// --- painting --------------------------------------------------------------------------------

void TskSkinLabel::SetLabelFont(TCanvas* Canvas)
{
  TFont* font = Canvas->GetFont();
  if (Skinned() && GetUseSkinFont()) {
    font->SetName(FFontName);
    font->SetStyle(FFontStyle);
    font->SetHeight(FFontHeight);
  } else {
    font->Assign(GetDefaultFont());
  }
  if (FSkinData && FSkinData->GetResourceStrData())
    font->SetCharset(FSkinData->GetResourceStrData()->CharSet);
  else
    font->SetCharset(GetDefaultFont()->GetCharset());
}

namespace {

UINT AlignFlag(TAlignment A)
{
  switch (A) {
  case taRightJustify: return DT_RIGHT;
  case taCenter: return DT_CENTER;
  default: return DT_LEFT;
  }
}

} // namespace

void TskSkinLabel::DrawLabelText(TCanvas* Canvas, TRect R)
{
  SetLabelFont(Canvas);
  TFont* font = Canvas->GetFont();
  if (Skinned())
    font->SetColor(FFontColor);
  String caption = GetCaption();
  if (FEllipsType == spetEllips)
    EllipsizeText(Canvas, caption, RectWidth(R));
  const int tw = Canvas->TextWidth(caption);
  const int y = R.top + RectHeight(R) / 2 - Canvas->TextHeight(caption) / 2;
  int x = R.left;
  if (FAlignment == taRightJustify)
    x = R.right - tw;
  else if (FAlignment == taCenter)
    x = R.left + RectWidth(R) / 2 - tw / 2;
  Canvas->GetBrush()->SetStyle(bsClear);
  if (!FUseSkinFontColor)
    font->SetColor(GetDefaultFont()->GetColor());
  if (FShadowEffect) {
    const TColor shadow = Skinned() && FUseSkinFontColor && FSkinData->SkinColors
                              ? DarkenColor(FSkinData->SkinColors->cbtnface, 70)
                              : FShadowColor;
    R.top = y;
    DrawShadowText(Canvas, R, caption, AlignFlag(FAlignment), FShadowOffset, shadow, FShadowSize);
  } else if (FReflectionEffect) {
    DrawReflectionText(Canvas, R, caption, AlignFlag(FAlignment), FReflectionOffset, font->GetColor());
  } else {
    Canvas->TextRect(R, x, y, caption);
  }
}

void TskSkinLabel::CreateControlDefaultImage(TBitmap* B)
{
  TskSkinCustomControl::CreateControlDefaultImage(B);
  TCanvas* c = B->GetCanvas();
  const TRect client = Rect(0, 0, GetWidth(), GetHeight());
  switch (FBorderStyle) {
  case TskSkinBorderStyle::bvFrame: DrawBevelFrame(c, client, clBtnShadow, clBtnShadow); break;
  case TskSkinBorderStyle::bvRaised: DrawBevelFrame(c, client, clBtnHighlight, clBtnShadow); break;
  case TskSkinBorderStyle::bvLowered: DrawBevelFrame(c, client, clBtnShadow, clBtnHighlight); break;
  case TskSkinBorderStyle::bvNone: break;
  }
  DrawLabelText(c, Rect(3, 3, GetWidth() - 3, GetHeight() - 3));
}

void TskSkinLabel::CreateControlSkinImage(TBitmap* B)
{
  if (FUseSkinSize || ResizeMode == 1) {
    TskSkinCustomControl::CreateControlSkinImage(B);
    DrawLabelText(B->GetCanvas(), NewClRect);
    return;
  }
  if (Picture && !Picture->Empty())
    BuildSkinBitmap(B, Picture, SkinRect, ClRect, true);
  TRect R = NewClRect;
  R.bottom += GetHeight() - RectHeight(SkinRect);
  DrawLabelText(B->GetCanvas(), R);
}

void TskSkinLabel::WMEraseBkgnd(TMessage& Message)
{
  if (!InWMPaint && Message.WParam)
    PaintWindow(reinterpret_cast<HDC>(Message.WParam));
  Message.Result = 1;
}

void TskSkinLabel::CMTextChanged(TMessage& Message)
{
  TskSkinCustomControl::CMTextChanged(Message);
  if (FAutoSize)
    AdjustAutoSize();
  Repaint();
}

// ---------------------------------------------------------------------------------------------
// TskSkinStatusPanel

TskSkinStatusPanel::TskSkinStatusPanel(TComponent* AOwner) : TskSkinLabel(AOwner), FGlyph(std::make_unique<TBitmap>())
{
  SetSkinDataName("statuspanel");
  SetWidth(120);
}

TskSkinStatusPanel::~TskSkinStatusPanel()
{
  if (FImageList)
    FImageList->RemoveFreeNotification(this);
}

void TskSkinStatusPanel::SetImageList(TCustomImageList* Value)
{
  if (SetComponentReference(this, FImageList, Value))
    Repaint();
}

void TskSkinStatusPanel::SetImageIndex(int Value)
{
  if (FImageIndex == Value)
    return;
  FImageIndex = Value;
  Repaint();
}

void TskSkinStatusPanel::SetGlyph(TBitmap* Value)
{
  if (Value)
    FGlyph->Assign(Value);
  else
    FGlyph = std::make_unique<TBitmap>();
  Repaint();
  if (GetAutoSize())
    AdjustAutoSize();
}

void TskSkinStatusPanel::SetNumGlyphs(int Value)
{
  if (Value < 1 || Value > 2)
    return;
  FNumGlyphs = Value;
  Repaint();
  if (GetAutoSize())
    AdjustAutoSize();
}

void TskSkinStatusPanel::Notification(TComponent* AComponent, TOperation Operation)
{
  TskSkinLabel::Notification(AComponent, Operation);
  if (Operation == opRemove && AComponent == FImageList)
    FImageList = nullptr;
}

bool TskSkinStatusPanel::HasImage() const
{
  return !HasGlyph() && FImageList && FImageIndex >= 0 && FImageIndex < FImageList->GetCount();
}

int TskSkinStatusPanel::CalcAutoSizeWidth()
{
  int change = TskSkinLabel::CalcAutoSizeWidth();
  if (Skinned() && ResizeMode == 0)
    return change;
  if (HasImage())
    change += FImageList->GetWidth() + 3;
  else if (HasGlyph())
    change += FGlyph->GetWidth() / FNumGlyphs + 3;
  return change;
}

void TskSkinStatusPanel::DrawImage(TCanvas* Canvas, TRect& R)
{
  if (HasImage()) {
    FImageList->Draw(Canvas, R.left, R.top + RectHeight(R) / 2 - FImageList->GetHeight() / 2, FImageIndex,
                     GetEnabled());
    R.left += FImageList->GetWidth() + 2;
  } else if (HasGlyph()) {
    const int cell = !GetEnabled() && FNumGlyphs == 2 ? 2 : 1;
    DrawGlyphStripFrame(Canvas, R.left, R.top + RectHeight(R) / 2 - FGlyph->GetHeight() / 2, FGlyph.get(), FNumGlyphs,
                        cell);
    R.left += FGlyph->GetWidth() / FNumGlyphs + 2;
  }
}

void TskSkinStatusPanel::CreateControlDefaultImage(TBitmap* B)
{
  TCanvas* c = B->GetCanvas();
  const TRect client = Rect(0, 0, GetWidth(), GetHeight());
  c->GetBrush()->SetStyle(bsSolid);
  c->GetBrush()->SetColor(clBtnFace);
  c->FillRect(client);
  switch (GetBorderStyle()) {
  case TskSkinBorderStyle::bvFrame: DrawBevelFrame(c, client, clBtnShadow, clBtnShadow); break;
  case TskSkinBorderStyle::bvRaised: DrawBevelFrame(c, client, clBtnHighlight, clBtnShadow); break;
  case TskSkinBorderStyle::bvLowered: DrawBevelFrame(c, client, clBtnShadow, clBtnHighlight); break;
  case TskSkinBorderStyle::bvNone: break;
  }
  TRect R = Rect(3, 3, GetWidth() - 3, GetHeight() - 3);
  if (HasImage()) {
    DrawImage(c, R);
  } else if (HasGlyph()) {
    const int cell = !GetEnabled() && FNumGlyphs == 2 ? 2 : 1;
    R.left += FGlyph->GetWidth() / FNumGlyphs + 2;
    DrawGlyphStripFrame(c, 3, B->GetHeight() / 2 - FGlyph->GetHeight() / 2, FGlyph.get(), FNumGlyphs, cell);
  }
  DrawLabelText(c, R);
}

void TskSkinStatusPanel::CreateControlSkinImage(TBitmap* B)
{
  CreateSkinImage(B, Picture, SkinRect);
  TRect R = NewClRect;
  DrawImage(B->GetCanvas(), R);
  DrawLabelText(B->GetCanvas(), R);
}

void TskSkinStatusPanel::CMEnabledChanged(TMessage& Message)
{
  TskSkinLabel::CMEnabledChanged(Message);
  Repaint();
}
