#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/vcl/Classes.h"

namespace {

// Records the notices it gets and keeps a reference that must be cleared on removal.
class TWatcher : public TComponent {
public:
  using TComponent::TComponent;
  ~TWatcher() override { Destroying(); DestroyComponents(); }
  void Notification(TComponent* AComponent, TOperation Operation) override {
    TComponent::Notification(AComponent, Operation);
    Log.push_back((Operation == opInsert ? "+" : "-") + (AComponent ? AComponent->GetName() : String("?")));
    if (Operation == opRemove && AComponent == Ref) Ref = nullptr;
  }
  void Loaded() override {
    TComponent::Loaded();
    ++LoadedCalls;
  }
  std::vector<String> Log;
  TComponent* Ref = nullptr;
  int LoadedCalls = 0;
};

TEST(VclComponent, OwnerDeletesOwnedComponentsAndSiblingsHearOfIt) {
  auto* Owner = new TWatcher(nullptr);
  auto* A = new TWatcher(Owner);
  A->SetName("A");
  auto* B = new TWatcher(Owner);
  B->SetName("B");
  B->Ref = A;
  EXPECT_EQ(Owner->GetComponentCount(), 2);
  EXPECT_EQ(Owner->GetComponent(1), B);
  EXPECT_EQ(B->GetComponentIndex(), 1);
  EXPECT_EQ(Owner->FindComponent("b"), B);

  delete A;  // the owner passes the notice to every owned component
  EXPECT_EQ(B->Ref, nullptr);
  EXPECT_EQ(Owner->GetComponentCount(), 1);
  EXPECT_EQ(Owner->Log.back(), "-A");

  B->Ref = B;  // still valid until the owner goes
  delete Owner;  // deletes B too (ASan catches leaks and double deletes)
}

TEST(VclComponent, FreeNotificationAcrossOwnersIsMutualAndRemovable) {
  TWatcher Form1(nullptr), Form2(nullptr);
  auto* Images = new TWatcher(&Form1);
  Images->SetName("Images");
  auto* User = new TWatcher(&Form2);
  User->Ref = Images;
  Images->FreeNotification(User);
  EXPECT_TRUE(Images->GetComponentState() & csFreeNotification);
  delete Images;
  EXPECT_EQ(User->Ref, nullptr);

  auto* Other = new TWatcher(&Form1);
  Other->SetName("Other");
  User->Ref = Other;
  Other->FreeNotification(User);
  Other->RemoveFreeNotification(User);
  User->Log.clear();
  delete Other;
  EXPECT_EQ(User->Ref, Other) << "no notice after RemoveFreeNotification";
  EXPECT_TRUE(User->Log.empty());
}

TEST(VclComponent, NamesAreIdentifiersUniqueAmongSiblings) {
  TComponent Owner(nullptr);
  auto* A = new TComponent(&Owner);
  auto* B = new TComponent(&Owner);
  A->SetName("Button1");
  struct TCase {
    const char* Name;
    const char* Error;  // nullptr: accepted
  } Cases[] = {
      {"button1", "A component named button1 already exists"},
      {"1abc", "'1abc' is not a valid component name"},
      {"a b", "'a b' is not a valid component name"},
      {"_Ok2", nullptr},
      {"", nullptr},
  };
  for (const TCase& C : Cases) {
    SCOPED_TRACE(C.Name);
    if (C.Error) {
      try {
        B->SetName(C.Name);
        ADD_FAILURE() << "accepted";
      } catch (const EComponentError& E) {
        EXPECT_EQ(E.Message(), C.Error);
      }
    } else {
      EXPECT_NO_THROW(B->SetName(C.Name));
      EXPECT_EQ(B->GetName(), C.Name);
    }
  }
  A->SetName("BUTTON1");  // renaming itself with another case is fine
  EXPECT_EQ(A->GetName(), "BUTTON1");

  // Moving a component with a clashing name to another owner fails and changes nothing.
  TComponent Other(nullptr);
  auto* C = new TComponent(&Other);
  C->SetName("Button1");
  EXPECT_THROW(Owner.InsertComponent(C), EComponentError);
  EXPECT_EQ(C->GetOwner(), &Other);
}

TEST(VclComponent, ComponentIndexMovesAndLoadingCallsLoadedOnce) {
  TWatcher Owner(nullptr);
  auto* A = new TWatcher(&Owner);
  auto* B = new TWatcher(&Owner);
  auto* C = new TWatcher(&Owner);
  C->SetComponentIndex(0);
  EXPECT_EQ(Owner.GetComponent(0), C);
  EXPECT_EQ(Owner.GetComponent(1), A);
  A->SetComponentIndex(99);
  EXPECT_EQ(Owner.GetComponent(2), A);
  EXPECT_THROW(Owner.GetComponent(3), EListError);

  Owner.BeginLoad();
  EXPECT_TRUE(B->GetComponentState() & csLoading);
  Owner.EndLoad();
  for (TWatcher* W : {&Owner, A, B, C}) {
    EXPECT_EQ(W->LoadedCalls, 1);
    EXPECT_FALSE(W->GetComponentState() & (csLoading | csReading));
  }
}

// A collection item with a value, assignable.
class TValueItem : public TCollectionItem {
public:
  using TCollectionItem::TCollectionItem;
  int Value = 0;
  void Assign(TPersistent* Source) override {
    if (auto* V = dynamic_cast<TValueItem*>(Source)) {
      Value = V->Value;
      Changed(false);
      return;
    }
    TCollectionItem::Assign(Source);
  }
};

class TLoggingCollection : public TOwnedCollection {
public:
  using TOwnedCollection::TOwnedCollection;
  std::vector<String> Log;

protected:
  void Update(TCollectionItem* Item) override {
    Log.push_back(Item ? "item" + std::to_string(Item->GetID()) : "all");
  }
  void Notify(TCollectionItem* Item, TCollectionNotification Action) override {
    static const char* Names[] = {"added", "extracting", "deleting"};
    Log.push_back(String(Names[Action]) + std::to_string(Item->GetID()));
  }
};

TEST(VclCollection, ItemsKeepIdsMoveByIndexAndReportChanges) {
  TComponent Owner(nullptr);
  TLoggingCollection C(&Owner, TCollection::ItemClassOf<TValueItem>());
  EXPECT_EQ(C.GetOwner(), &Owner);
  for (int I = 0; I < 3; ++I) static_cast<TValueItem*>(C.Add())->Value = I * 10;
  EXPECT_EQ(C.Log, (std::vector<String>{"added0", "all", "added1", "all", "added2", "all"}));

  C.Log.clear();
  C.GetItem(2)->SetIndex(0);
  EXPECT_EQ(C.GetItem(0)->GetID(), 2);
  EXPECT_EQ(C.GetItem(1)->GetID(), 0);
  EXPECT_EQ(C.Log, std::vector<String>{"all"});
  EXPECT_THROW(C.GetItem(0)->SetIndex(3), EListError);

  auto* Inserted = C.Insert(1);
  EXPECT_EQ(Inserted->GetIndex(), 1);
  EXPECT_EQ(Inserted->GetID(), 3);
  EXPECT_EQ(C.FindItemID(3), Inserted);

  C.Log.clear();
  C.BeginUpdate();
  C.BeginUpdate();
  C.Delete(0);
  delete C.GetItem(0);  // deleting an item directly takes it out
  C.EndUpdate();
  EXPECT_EQ(C.Log, (std::vector<String>{"deleting2", "extracting2", "extracting3"}));
  C.EndUpdate();
  EXPECT_EQ(C.Log.back(), "all");
  EXPECT_EQ(C.GetCount(), 2);
  EXPECT_THROW(C.GetItem(2), EListError);
  EXPECT_THROW(C.Insert(5), EListError);

  TLoggingCollection Copy(nullptr, TCollection::ItemClassOf<TValueItem>());
  Copy.Assign(&C);
  ASSERT_EQ(Copy.GetCount(), 2);
  EXPECT_EQ(static_cast<TValueItem*>(Copy.GetItem(1))->Value, static_cast<TValueItem*>(C.GetItem(1))->Value);
  C.Clear();
  EXPECT_EQ(C.GetCount(), 0);
}

TEST(VclBits, GrowsOnWriteAndFindsTheFirstOpenBit) {
  TBits B;
  EXPECT_EQ(B.OpenBit(), 0);
  B.SetBit(0, true);
  B.SetBit(1, true);
  B.SetBit(5, true);
  EXPECT_EQ(B.GetSize(), 6);
  EXPECT_EQ(B.OpenBit(), 2);
  EXPECT_FALSE(B[100]);
  EXPECT_THROW(B.SetBit(-1, true), EBitsError);
  B.SetSize(2);
  EXPECT_EQ(B.OpenBit(), 2);
}

}  // namespace
