// TskSkinnedForm: creation and destruction, the window-procedure hook, references, the property
// setters, attaching a skin (ApplySkin, SetSkinnableForm) and the window states the frame's
// caption drives (maximise, restore, minimise, roll-up).
#include "skin/frame/SkinnedForm.h"
#include "skin/frame/SkinMainMenuBar.h"

#include <algorithm>

#include "platform/rtl/Exceptions.h"
#include "skin/controls/ComponentReference.h"
#include "skin/controls/SkinStatusBar.h"
#include "skin/foundation/SkinDrawUtils.h"
#include "skin/foundation/SkinLayered.h"
#include "skin/input/SkinHint.h"
#include "skin/frame/SkinLayerBorder.h"
#include "skin/input/SkinTrayIcon.h"

namespace {

TForm* RequireForm(TComponent* AOwner)
{
  auto* form = dynamic_cast<TForm*>(AOwner);
  if (!form)
    throw EInvalidCast("Invalid class typecast");
  return form;
}

void SetFontDefaults(TFont* Font, TColor Color)
{
  Font->SetName("Arial");
  Font->SetHeight(14);
  Font->SetStyle(fsBold);
  Font->SetColor(Color);
}

} // namespace

TskSkinnedForm::TskSkinnedForm(TComponent* AOwner) : TskSkinMenuHost(RequireForm(AOwner)), FOwnerForm(GetForm())
{
  FDefCaptionFont = std::make_unique<TFont>();
  FDefInActiveCaptionFont = std::make_unique<TFont>();
  SetFontDefaults(FDefCaptionFont.get(), clBtnText);
  SetFontDefaults(FDefInActiveCaptionFont.get(), clBtnShadow);
  FLogoBitMap = std::make_unique<TBitmap>();
  TopMask = std::make_unique<TBitmap>();
  BottomMask = std::make_unique<TBitmap>();
  LeftMask = std::make_unique<TBitmap>();
  RightMask = std::make_unique<TBitmap>();
  auto makeTimer = [this](Cardinal Interval, void (TskSkinnedForm::*Tick)(TObject*)) {
    auto* timer = new TTimer(this);
    timer->SetEnabled(false);
    timer->SetInterval(Interval);
    timer->SetOnTimer([this, Tick](TObject* Sender) { (this->*Tick)(Sender); });
    return timer;
  };
  FMorphTimer = makeTimer(25, &TskSkinnedForm::MorphTimerTick);
  FMouseTimer = makeTimer(50, &TskSkinnedForm::MouseTimerTick);
  FAnimateTimer = makeTimer(25, &TskSkinnedForm::AnimateTimerTick);

  FOwnerForm->SetBorderIcons(0);
  FOwnerForm->SetAutoScroll(false);
  CreateFormMenus();
  FLayerBorder = new TskFormLayerBorder(this);
  if (!Designing()) {
    FOldWindowProc = FOwnerForm->WindowProc;
    FOwnerForm->WindowProc = [this](TMessage& Message) { NewWndProc(Message); };
    if (FOwnerForm->HandleAllocated())
      FOwnerForm->RecreateWnd();
  }
}

TskSkinnedForm::~TskSkinnedForm()
{
  FMouseTimer->SetEnabled(false);
  FMorphTimer->SetEnabled(false);
  FAnimateTimer->SetEnabled(false);
  FreeSkinObjects();
  UnhookMDIClient();
  // A tray icon that outlives the component no longer calls it.
  if (FTrayIcon && FTrayIcon->GetPopupMenu() == FTrayMenu) {
    FTrayIcon->SetPopupMenu(nullptr);
    FTrayIcon->OnDblClick = nullptr;
  }
  if (FOwnerForm && !(FOwnerForm->GetComponentState() & csDestroying))
    FOwnerForm->OnShortCut = nullptr;
  if (!Designing() && FOwnerForm) {
    FOwnerForm->WindowProc = FOldWindowProc;
    // The window keeps no region of ours: the form is an ordinary form again.
    if (FOwnerForm->HandleAllocated() && !(FOwnerForm->GetComponentState() & csDestroying))
      SetWindowRgn(FOwnerForm->GetHandle(), nullptr, TRUE);
  }
}

