#include "platform/vcl/ComboBoxCtrlClass.h"

#include <algorithm>
#include <cstring>
#include <vector>

#include "platform/gdi/Gdi.h"
#include "platform/rtl/StrUtils.h"
#include "platform/vcl/Controls.h"
#include "platform/vcl/StdCtrlsConsts.h"
#include "platform/vcl/StdEdit.h"

namespace {

const char SComboProp[] = "QvComboBoxData";
const char SEditProcProp[] = "QvComboEditProc";
const char SListClass[] = "ComboLBox";

struct TCbItem {
  String Text;
  ULONG_PTR Data = 0;
};

struct TCbData {
  HWND Wnd = nullptr;
  HWND Edit = nullptr;
  HWND List = nullptr;
  std::vector<TCbItem> Items;
  int CurSel = -1;
  int Hot = -1;  // highlighted item of the open list
  int Top = 0;
  int ItemHeight = 0;
  int FieldHeight = 0;
  bool HeightSet = false;
  bool FieldSet = false;
  int DropWidth = 0;
  int DropCount = 8;
  bool Dropped = false;
  bool Tracking = false;  // the mouse is captured for the open list
  bool ButtonDown = false;
  bool ExtendedUI = false;
  bool Focus = false;
  HFONT Font = nullptr;
  int HorzExtent = 0;

