#include "extctrls/XcDrawUtils.h"

#include <algorithm>
#include <initializer_list>
#include <memory>
#include <vector>

#include "platform/gdi/Gdi.h"
#include "platform/vcl/Controls.h"
#include "platform/vcl/Forms.h"

namespace {

int DrawTextWith(HDC DC, const String& Text, int Count, UINT Format, RECT& Rect)
{
  // DrawTextA may write the shortened text back with DT_MODIFYSTRING: never into the caller's.
  std::vector<char> Buffer(Text.begin(), Text.end());
  Buffer.resize(Text.size() + 8, '\0');
  const int N = Count < 0 ? static_cast<int>(Text.size()) : std::min(Count, static_cast<int>(Text.size()));
  return DrawTextA(DC, Buffer.data(), N, &Rect, Format);
}

}  // namespace

int DrawTextOnCanvas(TCanvas* Canvas, const String& Text, int Count, UINT Format, RECT& Rect)
{
  return DrawTextWith(Canvas->GetHandle(), Text, Count, Format & ~static_cast<UINT>(DT_MODIFYSTRING), Rect);
}

int DrawTextOnDC(HDC DC, const String& Text, int Count, UINT Format, RECT& Rect)
{
  return DrawTextWith(DC, Text, Count, Format & ~static_cast<UINT>(DT_MODIFYSTRING), Rect);
}

int DrawTextRaw(TCanvas* Canvas, const String& Text, int Count, UINT Format, RECT& Rect)
{
  return DrawTextWith(Canvas->GetHandle(), Text, Count, Format, Rect);
}

String EllipsizeToWidth(const String& Text, TCanvas* Canvas, int MaxWidth)
{
  String Result = Text;
  const int Length = static_cast<int>(Text.size());
  for (int N = 1; N <= Length && Canvas->TextWidth(Result) > MaxWidth;) {
    ++N;
    Result = Text.substr(0, static_cast<std::size_t>(std::max(0, Length - N))) + "...";
  }
  return Result;
}

int CanvasFontHeight(TCanvas* Canvas)
{
  TEXTMETRICA Metrics{};
  GetTextMetricsA(Canvas->GetHandle(), &Metrics);
  return Metrics.tmHeight;
}

void ApplyTrackFont(TFont* TrackFont, TFont* Font, TXcTrackFontOptions Options)
{
  if (!(Options & XcOption(hoFollowFont))) return;
  if (!(Options & XcOption(hoPreserveCharSet))) TrackFont->SetCharset(Font->GetCharset());
  if (!(Options & XcOption(hoPreserveColor))) TrackFont->SetColor(Font->GetColor());
  if (!(Options & XcOption(hoPreserveHeight))) TrackFont->SetHeight(Font->GetHeight());
  if (!(Options & XcOption(hoPreserveName))) TrackFont->SetName(Font->GetName());
  if (!(Options & XcOption(hoPreservePitch))) TrackFont->SetPitch(Font->GetPitch());
  if (!(Options & XcOption(hoPreserveStyle))) TrackFont->SetStyle(Font->GetStyle());
}

COLORREF PaletteRelativeColor(TColor Color) { return ColorToRGB(Color) | 0x02000000; }

TBitmap* MakeCheckerBitmap(TColor Color1, TColor Color2)
{
  auto* Bitmap = new TBitmap();
  try {
    Bitmap->SetPixelFormat(pf24bit);
    Bitmap->SetSize(8, 8);
    TCanvas* Canvas = Bitmap->GetCanvas();
    Canvas->GetBrush()->SetColor(Color1);
    Canvas->FillRect(Rect(0, 0, 8, 8));
    for (int Y = 0; Y < 8; ++Y)
      for (int X = 0; X < 8; ++X)
        if ((X % 2) == (Y % 2)) Canvas->SetPixels(X, Y, Color2);
  } catch (...) {
    delete Bitmap;
    throw;
  }
  return Bitmap;
}

