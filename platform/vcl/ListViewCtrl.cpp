#include "platform/vcl/ListViewCtrl.h"

#include <algorithm>

#include "platform/rtl/RtlConsts.h"
#include "platform/rtl/StrUtils.h"

// ---------------------------------------------------------------------------------------------
// TListColumn / TListColumns

void TListColumn::SetCaption(const String& Value) {
  FCaption = Value;
  FOwner->FOwner->UpdateColumn(GetIndex());
}

int TListColumn::GetWidth() const {
  TCustomListView* L = FOwner->FOwner;
  if (L->WindowIfAny() && L->FViewStyle == vsReport) {
    int W = static_cast<int>(SendMessageA(L->WindowIfAny(), LVM_GETCOLUMNWIDTH, static_cast<WPARAM>(GetIndex()), 0));
    if (W >= 0) return W;
  }
  return FWidth;
}

void TListColumn::SetWidth(int Value) {
  FWidth = std::max(0, Value);
  FOwner->FOwner->UpdateColumn(GetIndex());
}

void TListColumn::SetAlignment(TAlignment Value) {
  FAlignment = Value;
  FOwner->FOwner->UpdateColumn(GetIndex());
}

void TListColumn::SetImageIndex(int Value) {
  FImageIndex = Value;
  FOwner->FOwner->UpdateColumn(GetIndex());
}

int TListColumn::GetIndex() const {
  for (size_t I = 0; I < FOwner->FItems.size(); ++I)
    if (FOwner->FItems[I].get() == this) return static_cast<int>(I);
  return -1;
}

void TListColumn::Assign(TPersistent* Source) {
  auto* C = dynamic_cast<TListColumn*>(Source);
  if (!C) {
    TPersistent::Assign(Source);
    return;
  }
  FCaption = C->FCaption;
  FWidth = C->GetWidth();
  FAlignment = C->FAlignment;
  FImageIndex = C->FImageIndex;
  FOwner->FOwner->UpdateColumn(GetIndex());
}

TListColumn* TListColumns::Add() {
  FItems.push_back(std::unique_ptr<TListColumn>(new TListColumn(this)));
  if (FUpdateCount == 0) FOwner->RebuildColumns();
  return FItems.back().get();
}

void TListColumns::Delete(int Index) {
  if (Index < 0 || Index >= GetCount()) throw EListError(RtlConsts::SListIndexError, {Index});
  FItems.erase(FItems.begin() + Index);
  if (FUpdateCount == 0) FOwner->RebuildColumns();
}

void TListColumns::Clear() {
  FItems.clear();
  if (FUpdateCount == 0) FOwner->RebuildColumns();
}

TListColumn* TListColumns::GetItem(int Index) const {
  if (Index < 0 || Index >= GetCount()) throw EListError(RtlConsts::SListIndexError, {Index});
  return FItems[static_cast<size_t>(Index)].get();
}

void TListColumns::EndUpdate() {
  if (FUpdateCount > 0 && --FUpdateCount == 0) FOwner->RebuildColumns();
}

// ---------------------------------------------------------------------------------------------
// TListItem

TListItem::TListItem(TListItems* AOwner) : FOwner(AOwner), FSubItems(std::make_unique<TStringList>()) {
  FSubItems->OnChange = [this](TObject*) { Update(); };
}

TListItem::~TListItem() { FSubItems->OnChange = nullptr; }

TCustomListView* TListItem::GetListView() const { return FOwner->FOwner; }

// The owner-data stand-in is filled while the window asks for a row: filling it changes no row.
void TListItem::SetCaption(const String& Value) {
  FCaption = Value;
  if (this == FOwner->FTemp.get()) return;
  Update();
  GetListView()->Change(this, ctText);
}

void TListItem::SetImageIndex(int Value) {
  FImageIndex = Value;
  if (this == FOwner->FTemp.get()) return;
  Update();
  GetListView()->Change(this, ctImage);
}

void TListItem::Update() {
  if (this == FOwner->FTemp.get()) return;
  HWND W = GetListView()->WindowIfAny();
  if (W && FIndex >= 0) SendMessageA(W, LVM_UPDATE, static_cast<WPARAM>(FIndex), 0);
}

void TListItem::SetState(UINT State, UINT Mask, bool On) {
  HWND W = GetListView()->WindowIfAny();
  if (!W || FIndex < 0) {
    FSavedState = On ? (FSavedState | State) : (FSavedState & ~State);
    return;
  }
  LVITEMA Item;
  Item.stateMask = Mask;
  Item.state = On ? State : 0;
  SendMessageA(W, LVM_SETITEMSTATE, static_cast<WPARAM>(FIndex), reinterpret_cast<LPARAM>(&Item));
}

bool TListItem::GetSelected() const {
  HWND W = GetListView()->WindowIfAny();
  if (!W || FIndex < 0) return (FSavedState & LVIS_SELECTED) != 0;
  return SendMessageA(W, LVM_GETITEMSTATE, static_cast<WPARAM>(FIndex), LVIS_SELECTED) != 0;
}

