#include "skin/input/SkinListFrame.h"

#include <algorithm>

#include "platform/gdi/Gdi.h"
#include "skin/controls/ComponentReference.h"
#include "skin/foundation/SkinDrawUtils.h"
#include "skin/input/SkinListItems.h"

TskSkinListFrame::TskSkinListFrame(TComponent* AOwner) : TskSkinCustomControl(AOwner)
{
  SetControlStyle(csAcceptsControls | csCaptureMouse | csClickEvents | csOpaque | csDoubleClicks | csReplicatable);
  DirectFramePaint = true;
  FillClientArea = false;
  FGlyph = std::make_unique<TBitmap>();
  FDefaultCaptionFont = std::make_unique<TFont>();
  FDefaultCaptionFont->SetName("Arial");
  FDefaultCaptionFont->SetHeight(14);
  FDefaultCaptionFont->OnChange = [this](TObject* Sender) { OnCaptionFontChange(Sender); };
  GetFont()->SetName("Arial");
  GetFont()->SetHeight(14);
  GetFont()->SetColor(clWindowText);
  GetFont()->SetStyle(0);
  FTabWidths = std::make_unique<TStringList>();
}

TskSkinListFrame::~TskSkinListFrame()
{
  FRepeat.Stop();
  TComponent* bar = FScrollBarComponent;
  TComponent* hbar = FHScrollBarComponent;
  FScrollBar = FHScrollBar = nullptr;
  FScrollBarComponent = FHScrollBarComponent = nullptr;
  delete bar;
  delete hbar;
  if (FImages)
    FImages->RemoveFreeNotification(this);
  TskListBox* list = FListBox;
  FListBox = nullptr;
  delete list;
}

void TskSkinListFrame::AttachListBox(TskListBox* AListBox)
{
  FListBox = AListBox;
  FListBox->SetOwnerListBox(this);
  FListBox->SetStyle(lbOwnerDrawFixed);
  FListBox->SetItemHeight(FDefaultItemHeight);
  FListBox->SetParent(this);
  FListBox->SetVisible(true);
  SetBounds(GetLeft(), GetTop(), 120, 120);
}

void TskSkinListFrame::CreateParams(TCreateParams& Params)
{
  TskSkinCustomControl::CreateParams(Params);
  Params.WindowClass.style &= ~(CS_HREDRAW | CS_VREDRAW);
}

// --- properties ------------------------------------------------------------------------------

void TskSkinListFrame::SetShowCaptionButtons(bool Value)
{
  if (FShowCaptionButtons == Value)
    return;
  FShowCaptionButtons = Value;
  Repaint();
}

void TskSkinListFrame::SetTabWidths(TStrings* Value)
{
  FTabWidths->Assign(Value);
  if (FTabWidths->GetCount() > 0 && FListBox)
    FListBox->Invalidate();
}

int TskSkinListFrame::GetColumns() const { return FListBox->GetColumns(); }

void TskSkinListFrame::SetColumns(int Value)
{
  FListBox->SetColumns(Value);
  UpdateScrollBars();
}

void TskSkinListFrame::SetRowCount(int Value)
{
  FRowCount = Value;
  if (FRowCount != 0)
    SetHeight(CalcHeight(FRowCount));
  UpdateScrollBars();
}

void TskSkinListFrame::SetImages(TCustomImageList* Value)
{
  SetComponentReference(this, FImages, Value);
  FListBox->Repaint();
}

void TskSkinListFrame::SetImageIndex(int Value)
{
  FImageIndex = Value;
  FListBox->Repaint();
}

void TskSkinListFrame::SetGlyph(TBitmap* Value)
{
  FGlyph->Assign(Value);
  Repaint();
}

void TskSkinListFrame::SetNumGlyphs(int Value)
{
  FNumGlyphs = Value;
  Repaint();
}

void TskSkinListFrame::SetSpacing(int Value)
{
  FSpacing = Value;
  Repaint();
}

void TskSkinListFrame::SetCaptionMode(bool Value)
{
  FCaptionMode = Value;
  if (FIndex == -1) {
    ArrangeListBox();
    Repaint();
  }
}

