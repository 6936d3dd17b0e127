// The class library's tree view (TCustomTreeView) on the "SysTreeView32" window class, with
// its nodes (TTreeNode) and node list (TTreeNodes). The nodes are kept by the control and
// mirrored into the window whenever it exists, so they survive a new window.
#pragma once

#include <functional>
#include <memory>
#include <unordered_map>
#include <vector>

#include "platform/vcl/Controls.h"
#include "platform/vcl/Forms.h"
#include "platform/vcl/ImgList.h"
#include "platform/vcl/ViewCtrlsConsts.h"

// Registers the "SysTreeView32" window class (once; later calls do nothing).
void RegisterTreeViewClass();

class TTreeNodes;
class TCustomTreeView;

// Compares two nodes for CustomSort: negative, zero or positive.
using TTVCompare = int (*)(LPARAM Node1, LPARAM Node2, LPARAM Data);

class TTreeNode : public TPersistent {
public:
  TTreeNode(const TTreeNode&) = delete;
  TTreeNode& operator=(const TTreeNode&) = delete;
  ~TTreeNode() override;

  TTreeNodes* GetOwner() const { return FOwner; }
  TCustomTreeView* GetTreeView() const;
  HTREEITEM GetItemId() const { return FItemId; }
  TTreeNode* GetParent() const { return FParent; }
  // 0 for a top-level node.
  int GetLevel() const;
  int GetCount() const { return static_cast<int>(FChildren.size()); }
  TTreeNode* GetItem(int Index) const;
  // The place among its siblings.
  int GetIndex() const;
  // The place in the whole tree, counted depth first.
  int GetAbsoluteIndex() const;
  int IndexOf(TTreeNode* Value) const;

  const String& GetText() const { return FText; }
  void SetText(const String& Value);
  void* GetData() const { return FData; }
  void SetData(void* Value) { FData = Value; }
  int GetImageIndex() const { return FImageIndex; }
  void SetImageIndex(int Value);
  int GetSelectedIndex() const { return FSelectedIndex; }
  void SetSelectedIndex(int Value);
  int GetStateIndex() const { return FStateIndex; }
  void SetStateIndex(int Value);
  int GetOverlayIndex() const { return FOverlayIndex; }
  void SetOverlayIndex(int Value);
  // True when the node has children or claims to (a node filled when it first expands).
  bool GetHasChildren() const { return FHasChildren || !FChildren.empty(); }
  void SetHasChildren(bool Value);
  bool GetExpanded() const;
  void SetExpanded(bool Value);
  bool GetSelected() const;
  void SetSelected(bool Value);
  bool GetFocused() const { return GetSelected(); }
  void SetFocused(bool Value) { SetSelected(Value); }
  bool GetDropTarget() const;
  void SetDropTarget(bool Value);
  bool GetCut() const { return FCut; }
  void SetCut(bool Value);

  TTreeNode* getFirstChild() const { return FChildren.empty() ? nullptr : FChildren.front(); }
  TTreeNode* GetLastChild() const { return FChildren.empty() ? nullptr : FChildren.back(); }
  TTreeNode* getNextSibling() const;
  TTreeNode* getPrevSibling() const;
  // Depth-first successor / predecessor over the whole tree.
  TTreeNode* GetNext() const;
  TTreeNode* GetPrev() const;
  TTreeNode* GetNextChild(TTreeNode* Value) const { return Value ? Value->getNextSibling() : nullptr; }
  TTreeNode* GetPrevChild(TTreeNode* Value) const { return Value ? Value->getPrevSibling() : nullptr; }
  // Successor / predecessor among the rows shown (ancestors expanded).
  TTreeNode* GetNextVisible() const;
  TTreeNode* GetPrevVisible() const;
  bool IsVisible() const;
  bool HasAsParent(TTreeNode* Value) const;

