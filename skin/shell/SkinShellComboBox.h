// TskCustomShellComboBox (published as TskSkinShellComboBox): a skinned drop-down list of shell
// folders: the root, its children (with Root "rfDesktop" also the volumes under Computer) and
// the chain from the root down to the current folder, each entry with its icon and indented by
// its depth. Choosing an entry moves the linked tree and file list; when they move, the combo
// box follows (NavigateTo).
//
// The contract callers rely on:
// - The strings (GetItems) mirror the entries' captions in entry order; each entry owns its
//   folder item.
// - Moving through the open list with the keyboard moves no partner until the list closes.
// - A Root that cannot be resolved raises "Error setting path: "%s""; a folder that cannot be
//   enumerated while children are added raises EOleSysError.
#pragma once

#include <vector>

#include "skin/input/SkinComboBox.h"
#include "skin/shell/SkinShellItems.h"
#include "skin/shell/SkinShellLinks.h"

// One entry.
struct TskItemEx {
  String Caption;
  TskShellFolder* Folder = nullptr;  // owned by the combo box
  int Level = 0;
  int ImageIndex = -1;
  int SelectedImageIndex = -1;
};

class TskCustomShellComboBox : public TskSkinCustomComboBox {
public:
  explicit TskCustomShellComboBox(TComponent* AOwner);
  ~TskCustomShellComboBox() override;

  const TRoot& GetRoot() const { return FRoot; }
  void SetRoot(const TRoot& Value);
  TShellObjectTypes GetObjectTypes() const { return FObjectTypes; }
  virtual void SetObjectTypes(TShellObjectTypes Value);
  TskCustomShellTreeView* GetShellTreeView() const { return FShellTreeView; }
  void SetShellTreeView(TskCustomShellTreeView* Value);
  IskShellListView* GetShellListView() const { return FShellListView; }
  void SetShellListView(IskShellListView* Value);
  bool GetShellImages() const { return FShellImages; }
  void SetShellImages(bool On);
  int GetIconWidth() const { return FIconWidth; }

  void NavigateTo(LPCITEMIDLIST FullList);
  TskShellFolder* EntryFolder(int Index) const;
  int IndexOfIdList(LPCITEMIDLIST FullList) const;
  int EntryCount() const { return static_cast<int>(FEntries.size()); }
  const TskItemEx& Entry(int Index) const { return FEntries.at(static_cast<size_t>(Index)); }
  void SelectIdList(LPCITEMIDLIST FullList);
  void BuildEntries();

  void Notification(TComponent* AComponent, TOperation Operation) override;

protected:
  void Loaded() override;
  void CreateWnd() override;
  void DestroyWnd() override;
  void Change() override;
  void Click() override;
  virtual void AddRootChildren();

  void AddChildren(int Index, TskShellFolder* Folder);
  void ClearEntries();
  void RebuildRoot();
  void RefillStrings();
  int EntryImage(const TskShellFolder* Folder) const;

private:
  void DrawListEntry(TCanvas* Canvas, int Index, int ItemWidth, int ItemHeight, TRect TextRect, bool Indented);
  void InsertEntry(int Index, TskShellFolder* Folder);

  std::vector<TskItemEx> FEntries;
  TCustomImageList* FSmallImages = nullptr;
  int FIconHeight = 16;
  int FIconWidth = 16;
  TRoot FOldRoot;
  TRoot FRoot = "rfDesktop";
  TskShellFolder* FRootFolder = nullptr;
  TskCustomShellTreeView* FShellTreeView = nullptr;
  IskShellListView* FShellListView = nullptr;
  TShellObjectTypes FObjectTypes = ShellObjectTypeBit(otFolders);
  bool FShellImages = true;
  bool FUpdating = false;
  bool FUpdatingEntries = false;
};

class TskSkinShellComboBox : public TskCustomShellComboBox {
public:
  using TskCustomShellComboBox::TskCustomShellComboBox;
};
