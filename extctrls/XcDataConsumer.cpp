#include "extctrls/XcDataConsumer.h"

#include <algorithm>

#include "extctrls/XcConsumerViewList.h"
#include "extctrls/XcDataContexts.h"
#include "platform/vcl/Controls.h"

XC_DEFINE_CLASS_REF(TXcDataConsumer, TExtensibleInterfacedPersistent::StaticClass(), nullptr)
XC_DEFINE_CLASS_REF(TXcDataConsumerAggregatedObject, TAggregatedPersistentEx::StaticClass(), nullptr)
XC_DEFINE_CLASS_REF(TXcDataConsumerItemSelect, TXcDataConsumerAggregatedObject::StaticClass(),
                    [](TObject* Owner) -> TObject* {
                      return XcCreate<TXcDataConsumerItemSelect>(XcArgAs<TXcDataConsumer>(Owner));
                    })

TXcConsumerAccess::TXcConsumerAccess(TXcDataConsumer* AConsumer)
    : FConsumer(AConsumer), FExceptions(std::uncaught_exceptions())
{
  FConsumer->Enter();
}

TXcConsumerAccess::~TXcConsumerAccess() noexcept(false)
{
  if (std::uncaught_exceptions() > FExceptions) {
    try {
      FConsumer->Leave();
    } catch (...) {
    }
    return;
  }
  FConsumer->Leave();
}

TXcDataConsumer::TXcDataConsumer(TComponent* AOwner, const std::vector<int>& Attributes) : FOwner(AOwner)
{
  for (int A : Attributes)
    if (std::find(FAttributes.begin(), FAttributes.end(), A) == FAttributes.end()) FAttributes.push_back(A);
}

void TXcDataConsumer::BeforeDestruction()
{
  OnChanged = nullptr;
  OnProviderChanging = nullptr;
  OnProviderChanged = nullptr;
  AfterCreateSubSvc = nullptr;
  BeforeCreateSubSvc = nullptr;
  SetProvider(nullptr);
  FServers.clear();
  TExtensibleInterfacedPersistent::BeforeDestruction();
}

TXcDataConsumer::~TXcDataConsumer() = default;

bool TXcDataConsumer::GetOwnInterface(TIID IID, void** Obj)
{
  return XcAnswer<IXcDataConsumerClientNotify>(this, IID, Obj) || XcAnswer<IXcDataConsumerProvider>(this, IID, Obj) ||
         XcAnswer<IXcDataProviderNotify>(this, IID, Obj) || XcAnswer<IXcDataConsumer>(this, IID, Obj) ||
         TExtensibleInterfacedPersistent::GetOwnInterface(IID, Obj);
}

bool TXcDataConsumer::AttributeApplies(int Attr)
{
  return std::find(FAttributes.begin(), FAttributes.end(), Attr) != FAttributes.end();
}

TXcDataConsumerAggregatedObject* TXcDataConsumer::ConsumerExtension(int Index) const
{
  return dynamic_cast<TXcDataConsumerAggregatedObject*>(Extension(Index));
}

std::vector<TXcDataConsumerAggregatedObject*> TXcDataConsumer::ExtensionsSnapshot() const
{
  std::vector<TXcDataConsumerAggregatedObject*> R;
  for (int I = 0; I < ExtensionCount(); ++I)
    if (auto* E = ConsumerExtension(I)) R.push_back(E);
  return R;
}

bool TXcDataConsumer::OwnerLoading() const
{
  return FOwner != nullptr && (FOwner->GetComponentState() & csLoading) != 0;
}

bool TXcDataConsumer::IsLoading()
{
  if (FixupsPending() && !OwnerLoading()) return true;
  for (auto* E : ExtensionsSnapshot())
    if (E->StreamedWithoutProvider()) return true;
  return false;
}

void TXcDataConsumer::Changing(TXcConsumerChange Reason)
{
  if (OnChanging) OnChanging(this, Reason);
}

void TXcDataConsumer::Changed(TXcConsumerChange Reason)
{
  if (auto* Control = dynamic_cast<TControl*>(FOwner)) Control->Invalidate();
  if (OnChanged) OnChanged(this, Reason);
}

void TXcDataConsumer::SubSvcCreated(TXcDataConsumerAggregatedObject* Svc)
{
  if (AfterCreateSubSvc) AfterCreateSubSvc(this, Svc);
  if (auto* View = dynamic_cast<TXcCustomDataConsumerViewList*>(Svc)) View->RebuildView();
}

