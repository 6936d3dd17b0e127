// A main menu's bar in the plain classic look: a control (aligned to the top of its form)
// that lists the menu's visible top items; a press on one with sub-items drops its popup menu
// window below it and clicks the chosen item after it closes; a press on one without sub-items
// clicks it.
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
  // Drops the menu of the visible top item Index (or clicks it when it has no sub-items).
  void OpenItem(int Index);

  void Notification(TComponent* AComponent, TOperation Operation) override;

protected:
  void Paint() override;
  void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;

private:
  std::vector<TMenuItem*> VisibleItems() const;
  TMainMenu* FMenu = nullptr;
  int FOpenIndex = -1;  // the item whose menu is dropped
};
