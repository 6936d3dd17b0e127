#include "skin/input/SkinMenuItem.h"

#include <algorithm>

#include "platform/gdi/TextCodec.h"
#include "platform/vcl/ImgList.h"
#include "skin/foundation/SkinDrawUtils.h"
#include "skin/foundation/SkinEffectBmp.h"
#include "skin/foundation/SkinGlyphs.h"
#include "skin/foundation/SkinLayered.h"
#include "skin/foundation/SkinStripImages.h"
#include "skin/input/SkinMenu.h"
#include "skin/input/SkinPopupWindow.h"

namespace {

// Colour of the default look's highlighted entry (red 182, green 189, blue 210).
constexpr TColor DefaultHighlightColor = 13811126;

std::unique_ptr<TBitmap> NewBitmap(int W, int H)
{
  auto b = std::make_unique<TBitmap>();
  b->SetPixelFormat(pf24bit);
  b->SetSize(std::max(W, 0), std::max(H, 0));
  return b;
}

void DrawSystemGlyph(TCanvas* Canvas, TskMenuSystemGlyph Glyph, int X, int Y, TColor Color)
{
  switch (Glyph) {
  case msgClose: DrawCloseGlyph(Canvas, X, Y, Color); break;
  case msgMinimize: DrawMinimizeGlyph(Canvas, X, Y, Color); break;
  case msgMaximize: DrawMaximizeGlyph(Canvas, X, Y, Color); break;
  case msgRestore: DrawRestoreGlyph(Canvas, X, Y, Color); break;
  case msgRollUp: DrawRollUpGlyph(Canvas, X, Y, Color); break;
  case msgMinimizeToTray: DrawMinimizeToTrayGlyph(Canvas, X, Y, Color); break;
  case msgNone: break;
  }
}

} // namespace

std::wstring MenuTextToWide(const String& Text)
{
  std::wstring w;
  for (const TTextChar& c : TextCodec::Decode(Text.data(), Text.size()))
    w.push_back(static_cast<wchar_t>(c.Code));
  return w;
}

void DrawMenuCheckMark(TCanvas* Canvas, int X, int Y, TColor Color)
{
  Canvas->GetPen()->SetColor(Color);
  Canvas->GetPen()->SetWidth(1);
  for (int i = 0; i < 3; ++i) {
    Canvas->MoveTo(X, Y + 5 - i);
    Canvas->LineTo(X + 2, Y + 7 - i);
    Canvas->LineTo(X + 7, Y + 2 - i);
  }
}

void DrawMenuSubArrow(TCanvas* Canvas, int X, int Y, TColor Color)
{
  Canvas->GetPen()->SetColor(Color);
  Canvas->GetPen()->SetWidth(1);
  for (int i = 0; i < 4; ++i) {
    Canvas->MoveTo(X + i, Y + i);
    Canvas->LineTo(X + i, Y + 7 - i);
  }
}

void DrawMenuRadioDot(TCanvas* Canvas, int X, int Y, TColor Color)
{
  Canvas->GetPen()->SetColor(Color);
  Canvas->GetPen()->SetWidth(1);
  Canvas->GetBrush()->SetStyle(bsSolid);
  Canvas->GetBrush()->SetColor(Color);
  Canvas->Ellipse(X, Y, X + 6, Y + 6);
}

TskMenuSystemGlyph MenuSystemGlyph(const TMenuItem* Item)
{
  if (!Item)
    return msgNone;
  const String& n = Item->GetName();
  if (n == "SKF_CLOSE" || n == "TRAY_SKF_CLOSE")
    return msgClose;
  if (n == "SKF_MINITEM")
    return msgMinimize;
  if (n == "SKF_MAXITEM")
    return msgMaximize;
  if (n == "SKF_RESTORE" || n == "TRAY_SKF_RESTORE")
    return msgRestore;
  if (n == "SKF_ROLLUP")
    return msgRollUp;
  if (n == "SKF_MINTOTRAY")
    return msgMinimizeToTray;
  return msgNone;
}

