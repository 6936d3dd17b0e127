// The class library's list view (TCustomListView) on the "SysListView32" window class, with its
// items (TListItem / TListItems) and report columns (TListColumn / TListColumns) shown by the
// list's "SysHeader32" header. In owner-data mode the items are fetched on demand (OnData /
// OwnerDataFetch, OnDataFind / OwnerDataFind) and only their count is kept.
#pragma once

#include <functional>
#include <memory>
#include <vector>

#include "platform/rtl/StringList.h"
#include "platform/vcl/Controls.h"
#include "platform/vcl/Forms.h"
#include "platform/vcl/ImgList.h"
#include "platform/vcl/ViewCtrlsConsts.h"

// Register the "SysListView32" and "SysHeader32" window classes (once).
void RegisterListViewClass();
void RegisterHeaderClass();

class TCustomListView;
class TListItems;
class TListColumns;

enum TViewStyle { vsIcon, vsSmallIcon, vsList, vsReport };
enum TDisplayCode { drBounds, drIcon, drLabel, drSelectBounds };
enum TItemChange { ctText, ctImage, ctState };
enum TItemFind { ifData, ifPartialString, ifExactString, ifNearest };
enum TSearchDirection { sdLeft, sdRight, sdAbove, sdBelow, sdAll };
enum TListSortType { lstNone, lstData, lstText, lstBoth };
using TItemRequest = std::uint32_t;
enum : TItemRequest { irText = 1u << 0, irImage = 1u << 1, irParam = 1u << 2, irState = 1u << 3, irIndent = 1u << 4 };
using TItemStates = std::uint32_t;
enum : TItemStates { isNone = 0, isCut = 1u << 0, isDropHilited = 1u << 1, isFocused = 1u << 2, isSelected = 1u << 3 };

class TListColumn : public TPersistent {
public:
  const String& GetCaption() const { return FCaption; }
  void SetCaption(const String& Value);
  int GetWidth() const;
  void SetWidth(int Value);
  TAlignment GetAlignment() const { return FAlignment; }
  void SetAlignment(TAlignment Value);
  int GetImageIndex() const { return FImageIndex; }
  void SetImageIndex(int Value);
  int GetIndex() const;
  void Assign(TPersistent* Source) override;

private:
  friend class TListColumns;
  friend class TCustomListView;
  explicit TListColumn(TListColumns* AOwner) : FOwner(AOwner) {}
  TListColumns* FOwner;
  String FCaption;
  int FWidth = 50;
  TAlignment FAlignment = taLeftJustify;
  int FImageIndex = -1;
};

class TListColumns : public TPersistent {
public:
  explicit TListColumns(TCustomListView* AOwner) : FOwner(AOwner) {}
  TCustomListView* GetOwner() const { return FOwner; }
  TListColumn* Add();
  void Delete(int Index);
  void Clear();
  int GetCount() const { return static_cast<int>(FItems.size()); }
  TListColumn* GetItem(int Index) const;
  void BeginUpdate() { ++FUpdateCount; }
  void EndUpdate();

private:
  friend class TListColumn;
  friend class TCustomListView;
  TCustomListView* FOwner;
  std::vector<std::unique_ptr<TListColumn>> FItems;
  int FUpdateCount = 0;
};

class TListItem : public TPersistent {
public:
  ~TListItem() override;
  TListItems* GetOwner() const { return FOwner; }
  TCustomListView* GetListView() const;
  const String& GetCaption() const { return FCaption; }
  void SetCaption(const String& Value);
  // Column texts after the caption.
  TStrings* GetSubItems() const { return FSubItems.get(); }
  int GetImageIndex() const { return FImageIndex; }
  void SetImageIndex(int Value);
  void* GetData() const { return FData; }
  void SetData(void* Value) { FData = Value; }
  int GetIndex() const { return FIndex; }
  bool GetSelected() const;
  void SetSelected(bool Value);
  bool GetFocused() const;
  void SetFocused(bool Value);
  TRect DisplayRect(TDisplayCode Code) const;
  void MakeVisible(bool PartialOK);
  // Starts editing the caption in place (the list view's CanEdit and OnEditing may refuse);
  // false when it did not start.
  bool EditCaption();
  // Ends an edit of this item's caption, dropping the new text.
  void CancelEdit();
  // Redraws the item.
  void Update();
  void Delete();
  void Assign(TPersistent* Source) override;

private:
  friend class TListItems;
  friend class TCustomListView;
  explicit TListItem(TListItems* AOwner);
  void SetState(UINT State, UINT Mask, bool On);
  TListItems* FOwner;
  String FCaption;
  std::unique_ptr<TStringList> FSubItems;
  int FImageIndex = -1;
  void* FData = nullptr;
  int FIndex = -1;
  UINT FSavedState = 0;  // kept for a new window
};

