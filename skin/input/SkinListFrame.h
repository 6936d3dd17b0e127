// TskSkinListFrame: what the skinned list box and the skinned check list box share. The frame is
// a skinned custom control drawn from a "listbox" (or "checklistbox") record; inside it sits an
// owner-drawn inner list (TskListBox or a derived list) that holds the items and paints them from
// the same record. The platform list's own scroll bars never show: the frame creates up to two
// skinned scroll bars (see SkinListScrollBars.h) as children and keeps them in step with the
// inner list's scroll range and position. An optional caption bar at the top carries the
// Caption, a glyph and three caption buttons (up, down, check) with auto-repeat on window
// timer 1. The skinned caption bar is the top band of the record's picture: the program's own
// skins carry it on their captioned records "captionlistbox" and "captionchecklistbox" (name one
// in SkinDataName before setting SkinData); their "listbox" and "checklistbox" records, which
// are also the look of every combo box's drop-down list, have none.
//
// Contract callers rely on:
// - ListBox is never null after construction; Items, ItemIndex, Clear, Sorted, MultiSelect and
//   Columns act on it. An index outside the items raises the list's index error (EListError).
// - UpdateScrollBars creates a bar the first time the content exceeds the view and frees it as
//   soon as it fits again; every creation or removal re-arranges the inner list.
// - CalcHeight(N) is the control height that shows exactly N items.
// - The caption's down button never moves the selection past the last item.
#pragma once

#include <memory>

#include "platform/vcl/ListBoxCtrl.h"
#include "skin/controls/SkinRepeatTimer.h"
#include "skin/input/SkinListScrollBars.h"

class TskListBox;

// Draws an item's content instead of the list: the item bitmap's canvas, the item, its size,
// the text rectangle and the item's state. The background is drawn before.
using TskDrawSkinItemEvent =
    std::function<void(TCanvas* Cnvs, int Index, int ItemWidth, int ItemHeight, TRect TxtRect, TOwnerDrawState State)>;

// The copies of a list record that the frame and its inner list paint from. Rectangles named
// absolute are places in the picture; the caption and the normal button rectangles and
// buttonsarea are in skin coordinates; itemtextrect and itemcheckrect are relative to the item.
struct TskListBoxLook {
  String FontName;
  TFontStyles FontStyle = 0;
  int FontHeight = 0;
  TRect ItemRect{}, ActiveItemRect{}, FocusItemRect{};
  int ItemLeftOffset = 0, ItemRightOffset = 0;
  TRect ItemTextRect{};
  TColor FontColor = 0, ActiveFontColor = 0, FocusFontColor = 0;
  TRect CaptionRect{};
  String CaptionFontName;
  TFontStyles CaptionFontStyle = 0;
  int CaptionFontHeight = 0;
  TColor CaptionFontColor = 0;
  TRect UpButtonRect{}, ActiveUpButtonRect{}, DownUpButtonRect{};
  TRect DownButtonRect{}, ActiveDownButtonRect{}, DownDownButtonRect{};
  TRect CheckButtonRect{}, ActiveCheckButtonRect{}, DownCheckButtonRect{};
  String VScrollBarName, HScrollBarName, BothHScrollBarName;
  bool ShowFocus = false;
  TRect DisabledButtonsRect{}, ButtonsArea{};
  // Check list records only.
  TRect UnCheckImageRect{}, CheckImageRect{}, ItemCheckRect{};
};

class TskSkinListFrame : public TskSkinCustomControl {
public:
  // One caption button: its place on the control and its state.
  struct TCaptionButton {
    TRect Rect{};
    bool MouseIn = false;
    bool Down = false;
  };

  explicit TskSkinListFrame(TComponent* AOwner);
  ~TskSkinListFrame() override;

  TskListBox* GetListBox() const { return FListBox; }
  IskScrollBarLink* GetScrollBar() const { return FScrollBar; }
  IskScrollBarLink* GetHScrollBar() const { return FHScrollBar; }
  const TskListBoxLook& GetLook() const { return FLook; }