void StretchMaskedBlt(HDC DestDC, int DestX, int DestY, int DestW, int DestH, HDC SrcDC, int SrcX, int SrcY,
                      int SrcW, int SrcH, HPALETTE Palette, COLORREF TransparentColor)
{
  HDC MaskDC = CreateCompatibleDC(DestDC);
  HDC InverseDC = CreateCompatibleDC(DestDC);
  HDC CompDC = CreateCompatibleDC(DestDC);
  HDC CopyDC = CreateCompatibleDC(DestDC);
  HBITMAP MaskBmp = CreateBitmap(SrcW, SrcH, 1, 1, nullptr);
  HBITMAP InverseBmp = CreateBitmap(SrcW, SrcH, 1, 1, nullptr);
  HBITMAP CompBmp = CreateCompatibleBitmap(DestDC, DestW, DestH);
  HBITMAP CopyBmp = CreateCompatibleBitmap(DestDC, SrcW, SrcH);
  HGDIOBJ OldMask = SelectObject(MaskDC, MaskBmp);
  HGDIOBJ OldInverse = SelectObject(InverseDC, InverseBmp);
  HGDIOBJ OldComp = SelectObject(CompDC, CompBmp);
  HGDIOBJ OldCopy = SelectObject(CopyDC, CopyBmp);
  HPALETTE OldPalettes[4] = {};
  if (Palette) {
    OldPalettes[0] = SelectPalette(DestDC, Palette, TRUE);
    RealizePalette(DestDC);
    OldPalettes[1] = SelectPalette(CopyDC, Palette, FALSE);
    RealizePalette(CopyDC);
    OldPalettes[2] = SelectPalette(MaskDC, Palette, FALSE);
    RealizePalette(MaskDC);
    OldPalettes[3] = SelectPalette(CompDC, Palette, FALSE);
    RealizePalette(CompDC);
  }
  SetMapMode(SrcDC, GetMapMode(DestDC));
  SetMapMode(CopyDC, GetMapMode(DestDC));

  BitBlt(CopyDC, 0, 0, SrcW, SrcH, SrcDC, SrcX, SrcY, SRCCOPY);
  const COLORREF OldBack = SetBkColor(CopyDC, TransparentColor | 0x02000000);
  BitBlt(MaskDC, 0, 0, SrcW, SrcH, CopyDC, 0, 0, SRCCOPY);
  SetBkColor(CopyDC, OldBack);
  BitBlt(InverseDC, 0, 0, SrcW, SrcH, MaskDC, 0, 0, NOTSRCCOPY);

  SetBkColor(CompDC, RGB(255, 255, 255));
  SetTextColor(CompDC, RGB(0, 0, 0));
  SetBkColor(CopyDC, RGB(255, 255, 255));
  SetTextColor(CopyDC, RGB(0, 0, 0));
  BitBlt(CompDC, 0, 0, DestW, DestH, DestDC, DestX, DestY, SRCCOPY);
  StretchBlt(CompDC, 0, 0, DestW, DestH, MaskDC, 0, 0, SrcW, SrcH, SRCAND);
  BitBlt(CopyDC, 0, 0, SrcW, SrcH, InverseDC, 0, 0, SRCAND);
  StretchBlt(CompDC, 0, 0, DestW, DestH, CopyDC, 0, 0, SrcW, SrcH, SRCPAINT);
  BitBlt(DestDC, DestX, DestY, DestW, DestH, CompDC, 0, 0, SRCCOPY);

  if (Palette) {
    SelectPalette(DestDC, OldPalettes[0], TRUE);
    SelectPalette(CopyDC, OldPalettes[1], FALSE);
    SelectPalette(MaskDC, OldPalettes[2], FALSE);
    SelectPalette(CompDC, OldPalettes[3], FALSE);
  }
  SelectObject(MaskDC, OldMask);
  SelectObject(InverseDC, OldInverse);
  SelectObject(CompDC, OldComp);
  SelectObject(CopyDC, OldCopy);
  DeleteObject(MaskBmp);
  DeleteObject(InverseBmp);
  DeleteObject(CompBmp);
  DeleteObject(CopyBmp);
  DeleteDC(MaskDC);
  DeleteDC(InverseDC);
  DeleteDC(CompDC);
  DeleteDC(CopyDC);
}

