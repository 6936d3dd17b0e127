#include "platform/vcl/ListBoxCtrl.h"

#include <algorithm>

#include "platform/gdi/Gdi.h"
#include "platform/rtl/RtlConsts.h"
#include "platform/rtl/SyncObjs.h"
#include "platform/vcl/Forms.h"
#include "platform/vcl/ListBoxCtrlClass.h"

namespace {

const char SInsertLineError[] = "Unable to insert a line";

LRESULT Send(HWND H, UINT Msg, WPARAM W = 0, LPARAM L = 0) { return SendMessageA(H, Msg, W, L); }

}  // namespace

// ---- Items ----

int TListBoxStrings::GetCount() const {
  if (HWND H = FListBox->ItemsHandle()) return static_cast<int>(Send(H, LB_GETCOUNT));
  return FListBox->IsVirtual() ? FListBox->FSaveCount : FListBox->FSaveItems->GetCount();
}

String TListBoxStrings::Get(int Index) const {
  if (Index < 0 || Index >= GetCount()) Error(RtlConsts::SListIndexError, Index);
  if (FListBox->IsVirtual()) return FListBox->DoGetData(Index);
  HWND H = FListBox->ItemsHandle();
  if (!H) return FListBox->FSaveItems->Get(Index);
  LRESULT Len = Send(H, LB_GETTEXTLEN, static_cast<WPARAM>(Index));
  if (Len == LB_ERR) Error(RtlConsts::SListIndexError, Index);
  String S(static_cast<size_t>(Len) + 1, '\0');
  LRESULT Got = Send(H, LB_GETTEXT, static_cast<WPARAM>(Index), reinterpret_cast<LPARAM>(S.data()));
  S.resize(Got < 0 ? 0 : static_cast<size_t>(std::min(Got, Len)));
  return S;
}

void TListBoxStrings::Put(int Index, const String& S) {
  if (FListBox->IsVirtual()) return;
  int Selected = FListBox->GetItemIndex();
  TObject* Data = GetObject(Index);
  Delete(Index);
  InsertObject(Index, S, Data);
  FListBox->SetItemIndex(Selected);
}

TObject* TListBoxStrings::GetObject(int Index) const {
  if (Index < 0 || Index >= GetCount()) Error(RtlConsts::SListIndexError, Index);
  if (FListBox->IsVirtual()) return FListBox->DoGetDataObject(Index);
  LPARAM Data = FListBox->GetItemData(Index);
  if (Data == LB_ERR) Error(RtlConsts::SListIndexError, Index);
  return reinterpret_cast<TObject*>(Data);
}

void TListBoxStrings::PutObject(int Index, TObject* AObject) {
  if (Index < 0 || Index >= GetCount()) Error(RtlConsts::SListIndexError, Index);
  if (FListBox->IsVirtual()) return;
  FListBox->SetItemData(Index, reinterpret_cast<LPARAM>(AObject));
}

int TListBoxStrings::Add(const String& S) {
  if (FListBox->IsVirtual()) return -1;
  HWND H = FListBox->ItemsHandle();
  if (!H) return FListBox->FSaveItems->Add(S);
  LRESULT R = Send(H, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(S.c_str()));
  if (R < 0) throw EOutOfResources(SInsertLineError);
  return static_cast<int>(R);
}

void TListBoxStrings::Insert(int Index, const String& S) {
  if (FListBox->IsVirtual()) return;
  HWND H = FListBox->ItemsHandle();
  if (!H) {
    FListBox->FSaveItems->Insert(Index, S);
    FListBox->SavedItemsMoved(Index, true);
    return;
  }
  if (Send(H, LB_INSERTSTRING, static_cast<WPARAM>(Index), reinterpret_cast<LPARAM>(S.c_str())) < 0)
    throw EOutOfResources(SInsertLineError);
}

