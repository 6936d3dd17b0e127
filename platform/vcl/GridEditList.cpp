#include "platform/vcl/GridEditList.h"

#include <algorithm>
#include <cstdint>

#include "platform/gdi/Gdi.h"

namespace {

// The pick list's room around its items: the one-pixel border on each side.
constexpr int ListFrame = 2;
// Room around the widest item's text.
constexpr int ListTextPadding = 6;

}  // namespace

// ---------------------------------------------------------------------------------------------
// TPopupListbox

TPopupListbox::TPopupListbox(TComponent* AOwner) : TCustomListBox(AOwner) { FVisible = false; }

void TPopupListbox::CreateParams(TCreateParams& Params) {
  TCustomListBox::CreateParams(Params);
  Params.Style = (Params.Style & ~(WS_CHILD | WS_HSCROLL | WS_TABSTOP | WS_VISIBLE)) | WS_POPUP | WS_BORDER;
  Params.ExStyle = WS_EX_TOOLWINDOW | WS_EX_TOPMOST | WS_EX_NOACTIVATE;
  Params.WindowClass.style |= CS_SAVEBITS;
  Params.WndParent = nullptr;
}

TInplaceEditList* TPopupListbox::Editor() const { return dynamic_cast<TInplaceEditList*>(GetOwner()); }

void TPopupListbox::ChooseAt(int X, int Y) {
  int I = ItemAtPos(Point(X, Y), true);
  if (I >= 0) SetItemIndex(I);
}

void TPopupListbox::ShowAt(const TRect& Bounds) {
  HWND Wnd = GetHandle();
  SetBounds(Bounds.left, Bounds.top, Bounds.right - Bounds.left, Bounds.bottom - Bounds.top);
  SetWindowPos(Wnd, HWND_TOPMOST, Bounds.left, Bounds.top, Bounds.right - Bounds.left, Bounds.bottom - Bounds.top,
               SWP_NOACTIVATE | SWP_SHOWWINDOW);
  FVisible = true;
  FShowing = true;
  Invalidate();
}

void TPopupListbox::HideList() {
  FVisible = false;
  FShowing = false;
  if (!HandleAllocated()) return;
  if (FTracking) {
    FTracking = false;
    if (GetCapture() == FHandle) ReleaseCapture();
  }
  SetWindowPos(FHandle, nullptr, 0, 0, 0, 0,
               SWP_NOZORDER | SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE | SWP_HIDEWINDOW);
}

void TPopupListbox::WndProc(TMessage& Message) {
  switch (Message.Msg) {
    case WM_MOUSEACTIVATE:
      Message.Result = MA_NOACTIVATE;
      return;
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
      // The list box's own handling would take the focus from the editor.
      FTracking = true;
      SetCapture(GetHandle());
      ChooseAt(GET_X_LPARAM(Message.LParam), GET_Y_LPARAM(Message.LParam));
      Message.Result = 0;
      return;
    case WM_MOUSEMOVE:
      if (FTracking) {
        ChooseAt(GET_X_LPARAM(Message.LParam), GET_Y_LPARAM(Message.LParam));
        Message.Result = 0;
        return;
      }
      break;
    case WM_LBUTTONUP:
      if (FTracking) {
        FTracking = false;
        if (GetCapture() == FHandle) ReleaseCapture();
        POINT P{GET_X_LPARAM(Message.LParam), GET_Y_LPARAM(Message.LParam)};
        TRect Client = GetClientRect();
        bool Inside = PtInRect(&Client, P) != FALSE;
        if (Inside) ChooseAt(P.x, P.y);
        if (TInplaceEditList* E = Editor()) E->CloseUp(Inside);
        Message.Result = 0;
        return;
      }
      break;
    case WM_CANCELMODE:
      if (FTracking) {
        FTracking = false;
        if (GetCapture() == FHandle) ReleaseCapture();
      }
      break;
    case WM_CAPTURECHANGED:
      if (reinterpret_cast<HWND>(Message.LParam) != FHandle) FTracking = false;
      break;
    default:
      break;
  }
  TCustomListBox::WndProc(Message);
}

// ---------------------------------------------------------------------------------------------
// TInplaceEditList

