#include "skin/input/SkinListItems.h"

#include <algorithm>

#include "platform/gdi/Gdi.h"
#include "skin/foundation/SkinDrawUtils.h"
#include "skin/foundation/SkinImages.h"
#include "skin/foundation/SkinStrings.h"
#include "skin/foundation/SkinStripImages.h"

namespace {

// The owner's query for the background of an empty list.
constexpr UINT EmptyListPaintMessage = SkinFramePaintMessage - 1;

// A canvas on a device context for the length of one paint.
class TDCCanvas {
public:
  explicit TDCCanvas(HDC DC) { Canvas.SetHandle(DC); }
  ~TDCCanvas() { Canvas.SetHandle(nullptr); }
  TCanvas Canvas;
};

} // namespace

TskListBox::TskListBox(TComponent* AOwner) : TListBox(AOwner)
{
  SetCtl3D(false);
  SetBorderStyle(bsNone);
  SetControlStyle(csCaptureMouse | csOpaque | csDoubleClicks);
}

bool TskListBox::Skinned() const { return FOwnerListBox && FOwnerListBox->GetSkinIndex() != -1; }

void TskListBox::CreateParams(TCreateParams& Params)
{
  TListBox::CreateParams(Params);
  Params.Style &= ~WS_BORDER;
  Params.ExStyle &= ~WS_EX_CLIENTEDGE;
  Params.WindowClass.style = CS_DBLCLKS;
  Params.Style |= WS_TABSTOP;
}

void TskListBox::CreateWnd()
{
  TListBox::CreateWnd();
  if (FOwnerListBox)
    FOwnerListBox->ListBoxCreateWnd();
}

void TskListBox::SetBounds(int ALeft, int ATop, int AWidth, int AHeight)
{
  const int oldWidth = GetWidth();
  TListBox::SetBounds(ALeft, ATop, AWidth, AHeight);
  if (AWidth != oldWidth && FHorzOffset > 0) {
    FHorzOffset = std::max(0, FHorzOffset + oldWidth - AWidth);
    Repaint();
  }
}

// --- messages and forwarding -----------------------------------------------------------------

void TskListBox::WndProc(TMessage& Message)
{
  if (FOwnerListBox && UsesOwnerHook()) {
    bool passOn = true;
    FOwnerListBox->ListBoxWProc(Message, passOn);
    if (!passOn)
      return;
  }
  ListWndProc(Message);
}

void TskListBox::ListWndProc(TMessage& Message)
{
  switch (Message.Msg) {
  case WM_NCCALCSIZE:
    Message.Result = 0;
    return;
  case SkinControlQueryMessage:
    Message.Result = SkinControlQueryAnswer;
    return;
  case WM_PAINT:
    PaintHandler(Message);
    return;
  case WM_ERASEBKGND:
    if (GetWidth() > 0 && GetHeight() > 0)
      PaintBackground(reinterpret_cast<HDC>(Message.WParam));
    Message.Result = 1;
    if (FOwnerListBox)
      FOwnerListBox->UpdateScrollBars();
    return;
  case EmptyListPaintMessage:
    if (GetCount() == 0 && Message.LParam == SkinFramePaintParam) {
      if (Message.WParam != 0)
        PaintBackground(reinterpret_cast<HDC>(Message.WParam));
      Message.Result = SkinFramePaintParam;
      return;
    }
    break;
  case CM_ENTER:
    if (FOwnerListBox)
      FOwnerListBox->ListBoxEnter();
    break;
  case CM_EXIT:
    if (FOwnerListBox)
      FOwnerListBox->ListBoxExit();
    break;
  }
  TListBox::WndProc(Message);
  if (!FOwnerListBox)
    return;
  switch (Message.Msg) {
  case WM_LBUTTONDBLCLK:
    FOwnerListBox->ListBoxDblClick();
    break;
  case LB_ADDSTRING:
  case LB_INSERTSTRING:
  case LB_DELETESTRING:
    FOwnerListBox->UpdateScrollBars();
    break;
  case WM_MOUSEWHEEL: {
    const bool up = static_cast<short>(HIWORD(Message.WParam)) > 0;
    if (FOwnerListBox->GetScrollBar()) {
      Perform(WM_VSCROLL, up ? SB_LINEUP : SB_LINEDOWN, 0);
      FOwnerListBox->UpdateScrollBars();
    } else if (IskScrollBarLink* h = FOwnerListBox->GetHScrollBar()) {
      h->SetPosition(up ? h->GetPosition() - h->GetSmallChange() : h->GetPosition() + h->GetSmallChange());
    }
    break;
  }
  }
}

