// TskSkinnedForm: the frame objects it owns: made from the skin (or the six default caption
// buttons), enabled and shown by the border icons, laid out, found under the mouse, given the
// mouse, their timers, the window commands of the caption buttons, the controls bound to named
// skin areas and the main-menu objects.
#include <algorithm>

#include "skin/controls/GraphicSkinControl.h"
#include "skin/controls/SkinControl.h"
#include "skin/foundation/SkinDrawUtils.h"
#include "skin/foundation/SkinLayered.h"
#include "skin/foundation/SkinStrings.h"
#include "skin/frame/SkinFormLookup.h"
#include "skin/frame/SkinnedForm.h"
#include "skin/input/SkinHint.h"

namespace {

bool Inside(const TRect& R, int X, int Y) { return X >= R.left && X < R.right && Y >= R.top && Y < R.bottom; }

// The command of a caption button (a standard button, or an animation acting as one); IsButton
// tells whether Obj is one.
TskButtonCommand CommandOf(const TskActiveSkinObject* Obj, bool& IsButton)
{
  if (auto* b = dynamic_cast<const TskSkinStdButtonObject*>(Obj)) {
    IsButton = true;
    return b->Command;
  }
  if (auto* a = dynamic_cast<const TskSkinAnimateObject*>(Obj)) {
    IsButton = true;
    return a->Command;
  }
  IsButton = false;
  return cmDefault;
}

// The object a SKINOBJECTS record makes, or nullptr for a record that makes none.
TskActiveSkinObject* CreateObjectFor(TskSkinnedForm* Form, TskDataSkinObject* Record)
{
  if (auto* r = dynamic_cast<TskDataSkinGauge*>(Record))
    return new TskSkinGaugeObject(Form, r);
  if (auto* r = dynamic_cast<TskDataSkinStdButton*>(Record))
    return new TskSkinStdButtonObject(Form, r);
  if (auto* r = dynamic_cast<TskDataSkinButton*>(Record))
    return new TskSkinButtonObject(Form, r);
  if (auto* r = dynamic_cast<TskDataSkinCaption*>(Record))
    return new TskSkinCaptionObject(Form, r);
  if (dynamic_cast<TskDataUserObject*>(Record))
    return new TskUserObject(Form, Record);
  if (auto* r = dynamic_cast<TskDataSkinSwitch*>(Record))
    return new TskSkinSwitchObject(Form, r);
  if (auto* r = dynamic_cast<TskDataSkinTrackBar*>(Record))
    return new TskSkinTrackBarObject(Form, r);
  if (auto* r = dynamic_cast<TskDataSkinLabel*>(Record))
    return new TskSkinLabelObject(Form, r);
  if (auto* r = dynamic_cast<TskDataSkinAnimate*>(Record))
    return new TskSkinAnimateObject(Form, r);
  if (auto* r = dynamic_cast<TskDataSkinBitLabel*>(Record))
    return new TskSkinBitLabelObject(Form, r);
  if (auto* r = dynamic_cast<TskDataSkinFrameRegulatorObject*>(Record))
    return new TskSkinFrameRegulatorObject(Form, r);
  if (auto* r = dynamic_cast<TskDataSkinFrameGaugeObject*>(Record))
    return new TskSkinFrameGaugeObject(Form, r);
  return nullptr;
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
  FAreaControlList.clear();
  FActiveObject = FOldActiveObject = FCaptureObject = -1;
}

void TskSkinnedForm::CreateSkinObjects()
{
  FreeSkinObjects();
  TskSkinData* skin = GetSkinData();
  if (!skin)
    return;
  for (TskDataSkinObject* record : skin->ObjectList) {
    // Menu records serve the menus and the main-menu objects, not the frame.
    if (dynamic_cast<TskDataSkinMainMenuItem*>(record) || dynamic_cast<TskDataSkinMenuItem*>(record) ||
        dynamic_cast<TskDataSkinMainMenuBarButton*>(record))
      continue;
    if (TskActiveSkinObject* obj = CreateObjectFor(this, record))
      FObjectList.push_back(obj);
  }
  RebuildMainMenuObjects(false);
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
    auto* animate = dynamic_cast<TskSkinAnimateObject*>(obj);
    if (HideCaptionButtons) {
      obj->Enabled = false;
      obj->Visible = !obj->SkinRectInAPicture;
      continue;
    }
    if (animate && (!animate->ButtonStyle || command == cmDefault))
      continue;
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
  UpdateObjectHints();
}

void TskSkinnedForm::UpdateObjectHints()
{
  TskSkinData* skin = GetSkinData();
  if (!UseDefaultObjectHint || !skin)
    return;
  struct THintText {
    TskButtonCommand Command;
    const char* Key;
    const char* Fallback;
  } static const texts[] = {{cmClose, "CLOSEBUTTON_HINT", "Close"},
                            {cmMaximize, "MAXBUTTON_HINT", "Maximize"},
                            {cmMinimize, "MINBUTTON_HINT", "Minimize"},
                            {cmSysMenu, "MENUBUTTON_HINT", "System menu"},
                            {cmRollUp, "ROLLUPBUTTON_HINT", "Roll Up"},
                            {cmMinimizeToTray, "TRAYBUTTON_HINT", "Minimize to Tray"}};
  auto text = [skin](const char* Key, const char* Fallback) -> String {
    if (TskResourceStrData* strings = skin->GetResourceStrData()) {
      const String value = strings->GetResStr(Key);
      if (!value.empty())
        return value;
    }
    return Fallback;
  };
  const String restore = text("RESTORE_HINT", "Restore");
  for (TskActiveSkinObject* obj : FObjectList) {
    bool isButton = false;
    const TskButtonCommand command = CommandOf(obj, isButton);
    if (!isButton || command == cmDefault)
      continue;
    for (const THintText& t : texts) {
      if (t.Command != command)
        continue;
      obj->Hint = text(t.Key, t.Fallback);
      if (auto* b = dynamic_cast<TskSkinStdButtonObject*>(obj)) {
        b->NormalHint = obj->Hint;
        b->RestoreHint = restore;
      } else if (auto* a = dynamic_cast<TskSkinAnimateObject*>(obj)) {
        a->NormalHint = obj->Hint;
        a->RestoreHint = restore;
      }
    }
  }
}

void TskSkinnedForm::CalcObjectRects()
{
  TskSkinData* skin = GetSkinData();
  for (TskActiveSkinObject* obj : FObjectList) {
    if (dynamic_cast<TskSkinMainMenuItem*>(obj)) {
      // Main-menu items lay themselves out from the main-menu area when drawn.
      obj->ObjectRect = TRect{MainMenuRect.left, MainMenuRect.top, MainMenuRect.left, MainMenuRect.top};
      continue;
    }
    obj->ObjectRect = MapSkinRect(obj->SkinRect);
  }
  SizeGripRect = (FSkinLoaded && !IsNullRect(skin->sizegriparea)) ? MapSkinRect(skin->sizegriparea) : TRect{};
  if (!FSupportNCArea) {
    PlaceAreaControls();
    return;
  }
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
    if (auto* b = dynamic_cast<TskSkinStdButtonObject*>(Obj); b && b->Command == cmSysMenu && FShowIcon) {
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
    if (auto* animate = dynamic_cast<TskSkinAnimateObject*>(obj)) {
      animate->Active = false;
      animate->Frame = 1;
      continue;
    }
    if (dynamic_cast<TskSkinCaptionObject*>(obj))
      continue;
    obj->Active = false;
    obj->MouseIn = false;
    obj->MorphFactor = 0;
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

void TskSkinnedForm::ObjectDblClick()
{
  if (FActiveObject >= 0 && FActiveObject < static_cast<int>(FObjectList.size()))
    FObjectList[static_cast<std::size_t>(FActiveObject)]->DblClick();
}

void TskSkinnedForm::CaptionDblClick()
{
  if (!IsCaptionObject(FActiveObject))
    return;
  if (FRollUpState)
    SetRollUpState(false);
  else if (Sizeable)
    SetSkinWindowState(FSkinWindowState == wsNormal ? wsMaximized : wsNormal);
  else
    SetRollUpState(true);
}

void TskSkinnedForm::ExecuteCommand(TskButtonCommand Command)
{
  switch (Command) {
  case cmClose:
    TestActive(-1, -1, false);
    FOwnerForm->Close();
    break;
  case cmMaximize:
    TestActive(-1, -1, false);
    SetSkinWindowState(FSkinWindowState == wsMaximized ? wsNormal : wsMaximized);
    break;
  case cmMinimize:
    TestActive(-1, -1, false);
    if (AlwaysMinimizeToTray)
      MinimizeToTray();
    else
      SetSkinWindowState(FSupportNCArea && FSkinWindowState == wsMinimized ? wsNormal : wsMinimized);
    break;
  case cmRollUp: SetRollUpState(!FRollUpState); break;
  case cmMinimizeToTray:
    TestActive(-1, -1, false);
    MinimizeToTray();
    break;
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
  case cmDefault: break;
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
  TskSkinData* skin = GetSkinData();
  if (UseSkinCursors && skin) {
    int index = skin->cursorindex;
    if (FActiveObject >= 0 && FActiveObject < static_cast<int>(FObjectList.size()) &&
        FObjectList[static_cast<std::size_t>(FActiveObject)]->CursorIndex != -1)
      index = FObjectList[static_cast<std::size_t>(FActiveObject)]->CursorIndex;
    const TCursor cursorId = index == -1 ? crDefault : static_cast<TCursor>(skin->StartCursorIndex + index);
    if (FOwnerForm->GetCursor() != cursorId)
      FOwnerForm->SetCursor(cursorId);
  }
}

void TskSkinnedForm::StartMorphTimer() { FMorphTimer->SetEnabled(true); }

void TskSkinnedForm::StartAnimateTimer() { FAnimateTimer->SetEnabled(true); }

void TskSkinnedForm::MorphTimerTick(TObject*)
{
  bool any = false;
  // A step may redraw; the list is walked by index so that nothing is read from a freed entry.
  for (std::size_t i = 0; i < FObjectList.size(); ++i) {
    TskActiveSkinObject* obj = FObjectList[i];
    if (obj->EnableMorphing() && obj->CanMorphing()) {
      obj->MorphStep();
      any = true;
    }
  }
  if (!any)
    FMorphTimer->SetEnabled(false);
}

void TskSkinnedForm::AnimateTimerTick(TObject*)
{
  bool any = false;
  for (std::size_t i = 0; i < FObjectList.size(); ++i) {
    TskActiveSkinObject* obj = FObjectList[i];
    if (auto* animate = dynamic_cast<TskSkinAnimateObject*>(obj)) {
      if (animate->CanAnimate()) {
        animate->AnimationStep();
        any = true;
      }
      continue;
    }
    auto* caption = dynamic_cast<TskSkinCaptionObject*>(obj);
    if (!caption || !caption->HasActivityAnimation())
      continue;
    if (caption->StepCounter < caption->AnimateInterval) {
      caption->StepCounter += 25;
      any = true;
    } else if (caption->Active && caption->AnimFrame <= caption->FrameCount) {
      ++caption->AnimFrame;
      DrawObject(caption);
      caption->StepCounter = 25;
      any = true;
    } else if (!caption->Active && caption->AnimFrame > 0) {
      --caption->AnimFrame;
      DrawObject(caption);
      caption->StepCounter = 25;
      any = true;
    }
  }
  if (!any)
    FAnimateTimer->SetEnabled(false);
}

// ---- Controls bound to skin areas ----

void TskSkinnedForm::RegisterAreaControls()
{
  FAreaControlList.clear();
  TskSkinData* skin = GetSkinData();
  if (!skin)
    return;
  for (int i = 0; i < FOwnerForm->GetControlCount(); ++i) {
    TControl* control = FOwnerForm->GetControl(i);
    String name;
    if (auto* c = dynamic_cast<TskSkinControl*>(control))
      name = c->GetAreaName();
    else if (auto* g = dynamic_cast<TskGraphicSkinControl*>(control))
      name = g->GetAreaName();
    if (name.empty())
      continue;
    const int index = skin->GetAreaIndex(name);
    if (index < 0 || index >= static_cast<int>(skin->AreaList.size()))
      continue;
    const TRect r = skin->AreaList[static_cast<std::size_t>(index)]->AreaBounds;
    if (IsNullRect(r))
      continue;
    control->SetAlign(alNone);
    FAreaControlList.push_back(TAreaControl{control, r});
  }
}

void TskSkinnedForm::PlaceAreaControls()
{
  const bool stretch = IsStretchableSkin();
  for (const TAreaControl& area : FAreaControlList) {
    const TRect r = stretch ? MapSkinRect(area.Rect) : area.Rect;
    area.Control->SetBounds(r.left, r.top, RectWidth(r), RectHeight(r));
    if (auto* windowed = dynamic_cast<TWinControl*>(area.Control))
      windowed->Realign();
  }
}

// ---- Main-menu objects ----

void TskSkinnedForm::RebuildMainMenuObjects(bool Repaint)
{
  // The last one first, so that the indexes of the others hold while they go.
  for (std::size_t i = FObjectList.size(); i-- > 0;) {
    if (!dynamic_cast<TskSkinMainMenuItem*>(FObjectList[i]))
      continue;
    if (FActiveObject == static_cast<int>(i) || FCaptureObject == static_cast<int>(i) ||
        FOldActiveObject == static_cast<int>(i))
      FActiveObject = FCaptureObject = FOldActiveObject = -1;
    delete FObjectList[i];
    FObjectList.erase(FObjectList.begin() + static_cast<std::ptrdiff_t>(i));
  }
  TskSkinData* skin = GetSkinData();
  if (FMainMenu && skin) {
    const int index = skin->GetObjectIndex("MAINMENUITEM");
    auto* record = index >= 0 && index < static_cast<int>(skin->ObjectList.size())
                       ? dynamic_cast<TskDataSkinMainMenuItem*>(skin->ObjectList[static_cast<std::size_t>(index)])
                       : nullptr;
    TMenuItem* items = FMainMenu->GetItems();
    for (int i = 0; record && items && i < items->GetCount(); ++i) {
      TMenuItem* item = items->GetItem(i);
      if (!item->GetVisible())
        continue;
      auto* obj = new TskSkinMainMenuItem(this, record);
      obj->IDName = item->GetName();
      obj->Enabled = item->GetEnabled();
      obj->SavedEnabled = obj->Enabled;
      obj->MenuItem = item;
      FObjectList.push_back(obj);
    }
  }
  if (!Repaint || !FOwnerForm->HandleAllocated())
    return;
  if (FSupportNCArea) {
    SendNCPaint();
  } else {
    RECT r = MainMenuRect;
    InvalidateRect(FOwnerForm->GetHandle(), &r, TRUE);
  }
}

// ---- Services to the objects ----

TPoint TskSkinnedForm::FrameScreenOrigin() const
{
  if (IsMDIChild() && FOwnerForm->HandleAllocated()) {
    TPoint p = UsesDefaultFrame() ? TPoint{-3, -(GetDefaultCaptionHeight() + 3)}
                                  : TPoint{-FrameClientRect.left, -FrameClientRect.top};
    ClientToScreen(FOwnerForm->GetHandle(), &p);
    return p;
  }
  return TPoint{FOwnerForm->GetLeft(), FOwnerForm->GetTop()};
}

TskLayerManager* TskSkinnedForm::GetLayerManager(int Index)
{
  if (Index < 0 || Index > 1)
    return nullptr;
  if (!FLayerManagers[Index])
    FLayerManagers[Index] = new TskLayerManager(this);
  return FLayerManagers[Index];
}

void TskSkinnedForm::PopupObjectMenu(TMenuItem* Item, const TRect& R, bool Upward)
{
  if (!Item || Item->GetCount() == 0)
    return;
  if (auto* popup = dynamic_cast<TskSkinPopupMenu*>(Item->GetParentMenu()); popup && popup->GetItems() == Item) {
    popup->PopupSkinMenu(R, Upward);
    return;
  }
  TskSkinData* skin = GetMenusSkinData() ? GetMenusSkinData() : GetSkinData();
  SkinMenuOpen();
  if (TskSkinMenu* engine = GetSkinMenu())
    engine->Popup(nullptr, skin, 0, R, Item, Upward);
}

String TskSkinnedForm::CaptionText() const
{
  // An MDI form with a maximised child names the child too.
  if (IsMDIForm() && FChildMaximizedMark)
    if (TForm* child = GetMaximizedMDIChild())
      return FOwnerForm->GetText() + " - [" + child->GetText() + "]";
  return FOwnerForm->GetText();
}

// A skinned menu closed: the first object holding an open menu lets it go.
void TskSkinnedForm::ReleaseMenuObject()
{
  for (TskActiveSkinObject* obj : FObjectList) {
    if (auto* item = dynamic_cast<TskSkinMainMenuItem*>(obj); item && item->Down) {
      item->Active = false;
      item->SetDown(false);
      break;
    }
    if (auto* button = dynamic_cast<TskSkinButtonObject*>(obj); button && button->MenuItem && button->Down) {
      button->SetDown(false);
      break;
    }
    if (auto* animate = dynamic_cast<TskSkinAnimateObject*>(obj); animate && animate->MenuOpen) {
      animate->MenuClosed();
      break;
    }
  }
  MainMenuMode = false;
}