void TskSkinnedForm::Notification(TComponent* AComponent, TOperation Operation)
{
  TskSkinMenuHost::Notification(AComponent, Operation);
  if (Operation != opRemove)
    return;
  // Every property that holds the component lets go of it (one component may serve twice).
  if (AComponent == FMainMenu) {
    FMainMenu = nullptr;
    RebuildMainMenuObjects(false);
  }
  // The objects made from a skin that goes cut their looks from it: they go with it.
  if (!FObjectList.empty() && FObjectList.front()->SkinData == AComponent)
    FreeSkinObjects();
  if (AComponent == FSystemMenu)
    FSystemMenu = nullptr;
  if (FMainMenuBar && AComponent == static_cast<TComponent*>(FMainMenuBar))
    FMainMenuBar = nullptr;
  if (FMenuModeBar && AComponent == static_cast<TComponent*>(FMenuModeBar))
    FMenuModeBar = nullptr;
  if (AComponent == FMDITabsBar)
    FMDITabsBar = nullptr;
  if (AComponent == FTrayIcon)
    FTrayIcon = nullptr;
  if (AComponent == FSkinHint)
    FSkinHint = nullptr;
  if (AComponent == FStatusBar)
    FStatusBar = nullptr;
  FSkinLoaded = GetSkinData() && !GetSkinData()->Empty;
}

// ---- Property setters ----

void TskSkinnedForm::SetSkinData(TskSkinData* Value)
{
  TskSkinMenuHost::SetSkinData(Value);
  if (Value && !IsMDIChild())
    FFormSkinnable = Value->GetSkinnableForm();
  if (!Designing())
    ApplySkin();
}

void TskSkinnedForm::SetBorderIcons(TskBorderIcons Value)
{
  FBorderIcons = Value;
  if (Loading() || Designing())
    return;
  if (FSupportNCArea || FSkinLoaded) {
    UpdateObjectStates();
    SendNCPaint();
  } else if (HideCaptionButtons) {
    UpdateObjectStates();
  }
}

void TskSkinnedForm::SetShowIcon(bool Value)
{
  FShowIcon = Value;
  if (!Loading() && !Designing())
    SendNCPaint();
}

void TskSkinnedForm::SetDefCaptionFont(TFont* Value)
{
  FDefCaptionFont->Assign(Value);
  if (!Loading() && !Designing() && !FSkinLoaded)
    SendNCPaint();
}

void TskSkinnedForm::SetDefInActiveCaptionFont(TFont* Value)
{
  FDefInActiveCaptionFont->Assign(Value);
  if (!Loading() && !Designing() && !FSkinLoaded)
    SendNCPaint();
}

void TskSkinnedForm::SetLogoBitMap(TBitmap* Value) { FLogoBitMap->Assign(Value); }

void TskSkinnedForm::SetSupportNCArea(bool Value)
{
  FSupportNCArea = Value;
  if (Designing() && !Value)
    FOwnerForm->SetBorderStyle(bsNone);
}

void TskSkinnedForm::SetAlphaBlend(bool Value)
{
  if (Value == FAlphaBlend)
    return;
  FAlphaBlend = Value;
  if (Loading() || Designing())
    return;
  HWND wnd = FOwnerForm->GetHandle();
  LONG ex = GetWindowLong(wnd, GWL_EXSTYLE);
  if (Value) {
    if (!(ex & WS_EX_LAYERED))
      SetWindowLong(wnd, GWL_EXSTYLE, ex | WS_EX_LAYERED);
    SetLayeredAlpha(wnd, FAlphaBlendValue);
  } else if (ex & WS_EX_LAYERED) {
    SetWindowLong(wnd, GWL_EXSTYLE, ex & ~static_cast<LONG>(WS_EX_LAYERED));
  }
}

void TskSkinnedForm::SetAlphaBlendValue(Byte Value)
{
  if (Value == FAlphaBlendValue)
    return;
  FAlphaBlendValue = Value;
  if (FAlphaBlend && !Loading() && !Designing())
    SetLayeredAlpha(FOwnerForm->GetHandle(), Value);
}

void TskSkinnedForm::SetDefMenuItemHeight(int Value)
{
  if (Value > 0 && GetSkinMenu())
    GetSkinMenu()->DefMenuItemHeight = Value;
}

