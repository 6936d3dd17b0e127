// TXcCustomListBox: the list box on the extended message layer. It keeps its items in the
// window through its own item store, switches to owner drawing for aligned text, word-wrapped
// multi-line items and a background picture, tracks the widest item for the horizontal scroll
// bar, lets scroll events veto a scroll, reorders its own items by dragging or by the move
// operations, and reports item changes (OnAddString, OnDeleteString, OnChange). Its consumer
// (Provider) links it to a data provider; while one is attached the list box shows the
// provider's items in place of its own (provider mode, XcListBoxProvider.cpp).
//
// Without a provider the list box is a plain list box whose appends, inserts, deletes and
// resets all reach the window, so the events and the horizontal extent follow every change.
#pragma once

#include <functional>
#include <memory>

#include "extctrls/XcConsumerViewList.h"
#include "extctrls/XcDataConsumer.h"
#include "extctrls/XcExStdCtrls.h"
#include "platform/vcl/Bitmap.h"
#include "platform/vcl/EditCtrls.h"
#include "platform/vcl/ImgList.h"
#include "platform/vcl/ListBoxCtrl.h"

class TXcCustomListBox;

using TXcListBoxDataEvent = std::function<void(TWinControl* Sender, int Index, String& Text)>;
using TXcListboxChange = std::function<void(TObject* Sender, const String& Item)>;
// The scroll message as it arrived; setting DontScroll keeps the list where it is.
struct TWMScroll {
  UINT Msg;
  WORD ScrollCode;
  WORD Pos;
  HWND ScrollBar;
  LRESULT Result;
};
using TXcScrollEvent = std::function<void(TObject* Sender, const TWMScroll& Msg, bool& DontScroll)>;

enum TXcListboxFillMode { bfmTile = 0, bfmStretch = 1 };

// The item store. In window mode every operation goes to the list box window; any change of
// the own items first detaches a provider. In provider mode (use-internal) the own items wait
// in an internal list.
class TXcListBoxStrings : public TListBoxStrings {
public:
  explicit TXcListBoxStrings(TCustomListBox* AListBox);
  ~TXcListBoxStrings() override;

  String Get(int Index) const override;
  int GetCount() const override;
  TObject* GetObject(int Index) const override;
  void Put(int Index, const String& S) override;
  void PutObject(int Index, TObject* AObject) override;
  int Add(const String& S) override;
  void Insert(int Index, const String& S) override;
  void Delete(int Index) override;
  void Clear() override;
  int IndexOf(const String& S) const override;
  void Move(int CurIndex, int NewIndex) override;

  TXcCustomListBox* GetListBox() const { return FListBox; }
  void SetListBox(TXcCustomListBox* Value) { FListBox = Value; }
  bool UseInternal() const { return FUseInternal; }
  TStringList* Internal() const { return FInternal.get(); }

protected:
  void SetUpdateState(bool Updating) override;

private:
  friend class TXcCustomListBox;
  bool LoadingInternal() const;
  void DetachProvider() const;
  TXcCustomListBox* FListBox = nullptr;
  std::unique_ptr<TStringList> FInternal;
  bool FUseInternal = false;
  bool FUpdating = false;
  int FDestroyCount = 0;
};

using TXcListBoxStringsClass = std::unique_ptr<TXcListBoxStrings> (*)(TCustomListBox* ListBox);

// The background picture of a list box.
class TXcListBoxBackground : public TPersistent {
public:
  TXcListBoxBackground();
  // From another background: picture, fill mode and visibility, without OnChange. Anything
  // else: the class library's assign error.
  void Assign(TPersistent* Source) override;

  TBitmap* GetImage() const { return FImage.get(); }
  // Copies the picture; always raises OnChange.
  void SetImage(TBitmap* Value);
  TXcListboxFillMode GetFillMode() const { return FFillMode; }
  void SetFillMode(TXcListboxFillMode Value);
  bool GetVisible() const { return FVisible; }
  void SetVisible(bool Value);
  // True when a picture is to be drawn: Visible and a picture that is not empty.
  bool DoDraw() const { return FVisible && !FImage->Empty(); }

