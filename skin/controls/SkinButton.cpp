#include "skin/controls/SkinButton.h"

#include <algorithm>

#include "platform/vcl/Menus.h"
#include "skin/controls/ComponentReference.h"

TskSkinButton::TskSkinButton(TComponent* AOwner) : TskSkinCustomControl(AOwner), FGlyph(std::make_unique<TBitmap>())
{
  FLayerManager = new TskLayerManager(this);
  SetSkinDataName("button");
  SetBounds(GetLeft(), GetTop(), 75, 25);
}

TskSkinButton::~TskSkinButton()
{
  *FAliveFlag = false;
  delete FLayerManager;
  FLayerManager = nullptr;
  StopMorph();
  StopRepeat();
  StopAnimation();
  if (FImageList)
    FImageList->RemoveFreeNotification(this);
}

bool TskSkinButton::Alive() const { return *FAliveFlag; }

// --- properties ------------------------------------------------------------------------------

void TskSkinButton::SetImageList(TCustomImageList* Value)
{
  if (SetComponentReference(this, FImageList, Value))
    Repaint();
}

void TskSkinButton::SetImageIndex(int Value)
{
  if (FImageIndex == Value)
    return;
  FImageIndex = Value;
  Repaint();
}

void TskSkinButton::SetCanFocused(bool Value)
{
  FCanFocused = Value;
  SetTabStop(Value);
}

void TskSkinButton::SetGroupIndex(int Value)
{
  FGroupIndex = Value;
  if (Value != 0)
    SetCanFocused(false);
}

void TskSkinButton::SetGlyph(TBitmap* Value)
{
  FGlyph->Assign(Value);
  Repaint();
}

void TskSkinButton::SetNumGlyphs(int Value)
{
  FNumGlyphs = Value;
  Repaint();
}

void TskSkinButton::SetMargin(int Value)
{
  if (Value == FMargin || Value < -1)
    return;
  FMargin = Value;
  Repaint();
}

void TskSkinButton::SetSpacing(int Value)
{
  if (Value == FSpacing)
    return;
  FSpacing = Value;
  Repaint();
}

void TskSkinButton::SetLayout(TskButtonLayout Value)
{
  FLayout = Value;
  Repaint();
}

void TskSkinButton::SetDefault(bool Value)
{
  FDefault = Value;
  if (HandleAllocated() && FCanFocused && !Designing())
    if (TCustomForm* form = GetParentForm(this))
      form->Perform(CM_FOCUSCHANGED, 0, reinterpret_cast<LPARAM>(form->GetActiveControl()));
}

void TskSkinButton::SetDown(bool Value)
{
  FDown = Value;
  if (MorphingApplies()) {
    FMorph.Factor = 1;
    if (Value)
      StopMorph();
    else
      StartMorph();
  }
  Repaint();
  if (Value && FGroupIndex != 0 && !FAllowAllUp && GetParent()) {
    TWinControl* parent = GetParent();
    for (int i = 0; i < parent->GetControlCount(); ++i) {
      auto* other = dynamic_cast<TskSkinButton*>(parent->GetControl(i));
      if (other && other != this && other->FGroupIndex == FGroupIndex && other->FDown)
        other->SetDown(false);
    }
  }
}

void TskSkinButton::Notification(TComponent* AComponent, TOperation Operation)
{
  TskSkinCustomControl::Notification(AComponent, Operation);
  if (Operation == opRemove && AComponent == FImageList)
    FImageList = nullptr;
}

// --- switches --------------------------------------------------------------------------------

bool TskSkinButton::EffectsApply() const { return FSkinData && !FSkinData->Empty && FSkinData->EnableSkinEffects; }

bool TskSkinButton::MorphingApplies() const { return FLook.Morphing && EffectsApply(); }

bool TskSkinButton::IsFocusedButton() { return FCanFocused && HandleAllocated() && Focused(); }

void TskSkinButton::MorphOrRepaint()
{
  if (MorphingApplies() && FIndex != -1)
    StartMorph();
  else
    Repaint();
}

