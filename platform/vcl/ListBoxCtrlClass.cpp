#include "platform/vcl/ListBoxCtrlClass.h"

#include <algorithm>
#include <cstring>
#include <memory>
#include <vector>

#include "platform/gdi/Gdi.h"
#include "platform/vcl/Controls.h"

namespace {

const char SListBoxProp[] = "QvListBoxData";

struct TLbItem {
  String Text;
  ULONG_PTR Data = 0;
  bool Selected = false;
  int Height = 0;
};

struct TLbData {
  HWND Wnd = nullptr;
  std::vector<TLbItem> Items;
  int NoDataCount = 0;  // LBS_NODATA keeps only a count
  int CurSel = -1;      // single selection
  int Caret = -1;       // the item with the focus rectangle
  int Anchor = -1;      // start of an extended range
  int Top = 0;
  int ItemHeight = 0;
  bool ItemHeightSet = false;
  bool Measured = false;
  int HorzExtent = 0;
  int HorzPos = 0;
  int ColumnWidth = 0;
  HFONT Font = nullptr;
  bool Focus = false;
  bool Tracking = false;
  bool SelChangedWhileTracking = false;
  bool Redraw = true;
  bool InScrollUpdate = false;
  bool WantsVBar = false;  // created with WS_VSCROLL / WS_HSCROLL
  bool WantsHBar = false;

