#include "platform/vcl/Controls.h"

#include <algorithm>
#include <cstring>

#include "platform/rtl/MathUtils.h"
#include "platform/rtl/RtlConsts.h"
#include "platform/vcl/ControlActionLink.h"
#include "platform/vcl/DragObjects.h"
#include "platform/vcl/Forms.h"

namespace {

constexpr const char* SControlParentSetToSelf = "A control cannot have itself as its parent";
constexpr const char* SParentRequired = "Control '%s' has no parent window";
constexpr const char* SCannotFocus = "Cannot focus a disabled or invisible window";
constexpr const char* SControlProp = "QvVclControl";
constexpr const char* SWindowDCError = "Error creating window device context";
constexpr const char* SCannotDragForm = "Cannot drag a form";

thread_local TWinControl* CreationControl = nullptr;
TControl* CaptureControl = nullptr;
TControl* MouseControl = nullptr;
std::vector<TControlCanvas*> CanvasList;

TAnchors AnchorAlign(TAlign Align) {
  switch (Align) {
    case alTop: return akLeft | akTop | akRight;
    case alBottom: return akLeft | akRight | akBottom;
    case alLeft: return akLeft | akTop | akBottom;
    case alRight: return akRight | akTop | akBottom;
    case alClient: return akLeft | akTop | akRight | akBottom;
    default: return akLeft | akTop;
  }
}

LPARAM PointToLParam(int X, int Y) {
  return MAKELPARAM(static_cast<WORD>(static_cast<SHORT>(X)), static_cast<WORD>(static_cast<SHORT>(Y)));
}

// Moves the window origin so that (DX, DY) becomes the DC's (0, 0).
void MoveWindowOrg(HDC DC, int DX, int DY) {
  POINT P{};
  GetWindowOrgEx(DC, &P);
  SetWindowOrgEx(DC, P.x - DX, P.y - DY, nullptr);
}

}  // namespace

TShiftState KeysToShiftState(WPARAM Keys) {
  TShiftState Result = 0;
  if (Keys & MK_SHIFT) Result |= ssShift;
  if (Keys & MK_CONTROL) Result |= ssCtrl;
  if (Keys & MK_LBUTTON) Result |= ssLeft;
  if (Keys & MK_RBUTTON) Result |= ssRight;
  if (Keys & MK_MBUTTON) Result |= ssMiddle;
  if (GetKeyState(VK_MENU) < 0) Result |= ssAlt;
  return Result;
}

TShiftState KeyboardStateToShiftState() {
  TShiftState Result = 0;
  if (GetKeyState(VK_SHIFT) < 0) Result |= ssShift;
  if (GetKeyState(VK_CONTROL) < 0) Result |= ssCtrl;
  if (GetKeyState(VK_MENU) < 0) Result |= ssAlt;
  if (GetKeyState(VK_LBUTTON) < 0) Result |= ssLeft;
  if (GetKeyState(VK_RBUTTON) < 0) Result |= ssRight;
  if (GetKeyState(VK_MBUTTON) < 0) Result |= ssMiddle;
  return Result;
}

TControl* GetCaptureControl() {
  TControl* Result = TWinControl::FindControl(GetCapture());
  if (Result && CaptureControl && CaptureControl->GetParent() == Result) Result = CaptureControl;
  return Result;
}

void SetCaptureControl(TControl* Control) {
  ReleaseCapture();
  CaptureControl = nullptr;
  if (!Control) return;
  auto* Win = dynamic_cast<TWinControl*>(Control);
  if (!Win) {
    if (!Control->GetParent()) return;
    CaptureControl = Control;
    Win = Control->GetParent();
  }
  SetCapture(Win->GetHandle());
}

TControl* GetMouseControl() { return MouseControl; }

void SetMouseControl(TControl* Control) {
  if (Control == MouseControl) return;
  TControl* Old = MouseControl;
  MouseControl = Control;
  // While a control holds the mouse, only it hears the pointer leave and come back.
  TControl* Capture = GetCaptureControl();
  if (Old && (!Capture || Old == Capture)) Old->Perform(CM_MOUSELEAVE, 0, 0);
  // The leave handler may have destroyed the new control's window or the control itself.
  Capture = GetCaptureControl();
  if (MouseControl == Control && Control && (!Capture || Control == Capture)) Control->Perform(CM_MOUSEENTER, 0, 0);
  if (Application) Application->HintMouseMessage(MouseControl);
}

TWinControl* FindVCLWindow(const TPoint& Pos) {
  HWND Wnd = WindowFromPoint(Pos);
  TWinControl* Control = nullptr;
  // The nearest window of the class library (a window class's inner window belongs to it).
  while (Wnd && !(Control = TWinControl::FindControl(Wnd))) Wnd = GetParent(Wnd);
  return Control;
}

TControl* FindDragTarget(const TPoint& Pos, bool AllowDisabled) {
  TWinControl* Control = FindVCLWindow(Pos);
  if (!Control) return nullptr;
  if (TControl* Child = Control->ControlAtPos(Control->ScreenToClient(Pos), AllowDisabled)) return Child;
  return Control;
}

void FreeDeviceContexts() {
  std::vector<TControlCanvas*> List = CanvasList;
  for (TControlCanvas* C : List) C->FreeHandle();
}

// ---------------------------------------------------------------------------------------------
// TSizeConstraints

void TSizeConstraints::SetMinWidth(int Value) {
  if (Value == FMinWidth) return;
  FMinWidth = std::max(Value, 0);
  if (FMaxWidth > 0 && FMinWidth > FMaxWidth) FMaxWidth = FMinWidth;
  Change();
}

void TSizeConstraints::SetMinHeight(int Value) {
  if (Value == FMinHeight) return;
  FMinHeight = std::max(Value, 0);
  if (FMaxHeight > 0 && FMinHeight > FMaxHeight) FMaxHeight = FMinHeight;
  Change();
}

void TSizeConstraints::SetMaxWidth(int Value) {
  if (Value == FMaxWidth) return;
  FMaxWidth = std::max(Value, 0);
  if (FMaxWidth > 0 && FMaxWidth < FMinWidth) FMinWidth = FMaxWidth;
  Change();
}

void TSizeConstraints::SetMaxHeight(int Value) {
  if (Value == FMaxHeight) return;
  FMaxHeight = std::max(Value, 0);
  if (FMaxHeight > 0 && FMaxHeight < FMinHeight) FMinHeight = FMaxHeight;
  Change();
}

void TSizeConstraints::Assign(TPersistent* Source) {
  if (auto* C = dynamic_cast<TSizeConstraints*>(Source)) {
    FMinWidth = C->FMinWidth;
    FMinHeight = C->FMinHeight;
    FMaxWidth = C->FMaxWidth;
    FMaxHeight = C->FMaxHeight;
    Change();
    return;
  }
  TPersistent::Assign(Source);
}

void TSizeConstraints::Change() {
  if (OnChange) OnChange(this);
}

// ---------------------------------------------------------------------------------------------
// TControl

TControl::TControl(TComponent* AOwner)
    : TComponent(AOwner), FConstraints(std::make_unique<TSizeConstraints>()), FFont(std::make_unique<TFont>()) {
  WindowProc = [this](TMessage& M) { WndProc(M); };
  FFont->OnChange = [this](TObject* S) { FontChangedEvent(S); };
  FConstraints->OnChange = [this](TObject* S) { ConstraintsChanged(S); };
}

TControl::~TControl() {
  DragInternal::ControlDestroying(this);
  if (CaptureControl == this) SetCaptureControl(nullptr);
  if (MouseControl == this) MouseControl = nullptr;
  SetParent(nullptr);
  FFont->OnChange = nullptr;
  FConstraints->OnChange = nullptr;
  if (FPopupMenu) FPopupMenu->RemoveFreeNotification(this);
}

LRESULT TControl::Perform(UINT Msg, WPARAM WParam, LPARAM LParam) {
  TMessage Message{Msg, WParam, LParam, 0};
  if (WindowProc)
    WindowProc(Message);
  else
    WndProc(Message);
  return Message.Result;
}

void TControl::WndProc(TMessage& Message) {
  if (Message.Msg >= WM_MOUSEFIRST && Message.Msg <= WM_MOUSELAST && Message.Msg != WM_MOUSEWHEEL) {
    if (!(FControlStyle & csDoubleClicks)) {
      switch (Message.Msg) {
        case WM_LBUTTONDBLCLK:
        case WM_RBUTTONDBLCLK:
        case WM_MBUTTONDBLCLK: Message.Msg -= WM_LBUTTONDBLCLK - WM_LBUTTONDOWN; break;
      }
    }
    switch (Message.Msg) {
      case WM_LBUTTONDOWN:
      case WM_LBUTTONDBLCLK: FControlState |= csLButtonDown; break;
      case WM_LBUTTONUP: FControlState &= ~csLButtonDown; break;
    }
  }
  UINT Msg = Message.Msg;
  Dispatch(Message);
  // An automatic drag starts with the press (the control has taken it as usual: a list box has
  // selected the item) and gets going once the pointer moves past the threshold.
  if ((Msg == WM_LBUTTONDOWN || Msg == WM_LBUTTONDBLCLK) && FDragMode == dmAutomatic && !GetDragControl() &&
      !(GetComponentState() & csDesigning))
    BeginDrag(false);
}

void TControl::Dispatch(TMessage& Message) {
  switch (Message.Msg) {
    case WM_LBUTTONDOWN: WMLButtonDown(Message); break;
    case WM_LBUTTONDBLCLK: WMLButtonDblClk(Message); break;
    case WM_LBUTTONUP: WMLButtonUp(Message); break;
    case WM_RBUTTONDOWN: WMRButtonDown(Message); break;
    case WM_RBUTTONDBLCLK: WMRButtonDblClk(Message); break;
    case WM_RBUTTONUP: WMRButtonUp(Message); break;
    case WM_MBUTTONDOWN: WMMButtonDown(Message); break;
    case WM_MBUTTONDBLCLK: WMMButtonDblClk(Message); break;
    case WM_MBUTTONUP: WMMButtonUp(Message); break;
    case WM_MOUSEMOVE: WMMouseMove(Message); break;
    case WM_MOUSEWHEEL: WMMouseWheel(Message); break;
    case WM_CONTEXTMENU: WMContextMenu(Message); break;
    case WM_CANCELMODE:
      // A pressed control gives the mouse back and sees the button go up.
      if (GetMouseCapture()) {
        SetMouseCapture(false);
        if (FControlState & csLButtonDown) Perform(WM_LBUTTONUP, 0, static_cast<LPARAM>(0xFFFFFFFF));
      } else {
        FControlState &= ~csLButtonDown;
      }
      DefaultHandler(Message);
      break;
    case CM_ENABLEDCHANGED: CMEnabledChanged(Message); break;
    case CM_VISIBLECHANGED: CMVisibleChanged(Message); break;
    case CM_FONTCHANGED: CMFontChanged(Message); break;
    case CM_COLORCHANGED: CMColorChanged(Message); break;
    case CM_PARENTFONTCHANGED: CMParentFontChanged(Message); break;
    case CM_PARENTCOLORCHANGED: CMParentColorChanged(Message); break;
    case CM_PARENTSHOWHINTCHANGED: CMParentShowHintChanged(Message); break;
    case CM_MOUSEENTER: CMMouseEnter(Message); break;
    case CM_MOUSELEAVE: CMMouseLeave(Message); break;
    case CM_HITTEST: CMHitTest(Message); break;
    case CM_TEXTCHANGED: CMTextChanged(Message); break;
    case CM_DRAG: CMDrag(Message); break;
    default: DefaultHandler(Message); break;
  }
}

void TControl::DefaultHandler(TMessage& Message) {
  switch (Message.Msg) {
    case WM_GETTEXT: {
      auto* Buffer = reinterpret_cast<char*>(Message.LParam);
      size_t Size = Message.WParam;
      if (!Buffer || Size == 0) {
        Message.Result = 0;
        break;
      }
      size_t N = std::min(FText.size(), Size - 1);
      std::memcpy(Buffer, FText.data(), N);
      Buffer[N] = 0;
      Message.Result = static_cast<LRESULT>(N);
      break;
    }
    case WM_GETTEXTLENGTH: Message.Result = static_cast<LRESULT>(FText.size()); break;
    case WM_SETTEXT: {
      auto* Text = reinterpret_cast<const char*>(Message.LParam);
      FText = Text ? Text : "";
      Message.Result = TRUE;
      break;
    }
    default: break;
  }
}

