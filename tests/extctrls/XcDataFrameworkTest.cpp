#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "TestDataProvider.h"
#include "extctrls/XcItemsSearchs.h"
#include "platform/rtl/Streams.h"
#include "platform/vcl/Bitmap.h"

namespace {

// An extension that is not registered, answering one interface, and telling when it goes.
class THiddenableText : public TXcDataItemAggregatedObject, public IXcDataItemText {
  XC_CLASS_REF(THiddenableText)

public:
  THiddenableText(TXcBaseDataItem* Owner, String AText, bool* AFreed = nullptr)
      : TXcDataItemAggregatedObject(Owner), FText(std::move(AText)), FFreed(AFreed) {}
  ~THiddenableText() override
  {
    if (FFreed) *FFreed = true;
  }
  String GetText() override { return FText; }
  void SetText(const String& V) override { FText = V; }
  bool Editable() override { return false; }
  bool IsHidden() override { return Hidden; }
  bool Hidden = false;

protected:
  bool GetOwnInterface(TIID IID, void** Obj) override
  {
    return XcAnswer<IXcDataItemText>(this, IID, Obj) || TXcDataItemAggregatedObject::GetOwnInterface(IID, Obj);
  }

private:
  String FText;
  bool* FFreed;
};
XC_DEFINE_CLASS_REF(THiddenableText, TXcDataItemAggregatedObject::StaticClass(), nullptr)

// An item class nobody registered.
class TPrivateItem : public TXcBaseDataItem {
  XC_CLASS_REF(TPrivateItem)

public:
  using TXcBaseDataItem::TXcBaseDataItem;
};
XC_DEFINE_CLASS_REF(TPrivateItem, TXcBaseDataItem::StaticClass(), nullptr)

String TextOf(IInterface* Obj)
{
  const auto T = Supports<IXcDataItemText>(Obj);
  return T ? T->GetText() : String("<none>");
}

// A free-standing item (no list) that counts references.
TIntf<TXcBaseDataItem> LooseItem() { return TIntf<TXcBaseDataItem>(XcCreate<TXcBaseDataItem>(nullptr)); }

std::string Bytes(TMemoryStream& S)
{
  return std::string(static_cast<const char*>(S.GetMemory()), static_cast<std::size_t>(S.GetSize()));
}

}  // namespace

// ---------- extensible persistents ----------

TEST(XcExtensible, CountsFromZeroAndFreesItselfWithTheLastReference)
{
  bool Freed = false;
  TXcBaseDataItem* Raw = nullptr;
  {
    TIntf<TXcBaseDataItem> Item = LooseItem();
    Raw = Item.Get();
    EXPECT_EQ(Raw->RefCount(), 1);
    XcCreate<THiddenableText>(Raw, "t", &Freed);
    {
      const auto Text = Supports<IXcDataItemText>(static_cast<IXcDataItem*>(Raw));
      ASSERT_TRUE(Text);
      EXPECT_EQ(Raw->RefCount(), 2) << "the extension's interface counts on its owner";
    }
    EXPECT_EQ(Raw->RefCount(), 1);
    EXPECT_THROW(XcFree(Raw), EInvalidPointer) << "a referenced object is not freed directly";
  }
  EXPECT_TRUE(Freed) << "the owner frees its extensions";
}

TEST(XcExtensible, TheLatestExtensionAnswersFirstAndHiddenOnesNever)
{
  TIntf<TXcBaseDataItem> Item = LooseItem();
  auto* First = XcCreate<THiddenableText>(Item.Get(), "first");
  EXPECT_EQ(TextOf(static_cast<IXcDataItem*>(Item.Get())), "first");
  // A second extension of a different class answering the same interface.
  auto* Second = XcCreate<TXcDataItemTextImpl>(Item.Get());
  Second->SetText("second");
  EXPECT_EQ(TextOf(static_cast<IXcDataItem*>(Item.Get())), "second");
  Item->RemoveIntfImpl(Second);
  EXPECT_EQ(Item->ExtensionCount(), 1) << "no empty entry is left";
  First->Hidden = true;
  EXPECT_EQ(TextOf(static_cast<IXcDataItem*>(Item.Get())), "<none>");
  void* P = nullptr;
  EXPECT_EQ(static_cast<IXcDataItem*>(Item.Get())->QueryInterface(IXcDataItemImage::IID, &P), XC_E_NOINTERFACE);
}

TEST(XcExtensible, ASecondExtensionOfTheSameClassOrADescendantIsRefused)
{
  TIntf<TXcBaseDataItem> Item = LooseItem();
  XcCreate<TXcDataItemTextImpl>(Item.Get());
  try {
    XcCreate<TXcDataItemTextImpl>(Item.Get());
    FAIL() << "no error";
  } catch (const EXCLException& E) {
    EXPECT_EQ(E.Message(), "Implementation of that class already exists");
  }
  EXPECT_EQ(Item->ExtensionCount(), 1);
  // A present descendant of the new extension's class also refuses it; a present base does not.
  XcCreate<TXcDataItemBlockableTextImpl>(Item.Get());
  EXPECT_EQ(Item->ExtensionCount(), 2);
  TIntf<TXcBaseDataItem> Other = LooseItem();
  XcCreate<TXcDataItemBlockableTextImpl>(Other.Get());
  EXPECT_THROW(XcCreate<TXcDataItemTextImpl>(Other.Get()), EXCLException);
  EXPECT_EQ(Other->ExtensionCount(), 1);
  EXPECT_EQ(Other->IndexOfImplClass(TXcBaseDataItemTextImpl::StaticClass()), 0);
  EXPECT_EQ(Other->IndexOfImplClass(TXcDataItemImageImpl::StaticClass()), -1);
}

