// The images menu: a drop-down picker showing the images of an image list as a grid in a popup,
// with optional full-width header rows (titles, not selectable) and full-width button rows
// (image and caption). A hot item follows the mouse and the arrow keys; Enter, Space or a click
// chooses it and stores it in ItemIndex; Escape, a click outside or a change of the application's
// windows closes the popup without choosing.
//
// Contract: Popup opens the grid below (or above) a screen rectangle, inside the work area. On
// closing, in order: the attached close notification (set by the control that opened the menu),
// OnMenuClose, and, only when an item was chosen: the item's OnClick, OnItemClick, and, when the
// chosen index differs from the one at opening, the attached change notification and OnChange.
// Any of these may free the menu. The popup window is freed after the handler that closed it
// returns. A menu without items still opens an empty popup (just its frame) so that the opener
// always gets its close notification. GUI thread only.
#pragma once

#include <memory>

#include "platform/vcl/Collection.h"
#include "platform/vcl/Controls.h"
#include "platform/vcl/Forms.h"
#include "platform/vcl/ImgList.h"
#include "skin/foundation/SkinData.h"

class TskSkinHint;
class TskSkinImagesMenu;

class TskImagesMenuItem : public TCollectionItem {
public:
  explicit TskImagesMenuItem(TCollection* Collection) : TCollectionItem(Collection) {}
  void Assign(TPersistent* Source) override;

  int GetImageIndex() const { return FImageIndex; }
  void SetImageIndex(int Value) { FImageIndex = Value; }
  const String& GetCaption() const { return FCaption; }
  void SetCaption(const String& Value) { FCaption = Value; }
  const String& GetHint() const { return FHint; }
  void SetHint(const String& Value) { FHint = Value; }
  bool GetButton() const { return FButton; }
  void SetButton(bool Value) { FButton = Value; }
  bool GetHeader() const { return FHeader; }
  void SetHeader(bool Value) { FHeader = Value; }
  TNotifyEvent OnClick;
  // The item's cell in the popup, set by the layout.
  const TRect& GetItemRect() const { return FItemRect; }

private:
  friend class TskSkinImagesMenuPopupWindow;
  int FImageIndex = -1;
  String FCaption;
  String FHint;
  bool FButton = false;
  bool FHeader = false;
  TRect FItemRect{};
};

class TskImagesMenuItems : public TOwnedCollection {
public:
  explicit TskImagesMenuItems(TskSkinImagesMenu* AMenu);
  TskImagesMenuItem* Add() { return static_cast<TskImagesMenuItem*>(TCollection::Add()); }
  TskImagesMenuItem* GetItem(int Index) const { return static_cast<TskImagesMenuItem*>(TCollection::GetItem(Index)); }
};

class TskSkinImagesMenuPopupWindow : public TCustomControl {
public:
  explicit TskSkinImagesMenuPopupWindow(TskSkinImagesMenu* AMenu);
  ~TskSkinImagesMenuPopupWindow() override;

  // Lays the items out, sizes the window, places it against R (screen) and shows it.
  void Show(const TRect& R);
  // Lays the items out and sizes the window (no placing, no showing).
  void LayoutAndSize();
  // The screen position the placement rules give for R (no side effects).
  TPoint Placement(const TRect& R) const;
  // Keyboard handling (what the message filter does with WM_KEYDOWN).
  void ProcessKey(Word Key);
  // The application message filter while the popup is open; true when Msg was consumed (its
  // number is then 0) or closed the popup.
  void FilterMessage(MSG& Msg, bool& Handled);
  // The first non-header item whose cell holds the client point (edges inclusive), or -1.
  int ItemAtPos(int X, int Y) const;
  // Paints the whole popup into Canvas at (0, 0).
  void PaintTo(TCanvas* Canvas);
  // Hides the window, gives the message filter and the capture back (no events).
  void HideWindow();

  TskSkinImagesMenu* Menu;
  bool Skinned = false;
  TBitmap* WindowPicture = nullptr;
  TBitmap* MaskPicture = nullptr;
  TPoint LeftTopPoint{}, RightTopPoint{}, LeftBottomPoint{}, RightBottomPoint{};
  TRect ItemsRect{};
  int HotIndex = -1;
  int LastHotIndex = -1;
  bool MouseWasDown = false;
  bool Pressed = false;
  bool FilterInstalled = false;
  TMessageEvent SavedOnMessage;

protected:
  void CreateParams(TCreateParams& Params) override;
  void Paint() override;
  void WndProc(TMessage& Message) override;
  void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
  void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;
  void MouseMove(TShiftState Shift, int X, int Y) override;

private:
  void SetHot(int Index);
  int Count() const;
  TskImagesMenuItem* Item(int Index) const;
  bool IsHeader(int Index) const { return Item(Index)->GetHeader(); }
  int FirstSelectable() const;
  TskDataSkinPopupWindow* Record() const;
  TRect WorkArea() const;
};

