#include "platform/vcl/TreeViewCtrl.h"

#include <algorithm>
#include <cstring>
#include <functional>

#include "platform/rtl/RtlConsts.h"
#include "platform/rtl/StrUtils.h"

// ---------------------------------------------------------------------------------------------
// TTreeNode

TTreeNode::~TTreeNode() {
  for (TTreeNode* C : FChildren) delete C;
}

TCustomTreeView* TTreeNode::GetTreeView() const { return FOwner ? FOwner->GetOwner() : nullptr; }

int TTreeNode::GetLevel() const {
  int L = 0;
  for (TTreeNode* P = FParent; P; P = P->FParent) ++L;
  return L;
}

TTreeNode* TTreeNode::GetItem(int Index) const {
  if (Index < 0 || Index >= GetCount()) throw EListError(RtlConsts::SListIndexError, {Index});
  return FChildren[static_cast<size_t>(Index)];
}

int TTreeNode::GetIndex() const {
  const auto& S = FOwner->SiblingsOf(FParent);
  if (FIndex >= 0 && static_cast<size_t>(FIndex) < S.size() && S[static_cast<size_t>(FIndex)] == this) return FIndex;
  auto It = std::find(S.begin(), S.end(), this);
  FIndex = It == S.end() ? -1 : static_cast<int>(It - S.begin());
  return FIndex;
}

int TTreeNode::GetAbsoluteIndex() const {
  int Result = 0;
  for (const TTreeNode* N = GetPrev(); N; N = N->GetPrev()) ++Result;
  return Result;
}

int TTreeNode::IndexOf(TTreeNode* Value) const {
  auto It = std::find(FChildren.begin(), FChildren.end(), Value);
  return It == FChildren.end() ? -1 : static_cast<int>(It - FChildren.begin());
}

void TTreeNode::UpdateItem(UINT Mask) {
  TCustomTreeView* T = GetTreeView();
  if (!T || !FItemId || !T->WindowIfAny()) return;
  TVITEMA Item;
  Item.mask = Mask | TVIF_HANDLE;
  Item.hItem = FItemId;
  Item.pszText = FText.data();
  Item.cChildren = FHasChildren ? 1 : 0;
  Item.iImage = I_IMAGECALLBACK;
  Item.iSelectedImage = I_IMAGECALLBACK;
  Item.stateMask = TVIS_CUT;
  Item.state = FCut ? TVIS_CUT : 0;
  SendMessageA(T->WindowIfAny(), TVM_SETITEMA, 0, reinterpret_cast<LPARAM>(&Item));
}

void TTreeNode::SetText(const String& Value) {
  FText = Value;
  UpdateItem(TVIF_TEXT);
}

void TTreeNode::SetImageIndex(int Value) {
  FImageIndex = Value;
  if (TCustomTreeView* T = GetTreeView(); T && T->WindowIfAny()) InvalidateRect(T->WindowIfAny(), nullptr, TRUE);
}

void TTreeNode::SetSelectedIndex(int Value) {
  FSelectedIndex = Value;
  if (TCustomTreeView* T = GetTreeView(); T && T->WindowIfAny()) InvalidateRect(T->WindowIfAny(), nullptr, TRUE);
}

void TTreeNode::SetStateIndex(int Value) { FStateIndex = Value; }
void TTreeNode::SetOverlayIndex(int Value) { FOverlayIndex = Value; }

void TTreeNode::SetHasChildren(bool Value) {
  FHasChildren = Value;
  UpdateItem(TVIF_CHILDREN);
}

void TTreeNode::SetCut(bool Value) {
  FCut = Value;
  UpdateItem(TVIF_STATE);
}

bool TTreeNode::GetExpanded() const {
  TCustomTreeView* T = GetTreeView();
  if (!T || !FItemId || !T->WindowIfAny()) return FExpanded;
  TVITEMA Item;
  Item.mask = TVIF_STATE | TVIF_HANDLE;
  Item.hItem = FItemId;
  Item.stateMask = TVIS_EXPANDED;
  SendMessageA(T->WindowIfAny(), TVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&Item));
  return (Item.state & TVIS_EXPANDED) != 0;
}

void TTreeNode::SetExpanded(bool Value) {
  if (Value)
    Expand(false);
  else
    Collapse(false);
}

bool TTreeNode::GetSelected() const {
  TCustomTreeView* T = GetTreeView();
  return T && T->GetSelected() == this;
}

void TTreeNode::SetSelected(bool Value) {
  TCustomTreeView* T = GetTreeView();
  if (!T) return;
  if (Value)
    T->SetSelected(this);
  else if (GetSelected())
    T->SetSelected(nullptr);
}

bool TTreeNode::GetDropTarget() const {
  TCustomTreeView* T = GetTreeView();
  return T && T->GetDropTarget() == this;
}

void TTreeNode::SetDropTarget(bool Value) {
  TCustomTreeView* T = GetTreeView();
  if (!T) return;
  if (Value)
    T->SetDropTarget(this);
  else if (GetDropTarget())
    T->SetDropTarget(nullptr);
}

TTreeNode* TTreeNode::getNextSibling() const {
  const auto& S = FOwner->SiblingsOf(FParent);
  int I = GetIndex();
  return I >= 0 && I + 1 < static_cast<int>(S.size()) ? S[static_cast<size_t>(I + 1)] : nullptr;
}

