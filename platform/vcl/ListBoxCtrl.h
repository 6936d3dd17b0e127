// TCustomListBox / TListBox: the class library's list box over the "LISTBOX" window class, with
// its Items (a string list kept in the window), selection, styles and owner drawing.
#pragma once

#include <functional>
#include <memory>

#include "platform/rtl/StringList.h"
#include "platform/vcl/Controls.h"
#include "platform/vcl/Forms.h"
#include "platform/vcl/ListCtrlsConsts.h"

// State of an owner-drawn item: the ODS_ bits of the item record.
using TOwnerDrawState = std::uint32_t;
enum : TOwnerDrawState {
  odSelected = ODS_SELECTED,
  odGrayed = ODS_GRAYED,
  odDisabled = ODS_DISABLED,
  odChecked = ODS_CHECKED,
  odFocused = ODS_FOCUS,
  odDefault = ODS_DEFAULT,
  odHotLight = ODS_HOTLIGHT,
  odInactive = ODS_INACTIVE,
  odNoAccel = ODS_NOACCEL,
  odNoFocusRect = ODS_NOFOCUSRECT,
  odComboBoxEdit = ODS_COMBOBOXEDIT,
};

enum TListBoxStyle { lbStandard, lbOwnerDrawFixed, lbOwnerDrawVariable, lbVirtual, lbVirtualOwnerDraw };

using TDrawItemEvent =
    std::function<void(TWinControl* Control, int Index, const TRect& Rect, TOwnerDrawState State)>;
using TMeasureItemEvent = std::function<void(TWinControl* Control, int Index, int& Height)>;
using TLBGetDataEvent = std::function<void(TWinControl* Control, int Index, String& Data)>;
using TLBGetDataObjectEvent = std::function<void(TWinControl* Control, int Index, TObject*& DataObject)>;
// The index of the item whose text is FindString, -1 for none.
using TLBFindDataEvent = std::function<int(TWinControl* Control, const String& FindString)>;

class TCustomListBox;

// The list box's Items: every call goes to the window (made on demand). Without a parent the
// strings wait in a list of their own and move into the window when it is made. Objects, deletion
// and clearing go through the list box's virtual item operations (GetItemData, SetItemData,
// DeleteString, ResetContent), so a derived list can keep data of its own per item.
class TListBoxStrings : public TStrings {
public:
  explicit TListBoxStrings(TCustomListBox* AListBox) : FListBox(AListBox) {}
  int Add(const String& S) override;
  void Clear() override;
  void Delete(int Index) override;
  void Insert(int Index, const String& S) override;
  String Get(int Index) const override;
  void Put(int Index, const String& S) override;
  TObject* GetObject(int Index) const override;
  void PutObject(int Index, TObject* AObject) override;
  int GetCount() const override;
  int IndexOf(const String& S) const override;

protected:
  void SetUpdateState(bool Updating) override;

private:
  TCustomListBox* FListBox;
};

class TCustomListBox : public TWinControl {
public:
  explicit TCustomListBox(TComponent* AOwner);
  ~TCustomListBox() override;
  void WndProc(TMessage& Message) override;

  TStrings* GetItems() const { return FItems.get(); }
  void SetItems(TStrings* Value) { FItems->Assign(Value); }
  int GetCount() const;
  // Only for lbVirtual / lbVirtualOwnerDraw lists (LB_SETCOUNT); EListError for other styles.
  void SetCount(int Value);
  // The selected item (the focused one with MultiSelect), -1 for none.
  int GetItemIndex() const;
  void SetItemIndex(int Value);
  bool GetSelected(int Index) const;
  void SetSelected(int Index, bool Value);
  int GetSelCount() const;
  int GetTopIndex() const;
  void SetTopIndex(int Value);
  int GetItemHeight() const;
  void SetItemHeight(int Value);
  bool GetMultiSelect() const { return FMultiSelect; }
  void SetMultiSelect(bool Value);
  bool GetExtendedSelect() const { return FExtendedSelect; }
  void SetExtendedSelect(bool Value);
  bool GetSorted() const { return FSorted; }
  void SetSorted(bool Value);
  TListBoxStyle GetStyle() const { return FStyle; }
  void SetStyle(TListBoxStyle Value);
  int GetColumns() const { return FColumns; }
  void SetColumns(int Value);
  bool GetIntegralHeight() const { return FIntegralHeight; }
  void SetIntegralHeight(bool Value);
  TBorderStyle GetBorderStyle() const { return FBorderStyle; }
  void SetBorderStyle(TBorderStyle Value);
  int GetTabWidth() const { return FTabWidth; }
  void SetTabWidth(int Value);
  // The horizontal extent in pixels (LB_SETHORIZONTALEXTENT).
  int GetScrollWidth() const;
  void SetScrollWidth(int Value);
  bool GetAutoComplete() const { return FAutoComplete; }
  void SetAutoComplete(bool Value) { FAutoComplete = Value; }
  TCanvas* GetCanvas() const { return FCanvas.get(); }