void TskListBox::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y)
{
  if (FOwnerListBox)
    FOwnerListBox->ListBoxMouseDown(Button, Shift, X, Y);
  TListBox::MouseDown(Button, Shift, X, Y);
}

void TskListBox::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y)
{
  if (FOwnerListBox)
    FOwnerListBox->ListBoxMouseUp(Button, Shift, X, Y);
  TListBox::MouseUp(Button, Shift, X, Y);
}

void TskListBox::MouseMove(TShiftState Shift, int X, int Y)
{
  if (FOwnerListBox)
    FOwnerListBox->ListBoxMouseMove(Shift, X, Y);
  TListBox::MouseMove(Shift, X, Y);
}

void TskListBox::Click()
{
  if (FOwnerListBox)
    FOwnerListBox->ListBoxClick();
  TListBox::Click();
}

void TskListBox::KeyDown(Word& Key, TShiftState Shift)
{
  if (FOwnerListBox) {
    FOwnerListBox->ListBoxKeyDown(Key, Shift);
    IskScrollBarLink* h = FOwnerListBox->GetHScrollBar();
    if (h && (Key == VK_LEFT || Key == VK_RIGHT)) {
      h->SetPosition(Key == VK_LEFT ? h->GetPosition() - h->GetSmallChange() : h->GetPosition() + h->GetSmallChange());
      Key = 0;
    }
  }
  TListBox::KeyDown(Key, Shift);
}

void TskListBox::KeyPress(char& Key)
{
  if (FOwnerListBox)
    FOwnerListBox->ListBoxKeyPress(Key);
  TListBox::KeyPress(Key);
}

// --- painting --------------------------------------------------------------------------------

TOwnerDrawState TskListBox::GetItemState(int Index)
{
  if (Index == GetItemIndex())
    return Focused() ? odSelected | odFocused : odSelected;
  if (GetSelCount() >= 1 && GetSelected(Index))
    return odSelected;
  return 0;
}

void TskListBox::PaintWindow(HDC DC)
{
  if (GetWidth() <= 0 || GetHeight() <= 0)
    return;
  const int saved = SaveDC(DC);
  if (GetColumns() <= 0)
    PaintRows(DC);
  else
    PaintColumns(DC);
  RestoreDC(DC, saved);
}

void TskListBox::PaintRows(HDC DC)
{
  TDCCanvas c(DC);
  const int itemHeight = std::max(1, GetItemHeight());
  const int count = GetCount();
  const int last = std::min(GetTopIndex() + GetHeight() / itemHeight, count - 1);
  int bottom = 0;
  for (int i = GetTopIndex(); i <= last && i >= 0; ++i) {
    const TRect r = ItemRect(i);
    DrawItemLook(&c.Canvas, i, GetItemState(i), r);
    bottom = r.bottom;
  }
  if (bottom >= GetHeight())
    return;
  if (FOwnerListBox)
    FOwnerListBox->GetSkinData();
  if (!Skinned()) {
    c.Canvas.GetBrush()->SetStyle(bsSolid);
    c.Canvas.GetBrush()->SetColor(clWindow);
    c.Canvas.FillRect(Rect(0, bottom, GetWidth(), GetHeight()));
  } else {
    DrawClientPicture(&c.Canvas, GetWidth(), bottom, 0, GetHeight() - bottom);
  }
}

void TskListBox::PaintColumns(HDC DC)
{
  TDCCanvas c(DC);
  const int itemHeight = std::max(1, GetItemHeight());
  const int last = std::min(GetTopIndex() + (GetHeight() / itemHeight) * GetColumns(), GetCount() - 1);
  for (int i = GetTopIndex(); i <= last && i >= 0; ++i)
    DrawItemLook(&c.Canvas, i, GetItemState(i), ItemRect(i));
}