class TskSkinImagesMenu : public TComponent {
public:
  explicit TskSkinImagesMenu(TComponent* AOwner);
  ~TskSkinImagesMenu() override;

  TCustomImageList* GetImages() const { return FImages; }
  void SetImages(TCustomImageList* Value);
  TskSkinHint* GetSkinHint() const { return FSkinHint; }
  void SetSkinHint(TskSkinHint* Value);
  bool GetShowHints() const { return FShowHints; }
  void SetShowHints(bool Value) { FShowHints = Value; }
  TskImagesMenuItems* GetImagesItems() const { return FImagesItems.get(); }
  void SetImagesItems(TskImagesMenuItems* Value) { FImagesItems->Assign(Value); }
  int GetItemIndex() const { return FItemIndex; }
  void SetItemIndex(int Value) { FItemIndex = Value; }
  bool GetUseSkinFont() const { return FUseSkinFont; }
  void SetUseSkinFont(bool Value) { FUseSkinFont = Value; }
  TFont* GetDefaultFont() const { return FDefaultFont.get(); }
  void SetDefaultFont(TFont* Value) { FDefaultFont->Assign(Value); }
  int GetColumnsCount() const { return FColumnsCount; }
  // Values outside 1 .. 50 are ignored.
  void SetColumnsCount(int Value);
  TskSkinData* GetSkinData() const { return FSkinData; }
  void SetSkinData(TskSkinData* Value);
  bool GetShowSelectedItem() const { return FShowSelectedItem; }
  void SetShowSelectedItem(bool Value) { FShowSelectedItem = Value; }
  bool GetAlphaBlend() const { return FAlphaBlend; }
  void SetAlphaBlend(bool Value) { FAlphaBlend = Value; }
  bool GetAlphaBlendAnimation() const { return FAlphaBlendAnimation; }
  void SetAlphaBlendAnimation(bool Value) { FAlphaBlendAnimation = Value; }
  int GetAlphaBlendValue() const { return FAlphaBlendValue; }
  void SetAlphaBlendValue(Byte Value) { FAlphaBlendValue = Value; }
  TNotifyEvent OnItemClick;
  TNotifyEvent OnChange;
  TNotifyEvent OnMenuPopup;
  TNotifyEvent OnMenuClose;

  // Set by the control that opens the menu: called when the popup closes (chosen or not), and
  // when it closes with a newly chosen item (just before OnChange).
  std::function<void()> OnAttachedClose;
  std::function<void()> OnAttachedChange;

  // The item at ItemIndex, or null when ItemIndex lies outside the items.
  TskImagesMenuItem* GetSelectedItem() const;
  // Opens the grid against R (screen coordinates, the opener's rectangle).
  void Popup(const TRect& R);
  // Closes the open popup; Chosen: an item was chosen (see the header for the events).
  void ClosePopup(bool Chosen);
  // The open popup window, or null.
  TskSkinImagesMenuPopupWindow* GetPopupWindow() const { return FPopupWindow; }
  int GetOldItemIndex() const { return FOldItemIndex; }
  // A token that lives as long as the menu (for loops that run the message loop).
  std::weak_ptr<bool> AliveToken() const { return FAlive; }

protected:
  void Notification(TComponent* AComponent, TOperation Operation) override;

private:
  void Watch(TComponent* Old, TComponent* New);
  // Hides the open popup and keeps it for freeing later (no events).
  void ClosePopupSilently();
  TCustomImageList* FImages = nullptr;
  TskSkinHint* FSkinHint = nullptr;
  bool FShowHints = true;
  std::unique_ptr<TskImagesMenuItems> FImagesItems;
  int FItemIndex = -1;
  bool FUseSkinFont = true;
  std::unique_ptr<TFont> FDefaultFont;
  int FColumnsCount = 1;
  TskSkinData* FSkinData = nullptr;
  bool FShowSelectedItem = true;
  bool FAlphaBlend = false;
  bool FAlphaBlendAnimation = false;
  int FAlphaBlendValue = 200;
  TskSkinImagesMenuPopupWindow* FPopupWindow = nullptr;
  // A closed popup waits here until the next opening or the menu's end (its handler may still
  // be running when it closes).
  std::unique_ptr<TskSkinImagesMenuPopupWindow> FClosedWindow;
  int FOldItemIndex = -1;
  std::shared_ptr<bool> FAlive = std::make_shared<bool>(true);
};
