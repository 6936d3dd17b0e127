// The item model of the data-provider framework: items with an ID (TXcBaseDataItem), item
// lists (TXcBaseDataItems, abstract storage; TXcDataItemsList owns its items), the extension
// that gives an item a sub-item list, list management that tells the provider, ID and path
// lookup, and the "Items" and "SubItems" stream properties.
//
// Ownership (the general rule is in XcInterfaces.h): a TXcDataItemsList owns its items and
// deletes them; their counting is off. An item's sub-item list is held (counted) by the item's
// sub-item extension; the sub-list points back at its parent item with a plain pointer, which
// the extension clears when it goes, so item and sub-list never keep each other alive. Lists
// point at their provider with a plain pointer: the provider owns its item tree.
#pragma once

#include <vector>

#include "extctrls/XcDataProviderIntf.h"
#include "extctrls/XcExtensible.h"
#include "extctrls/XcTypes.h"

QV_DECLARE_EXCEPTION(EXCLDataItems, EXCLException);

class TXcBaseDataItems;
class TXcBaseDataItemSubItems;

// Lets an item name the component of its provider in name paths.
class IInterfaceComponentReference : public virtual IInterface {
public:
  static constexpr TIID IID = "{E28B1858-EC86-4559-8FCD-6B4F824151ED}";
  virtual TComponent* GetComponent() = 0;
};

class TXcBaseDataItem : public TExtensibleInterfacedPersistent, public IXcDataItem {
  XC_CLASS_REF(TXcBaseDataItem)

public:
  explicit TXcBaseDataItem(IXcDataItems* AOwner);
  // Gives the item its new ID before the base completion.
  void AfterConstruction() override;

  // Counting selects the provider's context nil around it; an item of a list that is not
  // dynamic counts nothing (-1).
  int _AddRef() override;
  int _Release() override;

  // A new ID: the 16 bytes of a new GUID as 32 upper-case hexadecimal digits.
  virtual void InitID();
  // True when AnItem's list belongs to this item (or, unless DirectParent, to a descendant).
  bool IsParentOf(IXcDataItem* AnItem, bool DirectParent) override;

  // IXcDataItem
  TIntf<IXcDataItems> GetItems() override { return TIntf<IXcDataItems>(FItems); }
  int GetIndex() override;
  TObject* GetImplementer() override { return this; }
  String GetID() override { return FID; }
  void ContextDestroying(IXcDataContext* Context) override;
  bool IsDeletable() override { return true; }

  void SetID(const String& Value) { FID = Value; }
  // The provider's component (nil without one).
  TComponent* GetOwnerComponent();
  String GetNamePath() const override;
  virtual void RevertToAncestor();
  virtual bool IsEqualToAncestor();
  // The extension that holds this item's sub-item list, nil without one.
  TXcBaseDataItemSubItems* SubItemsExtension() const;

  void DefineProperties(TXcFiler& Filer) override;

protected:
  bool GetOwnInterface(TIID IID, void** Obj) override;

private:
  void ReadSubItems(TXcFilerReader& Reader);
  void WriteSubItems(TXcFilerWriter& Writer);
  IXcDataItems* FItems;              // the owning list, not counted
  TIntf<IXcDataItems> FCountedItems;  // the same, counted, for a dynamic list
  String FID;
};

class TXcBaseDataItems : public TExtensibleInterfacedPersistent, public IXcDataIDSearch, public IXcDataItems {
  XC_CLASS_REF(TXcBaseDataItems)

public:
  // A root list of AProvider, or (AParent set) the sub-item list of AParent, whose provider it
  // shares; AParent then answers IXcDataItems with this list.
  explicit TXcBaseDataItems(IXcDataProvider* AProvider, IXcDataItem* AParent = nullptr);
  void AfterConstruction() override;

  virtual void InternalAdd(TXcBaseDataItem* Item) = 0;
  virtual void InternalDelete(int Index) = 0;
  virtual void InternalMove(int OldIndex, int NewIndex) = 0;
  // True when Item's class is registered.
  virtual bool IsStreamableItem(TXcBaseDataItem* Item);

  // IXcDataItems
  TIntf<IXcDataItem> GetItemByID(const String& ID) override;
  TIntf<IXcDataItem> GetItemByIndexPath(const std::vector<int>& IndexPath) override;
  TIntf<IXcDataItem> GetParent() override { return TIntf<IXcDataItem>(FParent); }
  TIntf<IXcDataProvider> GetProvider() override { return TIntf<IXcDataProvider>(FProvider); }
  TObject* GetImplementer() override { return this; }
  bool IsDynamic() override { return true; }
  void ContextDestroying(IXcDataContext* Context) override;
  // IXcDataIDSearch
  TIntf<IXcDataItem> FindByID(const String& ID, bool Recursive) override;

