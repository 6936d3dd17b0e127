// The extended list box showing a data provider's items in place of its own: the own items
// wait in the item store's internal list, the window holds one placeholder per row of the
// consumer's view list, rows are drawn and measured through the provider, and the window's text
// and search messages are answered from the consumer's strings.
#include <algorithm>

#include "extctrls/XcDataItemExtensions.h"
#include "extctrls/XcDrawUtils.h"
#include "extctrls/XcItemsSearchs.h"
#include "extctrls/XcListBox.h"

namespace {

const char SInsertLineError[] = "Unable to insert a line";

LRESULT Send(HWND H, UINT Msg, WPARAM W = 0, LPARAM L = 0) { return SendMessageA(H, Msg, W, L); }

}  // namespace

TXcDataConsumerViewList* TXcCustomListBox::ViewList() const
{
  const int Index = FProvider->IndexOfImplClass(TXcDataConsumerViewList::StaticClass());
  return Index < 0 ? nullptr : static_cast<TXcDataConsumerViewList*>(FProvider->Extension(Index));
}

void TXcCustomListBox::ProviderSubSvcCreated(TXcDataConsumer*, TXcDataConsumerAggregatedObject* Svc)
{
  auto* View = dynamic_cast<TXcCustomDataConsumerViewList*>(Svc);
  if (View == nullptr) return;
  View->SetExpandOnNewItem(true);
  View->SetAutoExpandLevel(-1);
  View->RebuildView();
}

void TXcCustomListBox::ProviderChanging(TXcDataConsumer*, TXcConsumerChange Reason)
{
  if (Reason != ccProviderSet) return;
  if (!HandleAllocated() && !Destroying() && (GetParent() != nullptr || GetParentWindow() != nullptr)) HandleNeeded();
  if (FProviderActive && !FProviderSwitching) {
    FProviderActive = false;
    FProviderSwitching = true;
  } else if (!FProviderActive && !FProviderSwitching && !ItemStore()->FUseInternal) {
    MoveItemsToInternal();
  }
}

void TXcCustomListBox::ProviderChanged(TXcDataConsumer*, TXcConsumerChange Reason)
{
  if (Reason == ccProviderSet && !FProviderActive && !FProviderSwitching) {
    // A first provider.
    FProviderSwitching = true;
    FProviderActive = true;
    RecreateWnd();
  } else if (Reason == ccProviderSet && !FProviderActive && FProviderSwitching && ItemStore()->FUseInternal) {
    if (FProvider->GetProvider()) {
      // One provider replaced by another: the list box goes on showing a provider.
      FProviderActive = true;
      RecreateWnd();
    } else if (!Destroying()) {
      RecreateWnd();
      MoveItemsFromInternal();
    }
  }
  if (FProviderActive && (!FProviderSwitching || Reason != ccProviderSet)) {
    SyncProviderItemCount();
    if (HandleAllocated()) Refresh();
  }
  if (Reason == ccProviderSet) FProviderSwitching = false;
}

void TXcCustomListBox::MoveItemsToInternal()
{
  TXcListBoxStrings* Store = ItemStore();
  const bool Window = HandleAllocated();
  if (Window) Send(GetHandle(), WM_SETREDRAW, 0);
  Store->FInternal->Clear();
  // Each text is read at the length the window reports for it.
  while (Store->TListBoxStrings::GetCount() > 0) {
    const String Text = Store->TListBoxStrings::Get(0);
    TObject* Data = Store->TListBoxStrings::GetObject(0);
    Store->TListBoxStrings::Delete(0);
    Store->FInternal->AddObject(Text, Data);
  }
  Store->FUseInternal = true;
  if (Window && !Store->FUpdating) Send(GetHandle(), WM_SETREDRAW, 1);
}

void TXcCustomListBox::MoveItemsFromInternal()
{
  TXcListBoxStrings* Store = ItemStore();
  TStringList* Internal = Store->FInternal.get();
  const bool Window = HandleAllocated();
  if (Window) Send(GetHandle(), WM_SETREDRAW, 0);
  {
    TStringsUpdate Update(Internal);
    Store->FUseInternal = false;
    Store->TListBoxStrings::Clear();
    while (Internal->GetCount() > 0) {
      const int At = Store->TListBoxStrings::Add(Internal->Get(0));
      if (At < 0) throw EOutOfResources(SInsertLineError);
      Store->TListBoxStrings::PutObject(At, Internal->GetObject(0));
      Internal->Delete(0);
    }
  }
  if (Window && !Store->FUpdating) Send(GetHandle(), WM_SETREDRAW, 1);
}