// ---------------------------------------------------------------------------------------------
// State

TskSkinMenuItem::TskSkinMenuItem(TskSkinPopupWindow* AWindow, TskDataSkinMenuItem* AItemRecord, TMenuItem* AMenuItem)
    : Window(AWindow), ItemRecord(AItemRecord), MenuItem(AMenuItem)
{
  if (!ItemRecord)
    return;
  TskSkinData* data = Window ? Window->SkinData : nullptr;
  const int index = ItemRecord->activepictureindex;
  if (!data || index < 0 || index >= static_cast<int>(data->ActivePictures.size())) {
    Picture = nullptr;
    ItemRecord->skinrect = NullRect();
    ItemRecord->activeskinrect = NullRect();
  } else {
    Picture = data->ActivePictures[static_cast<std::size_t>(index)];
  }
}

bool TskSkinMenuItem::IsSeparator() const { return MenuItem && MenuItem->GetCaption() == "-"; }

bool TskSkinMenuItem::IsHeader() const
{
  if (!ItemRecord || !MenuItem || MenuItem->GetEnabled())
    return false;
  const String& c = MenuItem->GetCaption();
  return c != "-" && c.size() >= 2 && c.front() == '-' && c.back() == '-';
}

bool TskSkinMenuItem::IsSelectable() const { return MenuItem && MenuItem->GetEnabled() && !IsSeparator(); }

bool TskSkinMenuItem::HasFrameAnimation() const
{
  TskSkinData* data = Window ? Window->SkinData : nullptr;
  return ItemRecord && !IsNullRect(ItemRecord->animateskinrect) && data && !data->Empty && data->EnableSkinEffects;
}

bool TskSkinMenuItem::HasMorph() const
{
  TskSkinData* data = Window ? Window->SkinData : nullptr;
  return ItemRecord && ItemRecord->morphing && data && data->EnableSkinEffects;
}

bool TskSkinMenuItem::MorphStepNeeded()
{
  if (!Visible) {
    if (MorphFactor != 0) {
      Active = false;
      Down = false;
      MorphFactor = 0;
    }
    return false;
  }
  return Lit() ? MorphFactor < 1 : MorphFactor > 0;
}

void TskSkinMenuItem::MorphStep()
{
  MorphFactor += Lit() ? 0.2 : -0.2;
  MorphFactor = std::clamp(MorphFactor, 0.0, 1.0);
  // Steps of 0.2 in floating point land a hair off the ends.
  if (MorphFactor > 0.999)
    MorphFactor = 1;
  if (MorphFactor < 0.001)
    MorphFactor = 0;
  if (Window)
    Draw(Window->GetCanvas());
}

void TskSkinMenuItem::Refresh()
{
  if (!Window)
    return;
  if (HasFrameAnimation()) {
    const Cardinal interval = static_cast<Cardinal>(std::max(ItemRecord->animateinterval, 1));
    if (Window->AnimationTimer->GetInterval() != interval)
      Window->AnimationTimer->SetInterval(interval);
    if (!ItemRecord->inactiveanimation && !Active) {
      CurrentFrame = 0;
      Draw(Window->GetCanvas());
    } else {
      Window->AnimationTimer->SetEnabled(true);
    }
  } else if (HasMorph()) {
    if (Window->AnimationTimer->GetInterval() != 20)
      Window->AnimationTimer->SetInterval(20);
    Window->AnimationTimer->SetEnabled(true);
  } else {
    Draw(Window->GetCanvas());
  }
}

// ---------------------------------------------------------------------------------------------
// Selection and commands

