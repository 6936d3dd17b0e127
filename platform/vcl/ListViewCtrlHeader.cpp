// The "SysHeader32" window class: a row of column captions with widths, drawn as buttons in the
// plain look. A click on a caption sends HDN_ITEMCLICK to the parent; dragging a divider resizes
// the column on its left (HDN_BEGINTRACK, HDN_ITEMCHANGING / HDN_ITEMCHANGED, HDN_ENDTRACK); with
// HDS_DRAGDROP a caption dragged sideways moves its column (HDN_BEGINDRAG, HDN_ENDDRAG: a non-zero
// answer keeps the order).
#include <algorithm>
#include <map>
#include <memory>
#include <vector>

#include "platform/gdi/Gdi.h"
#include "platform/vcl/Canvas.h"
#include "platform/vcl/ImgList.h"
#include "platform/vcl/ListViewCtrl.h"
#include "platform/vcl/ViewCtrlsConsts.h"

namespace {

constexpr int DividerGrip = 4;

struct THeaderItem {
  String Text;
  int Width = 50;
  int Fmt = HDF_LEFT | HDF_STRING;
  LPARAM Param = 0;
  int Image = -1;
};

struct THeaderState {
  std::vector<THeaderItem> Items;
  std::vector<int> Order;  // display position -> item index
  HFONT Font = nullptr;
  HIMAGELIST Images = nullptr;
  int Pressed = -1;
  int DragStartX = 0;
  bool Dragging = false;
  int Tracking = -1;
  int TrackStartX = 0, TrackStartWidth = 0;
};

std::map<HWND, std::unique_ptr<THeaderState>>& States() {
  static std::map<HWND, std::unique_ptr<THeaderState>> Map;
  return Map;
}

THeaderState& StateOf(HWND Wnd) {
  auto& P = States()[Wnd];
  if (!P) P = std::make_unique<THeaderState>();
  return *P;
}

int Height(THeaderState& S) {
  HDC DC = GetDC(nullptr);
  HGDIOBJ Old = S.Font ? SelectObject(DC, S.Font) : nullptr;
  TEXTMETRICA TM{};
  GetTextMetricsA(DC, &TM);
  if (Old) SelectObject(DC, Old);
  ReleaseDC(nullptr, DC);
  return TM.tmHeight + 6;
}

bool ItemRect(HWND Wnd, THeaderState& S, int Index, RECT& R) {
  if (Index < 0 || Index >= static_cast<int>(S.Items.size())) return false;
  RECT C{};
  GetClientRect(Wnd, &C);
  int X = 0;
  for (int I : S.Order) {
    int W = std::max(0, S.Items[static_cast<size_t>(I)].Width);
    if (I == Index) {
      R = Rect(X, 0, X + W, C.bottom);
      return true;
    }
    X += W;
  }
  return false;
}

int HitTest(HWND Wnd, THeaderState& S, POINT P, UINT& Flags) {
  RECT C{};
  GetClientRect(Wnd, &C);
  Flags = 0;
  if (P.y < 0) Flags |= HHT_ABOVE;
  if (P.y >= C.bottom) Flags |= HHT_BELOW;
  if (P.x < 0) Flags |= HHT_TOLEFT;
  if (Flags) return -1;
  // Dividers first: the grip straddles the right edge of each column.
  for (auto It = S.Order.rbegin(); It != S.Order.rend(); ++It) {
    RECT R{};
    ItemRect(Wnd, S, *It, R);
    if (P.x >= R.right - DividerGrip && P.x < R.right + DividerGrip) {
      Flags = HHT_ONDIVIDER;
      return *It;
    }
  }
  for (int I : S.Order) {
    RECT R{};
    ItemRect(Wnd, S, I, R);
    if (P.x >= R.left && P.x < R.right) {
      Flags = HHT_ONHEADER;
      return I;
    }
  }
  Flags = P.x >= C.right ? HHT_TORIGHT : HHT_NOWHERE;
  return -1;
}

LRESULT Notify(HWND Wnd, UINT Code, int Item, HDITEMA* Info = nullptr) {
  NMHEADERA N;
  N.hdr.hwndFrom = Wnd;
  N.hdr.idFrom = static_cast<UINT_PTR>(GetWindowLongPtrA(Wnd, GWLP_ID));
  N.hdr.code = Code;
  N.iItem = Item;
  N.pitem = Info;
  HWND Parent = GetParent(Wnd);
  return Parent ? SendMessageA(Parent, WM_NOTIFY, N.hdr.idFrom, reinterpret_cast<LPARAM>(&N)) : 0;
}

// Changes an item's width as the user would; false when the parent refuses.
bool SetWidth(HWND Wnd, int Index, int Width) {
  HDITEMA Info;
  Info.mask = HDI_WIDTH;
  Info.cxy = std::max(0, Width);
  if (Notify(Wnd, HDN_ITEMCHANGINGA, Index, &Info) != 0) return false;
  auto It = States().find(Wnd);
  if (It == States().end() || Index >= static_cast<int>(It->second->Items.size())) return false;
  It->second->Items[static_cast<size_t>(Index)].Width = Info.cxy;
  InvalidateRect(Wnd, nullptr, TRUE);
  Notify(Wnd, HDN_ITEMCHANGEDA, Index, &Info);
  return true;
}

void Paint(HWND Wnd, HDC DC, THeaderState& S) {
  RECT C{};
  GetClientRect(Wnd, &C);
  ::FillRect(DC, &C, GetSysColorBrush(COLOR_BTNFACE));
  HGDIOBJ Old = S.Font ? SelectObject(DC, S.Font) : nullptr;
  SetBkMode(DC, TRANSPARENT);
  SetTextColor(DC, GetSysColor(IsWindowEnabled(Wnd) ? COLOR_BTNTEXT : COLOR_GRAYTEXT));
  int Right = 0;
  for (int I : S.Order) {
    RECT R{};
    ItemRect(Wnd, S, I, R);
    Right = R.right;
    if (R.right <= R.left) continue;
    bool Down = I == S.Pressed;
    DrawEdge(DC, &R, Down ? EDGE_SUNKEN : EDGE_RAISED, BF_RECT | BF_SOFT);
    RECT T = R;
    InflateRect(&T, -6, 0);
    if (Down) OffsetRect(&T, 1, 1);
    const THeaderItem& Item = S.Items[static_cast<size_t>(I)];
    if (S.Images && Item.Image >= 0 && (Item.Fmt & HDF_IMAGE)) {
      TCanvas Canvas;
      Canvas.SetHandle(DC);
      S.Images->Draw(&Canvas, T.left, T.top + (T.bottom - T.top - S.Images->GetHeight()) / 2, Item.Image);
      Canvas.SetHandle(nullptr);
      if (S.Font) SelectObject(DC, S.Font);
      SetBkMode(DC, TRANSPARENT);
      T.left += S.Images->GetWidth() + 3;
    }
    UINT Align = (Item.Fmt & HDF_JUSTIFYMASK) == HDF_RIGHT ? DT_RIGHT
                 : (Item.Fmt & HDF_JUSTIFYMASK) == HDF_CENTER ? DT_CENTER
                                                              : DT_LEFT;
    DrawTextA(DC, Item.Text.c_str(), static_cast<int>(Item.Text.size()), &T,
              Align | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX | DT_END_ELLIPSIS);
  }
  if (Right < C.right) {
    RECT Rest = Rect(Right, 0, C.right, C.bottom);
    DrawEdge(DC, &Rest, EDGE_RAISED, BF_RECT | BF_SOFT);
  }
  if (Old) SelectObject(DC, Old);
}

void Store(THeaderItem& Item, const HDITEMA& Info) {
  if (Info.mask & HDI_WIDTH) Item.Width = std::max(0, Info.cxy);
  if (Info.mask & HDI_TEXT) Item.Text = Info.pszText ? Info.pszText : "";
  if (Info.mask & HDI_FORMAT) Item.Fmt = Info.fmt;
  if (Info.mask & HDI_LPARAM) Item.Param = Info.lParam;
  if (Info.mask & HDI_IMAGE) Item.Image = Info.iImage;
}

LRESULT HeaderProc(HWND Wnd, UINT Msg, WPARAM WParam, LPARAM LParam) {
  if (Msg == WM_NCDESTROY) {
    States().erase(Wnd);
    return DefWindowProcA(Wnd, Msg, WParam, LParam);
  }
  THeaderState& S = StateOf(Wnd);
  int Count = static_cast<int>(S.Items.size());
  switch (Msg) {
    case HDM_GETITEMCOUNT: return Count;
    case HDM_INSERTITEMA: {
      auto* Info = reinterpret_cast<const HDITEMA*>(LParam);
      if (!Info || static_cast<int>(WParam) < 0) return -1;
      int Index = std::min(static_cast<int>(WParam), Count);
      THeaderItem Item;
      Store(Item, *Info);
      S.Items.insert(S.Items.begin() + Index, Item);
      for (int& O : S.Order)
        if (O >= Index) ++O;
      // Without an order the new column shows at the place of its index.
      int Pos = std::max(0, std::min((Info->mask & HDI_ORDER) ? Info->iOrder : Index, Count));
      S.Order.insert(S.Order.begin() + Pos, Index);
      InvalidateRect(Wnd, nullptr, TRUE);
      return Index;
    }
    case HDM_DELETEITEM: {
      int Index = static_cast<int>(WParam);
      if (Index < 0 || Index >= Count) return FALSE;
      S.Items.erase(S.Items.begin() + Index);
      S.Order.erase(std::remove(S.Order.begin(), S.Order.end(), Index), S.Order.end());
      for (int& O : S.Order)
        if (O > Index) --O;
      InvalidateRect(Wnd, nullptr, TRUE);
      return TRUE;
    }
    case HDM_GETITEMA:
    case HDM_SETITEMA: {
      auto* Info = reinterpret_cast<HDITEMA*>(LParam);
      int Index = static_cast<int>(WParam);
      if (!Info || Index < 0 || Index >= Count) return FALSE;
      THeaderItem& Item = S.Items[static_cast<size_t>(Index)];
      if (Msg == HDM_SETITEMA) {
        Store(Item, *Info);
        InvalidateRect(Wnd, nullptr, TRUE);
        return TRUE;
      }
      if (Info->mask & HDI_WIDTH) Info->cxy = Item.Width;
      if ((Info->mask & HDI_TEXT) && Info->pszText && Info->cchTextMax > 0) {
        size_t N = std::min(Item.Text.size(), static_cast<size_t>(Info->cchTextMax - 1));
        std::copy_n(Item.Text.data(), N, Info->pszText);
        Info->pszText[N] = '\0';
      }
      if (Info->mask & HDI_FORMAT) Info->fmt = Item.Fmt;
      if (Info->mask & HDI_LPARAM) Info->lParam = Item.Param;
      if (Info->mask & HDI_IMAGE) Info->iImage = Item.Image;
      if (Info->mask & HDI_ORDER)
        Info->iOrder = static_cast<int>(std::find(S.Order.begin(), S.Order.end(), Index) - S.Order.begin());
      return TRUE;
    }
    case HDM_LAYOUT: {
      auto* L = reinterpret_cast<HDLAYOUT*>(LParam);
      if (!L || !L->prc) return FALSE;
      int H = (GetWindowLongA(Wnd, GWL_STYLE) & HDS_HIDDEN) ? 0 : Height(S);
      if (L->pwpos) {
        L->pwpos->hwnd = Wnd;
        L->pwpos->x = L->prc->left;
        L->pwpos->y = L->prc->top;
        L->pwpos->cx = L->prc->right - L->prc->left;
        L->pwpos->cy = H;
        L->pwpos->flags = SWP_NOZORDER | SWP_NOACTIVATE;
      }
      L->prc->top += H;
      return TRUE;
    }
    case HDM_HITTEST: {
      auto* Info = reinterpret_cast<HDHITTESTINFO*>(LParam);
      if (!Info) return -1;
      Info->iItem = HitTest(Wnd, S, Info->pt, Info->flags);
      return Info->iItem;
    }
    case HDM_GETITEMRECT: {
      auto* R = reinterpret_cast<RECT*>(LParam);
      return R && ItemRect(Wnd, S, static_cast<int>(WParam), *R) ? TRUE : FALSE;
    }
    case HDM_GETORDERARRAY: {
      auto* A = reinterpret_cast<int*>(LParam);
      if (!A || static_cast<int>(WParam) < Count) return FALSE;
      std::copy(S.Order.begin(), S.Order.end(), A);
      return TRUE;
    }
    case HDM_SETORDERARRAY: {
      auto* A = reinterpret_cast<const int*>(LParam);
      if (!A || static_cast<int>(WParam) != Count) return FALSE;
      std::vector<int> Order(A, A + Count), Sorted = Order;
      std::sort(Sorted.begin(), Sorted.end());
      for (int K = 0; K < Count; ++K)
        if (Sorted[static_cast<size_t>(K)] != K) return FALSE;  // not a permutation
      S.Order = Order;
      InvalidateRect(Wnd, nullptr, TRUE);
      return TRUE;
    }
    case HDM_ORDERTOINDEX: {
      int Pos = static_cast<int>(WParam);
      return Pos >= 0 && Pos < Count ? S.Order[static_cast<size_t>(Pos)] : Pos;
    }
    case HDM_SETIMAGELIST: {
      HIMAGELIST Old = S.Images;
      S.Images = reinterpret_cast<HIMAGELIST>(LParam);
      InvalidateRect(Wnd, nullptr, TRUE);
      return reinterpret_cast<LRESULT>(Old);
    }
    case HDM_GETIMAGELIST: return reinterpret_cast<LRESULT>(S.Images);
    case WM_SETFONT:
      S.Font = reinterpret_cast<HFONT>(WParam);
      if (LOWORD(LParam)) InvalidateRect(Wnd, nullptr, TRUE);
      return 0;
    case WM_GETFONT: return reinterpret_cast<LRESULT>(S.Font);
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK: {
      POINT P{GET_X_LPARAM(LParam), GET_Y_LPARAM(LParam)};
      UINT Flags = 0;
      int Index = HitTest(Wnd, S, P, Flags);
      if (Index < 0) return 0;
      if (Flags & HHT_ONDIVIDER) {
        if (Msg == WM_LBUTTONDBLCLK) {
          Notify(Wnd, HDN_DIVIDERDBLCLICKA, Index);
          return 0;
        }
        HDITEMA Info;
        Info.mask = HDI_WIDTH;
        Info.cxy = S.Items[static_cast<size_t>(Index)].Width;
        if (Notify(Wnd, HDN_BEGINTRACKA, Index, &Info) != 0) return 0;
        THeaderState& St = StateOf(Wnd);
        St.Tracking = Index;
        St.TrackStartX = P.x;
        St.TrackStartWidth = St.Items[static_cast<size_t>(Index)].Width;
        SetCapture(Wnd);
        return 0;
      }
      if (Msg == WM_LBUTTONDBLCLK) {
        Notify(Wnd, HDN_ITEMDBLCLICKA, Index);
        return 0;
      }
      if (GetWindowLongA(Wnd, GWL_STYLE) & (HDS_BUTTONS | HDS_DRAGDROP)) {
        S.Pressed = Index;
        S.DragStartX = P.x;
        S.Dragging = false;
        SetCapture(Wnd);
        InvalidateRect(Wnd, nullptr, TRUE);
      }
      return 0;
    }
    case WM_MOUSEMOVE:
      if (S.Tracking >= 0) {
        int W = S.TrackStartWidth + GET_X_LPARAM(LParam) - S.TrackStartX;
        SetWidth(Wnd, S.Tracking, W);
      } else if (S.Pressed >= 0 && !S.Dragging && (GetWindowLongA(Wnd, GWL_STYLE) & HDS_DRAGDROP) &&
                 std::abs(GET_X_LPARAM(LParam) - S.DragStartX) > 4) {
        if (Notify(Wnd, HDN_BEGINDRAG, S.Pressed) == 0)
          if (auto It = States().find(Wnd); It != States().end()) It->second->Dragging = true;
      }
      return 0;
    case WM_LBUTTONUP: {
      if (S.Tracking >= 0) {
        int Index = S.Tracking;
        S.Tracking = -1;
        if (GetCapture() == Wnd) ReleaseCapture();
        HDITEMA Info;
        Info.mask = HDI_WIDTH;
        Info.cxy = StateOf(Wnd).Items[static_cast<size_t>(Index)].Width;
        Notify(Wnd, HDN_ENDTRACKA, Index, &Info);
        return 0;
      }
      if (S.Pressed >= 0 && S.Dragging) {
        // The column goes to the place under the pointer.
        int Index = S.Pressed;
        S.Pressed = -1;
        S.Dragging = false;
        if (GetCapture() == Wnd) ReleaseCapture();
        int X = GET_X_LPARAM(LParam);
        int Target = static_cast<int>(S.Order.size()) - 1, Left = 0;
        for (size_t Pos = 0; Pos < S.Order.size(); ++Pos) {
          int W = S.Items[static_cast<size_t>(S.Order[Pos])].Width;
          if (X < Left + W) {
            Target = static_cast<int>(Pos);
            break;
          }
          Left += W;
        }
        if (X < 0) Target = 0;
        HDITEMA Info;
        Info.mask = HDI_ORDER;
        Info.iOrder = Target;
        InvalidateRect(Wnd, nullptr, TRUE);
        if (Notify(Wnd, HDN_ENDDRAG, Index, &Info) != 0) return 0;
        auto It = States().find(Wnd);
        if (It == States().end()) return 0;
        auto& Order = It->second->Order;
        Order.erase(std::remove(Order.begin(), Order.end(), Index), Order.end());
        Order.insert(Order.begin() + std::max(0, std::min(Info.iOrder, static_cast<int>(Order.size()))), Index);
        Notify(Wnd, HDN_ITEMCHANGEDA, Index, &Info);
        return 0;
      }
      if (S.Pressed >= 0) {
        int Index = S.Pressed;
        S.Pressed = -1;
        if (GetCapture() == Wnd) ReleaseCapture();
        InvalidateRect(Wnd, nullptr, TRUE);
        POINT P{GET_X_LPARAM(LParam), GET_Y_LPARAM(LParam)};
        UINT Flags = 0;
        if (HitTest(Wnd, StateOf(Wnd), P, Flags) == Index && (Flags & HHT_ONHEADER)) Notify(Wnd, HDN_ITEMCLICKA, Index);
      }
      return 0;
    }
    case WM_CAPTURECHANGED:
      S.Pressed = S.Tracking = -1;
      S.Dragging = false;
      InvalidateRect(Wnd, nullptr, TRUE);
      return 0;
    case WM_SETCURSOR: {
      POINT P{};
      GetCursorPos(&P);
      ScreenToClient(Wnd, &P);
      UINT Flags = 0;
      HitTest(Wnd, S, P, Flags);
      SetCursor(LoadCursorA(nullptr, (Flags & HHT_ONDIVIDER) ? IDC_SIZEWE : IDC_ARROW));
      return TRUE;
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

void RegisterHeaderClass() {
  WNDCLASSA Existing{};
  if (GetClassInfoA(nullptr, WC_HEADERA, &Existing)) return;
  WNDCLASSA Class{};
  Class.style = CS_DBLCLKS | CS_GLOBALCLASS;
  Class.lpfnWndProc = HeaderProc;
  Class.hCursor = LoadCursorA(nullptr, IDC_ARROW);
  Class.lpszClassName = WC_HEADERA;
  RegisterClassA(&Class);
}
