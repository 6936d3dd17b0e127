#include "skin/shell/SkinShellComboBox.h"

#include <algorithm>

#include "platform/os/ShellFolders.h"
#include "platform/rtl/StrUtils.h"
#include "skin/shell/SkinShellImages.h"
#include "skin/shell/SkinShellTreeView.h"

TskCustomShellComboBox::TskCustomShellComboBox(TComponent* AOwner) : TskSkinCustomComboBox(AOwner)
{
  FSmallImages = ShellSmallImages();
  SetOnListBoxDrawItem([this](TCanvas* Canvas, int Index, int W, int H, TRect R, TOwnerDrawState) {
    DrawListEntry(Canvas, Index, W, H, R, true);
  });
  OnComboBoxDrawItem = [this](TCanvas* Canvas, int Index, int W, int H, TRect R, TOwnerDrawState) {
    DrawListEntry(Canvas, Index, W, H, R, false);
  };
}

TskCustomShellComboBox::~TskCustomShellComboBox()
{
  if (FShellTreeView) FShellTreeView->SetShellComboBox(nullptr);
  if (FShellListView) FShellListView->SetShellComboBox(nullptr);
  for (TskItemEx& entry : FEntries) delete std::exchange(entry.Folder, nullptr);
  FEntries.clear();
  delete FRootFolder;
}

void TskCustomShellComboBox::SetRoot(const TRoot& Value)
{
  if (SameText(Value, FRoot)) return;
  FOldRoot = FRoot;
  FRoot = Value;
  RebuildRoot();
}

void TskCustomShellComboBox::SetObjectTypes(TShellObjectTypes Value)
{
  FObjectTypes = Value;
  RebuildRoot();
}

void TskCustomShellComboBox::SetShellTreeView(TskCustomShellTreeView* Value)
{
  if (FShellTreeView == Value) return;
  TskCustomShellTreeView* old = FShellTreeView;
  FShellTreeView = Value;
  if (old && !Value) old->SetShellComboBox(nullptr);
  if (Value) {
    Value->SetRoot(FRoot);
    Value->SetShellComboBox(this);
    FreeNotification(Value);
  }
}

void TskCustomShellComboBox::SetShellListView(IskShellListView* Value)
{
  if (FShellListView == Value) return;
  if (FShellListView && !Value) FShellListView->SetShellComboBox(nullptr);
  FShellListView = Value;
  if (Value) {
    Value->SetShellRoot(FRoot);
    Value->SetShellComboBox(this);
    FreeNotification(Value->ShellListComponent());
  }
}

void TskCustomShellComboBox::Notification(TComponent* AComponent, TOperation Operation)
{
  TskSkinCustomComboBox::Notification(AComponent, Operation);
  if (Operation != opRemove) return;
  if (AComponent == FShellTreeView) FShellTreeView = nullptr;
  if (FShellListView && AComponent == FShellListView->ShellListComponent()) FShellListView = nullptr;
}

void TskCustomShellComboBox::SetShellImages(bool On)
{
  FShellImages = On;
  SetImages(GetImages());  // the edit area and list keep their own list setting
  if (On) {
    FIconWidth = FSmallImages->GetWidth();
    FIconHeight = FSmallImages->GetHeight();
  } else {
    FIconWidth = 16;
    FIconHeight = 16;
  }
  Invalidate();
}

int TskCustomShellComboBox::EntryImage(const TskShellFolder* Folder) const
{
  return FShellImages ? GetShellIconIndex(Folder->GetAbsoluteID(), false, false) : -1;
}

TskShellFolder* TskCustomShellComboBox::EntryFolder(int Index) const
{
  if (FEntries.empty()) return nullptr;
  if (Index < 0) return nullptr;
  return FEntries[std::min<size_t>(static_cast<size_t>(Index), FEntries.size() - 1)].Folder;
}

int TskCustomShellComboBox::IndexOfIdList(LPCITEMIDLIST FullList) const
{
  for (int i = static_cast<int>(FEntries.size()) - 1; i >= 0; --i)
    if (FEntries[static_cast<size_t>(i)].Folder && SameItemIdList(FEntries[static_cast<size_t>(i)].Folder->GetAbsoluteID(), FullList))
      return i;
  return -1;
}

void TskCustomShellComboBox::RefillStrings()
{
  const bool updating = FUpdatingEntries;
  FUpdatingEntries = true;
  TStrings* items = GetItems();
  const int index = GetItemIndex();
  items->BeginUpdate();
  items->Clear();
  for (const TskItemEx& entry : FEntries) items->Add(entry.Caption);
  items->EndUpdate();
  if (index >= 0 && index < items->GetCount()) SetItemIndex(index);
  FUpdatingEntries = updating;
}

