#include "skin/input/SkinTreeView.h"

#include "platform/vcl/ImgList.h"
#include "platform/vcl/ViewCtrlsConsts.h"
#include "skin/controls/SkinControlGeometry.h"

TskSkinCustomTreeView::TskSkinCustomTreeView(TComponent* AOwner) : TCustomTreeView(AOwner)
{
  FDefaultFont = std::make_unique<TFont>();
  FDefaultFont->SetName("Arial");
  FDefaultFont->SetHeight(14);
  FDefaultFont->SetStyle(0);
}

TskSkinCustomTreeView::~TskSkinCustomTreeView() = default;

void TskSkinCustomTreeView::SetDefaultFont(TFont* Value)
{
  FDefaultFont->Assign(Value);
  if (FIndex == -1)
    GetFont()->Assign(Value);
}

void TskSkinCustomTreeView::SetSkinData(TskSkinData* Value)
{
  if (FSkinData)
    FSkinData->RemoveFreeNotification(this);
  FSkinData = Value;
  if (FSkinData)
    FSkinData->FreeNotification(this);
  if (FSkinData && !FSkinData->Empty && !(GetComponentState() & csDesigning))
    ChangeSkinData();
}

void TskSkinCustomTreeView::SetVScrollBar(IskScrollBarLink* Bar)
{
  FVScrollBar.Link(this, Bar);
  if (Bar) {
    Bar->SetBarEnabled(true);
    Bar->SetBarVisible(false);
    Bar->OnChange = [this](TObject*) { VScrollChanged(); };
  }
  SyncScrollBars();
}

void TskSkinCustomTreeView::SetHScrollBar(IskScrollBarLink* Bar)
{
  FHScrollBar.Link(this, Bar);
  if (Bar) {
    Bar->SetBarEnabled(true);
    Bar->SetBarVisible(false);
    Bar->OnChange = [this](TObject*) { HScrollChanged(); };
  }
  SyncScrollBars();
}

void TskSkinCustomTreeView::Notification(TComponent* AComponent, TOperation Operation)
{
  TCustomTreeView::Notification(AComponent, Operation);
  if (Operation != opRemove)
    return;
  if (AComponent == FSkinData)
    FSkinData = nullptr;
  FVScrollBar.Forget(AComponent);
  FHScrollBar.Forget(AComponent);
}

void TskSkinCustomTreeView::Loaded()
{
  TCustomTreeView::Loaded();
  ChangeSkinData();
}

void TskSkinCustomTreeView::CreateParams(TCreateParams& Params)
{
  TCustomTreeView::CreateParams(Params);
  Params.Style &= ~(WS_VSCROLL | WS_HSCROLL);
}

void TskSkinCustomTreeView::ChangeSkinData()
{
  if (GetComponentState() & csLoading)
    return;
  TskViewLook look;
  FIndex = FindViewLook<TskDataSkinTreeView>(FSkinData, FSkinDataName, look);
  if (FIndex == -1) {
    SetColor(FDefaultColor);
    GetFont()->Assign(FDefaultFont.get());
  } else if (look.Found) {
    ApplyViewFont(look, FUseSkinFont, GetFont(), FDefaultFont.get());
    SetColor(look.BGColor);
  }
  GetFont()->SetCharset(ViewCharset(FSkinData, FDefaultFont.get()));
  if (GetImages())
    GetImages()->SetBkColor(GetColor());
  if (GetStateImages())
    GetStateImages()->SetBkColor(GetColor());
  SyncScrollBars();
  RealignBar(FVScrollBar.Bar);
  RealignBar(FHScrollBar.Bar);
}

void TskSkinCustomTreeView::Change(TTreeNode* Node)
{
  TCustomTreeView::Change(Node);
  SyncScrollBars();
}

void TskSkinCustomTreeView::SyncScrollBars()
{
  if ((GetComponentState() & csLoading) || FSynchronising || !HandleAllocated())
    return;
  bool changed = false;
  IskScrollBarLink* v = FVScrollBar.Bar;
  IskScrollBarLink* h = FHScrollBar.Bar;
  if (v) {
    SCROLLINFO si{};
    si.cbSize = sizeof(si);
    si.fMask = SIF_RANGE | SIF_POS;
    GetScrollInfo(GetHandle(), SB_VERT, &si);
    const int visibleItems = static_cast<int>(SendMessageA(GetHandle(), TVM_GETVISIBLECOUNT, 0, 0));
    const int count = static_cast<int>(SendMessageA(GetHandle(), TVM_GETCOUNT, 0, 0));
    const bool show = si.nMax > 0 && visibleItems <= si.nMax && si.nMax < count && GetVisible();
    FSynchronising = true;
    if (v->GetBarVisible() != show) {
      v->SetBarVisible(show);
      changed = true;
    }
    FSynchronising = false;
    if (show)
      v->SetRange(si.nMin, si.nMax, si.nPos, visibleItems);
  }
  if (h) {
    SCROLLINFO si{};
    si.cbSize = sizeof(si);
    si.fMask = SIF_RANGE | SIF_POS;
    GetScrollInfo(GetHandle(), SB_HORZ, &si);
    const bool show = GetWidth() < si.nMax && GetVisible();
    FSynchronising = true;
    if (h->GetBarVisible() != show) {
      h->SetBarVisible(show);
      changed = true;
    }
    FSynchronising = false;
    if (show)
      h->SetRange(si.nMin, si.nMax, si.nPos, GetWidth());
  }
  if (v && h && h->GetBoth() != v->GetBarVisible())
    h->SetBoth(v->GetBarVisible());
  if (changed && GetAlign() != alNone && GetParent()) {
    FSynchronising = true;
    GetParent()->Realign();
    FSynchronising = false;
  }
}

void TskSkinCustomTreeView::VScrollChanged()
{
  if (FVScrollBar.Bar && HandleAllocated())
    SendViewThumbPosition(GetHandle(), true, FVScrollBar.Bar->GetPosition());
}

void TskSkinCustomTreeView::HScrollChanged()
{
  if (FHScrollBar.Bar && HandleAllocated())
    SendViewThumbPosition(GetHandle(), false, FHScrollBar.Bar->GetPosition());
}

void TskSkinCustomTreeView::WndProc(TMessage& Message)
{
  switch (Message.Msg) {
  case WM_NCCALCSIZE:
  case WM_NCPAINT:
    Message.Result = 0;
    return;
  case SkinControlQueryMessage:
    Message.Result = SkinControlQueryAnswer;
    return;
  default:
    break;
  }
  TCustomTreeView::WndProc(Message);
  switch (Message.Msg) {
  case CM_VISIBLECHANGED:
    if (FVScrollBar.Bar)
      FVScrollBar.Bar->SetBarVisible(GetVisible());
    if (FHScrollBar.Bar)
      FHScrollBar.Bar->SetBarVisible(GetVisible());
    break;
  case WM_SIZE:
    if (!FSynchronising)
      SyncScrollBars();
    break;
  case WM_PAINT:
  case WM_KEYDOWN:
  case WM_LBUTTONUP:
    SyncScrollBars();
    break;
  default:
    break;
  }
}
