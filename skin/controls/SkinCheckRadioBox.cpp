#include "skin/controls/SkinCheckRadioBox.h"

#include <algorithm>

#include "platform/vcl/Menus.h"
#include "skin/controls/ComponentReference.h"
#include "skin/foundation/SkinEffectBmp.h"
#include "skin/foundation/SkinGlyphs.h"
#include "skin/foundation/SkinRegions.h"

TskSkinCheckRadioBox::TskSkinCheckRadioBox(TComponent* AOwner) : TskSkinCustomControl(AOwner)
{
  SetTabStop(false);
  SetBounds(GetLeft(), GetTop(), 150, 25);
  SetSkinDataName("checkbox");
}

TskSkinCheckRadioBox::~TskSkinCheckRadioBox()
{
  FMorph.Stop();
  if (FImages)
    FImages->RemoveFreeNotification(this);
}

// --- properties ------------------------------------------------------------------------------

void TskSkinCheckRadioBox::SetWordWrap(bool Value)
{
  if (FWordWrap == Value)
    return;
  FWordWrap = Value;
  if (FFlat)
    Repaint();
}

void TskSkinCheckRadioBox::SetAllowGrayed(bool Value)
{
  FAllowGrayed = Value;
  Repaint();
}

void TskSkinCheckRadioBox::SetImages(TCustomImageList* Value)
{
  SetComponentReference(this, FImages, Value);
  Repaint();
}

void TskSkinCheckRadioBox::SetImageIndex(int Value)
{
  FImageIndex = Value;
  Repaint();
}

void TskSkinCheckRadioBox::SetCanFocused(bool Value)
{
  FCanFocused = Value;
  SetTabStop(Value);
}

void TskSkinCheckRadioBox::SetFlat(bool Value)
{
  FFlat = Value;
  Repaint();
}

void TskSkinCheckRadioBox::SetRadio(bool Value)
{
  FRadio = Value;
  if ((FIndex == -1 && GetDrawDefault()) || Designing())
    Repaint();
  if (Designing() && !(GetComponentState() & csLoading)) {
    SetSkinDataName(Value ? "radiobox" : "checkbox");
    FGroupIndex = Value ? 1 : 0;
  }
}

void TskSkinCheckRadioBox::RaiseClick()
{
  if (OnClick) {
    TNotifyEvent handler = OnClick; // the handler may free the box
    handler(this);
  }
}

void TskSkinCheckRadioBox::SetChecked(bool Value)
{
  FChecked = Value;
  if (Value)
    FState = cbChecked;
  else if (FState == cbChecked)
    FState = cbUnchecked;
  Repaint();
  if (FChecked && FGroupIndex != 0 && GetParent()) {
    TWinControl* parent = GetParent();
    for (int i = 0; i < parent->GetControlCount(); ++i) {
      auto* other = dynamic_cast<TskSkinCheckRadioBox*>(parent->GetControl(i));
      if (other && other != this && other->FGroupIndex == FGroupIndex && other->FChecked)
        other->SetChecked(false);
    }
  }
  if (!FRadio || FChecked)
    RaiseClick();
}

void TskSkinCheckRadioBox::SetState(TCheckBoxState Value)
{
  FState = Value;
  FChecked = Value == cbChecked;
  Repaint();
  RaiseClick();
}

void TskSkinCheckRadioBox::Toggle()
{
  if (!FRadio)
    SetChecked(!FChecked);
  else if (!FChecked)
    SetChecked(true);
}

void TskSkinCheckRadioBox::Notification(TComponent* AComponent, TOperation Operation)
{
  TskSkinCustomControl::Notification(AComponent, Operation);
  if (Operation == opRemove && AComponent == FImages)
    FImages = nullptr;
}

void TskSkinCheckRadioBox::ActionChange(TObject* Sender, bool CheckDefaults)
{
  // The class library here has no checkable actions: nothing to copy.
  TskSkinCustomControl::ActionChange(Sender, CheckDefaults);
}

// --- skin ------------------------------------------------------------------------------------

bool TskSkinCheckRadioBox::MorphingApplies() const
{
  return FLook.Morphing && FSkinData && !FSkinData->Empty && FSkinData->EnableSkinEffects;
}

