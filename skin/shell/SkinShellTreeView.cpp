#include "skin/shell/SkinShellTreeView.h"

#include <vector>

#include "platform/os/ShellFolders.h"
#include "platform/rtl/Files.h"
#include "platform/rtl/Paths.h"
#include "platform/rtl/StrUtils.h"
#include "platform/vcl/Menus.h"
#include "skin/shell/SkinShellComboBox.h"
#include "skin/shell/SkinShellImages.h"

namespace {

// The shell's order of two sibling nodes: CompareIDs of their parent folder.
int CompareNodeIds(LPARAM A, LPARAM B, LPARAM Data)
{
  auto* folder = reinterpret_cast<IShellFolder*>(Data);
  const auto* first = static_cast<TskShellFolder*>(reinterpret_cast<TTreeNode*>(A)->GetData());
  const auto* second = static_cast<TskShellFolder*>(reinterpret_cast<TTreeNode*>(B)->GetData());
  if (!folder || !first || !second) return 0;
  return static_cast<SHORT>(folder->CompareIDs(0, first->GetRelativeID(), second->GetRelativeID()) & 0xFFFF);
}

// Sets the hourglass for as long as it lives.
class THourGlass {
public:
  THourGlass() : FSaved(Screen ? Screen->GetCursor() : crDefault)
  {
    if (Screen) Screen->SetCursor(crHourGlass);
  }
  ~THourGlass()
  {
    if (Screen) Screen->SetCursor(FSaved);
  }

private:
  TCursor FSaved;
};

// The full id list a node shows, built from its item's parent and relative id.
LPITEMIDLIST NodeFullList(const TskShellFolder* Item)
{
  if (Item->GetParent()) return JoinItemIdLists(Item->GetParent()->GetAbsoluteID(), Item->GetRelativeID());
  return CloneItemIdList(Item->GetRelativeID());
}

}  // namespace

TskCustomShellTreeView::TskCustomShellTreeView(TComponent* AOwner) : TskSkinCustomTreeView(AOwner)
{
  SetShowRoot(false);
  SetRightClickSelect(true);
  SetReadOnly(true);
  FNotifier = new TskShellChangeNotifier(this);
  FSmallImages = ShellSmallImages();
}

TskCustomShellTreeView::~TskCustomShellTreeView()
{
  delete std::exchange(FNotifier, nullptr);
  if (FShellComboBox) FShellComboBox->SetShellTreeView(nullptr);
  if (FShellListView) FShellListView->SetShellTreeView(nullptr);
  ClearNodes();
  delete FRootFolder;
  FRootFolder = nullptr;
}

void TskCustomShellTreeView::SetRoot(const TRoot& Value)
{
  if (SameText(Value, FRoot)) return;
  FOldRoot = FRoot;
  FRoot = Value;
  RebuildRoot();
}

void TskCustomShellTreeView::SetObjectTypes(TShellObjectTypes Value)
{
  FObjectTypes = Value;
  RebuildRoot();
}

void TskCustomShellTreeView::SetUseShellImages(bool Value)
{
  FUseShellImages = Value;
  if (!HandleAllocated()) return;
  TCustomImageList* list = GetImages() ? GetImages() : FUseShellImages ? FSmallImages : nullptr;
  SendMessageA(GetHandle(), TVM_SETIMAGELIST, TVSIL_NORMAL, reinterpret_cast<LPARAM>(list));
}

void TskCustomShellTreeView::SetShellListView(IskShellListView* Value)
{
  if (FShellListView == Value) return;
  if (FShellListView) FShellListView->SetShellTreeView(nullptr);
  FShellListView = Value;
  if (Value) {
    Value->SetShellRoot(FRoot);
    Value->SetShellTreeView(this);
    FreeNotification(Value->ShellListComponent());
  }
}

void TskCustomShellTreeView::SetShellComboBox(TskCustomShellComboBox* Value)
{
  if (FShellComboBox == Value) return;
  if (FShellComboBox && !Value) FShellComboBox->SetShellTreeView(nullptr);
  FShellComboBox = Value;
  if (Value) {
    Value->SetRoot(FRoot);
    Value->SetShellTreeView(this);
    FreeNotification(Value);
  }
}

void TskCustomShellTreeView::Notification(TComponent* AComponent, TOperation Operation)
{
  TskSkinCustomTreeView::Notification(AComponent, Operation);
  if (Operation != opRemove) return;
  if (FShellListView && AComponent == FShellListView->ShellListComponent()) FShellListView = nullptr;
  if (AComponent == FShellComboBox) FShellComboBox = nullptr;
  if (AComponent == FNotifier) FNotifier = nullptr;
}

