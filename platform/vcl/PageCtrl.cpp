#include "platform/vcl/PageCtrl.h"

#include <algorithm>

#include "platform/rtl/RtlConsts.h"
#include "platform/vcl/Forms.h"

// ---------------------------------------------------------------------------------------------
// TCustomTabControl

bool TCustomTabControl::EnsureHandle() {
  // The window is made on demand, as the class library does, once there is a parent for it.
  if (!HandleAllocated() && (GetParent() || GetParentWindow()) && !(FControlState & csDestroyingHandle))
    HandleNeeded();
  return HandleAllocated();
}

TCustomTabControl::TCustomTabControl(TComponent* AOwner)
    : TCustomControl(AOwner), FTabs(std::make_unique<TStringList>()) {
  FControlStyle = csAcceptsControls | csDoubleClicks;
  FWidth = 289;
  FHeight = 193;
  SetTabStop(true);
  FTabs->OnChange = [this](TObject* Sender) { TabsChanged(Sender); };
}

TCustomTabControl::~TCustomTabControl() { FTabs->OnChange = nullptr; }

void TCustomTabControl::CreateParams(TCreateParams& Params) {
  RegisterTabControlClass();
  TCustomControl::CreateParams(Params);
  CreateSubClass(Params, WC_TABCONTROLA);
  Params.Style |= WS_CLIPCHILDREN;
  switch (FTabPosition) {
    case tpTop: break;
    case tpBottom: Params.Style |= TCS_BOTTOM; break;
    case tpLeft: Params.Style |= TCS_VERTICAL; break;
    case tpRight: Params.Style |= TCS_VERTICAL | TCS_RIGHT; break;
  }
  if (FStyle == tsButtons) Params.Style |= TCS_BUTTONS;
  if (FStyle == tsFlatButtons) Params.Style |= TCS_BUTTONS | TCS_FLATBUTTONS;
  if (FRaggedRight) Params.Style |= TCS_RAGGEDRIGHT;
  if (FOwnerDraw) Params.Style |= TCS_OWNERDRAWFIXED;
  if (!GetTabStop()) Params.Style |= TCS_FOCUSNEVER;
  if (FMultiLine) Params.Style |= TCS_MULTILINE;
  if (FHotTrack) Params.Style |= TCS_HOTTRACK;
  if (FScrollOpposite) Params.Style |= TCS_SCROLLOPPOSITE;
  if (FTabWidth > 0) Params.Style |= TCS_FIXEDWIDTH;
  Params.WindowClass.style = (Params.WindowClass.style & ~(CS_HREDRAW | CS_VREDRAW)) | CS_DBLCLKS;
}

void TCustomTabControl::CreateWnd() {
  TCustomControl::CreateWnd();
  SendMessageA(FHandle, TCM_SETIMAGELIST, 0, reinterpret_cast<LPARAM>(FImages));
  UpdateTabSize();
  SyncTabs();
  int Index = FSavedTabIndex < FTabs->GetCount() ? FSavedTabIndex : -1;
  SendMessageA(FHandle, TCM_SETCURSEL, static_cast<WPARAM>(Index), 0);
  Realign();
}

void TCustomTabControl::DestroyWnd() {
  FSavedTabIndex = GetTabIndex();
  TCustomControl::DestroyWnd();
}

void TCustomTabControl::Loaded() {
  TCustomControl::Loaded();
  if (FImages) UpdateTabImages();
}

