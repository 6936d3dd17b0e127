// TskSkinnedForm: rolling a form up to its caption and down again (for the non-client frame and
// for the client-drawn frame with its roll-up picture), and minimising the application into the
// notification area through the linked tray icon.
#include <algorithm>

#include "skin/controls/ComponentReference.h"
#include "skin/foundation/SkinRegions.h"
#include "skin/foundation/SkinStripImages.h"
#include "skin/frame/SkinnedForm.h"
#include "skin/input/SkinTrayIcon.h"

void TskSkinnedForm::SetRollUpState(bool Value)
{
  if (!FSkinLoaded && !FSupportNCArea)
    return;
  if (!(FBorderIcons & biRollUp))
    return;
  if (FRollUpState && FSkinWindowState == wsMaximized && !FMaxRollUpState)
    return;
  if (FSkinWindowState == wsMinimized)
    return;
  // Rolling up twice would take the caption strip for the height to come back to.
  if (Value == FRollUpState)
    return;
  if (FSkinWindowState == wsMaximized)
    FMaxRollUpState = Value;
  FRollUpState = Value;
  if (FSupportNCArea) {
    if (Value) {
      FRollUpHeight = FOwnerForm->GetHeight();
      FOwnerForm->SetHeight(GetEffectiveMinHeight());
    } else if (ClientHeight > 0) {
      FOwnerForm->SetClientHeight(ClientHeight);
    } else {
      FOwnerForm->SetHeight(FRollUpHeight);
    }
    UpdateObjectStates();
    SendNCPaint();
  } else {
    TskSkinData* skin = GetSkinData();
    if (!skin || skin->rolluppicture->Empty()) {
      FRollUpState = false;
    } else if (Value) {
      FRollUpHeight = FOwnerForm->GetHeight();
      ClientDrawnRollUp();
    } else {
      ClientDrawnRollDown();
    }
  }
  if (OnChangeRollUpState)
    OnChangeRollUpState(this);
}

void TskSkinnedForm::ClientDrawnRollUp()
{
  TskSkinData* skin = GetSkinData();
  const int wp = skin->rolluppicture->GetWidth(), hp = skin->rolluppicture->GetHeight();
  const TPoint lp = skin->rollupleftpoint, rp = skin->rolluprightpoint;
  const bool stretch = lp.x < rp.x;
  const int d = stretch ? FOwnerForm->GetWidth() - wp : 0;
  if (stretch) {
    for (TskActiveSkinObject* obj : FObjectList) {
      if (!obj->RollUp)
        continue;
      TRect r = obj->SkinRect;
      if (r.left >= rp.x)
        OffsetRect(&r, d, 0);
      else if (r.left <= lp.x && r.right >= rp.x)
        r.right += d;
      obj->ObjectRect = r;
    }
  }
  FActiveObject = -1;
  FMouseTimer->SetEnabled(false);
  FMorphTimer->SetEnabled(false);
  if (FHiddenControlList.empty()) {
    for (int i = 0; i < FOwnerForm->GetControlCount(); ++i) {
      TControl* c = FOwnerForm->GetControl(i);
      if (c->GetVisible()) {
        c->SetVisible(false);
        FHiddenControlList.push_back(c);
      }
    }
  }
  if (stretch)
    FOwnerForm->SetHeight(hp);
  else
    FOwnerForm->SetBounds(FOwnerForm->GetLeft(), FOwnerForm->GetTop(), wp, hp);
  SetRollUpRegion();
  FOwnerForm->Invalidate();
  FMouseTimer->SetEnabled(true);
  FMorphTimer->SetEnabled(true);
}

void TskSkinnedForm::ClientDrawnRollDown()
{
  FActiveObject = -1;
  FMouseTimer->SetEnabled(false);
  FMorphTimer->SetEnabled(false);
  for (TControl* c : FHiddenControlList)
    c->SetVisible(true);
  FHiddenControlList.clear();
  if (IsStretchableSkin())
    FOwnerForm->SetHeight(FRollUpHeight);
  TskSkinData* skin = GetSkinData();
  if (!IsStretchableSkin() && skin && !skin->picture->Empty())
    FOwnerForm->SetClientWidth(skin->picture->GetWidth()), FOwnerForm->SetClientHeight(skin->picture->GetHeight());
  UpdateFrame(true);
  FOwnerForm->Invalidate();
  FMouseTimer->SetEnabled(true);
  FMorphTimer->SetEnabled(true);
}

void TskSkinnedForm::SetRollUpRegion()
{
  if (!FOwnerForm->HandleAllocated())
    return;
  HWND wnd = FOwnerForm->GetHandle();
  TskSkinData* skin = GetSkinData();
  if (skin->rollupmask->Empty()) {
    SetWindowRgn(wnd, nullptr, TRUE);
    return;
  }
  TBitmap* mask = skin->rollupmask;
  TBitmap laid;
  if (skin->rollupleftpoint.x < skin->rolluprightpoint.x) {
    const TRect whole = Rect(0, 0, mask->GetWidth(), mask->GetHeight());
    BuildHorzSkinBitmap(skin->rollupleftpoint.x, mask->GetWidth() - skin->rolluprightpoint.x, &laid, mask, whole,
                        FOwnerForm->GetWidth(), mask->GetHeight(), false);
    mask = &laid;
  }
  HRGN rgn = nullptr;
  CreateRegionFromMask(rgn, mask);
  if (rgn)
    SetWindowRgn(wnd, rgn, TRUE);
}

// ---- Minimise to tray ----

void TskSkinnedForm::MinimizeToTray()
{
  if (!FTrayIcon)
    return;
  FTrayIcon->MinimizeToTray = true;
  if (Application)
    Application->Minimize();
  if (OnMinimizeToTray)
    OnMinimizeToTray(this);
}

void TskSkinnedForm::RestoreFromTray()
{
  if (!FTrayIcon)
    return;
  FTrayIcon->MinimizeToTray = false;
  FTrayIcon->RestoreMainForm();
  if (Application)
    Application->Restore();
  if (!AlwaysShowInTray && FTrayIcon)
    FTrayIcon->SetIconVisible(false);
  if (OnRestoreFromTray)
    OnRestoreFromTray(this);
}

void TskSkinnedForm::SetTrayIcon(TskTrayIcon* Value)
{
  SetComponentReference(this, FTrayIcon, Value);
  if (!FTrayIcon)
    return;
  if (!AlwaysShowInTray)
    FTrayIcon->SetIconVisible(false);
  if (!FTrayIcon->GetPopupMenu()) {
    FTrayIcon->SetPopupMenu(FTrayMenu);
    if (!FTrayIcon->OnDblClick)
      FTrayIcon->OnDblClick = [this](TObject*) { RestoreFromTray(); };
  }
}
