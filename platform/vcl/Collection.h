// TCollection and TCollectionItem: an ordered list of items of one kind that the collection
// owns, with stable IDs, update brackets and change notices.
#pragma once

#include <functional>
#include <vector>

#include "platform/rtl/Persistent.h"
#include "platform/rtl/System.h"

class TCollection;
class TComponent;

enum TCollectionNotification { cnAdded, cnExtracting, cnDeleting };

class TCollectionItem : public TPersistent {
public:
  // Joins Collection (when given) at its end, with the collection's next ID.
  explicit TCollectionItem(TCollection* Collection);
  TCollectionItem(const TCollectionItem&) = delete;
  TCollectionItem& operator=(const TCollectionItem&) = delete;
  // Leaves the collection.
  ~TCollectionItem() override;

  TCollection* GetCollection() const { return FCollection; }
  // Moves the item from its collection to Value (null: no collection).
  void SetCollection(TCollection* Value);
  int GetID() const { return FID; }
  // Position in the collection, -1 without one.
  int GetIndex() const;
  // Moves the item to Value within its collection (an index outside the list raises
  // EListError) and reports a change of all items.
  virtual void SetIndex(int Value);
  // The item's name in lists; the class name unless a descendant names it.
  virtual String GetDisplayName() const;
  virtual void SetDisplayName(const String& Value);
  String GetNamePath() const override;

protected:
  // Reports a change to the collection (unless it is updating): of this item, or of all
  // items when AllItems.
  void Changed(bool AllItems);

private:
  friend class TCollection;
  TCollection* FCollection = nullptr;
  int FID = 0;
};

class TCollection : public TPersistent {
public:
  // Makes the items of Add and Insert.
  using TItemFactory = std::function<TCollectionItem*(TCollection*)>;
  template <class T>
  static TItemFactory ItemClassOf() {
    return [](TCollection* C) -> TCollectionItem* { return new T(C); };
  }

  explicit TCollection(TItemFactory ItemClass);
  TCollection(const TCollection&) = delete;
  TCollection& operator=(const TCollection&) = delete;
  // Deletes every item.
  ~TCollection() override;

  // A new item of the item class at the end.
  TCollectionItem* Add();
  // A new item at Index (0..Count).
  TCollectionItem* Insert(int Index);
  // Deletes the item at Index; EListError outside the list.
  void Delete(int Index);
  // Deletes every item inside one update.
  void Clear();
  // Nesting update brackets; the change notice comes once, when the last one ends.
  virtual void BeginUpdate();
  virtual void EndUpdate();
  int GetUpdateCount() const { return FUpdateCount; }
  // The item with that ID, or null.
  TCollectionItem* FindItemID(int ID) const;
  // Replaces the items with copies of a collection's items (each made by Add and Assign).
  void Assign(TPersistent* Source) override;

  int GetCount() const { return static_cast<int>(FItems.size()); }
  // EListError "List index out of bounds (%d)" outside 0..Count-1.
  TCollectionItem* GetItem(int Index) const;
  // Assigns Value to the item at Index.
  void SetItem(int Index, TCollectionItem* Value);
  TCollectionItem* operator[](int Index) const { return GetItem(Index); }
  const TItemFactory& GetItemClass() const { return FItemClass; }
  int GetNextID() const { return FNextID; }
  // The persistent that owns the collection (null here; TOwnedCollection's owner).
  virtual TPersistent* GetOwner() const { return nullptr; }

protected:
  // Called after a change of Item (null: of everything) when no update is running.
  virtual void Update(TCollectionItem* Item);
  // Called when an item enters (cnAdded) or is about to leave the collection.
  virtual void Notify(TCollectionItem* Item, TCollectionNotification Action);
  // Reports a change of all items unless an update is running.
  void Changed();

private:
  friend class TCollectionItem;
  void InsertItem(TCollectionItem* Item);
  void RemoveItem(TCollectionItem* Item);

  TItemFactory FItemClass;
  std::vector<TCollectionItem*> FItems;
  int FUpdateCount = 0;
  int FNextID = 0;
};

// A collection that knows the persistent (usually a component) it belongs to.
class TOwnedCollection : public TCollection {
public:
  TOwnedCollection(TPersistent* AOwner, TItemFactory ItemClass)
      : TCollection(std::move(ItemClass)), FOwner(AOwner) {}
  TPersistent* GetOwner() const override { return FOwner; }

private:
  TPersistent* FOwner;
};