void TskSkinnedForm::SetMaxMenuItemsInWindow(int Value)
{
  if (Value >= 0 && GetSkinMenu())
    GetSkinMenu()->MaxMenuItemsInWindow = Value;
}

void TskSkinnedForm::SetMenusAlphaBlend(bool Value)
{
  if (GetSkinMenu())
    GetSkinMenu()->AlphaBlend = Value;
}

void TskSkinnedForm::SetMenusAlphaBlendAnimation(bool Value)
{
  if (GetSkinMenu())
    GetSkinMenu()->AlphaBlendAnimation = Value;
}

void TskSkinnedForm::SetMenusAlphaBlendValue(Byte Value)
{
  if (GetSkinMenu())
    GetSkinMenu()->AlphaBlendValue = Value;
}

void TskSkinnedForm::SetUseSkinFontInMenu(bool Value)
{
  if (GetSkinMenu())
    GetSkinMenu()->UseSkinFont = Value;
}

void TskSkinnedForm::SetStatusBar(TskSkinStatusBar* Value)
{
  SetComponentReference(this, FStatusBar, Value);
}

void TskSkinnedForm::SetSkinHint(TskSkinHint* Value)
{
  SetComponentReference(this, FSkinHint, Value);
}

void TskSkinnedForm::SetMainMenu(TMainMenu* Value)
{
  SetComponentReference(this, FMainMenu, Value);
  if (FSkinLoaded && !Designing())
    RebuildMainMenuObjects(true);
}

void TskSkinnedForm::SetSystemMenu(TPopupMenu* Value)
{
  SetComponentReference(this, FSystemMenu, Value);
}

// ---- Small tests on the form ----

bool TskSkinnedForm::IsMDIChild() const { return FOwnerForm && FOwnerForm->GetFormStyle() == fsMDIChild; }
bool TskSkinnedForm::IsMDIForm() const { return FOwnerForm && FOwnerForm->GetFormStyle() == fsMDIForm; }
bool TskSkinnedForm::BorderNone() const { return FOwnerForm->GetBorderStyle() == bsNone; }

bool TskSkinnedForm::IsToolWindowStyle() const
{
  return FOwnerForm->GetBorderStyle() == bsToolWindow || FOwnerForm->GetBorderStyle() == bsSizeToolWin;
}

void TskSkinnedForm::SendNCPaint()
{
  if (FOwnerForm->HandleAllocated())
    SendMessage(FOwnerForm->GetHandle(), WM_NCPAINT, 1, 0);
}

