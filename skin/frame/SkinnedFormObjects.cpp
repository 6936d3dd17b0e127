// TskSkinnedForm: the frame objects it owns: made from the skin (or the six default caption
// buttons), enabled and shown by the border icons, laid out, found under the mouse, given the
// mouse, and the window commands of the caption buttons.
#include <algorithm>

#include "skin/foundation/SkinDrawUtils.h"
#include "skin/frame/SkinnedForm.h"
#include "skin/input/SkinHint.h"

namespace {

bool Inside(const TRect& R, int X, int Y) { return X >= R.left && X < R.right && Y >= R.top && Y < R.bottom; }

TskButtonCommand CommandOf(const TskActiveSkinObject* Obj, bool& IsButton)
{
  if (auto* b = dynamic_cast<const TskSkinStdButtonObject*>(Obj)) {
    IsButton = true;
    return b->Command;
  }
  IsButton = false;
  return cmDefault;
}

} // namespace

bool TskSkinnedForm::DrawnInRollUpState(const TskActiveSkinObject* Obj) const
{
  return FSupportNCArea ? !Obj->RollUp : Obj->RollUp == FRollUpState;
}

bool TskSkinnedForm::IsCaptionObject(int Index) const
{
  return Index >= 0 && Index < static_cast<int>(FObjectList.size()) &&
         dynamic_cast<TskSkinCaptionObject*>(FObjectList[static_cast<std::size_t>(Index)]) != nullptr;
}

bool TskSkinnedForm::OnCaptionObject(TPoint P) const
{
  for (std::size_t i = 0; i < FObjectList.size(); ++i) {
    const TskActiveSkinObject* obj = FObjectList[i];
    if (IsCaptionObject(static_cast<int>(i)) && DrawnInRollUpState(obj) && Inside(obj->ObjectRect, P.x, P.y))
      return true;
  }
  return false;
}

void TskSkinnedForm::FreeSkinObjects()
{
  for (TskActiveSkinObject* obj : FObjectList)
    delete obj;
  FObjectList.clear();
  FActiveObject = FOldActiveObject = FCaptureObject = -1;
}

void TskSkinnedForm::CreateSkinObjects()
{
  FreeSkinObjects();
  TskSkinData* skin = GetSkinData();
  if (!skin)
    return;
  for (TskDataSkinObject* record : skin->ObjectList) {
    // Menu records serve the menus, not the frame.
    if (dynamic_cast<TskDataSkinMainMenuBarButton*>(record))
      continue;
    if (auto* button = dynamic_cast<TskDataSkinStdButton*>(record))
      FObjectList.push_back(new TskSkinStdButtonObject(this, button));
    else if (auto* caption = dynamic_cast<TskDataSkinCaption*>(record))
      FObjectList.push_back(new TskSkinCaptionObject(this, caption));
  }
}

void TskSkinnedForm::CreateDefaultObjects()
{
  FreeSkinObjects();
  const struct {
    const char* Name;
    TskButtonCommand Command;
  } buttons[] = {{"closebutton", cmClose}, {"maxbutton", cmMaximize}, {"minbutton", cmMinimize},
                 {"rollupbutton", cmRollUp}, {"sysmenubutton", cmSysMenu}, {"traybutton", cmMinimizeToTray}};
  for (const auto& b : buttons)
    FObjectList.push_back(new TskSkinStdButtonObject(this, b.Name, b.Command));
  UpdateObjectStates();
}

void TskSkinnedForm::UpdateObjectStates()
{
  for (TskActiveSkinObject* obj : FObjectList) {
    bool isButton = false;
    const TskButtonCommand command = CommandOf(obj, isButton);
    if (!isButton)
      continue;
    if (HideCaptionButtons) {
      obj->Enabled = false;
      obj->Visible = !obj->SkinRectInAPicture;
      continue;
    }
    bool enabled = true;
    switch (command) {
    case cmMaximize: enabled = (FBorderIcons & biMaximize) != 0; break;
    case cmMinimize: enabled = (FBorderIcons & biMinimize) != 0; break;
    case cmRollUp: enabled = (FBorderIcons & biRollUp) != 0; break;
    case cmMinimizeToTray: enabled = (FBorderIcons & biMinimizeToTray) != 0; break;
    case cmSysMenu: enabled = (FBorderIcons & biSystemMenu) != 0 && !DisableSystemMenu; break;
    case cmDefault: {
      bool visible = false;
      if (OnActivateCustomObject)
        OnActivateCustomObject(obj->IDName, visible);
      obj->Visible = visible;
      continue;
    }
    case cmClose: continue;
    }
    obj->Enabled = enabled;
    obj->Visible = obj->SkinRectInAPicture ? enabled : true;
  }
  const String text = FOwnerForm->GetText();
  TskSkinCaptionObject* first = nullptr;
  bool shown = false;
  for (TskActiveSkinObject* obj : FObjectList) {
    if (auto* caption = dynamic_cast<TskSkinCaptionObject*>(obj)) {
      if (!first)
        first = caption;
      if (caption->DefaultCaption) {
        caption->Text = text;
        shown = true;
      }
    }
  }
  if (first && !shown) {
    first->DefaultCaption = true;
    first->Text = text;
  }
}

