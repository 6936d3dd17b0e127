#include "platform/rtl/List.h"

#include <gtest/gtest.h>

#include <functional>
#include <initializer_list>
#include <utility>
#include <vector>

#include "platform/rtl/Exceptions.h"

namespace {

// Records every notification, to show what enters and leaves the list.
class TRecordingList : public TList {
public:
  std::vector<std::pair<void*, TListNotification>> Log;

protected:
  void Notify(void* Ptr, TListNotification Action) override { Log.emplace_back(Ptr, Action); }
};

int a, b, c, d;
void* const A = &a;
void* const B = &b;
void* const C = &c;
void* const D = &d;

std::vector<void*> Items(const TList& List)
{
  std::vector<void*> result;
  for (int i = 0; i < List.GetCount(); ++i) result.push_back(List[i]);
  return result;
}

TEST(ListTest, NotifiesEveryNonNullItemThatEntersOrLeaves)
{
  TRecordingList list;
  EXPECT_EQ(list.Add(A), 0);
  EXPECT_EQ(list.Add(nullptr), 1);
  list.Insert(0, B);
  list.Put(1, C);       // A replaced by C
  list.Put(1, C);       // same item: nothing happens
  EXPECT_EQ(list.Extract(B), B);
  EXPECT_EQ(list.Extract(D), nullptr);
  EXPECT_EQ(list.Remove(C), 0);
  EXPECT_EQ(list.Remove(C), -1);
  list.Delete(0);       // the null item
  using P = std::pair<void*, TListNotification>;
  const std::vector<P> expected = {{A, lnAdded},     {B, lnAdded},   {A, lnDeleted},
                                   {C, lnAdded},     {B, lnExtracted}, {C, lnDeleted}};
  EXPECT_EQ(list.Log, expected);
  EXPECT_EQ(list.GetCount(), 0);
}

TEST(ListTest, ClearAndSmallerCountDeleteFromTheEnd)
{
  TRecordingList list;
  list.Add(A);
  list.Add(B);
  list.Add(C);
  list.Log.clear();
  list.SetCount(5);
  EXPECT_EQ(Items(list), (std::vector<void*>{A, B, C, nullptr, nullptr}));
  list.SetCount(2);
  list.Clear();
  using P = std::pair<void*, TListNotification>;
  EXPECT_EQ(list.Log, (std::vector<P>{{C, lnDeleted}, {B, lnDeleted}, {A, lnDeleted}}));
  EXPECT_EQ(list.GetCapacity(), 0);
}

TEST(ListTest, BadIndexesRaiseWithTheIndex)
{
  TList list;
  list.Add(A);
  list.Add(B);
  struct Case {
    std::function<void()> Run;
    const char* Message;
  } cases[] = {
      {[&] { list.Get(2); }, "List index out of bounds (2)"},
      {[&] { list.Get(-1); }, "List index out of bounds (-1)"},
      {[&] { list.Put(2, C); }, "List index out of bounds (2)"},
      {[&] { list.Insert(3, C); }, "List index out of bounds (3)"},
      {[&] { list.Delete(2); }, "List index out of bounds (2)"},
      {[&] { list.Exchange(0, 5); }, "List index out of bounds (5)"},
      {[&] { list.Move(1, 2); }, "List index out of bounds (2)"},
      {[&] { list.SetCapacity(1); }, "List capacity out of bounds (1)"},
      {[&] { list.SetCount(-1); }, "List count out of bounds (-1)"},
      {[] { TList empty; empty.First(); }, "List index out of bounds (0)"},
      {[] { TList empty; empty.Last(); }, "List index out of bounds (-1)"},
  };
  for (const auto& c : cases) {
    try {
      c.Run();
      ADD_FAILURE() << "no error for: " << c.Message;
    } catch (const EListError& e) {
      EXPECT_EQ(e.Message(), c.Message);
    }
  }
  EXPECT_EQ(Items(list), (std::vector<void*>{A, B}));
}

TEST(ListTest, MoveExchangeAndPack)
{
  struct Case {
    int From, To;
    std::vector<void*> Expected;
  } cases[] = {
      {0, 2, {B, C, A, D}},
      {3, 1, {A, D, B, C}},
      {1, 1, {A, B, C, D}},
      {0, 3, {B, C, D, A}},
  };
  for (const auto& c : cases) {
    TRecordingList list;
    for (void* p : {A, B, C, D}) list.Add(p);
    list.Log.clear();
    list.Move(c.From, c.To);
    EXPECT_EQ(Items(list), c.Expected) << c.From << "->" << c.To;
    EXPECT_TRUE(list.Log.empty()) << "a moved item stays in the list";
  }
  TList list;
  for (void* p : std::initializer_list<void*>{A, nullptr, B, nullptr, nullptr, C}) list.Add(p);
  list.Exchange(0, 5);
  list.Pack();
  EXPECT_EQ(Items(list), (std::vector<void*>{C, B, A}));
  EXPECT_EQ(list.First(), C);
  EXPECT_EQ(list.Last(), A);
}

TEST(ListTest, SortIsStable)
{
  struct Item {
    int Key;
    char Name;
  } items[] = {{2, 'a'}, {1, 'b'}, {2, 'c'}, {0, 'd'}, {1, 'e'}, {2, 'f'}, {0, 'g'}};
  TList list;
  for (auto& item : items) list.Add(&item);
  list.Sort([](void* x, void* y) { return static_cast<Item*>(x)->Key - static_cast<Item*>(y)->Key; });
  String order;
  for (int i = 0; i < list.GetCount(); ++i) order += static_cast<Item*>(list[i])->Name;
  EXPECT_EQ(order, "dgbeacf");
}

TEST(ListTest, CapacityGrowsAheadOfTheCount)
{
  TList list;
  int previous = 0;
  for (int i = 0; i < 1000; ++i) {
    list.Add(A);
    ASSERT_GE(list.GetCapacity(), list.GetCount());
    if (list.GetCapacity() != previous) {
      EXPECT_GT(list.GetCapacity(), previous);
    }
    previous = list.GetCapacity();
  }
  // Growth is proportional beyond small sizes: far fewer than one step per item.
  list.SetCapacity(list.GetCount());
  EXPECT_EQ(list.Expand(), &list);
  EXPECT_GT(list.GetCapacity(), 1000 + 200);
}

// An object that counts how many of its kind are alive.
class TCounted : public TObject {
public:
  explicit TCounted(int& ALive) : FLive(ALive) { ++FLive; }
  ~TCounted() override { --FLive; }

private:
  int& FLive;
};

TEST(ObjectListTest, OwnedObjectsAreDeletedWhenTheyLeave)
{
  int live = 0;
  TCounted* kept = nullptr;
  {
    TObjectList list;
    for (int i = 0; i < 6; ++i) list.Add(new TCounted(live));
    list.Delete(0);
    EXPECT_EQ(live, 5);
    EXPECT_EQ(list.Remove(list.GetItem(0)), 0);
    EXPECT_EQ(live, 4);
    list.SetItem(0, new TCounted(live));  // the replaced one goes
    EXPECT_EQ(live, 4);
    kept = static_cast<TCounted*>(list.Extract(list.Last()));
    EXPECT_EQ(live, 4);
    EXPECT_EQ(list.IndexOf(kept), -1);
    list.SetCount(2);
    EXPECT_EQ(live, 3);
  }
  EXPECT_EQ(live, 1) << "the destructor deletes the rest; the extracted one lives";
  delete kept;
  EXPECT_EQ(live, 0);
}

TEST(ObjectListTest, WithoutOwnershipNothingIsDeleted)
{
  int live = 0;
  std::vector<TCounted*> objects;
  {
    TObjectList list(false);
    for (int i = 0; i < 3; ++i) list.Add(objects.emplace_back(new TCounted(live)));
    list.Delete(0);
    list.Clear();
  }
  EXPECT_EQ(live, 3);
  for (auto* object : objects) delete object;
  EXPECT_EQ(live, 0);
}

}  // namespace