void TskCustomShellComboBox::ClearEntries()
{
  for (TskItemEx& entry : FEntries) delete std::exchange(entry.Folder, nullptr);
  FEntries.clear();
  RefillStrings();
}

void TskCustomShellComboBox::InsertEntry(int Index, TskShellFolder* Folder)
{
  TskItemEx entry;
  entry.Caption = Folder->GetDisplayName();
  entry.Folder = Folder;
  entry.Level = Folder->GetLevel();
  entry.ImageIndex = EntryImage(Folder);
  entry.SelectedImageIndex = entry.ImageIndex;
  FEntries.insert(FEntries.begin() + Index, entry);
}

void TskCustomShellComboBox::AddChildren(int Index, TskShellFolder* Folder)
{
  IShellFolder* folder = Folder->GetShellFolder();
  if (!folder) RaiseOleError(E_FAIL);
  TComRef<IEnumIDList> ids;
  OleCheck(folder->EnumObjects(nullptr, ObjectTypesToEnumFlags(FObjectTypes), ids.Put()));
  std::vector<LPITEMIDLIST> lists;
  LPITEMIDLIST id = nullptr;
  ULONG fetched = 0;
  while (ids->Next(1, &id, &fetched) == S_OK && fetched == 1) lists.push_back(id);
  std::stable_sort(lists.begin(), lists.end(), [folder](LPITEMIDLIST a, LPITEMIDLIST b) {
    return static_cast<SHORT>(folder->CompareIDs(0, a, b) & 0xFFFF) < 0;
  });
  try {
    for (size_t k = 0; k < lists.size(); ++k) {
      TComRef<IShellFolder> child = TComRef<IShellFolder>::Adopt(BindChildFolder(folder, lists[k], nullptr));
      InsertEntry(Index + static_cast<int>(k) + 1, new TskShellFolder(Folder, child.Get(), lists[k]));
    }
  } catch (...) {
    for (LPITEMIDLIST each : lists) FreeItemIdList(each);
    throw;
  }
  for (LPITEMIDLIST each : lists) FreeItemIdList(each);
}

void TskCustomShellComboBox::AddRootChildren()
{
  AddChildren(0, FEntries[0].Folder);
  if (FRoot != "rfDesktop") return;
  LPITEMIDLIST computer = nullptr;
  if (FAILED(SHGetSpecialFolderLocation(nullptr, RootFolderCsidl(rfMyComputer), &computer))) return;
  const int index = IndexOfIdList(computer);
  FreeItemIdList(computer);
  if (index >= 0) AddChildren(index, FEntries[static_cast<size_t>(index)].Folder);
}

void TskCustomShellComboBox::BuildEntries()
{
  if (GetComponentState() & csLoading) return;
  const bool updating = FUpdatingEntries;
  FUpdatingEntries = true;
  try {
    ClearEntries();
    FRootFolder = ResolveRootFolder(FRootFolder, FOldRoot, FRoot);
    InsertEntry(0, new TskShellFolder(nullptr, FRootFolder->GetShellFolder(), FRootFolder->GetAbsoluteID()));
    AddRootChildren();
    RefillStrings();
    SetItemIndex(0);
  } catch (...) {
    FUpdatingEntries = updating;
    throw;
  }
  FUpdatingEntries = updating;
  if (FShellImages) {
    SetShellImages(false);
    SetShellImages(true);
  }
}

void TskCustomShellComboBox::SelectIdList(LPCITEMIDLIST FullList)
{
  const bool updating = FUpdatingEntries;
  FUpdatingEntries = true;
  TList* ancestors = nullptr;
  try {
    BuildEntries();
    FUpdatingEntries = true;
    ancestors = AncestorItemIdLists(FullList);
    int current = -1;
    int deepest = -1;
    for (int i = ancestors->GetCount() - 1; i >= 0 && current < 0; --i) {
      current = IndexOfIdList(static_cast<LPCITEMIDLIST>(ancestors->Get(i)));
      deepest = i;
    }
    if (current >= 0) {
      for (int i = deepest + 1; i < ancestors->GetCount(); ++i) {
        TskShellFolder* parent = FEntries[static_cast<size_t>(current)].Folder;
        LPITEMIDLIST last = LastItemIdCopy(static_cast<LPCITEMIDLIST>(ancestors->Get(i)));
        TComRef<IShellFolder> child = TComRef<IShellFolder>::Adopt(BindChildFolder(parent->GetShellFolder(), last, nullptr));
        InsertEntry(current + 1, new TskShellFolder(parent, child.Get(), last));
        FreeItemIdList(last);
        ++current;
      }
      int index = IndexOfIdList(FullList);
      if (index < 0) {
        TskShellFolder* parent = FEntries[static_cast<size_t>(current)].Folder;
        LPITEMIDLIST last = LastItemIdCopy(FullList);
        TComRef<IShellFolder> child = TComRef<IShellFolder>::Adopt(BindChildFolder(parent->GetShellFolder(), last, nullptr));
        InsertEntry(current + 1, new TskShellFolder(parent, child.Get(), last));
        FreeItemIdList(last);
        index = current + 1;
      }
      RefillStrings();
      SetItemIndex(index);
    }
  } catch (...) {
    FreeItemIdLists(ancestors);
    FUpdatingEntries = updating;
    throw;
  }
  FreeItemIdLists(ancestors);
  FUpdatingEntries = updating;
}

