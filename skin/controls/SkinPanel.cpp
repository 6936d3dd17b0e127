#include "skin/controls/SkinPanel.h"

#include <algorithm>

#include "skin/controls/ComponentReference.h"
#include "skin/foundation/SkinDrawUtils.h"
#include "skin/foundation/SkinGlyphs.h"
#include "skin/foundation/SkinRegions.h"
#include "skin/foundation/SkinStripImages.h"

TskSkinPanel::TskSkinPanel(TComponent* AOwner) : TskSkinCustomControl(AOwner), FGlyph(std::make_unique<TBitmap>())
{
  SetControlStyle(csAcceptsControls | csCaptureMouse | csClickEvents | csSetCaption | csOpaque | csDoubleClicks |
                  csReplicatable);
  DirectFramePaint = true;
  SetSkinDataName("panel");
  SetBounds(GetLeft(), GetTop(), 150, 150);
}

TskSkinPanel::~TskSkinPanel()
{
  if (FCaptionImageList)
    FCaptionImageList->RemoveFreeNotification(this);
}

// --- properties ------------------------------------------------------------------------------

void TskSkinPanel::SetImagePosition(TskImagePosition Value)
{
  if (FImagePosition == Value)
    return;
  FImagePosition = Value;
  Repaint();
}

void TskSkinPanel::SetTransparentMode(bool Value)
{
  if (FTransparentMode == Value)
    return;
  FTransparentMode = Value;
  Repaint();
  if (!Designing() && !(GetComponentState() & csLoading))
    SendParentImageChanged();
}

void TskSkinPanel::SetCaptionImageList(TCustomImageList* Value)
{
  if (SetComponentReference(this, FCaptionImageList, Value))
    Repaint();
}

void TskSkinPanel::SetCaptionImageIndex(int Value)
{
  if (FCaptionImageIndex == Value)
    return;
  FCaptionImageIndex = Value;
  Repaint();
}

void TskSkinPanel::SetCheckedMode(bool Value)
{
  FCheckedMode = Value;
  Repaint();
}

void TskSkinPanel::SetChecked(bool Value)
{
  FChecked = Value;
  if (FCheckedMode)
    Repaint();
  if (FAutoEnabledControls && FCheckedMode)
    for (int i = 0; i < GetControlCount(); ++i)
      GetControl(i)->SetEnabled(Value);
  if (OnChecked) {
    TNotifyEvent handler = OnChecked;
    handler(this);
  }
}

void TskSkinPanel::SetGlyph(TBitmap* Value)
{
  if (Value)
    FGlyph->Assign(Value);
  else
    FGlyph = std::make_unique<TBitmap>();
  Repaint();
}

void TskSkinPanel::SetNumGlyphs(int Value)
{
  if (Value < 1 || Value > 2)
    return;
  FNumGlyphs = Value;
  Repaint();
}

void TskSkinPanel::SetSpacing(int Value)
{
  FSpacing = Value;
  Repaint();
}

void TskSkinPanel::SetDefaultAlignment(TAlignment Value)
{
  FDefaultAlignment = Value;
  if (!Skinned() && FCaptionMode)
    Repaint();
}

void TskSkinPanel::SetRollUpMode(bool Value)
{
  FRollUpMode = Value;
  if (!Skinned() && FCaptionMode)
    Repaint();
}

void TskSkinPanel::SetDefaultCaptionHeight(int Value)
{
  FDefaultCaptionHeight = Value;
  if (!Skinned() && FCaptionMode) {
    Repaint();
    Realign();
  }
}

void TskSkinPanel::SetBorderStyle(TskSkinBorderStyle Value)
{
  FBorderStyle = Value;
  if (!Skinned()) {
    Repaint();
    Realign();
  }
}

void TskSkinPanel::SetCaptionMode(bool Value)
{
  FCaptionMode = Value;
  Repaint();
  Realign();
}

void TskSkinPanel::Notification(TComponent* AComponent, TOperation Operation)
{
  TskSkinCustomControl::Notification(AComponent, Operation);
  if (Operation == opRemove && AComponent == FCaptionImageList)
    FCaptionImageList = nullptr;
}

// --- roll-up ---------------------------------------------------------------------------------

