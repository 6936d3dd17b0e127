// The pressable frame objects: picture buttons, caption buttons and filmstrip animations.
#include "skin/frame/SkinFrameButtons.h"

#include <algorithm>

#include "skin/foundation/SkinData.h"
#include "skin/foundation/SkinDrawUtils.h"
#include "skin/foundation/SkinGlyphs.h"
#include "skin/foundation/SkinLayered.h"
#include "skin/frame/SkinnedForm.h"

String CaptionButtonHint(bool Restore, const String& RestoreHint, const String& NormalHint)
{
  return Restore && !RestoreHint.empty() ? RestoreHint : NormalHint;
}

namespace {

bool RestoreStateOf(TskSkinnedForm* Form, TskButtonCommand Command)
{
  switch (Command) {
  case cmMaximize: return Form->GetSkinWindowState() == wsMaximized;
  case cmMinimize: return Form->GetSkinWindowState() == wsMinimized;
  case cmRollUp: return Form->GetRollUpState();
  default: return false;
  }
}

// Hides the windows of both layer managers of Form when shown.
void HideBothLayers(TskSkinnedForm* Form)
{
  for (int i = 0; i < 2; ++i)
    if (TskLayerManager* layers = Form->GetLayerManager(i); layers && layers->GetShown())
      layers->Hide();
}

} // namespace

// ---- TskSkinButtonObject ----

TskSkinButtonObject::TskSkinButtonObject(TskSkinnedForm* AParent, TskDataSkinButton* Data)
    : TskActiveSkinObject(AParent, Data)
{
  if (Data) {
    DownRect = Data->downrect;
    DisableSkinRect = Data->disableskinrsect;
    GroupIndex = Data->groupindex;
  }
  Down = Active = MouseIn = false;
  MorphFactor = 0;
}

TskLayerManager* TskSkinButtonObject::GlowManager() const { return Parent->GetLayerManager(MenuItem ? 1 : 0); }


void TskSkinButtonObject::Draw(TCanvas* Cnvs, bool Alone)
{
  if (!SkinReady())
    return;
  if (!Enabled && !IsNullRect(DisableSkinRect)) {
    CopyLook(Cnvs, ActivePicture, DisableSkinRect);
    return;
  }
  if (Down && !IsNullRect(DownRect) && (GroupIndex != -1 || MouseIn)) {
    CopyLook(Cnvs, ActivePicture, DownRect);
    return;
  }
  TskActiveSkinObject::Draw(Cnvs, Alone);
}

void TskSkinButtonObject::SetDown(bool Value)
{
  Down = Value;
  const bool noDownLook = IsNullRect(DownRect);
  if (MenuItem && Value && noDownLook) {
    // The button stays lit while its menu is open.
    MouseIn = Active = true;
    if (EnableMorphing())
      MorphFactor = 1;
    Parent->DrawObject(this);
  }
  if (MenuItem && !Value && noDownLook) {
    Parent->DrawObject(this);
    if (EnableMorphing())
      ReDraw();
  }
  if (noDownLook && !Value)
    return;
  if (!noDownLook && !Value) {
    if (GroupIndex != -1 || MenuItem)
      Active = false;
    if (EnableMorphing())
      Parent->DrawObject(this);
    ReDraw();
    return;
  }
  if (!noDownLook) {
    if (EnableMorphing())
      MorphFactor = 1;
    Parent->DrawObject(this);
  }
  if (GroupIndex == -1)
    return;
  for (TskActiveSkinObject* obj : Parent->Objects()) {
    auto* other = dynamic_cast<TskSkinButtonObject*>(obj);
    if (other && other != this && other->IDName != IDName && other->GroupIndex == GroupIndex && other->Down) {
      other->SetDown(false);
      break;
    }
  }
}

void TskSkinButtonObject::PopupMenu()
{
  if (!MenuItem || MenuItem->GetCount() == 0)
    return;
  HideBothLayers(Parent);
  if (MouseIn)
    ShowLayer();
  Parent->PopupObjectMenu(MenuItem, ScreenObjectRect(), UpwardPopup);
}

