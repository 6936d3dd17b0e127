// How the shell controls (folder tree, folder combo box, file list view) follow one another. A
// control links its partners; a new partner gets the linking control's Root and a link back;
// when one moves to a folder the others are told its full id list.
#pragma once

#include "platform/os/ItemIdList.h"
#include "platform/rtl/System.h"

class TComponent;
class TskCustomShellTreeView;
class TskCustomShellComboBox;

// What the file list view offers the tree and the combo box.
class IskShellListView {
public:
  // The component itself (for free notification).
  virtual TComponent* ShellListComponent() = 0;
  virtual void SetShellRoot(const String& Root) = 0;
  virtual void NavigateTo(LPCITEMIDLIST FullList) = 0;
  virtual void SetShellTreeView(TskCustomShellTreeView* Tree) = 0;
  virtual void SetShellComboBox(TskCustomShellComboBox* Combo) = 0;

protected:
  ~IskShellListView() = default;
};