void TListBoxStrings::Delete(int Index) {
  if (Index < 0 || Index >= GetCount()) Error(RtlConsts::SListIndexError, Index);
  FListBox->DeleteString(Index);
}

void TListBoxStrings::Clear() { FListBox->ResetContent(); }

int TListBoxStrings::IndexOf(const String& S) const {
  if (FListBox->IsVirtual()) return FListBox->DoFindData(S);
  HWND H = FListBox->ItemsHandle();
  if (!H) return FListBox->FSaveItems->IndexOf(S);
  return static_cast<int>(Send(H, LB_FINDSTRINGEXACT, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(S.c_str())));
}

void TListBoxStrings::SetUpdateState(bool Updating) {
  HWND H = FListBox->ItemsHandle();
  if (!H) return;
  Send(H, WM_SETREDRAW, Updating ? 0 : 1);
  if (!Updating) FListBox->Refresh();
}

// ---- The control ----

TCustomListBox::TCustomListBox(TComponent* AOwner)
    : TWinControl(AOwner),
      FItems(std::make_unique<TListBoxStrings>(this)),
      FSaveItems(std::make_unique<TStringList>()),
      FCanvas(std::make_unique<TControlCanvas>()) {
  FCanvas->SetControl(this);
  FWidth = 121;
  FHeight = 97;
  SetTabStop(true);
  SetParentColor(false);
  SetColor(clWindow);
  FControlStyle = csSetCaption | csDoubleClicks | csOpaque;
}

TCustomListBox::~TCustomListBox() {
  // The window goes before the members it asks for.
  DestroyHandle();
}

HWND TCustomListBox::ItemsHandle() const {
  if (FHandle) return FHandle;
  if (!FParent && !GetParentWindow()) return nullptr;
  if (GetComponentState() & csDestroying) return nullptr;
  return const_cast<TCustomListBox*>(this)->GetHandle();
}

void TCustomListBox::ReplaceItems(std::unique_ptr<TStrings> AItems) {
  if (AItems) FItems = std::move(AItems);
}

LPARAM TCustomListBox::GetItemData(int Index) {
  HWND H = ItemsHandle();
  if (H) return static_cast<LPARAM>(Send(H, LB_GETITEMDATA, static_cast<WPARAM>(Index)));
  if (Index < 0 || Index >= FSaveItems->GetCount()) return LB_ERR;
  return reinterpret_cast<LPARAM>(FSaveItems->GetObject(Index));
}

void TCustomListBox::SetItemData(int Index, LPARAM AData) {
  HWND H = ItemsHandle();
  if (H) {
    Send(H, LB_SETITEMDATA, static_cast<WPARAM>(Index), AData);
  } else if (Index >= 0 && Index < FSaveItems->GetCount()) {
    FSaveItems->PutObject(Index, reinterpret_cast<TObject*>(AData));
  }
}

void TCustomListBox::ResetContent() {
  if (IsVirtual()) return;
  if (HWND H = ItemsHandle()) {
    Send(H, LB_RESETCONTENT);
    return;
  }
  FSaveItems->Clear();
  FSaveSelected.clear();
  FSaveItemIndex = -1;
  FSaveTopIndex = 0;
}

void TCustomListBox::DeleteString(int Index) {
  if (HWND H = ItemsHandle()) {
    Send(H, LB_DELETESTRING, static_cast<WPARAM>(Index));
    return;
  }
  if (IsVirtual()) {
    if (Index < 0 || Index >= FSaveCount) return;
    --FSaveCount;
  } else {
    if (Index < 0 || Index >= FSaveItems->GetCount()) return;
    FSaveItems->Delete(Index);
  }
  SavedItemsMoved(Index, false);
}

