// The looks of the skinned combo box: the default look, the skinned look at the skin's size or
// stretched, and the tool-button look; the drop button and, in fixed style, the shown item.
#include <algorithm>

#include "platform/gdi/Gdi.h"
#include "skin/foundation/SkinDrawUtils.h"
#include "skin/foundation/SkinGlyphs.h"
#include "skin/foundation/SkinImages.h"
#include "skin/foundation/SkinStrings.h"
#include "skin/foundation/SkinStripImages.h"
#include "skin/input/SkinComboBox.h"
#include "skin/input/SkinListItems.h"
#include "skin/controls/SkinResizedButton.h"

namespace {

TskResizedButtonState ButtonState(bool Pressed, bool Hot)
{
  return Pressed ? TskResizedButtonState::Pressed : Hot ? TskResizedButtonState::Hot : TskResizedButtonState::Normal;
}

} // namespace

namespace {

constexpr TColor PressedFill = 0xB59385;
constexpr TColor HotFill = 0xD2BDB6;
constexpr TColor FrameNavy = 0x800000;

void FramedFill(TCanvas* Canvas, TRect R, TColor Frame, TColor Fill)
{
  Canvas->GetBrush()->SetStyle(bsSolid);
  Canvas->GetBrush()->SetColor(Frame);
  Canvas->FrameRect(R);
  InflateRect(&R, -1, -1);
  Canvas->GetBrush()->SetColor(Fill);
  Canvas->FillRect(R);
}

} // namespace

int TskSkinCustomComboBox::ShownIndex() const
{
  const int i = FListBox && FListBox->GetVisible() ? FSavedItemIndex : GetItemIndex();
  return i >= 0 && i < GetItems()->GetCount() ? i : -1;
}

void TskSkinCustomComboBox::SetCharsetOf(TFont* Font)
{
  if (FSkinData && FSkinData->GetResourceStrData())
    Font->SetCharset(FSkinData->GetResourceStrData()->CharSet);
  else
    Font->SetCharset(GetDefaultFont()->GetCharset());
}

void TskSkinCustomComboBox::CreateControlDefaultImage(TBitmap* B)
{
  CalcRects();
  TCanvas* c = B->GetCanvas();
  if (FToolButtonStyle) {
    DrawDefaultToolButton(c);
    return;
  }
  TRect r = Rect(0, 0, GetWidth(), GetHeight());
  c->GetBrush()->SetStyle(bsSolid);
  c->GetBrush()->SetColor(clBtnFace);
  c->FillRect(r);
  c->GetBrush()->SetColor(clBtnShadow);
  c->FrameRect(r);
  InflateRect(&r, -2, -2);
  c->GetBrush()->SetColor(FDefaultColor);
  c->FillRect(r);
  DrawButton(c);
  if (!FEdit)
    DrawDefaultItem(c);
}

void TskSkinCustomComboBox::CreateControlSkinImage(TBitmap* B)
{
  CalcRects();
  TCanvas* c = B->GetCanvas();
  if (FToolButtonStyle) {
    DrawSkinToolButton(c);
    return;
  }
  const bool active = !IsNullRect(FLook.ActiveSkinRect) &&
                      (FMouseIn || (FEdit && FEdit->HandleAllocated() && FEdit->Focused()) ||
                       (HandleAllocated() && Focused()));
  if (FUseSkinSize) {
    if (active && Picture)
      BuildHorzSkinBitmap(LTPoint.x, RectWidth(FLook.ActiveSkinRect) - RTPoint.x, B, Picture, FLook.ActiveSkinRect,
                          GetWidth(), RectHeight(FLook.ActiveSkinRect), StretchEffect);
    else
      TskSkinCustomControl::CreateControlSkinImage(B);
    DrawButton(c);
  } else {
    if (Picture)
      BuildSkinBitmap(B, Picture, active ? FLook.ActiveSkinRect : SkinRect, ClRect, true);
    DrawResizedButton(c);
  }
  if (!FEdit)
    DrawSkinItem(c, !FUseSkinSize);
}