void TListItem::SetSelected(bool Value) { SetState(LVIS_SELECTED, LVIS_SELECTED, Value); }

bool TListItem::GetFocused() const {
  HWND W = GetListView()->WindowIfAny();
  if (!W || FIndex < 0) return (FSavedState & LVIS_FOCUSED) != 0;
  return SendMessageA(W, LVM_GETITEMSTATE, static_cast<WPARAM>(FIndex), LVIS_FOCUSED) != 0;
}

void TListItem::SetFocused(bool Value) { SetState(LVIS_FOCUSED, LVIS_FOCUSED, Value); }

TRect TListItem::DisplayRect(TDisplayCode Code) const {
  TRect R{};
  HWND W = GetListView()->WindowIfAny();
  if (!W || FIndex < 0) return R;
  R.left = static_cast<int>(Code);
  if (!SendMessageA(W, LVM_GETITEMRECT, static_cast<WPARAM>(FIndex), reinterpret_cast<LPARAM>(&R))) R = TRect{};
  return R;
}

void TListItem::MakeVisible(bool PartialOK) {
  HWND W = GetListView()->WindowIfAny();
  if (W && FIndex >= 0) SendMessageA(W, LVM_ENSUREVISIBLE, static_cast<WPARAM>(FIndex), PartialOK ? 1 : 0);
}

bool TListItem::EditCaption() {
  TCustomListView* L = GetListView();
  if (FIndex < 0 || !L->EnsureHandle()) return false;
  return SendMessageA(L->WindowIfAny(), LVM_EDITLABELA, static_cast<WPARAM>(FIndex), 0) != 0;
}

void TListItem::CancelEdit() {
  HWND W = GetListView()->WindowIfAny();
  if (!W || FIndex < 0 || !SendMessageA(W, LVM_GETEDITCONTROL, 0, 0)) return;
  if (SendMessageA(W, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_FOCUSED) == FIndex)
    SendMessageA(W, LVM_CANCELEDITLABEL, 0, 0);
}

void TListItem::Delete() {
  if (FIndex >= 0 && !GetListView()->FOwnerData) FOwner->Delete(FIndex);
}

void TListItem::Assign(TPersistent* Source) {
  auto* I = dynamic_cast<TListItem*>(Source);
  if (!I) {
    TPersistent::Assign(Source);
    return;
  }
  FCaption = I->FCaption;
  FImageIndex = I->FImageIndex;
  FData = I->FData;
  FSubItems->Assign(I->FSubItems.get());
}

// ---------------------------------------------------------------------------------------------
// TListItems

TListItems::TListItems(TCustomListView* AOwner) : FOwner(AOwner), FTemp(new TListItem(this)) {}

TListItems::~TListItems() {
  for (TListItem* I : FItems) delete I;
}

void TListItems::Reindex(size_t From) {
  for (size_t I = From; I < FItems.size(); ++I) FItems[I]->FIndex = static_cast<int>(I);
}

TListItem* TListItems::Add() { return Insert(GetCount()); }

TListItem* TListItems::Insert(int Index) {
  if (FOwner->FOwnerData) return nullptr;
  Index = std::max(0, std::min(Index, GetCount()));
  auto* Item = new TListItem(this);
  FItems.insert(FItems.begin() + Index, Item);
  Reindex(static_cast<size_t>(Index));
  FOwner->InsertNativeItem(Item);
  FOwner->InsertItem(Item);
  return Item;
}

void TListItems::Delete(int Index) {
  if (FOwner->FOwnerData) return;
  if (Index < 0 || Index >= GetCount()) throw EListError(RtlConsts::SListIndexError, {Index});
  TListItem* Item = FItems[static_cast<size_t>(Index)];
  FOwner->Delete(Item);
  FItems.erase(FItems.begin() + Index);
  if (FOwner->WindowIfAny()) SendMessageA(FOwner->WindowIfAny(), LVM_DELETEITEM, static_cast<WPARAM>(Index), 0);
  Reindex(static_cast<size_t>(Index));
  delete Item;
}

void TListItems::Clear() {
  if (FOwner->FOwnerData) {
    SetCount(0);
    return;
  }
  BeginUpdate();
  for (TListItem* I : FItems) FOwner->Delete(I);
  if (FOwner->WindowIfAny()) SendMessageA(FOwner->WindowIfAny(), LVM_DELETEALLITEMS, 0, 0);
  for (TListItem* I : FItems) delete I;
  FItems.clear();
  EndUpdate();
}

int TListItems::GetCount() const {
  return FOwner->FOwnerData ? FOwnerCount : static_cast<int>(FItems.size());
}

void TListItems::SetCount(int Value) {
  if (!FOwner->FOwnerData) return;
  FOwnerCount = std::max(0, Value);
  if (FOwner->WindowIfAny()) SendMessageA(FOwner->WindowIfAny(), LVM_SETITEMCOUNT, static_cast<WPARAM>(FOwnerCount), 0);
}

