#include "extctrls/XcConsumerViewList.h"

#include "platform/rtl/StrUtils.h"

XC_DEFINE_CLASS_REF(TXcCustomDataConsumerViewList, TXcDataConsumerAggregatedObject::StaticClass(), nullptr)
XC_DEFINE_CLASS_REF(TXcDataConsumerViewList, TXcCustomDataConsumerViewList::StaticClass(), [](TObject* Owner) -> TObject* {
  return XcCreate<TXcDataConsumerViewList>(XcArgAs<TXcDataConsumer>(Owner));
})

namespace {

TIntf<IXcDataItems> SubListOf(IXcDataItem* Item) { return Supports<IXcDataItems>(static_cast<IInterface*>(Item)); }

}  // namespace

// ---- TXcCustomDataConsumerViewList ----

TXcCustomDataConsumerViewList::TXcCustomDataConsumerViewList(TXcDataConsumer* AOwner) : TXcDataConsumerAggregatedObject(AOwner) {}

void TXcCustomDataConsumerViewList::AfterConstruction()
{
  TXcDataConsumerAggregatedObject::AfterConstruction();
  if (ConsumerImpl()->GetProvider()) RebuildView();
}

bool TXcCustomDataConsumerViewList::GetOwnInterface(TIID IID, void** Obj)
{
  return XcAnswer<IXcDataConsumerViewList>(this, IID, Obj) || TXcDataConsumerAggregatedObject::GetOwnInterface(IID, Obj);
}

void TXcCustomDataConsumerViewList::SetLevelIndent(int Value)
{
  if (Value == FLevelIndent) return;
  FLevelIndent = Value;
  Changed(ccOther);
}

void TXcCustomDataConsumerViewList::ClearView()
{
  while (Count() > 0) DeleteItem(0);
}

void TXcCustomDataConsumerViewList::RebuildView()
{
  ClearView();
  if (ConsumerImpl()->GetProvider()) {
    TXcConsumerAccess Access(ConsumerImpl());
    if (const TIntf<IXcDataItems> Root = RootItems()) {
      int Index = 0;
      AddItems(Index, Root.Get(), FAutoExpandLevel);
    }
  }
  NotifyViewChanged();
}

void TXcCustomDataConsumerViewList::ExpandTreeTo(IXcDataItem* Item)
{
  if (Item == nullptr || GetItemVisibleState(Item) == 0 || IndexOfItem(Item) >= 0) return;
  const TIntf<IXcDataItems> List = Item->GetItems();
  const TIntf<IXcDataItem> Parent = List ? List->GetParent() : nullptr;
  if (!Parent) return;
  ExpandTreeTo(Parent.Get());
  const int Row = IndexOfItem(Parent.Get());
  if (Row < 0) return;
  if (ItemIsExpanded(Row)) throw EXCLDataConsumer("ViewList out of sync");
  ToggleItem(Row);
}

std::vector<std::int32_t> TXcCustomDataConsumerViewList::ItemGroupInfo(int Index)
{
  const int Depth = ItemLevel(Index);
  std::vector<std::int32_t> Bits(static_cast<std::size_t>((Depth + 31) / 32), 0);
  int Row = Index;
  for (int K = Depth - 1; K >= 0; --K) {
    Row = ItemParentIndex(Row);
    if (Row < 0) break;
    if (ItemSiblingIndex(Row) >= 0)
      Bits[static_cast<std::size_t>(K / 32)] |= static_cast<std::int32_t>(1u << (K % 32));
  }
  return Bits;
}

int TXcCustomDataConsumerViewList::GetItemVisibleState(IXcDataItem* Item)
{
  if (Item == nullptr) return 3;
  int Value = 3;
  const TIntf<IXcDataItems> List = Item->GetItems();
  const TIntf<IXcDataProvider> Provider = List ? List->GetProvider() : nullptr;
  if (Provider) {
    const TIntf<IXcDataConsumer> Selected = Provider->SelectedConsumer();
    if (const auto Visibility = Supports<IXcDataConsumerItemVisibility>(Selected)) Value = Visibility->GetItemVisibleState(Item);
  }
  if (Value == 2 || Value == 3)
    if (const auto Own = Supports<IXcDataItemVisibility>(static_cast<IInterface*>(Item))) Value = Own->GetItemVisibleState();
  return Value;
}

