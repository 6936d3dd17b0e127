#include "extctrls/XcDataItemExtensions.h"

namespace {

template <class T>
TObject* MakeItemExtension(TObject* Owner)
{
  return XcCreate<T>(XcArgAs<TXcBaseDataItem>(Owner));
}

template <class T>
TObject* MakeListExtension(TObject* Owner)
{
  return XcCreate<T>(XcArgAs<TXcBaseDataItems>(Owner));
}

}  // namespace

const char* const XcNoItemTextText = "(item does not support the IXcDataItemText interface)";

XC_DEFINE_CLASS_REF(TXcBaseDataItemTextImpl, TXcDataItemAggregatedObject::StaticClass(), nullptr)
XC_DEFINE_CLASS_REF(TXcDataItemTextImpl, TXcBaseDataItemTextImpl::StaticClass(), MakeItemExtension<TXcDataItemTextImpl>)
XC_DEFINE_CLASS_REF(TXcDataItemContextTextImpl, TXcDataItemTextImpl::StaticClass(),
                    MakeItemExtension<TXcDataItemContextTextImpl>)
XC_DEFINE_CLASS_REF(TXcDataItemBlockableTextImpl, TXcDataItemTextImpl::StaticClass(),
                    MakeItemExtension<TXcDataItemBlockableTextImpl>)
XC_DEFINE_CLASS_REF(TXcBaseDataItemImageImpl, TXcDataItemAggregatedObject::StaticClass(), nullptr)
XC_DEFINE_CLASS_REF(TXcDataItemImageImpl, TXcBaseDataItemImageImpl::StaticClass(), MakeItemExtension<TXcDataItemImageImpl>)
XC_DEFINE_CLASS_REF(TXcBaseDataItemsImagesImpl, TXcDataItemsAggregatedObject::StaticClass(), nullptr)
XC_DEFINE_CLASS_REF(TXcCustomDataItemsImages, TXcBaseDataItemsImagesImpl::StaticClass(),
                    MakeListExtension<TXcCustomDataItemsImages>)
XC_DEFINE_CLASS_REF(TXcBaseDataItemsRenderer, TXcDataItemsAggregatedObject::StaticClass(), nullptr)
XC_DEFINE_CLASS_REF(TXcCustomDataItemsTextRenderer, TXcBaseDataItemsRenderer::StaticClass(),
                    MakeListExtension<TXcCustomDataItemsTextRenderer>)

// ---- text ----

bool TXcBaseDataItemTextImpl::GetOwnInterface(TIID IID, void** Obj)
{
  return XcAnswer<IXcDataItemText>(this, IID, Obj) || TXcDataItemAggregatedObject::GetOwnInterface(IID, Obj);
}

void TXcBaseDataItemTextImpl::NotifyChanging()
{
  if (const auto P = ItemProvider()) P->Changing(pcUpdateItem, static_cast<IXcDataItem*>(ItemImpl()));
}

void TXcBaseDataItemTextImpl::NotifyChanged()
{
  if (const auto P = ItemProvider()) P->Changed(pcUpdateItem, static_cast<IXcDataItem*>(ItemImpl()));
}

void TXcDataItemTextImpl::SetText(const String& Value)
{
  if (Value == FText) return;
  NotifyChanging();
  FText = Value;
  NotifyChanged();
}

void TXcDataItemTextImpl::DefineProperties(TXcFiler& Filer)
{
  Filer.DefineProperty(
      "Text", [this](TXcFilerReader& R) { FText = R.ReadString(); }, [this](TXcFilerWriter& W) { W.WriteString(FText); },
      !FText.empty());
}

bool TXcDataItemContextTextImpl::GetOwnInterface(TIID IID, void** Obj)
{
  return XcAnswer<IXcDataContextSensitive>(this, IID, Obj) || TXcDataItemTextImpl::GetOwnInterface(IID, Obj);
}

TIntf<IXcDataContext> TXcDataItemContextTextImpl::CurrentContext()
{
  const auto P = ItemProvider();
  return P ? P->SelectedContext() : nullptr;
}

int TXcDataItemContextTextImpl::IndexOfContext(IXcDataContext* Context) const
{
  for (int I = 0; I < FContextTexts.GetCount(); ++I)
    if (Context != nullptr && FContextTexts.GetObject(I) == Context->GetImplementer()) return I;
  return -1;
}

String TXcDataItemContextTextImpl::GetText()
{
  TIntf<IXcDataContext> Context = CurrentContext();
  while (Context) {
    const int Index = IndexOfContext(Context.Get());
    if (Index >= 0) return FContextTexts.Get(Index);
    const TIntf<IXcDataContexts> Holder = Context->Contexts();
    Context = Holder ? Holder->Ancestor() : nullptr;
  }
  return TXcDataItemTextImpl::GetText();
}

