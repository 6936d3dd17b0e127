#include "extctrls/XcThemes.h"

#include "platform/gdi/Gdi.h"
#include "platform/vcl/GraphicsObjects.h"

namespace {

bool IsNoRect(const TRect& R)
{
  return R.left == XcNoRect.left && R.top == XcNoRect.top && R.right == XcNoRect.right && R.bottom == XcNoRect.bottom;
}

}  // namespace

TThemeServices* XcThemeServices() { return ThemeServices(); }

void FillThemedBackground(TControl* Control, TCanvas* Canvas, const TRect& Rect, bool NeedsParentBackground)
{
  FillThemedBackgroundColor(Control, Canvas, Rect, NeedsParentBackground, Canvas->GetBrush()->GetColor());
}

void FillThemedBackgroundColor(TControl* Control, TCanvas* Canvas, const TRect& Rect, bool NeedsParentBackground,
                               TColor Color)
{
  TWinControl* Parent = Control ? Control->GetParent() : nullptr;
  const bool Plain = !XcThemeServices()->ThemesEnabled() || !Parent ||
                     (Color != Parent->GetColor() && ColorToRGB(Color) != ColorToRGB(Parent->GetColor())) ||
                     (NeedsParentBackground && !(Control->GetControlStyle() & csParentBackground));
  if (Plain) {
    TBrush* Brush = Canvas->GetBrush();
    const TColor Previous = Brush->GetColor();
    const bool Change = Previous != Color;
    if (Change) Brush->SetColor(Color);
    Canvas->FillRect(Rect);
    if (Change) Brush->SetColor(Previous);
    return;
  }
  auto* Win = dynamic_cast<TWinControl*>(Control);
  if (Win && !Win->GetDoubleBuffered())
    XcThemeServices()->DrawParentBackground(Win->GetHandle(), Canvas->GetHandle(), nullptr, false, &Rect);
  else
    EraseParentBackgroundRect(Control, Canvas->GetHandle(), Rect);
}

void EraseParentBackgroundAt(TControl* Control, HDC DC, const TPoint& Offset)
{
  EraseParentBackgroundInRect(Control, DC, Offset, XcNoRect);
}

void EraseParentBackground(TControl* Control, HDC DC)
{
  if (!Control) return;
  EraseParentBackgroundAt(Control, DC, Point(Control->GetLeft(), Control->GetTop()));
}

void EraseParentBackgroundRect(TControl* Control, HDC DC, const TRect& Rect)
{
  if (!Control) return;
  EraseParentBackgroundInRect(Control, DC, Point(Control->GetLeft(), Control->GetTop()), Rect);
}

void EraseParentBackgroundInRect(TControl* Control, HDC DC, const TPoint& Offset, const TRect& Rect)
{
  if (!Control || !Control->GetParent()) return;
  const bool MoveOrigin = Offset.x != 0 || Offset.y != 0;
  POINT Origin{0, 0};
  HRGN SavedClip = nullptr;
  const bool Clip = !IsNoRect(Rect);
  const auto Restore = [&] {
    if (MoveOrigin) SetWindowOrgEx(DC, Origin.x, Origin.y, nullptr);
    if (!Clip) return;
    // The clip the DC had comes back; a DC that had none is left with none.
    SelectClipRgn(DC, SavedClip);
    if (SavedClip) DeleteObject(SavedClip);
  };
  if (MoveOrigin) {
    // Moved by the offset for graphic controls too: their DCs here keep the control's corner at
    // the logical origin (a parent's DC shifted by the viewport, or a bitmap of the control's
    // size), so setting the origin to -Offset would put the parent's picture Offset too far.
    GetWindowOrgEx(DC, &Origin);
    SetWindowOrgEx(DC, Origin.x + Offset.x, Origin.y + Offset.y, nullptr);
  }
  try {
    if (Clip) {
      SavedClip = CreateRectRgn(0, 0, 0, 0);
      if (GetClipRgn(DC, SavedClip) != 1) {
        DeleteObject(SavedClip);
        SavedClip = nullptr;
      }
      HRGN Temp = CreateRectRgnIndirect(&Rect);
      SelectClipRgn(DC, Temp);
      DeleteObject(Temp);
    }
    Control->GetParent()->Perform(WM_ERASEBKGND, reinterpret_cast<WPARAM>(DC), reinterpret_cast<LPARAM>(DC));
  } catch (...) {
    Restore();
    throw;
  }
  Restore();
}

void AddThemeStyle(TControl* Control, TControlStyle Style)
{
  if (!Control) return;
  Control->SetControlStyle(Control->GetControlStyle() | (Style & XcThemeStyleMask));
}

TControlStyle ThemeStyleBits(TControl* Control) { return Control ? Control->GetControlStyle() & XcThemeStyleMask : 0; }

int DrawTextPlain(HDC DC, const String& Text, TRect& Rect, bool, UINT Format)
{
  return DrawTextA(DC, Text.c_str(), static_cast<int>(Text.size()), &Rect, Format);
}

void DrawImageListItem(TCustomImageList* ImageList, int Index, HDC DC, int X, int Y, UINT Style)
{
  if (!ImageList || !DC) return;
  TDrawingStyle Drawing = dsNormal;
  if (Style & ILD_TRANSPARENT) Drawing = dsTransparent;
  if (Style & ILD_BLEND25) Drawing = dsFocus;
  if (Style & ILD_BLEND50) Drawing = dsSelected;
  // The caller's DC keeps the objects it had selected (a canvas drawing on it goes on with its
  // font, pen and brush).
  const int Saved = SaveDC(DC);
  TCanvas Canvas;
  Canvas.SetHandle(DC);
  try {
    ImageList->Draw(&Canvas, X, Y, Index, Drawing, (Style & ILD_MASK) ? itMask : itImage, true);
  } catch (...) {
    Canvas.SetHandle(nullptr);
    RestoreDC(DC, Saved);
    throw;
  }
  Canvas.SetHandle(nullptr);
  RestoreDC(DC, Saved);
}
