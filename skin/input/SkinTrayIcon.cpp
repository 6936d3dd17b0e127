#include "skin/input/SkinTrayIcon.h"

#include <algorithm>
#include <cstring>
#include <map>
#include <vector>

#include "platform/vcl/Forms.h"

namespace {

// The windows whose procedure the tray icons replaced: the original procedure and the icons
// listening, in the order they came.
struct TSubclass {
  WNDPROC Original = nullptr;
  std::vector<TskTrayIcon*> Icons;
};

std::map<HWND, TSubclass>& Subclasses()
{
  static std::map<HWND, TSubclass> map;
  return map;
}

TShiftState AsyncShift()
{
  TShiftState s = 0;
  if (GetAsyncKeyState(VK_SHIFT) < 0)
    s |= ssShift;
  if (GetAsyncKeyState(VK_MENU) < 0)
    s |= ssAlt;
  if (GetAsyncKeyState(VK_CONTROL) < 0)
    s |= ssCtrl;
  return s;
}

} // namespace

TskTrayIcon::TskTrayIcon(TComponent* AOwner) : TComponent(AOwner)
{
  FTaskbarCreatedMessage = RegisterWindowMessageA("TaskbarCreated");
  FIcon = std::make_unique<TIcon>();
  FTrayWindow = AllocateHWnd([this](TMessage& M) { TrayWndProc(M); });
  FAnimateTimer = new TTimer(this);
  FAnimateTimer->SetEnabled(false);
  FAnimateTimer->SetInterval(0);
  FAnimateTimer->SetOnTimer([this](TObject*) { AnimateTick(); });
  FClickTimer = new TTimer(this);
  FClickTimer->SetEnabled(false);
  FClickTimer->SetInterval(GetDoubleClickTime());
  FClickTimer->SetOnTimer([this](TObject*) { ClickTick(); });
  if (FIcon->Empty() && DefaultToApplicationIcon() && Application->GetIcon() && !Application->GetIcon()->Empty())
    FIcon->Assign(Application->GetIcon());
  FAppWindow = Application->GetHandle();
  Subclass(FAppWindow);
  if (TWinControl* owner = OwnerControl()) {
    FOwnerWindow = owner->GetHandle();
    Subclass(FOwnerWindow);
  }
}

TskTrayIcon::~TskTrayIcon()
{
  SetIconVisible(false);
  Unsubclass(FOwnerWindow);
  Unsubclass(FAppWindow);
  delete FAnimateTimer;
  FAnimateTimer = nullptr;
  delete FClickTimer;
  FClickTimer = nullptr;
  if (FTrayWindow)
    DeallocateHWnd(FTrayWindow);
  FTrayWindow = nullptr;
}

TWinControl* TskTrayIcon::OwnerControl() const { return dynamic_cast<TWinControl*>(GetOwner()); }

// ---------------------------------------------------------------------------------------------
// Properties

void TskTrayIcon::SetIconList(TCustomImageList* Value)
{
  if (FIconList)
    FIconList->RemoveFreeNotification(this);
  FIconList = Value;
  if (FIconList)
    FIconList->FreeNotification(this);
  SetIconIndex(0);
}

void TskTrayIcon::SetCycleIcons(bool Value)
{
  FCycleIcons = Value;
  if (Value)
    SetIconIndex(0);
  FAnimateTimer->SetEnabled(Value);
}

void TskTrayIcon::SetHint(const String& Value)
{
  FHint = Value;
  ModifyIcon();
}

void TskTrayIcon::SetShowHint(bool Value)
{
  FShowHint = Value;
  ModifyIcon();
}

void TskTrayIcon::SetIcon(TIcon* Value)
{
  if (Value)
    FIcon->Assign(Value);
  else
    FIcon = std::make_unique<TIcon>();
  ModifyIcon();
}

void TskTrayIcon::SetIconVisible(bool Value)
{
  if (Value)
    ShowIcon();
  else
    HideIcon();
}

void TskTrayIcon::SetIconIndex(int Value)
{
  // An empty list keeps index 0 and the icon as it is.
  if (FIconList && FIconList->GetCount() > 0) {
    FIconIndex = std::clamp(Value, 0, FIconList->GetCount() - 1);
    FIconList->GetIcon(FIconIndex, FIcon.get());
  } else {
    FIconIndex = 0;
  }
  ModifyIcon();
}

