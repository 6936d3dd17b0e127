#include "skin/shell/SkinShellListView.h"

#include <algorithm>

#include "platform/rtl/DateUtils.h"
#include "platform/rtl/Files.h"
#include "platform/rtl/Format.h"
#include "platform/rtl/Paths.h"
#include "platform/rtl/StrUtils.h"
#include "platform/vcl/Forms.h"
#include "platform/win/WinUser.h"
#include "skin/foundation/SkinData.h"
#include "skin/input/SkinEditCommands.h"
#include "skin/shell/SkinShellImages.h"

namespace {

// The name part of a native path ('/' only separates).
String NameOfPath(const String& Path)
{
  const auto p = Path.rfind('/');
  return p == String::npos ? Path : Path.substr(p + 1);
}

// The process-wide cursor around a long operation, restored also on errors.
struct THourGlass {
  TCursor Saved = Screen ? Screen->GetCursor() : crDefault;
  THourGlass()
  {
    if (Screen)
      Screen->SetCursor(crHourGlass);
  }
  ~THourGlass()
  {
    if (Screen)
      Screen->SetCursor(Saved);
  }
};

int Sign(double D) { return D > 0 ? 1 : D < 0 ? -1 : 0; }

}  // namespace

TskCustomShellListView::TskCustomShellListView(TComponent* AOwner) : TskSkinCustomListView(AOwner)
{
  SetOwnerData(true);
  SetHideSelection(false);
  SetSmallImages(ShellSmallImages());
  SetLargeImages(ShellLargeImages());
}

TskCustomShellListView::~TskCustomShellListView()
{
  delete FNotifier;
  FNotifier = nullptr;
  ClearItems();
  delete FRootFolder;
  FRootFolder = nullptr;
}

// ---- properties ----

void TskCustomShellListView::SetRoot(const TRoot& Value)
{
  if (SameText(Value, FRoot))
    return;
  FPrevRoot = FRoot;
  FRoot = Value;
  ClearItems();
  FRootFolder = ResolveRootFolder(FRootFolder, FPrevRoot, FRoot);
  FRootChanged = true;
  RebuildContents();
}

void TskCustomShellListView::SetMask(const String& Value)
{
  if (Value == FMask)
    return;
  FMask = Value;
  RebuildContents();
}

void TskCustomShellListView::SetObjectTypes(TShellObjectTypes Value)
{
  FObjectTypes = Value;
  if (!(GetComponentState() & csLoading))
    RebuildContents();
}

void TskCustomShellListView::SetSorted(bool Value)
{
  if (Value == FSorted)
    return;
  FSorted = Value;
  Populate();
}

void TskCustomShellListView::SetAutoRefresh(bool Value)
{
  FAutoRefresh = Value;
  if (GetComponentState() & csLoading)
    return;
  delete FNotifier;
  FNotifier = nullptr;
  if (Value && FRootFolder) {
    FNotifier = new TskShellChangeNotifier(this);
    FNotifier->SetWatchSubTree(false);
    FNotifier->SetRoot(FRootFolder->GetParsingName());
    FNotifier->SetOnChange([this] { RefreshContents(); });
  }
}

void TskCustomShellListView::SetViewStyle(TViewStyle Value)
{
  TskSkinCustomListView::SetViewStyle(Value);
  if (Value == vsReport)
    BuildColumns();
}

// ---- navigation ----

String TskCustomShellListView::GetFolderPath() const
{
  return FRootFolder ? FRootFolder->GetParsingName() : String();
}

void TskCustomShellListView::SetFolderPath(const String& Path)
{
  LPITEMIDLIST list = nullptr;
  ULONG eaten = 0;
  if (FAILED(DesktopShellFolder()->ParseDisplayName(nullptr, nullptr, Path.c_str(), &eaten, &list, nullptr)) || !list)
    throw EInvalidPath(Format("Error setting path: \"%s\"", Path));
  try {
    SetFolderIdList(list);
  } catch (...) {
    FreeItemIdList(list);
    throw;
  }
  FreeItemIdList(list);
}

void TskCustomShellListView::NavigateTo(LPCITEMIDLIST FullList)
{
  if (FUpdating || (FRootFolder && SameItemIdList(FullList, FRootFolder->GetAbsoluteID())))
    return;
  SetFolderIdList(FullList);
}