void TCustomTabControl::SyncTabs() {
  if (!HandleAllocated()) return;
  FSyncing = true;
  int Index = static_cast<int>(SendMessageA(FHandle, TCM_GETCURSEL, 0, 0));
  SendMessageA(FHandle, TCM_DELETEALLITEMS, 0, 0);
  for (int I = 0; I < FTabs->GetCount(); ++I) {
    String Text = FTabs->Get(I);
    TCITEMA Item;
    Item.mask = TCIF_TEXT | TCIF_IMAGE;
    Item.pszText = Text.data();
    Item.iImage = GetImageIndex(I);
    SendMessageA(FHandle, TCM_INSERTITEMA, static_cast<WPARAM>(I), reinterpret_cast<LPARAM>(&Item));
  }
  SendMessageA(FHandle, TCM_SETCURSEL, static_cast<WPARAM>(Index < FTabs->GetCount() ? Index : -1), 0);
  FSyncing = false;
  Realign();
}

void TCustomTabControl::TabsChanged(TObject*) {
  int Count = FTabs->GetCount();
  if (!HandleAllocated()) {
    // As the window would: the first tab is selected, a selection past the end is lost.
    if (FSavedTabIndex >= Count) FSavedTabIndex = -1;
    if (FSavedTabIndex < 0 && Count == 1) FSavedTabIndex = 0;
    return;
  }
  int Before = static_cast<int>(SendMessageA(FHandle, TCM_GETITEMCOUNT, 0, 0));
  int Index = static_cast<int>(SendMessageA(FHandle, TCM_GETCURSEL, 0, 0));
  SyncTabs();
  if (Before == 0 && Count > 0 && Index < 0) Index = 0;
  SendMessageA(FHandle, TCM_SETCURSEL, static_cast<WPARAM>(Index < Count ? Index : -1), 0);
}

int TCustomTabControl::GetTabIndex() {
  if (!HandleAllocated()) return FSavedTabIndex;
  return static_cast<int>(SendMessageA(FHandle, TCM_GETCURSEL, 0, 0));
}

void TCustomTabControl::SetTabIndex(int Value) {
  if (Value < -1 || Value >= FTabs->GetCount()) Value = -1;
  if (!HandleAllocated()) {
    FSavedTabIndex = Value;
    return;
  }
  SendMessageA(FHandle, TCM_SETCURSEL, static_cast<WPARAM>(Value), 0);
}

void TCustomTabControl::SetMultiLine(bool Value) {
  if (FMultiLine == Value) return;
  FMultiLine = Value;
  if (!Value && (FTabPosition == tpLeft || FTabPosition == tpRight)) FTabPosition = tpTop;
  if (HandleAllocated()) RecreateWnd();
}

void TCustomTabControl::SetRaggedRight(bool Value) {
  if (FRaggedRight == Value) return;
  FRaggedRight = Value;
  if (HandleAllocated()) RecreateWnd();
}

void TCustomTabControl::SetScrollOpposite(bool Value) {
  if (FScrollOpposite == Value) return;
  FScrollOpposite = Value;
  if (Value) FMultiLine = true;
  if (HandleAllocated()) RecreateWnd();
}

void TCustomTabControl::SetHotTrack(bool Value) {
  if (FHotTrack == Value) return;
  FHotTrack = Value;
  if (HandleAllocated()) RecreateWnd();
}

void TCustomTabControl::SetOwnerDraw(bool Value) {
  if (FOwnerDraw == Value) return;
  FOwnerDraw = Value;
  if (HandleAllocated()) RecreateWnd();
}

void TCustomTabControl::SetTabPosition(TTabPosition Value) {
  if (FTabPosition == Value) return;
  FTabPosition = Value;
  // Tabs at the sides are always in several rows (columns).
  if (Value == tpLeft || Value == tpRight) FMultiLine = true;
  if (HandleAllocated()) RecreateWnd();
}

void TCustomTabControl::SetStyle(TTabStyle Value) {
  if (FStyle == Value) return;
  FStyle = Value;
  if (HandleAllocated()) RecreateWnd();
}

void TCustomTabControl::UpdateTabSize() {
  if (!HandleAllocated()) return;
  SendMessageA(FHandle, TCM_SETITEMSIZE, 0, MAKELPARAM(FTabWidth, FTabHeight));
  Realign();
  Invalidate();
}

