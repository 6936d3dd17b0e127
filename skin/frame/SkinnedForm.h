// TskSkinnedForm: the component that gives a form its skinned frame. Owned by the form, it
// replaces the form's window procedure (NewWndProc) for as long as it lives and takes over the
// frame: the size of the non-client area, hit testing (so the window system moves and sizes the
// borderless window), the size limits, the window region cut from the skin's mask, the painting
// of frame, caption and background (active and inactive), the caption buttons, and the passing
// of skin changes to every skinned control of the form. Popup menus of the form open through it
// (it is the form's menu host).
//
// Attaching: `auto* frame = new TskSkinnedForm(form); frame->SetSkinData(frameSkin);`.
//
// Three frame modes, chosen anew on every skin change:
// - skinned non-client frame: SupportNCArea on, a skin with a frame picture and a client
//   rectangle is loaded and the skin says forms are skinnable;
// - default non-client frame: SupportNCArea on and no usable frame skin (none loaded, or a skin
//   without frame records): a 3-pixel frame with a 19-pixel caption (15 for tool windows) and
//   the six built-in caption buttons;
// - client-drawn frame: SupportNCArea off; the whole window is client area and the skin picture
//   is painted inside it.
// When the skin says forms are not skinnable the form keeps its ordinary frame and the component
// only passes skin changes on.
//
// Contract kept for callers and tests:
// - The form stays in wsNormal; maximising and minimising are done by the component moving and
//   sizing the window (SkinWindowState).
// - No window is ever made smaller than the effective minimum size and no minimum exceeds the
//   maximum (bad skin values and MinWidth > MaxWidth give a usable window).
// - The window owns its region once set; the component never deletes a handed-over region.
// GUI thread only. Errors: an owner that is not a form raises EInvalidCast.
#pragma once

#include <functional>
#include <memory>
#include <vector>

#include "platform/vcl/Forms.h"
#include "platform/vcl/Menus.h"
#include "platform/vcl/Timer.h"
#include "skin/controls/SkinControlGeometry.h"
#include "skin/foundation/SkinData.h"
#include "skin/frame/SkinFrameButtons.h"
#include "skin/frame/SkinFrameCaption.h"
#include "skin/frame/SkinFrameMainMenuItem.h"
#include "skin/frame/SkinFrameObject.h"
#include "skin/frame/SkinFrameValueObjects.h"
#include "skin/input/SkinMenu.h"

class TskSkinStatusBar;
class TskSkinHint;
class TskTrayIcon;
class TskLayerManager;
class TskClientInActivePanel;
class TskFormLayerBorder;
class TskSkinMainMenuBar;
class TskMDIMenuBarLink;
class TskMDITabsBarLink;

// The private messages of skinned forms (WParam of the skin broadcasts is the skin data).
constexpr UINT MDIChildRefitMessage = 1230;
constexpr UINT MDIChildMaximizedMessage = 1231;
constexpr UINT MDIChildRestoredMessage = 1232;
constexpr UINT BringMainFormToFrontMessage = 1426;
constexpr UINT SkinFormQueryMessage = 0xB1B2;
constexpr UINT LayerBorderUpdateBeginMessage = 0xB1B3;
constexpr UINT LayerBorderUpdateEndMessage = 0xB1B4;

// The caption buttons a frame offers: biSystemMenu (1), biMinimize (2) and biMaximize (4) as the
// class library's border icons, plus these two.
using TskBorderIcons = Byte;
constexpr TskBorderIcons biRollUp = 8;
constexpr TskBorderIcons biMinimizeToTray = 16;
enum TskClientInActiveEffect { spieSemiTransparent, spieBlur };
enum TskPositionInMonitor { sppDefault, sppScreenCenter, sppDesktopCenter };

using TskCaptionPaintEvent = std::function<void(TCanvas* Cnvs, const TRect& R, bool AActive)>;
using TChangeClientRectEvent = std::function<void(const TRect& NewClientRect)>;
using TMouseEnterEvent = std::function<void(const String& IDName)>;
using TMouseLeaveEvent = std::function<void(const String& IDName)>;
using TFrameMouseDownEvent =
    std::function<void(const String& IDName, int X, int Y, const TRect& ObjectRect, TMouseButton Button)>;
