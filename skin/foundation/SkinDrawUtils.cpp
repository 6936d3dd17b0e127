#include "skin/foundation/SkinDrawUtils.h"

#include <vector>

#include "platform/gdi/Gdi.h"
#include "platform/gdi/TextCodec.h"
#include "platform/os/SystemInfo.h"
#include "platform/vcl/Forms.h"
#include "platform/win/WinUser.h"
#include "skin/foundation/SkinLayered.h"

namespace {

const char* const Ellipsis = "...";
const wchar_t* const EllipsisW = L"...";

// Removes the last character of an 8-bit text: a whole UTF-8 sequence, so that shortening
// never leaves half a character behind.
void DeleteLastChar(String& Text)
{
  if (Text.empty())
    return;
  const std::vector<TTextChar> Chars = TextCodec::Decode(Text.data(), Text.size());
  Text.erase(Chars.empty() ? Text.size() - 1 : Chars.back().SrcBegin);
}

void HorizontalLine(TCanvas* Canvas, int X1, int X2, int Y)
{
  Canvas->MoveTo(X1, Y);
  Canvas->LineTo(X2, Y);
}

// Shared by the image-list and strip-bitmap variants: everything but how the glyph is drawn.
struct TGlyphAndText {
  int GlyphWidth = 0;
  int GlyphHeight = 0;
  bool HasGlyph = false;
  int BarWidth = 0;   // width of the colour bar under the glyph
  int BarHeight = 0;  // the bar's lowest line is at GlyphY + BarHeight
};

template <class DrawGlyph>
void DrawGlyphAndText(TCanvas* Canvas, const TRect& R, int Margin, int Spacing, TskButtonLayout Layout,
                      const String& Caption, const TGlyphAndText& G, bool Down, bool ClearAlways,
                      bool ShowColorBar, TColor BarColor, DrawGlyph Draw)
{
  int TextWidth = 0;
  int TextHeight = 0;
  if (!Caption.empty()) {
    TRect Measure{0, 0, RectWidth(R), RectHeight(R)};
    if (Layout == blGlyphLeft || Layout == blGlyphRight)
      Measure.right -= G.GlyphWidth;
    else if (Layout == blGlyphTop || Layout == blGlyphBottom)
      Measure.bottom -= G.GlyphHeight;
    DrawTextA(Canvas->GetHandle(), Caption.data(), static_cast<int>(Caption.size()), &Measure,
              DT_CALCRECT | DT_EXPANDTABS | DT_WORDBREAK);
    TextWidth = RectWidth(Measure);
    TextHeight = RectHeight(Measure);
  }
  if (ClearAlways || !Caption.empty())
    Canvas->GetBrush()->SetStyle(bsClear);

  // A layout outside the four known values leaves the positions at R's top-left corner.
  int TextX = R.left, TextY = R.top, GlyphX = R.left, GlyphY = R.top;
  CalcButtonLayout(Layout, R, G.GlyphWidth, G.GlyphHeight, TextWidth, TextHeight, Spacing, Margin,
                   TextX, TextY, GlyphX, GlyphY);
  if (Down) {
    ++TextX;
    ++TextY;
    ++GlyphX;
    ++GlyphY;
  }

  TRect TextRect{TextX, TextY, TextX + TextWidth + 2, TextY + TextHeight};
  if (!Caption.empty())
    DrawTextA(Canvas->GetHandle(), Caption.data(), static_cast<int>(Caption.size()), &TextRect,
              DT_CENTER | DT_VCENTER | DT_WORDBREAK | DT_EXPANDTABS);
  if (G.HasGlyph)
    Draw(GlyphX, GlyphY);

  if (!ShowColorBar)
    return;
  if (G.HasGlyph) {
    Canvas->GetPen()->SetColor(BarColor);
    for (int dy = -2; dy <= 0; ++dy)
      HorizontalLine(Canvas, GlyphX, GlyphX + G.BarWidth, GlyphY + G.BarHeight + dy);
  } else if (!Caption.empty()) {
    Canvas->GetPen()->SetColor(BarColor);
    for (int dy = -1; dy <= 1; ++dy)
      HorizontalLine(Canvas, TextRect.left, TextRect.right, TextRect.bottom + dy);
  } else {
    Canvas->GetBrush()->SetColor(BarColor);
    Canvas->GetBrush()->SetStyle(bsSolid);
    Canvas->FillRect(Down ? TRect{R.left + 4, R.top + 5, R.right - 2, R.bottom - 3}
                          : TRect{R.left + 4, R.top + 4, R.right - 2, R.bottom - 4});
  }
}

} // namespace

