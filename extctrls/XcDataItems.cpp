#include "extctrls/XcDataItems.h"

#include <algorithm>
#include <random>

#include "platform/rtl/StrUtils.h"
#include "platform/vcl/Component.h"

XC_DEFINE_CLASS_REF(TXcBaseDataItem, TExtensibleInterfacedPersistent::StaticClass(), [](TObject* L) -> TObject* {
  return XcCreate<TXcBaseDataItem>(XcArgAs<IXcDataItems>(L));
})
XC_DEFINE_CLASS_REF(TXcBaseDataItems, TExtensibleInterfacedPersistent::StaticClass(), nullptr)
XC_DEFINE_CLASS_REF(TXcDataItemsList, TXcBaseDataItems::StaticClass(), [](TObject* Parent) -> TObject* {
  return XcCreate<TXcDataItemsList>(nullptr, XcArgAs<IXcDataItem>(Parent));
})
XC_DEFINE_CLASS_REF(TXcDataItemAggregatedObject, TAggregatedPersistentEx::StaticClass(), nullptr)
XC_DEFINE_CLASS_REF(TXcDataItemsAggregatedObject, TAggregatedPersistentEx::StaticClass(), nullptr)
XC_DEFINE_CLASS_REF(TXcBaseDataItemSubItems, TXcDataItemAggregatedObject::StaticClass(), nullptr)
XC_DEFINE_CLASS_REF(TXcBaseDataItemsManagement, TXcDataItemsAggregatedObject::StaticClass(), nullptr)
XC_DEFINE_CLASS_REF(TXcBaseDataItemsListManagement, TXcBaseDataItemsManagement::StaticClass(), [](TObject* L) -> TObject* {
  return XcCreate<TXcBaseDataItemsListManagement>(XcArgAs<TXcBaseDataItems>(L));
})

String XcFirstPathSegment(const String& Path, String& Rest, bool& HasSeparator)
{
  const auto Sep = Path.find_first_of("\\/");
  HasSeparator = Sep != String::npos;
  if (!HasSeparator) {
    Rest.clear();
    return Path;
  }
  Rest = Path.substr(Sep + 1);
  return Path.substr(0, Sep);
}

namespace {

// The sub-item list of Item, nil when it has none.
TIntf<IXcDataItems> SubListOf(IXcDataItem* Item) { return Supports<IXcDataItems>(static_cast<IInterface*>(Item)); }

// Provider context nil around a change of an item's count.
class TProviderContextScope {
public:
  explicit TProviderContextScope(IXcDataItems* Items) : FProvider(Items ? Items->GetProvider() : nullptr)
  {
    if (FProvider) FProvider->SelectContext(nullptr);
  }
  ~TProviderContextScope()
  {
    if (FProvider) FProvider->ReleaseContext();
  }
  TProviderContextScope(const TProviderContextScope&) = delete;
  TProviderContextScope& operator=(const TProviderContextScope&) = delete;

private:
  TIntf<IXcDataProvider> FProvider;
};

}  // namespace

// ---- TXcBaseDataItem ----

TXcBaseDataItem::TXcBaseDataItem(IXcDataItems* AOwner) : FItems(AOwner)
{
  if (FItems != nullptr && FItems->IsDynamic()) FCountedItems = FItems;
}

void TXcBaseDataItem::AfterConstruction()
{
  InitID();
  TExtensibleInterfacedPersistent::AfterConstruction();
}

int TXcBaseDataItem::_AddRef()
{
  TProviderContextScope Scope(FItems);
  if (FItems != nullptr && !FItems->IsDynamic()) return -1;
  return TExtensibleInterfacedPersistent::_AddRef();
}

int TXcBaseDataItem::_Release()
{
  // The scope must end before the object may go away.
  bool Counted = true;
  {
    TProviderContextScope Scope(FItems);
    Counted = FItems == nullptr || FItems->IsDynamic();
  }
  return Counted ? TExtensibleInterfacedPersistent::_Release() : -1;
}

void TXcBaseDataItem::InitID()
{
  static std::random_device Device;
  static std::mt19937_64 Engine(Device());
  static const char Digits[] = "0123456789ABCDEF";
  FID.clear();
  for (int I = 0; I < 16; ++I) {
    const auto Byte = static_cast<unsigned>(Engine() & 0xFF);
    FID += Digits[Byte >> 4];
    FID += Digits[Byte & 0xF];
  }
}