void TskSkinPanel::ShowControls()
{
  // Only the children the roll-up hid come back, and only those that are still children.
  for (int i = 0; i < GetControlCount(); ++i) {
    TControl* child = GetControl(i);
    if (std::find(FHiddenChildren.begin(), FHiddenChildren.end(), child) != FHiddenChildren.end())
      child->SetVisible(true);
  }
  FHiddenChildren.clear();
  EnableAlign();
}

void TskSkinPanel::HideControls()
{
  DisableAlign();
  FHiddenChildren.clear();
  for (int i = 0; i < GetControlCount(); ++i) {
    TControl* child = GetControl(i);
    if (child->GetVisible())
      FHiddenChildren.push_back(child);
  }
  for (TControl* child : FHiddenChildren)
    child->SetVisible(false);
}

int TskSkinPanel::RolledUpHeight()
{
  GetSkinData();
  if (!Skinned() || ResizeMode == -1)
    return FDefaultCaptionHeight + 1;
  int w = GetWidth(), h = GetHeight();
  CalcSize(w, h);
  return std::clamp(GetHeight() - RectHeight(NewClRect), 0, std::max(0, GetHeight()));
}

void TskSkinPanel::ApplyRollUpState(bool Value)
{
  FRollingUp = true;
  try {
    if (Value && FRealHeight == -1) {
      FRealHeight = GetHeight();
      const int rolled = RolledUpHeight();
      HideControls();
      SetHeight(rolled);
    } else if (!Value && FRealHeight != -1) {
      SetHeight(FRealHeight);
      FRealHeight = -1;
      ShowControls();
    }
  } catch (...) {
    FRollingUp = false;
    throw;
  }
  FRollingUp = false;
}

void TskSkinPanel::SetRollUpState(bool Value)
{
  if (FRollUpState == Value)
    return;
  TSizeConstraints* c = GetConstraints();
  if (!FRollUpMode) {
    // Leaving roll-up mode while rolled up rolls the panel down, so that it never stays
    // collapsed with hidden children while it reports not rolled up.
    FRollUpState = false;
    const bool rolled = FRealHeight != -1;
    if (rolled) {
      ApplyRollUpState(false);
      c->SetMaxWidth(FSavedMaxWidth);
      c->SetMinWidth(FSavedMinWidth);
      c->SetMaxHeight(FSavedMaxHeight);
      c->SetMinHeight(FSavedMinHeight);
      if (OnChangeRollUpState) {
        TNotifyEvent handler = OnChangeRollUpState;
        handler(this);
      }
    }
    return;
  }
  FRollUpState = Value;
  if (Value) {
    // The constraints are kept for the roll-down and lifted while rolled up.
    FSavedMaxWidth = c->GetMaxWidth();
    FSavedMinWidth = c->GetMinWidth();
    FSavedMaxHeight = c->GetMaxHeight();
    FSavedMinHeight = c->GetMinHeight();
    c->SetMaxWidth(0);
    c->SetMinWidth(0);
    c->SetMaxHeight(0);
    c->SetMinHeight(0);
    ApplyRollUpState(true);
  } else {
    ApplyRollUpState(false);
    c->SetMaxWidth(FSavedMaxWidth);
    c->SetMinWidth(FSavedMinWidth);
    c->SetMaxHeight(FSavedMaxHeight);
    c->SetMinHeight(FSavedMinHeight);
  }
  if (OnChangeRollUpState) {
    TNotifyEvent handler = OnChangeRollUpState;
    handler(this);
  }
}

bool TskSkinPanel::CanAutoSize(int& NewWidth, int& NewHeight)
{
  if (FRollingUp && FRollUpMode && GetAutoSize())
    return false;
  return TskSkinCustomControl::CanAutoSize(NewWidth, NewHeight);
}

void TskSkinPanel::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y)
{
  if ((FRollUpMode || FCheckedMode) && FCaptionMode && Button == mbLeft) {
    const TPoint p = Point(X, Y);
    const TRect bar = Skinned() ? FNewCaptionRect : Rect(1, 1, GetWidth() - 1, FDefaultCaptionHeight);
    const bool hit = PtInRect(&bar, p) != 0;
    if (hit) {
      if (FCheckedMode)
        SetChecked(!FChecked);
      if (FRollUpMode)
        SetRollUpState(!FRollUpState);
    }
  }
  TskSkinCustomControl::MouseUp(Button, Shift, X, Y);
}