  DWORD Style() const { return static_cast<DWORD>(GetWindowLongA(Wnd, GWL_STYLE)); }
  // The text as CBS_UPPERCASE / CBS_LOWERCASE have it (as the inner edit converts typing).
  String Cased(const String& S) const {
    DWORD Case = Style() & (CBS_UPPERCASE | CBS_LOWERCASE);
    if (Case == CBS_UPPERCASE) return UpperCase(S);
    if (Case == CBS_LOWERCASE) return LowerCase(S);
    return S;
  }
  bool DropList() const { return (Style() & 3) == CBS_DROPDOWNLIST; }
  bool OwnerDraw() const { return (Style() & (CBS_OWNERDRAWFIXED | CBS_OWNERDRAWVARIABLE)) != 0; }
  bool HasStrings() const { return !OwnerDraw() || (Style() & CBS_HASSTRINGS); }
  int Count() const { return static_cast<int>(Items.size()); }
  bool Valid(int I) const { return I >= 0 && I < Count(); }
};

unsigned char Fold(unsigned char C) {
  if (C >= 'a' && C <= 'z') return static_cast<unsigned char>(C - 32);
  if (C >= 0xE0 && C <= 0xFE && C != 0xF7) return static_cast<unsigned char>(C - 32);
  return C;
}

int CompareNoCase(const String& A, const String& B) {
  size_t N = std::min(A.size(), B.size());
  for (size_t I = 0; I < N; ++I) {
    unsigned char X = Fold(static_cast<unsigned char>(A[I])), Y = Fold(static_cast<unsigned char>(B[I]));
    if (X != Y) return X < Y ? -1 : 1;
  }
  if (A.size() == B.size()) return 0;
  return A.size() < B.size() ? -1 : 1;
}

TCbData* DataOf(HWND Wnd) { return static_cast<TCbData*>(GetPropA(Wnd, SComboProp)); }

void Notify(TCbData* D, int Code) {
  HWND Parent = GetParent(D->Wnd);
  if (!Parent) return;
  SendMessageA(Parent, WM_COMMAND, MAKELONG(static_cast<WORD>(GetDlgCtrlID(D->Wnd)), static_cast<WORD>(Code)),
               reinterpret_cast<LPARAM>(D->Wnd));
}

HGDIOBJ FontOf(TCbData* D) { return D->Font ? static_cast<HGDIOBJ>(D->Font) : GetStockObject(DEFAULT_GUI_FONT); }

int FontHeight(TCbData* D) {
  HDC DC = GetDC(D->Wnd);
  HGDIOBJ Old = SelectObject(DC, FontOf(D));
  TEXTMETRICA TM{};
  GetTextMetricsA(DC, &TM);
  SelectObject(DC, Old);
  ReleaseDC(D->Wnd, DC);
  return std::max<int>(1, TM.tmHeight);
}

// Owner-drawn heights come from the parent (WM_MEASUREITEM, itemID -1 for the field).
int Measure(TCbData* D, int Index) {
  int H = FontHeight(D);
  HWND Parent = GetParent(D->Wnd);
  if (D->OwnerDraw() && Parent) {
    MEASUREITEMSTRUCT M;
    M.CtlType = ODT_COMBOBOX;
    M.CtlID = static_cast<UINT>(GetDlgCtrlID(D->Wnd));
    M.itemID = static_cast<UINT>(Index);
    M.itemHeight = static_cast<UINT>(H);
    SendMessageA(Parent, WM_MEASUREITEM, M.CtlID, reinterpret_cast<LPARAM>(&M));
    H = static_cast<int>(M.itemHeight);
  }
  return std::clamp(H, 1, 255);
}

int ItemHeight(TCbData* D) {
  if (!D->HeightSet) {
    D->ItemHeight = Measure(D, 0);
    D->HeightSet = true;
  }
  return D->ItemHeight;
}

int FieldHeight(TCbData* D) {
  if (!D->FieldSet) {
    D->FieldHeight = Measure(D, -1);
    D->FieldSet = true;
  }
  return D->FieldHeight;
}

RECT Client(HWND Wnd) {
  RECT R;
  GetClientRect(Wnd, &R);
  return R;
}

RECT ButtonRect(TCbData* D) {
  RECT C = Client(D->Wnd);
  int W = GetSystemMetrics(SM_CXVSCROLL);
  return RECT{std::max<LONG>(2, C.right - 2 - W), 2, std::max<LONG>(2, C.right - 2), std::max<LONG>(2, C.bottom - 2)};
}

RECT FieldRect(TCbData* D) {
  RECT C = Client(D->Wnd);
  RECT B = ButtonRect(D);
  return RECT{2, 2, B.left, std::max<LONG>(2, C.bottom - 2)};
}

int VisibleRows(TCbData* D) { return std::max(1, std::min(D->DropCount, D->Count())); }

void SetEditText(TCbData* D, const String& S) {
  if (!D->Edit) return;
  SetWindowTextA(D->Edit, S.c_str());
  SendMessageA(D->Edit, EM_SETSEL, 0, -1);
}

void UpdateListScroll(TCbData* D) {
  if (!D->List) return;
  SCROLLINFO SI;
  SI.fMask = SIF_RANGE | SIF_PAGE | SIF_POS;
  SI.nMin = 0;
  SI.nMax = D->Count() > VisibleRows(D) ? D->Count() - 1 : 0;
  SI.nPage = D->Count() > VisibleRows(D) ? static_cast<UINT>(VisibleRows(D)) : 0;
  SI.nPos = D->Top;
  SetScrollInfo(D->List, SB_VERT, &SI, TRUE);
}

void SetTop(TCbData* D, int Top) {
  int NewTop = std::clamp(Top, 0, std::max(0, D->Count() - VisibleRows(D)));
  if (NewTop == D->Top) return;
  D->Top = NewTop;
  UpdateListScroll(D);
  if (D->List) InvalidateRect(D->List, nullptr, TRUE);
}

void ShowInList(TCbData* D, int I) {
  if (!D->Valid(I)) return;
  if (I < D->Top)
    SetTop(D, I);
  else if (I >= D->Top + VisibleRows(D))
    SetTop(D, I - VisibleRows(D) + 1);
}

void SetCurSel(TCbData* D, int I) {
  if (!D->Valid(I)) I = -1;
  D->CurSel = I;
  D->Hot = I;
  if (D->Edit) SetEditText(D, I >= 0 && D->HasStrings() ? D->Items[static_cast<size_t>(I)].Text : String());
  ShowInList(D, I);
  InvalidateRect(D->Wnd, nullptr, TRUE);
  if (D->List) InvalidateRect(D->List, nullptr, TRUE);
}

void DrawOwnerItem(TCbData* D, HDC DC, int I, RECT R, UINT State) {
  HWND Parent = GetParent(D->Wnd);
  if (!Parent) return;
  DRAWITEMSTRUCT S;
  S.CtlType = ODT_COMBOBOX;
  S.CtlID = static_cast<UINT>(GetDlgCtrlID(D->Wnd));
  S.itemID = static_cast<UINT>(I);
  S.itemAction = ODA_DRAWENTIRE;
  S.itemState = State | (IsWindowEnabled(D->Wnd) ? 0 : ODS_DISABLED);
  S.hwndItem = D->Wnd;
  S.hDC = DC;
  S.rcItem = R;
  if (D->Valid(I)) S.itemData = D->Items[static_cast<size_t>(I)].Data;
  int Saved = SaveDC(DC);
  IntersectClipRect(DC, R.left, R.top, R.right, R.bottom);
  SendMessageA(Parent, WM_DRAWITEM, S.CtlID, reinterpret_cast<LPARAM>(&S));
  RestoreDC(DC, Saved);
}

void DrawTextItem(TCbData* D, HDC DC, int I, RECT R, bool Selected, HBRUSH Back) {
  FillRect(DC, &R, Selected ? GetSysColorBrush(COLOR_HIGHLIGHT) : Back);
  if (!D->Valid(I)) return;
  SetBkMode(DC, TRANSPARENT);
  COLORREF Old = SetTextColor(DC, Selected ? GetSysColor(COLOR_HIGHLIGHTTEXT)
                                           : GetSysColor(IsWindowEnabled(D->Wnd) ? COLOR_WINDOWTEXT : COLOR_GRAYTEXT));
  RECT T = R;
  T.left += 2;
  const String& S = D->Items[static_cast<size_t>(I)].Text;
  DrawTextA(DC, S.c_str(), static_cast<int>(S.size()), &T, DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX);
  SetTextColor(DC, Old);
}

HBRUSH Background(TCbData* D, HDC DC) {
  HBRUSH Back = nullptr;
  if (HWND Parent = GetParent(D->Wnd))
    Back = reinterpret_cast<HBRUSH>(SendMessageA(Parent, WM_CTLCOLORLISTBOX, reinterpret_cast<WPARAM>(DC),
                                                 reinterpret_cast<LPARAM>(D->Wnd)));
  return Back ? Back : GetSysColorBrush(COLOR_WINDOW);
}

void PaintCombo(TCbData* D, HDC DC) {
  HGDIOBJ OldFont = SelectObject(DC, FontOf(D));
  RECT C = Client(D->Wnd);
  HBRUSH Back = Background(D, DC);
  RECT Inner = C;
  InflateRect(&Inner, -2, -2);
  FillRect(DC, &Inner, IsWindowEnabled(D->Wnd) ? Back : GetSysColorBrush(COLOR_BTNFACE));
  DrawEdge(DC, &C, EDGE_SUNKEN, BF_RECT);
  RECT B = ButtonRect(D);
  DrawFrameControl(DC, &B, DFC_SCROLL,
                   DFCS_SCROLLCOMBOBOX | (D->ButtonDown ? DFCS_PUSHED : 0) |
                       (IsWindowEnabled(D->Wnd) ? 0 : DFCS_INACTIVE));
  if (D->DropList()) {
    RECT F = FieldRect(D);
    InflateRect(&F, -1, -1);
    bool Sel = D->Focus && !D->Dropped;
    if (D->OwnerDraw())
      DrawOwnerItem(D, DC, D->CurSel, F, ODS_COMBOBOXEDIT | (Sel ? ODS_SELECTED | ODS_FOCUS : 0));
    else
      DrawTextItem(D, DC, D->CurSel, F, Sel, Back);
    if (Sel && !D->OwnerDraw()) DrawFocusRect(DC, &F);
  }
  SelectObject(DC, OldFont);
}

void PaintList(TCbData* D, HDC DC) {
  HGDIOBJ OldFont = SelectObject(DC, FontOf(D));
  RECT C = Client(D->List);
  HBRUSH Back = Background(D, DC);
  FillRect(DC, &C, Back);
  int H = ItemHeight(D);
  for (int I = D->Top, Y = 0; I < D->Count() && Y < C.bottom; ++I, Y += H) {
    RECT R{0, Y, C.right, Y + H};
    bool Sel = I == D->Hot;
    if (D->OwnerDraw())
      DrawOwnerItem(D, DC, I, R, Sel ? ODS_SELECTED | ODS_FOCUS : 0);
    else
      DrawTextItem(D, DC, I, R, Sel, Back);
  }
  SelectObject(DC, OldFont);
}

int ListItemAt(TCbData* D, POINT ListPoint) {
  RECT C = Client(D->List);
  if (!PtInRect(&C, ListPoint)) return -1;
  int I = D->Top + ListPoint.y / ItemHeight(D);
  return D->Valid(I) ? I : -1;
}

void CloseUp(TCbData* D, bool Accept);

void DropDown(TCbData* D) {
  if (D->Dropped || !D->List) return;
  Notify(D, CBN_DROPDOWN);
  if (!IsWindow(D->Wnd) || D->Dropped) return;
  D->Hot = D->CurSel;
  int Rows = VisibleRows(D);
  RECT W;
  GetWindowRect(D->Wnd, &W);
  int Width = std::max<int>(W.right - W.left, D->DropWidth);
  int Height = Rows * ItemHeight(D) + 2;
  D->Top = 0;
  ShowInList(D, D->CurSel);
  UpdateListScroll(D);
  RECT Frame{0, 0, Width, Height};
  // Below the combo, or above it when the screen ends first.
  int Y = W.bottom;
  HMONITOR Mon = MonitorFromWindow(D->Wnd, MONITOR_DEFAULTTONEAREST);
  MONITORINFO MI;
  if (GetMonitorInfoA(Mon, &MI) && Y + Height > MI.rcWork.bottom && W.top - Height >= MI.rcWork.top) Y = W.top - Height;
  SetWindowPos(D->List, HWND_TOPMOST, W.left, Y, Frame.right, Frame.bottom, SWP_NOACTIVATE | SWP_SHOWWINDOW);
  D->Dropped = true;
  InvalidateRect(D->List, nullptr, TRUE);
  InvalidateRect(D->Wnd, nullptr, TRUE);
  SetCapture(D->Wnd);
  D->Tracking = true;
}

void CloseUp(TCbData* D, bool Accept) {
  if (!D->Dropped) return;
  D->Dropped = false;
  D->Tracking = false;
  D->ButtonDown = false;
  if (GetCapture() == D->Wnd) ReleaseCapture();
  ShowWindow(D->List, SW_HIDE);
  InvalidateRect(D->Wnd, nullptr, TRUE);
  if (Accept && D->Valid(D->Hot)) {
    bool Changed = D->Hot != D->CurSel;
    SetCurSel(D, D->Hot);
    if (Changed) Notify(D, CBN_SELCHANGE);
    if (!IsWindow(D->Wnd)) return;
    Notify(D, CBN_CLOSEUP);
    if (!IsWindow(D->Wnd)) return;
    Notify(D, CBN_SELENDOK);
  } else {
    D->Hot = D->CurSel;
    Notify(D, CBN_CLOSEUP);
    if (!IsWindow(D->Wnd)) return;
    Notify(D, CBN_SELENDCANCEL);
  }
}

LRESULT InsertItem(TCbData* D, int Index, LPARAM LParam, bool MaySort) {
  TCbItem Item;
  if (D->HasStrings())
    Item.Text = D->Cased(LParam ? reinterpret_cast<const char*>(LParam) : "");
  else
    Item.Data = static_cast<ULONG_PTR>(LParam);
  int N = D->Count();
  if (Index == -1) Index = N;
  if (Index < 0 || Index > N) return CB_ERR;
  if (MaySort && (D->Style() & CBS_SORT) && D->HasStrings()) {
    // After the last item that sorts before or with the new one.
    auto At = std::upper_bound(D->Items.begin(), D->Items.end(), Item, [](const TCbItem& A, const TCbItem& B) {
      return CompareNoCase(A.Text, B.Text) < 0;
    });
    Index = static_cast<int>(At - D->Items.begin());
  }
  D->Items.insert(D->Items.begin() + Index, Item);
  if (D->CurSel >= Index) ++D->CurSel;
  if (D->Hot >= Index) ++D->Hot;
  UpdateListScroll(D);
  if (D->List) InvalidateRect(D->List, nullptr, TRUE);
  return Index;
}

LRESULT Find(TCbData* D, int Start, const char* Text, bool Exact) {
  int N = D->Count();
  if (N == 0) return CB_ERR;
  if (Start < -1 || Start >= N) Start = -1;
  String S = Text ? Text : "";
  for (int K = 1; K <= N; ++K) {
    int I = (Start + K) % N;
    const TCbItem& It = D->Items[static_cast<size_t>(I)];
    if (!D->HasStrings()) {
      if (It.Data == reinterpret_cast<ULONG_PTR>(Text)) return I;
      continue;
    }
    bool Match = Exact ? CompareNoCase(It.Text, S) == 0
                       : It.Text.size() >= S.size() && CompareNoCase(It.Text.substr(0, S.size()), S) == 0;
    if (Match) return I;
  }
  return CB_ERR;
}

// Keys of the combo (and of its edit): true when used.
bool KeyDown(TCbData* D, WPARAM Key) {
  bool Alt = GetKeyState(VK_MENU) < 0;
  if (Key == VK_F4 || (Alt && (Key == VK_DOWN || Key == VK_UP)) || (D->ExtendedUI && Key == VK_DOWN && !D->Dropped)) {
    if (D->Dropped)
      CloseUp(D, true);
    else
      DropDown(D);
    return true;
  }
  if (D->Dropped) {
    if (Key == VK_RETURN) {
      CloseUp(D, true);
      return true;
    }
    if (Key == VK_ESCAPE) {
      CloseUp(D, false);
      return true;
    }
  }
  int N = D->Count();
  if (N == 0) return false;
  int Cur = D->Dropped ? D->Hot : D->CurSel;
  int Next;
  switch (Key) {
    case VK_UP: Next = Cur - 1; break;
    case VK_DOWN: Next = Cur + 1; break;
    case VK_PRIOR: Next = Cur - VisibleRows(D) + 1; break;
    case VK_NEXT: Next = Cur + VisibleRows(D) - 1; break;
    case VK_HOME: if (D->Edit) return false; Next = 0; break;
    case VK_END: if (D->Edit) return false; Next = N - 1; break;
    default: return false;
  }
  if (Cur < 0) Next = 0;
  Next = std::clamp(Next, 0, N - 1);
  if (D->Dropped) {
    D->Hot = Next;
    ShowInList(D, Next);
    InvalidateRect(D->List, nullptr, TRUE);
    return true;
  }
  if (Next != D->CurSel) {
    SetCurSel(D, Next);
    Notify(D, CBN_SELCHANGE);
  }
  return true;
}

// ---- The inner edit: keys for the list go to the combo, focus changes are reported by it ----

LRESULT InnerEditProc(HWND Wnd, UINT Msg, WPARAM WParam, LPARAM LParam) {
  auto Old = reinterpret_cast<WNDPROC>(GetPropA(Wnd, SEditProcProp));
  HWND Combo = GetParent(Wnd);
  TCbData* D = Combo ? DataOf(Combo) : nullptr;
  if (D) {
    switch (Msg) {
      case WM_KEYDOWN:
        if (WParam == VK_TAB) break;
        if (KeyDown(D, WParam)) return 0;
        break;
      case WM_CHAR:
        if (D->Dropped && (WParam == '\r' || WParam == 27)) return 0;
        break;
      case WM_SETFOCUS:
        if (!D->Focus) {
          D->Focus = true;
          Notify(D, CBN_SETFOCUS);
        }
        break;
      case WM_KILLFOCUS: {
        HWND To = reinterpret_cast<HWND>(WParam);
        if (To != Combo && D->Focus) {
          D->Focus = false;
          CloseUp(D, false);
          Notify(D, CBN_KILLFOCUS);
          // The combo's own window hears of the loss too (its control library object does).
          SendMessageA(Combo, WM_KILLFOCUS, WParam, 1);
        }
        break;
      }
      case WM_NCDESTROY:
        RemovePropA(Wnd, SEditProcProp);
        return Old ? CallWindowProcA(Old, Wnd, Msg, WParam, LParam) : 0;
    }
  }
  return Old ? CallWindowProcA(Old, Wnd, Msg, WParam, LParam) : DefWindowProcA(Wnd, Msg, WParam, LParam);
}

// ---- The list window ----

LRESULT ListWndProc(HWND Wnd, UINT Msg, WPARAM WParam, LPARAM LParam) {
  auto* Combo = static_cast<HWND>(GetPropA(Wnd, SComboProp));
  TCbData* D = Combo ? DataOf(Combo) : nullptr;
  switch (Msg) {
    case WM_MOUSEACTIVATE: return MA_NOACTIVATE;
    case WM_ERASEBKGND: return 1;
    case WM_PAINT: {
      PAINTSTRUCT PS{};
      HDC DC = WParam ? reinterpret_cast<HDC>(WParam) : BeginPaint(Wnd, &PS);
      if (D) PaintList(D, DC);
      if (!WParam) EndPaint(Wnd, &PS);
      return 0;
    }
    case WM_VSCROLL:
      if (D) {
        int Top = D->Top;
        switch (LOWORD(WParam)) {
          case SB_LINEUP: --Top; break;
          case SB_LINEDOWN: ++Top; break;
          case SB_PAGEUP: Top -= VisibleRows(D); break;
          case SB_PAGEDOWN: Top += VisibleRows(D); break;
          case SB_THUMBTRACK:
          case SB_THUMBPOSITION: Top = static_cast<short>(HIWORD(WParam)); break;
        }
        SetTop(D, Top);
      }
      return 0;
    case WM_MOUSEWHEEL:
      if (D) SetTop(D, D->Top - static_cast<short>(HIWORD(WParam)) / WHEEL_DELTA * 3);
      return 0;
    case WM_MOUSEMOVE:
    case WM_LBUTTONDOWN:
    case WM_LBUTTONUP:
      // Without the combo's capture (it was taken elsewhere) the list still works by itself.
      if (D && Combo) {
        POINT P{GET_X_LPARAM(LParam), GET_Y_LPARAM(LParam)};
        MapWindowPoints(Wnd, Combo, &P, 1);
        SendMessageA(Combo, Msg, WParam, MAKELONG(static_cast<WORD>(P.x), static_cast<WORD>(P.y)));
      }
      return 0;
  }
  return DefWindowProcA(Wnd, Msg, WParam, LParam);
}

// ---- The combo window ----

void Create(TCbData* D) {
  HWND Wnd = D->Wnd;
  D->List = CreateWindowExA(WS_EX_TOOLWINDOW | WS_EX_TOPMOST | WS_EX_NOACTIVATE, SListClass, "",
                            WS_POPUP | WS_BORDER | WS_VSCROLL, 0, 0, 10, 10, Wnd, nullptr, nullptr, nullptr);
  if (D->List) SetPropA(D->List, SComboProp, Wnd);
  if (!D->DropList() && RegisterEditClass()) {
    RECT F = FieldRect(D);
    InflateRect(&F, -1, -1);
    DWORD Case = D->Style() & (CBS_UPPERCASE | CBS_LOWERCASE);
    DWORD EditCase = Case == CBS_UPPERCASE ? ES_UPPERCASE : Case == CBS_LOWERCASE ? ES_LOWERCASE : 0;
    D->Edit = CreateWindowExA(0, "EDIT", "", WS_CHILD | WS_VISIBLE | ES_AUTOHSCROLL | EditCase, F.left, F.top,
                              F.right - F.left, F.bottom - F.top, Wnd, reinterpret_cast<HMENU>(ComboEditId), nullptr,
                              nullptr);
    if (D->Edit) {
      SetPropA(D->Edit, SEditProcProp,
               reinterpret_cast<HANDLE>(SetWindowLongPtrA(D->Edit, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(InnerEditProc))));
      if (D->Font) SendMessageA(D->Edit, WM_SETFONT, reinterpret_cast<WPARAM>(D->Font), 0);
    }
  }
}

void LayoutEdit(TCbData* D) {
  if (!D->Edit) return;
  RECT F = FieldRect(D);
  InflateRect(&F, -1, -1);
  MoveWindow(D->Edit, F.left, F.top, std::max<LONG>(0, F.right - F.left), std::max<LONG>(0, F.bottom - F.top), TRUE);
}

LRESULT ComboWndProc(HWND Wnd, UINT Msg, WPARAM WParam, LPARAM LParam) {
  TCbData* D = DataOf(Wnd);
  if (!D) {
    if (Msg == WM_NCDESTROY) return DefWindowProcA(Wnd, Msg, WParam, LParam);
    D = new TCbData;
    D->Wnd = Wnd;
    SetPropA(Wnd, SComboProp, D);
  }
  switch (Msg) {
    case WM_NCCREATE:
      // WS_VSCROLL and WS_HSCROLL of a combo box are meant for its drop-down list (which has its
      // own); the combo window itself never shows a scroll bar.
      SetWindowLongA(Wnd, GWL_STYLE, GetWindowLongA(Wnd, GWL_STYLE) & ~static_cast<LONG>(WS_VSCROLL | WS_HSCROLL));
      return DefWindowProcA(Wnd, Msg, WParam, LParam);
    case WM_CREATE:
      Create(D);
      return 0;
    case WM_DESTROY:
      if (D->List && IsWindow(D->List)) DestroyWindow(D->List);
      D->List = nullptr;
      return DefWindowProcA(Wnd, Msg, WParam, LParam);
    case WM_NCDESTROY:
      RemovePropA(Wnd, SComboProp);
      delete D;
      return DefWindowProcA(Wnd, Msg, WParam, LParam);
    case WM_SETFONT:
      D->Font = reinterpret_cast<HFONT>(WParam);
      if (!D->OwnerDraw()) D->HeightSet = D->FieldSet = false;
      if (D->Edit) SendMessageA(D->Edit, WM_SETFONT, WParam, LParam);
      if (LOWORD(LParam)) InvalidateRect(Wnd, nullptr, TRUE);
      return 0;
    case WM_GETFONT: return reinterpret_cast<LRESULT>(D->Font);
    case WM_SIZE:
      LayoutEdit(D);
      InvalidateRect(Wnd, nullptr, TRUE);
      return 0;
    case WM_ENABLE:
      if (D->Edit) EnableWindow(D->Edit, static_cast<BOOL>(WParam));
      if (!WParam) CloseUp(D, false);
      InvalidateRect(Wnd, nullptr, TRUE);
      return 0;
    case WM_ERASEBKGND: return 1;
    case WM_PAINT: {
      PAINTSTRUCT PS{};
      HDC DC = WParam ? reinterpret_cast<HDC>(WParam) : BeginPaint(Wnd, &PS);
      PaintCombo(D, DC);
      if (!WParam) EndPaint(Wnd, &PS);
      return 0;
    }
    case WM_GETDLGCODE: return DLGC_WANTARROWS | DLGC_WANTCHARS | (D->Dropped ? DLGC_WANTALLKEYS : 0);
    case WM_SETFOCUS:
      if (D->Edit) {
        SetFocus(D->Edit);
        SendMessageA(D->Edit, EM_SETSEL, 0, -1);
        return 0;
      }
      if (!D->Focus) {
        D->Focus = true;
        InvalidateRect(Wnd, nullptr, TRUE);
        Notify(D, CBN_SETFOCUS);
      }
      return 0;
    case WM_KILLFOCUS: {
      HWND To = reinterpret_cast<HWND>(WParam);
      if (D->Edit && (To == D->Edit || LParam == 1)) return 0;
      if (D->Focus) {
        D->Focus = false;
        CloseUp(D, false);
        InvalidateRect(Wnd, nullptr, TRUE);
        Notify(D, CBN_KILLFOCUS);
      }
      return 0;
    }
    case WM_KEYDOWN: KeyDown(D, WParam); return 0;
    case WM_CHAR:
      if (D->Edit) return SendMessageA(D->Edit, Msg, WParam, LParam);
      if (D->DropList() && static_cast<unsigned char>(WParam) >= 32 && D->HasStrings()) {
        // Type-ahead: the next item starting with the character.
        char S[2] = {static_cast<char>(WParam), 0};
        LRESULT I = Find(D, D->Dropped ? D->Hot : D->CurSel, S, false);
        if (I != CB_ERR) {
          if (D->Dropped) {
            D->Hot = static_cast<int>(I);
            ShowInList(D, D->Hot);
            InvalidateRect(D->List, nullptr, TRUE);
          } else if (I != D->CurSel) {
            SetCurSel(D, static_cast<int>(I));
            Notify(D, CBN_SELCHANGE);
          }
        }
      }
      return 0;
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK: {
      POINT P{GET_X_LPARAM(LParam), GET_Y_LPARAM(LParam)};
      if (D->Dropped) {
        POINT L = P;
        MapWindowPoints(Wnd, D->List, &L, 1);
        RECT LC = Client(D->List);
        if (PtInRect(&LC, L)) return 0;  // chosen on release
        RECT LW;
        GetWindowRect(D->List, &LW);
        POINT S = P;
        ClientToScreen(Wnd, &S);
        if (PtInRect(&LW, S)) {
          // The list's frame and scroll bar: handled by the list window itself.
          ReleaseCapture();
          D->Tracking = false;
          return 0;
        }
        CloseUp(D, false);
        return 0;
      }
      if (!IsWindowEnabled(Wnd)) return 0;
      if (GetFocus() != Wnd && GetFocus() != D->Edit) SetFocus(Wnd);
      RECT B = ButtonRect(D);
      if (D->DropList() || PtInRect(&B, P)) {
        D->ButtonDown = true;
        DropDown(D);
      }
      return 0;
    }
    case WM_MOUSEMOVE:
      if (D->Dropped) {
        POINT L{GET_X_LPARAM(LParam), GET_Y_LPARAM(LParam)};
        MapWindowPoints(Wnd, D->List, &L, 1);
        int I = ListItemAt(D, L);
        if (I >= 0 && I != D->Hot) {
          D->Hot = I;
          InvalidateRect(D->List, nullptr, TRUE);
        }
      }
      return 0;
    case WM_LBUTTONUP:
      if (D->Dropped) {
        if (D->ButtonDown) {
          D->ButtonDown = false;
          InvalidateRect(Wnd, nullptr, TRUE);
        }
        POINT L{GET_X_LPARAM(LParam), GET_Y_LPARAM(LParam)};
        MapWindowPoints(Wnd, D->List, &L, 1);
        int I = ListItemAt(D, L);
        if (I >= 0) {
          D->Hot = I;
          CloseUp(D, true);
        } else if (GetCapture() != Wnd && D->Tracking) {
          SetCapture(Wnd);
        }
      }
      return 0;
    case WM_CAPTURECHANGED:
      if (D->Dropped && D->Tracking && reinterpret_cast<HWND>(LParam) != Wnd) D->Tracking = false;
      return 0;
    case WM_MOUSEWHEEL:
      if (D->Dropped) return SendMessageA(D->List, Msg, WParam, LParam);
      if (D->Count() > 0) KeyDown(D, static_cast<short>(HIWORD(WParam)) > 0 ? VK_UP : VK_DOWN);
      return 0;
    case WM_COMMAND:
      if (D->Edit && reinterpret_cast<HWND>(LParam) == D->Edit) {
        if (HIWORD(WParam) == EN_CHANGE) Notify(D, CBN_EDITCHANGE);
        if (HIWORD(WParam) == EN_UPDATE) Notify(D, CBN_EDITUPDATE);
      }
      return 0;
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORSTATIC:
      // The inner edit takes the colours the combo's parent gives the combo.
      if (HWND Parent = GetParent(Wnd)) return SendMessageA(Parent, Msg, WParam, reinterpret_cast<LPARAM>(Wnd));
      return 0;
    case WM_SETTEXT:
      if (D->Edit) return SendMessageA(D->Edit, Msg, WParam, LParam);
      {
        LRESULT I = Find(D, -1, reinterpret_cast<const char*>(LParam), true);
        if (I == CB_ERR) return CB_ERR;
        SetCurSel(D, static_cast<int>(I));
        return TRUE;
      }
    case WM_GETTEXT:
    case WM_GETTEXTLENGTH: {
      if (D->Edit) return SendMessageA(D->Edit, Msg, WParam, LParam);
      String S = D->Valid(D->CurSel) && D->HasStrings() ? D->Items[static_cast<size_t>(D->CurSel)].Text : String();
      if (Msg == WM_GETTEXTLENGTH) return static_cast<LRESULT>(S.size());
      if (!LParam || WParam == 0) return 0;
      size_t N = std::min(S.size(), static_cast<size_t>(WParam) - 1);
      std::memcpy(reinterpret_cast<char*>(LParam), S.data(), N);
      reinterpret_cast<char*>(LParam)[N] = 0;
      return static_cast<LRESULT>(N);
    }

    case CB_GETCOMBOBOXINFO: {
      auto* Info = reinterpret_cast<COMBOBOXINFO*>(LParam);
      if (!Info || Info->cbSize != sizeof(COMBOBOXINFO)) return FALSE;
      Info->rcItem = FieldRect(D);
      Info->rcButton = ButtonRect(D);
      Info->stateButton = D->ButtonDown ? STATE_SYSTEM_PRESSED : 0;
      Info->hwndCombo = Wnd;
      Info->hwndItem = D->Edit ? D->Edit : Wnd;
      Info->hwndList = D->List;
      return TRUE;
    }
    case CB_ADDSTRING: return InsertItem(D, -1, LParam, true);
    case CB_INSERTSTRING: return InsertItem(D, static_cast<int>(WParam), LParam, false);
    case CB_DELETESTRING: {
      int I = static_cast<int>(WParam);
      if (!D->Valid(I)) return CB_ERR;
      if (D->OwnerDraw()) {
        if (HWND Parent = GetParent(Wnd)) {
          DELETEITEMSTRUCT S;
          S.CtlType = ODT_COMBOBOX;
          S.CtlID = static_cast<UINT>(GetDlgCtrlID(Wnd));
          S.itemID = static_cast<UINT>(I);
          S.hwndItem = Wnd;
          S.itemData = D->Items[static_cast<size_t>(I)].Data;
          SendMessageA(Parent, WM_DELETEITEM, S.CtlID, reinterpret_cast<LPARAM>(&S));
        }
      }
      D->Items.erase(D->Items.begin() + I);
      if (D->CurSel == I) {
        D->CurSel = -1;
        InvalidateRect(Wnd, nullptr, TRUE);
      } else if (D->CurSel > I) {
        --D->CurSel;
      }
      if (D->Hot >= I) D->Hot = D->Hot == I ? -1 : D->Hot - 1;
      D->Top = std::clamp(D->Top, 0, std::max(0, D->Count() - VisibleRows(D)));
      UpdateListScroll(D);
      if (D->List) InvalidateRect(D->List, nullptr, TRUE);
      return D->Count();
    }
    case CB_RESETCONTENT:
      D->Items.clear();
      D->CurSel = D->Hot = -1;
      D->Top = 0;
      if (D->Edit) SetWindowTextA(D->Edit, "");
      UpdateListScroll(D);
      InvalidateRect(Wnd, nullptr, TRUE);
      if (D->List) InvalidateRect(D->List, nullptr, TRUE);
      return CB_OKAY;
    case CB_GETCOUNT: return D->Count();
    case CB_GETCURSEL: return D->CurSel;
    case CB_SETCURSEL: {
      int I = static_cast<int>(WParam);
      SetCurSel(D, I);
      return D->Valid(I) ? I : CB_ERR;
    }
    case CB_GETLBTEXT: {
      int I = static_cast<int>(WParam);
      if (!D->Valid(I) || !LParam) return CB_ERR;
      const TCbItem& It = D->Items[static_cast<size_t>(I)];
      if (!D->HasStrings()) {
        std::memcpy(reinterpret_cast<void*>(LParam), &It.Data, sizeof It.Data);
        return sizeof It.Data;
      }
      std::memcpy(reinterpret_cast<char*>(LParam), It.Text.c_str(), It.Text.size() + 1);
      return static_cast<LRESULT>(It.Text.size());
    }
    case CB_GETLBTEXTLEN: {
      int I = static_cast<int>(WParam);
      if (!D->Valid(I)) return CB_ERR;
      return D->HasStrings() ? static_cast<LRESULT>(D->Items[static_cast<size_t>(I)].Text.size()) : sizeof(ULONG_PTR);
    }
    case CB_GETITEMDATA:
      if (!D->Valid(static_cast<int>(WParam))) return CB_ERR;
      return static_cast<LRESULT>(D->Items[WParam].Data);
    case CB_SETITEMDATA:
      if (!D->Valid(static_cast<int>(WParam))) return CB_ERR;
      D->Items[WParam].Data = static_cast<ULONG_PTR>(LParam);
      return CB_OKAY;
    case CB_FINDSTRING: return Find(D, static_cast<int>(WParam), reinterpret_cast<const char*>(LParam), false);
    case CB_FINDSTRINGEXACT: return Find(D, static_cast<int>(WParam), reinterpret_cast<const char*>(LParam), true);
    case CB_SELECTSTRING: {
      LRESULT I = Find(D, static_cast<int>(WParam), reinterpret_cast<const char*>(LParam), false);
      if (I != CB_ERR) SetCurSel(D, static_cast<int>(I));
      return I;
    }
    case CB_SHOWDROPDOWN:
      if (WParam)
        DropDown(D);
      else
        CloseUp(D, false);
      return TRUE;
    case CB_GETDROPPEDSTATE: return D->Dropped ? TRUE : FALSE;
    case CB_GETDROPPEDCONTROLRECT: {
      auto* R = reinterpret_cast<RECT*>(LParam);
      if (!R) return CB_ERR;
      RECT W;
      GetWindowRect(Wnd, &W);
      *R = RECT{W.left, W.top, W.left + std::max<int>(W.right - W.left, D->DropWidth),
                W.bottom + VisibleRows(D) * ItemHeight(D) + 2};
      if (D->Dropped) {
        RECT L;
        GetWindowRect(D->List, &L);
        R->bottom = std::max(R->bottom, L.bottom);
      }
      return TRUE;
    }
    case CB_SETITEMHEIGHT: {
      int H = static_cast<int>(LParam);
      if (H <= 0 || H > 255) return CB_ERR;
      if (static_cast<int>(WParam) == -1) {
        D->FieldHeight = H;
        D->FieldSet = true;
        InvalidateRect(Wnd, nullptr, TRUE);
      } else {
        D->ItemHeight = H;
        D->HeightSet = true;
        if (D->List) InvalidateRect(D->List, nullptr, TRUE);
      }
      return CB_OKAY;
    }
    case CB_GETITEMHEIGHT: return static_cast<int>(WParam) == -1 ? FieldHeight(D) : ItemHeight(D);
    case CB_SETDROPPEDWIDTH:
      D->DropWidth = std::max(0, static_cast<int>(WParam));
      return D->DropWidth;
    case CB_GETDROPPEDWIDTH: {
      RECT W;
      GetWindowRect(Wnd, &W);
      return std::max<int>(W.right - W.left, D->DropWidth);
    }
    case CB_SETEXTENDEDUI: D->ExtendedUI = WParam != 0; return CB_OKAY;
    case CB_GETEXTENDEDUI: return D->ExtendedUI ? TRUE : FALSE;
    case CB_LIMITTEXT:
      if (!D->Edit) return FALSE;
      SendMessageA(D->Edit, EM_LIMITTEXT, WParam, 0);
      return TRUE;
    case CB_GETEDITSEL:
      if (!D->Edit) return CB_ERR;
      return SendMessageA(D->Edit, EM_GETSEL, WParam, LParam);
    case CB_SETEDITSEL:
      if (!D->Edit) return CB_ERR;
      SendMessageA(D->Edit, EM_SETSEL, static_cast<WPARAM>(static_cast<short>(LOWORD(LParam))),
                   static_cast<short>(HIWORD(LParam)));
      return TRUE;
    case CB_GETTOPINDEX: return D->Top;
    case CB_SETTOPINDEX:
      if (!D->Valid(static_cast<int>(WParam))) return CB_ERR;
      SetTop(D, static_cast<int>(WParam));
      return CB_OKAY;
    case CB_SETHORIZONTALEXTENT: D->HorzExtent = static_cast<int>(WParam); return 0;
    case CB_GETHORIZONTALEXTENT: return D->HorzExtent;
    case CB_INITSTORAGE: return D->Count();
    case CB_GETLOCALE:
    case CB_SETLOCALE: return 0;
    case CB_DIR: return CB_ERR;
    // The number of rows the open list shows.
    case CB_SETMINVISIBLE:
      if (static_cast<int>(WParam) <= 0) return FALSE;
      D->DropCount = static_cast<int>(WParam);
      return TRUE;
    case CB_GETMINVISIBLE: return D->DropCount;
  }
  return DefWindowProcA(Wnd, Msg, WParam, LParam);
}

}  // namespace

bool RegisterComboBoxClass() {
  static const bool Registered = [] {
    WNDCLASSA L{};
    L.style = CS_DBLCLKS | CS_SAVEBITS;
    L.lpfnWndProc = ListWndProc;
    L.hCursor = LoadCursorA(nullptr, IDC_ARROW);
    L.lpszClassName = SListClass;
    if (!RegisterClassA(&L)) return false;
    WNDCLASSA C{};
    C.style = CS_DBLCLKS | CS_HREDRAW | CS_VREDRAW;
    C.lpfnWndProc = ComboWndProc;
    C.hCursor = LoadCursorA(nullptr, IDC_ARROW);
    C.lpszClassName = WC_COMBOBOXA;
    return RegisterClassA(&C) != 0;
  }();
  return Registered;
}

BOOL GetComboBoxInfo(HWND Combo, PCOMBOBOXINFO Info) {
  if (!Combo || !IsWindow(Combo)) return FALSE;
  return SendMessageA(Combo, CB_GETCOMBOBOXINFO, 0, reinterpret_cast<LPARAM>(Info)) ? TRUE : FALSE;
}