void TXcCustomDataConsumerViewList::DataProviderChanging(IXcDataProvider*, TXcProviderChange Reason, IInterface* Source)
{
  if (Reason != pcDeleteItem || Source == nullptr) return;
  TXcConsumerAccess Access(ConsumerImpl());
  const auto Item = Supports<IXcDataItem>(Source);
  if (!Item) return;
  const int Row = IndexOfItem(Item.Get());
  if (Row < 0) return;
  DeleteItem(Row);
  NotifyViewChanged();
}

void TXcCustomDataConsumerViewList::DataProviderChanged(IXcDataProvider*, TXcProviderChange Reason, IInterface* Source)
{
  if (Reason != pcAddItem || Source == nullptr) return;
  TXcConsumerAccess Access(ConsumerImpl());
  const auto Item = Supports<IXcDataItem>(Source);
  if (!Item) return;
  const TIntf<IXcDataItems> List = Item->GetItems();
  const TIntf<IXcDataItem> Parent = List ? List->GetParent() : nullptr;
  if (!Parent) {
    AddChildItem(-1, Item.Get());
    NotifyViewChanged();
    return;
  }
  int Row = IndexOfItem(Parent.Get());
  if (Row < 0 && FExpandOnNewItem) {
    ExpandTreeTo(Parent.Get());
    Row = IndexOfItem(Parent.Get());
  }
  if (Row < 0) return;
  if (ItemIsExpanded(Row)) {
    AddChildItem(Row, Item.Get());
    NotifyViewChanged();
  } else if (FExpandOnNewItem) {
    if (!ItemHasChildren(Row)) UpdateItemFlags(Row, vfHasSubList | vfHasChildren, vfHasSubList | vfHasChildren);
    ToggleItem(Row);
  }
}

// ---- TXcDataConsumerViewList ----

void TXcDataConsumerViewList::DefineProperties(TXcFiler& Filer)
{
  Filer.DefineProperty(
      "LevelIndent", [this](TXcFilerReader& R) { SetLevelIndent(R.ReadInteger()); },
      [this](TXcFilerWriter& W) { W.WriteInteger(GetLevelIndent()); }, GetLevelIndent() != 16);
}

TViewListItem& TXcDataConsumerViewList::Row(int Index)
{
  if (Index < 0 || Index >= Count()) throw EListError("List index out of bounds (%d)", {Index});
  return FRows[static_cast<std::size_t>(Index)];
}

int TXcDataConsumerViewList::SubtreeEnd(int Index)
{
  const int Depth = ItemLevel(Index);
  int J = Index + 1;
  while (J < Count() && ItemLevel(J) > Depth) ++J;
  return J;
}

std::uint32_t TXcDataConsumerViewList::NewRowFlags(IXcDataItem* Item, int Depth)
{
  std::uint32_t Flags = static_cast<std::uint32_t>(Depth) & vfDepthMask;
  if (const TIntf<IXcDataItems> Sub = SubListOf(Item)) {
    Flags |= vfHasSubList;
    if (Sub->GetCount() > 0) Flags |= vfHasChildren;
  }
  return Flags;
}

void TXcDataConsumerViewList::AddItems(int& Index, IXcDataItems* Items, int Levels)
{
  const int N = Items->GetCount();
  FRows.insert(FRows.begin() + Index, static_cast<std::size_t>(N), TViewListItem{});
  int Depth = 0;
  if (Index > 0) {
    Depth = ItemLevel(Index - 1) + 1;
    Row(Index - 1).Flags |= vfExpanded;
  }
  int Hidden = 0;
  for (int I = 0; I < N; ++I) {
    const TIntf<IXcDataItem> Item = Items->GetItem(I);
    if (GetItemVisibleState(Item.Get()) == 0) {
      ++Hidden;
      continue;
    }
    Row(Index) = TViewListItem{Item->GetID(), NewRowFlags(Item.Get(), Depth)};
    const TIntf<IXcDataItems> Sub = SubListOf(Item.Get());
    if (Sub && Sub->GetCount() > 0 && Levels != 0) {
      int Child = Index + 1;
      AddItems(Child, Sub.Get(), Levels - 1);
      Index = Child;
    } else {
      ++Index;
    }
  }
  if (Hidden > 0) FRows.erase(FRows.begin() + Index, FRows.begin() + Index + Hidden);
}

