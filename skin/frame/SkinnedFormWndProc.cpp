// TskSkinnedForm: the form's window procedure while the component lives (frame messages, the
// move and size loop, activation, the skin broadcasts and the query messages) and the walk that
// makes every skinned control of a form re-read its skin.
#include <algorithm>

#include "skin/controls/GraphicSkinControl.h"
#include "skin/controls/SkinBevel.h"
#include "skin/controls/SkinControl.h"
#include "skin/controls/SkinStdLabels.h"
#include "skin/foundation/SkinDrawUtils.h"
#include "skin/input/SkinEdit.h"
#include "skin/input/SkinHint.h"
#include "skin/input/SkinListView.h"
#include "skin/input/SkinMemo.h"
#include "skin/input/SkinPageControl.h"
#include "skin/input/SkinTreeView.h"
#include "skin/frame/SkinLayerBorder.h"
#include "skin/frame/SkinnedForm.h"

namespace {

TPoint LParamPoint(LPARAM LParam)
{
  return TPoint{static_cast<short>(LOWORD(static_cast<std::uintptr_t>(LParam))),
                static_cast<short>(HIWORD(static_cast<std::uintptr_t>(LParam)))};
}

// Calls the skin re-read of Component when its skin is Changed (or Changed is null); answers
// whether Component was one of the skinned kinds.
template <typename T>
bool ReSkin(TComponent* Component, TskSkinData* Changed)
{
  auto* control = dynamic_cast<T*>(Component);
  if (!control)
    return false;
  if (!Changed || control->GetSkinDataComponent() == Changed)
    control->ChangeSkinData();
  return true;
}

void ReSkinOne(TComponent* C, TskSkinData* Changed)
{
  ReSkin<TskGraphicSkinControl>(C, Changed) || ReSkin<TskSkinControl>(C, Changed) ||
      ReSkin<TskSkinPageControl>(C, Changed) || ReSkin<TskSkinCustomEdit>(C, Changed) ||
      ReSkin<TskSkinMemo>(C, Changed) || ReSkin<TskSkinLinkLabel>(C, Changed) ||
      ReSkin<TskSkinStdLabel>(C, Changed) || ReSkin<TskSkinTextLabel>(C, Changed) ||
      ReSkin<TskSkinCustomTreeView>(C, Changed) || ReSkin<TskSkinCustomListView>(C, Changed) ||
      ReSkin<TskSkinBevel>(C, Changed);
}

void ResetOne(TComponent* C, TskSkinData* Changed)
{
  if (auto* control = dynamic_cast<TskSkinControl*>(C)) {
    if (!Changed || control->GetSkinDataComponent() == Changed)
      control->ResetSkinIndex();
  } else if (auto* graphic = dynamic_cast<TskGraphicSkinControl*>(C)) {
    if (!Changed || graphic->GetSkinDataComponent() == Changed)
      graphic->ResetSkinIndex();
  }
}

// Visits Root, then its controls in order (windowed ones with theirs).
template <typename F>
void WalkControls(TComponent* Root, const F& Visit)
{
  Visit(Root);
  auto* parent = dynamic_cast<TWinControl*>(Root);
  if (!parent)
    return;
  for (int i = 0; i < parent->GetControlCount(); ++i) {
    TControl* child = parent->GetControl(i);
    if (dynamic_cast<TWinControl*>(child))
      WalkControls(child, Visit);
    else
      Visit(child);
  }
}

} // namespace

void TskSkinnedForm::UpdateSkinOfControls(TskSkinData* ChangedSkin, TComponent* Root)
{
  WalkControls(Root, [ChangedSkin](TComponent* C) { ReSkinOne(C, ChangedSkin); });
}

void TskSkinnedForm::ResetSkinOfControls(TskSkinData* ChangedSkin, TComponent* Root)
{
  WalkControls(Root, [ChangedSkin](TComponent* C) { ResetOne(C, ChangedSkin); });
}

void TskSkinnedForm::NewWndProc(TMessage& Message)
{
  if (IsMenuCloseMessage(Message.Msg) && ShowObjectHint && FSkinHint)
    FSkinHint->HideHint();
  const bool consumed = BeforeSaved(Message);
  if (!consumed && FOldWindowProc)
    FOldWindowProc(Message);
  AfterSaved(Message);
}