TListItem* TListItems::GetItem(int Index) const {
  if (Index < 0 || Index >= GetCount()) throw EListError(RtlConsts::SListIndexError, {Index});
  if (!FOwner->FOwnerData) return FItems[static_cast<size_t>(Index)];
  TListItem* T = FTemp.get();
  T->FIndex = Index;
  T->FCaption.clear();
  T->FSubItems->OnChange = nullptr;
  T->FSubItems->Clear();
  T->FImageIndex = -1;
  T->FData = nullptr;
  FOwner->OwnerDataFetch(T, irText | irImage | irParam | irState);
  return T;
}

int TListItems::IndexOf(TListItem* Value) const {
  if (Value && FOwner->FOwnerData) return Value->FIndex;
  auto It = std::find(FItems.begin(), FItems.end(), Value);
  return It == FItems.end() ? -1 : static_cast<int>(It - FItems.begin());
}

void TListItems::BeginUpdate() {
  if (FUpdateCount++ == 0 && FOwner->WindowIfAny()) SendMessageA(FOwner->WindowIfAny(), WM_SETREDRAW, FALSE, 0);
}

void TListItems::EndUpdate() {
  if (FUpdateCount == 0) return;
  if (--FUpdateCount == 0 && FOwner->WindowIfAny()) {
    SendMessageA(FOwner->WindowIfAny(), WM_SETREDRAW, TRUE, 0);
    InvalidateRect(FOwner->WindowIfAny(), nullptr, TRUE);
  }
}

// ---------------------------------------------------------------------------------------------
// TCustomListView

TCustomListView::TCustomListView(TComponent* AOwner)
    : TWinControl(AOwner), FItems(std::make_unique<TListItems>(this)), FColumns(std::make_unique<TListColumns>(this)) {
  FControlStyle = csCaptureMouse | csClickEvents | csDoubleClicks;
  FWidth = 250;
  FHeight = 150;
  SetTabStop(true);
  SetParentColor(false);
  SetColor(clWindow);
  FCanvas = std::make_unique<TControlCanvas>();
  FCanvas->SetControl(this);
}

TCustomListView::~TCustomListView() {
  // The window goes first, while the canvas still exists: giving the window back frees the
  // canvas's DC of it (DestroyWnd), so the canvas must outlive the window.
  FRecreating = true;
  if (HandleAllocated()) DestroyHandle();
  SetParent(nullptr);
  FCanvas.reset();
  FItems.reset();
  FColumns.reset();
}

bool TCustomListView::EnsureHandle() {
  if (!HandleAllocated() && (GetParent() || GetParentWindow()) && !(FControlState & csDestroyingHandle)) HandleNeeded();
  return HandleAllocated();
}

void TCustomListView::CreateParams(TCreateParams& Params) {
  RegisterListViewClass();
  TWinControl::CreateParams(Params);
  CreateSubClass(Params, WC_LISTVIEWA);
  static constexpr DWORD Views[] = {LVS_ICON, LVS_SMALLICON, LVS_LIST, LVS_REPORT};
  Params.Style |= Views[FViewStyle] | LVS_SHAREIMAGELISTS;
  if (!FMultiSelect) Params.Style |= LVS_SINGLESEL;
  if (!FHideSelection) Params.Style |= LVS_SHOWSELALWAYS;
  if (!FReadOnly) Params.Style |= LVS_EDITLABELS;
  if (!FShowColumnHeaders) Params.Style |= LVS_NOCOLUMNHEADER;
  if (!FColumnClick) Params.Style |= LVS_NOSORTHEADER;
  if (FOwnerData) Params.Style |= LVS_OWNERDATA;
  if (FBorderStyle == bsSingle) Params.ExStyle |= WS_EX_CLIENTEDGE;
  Params.WindowClass.style &= ~(CS_HREDRAW | CS_VREDRAW);
}

void TCustomListView::InsertNativeItem(TListItem* Item) {
  if (!FHandle || FOwnerData) return;
  LVITEMA L;
  L.mask = LVIF_TEXT | LVIF_IMAGE | LVIF_PARAM | LVIF_STATE;
  L.iItem = Item->FIndex;
  L.pszText = LPSTR_TEXTCALLBACKA;
  L.iImage = I_IMAGECALLBACK;
  L.lParam = reinterpret_cast<LPARAM>(Item);
  L.state = Item->FSavedState;
  L.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
  SendMessageA(FHandle, LVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&L));
}

void TCustomListView::UpdateColumn(int Index) {
  if (!FHandle || Index < 0) return;
  TListColumn* C = FColumns->GetItem(Index);
  static constexpr int Formats[] = {LVCFMT_LEFT, LVCFMT_RIGHT, LVCFMT_CENTER};
  LVCOLUMNA L;
  L.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_FMT | (C->FImageIndex >= 0 ? LVCF_IMAGE : 0);
  L.pszText = C->FCaption.data();
  L.cx = C->FWidth;
  L.fmt = Formats[C->FAlignment];
  L.iImage = C->FImageIndex;
  SendMessageA(FHandle, LVM_SETCOLUMNA, static_cast<WPARAM>(Index), reinterpret_cast<LPARAM>(&L));
}

