#include "skin/input/SkinRichEdit.h"

#include "skin/foundation/SkinLayered.h"

TskSkinRichEdit::TskSkinRichEdit(TComponent* AOwner) : TCustomRichEdit(AOwner), FBars(this)
{
  FDefaultFont = NewViewDefaultFont();
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
  if (SetViewSkinData(this, FSkinData, Value))
    ChangeSkinData();
}

void TskSkinRichEdit::SetVScrollBar(IskScrollBarLink* Bar)
{
  FBars.Link(true, Bar, false);
  if (Bar) {
    Bar->OnUpButtonClick = [this](TObject*) { VScrollLineDown(); };
    Bar->OnDownButtonClick = [this](TObject*) { VScrollLineUp(); };
  }
  SyncScrollBars();
}

void TskSkinRichEdit::SetHScrollBar(IskScrollBarLink* Bar)
{
  FBars.Link(false, Bar, false);
  SyncScrollBars();
}

void TskSkinRichEdit::Notification(TComponent* AComponent, TOperation Operation)
{
  TCustomRichEdit::Notification(AComponent, Operation);
  if (Operation != opRemove)
    return;
  if (AComponent == FSkinData)
    FSkinData = nullptr;
  FBars.Forget(AComponent);
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
  if (FSkinSupport)
    ApplyViewLook(this, FIndex, look, true, FDefaultColor, FDefaultFont.get());
  GetFont()->SetCharset(ViewCharset(FSkinData, FDefaultFont.get()));
  SyncScrollBars();
  FBars.Realign();
}

void TskSkinRichEdit::SyncScrollBars()
{
  if (!HandleAllocated())
    return;
  auto sync = [this](bool Vertical, LONG ObjectId) {
    IskScrollBarLink* Bar = FBars.Bar(Vertical);
    if (!Bar)
      return;
    const SCROLLINFO si = FBars.ScrollInfo(Vertical, SIF_RANGE | SIF_PAGE | SIF_POS | SIF_TRACKPOS);
    SCROLLBARINFO info{};
    info.cbSize = sizeof(info);
    QueryScrollBarInfo(GetHandle(), ObjectId, info);
    if (info.rgstate[0] & STATE_SYSTEM_INVISIBLE) {
      // Nothing to scroll.
      Bar->SetBarEnabled(false);
      SetScrollRange(GetHandle(), Vertical ? SB_VERT : SB_HORZ, 0, 0, FALSE);
      return;
    }
    Bar->SetBarEnabled(true);
    Bar->SetRange(si.nMin, si.nMax, si.nPos, static_cast<int>(si.nPage));
  };
  sync(true, OBJID_VSCROLL);
  sync(false, OBJID_HSCROLL);
}

void TskSkinRichEdit::VScrollLineDown()
{
  IskScrollBarLink* bar = FBars.V.Bar;
  if (!bar || !HandleAllocated())
    return;
  if (bar->GetPosition() < bar->GetMax() - bar->GetPageSize() + 1)
    SendMessageA(GetHandle(), WM_VSCROLL, SB_LINEDOWN, 0);
  SyncScrollBars();
}

void TskSkinRichEdit::VScrollLineUp()
{
  IskScrollBarLink* bar = FBars.V.Bar;
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