using TskMouseUpEvent = TFrameMouseDownEvent;
using TFrameMouseMoveEvent = std::function<void(const String& IDName, int X, int Y, const TRect& ObjectRect)>;
using TPaintEvent = std::function<void(const String& IDName, TCanvas* Canvas, const TRect& ObjectRect)>;
using TskActivateCustomObjectEvent = std::function<void(const String& IDName, bool& ObjectVisible)>;
using TskSwitchChangeStateEvent = std::function<void(const String& IDName, TSwitchState State)>;
using TskTrackBarChangeValueEvent = std::function<void(const String& IDName, int Value)>;
using TskFrameRegulatorChangeValueEvent = std::function<void(const String& IDName, int Value)>;
using TskOnAcceptToMDITabsBar = std::function<void(bool& Accept)>;

// The suffix of the names of the window-menu items that stand for MDI children.
constexpr const char* MDIChildItemSuffix = "_DSFCHILDITEM";

class TskSkinnedForm : public TskSkinMenuHost {
public:
  // Hooks Owner's window procedure and recreates its window. EInvalidCast unless Owner is a form.
  explicit TskSkinnedForm(TComponent* AOwner);
  ~TskSkinnedForm() override;

  void Notification(TComponent* AComponent, TOperation Operation) override;

  // ---- Properties (setters with behaviour; the rest are plain fields below) ----
  void SetSkinData(TskSkinData* Value) override;
  TskBorderIcons GetBorderIcons() const { return FBorderIcons; }
  void SetBorderIcons(TskBorderIcons Value);
  bool GetShowIcon() const { return FShowIcon; }
  void SetShowIcon(bool Value);
  TFont* GetDefCaptionFont() const { return FDefCaptionFont.get(); }
  void SetDefCaptionFont(TFont* Value);
  TFont* GetDefInActiveCaptionFont() const { return FDefInActiveCaptionFont.get(); }
  void SetDefInActiveCaptionFont(TFont* Value);
  TBitmap* GetLogoBitMap() const { return FLogoBitMap.get(); }
  void SetLogoBitMap(TBitmap* Value);
  bool GetSupportNCArea() const { return FSupportNCArea; }
  void SetSupportNCArea(bool Value);
  bool GetAlphaBlend() const { return FAlphaBlend; }
  void SetAlphaBlend(bool Value);
  Byte GetAlphaBlendValue() const { return FAlphaBlendValue; }
  void SetAlphaBlendValue(Byte Value);
  void SetDefMenuItemHeight(int Value);
  void SetMaxMenuItemsInWindow(int Value);
  void SetMenusAlphaBlend(bool Value);
  void SetMenusAlphaBlendAnimation(bool Value);
  void SetMenusAlphaBlendValue(Byte Value);
  void SetUseSkinFontInMenu(bool Value);
  TskSkinStatusBar* GetStatusBar() const { return FStatusBar; }
  void SetStatusBar(TskSkinStatusBar* Value);
  TskSkinHint* GetSkinHint() const { return FSkinHint; }
  void SetSkinHint(TskSkinHint* Value);
  TskTrayIcon* GetTrayIcon() const { return FTrayIcon; }
  void SetTrayIcon(TskTrayIcon* Value);
  TMainMenu* GetMainMenu() const { return FMainMenu; }
  void SetMainMenu(TMainMenu* Value);
  TPopupMenu* GetSystemMenu() const { return FSystemMenu; }
  void SetSystemMenu(TPopupMenu* Value);