void TskSkinButtonObject::MouseDown(int X, int Y, TMouseButton Button)
{
  if (!Enabled)
    return;
  if (Button == mbLeft && !Down) {
    SetDown(true);
    PopupMenu();
  }
  TskActiveSkinObject::MouseDown(X, Y, Button);
}

void TskSkinButtonObject::MouseUp(int X, int Y, TMouseButton Button)
{
  if (!Enabled)
    return;
  if (Button == mbLeft && Down && !MenuItem && GroupIndex == -1)
    SetDown(false);
  TskActiveSkinObject::MouseUp(X, Y, Button);
}

void TskSkinButtonObject::MouseEnter()
{
  MouseIn = Active = true;
  const bool noDownLook = IsNullRect(DownRect);
  if (noDownLook || !Down) {
    if (!IsNullRect(ActiveSkinRect))
      ReDraw();
    if (MenuItem)
      ShowLayer();
  } else if (GroupIndex == -1) {
    Parent->DrawObject(this);
  }
  if (Parent->OnMouseEnterEvent)
    Parent->OnMouseEnterEvent(IDName);
  if (!MenuItem)
    ShowLayer();
}

void TskSkinButtonObject::MouseLeave()
{
  MouseIn = false;
  const bool noDownLook = IsNullRect(DownRect);
  if (MenuItem && Down && noDownLook) {
    Active = false;
  } else if (!Down || noDownLook || (!MenuItem && GroupIndex == -1)) {
    Active = false;
    if (EnableMorphing() && Down)
      MorphFactor = 1;
    if (!IsNullRect(ActiveSkinRect) || (!noDownLook && GroupIndex == -1))
      ReDraw();
    if (MenuItem)
      HideLayer();
  }
  if (Parent->OnMouseLeaveEvent)
    Parent->OnMouseLeaveEvent(IDName);
  if (!MenuItem)
    HideLayer();
}

bool TskSkinButtonObject::CanMorphing() { return !(MenuItem && Down) && TskActiveSkinObject::CanMorphing(); }

// ---- TskSkinStdButtonObject ----

TskSkinStdButtonObject::TskSkinStdButtonObject(TskSkinnedForm* AParent, TskDataSkinStdButton* Data)
    : TskSkinButtonObject(AParent, Data)
{
  Skinned = Data != nullptr;
  if (!Data)
    return;
  Command = Data->command;
  RestoreRect = Data->restorerect;
  RestoreActiveRect = Data->restoreactiverect;
  RestoreDownRect = Data->restoredownrect;
  RestoreInActiveRect = Data->restoreinactiverect;
  RestoreHint = Data->restorehint;
  NormalHint = Data->hint;
}

TskSkinStdButtonObject::TskSkinStdButtonObject(TskSkinnedForm* AParent, const String& AName,
                                               TskButtonCommand ACommand)
    : TskSkinButtonObject(AParent, nullptr)
{
  IDName = AName;
  Command = ACommand;
  SkinRect = TRect{0, 0, 1, 1};
  ObjectRect = SkinRect;
  SkinRectInAPicture = true;
}

bool TskSkinStdButtonObject::RestoreState() const { return RestoreStateOf(Parent, Command); }

bool TskSkinStdButtonObject::ShowsIcon() const
{
  return Command == cmSysMenu && Parent->GetShowIcon() && Skinned && SkinRectInAPicture;
}

bool TskSkinStdButtonObject::InActiveArea(int X, int Y)
{
  return ShowsIcon() || TskSkinButtonObject::InActiveArea(X, Y);
}

void TskSkinStdButtonObject::ShowLayer()
{
  if (!ShowsIcon())
    TskSkinButtonObject::ShowLayer();
}

void TskSkinStdButtonObject::HideLayer()
{
  if (!ShowsIcon())
    TskSkinButtonObject::HideLayer();
}

bool TskSkinStdButtonObject::CanMorphing() { return !ShowsIcon() && TskSkinButtonObject::CanMorphing(); }