void TskTrayIcon::SetPopupMenu(TskSkinPopupMenu* Value)
{
  if (FPopupMenu)
    FPopupMenu->RemoveFreeNotification(this);
  FPopupMenu = Value;
  if (FPopupMenu)
    FPopupMenu->FreeNotification(this);
}

void TskTrayIcon::Notification(TComponent* AComponent, TOperation Operation)
{
  TComponent::Notification(AComponent, Operation);
  if (Operation != opRemove)
    return;
  if (AComponent == FIconList)
    FIconList = nullptr;
  if (AComponent == FPopupMenu)
    FPopupMenu = nullptr;
}

void TskTrayIcon::Loaded()
{
  TComponent::Loaded();
  if (OwnerControl() && MinimizedOnStart) {
    FIconVisible = true;
    MinimizeToTray = true;
    Application->SetShowMainForm(false);
    ShowWindow(Application->GetHandle(), SW_HIDE);
  }
  ModifyIcon();
  SetIconVisible(FIconVisible);
}

// ---------------------------------------------------------------------------------------------
// The notification area

void TskTrayIcon::PrepareData()
{
  FIconData = NOTIFYICONDATAA{};
  FIconData.cbSize = sizeof(NOTIFYICONDATAA);
  FIconData.hWnd = FTrayWindow;
  FIconData.uID = 1;
  FIconData.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
  FIconData.uCallbackMessage = TrayIconCallbackMessage;
  // The icon picture is known to the notification area by the component's icon object.
  FIconData.hIcon = FIcon->Empty() ? nullptr : reinterpret_cast<HICON>(FIcon.get());
  std::memset(FIconData.szTip, 0, sizeof FIconData.szTip);
  if (!FHint.empty() && FShowHint)
    std::memcpy(FIconData.szTip, FHint.data(), std::min<std::size_t>(FHint.size(), 127));
}

bool TskTrayIcon::Notify(DWORD Message)
{
  PrepareData();
  return Shell_NotifyIconA(Message, &FIconData) != FALSE;
}

bool TskTrayIcon::ShowIcon()
{
  FIconVisible = true;
  if (FShown)
    return ModifyIcon();
  FShown = Notify(NIM_ADD);
  return FShown;
}

bool TskTrayIcon::HideIcon()
{
  FIconVisible = false;
  if (!FShown)
    return false;
  FShown = false;
  return Notify(NIM_DELETE);
}

bool TskTrayIcon::ModifyIcon() { return FShown && Notify(NIM_MODIFY); }

// ---------------------------------------------------------------------------------------------
// Events

void TskTrayIcon::Click()
{
  if (OnClick)
    OnClick(this);
}

void TskTrayIcon::DblClick()
{
  if (OnDblClick)
    OnDblClick(this);
}

int TskTrayIcon::NextIconIndex() const
{
  // Wraps to the first icon after the last one; an empty list has only index 0.
  if (FIconList && FIconIndex + 1 < FIconList->GetCount())
    return FIconIndex + 1;
  return 0;
}

void TskTrayIcon::Cycle()
{
  if (OnCycle)
    OnCycle(this, NextIconIndex());
}

void TskTrayIcon::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y)
{
  if (OnMouseDown)
    OnMouseDown(this, Button, Shift, X, Y);
}

void TskTrayIcon::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y)
{
  if (OnMouseUp)
    OnMouseUp(this, Button, Shift, X, Y);
}

void TskTrayIcon::MouseMove(TShiftState Shift, int X, int Y)
{
  if (OnMouseMove)
    OnMouseMove(this, Shift, X, Y);
}

void TskTrayIcon::DoMinimizeToTray()
{

  // Only an icon that is really in the notification area may take the form's place.
  if (ShowIcon())
    HideMainForm();
}

void TskTrayIcon::AnimateTick()
{
  if (!FIconList || FIconList->GetCount() == 0)
    return;
  FIconList->GetIcon(std::min(FIconIndex, FIconList->GetCount() - 1), FIcon.get());
  Cycle();
  ModifyIcon();
  FIconIndex = NextIconIndex();
}

void TskTrayIcon::ClickTick()
{
  FClickTimer->SetEnabled(false);
  if (!FDblClickSeen && FClickPending) {
    FClickPending = false;
    Click();
  }
  FDblClickSeen = false;
}