  bool ClientInActiveEffect = false;
  TskClientInActiveEffect ClientInActiveEffectType = spieSemiTransparent;
  bool DisableSystemMenu = false;
  TskPositionInMonitor PositionInMonitor = sppDefault;
  bool UseFormCursorInNCArea = false;
  int ClientWidth = 0;
  int ClientHeight = 0;
  bool HideCaptionButtons = false;
  bool AlwaysShowInTray = false;
  bool LogoBitMapTransparent = false;
  bool AlwaysMinimizeToTray = false;
  bool MaximizeOnFullScreen = false;
  bool ShowObjectHint = false;
  bool UseDefaultObjectHint = true;
  bool UseSkinCursors = false;
  bool UseDefaultSysMenu = true;
  bool AlphaBlendAnimation = false;
  int MinHeight = 0;
  int MinWidth = 0;
  int MaxHeight = 0;
  int MaxWidth = 0;
  bool Sizeable = true;
  bool DraggAble = false;
  bool Magnetic = false;
  Byte MagneticSize = 10;

  // ---- Events ----
  TskCaptionPaintEvent OnCaptionPaint;
  TChangeClientRectEvent OnChangeClientRect;
  TNotifyEvent OnChangeSkinData;
  TskMouseUpEvent OnMouseUpEvent;
  TFrameMouseDownEvent OnMouseDownEvent;
  TFrameMouseMoveEvent OnMouseMoveEvent;
  TMouseEnterEvent OnMouseEnterEvent;
  TMouseLeaveEvent OnMouseLeaveEvent;
  TPaintEvent OnPaintEvent;
  TNotifyEvent OnActivate;
  TNotifyEvent OnDeActivate;
  TNotifyEvent OnMinimize;
  TNotifyEvent OnRestore;
  TNotifyEvent OnMaximize;
  TskActivateCustomObjectEvent OnActivateCustomObject;
  TskSwitchChangeStateEvent OnSwitchChangeStateEvent;
  TskTrackBarChangeValueEvent OnTrackBarChangeValueEvent;
  TskFrameRegulatorChangeValueEvent OnFrameRegulatorChangeValueEvent;
  TNotifyEvent OnMainMenuEnter;

  // ---- Skin attach ----
  void ApplySkin();
  void SetSkinnableForm(bool Value);

  // ---- Geometry, hit testing, region ----
  void CalcFrameGeometry();
  TRect MapSkinRect(const TRect& R) const;
  void UpdateFrame(bool WithObjects);
  void SetFrameRegion(bool Stretch);
  LRESULT HitTestSkinned(TPoint P);
  LRESULT HitTestDefault(TPoint P);
  LRESULT HitTestClientDrawn(TPoint P);
  int GetEffectiveMinWidth() const;
  int GetEffectiveMinHeight() const;
  int GetEffectiveMaxWidth() const;
  int GetEffectiveMaxHeight() const;
  bool IsNCSkinned() const;
  bool IsStretchableSkin() const;
  bool CanShowLayeredBorder() const;
  bool IsSizeable() const;
  TPoint ScreenToFramePoint(TPoint P) const;
  // The client rectangle that WM_NCCALCSIZE makes of a proposed window rectangle.
  void CalcClientRect(RECT& R);
  // Whether the frame is the default one (no skin, or a skin without a usable frame).
  bool UsesDefaultFrame() const { return FSupportNCArea && !IsNCSkinned(); }

  // ---- Painting ----
  void PaintSkinnedNC(HDC DC, bool UseDC);
  void PaintDefaultNC(HDC DC, bool UseDC);
  void PaintClientDrawn(HDC DC);
  void PaintBackground(HDC DC);
  void PaintClientPicture(HDC DC);
  void PaintPlainBackground(HDC DC);
  void DrawLogo(TCanvas* Canvas);
  void DrawSmallIcon(TCanvas* Canvas, int X, int Y);
  void GetSmallIconSize(int& W, int& H) const;
  bool IsFormActive() const;
  void UpdateCaptionActivity(bool Refresh);
  void DrawObject(TskActiveSkinObject* Obj);
  int GetDefaultCaptionHeight() const;
  int GetDefaultButtonSize() const;
  bool GetAutoRenderInactive() const;
  // The current opacity of a fading window (255 when no fade runs).
  int CurrentFadeAlpha() const { return FFadeAlpha; }

  // ---- Window procedure and broadcasts ----
  void NewWndProc(TMessage& Message);
  void UpdateSkinOfControls(TskSkinData* ChangedSkin, TComponent* Root);
  void ResetSkinOfControls(TskSkinData* ChangedSkin, TComponent* Root);

