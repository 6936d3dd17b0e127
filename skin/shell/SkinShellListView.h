// TskCustomShellListView / TskSkinFileListView: the contents of one folder of the shell namespace
// in a skinned list view (owner data: the view holds only a row count and asks for captions,
// icons and detail texts when it paints). Folders come first, each group in the namespace's
// order; files are filtered by Mask; the report view has the columns name, size, type and
// modified, and a click on a header sorts by that column (a second click reverses).
//
// Contract callers rely on:
// - Row i shows Folders(i); names are data (any bytes a Linux name holds, shown and returned
//   exactly).
// - Mask: patterns separated by ';' or '|'; a pattern with a '.' matches names as the folder
//   search does (A-Z case-insensitive, "*.*" every name), "*" matches every name, any other
//   pattern nothing; an empty mask shows only folders. Folders are never filtered.
// - GetSelectedFiles lists the file-system paths of the selected rows that are not folders, in
//   row order.
// - Every change of the shown folder raises OnNavigated; SetFolderPath raises EInvalidPath
//   "Error setting path: "%s"" for a path the namespace cannot parse; a folder that cannot be
//   listed shows empty.
// - Backspace goes up, Enter or a double click opens a folder, F5 refreshes (AutoNavigate).
#pragma once

#include <vector>

#include "skin/input/SkinListView.h"
#include "skin/shell/SkinShellChangeNotifier.h"
#include "skin/shell/SkinShellItems.h"

using TAddFolderEvent = std::function<void(TObject* Sender, TskShellFolder* AFolder, bool& CanAdd)>;

class TskCustomShellListView : public TskSkinCustomListView, public IShellVerbHook {
public:
  explicit TskCustomShellListView(TComponent* AOwner);
  ~TskCustomShellListView() override;

  const TRoot& GetRoot() const { return FRoot; }
  void SetRoot(const TRoot& Value);
  const String& GetMask() const { return FMask; }
  void SetMask(const String& Value);
  TShellObjectTypes GetObjectTypes() const { return FObjectTypes; }
  void SetObjectTypes(TShellObjectTypes Value);
  bool GetSorted() const { return FSorted; }
  void SetSorted(bool Value);
  bool GetAutoRefresh() const { return FAutoRefresh; }
  void SetAutoRefresh(bool Value);
  bool GetAutoNavigate() const { return FAutoNavigate; }
  void SetAutoNavigate(bool Value) { FAutoNavigate = Value; }
  bool GetAutoContextMenus() const { return FAutoContextMenus; }
  void SetAutoContextMenus(bool Value) { FAutoContextMenus = Value; }
  void SetViewStyle(TViewStyle Value) override;

  TskShellFolder* GetRootFolder() const { return FRootFolder; }
  String GetFolderPath() const;
  void SetFolderPath(const String& Path);
  void NavigateTo(LPCITEMIDLIST FullList);
  void SetFolderIdList(LPCITEMIDLIST FullList);
  void GoUp();
  void RefreshContents();
  TskShellFolder* SelectedFolder();
  TskShellFolder* Folders(int Index) const;
  int FolderCount() const { return static_cast<int>(FFolders.size()); }
  String GetSelectedFile();
  void GetSelectedFiles(TStrings* List);
  void EditSelected();
  // Whether a non-folder's name passes Mask.
  bool MatchesMaskList(const String& FileName) const;
  int GetSortColumn() const { return FSortColumn; }
  bool GetDescending() const { return FDescending; }
  // A header click on column Index (as the header's own click does).
  void ClickColumn(int Index);

  // IShellVerbHook
  void BeforeVerb(const String& Verb, bool& Handled) override;
  void AfterVerb(const String& Verb, bool Succeeded) override;

  TAddFolderEvent OnAddFolder;
  TNotifyEvent OnNavigated;

  // Public for the dialog that holds the view and for tests.
  void KeyDown(Word& Key, TShiftState Shift) override;
  void DblClick() override;

protected:
  virtual void Populate();
  void RebuildContents();
  void BuildColumns();
  void ClearItems();
  void SortItems(bool ByColumn);
  int CompareItems(TskShellFolder* A, TskShellFolder* B, bool ByColumn);
  int CompareItems(TskShellFolder* A, TskShellFolder* B, bool ByColumn, bool FolderA, bool FolderB);

  void CreateWnd() override;
  void DestroyWnd() override;
  void Loaded() override;
  void WndProc(TMessage& Message) override;
  bool OwnerDataFetch(TListItem* Item, TItemRequest Request) override;
  int OwnerDataFind(TItemFind Find, const String& FindString, const TPoint& FindPosition, void* FindData,
                    int StartIndex, TSearchDirection Direction, bool Wrap) override;
  void ColClick(TListColumn* Column) override;
  void DoContextPopup(const TPoint& MousePos, bool& Handled) override;
  void Edit(const TLVItem& Item) override;

private:
  int FPrevSortColumn = -1;
  int FSortColumn = -1;
  bool FDescending = false;
  TRoot FPrevRoot;
  TRoot FRoot = "rfDesktop";
  TskShellFolder* FRootFolder = nullptr;
  bool FAutoContextMenus = true;
  bool FAutoRefresh = false;
  bool FAutoNavigate = true;
  bool FSorted = true;
  bool FUpdating = false;
  TShellObjectTypes FObjectTypes = ShellObjectTypeBit(otFolders) | ShellObjectTypeBit(otNonFolders);
  std::vector<TskShellFolder*> FFolders;
  TskShellChangeNotifier* FNotifier = nullptr;
  bool FRootChanged = false;
  String FSavedPath;
  String FMask = "*.*|*.*";
};

class TskSkinFileListView : public TskCustomShellListView {
public:
  using TskCustomShellListView::TskCustomShellListView;
};