bool TXcBaseDataItem::GetOwnInterface(TIID IID, void** Obj)
{
  return XcAnswer<IXcDataItem>(this, IID, Obj) || TExtensibleInterfacedPersistent::GetOwnInterface(IID, Obj);
}

int TXcBaseDataItem::GetIndex()
{
  if (FItems == nullptr) return -1;
  for (int I = FItems->GetCount(); I-- > 0;)
    if (FItems->GetItem(I)->GetImplementer() == this) return I;
  return -1;
}

bool TXcBaseDataItem::IsParentOf(IXcDataItem* AnItem, bool DirectParent)
{
  if (AnItem == nullptr) return false;
  const TIntf<IXcDataItems> List = AnItem->GetItems();
  TIntf<IXcDataItem> Parent = List ? List->GetParent() : nullptr;
  if (Parent && Parent->GetImplementer() == this) return true;
  if (DirectParent) return false;
  while (Parent) {
    if (Parent->GetImplementer() == this) return true;
    const TIntf<IXcDataItems> Up = Parent->GetItems();
    Parent = Up ? Up->GetParent() : nullptr;
  }
  return false;
}

void TXcBaseDataItem::ContextDestroying(IXcDataContext* Context)
{
  for (int I = 0; I < ExtensionCount(); ++I)
    if (auto* E = dynamic_cast<TXcDataItemAggregatedObject*>(Extension(I))) E->ContextDestroying(Context);
  if (const TIntf<IXcDataItems> Sub = SubListOf(this)) Sub->ContextDestroying(Context);
}

TComponent* TXcBaseDataItem::GetOwnerComponent()
{
  if (FItems == nullptr) return nullptr;
  const auto Ref = Supports<IInterfaceComponentReference>(FItems->GetProvider());
  return Ref ? Ref->GetComponent() : nullptr;
}

String TXcBaseDataItem::GetNamePath() const
{
  TComponent* Owner = const_cast<TXcBaseDataItem*>(this)->GetOwnerComponent();
  return (Owner != nullptr ? Owner->GetName() : String("Unknown")) + ": Item[" + FID + "]";
}

void TXcBaseDataItem::RevertToAncestor()
{
  for (int I = 0; I < ExtensionCount(); ++I)
    if (auto* E = dynamic_cast<IXcDataContextSensitive*>(Extension(I))) E->RevertToAncestor();
}

bool TXcBaseDataItem::IsEqualToAncestor()
{
  for (int I = 0; I < ExtensionCount(); ++I)
    if (auto* E = dynamic_cast<IXcDataContextSensitive*>(Extension(I)))
      if (!E->IsEqualToAncestor()) return false;
  return true;
}

TXcBaseDataItemSubItems* TXcBaseDataItem::SubItemsExtension() const
{
  const int Index = IndexOfImplClass(TXcBaseDataItemSubItems::StaticClass());
  return Index < 0 ? nullptr : static_cast<TXcBaseDataItemSubItems*>(Extension(Index));
}

void TXcBaseDataItem::DefineProperties(TXcFiler& Filer)
{
  Filer.DefineProperty(
      "ID", [this](TXcFilerReader& R) { FID = R.ReadString(); }, [this](TXcFilerWriter& W) { W.WriteString(FID); }, true);
  TExtensibleInterfacedPersistent::DefineProperties(Filer);
  Filer.DefineProperty(
      "SubItems", [this](TXcFilerReader& R) { ReadSubItems(R); }, [this](TXcFilerWriter& W) { WriteSubItems(W); },
      static_cast<bool>(SubListOf(this)));
}

void TXcBaseDataItem::WriteSubItems(TXcFilerWriter& Writer)
{
  const TIntf<IXcDataItems> Sub = SubListOf(this);
  auto* Impl = dynamic_cast<TXcBaseDataItems*>(Sub->GetImplementer());
  TXcPropPathGuard Path(Writer);
  Writer.WriteValue(vaCollection);
  Writer.WriteListBegin();
  Writer.WritePropName("ClassName");
  Writer.WriteString(Impl->ClassType()->Name());
  Writer.WriteProperties(*Impl);
  Writer.WriteListEnd();
  Writer.WriteListEnd();
}