  IXcDataItem* ParentItem() const { return FParent; }
  void DefineProperties(TXcFiler& Filer) override;

protected:
  bool GetOwnInterface(TIID IID, void** Obj) override;

private:
  friend class TXcBaseDataItemSubItems;
  void ReadItems(TXcFilerReader& Reader);
  void WriteItems(TXcFilerWriter& Writer);
  IXcDataItem* FParent;             // not counted (see the header comment)
  IXcDataProvider* FProvider;       // not counted
  TXcBaseDataItemSubItems* FSubItemsExt = nullptr;  // lives in the parent's extension list
};

// A list that owns its items in an object list; its items are not reference counted.
class TXcDataItemsList : public TXcBaseDataItems {
  XC_CLASS_REF(TXcDataItemsList)

public:
  using TXcBaseDataItems::TXcBaseDataItems;
  ~TXcDataItemsList() override;

  void InternalAdd(TXcBaseDataItem* Item) override;
  // Deletes (and frees) the item at Index; EListError for an index the list does not hold.
  void InternalDelete(int Index) override;
  void InternalMove(int OldIndex, int NewIndex) override;
  int GetCount() override { return static_cast<int>(FList.size()); }
  TIntf<IXcDataItem> GetItem(int Index) override;
  bool IsDynamic() override { return false; }
  int IndexOfObject(TXcBaseDataItem* Item) const;

private:
  void CheckIndex(int Index) const;
  std::vector<TXcBaseDataItem*> FList;
};

// The base of extensions that live in an item.
class TXcDataItemAggregatedObject : public TAggregatedPersistentEx {
  XC_CLASS_REF(TXcDataItemAggregatedObject)

public:
  explicit TXcDataItemAggregatedObject(TXcBaseDataItem* AOwner) : TAggregatedPersistentEx(AOwner), FItem(AOwner) {}
  // Its own interfaces first; context sensitivity is answered only for itself; anything else
  // is asked of the item.
  HRESULT_T QueryInterface(TIID IID, void** Obj) override;
  virtual void ContextDestroying(IXcDataContext*) {}
  TIntf<IXcDataItem> Item() { return TIntf<IXcDataItem>(FItem); }
  TXcBaseDataItem* ItemImpl() const { return FItem; }

protected:
  // The provider of the item's list, nil without one.
  TIntf<IXcDataProvider> ItemProvider();

private:
  TXcBaseDataItem* FItem;
};

// The base of extensions that live in an item list.
class TXcDataItemsAggregatedObject : public TAggregatedPersistentEx {
  XC_CLASS_REF(TXcDataItemsAggregatedObject)

public:
  explicit TXcDataItemsAggregatedObject(TXcBaseDataItems* AOwner) : TAggregatedPersistentEx(AOwner), FItems(AOwner) {}
  virtual void ContextDestroying(IXcDataContext*) {}
  TIntf<IXcDataItems> Items() { return TIntf<IXcDataItems>(FItems); }
  TXcBaseDataItems* ItemsImpl() const { return FItems; }

private:
  TXcBaseDataItems* FItems;
};

// Gives an item its sub-item list: the item answers IXcDataItems (and whatever the list
// answers) through it.
class TXcBaseDataItemSubItems : public TXcDataItemAggregatedObject {
  XC_CLASS_REF(TXcBaseDataItemSubItems)

public:
  TXcBaseDataItemSubItems(TXcBaseDataItem* AOwner, IXcDataItems* AItems);
  bool GetInterface(TIID IID, void** Obj) override;
  void BeforeDestruction() override;
  TIntf<IXcDataItems> SubItems() const { return FItems; }

private:
  TIntf<IXcDataItems> FItems;
};

class TXcBaseDataItemsManagement : public TXcDataItemsAggregatedObject, public IXcDataItemsManagement {
  XC_CLASS_REF(TXcBaseDataItemsManagement)

public:
  using TXcDataItemsAggregatedObject::TXcDataItemsAggregatedObject;

protected:
  bool GetOwnInterface(TIID IID, void** Obj) override;
};

// Management of a TXcDataItemsList; New is left to a concrete descendant.
class TXcBaseDataItemsListManagement : public TXcBaseDataItemsManagement {
  XC_CLASS_REF(TXcBaseDataItemsListManagement)

public:
  using TXcBaseDataItemsManagement::TXcBaseDataItemsManagement;
  TIntf<IXcDataItem> Add(IXcDataItem* Item) override;
  TIntf<IXcDataItem> New() override { throw EXCLDataItems("Abstract error"); }
  void Clear() override;
  // EXCLDataItems "Item cannot be deleted" for an item that is not deletable.
  void Delete(int Index) override;
  void Remove(TIntf<IXcDataItem>& Item) override;

private:
  TXcDataItemsList* List() const;
};

// Splits Path at its first "\" or "/" into the segment and the rest.
String XcFirstPathSegment(const String& Path, String& Rest, bool& HasSeparator);
