// TXcDataConsumer: the consumer end of the data-provider framework. A control that can show a
// provider's items owns one consumer; the consumer links the control to a provider, selects one
// of the provider's data contexts and keeps consumer extensions (TXcDataConsumerAggregatedObject
// descendants) holding the control's view of the items. Without a provider it is idle: setting
// the provider to nil does nothing at all.
//
// The consumer does not count references (its creator frees it with XcFree); it holds the
// provider and the context with counted references.
#pragma once

#include <functional>
#include <vector>

#include "extctrls/XcDataProviderIntf.h"
#include "extctrls/XcExtensible.h"
#include "extctrls/XcTypes.h"

QV_DECLARE_EXCEPTION(EXCLDataConsumer, EXCLException);
// An interface cast that the object does not support.
QV_DECLARE_EXCEPTION(EIntfCastError, Exception);

class TXcDataConsumer;
class TXcDataConsumerAggregatedObject;

using TXcSubSvcCreatedEvent = std::function<void(TXcDataConsumer* Sender, TXcDataConsumerAggregatedObject* Svc)>;
// The handler may replace the class or set it to nil to suppress the extension.
using TXcBeforeSubSvcEvent = std::function<void(TXcDataConsumer* Sender, const TXcClassRef*& SvcClass)>;
using TXcConsumerChangeEvent = std::function<void(TXcDataConsumer* Sender, TXcConsumerChange Reason)>;
using TXcProviderChangeEvent =
    std::function<void(IXcDataProvider* Provider, TXcProviderChange Reason, IInterface* Source)>;

// Calls Enter on construction and Leave on destruction, as try/finally would.
class TXcConsumerAccess {
public:
  explicit TXcConsumerAccess(TXcDataConsumer* AConsumer);
  ~TXcConsumerAccess() noexcept(false);
  TXcConsumerAccess(const TXcConsumerAccess&) = delete;
  TXcConsumerAccess& operator=(const TXcConsumerAccess&) = delete;

private:
  TXcDataConsumer* FConsumer;
  int FExceptions;
};

class TXcDataConsumer : public TExtensibleInterfacedPersistent,
                        public IXcDataConsumerClientNotify,
                        public IXcDataConsumerProvider,
                        public IXcDataProviderNotify,
                        public IXcDataConsumer {
  XC_CLASS_REF(TXcDataConsumer)

public:
  // Attribute 3 means the control displays a list (the consumer then keeps a view list while a
  // provider is set); the others are kept for the provider to ask.
  TXcDataConsumer(TComponent* AOwner, const std::vector<int>& Attributes);
  void BeforeDestruction() override;
  ~TXcDataConsumer() override;

  // Counting is off: the owner frees the consumer.
  int _AddRef() override { return -1; }
  int _Release() override { return -1; }

  // IXcDataConsumer
  TComponent* VCLComponent() override { return FOwner; }
  bool AttributeApplies(int Attr) override;
  // IXcDataConsumerProvider
  TIntf<IXcDataProvider> ProviderIntf() override { return FProvider; }
  // IXcDataProviderNotify
  void DataProviderChanging(IXcDataProvider* Provider, TXcProviderChange Reason, IInterface* Source) override;
  void DataProviderChanged(IXcDataProvider* Provider, TXcProviderChange Reason, IInterface* Source) override;
  TIntf<IXcDataConsumer> Consumer() override { return TIntf<IXcDataConsumer>(this); }
  // IXcDataConsumerClientNotify
  void ServerItemChanged(IXcDataConsumerServerNotify* Server, IXcDataItem* Item) override;
  void LinkAdded(IXcDataConsumerServerNotify* Server) override;
  void LinkRemoved(IXcDataConsumerServerNotify* Server) override;

  virtual void Changing(TXcConsumerChange Reason);
  // Invalidates the owning control, then OnChanged.
  virtual void Changed(TXcConsumerChange Reason);
  virtual void SubSvcCreated(TXcDataConsumerAggregatedObject* Svc);
  virtual void UpdateExtensions();
  virtual TIntf<IXcDataContext> ContextIntf() { return FContext; }
  virtual void SetContextIntf(IXcDataContext* Value);
  virtual void Loaded();
  // Every extension except Origin hears of a change of the view; then Changed(ccView).
  void ViewChanged(TXcDataConsumerAggregatedObject* Origin);

  void SetProvider(IXcDataProvider* Value);
  TIntf<IXcDataProvider> GetProvider() const { return FProvider; }
  String GetContext();
  void SetContext(const String& Name);
  bool IsContextStored();
  // Bracket every access to the provider's items (both do nothing without a provider).
  void Enter();
  void Leave();

  TComponent* GetOwnerComponent() const { return FOwner; }
  bool NeedsFixups() const { return FNeedFixups; }
  void SetNeedFixups(bool Value) { FNeedFixups = Value; }
  // True while notifications to linked servers are held back (see the .cpp).
  bool IsLoading();
  int ServerCount() const { return static_cast<int>(FServers.size()); }
  TXcDataConsumerAggregatedObject* ConsumerExtension(int Index) const;

  void DefineProperties(TXcFiler& Filer) override;

  TXcSubSvcCreatedEvent AfterCreateSubSvc;
  TXcBeforeSubSvcEvent BeforeCreateSubSvc;
  TXcConsumerChangeEvent OnChanging;
  TXcConsumerChangeEvent OnChanged;
  TXcProviderChangeEvent OnProviderChanging;
  TXcProviderChangeEvent OnProviderChanged;

protected:
  bool GetOwnInterface(TIID IID, void** Obj) override;
  virtual void ProviderChanging();
  virtual void ProviderChanged();
  virtual void ContextChanging();
  virtual void ContextChanged();

private:
  bool OwnerLoading() const;
  bool FixupsPending() const { return FNeedFixups || !FFixupContext.empty(); }
  void RunFixups();
  void KeepOrDropExtensions(bool ForProvider);
  std::vector<TXcDataConsumerAggregatedObject*> ExtensionsSnapshot() const;

  TComponent* FOwner;
  std::vector<int> FAttributes;
  TIntf<IXcDataProvider> FProvider;
  TIntf<IXcDataContext> FContext;
  bool FNeedFixups = false;
  String FFixupContext;
  std::vector<TIntf<IXcDataConsumerServerNotify>> FServers;
};