void TXcCustomListBox::SyncProviderItemCount()
{
  if (!HandleAllocated() || !FProviderActive) return;
  TXcDataConsumerViewList* View = ViewList();
  const int Rows = View == nullptr ? 0 : View->Count();
  int Have = static_cast<int>(Send(GetHandle(), LB_GETCOUNT));
  while (Have < Rows) {
    Send(GetHandle(), LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(""));
    ++Have;
  }
  while (Have > Rows) {
    Send(GetHandle(), LB_DELETESTRING, 0);
    --Have;
  }
}

bool TXcCustomListBox::ProviderMessage(TMessage& Message)
{
  TStrings* Shown = FConsumerStrings.get();
  switch (Message.Msg) {
  case LB_GETTEXT:
  case LB_GETTEXTLEN: {
    const int Index = static_cast<int>(Message.WParam);
    if (Index < 0 || Index >= Shown->GetCount()) {
      Message.Result = LB_ERR;
      return true;
    }
    const String Text = Shown->Get(Index);
    if (Message.Msg == LB_GETTEXT && Message.LParam != 0) {
      char* Buffer = reinterpret_cast<char*>(Message.LParam);
      std::copy(Text.begin(), Text.end(), Buffer);
      Buffer[Text.size()] = '\0';
    }
    Message.Result = static_cast<LRESULT>(Text.size());
    return true;
  }
  case LB_FINDSTRING:
  case LB_FINDSTRINGEXACT:
  case LB_SELECTSTRING: {
    const String Text = Message.LParam != 0 ? String(reinterpret_cast<const char*>(Message.LParam)) : String();
    const int Start = static_cast<int>(Message.WParam);
    const int Found = Message.Msg == LB_FINDSTRING ? TXcItemsSearchs::FindPrefix(Shown, Text, Start, false)
                                                   : TXcItemsSearchs::FindExact(Shown, Text, Start, false);
    if (Message.Msg == LB_SELECTSTRING && Found >= 0) Send(GetHandle(), LB_SETCURSEL, static_cast<WPARAM>(Found));
    Message.Result = Found;
    return true;
  }
  default: return false;
  }
}

void TXcCustomListBox::DrawProviderItem(int Index, TRect Rect, TOwnerDrawState State)
{
  TXcProviderDrawStates DrawState = DP_OwnerDrawStateToProviderDrawStates(State);
  if (!GetEnabled()) DrawState |= pdsGrayed | pdsDisabled;
  TCanvas* Canvas = GetCanvas();
  TXcConsumerAccess Access(FProvider);
  TXcDataConsumerViewList* View = ViewList();
  if (View == nullptr || Index >= View->Count()) return;
  const TIntf<IXcDataItem> Item = View->Item(Index);
  if (!Item) return;
  Rect.left += View->ItemLevel(Index) * View->GetLevelIndent();
  if (const auto Self = Supports<IXcDataItemRenderer>(static_cast<IInterface*>(Item.Get()))) {
    Self->Draw(Canvas, Rect, DrawState);
    return;
  }
  TIntf<IXcDataItemsRenderer> Renderer;
  if (DP_FindItemsRenderer(Item.Get(), Renderer)) {
    Renderer->DrawItem(Canvas, Rect, Item.Get(), DrawState);
    return;
  }
  const auto Text = Supports<IXcDataItemText>(static_cast<IInterface*>(Item.Get()));
  String S = Text ? Text->GetText() : String(XcNoItemTextText);
  DoGetText(Index, S);
  Canvas->TextRect(Rect, Rect.left, Rect.top, S);
}

void TXcCustomListBox::MeasureProviderItem(int Index, int& Width, int& Height)
{
  TCanvas* Canvas = GetCanvas();
  Canvas->GetFont()->Assign(GetFont());
  SIZE Size{GetClientWidth() - 4, CanvasFontHeight(Canvas)};
  {
    TXcConsumerAccess Access(FProvider);
    TXcDataConsumerViewList* View = ViewList();
    const TIntf<IXcDataItem> Item = View != nullptr && Index < View->Count() ? View->Item(Index) : nullptr;
    if (Item) {
      TIntf<IXcDataItemsRenderer> Renderer;
      if (const auto Self = Supports<IXcDataItemRenderer>(static_cast<IInterface*>(Item.Get()))) {
        Size = Self->Measure(Canvas);
      } else if (DP_FindItemsRenderer(Item.Get(), Renderer)) {
        Size = Renderer->MeasureItem(Canvas, Item.Get());
      } else {
        const auto Text = Supports<IXcDataItemText>(static_cast<IInterface*>(Item.Get()));
        Size = Canvas->TextExtent(Text ? Text->GetText() : String(XcNoItemTextText));
      }
      Size.cx += View->ItemLevel(Index) * View->GetLevelIndent();
    }
  }
  Width = Size.cx;
  Height = std::max(std::min(static_cast<int>(Size.cy), 255), GetItemHeight());
}