void TskListBox::PaintBackground(HDC DC)
{
  if (!DC)
    return;
  TDCCanvas c(DC);
  if (FOwnerListBox)
    FOwnerListBox->GetSkinData();
  if (!Skinned()) {
    c.Canvas.GetBrush()->SetStyle(bsSolid);
    c.Canvas.GetBrush()->SetColor(clWindow);
    c.Canvas.FillRect(Rect(0, 0, GetWidth(), GetHeight()));
  } else {
    DrawClientPicture(&c.Canvas, GetWidth(), 0, 0, GetHeight());
  }
}

void TskListBox::DrawClientPicture(TCanvas* Canvas, int W, int Y, int X, int H)
{
  if (W <= 0 || H <= 0)
    return;
  TBitmap* picture = FOwnerListBox ? FOwnerListBox->Picture : nullptr;
  TRect p = FOwnerListBox ? FOwnerListBox->ClRect : TRect{};
  const int cw = RectWidth(p), ch = RectHeight(p);
  if (!picture || cw <= 0 || ch <= 0) {
    // A record without a client picture cannot be tiled: the plain window colour instead.
    Canvas->GetBrush()->SetStyle(bsSolid);
    Canvas->GetBrush()->SetColor(clWindow);
    Canvas->FillRect(Rect(X, Y, X + W, Y + H));
    return;
  }
  OffsetRect(&p, FOwnerListBox->SkinRect.left, FOwnerListBox->SkinRect.top);
  TBitmap b;
  b.SetSize(W, H);
  for (int i = 0; i <= W / cw; ++i)
    for (int j = 0; j <= H / ch; ++j) {
      const int x = i * cw, y = j * ch;
      const int w = std::min(cw, W - x), h = std::min(ch, H - y);
      if (w <= 0 || h <= 0)
        continue;
      b.GetCanvas()->CopyRect(Rect(x, y, x + w, y + h), picture->GetCanvas(), Rect(p.left, p.top, p.left + w, p.top + h));
    }
  Canvas->Draw(X, Y, &b);
}

void TskListBox::CNDrawItem(TMessage& Message)
{
  auto* s = reinterpret_cast<DRAWITEMSTRUCT*>(Message.LParam);
  if (!s)
    return;
  TDCCanvas c(s->hDC);
  c.Canvas.GetFont()->Assign(GetFont());
  c.Canvas.GetBrush()->Assign(GetBrush());
  DrawItemLook(&c.Canvas, static_cast<int>(s->itemID), static_cast<TOwnerDrawState>(s->itemState & 0xFFFF), s->rcItem);
  Message.Result = 1;
}

void TskListBox::DrawItemLook(TCanvas* Canvas, int Index, TOwnerDrawState State, const TRect& R)
{
  if (!Skinned())
    DrawDefaultItem(Canvas, Index, State, R);
  else if (FOwnerListBox->GetUseSkinItemHeight())
    DrawSkinItem(Canvas, Index, State, R);
  else
    DrawStretchItem(Canvas, Index, State, R);
}

void TskListBox::SetDefaultItemFont(TCanvas* Canvas)
{
  TFont* f = Canvas->GetFont();
  TFont* source = FOwnerListBox ? FOwnerListBox->GetFont() : GetFont();
  f->SetName(source->GetName());
  f->SetStyle(source->GetStyle());
  f->SetHeight(source->GetHeight());
  TskSkinData* data = FOwnerListBox ? FOwnerListBox->GetSkinDataComponent() : nullptr;
  if (data && data->GetResourceStrData())
    f->SetCharset(data->GetResourceStrData()->CharSet);
  else if (FOwnerListBox)
    f->SetCharset(FOwnerListBox->GetDefaultFont()->GetCharset());
}

