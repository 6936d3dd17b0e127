// TskSkinCustomComboBox / TskSkinComboBox: the combo box of the program's windows (brand, model,
// screen size ...), built on the skinned control base and not on the platform combo box. Its
// items, item index and sorting are those of its drop-down list, a skinned list box in a popup
// window (TskPopupListBox). In fixed style it shows the selected item; in edit style an inner
// skinned edit (TskCustomEdit) carries the text, with search and auto-completion from the list.
//
// Contract callers rely on:
// - The ItemIndex setter selects in the list, sets Text to the item (OnChange only when the text
//   changes), then fires OnClick and Change, on every call, also for -1 or a rejected index
//   (the text then stays).
// - Changing Items never changes Text and fires nothing.
// - DropDown does nothing for an empty list; the list opens below the combo, or above it when
//   the work area ends below. CloseUp(true) takes the list's selection (OnChange, OnClick,
//   Change, then OnCloseUp); CloseUp(false) restores the selection the list had when it opened
//   and fires nothing.
// - A handler that frees the combo while the list is open or an event runs ends the operation
//   without touching the freed control.
// - In edit style, auto-completion runs on the release of character keys only and selects just
//   the completed tail; no other key deletes the user's selection.
#pragma once

#include <memory>

#include "skin/input/SkinCustomEdit.h"
#include "skin/input/SkinListBox.h"

enum TskSkinCustomComboBoxStyle { spcbEditStyle, spcbFixedStyle };

class TskSkinCustomComboBox;

// The drop-down list: a skinned list box in a top-level popup window that never takes the
// activation from the form.
class TskPopupListBox : public TskSkinListBox {
public:
  explicit TskPopupListBox(TComponent* AOwner);
  // Shows the list with its top-left corner at P (screen coordinates).
  void ShowAt(const TPoint& P);
  void HideList();
  bool GetLayered() const { return FLayered; }
  int GetCurrentAlpha() const { return FCurrentAlpha; }

protected:
  void CreateParams(TCreateParams& Params) override;
  void WndProc(TMessage& Message) override;

private:
  TskSkinCustomComboBox* Combo() const;
  void FadeIn(HWND Wnd, int Value);
  bool FLayered = false;
  int FCurrentAlpha = 0;
};

// The copies of a combo-box record.
struct TskComboBoxLook {
  TRect ActiveSkinRect{};
  TColor ActiveFontColor = 0;
  TRect ItemRect{}, FocusItemRect{}, ActiveItemRect{};
  int ItemLeftOffset = 0, ItemRightOffset = 0;
  TRect ItemTextRect{};
  String FontName;
  TFontStyles FontStyle = 0;
  int FontHeight = 0;
  TColor FontColor = 0, FocusFontColor = 0;
  TRect ButtonRect{}, ActiveButtonRect{}, DownButtonRect{}, UnEnabledButtonRect{};
  String ListBoxName;
  bool ItemStretchEffect = false, FocusItemStretchEffect = false, ShowFocus = false;
};

class TskSkinCustomComboBox : public TskSkinCustomControl {
public:
  explicit TskSkinCustomComboBox(TComponent* AOwner);
  ~TskSkinCustomComboBox() override;

  TskSkinCustomComboBoxStyle GetStyle() const { return FStyle; }
  void SetStyle(TskSkinCustomComboBoxStyle Value);
  TStrings* GetItems() const;
  void SetItems(TStrings* Value);
  int GetItemIndex() const;
  void SetItemIndex(int Value);
  int GetDropDownCount() const { return FDropDownCount; }
  void SetDropDownCount(int Value);
  int GetListBoxWidth() const { return FListBoxWidth; }
  void SetListBoxWidth(int Value) { FListBoxWidth = Value; }
  bool GetAutoComplete() const { return FAutoComplete; }
  void SetAutoComplete(bool Value) { FAutoComplete = Value; }
  bool GetHideSelection() const { return FHideSelection; }
  void SetHideSelection(bool Value) { FHideSelection = Value; }
  TEditCharCase GetCharCase() const { return FCharCase; }
  void SetCharCase(TEditCharCase Value);
  TColor GetDefaultColor() const { return FDefaultColor; }
  void SetDefaultColor(TColor Value);
  bool GetToolButtonStyle() const { return FToolButtonStyle; }
  void SetToolButtonStyle(bool Value);
  bool GetUseSkinSize() const { return FUseSkinSize; }
  void SetUseSkinSize(bool Value) { FUseSkinSize = Value; }
  bool GetSorted() const;
  void SetSorted(bool Value);
  TCustomImageList* GetImages() const;
  void SetImages(TCustomImageList* Value);
  int GetImageIndex() const;
  void SetImageIndex(int Value);
  TStrings* GetTabWidths() const;
  void SetTabWidths(TStrings* Value);
  bool GetHorizontalExtent() const;
  void SetHorizontalExtent(bool Value);
  bool GetListBoxAlphaBlend() const { return FListBoxAlphaBlend; }
  void SetListBoxAlphaBlend(bool Value) { FListBoxAlphaBlend = Value; }
  bool GetListBoxAlphaBlendAnimation() const { return FListBoxAlphaBlendAnimation; }
  void SetListBoxAlphaBlendAnimation(bool Value) { FListBoxAlphaBlendAnimation = Value; }
  Byte GetListBoxAlphaBlendValue() const { return FListBoxAlphaBlendValue; }
  void SetListBoxAlphaBlendValue(Byte Value) { FListBoxAlphaBlendValue = Value; }
  const TskDrawSkinItemEvent& GetOnListBoxDrawItem() const { return FOnListBoxDrawItem; }
  void SetOnListBoxDrawItem(TskDrawSkinItemEvent Value);

