#include "extctrls/XcPanel.h"

#include <algorithm>
#include <cstdlib>

#include "extctrls/XcDrawUtils.h"
#include "extctrls/XcThemes.h"
#include "platform/vcl/ColorIdents.h"
#include "platform/vcl/DragObjects.h"

const char* const SXcArrangeSettingsDestroyed =
    "Your code tried to destroy the TXcPanel.ArrangeSettings objects leaving the panel in a broken state. Please "
    "fix your code by adding\r\n\r\n"
    "    if not ((Components[I] is TXcArrangeSettings) or\r\n"
    "            (Components[I] is TXcPanelHotTrackOptions)) then\r\n\r\n"
    "or by using the Controls[] array property if possible.";

// ---------------------------------------------------------------------------------------------
// TXcArrangeSettings

void TXcArrangeSettings::Assign(TPersistent* Source)
{
  auto* S = dynamic_cast<TXcArrangeSettings*>(Source);
  if (!S) {
    TXcPersistentProperty::Assign(Source);
    return;
  }
  EnterUpdate();
  try {
    SetAutoArrange(S->FAutoArrange);
    SetAutoSize(S->FAutoSize);
    SetWrapControls(S->FWrapControls);
    SetBorderLeft(S->FBorderLeft);
    SetBorderTop(S->FBorderTop);
    SetDistanceVertical(S->FDistanceVertical);
    SetDistanceHorizontal(S->FDistanceHorizontal);
    SetShowNotVisibleAtDesignTime(S->FShowNotVisibleAtDesignTime);
    SetMaxWidth(S->FMaxWidth);
    SetMaxControlsPerLine(S->FMaxControlsPerLine);
    SetVerticalAlignment(S->FVerticalAlignment);
    SetHorizontalAlignment(S->FHorizontalAlignment);
    SetHorizontalAlignLines(S->FHorizontalAlignLines);
  } catch (...) {
    LeaveUpdate();
    throw;
  }
  LeaveUpdate();
}

void TXcArrangeSettings::Free()
{
  auto* Panel = dynamic_cast<TXcPanel*>(TXcPersistent::GetOwner());
  if (Panel && !(Panel->GetComponentState() & csDestroying)) throw EXCLException(SXcArrangeSettingsDestroyed);
  delete this;
}

// ---------------------------------------------------------------------------------------------
// TXcCustomArrangePanel

TXcCustomArrangePanel::TXcCustomArrangePanel(TComponent* AOwner) : TXcCustomPanel(AOwner)
{
  AddThemeStyle(this, csNeedsBorderPaint | csParentBackground);
  SetHotTrackOptionsObject(new TXcPanelHotTrackOptions(this));
  CreateArrangeSettings();
}

TXcCustomArrangePanel::~TXcCustomArrangePanel()
{
  // The owned settings and options go with the components; nothing may reach them afterwards.
  Destroying();
  DestroyComponents();
  FArrangeSettings = nullptr;
  SetHotTrackOptionsObject(nullptr);
}

void TXcCustomArrangePanel::CreateArrangeSettings()
{
  FArrangeSettings = new TXcArrangeSettings(this);
  FArrangeSettings->OnPropertyChanged = [this](TObject* Sender, const String& Name) {
    ArrangeSettingChanged(Sender, Name);
  };
}

void TXcCustomArrangePanel::Notification(TComponent* AComponent, TOperation Operation)
{
  TXcCustomPanel::Notification(AComponent, Operation);
  if (Operation != opRemove || (GetComponentState() & csDestroying)) return;
  // Owned option objects deleted by other code: the panel carries on with fresh defaults
  // rather than with a dangling object.
  if (AComponent == FArrangeSettings) CreateArrangeSettings();
  if (AComponent == GetHotTrackOptions()) SetHotTrackOptionsObject(new TXcPanelHotTrackOptions(this));
}

void TXcCustomArrangePanel::SetTransparent(bool Value)
{
  if (FTransparent == Value) return;
  FTransparent = Value;
  if (HandleAllocated()) RecreateWnd();
  if (FTransparent)
    FControlStyle &= ~csOpaque;
  else
    FControlStyle |= csOpaque;
  Invalidate();
}