// --- skin ------------------------------------------------------------------------------------

void TskSkinPanel::GetSkinData()
{
  TskSkinCustomControl::GetSkinData();
  FLook.BGPictureIndex = -1;
  if (!Skinned())
    return;
  auto* record = dynamic_cast<TskDataSkinPanelControl*>(SkinControlRecord(FSkinData, FIndex));
  if (!record)
    return;
  FLook.CaptionRect = record->captionrect;
  FLook.Alignment = record->alignment;
  FLook.FontName = record->fontname;
  FLook.FontStyle = record->fontstyle;
  FLook.FontHeight = record->fontheight;
  FLook.FontColor = record->fontcolor;
  FLook.BGPictureIndex = record->bgpictureindex;
  FLook.CheckImageRect = record->checkimagerect;
  FLook.UnCheckImageRect = record->uncheckimagerect;
  FLook.MarkFrameRect = record->markframerect;
  FLook.FrameRect = record->framerect;
  FLook.FrameLeftOffset = record->frameleftoffset;
  FLook.FrameRightOffset = record->framerightoffset;
  FLook.FrameTextRect = record->frametextrect;
}

void TskSkinPanel::ChangeSkinData()
{
  TskSkinCustomControl::ChangeSkinData();
  if (FRealHeight == -1) {
    Realign();
    return;
  }
  // Rolled up: the rolled height follows the new skin's frame.
  FRollingUp = true;
  try {
    SetHeight(RolledUpHeight());
  } catch (...) {
    FRollingUp = false;
    throw;
  }
  FRollingUp = false;
}

void TskSkinPanel::SetBounds(int ALeft, int ATop, int AWidth, int AHeight)
{
  TskSkinCustomControl::SetBounds(ALeft, ATop, AWidth, AHeight);
  if (!Skinned())
    Repaint();
}

void TskSkinPanel::CreateParams(TCreateParams& Params)
{
  TskSkinCustomControl::CreateParams(Params);
  Params.WindowClass.style &= ~(CS_VREDRAW | CS_HREDRAW);
}

// --- client area -----------------------------------------------------------------------------

void TskSkinPanel::SetCaptionFont(TCanvas* Canvas)
{
  TFont* font = Canvas->GetFont();
  if (Skinned() && GetUseSkinFont()) {
    font->SetName(FLook.FontName);
    font->SetHeight(FLook.FontHeight);
    font->SetStyle(FLook.FontStyle);
    font->SetCharset(GetDefaultFont()->GetCharset());
  } else {
    font->Assign(GetDefaultFont());
  }
  if (FSkinData && FSkinData->GetResourceStrData())
    font->SetCharset(FSkinData->GetResourceStrData()->CharSet);
  else
    font->SetCharset(GetDefaultFont()->GetCharset());
}

TRect TskSkinPanel::GetTransparentClientRect()
{
  if (!FCaptionMode)
    return Rect(2, 2, GetWidth() - 2, GetHeight() - 2);
  SetCaptionFont(GetCanvas());
  return Rect(2, GetCanvas()->TextHeight(GetCaption()), GetWidth() - 2, GetHeight() - 2);
}

TRect TskSkinPanel::GetAdjustedClientRect()
{
  TRect r = Rect(0, 0, GetWidth(), GetHeight());
  AdjustClientRect(r);
  return r;
}

void TskSkinPanel::AdjustClientRect(TRect& R)
{
  GetSkinData();
  if (Skinned() && FTransparentMode) {
    R = GetTransparentClientRect();
    return;
  }
  if (!Skinned() || Designing()) {
    if (FBorderStyle != TskSkinBorderStyle::bvNone)
      InflateRect(&R, -1, -1);
    if (FCaptionMode)
      R.top += FDefaultCaptionHeight;
    return;
  }
  if (FLook.BGPictureIndex != -1 || ResizeMode == -1)
    return;
  if (FBorderStyle == TskSkinBorderStyle::bvNone && !FCaptionMode && ResizeMode == 1)
    return;
  int w = GetWidth(), h = GetHeight();
  CalcSize(w, h);
  R = NewClRect;
}