// --- skin ------------------------------------------------------------------------------------

void TskSkinButton::GetSkinData()
{
  TskSkinCustomControl::GetSkinData();
  if (FIndex == -1) {
    FLook = TskButtonLook();
    return;
  }
  auto* record = dynamic_cast<TskDataSkinButtonControl*>(SkinControlRecord(FSkinData, FIndex));
  if (!record) {
    FLook = TskButtonLook();
    FLook.ActiveSkinRect = FLook.DownSkinRect = SkinRect;
    return;
  }
  FLook.CopyFrom(record, SkinRect);
  if (!FUseSkinSize)
    MaskPicture = nullptr;
  TRect cell{};
  if (FAnimation.CurrentCell(FLook.AnimateSkinRect, SkinRect, FLook.FrameCount, cell)) {
    if (FAnimation.Forward)
      FLook.ActiveSkinRect = cell;
    else
      SkinRect = cell;
  }
}

void TskSkinButton::ChangeSkinData()
{
  StopMorph();
  StopAnimation();
  FMorph.Factor = 0;
  TskSkinCustomControl::ChangeSkinData();
  if (MorphingApplies() && FIndex != -1 && (IsFocusedButton() || FMouseIn))
    FMorph.Factor = 1;
  if (FMouseIn && HandleAllocated())
    PostMessageA(GetHandle(), ShowGlowFrameMessage, 0, 0);
}

void TskSkinButton::ResetSkinIndex()
{
  TskSkinCustomControl::ResetSkinIndex();
  if (FLayerManager && FLayerManager->GetShown())
    FLayerManager->Hide();
}

void TskSkinButton::CalcSize(int& W, int& H)
{
  if (FIndex != -1 && !FUseSkinSize && ResizeMode != 1) {
    NewClRect = Rect(ClRect.left, ClRect.top, W + ClRect.right - RectWidth(SkinRect),
                     H + ClRect.bottom - RectHeight(SkinRect));
    return;
  }
  TskSkinCustomControl::CalcSize(W, H);
}

// --- painting --------------------------------------------------------------------------------

void TskSkinButton::Paint()
{
  GetSkinData();
  if (FIndex == -1) {
    TskSkinCustomControl::Paint();
    return;
  }
  const int w = GetWidth(), h = GetHeight();
  if (w < 1 || h < 1)
    return;
  TBitmap image;
  image.SetSize(w, h);
  const double factor = FMorph.Factor;
  if (MorphingApplies() && factor > 0 && factor < 1 && GetEnabled()) {
    TBitmap active;
    active.SetSize(w, h);
    CreateButtonImage(&image, SkinRect, false, false);
    CreateButtonImage(&active, FLook.ActiveSkinRect, false, true);
    if (image.GetWidth() == active.GetWidth() && image.GetHeight() == active.GetHeight()) {
      DrawMorphedButton(this, GetCanvas(), &image, &active, FLook.MorphKind, factor, GetAlphaBlend(),
                        GetAlphaBlendValue());
      return;
    }
    DrawSkinControlImage(this, GetCanvas(), &image, GetAlphaBlend(), GetAlphaBlendValue());
    return;
  }
  const bool focused = IsFocusedButton();
  TRect state = SkinRect;
  bool down = false, in = false;
  if (!GetEnabled() && !IsNullRect(FLook.DisabledSkinRect)) {
    state = FLook.DisabledSkinRect;
  } else if (FDown && (FGroupIndex != 0 || FMouseIn || (focused && !FPressed))) {
    state = FLook.DownSkinRect;
    down = in = true;
  } else if (focused && !IsNullRect(FLook.FocusedSkinRect) && !FAnimation.Running()) {
    state = FLook.FocusedSkinRect;
    in = true;
  } else if (focused || FMouseIn || (MorphingApplies() && factor == 1)) {
    state = FLook.ActiveSkinRect;
    in = true;
  }
  CreateButtonImage(&image, state, down, in);
  DrawSkinControlImage(this, GetCanvas(), &image, GetAlphaBlend(), GetAlphaBlendValue());
}

