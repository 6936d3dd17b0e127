#include "skin/input/SkinCheckListBox.h"

#include <algorithm>

#include "platform/gdi/Gdi.h"
#include "platform/rtl/RtlConsts.h"
#include "skin/foundation/SkinDrawUtils.h"
#include "skin/foundation/SkinEffectBmp.h"
#include "skin/foundation/SkinGlyphs.h"
#include "skin/foundation/SkinImages.h"
#include "skin/foundation/SkinStripImages.h"

namespace {

constexpr int DefaultCheckColumn = 20;

} // namespace

// ---------------------------------------------------------------------------------------------
// TskCheckListBox

TskCheckListBox::TskCheckListBox(TComponent* AOwner) : TskListBox(AOwner) {}

TskCheckListBox::~TskCheckListBox() = default;

TskSkinCheckListBox* TskCheckListBox::CheckOwner() const { return dynamic_cast<TskSkinCheckListBox*>(FOwnerListBox); }

LPARAM TskCheckListBox::SlotOf(int Index) { return TskListBox::GetItemData(Index); }

TskCheckListBox::TEntry* TskCheckListBox::ExtractEntry(int Index)
{
  const LPARAM slot = SlotOf(Index);
  if (slot == LB_ERR)
    throw EListError(RtlConsts::SListIndexError, {Index});
  auto it = FEntries.find(reinterpret_cast<TEntry*>(slot));
  return it == FEntries.end() ? nullptr : it->first;
}

TskCheckListBox::TEntry* TskCheckListBox::GetEntry(int Index)
{
  if (TEntry* e = ExtractEntry(Index))
    return e;
  auto entry = std::make_unique<TEntry>();
  TEntry* e = entry.get();
  FEntries.emplace(e, std::move(entry));
  TskListBox::SetItemData(Index, reinterpret_cast<LPARAM>(e));
  return e;
}

void TskCheckListBox::FreeEntry(TEntry* Entry)
{
  if (Entry)
    FEntries.erase(Entry);
}

LPARAM TskCheckListBox::GetItemData(int Index)
{
  const LPARAM slot = SlotOf(Index);
  if (slot == LB_ERR)
    return LB_ERR;
  auto it = FEntries.find(reinterpret_cast<TEntry*>(slot));
  return it == FEntries.end() ? 0 : it->first->Data;
}

void TskCheckListBox::SetItemData(int Index, LPARAM AData)
{
  // An entry made while the list had no window comes back as the slot's value when the window
  // is made: it goes back into the slot as it is.
  if (FEntries.count(reinterpret_cast<TEntry*>(AData))) {
    TskListBox::SetItemData(Index, AData);
    return;
  }
  if (SlotOf(Index) == LB_ERR)
    return;
  TEntry* e = GetEntry(Index);
  e->Data = AData;
  if (FSavedStates && FSavedNext < FSavedStates->size()) {
    const std::uint32_t packed = (*FSavedStates)[FSavedNext++];
    e->State = static_cast<TCheckBoxState>(packed >> 16);
    e->Disabled = (packed & 0xFF) != 0;
  }
}

void TskCheckListBox::ResetContent()
{
  FEntries.clear();
  TskListBox::ResetContent();
}

void TskCheckListBox::DeleteString(int Index)
{
  const LPARAM slot = SlotOf(Index);
  if (slot != LB_ERR)
    FreeEntry(ExtractEntry(Index));
  TskListBox::DeleteString(Index);
}

void TskCheckListBox::DestroyWnd()
{
  if (HandleAllocated() && GetCount() > 0) {
    FSavedStates = std::make_unique<std::vector<std::uint32_t>>();
    FSavedNext = 0;
    for (int i = 0; i < GetCount(); ++i)
      FSavedStates->push_back((static_cast<std::uint32_t>(GetState(i)) << 16) | (GetItemEnabled(i) ? 0u : 1u));
  }
  TskListBox::DestroyWnd();
}

void TskCheckListBox::CreateWnd()
{
  TskListBox::CreateWnd();
  FSavedStates.reset();
  FSavedNext = 0;
}

bool TskCheckListBox::GetChecked(int Index)
{
  TEntry* e = ExtractEntry(Index);
  return e && e->State == cbChecked;
}

