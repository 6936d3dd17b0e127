// A data provider for the tests: a root item list (with list management and a text renderer
// available), a root context list, a log of the calls it receives, and helpers to build item
// trees from a compact description.
#pragma once

#include <string>
#include <vector>

#include "extctrls/XcConsumerViewList.h"
#include "extctrls/XcDataContexts.h"
#include "extctrls/XcDataItemExtensions.h"

class TTestDataProvider : public TExtensibleInterfacedPersistent, public IXcDataProvider {
public:
  TTestDataProvider() = default;
  void AfterConstruction() override
  {
    FRoot = XcCreate<TXcDataItemsList>(static_cast<IXcDataProvider*>(this));
    FContexts = XcCreate<TXcDataContexts>(static_cast<IXcDataProvider*>(this), nullptr);
    TExtensibleInterfacedPersistent::AfterConstruction();
  }
  ~TTestDataProvider() override
  {
    FRoot.Reset();
    FContexts.Reset();
  }

  void RegisterChangeNotify(IXcDataProviderNotify* Notify) override
  {
    Log.push_back("Register");
    Notifies.push_back(Notify);
  }
  void UnregisterChangeNotify(IXcDataProviderNotify* Notify) override
  {
    Log.push_back("Unregister");
    std::erase(Notifies, Notify);
  }
  TIntf<IXcDataItems> GetItems() override { return FRoot; }
  void Changing(TXcProviderChange Reason, IInterface* Source) override
  {
    Log.push_back("Changing " + std::to_string(Reason));
    for (auto* N : std::vector<IXcDataProviderNotify*>(Notifies)) N->DataProviderChanging(this, Reason, Source);
  }
  void Changed(TXcProviderChange Reason, IInterface* Source) override
  {
    Log.push_back("Changed " + std::to_string(Reason));
    for (auto* N : std::vector<IXcDataProviderNotify*>(Notifies)) N->DataProviderChanged(this, Reason, Source);
  }
  TClassArray ConsumerClasses() override { return Classes; }
  void SelectConsumer(IXcDataConsumer* Consumer) override
  {
    Selected = Consumer;
    ++SelectCount;
  }
  TIntf<IXcDataConsumer> SelectedConsumer() override { return Selected; }
  void ReleaseConsumer() override { Selected = nullptr; }
  void SelectContext(IXcDataContext* Context) override { Context_.push_back(Context); }
  TIntf<IXcDataContext> SelectedContext() override
  {
    return Context_.empty() ? ActiveContext : TIntf<IXcDataContext>(Context_.back());
  }
  void ReleaseContext() override
  {
    if (!Context_.empty()) Context_.pop_back();
  }

  TXcDataItemsList* Root() const { return static_cast<TXcDataItemsList*>(FRoot.Get()); }
  TXcDataContexts* Contexts() const { return static_cast<TXcDataContexts*>(FContexts.Get()); }

  std::vector<std::string> Log;
  std::vector<IXcDataProviderNotify*> Notifies;
  TClassArray Classes;
  IXcDataConsumer* Selected = nullptr;
  int SelectCount = 0;
  // The context the provider reports outside Enter/Leave.
  TIntf<IXcDataContext> ActiveContext;

protected:
  bool GetOwnInterface(TIID IID, void** Obj) override
  {
    if (XcAnswer<IXcDataProvider>(this, IID, Obj)) return true;
    if (IID == IXcDataItems::IID || IID == IXcDataIDSearch::IID) return FRoot->QueryInterface(IID, Obj) == XC_S_OK;
    if (IID == IXcDataContexts::IID) return FContexts->QueryInterface(IID, Obj) == XC_S_OK;
    return TExtensibleInterfacedPersistent::GetOwnInterface(IID, Obj);
  }

private:
  TIntf<IXcDataItems> FRoot;
  TIntf<IXcDataContexts> FContexts;
  std::vector<IXcDataContext*> Context_;
};

inline TIntf<TTestDataProvider> NewTestProvider() { return TIntf<TTestDataProvider>(XcCreate<TTestDataProvider>()); }

// Adds an item with ID and text to List and answers it.
inline TXcBaseDataItem* AddTestItem(TXcBaseDataItems* List, const String& ID, const String& Text = "")
{
  auto* Item = XcCreate<TXcBaseDataItem>(static_cast<IXcDataItems*>(List));
  Item->SetID(ID);
  XcCreate<TXcDataItemTextImpl>(Item)->SetText(Text.empty() ? ID : Text);
  List->InternalAdd(Item);
  return Item;
}

// The sub-item list of Item, made on first use.
inline TXcDataItemsList* SubListFor(TXcBaseDataItem* Item)
{
  if (TXcBaseDataItemSubItems* Ext = Item->SubItemsExtension())
    return static_cast<TXcDataItemsList*>(Ext->SubItems()->GetImplementer());
  return XcCreate<TXcDataItemsList>(nullptr, static_cast<IXcDataItem*>(Item));
}

// Builds a tree from lines like "a", " a1", "  a11", "b": one leading blank per level.
inline void BuildTestTree(TXcBaseDataItems* Root, const std::vector<std::string>& Lines)
{
  std::vector<TXcBaseDataItem*> Stack;
  for (const std::string& Line : Lines) {
    const std::size_t Depth = Line.find_first_not_of(' ');
    Stack.resize(Depth);
    TXcBaseDataItems* List = Depth == 0 ? Root : SubListFor(Stack.back());
    Stack.push_back(AddTestItem(List, Line.substr(Depth)));
  }
}