void TCustomListView::RebuildColumns() {
  if (!FHandle) return;
  auto Header = reinterpret_cast<HWND>(SendMessageA(FHandle, LVM_GETHEADER, 0, 0));
  while (Header && SendMessageA(Header, HDM_GETITEMCOUNT, 0, 0) > 0) SendMessageA(FHandle, LVM_DELETECOLUMN, 0, 0);
  static constexpr int Formats[] = {LVCFMT_LEFT, LVCFMT_RIGHT, LVCFMT_CENTER};
  for (int I = 0; I < FColumns->GetCount(); ++I) {
    TListColumn* C = FColumns->GetItem(I);
    LVCOLUMNA L;
    L.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_FMT | (C->FImageIndex >= 0 ? LVCF_IMAGE : 0);
    L.pszText = C->FCaption.data();
    L.cx = C->FWidth;
    L.fmt = Formats[C->FAlignment];
    L.iImage = C->FImageIndex;
    SendMessageA(FHandle, LVM_INSERTCOLUMNA, static_cast<WPARAM>(I), reinterpret_cast<LPARAM>(&L));
  }
}

void TCustomListView::CreateWnd() {
  TWinControl::CreateWnd();
  FRecreating = true;
  SendMessageA(FHandle, LVM_SETIMAGELIST, LVSIL_NORMAL, reinterpret_cast<LPARAM>(FLargeImages));
  SendMessageA(FHandle, LVM_SETIMAGELIST, LVSIL_SMALL, reinterpret_cast<LPARAM>(FSmallImages));
  RebuildColumns();
  if (FOwnerData)
    SendMessageA(FHandle, LVM_SETITEMCOUNT, static_cast<WPARAM>(FItems->FOwnerCount), 0);
  else
    for (TListItem* I : FItems->FItems) InsertNativeItem(I);
  UpdateExStyles();
  ApplyColors();
  FRecreating = false;
}

void TCustomListView::DestroyWnd() {
  FCanvas->FreeHandle();
  bool Was = FRecreating;
  FRecreating = true;
  if (FHandle) {
    for (TListItem* I : FItems->FItems)
      I->FSavedState = static_cast<UINT>(
          SendMessageA(FHandle, LVM_GETITEMSTATE, static_cast<WPARAM>(I->FIndex), LVIS_SELECTED | LVIS_FOCUSED));
    for (auto& C : FColumns->FItems) C->FWidth = C->GetWidth();
  }
  TWinControl::DestroyWnd();
  FRecreating = Was;
}

void TCustomListView::SetStyleBits(DWORD Mask, DWORD Bits) {
  if (!FHandle) return;
  LONG Style = GetWindowLongA(FHandle, GWL_STYLE);
  SetWindowLongA(FHandle, GWL_STYLE, static_cast<LONG>((static_cast<DWORD>(Style) & ~Mask) | Bits));
  SendMessageA(FHandle, LVM_UPDATE, 0, 0);
}

void TCustomListView::SetViewStyle(TViewStyle Value) {
  if (FViewStyle == Value) return;
  FViewStyle = Value;
  static constexpr DWORD Views[] = {LVS_ICON, LVS_SMALLICON, LVS_LIST, LVS_REPORT};
  SetStyleBits(LVS_TYPEMASK, Views[Value]);
  if (FHandle) SendMessageA(FHandle, WM_STYLECHANGED, static_cast<WPARAM>(GWL_STYLE), 0);
}

void TCustomListView::SetOwnerData(bool Value) {
  if (FOwnerData == Value) return;
  FItems->Clear();
  FOwnerData = Value;
  if (FHandle) RecreateWnd();
}

void TCustomListView::SetMultiSelect(bool Value) {
  FMultiSelect = Value;
  SetStyleBits(LVS_SINGLESEL, Value ? 0 : LVS_SINGLESEL);
}

void TCustomListView::SetReadOnly(bool Value) {
  FReadOnly = Value;
  SetStyleBits(LVS_EDITLABELS, Value ? 0 : LVS_EDITLABELS);
}

void TCustomListView::SetHideSelection(bool Value) {
  FHideSelection = Value;
  SetStyleBits(LVS_SHOWSELALWAYS, Value ? 0 : LVS_SHOWSELALWAYS);
}

void TCustomListView::SetShowColumnHeaders(bool Value) {
  FShowColumnHeaders = Value;
  SetStyleBits(LVS_NOCOLUMNHEADER, Value ? 0 : LVS_NOCOLUMNHEADER);
  if (FHandle) SendMessageA(FHandle, WM_STYLECHANGED, static_cast<WPARAM>(GWL_STYLE), 0);
}

void TCustomListView::SetColumnClick(bool Value) {
  FColumnClick = Value;
  SetStyleBits(LVS_NOSORTHEADER, Value ? 0 : LVS_NOSORTHEADER);
}

void TCustomListView::SetRowSelect(bool Value) {
  FRowSelect = Value;
  UpdateExStyles();
}