int RectWidth(const TRect& R) { return R.right - R.left; }

int RectHeight(const TRect& R) { return R.bottom - R.top; }

bool EqualRects(const TRect& A, const TRect& B)
{
  return A.left == B.left && A.top == B.top && A.right == B.right && A.bottom == B.bottom;
}

TRect NullRect() { return TRect{0, 0, 0, 0}; }

bool IsNullRect(const TRect& R) { return RectWidth(R) <= 0 || RectHeight(R) <= 0; }

bool IsNullPoint(const TPoint& P) { return P.x == 0 || P.y == 0; }

bool PointInsideRect(const TRect& R, const TPoint& P)
{
  return R.left <= P.x && P.x <= R.right && R.top <= P.y && P.y <= R.bottom;
}

bool RectInRect(const TRect& A, const TRect& B)
{
  return PtInRect(&B, POINT{A.left, A.top}) && PtInRect(&B, POINT{A.right, A.bottom});
}

int IntMax(int A, int B) { return A > B ? A : B; }

int IntMin(int A, int B) { return A < B ? A : B; }

void GetWindowsVersion(int& Major, int& Minor)
{
  const DWORD Version = GetVersion();
  Major = static_cast<int>(Version & 0xFF);
  Minor = static_cast<int>((Version >> 8) & 0xFF);
}

bool IsWindowsVistaOrLaterVersion(int Major, int /*Minor*/) { return Major >= 6; }

bool IsWindowsXPOrLaterVersion(int Major, int Minor) { return Major > 5 || (Major == 5 && Minor == 1); }

bool IsWindows2000OrLaterVersion(int Major, int Minor)
{
  return Major > 5 || (Major == 5 && Minor >= 0 && Minor <= 2);
}

bool IsWindowsVistaOrLater()
{
  int Major = 0, Minor = 0;
  GetWindowsVersion(Major, Minor);
  return IsWindowsVistaOrLaterVersion(Major, Minor);
}

bool IsWindowsXPOrLater()
{
  int Major = 0, Minor = 0;
  GetWindowsVersion(Major, Minor);
  return IsWindowsXPOrLaterVersion(Major, Minor);
}

bool IsWindows2000OrLater()
{
  int Major = 0, Minor = 0;
  GetWindowsVersion(Major, Minor);
  return IsWindows2000OrLaterVersion(Major, Minor);
}

bool HasMultipleMonitors()
{
  return GetSystemMetrics(SM_CMONITORS) > 1 && SkinSystemFunctions().GetMonitorInfoA != nullptr;
}

void GetDesktopWorkArea(bool WorkArea, TRect& R)
{
  if (WorkArea)
    SystemParametersInfoA(SPI_GETWORKAREA, 0, &R, 0);
  else
    R = TRect{0, 0, Screen->GetWidth(), Screen->GetHeight()};
}

void GetMonitorArea(HWND Wnd, bool WorkArea, TRect& R)
{
  if (!HasMultipleMonitors()) {
    GetDesktopWorkArea(WorkArea, R);
    return;
  }
  const TskSystemFunctions& Functions = SkinSystemFunctions();
  if (!Functions.MonitorFromWindow)
    return;
  static_assert(sizeof(MONITORINFO) == 40, "MONITORINFO has the Windows layout");
  MONITORINFO Info{};
  Info.cbSize = sizeof(MONITORINFO);
  if (Functions.GetMonitorInfoA(Functions.MonitorFromWindow(Wnd, MONITOR_DEFAULTTONEAREST), &Info))
    R = WorkArea ? Info.rcWork : Info.rcMonitor;
}