void StretchBitmapMasked(TCanvas* Canvas, TBitmap* Bitmap, TColor TransparentColor, int DestX, int DestY, int DestW,
                         int DestH, int SrcX, int SrcY, int SrcW, int SrcH)
{
  if (DestW < 1) DestW = Bitmap->GetWidth();
  if (DestH < 1) DestH = Bitmap->GetHeight();
  if (SrcW < 1 || SrcH < 1) {
    SrcX = 0;
    SrcY = 0;
    SrcW = Bitmap->GetWidth();
    SrcH = Bitmap->GetHeight();
  }
  HDC Dest = Canvas->GetHandle();
  if (!Bitmap->GetMonochrome()) SetStretchBltMode(Dest, STRETCH_DELETESCANS);
  TCanvas* Source = Bitmap->GetCanvas();
  Source->Lock();
  // Whoever watches the bitmap (an image that repaints on change) hears nothing of the drawing.
  TNotifyEvent SavedChange = std::move(Bitmap->OnChange);
  Bitmap->OnChange = nullptr;
  auto Restore = [&] {
    Bitmap->OnChange = std::move(SavedChange);
    Source->Unlock();
  };
  try {
    if (TransparentColor == clNone) {
      StretchBlt(Dest, DestX, DestY, DestW, DestH, Source->GetHandle(), SrcX, SrcY, SrcW, SrcH,
                 static_cast<DWORD>(Canvas->GetCopyMode()));
    } else {
      COLORREF Key;
      if (Bitmap->GetMonochrome())
        Key = RGB(255, 255, 255);
      else if (TransparentColor == clDefault)
        Key = ColorToRGB(Source->GetPixels(0, Bitmap->GetHeight() - 1));
      else
        Key = ColorToRGB(TransparentColor);
      StretchMaskedBlt(Dest, DestX, DestY, DestW, DestH, Source->GetHandle(), SrcX, SrcY, SrcW, SrcH,
                       Bitmap->GetPalette(), Key);
    }
  } catch (...) {
    Restore();
    throw;
  }
  Restore();
}

void DrawBitmapMasked(TCanvas* Canvas, int X, int Y, TBitmap* Bitmap, TColor TransparentColor)
{
  StretchBitmapMasked(Canvas, Bitmap, TransparentColor, X, Y, Bitmap->GetWidth(), Bitmap->GetHeight(), 0, 0,
                      Bitmap->GetWidth(), Bitmap->GetHeight());
}