void TControl::SetParent(TWinControl* AParent) {
  if (FParent == AParent) return;
  if (AParent == this) throw EInvalidOperation(SControlParentSetToSelf);
  if (FParent) FParent->RemoveControl(this);
  if (AParent) {
    AParent->InsertControl(this);
    UpdateAnchorRules();
  }
}

void TControl::SetBounds(int ALeft, int ATop, int AWidth, int AHeight) {
  if (!CheckNewSize(AWidth, AHeight)) return;
  if (ALeft == FLeft && ATop == FTop && AWidth == FWidth && AHeight == FHeight) return;
  InvalidateControl(FVisible, false);
  FLeft = ALeft;
  FTop = ATop;
  FWidth = AWidth;
  FHeight = AHeight;
  UpdateAnchorRules();
  Invalidate();
  Perform(WM_WINDOWPOSCHANGED, 0, 0);
  RequestAlign();
  if (!(GetComponentState() & csLoading)) Resize();
}

bool TControl::CheckNewSize(int& NewWidth, int& NewHeight) {
  int W = NewWidth, H = NewHeight;
  if (FAutoSize && !CanAutoSize(W, H)) return false;
  if (!CanResize(W, H)) return false;
  int MinW = FConstraints->GetMinWidth(), MinH = FConstraints->GetMinHeight();
  int MaxW = FConstraints->GetMaxWidth(), MaxH = FConstraints->GetMaxHeight();
  ConstrainedResize(MinW, MinH, MaxW, MaxH);
  if (MaxW > 0 && W > MaxW) W = MaxW;
  if (MinW > 0 && W < MinW) W = MinW;
  if (MaxH > 0 && H > MaxH) H = MaxH;
  if (MinH > 0 && H < MinH) H = MinH;
  NewWidth = std::max(W, 0);
  NewHeight = std::max(H, 0);
  return true;
}

bool TControl::CanResize(int& NewWidth, int& NewHeight) {
  bool Result = true;
  if (OnCanResize) OnCanResize(this, NewWidth, NewHeight, Result);
  return Result;
}

bool TControl::CanAutoSize(int&, int&) { return true; }

void TControl::ConstrainedResize(int&, int&, int&, int&) {}

void TControl::Resize() {
  if (OnResize) OnResize(this);
}

TRect TControl::GetClientRect() { return Rect(0, 0, FWidth, FHeight); }

void TControl::SetClientWidth(int Value) {
  TRect C = GetClientRect();
  SetBounds(FLeft, FTop, FWidth - C.right + Value, FHeight);
}

void TControl::SetClientHeight(int Value) {
  TRect C = GetClientRect();
  SetBounds(FLeft, FTop, FWidth, FHeight - C.bottom + Value);
}

TPoint TControl::GetClientOrigin() {
  if (!FParent) throw EInvalidOperation(SParentRequired, {GetName()});
  TPoint P = FParent->GetClientOrigin();
  return Point(P.x + FLeft, P.y + FTop);
}

void TControl::SetAlign(TAlign Value) {
  if (FAlign == Value) return;
  TAlign OldAlign = FAlign;
  FAlign = Value;
  FAnchors = AnchorAlign(Value);
  if (!(GetComponentState() & csLoading) && FParent && Value != alNone && OldAlign != alNone &&
      Value != alClient && OldAlign != alClient && Value != alCustom && OldAlign != alCustom &&
      ((OldAlign == alTop || OldAlign == alBottom) == (Value == alLeft || Value == alRight)))
    SetBounds(FLeft, FTop, FHeight, FWidth);  // turning between a row and a column swaps the size
  RequestAlign();
}

void TControl::SetAnchors(TAnchors Value) {
  if (FAnchors == Value) return;
  FAnchors = Value;
  if (!(GetComponentState() & csLoading)) UpdateAnchorRules();
}

void TControl::UpdateAnchorRules() {
  if (FAnchorMove || (GetComponentState() & csLoading)) return;
  if (FAnchors == (akLeft | akTop)) {
    FOriginalParentSize = Point(0, 0);
    return;
  }
  if (FAnchors & akRight)
    FAnchorRules.x = (FAnchors & akLeft) ? FWidth : FLeft;
  else
    FAnchorRules.x = FLeft + FWidth / 2;
  if (FAnchors & akBottom)
    FAnchorRules.y = (FAnchors & akTop) ? FHeight : FTop;
  else
    FAnchorRules.y = FTop + FHeight / 2;
  if (FParent) {
    if (FParent->HandleAllocated()) {
      TRect C = FParent->GetClientRect();
      FOriginalParentSize = Point(C.right, C.bottom);
    } else {
      FOriginalParentSize = Point(FParent->FWidth, FParent->FHeight);
    }
  }
}

void TControl::SetAutoSize(bool Value) {
  if (FAutoSize == Value) return;
  FAutoSize = Value;
  if (Value) AdjustSize();
}

void TControl::AdjustSize() {
  if (GetComponentState() & csLoading) return;
  // Through SetBounds with the current size, where AutoSize and the constraints apply.
  int W = FWidth, H = FHeight;
  if (!CheckNewSize(W, H)) return;
  if (W != FWidth || H != FHeight) SetBounds(FLeft, FTop, W, H);
}

void TControl::ConstraintsChanged(TObject*) { AdjustSize(); }

void TControl::SetVisible(bool Value) {
  if (FVisible == Value) return;
  VisibleChanging();
  FVisible = Value;
  Perform(CM_VISIBLECHANGED, Value ? 1 : 0, 0);
  RequestAlign();
}

void TControl::Show() {
  if (FParent) FParent->Show();
  SetVisible(true);
}

void TControl::Hide() { SetVisible(false); }

bool TControl::IsShowing() { return FVisible && (!FParent || FParent->IsShowing()); }

void TControl::SetEnabled(bool Value) {
  if (FEnabled == Value) return;
  FEnabled = Value;
  Perform(CM_ENABLEDCHANGED, 0, 0);
}

String TControl::GetText() { return GetTextValue(); }

void TControl::SetText(const String& Value) {
  if (GetTextValue() == Value) return;
  SetTextValue(Value);
  Perform(CM_TEXTCHANGED, 0, 0);
}

String TControl::GetTextValue() {
  LRESULT Len = Perform(WM_GETTEXTLENGTH, 0, 0);
  if (Len <= 0) return String();
  String Result(static_cast<size_t>(Len) + 1, '\0');
  LRESULT Got = Perform(WM_GETTEXT, Result.size(), reinterpret_cast<LPARAM>(Result.data()));
  Result.resize(static_cast<size_t>(std::clamp<LRESULT>(Got, 0, Len)));
  return Result;
}

void TControl::SetTextValue(const String& Value) {
  Perform(WM_SETTEXT, 0, reinterpret_cast<LPARAM>(Value.c_str()));
}

void TControl::FontChangedEvent(TObject* Sender) { FontChanged(Sender); }

void TControl::FontChanged(TObject*) {
  FParentFont = false;
  Perform(CM_FONTCHANGED, 0, 0);
}

void TControl::SetParentFont(bool Value) {
  if (FParentFont == Value) return;
  FParentFont = Value;
  if (FParent && !(GetComponentState() & csReading)) Perform(CM_PARENTFONTCHANGED, 0, 0);
}

void TControl::SetColor(TColor Value) {
  if (FColor == Value) return;
  FColor = Value;
  FParentColor = false;
  Perform(CM_COLORCHANGED, 0, 0);
}

void TControl::SetParentColor(bool Value) {
  if (FParentColor == Value) return;
  FParentColor = Value;
  if (FParent && !(GetComponentState() & csReading)) Perform(CM_PARENTCOLORCHANGED, 0, 0);
}

void TControl::SetShowHint(bool Value) {
  if (FShowHint == Value) return;
  FShowHint = Value;
  FParentShowHint = false;
  Perform(CM_SHOWHINTCHANGED, 0, 0);
}

void TControl::SetParentShowHint(bool Value) {
  if (FParentShowHint == Value) return;
  FParentShowHint = Value;
  if (FParent && !(GetComponentState() & csReading)) Perform(CM_PARENTSHOWHINTCHANGED, 0, 0);
}

void TControl::SetPopupMenu(TPopupMenu* Value) {
  if (FPopupMenu == Value) return;
  if (FPopupMenu) FPopupMenu->RemoveFreeNotification(this);
  FPopupMenu = Value;
  if (FPopupMenu) FPopupMenu->FreeNotification(this);
}

void TControl::SetCursor(TCursor Value) {
  if (FCursor == Value) return;
  FCursor = Value;
  Perform(CM_CURSORCHANGED, 0, 0);
}

bool TControl::GetMouseCapture() { return GetCaptureControl() == this; }

void TControl::SetMouseCapture(bool Value) {
  if (GetMouseCapture() == Value) return;
  SetCaptureControl(Value ? this : nullptr);
}

void TControl::InvalidateControl(bool IsVisible, bool IsOpaque) {
  if (!IsVisible || !FParent || !FParent->HandleAllocated()) return;
  RECT R = GetBoundsRect();
  InvalidateRect(FParent->GetHandle(), &R,
                 !(IsOpaque || (FParent->GetControlStyle() & csOpaque)) ? TRUE : FALSE);
}

void TControl::Invalidate() { InvalidateControl(FVisible, (FControlStyle & csOpaque) != 0); }

void TControl::Repaint() {
  if (!FVisible || !FParent || !FParent->HandleAllocated()) return;
  if (FControlStyle & csOpaque) {
    HDC DC = GetDC(FParent->GetHandle());
    int Saved = SaveDC(DC);
    IntersectClipRect(DC, FLeft, FTop, FLeft + FWidth, FTop + FHeight);
    FParent->PaintControls(DC, this);
    RestoreDC(DC, Saved);
    ReleaseDC(FParent->GetHandle(), DC);
  } else {
    Invalidate();
    Update();
  }
}

void TControl::Update() {
  if (FParent) FParent->Update();
}

void TControl::BringToFront() { SetZOrder(true); }

void TControl::SendToBack() { SetZOrder(false); }

void TControl::SetZOrder(bool TopMost) {
  if (FParent) FParent->SetZOrderChild(this, TopMost);
}

void TControl::PaintTo(HDC DC, int X, int Y) {
  int Saved = SaveDC(DC);
  MoveWindowOrg(DC, X, Y);
  IntersectClipRect(DC, 0, 0, FWidth, FHeight);
  Perform(WM_PAINT, reinterpret_cast<WPARAM>(DC), 0);
  RestoreDC(DC, Saved);
}

HDC TControl::GetDeviceContext(HWND& WindowHandle) {
  if (!FParent) throw EInvalidOperation(SParentRequired, {GetName()});
  HDC DC = FParent->GetDeviceContext(WindowHandle);
  SetViewportOrgEx(DC, FLeft, FTop, nullptr);
  IntersectClipRect(DC, 0, 0, FWidth, FHeight);
  return DC;
}

void TControl::Realign() {
  if (auto* W = dynamic_cast<TWinControl*>(this)) W->AlignControl(nullptr);
}

void TControl::RequestAlign() {
  if (FParent) FParent->AlignControl(this);
}

void TControl::Loaded() {
  TComponent::Loaded();
  if (TBasicAction* Action = GetAction()) ActionChange(Action, true);
  if (FParent) {
    if (FParentColor) Perform(CM_PARENTCOLORCHANGED, 0, 0);
    if (FParentFont) Perform(CM_PARENTFONTCHANGED, 0, 0);
  }
  UpdateAnchorRules();
  RequestAlign();
}

void TControl::Notification(TComponent* AComponent, TOperation Operation) {
  TComponent::Notification(AComponent, Operation);
  if (Operation == opRemove && AComponent && AComponent == static_cast<TComponent*>(FPopupMenu))
    FPopupMenu = nullptr;
  if (Operation == opRemove && AComponent && FActionLink &&
      AComponent == static_cast<TComponent*>(FActionLink->GetAction()))
    SetAction(nullptr);
}

TBasicAction* TControl::GetAction() const { return FActionLink ? FActionLink->GetAction() : nullptr; }

std::unique_ptr<TControlActionLink> TControl::CreateActionLink() { return std::make_unique<TControlActionLink>(this); }

void TControl::SetAction(TBasicAction* Value) {
  TBasicAction* Old = GetAction();
  if (Old == Value) return;
  if (Old) Old->RemoveFreeNotification(this);
  if (!Value) {
    FActionLink.reset();
    FControlStyle &= ~csActionClient;
    return;
  }
  FControlStyle |= csActionClient;
  if (!FActionLink) FActionLink = CreateActionLink();
  FActionLink->SetAction(Value);
  Value->FreeNotification(this);
  ActionChange(Value, (Value->GetComponentState() & csLoading) != 0);
}

