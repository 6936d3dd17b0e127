// The program's icon in the notification area: shown, changed and removed through the
// platform's Shell_NotifyIcon, with its tooltip (Hint), click, double-click and mouse events, a
// skinned popup menu, icon cycling from an image list, and minimising the main form into the
// notification area.
//
// Contract:
// - ShowIcon, HideIcon and ModifyIcon answer whether the notification area took the change.
// - A single click reports OnClick once, one double-click time after the press (or at release
//   when the button was held longer); a double click reports OnDblClick only.
// - While Enabled is false the icon's callbacks do nothing.
// - Minimising to the tray hides the main form only when the icon could be shown; without a
//   notification area the form stays (minimised normally) and IconVisible stays false.
// - After the notification area restarts ("TaskbarCreated") the icon is added again while
//   IconVisible; when that fails, a main form hidden into the notification area is shown again.
// - The icon's menu opens where the notification area saw the mouse, or where the panel asked
//   for it (the position of the callback message).
// GUI thread only.
#pragma once

#include <functional>
#include <memory>

#include "platform/vcl/Controls.h"
#include "platform/vcl/ImgList.h"
#include "platform/vcl/Picture.h"
#include "platform/vcl/Timer.h"
#include "skin/input/SkinMenu.h"

using TCycleEvent = std::function<void(TObject* Sender, int NextIndex)>;

// The callback message of the icon (to the component's utility window).
constexpr UINT TrayIconCallbackMessage = 0x800;

class TskTrayIcon : public TComponent {
public:
  explicit TskTrayIcon(TComponent* AOwner);
  ~TskTrayIcon() override;

  TCustomImageList* GetIconList() const { return FIconList; }
  void SetIconList(TCustomImageList* Value);
  bool GetCycleIcons() const { return FCycleIcons; }
  void SetCycleIcons(bool Value);
  Cardinal GetAnimateTimerInterval() const { return FAnimateTimer->GetInterval(); }
  void SetAnimateTimerInterval(Cardinal Value) { FAnimateTimer->SetInterval(Value); }
  bool Enabled = true;
  const String& GetHint() const { return FHint; }
  void SetHint(const String& Value);
  bool GetShowHint() const { return FShowHint; }
  void SetShowHint(bool Value);
  TIcon* GetIcon() const { return FIcon.get(); }
  void SetIcon(TIcon* Value);
  bool GetIconVisible() const { return FIconVisible; }
  void SetIconVisible(bool Value);
  int GetIconIndex() const { return FIconIndex; }
  void SetIconIndex(int Value);
  TskSkinPopupMenu* GetPopupMenu() const { return FPopupMenu; }
  void SetPopupMenu(TskSkinPopupMenu* Value);
  bool PopupByLeftButton = false;
  bool MinimizedOnStart = false;
  bool MinimizeToTray = false;

  TNotifyEvent OnClick;
  TNotifyEvent OnDblClick;
  TMouseEvent OnMouseDown;
  TMouseEvent OnMouseUp;
  TMouseMoveEvent OnMouseMove;
  TCycleEvent OnCycle;
  TNotifyEvent OnBalloonHintClick;

  virtual bool DefaultToApplicationIcon() { return true; }
  virtual bool ShowIcon();
  virtual bool HideIcon();
  virtual bool ModifyIcon();

  // Shows the main form again (and restores a minimised one); hides it into the tray.
  void RestoreMainForm();
  void HideMainForm();

  void Loaded() override;
  void Notification(TComponent* AComponent, TOperation Operation) override;

  // The utility window that receives the icon's callbacks, and the notification data of the
  // last shell call.
  HWND GetTrayWindow() const { return FTrayWindow; }
  const NOTIFYICONDATAA& GetIconData() const { return FIconData; }
  TTimer* GetClickTimer() const { return FClickTimer; }
  TTimer* GetAnimateTimer() const { return FAnimateTimer; }
  // One tick of the icon cycling and of the click timer.
  void AnimateTick();
  void ClickTick();
  // The index that follows IconIndex (0 after the last icon, or without icons).
  int NextIconIndex() const;

protected:
  virtual void Click();
  virtual void DblClick();
  virtual void Cycle();
  virtual void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y);
  virtual void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y);
  virtual void MouseMove(TShiftState Shift, int X, int Y);
  virtual void DoMinimizeToTray();

private:
  void PrepareData();
  bool Notify(DWORD Message);
  void TrayWndProc(TMessage& Message);
  void ShowPopup(POINT p);
  void WindowMessage(HWND Wnd, UINT Msg, WPARAM WParam, LPARAM LParam);
  static LRESULT SubclassProc(HWND Wnd, UINT Msg, WPARAM WParam, LPARAM LParam);
  void Subclass(HWND Wnd);
  void Unsubclass(HWND Wnd);
  TWinControl* OwnerControl() const;

  TCustomImageList* FIconList = nullptr;
  bool FCycleIcons = false;
  String FHint;
  bool FShowHint = true;
  std::unique_ptr<TIcon> FIcon;
  bool FIconVisible = true;
  bool FShown = false;  // the notification area holds the icon
  int FIconIndex = 0;
  TskSkinPopupMenu* FPopupMenu = nullptr;
  NOTIFYICONDATAA FIconData{};
  HWND FTrayWindow = nullptr;
  TTimer* FAnimateTimer = nullptr;
  TTimer* FClickTimer = nullptr;
  bool FButtonDown = false;
  bool FClickPending = false;
  bool FDblClickSeen = false;
  bool FFirstShow = true;
  bool FRestoring = false;
  bool FHiddenInTray = false;  // HideMainForm hid the main form, RestoreMainForm not yet shown it
  UINT FTaskbarCreatedMessage = 0;
  HWND FAppWindow = nullptr;
  HWND FOwnerWindow = nullptr;
};