void TskSkinCheckRadioBox::GetSkinData()
{
  TskSkinCustomControl::GetSkinData();
  auto* record = FIndex == -1 ? nullptr
                              : dynamic_cast<TskDataSkinCheckRadioControl*>(SkinControlRecord(FSkinData, FIndex));
  if (!record) {
    FLook = TLook();
    if (FIndex == -1)
      FMorph.Factor = 0;
    return;
  }
  FLook.FontName = record->fontname;
  FLook.FontHeight = record->fontheight;
  FLook.FontStyle = record->fontstyle;
  FLook.FontColor = record->fontcolor;
  FLook.ActiveFontColor = record->activefontcolor;
  FLook.FrameFontColor = record->framefontcolor;
  FLook.UnEnabledFontColor = record->unenabledfontcolor;
  FLook.ActiveSkinRect = IsNullRect(record->activeskinrect) ? SkinRect : record->activeskinrect;
  FLook.Morphing = record->morphing && !FFlat;
  FLook.MorphKind = record->morphkind;
  FLook.CheckImageArea = record->checkimagearea;
  FLook.TextArea = record->textarea;
  FLook.CheckImageRect = record->checkimagerect;
  FLook.UnCheckImageRect = record->uncheckimagerect;
  FLook.ActiveCheckImageRect =
      IsNullRect(record->activecheckimagerect) ? record->checkimagerect : record->activecheckimagerect;
  FLook.ActiveUnCheckImageRect =
      IsNullRect(record->activeuncheckimagerect) ? record->uncheckimagerect : record->activeuncheckimagerect;
  FLook.UnEnabledCheckImageRect =
      IsNullRect(record->unenabledcheckimagerect) ? record->checkimagerect : record->unenabledcheckimagerect;
  FLook.UnEnabledUnCheckImageRect =
      IsNullRect(record->unenableduncheckimagerect) ? record->uncheckimagerect : record->unenableduncheckimagerect;
  FLook.GrayedCheckImageRect = record->grayedcheckimagerect;
  FLook.ActiveGrayedCheckImageRect = record->activegrayedcheckimagerect;
  if (FFlat)
    MaskPicture = nullptr;
}

void TskSkinCheckRadioBox::CalcSize(int& W, int& H)
{
  if (FFlat)
    return;
  TskSkinCustomControl::CalcSize(W, H);
  if (FIndex == -1)
    return;
  const int dW = W - RectWidth(SkinRect);
  FTextRect = FLook.TextArea;
  FTextRect.right += dW;
  FCheckArea = FLook.CheckImageArea;
  if (FLook.TextArea.right < FLook.CheckImageArea.right)
    OffsetRect(&FCheckArea, dW, 0);
  const int iw = RectWidth(FLook.CheckImageRect), ih = RectHeight(FLook.CheckImageRect);
  const int left = FCheckArea.left + RectWidth(FCheckArea) / 2 - iw / 2;
  const int top = FCheckArea.top + RectHeight(FCheckArea) / 2 - ih / 2;
  FCheckPosition = Rect(left, top, left + iw, top + ih);
}

void TskSkinCheckRadioBox::ChangeSkinData()
{
  if (FFlat) {
    GetSkinData();
    Repaint();
    return;
  }
  FMorph.Stop();
  TskSkinCustomControl::ChangeSkinData();
  if (MorphingApplies() && FIndex != -1 && (IsFocusedBox() || FMouseIn))
    FMorph.Factor = 1;
}

void TskSkinCheckRadioBox::UpdateAlphaBlend()
{
  if (FFlat)
    Repaint();
}

// --- focus, morph ----------------------------------------------------------------------------

bool TskSkinCheckRadioBox::IsFocusedBox() { return FCanFocused && HandleAllocated() && Focused(); }

void TskSkinCheckRadioBox::FocusOrRepaint()
{
  if (MorphingApplies() && FIndex != -1)
    FMorph.Start(this, [this](TObject* Sender) { MorphTimerTick(Sender); });
  else
    Invalidate();
}

void TskSkinCheckRadioBox::MorphTimerTick(TObject*)
{
  if (FMorph.Tick(FIndex != -1 && MorphingApplies(), FMouseIn || IsFocusedBox()))
    Repaint();
}

// --- painting --------------------------------------------------------------------------------

void TskSkinCheckRadioBox::SetFont(TCanvas* Canvas)
{
  TFont* font = Canvas->GetFont();
  if (FIndex != -1 && GetUseSkinFont()) {
    font->SetName(FLook.FontName);
    font->SetHeight(FLook.FontHeight);
    font->SetStyle(FLook.FontStyle);
  } else {
    font->Assign(GetDefaultFont());
  }
  if (FSkinData && FSkinData->GetResourceStrData())
    font->SetCharset(FSkinData->GetResourceStrData()->CharSet);
  else
    font->SetCharset(GetDefaultFont()->GetCharset());
}