void TCustomTabControl::SetTabHeight(int Value) {
  Value = std::max(Value, 0);
  if (FTabHeight == Value) return;
  FTabHeight = Value;
  UpdateTabSize();
}

void TCustomTabControl::SetTabWidth(int Value) {
  Value = std::max(Value, 0);
  if (FTabWidth == Value) return;
  bool Recreate = (FTabWidth == 0) != (Value == 0);
  FTabWidth = Value;
  if (Recreate && HandleAllocated())
    RecreateWnd();
  else
    UpdateTabSize();
}

void TCustomTabControl::SetImages(TCustomImageList* Value) {
  if (FImages == Value) return;
  if (FImages) FImages->RemoveFreeNotification(this);
  FImages = Value;
  if (Value) Value->FreeNotification(this);
  if (HandleAllocated()) {
    SendMessageA(FHandle, TCM_SETIMAGELIST, 0, reinterpret_cast<LPARAM>(Value));
    Realign();
    Invalidate();
  }
}

void TCustomTabControl::Notification(TComponent* AComponent, TOperation Operation) {
  TCustomControl::Notification(AComponent, Operation);
  if (Operation == opRemove && AComponent == FImages) SetImages(nullptr);
}

int TCustomTabControl::IndexOfTabAt(int X, int Y) {
  if (!EnsureHandle()) return -1;
  TCHITTESTINFO Info;
  Info.pt = Point(X, Y);
  return static_cast<int>(SendMessageA(FHandle, TCM_HITTEST, 0, reinterpret_cast<LPARAM>(&Info)));
}

THitTests TCustomTabControl::GetHitTestInfoAt(int X, int Y) {
  THitTests Result = 0;
  TRect R = GetClientRect();
  if (X < R.left) Result |= htToLeft;
  if (X >= R.right) Result |= htToRight;
  if (Y < R.top) Result |= htAbove;
  if (Y >= R.bottom) Result |= htBelow;
  if (Result) return Result;
  if (!EnsureHandle()) return htNowhere;
  TCHITTESTINFO Info;
  Info.pt = Point(X, Y);
  SendMessageA(FHandle, TCM_HITTEST, 0, reinterpret_cast<LPARAM>(&Info));
  if (Info.flags & TCHT_NOWHERE) Result |= htNowhere;
  if ((Info.flags & TCHT_ONITEM) == TCHT_ONITEM) Result |= htOnItem;
  else if (Info.flags & TCHT_ONITEMICON) Result |= htOnIcon;
  else if (Info.flags & TCHT_ONITEMLABEL) Result |= htOnLabel;
  return Result;
}

TRect TCustomTabControl::TabRect(int Index) {
  TRect R{};
  if (EnsureHandle()) SendMessageA(FHandle, TCM_GETITEMRECT, static_cast<WPARAM>(Index), reinterpret_cast<LPARAM>(&R));
  return R;
}

int TCustomTabControl::RowCount() {
  if (!EnsureHandle()) return 0;
  return static_cast<int>(SendMessageA(FHandle, TCM_GETROWCOUNT, 0, 0));
}

void TCustomTabControl::ScrollTabs(int Delta) {
  if (!EnsureHandle() || FMultiLine) return;
  // The first shown tab is the first whose rectangle starts inside the control.
  int First = 0;
  for (int I = 0; I < FTabs->GetCount(); ++I)
    if (TabRect(I).right <= 0) First = I + 1;
  int Pos = std::max(0, std::min(First + Delta, FTabs->GetCount() - 1));
  SendMessageA(FHandle, WM_HSCROLL, MAKEWPARAM(SB_THUMBPOSITION, Pos), 0);
}

TRect TCustomTabControl::DisplayRect() {
  TRect R = TControl::GetClientRect();
  if (EnsureHandle()) SendMessageA(FHandle, TCM_ADJUSTRECT, FALSE, reinterpret_cast<LPARAM>(&R));
  return R;
}

