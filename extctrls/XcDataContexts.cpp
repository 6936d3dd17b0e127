#include "extctrls/XcDataContexts.h"

#include "platform/rtl/StrUtils.h"

namespace {

// Splits Path at its first "\" or "/": the segment before it, and whether one was found.
String FirstSegment(const String& Path, String& Rest, bool& HasSeparator)
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

TObject* MakeContext(TObject*) { throw EXCLDataContexts("Cannot create a context without a context list owner"); }

}  // namespace

XC_DEFINE_CLASS_REF(TXcBaseDataContexts, TExtensibleInterfacedPersistent::StaticClass(), nullptr)
XC_DEFINE_CLASS_REF(TXcDataContexts, TXcBaseDataContexts::StaticClass(), [](TObject*) -> TObject* {
  return XcCreate<TXcDataContexts>(nullptr, nullptr);
})
XC_DEFINE_CLASS_REF(TXcBaseDataContext, TExtensibleInterfacedPersistent::StaticClass(), nullptr)
XC_DEFINE_CLASS_REF(TXcDataContext, TXcBaseDataContext::StaticClass(), [](TObject* L) -> TObject* {
  if (L == nullptr) return MakeContext(L);
  return XcCreate<TXcDataContext>(XcArgAs<TXcBaseDataContexts>(L), String());
})
XC_DEFINE_CLASS_REF(TXcManagedDataContext, TXcDataContext::StaticClass(), [](TObject* L) -> TObject* {
  if (L == nullptr) return MakeContext(L);
  return XcCreate<TXcManagedDataContext>(XcArgAs<TXcBaseDataContexts>(L), String());
})
XC_DEFINE_CLASS_REF(TXcFixedDataContext, TXcDataContext::StaticClass(), [](TObject* L) -> TObject* {
  if (L == nullptr) return MakeContext(L);
  return XcCreate<TXcFixedDataContext>(XcArgAs<TXcBaseDataContexts>(L), String());
})

TXcBaseDataContexts::TXcBaseDataContexts(IXcDataProvider* AProvider, IXcDataContext* AAncestor,
                                         const TXcClassRef* AExtensionClass)
    : FProvider(AProvider), FAncestor(AAncestor), FExtensionClass(AExtensionClass)
{
}

void TXcBaseDataContexts::AfterConstruction()
{
  if (FExtensionClass != nullptr) FExtensionClass->Create(this);
  TExtensibleInterfacedPersistent::AfterConstruction();
}

bool TXcBaseDataContexts::GetOwnInterface(TIID IID, void** Obj)
{
  return XcAnswer<IXcDataContexts>(this, IID, Obj) || TExtensibleInterfacedPersistent::GetOwnInterface(IID, Obj);
}

TIntf<IXcDataContext> TXcBaseDataContexts::GetContextByName(const String& Path)
{
  String Rest;
  bool HasSeparator = false;
  const String Segment = FirstSegment(Path, Rest, HasSeparator);
  if (Segment == "..") {
    if (!FAncestor) return nullptr;
    const TIntf<IXcDataContexts> Holder = FAncestor->Contexts();
    return Holder ? Holder->GetContextByName(Rest) : nullptr;
  }
  if (Segment.empty() && HasSeparator && FAncestor) {
    const TIntf<IXcDataContexts> Root = Supports<IXcDataContexts>(static_cast<IInterface*>(FProvider));
    return Root ? Root->GetContextByName(Rest) : nullptr;
  }
  for (int I = GetCount(); I-- > 0;) {
    const TIntf<IXcDataContext> C = GetContext(I);
    if (!C || !SameText(C->Name(), Segment)) continue;
    if (!HasSeparator) return C;
    const TIntf<IXcDataContexts> Own = C->Contexts();
    return Own ? Own->GetContextByName(Rest) : nullptr;
  }
  return nullptr;
}

int TXcBaseDataContexts::IndexOf(IXcDataContext* Context)
{
  for (int I = GetCount(); I-- > 0;)
    if (SameObject(GetContext(I).Get(), Context)) return I;
  return -1;
}

void TXcDataContexts::DoAddContext(IXcDataContext* Context)
{
  const TIntf<IXcDataContext> Existing = GetContextByName(Context->Name());
  if (Existing) {
    if (SameObject(Existing.Get(), Context)) return;
    throw EXCLDataContexts("A context with that name already exists");
  }
  const TIntf<IXcDataProvider> P = Provider();
  const TIntf<IXcDataContext> A = Ancestor();
  if (P) P->Changing(pcContextAdded, A.Get());
  FContexts.emplace_back(Context);
  if (P) P->Changed(pcContextAdded, Context);
}

void TXcDataContexts::DoDeleteContext(int Index)
{
  if (Index < 0 || Index >= GetCount()) return;
  const TIntf<IXcDataContext> C = FContexts[static_cast<std::size_t>(Index)];
  if (!C->IsDeletable()) return;
  const TIntf<IXcDataContexts> Holder = C->Contexts();
  const TIntf<IXcDataContext> Anc = Holder ? Holder->Ancestor() : nullptr;
  const TIntf<IXcDataProvider> P = Provider();
  if (P) P->Changing(pcContextDeleted, C.Get());
  FContexts.erase(FContexts.begin() + Index);
  if (P) P->Changed(pcContextDeleted, Anc.Get());
}

void TXcDataContexts::DoRemoveContext(IXcDataContext* Context)
{
  const int Index = IndexOf(Context);
  if (Index >= 0) DoDeleteContext(Index);
}

TIntf<IXcDataContext> TXcDataContexts::GetContext(int Index)
{
  if (Index < 0 || Index >= GetCount()) throw EListError("List index out of bounds (%d)", {Index});
  return FContexts[static_cast<std::size_t>(Index)];
}

TXcBaseDataContext::TXcBaseDataContext(TXcBaseDataContexts* AContexts, const String& AName)
    : FContexts(AContexts), FInitialName(AName)
{
  if (AContexts == nullptr) throw EXCLDataContexts("Cannot create a context without a context list owner");
}

void TXcBaseDataContext::AfterConstruction()
{
  SetName(FInitialName);
  TExtensibleInterfacedPersistent::AfterConstruction();
}

bool TXcBaseDataContext::GetOwnInterface(TIID IID, void** Obj)
{
  return XcAnswer<IXcDataContext>(this, IID, Obj) || TExtensibleInterfacedPersistent::GetOwnInterface(IID, Obj);
}

TIntf<IXcDataContexts> TXcBaseDataContext::Contexts() { return TIntf<IXcDataContexts>(FContexts); }

void TXcBaseDataContext::SetName(const String& Value)
{
  if (Value == Name()) return;
  const TIntf<IXcDataContext> Other = FContexts->GetContextByName(Value);
  if (Other && !SameObject(Other.Get(), static_cast<IXcDataContext*>(this)))
    throw EXCLDataContexts("A context with that name already exists");
  DoSetName(Value);
}

bool TXcManagedDataContext::GetOwnInterface(TIID IID, void** Obj)
{
  return XcAnswer<IXcDataContextManager>(this, IID, Obj) || TXcDataContext::GetOwnInterface(IID, Obj);
}
