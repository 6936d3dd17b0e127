// Extensions that give items and item lists their data and behaviour: item text (plain,
// per-context, read-only), item image data, list image lists and the list's text renderer;
// the short-lived render objects that draw or measure an item's text; and the routines that
// find a list-level service for an item and convert owner-draw states.
#pragma once

#include "extctrls/XcDataItems.h"
#include "platform/rtl/StringList.h"

class TXcBaseDataItemTextImpl : public TXcDataItemAggregatedObject, public IXcDataItemText {
  XC_CLASS_REF(TXcBaseDataItemTextImpl)

public:
  using TXcDataItemAggregatedObject::TXcDataItemAggregatedObject;

protected:
  bool GetOwnInterface(TIID IID, void** Obj) override;
  // Tells the provider around a change of this item.
  void NotifyChanging();
  void NotifyChanged();
};

class TXcDataItemTextImpl : public TXcBaseDataItemTextImpl {
  XC_CLASS_REF(TXcDataItemTextImpl)

public:
  using TXcBaseDataItemTextImpl::TXcBaseDataItemTextImpl;
  String GetText() override { return FText; }
  // Equal text (case-sensitive) does nothing; else pcUpdateItem around the change.
  void SetText(const String& Value) override;
  bool Editable() override { return true; }
  void DefineProperties(TXcFiler& Filer) override;

private:
  String FText;
};

// A text per data context; a context without its own text shows its ancestor's, and finally
// the plain text.
class TXcDataItemContextTextImpl : public TXcDataItemTextImpl, public IXcDataContextSensitive {
  XC_CLASS_REF(TXcDataItemContextTextImpl)

public:
  using TXcDataItemTextImpl::TXcDataItemTextImpl;
  String GetText() override;
  void SetText(const String& Value) override;
  void RevertToAncestor() override;
  bool IsEqualToAncestor() override;
  void ContextDestroying(IXcDataContext* Context) override;

protected:
  bool GetOwnInterface(TIID IID, void** Obj) override;

private:
  TIntf<IXcDataContext> CurrentContext();
  int IndexOfContext(IXcDataContext* Context) const;
  // Strings are texts, objects the contexts they belong to (not counted).
  TStringList FContextTexts;
};

class TXcDataItemBlockableTextImpl : public TXcDataItemTextImpl {
  XC_CLASS_REF(TXcDataItemBlockableTextImpl)

public:
  using TXcDataItemTextImpl::TXcDataItemTextImpl;
  bool Editable() override { return !FReadOnly; }
  bool GetReadOnly() const { return FReadOnly; }
  void SetReadOnly(bool Value);
  void DefineProperties(TXcFiler& Filer) override;

private:
  bool FReadOnly = false;
};

class TXcBaseDataItemImageImpl : public TXcDataItemAggregatedObject, public IXcDataItemImage {
  XC_CLASS_REF(TXcBaseDataItemImageImpl)

public:
  using TXcDataItemAggregatedObject::TXcDataItemAggregatedObject;

protected:
  bool GetOwnInterface(TIID IID, void** Obj) override;
};

class TXcDataItemImageImpl : public TXcBaseDataItemImageImpl {
  XC_CLASS_REF(TXcDataItemImageImpl)

public:
  using TXcBaseDataItemImageImpl::TXcBaseDataItemImageImpl;
  TAlignment GetAlignment() override { return FAlignment; }
  void SetAlignment(TAlignment Value) override;
  int GetImageIndex() override { return FImageIndex; }
  void SetImageIndex(int Value) override;
  int GetSelectedIndex() override { return FSelectedIndex; }
  void SetSelectedIndex(int Value) override;
  void DefineProperties(TXcFiler& Filer) override;

private:
  template <class T>
  void Change(T& Field, T Value);
  TAlignment FAlignment = taLeftJustify;
  int FImageIndex = 0;
  int FSelectedIndex = 0;
};

class TXcBaseDataItemsImagesImpl : public TXcDataItemsAggregatedObject, public IXcDataItemsImages {
  XC_CLASS_REF(TXcBaseDataItemsImagesImpl)

public:
  using TXcDataItemsAggregatedObject::TXcDataItemsAggregatedObject;

protected:
  bool GetOwnInterface(TIID IID, void** Obj) override;
};