void TskSkinListFrame::SetDefaultCaptionHeight(int Value)
{
  FDefaultCaptionHeight = Value;
  if (FIndex == -1 && FCaptionMode) {
    ArrangeListBox();
    Repaint();
  }
}

void TskSkinListFrame::OnCaptionFontChange(TObject*)
{
  if (FIndex == -1 && FCaptionMode)
    Repaint();
}

void TskSkinListFrame::SetAlignment(TAlignment Value)
{
  if (FAlignment == Value)
    return;
  FAlignment = Value;
  if (FCaptionMode)
    Repaint();
}

void TskSkinListFrame::SetDefaultItemHeight(int Value)
{
  FDefaultItemHeight = Value;
  if (FIndex == -1 || !FUseSkinItemHeight)
    FListBox->SetItemHeight(Value);
}

TStrings* TskSkinListFrame::GetItems() const { return FListBox->GetItems(); }

void TskSkinListFrame::SetItems(TStrings* Value)
{
  FListBox->GetItems()->Assign(Value);
  UpdateScrollBars();
}

int TskSkinListFrame::GetItemIndex() const { return FListBox->GetItemIndex(); }
void TskSkinListFrame::SetItemIndex(int Value) { FListBox->SetItemIndex(Value); }
bool TskSkinListFrame::GetMultiSelect() const { return FListBox->GetMultiSelect(); }
void TskSkinListFrame::SetMultiSelect(bool Value) { FListBox->SetMultiSelect(Value); }
bool TskSkinListFrame::GetExtandedSelect() const { return FListBox->GetExtendedSelect(); }
void TskSkinListFrame::SetExtandedSelect(bool Value) { FListBox->SetExtendedSelect(Value); }
bool TskSkinListFrame::GetSorted() const { return FListBox->GetSorted(); }

void TskSkinListFrame::SetSorted(bool Value)
{
  if (FScrollBar)
    FreeScrollBar();
  FListBox->SetSorted(Value);
}

TFont* TskSkinListFrame::GetListBoxFont() const { return FListBox->GetFont(); }
void TskSkinListFrame::SetListBoxFont(TFont* Value) { FListBox->SetFont(Value); }
TPopupMenu* TskSkinListFrame::GetListBoxPopupMenu() const { return FListBox->GetPopupMenu(); }
void TskSkinListFrame::SetListBoxPopupMenu(TPopupMenu* Value) { FListBox->SetPopupMenu(Value); }
bool TskSkinListFrame::GetListBoxTabStop() const { return FListBox->GetTabStop(); }
void TskSkinListFrame::SetListBoxTabStop(bool Value) { FListBox->SetTabStop(Value); }

void TskSkinListFrame::Clear()
{
  FListBox->Clear();
  UpdateScrollBars();
}

int TskSkinListFrame::ItemAtPos(const TPoint& Pos, bool Existing) { return FListBox->ItemAtPos(Pos, Existing); }
bool TskSkinListFrame::GetSelected(int Index) const { return FListBox->GetSelected(Index); }
void TskSkinListFrame::SetTopIndex(int Value) { FListBox->SetTopIndex(Value); }

void TskSkinListFrame::Notification(TComponent* AComponent, TOperation Operation)
{
  TskSkinCustomControl::Notification(AComponent, Operation);
  if (Operation != opRemove)
    return;
  if (AComponent == FImages)
    FImages = nullptr;
  if (AComponent == FScrollBarComponent) {
    FScrollBar = nullptr;
    FScrollBarComponent = nullptr;
  }
  if (AComponent == FHScrollBarComponent) {
    FHScrollBar = nullptr;
    FHScrollBarComponent = nullptr;
  }
}

void TskSkinListFrame::DefaultFontChanged()
{
  if (FIndex == -1)
    GetFont()->Assign(GetDefaultFont());
}

void TskSkinListFrame::SetBounds(int ALeft, int ATop, int AWidth, int AHeight)
{
  TskSkinCustomControl::SetBounds(ALeft, ATop, AWidth, AHeight);
  if (FIndex == -1)
    Repaint();
}

// --- events of the inner list ----------------------------------------------------------------

int TskSkinListFrame::ItemTextWidth(int Index, TCanvas* Canvas) { return Canvas->TextWidth(GetItems()->Get(Index)); }

