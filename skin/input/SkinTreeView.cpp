#include "skin/input/SkinTreeView.h"

#include "platform/vcl/ImgList.h"
#include "platform/vcl/ViewCtrlsConsts.h"
#include "skin/controls/SkinControlGeometry.h"

TskSkinCustomTreeView::TskSkinCustomTreeView(TComponent* AOwner) : TCustomTreeView(AOwner), FBars(this)
{
  FDefaultFont = NewViewDefaultFont();
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
  if (SetViewSkinData(this, FSkinData, Value))
    ChangeSkinData();
}

void TskSkinCustomTreeView::SetVScrollBar(IskScrollBarLink* Bar)
{
  FBars.Link(true, Bar, true);
  SyncScrollBars();
}

void TskSkinCustomTreeView::SetHScrollBar(IskScrollBarLink* Bar)
{
  FBars.Link(false, Bar, true);
  SyncScrollBars();
}

void TskSkinCustomTreeView::Notification(TComponent* AComponent, TOperation Operation)
{
  TCustomTreeView::Notification(AComponent, Operation);
  if (Operation != opRemove)
    return;
  if (AComponent == FSkinData)
    FSkinData = nullptr;
  FBars.Forget(AComponent);
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
  ApplyViewLook(this, FIndex, look, FUseSkinFont, FDefaultColor, FDefaultFont.get());
  GetFont()->SetCharset(ViewCharset(FSkinData, FDefaultFont.get()));
  if (GetImages())
    GetImages()->SetBkColor(GetColor());
  if (GetStateImages())
    GetStateImages()->SetBkColor(GetColor());
  SyncScrollBars();
  FBars.Realign();
}

void TskSkinCustomTreeView::Change(TTreeNode* Node)
{
  TCustomTreeView::Change(Node);
  SyncScrollBars();
}

void TskSkinCustomTreeView::SyncScrollBars()
{
  if ((GetComponentState() & csLoading) || FBars.Synchronising || !HandleAllocated())
    return;
  bool changed = false;
  if (IskScrollBarLink* v = FBars.V.Bar) {
    const SCROLLINFO si = FBars.ScrollInfo(true);
    const int visibleItems = static_cast<int>(SendMessageA(GetHandle(), TVM_GETVISIBLECOUNT, 0, 0));
    const int count = static_cast<int>(SendMessageA(GetHandle(), TVM_GETCOUNT, 0, 0));
    const bool show = si.nMax > 0 && visibleItems <= si.nMax && si.nMax < count && GetVisible();
    changed |= FBars.Show(v, show);
    FBars.Follow(v, si, visibleItems);
  }
  if (IskScrollBarLink* h = FBars.H.Bar) {
    const SCROLLINFO si = FBars.ScrollInfo(false);
    changed |= FBars.Show(h, GetWidth() < si.nMax && GetVisible());
    FBars.Follow(h, si, GetWidth());
  }
  FBars.Finish(changed);
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
    FBars.SetVisible(GetVisible());
    break;
  case WM_SIZE:
    if (!FBars.Synchronising)
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