TInplaceEditList::TInplaceEditList(TComponent* AOwner)
    : TInplaceEdit(AOwner), FButtonWidth(GetSystemMetrics(SM_CXVSCROLL)) {
  FPickList = new TPopupListbox(this);
  FActiveList = FPickList;
}

TInplaceEditList::~TInplaceEditList() {
  FListVisible = false;
  FActiveList = nullptr;
  TPopupListbox* L = FPickList;
  FPickList = nullptr;
  delete L;
}

void TInplaceEditList::SetEditStyle(TEditStyle Value) {
  if (Value == FEditStyle) return;
  CloseUp(false);
  StopTracking();
  FEditStyle = Value;
  UpdateTextArea();
  if (HandleAllocated()) Invalidate();
}

void TInplaceEditList::SetButtonWidth(int Value) {
  Value = std::max(Value, 0);
  if (Value == FButtonWidth) return;
  FButtonWidth = Value;
  UpdateTextArea();
  if (HandleAllocated()) Invalidate();
}

void TInplaceEditList::SetActiveList(TWinControl* Value) {
  if (Value == FActiveList) return;
  CloseUp(false);
  FActiveList = Value;
  if (Value && Value != FPickList) Value->FreeNotification(this);
  if (HandleAllocated() && FEditStyle == esPickList) {
    RECT R = ButtonRect();
    InvalidateRect(FHandle, &R, FALSE);
  }
}

void TInplaceEditList::Notification(TComponent* AComponent, TOperation Operation) {
  TInplaceEdit::Notification(AComponent, Operation);
  if (Operation != opRemove) return;
  if (AComponent == FActiveList) {
    FActiveList = nullptr;
    FListVisible = false;
  }
  if (AComponent == FPickList) FPickList = nullptr;
}

TRect TInplaceEditList::ButtonRect() {
  if (FEditStyle == esSimple) return TRect{0, 0, 0, 0};
  TRect C = GetClientRect();
  return TRect{std::max<LONG>(0, C.right - FButtonWidth), 0, C.right, C.bottom};
}

bool TInplaceEditList::OverButton(const TPoint& P) {
  TRect R = ButtonRect();
  return PtInRect(&R, P) != FALSE;
}

void TInplaceEditList::UpdateTextArea() {
  if (!HandleAllocated()) return;
  WORD Right = static_cast<WORD>(FEditStyle == esSimple ? 0 : FButtonWidth);
  SendMessageA(FHandle, EM_SETMARGINS, EC_RIGHTMARGIN, MAKELONG(0, Right));
}

void TInplaceEditList::WMSetFont(TMessage& Message) {
  TInplaceEdit::WMSetFont(Message);
  UpdateTextArea();
}

// ----- contents -----

void TInplaceEditList::UpdateContents() {
  CloseUp(false);
  FPickListLoaded = false;
  SetActiveList(FPickList);
  if (TCustomGrid* G = GetGrid()) SetEditStyle(G->GetEditStyle(G->GetCol(), G->GetRow()));
  TInplaceEdit::UpdateContents();
}

void TInplaceEditList::BoundsChanged() {
  // The grid scrolled or the editor moved to another cell: the list belongs to the old place.
  CloseUp(false);
  TInplaceEdit::BoundsChanged();
}

void TInplaceEditList::DoGetPickListItems() {
  if (FPickListLoaded || !FPickList) return;
  TCustomGrid* G = GetGrid();
  if (OnGetPickListItems && G) {
    TStrings* Items = FPickList->GetItems();
    Items->BeginUpdate();
    try {
      Items->Clear();
      OnGetPickListItems(G->GetCol(), G->GetRow(), Items);
    } catch (...) {
      Items->EndUpdate();
      throw;
    }
    Items->EndUpdate();
  }
  FPickListLoaded = FPickList->GetItems()->GetCount() > 0;
}

void TInplaceEditList::DoEditButtonClick() {
  if (!OnEditButtonClick) return;
  TCustomGrid* G = GetGrid();
  OnEditButtonClick(G ? static_cast<TObject*>(G) : this);
}

void TInplaceEditList::AcceptValue(const String& Value) {
  if (GetReadOnly()) return;
  // The text's change writes the cell; the same text writes it here.
  if (GetText() != Value)
    SetText(Value);
  else if (TCustomGrid* G = GetGrid())
    G->SetEditText(G->GetCol(), G->GetRow(), Value);
  if (HandleAllocated()) SelectAll();
}

