// TskCustomShellTreeView (published as TskSkinDirTreeView): the shell namespace below Root as a
// skinned tree of folders with the namespace's icons. Nodes are filled when they first expand;
// a node can be refreshed in place with its expansion kept; a folder given by path or id list is
// selected by expanding its ancestors; the linked combo box and file list follow the selection.
//
// The contract callers rely on:
// - Each node's data is its TskShellFolder, owned by the node (freed with it, on clearing and
//   when the window goes). Nodes exist while the window exists: creating it builds the root.
// - Root: "rfDesktop" (default), another TskRootFolder name, or a path. One that cannot be
//   resolved keeps the previous root and tree and raises "Error setting path: "%s"".
// - SetPath raises EInvalidPath "Error setting path: "%s"" for a path the namespace cannot name.
// - A folder that cannot be read gets no children and no message; a folder removed while shown
//   goes from the tree when its parent is refreshed (RefreshNode), which AutoRefresh does by
//   itself for the selected folder.
// - Items that are no folders (with otNonFolders) are leaves: expanding one opens nothing.
// - Selecting a folder tells the partners once; selecting the selected folder tells nobody.
#pragma once

#include <functional>

#include "skin/input/SkinTreeView.h"
#include "skin/shell/SkinShellChangeNotifier.h"
#include "skin/shell/SkinShellItems.h"
#include "skin/shell/SkinShellLinks.h"

using TAddFolderEvent = std::function<void(TObject* Sender, TskShellFolder* AFolder, bool& CanAdd)>;

class TskCustomShellTreeView : public TskSkinCustomTreeView, public IShellVerbHook {
public:
  explicit TskCustomShellTreeView(TComponent* AOwner);
  ~TskCustomShellTreeView() override;

  const TRoot& GetRoot() const { return FRoot; }
  void SetRoot(const TRoot& Value);
  TShellObjectTypes GetObjectTypes() const { return FObjectTypes; }
  virtual void SetObjectTypes(TShellObjectTypes Value);
  bool GetAutoContextMenus() const { return FAutoContextMenus; }
  void SetAutoContextMenus(bool Value) { FAutoContextMenus = Value; }
  bool GetAutoRefresh() const { return FAutoRefresh; }
  void SetAutoRefresh(bool Value);
  bool GetUseShellImages() const { return FUseShellImages; }
  void SetUseShellImages(bool Value);
  IskShellListView* GetShellListView() const { return FShellListView; }
  void SetShellListView(IskShellListView* Value);
  TskCustomShellComboBox* GetShellComboBox() const { return FShellComboBox; }
  void SetShellComboBox(TskCustomShellComboBox* Value);
  TskShellChangeNotifier* GetNotifier() const { return FNotifier; }
  TskShellFolder* GetRootFolder() const { return FRootFolder; }

  void SetPath(const String& Path);
  String GetSelectedPath() const;
  TskShellFolder* SelectedFolder() const;
  TskShellFolder* NodeItem(int Index) const;
  void SelectByIdList(LPCITEMIDLIST FullList);
  void SelectMyComputer();
  void RefreshSelected();
  void RefreshNode(TTreeNode* Node);
  TTreeNode* FindNode(LPCITEMIDLIST List, TTreeNode* StartNode) const;
  virtual void ClearItems();

  void BeforeVerb(const String& Verb, bool& Handled) override;
  void AfterVerb(const String& Verb, bool Succeeded) override;

  void Notification(TComponent* AComponent, TOperation Operation) override;

  TAddFolderEvent OnAddFolder;

protected:
  void Loaded() override;
  void WndProc(TMessage& Message) override;
  void CreateWnd() override;
  void DestroyWnd() override;
  void GetImageIndex(TTreeNode* Node) override;
  void GetSelectedIndex(TTreeNode* Node) override;
  bool CanChange(TTreeNode* Node) override;
  bool CanExpand(TTreeNode* Node) override;
  void Delete(TTreeNode* Node) override;
  void Edit(const TTVItem& Item) override;
  void DoContextPopup(const TPoint& MousePos, bool& Handled) override;

  void BuildRoot();
  void RebuildRoot();
  void PopulateNode(TTreeNode* Node);
  void AddFolderNode(TTreeNode* Node, LPCITEMIDLIST RelativeId, TTreeNode* ParentNode);
  void ClearNodes();

private:
  static TskShellFolder* ItemOf(const TTreeNode* Node) { return Node ? static_cast<TskShellFolder*>(Node->GetData()) : nullptr; }

  String FLastPath;
  TRoot FRoot = "rfDesktop";
  TRoot FOldRoot;
  TskShellFolder* FRootFolder = nullptr;
  TShellObjectTypes FObjectTypes = ShellObjectTypeBit(otFolders);
  bool FLoadingRoot = false;
  bool FAutoContextMenus = true;
  bool FUpdating = false;
  IskShellListView* FShellListView = nullptr;
  TskCustomShellComboBox* FShellComboBox = nullptr;
  bool FAutoRefresh = false;
  bool FImageListChanging = false;
  bool FUseShellImages = true;
  TskShellChangeNotifier* FNotifier = nullptr;
  TTreeNode* FNodeToMonitor = nullptr;
  String FSavedDirectory;
  bool FDirectorySaved = false;
  TCustomImageList* FSmallImages = nullptr;
};

class TskSkinDirTreeView : public TskCustomShellTreeView {
public:
  using TskCustomShellTreeView::TskCustomShellTreeView;
};
