// The "Add file(s)" dialog of the main window (xcOpenDialog1): the skinned open dialog in the
// program's skin, with multiple selection, existing files only and the details view, behind the
// intake's TAddFilesDialog; also the option pages' "Browse" for the commands run before and
// after a conversion.
#pragma once

#include <memory>

#include "core/qv_scan.h"

class TskSkinOpenDialog;

class TProgramOpenDialog : public TAddFilesDialog {
public:
  TProgramOpenDialog();
  ~TProgramOpenDialog() override;
  bool Execute(const String& Filter, const String& Title, const String& FileName, std::vector<String>& Files) override;
  // The option pages' "Browse": one file, in the details view, from StartFolder; the dialog is
  // set back to multiple selection afterwards.
  bool ExecuteSingle(const String& Filter, const String& Title, const String& FileName, const String& StartFolder,
                     String& File);
  TskSkinOpenDialog* Dialog() const { return FDialog.get(); }

private:
  std::unique_ptr<TskSkinOpenDialog> FDialog;
};