  // The list operations (derived lists replace them).
  virtual void AddItem(const String& Item, TObject* AObject);
  virtual void Clear();
  virtual void ClearSelection();
  virtual void DeleteSelected();
  // Only with MultiSelect.
  virtual void SelectAll();
  // The item at Pos (client coordinates). Inside the client area but on no item: -1 with
  // Existing, else Count. Outside the client area: -1.
  int ItemAtPos(const TPoint& Pos, bool Existing);
  TRect ItemRect(int Index);

  TDrawItemEvent OnDrawItem;
  TMeasureItemEvent OnMeasureItem;
  TLBGetDataEvent OnData;
  TLBGetDataObjectEvent OnDataObject;
  TLBFindDataEvent OnDataFind;

protected:
  friend class TListBoxStrings;
  void CreateParams(TCreateParams& Params) override;
  void CreateWnd() override;
  void DestroyWnd() override;
  virtual void DrawItem(int Index, const TRect& Rect, TOwnerDrawState State);
  virtual void MeasureItem(int Index, int& Height);
  void KeyPress(char& Key) override;
  virtual void CNDrawItem(TMessage& Message);
  virtual void CNMeasureItem(TMessage& Message);
  virtual void CNCommand(TMessage& Message);
  // The text of a virtual list's item (OnData).
  virtual String DoGetData(int Index);
  // The object of a virtual list's item (OnDataObject; null without a handler).
  virtual TObject* DoGetDataObject(int Index);
  // The item of a virtual list with the text Data (OnDataFind; -1 without a handler).
  virtual int DoFindData(const String& Data);
  // The data slot of item Index (LB_GETITEMDATA); LB_ERR for an index the list does not hold.
  virtual LPARAM GetItemData(int Index);
  // Sets the data slot of item Index (LB_SETITEMDATA); restoring the items of a new window
  // calls it for every item, in order.
  virtual void SetItemData(int Index, LPARAM AData);
  // Removes every item (LB_RESETCONTENT); nothing for a virtual list.
  virtual void ResetContent();
  // Removes item Index (LB_DELETESTRING).
  virtual void DeleteString(int Index);
  // Puts another item store in place of Items (a derived list with strings of its own kind).
  // A store that is not a TListBoxStrings reaches the window itself; the strings saved across
  // a new window still go back through LB_ADDSTRING and SetItemData.
  void ReplaceItems(std::unique_ptr<TStrings> AItems);
  // The window when one exists or can be made (a parent is there), else null.
  HWND ItemsHandle() const;
  bool IsVirtual() const { return FStyle == lbVirtual || FStyle == lbVirtualOwnerDraw; }

private:
  // Keeps the saved selection on its items when the strings waiting for the window change.
  void SavedItemsMoved(int Index, bool Inserted);
  std::unique_ptr<TStrings> FItems;
  std::unique_ptr<TStringList> FSaveItems;
  std::unique_ptr<TControlCanvas> FCanvas;
  int FSaveItemIndex = -1;
  int FSaveTopIndex = 0;
  int FSaveCount = 0;
  std::vector<int> FSaveSelected;
  int FItemHeight = 16;
  bool FMultiSelect = false;
  bool FExtendedSelect = true;
  bool FSorted = false;
  TListBoxStyle FStyle = lbStandard;
  int FColumns = 0;
  bool FIntegralHeight = false;
  TBorderStyle FBorderStyle = bsSingle;
  int FTabWidth = 0;
  int FScrollWidth = 0;
  bool FAutoComplete = true;
  String FFilter;
  DWORD FLastTime = 0;
};

class TListBox : public TCustomListBox {
public:
  using TCustomListBox::TCustomListBox;
};