// The first table: answers whether the message is consumed.
bool TskSkinnedForm::BeforeSaved(TMessage& Message)
{
  const bool skinnable = FFormSkinnable;
  const bool frameSkin = FSkinLoaded && IsNCSkinned();
  switch (Message.Msg) {
  case WM_MOVE:
    if (FLayerBorder->Shown)
      FLayerBorder->MoveBorder(FOwnerForm->GetLeft(), FOwnerForm->GetTop());
    return false;
  case WM_DESTROY:
    FLayerBorder->HideBorder();
    FMouseTimer->SetEnabled(false);
    FMorphTimer->SetEnabled(false);
    FAnimateTimer->SetEnabled(false);
    if (IsMDIChild())
      MDIChildDestroyed();
    return false;
  case WM_SIZE: {
    ClearMagnetSnaps();
    if (FOldWindowProc)
      FOldWindowProc(Message);
    FrameWidth = FOwnerForm->GetWidth();
    FrameHeight = FOwnerForm->GetHeight();
    if (!FSupportNCArea) {
      FrameWidth = FOwnerForm->GetClientWidth();
      FrameHeight = FOwnerForm->GetClientHeight();
    }
    if (FSupportNCArea && !frameSkin) {
      SendNCPaint();
      SetFrameRegion(true);
    } else if (FSupportNCArea) {
      if (skinnable && FrameWidth >= GetEffectiveMinWidth() && FrameHeight >= GetEffectiveMinHeight())
        UpdateFrame(true);
    } else if (FSkinLoaded && !FRollUpState) {
      TskSkinData* skin = GetSkinData();
      if (IsStretchableSkin())
        UpdateFrame(true);
      else if (FrameWidth == skin->picture->GetWidth() && FrameHeight == skin->picture->GetHeight())
        UpdateFrame(false);
    }
    if (FAlphaBlend && FAlphaBlendValue < 255 && FSupportNCArea) {
      SendNCPaint();
      FOwnerForm->Invalidate();
    }
    if (FSupportNCArea && !FLogoBitMap->Empty() && !IsMDIForm())
      FOwnerForm->Invalidate();
    SyncLayerBorder();
    return true;
  }
  case WM_ACTIVATE:
    if (!skinnable)
      return false;
    DragStop();
    if (FOldWindowProc)
      FOldWindowProc(Message);
    if (IsMDIChild() && FSkinWindowState == wsMaximized) {
      UpdateCaptionActivity(false);
    } else {
      if (FSupportNCArea) {
        FActiveObject = -1;
        ResetObjectStates();
        SendNCPaint();
      }
      UpdateCaptionActivity(true);
    }
    if (IsMDIForm())
      RefreshMenuBar();
    return true;
  case WM_SETTEXT:
    if (!skinnable)
      return false;
    if (FOldWindowProc)
      FOldWindowProc(Message);
    if (!BorderNone() && !(IsMDIChild() && FSkinWindowState == wsMaximized)) {
      for (TskActiveSkinObject* obj : FObjectList)
        if (auto* caption = dynamic_cast<TskSkinCaptionObject*>(obj); caption && caption->DefaultCaption)
          caption->Text = FOwnerForm->GetText();
      if (!FSupportNCArea && FSkinLoaded)
        FOwnerForm->Invalidate();
      else
        SendNCPaint();
    }
    if (IsMDIChild()) {
      UpdateWindowMenuItem();
      RepaintTab();
    }
    return true;
  case WM_ERASEBKGND: {
    HDC dc = reinterpret_cast<HDC>(Message.WParam);
    if (dc && (!IsMDIForm() || FSnapshotInProgress)) {
      TskSkinData* skin = GetSkinData();
      if (!FSupportNCArea)
        PaintClientDrawn(dc);
      else if (!FSkinLoaded || !IsNCSkinned())
        PaintPlainBackground(dc);
      else if (skin->bgpictureindex == -1)
        PaintClientPicture(dc);
      else
        PaintBackground(dc);
    }
    Message.Result = 1;
    return true;
  }
  case WM_SHOWWINDOW:
    if (Message.WParam == 0) {
      for (TskActiveSkinObject* obj : FObjectList)
        obj->HideLayer();
      FLayerBorder->HideBorder();
      if (skinnable && IsMDIChild())
        MDIChildShowing(false);
      return false;
    }
    PositionOnFirstShow();
    StartFade();
    if (FLayerBorder->HasRecord() && CanShowLayeredBorder() && FSkinWindowState == wsNormal && !FRollUpState)
      FLayerBorder->ShowBorder();
    if (skinnable && !IsMDIForm() && FSupportNCArea)
      FrameRecalc();
    if (IsMDIForm())
      HookMDIClient();
    if (skinnable && IsMDIChild())
      MDIChildShowing(true);
    return false;
  case WM_MOUSEACTIVATE:
    if (IsMDIChild())
      MDIChildMouseActivate();
    return false;
  case WM_SETCURSOR:
    if (FSupportNCArea && UseFormCursorInNCArea && skinnable) {
      const LRESULT hit = static_cast<short>(LOWORD(static_cast<std::uintptr_t>(Message.LParam)));
      if (hit != HTCLIENT && (hit < HTLEFT || hit > HTBOTTOMRIGHT))
        Message.LParam = MAKELPARAM(HTCLIENT, HIWORD(static_cast<std::uintptr_t>(Message.LParam)));
    }
    return false;
  case WM_GETMINMAXINFO:
    if (skinnable) {
      auto* info = reinterpret_cast<MINMAXINFO*>(Message.LParam);
      if (info) {
        info->ptMinTrackSize = TPoint{GetEffectiveMinWidth(), GetEffectiveMinHeight()};
        info->ptMaxTrackSize = TPoint{GetEffectiveMaxWidth(), GetEffectiveMaxHeight()};
      }
    }
    return false;
  case WM_DISPLAYCHANGE:
    if (FSupportNCArea && !BorderNone() &&
        (FOwnerForm->GetWidth() > GetEffectiveMaxWidth() || FOwnerForm->GetHeight() > GetEffectiveMaxHeight()))
      FrameRecalc();
    return false;
  case WM_NCCALCSIZE: {
    if (!skinnable)
      return false;
    RECT* r = Message.WParam ? &reinterpret_cast<NCCALCSIZE_PARAMS*>(Message.LParam)->rgrc[0]
                             : reinterpret_cast<RECT*>(Message.LParam);
    if (r)
      CalcClientRect(*r);
    Message.Result = 0;
    return true;
  }
  case WM_NCHITTEST: {
    const TPoint screen = LParamPoint(Message.LParam);
    if (!FSupportNCArea) {
      if (!FSkinLoaded) {
        Message.Result = HTCLIENT;
        return false;
      }
      TPoint p = screen;
      ScreenToClient(FOwnerForm->GetHandle(), &p);
      if (!FMouseEntered) {
        FMouseEntered = true;
        TestActive(p.x, p.y, true);
        FMouseTimer->SetEnabled(true);
      }
      Message.Result = HitTestClientDrawn(p);
      return true;
    }
    if (!skinnable)
      return false;
    const TPoint p = ScreenToFramePoint(screen);
    FrameWidth = FOwnerForm->GetWidth();
    FrameHeight = FOwnerForm->GetHeight();
    Message.Result = frameSkin ? HitTestSkinned(p) : HitTestDefault(p);
    if (!FMouseTimer->GetEnabled() && Message.Result == HTOBJECT) {
      TestActive(p.x, p.y, true);
      FMouseTimer->SetEnabled(true);
    }
    return true;
  }
  case WM_NCPAINT:
    if (!skinnable)
      return false;
    if (!BorderNone() && !(IsMDIChild() && FSkinWindowState == wsMaximized) && FSupportNCArea) {
      if (frameSkin)
        PaintSkinnedNC(nullptr, false);
      else
        PaintDefaultNC(nullptr, false);
    }
    return true;
  case WM_NCACTIVATE:
    if (!skinnable)
      return false;
    if (GetSkinMenu() && GetSkinMenu()->Visible)
      GetSkinMenu()->CloseMenu();
    for (TskActiveSkinObject* obj : FObjectList)
      obj->HideLayer();
    FFormActive = Message.WParam != 0;
    if (!FFormActive)
      FActiveObject = -1;
    FLayerBorder->SetActive(FFormActive, true);
    if (IsMDIChild() && FOldWindowProc) {
      FOldWindowProc(Message);
      FOwnerForm->Invalidate();
    }
    Message.Result = 1;
    if (BorderNone() || (IsMDIChild() && FSkinWindowState == wsMaximized)) {
      UpdateCaptionActivity(false);
      if (IsMDIChild() && Application->GetMainForm() && Application->GetMainForm()->HandleAllocated())
        SendMessageA(Application->GetMainForm()->GetHandle(), WM_NCPAINT, 1, 0);
    } else {
      SendNCPaint();
      UpdateCaptionActivity(true);
    }
    if (!FFormActive && ClientInActiveEffect && FOwnerForm->GetVisible())
      ShowClientInActivePanel();
    else if (FFormActive)
      HideClientInActivePanel();
    if (IsMDIChild())
      MDIChildNCActivate();
    return true;
  case WM_SYNCPAINT:
    if (skinnable && FRollUpState && FSupportNCArea) {
      SendNCPaint();
      Message.Result = 0;
      return true;
    }
    return false;
  case WM_SYSCOMMAND:
    if ((Message.WParam & 0xFFF0) == SC_RESTORE && OnRestore)
      OnRestore(this);
    if ((Message.WParam & 0xFFF0) == SC_KEYMENU && KeyMenu(Message.LParam)) {
      Message.Result = 0;
      return true;
    }
    return false;
  case WM_TIMER:
    if (Message.WParam == 1) {
      FadeTimer();
      return true;
    }
    return false;
  case WM_SIZING:
    // Live sizing: the size is taken here, the frame is laid out and painted once the window has
    // its new size (WM_SIZE), so that no frame is ever painted for a size the window lacks.
    ClearMagnetSnaps();
    if (!FInMoveSize || !FFullDrag)
      return false;
    FLiveSizing = true;
    if (FOldWindowProc)
      FOldWindowProc(Message);
    if (auto* r = reinterpret_cast<RECT*>(Message.LParam)) {
      FrameWidth = r->right - r->left;
      FrameHeight = r->bottom - r->top;
    }
    return true;
  case WM_MOVING:
    if (skinnable && FSkinWindowState == wsMaximized && !IsMDIChild()) {
      if (auto* r = reinterpret_cast<RECT*>(Message.LParam))
        *r = FOwnerForm->GetBoundsRect();
    } else if (Magnetic) {
      if (auto* r = reinterpret_cast<RECT*>(Message.LParam)) {
        int left = r->left, top = r->top;
        MagnetPosition(left, top, FOwnerForm->GetHeight(), FOwnerForm->GetWidth());
        *r = TRect{left, top, left + FOwnerForm->GetWidth(), top + FOwnerForm->GetHeight()};
      }
    }
    return false;
  case WM_ENTERSIZEMOVE:
    SetMagnetAnchor();
    if (FSupportNCArea && skinnable) {
      ResetObjectStates();
      FMouseTimer->SetEnabled(false);
      FActiveObject = FCaptureObject = -1;
      FInMoveSize = true;
      BOOL full = TRUE;
      SystemParametersInfo(SPI_GETDRAGFULLWINDOWS, 0, &full, 0);
      FFullDrag = full != FALSE;
    }
    return false;
  case WM_EXITSIZEMOVE:
    if (FSupportNCArea && skinnable) {
      FMouseTimer->SetEnabled(false);
      FActiveObject = FOldActiveObject = FCaptureObject = -1;
      FInMoveSize = false;
      FLiveSizing = false;
      FrameWidth = FOwnerForm->GetWidth();
      FrameHeight = FOwnerForm->GetHeight();
      if (frameSkin)
        UpdateFrame(true);
      else
        SendNCPaint();
    }
    return false;
  case SkinChangingMessage:
    if (reinterpret_cast<TskSkinData*>(Message.WParam) == GetSkinData()) {
      FSkinChanging = true;
      FSkinLoaded = false;
      FMouseTimer->SetEnabled(false);
      FMorphTimer->SetEnabled(false);
      FAnimateTimer->SetEnabled(false);
      FreeSkinObjects();
      ResetSkinOfControls(GetSkinData(), FOwnerForm);
    }
    return false;
  case SkinChangedMessage:
    FSkinChanging = false;
    if (reinterpret_cast<TskSkinData*>(Message.WParam) == GetSkinData())
      ApplySkin();
    UpdateSkinOfControls(reinterpret_cast<TskSkinData*>(Message.WParam), FOwnerForm);
    return false;
  case SkinnableFormChangedMessage:
    if (reinterpret_cast<TskSkinData*>(Message.WParam) == GetSkinData() && GetSkinData() && !IsMDIChild())
      SetSkinnableForm(GetSkinData()->GetSkinnableForm());
    return false;
  case SkinStringsChangedMessage:
    UpdateObjectStates();
    return false;
  case SkinAfterChangeMessage:
  case MDIChildRefitMessage:
  case MDIChildMaximizedMessage:
  case MDIChildRestoredMessage: MDIPrivateMessage(Message); return false;
  case SkinFormQueryMessage:
    Message.Result = skinnable ? 12853 : 12852;
    return true;
  case LayerBorderUpdateBeginMessage:
    FLayerBorderSuspended = true;
    return false;
  case LayerBorderUpdateEndMessage:
    FLayerBorderSuspended = false;
    return false;
  case SkinControlQueryMessage:
  case SkinFramePaintMessage: {
    if (!skinnable || (Message.Msg == SkinFramePaintMessage && Message.LParam != SkinFramePaintParam))
      return false;
    HDC dc = reinterpret_cast<HDC>(Message.WParam);
    if (dc && FSupportNCArea && !BorderNone() && !(IsMDIChild() && FSkinWindowState == wsMaximized)) {
      if (frameSkin)
        PaintSkinnedNC(dc, true);
      else if (!FSkinChanging)
        PaintDefaultNC(dc, true);
    }
    Message.Result = Message.Msg == SkinControlQueryMessage ? SkinControlQueryAnswer : SkinFramePaintParam;
    return true;
  }
  default: return false;
  }
}

