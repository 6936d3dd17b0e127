// The "SysListView32" window class: items with text, sub-item texts, images and states, shown
// as large icons, small icons, a list (columns of rows) or a report (rows under a "SysHeader32"
// column header), drawn in the plain look. With LVS_OWNERDATA it keeps only a count and the
// item states and asks the parent for everything else (LVN_GETDISPINFO, LVN_ODFINDITEM). State
// changes are announced with LVN_ITEMCHANGING (a non-zero answer keeps the old state, not for
// owner data) and LVN_ITEMCHANGED. Labels are edited in place (LVM_EDITLABEL, or with
// LVS_EDITLABELS a second click on the focused, selected item's label), the parent deciding with
// LVN_BEGINLABELEDIT and LVN_ENDLABELEDIT. The wheel scrolls rows (report), columns (list) or rows
// of icons by the system's lines per notch.
#include <algorithm>
#include <cctype>
#include <cstring>
#include <map>
#include <memory>
#include <vector>

#include "platform/gdi/Gdi.h"
#include "platform/rtl/StrUtils.h"
#include "platform/vcl/Canvas.h"
#include "platform/vcl/ImgList.h"
#include "platform/vcl/ListViewCtrl.h"
#include "platform/vcl/StdCtrlsConsts.h"
#include "platform/vcl/ViewCtrlsConsts.h"
#include "platform/vcl/ViewCtrlsShared.h"

