#include "platform/vcl/ExtCtrls.h"

#include <algorithm>

namespace {

constexpr UINT AlignmentFlags[] = {DT_LEFT, DT_RIGHT, DT_CENTER};

UINT AlignFlag(TAlignment A) { return AlignmentFlags[static_cast<int>(A)]; }

UINT VerticalFlag(TVerticalAlignment A) {
  switch (A) {
    case taAlignTop: return DT_TOP;
    case taAlignBottom: return DT_BOTTOM;
    default: return DT_VCENTER;
  }
}

// The canvas of a graphic control is a control canvas; its window DC must go before another
// DC is set.
void UseDC(TCanvas* Canvas, HDC DC) {
  if (auto* C = dynamic_cast<TControlCanvas*>(Canvas)) C->FreeHandle();
  Canvas->SetHandle(DC);
}

}  // namespace

// ---------------------------------------------------------------------------------------------
// TCustomLabel

TCustomLabel::TCustomLabel(TComponent* AOwner) : TGraphicControl(AOwner) {
  FControlStyle |= csOpaque | csReplicatable;
  FWidth = 65;
  FHeight = 17;
  TControl::SetAutoSize(true);
}

void TCustomLabel::SetAlignment(TAlignment Value) {
  if (FAlignment == Value) return;
  FAlignment = Value;
  Invalidate();
}

void TCustomLabel::SetLayout(TTextLayout Value) {
  if (FLayout == Value) return;
  FLayout = Value;
  Invalidate();
}

void TCustomLabel::SetWordWrap(bool Value) {
  if (FWordWrap == Value) return;
  FWordWrap = Value;
  AdjustBounds();
  Invalidate();
}

void TCustomLabel::SetShowAccelChar(bool Value) {
  if (FShowAccelChar == Value) return;
  FShowAccelChar = Value;
  AdjustBounds();
  Invalidate();
}

void TCustomLabel::SetTransparent(bool Value) {
  if (GetTransparent() == Value) return;
  if (Value)
    FControlStyle &= ~csOpaque;
  else
    FControlStyle |= csOpaque;
  Invalidate();
}

void TCustomLabel::SetFocusControl(TWinControl* Value) {
  if (FFocusControl == Value) return;
  if (FFocusControl) FFocusControl->RemoveFreeNotification(this);
  FFocusControl = Value;
  if (Value) Value->FreeNotification(this);
}

void TCustomLabel::Notification(TComponent* AComponent, TOperation Operation) {
  TGraphicControl::Notification(AComponent, Operation);
  if (Operation == opRemove && AComponent == FFocusControl) FFocusControl = nullptr;
}

void TCustomLabel::SetAutoSize(bool Value) {
  if (GetAutoSize() == Value) return;
  TGraphicControl::SetAutoSize(Value);
  AdjustBounds();
}

String TCustomLabel::GetLabelText() { return GetCaption(); }

void TCustomLabel::DoDrawText(TRect& Rect, int Flags) {
  String Text = GetLabelText();
  // An empty label (or one that is only the accelerator mark) still measures one line.
  if ((Flags & DT_CALCRECT) && (Text.empty() || (FShowAccelChar && Text == "&"))) Text += ' ';
  if (!FShowAccelChar) Flags |= DT_NOPREFIX;
  Flags = static_cast<int>(DrawTextBiDiModeFlags(static_cast<UINT>(Flags)));
  TCanvas* C = GetCanvas();
  C->SetFont(GetFont());
  if (!FEnabled) {
    OffsetRect(&Rect, 1, 1);
    C->GetFont()->SetColor(clBtnHighlight);
    DrawTextA(C->GetHandle(), Text.c_str(), static_cast<int>(Text.size()), &Rect, static_cast<UINT>(Flags));
    OffsetRect(&Rect, -1, -1);
    C->GetFont()->SetColor(clBtnShadow);
  }
  DrawTextA(C->GetHandle(), Text.c_str(), static_cast<int>(Text.size()), &Rect, static_cast<UINT>(Flags));
}

