#include "skin/shell/SkinDirectoryListBox.h"

#include "platform/os/Drives.h"
#include "platform/rtl/Files.h"
#include "platform/rtl/Paths.h"
#include "platform/rtl/StrUtils.h"
#include "platform/rtl/StringList.h"
#include "skin/controls/SkinStdLabels.h"
#include "skin/foundation/SkinDrawUtils.h"
#include "skin/input/SkinListItems.h"
#include "skin/shell/SkinDriveComboBox.h"
#include "skin/shell/SkinFileListBox.h"
#include "skin/shell/SkinFilePaths.h"
#include "skin/shell/SkinProgramGlyphs.h"

namespace {

char Lower(char C) { return (C >= 'A' && C <= 'Z') ? static_cast<char>(C + 32) : C; }

// The volume flags of the volume that holds Folder; the case-sensitive bit when they cannot be
// read, as every Linux file system but a few compares names exactly.
bool VolumeIsCaseSensitive(const String& Folder)
{
  const char letter = DriveOfPath(Folder);
  if (letter == 0)
    return true;
  String root(1, letter);
  root += ":\\";
  DWORD flags = 0;
  if (!GetVolumeInformationA(root.c_str(), nullptr, 0, nullptr, nullptr, &flags, nullptr, 0))
    return true;
  return (flags & FS_CASE_SENSITIVE) != 0;
}

}  // namespace

TskSkinDirectoryListBox::TskSkinDirectoryListBox(TComponent* AOwner) : TskSkinListBox(AOwner)
{
  OnDrawItem = [this](TCanvas* Cnvs, int Index, int, int, TRect TxtRect, TOwnerDrawState) {
    DrawDirItem(Cnvs, Index, TxtRect);
  };
  SetWidth(145);
  SetSorted(false);
  ReadBitmaps();
  FDirectory = GetCurrentDir();
}

TskSkinDirectoryListBox::~TskSkinDirectoryListBox()
{
  SetFileList(nullptr);
  if (FDriveCombo)
    FDriveCombo->SetDirList(nullptr);
}

void TskSkinDirectoryListBox::ReadBitmaps()
{
  FClosedBMP = LoadProgramGlyph("SK_CLOSEDFOLDER");
  FOpenedBMP = LoadProgramGlyph("SK_OPENFOLDER");
  FCurrentBMP = LoadProgramGlyph("SK_CURRENTFOLDER");
}

char TskSkinDirectoryListBox::GetDrive() const { return DriveOfPath(FDirectory); }

TBitmap* TskSkinDirectoryListBox::ItemGlyph(int Index) const
{
  if (Index < 0 || Index >= GetItems()->GetCount())
    return nullptr;
  return dynamic_cast<TBitmap*>(GetItems()->GetObject(Index));
}

void TskSkinDirectoryListBox::BuildList()
{
  TStrings* items = GetItems();
  {
    TStringsUpdate update(items);
    items->Clear();
    FCaseSensitive = VolumeIsCaseSensitive(FDirectory);
    // The root "/" and every folder on the way down, then the current folder.
    const String& remainder = FDirectory;
    if (!remainder.empty()) {
      if (remainder.back() != '/') {
        String::size_type start = 0;
        bool first = true;
        for (;;) {
          const auto p = remainder.find('/', start);
          if (p == String::npos)
            break;
          String piece = remainder.substr(start, p - start);
          if (first)
            piece += "/";
          first = false;
          items->AddObject(piece, FOpenedBMP.get());
          start = p + 1;
        }
        FCurrentIndex = items->AddObject(remainder.substr(start), FCurrentBMP.get());
      } else {
        FCurrentIndex = items->AddObject(remainder, FCurrentBMP.get());
      }
    }
    // The subfolders, sorted.
    TStringList names;
    names.SetSorted(true);
    names.SetDuplicates(dupAccept);
    TSearchRec sr;
    if (FindFirst(AppendPathPart(FDirectory, "*.*"), faDirectory, sr) == 0) {
      do {
        if ((sr.Attr & faDirectory) && sr.Name != "." && sr.Name != "..")
          names.Add(sr.Name);
      } while (FindNext(sr) == 0);
      FindClose(sr);
    }
    for (int i = 0; i < names.GetCount(); ++i)
      items->AddObject(names.Get(i), FClosedBMP.get());
  }
  if (HandleAllocated() && FCurrentIndex >= 0 && FCurrentIndex < items->GetCount()) {
    SetItemIndex(FCurrentIndex);
    UpdateScrollBars();
  }
}

String TskSkinDirectoryListBox::GetItemPath(int Index) const
{
  const String& cur = FDirectory;
  if (Index < 0 || Index >= GetItems()->GetCount())
    return String();
  if (Index == 0)
    return "/";
  TBitmap* glyph = ItemGlyph(Index);
  if (glyph == FClosedBMP.get())
    return AppendPathPart(cur, GetItems()->Get(Index));
  if (glyph == FCurrentBMP.get())
    return cur;
  // An open folder on the way down: the path up to its separator.
  int count = 0;
  String::size_type pos = 0;
  for (; pos < cur.size(); ++pos) {
    if (cur[pos] == '/' && ++count == Index + 1)
      break;
  }
  return cur.substr(0, pos);
}

bool TskSkinDirectoryListBox::SameDirectory(const String& A, const String& B) const
{
  return FCaseSensitive ? A == B : SameText(A, B);
}

