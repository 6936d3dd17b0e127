// The items and MDI buttons of the skinned menu bar.
#include "skin/frame/SkinMenuBarObjects.h"

#include "skin/foundation/SkinData.h"
#include "skin/foundation/SkinDrawUtils.h"
#include "skin/foundation/SkinEffectBmp.h"
#include "skin/foundation/SkinGlyphs.h"
#include "skin/foundation/SkinStrings.h"
#include "skin/foundation/SkinStripImages.h"
#include "skin/frame/SkinFormLookup.h"
#include "skin/frame/SkinFrameObject.h"
#include "skin/frame/SkinMainMenuBar.h"
#include "skin/frame/SkinnedForm.h"
#include "skin/input/SkinMenuItem.h"

namespace {

constexpr TColor NavyFrame = static_cast<TColor>(RGB(0, 0, 128));
constexpr TColor PressedFill = static_cast<TColor>(RGB(133, 147, 181));
constexpr TColor HotFill = static_cast<TColor>(RGB(182, 189, 210));

bool Empty(const TRect& R) { return R.right <= R.left || R.bottom <= R.top; }

} // namespace

// ---- TskMenuBarObject ----

TskMenuBarObject::TskMenuBarObject(TskSkinMainMenuBar* ABar, TskDataSkinObject* Data) : Bar(ABar)
{
  if (!Data)
    return;
  ObjectName = Data->RecordName;
  SkinRect = Data->skinrect;
  ActiveSkinRect = Data->activeskinrect;
  DownRect = Data->activeskinrect;
  Morphing = Data->morphing;
  MorphKind = Data->morphkind;
  ObjectBounds = Data->skinrect;
  SkinPicture = SkinActivePictureAt(Bar->SkinDataOf(), Data->activepictureindex);
}

bool TskMenuBarObject::EnableMorphing() const
{
  TskSkinData* skin = Bar->SkinDataOf();
  return Morphing && skin && skin->EnableSkinEffects;
}

bool TskMenuBarObject::CanMorphing() const
{
  return (!Pressed || Empty(DownRect)) && ((Hot && MorphFactor < 1) || (!Hot && MorphFactor > 0));
}

void TskMenuBarObject::ReDraw()
{
  if (EnableMorphing())
    Bar->GetMorphTimer()->SetEnabled(true);
  else
    Bar->RedrawObject(this);
}

void TskMenuBarObject::MorphStep()
{
  MorphFactor += Hot ? 0.2 : -0.2;
  if (MorphFactor < 0)
    MorphFactor = 0;
  if (MorphFactor > 1)
    MorphFactor = 1;
  Draw(Bar->GetCanvas());
}

void TskMenuBarObject::MouseEnter()
{
  Hovered = Hot = true;
  ReDraw();
}

void TskMenuBarObject::MouseLeave()
{
  Hovered = Hot = false;
  ReDraw();
}

void TskMenuBarObject::DrawBlend(TCanvas* Cnvs, TBitmap* Cold, TBitmap* HotLook)
{
  if (Cold->Empty() || HotLook->Empty())
    return;
  auto a = TskEffectBmp::CreateFromBitmap(Cold->GetHandle());
  auto b = TskEffectBmp::CreateFromBitmap(HotLook->GetHandle());
  MorphByKind(a.get(), b.get(), MorphKind, MorphFactor);
  a->Draw(Cnvs->GetHandle(), ObjectBounds.left, ObjectBounds.top);
}

TRect TskMenuBarObject::DrawDefaultFace(TCanvas* C, TRect R, bool PressedLook, bool HotLook)
{
  if (PressedLook || HotLook) {
    Frame3D(C, R, NavyFrame, NavyFrame, 1);
    C->GetBrush()->SetColor(PressedLook ? PressedFill : HotFill);
  } else {
    C->GetBrush()->SetColor(clBtnFace);
  }
  C->GetBrush()->SetStyle(bsSolid);
  C->FillRect(R);
  return R;
}