TTreeNode* TTreeNode::getPrevSibling() const {
  const auto& S = FOwner->SiblingsOf(FParent);
  int I = GetIndex();
  return I > 0 ? S[static_cast<size_t>(I - 1)] : nullptr;
}

TTreeNode* TTreeNode::GetNext() const {
  if (!FChildren.empty()) return FChildren.front();
  for (const TTreeNode* N = this; N; N = N->FParent)
    if (TTreeNode* S = N->getNextSibling()) return S;
  return nullptr;
}

TTreeNode* TTreeNode::GetPrev() const {
  TTreeNode* S = getPrevSibling();
  if (!S) return FParent;
  while (!S->FChildren.empty()) S = S->FChildren.back();
  return S;
}

bool TTreeNode::IsVisible() const {
  for (TTreeNode* P = FParent; P; P = P->FParent)
    if (!P->GetExpanded()) return false;
  return true;
}

TTreeNode* TTreeNode::GetNextVisible() const {
  if (!IsVisible()) return nullptr;
  if (GetExpanded() && !FChildren.empty()) return FChildren.front();
  for (const TTreeNode* N = this; N; N = N->FParent)
    if (TTreeNode* S = N->getNextSibling()) return S;
  return nullptr;
}

TTreeNode* TTreeNode::GetPrevVisible() const {
  if (!IsVisible()) return nullptr;
  TTreeNode* S = getPrevSibling();
  if (!S) return FParent;
  while (S->GetExpanded() && !S->FChildren.empty()) S = S->FChildren.back();
  return S;
}

bool TTreeNode::HasAsParent(TTreeNode* Value) const {
  if (!Value) return false;
  for (TTreeNode* P = FParent; P; P = P->FParent)
    if (P == Value) return true;
  return false;
}

void TTreeNode::Expand(bool Recurse) {
  TCustomTreeView* T = GetTreeView();
  if (T && !GetExpanded() && GetHasChildren() && T->CanExpand(this)) {
    // The handler may have filled the node; one left empty no longer claims children.
    if (FChildren.empty()) {
      SetHasChildren(false);
    } else {
      FExpanded = true;
      if (FItemId && T->WindowIfAny())
        SendMessageA(T->WindowIfAny(), TVM_EXPAND, TVE_EXPAND, reinterpret_cast<LPARAM>(FItemId));
      T->Expand(this);
    }
  }
  if (Recurse)
    for (size_t I = 0; I < FChildren.size(); ++I) FChildren[I]->Expand(true);
}

void TTreeNode::Collapse(bool Recurse) {
  TCustomTreeView* T = GetTreeView();
  if (T && GetExpanded() && T->CanCollapse(this)) {
    FExpanded = false;
    if (FItemId && T->WindowIfAny())
      SendMessageA(T->WindowIfAny(), TVM_EXPAND, TVE_COLLAPSE, reinterpret_cast<LPARAM>(FItemId));
    T->Collapse(this);
  }
  if (Recurse)
    for (size_t I = 0; I < FChildren.size(); ++I) FChildren[I]->Collapse(true);
}

void TTreeNode::MakeVisible() {
  TCustomTreeView* T = GetTreeView();
  if (T && FItemId && T->WindowIfAny()) {
    SendMessageA(T->WindowIfAny(), TVM_ENSUREVISIBLE, 0, reinterpret_cast<LPARAM>(FItemId));
    for (TTreeNode* P = FParent; P; P = P->FParent) P->FExpanded = true;
    return;
  }
  for (TTreeNode* P = FParent; P; P = P->FParent) P->FExpanded = true;
}

TRect TTreeNode::DisplayRect(bool TextOnly) const {
  TRect R{};
  TCustomTreeView* T = GetTreeView();
  if (!T || !FItemId || !T->WindowIfAny()) return R;
  // The message takes the item in the rectangle's first bytes.
  std::memcpy(static_cast<void*>(&R), &FItemId, sizeof FItemId);
  if (!SendMessageA(T->WindowIfAny(), TVM_GETITEMRECT, TextOnly ? 1 : 0, reinterpret_cast<LPARAM>(&R))) R = TRect{};
  return R;
}

bool TTreeNode::EditText() {
  TCustomTreeView* T = GetTreeView();
  if (!T || !FItemId || !T->WindowIfAny()) return false;
  return SendMessageA(T->WindowIfAny(), TVM_EDITLABELA, 0, reinterpret_cast<LPARAM>(FItemId)) != 0;
}

void TTreeNode::EndEdit(bool Cancel) {
  TCustomTreeView* T = GetTreeView();
  if (!T || !T->WindowIfAny() || !FItemId) return;
  // Only an edit of this node's label ends.
  HWND Edit = reinterpret_cast<HWND>(SendMessageA(T->WindowIfAny(), TVM_GETEDITCONTROL, 0, 0));
  if (Edit && T->GetSelected() == this) SendMessageA(T->WindowIfAny(), TVM_ENDEDITLABELNOW, Cancel ? TRUE : FALSE, 0);
}

void TTreeNode::Delete() { FOwner->Delete(this); }

void TTreeNode::DeleteChildren() {
  while (!FChildren.empty()) FOwner->Delete(FChildren.back());
  FHasChildren = false;
  UpdateItem(TVIF_CHILDREN);
}