void TskCheckListBox::SetChecked(int Index, bool Value)
{
  if (Value == GetChecked(Index))
    return;
  GetEntry(Index)->State = Value ? cbChecked : cbUnchecked;
  InvalidateCheck(Index);
}

TCheckBoxState TskCheckListBox::GetState(int Index)
{
  TEntry* e = ExtractEntry(Index);
  return e ? e->State : cbUnchecked;
}

void TskCheckListBox::SetState(int Index, TCheckBoxState Value)
{
  if (Value == GetState(Index))
    return;
  GetEntry(Index)->State = Value;
  InvalidateCheck(Index);
}

bool TskCheckListBox::GetItemEnabled(int Index)
{
  TEntry* e = ExtractEntry(Index);
  return !e || !e->Disabled;
}

void TskCheckListBox::ToggleClickCheck(int Index)
{
  if (Index < 0 || Index >= GetCount() || !GetItemEnabled(Index))
    return;
  TCheckBoxState next = cbChecked;
  switch (GetState(Index)) {
  case cbUnchecked: next = FAllowGrayed ? cbGrayed : cbChecked; break;
  case cbChecked: next = cbUnchecked; break;
  case cbGrayed: next = cbChecked; break;
  }
  SetState(Index, next);
  if (OnClickCheck) {
    TNotifyEvent handler = OnClickCheck;
    handler(this);
  }
}

void TskCheckListBox::InvalidateCheck(int Index)
{
  if (!HandleAllocated())
    return;
  const TRect r = ItemRect(Index);
  InvalidateRect(GetHandle(), &r, (GetControlStyle() & csOpaque) == 0);
  UpdateWindow(GetHandle());
}

void TskCheckListBox::ListWndProc(TMessage& Message)
{
  if (Message.Msg == WM_DESTROY)
    FEntries.clear();
  TskListBox::ListWndProc(Message);
}

bool TskCheckListBox::InCheckArea(const TRect& R, int X, int Y)
{
  if (!FOwnerListBox)
    return false;
  const TskListBoxLook& look = FOwnerListBox->GetLook();
  const int dx = RectWidth(R) - RectWidth(look.ItemRect);
  TRect ca = look.ItemCheckRect;
  if (ca.left >= look.ItemTextRect.right)
    OffsetRect(&ca, dx, 0);
  OffsetRect(&ca, R.left, R.top);
  if (!FOwnerListBox->GetUseSkinItemHeight())
    ca.bottom += RectHeight(R) - RectHeight(look.ItemRect);
  return PtInRect(&ca, Point(X, Y)) != 0;
}

void TskCheckListBox::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y)
{
  TListBox::MouseDown(Button, Shift, X, Y);
  const int index = ItemAtPos(Point(X, Y), true);
  if (index != -1 && GetItemEnabled(index)) {
    const TRect r = ItemRect(index);
    const bool inArea = !Skinned() ? X - r.left < DefaultCheckColumn : InCheckArea(r, X, Y);
    if (inArea)
      ToggleClickCheck(index);
  }
  if (FOwnerListBox)
    FOwnerListBox->ListBoxMouseDown(Button, Shift, X, Y);
}

void TskCheckListBox::KeyPress(char& Key)
{
  TListBox::KeyPress(Key);
  if (Key == ' ')
    ToggleClickCheck(GetItemIndex());
  if (FOwnerListBox)
    FOwnerListBox->ListBoxKeyPress(Key);
}

// --- painting --------------------------------------------------------------------------------

void TskCheckListBox::DrawItemLook(TCanvas* Canvas, int Index, TOwnerDrawState State, const TRect& R)
{
  if (!Skinned())
    DrawDefaultCheckItem(Canvas, Index, State, R);
  else
    DrawSkinCheckItem(Canvas, Index, State, R, !FOwnerListBox->GetUseSkinItemHeight());
}

