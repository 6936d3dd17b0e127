// skingen: draws the pictures of the program's two skins and writes their skin INI texts.
// Both skins share one layout (light faces, thin frames, an accent colour and a dark caption bar)
// and each has a palette of its own: the controls skin is cool grey with a blue accent and a slate
// caption, the frame skin warm ivory with a green accent and a forest caption. Either skin gives
// the frame of the windows, the controls and the menus their looks, so the program reads as one
// window in each. Every coordinate of a record is taken from the same layout constants the
// pictures are drawn with, so pictures and texts cannot drift apart.
//
//   skingen <frame|controls> <folder>    writes skin.ini and the BMP pictures into <folder>
#include <cmath>
#include <cstdio>
#include <fstream>
#include <functional>
#include <iostream>
#include <sstream>
#include <string>
#include <vector>

#include "platform/gdi/BmpFile.h"
#include "platform/gdi/DibImage.h"

namespace {

using Color = std::uint32_t; // 0xRRGGBB

// --- the palette: the controls skin's colours; the frame skin's replace them (UseFramePalette) ---
Color Face = 0xF3F4F6;
Color FaceDark = 0xE4E7EB;
Color Line = 0xB8BEC6;
Color LineDark = 0x8A939E;
Color Text = 0x1F2933;
Color TextDisabled = 0x9AA5B1;
Color Accent = 0x2F74C0;
Color AccentLight = 0xDCE9F7;
Color AccentMid = 0xB9D3EF;
Color AccentPressed = 0x8FB6E3;
// The inside of a disabled check or radio box: not the cell's face colour, which the boxes take
// as their transparent colour.
Color CheckDisabled = 0xE9ECEF;
Color AccentDark = 0x1F5A9C;
Color White = 0xFFFFFF;
Color Caption = 0x2B3A4A;
Color CaptionHot = 0x3E5368;
Color CaptionDown = 0x1D2833;
Color CloseHot = 0xD9443A;
Color CloseDown = 0xA8302A;
Color CaptionTextInactive = 0xC9D3DD;
Color ThumbFace = 0xCDD3DA, ThumbHot = 0xA9B3BE; // the scroll-bar thumb at rest and hot
const Color Magenta = 0xFF00FF; // the transparent colour of glyph cells

// TColor values are 0x00BBGGRR.
std::string TColorText(Color C)
{
  const unsigned r = (C >> 16) & 0xFF, g = (C >> 8) & 0xFF, b = C & 0xFF;
  return std::to_string(r | (g << 8) | (b << 16));
}

// --- a 24-bit picture with a few drawing primitives ---
class TPicture {
public:
  TPicture(int Width, int Height, Color Background)
  {
    FImage.SetSize(Width, Height, 24, true);
    Fill(0, 0, Width, Height, Background);
  }
  int Width() const { return FImage.Width; }
  int Height() const { return FImage.Height; }

  void Pixel(int X, int Y, Color C)
  {
    if (X < 0 || Y < 0 || X >= FImage.Width || Y >= FImage.Height)
      return;
    std::uint8_t* p = FImage.ScanLine(Y) + X * 3;
    p[0] = C & 0xFF;
    p[1] = (C >> 8) & 0xFF;
    p[2] = (C >> 16) & 0xFF;
  }
  void Fill(int L, int T, int R, int B, Color C)
  {
    for (int y = T; y < B; ++y)
      for (int x = L; x < R; ++x)
        Pixel(x, y, C);
  }
  // A vertical gradient from Top to Bottom colour.
  void Gradient(int L, int T, int R, int B, Color Top, Color Bottom)
  {
    for (int y = T; y < B; ++y) {
      const double f = B - T > 1 ? double(y - T) / (B - T - 1) : 0.0;
      Fill(L, y, R, y + 1, Mix(Top, Bottom, f));
    }
  }
  void Frame(int L, int T, int R, int B, Color C)
  {
    Fill(L, T, R, T + 1, C);
    Fill(L, B - 1, R, B, C);
    Fill(L, T, L + 1, B, C);
    Fill(R - 1, T, R, B, C);
  }
  // A box with a one-pixel frame and softened corners (the corner pixel takes Outside).
  void Box(int L, int T, int R, int B, Color Top, Color Bottom, Color Border, Color Outside)
  {
    Gradient(L, T, R, B, Top, Bottom);
    Frame(L, T, R, B, Border);
    for (auto [x, y] : {std::pair{L, T}, {R - 1, T}, {L, B - 1}, {R - 1, B - 1}})
      Pixel(x, y, Mix(Border, Outside, 0.6));
  }
  void LineTo(int X0, int Y0, int X1, int Y1, Color C)
  {
    const int steps = std::max(std::abs(X1 - X0), std::abs(Y1 - Y0));
    for (int i = 0; i <= steps; ++i) {
      const double f = steps ? double(i) / steps : 0.0;
      Pixel(static_cast<int>(std::lround(X0 + (X1 - X0) * f)), static_cast<int>(std::lround(Y0 + (Y1 - Y0) * f)), C);
    }
  }
  void Disc(int Cx, int Cy, double Radius, Color C)
  {
    for (int y = static_cast<int>(Cy - Radius - 1); y <= Cy + Radius + 1; ++y)
      for (int x = static_cast<int>(Cx - Radius - 1); x <= Cx + Radius + 1; ++x)
        if ((x + 0.5 - Cx) * (x + 0.5 - Cx) + (y + 0.5 - Cy) * (y + 0.5 - Cy) <= Radius * Radius)
          Pixel(x, y, C);
  }
  void Ring(int Cx, int Cy, double Radius, Color C)
  {
    for (int y = static_cast<int>(Cy - Radius - 1); y <= Cy + Radius + 1; ++y)
      for (int x = static_cast<int>(Cx - Radius - 1); x <= Cx + Radius + 1; ++x) {
        const double d = std::sqrt((x + 0.5 - Cx) * (x + 0.5 - Cx) + (y + 0.5 - Cy) * (y + 0.5 - Cy));
        if (d <= Radius && d > Radius - 1.2)
          Pixel(x, y, C);
      }
  }
  // A filled triangle arrow pointing Dir ('u', 'd', 'l', 'r') centred in the cell.
  void Arrow(int L, int T, int R, int B, char Dir, Color C)
  {
    const int cx = (L + R) / 2, cy = (B + T) / 2;
    for (int i = 0; i < 4; ++i) {
      switch (Dir) {
      case 'u': Fill(cx - i, cy - 2 + i, cx + i + 1, cy - 1 + i, C); break;
      case 'd': Fill(cx - i, cy + 1 - i, cx + i + 1, cy + 2 - i, C); break;
      case 'l': Fill(cx - 2 + i, cy - i, cx - 1 + i, cy + i + 1, C); break;
      case 'r': Fill(cx + 1 - i, cy - i, cx + 2 - i, cy + i + 1, C); break;
      }
    }
  }
  void Check(int L, int T, Color C)
  {
    // A check mark in a 16x16 cell.
    for (int w = 0; w < 2; ++w) {
      LineTo(L + 4, T + 8 + w, L + 7, T + 11 + w, C);
      LineTo(L + 7, T + 11 + w, L + 12, T + 5 + w, C);
    }
  }
  void Save(const std::string& FileName) const { SaveBmpToFile(FImage, FileName); }