// --- caption pieces --------------------------------------------------------------------------

bool TskSkinPanel::HasCaptionImage() const
{
  return !HasGlyph() && FCaptionImageList && FCaptionImageIndex >= 0 &&
         FCaptionImageIndex < FCaptionImageList->GetCount();
}

int TskSkinPanel::GlyphCell() const { return !GetEnabled() && FNumGlyphs == 2 ? 2 : 1; }

int TskSkinPanel::CaptionImageWidth() const
{
  if (HasCaptionImage())
    return FCaptionImageList->GetWidth();
  if (HasGlyph())
    return FGlyph->GetWidth() / FNumGlyphs;
  return 0;
}

int TskSkinPanel::CaptionImageHeight() const
{
  if (HasCaptionImage())
    return FCaptionImageList->GetHeight();
  if (HasGlyph())
    return FGlyph->GetHeight();
  return 0;
}

void TskSkinPanel::DrawCaptionImage(TCanvas* Canvas, int X, int Y)
{
  if (HasCaptionImage())
    FCaptionImageList->Draw(Canvas, X, Y, FCaptionImageIndex, GetEnabled());
  else if (HasGlyph())
    DrawGlyphStripFrame(Canvas, X, Y, FGlyph.get(), FNumGlyphs, GlyphCell());
}

void TskSkinPanel::DrawCheckImage(TCanvas* Canvas, int X, int Y, const TRect& Image)
{
  if (!Picture || Picture->Empty())
    return;
  TRect inside{};
  const TRect bounds = Rect(0, 0, Picture->GetWidth(), Picture->GetHeight());
  if (!IntersectRect(&inside, &Image, &bounds))
    return;
  TBitmap cell;
  cell.SetSize(RectWidth(inside), RectHeight(inside));
  cell.GetCanvas()->CopyRect(Rect(0, 0, RectWidth(inside), RectHeight(inside)), Picture->GetCanvas(), inside);
  cell.SetTransparent(true);
  Canvas->Draw(X + inside.left - Image.left, Y + inside.top - Image.top, &cell);
}

// --- the unskinned look ----------------------------------------------------------------------

void TskSkinPanel::CreateControlDefaultImage(TBitmap* B)
{
  TskSkinCustomControl::CreateControlDefaultImage(B);
  TCanvas* c = B->GetCanvas();
  const int W = GetWidth(), H = GetHeight();
  TRect R = Rect(0, 0, W, H);
  switch (FBorderStyle) {
  case TskSkinBorderStyle::bvFrame: Frame3D(c, R, clBtnShadow, clBtnShadow, 1); break;
  case TskSkinBorderStyle::bvRaised: Frame3D(c, R, clBtnHighlight, clBtnShadow, 1); break;
  case TskSkinBorderStyle::bvLowered: Frame3D(c, R, clBtnShadow, clBtnHighlight, 1); break;
  case TskSkinBorderStyle::bvNone: break;
  }
  if (!FCaptionMode)
    return;
  if (FBorderStyle != TskSkinBorderStyle::bvFrame) {
    R = Rect(1, 1, W - 1, FDefaultCaptionHeight);
    Frame3D(c, R, clBtnShadow, clBtnHighlight, 1);
    Frame3D(c, R, clBtnHighlight, clBtnShadow, 1);
  } else {
    R = Rect(0, 0, W, FDefaultCaptionHeight);
    Frame3D(c, R, clBtnShadow, clBtnShadow, 1);
    Frame3D(c, R, clBtnHighlight, clBtnFace, 1);
  }
  if (FCheckedMode)
    R.left += 20;
  if (FRollUpMode)
    R.right -= 10;
  c->GetFont()->Assign(GetDefaultFont());
  if (FSkinData && FSkinData->GetResourceStrData())
    c->GetFont()->SetCharset(FSkinData->GetResourceStrData()->CharSet);
  const String caption = GetCaption();
  const int y = R.top + RectHeight(R) / 2 - c->TextHeight(caption) / 2;
  const int cw = c->TextWidth(caption) + (HasGlyph() ? CaptionImageWidth() + FSpacing : 0);
  int x = R.left + 2;
  if (FDefaultAlignment == taRightJustify)
    x = R.right - cw;
  else if (FDefaultAlignment == taCenter)
    x = R.left + 2 + RectWidth(R) / 2 - cw / 2;
  if (FCheckedMode) {
    const int t = R.top + RectHeight(R) / 2 - 7;
    c->GetBrush()->SetStyle(bsSolid);
    c->GetBrush()->SetColor(clBtnShadow);
    c->FrameRect(Rect(5, t, 19, t + 14));
    if (FChecked)
      DrawCheckGlyph(c, 9, t + 3, clBtnText);
  }
  int imageX = 0, imageY = 0;
  const bool image = HasCaptionImage() || HasGlyph();
  if (image) {
    imageX = x;
    imageY = R.top + RectHeight(R) / 2 - CaptionImageHeight() / 2;
    x += CaptionImageWidth() + FSpacing;
  }
  c->GetBrush()->SetStyle(bsClear);
  c->TextRect(R, x, y, caption);
  if (image)
    DrawCaptionImage(c, imageX, imageY);
  if (FRollUpMode)
    DrawArrowGlyph(c, Rect(R.right, R.top, R.right + 10, R.bottom), clBtnText, FRollUpState ? 4 : 3);
}

