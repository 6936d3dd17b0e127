#include "extctrls/XcTrackBar.h"

#include <cstring>

#include "platform/gdi/TextCodec.h"

namespace {

// The first common-controls version with the position tip and its side.
constexpr int TipVersion = 0x00040046;  // 4.70

WPARAM TipSideOf(TXcTrackToolTipSide Side)
{
  switch (Side) {
    case tsTop: return TBTS_TOP;
    case tsRight: return TBTS_RIGHT;
    case tsBottom: return TBTS_BOTTOM;
    case tsLeft: break;
  }
  return TBTS_LEFT;
}

// UTF-8 text as the tip reads it; characters beyond the basic plane become surrogate pairs.
std::u16string ToUtf16(const String& Text)
{
  std::u16string Out;
  Out.reserve(Text.size());
  for (const TTextChar& C : TextCodec::Decode(Text.data(), Text.size())) {
    if (C.Code >= 0x10000 && C.Code <= 0x10FFFF) {
      const char32_t V = C.Code - 0x10000;
      Out += static_cast<char16_t>(0xD800 + (V >> 10));
      Out += static_cast<char16_t>(0xDC00 + (V & 0x3FF));
    } else if (C.Code < 0x10000) {
      Out += static_cast<char16_t>(C.Code);
    } else {
      Out += u'\uFFFD';
    }
  }
  return Out;
}

}  // namespace

TXcTrackBar::TXcTrackBar(TComponent* AOwner) : TXcExTrackBar(AOwner) {}

int TXcTrackBar::CommonControlsVersion() const { return GetComCtlVersion(); }

bool TXcTrackBar::HasTipSupport() const { return CommonControlsVersion() >= TipVersion; }

void TXcTrackBar::SetShowRange(bool Value)
{
  if (FShowRange == Value) return;
  FShowRange = Value;
  RecreateWnd();
}

void TXcTrackBar::SetToolTips(bool Value)
{
  if (FToolTips == Value) return;
  FToolTips = Value;
  RecreateWnd();
}

void TXcTrackBar::SetToolTipSide(TXcTrackToolTipSide Value)
{
  if (FToolTipSide == Value) return;
  FToolTipSide = Value;
  ApplyToolTipSide();
}

void TXcTrackBar::ApplyToolTipSide()
{
  if (HandleAllocated() && HasTipSupport()) SendMessageA(GetHandle(), TBM_SETTIPSIDE, TipSideOf(FToolTipSide), 0);
}

void TXcTrackBar::CreateParams(TCreateParams& Params)
{
  TXcExTrackBar::CreateParams(Params);
  if (FToolTips && HasTipSupport()) Params.Style |= TBS_TOOLTIPS;
  if (!FShowRange) Params.Style &= ~TBS_ENABLESELRANGE;
}

void TXcTrackBar::CreateWnd()
{
  TXcExTrackBar::CreateWnd();
  ApplyToolTipSide();
}

void TXcTrackBar::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y)
{
  TXcExTrackBar::MouseUp(Button, Shift, X, Y);
  if (OnChanged) OnChanged(this);
}

bool TXcTrackBar::AnswerToolTipText(TMessage& Message)
{
  auto* Info = reinterpret_cast<NMTTDISPINFOW*>(Message.LParam);
  if (!Info || Info->hdr.code != TTN_NEEDTEXTW || !OnToolTip) return false;
  Info->hinst = nullptr;
  String Text = std::to_string(GetPosition());
  OnToolTip(this, Text);
  FToolTipText = ToUtf16(Text);
  Info->lpszText = FToolTipText.data();
  std::memset(Info->szText, 0, sizeof Info->szText);
  Message.Result = 1;
  return true;
}

void TXcTrackBar::WndProc(TMessage& Message)
{
  switch (Message.Msg) {
    case CN_HSCROLL:
    case CN_VSCROLL:
      // The end of each key press, click or drag: the moves themselves were reported already.
      if (LOWORD(Message.WParam) == TB_ENDTRACK) {
        Message.Result = 0;
        return;
      }
      break;
    case WM_NOTIFY:
      if (AnswerToolTipText(Message)) return;
      break;
  }
  TXcExTrackBar::WndProc(Message);
}