void TskSkinnedForm::CalcObjectRects()
{
  TskSkinData* skin = GetSkinData();
  for (TskActiveSkinObject* obj : FObjectList)
    obj->ObjectRect = MapSkinRect(obj->SkinRect);
  SizeGripRect = (FSkinLoaded && !IsNullRect(skin->sizegriparea)) ? MapSkinRect(skin->sizegriparea) : TRect{};
  if (!FSupportNCArea)
    return;
  const TRect layout = !IsNullRect(ButtonsRect) ? ButtonsRect : CaptionRect;
  if (IsNullRect(layout))
    return;
  auto buttonFor = [this](TskButtonCommand Command, std::size_t From) -> std::size_t {
    for (std::size_t i = From; i < FObjectList.size(); ++i) {
      bool isButton = false;
      if (CommandOf(FObjectList[i], isButton) == Command && isButton && FObjectList[i]->Visible &&
          FObjectList[i]->SkinRectInAPicture)
        return i;
    }
    return FObjectList.size();
  };
  auto sizeOf = [this](TskActiveSkinObject* Obj, int& W, int& H) {
    bool isButton = false;
    if (CommandOf(Obj, isButton) == cmSysMenu && FShowIcon) {
      GetSmallIconSize(W, H);
      return;
    }
    W = RectWidth(Obj->SkinRect);
    H = RectHeight(Obj->SkinRect);
  };
  TskSkinCaptionObject* caption = nullptr;
  for (TskActiveSkinObject* obj : FObjectList)
    if ((caption = dynamic_cast<TskSkinCaptionObject*>(obj)) != nullptr)
      break;
  // The commands laid out from the layout's edge, then the buttons without a command.
  std::vector<std::size_t> order;
  for (TskButtonCommand c : {cmClose, cmMaximize, cmMinimize, cmRollUp, cmMinimizeToTray})
    if (std::size_t i = buttonFor(c, 0); i < FObjectList.size())
      order.push_back(i);
  for (std::size_t i = buttonFor(cmDefault, 0); i < FObjectList.size(); i = buttonFor(cmDefault, i + 1))
    order.push_back(i);
  const int gap = ButtonsOffset;
  int y = layout.top;
  if (!ButtonsInLeft) {
    int x = layout.right;
    for (std::size_t i : order) {
      int w = 0, h = 0;
      sizeOf(FObjectList[i], w, h);
      FObjectList[i]->ObjectRect = TRect{x - w, y, x, y + h};
      x -= gap + w;
    }
    if (IsNullRect(ButtonsRect) && caption)
      caption->ObjectRect.right = x + gap;
    if (std::size_t i = buttonFor(cmSysMenu, 0); i < FObjectList.size()) {
      int w = 0, h = 0;
      sizeOf(FObjectList[i], w, h);
      x = CaptionRect.left;
      y = CaptionRect.top + RectHeight(CaptionRect) / 2 - h / 2;
      FObjectList[i]->ObjectRect = TRect{x, y, x + w, y + h};
      x += gap + w;
      if (caption)
        caption->ObjectRect.left = x - gap;
    }
  } else {
    if (IsNullRect(ButtonsRect))
      if (std::size_t i = buttonFor(cmSysMenu, 0); i < FObjectList.size())
        order.push_back(i);
    int x = layout.left;
    for (std::size_t i : order) {
      int w = 0, h = 0;
      sizeOf(FObjectList[i], w, h);
      FObjectList[i]->ObjectRect = TRect{x, y, x + w, y + h};
      x += gap + w;
    }
    if (IsNullRect(ButtonsRect) && caption)
      caption->ObjectRect.left = x + gap;
  }
}

