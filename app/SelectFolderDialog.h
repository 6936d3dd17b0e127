// The program's folder dialog ("Add folder", the destination folder's "Browse"): the skinned
// select-folder dialog with the program's skin, one instance for the main window's life (as the
// main window streams it: title "Select folder", no tool bar). Each call sets the title and the
// start folder; the dialog keeps its size from one call to the next.
#pragma once

#include <memory>

#include "core/qv_scan.h"

class TskSkinSelectDirectoryDialog;

class TSkinnedFolderDialog : public TAddFolderDialog {
public:
  TSkinnedFolderDialog();
  ~TSkinnedFolderDialog() override;
  // True on OK with the chosen folder (always an existing folder of the file system) in Folder.
  bool Execute(const String& Title, const String& StartFolder, String& Folder) override;
  TskSkinSelectDirectoryDialog* GetDialog() const { return FDialog.get(); }

private:
  std::unique_ptr<TskSkinSelectDirectoryDialog> FDialog;
};