namespace {

void SortNodes(std::vector<TTreeNode*>& Nodes, const std::function<int(TTreeNode*, TTreeNode*)>& Compare) {
  std::stable_sort(Nodes.begin(), Nodes.end(), [&](TTreeNode* A, TTreeNode* B) { return Compare(A, B) < 0; });
  TTreeNodes::Renumber(Nodes, 0);
}

// Puts the window's items below Parent in the order of Nodes (their nodes, as sorted).
void MirrorOrder(HWND Wnd, HTREEITEM Parent, const std::vector<TTreeNode*>& Nodes) {
  std::unordered_map<LPARAM, int> Position;
  Position.reserve(Nodes.size());
  for (std::size_t I = 0; I < Nodes.size(); ++I) Position[reinterpret_cast<LPARAM>(Nodes[I])] = static_cast<int>(I);
  TVSORTCB Cb;
  Cb.hParent = Parent;
  Cb.lParam = reinterpret_cast<LPARAM>(&Position);
  Cb.lpfnCompare = [](LPARAM A, LPARAM B, LPARAM Map) {
    const auto& P = *reinterpret_cast<const std::unordered_map<LPARAM, int>*>(Map);
    const auto IA = P.find(A), IB = P.find(B);
    return (IA == P.end() ? -1 : IA->second) - (IB == P.end() ? -1 : IB->second);
  };
  SendMessageA(Wnd, TVM_SORTCHILDRENCB, 0, reinterpret_cast<LPARAM>(&Cb));
}

}  // namespace

bool TTreeNode::AlphaSort(bool ARecurse) { return CustomSort(nullptr, 0, ARecurse); }

bool TTreeNode::CustomSort(TTVCompare SortProc, LPARAM Data, bool ARecurse) {
  TCustomTreeView* T = GetTreeView();
  if (!T) return false;
  SortNodes(FChildren,
            [&](TTreeNode* A, TTreeNode* B) {
              return SortProc ? SortProc(reinterpret_cast<LPARAM>(A), reinterpret_cast<LPARAM>(B), Data)
                              : TCustomTreeView::CompareNodes(reinterpret_cast<LPARAM>(A), reinterpret_cast<LPARAM>(B),
                                                              reinterpret_cast<LPARAM>(T));
            });
  if (FItemId && T->WindowIfAny()) MirrorOrder(T->WindowIfAny(), FItemId, FChildren);
  if (ARecurse)
    for (TTreeNode* C : FChildren) C->CustomSort(SortProc, Data, true);
  return true;
}

void TTreeNode::Assign(TPersistent* Source) {
  auto* N = dynamic_cast<TTreeNode*>(Source);
  if (!N) {
    TPersistent::Assign(Source);
    return;
  }
  SetText(N->FText);
  FData = N->FData;
  FImageIndex = N->FImageIndex;
  FSelectedIndex = N->FSelectedIndex;
  FStateIndex = N->FStateIndex;
  FOverlayIndex = N->FOverlayIndex;
  SetHasChildren(N->FHasChildren);
}

// ---------------------------------------------------------------------------------------------
// TTreeNodes

TTreeNodes::~TTreeNodes() {
  for (TTreeNode* N : FRoots) delete N;
}

int TTreeNodes::GetCount() const {
  int Count = 0;
  for (TTreeNode* N = GetFirstNode(); N; N = N->GetNext()) ++Count;
  return Count;
}

TTreeNode* TTreeNodes::GetItem(int Index) const {
  if (Index >= 0) {
    int I = 0;
    for (TTreeNode* N = GetFirstNode(); N; N = N->GetNext(), ++I)
      if (I == Index) return N;
  }
  throw EListError(RtlConsts::SListIndexError, {Index});
}

void TTreeNodes::Renumber(std::vector<TTreeNode*>& Siblings, size_t From) {
  for (size_t I = From; I < Siblings.size(); ++I) Siblings[I]->FIndex = static_cast<int>(I);
}

TTreeNode* TTreeNodes::GetNode(HTREEITEM ItemId) const {
  if (!ItemId) return nullptr;
  const auto It = FByItemId.find(ItemId);
  return It == FByItemId.end() ? nullptr : It->second;
}

void TTreeNodes::SetItemId(TTreeNode* Node, HTREEITEM ItemId) {
  if (Node->FItemId) {
    const auto It = FByItemId.find(Node->FItemId);
    if (It != FByItemId.end() && It->second == Node) FByItemId.erase(It);
  }
  Node->FItemId = ItemId;
  if (ItemId) FByItemId[ItemId] = Node;
}

TTreeNode* TTreeNodes::InsertNode(TTreeNode* Parent, size_t Pos, const String& S, void* Ptr) {
  auto* Node = new TTreeNode(this);
  Node->FParent = Parent;
  Node->FText = S;
  Node->FData = Ptr;
  auto& Siblings = SiblingsOf(Parent);
  Pos = std::min(Pos, Siblings.size());
  Siblings.insert(Siblings.begin() + static_cast<std::ptrdiff_t>(Pos), Node);
  Renumber(Siblings, Pos);
  HTREEITEM After = Pos == 0 ? TVI_FIRST : Siblings[Pos - 1]->FItemId;
  FOwner->InsertItem(Node, After ? After : TVI_LAST);
  if (FOwner->FSortType == stText || FOwner->FSortType == stBoth) {
    if (Parent)
      Parent->AlphaSort(false);
    else
      FOwner->AlphaSort(false);
  }
  return Node;
}

