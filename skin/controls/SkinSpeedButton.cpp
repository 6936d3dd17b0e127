#include "skin/controls/SkinSpeedButton.h"

#include <algorithm>

#include "platform/vcl/Menus.h"
#include "skin/controls/ComponentReference.h"

TskSkinSpeedButton::TskSkinSpeedButton(TComponent* AOwner)
    : TskGraphicSkinCustomControl(AOwner), FGlyph(std::make_unique<TBitmap>())
{
  SetControlStyle(csCaptureMouse | csOpaque | csDoubleClicks);
  SetSkinDataName("toolbutton");
  SetBounds(GetLeft(), GetTop(), 25, 25);
}

TskSkinSpeedButton::~TskSkinSpeedButton()
{
  *FAliveFlag = false;
  StopRepeat();
  FAnimation.Stop();
  FMorph.Stop();
  if (FImageList)
    FImageList->RemoveFreeNotification(this);
}

// --- properties ------------------------------------------------------------------------------

void TskSkinSpeedButton::SetImageList(TCustomImageList* Value)
{
  if (SetComponentReference(this, FImageList, Value))
    Repaint();
}

void TskSkinSpeedButton::SetImageIndex(int Value)
{
  FImageIndex = Value;
  if (dynamic_cast<TskToolBarImageSource*>(GetParent()) || FImageList)
    Repaint();
}

void TskSkinSpeedButton::SetFlat(bool Value)
{
  FFlat = Value;
  if (Value)
    SetControlStyle(GetControlStyle() & ~csOpaque);
  else
    SetControlStyle(GetControlStyle() | csOpaque);
  Repaint();
}

void TskSkinSpeedButton::SetShowCaption(bool Value)
{
  if (FShowCaption == Value)
    return;
  FShowCaption = Value;
  if (FWidthWithCaption > 0 && FWidthWithoutCaption > 0)
    SetWidth(Value ? FWidthWithCaption : FWidthWithoutCaption);
  else
    Repaint();
}

void TskSkinSpeedButton::SetGlyph(TBitmap* Value)
{
  FGlyph->Assign(Value);
  Repaint();
}

void TskSkinSpeedButton::SetNumGlyphs(int Value)
{
  FNumGlyphs = Value;
  Repaint();
}

void TskSkinSpeedButton::SetMargin(int Value)
{
  if (Value == FMargin || Value < -1)
    return;
  FMargin = Value;
  Repaint();
}

void TskSkinSpeedButton::SetSpacing(int Value)
{
  if (Value == FSpacing)
    return;
  FSpacing = Value;
  Repaint();
}

void TskSkinSpeedButton::SetLayout(TskButtonLayout Value)
{
  FLayout = Value;
  Repaint();
}

void TskSkinSpeedButton::SetDown(bool Value)
{
  FDown = Value;
  if (MorphingApplies()) {
    FMorph.Factor = 1;
    if (Value)
      FMorph.Stop();
    else
      FMorph.Start(this, [this](TObject* Sender) { MorphTimerTick(Sender); });
  }
  Repaint();
  if (Value && FGroupIndex != 0 && !FAllowAllUp && GetParent()) {
    TWinControl* parent = GetParent();
    for (int i = 0; i < parent->GetControlCount(); ++i) {
      auto* other = dynamic_cast<TskSkinSpeedButton*>(parent->GetControl(i));
      if (other && other != this && other->FGroupIndex == FGroupIndex && other->FDown)
        other->SetDown(false);
    }
  }
}

void TskSkinSpeedButton::Notification(TComponent* AComponent, TOperation Operation)
{
  TskGraphicSkinCustomControl::Notification(AComponent, Operation);
  if (Operation == opRemove && AComponent == FImageList)
    FImageList = nullptr;
}

void TskSkinSpeedButton::ActionChange(TObject* Sender, bool CheckDefaults)
{
  // The class library here has no action lists with images, so an action gives no glyph.
  TskGraphicSkinCustomControl::ActionChange(Sender, CheckDefaults);
}

