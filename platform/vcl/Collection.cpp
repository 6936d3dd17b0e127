#include "platform/vcl/Collection.h"

#include <algorithm>

#include "platform/rtl/Exceptions.h"
#include "platform/rtl/RtlConsts.h"

TCollectionItem::TCollectionItem(TCollection* Collection) { SetCollection(Collection); }

TCollectionItem::~TCollectionItem() {
  if (FCollection) FCollection->RemoveItem(this);
}

void TCollectionItem::SetCollection(TCollection* Value) {
  if (FCollection == Value) return;
  if (FCollection) FCollection->RemoveItem(this);
  if (Value) Value->InsertItem(this);
}

int TCollectionItem::GetIndex() const {
  if (!FCollection) return -1;
  auto& Items = FCollection->FItems;
  auto It = std::find(Items.begin(), Items.end(), this);
  return It == Items.end() ? -1 : static_cast<int>(It - Items.begin());
}

void TCollectionItem::SetIndex(int Value) {
  int Current = GetIndex();
  if (Current < 0 || Current == Value) return;
  auto& Items = FCollection->FItems;
  if (Value < 0 || Value >= static_cast<int>(Items.size()))
    throw EListError(RtlConsts::SListIndexError, {Value});
  Items.erase(Items.begin() + Current);
  Items.insert(Items.begin() + Value, this);
  Changed(true);
}

String TCollectionItem::GetDisplayName() const { return ClassName(); }

void TCollectionItem::SetDisplayName(const String&) { Changed(false); }

String TCollectionItem::GetNamePath() const {
  if (!FCollection) return ClassName();
  return FCollection->GetNamePath() + "[" + std::to_string(GetIndex()) + "]";
}

void TCollectionItem::Changed(bool AllItems) {
  if (FCollection && FCollection->FUpdateCount == 0) FCollection->Update(AllItems ? nullptr : this);
}

TCollection::TCollection(TItemFactory ItemClass) : FItemClass(std::move(ItemClass)) {}

TCollection::~TCollection() {
  FUpdateCount = 1;  // no change notices while going
  while (!FItems.empty()) delete FItems.back();
}

TCollectionItem* TCollection::Add() {
  if (!FItemClass) throw EListError("Collection has no item class");
  TCollectionItem* Item = FItemClass(this);
  if (Item && Item->FCollection != this) Item->SetCollection(this);
  return Item;
}

TCollectionItem* TCollection::Insert(int Index) {
  if (Index < 0 || Index > GetCount()) throw EListError(RtlConsts::SListIndexError, {Index});
  TCollectionItem* Item = Add();
  Item->SetIndex(Index);
  return Item;
}

void TCollection::Delete(int Index) {
  TCollectionItem* Item = GetItem(Index);
  Notify(Item, cnDeleting);
  delete Item;
}

void TCollection::Clear() {
  if (FItems.empty()) return;
  BeginUpdate();
  try {
    while (!FItems.empty()) delete FItems.back();
  } catch (...) {
    EndUpdate();
    throw;
  }
  EndUpdate();
}

void TCollection::BeginUpdate() { ++FUpdateCount; }

void TCollection::EndUpdate() {
  if (FUpdateCount > 0) --FUpdateCount;
  Changed();
}

TCollectionItem* TCollection::FindItemID(int ID) const {
  for (TCollectionItem* Item : FItems)
    if (Item->FID == ID) return Item;
  return nullptr;
}

void TCollection::Assign(TPersistent* Source) {
  auto* Other = dynamic_cast<TCollection*>(Source);
  if (!Other) {
    TPersistent::Assign(Source);
    return;
  }
  if (Other == this) return;
  BeginUpdate();
  try {
    Clear();
    for (TCollectionItem* Item : Other->FItems) Add()->Assign(Item);
  } catch (...) {
    EndUpdate();
    throw;
  }
  EndUpdate();
}

TCollectionItem* TCollection::GetItem(int Index) const {
  if (Index < 0 || Index >= GetCount()) throw EListError(RtlConsts::SListIndexError, {Index});
  return FItems[static_cast<size_t>(Index)];
}

void TCollection::SetItem(int Index, TCollectionItem* Value) { GetItem(Index)->Assign(Value); }

void TCollection::Update(TCollectionItem*) {}

void TCollection::Notify(TCollectionItem*, TCollectionNotification) {}

void TCollection::Changed() {
  if (FUpdateCount == 0) Update(nullptr);
}

void TCollection::InsertItem(TCollectionItem* Item) {
  FItems.push_back(Item);
  Item->FCollection = this;
  Item->FID = FNextID++;
  Notify(Item, cnAdded);
  Changed();
}

void TCollection::RemoveItem(TCollectionItem* Item) {
  Notify(Item, cnExtracting);
  auto It = std::find(FItems.begin(), FItems.end(), Item);
  if (It != FItems.end()) FItems.erase(It);
  Item->FCollection = nullptr;
  Changed();
}