  TskPopupListBox* GetListBox() const { return FListBox; }
  TskCustomEdit* GetEdit() const { return FEdit; }
  bool GetDroppedDown() const { return FDroppedDown; }
  const TRect& GetButtonRect() const { return FButtonRect; }
  const TRect& GetItemRect() const { return FItemRect; }
  const TskComboBoxLook& GetLook() const { return FLook; }

  void DropDown();
  void CloseUp(bool Accept);

  void GetSkinData() override;
  void ChangeSkinData() override;
  void DefaultFontChanged() override;
  void CalcSize(int& W, int& H) override;
  void SetControlRegion() override;
  void Notification(TComponent* AComponent, TOperation Operation) override;
  void Invalidate() override;

  TNotifyEvent OnChange;
  TNotifyEvent OnDropDown;
  TNotifyEvent OnCloseUp;
  TskDrawSkinItemEvent OnComboBoxDrawItem;

protected:
  // Called after the selection was taken over (the ItemIndex setter, an accepted list, a text
  // change from the inner edit).
  virtual void Change() {}

  void CreateControlDefaultImage(TBitmap* B) override;
  void CreateControlSkinImage(TBitmap* B) override;
  void KeyDown(Word& Key, TShiftState Shift) override;
  void KeyPress(char& Key) override;
  void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
  void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;
  void MouseMove(TShiftState Shift, int X, int Y) override;
  void WndProc(TMessage& Message) override;
  void CMMouseEnter(TMessage& Message) override;
  void CMMouseLeave(TMessage& Message) override;

  void CalcRects();
  void SearchItem(const String& Chars);
  void ListWindowProcHook(TMessage& Message);
  void DropListMouseMove(TObject* Sender, TShiftState Shift, int X, int Y);
  void TrackListDrag();
  void StartScrollTimer();
  void StopScrollTimer();
  void ListUp(bool Fire);
  void ListDown(bool Fire);
  void ListPageUp(bool Fire);
  void ListPageDown(bool Fire);
  TColor GetDisabledFontColor();
  void CancelMode(TObject* Sender);
  // Runs an event handler; false when the handler freed the combo.
  bool Fire(const TNotifyEvent& Event);

  // Edit style.
  void CreateEditControl();
  void DestroyEditControl();
  void EditChange(TObject* Sender);
  void EditWindowProcHook(TMessage& Message);
  void EditListUp(bool Fire);
  void EditListDown(bool Fire);
  void EditAutoComplete();
  void AdjustEditHeight();
  void SetEditFont();
  int ShownIndex() const;

  // Painting.
  void DrawButton(TCanvas* Canvas);
  void DrawResizedButton(TCanvas* Canvas);
  void DrawDefaultItem(TCanvas* Canvas);
  void DrawSkinItem(TCanvas* Canvas, bool Stretched);
  void DrawDefaultToolButton(TCanvas* Canvas);
  void DrawSkinToolButton(TCanvas* Canvas);
  void DrawItemContent(TCanvas* Canvas, int Index, TRect TR, int W, int H, TOwnerDrawState State);
  void SetCharsetOf(TFont* Font);

  TskPopupListBox* FListBox = nullptr;
  TskCustomEdit* FEdit = nullptr;
  TWndMethod FSavedListProc;
  TWndMethod FSavedEditProc;
  TskComboBoxLook FLook;
  TRect FButtonRect{}, FItemRect{};
  bool FButtonMouseIn = false, FButtonDown = false;
  bool FDroppedDown = false;
  bool FMouseIn = false;
  int FSavedItemIndex = -1;
  bool FCaptured = false, FListEntered = false;
  int FTimerMode = 0;
  DWORD FTimeStamp = 0;
  String FFilter;
  bool FUpdatingFromEdit = false;
  // False once the combo is being destroyed (checked after every handler).
  std::shared_ptr<bool> FAlive = std::make_shared<bool>(true);

private:
  TskSkinCustomComboBoxStyle FStyle = spcbFixedStyle;
  int FDropDownCount = 8;
  int FListBoxWidth = 0;
  bool FAutoComplete = true;
  bool FHideSelection = true;
  TEditCharCase FCharCase = ecNormal;
  TColor FDefaultColor = clWindow;
  bool FToolButtonStyle = false;
  bool FUseSkinSize = true;
  bool FListBoxAlphaBlend = false;
  bool FListBoxAlphaBlendAnimation = false;
  Byte FListBoxAlphaBlendValue = 200;
  TskDrawSkinItemEvent FOnListBoxDrawItem;
};

class TskSkinComboBox : public TskSkinCustomComboBox {
public:
  using TskSkinCustomComboBox::TskSkinCustomComboBox;
};