namespace {

struct TLvItem {
  String Text;
  bool TextCallback = false;
  int Image = 0;
  LPARAM Param = 0;
  std::vector<String> SubItems;  // sub-item 1 at index 0
};

struct TLvState {
  std::vector<TLvItem> Items;  // not used with owner data
  std::vector<UINT> States;    // one per item (both modes)
  int OwnerCount = 0;
  HWND Header = nullptr;
  HFONT Font = nullptr;
  HIMAGELIST Large = nullptr, Small = nullptr, StateImages = nullptr;
  int ScrollX = 0, ScrollY = 0;  // report: ScrollY in rows; list: ScrollX in columns; icons: pixels
  int Mark = -1;                 // the selection mark (anchor of range selection)
  COLORREF Back = CLR_INVALID, Text = CLR_INVALID, TextBack = CLR_INVALID;
  DWORD ExStyle = 0;
  String Search;
  DWORD SearchTime = 0;
  int LabelWidth = -1;  // widest label of the list and small-icon views; -1 = to measure
  HWND Edit = nullptr;   // the label editor while a label is edited
  int Editing = -1;      // whose label
  bool EndingEdit = false;
  int PendingEdit = -1;  // clicked again; edited when no double click follows
  int WheelRest = 0;     // wheel turns not yet scrolled
};

// The timer that waits out the double-click time before a second click starts editing.
constexpr UINT_PTR EditTimer = 0x4544;

std::map<HWND, std::unique_ptr<TLvState>>& States() {
  static std::map<HWND, std::unique_ptr<TLvState>> Map;
  return Map;
}

TLvState* Find(HWND Wnd) {
  auto It = States().find(Wnd);
  return It == States().end() ? nullptr : It->second.get();
}

TLvState& StateOf(HWND Wnd) {
  auto& P = States()[Wnd];
  if (!P) P = std::make_unique<TLvState>();
  return *P;
}

DWORD StyleOf(HWND Wnd) { return static_cast<DWORD>(GetWindowLongA(Wnd, GWL_STYLE)); }
DWORD View(HWND Wnd) { return StyleOf(Wnd) & LVS_TYPEMASK; }
bool OwnerData(HWND Wnd) { return (StyleOf(Wnd) & LVS_OWNERDATA) != 0; }

int Count(HWND Wnd, const TLvState& S) {
  return OwnerData(Wnd) ? S.OwnerCount : static_cast<int>(S.Items.size());
}

UINT_PTR IdOf(HWND Wnd) { return static_cast<UINT_PTR>(GetWindowLongPtrA(Wnd, GWLP_ID)); }

LRESULT Send(HWND Wnd, NMHDR& H, UINT Code) {
  H.hwndFrom = Wnd;
  H.idFrom = IdOf(Wnd);
  H.code = Code;
  HWND Parent = GetParent(Wnd);
  return Parent ? SendMessageA(Parent, WM_NOTIFY, H.idFrom, reinterpret_cast<LPARAM>(&H)) : 0;
}

// The text of item Index, column Sub (asked of the parent for callbacks and owner data).
String TextOf(HWND Wnd, TLvState& S, int Index, int Sub) {
  bool Ask = OwnerData(Wnd);
  const TLvItem* Item = nullptr;
  if (!Ask) {
    Item = &S.Items[static_cast<size_t>(Index)];
    if (Sub == 0 && !Item->TextCallback) return Item->Text;
    if (Sub > 0) {
      size_t K = static_cast<size_t>(Sub - 1);
      if (K < Item->SubItems.size() && !(Item->SubItems[K].size() == 1 && Item->SubItems[K][0] == '\x01'))
        return Item->SubItems[K];
      if (!Item->TextCallback) return String();
    }
  }
  char Buffer[260] = {};
  NMLVDISPINFOA D;
  D.item.mask = LVIF_TEXT;
  D.item.iItem = Index;
  D.item.iSubItem = Sub;
  D.item.pszText = Buffer;
  D.item.cchTextMax = sizeof Buffer;
  D.item.lParam = Item ? Item->Param : 0;
  Send(Wnd, D.hdr, LVN_GETDISPINFOA);
  return D.item.pszText ? String(D.item.pszText) : String();
}

int ImageOf(HWND Wnd, TLvState& S, int Index) {
  if (!OwnerData(Wnd) && S.Items[static_cast<size_t>(Index)].Image != I_IMAGECALLBACK)
    return S.Items[static_cast<size_t>(Index)].Image;
  NMLVDISPINFOA D;
  D.item.mask = LVIF_IMAGE;
  D.item.iItem = Index;
  D.item.iImage = -1;
  D.item.lParam = OwnerData(Wnd) ? 0 : S.Items[static_cast<size_t>(Index)].Param;
  Send(Wnd, D.hdr, LVN_GETDISPINFOA);
  return D.item.iImage;
}

int FontHeight(TLvState& S) {
  HDC DC = GetDC(nullptr);
  HGDIOBJ Old = S.Font ? SelectObject(DC, S.Font) : nullptr;
  TEXTMETRICA TM{};
  GetTextMetricsA(DC, &TM);
  if (Old) SelectObject(DC, Old);
  ReleaseDC(nullptr, DC);
  return TM.tmHeight;
}

int TextWidth(TLvState& S, const String& T) {
  if (T.empty()) return 0;
  HDC DC = GetDC(nullptr);
  HGDIOBJ Old = S.Font ? SelectObject(DC, S.Font) : nullptr;
  SIZE Sz{};
  GetTextExtentPoint32A(DC, T.c_str(), static_cast<int>(T.size()), &Sz);
  if (Old) SelectObject(DC, Old);
  ReleaseDC(nullptr, DC);
  return Sz.cx;
}

int ColumnCount(TLvState& S) { return S.Header ? static_cast<int>(SendMessageA(S.Header, HDM_GETITEMCOUNT, 0, 0)) : 0; }

int ColumnWidth(TLvState& S, int Col) {
  HDITEMA H;
  H.mask = HDI_WIDTH;
  return S.Header && SendMessageA(S.Header, HDM_GETITEMA, static_cast<WPARAM>(Col), reinterpret_cast<LPARAM>(&H)) ? H.cxy
                                                                                                               : 0;
}

int TotalColumnWidth(TLvState& S) {
  int W = 0;
  for (int C = 0; C < ColumnCount(S); ++C) W += ColumnWidth(S, C);
  return W;
}

// The geometry of the current view.
struct TGeometry {
  int Top = 0;        // y where items start (below the header)
  int CellW = 0, CellH = 0;
  int PerLine = 1;    // items per row (icons) or rows per column (list)
  int PageItems = 1;  // items fully shown
};

TGeometry Geometry(HWND Wnd, TLvState& S) {
  TGeometry G;
  RECT C{};
  GetClientRect(Wnd, &C);
  int FH = FontHeight(S);
  int SmallW = S.Small ? S.Small->GetWidth() : 0, SmallH = S.Small ? S.Small->GetHeight() : 0;
  switch (View(Wnd)) {
    case LVS_REPORT: {
      if (S.Header && (GetWindowLongA(S.Header, GWL_STYLE) & WS_VISIBLE)) {
        RECT H{};
        GetWindowRect(S.Header, &H);
        G.Top = H.bottom - H.top;
      }
      G.CellH = std::max(FH + 3, SmallH + 1);
      G.CellW = std::max(TotalColumnWidth(S), 1);
      G.PerLine = 1;
      G.PageItems = std::max(0, (static_cast<int>(C.bottom) - G.Top) / G.CellH);
      break;
    }
    case LVS_ICON: {
      int LargeW = S.Large ? S.Large->GetWidth() : 32, LargeH = S.Large ? S.Large->GetHeight() : 32;
      G.CellW = std::max(LargeW + 16, 76);
      G.CellH = LargeH + 2 * FH + 10;
      G.PerLine = std::max(1, static_cast<int>(C.right) / G.CellW);
      G.PageItems = G.PerLine * std::max(1, static_cast<int>(C.bottom) / G.CellH);
      break;
    }
    default: {  // small icons and list: cells as wide as the widest label
      // Measured once per change of the items (owner data: the first 2000 rows).
      if (S.LabelWidth < 0) {
        int W = 0;
        for (int I = 0, N = Count(Wnd, S); I < N && I < 2000; ++I) W = std::max(W, TextWidth(S, TextOf(Wnd, S, I, 0)));
        S.LabelWidth = W;
      }
      G.CellW = std::max(SmallW + S.LabelWidth + 12, 40);
      G.CellH = std::max(FH + 3, SmallH + 1);
      if (View(Wnd) == LVS_LIST) {
        G.PerLine = std::max(1, static_cast<int>(C.bottom) / G.CellH);
        G.PageItems = G.PerLine * std::max(1, static_cast<int>(C.right) / G.CellW);
      } else {
        G.PerLine = std::max(1, static_cast<int>(C.right) / G.CellW);
        G.PageItems = G.PerLine * std::max(1, static_cast<int>(C.bottom) / G.CellH);
      }
      break;
    }
  }
  return G;
}

// The cell of item Index in client coordinates.
RECT Cell(HWND Wnd, TLvState& S, const TGeometry& G, int Index) {
  int X = 0, Y = 0;
  switch (View(Wnd)) {
    case LVS_REPORT:
      X = -S.ScrollX;
      Y = G.Top + (Index - S.ScrollY) * G.CellH;
      break;
    case LVS_LIST:
      X = (Index / G.PerLine - S.ScrollX) * G.CellW;
      Y = (Index % G.PerLine) * G.CellH;
      break;
    default:
      X = (Index % G.PerLine) * G.CellW;
      Y = (Index / G.PerLine) * G.CellH - S.ScrollY;
      break;
  }
  return Rect(X, Y, X + G.CellW, Y + G.CellH);
}

// Icon and label parts of an item's cell.
void Parts(HWND Wnd, TLvState& S, const TGeometry& G, int Index, RECT& Icon, RECT& Label) {
  RECT C = Cell(Wnd, S, G, Index);
  if (View(Wnd) == LVS_ICON) {
    int LW = S.Large ? S.Large->GetWidth() : 32, LH = S.Large ? S.Large->GetHeight() : 32;
    Icon = Rect(C.left + (G.CellW - LW) / 2, C.top + 2, C.left + (G.CellW + LW) / 2, C.top + 2 + LH);
    Label = Rect(C.left + 2, Icon.bottom + 2, C.right - 2, C.bottom - 2);
    return;
  }
  int SW = S.Small ? S.Small->GetWidth() + 2 : 0;
  int Left = C.left;
  int LabelRight = C.right;
  if (View(Wnd) == LVS_REPORT && ColumnCount(S) > 0) {
    // The item's own column may have been moved.
    RECT H{};
    SendMessageA(S.Header, HDM_GETITEMRECT, 0, reinterpret_cast<LPARAM>(&H));
    Left = C.left + H.left;
    LabelRight = C.left + H.right;
  }
  Icon = Rect(Left + 2, C.top, Left + 2 + SW, C.bottom);
  Label = Rect(Icon.right, C.top, std::max<LONG>(Icon.right, LabelRight), C.bottom);
}

void UpdateScroll(HWND Wnd, TLvState& S) {
  TGeometry G = Geometry(Wnd, S);
  RECT C{};
  GetClientRect(Wnd, &C);
  int N = Count(Wnd, S);
  SCROLLINFO V{}, H{};
  V.cbSize = H.cbSize = sizeof(SCROLLINFO);
  V.fMask = H.fMask = SIF_RANGE | SIF_PAGE | SIF_POS;
  switch (View(Wnd)) {
    case LVS_REPORT: {
      S.ScrollY = std::max(0, std::min(S.ScrollY, N - std::max(G.PageItems, 1)));
      V.nMax = std::max(0, N - 1);
      V.nPage = static_cast<UINT>(G.PageItems);
      V.nPos = S.ScrollY;
      int Width = TotalColumnWidth(S);
      S.ScrollX = std::max(0, std::min(S.ScrollX, Width - static_cast<int>(C.right)));
      H.nMax = std::max(0, Width - 1);
      H.nPage = static_cast<UINT>(std::max<LONG>(C.right, 0));
      H.nPos = S.ScrollX;
      if (S.Header) {
        RECT HR{};
        GetWindowRect(S.Header, &HR);
        MoveWindow(S.Header, -S.ScrollX, 0, std::max<int>(Width, C.right) + S.ScrollX, HR.bottom - HR.top, TRUE);
      }
      break;
    }
    case LVS_LIST: {
      int Columns = (N + G.PerLine - 1) / G.PerLine;
      int Page = std::max(1, static_cast<int>(C.right) / G.CellW);
      S.ScrollX = std::max(0, std::min(S.ScrollX, Columns - Page));
      H.nMax = std::max(0, Columns - 1);
      H.nPage = static_cast<UINT>(Page);
      H.nPos = S.ScrollX;
      S.ScrollY = 0;
      break;
    }
    default: {
      int Rows = (N + G.PerLine - 1) / G.PerLine;
      int Height = Rows * G.CellH;
      S.ScrollY = std::max(0, std::min(S.ScrollY, Height - static_cast<int>(C.bottom)));
      V.nMax = std::max(0, Height - 1);
      V.nPage = static_cast<UINT>(std::max<LONG>(C.bottom, 0));
      V.nPos = S.ScrollY;
      S.ScrollX = 0;
      break;
    }
  }
  SetScrollInfo(Wnd, SB_VERT, &V, TRUE);
  SetScrollInfo(Wnd, SB_HORZ, &H, TRUE);
}

void EnsureHeader(HWND Wnd, TLvState& S) {
  if (S.Header && IsWindow(S.Header)) return;
  RegisterHeaderClass();
  S.Header = CreateWindowExA(0, WC_HEADERA, "", WS_CHILD | HDS_BUTTONS | HDS_HORZ, 0, 0, 0, 0, Wnd, nullptr, nullptr,
                             nullptr);
  SendMessageA(S.Header, WM_SETFONT, reinterpret_cast<WPARAM>(S.Font), 0);
}

void LayoutHeader(HWND Wnd, TLvState& S) {
  if (!S.Header) return;
  bool Show = View(Wnd) == LVS_REPORT && !(StyleOf(Wnd) & LVS_NOCOLUMNHEADER);
  if (Show) {
    RECT C{};
    GetClientRect(Wnd, &C);
    WINDOWPOS Pos{};
    HDLAYOUT L;
    L.prc = &C;
    L.pwpos = &Pos;
    SendMessageA(S.Header, HDM_LAYOUT, 0, reinterpret_cast<LPARAM>(&L));
    MoveWindow(S.Header, Pos.x - S.ScrollX, Pos.y, std::max(Pos.cx, TotalColumnWidth(S)) + S.ScrollX, Pos.cy, TRUE);
  }
  ShowWindow(S.Header, Show ? SW_SHOWNA : SW_HIDE);
}

void Relayout(HWND Wnd, TLvState& S) {
  LayoutHeader(Wnd, S);
  UpdateScroll(Wnd, S);
  InvalidateRect(Wnd, nullptr, TRUE);
}

LPARAM ParamOf(HWND Wnd, TLvState& S, int Index) {
  return OwnerData(Wnd) || Index < 0 ? 0 : S.Items[static_cast<size_t>(Index)].Param;
}

// Sets the state bits Mask of item Index to State; false when refused.
bool SetState(HWND Wnd, int Index, UINT State, UINT Mask) {
  TLvState& S = StateOf(Wnd);
  UINT Old = S.States[static_cast<size_t>(Index)];
  UINT New = (Old & ~Mask) | (State & Mask);
  if (New == Old) return true;
  NMLISTVIEW N;
  N.iItem = Index;
  N.uNewState = New;
  N.uOldState = Old;
  N.uChanged = LVIF_STATE;
  N.lParam = ParamOf(Wnd, S, Index);
  if (!OwnerData(Wnd) && Send(Wnd, N.hdr, LVN_ITEMCHANGING) != 0) return false;
  TLvState* St = Find(Wnd);
  if (!St || Index >= static_cast<int>(St->States.size())) return false;
  // Only one item has the focus.
  if (New & LVIS_FOCUSED)
    for (size_t K = 0; K < St->States.size(); ++K)
      if (static_cast<int>(K) != Index && (St->States[K] & LVIS_FOCUSED)) {
        St->States[K] &= ~LVIS_FOCUSED;
        NMLISTVIEW F;
        F.iItem = static_cast<int>(K);
        F.uNewState = St->States[K];
        F.uOldState = St->States[K] | LVIS_FOCUSED;
        F.uChanged = LVIF_STATE;
        F.lParam = ParamOf(Wnd, *St, F.iItem);
        Send(Wnd, F.hdr, LVN_ITEMCHANGED);
        St = Find(Wnd);
        if (!St) return false;
      }
  if (Index >= static_cast<int>(St->States.size())) return false;
  St->States[static_cast<size_t>(Index)] = New;
  InvalidateRect(Wnd, nullptr, TRUE);
  Send(Wnd, N.hdr, LVN_ITEMCHANGED);
  return true;
}

void SetAllStates(HWND Wnd, UINT State, UINT Mask, int Except = -1) {
  TLvState* S = Find(Wnd);
  for (int I = 0; S && I < static_cast<int>(S->States.size()); ++I) {
    if (I == Except) continue;
    if (((S->States[static_cast<size_t>(I)] & ~Mask) | (State & Mask)) != S->States[static_cast<size_t>(I)])
      SetState(Wnd, I, State, Mask);
    S = Find(Wnd);
  }
}

void EnsureVisible(HWND Wnd, TLvState& S, int Index) {
  TGeometry G = Geometry(Wnd, S);
  RECT C{};
  GetClientRect(Wnd, &C);
  switch (View(Wnd)) {
    case LVS_REPORT:
      if (Index < S.ScrollY) S.ScrollY = Index;
      else if (Index >= S.ScrollY + std::max(G.PageItems, 1)) S.ScrollY = Index - std::max(G.PageItems, 1) + 1;
      break;
    case LVS_LIST: {
      int Col = Index / G.PerLine, Page = std::max(1, static_cast<int>(C.right) / G.CellW);
      if (Col < S.ScrollX) S.ScrollX = Col;
      else if (Col >= S.ScrollX + Page) S.ScrollX = Col - Page + 1;
      break;
    }
    default: {
      int Y = (Index / G.PerLine) * G.CellH;
      if (Y < S.ScrollY) S.ScrollY = Y;
      else if (Y + G.CellH > S.ScrollY + C.bottom) S.ScrollY = Y + G.CellH - C.bottom;
      break;
    }
  }
  UpdateScroll(Wnd, S);
  InvalidateRect(Wnd, nullptr, TRUE);
}

int HitTest(HWND Wnd, TLvState& S, POINT P, UINT& Flags, int* Sub = nullptr) {
  RECT C{};
  GetClientRect(Wnd, &C);
  Flags = 0;
  if (P.y < 0) Flags |= LVHT_ABOVE;
  if (P.y >= C.bottom) Flags |= LVHT_BELOW;
  if (P.x < 0) Flags |= LVHT_TOLEFT;
  if (P.x >= C.right) Flags |= LVHT_TORIGHT;
  if (Flags) return -1;
  TGeometry G = Geometry(Wnd, S);
  int N = Count(Wnd, S);
  int Index = -1;
  switch (View(Wnd)) {
    case LVS_REPORT:
      if (P.y >= G.Top) Index = S.ScrollY + (P.y - G.Top) / G.CellH;
      break;
    case LVS_LIST: Index = (P.x / G.CellW + S.ScrollX) * G.PerLine + P.y / G.CellH; break;
    default:
      if (P.x / G.CellW < G.PerLine) Index = ((P.y + S.ScrollY) / G.CellH) * G.PerLine + P.x / G.CellW;
      break;
  }
  if (Index < 0 || Index >= N) {
    Flags = LVHT_NOWHERE;
    return -1;
  }
  RECT Icon{}, Label{};
  Parts(Wnd, S, G, Index, Icon, Label);
  if (PtInRect(&Icon, P)) {
    Flags = LVHT_ONITEMICON;
  } else if (View(Wnd) == LVS_REPORT || PtInRect(&Label, P)) {
    Flags = LVHT_ONITEMLABEL;
  } else {
    Flags = LVHT_NOWHERE;
    return -1;
  }
  if (Sub) {
    *Sub = 0;
    if (View(Wnd) == LVS_REPORT) {
      int X = -S.ScrollX;
      std::vector<int> Order(static_cast<size_t>(ColumnCount(S)));
      if (!Order.empty())
        SendMessageA(S.Header, HDM_GETORDERARRAY, Order.size(), reinterpret_cast<LPARAM>(Order.data()));
      for (int Col : Order) {
        int W = ColumnWidth(S, Col);
        if (P.x >= X && P.x < X + W) *Sub = Col;
        X += W;
      }
    }
  }
  return Index;
}

void DrawImage(HDC DC, HIMAGELIST List, int Index, int X, int Y) {
  if (!List || Index < 0 || Index >= List->GetCount()) return;
  TCanvas Canvas;
  Canvas.SetHandle(DC);
  List->Draw(&Canvas, X, Y, Index);
  Canvas.SetHandle(nullptr);
}

void Paint(HWND Wnd, HDC DC, TLvState& S) {
  RECT C{};
  GetClientRect(Wnd, &C);
  HBRUSH Back = CreateSolidBrush(S.Back != CLR_INVALID ? S.Back : GetSysColor(COLOR_WINDOW));
  ::FillRect(DC, &C, Back);
  DeleteObject(Back);
  TGeometry G = Geometry(Wnd, S);
  int N = Count(Wnd, S);
  bool Focused = GetFocus() == Wnd;
  bool ShowSel = Focused || (StyleOf(Wnd) & LVS_SHOWSELALWAYS);
  COLORREF Fore = S.Text != CLR_INVALID ? S.Text : GetSysColor(COLOR_WINDOWTEXT);
  if (!IsWindowEnabled(Wnd)) Fore = GetSysColor(COLOR_GRAYTEXT);
  SetBkMode(DC, TRANSPARENT);
  int Columns = ColumnCount(S);
  std::vector<int> Order(static_cast<size_t>(Columns));
  if (Columns) SendMessageA(S.Header, HDM_GETORDERARRAY, Order.size(), reinterpret_cast<LPARAM>(Order.data()));
  for (int I = 0; I < N; ++I) {
    RECT Cl = Cell(Wnd, S, G, I);
    if (Cl.bottom <= G.Top || Cl.top >= C.bottom || Cl.right <= 0 || Cl.left >= C.right) continue;
    RECT Icon{}, Label{};
    Parts(Wnd, S, G, I, Icon, Label);
    UINT St = S.States[static_cast<size_t>(I)];
    bool Selected = (St & LVIS_SELECTED) && ShowSel;
    HIMAGELIST List = View(Wnd) == LVS_ICON ? S.Large : S.Small;
    if (List) DrawImage(DC, List, ImageOf(Wnd, S, I), Icon.left, Icon.top + (Icon.bottom - Icon.top - List->GetHeight()) / 2);
    HGDIOBJ Old = S.Font ? SelectObject(DC, S.Font) : nullptr;
    SetBkMode(DC, TRANSPARENT);
    String Text = TextOf(Wnd, S, I, 0);
    RECT L = Label;
    if (View(Wnd) != LVS_REPORT && View(Wnd) != LVS_ICON) L.right = std::min<LONG>(L.right, L.left + TextWidth(S, Text) + 6);
    if (View(Wnd) == LVS_REPORT && (S.ExStyle & LVS_EX_FULLROWSELECT)) L.right = Cl.right;
    COLORREF Ink = Fore;
    if (Selected) {
      HBRUSH Sel = CreateSolidBrush(GetSysColor(Focused ? COLOR_HIGHLIGHT : COLOR_BTNFACE));
      ::FillRect(DC, &L, Sel);
      DeleteObject(Sel);
      Ink = GetSysColor(Focused ? COLOR_HIGHLIGHTTEXT : COLOR_BTNTEXT);
    }
    SetTextColor(DC, Ink);
    RECT T = L;
    InflateRect(&T, -2, 0);
    UINT Flags = DT_NOPREFIX | DT_END_ELLIPSIS |
                 (View(Wnd) == LVS_ICON ? DT_CENTER | DT_WORDBREAK : DT_LEFT | DT_VCENTER | DT_SINGLELINE);
    DrawTextA(DC, Text.c_str(), static_cast<int>(Text.size()), &T, Flags);
    if (View(Wnd) == LVS_REPORT) {
      int X = -S.ScrollX;
      for (int Col : Order) {
        int W = ColumnWidth(S, Col);
        if (Col > 0) {
          String Sub = TextOf(Wnd, S, I, Col);
          HDITEMA H;
          H.mask = HDI_FORMAT;
          SendMessageA(S.Header, HDM_GETITEMA, static_cast<WPARAM>(Col), reinterpret_cast<LPARAM>(&H));
          RECT R = Rect(X + 6, Cl.top, X + W - 6, Cl.bottom);
          SetTextColor(DC, Fore);
          UINT Align = (H.fmt & HDF_JUSTIFYMASK) == HDF_RIGHT ? DT_RIGHT : (H.fmt & HDF_JUSTIFYMASK) == HDF_CENTER ? DT_CENTER : DT_LEFT;
          DrawTextA(DC, Sub.c_str(), static_cast<int>(Sub.size()), &R,
                    Align | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX | DT_END_ELLIPSIS);
        }
        X += W;
      }
    }
    if ((St & LVIS_FOCUSED) && Focused) DrawFocusRect(DC, &L);
    if (Old) SelectObject(DC, Old);
  }
  if (View(Wnd) == LVS_REPORT && (S.ExStyle & LVS_EX_GRIDLINES) && G.CellH > 0) {
    // A line under every row and after every column, down to the bottom of the window.
    HBRUSH Grid = CreateSolidBrush(GetSysColor(COLOR_BTNFACE));
    int Right = std::min<int>(C.right, TotalColumnWidth(S) - S.ScrollX);
    for (int Y = G.Top + G.CellH - 1; Y < C.bottom; Y += G.CellH) {
      RECT R = Rect(0, Y, Right, Y + 1);
      ::FillRect(DC, &R, Grid);
    }
    int X = -S.ScrollX;
    for (int Col : Order) {
      X += ColumnWidth(S, Col);
      RECT R = Rect(X - 1, G.Top, X, C.bottom);
      ::FillRect(DC, &R, Grid);
    }
    DeleteObject(Grid);
  }
}

// Finds an item as LVM_FINDITEM does (the parent answers for owner data).
int FindItem(HWND Wnd, TLvState& S, int Start, const LVFINDINFOA& Info) {
  int N = Count(Wnd, S);
  if (OwnerData(Wnd)) {
    NMLVFINDITEMA F;
    F.iStart = Start;
    F.lvfi = Info;
    return static_cast<int>(Send(Wnd, F.hdr, LVN_ODFINDITEMA));
  }
  int From = Start + 1;
  for (int K = 0; K < N; ++K) {
    int I = From + K;
    if (I >= N) {
      if (!(Info.flags & LVFI_WRAP)) break;
      I -= N;
    }
    if ((Info.flags & LVFI_PARAM) && S.Items[static_cast<size_t>(I)].Param == Info.lParam) return I;
    if ((Info.flags & (LVFI_STRING | LVFI_PARTIAL)) && Info.psz) {
      String T = TextOf(Wnd, S, I, 0), Want = Info.psz;
      if (Info.flags & LVFI_PARTIAL) T = T.substr(0, Want.size());
      if (AnsiCompareText(T, Want) == 0) return I;
    }
  }
  return -1;
}

// Moves the focus to Index and selects it as a click or key would (Ctrl / Shift extend).
void UserSelect(HWND Wnd, int Index, bool Ctrl, bool Shift) {
  TLvState& S = StateOf(Wnd);
  bool Multi = !(StyleOf(Wnd) & LVS_SINGLESEL);
  if (Multi && Shift && S.Mark >= 0) {
    int A = std::min(S.Mark, Index), B = std::max(S.Mark, Index);
    for (int I = 0; Find(Wnd) && I < Count(Wnd, *Find(Wnd)); ++I)
      SetState(Wnd, I, (I >= A && I <= B) ? LVIS_SELECTED : 0, LVIS_SELECTED);
    SetState(Wnd, Index, LVIS_FOCUSED, LVIS_FOCUSED);
  } else if (Multi && Ctrl) {
    UINT Cur = S.States[static_cast<size_t>(Index)];
    SetState(Wnd, Index, (Cur & LVIS_SELECTED) ? LVIS_FOCUSED : (LVIS_FOCUSED | LVIS_SELECTED),
             LVIS_FOCUSED | LVIS_SELECTED);
    if (TLvState* St = Find(Wnd)) St->Mark = Index;
  } else {
    SetAllStates(Wnd, 0, LVIS_SELECTED, Index);
    SetState(Wnd, Index, LVIS_FOCUSED | LVIS_SELECTED, LVIS_FOCUSED | LVIS_SELECTED);
    if (TLvState* St = Find(Wnd)) St->Mark = Index;
  }
  if (TLvState* St = Find(Wnd)) EnsureVisible(Wnd, *St, Index);
}

int FocusedIndex(TLvState& S) {
  for (size_t I = 0; I < S.States.size(); ++I)
    if (S.States[I] & LVIS_FOCUSED) return static_cast<int>(I);
  return -1;
}

bool KeyDown(WORD Key) { return (GetKeyState(Key) & 0x8000) != 0; }

void DismissEdit(TLvState& S) {
  HWND Edit = S.Edit;
  S.Edit = nullptr;
  S.Editing = -1;
  if (Edit) DestroyLabelEdit(Edit);
}

// Keeps the edited and the clicked item's numbers right when an item comes (Delta 1) or goes
// (Delta -1) at Index; an edited label whose item goes ends without a word to the parent.
void ItemsMoved(TLvState& S, int Index, int Delta) {
  if (Delta < 0 && S.Editing == Index) DismissEdit(S);
  else if (S.Editing >= Index && S.Editing >= 0) S.Editing += Delta;
  if (Delta < 0 && S.PendingEdit == Index) S.PendingEdit = -1;
  else if (S.PendingEdit >= Index && S.PendingEdit >= 0) S.PendingEdit += Delta;
}

void DeleteAt(HWND Wnd, TLvState& S, int Index) {
  ItemsMoved(S, Index, -1);
  NMLISTVIEW N;
  N.iItem = Index;
  N.lParam = ParamOf(Wnd, S, Index);
  Send(Wnd, N.hdr, LVN_DELETEITEM);
  TLvState* St = Find(Wnd);
  if (!St || Index >= Count(Wnd, *St)) return;
  if (!OwnerData(Wnd)) St->Items.erase(St->Items.begin() + Index);
  else --St->OwnerCount;
  St->States.erase(St->States.begin() + Index);
  if (St->Mark == Index) St->Mark = -1;
  else if (St->Mark > Index) --St->Mark;
}

// ---- Label editing ----

// The rectangle the label editor starts from: the label, as wide as its text at least.
RECT EditRect(HWND Wnd, TLvState& S, int Index) {
  TGeometry G = Geometry(Wnd, S);
  RECT Icon{}, Label{};
  Parts(Wnd, S, G, Index, Icon, Label);
  if (View(Wnd) != LVS_ICON) {
    Label.right = std::min<LONG>(Label.right, Label.left + TextWidth(S, TextOf(Wnd, S, Index, 0)) + 6);
    Label.right = std::max<LONG>(Label.right, Label.left + 20);
  } else {
    Label.bottom = std::min<LONG>(Label.bottom, Label.top + FontHeight(S) + 4);
  }
  return Label;
}

// Ends the edit in progress: the parent hears LVN_ENDLABELEDIT (no text when cancelled) and a
// non-zero answer lets the new text replace the label. False when nothing was edited.
bool EndEdit(HWND Wnd, bool Cancel) {
  TLvState* S = Find(Wnd);
  if (!S || !S->Edit || S->EndingEdit) return false;
  S->EndingEdit = true;
  HWND Edit = S->Edit;
  int Index = S->Editing;
  String Text = LabelEditText(Edit);
  if (Index >= 0 && Index < Count(Wnd, *S)) {
    NMLVDISPINFOA D;
    D.item.mask = LVIF_TEXT | LVIF_PARAM;
    D.item.iItem = Index;
    D.item.lParam = ParamOf(Wnd, *S, Index);
    D.item.pszText = Cancel ? nullptr : Text.data();
    D.item.cchTextMax = Cancel ? 0 : static_cast<int>(Text.size()) + 1;
    LRESULT Keep = Send(Wnd, D.hdr, LVN_ENDLABELEDITA);
    S = Find(Wnd);
    if (S && !Cancel && Keep != 0 && S->Editing == Index && Index < Count(Wnd, *S)) {
      if (OwnerData(Wnd) || S->Items[static_cast<size_t>(Index)].TextCallback) {
        // The parent keeps the text: it is given the new one.
        NMLVDISPINFOA Set;
        Set.item.mask = LVIF_TEXT | LVIF_PARAM;
        Set.item.iItem = Index;
        Set.item.lParam = ParamOf(Wnd, *S, Index);
        Set.item.pszText = Text.data();
        Set.item.cchTextMax = static_cast<int>(Text.size()) + 1;
        Send(Wnd, Set.hdr, LVN_SETDISPINFOA);
        S = Find(Wnd);
      } else {
        S->Items[static_cast<size_t>(Index)].Text = Text;
        S->LabelWidth = -1;
      }
    }
  }
  if (S && S->Edit == Edit) {
    S->Edit = nullptr;
    S->Editing = -1;
  }
  DestroyLabelEdit(Edit);
  if ((S = Find(Wnd)) != nullptr) {
    S->EndingEdit = false;
    Relayout(Wnd, *S);
  }
  return true;
}

void EditEnded(HWND Wnd, bool Cancel) { EndEdit(Wnd, Cancel); }

// Starts editing item Index's label (focusing it and scrolling it into view); the editor, or
// null when the parent refused.
HWND BeginEdit(HWND Wnd, int Index) {
  TLvState* S = Find(Wnd);
  if (S && S->Edit) {
    EndEdit(Wnd, false);
    S = Find(Wnd);
  }
  if (!S || Index < 0 || Index >= Count(Wnd, *S)) return nullptr;
  if (GetFocus() != Wnd) SetFocus(Wnd);
  SetState(Wnd, Index, LVIS_FOCUSED, LVIS_FOCUSED);
  S = Find(Wnd);
  if (!S || Index >= Count(Wnd, *S)) return nullptr;
  EnsureVisible(Wnd, *S, Index);
  String Text = TextOf(Wnd, *S, Index, 0);
  S = Find(Wnd);
  if (!S || Index >= Count(Wnd, *S)) return nullptr;
  HWND Edit = CreateLabelEdit(Wnd, Text, S->Font, EditRect(Wnd, *S, Index), EditEnded);
  if (!Edit) return nullptr;
  S->Edit = Edit;
  S->Editing = Index;
  S->PendingEdit = -1;
  // The parent may look at the editor (LVM_GETEDITCONTROL) before it answers.
  NMLVDISPINFOA D;
  D.item.mask = LVIF_TEXT | LVIF_PARAM | LVIF_STATE;
  D.item.iItem = Index;
  D.item.lParam = ParamOf(Wnd, *S, Index);
  D.item.state = S->States[static_cast<size_t>(Index)];
  D.item.pszText = Text.data();
  D.item.cchTextMax = static_cast<int>(Text.size()) + 1;
  LRESULT Refused = Send(Wnd, D.hdr, LVN_BEGINLABELEDITA);
  S = Find(Wnd);
  if (Refused != 0 || !S || S->Edit != Edit || S->Editing < 0) {
    if (S && S->Edit == Edit) DismissEdit(*S);
    else if (IsWindow(Edit)) DestroyLabelEdit(Edit);
    return nullptr;
  }
  ShowLabelEdit(Edit);
  return IsWindow(Edit) ? Edit : nullptr;
}

// Scrolls for a wheel turn; false when the view has nothing to scroll that way.
bool Wheel(HWND Wnd, TLvState& S, int Delta) {
  TGeometry G = Geometry(Wnd, S);
  RECT C{};
  GetClientRect(Wnd, &C);
  int N = Count(Wnd, S);
  switch (View(Wnd)) {
    case LVS_REPORT: {
      if (N <= G.PageItems) return false;
      S.ScrollY -= WheelScrollLines(S.WheelRest, Delta, std::max(G.PageItems, 1));
      break;
    }
    case LVS_LIST: {
      // Columns sideways.
      int Columns = (N + G.PerLine - 1) / G.PerLine, Page = std::max(1, static_cast<int>(C.right) / G.CellW);
      if (Columns <= Page) return false;
      S.ScrollX -= WheelScrollLines(S.WheelRest, Delta, Page);
      break;
    }
    default: {
      // Rows of icons.
      int Rows = (N + G.PerLine - 1) / G.PerLine;
      if (Rows * G.CellH <= C.bottom) return false;
      S.ScrollY -= WheelScrollLines(S.WheelRest, Delta, std::max(1, static_cast<int>(C.bottom) / G.CellH)) * G.CellH;
      break;
    }
  }
  Relayout(Wnd, S);
  return true;
}

LRESULT ListViewProc(HWND Wnd, UINT Msg, WPARAM WParam, LPARAM LParam) {
  if (Msg == WM_NCDESTROY) {
    States().erase(Wnd);
    return DefWindowProcA(Wnd, Msg, WParam, LParam);
  }
  if (Msg == WM_DESTROY) {
    KillTimer(Wnd, EditTimer);
    if (TLvState* St = Find(Wnd)) DismissEdit(*St);
    return DefWindowProcA(Wnd, Msg, WParam, LParam);
  }
  TLvState& S = StateOf(Wnd);
  int N = Count(Wnd, S);
  switch (Msg) {
    case LVM_SETITEMCOUNT:
    case LVM_INSERTITEMA:
    case LVM_DELETEITEM:
    case LVM_DELETEALLITEMS:
    case LVM_SETITEMA:
    case LVM_SETITEMTEXTA:
    case LVM_SORTITEMS:
    case LVM_UPDATE:
    case LVM_REDRAWITEMS:
    case LVM_ARRANGE:
    case LVM_SETIMAGELIST:
    case WM_SETFONT: S.LabelWidth = -1; break;
    default: break;
  }
  switch (Msg) {
    case WM_CREATE:
      EnsureHeader(Wnd, S);
      Relayout(Wnd, S);
      return 0;
    case LVM_GETITEMCOUNT: return N;
    case LVM_SETITEMCOUNT: {
      if (!OwnerData(Wnd)) return TRUE;  // a hint only
      int NewCount = std::max(0, static_cast<int>(WParam));
      if (S.Editing >= NewCount) DismissEdit(S);
      if (S.PendingEdit >= NewCount) S.PendingEdit = -1;
      S.OwnerCount = NewCount;
      S.States.resize(static_cast<size_t>(NewCount), 0);
      if (S.Mark >= NewCount) S.Mark = -1;
      Relayout(Wnd, S);
      return TRUE;
    }
    case LVM_INSERTITEMA: {
      auto* Item = reinterpret_cast<const LVITEMA*>(LParam);
      if (!Item || OwnerData(Wnd) || Item->iSubItem != 0) return -1;
      int Index = std::max(0, std::min(Item->iItem, N));
      TLvItem New;
      if (Item->mask & LVIF_TEXT) {
        New.TextCallback = Item->pszText == LPSTR_TEXTCALLBACKA;
        if (!New.TextCallback && Item->pszText) New.Text = Item->pszText;
      }
      if (Item->mask & LVIF_IMAGE) New.Image = Item->iImage;
      if (Item->mask & LVIF_PARAM) New.Param = Item->lParam;
      ItemsMoved(S, Index, 1);
      S.Items.insert(S.Items.begin() + Index, New);
      S.States.insert(S.States.begin() + Index, (Item->mask & LVIF_STATE) ? (Item->state & Item->stateMask) : 0);
      if (S.Mark >= Index) ++S.Mark;
      NMLISTVIEW Nm;
      Nm.iItem = Index;
      Nm.lParam = New.Param;
      Send(Wnd, Nm.hdr, LVN_INSERTITEM);
      if (TLvState* St = Find(Wnd)) Relayout(Wnd, *St);
      return Index;
    }
    case LVM_DELETEITEM: {
      int Index = static_cast<int>(WParam);
      if (Index < 0 || Index >= N) return FALSE;
      DeleteAt(Wnd, S, Index);
      if (TLvState* St = Find(Wnd)) Relayout(Wnd, *St);
      return TRUE;
    }
    case LVM_DELETEALLITEMS: {
      DismissEdit(S);
      S.PendingEdit = -1;
      NMLISTVIEW Nm;
      Nm.iItem = -1;
      bool Quiet = Send(Wnd, Nm.hdr, LVN_DELETEALLITEMS) != 0;
      TLvState* St = Find(Wnd);
      while (St && Count(Wnd, *St) > 0) {
        int Last = Count(Wnd, *St) - 1;
        if (Quiet) {
          if (!OwnerData(Wnd)) St->Items.pop_back();
          else --St->OwnerCount;
          St->States.pop_back();
        } else {
          DeleteAt(Wnd, *St, Last);
        }
        St = Find(Wnd);
      }
      if (St) {
        St->Mark = -1;
        St->ScrollX = St->ScrollY = 0;
        Relayout(Wnd, *St);
      }
      return TRUE;
    }
    case LVM_GETITEMA:
    case LVM_SETITEMA: {
      auto* Item = reinterpret_cast<LVITEMA*>(LParam);
      if (!Item || Item->iItem < 0 || Item->iItem >= N) return FALSE;
      size_t I = static_cast<size_t>(Item->iItem);
      if (Msg == LVM_SETITEMA) {
        if (Item->mask & LVIF_STATE) SetState(Wnd, Item->iItem, Item->state, Item->stateMask);
        TLvState* St = Find(Wnd);
        if (!St || OwnerData(Wnd) || I >= St->Items.size()) return TRUE;
        TLvItem& It = St->Items[I];
        if (Item->mask & LVIF_TEXT) {
          String T = Item->pszText && Item->pszText != LPSTR_TEXTCALLBACKA ? String(Item->pszText) : String();
          if (Item->iSubItem == 0) {
            It.TextCallback = Item->pszText == LPSTR_TEXTCALLBACKA;
            It.Text = T;
          } else if (Item->iSubItem > 0) {
            if (It.SubItems.size() < static_cast<size_t>(Item->iSubItem)) It.SubItems.resize(static_cast<size_t>(Item->iSubItem));
            It.SubItems[static_cast<size_t>(Item->iSubItem - 1)] = Item->pszText == LPSTR_TEXTCALLBACKA ? String("\x01") : T;
          }
        }
        if (Item->iSubItem == 0) {
          if (Item->mask & LVIF_IMAGE) It.Image = Item->iImage;
          if (Item->mask & LVIF_PARAM) It.Param = Item->lParam;
        }
        InvalidateRect(Wnd, nullptr, TRUE);
        return TRUE;
      }
      if ((Item->mask & LVIF_TEXT) && Item->pszText && Item->cchTextMax > 0) {
        String T = TextOf(Wnd, S, Item->iItem, Item->iSubItem);
        size_t K = std::min(T.size(), static_cast<size_t>(Item->cchTextMax - 1));
        std::copy_n(T.data(), K, Item->pszText);
        Item->pszText[K] = '\0';
      }
      if (Item->mask & LVIF_IMAGE) Item->iImage = OwnerData(Wnd) ? ImageOf(Wnd, S, Item->iItem) : S.Items[I].Image;
      if (Item->mask & LVIF_PARAM) Item->lParam = ParamOf(Wnd, S, Item->iItem);
      if (Item->mask & LVIF_STATE) Item->state = S.States[I] & Item->stateMask;
      return TRUE;
    }
    case LVM_GETITEMTEXTA:
    case LVM_SETITEMTEXTA: {
      auto* Item = reinterpret_cast<LVITEMA*>(LParam);
      if (!Item) return 0;
      Item->iItem = static_cast<int>(WParam);
      Item->mask = LVIF_TEXT;
      if (Msg == LVM_SETITEMTEXTA) return ListViewProc(Wnd, LVM_SETITEMA, 0, LParam);
      if (!ListViewProc(Wnd, LVM_GETITEMA, 0, LParam)) return 0;
      return Item->pszText ? static_cast<LRESULT>(std::strlen(Item->pszText)) : 0;
    }
    case LVM_SETITEMSTATE: {
      auto* Item = reinterpret_cast<const LVITEMA*>(LParam);
      if (!Item) return FALSE;
      int Index = static_cast<int>(static_cast<INT_PTR>(WParam));
      if (Index == -1) {
        SetAllStates(Wnd, Item->state, Item->stateMask);
        return TRUE;
      }
      if (Index < 0 || Index >= N) return FALSE;
      if ((Item->stateMask & LVIS_SELECTED) && (Item->state & LVIS_SELECTED) && (StyleOf(Wnd) & LVS_SINGLESEL))
        SetAllStates(Wnd, 0, LVIS_SELECTED, Index);
      return SetState(Wnd, Index, Item->state, Item->stateMask);
    }
    case LVM_GETITEMSTATE: {
      int Index = static_cast<int>(WParam);
      return Index >= 0 && Index < N ? S.States[static_cast<size_t>(Index)] & static_cast<UINT>(LParam) : 0;
    }
    case LVM_GETNEXTITEM: {
      int Start = static_cast<int>(static_cast<INT_PTR>(WParam));
      UINT Flags = static_cast<UINT>(LParam);
      UINT Want = Flags & (LVNI_FOCUSED | LVNI_SELECTED);
      UINT Dir = Flags & (LVNI_ABOVE | LVNI_BELOW | LVNI_TOLEFT | LVNI_TORIGHT);
      if (Dir) {
        TGeometry G = Geometry(Wnd, S);
        int Step = 1;
        bool Rows = View(Wnd) == LVS_REPORT;
        bool Columns = View(Wnd) == LVS_LIST;
        if (Dir & (LVNI_ABOVE | LVNI_BELOW)) Step = Rows || Columns ? 1 : G.PerLine;
        else Step = Rows ? 0 : Columns ? G.PerLine : 1;
        if (Step == 0 || Start < 0) return -1;
        int Sign = (Dir & (LVNI_ABOVE | LVNI_TOLEFT)) ? -1 : 1;
        for (int I = Start + Sign * Step; I >= 0 && I < N; I += Sign * Step)
          if ((S.States[static_cast<size_t>(I)] & Want) == Want) return I;
        return -1;
      }
      for (int I = Start + 1; I < N; ++I)
        if ((S.States[static_cast<size_t>(I)] & Want) == Want) return I;
      return -1;
    }
    case LVM_GETSELECTEDCOUNT:
      return std::count_if(S.States.begin(), S.States.end(), [](UINT St) { return (St & LVIS_SELECTED) != 0; });
    case LVM_GETSELECTIONMARK: return S.Mark;
    case LVM_SETSELECTIONMARK: {
      int Old = S.Mark;
      S.Mark = static_cast<int>(LParam) < N ? static_cast<int>(LParam) : -1;
      return Old;
    }
    case LVM_FINDITEMA: {
      auto* Info = reinterpret_cast<const LVFINDINFOA*>(LParam);
      return Info ? FindItem(Wnd, S, static_cast<int>(static_cast<INT_PTR>(WParam)), *Info) : -1;
    }
    case LVM_GETITEMRECT: {
      auto* R = reinterpret_cast<RECT*>(LParam);
      int Index = static_cast<int>(WParam);
      if (!R || Index < 0 || Index >= N) return FALSE;
      TGeometry G = Geometry(Wnd, S);
      RECT Icon{}, Label{};
      Parts(Wnd, S, G, Index, Icon, Label);
      switch (R->left) {
        case LVIR_ICON: *R = Icon; break;
        case LVIR_LABEL: *R = Label; break;
        case LVIR_SELECTBOUNDS: UnionRect(R, &Icon, &Label); break;
        default: *R = Cell(Wnd, S, G, Index); break;
      }
      return TRUE;
    }
    case LVM_HITTEST: {
      auto* Info = reinterpret_cast<LVHITTESTINFO*>(LParam);
      if (!Info) return -1;
      Info->iItem = HitTest(Wnd, S, Info->pt, Info->flags, &Info->iSubItem);
      return Info->iItem;
    }
    case LVM_ENSUREVISIBLE: {
      int Index = static_cast<int>(WParam);
      if (Index < 0 || Index >= N) return FALSE;
      EnsureVisible(Wnd, S, Index);
      return TRUE;
    }
    case LVM_SCROLL: {
      TGeometry G = Geometry(Wnd, S);
      int Dx = static_cast<int>(WParam), Dy = static_cast<int>(LParam);
      switch (View(Wnd)) {
        case LVS_REPORT:
          S.ScrollX += Dx;
          S.ScrollY += Dy / G.CellH;
          break;
        case LVS_LIST: S.ScrollX += Dx / G.CellW; break;
        default: S.ScrollY += Dy; break;
      }
      Relayout(Wnd, S);
      return TRUE;
    }
    case LVM_GETTOPINDEX: {
      TGeometry G = Geometry(Wnd, S);
      switch (View(Wnd)) {
        case LVS_REPORT: return N ? S.ScrollY : 0;
        case LVS_LIST: return N ? S.ScrollX * G.PerLine : 0;
        default: return 0;
      }
    }
    case LVM_GETCOUNTPERPAGE: {
      TGeometry G = Geometry(Wnd, S);
      return G.PageItems;
    }
    case LVM_REDRAWITEMS:
    case LVM_UPDATE:
    case LVM_ARRANGE: Relayout(Wnd, S); return TRUE;
    case LVM_SORTITEMS: {
      auto Compare = reinterpret_cast<PFNLVCOMPARE>(LParam);
      if (!Compare || OwnerData(Wnd)) return FALSE;
      // Items move: an edit in progress ends first, keeping its text.
      if (S.Edit) {
        EndEdit(Wnd, false);
        if (!Find(Wnd)) return FALSE;
      }
      S.PendingEdit = -1;
      std::vector<size_t> Index(S.Items.size());
      for (size_t I = 0; I < Index.size(); ++I) Index[I] = I;
      LPARAM Data = static_cast<LPARAM>(WParam);
      std::stable_sort(Index.begin(), Index.end(),
                       [&](size_t A, size_t B) { return Compare(S.Items[A].Param, S.Items[B].Param, Data) < 0; });
      std::vector<TLvItem> Items;
      std::vector<UINT> St;
      int Mark = -1;
      for (size_t I : Index) {
        if (static_cast<int>(I) == S.Mark) Mark = static_cast<int>(Items.size());
        Items.push_back(S.Items[I]);
        St.push_back(S.States[I]);
      }
      S.Items = std::move(Items);
      S.States = std::move(St);
      S.Mark = Mark;
      Relayout(Wnd, S);
      return TRUE;
    }
    case LVM_INSERTCOLUMNA:
    case LVM_SETCOLUMNA: {
      auto* Col = reinterpret_cast<const LVCOLUMNA*>(LParam);
      if (!Col) return Msg == LVM_INSERTCOLUMNA ? -1 : FALSE;
      EnsureHeader(Wnd, S);
      HDITEMA H;
      if (Col->mask & LVCF_TEXT) {
        H.mask |= HDI_TEXT;
        H.pszText = Col->pszText;
      }
      if (Col->mask & LVCF_WIDTH) {
        H.mask |= HDI_WIDTH;
        H.cxy = Col->cx;
      }
      if (Col->mask & LVCF_FMT) {
        H.mask |= HDI_FORMAT;
        H.fmt = (Col->fmt & LVCFMT_JUSTIFYMASK) | HDF_STRING;
      }
      if (Col->mask & LVCF_IMAGE) {
        H.mask |= HDI_IMAGE | HDI_FORMAT;
        H.iImage = Col->iImage;
        H.fmt = ((Col->mask & LVCF_FMT) ? (Col->fmt & LVCFMT_JUSTIFYMASK) : 0) | HDF_STRING | HDF_IMAGE;
      }
      if (Col->mask & LVCF_ORDER) {
        H.mask |= HDI_ORDER;
        H.iOrder = Col->iOrder;
      }
      LRESULT R = SendMessageA(S.Header, Msg == LVM_INSERTCOLUMNA ? HDM_INSERTITEMA : HDM_SETITEMA, WParam,
                               reinterpret_cast<LPARAM>(&H));
      Relayout(Wnd, S);
      return R;
    }
    case LVM_GETCOLUMNA: {
      auto* Col = reinterpret_cast<LVCOLUMNA*>(LParam);
      if (!Col || !S.Header) return FALSE;
      HDITEMA H;
      H.mask = HDI_WIDTH | HDI_FORMAT | HDI_ORDER | HDI_IMAGE | ((Col->mask & LVCF_TEXT) ? HDI_TEXT : 0);
      H.pszText = Col->pszText;
      H.cchTextMax = Col->cchTextMax;
      if (!SendMessageA(S.Header, HDM_GETITEMA, WParam, reinterpret_cast<LPARAM>(&H))) return FALSE;
      if (Col->mask & LVCF_WIDTH) Col->cx = H.cxy;
      if (Col->mask & LVCF_FMT) Col->fmt = H.fmt & HDF_JUSTIFYMASK;
      if (Col->mask & LVCF_ORDER) Col->iOrder = H.iOrder;
      if (Col->mask & LVCF_IMAGE) Col->iImage = H.iImage;
      if (Col->mask & LVCF_SUBITEM) Col->iSubItem = static_cast<int>(WParam);
      return TRUE;
    }
    case LVM_DELETECOLUMN: {
      if (!S.Header) return FALSE;
      LRESULT R = SendMessageA(S.Header, HDM_DELETEITEM, WParam, 0);
      Relayout(Wnd, S);
      return R;
    }
    case LVM_GETCOLUMNWIDTH: return ColumnWidth(S, static_cast<int>(WParam));
    case LVM_SETCOLUMNWIDTH: {
      if (!S.Header) return FALSE;
      HDITEMA H;
      H.mask = HDI_WIDTH;
      H.cxy = std::max(0, static_cast<int>(static_cast<short>(LOWORD(LParam))));
      LRESULT R = SendMessageA(S.Header, HDM_SETITEMA, WParam, reinterpret_cast<LPARAM>(&H));
      Relayout(Wnd, S);
      return R;
    }
    case LVM_GETHEADER: EnsureHeader(Wnd, S); return reinterpret_cast<LRESULT>(S.Header);
    case LVM_SETIMAGELIST:
    case LVM_GETIMAGELIST: {
      HIMAGELIST* Slot = WParam == static_cast<WPARAM>(LVSIL_NORMAL)  ? &S.Large
                         : WParam == static_cast<WPARAM>(LVSIL_SMALL) ? &S.Small
                                                                      : &S.StateImages;
      HIMAGELIST Old = *Slot;
      if (Msg == LVM_SETIMAGELIST) {
        *Slot = reinterpret_cast<HIMAGELIST>(LParam);
        Relayout(Wnd, S);
      }
      return reinterpret_cast<LRESULT>(Old);
    }
    case LVM_SETBKCOLOR: S.Back = static_cast<COLORREF>(LParam); InvalidateRect(Wnd, nullptr, TRUE); return TRUE;
    case LVM_GETBKCOLOR: return S.Back == CLR_INVALID ? GetSysColor(COLOR_WINDOW) : S.Back;
    case LVM_SETTEXTCOLOR: S.Text = static_cast<COLORREF>(LParam); InvalidateRect(Wnd, nullptr, TRUE); return TRUE;
    case LVM_GETTEXTCOLOR: return S.Text == CLR_INVALID ? GetSysColor(COLOR_WINDOWTEXT) : S.Text;
    case LVM_SETTEXTBKCOLOR: S.TextBack = static_cast<COLORREF>(LParam); return TRUE;
    case LVM_GETTEXTBKCOLOR: return S.TextBack;
    case LVM_SETEXTENDEDLISTVIEWSTYLE: {
      DWORD Old = S.ExStyle;
      DWORD Mask = WParam ? static_cast<DWORD>(WParam) : 0xFFFFFFFF;
      S.ExStyle = (S.ExStyle & ~Mask) | (static_cast<DWORD>(LParam) & Mask);
      // Columns move by dragging their captions.
      EnsureHeader(Wnd, S);
      LONG HS = GetWindowLongA(S.Header, GWL_STYLE);
      SetWindowLongA(S.Header, GWL_STYLE,
                     (S.ExStyle & LVS_EX_HEADERDRAGDROP) ? (HS | static_cast<LONG>(HDS_DRAGDROP))
                                                         : (HS & ~static_cast<LONG>(HDS_DRAGDROP)));
      InvalidateRect(Wnd, nullptr, TRUE);
      return Old;
    }
    case LVM_GETEXTENDEDLISTVIEWSTYLE: return S.ExStyle;
    case LVM_EDITLABELA: {
      int Index = static_cast<int>(static_cast<INT_PTR>(WParam));
      if (Index == -1) {
        EndEdit(Wnd, true);
        return 0;
      }
      return reinterpret_cast<LRESULT>(BeginEdit(Wnd, Index));
    }
    case LVM_GETEDITCONTROL: return reinterpret_cast<LRESULT>(S.Edit);
    case LVM_CANCELEDITLABEL: EndEdit(Wnd, true); return 0;
    case WM_COMMAND:
      // The label editor grows with its text.
      if (S.Edit && reinterpret_cast<HWND>(LParam) == S.Edit && HIWORD(WParam) == EN_CHANGE && S.Editing >= 0 &&
          S.Editing < N)
        FitLabelEdit(S.Edit, EditRect(Wnd, S, S.Editing));
      return 0;
    case WM_TIMER:
      if (WParam == EditTimer) {
        KillTimer(Wnd, EditTimer);
        int Index = S.PendingEdit;
        S.PendingEdit = -1;
        if (Index >= 0 && Index < N && (S.States[static_cast<size_t>(Index)] & LVIS_FOCUSED) && GetFocus() == Wnd &&
            (StyleOf(Wnd) & LVS_EDITLABELS))
          BeginEdit(Wnd, Index);
        return 0;
      }
      break;
    case WM_NOTIFY: {
      auto* H = reinterpret_cast<const NMHDR*>(LParam);
      if (!H || H->hwndFrom != S.Header) return 0;
      if (H->code == HDN_ITEMCLICKA && !(StyleOf(Wnd) & LVS_NOSORTHEADER)) {
        NMLISTVIEW Nm;
        Nm.iItem = -1;
        Nm.iSubItem = reinterpret_cast<const NMHEADERA*>(LParam)->iItem;
        Send(Wnd, Nm.hdr, LVN_COLUMNCLICK);
      } else if (H->code == HDN_ITEMCHANGEDA) {
        Relayout(Wnd, S);
      }
      return 0;
    }
    case WM_SETFONT:
      S.Font = reinterpret_cast<HFONT>(WParam);
      if (S.Header) SendMessageA(S.Header, WM_SETFONT, WParam, LParam);
      Relayout(Wnd, S);
      return 0;
    case WM_GETFONT: return reinterpret_cast<LRESULT>(S.Font);
    case WM_STYLECHANGED:
    case WM_SIZE:
      Relayout(Wnd, S);
      return DefWindowProcA(Wnd, Msg, WParam, LParam);
    case WM_GETDLGCODE: return 0x0001 | 0x0080;
    case WM_SETFOCUS:
    case WM_KILLFOCUS: {
      InvalidateRect(Wnd, nullptr, TRUE);
      NMHDR H;
      Send(Wnd, H, Msg == WM_SETFOCUS ? NM_SETFOCUS : NM_KILLFOCUS);
      return 0;
    }
    case WM_VSCROLL:
    case WM_HSCROLL: {
      // Scrolling ends a label edit, keeping the text.
      if (S.Edit) {
        EndEdit(Wnd, false);
        if (!Find(Wnd)) return 0;
      }
      TGeometry G = Geometry(Wnd, S);
      bool Vert = Msg == WM_VSCROLL;
      int& Pos = Vert ? S.ScrollY : S.ScrollX;
      bool Pixels = (Vert && View(Wnd) != LVS_REPORT) || (!Vert && View(Wnd) == LVS_REPORT);
      RECT C{};
      GetClientRect(Wnd, &C);
      int Line = Pixels ? (Vert ? G.CellH : 8) : 1;
      int Page = Pixels ? static_cast<int>(Vert ? C.bottom : C.right) : std::max(1, Vert ? G.PageItems : static_cast<int>(C.right) / G.CellW);
      switch (LOWORD(WParam)) {
        case SB_LINEUP: Pos -= Line; break;
        case SB_LINEDOWN: Pos += Line; break;
        case SB_PAGEUP: Pos -= Page; break;
        case SB_PAGEDOWN: Pos += Page; break;
        case SB_THUMBPOSITION:
        case SB_THUMBTRACK: Pos = ThumbPosition(Wnd, Vert ? SB_VERT : SB_HORZ, WParam); break;
        case SB_TOP: Pos = 0; break;
        case SB_BOTTOM: Pos = 1 << 30; break;
        default: return 0;
      }
      Relayout(Wnd, S);
      return 0;
    }
    case WM_MOUSEWHEEL: {
      if (S.Edit) {
        EndEdit(Wnd, false);
        if (!Find(Wnd)) return 0;
      }
      // Nothing to scroll: the wheel is the parent's.
      if (!Wheel(Wnd, S, static_cast<short>(HIWORD(WParam)))) {
        S.WheelRest = 0;
        return DefWindowProcA(Wnd, Msg, WParam, LParam);
      }
      return 0;
    }
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
    case WM_LBUTTONDBLCLK: {
      POINT P{GET_X_LPARAM(LParam), GET_Y_LPARAM(LParam)};
      UINT Flags = 0;
      int Index = HitTest(Wnd, S, P, Flags);
      bool Ctrl = (WParam & MK_CONTROL) != 0, Shift = (WParam & MK_SHIFT) != 0;
      // A second click on the focused, selected item's label edits it, once the double-click
      // time has passed without a double click.
      bool Again = false;
      if (Msg == WM_LBUTTONDOWN && GetFocus() == Wnd && Index >= 0 && !Ctrl && !Shift && (Flags & LVHT_ONITEMLABEL) &&
          (StyleOf(Wnd) & LVS_EDITLABELS) &&
          (S.States[static_cast<size_t>(Index)] & (LVIS_FOCUSED | LVIS_SELECTED)) == (LVIS_FOCUSED | LVIS_SELECTED)) {
        RECT Label = EditRect(Wnd, S, Index);
        Again = PtInRect(&Label, P) != FALSE;
      }
      KillTimer(Wnd, EditTimer);
      S.PendingEdit = -1;
      if (GetFocus() != Wnd) SetFocus(Wnd);
      if (!Find(Wnd)) return 0;
      if (Again && Index < Count(Wnd, S)) {
        S.PendingEdit = Index;
        SetTimer(Wnd, EditTimer, GetDoubleClickTime(), nullptr);
      }
      if (Index < 0) {
        if (Msg != WM_LBUTTONDBLCLK && !Ctrl && !Shift) SetAllStates(Wnd, 0, LVIS_SELECTED);
      } else if (Msg == WM_RBUTTONDOWN) {
        if (!(StateOf(Wnd).States[static_cast<size_t>(Index)] & LVIS_SELECTED)) UserSelect(Wnd, Index, false, false);
      } else if (Msg == WM_LBUTTONDOWN) {
        UserSelect(Wnd, Index, Ctrl, Shift);
      }
      if (!Find(Wnd)) return 0;
      NMHDR H;
      if (Msg == WM_LBUTTONDBLCLK) {
        Send(Wnd, H, NM_DBLCLK);
        if (Index >= 0 && Find(Wnd)) {
          NMHDR A;
          Send(Wnd, A, LVN_ITEMACTIVATE);
        }
      } else if (Msg == WM_RBUTTONDOWN) {
        Send(Wnd, H, NM_RCLICK);
      }
      return 0;
    }
    case WM_LBUTTONUP: {
      NMHDR H;
      Send(Wnd, H, NM_CLICK);
      return 0;
    }
    case WM_KEYDOWN: {
      int Cur = FocusedIndex(S);
      if (N == 0) return 0;
      TGeometry G = Geometry(Wnd, S);
      int Target = -1;
      bool List = View(Wnd) == LVS_LIST, Report = View(Wnd) == LVS_REPORT;
      int Across = Report ? 0 : (List ? G.PerLine : 1);
      int Down = List || Report ? 1 : G.PerLine;
      switch (WParam) {
        case VK_UP: Target = Cur < 0 ? 0 : Cur - Down; break;
        case VK_DOWN: Target = Cur < 0 ? 0 : Cur + Down; break;
        case VK_LEFT: Target = Across ? (Cur < 0 ? 0 : Cur - Across) : -1; break;
        case VK_RIGHT: Target = Across ? (Cur < 0 ? 0 : Cur + Across) : -1; break;
        case VK_HOME: Target = 0; break;
        case VK_END: Target = N - 1; break;
        case VK_PRIOR: Target = std::max(0, Cur - std::max(1, G.PageItems - 1)); break;
        case VK_NEXT: Target = std::min(N - 1, Cur + std::max(1, G.PageItems - 1)); break;
        case VK_SPACE:
          if (Cur >= 0) UserSelect(Wnd, Cur, KeyDown(VK_CONTROL), false);
          return 0;
        case VK_RETURN: {
          NMHDR H;
          Send(Wnd, H, NM_RETURN);
          if (Find(Wnd) && Cur >= 0) {
            NMHDR A;
            Send(Wnd, A, LVN_ITEMACTIVATE);
          }
          return 0;
        }
        default: return 0;
      }
      if (Target >= 0 && Target < N) UserSelect(Wnd, Target, false, KeyDown(VK_SHIFT));
      return 0;
    }
    case WM_CHAR: {
      // Type-ahead: letters typed in quick succession find the next item starting with them.
      char C = static_cast<char>(WParam);
      if (static_cast<unsigned char>(C) < 32 || N == 0) return 0;
      DWORD Now = GetTickCount();
      if (Now - S.SearchTime > 1000) S.Search.clear();
      S.SearchTime = Now;
      S.Search += C;
      LVFINDINFOA Info;
      Info.flags = LVFI_PARTIAL | LVFI_WRAP | LVFI_STRING;
      Info.psz = S.Search.c_str();
      int Cur = FocusedIndex(S);
      int Start = S.Search.size() == 1 ? Cur : Cur - 1;
      String Copy = S.Search;
      Info.psz = Copy.c_str();
      int Found = FindItem(Wnd, S, Start, Info);
      if (Found >= 0 && Find(Wnd) && Found < Count(Wnd, *Find(Wnd))) UserSelect(Wnd, Found, false, false);
      return 0;
    }
    case WM_PAINT: {
      auto DC = reinterpret_cast<HDC>(WParam);
      if (DC) {
        Paint(Wnd, DC, S);
        return 0;
      }
      PAINTSTRUCT PS{};
      DC = BeginPaint(Wnd, &PS);
      Paint(Wnd, DC, S);
      EndPaint(Wnd, &PS);
      return 0;
    }
    case WM_ERASEBKGND: return 1;
    default: break;
  }
  return DefWindowProcA(Wnd, Msg, WParam, LParam);
}

}  // namespace

void RegisterListViewClass() {
  WNDCLASSA Existing{};
  if (GetClassInfoA(nullptr, WC_LISTVIEWA, &Existing)) return;
  WNDCLASSA Class{};
  Class.style = CS_DBLCLKS | CS_GLOBALCLASS;
  Class.lpfnWndProc = ListViewProc;
  Class.hCursor = LoadCursorA(nullptr, IDC_ARROW);
  Class.lpszClassName = WC_LISTVIEWA;
  RegisterClassA(&Class);
}
