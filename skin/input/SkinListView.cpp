#include "skin/input/SkinListView.h"

#include <map>

#include "platform/gdi/Gdi.h"
#include "platform/vcl/ImgList.h"
#include "platform/vcl/ViewCtrlsConsts.h"
#include "skin/controls/SkinControlGeometry.h"
#include "skin/foundation/SkinDrawUtils.h"
#include "skin/foundation/SkinImages.h"
#include "skin/foundation/SkinStripImages.h"

namespace {

// The skinned views whose headers are subclassed, by header window.
std::map<HWND, TskSkinCustomListView*>& HeaderOwners()
{
  static std::map<HWND, TskSkinCustomListView*> owners;
  return owners;
}

constexpr UINT PaintHeaderMessage = 0xB1C8;

} // namespace

TskSkinCustomListView::TskSkinCustomListView(TComponent* AOwner) : TCustomListView(AOwner), FBars(this)
{
  FDefaultFont = NewViewDefaultFont();
  GetFont()->Assign(FDefaultFont.get());
}

TskSkinCustomListView::~TskSkinCustomListView() { ReleaseHeader(); }

void TskSkinCustomListView::SetDefaultFont(TFont* Value)
{
  FDefaultFont->Assign(Value);
  if (FIndex == -1)
    GetFont()->Assign(Value);
}

void TskSkinCustomListView::SetSkinData(TskSkinData* Value)
{
  if (SetViewSkinData(this, FSkinData, Value))
    ChangeSkinData();
}

void TskSkinCustomListView::SetVScrollBar(IskScrollBarLink* Bar)
{
  FBars.Link(true, Bar, true, [this] { VScrollChanged(); });
  SyncScrollBars();
}

void TskSkinCustomListView::SetHScrollBar(IskScrollBarLink* Bar)
{
  FBars.Link(false, Bar, true, [this] { HScrollChanged(); });
  SyncScrollBars();
}

void TskSkinCustomListView::Notification(TComponent* AComponent, TOperation Operation)
{
  TCustomListView::Notification(AComponent, Operation);
  if (Operation != opRemove)
    return;
  if (AComponent == FSkinData)
    FSkinData = nullptr;
  FBars.Forget(AComponent);
}

void TskSkinCustomListView::Loaded()
{
  FBars.Synchronising = true;
  TCustomListView::Loaded();
  FBars.Synchronising = false;
  ChangeSkinData();
}

void TskSkinCustomListView::CreateParams(TCreateParams& Params)
{
  TCustomListView::CreateParams(Params);
  Params.Style &= ~(WS_VSCROLL | WS_HSCROLL);
}

void TskSkinCustomListView::CreateWnd()
{
  TCustomListView::CreateWnd();
  // A header made while the window was being created told no one: take it now.
  if (GetShowColumnHeaders() && !FHeader) {
    HWND header = reinterpret_cast<HWND>(SendMessageA(GetHandle(), LVM_GETHEADER, 0, 0));
    if (header)
      SubclassHeader(header);
  }
}

void TskSkinCustomListView::Change(TListItem* Item, TItemChange AChange)
{
  TCustomListView::Change(Item, AChange);
  if (!FBars.Synchronising)
    SyncScrollBars();
}

// ----- skin -----

void TskSkinCustomListView::ChangeSkinData()
{
  if (GetComponentState() & csLoading)
    return;
  TskViewLook look;
  FIndex = FindViewLook<TskDataSkinListView>(FSkinData, FSkinDataName, look);
  ApplyViewLook(this, FIndex, look, FUseSkinFont, FDefaultColor, FDefaultFont.get());
  GetFont()->SetCharset(ViewCharset(FSkinData, FDefaultFont.get()));
  SyncScrollBars();
  FBars.Realign();
  if (GetViewStyle() == vsReport && FHeader)
    InvalidateHeader(true);
}

void TskSkinCustomListView::GetHeaderSkinData()
{
  FHeaderIndex = FindSkinControlIndex(FSkinData, FHeaderSkinDataName);
  auto* r = dynamic_cast<TskDataSkinButtonControl*>(SkinControlRecord(FSkinData, FHeaderIndex));
  if (!r) {
    Picture = nullptr;
    return;
  }
  LTPoint = r->lefttoppoint;
  RTPoint = r->righttoppoint;
  LBPoint = r->leftbottompoint;
  RBPoint = r->rightbottompoint;
  SkinRect = r->skinrect;
  ClRect = r->clientrect;
  StretchEffect = r->stretcheffect;
  LeftStretch = r->leftstretch;
  TopStretch = r->topstretch;
  RightStretch = r->rightstretch;
  BottomStretch = r->bottomstretch;
  StretchType = r->stretchtype;
  Picture = SkinPicture(FSkinData, r->pictureindex);
  FontColor = r->fontcolor;
  DownFontColor = r->downfontcolor;
  ActiveSkinRect = (RectWidth(r->activeskinrect) <= 0 || RectHeight(r->activeskinrect) <= 0) ? SkinRect
                                                                                             : r->activeskinrect;
  DownSkinRect = (RectWidth(r->downskinrect) <= 0 || RectHeight(r->downskinrect) <= 0) ? ActiveSkinRect
                                                                                     : r->downskinrect;
}

