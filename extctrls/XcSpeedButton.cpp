#include "extctrls/XcSpeedButton.h"

#include <algorithm>

#include "extctrls/XcComponentUtils.h"
#include "extctrls/XcDrawUtils.h"
#include "extctrls/XcThemes.h"
#include "platform/vcl/DragObjects.h"
#include "platform/vcl/Forms.h"
#include "platform/vcl/ImgList.h"

namespace {

struct TCheckerBrush {
  std::unique_ptr<TBitmap> Bitmap;
  TColor Color1 = clNone, Color2 = clNone;
};

TCheckerBrush& Checker()
{
  static TCheckerBrush Brush;
  return Brush;
}

COLORREF Lighter(TColor Face, int Delta)
{
  const COLORREF C = ColorToRGB(Face);
  auto Part = [Delta](int V) { return static_cast<BYTE>(std::clamp(V + Delta, 0, 255)); };
  return RGB(Part(GetRValue(C)), Part(GetGValue(C)), Part(GetBValue(C)));
}

// The 3-D frames of a classic button (one or two one-pixel frames), then one pixel more.
void PaintButtonFrame(TCanvas* C, TRect& R, bool Down, TColor Face, TButtonStyle Style, bool Flat)
{
  const TColor Light = static_cast<TColor>(Lighter(Face, 64));
  const TColor Dark = static_cast<TColor>(Lighter(Face, -64));
  const bool New = Style != bsWin31;
  if (Down) {
    if (New && !Flat) {
      Frame3D(C, R, clWindowFrame, Light, 1);
      Frame3D(C, R, Dark, Face, 1);
    } else if (New) {
      Frame3D(C, R, Dark, Light, 1);
    } else if (Flat) {
      Frame3D(C, R, clWindowFrame, Light, 1);
    } else {
      Frame3D(C, R, clWindowFrame, clWindowFrame, 1);
      const TColor Previous = C->GetPen()->GetColor();
      C->GetPen()->SetColor(clBtnShadow);
      C->Polyline({Point(R.left, R.bottom - 1), Point(R.left, R.top), Point(R.right, R.top)});
      C->GetPen()->SetColor(Previous);
    }
  } else {
    if (New && Flat) {
      Frame3D(C, R, Light, Dark, 1);
    } else if (New) {
      Frame3D(C, R, Light, clWindowFrame, 1);
      Frame3D(C, R, Face, Dark, 1);
    } else if (Flat) {
      Frame3D(C, R, Light, clWindowFrame, 1);
    } else {
      Frame3D(C, R, clWindowFrame, clWindowFrame, 1);
      Frame3D(C, R, Light, Dark, 1);
    }
  }
  InflateRect(&R, -1, -1);
}

}  // namespace

TBitmap* XcCheckerBrushBitmap(TColor Color1, TColor Color2)
{
  TCheckerBrush& B = Checker();
  if (!B.Bitmap || B.Color1 != Color1 || B.Color2 != Color2) {
    B.Bitmap.reset(MakeCheckerBitmap(Color1, Color2));
    B.Color1 = Color1;
    B.Color2 = Color2;
  }
  return B.Bitmap.get();
}

// ---------------------------------------------------------------------------------------------
// TXcCustomSpeedButton

TXcCustomSpeedButton::TXcCustomSpeedButton(TComponent* AOwner)
    : TXcExGraphicControl(AOwner), FHotTrackOptions(std::make_unique<TXcHotTrackOptions>(nullptr)),
      FGlyph(std::make_unique<TXcxButtonGlyph>())
{
  SetHotTrackOptionsObject(FHotTrackOptions.get());
  SetBounds(GetLeft(), GetTop(), 25, 25);
  FControlStyle = csCaptureMouse | csDoubleClicks;
  SetColor(clBtnFace);
  SetParentFont(true);
  SetParentShowHint(false);
  SetShowHint(true);
  FGlyph->SetGrayNewStyle(true);
  FGlyph->OnChange = [this] { Invalidate(); };
}

