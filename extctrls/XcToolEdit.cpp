#include "extctrls/XcToolEdit.h"

#include "extctrls/XcComponentUtils.h"
#include "platform/vcl/StdCtrlsConsts.h"

const DWORD XcEditAlignmentExStyle[2][3] = {
    {0, WS_EX_RIGHT, 0},  // left to right: taLeftJustify, taRightJustify, taCenter
    {WS_EX_RIGHT, 0, 0},  // right to left
};

namespace {

// This system has no Middle-East locale setting: texts are laid out left to right.
bool SystemLocaleIsMiddleEast() { return false; }

void FitRightToLeftStyle(TCustomEdit* Editor, TAlignment Alignment)
{
  if (!SystemLocaleIsMiddleEast() || !Editor->HandleAllocated() || !Editor->IsRightToLeft()) return;
  const HWND Wnd = Editor->GetHandle();
  const DWORD Current = static_cast<DWORD>(GetWindowLongA(Wnd, GWL_EXSTYLE));
  DWORD Style = Current & ~(WS_EX_RIGHT | WS_EX_RTLREADING | WS_EX_LEFTSCROLLBAR);
  if (Editor->UseRightToLeftReading()) Style |= WS_EX_RTLREADING;
  if (Editor->IsRightToLeft()) Style |= WS_EX_LEFTSCROLLBAR;
  Style |= XcEditAlignmentExStyle[Editor->UseRightToLeftAlignment() ? 1 : 0][Alignment];
  if (Style != Current) SetWindowLongA(Wnd, GWL_EXSTYLE, static_cast<LONG>(Style));
}

}  // namespace

bool PaintEdit(TCustomEdit* Editor, const String& Text, TAlignment Alignment, bool PopupVisible,
               TColor DisabledTextColor, bool StandardPaint, std::unique_ptr<TControlCanvas>& Canvas,
               TMessage& Message)
{
  if (Editor->GetComponentState() & csDestroying) return true;
  if (Editor->UseRightToLeftAlignment()) {
    if (Alignment == taLeftJustify)
      Alignment = taRightJustify;
    else if (Alignment == taRightJustify)
      Alignment = taLeftJustify;
  }
  if (StandardPaint && !(Editor->GetControlState() & csPaintCopy)) {
    FitRightToLeftStyle(Editor, Alignment);
    return false;
  }
  if (!Canvas) {
    Canvas = std::make_unique<TControlCanvas>();
    Canvas->SetControl(Editor);
  }
  const HWND Wnd = Editor->GetHandle();
  PAINTSTRUCT Ps{};
  HDC DC = reinterpret_cast<HDC>(Message.WParam);
  const bool BeganPaint = DC == nullptr;
  if (BeganPaint) DC = BeginPaint(Wnd, &Ps);
  try {
    Canvas->PaintOn(DC, [&] {
      Canvas->GetFont()->Assign(Editor->GetFont());
      RECT R{};
      SendWindowMessage(Wnd, EM_GETRECT, 0, reinterpret_cast<LPARAM>(&R));
      const TRect EditRect = Rect(R.left, R.top, R.right, R.bottom);
      if (!Editor->GetCtl3D() && Editor->GetBorderStyle() == bsSingle) {
        Canvas->GetBrush()->SetColor(clWindowFrame);
        Canvas->FrameRect(Editor->GetClientRect());
      }
      const int Width = Canvas->TextWidth(Text);
      int X = EditRect.left;
      if (!PopupVisible && Alignment == taRightJustify) X = EditRect.right - Width;
      if (!PopupVisible && Alignment == taCenter) X = (EditRect.left + EditRect.right - Width) / 2;
      if (SystemLocaleIsMiddleEast()) Canvas->SetTextFlags(Canvas->GetTextFlags() | ETO_RTLREADING);
      if (Editor->GetEnabled()) {
        Canvas->GetBrush()->SetColor(Editor->GetColor());
        Canvas->TextRect(EditRect, X, EditRect.top, Text);
        return;
      }
      Editor->Perform(WM_ERASEBKGND, reinterpret_cast<WPARAM>(Canvas->GetHandle()), 0);
      const int Saved = SaveDC(Canvas->GetHandle());
      try {
        Canvas->GetBrush()->SetStyle(bsClear);
        Canvas->GetFont()->SetColor(DisabledTextColor);
        Canvas->TextRect(EditRect, X, EditRect.top, Text);
      } catch (...) {
        RestoreDC(DC, Saved);
        throw;
      }
      RestoreDC(DC, Saved);
    });
  } catch (...) {
    if (BeganPaint) EndPaint(Wnd, &Ps);
    throw;
  }
  if (BeganPaint) EndPaint(Wnd, &Ps);
  return true;
}