void TskTrayIcon::ShowPopup(POINT p)
{
  if (!FPopupMenu || !FPopupMenu->GetAutoPopup())
    return;
  Application->ProcessMessages();
  SetForegroundWindow(FTrayWindow);
  TWinControl* owner = OwnerControl();
  if (owner)
    SetForegroundWindow(owner->GetHandle());
  FPopupMenu->SetPopupComponent(this);
  FPopupMenu->Popup(p.x, p.y);
  if (owner && owner->HandleAllocated())
    PostMessageA(owner->GetHandle(), WM_NULL, 0, 0);
}

void TskTrayIcon::TrayWndProc(TMessage& Message)
{
  switch (Message.Msg) {
  case TrayIconCallbackMessage: {
    if (!Enabled)
      return;
    // Where the notification area saw the mouse (or where the panel asks for the menu), which
    // the pointer may have left by now.
    const DWORD pos = GetMessagePos();
    const POINT p{static_cast<short>(LOWORD(pos)), static_cast<short>(HIWORD(pos))};
    const TShiftState shift = AsyncShift();
    switch (static_cast<UINT>(Message.LParam)) {
    case WM_MOUSEMOVE:
      MouseMove(shift, p.x, p.y);
      break;
    case WM_LBUTTONDOWN:
      FClickTimer->SetEnabled(true);
      MouseDown(mbLeft, shift | ssLeft, p.x, p.y);
      FButtonDown = true;
      if (PopupByLeftButton)
        ShowPopup(p);
      break;
    case WM_LBUTTONUP:
      if (FButtonDown)
        FClickPending = true;
      if (FButtonDown && !FClickTimer->GetEnabled()) {
        FButtonDown = false;
        FClickPending = false;
        Click();
      }
      FButtonDown = false;
      MouseUp(mbLeft, shift | ssLeft, p.x, p.y);
      break;
    case WM_LBUTTONDBLCLK:
      FClickPending = false;
      FDblClickSeen = true;
      DblClick();
      if (FPopupMenu && FPopupMenu->GetAutoPopup() && !PopupByLeftButton) {
        TMenuItem* items = FPopupMenu->GetItems();
        for (int i = 0; i < items->GetCount(); ++i)
          if (items->GetItem(i)->GetDefault()) {
            items->GetItem(i)->Click();
            break;
          }
      }
      break;
    case WM_RBUTTONDOWN:
      MouseDown(mbRight, shift | ssRight, p.x, p.y);
      ShowPopup(p);
      break;
    case WM_RBUTTONUP:
      MouseUp(mbRight, shift | ssRight, p.x, p.y);
      break;
    case WM_MBUTTONDOWN:
      MouseDown(mbMiddle, shift | ssMiddle, p.x, p.y);
      break;
    case WM_MBUTTONUP:
      MouseUp(mbMiddle, shift | ssMiddle, p.x, p.y);
      break;
    case 0x405:  // NIN_BALLOONUSERCLICK
      if (OnBalloonHintClick)
        OnBalloonHintClick(this);
      break;
    default:
      break;
    }
    return;
  }
  case WM_DESTROY:
  case WM_CLOSE:
  case WM_QUERYENDSESSION:
  case WM_QUIT:
  case WM_USERCHANGED:
  case WM_NCDESTROY:
    Message.Result = 1;
    return;
  default:
    Message.Result = DefWindowProcA(FTrayWindow, Message.Msg, Message.WParam, Message.LParam);
  }
}

// ---------------------------------------------------------------------------------------------
// Main form and subclassed windows

void TskTrayIcon::RestoreMainForm()
{
  TForm* main = Application->GetMainForm();
  if (!OwnerControl() || !main)
    return;
  FHiddenInTray = false;
  ShowWindow(Application->GetHandle(), SW_RESTORE);
  // Showing a form that is still minimised reports it minimised again: not a new minimise.
  FRestoring = true;
  main->SetVisible(true);
  if (main->GetWindowState() == wsMinimized)
    main->SetWindowState(wsNormal);
  FRestoring = false;
}

void TskTrayIcon::HideMainForm()
{
  TForm* main = Application->GetMainForm();
  if (!OwnerControl() || !main)
    return;
  main->SetVisible(false);
  ShowWindow(Application->GetHandle(), SW_HIDE);
  FHiddenInTray = true;
}