// The frame recalculation: the window system asks for the non-client size again and the
// window is laid out anew for its present size.
void TskSkinnedForm::FrameRecalc()
{
  if (!FOwnerForm->HandleAllocated())
    return;
  SetWindowPos(FOwnerForm->GetHandle(), nullptr, 0, 0, 0, 0,
               SWP_FRAMECHANGED | SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  RedrawWindow(FOwnerForm->GetHandle(), nullptr, nullptr, RDW_FRAME | RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
}

void TskSkinnedForm::EnforceMinimumSize()
{
  const int minW = GetEffectiveMinWidth(), minH = GetEffectiveMinHeight();
  const int w = FOwnerForm->GetWidth(), h = FOwnerForm->GetHeight();
  if (w < minW && h < minH)
    FOwnerForm->SetBounds(FOwnerForm->GetLeft(), FOwnerForm->GetTop(), minW, minH);
  else if (h < minH)
    FOwnerForm->SetHeight(minH);
  else if (w < minW)
    FOwnerForm->SetWidth(minW);
  else
    FrameRecalc();
}

// ---- Attaching a skin ----

void TskSkinnedForm::ApplySkin()
{
  FActiveObject = FOldActiveObject = FCaptureObject = -1;
  TskSkinData* skin = GetSkinData();
  FSkinLoaded = skin && !skin->Empty;
  if (FSupportNCArea) {
    // A skin without a frame picture or client rectangle gives the default frame.
    if (IsNCSkinned() && FFormSkinnable) {
      CreateSkinObjects();
      UpdateObjectStates();
    } else {
      FreeSkinObjects();
      FrameWidth = FOwnerForm->GetWidth();
      FrameHeight = FOwnerForm->GetHeight();
      SetFrameRegion(true);
    }
    if (FFormSkinnable) {
      if (FOwnerForm->GetBorderIcons() != 0)
        FOwnerForm->SetBorderIcons(0);
    } else {
      TBorderIcons icons = HideCaptionButtons ? TBorderIcons(0) : TBorderIcons(biSystemMenu);
      icons |= FBorderIcons & (biMinimize | biMaximize);
      FOwnerForm->SetBorderIcons(icons);
    }
    EnforceMinimumSize();
    if (FRollUpState || FSkinWindowState == wsMinimized) {
      FOwnerForm->SetHeight(GetEffectiveMinHeight());
      if (FSkinWindowState == wsMinimized)
        FOwnerForm->SetWidth(GetEffectiveMinWidth());
    }
    FrameWidth = FOwnerForm->GetWidth();
    FrameHeight = FOwnerForm->GetHeight();
    if (IsNCSkinned())
      UpdateFrame(true);
    else
      SendNCPaint();
    if (FOwnerForm->HandleAllocated())
      FOwnerForm->Invalidate();
    UpdateCaptionActivity(true);
    FMouseTimer->SetEnabled(true);
    ReloadLayerBorder();
    if (OnChangeSkinData)
      OnChangeSkinData(this);
    if (!FRollUpState) {
      if (ClientWidth > 0)
        FOwnerForm->SetClientWidth(ClientWidth);
      if (ClientHeight > 0)
        FOwnerForm->SetClientHeight(ClientHeight);
    }
  } else if (FSkinLoaded) {
    if (!FRollUpState && !skin->picture->Empty()) {
      const int pw = skin->picture->GetWidth(), ph = skin->picture->GetHeight();
      if (IsStretchableSkin()) {
        if (MinWidth == 0 && FOwnerForm->GetClientWidth() < pw)
          FOwnerForm->SetClientWidth(pw);
        if (MinHeight == 0 && FOwnerForm->GetClientHeight() < ph)
          FOwnerForm->SetClientHeight(ph);
      } else {
        FOwnerForm->SetClientWidth(pw);
        FOwnerForm->SetClientHeight(ph);
        Sizeable = false;
      }
    }
    CreateSkinObjects();
    UpdateObjectStates();
    RegisterAreaControls();
    ReloadLayerBorder();
    if (OnChangeSkinData)
      OnChangeSkinData(this);
    FrameWidth = FOwnerForm->GetClientWidth();
    FrameHeight = FOwnerForm->GetClientHeight();
    if (!FRollUpState &&
        (IsStretchableSkin() ||
         (FrameWidth == skin->picture->GetWidth() && FrameHeight == skin->picture->GetHeight())))
      UpdateFrame(true);
    CalcObjectRects();
    UpdateCaptionActivity(true);
    FMouseTimer->SetEnabled(true);
  } else {
    FreeSkinObjects();
    FrameWidth = FOwnerForm->GetClientWidth();
    FrameHeight = FOwnerForm->GetClientHeight();
    if (FOwnerForm->HandleAllocated())
      FOwnerForm->Invalidate();
  }
}

void TskSkinnedForm::SetSkinnableForm(bool Value)
{
  if (Designing() || (IsMDIForm() && FOwnerForm->GetMDIChildCount() > 0))
    return;
  bool maximizeAgain = false;
  if (FSkinWindowState == wsMaximized && FFormSkinnable) {
    SetSkinWindowState(wsNormal);
    maximizeAgain = true;
  } else if (FOwnerForm->GetWindowState() == wsMaximized && !FFormSkinnable) {
    FOwnerForm->SetWindowState(wsNormal);
    maximizeAgain = true;
  }
  FFormSkinnable = Value;
  ApplySkin();
  UpdateSkinOfControls(nullptr, FOwnerForm);
  if (FOwnerForm->HandleAllocated())
    FrameRecalc();
  if (IsMDIForm())
    HookMDIClient();
  if (maximizeAgain) {
    if (!FFormSkinnable)
      FOwnerForm->SetWindowState(wsMaximized);
    else
      SetSkinWindowState(wsMaximized);
  }
}

TskSkinnedForm* GetSkinnedForm(TComponent* Form)
{
  if (!Form)
    return nullptr;
  for (int i = 0; i < Form->GetComponentCount(); ++i)
    if (auto* frame = dynamic_cast<TskSkinnedForm*>(Form->GetComponent(i)))
      return frame;
  return nullptr;
}