void TXcDataItemContextTextImpl::SetText(const String& Value)
{
  const TIntf<IXcDataContext> Context = CurrentContext();
  if (!Context) {
    TXcDataItemTextImpl::SetText(Value);
    return;
  }
  if (GetText() == Value) return;
  NotifyChanging();
  const int Index = IndexOfContext(Context.Get());
  if (Index >= 0)
    FContextTexts.Put(Index, Value);
  else
    FContextTexts.AddObject(Value, Context->GetImplementer());
  NotifyChanged();
}

void TXcDataItemContextTextImpl::RevertToAncestor()
{
  const TIntf<IXcDataContext> Context = CurrentContext();
  const int Index = Context ? IndexOfContext(Context.Get()) : -1;
  if (Index < 0) return;
  NotifyChanging();
  FContextTexts.Delete(Index);
  NotifyChanged();
}

bool TXcDataItemContextTextImpl::IsEqualToAncestor()
{
  const TIntf<IXcDataContext> Context = CurrentContext();
  return !Context || IndexOfContext(Context.Get()) < 0;
}

void TXcDataItemContextTextImpl::ContextDestroying(IXcDataContext* Context)
{
  // The entry would point at a context that no longer exists.
  const int Index = IndexOfContext(Context);
  if (Index >= 0) FContextTexts.Delete(Index);
}

void TXcDataItemBlockableTextImpl::SetReadOnly(bool Value)
{
  if (Value == FReadOnly) return;
  NotifyChanging();
  FReadOnly = Value;
  NotifyChanged();
}

void TXcDataItemBlockableTextImpl::DefineProperties(TXcFiler& Filer)
{
  TXcDataItemTextImpl::DefineProperties(Filer);
  Filer.DefineProperty(
      "ReadOnly", [this](TXcFilerReader& R) { FReadOnly = R.ReadBoolean(); }, [this](TXcFilerWriter& W) { W.WriteBoolean(FReadOnly); },
      FReadOnly);
}

// ---- images ----

bool TXcBaseDataItemImageImpl::GetOwnInterface(TIID IID, void** Obj)
{
  return XcAnswer<IXcDataItemImage>(this, IID, Obj) || TXcDataItemAggregatedObject::GetOwnInterface(IID, Obj);
}

template <class T>
void TXcDataItemImageImpl::Change(T& Field, T Value)
{
  if (Field == Value) return;
  const auto P = ItemProvider();
  if (P) P->Changing(pcUpdateItem, static_cast<IXcDataItem*>(ItemImpl()));
  Field = Value;
  if (P) P->Changed(pcUpdateItem, static_cast<IXcDataItem*>(ItemImpl()));
}

void TXcDataItemImageImpl::SetAlignment(TAlignment Value) { Change(FAlignment, Value); }
void TXcDataItemImageImpl::SetImageIndex(int Value) { Change(FImageIndex, Value); }
void TXcDataItemImageImpl::SetSelectedIndex(int Value) { Change(FSelectedIndex, Value); }

void TXcDataItemImageImpl::DefineProperties(TXcFiler& Filer)
{
  Filer.DefineProperty(
      "Alignment", [this](TXcFilerReader& R) { FAlignment = static_cast<TAlignment>(R.ReadInteger()); },
      [this](TXcFilerWriter& W) { W.WriteInteger(FAlignment); }, FAlignment != taLeftJustify);
  Filer.DefineProperty(
      "ImageIndex", [this](TXcFilerReader& R) { FImageIndex = R.ReadInteger(); },
      [this](TXcFilerWriter& W) { W.WriteInteger(FImageIndex); }, FImageIndex != 0);
  Filer.DefineProperty(
      "SelectedIndex", [this](TXcFilerReader& R) { FSelectedIndex = R.ReadInteger(); },
      [this](TXcFilerWriter& W) { W.WriteInteger(FSelectedIndex); }, FSelectedIndex != 0);
}

bool TXcBaseDataItemsImagesImpl::GetOwnInterface(TIID IID, void** Obj)
{
  return XcAnswer<IXcDataItemsImages>(this, IID, Obj) || TXcDataItemsAggregatedObject::GetOwnInterface(IID, Obj);
}

void TXcCustomDataItemsImages::Change(TCustomImageList*& Field, TCustomImageList* Value)
{
  if (Field == Value) return;
  const auto P = ItemsImpl()->GetProvider();
  if (P) P->Changing(pcUpdateItems, static_cast<IXcDataItems*>(ItemsImpl()));
  Field = Value;
  if (P) P->Changed(pcUpdateItems, static_cast<IXcDataItems*>(ItemsImpl()));
}