void TskSkinStdButtonObject::DrawDefault(TCanvas* Cnvs)
{
  const TRect r = ObjectRect;
  if (IsNullRect(r))
    return;
  TBitmap b;
  b.SetSize(RectWidth(r), RectHeight(r));
  TCanvas* c = b.GetCanvas();
  const TRect all = Rect(0, 0, b.GetWidth(), b.GetHeight());
  if (Command == cmSysMenu && Parent->GetShowIcon()) {
    Parent->DrawSmallIcon(Cnvs, r.left, r.top);
    return;
  }
  const bool pressed = Down && MouseIn;
  c->GetBrush()->SetStyle(bsSolid);
  if (MouseIn) {
    c->GetBrush()->SetColor(static_cast<TColor>(0x800000));
    c->FillRect(all);
    c->GetBrush()->SetColor(static_cast<TColor>(pressed ? 0xB59385 : 0xD2BDB6));
    c->FillRect(Rect(1, 1, all.right - 1, all.bottom - 1));
  } else {
    c->GetBrush()->SetColor(clBtnFace);
    c->FillRect(all);
  }
  const TColor color = Enabled ? clBtnText : clBtnShadow;
  const int x = b.GetWidth() / 2 - 5 + (pressed ? 1 : 0);
  const int y = b.GetHeight() / 2 - 4 + (pressed ? 1 : 0);
  switch (Command) {
  case cmClose: DrawCloseGlyph(c, x, y, color); break;
  case cmMaximize:
    if (RestoreState())
      DrawRestoreGlyph(c, x, y, color);
    else
      DrawMaximizeGlyph(c, x, y, color);
    break;
  case cmMinimize:
    if (RestoreState())
      DrawRestoreGlyph(c, x, y, color);
    else
      DrawMinimizeGlyph(c, x, y, color);
    break;
  case cmSysMenu: DrawSysMenuGlyph(c, x, y, color); break;
  case cmRollUp:
    if (RestoreState())
      DrawRollDownGlyph(c, x, y, color);
    else
      DrawRollUpGlyph(c, x, y, color);
    break;
  case cmMinimizeToTray: DrawMinimizeToTrayGlyph(c, x, y, color); break;
  case cmDefault: break;
  }
  Cnvs->Draw(r.left, r.top, &b);
}

void TskSkinStdButtonObject::Draw(TCanvas* Cnvs, bool Alone)
{
  if (!Skinned) {
    DrawDefault(Cnvs);
    return;
  }
  if (!SkinReady())
    return;
  if (ShowsIcon()) {
    Parent->DrawSmallIcon(Cnvs, ObjectRect.left, ObjectRect.top);
    MorphFactor = 0;
    return;
  }
  if (Enabled && !IsNullRect(RestoreRect) && RestoreState()) {
    if (!Parent->IsFormActive() && !IsNullRect(RestoreInActiveRect)) {
      CopyLook(Cnvs, ActivePicture, RestoreInActiveRect);
    } else if (Down && !IsNullRect(RestoreDownRect) && MouseIn) {
      CopyLook(Cnvs, ActivePicture, RestoreDownRect);
    } else if (EnableMorphing() && MorphUnderWay() && !IsNullRect(ObjectRect)) {
      TBitmap normal, active;
      normal.SetSize(RectWidth(ObjectRect), RectHeight(ObjectRect));
      active.SetSize(RectWidth(ObjectRect), RectHeight(ObjectRect));
      CopyToBitmap(&normal, ActivePicture, RestoreRect);
      CopyToBitmap(&active, ActivePicture, RestoreActiveRect);
      DrawMorph(Cnvs, &normal, &active);
    } else {
      CopyLook(Cnvs, ActivePicture, Active && !IsNullRect(RestoreActiveRect) ? RestoreActiveRect : RestoreRect);
    }
    return;
  }
  TskSkinButtonObject::Draw(Cnvs, Alone);
}

void TskSkinStdButtonObject::DblClick()
{
  if (Command == cmSysMenu)
    Parent->ExecuteCommand(cmClose);
}