void TskSkinListFrame::ListBoxMouseDown(TMouseButton Button, TShiftState Shift, int X, int Y)
{
  if (OnListBoxMouseDown)
    OnListBoxMouseDown(this, Button, Shift, X, Y);
}

void TskSkinListFrame::ListBoxMouseMove(TShiftState Shift, int X, int Y)
{
  if (OnListBoxMouseMove)
    OnListBoxMouseMove(this, Shift, X, Y);
}

void TskSkinListFrame::ListBoxMouseUp(TMouseButton Button, TShiftState Shift, int X, int Y)
{
  if (OnListBoxMouseUp)
    OnListBoxMouseUp(this, Button, Shift, X, Y);
}

void TskSkinListFrame::ListBoxClick()
{
  if (OnListBoxClick)
    OnListBoxClick(this);
}

void TskSkinListFrame::ListBoxDblClick()
{
  if (OnListBoxDblClick)
    OnListBoxDblClick(this);
}

void TskSkinListFrame::ListBoxKeyDown(Word& Key, TShiftState Shift)
{
  if (OnListBoxKeyDown)
    OnListBoxKeyDown(this, Key, Shift);
}

void TskSkinListFrame::ListBoxKeyUp(Word& Key, TShiftState Shift)
{
  if (OnListBoxKeyUp)
    OnListBoxKeyUp(this, Key, Shift);
}

void TskSkinListFrame::ListBoxKeyPress(char& Key)
{
  if (OnListBoxKeyPress)
    OnListBoxKeyPress(this, Key);
}

void TskSkinListFrame::ListBoxWProc(TMessage&, bool& PassOn) { PassOn = true; }

// --- skin ------------------------------------------------------------------------------------

bool TskSkinListFrame::CopyListRecord(TskDataSkinControl* Record)
{
  auto* r = dynamic_cast<TskDataSkinListBox*>(Record);
  if (!r)
    return false;
  TskListBoxLook& l = FLook;
  auto orElse = [](const TRect& R, const TRect& Fallback) { return IsNullRect(R) || RectWidth(R) <= 0 || RectHeight(R) <= 0 ? Fallback : R; };
  l.FontName = r->fontname;
  l.FontStyle = r->fontstyle;
  l.FontHeight = r->fontheight;
  l.ItemRect = r->itemrect;
  l.ActiveItemRect = orElse(r->activeitemrect, r->itemrect);
  l.FocusItemRect = orElse(r->focusitemrect, r->itemrect);
  l.ItemLeftOffset = r->itemleftoffset;
  l.ItemRightOffset = r->itemrightoffset;
  l.ItemTextRect = r->itemtextrect;
  l.FontColor = r->fontcolor;
  l.ActiveFontColor = r->activefontcolor;
  l.FocusFontColor = r->focusfontcolor;
  l.CaptionRect = r->captionrect;
  l.CaptionFontName = r->captionfontname;
  l.CaptionFontStyle = r->captionfontstyle;
  l.CaptionFontHeight = r->captionfontheight;
  l.CaptionFontColor = r->captionfontcolor;
  l.UpButtonRect = r->upbuttonrect;
  l.ActiveUpButtonRect = r->activeupbuttonrect;
  l.DownUpButtonRect = orElse(r->downupbuttonrect, r->activeupbuttonrect);
  l.DownButtonRect = r->downbuttonrect;
  l.ActiveDownButtonRect = r->activedownbuttonrect;
  l.DownDownButtonRect = orElse(r->downdownbuttonrect, r->activedownbuttonrect);
  l.CheckButtonRect = r->checkbuttonrect;
  l.ActiveCheckButtonRect = r->activecheckbuttonrect;
  l.DownCheckButtonRect = orElse(r->downcheckbuttonrect, r->activecheckbuttonrect);
  l.VScrollBarName = r->vscrollbarname;
  l.HScrollBarName = r->hscrollbarname;
  l.BothHScrollBarName = r->bothhscrollbarname;
  l.ShowFocus = r->showfocus;
  l.DisabledButtonsRect = r->disabledbuttonsrect;
  l.ButtonsArea = r->buttonsarea;
  return true;
}

