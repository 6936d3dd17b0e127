#include "platform/rtl/List.h"

#include <algorithm>

#include "platform/rtl/Exceptions.h"
#include "platform/rtl/RtlConsts.h"

namespace {

// Stable merge sort of Items by Compare. Bounded whatever Compare answers, so a comparison
// that is not a consistent order can only give an odd order, never a fault.
void MergeSort(std::vector<void*>& Items, TListSortCompare Compare)
{
  const std::size_t n = Items.size();
  std::vector<void*> buffer(n);
  for (std::size_t width = 1; width < n; width *= 2) {
    for (std::size_t lo = 0; lo < n; lo += 2 * width) {
      const std::size_t mid = std::min(lo + width, n), hi = std::min(lo + 2 * width, n);
      std::size_t i = lo, j = mid, k = lo;
      while (i < mid && j < hi) buffer[k++] = Compare(Items[j], Items[i]) < 0 ? Items[j++] : Items[i++];
      while (i < mid) buffer[k++] = Items[i++];
      while (j < hi) buffer[k++] = Items[j++];
    }
    Items.swap(buffer);
  }
}

}  // namespace

TList::~TList() = default;

void TList::Error(const char* Msg, int Data)
{
  throw EListError(Msg, {Data});
}

void TList::Grow()
{
  const int capacity = GetCapacity();
  int delta;
  if (capacity > 64)
    delta = capacity / 4;
  else if (capacity > 8)
    delta = 16;
  else
    delta = 4;
  // Near the limit, take what is left; a full list then fails with the capacity error.
  int capacityWanted = capacity + delta;
  if (capacityWanted > MaxListSize) capacityWanted = capacity < MaxListSize ? MaxListSize : capacity + 1;
  SetCapacity(capacityWanted);
}

int TList::Add(void* Item)
{
  const int result = FCount;
  if (result == GetCapacity()) Grow();
  FList[result] = Item;
  ++FCount;
  if (Item != nullptr) Notify(Item, lnAdded);
  return result;
}

void TList::Insert(int Index, void* Item)
{
  if (Index < 0 || Index > FCount) Error(RtlConsts::SListIndexError, Index);
  if (FCount == GetCapacity()) Grow();
  std::move_backward(FList.begin() + Index, FList.begin() + FCount, FList.begin() + FCount + 1);
  FList[Index] = Item;
  ++FCount;
  if (Item != nullptr) Notify(Item, lnAdded);
}

void TList::Delete(int Index)
{
  if (Index < 0 || Index >= FCount) Error(RtlConsts::SListIndexError, Index);
  void* item = FList[Index];
  std::move(FList.begin() + Index + 1, FList.begin() + FCount, FList.begin() + Index);
  --FCount;
  FList[FCount] = nullptr;
  if (item != nullptr) Notify(item, lnDeleted);
}

int TList::Remove(void* Item)
{
  const int result = IndexOf(Item);
  if (result >= 0) Delete(result);
  return result;
}

void* TList::Extract(void* Item)
{
  const int index = IndexOf(Item);
  if (index < 0) return nullptr;
  // Cleared first, so that Delete does not announce it as deleted.
  FList[index] = nullptr;
  Delete(index);
  Notify(Item, lnExtracted);
  return Item;
}

int TList::IndexOf(void* Item) const
{
  for (int i = 0; i < FCount; ++i)
    if (FList[i] == Item) return i;
  return -1;
}

void TList::Exchange(int Index1, int Index2)
{
  if (Index1 < 0 || Index1 >= FCount) Error(RtlConsts::SListIndexError, Index1);
  if (Index2 < 0 || Index2 >= FCount) Error(RtlConsts::SListIndexError, Index2);
  std::swap(FList[Index1], FList[Index2]);
}

void TList::Move(int CurIndex, int NewIndex)
{
  if (CurIndex == NewIndex) return;
  if (CurIndex < 0 || CurIndex >= FCount) Error(RtlConsts::SListIndexError, CurIndex);
  if (NewIndex < 0 || NewIndex >= FCount) Error(RtlConsts::SListIndexError, NewIndex);
  const auto first = FList.begin();
  if (CurIndex < NewIndex)
    std::rotate(first + CurIndex, first + CurIndex + 1, first + NewIndex + 1);
  else
    std::rotate(first + NewIndex, first + CurIndex, first + CurIndex + 1);
}

void TList::Clear()
{
  SetCount(0);
  SetCapacity(0);
}

void TList::Pack()
{
  for (int i = FCount - 1; i >= 0; --i)
    if (FList[i] == nullptr) Delete(i);
}

void TList::Sort(TListSortCompare Compare)
{
  if (FCount < 2) return;
  std::vector<void*> items(FList.begin(), FList.begin() + FCount);
  MergeSort(items, Compare);
  std::copy(items.begin(), items.end(), FList.begin());
}

void* TList::First() const
{
  return Get(0);
}

void* TList::Last() const
{
  return Get(FCount - 1);
}

TList* TList::Expand()
{
  if (FCount == GetCapacity()) Grow();
  return this;
}

void TList::SetCount(int NewCount)
{
  if (NewCount < 0 || NewCount > MaxListSize) Error(RtlConsts::SListCountError, NewCount);
  if (NewCount > GetCapacity()) SetCapacity(NewCount);
  if (NewCount > FCount) {
    std::fill(FList.begin() + FCount, FList.begin() + NewCount, nullptr);
    FCount = NewCount;
  } else {
    for (int i = FCount - 1; i >= NewCount; --i) Delete(i);
  }
}

void TList::SetCapacity(int NewCapacity)
{
  if (NewCapacity < FCount || NewCapacity > MaxListSize) Error(RtlConsts::SListCapacityError, NewCapacity);
  if (NewCapacity == GetCapacity()) return;
  std::vector<void*> list(static_cast<std::size_t>(NewCapacity), nullptr);
  std::copy(FList.begin(), FList.begin() + FCount, list.begin());
  FList.swap(list);
}

void* TList::Get(int Index) const
{
  if (Index < 0 || Index >= FCount) Error(RtlConsts::SListIndexError, Index);
  return FList[Index];
}

void TList::Put(int Index, void* Item)
{
  if (Index < 0 || Index >= FCount) Error(RtlConsts::SListIndexError, Index);
  void* old = FList[Index];
  if (old == Item) return;
  FList[Index] = Item;
  if (old != nullptr) Notify(old, lnDeleted);
  if (Item != nullptr) Notify(Item, lnAdded);
}

void TList::Notify(void* /*Ptr*/, TListNotification /*Action*/) {}

TObjectList::~TObjectList()
{
  // Clear here, while Notify still reaches this class, so owned objects are deleted.
  Clear();
}

void TObjectList::Notify(void* Ptr, TListNotification Action)
{
  if (FOwnsObjects && Action == lnDeleted) delete static_cast<TObject*>(Ptr);
  TList::Notify(Ptr, Action);
}