void TskSkinStdButtonObject::MouseDown(int, int, TMouseButton Button)
{
  if (!Enabled || Button != mbLeft || Down)
    return;
  if (Command == cmSysMenu)
    MenuItem = Parent->GetSystemMenuItems();
  SetDown(true);
  RedrawDefaultLook();
  if (Command == cmSysMenu)
    PopupMenu();
}

void TskSkinStdButtonObject::MouseUp(int X, int Y, TMouseButton Button)
{
  if (Command == cmClose) {
    const bool click = Active && Button == mbLeft;
    TskSkinButtonObject::MouseUp(X, Y, Button);
    RedrawDefaultLook();
    if (click)
      ExecuteCommand();
    return;
  }
  // The command drops the hot object; the release of a click is told all the same.
  const bool in = MouseIn;
  if (Active && Button == mbLeft)
    ExecuteCommand();
  const bool now = MouseIn;
  MouseIn = in;
  TskSkinButtonObject::MouseUp(X, Y, Button);
  MouseIn = now;
  RedrawDefaultLook();
}

void TskSkinStdButtonObject::RedrawDefaultLook()
{
  // The built-in look has no skin rectangles that would make the button redraw itself.
  if (!Skinned)
    Parent->DrawObject(this);
}

void TskSkinStdButtonObject::MouseLeave()
{
  TskSkinButtonObject::MouseLeave();
  RedrawDefaultLook();
}

void TskSkinStdButtonObject::MouseEnter()
{
  if (Command != cmDefault)
    Hint = CaptionButtonHint(RestoreState(), RestoreHint, NormalHint);
  TskSkinButtonObject::MouseEnter();
  RedrawDefaultLook();
}

void TskSkinStdButtonObject::ExecuteCommand() { Parent->ExecuteCommand(Command); }

// ---- TskSkinAnimateObject ----

TskSkinAnimateObject::TskSkinAnimateObject(TskSkinnedForm* AParent, TskDataSkinAnimate* Data)
    : TskActiveSkinObject(AParent, Data)
{
  Morphing = false;
  if (!Data)
    return;
  TimerInterval = std::max(25, Data->timerinterval);
  // A strip of no frames shows its first cell: the frame number never leaves 1..CountFrames.
  CountFrames = std::max(1, Data->countframes);
  Cycle = Data->cycle;
  ButtonStyle = Data->buttonstyle;
  Command = Data->command;
  DownSkinRect = Data->downskinrect;
  RestoreRect = Data->restorerect;
  RestoreActiveRect = Data->restoreactiverect;
  RestoreDownRect = Data->restoredownrect;
  RestoreInActiveRect = Data->restoreinactiverect;
  RestoreHint = Data->restorehint;
  NormalHint = Data->hint;
}

TskLayerManager* TskSkinAnimateObject::GlowManager() const { return Parent->GetLayerManager(MenuItem ? 1 : 0); }

bool TskSkinAnimateObject::RestoreState() const { return RestoreStateOf(Parent, Command); }

bool TskSkinAnimateObject::CanAnimate() const
{
  const bool shownPressed = Down && MouseIn && !IsNullRect(DownSkinRect);
  return Active && !shownPressed && !MenuOpen;
}

void TskSkinAnimateObject::SetFrame(int F)
{
  if (Forward)
    Frame = F > CountFrames ? 1 : F;
  else
    Frame = F <= 0 ? CountFrames : F;
  Frame = std::clamp(Frame, 1, CountFrames);
  Parent->DrawObject(this);
}

void TskSkinAnimateObject::AnimationStep()
{
  if (StepCounter < TimerInterval) {
    StepCounter += 25;
    return;
  }
  if (Forward) {
    SetFrame(Frame + 1);
    if (!Cycle && Frame == CountFrames)
      Active = false;
  } else {
    SetFrame(Frame - 1);
    if (Frame == 1)
      Active = false;
  }
  StepCounter = 25;
}

void TskSkinAnimateObject::StartOrRedraw()
{
  if (!Down || IsNullRect(DownSkinRect))
    Parent->StartAnimateTimer();
  else
    Parent->DrawObject(this);
}