void TCustomListView::SetFullDrag(bool Value) {
  FFullDrag = Value;
  UpdateExStyles();
}

void TCustomListView::SetGridLines(bool Value) {
  FGridLines = Value;
  UpdateExStyles();
}

void TCustomListView::SetHotTrack(bool Value) {
  FHotTrack = Value;
  UpdateExStyles();
}

void TCustomListView::UpdateExStyles() {
  if (!FHandle) return;
  constexpr DWORD Mask = LVS_EX_FULLROWSELECT | LVS_EX_HEADERDRAGDROP | LVS_EX_GRIDLINES | LVS_EX_TRACKSELECT;
  DWORD Styles = (FRowSelect ? LVS_EX_FULLROWSELECT : 0) | (FFullDrag ? LVS_EX_HEADERDRAGDROP : 0) |
                 (FGridLines ? LVS_EX_GRIDLINES : 0) | (FHotTrack ? LVS_EX_TRACKSELECT : 0);
  SendMessageA(FHandle, LVM_SETEXTENDEDLISTVIEWSTYLE, Mask, static_cast<LPARAM>(Styles));
}

void TCustomListView::ApplyColors() {
  if (!FHandle) return;
  COLORREF Back = ColorToRGB(GetColor());
  SendMessageA(FHandle, LVM_SETBKCOLOR, 0, static_cast<LPARAM>(Back));
  SendMessageA(FHandle, LVM_SETTEXTBKCOLOR, 0, static_cast<LPARAM>(Back));
  SendMessageA(FHandle, LVM_SETTEXTCOLOR, 0, static_cast<LPARAM>(ColorToRGB(GetFont()->GetColor())));
}

void TCustomListView::CMColorChanged(TMessage& Message) {
  TWinControl::CMColorChanged(Message);
  ApplyColors();
}

void TCustomListView::CMFontChanged(TMessage& Message) {
  TWinControl::CMFontChanged(Message);
  ApplyColors();
}

bool TCustomListView::IsEditing() const { return FHandle && SendMessageA(FHandle, LVM_GETEDITCONTROL, 0, 0) != 0; }

bool TCustomListView::CanEdit(TListItem* Item) {
  bool Allow = true;
  if (OnEditing) OnEditing(this, Item, Allow);
  return Allow;
}

void TCustomListView::Edit(const TLVItem& Item) {
  TListItem* EditItem = Item.iItem >= 0 && Item.iItem < FItems->GetCount() ? FItems->GetItem(Item.iItem) : nullptr;
  if (!Item.pszText) {
    if (OnCancelEdit) OnCancelEdit(this, EditItem);
    return;
  }
  String S = Item.pszText;
  if (OnEdited) OnEdited(this, EditItem, S);
  if (EditItem && !FOwnerData) EditItem->SetCaption(S);
}

void TCustomListView::KeyDown(Word& Key, TShiftState Shift) {
  TWinControl::KeyDown(Key, Shift);
  if (Key == VK_F2 && Shift == 0 && !FReadOnly && !IsEditing())
    if (TListItem* Item = GetItemFocused()) {
      Item->EditCaption();
      Key = 0;
    }
}

void TCustomListView::SetBorderStyle(TBorderStyle Value) {
  if (FBorderStyle == Value) return;
  FBorderStyle = Value;
  if (FHandle) RecreateWnd();
}

void TCustomListView::SetLargeImages(TCustomImageList* Value) {
  if (FLargeImages) FLargeImages->RemoveFreeNotification(this);
  FLargeImages = Value;
  if (Value) Value->FreeNotification(this);
  if (FHandle) SendMessageA(FHandle, LVM_SETIMAGELIST, LVSIL_NORMAL, reinterpret_cast<LPARAM>(Value));
}

void TCustomListView::SetSmallImages(TCustomImageList* Value) {
  if (FSmallImages) FSmallImages->RemoveFreeNotification(this);
  FSmallImages = Value;
  if (Value) Value->FreeNotification(this);
  if (FHandle) SendMessageA(FHandle, LVM_SETIMAGELIST, LVSIL_SMALL, reinterpret_cast<LPARAM>(Value));
}

void TCustomListView::Notification(TComponent* AComponent, TOperation Operation) {
  TWinControl::Notification(AComponent, Operation);
  if (Operation != opRemove) return;
  if (AComponent == FLargeImages) SetLargeImages(nullptr);
  if (AComponent == FSmallImages) SetSmallImages(nullptr);
}

void TCustomListView::SetSortType(TListSortType Value) {
  if (FSortType == Value) return;
  FSortType = Value;
  if (Value != lstNone) AlphaSort();
}

TListItem* TCustomListView::GetSelected() {
  if (!FHandle) {
    for (TListItem* I : FItems->FItems)
      if (I->FSavedState & LVIS_SELECTED) return I;
    return nullptr;
  }
  int I = static_cast<int>(SendMessageA(FHandle, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED));
  return I >= 0 ? FItems->GetItem(I) : nullptr;
}