  // ---- Frame objects ----
  void CreateSkinObjects();
  void CreateDefaultObjects();
  void FreeSkinObjects();
  void UpdateObjectStates();
  void CalcObjectRects();
  void ArrangeDefaultButtons();
  void TestActive(int X, int Y, bool Enter);
  void ResetObjectStates();
  void ObjectMouseDown(TMouseButton Button, int X, int Y);
  void ObjectMouseUp(TMouseButton Button, int X, int Y);
  void ObjectMouseMove(int X, int Y);
  bool IsCaptionObject(int Index) const;
  bool OnCaptionObject(TPoint P) const;
  bool DrawnInRollUpState(const TskActiveSkinObject* Obj) const;
  // The window operation of a caption button's command (close, maximise or restore, minimise,
  // roll-up, to tray); the hot object is dropped first. The system-menu and custom commands do
  // nothing here.
  void ExecuteCommand(TskButtonCommand Command);
  void UpdateObjectHints();
  void ObjectDblClick();
  void CaptionDblClick();
  void RegisterAreaControls();
  void PlaceAreaControls();
  // Remakes the main-menu objects from MainMenu and the skin's "MAINMENUITEM" record.
  void RebuildMainMenuObjects(bool Repaint);
  // Screen position of frame point (0, 0).
  TPoint FrameScreenOrigin() const;
  // The glow layers of the frame objects: 0 follows the mouse, 1 stays while a menu is open.
  TskLayerManager* GetLayerManager(int Index);
  void StartMorphTimer();
  void StartAnimateTimer();
  TTimer* GetMorphTimer() const { return FMorphTimer; }
  TTimer* GetAnimateTimer() const { return FAnimateTimer; }
  // Pops Item's sub-items up as a skinned menu against R (screen coordinates).
  void PopupObjectMenu(TMenuItem* Item, const TRect& R, bool Upward);
  // The caption's text: the form's text.
  String CaptionText() const;
  bool MainMenuMode = false;

  // ---- Window states, placement and snapping (SkinnedFormStates.cpp) ----
  TWindowState GetSkinWindowState() const { return FSkinWindowState; }
  // Maximise, minimise and restore by moving and sizing the window; the form stays wsNormal.
  // Minimising the application's main form goes through Application->Minimize and leaves the
  // state as it was.
  void SetSkinWindowState(TWindowState Value);
  void MinimizeWindow();
  void MaximizeWindow();
  void RestoreWindow();
  // Where a minimised (caption-strip) form goes: the first free slot from the bottom-left corner
  // of its monitor's work area (of the main form's free client area for an MDI child).
  TPoint FindMinimizedPosition();
  void PositionOnFirstShow();
  TPoint GetMonitorPosition(int Left, int Top, int Height, int Width);
  // Changes the width by one pixel and back, so that frame and region are computed anew.
  void RecalcFrame();
  // Snaps a proposed position to the edges of the work area (MagneticSize pixels).
  void MagnetPosition(int& Left, int& Top, int Height, int Width);
  // The client-drawn frame's drag: start at client point (X, Y), follow the cursor, stop.
  void DragStart(int X, int Y);
  void DragMove();
  void DragStop();
  bool GetDragging() const { return FDragging; }
  const TRect& GetSavedBounds() const { return FSavedBounds; }
  bool GetFirstShowPending() const { return FFirstShowPending; }
  // WM_ENTERSIZEMOVE: the cursor anchor of the snapping; WM_SIZE/WM_SIZING: release the edges.
  void SetMagnetAnchor();
  void ClearMagnetSnaps();

  // ---- Roll-up and minimise to tray (SkinnedFormRollUp.cpp) ----
  bool GetRollUpState() const { return FRollUpState; }
  void SetRollUpState(bool Value);
  void MinimizeToTray();
  void RestoreFromTray();
  int GetRollUpHeight() const { return FRollUpHeight; }
  bool GetMaxRollUpState() const { return FMaxRollUpState; }
  TNotifyEvent OnChangeRollUpState;
  TNotifyEvent OnMinimizeToTray;
  TNotifyEvent OnRestoreFromTray;

