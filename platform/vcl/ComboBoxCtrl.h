// TCustomComboBox / TComboBox: the class library's combo box over the "COMBOBOX" window class,
// with its Items (kept in the window), ItemIndex, Text, drop-down and owner drawing.
#pragma once

#include <memory>

#include "platform/rtl/StringList.h"
#include "platform/vcl/EditCtrls.h"
#include "platform/vcl/ListBoxCtrl.h"

enum TComboBoxStyle { csDropDown, csSimple, csDropDownList, csOwnerDrawFixed, csOwnerDrawVariable };

class TCustomComboBox;

// The combo box's Items: every call goes to the window; without a parent the strings wait in a
// list of their own.
class TComboBoxStrings : public TStrings {
public:
  explicit TComboBoxStrings(TCustomComboBox* ACombo) : FCombo(ACombo) {}
  int Add(const String& S) override;
  void Clear() override;
  void Delete(int Index) override;
  void Insert(int Index, const String& S) override;
  String Get(int Index) const override;
  TObject* GetObject(int Index) const override;
  void PutObject(int Index, TObject* AObject) override;
  int GetCount() const override;
  int IndexOf(const String& S) const override;

protected:
  void SetUpdateState(bool Updating) override;

private:
  TCustomComboBox* FCombo;
};

class TCustomComboBox : public TWinControl {
public:
  explicit TCustomComboBox(TComponent* AOwner);
  ~TCustomComboBox() override;
  void WndProc(TMessage& Message) override;
  // Also while the inner edit has the focus.
  bool Focused() override;

  TStrings* GetItems() const { return FItems.get(); }
  void SetItems(TStrings* Value) { FItems->Assign(Value); }
  int GetItemIndex() const;
  void SetItemIndex(int Value);
  TComboBoxStyle GetStyle() const { return FStyle; }
  void SetStyle(TComboBoxStyle Value);
  bool GetSorted() const { return FSorted; }
  void SetSorted(bool Value);
  int GetDropDownCount() const { return FDropDownCount; }
  void SetDropDownCount(int Value);
  bool GetDroppedDown() const;
  void SetDroppedDown(bool Value);
  int GetItemHeight() const;
  void SetItemHeight(int Value);
  int GetMaxLength() const { return FMaxLength; }
  void SetMaxLength(int Value);
  bool GetAutoComplete() const { return FAutoComplete; }
  void SetAutoComplete(bool Value) { FAutoComplete = Value; }
  // Upper or lower case for the field and the items (CBS_UPPERCASE / CBS_LOWERCASE); a change
  // makes a new window, which converts the items it takes.
  TEditCharCase GetCharCase() const { return FCharCase; }
  void SetCharCase(TEditCharCase Value);
  TCanvas* GetCanvas() const { return FCanvas.get(); }
  // The inner edit of csDropDown / csSimple combos (null otherwise or without a window).
  HWND GetEditHandle() const;
  // The window of the drop-down list (CB_GETCOMBOBOXINFO), there for subclassing; null
  // without a window.
  HWND GetListHandle() const;
  void Clear();

  TNotifyEvent OnChange;
  TNotifyEvent OnSelect;
  TNotifyEvent OnDropDown;
  TNotifyEvent OnCloseUp;
  TDrawItemEvent OnDrawItem;
  TMeasureItemEvent OnMeasureItem;

protected:
  friend class TComboBoxStrings;
  void CreateParams(TCreateParams& Params) override;
  void CreateWnd() override;
  void DestroyWnd() override;
  virtual void Change();
  virtual void Select();
  virtual void DropDown();
  virtual void CloseUp();
  virtual void DrawItem(int Index, const TRect& Rect, TOwnerDrawState State);
  virtual void MeasureItem(int Index, int& Height);
  void KeyPress(char& Key) override;
  HWND ItemsHandle() const;

private:
  std::unique_ptr<TComboBoxStrings> FItems;
  std::unique_ptr<TStringList> FSaveItems;
  std::unique_ptr<TControlCanvas> FCanvas;
  int FSaveIndex = -1;
  TComboBoxStyle FStyle = csDropDown;
  bool FSorted = false;
  int FDropDownCount = 8;
  int FItemHeight = 16;
  int FMaxLength = 0;
  TEditCharCase FCharCase = ecNormal;
  bool FAutoComplete = true;
  String FFilter;
  DWORD FLastTime = 0;
};

class TComboBox : public TCustomComboBox {
public:
  using TCustomComboBox::TCustomComboBox;
};
