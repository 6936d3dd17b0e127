// The "SysTabControl32" window class: a row (or rows) of tabs above, below or beside a framed
// display area, drawn in the plain look. Items, selection, hit tests and rectangles follow the
// TCM_ messages; selection changes by mouse or keyboard ask the parent first (TCN_SELCHANGING,
// a non-zero answer keeps the old tab) and then tell it (TCN_SELCHANGE).
#include <algorithm>
#include <map>
#include <memory>
#include <vector>

#include "platform/gdi/Gdi.h"
#include "platform/vcl/Canvas.h"
#include "platform/vcl/ImgList.h"
#include "platform/vcl/PageCtrl.h"
#include "platform/vcl/ViewCtrlsConsts.h"

namespace {

// Space around the display area: the frame (2) and a margin (2).
constexpr int DisplayInset = 4;
// Room for the selected tab, which is drawn 2 pixels larger on every side.
constexpr int SelectionGrowth = 2;

struct TTabItem {
  String Text;
  int Image = -1;
  LPARAM Param = 0;
  DWORD State = 0;
};

struct TTabState {
  std::vector<TTabItem> Items;
  int Cur = -1;
  int Focus = -1;
  int First = 0;  // first tab shown in a single row that does not fit
  HFONT Font = nullptr;
  HIMAGELIST Images = nullptr;
  int ItemWidth = 0, ItemHeight = 0;  // TCM_SETITEMSIZE (0 = from the text)
  int PadX = 6, PadY = 3;
  int MinTabWidth = -1;
  // Layout (recomputed before every use).
  std::vector<RECT> Rects;
  int Rows = 1;
  int TabHeight = 0;
};

std::map<HWND, std::unique_ptr<TTabState>>& States() {
  static std::map<HWND, std::unique_ptr<TTabState>> Map;
  return Map;
}

TTabState& StateOf(HWND Wnd) {
  auto& P = States()[Wnd];
  if (!P) P = std::make_unique<TTabState>();
  return *P;
}

DWORD StyleOf(HWND Wnd) { return static_cast<DWORD>(GetWindowLongA(Wnd, GWL_STYLE)); }

bool Vertical(DWORD Style) { return (Style & TCS_VERTICAL) != 0; }

// Text extent of S in the control's font.
SIZE Measure(HWND, const TTabState& S, const String& Text) {
  HDC DC = GetDC(nullptr);
  HGDIOBJ Old = S.Font ? SelectObject(DC, S.Font) : nullptr;
  SIZE Size{};
  GetTextExtentPoint32A(DC, Text.empty() ? " " : Text.c_str(), Text.empty() ? 1 : static_cast<int>(Text.size()), &Size);
  if (Text.empty()) Size.cx = 0;
  if (Old) SelectObject(DC, Old);
  ReleaseDC(nullptr, DC);
  return Size;
}

// Lays the tabs out in client coordinates: rows along the tab side, the row with the selected
// tab nearest the display area.
void Layout(HWND Wnd, TTabState& S) {
  DWORD Style = StyleOf(Wnd);
  RECT Client{};
  GetClientRect(Wnd, &Client);
  bool Vert = Vertical(Style);
  bool Multi = (Style & TCS_MULTILINE) || Vert;
  // Along a tab the image takes its width; tabs at the sides run downwards, so there it takes
  // its height (and its width across the tab).
  int ImageAlong = S.Images ? (Vert ? S.Images->GetHeight() : S.Images->GetWidth()) : 0;
  int ImageAcross = S.Images ? (Vert ? S.Images->GetWidth() : S.Images->GetHeight()) : 0;
  SIZE Text = Measure(Wnd, S, "Ag");
  S.TabHeight = S.ItemHeight > 0 ? S.ItemHeight : std::max<int>(Text.cy, ImageAcross) + 2 * S.PadY;
  size_t N = S.Items.size();
  std::vector<int> Lengths(N);
  for (size_t I = 0; I < N; ++I) {
    int L;
    if ((Style & TCS_FIXEDWIDTH) && S.ItemWidth > 0) {
      L = S.ItemWidth;
    } else {
      L = Measure(Wnd, S, S.Items[I].Text).cx + 2 * S.PadX;
      if (S.Images && S.Items[I].Image >= 0) L += ImageAlong + 3;
    }
    if (S.MinTabWidth > 0) L = std::max(L, S.MinTabWidth);
    Lengths[I] = std::max(L, 1);
  }
  // The length available along the tab side.
  int Avail = (Vert ? Client.bottom : Client.right) - 2 * SelectionGrowth;
  // Rows of items.
  std::vector<std::vector<size_t>> Rows;
  if (Multi) {
    int Pos = 0;
    for (size_t I = 0; I < N; ++I) {
      if (Rows.empty() || (Pos + Lengths[I] > Avail && !Rows.back().empty())) {
        Rows.emplace_back();
        Pos = 0;
      }
      Rows.back().push_back(I);
      Pos += Lengths[I];
    }
  } else {
    Rows.emplace_back();
    for (size_t I = 0; I < N; ++I) Rows.back().push_back(I);
  }
  if (Rows.empty()) Rows.emplace_back();
  // The row of the selected tab goes next to the display area (the last row).
  if (Multi && S.Cur >= 0 && Rows.size() > 1) {
    for (size_t R = 0; R < Rows.size(); ++R)
      if (std::find(Rows[R].begin(), Rows[R].end(), static_cast<size_t>(S.Cur)) != Rows[R].end()) {
        std::rotate(Rows.begin(), Rows.begin() + static_cast<std::ptrdiff_t>(R + 1), Rows.end());
        break;
      }
  }
  S.Rows = static_cast<int>(Rows.size());
  S.Rects.assign(N, RECT{});
  bool Stretch = Multi && Rows.size() > 1 && !(Style & TCS_RAGGEDRIGHT);
  int H = S.TabHeight;
  // Row 0 is the farthest from the display area.
  for (size_t R = 0; R < Rows.size(); ++R) {
    int Total = 0;
    for (size_t I : Rows[R]) Total += Lengths[I];
    int Extra = Stretch && !Rows[R].empty() ? Avail - Total : 0;
    int Pos = SelectionGrowth;
    if (!Multi && S.First > 0 && S.First < static_cast<int>(N))
      for (int I = 0; I < S.First; ++I) Pos -= Lengths[static_cast<size_t>(I)];
    size_t K = 0;
    for (size_t I : Rows[R]) {
      int L = Lengths[I];
      if (Extra > 0) {
        int Share = Extra / static_cast<int>(Rows[R].size() - K);
        L += Share;
        Extra -= Share;
      }
      ++K;
      int Across = SelectionGrowth + static_cast<int>(R) * H;  // distance from the tab-side edge
      RECT T{};
      if (!Vert) {
        T.left = Pos;
        T.right = Pos + L;
        if (Style & TCS_BOTTOM) {
          T.bottom = Client.bottom - Across;
          T.top = T.bottom - H;
        } else {
          T.top = Across;
          T.bottom = Across + H;
        }
      } else {
        T.top = Pos;
        T.bottom = Pos + L;
        if (Style & TCS_RIGHT) {
          T.right = Client.right - Across;
          T.left = T.right - H;
        } else {
          T.left = Across;
          T.right = Across + H;
        }
      }
      // Tabs scrolled out of a single row end at or left of the control's edge.
      if (!Multi && static_cast<int>(I) < S.First) {
        if (Vert) OffsetRect(&T, 0, -SelectionGrowth);
        else OffsetRect(&T, -SelectionGrowth, 0);
      }
      S.Rects[I] = T;
      Pos += L;
    }
  }
}

// The tab strip's depth (from the control edge to the display frame).
int StripDepth(const TTabState& S) { return SelectionGrowth + S.Rows * S.TabHeight; }

// The frame around the display area in client coordinates.
RECT FrameRect(HWND Wnd, const TTabState& S) {
  RECT R{};
  GetClientRect(Wnd, &R);
  DWORD Style = StyleOf(Wnd);
  if (S.Items.empty()) return R;
  int D = StripDepth(S);
  if (Vertical(Style)) {
    if (Style & TCS_RIGHT)
      R.right -= D;
    else
      R.left += D;
  } else if (Style & TCS_BOTTOM) {
    R.bottom -= D;
  } else {
    R.top += D;
  }
  return R;
}

void AdjustRect(HWND Wnd, TTabState& S, bool Larger, RECT* R) {
  Layout(Wnd, S);
  DWORD Style = StyleOf(Wnd);
  int D = S.Items.empty() ? 0 : StripDepth(S);
  int Sign = Larger ? -1 : 1;
  InflateRect(R, -Sign * DisplayInset, -Sign * DisplayInset);
  if (Vertical(Style)) {
    if (Style & TCS_RIGHT)
      R->right -= Sign * D;
    else
      R->left += Sign * D;
  } else if (Style & TCS_BOTTOM) {
    R->bottom -= Sign * D;
  } else {
    R->top += Sign * D;
  }
}

bool Visible(HWND Wnd, const RECT& R) {
  RECT C{};
  GetClientRect(Wnd, &C);
  RECT I{};
  return IntersectRect(&I, &R, &C) != 0;
}

int HitTest(HWND Wnd, TTabState& S, POINT P, UINT* Flags) {
  Layout(Wnd, S);
  for (size_t I = 0; I < S.Rects.size(); ++I)
    if (PtInRect(&S.Rects[I], P) && Visible(Wnd, S.Rects[I])) {
      if (Flags) *Flags = TCHT_ONITEM;
      return static_cast<int>(I);
    }
  if (Flags) *Flags = TCHT_NOWHERE;
  return -1;
}

LRESULT Notify(HWND Wnd, UINT Code) {
  NMHDR H;
  H.hwndFrom = Wnd;
  H.idFrom = static_cast<UINT_PTR>(GetWindowLongPtrA(Wnd, GWLP_ID));
  H.code = Code;
  HWND Parent = GetParent(Wnd);
  if (!Parent) return 0;
  return SendMessageA(Parent, WM_NOTIFY, H.idFrom, reinterpret_cast<LPARAM>(&H));
}

// Makes sure a single row shows the selected tab.
void ScrollIntoView(HWND Wnd, TTabState& S) {
  if ((StyleOf(Wnd) & (TCS_MULTILINE | TCS_VERTICAL)) || S.Cur < 0) return;
  if (S.Cur < S.First) {
    S.First = S.Cur;
    return;
  }
  RECT C{};
  GetClientRect(Wnd, &C);
  for (;;) {
    Layout(Wnd, S);
    if (S.First >= S.Cur || S.Rects[static_cast<size_t>(S.Cur)].right <= C.right - SelectionGrowth) break;
    ++S.First;
  }
}

// Selects Index as a user would: asks the parent, then tells it. False when vetoed.
bool UserSelect(HWND Wnd, TTabState& S, int Index) {
  if (Index < 0 || Index >= static_cast<int>(S.Items.size()) || Index == S.Cur) return false;
  if (Notify(Wnd, TCN_SELCHANGING) != 0) return false;
  if (!IsWindow(Wnd)) return false;
  TTabState& St = StateOf(Wnd);
  St.Cur = Index;
  St.Focus = Index;
  ScrollIntoView(Wnd, St);
  InvalidateRect(Wnd, nullptr, TRUE);
  Notify(Wnd, TCN_SELCHANGE);
  return true;
}

void DrawTab(HWND Wnd, HDC DC, TTabState& S, size_t I, bool Selected) {
  DWORD Style = StyleOf(Wnd);
  RECT R = S.Rects[I];
  if (Selected) {
    InflateRect(&R, SelectionGrowth, SelectionGrowth);
  }
  // Body.
  HBRUSH Face = GetSysColorBrush(COLOR_BTNFACE);
  ::FillRect(DC, &R, Face);
  // Edges: open on the display side.
  UINT Sides = BF_RECT;
  if (Vertical(Style))
    Sides &= (Style & TCS_RIGHT) ? ~BF_LEFT : ~BF_RIGHT;
  else
    Sides &= (Style & TCS_BOTTOM) ? ~BF_TOP : ~BF_BOTTOM;
  if (Selected) {
    // Cover the frame line under the selected tab.
    RECT Under = R;
    if (Vertical(Style)) {
      if (Style & TCS_RIGHT) Under.left -= 2; else Under.right += 2;
    } else if (Style & TCS_BOTTOM) {
      Under.top -= 2;
    } else {
      Under.bottom += 2;
    }
    ::FillRect(DC, &Under, Face);
  }
  DrawEdge(DC, &R, EDGE_RAISED, Sides | BF_SOFT);
  if (Style & TCS_OWNERDRAWFIXED) {
    DRAWITEMSTRUCT D;
    D.CtlType = ODT_TAB;
    D.CtlID = static_cast<UINT>(GetWindowLongPtrA(Wnd, GWLP_ID));
    D.itemID = static_cast<UINT>(I);
    D.itemAction = ODA_DRAWENTIRE;
    D.itemState = Selected ? ODS_SELECTED : 0;
    D.hwndItem = Wnd;
    D.hDC = DC;
    D.rcItem = R;
    D.itemData = static_cast<ULONG_PTR>(S.Items[I].Param);
    SendMessageA(GetParent(Wnd), WM_DRAWITEM, D.CtlID, reinterpret_cast<LPARAM>(&D));
    return;
  }
  RECT T = R;
  InflateRect(&T, -S.PadX / 2, -1);
  const TTabItem& Item = S.Items[I];
  if (S.Images && Item.Image >= 0 && Item.Image < S.Images->GetCount()) {
    SIZE Sz = Measure(Wnd, S, Item.Text);
    int W = S.Images->GetWidth() + 3 + Sz.cx;
    int X = T.left + std::max<int>(0, (T.right - T.left - W) / 2);
    int Y = T.top + (T.bottom - T.top - S.Images->GetHeight()) / 2;
    TCanvas Canvas;
    Canvas.SetHandle(DC);
    S.Images->Draw(&Canvas, X, Y, Item.Image, IsWindowEnabled(Wnd) != 0);
    Canvas.SetHandle(nullptr);
    T.left = X + S.Images->GetWidth() + 3;
    T.right = T.left + Sz.cx;
  }
  HGDIOBJ Old = S.Font ? SelectObject(DC, S.Font) : nullptr;
  SetBkMode(DC, TRANSPARENT);
  SetTextColor(DC, GetSysColor(IsWindowEnabled(Wnd) ? COLOR_BTNTEXT : COLOR_GRAYTEXT));
  DrawTextA(DC, Item.Text.c_str(), static_cast<int>(Item.Text.size()), &T,
            DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
  if (Old) SelectObject(DC, Old);
  if (Selected && GetFocus() == Wnd) {
    RECT F = R;
    InflateRect(&F, -3, -3);
    DrawFocusRect(DC, &F);
  }
}

void Paint(HWND Wnd, HDC DC, TTabState& S) {
  Layout(Wnd, S);
  RECT Frame = FrameRect(Wnd, S);
  DrawEdge(DC, &Frame, EDGE_RAISED, BF_RECT | BF_SOFT);
  int Saved = SaveDC(DC);
  // Tabs never draw over the display area.
  RECT Clip{};
  GetClientRect(Wnd, &Clip);
  for (size_t I = 0; I < S.Items.size(); ++I)
    if (static_cast<int>(I) != S.Cur && Visible(Wnd, S.Rects[I])) DrawTab(Wnd, DC, S, I, false);
  if (S.Cur >= 0 && S.Cur < static_cast<int>(S.Items.size()) && Visible(Wnd, S.Rects[static_cast<size_t>(S.Cur)]))
    DrawTab(Wnd, DC, S, static_cast<size_t>(S.Cur), true);
  RestoreDC(DC, Saved);
}

void StoreItem(TTabItem& Item, const TCITEMA& Info) {
  if (Info.mask & TCIF_TEXT) Item.Text = Info.pszText ? Info.pszText : "";
  if (Info.mask & TCIF_IMAGE) Item.Image = Info.iImage;
  if (Info.mask & TCIF_PARAM) Item.Param = Info.lParam;
  if (Info.mask & TCIF_STATE) Item.State = (Item.State & ~Info.dwStateMask) | (Info.dwState & Info.dwStateMask);
}

LRESULT TabControlProc(HWND Wnd, UINT Msg, WPARAM WParam, LPARAM LParam) {
  if (Msg == WM_NCDESTROY) {
    States().erase(Wnd);
    return DefWindowProcA(Wnd, Msg, WParam, LParam);
  }
  TTabState& S = StateOf(Wnd);
  int Count = static_cast<int>(S.Items.size());
  switch (Msg) {
    case TCM_GETITEMCOUNT: return Count;
    case TCM_INSERTITEMA: {
      auto* Info = reinterpret_cast<const TCITEMA*>(LParam);
      if (!Info || static_cast<int>(WParam) < 0) return -1;
      int Index = std::min(static_cast<int>(WParam), Count);
      TTabItem Item;
      StoreItem(Item, *Info);
      S.Items.insert(S.Items.begin() + Index, Item);
      if (S.Cur >= Index) ++S.Cur;
      if (S.Focus >= Index) ++S.Focus;
      if (S.Cur < 0 && S.Items.size() == 1) S.Cur = S.Focus = 0;  // the first tab is selected
      InvalidateRect(Wnd, nullptr, TRUE);
      return Index;
    }
    case TCM_SETITEMA:
    case TCM_GETITEMA: {
      auto* Info = reinterpret_cast<TCITEMA*>(LParam);
      int Index = static_cast<int>(WParam);
      if (!Info || Index < 0 || Index >= Count) return FALSE;
      TTabItem& Item = S.Items[static_cast<size_t>(Index)];
      if (Msg == TCM_SETITEMA) {
        StoreItem(Item, *Info);
        InvalidateRect(Wnd, nullptr, TRUE);
        return TRUE;
      }
      if ((Info->mask & TCIF_TEXT) && Info->pszText && Info->cchTextMax > 0) {
        size_t N = std::min(Item.Text.size(), static_cast<size_t>(Info->cchTextMax - 1));
        std::copy_n(Item.Text.data(), N, Info->pszText);
        Info->pszText[N] = '\0';
      }
      if (Info->mask & TCIF_IMAGE) Info->iImage = Item.Image;
      if (Info->mask & TCIF_PARAM) Info->lParam = Item.Param;
      if (Info->mask & TCIF_STATE) Info->dwState = Item.State & Info->dwStateMask;
      return TRUE;
    }
    case TCM_DELETEITEM: {
      int Index = static_cast<int>(WParam);
      if (Index < 0 || Index >= Count) return FALSE;
      S.Items.erase(S.Items.begin() + Index);
      if (S.Cur == Index) S.Cur = -1;
      else if (S.Cur > Index) --S.Cur;
      if (S.Focus == Index) S.Focus = S.Cur;
      else if (S.Focus > Index) --S.Focus;
      S.First = std::max(0, std::min(S.First, static_cast<int>(S.Items.size()) - 1));
      InvalidateRect(Wnd, nullptr, TRUE);
      return TRUE;
    }
    case TCM_DELETEALLITEMS:
      S.Items.clear();
      S.Cur = S.Focus = -1;
      S.First = 0;
      InvalidateRect(Wnd, nullptr, TRUE);
      return TRUE;
    case TCM_GETCURSEL: return S.Cur;
    case TCM_SETCURSEL: {
      int Old = S.Cur;
      int Index = static_cast<int>(WParam);
      if (Index >= Count) return -1;
      S.Cur = Index < 0 ? -1 : Index;
      S.Focus = S.Cur;
      ScrollIntoView(Wnd, S);
      InvalidateRect(Wnd, nullptr, TRUE);
      return Old;
    }
    case TCM_GETCURFOCUS: return S.Focus;
    case TCM_SETCURFOCUS: {
      int Index = static_cast<int>(WParam);
      if (Index < 0 || Index >= Count) return 0;
      UserSelect(Wnd, S, Index);
      return 0;
    }
    case TCM_GETITEMRECT: {
      auto* R = reinterpret_cast<RECT*>(LParam);
      int Index = static_cast<int>(WParam);
      if (!R || Index < 0 || Index >= Count) return FALSE;
      Layout(Wnd, S);
      *R = S.Rects[static_cast<size_t>(Index)];
      return TRUE;
    }
    case TCM_HITTEST: {
      auto* Info = reinterpret_cast<TCHITTESTINFO*>(LParam);
      if (!Info) return -1;
      return HitTest(Wnd, S, Info->pt, &Info->flags);
    }
    case TCM_ADJUSTRECT: {
      auto* R = reinterpret_cast<RECT*>(LParam);
      if (R) AdjustRect(Wnd, S, WParam != 0, R);
      return 0;
    }
    case TCM_SETITEMSIZE: {
      LRESULT Old = MAKELONG(S.ItemWidth, S.ItemHeight);
      S.ItemWidth = std::max(0, static_cast<int>(static_cast<short>(LOWORD(LParam))));
      S.ItemHeight = std::max(0, static_cast<int>(static_cast<short>(HIWORD(LParam))));
      InvalidateRect(Wnd, nullptr, TRUE);
      return Old;
    }
    case TCM_SETPADDING:
      S.PadX = std::max(0, static_cast<int>(static_cast<short>(LOWORD(LParam))));
      S.PadY = std::max(0, static_cast<int>(static_cast<short>(HIWORD(LParam))));
      InvalidateRect(Wnd, nullptr, TRUE);
      return 0;
    case TCM_SETMINTABWIDTH: {
      int Old = S.MinTabWidth;
      S.MinTabWidth = static_cast<int>(LParam);
      InvalidateRect(Wnd, nullptr, TRUE);
      return Old;
    }
    case TCM_GETROWCOUNT: Layout(Wnd, S); return S.Rows;
    case TCM_GETIMAGELIST: return reinterpret_cast<LRESULT>(S.Images);
    case TCM_SETIMAGELIST: {
      HIMAGELIST Old = S.Images;
      S.Images = reinterpret_cast<HIMAGELIST>(LParam);
      InvalidateRect(Wnd, nullptr, TRUE);
      return reinterpret_cast<LRESULT>(Old);
    }
    case TCM_REMOVEIMAGE: {
      int Image = static_cast<int>(WParam);
      for (TTabItem& Item : S.Items)
        if (Item.Image == Image) Item.Image = -1;
        else if (Item.Image > Image) --Item.Image;
      InvalidateRect(Wnd, nullptr, TRUE);
      return 0;
    }
    case TCM_SETITEMEXTRA: return Count == 0 ? TRUE : FALSE;
    case TCM_DESELECTALL:
    case TCM_HIGHLIGHTITEM:
    case TCM_SETEXTENDEDSTYLE:
    case TCM_GETEXTENDEDSTYLE:
    case TCM_GETTOOLTIPS:
    case TCM_SETTOOLTIPS: return 0;
    case WM_HSCROLL:
      // A single row that does not fit scrolls by whole tabs; the position is the first tab shown.
      if (LOWORD(WParam) == SB_THUMBPOSITION && !(StyleOf(Wnd) & (TCS_MULTILINE | TCS_VERTICAL))) {
        int Pos = static_cast<short>(HIWORD(WParam));
        S.First = std::max(0, std::min(Pos, Count - 1));
        InvalidateRect(Wnd, nullptr, TRUE);
      }
      return 0;
    case WM_SETFONT:
      S.Font = reinterpret_cast<HFONT>(WParam);
      if (LOWORD(LParam)) InvalidateRect(Wnd, nullptr, TRUE);
      return 0;
    case WM_GETFONT: return reinterpret_cast<LRESULT>(S.Font);
    case WM_GETDLGCODE: return 0x0001;  // DLGC_WANTARROWS
    case WM_SIZE:
    case WM_STYLECHANGED: InvalidateRect(Wnd, nullptr, TRUE); return DefWindowProcA(Wnd, Msg, WParam, LParam);
    case WM_SETFOCUS:
    case WM_KILLFOCUS:
      if (S.Cur >= 0) InvalidateRect(Wnd, nullptr, FALSE);
      return 0;
    case WM_LBUTTONDOWN: {
      POINT P{GET_X_LPARAM(LParam), GET_Y_LPARAM(LParam)};
      int Index = HitTest(Wnd, S, P, nullptr);
      if (!(StyleOf(Wnd) & TCS_FOCUSNEVER) && GetFocus() != Wnd) SetFocus(Wnd);
      if (!IsWindow(Wnd)) return 0;
      if (Index >= 0) UserSelect(Wnd, StateOf(Wnd), Index);
      return 0;
    }
    case WM_LBUTTONUP:
      if (IsWindow(Wnd)) Notify(Wnd, NM_CLICK);
      return 0;
    case WM_RBUTTONUP:
      Notify(Wnd, NM_RCLICK);
      return DefWindowProcA(Wnd, Msg, WParam, LParam);
    case WM_KEYDOWN: {
      NMTCKEYDOWN K;
      K.hdr.hwndFrom = Wnd;
      K.hdr.idFrom = static_cast<UINT_PTR>(GetWindowLongPtrA(Wnd, GWLP_ID));
      K.hdr.code = TCN_KEYDOWN;
      K.wVKey = static_cast<WORD>(WParam);
      K.flags = static_cast<UINT>(LParam);
      if (HWND Parent = GetParent(Wnd)) SendMessageA(Parent, WM_NOTIFY, K.hdr.idFrom, reinterpret_cast<LPARAM>(&K));
      if (!IsWindow(Wnd)) return 0;
      TTabState& St = StateOf(Wnd);
      int N = static_cast<int>(St.Items.size());
      int Target = -1;
      switch (WParam) {
        case VK_LEFT:
        case VK_UP: Target = St.Cur - 1; break;
        case VK_RIGHT:
        case VK_DOWN: Target = St.Cur + 1; break;
        case VK_HOME: Target = 0; break;
        case VK_END: Target = N - 1; break;
        default: return 0;
      }
      if (Target >= 0 && Target < N) UserSelect(Wnd, St, Target);
      return 0;
    }
    case WM_PRINTCLIENT:
      // The client area into the given DC, as a paint would draw it (the DC's state kept).
      if (auto DC = reinterpret_cast<HDC>(WParam)) {
        int Saved = SaveDC(DC);
        Paint(Wnd, DC, S);
        RestoreDC(DC, Saved);
      }
      return 0;
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
    case WM_ERASEBKGND: {
      RECT R{};
      GetClientRect(Wnd, &R);
      ::FillRect(reinterpret_cast<HDC>(WParam), &R, GetSysColorBrush(COLOR_BTNFACE));
      return 1;
    }
    default: break;
  }
  return DefWindowProcA(Wnd, Msg, WParam, LParam);
}

}  // namespace

void RegisterTabControlClass() {
  WNDCLASSA Existing{};
  if (GetClassInfoA(nullptr, WC_TABCONTROLA, &Existing)) return;
  WNDCLASSA Class{};
  Class.style = CS_DBLCLKS | CS_HREDRAW | CS_VREDRAW | CS_GLOBALCLASS;
  Class.lpfnWndProc = TabControlProc;
  Class.hCursor = LoadCursorA(nullptr, IDC_ARROW);
  Class.lpszClassName = WC_TABCONTROLA;
  RegisterClassA(&Class);
}
