#include "platform/vcl/ScrollBarCtrlClass.h"

#include <algorithm>

#include "platform/gdi/Gdi.h"
#include "platform/vcl/Controls.h"

namespace {

const char SScrollBarProp[] = "QvScrollBarData";
constexpr UINT_PTR RepeatTimer = 1;
constexpr UINT FirstDelay = 400;
constexpr UINT RepeatDelay = 50;

enum TBarArea { ptNone, ptArrow1, ptArrow2, ptPage1, ptPage2, ptThumb };

struct TSbData {
  HWND Wnd = nullptr;
  int Min = 0;
  int Max = 100;
  UINT Page = 0;
  int Pos = 0;
  int TrackPos = 0;
  UINT Arrows = ESB_ENABLE_BOTH;  // ESB_DISABLE_* bits
  TBarArea Pressed = ptNone;
  bool Tracking = false;
  int DragOffset = 0;  // pointer minus thumb start while dragging
  POINT Last{};

  bool Vert() const { return (GetWindowLongA(Wnd, GWL_STYLE) & SBS_VERT) != 0; }
  int MaxPos() const { return Max - std::max<int>(static_cast<int>(Page) - 1, 0); }
};

struct TGeometry {
  int Len = 0;         // along the bar
  int Arrow = 0;
  int TrackStart = 0;
  int TrackLen = 0;
  int ThumbStart = 0;
  int ThumbLen = 0;
};

TSbData* DataOf(HWND Wnd) { return static_cast<TSbData*>(GetPropA(Wnd, SScrollBarProp)); }

TGeometry Geometry(TSbData* D, int Pos) {
  RECT R;
  GetClientRect(D->Wnd, &R);
  TGeometry G;
  bool V = D->Vert();
  G.Len = V ? R.bottom : R.right;
  int Thick = V ? R.right : R.bottom;
  G.Arrow = std::min(Thick > 0 ? Thick : 16, G.Len / 2);
  G.TrackStart = G.Arrow;
  G.TrackLen = std::max(0, G.Len - 2 * G.Arrow);
  int Range = D->Max - D->Min + 1;
  int Thumb = D->Page > 0 ? static_cast<int>(static_cast<long long>(G.TrackLen) * D->Page / std::max(Range, 1))
                          : G.Arrow;
  G.ThumbLen = std::clamp(Thumb, std::min(8, G.TrackLen), G.TrackLen);
  int Span = D->MaxPos() - D->Min;
  int Off = Span > 0 ? static_cast<int>(static_cast<long long>(G.TrackLen - G.ThumbLen) * (Pos - D->Min) / Span) : 0;
  G.ThumbStart = G.TrackStart + std::clamp(Off, 0, std::max(0, G.TrackLen - G.ThumbLen));
  return G;
}

bool Usable(TSbData* D) {
  return IsWindowEnabled(D->Wnd) && D->Max > D->Min && (D->Arrows & ESB_DISABLE_BOTH) != ESB_DISABLE_BOTH;
}

TBarArea AreaAt(TSbData* D, POINT P) {
  TGeometry G = Geometry(D, D->Pos);
  int At = D->Vert() ? P.y : P.x;
  if (At < 0 || At >= G.Len) return ptNone;
  if (At < G.TrackStart) return ptArrow1;
  if (At >= G.TrackStart + G.TrackLen) return ptArrow2;
  if (At < G.ThumbStart) return ptPage1;
  if (At >= G.ThumbStart + G.ThumbLen) return ptPage2;
  return ptThumb;
}

void Notify(TSbData* D, WORD Code, int Pos = 0) {
  HWND Parent = GetParent(D->Wnd);
  if (!Parent) return;
  SendMessageA(Parent, D->Vert() ? WM_VSCROLL : WM_HSCROLL, MAKELONG(Code, static_cast<WORD>(Pos)),
               reinterpret_cast<LPARAM>(D->Wnd));
}

int SetPos(TSbData* D, int Pos, bool Redraw) {
  int Old = D->Pos;
  D->Pos = std::clamp(Pos, D->Min, std::max(D->Min, D->MaxPos()));
  if (Redraw && D->Pos != Old) InvalidateRect(D->Wnd, nullptr, TRUE);
  return Old;
}

void Paint(TSbData* D, HDC DC) {
  RECT R;
  GetClientRect(D->Wnd, &R);
  bool V = D->Vert();
  TGeometry G = Geometry(D, D->Tracking ? D->TrackPos : D->Pos);
  auto Span = [&](int From, int Len) {
    RECT S = R;
    if (V) {
      S.top = From;
      S.bottom = From + Len;
    } else {
      S.left = From;
      S.right = From + Len;
    }
    return S;
  };
  bool On = Usable(D);
  RECT A1 = Span(0, G.Arrow), A2 = Span(G.Len - G.Arrow, G.Arrow);
  UINT Dis1 = !On || (D->Arrows & ESB_DISABLE_LTUP) ? DFCS_INACTIVE : 0;
  UINT Dis2 = !On || (D->Arrows & ESB_DISABLE_RTDN) ? DFCS_INACTIVE : 0;
  DrawFrameControl(DC, &A1, DFC_SCROLL,
                   (V ? DFCS_SCROLLUP : DFCS_SCROLLLEFT) | Dis1 | (D->Pressed == ptArrow1 ? DFCS_PUSHED : 0));
  DrawFrameControl(DC, &A2, DFC_SCROLL,
                   (V ? DFCS_SCROLLDOWN : DFCS_SCROLLRIGHT) | Dis2 | (D->Pressed == ptArrow2 ? DFCS_PUSHED : 0));
  RECT Track = Span(G.TrackStart, G.TrackLen);
  HBRUSH Back = nullptr;
  if (HWND Parent = GetParent(D->Wnd))
    Back = reinterpret_cast<HBRUSH>(SendMessageA(Parent, WM_CTLCOLORSCROLLBAR, reinterpret_cast<WPARAM>(DC),
                                                 reinterpret_cast<LPARAM>(D->Wnd)));
  if (!Back) Back = reinterpret_cast<HBRUSH>(DefWindowProcA(D->Wnd, WM_CTLCOLORSCROLLBAR, reinterpret_cast<WPARAM>(DC),
                                                            reinterpret_cast<LPARAM>(D->Wnd)));
  FillRect(DC, &Track, Back);
  if (D->Pressed == ptPage1 || D->Pressed == ptPage2) {
    RECT P = D->Pressed == ptPage1 ? Span(G.TrackStart, G.ThumbStart - G.TrackStart)
                                   : Span(G.ThumbStart + G.ThumbLen, G.TrackStart + G.TrackLen - G.ThumbStart - G.ThumbLen);
    FillRect(DC, &P, GetSysColorBrush(COLOR_3DDKSHADOW));
  }
  if (!On) return;
  RECT T = Span(G.ThumbStart, G.ThumbLen);
  FillRect(DC, &T, GetSysColorBrush(COLOR_BTNFACE));
  DrawEdge(DC, &T, EDGE_RAISED, BF_RECT);
}

// One step of the pressed area; a page step only while the pointer is still beside the thumb.
void Step(TSbData* D) {
  switch (D->Pressed) {
    case ptArrow1: Notify(D, SB_LINEUP); break;
    case ptArrow2: Notify(D, SB_LINEDOWN); break;
    case ptPage1:
    case ptPage2:
      if (AreaAt(D, D->Last) == D->Pressed) Notify(D, D->Pressed == ptPage1 ? SB_PAGEUP : SB_PAGEDOWN);
      break;
    default: break;
  }
}

int PosFromPoint(TSbData* D, POINT P) {
  TGeometry G = Geometry(D, D->Pos);
  int At = (D->Vert() ? P.y : P.x) - D->DragOffset - G.TrackStart;
  int Room = G.TrackLen - G.ThumbLen;
  if (Room <= 0) return D->Min;
  long long Span = D->MaxPos() - D->Min;
  int Pos = D->Min + static_cast<int>((static_cast<long long>(std::clamp(At, 0, Room)) * Span + Room / 2) / Room);
  return std::clamp(Pos, D->Min, std::max(D->Min, D->MaxPos()));
}

void EndTracking(TSbData* D) {
  if (D->Pressed == ptNone) return;
  KillTimer(D->Wnd, RepeatTimer);
  if (D->Tracking) {
    D->Tracking = false;
    Notify(D, SB_THUMBPOSITION, D->TrackPos);
  }
  D->Pressed = ptNone;
  Notify(D, SB_ENDSCROLL);
  InvalidateRect(D->Wnd, nullptr, TRUE);
}

LRESULT ScrollBarWndProc(HWND Wnd, UINT Msg, WPARAM WParam, LPARAM LParam) {
  TSbData* D = DataOf(Wnd);
  if (!D) {
    if (Msg == WM_NCDESTROY) return DefWindowProcA(Wnd, Msg, WParam, LParam);
    D = new TSbData;
    D->Wnd = Wnd;
    SetPropA(Wnd, SScrollBarProp, D);
  }
  switch (Msg) {
    case WM_NCDESTROY:
      KillTimer(Wnd, RepeatTimer);
      RemovePropA(Wnd, SScrollBarProp);
      delete D;
      return DefWindowProcA(Wnd, Msg, WParam, LParam);
    case WM_ERASEBKGND: return 1;
    case WM_PAINT: {
      PAINTSTRUCT PS{};
      HDC DC = WParam ? reinterpret_cast<HDC>(WParam) : BeginPaint(Wnd, &PS);
      Paint(D, DC);
      if (!WParam) EndPaint(Wnd, &PS);
      return 0;
    }
    case WM_SIZE:
    case WM_ENABLE: InvalidateRect(Wnd, nullptr, TRUE); return 0;
    case WM_GETDLGCODE: return DLGC_WANTARROWS;
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK: {
      if (!Usable(D)) return 0;
      if (GetWindowLongA(Wnd, GWL_STYLE) & WS_TABSTOP) SetFocus(Wnd);
      POINT P{GET_X_LPARAM(LParam), GET_Y_LPARAM(LParam)};
      D->Last = P;
      D->Pressed = AreaAt(D, P);
      if (D->Pressed == ptNone) return 0;
      if ((D->Pressed == ptArrow1 && (D->Arrows & ESB_DISABLE_LTUP)) ||
          (D->Pressed == ptArrow2 && (D->Arrows & ESB_DISABLE_RTDN))) {
        D->Pressed = ptNone;
        return 0;
      }
      SetCapture(Wnd);
      if (D->Pressed == ptThumb) {
        D->Tracking = true;
        D->TrackPos = D->Pos;
        D->DragOffset = (D->Vert() ? P.y : P.x) - Geometry(D, D->Pos).ThumbStart;
      } else {
        Step(D);
        SetTimer(Wnd, RepeatTimer, FirstDelay, nullptr);
      }
      InvalidateRect(Wnd, nullptr, TRUE);
      return 0;
    }
    case WM_TIMER:
      if (WParam == RepeatTimer && D->Pressed != ptNone && !D->Tracking) {
        SetTimer(Wnd, RepeatTimer, RepeatDelay, nullptr);
        Step(D);
      }
      return 0;
    case WM_MOUSEMOVE: {
      POINT P{GET_X_LPARAM(LParam), GET_Y_LPARAM(LParam)};
      D->Last = P;
      if (D->Tracking) {
        int Pos = PosFromPoint(D, P);
        if (Pos != D->TrackPos) {
          D->TrackPos = Pos;
          Notify(D, SB_THUMBTRACK, Pos);
          InvalidateRect(Wnd, nullptr, TRUE);
        }
      }
      return 0;
    }
    case WM_LBUTTONUP:
      if (GetCapture() == Wnd) ReleaseCapture();
      EndTracking(D);
      return 0;
    case WM_CAPTURECHANGED:
      if (reinterpret_cast<HWND>(LParam) != Wnd) EndTracking(D);
      return 0;
    case WM_KEYDOWN: {
      if (!Usable(D)) return 0;
      WORD Code;
      switch (WParam) {
        case VK_UP:
        case VK_LEFT: Code = SB_LINEUP; break;
        case VK_DOWN:
        case VK_RIGHT: Code = SB_LINEDOWN; break;
        case VK_PRIOR: Code = SB_PAGEUP; break;
        case VK_NEXT: Code = SB_PAGEDOWN; break;
        case VK_HOME: Code = SB_TOP; break;
        case VK_END: Code = SB_BOTTOM; break;
        default: return 0;
      }
      Notify(D, Code);
      Notify(D, SB_ENDSCROLL);
      return 0;
    }

    case SBM_SETPOS: return SetPos(D, static_cast<int>(WParam), LParam != 0);
    case SBM_GETPOS: return D->Pos;
    case SBM_SETRANGE:
    case SBM_SETRANGEREDRAW: {
      int Old = D->Pos;
      D->Min = static_cast<int>(WParam);
      D->Max = std::max(D->Min, static_cast<int>(LParam));
      SetPos(D, D->Pos, false);
      if (Msg == SBM_SETRANGEREDRAW) InvalidateRect(Wnd, nullptr, TRUE);
      return Old;
    }
    case SBM_GETRANGE:
      if (WParam) *reinterpret_cast<int*>(WParam) = D->Min;
      if (LParam) *reinterpret_cast<int*>(LParam) = D->Max;
      return 0;
    case SBM_ENABLE_ARROWS:
      D->Arrows = static_cast<UINT>(WParam) & ESB_DISABLE_BOTH;
      InvalidateRect(Wnd, nullptr, TRUE);
      return 1;
    case SBM_SETSCROLLINFO: {
      auto* SI = reinterpret_cast<const SCROLLINFO*>(LParam);
      if (!SI) return D->Pos;
      if (SI->fMask & SIF_RANGE) {
        D->Min = SI->nMin;
        D->Max = std::max(SI->nMin, SI->nMax);
      }
      if (SI->fMask & SIF_PAGE) D->Page = std::min<UINT>(SI->nPage, static_cast<UINT>(D->Max - D->Min + 1));
      SetPos(D, (SI->fMask & SIF_POS) ? SI->nPos : D->Pos, false);
      if (WParam) InvalidateRect(Wnd, nullptr, TRUE);
      return D->Pos;
    }
    case SBM_GETSCROLLINFO: {
      auto* SI = reinterpret_cast<SCROLLINFO*>(LParam);
      if (!SI) return FALSE;
      if (SI->fMask & SIF_RANGE) {
        SI->nMin = D->Min;
        SI->nMax = D->Max;
      }
      if (SI->fMask & SIF_PAGE) SI->nPage = D->Page;
      if (SI->fMask & SIF_POS) SI->nPos = D->Pos;
      if (SI->fMask & SIF_TRACKPOS) SI->nTrackPos = D->Tracking ? D->TrackPos : D->Pos;
      return TRUE;
    }
    case SBM_GETSCROLLBARINFO: {
      auto* Info = reinterpret_cast<SCROLLBARINFO*>(LParam);
      if (!Info || Info->cbSize != sizeof(SCROLLBARINFO)) return FALSE;
      TGeometry G = Geometry(D, D->Tracking ? D->TrackPos : D->Pos);
      GetWindowRect(Wnd, &Info->rcScrollBar);
      Info->dxyLineButton = G.Arrow;
      Info->xyThumbTop = G.ThumbStart;
      Info->xyThumbBottom = G.ThumbStart + G.ThumbLen;
      Info->reserved = 0;
      // States: the bar, the top/left arrow, the page area before the thumb, the thumb, the
      // page area after it, the bottom/right arrow.
      for (DWORD& State : Info->rgstate) State = 0;
      if (!IsWindowVisible(Wnd)) Info->rgstate[0] |= STATE_SYSTEM_INVISIBLE;
      if (!Usable(D)) {
        for (DWORD& State : Info->rgstate) State |= STATE_SYSTEM_UNAVAILABLE;
      } else {
        if (D->Arrows & ESB_DISABLE_LTUP) Info->rgstate[1] |= STATE_SYSTEM_UNAVAILABLE;
        if (D->Arrows & ESB_DISABLE_RTDN) Info->rgstate[5] |= STATE_SYSTEM_UNAVAILABLE;
      }
      if (D->Tracking) Info->rgstate[3] |= STATE_SYSTEM_PRESSED;
      return TRUE;
    }
  }
  return DefWindowProcA(Wnd, Msg, WParam, LParam);
}

}  // namespace

bool RegisterScrollBarClass() {
  static const bool Registered = [] {
    WNDCLASSA C{};
    C.style = CS_DBLCLKS | CS_HREDRAW | CS_VREDRAW;
    C.lpfnWndProc = ScrollBarWndProc;
    C.hCursor = LoadCursorA(nullptr, IDC_ARROW);
    C.lpszClassName = WC_SCROLLBARA;
    return RegisterClassA(&C) != 0;
  }();
  return Registered;
}