TXcCustomSpeedButton::~TXcCustomSpeedButton()
{
  FGlyph->OnChange = nullptr;
  delete FRepeatTimer;
  FRepeatTimer = nullptr;
}

// ---- Setters ----

namespace {
template <class T>
bool Store(T& Field, const T& Value)
{
  if (Field == Value) return false;
  Field = Value;
  return true;
}
}  // namespace

void TXcCustomSpeedButton::SetFlat(bool Value)
{
  if (Store(FFlat, Value)) Invalidate();
}
void TXcCustomSpeedButton::SetTransparent(bool Value)
{
  if (Store(FTransparent, Value)) Invalidate();
}
void TXcCustomSpeedButton::SetStyle(TButtonStyle Value)
{
  if (Store(FStyle, Value)) Invalidate();
}
void TXcCustomSpeedButton::SetLayout(TButtonLayout Value)
{
  if (Store(FLayout, Value)) Invalidate();
}
void TXcCustomSpeedButton::SetMargin(int Value)
{
  if (Value >= -1 && Store(FMargin, Value)) Invalidate();
}
void TXcCustomSpeedButton::SetSpacing(int Value)
{
  if (Store(FSpacing, Value)) Invalidate();
}
void TXcCustomSpeedButton::SetGrayedInactive(bool Value)
{
  if (Store(FGrayedInactive, Value)) Invalidate();
}
void TXcCustomSpeedButton::SetMarkDropDown(bool Value)
{
  if (Store(FMarkDropDown, Value)) Invalidate();
}

void TXcCustomSpeedButton::SetAlignment(TAlignment Value)
{
  if (FGlyph->GetAlignment() == Value) return;
  FGlyph->SetAlignment(Value);
  Invalidate();
}

void TXcCustomSpeedButton::SetWordWrap(bool Value)
{
  if (FGlyph->GetWordWrap() == Value) return;
  FGlyph->SetWordWrap(Value);
  Invalidate();
}

void TXcCustomSpeedButton::SetGrayNewStyle(bool Value)
{
  if (FGlyph->GetGrayNewStyle() == Value) return;
  FGlyph->SetGrayNewStyle(Value);
  Invalidate();
}

void TXcCustomSpeedButton::SetDropDownMenu(TPopupMenu* Value)
{
  SwapComponentReference(this, Value, FDropDownMenu);
  if (FMarkDropDown) Invalidate();
}

void TXcCustomSpeedButton::Notification(TComponent* AComponent, TOperation Operation)
{
  TXcExGraphicControl::Notification(AComponent, Operation);
  if (Operation == opRemove && AComponent == FDropDownMenu) FDropDownMenu = nullptr;
}

// ---- Groups ----

void TXcCustomSpeedButton::SetDown(bool Value)
{
  if (FGroupIndex == 0) Value = false;
  if (Value == FDown) return;
  if (FDown && !FAllowAllUp) return;
  FDown = Value;
  if (Value) {
    if (FButtonState == XcButtonUp) Invalidate();
    FButtonState = XcButtonExclusive;
  } else {
    FButtonState = XcButtonUp;
  }
  Repaint();
  if (Value) NotifyGroup();
  Invalidate();
}

void TXcCustomSpeedButton::SetGroupIndex(int Value)
{
  FGroupIndex = Value;
  NotifyGroup();
}

void TXcCustomSpeedButton::SetAllowAllUp(bool Value)
{
  FAllowAllUp = Value;
  NotifyGroup();
}

void TXcCustomSpeedButton::NotifyGroup()
{
  if (FGroupIndex == 0 || !GetParent()) return;
  TMessage Message{GroupButtonPressedMessage, static_cast<WPARAM>(FGroupIndex), reinterpret_cast<LPARAM>(this), 0};
  GetParent()->Broadcast(Message);
}