void TCustomTabControl::AdjustClientRect(TRect& Rect) {
  Rect = DisplayRect();
  TCustomControl::AdjustClientRect(Rect);
}

bool TCustomTabControl::CanChange() {
  bool Allow = true;
  if (OnChanging) OnChanging(this, Allow);
  return Allow;
}

bool TCustomTabControl::CanShowTab(int) { return true; }

void TCustomTabControl::Change() {
  if (OnChange) OnChange(this);
}

void TCustomTabControl::DrawTab(int TabIndex, const TRect& Rect, bool Active) {
  if (OnDrawTab) {
    OnDrawTab(this, TabIndex, Rect, Active);
    return;
  }
  GetCanvas()->FillRect(Rect);
}

int TCustomTabControl::GetImageIndex(int TabIndex) {
  int Result = TabIndex;
  if (OnGetImageIndex) OnGetImageIndex(this, TabIndex, Result);
  return Result;
}

void TCustomTabControl::UpdateTabImages() {
  if (!HandleAllocated()) return;
  for (int I = 0; I < FTabs->GetCount(); ++I) {
    TCITEMA Item;
    Item.mask = TCIF_IMAGE;
    Item.iImage = GetImageIndex(I);
    SendMessageA(FHandle, TCM_SETITEMA, static_cast<WPARAM>(I), reinterpret_cast<LPARAM>(&Item));
  }
  Invalidate();
}

void TCustomTabControl::PaintWindow(HDC DC) { TWinControl::PaintWindow(DC); }

void TCustomTabControl::WndProc(TMessage& Message) {
  switch (Message.Msg) {
    case CN_NOTIFY: {
      auto* Header = reinterpret_cast<const NMHDR*>(Message.LParam);
      if (!Header) break;
      if (Header->code == TCN_SELCHANGE) {
        if (!FSyncing) Change();
        Message.Result = 0;
        return;
      }
      if (Header->code == TCN_SELCHANGING) {
        Message.Result = CanChange() ? 0 : 1;
        return;
      }
      break;
    }
    case CN_DRAWITEM: {
      auto* Draw = reinterpret_cast<const DRAWITEMSTRUCT*>(Message.LParam);
      if (!Draw) break;
      TCanvas* C = GetCanvas();
      if (auto* CC = dynamic_cast<TControlCanvas*>(C)) CC->FreeHandle();
      C->Lock();
      int Saved = SaveDC(Draw->hDC);
      C->SetHandle(Draw->hDC);
      C->SetFont(GetFont());
      C->SetBrush(GetBrush());
      try {
        DrawTab(static_cast<int>(Draw->itemID), Draw->rcItem, (Draw->itemState & ODS_SELECTED) != 0);
      } catch (...) {
        C->SetHandle(nullptr);
        RestoreDC(Draw->hDC, Saved);
        C->Unlock();
        throw;
      }
      C->SetHandle(nullptr);
      RestoreDC(Draw->hDC, Saved);
      C->Unlock();
      Message.Result = 1;
      return;
    }
    case WM_ERASEBKGND:
      // The strip around the tabs is the window class's (button face), whatever the parent's colour.
      DefaultHandler(Message);
      return;
    case WM_SIZE:
      TCustomControl::WndProc(Message);
      Realign();
      Invalidate();
      return;
    case CM_FONTCHANGED:
      TCustomControl::WndProc(Message);
      Realign();
      Invalidate();
      return;
    case CM_TABSTOPCHANGED:
      // Whether a click focuses the tabs is a style of the window.
      TCustomControl::WndProc(Message);
      if (HandleAllocated()) RecreateWnd();
      return;
    case CM_DIALOGCHAR: {
      // An accelerator in a tab caption selects that tab.
      for (int I = 0; I < FTabs->GetCount(); ++I)
        if (IsAccel(static_cast<Word>(Message.WParam), FTabs->Get(I)) && CanShowTab(I) && CanFocus()) {
          Message.Result = 1;
          if (I != GetTabIndex() && CanChange()) {
            SetTabIndex(I);
            Change();
          }
          return;
        }
      break;
    }
    default: break;
  }
  TCustomControl::WndProc(Message);
}