void TXcCustomArrangePanel::SetFlatBorder(bool Value)
{
  if (FFlatBorder == Value) return;
  FFlatBorder = Value;
  Invalidate();
}

void TXcCustomArrangePanel::SetFlatBorderColor(TColor Value)
{
  if (FFlatBorderColor == Value) return;
  FFlatBorderColor = Value;
  Invalidate();
}

void TXcCustomArrangePanel::SetMultiLine(bool Value)
{
  if (FMultiLine == Value) return;
  FMultiLine = Value;
  Invalidate();
}

void TXcCustomArrangePanel::SetSizeable(bool Value)
{
  if (FSizeable == Value) return;
  FSizeable = Value;
  Invalidate();
}

void TXcCustomArrangePanel::SetArrangeSettings(TXcArrangeSettings* Value)
{
  if (Value && Value != FArrangeSettings) FArrangeSettings->Assign(Value);
}

void TXcCustomArrangePanel::SetBounds(int ALeft, int ATop, int AWidth, int AHeight)
{
  TXcCustomPanel::SetBounds(ALeft, ATop, AWidth, AHeight);
  if (FTransparent) Invalidate();
}

std::uint64_t TXcCustomArrangePanel::NativeWindowId() { return EnsureNativeWindow(GetHandle()); }

void TXcCustomArrangePanel::CreateParams(TCreateParams& Params)
{
  TXcCustomPanel::CreateParams(Params);
  if (FTransparent) {
    Params.ExStyle |= WS_EX_TRANSPARENT;
    FControlStyle &= ~csOpaque;
  } else {
    Params.ExStyle &= ~static_cast<DWORD>(WS_EX_TRANSPARENT);
    FControlStyle |= csOpaque;
  }
}

bool TXcCustomArrangePanel::HookEraseBackground(TCanvas* Canvas, LPARAM Param)
{
  if (FTransparent) return true;
  return TXcCustomPanel::HookEraseBackground(Canvas, Param);
}

void TXcCustomArrangePanel::HookTextChanged()
{
  TXcCustomPanel::HookTextChanged();
  Invalidate();
}

void TXcCustomArrangePanel::HookParentColorChanged()
{
  Invalidate();
  TXcCustomPanel::HookParentColorChanged();
}

void TXcCustomArrangePanel::HookMouseEnter(TControl* Control)
{
  if (IsDesigning() || GetMouseOver() || !GetEnabled() || (Control && Control != this)) return;
  TXcCustomPanel::HookMouseEnter(Control);
  if (!FTransparent && GetHotTrack() && !FSizing && !GetDragObject()) Repaint();
}

void TXcCustomArrangePanel::HookMouseLeave(TControl* Control)
{
  if (IsDesigning() || !GetMouseOver() || !GetEnabled() || (Control && Control != this)) return;
  TXcCustomPanel::HookMouseLeave(Control);
  if (!FTransparent && GetHotTrack() && (FSizing || !GetDragObject())) Repaint();
}

// ---- Painting ----

