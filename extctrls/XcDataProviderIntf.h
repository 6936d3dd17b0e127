// The interfaces of the data-provider framework: a provider exposes a tree of items (item lists
// holding items that may hold sub-item lists) in one of its data contexts; a consumer links a
// control to a provider and keeps the control's view of the items. Results that hand out an
// interface are counted references (TIntf); parameters are plain pointers the caller keeps
// alive for the call.
#pragma once

#include <cstdint>
#include <vector>

#include "extctrls/XcClassRegistry.h"
#include "extctrls/XcInterfaces.h"
#include "platform/vcl/Canvas.h"
#include "platform/vcl/Classes.h"

class TComponent;
class TCustomImageList;

// Why a consumer changes.
enum TXcConsumerChange : std::int32_t { ccProviderSet = 0, ccProviderData = 1, ccView = 2, ccContext = 3, ccOther = 4 };
// What a provider reports (7 is never used).
enum TXcProviderChange : std::int32_t {
  pcAddItem = 0,
  pcDeleteItem = 1,
  pcUpdateItem = 2,
  pcUpdateItems = 3,
  pcDestroy = 4,
  pcContextAdded = 5,
  pcContextDeleted = 6,
  pcViewRefresh = 8
};

// The draw state of an item, with the bit order of the owner-draw state.
using TXcProviderDrawStates = std::uint8_t;
enum : TXcProviderDrawStates {
  pdsSelected = 1 << 0,
  pdsGrayed = 1 << 1,
  pdsDisabled = 1 << 2,
  pdsChecked = 1 << 3,
  pdsFocused = 1 << 4,
  pdsDefault = 1 << 5,
  pdsHotLight = 1 << 6,
  pdsInactive = 1 << 7,
};

using TXcDataContextID = String;
using TXcDataItemID = String;

class IXcDataItem;
class IXcDataItems;
class IXcDataContext;
class IXcDataContexts;
class IXcDataConsumer;
class IXcDataProviderNotify;
class IXcDataConsumerServerNotify;
class IXcDataConsumerClientNotify;

class IXcDataProvider : public virtual IInterface {
public:
  static constexpr TIID IID = "{3D2C1E4A-6B58-4E0C-9A71-5F0B8C2D4E61}";
  virtual void RegisterChangeNotify(IXcDataProviderNotify* Notify) = 0;
  virtual void UnregisterChangeNotify(IXcDataProviderNotify* Notify) = 0;
  virtual TIntf<IXcDataItems> GetItems() = 0;
  virtual void Changing(TXcProviderChange Reason, IInterface* Source) = 0;
  virtual void Changed(TXcProviderChange Reason, IInterface* Source) = 0;
  virtual TClassArray ConsumerClasses() = 0;
  virtual void SelectConsumer(IXcDataConsumer* Consumer) = 0;
  virtual TIntf<IXcDataConsumer> SelectedConsumer() = 0;
  virtual void ReleaseConsumer() = 0;
  virtual void SelectContext(IXcDataContext* Context) = 0;
  virtual TIntf<IXcDataContext> SelectedContext() = 0;
  virtual void ReleaseContext() = 0;
};

class IXcDataProviderNotify : public virtual IInterface {
public:
  static constexpr TIID IID = "{5B9D1847-6D35-4D9C-8BC2-2054997AB120}";
  virtual void DataProviderChanging(IXcDataProvider* Provider, TXcProviderChange Reason, IInterface* Source) = 0;
  virtual void DataProviderChanged(IXcDataProvider* Provider, TXcProviderChange Reason, IInterface* Source) = 0;
  virtual TIntf<IXcDataConsumer> Consumer() = 0;
};

class IXcDataConsumer : public virtual IInterface {
public:
  static constexpr TIID IID = "{B2F18D03-F615-4AA2-A51A-74D330C05C0E}";
  virtual TComponent* VCLComponent() = 0;
  virtual bool AttributeApplies(int Attr) = 0;
};

class IXcDataConsumerProvider : public virtual IInterface {
public:
  static constexpr TIID IID = "{1F01D2E5-2ACB-4B84-AFE6-67E563FB470B}";
  virtual TIntf<IXcDataProvider> ProviderIntf() = 0;
};

class IXcDataConsumerClientNotify : public virtual IInterface {
public:
  static constexpr TIID IID = "{D1AAAFDF-BEB1-44DB-B8D8-A60080CEF3C7}";
  virtual void ServerItemChanged(IXcDataConsumerServerNotify* Server, IXcDataItem* Item) = 0;
  virtual void LinkAdded(IXcDataConsumerServerNotify* Server) = 0;
  virtual void LinkRemoved(IXcDataConsumerServerNotify* Server) = 0;
};