  bool GetShowCaptionButtons() const { return FShowCaptionButtons; }
  void SetShowCaptionButtons(bool Value);
  TStrings* GetTabWidths() const { return FTabWidths.get(); }
  void SetTabWidths(TStrings* Value);
  bool GetUseSkinItemHeight() const { return FUseSkinItemHeight; }
  void SetUseSkinItemHeight(bool Value) { FUseSkinItemHeight = Value; }
  int GetColumns() const;
  void SetColumns(int Value);
  int GetRowCount() const { return FRowCount; }
  void SetRowCount(int Value);
  TCustomImageList* GetImages() const { return FImages; }
  void SetImages(TCustomImageList* Value);
  int GetImageIndex() const { return FImageIndex; }
  void SetImageIndex(int Value);
  TBitmap* GetGlyph() const { return FGlyph.get(); }
  void SetGlyph(TBitmap* Value);
  int GetNumGlyphs() const { return FNumGlyphs; }
  void SetNumGlyphs(int Value);
  int GetSpacing() const { return FSpacing; }
  void SetSpacing(int Value);
  bool GetCaptionMode() const { return FCaptionMode; }
  void SetCaptionMode(bool Value);
  int GetDefaultCaptionHeight() const { return FDefaultCaptionHeight; }
  void SetDefaultCaptionHeight(int Value);
  TFont* GetDefaultCaptionFont() const { return FDefaultCaptionFont.get(); }
  void SetDefaultCaptionFont(TFont* Value) { FDefaultCaptionFont->Assign(Value); }
  TAlignment GetAlignment() const { return FAlignment; }
  void SetAlignment(TAlignment Value);
  int GetDefaultItemHeight() const { return FDefaultItemHeight; }
  void SetDefaultItemHeight(int Value);
  TStrings* GetItems() const;
  void SetItems(TStrings* Value);
  int GetItemIndex() const;
  void SetItemIndex(int Value);
  bool GetMultiSelect() const;
  void SetMultiSelect(bool Value);
  bool GetExtandedSelect() const;
  void SetExtandedSelect(bool Value);
  bool GetSorted() const;
  void SetSorted(bool Value);
  TFont* GetListBoxFont() const;
  void SetListBoxFont(TFont* Value);
  TPopupMenu* GetListBoxPopupMenu() const;
  void SetListBoxPopupMenu(TPopupMenu* Value);
  bool GetListBoxTabStop() const;
  void SetListBoxTabStop(bool Value);

  // The inner list's operations.
  virtual void Clear();
  int ItemAtPos(const TPoint& Pos, bool Existing);
  bool GetSelected(int Index) const;
  void SetTopIndex(int Value);
  // The control height that shows exactly Rows items.
  virtual int CalcHeight(int Rows);
  // Brings the scroll bars in step with the inner list.
  virtual void UpdateScrollBars();
  // Places the scroll bars and the inner list.
  virtual void ArrangeListBox();

  void GetSkinData() override;
  void ChangeSkinData() override;
  void SetBounds(int ALeft, int ATop, int AWidth, int AHeight) override;
  void Notification(TComponent* AComponent, TOperation Operation) override;
  void DefaultFontChanged() override;

  // What the inner list reports; each raises the event of the same name with this control as
  // Sender.
  virtual int ItemTextWidth(int Index, TCanvas* Canvas);
  virtual void ListBoxMouseDown(TMouseButton Button, TShiftState Shift, int X, int Y);
  virtual void ListBoxMouseMove(TShiftState Shift, int X, int Y);
  virtual void ListBoxMouseUp(TMouseButton Button, TShiftState Shift, int X, int Y);
  virtual void ListBoxClick();
  virtual void ListBoxDblClick();
  virtual void ListBoxKeyDown(Word& Key, TShiftState Shift);
  virtual void ListBoxKeyUp(Word& Key, TShiftState Shift);
  virtual void ListBoxKeyPress(char& Key);
  virtual void ListBoxEnter() {}
  virtual void ListBoxExit() {}
  // A derived list consumes a message of the inner list by setting PassOn to false.
  virtual void ListBoxWProc(TMessage& Message, bool& PassOn);
  // Called after the inner list's window was made.
  virtual void ListBoxCreateWnd() {}

  // Caption-bar state (read by tests and derived lists).
  const TCaptionButton& GetCaptionButton(int I) const { return FButtons[I]; }
  int GetActiveButton() const { return FActiveButton; }
  int GetDownButton() const { return FDownButton; }
  int GetTimerMode() const { return FTimerMode; }
  const TRect& GetListBoxRect() const { return FListBoxRect; }