// ----- scroll bars -----

int TskSkinCustomListView::ItemHeight()
{
  if (GetItems()->GetCount() == 0 || !HandleAllocated())
    return 0;
  RECT r{};
  r.left = LVIR_BOUNDS;
  SendMessageA(GetHandle(), LVM_GETITEMRECT, 0, reinterpret_cast<LPARAM>(&r));
  return r.bottom - r.top;
}

int TskSkinCustomListView::ItemWidth()
{
  if (GetItems()->GetCount() == 0 || !HandleAllocated())
    return 0;
  RECT r{};
  r.left = LVIR_BOUNDS;
  SendMessageA(GetHandle(), LVM_GETITEMRECT, 0, reinterpret_cast<LPARAM>(&r));
  return r.right - r.left;
}

void TskSkinCustomListView::SyncScrollBars()
{
  if (!HandleAllocated() || FScrolling || GetWidth() <= 5 || GetHeight() <= 5 || FBars.Synchronising)
    return;
  switch (GetViewStyle()) {
  case vsIcon:
  case vsSmallIcon:
    SyncIcons();
    break;
  case vsList:
    SyncList();
    break;
  case vsReport:
    SyncReport();
    break;
  }
}

void TskSkinCustomListView::SyncIcons()
{
  bool changed = false;
  const int step = std::max(ItemHeight() / 2, 1);
  if (IskScrollBarLink* v = FBars.V.Bar) {
    const SCROLLINFO si = FBars.ScrollInfo(true);
    changed |= FBars.Show(v, si.nMax > GetHeight() && GetVisible());
    FBars.Follow(v, si, GetHeight(), step, step, &FLastVPosition);
  }
  if (IskScrollBarLink* h = FBars.H.Bar) {
    const SCROLLINFO si = FBars.ScrollInfo(false);
    changed |= FBars.Show(h, si.nMax > GetWidth() && GetVisible());
    FBars.Follow(h, si, GetWidth(), step, step, &FLastHPosition);
  }
  FBars.Finish(changed);
}

void TskSkinCustomListView::SyncList()
{
  bool changed = false;
  if (IskScrollBarLink* v = FBars.V.Bar)
    changed |= FBars.Show(v, false);
  if (IskScrollBarLink* h = FBars.H.Bar) {
    const SCROLLINFO si = FBars.ScrollInfo(false);
    const int perPage = static_cast<int>(SendMessageA(GetHandle(), LVM_GETCOUNTPERPAGE, 0, 0));
    changed |= FBars.Show(h, perPage < GetItems()->GetCount() && GetVisible());
    if (h->GetBarVisible())
      FBars.Follow(h, si, GetWidth() / std::max(ItemWidth(), 1), 1, 1, &FLastHPosition);
  }
  FBars.Finish(changed);
}

void TskSkinCustomListView::SyncReport()
{
  bool changed = false;
  const int perPage = static_cast<int>(SendMessageA(GetHandle(), LVM_GETCOUNTPERPAGE, 0, 0));
  if (IskScrollBarLink* v = FBars.V.Bar) {
    const SCROLLINFO si = FBars.ScrollInfo(true);
    changed |= FBars.Show(v, perPage < si.nMax + 1 && GetVisible());
    FBars.Follow(v, si, perPage, 1, std::max(perPage, 1), &FLastVPosition);
  }
  if (IskScrollBarLink* h = FBars.H.Bar) {
    const SCROLLINFO si = FBars.ScrollInfo(false);
    changed |= FBars.Show(h, si.nMax > GetWidth() && GetVisible());
    FBars.Follow(h, si, GetWidth(), 0, 0, &FLastHPosition);
  }
  FBars.Finish(changed);
}