void TXcDataConsumer::RunFixups()
{
  for (auto* E : ExtensionsSnapshot()) E->Fixup();
  FNeedFixups = false;
}

void TXcDataConsumer::SetProvider(IXcDataProvider* Value)
{
  if (Value == FProvider.Get()) return;
  Changing(ccProviderSet);
  if (FProvider) FProvider->UnregisterChangeNotify(this);
  ProviderChanging();
  FProvider = Value;
  if (FProvider) FProvider->RegisterChangeNotify(this);
  if (!FFixupContext.empty() && !OwnerLoading()) {
    const String Name = FFixupContext;
    FFixupContext.clear();
    SetContext(Name);
  } else {
    const TIntf<IXcDataContexts> Contexts = Supports<IXcDataContexts>(FProvider);
    if (Contexts && Contexts->GetCount() > 0)
      SetContextIntf(Contexts->GetContext(0).Get());
    else
      SetContextIntf(nullptr);
  }
  ProviderChanged();
  if (!IsLoading())
    for (const auto& Server : std::vector<TIntf<IXcDataConsumerServerNotify>>(FServers)) Server->NotifyProviderChanged(this);
  bool Streamed = false;
  for (auto* E : ExtensionsSnapshot())
    if (E->StreamedWithoutProvider()) Streamed = true;
  if ((FNeedFixups && !OwnerLoading()) || Streamed) RunFixups();
  ViewChanged(nullptr);
  Changed(ccProviderSet);
}

void TXcDataConsumer::ProviderChanging()
{
  if (FixupsPending()) return;
  for (auto* E : ExtensionsSnapshot()) E->ProviderChanging();
}

void TXcDataConsumer::ContextChanging()
{
  if (FixupsPending()) return;
  for (auto* E : ExtensionsSnapshot()) E->ContextChanging();
}

void TXcDataConsumer::KeepOrDropExtensions(bool ForProvider)
{
  int I = 0;
  while (I < ExtensionCount()) {
    auto* E = ConsumerExtension(I);
    if (E == nullptr) {
      ++I;
      continue;
    }
    const bool Keep = E->StreamedWithoutProvider() || (ForProvider ? E->KeepOnProviderChange() : E->KeepOnContextChange());
    if (Keep) {
      if (ForProvider)
        E->ProviderChanged();
      else
        E->ContextChanged();
      ++I;
    } else {
      RemoveIntfImpl(E);
    }
  }
}

void TXcDataConsumer::ProviderChanged()
{
  if (!FixupsPending()) KeepOrDropExtensions(true);
  UpdateExtensions();
}

void TXcDataConsumer::ContextChanged()
{
  if (!FixupsPending()) KeepOrDropExtensions(false);
  UpdateExtensions();
}

void TXcDataConsumer::UpdateExtensions()
{
  if (!FProvider) {
    ClearIntfImpl();
    return;
  }
  TClassArray Classes;
  {
    TXcConsumerAccess Access(this);
    Classes = FProvider->ConsumerClasses();
  }
  for (const TXcClassRef* Cls : Classes) {
    if (Cls == nullptr || IndexOfImplClass(Cls) >= 0) continue;
    const TXcClassRef* SvcClass = Cls;
    if (BeforeCreateSubSvc) BeforeCreateSubSvc(this, SvcClass);
    if (SvcClass == nullptr) continue;
    auto* Svc = dynamic_cast<TXcDataConsumerAggregatedObject*>(SvcClass->Create(this));
    if (AfterCreateSubSvc && Svc) AfterCreateSubSvc(this, Svc);
  }
  if (AttributeApplies(3) && IndexOfImplClass(TXcDataConsumerViewList::StaticClass()) < 0) {
    const TXcClassRef* SvcClass = TXcDataConsumerViewList::StaticClass();
    if (BeforeCreateSubSvc) BeforeCreateSubSvc(this, SvcClass);
    if (SvcClass != nullptr)
      if (auto* Svc = dynamic_cast<TXcDataConsumerAggregatedObject*>(SvcClass->Create(this))) SubSvcCreated(Svc);
  }
}

String TXcDataConsumer::GetContext() { return FContext ? FContext->Name() : String(); }

