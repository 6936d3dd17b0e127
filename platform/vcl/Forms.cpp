#include "platform/vcl/Forms.h"

#include <unistd.h>

#include <algorithm>
#include <climits>

#include "platform/os/Process.h"
#include "platform/rtl/Paths.h"
#include "platform/rtl/StringList.h"
#include "platform/vcl/DragObjects.h"
#include "platform/vcl/HintWindow.h"
#include "platform/win/WinMdi.h"

namespace {

constexpr const char* SCannotShowModal = "Cannot make a visible window modal";
constexpr const char* SCannotFocus = "Cannot focus a disabled or invisible window";
constexpr const char* SVisibleChanged = "Cannot change Visible in OnShow or OnHide";
constexpr const char* SParentRequired = "Control '%s' has no parent form";
constexpr const char* SNoMDIForm = "Cannot create form. No MDI forms are currently active";
constexpr UINT_PTR HintShowTimer = 1;
constexpr UINT_PTR HintHideTimer = 2;

// Changes of the focus count tell a focus bookkeeping that another one happened meanwhile.
int FocusCount = 0;

bool SendFocusMessage(HWND Wnd, UINT Msg) {
  int Count = FocusCount;
  SendMessageA(Wnd, Msg, 0, 0);
  return FocusCount == Count;
}

// The hint text of a control: its own, else the first one up the parent chain.
String HintOf(TControl* Control) {
  while (Control && Control->GetHint().empty()) Control = Control->GetParent();
  return Control ? Control->GetHint() : String();
}

// The part of a hint before '|' (the whole hint without one).
String ShortHint(const String& Hint) { return Hint.substr(0, Hint.find('|')); }
// The part after '|', or the whole hint when it has none: what a status line shows.
String LongHint(const String& Hint) {
  size_t Bar = Hint.find('|');
  return Bar == String::npos ? Hint : Hint.substr(Bar + 1);
}

// The control whose hint shows: the control or its nearest parent with ShowHint.
TControl* HintControlOf(TControl* Control) {
  while (Control && !Control->GetShowHint()) Control = Control->GetParent();
  return Control;
}

TApplication* MakeApplication() { return new TApplication(nullptr); }
TScreen* MakeScreen() { return new TScreen(nullptr); }

}  // namespace

TApplication* Application = MakeApplication();
TScreen* Screen = MakeScreen();
TMouse* Mouse = new TMouse();

void VclHandleException(TObject* Sender) {
  if (Application)
    Application->HandleException(Sender);
}

TCustomForm* GetParentForm(TControl* Control) {
  while (Control && Control->GetParent()) Control = Control->GetParent();
  return dynamic_cast<TCustomForm*>(Control);
}

TCustomForm* ValidParentForm(TControl* Control) {
  TCustomForm* Result = GetParentForm(Control);
  if (!Result) throw EInvalidOperation(SParentRequired, {Control ? Control->GetName() : String()});
  return Result;
}

// ---------------------------------------------------------------------------------------------
// TCustomForm

TCustomForm::TCustomForm(TComponent* AOwner)
    : TWinControl(AOwner), FCanvas(std::make_unique<TControlCanvas>()), FIcon(std::make_unique<TIcon>()) {
  FFormState |= fsCreating;
  FControlStyle = csAcceptsControls | csCaptureMouse | csClickEvents | csSetCaption | csDoubleClicks;
  FLeft = 0;
  FTop = 0;
  FWidth = 320;
  FHeight = 240;
  FVisible = false;
  SetColor(clBtnFace);
  SetParentFont(false);
  FCanvas->SetControl(this);
  if (Screen) Screen->AddForm(this);
  FFormState &= ~fsCreating;
}

TCustomForm::~TCustomForm() {
  Destroying();
  if (OnDestroy) {
    try {
      OnDestroy(this);
    } catch (...) {
      VclHandleException(this);
    }
  }
  if (Application && Application->GetMainForm() == this) Application->SetMainForm(nullptr);
  if (Screen) Screen->RemoveForm(this);
  if (GetMouseControl() && (GetMouseControl() == this || ContainsControl(GetMouseControl()))) SetMouseControl(nullptr);
  FCanvas->SetControl(nullptr);
  // The window and the children go now, while this is still a form.
  if (FHandle) DestroyWindowHandle();
  while (GetControlCount() > 0) {
    TControl* Child = GetControl(GetControlCount() - 1);
    RemoveControl(Child);
    delete Child;
  }
  DestroyComponents();
}

void TCustomForm::DoCreate() {
  if (OnCreate) OnCreate(this);
}

void TCustomForm::SetBorderStyle(TFormBorderStyle Value) {
  if (FBorderStyle == Value) return;
  FBorderStyle = Value;
  RecreateWnd();
}

void TCustomForm::SetBorderIcons(TBorderIcons Value) {
  if (FBorderIcons == Value) return;
  FBorderIcons = Value;
  RecreateWnd();
}