class TListItems : public TPersistent {
public:
  explicit TListItems(TCustomListView* AOwner);
  ~TListItems() override;
  TCustomListView* GetOwner() const { return FOwner; }
  TListItem* Add();
  TListItem* Insert(int Index);
  void Delete(int Index);
  void Clear();
  int GetCount() const;
  // Owner data: the number of rows.
  void SetCount(int Value);
  // The item at Index; in owner-data mode a shared item filled by OwnerDataFetch.
  TListItem* GetItem(int Index) const;
  int IndexOf(TListItem* Value) const;
  void BeginUpdate();
  void EndUpdate();

private:
  friend class TListItem;
  friend class TCustomListView;
  void Reindex(size_t From);
  TCustomListView* FOwner;
  std::vector<TListItem*> FItems;
  int FOwnerCount = 0;
  std::unique_ptr<TListItem> FTemp;
  int FUpdateCount = 0;
};

using TLVDeletedEvent = std::function<void(TObject* Sender, TListItem* Item)>;
using TLVOwnerDataEvent = std::function<void(TObject* Sender, TListItem* Item)>;
using TLVOwnerDataFindEvent =
    std::function<void(TObject* Sender, TItemFind Find, const String& FindString, const TPoint& FindPosition,
                       void* FindData, int StartIndex, TSearchDirection Direction, bool Wrap, int& Index)>;
using TLVColumnClickEvent = std::function<void(TObject* Sender, TListColumn* Column)>;
using TLVChangeEvent = std::function<void(TObject* Sender, TListItem* Item, TItemChange Change)>;
using TLVSelectItemEvent = std::function<void(TObject* Sender, TListItem* Item, bool Selected)>;
using TLVCompareEvent = std::function<void(TObject* Sender, TListItem* Item1, TListItem* Item2, int Data, int& Compare)>;
using TLVCompare = int (*)(LPARAM Item1, LPARAM Item2, LPARAM Data);
using TLVEditingEvent = std::function<void(TObject* Sender, TListItem* Item, bool& AllowEdit)>;
using TLVEditedEvent = std::function<void(TObject* Sender, TListItem* Item, String& S)>;

class TCustomListView : public TWinControl {
public:
  explicit TCustomListView(TComponent* AOwner);
  ~TCustomListView() override;

  TListItems* GetItems() const { return FItems.get(); }
  TListColumns* GetColumns() const { return FColumns.get(); }
  TViewStyle GetViewStyle() const { return FViewStyle; }
  virtual void SetViewStyle(TViewStyle Value);
  bool GetOwnerData() const { return FOwnerData; }
  void SetOwnerData(bool Value);
  bool GetMultiSelect() const { return FMultiSelect; }
  void SetMultiSelect(bool Value);
  bool GetReadOnly() const { return FReadOnly; }
  void SetReadOnly(bool Value);
  bool GetHideSelection() const { return FHideSelection; }
  void SetHideSelection(bool Value);
  bool GetShowColumnHeaders() const { return FShowColumnHeaders; }
  void SetShowColumnHeaders(bool Value);
  bool GetColumnClick() const { return FColumnClick; }
  void SetColumnClick(bool Value);
  bool GetRowSelect() const { return FRowSelect; }
  void SetRowSelect(bool Value);
  TBorderStyle GetBorderStyle() const { return FBorderStyle; }
  void SetBorderStyle(TBorderStyle Value);
  TCustomImageList* GetLargeImages() const { return FLargeImages; }
  void SetLargeImages(TCustomImageList* Value);
  TCustomImageList* GetSmallImages() const { return FSmallImages; }
  void SetSmallImages(TCustomImageList* Value);
  TListSortType GetSortType() const { return FSortType; }
  void SetSortType(TListSortType Value);
  // Report columns move by dragging their captions (LVS_EX_HEADERDRAGDROP).
  bool GetFullDrag() const { return FFullDrag; }
  void SetFullDrag(bool Value);
  // Lines between the rows and columns of the report view (LVS_EX_GRIDLINES).
  bool GetGridLines() const { return FGridLines; }
  void SetGridLines(bool Value);
  // Items under the mouse are highlighted (LVS_EX_TRACKSELECT).
  bool GetHotTrack() const { return FHotTrack; }
  void SetHotTrack(bool Value);
  // A canvas on the list's window, for measuring and drawing.
  TCanvas* GetCanvas() const { return FCanvas.get(); }

