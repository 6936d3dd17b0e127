// Lines, shapes, fills, pixels, system colours and the classic 3-D elements, checked by pixels.
#include <gtest/gtest.h>

#include <set>
#include <utility>

#include "tests/platform/gdi/GdiTestUtil.h"

namespace {

using TPixels = std::set<std::pair<int, int>>;

// The pixels that are no longer Background.
TPixels Changed(const TTestDib& D, std::uint32_t Background)
{
  TPixels P;
  for (int Y = 0; Y < D.H; ++Y)
    for (int X = 0; X < D.W; ++X)
      if (D.At(X, Y) != Background)
        P.insert({X, Y});
  return P;
}

constexpr std::uint32_t White = 0xFFFFFFFF; // white with alpha 255, so drawn pixels show

} // namespace

TEST(GdiDraw, LinesLeaveOutTheirLastPixel)
{
  const struct {
    POINT From, To;
    TPixels Expected;
  } Cases[] = {
      {{1, 1}, {5, 1}, {{1, 1}, {2, 1}, {3, 1}, {4, 1}}},
      {{2, 5}, {2, 2}, {{2, 5}, {2, 4}, {2, 3}}},
      {{0, 0}, {3, 3}, {{0, 0}, {1, 1}, {2, 2}}},
      {{0, 0}, {6, 2}, {{0, 0}, {1, 0}, {2, 1}, {3, 1}, {4, 1}, {5, 2}}},
      {{3, 3}, {3, 3}, {}},
  };
  for (const auto& C : Cases) {
    TTestDib Dib(8, 8);
    Dib.Fill(White);
    MoveToEx(Dib.DC, C.From.x, C.From.y, nullptr);
    ASSERT_TRUE(LineTo(Dib.DC, C.To.x, C.To.y));
    EXPECT_EQ(Changed(Dib, White), C.Expected) << C.From.x << "," << C.From.y << " -> " << C.To.x << "," << C.To.y;
    for (auto [X, Y] : C.Expected)
      EXPECT_EQ(Dib.At(X, Y), 0u); // black, alpha 0
    POINT Pos;
    GetCurrentPositionEx(Dib.DC, &Pos);
    EXPECT_EQ(Pos, C.To);
  }
}

TEST(GdiDraw, MixModesOfPens)
{
  // Pen 0xCC and destination 0xAA in every channel: each result byte repeats the mode's
  // four-entry truth table (R2_xxx - 1) in both nibbles.
  for (int Mode = R2_BLACK; Mode <= R2_WHITE; ++Mode) {
    TTestDib Dib(1, 1);
    Dib.At(0, 0) = 0x00AAAAAA;
    HPEN Pen = CreatePen(PS_SOLID, 1, RGB(0xCC, 0xCC, 0xCC));
    HGDIOBJ Old = SelectObject(Dib.DC, Pen);
    SetROP2(Dib.DC, Mode);
    MoveToEx(Dib.DC, 0, 0, nullptr);
    LineTo(Dib.DC, 1, 0);
    EXPECT_EQ(Dib.At(0, 0), static_cast<std::uint32_t>(Mode - 1) * 0x111111u) << "R2 mode " << Mode;
    SelectObject(Dib.DC, Old);
    DeleteObject(Pen);
  }
}