void TXcCustomSpeedButton::GroupButtonPressed(TMessage& Message)
{
  if (static_cast<int>(Message.WParam) != FGroupIndex || !GetParent() || !GetParent()->HandleAllocated()) return;
  auto* Sender = dynamic_cast<TXcCustomSpeedButton*>(reinterpret_cast<TObject*>(Message.LParam));
  if (!Sender || Sender == this) return;
  if (Sender->FDown && FDown) {
    FDown = false;
    FButtonState = XcButtonUp;
    Invalidate();
  }
  FAllowAllUp = Sender->FAllowAllUp;
}

void TXcCustomSpeedButton::SetAllowTimer(bool Value)
{
  FAllowTimer = Value;
  if (!Value && FRepeatTimer) {
    FRepeatTimer->SetEnabled(false);
    delete FRepeatTimer;
    FRepeatTimer = nullptr;
  }
}

// ---- Mouse ----

bool TXcCustomSpeedButton::Inside(int X, int Y)
{
  // The bottom edge counts as inside, as the button has always taken it.
  return X >= 0 && X < GetClientWidth() && Y >= 0 && Y <= GetClientHeight();
}

void TXcCustomSpeedButton::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y)
{
  if (FMenuShowing) return;
  TXcExGraphicControl::MouseDown(Button, Shift, X, Y);
  if (!GetMouseOver() && GetEnabled()) {
    Perform(CM_MOUSEENTER, 0, 0);
    Invalidate();
  }
  if (Button != mbLeft || !GetEnabled()) return;
  if (!FDown) {
    FButtonState = XcButtonPressed;
    Invalidate();
  }
  FPressing = true;
  FMenuShowing = true;
  try {
    if (ShowDropDownMenu()) FinishPress(mbLeft, X, Y);
    DropPendingClick();
  } catch (...) {
    FMenuShowing = false;
    throw;
  }
  FMenuShowing = false;
  if (FAllowTimer) {
    if (!FRepeatTimer) {
      FRepeatTimer = new TTimer(nullptr);
      FRepeatTimer->SetEnabled(false);
      FRepeatTimer->SetOnTimer([this](TObject* S) { RepeatTick(S); });
    }
    FRepeatTimer->SetInterval(FInitPause);
    FRepeatTimer->SetEnabled(true);
  }
}

TPoint TXcCustomSpeedButton::DropDownMenuPoint()
{
  if (!FDropDownMenu) return Point(0, 0);
  const TPopupAlignment A = FDropDownMenu->GetAlignment();
  if (FMenuPosition == dmpBottom) {
    const int X = A == paLeft ? -1 : A == paRight ? GetWidth() + 1 : GetWidth() / 2;
    return Point(X, GetHeight());
  }
  if (A == paLeft) return Point(GetWidth(), -1);
  if (A == paRight) return Point(-1, -1);
  return Point(GetWidth() / 2, GetHeight());
}

bool TXcCustomSpeedButton::ShowDropDownMenu()
{
  if (IsDesigning() || !FDropDownMenu || !FDropDownMenu->GetAutoPopup()) return false;
  if (TCustomForm* Form = GetParentForm(this)) Form->SendCancelMode(nullptr);
  FDropDownMenu->SetPopupComponent(this);
  const TPoint P = ClientToScreen(DropDownMenuPoint());
  FDropDownMenu->Popup(P.x, P.y);
  return true;
}

void TXcCustomSpeedButton::DropPendingClick()
{
  TWinControl* Parent = GetParent();
  if (!Parent || !Parent->HandleAllocated()) return;
  MSG Next{};
  if (!PeekMessage(&Next, Parent->GetHandle(), 0, 0, PM_NOREMOVE)) return;
  if (Next.message != WM_LBUTTONDOWN && Next.message != WM_LBUTTONDBLCLK) return;
  const int X = GET_X_LPARAM(Next.lParam) - GetLeft(), Y = GET_Y_LPARAM(Next.lParam) - GetTop();
  if (Inside(X, Y)) RemovePendingMessage(Parent->GetHandle(), Next.message);
}

void TXcCustomSpeedButton::MouseMove(TShiftState Shift, int X, int Y)
{
  TXcExGraphicControl::MouseMove(Shift, X, Y);
  if (!FPressing) return;
  const int NewState = FDown ? XcButtonExclusive : Inside(X, Y) ? XcButtonPressed : XcButtonUp;
  if (NewState != FButtonState) {
    FButtonState = NewState;
    Repaint();
  }
}

