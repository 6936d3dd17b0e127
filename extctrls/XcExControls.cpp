#include "extctrls/XcExControls.h"

#include "platform/gdi/Gdi.h"
#include "platform/gdi/Region.h"
#include "platform/vcl/GraphicsObjects.h"

namespace {

struct TDialogCodeBit {
  TXcDialogCode Code;
  LRESULT Dlgc;
};

constexpr TDialogCodeBit DialogCodeBits[] = {
    {dcsWantAllKeys, DLGC_WANTALLKEYS}, {dcsWantArrows, DLGC_WANTARROWS}, {dcsWantChars, DLGC_WANTCHARS},
    {dcsButton, DLGC_BUTTON},           {dcsHasSetSel, DLGC_HASSETSEL},   {dcsWantTab, DLGC_WANTTAB},
};

}  // namespace

TXcDialogCodes DlgcToCodeSet(LRESULT Dlgc)
{
  TXcDialogCodes Codes = 0;
  for (const auto& Bit : DialogCodeBits)
    if (Dlgc & Bit.Dlgc) Codes |= XcCode(Bit.Code);
  return Codes;
}

LRESULT CodeSetToDlgc(TXcDialogCodes Codes)
{
  LRESULT Dlgc = 0;
  for (const auto& Bit : DialogCodeBits)
    if (Codes & XcCode(Bit.Code)) Dlgc |= Bit.Dlgc;
  return Dlgc;
}

LPARAM ShiftStateToKeyFlags(TShiftState Shift)
{
  LPARAM Flags = 0;
  if (Shift & ssShift) Flags |= 0x08000000;
  if (Shift & ssAlt) Flags |= 0x20000000;
  if (Shift & ssCtrl) Flags |= 0x10000000;
  return Flags;
}

void ResolveHintColor(TControl* Control, TColor HintColor, THintInfo& Info)
{
  if (HintColor == clNone) {
    if (Application) Info.HintColor = Application->GetHintColor();
  } else if (HintColor == clDefault) {
    if (Control && Control->GetParent()) {
      THintInfo Copy = Info;
      Control->GetParent()->Perform(CM_HINTSHOW, 0, reinterpret_cast<LPARAM>(&Copy));
      Info.HintColor = Copy.HintColor;
    }
  } else {
    Info.HintColor = HintColor;
  }
}

bool HandleDesignMessage(TControl*, TMessage&) { return false; }

void DrawFlatBorder(HDC DC, const TRect& Rect, TColor Color, bool Focused)
{
  const COLORREF Outer = Focused ? ColorToRGB(XcFocusFrameColor) : RGB(0x80, 0x80, 0x80);
  const COLORREF Inner = Focused ? ColorToRGB(XcFocusFrameColor) : ColorToRGB(Color);
  TRect R = Rect;
  HBRUSH Brush = CreateSolidBrush(Outer);
  FrameRect(DC, &R, Brush);
  DeleteObject(Brush);
  InflateRect(&R, -1, -1);
  Brush = CreateSolidBrush(Inner);
  FrameRect(DC, &R, Brush);
  DeleteObject(Brush);
}

void PaintFlatBorderForControl(TWinControl* Control, TColor Color, bool MouseOver)
{
  if (!Control || !Control->HandleAllocated()) return;
  HWND Wnd = Control->GetHandle();
  TRect R{};
  GetWindowRect(Wnd, &R);
  OffsetRect(&R, -R.left, -R.top);
  HDC DC = GetWindowDC(Wnd);
  if (!DC) return;
  DrawFlatBorder(DC, R, Color, Control->Focused() || MouseOver);
  ReleaseDC(Wnd, DC);
}

void PaintFlatBorderOnMessage(TWinControl* Control, const TMessage& Message, bool MouseOver, TColor Color)
{
  if (!Control || (Control->GetComponentState() & csDesigning)) return;
  switch (Message.Msg) {
    case WM_SETFOCUS:
    case WM_KILLFOCUS:
    case WM_NCPAINT:
    case CM_MOUSEENTER:
    case CM_MOUSELEAVE: PaintFlatBorderForControl(Control, Color, MouseOver); break;
    default: return;
  }
  if (Message.Msg != CM_MOUSELEAVE || !Control->HandleAllocated()) return;
  const int W = Control->GetWidth(), H = Control->GetHeight();
  HRGN Ring = CreateRectRgn(0, 0, W - 1, H - 1);
  HRGN Inside = CreateRectRgn(2, 2, W - 3, H - 3);
  CombineRgn(Ring, Ring, Inside, RGN_DIFF);
  InvalidateRgn(Control->GetHandle(), Ring, FALSE);
  DeleteObject(Inside);
  DeleteObject(Ring);
}