void TskSkinCheckRadioBox::DrawPictureCell(TCanvas* Canvas, int X, int Y, const TRect& R, bool Brighten)
{
  if (!Picture || Picture->Empty())
    return;
  // Only the part of the rectangle that lies in the picture is drawn (a damaged record may name
  // a huge one).
  TRect inside{};
  const TRect bounds = Rect(0, 0, Picture->GetWidth(), Picture->GetHeight());
  if (!IntersectRect(&inside, &R, &bounds))
    return;
  X += inside.left - R.left;
  Y += inside.top - R.top;
  const int w = RectWidth(inside), h = RectHeight(inside);
  TBitmap cell;
  cell.SetSize(w, h);
  cell.GetCanvas()->CopyRect(Rect(0, 0, w, h), Picture->GetCanvas(), inside);
  if (Brighten) {
    auto effect = TskEffectBmp::CreateFromBitmap(cell.GetHandle());
    effect->ChangeBrightness(0.5);
    effect->Draw(cell.GetCanvas()->GetHandle(), 0, 0);
  }
  cell.SetTransparent(true);
  Canvas->Draw(X, Y, &cell);
}

void TskSkinCheckRadioBox::DrawCheckImage(TCanvas* Canvas, int X, int Y)
{
  const bool enabled = GetEnabled(), grayed = FState == cbGrayed;
  TRect base;
  if (enabled && FMouseIn)
    base = grayed || FChecked ? FLook.ActiveCheckImageRect : FLook.ActiveUnCheckImageRect;
  else if (enabled)
    base = grayed || FChecked ? FLook.CheckImageRect : FLook.UnCheckImageRect;
  else
    base = grayed || FChecked ? FLook.UnEnabledCheckImageRect : FLook.UnEnabledUnCheckImageRect;
  if (!grayed) {
    DrawPictureCell(Canvas, X, Y, base, false);
  } else if (IsNullRect(FLook.GrayedCheckImageRect)) {
    DrawPictureCell(Canvas, X, Y, base, true);
  } else {
    const bool active = FMouseIn && !IsNullRect(FLook.ActiveGrayedCheckImageRect);
    DrawPictureCell(Canvas, X, Y, active ? FLook.ActiveGrayedCheckImageRect : FLook.GrayedCheckImageRect, false);
  }
}

void TskSkinCheckRadioBox::DrawDefaultCheck(TCanvas* Canvas)
{
  const int h = GetHeight();
  Canvas->GetBrush()->SetStyle(bsSolid);
  Canvas->GetBrush()->SetColor(FMouseIn ? DefaultActiveFrame : clBtnShadow);
  Canvas->FrameRect(Rect(3, h / 2 - 7, 17, h / 2 + 7));
  Canvas->GetPen()->SetColor(clBlack);
  if (FState == cbGrayed && !FRadio) {
    DrawCheckGlyph(Canvas, 7, h / 2 - 4, clGrayText);
  } else if (FChecked) {
    const TColor mark = GetEnabled() ? clBlack : clBtnShadow;
    if (FRadio)
      DrawRadioGlyph(Canvas, 7, h / 2 - 3, mark);
    else
      DrawCheckGlyph(Canvas, 7, h / 2 - 4, mark);
  }
}