void TXcCustomSpeedButton::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y)
{
  TXcExGraphicControl::MouseUp(Button, Shift, X, Y);
  FinishPress(Button, X, Y);
  if (FRepeatTimer) FRepeatTimer->SetEnabled(false);
}

void TXcCustomSpeedButton::FinishPress(TMouseButton Button, int X, int Y)
{
  if (!FPressing || Button != mbLeft) return;
  FPressing = false;
  const bool In = Inside(X, Y);
  if (FGroupIndex == 0) {
    FButtonState = XcButtonUp;
    Perform(CM_MOUSELEAVE, 0, 0);
    Invalidate();
  } else if (In) {
    SetDown(!FDown);
    if (FDown) Repaint();
  } else {
    if (FDown) FButtonState = XcButtonExclusive;
    Repaint();
  }
  if (In && !FMenuShowing) Click();
  SyncMouseOver();
}

void TXcCustomSpeedButton::RepeatTick(TObject*)
{
  FRepeatTimer->SetInterval(FRepeatInterval);
  if (FButtonState != XcButtonPressed || GetCaptureControl() != this) return;
  try {
    Click();
  } catch (...) {
    if (FRepeatTimer) FRepeatTimer->SetEnabled(false);
    throw;
  }
}

void TXcCustomSpeedButton::Click()
{
  if (TCustomForm* Form = GetParentForm(this)) Form->SetModalResult(FModalResult);
  TXcExGraphicControl::Click();
}

void TXcCustomSpeedButton::SyncMouseOver()
{
  TPoint Cursor{};
  GetCursorPos(&Cursor);
  const bool Over = GetEnabled() && FindDragTarget(Cursor, true) == this && ActiveWindowInThisThread();
  if (Over != GetMouseOver()) Perform(Over ? CM_MOUSEENTER : CM_MOUSELEAVE, 0, 0);
}

// ---- Hooks ----

void TXcCustomSpeedButton::HookMouseEnter(TControl* Control)
{
  if (IsDesigning() || GetMouseOver() || !GetEnabled()) return;
  const bool Needed = (XcThemeServices()->ThemesEnabled() || GetHotTrack() ||
                       (FFlat && GetEnabled() && GetDragMode() != dmAutomatic && GetCapture() == nullptr)) &&
                      !GetDragObject();
  TXcExGraphicControl::HookMouseEnter(Control);
  if (Needed) Invalidate();
}

void TXcCustomSpeedButton::HookMouseLeave(TControl* Control)
{
  if (!GetMouseOver() || !GetEnabled()) return;
  const bool Needed = (XcThemeServices()->ThemesEnabled() || GetHotTrack() ||
                       (FFlat && GetEnabled() && !FPressing && GetCapture() == nullptr)) &&
                      !GetDragObject();
  TXcExGraphicControl::HookMouseLeave(Control);
  if (Needed) Invalidate();
}

bool TXcCustomSpeedButton::HookDialogChar(Word Key, TShiftState Shift, const std::u16string& KeyText)
{
  if (IsAccel(Key, GetCaption()) && GetEnabled() && (Shift & ssAlt)) {
    Click();
    return true;
  }
  return TXcExGraphicControl::HookDialogChar(Key, Shift, KeyText);
}

void TXcCustomSpeedButton::PrepareStateGlyph()
{
  PrepareGlyph(!GetEnabled() ? XcButtonDisabled : FFlat ? XcButtonInactive : XcButtonUp);
}

void TXcCustomSpeedButton::HookEnabledChanged()
{
  TXcExGraphicControl::HookEnabledChanged();
  PrepareStateGlyph();
  SyncMouseOver();
  Repaint();
}

void TXcCustomSpeedButton::Loaded()
{
  TXcExGraphicControl::Loaded();
  PrepareStateGlyph();
}