// --- the skinned look ------------------------------------------------------------------------

void TskSkinPanel::TileClientPart(TCanvas* Canvas, int W, int H)
{
  const int cw = RectWidth(ClRect), ch = RectHeight(ClRect);
  // A record without a client part has nothing to tile.
  if (cw <= 0 || ch <= 0 || !Picture || Picture->Empty())
    return;
  TBitmap client;
  client.SetSize(cw, ch);
  client.GetCanvas()->CopyRect(Rect(0, 0, cw, ch), Picture->GetCanvas(),
                               Rect(SkinRect.left + ClRect.left, SkinRect.top + ClRect.top,
                                    SkinRect.left + ClRect.right, SkinRect.top + ClRect.bottom));
  for (int i = 0; i <= W / cw; ++i)
    for (int j = 0; j <= H / ch; ++j) {
      const int ox = std::max(0, (i + 1) * cw - W), oy = std::max(0, (j + 1) * ch - H);
      if (cw - ox > 0 && ch - oy > 0)
        Canvas->CopyRect(Rect(i * cw, j * ch, i * cw + cw - ox, j * ch + ch - oy), client.GetCanvas(),
                         Rect(0, 0, cw - ox, ch - oy));
    }
}

void TskSkinPanel::CreateControlSkinImage(TBitmap* B)
{
  if (FBorderStyle == TskSkinBorderStyle::bvNone && ResizeMode == 1 && !FCaptionMode && !StretchEffect) {
    TileClientPart(B->GetCanvas(), GetWidth(), GetHeight());
    return;
  }
  TskSkinCustomControl::CreateControlSkinImage(B);
  FNewCaptionRect = ResizeMode < 1 ? FLook.CaptionRect : MapSkinRect(FLook.CaptionRect);
  if (!GetCaption().empty() && !IsNullRect(FLook.CaptionRect))
    DrawSkinCaption(B);
}