void TskSkinMenuItem::Select(bool ByKey)
{
  Active = true;
  if (HasFrameAnimation())
    CurrentFrame = 0;
  if (!Window)
    return;
  for (int i = 0; i < Window->ItemCount(); ++i) {
    TskSkinMenuItem* other = Window->Item(i);
    if (other != this && other->Down) {
      other->Down = false;
      other->Refresh();
    }
  }
  TskSkinMenu* menu = Window->Menu;
  if (SelectedOnOpen && !ByKey) {
    Refresh();
  } else if (Down) {
    if (menu) {
      const int level = menu->IndexOfLevel(Window);
      if (level + 2 < menu->LevelCount())
        menu->Levels[static_cast<std::size_t>(level + 1)]->CloseDeeperLevels();
    }
  } else {
    Refresh();
    if (menu) {
      // The manager may close this entry's level (never free it while the call runs).
      std::shared_ptr<bool> alive = menu->AliveToken();
      TskSkinMenu::TBusy busy(menu);
      menu->ItemAction(Window, this, false, ByKey);
      if (!*alive)
        return;
    }
  }
  if (MenuItem && Window->GetHint() != MenuItem->GetHint())
    Window->SetHint(MenuItem->GetHint());
}

void TskSkinMenuItem::Deselect()
{
  SelectedOnOpen = false;
  Active = false;
  if (HasFrameAnimation())
    CurrentFrame = ItemRecord->framecount + 1;
  if (!Down)
    Refresh();
  TskSkinMenu* menu = Window ? Window->Menu : nullptr;
  if (menu && menu->PendingItem == this) {
    menu->SubMenuTimer->SetEnabled(false);
    menu->PendingItem = nullptr;
  }
}

void TskSkinMenuItem::Click()
{
  SelectedOnOpen = false;
  if (Down || !MenuItem || !MenuItem->GetEnabled() || !Window || !Window->Menu)
    return;
  TskSkinMenu* menu = Window->Menu;
  TskSkinMenu::TBusy busy(menu);
  menu->ItemAction(Window, this, true, false);
}

// ---------------------------------------------------------------------------------------------
// Painting

TRect TskSkinMenuItem::FrameRect(int Frame) const
{
  if (!ItemRecord || ItemRecord->framecount <= 0)
    return NullRect();
  const TRect& a = ItemRecord->animateskinrect;
  const int count = ItemRecord->framecount;
  if (RectHeight(a) > RectHeight(ItemRecord->skinrect)) {
    const int h = RectHeight(a) / count;
    return Rect(a.left, a.top + h * (Frame - 1), a.right, a.top + h * Frame);
  }
  const int w = RectWidth(a) / count;
  return Rect(a.left + w * (Frame - 1), a.top, a.left + w * Frame, a.bottom);
}

void TskSkinMenuItem::Draw(TCanvas* Canvas)
{
  if (!Visible || !Canvas)
    return;
  const int w = RectWidth(ObjectRect);
  const int h = RectHeight(ObjectRect);
  if (w <= 0 || h <= 0)
    return;
  if (!ItemRecord) {
    auto b = NewBitmap(w, h);
    BuildDefaultBitmap(b.get(), w, h);
    Canvas->Draw(ObjectRect.left, ObjectRect.top, b.get());
    return;
  }
  auto b = NewBitmap(w, h);
  if (IsSeparator()) {
    auto strip = NewBitmap(w, h);
    BuildHorzSkinBitmap(ItemRecord->dividerleftoffset, ItemRecord->dividerrightoffset, strip.get(), Picture,
                        ItemRecord->dividerrect, w, h, ItemRecord->dividerstretcheffect);
    b->GetCanvas()->Draw(0, 0, strip.get());
    Canvas->Draw(ObjectRect.left, ObjectRect.top, b.get());
    return;
  }
  const bool lit = Lit();
  if (HasFrameAnimation() && CurrentFrame >= 1 && CurrentFrame <= ItemRecord->framecount) {
    const TRect frame = FrameRect(CurrentFrame);
    BuildSkinnedBitmap(b.get(), lit, &frame, w, h);
  } else if (!HasMorph() || (lit && MorphFactor >= 1) || (!lit && MorphFactor <= 0)) {
    BuildSkinnedBitmap(b.get(), lit, nullptr, w, h);
  } else {
    auto highlighted = NewBitmap(w, h);
    BuildSkinnedBitmap(b.get(), false, nullptr, w, h);
    BuildSkinnedBitmap(highlighted.get(), true, nullptr, w, h);
    std::unique_ptr<TskEffectBmp> normal = TskEffectBmp::CreateFromBitmap(b->GetHandle());
    std::unique_ptr<TskEffectBmp> active = TskEffectBmp::CreateFromBitmap(highlighted->GetHandle());
    switch (ItemRecord->morphkind) {
    case mkDefault: normal->Morph(active.get(), MorphFactor); break;
    case mkGradient: normal->MorphGradient(active.get(), MorphFactor); break;
    case mkLeftGradient: normal->MorphLeftGradient(active.get(), MorphFactor); break;
    case mkRightGradient: normal->MorphRightGradient(active.get(), MorphFactor); break;
    case mkLeftSlide: normal->MorphLeftSlide(active.get(), MorphFactor); break;
    case mkRightSlide: normal->MorphRightSlide(active.get(), MorphFactor); break;
    case mkPush: normal->MorphPush(active.get(), MorphFactor); break;
    }
    if (Window && Window->AlphaBlend && !IsWindows2000OrLater() && Window->ScreenCaptureBits) {
      // Without layered windows the level blends itself over the screen it covers.
      auto under = std::make_unique<TskEffectBmp>(w, h);
      for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
          under->SetPixel(x, y, Window->ScreenCaptureBits->GetPixel(ObjectRect.left + x, ObjectRect.top + y));
      normal->Morph(under.get(), 1.0 - Window->AlphaBlendValue / 255.0);
    }
    normal->Draw(Canvas->GetHandle(), ObjectRect.left, ObjectRect.top);
    return;
  }
  Canvas->Draw(ObjectRect.left, ObjectRect.top, b.get());
}

