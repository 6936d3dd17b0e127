// The main-menu items of a skinned frame.
#include "skin/frame/SkinFrameMainMenuItem.h"

#include <algorithm>

#include "skin/foundation/SkinData.h"
#include "skin/foundation/SkinDrawUtils.h"
#include "skin/foundation/SkinEffectBmp.h"
#include "skin/frame/SkinnedForm.h"
#include "skin/input/SkinMenuItem.h"

TskSkinMainMenuItem::TskSkinMainMenuItem(TskSkinnedForm* AParent, TskDataSkinMainMenuItem* Data)
    : TskActiveSkinObject(AParent, Data)
{
  if (!Data->fontname.empty())
    FontName = Data->fontname;
  FontHeight = Data->fontheight > 0 ? Data->fontheight : 14;
  FontStyle = Data->fontstyle;
  UnEnabledFontColor = Data->unenabledfontColor;
  FontColor = Data->fontcolor;
  ActiveFontColor = Data->activefontcolor;
  DownFontColor = Data->downfontcolor;
  TextRect = Data->textrect;
  DownRect = Data->downrect;
  ItemLeftOffset = std::max(0, Data->itemleftoffset);
  ItemRightOffset = std::max(0, Data->itemrightoffset);
  if (RectWidth(DownRect) <= 0 || RectHeight(DownRect) <= 0)
    DownRect = IsNullRect(ActiveSkinRect) ? SkinRect : ActiveSkinRect;
  if (IsNullRect(ActiveSkinRect))
    Morphing = false;
  SavedEnabled = Enabled;
  Fits = true;
}

void TskSkinMainMenuItem::SetFont(TCanvas* Cnvs)
{
  TFont* font = Cnvs->GetFont();
  font->SetName(FontName);
  font->SetStyle(FontStyle);
  font->SetHeight(FontHeight);
}

TRect TskSkinMainMenuItem::LayoutRect(TCanvas* Cnvs)
{
  SetFont(Cnvs);
  TRect calc{0, 0, 0, 0};
  const WideString caption = MenuTextToWide(MenuItem ? MenuItem->GetCaption() : String());
  DrawWideText(Cnvs, caption, calc, Parent->OwnerForm()->DrawTextBiDiModeFlags(DT_CALCRECT | DT_CENTER));
  const int t = RectWidth(calc);
  int left = 0;
  for (TskActiveSkinObject* obj : Parent->Objects()) {
    if (obj == this)
      break;
    if (dynamic_cast<TskSkinMainMenuItem*>(obj))
      left = obj->ObjectRect.right;
  }
  if (left == 0)
    left = Parent->MainMenuRect.left;
  const int top = Parent->MainMenuRect.top;
  const int width = RectWidth(SkinRect) - RectWidth(TextRect) + t + 2;
  return Rect(left, top, left + width, top + RectHeight(SkinRect));
}

void TskSkinMainMenuItem::BuildImage(TBitmap* B, const TRect& S, bool Hot)
{
  const int w = RectWidth(ObjectRect), h = RectHeight(ObjectRect);
  B->SetSize(w, h);
  TCanvas* c = B->GetCanvas();
  TCanvas* p = ActivePicture->GetCanvas();
  const int l = ItemLeftOffset, r = ItemRightOffset;
  if (l > 0)
    c->CopyRect(Rect(0, 0, l, h), p, Rect(S.left, S.top, S.left + l, S.bottom));
  if (r > 0)
    c->CopyRect(Rect(w - r, 0, w, h), p, Rect(S.right - r, S.top, S.right, S.bottom));
  const int d = RectWidth(S) - l - r;
  if (d > 0) {
    for (int x = l; x < w - r; x += d) {
      const int cut = std::min(d, w - r - x);
      c->CopyRect(Rect(x, 0, x + cut, h), p, Rect(S.left + l, S.top, S.left + l + cut, S.bottom));
    }
  }
  TColor color = UnEnabledFontColor;
  if (Down)
    color = DownFontColor;
  else if (Hot)
    color = ActiveFontColor;
  else if (MenuItem && MenuItem->GetEnabled())
    color = FontColor;
  c->GetBrush()->SetStyle(bsClear);
  SetFont(c);
  c->GetFont()->SetColor(color);
  const WideString caption = MenuTextToWide(MenuItem ? MenuItem->GetCaption() : String());
  TRect calc{0, 0, 0, 0};
  const UINT bidi = Parent->OwnerForm()->DrawTextBiDiModeFlags(0);
  DrawWideText(c, caption, calc, DT_CALCRECT | DT_CENTER | bidi);
  TRect text = Rect(TextRect.left, TextRect.top, TextRect.left + RectWidth(calc) + 2, TextRect.top + RectHeight(calc));
  DrawWideText(c, caption, text, DT_CENTER | DT_VCENTER | bidi);
}