void TControl::ActionChange(TObject* Sender, bool CheckDefaults) {
  auto* Action = dynamic_cast<TCustomAction*>(Sender);
  if (!Action) return;
  if (!CheckDefaults || GetCaption().empty() || GetCaption() == GetName()) SetCaption(Action->GetCaption());
  if (!CheckDefaults || GetEnabled()) SetEnabled(Action->GetEnabled());
  if (!CheckDefaults || GetHint().empty()) SetHint(Action->GetHint());
  if (!CheckDefaults || GetVisible()) SetVisible(Action->GetVisible());
  if (!CheckDefaults || !OnClick) OnClick = Action->GetOnExecute();
}

void TControl::SetName(const String& Value) {
  bool ChangeText = (FControlStyle & csSetCaption) && !(GetComponentState() & csLoading) && GetName() == GetText();
  TComponent::SetName(Value);
  if (ChangeText) SetText(Value);
}

void TControl::SendCancelMode(TControl* Sender) {
  TControl* Control = this;
  while (Control) {
    if (auto* Form = dynamic_cast<TCustomForm*>(Control)) Form->SendCancelMode(Sender);
    Control = Control->FParent;
  }
}

void TControl::Click() {
  // A handler of the control's own goes first; the action's handler runs through the action.
  TBasicAction* Action = GetAction();
  if (OnClick && Action && !Action->SameExecuteHandler(OnClick)) {
    OnClick(this);
  } else if (FActionLink && Action && !(GetComponentState() & csDesigning)) {
    FActionLink->Execute(this);
  } else if (OnClick) {
    OnClick(this);
  }
}

void TControl::DblClick() {
  if (OnDblClick) OnDblClick(this);
}

void TControl::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
  if (OnMouseDown) OnMouseDown(this, Button, Shift, X, Y);
}

void TControl::MouseMove(TShiftState Shift, int X, int Y) {
  if (OnMouseMove) OnMouseMove(this, Shift, X, Y);
}

void TControl::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) {
  if (OnMouseUp) OnMouseUp(this, Button, Shift, X, Y);
}

bool TControl::DoMouseWheel(TShiftState Shift, int WheelDelta, TPoint MousePos) {
  bool Handled = false;
  if (OnMouseWheel) OnMouseWheel(this, Shift, WheelDelta, MousePos, Handled);
  if (Handled) return true;
  FWheelAccumulator += WheelDelta;
  while (FWheelAccumulator >= WHEEL_DELTA || FWheelAccumulator <= -WHEEL_DELTA) {
    if (FWheelAccumulator < 0) {
      FWheelAccumulator += WHEEL_DELTA;
      Handled = DoMouseWheelDown(Shift, MousePos);
    } else {
      FWheelAccumulator -= WHEEL_DELTA;
      Handled = DoMouseWheelUp(Shift, MousePos);
    }
  }
  return Handled;
}

bool TControl::DoMouseWheelDown(TShiftState Shift, TPoint MousePos) {
  bool Handled = false;
  if (OnMouseWheelDown) OnMouseWheelDown(this, Shift, MousePos, Handled);
  return Handled;
}

bool TControl::DoMouseWheelUp(TShiftState Shift, TPoint MousePos) {
  bool Handled = false;
  if (OnMouseWheelUp) OnMouseWheelUp(this, Shift, MousePos, Handled);
  return Handled;
}

void TControl::Changed() { Perform(CM_CHANGED, 0, reinterpret_cast<LPARAM>(this)); }

// ---------------------------------------------------------------------------------------------
// Dragging (the machinery is in DragObjects)

void TControl::BeginDrag(bool Immediate, int Threshold) {
  if (dynamic_cast<TCustomForm*>(this) && FDragKind != dkDock) throw EInvalidOperation(SCannotDragForm);
  if (GetDragControl() || GetDragObject()) return;
  DragInternal::Begin(this, Immediate, Threshold);
}

void TControl::EndDrag(bool Drop) {
  if (Dragging()) DragInternal::Done(Drop);
}

bool TControl::Dragging() const { return GetDragControl() == this; }

void TControl::DoStartDrag(TDragObject*& DragObject) {
  if (OnStartDrag) OnStartDrag(this, DragObject);
}

void TControl::DragOver(TObject* Source, int X, int Y, TDragState State, bool& Accept) {
  Accept = false;
  if (OnDragOver) {
    Accept = true;
    OnDragOver(this, Source, X, Y, State, Accept);
  }
}

void TControl::DragDrop(TObject* Source, int X, int Y) {
  if (OnDragDrop) OnDragDrop(this, Source, X, Y);
}

void TControl::DoEndDrag(TObject* Target, int X, int Y) {
  if (OnEndDrag) OnEndDrag(this, Target, X, Y);
}

void TControl::CMDrag(TMessage& Message) {
  auto* Rec = reinterpret_cast<TDragRec*>(Message.LParam);
  if (!Rec) return;
  auto Kind = static_cast<TDragMessage>(LOWORD(Message.WParam));
  switch (Kind) {
    case dmDragEnter:
    case dmDragLeave:
    case dmDragMove:
    case dmDragDrop: {
      auto* Target = static_cast<TControl*>(Rec->Target);
      if (!Target) break;
      TObject* Source = Rec->Source ? Rec->Source->GetSource() : nullptr;
      TPoint P = Target->ScreenToClient(Rec->Pos);
      if (Kind == dmDragDrop) {
        Target->DragDrop(Source, P.x, P.y);
      } else {
        bool Accept = false;
        Target->DragOver(Source, P.x, P.y, static_cast<TDragState>(Kind), Accept);
        Message.Result = Accept ? 1 : 0;
      }
      break;
    }
    case dmFindTarget: {
      TControl* Found = nullptr;
      if (auto* Win = dynamic_cast<TWinControl*>(this)) Found = Win->ControlAtPos(ScreenToClient(Rec->Pos), false);
      if (!Found) Found = this;
      Message.Result = reinterpret_cast<LRESULT>(Found);
      break;
    }
    default: break;
  }
}

void TControl::DoMouseDown(TMessage& Message, TMouseButton Button, TShiftState Shift) {
  if (FControlStyle & csNoStdEvents) return;
  TWMMouse M(Message);
  MouseDown(Button, KeysToShiftState(M.Keys) | Shift, M.XPos, M.YPos);
}

void TControl::DoMouseUp(TMessage& Message, TMouseButton Button) {
  if (FControlStyle & csNoStdEvents) return;
  TWMMouse M(Message);
  MouseUp(Button, KeysToShiftState(M.Keys), M.XPos, M.YPos);
}

void TControl::WMLButtonDown(TMessage& Message) {
  SendCancelMode(this);
  DefaultHandler(Message);
  if (FControlStyle & csCaptureMouse) SetMouseCapture(true);
  if (FControlStyle & csClickEvents) FControlState |= csClicked;
  DoMouseDown(Message, mbLeft, 0);
}

void TControl::WMLButtonDblClk(TMessage& Message) {
  SendCancelMode(this);
  DefaultHandler(Message);
  if (FControlStyle & csCaptureMouse) SetMouseCapture(true);
  if (FControlStyle & csClickEvents) DblClick();
  DoMouseDown(Message, mbLeft, ssDouble);
}

void TControl::WMLButtonUp(TMessage& Message) {
  DefaultHandler(Message);
  if (FControlStyle & csCaptureMouse) SetMouseCapture(false);
  if (FControlState & csClicked) {
    FControlState &= ~csClicked;
    TWMMouse M(Message);
    TRect R = GetClientRect();
    if (PtInRect(&R, Point(M.XPos, M.YPos))) Click();
  }
  DoMouseUp(Message, mbLeft);
}

void TControl::WMRButtonDown(TMessage& Message) {
  SendCancelMode(this);
  DefaultHandler(Message);
  DoMouseDown(Message, mbRight, 0);
}

void TControl::WMRButtonDblClk(TMessage& Message) {
  SendCancelMode(this);
  DefaultHandler(Message);
  DoMouseDown(Message, mbRight, ssDouble);
}

void TControl::WMRButtonUp(TMessage& Message) {
  DefaultHandler(Message);
  DoMouseUp(Message, mbRight);
}

void TControl::WMMButtonDown(TMessage& Message) {
  SendCancelMode(this);
  DefaultHandler(Message);
  DoMouseDown(Message, mbMiddle, 0);
}

void TControl::WMMButtonDblClk(TMessage& Message) {
  SendCancelMode(this);
  DefaultHandler(Message);
  DoMouseDown(Message, mbMiddle, ssDouble);
}

void TControl::WMMButtonUp(TMessage& Message) {
  DefaultHandler(Message);
  DoMouseUp(Message, mbMiddle);
}

void TControl::WMMouseMove(TMessage& Message) {
  DefaultHandler(Message);
  if (FControlStyle & csNoStdEvents) return;
  TWMMouse M(Message);
  MouseMove(KeysToShiftState(M.Keys), M.XPos, M.YPos);
}

void TControl::WMMouseWheel(TMessage& Message) {
  TShiftState Shift = KeysToShiftState(LOWORD(Message.WParam));
  int Delta = GET_WHEEL_DELTA_WPARAM(Message.WParam);
  TPoint Pos = Point(GET_X_LPARAM(Message.LParam), GET_Y_LPARAM(Message.LParam));
  if (DoMouseWheel(Shift, Delta, Pos)) {
    Message.Result = 1;
    return;
  }
  // Not handled here. A window hands the wheel to its window class first (an edit or list
  // scrolls itself), whose default handling passes it on to the parent window; a control
  // without a window of its own passes it to its parent directly.
  auto* Windowed = dynamic_cast<TWinControl*>(this);
  if (FParent && !(Windowed && Windowed->HandleAllocated())) {
    Message.Result = FParent->Perform(WM_MOUSEWHEEL, Message.WParam, Message.LParam);
    return;
  }
  DefaultHandler(Message);
}

void TControl::DoContextPopup(const TPoint& MousePos, bool& Handled) {
  if (OnContextPopup) OnContextPopup(this, MousePos, Handled);
}

void TControl::WMContextMenu(TMessage& Message) {
  if (Message.Result != 0) return;
  TPoint Pos = Point(GET_X_LPARAM(Message.LParam), GET_Y_LPARAM(Message.LParam));
  TPoint Client = Pos;
  if (Pos.x == -1 && Pos.y == -1) {
    Client = Point(FWidth / 2, FHeight / 2);
    Pos = ClientToScreen(Client);
  } else {
    Client = ScreenToClient(Pos);
    // A point outside the client area (a scroll bar, the frame) is the window class's.
    TRect R = GetClientRect();
    if (!PtInRect(&R, Client)) {
      DefaultHandler(Message);
      return;
    }
  }
  bool Handled = false;
  DoContextPopup(Client, Handled);
  if (Handled) {
    Message.Result = 1;
    return;
  }
  TPopupMenu* Menu = GetPopupMenu();
  if (Menu && Menu->GetAutoPopup()) {
    SendCancelMode(nullptr);
    Menu->SetPopupComponent(this);
    Menu->Popup(Pos.x, Pos.y);
    Message.Result = 1;
    return;
  }
  DefaultHandler(Message);
}

void TControl::CMEnabledChanged(TMessage&) { Invalidate(); }

void TControl::CMVisibleChanged(TMessage&) {
  InvalidateControl(true, FVisible && (FControlStyle & csOpaque));
}

void TControl::CMFontChanged(TMessage&) { Invalidate(); }

void TControl::CMColorChanged(TMessage&) { Invalidate(); }

void TControl::CMParentFontChanged(TMessage& Message) {
  if (!FParentFont) return;
  if (Message.WParam != 0)
    FFont->Assign(reinterpret_cast<TFont*>(Message.LParam));
  else if (FParent)
    FFont->Assign(FParent->GetFont());
  FParentFont = true;
}

void TControl::CMParentColorChanged(TMessage& Message) {
  if (!FParentColor) return;
  if (Message.WParam != 0)
    SetColor(static_cast<TColor>(Message.LParam));
  else if (FParent)
    SetColor(FParent->GetColor());
  FParentColor = true;
}

void TControl::CMParentShowHintChanged(TMessage&) {
  if (!FParentShowHint || !FParent) return;
  SetShowHint(FParent->GetShowHint());
  FParentShowHint = true;
}

void TControl::CMMouseEnter(TMessage&) {
  if (OnMouseEnter) OnMouseEnter(this);
}

void TControl::CMMouseLeave(TMessage&) {
  if (OnMouseLeave) OnMouseLeave(this);
}

void TControl::CMHitTest(TMessage& Message) { Message.Result = HTCLIENT; }