void TskCustomShellTreeView::SetAutoRefresh(bool Value)
{
  FAutoRefresh = Value;
  if (GetComponentState() & csLoading) return;
  delete std::exchange(FNotifier, nullptr);
  FNotifier = new TskShellChangeNotifier(this);
  if (!Value) return;
  FNotifier->SetWatchSubTree(false);
  TskShellFolder* watched = FNodeToMonitor ? ItemOf(FNodeToMonitor) : FRootFolder;
  if (watched) FNotifier->SetRoot(watched->GetParsingName());
  FNotifier->SetOnChange([this] { RefreshSelected(); });
}

// ---- Building ------------------------------------------------------------------------------

void TskCustomShellTreeView::BuildRoot()
{
  if (GetComponentState() & csLoading) return;
  String message;
  bool failed = false;
  try {
    FRootFolder = ResolveRootFolder(FRootFolder, FOldRoot, FRoot);
  } catch (const Exception& e) {
    message = e.Message();
    failed = true;
  }
  if (FRootFolder && HandleAllocated()) {
    FLoadingRoot = true;
    try {
      ClearNodes();
      auto* item = new TskShellFolder(nullptr, FRootFolder->GetShellFolder(), FRootFolder->GetAbsoluteID());
      TTreeNode* node =
          GetItems()->AddObject(nullptr, ShellDisplayName(DesktopShellFolder(), item->GetAbsoluteID(), SHGDN_NORMAL), item);
      if (FUseShellImages && !GetImages()) {
        node->SetImageIndex(GetShellIconIndex(item->GetAbsoluteID(), false, false));
        node->SetSelectedIndex(GetShellIconIndex(item->GetAbsoluteID(), false, true));
      }
      node->SetHasChildren(item->HasSubFolders());
      node->Expand(false);
      node->SetSelected(true);
    } catch (...) {
      FLoadingRoot = false;
      throw;
    }
    FLoadingRoot = false;
  }
  if (failed) throw Exception(message);
}

void TskCustomShellTreeView::RebuildRoot()
{
  if (FUpdating) return;
  FUpdating = true;
  try {
    BuildRoot();
    if (FShellListView) FShellListView->SetShellRoot(FRoot);
  } catch (...) {
    FUpdating = false;
    throw;
  }
  FUpdating = false;
}

bool TskCustomShellTreeView::CanExpand(TTreeNode* Node)
{
  if ((GetComponentState() & csDesigning) && Node->GetLevel() > 0) return true;
  const bool allowed = TskSkinCustomTreeView::CanExpand(Node);
  if (allowed) {
    TskShellFolder* item = ItemOf(Node);
    // An item that is no folder (a zip archive) stays a leaf: nothing is opened from a tree.
    if (item && item->IsFolder() && Node->GetHasChildren() && Node->GetCount() == 0) PopulateNode(Node);
    Node->SetHasChildren(Node->GetCount() > 0);
  }
  return allowed;
}

void TskCustomShellTreeView::PopulateNode(TTreeNode* Node)
{
  TskShellFolder* item = ItemOf(Node);
  if (!item || !item->GetShellFolder()) return;
  THourGlass hourGlass;
  GetItems()->BeginUpdate();
  try {
    TComRef<IEnumIDList> ids;
    HRESULT result = E_FAIL;
    try {
      result = item->GetShellFolder()->EnumObjects(nullptr, ObjectTypesToEnumFlags(FObjectTypes), ids.Put());
    } catch (const Exception&) {
      result = E_FAIL;
    }
    if (SUCCEEDED(result) && ids) {
      LPITEMIDLIST id = nullptr;
      ULONG fetched = 0;
      while (ids->Next(1, &id, &fetched) == S_OK && fetched == 1) {
        TTreeNode* child = GetItems()->AddChildObject(Node, "", nullptr);
        try {
          AddFolderNode(child, id, Node);
        } catch (...) {
          FreeItemIdList(id);
          throw;
        }
        FreeItemIdList(id);
      }
      if (TTreeNode* first = Node->getFirstChild())
        if (TskShellFolder* firstItem = ItemOf(first); firstItem && firstItem->GetParent())
          Node->CustomSort(CompareNodeIds, reinterpret_cast<LPARAM>(firstItem->GetParent()->GetShellFolder()), false);
    }
  } catch (...) {
    GetItems()->EndUpdate();
    throw;
  }
  GetItems()->EndUpdate();
}