// ----- the list -----

void TInplaceEditList::DropDown() {
  if (FListVisible || !FActiveList || !HandleAllocated()) return;
  RECT E{};
  GetWindowRect(FHandle, &E);
  int W = E.right - E.left;
  int H = FActiveList->GetHeight();
  if (FActiveList == FPickList) {
    DoGetPickListItems();
    FPickList->SetColor(GetColor());
    FPickList->SetFont(GetFont());
    HWND ListWnd = FPickList->GetHandle();
    TStrings* Items = FPickList->GetItems();
    int Count = Items->GetCount();
    int Rows = (FDropDownRows > 0 && Count > FDropDownRows) ? FDropDownRows : Count;
    H = std::max(Rows, 1) * std::max(FPickList->GetItemHeight(), 1) + ListFrame;
    String Text = GetText();
    FPickList->SetItemIndex(Text.empty() ? -1 : Items->IndexOf(Text));
    // As wide as the editor, or as the widest value.
    int Widest = 0;
    HDC DC = GetDC(ListWnd);
    HGDIOBJ Old = SelectObject(DC, GetFont()->GetHandle());
    for (int I = 0; I < Count; ++I) {
      String S = Items->Get(I);
      SIZE Ext{};
      GetTextExtentPoint32A(DC, S.c_str(), static_cast<int>(S.size()), &Ext);
      Widest = std::max<int>(Widest, Ext.cx);
    }
    SelectObject(DC, Old);
    ReleaseDC(ListWnd, DC);
    int Need = Widest + ListTextPadding + ListFrame + (Count > Rows ? GetSystemMetrics(SM_CXVSCROLL) : 0);
    W = std::max(W, Need);
  }
  // Below the editor, or above it when the screen ends first.
  int X = E.left, Y = E.bottom;
  MONITORINFO MI{};
  MI.cbSize = sizeof(MI);
  if (GetMonitorInfoA(MonitorFromWindow(FHandle, MONITOR_DEFAULTTONEAREST), &MI)) {
    if (Y + H > MI.rcWork.bottom && E.top - H >= MI.rcWork.top) Y = E.top - H;
    if (X + W > MI.rcWork.right) X = std::max<int>(MI.rcWork.left, MI.rcWork.right - W);
  }
  TRect Where = Bounds(X, Y, W, H);
  if (auto* Popup = dynamic_cast<TPopupListbox*>(FActiveList)) {
    Popup->ShowAt(Where);
  } else {
    FActiveList->SetBounds(X, Y, W, H);
    SetWindowPos(FActiveList->GetHandle(), HWND_TOPMOST, X, Y, W, H, SWP_NOACTIVATE | SWP_SHOWWINDOW);
  }
  FListVisible = true;
  RECT B = ButtonRect();
  InvalidateRect(FHandle, &B, FALSE);
  if (GetFocus() != FHandle) ::SetFocus(FHandle);
}

void TInplaceEditList::CloseUp(bool Accept) {
  if (!FListVisible) return;
  // First, so that the focus and cancel messages that closing brings find the list closed.
  FListVisible = false;
  StopTracking();
  String Value;
  bool Chosen = false;
  if (FActiveList == FPickList && FPickList) {
    int I = FPickList->GetItemIndex();
    TStrings* Items = FPickList->GetItems();
    if (I >= 0 && I < Items->GetCount()) {
      Value = Items->Get(I);
      Chosen = true;
    }
  }
  if (FActiveList) {
    if (auto* Popup = dynamic_cast<TPopupListbox*>(FActiveList)) {
      Popup->HideList();
    } else if (FActiveList->HandleAllocated()) {
      HWND L = FActiveList->GetHandle();
      if (GetCapture() == L) SendMessageA(L, WM_CANCELMODE, 0, 0);
      SetWindowPos(L, nullptr, 0, 0, 0, 0, SWP_NOZORDER | SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE | SWP_HIDEWINDOW);
    }
  }
  if (HandleAllocated()) {
    RECT B = ButtonRect();
    InvalidateRect(FHandle, &B, FALSE);
  }
  if (Accept && Chosen) AcceptValue(Value);
}