  void Expand(bool Recurse);
  void Collapse(bool Recurse);
  void MakeVisible();
  // The row (or, with TextOnly, the text) rectangle in client coordinates; empty when hidden.
  TRect DisplayRect(bool TextOnly) const;
  // Deletes this node and its children (OnDeletion for each).
  void Delete();
  void DeleteChildren();
  bool AlphaSort(bool ARecurse = false);
  bool CustomSort(TTVCompare SortProc, LPARAM Data, bool ARecurse = false);
  // Starts editing the label in place (the tree view's CanEdit and OnEditing may refuse);
  // false when it did not start.
  bool EditText();
  // Ends an edit of this node's label, keeping (or with Cancel dropping) the new text.
  void EndEdit(bool Cancel);
  void Assign(TPersistent* Source) override;

private:
  friend class TTreeNodes;
  friend class TCustomTreeView;
  explicit TTreeNode(TTreeNodes* AOwner) : FOwner(AOwner) {}
  void UpdateItem(UINT Mask);

  TTreeNodes* FOwner;
  TTreeNode* FParent = nullptr;
  std::vector<TTreeNode*> FChildren;
  HTREEITEM FItemId = nullptr;
  mutable int FIndex = -1;  // the place among its siblings, kept current as they change
  String FText;
  void* FData = nullptr;
  int FImageIndex = -1;
  int FSelectedIndex = -1;
  int FStateIndex = -1;
  int FOverlayIndex = -1;
  bool FHasChildren = false;
  bool FExpanded = false;  // kept for a new window
  bool FCut = false;
  bool FDeleting = false;
};

class TTreeNodes : public TPersistent {
public:
  explicit TTreeNodes(TCustomTreeView* AOwner) : FOwner(AOwner) {}
  ~TTreeNodes() override;

  TCustomTreeView* GetOwner() const { return FOwner; }
  // Every node, depth first.
  int GetCount() const;
  // The node at an absolute index (EListError outside).
  TTreeNode* GetItem(int Index) const;
  TTreeNode* GetFirstNode() const { return FRoots.empty() ? nullptr : FRoots.front(); }
  // Tells Siblings[From..] their places (after siblings were inserted, removed or sorted).
  static void Renumber(std::vector<TTreeNode*>& Siblings, size_t From);
  TTreeNode* GetNode(HTREEITEM ItemId) const;

  // A new last sibling of Sibling (a top-level node for null).
  TTreeNode* Add(TTreeNode* Sibling, const String& S) { return AddObject(Sibling, S, nullptr); }
  TTreeNode* AddObject(TTreeNode* Sibling, const String& S, void* Ptr);
  TTreeNode* AddFirst(TTreeNode* Sibling, const String& S) { return AddObjectFirst(Sibling, S, nullptr); }
  TTreeNode* AddObjectFirst(TTreeNode* Sibling, const String& S, void* Ptr);
  // A new last (first) child of Parent (a top-level node for null).
  TTreeNode* AddChild(TTreeNode* Parent, const String& S) { return AddChildObject(Parent, S, nullptr); }
  TTreeNode* AddChildObject(TTreeNode* Parent, const String& S, void* Ptr);
  TTreeNode* AddChildFirst(TTreeNode* Parent, const String& S) { return AddChildObjectFirst(Parent, S, nullptr); }
  TTreeNode* AddChildObjectFirst(TTreeNode* Parent, const String& S, void* Ptr);
  // A new node just before Sibling (last top-level node for null).
  TTreeNode* Insert(TTreeNode* Sibling, const String& S) { return InsertObject(Sibling, S, nullptr); }
  TTreeNode* InsertObject(TTreeNode* Sibling, const String& S, void* Ptr);
  void Delete(TTreeNode* Node);
  void Clear();
  void BeginUpdate();
  void EndUpdate();
  void Assign(TPersistent* Source) override;

private:
  friend class TTreeNode;
  friend class TCustomTreeView;
  TTreeNode* InsertNode(TTreeNode* Parent, size_t Pos, const String& S, void* Ptr);
  std::vector<TTreeNode*>& SiblingsOf(TTreeNode* Parent) { return Parent ? Parent->FChildren : FRoots; }
  TCustomTreeView* FOwner;
  // Gives Node the window item ItemId (nullptr: none), keeping the look-up by item current.
  void SetItemId(TTreeNode* Node, HTREEITEM ItemId);
  std::vector<TTreeNode*> FRoots;
  std::unordered_map<HTREEITEM, TTreeNode*> FByItemId;
  int FUpdateCount = 0;
};

