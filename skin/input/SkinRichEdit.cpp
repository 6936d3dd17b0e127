#include "skin/input/SkinRichEdit.h"

#include "skin/foundation/SkinLayered.h"

TskSkinRichEdit::TskSkinRichEdit(TComponent* AOwner) : TCustomRichEdit(AOwner)
{
  FDefaultFont = std::make_unique<TFont>();
  FDefaultFont->SetName("Arial");
  FDefaultFont->SetHeight(14);
  FDefaultFont->SetStyle(0);
  GetFont()->Assign(FDefaultFont.get());
  SetScrollBars(ssBoth);
}

TskSkinRichEdit::~TskSkinRichEdit() = default;

void TskSkinRichEdit::SetDefaultFont(TFont* Value)
{
  FDefaultFont->Assign(Value);
  if (FIndex == -1 && FSkinSupport)
    GetFont()->Assign(Value);
}

void TskSkinRichEdit::SetDefaultColor(TColor Value)
{
  FDefaultColor = Value;
  if (FIndex == -1 && FSkinSupport)
    SetColor(Value);
}

void TskSkinRichEdit::SetSkinData(TskSkinData* Value)
{
  if (FSkinData)
    FSkinData->RemoveFreeNotification(this);
  FSkinData = Value;
  if (FSkinData)
    FSkinData->FreeNotification(this);
  if (FSkinData && !FSkinData->Empty && !(GetComponentState() & csDesigning))
    ChangeSkinData();
}

void TskSkinRichEdit::SetVScrollBar(IskScrollBarLink* Bar)
{
  FVScrollBar.Link(this, Bar);
  if (Bar) {
    Bar->OnChange = [this](TObject*) { VScrollChanged(); };
    Bar->OnUpButtonClick = [this](TObject*) { VScrollLineDown(); };
    Bar->OnDownButtonClick = [this](TObject*) { VScrollLineUp(); };
  }
  SyncScrollBars();
}

void TskSkinRichEdit::SetHScrollBar(IskScrollBarLink* Bar)
{
  FHScrollBar.Link(this, Bar);
  if (Bar)
    Bar->OnChange = [this](TObject*) { HScrollChanged(); };
  SyncScrollBars();
}

void TskSkinRichEdit::Notification(TComponent* AComponent, TOperation Operation)
{
  TCustomRichEdit::Notification(AComponent, Operation);
  if (Operation != opRemove)
    return;
  if (AComponent == FSkinData)
    FSkinData = nullptr;
  FVScrollBar.Forget(AComponent);
  FHScrollBar.Forget(AComponent);
}

void TskSkinRichEdit::Loaded()
{
  TCustomRichEdit::Loaded();
  ChangeSkinData();
}

void TskSkinRichEdit::CreateParams(TCreateParams& Params)
{
  TCustomRichEdit::CreateParams(Params);
  Params.Style &= ~WS_BORDER;
  Params.ExStyle &= ~WS_EX_CLIENTEDGE;
}

void TskSkinRichEdit::Change()
{
  TCustomRichEdit::Change();
  SyncScrollBars();
}

void TskSkinRichEdit::ChangeSkinData()
{
  TskViewLook look;
  FIndex = FindViewLook<TskDataSkinRichEdit>(FSkinData, FSkinDataName, look);
  if (FSkinSupport) {
    if (FIndex == -1) {
      SetColor(FDefaultColor);
      GetFont()->Assign(FDefaultFont.get());
    } else if (look.Found) {
      ApplyViewFont(look, true, GetFont(), FDefaultFont.get());
      SetColor(look.BGColor);
    }
  }
  GetFont()->SetCharset(ViewCharset(FSkinData, FDefaultFont.get()));
  SyncScrollBars();
  RealignBar(FVScrollBar.Bar);
  RealignBar(FHScrollBar.Bar);
}

void TskSkinRichEdit::SyncScrollBars()
{
  if (!HandleAllocated())
    return;
  auto sync = [this](IskScrollBarLink* Bar, int Which, LONG ObjectId) {
    if (!Bar)
      return;
    SCROLLINFO si{};
    si.cbSize = sizeof(si);
    si.fMask = SIF_RANGE | SIF_PAGE | SIF_POS | SIF_TRACKPOS;
    GetScrollInfo(GetHandle(), Which, &si);
    SCROLLBARINFO info{};
    info.cbSize = sizeof(info);
    QueryScrollBarInfo(GetHandle(), ObjectId, info);
    if (info.rgstate[0] & STATE_SYSTEM_INVISIBLE) {
      // Nothing to scroll.
      Bar->SetBarEnabled(false);
      SetScrollRange(GetHandle(), Which, 0, 0, FALSE);
      return;
    }
    Bar->SetBarEnabled(true);
    Bar->SetRange(si.nMin, si.nMax, si.nPos, static_cast<int>(si.nPage));
  };
  sync(FVScrollBar.Bar, SB_VERT, OBJID_VSCROLL);
  sync(FHScrollBar.Bar, SB_HORZ, OBJID_HSCROLL);
}

void TskSkinRichEdit::VScrollChanged()
{
  if (FVScrollBar.Bar && HandleAllocated())
    SendViewThumbPosition(GetHandle(), true, FVScrollBar.Bar->GetPosition());
}

void TskSkinRichEdit::HScrollChanged()
{
  if (FHScrollBar.Bar && HandleAllocated())
    SendViewThumbPosition(GetHandle(), false, FHScrollBar.Bar->GetPosition());
}

void TskSkinRichEdit::VScrollLineDown()
{
  IskScrollBarLink* bar = FVScrollBar.Bar;
  if (!bar || !HandleAllocated())
    return;
  if (bar->GetPosition() < bar->GetMax() - bar->GetPageSize() + 1)
    SendMessageA(GetHandle(), WM_VSCROLL, SB_LINEDOWN, 0);
  SyncScrollBars();
}

void TskSkinRichEdit::VScrollLineUp()
{
  IskScrollBarLink* bar = FVScrollBar.Bar;
  if (!bar || !HandleAllocated())
    return;
  if (bar->GetPosition() != 0)
    SendMessageA(GetHandle(), WM_VSCROLL, SB_LINEUP, 0);
  SyncScrollBars();
}

void TskSkinRichEdit::WndProc(TMessage& Message)
{
  if (Message.Msg == WM_NCCALCSIZE) {
    Message.Result = 0;
    return;
  }
  TCustomRichEdit::WndProc(Message);
  switch (Message.Msg) {
  case WM_SIZE:
  case WM_KEYDOWN:
  case WM_LBUTTONDOWN:
  case WM_LBUTTONUP:
  case WM_MOUSEWHEEL:
    SyncScrollBars();
    break;
  default:
    break;
  }
}
