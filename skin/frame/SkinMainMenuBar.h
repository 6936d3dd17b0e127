// TskSkinMainMenuBar: a skinned bar that shows the top items of a main menu inside a form's client
// area and opens their sub-menus as skinned popups through the form's TskSkinnedForm. When the
// form is an MDI parent with a maximised child, the bar also carries that child's system-menu,
// close, restore and minimise buttons. TskSkinMainMenu is the main menu usually given to it.
//
// Contract kept for callers and tests:
// - The object list holds the MDI buttons first (while shown, in the order system menu, close,
//   restore, minimise), then one item per visible top item of the menu, in menu order. The list
//   is rebuilt when MainMenu is set, on every skin change and on RefreshMenu.
// - Hot tracking follows the pointer (a 50 ms timer while it is over the bar); while a sub-menu
//   is open the open item stays lit when the pointer leaves, and moving onto a neighbour opens
//   the neighbour's sub-menu. An item without sub-items runs its command.
// - With ScrollMenu, items that do not fit are neither drawn nor enabled, a mark is drawn in the
//   last 5 pixels of the items area, and a click on it lists exactly the items that did not fit.
// - The keyboard interface (EnterMenuMode, NextItem, PrevItem, ActivateCurrentItem,
//   CheckAccelerator, ReleaseDownItem, LeaveMenuMode) is driven by the skinned form.
// - Without SkinnedForm nothing opens; without MainMenu the bar is empty; without a usable
//   "mainmenubar" record it takes the default look.
// GUI thread only. Nothing is raised.
#pragma once

#include <functional>
#include <memory>
#include <vector>

#include "platform/vcl/Menus.h"
#include "platform/vcl/Timer.h"
#include "skin/controls/SkinControl.h"
#include "skin/frame/SkinMenuBarObjects.h"

class TskSkinnedForm;

class TskSkinMainMenu : public TMainMenu {
public:
  explicit TskSkinMainMenu(TComponent* AOwner) : TMainMenu(AOwner) {}
  TskSkinData* GetSkinData() const { return FSkinData; }
  void SetSkinData(TskSkinData* Value);
  void Notification(TComponent* AComponent, TOperation Operation) override;

private:
  TskSkinData* FSkinData = nullptr;
};

using TMainMenuItemClick = std::function<void(const String& IDName)>;
using TskItemEnterEvent = std::function<void(TMenuItem* MenuItem)>;
using TskItemLeaveEvent = std::function<void(TMenuItem* MenuItem)>;

class TskSkinMainMenuBar : public TskSkinControl {
public:
  explicit TskSkinMainMenuBar(TComponent* AOwner);
  ~TskSkinMainMenuBar() override;

  void Notification(TComponent* AComponent, TOperation Operation) override;
  void SetBounds(int ALeft, int ATop, int AWidth, int AHeight) override;
  void GetSkinData() override;
  void ChangeSkinData() override;
  void ResetSkinIndex() override;

  // ---- Properties ----
  int GetDefaultHeight() const { return FDefaultHeight; }
  void SetDefaultHeight(int Value);
  int GetDefaultWidth() const { return FDefaultWidth; }
  void SetDefaultWidth(int Value);
  TFont* GetDefItemFont() const { return FDefItemFont.get(); }
  void SetDefItemFont(TFont* Value);
  TskSkinnedForm* GetSkinnedForm() const { return FSkinnedForm; }
  void SetSkinnedForm(TskSkinnedForm* Value);
  TMainMenu* GetMainMenu() const { return FMainMenu; }
  void SetMainMenu(TMainMenu* Value);
  bool UseSkinFont = true;
  bool ScrollMenu = true;
  bool PopupToUp = false;
  TMainMenuItemClick OnMainMenuItemClick;
  TskItemEnterEvent OnItemMouseEnter;
  TskItemLeaveEvent OnItemMouseLeave;