TEST(XcExtensible, ExtensionsStreamAndReadBackIntoTheSameOrNewExtensions)
{
  TIntf<TXcBaseDataItem> Source = LooseItem();
  XcCreate<TXcDataItemTextImpl>(Source.Get())->SetText("clip one");
  auto* Image = XcCreate<TXcDataItemImageImpl>(Source.Get());
  Image->SetImageIndex(7);
  Image->SetAlignment(taCenter);
  XcCreate<THiddenableText>(Source.Get(), "not registered");  // skipped when writing
  TMemoryStream S;
  TXcFilerWriter W(&S);
  W.WriteProperties(*Source.Get());
  W.WriteListEnd();

  TIntf<TXcBaseDataItem> Target = LooseItem();
  auto* Existing = XcCreate<TXcDataItemTextImpl>(Target.Get());
  S.SetPosition(0);
  TXcFilerReader R(&S);
  R.ReadProperties(*Target.Get());
  EXPECT_EQ(Target->GetID(), Source->GetID());
  EXPECT_EQ(Target->ExtensionCount(), 2) << "the text extension is filled, the image one made";
  EXPECT_EQ(Existing->GetText(), "clip one");
  EXPECT_EQ(Target->RefCount(), 1) << "reading leaves the count as it was";
  const auto Img = Supports<IXcDataItemImage>(static_cast<IXcDataItem*>(Target.Get()));
  ASSERT_TRUE(Img);
  EXPECT_EQ(Img->GetImageIndex(), 7);
  EXPECT_EQ(Img->GetAlignment(), taCenter);
}

TEST(XcExtensible, AnObjectWithoutStreamableExtensionsWritesNoExtensionsProperty)
{
  TIntf<TXcBaseDataItem> Item = LooseItem();
  Item->SetID("X");
  XcCreate<THiddenableText>(Item.Get(), "unregistered");
  TMemoryStream S;
  TXcFilerWriter W(&S);
  W.WriteProperties(*Item.Get());
  // "ID" = "X" and nothing else.
  EXPECT_EQ(Bytes(S), std::string("\x02ID\x06\x01X", 6));
}

TEST(XcExtensible, DamagedExtensionStreamsAreRefusedWithTheirMessages)
{
  struct TCase {
    const char* Name;
    std::string Value;  // the bytes after the property name "Extensions"
    const char* Message;
  };
  auto Str = [](const std::string& V) { return std::string("\x06", 1) + static_cast<char>(V.size()) + V; };
  auto Name = [](const std::string& N) { return static_cast<char>(N.size()) + N; };
  const TCase Cases[] = {
      {"no collection tag", std::string("\x01", 1), "Expected collection"},
      {"no ClassName", std::string("\x0E\x01", 2) + Name("Kind") + Str("TXcDataItemTextImpl"), "Missing ClassName property"},
      {"unknown class", std::string("\x0E\x01", 2) + Name("ClassName") + Str("TNoSuchThing"), "Class TNoSuchThing not found"},
      {"not an extension", std::string("\x0E\x01", 2) + Name("classname") + Str("TXcDataItemsList"), "Invalid class type"},
  };
  for (const TCase& C : Cases) {
    SCOPED_TRACE(C.Name);
    TIntf<TXcBaseDataItem> Item = LooseItem();
    TMemoryStream S;
    const std::string Data = Name("Extensions") + C.Value;
    S.WriteBuffer(Data.data(), static_cast<Int64>(Data.size()));
    S.SetPosition(0);
    TXcFilerReader R(&S);
    try {
      R.ReadProperties(*Item.Get());
      FAIL() << "no error";
    } catch (const EReadError& E) {
      EXPECT_EQ(E.Message(), C.Message);
    }
    EXPECT_EQ(Item->RefCount(), 1);
  }
}

// ---------- consumer ----------

TEST(XcDataConsumer, WithoutProviderItIsIdle)
{
  TXcDataConsumer* C = XcCreate<TXcDataConsumer>(nullptr, std::vector<int>{1, 3, 3});
  int Events = 0;
  C->OnChanging = [&](TXcDataConsumer*, TXcConsumerChange) { ++Events; };
  C->OnChanged = [&](TXcDataConsumer*, TXcConsumerChange) { ++Events; };
  C->SetProvider(nullptr);
  EXPECT_EQ(Events, 0);
  EXPECT_TRUE(C->AttributeApplies(1));
  EXPECT_TRUE(C->AttributeApplies(3));
  EXPECT_FALSE(C->AttributeApplies(2));
  EXPECT_EQ(C->_AddRef(), -1);
  C->SetContext("");
  EXPECT_EQ(C->GetContext(), "");
  try {
    C->SetContext("Main");
    FAIL();
  } catch (const EXCLDataConsumer& E) {
    EXPECT_EQ(E.Message(), "You must specify a provider before setting the context");
  }
  C->Enter();
  C->Leave();
  EXPECT_EQ(C->ExtensionCount(), 0);
  XcFree(C);
}

