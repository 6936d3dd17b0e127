#include "app/SelectFolderDialog.h"

#include "app/FormSkin.h"
#include "skin/shell/SkinSelectDirectoryDialog.h"

TSkinnedFolderDialog::TSkinnedFolderDialog() : FDialog(std::make_unique<TskSkinSelectDirectoryDialog>(nullptr))
{
  FDialog->SetTitle("Select folder");
  FDialog->ShowToolBar = false;
}

TSkinnedFolderDialog::~TSkinnedFolderDialog() = default;

bool TSkinnedFolderDialog::Execute(const String& Title, const String& StartFolder, String& Folder)
{
  FDialog->SetSkinData(ProgramSkinData());
  FDialog->SetCtrlSkinData(ProgramSkinData());
  FDialog->SetTitle(Title);
  FDialog->SetDirectory(StartFolder);
  if (!FDialog->Execute()) return false;
  Folder = FDialog->GetDirectory();
  return true;
}