void TXcDataConsumer::SetContext(const String& Name)
{
  if (Name == GetContext()) return;
  if (!FProvider) {
    if (!OwnerLoading()) throw EXCLDataConsumer("You must specify a provider before setting the context");
    FFixupContext = Name;
    return;
  }
  if (Name.empty()) {
    SetContextIntf(nullptr);
    return;
  }
  const TIntf<IXcDataContexts> Contexts = Supports<IXcDataContexts>(FProvider);
  if (!Contexts) throw EXCLDataConsumer("Provider does not support contexts");
  const TIntf<IXcDataContext> Found = Contexts->GetContextByName(Name);
  if (!Found) throw EXCLDataConsumer("Provider has no context named \"%s\"", {Name});
  SetContextIntf(Found.Get());
}

void TXcDataConsumer::SetContextIntf(IXcDataContext* Value)
{
  if (Value == FContext.Get()) return;
  if (Value != nullptr) {
    const TIntf<IXcDataContexts> Owner = Value->Contexts();
    const TIntf<IXcDataProvider> Of = Owner ? Owner->Provider() : nullptr;
    if (!SameObject(Of, FProvider)) throw EXCLDataConsumer("The specified context is not part of the same provider");
  }
  Changing(ccContext);
  ContextChanging();
  FContext = Value;
  ContextChanged();
  Changed(ccContext);
}

bool TXcDataConsumer::IsContextStored()
{
  if (!FProvider) return false;
  const TIntf<IXcDataContexts> Contexts = Supports<IXcDataContexts>(FProvider);
  if (!Contexts || Contexts->GetCount() == 0) return false;
  return !SameObject(FContext, Contexts->GetContext(0));
}

void TXcDataConsumer::Enter()
{
  if (!FProvider) return;
  FProvider->SelectConsumer(this);
  try {
    FProvider->SelectContext(FContext.Get());
  } catch (...) {
    FProvider->ReleaseConsumer();
    throw;
  }
}

void TXcDataConsumer::Leave()
{
  if (!FProvider) return;
  const TIntf<IXcDataConsumer> Before = FProvider->SelectedConsumer();
  FProvider->ReleaseConsumer();
  try {
    FProvider->ReleaseContext();
  } catch (...) {
    FProvider->SelectConsumer(Before.Get());
    throw;
  }
}

void TXcDataConsumer::ViewChanged(TXcDataConsumerAggregatedObject* Origin)
{
  struct TChangedAtEnd {
    TXcDataConsumer* Self;
    int Exceptions = std::uncaught_exceptions();
    ~TChangedAtEnd() noexcept(false)
    {
      if (std::uncaught_exceptions() > Exceptions) {
        try {
          Self->Changed(ccView);
        } catch (...) {
        }
      } else {
        Self->Changed(ccView);
      }
    }
  } AtEnd{this};
  for (auto* E : ExtensionsSnapshot())
    if (E != Origin) E->ViewChanged(Origin);
}

void TXcDataConsumer::DataProviderChanging(IXcDataProvider* Provider, TXcProviderChange Reason, IInterface* Source)
{
  if (OnProviderChanging) OnProviderChanging(Provider, Reason, Source);
  for (auto* E : ExtensionsSnapshot()) E->DataProviderChanging(Provider, Reason, Source);
  if (Reason == pcDestroy) SetProvider(nullptr);
}

void TXcDataConsumer::DataProviderChanged(IXcDataProvider* Provider, TXcProviderChange Reason, IInterface* Source)
{
  if (OnProviderChanged) OnProviderChanged(Provider, Reason, Source);
  for (auto* E : ExtensionsSnapshot()) E->DataProviderChanged(Provider, Reason, Source);
  if (Reason == pcViewRefresh)
    ViewChanged(nullptr);
  else
    Changed(ccProviderData);
}

void TXcDataConsumer::ServerItemChanged(IXcDataConsumerServerNotify* Server, IXcDataItem* Item)
{
  for (auto* E : ExtensionsSnapshot()) E->ServerItemChanged(Server, Item);
}

void TXcDataConsumer::LinkAdded(IXcDataConsumerServerNotify* Server) { FServers.emplace_back(Server); }

void TXcDataConsumer::LinkRemoved(IXcDataConsumerServerNotify* Server)
{
  const auto It = std::find_if(FServers.begin(), FServers.end(), [Server](const auto& S) { return S.Get() == Server; });
  if (It != FServers.end()) FServers.erase(It);
}

void TXcDataConsumer::Loaded()
{
  if (!FFixupContext.empty()) {
    const String Name = FFixupContext;
    FFixupContext.clear();
    SetContext(Name);
  }
  if (FNeedFixups) RunFixups();
}