void TskSkinListFrame::GetSkinData()
{
  TskSkinCustomControl::GetSkinData();
  if (FIndex != -1)
    CopyListRecord(SkinControlRecord(FSkinData, FIndex));
}

void TskSkinListFrame::SkinBar(IskScrollBarLink* Bar, const String& Name)
{
  if (TskSkinControl* c = ScrollBarControl(Bar)) {
    c->SetSkinDataName(Name);
    c->SetSkinData(FSkinData);
  }
}

void TskSkinListFrame::ChangeSkinData()
{
  TskSkinCustomControl::ChangeSkinData();
  FUpdatingSkin = true;
  if (FIndex == -1) {
    FListBox->SetItemHeight(FDefaultItemHeight);
    GetFont()->Assign(GetDefaultFont());
  } else if (FUseSkinItemHeight && RectHeight(FLook.ItemRect) > 0) {
    FListBox->SetItemHeight(RectHeight(FLook.ItemRect));
  }
  if (FScrollBar)
    SkinBar(FScrollBar, FIndex == -1 ? String() : GetColumns() < 1 ? FLook.VScrollBarName : FLook.HScrollBarName);
  if (FHScrollBar) {
    if (FIndex == -1) {
      if (FScrollBar)
        ListScrollBarMaker().SetBothLook(FHScrollBar, String(), 19);
      SkinBar(FHScrollBar, String());
    } else {
      SkinBar(FHScrollBar, FScrollBar ? FLook.BothHScrollBarName : FLook.HScrollBarName);
    }
  }
  if (FRowCount != 0)
    SetHeight(CalcHeight(FRowCount));
  ArrangeListBox();
  FUpdatingSkin = false;
  UpdateScrollBars();
  FListBox->Repaint();
}

// --- layout and scroll bars ------------------------------------------------------------------

void TskSkinListFrame::ArrangeListBox()
{
  if (!FListBox)
    return;
  const int w = GetWidth(), h = GetHeight();
  int capH = 1;
  if (FIndex != -1) {
    FListRect = ClRect;
    FListRect.right += w - RectWidth(SkinRect);
    FListRect.bottom += h - RectHeight(SkinRect);
  } else if (FCaptionMode) {
    capH = FDefaultCaptionHeight;
  }
  int hb = 0;
  TskSkinControl* hbar = ScrollBarControl(FHScrollBar);
  if (GetColumns() == 0 && hbar && hbar->GetVisible()) {
    if (FIndex == -1) {
      hbar->SetBounds(1, h - 20, w - 2, 19);
      hb = hbar->GetHeight() - 1;
    } else {
      hbar->SetBounds(FListRect.left, FListRect.bottom - hbar->GetHeight(), RectWidth(FListRect), hbar->GetHeight());
      hb = hbar->GetHeight();
    }
  }
  TskSkinControl* bar = ScrollBarControl(FScrollBar);
  if (bar && bar->GetVisible()) {
    if (FIndex == -1 && GetColumns() > 0) {
      bar->SetBounds(1, h - 20, w - 2, 19);
      FListBoxRect = Rect(2, capH + 1, w - 2, bar->GetTop());
    } else if (FIndex == -1) {
      bar->SetBounds(w - 20, capH, 19, h - 1 - capH - hb);
      FListBoxRect = Rect(2, capH + 1, bar->GetLeft(), h - 2 - hb);
    } else if (GetColumns() > 0) {
      bar->SetBounds(FListRect.left, FListRect.bottom - bar->GetHeight(), RectWidth(FListRect), bar->GetHeight());
      FListBoxRect = FListRect;
      FListBoxRect.bottom -= bar->GetHeight();
    } else {
      bar->SetBounds(FListRect.right - bar->GetWidth(), FListRect.top, bar->GetWidth(), RectHeight(FListRect) - hb);
      FListBoxRect = FListRect;
      FListBoxRect.right -= bar->GetWidth();
      FListBoxRect.bottom -= hb;
    }
  } else if (FIndex == -1) {
    FListBoxRect = Rect(2, capH + 1, w - 2, h - 2);
  } else {
    FListBoxRect = FListRect;
  }
  FListBox->SetBounds(FListBoxRect.left, FListBoxRect.top, RectWidth(FListBoxRect), RectHeight(FListBoxRect));
}