void TskSkinButton::CreateButtonImage(TBitmap* Bitmap, const TRect& R, bool ADown, bool AMouseIn)
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
  if (FLook.ShowFocus && HandleAllocated() && Focused())
    DrawDottedFocusRect(canvas, textRect);
  canvas->GetBrush()->SetStyle(bsClear);
  DrawContent(canvas, textRect, NewClRect, ADown, AMouseIn);
}

void TskSkinButton::DrawContent(TCanvas* Canvas, const TRect& R, const TRect& EventRect, bool ADown, bool AMouseIn)
{
  bool drawDefault = true;
  if (OnPaint)
    OnPaint(this, Canvas, EventRect, ADown, AMouseIn, drawDefault);
  if (!drawDefault)
    return;
  if (FImageList && FImageIndex >= 0 && FImageIndex < FImageList->GetCount())
    DrawImageListGlyphAndText(Canvas, R, FMargin, FSpacing, FLayout, GetCaption(), FImageIndex, FImageList,
                              ADown && AMouseIn, GetEnabled(), false, 0);
  else
    DrawBitmapGlyphAndText(Canvas, R, FMargin, FSpacing, FLayout, GetCaption(), FGlyph.get(), FNumGlyphs,
                           ButtonGlyphNum(ADown, AMouseIn, FNumGlyphs, GetEnabled()), ADown && AMouseIn, false, 0);
}

void TskSkinButton::CreateControlDefaultImage(TBitmap* B)
{
  TskSkinCustomControl::CreateControlDefaultImage(B);
  const bool focused = IsFocusedButton();
  const TRect r = GetClientRect();
  TCanvas* canvas = B->GetCanvas();
  const bool pressed = FDown && (FGroupIndex != 0 || FMouseIn || (focused && !FPressed));
  DrawDefaultButtonFace(canvas, r, pressed, !pressed && (FMouseIn || focused));
  SetDefaultButtonFont(canvas, GetDefaultFont(), FSkinData, GetEnabled());
  canvas->GetBrush()->SetStyle(bsClear);
  DrawContent(canvas, r, r, FDown, FMouseIn);
}

// --- messages --------------------------------------------------------------------------------

