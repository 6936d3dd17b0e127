// TskSkinCheckListBox: the skinned list box with a check box in front of every item (the DVD
// title picker, whose check marks say which titles to convert). The frame is that of the list
// box (SkinListFrame.h) drawn from a "checklistbox" record, without the horizontal-extent bar;
// the inner list TskCheckListBox keeps a check state per item.
//
// The item model: every item that has been touched has an entry {Data, State, Disabled} owned by
// the inner list; the platform item-data slot of that item points at the entry, and the entry is
// found again only through the list's own table of entries, so item data the application stores
// (Objects) is never taken for an entry. Objects read back what was stored.
//
// Contract:
// - Checked / State / ItemEnabled / Objects of an index outside the items raise EListError
//   ("List index out of bounds (%d)"); ToggleClickCheck of such an index does nothing.
// - Reading the state of an untouched item creates no entry (unchecked, enabled).
// - A click in an item's check area and the space key toggle the item (unchecked -> grayed ->
//   checked -> unchecked with AllowGrayed, else unchecked <-> checked) and raise OnClickCheck
//   with the inner list as Sender; the caption's check button toggles ItemIndex and raises the
//   control's OnClickCheck with the control as Sender.
// - States survive a re-creation of the inner list's window, each staying with its item.
#pragma once

#include <memory>
#include <unordered_map>
#include <vector>

#include "skin/controls/SkinCheckRadioBox.h"
#include "skin/input/SkinListItems.h"

class TskSkinCheckListBox;

class TskCheckListBox : public TskListBox {
public:
  explicit TskCheckListBox(TComponent* AOwner);
  ~TskCheckListBox() override;

  bool GetAllowGrayed() const { return FAllowGrayed; }
  void SetAllowGrayed(bool Value) { FAllowGrayed = Value; }
  bool GetChecked(int Index);
  void SetChecked(int Index, bool Value);
  TCheckBoxState GetState(int Index);
  void SetState(int Index, TCheckBoxState Value);
  bool GetItemEnabled(int Index);
  void ToggleClickCheck(int Index);
  // Whether (X, Y) lies in the check area of the item rectangle R.
  bool InCheckArea(const TRect& R, int X, int Y);
  // The number of item entries the list holds (items touched so far).
  int EntryCount() const { return static_cast<int>(FEntries.size()); }

  TNotifyEvent OnClickCheck;

protected:
  struct TEntry {
    LPARAM Data = 0;
    TCheckBoxState State = cbUnchecked;
    bool Disabled = false;
  };

  LPARAM GetItemData(int Index) override;
  void SetItemData(int Index, LPARAM AData) override;
  void ResetContent() override;
  void DeleteString(int Index) override;
  void CreateWnd() override;
  void DestroyWnd() override;
  void ListWndProc(TMessage& Message) override;
  bool UsesOwnerHook() const override { return false; }
  void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
  void KeyPress(char& Key) override;
  void DrawItemLook(TCanvas* Canvas, int Index, TOwnerDrawState State, const TRect& R) override;

  TEntry* ExtractEntry(int Index);
  TEntry* GetEntry(int Index);
  void FreeEntry(TEntry* Entry);
  void InvalidateCheck(int Index);

  void DrawDefaultCheckItem(TCanvas* Canvas, int Index, TOwnerDrawState State, const TRect& R);
  void DrawSkinCheckItem(TCanvas* Canvas, int Index, TOwnerDrawState State, const TRect& R, bool Stretch);
  void DrawCheckContent(TCanvas* Canvas, int Index, TRect TR);
  void DrawCheckImage(TCanvas* Canvas, TCheckBoxState State, const TRect& CA);

private:
  TskSkinCheckListBox* CheckOwner() const;
  // The raw item-data slot of the platform list.
  LPARAM SlotOf(int Index);

  bool FAllowGrayed = false;
  std::unordered_map<TEntry*, std::unique_ptr<TEntry>> FEntries;
  // Packed states of the items while the window is re-made: (State shl 16) or Disabled.
  std::unique_ptr<std::vector<std::uint32_t>> FSavedStates;
  std::size_t FSavedNext = 0;
};

class TskSkinCheckListBox : public TskSkinListFrame {
public:
  explicit TskSkinCheckListBox(TComponent* AOwner);

  TskCheckListBox* GetCheckListBox() const { return static_cast<TskCheckListBox*>(FListBox); }
  bool GetAllowGrayed() const { return GetCheckListBox()->GetAllowGrayed(); }
  void SetAllowGrayed(bool Value) { GetCheckListBox()->SetAllowGrayed(Value); }
  bool GetAutoComplete() const { return GetCheckListBox()->GetAutoComplete(); }
  void SetAutoComplete(bool Value) { GetCheckListBox()->SetAutoComplete(Value); }
  bool GetChecked(int Index) { return GetCheckListBox()->GetChecked(Index); }
  void SetChecked(int Index, bool Value) { GetCheckListBox()->SetChecked(Index, Value); }
  bool GetItemEnabled(int Index) { return GetCheckListBox()->GetItemEnabled(Index); }
  const TNotifyEvent& GetOnClickCheck() const { return FOnClickCheck; }
  void SetOnClickCheck(TNotifyEvent Value);

  void Clear() override;
  void DefaultFontChanged() override {}

protected:
  bool CopyListRecord(TskDataSkinControl* Record) override;
  void CheckButtonAction() override;
  bool CalcHeightCountsCaption() const override { return false; }
  bool ColumnBarIgnoresItemCount() const override { return true; }

private:
  TNotifyEvent FOnClickCheck;
};