// ---------------------------------------------------------------------------------------------
// TTabSheet

TTabSheet::TTabSheet(TComponent* AOwner) : TWinControl(AOwner) {
  SetAlign(alClient);
  FControlStyle |= csAcceptsControls | csNoDesignVisible;
  FVisible = false;
}

TTabSheet::~TTabSheet() {
  if (FPageControl) FPageControl->RemovePage(this);
  SetParent(nullptr);
}

void TTabSheet::CreateParams(TCreateParams& Params) {
  TWinControl::CreateParams(Params);
  Params.WindowClass.style &= ~(CS_HREDRAW | CS_VREDRAW);
}

void TTabSheet::SetPageControl(TPageControl* Value) {
  if (FPageControl == Value) return;
  if (FPageControl) FPageControl->RemovePage(this);
  SetParent(Value);
  if (Value) Value->InsertPage(this);
}

int TTabSheet::GetPageIndex() {
  if (!FPageControl) return -1;
  auto& Pages = FPageControl->FPages;
  auto It = std::find(Pages.begin(), Pages.end(), this);
  return It == Pages.end() ? -1 : static_cast<int>(It - Pages.begin());
}

void TTabSheet::SetPageIndex(int Value) {
  if (!FPageControl) return;
  int Cur = GetPageIndex();
  auto& Pages = FPageControl->FPages;
  Value = std::max(0, std::min(Value, static_cast<int>(Pages.size()) - 1));
  if (Cur < 0 || Cur == Value) return;
  int OldTab = GetTabIndex();
  Pages.erase(Pages.begin() + Cur);
  Pages.insert(Pages.begin() + Value, this);
  if (FTabShowing) FPageControl->MoveTab(OldTab, GetTabIndex());
}

int TTabSheet::GetTabIndex() {
  if (!FTabShowing || !FPageControl) return -1;
  int Result = 0;
  for (TTabSheet* P : FPageControl->FPages) {
    if (P == this) return Result;
    if (P->FTabShowing) ++Result;
  }
  return -1;
}

void TTabSheet::SetTabVisible(bool Value) {
  if (FTabVisible == Value) return;
  FTabVisible = Value;
  if (!FPageControl) return;
  if (Value && !FTabShowing) {
    FTabShowing = true;
    FPageControl->InsertTab(this);
  } else if (!Value && FTabShowing) {
    int Index = GetTabIndex();
    FTabShowing = false;
    FPageControl->DeleteTab(this, Index);
  }
}

void TTabSheet::SetImageIndex(int Value) {
  if (FImageIndex == Value) return;
  FImageIndex = Value;
  if (FTabShowing && FPageControl) FPageControl->UpdateTabImages();
}

void TTabSheet::SetHighlighted(bool Value) {
  if (FHighlighted == Value) return;
  FHighlighted = Value;
  if (FTabShowing && FPageControl && FPageControl->HandleAllocated()) {
    TCITEMA Item;
    Item.mask = TCIF_STATE;
    Item.dwStateMask = TCIS_HIGHLIGHTED;
    Item.dwState = Value ? TCIS_HIGHLIGHTED : 0;
    SendMessageA(FPageControl->GetHandle(), TCM_SETITEMA, static_cast<WPARAM>(GetTabIndex()),
                 reinterpret_cast<LPARAM>(&Item));
  }
}

void TTabSheet::DoShow() {
  if (OnShow) OnShow(this);
}

void TTabSheet::DoHide() {
  if (OnHide) OnHide(this);
}