void TskCustomShellListView::SetFolderIdList(LPCITEMIDLIST FullList)
{
  if (FUpdating || (FRootFolder && SameItemIdList(FullList, FRootFolder->GetAbsoluteID())))
    return;
  // The list may belong to an item freed below.
  LPITEMIDLIST copy = CloneItemIdList(FullList);
  ClearItems();
  delete FRootFolder;
  FRootFolder = nullptr;
  FRootChanged = false;
  try {
    FRootFolder = CreateItemForIdList(copy);
  } catch (...) {
    FreeItemIdList(copy);
    throw;
  }
  FreeItemIdList(copy);
  RebuildContents();
  if (OnNavigated)
    OnNavigated(this);
}

void TskCustomShellListView::GoUp()
{
  if (!FRootFolder || CountItemIds(FRootFolder->GetAbsoluteID()) == 0)
    return;
  LPITEMIDLIST up = CloneItemIdList(FRootFolder->GetAbsoluteID());
  TrimLastItemId(up);
  try {
    SetFolderIdList(up);
  } catch (...) {
    FreeItemIdList(up);
    throw;
  }
  FreeItemIdList(up);
}

void TskCustomShellListView::RefreshContents()
{
  if (!FRootFolder)
    return;
  TListItem* selected = GetSelected();
  const int index = selected ? selected->GetIndex() : -1;
  ClearSelection();
  LPITEMIDLIST copy = CloneItemIdList(FRootFolder->GetAbsoluteID());
  ClearItems();
  delete FRootFolder;
  FRootFolder = nullptr;
  try {
    SetFolderIdList(copy);
  } catch (...) {
    FreeItemIdList(copy);
    throw;
  }
  FreeItemIdList(copy);
  if (index >= 0 && index < FolderCount()) {
    SetItemIndex(index);
    GetItems()->GetItem(index)->SetFocused(true);
  }
}

TskShellFolder* TskCustomShellListView::SelectedFolder()
{
  TListItem* item = GetSelected();
  return item ? Folders(item->GetIndex()) : nullptr;
}

TskShellFolder* TskCustomShellListView::Folders(int Index) const
{
  if (Index < 0 || Index >= FolderCount())
    return nullptr;
  return FFolders[static_cast<std::size_t>(Index)];
}

String TskCustomShellListView::GetSelectedFile()
{
  TskShellFolder* item = SelectedFolder();
  return item && !item->IsFolder() ? item->GetFileSystemPath() : String();
}

void TskCustomShellListView::GetSelectedFiles(TStrings* List)
{
  List->Clear();
  if (!HandleAllocated())
    return;
  for (TListItem* item = GetNextItem(nullptr, sdAll, isSelected); item;
       item = GetNextItem(item, sdAll, isSelected)) {
    TskShellFolder* folder = Folders(item->GetIndex());
    if (folder && !folder->IsFolder())
      List->Add(folder->GetFileSystemPath());
  }
}

void TskCustomShellListView::EditSelected()
{
  if (TListItem* item = GetSelected())
    item->EditCaption();
}

// ---- contents ----

void TskCustomShellListView::ClearItems()
{
  if (!(GetComponentState() & csDestroying) && GetOwnerData())
    GetItems()->SetCount(0);
  for (TskShellFolder* f : FFolders)
    delete f;
  FFolders.clear();
}

void TskCustomShellListView::RebuildContents()
{
  if (FUpdating)
    return;
  FUpdating = true;
  const bool autoRefresh = FAutoRefresh;
  try {
    FAutoRefresh = false;
    delete FNotifier;
    FNotifier = nullptr;
    FRootChanged = false;
    Populate();
    if (GetViewStyle() == vsReport)
      BuildColumns();
    SetAutoRefresh(autoRefresh);
  } catch (...) {
    FAutoRefresh = autoRefresh;
    FUpdating = false;
    throw;
  }
  FUpdating = false;
}