class IXcDataConsumerServerNotify : public virtual IInterface {
public:
  static constexpr TIID IID = "{8C4F2B6D-1A3E-4F57-B9D0-7E6A5C3B2F14}";
  virtual void NotifyProviderChanged(IXcDataConsumerClientNotify* Client) = 0;
};

class IXcDataConsumerItemSelect : public virtual IInterface {
public:
  static constexpr TIID IID = "{F11554AE-263D-4C04-BCDB-79F04DE89609}";
  virtual TIntf<IXcDataItem> GetItem() = 0;
  virtual void SetItem(IXcDataItem* Item) = 0;
};

class IXcDataContexts : public virtual IInterface {
public:
  static constexpr TIID IID = "{BA5DC787-29C6-40FA-9542-F0A1E92A2B30}";
  virtual TIntf<IXcDataProvider> Provider() = 0;
  virtual TIntf<IXcDataContext> Ancestor() = 0;
  virtual int GetCount() = 0;
  virtual TIntf<IXcDataContext> GetContext(int Index) = 0;
  virtual TIntf<IXcDataContext> GetContextByName(const String& Name) = 0;
  virtual int IndexOf(IXcDataContext* Context) = 0;
};

class IXcDataContext : public virtual IInterface {
public:
  static constexpr TIID IID = "{6E1B9A53-2C7D-4F08-A3E4-9D5C7B1A0F26}";
  virtual TObject* GetImplementer() = 0;
  virtual TIntf<IXcDataContexts> Contexts() = 0;
  virtual String Name() = 0;
  virtual bool IsDeletable() = 0;
};

class IXcDataContextManager : public virtual IInterface {
public:
  static constexpr TIID IID = "{530367D8-601C-4E36-B5F0-357160497C50}";
  virtual void SetName(const String& Value) = 0;
};

class IXcDataItem : public virtual IInterface {
public:
  static constexpr TIID IID = "{A7C3E915-4D2B-4B86-8F1E-3C6D9B2A5E70}";
  virtual TIntf<IXcDataItems> GetItems() = 0;
  virtual int GetIndex() = 0;
  virtual TObject* GetImplementer() = 0;
  virtual String GetID() = 0;
  virtual void ContextDestroying(IXcDataContext* Context) = 0;
  virtual bool IsParentOf(IXcDataItem* AnItem, bool DirectParent) = 0;
  virtual bool IsDeletable() = 0;
};

class IXcDataItems : public virtual IInterface {
public:
  static constexpr TIID IID = "{E2D6B4C8-7F19-4A35-B0C2-1D8E6F4A3B97}";
  virtual int GetCount() = 0;
  virtual TIntf<IXcDataItem> GetItem(int Index) = 0;
  virtual TIntf<IXcDataItem> GetItemByID(const String& ID) = 0;
  virtual TIntf<IXcDataItem> GetItemByIndexPath(const std::vector<int>& IndexPath) = 0;
  virtual TIntf<IXcDataItem> GetParent() = 0;
  virtual TIntf<IXcDataProvider> GetProvider() = 0;
  virtual TObject* GetImplementer() = 0;
  virtual bool IsDynamic() = 0;
  virtual void ContextDestroying(IXcDataContext* Context) = 0;
};

class IXcDataIDSearch : public virtual IInterface {
public:
  static constexpr TIID IID = "{0F5BDC79-893B-45C9-94E9-C2B2FD4ABFE7}";
  virtual TIntf<IXcDataItem> FindByID(const String& ID, bool Recursive) = 0;
};

class IXcDataItemsManagement : public virtual IInterface {
public:
  static constexpr TIID IID = "{76611CC0-9DCD-4394-8B6E-1ADEF1942BC3}";
  virtual TIntf<IXcDataItem> Add(IXcDataItem* Item) = 0;
  virtual TIntf<IXcDataItem> New() = 0;
  virtual void Clear() = 0;
  virtual void Delete(int Index) = 0;
  virtual void Remove(TIntf<IXcDataItem>& Item) = 0;
};

class IXcDataItemText : public virtual IInterface {
public:
  static constexpr TIID IID = "{94FA56D9-281B-4252-B46D-15E7BADA70DA}";
  virtual String GetText() = 0;
  virtual void SetText(const String& Value) = 0;
  virtual bool Editable() = 0;
};

class IXcDataContextSensitive : public virtual IInterface {
public:
  static constexpr TIID IID = "{7067F5C1-05DC-4DAC-A595-AF9151695FBB}";
  virtual void RevertToAncestor() = 0;
  virtual bool IsEqualToAncestor() = 0;
};