void TCustomLabel::Paint() {
  TCanvas* C = GetCanvas();
  TRect R = GetClientRect();
  if (!GetTransparent()) {
    C->GetBrush()->SetColor(GetColor());
    C->GetBrush()->SetStyle(bsSolid);
    C->FillRect(R);
  }
  C->GetBrush()->SetStyle(bsClear);
  int Flags = DT_EXPANDTABS | (FWordWrap ? DT_WORDBREAK : 0) | static_cast<int>(AlignFlag(FAlignment));
  if (FLayout != tlTop) {
    TRect Calc = R;
    DoDrawText(Calc, Flags | DT_CALCRECT);
    int Dy = FHeight - Calc.bottom;
    OffsetRect(&R, 0, FLayout == tlBottom ? Dy : Dy / 2);
  }
  DoDrawText(R, Flags);
}

void TCustomLabel::AdjustBounds() {
  if ((GetComponentState() & (csReading | csLoading)) || !GetAutoSize()) return;
  TRect R = GetClientRect();
  HDC DC = GetDC(nullptr);
  TCanvas* C = GetCanvas();
  UseDC(C, DC);
  try {
    DoDrawText(R, DT_EXPANDTABS | DT_CALCRECT | (FWordWrap ? DT_WORDBREAK : 0));
  } catch (...) {
    C->SetHandle(nullptr);
    ReleaseDC(nullptr, DC);
    throw;
  }
  C->SetHandle(nullptr);
  ReleaseDC(nullptr, DC);
  int X = FLeft;
  if (FAlignment == taRightJustify) X += FWidth - R.right;
  SetBounds(X, FTop, R.right, R.bottom);
}

void TCustomLabel::Loaded() {
  TGraphicControl::Loaded();
  AdjustBounds();
}

void TCustomLabel::WndProc(TMessage& Message) {
  switch (Message.Msg) {
    case CM_TEXTCHANGED:
      Invalidate();
      AdjustBounds();
      break;
    case CM_FONTCHANGED:
      TGraphicControl::WndProc(Message);
      AdjustBounds();
      return;
    case CM_DIALOGCHAR:
      if (FFocusControl && FEnabled && FShowAccelChar && IsAccel(static_cast<Word>(Message.WParam), GetCaption()) &&
          FFocusControl->CanFocus()) {
        FFocusControl->SetFocus();
        Message.Result = 1;
        return;
      }
      break;
    default: break;
  }
  TGraphicControl::WndProc(Message);
}

// ---------------------------------------------------------------------------------------------
// TBevel

TBevel::TBevel(TComponent* AOwner) : TGraphicControl(AOwner) {
  FControlStyle |= csReplicatable;
  FWidth = 50;
  FHeight = 50;
}

void TBevel::SetShape(TBevelShape Value) {
  if (FShape == Value) return;
  FShape = Value;
  Invalidate();
}

void TBevel::SetStyle(TBevelStyle Value) {
  if (FStyle == Value) return;
  FStyle = Value;
  Invalidate();
}

void DrawBevelRect(TCanvas* C, const TRect& R, TColor Color1, TColor Color2) {
  C->GetPen()->SetWidth(1);
  C->GetPen()->SetColor(Color1);
  C->Polyline({Point(R.left, R.bottom), Point(R.left, R.top), Point(R.right, R.top)});
  C->GetPen()->SetColor(Color2);
  C->Polyline({Point(R.right, R.top), Point(R.right, R.bottom), Point(R.left, R.bottom)});
}

void DrawBevelShape(TCanvas* C, TBevelShape Shape, TBevelStyle Style, int Width, int Height, TColor Highlight,
                    TColor Shadow) {
  const TColor Color1 = Style == bsLowered ? Shadow : Highlight;
  const TColor Color2 = Style == bsLowered ? Highlight : Shadow;
  C->GetPen()->SetWidth(1);
  auto BevelLine = [C](TColor Color, int X1, int Y1, int X2, int Y2) {
    C->GetPen()->SetColor(Color);
    C->MoveTo(X1, Y1);
    C->LineTo(X2, Y2);
  };
  switch (Shape) {
    case bsBox: DrawBevelRect(C, Rect(0, 0, Width - 1, Height - 1), Color1, Color2); break;
    case bsFrame:
      DrawBevelRect(C, Rect(1, 1, Width - 1, Height - 1), Color2, Color2);
      DrawBevelRect(C, Rect(0, 0, Width - 2, Height - 2), Color1, Color1);
      break;
    case bsTopLine:
      BevelLine(Color1, 0, 0, Width, 0);
      BevelLine(Color2, 0, 1, Width, 1);
      break;
    case bsBottomLine:
      BevelLine(Color1, 0, Height - 2, Width, Height - 2);
      BevelLine(Color2, 0, Height - 1, Width, Height - 1);
      break;
    case bsLeftLine:
      BevelLine(Color1, 0, 0, 0, Height);
      BevelLine(Color2, 1, 0, 1, Height);
      break;
    case bsRightLine:
      BevelLine(Color1, Width - 2, 0, Width - 2, Height);
      BevelLine(Color2, Width - 1, 0, Width - 1, Height);
      break;
    case bsSpacer: break;  // an invisible gap
  }
}