void TControl::CMTextChanged(TMessage&) {}

// ---------------------------------------------------------------------------------------------
// TWinControl

LRESULT VclWindowProc(HWND Wnd, UINT Msg, WPARAM WParam, LPARAM LParam) {
  auto* Control = static_cast<TWinControl*>(GetPropA(Wnd, SControlProp));
  if (!Control && CreationControl) {
    Control = CreationControl;
    CreationControl = nullptr;
    Control->FHandle = Wnd;
    SetPropA(Wnd, SControlProp, Control);
  }
  if (!Control) return DefWindowProcA(Wnd, Msg, WParam, LParam);
  TMessage Message{Msg, WParam, LParam, 0};
  try {
    // A copy: the control may be deleted while it handles the message (Release, a timer).
    TWndMethod Proc = Control->WindowProc;
    if (Proc)
      Proc(Message);
    else
      Control->WndProc(Message);
  } catch (...) {
    VclHandleException(Control);
  }
  if (Msg == WM_NCDESTROY) RemovePropA(Wnd, SControlProp);
  return Message.Result;
}

TWinControl::TWinControl(TComponent* AOwner) : TControl(AOwner), FBrush(std::make_unique<TBrush>()) {
  FBrush->SetColor(GetColor());
}

TWinControl* TWinControl::CreateParented(HWND ParentWindow) {
  auto* Result = new TWinControl(nullptr);
  Result->SetParentWindow(ParentWindow);
  return Result;
}

TWinControl::~TWinControl() {
  Destroying();
  if (FParent) RemoveFocus(true);
  // Leave the parent while this is still a windowed control, so the parent drops it from its
  // windowed list.
  if (FParent) SetParent(nullptr);
  if (FHandle) DestroyWindowHandle();
  // Children go with their parent, whoever owns them.
  while (GetControlCount() > 0) {
    TControl* Child = GetControl(GetControlCount() - 1);
    RemoveControl(Child);
    delete Child;
  }
}

TWinControl* TWinControl::FindControl(HWND Handle) {
  if (!Handle) return nullptr;
  return static_cast<TWinControl*>(GetPropA(Handle, SControlProp));
}

HWND TWinControl::GetHandle() {
  HandleNeeded();
  return FHandle;
}

void TWinControl::HandleNeeded() {
  if (FHandle) return;
  if (FParent) FParent->HandleNeeded();
  CreateHandle();
}

void TWinControl::SetParentWindow(HWND Value) {
  if (FParent || FParentWindow == Value) return;
  if (FHandle && FParentWindow && Value) {
    ::SetParent(FHandle, Value);
  } else {
    DestroyHandle();
  }
  FParentWindow = Value;
  UpdateControlState();
}

void TWinControl::CreateParams(TCreateParams& Params) {
  Params = TCreateParams();
  Params.Caption = FText;
  Params.Style = WS_CHILD | WS_CLIPSIBLINGS;
  if (FControlStyle & csAcceptsControls) {
    Params.Style |= WS_CLIPCHILDREN;
    Params.ExStyle |= WS_EX_CONTROLPARENT;
  }
  if (!FEnabled) Params.Style |= WS_DISABLED;
  if (FTabStop) Params.Style |= WS_TABSTOP;
  Params.X = FLeft;
  Params.Y = FTop;
  Params.Width = FWidth;
  Params.Height = FHeight;
  Params.WndParent = FParent ? FParent->GetHandle() : FParentWindow;
  Params.WindowClass.style = CS_VREDRAW | CS_HREDRAW | CS_DBLCLKS;
  Params.WindowClass.lpfnWndProc = DefWindowProcA;
  Params.WindowClass.hCursor = LoadCursorA(nullptr, IDC_ARROW);
  Params.WindowClass.hbrBackground = nullptr;
  Params.WinClassName = ClassName();
}

void TWinControl::CreateSubClass(TCreateParams& Params, const char* ControlClassName) {
  WNDCLASSA Class{};
  if (GetClassInfoA(nullptr, ControlClassName, &Class)) {
    Params.WindowClass = Class;
    Params.WindowClass.hbrBackground = nullptr;
  }
}

void TWinControl::CreateWnd() {
  TCreateParams Params;
  CreateParams(Params);
  if (!Params.WndParent && (Params.Style & WS_CHILD))
    throw EInvalidOperation(SParentRequired, {GetName()});
  FDefWndProc = Params.WindowClass.lpfnWndProc ? Params.WindowClass.lpfnWndProc : DefWindowProcA;
  WNDCLASSA Existing{};
  bool Registered = GetClassInfoA(nullptr, Params.WinClassName.c_str(), &Existing);
  if (!Registered || Existing.lpfnWndProc != VclWindowProc) {
    if (Registered) UnregisterClassA(Params.WinClassName.c_str(), nullptr);
    WNDCLASSA Class = Params.WindowClass;
    Class.lpfnWndProc = VclWindowProc;
    Class.lpszClassName = Params.WinClassName.c_str();
    if (!RegisterClassA(&Class)) RaiseLastOSError();
  }
  CreationControl = this;
  try {
    CreateWindowHandle(Params);
  } catch (...) {
    CreationControl = nullptr;
    throw;
  }
  CreationControl = nullptr;
  if (!FHandle) RaiseLastOSError();
  if ((GetWindowLongA(FHandle, GWL_STYLE) & WS_CHILD) && GetWindowLongPtrA(FHandle, GWLP_ID) == 0)
    SetWindowLongPtrA(FHandle, GWLP_ID, reinterpret_cast<LONG_PTR>(FHandle));
  FText.clear();
  UpdateBounds();
  Perform(WM_SETFONT, reinterpret_cast<WPARAM>(GetFont()->GetHandle()), 1);
  if (GetAutoSize()) AdjustSize();
}

void TWinControl::CreateWindowHandle(const TCreateParams& Params) {
  HWND Wnd = CreateWindowExA(Params.ExStyle, Params.WinClassName.c_str(), Params.Caption.c_str(), Params.Style,
                             Params.X, Params.Y, Params.Width, Params.Height, Params.WndParent, nullptr, nullptr,
                             Params.Param);
  if (Wnd) FHandle = Wnd;
}

void TWinControl::DestroyWnd() {
  // Keep the window text for the next window.
  FText = GetTextValue();
  DestroyWindowHandle();
}

void TWinControl::DestroyWindowHandle() {
  FControlState |= csDestroyingHandle;
  HWND Wnd = FHandle;
  if (Wnd && !DestroyWindow(Wnd) && IsWindow(Wnd)) {
    FControlState &= ~csDestroyingHandle;
    RaiseLastOSError();
  }
  FHandle = nullptr;
  FShowing = false;
  FControlState &= ~csDestroyingHandle;
}