TEST(GdiDraw, DashStylesAndBackgroundMode)
{
  auto Draw = [](HPEN Pen, int BkMode) {
    auto Dib = std::make_unique<TTestDib>(12, 1);
    Dib->Fill(White);
    SetBkMode(Dib->DC, BkMode);
    SetBkColor(Dib->DC, RGB(0, 0, 255));
    HGDIOBJ Old = SelectObject(Dib->DC, Pen);
    MoveToEx(Dib->DC, 0, 0, nullptr);
    LineTo(Dib->DC, 12, 0);
    SelectObject(Dib->DC, Old);
    DeleteObject(Pen);
    std::string S;
    for (int X = 0; X < 12; ++X)
      S += Dib->At(X, 0) == 0 ? '#' : Dib->At(X, 0) == Px(RGB(0, 0, 255)) ? 'b' : '.';
    return S;
  };
  EXPECT_EQ(Draw(CreatePen(PS_DOT, 1, 0), TRANSPARENT), "###...###...");
  EXPECT_EQ(Draw(CreatePen(PS_DOT, 1, 0), OPAQUE), "###bbb###bbb");
  EXPECT_EQ(Draw(CreatePen(PS_DASHDOT, 1, 0), TRANSPARENT), "#########...");
  LOGBRUSH Black{BS_SOLID, 0, 0};
  EXPECT_EQ(Draw(ExtCreatePen(PS_COSMETIC | PS_ALTERNATE, 1, &Black, 0, nullptr), TRANSPARENT), "#.#.#.#.#.#.");
  const DWORD User[2] = {2, 1};
  EXPECT_EQ(Draw(ExtCreatePen(PS_COSMETIC | PS_USERSTYLE, 1, &Black, 2, User), TRANSPARENT), "##.##.##.##.");
  EXPECT_EQ(Draw(CreatePen(PS_NULL, 1, 0), OPAQUE), "............");
  // A wide geometric dotted pen makes dots as long as it is wide (flat caps: no overhang).
  EXPECT_EQ(Draw(ExtCreatePen(PS_GEOMETRIC | PS_DOT | PS_ENDCAP_FLAT, 2, &Black, 0, nullptr), TRANSPARENT),
            "##..##..##..");
  // Geometric wide pens need PS_GEOMETRIC; a cosmetic pen must be 1 wide.
  EXPECT_EQ(ExtCreatePen(PS_COSMETIC | PS_SOLID, 3, &Black, 0, nullptr), nullptr);
}

TEST(GdiDraw, RectangleOutlineInsideAndNullPenQuirk)
{
  TTestDib Dib(8, 6);
  HBRUSH Red = CreateSolidBrush(RGB(255, 0, 0));
  HGDIOBJ OldBrush = SelectObject(Dib.DC, Red);
  Dib.Fill(White);
  ASSERT_TRUE(Rectangle(Dib.DC, 1, 1, 5, 4));
  const char* Expected[6] = {"........", ".####...", ".#rr#...", ".####...", "........", "........"};
  for (int Y = 0; Y < 6; ++Y)
    for (int X = 0; X < 8; ++X) {
      char E = Expected[Y][X];
      std::uint32_t Want = E == '#' ? 0u : E == 'r' ? Px(RGB(255, 0, 0)) : White;
      EXPECT_EQ(Dib.At(X, Y), Want) << X << "," << Y;
    }
  // Without a pen the filled area is one pixel narrower and shorter.
  Dib.Fill(White);
  HGDIOBJ OldPen = SelectObject(Dib.DC, GetStockObject(NULL_PEN));
  Rectangle(Dib.DC, 1, 1, 5, 4);
  TPixels Filled = Changed(Dib, White);
  EXPECT_EQ(Filled, (TPixels{{1, 1}, {2, 1}, {3, 1}, {1, 2}, {2, 2}, {3, 2}}));
  // A wide inside-frame pen stays inside the rectangle.
  Dib.Fill(White);
  HPEN Wide = CreatePen(PS_INSIDEFRAME, 2, RGB(0, 0, 0));
  SelectObject(Dib.DC, Wide);
  Rectangle(Dib.DC, 1, 1, 7, 6);
  TPixels Drawn = Changed(Dib, White);
  EXPECT_EQ(Drawn.size(), 30u);
  EXPECT_EQ(*Drawn.begin(), std::make_pair(1, 1));
  EXPECT_EQ(*Drawn.rbegin(), std::make_pair(6, 5));
  EXPECT_EQ(Dib.At(3, 3), Px(RGB(255, 0, 0)));
  EXPECT_EQ(Dib.At(2, 2), 0u);
  SelectObject(Dib.DC, OldPen);
  SelectObject(Dib.DC, OldBrush);
  DeleteObject(Wide);
  DeleteObject(Red);
}