TEST(XcDataConsumer, AContextNameWaitsWhileTheOwnerLoads)
{
  auto P = NewTestProvider();
  for (const char* Name : {"First", "Second"}) {
    const TIntf<IXcDataContext> Ctx(XcCreate<TXcDataContext>(P->Contexts(), Name));
    P->Contexts()->DoAddContext(Ctx.Get());
  }
  TComponent Owner(nullptr);
  Owner.BeginLoad();
  TXcDataConsumer* C = XcCreate<TXcDataConsumer>(&Owner, std::vector<int>{});
  C->SetContext("Second");
  C->SetProvider(P.Get());
  EXPECT_EQ(C->GetContext(), "First") << "the name waits for the end of loading";
  Owner.EndLoad();
  C->Loaded();
  EXPECT_EQ(C->GetContext(), "Second");
  XcFree(C);
}

TEST(XcDataConsumer, AProviderSelectsItsFirstContextAndAViewList)
{
  auto P = NewTestProvider();
  auto* Ctx = P->Contexts();
  const TIntf<IXcDataContext> First(XcCreate<TXcDataContext>(Ctx, "First"));
  Ctx->DoAddContext(First.Get());
  const TIntf<IXcDataContext> Second(XcCreate<TXcDataContext>(Ctx, "Second"));
  Ctx->DoAddContext(Second.Get());
  P->Classes = {TXcDataConsumerViewList::StaticClass(), TXcDataConsumerItemSelect::StaticClass()};
  BuildTestTree(P->Root(), {"a", "b"});

  TXcDataConsumer* C = XcCreate<TXcDataConsumer>(nullptr, std::vector<int>{1, 3});
  std::vector<int> Reasons;
  C->OnChanging = [&](TXcDataConsumer*, TXcConsumerChange R) { Reasons.push_back(100 + R); };
  C->OnChanged = [&](TXcDataConsumer*, TXcConsumerChange R) { Reasons.push_back(R); };
  C->SetProvider(P.Get());
  EXPECT_EQ(P->Notifies.size(), 1u);
  EXPECT_EQ(C->GetContext(), "First");
  EXPECT_FALSE(C->IsContextStored());
  EXPECT_EQ(C->IndexOfImplClass(TXcDataConsumerViewList::StaticClass()), 0) << "made once, from the provider's list";
  EXPECT_EQ(C->ExtensionCount(), 2);
  ASSERT_FALSE(Reasons.empty());
  EXPECT_EQ(Reasons.front(), 100 + ccProviderSet);
  EXPECT_EQ(Reasons.back(), ccProviderSet);

  C->SetContext("second");
  EXPECT_EQ(C->GetContext(), "Second");
  EXPECT_TRUE(C->IsContextStored());
  try {
    C->SetContext("Third");
    FAIL();
  } catch (const EXCLDataConsumer& E) {
    EXPECT_EQ(E.Message(), "Provider has no context named \"Third\"");
  }

  // The provider going away: no provider, no extensions.
  C->DataProviderChanging(P.Get(), pcDestroy, nullptr);
  EXPECT_FALSE(C->GetProvider());
  EXPECT_EQ(C->ExtensionCount(), 0);
  EXPECT_TRUE(P->Notifies.empty());
  XcFree(C);
}

TEST(XcDataConsumer, SelectingAnItemByIDAndLosingItWhenItsParentIsDeleted)
{
  auto P = NewTestProvider();
  BuildTestTree(P->Root(), {"a", " a1", "b"});
  TXcDataConsumer* C = XcCreate<TXcDataConsumer>(nullptr, std::vector<int>{});
  C->SetProvider(P.Get());
  auto* Select = XcCreate<TXcDataConsumerItemSelect>(C);
  Select->SetItemID("A1");
  EXPECT_EQ(Select->GetItemID(), "a1");
  try {
    Select->SetItemID("zz");
    FAIL();
  } catch (const EXCLDataConsumer& E) {
    EXPECT_EQ(E.Message(), "Item not found in the selected context");
  }
  auto* Manage = XcCreate<TXcBaseDataItemsListManagement>(static_cast<TXcBaseDataItems*>(P->Root()));
  Manage->Delete(0);
  EXPECT_EQ(Select->GetItemID(), "") << "the parent of the selected item went";
  XcFree(C);
}

// ---------- items search ----------

TEST(XcItemsSearchs, SearchesCircularlyAfterTheStartIndex)
{
  TStringList L;
  L.SetCommaText("b,a,b,Abc");
  struct TCase {
    bool Prefix;
    const char* Value;
    int Start;
    bool CaseSensitive;
    int Expected;
  } const Cases[] = {
      {false, "b", 0, true, 2},   {false, "b", 2, true, 0},   {false, "B", -1, true, -1}, {false, "B", -1, false, 0},
      {false, "a", 1, true, 1},   {true, "AB", -1, true, -1}, {true, "AB", -1, false, 3}, {true, "", -1, false, -1},
      {true, "b", 3, true, 0},
  };
  for (const TCase& C : Cases) {
    SCOPED_TRACE(std::string(C.Value) + " from " + std::to_string(C.Start));
    const int Got = C.Prefix ? TXcItemsSearchs::FindPrefix(&L, C.Value, C.Start, C.CaseSensitive)
                             : TXcItemsSearchs::FindExact(&L, C.Value, C.Start, C.CaseSensitive);
    EXPECT_EQ(Got, C.Expected);
  }
  TStringList Empty;
  EXPECT_EQ(TXcItemsSearchs::FindExact(&Empty, "a", -1, false), -1);
}

// ---------- contexts ----------