void TCustomListBox::SavedItemsMoved(int Index, bool Inserted) {
  auto Fix = [Index, Inserted](int& V) {
    if (Inserted) {
      if (V >= Index) ++V;
    } else if (V == Index) {
      V = -1;
    } else if (V > Index) {
      --V;
    }
  };
  Fix(FSaveItemIndex);
  for (int& I : FSaveSelected) Fix(I);
  FSaveSelected.erase(std::remove(FSaveSelected.begin(), FSaveSelected.end(), -1), FSaveSelected.end());
  if (!Inserted && FSaveTopIndex > Index) --FSaveTopIndex;
}

void TCustomListBox::CreateParams(TCreateParams& Params) {
  RegisterListBoxClass();
  TWinControl::CreateParams(Params);
  CreateSubClass(Params, WC_LISTBOXA);
  // A virtual list holds no strings: the control draws its items (DrawItem asks OnData).
  static const DWORD Styles[] = {0, LBS_OWNERDRAWFIXED, LBS_OWNERDRAWVARIABLE, LBS_NODATA | LBS_OWNERDRAWFIXED,
                                 LBS_NODATA | LBS_OWNERDRAWFIXED};
  Params.Style |= WS_HSCROLL | WS_VSCROLL | LBS_NOTIFY | Styles[FStyle];
  if (!IsVirtual()) Params.Style |= LBS_HASSTRINGS;
  if (FSorted && !IsVirtual()) Params.Style |= LBS_SORT;
  if (FMultiSelect) Params.Style |= FExtendedSelect ? LBS_EXTENDEDSEL : LBS_MULTIPLESEL;
  if (!FIntegralHeight) Params.Style |= LBS_NOINTEGRALHEIGHT;
  if (FColumns != 0) Params.Style |= LBS_MULTICOLUMN;
  if (FTabWidth != 0) Params.Style |= LBS_USETABSTOPS;
  if (FBorderStyle == bsSingle) Params.ExStyle |= WS_EX_CLIENTEDGE;
  Params.WindowClass.style &= ~(CS_HREDRAW | CS_VREDRAW);
}

void TCustomListBox::CreateWnd() {
  TWinControl::CreateWnd();
  // Variable heights come from WM_MEASUREITEM per item.
  if (FStyle == lbOwnerDrawFixed || IsVirtual())
    Send(FHandle, LB_SETITEMHEIGHT, 0, MAKELONG(std::min(FItemHeight, 255), 0));
  if (FColumns > 0) Send(FHandle, LB_SETCOLUMNWIDTH, static_cast<WPARAM>(std::max(1, GetClientWidth() / FColumns)));
  if (FScrollWidth > 0) Send(FHandle, LB_SETHORIZONTALEXTENT, static_cast<WPARAM>(FScrollWidth));
  if (IsVirtual()) {
    Send(FHandle, LB_SETCOUNT, static_cast<WPARAM>(FSaveCount));
  } else if (FSaveItems->GetCount() > 0) {
    Send(FHandle, WM_SETREDRAW, 0);
    for (int I = 0; I < FSaveItems->GetCount(); ++I) {
      LRESULT At = Send(FHandle, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(FSaveItems->Get(I).c_str()));
      if (At >= 0) SetItemData(static_cast<int>(At), reinterpret_cast<LPARAM>(FSaveItems->GetObject(I)));
    }
    Send(FHandle, WM_SETREDRAW, 1);
  }
  FSaveItems->Clear();
  FSaveCount = 0;
  if (FMultiSelect) {
    for (int I : FSaveSelected) Send(FHandle, LB_SETSEL, 1, I);
    if (FSaveItemIndex >= 0) Send(FHandle, LB_SETCARETINDEX, static_cast<WPARAM>(FSaveItemIndex));
  } else {
    Send(FHandle, LB_SETCURSEL, static_cast<WPARAM>(FSaveItemIndex));
  }
  Send(FHandle, LB_SETTOPINDEX, static_cast<WPARAM>(std::max(FSaveTopIndex, 0)));
  FSaveSelected.clear();
  FSaveItemIndex = -1;
  FSaveTopIndex = 0;
}

