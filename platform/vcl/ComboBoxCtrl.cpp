#include "platform/vcl/ComboBoxCtrl.h"

#include <algorithm>

#include "platform/gdi/Gdi.h"
#include "platform/rtl/RtlConsts.h"
#include "platform/rtl/SyncObjs.h"
#include "platform/vcl/ComboBoxCtrlClass.h"

namespace {

const char SInsertLineError[] = "Unable to insert a line";

LRESULT Send(HWND H, UINT Msg, WPARAM W = 0, LPARAM L = 0) { return SendMessageA(H, Msg, W, L); }

}  // namespace

// ---- Items ----

int TComboBoxStrings::GetCount() const {
  if (HWND H = FCombo->ItemsHandle()) return static_cast<int>(Send(H, CB_GETCOUNT));
  return FCombo->FSaveItems->GetCount();
}

String TComboBoxStrings::Get(int Index) const {
  if (Index < 0 || Index >= GetCount()) Error(RtlConsts::SListIndexError, Index);
  HWND H = FCombo->ItemsHandle();
  if (!H) return FCombo->FSaveItems->Get(Index);
  LRESULT Len = Send(H, CB_GETLBTEXTLEN, static_cast<WPARAM>(Index));
  if (Len == CB_ERR) Error(RtlConsts::SListIndexError, Index);
  String S(static_cast<size_t>(Len) + 1, '\0');
  LRESULT Got = Send(H, CB_GETLBTEXT, static_cast<WPARAM>(Index), reinterpret_cast<LPARAM>(S.data()));
  S.resize(Got < 0 ? 0 : static_cast<size_t>(std::min(Got, Len)));
  return S;
}

TObject* TComboBoxStrings::GetObject(int Index) const {
  if (Index < 0 || Index >= GetCount()) Error(RtlConsts::SListIndexError, Index);
  HWND H = FCombo->ItemsHandle();
  if (!H) return FCombo->FSaveItems->GetObject(Index);
  return reinterpret_cast<TObject*>(Send(H, CB_GETITEMDATA, static_cast<WPARAM>(Index)));
}

void TComboBoxStrings::PutObject(int Index, TObject* AObject) {
  if (Index < 0 || Index >= GetCount()) Error(RtlConsts::SListIndexError, Index);
  HWND H = FCombo->ItemsHandle();
  if (!H) {
    FCombo->FSaveItems->PutObject(Index, AObject);
    return;
  }
  Send(H, CB_SETITEMDATA, static_cast<WPARAM>(Index), reinterpret_cast<LPARAM>(AObject));
}

int TComboBoxStrings::Add(const String& S) {
  HWND H = FCombo->ItemsHandle();
  if (!H) return FCombo->FSaveItems->Add(S);
  LRESULT R = Send(H, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(S.c_str()));
  if (R < 0) throw EOutOfResources(SInsertLineError);
  return static_cast<int>(R);
}

void TComboBoxStrings::Insert(int Index, const String& S) {
  HWND H = FCombo->ItemsHandle();
  if (!H) {
    FCombo->FSaveItems->Insert(Index, S);
    return;
  }
  if (Send(H, CB_INSERTSTRING, static_cast<WPARAM>(Index), reinterpret_cast<LPARAM>(S.c_str())) < 0)
    throw EOutOfResources(SInsertLineError);
}

void TComboBoxStrings::Delete(int Index) {
  if (Index < 0 || Index >= GetCount()) Error(RtlConsts::SListIndexError, Index);
  HWND H = FCombo->ItemsHandle();
  if (!H) {
    FCombo->FSaveItems->Delete(Index);
    return;
  }
  Send(H, CB_DELETESTRING, static_cast<WPARAM>(Index));
}

void TComboBoxStrings::Clear() {
  HWND H = FCombo->ItemsHandle();
  if (!H) {
    FCombo->FSaveItems->Clear();
    return;
  }
  // The inner edit keeps its text, as Windows does.
  String Text = FCombo->GetText();
  Send(H, CB_RESETCONTENT);
  if (FCombo->GetEditHandle()) SetWindowTextA(FCombo->GetEditHandle(), Text.c_str());
}