void TskSkinCheckRadioBox::PaintFlatContent(TCanvas* Canvas, int CaptionLeft, int ImageSpacing)
{
  const int W = GetWidth(), H = GetHeight();
  const String caption = GetCaption();
  const bool image = FImages && FImageIndex >= 0 && FImageIndex < FImages->GetCount();
  const int iw = image ? FImages->GetWidth() : 0, ih = image ? FImages->GetHeight() : 0;
  HDC dc = Canvas->GetHandle();
  TRect r{};
  if (FWordWrap) {
    r = Rect(CaptionLeft + iw, 0, W, H);
    DrawTextA(dc, caption.c_str(), static_cast<int>(caption.size()), &r, DT_CALCRECT | DT_EXPANDTABS | DT_WORDBREAK);
    const int th = RectHeight(r);
    OffsetRect(&r, 0, std::max(0, H / 2 - th / 2) - r.top);
  } else {
    r = Rect(0, 0, 0, 0);
    DrawTextA(dc, caption.c_str(), static_cast<int>(caption.size()), &r, DT_CALCRECT);
    OffsetRect(&r, CaptionLeft, H / 2 - RectHeight(r) / 2);
  }
  r.right = std::min<LONG>(r.right, W - 2);
  TRect imageRect{};
  if (image) {
    // A wrapped caption keeps the room for the image at its left.
    const int x = FWordWrap ? r.left - iw : r.left;
    imageRect = Bounds(x, H / 2 - ih / 2, iw, ih);
    FImages->Draw(Canvas, imageRect.left, imageRect.top, FImageIndex, GetEnabled());
    if (!FWordWrap)
      OffsetRect(&r, iw + ImageSpacing, 0);
  }
  Canvas->GetBrush()->SetStyle(bsClear);
  if (FWordWrap) {
    TRect box = r;
    DrawTextA(Canvas->GetHandle(), caption.c_str(), static_cast<int>(caption.size()), &box,
              DT_EXPANDTABS | DT_WORDBREAK);
  } else {
    DrawSingleLineText(Canvas, caption, r);
  }
  if (!IsFocusedBox())
    return;
  Canvas->GetBrush()->SetColor(clBtnFace);
  if (!caption.empty()) {
    TRect focus = r;
    InflateRect(&focus, 2, 1);
    focus.right += 1;
    DrawDottedFocusRect(Canvas, focus);
  } else if (image) {
    TRect focus = imageRect;
    InflateRect(&focus, 1, 1);
    DrawDottedFocusRect(Canvas, focus);
  }
}

void TskSkinCheckRadioBox::PaintFlat()
{
  const int W = GetWidth(), H = GetHeight();
  TBitmap buffer;
  buffer.SetSize(W, H);
  TCanvas* canvas = buffer.GetCanvas();
  PaintParentBackground(this, canvas);
  const bool skinned = FIndex != -1 && !IsNullRect(FLook.CheckImageRect);
  if (skinned) {
    const int cw = RectWidth(FLook.CheckImageRect);
    DrawCheckImage(canvas, 3, H / 2 - RectHeight(FLook.CheckImageRect) / 2);
    SetFont(canvas);
    TColor color = GetEnabled() ? FLook.FrameFontColor : FLook.UnEnabledFontColor;
    if (!FUseSkinFontColor)
      color = GetDefaultFont()->GetColor();
    canvas->GetFont()->SetColor(color);
    PaintFlatContent(canvas, 3 + cw + 4, 8);
  } else {
    SetFont(canvas);
    if (!GetEnabled())
      canvas->GetFont()->SetColor(clBtnShadow);
    DrawDefaultCheck(canvas);
    PaintFlatContent(canvas, 22, 5);
  }
  GetCanvas()->Draw(0, 0, &buffer);
}

void TskSkinCheckRadioBox::PaintFramedFace(TBitmap* B, const TRect& R, bool Active)
{
  CreateSkinImage(B, Picture, R);
  TCanvas* canvas = B->GetCanvas();
  DrawCheckImage(canvas, FCheckPosition.left,
                 FCheckPosition.top + RectHeight(FCheckPosition) / 2 - RectHeight(FLook.CheckImageRect) / 2);
  SetFont(canvas);
  canvas->GetFont()->SetColor(!GetEnabled() ? FLook.UnEnabledFontColor
                                            : (Active ? FLook.ActiveFontColor : FLook.FontColor));
  canvas->GetBrush()->SetStyle(bsClear);
  DrawSingleLineText(canvas, GetCaption(), FTextRect);
}

void TskSkinCheckRadioBox::Paint()
{
  if (GetWidth() < 1 || GetHeight() < 1)
    return;
  GetSkinData();
  if (FFlat) {
    PaintFlat();
    return;
  }
  if (FIndex == -1 || IsNullRect(FLook.CheckImageRect)) {
    TskSkinCustomControl::Paint();
    return;
  }
  int w = GetWidth(), h = GetHeight();
  CalcSize(w, h);
  TBitmap face;
  face.SetSize(GetWidth(), GetHeight());
  const double factor = FMorph.Factor;
  if (MorphingApplies() && factor > 0 && factor < 1) {
    TBitmap active;
    active.SetSize(GetWidth(), GetHeight());
    PaintFramedFace(&face, SkinRect, false);
    PaintFramedFace(&active, FLook.ActiveSkinRect, true);
    if (face.GetWidth() == active.GetWidth() && face.GetHeight() == active.GetHeight()) {
      DrawMorphedButton(this, GetCanvas(), &face, &active, FLook.MorphKind, factor, GetAlphaBlend(),
                        GetAlphaBlendValue());
      return;
    }
  } else {
    const bool active = FMouseIn || IsFocusedBox();
    PaintFramedFace(&face, active ? FLook.ActiveSkinRect : SkinRect, active);
  }
  DrawSkinControlImage(this, GetCanvas(), &face, GetAlphaBlend(), GetAlphaBlendValue());
}