void TCustomListBox::DestroyWnd() {
  // Keeps what the window holds for the next window.
  if (FHandle) {
    int N = static_cast<int>(Send(FHandle, LB_GETCOUNT));
    FSaveItems->Clear();
    FSaveSelected.clear();
    if (IsVirtual()) {
      FSaveCount = N;
    } else {
      for (int I = 0; I < N; ++I) FSaveItems->AddObject(FItems->Get(I), FItems->GetObject(I));
    }
    for (int I = 0; I < N && FMultiSelect; ++I)
      if (Send(FHandle, LB_GETSEL, static_cast<WPARAM>(I)) > 0) FSaveSelected.push_back(I);
    FSaveItemIndex = static_cast<int>(Send(FHandle, FMultiSelect ? LB_GETCARETINDEX : LB_GETCURSEL));
    FSaveTopIndex = static_cast<int>(Send(FHandle, LB_GETTOPINDEX));
  }
  TWinControl::DestroyWnd();
}

int TCustomListBox::GetCount() const { return FItems->GetCount(); }

void TCustomListBox::SetCount(int Value) {
  if (!IsVirtual()) throw EListError(Format("ListBox (%s) style must be virtual in order to set Count", {GetName()}));
  Value = std::max(0, Value);
  if (HWND H = ItemsHandle())
    Send(H, LB_SETCOUNT, static_cast<WPARAM>(Value));
  else
    FSaveCount = Value;
}

int TCustomListBox::GetItemIndex() const {
  HWND H = ItemsHandle();
  if (!H) return FSaveItemIndex;
  return static_cast<int>(Send(H, FMultiSelect ? LB_GETCARETINDEX : LB_GETCURSEL));
}

void TCustomListBox::SetItemIndex(int Value) {
  HWND H = ItemsHandle();
  if (!H) {
    FSaveItemIndex = Value;
    return;
  }
  if (GetItemIndex() == Value) return;
  if (FMultiSelect) {
    // The focused item moves and becomes the only selected one.
    Send(H, LB_SETSEL, 0, -1);
    if (Value >= 0 && Value < GetCount()) {
      Send(H, LB_SETSEL, 1, Value);
      Send(H, LB_SETCARETINDEX, static_cast<WPARAM>(Value));
    }
  } else {
    Send(H, LB_SETCURSEL, static_cast<WPARAM>(Value));
  }
}

bool TCustomListBox::GetSelected(int Index) const {
  HWND H = ItemsHandle();
  if (!H) {
    if (Index < 0 || Index >= GetCount()) throw EListError(Format(RtlConsts::SListIndexError, {Index}));
    return FMultiSelect ? std::find(FSaveSelected.begin(), FSaveSelected.end(), Index) != FSaveSelected.end()
                        : FSaveItemIndex == Index;
  }
  LRESULT R = Send(H, LB_GETSEL, static_cast<WPARAM>(Index));
  if (R == LB_ERR) throw EListError(Format(RtlConsts::SListIndexError, {Index}));
  return R != 0;
}

void TCustomListBox::SetSelected(int Index, bool Value) {
  if (Index < 0 || Index >= GetCount()) throw EListError(Format(RtlConsts::SListIndexError, {Index}));
  HWND H = ItemsHandle();
  if (!H) {
    if (FMultiSelect) {
      auto It = std::find(FSaveSelected.begin(), FSaveSelected.end(), Index);
      if (Value && It == FSaveSelected.end()) FSaveSelected.push_back(Index);
      if (!Value && It != FSaveSelected.end()) FSaveSelected.erase(It);
    } else if (Value) {
      FSaveItemIndex = Index;
    } else if (FSaveItemIndex == Index) {
      FSaveItemIndex = -1;
    }
    return;
  }
  if (FMultiSelect) {
    Send(H, LB_SETSEL, Value ? 1 : 0, Index);
  } else if (Value) {
    SetItemIndex(Index);
  } else if (GetItemIndex() == Index) {
    SetItemIndex(-1);
  }
}