void TskSkinCustomListView::VScrollChanged()
{
  IskScrollBarLink* v = FBars.V.Bar;
  if (!v || !HandleAllocated())
    return;
  FScrolling = true;
  long long d = static_cast<long long>(v->GetPosition()) - FLastVPosition;
  if (GetViewStyle() == vsList || GetViewStyle() == vsReport)
    d *= ItemHeight();
  Scroll(0, static_cast<int>(std::clamp<long long>(d, INT32_MIN, INT32_MAX)));
  FLastVPosition = v->GetPosition();
  FScrolling = false;
}

void TskSkinCustomListView::HScrollChanged()
{
  IskScrollBarLink* h = FBars.H.Bar;
  if (!h || !HandleAllocated())
    return;
  FScrolling = true;
  const int position = h->GetPosition();
  if (GetViewStyle() == vsList) {
    for (int i = FLastHPosition; i < position; ++i)
      SendMessageA(GetHandle(), WM_HSCROLL, SB_LINERIGHT, 0);
    for (int i = position; i < FLastHPosition; ++i)
      SendMessageA(GetHandle(), WM_HSCROLL, SB_LINELEFT, 0);
  } else {
    Scroll(position - FLastHPosition, 0);
  }
  FLastHPosition = position;
  FScrolling = false;
}

// ----- header -----

void TskSkinCustomListView::SubclassHeader(HWND Header)
{
  ReleaseHeader();
  FHeader = Header;
  FHeaderOldProc = reinterpret_cast<WNDPROC>(GetWindowLongPtrA(Header, GWLP_WNDPROC));
  HeaderOwners()[Header] = this;
  SetWindowLongPtrA(Header, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&TskSkinCustomListView::HeaderProc));
}

void TskSkinCustomListView::ReleaseHeader()
{
  if (!FHeader)
    return;
  if (IsWindow(FHeader))
    SetWindowLongPtrA(FHeader, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(FHeaderOldProc));
  HeaderOwners().erase(FHeader);
  FHeader = nullptr;
  FHeaderOldProc = nullptr;
}

void TskSkinCustomListView::InvalidateHeader(bool Erase)
{
  if (FHeader && IsWindow(FHeader))
    InvalidateRect(FHeader, nullptr, Erase ? TRUE : FALSE);
}

LRESULT TskSkinCustomListView::HeaderProc(HWND Wnd, UINT Msg, WPARAM WParam, LPARAM LParam)
{
  auto it = HeaderOwners().find(Wnd);
  if (it == HeaderOwners().end())
    return DefWindowProcA(Wnd, Msg, WParam, LParam);
  return it->second->HeaderWndProc(Msg, WParam, LParam);
}

LRESULT TskSkinCustomListView::HeaderWndProc(UINT Msg, WPARAM WParam, LPARAM LParam)
{
  const HWND header = FHeader;
  const WNDPROC old = FHeaderOldProc;
  if (Msg == WM_NCDESTROY) {
    // The header goes with its list window: forget it, then let it finish.
    HeaderOwners().erase(header);
    SetWindowLongPtrA(header, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(old));
    FHeader = nullptr;
    FHeaderOldProc = nullptr;
    return CallWindowProcA(old, header, Msg, WParam, LParam);
  }
  switch (Msg) {
  case WM_WINDOWPOSCHANGING: {
    auto* pos = reinterpret_cast<WINDOWPOS*>(LParam);
    if (pos && !(pos->flags & SWP_NOSIZE))
      pos->cx += 25;
    return 0;
  }
  case WM_PAINT:
    PaintHeader(reinterpret_cast<HDC>(WParam));
    return 0;
  case WM_ERASEBKGND:
    return 1;
  default:
    break;
  }
  const LRESULT result = CallWindowProcA(old, header, Msg, WParam, LParam);
  switch (Msg) {
  case WM_MOUSEMOVE:
    if (FHeaderResizing)
      RedrawWindow(header, nullptr, nullptr, RDW_INVALIDATE);
    break;
  case WM_LBUTTONDOWN: {
    const POINT p{static_cast<short>(LOWORD(LParam)), static_cast<short>(HIWORD(LParam))};
    FPressedSection = -1;
    const int count = static_cast<int>(SendMessageA(header, HDM_GETITEMCOUNT, 0, 0));
    for (int i = 0; i < count; ++i) {
      const TRect r = HeaderSectionRect(i);
      if (p.x >= r.left && p.x < r.right && p.y >= r.top && p.y < r.bottom) {
        FPressedSection = i;
        break;
      }
    }
    HDHITTESTINFO hit{};
    hit.pt = p;
    SendMessageA(header, HDM_HITTEST, 0, reinterpret_cast<LPARAM>(&hit));
    FSectionPressed = !(hit.flags & HHT_ONDIVIDER);
    FHeaderResizing = (hit.flags & HHT_ONDIVIDER) != 0;
    InvalidateHeader(false);
    break;
  }
  case WM_LBUTTONUP:
    FSectionPressed = false;
    FPressedSection = -1;
    InvalidateHeader(false);
    break;
  default:
    break;
  }
  return result;
}