bool TskSkinSpeedButton::GetImagesMenuContent(TCustomImageList*&, int&, String&) { return false; }

// --- switches and skin -----------------------------------------------------------------------

bool TskSkinSpeedButton::EffectsApply() const
{
  return FSkinData && !FSkinData->Empty && FSkinData->EnableSkinEffects;
}

bool TskSkinSpeedButton::MorphingApplies() const { return FLook.Morphing && EffectsApply(); }

void TskSkinSpeedButton::MorphOrRepaint()
{
  if (MorphingApplies() && FIndex != -1)
    FMorph.Start(this, [this](TObject* Sender) { MorphTimerTick(Sender); });
  else
    Repaint();
}

void TskSkinSpeedButton::MorphTimerTick(TObject*)
{
  if (FMorph.Tick(FIndex != -1 && MorphingApplies(), FMouseIn))
    Repaint();
}

void TskSkinSpeedButton::AnimationTick(TObject*)
{
  if (FAnimation.Tick(FLook.FrameCount))
    Repaint();
}

void TskSkinSpeedButton::GetSkinData()
{
  TskGraphicSkinCustomControl::GetSkinData();
  auto* record = FIndex == -1 ? nullptr
                              : dynamic_cast<TskDataSkinButtonControl*>(SkinControlRecord(FSkinData, FIndex));
  if (!record) {
    FLook = TskButtonLook();
    if (FIndex != -1)
      FLook.ActiveSkinRect = FLook.DownSkinRect = SkinRect;
    return;
  }
  FLook.CopyFrom(record, SkinRect);
  if (FFlat)
    FLook.Morphing = false;
  TRect cell{};
  if (FAnimation.CurrentCell(FLook.AnimateSkinRect, SkinRect, FLook.FrameCount, cell)) {
    if (FAnimation.Forward)
      FLook.ActiveSkinRect = cell;
    else
      SkinRect = cell;
  }
}

void TskSkinSpeedButton::ChangeSkinData()
{
  FAnimation.Stop();
  FMorph.Stop();
  TskGraphicSkinCustomControl::ChangeSkinData();
  if (MorphingApplies() && FIndex != -1 && FMouseIn)
    FMorph.Factor = 1;
}

void TskSkinSpeedButton::CalcSize(int& W, int& H)
{
  if (FIndex != -1 && !FUseSkinSize && ResizeMode != 1) {
    NewClRect = Rect(ClRect.left, ClRect.top, W + ClRect.right - RectWidth(SkinRect),
                     H + ClRect.bottom - RectHeight(SkinRect));
    return;
  }
  TskGraphicSkinCustomControl::CalcSize(W, H);
}

// --- painting --------------------------------------------------------------------------------

void TskSkinSpeedButton::DrawContent(TCanvas* Canvas, const TRect& R, const TRect& EventRect, bool ADown,
                                     bool AMouseIn)
{
  bool drawDefault = true;
  if (OnPaint)
    OnPaint(this, Canvas, EventRect, ADown, AMouseIn, drawDefault);
  if (drawDefault)
    DrawGlyphAndCaption(Canvas, R, ADown, AMouseIn);
}