int TCustomListBox::GetSelCount() const {
  HWND H = ItemsHandle();
  if (!H) return FMultiSelect ? static_cast<int>(FSaveSelected.size()) : -1;
  return static_cast<int>(Send(H, LB_GETSELCOUNT));
}

int TCustomListBox::GetTopIndex() const {
  HWND H = ItemsHandle();
  return H ? static_cast<int>(Send(H, LB_GETTOPINDEX)) : FSaveTopIndex;
}

void TCustomListBox::SetTopIndex(int Value) {
  HWND H = ItemsHandle();
  if (!H) {
    FSaveTopIndex = Value;
    return;
  }
  if (GetTopIndex() != Value) Send(H, LB_SETTOPINDEX, static_cast<WPARAM>(Value));
}

int TCustomListBox::GetItemHeight() const {
  if (FHandle && FStyle == lbStandard) return static_cast<int>(Send(FHandle, LB_GETITEMHEIGHT, 0));
  return FItemHeight;
}

void TCustomListBox::SetItemHeight(int Value) {
  if (Value <= 0 || Value == FItemHeight) return;
  FItemHeight = Value;
  if (!FHandle || FStyle == lbStandard) return;
  if (FStyle == lbOwnerDrawVariable) {
    // The default height of every item: the new window measures them all again.
    RecreateWnd();
    return;
  }
  Send(FHandle, LB_SETITEMHEIGHT, 0, MAKELONG(std::min(Value, 255), 0));
  Invalidate();
}

void TCustomListBox::SetMultiSelect(bool Value) {
  if (FMultiSelect == Value) return;
  FMultiSelect = Value;
  RecreateWnd();
}

void TCustomListBox::SetExtendedSelect(bool Value) {
  if (FExtendedSelect == Value) return;
  FExtendedSelect = Value;
  RecreateWnd();
}

void TCustomListBox::SetSorted(bool Value) {
  if (FSorted == Value) return;
  FSorted = Value;
  RecreateWnd();
}

void TCustomListBox::SetStyle(TListBoxStyle Value) {
  if (FStyle == Value) return;
  bool WasVirtual = IsVirtual();
  // Items of a virtual list are the application's: switching kinds starts empty.
  if (WasVirtual != (Value == lbVirtual || Value == lbVirtualOwnerDraw)) {
    if (FHandle) Send(FHandle, LB_RESETCONTENT);
    FSaveItems->Clear();
    FSaveCount = 0;
  }
  FStyle = Value;
  RecreateWnd();
}

void TCustomListBox::SetColumns(int Value) {
  Value = std::max(0, Value);
  if (FColumns == Value) return;
  bool Recreate = (FColumns == 0) != (Value == 0);
  FColumns = Value;
  if (Recreate)
    RecreateWnd();
  else if (FHandle)
    Send(FHandle, LB_SETCOLUMNWIDTH, static_cast<WPARAM>(std::max(1, GetClientWidth() / FColumns)));
}

void TCustomListBox::SetIntegralHeight(bool Value) {
  if (FIntegralHeight == Value) return;
  FIntegralHeight = Value;
  RecreateWnd();
}

void TCustomListBox::SetBorderStyle(TBorderStyle Value) {
  if (FBorderStyle == Value) return;
  FBorderStyle = Value;
  RecreateWnd();
}

void TCustomListBox::SetTabWidth(int Value) {
  Value = std::max(0, Value);
  if (FTabWidth == Value) return;
  FTabWidth = Value;
  RecreateWnd();
}

int TCustomListBox::GetScrollWidth() const {
  return FHandle ? static_cast<int>(Send(FHandle, LB_GETHORIZONTALEXTENT)) : FScrollWidth;
}