// ---- renderers ----

bool TXcBaseDataItemsRenderer::GetOwnInterface(TIID IID, void** Obj)
{
  return XcAnswer<IXcDataItemsRenderer>(this, IID, Obj) || TXcDataItemsAggregatedObject::GetOwnInterface(IID, Obj);
}

void TXcBaseDataItemsRenderer::DrawItemByIndex(TCanvas* Canvas, const TRect& Rect, int Index, TXcProviderDrawStates State)
{
  if (Index < 0 || Index >= ItemsImpl()->GetCount()) throw EXCLDataItems("List index out of bounds (%d)", {Index});
  DrawItem(Canvas, Rect, ItemsImpl()->GetItem(Index).Get(), State);
}

SIZE TXcBaseDataItemsRenderer::MeasureItemByIndex(TCanvas* Canvas, int Index)
{
  if (Index == -1) return AvgItemSize(Canvas);
  if (Index < 0 || Index >= ItemsImpl()->GetCount()) throw EXCLDataItems("List index out of bounds (%d)", {Index});
  return MeasureItem(Canvas, ItemsImpl()->GetItem(Index).Get());
}

void TXcBaseDataItemsRenderer::DrawItem(TCanvas* Canvas, const TRect& Rect, IXcDataItem* Item, TXcProviderDrawStates State)
{
  if (const auto Self = Supports<IXcDataItemRenderer>(static_cast<IInterface*>(Item)))
    Self->Draw(Canvas, Rect, State);
  else
    DoDrawItem(Canvas, Rect, Item, State);
}

SIZE TXcBaseDataItemsRenderer::MeasureItem(TCanvas* Canvas, IXcDataItem* Item)
{
  if (const auto Self = Supports<IXcDataItemRenderer>(static_cast<IInterface*>(Item))) return Self->Measure(Canvas);
  return DoMeasureItem(Canvas, Item);
}

void TXcCustomDataItemsTextRenderer::DoDrawItem(TCanvas* Canvas, const TRect& Rect, IXcDataItem* Item,
                                                TXcProviderDrawStates State)
{
  TXcDP_ProviderBaseRender::Draw<TXcDP_ProviderTextOnlyRender>(Item, Canvas, Rect, State);
}

SIZE TXcCustomDataItemsTextRenderer::DoMeasureItem(TCanvas* Canvas, IXcDataItem* Item)
{
  return TXcDP_ProviderBaseRender::Measure<TXcDP_ProviderTextOnlyRender>(Item, Canvas, 0);
}

SIZE TXcCustomDataItemsTextRenderer::AvgItemSize(TCanvas* Canvas) { return Canvas->TextExtent("WyWyWyWyWyWyWyWyWyWy"); }

void TXcDP_ProviderTextOnlyRender::Prepare(bool)
{
  const auto Text = Supports<IXcDataItemText>(static_cast<IInterface*>(FItem.Get()));
  FText = Text ? Text->GetText() : String(XcNoItemTextText);
}

void TXcDP_ProviderTextOnlyRender::DoDraw() { FCanvas->TextRect(FRect, FRect.left, FRect.top, FText); }

void TXcDP_ProviderTextOnlyRender::DoMeasure(SIZE& Size) { Size = FCanvas->TextExtent(FText); }

// ---- lookup ----

bool DP_FindItemsIntf(IXcDataItem* Item, TIID IID, void** Obj)
{
  TIntf<IXcDataItem> Current(Item);
  while (Current) {
    const TIntf<IXcDataItems> List = Current->GetItems();
    if (!List) return false;
    if (List->QueryInterface(IID, Obj) == XC_S_OK) return true;
    Current = List->GetParent();
  }
  return false;
}

bool DP_FindItemsRenderer(IXcDataItem* Item, TIntf<IXcDataItemsRenderer>& Renderer)
{
  void* P = nullptr;
  if (!DP_FindItemsIntf(Item, IXcDataItemsRenderer::IID, &P)) {
    Renderer = nullptr;
    return false;
  }
  Renderer = TIntf<IXcDataItemsRenderer>::Adopt(static_cast<IXcDataItemsRenderer*>(P));
  return true;
}

TXcProviderDrawStates DP_OwnerDrawStateToProviderDrawStates(std::uint32_t State)
{
  return static_cast<TXcProviderDrawStates>(State & 0xFF);
}

bool IsExtensionSpecificIntf(TIID IID) { return IID == IXcDataContextSensitive::IID; }