void TskSkinnedForm::ArrangeDefaultButtons()
{
  if (FObjectList.empty())
    return;
  if (FrameWidth == 0)
    FrameWidth = FOwnerForm->GetWidth();
  const int ch = GetDefaultCaptionHeight();
  const int s = GetDefaultButtonSize();
  DefCaptionRect = TRect{3, 3, FrameWidth - 3, ch};
  int x = FrameWidth - 3;
  const int y = 4;
  auto first = [this](TskButtonCommand Command) -> TskActiveSkinObject* {
    for (TskActiveSkinObject* obj : FObjectList) {
      bool isButton = false;
      if (CommandOf(obj, isButton) == Command && isButton && obj->Visible && obj->SkinRectInAPicture)
        return obj;
    }
    return nullptr;
  };
  for (TskButtonCommand c : {cmClose, cmMaximize, cmMinimize, cmRollUp, cmMinimizeToTray}) {
    if (TskActiveSkinObject* obj = first(c)) {
      obj->ObjectRect = TRect{x - s, y, x, y + s};
      x -= s;
    }
  }
  DefCaptionRect.right = x;
  if (TskActiveSkinObject* obj = first(cmSysMenu)) {
    int w = s, h = s;
    if (FShowIcon)
      GetSmallIconSize(w, h);
    obj->ObjectRect = TRect{3, 4, 3 + w, 4 + h};
    DefCaptionRect.left = 3 + w;
  }
}

void TskSkinnedForm::TestActive(int X, int Y, bool Enter)
{
  if (FObjectList.empty() || (FSupportNCArea && !IsFormActive()) || FInMoveSize ||
      (IsMDIChild() && FSkinWindowState == wsMaximized) || (FSupportNCArea && BorderNone()))
    return;
  FOldActiveObject = FActiveObject;
  int found = -1;
  for (std::size_t i = 0; i < FObjectList.size(); ++i) {
    TskActiveSkinObject* obj = FObjectList[i];
    if (DrawnInRollUpState(obj) && obj->Enabled && obj->Visible && Inside(obj->ObjectRect, X, Y) &&
        obj->InActiveArea(X - obj->ObjectRect.left, Y - obj->ObjectRect.top)) {
      found = static_cast<int>(i);
      break;
    }
  }
  FActiveObject = Enter ? found : -1;
  if (FCaptureObject != -1 && FCaptureObject != FActiveObject)
    FActiveObject = -1;
  const int count = static_cast<int>(FObjectList.size());
  if (FActiveObject >= count)
    FActiveObject = -1;
  if (FOldActiveObject >= count)
    FOldActiveObject = -1;
  if (FActiveObject == FOldActiveObject)
    return;
  if (FOldActiveObject != -1) {
    TskActiveSkinObject* old = FObjectList[static_cast<std::size_t>(FOldActiveObject)];
    if (old->Enabled && old->Visible)
      old->MouseLeave();
    if (ShowObjectHint && FSkinHint)
      FSkinHint->HideHint();
  }
  if (FActiveObject != -1) {
    TskActiveSkinObject* now = FObjectList[static_cast<std::size_t>(FActiveObject)];
    if (now->Enabled && now->Visible) {
      now->MouseEnter();
      if (IsFormActive() && ShowObjectHint && FSkinHint && !now->Hint.empty())
        FSkinHint->ShowHintText(now->Hint);
    }
  }
}

void TskSkinnedForm::ResetObjectStates()
{
  for (TskActiveSkinObject* obj : FObjectList) {
    if (dynamic_cast<TskSkinCaptionObject*>(obj))
      continue;
    obj->Active = false;
    obj->MouseIn = false;
    obj->MorphFactor = 0;
    if (auto* button = dynamic_cast<TskSkinStdButtonObject*>(obj))
      button->Down = false;
  }
}

void TskSkinnedForm::ObjectMouseDown(TMouseButton Button, int X, int Y)
{
  if (!FSupportNCArea)
    DragStop();
  TestActive(X, Y, true);
  if (FActiveObject == -1) {
    if (!FSupportNCArea && Button == mbLeft && FSkinWindowState != wsMaximized && DraggAble)
      DragStart(X, Y);
    return;
  }
  if (FSupportNCArea && !IsCaptionObject(FActiveObject))
    SetCapture(FOwnerForm->GetHandle());
  FCaptureObject = FActiveObject;
  FObjectList[static_cast<std::size_t>(FActiveObject)]->MouseDown(X, Y, Button);
}