void TskSkinCustomComboBox::DrawButton(TCanvas* Canvas)
{
  if (FIndex == -1) {
    if (FButtonDown && FButtonMouseIn)
      FramedFill(Canvas, FButtonRect, FrameNavy, PressedFill);
    else if (FButtonMouseIn)
      FramedFill(Canvas, FButtonRect, FrameNavy, HotFill);
    else
      FramedFill(Canvas, FButtonRect, clBtnShadow, clBtnFace);
    DrawArrowGlyph(Canvas, FButtonRect, GetEnabled() ? clBlack : clBtnShadow, 4);
    return;
  }
  TRect source{};
  if (!GetEnabled() && !IsNullRect(FLook.UnEnabledButtonRect))
    source = FLook.UnEnabledButtonRect;
  else if (FButtonDown && FButtonMouseIn)
    source = FLook.DownButtonRect;
  else if (FButtonMouseIn)
    source = FLook.ActiveButtonRect;
  if (!IsNullRect(source) && Picture)
    Canvas->CopyRect(FButtonRect, Picture->GetCanvas(), source);
}

void TskSkinCustomComboBox::DrawResizedButton(TCanvas* Canvas)
{
  for (const char* name : {"combobutton", "editbutton", "resizebutton"})
    if (FindSkinControlIndex(FSkinData, name) != -1) {
      ::DrawResizedButton(FSkinData, name, Canvas, FButtonRect, ButtonState(FButtonDown && FButtonMouseIn, FButtonMouseIn),
                          GetEnabled() ? 4 : 0);
      return;
    }
}

void TskSkinCustomComboBox::DrawItemContent(TCanvas* Canvas, int Index, TRect TR, int W, int H, TOwnerDrawState State)
{
  if (OnComboBoxDrawItem) {
    OnComboBoxDrawItem(Canvas, Index, W, H, TR, State);
    return;
  }
  if (TCustomImageList* images = GetImages()) {
    const int imageIndex = GetImageIndex() >= 0 ? GetImageIndex() : Index;
    if (imageIndex < images->GetCount())
      images->Draw(Canvas, TR.left, TR.top + RectHeight(TR) / 2 - images->GetHeight() / 2, imageIndex, true);
    TR.left += images->GetWidth() + 2;
  }
  Canvas->GetBrush()->SetStyle(bsClear);
  const String text = GetItems()->Get(Index);
  if (GetTabWidths()->GetCount() > 0)
    TskListBox::DrawTabbedText(text, GetTabWidths(), Canvas, TR, 0);
  else
    DrawTextVCentered(Canvas, text, TR);
}

void TskSkinCustomComboBox::DrawDefaultItem(TCanvas* Canvas)
{
  const int w = RectWidth(FItemRect), h = RectHeight(FItemRect);
  if (w <= 0 || h <= 0)
    return;
  TBitmap b;
  b.SetSize(w, h);
  TCanvas* c = b.GetCanvas();
  c->GetFont()->SetName(GetFont()->GetName());
  c->GetFont()->SetStyle(GetFont()->GetStyle());
  c->GetFont()->SetHeight(GetFont()->GetHeight());
  SetCharsetOf(c->GetFont());
  const bool focused = HandleAllocated() && Focused();
  c->GetBrush()->SetStyle(bsSolid);
  c->GetBrush()->SetColor(focused ? clHighlight : FDefaultColor);
  c->GetFont()->SetColor(focused ? clHighlightText : GetDefaultFont()->GetColor());
  c->FillRect(Rect(0, 0, w, h));
  const int index = ShownIndex();
  if (index != -1)
    DrawItemContent(c, index, Rect(2, 0, w - 2, h), w, h, focused ? TOwnerDrawState(odFocused) : TOwnerDrawState(0));
  if (focused)
    DrawDottedFocusRect(c, Rect(0, 0, w, h));
  Canvas->Draw(FItemRect.left, FItemRect.top, &b);
}