bool TskCustomShellListView::MatchesMaskList(const String& FileName) const
{
  String::size_type start = 0;
  for (;;) {
    const auto sep = FMask.find_first_of(";|", start);
    const String pattern = FMask.substr(start, sep == String::npos ? String::npos : sep - start);
    if (pattern == "*" || (pattern.find('.') != String::npos && MatchesFindPattern(FileName, pattern)))
      return true;
    if (sep == String::npos)
      return false;
    start = sep + 1;
  }
}

void TskCustomShellListView::Populate()
{
  if ((GetComponentState() & csLoading) && !HandleAllocated())
    return;
  GetItems()->BeginUpdate();
  try {
    ClearItems();
    THourGlass cursor;
    if (FRootFolder && FRootFolder->GetShellFolder()) {
      IShellFolder* folder = FRootFolder->GetShellFolder();
      TComRef<IEnumIDList> list;
      if (SUCCEEDED(folder->EnumObjects(nullptr, ObjectTypesToEnumFlags(FObjectTypes), list.Put())) && list) {
        LPITEMIDLIST id = nullptr;
        ULONG fetched = 0;
        while (list->Next(1, &id, &fetched) == S_OK && fetched == 1) {
          auto child = TComRef<IShellFolder>::Adopt(BindChildFolder(folder, id, nullptr));
          auto* item = new TskShellFolder(FRootFolder, child.Get(), id);
          FreeItemIdList(id);
          id = nullptr;
          bool canAdd = item->IsFolder() || MatchesMaskList(NameOfPath(item->GetFileSystemPath()));
          if (OnAddFolder)
            OnAddFolder(this, item, canAdd);
          if (canAdd)
            FFolders.push_back(item);
          else
            delete item;
        }
      }
    }
    GetItems()->SetCount(FolderCount());
    if (FSorted)
      SortItems(false);
  } catch (...) {
    GetItems()->EndUpdate();
    throw;
  }
  GetItems()->EndUpdate();
}

// ---- sorting ----

int TskCustomShellListView::CompareItems(TskShellFolder* A, TskShellFolder* B, bool ByColumn)
{
  return CompareItems(A, B, ByColumn, A->IsFolder(), B->IsFolder());
}

int TskCustomShellListView::CompareItems(TskShellFolder* A, TskShellFolder* B, bool ByColumn, bool folderA,
                                         bool folderB)
{
  int base = (folderB ? 1 : 0) - (folderA ? 1 : 0);
  if (folderA == folderB)
    base = static_cast<short>(static_cast<unsigned>(A->GetParentShellFolder()->CompareIDs(0, A->GetRelativeID(), B->GetRelativeID())) & 0xFFFF);
  if (!ByColumn)
    return base;
  if (FSortColumn != 0) {
    HWND wnd = HandleAllocated() ? GetHandle() : nullptr;
    LoadColumnDetails(A, FRootFolder, wnd, 4);
    LoadColumnDetails(B, FRootFolder, wnd, 4);
    // Details of the file system (a date and time in the modified column) sort by column;
    // other details keep the namespace's order.
    const String modified = A->GetDetails()->GetCount() >= 3 ? A->GetDetails()->Get(2) : String();
    if (modified.find(TimeSeparator) == String::npos)
      return FDescending ? -base : base;
  }
  int result = base;
  if (folderA != folderB) {
    result = folderA ? -1 : 1;
  } else {
    switch (FSortColumn) {
      case 0: result = AnsiCompareText(A->GetDisplayName(), B->GetDisplayName()); break;
      case 1:
        if (!folderA) {
          const Int64 a = FindDataSize(A->GetFindData()), b = FindDataSize(B->GetFindData());
          result = a == b ? 0 : a > b ? 1 : -1;
        }
        break;
      case 2: {
        auto detail = [](TskShellFolder* F) {
          return F->GetDetails()->GetCount() >= 2 ? F->GetDetails()->Get(1) : String();
        };
        result = AnsiCompareText(detail(A), detail(B));
        break;
      }
      case 3: result = Sign(FindDataModified(A->GetFindData()) - FindDataModified(B->GetFindData())); break;
      default: break;
    }
  }
  return FDescending ? -result : result;
}