  // The first selected item (null for none); setting selects only Value.
  TListItem* GetSelected();
  void SetSelected(TListItem* Value);
  TListItem* GetItemFocused();
  void SetItemFocused(TListItem* Value);
  int GetItemIndex();
  void SetItemIndex(int Value);
  int GetSelCount();
  TListItem* GetTopItem();
  // Rows (report) or items fully shown on a page.
  int GetVisibleRowCount();
  void Scroll(int DX, int DY);
  TListItem* GetItemAt(int X, int Y);
  THitTests GetHitTestInfoAt(int X, int Y);
  TListItem* GetNextItem(TListItem* StartItem, TSearchDirection Direction, TItemStates States);
  TListItem* FindCaption(int StartIndex, const String& Value, bool Partial, bool Inclusive, bool Wrap);
  TListItem* FindData(int StartIndex, void* Value, bool Inclusive, bool Wrap);
  void ClearSelection();
  void SelectAll();
  bool AlphaSort();
  bool CustomSort(TLVCompare SortProc, LPARAM Data);
  // A caption is being edited in place.
  bool IsEditing() const;

  TLVOwnerDataEvent OnData;
  TLVOwnerDataFindEvent OnDataFind;
  TLVColumnClickEvent OnColumnClick;
  TLVChangeEvent OnChange;
  TLVSelectItemEvent OnSelectItem;
  TLVCompareEvent OnCompare;
  TLVDeletedEvent OnDeletion;
  TLVDeletedEvent OnInsert;
  // Caption editing: asked before an edit starts, told the accepted text (which the handler may
  // change) or that the edit was cancelled.
  TLVEditingEvent OnEditing;
  TLVEditedEvent OnEdited;
  TLVDeletedEvent OnCancelEdit;

  void Notification(TComponent* AComponent, TOperation Operation) override;

protected:
  void CreateParams(TCreateParams& Params) override;
  void CreateWnd() override;
  void DestroyWnd() override;
  void WndProc(TMessage& Message) override;
  // Fills Item (its Index set) for the requested parts: OnData. False when nothing answers.
  virtual bool OwnerDataFetch(TListItem* Item, TItemRequest Request);
  // Finds a row for a search of the window (type-ahead, FindCaption): OnDataFind; -1 = none.
  virtual int OwnerDataFind(TItemFind Find, const String& FindString, const TPoint& FindPosition, void* FindData,
                            int StartIndex, TSearchDirection Direction, bool Wrap);
  virtual void ColClick(TListColumn* Column);
  virtual void Change(TListItem* Item, TItemChange AChange);
  virtual void DoSelectItem(TListItem* Item, bool Selected);
  virtual void Delete(TListItem* Item);
  virtual void InsertItem(TListItem* Item);
  // Asked before Item's caption is edited (OnEditing).
  virtual bool CanEdit(TListItem* Item);
  // A caption edit ended: Item.pszText holds the accepted text, null when it was cancelled. By
  // default OnEdited may change the text and the item takes it; OnCancelEdit hears of a cancel.
  virtual void Edit(const TLVItem& Item);
  // F2 edits the focused item's caption unless the list is read-only.
  void KeyDown(Word& Key, TShiftState Shift) override;
  void CMColorChanged(TMessage& Message) override;
  void CMFontChanged(TMessage& Message) override;

private:
  friend class TListItem;
  friend class TListItems;
  friend class TListColumn;
  friend class TListColumns;
  HWND WindowIfAny() const { return FHandle; }
  bool EnsureHandle();
  void SetStyleBits(DWORD Mask, DWORD Bits);
  void UpdateExStyles();
  void ApplyColors();
  void InsertNativeItem(TListItem* Item);
  void UpdateColumn(int Index);
  void RebuildColumns();
  int FindNative(const LVFINDINFOA& Info, int Start);
  std::unique_ptr<TListItems> FItems;
  std::unique_ptr<TListColumns> FColumns;
  TViewStyle FViewStyle = vsIcon;
  bool FOwnerData = false;
  bool FMultiSelect = false;
  bool FReadOnly = false;
  bool FHideSelection = true;
  bool FShowColumnHeaders = true;
  bool FColumnClick = true;
  bool FRowSelect = false;
  TBorderStyle FBorderStyle = bsSingle;
  TCustomImageList* FLargeImages = nullptr;
  TCustomImageList* FSmallImages = nullptr;
  TListSortType FSortType = lstNone;
  bool FFullDrag = false;
  bool FGridLines = false;
  bool FHotTrack = false;
  std::unique_ptr<TControlCanvas> FCanvas;
  bool FRecreating = false;
};

class TListView : public TCustomListView {
public:
  using TCustomListView::TCustomListView;
};