void TskListBox::SetSkinItemFont(TCanvas* Canvas, TOwnerDrawState State)
{
  TFont* f = Canvas->GetFont();
  const TskListBoxLook& look = FOwnerListBox->GetLook();
  if (FOwnerListBox->GetUseSkinFont()) {
    f->SetName(look.FontName);
    f->SetStyle(look.FontStyle);
    f->SetHeight(look.FontHeight);
  } else {
    f->Assign(FOwnerListBox->GetDefaultFont());
  }
  TskSkinData* data = FOwnerListBox->GetSkinDataComponent();
  if (data && data->GetResourceStrData())
    f->SetCharset(data->GetResourceStrData()->CharSet);
  else
    f->SetCharset(FOwnerListBox->GetDefaultFont()->GetCharset());
  if ((State & odSelected) && (State & odFocused))
    f->SetColor(look.FocusFontColor);
  else if (State & odSelected)
    f->SetColor(look.ActiveFontColor);
  else
    f->SetColor(look.FontColor);
  Canvas->GetBrush()->SetStyle(bsClear);
}

void TskListBox::DrawItemContent(TCanvas* Canvas, int Index, const TRect& TR, int W, int H, bool DefaultLook)
{
  int o = 0;
  TCustomImageList* images = FOwnerListBox ? FOwnerListBox->GetImages() : nullptr;
  if (images) {
    const int imageIndex = FOwnerListBox->GetImageIndex() >= 0 ? FOwnerListBox->GetImageIndex() : Index;
    if (imageIndex < images->GetCount())
      images->Draw(Canvas, TR.left - FHorzOffset, TR.top + RectHeight(TR) / 2 - images->GetHeight() / 2, imageIndex,
                   true);
    o = images->GetWidth() + 2;
  }
  Canvas->GetBrush()->SetStyle(bsClear);
  const String text = GetItems()->Get(Index);
  TStrings* tabs = FOwnerListBox ? FOwnerListBox->GetTabWidths() : nullptr;
  if (tabs && tabs->GetCount() > 0 && GetColumns() == 0)
    DrawTabbedText(text, tabs, Canvas, DefaultLook ? Rect(0, 0, W, H) : TR, o);
  else
    DrawTextVCenteredOffset(Canvas, text, TR, o - FHorzOffset);
}

void TskListBox::DrawDefaultItem(TCanvas* Canvas, int Index, TOwnerDrawState State, const TRect& R)
{
  const int w = RectWidth(R), h = RectHeight(R);
  if (Index < 0 || Index > GetCount() - 1 || w <= 0 || h <= 0)
    return;
  TBitmap b;
  b.SetSize(w, h);
  TCanvas* c = b.GetCanvas();
  SetDefaultItemFont(c);
  c->GetBrush()->SetStyle(bsSolid);
  if (State & odSelected) {
    c->GetBrush()->SetColor(clHighlight);
    c->GetFont()->SetColor(clHighlightText);
  } else {
    c->GetBrush()->SetColor(clWindow);
    c->GetFont()->SetColor(FOwnerListBox ? FOwnerListBox->GetFont()->GetColor() : GetFont()->GetColor());
  }
  c->FillRect(Rect(0, 0, w, h));
  const TRect tr = Rect(2, 0, w - 2, h);
  if (FOwnerListBox && FOwnerListBox->OnDrawItem)
    FOwnerListBox->OnDrawItem(c, Index, w, h, tr, State);
  else
    DrawItemContent(c, Index, tr, w, h, true);
  if (State & odFocused)
    DrawDottedFocusRect(c, Rect(0, 0, w, h));
  Canvas->Draw(R.left, R.top, &b);
}