// Three image lists of a list's items (not owned).
class TXcCustomDataItemsImages : public TXcBaseDataItemsImagesImpl {
  XC_CLASS_REF(TXcCustomDataItemsImages)

public:
  using TXcBaseDataItemsImagesImpl::TXcBaseDataItemsImagesImpl;
  TCustomImageList* GetDisabledImages() override { return FDisabledImages; }
  void SetDisabledImages(TCustomImageList* Value) override { Change(FDisabledImages, Value); }
  TCustomImageList* GetHotImages() override { return FHotImages; }
  void SetHotImages(TCustomImageList* Value) override { Change(FHotImages, Value); }
  TCustomImageList* GetImages() override { return FImages; }
  void SetImages(TCustomImageList* Value) override { Change(FImages, Value); }

private:
  void Change(TCustomImageList*& Field, TCustomImageList* Value);
  TCustomImageList* FDisabledImages = nullptr;
  TCustomImageList* FHotImages = nullptr;
  TCustomImageList* FImages = nullptr;
};

class TXcBaseDataItemsRenderer : public TXcDataItemsAggregatedObject, public IXcDataItemsRenderer {
  XC_CLASS_REF(TXcBaseDataItemsRenderer)

public:
  using TXcDataItemsAggregatedObject::TXcDataItemsAggregatedObject;
  virtual void DoDrawItem(TCanvas* Canvas, const TRect& Rect, IXcDataItem* Item, TXcProviderDrawStates State) = 0;
  virtual SIZE DoMeasureItem(TCanvas* Canvas, IXcDataItem* Item) = 0;
  // EXCLDataItems "List index out of bounds (%d)" for an index the list does not hold.
  void DrawItemByIndex(TCanvas* Canvas, const TRect& Rect, int Index, TXcProviderDrawStates State) override;
  // Index -1 gives AvgItemSize.
  SIZE MeasureItemByIndex(TCanvas* Canvas, int Index) override;
  // An item that draws itself does; else DoDrawItem.
  void DrawItem(TCanvas* Canvas, const TRect& Rect, IXcDataItem* Item, TXcProviderDrawStates State) override;
  SIZE MeasureItem(TCanvas* Canvas, IXcDataItem* Item) override;

protected:
  bool GetOwnInterface(TIID IID, void** Obj) override;
};

class TXcCustomDataItemsTextRenderer : public TXcBaseDataItemsRenderer {
  XC_CLASS_REF(TXcCustomDataItemsTextRenderer)

public:
  using TXcBaseDataItemsRenderer::TXcBaseDataItemsRenderer;
  void DoDrawItem(TCanvas* Canvas, const TRect& Rect, IXcDataItem* Item, TXcProviderDrawStates State) override;
  SIZE DoMeasureItem(TCanvas* Canvas, IXcDataItem* Item) override;
  // The extent of "WyWyWyWyWyWyWyWyWyWy".
  SIZE AvgItemSize(TCanvas* Canvas) override;
};

// A short-lived object drawing or measuring one item.
class TXcDP_ProviderBaseRender : public TObject {
public:
  TXcDP_ProviderBaseRender(IXcDataItem* AItem, TCanvas* ACanvas, TXcProviderDrawStates AState)
      : FItem(AItem), FCanvas(ACanvas), FState(AState) {}
  virtual void Prepare(bool ForMeasure) = 0;
  virtual void DoDraw() = 0;
  virtual void DoMeasure(SIZE& Size) = 0;

  template <class R>
  static void Draw(IXcDataItem* Item, TCanvas* Canvas, const TRect& Rect, TXcProviderDrawStates State)
  {
    R Render(Item, Canvas, State);
    Render.FRect = Rect;
    Render.Prepare(false);
    Render.DoDraw();
  }
  template <class R>
  static SIZE Measure(IXcDataItem* Item, TCanvas* Canvas, TXcProviderDrawStates State)
  {
    R Render(Item, Canvas, State);
    SIZE Size{0, 0};
    Render.Prepare(true);
    Render.DoMeasure(Size);
    return Size;
  }

protected:
  TIntf<IXcDataItem> FItem;
  TCanvas* FCanvas;
  TXcProviderDrawStates FState;
  TRect FRect{};
};

// Draws an item's IXcDataItemText text, or a note that it has none.
class TXcDP_ProviderTextOnlyRender : public TXcDP_ProviderBaseRender {
public:
  using TXcDP_ProviderBaseRender::TXcDP_ProviderBaseRender;
  void Prepare(bool ForMeasure) override;
  void DoDraw() override;
  void DoMeasure(SIZE& Size) override;

private:
  String FText;
};

// The text drawn for an item that has no text extension.
extern const char* const XcNoItemTextText;

// Asks Item's list, then each parent's list up to the root, for IID.
bool DP_FindItemsIntf(IXcDataItem* Item, TIID IID, void** Obj);
bool DP_FindItemsRenderer(IXcDataItem* Item, TIntf<IXcDataItemsRenderer>& Renderer);
// The low 8 bits of an owner-draw state.
TXcProviderDrawStates DP_OwnerDrawStateToProviderDrawStates(std::uint32_t State);
bool IsExtensionSpecificIntf(TIID IID);