  // ---- What the skinned form calls ----
  void RefreshMenu();
  void ShowMDIButtons();
  void HideMDIButtons();
  void EnterMenuMode();
  void LeaveMenuMode();
  void ReleaseDownItem();
  void NextItem();
  void PrevItem();
  bool ActivateCurrentItem();
  bool CheckAccelerator(Word Key);
  // The first main menu owned by the application main form's active MDI child, or nullptr.
  TMainMenu* GetChildMainMenu() const;
  bool GetMergedMenu() const { return FMergedMenu; }

  // ---- What the objects and tests use ----
  const std::vector<TskMenuBarObject*>& Objects() const { return FObjects; }
  void RedrawObject(TskMenuBarObject* Object);
  TskSkinData* SkinDataOf() const { return FSkinData; }
  bool ItemTransparent() const { return SkinLayout && FItemTransparent; }
  TTimer* GetMouseTimer() const { return FMouseTimer; }
  TTimer* GetMorphTimer() const { return FMorphTimer; }
  TTimer* GetAnimateTimer() const { return FAnimateTimer; }
  // One tick of each timer (the timers call these).
  void MouseTimerProc();
  void MorphTimerProc();
  void AnimateTimerProc();
  // The mouse (public so that tests can drive the bar headless).
  void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
  void MouseMove(TShiftState Shift, int X, int Y) override;
  void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;
  // Hot tracking at a client point; (-1, -1) means outside.
  void TrackHotObject(int X, int Y);
  void UpdateItems();
  // Lays the MDI buttons out and computes ItemsRect.
  void LayoutObjects();
  // Paints the whole bar (background, objects, track mark) onto Target.
  void PaintBar(TCanvas* Target);
  // The track mark strip in client coordinates.
  TRect TrackMarkRect() const;
  // Opens the menu of the items that did not fit.
  void PopupHiddenItems();
  // How many items fit the bar at the last layout.
  int FittingItemCount() const;
  int GetMDIButtonCount() const { return FMDIButtonCount; }
  bool GetMDIButtonsShown() const { return FMDIButtonsShown; }

  TRect ItemsRect{};
  int ActiveIndex = -1;
  int OldActiveIndex = -1;
  int CaptureIndex = -1;
  bool MenuActive = false;
  bool HiddenItems = false;
  bool TrackMarkActive = false;
  bool SkinLayout = false;

protected:
  void Paint() override {}
  void Dispatch(TMessage& Message) override;
  void WMMove(TMessage& Message) override;
  void WMEraseBkgnd(TMessage& Message) override;
  void WMParentImageChanged(TMessage& Message) override;
  void CMMouseEnter(TMessage& Message) override;
  void CMMouseLeave(TMessage& Message) override;

private:
  void ClearObjects();
  void CreateMDIButtons();
  void AddMDIButton(const String& Name);
  void DeleteMDIButtons();
  void CheckMDIButtons(Byte Icons);
  void ReleaseSysMenuButton();
  void DrawTrackMark(TCanvas* C);
  void UpdateTrackMark(int X, int Y);
  TskDataSkinObject* ObjectRecord(const String& Name) const;
  bool ItemUsable(int Index) const;
  TskSkinMainMenuBarItem* ItemAt(int Index) const;

  std::vector<TskMenuBarObject*> FObjects;
  int FMDIButtonCount = 0;
  bool FMDIButtonsShown = false;
  bool FMergedMenu = false;
  int FDefaultHeight = 22;
  int FDefaultWidth = 0;
  std::unique_ptr<TFont> FDefItemFont;
  TskSkinnedForm* FSkinnedForm = nullptr;
  TMainMenu* FMainMenu = nullptr;
  TTimer* FMouseTimer = nullptr;
  TTimer* FMorphTimer = nullptr;
  TTimer* FAnimateTimer = nullptr;
  // The copy of the "mainmenubar" record.
  TBitmap* FPicture = nullptr;
  TRect FSkinRect{};
  TRect FItemsRect{};
  String FItemName;
  String FCloseButton, FMinButton, FMaxButton, FSysMenuButton;
  TColor FTrackMarkColor = clBtnShadow;
  TColor FTrackMarkActiveColor = clBtnText;
  bool FStretchEffect = false;
  bool FItemTransparent = false;
};