TRect TskSkinCustomListView::HeaderSectionRect(int Index)
{
  if (!FHeader)
    return TRect{};
  if (GetFullDrag()) {
    const int count = static_cast<int>(SendMessageA(FHeader, HDM_GETITEMCOUNT, 0, 0));
    std::vector<int> order(static_cast<size_t>(std::max(count, 0)));
    if (count > 0 && Index >= 0 && Index < count &&
        SendMessageA(FHeader, HDM_GETORDERARRAY, static_cast<WPARAM>(count), reinterpret_cast<LPARAM>(order.data())))
      Index = order[static_cast<size_t>(Index)];
  }
  RECT r{};
  SendMessageA(FHeader, HDM_GETITEMRECT, static_cast<WPARAM>(Index), reinterpret_cast<LPARAM>(&r));
  return r;
}

void TskSkinCustomListView::PaintHeader(HDC DC)
{
  if (!FHeader)
    return;
  PAINTSTRUCT ps{};
  const bool own = DC == nullptr;
  if (own)
    DC = BeginPaint(FHeader, &ps);
  {
    TCanvas canvas;
    canvas.SetHandle(DC);
    GetHeaderSkinData();
    RECT client{};
    ::GetClientRect(FHeader, &client);
    const int count = static_cast<int>(SendMessageA(FHeader, HDM_GETITEMCOUNT, 0, 0));
    int right = 0;
    for (int i = 0; i < count; ++i) {
      const TRect r = HeaderSectionRect(i);
      TListColumn* column = i < GetColumns()->GetCount() ? GetColumns()->GetItem(i) : nullptr;
      DrawHeaderSection(&canvas, column, i == FPressedSection && FSectionPressed, r);
      right = std::max(right, static_cast<int>(r.right));
    }
    const TRect rest{right, 0, client.right + 1, client.bottom};
    if (rest.right > rest.left && rest.bottom > rest.top) {
      if (!Picture) {
        canvas.GetBrush()->SetStyle(bsSolid);
        canvas.GetBrush()->SetColor(clBtnFace);
        canvas.FillRect(rest);
        canvas.GetBrush()->SetColor(clBtnShadow);
        canvas.FrameRect(rest);
      } else {
        TBitmap b;
        const int w = RectWidth(rest), h = RectHeight(rest);
        if (LBPoint.x != 0 || LBPoint.y != 0) {
          const int dw = w - RectWidth(SkinRect), dh = h - RectHeight(SkinRect);
          TRect ncr = ClRect;
          ncr.right += dw;
          ncr.bottom += dh;
          BuildNineSliceBitmapAlt(LTPoint, RTPoint, LBPoint, RBPoint, ClRect, LTPoint, Point(RTPoint.x + dw, RTPoint.y),
                                  Point(LBPoint.x, LBPoint.y + dh), Point(RBPoint.x + dw, RBPoint.y + dh), ncr, &b,
                                  Picture, SkinRect, w, h, true, LeftStretch, TopStretch, RightStretch, BottomStretch,
                                  StretchEffect, StretchType);
          canvas.Draw(rest.left, rest.top, &b);
        } else {
          BuildHorzSkinBitmapLeftCap(LTPoint.x, RectWidth(SkinRect) - RTPoint.x, &b, Picture, SkinRect, w,
                                     RectHeight(SkinRect), StretchEffect);
          canvas.StretchDraw(rest, &b);
        }
      }
    }
    canvas.SetHandle(nullptr);
  }
  if (own)
    EndPaint(FHeader, &ps);
}