  // ---- System, tray and main menus (SkinnedFormMenus.cpp) ----
  // The root of the system menu to show: the application's SystemMenu with the standard items
  // put in (UseDefaultSysMenu), or the default menu filled anew for the current state.
  TMenuItem* GetSystemMenuItems();
  void PopupSystemMenu(int X, int Y);
  void PopupSystemMenu(const TRect& R);
  // Under the system button (Alt+Space).
  void PopupSystemMenuAtButton();
  void SkinMenuOpen() override;
  void SkinMenuClose() override;
  // The frame object holding an open menu (main-menu item, button, animation) lets it go.
  void ReleaseMenuObject();
  void FormShortCut(TWMKey& Msg, bool& Handled);
  TPopupMenu* GetDefaultSysMenu() const { return FDefaultSysMenu; }
  TskSkinPopupMenu* GetTrayMenu() const { return FTrayMenu; }
  bool GetMenuOpenFlag() const { return FMenuOpenFlag; }
  // The caption of a standard item by its name: the skin's string, else the built-in text.
  String StandardItemCaption(const String& Name) const;
  TShortCutEvent OnShortCut;
  void SetMenuOpenFlag(bool Value) { FMenuOpenFlag = Value; }

  // ---- Keyboard use of the main menu (SkinnedFormMainMenu.cpp) ----
  // The bar that shows the main menu in the client area; when set, the keyboard drives it
  // instead of the frame's main-menu objects. Cleared when the bar is freed.
  TskSkinMainMenuBar* GetMainMenuBar() const { return FMainMenuBar; }
  void SetMainMenuBar(TskSkinMainMenuBar* Value);
  // The bar whose item opened the menu now shown (it leaves its menu mode when the menu closes,
  // whether or not it is the MainMenuBar).
  TskSkinMainMenuBar* GetMenuModeBar() const { return FMenuModeBar; }
  void SetMenuModeBar(TskSkinMainMenuBar* Value);
  // Alt or F10: the hot (else the first) item lights and the keys go to the main menu.
  void MainMenuEnter();
  // Leaves the keyboard mode: closes an open menu, unlights the item, gives the keys back.
  void EndMainMenu();
  bool MainMenuAccel(Word Key);
  void NextMainMenuItem();
  void PrevMainMenuItem();
  bool MainMenuChoose();
  // Escape with no level left open: the open item closes and stays lit.
  void CloseMainMenuItem();
  // A key while a menu is open or the keyboard mode is on.
  void MenuKeyDown(Word Key);
  void MenuKey(Word Key) override { MenuKeyDown(Key); }
  // WM_SYSCOMMAND SC_KEYMENU (LParam: the key with Alt, 0 for Alt or F10 alone); true when the
  // main menu took it.
  bool KeyMenu(LPARAM Key);
  TNotifyEvent OnMainMenuExit;

  // ---- Inactive-client veil (SkinFormLookup.cpp) and layered border ----
  void ShowClientInActivePanel();
  void HideClientInActivePanel();
  TskClientInActivePanel* GetClientInActivePanel() const { return FClientInActivePanel; }
  TskFormLayerBorder* GetLayerBorder() const { return FLayerBorder; }
  // Shows, updates or hides the layered border for the form's current state and skin.
  void SyncLayerBorder();
  void ReloadLayerBorder();