void TskCheckListBox::DrawCheckContent(TCanvas* Canvas, int Index, TRect TR)
{
  if (TCustomImageList* images = FOwnerListBox ? FOwnerListBox->GetImages() : nullptr) {
    const int imageIndex = FOwnerListBox->GetImageIndex() >= 0 ? FOwnerListBox->GetImageIndex() : Index;
    if (imageIndex < images->GetCount())
      images->Draw(Canvas, TR.left, TR.top + RectHeight(TR) / 2 - images->GetHeight() / 2, imageIndex, true);
    TR.left += images->GetWidth() + 2;
  }
  Canvas->GetBrush()->SetStyle(bsClear);
  const String text = GetItems()->Get(Index);
  TStrings* tabs = FOwnerListBox ? FOwnerListBox->GetTabWidths() : nullptr;
  if (tabs && tabs->GetCount() > 0 && GetColumns() == 0)
    DrawTabbedText(text, tabs, Canvas, TR, 0);
  else
    DrawSingleLineText(Canvas, text, TR);
}

void TskCheckListBox::DrawDefaultCheckItem(TCanvas* Canvas, int Index, TOwnerDrawState State, const TRect& R)
{
  const int w = RectWidth(R), h = RectHeight(R);
  if (Index < 0 || Index > GetCount() - 1 || w <= 0 || h <= 0)
    return;
  TBitmap b;
  b.SetSize(w, h);
  TCanvas* c = b.GetCanvas();
  SetDefaultItemFont(c);
  const bool selected = (State & odSelected) != 0;
  // The check column takes the background of an unselected item.
  c->GetBrush()->SetStyle(bsSolid);
  c->GetBrush()->SetColor(clWindow);
  c->FillRect(Rect(0, 0, DefaultCheckColumn, h));
  const TRect area = Rect(DefaultCheckColumn, 0, w, h);
  c->GetBrush()->SetColor(selected ? clHighlight : clWindow);
  c->GetFont()->SetColor(selected ? clHighlightText : FOwnerListBox ? FOwnerListBox->GetFont()->GetColor()
                                                                    : GetFont()->GetColor());
  c->FillRect(area);
  c->GetBrush()->SetColor(clBtnShadow);
  c->FrameRect(Rect(3, h / 2 - 6, 16, h / 2 + 7));
  const TCheckBoxState state = GetState(Index);
  if (state == cbChecked)
    DrawCheckGlyph(c, 6, h / 2 - 4, clWindowText);
  else if (state == cbGrayed)
    DrawCheckGlyph(c, 6, h / 2 - 4, clGrayText);
  const TRect tr = Rect(22, 0, w - 2, h);
  if (FOwnerListBox && FOwnerListBox->OnDrawItem)
    FOwnerListBox->OnDrawItem(c, Index, w, h, tr, State);
  else
    DrawCheckContent(c, Index, tr);
  if (State & odFocused)
    DrawDottedFocusRect(c, area);
  Canvas->Draw(R.left, R.top, &b);
}

void TskCheckListBox::DrawCheckImage(TCanvas* Canvas, TCheckBoxState State, const TRect& CA)
{
  const TskListBoxLook& look = FOwnerListBox->GetLook();
  TBitmap* picture = FOwnerListBox->Picture;
  const bool grayed = State == cbGrayed && FAllowGrayed;
  const TRect source = State == cbChecked || grayed ? look.CheckImageRect : look.UnCheckImageRect;
  const int iw = RectWidth(source), ih = RectHeight(source);
  if (iw <= 0 || ih <= 0)
    return;
  TBitmap piece;
  piece.SetSize(iw, ih);
  piece.GetCanvas()->CopyRect(Rect(0, 0, iw, ih), picture->GetCanvas(), source);
  if (grayed) {
    std::unique_ptr<TskEffectBmp> effect = TskEffectBmp::CreateFromBitmap(piece.GetHandle());
    effect->ChangeBrightness(0.5);
    effect->Draw(piece.GetCanvas()->GetHandle(), 0, 0);
  }
  piece.SetTransparent(true);
  const int cw = RectWidth(look.CheckImageRect), ch = RectHeight(look.CheckImageRect);
  Canvas->Draw(CA.left + RectWidth(CA) / 2 - cw / 2, CA.top + RectHeight(CA) / 2 - ch / 2, &piece);
}