void DrawDottedFocusRect(TCanvas* Canvas, const TRect& R)
{
  const TColor Color = Canvas->GetFont()->GetColor();
  Canvas->GetPen()->SetColor(Color);
  const int L = R.left, T = R.top, Rt = R.right - 1, B = R.bottom - 1;
  bool Phase = (Rt - L) % 2 == 0 && (B - T) % 2 == 0;
  auto Step = [&](int X, int Y) {
    Phase = !Phase;
    if (Phase)
      Canvas->SetPixels(X, Y, Color);
  };
  for (int X = L; X <= Rt; ++X)
    Step(X, T);
  Phase = !Phase;
  for (int Y = T; Y <= B; ++Y)
    Step(Rt, Y);
  Phase = !Phase;
  for (int X = Rt; X >= L; --X)
    Step(X, B);
  Phase = !Phase;
  for (int Y = B; Y >= T; --Y)
    Step(L, Y);
}

void DrawBevelFrame(TCanvas* Canvas, const TRect& R, TColor TopLeftColor, TColor BottomRightColor)
{
  const int L = R.left, T = R.top, Rt = R.right - 1, B = R.bottom - 1;
  Canvas->GetPen()->SetWidth(1);
  Canvas->GetPen()->SetColor(TopLeftColor);
  Canvas->Polyline({TPoint{L, B}, TPoint{L, T}, TPoint{Rt, T}});
  Canvas->GetPen()->SetColor(BottomRightColor);
  Canvas->Polyline({TPoint{Rt, T}, TPoint{Rt, B}, TPoint{L - 1, B}});
}

void EllipsizeText(TCanvas* Canvas, AnsiString& Text, int MaxWidth)
{
  if (Canvas->TextWidth(Text) <= MaxWidth)
    return;
  while (true) {
    DeleteLastChar(Text);
    if (Canvas->TextWidth(Text + Ellipsis) <= MaxWidth || Text.empty())
      break;
  }
  Text += Ellipsis;
}

void EllipsizeTextW(TCanvas* Canvas, WideString& Text, int MaxWidth)
{
  if (TextWidthW(Canvas, Text) <= MaxWidth)
    return;
  while (true) {
    if (!Text.empty())
      Text.pop_back();
    if (TextWidthW(Canvas, Text + EllipsisW) <= MaxWidth || Text.empty())
      break;
  }
  Text += EllipsisW;
}

int DrawWideText(TCanvas* Canvas, const WideString& Text, TRect& R, UINT Format)
{
  if (SkinSystemFunctions().WideText)
    return DrawTextW(Canvas->GetHandle(), Text.c_str(), static_cast<int>(Text.size()), &R, Format);
  // Without wide drawing the text goes through the 8-bit code page.
  const String Narrow = TextCodec::WideToUtf8(Text.c_str(), static_cast<int>(Text.size()));
  return DrawTextA(Canvas->GetHandle(), Narrow.data(), static_cast<int>(Narrow.size()), &R, Format);
}

int TextWidthW(TCanvas* Canvas, const WideString& Text)
{
  TRect R = NullRect();
  DrawWideText(Canvas, Text, R, DT_CALCRECT);
  return RectWidth(R);
}

int TextHeightW(TCanvas* Canvas, const WideString& Text)
{
  TRect R = NullRect();
  DrawWideText(Canvas, Text, R, DT_CALCRECT);
  return RectHeight(R);
}

void DrawSingleLineText(TCanvas* Canvas, const AnsiString& Text, const TRect& R)
{
  if (Text.empty())
    return;
  TRect Box = R;
  DrawTextA(Canvas->GetHandle(), Text.data(), static_cast<int>(Text.size()), &Box,
            DT_SINGLELINE | DT_VCENTER);
}

void DrawTextVCentered(TCanvas* Canvas, const AnsiString& Text, const TRect& R)
{
  DrawTextVCenteredOffset(Canvas, Text, R, 0);
}

void DrawTextVCenteredOffset(TCanvas* Canvas, const AnsiString& Text, const TRect& R, int Offset)
{
  if (Text.empty())
    return;
  Canvas->TextRect(R, R.left + Offset + 2, R.top + RectHeight(R) / 2 - Canvas->TextHeight(Text) / 2, Text);
}