TEST(GdiDraw, FillRectFrameRectInvertRect)
{
  TTestDib Dib(6, 4);
  Dib.Fill(White);
  SetROP2(Dib.DC, R2_XORPEN); // fills ignore the mix mode
  RECT R{1, 1, 4, 3};
  ASSERT_TRUE(FillRect(Dib.DC, &R, reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1)));
  EXPECT_EQ(Changed(Dib, White), (TPixels{{1, 1}, {2, 1}, {3, 1}, {1, 2}, {2, 2}, {3, 2}}));
  EXPECT_EQ(Dib.At(1, 1), Px(RGB(212, 208, 200))); // alpha 0 on drawn pixels
  RECT Inverted{4, 3, 1, 1};
  FillRect(Dib.DC, &Inverted, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
  EXPECT_EQ(Dib.At(2, 2), Px(RGB(212, 208, 200)));
  EXPECT_FALSE(FillRect(Dib.DC, &R, reinterpret_cast<HBRUSH>(0x9999)));

  Dib.Fill(White);
  RECT Frame{0, 0, 4, 4};
  FrameRect(Dib.DC, &Frame, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
  EXPECT_EQ(Changed(Dib, White).size(), 12u);
  EXPECT_EQ(Dib.At(1, 1), White);

  Dib.Fill(Px(RGB(10, 20, 30)));
  InvertRect(Dib.DC, &R);
  EXPECT_EQ(Dib.At(1, 1), Px(RGB(245, 235, 225)));
  InvertRect(Dib.DC, &R);
  EXPECT_EQ(Dib.At(1, 1), Px(RGB(10, 20, 30)));
}

TEST(GdiDraw, EllipseIsSymmetricAndFilled)
{
  for (auto Size : {std::pair{9, 7}, std::pair{10, 10}, std::pair{3, 12}}) {
    auto [W, H] = Size;
    TTestDib Dib(W + 2, H + 2);
    Dib.Fill(White);
    HBRUSH Red = CreateSolidBrush(RGB(255, 0, 0));
    HGDIOBJ Old = SelectObject(Dib.DC, Red);
    Ellipse(Dib.DC, 1, 1, 1 + W, 1 + H);
    TPixels P = Changed(Dib, White);
    int MinX = 99, MaxX = -1, MinY = 99, MaxY = -1;
    for (auto [X, Y] : P) {
      MinX = std::min(MinX, X), MaxX = std::max(MaxX, X), MinY = std::min(MinY, Y), MaxY = std::max(MaxY, Y);
      EXPECT_TRUE(P.count({W + 1 - X, Y}) && P.count({X, H + 1 - Y})) << "asymmetric at " << X << "," << Y;
    }
    EXPECT_EQ(MinX, 1);
    EXPECT_EQ(MaxX, W);
    EXPECT_EQ(MinY, 1);
    EXPECT_EQ(MaxY, H);
    if (W > 4 && H > 4) {
      EXPECT_EQ(Dib.At(1 + W / 2, 1 + H / 2), Px(RGB(255, 0, 0)));
    }
    SelectObject(Dib.DC, Old);
    DeleteObject(Red);
  }
}

TEST(GdiDraw, PolygonFillModes)
{
  // A pentagram: the centre is covered twice, inside for WINDING and outside for ALTERNATE.
  const POINT Star[5] = {{10, 0}, {16, 19}, {0, 7}, {20, 7}, {4, 19}};
  for (int Mode : {ALTERNATE, WINDING}) {
    TTestDib Dib(21, 21);
    Dib.Fill(White);
    SelectObject(Dib.DC, GetStockObject(NULL_PEN));
    SelectObject(Dib.DC, GetStockObject(BLACK_BRUSH));
    SetPolyFillMode(Dib.DC, Mode);
    ASSERT_TRUE(Polygon(Dib.DC, Star, 5));
    EXPECT_EQ(Dib.At(10, 10) == 0, Mode == WINDING) << Mode;
    EXPECT_EQ(Dib.At(10, 3), 0u); // a tip is always inside
    EXPECT_EQ(Dib.At(1, 18), White);
  }
  TTestDib Dib(4, 4);
  EXPECT_FALSE(Polygon(Dib.DC, Star, 1));
}

TEST(GdiDraw, PixelsAndFloodFill)
{
  TTestDib Dib(6, 6);
  Dib.Fill(White);
  EXPECT_EQ(SetPixel(Dib.DC, 6, 0, 0), CLR_INVALID);
  EXPECT_EQ(GetPixel(Dib.DC, -1, 0), CLR_INVALID);
  EXPECT_EQ(SetPixel(Dib.DC, 0, 0, RGB(1, 2, 3)), RGB(1, 2, 3));
  EXPECT_EQ(GetPixel(Dib.DC, 0, 0), RGB(1, 2, 3));
  // A black frame (1,1)-(5,5); filling inside stops at it.
  Dib.Fill(0x00FFFFFF);
  RECT Frame{1, 1, 5, 5};
  FrameRect(Dib.DC, &Frame, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
  HBRUSH Red = CreateSolidBrush(RGB(255, 0, 0));
  HGDIOBJ Old = SelectObject(Dib.DC, Red);
  ASSERT_TRUE(FloodFill(Dib.DC, 2, 2, RGB(0, 0, 0)));
  EXPECT_EQ(Dib.At(2, 2), Px(RGB(255, 0, 0)));
  EXPECT_EQ(Dib.At(3, 3), Px(RGB(255, 0, 0)));
  EXPECT_EQ(Dib.At(0, 0), 0x00FFFFFFu);
  EXPECT_EQ(Dib.At(1, 1), 0u);
  EXPECT_FALSE(FloodFill(Dib.DC, 1, 1, RGB(0, 0, 0))); // starts on the border colour
  // Surface mode: replace the white outside.
  SelectObject(Dib.DC, GetStockObject(BLACK_BRUSH));
  ASSERT_TRUE(ExtFloodFill(Dib.DC, 0, 0, RGB(255, 255, 255), FLOODFILLSURFACE));
  EXPECT_EQ(Dib.At(5, 5), 0u);
  EXPECT_EQ(Dib.At(2, 2), Px(RGB(255, 0, 0)));
  SelectObject(Dib.DC, Old);
  DeleteObject(Red);
}

TEST(GdiDraw, HatchBrushGapsFollowBackgroundMode)
{
  HBRUSH Hatch = CreateHatchBrush(HS_VERTICAL, RGB(0, 0, 0));
  for (int Mode : {OPAQUE, TRANSPARENT}) {
    TTestDib Dib(8, 1);
    Dib.Fill(White);
    SetBkColor(Dib.DC, RGB(0, 255, 0));
    SetBkMode(Dib.DC, Mode);
    HGDIOBJ Old = SelectObject(Dib.DC, Hatch);
    SelectObject(Dib.DC, GetStockObject(NULL_PEN));
    Rectangle(Dib.DC, 0, 0, 9, 2);
    int Lines = 0, Gaps = 0;
    for (int X = 0; X < 8; ++X) {
      Lines += Dib.At(X, 0) == 0;
      Gaps += Dib.At(X, 0) == (Mode == OPAQUE ? Px(RGB(0, 255, 0)) : White);
    }
    EXPECT_EQ(Lines, 1) << Mode;
    EXPECT_EQ(Gaps, 7) << Mode;
    SelectObject(Dib.DC, Old);
  }
  DeleteObject(Hatch);
}

TEST(GdiDraw, SystemColoursAndTheirBrushes)
{
  const struct {
    int Index;
    COLORREF Color;
  } Classic[] = {{COLOR_BTNFACE, RGB(212, 208, 200)},   {COLOR_BTNSHADOW, RGB(128, 128, 128)},
                 {COLOR_BTNHIGHLIGHT, RGB(255, 255, 255)}, {COLOR_3DDKSHADOW, RGB(64, 64, 64)},
                 {COLOR_3DLIGHT, RGB(212, 208, 200)},   {COLOR_WINDOW, RGB(255, 255, 255)},
                 {COLOR_WINDOWTEXT, RGB(0, 0, 0)},      {COLOR_HIGHLIGHT, RGB(10, 36, 106)},
                 {COLOR_HIGHLIGHTTEXT, RGB(255, 255, 255)}, {COLOR_INFOBK, RGB(255, 255, 225)},
                 {COLOR_APPWORKSPACE, RGB(128, 128, 128)}, {COLOR_ACTIVECAPTION, RGB(10, 36, 106)},
                 {COLOR_GRAYTEXT, RGB(128, 128, 128)}};
  for (auto C : Classic) {
    EXPECT_EQ(GetSysColor(C.Index), C.Color) << C.Index;
    LOGBRUSH B;
    ASSERT_EQ(GetObject(GetSysColorBrush(C.Index), sizeof(B), &B), static_cast<int>(sizeof(B)));
    EXPECT_EQ(B.lbColor, C.Color);
  }
  EXPECT_EQ(GetSysColorBrush(COLOR_ENDCOLORS), nullptr);
  EXPECT_TRUE(DeleteObject(GetSysColorBrush(COLOR_WINDOW))); // stock: stays
  INT Element = COLOR_WINDOW;
  COLORREF Pink = RGB(255, 200, 200);
  ASSERT_TRUE(SetSysColors(1, &Element, &Pink));
  TTestDib Dib(1, 1);
  RECT R{0, 0, 1, 1};
  FillRect(Dib.DC, &R, GetSysColorBrush(COLOR_WINDOW));
  EXPECT_EQ(Dib.At(0, 0), Px(Pink));
  COLORREF Back = RGB(255, 255, 255);
  SetSysColors(1, &Element, &Back);
}

TEST(GdiDraw, DrawEdgeUsesTheClassicColours)
{
  const COLORREF Face = RGB(212, 208, 200), Shadow = RGB(128, 128, 128), Light = RGB(255, 255, 255),
                 Dark = RGB(64, 64, 64), Light3D = RGB(212, 208, 200), Frame = RGB(0, 0, 0);
  const struct {
    UINT Edge, Flags;
    const char* Name;
    COLORREF OuterTL, OuterBR, InnerTL, InnerBR;
  } Cases[] = {
      {EDGE_RAISED, BF_RECT, "raised", Light3D, Dark, Light, Shadow},
      {EDGE_SUNKEN, BF_RECT, "sunken", Shadow, Light, Dark, Light3D},
      {EDGE_ETCHED, BF_RECT, "etched", Shadow, Light, Light, Shadow},
      {EDGE_BUMP, BF_RECT, "bump", Light3D, Dark, Dark, Light3D},
      {EDGE_RAISED, BF_RECT | BF_SOFT, "raised soft", Light, Dark, Light3D, Shadow},
      {EDGE_SUNKEN, BF_RECT | BF_SOFT, "sunken soft", Dark, Light, Shadow, Light3D},
      {EDGE_SUNKEN, BF_RECT | BF_FLAT, "flat", Shadow, Shadow, Face, Face},
      {EDGE_SUNKEN, BF_RECT | BF_MONO, "mono", Frame, Frame, RGB(255, 255, 255), RGB(255, 255, 255)},
  };
  for (const auto& C : Cases) {
    TTestDib Dib(8, 6);
    Dib.Fill(0x12345678);
    RECT R{0, 0, 8, 6};
    ASSERT_TRUE(DrawEdge(Dib.DC, &R, C.Edge, C.Flags | BF_MIDDLE));
    EXPECT_EQ(Dib.At(0, 0), Px(C.OuterTL)) << C.Name;
    EXPECT_EQ(Dib.At(0, 3), Px(C.OuterTL)) << C.Name;
    EXPECT_EQ(Dib.At(7, 5), Px(C.OuterBR)) << C.Name;
    // The corners between the two sides belong to the bottom-right colour.
    EXPECT_EQ(Dib.At(7, 0), Px(C.OuterBR)) << C.Name;
    EXPECT_EQ(Dib.At(0, 5), Px(C.OuterBR)) << C.Name;
    EXPECT_EQ(Dib.At(1, 1), Px(C.InnerTL)) << C.Name;
    EXPECT_EQ(Dib.At(6, 4), Px(C.InnerBR)) << C.Name;
    COLORREF Middle = (C.Flags & (BF_FLAT | BF_MONO)) ? RGB(255, 255, 255) : Face;
    EXPECT_EQ(Dib.At(3, 3), Px(Middle)) << C.Name;
  }
  // Only the flagged sides, and BF_ADJUST moves them in by the rings drawn.
  TTestDib Dib(8, 6);
  Dib.Fill(0x12345678);
  RECT R{0, 0, 8, 6};
  DrawEdge(Dib.DC, &R, BDR_RAISEDOUTER, BF_LEFT | BF_BOTTOM | BF_ADJUST);
  EXPECT_EQ(R, Rect(1, 0, 8, 5));
  EXPECT_EQ(Dib.At(7, 0), 0x12345678u);
  EXPECT_EQ(Dib.At(0, 0), Px(Light3D));
  EXPECT_EQ(Dib.At(7, 5), Px(Dark));
}

TEST(GdiDraw, FocusRectangleIsItsOwnInverse)
{
  TTestDib Dib(6, 5);
  Dib.Fill(0x00FFFFFF);
  RECT R{0, 0, 6, 5};
  ASSERT_TRUE(DrawFocusRect(Dib.DC, &R));
  // Every other pixel of the border, none inside.
  std::string Top, Left;
  for (int X = 0; X < 6; ++X)
    Top += Dib.At(X, 0) == 0 ? '#' : '.';
  for (int Y = 0; Y < 5; ++Y)
    Left += Dib.At(0, Y) == 0 ? '#' : '.';
  EXPECT_EQ(Top, "#.#.#.");
  EXPECT_EQ(Left, "#.#.#");
  EXPECT_EQ(Dib.At(2, 2), 0x00FFFFFFu);
  DrawFocusRect(Dib.DC, &R);
  EXPECT_TRUE(Changed(Dib, 0x00FFFFFF).empty());
}

TEST(GdiDraw, FrameControlsInTheClassicLook)
{
  TTestDib Dib(13, 13);
  RECT R{0, 0, 13, 13};
  ASSERT_TRUE(DrawFrameControl(Dib.DC, &R, DFC_BUTTON, DFCS_BUTTONCHECK | DFCS_CHECKED));
  EXPECT_EQ(Dib.At(0, 0), Px(RGB(128, 128, 128))); // sunken outer
  EXPECT_EQ(Dib.At(1, 1), Px(RGB(64, 64, 64)));    // sunken inner
  EXPECT_EQ(Dib.At(12, 12), Px(RGB(255, 255, 255)));
  int Marks = 0, Window = 0;
  for (int Y = 2; Y < 11; ++Y)
    for (int X = 2; X < 11; ++X) {
      Marks += Dib.At(X, Y) == 0;
      Window += Dib.At(X, Y) == 0x00FFFFFF;
    }
  EXPECT_EQ(Marks, 21); // seven columns of three
  EXPECT_EQ(Marks + Window, 81);
  R = RECT{0, 0, 13, 13};
  DrawFrameControl(Dib.DC, &R, DFC_BUTTON, DFCS_BUTTONPUSH);
  EXPECT_EQ(Dib.At(0, 0), Px(RGB(255, 255, 255))); // raised soft
  EXPECT_EQ(Dib.At(12, 12), Px(RGB(64, 64, 64)));
  EXPECT_EQ(Dib.At(6, 6), Px(RGB(212, 208, 200)));
  R = RECT{0, 0, 13, 13};
  DrawFrameControl(Dib.DC, &R, DFC_CAPTION, DFCS_CAPTIONCLOSE);
  EXPECT_EQ(Dib.At(6, 6), 0u); // the cross runs through the middle
  R = RECT{0, 0, 13, 13};
  DrawFrameControl(Dib.DC, &R, DFC_SCROLL, DFCS_SCROLLUP);
  int Arrow = 0;
  for (int Y = 0; Y < 13; ++Y)
    for (int X = 0; X < 13; ++X)
      Arrow += Dib.At(X, Y) == 0;
  EXPECT_EQ(Arrow, 9); // rows of 1, 3 and 5 pixels (a 16-pixel button gets 7 x 4)
  EXPECT_FALSE(DrawFrameControl(Dib.DC, &R, 99, 0));
}

TEST(GdiDraw, WidePensDCColoursAndGradients)
{
  TTestDib Dib(12, 9);
  Dib.Fill(White);
  HPEN Wide = CreatePen(PS_SOLID, 3, RGB(0, 0, 0));
  HGDIOBJ Old = SelectObject(Dib.DC, Wide);
  SetROP2(Dib.DC, R2_XORPEN); // each pixel of a wide line is touched once
  MoveToEx(Dib.DC, 2, 4, nullptr);
  LineTo(Dib.DC, 9, 4);
  // Three rows thick, both ends included (round caps reach one pixel beyond).
  for (int X = 2; X <= 9; ++X)
    for (int Y = 3; Y <= 5; ++Y)
      EXPECT_EQ(Dib.At(X, Y), 0x00FFFFFFu ^ 0u) << X << "," << Y; // white XOR black pen = white, alpha 0
  EXPECT_EQ(Dib.At(5, 2), White);
  EXPECT_EQ(Dib.At(5, 6), White);
  SetROP2(Dib.DC, R2_COPYPEN);
  SelectObject(Dib.DC, Old);
  DeleteObject(Wide);

  // DC_PEN and DC_BRUSH draw in the DC's own colours.
  Dib.Fill(White);
  SelectObject(Dib.DC, GetStockObject(DC_PEN));
  SelectObject(Dib.DC, GetStockObject(DC_BRUSH));
  EXPECT_EQ(SetDCPenColor(Dib.DC, RGB(0, 0, 255)), RGB(0, 0, 0));
  EXPECT_EQ(SetDCBrushColor(Dib.DC, RGB(0, 255, 0)), RGB(255, 255, 255));
  Rectangle(Dib.DC, 0, 0, 4, 4);
  EXPECT_EQ(Dib.At(0, 0), Px(RGB(0, 0, 255)));
  EXPECT_EQ(Dib.At(1, 1), Px(RGB(0, 255, 0)));
  SelectObject(Dib.DC, GetStockObject(BLACK_PEN));
  SelectObject(Dib.DC, GetStockObject(WHITE_BRUSH));

  // A horizontal gradient: colours step evenly from left to right.
  TRIVERTEX V[2];
  V[0].x = 0, V[0].y = 0, V[0].Red = 0, V[0].Green = 0, V[0].Blue = 0xFF00;
  V[1].x = 4, V[1].y = 1, V[1].Red = 0xFF00, V[1].Green = 0, V[1].Blue = 0;
  GRADIENT_RECT G{0, 1};
  ASSERT_TRUE(GradientFill(Dib.DC, V, 2, &G, 1, GRADIENT_FILL_RECT_H));
  // Channel = first + (second - first) * x / width in 8.8 fixed point, high byte taken.
  const BYTE Red[4] = {0, 63, 127, 191}, Blue[4] = {255, 191, 127, 63};
  for (int X = 0; X < 4; ++X)
    EXPECT_EQ(Dib.At(X, 0), Px(RGB(Red[X], 0, Blue[X]))) << X;
  G.LowerRight = 7;
  EXPECT_FALSE(GradientFill(Dib.DC, V, 2, &G, 1, GRADIENT_FILL_RECT_H));
}

TEST(GdiDraw, ArcsPiesAndChords)
{
  // Quarter of a 10x10 circle: from the right (start) counter-clockwise to the top (end).
  auto Count = [](BOOL (*Fn)(HDC, int, int, int, int, int, int, int, int), TPixels* Out) {
    TTestDib Dib(10, 10);
    Dib.Fill(White);
    SelectObject(Dib.DC, GetStockObject(BLACK_BRUSH));
    EXPECT_TRUE(Fn(Dib.DC, 0, 0, 10, 10, 10, 5, 5, 0));
    *Out = Changed(Dib, White);
    SelectObject(Dib.DC, GetStockObject(WHITE_BRUSH));
  };
  TPixels ArcPixels, PiePixels, ChordPixels;
  Count(Arc, &ArcPixels);
  Count(Pie, &PiePixels);
  Count(Chord, &ChordPixels);
  // Everything stays in the upper right quarter (give or take the pie's centre pixel).
  for (auto [X, Y] : PiePixels) {
    EXPECT_GE(X, 4);
    EXPECT_LE(Y, 5);
  }
  ASSERT_FALSE(ArcPixels.empty());
  for (auto P : ArcPixels)
    EXPECT_TRUE(PiePixels.count(P)); // the pie holds the arc
  EXPECT_GT(PiePixels.size(), ChordPixels.size()); // the chord leaves out the triangle
  EXPECT_GT(ChordPixels.size(), ArcPixels.size());
  EXPECT_TRUE(PiePixels.count({7, 2}));
}

TEST(GdiDraw, FarAwayCoordinatesCostNothingAndHurtNothing)
{
  TTestDib Dib(8, 8);
  Dib.Fill(White);
  RECT Huge{INT_MIN, INT_MIN, INT_MAX, INT_MAX};
  EXPECT_TRUE(FillRect(Dib.DC, &Huge, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH))));
  EXPECT_EQ(Dib.At(7, 7), 0u);
  Dib.Fill(White);
  MoveToEx(Dib.DC, -2000000000, 4, nullptr);
  EXPECT_TRUE(LineTo(Dib.DC, 2000000000, 4));
  EXPECT_EQ(Dib.At(0, 4), 0u);
  EXPECT_EQ(Dib.At(7, 4), 0u);
  EXPECT_EQ(Dib.At(0, 3), White);
  EXPECT_TRUE(Rectangle(Dib.DC, -1000000000, -1000000000, 1000000000, 1000000000));
  EXPECT_FALSE(Ellipse(Dib.DC, -1000000000, -1000000000, 1000000000, 1000000000));
  const POINT Far[3] = {{0, -2000000000}, {5, 2000000000}, {-5, 2000000000}};
  EXPECT_TRUE(Polygon(Dib.DC, Far, 3));
  EXPECT_EQ(CreatePolygonRgn(Far, 3, ALTERNATE), nullptr);
  SetViewportOrgEx(Dib.DC, INT_MAX, INT_MAX, nullptr);
  EXPECT_EQ(SetPixel(Dib.DC, INT_MAX, INT_MAX, 0), CLR_INVALID);
  HPEN Fat = CreatePen(PS_SOLID, 1000000000, 0);
  HGDIOBJ Old = SelectObject(Dib.DC, Fat);
  SetViewportOrgEx(Dib.DC, 0, 0, nullptr);
  MoveToEx(Dib.DC, 0, 0, nullptr);
  EXPECT_TRUE(LineTo(Dib.DC, 1, 0));
  SelectObject(Dib.DC, Old);
  DeleteObject(Fat);
}