void TXcBaseDataItem::ReadSubItems(TXcFilerReader& Reader)
{
  SuspendRefCount();
  struct TResume {
    TXcBaseDataItem* Self;
    ~TResume() { Self->ResumeRefCount(); }
  } Resume{this};
  if (Reader.ReadValue() != vaCollection) throw EReadError("Expected collection");
  Reader.ReadListBegin();
  if (!SameText(Reader.ReadPropName(), "ClassName")) throw EReadError("Missing ClassName property");
  const TXcClassRef* Cls = XcFindClass(Reader.ReadString());
  if (!Cls->InheritsFrom(TXcBaseDataItems::StaticClass())) throw EReadError("Invalid class type");
  TXcBaseDataItems* Sub = nullptr;
  if (TXcBaseDataItemSubItems* Ext = SubItemsExtension()) {
    auto* Existing = dynamic_cast<TXcBaseDataItems*>(Ext->SubItems()->GetImplementer());
    if (Existing != nullptr && Existing->ClassType() == Cls)
      Sub = Existing;
    else
      RemoveIntfImpl(Ext);
  }
  if (Sub == nullptr) Sub = static_cast<TXcBaseDataItems*>(Cls->Create(static_cast<TExtensibleInterfacedPersistent*>(this)));
  Reader.ReadProperties(*Sub);
  Reader.ReadListEnd();
}

// ---- TXcBaseDataItems ----

TXcBaseDataItems::TXcBaseDataItems(IXcDataProvider* AProvider, IXcDataItem* AParent) : FParent(AParent), FProvider(AProvider)
{
  if (AParent != nullptr) {
    const TIntf<IXcDataItems> Holder = AParent->GetItems();
    FProvider = Holder ? Holder->GetProvider().Get() : nullptr;
  }
}

void TXcBaseDataItems::AfterConstruction()
{
  if (FParent != nullptr)
    if (auto* Owner = dynamic_cast<TXcBaseDataItem*>(FParent->GetImplementer()))
      FSubItemsExt = XcCreate<TXcBaseDataItemSubItems>(Owner, static_cast<IXcDataItems*>(this));
  TExtensibleInterfacedPersistent::AfterConstruction();
}

bool TXcBaseDataItems::GetOwnInterface(TIID IID, void** Obj)
{
  return XcAnswer<IXcDataIDSearch>(this, IID, Obj) || XcAnswer<IXcDataItems>(this, IID, Obj) ||
         TExtensibleInterfacedPersistent::GetOwnInterface(IID, Obj);
}

bool TXcBaseDataItems::IsStreamableItem(TXcBaseDataItem* Item)
{
  return Item != nullptr && XcGetClass(Item->ClassType()->Name()) != nullptr;
}

TIntf<IXcDataItem> TXcBaseDataItems::GetItemByID(const String& ID)
{
  TIntf<IXcDataItems> Current(static_cast<IXcDataItems*>(this));
  String Path = ID;
  while (Current && !Path.empty()) {
    String Rest;
    bool HasSeparator = false;
    const String Segment = XcFirstPathSegment(Path, Rest, HasSeparator);
    Path = Rest;
    if (Segment == "..") {
      const TIntf<IXcDataItem> Parent = Current->GetParent();
      Current = Parent ? Parent->GetItems() : nullptr;
      continue;
    }
    if (Segment.empty() && HasSeparator && FParent != nullptr) {
      Current = FProvider ? FProvider->GetItems() : nullptr;
      continue;
    }
    TIntf<IXcDataItem> Match;
    for (int I = Current->GetCount(); I-- > 0;) {
      TIntf<IXcDataItem> Candidate = Current->GetItem(I);
      if (SameText(Candidate->GetID(), Segment)) {
        Match = Candidate;
        break;
      }
    }
    if (!Match) continue;
    if (Path.empty()) return Match;
    Current = SubListOf(Match.Get());
  }
  return nullptr;
}

TIntf<IXcDataItem> TXcBaseDataItems::GetItemByIndexPath(const std::vector<int>& IndexPath)
{
  if (IndexPath.empty()) return nullptr;
  TIntf<IXcDataItems> Current(static_cast<IXcDataItems*>(this));
  TIntf<IXcDataItem> Item;
  for (std::size_t I = 0; I < IndexPath.size(); ++I) {
    if (I > 0) {
      Current = SubListOf(Item.Get());
      if (!Current) return nullptr;
    }
    Item = Current->GetItem(IndexPath[I]);
  }
  return Item;
}

void TXcBaseDataItems::ContextDestroying(IXcDataContext* Context)
{
  for (int I = 0; I < ExtensionCount(); ++I)
    if (auto* E = dynamic_cast<TXcDataItemsAggregatedObject*>(Extension(I))) E->ContextDestroying(Context);
  for (int I = 0; I < GetCount(); ++I) GetItem(I)->ContextDestroying(Context);
}

