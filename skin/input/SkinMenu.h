// Skinned menus: the menu manager that runs one open menu as a chain of popup levels
// (TskSkinPopupWindow), the skinned popup-menu component that shows a TPopupMenu through the
// manager of the skinned form it finds, and the menu side of the skinned form component.
//
// Contract of the manager (TskSkinMenu):
// - Popup opens a menu for the sub-items of an item at a screen rectangle; a menu already open is
//   closed first (its opener is told, the form is not). A sub-level opens on a click, Enter,
//   Right, an accelerator or 500 ms of rest on an entry with sub-items.
// - Choosing a leaf: the opener receives SkinMenuClosedMessage (1228), then the owner form
//   receives it, then the item's command runs, then the opener (now DoneControl) receives
//   SkinMenuCommandDoneMessage (1229). The menu's windows are hidden before the command runs;
//   the level objects are freed only after the call that chose (and the command's handler) has
//   returned, so a handler may close menus, open new ones or free its menu items.
// - Closing from the first level (CloseLevels(0)) tells the opener (1228) and fires a pending
//   OnMenuClose once; CloseMenu also tells the owner form.
// - On X11 the first level holds the pointer grab; a press outside every level closes the menu.
// GUI thread only. Nothing is reported.
#pragma once

#include <memory>
#include <vector>

#include "platform/vcl/Forms.h"
#include "platform/vcl/Menus.h"
#include "platform/vcl/Timer.h"
#include "skin/foundation/SkinData.h"
#include "skin/input/SkinPopupWindow.h"

// Sent (never posted) with WParam 0 and LParam 0.
constexpr UINT SkinMenuClosedMessage = 1228;
constexpr UINT SkinMenuCommandDoneMessage = 1229;

class TskSkinMenu : public TComponent {
public:
  // The manager of the skinned form component Owner, for its form Form.
  TskSkinMenu(TComponent* AOwner, TForm* AForm);
  // Closes every level (with the close notifications).
  ~TskSkinMenu() override;

  void Popup(TControl* AOpener, TskSkinData* ASkinData, int StartIndex, const TRect& R, TMenuItem* Item,
             bool OpenAbove);
  void PopupMerged(TControl* AOpener, TskSkinData* ASkinData, int StartIndex, const TRect& R, TMenuItem* Item,
                   TMenuItem* OtherItem, bool OpenAbove);
  // Closes the whole menu and tells the owner form.
  void CloseMenu();
  // Closes the levels from the last down to FromIndex; 0 closes the menu.
  void CloseLevels(int FromIndex);
  // The position of Level among the open levels, or the level count when it is not open.
  int IndexOfLevel(const TskSkinPopupWindow* Level) const;
  // An entry was entered (Choose false) or chosen (Choose true).
  void ItemAction(TskSkinPopupWindow* Level, TskSkinMenuItem* Entry, bool Choose, bool ByKey);
  // The last open level, or nil.
  TskSkinPopupWindow* LastLevel() const { return Levels.empty() ? nullptr : Levels.back(); }
  int LevelCount() const { return static_cast<int>(Levels.size()); }
  // Levels closed but not freed yet (freed when the running menu call returns).
  int PendingFreeCount() const { return static_cast<int>(FDoomed.size()); }

  // Holds the manager busy while a level or an entry calls into it: closed levels are freed when
  // the outermost holder lets go. Safe when the manager is freed meanwhile.
  class TBusy {
  public:
    explicit TBusy(TskSkinMenu* AMenu);
    ~TBusy();
    TBusy(const TBusy&) = delete;
    TBusy& operator=(const TBusy&) = delete;

  private:
    TskSkinMenu* FMenu;
    std::shared_ptr<bool> FAlive;
  };
  std::shared_ptr<bool> AliveToken() const { return FAlive; }

  bool UseSkinFont = true;
  bool FirstOpen = false;
  int DefMenuItemHeight = 20;
  std::unique_ptr<TFont> DefMenuItemFont;
  TControl* Opener = nullptr;
  TControl* DoneControl = nullptr;
  TForm* OwnerForm;
  TTimer* SubMenuTimer = nullptr;
  TskSkinMenuItem* PendingItem = nullptr;
  TRect MenuWorkArea{};
  bool Visible = false;
  TskSkinData* SkinData = nullptr;
  TNotifyEvent OnMenuClose;
  std::vector<TskSkinPopupWindow*> Levels;
  bool AlphaBlend = false;
  int AlphaBlendValue = 200;
  bool AlphaBlendAnimation = false;
  int MaxMenuItemsInWindow = 0;