TTreeNode* TTreeNodes::AddObject(TTreeNode* Sibling, const String& S, void* Ptr) {
  TTreeNode* Parent = Sibling ? Sibling->FParent : nullptr;
  return InsertNode(Parent, SiblingsOf(Parent).size(), S, Ptr);
}

TTreeNode* TTreeNodes::AddObjectFirst(TTreeNode* Sibling, const String& S, void* Ptr) {
  return InsertNode(Sibling ? Sibling->FParent : nullptr, 0, S, Ptr);
}

TTreeNode* TTreeNodes::AddChildObject(TTreeNode* Parent, const String& S, void* Ptr) {
  return InsertNode(Parent, SiblingsOf(Parent).size(), S, Ptr);
}

TTreeNode* TTreeNodes::AddChildObjectFirst(TTreeNode* Parent, const String& S, void* Ptr) {
  return InsertNode(Parent, 0, S, Ptr);
}

TTreeNode* TTreeNodes::InsertObject(TTreeNode* Sibling, const String& S, void* Ptr) {
  if (!Sibling) return AddObject(nullptr, S, Ptr);
  return InsertNode(Sibling->FParent, static_cast<size_t>(Sibling->GetIndex()), S, Ptr);
}

void TTreeNodes::Delete(TTreeNode* Node) {
  if (!Node || Node->FDeleting || Node->FOwner != this) return;
  Node->FDeleting = true;
  // Each node of the subtree is announced, children first.
  std::function<void(TTreeNode*)> Announce = [&](TTreeNode* N) {
    for (size_t I = N->FChildren.size(); I-- > 0;) Announce(N->FChildren[I]);
    FOwner->NodeDeleted(N);
    FOwner->Delete(N);
  };
  Announce(Node);
  auto& Siblings = SiblingsOf(Node->FParent);
  if (const int Index = Node->GetIndex(); Index >= 0) {
    Siblings.erase(Siblings.begin() + Index);  // the usual order of clearing, last first, moves nothing
    Renumber(Siblings, static_cast<size_t>(Index));
  }
  if (Node->FItemId && FOwner->WindowIfAny())
    SendMessageA(FOwner->WindowIfAny(), TVM_DELETEITEM, 0, reinterpret_cast<LPARAM>(Node->FItemId));
  // The subtree's items went with it; none may be found by its item any more.
  std::function<void(TTreeNode*)> Forget = [&](TTreeNode* N) {
    for (TTreeNode* C : N->FChildren) Forget(C);
    SetItemId(N, nullptr);
  };
  Forget(Node);
  delete Node;
}

void TTreeNodes::Clear() {
  BeginUpdate();
  while (!FRoots.empty()) Delete(FRoots.back());
  EndUpdate();
}

void TTreeNodes::BeginUpdate() {
  if (FUpdateCount++ == 0 && FOwner->WindowIfAny()) SendMessageA(FOwner->WindowIfAny(), WM_SETREDRAW, FALSE, 0);
}

void TTreeNodes::EndUpdate() {
  if (FUpdateCount == 0) return;
  if (--FUpdateCount == 0 && FOwner->WindowIfAny()) {
    SendMessageA(FOwner->WindowIfAny(), WM_SETREDRAW, TRUE, 0);
    InvalidateRect(FOwner->WindowIfAny(), nullptr, TRUE);
  }
}

void TTreeNodes::Assign(TPersistent* Source) {
  auto* Other = dynamic_cast<TTreeNodes*>(Source);
  if (!Other) {
    TPersistent::Assign(Source);
    return;
  }
  if (Other == this) return;
  BeginUpdate();
  Clear();
  std::function<void(TTreeNode*, TTreeNode*)> Copy = [&](TTreeNode* From, TTreeNode* ToParent) {
    TTreeNode* N = AddChildObject(ToParent, From->FText, From->FData);
    N->Assign(From);
    for (TTreeNode* C : From->FChildren) Copy(C, N);
  };
  for (TTreeNode* R : Other->FRoots) Copy(R, nullptr);
  EndUpdate();
}

// ---------------------------------------------------------------------------------------------
// TCustomTreeView

TCustomTreeView::TCustomTreeView(TComponent* AOwner)
    : TWinControl(AOwner), FItems(std::make_unique<TTreeNodes>(this)) {
  FControlStyle = csCaptureMouse | csClickEvents | csDoubleClicks;
  FWidth = 121;
  FHeight = 97;
  SetTabStop(true);
  SetParentColor(false);
  SetColor(clWindow);
}

TCustomTreeView::~TCustomTreeView() {
  // The window goes while this is still a tree view; its item notifications are not ours.
  FRecreating = true;
  if (HandleAllocated()) DestroyHandle();
  SetParent(nullptr);
  FItems.reset();
}

void TCustomTreeView::CreateParams(TCreateParams& Params) {
  RegisterTreeViewClass();
  TWinControl::CreateParams(Params);
  CreateSubClass(Params, WC_TREEVIEWA);
  if (FShowLines) Params.Style |= TVS_HASLINES;
  if (FShowRoot) Params.Style |= TVS_LINESATROOT;
  if (FShowButtons) Params.Style |= TVS_HASBUTTONS;
  if (!FReadOnly) Params.Style |= TVS_EDITLABELS;
  if (!FHideSelection) Params.Style |= TVS_SHOWSELALWAYS;
  if (FRowSelect) Params.Style |= TVS_FULLROWSELECT;
  if (FHotTrack) Params.Style |= TVS_TRACKSELECT;
  if (FBorderStyle == bsSingle) Params.ExStyle |= WS_EX_CLIENTEDGE;
  Params.WindowClass.style &= ~(CS_HREDRAW | CS_VREDRAW);
}