// ---- TskSkinMainMenuBarItem ----

TskSkinMainMenuBarItem::TskSkinMainMenuBarItem(TskSkinMainMenuBar* ABar, TskDataSkinMainMenuBarItem* Data)
    : TskMenuBarObject(ABar, Data)
{
  if (!Data)
    return;
  HasSkin = true;
  FontName = Data->fontname;
  FontHeight = Data->fontheight;
  FontStyle = Data->fontstyle;
  UnEnabledFontColor = Data->unenabledfontColor;
  FontColor = Data->fontcolor;
  ActiveFontColor = Data->activefontcolor;
  DownFontColor = Data->downfontcolor;
  TextRect = Data->textrect;
  DownRect = Data->downrect;
  ItemLeftOffset = Data->itemleftoffset;
  ItemRightOffset = Data->itemrightoffset;
  StretchEffect = Data->stretcheffect;
  AnimateSkinRect = Data->animateskinrect;
  FrameCount = Data->framecount;
  AnimateInterval = Data->animateinterval;
  InActiveAnimation = Data->inactiveanimation;
  if (Empty(DownRect))
    DownRect = Empty(ActiveSkinRect) ? SkinRect : ActiveSkinRect;
  if (Empty(ActiveSkinRect))
    Morphing = false;
}

bool TskSkinMainMenuBarItem::EnableAnimation() const
{
  TskSkinData* skin = Bar->SkinDataOf();
  return !Empty(AnimateSkinRect) && skin && !skin->Empty && skin->EnableSkinEffects;
}

WideString TskSkinMainMenuBarItem::Caption() const
{
  return MenuTextToWide(MenuItem ? MenuItem->GetCaption() : String());
}

void TskSkinMainMenuBarItem::SetItemFont(TCanvas* Cnvs) const
{
  TFont* font = Cnvs->GetFont();
  if (HasSkin && Bar->UseSkinFont) {
    font->SetName(FontName);
    font->SetStyle(FontStyle);
    font->SetHeight(FontHeight);
  } else {
    font->Assign(Bar->GetDefItemFont());
  }
  TskSkinData* skin = Bar->SkinDataOf();
  font->SetCharset(skin && skin->GetResourceStrData() ? skin->GetResourceStrData()->CharSet
                                                       : Bar->GetDefItemFont()->GetCharset());
}

void TskSkinMainMenuBarItem::Layout(TCanvas* Cnvs)
{
  SetItemFont(Cnvs);
  TRect calc{0, 0, 0, 0};
  DrawWideText(Cnvs, Caption(), calc, DT_CALCRECT | DT_CENTER);
  const int w = RectWidth(calc);
  const TRect& items = Bar->ItemsRect;
  int left = 0;
  for (TskMenuBarObject* obj : Bar->Objects()) {
    if (obj == this)
      break;
    if (dynamic_cast<TskSkinMainMenuBarItem*>(obj))
      left = obj->ObjectBounds.right;
  }
  if (left == 0)
    left = items.left;
  if (HasSkin)
    ObjectBounds = Rect(left, items.top, left + RectWidth(SkinRect) - RectWidth(TextRect) + w + 2,
                        items.top + RectHeight(SkinRect));
  else
    ObjectBounds = Rect(left, items.top, left + w + 12, items.bottom);
  const int limit = Bar->ScrollMenu ? items.right - 5 : items.right;
  if (ObjectBounds.right > limit) {
    Bar->HiddenItems = true;
    if (InBar) {
      SavedEnabled = Enabled;
      Enabled = false;
      InBar = false;
    }
  } else if (!InBar) {
    InBar = true;
    Enabled = SavedEnabled;
  }
}