void TInplaceEditList::DoDropDownKeys(Word& Key, TShiftState Shift) {
  switch (Key) {
    case VK_UP:
    case VK_DOWN:
      if (Shift & ssAlt) {
        if (FListVisible) CloseUp(true);
        else DropDown();
        Key = 0;
      }
      break;
    case VK_F4:
      if (!(Shift & ssAlt)) {  // Alt+F4 stays the window's
        if (FListVisible) CloseUp(true);
        else DropDown();
        Key = 0;
      }
      break;
    case VK_RETURN:
    case VK_ESCAPE:
      if (FListVisible && !(Shift & ssAlt)) {
        CloseUp(Key == VK_RETURN);
        Key = 0;
      }
      break;
    default:
      break;
  }
}

// ----- keys and mouse -----

void TInplaceEditList::KeyDown(Word& Key, TShiftState Shift) {
  if (FEditStyle == esEllipsis && Key == VK_RETURN && (Shift & (ssShift | ssAlt | ssCtrl)) == ssCtrl) {
    DoEditButtonClick();
    // The line feed the key makes is not text.
    MSG Pending{};
    if (HandleAllocated() && PeekMessageA(&Pending, FHandle, WM_CHAR, WM_CHAR, PM_NOREMOVE) &&
        (Pending.wParam == '\n' || Pending.wParam == '\r'))
      PeekMessageA(&Pending, FHandle, WM_CHAR, WM_CHAR, PM_REMOVE);
    Key = 0;
    return;
  }
  TInplaceEdit::KeyDown(Key, Shift);
}

void TInplaceEditList::DblClick() {
  TCustomGrid* G = GetGrid();
  if (FEditStyle == esSimple || (G && G->OnDblClick)) {
    TInplaceEdit::DblClick();
    return;
  }
  if (FEditStyle == esEllipsis) {
    DoEditButtonClick();
    return;
  }
  if (FActiveList != FPickList || !FPickList) return;
  DoGetPickListItems();
  TStrings* Items = FPickList->GetItems();
  int Count = Items->GetCount();
  if (Count == 0) return;
  int Next = Items->IndexOf(GetText()) + 1;
  if (Next >= Count) Next = 0;
  FPickList->SetItemIndex(Next);
  AcceptValue(Items->Get(Next));
}

void TInplaceEditList::ButtonPress(int X, int Y) {
  if (!Focused() && CanFocus()) SetFocus();
  if (FListVisible) {
    CloseUp(false);
    return;
  }
  SetCapture(FHandle);
  FTracking = true;
  TrackButton(X, Y);
  if (FEditStyle == esPickList && FActiveList) DropDown();
}

void TInplaceEditList::TrackButton(int X, int Y) {
  bool Now = OverButton(Point(X, Y));
  if (Now == FPressed) return;
  FPressed = Now;
  if (HandleAllocated()) {
    RECT R = ButtonRect();
    InvalidateRect(FHandle, &R, FALSE);
  }
}

void TInplaceEditList::StopTracking() {
  if (!FTracking) return;
  TrackButton(-1, -1);
  FTracking = false;
  if (HandleAllocated() && GetCapture() == FHandle) ReleaseCapture();
}