void TskSkinCustomComboBox::DrawSkinItem(TCanvas* Canvas, bool Stretched)
{
  const int w = RectWidth(FItemRect);
  if (w <= 0 || !Picture)
    return;
  int h = RectHeight(FLook.ItemRect);
  if (h == 0)
    h = RectHeight(FLook.FocusItemRect);
  if (h == 0 || Stretched)
    h = RectHeight(FItemRect);
  if (h <= 0)
    return;
  const bool focused = HandleAllocated() && Focused();
  const bool hover = FMouseIn && !IsNullRect(FLook.ActiveItemRect) && !IsNullRect(FLook.ActiveSkinRect);
  TRect source = focused ? FLook.FocusItemRect : hover ? FLook.ActiveItemRect : FLook.ItemRect;
  const bool stretch = focused ? FLook.FocusItemStretchEffect : FLook.ItemStretchEffect;
  TBitmap b;
  if (IsNullRect(source)) {
    // Without an item picture the item lies on what the control picture holds there.
    b.SetSize(w, h);
    b.GetCanvas()->CopyRect(Rect(0, 0, w, h), Canvas, Rect(FItemRect.left, FItemRect.top, FItemRect.right, FItemRect.top + h));
  } else if (Stretched) {
    b.SetSize(w, h);
    TRect cr = FLook.ItemTextRect;
    if (focused)
      InflateRect(&cr, -1, -1);
    if (source != FLook.ItemRect) {
      if (RectWidth(source) < RectWidth(FLook.ItemRect))
        cr.right -= RectWidth(FLook.ItemRect) - RectWidth(source);
      if (RectHeight(source) < RectHeight(FLook.ItemRect))
        cr.top -= RectHeight(FLook.ItemRect) - RectHeight(source);
    }
    BuildSkinBitmap(&b, Picture, source, cr, true);
  } else {
    BuildHorzSkinBitmap(FLook.ItemLeftOffset, FLook.ItemRightOffset, &b, Picture, source, w, h, stretch);
  }
  TRect tr = FLook.ItemTextRect;
  tr.right += w - (IsNullRect(FLook.ItemRect) ? RectWidth(ClRect) : RectWidth(FLook.ItemRect));
  if (Stretched)
    tr.bottom += GetHeight() - RectHeight(SkinRect);
  TCanvas* c = b.GetCanvas();
  TFont* f = c->GetFont();
  if (GetUseSkinFont()) {
    f->SetName(FLook.FontName);
    f->SetStyle(FLook.FontStyle);
    f->SetHeight(FLook.FontHeight);
  } else {
    f->Assign(GetDefaultFont());
  }
  SetCharsetOf(f);
  f->SetColor(!GetEnabled()                                         ? GetDisabledFontColor()
              : focused                                             ? FLook.FocusFontColor
              : FMouseIn && !IsNullRect(FLook.ActiveSkinRect) ? FLook.ActiveFontColor
                                                                    : FLook.FontColor);
  c->GetBrush()->SetStyle(bsClear);
  const int index = ShownIndex();
  if (index != -1) {
    if (!OnComboBoxDrawItem && focused && FLook.ShowFocus) {
      c->GetBrush()->SetStyle(bsSolid);
      c->GetBrush()->SetColor(FSkinData && FSkinData->SkinColors ? FSkinData->SkinColors->cbtnface : clBtnFace);
      DrawDottedFocusRect(c, Rect(0, 0, b.GetWidth(), b.GetHeight()));
      c->GetBrush()->SetStyle(bsClear);
    }
    DrawItemContent(c, index, tr, b.GetWidth(), b.GetHeight(), focused ? TOwnerDrawState(odFocused) : TOwnerDrawState(0));
  }
  Canvas->Draw(FItemRect.left, FItemRect.top, &b);
}