void TCustomTreeView::InsertItem(TTreeNode* Node, HTREEITEM After) {
  if (!FHandle) return;
  if (Node->FParent && !Node->FParent->FItemId) return;
  TVINSERTSTRUCTA In;
  In.hParent = Node->FParent ? Node->FParent->FItemId : TVI_ROOT;
  In.hInsertAfter = After;
  In.item.mask = TVIF_TEXT | TVIF_IMAGE | TVIF_SELECTEDIMAGE | TVIF_PARAM | TVIF_CHILDREN | TVIF_STATE;
  In.item.pszText = Node->FText.data();
  In.item.iImage = I_IMAGECALLBACK;
  In.item.iSelectedImage = I_IMAGECALLBACK;
  In.item.cChildren = Node->FHasChildren ? 1 : 0;
  In.item.lParam = reinterpret_cast<LPARAM>(Node);
  In.item.stateMask = TVIS_EXPANDED | TVIS_CUT;
  In.item.state = (Node->FExpanded && !Node->FChildren.empty() ? TVIS_EXPANDED : 0) | (Node->FCut ? TVIS_CUT : 0);
  FItems->SetItemId(Node, reinterpret_cast<HTREEITEM>(SendMessageA(FHandle, TVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&In))));
}

void TCustomTreeView::InsertItems(TTreeNode* Parent) {
  for (TTreeNode* N : FItems->SiblingsOf(Parent)) {
    InsertItem(N, TVI_LAST);
    InsertItems(N);
    if (N->FExpanded && !N->FChildren.empty())
      SendMessageA(FHandle, TVM_EXPAND, TVE_EXPAND, reinterpret_cast<LPARAM>(N->FItemId));
  }
}

void TCustomTreeView::CreateWnd() {
  TWinControl::CreateWnd();
  SendMessageA(FHandle, TVM_SETBKCOLOR, 0, static_cast<LPARAM>(ColorToRGB(GetColor())));
  SendMessageA(FHandle, TVM_SETTEXTCOLOR, 0, static_cast<LPARAM>(ColorToRGB(GetFont()->GetColor())));
  SendMessageA(FHandle, TVM_SETIMAGELIST, TVSIL_NORMAL, reinterpret_cast<LPARAM>(FImages));
  SendMessageA(FHandle, TVM_SETIMAGELIST, TVSIL_STATE, reinterpret_cast<LPARAM>(FStateImages));
  SendMessageA(FHandle, TVM_SETINDENT, static_cast<WPARAM>(FIndent), 0);
  FRecreating = true;
  InsertItems(nullptr);
  if (FSavedSelected && FSavedSelected->FItemId)
    SendMessageA(FHandle, TVM_SELECTITEM, TVGN_CARET, reinterpret_cast<LPARAM>(FSavedSelected->FItemId));
  if (FSavedTop && FSavedTop->FItemId)
    SendMessageA(FHandle, TVM_SELECTITEM, TVGN_FIRSTVISIBLE, reinterpret_cast<LPARAM>(FSavedTop->FItemId));
  FRecreating = false;
  FSavedSelected = FSavedTop = nullptr;
}

void TCustomTreeView::DestroyWnd() {
  bool Was = FRecreating;
  FRecreating = true;
  if (FHandle) {
    FSavedSelected = GetSelected();
    FSavedTop = GetTopItem();
    for (TTreeNode* N = FItems->GetFirstNode(); N; N = N->GetNext()) N->FExpanded = N->GetExpanded();
  }
  TWinControl::DestroyWnd();
  for (TTreeNode* N = FItems->GetFirstNode(); N; N = N->GetNext()) N->FItemId = nullptr;
  FItems->FByItemId.clear();
  FRecreating = Was;
}

void TCustomTreeView::NodeDeleted(TTreeNode* Node) {
  if (FSavedSelected == Node) FSavedSelected = nullptr;
  if (FSavedTop == Node) FSavedTop = nullptr;
}

TTreeNode* TCustomTreeView::GetSelected() const {
  if (!FHandle) return FSavedSelected;
  auto H = reinterpret_cast<HTREEITEM>(SendMessageA(FHandle, TVM_GETNEXTITEM, TVGN_CARET, 0));
  return FItems->GetNode(H);
}

void TCustomTreeView::SetSelected(TTreeNode* Value) {
  if (Value && Value->FOwner != FItems.get()) return;
  if (!FHandle) {
    FSavedSelected = Value;
    return;
  }
  SendMessageA(FHandle, TVM_SELECTITEM, TVGN_CARET, reinterpret_cast<LPARAM>(Value ? Value->FItemId : nullptr));
}

TTreeNode* TCustomTreeView::GetTopItem() const {
  if (!FHandle) return FSavedTop ? FSavedTop : FItems->GetFirstNode();
  auto H = reinterpret_cast<HTREEITEM>(SendMessageA(FHandle, TVM_GETNEXTITEM, TVGN_FIRSTVISIBLE, 0));
  return FItems->GetNode(H);
}