TIntf<IXcDataItem> TXcBaseDataItems::FindByID(const String& ID, bool Recursive)
{
  TIntf<IXcDataItem> Found = GetItemByID(ID);
  if (Found || !Recursive) return Found;
  for (int I = GetCount(); I-- > 0;) {
    const TIntf<IXcDataItems> Sub = SubListOf(GetItem(I).Get());
    if (!Sub) continue;
    if (const auto Search = Supports<IXcDataIDSearch>(Sub))
      if ((Found = Search->FindByID(ID, true))) return Found;
  }
  return nullptr;
}

void TXcBaseDataItems::DefineProperties(TXcFiler& Filer)
{
  Filer.DefineProperty(
      "Items", [this](TXcFilerReader& R) { ReadItems(R); }, [this](TXcFilerWriter& W) { WriteItems(W); }, true);
  TExtensibleInterfacedPersistent::DefineProperties(Filer);
}

void TXcBaseDataItems::WriteItems(TXcFilerWriter& Writer)
{
  TXcPropPathGuard Path(Writer);
  Writer.WriteValue(vaCollection);
  for (int I = 0; I < GetCount(); ++I) {
    auto* Item = dynamic_cast<TXcBaseDataItem*>(GetItem(I)->GetImplementer());
    if (!IsStreamableItem(Item)) continue;
    Writer.WriteListBegin();
    Writer.WritePropName("ClassName");
    Writer.WriteString(Item->ClassType()->Name());
    Writer.WriteProperties(*Item);
    Writer.WriteListEnd();
  }
  Writer.WriteListEnd();
}

void TXcBaseDataItems::ReadItems(TXcFilerReader& Reader)
{
  if (Reader.ReadValue() != vaCollection) throw EReadError("Expected collection");
  while (!Reader.EndOfList()) {
    Reader.ReadListBegin();
    if (!SameText(Reader.ReadPropName(), "ClassName")) throw EReadError("Missing ClassName property");
    const TXcClassRef* Cls = XcFindClass(Reader.ReadString());
    if (!Cls->InheritsFrom(TXcBaseDataItem::StaticClass())) throw EReadError("Invalid class type");
    auto* Item = static_cast<TXcBaseDataItem*>(Cls->Create(static_cast<TExtensibleInterfacedPersistent*>(this)));
    try {
      InternalAdd(Item);
    } catch (...) {
      XcFree(Item);
      throw;
    }
    Reader.ReadProperties(*Item);
  }
  Reader.ReadListEnd();
}

// ---- TXcDataItemsList ----

TXcDataItemsList::~TXcDataItemsList()
{
  // Items go before the list they point at.
  while (!FList.empty()) {
    TXcBaseDataItem* Item = FList.back();
    FList.pop_back();
    XcFree(Item);
  }
}

void TXcDataItemsList::CheckIndex(int Index) const
{
  if (Index < 0 || Index >= static_cast<int>(FList.size())) throw EListError("List index out of bounds (%d)", {Index});
}

void TXcDataItemsList::InternalAdd(TXcBaseDataItem* Item) { FList.push_back(Item); }

void TXcDataItemsList::InternalDelete(int Index)
{
  CheckIndex(Index);
  TXcBaseDataItem* Item = FList[static_cast<std::size_t>(Index)];
  FList.erase(FList.begin() + Index);
  XcFree(Item);
}

void TXcDataItemsList::InternalMove(int OldIndex, int NewIndex)
{
  if (OldIndex == NewIndex) return;
  CheckIndex(OldIndex);
  CheckIndex(NewIndex);
  TXcBaseDataItem* Item = FList[static_cast<std::size_t>(OldIndex)];
  FList.erase(FList.begin() + OldIndex);
  FList.insert(FList.begin() + NewIndex, Item);
}

TIntf<IXcDataItem> TXcDataItemsList::GetItem(int Index)
{
  CheckIndex(Index);
  return TIntf<IXcDataItem>(FList[static_cast<std::size_t>(Index)]);
}

int TXcDataItemsList::IndexOfObject(TXcBaseDataItem* Item) const
{
  const auto It = std::find(FList.begin(), FList.end(), Item);
  return It == FList.end() ? -1 : static_cast<int>(It - FList.begin());
}

// ---- extensions of items and lists ----

HRESULT_T TXcDataItemAggregatedObject::QueryInterface(TIID IID, void** Obj)
{
  if (GetOwnInterface(IID, Obj)) return XC_S_OK;
  if (IID == IXcDataContextSensitive::IID) return XC_E_NOINTERFACE;
  return GetController()->QueryInterface(IID, Obj);
}

