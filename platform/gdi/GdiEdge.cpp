// The classic 3-D look: DrawEdge, DrawFocusRect and DrawFrameControl, in the system colours.
#include <algorithm>

#include "platform/gdi/DeviceContext.h"
#include "platform/gdi/GdiInternal.h"

using namespace GdiInternal;

namespace {

COLORREF Sys(int Index) { return GetSysColor(Index); }

// Fills a rectangle given in logical units with a system colour (no mix mode, alpha 0).
void Fill(TDeviceContext& D, const RECT& Logical, COLORREF Color)
{
  if (Logical.right <= Logical.left || Logical.bottom <= Logical.top)
    return;
  D.FillDeviceRect(D.LPtoDevice(Logical), Color);
}

void Pixel(TDeviceContext& D, int X, int Y, COLORREF Color) { Fill(D, RECT{X, Y, X + 1, Y + 1}, Color); }

struct TEdgeColors {
  COLORREF TopLeft, BottomRight;
};

// Draws one ring of an edge and shrinks R by it on the flagged sides.
void Ring(TDeviceContext& D, RECT& R, UINT Flags, TEdgeColors C)
{
  if (Flags & BF_LEFT)
    Fill(D, RECT{R.left, R.top, R.left + 1, R.bottom}, C.TopLeft);
  if (Flags & BF_TOP)
    Fill(D, RECT{R.left, R.top, R.right, R.top + 1}, C.TopLeft);
  if (Flags & BF_RIGHT)
    Fill(D, RECT{R.right - 1, R.top, R.right, R.bottom}, C.BottomRight);
  if (Flags & BF_BOTTOM)
    Fill(D, RECT{R.left, R.bottom - 1, R.right, R.bottom}, C.BottomRight);
  if (Flags & BF_LEFT)
    ++R.left;
  if (Flags & BF_TOP)
    ++R.top;
  if (Flags & BF_RIGHT)
    --R.right;
  if (Flags & BF_BOTTOM)
    --R.bottom;
}

void EdgeColors(UINT Edge, UINT Flags, bool& HasOuter, TEdgeColors& Outer, bool& HasInner, TEdgeColors& Inner)
{
  bool Soft = Flags & BF_SOFT;
  HasOuter = Edge & BDR_OUTER;
  HasInner = Edge & BDR_INNER;
  if (Flags & BF_MONO) {
    Outer = {Sys(COLOR_WINDOWFRAME), Sys(COLOR_WINDOWFRAME)};
    Inner = {Sys(COLOR_WINDOW), Sys(COLOR_WINDOW)};
    return;
  }
  if (Flags & BF_FLAT) {
    Outer = {Sys(COLOR_BTNSHADOW), Sys(COLOR_BTNSHADOW)};
    Inner = {Sys(COLOR_BTNFACE), Sys(COLOR_BTNFACE)};
    return;
  }
  if (Edge & BDR_RAISEDOUTER)
    Outer = {Sys(Soft ? COLOR_BTNHIGHLIGHT : COLOR_3DLIGHT), Sys(COLOR_3DDKSHADOW)};
  else
    Outer = {Sys(Soft ? COLOR_3DDKSHADOW : COLOR_BTNSHADOW), Sys(COLOR_BTNHIGHLIGHT)};
  if (Edge & BDR_RAISEDINNER)
    Inner = {Sys(Soft ? COLOR_3DLIGHT : COLOR_BTNHIGHLIGHT), Sys(COLOR_BTNSHADOW)};
  else
    Inner = {Sys(Soft ? COLOR_BTNSHADOW : COLOR_3DDKSHADOW), Sys(COLOR_3DLIGHT)};
}

// A one-pixel diagonal from (X0, Y0) towards (X1, Y1), both ends included.
void Diagonal(TDeviceContext& D, int X0, int Y0, int X1, int Y1, COLORREF Color)
{
  int N = std::max(std::abs(X1 - X0), std::abs(Y1 - Y0));
  for (int I = 0; I <= N; ++I) {
    int X = N ? X0 + (X1 - X0) * I / N : X0;
    int Y = N ? Y0 + (Y1 - Y0) * I / N : Y0;
    Pixel(D, X, Y, Color);
  }
}

BOOL DiagonalEdge(TDeviceContext& D, RECT* Rc, UINT Edge, UINT Flags)
{
  bool HasOuter, HasInner;
  TEdgeColors Outer, Inner;
  EdgeColors(Edge, Flags, HasOuter, Outer, HasInner, Inner);
  RECT R = *Rc;
  int W = R.right - R.left, H = R.bottom - R.top;
  int N = std::min(W, H);
  if (N <= 0)
    return TRUE;
  // The line runs between the two corners that the flags name; lines rising to the right
  // use the top-left colours, falling ones the bottom-right colours.
  UINT Corner = Flags & BF_RECT;
  bool Rising = Corner == BF_DIAGONAL_ENDTOPRIGHT - BF_DIAGONAL || Corner == BF_DIAGONAL_ENDBOTTOMLEFT - BF_DIAGONAL;
  int Layer = 0;
  for (int Pass = 0; Pass < 2; ++Pass) {
    bool Has = Pass == 0 ? HasOuter : HasInner;
    if (!Has)
      continue;
    TEdgeColors C = Pass == 0 ? Outer : Inner;
    COLORREF Color = Rising ? C.TopLeft : C.BottomRight;
    if (Rising)
      Diagonal(D, R.left + Layer, R.top + N - 1, R.left + N - 1, R.top + Layer, Color);
    else
      Diagonal(D, R.left + Layer, R.top, R.left + N - 1, R.top + N - 1 - Layer, Color);
    ++Layer;
  }
  if (Flags & BF_MIDDLE) {
    POINT Tri[3];
    if (Rising) {
      Tri[0] = D.LPtoDevice(POINT{R.left, R.top});
      Tri[1] = D.LPtoDevice(POINT{R.left + N - Layer, R.top});
      Tri[2] = D.LPtoDevice(POINT{R.left, R.top + N - Layer});
    } else {
      Tri[0] = D.LPtoDevice(POINT{R.left + Layer, R.top + N});
      Tri[1] = D.LPtoDevice(POINT{R.left + N, R.top + N});
      Tri[2] = D.LPtoDevice(POINT{R.left + N, R.top + Layer});
    }
    int Three = 3;
    PaintSpansColor(D, PolygonSpans(Tri, &Three, 1, ALTERNATE), Sys((Flags & (BF_MONO | BF_FLAT)) ? COLOR_WINDOW : COLOR_BTNFACE),
                    false);
  }
  if (Flags & BF_ADJUST) {
    if (Flags & BF_LEFT)
      Rc->left += Layer;
    if (Flags & BF_TOP)
      Rc->top += Layer;
    if (Flags & BF_RIGHT)
      Rc->right -= Layer;
    if (Flags & BF_BOTTOM)
      Rc->bottom -= Layer;
  }
  return TRUE;
}

BOOL Edge(TDeviceContext& D, RECT* Rc, UINT Edge, UINT Flags)
{
  if (Flags & BF_DIAGONAL)
    return DiagonalEdge(D, Rc, Edge, Flags);
  bool HasOuter, HasInner;
  TEdgeColors Outer, Inner;
  EdgeColors(Edge, Flags, HasOuter, Outer, HasInner, Inner);
  RECT R = *Rc;
  if (HasOuter)
    Ring(D, R, Flags, Outer);
  if (HasInner)
    Ring(D, R, Flags, Inner);
  if (Flags & BF_MIDDLE)
    Fill(D, R, Sys((Flags & (BF_MONO | BF_FLAT)) ? COLOR_WINDOW : COLOR_BTNFACE));
  if (Flags & BF_ADJUST)
    *Rc = R;
  return TRUE;
}

// A checkerboard of two colours (the "checked" look of pushed buttons and tri-state boxes).
void Dither(TDeviceContext& D, const RECT& R, COLORREF A, COLORREF B)
{
  for (int Y = R.top; Y < R.bottom; ++Y)
    for (int X = R.left; X < R.right; ++X)
      Pixel(D, X, Y, ((X + Y) & 1) ? B : A);
}

RECT CenteredSquare(const RECT& R, int Size)
{
  int W = R.right - R.left, H = R.bottom - R.top;
  int S = std::min({W, H, Size});
  int X = R.left + (W - S) / 2, Y = R.top + (H - S) / 2;
  return RECT{X, Y, X + S, Y + S};
}

void CheckMark(TDeviceContext& D, int X, int Y, COLORREF Color)
{
  // Seven columns of three pixels: down for three columns, then up.
  static const int Top[7] = {2, 3, 4, 3, 2, 1, 0};
  for (int C = 0; C < 7; ++C)
    Fill(D, RECT{X + C, Y + Top[C], X + C + 1, Y + Top[C] + 3}, Color);
}

BOOL CheckBox(TDeviceContext& D, RECT* Rc, UINT State)
{
  RECT Box = CenteredSquare(*Rc, 13);
  if (State & DFCS_FLAT)
    Edge(D, &Box, BDR_SUNKENOUTER, BF_RECT | BF_FLAT | BF_ADJUST);
  else if (State & DFCS_MONO)
    Edge(D, &Box, BDR_SUNKENOUTER, BF_RECT | BF_MONO | BF_ADJUST);
  else
    Edge(D, &Box, EDGE_SUNKEN, BF_RECT | BF_ADJUST);
  bool ThreeState = (State & 0x1F) == DFCS_BUTTON3STATE;
  bool Grey = (State & (DFCS_PUSHED | DFCS_INACTIVE)) != 0;
  if (ThreeState && (State & DFCS_CHECKED))
    Dither(D, Box, Sys(COLOR_BTNHIGHLIGHT), Sys(COLOR_BTNFACE));
  else
    Fill(D, Box, Sys(Grey ? COLOR_BTNFACE : COLOR_WINDOW));
  if (State & DFCS_CHECKED) {
    COLORREF Mark = Sys((State & DFCS_INACTIVE) || ThreeState ? COLOR_BTNSHADOW : COLOR_WINDOWTEXT);
    int Inner = Box.right - Box.left;
    CheckMark(D, Box.left + (Inner - 7) / 2, Box.top + (Inner - 7) / 2, Mark);
  }
  return TRUE;
}

BOOL RadioButton(TDeviceContext& D, RECT* Rc, UINT State)
{
  RECT Box = CenteredSquare(*Rc, 12);
  RECT Dev = D.LPtoDevice(Box);
  TRowShape Outer = EllipseShape(Dev);
  TRowShape Second = ShapeInterior(Outer);
  TRowShape Third = ShapeInterior(Second);
  double Cx = (Dev.left + Dev.right) / 2.0, Cy = (Dev.top + Dev.bottom) / 2.0;
  auto Ring = [&](const TRowShape& A, const TRowShape& B, COLORREF TopLeft, COLORREF BottomRight) {
    for (const TSpan& S : ShapeDifference(A, B))
      for (int X = S.X0; X < S.X1; ++X) {
        bool Upper = (X + 0.5 - Cx) + (S.Y + 0.5 - Cy) < 0;
        D.FillDeviceRect(RECT{X, S.Y, X + 1, S.Y + 1}, Upper ? TopLeft : BottomRight);
      }
  };
  bool Mono = State & (DFCS_MONO | DFCS_FLAT);
  if (Mono) {
    Ring(Outer, Second, Sys(COLOR_WINDOWFRAME), Sys(COLOR_WINDOWFRAME));
    Ring(Second, Third, Sys(COLOR_WINDOW), Sys(COLOR_WINDOW));
  } else {
    Ring(Outer, Second, Sys(COLOR_BTNSHADOW), Sys(COLOR_BTNHIGHLIGHT));
    Ring(Second, Third, Sys(COLOR_3DDKSHADOW), Sys(COLOR_3DLIGHT));
  }
  COLORREF Face = Sys((State & (DFCS_PUSHED | DFCS_INACTIVE)) ? COLOR_BTNFACE : COLOR_WINDOW);
  for (const TSpan& S : ShapeSpans(Third))
    D.FillDeviceRect(RECT{S.X0, S.Y, S.X1, S.Y + 1}, Face);
  if (State & DFCS_CHECKED) {
    int Size = std::max(2, (Dev.right - Dev.left) / 3);
    int X = static_cast<int>(Cx) - Size / 2, Y = static_cast<int>(Cy) - Size / 2;
    for (const TSpan& S : ShapeSpans(EllipseShape(RECT{X, Y, X + Size, Y + Size})))
      D.FillDeviceRect(RECT{S.X0, S.Y, S.X1, S.Y + 1}, Sys((State & DFCS_INACTIVE) ? COLOR_BTNSHADOW : COLOR_WINDOWTEXT));
  }
  return TRUE;
}

BOOL PushButton(TDeviceContext& D, RECT* Rc, UINT State)
{
  RECT R = *Rc;
  UINT Flags = BF_RECT | BF_MIDDLE | BF_ADJUST;
  if (State & DFCS_FLAT)
    Flags |= BF_FLAT;
  else if (State & DFCS_MONO)
    Flags |= BF_MONO;
  else
    Flags |= BF_SOFT;
  bool Down = State & (DFCS_PUSHED | DFCS_CHECKED);
  Edge(D, &R, Down ? EDGE_SUNKEN : EDGE_RAISED, Flags);
  if ((State & DFCS_CHECKED) && !(State & DFCS_PUSHED))
    Dither(D, R, Sys(COLOR_BTNHIGHLIGHT), Sys(COLOR_BTNFACE));
  if (State & DFCS_ADJUSTRECT)
    *Rc = R;
  return TRUE;
}

// The glyph colour of a frame control, and its disabled look (a highlight copy one pixel down
// and right under a shadow-coloured glyph).
template <class F>
void Glyph(UINT State, F Draw)
{
  int Shift = (State & DFCS_PUSHED) ? 1 : 0;
  if (State & DFCS_INACTIVE) {
    Draw(Shift + 1, Sys(COLOR_BTNHIGHLIGHT));
    Draw(Shift, Sys(COLOR_BTNSHADOW));
  } else {
    Draw(Shift, Sys(COLOR_BTNTEXT));
  }
}

BOOL Button(TDeviceContext& D, RECT* Rc, UINT State, bool Scroll)
{
  RECT R = *Rc;
  UINT Flags = BF_RECT | BF_MIDDLE | BF_ADJUST;
  if (State & DFCS_FLAT)
    Flags |= BF_FLAT;
  else if (State & DFCS_MONO)
    Flags |= BF_MONO;
  if ((State & DFCS_PUSHED) && Scroll)
    Edge(D, &R, BDR_SUNKENOUTER, Flags | BF_FLAT);
  else
    Edge(D, &R, (State & DFCS_PUSHED) ? EDGE_SUNKEN : EDGE_RAISED, Flags);
  return TRUE;
}

BOOL ScrollControl(TDeviceContext& D, RECT* Rc, UINT State)
{
  UINT Kind = State & 0xFF;
  if (Kind == DFCS_SCROLLSIZEGRIP || Kind == DFCS_SCROLLSIZEGRIPRIGHT) {
    Fill(D, *Rc, Sys(COLOR_BTNFACE));
    RECT R = *Rc;
    int N = std::min(R.right - R.left, R.bottom - R.top);
    for (int K = 0; K + 3 < N; K += 4) {
      Diagonal(D, R.right - 1, R.bottom - N + K + 1, R.right - N + K + 1, R.bottom - 1, Sys(COLOR_BTNHIGHLIGHT));
      Diagonal(D, R.right - 1, R.bottom - N + K + 2, R.right - N + K + 2, R.bottom - 1, Sys(COLOR_BTNSHADOW));
      Diagonal(D, R.right - 1, R.bottom - N + K + 3, R.right - N + K + 3, R.bottom - 1, Sys(COLOR_BTNSHADOW));
    }
    return TRUE;
  }
  Button(D, Rc, State, true);
  RECT R = *Rc;
  int W = R.right - R.left, H = R.bottom - R.top;
  int Half = std::max(1, (std::min(W, H) - 4) / 4);
  int Cx = R.left + W / 2, Cy = R.top + H / 2;
  UINT Dir = Kind == DFCS_SCROLLCOMBOBOX ? DFCS_SCROLLDOWN : Kind;
  Glyph(State, [&](int S, COLORREF Color) {
    // A triangle of Half + 1 rows, the widest row 2 * Half + 1 pixels.
    for (int I = 0; I <= Half; ++I) {
      int Len = I; // half-length of row I, counted from the tip
      switch (Dir) {
      case DFCS_SCROLLUP:
        Fill(D, RECT{Cx - Len + S, Cy - Half / 2 + I + S, Cx + Len + 1 + S, Cy - Half / 2 + I + 1 + S}, Color);
        break;
      case DFCS_SCROLLDOWN:
        Fill(D, RECT{Cx - Len + S, Cy + Half / 2 - I + S, Cx + Len + 1 + S, Cy + Half / 2 - I + 1 + S}, Color);
        break;
      case DFCS_SCROLLLEFT:
        Fill(D, RECT{Cx - Half / 2 + I + S, Cy - Len + S, Cx - Half / 2 + I + 1 + S, Cy + Len + 1 + S}, Color);
        break;
      default:
        Fill(D, RECT{Cx + Half / 2 - I + S, Cy - Len + S, Cx + Half / 2 - I + 1 + S, Cy + Len + 1 + S}, Color);
        break;
      }
    }
  });
  return TRUE;
}

BOOL CaptionControl(TDeviceContext& D, RECT* Rc, UINT State)
{
  Button(D, Rc, State, false);
  RECT R = *Rc;
  int W = R.right - R.left, H = R.bottom - R.top;
  int G = std::max(3, std::min(W, H) / 2);
  int X0 = R.left + (W - G) / 2, Y0 = R.top + (H - G) / 2;
  UINT Kind = State & 0xFF;
  Glyph(State, [&](int S, COLORREF Color) {
    int X = X0 + S, Y = Y0 + S;
    switch (Kind) {
    case DFCS_CAPTIONCLOSE:
      for (int I = 0; I < G; ++I) {
        Fill(D, RECT{X + I, Y + I, X + I + 2, Y + I + 1}, Color);
        Fill(D, RECT{X + G - 1 - I, Y + I, X + G + 1 - I, Y + I + 1}, Color);
      }
      break;
    case DFCS_CAPTIONMIN:
      Fill(D, RECT{X, Y + G - 2, X + G, Y + G}, Color);
      break;
    case DFCS_CAPTIONMAX:
      Fill(D, RECT{X, Y, X + G, Y + 2}, Color);
      Fill(D, RECT{X, Y, X + 1, Y + G}, Color);
      Fill(D, RECT{X + G - 1, Y, X + G, Y + G}, Color);
      Fill(D, RECT{X, Y + G - 1, X + G, Y + G}, Color);
      break;
    case DFCS_CAPTIONRESTORE: {
      int B = std::max(3, G * 2 / 3);
      // Back window (upper right), then the front window (lower left) over it.
      int Bx = X + G - B, By = Y;
      Fill(D, RECT{Bx, By, Bx + B, By + 2}, Color);
      Fill(D, RECT{Bx + B - 1, By, Bx + B, By + B}, Color);
      int Fx = X, Fy = Y + G - B;
      Fill(D, RECT{Fx, Fy, Fx + B, Fy + B}, Sys(COLOR_BTNFACE));
      Fill(D, RECT{Fx, Fy, Fx + B, Fy + 2}, Color);
      Fill(D, RECT{Fx, Fy, Fx + 1, Fy + B}, Color);
      Fill(D, RECT{Fx + B - 1, Fy, Fx + B, Fy + B}, Color);
      Fill(D, RECT{Fx, Fy + B - 1, Fx + B, Fy + B}, Color);
      break;
    }
    default: {
      // Help: a question mark.
      static const char* Mark[] = {" ### ", "#   #", "    #", "   # ", "  #  ", "  #  ", "     ", "  #  "};
      for (int Yy = 0; Yy < 8; ++Yy)
        for (int Xx = 0; Xx < 5; ++Xx)
          if (Mark[Yy][Xx] == '#')
            Pixel(D, R.left + (W - 5) / 2 + Xx + S, R.top + (H - 8) / 2 + Yy + S, Color);
      break;
    }
    }
  });
  return TRUE;
}

BOOL MenuControl(TDeviceContext& D, RECT* Rc, UINT State)
{
  RECT R = *Rc;
  Fill(D, R, RGB(255, 255, 255));
  int W = R.right - R.left, H = R.bottom - R.top;
  COLORREF Black = RGB(0, 0, 0);
  switch (State & 0xFF) {
  case DFCS_MENUCHECK:
    CheckMark(D, R.left + (W - 7) / 2, R.top + (H - 7) / 2, Black);
    break;
  case DFCS_MENUBULLET: {
    RECT Dev = D.LPtoDevice(CenteredSquare(R, std::max(2, std::min(W, H) / 3)));
    for (const TSpan& S : ShapeSpans(EllipseShape(Dev)))
      D.FillDeviceRect(RECT{S.X0, S.Y, S.X1, S.Y + 1}, Black);
    break;
  }
  default: {
    int Half = std::max(1, std::min(W, H) / 4);
    int Cx = R.left + W / 2, Cy = R.top + H / 2;
    for (int I = 0; I <= Half; ++I)
      Fill(D, RECT{Cx - Half / 2 + I, Cy - (Half - I), Cx - Half / 2 + I + 1, Cy + (Half - I) + 1}, Black);
    break;
  }
  }
  return TRUE;
}

} // namespace