// The second table: after the saved procedure.
void TskSkinnedForm::AfterSaved(TMessage& Message)
{
  if (Message.Msg >= WM_NCMOUSEMOVE && Message.Msg <= WM_NCRBUTTONDBLCLK) {
    if (FSupportNCArea && FFormSkinnable)
      NCMouse(Message);
    return;
  }
  if (Message.Msg >= WM_MOUSEMOVE && Message.Msg <= WM_RBUTTONDBLCLK)
    ClientMouse(Message);
}

void TskSkinnedForm::NCMouse(TMessage& Message)
{
  if (!FOwnerForm->HandleAllocated())
    return;
  const TPoint p = ScreenToFramePoint(LParamPoint(Message.LParam));
  const bool caption = Message.WParam == static_cast<WPARAM>(HTCAPTION);
  switch (Message.Msg) {
  case WM_NCMOUSEMOVE: ObjectMouseMove(p.x, p.y); break;
  case WM_NCLBUTTONDOWN:
    if (FInMoveSize) {
      FInMoveSize = false;
      break;
    }
    TestActive(p.x, p.y, true);
    ObjectMouseDown(mbLeft, p.x, p.y);
    if (caption)
      FCaptureObject = -1;
    break;
  case WM_NCLBUTTONUP:
    try {
      ObjectMouseUp(mbLeft, p.x, p.y);
    } catch (...) {
      // A command that closed or freed the form must not break the message loop.
    }
    break;
  case WM_NCLBUTTONDBLCLK:
    TestActive(p.x, p.y, true);
    ObjectMouseDown(mbLeft, p.x, p.y);
    ObjectDblClick();
    if (caption) {
      CaptionDoubleClick();
      FCaptureObject = -1;
    }
    break;
  case WM_NCRBUTTONDOWN:
  case WM_NCRBUTTONDBLCLK:
    TestActive(p.x, p.y, true);
    ObjectMouseDown(mbRight, p.x, p.y);
    if (caption)
      FCaptureObject = -1;
    if (caption && Message.Msg == WM_NCRBUTTONDOWN && !DisableSystemMenu) {
      const TPoint at = LParamPoint(Message.LParam);
      PopupSystemMenu(at.x, at.y);
    }
    break;
  case WM_NCRBUTTONUP: ObjectMouseUp(mbRight, p.x, p.y); break;
  default: break;
  }
}