TEST(XcDataContexts, NamesAreUniqueIgnoringCaseAndFixedContextsStay)
{
  auto P = NewTestProvider();
  auto* L = P->Contexts();
  const TIntf<IXcDataContext> Main(XcCreate<TXcDataContext>(L, "Main"));
  L->DoAddContext(Main.Get());
  L->DoAddContext(Main.Get());
  EXPECT_EQ(L->GetCount(), 1) << "the same context again does nothing";
  EXPECT_THROW(XcCreate<TXcDataContext>(L, "main"), EXCLDataContexts);
  const TIntf<IXcDataContext> Other(XcCreate<TXcManagedDataContext>(L, "Other"));
  static_cast<TXcDataContext*>(Other->GetImplementer())->DoSetName("MAIN");
  try {
    L->DoAddContext(Other.Get());
    FAIL();
  } catch (const EXCLDataContexts& E) {
    EXPECT_EQ(E.Message(), "A context with that name already exists");
  }
  static_cast<TXcBaseDataContext*>(Main->GetImplementer())->SetName("MAIN");
  EXPECT_EQ(Main->Name(), "MAIN") << "renaming to its own name in other case";
  EXPECT_TRUE(Supports<IXcDataContextManager>(Other));

  const TIntf<IXcDataContext> Fixed(XcCreate<TXcFixedDataContext>(L, "Fixed"));
  L->DoAddContext(Fixed.Get());
  P->Log.clear();
  L->DoRemoveContext(Fixed.Get());
  EXPECT_EQ(L->GetCount(), 2);
  EXPECT_TRUE(P->Log.empty());
  L->DoDeleteContext(0);
  EXPECT_EQ(L->GetCount(), 1);
  EXPECT_EQ(P->Log, (std::vector<std::string>{"Changing 6", "Changed 6"}));
  EXPECT_THROW(XcCreate<TXcDataContext>(nullptr, "x"), EXCLDataContexts);
}

TEST(XcDataContexts, PathsClimbToTheAncestorsListAndToTheRoot)
{
  auto P = NewTestProvider();
  auto* Root = P->Contexts();
  const TIntf<IXcDataContext> Parent(XcCreate<TXcDataContext>(Root, "Parent"));
  Root->DoAddContext(Parent.Get());
  const TIntf<IXcDataContext> Sibling(XcCreate<TXcDataContext>(Root, "Sibling"));
  Root->DoAddContext(Sibling.Get());
  const TIntf<IXcDataContexts> Nested(XcCreate<TXcDataContexts>(static_cast<IXcDataProvider*>(P.Get()), Parent.Get()));
  auto* NestedImpl = static_cast<TXcDataContexts*>(Nested.Get());
  const TIntf<IXcDataContext> Child(XcCreate<TXcDataContext>(NestedImpl, "Child"));
  NestedImpl->DoAddContext(Child.Get());
  struct TCase {
    const char* Path;
    IXcDataContext* Expected;
  } const Cases[] = {
      {"child", Child.Get()}, {"../sibling", Sibling.Get()}, {"..\\Parent", Parent.Get()},
      {"/Sibling", Sibling.Get()}, {"Nothing", nullptr}, {"..", nullptr},
  };
  for (const TCase& C : Cases) {
    SCOPED_TRACE(C.Path);
    EXPECT_EQ(Nested->GetContextByName(C.Path).Get(), C.Expected);
  }
  EXPECT_FALSE(Root->GetContextByName("../Parent")) << "a root list has no ancestor";
}

// ---------- items ----------

TEST(XcDataItems, NewItemsGetDifferentHexIDs)
{
  auto P = NewTestProvider();
  auto* A = XcCreate<TXcBaseDataItem>(static_cast<IXcDataItems*>(P->Root()));
  auto* B = XcCreate<TXcBaseDataItem>(static_cast<IXcDataItems*>(P->Root()));
  EXPECT_EQ(A->GetID().size(), 32u);
  EXPECT_EQ(A->GetID().find_first_not_of("0123456789ABCDEF"), String::npos);
  EXPECT_NE(A->GetID(), B->GetID());
  XcFree(A);
  XcFree(B);
}

TEST(XcDataItems, IDPathsFindItemsAcrossTheTree)
{
  auto P = NewTestProvider();
  BuildTestTree(P->Root(), {"a", " a1", "  a11", " a2", "b", " b1"});
  const TIntf<IXcDataItem> A1 = P->Root()->GetItemByID("a/a1");
  ASSERT_TRUE(A1);
  const TIntf<IXcDataItems> SubOfA = A1->GetItems();
  struct TCase {
    IXcDataItems* List;
    const char* Path;
    const char* Expected;  // "" for none
  } const Cases[] = {
      {P->Root(), "a/a1", "a1"},       {P->Root(), "A\\A1\\a11", "a11"}, {P->Root(), "zz/b", "b"},
      {P->Root(), "b/a1", ""},         {P->Root(), "../a", ""},          {SubOfA.Get(), "../b", "b"},
      {SubOfA.Get(), "/b/b1", "b1"},   {P->Root(), "a11", ""},           {P->Root(), "", ""},
  };
  for (const TCase& C : Cases) {
    SCOPED_TRACE(C.Path);
    const TIntf<IXcDataItem> Found = C.List->GetItemByID(C.Path);
    EXPECT_EQ(Found ? Found->GetID() : String(), C.Expected);
  }
  EXPECT_FALSE(P->Root()->FindByID("a11", false));
  ASSERT_TRUE(P->Root()->FindByID("a11", true));
  EXPECT_EQ(P->Root()->GetItemByIndexPath({0, 0, 0})->GetID(), "a11");
  EXPECT_FALSE(P->Root()->GetItemByIndexPath({1, 0, 0}));
  EXPECT_FALSE(P->Root()->GetItemByIndexPath({}));
  EXPECT_TRUE(P->Root()->GetItem(0)->IsParentOf(P->Root()->FindByID("a11", true).Get(), false));
  EXPECT_FALSE(P->Root()->GetItem(0)->IsParentOf(P->Root()->FindByID("a11", true).Get(), true));
}