int TComboBoxStrings::IndexOf(const String& S) const {
  HWND H = FCombo->ItemsHandle();
  if (!H) return FCombo->FSaveItems->IndexOf(S);
  return static_cast<int>(Send(H, CB_FINDSTRINGEXACT, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(S.c_str())));
}

void TComboBoxStrings::SetUpdateState(bool Updating) {
  HWND H = FCombo->ItemsHandle();
  if (!H) return;
  Send(H, WM_SETREDRAW, Updating ? 0 : 1);
  if (!Updating) FCombo->Refresh();
}

// ---- The control ----

TCustomComboBox::TCustomComboBox(TComponent* AOwner)
    : TWinControl(AOwner),
      FItems(std::make_unique<TComboBoxStrings>(this)),
      FSaveItems(std::make_unique<TStringList>()),
      FCanvas(std::make_unique<TControlCanvas>()) {
  FCanvas->SetControl(this);
  FWidth = 145;
  FHeight = 21;
  SetTabStop(true);
  SetParentColor(false);
  SetColor(clWindow);
  FControlStyle = csSetCaption | csDoubleClicks | csFixedHeight;
}

TCustomComboBox::~TCustomComboBox() {
  // The window goes before the members it asks for.
  DestroyHandle();
}

HWND TCustomComboBox::ItemsHandle() const {
  if (FHandle) return FHandle;
  if (!FParent && !GetParentWindow()) return nullptr;
  if (GetComponentState() & csDestroying) return nullptr;
  return const_cast<TCustomComboBox*>(this)->GetHandle();
}

HWND TCustomComboBox::GetEditHandle() const { return FHandle ? GetDlgItem(FHandle, ComboEditId) : nullptr; }

HWND TCustomComboBox::GetListHandle() const {
  COMBOBOXINFO Info;
  if (!FHandle || !GetComboBoxInfo(FHandle, &Info)) return nullptr;
  return Info.hwndList;
}

void TCustomComboBox::SetCharCase(TEditCharCase Value) {
  if (FCharCase == Value) return;
  FCharCase = Value;
  RecreateWnd();
}

void TCustomComboBox::CreateParams(TCreateParams& Params) {
  RegisterComboBoxClass();
  TWinControl::CreateParams(Params);
  CreateSubClass(Params, WC_COMBOBOXA);
  static const DWORD Styles[] = {CBS_DROPDOWN, CBS_SIMPLE, CBS_DROPDOWNLIST, CBS_DROPDOWNLIST | CBS_OWNERDRAWFIXED,
                                 CBS_DROPDOWNLIST | CBS_OWNERDRAWVARIABLE};
  Params.Style |= WS_VSCROLL | CBS_HASSTRINGS | CBS_AUTOHSCROLL | Styles[FStyle];
  if (FSorted) Params.Style |= CBS_SORT;
  if (FCharCase == ecUpperCase) Params.Style |= CBS_UPPERCASE;
  if (FCharCase == ecLowerCase) Params.Style |= CBS_LOWERCASE;
  Params.WindowClass.style &= ~(CS_HREDRAW | CS_VREDRAW);
}