  void Notification(TComponent* AComponent, TOperation Operation) override;

private:
  void OpenMenu(TControl* AOpener, TskSkinData* ASkinData, int StartIndex, const TRect& R, TMenuItem* Item,
                TMenuItem* OtherItem, bool OpenAbove);
  void OpenLevel(const TRect& R, TMenuItem* Item, TMenuItem* OtherItem, bool OpenAbove, bool SubMenu,
                 int StartIndex);
  void SubMenuTimerTick();
  void SendTo(TControl* Control, UINT Msg);
  void FreeDoomed();
  std::vector<TskSkinPopupWindow*> FDoomed;
  int FBusy = 0;
  std::shared_ptr<bool> FAlive = std::make_shared<bool>(true);
};

// The menu side of the skinned form component of a form: its skin data, its menus' skin data,
// its menu manager, and the menu mode that a popup enters and leaves. The skinned form component
// derives from this class; a popup menu finds it among its owners' components.
class TskSkinMenuHost : public TComponent {
public:
  // A host owned by (and serving) Form.
  explicit TskSkinMenuHost(TForm* AForm);
  ~TskSkinMenuHost() override;

  TForm* GetForm() const { return FForm; }
  TskSkinMenu* GetSkinMenu() const { return FSkinMenu; }
  TskSkinData* GetSkinData() const { return FSkinData; }
  virtual void SetSkinData(TskSkinData* Value);
  TskSkinData* GetMenusSkinData() const { return FMenusSkinData; }
  void SetMenusSkinData(TskSkinData* Value);

  // Right before a popup opens: enters the menu mode (once): WM_KEYDOWN keys of the application
  // go to the last open level (Escape with no level left ends the mode) and are, with the mouse
  // wheel, kept from the focused control. Fires OnSkinMenuOpen on entering.
  virtual void SkinMenuOpen();
  // Leaves the menu mode (restores the application's message handler), fires OnSkinMenuClose.
  // Does not close the manager's menu.
  virtual void SkinMenuClose();
  bool MenuMode() const { return FMenuMode; }
  // The menu mode's key handling: forwards Key to the last open level.
  virtual void MenuKey(Word Key);
  // While hooked, WM_KEYDOWN of the application goes to MenuKey and is swallowed with the mouse
  // wheel; the application's own handler is put back on unhooking. Both are idempotent.
  void HookApplicationMessages();
  void UnhookApplicationMessages();
  bool AppHooked() const { return FAppHooked; }

  void Notification(TComponent* AComponent, TOperation Operation) override;

  TNotifyEvent OnSkinMenuOpen;
  TNotifyEvent OnSkinMenuClose;

private:
  TForm* FForm;
  TskSkinMenu* FSkinMenu;
  TskSkinData* FSkinData = nullptr;
  TskSkinData* FMenusSkinData = nullptr;
  bool FMenuMode = false;
  bool FAppHooked = false;
  TMessageEvent FSavedOnMessage;
  TWndMethod FSavedFormProc;
  bool FHooked = false;
};

// The skinned popup menu: Popup shows the menu skinned through the manager of the skinned form
// component it finds (SkinFormOwner's components first, else the menu's owner form's, else the
// owner's owner form's; an MDI child's component gives way to the main form's). Without one
// nothing is shown.
class TskSkinPopupMenu : public TPopupMenu {
public:
  explicit TskSkinPopupMenu(TComponent* AOwner);

  void Popup(int X, int Y) override;
  // Shows the menu against R (screen coordinates).
  void PopupSkinMenu(const TRect& R, bool OpenAbove);
  // Shows the menu against a button's rectangle, the button being the opener.
  void PopupForButton(TControl* Button, const TRect& R, bool OpenAbove);
  // Shows the menu at a point for an edit (the opener), only when a menu skin is available.
  void PopupForEdit(TControl* Edit, int X, int Y);

  TskSkinData* GetSkinData() const { return FSkinData; }
  void SetSkinData(TskSkinData* Value);
  void Notification(TComponent* AComponent, TOperation Operation) override;

  TPoint LastPopupPoint{-1, -1};
  TComponent* SkinFormOwner = nullptr;
  TNotifyEvent OnMenuClose;

private:
  TskSkinMenuHost* FindHost();
  bool Show(TControl* AOpener, const TRect& R, bool OpenAbove, bool NeedSkin);
  TskSkinData* FSkinData = nullptr;
};

// The first of Component's owned components (in their order) that is a skinned form component.
TskSkinMenuHost* FindSkinForm(TComponent* Component);
// True for the messages on which the skinned form closes an open menu.
bool IsMenuCloseMessage(UINT Msg);