  static Color Mix(Color A, Color B, double F)
  {
    auto ch = [&](int s) {
      const double a = (A >> s) & 0xFF, b = (B >> s) & 0xFF;
      return static_cast<Color>(std::lround(a + (b - a) * F)) << s;
    };
    return ch(16) | ch(8) | ch(0);
  }

private:
  TDibImage FImage;
};

// --- the INI text ---
class TIni {
public:
  void Section(const std::string& Name)
  {
    FText << (FText.tellp() > 0 ? "\r\n" : "") << "[" << Name << "]\r\n";
  }
  void Key(const std::string& Key, const std::string& Value) { FText << Key << "=" << Value << "\r\n"; }
  void Key(const std::string& Key, int Value) { this->Key(Key, std::to_string(Value)); }
  void Rect(const std::string& Key, int L, int T, int R, int B)
  {
    this->Key(Key, std::to_string(L) + "," + std::to_string(T) + "," + std::to_string(R) + "," + std::to_string(B));
  }
  void Point(const std::string& Key, int X, int Y) { this->Key(Key, std::to_string(X) + "," + std::to_string(Y)); }
  void Color(const std::string& Key, ::Color C) { this->Key(Key, TColorText(C)); }
  std::string Text() const { return FText.str(); }

private:
  std::ostringstream FText;
};

// A record of one of the two lists, with the lines of its own section.
struct TRecord {
  std::string Name;
  std::string Kind;
  std::function<void(TIni&)> Keys;
};

// ---------------------------------------------------------------------------------------------
// Layout of the pictures.

// frame.bmp: the window frame, 240 x 120: a 28-pixel caption bar, 4-pixel borders.
constexpr int FrameW = 240, FrameH = 120, Border = 4, CaptionH = 28;
constexpr int ClientL = Border, ClientT = CaptionH, ClientR = FrameW - Border, ClientB = FrameH - Border;
constexpr int CapButton = 18, CapButtonTop = 5;
// Caption buttons from the right edge: close, maximize, minimize, roll-up, tray.
constexpr int CapButtonX(int I) { return FrameW - Border - 2 - (I + 1) * CapButton - I * 2; }
constexpr int SysMenuX = 7;

// Active picture 0, captionbuttons.bmp: the hot (row 0) and pressed (row 1) looks of the caption
// buttons, and the restore looks of the maximize button (column 6).
enum TCaptionGlyph { cgClose, cgMax, cgMin, cgRollUp, cgTray, cgSysMenu, cgRestore, cgCount };

// Active picture 1, controls.bmp: the control atlas, cells on a 24-pixel grid.
constexpr int AtlasW = 256, AtlasH = 312;
constexpr int Cell = 24, Small = 16;

// Active picture 2, menu.bmp: popup window frame, menu items, menu bar items.
constexpr int MenuW = 128, MenuH = 96;

void DrawCaptionGlyph(TPicture& P, int L, int T, TCaptionGlyph G, Color C)
{
  const int x = L + 5, y = T + 5; // an 8x8 glyph in an 18x18 cell
  switch (G) {
  case cgClose:
    for (int w = 0; w < 2; ++w) {
      P.LineTo(x + w, y, x + 7, y + 7 - w, C);
      P.LineTo(x + w, y + 7, x + 7, y + w, C);
    }
    break;
  case cgMax:
    P.Frame(x, y, x + 8, y + 8, C);
    P.Fill(x, y + 1, x + 8, y + 2, C);
    break;
  case cgMin: P.Fill(x, y + 6, x + 8, y + 8, C); break;
  case cgRollUp: P.Arrow(L, T, L + 18, T + 18, 'u', C); break;
  case cgTray:
    P.Fill(x, y + 6, x + 8, y + 8, C);
    P.Arrow(L, T - 2, L + 18, T + 14, 'd', C);
    break;
  case cgSysMenu:
    P.Frame(x - 1, y - 1, x + 9, y + 9, C);
    P.Fill(x + 1, y + 2, x + 7, y + 3, C);
    P.Fill(x + 1, y + 5, x + 7, y + 6, C);
    break;
  case cgRestore:
    P.Frame(x + 2, y, x + 8, y + 6, C);
    P.Fill(x, y + 2, x + 6, y + 8, Color(0));
    P.Frame(x, y + 2, x + 6, y + 8, C);
    break;
  default: break;
  }
}

void DrawFrame(const std::string& Folder)
{
  TPicture p(FrameW, FrameH, Face);
  p.Gradient(0, 0, FrameW, CaptionH, CaptionHot, Caption);
  p.Fill(0, CaptionH, Border, FrameH, Caption);
  p.Fill(FrameW - Border, CaptionH, FrameW, FrameH, Caption);
  p.Fill(0, FrameH - Border, FrameW, FrameH, Caption);
  p.Frame(0, 0, FrameW, FrameH, CaptionDown);
  p.Fill(ClientL, ClientT, ClientR, ClientB, Face);
  const TCaptionGlyph order[] = {cgClose, cgMax, cgMin, cgRollUp, cgTray};
  for (int i = 0; i < 5; ++i)
    DrawCaptionGlyph(p, CapButtonX(i), CapButtonTop, order[i], White);
  DrawCaptionGlyph(p, SysMenuX, CapButtonTop, cgSysMenu, White);
  p.Save(Folder + "/frame.bmp");
}

void DrawCaptionButtons(const std::string& Folder)
{
  TPicture p(cgCount * CapButton, 2 * CapButton, Caption);
  for (int g = 0; g < cgCount; ++g) {
    const int x = g * CapButton;
    const bool close = g == cgClose;
    p.Box(x, 0, x + CapButton, CapButton, close ? CloseHot : CaptionHot, close ? CloseHot : CaptionHot,
          close ? CloseHot : LineDark, Caption);
    p.Box(x, CapButton, x + CapButton, 2 * CapButton, close ? CloseDown : CaptionDown,
          close ? CloseDown : CaptionDown, close ? CloseDown : CaptionDown, Caption);
    const TCaptionGlyph glyph = static_cast<TCaptionGlyph>(g);
    if (glyph == cgRestore) {
      // The restore glyph over the hot and pressed backgrounds of the maximize button.
      p.Fill(x + 5, 5, x + 13, 13, CaptionHot);
      p.Fill(x + 5, CapButton + 5, x + 13, CapButton + 13, CaptionDown);
    }
    DrawCaptionGlyph(p, x, 0, glyph, White);
    DrawCaptionGlyph(p, x, CapButton, glyph, White);
  }
  p.Save(Folder + "/captionbuttons.bmp");
}

// Control atlas cells: named rectangles in controls.bmp.
struct TCellRect {
  int L, T, R, B;
};
TCellRect At(int Col, int Row, int W = Cell, int H = Cell) { return {Col * Cell, Row * Cell, Col * Cell + W, Row * Cell + H}; }
TCellRect AtSmall(int Col, int Top) { return {Col * Small, Top, Col * Small + Small, Top + Small}; }

// Rows of the atlas.
constexpr int RowButtons = 0;     // y 0: push button states; tool button states
constexpr int CheckTop = 24;      // y 24: 16x16 check and radio images
constexpr int RowFrames = 2;      // y 48: edit, panel, group box, status bar, label, gauge, tab
constexpr int ScrollTop = 72;     // y 72: scroll-bar pieces (16x16)
constexpr int Scroll2Top = 88;    // y 88: more scroll-bar pieces, up-down buttons
constexpr int BarTop = 104;       // y 104: whole scroll bars (horizontal at x 0, vertical at x 240)
constexpr int VBarLeft = 240;
constexpr int UpDownHLeft = 112;  // y 104: the horizontal up-down pair at rest
constexpr int UpDownVLeft = 224;  // y 104..136: the vertical up-down pair at rest
constexpr int RowItems = 5;       // y 120: list items, tab strip
constexpr int RowGrid = 6;        // y 144: grid cells, vertical gauge, view frame
constexpr int RowMore = 7;        // y 168: menu bar
// y 192, 216, 240: whole pictures of the input controls whose buttons sit inside them: combo box,
// spin edit and button edit. Each row holds the picture at rest (x 0) and hot (x 48), then the
// button looks that are copied over the button's place (x 96 on).
constexpr int ComboTop = 192, SpinTop = 216, ButtonEditTop = 240;
constexpr int FieldW = 48, FieldH = 24;                  // the picture of one input control
constexpr int FieldActiveLeft = FieldW, FieldStatesLeft = 2 * FieldW;
constexpr int FieldTextRight = 28;                       // where the text part ends
constexpr int FieldButtonL = 29, FieldButtonR = FieldW - 1; // the button inside the right edge
constexpr int FieldButtonT = 1, FieldButtonB = FieldH - 1;
constexpr int FieldButtonW = FieldButtonR - FieldButtonL, FieldButtonH = FieldButtonB - FieldButtonT;
constexpr int SpinSplit = FieldButtonT + FieldButtonH / 2; // the up button above, the down below
// y 264: the list box with a caption band. The picture (x 0) is a framed white list under a band
// whose last row is a separator line; the three caption buttons sit at rest in the band's right
// end, from the right: up, down, check. Beside the picture (x 80 on) are their hot (y 264) and
// pressed (y 280) looks, one 16-pixel column per button in the same order.
constexpr int CaptionListTop = 264;
constexpr int CaptionListW = 72, CaptionListH = 48;
constexpr int CaptionBand = 20;                          // rows 0-19, the separator in row 19
constexpr int CaptionListButtonT = 2;
constexpr int CaptionListButtonL(int I) { return CaptionListW - 2 - (I + 1) * Small; }
constexpr int CaptionListTextRight = CaptionListButtonL(2) - 2; // where the fixed right end starts
constexpr int CaptionListLooksLeft = 80;
// The status bar's size grip, 12 x 12 at the right end of the frames row.
constexpr int GripL = 10 * Cell, GripT = RowFrames * Cell, GripSize = 12;
// The group box's frame line, in the middle of its 17-pixel caption band.
constexpr int GroupCaptionH = 17, GroupLineY = 8;
Color StatusFace = 0xEAEDF0;
Color GaugeTop = 0xA9CBF2, GaugeBottom = 0x74A7E0;

// Button face looks: normal, hot, pressed, disabled, focused.
void DrawButtonCell(TPicture& P, TCellRect R, int State, bool Flat)
{
  Color top = White, bottom = FaceDark, border = Line;
  switch (State) {
  // Hot is light with the accent frame; pressed is clearly darker, lit from below.
  case 1: top = White; bottom = AccentLight; border = Accent; break;
  case 2: top = AccentPressed; bottom = AccentMid; border = AccentDark; break;
  case 3: top = Face; bottom = Face; border = FaceDark; break;
  case 4: top = White; bottom = FaceDark; border = Accent; break;
  default: break;
  }
  if (Flat && State == 0) {
    P.Fill(R.L, R.T, R.R, R.B, Face);
    return;
  }
  P.Box(R.L, R.T, R.R, R.B, top, bottom, border, Face);
}

void DrawControls(const std::string& Folder)
{
  TPicture p(AtlasW, AtlasH, Face);
  // Push buttons (columns 0-4) and tool buttons (columns 5-9).
  for (int s = 0; s < 5; ++s) {
    DrawButtonCell(p, At(s, RowButtons), s, false);
    DrawButtonCell(p, At(5 + s, RowButtons), s, true);
  }
  // Check boxes (columns 0-7) and radio boxes (8-13), 16x16.
  for (int i = 0; i < 8; ++i) {
    const TCellRect c = AtSmall(i, CheckTop);
    const bool hot = i == 2 || i == 3 || i == 7, disabled = i == 4 || i == 5;
    p.Box(c.L + 1, c.T + 1, c.R - 1, c.B - 1, disabled ? CheckDisabled : White,
          disabled ? CheckDisabled : (hot ? AccentLight : White),
          disabled ? Line : (hot ? Accent : LineDark), Face);
    if (i == 1 || i == 3 || i == 5)
      p.Check(c.L, c.T, disabled ? TextDisabled : Accent);
    if (i == 6 || i == 7)
      p.Fill(c.L + 5, c.T + 5, c.R - 5, c.B - 5, LineDark);
  }
  for (int i = 0; i < 6; ++i) {
    const TCellRect c = AtSmall(8 + i, CheckTop);
    const bool hot = i == 2 || i == 3, disabled = i == 4 || i == 5;
    p.Disc(c.L + 8, c.T + 8, 6.5, disabled ? CheckDisabled : (hot ? AccentLight : White));
    p.Ring(c.L + 8, c.T + 8, 6.5, disabled ? Line : (hot ? Accent : LineDark));
    if (i % 2 == 1)
      p.Disc(c.L + 8, c.T + 8, 3.0, disabled ? TextDisabled : Accent);
  }
  // Frames: edit (0), active edit (1), panel (2), group box (3), status bar (4), label (5),
  // gauge track (6), gauge bar (7), tab (8), active tab (9).
  {
    TCellRect c = At(0, RowFrames);
    p.Fill(c.L, c.T, c.R, c.B, White);
    p.Frame(c.L, c.T, c.R, c.B, Line);
    c = At(1, RowFrames);
    p.Fill(c.L, c.T, c.R, c.B, White);
    p.Frame(c.L, c.T, c.R, c.B, Accent);
    c = At(2, RowFrames);
    p.Fill(c.L, c.T, c.R, c.B, Face);
    p.Frame(c.L, c.T, c.R, c.B, FaceDark);
    // The group box: its frame line runs through the middle of the caption band (GroupLineY).
    c = At(3, RowFrames);
    p.Fill(c.L, c.T, c.R, c.B, Face);
    p.Frame(c.L, c.T + GroupLineY, c.R, c.B, Line);
    // The status bar: a flat face (tiled by the frameless bar) under a separator line.
    c = At(4, RowFrames);
    p.Fill(c.L, c.T, c.R, c.B, StatusFace);
    p.Fill(c.L, c.T, c.R, c.T + 1, Line);
    // The status bar's size grip: dots on the transparent colour.
    p.Fill(GripL, GripT, GripL + GripSize, GripT + GripSize, Magenta);
    for (int i = 0; i < 3; ++i)
      for (int j = 0; j <= i; ++j) {
        const int x = GripL + GripSize - 4 - 4 * j, y = GripT + GripSize - 4 - 4 * (i - j);
        p.Fill(x, y, x + 2, y + 2, LineDark);
        p.Pixel(x + 2, y + 2, White);
      }
    c = At(5, RowFrames);
    p.Fill(c.L, c.T, c.R, c.B, Face);
    c = At(6, RowFrames);
    p.Box(c.L, c.T, c.R, c.B, FaceDark, Face, Line, Face);
    // The gauge bar: light enough for the dark percentage text over it.
    c = At(7, RowFrames);
    p.Gradient(c.L, c.T, c.R, c.B, GaugeTop, GaugeBottom);
    c = At(8, RowFrames);
    p.Box(c.L, c.T + 2, c.R, c.B + 2, Face, FaceDark, Line, Face);
    c = At(9, RowFrames);
    p.Box(c.L, c.T, c.R, c.B + 2, White, Face, Line, Face);
    p.Fill(c.L + 1, c.T, c.R - 1, c.T + 2, Accent);
  }
  // Scroll-bar pieces: vertical track (0), up N/H/D (1-3), down N/H/D (4-6), vertical thumb
  // N/H/D (7-9), horizontal track (10), left N/H/D (11-13), right N (14), H (15).
  auto scrollButton = [&](TCellRect c, int State, char Dir) {
    const Color fill = State == 0 ? Face : (State == 1 ? AccentLight : AccentMid);
    p.Box(c.L, c.T, c.R, c.B, fill, fill, State == 0 ? Line : Accent, Face);
    p.Arrow(c.L, c.T, c.R, c.B, Dir, State == 0 ? LineDark : Accent);
  };
  auto thumb = [&](TCellRect c, int State) {
    const Color fill = State == 0 ? ThumbFace : (State == 1 ? ThumbHot : LineDark);
    p.Box(c.L + 2, c.T + 2, c.R - 2, c.B - 2, fill, fill, fill, FaceDark);
  };
  {
    TCellRect c = AtSmall(0, ScrollTop);
    p.Fill(c.L, c.T, c.R, c.B, FaceDark);
    for (int s = 0; s < 3; ++s) {
      scrollButton(AtSmall(1 + s, ScrollTop), s, 'u');
      scrollButton(AtSmall(4 + s, ScrollTop), s, 'd');
      p.Fill(AtSmall(7 + s, ScrollTop).L, ScrollTop, AtSmall(7 + s, ScrollTop).R, ScrollTop + Small, FaceDark);
      thumb(AtSmall(7 + s, ScrollTop), s);
    }
    c = AtSmall(10, ScrollTop);
    p.Fill(c.L, c.T, c.R, c.B, FaceDark);
    for (int s = 0; s < 3; ++s)
      scrollButton(AtSmall(11 + s, ScrollTop), s, 'l');
    scrollButton(AtSmall(14, ScrollTop), 0, 'r');
    scrollButton(AtSmall(15, ScrollTop), 1, 'r');
    // Second row: right pressed (0), horizontal thumb N/H/D (1-3), up-down up N/H/D (4-6),
    // up-down down N/H/D (7-9), menu marker (14).
    scrollButton(AtSmall(0, Scroll2Top), 2, 'r');
    for (int s = 0; s < 3; ++s) {
      const TCellRect t = AtSmall(1 + s, Scroll2Top);
      p.Fill(t.L, t.T, t.R, t.B, FaceDark);
      thumb(t, s);
      scrollButton(AtSmall(4 + s, Scroll2Top), s, 'u');
      scrollButton(AtSmall(7 + s, Scroll2Top), s, 'd');
    }
    // Whole scroll bars at rest, the normal buttons part of the picture: horizontal (left
    // button, track, right button) and the same with the corner square where a vertical bar
    // meets it, in the strip at y 104; vertical (up button, track, down button) at x 240.
    for (int both = 0; both < 2; ++both) {
      const int x = both * 48;
      scrollButton({x, BarTop, x + Small, BarTop + Small}, 0, 'l');
      p.Fill(x + Small, BarTop, x + 2 * Small, BarTop + Small, FaceDark);
      scrollButton({x + 2 * Small, BarTop, x + 3 * Small, BarTop + Small}, 0, 'r');
    }
    p.Fill(96, BarTop, 112, BarTop + Small, Face);
    scrollButton({VBarLeft, BarTop, VBarLeft + Small, BarTop + Small}, 0, 'u');
    p.Fill(VBarLeft, BarTop + Small, VBarLeft + Small, BarTop + 2 * Small, FaceDark);
    scrollButton({VBarLeft, BarTop + 2 * Small, VBarLeft + Small, BarTop + 3 * Small}, 0, 'd');
    // Up-down pairs at rest: horizontal (left, right) and vertical (up over down).
    scrollButton({UpDownHLeft, BarTop, UpDownHLeft + Small, BarTop + Small}, 0, 'l');
    scrollButton({UpDownHLeft + Small, BarTop, UpDownHLeft + 2 * Small, BarTop + Small}, 0, 'r');
    scrollButton({UpDownVLeft, BarTop, UpDownVLeft + Small, BarTop + Small}, 0, 'u');
    scrollButton({UpDownVLeft, BarTop + Small, UpDownVLeft + Small, BarTop + 2 * Small}, 0, 'd');
    const TCellRect m = AtSmall(14, Scroll2Top);
    p.Fill(m.L, m.T, m.R, m.B, Magenta);
    p.Arrow(m.L, m.T, m.R, m.B, 'd', Text);
  }
  // List items: normal (0), selected (1), focused (2); tab strip background (5).
  {
    TCellRect c = At(0, RowItems);
    p.Fill(c.L, c.T, c.R, c.B, White);
    c = At(1, RowItems);
    p.Fill(c.L, c.T, c.R, c.B, AccentLight);
    c = At(2, RowItems);
    p.Fill(c.L, c.T, c.R, c.B, AccentLight);
    p.Frame(c.L, c.T, c.R, c.B, Accent);
    c = At(5, RowItems);
    p.Fill(c.L, c.T, c.R, c.B, Face);
    p.Fill(c.L, c.B - 1, c.R, c.B, Line);
  }
  // Grid cells: fixed (0), selected (1), focused (2); vertical gauge track (3) and bar (4);
  // tree/list view frame (5); memo frame (6).
  {
    TCellRect c = At(0, RowGrid);
    p.Gradient(c.L, c.T, c.R, c.B, White, FaceDark);
    p.Frame(c.L, c.T, c.R, c.B, Line);
    c = At(1, RowGrid);
    p.Fill(c.L, c.T, c.R, c.B, AccentMid);
    c = At(2, RowGrid);
    p.Fill(c.L, c.T, c.R, c.B, AccentLight);
    p.Frame(c.L, c.T, c.R, c.B, Accent);
    c = At(3, RowGrid);
    p.Box(c.L, c.T, c.R, c.B, FaceDark, Face, Line, Face);
    c = At(4, RowGrid);
    p.Fill(c.L, c.T, c.R, c.B, GaugeBottom);
    c = At(5, RowGrid);
    p.Fill(c.L, c.T, c.R, c.B, White);
    p.Frame(c.L, c.T, c.R, c.B, Line);
  }
  // The menu bar strip (columns 0-1) and the bevel lines (2).
  {
    TCellRect c = At(0, RowMore, 2 * Cell, Cell);
    p.Gradient(c.L, c.T, c.R, c.B, White, Face);
    p.Fill(c.L, c.B - 1, c.R, c.B, FaceDark);
  }
  // The input controls with their buttons in place (rows at y 192, 216, 240).
  {
    // A button inside an input field: 0 at rest, 1 hot, 2 pressed, 3 disabled. Glyph 'u' or 'd'
    // for an arrow, '.' for the dots of a button edit. Top: a separator line on its top edge.
    auto fieldButton = [&](int L, int T, int R, int B, int State, char Glyph, bool Top) {
      const Color fill = State == 1 ? AccentLight : (State == 2 ? AccentPressed : Face);
      const Color line = State == 3 ? FaceDark : (State == 0 ? Line : Accent);
      const Color glyph = State == 3 ? TextDisabled : (State == 2 ? AccentDark : Text);
      p.Fill(L, T, R, B, fill);
      p.Fill(L, T, L + 1, B, line);
      if (Top)
        p.Fill(L, T, R, T + 1, line);
      if (Glyph == '.') {
        const int cx = (L + 1 + R) / 2, cy = (T + B) / 2;
        for (int d = -4; d <= 4; d += 4)
          p.Fill(cx + d - 1, cy, cx + d + 1, cy + 2, glyph);
      } else {
        p.Arrow(L + 1, T + (Top ? 1 : 0), R, B, Glyph, glyph);
      }
    };
    // The picture of one control: a white field in a frame, the button(s) at rest on the right.
    auto field = [&](int L, int T, bool Active, bool Spin, char Glyph) {
      p.Fill(L, T, L + FieldW, T + FieldH, White);
      p.Frame(L, T, L + FieldW, T + FieldH, Active ? Accent : Line);
      if (Spin) {
        fieldButton(L + FieldButtonL, T + FieldButtonT, L + FieldButtonR, T + SpinSplit, 0, 'u', false);
        fieldButton(L + FieldButtonL, T + SpinSplit, L + FieldButtonR, T + FieldButtonB, 0, 'd', true);
      } else {
        fieldButton(L + FieldButtonL, T + FieldButtonT, L + FieldButtonR, T + FieldButtonB, 0, Glyph, false);
      }
    };
    for (int active = 0; active < 2; ++active) {
      field(active * FieldW, ComboTop, active != 0, false, 'd');
      field(active * FieldW, SpinTop, active != 0, true, 'u');
      field(active * FieldW, ButtonEditTop, active != 0, false, '.');
    }
    // Button looks: hot, pressed, disabled, each as large as the button's place.
    for (int s = 1; s <= 3; ++s) {
      const int x = FieldStatesLeft + (s - 1) * FieldButtonW;
      fieldButton(x, ComboTop + FieldButtonT, x + FieldButtonW, ComboTop + FieldButtonB, s, 'd', false);
      fieldButton(x, ButtonEditTop + FieldButtonT, x + FieldButtonW, ButtonEditTop + FieldButtonB, s, '.', false);
      if (s < 3) {
        fieldButton(x, SpinTop + FieldButtonT, x + FieldButtonW, SpinTop + SpinSplit, s, 'u', false);
        fieldButton(x, SpinTop + SpinSplit, x + FieldButtonW, SpinTop + FieldButtonB, s, 'd', true);
      }
    }
  }
  // The captioned list box (y 264): band, frame and client part, the buttons at rest as glyphs on
  // the band, their hot and pressed looks as boxes beside it.
  {
    constexpr int L = 0, T = CaptionListTop, W = CaptionListW, H = CaptionListH;
    p.Fill(L, T, L + W, T + H, White);
    p.Gradient(L, T, L + W, T + CaptionBand - 1, White, FaceDark);
    p.Fill(L, T + CaptionBand - 1, L + W, T + CaptionBand, Line);
    p.Frame(L, T, L + W, T + H, Line);
    // Button I (0 up, 1 down, 2 check) in State 0 at rest, 1 hot, 2 pressed.
    auto captionButton = [&](int X, int Y, int I, int State) {
      if (State != 0) {
        const Color fill = State == 1 ? AccentLight : AccentPressed;
        p.Box(X, Y, X + Small, Y + Small, fill, fill, State == 1 ? Accent : AccentDark, FaceDark);
      }
      const Color glyph = State == 0 ? Text : (State == 1 ? Accent : AccentDark);
      if (I == 2)
        p.Check(X, Y, glyph);
      else
        p.Arrow(X, Y, X + Small, Y + Small, I == 0 ? 'u' : 'd', glyph);
    };
    for (int i = 0; i < 3; ++i) {
      captionButton(L + CaptionListButtonL(i), T + CaptionListButtonT, i, 0);
      for (int s = 1; s <= 2; ++s)
        captionButton(CaptionListLooksLeft + i * Small, T + (s - 1) * Small, i, s);
    }
  }
  p.Save(Folder + "/controls.bmp");
}

// menu.bmp: popup frame (0,0)-(48,48); item normal (48,0)-(88,20), active (48,20)-(88,40);
// divider (48,40)-(88,44); check/radio/arrow glyphs 12x12 at (96,0); hint frame (0,48)-(48,96);
// menu bar item normal/active/down (48,48)-(88,68), (48,68)-(88,88), (88,48)-(128,68).
void DrawMenu(const std::string& Folder)
{
  TPicture p(MenuW, MenuH, White);
  p.Fill(0, 0, 48, 48, White);
  p.Frame(0, 0, 48, 48, LineDark);
  p.Frame(1, 1, 47, 47, FaceDark);
  p.Fill(48, 0, 88, 20, White);
  p.Box(48, 20, 88, 40, AccentLight, AccentLight, AccentMid, White);
  p.Fill(48, 40, 88, 44, White);
  p.Fill(48, 41, 88, 42, FaceDark);
  for (int active = 0; active < 2; ++active) {
    const int y = active * 12;
    const Color bg = active ? AccentLight : White;
    p.Fill(96, y, 128, y + 12, bg);
    p.LineTo(98, y + 6, 100, y + 9, Text);
    p.LineTo(100, y + 9, 105, y + 3, Text);
    p.Disc(114, y + 6, 2.5, Text);
  }
  p.Fill(96, 24, 120, 36, White);
  p.Arrow(96, 24, 108, 36, 'r', Text);
  p.Fill(108, 24, 120, 36, AccentLight);
  p.Arrow(108, 24, 120, 36, 'r', Text);
  p.Fill(0, 48, 48, 96, 0xFFFFE8);
  p.Frame(0, 48, 48, 96, LineDark);
  p.Fill(48, 48, 88, 68, Face);
  p.Box(48, 68, 88, 88, AccentLight, AccentLight, AccentMid, Face);
  p.Box(88, 48, 128, 68, AccentMid, AccentMid, Accent, Face);
  p.Save(Folder + "/menu.bmp");
  // The popup and hint windows take their frame picture whole (its size is the frame's
  // geometry), so each frame is a picture of its own as well.
  TPicture popup(48, 48, White);
  popup.Frame(0, 0, 48, 48, LineDark);
  popup.Frame(1, 1, 47, 47, FaceDark);
  popup.Save(Folder + "/popup.bmp");
  TPicture hint(48, 48, 0xFFFFE8);
  hint.Frame(0, 0, 48, 48, LineDark);
  hint.Save(Folder + "/hint.bmp");
}

// ---------------------------------------------------------------------------------------------
// The skin texts.

void Font(TIni& I, const std::string& Prefix, Color C, const std::string& Style = "")
{
  I.Key(Prefix + "fontname", "Arial");
  I.Key(Prefix + "fontheight", 14);
  I.Key(Prefix + "fontstyle", Style);
  I.Color(Prefix + "fontcolor", C);
}

// Corner points and client rectangle of a resizable cell of size W x H with an edge E.
void NineSlice(TIni& I, int W, int H, int E, bool Stretch = true)
{
  I.Point("lefttoppoint", E, E);
  I.Point("righttoppoint", W - E, E);
  I.Point("leftbottompoint", E, H - E);
  I.Point("rightbottompoint", W - E, H - E);
  I.Rect("clientrect", E, E, W - E, H - E);
  for (const char* k : {"leftstretch", "topstretch", "rightstretch", "bottomstretch", "stretcheffect"})
    I.Key(k, Stretch ? 1 : 0);
  I.Key("stretchtype", "stfull");
}

void CellKey(TIni& I, const std::string& Key, TCellRect C) { I.Rect(Key, C.L, C.T, C.R, C.B); }

constexpr int PicCaption = 0, PicControls = 1, PicMenu = 2, PicPopup = 3, PicHint = 4;

void ButtonRecord(TIni& I, int FirstCol, bool Flat)
{
  (void)Flat;
  I.Key("pictureindex", PicControls);
  CellKey(I, "skinrect", At(FirstCol, RowButtons));
  NineSlice(I, Cell, Cell, 4);
  Font(I, "", Text);
  I.Color("activefontcolor", Text);
  I.Color("disabledfontcolor", TextDisabled);
  I.Color("downfontcolor", Text);
  I.Key("morphing", 0);
  I.Key("morphkind", "mkdefault");
  CellKey(I, "activeskinrect", At(FirstCol + 1, RowButtons));
  CellKey(I, "downskinrect", At(FirstCol + 2, RowButtons));
  CellKey(I, "disabledskinrect", At(FirstCol + 3, RowButtons));
  CellKey(I, "focusedskinrect", At(FirstCol + 4, RowButtons));
  I.Key("showfocus", 0);
  CellKey(I, "menumarkerrect", AtSmall(14, Scroll2Top));
  CellKey(I, "menumarkeractiverect", AtSmall(14, Scroll2Top));
  CellKey(I, "menumarkerdownrect", AtSmall(14, Scroll2Top));
  CellKey(I, "menumarkerflatrect", AtSmall(14, Scroll2Top));
  I.Color("menumarkertransparentcolor", Magenta);
  I.Key("glowlayerpictureindex", -1);
  I.Key("glowlayermaskpictureindex", -1);
}

void FrameRecord(TIni& I, TCellRect C, int Edge)
{
  I.Key("pictureindex", PicControls);
  CellKey(I, "skinrect", C);
  NineSlice(I, C.R - C.L, C.B - C.T, Edge);
}

// A scroll bar's picture is the whole bar at rest (button, track, button); the track stretches
// along the axis, the far button follows the far end. The button and track places are relative
// to the picture; the hot and pressed button pictures and the thumbs are cells of the atlas.
void ScrollBarRecord(TIni& I, bool Vertical, bool Both)
{
  I.Key("pictureindex", PicControls);
  if (Vertical) {
    I.Rect("skinrect", VBarLeft, BarTop, VBarLeft + Small, BarTop + 3 * Small);
    I.Point("lefttoppoint", 0, Small);
    I.Point("leftbottompoint", 0, 2 * Small - 1);
    I.Rect("clientrect", 0, Small, Small, 2 * Small);
    I.Rect("trackarea", 0, Small, Small, 2 * Small);
    I.Rect("upbuttonrect", 0, 2 * Small, Small, 3 * Small);
    CellKey(I, "activeupbuttonrect", AtSmall(5, ScrollTop));
    CellKey(I, "downupbuttonrect", AtSmall(6, ScrollTop));
    I.Rect("downbuttonrect", 0, 0, Small, Small);
    CellKey(I, "activedownbuttonrect", AtSmall(2, ScrollTop));
    CellKey(I, "downdownbuttonrect", AtSmall(3, ScrollTop));
    CellKey(I, "thumbrect", AtSmall(7, ScrollTop));
    CellKey(I, "activethumbrect", AtSmall(8, ScrollTop));
    CellKey(I, "downthumbrect", AtSmall(9, ScrollTop));
  } else {
    const int x = Both ? 48 : 0;
    I.Rect("skinrect", x, BarTop, x + (Both ? 4 : 3) * Small, BarTop + Small);
    I.Point("lefttoppoint", Small, 0);
    I.Point("righttoppoint", 2 * Small - 1, 0);
    I.Rect("clientrect", Small, 0, 2 * Small, Small);
    I.Rect("trackarea", Small, 0, 2 * Small, Small);
    I.Rect("upbuttonrect", 2 * Small, 0, 3 * Small, Small);
    CellKey(I, "activeupbuttonrect", AtSmall(15, ScrollTop));
    CellKey(I, "downupbuttonrect", AtSmall(0, Scroll2Top));
    I.Rect("downbuttonrect", 0, 0, Small, Small);
    CellKey(I, "activedownbuttonrect", AtSmall(12, ScrollTop));
    CellKey(I, "downdownbuttonrect", AtSmall(13, ScrollTop));
    CellKey(I, "thumbrect", AtSmall(1, Scroll2Top));
    CellKey(I, "activethumbrect", AtSmall(2, Scroll2Top));
    CellKey(I, "downthumbrect", AtSmall(3, Scroll2Top));
  }
  for (const char* k : {"leftstretch", "topstretch", "rightstretch", "bottomstretch", "stretcheffect"})
    I.Key(k, 1);
  I.Key("stretchtype", "stfull");
  I.Key("thumboffset1", 4);
  I.Key("thumboffset2", 4);
  I.Key("thumbtransparent", 0);
  I.Color("thumbtransparentcolor", Magenta);
  I.Key("thumbstretcheffect", 1);
  I.Key("thumbminsize", 0);
  I.Key("thumbminpagesize", 0);
}

// An up-down's picture is the pair at rest; the button places are relative to it, the hot and
// pressed button pictures are cells of the atlas.
void UpDownRecord(TIni& I, bool Vertical)
{
  I.Key("pictureindex", PicControls);
  if (Vertical) {
    I.Rect("skinrect", UpDownVLeft, BarTop, UpDownVLeft + Small, BarTop + 2 * Small);
    I.Rect("upbuttonrect", 0, 0, Small, Small);
    CellKey(I, "activeupbuttonrect", AtSmall(5, Scroll2Top));
    CellKey(I, "downupbuttonrect", AtSmall(6, Scroll2Top));
    I.Rect("downbuttonrect", 0, Small, Small, 2 * Small);
    CellKey(I, "activedownbuttonrect", AtSmall(8, Scroll2Top));
    CellKey(I, "downdownbuttonrect", AtSmall(9, Scroll2Top));
  } else {
    // A horizontal up-down: the left arrow lowers, the right arrow raises.
    I.Rect("skinrect", UpDownHLeft, BarTop, UpDownHLeft + 2 * Small, BarTop + Small);
    I.Rect("upbuttonrect", Small, 0, 2 * Small, Small);
    CellKey(I, "activeupbuttonrect", AtSmall(15, ScrollTop));
    CellKey(I, "downupbuttonrect", AtSmall(0, Scroll2Top));
    I.Rect("downbuttonrect", 0, 0, Small, Small);
    CellKey(I, "activedownbuttonrect", AtSmall(12, ScrollTop));
    CellKey(I, "downdownbuttonrect", AtSmall(13, ScrollTop));
  }
}

// An input control whose picture (at rest in the row's first cell, hot in the second) carries
// its button(s) at the right end: the text part stretches, the button part is fixed. The corner
// points and the client part are relative to the picture; only the top points are given, so the
// control stretches in width and takes the picture's height.
void FieldRecord(TIni& I, int Top)
{
  I.Key("pictureindex", PicControls);
  I.Rect("skinrect", 0, Top, FieldW, Top + FieldH);
  I.Point("lefttoppoint", 2, 2);
  I.Point("righttoppoint", FieldTextRight, 2);
  I.Rect("clientrect", 2, 2, FieldTextRight, FieldH - 2);
  for (const char* k : {"leftstretch", "topstretch", "rightstretch", "bottomstretch", "stretcheffect"})
    I.Key(k, 1);
  I.Key("stretchtype", "stfull");
  I.Rect("activeskinrect", FieldActiveLeft, Top, FieldActiveLeft + FieldW, Top + FieldH);
}

// The drop button of a combo box and the button of a button edit: "buttonrect" is its place on
// the control (its look at rest is part of the picture); the hot, pressed and disabled looks are
// cells of the row, copied over that place.
void FieldButton(TIni& I, int Top)
{
  I.Rect("buttonrect", FieldButtonL, FieldButtonT, FieldButtonR, FieldButtonB);
  const char* keys[] = {"activebuttonrect", "downbuttonrect", "unenabledbuttonrect"};
  for (int s = 0; s < 3; ++s) {
    const int x = FieldStatesLeft + s * FieldButtonW;
    I.Rect(keys[s], x, Top + FieldButtonT, x + FieldButtonW, Top + FieldButtonB);
  }
}

void EditRecord(TIni& I)
{
  FrameRecord(I, At(0, RowFrames), 2);
  CellKey(I, "activeskinrect", At(1, RowFrames));
  Font(I, "", Text);
  I.Color("disabledfontcolor", TextDisabled);
  I.Color("activefontcolor", Text);
}

void ButtonEditRecord(TIni& I)
{
  FieldRecord(I, ButtonEditTop);
  Font(I, "", Text);
  I.Color("disabledfontcolor", TextDisabled);
  I.Color("activefontcolor", Text);
  FieldButton(I, ButtonEditTop);
}

// The items of a list record. TextLeft: where the item text starts (a check list leaves room for
// its check box).
void ListItemKeys(TIni& I, int TextLeft)
{
  CellKey(I, "itemrect", At(0, RowItems, Cell, 20));
  CellKey(I, "activeitemrect", At(1, RowItems, Cell, 20));
  CellKey(I, "focusitemrect", At(2, RowItems, Cell, 20));
  I.Key("itemleftoffset", 1);
  I.Key("itemrightoffset", 1);
  I.Rect("itemtextrect", TextLeft, 0, 20, 20);
  Font(I, "", Text);
  I.Color("activefontcolor", Text);
  I.Color("focusfontcolor", Text);
  I.Key("vscrollbarname", "vscrollbar");
  I.Key("hscrollbarname", "hscrollbar");
  I.Key("bothhscrollbarname", "bothhscrollbar");
  I.Key("showfocus", 1);
}

// A list without a caption band: the edit's frame around the items. It has no caption buttons:
// a list that shows a caption names the captioned record.
void ListBoxRecord(TIni& I, int TextLeft = 4)
{
  FrameRecord(I, At(0, RowFrames), 2);
  ListItemKeys(I, TextLeft);
}

// A list under a caption band. The band is the top frame band: its middle grows with the width,
// its right end with the caption buttons stays at the right edge (the buttons' places are on the
// control, their looks at rest part of the picture, their hot and pressed looks cells beside it).
void CaptionListBoxRecord(TIni& I, int TextLeft = 4)
{
  constexpr int W = CaptionListW, H = CaptionListH, Top = CaptionBand + 1;
  I.Key("pictureindex", PicControls);
  I.Rect("skinrect", 0, CaptionListTop, W, CaptionListTop + H);
  I.Point("lefttoppoint", 2, Top);
  I.Point("righttoppoint", CaptionListTextRight, Top);
  I.Point("leftbottompoint", 2, H - 2);
  I.Point("rightbottompoint", W - 2, H - 2);
  I.Rect("clientrect", 2, Top, W - 2, H - 2);
  for (const char* k : {"leftstretch", "topstretch", "rightstretch", "bottomstretch", "stretcheffect"})
    I.Key(k, 1);
  I.Key("stretchtype", "stfull");
  ListItemKeys(I, TextLeft);
  I.Rect("captionrect", 2, 0, CaptionListTextRight, CaptionBand - 1);
  Font(I, "caption", Text, "fsbold");
  const char* const names[] = {"up", "down", "check"};
  for (int i = 0; i < 3; ++i) {
    const std::string n = names[i];
    const int x = CaptionListButtonL(i), look = CaptionListLooksLeft + i * Small;
    I.Rect(n + "buttonrect", x, CaptionListButtonT, x + Small, CaptionListButtonT + Small);
    I.Rect("active" + n + "buttonrect", look, CaptionListTop, look + Small, CaptionListTop + Small);
    I.Rect("down" + n + "buttonrect", look, CaptionListTop + Small, look + Small, CaptionListTop + 2 * Small);
  }
}

std::vector<TRecord> Controls()
{
  std::vector<TRecord> r;
  auto button = [&](const char* Name, int FirstCol, bool Flat) {
    r.push_back({Name, "button", [=](TIni& I) { ButtonRecord(I, FirstCol, Flat); }});
  };
  button("button", 0, false);
  button("resizebutton", 0, false);
  button("editbutton", 0, false);
  button("combobutton", 0, false);
  button("toolbutton", 5, true);
  button("resizetoolbutton", 5, true);
  r.push_back({"toolmenubutton", "menubutton", [](TIni& I) {
                 ButtonRecord(I, 5, true);
                 CellKey(I, "trackbuttonrect", AtSmall(14, Scroll2Top));
               }});
  auto checkRadio = [&](const char* Name, int First) {
    r.push_back({Name, "checkradio", [=](TIni& I) {
                   FrameRecord(I, At(5, RowFrames), 0);
                   Font(I, "", Text);
                   I.Color("activefontcolor", Text);
                   I.Color("unenabledfontcolor", TextDisabled);
                   I.Color("framefontcolor", Text);
                   I.Key("morphing", 0);
                   I.Rect("checkimagearea", 0, 4, 16, 20);
                   I.Rect("textarea", 20, 0, 24, 24);
                   CellKey(I, "uncheckimagerect", AtSmall(First, CheckTop));
                   CellKey(I, "checkimagerect", AtSmall(First + 1, CheckTop));
                   CellKey(I, "activeuncheckimagerect", AtSmall(First + 2, CheckTop));
                   CellKey(I, "activecheckimagerect", AtSmall(First + 3, CheckTop));
                   CellKey(I, "unenableduncheckimagerect", AtSmall(First + 4, CheckTop));
                   CellKey(I, "unenabledcheckimagerect", AtSmall(First + 5, CheckTop));
                   if (First == 0) {
                     CellKey(I, "grayedcheckimagerect", AtSmall(6, CheckTop));
                     CellKey(I, "activegrayedcheckimagerect", AtSmall(7, CheckTop));
                   }
                 }});
  };
  checkRadio("checkbox", 0);
  checkRadio("radiobox", 8);
  auto panel = [&](const char* Name, int Col, bool Caption) {
    r.push_back({Name, "panel", [=](TIni& I) {
                   if (Caption) {
                     // The caption band is the top edge: the caption is drawn into it, on a
                     // face-coloured patch ("framerect") that interrupts the frame line.
                     const TCellRect c = At(Col, RowFrames);
                     I.Key("pictureindex", PicControls);
                     CellKey(I, "skinrect", c);
                     I.Point("lefttoppoint", 6, GroupCaptionH);
                     I.Point("righttoppoint", Cell - 6, GroupCaptionH);
                     I.Point("leftbottompoint", 6, Cell - 3);
                     I.Point("rightbottompoint", Cell - 6, Cell - 3);
                     I.Rect("clientrect", 6, GroupCaptionH, Cell - 6, Cell - 3);
                     for (const char* k : {"leftstretch", "topstretch", "rightstretch", "bottomstretch", "stretcheffect"})
                       I.Key(k, 1);
                     I.Key("stretchtype", "stfull");
                     // From the left corner to the right one, so that it follows the width.
                     I.Rect("captionrect", 6, 0, Cell - 6, GroupCaptionH);
                     const TCellRect patch = At(5, RowFrames, 12, GroupCaptionH);
                     CellKey(I, "framerect", patch);
                     I.Rect("frametextrect", 4, 0, 8, GroupCaptionH);
                     I.Key("frameleftoffset", 4);
                     I.Key("framerightoffset", 4);
                     CellKey(I, "checkimagerect", AtSmall(1, CheckTop));
                     CellKey(I, "uncheckimagerect", AtSmall(0, CheckTop));
                   } else {
                     FrameRecord(I, At(Col, RowFrames), 2);
                   }
                   I.Key("bgpictureindex", -1);
                   I.Key("alignment", "taleftjustify");
                   Font(I, "", Text, Caption ? "fsbold" : "");
                   if (std::string(Name) == "statusbar") {
                     I.Rect("gripperrect", GripL, GripT, GripL + GripSize, GripT + GripSize);
                     I.Key("grippertransparent", 1);
                   } else {
                     I.Key("grippertransparent", 0);
                   }
                   I.Color("grippertransparentcolor", Magenta);
                 }});
  };
  panel("panel", 2, false);
  panel("toolpanel", 2, false);
  panel("groupbox", 3, true);
  panel("statusbar", 4, false);
  auto label = [&](const char* Name, int Col) {
    r.push_back({Name, "label", [=](TIni& I) {
                   FrameRecord(I, At(Col, RowFrames), 2);
                   Font(I, "", Text);
                 }});
  };
  label("label", 5);
  label("statuspanel", 4);
  r.push_back({"stdlabel", "stdlabel", [](TIni& I) {
                 Font(I, "", Text);
                 I.Color("activefontcolor", Accent);
               }});
  for (const char* name : {"edit", "tooledit"})
    r.push_back({name, "edit", EditRecord});
  r.push_back({"buttonedit", "edit", ButtonEditRecord});
  r.push_back({"memo", "memo", [](TIni& I) {
                 EditRecord(I);
                 I.Color("bgcolor", White);
                 I.Color("activebgcolor", White);
               }});
  r.push_back({"spinedit", "spinedit", [](TIni& I) {
                 // The buttons' places are on the control, their looks at rest in the picture;
                 // the hot and pressed looks are cells of the row.
                 FieldRecord(I, SpinTop);
                 Font(I, "", Text);
                 I.Color("activefontcolor", Text);
                 I.Color("disabledfontcolor", TextDisabled);
                 I.Rect("upbuttonrect", FieldButtonL, FieldButtonT, FieldButtonR, SpinSplit);
                 I.Rect("downbuttonrect", FieldButtonL, SpinSplit, FieldButtonR, FieldButtonB);
                 for (int s = 0; s < 2; ++s) {
                   const int x = FieldStatesLeft + s * FieldButtonW;
                   I.Rect(s == 0 ? "activeupbuttonrect" : "downupbuttonrect", x, SpinTop + FieldButtonT,
                          x + FieldButtonW, SpinTop + SpinSplit);
                   I.Rect(s == 0 ? "activedownbuttonrect" : "downdownbuttonrect", x, SpinTop + SpinSplit,
                          x + FieldButtonW, SpinTop + FieldButtonB);
                 }
               }});
  r.push_back({"combobox", "combobox", [](TIni& I) {
                 FieldRecord(I, ComboTop);
                 CellKey(I, "itemrect", At(0, RowItems, Cell, 20));
                 CellKey(I, "activeitemrect", At(1, RowItems, Cell, 20));
                 CellKey(I, "focusitemrect", At(2, RowItems, Cell, 20));
                 I.Key("itemleftoffset", 1);
                 I.Key("itemrightoffset", 1);
                 I.Rect("itemtextrect", 4, 0, 20, 20);
                 Font(I, "", Text);
                 I.Color("focusfontcolor", Text);
                 I.Color("activefontcolor", Text);
                 I.Key("listboxname", "listbox");
                 FieldButton(I, ComboTop);
                 I.Key("showfocus", 0);
               }});
  r.push_back({"listbox", "listbox", [](TIni& I) { ListBoxRecord(I); }});
  auto checkImages = [](TIni& I) {
    CellKey(I, "checkimagerect", AtSmall(1, CheckTop));
    CellKey(I, "uncheckimagerect", AtSmall(0, CheckTop));
    I.Rect("itemcheckrect", 2, 2, 18, 18);
  };
  r.push_back({"checklistbox", "checklistbox", [=](TIni& I) {
                 ListBoxRecord(I, 20);
                 checkImages(I);
               }});
  r.push_back({"captionlistbox", "listbox", [](TIni& I) { CaptionListBoxRecord(I); }});
  r.push_back({"captionchecklistbox", "checklistbox", [=](TIni& I) {
                 CaptionListBoxRecord(I, 20);
                 checkImages(I);
               }});
  r.push_back({"vscrollbar", "scrollbar", [](TIni& I) { ScrollBarRecord(I, true, false); }});
  r.push_back({"hscrollbar", "scrollbar", [](TIni& I) { ScrollBarRecord(I, false, false); }});
  r.push_back({"bothhscrollbar", "scrollbar", [](TIni& I) { ScrollBarRecord(I, false, true); }});
  r.push_back({"hupdown", "updown", [](TIni& I) { UpDownRecord(I, false); }});
  r.push_back({"vupdown", "updown", [](TIni& I) { UpDownRecord(I, true); }});
  r.push_back({"tab", "tab", [](TIni& I) {
                 I.Key("pictureindex", PicControls);
                 CellKey(I, "skinrect", At(2, RowFrames));
                 CellKey(I, "tabrect", At(8, RowFrames));
                 CellKey(I, "activetabrect", At(9, RowFrames));
                 CellKey(I, "focustabrect", At(9, RowFrames));
                 CellKey(I, "mouseintabrect", At(9, RowFrames));
                 I.Rect("clientrect", 2, 2, 22, 22);
                 I.Key("bgpictureindex", -1);
                 I.Point("lefttoppoint", 2, 2);
                 I.Point("righttoppoint", 22, 2);
                 I.Point("leftbottompoint", 2, 22);
                 I.Point("rightbottompoint", 22, 22);
                 I.Key("tableftoffset", 4);
                 I.Key("tabrightoffset", 4);
                 CellKey(I, "tabsbgrect", At(5, RowItems));
                 for (const char* k : {"tabstretcheffect", "leftstretch", "topstretch", "rightstretch", "bottomstretch",
                                       "stretcheffect"})
                   I.Key(k, 1);
                 I.Key("stretchtype", "stfull");
                 Font(I, "", Text);
                 I.Color("activefontcolor", Text);
                 I.Color("focusfontcolor", Text);
                 I.Color("mouseinfontcolor", Accent);
                 I.Key("updown", "hupdown");
                 I.Key("showfocus", 0);
               }});
  r.push_back({"grid", "grid", [](TIni& I) {
                 I.Key("pictureindex", PicControls);
                 CellKey(I, "skinrect", At(5, RowGrid));
                 CellKey(I, "fixedcellrect", At(0, RowGrid));
                 CellKey(I, "selectcellrect", At(1, RowGrid));
                 CellKey(I, "focuscellrect", At(2, RowGrid));
                 I.Key("fixedcellleftoffset", 2);
                 I.Key("fixedcellrightoffset", 2);
                 I.Rect("fixedcelltextrect", 2, 0, 22, 24);
                 I.Key("cellleftoffset", 1);
                 I.Key("cellrightoffset", 1);
                 I.Rect("celltextrect", 2, 0, 22, 24);
                 I.Color("linescolor", FaceDark);
                 I.Color("bgcolor", White);
                 I.Key("bgpictureindex", -1);
                 Font(I, "", Text);
                 I.Color("selectfontcolor", Text);
                 I.Color("focusfontcolor", Text);
                 Font(I, "fixed", Text, "fsbold");
                 I.Key("cellstretcheffect", 1);
                 I.Key("fixedcellstretcheffect", 1);
                 I.Key("showfocus", 0);
               }});
  auto gauge = [&](const char* Name, bool Vertical) {
    r.push_back({Name, "gauge", [=](TIni& I) {
                   FrameRecord(I, Vertical ? At(3, RowGrid) : At(6, RowFrames), 2);
                   I.Rect("progressarea", 2, 2, 22, 22);
                   CellKey(I, "progressrect", Vertical ? At(4, RowGrid) : At(7, RowFrames));
                   I.Key("beginoffset", 0);
                   I.Key("endoffset", 0);
                   I.Key("vertical", Vertical ? 1 : 0);
                   Font(I, "", Text, "fsbold");
                   I.Key("progresstransparent", 0);
                   I.Color("progresstransparentcolor", Magenta);
                   I.Key("progressstretch", 1);
                 }});
  };
  gauge("gauge", false);
  gauge("vgauge", true);
  r.push_back({"bevel", "bevel", [](TIni& I) {
                 I.Color("lightcolor", White);
                 I.Color("darkcolor", Line);
               }});
  r.push_back({"mainmenubar", "mainmenubar", [](TIni& I) {
                 I.Key("pictureindex", PicControls);
                 CellKey(I, "skinrect", At(0, RowMore, 2 * Cell, Cell));
                 I.Rect("itemsrect", 0, 0, 48, 24);
                 I.Key("menubaritem", "mainmenubaritem");
                 I.Key("closebutton", "mmclosebutton");
                 I.Key("minbutton", "mmminbutton");
                 I.Key("maxbutton", "mmmaxbutton");
                 I.Key("sysmenubutton", "mmsysmenubutton");
                 I.Color("trackmarkcolor", LineDark);
                 I.Color("trackmarkactivecolor", Accent);
                 I.Key("stretcheffect", 1);
                 I.Key("itemtransparent", 0);
               }});
  auto view = [&](const char* Name, const char* Kind) {
    r.push_back({Name, Kind, [](TIni& I) {
                   I.Key("pictureindex", PicControls);
                   CellKey(I, "skinrect", At(5, RowGrid));
                   Font(I, "", Text);
                   I.Color("bgcolor", White);
                 }});
  };
  view("treeview", "treeview");
  view("listview", "listview");
  view("richedit", "richedit");
  return r;
}

// Caption buttons: normal look in the frame picture, hot and pressed in captionbuttons.bmp.
std::vector<TRecord> Objects()
{
  std::vector<TRecord> r;
  struct TButton {
    const char* Name;
    const char* Command;
    const char* Hint;
    TCaptionGlyph Glyph;
    int Slot; // -1: the system menu button on the left
  };
  const TButton buttons[] = {
      {"closebutton", "cmclose", "Close", cgClose, 0},       {"maxbutton", "cmmaximize", "Maximize", cgMax, 1},
      {"minbutton", "cmminimize", "Minimize", cgMin, 2},      {"rollupbutton", "cmrollup", "Roll Up", cgRollUp, 3},
      {"traybutton", "cmminimizetotray", "Minimize to Tray", cgTray, 4},
      {"sysmenubutton", "cmsysmenu", "System menu", cgSysMenu, -1},
  };
  auto glyphCell = [](TIni& I, const std::string& Key, TCaptionGlyph G, int Row) {
    I.Rect(Key, G * CapButton, Row * CapButton, G * CapButton + CapButton, Row * CapButton + CapButton);
  };
  for (const TButton& b : buttons) {
    r.push_back({b.Name, "stdbutton", [=](TIni& I) {
                   I.Key("hint", b.Hint);
                   I.Key("activepictureindex", PicCaption);
                   const int x = b.Slot < 0 ? SysMenuX : CapButtonX(b.Slot);
                   I.Rect("skinrect", x, CapButtonTop, x + CapButton, CapButtonTop + CapButton);
                   glyphCell(I, "activeskinrect", b.Glyph, 0);
                   glyphCell(I, "downrect", b.Glyph, 1);
                   I.Key("morphing", 0);
                   I.Key("command", b.Command);
                   if (b.Glyph == cgMax) {
                     glyphCell(I, "restorerect", cgRestore, 0);
                     glyphCell(I, "restoreactiverect", cgRestore, 0);
                     glyphCell(I, "restoredownrect", cgRestore, 1);
                     I.Key("restorehint", "Restore");
                   }
                 }});
  }
  r.push_back({"caption", "caption", [](TIni& I) {
                 // Inside the top corner areas (so it grows with the window); the text area
                 // is relative to the caption's own top-left.
                 I.Rect("skinrect", 30, 0, CapButtonX(4) - 4, CaptionH - 1);
                 I.Rect("textrect", 0, 0, CapButtonX(4) - 34, CaptionH - 1);
                 Font(I, "", CaptionTextInactive, "fsbold");
                 I.Color("activefontcolor", White);
                 I.Key("alignment", "taleftjustify");
                 I.Key("defaultcaption", 1);
                 I.Key("stretcheffect", 1);
               }});
  r.push_back({"menuitem", "menuitem", [](TIni& I) {
                 I.Key("activepictureindex", PicMenu);
                 I.Rect("skinrect", 48, 0, 88, 20);
                 I.Rect("activeskinrect", 48, 20, 88, 40);
                 I.Key("itemleftoffset", 4);
                 I.Key("itemrightoffset", 4);
                 I.Rect("dividerrect", 48, 40, 88, 44);
                 I.Key("dividerleftoffset", 2);
                 I.Key("dividerrightoffset", 2);
                 I.Rect("textrect", 24, 0, 36, 20);
                 I.Rect("imagerect", 2, 2, 18, 18);
                 Font(I, "", Text);
                 I.Color("activefontcolor", Text);
                 I.Color("unenabledfontcolor", TextDisabled);
                 I.Key("stretcheffect", 1);
                 I.Key("inactivestretcheffect", 1);
                 I.Key("dividerstretcheffect", 1);
                 I.Rect("checkimagerect", 96, 0, 108, 12);
                 I.Rect("activecheckimagerect", 96, 12, 108, 24);
                 I.Rect("radioimagerect", 108, 0, 120, 12);
                 I.Rect("activeradioimagerect", 108, 12, 120, 24);
                 I.Rect("arrowimagerect", 96, 24, 108, 36);
                 I.Rect("activearrowimagerect", 108, 24, 120, 36);
               }});
  auto barItem = [&](const char* Name, const char* Kind) {
    r.push_back({Name, Kind, [](TIni& I) {
                   I.Key("activepictureindex", PicMenu);
                   I.Rect("skinrect", 48, 48, 88, 68);
                   I.Rect("activeskinrect", 48, 68, 88, 88);
                   I.Rect("downrect", 88, 48, 128, 68);
                   I.Key("itemleftoffset", 4);
                   I.Key("itemrightoffset", 4);
                   I.Rect("textrect", 6, 0, 34, 20);
                   Font(I, "", Text);
                   I.Color("activefontcolor", Text);
                   I.Color("downfontcolor", Text);
                   I.Color("unenabledfontcolor", TextDisabled);
                   I.Key("stretcheffect", 1);
                 }});
  };
  barItem("mainmenubaritem", "mainmenubaritem");
  const struct {
    const char* Name;
    const char* Command;
    TCaptionGlyph Glyph;
  } barButtons[] = {{"mmsysmenubutton", "cmsysmenu", cgSysMenu},
                    {"mmclosebutton", "cmclose", cgClose},
                    {"mmmaxbutton", "cmmaximize", cgMax},
                    {"mmminbutton", "cmminimize", cgMin}};
  for (const auto& b : barButtons) {
    r.push_back({b.Name, "mainmenubarbutton", [=](TIni& I) {
                   I.Key("activepictureindex", PicCaption);
                   I.Rect("skinrect", b.Glyph * CapButton, 0, b.Glyph * CapButton + CapButton, CapButton);
                   I.Rect("activeskinrect", b.Glyph * CapButton, 0, b.Glyph * CapButton + CapButton, CapButton);
                   I.Rect("downrect", b.Glyph * CapButton, CapButton, b.Glyph * CapButton + CapButton, 2 * CapButton);
                   I.Key("command", b.Command);
                 }});
  }
  return r;
}

std::string SkinText(const std::string& Kind)
{
  TIni i;
  i.Section("VERSION");
  i.Key("skinname", Kind == "frame" ? "Quelvo frame" : "Quelvo controls");
  i.Key("skinauthor", "Quelvo 3");
  i.Key("ver", 3);
  i.Section("PICTURES");
  i.Key("picture", "frame.bmp");
  i.Key("activepicturescount", 5);
  i.Key("0", "captionbuttons.bmp");
  i.Key("1", "controls.bmp");
  i.Key("2", "menu.bmp");
  i.Key("3", "popup.bmp");
  i.Key("4", "hint.bmp");

  i.Section("FORMINFO");
  i.Point("lefttoppoint", 40, ClientT);
  i.Point("righttoppoint", CapButtonX(4) - 6, ClientT);
  i.Point("leftbottompoint", ClientL, ClientB);
  i.Point("rightbottompoint", ClientR, ClientB);
  i.Rect("clientrect", ClientL, ClientT, ClientR, ClientB);
  i.Key("bgpictureindex", -1);
  for (const char* k : {"leftstretch", "rightstretch", "topstretch", "bottomstretch", "stretcheffect"})
    i.Key(k, 1);
  i.Key("stretchtype", "stfull");
  i.Rect("buttonsrect", CapButtonX(4), CapButtonTop, FrameW - Border, CapButtonTop + CapButton);
  i.Rect("captionrect", 30, 0, CapButtonX(4) - 4, CaptionH);
  i.Key("buttonsoffset", 2);
  i.Key("buttonsinleft", 0);
  i.Point("hittestlefttoppoint", Border, Border);
  i.Point("hittestrighttoppoint", FrameW - Border, Border);
  i.Point("hittestleftbottompoint", Border, FrameH - Border);
  i.Point("hittestrightbottompoint", FrameW - Border, FrameH - Border);
  i.Rect("mainmenurect", ClientL, ClientT, ClientR, ClientT + 20);
  i.Rect("iconrect", SysMenuX, CapButtonTop, SysMenuX + 16, CapButtonTop + 16);
  i.Key("borderwidth", Border);
  i.Key("formminwidth", 160);
  i.Key("autorenderinginactiveimage", 1);
  i.Key("inactiveeffect", "iebrightness");
  i.Rect("sizegriparea", ClientR - 16, ClientB - 16, ClientR, ClientB);
  i.Key("statusbarname", "statusbar");

  // The popup and hint frames, each a picture of its own: their inner corners, all edges
  // stretched.
  const auto windowFrame = [&i](int Picture, int L, int T, int R, int B) {
    i.Key("windowpictureindex", Picture);
    i.Key("maskpictureindex", -1);
    i.Point("lefttoppoint", L, T);
    i.Point("righttoppoint", R, T);
    i.Point("leftbottompoint", L, B);
    i.Point("rightbottompoint", R, B);
    for (const char* k : {"leftstretch", "rightstretch", "topstretch", "bottomstretch", "stretcheffect"})
      i.Key(k, 1);
    i.Key("stretchtype", "stfull");
  };
  i.Section("POPUPWINDOW");
  windowFrame(PicPopup, 3, 3, 45, 45);
  i.Rect("itemsrect", 3, 3, 45, 45);
  i.Color("scrollmarkercolor", LineDark);
  i.Color("scrollmarkeractivecolor", Accent);

  i.Section("HINTWINDOW");
  windowFrame(PicHint, 2, 2, 46, 46);
  i.Rect("clientrect", 4, 4, 44, 44);
  Font(i, "", Text);

  i.Section("SKINCOLORS");
  i.Color("cbtnface", Face);
  i.Color("cbtntext", Text);
  i.Color("cwindow", White);
  i.Color("cwindowtext", Text);
  i.Color("chighlight", Accent);
  i.Color("chighlighttext", White);
  i.Color("cbtnhighlight", White);
  i.Color("cbtnshadow", Line);
  i.Color("c3dlight", FaceDark);
  i.Color("c3ddkshadow", LineDark);

  const auto objects = Objects();
  const auto controls = Controls();
  i.Section("SKINOBJECTS");
  i.Key("count", static_cast<int>(objects.size()));
  for (std::size_t n = 0; n < objects.size(); ++n)
    i.Key(std::to_string(n), objects[n].Name + ":" + objects[n].Kind);
  i.Section("SKINCONTROLS");
  // Both skins carry every control record, the tool panel's and the tool edit's looks too: the
  // skinned dialogs may take either skin.
  std::vector<const TRecord*> used;
  for (const TRecord& rec : controls)
    used.push_back(&rec);
  i.Key("count", static_cast<int>(used.size()));
  for (std::size_t n = 0; n < used.size(); ++n)
    i.Key(std::to_string(n), used[n]->Name + ":" + used[n]->Kind);
  for (const TRecord& rec : objects) {
    i.Section(rec.Name);
    rec.Keys(i);
  }
  for (const TRecord* rec : used) {
    i.Section(rec->Name);
    rec->Keys(i);
  }
  return i.Text();
}

// The frame skin's colours: warm ivory faces, a green accent, a forest caption bar.
void UseFramePalette()
{
  Face = 0xF5F2EB;
  FaceDark = 0xE7E1D4;
  Line = 0xC4BBA9;
  LineDark = 0x958B78;
  Text = 0x2A2620;
  TextDisabled = 0xA99F8E;
  Accent = 0x2D8A5C;
  AccentLight = 0xDCEFE3;
  AccentMid = 0xB6DCC5;
  AccentPressed = 0x88C4A2;
  CheckDisabled = 0xECE8DF;
  AccentDark = 0x1E6443;
  Caption = 0x27473A;
  CaptionHot = 0x3B6352;
  CaptionDown = 0x18312A;
  CaptionTextInactive = 0xCBD9D1;
  ThumbFace = 0xD6CFC1;
  ThumbHot = 0xB5AC9B;
  StatusFace = 0xEDE8DE;
  GaugeTop = 0xA4DBBB;
  GaugeBottom = 0x62B689;
}

} // namespace

int main(int argc, char** argv)
{
  if (argc != 3 || (std::string(argv[1]) != "frame" && std::string(argv[1]) != "controls")) {
    std::cerr << "usage: skingen <frame|controls> <folder>\n";
    return 2;
  }
  const std::string kind = argv[1], folder = argv[2];
  if (kind == "frame")
    UseFramePalette();
  try {
    DrawFrame(folder);
    DrawCaptionButtons(folder);
    DrawControls(folder);
    DrawMenu(folder);
    std::ofstream ini(folder + "/skin.ini", std::ios::binary | std::ios::trunc);
    ini << SkinText(kind);
    if (!ini.flush()) {
      std::cerr << "skingen: cannot write " << folder << "/skin.ini\n";
      return 1;
    }
  } catch (const std::exception& E) {
    std::cerr << "skingen: " << E.what() << "\n";
    return 1;
  }
  return 0;
}