void TCustomListView::SetSelected(TListItem* Value) {
  ClearSelection();
  if (Value) {
    Value->SetSelected(true);
    Value->SetFocused(true);
  }
}

TListItem* TCustomListView::GetItemFocused() {
  if (!FHandle) return nullptr;
  int I = static_cast<int>(SendMessageA(FHandle, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_FOCUSED));
  return I >= 0 ? FItems->GetItem(I) : nullptr;
}

void TCustomListView::SetItemFocused(TListItem* Value) {
  if (Value) Value->SetFocused(true);
}

int TCustomListView::GetItemIndex() {
  TListItem* S = GetSelected();
  return S ? S->FIndex : -1;
}

void TCustomListView::SetItemIndex(int Value) {
  if (Value < 0 || Value >= FItems->GetCount())
    ClearSelection();
  else
    SetSelected(FItems->GetItem(Value));
}

int TCustomListView::GetSelCount() {
  if (!FHandle) {
    int N = 0;
    for (TListItem* I : FItems->FItems) N += (I->FSavedState & LVIS_SELECTED) ? 1 : 0;
    return N;
  }
  return static_cast<int>(SendMessageA(FHandle, LVM_GETSELECTEDCOUNT, 0, 0));
}

TListItem* TCustomListView::GetTopItem() {
  if (!EnsureHandle() || FItems->GetCount() == 0) return nullptr;
  int I = static_cast<int>(SendMessageA(FHandle, LVM_GETTOPINDEX, 0, 0));
  return I >= 0 && I < FItems->GetCount() ? FItems->GetItem(I) : nullptr;
}

int TCustomListView::GetVisibleRowCount() {
  return EnsureHandle() ? static_cast<int>(SendMessageA(FHandle, LVM_GETCOUNTPERPAGE, 0, 0)) : 0;
}

void TCustomListView::Scroll(int DX, int DY) {
  if (EnsureHandle()) SendMessageA(FHandle, LVM_SCROLL, static_cast<WPARAM>(DX), DY);
}

TListItem* TCustomListView::GetItemAt(int X, int Y) {
  if (!EnsureHandle()) return nullptr;
  LVHITTESTINFO Info;
  Info.pt = Point(X, Y);
  int I = static_cast<int>(SendMessageA(FHandle, LVM_HITTEST, 0, reinterpret_cast<LPARAM>(&Info)));
  return I >= 0 && (Info.flags & LVHT_ONITEM) ? FItems->GetItem(I) : nullptr;
}

THitTests TCustomListView::GetHitTestInfoAt(int X, int Y) {
  if (!EnsureHandle()) return htNowhere;
  LVHITTESTINFO Info;
  Info.pt = Point(X, Y);
  SendMessageA(FHandle, LVM_HITTEST, 0, reinterpret_cast<LPARAM>(&Info));
  THitTests R = 0;
  if (Info.flags & LVHT_ABOVE) R |= htAbove;
  if (Info.flags & LVHT_BELOW) R |= htBelow;
  if (Info.flags & LVHT_NOWHERE) R |= htNowhere;
  if (Info.flags & LVHT_ONITEMICON) R |= htOnIcon | htOnItem;
  if (Info.flags & LVHT_ONITEMLABEL) R |= htOnLabel | htOnItem;
  if (Info.flags & LVHT_ONITEMSTATEICON) R |= htOnStateIcon;
  if (Info.flags & LVHT_TOLEFT) R |= htToLeft;
  if (Info.flags & LVHT_TORIGHT) R |= htToRight;
  return R;
}

TListItem* TCustomListView::GetNextItem(TListItem* StartItem, TSearchDirection Direction, TItemStates States) {
  if (!EnsureHandle()) return nullptr;
  static constexpr UINT Dirs[] = {LVNI_TOLEFT, LVNI_TORIGHT, LVNI_ABOVE, LVNI_BELOW, LVNI_ALL};
  UINT Flags = Dirs[Direction];
  if (States & isSelected) Flags |= LVNI_SELECTED;
  if (States & isFocused) Flags |= LVNI_FOCUSED;
  int Start = StartItem ? StartItem->FIndex : -1;
  int I = static_cast<int>(SendMessageA(FHandle, LVM_GETNEXTITEM, static_cast<WPARAM>(Start), static_cast<LPARAM>(Flags)));
  return I >= 0 ? FItems->GetItem(I) : nullptr;
}

int TCustomListView::FindNative(const LVFINDINFOA& Info, int Start) {
  if (!EnsureHandle()) return -1;
  return static_cast<int>(SendMessageA(FHandle, LVM_FINDITEMA, static_cast<WPARAM>(Start), reinterpret_cast<LPARAM>(&Info)));
}

TListItem* TCustomListView::FindCaption(int StartIndex, const String& Value, bool Partial, bool Inclusive, bool Wrap) {
  LVFINDINFOA Info;
  Info.flags = LVFI_STRING | (Partial ? LVFI_PARTIAL : 0) | (Wrap ? LVFI_WRAP : 0);
  Info.psz = Value.c_str();
  int I = FindNative(Info, Inclusive ? StartIndex - 1 : StartIndex);
  return I >= 0 && I < FItems->GetCount() ? FItems->GetItem(I) : nullptr;
}