void TInplaceEditList::WndProc(TMessage& Message) {
  switch (Message.Msg) {
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN:
    case WM_CHAR:
      if (FEditStyle == esPickList) {
        if (Message.Msg != WM_CHAR) {
          Word Key = static_cast<Word>(Message.WParam);
          DoDropDownKeys(Key, KeyDataToShiftState(Message.LParam));
          if (Key == 0) {
            Message.Result = 0;
            return;
          }
        }
        // Everything else typed while the list is open is for the list.
        if (FListVisible && FActiveList && FActiveList->HandleAllocated()) {
          Message.Result = SendMessageA(FActiveList->GetHandle(), Message.Msg, Message.WParam, Message.LParam);
          return;
        }
      }
      break;
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
      if (FEditStyle != esSimple && OverButton(Point(GET_X_LPARAM(Message.LParam), GET_Y_LPARAM(Message.LParam)))) {
        ButtonPress(GET_X_LPARAM(Message.LParam), GET_Y_LPARAM(Message.LParam));
        Message.Result = 0;
        return;
      }
      break;
    case WM_MOUSEMOVE:
      if (FTracking) {
        int X = GET_X_LPARAM(Message.LParam), Y = GET_Y_LPARAM(Message.LParam);
        TrackButton(X, Y);
        // Dragged from the button into the open list: the list takes the press over.
        if (FListVisible && FActiveList && FActiveList->HandleAllocated()) {
          HWND L = FActiveList->GetHandle();
          POINT P{X, Y};
          MapWindowPoints(FHandle, L, &P, 1);
          RECT C{};
          ::GetClientRect(L, &C);
          if (PtInRect(&C, P)) {
            StopTracking();
            SendMessageA(L, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(P.x, P.y));
          }
        }
        Message.Result = 0;
        return;
      }
      break;
    case WM_LBUTTONUP:
      if (FTracking) {
        bool WasPressed = FPressed;
        StopTracking();
        if (WasPressed && FEditStyle == esEllipsis) DoEditButtonClick();
        Message.Result = 0;
        return;
      }
      break;
    case WM_SETCURSOR:
      if (FEditStyle != esSimple && LOWORD(static_cast<std::uintptr_t>(Message.LParam)) == HTCLIENT) {
        POINT P{};
        GetCursorPos(&P);
        ::ScreenToClient(FHandle, &P);
        if (OverButton(Point(P.x, P.y))) {
          ::SetCursor(LoadCursorA(nullptr, IDC_ARROW));
          Message.Result = 1;
          return;
        }
      }
      break;
    case WM_CAPTURECHANGED:
      if (FTracking && reinterpret_cast<HWND>(Message.LParam) != FHandle) {
        FTracking = false;
        TrackButton(-1, -1);
      }
      break;
    case WM_CANCELMODE:
      StopTracking();
      break;
    case WM_KILLFOCUS:
      CloseUp(false);
      StopTracking();
      break;
    case CM_CANCELMODE: {
      auto* Sender = reinterpret_cast<TControl*>(Message.LParam);
      if (Sender != this && Sender != FActiveList) CloseUp(false);
      break;
    }
    case CM_VISIBLECHANGED:
      if (Message.WParam == 0) CloseUp(false);
      break;
    case CM_SHOWINGCHANGED:
      // A parent was hidden: the list must not stay behind on the screen.
      TInplaceEdit::WndProc(Message);
      if (!IsShowing()) CloseUp(false);
      return;
    default:
      break;
  }
  TInplaceEdit::WndProc(Message);
}

void TInplaceEditList::DestroyWnd() {
  CloseUp(false);
  StopTracking();
  TInplaceEdit::DestroyWnd();
}

// ----- painting -----

void TInplaceEditList::WMPaint(TMessage& Message) {
  if (FEditStyle == esSimple) TInplaceEdit::WMPaint(Message);
  else PaintHandler(Message);
}

void TInplaceEditList::PaintWindow(HDC DC) {
  if (FEditStyle == esSimple) {
    TInplaceEdit::PaintWindow(DC);
    return;
  }
  TRect R = ButtonRect();
  PaintButton(DC, R);
  int Saved = SaveDC(DC);
  ExcludeClipRect(DC, R.left, R.top, R.right, R.bottom);
  TInplaceEdit::PaintWindow(DC);
  RestoreDC(DC, Saved);
}

void TInplaceEditList::PaintButton(HDC DC, const TRect& R) {
  if (IsRectEmpty(&R)) return;
  RECT B = R;
  if (FEditStyle == esPickList) {
    UINT Flags = 0;
    if (!FActiveList) Flags = DFCS_INACTIVE;
    else if (FPressed) Flags = DFCS_FLAT | DFCS_PUSHED;
    DrawFrameControl(DC, &B, DFC_SCROLL, Flags | DFCS_SCROLLCOMBOBOX);
    return;
  }
  DrawEdge(DC, &B, EDGE_RAISED, BF_RECT | BF_MIDDLE | (FPressed ? BF_FLAT : 0));
  // Three square dots across the middle, one pixel down and right while pressed.
  int Shift = FPressed ? 1 : 0;
  int X = R.left + (R.right - R.left) / 2 - 1 + Shift;
  int Y = R.top + (R.bottom - R.top) / 2 - 1 + Shift;
  int W = std::max(1, FButtonWidth / 8);
  PatBlt(DC, X, Y, W, W, BLACKNESS);
  PatBlt(DC, X - W * 2, Y, W, W, BLACKNESS);
  PatBlt(DC, X + W * 2, Y, W, W, BLACKNESS);
}