void TskSkinPanel::DrawSkinCaption(TBitmap* B)
{
  TCanvas* c = B->GetCanvas();
  TRect R = FNewCaptionRect;
  if (FRollUpMode)
    R.right -= 12;
  if (FCheckedMode) {
    const TRect& image = FChecked ? FLook.CheckImageRect : FLook.UnCheckImageRect;
    const int cw = RectWidth(image), ch = RectHeight(image);
    DrawCheckImage(c, R.left, R.top + RectHeight(R) / 2 - ch / 2, image);
    R.left += cw + 2;
  }
  SetCaptionFont(c);
  c->GetFont()->SetColor(FLook.FontColor);
  const String caption = GetCaption();
  const int tw = c->TextWidth(caption);
  const int y = R.top + RectHeight(R) / 2 - c->TextHeight(caption) / 2;
  const bool image = HasCaptionImage() || HasGlyph();
  const int iw = CaptionImageWidth();
  const int cw = tw + (HasGlyph() ? iw + FSpacing : 0);
  int x = R.left;
  if (FLook.Alignment == taRightJustify)
    x = R.right - cw;
  else if (FLook.Alignment == taCenter)
    x = R.left + RectWidth(R) / 2 - cw / 2;
  int imageX = x, textX = x;
  if (image) {
    if (FImagePosition == spipLeft) {
      imageX = R.left + 2;
      if (FLook.Alignment == taRightJustify)
        textX = R.right - tw;
      else if (FLook.Alignment == taCenter)
        textX = R.left + RectWidth(R) / 2 - tw / 2;
      else
        textX = R.left + iw + FSpacing + 2;
      textX = std::max(textX, imageX + iw + FSpacing);
    } else {
      imageX = x;
      textX = x + iw + FSpacing;
    }
  }
  if (FRollUpMode) {
    const TRect A = Rect(R.right, R.top, R.right + 10, R.bottom);
    const TRect& mark = FLook.MarkFrameRect;
    if (!IsNullRect(mark) && Picture)
      c->CopyRect(Rect(A.left, A.top, A.left + RectWidth(mark), FNewCaptionRect.top + RectHeight(mark)),
                  Picture->GetCanvas(), mark);
    DrawArrowGlyph(c, A, FLook.FontColor, FRollUpState ? 4 : 3);
  }
  if (!IsNullRect(FLook.FrameRect) && Picture) {
    const int extra = RectWidth(FLook.FrameRect) - RectWidth(FLook.FrameTextRect);
    TBitmap strip;
    BuildHorzSkinBitmap(FLook.FrameLeftOffset, FLook.FrameRightOffset, &strip, Picture, FLook.FrameRect,
                        tw + extra, RectHeight(FLook.FrameRect), false);
    int stripX = textX;
    if (FLook.Alignment == taRightJustify) {
      textX -= extra;
      stripX = textX;
      textX += FLook.FrameTextRect.left;
      imageX -= extra;
    } else if (FLook.Alignment == taCenter) {
      stripX = textX - FLook.FrameTextRect.left - 2;
      imageX -= FLook.FrameTextRect.left;
      textX -= 2;
    } else {
      stripX = textX;
      textX += FLook.FrameTextRect.left;
    }
    if (!strip.Empty())
      c->Draw(stripX, FNewCaptionRect.top, &strip);
  }
  c->GetBrush()->SetStyle(bsClear);
  c->TextRect(R, textX, y, caption);
  if (image)
    DrawCaptionImage(c, imageX, R.top + RectHeight(R) / 2 - CaptionImageHeight() / 2);
}

// --- painting --------------------------------------------------------------------------------

void TskSkinPanel::PanelPaint(TCanvas*) {}