namespace {

// A monochrome bitmap of the source's size: 1 where the source pixel is one of the keys.
HBITMAP MakeKeyMask(TBitmap* Source, std::initializer_list<COLORREF> Keys)
{
  const int W = Source->GetWidth(), H = Source->GetHeight();
  HDC SrcDC = Source->GetCanvas()->GetHandle();
  HDC MaskDC = CreateCompatibleDC(SrcDC);
  HBITMAP Mask = CreateBitmap(W, H, 1, 1, nullptr);
  HGDIOBJ Old = SelectObject(MaskDC, Mask);
  PatBlt(MaskDC, 0, 0, W, H, BLACKNESS);
  const COLORREF OldBack = GetBkColor(SrcDC);
  for (COLORREF Key : Keys) {
    SetBkColor(SrcDC, Key);
    BitBlt(MaskDC, 0, 0, W, H, SrcDC, 0, 0, SRCPAINT);
  }
  SetBkColor(SrcDC, OldBack);
  SelectObject(MaskDC, Old);
  DeleteDC(MaskDC);
  return Mask;
}

// Paints Color through the mask at (X, Y) of the canvas; Text/Back decide which mask value
// selects (see XcMaskedPaintRop).
void PaintThroughMask(TCanvas* Canvas, HBITMAP Mask, int X, int Y, int W, int H, TColor Color, COLORREF Text,
                      COLORREF Back)
{
  HDC Dest = Canvas->GetHandle();
  HDC MaskDC = CreateCompatibleDC(Dest);
  HGDIOBJ Old = SelectObject(MaskDC, Mask);
  Canvas->GetBrush()->SetColor(Color);
  Dest = Canvas->GetHandle();
  const COLORREF OldText = SetTextColor(Dest, Text);
  const COLORREF OldBack = SetBkColor(Dest, Back);
  BitBlt(Dest, X, Y, W, H, MaskDC, 0, 0, XcMaskedPaintRop);
  SetTextColor(Dest, OldText);
  SetBkColor(Dest, OldBack);
  SelectObject(MaskDC, Old);
  DeleteDC(MaskDC);
}

TBitmap* NewFilled(int W, int H, TColor Color)
{
  auto* Result = new TBitmap();
  Result->SetPixelFormat(pf24bit);
  Result->SetSize(W, H);
  Result->GetCanvas()->GetBrush()->SetColor(Color);
  Result->GetCanvas()->FillRect(Rect(0, 0, W, H));
  return Result;
}

}  // namespace

TBitmap* MakeDisabledBitmapFlat(TBitmap* Source, TColor BackColor)
{
  const int W = Source->GetWidth(), H = Source->GetHeight();
  std::unique_ptr<TBitmap> Result(NewFilled(W, H, BackColor));
  HBITMAP Mask = MakeKeyMask(Source, {ColorToRGB(BackColor), RGB(255, 255, 255)});
  try {
    PaintThroughMask(Result->GetCanvas(), Mask, 1, 1, W, H, clBtnHighlight, RGB(255, 255, 255), RGB(0, 0, 0));
    PaintThroughMask(Result->GetCanvas(), Mask, 0, 0, W, H, clBtnShadow, RGB(255, 255, 255), RGB(0, 0, 0));
  } catch (...) {
    DeleteObject(Mask);
    throw;
  }
  DeleteObject(Mask);
  return Result.release();
}

TBitmap* MakeDisabledBitmapEx(TBitmap* Source, TColor OutlineColor, TColor BackColor, TColor HighlightColor,
                              TColor ShadowColor, bool DrawHighlight)
{
  const int W = Source->GetWidth(), H = Source->GetHeight();
  std::unique_ptr<TBitmap> Result(NewFilled(W, H, BackColor));
  std::unique_ptr<TBitmap> Colour;
  TBitmap* From = Source;
  if (Source->GetMonochrome()) {
    // A monochrome glyph is first turned into a colour one.
    Colour.reset(NewFilled(W, H, clWhite));
    Colour->GetCanvas()->Draw(0, 0, Source);
    From = Colour.get();
  }
  HBITMAP Mask = MakeKeyMask(From, {ColorToRGB(OutlineColor)});
  try {
    if (DrawHighlight)
      PaintThroughMask(Result->GetCanvas(), Mask, 1, 1, W, H, HighlightColor, RGB(0, 0, 0), RGB(255, 255, 255));
    PaintThroughMask(Result->GetCanvas(), Mask, 0, 0, W, H, ShadowColor, RGB(0, 0, 0), RGB(255, 255, 255));
  } catch (...) {
    DeleteObject(Mask);
    throw;
  }
  DeleteObject(Mask);
  return Result.release();
}

TBitmap* MakeDisabledBitmap(TBitmap* Source, TColor OutlineColor)
{
  return MakeDisabledBitmapEx(Source, OutlineColor, clBtnFace, clBtnHighlight, clBtnShadow, true);
}