TRect TskSkinMainMenuBarItem::FrameRect(int Index) const
{
  const TRect& a = AnimateSkinRect;
  if (FrameCount <= 0)
    return TRect{};
  if (RectHeight(a) > RectHeight(SkinRect)) {
    const int h = RectHeight(a) / FrameCount;
    return Rect(a.left, a.top + h * (Index - 1), a.right, a.top + h * Index);
  }
  const int w = RectWidth(a) / FrameCount;
  return Rect(a.left + w * (Index - 1), a.top, a.left + w * Index, a.bottom);
}

void TskSkinMainMenuBarItem::BuildImage(TBitmap* B, TCanvas* BarCanvas, const TRect& Source, bool HotLook)
{
  if (!SkinPicture || SkinPicture->Empty())
    return;
  const int w = RectWidth(ObjectBounds), h = RectHeight(ObjectBounds);
  if (Bar->ItemTransparent() && Source == SkinRect) {
    B->SetSize(w, h);
    B->GetCanvas()->CopyRect(Rect(0, 0, w, h), BarCanvas, ObjectBounds);
  } else {
    BuildHorzSkinBitmap(ItemLeftOffset, ItemRightOffset, B, SkinPicture, Source, w, h, HotLook && StretchEffect);
  }
  TCanvas* c = B->GetCanvas();
  SetItemFont(c);
  c->GetBrush()->SetStyle(bsClear);
  TColor color = UnEnabledFontColor;
  if (Pressed)
    color = DownFontColor;
  else if (HotLook)
    color = ActiveFontColor;
  else if (MenuItem && MenuItem->GetEnabled())
    color = FontColor;
  c->GetFont()->SetColor(color);
  TRect calc{0, 0, 0, 0};
  DrawWideText(c, Caption(), calc, DT_CALCRECT | DT_CENTER);
  TRect text = Rect(TextRect.left, TextRect.top, TextRect.left + RectWidth(calc) + 2, TextRect.top + RectHeight(calc));
  if (MenuItem && MenuItem->OnDrawItem)
    MenuItem->OnDrawItem(this, c, text, HotLook);
  else
    DrawWideText(c, Caption(), text, Bar->DrawTextBiDiModeFlags(DT_CENTER | DT_VCENTER));
}

void TskSkinMainMenuBarItem::DrawDefault(TCanvas* Cnvs)
{
  Layout(Cnvs);
  if (!InBar)
    return;
  TBitmap b;
  b.SetSize(RectWidth(ObjectBounds), RectHeight(ObjectBounds));
  TCanvas* c = b.GetCanvas();
  TRect r = DrawDefaultFace(c, Rect(0, 0, b.GetWidth(), b.GetHeight()), Pressed, Hovered);
  SetItemFont(c);
  c->GetFont()->SetColor(Bar->GetDefItemFont()->GetColor());
  c->GetBrush()->SetStyle(bsClear);
  TRect calc{0, 0, 0, 0};
  DrawWideText(c, Caption(), calc, DT_CALCRECT | DT_CENTER);
  r.top = r.top + RectHeight(r) / 2 - RectHeight(calc) / 2;
  r.bottom = r.top + RectHeight(calc);
  if (Pressed)
    OffsetRect(&r, 1, 1);
  if (MenuItem && MenuItem->OnDrawItem)
    MenuItem->OnDrawItem(this, c, r, Hot);
  else
    DrawWideText(c, Caption(), r, Bar->DrawTextBiDiModeFlags(DT_CENTER | DT_VCENTER));
  Cnvs->Draw(ObjectBounds.left, ObjectBounds.top, &b);
}