void TXcDataConsumer::DefineProperties(TXcFiler& Filer)
{
  Filer.DefineProperty(
      "Context", [this](TXcFilerReader& R) { SetContext(R.ReadString()); }, [this](TXcFilerWriter& W) { W.WriteString(GetContext()); },
      IsContextStored());
  TExtensibleInterfacedPersistent::DefineProperties(Filer);
}

TXcDataConsumerAggregatedObject::TXcDataConsumerAggregatedObject(TXcDataConsumer* AOwner)
    : TAggregatedPersistentEx(AOwner), FConsumer(AOwner)
{
}

void TXcDataConsumerAggregatedObject::Changed(TXcConsumerChange Reason)
{
  FStreamedWithoutProvider = !FConsumer->GetProvider();
  FConsumer->Changed(Reason);
}

void TXcDataConsumerAggregatedObject::NotifyViewChanged() { FConsumer->ViewChanged(this); }

void TXcDataConsumerAggregatedObject::NotifyFixups()
{
  FConsumer->SetNeedFixups(true);
  FStreamedWithoutProvider = true;
}

TIntf<IXcDataConsumer> TXcDataConsumerAggregatedObject::Consumer() { return TIntf<IXcDataConsumer>(FConsumer); }

TIntf<IXcDataItems> TXcDataConsumerAggregatedObject::RootItems()
{
  if (const auto Select = Supports<IXcDataConsumerItemSelect>(static_cast<IXcDataConsumer*>(FConsumer)))
    if (const TIntf<IXcDataItem> Item = Select->GetItem()) return Supports<IXcDataItems>(Item);
  const TIntf<IXcDataProvider> Provider = FConsumer->GetProvider();
  return Provider ? Supports<IXcDataItems>(Provider) : nullptr;
}

bool TXcDataConsumerItemSelect::GetOwnInterface(TIID IID, void** Obj)
{
  return XcAnswer<IXcDataConsumerItemSelect>(this, IID, Obj) || TXcDataConsumerAggregatedObject::GetOwnInterface(IID, Obj);
}

void TXcDataConsumerItemSelect::SetItem(IXcDataItem* Item)
{
  if (Item == FItem.Get()) return;
  FItem = Item;
  NotifyViewChanged();
}

String TXcDataConsumerItemSelect::GetItemID() { return FItem ? FItem->GetID() : String(); }

void TXcDataConsumerItemSelect::SetItemID(const String& Value)
{
  if (Value == GetItemID()) return;
  if (Value.empty()) {
    SetItem(nullptr);
    return;
  }
  TXcDataConsumer* C = ConsumerImpl();
  const TIntf<IXcDataProvider> Provider = C->GetProvider();
  if (!Provider) {
    TComponent* Owner = C->GetOwnerComponent();
    if (Owner != nullptr && (Owner->GetComponentState() & csLoading) != 0) {
      FPendingID = Value;
      NotifyFixups();
      return;
    }
    throw EXCLDataConsumer("You must specify a provider before setting the item");
  }
  TIntf<IXcDataItem> Found;
  {
    TXcConsumerAccess Access(C);
    const auto Search = Supports<IXcDataIDSearch>(Provider);
    if (!Search) throw EIntfCastError("Interface not supported");
    Found = Search->FindByID(Value, true);
  }
  if (!Found) throw EXCLDataConsumer("Item not found in the selected context");
  SetItem(Found.Get());
}

void TXcDataConsumerItemSelect::Fixup()
{
  const String ID = FPendingID;
  FPendingID.clear();
  if (!ID.empty()) SetItemID(ID);
}

void TXcDataConsumerItemSelect::DataProviderChanging(IXcDataProvider*, TXcProviderChange Reason, IInterface* Source)
{
  if (Reason != pcDeleteItem || Source == nullptr || !FItem) return;
  TXcConsumerAccess Access(ConsumerImpl());
  const auto Deleted = Supports<IXcDataItem>(Source);
  if (!Deleted) return;
  if (SameObject(Deleted, FItem) || Deleted->IsParentOf(FItem.Get(), false)) FItem.Reset();
}

void TXcDataConsumerItemSelect::DefineProperties(TXcFiler& Filer)
{
  Filer.DefineProperty(
      "Item", [this](TXcFilerReader& R) { SetItemID(R.ReadString()); }, [this](TXcFilerWriter& W) { W.WriteString(GetItemID()); },
      !GetItemID().empty());
}
