// The frame objects: the shared base (looks from the skin pictures, mouse forwarding to the form's
// events), the caption buttons and the caption.
#include "skin/frame/SkinFrameObject.h"

#include <algorithm>

#include "skin/foundation/SkinData.h"
#include "skin/foundation/SkinDrawUtils.h"
#include "skin/foundation/SkinGlyphs.h"
#include "skin/frame/SkinnedForm.h"

namespace {

TBitmap* ActivePictureAt(TskSkinData* Skin, int Index)
{
  if (!Skin || Index < 0 || Index >= static_cast<int>(Skin->ActivePictures.size()))
    return nullptr;
  return Skin->ActivePictures[static_cast<std::size_t>(Index)];
}

bool SkinReady(TskSkinnedForm* Form) { return Form->GetSkinData() && !Form->GetSkinData()->Empty; }

} // namespace

// ---- TskActiveSkinObject ----

TskActiveSkinObject::TskActiveSkinObject(TskSkinnedForm* AParent, TskDataSkinObject* Data) : Parent(AParent)
{
  if (!Data)
    return;
  TskSkinData* skin = AParent->GetSkinData();
  IDName = Data->RecordName;
  Hint = Data->hint;
  RollUp = Data->rollup;
  if (skin)
    Picture = RollUp ? skin->rolluppicture : skin->picture;
  ActivePicture = ActivePictureAt(skin, Data->activepictureindex);
  ActiveMaskPicture = ActivePictureAt(skin, Data->activemaskpictureindex);
  SkinRect = Data->skinrect;
  ActiveSkinRect = ActivePicture ? Data->activeskinrect : TRect{};
  InActiveSkinRect = Data->inactiveskinrect;
  Morphing = Data->morphing;
  ObjectRect = SkinRect;
  CursorIndex = Data->cursorindex;
  SkinRectInAPicture = Data->skinrectinapicture;
}

bool TskActiveSkinObject::InActiveArea(int X, int Y)
{
  if (!SkinReady(Parent) || !ActiveMaskPicture || ActiveMaskPicture->Empty())
    return true;
  if (X < 0 || Y < 0 || X >= ActiveMaskPicture->GetWidth() || Y >= ActiveMaskPicture->GetHeight())
    return false;
  return (ActiveMaskPicture->GetCanvas()->GetPixels(X, Y) & 0xFFFFFF) == 0;
}

void TskActiveSkinObject::CopyLook(TCanvas* Cnvs, TBitmap* Bitmap, const TRect& Source)
{
  if (!Bitmap || Bitmap->Empty() || IsNullRect(Source) || IsNullRect(ObjectRect))
    return;
  Cnvs->CopyRect(ObjectRect, Bitmap->GetCanvas(), Source);
}

void TskActiveSkinObject::Draw(TCanvas* Cnvs, bool Alone)
{
  if (!SkinReady(Parent))
    return;
  if (Enabled && !Parent->IsFormActive() && !IsNullRect(InActiveSkinRect)) {
    CopyLook(Cnvs, ActivePicture, InActiveSkinRect);
    return;
  }
  if (Active && !IsNullRect(ActiveSkinRect)) {
    CopyLook(Cnvs, ActivePicture, ActiveSkinRect);
    return;
  }
  if (!Alone && !SkinRectInAPicture)
    return;
  CopyLook(Cnvs, SkinRectInAPicture ? ActivePicture : Picture, SkinRect);
}

void TskActiveSkinObject::ReDraw() { Parent->DrawObject(this); }

void TskActiveSkinObject::MouseDown(int X, int Y, TMouseButton Button)
{
  if (Parent->OnMouseDownEvent)
    Parent->OnMouseDownEvent(IDName, X, Y, ObjectRect, Button);
}

void TskActiveSkinObject::MouseUp(int X, int Y, TMouseButton Button)
{
  if (MouseIn && Parent->OnMouseUpEvent)
    Parent->OnMouseUpEvent(IDName, X, Y, ObjectRect, Button);
}

void TskActiveSkinObject::MouseMove(int X, int Y)
{
  if (Parent->OnMouseMoveEvent)
    Parent->OnMouseMoveEvent(IDName, X, Y, ObjectRect);
}

void TskActiveSkinObject::MouseEnter()
{
  MouseIn = true;
  Active = true;
  if (!IsNullRect(ActiveSkinRect))
    ReDraw();
  if (Parent->OnMouseEnterEvent)
    Parent->OnMouseEnterEvent(IDName);
  ShowLayer();
}

void TskActiveSkinObject::MouseLeave()
{
  MouseIn = false;
  Active = false;
  if (!IsNullRect(ActiveSkinRect))
    ReDraw();
  if (Parent->OnMouseLeaveEvent)
    Parent->OnMouseLeaveEvent(IDName);
  HideLayer();
}