  TNotifyEvent OnUpButtonClick;
  TNotifyEvent OnDownButtonClick;
  TNotifyEvent OnCheckButtonClick;
  TNotifyEvent OnListBoxClick;
  TNotifyEvent OnListBoxDblClick;
  TMouseEvent OnListBoxMouseDown;
  TMouseEvent OnListBoxMouseUp;
  TMouseMoveEvent OnListBoxMouseMove;
  TKeyEvent OnListBoxKeyDown;
  TKeyEvent OnListBoxKeyUp;
  TKeyPressEvent OnListBoxKeyPress;
  TskDrawSkinItemEvent OnDrawItem;

protected:
  // Takes the inner list made by the derived constructor.
  void AttachListBox(TskListBox* AListBox);
  // The record copies of a list record of the derived kind; false for any other record.
  virtual bool CopyListRecord(TskDataSkinControl* Record);
  // The caption's check button without an OnCheckButtonClick handler.
  virtual void CheckButtonAction();
  // Whether the frame keeps a horizontal-extent bar (the list box does, the check list does not).
  virtual bool UsesHorizontalExtent() const { return false; }
  // Whether CalcHeight counts the unskinned caption.
  virtual bool CalcHeightCountsCaption() const { return true; }
  // The multi-column bar is shown also when every item fits (the check list's rule).
  virtual bool ColumnBarIgnoresItemCount() const { return false; }

  void CreateParams(TCreateParams& Params) override;
  void CreateControlDefaultImage(TBitmap* B) override;
  void CreateControlSkinImage(TBitmap* B) override;
  void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
  void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;
  void MouseMove(TShiftState Shift, int X, int Y) override;
  void WndProc(TMessage& Message) override;
  void CMMouseEnter(TMessage& Message) override;
  void CMMouseLeave(TMessage& Message) override;

  void CreateScrollBar();
  void FreeScrollBar();
  void CreateHScrollBar();
  void FreeHScrollBar();
  void ScrollBarChange(TObject* Sender);
  void HScrollBarChange(TObject* Sender);
  // Sets the bar's record name and skin data.
  void SkinBar(IskScrollBarLink* Bar, const String& Name);
  void UpdateHorizontalExtent();

  // Caption bar.
  void DrawButton(TCanvas* Canvas, int I);
  void TestActive(int X, int Y);
  void ButtonDown(int I);
  void ButtonUp(int I);
  void ButtonEnter(int I);
  void ButtonLeave(int I);
  void StopRepeatTimer();
  // One step of the held caption button.
  void RepeatStep();
  void StepUp();
  void StepDown();
  // The caption's text font, glyph and text, placed in T.
  int CaptionContentWidth(TCanvas* Canvas);
  void DrawCaptionGlyph(TCanvas* Canvas, int X, int Y);

  TskListBox* FListBox = nullptr;
  IskScrollBarLink* FScrollBar = nullptr;
  IskScrollBarLink* FHScrollBar = nullptr;
  // The bars as components, for the free notification (a dying bar is no longer a link).
  TComponent* FScrollBarComponent = nullptr;
  TComponent* FHScrollBarComponent = nullptr;
  TskListBoxLook FLook;
  bool FHorizontalExtent = false;
  bool FUpdatingSkin = false;
  TRect FListRect{};
  TRect FListBoxRect{};
  TRect FCaptionTextRect{};
  TCaptionButton FButtons[3];
  int FActiveButton = -1;
  int FOldActiveButton = -1;
  int FDownButton = -1;
  int FTimerMode = 0;
  // A held up or down button: the first tick 500 ms after the press, then every 100 ms; back
  // on the button after sliding off, every 50 ms.
  TskRepeatTimer FRepeat{this, 500, 100, 50};

private:
  void OnCaptionFontChange(TObject* Sender);

  bool FShowCaptionButtons = true;
  std::unique_ptr<TStringList> FTabWidths;
  bool FUseSkinItemHeight = true;
  int FRowCount = 0;
  TCustomImageList* FImages = nullptr;
  int FImageIndex = -1;
  std::unique_ptr<TBitmap> FGlyph;
  int FNumGlyphs = 1;
  int FSpacing = 2;
  bool FCaptionMode = false;
  int FDefaultCaptionHeight = 20;
  std::unique_ptr<TFont> FDefaultCaptionFont;
  TAlignment FAlignment = taLeftJustify;
  int FDefaultItemHeight = 20;
};