void TskCheckListBox::DrawSkinCheckItem(TCanvas* Canvas, int Index, TOwnerDrawState State, const TRect& R, bool Stretch)
{
  TBitmap* picture = FOwnerListBox->Picture;
  const TskListBoxLook& look = FOwnerListBox->GetLook();
  const int w = RectWidth(R);
  const int h = Stretch ? RectHeight(R) : RectHeight(look.ItemRect);
  if (!picture || Index < 0 || Index > GetCount() - 1 || w <= 0 || h <= 0 || RectWidth(look.ItemRect) <= 0 ||
      RectHeight(look.ItemRect) <= 0)
    return;
  const bool focused = (State & odFocused) != 0, selected = (State & odSelected) != 0;
  TBitmap b;
  if (Stretch) {
    b.SetSize(w, h);
    TRect cr = look.ItemTextRect;
    InflateRect(&cr, -1, -1);
    BuildSkinBitmap(&b, picture, focused ? look.FocusItemRect : selected ? look.ActiveItemRect : look.ItemRect, cr, true);
  } else if (focused && !selected) {
    BuildHorzSkinBitmap(look.ItemLeftOffset, look.ItemRightOffset, &b, picture, look.ItemRect, w, h,
                        FOwnerListBox->StretchEffect);
    TCanvas fresh;
    b.GetCanvas()->GetFont()->SetColor(fresh.GetFont()->GetColor());
    DrawDottedFocusRect(b.GetCanvas(), Rect(0, 0, w, h));
  } else {
    const TRect source = focused ? look.FocusItemRect : selected ? look.ActiveItemRect : look.ItemRect;
    BuildHorzSkinBitmap(look.ItemLeftOffset, look.ItemRightOffset, &b, picture, source, w, h,
                        selected && FOwnerListBox->StretchEffect);
  }
  const int dx = w - RectWidth(look.ItemRect), dy = h - RectHeight(look.ItemRect);
  TRect tr = look.ItemTextRect;
  tr.right += dx;
  TRect ca = look.ItemCheckRect;
  if (ca.left >= look.ItemTextRect.right)
    OffsetRect(&ca, dx, 0);
  if (Stretch) {
    tr.bottom += dy;
    ca.bottom += dy;
  }
  TCanvas* c = b.GetCanvas();
  DrawCheckImage(c, GetState(Index), ca);
  SetSkinItemFont(c, State);
  if (FOwnerListBox->OnDrawItem) {
    FOwnerListBox->OnDrawItem(c, Index, w, h, tr, State);
  } else {
    if (focused && look.ShowFocus)
      DrawDottedFocusRect(c, Rect(0, 0, w, h));
    DrawCheckContent(c, Index, tr);
  }
  Canvas->Draw(R.left, R.top, &b);
}

// ---------------------------------------------------------------------------------------------
// TskSkinCheckListBox

TskSkinCheckListBox::TskSkinCheckListBox(TComponent* AOwner) : TskSkinListFrame(AOwner)
{
  AttachListBox(new TskCheckListBox(this));
  SetSkinDataName("checklistbox");
}

void TskSkinCheckListBox::SetOnClickCheck(TNotifyEvent Value)
{
  FOnClickCheck = Value;
  GetCheckListBox()->OnClickCheck = Value;
}

void TskSkinCheckListBox::Clear() { FListBox->Clear(); }

bool TskSkinCheckListBox::CopyListRecord(TskDataSkinControl* Record)
{
  auto* r = dynamic_cast<TskDataSkinCheckListBox*>(Record);
  if (!r || !TskSkinListFrame::CopyListRecord(Record))
    return false;
  FLook.UnCheckImageRect = r->uncheckimagerect;
  FLook.CheckImageRect = r->checkimagerect;
  FLook.ItemCheckRect = r->itemcheckrect;
  return true;
}

void TskSkinCheckListBox::CheckButtonAction()
{
  TskCheckListBox* list = GetCheckListBox();
  const int index = GetItemIndex();
  if (index < 0 || !list->GetItemEnabled(index))
    return;
  if (GetAllowGrayed()) {
    list->ToggleClickCheck(index);
    return;
  }
  list->SetChecked(index, !list->GetChecked(index));
  if (FOnClickCheck) {
    TNotifyEvent handler = FOnClickCheck;
    handler(this);
  }
}
