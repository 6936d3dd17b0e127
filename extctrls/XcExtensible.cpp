#include "extctrls/XcExtensible.h"

#include <algorithm>

#include "extctrls/XcTypes.h"
#include "platform/rtl/StrUtils.h"

XC_DEFINE_CLASS_REF(TExtensibleInterfacedPersistent, nullptr, nullptr)
XC_DEFINE_CLASS_REF(TAggregatedPersistent, nullptr, nullptr)
XC_DEFINE_CLASS_REF(TAggregatedPersistentEx, TAggregatedPersistent::StaticClass(), nullptr)

bool SameObject(IInterface* A, IInterface* B)
{
  if (A == B) return true;
  if (A == nullptr || B == nullptr) return false;
  const TIntf<IInterface> IA = Supports<IInterface>(A);
  const TIntf<IInterface> IB = Supports<IInterface>(B);
  return IA.Get() == IB.Get();
}

TExtensibleInterfacedPersistent::~TExtensibleInterfacedPersistent() { ClearIntfImpl(); }

void TExtensibleInterfacedPersistent::AfterConstruction()
{
  InitImplementers();
  --FRefCount;
}

int TExtensibleInterfacedPersistent::_AddRef() { return __atomic_add_fetch(&FRefCount, 1, __ATOMIC_SEQ_CST); }

int TExtensibleInterfacedPersistent::_Release()
{
  const int Result = __atomic_sub_fetch(&FRefCount, 1, __ATOMIC_SEQ_CST);
  if (Result == 0) {
    BeforeDestruction();
    delete this;
  }
  return Result;
}

HRESULT_T TExtensibleInterfacedPersistent::QueryInterface(TIID IID, void** Obj)
{
  return GetInterface(IID, Obj) ? XC_S_OK : XC_E_NOINTERFACE;
}

bool TExtensibleInterfacedPersistent::GetOwnInterface(TIID IID, void** Obj) { return XcAnswer<IInterface>(this, IID, Obj); }

bool TExtensibleInterfacedPersistent::GetInterface(TIID IID, void** Obj)
{
  if (GetOwnInterface(IID, Obj)) return true;
  for (auto I = FImplementers.size(); I-- > 0;) {
    TAggregatedPersistentEx* Ext = FImplementers[I];
    if (Ext == nullptr || Ext->IsHidden()) continue;
    if (Ext->GetInterface(IID, Obj)) return true;
  }
  return false;
}

bool TExtensibleInterfacedPersistent::IsStreamableExtension(TAggregatedPersistentEx* Ext)
{
  return Ext != nullptr && XcGetClass(Ext->ClassType()->Name()) != nullptr;
}

void TExtensibleInterfacedPersistent::AddIntfImpl(TAggregatedPersistentEx* Ext)
{
  if (IndexOfImplClass(Ext->ClassType()) >= 0) throw EXCLException("Implementation of that class already exists");
  FImplementers.push_back(Ext);
}

void TExtensibleInterfacedPersistent::DetachIntfImpl(TAggregatedPersistentEx* Ext)
{
  const auto It = std::find(FImplementers.begin(), FImplementers.end(), Ext);
  if (It != FImplementers.end()) FImplementers.erase(It);
}

void TExtensibleInterfacedPersistent::RemoveIntfImpl(TAggregatedPersistentEx* Ext)
{
  const auto It = std::find(FImplementers.begin(), FImplementers.end(), Ext);
  if (It == FImplementers.end()) return;
  *It = nullptr;
  XcFree(Ext);
  FImplementers.erase(std::find(FImplementers.begin(), FImplementers.end(), nullptr));
}

int TExtensibleInterfacedPersistent::IndexOfImplClass(const TXcClassRef* AClass) const
{
  for (auto I = FImplementers.size(); I-- > 0;)
    if (FImplementers[I] != nullptr && FImplementers[I]->ClassType()->InheritsFrom(AClass)) return static_cast<int>(I);
  return -1;
}