void TWinControl::CreateHandle() {
  if (FHandle) return;
  FControlState |= csCreating;
  try {
    CreateWnd();
  } catch (...) {
    FControlState &= ~csCreating;
    throw;
  }
  FControlState &= ~csCreating;
  if (FParent) SetWindowPos(FHandle, FParent->PrecedingWindow(this), 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  for (int I = 0; I < GetControlCount(); ++I) GetControl(I)->UpdateAnchorRules();
}

void TWinControl::DestroyHandle() {
  if (!FHandle) return;
  for (TWinControl* Child : std::vector<TWinControl*>(FWinControls)) Child->DestroyHandle();
  DestroyWnd();
}

void TWinControl::RecreateWnd() {
  if (FHandle) Perform(CM_RECREATEWND, 0, 0);
}

void TWinControl::CMRecreateWnd(TMessage&) {
  bool WasFocused = Focused();
  DestroyHandle();
  UpdateControlState();
  if (WasFocused && FHandle) ::SetFocus(FHandle);
}

HWND TWinControl::PrecedingWindow(TWinControl* Control) {
  auto It = std::find(FWinControls.begin(), FWinControls.end(), Control);
  // The window above Control: the next one up in our bottom-first list.
  for (auto Next = It == FWinControls.end() ? It : It + 1; Next != FWinControls.end(); ++Next)
    if ((*Next)->FHandle) return (*Next)->FHandle;
  return HWND_TOP;
}

void TWinControl::WndProc(TMessage& Message) {
  switch (Message.Msg) {
    case WM_SETFOCUS: {
      if (TCustomForm* Form = GetParentForm(this))
        if (!Form->SetFocusedControl(this)) return;
      break;
    }
    case WM_KILLFOCUS:
      if (FControlState & csFocusing) return;
      break;
    case WM_NCHITTEST: {
      TControl::WndProc(Message);
      if (Message.Result == HTTRANSPARENT) {
        TPoint P = ScreenToClient(Point(GET_X_LPARAM(Message.LParam), GET_Y_LPARAM(Message.LParam)));
        if (ControlAtPos(P, false)) Message.Result = HTCLIENT;
      }
      return;
    }
    case WM_MOUSEMOVE: TrackMouse(Message); break;
    case WM_CANCELMODE:
      if (GetCapture() == FHandle && CaptureControl && CaptureControl->GetParent() == this)
        CaptureControl->Perform(WM_CANCELMODE, 0, 0);
      break;
    case WM_KEYDOWN:
    case WM_KEYUP:
    case WM_CHAR:
    case WM_SYSKEYDOWN:
    case WM_SYSKEYUP:
    case WM_SYSCHAR:
    case CN_KEYDOWN:
    case CN_KEYUP:
    case CN_CHAR:
    case CN_SYSKEYDOWN:
    case CN_SYSCHAR:
      // While something is dragged the keys are the drag's (Escape cancels it).
      if (DragInternal::KeyMessage(Message)) return;
      break;
    default: break;
  }
  if (Message.Msg >= WM_MOUSEFIRST && Message.Msg <= WM_MOUSELAST && Message.Msg != WM_MOUSEWHEEL) {
    if (IsControlMouseMsg(Message)) {
      if (Message.Result == 0 && FHandle) DefWindowProcA(FHandle, Message.Msg, Message.WParam, Message.LParam);
      return;
    }
  }
  TControl::WndProc(Message);
}

void TWinControl::TrackMouse(TMessage& Message) {
  TPoint P = Point(GET_X_LPARAM(Message.LParam), GET_Y_LPARAM(Message.LParam));
  TControl* Target;
  TRect Client = Rect(0, 0, 0, 0);
  if (FHandle) ::GetClientRect(FHandle, &Client);
  if (FHandle && GetCapture() == FHandle && !PtInRect(&Client, P)) {
    // The mouse is held by this window but the pointer is elsewhere: whatever lies there.
    Target = FindDragTarget(ClientToScreen(P), false);
  } else {
    Target = ControlAtPos(P, false);
    if (!Target) Target = this;
  }
  if (!FTrackingMouse && FHandle) {
    TRACKMOUSEEVENT Track{};
    Track.cbSize = sizeof(Track);
    Track.dwFlags = TME_LEAVE;
    Track.hwndTrack = FHandle;
    FTrackingMouse = TrackMouseEvent(&Track) != FALSE;
  }
  SetMouseControl(Target);
}

void TWinControl::WMMouseLeave(TMessage& Message) {
  FTrackingMouse = false;
  if (MouseControl == this || (MouseControl && MouseControl->GetParent() == this &&
                               !dynamic_cast<TWinControl*>(MouseControl))) {
    // Straight to whatever is under the pointer now: going from one control to the next is
    // one change, not a stop at "nowhere" (which would end a hint sequence, for one).
    // A leave while the pointer still seems to be here (a window came up or went away) is
    // taken as it is.
    POINT P{};
    GetCursorPos(&P);
    TControl* Now = FindDragTarget(P, false);
    if (Now == this || (Now && Now->GetParent() == this && !dynamic_cast<TWinControl*>(Now))) Now = nullptr;
    SetMouseControl(Now);
  }
  DefaultHandler(Message);
}

bool TWinControl::IsControlMouseMsg(TMessage& Message) {
  TControl* Control = nullptr;
  TWMMouse M(Message);
  if (FHandle && GetCapture() == FHandle) {
    if (CaptureControl && CaptureControl->GetParent() == this) Control = CaptureControl;
  } else {
    Control = ControlAtPos(Point(M.XPos, M.YPos), false);
  }
  if (!Control) return false;
  Message.Result = Control->Perform(Message.Msg, Message.WParam,
                                    PointToLParam(M.XPos - Control->GetLeft(), M.YPos - Control->GetTop()));
  return true;
}

void TWinControl::Dispatch(TMessage& Message) {
  switch (Message.Msg) {
    case WM_PAINT: WMPaint(Message); break;
    case WM_ERASEBKGND: WMEraseBkgnd(Message); break;
    case WM_SIZE: WMSize(Message); break;
    case WM_MOVE: WMMove(Message); break;
    case WM_WINDOWPOSCHANGED: WMWindowPosChanged(Message); break;
    case WM_SETFOCUS: WMSetFocus(Message); break;
    case WM_KILLFOCUS: WMKillFocus(Message); break;
    case WM_KEYDOWN: WMKeyDown(Message); break;
    case WM_KEYUP: WMKeyUp(Message); break;
    case WM_CHAR: WMChar(Message); break;
    case WM_SYSKEYDOWN: WMSysKeyDown(Message); break;
    case WM_SYSKEYUP: WMSysKeyUp(Message); break;
    case WM_SYSCHAR: WMSysChar(Message); break;
    case WM_MOUSELEAVE: WMMouseLeave(Message); break;
    case WM_SETCURSOR: WMSetCursor(Message); break;
    case WM_COMMAND: WMCommand(Message); break;
    case WM_NOTIFY: WMNotify(Message); break;
    case WM_CTLCOLORMSGBOX:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORLISTBOX:
    case WM_CTLCOLORBTN:
    case WM_CTLCOLORDLG:
    case WM_CTLCOLORSCROLLBAR:
    case WM_CTLCOLORSTATIC: WMCtlColor(Message); break;
    case WM_DRAWITEM:
    case WM_MEASUREITEM:
    case WM_DELETEITEM:
    case WM_COMPAREITEM: WMDrawItem(Message); break;
    case WM_HSCROLL:
    case WM_VSCROLL:
      if (!Message.LParam || !DoControlMsg(reinterpret_cast<HWND>(Message.LParam), Message)) DefaultHandler(Message);
      break;
    case WM_DESTROY: WMDestroy(Message); break;
    case WM_NCDESTROY: WMNCDestroy(Message); break;
    case WM_PRINTCLIENT: WMPrintClient(Message); break;
    case WM_GETMINMAXINFO: WMGetMinMaxInfo(Message); break;
    case WM_SYSCOLORCHANGE: WMSysColorChange(Message); break;
    case WM_CONTEXTMENU: {
      // A graphic child under the point gets the first say.
      TPoint Pos = Point(GET_X_LPARAM(Message.LParam), GET_Y_LPARAM(Message.LParam));
      if (!(Pos.x == -1 && Pos.y == -1) && FHandle) {
        if (TControl* Child = ControlAtPos(ScreenToClient(Pos), false)) {
          Message.Result = Child->Perform(WM_CONTEXTMENU, Message.WParam, Message.LParam);
          if (Message.Result != 0) return;
        }
      }
      TControl::Dispatch(Message);
      break;
    }
    case CN_KEYDOWN: CNKeyDown(Message); break;
    case CN_KEYUP: CNKeyUp(Message); break;
    case CN_CHAR: CNChar(Message); break;
    case CN_SYSKEYDOWN: CNSysKeyDown(Message); break;
    case CN_SYSCHAR: CNSysChar(Message); break;
    case CM_SHOWINGCHANGED: CMShowingChanged(Message); break;
    case CM_ENTER: CMEnter(Message); break;
    case CM_EXIT: CMExit(Message); break;
    case CM_DIALOGKEY: CMDialogKey(Message); break;
    case CM_DIALOGCHAR: CMDialogChar(Message); break;
    case CM_FOCUSCHANGED: CMFocusChanged(Message); break;
    case CM_INVALIDATE: CMInvalidate(Message); break;
    case CM_RECREATEWND: CMRecreateWnd(Message); break;
    case CM_CHILDKEY: CMChildKey(Message); break;
    case CM_CURSORCHANGED: CMCursorChanged(Message); break;
    case CM_SHOWHINTCHANGED: CMShowHintChanged(Message); break;
    case CM_SYSCOLORCHANGE: CMSysColorChange(Message); break;
    case CM_CTL3DCHANGED: CMCtl3DChanged(Message); break;
    case CM_PARENTCTL3DCHANGED: CMParentCtl3DChanged(Message); break;
    default: TControl::Dispatch(Message); break;
  }
}

void TWinControl::DefaultHandler(TMessage& Message) {
  if (!FHandle) {
    TControl::DefaultHandler(Message);
    return;
  }
  if (Message.Msg == WM_CONTEXTMENU && FParent) {
    Message.Result = FParent->Perform(Message.Msg, Message.WParam, Message.LParam);
    if (Message.Result != 0) return;
  }
  switch (Message.Msg) {
    case CN_CTLCOLORMSGBOX:
    case CN_CTLCOLOREDIT:
    case CN_CTLCOLORLISTBOX:
    case CN_CTLCOLORBTN:
    case CN_CTLCOLORDLG:
    case CN_CTLCOLORSCROLLBAR:
    case CN_CTLCOLORSTATIC: {
      auto DC = reinterpret_cast<HDC>(Message.WParam);
      ::SetTextColor(DC, ColorToRGB(GetFont()->GetColor()));
      ::SetBkColor(DC, ColorToRGB(FBrush->GetColor()));
      Message.Result = reinterpret_cast<LRESULT>(FBrush->GetHandle());
      return;
    }
    default: break;
  }
  Message.Result = CallWindowProcA(FDefWndProc ? FDefWndProc : DefWindowProcA, FHandle, Message.Msg, Message.WParam,
                                   Message.LParam);
}

// Through WM_GETTEXT/WM_SETTEXT: the window's text once there is a window, FText before.
String TWinControl::GetTextValue() { return TControl::GetTextValue(); }

void TWinControl::SetTextValue(const String& Value) { TControl::SetTextValue(Value); }

TControl* TWinControl::GetControl(int Index) const {
  int N = static_cast<int>(FControls.size());
  if (Index < 0 || Index >= GetControlCount()) throw EListError(RtlConsts::SListIndexError, {Index});
  return Index < N ? FControls[static_cast<size_t>(Index)] : FWinControls[static_cast<size_t>(Index - N)];
}

void TWinControl::InsertControl(TControl* AControl) {
  if (!AControl) return;
  Perform(CM_CONTROLLISTCHANGE, reinterpret_cast<WPARAM>(AControl), TRUE);
  if (auto* Win = dynamic_cast<TWinControl*>(AControl)) {
    FWinControls.push_back(Win);
    FTabList.push_back(Win);
  } else {
    FControls.push_back(AControl);
  }
  AControl->FParent = this;
  if (!(AControl->GetComponentState() & csReading)) {
    AControl->Perform(CM_PARENTCOLORCHANGED, 0, 0);
    AControl->Perform(CM_PARENTFONTCHANGED, 0, 0);
    AControl->Perform(CM_PARENTSHOWHINTCHANGED, 0, 0);
    if (auto* Win = dynamic_cast<TWinControl*>(AControl)) {
      Win->Perform(CM_PARENTCTL3DCHANGED, 0, 0);
      Win->UpdateControlState();
    }
    else if (FHandle)
      AControl->Invalidate();
    AlignControl(AControl);
  }
  Perform(CM_CONTROLCHANGE, reinterpret_cast<WPARAM>(AControl), TRUE);
}

void TWinControl::RemoveControl(TControl* AControl) {
  if (!AControl || AControl->FParent != this) return;
  Perform(CM_CONTROLCHANGE, reinterpret_cast<WPARAM>(AControl), FALSE);
  if (auto* Win = dynamic_cast<TWinControl*>(AControl)) {
    Win->RemoveFocus(true);
    Win->DestroyHandle();
    FWinControls.erase(std::remove(FWinControls.begin(), FWinControls.end(), Win), FWinControls.end());
    FTabList.erase(std::remove(FTabList.begin(), FTabList.end(), Win), FTabList.end());
  } else {
    if (FHandle) AControl->InvalidateControl(AControl->FVisible, false);
    FControls.erase(std::remove(FControls.begin(), FControls.end(), AControl), FControls.end());
    // A windowed control being destroyed no longer answers the dynamic cast above: it is found
    // by address, so that no dangling entry stays behind.
    const auto same = [AControl](TWinControl* W) { return static_cast<TControl*>(W) == AControl; };
    FWinControls.erase(std::remove_if(FWinControls.begin(), FWinControls.end(), same), FWinControls.end());
    FTabList.erase(std::remove_if(FTabList.begin(), FTabList.end(), same), FTabList.end());
  }
  if (MouseControl == AControl) MouseControl = nullptr;
  AControl->FParent = nullptr;
  Perform(CM_CONTROLLISTCHANGE, reinterpret_cast<WPARAM>(AControl), FALSE);
  if (!(GetComponentState() & csDestroying)) AlignControl(nullptr);
}

bool TWinControl::ContainsControl(TControl* Control) const {
  while (Control && Control != this) Control = Control->GetParent();
  return Control == this;
}

TControl* TWinControl::ControlAtPos(const TPoint& Pos, bool AllowDisabled, bool AllowWinControls) {
  auto Hit = [&](TControl* C) {
    if (!C->FVisible || !(C->FEnabled || AllowDisabled)) return false;
    TRect R = C->GetBoundsRect();
    if (!PtInRect(&R, Pos)) return false;
    return C->Perform(CM_HITTEST, 0, PointToLParam(Pos.x - C->FLeft, Pos.y - C->FTop)) != 0;
  };
  if (AllowWinControls)
    for (auto It = FWinControls.rbegin(); It != FWinControls.rend(); ++It)
      if (Hit(*It)) return *It;
  for (auto It = FControls.rbegin(); It != FControls.rend(); ++It)
    if (Hit(*It)) return *It;
  return nullptr;
}

void TWinControl::Broadcast(TMessage& Message) {
  for (int I = 0; I < GetControlCount(); ++I) {
    TControl* C = GetControl(I);
    C->WindowProc ? C->WindowProc(Message) : C->WndProc(Message);
    if (Message.Result != 0) return;
  }
}

void TWinControl::NotifyControls(UINT Msg) {
  TMessage Message{Msg, 0, 0, 0};
  Broadcast(Message);
}

bool TWinControl::DoControlMsg(HWND ControlHandle, TMessage& Message) {
  TWinControl* Control = FindControl(ControlHandle);
  if (!Control) return false;
  Message.Result = Control->Perform(CN_BASE + Message.Msg, Message.WParam, Message.LParam);
  return true;
}

void TWinControl::SetTabStop(bool Value) {
  if (FTabStop == Value) return;
  FTabStop = Value;
  if (FHandle) {
    LONG Style = GetWindowLongA(FHandle, GWL_STYLE);
    SetWindowLongA(FHandle, GWL_STYLE, Value ? (Style | static_cast<LONG>(WS_TABSTOP)) : (Style & ~static_cast<LONG>(WS_TABSTOP)));
  }
  Perform(CM_TABSTOPCHANGED, 0, 0);
}

int TWinControl::GetTabOrder() const {
  if (!FParent) return -1;
  auto& List = FParent->FTabList;
  auto It = std::find(List.begin(), List.end(), this);
  return It == List.end() ? -1 : static_cast<int>(It - List.begin());
}

void TWinControl::SetTabOrder(int Value) {
  if (!FParent) return;
  auto& List = FParent->FTabList;
  int Current = GetTabOrder();
  if (Current < 0) return;
  int Count = static_cast<int>(List.size());
  if (Value < 0 || Value >= Count) Value = Count - 1;
  if (Value == Current) return;
  List.erase(List.begin() + Current);
  List.insert(List.begin() + Value, this);
}

void TWinControl::GetTabOrderList(std::vector<TWinControl*>& List) {
  for (TWinControl* C : FTabList) {
    List.push_back(C);
    C->GetTabOrderList(List);
  }
}

TWinControl* TWinControl::FindNextControl(TWinControl* CurControl, bool GoForward, bool CheckTabStop,
                                          bool CheckParent) {
  std::vector<TWinControl*> List;
  GetTabOrderList(List);
  if (List.empty()) return nullptr;
  int Count = static_cast<int>(List.size());
  auto Found = std::find(List.begin(), List.end(), CurControl);
  int Start = Found == List.end() ? (GoForward ? Count - 1 : 0) : static_cast<int>(Found - List.begin());
  int I = Start;
  do {
    if (GoForward) {
      if (++I == Count) I = 0;
    } else {
      if (I == 0) I = Count;
      --I;
    }
    TWinControl* C = List[static_cast<size_t>(I)];
    if (C->CanFocus() && (!CheckTabStop || C->FTabStop) && (!CheckParent || C->FParent == this)) return C;
  } while (I != Start);
  return nullptr;
}

void TWinControl::SelectNext(TWinControl* CurControl, bool GoForward, bool CheckTabStop) {
  if (TWinControl* Next = FindNextControl(CurControl, GoForward, CheckTabStop, !CheckTabStop)) Next->SetFocus();
}

bool TWinControl::CanFocus() {
  TCustomForm* Form = GetParentForm(this);
  if (!Form) return false;
  for (TControl* C = this; C != Form; C = C->GetParent())
    if (!C->GetVisible() || !C->GetEnabled()) return false;
  return true;
}

bool TWinControl::Focused() { return FHandle && ::GetFocus() == FHandle; }

void TWinControl::SetFocus() {
  if (TCustomForm* Form = GetParentForm(this)) {
    Form->FocusControl(this);
  } else if (FParentWindow) {
    ::SetFocus(GetHandle());
  } else {
    throw EInvalidOperation(SCannotFocus);
  }
}

void TWinControl::RemoveFocus(bool Removing) {
  if (TCustomForm* Form = GetParentForm(this)) Form->DefocusControl(this, Removing);
}

TRect TWinControl::GetClientRect() {
  RECT R{};
  ::GetClientRect(GetHandle(), &R);
  return R;
}

TPoint TWinControl::GetClientOrigin() {
  POINT P{0, 0};
  ::ClientToScreen(GetHandle(), &P);
  return P;
}

void TWinControl::SetBounds(int ALeft, int ATop, int AWidth, int AHeight) {
  if (!CheckNewSize(AWidth, AHeight)) return;
  if (ALeft == FLeft && ATop == FTop && AWidth == FWidth && AHeight == FHeight) return;
  if (FHandle && !IsIconic(FHandle)) {
    SetWindowPos(FHandle, nullptr, ALeft, ATop, AWidth, AHeight, SWP_NOZORDER | SWP_NOACTIVATE);
    // The window system may refuse or adjust; what it did is what counts (UpdateBounds).
  } else {
    FLeft = ALeft;
    FTop = ATop;
    FWidth = AWidth;
    FHeight = AHeight;
  }
  UpdateAnchorRules();
  RequestAlign();
}

void TWinControl::UpdateBounds() {
  if (!FHandle) return;
  RECT R{};
  GetWindowRect(FHandle, &R);
  if (GetWindowLongA(FHandle, GWL_STYLE) & WS_CHILD) {
    HWND ParentHandle = ::GetParent(FHandle);
    if (ParentHandle) {
      MapWindowPoints(nullptr, ParentHandle, reinterpret_cast<POINT*>(&R), 2);
    }
  }
  if (R.left == FLeft && R.top == FTop && R.right - R.left == FWidth && R.bottom - R.top == FHeight) return;
  FLeft = R.left;
  FTop = R.top;
  FWidth = R.right - R.left;
  FHeight = R.bottom - R.top;
  UpdateAnchorRules();
}

void TWinControl::Invalidate() { Perform(CM_INVALIDATE, 0, 0); }

void TWinControl::CMInvalidate(TMessage& Message) {
  if (FHandle && Message.WParam == 0) InvalidateRect(FHandle, nullptr, !(FControlStyle & csOpaque));
}

void TWinControl::Repaint() {
  Invalidate();
  Update();
}

void TWinControl::Update() {
  if (FHandle) UpdateWindow(FHandle);
}

HDC TWinControl::GetDeviceContext(HWND& WindowHandle) {
  HDC DC = GetDC(GetHandle());
  if (!DC) throw EOutOfResources(SWindowDCError);
  WindowHandle = FHandle;
  return DC;
}

void TWinControl::ScrollBy(int DeltaX, int DeltaY) {
  bool IsVisible = FHandle && IsWindowVisible(FHandle);
  if (IsVisible) ScrollWindow(FHandle, DeltaX, DeltaY, nullptr, nullptr);
  for (int I = 0; I < GetControlCount(); ++I) {
    TControl* C = GetControl(I);
    auto* Win = dynamic_cast<TWinControl*>(C);
    if (!IsVisible || !Win || !Win->HandleAllocated()) {
      C->FLeft += DeltaX;
      C->FTop += DeltaY;
    } else if (IsVisible) {
      Win->UpdateBounds();
    }
  }
  Realign();
}

void TWinControl::SetParentBackground(bool Value) {
  if (GetParentBackground() == Value) return;
  if (Value)
    FControlStyle |= csParentBackground;
  else
    FControlStyle &= ~csParentBackground;
  Invalidate();
}

void TWinControl::DisableAlign() { ++FAlignLevel; }

void TWinControl::EnableAlign() {
  if (FAlignLevel > 0) --FAlignLevel;
  if (FAlignLevel == 0 && (FControlState & csAlignmentNeeded)) Realign();
}

void TWinControl::AlignControl(TControl* AControl) {
  if (!FHandle || (GetComponentState() & csDestroying)) return;
  if (FAlignLevel != 0) {
    FControlState |= csAlignmentNeeded;
    return;
  }
  DisableAlign();
  try {
    TRect R = GetClientRect();
    AlignControls(AControl, R);
  } catch (...) {
    FControlState &= ~csAlignmentNeeded;
    --FAlignLevel;
    throw;
  }
  FControlState &= ~csAlignmentNeeded;
  --FAlignLevel;  // not EnableAlign: nothing is pending now
}

void TWinControl::AdjustClientRect(TRect&) {}

void TWinControl::AlignControls(TControl* AControl, TRect& Rect) {
  bool Work = false;
  for (int I = 0; I < GetControlCount(); ++I) {
    TControl* C = GetControl(I);
    if (C->FAlign != alNone || C->FAnchors != (akLeft | akTop)) Work = true;
  }
  if (Work) {
    AdjustClientRect(Rect);
    std::vector<TControl*> AlignList;
    auto InsertBefore = [](TControl* C1, TControl* C2, TAlign A) {
      switch (A) {
        case alTop: return C1->FTop < C2->FTop;
        case alBottom: return C1->FTop + C1->FHeight >= C2->FTop + C2->FHeight;
        case alLeft: return C1->FLeft < C2->FLeft;
        case alRight: return C1->FLeft + C1->FWidth >= C2->FLeft + C2->FWidth;
        default: return false;
      }
    };
    auto DoPosition = [&](TControl* Control, TAlign A) {
      if (A == alNone || Control->FAnchors != AnchorAlign(A)) {
        if (Control->FOriginalParentSize.x != 0 && Control->FOriginalParentSize.y != 0) {
          int NewLeft = Control->FLeft, NewTop = Control->FTop;
          int NewWidth = Control->FWidth, NewHeight = Control->FHeight;
          TRect C = GetClientRect();
          TPoint ParentSize = Point(C.right, C.bottom);
          TAnchors K = Control->FAnchors;
          TPoint Orig = Control->FOriginalParentSize;
          TPoint Rules = Control->FAnchorRules;
          if (K & akRight) {
            if (K & akLeft)
              NewWidth = ParentSize.x - (Orig.x - Rules.x);
            else
              NewLeft = ParentSize.x - (Orig.x - Rules.x);
          } else if (!(K & akLeft)) {
            NewLeft = MulDiv(Rules.x, ParentSize.x, Orig.x) - NewWidth / 2;
          }
          if (K & akBottom) {
            if (K & akTop)
              NewHeight = ParentSize.y - (Orig.y - Rules.y);
            else
              NewTop = ParentSize.y - (Orig.y - Rules.y);
          } else if (!(K & akTop)) {
            NewTop = MulDiv(Rules.y, ParentSize.y, Orig.y) - NewHeight / 2;
          }
          Control->FAnchorMove = true;
          try {
            Control->SetBounds(NewLeft, NewTop, NewWidth, NewHeight);
          } catch (...) {
            Control->FAnchorMove = false;
            throw;
          }
          Control->FAnchorMove = false;
        }
        if (A == alNone) return;
      }
      int NewWidth = Rect.right - Rect.left;
      if (NewWidth < 0 || A == alLeft || A == alRight || A == alCustom) NewWidth = Control->FWidth;
      int NewHeight = Rect.bottom - Rect.top;
      if (NewHeight < 0 || A == alTop || A == alBottom || A == alCustom) NewHeight = Control->FHeight;
      int NewLeft = Rect.left, NewTop = Rect.top;
      switch (A) {
        case alTop: Rect.top += NewHeight; break;
        case alBottom:
          Rect.bottom -= NewHeight;
          NewTop = Rect.bottom;
          break;
        case alLeft: Rect.left += NewWidth; break;
        case alRight:
          Rect.right -= NewWidth;
          NewLeft = Rect.right;
          break;
        case alCustom:
          NewLeft = Control->FLeft;
          NewTop = Control->FTop;
          break;
        default: break;
      }
      Control->FAnchorMove = true;
      try {
        Control->SetBounds(NewLeft, NewTop, NewWidth, NewHeight);
      } catch (...) {
        Control->FAnchorMove = false;
        throw;
      }
      Control->FAnchorMove = false;
      // A constrained size gives the space back.
      if (Control->FWidth != NewWidth || Control->FHeight != NewHeight) {
        switch (A) {
          case alTop: Rect.top -= NewHeight - Control->FHeight; break;
          case alBottom: Rect.bottom += NewHeight - Control->FHeight; break;
          case alLeft: Rect.left -= NewWidth - Control->FWidth; break;
          case alRight: Rect.right += NewWidth - Control->FWidth; break;
          case alClient:
            Rect.right += NewWidth - Control->FWidth;
            Rect.bottom += NewHeight - Control->FHeight;
            break;
          default: break;
        }
      }
    };
    auto DoAlign = [&](TAlign A) {
      AlignList.clear();
      if (AControl && (A == alNone || AControl->FVisible) && AControl->FAlign == A && AControl->FParent == this)
        AlignList.push_back(AControl);
      for (int I = 0; I < GetControlCount(); ++I) {
        TControl* C = GetControl(I);
        if (C->FAlign != A || (A != alNone && !C->FVisible) || C == AControl) continue;
        size_t J = 0;
        while (J < AlignList.size() && !InsertBefore(C, AlignList[J], A)) ++J;
        AlignList.insert(AlignList.begin() + static_cast<std::ptrdiff_t>(J), C);
      }
      for (TControl* C : std::vector<TControl*>(AlignList)) DoPosition(C, A);
    };
    for (TAlign A : {alTop, alBottom, alLeft, alRight, alClient, alCustom, alNone}) DoAlign(A);
    ControlsAligned();
  }
  if (FShowing) AdjustSize();
}

bool TWinControl::CanAutoSize(int& NewWidth, int& NewHeight) {
  if (GetControlCount() == 0) return true;
  TRect Extents = Rect(MaxInt, MaxInt, 0, 0);
  bool Any = false;
  for (int I = 0; I < GetControlCount(); ++I) {
    TControl* C = GetControl(I);
    if (!C->FVisible) continue;
    Any = true;
    Extents.left = std::min(Extents.left, C->FLeft);
    Extents.top = std::min(Extents.top, C->FTop);
    Extents.right = std::max(Extents.right, C->FLeft + C->FWidth);
    Extents.bottom = std::max(Extents.bottom, C->FTop + C->FHeight);
  }
  if (!Any) return true;
  // The children's extent plus the non-client part of the control.
  TRect Client = FHandle ? GetClientRect() : Rect(0, 0, FWidth, FHeight);
  NewWidth = Extents.right + (FWidth - Client.right);
  NewHeight = Extents.bottom + (FHeight - Client.bottom);
  return true;
}

void TWinControl::SetZOrderChild(TControl* Control, bool TopMost) {
  if (auto* Win = dynamic_cast<TWinControl*>(Control)) {
    auto It = std::find(FWinControls.begin(), FWinControls.end(), Win);
    if (It == FWinControls.end()) return;
    FWinControls.erase(It);
    if (TopMost)
      FWinControls.push_back(Win);
    else
      FWinControls.insert(FWinControls.begin(), Win);
    if (Win->FHandle)
      SetWindowPos(Win->FHandle, TopMost ? HWND_TOP : HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  } else {
    auto It = std::find(FControls.begin(), FControls.end(), Control);
    if (It == FControls.end()) return;
    FControls.erase(It);
    if (TopMost)
      FControls.push_back(Control);
    else
      FControls.insert(FControls.begin(), Control);
    Control->InvalidateControl(Control->FVisible, true);
  }
}

void TWinControl::PaintWindow(HDC DC) {
  TMessage Message{WM_PAINT, reinterpret_cast<WPARAM>(DC), 0, 0};
  DefaultHandler(Message);
}

void TWinControl::PaintHandler(TMessage& Message) {
  auto DC = reinterpret_cast<HDC>(Message.WParam);
  PAINTSTRUCT PS{};
  if (!DC) DC = BeginPaint(FHandle, &PS);
  try {
    if (FControls.empty()) {
      PaintWindow(DC);
    } else {
      int Saved = SaveDC(DC);
      int Clip = SIMPLEREGION;
      for (TControl* C : FControls)
        if (C->FVisible && (C->FControlStyle & csOpaque)) {
          Clip = ExcludeClipRect(DC, C->FLeft, C->FTop, C->FLeft + C->FWidth, C->FTop + C->FHeight);
          if (Clip == NULLREGION) break;
        }
      if (Clip != NULLREGION) PaintWindow(DC);
      RestoreDC(DC, Saved);
    }
    PaintControls(DC, nullptr);
  } catch (...) {
    if (!Message.WParam) EndPaint(FHandle, &PS);
    throw;
  }
  if (!Message.WParam) EndPaint(FHandle, &PS);
}

void TWinControl::PaintControls(HDC DC, TControl* First) {
  size_t I = 0;
  if (First) {
    auto It = std::find(FControls.begin(), FControls.end(), First);
    I = It == FControls.end() ? FControls.size() : static_cast<size_t>(It - FControls.begin());
    if (It == FControls.end()) return;
  }
  std::vector<TControl*> List(FControls.begin() + static_cast<std::ptrdiff_t>(I), FControls.end());
  for (TControl* C : List) {
    if (!C->FVisible) continue;
    RECT R = C->GetBoundsRect();
    if (!RectVisible(DC, &R)) continue;
    if (FControlState & csPaintCopy) C->FControlState |= csPaintCopy;
    int Saved = SaveDC(DC);
    MoveWindowOrg(DC, C->FLeft, C->FTop);
    IntersectClipRect(DC, 0, 0, C->FWidth, C->FHeight);
    C->Perform(WM_PAINT, reinterpret_cast<WPARAM>(DC), 0);
    RestoreDC(DC, Saved);
    C->FControlState &= ~csPaintCopy;
  }
}

void TWinControl::PaintTo(HDC DC, int X, int Y) {
  FControlState |= csPaintCopy;
  int Saved = SaveDC(DC);
  MoveWindowOrg(DC, X, Y);
  IntersectClipRect(DC, 0, 0, FWidth, FHeight);
  // The frame as the window class draws it, then the client area inside it.
  TRect R = Rect(0, 0, FWidth, FHeight);
  if (FHandle) {
    LONG Style = GetWindowLongA(FHandle, GWL_STYLE), ExStyle = GetWindowLongA(FHandle, GWL_EXSTYLE);
    if (ExStyle & WS_EX_CLIENTEDGE)
      DrawEdge(DC, &R, EDGE_SUNKEN, BF_RECT | BF_ADJUST);
    else if (Style & WS_BORDER)
      DrawEdge(DC, &R, BDR_OUTER, BF_RECT | BF_ADJUST | BF_MONO);
    // Where the window system puts the client area inside the window.
    RECT W{};
    POINT Origin{0, 0};
    GetWindowRect(FHandle, &W);
    ::ClientToScreen(FHandle, &Origin);
    if (Origin.x != W.left || Origin.y != W.top) MoveWindowOrg(DC, Origin.x - W.left, Origin.y - W.top);
  }
  TRect C = GetClientRect();
  IntersectClipRect(DC, 0, 0, C.right, C.bottom);
  // wParam = lParam: erase also when double buffered (the buffer is not involved here).
  Perform(WM_ERASEBKGND, reinterpret_cast<WPARAM>(DC), reinterpret_cast<LPARAM>(DC));
  Perform(WM_PAINT, reinterpret_cast<WPARAM>(DC), 0);
  for (TWinControl* C : FWinControls)
    if (C->FVisible) C->PaintTo(DC, C->FLeft, C->FTop);
  RestoreDC(DC, Saved);
  FControlState &= ~csPaintCopy;
}

void TWinControl::WMPaint(TMessage& Message) {
  if (!FDoubleBuffered || Message.WParam != 0) {
    if (!(FControlState & csCustomPaint) && GetControlCount() == 0)
      DefaultHandler(Message);
    else
      PaintHandler(Message);
    return;
  }
  // Double buffered: erase and paint into memory, then copy in one go.
  TRect R = GetClientRect();
  HDC ScreenDC = GetDC(nullptr);
  HBITMAP MemBitmap = CreateCompatibleBitmap(ScreenDC, std::max<LONG>(R.right, 1), std::max<LONG>(R.bottom, 1));
  ReleaseDC(nullptr, ScreenDC);
  HDC MemDC = CreateCompatibleDC(nullptr);
  HGDIOBJ OldBitmap = SelectObject(MemDC, MemBitmap);
  PAINTSTRUCT PS{};
  HDC DC = BeginPaint(FHandle, &PS);
  Perform(WM_ERASEBKGND, reinterpret_cast<WPARAM>(MemDC), reinterpret_cast<LPARAM>(MemDC));
  Message.WParam = reinterpret_cast<WPARAM>(MemDC);
  try {
    WMPaint(Message);
  } catch (...) {
    Message.WParam = 0;
    EndPaint(FHandle, &PS);
    SelectObject(MemDC, OldBitmap);
    DeleteDC(MemDC);
    DeleteObject(MemBitmap);
    throw;
  }
  Message.WParam = 0;
  BitBlt(DC, 0, 0, R.right, R.bottom, MemDC, 0, 0, SRCCOPY);
  EndPaint(FHandle, &PS);
  SelectObject(MemDC, OldBitmap);
  DeleteDC(MemDC);
  DeleteObject(MemBitmap);
}

void TWinControl::WMEraseBkgnd(TMessage& Message) {
  // Not while painting into memory for double buffering (there wParam = lParam).
  if (!FDoubleBuffered || Message.WParam == static_cast<WPARAM>(Message.LParam)) {
    TRect R = GetClientRect();
    ::FillRect(reinterpret_cast<HDC>(Message.WParam), &R, FBrush->GetHandle());
  }
  Message.Result = 1;
}

void TWinControl::WMSize(TMessage& Message) {
  UpdateBounds();
  DefaultHandler(Message);
  Realign();
  if (!(GetComponentState() & csLoading)) Resize();
}

void TWinControl::WMMove(TMessage& Message) {
  UpdateBounds();
  DefaultHandler(Message);
}

void TWinControl::WMWindowPosChanged(TMessage& Message) {
  if (Message.LParam) UpdateBounds();
  DefaultHandler(Message);
}

void TWinControl::WMSetFocus(TMessage& Message) { DefaultHandler(Message); }

void TWinControl::WMKillFocus(TMessage& Message) { DefaultHandler(Message); }

bool TWinControl::DoKeyDown(TMessage& Message) {
  TCustomForm* Form = GetParentForm(this);
  if (Form && Form != this && Form->GetKeyPreview() && Form->DoKeyDown(Message)) return true;
  if (!(FControlStyle & csNoStdEvents)) {
    Word Key = static_cast<Word>(Message.WParam);
    KeyDown(Key, KeyDataToShiftState(Message.LParam));
    Message.WParam = Key;
    if (Key == 0) return true;
  }
  return false;
}

bool TWinControl::DoKeyPress(TMessage& Message) {
  TCustomForm* Form = GetParentForm(this);
  if (Form && Form != this && Form->GetKeyPreview() && Form->DoKeyPress(Message)) return true;
  if (!(FControlStyle & csNoStdEvents)) {
    char Ch = static_cast<char>(Message.WParam);
    KeyPress(Ch);
    Message.WParam = static_cast<unsigned char>(Ch);
    if (Ch == 0) return true;
  }
  return false;
}

bool TWinControl::DoKeyUp(TMessage& Message) {
  TCustomForm* Form = GetParentForm(this);
  if (Form && Form != this && Form->GetKeyPreview() && Form->DoKeyUp(Message)) return true;
  if (!(FControlStyle & csNoStdEvents)) {
    Word Key = static_cast<Word>(Message.WParam);
    KeyUp(Key, KeyDataToShiftState(Message.LParam));
    Message.WParam = Key;
    if (Key == 0) return true;
  }
  return false;
}

void TWinControl::KeyDown(Word& Key, TShiftState Shift) {
  if (OnKeyDown) OnKeyDown(this, Key, Shift);
}

void TWinControl::KeyPress(char& Key) {
  if (OnKeyPress) OnKeyPress(this, Key);
}

void TWinControl::KeyUp(Word& Key, TShiftState Shift) {
  if (OnKeyUp) OnKeyUp(this, Key, Shift);
}

void TWinControl::WMKeyDown(TMessage& Message) {
  if (!DoKeyDown(Message)) DefaultHandler(Message);
}

void TWinControl::WMKeyUp(TMessage& Message) {
  if (!DoKeyUp(Message)) DefaultHandler(Message);
}

void TWinControl::WMChar(TMessage& Message) {
  if (!DoKeyPress(Message)) DefaultHandler(Message);
}

void TWinControl::WMSysKeyDown(TMessage& Message) {
  if (!DoKeyDown(Message)) DefaultHandler(Message);
}

void TWinControl::WMSysKeyUp(TMessage& Message) {
  if (!DoKeyUp(Message)) DefaultHandler(Message);
}

void TWinControl::WMSysChar(TMessage& Message) { DefaultHandler(Message); }

void TWinControl::WMSetCursor(TMessage& Message) {
  TCursor DragCursor = crDefault;
  if (DragInternal::CurrentCursor(DragCursor) && Screen) {
    ::SetCursor(Screen->GetCursors(DragCursor));
    Message.Result = 1;
    return;
  }
  if (LOWORD(static_cast<std::uintptr_t>(Message.LParam)) == HTCLIENT) {
    TCursor Cursor = Screen ? Screen->GetCursor() : crDefault;
    if (Cursor == crDefault) {
      POINT P{};
      GetCursorPos(&P);
      TControl* Control = ControlAtPos(ScreenToClient(P), false);
      Cursor = Control ? Control->GetCursor() : GetCursor();
      if (Cursor == crDefault) Cursor = GetCursor();
    }
    if (Cursor != crDefault && Screen) {
      ::SetCursor(Screen->GetCursors(Cursor));
      Message.Result = 1;
      return;
    }
  }
  DefaultHandler(Message);
}

void TWinControl::WMCommand(TMessage& Message) {
  if (!Message.LParam || !DoControlMsg(reinterpret_cast<HWND>(Message.LParam), Message)) DefaultHandler(Message);
}

void TWinControl::WMNotify(TMessage& Message) {
  auto* Header = reinterpret_cast<const HWND*>(Message.LParam);  // NMHDR starts with hwndFrom
  if (!Header || !DoControlMsg(*Header, Message)) DefaultHandler(Message);
}

void TWinControl::WMCtlColor(TMessage& Message) {
  if (!Message.LParam || !DoControlMsg(reinterpret_cast<HWND>(Message.LParam), Message)) DefaultHandler(Message);
}

void TWinControl::WMDrawItem(TMessage& Message) {
  // The item structures start with CtlType and CtlID; the control is found by its id (our
  // windows use their handle as id).
  auto* Data = reinterpret_cast<const UINT*>(Message.LParam);
  HWND Control = nullptr;
  if (Data) Control = GetDlgItem(FHandle, static_cast<int>(Data[1]));
  if (!Control && Message.WParam) Control = GetDlgItem(FHandle, static_cast<int>(Message.WParam));
  if (!Control || !DoControlMsg(Control, Message)) DefaultHandler(Message);
}

void TWinControl::WMDestroy(TMessage& Message) { DefaultHandler(Message); }

void TWinControl::WMNCDestroy(TMessage& Message) {
  DefaultHandler(Message);
  FHandle = nullptr;
  FShowing = false;
  FTrackingMouse = false;
}

void TWinControl::CNKeyDown(TMessage& Message) {
  Message.Result = 1;
  TWMKey Key(Message);
  // Shortcuts of popup menus up the parent chain and of the form.
  for (TControl* C = this; C; C = C->GetParent())
    if (C->GetPopupMenu() && C->GetPopupMenu()->IsShortCut(Key)) return;
  TCustomForm* Form = GetParentForm(this);
  if (Form && Form->IsShortCut(Key)) return;
  if (Perform(CM_CHILDKEY, Message.WParam, reinterpret_cast<LPARAM>(this)) != 0) return;
  LRESULT Mask = 0;
  switch (Message.WParam) {
    case VK_TAB: Mask = DLGC_WANTTAB; break;
    case VK_LEFT:
    case VK_RIGHT:
    case VK_UP:
    case VK_DOWN: Mask = DLGC_WANTARROWS; break;
    case VK_RETURN:
    case VK_EXECUTE:
    case VK_ESCAPE:
    case VK_CANCEL: Mask = DLGC_WANTALLKEYS; break;
  }
  if (Mask && Perform(CM_WANTSPECIALKEY, Message.WParam, 0) == 0 && (Perform(WM_GETDLGCODE, 0, 0) & Mask) == 0 &&
      Form && Form->Perform(CM_DIALOGKEY, Message.WParam, Message.LParam) != 0)
    return;
  Message.Result = 0;
}

void TWinControl::CNKeyUp(TMessage& Message) { Message.Result = 0; }

void TWinControl::CNChar(TMessage& Message) {
  Message.Result = 1;
  TCustomForm* Form = GetParentForm(this);
  if ((Perform(WM_GETDLGCODE, 0, 0) & DLGC_WANTCHARS) == 0 && Form &&
      Form->Perform(CM_DIALOGCHAR, Message.WParam, Message.LParam) != 0)
    return;
  Message.Result = 0;
}

void TWinControl::CNSysKeyDown(TMessage& Message) {
  Message.Result = 1;
  TWMKey Key(Message);
  for (TControl* C = this; C; C = C->GetParent())
    if (C->GetPopupMenu() && C->GetPopupMenu()->IsShortCut(Key)) return;
  TCustomForm* Form = GetParentForm(this);
  if (Form && Form->IsShortCut(Key)) return;
  Message.Result = 0;
}

void TWinControl::CNSysChar(TMessage& Message) {
  Message.Result = 1;
  if (Message.WParam != ' ') {
    TCustomForm* Form = GetParentForm(this);
    if (Form && Form->Perform(CM_DIALOGCHAR, Message.WParam, Message.LParam) != 0) return;
  }
  Message.Result = 0;
}

void TWinControl::CMChildKey(TMessage& Message) {
  if (FParent) Message.Result = FParent->Perform(CM_CHILDKEY, Message.WParam, Message.LParam);
}

void TWinControl::CMCursorChanged(TMessage&) {
  if (!FHandle || GetCapture()) return;
  POINT P{};
  GetCursorPos(&P);
  if (FindDragTarget(P, false) == this)
    Perform(WM_SETCURSOR, reinterpret_cast<WPARAM>(FHandle), HTCLIENT);
}

void TWinControl::CMShowHintChanged(TMessage&) { NotifyControls(CM_PARENTSHOWHINTCHANGED); }

void TWinControl::CMSysColorChange(TMessage& Message) { Broadcast(Message); }

void TWinControl::WMSysColorChange(TMessage& Message) {
  Perform(CM_SYSCOLORCHANGE, 0, 0);
  DefaultHandler(Message);
}

void TWinControl::SetCtl3D(bool Value) {
  if (FCtl3D == Value) return;
  FCtl3D = Value;
  FParentCtl3D = false;
  Perform(CM_CTL3DCHANGED, 0, 0);
}

void TWinControl::SetParentCtl3D(bool Value) {
  if (FParentCtl3D == Value) return;
  FParentCtl3D = Value;
  if (FParent && !(GetComponentState() & csReading)) Perform(CM_PARENTCTL3DCHANGED, 0, 0);
}

void TWinControl::CMCtl3DChanged(TMessage&) { NotifyControls(CM_PARENTCTL3DCHANGED); }

void TWinControl::CMParentCtl3DChanged(TMessage& Message) {
  if (!FParentCtl3D) return;
  if (Message.WParam != 0)
    SetCtl3D(Message.LParam != 0);
  else if (FParent)
    SetCtl3D(FParent->FCtl3D);
  FParentCtl3D = true;
}

void TWinControl::WMPrintClient(TMessage& Message) {
  auto DC = reinterpret_cast<HDC>(Message.WParam);
  if (!DC || ((Message.LParam & PRF_CHECKVISIBLE) && !FVisible)) {
    DefaultHandler(Message);
    return;
  }
  // The painters leave clip regions, origins and objects behind: the caller gets its DC back
  // as it gave it.
  int Saved = SaveDC(DC);
  try {
    TMessage Paint{WM_PAINT, Message.WParam, 0, 0};
    PaintHandler(Paint);
  } catch (...) {
    RestoreDC(DC, Saved);
    throw;
  }
  RestoreDC(DC, Saved);
}

void TWinControl::WMGetMinMaxInfo(TMessage& Message) {
  DefaultHandler(Message);
  auto* Info = reinterpret_cast<MINMAXINFO*>(Message.LParam);
  if (!Info) return;
  TSizeConstraints* C = GetConstraints();
  int MinW = C->GetMinWidth(), MinH = C->GetMinHeight(), MaxW = C->GetMaxWidth(), MaxH = C->GetMaxHeight();
  ConstrainedResize(MinW, MinH, MaxW, MaxH);
  if (MinW > 0) Info->ptMinTrackSize.x = MinW;
  if (MinH > 0) Info->ptMinTrackSize.y = MinH;
  if (MaxW > 0) Info->ptMaxTrackSize.x = MaxW;
  if (MaxH > 0) Info->ptMaxTrackSize.y = MaxH;
  Message.Result = 0;
}

void TWinControl::CMShowingChanged(TMessage&) {
  SetWindowPos(FHandle, nullptr, 0, 0, 0, 0,
               SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE | (FShowing ? SWP_SHOWWINDOW : SWP_HIDEWINDOW));
}

void TWinControl::CMEnter(TMessage&) { DoEnter(); }

void TWinControl::CMExit(TMessage&) { DoExit(); }

void TWinControl::DoEnter() {
  if (OnEnter) OnEnter(this);
}

void TWinControl::DoExit() {
  if (OnExit) OnExit(this);
}

void TWinControl::CMDialogKey(TMessage& Message) { Broadcast(Message); }

void TWinControl::CMDialogChar(TMessage& Message) { Broadcast(Message); }

void TWinControl::CMFocusChanged(TMessage& Message) { Broadcast(Message); }

void TWinControl::CMEnabledChanged(TMessage& Message) {
  if (!FEnabled && FParent) RemoveFocus(false);
  if (FHandle) EnableWindow(FHandle, FEnabled ? TRUE : FALSE);
  TControl::CMEnabledChanged(Message);
}

void TWinControl::CMVisibleChanged(TMessage&) {
  if (!FVisible && FParent) RemoveFocus(false);
  UpdateControlState();
}

void TWinControl::FontChanged(TObject* Sender) { TControl::FontChanged(Sender); }

void TWinControl::CMFontChanged(TMessage& Message) {
  TControl::CMFontChanged(Message);
  if (FHandle) Perform(WM_SETFONT, reinterpret_cast<WPARAM>(GetFont()->GetHandle()), 0);
  TMessage Notify{CM_PARENTFONTCHANGED, 0, 0, 0};
  Broadcast(Notify);
}

void TWinControl::CMColorChanged(TMessage& Message) {
  TControl::CMColorChanged(Message);
  FBrush->SetColor(GetColor());
  TMessage Notify{CM_PARENTCOLORCHANGED, 0, 0, 0};
  Broadcast(Notify);
}

void TWinControl::UpdateShowing() {
  bool ShowControl = FVisible && !(FControlState & csReadingState);
  if (ShowControl) {
    if (!FHandle) CreateHandle();
    for (TWinControl* C : std::vector<TWinControl*>(FWinControls)) C->UpdateShowing();
  }
  if (FHandle && FShowing != ShowControl) {
    FShowing = ShowControl;
    try {
      Perform(CM_SHOWINGCHANGED, 0, 0);
    } catch (...) {
      FShowing = !ShowControl;
      throw;
    }
  }
}

void TWinControl::UpdateControlState() {
  TWinControl* Control = this;
  while (Control->FParent) {
    Control = Control->FParent;
    if (!Control->IsShowing()) return;
  }
  if (dynamic_cast<TCustomForm*>(Control) || Control->FParentWindow) UpdateShowing();
}

// ---------------------------------------------------------------------------------------------
// TControlCanvas, TGraphicControl, TCustomControl

TControlCanvas::~TControlCanvas() { FreeHandle(); }

void TControlCanvas::SetControl(TControl* Value) {
  if (FControl == Value) return;
  FreeHandle();
  FControl = Value;
}

void TControlCanvas::CreateHandle() {
  if (!FControl || FDeviceContext) return;
  FDeviceContext = FControl->GetDeviceContext(FWindowHandle);
  CanvasList.push_back(this);
  SetHandle(FDeviceContext);
}

void TControlCanvas::FreeHandle() {
  if (!FDeviceContext) return;
  SetHandle(nullptr);
  ReleaseDC(FWindowHandle, FDeviceContext);
  FDeviceContext = nullptr;
  CanvasList.erase(std::remove(CanvasList.begin(), CanvasList.end(), this), CanvasList.end());
}

void TControlCanvas::PaintOn(HDC DC, const std::function<void()>& Paint) {
  FreeHandle();
  Lock();
  SetHandle(DC);
  try {
    Paint();
  } catch (...) {
    SetHandle(nullptr);
    Unlock();
    throw;
  }
  SetHandle(nullptr);
  Unlock();
}

TGraphicControl::TGraphicControl(TComponent* AOwner)
    : TControl(AOwner), FCanvas(std::make_unique<TControlCanvas>()) {
  FCanvas->SetControl(this);
}

TGraphicControl::~TGraphicControl() { FCanvas->SetControl(nullptr); }

void TGraphicControl::WndProc(TMessage& Message) { TControl::WndProc(Message); }

void TGraphicControl::Dispatch(TMessage& Message) {
  if (Message.Msg == WM_PAINT) {
    WMPaint(Message);
    return;
  }
  TControl::Dispatch(Message);
}

void TGraphicControl::WMPaint(TMessage& Message) {
  if (!Message.WParam || (GetComponentState() & csDestroying)) return;
  FCanvas->PaintOn(reinterpret_cast<HDC>(Message.WParam), [this] { Paint(); });
}

TCustomControl::TCustomControl(TComponent* AOwner)
    : TWinControl(AOwner), FCanvas(std::make_unique<TControlCanvas>()) {
  FCanvas->SetControl(this);
}

TCustomControl::~TCustomControl() {
  FCanvas->SetControl(nullptr);
}

void TCustomControl::PaintWindow(HDC DC) {
  FCanvas->PaintOn(DC, [this] { Paint(); });
}

void TCustomControl::WMPaint(TMessage& Message) {
  FControlState |= csCustomPaint;
  try {
    TWinControl::WMPaint(Message);
  } catch (...) {
    FControlState &= ~csCustomPaint;
    throw;
  }
  FControlState &= ~csCustomPaint;
}

// ---------------------------------------------------------------------------------------------
// Utility windows

namespace {

std::vector<std::pair<HWND, std::shared_ptr<TWndMethod>>>& UtilWindows() {
  static std::vector<std::pair<HWND, std::shared_ptr<TWndMethod>>> List;
  return List;
}

LRESULT UtilWindowProc(HWND Wnd, UINT Msg, WPARAM WParam, LPARAM LParam) {
  std::shared_ptr<TWndMethod> Method;
  for (auto& [H, M] : UtilWindows())
    if (H == Wnd) Method = M;  // a copy: the method may deallocate its own window
  if (!Method || !*Method) return DefWindowProcA(Wnd, Msg, WParam, LParam);
  TMessage Message{Msg, WParam, LParam, 0};
  try {
    (*Method)(Message);
  } catch (...) {
    VclHandleException(nullptr);
  }
  return Message.Result;
}

}  // namespace

HWND AllocateHWnd(TWndMethod Method) { return AllocateHWnd(std::move(Method), "TPUtilWindow"); }

HWND AllocateHWnd(TWndMethod Method, const char* ClassName) {
  WNDCLASSA Existing{};
  if (!GetClassInfoA(nullptr, ClassName, &Existing)) {
    WNDCLASSA Class{};
    Class.lpfnWndProc = UtilWindowProc;
    Class.lpszClassName = ClassName;
    RegisterClassA(&Class);
  }
  HWND Wnd = CreateWindowExA(WS_EX_TOOLWINDOW, ClassName, "", WS_POPUP, 0, 0, 0, 0, nullptr, nullptr, nullptr, nullptr);
  if (Wnd) UtilWindows().emplace_back(Wnd, std::make_shared<TWndMethod>(std::move(Method)));
  return Wnd;
}

void DeallocateHWnd(HWND Wnd) {
  auto& List = UtilWindows();
  List.erase(std::remove_if(List.begin(), List.end(), [&](auto& E) { return E.first == Wnd; }), List.end());
  if (Wnd) DestroyWindow(Wnd);
}