TFontCharset TskSkinMenuItem::EntryCharset() const
{
  TskSkinMenu* menu = Window ? Window->Menu : nullptr;
  if (menu && menu->SkinData && menu->SkinData->GetResourceStrData())
    return menu->SkinData->GetResourceStrData()->CharSet;
  return menu ? menu->DefMenuItemFont->GetCharset() : TFontCharset(DEFAULT_CHARSET);
}

void TskSkinMenuItem::SetEntryFont(TCanvas* Canvas)
{
  TskSkinMenu* menu = Window ? Window->Menu : nullptr;
  TFont* f = Canvas->GetFont();
  if (menu && menu->UseSkinFont && ItemRecord) {
    f->SetName(ItemRecord->fontname);
    f->SetStyle(ItemRecord->fontstyle);
    f->SetHeight(ItemRecord->fontheight);
  } else if (menu) {
    f->Assign(menu->DefMenuItemFont.get());
  }
  f->SetCharset(EntryCharset());
}

bool TskSkinMenuItem::HasImage(int& ImageW, int& ImageH)
{
  ImageW = ImageH = 0;
  if (!MenuItem)
    return false;
  if (MenuItem->HasBitmap() && !MenuItem->GetBitmap()->Empty()) {
    ImageW = MenuItem->GetBitmap()->GetWidth();
    ImageH = MenuItem->GetBitmap()->GetHeight();
    return true;
  }
  TCustomImageList* images = Window ? Window->Images : nullptr;
  if (images && MenuItem->GetImageIndex() >= 0 && MenuItem->GetImageIndex() < images->GetCount()) {
    ImageW = images->GetWidth();
    ImageH = images->GetHeight();
    return true;
  }
  return false;
}

void TskSkinMenuItem::DrawImage(TCanvas* Canvas, int X, int Y)
{
  if (MenuItem->HasBitmap() && !MenuItem->GetBitmap()->Empty()) {
    Canvas->Draw(X, Y, MenuItem->GetBitmap());
    return;
  }
  Window->Images->Draw(Canvas, X, Y, MenuItem->GetImageIndex(), MenuItem->GetEnabled());
}