TEST(XcDataItems, ManagementTellsTheProviderAndRefusesBadDeletes)
{
  auto P = NewTestProvider();
  BuildTestTree(P->Root(), {"a", "b"});
  auto* M = XcCreate<TXcBaseDataItemsListManagement>(static_cast<TXcBaseDataItems*>(P->Root()));
  EXPECT_THROW(M->Delete(5), EListError);
  EXPECT_EQ(P->Root()->GetCount(), 2);
  P->Log.clear();
  TIntf<IXcDataItem> B = P->Root()->GetItem(1);
  M->Remove(B);
  EXPECT_FALSE(B);
  EXPECT_EQ(P->Root()->GetCount(), 1);
  EXPECT_EQ(P->Log, (std::vector<std::string>{"Changing 1", "Changed 1"}));
  M->Clear();
  EXPECT_EQ(P->Root()->GetCount(), 0);
}

TEST(XcDataItems, ATreeStreamsAndReadsBack)
{
  auto P = NewTestProvider();
  BuildTestTree(P->Root(), {"a", " a1", "  a11", "b"});
  TMemoryStream S;
  TXcFilerWriter W(&S);
  W.WriteProperties(*P->Root());
  W.WriteListEnd();

  auto Q = NewTestProvider();
  S.SetPosition(0);
  TXcFilerReader R(&S);
  R.ReadProperties(*Q->Root());
  EXPECT_EQ(S.GetPosition(), S.GetSize());
  ASSERT_EQ(Q->Root()->GetCount(), 2);
  const TIntf<IXcDataItem> A11 = Q->Root()->GetItemByID("a/a1/a11");
  ASSERT_TRUE(A11);
  EXPECT_EQ(TextOf(A11.Get()), "a11");
  EXPECT_EQ(TextOf(Q->Root()->GetItem(1).Get()), "b");
}

TEST(XcDataItems, AListOfUnregisteredItemsWritesAnEmptyCollection)
{
  auto P = NewTestProvider();
  P->Root()->InternalAdd(XcCreate<TPrivateItem>(static_cast<IXcDataItems*>(P->Root())));
  TMemoryStream S;
  TXcFilerWriter W(&S);
  W.WriteProperties(*P->Root());
  EXPECT_EQ(Bytes(S), std::string("\x05Items\x0E\x00", 8));
}

// ---------- extensions and renderers ----------

TEST(XcDataItemExtensions, RenderersDrawTextOrTheMissingTextNote)
{
  auto P = NewTestProvider();
  BuildTestTree(P->Root(), {"a", " a1", "  a11"});
  auto* Bare = XcCreate<TXcBaseDataItem>(static_cast<IXcDataItems*>(P->Root()));
  P->Root()->InternalAdd(Bare);
  auto* Renderer = XcCreate<TXcCustomDataItemsTextRenderer>(static_cast<TXcBaseDataItems*>(P->Root()));
  TIntf<IXcDataItemsRenderer> Found;
  ASSERT_TRUE(DP_FindItemsRenderer(P->Root()->FindByID("a11", true).Get(), Found));
  EXPECT_EQ(Found.Get(), static_cast<IXcDataItemsRenderer*>(Renderer));

  auto Bitmap = std::make_unique<TBitmap>();
  Bitmap->SetSize(50, 20);
  TCanvas* Canvas = Bitmap->GetCanvas();
  EXPECT_EQ(Renderer->MeasureItemByIndex(Canvas, -1).cx, Canvas->TextExtent("WyWyWyWyWyWyWyWyWyWy").cx);
  EXPECT_EQ(Renderer->MeasureItemByIndex(Canvas, 1).cx, Canvas->TextExtent(XcNoItemTextText).cx);
  EXPECT_EQ(Renderer->MeasureItemByIndex(Canvas, 0).cx, Canvas->TextExtent("a").cx);
  try {
    Renderer->MeasureItemByIndex(Canvas, 2);
    FAIL();
  } catch (const EXCLDataItems& E) {
    EXPECT_EQ(E.Message(), "List index out of bounds (2)");
  }
  EXPECT_THROW(Renderer->DrawItemByIndex(Canvas, TRect{0, 0, 50, 20}, -1, 0), EXCLDataItems);
  EXPECT_EQ(DP_OwnerDrawStateToProviderDrawStates(0x1FF), 0xFF);
}