  DWORD Style() const { return static_cast<DWORD>(GetWindowLongA(Wnd, GWL_STYLE)); }
  bool OwnerDraw() const { return (Style() & (LBS_OWNERDRAWFIXED | LBS_OWNERDRAWVARIABLE)) != 0; }
  bool Variable() const { return (Style() & LBS_OWNERDRAWVARIABLE) != 0 && !(Style() & LBS_MULTICOLUMN); }
  bool HasStrings() const { return !(Style() & LBS_NODATA) && (!OwnerDraw() || (Style() & LBS_HASSTRINGS)); }
  bool NoData() const { return (Style() & LBS_NODATA) != 0; }
  bool Multi() const { return (Style() & (LBS_MULTIPLESEL | LBS_EXTENDEDSEL)) != 0; }
  bool Extended() const { return (Style() & LBS_EXTENDEDSEL) != 0; }
  bool MultiColumn() const { return (Style() & LBS_MULTICOLUMN) != 0; }
  int Count() const { return NoData() ? NoDataCount : static_cast<int>(Items.size()); }
  bool Valid(int I) const { return I >= 0 && I < Count(); }
};

// cp1252-neutral case folding: ASCII and the Latin-1 letters of the code page.
unsigned char Fold(unsigned char C) {
  if (C >= 'a' && C <= 'z') return static_cast<unsigned char>(C - 32);
  if (C >= 0xE0 && C <= 0xFE && C != 0xF7) return static_cast<unsigned char>(C - 32);
  if (C == 0x9A || C == 0x9C || C == 0x9E) return static_cast<unsigned char>(C - 16);
  if (C == 0xFF) return 0x9F;
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

bool StartsNoCase(const String& S, const String& Prefix) {
  return S.size() >= Prefix.size() && CompareNoCase(S.substr(0, Prefix.size()), Prefix) == 0;
}

TLbData* DataOf(HWND Wnd) { return static_cast<TLbData*>(GetPropA(Wnd, SListBoxProp)); }

void Notify(TLbData* D, int Code) {
  if (!(D->Style() & LBS_NOTIFY)) return;
  HWND Parent = GetParent(D->Wnd);
  if (!Parent) return;
  int Id = GetDlgCtrlID(D->Wnd);
  SendMessageA(Parent, WM_COMMAND, static_cast<WPARAM>(MAKELONG(static_cast<WORD>(Id), static_cast<WORD>(Code))),
               reinterpret_cast<LPARAM>(D->Wnd));
}

int FontHeight(TLbData* D) {
  HDC DC = GetDC(D->Wnd);
  HGDIOBJ Old = SelectObject(DC, D->Font ? static_cast<HGDIOBJ>(D->Font) : GetStockObject(DEFAULT_GUI_FONT));
  TEXTMETRICA TM{};
  GetTextMetricsA(DC, &TM);
  SelectObject(DC, Old);
  ReleaseDC(D->Wnd, DC);
  return std::max<int>(1, TM.tmHeight);
}

// Asks the parent for item heights (owner-drawn lists), once for a fixed height.
void MeasureItem(TLbData* D, int Index) {
  HWND Parent = GetParent(D->Wnd);
  MEASUREITEMSTRUCT M;
  M.CtlType = ODT_LISTBOX;
  M.CtlID = static_cast<UINT>(GetDlgCtrlID(D->Wnd));
  M.itemID = static_cast<UINT>(std::max(Index, 0));
  RECT R;
  GetClientRect(D->Wnd, &R);
  M.itemWidth = static_cast<UINT>(R.right);
  M.itemHeight = static_cast<UINT>(D->ItemHeight);
  if (D->Valid(Index) && !D->NoData()) M.itemData = D->Items[static_cast<size_t>(Index)].Data;
  if (Parent) SendMessageA(Parent, WM_MEASUREITEM, M.CtlID, reinterpret_cast<LPARAM>(&M));
  int H = std::clamp(static_cast<int>(M.itemHeight), 1, 255);
  if (Index < 0)
    D->ItemHeight = H;
  else if (D->Valid(Index) && !D->NoData())
    D->Items[static_cast<size_t>(Index)].Height = H;
}

int ItemHeight(TLbData* D) {
  if (!D->ItemHeightSet) {
    D->ItemHeight = FontHeight(D);
    D->ItemHeightSet = true;
  }
  if (!D->Measured && (D->Style() & LBS_OWNERDRAWFIXED) && GetDlgCtrlID(D->Wnd) != 0) {
    D->Measured = true;
    MeasureItem(D, -1);
  }
  return D->ItemHeight;
}

int HeightOf(TLbData* D, int I) {
  if (D->Variable() && D->Valid(I) && D->Items[static_cast<size_t>(I)].Height > 0)
    return D->Items[static_cast<size_t>(I)].Height;
  return ItemHeight(D);
}

RECT Client(TLbData* D) {
  RECT R;
  GetClientRect(D->Wnd, &R);
  return R;
}

int RowsPerColumn(TLbData* D) { return std::max(1, static_cast<int>(Client(D).bottom) / ItemHeight(D)); }

int ColumnWidth(TLbData* D) { return D->ColumnWidth > 0 ? D->ColumnWidth : std::max<int>(1, Client(D).right); }

// Items fully visible from the top index (at least one).
int FullRows(TLbData* D) {
  if (D->MultiColumn()) {
    int Cols = std::max(1, static_cast<int>(Client(D).right) / ColumnWidth(D));
    return RowsPerColumn(D) * Cols;
  }
  if (!D->Variable()) return RowsPerColumn(D);
  int H = Client(D).bottom, N = 0, Y = 0;
  for (int I = D->Top; I < D->Count(); ++I) {
    Y += HeightOf(D, I);
    if (Y > H) break;
    ++N;
  }
  return std::max(1, N);
}

RECT ItemRect(TLbData* D, int I) {
  RECT C = Client(D);
  RECT R{};
  if (D->MultiColumn()) {
    int Rows = RowsPerColumn(D), W = ColumnWidth(D), H = ItemHeight(D);
    int Rel = I - D->Top;
    int Col = Rel >= 0 ? Rel / Rows : -((-Rel + Rows - 1) / Rows);
    int Row = Rel - Col * Rows;
    R.left = Col * W;
    R.right = R.left + W;
    R.top = Row * H;
    R.bottom = R.top + H;
    return R;
  }
  int Y = 0;
  if (D->Variable()) {
    if (I >= D->Top)
      for (int K = D->Top; K < I; ++K) Y += HeightOf(D, K);
    else
      for (int K = I; K < D->Top; ++K) Y -= HeightOf(D, K);
  } else {
    Y = (I - D->Top) * ItemHeight(D);
  }
  R.left = -D->HorzPos;
  R.right = std::max<int>(C.right, D->HorzExtent) - D->HorzPos;
  R.top = Y;
  R.bottom = Y + HeightOf(D, I);
  return R;
}

// The highest top index that still fills the window.
int MaxTop(TLbData* D) {
  int N = D->Count();
  if (N == 0) return 0;
  if (D->MultiColumn()) {
    int Rows = RowsPerColumn(D);
    int Cols = std::max(1, static_cast<int>(Client(D).right) / ColumnWidth(D));
    int TotalCols = (N + Rows - 1) / Rows;
    return std::max(0, TotalCols - Cols) * Rows;
  }
  if (!D->Variable()) return std::max(0, N - RowsPerColumn(D));
  int H = Client(D).bottom, Y = 0, I = N - 1;
  for (; I >= 0; --I) {
    Y += HeightOf(D, I);
    if (Y > H) break;
  }
  return std::min(N - 1, I + 1);
}

void UpdateScrollBars(TLbData* D);

// Showing or hiding a bar resizes the client area, which comes back here once.
void UpdateScroll(TLbData* D) {
  if (!D->Redraw || D->InScrollUpdate) return;
  D->InScrollUpdate = true;
  UpdateScrollBars(D);
  D->InScrollUpdate = false;
}

void UpdateScrollBars(TLbData* D) {
  SCROLLINFO SI;
  SI.fMask = SIF_RANGE | SIF_PAGE | SIF_POS;
  if ((D->Style() & LBS_DISABLENOSCROLL)) SI.fMask |= SIF_DISABLENOSCROLL;
  int N = D->Count();
  if (D->MultiColumn()) {
    int Rows = RowsPerColumn(D);
    int Cols = std::max(1, static_cast<int>(Client(D).right) / ColumnWidth(D));
    int TotalCols = (N + Rows - 1) / Rows;
    SI.nMin = 0;
    SI.nMax = TotalCols > Cols ? TotalCols - 1 : 0;
    SI.nPage = TotalCols > Cols ? static_cast<UINT>(Cols) : 0;
    SI.nPos = D->Top / Rows;
    if (D->WantsHBar) SetScrollInfo(D->Wnd, SB_HORZ, &SI, TRUE);
    return;
  }
  int Full = FullRows(D);
  bool Fits = N <= Full && D->Top == 0;
  SI.nMin = 0;
  SI.nMax = Fits ? 0 : N - 1;
  SI.nPage = Fits ? 0 : static_cast<UINT>(Full);
  SI.nPos = Fits ? 0 : D->Top;
  if (D->WantsVBar) SetScrollInfo(D->Wnd, SB_VERT, &SI, TRUE);
  SCROLLINFO HI;
  HI.fMask = SIF_RANGE | SIF_PAGE | SIF_POS;
  int W = Client(D).right;
  HI.nMin = 0;
  HI.nMax = D->HorzExtent > W ? D->HorzExtent - 1 : 0;
  HI.nPage = D->HorzExtent > W ? static_cast<UINT>(W) : 0;
  HI.nPos = D->HorzExtent > W ? D->HorzPos : 0;
  if (D->WantsHBar) SetScrollInfo(D->Wnd, SB_HORZ, &HI, TRUE);
}

void Invalidate(TLbData* D) {
  if (D->Redraw) InvalidateRect(D->Wnd, nullptr, TRUE);
}

void InvalidateItem(TLbData* D, int I) {
  if (!D->Redraw || !D->Valid(I)) return;
  RECT R = ItemRect(D, I);
  InvalidateRect(D->Wnd, &R, TRUE);
}

void SetTop(TLbData* D, int Top) {
  int NewTop = std::clamp(Top, 0, MaxTop(D));
  if (D->MultiColumn()) NewTop -= NewTop % RowsPerColumn(D);
  if (NewTop == D->Top) return;
  D->Top = NewTop;
  UpdateScroll(D);
  Invalidate(D);
}

void MakeVisible(TLbData* D, int I) {
  if (!D->Valid(I)) return;
  if (I < D->Top) {
    SetTop(D, I);
    return;
  }
  if (D->MultiColumn()) {
    int Full = FullRows(D), Rows = RowsPerColumn(D);
    if (I >= D->Top + Full) SetTop(D, (I / Rows - Full / Rows + 1) * Rows);
    return;
  }
  if (!D->Variable()) {
    int Full = FullRows(D);
    if (I >= D->Top + Full) SetTop(D, I - Full + 1);
    return;
  }
  int H = Client(D).bottom;
  int Top = I, Y = HeightOf(D, I);
  while (Top > 0 && Y + HeightOf(D, Top - 1) <= H) Y += HeightOf(D, --Top);
  if (I >= D->Top + FullRows(D)) SetTop(D, Top);
}

bool IsSelected(TLbData* D, int I) {
  if (!D->Valid(I)) return false;
  if (D->Multi()) return !D->NoData() ? D->Items[static_cast<size_t>(I)].Selected : false;
  return D->CurSel == I;
}

void SetCaret(TLbData* D, int I) {
  if (D->Caret == I) return;
  int Old = D->Caret;
  D->Caret = I;
  InvalidateItem(D, Old);
  InvalidateItem(D, I);
}

// Multiple selection keeps a flag per item; LBS_NODATA lists keep none.
void SelectItem(TLbData* D, int I, bool Value) {
  if (!D->Valid(I) || D->NoData()) return;
  TLbItem& It = D->Items[static_cast<size_t>(I)];
  if (It.Selected == Value) return;
  It.Selected = Value;
  InvalidateItem(D, I);
}

void SetCurSel(TLbData* D, int I) {
  if (!D->Valid(I)) I = -1;
  if (D->CurSel != I) {
    InvalidateItem(D, D->CurSel);
    D->CurSel = I;
    InvalidateItem(D, I);
  }
  SetCaret(D, I);
  if (I >= 0) D->Anchor = I;
  MakeVisible(D, I);
}

void SelectRange(TLbData* D, int First, int Last, bool Value) {
  if (First > Last) std::swap(First, Last);
  for (int I = std::max(First, 0); I <= Last && I < D->Count(); ++I) SelectItem(D, I, Value);
}

void SendDeleteItem(TLbData* D, int I) {
  if (!D->OwnerDraw() || !D->Valid(I) || D->NoData()) return;
  HWND Parent = GetParent(D->Wnd);
  if (!Parent) return;
  DELETEITEMSTRUCT S;
  S.CtlType = ODT_LISTBOX;
  S.CtlID = static_cast<UINT>(GetDlgCtrlID(D->Wnd));
  S.itemID = static_cast<UINT>(I);
  S.hwndItem = D->Wnd;
  S.itemData = D->Items[static_cast<size_t>(I)].Data;
  SendMessageA(Parent, WM_DELETEITEM, S.CtlID, reinterpret_cast<LPARAM>(&S));
}

LRESULT InsertItem(TLbData* D, int Index, LPARAM LParam, bool MaySort) {
  if (D->NoData()) return LB_ERR;
  TLbItem Item;
  if (D->HasStrings()) {
    Item.Text = LParam ? reinterpret_cast<const char*>(LParam) : "";
  } else {
    Item.Data = static_cast<ULONG_PTR>(LParam);
  }
  int N = D->Count();
  if (Index == -1) Index = N;
  if (Index < 0 || Index > N) return LB_ERR;
  if (MaySort && (D->Style() & LBS_SORT) && D->HasStrings()) {
    // After the last item that sorts before or with the new one.
    auto At = std::upper_bound(D->Items.begin(), D->Items.end(), Item, [](const TLbItem& A, const TLbItem& B) {
      return CompareNoCase(A.Text, B.Text) < 0;
    });
    Index = static_cast<int>(At - D->Items.begin());
  }
  D->Items.insert(D->Items.begin() + Index, Item);
  if (D->CurSel >= Index) ++D->CurSel;
  if (D->Caret >= Index) ++D->Caret;
  if (D->Anchor >= Index) ++D->Anchor;
  if (D->Variable()) MeasureItem(D, Index);
  UpdateScroll(D);
  Invalidate(D);
  return Index;
}

LRESULT DeleteItem(TLbData* D, int Index) {
  if (!D->Valid(Index)) return LB_ERR;
  SendDeleteItem(D, Index);
  if (D->NoData())
    --D->NoDataCount;
  else
    D->Items.erase(D->Items.begin() + Index);
  auto Fix = [Index](int& V) {
    if (V == Index)
      V = -1;
    else if (V > Index)
      --V;
  };
  Fix(D->CurSel);
  Fix(D->Caret);
  Fix(D->Anchor);
  D->Top = std::clamp(D->Top, 0, MaxTop(D));
  UpdateScroll(D);
  Invalidate(D);
  return D->Count();
}

void ResetContent(TLbData* D) {
  for (int I = 0; I < D->Count(); ++I) SendDeleteItem(D, I);
  D->Items.clear();
  D->NoDataCount = 0;
  D->CurSel = D->Caret = D->Anchor = -1;
  D->Top = 0;
  UpdateScroll(D);
  Invalidate(D);
}

LRESULT Find(TLbData* D, int Start, const char* Text, bool Exact) {
  int N = D->Count();
  if (N == 0 || D->NoData()) return LB_ERR;
  if (Start < -1 || Start >= N) Start = -1;
  for (int K = 1; K <= N; ++K) {
    int I = (Start + K) % N;
    const TLbItem& It = D->Items[static_cast<size_t>(I)];
    if (!D->HasStrings()) {
      if (It.Data == reinterpret_cast<ULONG_PTR>(Text)) return I;
      continue;
    }
    String S = Text ? Text : "";
    if (Exact ? CompareNoCase(It.Text, S) == 0 : StartsNoCase(It.Text, S)) return I;
  }
  return LB_ERR;
}

int ItemAt(TLbData* D, POINT P, bool& Outside) {
  RECT C = Client(D);
  Outside = !PtInRect(&C, P);
  int N = D->Count();
  if (N == 0) return 0;
  if (D->MultiColumn()) {
    int Rows = RowsPerColumn(D), W = ColumnWidth(D), H = ItemHeight(D);
    int Col = P.x < 0 ? 0 : P.x / W;
    int Row = std::clamp(static_cast<int>(P.y < 0 ? 0 : P.y / H), 0, Rows - 1);
    int I = D->Top + Col * Rows + Row;
    if (I >= N) {
      Outside = true;
      I = N - 1;
    }
    return I;
  }
  if (P.y < 0) return std::max(0, D->Top - 1);
  int Y = 0;
  for (int I = D->Top; I < N; ++I) {
    Y += HeightOf(D, I);
    if (P.y < Y) return I;
  }
  Outside = true;
  return N - 1;
}

void DrawItem(TLbData* D, HDC DC, int I, HBRUSH Back) {
  RECT R = ItemRect(D, I);
  bool Sel = IsSelected(D, I);
  bool Enabled = IsWindowEnabled(D->Wnd) != 0;
  bool FocusItem = D->Focus && D->Caret == I;
  if (D->OwnerDraw()) {
    HWND Parent = GetParent(D->Wnd);
    if (!Parent) return;
    DRAWITEMSTRUCT S;
    S.CtlType = ODT_LISTBOX;
    S.CtlID = static_cast<UINT>(GetDlgCtrlID(D->Wnd));
    S.itemID = static_cast<UINT>(I);
    S.itemAction = ODA_DRAWENTIRE;
    S.itemState = (Sel ? ODS_SELECTED : 0) | (FocusItem ? ODS_FOCUS : 0) | (Enabled ? 0 : ODS_DISABLED);
    S.hwndItem = D->Wnd;
    S.hDC = DC;
    S.rcItem = R;
    if (!D->NoData()) S.itemData = D->Items[static_cast<size_t>(I)].Data;
    int Saved = SaveDC(DC);
    IntersectClipRect(DC, R.left, R.top, R.right, R.bottom);
    SendMessageA(Parent, WM_DRAWITEM, S.CtlID, reinterpret_cast<LPARAM>(&S));
    RestoreDC(DC, Saved);
    return;
  }
  COLORREF Text = GetTextColor(DC);
  if (Sel) {
    FillRect(DC, &R, GetSysColorBrush(COLOR_HIGHLIGHT));
    SetTextColor(DC, GetSysColor(COLOR_HIGHLIGHTTEXT));
  } else {
    FillRect(DC, &R, Back);
    if (!Enabled) SetTextColor(DC, GetSysColor(COLOR_GRAYTEXT));
  }
  SetBkMode(DC, TRANSPARENT);
  // A list without data (LBS_NODATA) has no text of its own to show.
  static const String None;
  const String& S = D->NoData() ? None : D->Items[static_cast<size_t>(I)].Text;
  RECT T = R;
  T.left += 2;
  UINT Flags = DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX | DT_LEFT;
  if (D->Style() & LBS_USETABSTOPS) Flags |= DT_EXPANDTABS;
  DrawTextA(DC, S.c_str(), static_cast<int>(S.size()), &T, Flags);
  SetTextColor(DC, Text);
  if (FocusItem) DrawFocusRect(DC, &R);
}

void Paint(TLbData* D, HDC DC) {
  HWND Parent = GetParent(D->Wnd);
  HGDIOBJ OldFont = SelectObject(DC, D->Font ? static_cast<HGDIOBJ>(D->Font) : GetStockObject(DEFAULT_GUI_FONT));
  HBRUSH Back = nullptr;
  if (Parent)
    Back = reinterpret_cast<HBRUSH>(SendMessageA(Parent, WM_CTLCOLORLISTBOX, reinterpret_cast<WPARAM>(DC),
                                                 reinterpret_cast<LPARAM>(D->Wnd)));
  if (!Back) {
    Back = GetSysColorBrush(COLOR_WINDOW);
    SetTextColor(DC, GetSysColor(COLOR_WINDOWTEXT));
    SetBkColor(DC, GetSysColor(COLOR_WINDOW));
  }
  RECT C = Client(D);
  int N = D->Count();
  // The space no item covers.
  HRGN Rest = CreateRectRgnIndirect(&C);
  for (int I = D->Top; I < N; ++I) {
    RECT R = ItemRect(D, I);
    if (R.top >= C.bottom && !D->MultiColumn()) break;
    if (R.left >= C.right) break;
    DrawItem(D, DC, I, Back);
    HRGN Item = CreateRectRgnIndirect(&R);
    CombineRgn(Rest, Rest, Item, RGN_DIFF);
    DeleteObject(Item);
  }
  FillRgn(DC, Rest, Back);
  DeleteObject(Rest);
  // An empty focused list still shows where the focus is; an owner-drawn one is asked to draw
  // it for "no item" (itemID -1).
  if (N == 0 && D->Focus) {
    RECT R{0, 0, C.right, ItemHeight(D)};
    if (!D->OwnerDraw()) {
      DrawFocusRect(DC, &R);
    } else if (Parent) {
      DRAWITEMSTRUCT S;
      S.CtlType = ODT_LISTBOX;
      S.CtlID = static_cast<UINT>(GetDlgCtrlID(D->Wnd));
      S.itemID = static_cast<UINT>(-1);
      S.itemAction = ODA_FOCUS;
      S.itemState = ODS_FOCUS;
      S.hwndItem = D->Wnd;
      S.hDC = DC;
      S.rcItem = R;
      SendMessageA(Parent, WM_DRAWITEM, S.CtlID, reinterpret_cast<LPARAM>(&S));
    }
  }
  SelectObject(DC, OldFont);
}

// A click or a key moved the caret to I: selection by the list's mode.
void SelectByUser(TLbData* D, int I, bool Shift, bool Ctrl, bool Toggle) {
  if (!D->Valid(I)) return;
  if (!D->Multi()) {
    bool Changed = D->CurSel != I;
    SetCurSel(D, I);
    if (Changed) {
      if (D->Tracking)
        D->SelChangedWhileTracking = true;
      else
        Notify(D, LBN_SELCHANGE);
    }
    return;
  }
  if (D->Extended() && !Toggle) {
    if (Shift) {
      int A = D->Anchor >= 0 ? D->Anchor : I;
      if (!Ctrl)
        for (int K = 0; K < D->Count(); ++K) SelectItem(D, K, false);
      SelectRange(D, A, I, true);
    } else if (Ctrl) {
      SelectItem(D, I, !IsSelected(D, I));
      D->Anchor = I;
    } else {
      for (int K = 0; K < D->Count(); ++K) SelectItem(D, K, K == I);
      D->Anchor = I;
    }
  } else if (Toggle) {
    SelectItem(D, I, !IsSelected(D, I));
    D->Anchor = I;
  }
  SetCaret(D, I);
  MakeVisible(D, I);
  if (D->Tracking)
    D->SelChangedWhileTracking = true;
  else
    Notify(D, LBN_SELCHANGE);
}

void KeyDown(TLbData* D, WPARAM Key) {
  int N = D->Count();
  if (N == 0) return;
  bool Shift = GetKeyState(VK_SHIFT) < 0, Ctrl = GetKeyState(VK_CONTROL) < 0;
  int Cur = D->Multi() ? D->Caret : D->CurSel;
  int Page = std::max(1, FullRows(D) - (D->MultiColumn() ? 0 : 1));
  int Rows = D->MultiColumn() ? RowsPerColumn(D) : 1;
  int Next = Cur;
  switch (Key) {
    case VK_UP: Next = Cur - 1; break;
    case VK_DOWN: Next = Cur + 1; break;
    case VK_LEFT: Next = D->MultiColumn() ? Cur - Rows : Cur - 1; break;
    case VK_RIGHT: Next = D->MultiColumn() ? Cur + Rows : Cur + 1; break;
    case VK_PRIOR: Next = Cur - Page; break;
    case VK_NEXT: Next = Cur + Page; break;
    case VK_HOME: Next = 0; break;
    case VK_END: Next = N - 1; break;
    case VK_SPACE:
      if (D->Multi() && D->Valid(D->Caret)) {
        if (D->Extended() && !Ctrl)
          SelectByUser(D, D->Caret, Shift, false, false);
        else
          SelectByUser(D, D->Caret, false, false, true);
      }
      return;
    default: return;
  }
  if (Cur < 0) Next = Key == VK_END ? N - 1 : 0;
  Next = std::clamp(Next, 0, N - 1);
  if (D->Multi() && !(D->Extended())) {
    SetCaret(D, Next);
    MakeVisible(D, Next);
    return;
  }
  if (D->Extended() && Ctrl && !Shift) {
    SetCaret(D, Next);
    MakeVisible(D, Next);
    return;
  }
  SelectByUser(D, Next, Shift, false, false);
}

void Scroll(TLbData* D, int Bar, WORD Code, int Pos) {
  if (D->MultiColumn() || Bar == SB_VERT) {
    int Step = D->MultiColumn() ? RowsPerColumn(D) : 1;
    int Page = std::max(Step, FullRows(D) - (D->MultiColumn() ? 0 : 1));
    int Top = D->Top;
    switch (Code) {
      case SB_LINEUP: Top -= Step; break;
      case SB_LINEDOWN: Top += Step; break;
      case SB_PAGEUP: Top -= Page; break;
      case SB_PAGEDOWN: Top += Page; break;
      case SB_THUMBPOSITION:
      case SB_THUMBTRACK: Top = Pos * Step; break;
      case SB_TOP: Top = 0; break;
      case SB_BOTTOM: Top = D->Count(); break;
      default: return;
    }
    SetTop(D, Top);
    return;
  }
  int W = Client(D).right;
  int MaxPos = std::max(0, D->HorzExtent - W);
  int P = D->HorzPos;
  switch (Code) {
    case SB_LINELEFT: P -= 8; break;
    case SB_LINERIGHT: P += 8; break;
    case SB_PAGELEFT: P -= W; break;
    case SB_PAGERIGHT: P += W; break;
    case SB_THUMBPOSITION:
    case SB_THUMBTRACK: P = Pos; break;
    case SB_LEFT: P = 0; break;
    case SB_RIGHT: P = MaxPos; break;
    default: return;
  }
  P = std::clamp(P, 0, MaxPos);
  if (P == D->HorzPos) return;
  D->HorzPos = P;
  UpdateScroll(D);
  Invalidate(D);
}

LRESULT ListBoxWndProc(HWND Wnd, UINT Msg, WPARAM WParam, LPARAM LParam) {
  TLbData* D = DataOf(Wnd);
  if (!D) {
    if (Msg == WM_NCDESTROY) return DefWindowProcA(Wnd, Msg, WParam, LParam);
    D = new TLbData;
    D->Wnd = Wnd;
    D->WantsVBar = (D->Style() & WS_VSCROLL) != 0;
    D->WantsHBar = (D->Style() & WS_HSCROLL) != 0;
    SetPropA(Wnd, SListBoxProp, D);
  }
  switch (Msg) {
    case WM_NCDESTROY: {
      RemovePropA(Wnd, SListBoxProp);
      delete D;
      return DefWindowProcA(Wnd, Msg, WParam, LParam);
    }
    case WM_DESTROY:
      for (int I = 0; I < D->Count(); ++I) SendDeleteItem(D, I);
      return DefWindowProcA(Wnd, Msg, WParam, LParam);
    case WM_CREATE:
      UpdateScroll(D);
      return 0;
    case WM_SETFONT:
      D->Font = reinterpret_cast<HFONT>(WParam);
      if (!(D->Style() & (LBS_OWNERDRAWFIXED | LBS_OWNERDRAWVARIABLE)) || !D->ItemHeightSet) {
        D->ItemHeight = FontHeight(D);
        D->ItemHeightSet = true;
      }
      UpdateScroll(D);
      if (LOWORD(LParam)) Invalidate(D);
      return 0;
    case WM_GETFONT: return reinterpret_cast<LRESULT>(D->Font);
    case WM_SETREDRAW:
      D->Redraw = WParam != 0;
      if (D->Redraw) {
        UpdateScroll(D);
        Invalidate(D);
      }
      return 0;
    case WM_SIZE:
      D->Top = std::clamp(D->Top, 0, MaxTop(D));
      UpdateScroll(D);
      Invalidate(D);
      return 0;
    case WM_ERASEBKGND: return 1;
    case WM_PAINT: {
      PAINTSTRUCT PS{};
      HDC DC = WParam ? reinterpret_cast<HDC>(WParam) : BeginPaint(Wnd, &PS);
      Paint(D, DC);
      if (!WParam) EndPaint(Wnd, &PS);
      return 0;
    }
    case WM_ENABLE: Invalidate(D); return 0;
    case WM_GETDLGCODE: return DLGC_WANTARROWS | DLGC_WANTCHARS;
    case WM_SETFOCUS:
      D->Focus = true;
      if (D->Caret < 0 && D->Count() > 0) D->Caret = D->Multi() ? 0 : D->CurSel;
      InvalidateItem(D, D->Caret);
      if (D->Count() == 0) Invalidate(D);
      Notify(D, LBN_SETFOCUS);
      return 0;
    case WM_KILLFOCUS:
      D->Focus = false;
      InvalidateItem(D, D->Caret);
      if (D->Count() == 0) Invalidate(D);
      Notify(D, LBN_KILLFOCUS);
      return 0;
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK: {
      if (GetFocus() != Wnd) SetFocus(Wnd);
      if (!IsWindow(Wnd)) return 0;
      POINT P{GET_X_LPARAM(LParam), GET_Y_LPARAM(LParam)};
      bool Outside = false;
      int I = ItemAt(D, P, Outside);
      if (Msg == WM_LBUTTONDBLCLK) {
        if (!Outside && D->Valid(I)) Notify(D, LBN_DBLCLK);
        return 0;
      }
      if (Outside || (D->Style() & LBS_NOSEL)) return 0;
      D->Tracking = true;
      D->SelChangedWhileTracking = false;
      SetCapture(Wnd);
      bool Shift = (WParam & MK_SHIFT) != 0, Ctrl = (WParam & MK_CONTROL) != 0;
      bool Toggle = (D->Style() & LBS_MULTIPLESEL) && !D->Extended();
      SelectByUser(D, I, Shift, Ctrl, Toggle);
      return 0;
    }
    case WM_MOUSEMOVE: {
      if (!D->Tracking || (D->Multi() && !D->Extended())) return 0;
      POINT P{GET_X_LPARAM(LParam), GET_Y_LPARAM(LParam)};
      bool Outside = false;
      int I = ItemAt(D, P, Outside);
      int Cur = D->Multi() ? D->Caret : D->CurSel;
      if (D->Valid(I) && I != Cur) SelectByUser(D, I, D->Extended(), false, false);
      return 0;
    }
    case WM_LBUTTONUP:
      if (D->Tracking) {
        D->Tracking = false;
        if (GetCapture() == Wnd) ReleaseCapture();
        if (D->SelChangedWhileTracking) {
          D->SelChangedWhileTracking = false;
          Notify(D, LBN_SELCHANGE);
        }
      }
      return 0;
    case WM_CAPTURECHANGED:
      if (D->Tracking && reinterpret_cast<HWND>(LParam) != Wnd) {
        D->Tracking = false;
        if (D->SelChangedWhileTracking) {
          D->SelChangedWhileTracking = false;
          Notify(D, LBN_SELCHANGE);
        }
      }
      return 0;
    case WM_MOUSEWHEEL: {
      int Delta = static_cast<short>(HIWORD(WParam));
      int Lines = -Delta / WHEEL_DELTA * 3;
      if (Lines == 0) Lines = Delta > 0 ? -1 : 1;
      SetTop(D, D->Top + Lines * (D->MultiColumn() ? RowsPerColumn(D) : 1));
      return 0;
    }
    case WM_KEYDOWN: KeyDown(D, WParam); return 0;
    case WM_CHAR: {
      // Type-ahead: the next item starting with the character.
      char C = static_cast<char>(WParam);
      if (static_cast<unsigned char>(C) < 32 || !D->HasStrings() || D->Count() == 0) return 0;
      int From = D->Multi() ? D->Caret : D->CurSel;
      char S[2] = {C, 0};
      LRESULT I = Find(D, From, S, false);
      if (I != LB_ERR) SelectByUser(D, static_cast<int>(I), false, false, false);
      return 0;
    }
    case WM_VSCROLL: Scroll(D, SB_VERT, LOWORD(WParam), static_cast<short>(HIWORD(WParam))); return 0;
    case WM_HSCROLL: Scroll(D, SB_HORZ, LOWORD(WParam), static_cast<short>(HIWORD(WParam))); return 0;

    case LB_ADDSTRING: return InsertItem(D, -1, LParam, true);
    case LB_INSERTSTRING: return InsertItem(D, static_cast<int>(WParam), LParam, false);
    case LB_DELETESTRING: return DeleteItem(D, static_cast<int>(WParam));
    case LB_RESETCONTENT: ResetContent(D); return 0;
    case LB_GETCOUNT: return D->Count();
    case LB_INITSTORAGE: return D->Count();
    case LB_SETCOUNT:
      if (!D->NoData()) return LB_ERR;
      D->NoDataCount = std::max(0, static_cast<int>(WParam));
      D->CurSel = D->Caret = D->Anchor = -1;
      D->Top = std::clamp(D->Top, 0, MaxTop(D));
      UpdateScroll(D);
      Invalidate(D);
      return 0;
    case LB_GETTEXT: {
      int I = static_cast<int>(WParam);
      if (!D->Valid(I) || !LParam) return LB_ERR;
      if (D->NoData()) return LB_ERR;
      const TLbItem& It = D->Items[static_cast<size_t>(I)];
      if (!D->HasStrings()) {
        std::memcpy(reinterpret_cast<void*>(LParam), &It.Data, sizeof(It.Data));
        return sizeof(It.Data);
      }
      std::memcpy(reinterpret_cast<char*>(LParam), It.Text.c_str(), It.Text.size() + 1);
      return static_cast<LRESULT>(It.Text.size());
    }
    case LB_GETTEXTLEN: {
      int I = static_cast<int>(WParam);
      if (!D->Valid(I) || D->NoData()) return LB_ERR;
      if (!D->HasStrings()) return sizeof(ULONG_PTR);
      return static_cast<LRESULT>(D->Items[static_cast<size_t>(I)].Text.size());
    }
    case LB_GETITEMDATA: {
      int I = static_cast<int>(WParam);
      if (!D->Valid(I) || D->NoData()) return LB_ERR;
      return static_cast<LRESULT>(D->Items[static_cast<size_t>(I)].Data);
    }
    case LB_SETITEMDATA: {
      int I = static_cast<int>(WParam);
      if (!D->Valid(I) || D->NoData()) return LB_ERR;
      D->Items[static_cast<size_t>(I)].Data = static_cast<ULONG_PTR>(LParam);
      return 0;
    }
    case LB_FINDSTRING: return Find(D, static_cast<int>(WParam), reinterpret_cast<const char*>(LParam), false);
    case LB_FINDSTRINGEXACT: return Find(D, static_cast<int>(WParam), reinterpret_cast<const char*>(LParam), true);
    case LB_SELECTSTRING: {
      if (D->Multi()) return LB_ERR;
      LRESULT I = Find(D, static_cast<int>(WParam), reinterpret_cast<const char*>(LParam), false);
      if (I != LB_ERR) SetCurSel(D, static_cast<int>(I));
      return I;
    }
    case LB_SETCURSEL: {
      if (D->Multi()) return LB_ERR;
      int I = static_cast<int>(WParam);
      SetCurSel(D, I);
      return D->Valid(I) ? I : LB_ERR;
    }
    case LB_GETCURSEL:
      if (D->Multi()) return D->Caret;
      return D->CurSel;
    case LB_SETSEL: {
      if (!D->Multi()) return LB_ERR;
      int I = static_cast<int>(LParam);
      if (I == -1) {
        for (int K = 0; K < D->Count(); ++K) SelectItem(D, K, WParam != 0);
        return 0;
      }
      if (!D->Valid(I)) return LB_ERR;
      SelectItem(D, I, WParam != 0);
      if (WParam) {
        SetCaret(D, I);
        D->Anchor = I;
      }
      return 0;
    }
    case LB_GETSEL: {
      int I = static_cast<int>(WParam);
      if (!D->Valid(I)) return LB_ERR;
      return IsSelected(D, I) ? 1 : 0;
    }
    case LB_GETSELCOUNT: {
      if (!D->Multi()) return LB_ERR;
      int N = 0;
      for (int I = 0; I < D->Count(); ++I) N += IsSelected(D, I) ? 1 : 0;
      return N;
    }
    case LB_GETSELITEMS: {
      if (!D->Multi()) return LB_ERR;
      auto* Out = reinterpret_cast<int*>(LParam);
      int Max = static_cast<int>(WParam), N = 0;
      for (int I = 0; I < D->Count() && N < Max && Out; ++I)
        if (IsSelected(D, I)) Out[N++] = I;
      return N;
    }
    case LB_SELITEMRANGE: {
      if (!D->Multi()) return LB_ERR;
      SelectRange(D, LOWORD(LParam), HIWORD(LParam), WParam != 0);
      return 0;
    }
    case LB_SELITEMRANGEEX: {
      if (!D->Multi()) return LB_ERR;
      int First = static_cast<int>(WParam), Last = static_cast<int>(LParam);
      if (First <= Last)
        SelectRange(D, First, Last, true);
      else
        SelectRange(D, Last, First, false);
      return 0;
    }
    case LB_GETANCHORINDEX: return D->Anchor;
    case LB_SETANCHORINDEX:
      if (!D->Valid(static_cast<int>(WParam))) return LB_ERR;
      D->Anchor = static_cast<int>(WParam);
      return 0;
    case LB_GETCARETINDEX: return D->Caret;
    case LB_SETCARETINDEX:
      if (!D->Valid(static_cast<int>(WParam))) return LB_ERR;
      SetCaret(D, static_cast<int>(WParam));
      MakeVisible(D, D->Caret);
      return 0;
    case LB_GETTOPINDEX: return D->Top;
    case LB_SETTOPINDEX: {
      int I = static_cast<int>(WParam);
      if (!D->Valid(I) && !(I == 0 && D->Count() == 0)) return LB_ERR;
      SetTop(D, I);
      return 0;
    }
    case LB_GETITEMHEIGHT: {
      int I = static_cast<int>(WParam);
      if (D->Variable()) {
        if (!D->Valid(I)) return LB_ERR;
        return HeightOf(D, I);
      }
      return ItemHeight(D);
    }
    case LB_SETITEMHEIGHT: {
      int H = LOWORD(LParam);
      if (H <= 0 || H > 255) return LB_ERR;
      if (D->Variable()) {
        int I = static_cast<int>(WParam);
        if (!D->Valid(I) || D->NoData()) return LB_ERR;
        D->Items[static_cast<size_t>(I)].Height = H;
      } else {
        D->ItemHeight = H;
        D->ItemHeightSet = true;
        D->Measured = true;
      }
      D->Top = std::clamp(D->Top, 0, MaxTop(D));
      UpdateScroll(D);
      Invalidate(D);
      return 0;
    }
    case LB_GETITEMRECT: {
      int I = static_cast<int>(WParam);
      auto* R = reinterpret_cast<RECT*>(LParam);
      if (!R || (!D->Valid(I) && !(I == 0 && D->Count() == 0))) return LB_ERR;
      *R = ItemRect(D, I);
      return 1;
    }
    case LB_ITEMFROMPOINT: {
      POINT P{GET_X_LPARAM(LParam), GET_Y_LPARAM(LParam)};
      bool Outside = false;
      int I = ItemAt(D, P, Outside);
      return MAKELONG(static_cast<WORD>(I), Outside ? 1 : 0);
    }
    case LB_SETHORIZONTALEXTENT:
      D->HorzExtent = std::max(0, static_cast<int>(WParam));
      D->HorzPos = std::clamp(D->HorzPos, 0, std::max(0, D->HorzExtent - static_cast<int>(Client(D).right)));
      UpdateScroll(D);
      Invalidate(D);
      return 0;
    case LB_GETHORIZONTALEXTENT: return D->HorzExtent;
    case LB_SETCOLUMNWIDTH:
      D->ColumnWidth = std::max(0, static_cast<int>(WParam));
      UpdateScroll(D);
      Invalidate(D);
      return 0;
    case LB_SETTABSTOPS: return 1;
    case LB_GETLOCALE:
    case LB_SETLOCALE: return 0;
    case LB_DIR:
    case LB_ADDFILE: return LB_ERR;
  }
  return DefWindowProcA(Wnd, Msg, WParam, LParam);
}

}  // namespace

bool RegisterListBoxClass() {
  static const bool Registered = [] {
    WNDCLASSA C{};
    C.style = CS_DBLCLKS;
    C.lpfnWndProc = ListBoxWndProc;
    C.hCursor = LoadCursorA(nullptr, IDC_ARROW);
    C.lpszClassName = WC_LISTBOXA;
    return RegisterClassA(&C) != 0;
  }();
  return Registered;
}