void TBevel::Paint() {
  TCanvas* C = GetCanvas();
  C->GetPen()->SetStyle(psSolid);
  DrawBevelShape(C, FShape, FStyle, FWidth, FHeight, clBtnHighlight, clBtnShadow);
}

// ---------------------------------------------------------------------------------------------
// TCustomPanel

TCustomPanel::TCustomPanel(TComponent* AOwner) : TCustomControl(AOwner) {
  FControlStyle = csAcceptsControls | csCaptureMouse | csClickEvents | csSetCaption | csOpaque | csDoubleClicks |
                  csReplicatable | csParentBackground;
  FWidth = 185;
  FHeight = 41;
  SetColor(clBtnFace);
}

void TCustomPanel::Changed() {
  Realign();
  Invalidate();
}

void TCustomPanel::SetAlignment(TAlignment Value) {
  if (FAlignment == Value) return;
  FAlignment = Value;
  Invalidate();
}

void TCustomPanel::SetVerticalAlignment(TVerticalAlignment Value) {
  if (FVerticalAlignment == Value) return;
  FVerticalAlignment = Value;
  Invalidate();
}

void TCustomPanel::SetBevelInner(TPanelBevel Value) {
  if (FBevelInner == Value) return;
  FBevelInner = Value;
  Changed();
}

void TCustomPanel::SetBevelOuter(TPanelBevel Value) {
  if (FBevelOuter == Value) return;
  FBevelOuter = Value;
  Changed();
}

void TCustomPanel::SetBevelWidth(TBevelWidth Value) {
  Value = std::max(Value, 1);
  if (FBevelWidth == Value) return;
  FBevelWidth = Value;
  Changed();
}

void TCustomPanel::SetBorderWidth(TBorderWidth Value) {
  Value = std::max(Value, 0);
  if (FBorderWidth == Value) return;
  FBorderWidth = Value;
  Changed();
}

void TCustomPanel::SetBorderStyle(TBorderStyle Value) {
  if (FBorderStyle == Value) return;
  FBorderStyle = Value;
  if (HandleAllocated()) RecreateWnd();
}

void TCustomPanel::SetShowCaption(bool Value) {
  if (FShowCaption == Value) return;
  FShowCaption = Value;
  Invalidate();
}

void TCustomPanel::CreateParams(TCreateParams& Params) {
  TCustomControl::CreateParams(Params);
  // A single border is sunken in the 3-D look and a plain line without it.
  if (FBorderStyle == bsSingle) {
    if (GetCtl3D())
      Params.ExStyle |= WS_EX_CLIENTEDGE;
    else
      Params.Style |= WS_BORDER;
  }
  Params.WindowClass.style &= ~(CS_HREDRAW | CS_VREDRAW);
}

void TCustomPanel::AdjustClientRect(TRect& Rect) {
  TCustomControl::AdjustClientRect(Rect);
  InflateRect(&Rect, -FBorderWidth, -FBorderWidth);
  int BevelSize = 0;
  if (FBevelOuter != bvNone) BevelSize += FBevelWidth;
  if (FBevelInner != bvNone) BevelSize += FBevelWidth;
  InflateRect(&Rect, -BevelSize, -BevelSize);
}

void TCustomPanel::Paint() {
  TCanvas* C = GetCanvas();
  TRect R = GetClientRect();
  auto Bevel = [&](TPanelBevel Cut) {
    TColor Top = clBtnHighlight, Bottom = clBtnShadow;
    if (Cut == bvLowered) std::swap(Top, Bottom);
    if (Cut == bvSpace) Top = Bottom = GetColor();
    Frame3D(C, R, Top, Bottom, FBevelWidth);
  };
  if (FBevelOuter != bvNone) Bevel(FBevelOuter);
  if (FBorderWidth > 0) Frame3D(C, R, GetColor(), GetColor(), FBorderWidth);
  if (FBevelInner != bvNone) Bevel(FBevelInner);
  C->GetBrush()->SetColor(GetColor());
  C->GetBrush()->SetStyle(bsSolid);
  C->FillRect(R);
  String Text = GetCaption();
  if (!FShowCaption || Text.empty()) return;
  C->GetBrush()->SetStyle(bsClear);
  C->SetFont(GetFont());
  if (!FEnabled) C->GetFont()->SetColor(clGrayText);
  UINT Flags = DT_EXPANDTABS | DT_SINGLELINE | VerticalFlag(FVerticalAlignment) | AlignFlag(FAlignment);
  DrawTextA(C->GetHandle(), Text.c_str(), static_cast<int>(Text.size()), &R, DrawTextBiDiModeFlags(Flags));
}