void TskSkinPanel::PaintTransparent(bool Outline)
{
  const int W = GetWidth(), H = GetHeight();
  TBitmap B;
  B.SetSize(W, H);
  TCanvas* c = B.GetCanvas();
  PaintParentBackground(this, c);
  const TColor shadow = FSkinData->SkinColors ? FSkinData->SkinColors->cbtnshadow : clBtnShadow;
  if (!Outline) {
    if (FBorderStyle != TskSkinBorderStyle::bvNone) {
      c->GetBrush()->SetStyle(bsClear);
      c->GetPen()->SetColor(shadow);
      c->GetPen()->SetWidth(1);
      c->Rectangle(0, 0, W, H);
    }
    PanelPaint(c);
    GetCanvas()->Draw(0, 0, &B);
    return;
  }
  c->GetPen()->SetColor(shadow);
  c->GetPen()->SetWidth(1);
  c->GetBrush()->SetStyle(bsClear);
  SetCaptionFont(c);
  const String caption = GetCaption();
  const int th = c->TextHeight(caption);
  int x = 5;
  FNewCaptionRect = Rect(5, 0, W, th + 5);
  if (FCheckedMode) {
    const TRect& image = FChecked ? FLook.CheckImageRect : FLook.UnCheckImageRect;
    DrawCheckImage(c, 5, RectHeight(FNewCaptionRect) / 2 - RectHeight(image) / 2, image);
    x += RectWidth(image) + 5;
  }
  const bool image = HasCaptionImage() || HasGlyph();
  const int imageX = x, imageY = (th + 5) / 2 - CaptionImageHeight() / 2;
  if (image)
    x += CaptionImageWidth() + 2;
  const TRect R = Rect(x, 0, W, th + 5);
  TColor fontColor = FSkinData->SkinColors ? FSkinData->SkinColors->cbtntext : clBtnText;
  if (auto* label = dynamic_cast<TskDataSkinStdLabelControl*>(
          SkinControlRecord(FSkinData, FindSkinControlIndex(FSkinData, "stdlabel"))))
    fontColor = label->fontcolor;
  c->GetFont()->SetColor(fontColor);
  DrawSingleLineText(c, caption, R);
  TRect measured = R;
  DrawTextA(c->GetHandle(), caption.c_str(), static_cast<int>(caption.size()), &measured, DT_CALCRECT);
  const int T = RectWidth(measured);
  if (image)
    DrawCaptionImage(c, imageX, imageY);
  const int h = RectHeight(R) / 2;
  if (FRollUpMode) {
    DrawArrowGlyph(c, Rect(R.left + T + 3, R.top, R.left + T + 10, R.bottom), fontColor, FRollUpState ? 4 : 3);
    c->GetPen()->SetColor(shadow);
    c->MoveTo(R.left + T + 12, h);
  } else {
    c->MoveTo(R.left + T + 3, h);
  }
  c->LineTo(W, h);
  c->GetPen()->SetColor(shadow);
  c->MoveTo(0, h);
  c->LineTo(4, h);
  c->MoveTo(W - 1, h);
  c->LineTo(W - 1, H - 1);
  c->LineTo(0, H - 1);
  c->LineTo(0, h);
  PanelPaint(c);
  GetCanvas()->Draw(0, 0, &B);
}

void TskSkinPanel::PaintTiledClient(TCanvas* Canvas)
{
  const int W = GetWidth(), H = GetHeight();
  const int cw = RectWidth(ClRect), ch = RectHeight(ClRect);
  if (cw <= 0 || ch <= 0 || !Picture || Picture->Empty())
    return;
  TBitmap client;
  client.SetSize(cw, ch);
  client.GetCanvas()->CopyRect(Rect(0, 0, cw, ch), Picture->GetCanvas(),
                               Rect(SkinRect.left + ClRect.left, SkinRect.top + ClRect.top,
                                    SkinRect.left + ClRect.right, SkinRect.top + ClRect.bottom));
  if (!StretchEffect) {
    for (int i = 0; i <= W / cw; ++i)
      for (int j = 0; j <= H / ch; ++j)
        Canvas->Draw(i * cw, j * ch, &client);
    return;
  }
  switch (StretchType) {
  case stFull: Canvas->StretchDraw(Rect(0, 0, W, H), &client); break;
  case stHorz: {
    TBitmap strip;
    strip.SetSize(cw, H);
    strip.GetCanvas()->StretchDraw(Rect(0, 0, cw, H), &client);
    for (int i = 0; i <= W / cw; ++i)
      Canvas->Draw(i * cw, 0, &strip);
    break;
  }
  case stVert: {
    TBitmap strip;
    strip.SetSize(W, ch);
    strip.GetCanvas()->StretchDraw(Rect(0, 0, W, ch), &client);
    for (int j = 0; j <= H / ch; ++j)
      Canvas->Draw(0, j * ch, &strip);
    break;
  }
  }
}

void TskSkinPanel::PaintBackgroundPicture(TCanvas* Canvas, TBitmap* G)
{
  const int W = GetWidth(), H = GetHeight();
  const int gw = G->GetWidth(), gh = G->GetHeight();
  Canvas->GetBrush()->SetStyle(bsSolid);
  Canvas->GetBrush()->SetColor(FSkinData->SkinColors ? FSkinData->SkinColors->cbtnface : clBtnFace);
  Canvas->FillRect(Rect(0, 0, W, H));
  if (!StretchEffect) {
    for (int x = 0; x < W; x += gw)
      for (int y = 0; y < H; y += gh)
        Canvas->Draw(x, y, G);
    return;
  }
  switch (StretchType) {
  case stFull: {
    int w = W, h = H;
    CalcSize(w, h);
    Canvas->StretchDraw(NewClRect, G);
    break;
  }
  case stHorz: {
    TBitmap strip;
    strip.SetSize(gw, H);
    strip.GetCanvas()->StretchDraw(Rect(0, 0, gw, H), G);
    for (int x = 0; x < W; x += gw)
      Canvas->Draw(x, 0, &strip);
    break;
  }
  case stVert: {
    TBitmap strip;
    strip.SetSize(W, gh);
    strip.GetCanvas()->StretchDraw(Rect(0, 0, W, gh), G);
    for (int y = 0; y < H; y += gh)
      Canvas->Draw(0, y, &strip);
    break;
  }
  }
}

