// TskSkinMDITabsBar: a skinned bar with one tab (TskMDITab) per MDI child admitted to it. A click
// on a tab activates its child (restoring it first when minimised); tabs are reordered by dragging
// and may carry a close button; a right click opens the child's system menu. A list button at the
// left edge opens a menu of all children; when tabs do not fit (MinTabWidth), a button at the
// right edge opens a menu of the hidden ones. The bar does not follow MDI children by itself: the
// children's skinned forms call AddTab, RemoveTab, UpdateActiveTab and RepaintTab.
//
// Contract kept for callers and tests:
// - Tabs are laid out at every paint from x = 15 (right of the list button): as wide as
//   DefaultTabWidth at most, the last one stretched to the bar's end when narrower; with
//   MinTabWidth > 0 tabs narrower than that are not given a place (InBar false).
// - A point on the edge shared by two tabs belongs to the left one.
// - HotIndex and LastHotIndex always stay within the list (a removed tab never leaves them
//   pointing past its end).
// - Menus do nothing without SkinnedForm; missing skin records give the default look.
// GUI thread only. Nothing is raised.
#pragma once

#include <functional>
#include <memory>
#include <vector>

#include "platform/vcl/Forms.h"
#include "skin/controls/SkinControl.h"
#include "skin/input/SkinMenu.h"

class TskSkinMDITabsBar;
class TskSkinMenuSpeedButton;
class TskSkinnedForm;

enum TskSkinMDITabKind { sptkTab, sptkButton };

class TskMDITab : public TObject {
public:
  TskMDITab(TskSkinMDITabsBar* ABar, TCustomForm* AForm) : Bar(ABar), Form(AForm) {}

  TskSkinMDITabsBar* Bar;
  TCustomForm* Form;
  TRect TabRect{};
  bool Active = false;
  bool Hovered = false;
  bool InBar = false;
  TRect CloseRect{};
  bool CloseHot = false;
  bool ClosePressed = false;
};

using TskMDITabMouseEnterEvent = std::function<void(TskMDITab* MDITab)>;
using TskMDITabMouseLeaveEvent = std::function<void(TskMDITab* MDITab)>;
using TskMDITabMouseDownEvent = std::function<void(TMouseButton Button, TShiftState Shift, TskMDITab* MDITab)>;
using TskMDITabMouseUpEvent = TskMDITabMouseDownEvent;
using TskMDITabGetDrawParamsEvent = std::function<void(TskMDITab* MDITab, TCanvas* Cnvs)>;

class TskSkinMDITabsBar : public TskSkinControl {
public:
  explicit TskSkinMDITabsBar(TComponent* AOwner);
  ~TskSkinMDITabsBar() override;

  void Notification(TComponent* AComponent, TOperation Operation) override;
  void GetSkinData() override;
  void ChangeSkinData() override;
  void AdjustClientRect(TRect& Rect) override;

  // ---- Properties ----
  bool ShowCloseButtons = false;
  TskSkinMDITabKind GetTabKind() const { return FTabKind; }
  void SetTabKind(TskSkinMDITabKind Value);
  TskSkinnedForm* GetSkinnedForm() const { return FSkinnedForm; }
  void SetSkinnedForm(TskSkinnedForm* Value) { FSkinnedForm = Value; }
  bool SupportChildMenus = true;
  bool UseSkinSize = true;
  bool UseSkinFont = true;
  bool MoveTabs = true;
  int GetDefaultHeight() const { return FDefaultHeight; }
  void SetDefaultHeight(int Value);
  TFont* GetDefaultFont() const { return FDefaultFont.get(); }
  void SetDefaultFont(TFont* Value) { FDefaultFont->Assign(Value); }
  int DefaultTabWidth = 100;
  int MinTabWidth = 0;
  TskMDITabMouseEnterEvent OnTabMouseEnter;
  TskMDITabMouseLeaveEvent OnTabMouseLeave;
  TskMDITabMouseDownEvent OnTabMouseDown;
  TskMDITabMouseUpEvent OnTabMouseUp;
  TskMDITabGetDrawParamsEvent OnTabGetDrawParamsEvent;