void TskCustomShellListView::SortItems(bool ByColumn)
{
  // Whether each item is a folder is asked once, not at every comparison.
  struct TEntry {
    TskShellFolder* Item;
    bool Folder;
  };
  std::vector<TEntry> entries;
  entries.reserve(FFolders.size());
  for (TskShellFolder* f : FFolders)
    entries.push_back({f, f->IsFolder()});
  std::stable_sort(entries.begin(), entries.end(), [&](const TEntry& A, const TEntry& B) {
    return CompareItems(A.Item, B.Item, ByColumn, A.Folder, B.Folder) < 0;
  });
  for (std::size_t i = 0; i < entries.size(); ++i)
    FFolders[i] = entries[i].Item;
  if (HandleAllocated())
    Invalidate();
}

void TskCustomShellListView::ClickColumn(int Index)
{
  if (GetColumns()->GetCount() < 4 && Index != 0)
    return;
  FPrevSortColumn = FSortColumn;
  FSortColumn = Index;
  FDescending = (FPrevSortColumn == FSortColumn && FPrevSortColumn >= 0) ? !FDescending : false;
  GetItems()->BeginUpdate();
  try {
    SortItems(true);
  } catch (...) {
    GetItems()->EndUpdate();
    throw;
  }
  GetItems()->EndUpdate();
}

void TskCustomShellListView::ColClick(TListColumn* Column)
{
  TskSkinCustomListView::ColClick(Column);
  ClickColumn(Column->GetIndex());
}

// ---- columns and rows ----

void TskCustomShellListView::BuildColumns()
{
  if (!FRootFolder || !FRootFolder->GetShellFolder())
    return;
  TListColumns* columns = GetColumns();
  columns->BeginUpdate();
  try {
    columns->Clear();
    if (HandleAllocated())
      FRootFolder->SetViewHandle(GetHandle());
    TskResourceStrData* strings = GetSkinDataComponent() ? GetSkinDataComponent()->GetResourceStrData() : nullptr;
    const int unit = GetCanvas() && HandleAllocated() ? std::max(1, GetCanvas()->TextWidth("X")) : 8;
    struct TFixed {
      const char* Key;
      const char* Text;
      TAlignment Align;
      int Units;
    } const fixed[] = {{"FLV_NAME", "Name", taLeftJustify, 25},
                       {"FLV_SIZE", "Size", taRightJustify, 10},
                       {"FLV_TYPE", "Type", taLeftJustify, 10},
                       {"FLV_MODIFIED", "Modified", taLeftJustify, 14}};
    const int count = (FRootFolder->GetProperties() & spFileSystem) ? 4 : 1;
    for (int i = 0; i < count; ++i) {
      TListColumn* c = columns->Add();
      c->SetCaption(EditMenuCaption(strings, fixed[i].Key, fixed[i].Text));
      c->SetAlignment(fixed[i].Align);
      c->SetWidth(unit * fixed[i].Units);
    }
  } catch (...) {
    columns->EndUpdate();
    throw;
  }
  columns->EndUpdate();
}

bool TskCustomShellListView::OwnerDataFetch(TListItem* Item, TItemRequest Request)
{
  TskShellFolder* folder = Folders(Item->GetIndex());
  if (!folder)
    return true;
  if (Request & irText)
    Item->SetCaption(folder->GetDisplayName());
  if (Request & irImage)
    Item->SetImageIndex(folder->GetIconIndex(GetViewStyle() == vsIcon));
  if (GetViewStyle() == vsReport) {
    const int n = GetColumns()->GetCount();
    LoadColumnDetails(folder, FRootFolder, HandleAllocated() ? GetHandle() : nullptr, n - 1);
    Item->GetSubItems()->Clear();
    for (int k = 1; k < n; ++k) {
      String text = folder->GetDetails()->GetCount() >= k ? folder->GetDetail(k) : String();
      if (folder->IsFolder() && (k == 1 || k == 3))
        text.clear();  // the find data's -1 of a folder
      Item->GetSubItems()->Add(text);
    }
  }
  return true;
}