  // ---- MDI support (SkinnedFormMDI.cpp) ----
  // On the main form's component: the tabs bar (a component implementing TskMDITabsBarLink;
  // others are ignored) and the menu bar's link, through which the children's forms reach them.
  TComponent* GetMDITabsBar() const { return FMDITabsBar; }
  void SetMDITabsBar(TComponent* Value);
  TskMDITabsBarLink* GetMDITabsBarLink() const;
  TskMDIMenuBarLink* GetMDIMenuBarLink() const { return FMDIMenuBarLink; }
  void SetMDIMenuBarLink(TskMDIMenuBarLink* Value) { FMDIMenuBarLink = Value; }
  // Raised with Accept True before a shown child joins the tabs bar.
  TskOnAcceptToMDITabsBar OnAcceptToMDITabsBar;
  // An MDI form: one of its children is maximised (its caption then shows the child's text).
  bool GetChildMaximizedMark() const { return FChildMaximizedMark; }
  // An MDI form's client window: painted from the skin, borderless, refitting the children.
  void HookMDIClient();
  HWND GetHookedMDIClient() const { return FMDIClient; }
  void MDIClientWndProc(TMessage& Message);
  void RefitMDIChildren();
  void PlaceMinimizedMDIChildren();
  void PaintMDIBackground(HDC DC);
  void PaintPlainMDIBackground(HDC DC);
  // The child's item in the main form's WindowMenu, named child Name + MDIChildItemSuffix.
  void AddWindowMenuItem();
  void UpdateWindowMenuItem();
  void CheckWindowMenuItems();
  void DeleteWindowMenuItem();
  void WindowMenuItemClick(TObject* Sender);
  // The main form's tabs bar and menu bar following this child.
  void AddToTabsBar();
  void RepaintTab();
  void RemoveFromTabsBar();
  void RefreshTabsBar();
  void RefreshMenuBar();

  // ---- Read by tests and frame objects ----
  TForm* OwnerForm() const { return FOwnerForm; }
  bool GetFormSkinnable() const { return FFormSkinnable; }
  bool GetSkinLoaded() const { return FSkinLoaded; }
  const std::vector<TskActiveSkinObject*>& Objects() const { return FObjectList; }
  int GetActiveObject() const { return FActiveObject; }
  int GetCaptureObject() const { return FCaptureObject; }
  TTimer* GetMouseTimer() const { return FMouseTimer; }
  bool InMoveSizeLoop() const { return FInMoveSize; }

  int FrameWidth = 0;
  int FrameHeight = 0;
  TPoint NewLTPoint{}, NewRTPoint{}, NewLBPoint{}, NewRBPoint{};
  TRect FrameClientRect{};
  TRect CaptionRect{};
  TRect ButtonsRect{};
  bool ButtonsInLeft = false;
  int ButtonsOffset = 0;
  TPoint HitLTPoint{}, HitRTPoint{}, HitLBPoint{}, HitRBPoint{};
  TRect MaskRect{};
  TRect IconRect{};
  TRect MainMenuRect{};
  TRect SizeGripRect{};
  TRect DefCaptionRect{};
  std::unique_ptr<TBitmap> TopMask, BottomMask, LeftMask, RightMask;

private:
  bool Loading() const { return (GetComponentState() & csLoading) != 0; }
  bool Designing() const { return (GetComponentState() & csDesigning) != 0; }
  bool IsMDIChild() const;
  bool IsMDIForm() const;
  bool BorderNone() const;
  bool IsToolWindowStyle() const;
  bool InsideShape(int X, int Y) const;
  bool NearEdge(TPoint P, int B) const;
  LRESULT SizingZone(TPoint P) const;
  void EnforceMinimumSize();
  void FrameRecalc();
  void SendNCPaint();
  // Lays Source of Picture over the client area (of Width x Height when given).
  void PaintPictureLayout(TCanvas* Canvas, TBitmap* Picture, const TRect& Source, bool Stretch,
                          TskStretchType Type, int Width = -1, int Height = -1);
  void StartFade();
  void FadeTimer();
  void MouseTimerTick(TObject* Sender);
  void MorphTimerTick(TObject* Sender);
  void AnimateTimerTick(TObject* Sender);
  void DrawObjectsIntoStrip(TBitmap* Strip, bool Top, bool Bottom);
  void NCMouse(TMessage& Message);
  void ClientMouse(TMessage& Message);
  bool BeforeSaved(TMessage& Message);
  void AfterSaved(TMessage& Message);
  void CaptionDoubleClick();
  TWndMethod FOldWindowProc;
  TForm* FOwnerForm = nullptr;