void TCustomForm::SetFormStyle(TFormStyle Value) {
  if (FFormStyle == Value) return;
  TFormStyle Old = FFormStyle;
  FFormStyle = Value;
  if (FHandle && (Old == fsStayOnTop || Value == fsStayOnTop))
    SetWindowPos(FHandle, Value == fsStayOnTop ? HWND_TOPMOST : HWND_NOTOPMOST, 0, 0, 0, 0,
                 SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  // A form that becomes the MDI frame after its window exists gets its client window now.
  if (Value == fsMDIForm) CreateMDIClient();
}

void TCustomForm::SetPosition(TPosition Value) {
  FPosition = Value;
  FPositioned = false;
}

TWindowState TCustomForm::GetWindowState() const {
  if (FHandle) {
    if (IsIconic(FHandle)) return wsMinimized;
    if (IsZoomed(FHandle)) return wsMaximized;
    return wsNormal;
  }
  return FWindowState;
}

void TCustomForm::SetWindowState(TWindowState Value) {
  if (GetWindowState() == Value && FWindowState == Value) return;
  FWindowState = Value;
  if (FHandle && FShowing) {
    static constexpr int Commands[] = {SW_SHOWNORMAL, SW_MINIMIZE, SW_SHOWMAXIMIZED};
    ShowWindow(FHandle, Commands[Value]);
  }
}

void TCustomForm::SetActiveControl(TWinControl* Control) {
  if (FActiveControl == Control) return;
  if (Control && (Control == this || GetParentForm(Control) != this ||
                  (!(GetComponentState() & csLoading) && !Control->CanFocus())))
    throw EInvalidOperation(SCannotFocus);
  FActiveControl = Control;
  if (!(GetComponentState() & csLoading) && FActive) SetWindowFocus();
}

int TCustomForm::GetMDIChildCount() const {
  if (FFormStyle != fsMDIForm || !Screen) return 0;
  int Count = 0;
  for (int I = 0; I < Screen->GetFormCount(); ++I)
    if (Screen->GetForms(I)->GetFormStyle() == fsMDIChild) ++Count;
  return Count;
}

TForm* TCustomForm::GetMDIChildren(int Index) const {
  if (FFormStyle == fsMDIForm && Screen && Index >= 0)
    for (int I = 0, N = 0; I < Screen->GetFormCount(); ++I)
      if (Screen->GetForms(I)->GetFormStyle() == fsMDIChild && N++ == Index) return Screen->GetForms(I);
  throw EListError(RtlConsts::SListIndexError, {Index});
}

TForm* TCustomForm::GetActiveMDIChild() const {
  if (FFormStyle != fsMDIForm) return nullptr;
  if (HWND Client = GetClientHandle()) {
    auto Active = reinterpret_cast<HWND>(SendMessageA(Client, WM_MDIGETACTIVE, 0, 0));
    return dynamic_cast<TForm*>(TWinControl::FindControl(Active));
  }
  return GetMDIChildCount() > 0 ? GetMDIChildren(0) : nullptr;
}

void TCustomForm::Next() {
  if (HWND Client = GetClientHandle(); Client && FFormStyle == fsMDIForm) SendMessageA(Client, WM_MDINEXT, 0, 0);
}

void TCustomForm::Previous() {
  if (HWND Client = GetClientHandle(); Client && FFormStyle == fsMDIForm) SendMessageA(Client, WM_MDINEXT, 0, 1);
}

void TCustomForm::CreateWnd() {
  TWinControl::CreateWnd();
  CreateMDIClient();
}

void TCustomForm::CreateMDIClient() {
  if (FFormStyle != fsMDIForm || !FHandle || GetClientHandle()) return;
  CLIENTCREATESTRUCT Create{nullptr, 0xFF00};
  TRect R = GetClientRect();
  FClientHandle = CreateWindowExA(0, "MDICLIENT", nullptr,
                                  WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN | WS_CLIPSIBLINGS | MDIS_ALLCHILDSTYLES, R.left,
                                  R.top, R.right - R.left, R.bottom - R.top, FHandle, nullptr, nullptr, &Create);
  if (!FClientHandle) RaiseLastOSError();
  Realign();
}

void TCustomForm::AlignControls(TControl* AControl, TRect& Rect) {
  TWinControl::AlignControls(AControl, Rect);
  if (HWND Client = GetClientHandle())
    SetWindowPos(Client, HWND_BOTTOM, Rect.left, Rect.top, std::max<int>(Rect.right - Rect.left, 0),
                 std::max<int>(Rect.bottom - Rect.top, 0), SWP_NOACTIVATE);
}

void TCustomForm::DefaultHandler(TMessage& Message) {
  if (FHandle && FFormStyle == fsMDIForm && GetClientHandle()) {
    // The client window is placed by the alignment, not filled in by the frame's default.
    if (Message.Msg == WM_SIZE) return;
    Message.Result = DefFrameProcA(FHandle, GetClientHandle(), Message.Msg, Message.WParam, Message.LParam);
    return;
  }
  if (FHandle && FFormStyle == fsMDIChild) {
    Message.Result = DefMDIChildProcA(FHandle, Message.Msg, Message.WParam, Message.LParam);
    return;
  }
  TWinControl::DefaultHandler(Message);
}

void TCustomForm::SetMenu(TMainMenu* Value) {
  if (FMenu == Value) return;
  if (FMenu) FMenu->RemoveFreeNotification(this);
  FMenu = Value;
  if (FMenu) FMenu->FreeNotification(this);
}

void TCustomForm::SetWindowMenu(TMenuItem* Value) {
  if (FWindowMenu == Value) return;
  if (FWindowMenu) FWindowMenu->RemoveFreeNotification(this);
  FWindowMenu = Value;
  if (FWindowMenu) FWindowMenu->FreeNotification(this);
}

void TCustomForm::SetMenuBar(TWinControl* Value) {
  if (FMenuBar == Value) return;
  if (FMenuBar) FMenuBar->RemoveFreeNotification(this);
  FMenuBar = Value;
  if (FMenuBar) FMenuBar->FreeNotification(this);
}

void TCustomForm::Notification(TComponent* AComponent, TOperation Operation) {
  TWinControl::Notification(AComponent, Operation);
  if (Operation != opRemove || !AComponent) return;
  if (AComponent == static_cast<TComponent*>(FMenu)) FMenu = nullptr;
  if (AComponent == static_cast<TComponent*>(FWindowMenu)) FWindowMenu = nullptr;
  if (AComponent == static_cast<TComponent*>(FMenuBar)) FMenuBar = nullptr;
  if (AComponent == static_cast<TComponent*>(FActiveControl)) FActiveControl = nullptr;
  if (AComponent == static_cast<TComponent*>(FFocusedControl)) FFocusedControl = nullptr;
}

void TCustomForm::CreateParams(TCreateParams& Params) {
  TWinControl::CreateParams(Params);
  if (!FParent && !GetParentWindow()) {
    Params.WndParent = nullptr;
    Params.Style &= ~(WS_CHILD | WS_GROUP | WS_TABSTOP);
  }
  Params.WindowClass.style = CS_DBLCLKS;
  TFormBorderStyle Style = FBorderStyle;
  TBorderIcons Icons = FBorderIcons;
  if (FFormStyle == fsMDIChild && (Style == bsNone || Style == bsDialog)) Style = bsSizeable;
  switch (Style) {
    case bsNone:
      if (!FParent && !GetParentWindow()) Params.Style |= WS_POPUP;
      Icons = 0;
      break;
    case bsSingle:
    case bsToolWindow: Params.Style |= WS_CAPTION | WS_BORDER; break;
    case bsSizeable:
    case bsSizeToolWin: Params.Style |= WS_CAPTION | WS_THICKFRAME; break;
    case bsDialog:
      Params.Style |= WS_POPUP | WS_CAPTION;
      Params.ExStyle = WS_EX_DLGMODALFRAME | WS_EX_WINDOWEDGE;
      Icons &= biSystemMenu | biHelp;
      Params.WindowClass.style |= CS_DBLCLKS | CS_SAVEBITS;
      break;
  }
  if (Style == bsToolWindow || Style == bsSizeToolWin) {
    Params.ExStyle = WS_EX_TOOLWINDOW;
    Icons &= biSystemMenu;
  }
  if (Style == bsSingle || Style == bsSizeable || Style == bsNone) {
    if (Icons & biMinimize) Params.Style |= WS_MINIMIZEBOX;
    if (Icons & biMaximize) Params.Style |= WS_MAXIMIZEBOX;
    if (FWindowState == wsMinimized) Params.Style |= WS_MINIMIZE;
    else if (FWindowState == wsMaximized) Params.Style |= WS_MAXIMIZE;
  } else {
    FWindowState = wsNormal;
  }
  if (Icons & biSystemMenu) Params.Style |= WS_SYSMENU;
  if (FFormStyle == fsStayOnTop) Params.ExStyle |= WS_EX_TOPMOST;
  if (FFormStyle == fsMDIChild && !FParent) {
    TForm* Main = Application ? Application->GetMainForm() : nullptr;
    HWND Client = Main && Main != this && Main->GetFormStyle() == fsMDIForm ? Main->GetClientHandle() : nullptr;
    if (!Client) throw EInvalidOperation(SNoMDIForm);
    Params.WndParent = Client;
    Params.Style = (Params.Style & ~WS_POPUP) | WS_CHILD | WS_CLIPSIBLINGS;
    Params.ExStyle |= WS_EX_MDICHILD;
  }
}

void TCustomForm::ApplyPosition() {
  if (FPositioned) return;
  FPositioned = true;
  TCustomForm* Center = nullptr;
  switch (FPosition) {
    case poMainFormCenter:
      if (Application && Application->GetMainForm() != this) Center = Application->GetMainForm();
      break;
    case poOwnerFormCenter:
      Center = dynamic_cast<TCustomForm*>(GetOwner());
      if (!Center && Application && Application->GetMainForm() != this) Center = Application->GetMainForm();
      break;
    case poScreenCenter:
    case poDesktopCenter: break;
    default: return;
  }
  int X, Y;
  if (Center && Center->HandleAllocated()) {
    X = Center->GetLeft() + (Center->GetWidth() - FWidth) / 2;
    Y = Center->GetTop() + (Center->GetHeight() - FHeight) / 2;
  } else {
    TRect Work = Screen->GetWorkAreaRect();
    X = Work.left + (Work.right - Work.left - FWidth) / 2;
    Y = Work.top + (Work.bottom - Work.top - FHeight) / 2;
  }
  SetBounds(std::max(X, 0), std::max(Y, 0), FWidth, FHeight);
}

void TCustomForm::SetVisible(bool Value) {
  if (FFormState & fsCreating) {
    if (Value)
      FFormState |= fsVisible;
    else
      FFormState &= ~fsVisible;
    FVisible = Value;
    return;
  }
  TWinControl::SetVisible(Value);
}

void TCustomForm::Show() {
  SetVisible(true);
  BringToFront();
  if (FFormStyle == fsMDIChild && FHandle)
    if (HWND Client = ::GetParent(FHandle); IsMDIClientWindow(Client))
      SendMessageA(Client, WM_MDIACTIVATE, reinterpret_cast<WPARAM>(FHandle), 0);
}

void TCustomForm::CMShowingChanged(TMessage&) {
  if (FFormState & fsShowing) throw EInvalidOperation(SVisibleChanged);
  FFormState |= fsShowing;
  try {
    if (FShowing) {
      try {
        DoShow();
      } catch (...) {
        VclHandleException(this);
      }
      ApplyPosition();
      int Command = FWindowState == wsMaximized ? SW_SHOWMAXIMIZED : FWindowState == wsMinimized ? SW_SHOWMINIMIZED : SW_SHOWNORMAL;
      ShowWindow(FHandle, Command);
      if (FFormStyle == fsStayOnTop)
        SetWindowPos(FHandle, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    } else {
      try {
        DoHide();
      } catch (...) {
        VclHandleException(this);
      }
      if (Screen && Screen->FActiveCustomForm == this && FActive) {
        FActive = false;
      }
      ShowWindow(FHandle, SW_HIDE);
    }
  } catch (...) {
    FFormState &= ~fsShowing;
    throw;
  }
  FFormState &= ~fsShowing;
}

void TCustomForm::DoShow() {
  if (OnShow) OnShow(this);
}

void TCustomForm::DoHide() {
  if (OnHide) OnHide(this);
}

void TCustomForm::DoClose(TCloseAction& Action) {
  if (OnClose) OnClose(this, Action);
}

bool TCustomForm::CloseQuery() {
  bool Result = true;
  if (OnCloseQuery) OnCloseQuery(this, Result);
  return Result;
}

void TCustomForm::Close() {
  if (FFormState & fsModal) {
    FModalResult = mrCancel;
    return;
  }
  if (!CloseQuery()) return;
  TCloseAction Action = FFormStyle == fsMDIChild ? ((FBorderIcons & biMinimize) ? caMinimize : caNone) : caHide;
  DoClose(Action);
  if (Action == caNone) return;
  if (Application && Application->GetMainForm() == this)
    Application->Terminate();
  else if (Action == caHide)
    Hide();
  else if (Action == caMinimize)
    SetWindowState(wsMinimized);
  else
    Release();
}

void TCustomForm::CloseModal() {
  try {
    TCloseAction Action = caNone;
    if (CloseQuery()) {
      Action = caHide;
      DoClose(Action);
    }
    if (Action == caNone)
      FModalResult = mrNone;
    else if (Action == caFree)
      Release();
  } catch (...) {
    FModalResult = mrNone;
    VclHandleException(this);
  }
}

int TCustomForm::ShowModal() {
  if (GetVisible() || !GetEnabled() || (FFormState & fsModal) || FFormStyle == fsMDIChild)
    throw EInvalidOperation(SCannotShowModal);
  if (HWND Capture = GetCapture()) SendMessageA(Capture, WM_CANCELMODE, 0, 0);
  ReleaseCapture();
  FFormState |= fsModal;
  HWND ActiveWindow = GetActiveWindow();
  int SaveFocusCount = FocusCount;
  Screen->FSaveFocusedList.insert(Screen->FSaveFocusedList.begin(), Screen->FFocusedForm);
  Screen->FFocusedForm = this;
  TCursor SaveCursor = Screen->GetCursor();
  Screen->SetCursor(crDefault);
  // The other forms take no input while this one is up.
  std::vector<HWND> Disabled;
  for (TCustomForm* F : Screen->FCustomForms)
    if (F != this && F->HandleAllocated() && IsWindowVisible(F->FHandle) && IsWindowEnabled(F->FHandle)) {
      EnableWindow(F->FHandle, FALSE);
      Disabled.push_back(F->FHandle);
    }
  int Result = mrNone;
  auto Restore = [&] {
    for (HWND W : Disabled)
      if (IsWindow(W)) EnableWindow(W, TRUE);
    auto& Saved = Screen->FSaveFocusedList;
    if (!Saved.empty()) {
      Screen->FFocusedForm = Saved.front();
      Saved.erase(Saved.begin());
    } else {
      Screen->FFocusedForm = nullptr;
    }
    if (ActiveWindow && IsWindow(ActiveWindow)) SetActiveWindow(ActiveWindow);
    FocusCount = SaveFocusCount;
    FFormState &= ~fsModal;
    Screen->SetCursor(SaveCursor);
  };
  try {
    Show();
    try {
      SendMessageA(FHandle, CM_ACTIVATE, 0, 0);
      FModalResult = mrNone;
      do {
        Application->HandleMessage();
        if (Application->GetTerminated())
          FModalResult = mrCancel;
        else if (FModalResult != mrNone)
          CloseModal();
      } while (FModalResult == mrNone);
      Result = FModalResult;
      if (FHandle) SendMessageA(FHandle, CM_DEACTIVATE, 0, 0);
      if (GetActiveWindow() != FHandle) ActiveWindow = nullptr;
    } catch (...) {
      Hide();
      throw;
    }
    Hide();
  } catch (...) {
    Restore();
    throw;
  }
  Restore();
  return Result;
}

void TCustomForm::Release() {
  if (FHandle)
    PostMessageA(FHandle, CM_RELEASE, 0, 0);
  else
    PostMessageA(Application->GetHandle(), CM_RELEASE, 0, reinterpret_cast<LPARAM>(this));
}

void TCustomForm::CMRelease(TMessage&) { delete this; }

void TCustomForm::SetFocus() {
  if (FActive) return;
  if (!GetVisible() || !GetEnabled()) throw EInvalidOperation(SCannotFocus);
  SetWindowFocus();
}

void TCustomForm::SetWindowFocus() {
  HWND FocusHandle = FActiveControl ? FActiveControl->GetHandle() : GetHandle();
  if (FocusHandle) ::SetFocus(FocusHandle);
}

void TCustomForm::FocusControl(TWinControl* Control) {
  bool WasActive = FActive;
  SetActiveControl(Control);
  if (!WasActive) SetFocus();
}

void TCustomForm::DefocusControl(TWinControl* Control, bool Removing) {
  if (Removing && Control->ContainsControl(FFocusedControl)) FFocusedControl = Control->GetParent();
  if (Control->ContainsControl(FActiveControl)) SetActiveControl(nullptr);
}

bool TCustomForm::SetFocusedControl(TWinControl* Control) {
  ++FocusCount;
  FActiveControl = Control != this ? Control : nullptr;
  Screen->FActiveControl = Control;
  Screen->FActiveCustomForm = this;
  Screen->MoveToFront(this);
  if (Control->GetControlState() & csFocusing) return false;
  Control->SetControlState(Control->GetControlState() | csFocusing);
  struct TClearFocusing {
    TWinControl* C;
    ~TClearFocusing() { C->SetControlState(C->GetControlState() & ~csFocusing); }
  } Clear{Control};
  if (Screen->FFocusedForm != this) {
    if (TCustomForm* Old = Screen->FFocusedForm) {
      Screen->FFocusedForm = nullptr;
      if (!SendFocusMessage(Old->GetHandle(), CM_DEACTIVATE)) return false;
    }
    Screen->FFocusedForm = this;
    if (!SendFocusMessage(GetHandle(), CM_ACTIVATE)) return false;
  }
  if (!FFocusedControl) FFocusedControl = this;
  if (FFocusedControl != Control) {
    while (FFocusedControl && !FFocusedControl->ContainsControl(Control)) {
      HWND FocusHandle = FFocusedControl->GetHandle();
      FFocusedControl = FFocusedControl == this ? nullptr : FFocusedControl->GetParent();
      if (!SendFocusMessage(FocusHandle, CM_EXIT)) return false;
    }
    while (FFocusedControl != Control) {
      TWinControl* Temp = Control;
      while (Temp->GetParent() != FFocusedControl) Temp = Temp->GetParent();
      FFocusedControl = Temp;
      if (!SendFocusMessage(Temp->GetHandle(), CM_ENTER)) return false;
    }
    Perform(CM_FOCUSCHANGED, 0, reinterpret_cast<LPARAM>(Control));
  }
  if (Screen->OnActiveControlChange) Screen->OnActiveControlChange(Screen);
  return true;
}

bool TCustomForm::IsShortCut(TWMKey& Message) {
  bool Handled = false;
  if (OnShortCut) OnShortCut(Message, Handled);
  if (!Handled && FMenu) Handled = FMenu->IsShortCut(Message);
  return Handled;
}

void TCustomForm::SendCancelMode(TControl* Sender) {
  if (FActive && FActiveControl) FActiveControl->Perform(CM_CANCELMODE, 0, reinterpret_cast<LPARAM>(Sender));
}

TRect TCustomForm::GetClientRect() { return TWinControl::GetClientRect(); }

void TCustomForm::Activate() {
  if (OnActivate) OnActivate(this);
}

void TCustomForm::Deactivate() {
  if (OnDeactivate) OnDeactivate(this);
}

void TCustomForm::Paint() {
  if (OnPaint) OnPaint(this);
}

void TCustomForm::PaintWindow(HDC DC) {
  FCanvas->PaintOn(DC, [this] { Paint(); });
}

void TCustomForm::WMPaint(TMessage& Message) {
  if (FHandle && IsIconic(FHandle)) {
    DefaultHandler(Message);
    return;
  }
  FControlState |= csCustomPaint;
  try {
    TWinControl::WMPaint(Message);
  } catch (...) {
    FControlState &= ~csCustomPaint;
    throw;
  }
  FControlState &= ~csCustomPaint;
}

void TCustomForm::Dispatch(TMessage& Message) {
  switch (Message.Msg) {
    case WM_CLOSE: WMClose(Message); break;
    case WM_ACTIVATE: WMActivate(Message); break;
    case WM_SYSCOMMAND: WMSysCommand(Message); break;
    case WM_SIZE:
      if (Message.WParam == SIZE_MINIMIZED) FWindowState = wsMinimized;
      else if (Message.WParam == SIZE_MAXIMIZED) FWindowState = wsMaximized;
      else if (Message.WParam == SIZE_RESTORED) FWindowState = wsNormal;
      TWinControl::Dispatch(Message);
      break;
    case WM_MDIACTIVATE:
      // The client made this child the active one: it leads the screen's forms.
      if (FFormStyle == fsMDIChild && FHandle && reinterpret_cast<HWND>(Message.LParam) == FHandle && Screen)
        Screen->MoveToFront(this);
      DefaultHandler(Message);
      break;
    case CM_ACTIVATE: CMActivate(Message); break;
    case CM_DEACTIVATE: CMDeactivate(Message); break;
    case CM_RELEASE: CMRelease(Message); break;
    default: TWinControl::Dispatch(Message); break;
  }
}

void TCustomForm::WMClose(TMessage&) { Close(); }

void TCustomForm::WMActivate(TMessage& Message) {
  SetActive(LOWORD(Message.WParam) != WA_INACTIVE);
}

void TCustomForm::SetActive(bool Value) {
  FActive = Value;
  if (!Value) return;
  if (!FActiveControl) FActiveControl = FindNextControl(nullptr, true, true, false);
  SetWindowFocus();
}

void TCustomForm::WMSysCommand(TMessage& Message) {
  // The keyboard's menu commands go to the menu bar on this form (Alt+Space, the system
  // menu, stays with the default handling).
  if ((Message.WParam & 0xFFF0) == SC_KEYMENU && Message.LParam != ' ' && FMenuBar && GetParentForm(FMenuBar) == this) {
    Message.Result = FMenuBar->Perform(WM_SYSCOMMAND, Message.WParam, Message.LParam);
    return;
  }
  if ((Message.WParam & 0xFFF0) == SC_MINIMIZE && Application && Application->GetMainForm() == this) {
    Application->Minimize();
    return;
  }
  if ((Message.WParam & 0xFFF0) == SC_RESTORE && Application && Application->GetMainForm() == this && IsIconic(FHandle)) {
    Application->Restore();
    return;
  }
  DefaultHandler(Message);
}

void TCustomForm::CMActivate(TMessage&) { Activate(); }

void TCustomForm::CMDeactivate(TMessage&) { Deactivate(); }

void TCustomForm::CMDialogKey(TMessage& Message) {
  if (GetKeyState(VK_MENU) >= 0) {
    switch (Message.WParam) {
      case VK_TAB:
        if (GetKeyState(VK_CONTROL) >= 0) {
          SelectNext(FActiveControl, GetKeyState(VK_SHIFT) >= 0, true);
          Message.Result = 1;
          return;
        }
        break;
      case VK_LEFT:
      case VK_RIGHT:
      case VK_UP:
      case VK_DOWN:
        if (FActiveControl && FActiveControl->GetParent()) {
          FActiveControl->GetParent()->SelectNext(FActiveControl,
                                                  Message.WParam == VK_RIGHT || Message.WParam == VK_DOWN, false);
          Message.Result = 1;
        }
        return;
    }
  }
  TWinControl::CMDialogKey(Message);
}

// ---------------------------------------------------------------------------------------------
// TScreen

TScreen::TScreen(TComponent* AOwner) : TComponent(AOwner) {}

TScreen::~TScreen() = default;

void TScreen::AddForm(TCustomForm* Form) {
  FCustomForms.push_back(Form);
  if (auto* F = dynamic_cast<TForm*>(Form)) FForms.push_back(F);
}

TForm::TForm(TComponent* AOwner) : TCustomForm(AOwner) {
  if (Screen && std::find(Screen->FForms.begin(), Screen->FForms.end(), this) == Screen->FForms.end())
    Screen->FForms.push_back(this);
}

void TScreen::RemoveForm(TCustomForm* Form) {
  FCustomForms.erase(std::remove(FCustomForms.begin(), FCustomForms.end(), Form), FCustomForms.end());
  FForms.erase(std::remove_if(FForms.begin(), FForms.end(),
                              [Form](TForm* F) { return static_cast<TCustomForm*>(F) == Form; }),
               FForms.end());
  FSaveFocusedList.erase(std::remove(FSaveFocusedList.begin(), FSaveFocusedList.end(), Form), FSaveFocusedList.end());
  if (FActiveCustomForm == Form) FActiveCustomForm = nullptr;
  if (FActiveForm && static_cast<TCustomForm*>(FActiveForm) == Form) FActiveForm = nullptr;
  if (FFocusedForm == Form) FFocusedForm = nullptr;
  if (FActiveControl && Form->ContainsControl(FActiveControl)) FActiveControl = nullptr;
}

void TScreen::MoveToFront(TCustomForm* Form) {
  auto It = std::find(FCustomForms.begin(), FCustomForms.end(), Form);
  if (It != FCustomForms.end()) {
    FCustomForms.erase(It);
    FCustomForms.insert(FCustomForms.begin(), Form);
  }
  TCustomForm* OldActive = FActiveCustomForm;
  if (auto* F = dynamic_cast<TForm*>(Form)) {
    FActiveForm = F;
    FForms.erase(std::remove(FForms.begin(), FForms.end(), F), FForms.end());
    FForms.insert(FForms.begin(), F);
  }
  FActiveCustomForm = Form;
  if (OldActive != Form && OnActiveFormChange) OnActiveFormChange(this);
}

TForm* TScreen::GetForms(int Index) const {
  if (Index < 0 || Index >= GetFormCount()) throw EListError(RtlConsts::SListIndexError, {Index});
  return FForms[static_cast<size_t>(Index)];
}

TCustomForm* TScreen::GetCustomForms(int Index) const {
  if (Index < 0 || Index >= GetCustomFormCount()) throw EListError(RtlConsts::SListIndexError, {Index});
  return FCustomForms[static_cast<size_t>(Index)];
}

int TScreen::GetWidth() { return GetSystemMetrics(SM_CXSCREEN); }

int TScreen::GetHeight() { return GetSystemMetrics(SM_CYSCREEN); }

TRect TScreen::GetWorkAreaRect() {
  RECT R{};
  if (!SystemParametersInfoA(SPI_GETWORKAREA, 0, &R, 0)) R = Rect(0, 0, GetWidth(), GetHeight());
  return R;
}

TRect TScreen::GetDesktopRect() {
  RECT R{};
  bool Any = false;
  for (int I = 0; I < GetMonitorCount(); ++I) {
    TRect B = GetMonitors(I).BoundsRect;
    if (!Any) R = B; else UnionRect(&R, &R, &B);
    Any = true;
  }
  return Any ? R : Rect(0, 0, GetWidth(), GetHeight());
}

namespace {
BOOL CALLBACK_CollectMonitor(HMONITOR Monitor, HDC, LPRECT, LPARAM Data) {
  reinterpret_cast<std::vector<HMONITOR>*>(Data)->push_back(Monitor);
  return TRUE;
}

std::vector<HMONITOR> AllMonitors() {
  std::vector<HMONITOR> List;
  EnumDisplayMonitors(nullptr, nullptr, CALLBACK_CollectMonitor, reinterpret_cast<LPARAM>(&List));
  return List;
}

TMonitor DescribeMonitor(HMONITOR H, int Num) {
  TMonitor M;
  M.Handle = H;
  M.MonitorNum = Num;
  MONITORINFO Info{};
  Info.cbSize = sizeof(Info);
  if (GetMonitorInfoA(H, &Info)) {
    M.BoundsRect = Info.rcMonitor;
    M.WorkareaRect = Info.rcWork;
    M.Primary = (Info.dwFlags & MONITORINFOF_PRIMARY) != 0;
  }
  return M;
}
}  // namespace

int TScreen::GetMonitorCount() { return static_cast<int>(AllMonitors().size()); }

TMonitor TScreen::GetMonitors(int Index) {
  std::vector<HMONITOR> List = AllMonitors();
  if (Index < 0 || Index >= static_cast<int>(List.size())) throw EListError(RtlConsts::SListIndexError, {Index});
  return DescribeMonitor(List[static_cast<size_t>(Index)], Index);
}

TMonitor TScreen::MonitorFromWindow(HWND Wnd) {
  HMONITOR H = ::MonitorFromWindow(Wnd, MONITOR_DEFAULTTONEAREST);
  std::vector<HMONITOR> List = AllMonitors();
  auto It = std::find(List.begin(), List.end(), H);
  return DescribeMonitor(H, It == List.end() ? 0 : static_cast<int>(It - List.begin()));
}

void TScreen::SetCursor(TCursor Value) {
  FCursor = Value;
  if (Value == crDefault) {
    // Let the window under the pointer choose again.
    POINT P{};
    GetCursorPos(&P);
    if (HWND Wnd = WindowFromPoint(P))
      SendMessageA(Wnd, WM_SETCURSOR, reinterpret_cast<WPARAM>(Wnd),
                   MAKELPARAM(static_cast<WORD>(SendMessageA(Wnd, WM_NCHITTEST, 0, MAKELPARAM(static_cast<WORD>(P.x), static_cast<WORD>(P.y)))), WM_MOUSEMOVE));
  } else {
    ::SetCursor(GetCursors(Value));
  }
}

HCURSOR TScreen::GetCursors(TCursor Index) {
  auto It = FCursors.find(Index);
  if (It != FCursors.end()) return It->second;
  LPCSTR Id = IDC_ARROW;
  switch (Index) {
    case crNone: return nullptr;
    case crCross: Id = IDC_CROSS; break;
    case crIBeam: Id = IDC_IBEAM; break;
    case crSizeNESW: Id = IDC_SIZENESW; break;
    case crSizeNS:
    case crVSplit: Id = IDC_SIZENS; break;
    case crSizeNWSE: Id = IDC_SIZENWSE; break;
    case crSizeWE:
    case crHSplit: Id = IDC_SIZEWE; break;
    case crUpArrow: Id = IDC_UPARROW; break;
    case crHourGlass:
    case crSQLWait: Id = IDC_WAIT; break;
    case crNoDrop:
    case crNo: Id = IDC_NO; break;
    case crAppStart: Id = IDC_APPSTARTING; break;
    case crHelp: Id = IDC_HELP; break;
    case crHandPoint: Id = IDC_HAND; break;
    case crSizeAll: Id = IDC_SIZEALL; break;
    default: break;
  }
  HCURSOR Result = LoadCursorA(nullptr, Id);
  FCursors[Index] = Result;
  return Result;
}

void TScreen::SetCursors(TCursor Index, HCURSOR Handle) {
  if (Index == crDefault) return;
  FCursors[Index] = Handle;
}

TStrings* TScreen::GetFonts() {
  if (!FFonts) {
    FFonts = std::make_unique<TStringList>();
    for (const String& Name : GetFontFamilyNames()) FFonts->Add(Name);
    FFonts->SetSorted(true);
  }
  return FFonts.get();
}

// ---------------------------------------------------------------------------------------------
// TApplication

TApplication::TApplication(TComponent* AOwner) : TComponent(AOwner), FIcon(std::make_unique<TIcon>()) {}

TApplication::~TApplication() {
  if (FHandle) DeallocateHWnd(FHandle);
}

HWND TApplication::GetHandle() {
  if (!FHandle) FHandle = AllocateHWnd([this](TMessage& M) { WndProc(M); }, "TApplication");
  return FHandle;
}

void TApplication::DestroyHandle() {
  CancelHint();
  FHintControl = nullptr;
  if (FHandle) DeallocateHWnd(FHandle);
  FHandle = nullptr;
}

void TApplication::WndProc(TMessage& Message) {
  switch (Message.Msg) {
    case WM_TIMER:
      if (Message.WParam == HintShowTimer) {
        KillTimer(FHandle, HintShowTimer);
        HintTimerExpired();
      } else if (Message.WParam == HintHideTimer) {
        HideHint();
      }
      return;
    case CM_RELEASE:
      delete reinterpret_cast<TCustomForm*>(Message.LParam);
      return;
    case WM_SYSCOMMAND:
      // The commands that concern the whole program (another copy restores this one with it).
      if ((Message.WParam & 0xFFF0) == SC_MINIMIZE) {
        Minimize();
        return;
      }
      if ((Message.WParam & 0xFFF0) == SC_RESTORE) {
        Restore();
        BringToFront();
        return;
      }
      break;
    case WM_ACTIVATEAPP:
      FActive = Message.WParam != 0;
      if (FActive ? OnActivate : OnDeactivate) (FActive ? OnActivate : OnDeactivate)(this);
      break;
  }
  Message.Result = DefWindowProcA(FHandle, Message.Msg, Message.WParam, Message.LParam);
}

void TApplication::SetTitle(const String& Value) {
  FTitle = Value;
  if (FHandle) SetWindowTextA(FHandle, Value.c_str());
}

String TApplication::GetExeName() const { return qv::os::ModuleFileName(); }

void TApplication::Run() {
  FRunning = true;
  FTerminate = false;
  if (FMainForm && FShowMainForm) FMainForm->SetVisible(true);
  while (!FTerminate) {
    try {
      HandleMessage();
    } catch (...) {
      HandleException(this);
    }
  }
  FRunning = false;
}

bool TApplication::IsKeyMsg(MSG& Msg) {
  if (Msg.message < WM_KEYFIRST || Msg.message > WM_KEYLAST) return false;
  HWND Wnd = GetCapture();
  if (!Wnd) {
    Wnd = Msg.hwnd;
    while (Wnd && !TWinControl::FindControl(Wnd)) Wnd = ::GetParent(Wnd);
    if (!Wnd) Wnd = Msg.hwnd;
  } else if (!TWinControl::FindControl(Wnd)) {
    return false;
  }
  return Wnd && SendMessageA(Wnd, CN_BASE + Msg.message, Msg.wParam, Msg.lParam) != 0;
}

bool TApplication::ProcessMessage(MSG& Msg) {
  if (!PeekMessageA(&Msg, nullptr, 0, 0, PM_REMOVE)) return false;
  if (Msg.message == WM_QUIT) {
    FTerminate = true;
    return true;
  }
  bool Handled = false;
  // A copy: the handler may replace OnMessage while it runs.
  if (TMessageEvent Handler = OnMessage) Handler(Msg, Handled);
  // Keys, clicks and commands end a hint that is up (the message itself goes on).
  if (FHintWindow && FHintWindow->IsHintMsg(Msg)) CancelHint();
  if (!Handled && !IsKeyMsg(Msg) && !IsMDIMsg(Msg)) {
    TranslateMessage(&Msg);
    DispatchMessageA(&Msg);
  }
  return true;
}

// The keyboard's document commands (Ctrl+F4, Ctrl+F6 ...) while an MDI child is the active form.
bool TApplication::IsMDIMsg(MSG& Msg) {
  if (!FMainForm || FMainForm->GetFormStyle() != fsMDIForm || !Screen || !Screen->GetActiveForm() ||
      Screen->GetActiveForm()->GetFormStyle() != fsMDIChild)
    return false;
  HWND Client = FMainForm->GetClientHandle();
  return Client && TranslateMDISysAccel(Client, &Msg);
}

void TApplication::ProcessMessages() {
  MSG Msg{};
  while (ProcessMessage(Msg)) {
  }
}

void TApplication::Idle() {
  FreeDeviceContexts();
  bool Done = true;
  try {
    if (OnIdle) OnIdle(this, Done);
  } catch (...) {
    HandleException(this);
  }
  if (Done) WaitMessage();
}

void TApplication::HandleMessage() {
  MSG Msg{};
  if (!ProcessMessage(Msg)) Idle();
}

void TApplication::Terminate() { PostQuitMessage(0); }

void TApplication::Minimize() {
  if (FMainForm && FMainForm->HandleAllocated() && !IsIconic(FMainForm->GetHandle()))
    ShowWindow(FMainForm->GetHandle(), SW_MINIMIZE);
  if (OnMinimize) OnMinimize(this);
}

void TApplication::Restore() {
  if (FMainForm && FMainForm->HandleAllocated() && IsIconic(FMainForm->GetHandle()))
    ShowWindow(FMainForm->GetHandle(), SW_RESTORE);
  if (OnRestore) OnRestore(this);
}

void TApplication::BringToFront() {
  TCustomForm* Form = Screen->GetActiveCustomForm();
  if (!Form) Form = FMainForm;
  if (Form && Form->HandleAllocated()) {
    BringWindowToTop(Form->GetHandle());
    SetForegroundWindow(Form->GetHandle());
  }
}

void TApplication::HandleException(TObject* Sender) {
  if (HWND Capture = GetCapture()) SendMessageA(Capture, WM_CANCELMODE, 0, 0);
  std::exception_ptr Current = std::current_exception();
  if (!Current) return;
  try {
    std::rethrow_exception(Current);
  } catch (EAbort&) {
  } catch (Exception& E) {
    if (OnException)
      OnException(Sender, &E);
    else
      ShowException(&E);
  } catch (std::exception& E) {
    Exception Wrapped(E.what());
    if (OnException)
      OnException(Sender, &Wrapped);
    else
      ShowException(&Wrapped);
  } catch (...) {
    Exception Wrapped(RtlConsts::SUnknownException);
    if (OnException)
      OnException(Sender, &Wrapped);
    else
      ShowException(&Wrapped);
  }
}

void TApplication::ShowException(Exception* E) {
  String Msg = E->Message();
  if (!Msg.empty() && Msg.back() > '.') Msg += '.';
  String Title = FTitle.empty() ? ChangeFileExt(ExtractFileName(GetExeName()), "") : FTitle;
  MessageBoxA(nullptr, Msg.c_str(), Title.c_str(), MB_OK | MB_ICONSTOP);
}

void TApplication::SetShowHint(bool Value) {
  if (FShowHint == Value) return;
  FShowHint = Value;
  if (!Value) CancelHint();
}

void TApplication::SetHint(const String& Value) {
  if (FHint == Value) return;
  FHint = Value;
  if (OnHint) OnHint(this);
}

void TApplication::HideHint() {
  if (FHandle) KillTimer(FHandle, HintHideTimer);
  if (FHintWindow) {
    delete FHintWindow;
    FHintWindow = nullptr;
  }
  FHintShown = false;
}

void TApplication::CancelHint() {
  if (FHandle) KillTimer(FHandle, HintShowTimer);
  HideHint();
  FHintControl = nullptr;
  FHintActive = false;
}

void TApplication::HintMouseMessage(TControl* Control) {
  SetHint(LongHint(HintOf(Control)));
  TControl* NewHintControl = FShowHint ? HintControlOf(Control) : nullptr;
  if (!NewHintControl) {
    CancelHint();
    return;
  }
  if (NewHintControl == FHintControl) return;
  bool WasHintActive = FHintActive;
  int Pause = WasHintActive ? FHintShortPause : FHintPause;
  NewHintControl->Perform(CM_HINTSHOWPAUSE, WasHintActive ? 1 : 0, reinterpret_cast<LPARAM>(&Pause));
  CancelHint();
  FHintActive = WasHintActive;
  FHintControl = NewHintControl;
  SetTimer(GetHandle(), HintShowTimer, static_cast<UINT>(std::max(Pause, 1)), nullptr);
}

void TApplication::HintTimerExpired() {
  TControl* Control = GetMouseControl();
  if (Control && FHintControl && HintControlOf(Control) == FHintControl) ActivateHint(FHintControl);
}

void TApplication::ActivateHint(TControl* Control) {
  String Hint = ShortHint(HintOf(Control));
  HideHint();
  FHintControl = Control;
  if (Hint.empty()) {
    FHintActive = false;
    return;
  }
  POINT P{};
  GetCursorPos(&P);
  THintInfo Info;
  Info.HintControl = Control;
  Info.HintWindowClass = HintWindowClass;
  Info.HintPos = Point(P.x, P.y + 20);
  Info.HintMaxWidth = Screen->GetWidth();
  Info.HintColor = FHintColor;
  Info.CursorRect = Rect(0, 0, Control->GetWidth(), Control->GetHeight());
  Info.CursorPos = Control->ScreenToClient(P);
  Info.HideTimeout = FHintHidePause;
  Info.HintStr = Hint;
  bool CanShow = Control->Perform(CM_HINTSHOW, 0, reinterpret_cast<LPARAM>(&Info)) == 0;
  if (CanShow && OnShowHint) OnShowHint(Info.HintStr, CanShow, Info);
  if (!CanShow || Info.HintStr.empty()) {
    FHintActive = false;
    return;
  }
  FHintWindow = Info.HintWindowClass ? Info.HintWindowClass(this) : new THintWindow(this);
  FHintWindow->SetColor(Info.HintColor);
  TRect R = FHintWindow->CalcHintRect(Info.HintMaxWidth, Info.HintStr, Info.HintData);
  OffsetRect(&R, Info.HintPos.x, Info.HintPos.y);
  FHintWindow->ActivateHintData(R, Info.HintStr, Info.HintData);
  FHintShown = true;
  FHintActive = true;
  if (Info.HideTimeout > 0) SetTimer(GetHandle(), HintHideTimer, static_cast<UINT>(Info.HideTimeout), nullptr);
}

int TMouse::GetDragThreshold() const { return GetDefaultDragThreshold(); }

void TMouse::SetDragThreshold(int Value) { SetDefaultDragThreshold(Value); }

TPoint TMouse::GetCursorPos() const {
  POINT P{};
  ::GetCursorPos(&P);
  return P;
}

void TMouse::SetCursorPos(const TPoint& Value) { ::SetCursorPos(Value.x, Value.y); }