void TCustomTreeView::SetTopItem(TTreeNode* Value) {
  if (!Value || Value->FOwner != FItems.get()) return;
  if (!FHandle) {
    FSavedTop = Value;
    return;
  }
  SendMessageA(FHandle, TVM_SELECTITEM, TVGN_FIRSTVISIBLE, reinterpret_cast<LPARAM>(Value->FItemId));
}

TTreeNode* TCustomTreeView::GetDropTarget() const {
  if (!FHandle) return nullptr;
  return FItems->GetNode(reinterpret_cast<HTREEITEM>(SendMessageA(FHandle, TVM_GETNEXTITEM, TVGN_DROPHILITE, 0)));
}

void TCustomTreeView::SetDropTarget(TTreeNode* Value) {
  if (FHandle)
    SendMessageA(FHandle, TVM_SELECTITEM, TVGN_DROPHILITE, reinterpret_cast<LPARAM>(Value ? Value->FItemId : nullptr));
}

void TCustomTreeView::SetImages(TCustomImageList* Value) {
  if (FImages == Value) return;
  if (FImages) FImages->RemoveFreeNotification(this);
  FImages = Value;
  if (Value) Value->FreeNotification(this);
  if (FHandle) SendMessageA(FHandle, TVM_SETIMAGELIST, TVSIL_NORMAL, reinterpret_cast<LPARAM>(Value));
}

void TCustomTreeView::SetStateImages(TCustomImageList* Value) {
  if (FStateImages == Value) return;
  if (FStateImages) FStateImages->RemoveFreeNotification(this);
  FStateImages = Value;
  if (Value) Value->FreeNotification(this);
  if (FHandle) SendMessageA(FHandle, TVM_SETIMAGELIST, TVSIL_STATE, reinterpret_cast<LPARAM>(Value));
}

void TCustomTreeView::Notification(TComponent* AComponent, TOperation Operation) {
  TWinControl::Notification(AComponent, Operation);
  if (Operation != opRemove) return;
  if (AComponent == FImages) SetImages(nullptr);
  if (AComponent == FStateImages) SetStateImages(nullptr);
}

int TCustomTreeView::GetIndent() const {
  return FHandle ? static_cast<int>(SendMessageA(FHandle, TVM_GETINDENT, 0, 0)) : FIndent;
}

void TCustomTreeView::SetIndent(int Value) {
  FIndent = Value;
  if (FHandle) SendMessageA(FHandle, TVM_SETINDENT, static_cast<WPARAM>(Value), 0);
}

void TCustomTreeView::SetStyleFlag(DWORD Flag, bool On) {
  if (!FHandle) return;
  LONG Style = GetWindowLongA(FHandle, GWL_STYLE);
  Style = On ? (Style | static_cast<LONG>(Flag)) : (Style & ~static_cast<LONG>(Flag));
  SetWindowLongA(FHandle, GWL_STYLE, Style);
  InvalidateRect(FHandle, nullptr, TRUE);
}

void TCustomTreeView::SetShowButtons(bool Value) {
  FShowButtons = Value;
  SetStyleFlag(TVS_HASBUTTONS, Value);
}

void TCustomTreeView::SetShowLines(bool Value) {
  FShowLines = Value;
  SetStyleFlag(TVS_HASLINES, Value);
}

void TCustomTreeView::SetShowRoot(bool Value) {
  FShowRoot = Value;
  SetStyleFlag(TVS_LINESATROOT, Value);
}

void TCustomTreeView::SetReadOnly(bool Value) {
  FReadOnly = Value;
  SetStyleFlag(TVS_EDITLABELS, !Value);
}

void TCustomTreeView::SetHideSelection(bool Value) {
  FHideSelection = Value;
  SetStyleFlag(TVS_SHOWSELALWAYS, !Value);
}

void TCustomTreeView::SetRowSelect(bool Value) {
  FRowSelect = Value;
  SetStyleFlag(TVS_FULLROWSELECT, Value);
}

void TCustomTreeView::SetSortType(TSortType Value) {
  if (FSortType == Value) return;
  FSortType = Value;
  if (Value == stText || Value == stBoth) AlphaSort(true);
}

void TCustomTreeView::SetBorderStyle(TBorderStyle Value) {
  if (FBorderStyle == Value) return;
  FBorderStyle = Value;
  if (FHandle) RecreateWnd();
}

TTreeNode* TCustomTreeView::GetNodeAt(int X, int Y) {
  if (!FHandle) return nullptr;
  TVHITTESTINFO Info;
  Info.pt = Point(X, Y);
  auto H = reinterpret_cast<HTREEITEM>(SendMessageA(FHandle, TVM_HITTEST, 0, reinterpret_cast<LPARAM>(&Info)));
  return H && (Info.flags & (TVHT_ONITEM | TVHT_ONITEMRIGHT | TVHT_ONITEMINDENT | TVHT_ONITEMBUTTON)) ? FItems->GetNode(H)
                                                                                                     : nullptr;
}