void TExtensibleInterfacedPersistent::ClearIntfImpl()
{
  while (!FImplementers.empty()) {
    TAggregatedPersistentEx* Ext = FImplementers.back();
    FImplementers.back() = nullptr;
    XcFree(Ext);
    // Freeing an extension may have freed others of the list (it owned them); drop the empty
    // entries at the end.
    while (!FImplementers.empty() && FImplementers.back() == nullptr) FImplementers.pop_back();
  }
}

void TExtensibleInterfacedPersistent::SuspendRefCount() { __atomic_add_fetch(&FRefCount, 1, __ATOMIC_SEQ_CST); }
void TExtensibleInterfacedPersistent::ResumeRefCount() { __atomic_sub_fetch(&FRefCount, 1, __ATOMIC_SEQ_CST); }

void TExtensibleInterfacedPersistent::DefineProperties(TXcFiler& Filer)
{
  bool HasData = false;
  for (TAggregatedPersistentEx* Ext : FImplementers)
    if (IsStreamableExtension(Ext)) HasData = true;
  Filer.DefineProperty(
      "Extensions", [this](TXcFilerReader& R) { ReadExtensions(R); }, [this](TXcFilerWriter& W) { WriteExtensions(W); }, HasData);
}

void TExtensibleInterfacedPersistent::WriteExtensions(TXcFilerWriter& Writer)
{
  TXcPropPathGuard Path(Writer);
  Writer.WriteValue(vaCollection);
  for (TAggregatedPersistentEx* Ext : std::vector<TAggregatedPersistentEx*>(FImplementers)) {
    if (!IsStreamableExtension(Ext)) continue;
    Writer.WriteListBegin();
    Writer.WritePropName("ClassName");
    Writer.WriteString(Ext->ClassType()->Name());
    Writer.WriteProperties(*Ext);
    Writer.WriteListEnd();
  }
  Writer.WriteListEnd();
}

void TExtensibleInterfacedPersistent::ReadExtensions(TXcFilerReader& Reader)
{
  SuspendRefCount();
  struct TResume {
    TExtensibleInterfacedPersistent* Self;
    ~TResume() { Self->ResumeRefCount(); }
  } Resume{this};
  if (Reader.ReadValue() != vaCollection) throw EReadError("Expected collection");
  while (!Reader.EndOfList()) {
    Reader.ReadListBegin();
    if (!SameText(Reader.ReadPropName(), "ClassName")) throw EReadError("Missing ClassName property");
    const TXcClassRef* Cls = XcFindClass(Reader.ReadString());
    if (!Cls->InheritsFrom(TAggregatedPersistentEx::StaticClass())) throw EReadError("Invalid class type");
    const int Index = IndexOfImplClass(Cls);
    TAggregatedPersistentEx* Ext =
        Index >= 0 ? FImplementers[static_cast<std::size_t>(Index)] : static_cast<TAggregatedPersistentEx*>(Cls->Create(this));
    Reader.ReadProperties(*Ext);
  }
  Reader.ReadListEnd();
}

TAggregatedPersistentEx::TAggregatedPersistentEx(TExtensibleInterfacedPersistent* AOwner)
    : TAggregatedPersistent(static_cast<IInterface*>(AOwner)), FOwner(AOwner)
{
}

void TAggregatedPersistentEx::AfterConstruction()
{
  TAggregatedPersistent::AfterConstruction();
  FOwner->AddIntfImpl(this);
}

void TAggregatedPersistentEx::BeforeDestruction()
{
  FOwner->DetachIntfImpl(this);
  TAggregatedPersistent::BeforeDestruction();
}

void XcFree(TExtensibleInterfacedPersistent* Obj)
{
  if (Obj == nullptr) return;
  if (Obj->RefCount() != 0) throw EInvalidPointer("Invalid pointer operation");
  Obj->BeforeDestruction();
  delete Obj;
}

void XcFree(TAggregatedPersistent* Obj)
{
  if (Obj == nullptr) return;
  Obj->BeforeDestruction();
  delete Obj;
}