TEST(XcDataItemExtensions, PerContextTextFollowsTheAncestorUntilItHasItsOwn)
{
  auto P = NewTestProvider();
  const TIntf<IXcDataContext> Parent(XcCreate<TXcDataContext>(P->Contexts(), "Parent"));
  P->Contexts()->DoAddContext(Parent.Get());
  const TIntf<IXcDataContexts> Nested(XcCreate<TXcDataContexts>(static_cast<IXcDataProvider*>(P.Get()), Parent.Get()));
  const TIntf<IXcDataContext> Child(XcCreate<TXcDataContext>(static_cast<TXcDataContexts*>(Nested.Get()), "Child"));
  auto* Item = XcCreate<TXcBaseDataItem>(static_cast<IXcDataItems*>(P->Root()));
  P->Root()->InternalAdd(Item);
  auto* Text = XcCreate<TXcDataItemContextTextImpl>(Item);
  Text->SetText("plain");
  P->ActiveContext = Parent;
  Text->SetText("parent text");
  P->ActiveContext = Child;
  EXPECT_EQ(Text->GetText(), "parent text");
  EXPECT_TRUE(Item->IsEqualToAncestor());
  Text->SetText("child text");
  EXPECT_EQ(Text->GetText(), "child text");
  EXPECT_FALSE(Item->IsEqualToAncestor());
  Item->RevertToAncestor();
  EXPECT_EQ(Text->GetText(), "parent text");
  P->ActiveContext = nullptr;
  EXPECT_EQ(Text->GetText(), "plain");
  // Context sensitivity is answered by the extension itself only.
  auto* Image = XcCreate<TXcDataItemImageImpl>(Item);
  EXPECT_FALSE(Supports<IXcDataContextSensitive>(static_cast<IXcDataItemImage*>(Image)));
  EXPECT_TRUE(Supports<IXcDataContextSensitive>(static_cast<IXcDataItemText*>(Text)));
  EXPECT_TRUE(Supports<IXcDataContextSensitive>(static_cast<IXcDataItem*>(Item)));
}

TEST(XcDataItemExtensions, SettersNotifyOnlyWhenTheValueChanges)
{
  auto P = NewTestProvider();
  auto* Item = XcCreate<TXcBaseDataItem>(static_cast<IXcDataItems*>(P->Root()));
  P->Root()->InternalAdd(Item);
  auto* Text = XcCreate<TXcDataItemBlockableTextImpl>(Item);
  P->Log.clear();
  Text->SetReadOnly(false);
  Text->SetText("");
  EXPECT_TRUE(P->Log.empty());
  Text->SetReadOnly(true);
  EXPECT_FALSE(Text->Editable());
  EXPECT_EQ(P->Log, (std::vector<std::string>{"Changing 2", "Changed 2"}));
}

// ---------- view list ----------

namespace {

// "id:depth[E][C]" per row: E expanded, C has children.
std::vector<std::string> RowsOf(TXcDataConsumerViewList* V)
{
  std::vector<std::string> R;
  for (const TViewListItem& Row : V->Rows()) {
    std::string S = Row.ID + ":" + std::to_string(Row.Flags & vfDepthMask);
    if (Row.Flags & vfExpanded) S += "E";
    if (Row.Flags & vfHasChildren) S += "C";
    R.push_back(S);
  }
  return R;
}

struct TViewFixture {
  TIntf<TTestDataProvider> P = NewTestProvider();
  TXcDataConsumer* C = XcCreate<TXcDataConsumer>(nullptr, std::vector<int>{1, 3});
  TXcDataConsumerViewList* View = nullptr;
  TViewFixture(const std::vector<std::string>& Tree, int Level)
  {
    BuildTestTree(P->Root(), Tree);
    C->AfterCreateSubSvc = [Level](TXcDataConsumer*, TXcDataConsumerAggregatedObject* Svc) {
      if (auto* V = dynamic_cast<TXcDataConsumerViewList*>(Svc)) V->SetAutoExpandLevel(Level);
    };
    C->SetProvider(P.Get());
    View = static_cast<TXcDataConsumerViewList*>(C->Extension(C->IndexOfImplClass(TXcDataConsumerViewList::StaticClass())));
  }
  ~TViewFixture() { XcFree(C); }
};

}  // namespace

TEST(XcConsumerViewList, ShowsTreesToTheirAutoExpandLevel)
{
  const std::vector<std::string> Tree = {"a", " a1", "  a11", " a2", "b", "c", " c1"};
  struct TCase {
    int Level;
    std::vector<std::string> Rows;
  } const Cases[] = {
      {-1, {"a:0EC", "a1:1EC", "a11:2", "a2:1", "b:0", "c:0EC", "c1:1"}},
      {0, {"a:0C", "b:0", "c:0C"}},
      {1, {"a:0EC", "a1:1C", "a2:1", "b:0", "c:0EC", "c1:1"}},
  };
  for (const TCase& Case : Cases) {
    SCOPED_TRACE(Case.Level);
    TViewFixture F(Tree, Case.Level);
    ASSERT_NE(F.View, nullptr);
    F.View->RebuildView();
    EXPECT_EQ(RowsOf(F.View), Case.Rows);
  }
  TViewFixture Empty({}, -1);
  EXPECT_TRUE(RowsOf(Empty.View).empty());
}

TEST(XcConsumerViewList, CollapsingAndExpandingRows)
{
  TViewFixture F({"a", " a1", "  a11", " a2", "b"}, -1);
  F.View->RebuildView();
  F.View->ToggleItem(0);
  EXPECT_EQ(RowsOf(F.View), (std::vector<std::string>{"a:0C", "b:0"}));
  F.View->ToggleItem(0);
  EXPECT_EQ(RowsOf(F.View), (std::vector<std::string>{"a:0EC", "a1:1C", "a2:1", "b:0"})) << "one level back";
  F.View->ToggleItem(3);  // no children: left alone
  EXPECT_EQ(F.View->Count(), 4);
  EXPECT_EQ(F.View->Item(2)->GetID(), "a2");
  EXPECT_EQ(F.View->ItemParentIndex(2), 0);
  EXPECT_EQ(F.View->ItemSiblingIndex(1), 2);
  EXPECT_EQ(F.View->ItemSiblingIndex(2), -1);
  EXPECT_EQ(F.View->SubItemIndex(-1, 1), 3);
  EXPECT_EQ(F.View->SubItem(0, 1)->GetID(), "a2");
}