void TskSkinButton::WndProc(TMessage& Message)
{
  if (FCanFocused) {
    switch (Message.Msg) {
    case WM_KEYDOWN:
      if (Message.WParam == VK_SPACE) {
        SetDown(true);
        if (FRepeatMode)
          DoClick();
      } else if (Message.WParam == VK_RETURN) {
        DoClick();
      }
      break;
    case WM_KEYUP:
      if (Message.WParam == VK_SPACE) {
        SetDown(false);
        DoClick();
      }
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

void TskSkinButton::Dispatch(TMessage& Message)
{
  switch (Message.Msg) {
  case ShowGlowFrameMessage: ShowGlowFrame(); break;
  case HideGlowFrameMessage: HideGlowFrame(); break;
  default: TskSkinCustomControl::Dispatch(Message); break;
  }
}

void TskSkinButton::CreateWnd()
{
  TskSkinCustomControl::CreateWnd();
  FActiveDefault = FDefault;
}

void TskSkinButton::WMSetFocus(TMessage& Message)
{
  TskSkinCustomControl::WMSetFocus(Message);
  if (!FCanFocused)
    return;
  if (FIndex != -1 && CanAnimate(EffectsApply(), FLook))
    StartAnimation(true);
  MorphOrRepaint();
}

void TskSkinButton::WMKillFocus(TMessage& Message)
{
  if (FRepeatMode && FRepeatTimer)
    StopRepeat();
  if (FGroupIndex == 0 && FDown)
    FDown = false;
  TskSkinCustomControl::WMKillFocus(Message);
  if (!FCanFocused)
    return;
  if (FIndex != -1 && CanAnimate(EffectsApply(), FLook))
    StartAnimation(false);
  if (MorphingApplies() && FIndex != -1)
    StartMorph();
  else
    Invalidate();
}

void TskSkinButton::WMEraseBkgnd(TMessage& Message)
{
  // Outside its own painting the button paints itself whole into the given DC, so that a
  // capture of what lies under a blended control shows it.
  if (!InWMPaint && Message.WParam)
    PaintWindow(reinterpret_cast<HDC>(Message.WParam));
  Message.Result = 1;
}

void TskSkinButton::CMDialogKey(TMessage& Message)
{
  if (Message.WParam == VK_RETURN && FActiveDefault && GetEnabled()) {
    DoClick();
    Message.Result = 1;
    return;
  }
  if (Message.WParam == VK_ESCAPE && FCancel && FCanFocused && CanFocus() &&
      (KeyboardStateToShiftState() & (ssShift | ssCtrl | ssAlt)) == 0) {
    DoClick();
    Message.Result = 1;
    return;
  }
  TskSkinCustomControl::CMDialogKey(Message);
}

void TskSkinButton::CMDialogChar(TMessage& Message)
{
  if (IsAccel(static_cast<Word>(Message.WParam), GetCaption()) && CanFocus() && FCanFocused) {
    SetFocus();
    DoClick();
    Message.Result = 1;
    return;
  }
  TskSkinCustomControl::CMDialogChar(Message);
}

void TskSkinButton::CMFocusChanged(TMessage& Message)
{
  auto* sender = reinterpret_cast<TWinControl*>(Message.LParam);
  auto* senderButton = dynamic_cast<TskSkinButton*>(sender);
  FActiveDefault = senderButton ? senderButton == this : FDefault;
  if (FCanFocused && FDefault) {
    if (senderButton && senderButton != this) {
      FMouseIn = false;
      MorphOrRepaint();
    } else if (!senderButton) {
      FMouseIn = true;
      if (MorphingApplies())
        FMorph.Factor = 1;
      Repaint();
    }
  }
  TskSkinCustomControl::CMFocusChanged(Message);
}

void TskSkinButton::CMEnabledChanged(TMessage& Message)
{
  TskSkinCustomControl::CMEnabledChanged(Message);
  if (MorphingApplies()) {
    StopMorph();
    FMorph.Factor = 0;
  }
  FMouseIn = false;
  Repaint();
}

void TskSkinButton::CMTextChanged(TMessage& Message)
{
  TskSkinCustomControl::CMTextChanged(Message);
  if (FIndex != -1 || Designing() || GetDrawDefault())
    Repaint();
}

void TskSkinButton::CMMouseEnter(TMessage& Message)
{
  TskSkinCustomControl::CMMouseEnter(Message);
  if (Designing())
    return;
  FMouseIn = true;
  const bool act = FGroupIndex != 0 ? !FDown : (!IsFocusedButton() || FDown);
  if (act) {
    if (FDown) {
      if (MorphingApplies())
        FMorph.Factor = 1;
      Repaint();
    } else {
      if (FIndex != -1 && CanAnimate(EffectsApply(), FLook))
        StartAnimation(true);
      MorphOrRepaint();
    }
  }
  if (FDown && FRepeatMode && FGroupIndex == 0)
    StartRepeat();
  if (HandleAllocated())
    PostMessageA(GetHandle(), ShowGlowFrameMessage, 0, 0);
}

void TskSkinButton::CMMouseLeave(TMessage& Message)
{
  TskSkinCustomControl::CMMouseLeave(Message);
  if (Designing())
    return;
  // A highlighted default button stays highlighted.
  if (!(FCanFocused && FDefault && FActiveDefault && !(HandleAllocated() && Focused())))
    FMouseIn = false;
  const bool act = FGroupIndex != 0 ? !FDown : (!IsFocusedButton() || FDown);
  if (act) {
    if (FDown) {
      if (MorphingApplies())
        FMorph.Factor = 1;
      Repaint();
    } else {
      if (FIndex != -1 && CanAnimate(EffectsApply(), FLook))
        StartAnimation(false);
      MorphOrRepaint();
    }
  }
  if (FDown && FRepeatMode && FRepeatTimer && FGroupIndex == 0)
    StopRepeat();
  if (HandleAllocated())
    PostMessageA(GetHandle(), HideGlowFrameMessage, 0, 0);
}

// --- clicks and the mouse --------------------------------------------------------------------

void TskSkinButton::Click()
{
  if (!GetAction())
    TskSkinCustomControl::Click();
}

void TskSkinButton::DoClick()
{
  if (FCanFocused)
    if (TCustomForm* form = GetParentForm(this))
      form->SetModalResult(FModalResult);
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

void TskSkinButton::ActionChange(TObject* Sender, bool CheckDefaults)
{
  // The class library here has no action lists with images, so an action gives no glyph.
  TskSkinCustomControl::ActionChange(Sender, CheckDefaults);
}

void TskSkinButton::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y)
{
  auto alive = FAliveFlag;
  TskSkinCustomControl::MouseDown(Button, Shift, X, Y);
  if (!*alive || Button != mbLeft)
    return;
  if (EffectsApply() && !IsNullRect(FLook.AnimateSkinRect))
    StopAnimation();
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

void TskSkinButton::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y)
{
  auto alive = FAliveFlag;
  if (Button == mbLeft) {
    FPressed = false;
    if (FGroupIndex == 0) {
      if (FMouseIn) {
        const bool wasDown = FDown;
        SetDown(false);
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
  // The click may have freed the button or closed its form.
  if (!*alive || !HandleAllocated() || !GetVisible())
    return;
  TskSkinCustomControl::MouseUp(Button, Shift, X, Y);
}

// --- repeat ----------------------------------------------------------------------------------

void TskSkinButton::StartRepeat()
{
  StopRepeat();
  FRepeatTimer = new TTimer(this);
  FRepeatTimer->SetEnabled(false);
  FRepeatTimer->SetInterval(500);
  FRepeatTimer->SetOnTimer([this](TObject* Sender) { RepeatTimerTick(Sender); });
  FRepeatTimer->SetEnabled(true);
}

void TskSkinButton::StopRepeat()
{
  TTimer* timer = FRepeatTimer;
  FRepeatTimer = nullptr;
  if (timer) {
    timer->SetEnabled(false);
    delete timer;
  }
}

void TskSkinButton::RepeatTimerTick(TObject*)
{
  if (!FRepeatTimer)
    return;
  if (FRepeatTimer->GetTag() == 0) {
    // The first tick only switches to the repeat rate.
    FRepeatTimer->SetTag(1);
    FRepeatTimer->SetInterval(static_cast<Cardinal>(std::max(FRepeatInterval, 1)));
    return;
  }
  DoClick();
}

// --- effects ---------------------------------------------------------------------------------

void TskSkinButton::StartMorph()
{
  FMorph.Start(this, [this](TObject* Sender) { MorphTimerTick(Sender); });
}

void TskSkinButton::StopMorph() { FMorph.Stop(); }

void TskSkinButton::MorphTimerTick(TObject*)
{
  const bool target = FMouseIn || IsFocusedButton();
  if (FMorph.Tick(FIndex != -1 && MorphingApplies(), target))
    Repaint();
}

void TskSkinButton::StartAnimation(bool Forward)
{
  FAnimation.Start(this, Forward, FLook.FrameCount, FLook.AnimateInterval,
                   [this](TObject* Sender) { AnimationTick(Sender); });
}

void TskSkinButton::StopAnimation() { FAnimation.Stop(); }

void TskSkinButton::AnimationTick(TObject*)
{
  if (FAnimation.Tick(FLook.FrameCount))
    Repaint();
}

void TskSkinButton::ShowGlowFrame()
{
  ShowButtonGlowFrame(FLayerManager, this, FSkinData, FLook, *this, FUseSkinSize, FAlwaysShowLayeredFrame);
}

void TskSkinButton::HideGlowFrame()
{
  HideButtonGlowFrame(FLayerManager, FSkinData, FLook, *this, FUseSkinSize, FAlwaysShowLayeredFrame);
}