void TskSkinAnimateObject::MouseEnter()
{
  if (Command != cmDefault)
    Hint = CaptionButtonHint(RestoreState(), RestoreHint, NormalHint);
  MouseIn = true;
  if (MenuOpen)
    return;
  if (ButtonStyle) {
    Active = true;
    Forward = true;
    StartOrRedraw();
  }
  if (Parent->OnMouseEnterEvent)
    Parent->OnMouseEnterEvent(IDName);
  ShowLayer();
}

void TskSkinAnimateObject::MouseLeave()
{
  if (!MouseIn)
    return;
  MouseIn = false;
  if (MenuOpen)
    return;
  if (ButtonStyle) {
    Active = true;
    Forward = false;
    StartOrRedraw();
  }
  if (Parent->OnMouseLeaveEvent)
    Parent->OnMouseLeaveEvent(IDName);
  HideLayer();
}

void TskSkinAnimateObject::MouseDown(int X, int Y, TMouseButton Button)
{
  TskActiveSkinObject::MouseDown(X, Y, Button);
  if (Button != mbLeft)
    return;
  if (!IsNullRect(DownSkinRect)) {
    Frame = CountFrames;
    Down = true;
    Parent->DrawObject(this);
  }
  if (Command == cmSysMenu && MouseIn && ButtonStyle)
    ExecuteCommand();
}

void TskSkinAnimateObject::MouseUp(int X, int Y, TMouseButton Button)
{
  TskActiveSkinObject::MouseUp(X, Y, Button);
  if (MenuOpen || Button != mbLeft)
    return;
  if (!IsNullRect(DownSkinRect)) {
    Down = false;
    Parent->DrawObject(this);
    Parent->StartAnimateTimer();
  }
  if (MouseIn && ButtonStyle && Command != cmSysMenu)
    ExecuteCommand();
}

void TskSkinAnimateObject::DblClick()
{
  if (Command == cmSysMenu)
    Parent->ExecuteCommand(cmClose);
}

void TskSkinAnimateObject::ExecuteCommand()
{
  switch (Command) {
  case cmSysMenu:
    MenuItem = Parent->GetSystemMenuItems();
    PopupMenu();
    break;
  case cmDefault:
    if (MenuItem)
      PopupMenu();
    break;
  default: Parent->ExecuteCommand(Command); break;
  }
}

void TskSkinAnimateObject::PopupMenu()
{
  if (!MenuItem || MenuItem->GetCount() == 0)
    return;
  HideBothLayers(Parent);
  if (MouseIn)
    ShowLayer();
  MenuOpen = true;
  Parent->PopupObjectMenu(MenuItem, ScreenObjectRect(), UpwardPopup);
}

void TskSkinAnimateObject::MenuClosed()
{
  MenuOpen = false;
  Down = false;
  Active = true;
  Forward = false;
  Frame = CountFrames;
  Parent->StartAnimateTimer();
}

void TskSkinAnimateObject::Draw(TCanvas* Cnvs, bool)
{
  if (!SkinReady())
    return;
  const bool restore = RestoreState() && !IsNullRect(RestoreRect);
  const TRect normal = restore ? RestoreRect : SkinRect;
  const TRect strip = restore ? RestoreActiveRect : ActiveSkinRect;
  const TRect pressed = restore ? RestoreDownRect : DownSkinRect;
  const TRect inactive = restore ? RestoreInActiveRect : InActiveSkinRect;
  auto frameRect = [&] {
    const int w = RectWidth(normal), h = RectHeight(normal);
    const int left = strip.left + (Frame - 1) * w;
    return Rect(left, strip.top, left + w, strip.top + h);
  };
  TRect source{};
  if (MenuOpen) {
    if (!IsNullRect(pressed)) {
      source = pressed;
    } else {
      Frame = CountFrames;
      source = frameRect();
    }
  } else if (!Parent->IsFormActive() && !IsNullRect(inactive)) {
    source = inactive;
  } else if (Down && MouseIn && !IsNullRect(pressed)) {
    source = pressed;
  } else {
    source = frameRect();
  }
  CopyLook(Cnvs, ActivePicture, source);
}