TEST(XcConsumerViewList, DeletingTheOnlyChildClearsTheParentsMarks)
{
  TViewFixture F({"a", " a1", "b"}, -1);
  F.View->RebuildView();
  F.View->DeleteItem(1);
  EXPECT_EQ(RowsOf(F.View), (std::vector<std::string>{"a:0", "b:0"}));
}

TEST(XcConsumerViewList, ChildIndexCountsSiblingsAboveOnly)
{
  TViewFixture F({"a", " x", "  x1", "  x2", " y", " z", "b"}, -1);
  F.View->RebuildView();
  EXPECT_EQ(F.View->ChildIndexOfID("z"), 2);
  EXPECT_EQ(F.View->ChildIndexOfID("a"), 0);
  EXPECT_EQ(F.View->ChildIndexOfID("b"), 1);
  EXPECT_EQ(F.View->ChildIndexOfID("none"), -1);
  EXPECT_TRUE(F.View->ItemGroupInfo(0).empty());
  EXPECT_EQ(F.View->ItemGroupInfo(2), (std::vector<std::int32_t>{0b11}) ) << "a and x both have later siblings";
}

TEST(XcConsumerViewList, GroupInfoOfADeepRowHasTwoElements)
{
  std::vector<std::string> Tree;
  for (int D = 0; D <= 33; ++D) Tree.push_back(std::string(static_cast<std::size_t>(D), ' ') + "n" + std::to_string(D));
  TViewFixture F(Tree, -1);
  F.View->RebuildView();
  ASSERT_EQ(F.View->Count(), 34);
  EXPECT_EQ(F.View->ItemLevel(33), 33);
  EXPECT_EQ(F.View->ItemGroupInfo(33).size(), 2u);
}

TEST(XcConsumerViewList, FollowsItemsAddedAndDeletedByTheProvider)
{
  TViewFixture F({"a", " a1", "b"}, 0);
  F.View->SetExpandOnNewItem(true);
  F.View->RebuildView();
  auto* A = static_cast<TXcBaseDataItem*>(F.P->Root()->GetItem(0)->GetImplementer());
  TXcDataItemsList* SubOfA = SubListFor(A);
  auto* M = XcCreate<TXcBaseDataItemsListManagement>(static_cast<TXcBaseDataItems*>(SubOfA));
  auto* A2 = XcCreate<TXcBaseDataItem>(static_cast<IXcDataItems*>(SubOfA));
  A2->SetID("a2");
  M->Add(A2);
  EXPECT_EQ(RowsOf(F.View), (std::vector<std::string>{"a:0EC", "a1:1", "a2:1", "b:0"}));
  M->Delete(0);
  EXPECT_EQ(RowsOf(F.View), (std::vector<std::string>{"a:0EC", "a2:1", "b:0"}));
  auto* RootM = XcCreate<TXcBaseDataItemsListManagement>(static_cast<TXcBaseDataItems*>(F.P->Root()));
  auto* C = XcCreate<TXcBaseDataItem>(static_cast<IXcDataItems*>(F.P->Root()));
  C->SetID("c");
  RootM->Add(C);
  EXPECT_EQ(RowsOf(F.View), (std::vector<std::string>{"a:0EC", "a2:1", "b:0", "c:0"}));
}

TEST(XcConsumerStrings, ReadOnlyTextsOfTheRows)
{
  TViewFixture F({"a", " a1", "b"}, -1);
  F.View->RebuildView();
  TXcConsumerStrings S(F.C);
  EXPECT_EQ(S.GetCount(), 3);
  EXPECT_EQ(S.Get(1), "a1");
  S.Clear();
  S.Delete(0);
  EXPECT_EQ(S.GetCount(), 3);
  try {
    S.Get(3);
    FAIL();
  } catch (const EListError& E) {
    EXPECT_EQ(E.Message(), "List index out of bounds (3)");
  }
  EXPECT_THROW(S.Get(-1), EListError);
  TXcDataConsumer* Idle = XcCreate<TXcDataConsumer>(nullptr, std::vector<int>{3});
  TXcConsumerStrings None(Idle);
  EXPECT_EQ(None.GetCount(), 0);
  XcFree(Idle);
}

// ---------- further framework cases ----------

namespace {

// A server linked to a consumer, counting the provider changes it hears of.
class TTestServer : public TExtensibleInterfacedPersistent, public IXcDataConsumerServerNotify {
public:
  void NotifyProviderChanged(IXcDataConsumerClientNotify*) override { ++Calls; }
  int Calls = 0;

protected:
  bool GetOwnInterface(TIID IID, void** Obj) override
  {
    return XcAnswer<IXcDataConsumerServerNotify>(this, IID, Obj) || TExtensibleInterfacedPersistent::GetOwnInterface(IID, Obj);
  }
};

// An extension whose only property cannot be written.
class TFailingExtension : public TXcDataItemAggregatedObject {
  XC_CLASS_REF(TFailingExtension)

public:
  using TXcDataItemAggregatedObject::TXcDataItemAggregatedObject;
  void DefineProperties(TXcFiler& Filer) override
  {
    Filer.DefineProperty("Broken", nullptr, [](TXcFilerWriter&) { throw EWriteError("disk full"); }, true);
  }
};
XC_DEFINE_CLASS_REF(TFailingExtension, TXcDataItemAggregatedObject::StaticClass(), nullptr)

}  // namespace