void TXcCustomArrangePanel::Paint()
{
  if (OnPaint) {
    OnPaint(this);
    return;
  }
  TCanvas* C = GetCanvas();
  if (FTransparent) PaintParentImage(this, C);
  TRect R = GetClientRect();
  if (IsHot()) {
    C->SetFont(GetHotTrackFont());
    if (GetHotTrackOptions()->GetEnabled()) {
      C->GetBrush()->SetStyle(bsSolid);
      C->GetBrush()->SetColor(GetHotTrackOptions()->GetColor());
      if (GetHotTrackOptions()->GetFrameVisible()) {
        const TColor Previous = C->GetPen()->GetColor();
        C->GetPen()->SetColor(GetHotTrackOptions()->GetFrameColor());
        C->Rectangle(0, 0, GetWidth(), GetHeight());
        C->GetPen()->SetColor(Previous);
      } else {
        InflateRect(&R, -GetBevelWidth(), -GetBevelWidth());
        C->FillRect(R);
      }
    }
  } else {
    C->SetFont(GetFont());
    C->GetBrush()->SetStyle(bsSolid);
    C->GetBrush()->SetColor(GetColor());
    if (FTransparent)
      C->GetBrush()->SetStyle(bsClear);
    else
      FillThemedBackground(this, C, R, true);
    if (!FFlatBorder) {
      PaintBevels();
    } else if (GetBorderWidth() > 0) {
      const int W = GetBorderWidth();
      const int Near = W / 2, Far = W / 2 - (W % 2 == 0 ? 1 : 0);
      TPen* Pen = C->GetPen();
      const int OldWidth = Pen->GetWidth();
      const TColor OldColor = Pen->GetColor();
      const TBrushStyle OldStyle = C->GetBrush()->GetStyle();
      C->GetBrush()->SetStyle(bsClear);
      Pen->SetWidth(W);
      Pen->SetColor(FFlatBorderColor);
      C->Rectangle(R.left + Near, R.top + Near, R.right - Far, R.bottom - Far);
      Pen->SetWidth(OldWidth);
      Pen->SetColor(OldColor);
      C->GetBrush()->SetStyle(OldStyle);
    }
  }
  PaintOwnCaption();
  if (FSizeable) PaintSizeGrip();
}

void TXcCustomArrangePanel::PaintBevels()
{
  TCanvas* C = GetCanvas();
  TRect R = GetClientRect();
  auto Bevel = [&](TPanelBevel Cut) {
    if (Cut == bvNone) return;
    TColor Top = clBtnHighlight, Bottom = clBtnShadow;
    if (Cut == bvLowered) std::swap(Top, Bottom);
    Frame3D(C, R, Top, Bottom, GetBevelWidth());
  };
  Bevel(GetBevelOuter());
  if (GetBorderWidth() > 0) Frame3D(C, R, GetColor(), GetColor(), GetBorderWidth());
  Bevel(GetBevelInner());
}

void TXcCustomArrangePanel::PaintOwnCaption() { RenderCaption(GetCanvas()); }

void TXcCustomArrangePanel::RenderCaption(TCanvas* Canvas)
{
  const String Text = GetCaption();
  if (Text.empty()) return;
  Canvas->SetFont(GetHotTrack() && (GetMouseOver() || FSizing) ? GetHotTrackFont() : GetFont());
  SetBkMode(Canvas->GetHandle(), TRANSPARENT);
  int Bevels = 0;
  if (GetBevelOuter() != bvNone) Bevels += GetBevelWidth();
  if (GetBevelInner() != bvNone) Bevels += GetBevelWidth();
  TRect R = GetClientRect();
  InflateRect(&R, -(GetBorderWidth() + Bevels), -(GetBorderWidth() + Bevels));
  UINT Flags = DT_EXPANDTABS | (FMultiLine ? DT_WORDBREAK : DT_SINGLELINE);
  switch (GetAlignment()) {
    case taLeftJustify: Flags |= DT_LEFT; break;
    case taRightJustify: Flags |= DT_RIGHT; break;
    default: Flags |= DT_CENTER; break;
  }
  Flags = DrawTextBiDiModeFlags(Flags);
  TRect T = R;
  DrawTextOnCanvas(Canvas, Text, -1, Flags | DT_CALCRECT, T);
  const int TextW = T.right - T.left, TextH = T.bottom - T.top;
  T.top = (GetHeight() - TextH) / 2;
  T.bottom = T.top + TextH;
  if (GetAlignment() == taRightJustify) T.left = GetWidth() - TextW - GetBorderWidth() - Bevels;
  else if (GetAlignment() == taCenter) T.left = (GetWidth() - TextW) / 2;
  T.right = T.left + TextW;
  if (!GetEnabled()) Canvas->GetFont()->SetColor(clGrayText);
  DrawTextOnCanvas(Canvas, Text, -1, Flags, T);
}

