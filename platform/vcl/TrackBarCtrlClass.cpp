#include "platform/vcl/TrackBarCtrlClass.h"

#include <algorithm>
#include <set>
#include <string>

#include "platform/gdi/Gdi.h"
#include "platform/vcl/Controls.h"

namespace {

const char STrackBarProp[] = "QvTrackBarData";
const char STipClass[] = "QvTrackBarTip";
constexpr UINT_PTR RepeatTimer = 1;
constexpr UINT FirstDelay = 400;
constexpr UINT RepeatDelay = 100;

struct TTbData {
  HWND Wnd = nullptr;
  int Min = 0;
  int Max = 100;
  int Pos = 0;
  int Line = 1;
  int Page = 20;
  bool PageSet = false;
  int Freq = 1;
  std::set<int> Tics;  // custom ticks
  int SelStart = -1;
  int SelEnd = -1;
  int ThumbLength = 20;
  HWND Tip = nullptr;
  bool OwnTip = false;  // the tip was made here (and goes with the bar)
  WPARAM TipSide = TBTS_TOP;
  bool Dragging = false;
  bool Paging = false;
  int PageDir = 0;
  int DragOffset = 0;
  POINT Last{};
  bool Focus = false;
  bool KeyDown = false;

  DWORD Style() const { return static_cast<DWORD>(GetWindowLongA(Wnd, GWL_STYLE)); }
  bool Vert() const { return (Style() & TBS_VERT) != 0; }
  void ClampPos() { Pos = std::clamp(Pos, Min, std::max(Min, Max)); }
};

TTbData* DataOf(HWND Wnd) { return static_cast<TTbData*>(GetPropA(Wnd, STrackBarProp)); }

// Geometry along the bar ("main" axis) and across it, in client coordinates.
int ThumbWidth(TTbData* D) { return std::max(5, D->ThumbLength / 2 + 1); }

RECT Client(TTbData* D) {
  RECT R;
  GetClientRect(D->Wnd, &R);
  return R;
}

// Across the bar: where the thumb starts.
int ThumbAcross(TTbData* D) {
  RECT C = Client(D);
  int Size = D->Vert() ? C.right : C.bottom;
  DWORD S = D->Style();
  if (S & TBS_BOTH) return std::max(0, (Size - D->ThumbLength) / 2);
  if (S & TBS_TOP) return std::max(0, Size - D->ThumbLength - 4);
  return 4;
}

RECT ChannelRect(TTbData* D) {
  RECT C = Client(D);
  int Inset = ThumbWidth(D) / 2 + 3;
  int Across = ThumbAcross(D) + D->ThumbLength / 2 - 2;
  int Thick = (D->Style() & TBS_ENABLESELRANGE) ? 6 : 4;
  if (D->Vert()) return RECT{Across, Inset, Across + Thick, std::max<LONG>(Inset + 1, C.bottom - Inset)};
  return RECT{Inset, Across, std::max<LONG>(Inset + 1, C.right - Inset), Across + Thick};
}

// The pixel (along the bar) of a position.
int PixelOf(TTbData* D, int Pos) {
  RECT Ch = ChannelRect(D);
  int From = D->Vert() ? Ch.top : Ch.left;
  int Len = (D->Vert() ? Ch.bottom - Ch.top : Ch.right - Ch.left) - 1;
  int Range = D->Max - D->Min;
  if (Range <= 0) return From;
  return From + static_cast<int>((static_cast<long long>(Pos - D->Min) * Len + Range / 2) / Range);
}

int PosOfPixel(TTbData* D, int Pixel) {
  RECT Ch = ChannelRect(D);
  int From = D->Vert() ? Ch.top : Ch.left;
  int Len = (D->Vert() ? Ch.bottom - Ch.top : Ch.right - Ch.left) - 1;
  int Range = D->Max - D->Min;
  if (Len <= 0 || Range <= 0) return D->Min;
  long long Off = std::clamp(Pixel - From, 0, Len);
  return D->Min + static_cast<int>((Off * Range + Len / 2) / Len);
}

RECT ThumbRect(TTbData* D) {
  int Center = PixelOf(D, D->Pos);
  int W = ThumbWidth(D);
  int Across = ThumbAcross(D);
  if (D->Vert()) return RECT{Across, Center - W / 2, Across + D->ThumbLength, Center - W / 2 + W};
  return RECT{Center - W / 2, Across, Center - W / 2 + W, Across + D->ThumbLength};
}

void Notify(TTbData* D, WORD Code, int Pos = 0) {
  HWND Parent = GetParent(D->Wnd);
  if (!Parent) return;
  SendMessageA(Parent, D->Vert() ? WM_VSCROLL : WM_HSCROLL, MAKELONG(Code, static_cast<WORD>(Pos)),
               reinterpret_cast<LPARAM>(D->Wnd));
}

void Redraw(TTbData* D) { InvalidateRect(D->Wnd, nullptr, TRUE); }

std::vector<int> TickPositions(TTbData* D) {
  std::vector<int> T;
  if (D->Style() & TBS_NOTICKS) return T;
  T.push_back(D->Min);
  if ((D->Style() & TBS_AUTOTICKS) && D->Freq > 0)
    for (long long P = static_cast<long long>(D->Min) + D->Freq; P < D->Max; P += D->Freq) T.push_back(static_cast<int>(P));
  for (int P : D->Tics)
    if (P > D->Min && P < D->Max) T.push_back(P);
  if (D->Max > D->Min) T.push_back(D->Max);
  std::sort(T.begin(), T.end());
  T.erase(std::unique(T.begin(), T.end()), T.end());
  return T;
}

// ---- The position tip ----

LRESULT TipWndProc(HWND Wnd, UINT Msg, WPARAM WParam, LPARAM LParam) {
  switch (Msg) {
    case WM_MOUSEACTIVATE: return MA_NOACTIVATE;
    case WM_NCHITTEST: return HTTRANSPARENT;
    case WM_ERASEBKGND: return 1;
    case WM_PAINT: {
      PAINTSTRUCT PS{};
      HDC DC = WParam ? reinterpret_cast<HDC>(WParam) : BeginPaint(Wnd, &PS);
      RECT R;
      GetClientRect(Wnd, &R);
      FillRect(DC, &R, GetSysColorBrush(COLOR_INFOBK));
      FrameRect(DC, &R, GetSysColorBrush(COLOR_INFOTEXT));
      char Text[32] = {};
      GetWindowTextA(Wnd, Text, sizeof Text);
      HGDIOBJ Old = SelectObject(DC, GetStockObject(DEFAULT_GUI_FONT));
      SetBkMode(DC, TRANSPARENT);
      SetTextColor(DC, GetSysColor(COLOR_INFOTEXT));
      DrawTextA(DC, Text, -1, &R, DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
      SelectObject(DC, Old);
      if (!WParam) EndPaint(Wnd, &PS);
      return 0;
    }
  }
  return DefWindowProcA(Wnd, Msg, WParam, LParam);
}

HWND CreateTip(HWND Owner) {
  static const bool Registered = [] {
    WNDCLASSA C{};
    C.lpfnWndProc = TipWndProc;
    C.hCursor = LoadCursorA(nullptr, IDC_ARROW);
    C.lpszClassName = STipClass;
    return RegisterClassA(&C) != 0;
  }();
  if (!Registered) return nullptr;
  return CreateWindowExA(WS_EX_TOOLWINDOW | WS_EX_TOPMOST | WS_EX_NOACTIVATE, STipClass, "", WS_POPUP, 0, 0, 0, 0,
                         Owner, nullptr, nullptr, nullptr);
}

// The tip of a TBS_TOOLTIPS bar, made when first needed.
HWND TipOf(TTbData* D) {
  if (!D->Tip && (D->Style() & TBS_TOOLTIPS)) {
    D->Tip = CreateTip(GetAncestor(D->Wnd, GA_ROOT));
    D->OwnTip = D->Tip != nullptr;
  }
  return D->Tip;
}

// The tip's text: the position, unless the bar's window procedure answers the tip's text
// request (TTN_NEEDTEXTW) with a text of its own.
String TipText(TTbData* D) {
  String Text = std::to_string(D->Pos);
  NMTTDISPINFOW Info;
  Info.hdr.hwndFrom = D->Tip;
  Info.hdr.idFrom = reinterpret_cast<UINT_PTR>(D->Wnd);
  Info.hdr.code = TTN_NEEDTEXTW;
  for (size_t I = 0; I < Text.size(); ++I) Info.szText[I] = static_cast<char16_t>(Text[I]);
  Info.lpszText = Info.szText;
  SendMessageA(D->Wnd, WM_NOTIFY, Info.hdr.idFrom, reinterpret_cast<LPARAM>(&Info));
  if (!IsWindow(D->Wnd)) return Text;
  const char16_t* W = Info.lpszText ? Info.lpszText : Info.szText;
  // Wide text to UTF-8 (surrogate pairs joined; a lone surrogate becomes U+FFFD).
  String Out;
  for (size_t I = 0; W[I] && I < 4096; ++I) {
    char32_t C = W[I];
    if (C >= 0xD800 && C <= 0xDBFF && W[I + 1] >= 0xDC00 && W[I + 1] <= 0xDFFF) {
      C = 0x10000 + ((C - 0xD800) << 10) + (W[I + 1] - 0xDC00);
      ++I;
    } else if (C >= 0xD800 && C <= 0xDFFF) {
      C = 0xFFFD;
    }
    if (C < 0x80) {
      Out += static_cast<char>(C);
    } else if (C < 0x800) {
      Out += static_cast<char>(0xC0 | (C >> 6));
      Out += static_cast<char>(0x80 | (C & 0x3F));
    } else if (C < 0x10000) {
      Out += static_cast<char>(0xE0 | (C >> 12));
      Out += static_cast<char>(0x80 | ((C >> 6) & 0x3F));
      Out += static_cast<char>(0x80 | (C & 0x3F));
    } else {
      Out += static_cast<char>(0xF0 | (C >> 18));
      Out += static_cast<char>(0x80 | ((C >> 12) & 0x3F));
      Out += static_cast<char>(0x80 | ((C >> 6) & 0x3F));
      Out += static_cast<char>(0x80 | (C & 0x3F));
    }
  }
  return Out;
}

void ShowTip(TTbData* D) {
  if (!TipOf(D) || !IsWindow(D->Tip)) return;
  String Text = TipText(D);
  if (!IsWindow(D->Tip)) return;
  SetWindowTextA(D->Tip, Text.c_str());
  HDC DC = GetDC(D->Tip);
  HGDIOBJ Old = SelectObject(DC, GetStockObject(DEFAULT_GUI_FONT));
  SIZE Size{};
  GetTextExtentPoint32A(DC, Text.c_str(), static_cast<int>(Text.size()), &Size);
  SelectObject(DC, Old);
  ReleaseDC(D->Tip, DC);
  int W = Size.cx + 8, H = Size.cy + 4;
  RECT T = ThumbRect(D);
  RECT C = Client(D);
  POINT P{};
  switch (D->TipSide) {
    case TBTS_TOP: P = {(T.left + T.right - W) / 2, C.top - H - 2}; break;
    case TBTS_BOTTOM: P = {(T.left + T.right - W) / 2, C.bottom + 2}; break;
    case TBTS_LEFT: P = {C.left - W - 2, (T.top + T.bottom - H) / 2}; break;
    default: P = {C.right + 2, (T.top + T.bottom - H) / 2}; break;
  }
  ClientToScreen(D->Wnd, &P);
  SetWindowPos(D->Tip, HWND_TOPMOST, P.x, P.y, W, H, SWP_NOACTIVATE | SWP_SHOWWINDOW);
  InvalidateRect(D->Tip, nullptr, TRUE);
}

void HideTip(TTbData* D) {
  if (D->Tip && IsWindow(D->Tip)) ShowWindow(D->Tip, SW_HIDE);
}

// ---- Painting ----

void Paint(TTbData* D, HDC DC) {
  RECT C = Client(D);
  HBRUSH Back = nullptr;
  if (HWND Parent = GetParent(D->Wnd))
    Back = reinterpret_cast<HBRUSH>(SendMessageA(Parent, WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(DC),
                                                 reinterpret_cast<LPARAM>(D->Wnd)));
  FillRect(DC, &C, Back ? Back : GetSysColorBrush(COLOR_BTNFACE));
  RECT Ch = ChannelRect(D);
  DrawEdge(DC, &Ch, EDGE_SUNKEN, BF_RECT);
  RECT In = Ch;
  InflateRect(&In, -2, -2);
  FillRect(DC, &In, GetSysColorBrush(COLOR_WINDOW));
  if ((D->Style() & TBS_ENABLESELRANGE) && D->SelStart >= 0 && D->SelEnd > D->SelStart) {
    int A = PixelOf(D, std::max(D->SelStart, D->Min)), B = PixelOf(D, std::min(D->SelEnd, D->Max));
    RECT S = In;
    if (D->Vert()) {
      S.top = A;
      S.bottom = B + 1;
    } else {
      S.left = A;
      S.right = B + 1;
    }
    FillRect(DC, &S, GetSysColorBrush(COLOR_HIGHLIGHT));
  }
  // Ticks on the sides the style asks for.
  DWORD S = D->Style();
  HBRUSH Ink = GetSysColorBrush(COLOR_BTNTEXT);
  int Across = ThumbAcross(D);
  bool Before = (S & TBS_BOTH) || (S & TBS_TOP), After = (S & TBS_BOTH) || !(S & TBS_TOP);
  for (int P : TickPositions(D)) {
    int X = PixelOf(D, P);
    int Len = (P == D->Min || P == D->Max) ? 4 : 3;
    if (Before) {
      RECT T = D->Vert() ? RECT{Across - 2 - Len, X, Across - 2, X + 1} : RECT{X, Across - 2 - Len, X + 1, Across - 2};
      FillRect(DC, &T, Ink);
    }
    if (After) {
      int E = Across + D->ThumbLength + 2;
      RECT T = D->Vert() ? RECT{E, X, E + Len, X + 1} : RECT{X, E, X + 1, E + Len};
      FillRect(DC, &T, Ink);
    }
  }
  if (!(S & TBS_NOTHUMB)) {
    RECT T = ThumbRect(D);
    FillRect(DC, &T, GetSysColorBrush(D->Dragging ? COLOR_3DHIGHLIGHT : COLOR_BTNFACE));
    DrawEdge(DC, &T, EDGE_RAISED, BF_RECT);
  }
  if (D->Focus) DrawFocusRect(DC, &C);
}

// ---- Input ----

void MoveBy(TTbData* D, WORD Code) {
  int Old = D->Pos;
  switch (Code) {
    case TB_LINEUP: D->Pos -= D->Line; break;
    case TB_LINEDOWN: D->Pos += D->Line; break;
    case TB_PAGEUP: D->Pos -= D->Page; break;
    case TB_PAGEDOWN: D->Pos += D->Page; break;
    case TB_TOP: D->Pos = D->Min; break;
    case TB_BOTTOM: D->Pos = D->Max; break;
  }
  D->ClampPos();
  if (D->Pos != Old) Redraw(D);
  Notify(D, Code);
}

void PageStep(TTbData* D) {
  int At = D->Vert() ? D->Last.y : D->Last.x;
  int Target = PosOfPixel(D, At);
  // Stops once the thumb reaches the pointer.
  if (D->PageDir < 0 && D->Pos > Target) {
    MoveBy(D, TB_PAGEUP);
    if (D->Pos < Target) {
      D->Pos = Target;
      Redraw(D);
    }
  } else if (D->PageDir > 0 && D->Pos < Target) {
    MoveBy(D, TB_PAGEDOWN);
    if (D->Pos > Target) {
      D->Pos = Target;
      Redraw(D);
    }
  }
}

void EndMouse(TTbData* D) {
  if (!D->Dragging && !D->Paging) return;
  KillTimer(D->Wnd, RepeatTimer);
  if (D->Dragging) {
    D->Dragging = false;
    HideTip(D);
    Notify(D, TB_THUMBPOSITION, D->Pos);
  }
  D->Paging = false;
  Redraw(D);
  Notify(D, TB_ENDTRACK);
}

LRESULT TrackBarWndProc(HWND Wnd, UINT Msg, WPARAM WParam, LPARAM LParam) {
  TTbData* D = DataOf(Wnd);
  if (!D) {
    if (Msg == WM_NCDESTROY) return DefWindowProcA(Wnd, Msg, WParam, LParam);
    D = new TTbData;
    D->Wnd = Wnd;
    D->TipSide = D->Vert() ? TBTS_LEFT : TBTS_TOP;
    SetPropA(Wnd, STrackBarProp, D);
  }
  switch (Msg) {
    case WM_DESTROY:
      if (D->OwnTip && IsWindow(D->Tip)) DestroyWindow(D->Tip);
      D->Tip = nullptr;
      return DefWindowProcA(Wnd, Msg, WParam, LParam);
    case WM_NCDESTROY:
      KillTimer(Wnd, RepeatTimer);
      RemovePropA(Wnd, STrackBarProp);
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
    case WM_ENABLE: Redraw(D); return 0;
    case WM_SETFOCUS:
    case WM_KILLFOCUS:
      D->Focus = Msg == WM_SETFOCUS;
      Redraw(D);
      return 0;
    case WM_GETDLGCODE: return DLGC_WANTARROWS;
    case WM_NOTIFY: return 0;  // the tip's text request, unanswered: the position shows
    case WM_KEYDOWN: {
      WORD Code;
      switch (WParam) {
        case VK_LEFT:
        case VK_UP: Code = TB_LINEUP; break;
        case VK_RIGHT:
        case VK_DOWN: Code = TB_LINEDOWN; break;
        case VK_PRIOR: Code = TB_PAGEUP; break;
        case VK_NEXT: Code = TB_PAGEDOWN; break;
        case VK_HOME: Code = TB_TOP; break;
        case VK_END: Code = TB_BOTTOM; break;
        default: return 0;
      }
      D->KeyDown = true;
      MoveBy(D, Code);
      return 0;
    }
    case WM_KEYUP:
      if (D->KeyDown) {
        D->KeyDown = false;
        Notify(D, TB_ENDTRACK);
      }
      return 0;
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK: {
      if (!IsWindowEnabled(Wnd)) return 0;
      SetFocus(Wnd);
      POINT P{GET_X_LPARAM(LParam), GET_Y_LPARAM(LParam)};
      D->Last = P;
      RECT T = ThumbRect(D);
      SetCapture(Wnd);
      if (PtInRect(&T, P) && !(D->Style() & TBS_NOTHUMB)) {
        D->Dragging = true;
        int Center = PixelOf(D, D->Pos);
        D->DragOffset = (D->Vert() ? P.y : P.x) - Center;
        ShowTip(D);
        Redraw(D);
      } else {
        D->Paging = true;
        int At = D->Vert() ? P.y : P.x;
        D->PageDir = At < PixelOf(D, D->Pos) ? -1 : 1;
        PageStep(D);
        SetTimer(Wnd, RepeatTimer, FirstDelay, nullptr);
      }
      return 0;
    }
    case WM_MOUSEMOVE: {
      POINT P{GET_X_LPARAM(LParam), GET_Y_LPARAM(LParam)};
      D->Last = P;
      if (D->Dragging) {
        int Pos = PosOfPixel(D, (D->Vert() ? P.y : P.x) - D->DragOffset);
        if (Pos != D->Pos) {
          D->Pos = Pos;
          Redraw(D);
          ShowTip(D);
          Notify(D, TB_THUMBTRACK, Pos);
        }
      }
      return 0;
    }
    case WM_TIMER:
      if (WParam == RepeatTimer && D->Paging) {
        SetTimer(Wnd, RepeatTimer, RepeatDelay, nullptr);
        PageStep(D);
      }
      return 0;
    case WM_LBUTTONUP:
      if (GetCapture() == Wnd) ReleaseCapture();
      EndMouse(D);
      return 0;
    case WM_CAPTURECHANGED:
      if (reinterpret_cast<HWND>(LParam) != Wnd) EndMouse(D);
      return 0;

    case TBM_GETPOS: return D->Pos;
    case TBM_GETRANGEMIN: return D->Min;
    case TBM_GETRANGEMAX: return D->Max;
    case TBM_SETPOS:
      D->Pos = static_cast<int>(LParam);
      D->ClampPos();
      if (WParam) Redraw(D);
      return 0;
    case TBM_SETRANGE:
    case TBM_SETRANGEMIN:
    case TBM_SETRANGEMAX:
      if (Msg == TBM_SETRANGE) {
        D->Min = static_cast<short>(LOWORD(LParam));
        D->Max = static_cast<short>(HIWORD(LParam));
      } else if (Msg == TBM_SETRANGEMIN) {
        D->Min = static_cast<int>(LParam);
      } else {
        D->Max = static_cast<int>(LParam);
      }
      if (D->Max < D->Min) D->Max = D->Min;
      if (!D->PageSet) D->Page = std::max(1, (D->Max - D->Min) / 5);
      D->ClampPos();
      if (WParam) Redraw(D);
      return 0;
    case TBM_GETTIC: {
      auto T = TickPositions(D);
      int I = static_cast<int>(WParam) + 1;  // interior ticks are numbered from 0
      if (I <= 0 || I >= static_cast<int>(T.size()) - 1) return -1;
      return T[static_cast<size_t>(I)];
    }
    case TBM_GETTICPOS: {
      auto T = TickPositions(D);
      int I = static_cast<int>(WParam) + 1;
      if (I <= 0 || I >= static_cast<int>(T.size()) - 1) return -1;
      return PixelOf(D, T[static_cast<size_t>(I)]);
    }
    case TBM_SETTIC: {
      int P = static_cast<int>(LParam);
      if (P <= D->Min || P >= D->Max) return FALSE;
      D->Tics.insert(P);
      Redraw(D);
      return TRUE;
    }
    case TBM_CLEARTICS:
      D->Tics.clear();
      if (WParam) Redraw(D);
      return 0;
    case TBM_GETNUMTICS: return static_cast<LRESULT>(TickPositions(D).size());
    case TBM_GETPTICS: return 0;
    case TBM_SETTICFREQ:
      D->Freq = std::max(1, static_cast<int>(WParam));
      Redraw(D);
      return 0;
    case TBM_SETSEL:
      D->SelStart = static_cast<short>(LOWORD(LParam));
      D->SelEnd = static_cast<short>(HIWORD(LParam));
      if (WParam) Redraw(D);
      return 0;
    case TBM_SETSELSTART:
      D->SelStart = static_cast<int>(LParam);
      if (WParam) Redraw(D);
      return 0;
    case TBM_SETSELEND:
      D->SelEnd = static_cast<int>(LParam);
      if (WParam) Redraw(D);
      return 0;
    case TBM_GETSELSTART: return D->SelStart;
    case TBM_GETSELEND: return D->SelEnd;
    case TBM_CLEARSEL:
      D->SelStart = D->SelEnd = -1;
      if (WParam) Redraw(D);
      return 0;
    case TBM_SETPAGESIZE: {
      int Old = D->Page;
      D->Page = static_cast<int>(LParam);
      D->PageSet = true;
      return Old;
    }
    case TBM_GETPAGESIZE: return D->Page;
    case TBM_SETLINESIZE: {
      int Old = D->Line;
      D->Line = static_cast<int>(LParam);
      return Old;
    }
    case TBM_GETLINESIZE: return D->Line;
    case TBM_GETTHUMBRECT:
      if (LParam) *reinterpret_cast<RECT*>(LParam) = ThumbRect(D);
      return 0;
    case TBM_GETCHANNELRECT:
      if (LParam) *reinterpret_cast<RECT*>(LParam) = ChannelRect(D);
      return 0;
    case TBM_SETTHUMBLENGTH:
      D->ThumbLength = std::max(4, static_cast<int>(WParam));
      Redraw(D);
      return 0;
    case TBM_GETTHUMBLENGTH: return D->ThumbLength;
    case TBM_SETTOOLTIPS:
      if (D->OwnTip && IsWindow(D->Tip) && D->Tip != reinterpret_cast<HWND>(WParam)) DestroyWindow(D->Tip);
      D->Tip = reinterpret_cast<HWND>(WParam);
      D->OwnTip = false;
      return 0;
    case TBM_GETTOOLTIPS: return reinterpret_cast<LRESULT>(TipOf(D));
    case TBM_SETTIPSIDE: {
      WPARAM Old = D->TipSide;
      if (WParam <= TBTS_RIGHT) D->TipSide = WParam;
      return static_cast<LRESULT>(Old);
    }
  }
  return DefWindowProcA(Wnd, Msg, WParam, LParam);
}

}  // namespace

bool RegisterTrackBarClass() {
  static const bool Registered = [] {
    WNDCLASSA C{};
    C.style = CS_DBLCLKS | CS_HREDRAW | CS_VREDRAW;
    C.lpfnWndProc = TrackBarWndProc;
    C.hCursor = LoadCursorA(nullptr, IDC_ARROW);
    C.lpszClassName = TRACKBAR_CLASSA;
    return RegisterClassA(&C) != 0;
  }();
  return Registered;
}