// The base of the consumer's extensions: it hears of provider, context and view changes.
class TXcDataConsumerAggregatedObject : public TAggregatedPersistentEx {
  XC_CLASS_REF(TXcDataConsumerAggregatedObject)

public:
  explicit TXcDataConsumerAggregatedObject(TXcDataConsumer* AOwner);

  virtual void DataProviderChanging(IXcDataProvider*, TXcProviderChange, IInterface*) {}
  virtual void DataProviderChanged(IXcDataProvider*, TXcProviderChange, IInterface*) {}
  virtual void Fixup() {}
  virtual bool KeepOnProviderChange() { return false; }
  virtual bool KeepOnContextChange() { return true; }
  virtual void ViewChanged(TXcDataConsumerAggregatedObject*) {}
  virtual void ItemSelected(IXcDataItem*) {}
  virtual void ServerItemChanged(IXcDataConsumerServerNotify*, IXcDataItem*) {}
  virtual void ProviderChanging() {}
  virtual void ProviderChanged() {}
  virtual void ContextChanging() {}
  virtual void ContextChanged() {}

  // Marks the extension as streamed in without a provider when there is none, then the
  // consumer's Changed.
  void Changed(TXcConsumerChange Reason);
  void NotifyViewChanged();
  void NotifyFixups();
  TIntf<IXcDataConsumer> Consumer();
  TXcDataConsumer* ConsumerImpl() const { return FConsumer; }
  // The items a view starts from: the selected item's sub-items when the consumer selects an
  // item, else the provider's root list.
  TIntf<IXcDataItems> RootItems();
  bool StreamedWithoutProvider() const { return FStreamedWithoutProvider; }

private:
  TXcDataConsumer* FConsumer;
  bool FStreamedWithoutProvider = false;
};

// The consumer's selected item (its ID streams as "Item").
class TXcDataConsumerItemSelect : public TXcDataConsumerAggregatedObject, public IXcDataConsumerItemSelect {
  XC_CLASS_REF(TXcDataConsumerItemSelect)

public:
  using TXcDataConsumerAggregatedObject::TXcDataConsumerAggregatedObject;

  TIntf<IXcDataItem> GetItem() override { return FItem; }
  void SetItem(IXcDataItem* Item) override;
  String GetItemID();
  void SetItemID(const String& Value);

  void Fixup() override;
  void DataProviderChanging(IXcDataProvider* Provider, TXcProviderChange Reason, IInterface* Source) override;
  void DefineProperties(TXcFiler& Filer) override;

protected:
  bool GetOwnInterface(TIID IID, void** Obj) override;

private:
  String FPendingID;
  TIntf<IXcDataItem> FItem;
};