void TskSkinMenuItem::DrawSkinPart(TCanvas* Canvas, const TRect& Source, const TRect& Target)
{
  if (!Picture || IsNullRect(Source))
    return;
  auto part = NewBitmap(RectWidth(Source), RectHeight(Source));
  part->GetCanvas()->CopyRect(Rect(0, 0, RectWidth(Source), RectHeight(Source)), Picture->GetCanvas(), Source);
  part->SetTransparent(true);
  const int x = std::max(Target.left, Target.left + RectWidth(Target) / 2 - RectWidth(Source) / 2);
  const int y = std::max(Target.top, Target.top + RectHeight(Target) / 2 - RectHeight(Source) / 2);
  Canvas->Draw(x, y, part.get());
}

void TskSkinMenuItem::DrawCaptionAndShortCut(TCanvas* Canvas, const TRect& T, int ImageColumn, int RightGap,
                                             UINT Flags, TRect& CaptionRect)
{
  const WideString caption = MenuTextToWide(MenuItem->GetCaption());
  CaptionRect = Rect(T.left + ImageColumn, 0, T.right - RightGap, 0);
  DrawWideText(Canvas, caption, CaptionRect, DT_CALCRECT);
  const int ch = RectHeight(CaptionRect);
  OffsetRect(&CaptionRect, 0, T.top + RectHeight(T) / 2 - ch / 2 - CaptionRect.top);
  CaptionRect.right += 2;
  Canvas->GetBrush()->SetStyle(bsClear);
  TRect r = CaptionRect;
  DrawWideText(Canvas, caption, r, Flags);
  if (MenuItem->GetShortCut() != 0) {
    const WideString shortcut = MenuTextToWide(ShortCutToText(MenuItem->GetShortCut()));
    TRect m = NullRect();
    DrawWideText(Canvas, shortcut, m, DT_CALCRECT);
    TRect s = Rect(T.right - RectWidth(m) - RightGap, CaptionRect.top, T.right - RightGap, CaptionRect.bottom);
    DrawWideText(Canvas, shortcut, s, Flags);
  }
}

bool TskSkinMenuItem::DrawHeader(TCanvas* Canvas, int W, int H)
{
  TskSkinData* data = Window ? Window->SkinData : nullptr;
  if (!Window || !Window->PopupRecord || !data)
    return true;
  int index = data->GetControlIndex("menuheader");
  if (index < 0)
    index = data->GetControlIndex("label");
  if (index < 0)
    return true;
  auto* header = dynamic_cast<TskDataSkinLabelControl*>(data->ControlList[static_cast<std::size_t>(index)]);
  if (!header || header->pictureindex < 0 || header->pictureindex >= static_cast<int>(data->ActivePictures.size()))
    return true;
  TBitmap* picture = data->ActivePictures[static_cast<std::size_t>(header->pictureindex)];
  auto strip = NewBitmap(W, RectHeight(header->skinrect));
  BuildHorzSkinBitmap(header->lefttoppoint.x, RectWidth(header->skinrect) - header->righttoppoint.x, strip.get(),
                      picture, header->skinrect, W, H, header->stretcheffect);
  TCanvas* sc = strip->GetCanvas();
  sc->GetFont()->SetColor(header->fontcolor);
  sc->GetFont()->SetName(header->fontname);
  sc->GetFont()->SetHeight(header->fontheight);
  sc->GetFont()->SetCharset(EntryCharset());
  sc->GetBrush()->SetStyle(bsClear);
  const String& c = MenuItem->GetCaption();
  TRect r = Rect(0, header->clientrect.top, strip->GetWidth(), strip->GetHeight());
  const TForm* form = Window->Menu ? Window->Menu->OwnerForm : nullptr;
  const UINT flags = DT_CENTER | DT_VCENTER | DT_SINGLELINE;
  DrawWideText(sc, MenuTextToWide(c.substr(1, c.size() - 2)), r, form ? form->DrawTextBiDiModeFlags(flags) : flags);
  Canvas->Draw(0, H / 2 - strip->GetHeight() / 2, strip.get());
  return true;
}