enum TSortType { stNone, stData, stText, stBoth };

using TTVChangedEvent = std::function<void(TObject* Sender, TTreeNode* Node)>;
using TTVChangingEvent = std::function<void(TObject* Sender, TTreeNode* Node, bool& AllowChange)>;
using TTVExpandingEvent = std::function<void(TObject* Sender, TTreeNode* Node, bool& AllowExpansion)>;
using TTVCollapsingEvent = std::function<void(TObject* Sender, TTreeNode* Node, bool& AllowCollapse)>;
using TTVExpandedEvent = std::function<void(TObject* Sender, TTreeNode* Node)>;
using TTVCompareEvent = std::function<void(TObject* Sender, TTreeNode* Node1, TTreeNode* Node2, int Data, int& Compare)>;
using TTVEditingEvent = std::function<void(TObject* Sender, TTreeNode* Node, bool& AllowEdit)>;
using TTVEditedEvent = std::function<void(TObject* Sender, TTreeNode* Node, String& S)>;

class TCustomTreeView : public TWinControl {
public:
  explicit TCustomTreeView(TComponent* AOwner);
  ~TCustomTreeView() override;

  TTreeNodes* GetItems() const { return FItems.get(); }
  void SetItems(TTreeNodes* Value) { FItems->Assign(Value); }
  // The selected node (null for none). Setting it goes through OnChanging and OnChange.
  TTreeNode* GetSelected() const;
  void SetSelected(TTreeNode* Value);
  // The first row shown.
  TTreeNode* GetTopItem() const;
  void SetTopItem(TTreeNode* Value);
  TTreeNode* GetDropTarget() const;
  void SetDropTarget(TTreeNode* Value);
  TCustomImageList* GetImages() const { return FImages; }
  void SetImages(TCustomImageList* Value);
  TCustomImageList* GetStateImages() const { return FStateImages; }
  void SetStateImages(TCustomImageList* Value);
  int GetIndent() const;
  void SetIndent(int Value);
  bool GetShowButtons() const { return FShowButtons; }
  void SetShowButtons(bool Value);
  bool GetShowLines() const { return FShowLines; }
  void SetShowLines(bool Value);
  bool GetShowRoot() const { return FShowRoot; }
  void SetShowRoot(bool Value);
  bool GetReadOnly() const { return FReadOnly; }
  void SetReadOnly(bool Value);
  bool GetHideSelection() const { return FHideSelection; }
  void SetHideSelection(bool Value);
  bool GetRowSelect() const { return FRowSelect; }
  void SetRowSelect(bool Value);
  bool GetHotTrack() const { return FHotTrack; }
  void SetHotTrack(bool Value) { FHotTrack = Value; }
  bool GetAutoExpand() const { return FAutoExpand; }
  void SetAutoExpand(bool Value) { FAutoExpand = Value; }
  bool GetRightClickSelect() const { return FRightClickSelect; }
  void SetRightClickSelect(bool Value) { FRightClickSelect = Value; }
  TSortType GetSortType() const { return FSortType; }
  void SetSortType(TSortType Value);
  TBorderStyle GetBorderStyle() const { return FBorderStyle; }
  void SetBorderStyle(TBorderStyle Value);