void TskSkinSpeedButton::DrawGlyphAndCaption(TCanvas* Canvas, const TRect& R, bool ADown, bool AMouseIn)
{
  String caption = CaptionToDraw();
  const bool pressed = ADown && AMouseIn;
  TCustomImageList* menuImages = nullptr;
  int menuIndex = -1;
  if (GetImagesMenuContent(menuImages, menuIndex, caption)) {
    DrawImageListGlyphAndText(Canvas, R, FMargin, FSpacing, FLayout, caption, menuIndex, menuImages, pressed,
                              GetEnabled(), false, 0);
    return;
  }
  if (FGlyph->Empty()) {
    if (auto* bar = dynamic_cast<TskToolBarImageSource*>(GetParent())) {
      TCustomImageList* list = (ADown || AMouseIn) && bar->GetHotImages() ? bar->GetHotImages() : bar->GetImages();
      bool enabled = GetEnabled();
      if (!enabled && bar->GetDisabledImages()) {
        list = bar->GetDisabledImages();
        enabled = true;
      }
      DrawImageListGlyphAndText(Canvas, R, FMargin, FSpacing, FLayout, caption, FImageIndex, list, pressed, enabled,
                                false, 0);
      return;
    }
    if (FImageList) {
      DrawImageListGlyphAndText(Canvas, R, FMargin, FSpacing, FLayout, caption, FImageIndex, FImageList, pressed,
                                GetEnabled(), false, 0);
      return;
    }
  }
  DrawBitmapGlyphAndText(Canvas, R, FMargin, FSpacing, FLayout, caption, FGlyph.get(), FNumGlyphs,
                         ButtonGlyphNum(ADown, AMouseIn, FNumGlyphs, GetEnabled()), pressed, false, 0);
}

void TskSkinSpeedButton::CreateButtonImage(TBitmap* Bitmap, const TRect& R, bool ADown, bool AMouseIn)
{
  TRect textRect = NewClRect;
  if (!FUseSkinSize && ResizeMode != 1)
    textRect = BuildFreeSizeButtonImage(*this, Bitmap, R);
  else
    CreateSkinImage(Bitmap, Picture, R);
  TCanvas* canvas = Bitmap->GetCanvas();
  SetButtonFont(canvas, FLook, GetUseSkinFont(), GetDefaultFont(), FSkinData);
  canvas->GetFont()->SetColor(
      ButtonCaptionColor(FLook, GetEnabled(), FUseSkinFontColor, GetDefaultFont(), ADown, AMouseIn));
  canvas->GetBrush()->SetStyle(bsClear);
  DrawContent(canvas, textRect, NewClRect, ADown, AMouseIn);
}

void TskSkinSpeedButton::CreateControlDefaultImage(TBitmap* B)
{
  TskGraphicSkinCustomControl::CreateControlDefaultImage(B);
  const TRect r = GetClientRect();
  TCanvas* canvas = B->GetCanvas();
  const bool pressed = FDown && ((FMouseIn && FGroupIndex == 0) || FGroupIndex != 0);
  DrawDefaultButtonFace(canvas, r, pressed, !pressed && FMouseIn);
  SetDefaultButtonFont(canvas, GetDefaultFont(), FSkinData, GetEnabled());
  canvas->GetBrush()->SetStyle(bsClear);
  DrawContent(canvas, r, r, FDown, FMouseIn);
}

void TskSkinSpeedButton::PaintTransparent(bool HasRecord)
{
  TCanvas* canvas = GetCanvas();
  TFont* font = canvas->GetFont();
  TRect r = GetClientRect();
  if (HasRecord) {
    r = NewClRect;
    if (GetUseSkinFont()) {
      font->SetName(FLook.FontName);
      font->SetStyle(FLook.FontStyle);
      font->SetHeight(FLook.FontHeight);
    } else {
      font->Assign(GetDefaultFont());
    }
    TskSkinColors* colors = FSkinData ? FSkinData->SkinColors : nullptr;
    if (!GetEnabled() && colors)
      font->SetColor(colors->cbtnshadow);
    else if (FUseSkinFontColor && colors)
      font->SetColor(colors->cbtntext);
    else
      font->SetColor(GetDefaultFont()->GetColor());
    if (FSkinData && FSkinData->GetResourceStrData())
      font->SetCharset(FSkinData->GetResourceStrData()->CharSet);
    else
      font->SetCharset(GetDefaultFont()->GetCharset());
  } else {
    SetDefaultButtonFont(canvas, GetDefaultFont(), FSkinData, GetEnabled());
  }
  canvas->GetBrush()->SetStyle(bsClear);
  bool drawDefault = true;
  if (OnPaint)
    OnPaint(this, canvas, r, FDown, FMouseIn, drawDefault);
  if (!drawDefault)
    return;
  DrawGlyphAndCaption(canvas, r, false, false);
}