void TskSkinMenuItem::BuildSkinnedBitmap(TBitmap* Target, bool Highlighted, const TRect* Frame, int W, int H)
{
  TskDataSkinMenuItem* rec = ItemRecord;
  TCanvas* c = Target->GetCanvas();
  // Source and stretch.
  TRect source = Highlighted ? rec->activeskinrect : rec->skinrect;
  bool stretch = Highlighted ? rec->stretcheffect : rec->inactivestretcheffect;
  if (!Highlighted && !rec->inactivestretcheffect && rec->stretcheffect)
    stretch = Frame != nullptr;
  if (Frame)
    source = *Frame;
  // Background.
  if (!Highlighted && rec->inactivetransparent && Window && Window->BackgroundCopy) {
    c->CopyRect(Rect(0, 0, W, H), Window->BackgroundCopy->GetCanvas(), ObjectRect);
  } else {
    auto strip = NewBitmap(W, H);
    BuildHorzSkinBitmap(rec->itemleftoffset, rec->itemrightoffset, strip.get(), Picture, source, W, H, stretch);
    c->Draw(0, 0, strip.get());
  }
  // Image column and text rectangle.
  int imageColumn = Window && Window->Images ? Window->ImageColumnWidth : 16;
  if (!IsNullRect(rec->imagerect))
    imageColumn = 0;
  TRect t = rec->textrect;
  t.right = W + rec->textrect.right - RectWidth(rec->skinrect);
  // Font.
  c->GetBrush()->SetStyle(bsClear);
  SetEntryFont(c);
  TColor color = Highlighted ? rec->activefontcolor : (MenuItem->GetEnabled() ? rec->fontcolor : rec->unenabledfontcolor);
  c->GetFont()->SetColor(color);
  if (MenuItem->OnDrawItem) {
    MenuItem->OnDrawItem(this, c, t, Highlighted);
    return;
  }
  if (IsHeader()) {
    DrawHeader(c, W, H);
    return;
  }
  const TForm* form = Window && Window->Menu ? Window->Menu->OwnerForm : nullptr;
  const UINT flags = form ? form->DrawTextBiDiModeFlags(DT_CENTER | DT_VCENTER) : DT_CENTER | DT_VCENTER;
  TRect caption;
  DrawCaptionAndShortCut(c, t, imageColumn, 16, flags, caption);
  // Sub-menu arrow.
  if (MenuItem->GetCount() > 0) {
    if (IsNullRect(rec->arrowimagerect))
      DrawMenuSubArrow(c, t.right - 7, t.top + RectHeight(t) / 2 - 4, color);
    else
      DrawSkinPart(c, Highlighted ? rec->activearrowimagerect : rec->arrowimagerect,
                   Rect(t.right - RectWidth(rec->arrowimagerect) - 5, t.top, t.right, t.bottom));
  }
  // Image, or glyphs.
  int iw = 0, ih = 0;
  if (HasImage(iw, ih)) {
    if (rec->useimagecolor)
      color = Highlighted ? rec->activeimagecolor : rec->imagecolor;
    int x, y;
    if (IsNullRect(rec->imagerect)) {
      x = t.left + 2;
      y = t.top + RectHeight(t) / 2 - ih / 2;
    } else {
      x = rec->imagerect.left + RectWidth(rec->imagerect) / 2 - iw / 2;
      y = rec->imagerect.top + RectHeight(rec->imagerect) / 2 - ih / 2;
    }
    if (MenuItem->GetChecked()) {
      c->GetBrush()->SetStyle(bsClear);
      c->GetPen()->SetColor(color);
      c->Rectangle(x - 1, y - 1, x + iw + 1, y + ih + 1);
    }
    DrawImage(c, x, y);
    return;
  }
  TPoint p = IsNullRect(rec->imagerect)
                 ? Point(t.left + 2, t.top + RectHeight(t) / 2 - 4)
                 : Point(rec->imagerect.left + RectWidth(rec->imagerect) / 2 - 4,
                         rec->imagerect.top + RectHeight(rec->imagerect) / 2 - 4);
  const TskMenuSystemGlyph glyph = MenuSystemGlyph(MenuItem);
  if (glyph != msgNone) {
    DrawSystemGlyph(c, glyph, p.x, p.y, color);
    return;
  }
  if (!MenuItem->GetChecked())
    return;
  const TRect markTarget = !IsNullRect(rec->imagerect)
                               ? rec->imagerect
                               : Rect(rec->textrect.left + 2, rec->textrect.top, rec->textrect.left + 16,
                                      rec->imagerect.bottom);
  if (MenuItem->GetRadioItem()) {
    if (IsNullRect(rec->radioimagerect))
      DrawMenuRadioDot(c, p.x, p.y + 1, color);
    else
      DrawSkinPart(c, Highlighted ? rec->activeradioimagerect : rec->radioimagerect, markTarget);
  } else {
    if (IsNullRect(rec->checkimagerect))
      DrawMenuCheckMark(c, p.x, p.y, color);
    else
      DrawSkinPart(c, Highlighted ? rec->activecheckimagerect : rec->checkimagerect, markTarget);
  }
}