BOOL DrawEdge(HDC DC, RECT* Rect, UINT EdgeType, UINT Flags)
{
  TDeviceContext* D = DcFromHandle(DC);
  if (!D || !Rect)
    return FALSE;
  return Edge(*D, Rect, EdgeType, Flags);
}

BOOL DrawFocusRect(HDC DC, const RECT* Rect)
{
  TDeviceContext* D = DcFromHandle(DC);
  if (!D || !Rect)
    return FALSE;
  RECT R = D->LPtoDevice(*Rect);
  if (R.right <= R.left || R.bottom <= R.top)
    return TRUE;
  // Every other pixel of the frame, on a checkerboard fixed to the DC's coordinates, is
  // inverted, so a second call takes the frame away again.
  TPixelPainter Painter(*D, RGB(255, 255, 255), R2_XORPEN);
  auto Dot = [&](int X, int Y) {
    if (((X - D->Origin.x + Y - D->Origin.y) & 1) == 0)
      Painter.Plot(X, Y);
  };
  for (int X = R.left; X < R.right; ++X) {
    Dot(X, R.top);
    if (R.bottom - 1 > R.top)
      Dot(X, R.bottom - 1);
  }
  for (int Y = R.top + 1; Y < R.bottom - 1; ++Y) {
    Dot(R.left, Y);
    if (R.right - 1 > R.left)
      Dot(R.right - 1, Y);
  }
  return TRUE;
}

BOOL DrawFrameControl(HDC DC, RECT* Rect, UINT Type, UINT State)
{
  TDeviceContext* D = DcFromHandle(DC);
  if (!D || !Rect)
    return FALSE;
  switch (Type) {
  case DFC_BUTTON:
    if (State & DFCS_BUTTONPUSH)
      return PushButton(*D, Rect, State);
    if (State & (DFCS_BUTTONRADIO | DFCS_BUTTONRADIOIMAGE | DFCS_BUTTONRADIOMASK))
      return RadioButton(*D, Rect, State);
    return CheckBox(*D, Rect, State);
  case DFC_SCROLL:
    return ScrollControl(*D, Rect, State);
  case DFC_CAPTION:
    return CaptionControl(*D, Rect, State);
  case DFC_MENU:
  case DFC_POPUPMENU:
    return MenuControl(*D, Rect, State);
  default:
    return FALSE;
  }
}