void TXcCustomSpeedButton::HookFontChanged()
{
  TXcExGraphicControl::HookFontChanged();
  FollowFont();
  Invalidate();
}

void TXcCustomSpeedButton::HookVisibleChanged()
{
  TXcExGraphicControl::HookVisibleChanged();
  if (GetVisible()) SyncMouseOver();
}

void TXcCustomSpeedButton::WndProc(TMessage& Message)
{
  switch (Message.Msg) {
    case WM_LBUTTONDBLCLK:
      if (FMenuShowing) return;
      TXcExGraphicControl::WndProc(Message);
      if (FDown) DblClick();
      return;
    case WM_RBUTTONDOWN:
    case WM_RBUTTONUP:
      TXcExGraphicControl::WndProc(Message);
      SyncMouseOver();
      return;
    case CM_SYSCOLORCHANGE:
      ReleaseGlyphImages();
      Invalidate();
      return;
    case GroupButtonPressedMessage: GroupButtonPressed(Message); return;
    default: TXcExGraphicControl::WndProc(Message); return;
  }
}

// ---- Painting ----

void TXcCustomSpeedButton::WMPaint(TMessage& Message)
{
  auto DC = reinterpret_cast<HDC>(Message.WParam);
  if (!FDoubleBuffered || !DC) {
    TXcExGraphicControl::WMPaint(Message);
    return;
  }
  const int W = std::max(GetWidth(), 1), H = std::max(GetHeight(), 1);
  HDC MemDC = CreateCompatibleDC(DC);
  HBITMAP Bitmap = CreateCompatibleBitmap(DC, W, H);
  HGDIOBJ Old = SelectObject(MemDC, Bitmap);
  auto Release = [&] {
    SelectObject(MemDC, Old);
    DeleteObject(Bitmap);
    DeleteDC(MemDC);
  };
  try {
    const int Saved = SaveDC(MemDC);
    TMessage Inner{Message.Msg, reinterpret_cast<WPARAM>(MemDC), Message.LParam, 0};
    TXcExGraphicControl::WMPaint(Inner);
    RestoreDC(MemDC, Saved);
    BitBlt(DC, 0, 0, W, H, MemDC, 0, 0, SRCCOPY);
  } catch (...) {
    Release();
    throw;
  }
  Release();
}

void TXcCustomSpeedButton::Paint()
{
  if (!GetEnabled()) {
    FButtonState = XcButtonDisabled;
    FPressing = false;
  } else if (FButtonState == XcButtonDisabled) {
    FButtonState = FDown && FGroupIndex != 0 ? XcButtonExclusive : XcButtonUp;
  }
  const int PaintState = FFlat && !GetMouseOver() && !IsDesigning() ? XcButtonInactive : FButtonState;
  const int GlyphState = FButtonState == XcButtonDisabled || !FGrayedInactive ? FButtonState : PaintState;
  TCanvas* C = GetCanvas();
  TRect R{0, 0, GetWidth(), GetHeight()};
  TPoint Offset = Point(0, 0);
  if (XcThemeServices()->ThemesEnabled())
    PaintThemed(C, R, Offset);
  else
    PaintClassic(C, R, Offset, PaintState);
  PaintImage(C, R, Offset, GlyphState, FMarkDropDown && FDropDownMenu);
}

void TXcCustomSpeedButton::PaintThemed(TCanvas* C, TRect& R, TPoint& Offset)
{
  if (FTransparent)
    PaintParentImage(this, C);
  else if (!FDoubleBuffered)
    EraseParentBackground(this, C->GetHandle());
  else
    EraseParentBackgroundAt(this, C->GetHandle(), Point(0, 0));
  C->SetFont((GetMouseOver() || FPressing) && GetHotTrack() ? GetHotTrackFont() : GetFont());
  const bool Pressed = GetEnabled() && (FButtonState == XcButtonPressed || FButtonState == XcButtonExclusive);
  const bool Hot = GetEnabled() && !Pressed && (GetMouseOver() || FPressing);
  // The theme services here draw no elements of their own: a toolbar button shows a thin
  // edge only when hot or pressed, a push button always has one.
  if (!FFlat || Pressed || Hot) {
    TRect E = R;
    DrawEdge(C->GetHandle(), &E, Pressed ? BDR_SUNKENOUTER : BDR_RAISEDINNER, BF_RECT);
  }
  InflateRect(&R, FFlat ? -2 : -3, FFlat ? -2 : -3);
  Offset = FFlat && Pressed ? Point(1, 0) : Point(0, 0);
}