void TskSkinDirectoryListBox::SetDirectory(const String& Value)
{
  if (Value.empty() || SameDirectory(Value, FDirectory))
    return;
  char drive = 0;
  String folder, file;
  SplitEditPath(Value, drive, folder, file);
  if (Lower(GetDrive()) != Lower(drive)) {
    FInSetDir = true;
    try {
      if (FDriveCombo)
        FDriveCombo->SetDrive(drive);
      else
        SetDrive(drive);
    } catch (...) {
      FInSetDir = false;
      throw;
    }
    FInSetDir = false;
  }
  if (IsExistingDirectory(FDirectory))
    SetCurrentDir(FDirectory);
  ChangeDirectory(folder);
  FDirectory = GetCurrentDir();
  BuildList();
  Change();
}

void TskSkinDirectoryListBox::SetDrive(char Value)
{
  if (Lower(Value) == Lower(GetDrive()))
    return;
  if (Value != 0) {
    const String root = DriveRootFolder(Value);
    if (!root.empty() && SetCurrentDir(root))
      FDirectory = GetCurrentDir();
  }
  if (!FInSetDir) {
    BuildList();
    Change();
  }
}

void TskSkinDirectoryListBox::Change()
{
  if (FFileList)
    FFileList->SetDirectory(FDirectory);
  UpdateDirLabel();
  if (OnChange)
    OnChange(this);
}

void TskSkinDirectoryListBox::UpdateDirLabel()
{
  if (!FDirLabel)
    return;
  const int width = FDirLabel->GetAutoSize() ? GetWidth() : FDirLabel->GetWidth();
  FDirLabel->SetCaption(ShortenPathToWidth(FDirectory, FDirLabel->GetCanvas(), width));
}

void TskSkinDirectoryListBox::OpenCurrent() { SetDirectory(GetItemPath(GetItemIndex())); }

void TskSkinDirectoryListBox::ListBoxDblClick()
{
  TskSkinListBox::ListBoxDblClick();
  OpenCurrent();
}

void TskSkinDirectoryListBox::ListBoxKeyPress(char& Key)
{
  TskSkinListBox::ListBoxKeyPress(Key);
  if (Key == 13)
    OpenCurrent();
}

void TskSkinDirectoryListBox::SetFileList(TskSkinFileListBox* Value)
{
  if (FFileList) {
    FFileList->FDirList = nullptr;
    FFileList->RemoveFreeNotification(this);
  }
  FFileList = Value;
  if (FFileList) {
    FFileList->FDirList = this;
    FFileList->FreeNotification(this);
  }
}

void TskSkinDirectoryListBox::SetDirLabel(TskSkinStdLabel* Value)
{
  if (FDirLabel)
    FDirLabel->RemoveFreeNotification(this);
  FDirLabel = Value;
  if (FDirLabel)
    FDirLabel->FreeNotification(this);
  UpdateDirLabel();
}

void TskSkinDirectoryListBox::Notification(TComponent* AComponent, TOperation Operation)
{
  TskSkinListBox::Notification(AComponent, Operation);
  if (Operation != opRemove)
    return;
  if (AComponent == FFileList)
    FFileList = nullptr;
  else if (AComponent == FDriveCombo)
    FDriveCombo = nullptr;
  else if (AComponent == FDirLabel)
    FDirLabel = nullptr;
}

void TskSkinDirectoryListBox::CreateWnd()
{
  TskSkinListBox::CreateWnd();
  BuildList();
}

void TskSkinDirectoryListBox::Loaded()
{
  TskSkinListBox::Loaded();
  if (GetComponentState() & csDesigning) {
    FDirectory = GetCurrentDir();
    BuildList();
  }
}

int TskSkinDirectoryListBox::ItemIndent(int Index) const
{
  if (ItemGlyph(Index) == FClosedBMP.get())
    return (CountPathLevels(FDirectory) + 1) * 4 + 2;
  return Index * 4 + 2;
}

int TskSkinDirectoryListBox::ItemTextWidth(int Index, TCanvas* Canvas)
{
  TBitmap* glyph = ItemGlyph(Index);
  const int w = glyph ? glyph->GetWidth() : 16;
  return TskSkinListBox::ItemTextWidth(Index, Canvas) + w + ItemIndent(Index) + 4;
}

void TskSkinDirectoryListBox::DrawDirItem(TCanvas* Cnvs, int Index, TRect R)
{
  if (Index < 0 || Index >= GetItems()->GetCount())
    return;
  const int s = GetListBox()->GetHorzOffset();
  int indent = Index * 4 + 2;
  int w = 16;
  if (TBitmap* glyph = ItemGlyph(Index)) {
    indent = ItemIndent(Index);
    w = glyph->GetWidth();
    const int h = glyph->GetHeight();
    const TColor transparent = glyph->GetCanvas()->GetPixels(0, h - 1);
    const int left = R.left + indent - s;
    const int top = (R.top + R.bottom - h) / 2;
    Cnvs->BrushCopy(TRect{left, top, left + w, top + h}, glyph, TRect{0, 0, w, h}, transparent);
  }
  Cnvs->GetBrush()->SetStyle(bsClear);
  TRect tr = R;
  tr.left = R.left + w + indent - s + 6;
  DrawTextVCenteredOffset(Cnvs, GetItems()->Get(Index), tr, 0);
}
