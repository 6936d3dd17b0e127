// The sparse arrays and lists behind the string grids: counts, sparse allocation, list-style
// shifting, the string list's item rules, errors and streaming.
#include <gtest/gtest.h>

#include <vector>

#include "platform/vcl/SparseLists.h"

namespace {

void* P(std::intptr_t V) { return reinterpret_cast<void*>(V); }

// The stored (index, value) pairs of a list in walk order.
std::vector<std::pair<int, std::intptr_t>> Items(const TSparseList& L) {
  std::vector<std::pair<int, std::intptr_t>> R;
  L.ForAll([&](int I, void* Item) {
    R.emplace_back(I, reinterpret_cast<std::intptr_t>(Item));
    return 0;
  });
  return R;
}

using Pairs = std::vector<std::pair<int, std::intptr_t>>;

TEST(SparseList, NewListIsEmptyEverywhere) {
  TSparseList L(SPASmall);
  EXPECT_EQ(L.GetCount(), 0);
  for (int I : {0, 1, 15, 16, 1000, 1048559}) EXPECT_EQ(L.Get(I), nullptr) << I;
  int Calls = 0;
  EXPECT_EQ(L.ForAll([&](int, void*) { return ++Calls; }), 0);
  EXPECT_EQ(Calls, 0);
}

TEST(SparseList, StoringFarAwayAllocatesOneSectionAndNilShrinksTheCount) {
  TSparseList L(SPASmall);
  L.Put(1000, P(7));
  EXPECT_EQ(L.GetCount(), 1001);
  EXPECT_EQ(L.GetArray()->GetDirectoryLength(), 63);  // sections 0..62 have directory slots
  EXPECT_EQ(L.GetArray()->GetSectionCount(), 1);      // only section 62 is allocated
  EXPECT_EQ(L.Get(1000), P(7));
  EXPECT_EQ(L.Get(999), nullptr);
  L.Put(1000, nullptr);
  EXPECT_EQ(L.GetCount(), 0);
}

TEST(SparseList, StoringNilWhereNothingWasAllocatesNothing) {
  TSparseList L(SPASmall);
  L.Put(5, nullptr);
  EXPECT_EQ(L.GetCount(), 0);
  EXPECT_EQ(L.GetArray()->GetSectionCount(), 0);
}

TEST(SparseList, ListOperationsShiftItems) {
  struct Case {
    const char* Name;
    std::function<void(TSparseList&)> Op;
    int Count;
    Pairs Expected;
  } Cases[] = {
      {"insert into empty list at 10", [](TSparseList& L) { L.Insert(10, P(1)); }, 11, {{10, 1}}},
      {"insert in the middle shifts up",
       [](TSparseList& L) {
         for (int I = 0; I < 3; ++I) L.Put(I, P(I + 1));
         L.Insert(1, P(9));
       },
       4, {{0, 1}, {1, 9}, {2, 2}, {3, 3}}},
      {"delete at count does nothing",
       [](TSparseList& L) {
         for (int I = 0; I < 3; ++I) L.Put(I, P(I + 1));
         L.Delete(3);
       },
       3, {{0, 1}, {1, 2}, {2, 3}}},
      {"delete negative does nothing",
       [](TSparseList& L) {
         L.Put(0, P(1));
         L.Delete(-1);
       },
       1, {{0, 1}}},
      {"delete the only item", [](TSparseList& L) { L.Put(0, P(1)); L.Delete(0); }, 0, {}},
      {"delete shifts down",
       [](TSparseList& L) {
         for (int I = 0; I < 4; ++I) L.Put(I, P(I + 1));
         L.Delete(1);
       },
       3, {{0, 1}, {1, 3}, {2, 4}}},
      {"move forward",
       [](TSparseList& L) {
         for (int I = 0; I < 4; ++I) L.Put(I, P(I + 1));
         L.Move(0, 2);
       },
       4, {{0, 2}, {1, 3}, {2, 1}, {3, 4}}},
      {"move backward over a gap",
       [](TSparseList& L) {
         L.Put(0, P(1));
         L.Put(3, P(4));
         L.Move(3, 1);
       },
       4, {{0, 1}, {1, 4}}},
      {"move the last item to the front, then store",
       [](TSparseList& L) {
         L.Put(0, P(1));
         L.Put(3, P(4));
         L.Move(3, 0);
         L.Put(1, P(9));  // the count follows the highest stored item again
       },
       2, {{0, 4}, {1, 9}}},
      {"move forward past empty slots to the end",
       [](TSparseList& L) {
         L.Put(0, P(1));
         L.Put(2, P(3));
         L.Put(40, P(5));
         L.Move(0, 40);
       },
       41, {{1, 3}, {39, 5}, {40, 1}}},
      {"move an empty slot over items",
       [](TSparseList& L) {
         L.Put(0, P(1));
         L.Put(2, P(3));
         L.Move(1, 2);
       },
       3, {{0, 1}, {1, 3}}},
      {"move from beyond the count",
       [](TSparseList& L) {
         L.Put(0, P(1));
         L.Put(1, P(2));
         L.Move(5, 0);
       },
       3, {{1, 1}, {2, 2}}},
      {"exchange with an empty slot",
       [](TSparseList& L) {
         L.Put(0, P(1));
         L.Put(1, P(2));
         L.Exchange(1, 5);
       },
       6, {{0, 1}, {5, 2}}},
      {"clear", [](TSparseList& L) { L.Put(40, P(1)); L.Clear(); }, 0, {}},
  };
  for (auto& C : Cases) {
    for (TSPAQuantum Q : {SPASmall, SPALarge}) {
      TSparseList L(Q);
      C.Op(L);
      EXPECT_EQ(L.GetCount(), C.Count) << C.Name;
      EXPECT_EQ(Items(L), C.Expected) << C.Name;
    }
  }
}

TEST(SparseList, NegativeIndexesRaiseAndChangeNothing) {
  TSparseList L(SPASmall);
  L.Put(2, P(3));
  const std::function<void()> Ops[] = {[&] { L.Get(-1); }, [&] { L.Put(-1, P(1)); }, [&] { L.Insert(-1, P(1)); }};
  for (const auto& Op : Ops) {
    try {
      Op();
      ADD_FAILURE() << "no error";
    } catch (const EListError& E) {
      EXPECT_STREQ(E.what(), "List index out of bounds (-1)");
    }
  }
  EXPECT_EQ(L.GetCount(), 3);
  EXPECT_EQ(Items(L), (Pairs{{2, 3}}));
}

TEST(SparseList, IndexesBeyondTheDirectoryAreRefusedNotWrapped) {
  // 65,535 sections of 16 slots: 1,048,560 would land in section 65,535, which a 16-bit
  // directory can't hold; stored naively it would overwrite index 0.
  TSparseList L(SPASmall);
  L.Put(0, P(1));
  L.Put(1048559, P(2));
  EXPECT_EQ(L.Get(1048559), P(2));
  EXPECT_THROW(L.Put(1048560, P(3)), EListError);
  EXPECT_THROW(L.Put(0x7FFFFFFF, P(3)), EListError);
  EXPECT_THROW(L.Insert(0, P(4)), EListError);  // would push the last item past the limit
  EXPECT_EQ(L.Get(0), P(1));
  EXPECT_EQ(L.Get(1048560), nullptr);
  EXPECT_EQ(L.GetCount(), 1048560);
}

TEST(SparseList, ForAllStopsAtTheFirstNonZeroAnswer) {
  TSparseList L(SPASmall);
  for (int I : {3, 20, 300}) L.Put(I, P(I));
  std::vector<int> Seen;
  EXPECT_EQ(L.ForAll([&](int I, void*) {
    Seen.push_back(I);
    return I == 20 ? 42 : 0;
  }),
            42);
  EXPECT_EQ(Seen, (std::vector<int>{3, 20}));
}

TEST(SparseList, LastLookupCacheIsVoidedByStores) {
  TSparseList L(SPASmall);
  EXPECT_EQ(L.Get(4), nullptr);  // caches nil for 4
  L.Put(4, P(5));
  EXPECT_EQ(L.Get(4), P(5));
  L.Put(4, nullptr);
  EXPECT_EQ(L.Get(4), nullptr);
}

TEST(StringSparseList, ItemRulesForEmptyStringsAndObjects) {
  TObject Obj;
  struct Case {
    const char* Name;
    std::function<void(TStringSparseList&)> Op;
    int Count;
    int Changes;
  } Cases[] = {
      {"empty string without object removes the item",
       [](TStringSparseList& L) {
         L.Put(3, "a");
         L.Put(3, "");
       },
       0, 2},
      {"empty string keeps an item that has an object",
       [&](TStringSparseList& L) {
         L.Put(3, "a");
         L.PutObject(3, &Obj);
         L.Put(3, "");
       },
       4, 3},
      {"nil object into an empty slot stores nothing but notifies",
       [](TStringSparseList& L) { L.PutObject(2, nullptr); }, 0, 1},
      {"nil object never removes an item",
       [&](TStringSparseList& L) {
         L.PutObject(2, &Obj);
         L.PutObject(2, nullptr);
       },
       3, 2},
      {"insert of an empty string makes an item",
       [](TStringSparseList& L) {
         L.Put(0, "x");
         L.Insert(0, "");
       },
       2, 2},
      {"exchange does not notify",
       [](TStringSparseList& L) {
         L.Put(0, "x");
         L.Exchange(0, 4);
       },
       5, 1},
  };
  for (auto& C : Cases) {
    TStringSparseList L(SPASmall);
    int Changes = 0;
    L.OnChange = [&](TObject* Sender) {
      EXPECT_EQ(Sender, &L);
      ++Changes;
    };
    C.Op(L);
    EXPECT_EQ(L.GetCount(), C.Count) << C.Name;
    EXPECT_EQ(Changes, C.Changes) << C.Name;
  }
}

TEST(StringSparseList, ReadsAndObjects) {
  TObject A, B;
  TStringSparseList L(SPASmall);
  L.Put(1, "one");
  L.PutObject(1, &A);
  L.PutObject(7, &B);
  EXPECT_EQ(L.Get(1), "one");
  EXPECT_EQ(L.GetObject(1), &A);
  EXPECT_EQ(L.Get(7), "");
  EXPECT_EQ(L.GetObject(7), &B);
  EXPECT_EQ(L.Get(100), "");
  EXPECT_EQ(L.GetObject(100), nullptr);
  L.Put(1, "uno");  // the object stays with the new text
  EXPECT_EQ(L.GetObject(1), &A);
  L.Delete(0);
  EXPECT_EQ(L.Get(0), "uno");
  EXPECT_EQ(L.GetObject(6), &B);
  try {
    L.Get(-1);
    ADD_FAILURE();
  } catch (const EListError& E) {
    EXPECT_STREQ(E.what(), "List index out of bounds (-1)");
  }
  EXPECT_THROW(L.PutObject(-2, &A), EListError);
}

TEST(StringSparseList, StreamedListReadsBackAtTheSameIndexesWithoutObjects) {
  TObject A;
  TStringSparseList L(SPASmall);
  L.Put(0, "first");
  L.Put(17, "with \"quotes\"\r\nand a break");
  L.Put(300, "");  // nothing stored
  L.PutObject(40, &A);
  TMemoryStream S;
  L.WriteData(&S);
  S.SetPosition(0);
  TStringSparseList R(SPASmall);
  R.ReadData(&S);
  EXPECT_EQ(R.Get(0), "first");
  EXPECT_EQ(R.Get(17), "with \"quotes\"\r\nand a break");
  EXPECT_EQ(R.Get(40), "");
  EXPECT_EQ(R.GetObject(40), nullptr);
  EXPECT_EQ(R.GetCount(), 41);
}

TEST(StringSparseList, TruncatedStreamRaisesAReadError) {
  TStringSparseList L(SPASmall);
  L.Put(2, "abcdef");
  TMemoryStream S;
  L.WriteData(&S);
  S.SetSize(S.GetSize() - 3);
  S.SetPosition(0);
  TStringSparseList R(SPASmall);
  EXPECT_THROW(R.ReadData(&S), EReadError);
}

}  // namespace