void TXcCustomArrangePanel::PaintSizeGrip()
{
  // The classic grip; the theme services here draw no elements, so the themed look is the same.
  TCanvas* C = GetCanvas();
  const int BW = GetBevelWidth();
  const int X = GetClientWidth() - GetSystemMetrics(SM_CXVSCROLL) - BW - 2;
  const int Y = GetClientHeight() - GetSystemMetrics(SM_CYHSCROLL) - BW - 2;
  TFont* F = C->GetFont();
  F->SetName("Marlett");
  F->SetCharset(DEFAULT_CHARSET);
  F->SetSize(12);
  F->SetStyle(0);
  C->GetBrush()->SetStyle(bsClear);
  F->SetColor(clBtnHighlight);
  C->TextOut(X, Y, "o");
  F->SetColor(clBtnShadow);
  C->TextOut(X, Y, "p");
}

// ---- Moving and sizing ----

bool TXcCustomArrangePanel::QueryMoveStart(int X, int Y)
{
  bool Allow = true;
  if (OnBeforeMove) OnBeforeMove(this, X, Y, Allow);
  return Allow;
}

void TXcCustomArrangePanel::NotifyMoveEnd()
{
  if (FMoving && OnAfterMove) OnAfterMove(this);
}

void TXcCustomArrangePanel::WndProc(TMessage& Message)
{
  switch (Message.Msg) {
    case WM_NCHITTEST: {
      TXcCustomPanel::WndProc(Message);
      if (!FMovable || IsDesigning()) return;
      const TPoint P = ScreenToClient(Point(GET_X_LPARAM(Message.LParam), GET_Y_LPARAM(Message.LParam)));
      if (P.x > 5 && P.x < GetWidth() - 5 && P.y > 5 && P.y < GetHeight() - 5 && QueryMoveStart(P.x, P.y)) {
        Message.Result = HTCAPTION;
        FMoving = true;
      }
      return;
    }
    case WM_EXITSIZEMOVE:
      TXcCustomPanel::WndProc(Message);
      if (IsDesigning()) return;
      NotifyMoveEnd();
      FMoving = false;
      return;
    default: TXcCustomPanel::WndProc(Message); return;
  }
}

void TXcCustomArrangePanel::SetSizingCursor()
{
  if (Screen->GetCursor() == crSizeNWSE) return;
  FSavedCursor = Screen->GetCursor();
  Screen->SetCursor(crSizeNWSE);
}

void TXcCustomArrangePanel::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y)
{
  if (FSizeable && Button == mbLeft && GetWidth() - X <= 11 && GetHeight() - Y <= 11) {
    FSizing = true;
    FSizingStart = Point(X, Y);
    SetMouseCapture(true);
    SetSizingCursor();
    return;
  }
  TXcCustomPanel::MouseDown(Button, Shift, X, Y);
}

void TXcCustomArrangePanel::MouseMove(TShiftState Shift, int X, int Y)
{
  if (FSizing) {
    int NewW = GetWidth() + X - FSizingStart.x;
    int NewH = GetHeight() + Y - FSizingStart.y;
    if (NewW > 1 && NewH > 1) {
      const TSizeConstraints* K = GetConstraints();
      if (K->GetMinWidth() != 0) NewW = std::max(NewW, K->GetMinWidth());
      if (K->GetMaxWidth() != 0) NewW = std::min(NewW, K->GetMaxWidth());
      if (K->GetMinHeight() != 0) NewH = std::max(NewH, K->GetMinHeight());
      if (K->GetMaxHeight() != 0) NewH = std::min(NewH, K->GetMaxHeight());
      const bool WChanged = NewW != GetWidth(), HChanged = NewH != GetHeight();
      if (WChanged) FSizingStart.x = X;
      if (HChanged) FSizingStart.y = Y;
      if (WChanged || HChanged) {
        SetBounds(GetLeft(), GetTop(), NewW, NewH);
        Refresh();
      }
    }
  } else {
    TXcCustomPanel::MouseMove(Shift, X, Y);
  }
  if (FSizeable && GetWidth() - X < 12 && GetHeight() - Y < 12) SetSizingCursor();
}