void TskListBox::DrawSkinItem(TCanvas* Canvas, int Index, TOwnerDrawState State, const TRect& R)
{
  TBitmap* picture = FOwnerListBox->Picture;
  const TskListBoxLook& look = FOwnerListBox->GetLook();
  const int w = RectWidth(R), ih = RectHeight(look.ItemRect);
  if (!picture || Index < 0 || Index > GetCount() - 1 || w <= 0 || ih <= 0 || RectWidth(look.ItemRect) <= 0)
    return;
  TBitmap b;
  const bool focused = (State & odFocused) != 0, selected = (State & odSelected) != 0;
  const bool stretch = FOwnerListBox->StretchEffect;
  if (focused && !selected) {
    BuildHorzSkinBitmap(look.ItemLeftOffset, look.ItemRightOffset, &b, picture, look.ItemRect, w, ih, stretch);
    TCanvas fresh;
    b.GetCanvas()->GetFont()->SetColor(fresh.GetFont()->GetColor());
    DrawDottedFocusRect(b.GetCanvas(), Rect(0, 0, w, ih));
  } else if (focused) {
    BuildHorzSkinBitmap(look.ItemLeftOffset, look.ItemRightOffset, &b, picture, look.FocusItemRect, w, ih, stretch);
  } else if (selected) {
    BuildHorzSkinBitmap(look.ItemLeftOffset, look.ItemRightOffset, &b, picture, look.ActiveItemRect, w, ih, stretch);
  } else {
    BuildHorzSkinBitmap(look.ItemLeftOffset, look.ItemRightOffset, &b, picture, look.ItemRect, w, ih, false);
  }
  TRect tr = look.ItemTextRect;
  tr.right += w - RectWidth(look.ItemRect);
  TCanvas* c = b.GetCanvas();
  SetSkinItemFont(c, State);
  if (FOwnerListBox->OnDrawItem) {
    FOwnerListBox->OnDrawItem(c, Index, w, ih, tr, State);
  } else {
    if (focused && look.ShowFocus)
      DrawDottedFocusRect(c, Rect(0, 0, w, ih));
    DrawItemContent(c, Index, tr, w, ih, false);
  }
  Canvas->Draw(R.left, R.top, &b);
}

void TskListBox::DrawStretchItem(TCanvas* Canvas, int Index, TOwnerDrawState State, const TRect& R)
{
  TBitmap* picture = FOwnerListBox->Picture;
  const TskListBoxLook& look = FOwnerListBox->GetLook();
  const int w = RectWidth(R), h = RectHeight(R);
  if (!picture || Index < 0 || Index > GetCount() - 1 || w <= 0 || h <= 0 || RectWidth(look.ItemRect) <= 0 ||
      RectHeight(look.ItemRect) <= 0)
    return;
  TBitmap b;
  b.SetSize(w, h);
  TRect cr = look.ItemTextRect;
  InflateRect(&cr, -1, -1);
  const bool focused = (State & odFocused) != 0, selected = (State & odSelected) != 0;
  BuildSkinBitmap(&b, picture, focused ? look.FocusItemRect : selected ? look.ActiveItemRect : look.ItemRect, cr, true);
  TRect tr = look.ItemTextRect;
  tr.right += w - RectWidth(look.ItemRect);
  tr.bottom += h - RectHeight(look.ItemRect);
  TCanvas* c = b.GetCanvas();
  SetSkinItemFont(c, State);
  if (focused)
    c->GetFont()->SetColor(look.FocusFontColor);
  if (FOwnerListBox->OnDrawItem) {
    FOwnerListBox->OnDrawItem(c, Index, w, h, tr, State);
  } else {
    if (focused && look.ShowFocus)
      DrawDottedFocusRect(c, Rect(0, 0, w, h));
    DrawItemContent(c, Index, tr, w, h, false);
  }
  Canvas->Draw(R.left, R.top, &b);
}

// --- tab stops -------------------------------------------------------------------------------

int TskListBox::TabStopValue(const String& S)
{
  if (S.empty() || S.size() > 9)
    return 0;
  int v = 0;
  for (char ch : S) {
    if (ch < '0' || ch > '9')
      return 0;
    v = v * 10 + (ch - '0');
  }
  return v;
}

void TskListBox::DrawTabbedText(const String& Text, TStrings* TabWidths, TCanvas* Canvas, const TRect& R, int O)
{
  INT stops[10] = {};
  const int n = std::min(TabWidths->GetCount(), 10);
  for (int i = 0; i < n; ++i)
    stops[i] = TabStopValue(TabWidths->Get(i));
  const int y = R.top + RectHeight(R) / 2 - Canvas->TextHeight(Text) / 2;
  TabbedTextOut(Canvas->GetHandle(), O + R.left + 2, y, Text.c_str(), static_cast<int>(Text.size()), n, stops, 0);
}