void TXcCustomSpeedButton::PaintClassic(TCanvas* C, TRect& R, TPoint& Offset, int PaintState)
{
  if (FTransparent) {
    PaintParentImage(this, C);
  } else {
    C->GetBrush()->SetStyle(bsSolid);
    C->GetBrush()->SetColor(FFlat && GetParent() ? GetParent()->GetColor() : GetColor());
    C->FillRect(R);
  }
  const bool DownLook = FButtonState == XcButtonPressed || FButtonState == XcButtonExclusive;
  if (PaintState != XcButtonInactive || FButtonState == XcButtonExclusive)
    PaintButtonFrame(C, R, DownLook, GetColor(), FStyle, FFlat);
  else if (FFlat)
    InflateRect(&R, -2, -2);
  if (FButtonState == XcButtonExclusive && !FTransparent && (!FFlat || PaintState == XcButtonInactive)) {
    C->GetBrush()->SetBitmap(XcCheckerBrushBitmap(clBtnFace, clBtnHighlight));
    TRect Face = R;
    InflateRect(&Face, 1, 1);
    C->FillRect(Face);
    C->GetBrush()->SetBitmap(nullptr);
  }
  Offset = DownLook ? Point(1, 1) : Point(0, 0);

  if (((FHotTrackOptions->GetEnabled() && FDown) || GetMouseOver() || FPressing) && GetHotTrack()) {
    C->SetFont(GetHotTrackFont());
    if (FHotTrackOptions->GetEnabled()) {
      if (FDown)
        C->GetBrush()->SetBitmap(XcCheckerBrushBitmap(FHotTrackOptions->GetColor(), clWindow));
      else {
        C->GetBrush()->SetStyle(bsSolid);
        C->GetBrush()->SetColor(FHotTrackOptions->GetColor());
      }
      if (FHotTrackOptions->GetFrameVisible()) {
        const TColor Previous = C->GetPen()->GetColor();
        C->GetPen()->SetColor(FHotTrackOptions->GetFrameColor());
        C->Rectangle(0, 0, GetWidth(), GetHeight());
        C->GetPen()->SetColor(Previous);
      } else {
        R = TRect{0, 0, GetWidth(), GetHeight()};
        InflateRect(&R, -1, FFlat ? -1 : -2);
        C->FillRect(R);
      }
      if (FDown) C->GetBrush()->SetBitmap(nullptr);
    }
  } else {
    C->SetFont(GetFont());
  }
}

// ---------------------------------------------------------------------------------------------
// TXcSpeedButton

TXcSpeedButton::TXcSpeedButton(TComponent* AOwner)
    : TXcCustomSpeedButton(AOwner), FHotTrackGlyph(std::make_unique<TXcxButtonGlyph>())
{
  FHotTrackGlyph->OnChange = [this] { Invalidate(); };
}

void TXcSpeedButton::SetGlyph(TBitmap* Value)
{
  MainGlyph()->SetGlyph(Value);
  Invalidate();
}

void TXcSpeedButton::SetHotTrackGlyph(TBitmap* Value)
{
  FHotTrackGlyph->SetGlyph(Value);
  Invalidate();
}

void TXcSpeedButton::SetNumGlyphs(int Value)
{
  Value = std::min(Value, XcGlyphStates);
  if (Value < 1 || Value == MainGlyph()->GetNumGlyphs()) return;
  MainGlyph()->SetNumGlyphs(Value);
  Invalidate();
}

