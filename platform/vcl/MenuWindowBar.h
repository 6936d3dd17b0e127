// A main menu's bar in the plain classic look: a control (aligned to the top of its form)
// that lists the menu's visible top items; a press on one with sub-items drops its popup menu
// window below it and clicks the chosen item after it closes; a press on one without sub-items
// clicks it.
//
// The bar registers itself with its form (TCustomForm::SetMenuBar), which passes it the
// keyboard's menu commands (WM_SYSCOMMAND SC_KEYMENU): Alt or F10 alone highlights the first
// bar item and the keys then drive the bar while the focus stays where it was (Left/Right move
// with wrap-around, Down/Up/Enter drop the highlighted item's menu or click an item without
// sub-items, a hotkey letter drops its item, Esc, Alt or F10 leave); Alt+letter drops the item
// with that hotkey at once. While a bar menu is dropped, Left/Right in it move to the
// neighbouring bar menu and the mouse moving onto another bar item drops that one's menu. The
// hotkeys are underlined while the keyboard drives the bar.
#pragma once

#include "platform/vcl/Controls.h"
#include "platform/vcl/Menus.h"

class TMainMenuBar : public TCustomControl {
public:
  explicit TMainMenuBar(TComponent* AOwner);
  ~TMainMenuBar() override;

  TMainMenu* GetMenu() const { return FMenu; }
  void SetMenu(TMainMenu* Value);
  // The top item under a client point, or null.
  TMenuItem* ItemAtPos(int X, int Y);
  // The client rectangle of the visible top item Index (empty when out of range).
  TRect ItemRect(int Index);
  // Drops the menu of the visible top item Index (or clicks it when it has no sub-items), as
  // a press of the mouse does.
  void OpenItem(int Index);
  // The visible top item whose caption has Key as its hotkey (compared without case), the
  // first after Index when several do (wrapping around), or -1.
  int FindAccelItem(char Key, int After = -1);

  // The menu mode: the bar takes the keys (from the keyboard's menu command until the menu
  // closes), the highlighted visible top item (-1 none), whether hotkeys are underlined.
  bool GetMenuActive() const { return FInLoop; }
  int GetHotIndex() const { return FHotIndex; }
  bool GetShowAccel() const { return FShowAccel; }

  void SetParent(TWinControl* AParent) override;
  void Notification(TComponent* AComponent, TOperation Operation) override;

protected:
  void Paint() override;
  void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
  // WM_SYSCOMMAND SC_KEYMENU (from the form) starts the menu mode; WM_CANCELMODE ends it.
  void Dispatch(TMessage& Message) override;
  // Registers with the form too (the bar may have reached a form through its parents).
  void CreateWnd() override;

private:
  std::vector<TMenuItem*> VisibleItems() const;
  // Runs the menu mode with item Index highlighted (its menu dropped at once with Drop; the
  // first item of a menu opened ByKey is highlighted) until it ends; clicks the chosen item.
  void MenuLoop(int Index, bool Drop, bool ByKey);
  // The visible top item under a screen point, or -1.
  int ItemAtScreen(POINT P);
  void RegisterWithForm();

  TMainMenu* FMenu = nullptr;
  int FOpenIndex = -1;  // the item whose menu is dropped
  int FHotIndex = -1;   // the highlighted item in the menu mode
  bool FShowAccel = false;
  bool FInLoop = false;
  bool FCancelLoop = false;
};