void TCustomComboBox::CreateWnd() {
  String Text = FText;
  TWinControl::CreateWnd();
  Send(FHandle, CB_SETMINVISIBLE, static_cast<WPARAM>(FDropDownCount));
  if (FStyle == csOwnerDrawFixed || FStyle == csOwnerDrawVariable) {
    Send(FHandle, CB_SETITEMHEIGHT, 0, FItemHeight);
    Send(FHandle, CB_SETITEMHEIGHT, static_cast<WPARAM>(-1), FItemHeight);
  }
  if (FMaxLength > 0) Send(FHandle, CB_LIMITTEXT, static_cast<WPARAM>(FMaxLength));
  for (int I = 0; I < FSaveItems->GetCount(); ++I) {
    LRESULT At = Send(FHandle, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(FSaveItems->Get(I).c_str()));
    if (At >= 0) Send(FHandle, CB_SETITEMDATA, static_cast<WPARAM>(At), reinterpret_cast<LPARAM>(FSaveItems->GetObject(I)));
  }
  FSaveItems->Clear();
  if (FSaveIndex >= 0) Send(FHandle, CB_SETCURSEL, static_cast<WPARAM>(FSaveIndex));
  if (FSaveIndex < 0 && !Text.empty() && GetEditHandle()) SetWindowTextA(GetEditHandle(), Text.c_str());
  FSaveIndex = -1;
}

void TCustomComboBox::DestroyWnd() {
  if (FHandle) {
    FSaveItems->Clear();
    int N = static_cast<int>(Send(FHandle, CB_GETCOUNT));
    for (int I = 0; I < N; ++I) FSaveItems->AddObject(FItems->Get(I), FItems->GetObject(I));
    FSaveIndex = static_cast<int>(Send(FHandle, CB_GETCURSEL));
  }
  TWinControl::DestroyWnd();
}

int TCustomComboBox::GetItemIndex() const {
  HWND H = ItemsHandle();
  return H ? static_cast<int>(Send(H, CB_GETCURSEL)) : FSaveIndex;
}

void TCustomComboBox::SetItemIndex(int Value) {
  HWND H = ItemsHandle();
  if (!H) {
    FSaveIndex = Value;
    return;
  }
  if (GetItemIndex() != Value) Send(H, CB_SETCURSEL, static_cast<WPARAM>(Value));
}

void TCustomComboBox::SetStyle(TComboBoxStyle Value) {
  if (FStyle == Value) return;
  FStyle = Value;
  RecreateWnd();
}

void TCustomComboBox::SetSorted(bool Value) {
  if (FSorted == Value) return;
  FSorted = Value;
  RecreateWnd();
}

void TCustomComboBox::SetDropDownCount(int Value) {
  FDropDownCount = std::max(1, Value);
  if (FHandle) Send(FHandle, CB_SETMINVISIBLE, static_cast<WPARAM>(FDropDownCount));
}

bool TCustomComboBox::GetDroppedDown() const { return FHandle && Send(FHandle, CB_GETDROPPEDSTATE) != 0; }

void TCustomComboBox::SetDroppedDown(bool Value) {
  if (HWND H = ItemsHandle()) Send(H, CB_SHOWDROPDOWN, Value ? TRUE : FALSE);
}

int TCustomComboBox::GetItemHeight() const {
  if (FHandle && FStyle != csOwnerDrawFixed && FStyle != csOwnerDrawVariable)
    return static_cast<int>(Send(FHandle, CB_GETITEMHEIGHT, 0));
  return FItemHeight;
}

void TCustomComboBox::SetItemHeight(int Value) {
  if (Value <= 0) return;
  FItemHeight = Value;
  if (FHandle && (FStyle == csOwnerDrawFixed || FStyle == csOwnerDrawVariable)) {
    Send(FHandle, CB_SETITEMHEIGHT, 0, Value);
    Send(FHandle, CB_SETITEMHEIGHT, static_cast<WPARAM>(-1), Value);
    Invalidate();
  }
}

void TCustomComboBox::SetMaxLength(int Value) {
  FMaxLength = std::max(0, Value);
  if (FHandle) Send(FHandle, CB_LIMITTEXT, static_cast<WPARAM>(FMaxLength));
}

void TCustomComboBox::Clear() {
  SetText("");
  FItems->Clear();
}

void TCustomComboBox::Change() {
  if (OnChange) OnChange(this);
}

void TCustomComboBox::Select() {
  if (OnSelect)
    OnSelect(this);
  else
    Change();
}