void TskSkinListFrame::CreateScrollBar()
{
  const TskScrollBarKind kind = GetColumns() > 0 ? sbHorizontal : sbVertical;
  IskScrollBarLink* bar = ListScrollBarMaker().CreateBar(this, kind);
  TskSkinControl* c = ScrollBarControl(bar);
  if (!c)
    return;
  FScrollBar = bar;
  FScrollBarComponent = c;
  c->FreeNotification(this);
  c->SetVisible(false);
  c->SetBounds(0, 0, 20, 100);
  bar->SetRange(0, bar->GetMax(), 0, 0);
  bar->OnChange = [this](TObject* Sender) { ScrollBarChange(Sender); };
  SkinBar(bar, FIndex == -1 ? String() : kind == sbVertical ? FLook.VScrollBarName : FLook.HScrollBarName);
  c->SetParent(this);
  if (FHScrollBar) {
    if (FIndex == -1) {
      ListScrollBarMaker().SetBothLook(FHScrollBar, String(), 19);
      SkinBar(FHScrollBar, String());
    } else {
      ListScrollBarMaker().SetBothLook(FHScrollBar, FLook.BothHScrollBarName, 19);
      SkinBar(FHScrollBar, FLook.BothHScrollBarName);
    }
    FHScrollBar->SetBoth(true);
  }
  ArrangeListBox();
  c->SetVisible(true);
  ArrangeListBox();
  Repaint();
}

void TskSkinListFrame::FreeScrollBar()
{
  IskScrollBarLink* bar = FScrollBar;
  if (!bar)
    return;
  TskSkinControl* c = ScrollBarControl(bar);
  FScrollBar = nullptr;
  FScrollBarComponent = nullptr;
  c->SetVisible(false);
  delete c;
  ArrangeListBox();
}

void TskSkinListFrame::CreateHScrollBar()
{
  IskScrollBarLink* bar = ListScrollBarMaker().CreateBar(this, sbHorizontal);
  TskSkinControl* c = ScrollBarControl(bar);
  if (!c)
    return;
  FHScrollBar = bar;
  FHScrollBarComponent = c;
  c->FreeNotification(this);
  c->SetVisible(false);
  c->SetBounds(0, 0, 20, 100);
  bar->SetRange(0, bar->GetMax(), 0, 0);
  bar->OnChange = [this](TObject* Sender) { HScrollBarChange(Sender); };
  if (FIndex == -1) {
    if (FScrollBar) {
      ListScrollBarMaker().SetBothLook(bar, String(), 19);
      bar->SetBoth(true);
    }
    SkinBar(bar, String());
  } else if (FScrollBar) {
    ListScrollBarMaker().SetBothLook(bar, FLook.BothHScrollBarName, 19);
    bar->SetBoth(true);
    SkinBar(bar, FLook.BothHScrollBarName);
  } else {
    ListScrollBarMaker().SetBothLook(bar, FLook.HScrollBarName, 19);
    bar->SetBoth(false);
    SkinBar(bar, FLook.HScrollBarName);
  }
  c->SetParent(this);
  c->SetVisible(true);
  ArrangeListBox();
  Repaint();
}

void TskSkinListFrame::FreeHScrollBar()
{
  IskScrollBarLink* bar = FHScrollBar;
  if (!bar)
    return;
  FListBox->SetHorzOffset(0);
  TskSkinControl* c = ScrollBarControl(bar);
  FHScrollBar = nullptr;
  FHScrollBarComponent = nullptr;
  c->SetVisible(false);
  delete c;
  ArrangeListBox();
  FListBox->Repaint();
}

void TskSkinListFrame::ScrollBarChange(TObject*)
{
  if (!FScrollBar || !FListBox->HandleAllocated())
    return;
  const WPARAM w = MAKEWPARAM(SB_THUMBPOSITION, static_cast<WORD>(FScrollBar->GetPosition()));
  SendMessage(FListBox->GetHandle(), GetColumns() <= 0 ? WM_VSCROLL : WM_HSCROLL, w, 0);
}