  TskSkinStatusBar* FStatusBar = nullptr;
  TskSkinHint* FSkinHint = nullptr;
  TskTrayIcon* FTrayIcon = nullptr;
  TMainMenu* FMainMenu = nullptr;
  TPopupMenu* FSystemMenu = nullptr;
  TskBorderIcons FBorderIcons = biSystemMenu | biMinimize | biMaximize | biRollUp;
  bool FShowIcon = false;
  bool FSupportNCArea = true;
  bool FAlphaBlend = false;
  Byte FAlphaBlendValue = 200;
  std::unique_ptr<TFont> FDefCaptionFont;
  std::unique_ptr<TFont> FDefInActiveCaptionFont;
  std::unique_ptr<TBitmap> FLogoBitMap;

  bool FFormSkinnable = true;
  bool FSkinLoaded = false;
  bool FSkinChanging = false;
  TWindowState FSkinWindowState = wsNormal;
  bool FRollUpState = false;
  TRect FSavedBounds{};
  bool FFirstShowPending = true;
  bool FRollUpBeforeMaximize = false;
  bool FMaxRollUpState = false;
  int FRollUpHeight = 0;
  std::vector<TControl*> FHiddenControlList;
  bool FSnapLeft = false, FSnapTop = false, FSnapRight = false, FSnapBottom = false;
  TPoint FMagnetAnchor{-1, -1};
  TPopupMenu* FDefaultSysMenu = nullptr;
  TskSkinPopupMenu* FTrayMenu = nullptr;
  bool FMenuOpenFlag = false;
  bool FLastShortCut = false;
  TskSkinMainMenuBar* FMainMenuBar = nullptr;
  TskSkinMainMenuBar* FMenuModeBar = nullptr;
  // The bar to leave its menu mode: the MainMenuBar, else the bar that opened the menu.
  void LeaveBarMenuMode();
  // MDI (SkinnedFormMDI.cpp).
  TComponent* FMDITabsBar = nullptr;
  TskMDIMenuBarLink* FMDIMenuBarLink = nullptr;
  bool FChildMaximizedMark = false;
  HWND FMDIClient = nullptr;
  WNDPROC FOldMDIClientProc = nullptr;
  void UnhookMDIClient();
  bool MDIPrivateMessage(TMessage& Message);
  void MDIChildDestroyed();
  void MDIChildShowing(bool Show);
  void MDIChildNCActivate();
  void MDIChildMouseActivate();
  TskClientInActivePanel* FClientInActivePanel = nullptr;
  TskFormLayerBorder* FLayerBorder = nullptr;
  bool FSnapshotInProgress = false;
  void CreateFormMenus();
  TMenuItem* NewStandardItem(TComponent* AOwner, const String& Name);
  bool StandardItemShown(const String& Name) const;
  void StandardItemClick(const String& Name);
  void ClientDrawnRollUp();
  void ClientDrawnRollDown();
  void SetRollUpRegion();
  bool FFormActive = false;
  bool FInMoveSize = false;
  bool FLiveSizing = false;
  bool FFullDrag = true;
  bool FLayerBorderSuspended = false;
  int FFadeAlpha = 255;
  bool FMouseEntered = false;
  bool FDragging = false;
  TPoint FDragStart{};

  std::vector<TskActiveSkinObject*> FObjectList;
  int FActiveObject = -1;
  int FOldActiveObject = -1;
  int FCaptureObject = -1;
  TTimer* FMorphTimer = nullptr;
  TTimer* FMouseTimer = nullptr;
  TTimer* FAnimateTimer = nullptr;
  TskLayerManager* FLayerManagers[2] = {nullptr, nullptr};
  struct TAreaControl {
    TControl* Control;
    TRect Rect;
  };
  std::vector<TAreaControl> FAreaControlList;
  TCursor FObjectCursor = crDefault;
};

// The opacities a fade-in to Target passes through: steps of Target / 15 (at least 1), the last
// one Target itself; none for a target of 0 or less.
std::vector<int> FadeSteps(int Target);

// The skinned form component of Form (its first), or nullptr.
TskSkinnedForm* GetSkinnedForm(TComponent* Form);