class IXcDataItemImage : public virtual IInterface {
public:
  static constexpr TIID IID = "{6425D73A-90CF-42ED-9AB2-63125A4C0774}";
  virtual TAlignment GetAlignment() = 0;
  virtual void SetAlignment(TAlignment Value) = 0;
  virtual int GetImageIndex() = 0;
  virtual void SetImageIndex(int Value) = 0;
  virtual int GetSelectedIndex() = 0;
  virtual void SetSelectedIndex(int Value) = 0;
};

class IXcDataItemsImages : public virtual IInterface {
public:
  static constexpr TIID IID = "{735755A6-AD11-460C-B985-46464D73EDBC}";
  virtual TCustomImageList* GetDisabledImages() = 0;
  virtual void SetDisabledImages(TCustomImageList* Value) = 0;
  virtual TCustomImageList* GetHotImages() = 0;
  virtual void SetHotImages(TCustomImageList* Value) = 0;
  virtual TCustomImageList* GetImages() = 0;
  virtual void SetImages(TCustomImageList* Value) = 0;
};

class IXcDataItemsRenderer : public virtual IInterface {
public:
  static constexpr TIID IID = "{4EA490F4-7CCF-44A1-AA26-5320CDE9FAFC}";
  virtual void DrawItemByIndex(TCanvas* Canvas, const TRect& Rect, int Index, TXcProviderDrawStates State) = 0;
  virtual SIZE MeasureItemByIndex(TCanvas* Canvas, int Index) = 0;
  virtual void DrawItem(TCanvas* Canvas, const TRect& Rect, IXcDataItem* Item, TXcProviderDrawStates State) = 0;
  virtual SIZE MeasureItem(TCanvas* Canvas, IXcDataItem* Item) = 0;
  virtual SIZE AvgItemSize(TCanvas* Canvas) = 0;
};

class IXcDataItemRenderer : public virtual IInterface {
public:
  static constexpr TIID IID = "{9E877A0D-01C2-4204-AA74-84D6516BBEB9}";
  virtual void Draw(TCanvas* Canvas, const TRect& Rect, TXcProviderDrawStates State) = 0;
  virtual SIZE Measure(TCanvas* Canvas) = 0;
};

// Asked of the provider's selected consumer before an item gets a row: 0 hides the item.
class IXcDataConsumerItemVisibility : public virtual IInterface {
public:
  static constexpr TIID IID = "{09EBDED8-502E-4C2E-9842-312850FF3358}";
  virtual int GetItemVisibleState(IXcDataItem* Item) = 0;
};

// Asked of an item after the consumer: 0 hides it.
class IXcDataItemVisibility : public virtual IInterface {
public:
  static constexpr TIID IID = "{5BD81E0B-DAD2-4560-943A-205E0FF2A97F}";
  virtual int GetItemVisibleState() = 0;
};

class IXcDataConsumerViewList : public virtual IInterface {
public:
  static constexpr TIID IID = "{F3A78F68-D998-4877-8C73-1E0D2987808D}";
  virtual int GetAutoExpandLevel() = 0;
  virtual void SetAutoExpandLevel(int Value) = 0;
  virtual bool GetExpandOnNewItem() = 0;
  virtual void SetExpandOnNewItem(bool Value) = 0;
  virtual int GetLevelIndent() = 0;
  virtual void SetLevelIndent(int Value) = 0;
  virtual void RebuildView() = 0;
  virtual void ExpandTreeTo(IXcDataItem* Item) = 0;
  virtual void ToggleItem(int Index) = 0;
  virtual int IndexOfItem(IXcDataItem* Item) = 0;
  virtual int IndexOfID(const String& ID) = 0;
  virtual int ChildIndexOfItem(IXcDataItem* Item) = 0;
  virtual int ChildIndexOfID(const String& ID) = 0;
  virtual TIntf<IXcDataItem> Item(int Index) = 0;
  virtual int ItemLevel(int Index) = 0;
  virtual bool ItemIsExpanded(int Index) = 0;
  virtual bool ItemHasChildren(int Index) = 0;
  virtual TIntf<IXcDataItem> ItemParent(int Index) = 0;
  virtual int ItemParentIndex(int Index) = 0;
  virtual TIntf<IXcDataItem> ItemSibling(int Index) = 0;
  virtual int ItemSiblingIndex(int Index) = 0;
  virtual TIntf<IXcDataItem> SubItem(IXcDataItem* Parent, int Index) = 0;
  virtual TIntf<IXcDataItem> SubItem(int ParentIndex, int Index) = 0;
  virtual int SubItemIndex(IXcDataItem* Parent, int Index) = 0;
  virtual int SubItemIndex(int ParentIndex, int Index) = 0;
  virtual std::vector<std::int32_t> ItemGroupInfo(int Index) = 0;
  virtual int Count() = 0;
};
