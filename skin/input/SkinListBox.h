// TskSkinCustomListBox / TskSkinListBox: the skinned list box of the program's windows (the
// device list, the remembered folders, the skip list) and the base of the combo box's drop-down
// list. A skinned frame (SkinListFrame.h) around an owner-drawn TskListBox, with a second,
// horizontal scroll bar for items wider than the list when HorizontalExtent is on.
//
// Contract: as SkinListFrame.h; the record name is "listbox" (a "checklistbox" record is
// accepted too). With HorizontalExtent the widest item is measured on every refresh; its bar
// shifts the item text and images (not tabbed text) by its position in pixels.
#pragma once

#include "skin/input/SkinListFrame.h"

class TskSkinCustomListBox : public TskSkinListFrame {
public:
  explicit TskSkinCustomListBox(TComponent* AOwner);

  bool GetHorizontalExtent() const { return FHorizontalExtent; }
  void SetHorizontalExtent(bool Value);

protected:
  bool UsesHorizontalExtent() const override { return true; }
};

class TskSkinListBox : public TskSkinCustomListBox {
public:
  using TskSkinCustomListBox::TskSkinCustomListBox;
};