void TskSkinCustomListView::DrawHeaderSection(TCanvas* Canvas, TListColumn* Column, bool Pressed, const TRect& R)
{
  const int w = RectWidth(R), h = RectHeight(R);
  if (w <= 0 || h <= 0)
    return;
  GetHeaderSkinData();
  TBitmap b;
  b.SetSize(w, h);
  TCanvas* c = b.GetCanvas();
  c->GetFont()->Assign(GetFont());
  const TRect all{0, 0, w, h};
  if (!Picture) {
    c->GetBrush()->SetStyle(bsSolid);
    c->GetBrush()->SetColor(Pressed ? TColor(0xB59385) : clBtnFace);
    c->FillRect(all);
    c->GetBrush()->SetColor(Pressed ? clNavy : clBtnShadow);
    c->FrameRect(all);
    c->GetFont()->SetColor(clBtnText);
  } else {
    const TRect source = Pressed ? DownSkinRect : SkinRect;
    c->GetFont()->SetColor(Pressed ? DownFontColor : FontColor);
    if (LBPoint.x != 0 || LBPoint.y != 0) {
      const int dw = w - RectWidth(source), dh = h - RectHeight(source);
      TRect ncr = ClRect;
      ncr.right += dw;
      ncr.bottom += dh;
      TBitmap s;
      BuildNineSliceBitmap(LTPoint, RTPoint, LBPoint, RBPoint, ClRect, LTPoint, Point(RTPoint.x + dw, RTPoint.y),
                           Point(LBPoint.x, LBPoint.y + dh), Point(RBPoint.x + dw, RBPoint.y + dh), ncr, &s, Picture,
                           source, w, h, true, LeftStretch, TopStretch, RightStretch, BottomStretch, StretchEffect,
                           StretchType);
      c->Draw(0, 0, &s);
    } else {
      TBitmap s;
      BuildHorzSkinBitmap(LTPoint.x, RectWidth(source) - RTPoint.x, &s, Picture, source, w, RectHeight(source),
                          StretchEffect);
      c->StretchDraw(all, &s);
    }
  }
  if (FOnHeaderSectionDraw) {
    FOnHeaderSectionDraw(c, Column, Pressed, all);
  } else if (Column) {
    TRect text{5, 0, w - 5, h};
    c->GetBrush()->SetStyle(bsClear);
    AnsiString caption = Column->GetCaption();
    TCustomImageList* images = GetSmallImages();
    const int image = Column->GetImageIndex();
    const int textH = c->TextHeight("Wq");
    const int textY = (h - textH) / 2;
    if (images && image >= 0 && image < images->GetCount()) {
      const AnsiString full = caption;
      EllipsizeText(c, caption, RectWidth(text) - images->GetWidth() - 10);
      const int tw = c->TextWidth(caption);
      int x = text.left;
      if (caption == full) {
        if (Column->GetAlignment() == taRightJustify)
          x = text.right - tw - images->GetWidth() - 10;
        else if (Column->GetAlignment() == taCenter)
          x = text.left + (RectWidth(text) - (tw + images->GetWidth() + 10)) / 2;
      }
      images->Draw(c, x, (h - images->GetHeight()) / 2, image, true);
      c->TextRect(text, x + images->GetWidth() + 10, textY, caption);
    } else {
      EllipsizeText(c, caption, RectWidth(text));
      const int tw = c->TextWidth(caption);
      int x = text.left;
      if (Column->GetAlignment() == taRightJustify)
        x = text.right - tw;
      else if (Column->GetAlignment() == taCenter)
        x = text.left + (RectWidth(text) - tw) / 2;
      c->TextRect(text, x, textY, caption);
    }
  }
  Canvas->Draw(R.left, R.top, &b);
}

// ----- messages -----

void TskSkinCustomListView::WndProc(TMessage& Message)
{
  switch (Message.Msg) {
  case WM_NCCALCSIZE:
  case WM_NCPAINT:
    Message.Result = 0;
    return;
  case SkinControlQueryMessage:
    Message.Result = SkinControlQueryAnswer;
    return;
  case PaintHeaderMessage:
    if (FHeader)
      PaintHeader(reinterpret_cast<HDC>(Message.WParam));
    return;
  case WM_PARENTNOTIFY:
    if (LOWORD(Message.WParam) == WM_CREATE && GetShowColumnHeaders()) {
      HWND child = reinterpret_cast<HWND>(Message.LParam);
      char name[64] = {};
      GetClassNameA(child, name, sizeof(name));
      if (String(name) == WC_HEADERA)
        SubclassHeader(child);
    }
    break;
  default:
    break;
  }
  TCustomListView::WndProc(Message);
  switch (Message.Msg) {
  case CM_VISIBLECHANGED:
    FBars.SetVisible(GetVisible());
    break;
  case WM_SIZE:
    if (!FBars.Synchronising && GetItems()->GetCount() > 0)
      SyncScrollBars();
    if (GetViewStyle() == vsReport && FHeader)
      InvalidateHeader(false);
    break;
  case WM_PAINT:
    if (!FBars.Synchronising)
      SyncScrollBars();
    break;
  case WM_KEYDOWN:
  case WM_LBUTTONUP:
    SyncScrollBars();
    break;
  default:
    break;
  }
}