void TskSkinnedForm::ObjectMouseUp(TMouseButton Button, int X, int Y)
{
  if (!FSupportNCArea)
    DragStop();
  if (FCaptureObject < 0 || FCaptureObject >= static_cast<int>(FObjectList.size())) {
    FCaptureObject = -1;
    return;
  }
  const int index = FCaptureObject;
  FCaptureObject = -1;
  if (FSupportNCArea && !IsCaptionObject(index) && GetCapture() == FOwnerForm->GetHandle())
    ReleaseCapture();
  FObjectList[static_cast<std::size_t>(index)]->MouseUp(X, Y, Button);
}

void TskSkinnedForm::ObjectMouseMove(int X, int Y)
{
  if (!FSupportNCArea && FDragging)
    return;
  const int count = static_cast<int>(FObjectList.size());
  if (FCaptureObject >= 0 && FCaptureObject < count)
    FObjectList[static_cast<std::size_t>(FCaptureObject)]->MouseMove(X, Y);
  else if (FActiveObject >= 0 && FActiveObject < count)
    FObjectList[static_cast<std::size_t>(FActiveObject)]->MouseMove(X, Y);
}

void TskSkinnedForm::ExecuteCommand(TskButtonCommand Command)
{
  switch (Command) {
  case cmClose: FOwnerForm->Close(); break;
  case cmMaximize: SetSkinWindowState(FSkinWindowState == wsMaximized ? wsNormal : wsMaximized); break;
  case cmMinimize:
    if (AlwaysMinimizeToTray)
      MinimizeToTray();
    else
      SetSkinWindowState(FSupportNCArea && FSkinWindowState == wsMinimized ? wsNormal : wsMinimized);
    break;
  case cmRollUp: SetRollUpState(!FRollUpState); break;
  case cmMinimizeToTray: MinimizeToTray(); break;
  case cmSysMenu:
    for (TskActiveSkinObject* obj : FObjectList) {
      auto* button = dynamic_cast<TskSkinStdButtonObject*>(obj);
      if (button && button->Command == cmSysMenu && !DisableSystemMenu) {
        TRect r = button->ObjectRect;
        OffsetRect(&r, FOwnerForm->GetLeft(), FOwnerForm->GetTop());
        PopupSystemMenu(r);
        break;
      }
    }
    break;
  default: break;
  }
}

// ---- Timers ----

void TskSkinnedForm::MouseTimerTick(TObject*)
{
  if (!FSkinLoaded && !FSupportNCArea)
    return;
  if (!FOwnerForm->HandleAllocated())
    return;
  HWND wnd = FOwnerForm->GetHandle();
  TPoint cursor{};
  GetCursorPos(&cursor);
  if (FSupportNCArea) {
    if (WindowFromPoint(cursor) != wnd) {
      FMouseTimer->SetEnabled(false);
      TestActive(-1, -1, false);
      return;
    }
    if (FInMoveSize) {
      FMouseTimer->SetEnabled(false);
      return;
    }
    const TPoint p = ScreenToFramePoint(cursor);
    if (!Inside(FrameClientRect, p.x, p.y) || !IsNCSkinned())
      TestActive(p.x, p.y, true);
    else if (FActiveObject != -1)
      TestActive(-1, -1, true);
    return;
  }
  if (FDragging)
    return;
  if (WindowFromPoint(cursor) == wnd) {
    TPoint p = cursor;
    ScreenToClient(wnd, &p);
    TestActive(p.x, p.y, true);
  } else {
    TestActive(-1, -1, false);
    FMouseEntered = false;
    FMouseTimer->SetEnabled(false);
  }
}

void TskSkinnedForm::MorphTimerTick(TObject*)
{
  bool any = false;
  for (TskActiveSkinObject* obj : FObjectList) {
    if (obj->Morphing && obj->CanMorphing()) {
      obj->MorphFactor = std::clamp(obj->MorphFactor + (obj->Active ? 0.2 : -0.2), 0.0, 1.0);
      obj->ReDraw();
      any = true;
    }
  }
  if (!any)
    FMorphTimer->SetEnabled(false);
}

void TskSkinnedForm::AnimateTimerTick(TObject*) { FAnimateTimer->SetEnabled(false); }