void TCustomPanel::WndProc(TMessage& Message) {
  switch (Message.Msg) {
    case CM_TEXTCHANGED:
    case CM_ENABLEDCHANGED: Invalidate(); break;
    case WM_SIZE:
      // Bevels and a centred caption move with the size; without FullRepaint only the area
      // the window system exposes is drawn again.
      TCustomControl::WndProc(Message);
      if (FFullRepaint) Invalidate();
      return;
    default: break;
  }
  TCustomControl::WndProc(Message);
}

// ---------------------------------------------------------------------------------------------
// TCustomGroupBox

TCustomGroupBox::TCustomGroupBox(TComponent* AOwner) : TCustomControl(AOwner) {
  FControlStyle = csAcceptsControls | csCaptureMouse | csClickEvents | csSetCaption | csOpaque | csDoubleClicks |
                  csReplicatable | csParentBackground;
  FWidth = 185;
  FHeight = 105;
  SetColor(clBtnFace);
}

void TCustomGroupBox::AdjustClientRect(TRect& Rect) {
  TCustomControl::AdjustClientRect(Rect);
  GetCanvas()->SetFont(GetFont());
  Rect.top += GetCanvas()->TextHeight("0");
  // Inside the frame: two lines in the 3-D look, one without it.
  int Frame = GetCtl3D() ? 2 : 1;
  InflateRect(&Rect, -Frame, -Frame);
}

void TCustomGroupBox::Paint() {
  TCanvas* C = GetCanvas();
  C->SetFont(GetFont());
  int H = C->TextHeight("0");
  C->GetBrush()->SetColor(GetColor());
  C->GetBrush()->SetStyle(bsSolid);
  C->FillRect(GetClientRect());
  // An etched frame through the middle of the caption line (a plain line without the 3-D look).
  TRect R = Rect(0, H / 2 - 1, FWidth, FHeight);
  if (GetCtl3D()) {
    R.left++;
    R.top++;
    C->GetBrush()->SetColor(clBtnHighlight);
    C->FrameRect(R);
    OffsetRect(&R, -1, -1);
    C->GetBrush()->SetColor(clBtnShadow);
  } else {
    C->GetBrush()->SetColor(clWindowFrame);
  }
  C->FrameRect(R);
  String Text = GetCaption();
  if (Text.empty()) return;
  TRect T = Rect(8, 0, 0, H);
  UINT Flags = DrawTextBiDiModeFlags(DT_SINGLELINE | DT_LEFT);
  DrawTextA(C->GetHandle(), Text.c_str(), static_cast<int>(Text.size()), &T, Flags | DT_CALCRECT);
  C->GetBrush()->SetColor(GetColor());
  C->GetBrush()->SetStyle(bsSolid);
  if (!FEnabled) C->GetFont()->SetColor(clGrayText);
  C->FillRect(T);
  C->GetBrush()->SetStyle(bsClear);
  DrawTextA(C->GetHandle(), Text.c_str(), static_cast<int>(Text.size()), &T, Flags);
}

void TCustomGroupBox::WndProc(TMessage& Message) {
  switch (Message.Msg) {
    case CM_TEXTCHANGED:
    case CM_ENABLEDCHANGED: Invalidate(); break;
    case CM_FONTCHANGED:
      TCustomControl::WndProc(Message);
      Realign();
      return;
    case WM_SIZE:
      TCustomControl::WndProc(Message);
      Invalidate();
      return;
    case CM_DIALOGCHAR:
      // The caption's accelerator moves the focus into the box.
      if (IsAccel(static_cast<Word>(Message.WParam), GetCaption()) && CanFocus()) {
        if (TWinControl* Next = FindNextControl(nullptr, true, true, false)) Next->SetFocus();
        Message.Result = 1;
        return;
      }
      break;
    default: break;
  }
  TCustomControl::WndProc(Message);
}