void TCustomListBox::SetScrollWidth(int Value) {
  FScrollWidth = std::max(0, Value);
  if (FHandle) Send(FHandle, LB_SETHORIZONTALEXTENT, static_cast<WPARAM>(FScrollWidth));
}

void TCustomListBox::AddItem(const String& Item, TObject* AObject) { FItems->AddObject(Item, AObject); }

void TCustomListBox::Clear() { FItems->Clear(); }

void TCustomListBox::ClearSelection() {
  if (FMultiSelect) {
    for (int I = 0; I < GetCount(); ++I) SetSelected(I, false);
  } else {
    SetItemIndex(-1);
  }
}

void TCustomListBox::DeleteSelected() {
  if (FMultiSelect) {
    for (int I = GetCount() - 1; I >= 0; --I)
      if (GetSelected(I)) FItems->Delete(I);
  } else if (GetItemIndex() >= 0) {
    FItems->Delete(GetItemIndex());
  }
}

void TCustomListBox::SelectAll() {
  if (!FMultiSelect) return;
  if (HWND H = ItemsHandle())
    Send(H, LB_SETSEL, 1, -1);
  else
    for (int I = 0; I < GetCount(); ++I) SetSelected(I, true);
}

int TCustomListBox::ItemAtPos(const TPoint& Pos, bool Existing) {
  HWND H = ItemsHandle();
  TRect Client = GetClientRect();
  if (!H || !PtInRect(&Client, Pos)) return -1;
  int N = GetCount();
  if (N > 0) {
    LRESULT R = Send(H, LB_ITEMFROMPOINT, 0, MAKELONG(static_cast<WORD>(Pos.x), static_cast<WORD>(Pos.y)));
    int I = static_cast<int>(LOWORD(R));
    RECT IR{};
    if (I < N && Send(H, LB_GETITEMRECT, static_cast<WPARAM>(I), reinterpret_cast<LPARAM>(&IR)) != LB_ERR &&
        PtInRect(&IR, Pos))
      return I;
  }
  return Existing ? -1 : N;
}

TRect TCustomListBox::ItemRect(int Index) {
  TRect R{};
  HWND H = ItemsHandle();
  if (!H) return R;
  int N = GetCount();
  if (Index == 0 || Index < N) {
    Send(H, LB_GETITEMRECT, static_cast<WPARAM>(Index), reinterpret_cast<LPARAM>(&R));
  } else if (Index == N && N > 0) {
    // Just past the last item: where the next one would go.
    Send(H, LB_GETITEMRECT, static_cast<WPARAM>(N - 1), reinterpret_cast<LPARAM>(&R));
    OffsetRect(&R, 0, R.bottom - R.top);
  }
  return R;
}

String TCustomListBox::DoGetData(int Index) {
  String S;
  if (OnData) OnData(this, Index, S);
  return S;
}

TObject* TCustomListBox::DoGetDataObject(int Index) {
  TObject* Object = nullptr;
  if (OnDataObject) OnDataObject(this, Index, Object);
  return Object;
}

int TCustomListBox::DoFindData(const String& Data) { return OnDataFind ? OnDataFind(this, Data) : -1; }

void TCustomListBox::DrawItem(int Index, const TRect& Rect, TOwnerDrawState State) {
  if (OnDrawItem) {
    OnDrawItem(this, Index, Rect, State);
    return;
  }
  FCanvas->FillRect(Rect);
  if (Index >= 0 && Index < GetCount()) {
    String S = FItems->Get(Index);
    FCanvas->GetBrush()->SetStyle(bsClear);
    TRect T = Rect;
    T.left += 2;
    DrawTextA(FCanvas->GetHandle(), S.c_str(), static_cast<int>(S.size()), &T,
              DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX | (FTabWidth ? DT_EXPANDTABS : 0));
  }
}

void TCustomListBox::MeasureItem(int Index, int& Height) {
  if (OnMeasureItem) OnMeasureItem(this, Index, Height);
}