void TXcDataConsumerViewList::AddItem(int ParentIndex, IXcDataItem* Item, int Levels)
{
  if (GetItemVisibleState(Item) == 0) return;
  int At;
  if (ParentIndex < 0) {
    At = Count();
    FRows.push_back(TViewListItem{Item->GetID(), NewRowFlags(Item, 0)});
  } else {
    if (ItemHasChildren(ParentIndex) && !ItemIsExpanded(ParentIndex)) {
      ToggleItem(ParentIndex);
      return;
    }
    At = SubtreeEnd(ParentIndex);
    FRows.insert(FRows.begin() + At, TViewListItem{Item->GetID(), NewRowFlags(Item, ItemLevel(ParentIndex) + 1)});
    Row(ParentIndex).Flags |= vfExpanded | vfHasSubList | vfHasChildren;
  }
  const TIntf<IXcDataItems> Sub = SubListOf(Item);
  if (Levels != 0 && Sub && Sub->GetCount() > 0) {
    int Child = At + 1;
    AddItems(Child, Sub.Get(), Levels - 1);
  }
}

void TXcDataConsumerViewList::AddChildItem(int ParentIndex, IXcDataItem* Item)
{
  if (GetItemVisibleState(Item) == 0) return;
  if (ParentIndex < 0) {
    InsertItem(Count(), -1, Item);
    return;
  }
  if (!ItemIsExpanded(ParentIndex)) {
    if (!ItemHasChildren(ParentIndex)) Row(ParentIndex).Flags |= vfHasSubList | vfHasChildren;
    ToggleItem(ParentIndex);
  }
  if (IndexOfItem(Item) < 0) InsertItem(SubtreeEnd(ParentIndex), ParentIndex, Item);
}

void TXcDataConsumerViewList::InsertItem(int Index, int ParentIndex, IXcDataItem* Item)
{
  if (GetItemVisibleState(Item) == 0) return;
  const int Depth = ParentIndex < 0 ? 0 : ItemLevel(ParentIndex) + 1;
  if (Index < 0 || Index > Count()) throw EListError("List index out of bounds (%d)", {Index});
  FRows.insert(FRows.begin() + Index, TViewListItem{Item->GetID(), NewRowFlags(Item, Depth)});
  if (ParentIndex >= 0) {
    if (ParentIndex >= Index) ++ParentIndex;
    Row(ParentIndex).Flags |= vfExpanded | vfHasSubList | vfHasChildren;
  }
}

void TXcDataConsumerViewList::DeleteItems(int Index)
{
  TViewListItem& R = Row(Index);
  if ((R.Flags & vfHasChildren) == 0 || (R.Flags & vfExpanded) == 0) return;
  const int End = SubtreeEnd(Index);
  FRows.erase(FRows.begin() + Index + 1, FRows.begin() + End);
  Row(Index).Flags &= ~vfExpanded;
}

void TXcDataConsumerViewList::DeleteItem(int Index)
{
  DeleteItems(Index);
  const int Depth = ItemLevel(Index);
  FRows.erase(FRows.begin() + Index);
  if (Index > 0 && ItemLevel(Index - 1) == Depth - 1) {
    const bool AnotherChild = Index < Count() && ItemLevel(Index) == Depth;
    if (!AnotherChild) Row(Index - 1).Flags &= ~(vfExpanded | vfHasChildren);
  }
}

void TXcDataConsumerViewList::UpdateItemFlags(int Index, std::uint32_t Value, std::uint32_t Mask)
{
  TViewListItem& R = Row(Index);
  R.Flags = (R.Flags & ~Mask) | (Value & Mask);
}

void TXcDataConsumerViewList::ToggleItem(int Index)
{
  if (!ItemHasChildren(Index)) return;
  if (ItemIsExpanded(Index)) {
    DeleteItems(Index);
  } else {
    const TIntf<IXcDataItem> It = Item(Index);
    const TIntf<IXcDataItems> Sub = It ? SubListOf(It.Get()) : nullptr;
    if (Sub) {
      int Child = Index + 1;
      AddItems(Child, Sub.Get(), 0);
    }
  }
  NotifyViewChanged();
}

int TXcDataConsumerViewList::IndexOfItem(IXcDataItem* Item) { return Item ? IndexOfID(Item->GetID()) : -1; }