void TskCustomShellTreeView::AddFolderNode(TTreeNode* Node, LPCITEMIDLIST RelativeId, TTreeNode* ParentNode)
{
  TskShellFolder* parentItem = ItemOf(ParentNode);
  TComRef<IShellFolder> folder = TComRef<IShellFolder>::Adopt(
      BindChildFolder(parentItem ? parentItem->GetShellFolder() : DesktopShellFolder(), RelativeId, nullptr));
  auto* item = new TskShellFolder(parentItem, folder.Get(), RelativeId);
  Node->SetData(item);
  Node->SetText(item->GetDisplayName());
  if (FUseShellImages && !GetImages()) {
    Node->SetImageIndex(GetShellIconIndex(item->GetAbsoluteID(), false, false));
    Node->SetSelectedIndex(GetShellIconIndex(item->GetAbsoluteID(), false, true));
  }
  if (Node->GetSelectedIndex() == 0) Node->SetSelectedIndex(Node->GetImageIndex());
  if ((FObjectTypes & ShellObjectTypeBit(otNonFolders)) && folder)
    Node->SetHasChildren(FolderHasItems(folder.Get(), ObjectTypesToEnumFlags(FObjectTypes)));
  else
    Node->SetHasChildren(item->HasSubFolders());
  bool canAdd = true;
  if (OnAddFolder) OnAddFolder(this, item, canAdd);
  if (!canAdd) Node->Delete();
}

// ---- Selecting -----------------------------------------------------------------------------

TTreeNode* TskCustomShellTreeView::FindNode(LPCITEMIDLIST List, TTreeNode* StartNode) const
{
  if (!StartNode) return nullptr;
  const int level = StartNode->GetLevel();
  for (TTreeNode* node = StartNode; node; node = node->GetNext()) {
    if (node != StartNode && node->GetLevel() <= level) break;
    if (TskShellFolder* item = ItemOf(node); item && DesktopShellFolder()->CompareIDs(0, List, item->GetAbsoluteID()) == 0)
      return node;
  }
  return nullptr;
}

void TskCustomShellTreeView::SelectByIdList(LPCITEMIDLIST FullList)
{
  if (FLoadingRoot) return;
  if (TskShellFolder* selected = ItemOf(GetSelected()); selected && SameItemIdList(selected->GetAbsoluteID(), FullList))
    return;
  TList* ancestors = nullptr;
  FUpdating = true;
  GetItems()->BeginUpdate();
  try {
    ancestors = AncestorItemIdLists(FullList);
    TTreeNode* start = GetItems()->GetFirstNode();
    for (int i = 0; i < ancestors->GetCount(); ++i) {
      if (TTreeNode* node = FindNode(static_cast<LPCITEMIDLIST>(ancestors->Get(i)), start)) {
        node->Expand(false);
        start = node;
      }
    }
    SetSelected(FindNode(FullList, start));
  } catch (...) {
    GetItems()->EndUpdate();
    FreeItemIdLists(ancestors);
    FUpdating = false;
    throw;
  }
  GetItems()->EndUpdate();
  FreeItemIdLists(ancestors);
  FUpdating = false;
  if (TskShellFolder* selected = ItemOf(GetSelected())) {
    if (FShellListView) FShellListView->NavigateTo(selected->GetAbsoluteID());
    if (FShellComboBox) FShellComboBox->NavigateTo(selected->GetAbsoluteID());
  }
}

bool TskCustomShellTreeView::CanChange(TTreeNode* Node)
{
  const bool allowed = TskSkinCustomTreeView::CanChange(Node);
  if (allowed && !FUpdating && Node) {
    const bool refresh = FAutoRefresh;
    FAutoRefresh = false;
    TskShellFolder* folder = ItemOf(Node);
    if (folder && !folder->IsFolder() && folder->GetParent()) folder = folder->GetParent();
    if (folder) {
      FUpdating = true;
      try {
        if (FShellComboBox) FShellComboBox->NavigateTo(folder->GetAbsoluteID());
        if (FShellListView) FShellListView->NavigateTo(folder->GetAbsoluteID());
      } catch (...) {
        FUpdating = false;
        throw;
      }
      FUpdating = false;
    }
    FNodeToMonitor = Node;
    if (refresh) SetAutoRefresh(true);
    FAutoRefresh = refresh;
    FNodeToMonitor = nullptr;
  }
  return allowed;
}

void TskCustomShellTreeView::SetPath(const String& Path)
{
  LPITEMIDLIST list = nullptr;
  ULONG eaten = 0;
  if (FAILED(DesktopShellFolder()->ParseDisplayName(nullptr, nullptr, Path.c_str(), &eaten, &list, nullptr)) || !list) {
    FreeItemIdList(list);
    throw EInvalidPath(Format("Error setting path: \"%s\"", {Path}));
  }
  try {
    SelectByIdList(list);
  } catch (...) {
    FreeItemIdList(list);
    throw;
  }
  FreeItemIdList(list);
  if (TTreeNode* node = GetSelected()) {
    node->Expand(false);
    CanChange(node);
  }
  FLastPath = Path;
}