bool TskActiveSkinObject::CanMorphing() { return (Active && MorphFactor < 1) || (!Active && MorphFactor > 0); }

// ---- TskSkinStdButtonObject ----

TskSkinStdButtonObject::TskSkinStdButtonObject(TskSkinnedForm* AParent, TskDataSkinStdButton* Data)
    : TskActiveSkinObject(AParent, Data)
{
  Skinned = Data != nullptr;
  if (!Data)
    return;
  Command = Data->command;
  DownRect = Data->downrect;
  RestoreRect = Data->restorerect;
  RestoreActiveRect = Data->restoreactiverect;
  RestoreDownRect = Data->restoredownrect;
  RestoreInActiveRect = Data->restoreinactiverect;
  RestoreHint = Data->restorehint;
  NormalHint = Data->hint;
}

TskSkinStdButtonObject::TskSkinStdButtonObject(TskSkinnedForm* AParent, const String& AName,
                                               TskButtonCommand ACommand)
    : TskActiveSkinObject(AParent, nullptr)
{
  IDName = AName;
  Command = ACommand;
  SkinRect = TRect{0, 0, 1, 1};
  ObjectRect = SkinRect;
  SkinRectInAPicture = true;
}

bool TskSkinStdButtonObject::RestoreState() const
{
  switch (Command) {
  case cmMaximize: return Parent->GetSkinWindowState() == wsMaximized;
  case cmMinimize: return Parent->GetSkinWindowState() == wsMinimized;
  case cmRollUp: return Parent->GetRollUpState();
  default: return false;
  }
}

void TskSkinStdButtonObject::DrawDefault(TCanvas* Cnvs)
{
  const TRect r = ObjectRect;
  if (IsNullRect(r))
    return;
  Cnvs->GetBrush()->SetStyle(bsSolid);
  Cnvs->GetBrush()->SetColor(clBtnFace);
  Cnvs->FillRect(r);
  const bool pressed = Down && MouseIn;
  if (Command == cmSysMenu && Parent->GetShowIcon()) {
    Parent->DrawSmallIcon(Cnvs, r.left, r.top);
    return;
  }
  if (pressed)
    DrawBevelFrame(Cnvs, r, clBtnShadow, clBtnHighlight);
  else if (Active)
    DrawBevelFrame(Cnvs, r, clBtnHighlight, clBtnShadow);
  const TColor color = Enabled ? clBtnText : clBtnShadow;
  const int x = r.left + (RectWidth(r) - 11) / 2 + (pressed ? 1 : 0);
  const int y = r.top + (RectHeight(r) - 11) / 2 + (pressed ? 1 : 0);
  switch (Command) {
  case cmClose: DrawCloseGlyph(Cnvs, x, y, color); break;
  case cmMaximize:
    if (RestoreState())
      DrawRestoreGlyph(Cnvs, x, y, color);
    else
      DrawMaximizeGlyph(Cnvs, x, y, color);
    break;
  case cmMinimize: DrawMinimizeGlyph(Cnvs, x, y, color); break;
  case cmSysMenu: DrawSysMenuGlyph(Cnvs, x, y, color); break;
  case cmRollUp:
    if (RestoreState())
      DrawRollDownGlyph(Cnvs, x, y, color);
    else
      DrawRollUpGlyph(Cnvs, x, y, color);
    break;
  case cmMinimizeToTray: DrawMinimizeToTrayGlyph(Cnvs, x, y, color); break;
  default: break;
  }
}

void TskSkinStdButtonObject::Draw(TCanvas* Cnvs, bool Alone)
{
  if (!Skinned) {
    DrawDefault(Cnvs);
    return;
  }
  if (!SkinReady(Parent))
    return;
  const bool restore = RestoreState() && !IsNullRect(RestoreRect);
  const TRect normal = restore ? RestoreRect : SkinRect;
  const TRect hot = restore ? RestoreActiveRect : ActiveSkinRect;
  const TRect down = restore ? RestoreDownRect : DownRect;
  const TRect inactive = restore ? RestoreInActiveRect : InActiveSkinRect;
  if (!Enabled) {
    if (!Alone && !SkinRectInAPicture)
      return;
    CopyLook(Cnvs, SkinRectInAPicture ? ActivePicture : Picture, SkinRect);
    return;
  }
  if (!Parent->IsFormActive() && !IsNullRect(inactive)) {
    CopyLook(Cnvs, ActivePicture, inactive);
  } else if (Down && MouseIn && !IsNullRect(down)) {
    CopyLook(Cnvs, ActivePicture, down);
  } else if (Active && !IsNullRect(hot)) {
    CopyLook(Cnvs, ActivePicture, hot);
  } else if (restore) {
    CopyLook(Cnvs, ActivePicture, normal);
  } else if (Alone || SkinRectInAPicture) {
    CopyLook(Cnvs, SkinRectInAPicture ? ActivePicture : Picture, SkinRect);
  }
}