void TXcSpeedButton::ActionChange(TObject* Sender, bool CheckDefaults)
{
  TXcCustomSpeedButton::ActionChange(Sender, CheckDefaults);
  auto* Action = dynamic_cast<TCustomAction*>(Sender);
  if (!Action) return;
  if (!CheckDefaults || GetGroupIndex() == 0) SetGroupIndex(Action->GetGroupIndex());
  TCustomImageList* Images = Action->GetActionList() ? Action->GetActionList()->GetImages() : nullptr;
  int Index = Action->GetImageIndex();
  if (!GetGlyph()->Empty() || !Images || Index < 0 || Index >= Images->GetCount()) return;
  TBitmap Image;
  Image.SetSize(Images->GetWidth(), Images->GetHeight());
  TCanvas* C = Image.GetCanvas();
  C->GetBrush()->SetColor(clFuchsia);
  C->FillRect(Rect(0, 0, Image.GetWidth(), Image.GetHeight()));
  Images->Draw(C, 0, 0, Index);
  Image.SetTransparentColor(clFuchsia);
  SetGlyph(&Image);
}

std::unique_ptr<TControlActionLink> TXcSpeedButton::CreateActionLink()
{
  return std::make_unique<TXcSpeedButtonActionLink>(this);
}

void TXcSpeedButton::ReleaseGlyphImages()
{
  TXcCustomSpeedButton::ReleaseGlyphImages();
  FHotTrackGlyph->ReleaseStateImages();
}

void TXcSpeedButton::PaintImage(TCanvas* Canvas, const TRect& Rect, const TPoint& Offset, int State, bool DrawMark)
{
  TXcxButtonGlyph* G = MainGlyph();
  if ((GetMouseOver() || GetPressing()) && GetHotTrack() && !FHotTrackGlyph->GetGlyph()->Empty()) {
    auto Saved = std::move(FHotTrackGlyph->OnChange);
    FHotTrackGlyph->OnChange = nullptr;
    FHotTrackGlyph->SetAlignment(G->GetAlignment());
    FHotTrackGlyph->SetGrayNewStyle(G->GetGrayNewStyle());
    FHotTrackGlyph->SetNumGlyphs(G->GetNumGlyphs());
    FHotTrackGlyph->SetWordWrap(G->GetWordWrap());
    FHotTrackGlyph->OnChange = std::move(Saved);
    G = FHotTrackGlyph.get();
  }
  UINT Flags = DT_CENTER;
  if (G->GetAlignment() == taLeftJustify) Flags = DT_LEFT;
  else if (G->GetAlignment() == taRightJustify) Flags = DT_RIGHT;
  G->DrawGlyphAndText(Canvas, Rect, Offset, GetCaption(), GetLayout(), GetMargin(), GetSpacing(), DrawMark, State,
                      DrawTextBiDiModeFlags(Flags));
}

// ---------------------------------------------------------------------------------------------
// TXcSpeedButtonActionLink

TXcSpeedButtonActionLink::TXcSpeedButtonActionLink(TXcSpeedButton* AClient) : TControlActionLink(AClient)
{
  AssignClient(AClient);
}

void TXcSpeedButtonActionLink::AssignClient(TObject* AClient)
{
  TControlActionLink::AssignClient(AClient);
  FClient = dynamic_cast<TXcSpeedButton*>(AClient);
}

bool TXcSpeedButtonActionLink::IsCheckedLinked()
{
  return TControlActionLink::IsCheckedLinked() && FClient && FClient->GetGroupIndex() != 0 &&
         FClient->GetAllowAllUp() && CustomAction()->GetChecked() == FClient->GetDown();
}

bool TXcSpeedButtonActionLink::IsGroupIndexLinked()
{
  return FClient && CustomAction() && CustomAction()->GetGroupIndex() == FClient->GetGroupIndex();
}

void TXcSpeedButtonActionLink::SetChecked(bool Value)
{
  if (IsCheckedLinked()) FClient->SetDown(Value);
}

void TXcSpeedButtonActionLink::SetGroupIndex(int Value)
{
  if (IsGroupIndexLinked()) FClient->SetGroupIndex(Value);
}