  // ---- What the skinned forms call ----
  void AddTab(TCustomForm* Form);
  void RemoveTab(TCustomForm* Form);
  void UpdateActiveTab();
  void RepaintTab(TCustomForm* Form);
  void DrawTab(TskMDITab* Tab, TCanvas* Cnvs);

  // ---- State (read by tests) ----
  const std::vector<TskMDITab*>& Tabs() const { return FTabs; }
  int HiddenCount = 0;
  int HotIndex = -1;
  int LastHotIndex = -1;
  int DragIndex = -1;
  int DragStartX = 0;
  int DragOffset = 0;
  bool MouseDownArmed = false;
  bool Dragging = false;
  int CloseButtonSize = 14;
  TskSkinMenuSpeedButton* GetTabsListButton() const { return FTabsListButton; }
  TskSkinMenuSpeedButton* GetHiddenTabsButton() const { return FHiddenTabsButton; }
  TskSkinPopupMenu* GetTabsMenu() const { return FTabsMenu; }
  TskSkinPopupMenu* GetHiddenTabsMenu() const { return FHiddenTabsMenu; }

  void LayoutTabs();
  int TabIndexAt(int X, int Y) const;
  int DropIndex() const;
  void UpdateHotTab(int X, int Y);
  void BuildTabsMenu();
  void BuildHiddenTabsMenu();
  // The mouse (public so that the form's tests and tools can drive the bar headless).
  void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
  void MouseMove(TShiftState Shift, int X, int Y) override;
  void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;

protected:
  void Paint() override;
  void CreateControlDefaultImage(TBitmap* B) override;
  void CreateControlSkinImage(TBitmap* B) override;
  void WMMove(TMessage& Message) override;
  void WMParentImageChanged(TMessage& Message) override;
  void CMMouseLeave(TMessage& Message) override;

private:
  bool Skinned() const { return FIndex != -1; }
  bool Transparent() const;
  void DrawTabs(TCanvas* C);
  void DrawCloseButton(TskMDITab* Tab, TCanvas* C, const TRect& Area);
  void SetTabFont(TCanvas* C) const;
  TskSkinMenuSpeedButton* MakeListButton(TAlign Align, TskSkinPopupMenu* Menu, int Direction,
                                         std::function<void()> Build);
  void RemoveListButton(TskSkinMenuSpeedButton*& Button);
  void ShowChildByItemName(const String& ItemName, const String& Suffix);
  void FillTabsMenu(TskSkinPopupMenu* Menu, const String& Suffix, bool HiddenOnly);
  void RedrawTab(TskMDITab* Tab);
  void ClampHotIndexes();

  std::vector<TskMDITab*> FTabs;
  TskSkinMDITabKind FTabKind = sptkTab;
  TskSkinnedForm* FSkinnedForm = nullptr;
  int FDefaultHeight = 21;
  std::unique_ptr<TFont> FDefaultFont;
  int FDragLimit = 0;
  TskSkinMenuSpeedButton* FTabsListButton = nullptr;
  TskSkinMenuSpeedButton* FHiddenTabsButton = nullptr;
  TskSkinPopupMenu* FTabsMenu = nullptr;
  TskSkinPopupMenu* FHiddenTabsMenu = nullptr;

  // The copy of the "tab" record.
  TBitmap* FPicture = nullptr;
  TRect FTabRect{}, FActiveTabRect{}, FMouseInTabRect{}, FTabsBGRect{};
  int FTabLeftOffset = 0, FTabRightOffset = 0;
  String FFontName;
  TFontStyles FFontStyle = 0;
  int FFontHeight = 0;
  TColor FFontColor = clBtnText, FFocusFontColor = clBtnText, FMouseInFontColor = clBtnText;
  bool FTabStretchEffect = false;
  TRect FCloseButtonRect{}, FCloseButtonActiveRect{}, FCloseButtonDownRect{};
  bool FButtonTransparent = false;
  TColor FButtonTransparentColor = clFuchsia;
  TPoint FLTPoint{}, FRTPoint{}, FLBPoint{}, FRBPoint{};
  TRect FClientRect{}, FSkinRect{};
  bool FLeftStretch = false, FTopStretch = false, FRightStretch = false, FBottomStretch = false;
  bool FStretchEffect = false;
  TskStretchType FStretchType = stFull;
  int StripHeight = 0;
  int ActiveExtraHeight = 0;
};