THitTests TCustomTreeView::GetHitTestInfoAt(int X, int Y) {
  if (!FHandle) return htNowhere;
  TVHITTESTINFO Info;
  Info.pt = Point(X, Y);
  SendMessageA(FHandle, TVM_HITTEST, 0, reinterpret_cast<LPARAM>(&Info));
  THitTests R = 0;
  if (Info.flags & TVHT_ABOVE) R |= htAbove;
  if (Info.flags & TVHT_BELOW) R |= htBelow;
  if (Info.flags & TVHT_NOWHERE) R |= htNowhere;
  if (Info.flags & TVHT_ONITEMBUTTON) R |= htOnButton;
  if (Info.flags & TVHT_ONITEMICON) R |= htOnIcon | htOnItem;
  if (Info.flags & TVHT_ONITEMINDENT) R |= htOnIndent;
  if (Info.flags & TVHT_ONITEMLABEL) R |= htOnLabel | htOnItem;
  if (Info.flags & TVHT_ONITEMRIGHT) R |= htOnRight;
  if (Info.flags & TVHT_ONITEMSTATEICON) R |= htOnStateIcon;
  if (Info.flags & TVHT_TOLEFT) R |= htToLeft;
  if (Info.flags & TVHT_TORIGHT) R |= htToRight;
  return R;
}

int TCustomTreeView::CompareNodes(LPARAM A, LPARAM B, LPARAM Data) {
  auto* N1 = reinterpret_cast<TTreeNode*>(A);
  auto* N2 = reinterpret_cast<TTreeNode*>(B);
  auto* T = reinterpret_cast<TCustomTreeView*>(Data);
  if (T && T->OnCompare) {
    int Result = 0;
    T->OnCompare(T, N1, N2, 0, Result);
    return Result;
  }
  return AnsiCompareText(N1->GetText(), N2->GetText());
}

bool TCustomTreeView::AlphaSort(bool ARecurse) { return CustomSort(nullptr, 0, ARecurse); }

bool TCustomTreeView::CustomSort(TTVCompare SortProc, LPARAM Data, bool ARecurse) {
  auto& Roots = FItems->FRoots;
  SortNodes(Roots,
            [&](TTreeNode* A, TTreeNode* B) {
              return SortProc ? SortProc(reinterpret_cast<LPARAM>(A), reinterpret_cast<LPARAM>(B), Data)
                              : CompareNodes(reinterpret_cast<LPARAM>(A), reinterpret_cast<LPARAM>(B),
                                             reinterpret_cast<LPARAM>(this));
            });
  if (FHandle) MirrorOrder(FHandle, TVI_ROOT, Roots);
  if (ARecurse)
    for (TTreeNode* N : Roots) N->CustomSort(SortProc, Data, true);
  return true;
}

void TCustomTreeView::FullExpand() {
  for (TTreeNode* N : std::vector<TTreeNode*>(FItems->FRoots)) N->Expand(true);
}

void TCustomTreeView::FullCollapse() {
  for (TTreeNode* N : std::vector<TTreeNode*>(FItems->FRoots)) N->Collapse(true);
}

bool TCustomTreeView::CanChange(TTreeNode* Node) {
  bool Allow = true;
  if (OnChanging) OnChanging(this, Node, Allow);
  return Allow;
}

bool TCustomTreeView::CanExpand(TTreeNode* Node) {
  bool Allow = true;
  if (OnExpanding) OnExpanding(this, Node, Allow);
  return Allow;
}

bool TCustomTreeView::CanCollapse(TTreeNode* Node) {
  bool Allow = true;
  if (OnCollapsing) OnCollapsing(this, Node, Allow);
  return Allow;
}

void TCustomTreeView::Change(TTreeNode* Node) {
  if (OnChange) OnChange(this, Node);
}

void TCustomTreeView::Expand(TTreeNode* Node) {
  if (OnExpanded) OnExpanded(this, Node);
}

void TCustomTreeView::Collapse(TTreeNode* Node) {
  if (OnCollapsed) OnCollapsed(this, Node);
}

void TCustomTreeView::Delete(TTreeNode* Node) {
  if (OnDeletion) OnDeletion(this, Node);
}

void TCustomTreeView::GetImageIndex(TTreeNode* Node) {
  if (OnGetImageIndex) OnGetImageIndex(this, Node);
}

void TCustomTreeView::GetSelectedIndex(TTreeNode* Node) {
  if (OnGetSelectedIndex) OnGetSelectedIndex(this, Node);
}

bool TCustomTreeView::IsEditing() const {
  return FHandle && SendMessageA(FHandle, TVM_GETEDITCONTROL, 0, 0) != 0;
}

bool TCustomTreeView::CanEdit(TTreeNode* Node) {
  bool Allow = true;
  if (OnEditing) OnEditing(this, Node, Allow);
  return Allow;
}

void TCustomTreeView::Edit(const TTVItem& Item) {
  TTreeNode* Node = FItems->GetNode(Item.hItem);
  if (!Item.pszText) {
    if (OnCancelEdit) OnCancelEdit(this, Node);
    return;
  }
  String S = Item.pszText;
  if (OnEdited) OnEdited(this, Node, S);
  if (Node) Node->SetText(S);
}

void TCustomTreeView::KeyDown(Word& Key, TShiftState Shift) {
  TWinControl::KeyDown(Key, Shift);
  if (Key == VK_F2 && Shift == 0 && !FReadOnly && !IsEditing())
    if (TTreeNode* Node = GetSelected()) {
      Node->EditText();
      Key = 0;
    }
}