void TskCustomShellComboBox::NavigateTo(LPCITEMIDLIST FullList)
{
  if (FUpdating) return;
  const int selected = GetItemIndex();
  if (selected >= 0 && EntryFolder(selected) && SameItemIdList(EntryFolder(selected)->GetAbsoluteID(), FullList)) return;
  FUpdating = true;
  try {
    SelectIdList(FullList);
  } catch (...) {
    FUpdating = false;
    throw;
  }
  FUpdating = false;
}

void TskCustomShellComboBox::RebuildRoot()
{
  FUpdating = true;
  try {
    ClearEntries();
    BuildEntries();
    if (FShellTreeView) FShellTreeView->SetRoot(FRoot);
    if (FShellListView) FShellListView->SetShellRoot(FRoot);
  } catch (...) {
    FUpdating = false;
    throw;
  }
  FUpdating = false;
}

void TskCustomShellComboBox::Change()
{
  if (FUpdatingEntries) return;
  TskSkinCustomComboBox::Change();
  const int index = GetItemIndex();
  if (index < 0 || FUpdating || GetDroppedDown()) return;
  TskShellFolder* folder = EntryFolder(index);
  if (!folder) return;
  FUpdating = true;
  try {
    if (FShellTreeView) FShellTreeView->SelectByIdList(folder->GetAbsoluteID());
    if (FShellListView) FShellListView->NavigateTo(folder->GetAbsoluteID());
  } catch (...) {
    FUpdating = false;
    throw;
  }
  FUpdating = false;
}

void TskCustomShellComboBox::Click()
{
  if (FUpdatingEntries) {
    TskSkinCustomComboBox::Click();
    return;
  }
  const bool updating = FUpdating;
  FUpdating = true;
  try {
    if (TskShellFolder* folder = EntryFolder(GetItemIndex()); folder && GetItemIndex() >= 0) {
      LPITEMIDLIST copy = CloneItemIdList(folder->GetAbsoluteID());
      try {
        SelectIdList(copy);
      } catch (...) {
        FreeItemIdList(copy);
        throw;
      }
      FreeItemIdList(copy);
    }
    TskSkinCustomComboBox::Click();
  } catch (...) {
    FUpdating = updating;
    throw;
  }
  FUpdating = updating;
}

void TskCustomShellComboBox::DrawListEntry(TCanvas* Canvas, int Index, int, int ItemHeight, TRect TextRect, bool Indented)
{
  if (Index < 0 || Index >= static_cast<int>(FEntries.size())) return;
  const TskItemEx& entry = FEntries[static_cast<size_t>(Index)];
  const int indent = Indented ? entry.Level * FIconWidth / 2 : 0;
  const int height = TextRect.bottom - TextRect.top > 0 ? TextRect.bottom - TextRect.top : ItemHeight;
  const int top = TextRect.top;
  if (FShellImages && entry.ImageIndex >= 0)
    FSmallImages->Draw(Canvas, TextRect.left + indent, top + (height - FIconHeight) / 2, entry.ImageIndex);
  Canvas->GetBrush()->SetStyle(bsClear);
  Canvas->TextOut(TextRect.left + indent + FIconWidth + 4, top + height / 2 - Canvas->TextHeight("Wg") / 2, entry.Caption);
}

void TskCustomShellComboBox::CreateWnd()
{
  TskSkinCustomComboBox::CreateWnd();
  SetShellImages(FShellImages);
  if (FEntries.empty()) BuildEntries();
  RefillStrings();
}

void TskCustomShellComboBox::DestroyWnd()
{
  ClearEntries();
  TskSkinCustomComboBox::DestroyWnd();
}

void TskCustomShellComboBox::Loaded()
{
  TskSkinCustomComboBox::Loaded();
  BuildEntries();
}