void TskSkinMainMenuBarItem::Draw(TCanvas* Cnvs)
{
  if (!HasSkin) {
    DrawDefault(Cnvs);
    return;
  }
  if (Empty(SkinRect) || Empty(TextRect))
    return;
  Layout(Cnvs);
  if (!InBar)
    return;
  TRect source = SkinRect;
  bool hot = false;
  if (Pressed) {
    source = DownRect;
    hot = true;
  } else if (EnableAnimation() && FrameIndex >= 1 && FrameIndex <= FrameCount) {
    source = FrameRect(FrameIndex);
    hot = true;
  } else if (EnableMorphing() && FadeUnderWay()) {
    TBitmap cold, hotLook;
    BuildImage(&cold, Cnvs, SkinRect, false);
    BuildImage(&hotLook, Cnvs, ActiveSkinRect, true);
    DrawBlend(Cnvs, &cold, &hotLook);
    return;
  } else if (Hot) {
    source = Empty(ActiveSkinRect) ? SkinRect : ActiveSkinRect;
    hot = true;
  }
  TBitmap image;
  BuildImage(&image, Cnvs, source, hot);
  if (!image.Empty())
    Cnvs->Draw(ObjectBounds.left, ObjectBounds.top, &image);
}

void TskSkinMainMenuBarItem::ReDraw()
{
  if (EnableAnimation()) {
    TTimer* timer = Bar->GetAnimateTimer();
    if (static_cast<int>(timer->GetInterval()) != AnimateInterval)
      timer->SetInterval(static_cast<Cardinal>(AnimateInterval));
    timer->SetEnabled(true);
    return;
  }
  TskMenuBarObject::ReDraw();
}

bool TskSkinMainMenuBarItem::AnimateStep()
{
  if (!EnableAnimation())
    return false;
  if (Hot && FrameIndex <= FrameCount) {
    ++FrameIndex;
  } else if (!Hot && FrameIndex > 0) {
    --FrameIndex;
  } else {
    return false;
  }
  Draw(Bar->GetCanvas());
  return true;
}

void TskSkinMainMenuBarItem::MouseEnter()
{
  TskSkinMainMenuBarItem* down = nullptr;
  TskSkinMainMenuBarItem* hot = nullptr;
  for (TskMenuBarObject* obj : Bar->Objects()) {
    auto* item = dynamic_cast<TskSkinMainMenuBarItem*>(obj);
    // Items of one name count as one item; unnamed items are told apart by identity.
    if (!item || item == this || (!ObjectName.empty() && item->ObjectName == ObjectName))
      continue;
    if (!down && item->Pressed)
      down = item;
    if (!hot && item->Hot)
      hot = item;
  }
  if (down && (!MenuItem || MenuItem->GetCount() == 0)) {
    // Nothing to open here: the open menu closes through the form, which ends the menu mode, so
    // that no mode without a menu is left holding the application's keys; this item is only lit.
    down->SetDown(false);
    if (TskSkinnedForm* form = Bar->GetSkinnedForm(); form && form->GetSkinMenu())
      form->GetSkinMenu()->CloseMenu();
    down = nullptr;
  }
  if (down) {
    down->SetDown(false);
    Hot = Hovered = true;
    if (EnableMorphing())
      MorphFactor = 1;
    SetDown(true);
    return;
  }
  if (hot)
    hot->MouseLeave();
  Hovered = Hot = true;
  ReDraw();
  if (Bar->OnItemMouseEnter)
    Bar->OnItemMouseEnter(MenuItem);
  if (MenuItem && Bar->GetHint() != MenuItem->GetHint())
    Bar->SetHint(MenuItem->GetHint());
}

void TskSkinMainMenuBarItem::MouseLeave()
{
  Hot = Hovered = false;
  if (EnableAnimation() && !InActiveAnimation) {
    FrameIndex = 0;
    Draw(Bar->GetCanvas());
  }
  if (EnableMorphing() && Pressed)
    MorphFactor = 0;
  ReDraw();
  if (Bar->OnItemMouseLeave)
    Bar->OnItemMouseLeave(MenuItem);
}