void CalcButtonLayout(TskButtonLayout Layout, const TRect& R, int GlyphWidth, int GlyphHeight,
                      int TextWidth, int TextHeight, int Spacing, int Margin, int& TextX,
                      int& TextY, int& GlyphX, int& GlyphY)
{
  const int CX = R.left + RectWidth(R) / 2;
  const int CY = R.top + RectHeight(R) / 2;
  if (GlyphWidth == 0)
    Spacing = 0;
  const int Half = (GlyphWidth + Spacing + TextWidth) / 2;
  const int HalfV = (GlyphHeight + Spacing + TextHeight) / 2;
  switch (Layout) {
  case blGlyphLeft:
  case blGlyphRight:
    GlyphY = CY - GlyphHeight / 2;
    TextY = CY - TextHeight / 2;
    if (Layout == blGlyphLeft) {
      if (Margin == -1) {
        GlyphX = CX - Half;
        TextX = CX + Half - TextWidth;
      } else {
        GlyphX = R.left + Margin;
        TextX = GlyphX + GlyphWidth + Spacing;
      }
    } else {
      if (Margin == -1) {
        TextX = CX - Half;
        GlyphX = CX + Half - GlyphWidth;
      } else {
        GlyphX = R.right - GlyphWidth - Margin;
        TextX = GlyphX - Spacing - TextWidth;
      }
    }
    break;
  case blGlyphTop:
  case blGlyphBottom:
    GlyphX = CX - GlyphWidth / 2;
    TextX = CX - TextWidth / 2;
    if (Layout == blGlyphTop) {
      if (Margin == -1) {
        GlyphY = CY - HalfV;
        TextY = CY + HalfV - TextHeight;
      } else {
        GlyphY = R.top + Margin;
        TextY = GlyphY + GlyphHeight + Spacing;
      }
    } else {
      if (Margin == -1) {
        TextY = CY - HalfV;
        GlyphY = CY + HalfV - GlyphHeight;
      } else {
        GlyphY = R.bottom - GlyphHeight - Margin;
        TextY = GlyphY - Spacing - TextHeight;
      }
    }
    break;
  }
}

void DrawImageListGlyphAndText(TCanvas* Canvas, const TRect& R, int Margin, int Spacing,
                               TskButtonLayout Layout, const AnsiString& Caption, int ImageIndex,
                               TCustomImageList* Images, bool Down, bool Enabled,
                               bool ShowColorBar, TColor BarColor)
{
  TGlyphAndText G;
  if (ImageIndex >= 0 && Images && ImageIndex < Images->GetCount()) {
    G.HasGlyph = true;
    G.GlyphWidth = G.BarWidth = Images->GetWidth();
    G.GlyphHeight = G.BarHeight = Images->GetHeight();
  }
  DrawGlyphAndText(Canvas, R, Margin, Spacing, Layout, Caption, G, Down, true, ShowColorBar, BarColor,
                   [&](int X, int Y) { Images->Draw(Canvas, X, Y, ImageIndex, Enabled); });
}

void DrawBitmapGlyphAndText(TCanvas* Canvas, const TRect& R, int Margin, int Spacing,
                            TskButtonLayout Layout, const AnsiString& Caption, TBitmap* Glyph,
                            TskNumGlyphs NumGlyphs, int GlyphIndex, bool Down, bool ShowColorBar,
                            TColor BarColor)
{
  TGlyphAndText G;
  if (Glyph && !Glyph->Empty()) {
    G.HasGlyph = true;
    // A frame count below one is read as one, so a bad count never divides by zero.
    G.GlyphWidth = Glyph->GetWidth() / (NumGlyphs < 1 ? 1 : NumGlyphs);
    G.GlyphHeight = G.BarHeight = Glyph->GetHeight();
    G.BarWidth = Glyph->GetWidth();
  }
  DrawGlyphAndText(Canvas, R, Margin, Spacing, Layout, Caption, G, Down, false, ShowColorBar, BarColor,
                   [&](int X, int Y) { DrawGlyphStripFrame(Canvas, X, Y, Glyph, NumGlyphs, GlyphIndex); });
}