void DrawDisabledImageGlyph(TCustomImageList* Images, TCanvas* Canvas, int X, int Y, int Index,
                            TColor HighlightColor, TColor GreyColor, bool DrawHighlight)
{
  const int W = Images->GetWidth(), H = Images->GetHeight();
  std::unique_ptr<TBitmap> Shape(NewFilled(W, H, clWhite));
  Images->Draw(Shape->GetCanvas(), 0, 0, Index, dsNormal, itMask, true);
  // Black where the image is opaque.
  HBITMAP Mask = MakeKeyMask(Shape.get(), {RGB(255, 255, 255)});
  const TColor OldBrush = Canvas->GetBrush()->GetColor();
  try {
    if (DrawHighlight)
      PaintThroughMask(Canvas, Mask, X + 1, Y + 1, W, H, HighlightColor, RGB(255, 255, 255), RGB(0, 0, 0));
    PaintThroughMask(Canvas, Mask, X, Y, W, H, GreyColor, RGB(255, 255, 255), RGB(0, 0, 0));
  } catch (...) {
    DeleteObject(Mask);
    Canvas->GetBrush()->SetColor(OldBrush);
    throw;
  }
  DeleteObject(Mask);
  Canvas->GetBrush()->SetColor(OldBrush);
}

void RegisterXclCursors()
{
  try {
    if (!Screen) return;
    Screen->SetCursors(368, Screen->GetCursors(crMultiDrag));
    Screen->SetCursors(369, Screen->GetCursors(crDrag));
    Screen->SetCursors(370, Screen->GetCursors(crMultiDrag));
    Screen->SetCursors(371, Screen->GetCursors(crMultiDrag));
  } catch (...) {
  }
}

namespace {

// Reaches the parent's own painting, as the parent's paint handler does.
struct TParentPainting : TWinControl {
  using TWinControl::PaintWindow;
};

}  // namespace

void PaintParentImage(TControl* Control, TCanvas* Canvas)
{
  if (!Control || !Control->GetParent()) return;
  TWinControl* Parent = Control->GetParent();
  Parent->SetControlState(Parent->GetControlState() | csPaintCopy);
  try {
    HDC DC = Canvas->GetHandle();
    POINT Origin{};
    GetViewportOrgEx(DC, &Origin);
    Origin.x -= Control->GetLeft();
    Origin.y -= Control->GetTop();
    const int Saved = SaveDC(DC);
    SetViewportOrgEx(DC, Origin.x, Origin.y, nullptr);
    IntersectClipRect(DC, 0, 0, Parent->GetClientWidth(), Parent->GetClientHeight());
    Parent->Perform(WM_ERASEBKGND, reinterpret_cast<WPARAM>(DC), 0);
    void (TWinControl::*PaintParent)(HDC) = &TParentPainting::PaintWindow;
    (Parent->*PaintParent)(DC);
    RestoreDC(DC, Saved);

    const TRect Bounds = Control->GetBoundsRect();
    for (int I = 0; I < Parent->GetControlCount(); ++I) {
      TControl* Child = Parent->GetControl(I);
      if (Child == Control) break;
      if (!Child || !Child->GetVisible()) continue;
      RECT Overlap;
      const RECT ChildBounds = Child->GetBoundsRect();
      const RECT ControlBounds = Bounds;
      if (!IntersectRect(&Overlap, &ChildBounds, &ControlBounds)) continue;
      Child->SetControlState(Child->GetControlState() | csPaintCopy);
      const int ChildSaved = SaveDC(DC);
      SetViewportOrgEx(DC, Child->GetLeft() + Origin.x, Child->GetTop() + Origin.y, nullptr);
      IntersectClipRect(DC, 0, 0, Child->GetWidth(), Child->GetHeight());
      Child->Perform(WM_PAINT, reinterpret_cast<WPARAM>(DC), 0);
      RestoreDC(DC, ChildSaved);
      Child->SetControlState(Child->GetControlState() & ~csPaintCopy);
    }
  } catch (...) {
    Parent->SetControlState(Parent->GetControlState() & ~csPaintCopy);
    throw;
  }
  Parent->SetControlState(Parent->GetControlState() & ~csPaintCopy);
}