void TCustomListBox::CNDrawItem(TMessage& Message) {
  auto* S = reinterpret_cast<DRAWITEMSTRUCT*>(Message.LParam);
  if (!S) return;
  TOwnerDrawState State = static_cast<TOwnerDrawState>(S->itemState & 0xFFFF);
  int Saved = SaveDC(S->hDC);
  FCanvas->SetHandle(S->hDC);
  FCanvas->GetFont()->Assign(GetFont());
  FCanvas->GetBrush()->Assign(GetBrush());
  if (State & odSelected) {
    FCanvas->GetBrush()->SetColor(clHighlight);
    FCanvas->GetFont()->SetColor(clHighlightText);
  }
  TRect R = S->rcItem;
  int Index = static_cast<int>(S->itemID);
  try {
    if (Index >= 0 && Index < GetCount())
      DrawItem(Index, R, State);
    else
      FCanvas->FillRect(R);
    if ((State & odFocused) && !(State & odNoFocusRect)) FCanvas->DrawFocusRect(R);
  } catch (...) {
    FCanvas->SetHandle(nullptr);
    RestoreDC(S->hDC, Saved);
    throw;
  }
  FCanvas->SetHandle(nullptr);
  RestoreDC(S->hDC, Saved);
  Message.Result = 1;
}

void TCustomListBox::CNMeasureItem(TMessage& Message) {
  auto* S = reinterpret_cast<MEASUREITEMSTRUCT*>(Message.LParam);
  if (!S) return;
  int H = FItemHeight;
  if (FStyle == lbOwnerDrawVariable) MeasureItem(static_cast<int>(S->itemID), H);
  S->itemHeight = static_cast<UINT>(std::clamp(H, 1, 255));
  Message.Result = 1;
}

void TCustomListBox::CNCommand(TMessage& Message) {
  switch (HIWORD(Message.WParam)) {
    case LBN_SELCHANGE: Click(); break;
    case LBN_DBLCLK: DblClick(); break;
  }
}

void TCustomListBox::KeyPress(char& Key) {
  TWinControl::KeyPress(Key);
  if (!FAutoComplete || Key == 0) return;
  unsigned char C = static_cast<unsigned char>(Key);
  if (C == VK_BACK || C == VK_ESCAPE) {
    FFilter.clear();
    return;
  }
  if (C < 32) return;
  // Characters typed within a second of each other build one prefix.
  DWORD Now = GetTickCount();
  if (Now - FLastTime > 1000) FFilter.clear();
  FLastTime = Now;
  FFilter += Key;
  HWND H = ItemsHandle();
  if (!H) return;
  // A virtual list holds no strings: the application finds the item.
  LRESULT I = IsVirtual() ? DoFindData(FFilter)
                          : Send(H, LB_FINDSTRING, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(FFilter.c_str()));
  if (I < 0 || I >= GetCount()) I = LB_ERR;
  if (I != LB_ERR) {
    if (I != GetItemIndex()) {
      SetItemIndex(static_cast<int>(I));
      Click();
    }
    Key = 0;
  } else if (FFilter.size() > 1) {
    // Nothing starts with the whole prefix: the window's one-character search takes over.
    FFilter = String(1, static_cast<char>(C));
  }
}

void TCustomListBox::WndProc(TMessage& Message) {
  switch (Message.Msg) {
    case CN_DRAWITEM: CNDrawItem(Message); return;
    case CN_MEASUREITEM: CNMeasureItem(Message); return;
    case CN_COMMAND: CNCommand(Message); return;
    case WM_SIZE:
      TWinControl::WndProc(Message);
      if (FColumns > 0 && FHandle)
        Send(FHandle, LB_SETCOLUMNWIDTH, static_cast<WPARAM>(std::max(1, GetClientWidth() / FColumns)));
      return;
  }
  TWinControl::WndProc(Message);
}