void TskTrayIcon::Subclass(HWND Wnd)
{
  if (!Wnd)
    return;
  TSubclass& s = Subclasses()[Wnd];
  if (s.Icons.empty())
    s.Original = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrA(Wnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&TskTrayIcon::SubclassProc)));
  s.Icons.push_back(this);
}

void TskTrayIcon::Unsubclass(HWND Wnd)
{
  auto it = Subclasses().find(Wnd);
  if (!Wnd || it == Subclasses().end())
    return;
  auto& icons = it->second.Icons;
  icons.erase(std::remove(icons.begin(), icons.end(), this), icons.end());
  if (icons.empty()) {
    if (IsWindow(Wnd))
      SetWindowLongPtrA(Wnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(it->second.Original));
    Subclasses().erase(it);
  }
}

LRESULT TskTrayIcon::SubclassProc(HWND Wnd, UINT Msg, WPARAM WParam, LPARAM LParam)
{
  auto it = Subclasses().find(Wnd);
  if (it == Subclasses().end())
    return DefWindowProcA(Wnd, Msg, WParam, LParam);
  const WNDPROC original = it->second.Original;
  const std::vector<TskTrayIcon*> icons = it->second.Icons;
  for (TskTrayIcon* icon : icons)
    icon->WindowMessage(Wnd, Msg, WParam, LParam);
  if (Msg == WM_NCDESTROY) {
    // The window goes: its icons stop listening to it.
    for (TskTrayIcon* icon : icons) {
      if (icon->FAppWindow == Wnd)
        icon->FAppWindow = nullptr;
      if (icon->FOwnerWindow == Wnd)
        icon->FOwnerWindow = nullptr;
    }
    SetWindowLongPtrA(Wnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(original));
    Subclasses().erase(Wnd);
  }
  return original ? CallWindowProcA(original, Wnd, Msg, WParam, LParam) : DefWindowProcA(Wnd, Msg, WParam, LParam);
}

void TskTrayIcon::WindowMessage(HWND Wnd, UINT Msg, WPARAM WParam, LPARAM LParam)
{
  TForm* main = Application->GetMainForm();
  // The application minimises by iconifying its main form on this platform: that form's
  // minimising counts as the application's.
  const bool applicationWindow =
      Wnd == FAppWindow || (main && Wnd == FOwnerWindow && OwnerControl() == main);
  if (applicationWindow) {
    if (Msg == WM_SIZE && WParam == SIZE_MINIMIZED && MinimizeToTray && !FRestoring)
      DoMinimizeToTray();
    if (Msg == WM_WINDOWPOSCHANGED && FFirstShow && main) {
      if (main->GetFormStyle() == fsMDIForm && MinimizedOnStart)
        ShowWindow(Application->GetHandle(), SW_HIDE);
      FFirstShow = false;
    }
    // The notification area tells every top-level window that it started again: the icon
    // answers once, on the application's window (on its main form when that is gone), and is
    // added again unless the new notification area holds it already (it was shown there
    // before the message came).
    const bool listener = Wnd == FAppWindow || (!FAppWindow && Wnd == FOwnerWindow);
    if (Msg == FTaskbarCreatedMessage && FTaskbarCreatedMessage != 0 && FIconVisible && listener &&
        !(FShown && ModifyIcon())) {
      FShown = false;
      // The icon's last home went (the panel's bus ended) and none takes it now: a form hidden
      // into the notification area would be out of reach, so it comes back.
      if (!ShowIcon() && FHiddenInTray)
        RestoreMainForm();
    }
  }
  if (Wnd == FOwnerWindow) {
    if (Msg == WM_ACTIVATE && (LOWORD(WParam) == WA_ACTIVE || LOWORD(WParam) == WA_CLICKACTIVE)) {
      TWinControl* active = Screen ? Screen->GetActiveControl() : nullptr;
      if (active && active->HandleAllocated()) {
        TWinControl* parent = active->GetParent();
        const HWND deactivated = reinterpret_cast<HWND>(LParam);
        if (deactivated != (parent ? parent->GetHandle() : active->GetHandle()))
          SetFocus(active->GetHandle());
      }
    }
    if (Msg == WM_SHOWWINDOW && WParam == 1 && LParam == 0) {
      ShowWindow(Application->GetHandle(), SW_RESTORE);
      SetForegroundWindow(Application->GetHandle());
      SetForegroundWindow(Wnd);
    }
  }
}