  TNotifyEvent OnChange;

private:
  void Changed();
  std::unique_ptr<TBitmap> FImage;
  TXcListboxFillMode FFillMode = bfmTile;
  bool FVisible = false;
};

class TXcCustomListBox : public TXcExCustomListBox {
public:
  explicit TXcCustomListBox(TComponent* AOwner);
  ~TXcCustomListBox() override;

  void WndProc(TMessage& Message) override;
  void Loaded() override;
  void SetBounds(int ALeft, int ATop, int AWidth, int AHeight) override;
  TDragImageList* GetDragImages() override { return FDragImage.get(); }
  void DeleteSelected() override;
  void SelectAll() override;

  // The virtual operations of the extended list box, in this order.
  virtual TXcListBoxStringsClass GetItemsClass();
  // After DeleteSelected: the control's change notification.
  virtual void ItemsChanged();
  virtual void DoGetText(int Index, String& Text);
  // The strings shown: the provider's while a provider is active, else the own items.
  virtual TStrings* GetItemsShowing();
  virtual void DefaultDrawItem(int Index, const TRect& Rect, TOwnerDrawState State);
  virtual void DefaultDragOver(TObject* Source, int X, int Y, TDragState State, bool& Accept);
  virtual void DefaultStartDrag(TDragObject*& DragObject);
  virtual void DefaultDragDrop(TObject* Source, int X, int Y);
  virtual void MoveSelectedUp();
  virtual void MoveSelectedDown();

  bool GetHotTrack() const { return FHotTrack; }
  void SetHotTrack(bool Value);
  TAlignment GetAlignment() const { return FAlignment; }
  void SetAlignment(TAlignment Value);
  TScrollStyle GetScrollBars() const { return FScrollBars; }
  void SetScrollBars(TScrollStyle Value);
  bool GetSorted() const { return FSorted; }
  void SetSorted(bool Value);
  bool GetMultiLine() const { return FMultiLine; }
  void SetMultiLine(bool Value);
  bool GetShowFocusRect() const { return FShowFocusRect; }
  void SetShowFocusRect(bool Value);
  TColor GetSelectedTextColor() const { return FSelectedTextColor; }
  void SetSelectedTextColor(TColor Value);
  TColor GetSelectedColor() const { return FSelectedColor; }
  void SetSelectedColor(TColor Value);
  TColor GetDisabledTextColor() const { return FDisabledTextColor; }
  void SetDisabledTextColor(TColor Value);
  TXcListBoxBackground* GetBackground() const { return FBackground.get(); }
  void SetBackground(TXcListBoxBackground* Value) { FBackground->Assign(Value); }
  bool GetFlat() const { return !GetCtl3D(); }
  void SetFlat(bool Value) { SetCtl3D(!Value); }
  bool GetParentFlat() const { return GetParentCtl3D(); }
  void SetParentFlat(bool Value) { SetParentCtl3D(Value); }
  TXcDataConsumer* GetProvider() const { return FProvider; }
  // The width of the widest item as last measured (the horizontal extent given to the window).
  int GetExtentWidth() const { return FExtentWidth; }
  int GetScrollOffset() const { return FScrollOffset; }
  bool GetProviderActive() const { return FProviderActive; }
  TXcConsumerStrings* GetConsumerStrings() const { return FConsumerStrings.get(); }

  // Owner-draw style from MultiLine, Alignment and the background (not while loading).
  void ApplyOwnerDrawStyle();
  // The width and height Text needs with a width limit (0: none).
  void MeasureText(const String& Text, int Limit, int& Width, int& Height);
  bool WrapsAtClientWidth() const;
  void RemeasureItems();
  void SetExtentWidth(int Value);
  void RemeasureIfScrollable();
  void PaintBackgroundPicture(HDC DC, bool WithOffset);

