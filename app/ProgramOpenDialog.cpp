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

namespace {

void Prepare(TskSkinOpenDialog& D, const String& Filter, const String& Title, const String& FileName,
             const String& StartFolder)
{
  D.SetSkinData(ProgramSkinData());
  D.SetCtrlSkinData(ProgramSkinData());
  D.Filter = Filter;
  D.Title = Title;
  D.SetFileName(FileName);
  D.ViewStyle = 3;
  D.InitialDir = StartFolder;
}

}  // namespace

bool TProgramOpenDialog::ExecuteSingle(const String& Filter, const String& Title, const String& FileName,
                                       const String& StartFolder, String& File)
{
  TskSkinOpenDialog& d = *FDialog;
  Prepare(d, Filter, Title, FileName, StartFolder);
  d.MultiSelection = false;
  bool ok = false;
  try {
    ok = d.Execute();
  } catch (...) {
    d.MultiSelection = true;
    throw;
  }
  d.MultiSelection = true;
  if (ok)
    File = d.GetFileName();
  return ok;
}

bool TProgramOpenDialog::Execute(const String& Filter, const String& Title, const String& FileName,
                                 std::vector<String>& Files)
{
  TskSkinOpenDialog& d = *FDialog;
  Prepare(d, Filter, Title, FileName, InitialDir);
  if (!d.Execute())
    return false;
  Files.clear();
  for (int i = 0; i < d.GetFiles()->GetCount(); ++i)
    Files.push_back(d.GetFiles()->Get(i));
  return true;
}