void TskSkinStdButtonObject::DblClick()
{
  if (Command == cmSysMenu && Enabled)
    Parent->ExecuteCommand(cmClose);
}

void TskSkinStdButtonObject::MouseDown(int X, int Y, TMouseButton Button)
{
  if (!Enabled)
    return;
  if (Button == mbLeft) {
    Down = true;
    ReDraw();
  }
  TskActiveSkinObject::MouseDown(X, Y, Button);
}

void TskSkinStdButtonObject::MouseUp(int X, int Y, TMouseButton Button)
{
  if (!Enabled || Button != mbLeft || !Down)
    return;
  Down = false;
  const bool click = MouseIn;
  ReDraw();
  if (!click)
    return;
  // The close command tells the release first (the form goes away); every other command runs
  // before it.
  if (Command == cmClose) {
    TskActiveSkinObject::MouseUp(X, Y, Button);
    Parent->ExecuteCommand(Command);
    return;
  }
  Parent->ExecuteCommand(Command);
  TskActiveSkinObject::MouseUp(X, Y, Button);
}

void TskSkinStdButtonObject::MouseEnter()
{
  MouseIn = true;
  Active = true;
  ReDraw();
  if (Parent->OnMouseEnterEvent)
    Parent->OnMouseEnterEvent(IDName);
}

void TskSkinStdButtonObject::MouseLeave()
{
  MouseIn = false;
  Active = false;
  ReDraw();
  if (Parent->OnMouseLeaveEvent)
    Parent->OnMouseLeaveEvent(IDName);
}

// ---- TskSkinCaptionObject ----

TskSkinCaptionObject::TskSkinCaptionObject(TskSkinnedForm* AParent, TskDataSkinCaption* Data)
    : TskActiveSkinObject(AParent, Data)
{
  DefaultCaption = Data->defaultcaption;
  TextRect = Data->textrect;
  if (!Data->fontname.empty())
    FontName = Data->fontname;
  if (Data->fontheight > 0)
    FontHeight = Data->fontheight;
  FontStyle = Data->fontstyle;
  FontColor = Data->fontcolor;
  ActiveFontColor = Data->activefontcolor;
  Alignment = Data->alignment;
  Shadow = Data->shadow;
  ShadowColor = Data->shadowcolor;
  ActiveShadowColor = Data->activeshadowcolor;
}

void TskSkinCaptionObject::SetText(const String& Value)
{
  Text = Value;
  ReDraw();
}

void TskSkinCaptionObject::Draw(TCanvas* Cnvs, bool Alone)
{
  if (!SkinReady(Parent))
    return;
  const bool active = Parent->IsFormActive();
  Active = active;
  if (Alone && !IsNullRect(SkinRect) && Picture)
    CopyLook(Cnvs, Picture, SkinRect);
  String text = Parent->OwnerForm()->GetText();
  if (Parent->OnCaptionPaint) {
    Parent->OnCaptionPaint(Cnvs, ObjectRect, active);
    return;
  }
  if (text.empty() || IsNullRect(TextRect))
    return;
  // The text area grows with the object.
  // The text area lies relative to the object's top-left and grows with the object.
  TRect area = TextRect;
  area.right = RectWidth(ObjectRect) + TextRect.right - RectWidth(SkinRect);
  OffsetRect(&area, ObjectRect.left, ObjectRect.top);
  if (RectWidth(area) <= 0)
    return;
  TFont* font = Cnvs->GetFont();
  font->SetName(FontName);
  font->SetHeight(FontHeight);
  font->SetStyle(FontStyle);
  EllipsizeText(Cnvs, text, RectWidth(area));
  const SIZE extent = Cnvs->TextExtent(text);
  const int y = area.top + RectHeight(area) / 2 - extent.cy / 2;
  int x = area.left;
  if (Alignment == taRightJustify)
    x = area.right - extent.cx;
  else if (Alignment == taCenter)
    x = area.left + RectWidth(area) / 2 - extent.cx / 2;
  Cnvs->GetBrush()->SetStyle(bsClear);
  if (Shadow) {
    font->SetColor(active ? ActiveShadowColor : ShadowColor);
    Cnvs->TextOut(x + 1, y + 1, text);
  }
  font->SetColor(active ? ActiveFontColor : FontColor);
  Cnvs->TextOut(x, y, text);
}