  TXcListBoxDataEvent OnGetText;
  TNotifyEvent OnSelectCancel;
  TXcListboxChange OnDeleteString;
  TXcListboxChange OnAddString;
  TNotifyEvent OnChange;
  TXcScrollEvent OnHorizontalScroll;
  TXcScrollEvent OnVerticalScroll;

protected:
  void CreateParams(TCreateParams& Params) override;
  void CreateWnd() override;
  void DestroyWnd() override;
  void DrawItem(int Index, const TRect& Rect, TOwnerDrawState State) override;
  void MeasureItem(int Index, int& Height) override;
  void CNDrawItem(TMessage& Message) override;
  void CNCommand(TMessage& Message) override;
  void DoStartDrag(TDragObject*& DragObject) override;
  void DragOver(TObject* Source, int X, int Y, TDragState State, bool& Accept) override;
  void DragDrop(TObject* Source, int X, int Y) override;
  bool HookEraseBackground(TCanvas* Canvas, LPARAM Param) override;
  void HookFontChanged() override;
  void HookMouseEnter(TControl* Control) override;
  void HookMouseLeave(TControl* Control) override;

  // The window's item messages (LB_DELETESTRING is overridden by the playlist).
  virtual void LBAddString(TMessage& Message);
  virtual void LBInsertString(TMessage& Message);
  virtual void LBDeleteString(TMessage& Message);
  // Hands a message to the list box window's own handling.
  void InheritedWndProc(TMessage& Message) { TXcExCustomListBox::WndProc(Message); }
  TXcListBoxStrings* ItemStore() const { return static_cast<TXcListBoxStrings*>(TCustomListBox::GetItems()); }
  bool Destroying() const { return (GetComponentState() & csDestroying) != 0; }
  bool FormLoading() const { return (GetComponentState() & csLoading) != 0; }

private:
  friend class TXcListBoxStrings;
  UINT AlignmentFlag() const;
  void SuspendRedraw();
  void ResumeRedraw();
  void ScrollMessage(TMessage& Message, const TXcScrollEvent& Event, bool Horizontal);
  void BackgroundPictureChanged(TObject* Sender);
  void ExchangeItems(int Index1, int Index2);
  // Provider mode (XcListBoxProvider.cpp).
  void ProviderChanging(TXcDataConsumer* Sender, TXcConsumerChange Reason);
  void ProviderChanged(TXcDataConsumer* Sender, TXcConsumerChange Reason);
  void ProviderSubSvcCreated(TXcDataConsumer* Sender, TXcDataConsumerAggregatedObject* Svc);
  void MoveItemsToInternal();
  void MoveItemsFromInternal();
  void SyncProviderItemCount();
  bool ProviderMessage(TMessage& Message);
  void DrawProviderItem(int Index, TRect Rect, TOwnerDrawState State);
  void MeasureProviderItem(int Index, int& Width, int& Height);
  TXcDataConsumerViewList* ViewList() const;

  bool FHotTrack = false;
  TAlignment FAlignment = taLeftJustify;
  int FExtentWidth = 0;
  TScrollStyle FScrollBars = ssBoth;
  bool FSorted = false;
  int FDragIndex = -1;
  std::unique_ptr<TDragImageList> FDragImage;
  bool FMultiLine = false;
  bool FShowFocusRect = true;
  TColor FSelectedTextColor = clHighlightText;
  TColor FSelectedColor = clHighlight;
  TColor FDisabledTextColor = clGrayText;
  std::unique_ptr<TXcListBoxBackground> FBackground;
  int FScrollOffset = 0;
  TXcDataConsumer* FProvider = nullptr;  // owned (freed with XcFree)
  std::unique_ptr<TXcConsumerStrings> FConsumerStrings;
  bool FProviderActive = false;
  bool FProviderSwitching = false;
};

class TXcListBox : public TXcCustomListBox {
public:
  using TXcCustomListBox::TXcCustomListBox;
};