void TCustomTreeView::CMColorChanged(TMessage& Message) {
  TWinControl::CMColorChanged(Message);
  if (FHandle) SendMessageA(FHandle, TVM_SETBKCOLOR, 0, static_cast<LPARAM>(ColorToRGB(GetColor())));
}

void TCustomTreeView::CMFontChanged(TMessage& Message) {
  TWinControl::CMFontChanged(Message);
  if (FHandle) SendMessageA(FHandle, TVM_SETTEXTCOLOR, 0, static_cast<LPARAM>(ColorToRGB(GetFont()->GetColor())));
}

void TCustomTreeView::WndProc(TMessage& Message) {
  // Keys typed into the label editor: the tree's key events see them, the form's dialog keys
  // (Enter, Escape, Tab) do not, and the editor gets them unless a handler ate them.
  if ((Message.Msg == CN_KEYDOWN || Message.Msg == CN_CHAR) && FHandle && IsEditing() &&
      GetFocus() == reinterpret_cast<HWND>(SendMessageA(FHandle, TVM_GETEDITCONTROL, 0, 0))) {
    bool Eaten = Message.Msg == CN_KEYDOWN ? DoKeyDown(Message) : DoKeyPress(Message);
    Message.Result = Eaten ? 1 : 0;
    return;
  }
  if (Message.Msg == CN_NOTIFY && Message.LParam) {
    auto* H = reinterpret_cast<const NMHDR*>(Message.LParam);
    switch (H->code) {
      case TVN_SELCHANGINGA: {
        auto* N = reinterpret_cast<const NMTREEVIEWA*>(Message.LParam);
        auto* Node = reinterpret_cast<TTreeNode*>(N->itemNew.hItem ? N->itemNew.lParam : 0);
        Message.Result = FRecreating || CanChange(Node) ? 0 : 1;
        return;
      }
      case TVN_SELCHANGEDA: {
        auto* N = reinterpret_cast<const NMTREEVIEWA*>(Message.LParam);
        if (!FRecreating) Change(reinterpret_cast<TTreeNode*>(N->itemNew.hItem ? N->itemNew.lParam : 0));
        Message.Result = 0;
        return;
      }
      case TVN_ITEMEXPANDINGA: {
        auto* N = reinterpret_cast<const NMTREEVIEWA*>(Message.LParam);
        auto* Node = reinterpret_cast<TTreeNode*>(N->itemNew.lParam);
        if (FRecreating || !Node) {
          Message.Result = 0;
          return;
        }
        bool Allow = N->action == TVE_EXPAND ? CanExpand(Node) : CanCollapse(Node);
        if (Allow && N->action == TVE_EXPAND && Node->FChildren.empty()) Node->SetHasChildren(false);
        Message.Result = Allow ? 0 : 1;
        return;
      }
      case TVN_ITEMEXPANDEDA: {
        auto* N = reinterpret_cast<const NMTREEVIEWA*>(Message.LParam);
        auto* Node = reinterpret_cast<TTreeNode*>(N->itemNew.lParam);
        if (!FRecreating && Node) {
          Node->FExpanded = N->action == TVE_EXPAND;
          if (N->action == TVE_EXPAND)
            Expand(Node);
          else
            Collapse(Node);
        }
        Message.Result = 0;
        return;
      }
      case TVN_GETDISPINFOA: {
        auto* D = reinterpret_cast<NMTVDISPINFOA*>(Message.LParam);
        auto* Node = reinterpret_cast<TTreeNode*>(D->item.lParam);
        if (!Node) return;
        if ((D->item.mask & TVIF_TEXT) && D->item.pszText && D->item.cchTextMax > 0) {
          size_t Len = std::min(Node->FText.size(), static_cast<size_t>(D->item.cchTextMax - 1));
          std::copy_n(Node->FText.data(), Len, D->item.pszText);
          D->item.pszText[Len] = '\0';
        }
        if (D->item.mask & TVIF_IMAGE) {
          GetImageIndex(Node);
          D->item.iImage = Node->FImageIndex;
        }
        if (D->item.mask & TVIF_SELECTEDIMAGE) {
          GetSelectedIndex(Node);
          D->item.iSelectedImage = Node->FSelectedIndex;
        }
        if (D->item.mask & TVIF_CHILDREN) D->item.cChildren = Node->GetHasChildren() ? 1 : 0;
        Message.Result = 0;
        return;
      }
      case TVN_DELETEITEMA: Message.Result = 0; return;  // nodes are deleted through TTreeNodes
      case TVN_BEGINLABELEDITA: {
        auto* D = reinterpret_cast<const NMTVDISPINFOA*>(Message.LParam);
        TTreeNode* Node = FItems->GetNode(D->item.hItem);
        Message.Result = Node && CanEdit(Node) ? 0 : 1;
        return;
      }
      case TVN_ENDLABELEDITA: {
        // The node takes the text itself (Edit), so the window is told not to.
        Edit(reinterpret_cast<const NMTVDISPINFOA*>(Message.LParam)->item);
        Message.Result = 0;
        return;
      }
      case NM_RCLICK:
        if (FRightClickSelect) {
          POINT P{};
          GetCursorPos(&P);
          TPoint C = ScreenToClient(P);
          if (TTreeNode* Node = GetNodeAt(C.x, C.y)) SetSelected(Node);
        }
        break;
      default: break;
    }
  }
  TWinControl::WndProc(Message);
}