TIntf<IXcDataProvider> TXcDataItemAggregatedObject::ItemProvider()
{
  const TIntf<IXcDataItems> Items = FItem->GetItems();
  return Items ? Items->GetProvider() : nullptr;
}

TXcBaseDataItemSubItems::TXcBaseDataItemSubItems(TXcBaseDataItem* AOwner, IXcDataItems* AItems)
    : TXcDataItemAggregatedObject(AOwner), FItems(AItems)
{
}

bool TXcBaseDataItemSubItems::GetInterface(TIID IID, void** Obj)
{
  if (GetOwnInterface(IID, Obj)) return true;
  return FItems && FItems->QueryInterface(IID, Obj) == XC_S_OK;
}

void TXcBaseDataItemSubItems::BeforeDestruction()
{
  if (FItems)
    if (auto* List = dynamic_cast<TXcBaseDataItems*>(FItems->GetImplementer())) {
      if (List->FSubItemsExt == this) List->FSubItemsExt = nullptr;
      // The list outlives its parent only through other references; it no longer has one.
      List->FParent = nullptr;
    }
  TXcDataItemAggregatedObject::BeforeDestruction();
  FItems.Reset();
}

bool TXcBaseDataItemsManagement::GetOwnInterface(TIID IID, void** Obj)
{
  return XcAnswer<IXcDataItemsManagement>(this, IID, Obj) || TXcDataItemsAggregatedObject::GetOwnInterface(IID, Obj);
}

TXcDataItemsList* TXcBaseDataItemsListManagement::List() const { return dynamic_cast<TXcDataItemsList*>(ItemsImpl()); }

TIntf<IXcDataItem> TXcBaseDataItemsListManagement::Add(IXcDataItem* Item)
{
  const TIntf<IXcDataProvider> P = ItemsImpl()->GetProvider();
  if (P) P->Changing(pcAddItem, static_cast<IXcDataItems*>(ItemsImpl()));
  List()->InternalAdd(dynamic_cast<TXcBaseDataItem*>(Item->GetImplementer()));
  if (P) P->Changed(pcAddItem, Item);
  return TIntf<IXcDataItem>(Item);
}

void TXcBaseDataItemsListManagement::Clear()
{
  const TIntf<IXcDataProvider> P = ItemsImpl()->GetProvider();
  if (P) P->Changing(pcUpdateItems, static_cast<IXcDataItems*>(ItemsImpl()));
  while (List()->GetCount() > 0) List()->InternalDelete(List()->GetCount() - 1);
  if (P) P->Changed(pcUpdateItems, static_cast<IXcDataItems*>(ItemsImpl()));
}

void TXcBaseDataItemsListManagement::Delete(int Index)
{
  const TIntf<IXcDataProvider> P = ItemsImpl()->GetProvider();
  {
    // The reference must be gone before the list frees the item.
    const TIntf<IXcDataItem> Item = List()->GetItem(Index);
    if (!Item->IsDeletable()) throw EXCLDataItems("Item cannot be deleted");
    if (P) P->Changing(pcDeleteItem, Item.Get());
  }
  List()->InternalDelete(Index);
  if (P) P->Changed(pcDeleteItem, nullptr);
}

void TXcBaseDataItemsListManagement::Remove(TIntf<IXcDataItem>& Item)
{
  if (!Item) return;
  if (!Item->IsDeletable()) throw EXCLDataItems("Item cannot be deleted");
  TIntf<IXcDataItem> Taken = std::move(Item);
  Item = nullptr;
  auto* Impl = dynamic_cast<TXcBaseDataItem*>(Taken->GetImplementer());
  if (Impl == nullptr) return;
  // No reference may remain but the one taken here (an item of a list that owns its items
  // counts nothing).
  const bool Unreferenced = Impl->RefCount() == (ItemsImpl()->IsDynamic() ? 1 : 0);
  if (!Unreferenced) return;
  const TIntf<IXcDataProvider> P = ItemsImpl()->GetProvider();
  Impl->SuspendRefCount();
  if (P) P->Changing(pcDeleteItem, Taken.Get());
  Impl->ResumeRefCount();
  const int Index = List()->IndexOfObject(Impl);
  Taken.Reset();
  if (Index >= 0) List()->InternalDelete(Index);
  if (P) P->Changed(pcDeleteItem, nullptr);
}