TEST(XcDataConsumer, LinkedServersHearOfANewProvider)
{
  TXcDataConsumer* C = XcCreate<TXcDataConsumer>(nullptr, std::vector<int>{});
  TIntf<TTestServer> Server(XcCreate<TTestServer>());
  C->LinkAdded(Server.Get());
  auto P = NewTestProvider();
  C->SetProvider(P.Get());
  EXPECT_EQ(Server->Calls, 1);
  C->LinkRemoved(Server.Get());
  C->SetProvider(nullptr);
  EXPECT_EQ(Server->Calls, 1);
  EXPECT_EQ(C->ServerCount(), 0);
  XcFree(C);
}

TEST(XcExtensible, ThePropertyPathComesBackAfterAFailedWrite)
{
  XcRegisterClass(TFailingExtension::StaticClass());
  TIntf<TXcBaseDataItem> Item = LooseItem();
  XcCreate<TFailingExtension>(Item.Get());
  TMemoryStream S;
  TXcFilerWriter W(&S);
  W.SetPropPath("Form1.List");
  EXPECT_THROW(W.WriteProperties(*Item.Get()), EWriteError);
  EXPECT_EQ(W.GetPropPath(), "Form1.List");
}

TEST(XcDataItems, AnItemsNamePathNamesItsID)
{
  auto P = NewTestProvider();
  auto* Item = XcCreate<TXcBaseDataItem>(static_cast<IXcDataItems*>(P->Root()));
  Item->SetID("ABC");
  EXPECT_EQ(Item->GetNamePath(), "Unknown: Item[ABC]");
  XcFree(Item);
}

TEST(XcConsumerViewList, ExpandingTheTreeToAHiddenItem)
{
  TViewFixture F({"a", " a1", "  a11", "b"}, 0);
  F.View->RebuildView();
  const TIntf<IXcDataItem> A11 = F.P->Root()->FindByID("a11", true);
  F.View->ExpandTreeTo(A11.Get());
  EXPECT_EQ(RowsOf(F.View), (std::vector<std::string>{"a:0EC", "a1:1EC", "a11:2", "b:0"}));
  // A row marked expanded whose children are missing is out of step with the view.
  TViewFixture G({"a", " a1", "  a11"}, 0);
  G.View->RebuildView();
  G.View->UpdateItemFlags(0, vfExpanded, vfExpanded);
  try {
    G.View->ExpandTreeTo(G.P->Root()->FindByID("a11", true).Get());
    FAIL();
  } catch (const EXCLDataConsumer& E) {
    EXPECT_EQ(E.Message(), "ViewList out of sync");
  }
}

TEST(XcDataItems, DamagedItemStreamsAreRefused)
{
  auto Name = [](const std::string& N) { return std::string(1, static_cast<char>(N.size())) + N; };
  auto Str = [](const std::string& V) { return std::string("\x06", 1) + static_cast<char>(V.size()) + V; };
  const std::string Entry = std::string("\x01", 1) + Name("ClassName");
  // One item of the list, nested Depth times through SubItems.
  std::function<std::string(int)> Nested = [&](int Depth) -> std::string {
    std::string Item = Entry + Str("TXcBaseDataItem") + Name("ID") + Str("n");
    if (Depth > 0)
      Item += Name("SubItems") + std::string("\x0E", 1) + Entry + Str("TXcDataItemsList") + Name("Items") +
              std::string("\x0E", 1) + Nested(Depth - 1) + std::string("\x00\x00\x00", 3);
    return Item + std::string("\x00", 1);
  };
  struct TCase {
    const char* Name;
    std::string Bytes;
    const char* Message;
  } const Cases[] = {
      {"an item extension in a list", Name("Extensions") + "\x0E" + Entry + Str("TXcDataItemTextImpl"), "Invalid class type"},
      {"a list as an item", Name("Items") + "\x0E" + Entry + Str("TXcDataItemsList"), "Invalid class type"},
      {"an unknown property", Name("Items") + "\x0E" + Entry + Str("TXcBaseDataItem") + Name("Colour") + Str("red"),
       "Property Colour does not exist"},
      {"a text where a collection belongs", Name("Items") + Str("x"), "Expected collection"},
      {"cut short", Name("Items") + "\x0E" + Entry + Str("TXcBaseDataItem") + Name("ID") + "\x06\x09" + "abc",
       "Stream read error"},
      {"nested too deeply", Name("Items") + "\x0E" + Nested(TXcFilerReader::MaxNesting), "Objects nested too deeply"},
  };
  for (const TCase& C : Cases) {
    SCOPED_TRACE(C.Name);
    auto P = NewTestProvider();
    TMemoryStream S;
    S.WriteBuffer(C.Bytes.data(), static_cast<Int64>(C.Bytes.size()));
    S.SetPosition(0);
    TXcFilerReader R(&S);
    try {
      R.ReadProperties(*P->Root());
      FAIL() << "no error";
    } catch (const EReadError& E) {
      EXPECT_EQ(E.Message(), C.Message);
    }
  }
  // Nesting just inside the limit reads.
  auto P = NewTestProvider();
  const std::string Fine = Name("Items") + "\x0E" + Nested(TXcFilerReader::MaxNesting / 2 - 1) + std::string("\x00\x00", 2);
  TMemoryStream S;
  S.WriteBuffer(Fine.data(), static_cast<Int64>(Fine.size()));
  S.SetPosition(0);
  TXcFilerReader R(&S);
  R.ReadProperties(*P->Root());
  EXPECT_EQ(P->Root()->GetCount(), 1);
}