void TskSkinCustomComboBox::DrawDefaultToolButton(TCanvas* Canvas)
{
  const bool focused = HandleAllocated() && Focused();
  const TRect all = Rect(0, 0, GetWidth(), GetHeight());
  if (FDroppedDown)
    FramedFill(Canvas, all, FrameNavy, PressedFill);
  else if (FMouseIn || focused)
    FramedFill(Canvas, all, FrameNavy, HotFill);
  else
    FramedFill(Canvas, all, clBtnShadow, clBtnFace);
  TRect tr = Rect(2, 2, GetWidth() - 17, GetHeight() - 2);
  TRect arrow = Rect(GetWidth() - 15, 0, GetWidth(), GetHeight());
  if (FDroppedDown) {
    OffsetRect(&tr, 2, 2);
    OffsetRect(&arrow, 2, 2);
  }
  Canvas->GetFont()->Assign(GetDefaultFont());
  Canvas->GetBrush()->SetStyle(bsClear);
  const int index = ShownIndex();
  if (index != -1)
    DrawItemContent(Canvas, index, tr, RectWidth(tr), RectHeight(tr), focused ? TOwnerDrawState(odFocused) : TOwnerDrawState(0));
  DrawSmallDownArrow(Canvas, arrow, Canvas->GetFont()->GetColor());
}

void TskSkinCustomComboBox::DrawSkinToolButton(TCanvas* Canvas)
{
  String name = "resizetoolbutton";
  int i = FindSkinControlIndex(FSkinData, name);
  if (i == -1) {
    name = "resizebutton";
    i = FindSkinControlIndex(FSkinData, name);
  }
  auto* r = dynamic_cast<TskDataSkinButtonControl*>(SkinControlRecord(FSkinData, i));
  if (!r)
    return;
  const bool focused = HandleAllocated() && Focused();
  const bool hot = FMouseIn || focused;
  ::DrawResizedButton(FSkinData, name, Canvas, Rect(0, 0, GetWidth(), GetHeight()), ButtonState(FDroppedDown, hot));
  TRect tr = Rect(2, 2, GetWidth() - 17, GetHeight() - 2);
  TRect arrow = Rect(GetWidth() - 15, 0, GetWidth(), GetHeight());
  if (FDroppedDown) {
    OffsetRect(&tr, 2, 2);
    OffsetRect(&arrow, 2, 2);
  }
  TFont* f = Canvas->GetFont();
  if (GetUseSkinFont()) {
    f->SetName(r->fontname);
    f->SetStyle(r->fontstyle);
    f->SetHeight(r->fontheight);
  } else {
    f->Assign(GetDefaultFont());
  }
  SetCharsetOf(f);
  f->SetColor(FDroppedDown ? r->downfontcolor : hot ? r->activefontcolor : GetEnabled() ? r->fontcolor : r->disabledfontcolor);
  Canvas->GetBrush()->SetStyle(bsClear);
  const int index = ShownIndex();
  if (index != -1)
    DrawItemContent(Canvas, index, tr, RectWidth(tr), RectHeight(tr), focused ? TOwnerDrawState(odFocused) : TOwnerDrawState(0));
  TRect marker = r->menumarkerrect;
  if (FDroppedDown && !IsNullRect(r->menumarkerdownrect))
    marker = r->menumarkerdownrect;
  else if ((FDroppedDown || FMouseIn) && !IsNullRect(r->menumarkeractiverect))
    marker = r->menumarkeractiverect;
  TBitmap* picture = SkinPicture(FSkinData, r->pictureindex);
  if (!IsNullRect(r->menumarkerrect) && picture) {
    TBitmap m;
    m.SetSize(RectWidth(marker), RectHeight(marker));
    m.GetCanvas()->CopyRect(Rect(0, 0, m.GetWidth(), m.GetHeight()), picture->GetCanvas(), marker);
    m.SetTransparentColor(r->menumarkertransparentcolor);
    m.SetTransparent(true);
    Canvas->Draw(arrow.left + RectWidth(arrow) / 2 - m.GetWidth() / 2, arrow.top + RectHeight(arrow) / 2 - m.GetHeight() / 2,
                 &m);
  } else {
    DrawSmallDownArrow(Canvas, arrow, FDroppedDown ? static_cast<TColor>(r->downfontcolor) : f->GetColor());
  }
}