void TskSkinPanel::Paint()
{
  if (GetWidth() <= 0 || GetHeight() <= 0)
    return;
  GetSkinData();
  if (Skinned() && FTransparentMode) {
    PaintTransparent(FCaptionMode);
    return;
  }
  if (!Skinned() || (!DirectFramePaint && StretchEffect)) {
    TskSkinCustomControl::Paint();
    return;
  }
  if (FBorderStyle == TskSkinBorderStyle::bvNone && ResizeMode == 1 && !FCaptionMode && DirectFramePaint &&
      !GetAlphaBlend()) {
    TBitmap B;
    B.SetSize(GetWidth(), GetHeight());
    B.GetCanvas()->GetBrush()->SetColor(FSkinData->SkinColors ? FSkinData->SkinColors->cbtnface : clBtnFace);
    B.GetCanvas()->FillRect(Rect(0, 0, GetWidth(), GetHeight()));
    PaintTiledClient(B.GetCanvas());
    GetCanvas()->Draw(0, 0, &B);
    return;
  }
  TBitmap* G = FLook.BGPictureIndex == -1 ? nullptr : SkinPicture(FSkinData, FLook.BGPictureIndex);
  // A background picture the skin does not have: the plain skinned look.
  if (!G || G->Empty()) {
    TskSkinCustomControl::Paint();
    return;
  }
  TBitmap B;
  B.SetSize(GetWidth(), GetHeight());
  PaintBackgroundPicture(B.GetCanvas(), G);
  GetCanvas()->Draw(0, 0, &B);
}

// --- messages --------------------------------------------------------------------------------

void TskSkinPanel::WMMove(TMessage& Message)
{
  TskSkinCustomControl::WMMove(Message);
  if (FTransparentMode) {
    Repaint();
    SendParentImageChanged();
  }
}

void TskSkinPanel::WMParentImageChanged(TMessage&)
{
  if (FTransparentMode || GetAlphaBlend()) {
    Repaint();
    SendParentImageChanged();
  }
}

void TskSkinPanel::CMTextChanged(TMessage& Message)
{
  TskSkinCustomControl::CMTextChanged(Message);
  if (FCaptionMode)
    Repaint();
}

// ---------------------------------------------------------------------------------------------
// TskSkinPaintPanel

TskSkinPaintPanel::TskSkinPaintPanel(TComponent* AOwner) : TskSkinPanel(AOwner) { DirectFramePaint = false; }

void TskSkinPaintPanel::PanelPaint(TCanvas* Canvas)
{
  if (OnPanelPaint) {
    TskPaintPanelEvent handler = OnPanelPaint;
    handler(Canvas, GetAdjustedClientRect());
  }
}

void TskSkinPaintPanel::CreateControlDefaultImage(TBitmap* B)
{
  TskSkinPanel::CreateControlDefaultImage(B);
  PanelPaint(B->GetCanvas());
}

void TskSkinPaintPanel::CreateControlSkinImage(TBitmap* B)
{
  TskSkinPanel::CreateControlSkinImage(B);
  PanelPaint(B->GetCanvas());
}

void TskSkinPaintPanel::WMEraseBkgnd(TMessage& Message)
{
  if (!InWMPaint && Message.WParam)
    PaintWindow(reinterpret_cast<HDC>(Message.WParam));
  Message.Result = 1;
}

// ---------------------------------------------------------------------------------------------
// TskSkinGroupBox

TskSkinGroupBox::TskSkinGroupBox(TComponent* AOwner) : TskSkinPanel(AOwner)
{
  SetSkinDataName("groupbox");
  SetCaptionMode(true);
}