void TskSkinnedForm::CaptionDoubleClick()
{
  if (Sizeable && FSkinWindowState == wsMinimized)
    SetSkinWindowState(wsNormal);
  else if (Sizeable && FSkinWindowState != wsMaximized && !FRollUpState && (FBorderIcons & biMaximize))
    SetSkinWindowState(wsMaximized);
  else if (Sizeable && FSkinWindowState == wsMaximized && !FMaxRollUpState)
    SetSkinWindowState(wsNormal);
  else
    SetRollUpState(!FRollUpState);
}

void TskSkinnedForm::ClientMouse(TMessage& Message)
{
  const TPoint p = LParamPoint(Message.LParam);
  const bool clientDrawn = !FSupportNCArea;
  switch (Message.Msg) {
  case WM_MOUSEMOVE:
    if (clientDrawn) {
      ObjectMouseMove(p.x, p.y);
      if (FSkinWindowState != wsMaximized)
        DragMove();
    }
    break;
  case WM_LBUTTONDOWN:
    if (clientDrawn)
      ObjectMouseDown(mbLeft, p.x, p.y);
    break;
  case WM_LBUTTONUP:
    ObjectMouseUp(mbLeft, clientDrawn ? p.x : -1, clientDrawn ? p.y : -1);
    break;
  case WM_LBUTTONDBLCLK:
    ObjectMouseDown(mbLeft, p.x, p.y);
    ObjectDblClick();
    if (clientDrawn)
      CaptionDblClick();
    break;
  case WM_RBUTTONDOWN:
    if (clientDrawn)
      ObjectMouseDown(mbRight, p.x, p.y);
    break;
  case WM_RBUTTONUP:
    ObjectMouseUp(mbRight, clientDrawn ? p.x : -1, clientDrawn ? p.y : -1);
    break;
  case WM_RBUTTONDBLCLK: ObjectMouseDown(mbRight, p.x, p.y); break;
  default: break;
  }
}