void TskSkinSpeedButton::Paint()
{
  if (GetWidth() <= 0 || GetHeight() <= 0)
    return;
  GetSkinData();
  int w = GetWidth(), h = GetHeight();
  CalcSize(w, h);
  const bool groupDown = FDown && FGroupIndex != 0;
  if (FIndex == -1) {
    if ((FDown && ((FMouseIn && FGroupIndex == 0) || FGroupIndex != 0)) || FMouseIn || !FFlat)
      PaintBuffered();
    else
      PaintTransparent(false);
    return;
  }
  if (FFlat && !FMouseIn && !groupDown) {
    PaintTransparent(true);
    return;
  }
  TBitmap image;
  image.SetSize(GetWidth(), GetHeight());
  const double factor = FMorph.Factor;
  if (MorphingApplies() && factor > 0 && factor < 1 && GetEnabled()) {
    TBitmap active;
    active.SetSize(GetWidth(), GetHeight());
    CreateButtonImage(&image, SkinRect, false, false);
    CreateButtonImage(&active, FLook.ActiveSkinRect, false, true);
    if (image.GetWidth() == active.GetWidth() && image.GetHeight() == active.GetHeight()) {
      DrawMorphedButton(this, GetCanvas(), &image, &active, FLook.MorphKind, factor, GetAlphaBlend(),
                        GetAlphaBlendValue());
      return;
    }
  } else if (!GetEnabled() && !IsNullRect(FLook.DisabledSkinRect)) {
    CreateButtonImage(&image, FLook.DisabledSkinRect, false, false);
  } else if (FDown && ((FMouseIn && FGroupIndex == 0) || FGroupIndex != 0)) {
    CreateButtonImage(&image, FLook.DownSkinRect, true, true);
  } else if (FMouseIn || (MorphingApplies() && factor == 1)) {
    CreateButtonImage(&image, FLook.ActiveSkinRect, false, true);
  } else {
    CreateButtonImage(&image, SkinRect, false, false);
  }
  DrawSkinControlImage(this, GetCanvas(), &image, GetAlphaBlend(), GetAlphaBlendValue());
}

// --- messages and the mouse ------------------------------------------------------------------

void TskSkinSpeedButton::Dispatch(TMessage& Message)
{
  if (Message.Msg == CM_DIALOGCHAR) {
    if (IsAccel(static_cast<Word>(Message.WParam), GetCaption()) && GetEnabled() && GetVisible() && GetParent() &&
        GetParent()->IsShowing()) {
      DoClick();
      Message.Result = 1;
    } else {
      DefaultHandler(Message);
    }
    return;
  }
  TskGraphicSkinCustomControl::Dispatch(Message);
}

void TskSkinSpeedButton::CMEnabledChanged(TMessage& Message)
{
  TskGraphicSkinCustomControl::CMEnabledChanged(Message);
  if (MorphingApplies()) {
    FMorph.Stop();
    FMorph.Factor = 0;
  }
  FMouseIn = false;
  Repaint();
}

void TskSkinSpeedButton::CMTextChanged(TMessage& Message)
{
  TskGraphicSkinCustomControl::CMTextChanged(Message);
  if (FIndex != -1 || Designing() || GetDrawDefault())
    Repaint();
}

void TskSkinSpeedButton::CMMouseEnter(TMessage& Message)
{
  TskGraphicSkinCustomControl::CMMouseEnter(Message);
  if (Designing())
    return;
  FMouseIn = true;
  if ((FGroupIndex == 0 || !FDown) && GetEnabled()) {
    if (FDown) {
      if (MorphingApplies())
        FMorph.Factor = 1;
      Repaint();
    } else {
      if (!FFlat && FIndex != -1 && CanAnimate(EffectsApply(), FLook))
        FAnimation.Start(this, true, FLook.FrameCount, FLook.AnimateInterval,
                         [this](TObject* Sender) { AnimationTick(Sender); });
      MorphOrRepaint();
    }
  }
  if (FDown && FRepeatMode && FGroupIndex == 0)
    StartRepeat();
}