void TTabSheet::WndProc(TMessage& Message) {
  if (Message.Msg == CM_TEXTCHANGED && FTabShowing && FPageControl) {
    TWinControl::WndProc(Message);
    FPageControl->UpdateTab(this);
    return;
  }
  TWinControl::WndProc(Message);
}

// ---------------------------------------------------------------------------------------------
// TPageControl

TPageControl::TPageControl(TComponent* AOwner) : TCustomTabControl(AOwner) {
  FControlStyle = csDoubleClicks | csOpaque;
}

TPageControl::~TPageControl() {
  for (TTabSheet* P : FPages) {
    P->FPageControl = nullptr;
    P->FTabShowing = false;
  }
  FPages.clear();
  FActivePage = nullptr;
}

TTabSheet* TPageControl::GetPage(int Index) const {
  if (Index < 0 || Index >= static_cast<int>(FPages.size())) throw EListError(RtlConsts::SListIndexError, {Index});
  return FPages[static_cast<size_t>(Index)];
}

int TPageControl::GetActivePageIndex() const {
  if (!FActivePage) return -1;
  auto It = std::find(FPages.begin(), FPages.end(), FActivePage);
  return It == FPages.end() ? -1 : static_cast<int>(It - FPages.begin());
}

void TPageControl::SetActivePageIndex(int Value) {
  if (Value >= 0 && Value < static_cast<int>(FPages.size()))
    SetActivePage(FPages[static_cast<size_t>(Value)]);
  else
    SetActivePage(nullptr);
}

void TPageControl::InsertPage(TTabSheet* Page) {
  FPages.push_back(Page);
  Page->FPageControl = this;
  if (Page->FTabVisible) {
    Page->FTabShowing = true;
    InsertTab(Page);
  }
}

void TPageControl::RemovePage(TTabSheet* Page) {
  bool WasActive = Page == FActivePage;
  TTabSheet* Next = FindNextPage(Page, true, true);
  if (Next == Page) Next = nullptr;
  if (Page->FTabShowing) {
    int Index = Page->GetTabIndex();
    Page->FTabShowing = false;
    GetTabs()->Delete(Index);
  }
  Page->FPageControl = nullptr;
  FPages.erase(std::remove(FPages.begin(), FPages.end(), Page), FPages.end());
  if (WasActive) {
    FActivePage = nullptr;
    SetActivePage(Next);
  } else {
    TCustomTabControl::SetTabIndex(FActivePage ? FActivePage->GetTabIndex() : -1);
  }
}

void TPageControl::InsertTab(TTabSheet* Page) {
  GetTabs()->InsertObject(Page->GetTabIndex(), Page->GetCaption(), Page);
  if (FActivePage && FActivePage->FTabShowing)
    TCustomTabControl::SetTabIndex(FActivePage->GetTabIndex());
  else
    UpdateActivePage();
}

void TPageControl::DeleteTab(TTabSheet* Page, int Index) {
  GetTabs()->Delete(Index);
  if (Page == FActivePage) {
    if (Index >= GetTabs()->GetCount()) Index = GetTabs()->GetCount() - 1;
    TCustomTabControl::SetTabIndex(Index);
    UpdateActivePage();
  } else {
    TCustomTabControl::SetTabIndex(FActivePage ? FActivePage->GetTabIndex() : -1);
  }
}

void TPageControl::MoveTab(int CurIndex, int NewIndex) {
  GetTabs()->Move(CurIndex, NewIndex);
  TCustomTabControl::SetTabIndex(FActivePage ? FActivePage->GetTabIndex() : -1);
}

void TPageControl::UpdateTab(TTabSheet* Page) {
  int Index = Page->GetTabIndex();
  if (Index >= 0) GetTabs()->Put(Index, Page->GetCaption());
  TCustomTabControl::SetTabIndex(FActivePage ? FActivePage->GetTabIndex() : -1);
}

void TPageControl::UpdateActivePage() {
  int Index = GetTabIndex();
  if (Index >= 0 && Index < GetTabs()->GetCount())
    SetActivePage(static_cast<TTabSheet*>(GetTabs()->GetObject(Index)));
  else
    SetActivePage(nullptr);
}