String TskCustomShellTreeView::GetSelectedPath() const
{
  TskShellFolder* item = ItemOf(GetSelected());
  return item ? item->GetParsingName() : String();
}

TskShellFolder* TskCustomShellTreeView::SelectedFolder() const { return ItemOf(GetSelected()); }

TskShellFolder* TskCustomShellTreeView::NodeItem(int Index) const
{
  if (GetItems()->GetCount() == 0) return nullptr;
  return ItemOf(GetItems()->GetItem(Index));
}

void TskCustomShellTreeView::SelectMyComputer()
{
  LPITEMIDLIST list = nullptr;
  if (FAILED(SHGetSpecialFolderLocation(nullptr, RootFolderCsidl(rfMyComputer), &list))) return;
  try {
    SelectByIdList(list);
  } catch (...) {
    FreeItemIdList(list);
    throw;
  }
  FreeItemIdList(list);
  if (TTreeNode* node = GetSelected()) node->Expand(false);
}

// ---- Refreshing ----------------------------------------------------------------------------

void TskCustomShellTreeView::RefreshSelected()
{
  if (TTreeNode* node = GetSelected()) RefreshNode(node);
}

void TskCustomShellTreeView::RefreshNode(TTreeNode* Node)
{
  TskShellFolder* old = ItemOf(Node);
  if (!Node || !old || !old->GetShellFolder()) return;
  THourGlass hourGlass;
  LPITEMIDLIST topList = nullptr;
  LPITEMIDLIST selectedList = nullptr;
  GetItems()->BeginUpdate();
  try {
    if (TskShellFolder* top = ItemOf(GetTopItem())) topList = NodeFullList(top);
    if (TskShellFolder* selected = ItemOf(GetSelected())) selectedList = NodeFullList(selected);
    TTreeNode* parentNode = Node->GetParent();
    auto* item = new TskShellFolder(ItemOf(parentNode), old->GetShellFolder(), old->GetRelativeID());
    TTreeNode* fresh = GetItems()->InsertObject(Node, "", item);
    PopulateNode(fresh);
    fresh->SetImageIndex(GetShellIconIndex(item->GetAbsoluteID(), false, false));
    fresh->SetSelectedIndex(GetShellIconIndex(item->GetAbsoluteID(), false, true));
    fresh->SetHasChildren(item->HasSubFolders());
    fresh->SetText(item->GetDisplayName());
    // The new subtree takes the expansion of the old one.
    const int level = Node->GetLevel();
    std::vector<LPITEMIDLIST> expanded;
    for (TTreeNode* n = Node; n; n = n->GetNext()) {
      if (n != Node && n->GetLevel() <= level) break;
      if (n->GetExpanded() && ItemOf(n)) expanded.push_back(ItemOf(n)->GetAbsoluteID());
    }
    for (LPITEMIDLIST list : expanded)
      if (TTreeNode* found = FindNode(list, fresh)) found->Expand(false);
    Node->Delete();  // frees the old item (Delete)
    if (selectedList) {
      TTreeNode* found = FindNode(selectedList, GetItems()->GetFirstNode());
      if (found) {
        const bool updating = FUpdating;
        FUpdating = true;  // the same folder again: the partners stay
        SetSelected(found);
        FUpdating = updating;
      } else if (GetSelected() == nullptr && fresh) {
        SetSelected(fresh);  // the selected folder went: its refreshed ancestor takes over
      }
    }
    if (topList)
      if (TTreeNode* found = FindNode(topList, GetItems()->GetFirstNode())) SetTopItem(found);
  } catch (...) {
    GetItems()->EndUpdate();
    FreeItemIdList(topList);
    FreeItemIdList(selectedList);
    throw;
  }
  GetItems()->EndUpdate();
  FreeItemIdList(topList);
  FreeItemIdList(selectedList);
}

// ---- Editing, deleting, clearing -----------------------------------------------------------

void TskCustomShellTreeView::Edit(const TTVItem& Item)
{
  TTreeNode* node = GetItems()->GetNode(Item.hItem);
  if (!Item.pszText || !node) {
    TskSkinCustomTreeView::Edit(Item);
    return;
  }
  String text = Item.pszText;
  if (OnEdited) OnEdited(this, node, text);
  if (TskShellFolder* item = ItemOf(node); item && item->Rename(text)) node->SetText(text);
  if (TTreeNode* parent = node->GetParent()) RefreshNode(parent);
}