  TTreeNode* GetNodeAt(int X, int Y);
  THitTests GetHitTestInfoAt(int X, int Y);
  bool AlphaSort(bool ARecurse = true);
  bool CustomSort(TTVCompare SortProc, LPARAM Data, bool ARecurse = true);
  void FullExpand();
  void FullCollapse();
  // A label is being edited in place.
  bool IsEditing() const;

  TTVChangedEvent OnChange;
  TTVChangingEvent OnChanging;
  TTVExpandingEvent OnExpanding;
  TTVExpandedEvent OnExpanded;
  TTVCollapsingEvent OnCollapsing;
  TTVExpandedEvent OnCollapsed;
  TTVExpandedEvent OnDeletion;
  TTVExpandedEvent OnGetImageIndex;
  TTVExpandedEvent OnGetSelectedIndex;
  TTVCompareEvent OnCompare;
  // Label editing: asked before an edit starts, told the accepted text (which the handler may
  // change) or that the edit was cancelled.
  TTVEditingEvent OnEditing;
  TTVEditedEvent OnEdited;
  TTVChangedEvent OnCancelEdit;

  void Notification(TComponent* AComponent, TOperation Operation) override;

protected:
  void CreateParams(TCreateParams& Params) override;
  void CreateWnd() override;
  void DestroyWnd() override;
  void WndProc(TMessage& Message) override;
  // Asked before the selection moves to Node (OnChanging).
  virtual bool CanChange(TTreeNode* Node);
  // Asked before Node opens (OnExpanding); a handler may add the children now.
  virtual bool CanExpand(TTreeNode* Node);
  virtual bool CanCollapse(TTreeNode* Node);
  // The selection moved (OnChange).
  virtual void Change(TTreeNode* Node);
  virtual void Expand(TTreeNode* Node);
  virtual void Collapse(TTreeNode* Node);
  // A node is going (OnDeletion).
  virtual void Delete(TTreeNode* Node);
  // Sets Node's image index (OnGetImageIndex may change it).
  virtual void GetImageIndex(TTreeNode* Node);
  virtual void GetSelectedIndex(TTreeNode* Node);
  // Asked before Node's label is edited (OnEditing).
  virtual bool CanEdit(TTreeNode* Node);
  // A label edit ended: Item.pszText holds the accepted text, null when it was cancelled. By
  // default OnEdited may change the text and the node takes it; OnCancelEdit hears of a cancel.
  virtual void Edit(const TTVItem& Item);
  // F2 edits the selected node's label unless the tree is read-only.
  void KeyDown(Word& Key, TShiftState Shift) override;
  void CMColorChanged(TMessage& Message) override;
  void CMFontChanged(TMessage& Message) override;

private:
  friend class TTreeNode;
  friend class TTreeNodes;
  HWND WindowIfAny() const { return FHandle; }
  void InsertItem(TTreeNode* Node, HTREEITEM After);
  void InsertItems(TTreeNode* Parent);
  void SetStyleFlag(DWORD Flag, bool On);
  void NodeDeleted(TTreeNode* Node);
  static int CompareNodes(LPARAM A, LPARAM B, LPARAM Data);
  std::unique_ptr<TTreeNodes> FItems;
  TCustomImageList* FImages = nullptr;
  TCustomImageList* FStateImages = nullptr;
  TTreeNode* FSavedSelected = nullptr;
  TTreeNode* FSavedTop = nullptr;
  int FIndent = 19;
  bool FShowButtons = true;
  bool FShowLines = true;
  bool FShowRoot = true;
  bool FReadOnly = false;
  bool FHideSelection = true;
  bool FRowSelect = false;
  bool FHotTrack = false;
  bool FAutoExpand = false;
  bool FRightClickSelect = false;
  TSortType FSortType = stNone;
  TBorderStyle FBorderStyle = bsSingle;
  bool FRecreating = false;
};

class TTreeView : public TCustomTreeView {
public:
  using TCustomTreeView::TCustomTreeView;
};