TListItem* TCustomListView::FindData(int StartIndex, void* Value, bool Inclusive, bool Wrap) {
  if (FOwnerData) {
    int I = OwnerDataFind(ifData, String(), TPoint{}, Value, StartIndex, sdAll, Wrap);
    return I >= 0 && I < FItems->GetCount() ? FItems->GetItem(I) : nullptr;
  }
  int N = FItems->GetCount();
  for (int K = 0; K < N; ++K) {
    int I = StartIndex + (Inclusive ? 0 : 1) + K;
    if (I >= N) {
      if (!Wrap) break;
      I %= N;
    }
    if (I >= 0 && FItems->FItems[static_cast<size_t>(I)]->FData == Value) return FItems->FItems[static_cast<size_t>(I)];
  }
  return nullptr;
}

void TCustomListView::ClearSelection() {
  if (!FHandle) {
    for (TListItem* I : FItems->FItems) I->FSavedState &= ~LVIS_SELECTED;
    return;
  }
  LVITEMA L;
  L.stateMask = LVIS_SELECTED;
  SendMessageA(FHandle, LVM_SETITEMSTATE, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(&L));
}

void TCustomListView::SelectAll() {
  if (!FMultiSelect) return;
  if (!FHandle) {
    for (TListItem* I : FItems->FItems) I->FSavedState |= LVIS_SELECTED;
    return;
  }
  LVITEMA L;
  L.stateMask = LVIS_SELECTED;
  L.state = LVIS_SELECTED;
  SendMessageA(FHandle, LVM_SETITEMSTATE, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(&L));
}

namespace {

struct TSortContext {
  TCustomListView* View;
  TLVCompare Proc;
  LPARAM Data;
  const TLVCompareEvent* Event;
};

int DefaultCompare(LPARAM A, LPARAM B, LPARAM Context) {
  auto* C = reinterpret_cast<TSortContext*>(Context);
  auto* I1 = reinterpret_cast<TListItem*>(A);
  auto* I2 = reinterpret_cast<TListItem*>(B);
  if (C->Proc) return C->Proc(A, B, C->Data);
  if (*C->Event) {
    int R = 0;
    (*C->Event)(C->View, I1, I2, static_cast<int>(C->Data), R);
    return R;
  }
  return AnsiCompareText(I1->GetCaption(), I2->GetCaption());
}

}  // namespace

bool TCustomListView::AlphaSort() { return CustomSort(nullptr, 0); }

bool TCustomListView::CustomSort(TLVCompare SortProc, LPARAM Data) {
  if (FOwnerData) return false;
  TSortContext Context{this, SortProc, Data, &OnCompare};
  auto& Items = FItems->FItems;
  std::stable_sort(Items.begin(), Items.end(), [&](TListItem* A, TListItem* B) {
    return DefaultCompare(reinterpret_cast<LPARAM>(A), reinterpret_cast<LPARAM>(B), reinterpret_cast<LPARAM>(&Context)) < 0;
  });
  FItems->Reindex(0);
  if (FHandle)
    SendMessageA(FHandle, LVM_SORTITEMS, 0,
                 reinterpret_cast<LPARAM>(static_cast<PFNLVCOMPARE>([](LPARAM A, LPARAM B, LPARAM) {
                   return reinterpret_cast<TListItem*>(A)->GetIndex() - reinterpret_cast<TListItem*>(B)->GetIndex();
                 })));
  return true;
}

bool TCustomListView::OwnerDataFetch(TListItem* Item, TItemRequest) {
  if (!OnData) return false;
  OnData(this, Item);
  return true;
}

int TCustomListView::OwnerDataFind(TItemFind Find, const String& FindString, const TPoint& FindPosition, void* FindData,
                                   int StartIndex, TSearchDirection Direction, bool Wrap) {
  int Index = -1;
  if (OnDataFind) OnDataFind(this, Find, FindString, FindPosition, FindData, StartIndex, Direction, Wrap, Index);
  return Index;
}

void TCustomListView::ColClick(TListColumn* Column) {
  if (OnColumnClick) OnColumnClick(this, Column);
}

void TCustomListView::Change(TListItem* Item, TItemChange AChange) {
  if (OnChange && !FRecreating) OnChange(this, Item, AChange);
}

void TCustomListView::DoSelectItem(TListItem* Item, bool Selected) {
  if (OnSelectItem) OnSelectItem(this, Item, Selected);
}

void TCustomListView::Delete(TListItem* Item) {
  if (OnDeletion) OnDeletion(this, Item);
}

void TCustomListView::InsertItem(TListItem* Item) {
  if (OnInsert) OnInsert(this, Item);
}