void TskSkinMainMenuItem::Draw(TCanvas* Cnvs, bool Alone)
{
  // Without a picture to cut its looks from, or a middle to tile, the item draws nothing.
  if (!SkinReady() || IsNullRect(SkinRect) || IsNullRect(TextRect) || !ActivePicture || ActivePicture->Empty())
    return;
  TRect r = LayoutRect(Cnvs);
  SavedRect = TRect{};
  const bool nc = Parent->GetSupportNCArea();
  if (nc && !Alone && Parent->FrameClientRect.bottom < r.top) {
    SavedRect = r;
    OffsetRect(&r, 0, -Parent->FrameClientRect.bottom);
  }
  ObjectRect = r;
  if (ObjectRect.right > Parent->MainMenuRect.right) {
    if (Fits) {
      SavedEnabled = Enabled;
      Enabled = false;
      Fits = false;
    }
    if (!IsNullRect(SavedRect))
      ObjectRect = SavedRect;
    return;
  }
  if (!Fits) {
    Fits = true;
    Enabled = SavedEnabled;
  }
  TBitmap image;
  if (Down) {
    BuildImage(&image, DownRect, true);
    Cnvs->Draw(ObjectRect.left, ObjectRect.top, &image);
  } else if (!EnableMorphing() || !MorphUnderWay()) {
    BuildImage(&image, Active && !IsNullRect(ActiveSkinRect) ? ActiveSkinRect : SkinRect, Active);
    Cnvs->Draw(ObjectRect.left, ObjectRect.top, &image);
  } else {
    TBitmap hot;
    BuildImage(&image, SkinRect, false);
    BuildImage(&hot, ActiveSkinRect, true);
    DrawMorph(Cnvs, &image, &hot);
  }
  if (nc && !Alone && !IsNullRect(SavedRect))
    ObjectRect = SavedRect;
}

void TskSkinMainMenuItem::SetDown(bool Value)
{
  Down = Value;
  if (Value) {
    Parent->DrawObject(this);
    PopupMenu();
    if (!Parent->MainMenuMode) {
      Parent->MainMenuMode = true;
      if (Parent->OnMainMenuEnter)
        Parent->OnMainMenuEnter(Parent);
    }
    return;
  }
  Active = false;
  if (EnableMorphing())
    MorphFactor = 1;
  ReDraw();
}

void TskSkinMainMenuItem::PopupMenu()
{
  if (!MenuItem)
    return;
  TskSkinData* skin = Parent->GetSkinData();
  Parent->PopupObjectMenu(MenuItem, ScreenObjectRect(), skin && skin->mainmenupopupup);
}

void TskSkinMainMenuItem::MouseEnter()
{
  TskSkinMainMenuItem* down = nullptr;
  TskSkinMainMenuItem* hot = nullptr;
  for (TskActiveSkinObject* obj : Parent->Objects()) {
    auto* item = dynamic_cast<TskSkinMainMenuItem*>(obj);
    if (!item || item == this || item->IDName == IDName)
      continue;
    if (!down && item->Down)
      down = item;
    if (!hot && item->Active)
      hot = item;
  }
  if (down) {
    // With a menu open, moving onto a sibling opens the sibling's menu.
    down->SetDown(false);
    Active = MouseIn = true;
    if (EnableMorphing())
      MorphFactor = 1;
    SetDown(true);
    return;
  }
  if (hot)
    hot->MouseLeave();
  MouseIn = Active = true;
  ReDraw();
}

void TskSkinMainMenuItem::MouseLeave()
{
  Active = MouseIn = false;
  if (EnableMorphing() && Down)
    MorphFactor = 0;
  ReDraw();
  if (Parent->OnMouseLeaveEvent)
    Parent->OnMouseLeaveEvent(IDName);
}

void TskSkinMainMenuItem::MouseDown(int X, int Y, TMouseButton Button)
{
  if (!Enabled)
    return;
  if (Button == mbLeft && MenuItem && MenuItem->GetCount() == 0) {
    SetDown(false);
    // The command may rebuild the menu objects (this one among them): nothing of the object is
    // used after it runs.
    TskSkinnedForm* form = Parent;
    const String id = IDName;
    const TRect rect = ObjectRect;
    TMenuItem* item = MenuItem;
    if (TMenu* menu = item->GetParentMenu())
      menu->DispatchCommand(item->GetCommand());
    else
      item->Click();
    if (form->OnMouseDownEvent)
      form->OnMouseDownEvent(id, X, Y, rect, Button);
    return;
  }
  if (Button == mbLeft && MenuItem)
    SetDown(true);
  TskActiveSkinObject::MouseDown(X, Y, Button);
}