void TskSkinCheckRadioBox::CreateControlDefaultImage(TBitmap* B)
{
  TskSkinCustomControl::CreateControlDefaultImage(B);
  TCanvas* canvas = B->GetCanvas();
  if (FMouseIn || IsFocusedBox()) {
    canvas->GetBrush()->SetColor(clBtnShadow);
    canvas->FrameRect(GetClientRect());
  }
  SetFont(canvas);
  if (!GetEnabled())
    canvas->GetFont()->SetColor(clBtnShadow);
  DrawDefaultCheck(canvas);
  canvas->GetBrush()->SetStyle(bsClear);
  DrawSingleLineText(canvas, GetCaption(), Rect(19, 0, GetWidth(), GetHeight()));
}

// --- messages --------------------------------------------------------------------------------

void TskSkinCheckRadioBox::WndProc(TMessage& Message)
{
  if (FCanFocused) {
    switch (Message.Msg) {
    case WM_KEYUP:
      if (Message.WParam == VK_SPACE && HandleAllocated() && Focused())
        Toggle();
      break;
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
      if (!Designing() && !Focused()) {
        FClicksDisabled = true;
        ::SetFocus(GetHandle());
        FClicksDisabled = false;
        if (!Focused())
          return;
      }
      break;
    case CN_COMMAND:
      if (FClicksDisabled)
        return;
      break;
    default: break;
    }
  }
  TskSkinCustomControl::WndProc(Message);
}

void TskSkinCheckRadioBox::WMMove(TMessage& Message)
{
  TskSkinCustomControl::WMMove(Message);
  Invalidate();
}

void TskSkinCheckRadioBox::WMSetFocus(TMessage& Message)
{
  TskSkinCustomControl::WMSetFocus(Message);
  if (FCanFocused)
    FocusOrRepaint();
}

void TskSkinCheckRadioBox::WMKillFocus(TMessage& Message)
{
  TskSkinCustomControl::WMKillFocus(Message);
  if (FCanFocused)
    FocusOrRepaint();
}

void TskSkinCheckRadioBox::WMEraseBkgnd(TMessage& Message)
{
  if (!InWMPaint && !FFlat && Message.WParam)
    PaintWindow(reinterpret_cast<HDC>(Message.WParam));
  Message.Result = 1;
}

void TskSkinCheckRadioBox::CMDialogChar(TMessage& Message)
{
  if (IsAccel(static_cast<Word>(Message.WParam), GetCaption()) && CanFocus() && FCanFocused) {
    SetFocus();
    Toggle();
    Message.Result = 1;
    return;
  }
  TskSkinCustomControl::CMDialogChar(Message);
}

void TskSkinCheckRadioBox::CMEnabledChanged(TMessage& Message)
{
  TskSkinCustomControl::CMEnabledChanged(Message);
  if (MorphingApplies()) {
    FMorph.Stop();
    FMorph.Factor = 0;
  }
  FMouseIn = false;
  Repaint();
}

void TskSkinCheckRadioBox::CMTextChanged(TMessage& Message)
{
  TskSkinCustomControl::CMTextChanged(Message);
  if (FIndex != -1 || Designing() || GetDrawDefault())
    Repaint();
}

void TskSkinCheckRadioBox::CMMouseEnter(TMessage& Message)
{
  TskSkinCustomControl::CMMouseEnter(Message);
  if (Designing())
    return;
  FMouseIn = true;
  FocusOrRepaint();
}

void TskSkinCheckRadioBox::CMMouseLeave(TMessage& Message)
{
  TskSkinCustomControl::CMMouseLeave(Message);
  if (Designing())
    return;
  FMouseIn = false;
  FocusOrRepaint();
}

void TskSkinCheckRadioBox::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y)
{
  if (!FMouseIn) {
    FMouseIn = true;
    FocusOrRepaint();
  }
  TskSkinCustomControl::MouseDown(Button, Shift, X, Y);
}

void TskSkinCheckRadioBox::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y)
{
  TskSkinCustomControl::MouseUp(Button, Shift, X, Y);
  if (Button != mbLeft || !FMouseIn)
    return;
  if (FAllowGrayed && !FRadio && FState == cbUnchecked) {
    FState = cbGrayed;
    Repaint();
    RaiseClick();
  } else {
    Toggle();
  }
}