void TCustomComboBox::DropDown() {
  if (OnDropDown) OnDropDown(this);
}

void TCustomComboBox::CloseUp() {
  if (OnCloseUp) OnCloseUp(this);
}

void TCustomComboBox::DrawItem(int Index, const TRect& Rect, TOwnerDrawState State) {
  if (OnDrawItem) {
    OnDrawItem(this, Index, Rect, State);
    return;
  }
  FCanvas->FillRect(Rect);
  if (Index >= 0 && Index < FItems->GetCount()) {
    String S = FItems->Get(Index);
    FCanvas->GetBrush()->SetStyle(bsClear);
    TRect T = Rect;
    T.left += 2;
    DrawTextA(FCanvas->GetHandle(), S.c_str(), static_cast<int>(S.size()), &T, DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX);
  }
}

void TCustomComboBox::MeasureItem(int Index, int& Height) {
  if (OnMeasureItem) OnMeasureItem(this, Index, Height);
}

void TCustomComboBox::KeyPress(char& Key) {
  TWinControl::KeyPress(Key);
  // Type-ahead for the list styles: characters within a second build one prefix.
  if (!FAutoComplete || Key == 0 || GetEditHandle()) return;
  unsigned char C = static_cast<unsigned char>(Key);
  if (C < 32) {
    if (C == VK_BACK || C == VK_ESCAPE) FFilter.clear();
    return;
  }
  DWORD Now = GetTickCount();
  if (Now - FLastTime > 1000) FFilter.clear();
  FLastTime = Now;
  FFilter += Key;
  HWND H = ItemsHandle();
  if (!H) return;
  LRESULT I = Send(H, CB_FINDSTRING, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(FFilter.c_str()));
  if (I == CB_ERR) {
    if (FFilter.size() > 1) FFilter = String(1, static_cast<char>(C));
    return;
  }
  Key = 0;
  if (I != GetItemIndex()) {
    SetItemIndex(static_cast<int>(I));
    Click();
    Select();
  }
}

bool TCustomComboBox::Focused() {
  HWND Focus = GetFocus();
  return FHandle && Focus && (Focus == FHandle || Focus == GetEditHandle());
}

void TCustomComboBox::WndProc(TMessage& Message) {
  switch (Message.Msg) {
    case WM_KILLFOCUS:
      // The focus only moved into the inner edit: still this control's.
      if (Message.WParam && reinterpret_cast<HWND>(Message.WParam) == GetEditHandle()) {
        DefaultHandler(Message);
        return;
      }
      break;
    case CN_COMMAND:
      switch (HIWORD(Message.WParam)) {
        case CBN_DBLCLK: DblClick(); break;
        case CBN_EDITCHANGE: Change(); break;
        case CBN_DROPDOWN: DropDown(); break;
        case CBN_SELCHANGE:
          Click();
          Select();
          break;
        case CBN_CLOSEUP: CloseUp(); break;
      }
      return;
    case CN_DRAWITEM: {
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
      try {
        DrawItem(static_cast<int>(S->itemID), R, State);
        if ((State & odFocused) && !(State & odNoFocusRect)) FCanvas->DrawFocusRect(R);
      } catch (...) {
        FCanvas->SetHandle(nullptr);
        RestoreDC(S->hDC, Saved);
        throw;
      }
      FCanvas->SetHandle(nullptr);
      RestoreDC(S->hDC, Saved);
      Message.Result = 1;
      return;
    }
    case CN_MEASUREITEM: {
      auto* S = reinterpret_cast<MEASUREITEMSTRUCT*>(Message.LParam);
      if (!S) return;
      int H = FItemHeight;
      if (FStyle == csOwnerDrawVariable && static_cast<int>(S->itemID) >= 0) MeasureItem(static_cast<int>(S->itemID), H);
      S->itemHeight = static_cast<UINT>(std::clamp(H, 1, 255));
      Message.Result = 1;
      return;
    }
  }
  TWinControl::WndProc(Message);
}
