// The consumer's view of a provider's item tree as a flat list of rows (one per visible item,
// in tree order, each with its ID, depth and expanded state), and TXcConsumerStrings, the rows'
// texts as a read-only string list.
#pragma once

#include <cstdint>
#include <vector>

#include "extctrls/XcDataConsumer.h"
#include "platform/rtl/StringList.h"

// One row: the item's ID and its flags (bits 0-23 depth, 29 expanded, 30 has a sub-item list,
// 31 that list is not empty).
struct TViewListItem {
  String ID;
  std::uint32_t Flags = 0;
};
using TViewListItems = std::vector<TViewListItem>;

constexpr std::uint32_t vfDepthMask = 0x00FFFFFFu;
constexpr std::uint32_t vfExpanded = 0x20000000u;
constexpr std::uint32_t vfHasSubList = 0x40000000u;
constexpr std::uint32_t vfHasChildren = 0x80000000u;

class TXcCustomDataConsumerViewList : public TXcDataConsumerAggregatedObject, public IXcDataConsumerViewList {
  XC_CLASS_REF(TXcCustomDataConsumerViewList)

public:
  explicit TXcCustomDataConsumerViewList(TXcDataConsumer* AOwner);
  // Builds the view when the consumer already has a provider.
  void AfterConstruction() override;

  virtual void AddItem(int ParentIndex, IXcDataItem* Item, int Levels) = 0;
  virtual void AddItems(int& Index, IXcDataItems* Items, int Levels) = 0;
  virtual void AddChildItem(int ParentIndex, IXcDataItem* Item) = 0;
  virtual void InsertItem(int Index, int ParentIndex, IXcDataItem* Item) = 0;
  virtual void DeleteItem(int Index) = 0;
  virtual void DeleteItems(int Index) = 0;
  virtual void UpdateItemFlags(int Index, std::uint32_t Value, std::uint32_t Mask) = 0;
  virtual void ClearView();

  int GetAutoExpandLevel() override { return FAutoExpandLevel; }
  void SetAutoExpandLevel(int Value) override { FAutoExpandLevel = Value; }
  bool GetExpandOnNewItem() override { return FExpandOnNewItem; }
  void SetExpandOnNewItem(bool Value) override { FExpandOnNewItem = Value; }
  int GetLevelIndent() override { return FLevelIndent; }
  void SetLevelIndent(int Value) override;
  void RebuildView() override;
  void ExpandTreeTo(IXcDataItem* Item) override;
  std::vector<std::int32_t> ItemGroupInfo(int Index) override;

  bool KeepOnProviderChange() override { return true; }
  void ProviderChanging() override { ClearView(); }
  void ProviderChanged() override { RebuildView(); }
  void ContextChanged() override { RebuildView(); }
  void ViewChanged(TXcDataConsumerAggregatedObject*) override { RebuildView(); }
  void DataProviderChanging(IXcDataProvider* Provider, TXcProviderChange Reason, IInterface* Source) override;
  void DataProviderChanged(IXcDataProvider* Provider, TXcProviderChange Reason, IInterface* Source) override;

  // 0 hides the item; anything else shows it.
  static int GetItemVisibleState(IXcDataItem* Item);

protected:
  bool GetOwnInterface(TIID IID, void** Obj) override;

private:
  int FAutoExpandLevel = 0;
  bool FExpandOnNewItem = false;
  int FLevelIndent = 16;
};

class TXcDataConsumerViewList : public TXcCustomDataConsumerViewList {
  XC_CLASS_REF(TXcDataConsumerViewList)

public:
  using TXcCustomDataConsumerViewList::TXcCustomDataConsumerViewList;

  void AddItem(int ParentIndex, IXcDataItem* Item, int Levels) override;
  void AddItems(int& Index, IXcDataItems* Items, int Levels) override;
  void AddChildItem(int ParentIndex, IXcDataItem* Item) override;
  void InsertItem(int Index, int ParentIndex, IXcDataItem* Item) override;
  void DeleteItem(int Index) override;
  void DeleteItems(int Index) override;
  void UpdateItemFlags(int Index, std::uint32_t Value, std::uint32_t Mask) override;

  void ToggleItem(int Index) override;
  int IndexOfItem(IXcDataItem* Item) override;
  int IndexOfID(const String& ID) override;
  int ChildIndexOfItem(IXcDataItem* Item) override;
  int ChildIndexOfID(const String& ID) override;
  TIntf<IXcDataItem> Item(int Index) override;
  int ItemLevel(int Index) override { return static_cast<int>(Row(Index).Flags & vfDepthMask); }
  bool ItemIsExpanded(int Index) override { return (Row(Index).Flags & vfExpanded) != 0; }
  bool ItemHasChildren(int Index) override { return (Row(Index).Flags & vfHasChildren) != 0; }
  TIntf<IXcDataItem> ItemParent(int Index) override;
  int ItemParentIndex(int Index) override;
  TIntf<IXcDataItem> ItemSibling(int Index) override;
  int ItemSiblingIndex(int Index) override;
  TIntf<IXcDataItem> SubItem(IXcDataItem* Parent, int Index) override;
  TIntf<IXcDataItem> SubItem(int ParentIndex, int Index) override;
  int SubItemIndex(IXcDataItem* Parent, int Index) override;
  int SubItemIndex(int ParentIndex, int Index) override;
  int Count() override { return static_cast<int>(FRows.size()); }

  const TViewListItems& Rows() const { return FRows; }
  void DefineProperties(TXcFiler& Filer) override;

private:
  TViewListItem& Row(int Index);
  // The index after Index's last descendant row.
  int SubtreeEnd(int Index);
  static std::uint32_t NewRowFlags(IXcDataItem* Item, int Depth);
  TViewListItems FRows;
};

// The rows' texts of a consumer's view list as read-only strings.
class TXcConsumerStrings : public TStrings {
public:
  explicit TXcConsumerStrings(TXcDataConsumer* AConsumer) : FConsumer(AConsumer) {}
  // EListError "List index out of bounds (%d)" for a negative index or one beyond the rows.
  String Get(int Index) const override;
  int GetCount() const override;
  void Clear() override {}
  void Delete(int) override {}
  void Insert(int, const String&) override {}

private:
  TXcDataConsumerViewList* ViewList() const;
  TXcDataConsumer* FConsumer;
};