void TskSkinMainMenuBarItem::MouseDown(int, int, TMouseButton Button)
{
  TskSkinnedForm* form = Bar->GetSkinnedForm();
  if (!Enabled || !form || Button != mbLeft)
    return;
  if (Bar->OnMainMenuItemClick)
    Bar->OnMainMenuItemClick(ObjectName);
  if (MenuItem && MenuItem->GetCount() > 0) {
    Bar->MenuActive = true;
    SetDown(true);
    return;
  }
  if (form->MainMenuMode)
    form->EndMainMenu();
  form->SetMenuOpenFlag(false);
  if (EnableMorphing())
    ReDraw();
  else
    Bar->RedrawObject(this);
  if (MenuItem)
    if (TMenu* menu = MenuItem->GetParentMenu())
      menu->DispatchCommand(MenuItem->GetCommand());
}

void TskSkinMainMenuBarItem::SetDown(bool Value)
{
  if (Value) {
    Pressed = true;
    Bar->RedrawObject(this);
    TskSkinnedForm* form = Bar->GetSkinnedForm();
    if (form && !form->MainMenuMode && form->OnMainMenuEnter)
      form->OnMainMenuEnter(Bar);
    PopupSubMenu();
    return;
  }
  Pressed = Hot = false;
  if (EnableAnimation()) {
    if (InActiveAnimation) {
      FrameIndex = FrameCount + 1;
      ReDraw();
    } else {
      FrameIndex = 0;
      Bar->RedrawObject(this);
    }
  } else if (EnableMorphing()) {
    MorphFactor = 1;
    ReDraw();
  } else {
    Bar->RedrawObject(this);
  }
}

void TskSkinMainMenuBarItem::PopupSubMenu()
{
  TskSkinnedForm* form = Bar->GetSkinnedForm();
  if (!form)
    return;
  const TPoint lt = Bar->ClientToScreen(Point(ObjectBounds.left, ObjectBounds.top));
  const TRect r = Rect(lt.x, lt.y, lt.x + RectWidth(ObjectBounds), lt.y + RectHeight(ObjectBounds));
  form->SkinMenuOpen();
  form->MainMenuMode = true;
  form->SetMenuModeBar(Bar);
  if (TskSkinMenu* engine = form->GetSkinMenu())
    engine->Popup(nullptr, Bar->SkinDataOf(), 0, r, MenuItem, Bar->PopupToUp);
}

// ---- TskSkinMainMenuBarButton ----

TskSkinMainMenuBarButton::TskSkinMainMenuBarButton(TskSkinMainMenuBar* ABar, TskDataSkinMainMenuBarButton* Data)
    : TskMenuBarObject(ABar, Data)
{
  if (!Data)
    return;
  HasSkin = true;
  Command = static_cast<Byte>(Data->command);
  DownRect = Data->downrect;
}

void TskSkinMainMenuBarButton::DrawDefault(TCanvas* Cnvs)
{
  const int w = RectWidth(ObjectBounds), h = RectHeight(ObjectBounds);
  if (w <= 0 || h <= 0)
    return;
  TBitmap b;
  b.SetSize(w, h);
  TCanvas* c = b.GetCanvas();
  const bool down = Pressed && Hovered;
  DrawDefaultFace(c, Rect(0, 0, w, h), down, Hovered && !down);
  int x = w / 2 - 5, y = h / 2 - 4;
  if (down) {
    ++x;
    ++y;
  }
  const TColor color = Enabled ? clBtnText : clBtnShadow;
  switch (Command) {
  case cmClose: DrawCloseGlyph(c, x, y, color); break;
  case cmMaximize: DrawRestoreGlyph(c, x, y, color); break;
  case cmMinimize: DrawMinimizeGlyph(c, x, y, color); break;
  default: DrawSysMenuGlyph(c, x, y, color); break;
  }
  Cnvs->Draw(ObjectBounds.left, ObjectBounds.top, &b);
}