int TskCustomShellListView::OwnerDataFind(TItemFind Find, const String& FindString, const TPoint&, void*,
                                          int StartIndex, TSearchDirection, bool Wrap)
{
  if ((Find != ifPartialString && Find != ifExactString) || StartIndex == -1 || FolderCount() == 0)
    return -1;
  const String wanted = AnsiUpperCase(FindString);
  int i = StartIndex;
  if (i >= FolderCount())
    i = Wrap ? 0 : FolderCount();
  for (int tested = 0; tested < FolderCount(); ++tested) {
    if (i >= FolderCount()) {
      if (!Wrap)
        return -1;
      i = 0;
    }
    if (AnsiUpperCase(Folders(i)->GetDisplayName()).compare(0, wanted.size(), wanted) == 0)
      return i;
    ++i;
    if (i == StartIndex)
      break;
  }
  return -1;
}

// ---- input ----

void TskCustomShellListView::KeyDown(Word& Key, TShiftState Shift)
{
  TskSkinCustomListView::KeyDown(Key, Shift);
  if (!FAutoNavigate)
    return;
  if (Key == VK_BACK && !IsEditing()) {
    GoUp();
  } else if (Key == VK_RETURN) {
    TskShellFolder* item = SelectedFolder();
    if (Shift & ssAlt) {
      if (item)
        item->InvokeVerb("properties");
      Key = 0;
    } else if (item && item->IsFolder()) {
      SetFolderIdList(item->GetAbsoluteID());
    }
  } else if (Key == VK_F5) {
    RefreshContents();
  }
}

void TskCustomShellListView::DblClick()
{
  if (FAutoNavigate) {
    TskShellFolder* item = SelectedFolder();
    if (item && item->IsFolder())
      SetFolderIdList(item->GetAbsoluteID());
  }
  TskSkinCustomListView::DblClick();
}

void TskCustomShellListView::DoContextPopup(const TPoint& MousePos, bool& Handled)
{
  if (FAutoContextMenus && SelectedFolder()) {
    ShowShellContextMenu(this, SelectedFolder(), MousePos.x, MousePos.y);
    Handled = true;
    RefreshContents();
    return;
  }
  TskSkinCustomListView::DoContextPopup(MousePos, Handled);
}

void TskCustomShellListView::BeforeVerb(const String& Verb, bool& Handled)
{
  if (SameText(Verb, "rename")) {
    EditSelected();
    Handled = true;
  } else if (SameText(Verb, "open")) {
    FSavedPath = GetCurrentDir();
    if (TskShellFolder* item = SelectedFolder()) {
      const String path = item->GetParsingName();
      const auto slash = path.rfind('/');
      if (slash != String::npos)
        SetCurrentDir(slash == 0 ? String("/") : path.substr(0, slash));
    }
  }
}

void TskCustomShellListView::AfterVerb(const String& Verb, bool Succeeded)
{
  if (!Succeeded)
    return;
  if (SameText(Verb, "delete") || SameText(Verb, "paste"))
    RefreshContents();
  else if (SameText(Verb, "open") && !FSavedPath.empty())
    SetCurrentDir(FSavedPath);
}

void TskCustomShellListView::Edit(const TLVItem& Item)
{
  TskShellFolder* folder = Folders(Item.iItem);
  if (folder && Item.pszText) {
    folder->Rename(Item.pszText);
    GetItems()->GetItem(Item.iItem)->Update();
  }
}

// ---- window ----

void TskCustomShellListView::CreateWnd()
{
  TskSkinCustomListView::CreateWnd();
  if (!FRootFolder)
    FRootFolder = ResolveRootFolder(FRootFolder, FPrevRoot, FRoot);
  RebuildContents();
}

void TskCustomShellListView::DestroyWnd()
{
  ClearItems();
  TskSkinCustomListView::DestroyWnd();
}

void TskCustomShellListView::Loaded()
{
  TskSkinCustomListView::Loaded();
  Populate();
  SetAutoRefresh(FAutoRefresh);
}

void TskCustomShellListView::WndProc(TMessage& Message)
{
  if (ActiveContextMenu2 && (Message.Msg == WM_INITMENUPOPUP || Message.Msg == WM_DRAWITEM ||
                             Message.Msg == WM_MEASUREITEM || Message.Msg == WM_MENUCHAR)) {
    ActiveContextMenu2->HandleMenuMsg(Message.Msg, Message.WParam, Message.LParam);
    Message.Result = 0;
  }
  TskSkinCustomListView::WndProc(Message);
}