void TCustomListView::WndProc(TMessage& Message) {
  // Keys typed into the caption editor: the list's key events see them, the form's dialog keys
  // (Enter, Escape, Tab) do not, and the editor gets them unless a handler ate them.
  if ((Message.Msg == CN_KEYDOWN || Message.Msg == CN_CHAR) && FHandle && IsEditing() &&
      GetFocus() == reinterpret_cast<HWND>(SendMessageA(FHandle, LVM_GETEDITCONTROL, 0, 0))) {
    bool Eaten = Message.Msg == CN_KEYDOWN ? DoKeyDown(Message) : DoKeyPress(Message);
    Message.Result = Eaten ? 1 : 0;
    return;
  }
  if (Message.Msg == WM_NOTIFY && FHandle && Message.LParam) {
    // The header is the window's own child: its notifications go to the window procedure.
    auto* H = reinterpret_cast<const NMHDR*>(Message.LParam);
    if (H->hwndFrom == reinterpret_cast<HWND>(SendMessageA(FHandle, LVM_GETHEADER, 0, 0))) {
      DefaultHandler(Message);
      return;
    }
  }
  if (Message.Msg == CN_NOTIFY && Message.LParam) {
    auto* H = reinterpret_cast<const NMHDR*>(Message.LParam);
    switch (H->code) {
      case LVN_GETDISPINFOA: {
        auto* D = reinterpret_cast<NMLVDISPINFOA*>(Message.LParam);
        TListItem* Item = nullptr;
        if (FOwnerData) {
          if (D->item.iItem < 0 || D->item.iItem >= FItems->GetCount()) return;
          Item = FItems->GetItem(D->item.iItem);
        } else {
          Item = reinterpret_cast<TListItem*>(D->item.lParam);
        }
        if (!Item) return;
        if ((D->item.mask & LVIF_TEXT) && D->item.pszText && D->item.cchTextMax > 0) {
          String T;
          if (D->item.iSubItem == 0)
            T = Item->FCaption;
          else if (D->item.iSubItem - 1 < Item->FSubItems->GetCount())
            T = Item->FSubItems->Get(D->item.iSubItem - 1);
          size_t N = std::min(T.size(), static_cast<size_t>(D->item.cchTextMax - 1));
          std::copy_n(T.data(), N, D->item.pszText);
          D->item.pszText[N] = '\0';
        }
        if (D->item.mask & LVIF_IMAGE) D->item.iImage = Item->FImageIndex;
        Message.Result = 0;
        return;
      }
      case LVN_ODFINDITEMA: {
        auto* F = reinterpret_cast<const NMLVFINDITEMA*>(Message.LParam);
        TItemFind Find = (F->lvfi.flags & LVFI_PARAM)     ? ifData
                         : (F->lvfi.flags & LVFI_PARTIAL) ? ifPartialString
                         : (F->lvfi.flags & LVFI_STRING)  ? ifExactString
                                                          : ifNearest;
        Message.Result = OwnerDataFind(Find, F->lvfi.psz ? String(F->lvfi.psz) : String(), F->lvfi.pt,
                                       reinterpret_cast<void*>(F->lvfi.lParam), F->iStart, sdAll,
                                       (F->lvfi.flags & LVFI_WRAP) != 0);
        return;
      }
      case LVN_COLUMNCLICK: {
        auto* N = reinterpret_cast<const NMLISTVIEW*>(Message.LParam);
        if (N->iSubItem >= 0 && N->iSubItem < FColumns->GetCount()) ColClick(FColumns->GetItem(N->iSubItem));
        Message.Result = 0;
        return;
      }
      case LVN_ITEMCHANGED: {
        auto* N = reinterpret_cast<const NMLISTVIEW*>(Message.LParam);
        if (FRecreating || !(N->uChanged & LVIF_STATE) || N->iItem < 0 || N->iItem >= FItems->GetCount()) return;
        TListItem* Item = FItems->GetItem(N->iItem);
        Change(Item, ctState);
        if ((N->uOldState ^ N->uNewState) & LVIS_SELECTED) DoSelectItem(Item, (N->uNewState & LVIS_SELECTED) != 0);
        Message.Result = 0;
        return;
      }
      case LVN_ITEMCHANGING: Message.Result = 0; return;
      case LVN_BEGINLABELEDITA: {
        auto* D = reinterpret_cast<const NMLVDISPINFOA*>(Message.LParam);
        TListItem* Item = D->item.iItem >= 0 && D->item.iItem < FItems->GetCount() ? FItems->GetItem(D->item.iItem) : nullptr;
        Message.Result = Item && CanEdit(Item) ? 0 : 1;
        return;
      }
      case LVN_ENDLABELEDITA:
        // The item takes the text itself (Edit), so the window is told not to.
        Edit(reinterpret_cast<const NMLVDISPINFOA*>(Message.LParam)->item);
        Message.Result = 0;
        return;
      // Items come and go through TListItems; no notification per item when all go.
      case LVN_DELETEALLITEMS: Message.Result = 1; return;
      case LVN_DELETEITEM:
      case LVN_INSERTITEM: Message.Result = 0; return;
      default: break;
    }
  }
  TWinControl::WndProc(Message);
}