void TPageControl::ChangeActivePage(TTabSheet* Page) {
  if (FActivePage == Page) return;
  TTabSheet* Old = FActivePage;
  // The focus does not stay on a page that hides.
  if (Old && Old->HandleAllocated()) {
    HWND Focus = GetFocus();
    if (Focus && (Focus == Old->GetHandle() || IsChild(Old->GetHandle(), Focus)) && CanFocus()) SetFocus();
  }
  FActivePage = Page;
  if (Page) {
    Page->BringToFront();
    Page->SetVisible(true);
  }
  if (Old && Old != Page && Old->FPageControl == this) {
    Old->SetVisible(false);
    Old->DoHide();
  }
  if (Page) Page->DoShow();
}

void TPageControl::SetActivePage(TTabSheet* Page) {
  if (Page && Page->FPageControl != this) return;
  ChangeActivePage(Page);
  if (!Page)
    TCustomTabControl::SetTabIndex(-1);
  else if (Page == FActivePage)
    TCustomTabControl::SetTabIndex(Page->GetTabIndex());
}

void TPageControl::SetTabIndex(int Value) {
  TCustomTabControl::SetTabIndex(Value);
  UpdateActivePage();
}

TTabSheet* TPageControl::FindNextPage(TTabSheet* CurPage, bool GoForward, bool CheckTabVisible) {
  int Count = static_cast<int>(FPages.size());
  if (Count == 0) return nullptr;
  auto It = std::find(FPages.begin(), FPages.end(), CurPage);
  int Start = It == FPages.end() ? -1 : static_cast<int>(It - FPages.begin());
  if (Start < 0) Start = GoForward ? Count - 1 : 0;
  int I = Start;
  do {
    if (GoForward) {
      if (++I == Count) I = 0;
    } else {
      if (I == 0) I = Count;
      --I;
    }
    TTabSheet* P = FPages[static_cast<size_t>(I)];
    if (!CheckTabVisible || P->FTabVisible) return P;
  } while (I != Start);
  return nullptr;
}

void TPageControl::SelectNextPage(bool GoForward, bool CheckTabVisible) {
  TTabSheet* Page = FindNextPage(FActivePage, GoForward, CheckTabVisible);
  if (Page && Page != FActivePage && CanChange()) {
    SetActivePage(Page);
    Change();
  }
}

bool TPageControl::CanShowTab(int Index) {
  return Index >= 0 && Index < static_cast<int>(FPages.size()) && FPages[static_cast<size_t>(Index)]->FTabVisible;
}

void TPageControl::Change() {
  int Index = GetTabIndex();
  if (Index >= 0 && Index < GetTabs()->GetCount())
    ChangeActivePage(static_cast<TTabSheet*>(GetTabs()->GetObject(Index)));
  TCustomTabControl::Change();
}

int TPageControl::GetImageIndex(int TabIndex) {
  if (OnGetImageIndex) return TCustomTabControl::GetImageIndex(TabIndex);
  if (TabIndex < 0 || TabIndex >= GetTabs()->GetCount()) return -1;
  auto* Page = static_cast<TTabSheet*>(GetTabs()->GetObject(TabIndex));
  return Page ? Page->GetImageIndex() : -1;
}

void TPageControl::WndProc(TMessage& Message) {
  if (Message.Msg == CM_DIALOGKEY && Message.WParam == VK_TAB && (GetKeyState(VK_CONTROL) & 0x8000) &&
      HandleAllocated()) {
    HWND Focus = GetFocus();
    if (Focus == FHandle || IsChild(FHandle, Focus)) {
      SelectNextPage((GetKeyState(VK_SHIFT) & 0x8000) == 0);
      Message.Result = 1;
      return;
    }
  }
  TCustomTabControl::WndProc(Message);
}
