#include "app/ProgramOpenDialog.h"

#include "app/FormSkin.h"
#include "skin/shell/SkinOpenDialog.h"

TProgramOpenDialog::TProgramOpenDialog() : FDialog(std::make_unique<TskSkinOpenDialog>(nullptr))
{
  FDialog->MultiSelection = true;
  FDialog->CheckFileExists = true;
  FDialog->LVHeaderSkinDataName = "resizebutton";
}

TProgramOpenDialog::~TProgramOpenDialog() = default;

bool TProgramOpenDialog::Execute(const String& Filter, const String& Title, const String& FileName,
                                 std::vector<String>& Files)
{
  TskSkinOpenDialog& d = *FDialog;
  d.SetSkinData(ProgramSkinData());
  d.SetCtrlSkinData(ProgramSkinData());
  d.Filter = Filter;
  d.Title = Title;
  d.SetFileName(FileName);
  d.ViewStyle = 3;
  d.InitialDir = InitialDir;
  if (!d.Execute())
    return false;
  Files.clear();
  for (int i = 0; i < d.GetFiles()->GetCount(); ++i)
    Files.push_back(d.GetFiles()->Get(i));
  return true;
}