void TskSkinMenuItem::BuildDefaultBitmap(TBitmap* Target, int W, int H)
{
  TCanvas* c = Target->GetCanvas();
  const int band = Window && Window->Images ? Window->ImageColumnWidth : 19;
  TskSkinMenu* menu = Window ? Window->Menu : nullptr;
  if (menu)
    c->GetFont()->Assign(menu->DefMenuItemFont.get());
  if (menu && menu->SkinData && menu->SkinData->GetResourceStrData())
    c->GetFont()->SetCharset(menu->SkinData->GetResourceStrData()->CharSet);
  const bool separator = IsSeparator();
  TColor color;
  c->GetBrush()->SetStyle(bsSolid);
  if (Lit() && !separator) {
    c->GetBrush()->SetColor(clNavy);
    c->FillRect(Rect(0, 0, W, H));
    c->GetBrush()->SetColor(DefaultHighlightColor);
    c->FillRect(Rect(1, 1, W - 1, H - 1));
    color = clWindowText;
  } else {
    c->GetBrush()->SetColor(clBtnFace);
    c->FillRect(Rect(0, 0, band, H));
    c->GetBrush()->SetColor(clWindow);
    c->FillRect(Rect(band, 0, W, H));
    color = MenuItem && MenuItem->GetEnabled() ? clWindowText : clBtnShadow;
  }
  if (!MenuItem)
    return;
  if (separator) {
    c->GetPen()->SetColor(clBtnShadow);
    c->MoveTo(band, H / 2);
    c->LineTo(W, H / 2);
    return;
  }
  c->GetFont()->SetColor(color);
  const TRect t = Rect(2, 2, W - 2, H - 2);
  const TForm* form = menu ? menu->OwnerForm : nullptr;
  const UINT flags = form ? form->DrawTextBiDiModeFlags(DT_CENTER | DT_VCENTER) : DT_CENTER | DT_VCENTER;
  TRect caption;
  DrawCaptionAndShortCut(c, t, band, 19, flags, caption);
  const int centre = t.top + RectHeight(t) / 2;
  if (MenuItem->GetCount() > 0)
    DrawMenuSubArrow(c, t.right - 7, centre - 4, color);
  int iw = 0, ih = 0;
  if (HasImage(iw, ih)) {
    const int x = t.left + 2;
    const int y = centre - ih / 2;
    if (MenuItem->GetChecked()) {
      c->GetBrush()->SetStyle(bsClear);
      c->GetPen()->SetColor(color);
      c->Rectangle(t.left + 1, y - 1, x + iw + 1, y + ih + 1);
    }
    DrawImage(c, x, y);
    return;
  }
  const TskMenuSystemGlyph glyph = MenuSystemGlyph(MenuItem);
  if (glyph != msgNone) {
    DrawSystemGlyph(c, glyph, t.left + 2, centre - 4, color);
    return;
  }
  if (MenuItem->GetChecked()) {
    if (MenuItem->GetRadioItem())
      DrawMenuRadioDot(c, t.left + 3, centre - 3, color);
    else
      DrawMenuCheckMark(c, t.left + 3, centre - 4, color);
  }
}
