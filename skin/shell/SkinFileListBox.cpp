#include "skin/shell/SkinFileListBox.h"

#include "platform/rtl/Files.h"
#include "platform/rtl/Paths.h"
#include "platform/rtl/StrUtils.h"
#include "platform/vcl/EditCtrls.h"
#include "platform/vcl/Forms.h"
#include "skin/shell/SkinDirectoryListBox.h"
#include "skin/shell/SkinFilePaths.h"
#include "skin/shell/SkinFilterComboBox.h"

namespace {

// The search attributes of the members spftReadOnly to spftArchive.
int SearchAttributes(TskFileType Type)
{
  static const int attrs[] = {faReadOnly, faHidden, faSysFile, faVolumeID, faDirectory, faArchive};
  int a = 0;
  for (int i = 0; i < 6; ++i)
    if (Type & (1u << i))
      a |= attrs[i];
  return a;
}

// Restores the screen cursor when reading ends, also on errors.
struct TCursorRestore {
  TCursor Saved = Screen ? Screen->GetCursor() : crDefault;
  ~TCursorRestore()
  {
    if (Screen)
      Screen->SetCursor(Saved);
  }
};

}  // namespace

TskSkinFileListBox::TskSkinFileListBox(TComponent* AOwner) : TskSkinListBox(AOwner)
{
  SetWidth(145);
  FDirectory = GetCurrentDir();
  SetMultiSelect(false);
  SetSorted(true);
}

TskSkinFileListBox::~TskSkinFileListBox()
{
  if (FDirList)
    FDirList->SetFileList(nullptr);
  if (FFilterCombo)
    FFilterCombo->SetFileList(nullptr);
  SetFileEdit(nullptr);
}

void TskSkinFileListBox::CreateWnd()
{
  TskSkinListBox::CreateWnd();
  ReadFileNames();
}

void TskSkinFileListBox::Loaded()
{
  TskSkinListBox::Loaded();
  if (GetComponentState() & csDesigning) {
    FDirectory = GetCurrentDir();
    ReadFileNames();
  }
}

void TskSkinFileListBox::SetMask(const String& Value)
{
  if (Value == FMask)
    return;
  FMask = Value;
  ReadFileNames();
}

void TskSkinFileListBox::SetFileType(TskFileType Value)
{
  if (Value == FFileType)
    return;
  FFileType = Value;
  ReadFileNames();
}

void TskSkinFileListBox::SetDirectory(const String& Value)
{
  if (Value == FDirectory)
    return;
  if (IsExistingDirectory(FDirectory))
    SetCurrentDir(FDirectory);
  ChangeDirectory(Value);
  FDirectory = GetCurrentDir();
  ReadFileNames();
}

void TskSkinFileListBox::ReadFileNames()
{
  if (!HandleAllocated())
    return;
  const int attr = SearchAttributes(FFileType);
  ChangeDirectory(FDirectory);
  Clear();
  {
    TCursorRestore cursor;
    TStrings* items = GetItems();
    TStringsUpdate update(items);
    String::size_type start = 0;
    for (;;) {
      const auto semi = FMask.find(';', start);
      const String pattern = FMask.substr(start, semi == String::npos ? String::npos : semi - start);
      TSearchRec sr;
      if (!pattern.empty() && FindFirst(AppendPathPart(FDirectory, pattern), attr, sr) == 0) {
        do {
          if ((FFileType & FileTypeOf(spftNormal)) || (sr.Attr & attr)) {
            const String text = (sr.Attr & faDirectory) ? "[" + sr.Name + "]" : sr.Name;
            if (items->Add(text) == 100 && Screen)
              Screen->SetCursor(crHourGlass);
          }
        } while (FindNext(sr) == 0);
        FindClose(sr);
      }
      if (semi == String::npos)
        break;
      start = semi + 1;
    }
  }
  Change();
}

String TskSkinFileListBox::SelectedName() const
{
  const int i = GetItemIndex();
  if (i >= 0 && i < GetItems()->GetCount() && GetSelected(i))
    return GetItems()->Get(i);
  return String();
}

String TskSkinFileListBox::GetFileName() const
{
  const String name = SelectedName();
  return name.empty() ? String() : AppendPathPart(FDirectory, name);
}

void TskSkinFileListBox::Change()
{
  FLastSel = GetItemIndex();
  if (FFileEdit) {
    const String name = SelectedName();
    FFileEdit->SetText(name.empty() ? FMask : name);
    FFileEdit->SelectAll();
  }
  if (OnChange)
    OnChange(this);
}

void TskSkinFileListBox::ListBoxClick()
{
  TskSkinListBox::ListBoxClick();
  if (GetItemIndex() != FLastSel)
    Change();
}

void TskSkinFileListBox::SelectByName(const String& Name)
{
  if (Name == SelectedName())
    return;
  int found = -1;
  TStrings* items = GetItems();
  for (int i = 0; i < items->GetCount(); ++i)
    if (SameText(items->Get(i), Name)) {
      found = i;
      break;
    }
  SetItemIndex(found);
  Change();
}

void TskSkinFileListBox::SetFileName(const String& Value)
{
  if (Value.empty() || Value == GetFileName())
    return;
  char drive = 0;
  String folder, file;
  SplitEditPath(Value, drive, folder, file);
  if (FDirList)
    FDirList->SetDirectory(Value);
  else
    SetDirectory(folder);
  if (file.find_first_of("*?") != String::npos) {
    SetMask(file);
  } else if (!file.empty()) {
    SelectByName(file);
    if (FileExists(AppendPathPart(FDirectory, file)) && SelectedName().empty()) {
      SetMask(file);
      SelectByName(file);
    }
  }
}

void TskSkinFileListBox::SetFileEdit(TCustomEdit* Value)
{
  if (FFileEdit)
    FFileEdit->RemoveFreeNotification(this);
  FFileEdit = Value;
  if (FFileEdit) {
    FFileEdit->FreeNotification(this);
    const String name = SelectedName();
    FFileEdit->SetText(name.empty() ? FMask : name);
  }
}

void TskSkinFileListBox::Notification(TComponent* AComponent, TOperation Operation)
{
  TskSkinListBox::Notification(AComponent, Operation);
  if (Operation != opRemove)
    return;
  if (AComponent == FFileEdit)
    FFileEdit = nullptr;
  else if (AComponent == FDirList)
    FDirList = nullptr;
  else if (AComponent == FFilterCombo)
    FFilterCombo = nullptr;
}