void TskSkinSpeedButton::CMMouseLeave(TMessage& Message)
{
  TskGraphicSkinCustomControl::CMMouseLeave(Message);
  if (Designing())
    return;
  FMouseIn = false;
  if ((FGroupIndex == 0 || !FDown) && GetEnabled()) {
    if (!FFlat && FIndex != -1 && CanAnimate(EffectsApply(), FLook))
      FAnimation.Start(this, false, FLook.FrameCount, FLook.AnimateInterval,
                       [this](TObject* Sender) { AnimationTick(Sender); });
    MorphOrRepaint();
  }
  if (FDown && FRepeatMode && FRepeatTimer && FGroupIndex == 0)
    StopRepeat();
}

void TskSkinSpeedButton::DoClick()
{
  // A copy: the handler may free the button.
  if (OnClick && GetAction()) {
    TNotifyEvent handler = OnClick;
    handler(this);
    return;
  }
  if (!Designing() && GetAction()) {
    GetAction()->Execute();
    return;
  }
  if (OnClick) {
    TNotifyEvent handler = OnClick;
    handler(this);
  }
}

void TskSkinSpeedButton::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y)
{
  auto alive = FAliveFlag;
  TskGraphicSkinCustomControl::MouseDown(Button, Shift, X, Y);
  if (!*alive || Button != mbLeft)
    return;
  if (EffectsApply() && !IsNullRect(FLook.AnimateSkinRect))
    FAnimation.Stop();
  FPressed = true;
  if (!FDown) {
    FMouseIn = true;
    SetDown(true);
    if (FRepeatMode && FGroupIndex == 0)
      StartRepeat();
    else if (FGroupIndex != 0)
      DoClick();
    if (!*alive)
      return;
    FWasDown = false;
  } else if (FGroupIndex != 0) {
    FWasDown = true;
  }
}

void TskSkinSpeedButton::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y)
{
  auto alive = FAliveFlag;
  if (Button == mbLeft) {
    FPressed = false;
    if (FGroupIndex == 0) {
      if (FMouseIn) {
        const bool wasDown = FDown;
        SetDown(false);
        if (FRepeatMode)
          StopRepeat();
        if (wasDown)
          DoClick();
      } else {
        FDown = false;
        StopRepeat();
      }
    } else if (FDown && FAllowAllUp && FWasDown && FMouseIn) {
      SetDown(false);
      DoClick();
    }
  }
  // The click may have freed the button.
  if (!*alive)
    return;
  TskGraphicSkinCustomControl::MouseUp(Button, Shift, X, Y);
}

// --- repeat ----------------------------------------------------------------------------------

void TskSkinSpeedButton::StartRepeat()
{
  StopRepeat();
  FRepeatTimer = new TTimer(this);
  FRepeatTimer->SetEnabled(false);
  FRepeatTimer->SetInterval(500);
  FRepeatTimer->SetOnTimer([this](TObject* Sender) { RepeatTimerTick(Sender); });
  FRepeatTimer->SetEnabled(true);
}

void TskSkinSpeedButton::StopRepeat()
{
  TTimer* timer = FRepeatTimer;
  FRepeatTimer = nullptr;
  if (timer) {
    timer->SetEnabled(false);
    delete timer;
  }
}

void TskSkinSpeedButton::RepeatTimerTick(TObject*)
{
  if (!FRepeatTimer)
    return;
  if (FRepeatTimer->GetTag() == 0) {
    FRepeatTimer->SetTag(1);
    FRepeatTimer->SetInterval(static_cast<Cardinal>(std::max(FRepeatInterval, 1)));
    return;
  }
  DoClick();
}