void TskSkinMainMenuBarButton::Draw(TCanvas* Cnvs)
{
  if (!HasSkin || !SkinPicture || SkinPicture->Empty()) {
    DrawDefault(Cnvs);
    return;
  }
  TCanvas* p = SkinPicture->GetCanvas();
  if (Pressed && Hovered && !Empty(DownRect)) {
    Cnvs->CopyRect(ObjectBounds, p, DownRect);
  } else if (EnableMorphing() && FadeUnderWay()) {
    TBitmap cold, hotLook;
    for (TBitmap* b : {&cold, &hotLook}) {
      b->SetSize(RectWidth(ObjectBounds), RectHeight(ObjectBounds));
      b->GetCanvas()->CopyRect(Rect(0, 0, b->GetWidth(), b->GetHeight()), p, b == &cold ? SkinRect : ActiveSkinRect);
    }
    DrawBlend(Cnvs, &cold, &hotLook);
  } else {
    Cnvs->CopyRect(ObjectBounds, p, Hot && !Empty(ActiveSkinRect) ? ActiveSkinRect : SkinRect);
  }
}

void TskSkinMainMenuBarButton::MouseEnter()
{
  if (Command == cmSysMenu && Pressed) {
    Hovered = Hot = true;
  } else if (Pressed && EnableMorphing()) {
    Hovered = Hot = true;
    Bar->RedrawObject(this);
  } else {
    TskMenuBarObject::MouseEnter();
  }
}

void TskSkinMainMenuBarButton::MouseLeave()
{
  if (Command == cmSysMenu && Pressed) {
    if (EnableMorphing())
      MorphFactor = 1;
    Hovered = Hot = false;
  } else if (Pressed && EnableMorphing()) {
    Hovered = Hot = false;
    Bar->RedrawObject(this);
  } else {
    TskMenuBarObject::MouseLeave();
  }
}

void TskSkinMainMenuBarButton::MouseDown(int, int, TMouseButton Button)
{
  if (!Enabled || Button != mbLeft || Pressed)
    return;
  Pressed = true;
  if (EnableMorphing() && !Empty(DownRect))
    MorphFactor = 1;
  Bar->RedrawObject(this);
  if (Command == cmSysMenu)
    DoCommand();
}

void TskSkinMainMenuBarButton::MouseUp(int, int, TMouseButton Button)
{
  if (!Enabled || Button != mbLeft)
    return;
  if (Command != cmSysMenu) {
    Pressed = false;
    Bar->RedrawObject(this);
    if (EnableMorphing())
      ReDraw();
  }
  if (Hot && Command != cmSysMenu)
    DoCommand();
}

void TskSkinMainMenuBarButton::DblClick()
{
  if (Command != cmSysMenu)
    return;
  TskSkinnedForm* child = GetMaximizedChildSkinForm();
  TskSkinnedForm* form = Bar->GetSkinnedForm();
  if (!child || !form)
    return;
  if (TskSkinMenu* engine = form->GetSkinMenu())
    engine->CloseMenu();
  form->SkinMenuClose();
  child->OwnerForm()->Close();
}

void TskSkinMainMenuBarButton::DoCommand()
{
  TskSkinnedForm* child = GetMaximizedChildSkinForm();
  if (!child)
    return;
  switch (Command) {
  case cmClose: child->OwnerForm()->Close(); break;
  case cmMaximize: child->SetSkinWindowState(wsNormal); break;
  case cmMinimize: child->SetSkinWindowState(wsMinimized); break;
  case cmSysMenu: {
    Bar->Repaint();
    TskSkinnedForm* form = Bar->GetSkinnedForm();
    if (!form || !form->GetSkinMenu())
      return;
    const TPoint lt = Bar->ClientToScreen(Point(ObjectBounds.left, ObjectBounds.top));
    const TRect r = Rect(lt.x, lt.y, lt.x + RectWidth(ObjectBounds), lt.y + RectHeight(ObjectBounds));
    TskSkinData* skin = form->GetMenusSkinData() ? form->GetMenusSkinData() : form->GetSkinData();
    TMenuItem* items = child->GetSystemMenuItems();
    form->SkinMenuOpen();
    form->GetSkinMenu()->Popup(Bar, skin, 0, r, items, Bar->PopupToUp);
    break;
  }
  default: break;
  }
}
