// TList, a list of untyped pointers, and TObjectList, a list of objects it may own.
#pragma once

#include <vector>

#include "platform/rtl/System.h"

enum TListNotification { lnAdded, lnExtracted, lnDeleted };

// Answers < 0, 0 or > 0 as Item1 sorts before, with or after Item2.
using TListSortCompare = int (*)(void* Item1, void* Item2);

// Largest count or capacity a list accepts.
constexpr int MaxListSize = MaxInt / 16;

// A growable array of pointers. Index errors raise EListError "List index out of bounds (%d)".
// Notify tells descendants about every non-null item that enters or leaves the list. The
// destructor can't reach a descendant's Notify: a descendant that must see the last items
// leave calls Clear in its own destructor (as TObjectList does).
class TList : public TObject {
public:
  TList() = default;
  TList(const TList&) = delete;
  TList& operator=(const TList&) = delete;
  ~TList() override;

  int Add(void* Item);
  void Insert(int Index, void* Item);
  void Delete(int Index);
  // Deletes the first occurrence of Item; answers its former index or -1.
  int Remove(void* Item);
  // Takes the first occurrence of Item out without the lnDeleted notification (lnExtracted
  // instead); answers Item, or null when it isn't in the list.
  void* Extract(void* Item);
  int IndexOf(void* Item) const;
  void Exchange(int Index1, int Index2);
  // Moves the item at CurIndex to NewIndex (no notifications: the item stays in the list).
  void Move(int CurIndex, int NewIndex);
  // Deletes every item (notifying each) and frees the storage.
  virtual void Clear();
  // Removes the null items.
  void Pack();
  // Sorts with Compare. The sort is stable: equal items keep their order.
  void Sort(TListSortCompare Compare);
  void* First() const;
  void* Last() const;
  // Grows the capacity when the list is full; answers the list.
  TList* Expand();

  int GetCount() const { return FCount; }
  // A larger count appends null items; a smaller one deletes the items past it.
  void SetCount(int NewCount);
  int GetCapacity() const { return static_cast<int>(FList.size()); }
  // EListError "List capacity out of bounds (%d)" below the count or beyond MaxListSize.
  void SetCapacity(int NewCapacity);
  void* Get(int Index) const;
  void Put(int Index, void* Item);
  void* operator[](int Index) const { return Get(Index); }

protected:
  virtual void Notify(void* Ptr, TListNotification Action);
  // Makes room for at least one more item.
  virtual void Grow();
  [[noreturn]] static void Error(const char* Msg, int Data);

private:
  std::vector<void*> FList;  // the storage: its size is the capacity
  int FCount = 0;
};

// A list of objects. With OwnsObjects (the default) an object is deleted when it leaves the
// list by Delete, Remove, Clear, SetCount, Put (the replaced one) or the list's destruction;
// Extract hands it back without deleting it.
class TObjectList : public TList {
public:
  explicit TObjectList(bool AOwnsObjects = true) : FOwnsObjects(AOwnsObjects) {}
  ~TObjectList() override;

  int Add(TObject* AObject) { return TList::Add(AObject); }
  void Insert(int Index, TObject* AObject) { TList::Insert(Index, AObject); }
  int Remove(TObject* AObject) { return TList::Remove(AObject); }
  TObject* Extract(TObject* Item) { return static_cast<TObject*>(TList::Extract(Item)); }
  int IndexOf(TObject* AObject) const { return TList::IndexOf(AObject); }
  TObject* First() const { return static_cast<TObject*>(TList::First()); }
  TObject* Last() const { return static_cast<TObject*>(TList::Last()); }
  TObject* GetItem(int Index) const { return static_cast<TObject*>(Get(Index)); }
  void SetItem(int Index, TObject* AObject) { Put(Index, AObject); }
  TObject* operator[](int Index) const { return GetItem(Index); }

  bool GetOwnsObjects() const { return FOwnsObjects; }
  void SetOwnsObjects(bool Value) { FOwnsObjects = Value; }

protected:
  void Notify(void* Ptr, TListNotification Action) override;

private:
  bool FOwnsObjects;
};
