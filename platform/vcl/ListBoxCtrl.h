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

class TCustomListBox;

// The list box's Items: every call goes to the window (made on demand). Without a parent the
// strings wait in a list of their own and move into the window when it is made.
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
  // Only for lbVirtual / lbVirtualOwnerDraw lists (LB_SETCOUNT).
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

  void Clear();
  void ClearSelection();
  void DeleteSelected();
  void SelectAll();
  // The item at Pos (client coordinates). Inside the client area but on no item: -1 with
  // Existing, else Count. Outside the client area: -1.
  int ItemAtPos(const TPoint& Pos, bool Existing);
  TRect ItemRect(int Index);

  TDrawItemEvent OnDrawItem;
  TMeasureItemEvent OnMeasureItem;
  TLBGetDataEvent OnData;

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
  // The window when one exists or can be made (a parent is there), else null.
  HWND ItemsHandle() const;
  bool IsVirtual() const { return FStyle == lbVirtual || FStyle == lbVirtualOwnerDraw; }

private:
  std::unique_ptr<TListBoxStrings> FItems;
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