void TskCustomShellTreeView::Delete(TTreeNode* Node)
{
  delete ItemOf(Node);
  Node->SetData(nullptr);
  if (FNodeToMonitor == Node) FNodeToMonitor = nullptr;
  TskSkinCustomTreeView::Delete(Node);
}

void TskCustomShellTreeView::ClearNodes()
{
  GetItems()->BeginUpdate();
  for (TTreeNode* node = GetItems()->GetFirstNode(); node; node = node->GetNext()) {
    delete ItemOf(node);
    node->SetData(nullptr);
  }
  GetItems()->Clear();
  GetItems()->EndUpdate();
}

void TskCustomShellTreeView::ClearItems() { ClearNodes(); }

void TskCustomShellTreeView::GetImageIndex(TTreeNode* Node)
{
  if (GetImages()) TskSkinCustomTreeView::GetImageIndex(Node);
}

void TskCustomShellTreeView::GetSelectedIndex(TTreeNode* Node)
{
  if (GetImages()) TskSkinCustomTreeView::GetSelectedIndex(Node);
}

// ---- Context menu and verbs ----------------------------------------------------------------

void TskCustomShellTreeView::DoContextPopup(const TPoint& MousePos, bool& Handled)
{
  if (FAutoContextMenus && (!GetPopupMenu() || !GetPopupMenu()->GetAutoPopup())) {
    if (TskShellFolder* item = SelectedFolder()) ShowShellContextMenu(this, item, MousePos.x, MousePos.y);
    Handled = true;
    return;
  }
  TskSkinCustomTreeView::DoContextPopup(MousePos, Handled);
}

void TskCustomShellTreeView::BeforeVerb(const String& Verb, bool& Handled)
{
  TTreeNode* node = GetSelected();
  if (SameText(Verb, "rename") && node) {
    node->EditText();
    Handled = true;
  } else if (SameText(Verb, "open") && node) {
    FSavedDirectory = GetCurrentDir();
    FDirectorySaved = true;
    SetCurrentDir(ExtractFilePath(ItemOf(node)->GetParsingName()));
  }
}

void TskCustomShellTreeView::AfterVerb(const String& Verb, bool Succeeded)
{
  // The working folder goes back whether or not the verb succeeded.
  if (SameText(Verb, "open") && FDirectorySaved) {
    SetCurrentDir(FSavedDirectory);
    FDirectorySaved = false;
  }
  TTreeNode* node = GetSelected();
  if (!Succeeded || !node) return;
  if (SameText(Verb, "delete")) {
    if (!FileExists(ItemOf(node)->GetParsingName())) node->Delete();
  } else if (SameText(Verb, "paste")) {
    RefreshNode(node);
  }
}

// ---- Window --------------------------------------------------------------------------------

void TskCustomShellTreeView::WndProc(TMessage& Message)
{
  switch (Message.Msg) {
    case WM_INITMENUPOPUP:
    case WM_DRAWITEM:
    case WM_MEASUREITEM:
    case WM_MENUCHAR:
      if (ActiveContextMenu2) {
        ActiveContextMenu2->HandleMenuMsg(Message.Msg, Message.WParam, Message.LParam);
        Message.Result = 0;
      }
      return;
    case TVM_SETIMAGELIST:
      if (!FImageListChanging) {
        FImageListChanging = true;
        try {
          TCustomImageList* list = GetImages() ? GetImages() : FUseShellImages ? FSmallImages : nullptr;
          SendMessageA(GetHandle(), TVM_SETIMAGELIST, TVSIL_NORMAL, reinterpret_cast<LPARAM>(list));
        } catch (...) {
          FImageListChanging = false;
          throw;
        }
        FImageListChanging = false;
        return;
      }
      break;
    default:
      break;
  }
  TskSkinCustomTreeView::WndProc(Message);
}

void TskCustomShellTreeView::CreateWnd()
{
  TskSkinCustomTreeView::CreateWnd();
  ClearNodes();
  if (!GetImages()) SetUseShellImages(FUseShellImages);
  if (!FLoadingRoot) {
    BuildRoot();
    if (!FLastPath.empty()) SetPath(FLastPath);
  }
}

void TskCustomShellTreeView::DestroyWnd()
{
  ClearNodes();
  TskSkinCustomTreeView::DestroyWnd();
}

void TskCustomShellTreeView::Loaded()
{
  TskSkinCustomTreeView::Loaded();
  BuildRoot();
}