int TXcDataConsumerViewList::IndexOfID(const String& ID)
{
  for (int I = Count(); I-- > 0;)
    if (SameText(FRows[static_cast<std::size_t>(I)].ID, ID)) return I;
  return -1;
}

int TXcDataConsumerViewList::ChildIndexOfItem(IXcDataItem* Item) { return Item ? ChildIndexOfID(Item->GetID()) : -1; }

int TXcDataConsumerViewList::ChildIndexOfID(const String& ID)
{
  const int Index = IndexOfID(ID);
  if (Index <= 0) return Index;
  const int Depth = ItemLevel(Index);
  int Result = 0;
  for (int J = Index - 1; J >= 0 && ItemLevel(J) >= Depth; --J)
    if (ItemLevel(J) == Depth) ++Result;
  return Result;
}

TIntf<IXcDataItem> TXcDataConsumerViewList::Item(int Index)
{
  const TViewListItem& R = Row(Index);
  TIntf<IXcDataItems> List;
  if ((R.Flags & vfDepthMask) == 0) {
    List = RootItems();
  } else {
    const int Parent = ItemParentIndex(Index);
    const TIntf<IXcDataItem> ParentItem = Parent >= 0 ? Item(Parent) : nullptr;
    List = ParentItem ? SubListOf(ParentItem.Get()) : nullptr;
  }
  const auto Search = Supports<IXcDataIDSearch>(List);
  return Search ? Search->FindByID(R.ID, false) : nullptr;
}

int TXcDataConsumerViewList::ItemParentIndex(int Index)
{
  const int Depth = ItemLevel(Index);
  for (int J = Index - 1; J >= 0; --J)
    if (ItemLevel(J) < Depth) return J;
  return -1;
}

TIntf<IXcDataItem> TXcDataConsumerViewList::ItemParent(int Index)
{
  const int P = ItemParentIndex(Index);
  return P < 0 ? nullptr : Item(P);
}

int TXcDataConsumerViewList::ItemSiblingIndex(int Index)
{
  const int J = SubtreeEnd(Index);
  return J < Count() && ItemLevel(J) == ItemLevel(Index) ? J : -1;
}

TIntf<IXcDataItem> TXcDataConsumerViewList::ItemSibling(int Index)
{
  const int S = ItemSiblingIndex(Index);
  return S < 0 ? nullptr : Item(S);
}

int TXcDataConsumerViewList::SubItemIndex(int ParentIndex, int Index)
{
  int Row = ParentIndex + 1;
  if (Row >= Count()) return -1;
  for (int Step = 0; Step < Index && Row >= 0; ++Step) Row = ItemSiblingIndex(Row);
  return Row;
}

int TXcDataConsumerViewList::SubItemIndex(IXcDataItem* Parent, int Index) { return SubItemIndex(IndexOfItem(Parent), Index); }

TIntf<IXcDataItem> TXcDataConsumerViewList::SubItem(int ParentIndex, int Index)
{
  const int R = SubItemIndex(ParentIndex, Index);
  return R < 0 ? nullptr : Item(R);
}

TIntf<IXcDataItem> TXcDataConsumerViewList::SubItem(IXcDataItem* Parent, int Index)
{
  const int R = SubItemIndex(Parent, Index);
  return R < 0 ? nullptr : Item(R);
}

// ---- TXcConsumerStrings ----

TXcDataConsumerViewList* TXcConsumerStrings::ViewList() const
{
  const int Index = FConsumer->IndexOfImplClass(TXcDataConsumerViewList::StaticClass());
  return Index < 0 ? nullptr : static_cast<TXcDataConsumerViewList*>(FConsumer->Extension(Index));
}

String TXcConsumerStrings::Get(int Index) const
{
  if (Index < 0) Error("List index out of bounds (%d)", Index);
  TXcConsumerAccess Access(FConsumer);
  TXcDataConsumerViewList* View = ViewList();
  if (View == nullptr) return String();
  if (Index >= View->Count()) Error("List index out of bounds (%d)", Index);
  const TIntf<IXcDataItem> Item = View->Item(Index);
  const auto Text = Supports<IXcDataItemText>(static_cast<IInterface*>(Item.Get()));
  return Text ? Text->GetText() : String();
}

int TXcConsumerStrings::GetCount() const
{
  TXcConsumerAccess Access(FConsumer);
  TXcDataConsumerViewList* View = ViewList();
  return View == nullptr ? 0 : View->Count();
}