void TskSkinListFrame::HScrollBarChange(TObject*)
{
  if (!FHScrollBar)
    return;
  FListBox->SetHorzOffset(FHScrollBar->GetPosition());
  FListBox->Repaint();
}

void TskSkinListFrame::UpdateHorizontalExtent()
{
  if (!UsesHorizontalExtent() || !FHorizontalExtent || FUpdatingSkin) {
    TskSkinControl* c = ScrollBarControl(FHScrollBar);
    if (c && c->GetVisible())
      FreeHScrollBar();
    return;
  }
  TCanvas* canvas = FListBox->GetCanvas();
  if (FIndex != -1 && GetUseSkinFont()) {
    canvas->GetFont()->SetName(FLook.FontName);
    canvas->GetFont()->SetStyle(FLook.FontStyle);
    canvas->GetFont()->SetHeight(FLook.FontHeight);
  } else {
    canvas->GetFont()->Assign(FListBox->GetFont());
  }
  int widest = 0;
  for (int i = 0; i < GetItems()->GetCount(); ++i)
    widest = std::max(widest, ItemTextWidth(i, canvas));
  int available = FIndex == -1 ? FListBox->GetWidth() - 4
                               : FListBox->GetWidth() + RectWidth(FLook.ItemTextRect) - RectWidth(FLook.ItemRect);
  if (FImages)
    available -= FImages->GetWidth() + 4;
  if (available < widest) {
    if (!FHScrollBar)
      CreateHScrollBar();
    if (FHScrollBar) {
      FHScrollBar->SetRange(0, widest, FHScrollBar->GetPosition(), available);
      const int step = canvas->TextWidth("0");
      FHScrollBar->SetSmallChange(step);
      FHScrollBar->SetLargeChange(step);
    }
  } else {
    TskSkinControl* c = ScrollBarControl(FHScrollBar);
    if (c && c->GetVisible())
      FreeHScrollBar();
  }
}

void TskSkinListFrame::UpdateScrollBars()
{
  if (!FListBox || !FListBox->HandleAllocated())
    return;
  HWND h = FListBox->GetHandle();
  const int count = GetItems()->GetCount();
  const int itemHeight = std::max(1, FListBox->GetItemHeight());
  auto freeVisibleBar = [this] {
    TskSkinControl* c = ScrollBarControl(FScrollBar);
    if (c && c->GetVisible())
      FreeScrollBar();
  };
  int mn = 0, mx = 0;
  if (GetColumns() > 0) {
    GetScrollRange(h, SB_HORZ, &mn, &mx);
    const int p = GetScrollPos(h, SB_HORZ);
    if (mx > mn && p <= mx && GetColumns() <= mx &&
        (ColumnBarIgnoresItemCount() || (FListBox->GetHeight() / itemHeight) * GetColumns() < count)) {
      if (!FScrollBar)
        CreateScrollBar();
      if (FScrollBar)
        FScrollBar->SetRange(mn, mx, p, GetColumns());
      return;
    }
    freeVisibleBar();
    return;
  }
  UpdateHorizontalExtent();
  if (FRowCount > 0 && FRowCount == count) {
    freeVisibleBar();
    return;
  }
  GetScrollRange(h, SB_VERT, &mn, &mx);
  const int p = GetScrollPos(h, SB_VERT);
  const int visible = FListBox->GetHeight() / itemHeight;
  if (mx > mn && p <= mx && visible < count) {
    if (!FScrollBar)
      CreateScrollBar();
    if (FScrollBar) {
      FScrollBar->SetRange(mn, mx, p, visible);
      FScrollBar->SetLargeChange(visible);
    }
    return;
  }
  freeVisibleBar();
}

int TskSkinListFrame::CalcHeight(int Rows)
{
  int h;
  if (FIndex == -1) {
    h = Rows * FListBox->GetItemHeight() + 4;
    if (FCaptionMode && CalcHeightCountsCaption())
      h += FDefaultCaptionHeight;
  } else {
    h = RectHeight(SkinRect) + Rows * FListBox->GetItemHeight() + ClRect.top - ClRect.bottom;
  }
  if (TskSkinControl* c = ScrollBarControl(FHScrollBar))
    h += c->GetHeight();
  return h;
}