void TXcCustomArrangePanel::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y)
{
  if (!FSizing) {
    TXcCustomPanel::MouseUp(Button, Shift, X, Y);
    return;
  }
  FSizing = false;
  SetMouseCapture(false);
  if (Screen->GetCursor() == crSizeNWSE) Screen->SetCursor(FSavedCursor);
  Refresh();
}

// ---- Arranging triggers ----

void TXcCustomArrangePanel::ArrangeSettingChanged(TObject*, const String& PropertyName)
{
  if (PropertyName == "AutoArrange") {
    if (FArrangeSettings->GetAutoArrange()) ArrangeControls();
  } else if (PropertyName == "AutoSize") {
    if (FArrangeSettings->GetAutoSize() != asNone) ArrangeControls();
  } else {
    ArrangeIfAuto();
  }
}

void TXcCustomArrangePanel::ArrangeIfAuto()
{
  if (FArrangeSettings->GetAutoArrange() && !IsLoading()) ArrangeControls();
}

void TXcCustomArrangePanel::SuspendArranging()
{
  ++FArrangeDisableCount;
  DisableAlign();
}

void TXcCustomArrangePanel::ResumeArranging()
{
  EnableAlign();
  if (FArrangeDisableCount > 0) --FArrangeDisableCount;
}

void TXcCustomArrangePanel::Resize()
{
  if (FArrangeSettings->GetAutoArrange()) ArrangeControls();
  TXcCustomPanel::Resize();
}

void TXcCustomArrangePanel::Loaded()
{
  TXcCustomPanel::Loaded();
  if (FArrangeSettings->GetAutoArrange()) ArrangeControls();
}

void TXcCustomArrangePanel::AlignControls(TControl* AControl, TRect& Rect)
{
  TXcCustomPanel::AlignControls(AControl, Rect);
  if (FArrangeSettings->GetAutoArrange()) ArrangeControls();
}

TWinControl* TXcCustomArrangePanel::ControlAtTabOrder(int TabOrder)
{
  for (int I = 0; I < GetControlCount(); ++I) {
    auto* W = dynamic_cast<TWinControl*>(GetControl(I));
    if (W && W->GetTabOrder() == TabOrder) return W;
  }
  return nullptr;
}

// ---------------------------------------------------------------------------------------------
// TXcPanel

void TXcPanel::SetWidth(int Value)
{
  const bool Differs = Value != GetWidth();
  TXcCustomArrangePanel::SetBounds(GetLeft(), GetTop(), Value, GetHeight());
  if (Differs) SizeChanged(true, Value);
}

void TXcPanel::SetHeight(int Value)
{
  const bool Differs = Value != GetHeight();
  TXcCustomArrangePanel::SetBounds(GetLeft(), GetTop(), GetWidth(), Value);
  if (Differs) SizeChanged(false, Value);
}

void TXcPanel::SizeChanged(bool WidthChanged, int Requested)
{
  if (WidthChanged && OnChangedWidth) OnChangedWidth(this, Requested);
  if (!WidthChanged && OnChangedHeight) OnChangedHeight(this, Requested);
  if (OnResizeParent) {
    OnResizeParent(this, GetLeft(), GetTop(), WidthChanged ? Requested : GetWidth(),
                   WidthChanged ? GetHeight() : Requested);
    return;
  }
  if (auto* P = dynamic_cast<TXcCustomArrangePanel*>(GetParent())) P->ArrangeIfAuto();
}

bool TXcPanel::ReadStoredText(const String& Name, const String& Value)
{
  if (Name != "HotColor") return false;
  TColor Color = 0;
  if (IdentToColor(Value, Color)) {
    GetHotTrackOptions()->SetColor(Color);
    return true;
  }
  char* End = nullptr;
  const long long N = std::strtoll(Value.c_str(), &End, 10);
  if (!Value.empty() && End && *End == '\0') GetHotTrackOptions()->SetColor(static_cast<TColor>(N));
  return true;
}
