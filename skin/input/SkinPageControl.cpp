#include "skin/input/SkinPageControl.h"

#include <algorithm>

#include "skin/controls/SkinControlGeometry.h"
#include "skin/controls/SkinResizedButton.h"
#include "skin/foundation/SkinDrawUtils.h"
#include "skin/foundation/SkinEffectBmp.h"
#include "skin/foundation/SkinRegions.h"
#include "skin/foundation/SkinGlyphs.h"
#include "skin/foundation/SkinImages.h"
#include "skin/foundation/SkinStripImages.h"
#include "skin/input/SkinUpDown.h"

namespace {

bool EmptyRect(const TRect& R) { return RectWidth(R) <= 0 || RectHeight(R) <= 0; }

// Lays Source of Picture over a W x H area of Canvas: stretched by StretchType with Stretch, else
// tiled from (0, 0).
void FillFromPicture(TCanvas* Canvas, TBitmap* Picture, const TRect& Source, int W, int H, bool Stretch,
                     TskStretchType StretchType)
{
  const int sw = RectWidth(Source), sh = RectHeight(Source);
  if (!Picture || sw <= 0 || sh <= 0 || W <= 0 || H <= 0)
    return;
  TCanvas* from = Picture->GetCanvas();
  if (Stretch && StretchType == stFull) {
    Canvas->CopyRect(Rect(0, 0, W, H), from, Source);
  } else if (Stretch && StretchType == stHorz) {
    for (int x = 0; x < W; x += sw)
      Canvas->CopyRect(Rect(x, 0, x + sw, H), from, Source);
  } else if (Stretch && StretchType == stVert) {
    for (int y = 0; y < H; y += sh)
      Canvas->CopyRect(Rect(0, y, W, y + sh), from, Source);
  } else {
    for (int y = 0; y < H; y += sh)
      for (int x = 0; x < W; x += sw)
        Canvas->CopyRect(Rect(x, y, x + sw, y + sh), from, Source);
  }
}

// The skin's client part of a tab record inside the picture.
TRect ClientPart(const TskDataSkinTabControl* R)
{
  return Rect(R->skinrect.left + R->clientrect.left, R->skinrect.top + R->clientrect.top,
              R->skinrect.left + R->clientrect.right, R->skinrect.top + R->clientrect.bottom);
}

}  // namespace

// ---------------------------------------------------------------------------------------------
// TskSkinCustomTabSheet

TskSkinCustomTabSheet::TskSkinCustomTabSheet(TComponent* AOwner)
    : TTabSheet(AOwner), FWallPaper(std::make_unique<TBitmap>())
{
  SetAlign(alClient);
  SetControlStyle(GetControlStyle() | csAcceptsControls | csNoDesignVisible);
  SetVisible(false);
}

TskSkinCustomTabSheet::~TskSkinCustomTabSheet() { SetPageControl(nullptr); }

void TskSkinCustomTabSheet::SetWallPaper(TBitmap* Value)
{
  FWallPaper->Assign(Value);
  if (GetComponentState() & csDesigning)
    Repaint();
}

void TskSkinCustomTabSheet::CreateParams(TCreateParams& Params)
{
  TTabSheet::CreateParams(Params);
  Params.WindowClass.style &= ~(CS_VREDRAW | CS_HREDRAW);
}

void TskSkinCustomTabSheet::WndProc(TMessage& Message)
{
  switch (Message.Msg) {
  case WM_ERASEBKGND:
    PaintSheetBackground(reinterpret_cast<HDC>(Message.WParam));
    Message.Result = 1;
    return;
  case SkinControlQueryMessage:
    Message.Result = SkinControlQueryAnswer;
    return;
  case WM_SIZE: {
    TTabSheet::WndProc(Message);
    Repaint();
    auto* pc = dynamic_cast<TskSkinPageControl*>(GetPageControl());
    if (pc && pc->GetSkinIndex() != -1 && pc->GetLook()->stretcheffect)
      for (int i = 0; i < GetControlCount(); ++i)
        if (auto* w = dynamic_cast<TWinControl*>(GetControl(i)))
          w->Perform(ParentImageChangedMessage, 0, 0);
    return;
  }
  default: break;
  }
  TTabSheet::WndProc(Message);
}

void TskSkinCustomTabSheet::PaintSheetBackground(HDC DC)
{
  const int w = GetWidth(), h = GetHeight();
  if (!DC || w <= 0 || h <= 0 || !GetParent())
    return;
  auto* pc = dynamic_cast<TskSkinPageControl*>(GetPageControl());
  if (pc)
    pc->GetSkinData();
  TCanvas canvas;
  const int saved = SaveDC(DC);
  canvas.SetHandle(DC);
  if (!FWallPaper->Empty()) {
    const int pw = FWallPaper->GetWidth(), ph = FWallPaper->GetHeight();
    for (int y = 0; y <= h / ph; ++y)
      for (int x = 0; x <= w / pw; ++x)
        canvas.Draw(x * pw, y * ph, FWallPaper.get());
  } else if (!pc || pc->GetSkinIndex() == -1) {
    canvas.GetBrush()->SetStyle(bsSolid);
    canvas.GetBrush()->SetColor(clBtnFace);
    canvas.FillRect(Rect(0, 0, w, h));
  } else {
    TskDataSkinTabControl* r = pc->GetLook();
    if (r->bgpictureindex != -1) {
      TBitmap* g = SkinPicture(pc->GetSkinDataComponent(), r->bgpictureindex);
      if (g)
        FillFromPicture(&canvas, g, Rect(0, 0, g->GetWidth(), g->GetHeight()), w, h, r->stretcheffect,
                        r->stretchtype);
    } else if (r->stretcheffect && pc->GetWidth() > 0 && pc->GetHeight() > 0) {
      // The stretch uses the page control's size, not the sheet's.
      FillFromPicture(&canvas, pc->GetPicture(), ClientPart(r), pc->GetWidth(), pc->GetHeight(), true,
                      r->stretchtype);
    } else {
      FillFromPicture(&canvas, pc->GetPicture(), ClientPart(r), w, h, false, stFull);
    }
  }
  canvas.SetHandle(nullptr);
  RestoreDC(DC, saved);
}

// ---------------------------------------------------------------------------------------------
// TskSkinPageControl

TskSkinPageControl::TskSkinPageControl(TComponent* AOwner)
    : TPageControl(AOwner), FDefaultFont(std::make_unique<TFont>())
{
  FDefaultFont->SetName("Arial");
  FDefaultFont->SetHeight(14);
  FDefaultFont->SetStyle(0);
  FDefaultFont->SetColor(clBtnText);
  GetFont()->Assign(FDefaultFont.get());
  // Every tab reserves the list's width for its image and its close button.
  FInternalImages = new TCustomImageList(this, 1, 1);
  TPageControl::SetImages(FInternalImages);
}

TskSkinPageControl::~TskSkinPageControl() = default;

void TskSkinPageControl::ReserveRoom(int Delta)
{
  if (!FInternalImages)
    return;
  if (GetTabPosition() == tpLeft || GetTabPosition() == tpRight)
    FInternalImages->SetHeight(std::max(1, FInternalImages->GetHeight() + Delta));
  else
    FInternalImages->SetWidth(std::max(1, FInternalImages->GetWidth() + Delta));
  TPageControl::SetImages(nullptr);
  TPageControl::SetImages(FInternalImages);
}

void TskSkinPageControl::Notification(TComponent* AComponent, TOperation Operation)
{
  TPageControl::Notification(AComponent, Operation);
  if (Operation != opRemove)
    return;
  if (AComponent == FSkinData) {
    FSkinData = nullptr;
    FRecord = nullptr;
    FIndex = -1;
  }
  if (AComponent == FUpDown)
    FUpDown = nullptr;
  if (AComponent == FInternalImages)
    FInternalImages = nullptr;
  if (AComponent == FImages) {
    // The list is being destroyed: only its room is given back.
    FImages = nullptr;
    ReserveRoom(-FImagesRoom);
    FImagesRoom = 0;
    Invalidate();
  }
}

void TskSkinPageControl::SetImages(TCustomImageList* Value)
{
  const bool side = GetTabPosition() == tpLeft || GetTabPosition() == tpRight;
  const int before = FImagesRoom;
  const int after = Value ? (side ? Value->GetHeight() : Value->GetWidth()) : 0;
  if (FImages && FImages != Value)
    FImages->RemoveFreeNotification(this);
  FImages = Value;
  if (Value)
    Value->FreeNotification(this);
  FImagesRoom = after;
  if (after != before)
    ReserveRoom(after - before);
  Invalidate();
}

void TskSkinPageControl::SetTabExtededDraw(bool Value)
{
  FTabExtededDraw = Value;
  Invalidate();
}

void TskSkinPageControl::SetTextInHorizontal(bool Value)
{
  FTextInHorizontal = Value;
  Invalidate();
}

void TskSkinPageControl::SetTabSpacing(int Value)
{
  if (Value == FTabSpacing)
    return;
  FTabSpacing = Value;
  Repaint();
}

void TskSkinPageControl::SetTabLayout(TskButtonLayout Value)
{
  if (Value == FTabLayout)
    return;
  FTabLayout = Value;
  Repaint();
}

void TskSkinPageControl::SetSkinData(TskSkinData* Value)
{
  if (FSkinData)
    FSkinData->RemoveFreeNotification(this);
  FSkinData = Value;
  if (Value)
    Value->FreeNotification(this);
  if (Value && !Value->Empty && !(GetComponentState() & csDesigning))
    ChangeSkinData();
}

void TskSkinPageControl::SetShowCloseButtons(bool Value)
{
  if (FShowCloseButtons == Value)
    return;
  FShowCloseButtons = Value;
  ReserveRoom(Value ? FCloseButtonSize : -FCloseButtonSize);
  Invalidate();
}

void TskSkinPageControl::SetTabsBGTransparent(bool Value)
{
  if (FTabsBGTransparent == Value)
    return;
  FTabsBGTransparent = Value;
  Invalidate();
}

void TskSkinPageControl::SetDefaultItemHeight(int Value)
{
  FDefaultItemHeight = Value;
  if (FIndex == -1) {
    SetItemSize(GetTabWidth(), Value);
    Realign();
  }
}

void TskSkinPageControl::SetTabsInCenter(bool Value)
{
  if (GetTabWidth() == 0)
    return;
  FTabsInCenter = Value;
  if (Value) {
    SetTabPosition(tpTop);
    SetMultiLine(false);
    SetTabsBGTransparent(true);
  }
  Invalidate();
}

int TskSkinPageControl::CenterOffset()
{
  if (GetTabWidth() == 0)
    return 0;
  return std::max(0, GetWidth() / 2 - GetTabWidth() * VisibleTabCount() / 2);
}

void TskSkinPageControl::SetTabMargin(int Value)
{
  if (Value == FTabMargin || Value < -1)
    return;
  FTabMargin = Value;
  Repaint();
}

void TskSkinPageControl::GetSkinData()
{
  FIndex = FSkinData && !FSkinData->Empty ? FSkinData->GetControlIndex(FSkinDataName) : -1;
  auto* record = FIndex == -1 ? nullptr : dynamic_cast<TskDataSkinTabControl*>(SkinControlRecord(FSkinData, FIndex));
  if (!record) {
    // A record of another kind keeps the default look.
    FIndex = -1;
    FRecord = nullptr;
    FPicture = nullptr;
    return;
  }
  FRecord = record;
  FPicture = SkinPicture(FSkinData, record->pictureindex);
  if (EmptyRect(record->activetabrect))
    record->activetabrect = record->tabrect;
  if (EmptyRect(record->focustabrect))
    record->focustabrect = record->activetabrect;
  if (EmptyRect(record->closebuttonactiverect))
    record->closebuttonactiverect = record->closebuttonrect;
  if (EmptyRect(record->closebuttondownrect))
    record->closebuttondownrect = record->closebuttonactiverect;
}

void TskSkinPageControl::SetItemSize(int W, int H)
{
  if (HandleAllocated())
    SendMessageA(GetHandle(), TCM_SETITEMSIZE, 0, MAKELPARAM(W, H));
}

void TskSkinPageControl::ChangeSkinData()
{
  GetSkinData();
  const int oldSize = FCloseButtonSize;
  FCloseButtonSize = FIndex == -1 || EmptyRect(FRecord->closebuttonrect) ? 14 : RectWidth(FRecord->closebuttonrect);
  if (FShowCloseButtons && oldSize != FCloseButtonSize)
    ReserveRoom(FCloseButtonSize - oldSize);
  int tabHeight = GetTabHeight();
  if (FIndex == -1) {
    GetFont()->Assign(FDefaultFont.get());
    if (tabHeight <= 0)
      tabHeight = FDefaultItemHeight;
  } else {
    if (FUseSkinFont) {
      GetFont()->SetName(FRecord->fontname);
      GetFont()->SetHeight(FRecord->fontheight);
      GetFont()->SetStyle(FRecord->fontstyle);
    } else {
      GetFont()->Assign(FDefaultFont.get());
    }
    GetFont()->SetColor(FRecord->fontcolor);
    if (tabHeight <= 0)
      tabHeight = RectHeight(FRecord->tabrect);
  }
  SetItemSize(GetTabWidth(), tabHeight);
  Realign();
  if (FUpDown) {
    delete FUpDown;
    FUpDown = nullptr;
    CheckUpDown();
  }
  if (GetActivePage())
    GetActivePage()->Repaint();
  Invalidate();
}

// --- tabs ------------------------------------------------------------------------------------

int TskSkinPageControl::VisibleTabCount()
{
  int n = 0;
  for (int i = 0; i < GetPageCount(); ++i)
    n += GetPage(i)->GetTabVisible() ? 1 : 0;
  return n;
}

TTabSheet* TskSkinPageControl::PageOfVisibleTab(int I)
{
  for (int i = 0; i < GetPageCount(); ++i)
    if (GetPage(i)->GetTabVisible() && I-- == 0)
      return GetPage(i);
  return nullptr;
}

TRect TskSkinPageControl::GetItemRect(int I)
{
  TRect r{};
  if (HandleAllocated())
    SendMessageA(GetHandle(), TCM_GETITEMRECT, static_cast<WPARAM>(I), reinterpret_cast<LPARAM>(&r));
  if (I == 0 && !GetMultiLine())
    ++r.left;
  return r;
}

int TskSkinPageControl::ScrolledOutCount()
{
  int n = 0;
  for (int i = 0, count = VisibleTabCount(); i < count; ++i) {
    // A tab the native control has not laid out yet has no width and counts as shown.
    const TRect r = GetItemRect(i);
    if (RectWidth(r) > 0 && (r.right > GetWidth() - 3 || r.right <= 0))
      ++n;
  }
  return n;
}

int TskSkinPageControl::LeftScrolledCount()
{
  int n = 0;
  for (int i = 0, count = VisibleTabCount(); i < count; ++i) {
    const TRect r = GetItemRect(i);
    n += RectWidth(r) > 0 && r.right <= 0 ? 1 : 0;
  }
  return n;
}

void TskSkinPageControl::CheckUpDown()
{
  const int n = ScrolledOutCount();
  if (n == 0 || GetMultiLine()) {
    delete FUpDown;
    FUpDown = nullptr;
    return;
  }
  if (!FUpDown) {
    FUpDown = new TskSkinUpDown(this);
    FUpDown->SetParent(this);
    FUpDown->SetBounds(0, 0, 2 * FDefaultItemHeight, FDefaultItemHeight);
    FUpDown->SetMin(0);
    FUpDown->SetMax(n);
    FUpDown->SetPosition(LeftScrolledCount());
    FUpDown->SetIncrement(1);
    FUpDown->OnChange = [this](TObject* Sender) { UpDownChange(Sender); };
    if (FRecord)
      FUpDown->SetSkinDataName(FRecord->updown);
    if (FSkinData)
      FUpDown->SetSkinData(FSkinData);
  }
  FUpDown->SetMax(n);
  FUpDown->SetBounds(GetWidth() - FUpDown->GetWidth(),
                     GetTabPosition() == tpTop ? 0 : GetHeight() - FUpDown->GetHeight(), FUpDown->GetWidth(),
                     FUpDown->GetHeight());
  FUpDown->SetVisible(true);
}

void TskSkinPageControl::UpDownChange(TObject*)
{
  FUpDown->SetMax(ScrolledOutCount());
  Perform(WM_HSCROLL, MAKEWPARAM(SB_THUMBPOSITION, FUpDown->GetPosition()), 0);
}

void TskSkinPageControl::Change()
{
  if (FUpDown)
    FUpDown->SetPosition(LeftScrolledCount());
  TPageControl::Change();
  Invalidate();
  if (GetActivePage())
    GetActivePage()->Invalidate();
}

// --- native rectangles -----------------------------------------------------------------------

void TskSkinPageControl::WndProc(TMessage& Message)
{
  const bool centred = FTabsInCenter && !(GetComponentState() & csDesigning);
  // A native window made after the skin was bound (or made again) is told the class library's
  // tab size; without a TabHeight the skinned tabs keep the tab picture's height.
  if (Message.Msg == TCM_SETITEMSIZE && HIWORD(Message.LParam) == 0 && FIndex != -1 && FRecord &&
      RectHeight(FRecord->tabrect) > 0)
    Message.LParam = MAKELPARAM(LOWORD(Message.LParam), static_cast<WORD>(RectHeight(FRecord->tabrect)));
  if (centred) {
    switch (Message.Msg) {
    case WM_SETFOCUS:
    case WM_KILLFOCUS:
      TPageControl::WndProc(Message);
      Invalidate();
      return;
    case WM_LBUTTONDOWN:
    case WM_LBUTTONUP:
    case WM_LBUTTONDBLCLK:
    case WM_NCHITTEST: {
      const int x = static_cast<short>(LOWORD(Message.LParam)) - CenterOffset();
      Message.LParam = MAKELPARAM(static_cast<WORD>(x), HIWORD(Message.LParam));
      break;
    }
    default: break;
    }
  }
  switch (Message.Msg) {
  case WM_ERASEBKGND:
    if (GetPageCount() > 0 && VisibleTabCount() > 0) {
      Message.Result = 1;
      return;
    }
    GetSkinData();
    if (FIndex != -1) {
      EraseSkinBackground(reinterpret_cast<HDC>(Message.WParam));
      Message.Result = 1;
      return;
    }
    break;
  case SkinControlQueryMessage:
    Message.Result = SkinControlQueryAnswer;
    return;
  case ParentImageChangedMessage:
    if (FTabsBGTransparent)
      Repaint();
    return;
  case WM_SIZE:
    GetSkinData();
    break;
  case CM_MOUSELEAVE: {
    TPageControl::WndProc(Message);
    const int old = FHotTab;
    TrackMouse(-1, -1);
    if (old != -1)
      RedrawTabs();
    return;
  }
  default: break;
  }
  TPageControl::WndProc(Message);
  switch (Message.Msg) {
  case TCM_GETITEMRECT:
    if (GetStyle() == tsTabs && Message.LParam) {
      auto* r = reinterpret_cast<RECT*>(Message.LParam);
      switch (GetTabPosition()) {
      case tpTop:
        if (!GetMultiLine()) {
          r->left -= 2;
          r->right -= 2;
        }
        r->top -= 2;
        r->bottom -= 2;
        if (centred)
          OffsetRect(r, CenterOffset(), 0);
        break;
      case tpBottom:
        if (!GetMultiLine()) {
          r->left -= 2;
          r->right -= 2;
        }
        r->top += 2;
        r->bottom += 2;
        break;
      case tpLeft:
        r->left -= 2;
        r->right -= 2;
        break;
      case tpRight:
        r->left += 2;
        r->right += 2;
        break;
      }
    }
    break;
  case TCM_ADJUSTRECT:
    if (Message.LParam) {
      auto* r = reinterpret_cast<RECT*>(Message.LParam);
      GetSkinData();
      const int cw = GetClientWidth(), ch = GetClientRect().bottom;
      if (FIndex == -1) {
        switch (GetTabPosition()) {
        case tpTop: *r = {1, r->top - 5, cw - 1, ch - 1}; break;
        case tpBottom: *r = {1, 1, cw - 1, r->bottom + 3}; break;
        case tpLeft: *r = {r->left - 3, r->top - 5, cw - 1, ch - 1}; break;
        case tpRight: *r = {r->left - 3, r->top - 5, r->right + 3, ch - 1}; break;
        }
      } else {
        const TRect& cr = FRecord->clientrect;
        const int l = cr.left, t = cr.top, rb = RectWidth(FRecord->skinrect) - cr.right,
                  bb = RectHeight(FRecord->skinrect) - cr.bottom;
        switch (GetTabPosition()) {
        case tpTop: *r = {l, r->top + t - 6, cw - rb, ch - bb}; break;
        case tpBottom: *r = {l, r->top + t - 4, cw - rb, r->bottom - bb + 4}; break;
        case tpLeft: *r = {r->left + l - 4, r->top + t - 4, cw - rb, ch - bb}; break;
        case tpRight: *r = {l, r->top + t - 4, r->right + 4 - rb, ch - bb}; break;
        }
      }
    }
    break;
  case WM_SIZE:
    if (!GetMultiLine() && !(GetComponentState() & csDesigning))
      CheckUpDown();
    break;
  case WM_HSCROLL: Repaint(); break;
  // The tabs changed: they may now fit, or be cut off.
  case TCM_INSERTITEMA:
  case TCM_SETITEMA:
  case TCM_DELETEITEM:
  case TCM_DELETEALLITEMS:
  case TCM_SETITEMSIZE:
  case TCM_SETIMAGELIST:
    if (!GetMultiLine() && !(GetComponentState() & csDesigning) && !FCheckingUpDown) {
      FCheckingUpDown = true;
      CheckUpDown();
      FCheckingUpDown = false;
    }
    break;
  default: break;
  }
}

// --- painting --------------------------------------------------------------------------------

void TskSkinPageControl::EraseSkinBackground(HDC DC)
{
  if (!DC || !FRecord)
    return;
  TCanvas c;
  c.SetHandle(DC);
  if (FRecord->bgpictureindex == -1) {
    FillFromPicture(&c, FPicture, ClientPart(FRecord), GetWidth(), GetHeight(), FRecord->stretcheffect,
                    FRecord->stretchtype);
  } else if (TBitmap* g = SkinPicture(FSkinData, FRecord->bgpictureindex)) {
    FillFromPicture(&c, g, Rect(0, 0, g->GetWidth(), g->GetHeight()), GetWidth(), GetHeight(),
                    FRecord->stretcheffect, FRecord->stretchtype);
  }
  c.SetHandle(nullptr);
}

void TskSkinPageControl::PaintWindow(HDC DC)
{
  if (GetWidth() <= 0 || GetHeight() <= 0)
    return;
  GetSkinData();
  const int saved = SaveDC(DC);
  TCanvas c;
  c.SetHandle(DC);
  if (FIndex == -1)
    DrawDefaultFrame(&c);
  else
    DrawSkinFrame(&c);
  DrawTabs(&c);
  c.SetHandle(nullptr);
  RestoreDC(DC, saved);
}

void TskSkinPageControl::DrawDefaultFrame(TCanvas* C)
{
  C->GetBrush()->SetStyle(bsSolid);
  C->GetBrush()->SetColor(clBtnFace);
  C->FillRect(GetClientRect());
  TRect d = GetDisplayRect();
  InflateRect(&d, 1, 1);
  C->GetBrush()->SetColor(clBtnShadow);
  C->FrameRect(d);
}

void TskSkinPageControl::DrawSkinFrame(TCanvas* C)
{
  if (!FPicture)
    return;
  const TRect& cr = FRecord->clientrect;
  const TRect d = GetDisplayRect();
  const TRect r{d.left - cr.left, d.top - cr.top, d.right + RectWidth(FRecord->skinrect) - cr.right,
                d.bottom + RectHeight(FRecord->skinrect) - cr.bottom};
  const int w = RectWidth(r), h = RectHeight(r);
  if (w <= 0 || h <= 0)
    return;
  const int dW = w - RectWidth(FRecord->skinrect), dH = h - RectHeight(FRecord->skinrect);
  TRect ncr = cr;
  ncr.right += dW;
  ncr.bottom += dH;
  const TPoint lt = FRecord->lefttoppoint, rt = FRecord->righttoppoint, lb = FRecord->leftbottompoint,
               rb = FRecord->rightbottompoint;
  TBitmap left, top, right, bottom;
  BuildFrameEdgeBitmaps(lt, rt, lb, rb, cr, lt, Point(rt.x + dW, rt.y), Point(lb.x, lb.y + dH),
                        Point(rb.x + dW, rb.y + dH), ncr, &left, &top, &right, &bottom, FPicture, FRecord->skinrect, w,
                        h, FRecord->leftstretch, FRecord->topstretch, FRecord->rightstretch, FRecord->bottomstretch);
  const int saved = SaveDC(C->GetHandle());
  const TRect ext = ActiveTabExtension();
  if (!EmptyRect(ext))
    ExcludeClipRect(C->GetHandle(), ext.left, ext.top, ext.right, ext.bottom);
  C->Draw(r.left, r.top, &top);
  C->Draw(r.left, r.top + top.GetHeight(), &left);
  C->Draw(r.right - right.GetWidth(), r.top + top.GetHeight(), &right);
  C->Draw(r.left, r.bottom - bottom.GetHeight(), &bottom);
  RestoreDC(C->GetHandle(), saved);
}

TRect TskSkinPageControl::ActiveTabExtension()
{
  const int active = GetTabIndex();
  if (FIndex == -1 || !FRecord || active < 0 || active >= GetPageCount() || VisibleTabCount() == 0 ||
      !GetActivePage() || active >= VisibleTabCount())
    return TRect{};
  TRect r = GetItemRect(active);
  const int grow = RectHeight(FRecord->activetabrect) - RectHeight(FRecord->tabrect);
  switch (GetTabPosition()) {
  case tpTop: r.bottom += grow; break;
  case tpBottom: r.top -= grow; break;
  case tpLeft: r.right += grow; break;
  case tpRight: r.left -= grow; break;
  }
  return r;
}

void TskSkinPageControl::RedrawTabs()
{
  if (!HandleAllocated())
    return;
  Invalidate();
}

void TskSkinPageControl::DrawTabs(TCanvas* C)
{
  if (GetPageCount() == 0)
    return;
  const int count = VisibleTabCount();
  const int active = GetTabIndex();
  if (FIndex == -1 || !FRecord) {
    for (int i = 0; i < count; ++i)
      if (i != active)
        DrawTab(C, i, GetItemRect(i), false, i == FHotTab);
    if (active >= 0 && active < count)
      DrawTab(C, active, GetItemRect(active), true, active == FHotTab);
    return;
  }
  // The tab strip: a bitmap over the area outside the page frame on the tabs' side.
  const TRect& cr = FRecord->clientrect;
  const TRect d = GetDisplayRect();
  const TRect r0{d.left - cr.left, d.top - cr.top, d.right + RectWidth(FRecord->skinrect) - cr.right,
                 d.bottom + RectHeight(FRecord->skinrect) - cr.bottom};
  const int W = GetWidth(), H = GetHeight();
  const TTabPosition pos = GetTabPosition();
  TRect area;  // the strip in control coordinates
  switch (pos) {
  case tpTop: area = Rect(0, 0, W, r0.top); break;
  case tpBottom: area = Rect(0, r0.bottom, W, H); break;
  case tpLeft: area = Rect(0, 0, r0.left, H); break;
  case tpRight: area = Rect(r0.right, 0, W, H); break;
  }
  if (!EmptyRect(area)) {
    TBitmap strip;
    strip.SetPixelFormat(pf24bit);
    strip.SetSize(RectWidth(area), RectHeight(area));
    if (FTabsBGTransparent) {
      PaintPageControlBackground(this, area, strip.GetCanvas());
    } else if (FPicture) {
      if (EmptyRect(FRecord->tabsbgrect))
        FRecord->tabsbgrect = ClientPart(FRecord);
      FillFromPicture(strip.GetCanvas(), FPicture, FRecord->tabsbgrect, strip.GetWidth(), strip.GetHeight(), false,
                      stFull);
    }
    for (int i = 0; i < count; ++i)
      if (i != active) {
        TRect t = GetItemRect(i);
        OffsetRect(&t, -area.left, -area.top);
        DrawTab(strip.GetCanvas(), i, t, false, i == FHotTab);
      }
    const int saved = SaveDC(C->GetHandle());
    const TRect ext = ActiveTabExtension();
    if (!EmptyRect(ext))
      ExcludeClipRect(C->GetHandle(), ext.left, ext.top, ext.right, ext.bottom);
    C->Draw(area.left, area.top, &strip);
    RestoreDC(C->GetHandle(), saved);
  }
  if (active >= 0 && active < count && active < GetPageCount()) {
    TRect r = GetItemRect(active);
    const int diff = RectHeight(FRecord->tabrect) - RectHeight(FRecord->activetabrect);
    if (diff != 0) {
      if (pos == tpBottom)
        OffsetRect(&r, 0, diff);
      else if (pos == tpRight)
        OffsetRect(&r, diff, 0);
    }
    DrawTab(C, active, r, true, active == FHotTab);
  }
}

namespace {

enum class TTurn { Left, Right, Flip };

// Bitmap B turned (its width and height swapped) or flipped upside down in place.
void TurnInPlace(TBitmap* B, TTurn Turn)
{
  if (B->Empty())
    return;
  auto from = TskEffectBmp::CreateFromBitmap(B->GetHandle());
  const bool swap = Turn != TTurn::Flip;
  TskEffectBmp to(swap ? from->GetHeight() : from->GetWidth(), swap ? from->GetWidth() : from->GetHeight());
  switch (Turn) {
  case TTurn::Left: from->Rotate90Left(&to); break;
  case TTurn::Right: from->Rotate90Right(&to); break;
  case TTurn::Flip: from->FlipVert(&to); break;
  }
  B->SetSize(to.GetWidth(), to.GetHeight());
  to.Draw(B->GetCanvas()->GetHandle(), 0, 0);
}

// Bitmap B turned onto Canvas at (X, Y).
void DrawTurned(TCanvas* Canvas, int X, int Y, TBitmap* B, TTurn Turn)
{
  if (B->Empty())
    return;
  auto from = TskEffectBmp::CreateFromBitmap(B->GetHandle());
  TskEffectBmp to(from->GetHeight(), from->GetWidth());
  if (Turn == TTurn::Left)
    from->Rotate90Left(&to);
  else
    from->Rotate90Right(&to);
  to.Draw(Canvas->GetHandle(), X, Y);
}

}  // namespace

void TskSkinPageControl::DrawTabImageAndText(TCanvas* C, int W, int H, int Dy, bool Enabled, int ImageIndex,
                                             const String& Caption)
{
  TRect cr = Rect(0, 0, 0, 0);
  DrawTextA(C->GetHandle(), Caption.c_str(), static_cast<int>(Caption.size()), &cr, DT_CALCRECT | DT_SINGLELINE);
  const int cw = Caption.empty() ? 0 : RectWidth(cr) + 2;
  const int iw = FImages ? FImages->GetWidth() : 0, ih = FImages ? FImages->GetHeight() : 0;
  const int x = W / 2 - (cw + iw + 2) / 2;
  if (FImages)
    FImages->Draw(C, x, H / 2 + Dy - ih / 2, ImageIndex, Enabled);
  const int top = H / 2 + Dy - RectHeight(cr) / 2;
  TRect text{x + iw + 2, top, x + iw + 2 + cw, top + RectHeight(cr)};
  DrawTextA(C->GetHandle(), Caption.c_str(), static_cast<int>(Caption.size()), &text, DT_CENTER);
}

void TskSkinPageControl::DrawTab(TCanvas* C, int VisibleIndex, const TRect& R, bool Active, bool MouseIn)
{
  TTabSheet* page = PageOfVisibleTab(VisibleIndex);
  if (!page)
    return;
  const TTabPosition pos = GetTabPosition();
  const bool side = pos == tpLeft || pos == tpRight;
  const int tw = side ? RectHeight(R) : RectWidth(R);
  int th = side ? RectWidth(R) : RectHeight(R);
  if (tw <= 0 || th <= 0)
    return;
  const bool hasImage = FImages && page->GetImageIndex() >= 0 && page->GetImageIndex() < FImages->GetCount();
  const bool skinned = FIndex != -1 && FRecord && FPicture;
  TBitmap tab;
  tab.SetPixelFormat(pf24bit);
  tab.SetSize(tw, th);
  const bool focused = HandleAllocated() && Focused();
  if (!skinned) {
    TCanvas* tc = tab.GetCanvas();
    const TRect t = Rect(0, 0, tw, th);
    tc->GetBrush()->SetStyle(bsSolid);
    if (!Active) {
      tc->GetBrush()->SetColor(MouseIn ? static_cast<TColor>(0xD2BDB6) : clBtnFace);
      tc->FillRect(t);
    } else {
      tc->GetBrush()->SetColor(static_cast<TColor>(0x800000));
      tc->FillRect(t);
      tc->GetBrush()->SetColor(focused ? static_cast<TColor>(0xB59385) : static_cast<TColor>(0xD2BDB6));
      tc->FillRect(Rect(1, 1, tw - 1, th - 1));
    }
    tc->GetFont()->Assign(GetFont());
  } else {
    TRect s;
    TColor fc;
    if (MouseIn && !Active && !EmptyRect(FRecord->mouseintabrect)) {
      s = FRecord->mouseintabrect;
      fc = FRecord->mouseinfontcolor;
    } else if (Active && focused) {
      s = FRecord->focustabrect;
      fc = FRecord->focusfontcolor;
    } else if (!Active) {
      s = FRecord->tabrect;
      fc = FRecord->fontcolor;
    } else {
      s = FRecord->activetabrect;
      fc = FRecord->activefontcolor;
    }
    if (GetTabHeight() > 0) {
      const int hT = RectHeight(FRecord->tabrect);
      if (Active && RectHeight(FRecord->activetabrect) > hT)
        th += RectHeight(FRecord->activetabrect) - hT;
      else if (Active && focused && RectHeight(FRecord->focustabrect) > hT)
        th += RectHeight(FRecord->focustabrect) - hT;
      tab.SetSize(tw, th);
      const int q = hT / 4;
      BuildSkinBitmap(&tab, FPicture, s,
                      Rect(FRecord->tableftoffset, q, RectWidth(s) - FRecord->tabrightoffset, RectHeight(s) - q), true);
    } else {
      BuildHorzSkinBitmap(FRecord->tableftoffset, FRecord->tabrightoffset, &tab, FPicture, s, tw, th,
                          FRecord->tabstretcheffect);
    }
    if (pos == tpBottom)
      TurnInPlace(&tab, TTurn::Flip);
    TCanvas* tc = tab.GetCanvas();
    if (FUseSkinFont) {
      tc->GetFont()->SetName(FRecord->fontname);
      tc->GetFont()->SetHeight(FRecord->fontheight);
      tc->GetFont()->SetStyle(FRecord->fontstyle);
    } else {
      tc->GetFont()->Assign(GetFont());
    }
    tc->GetFont()->SetColor(fc);
  }
  if (FTextInHorizontal && side) {
    TFont keep;
    keep.Assign(tab.GetCanvas()->GetFont());
    TurnInPlace(&tab, pos == tpLeft ? TTurn::Left : TTurn::Right);
    tab.GetCanvas()->GetFont()->Assign(&keep);
  }
  TCanvas* tc = tab.GetCanvas();
  TRect t = Rect(0, 0, tab.GetWidth(), tab.GetHeight());
  if (skinned && FRecord->showfocus && focused && Active) {
    TRect f = t;
    InflateRect(&f, -FRecord->focusoffsetx, -FRecord->focusoffsety);
    tc->GetBrush()->SetStyle(bsSolid);
    tc->GetBrush()->SetColor(FSkinData && FSkinData->SkinColors ? FSkinData->SkinColors->cbtnface : clBtnFace);
    DrawDottedFocusRect(tc, f);
  }
  tc->GetBrush()->SetStyle(bsClear);
  int dy = 0;
  if (skinned && RectHeight(FRecord->tabrect) != RectHeight(FRecord->activetabrect) && !Active) {
    const int step = pos == tpTop || pos == tpLeft ? 2 : -2;
    t.top += step;
    if (hasImage)
      dy = step;
  }
  const int cb = FShowCloseButtons ? FCloseButtonSize + 2 : 0;
  const int cut = skinned ? cb + 3 : cb;
  const String caption = page->GetCaption();
  if (OnDrawSkinTab) {
    OnDrawSkinTab(page->GetPageIndex(), t, Active, MouseIn, tc);
  } else if (hasImage || FTabExtededDraw) {
    if (FTabExtededDraw) {
      TRect g = t;
      g.right -= cb;
      DrawImageListGlyphAndText(tc, g, FTabMargin, FTabSpacing, FTabLayout, caption, page->GetImageIndex(), FImages,
                                false, page->GetEnabled(), false, clBlack);
    } else {
      DrawTabImageAndText(tc, tab.GetWidth() - cb, tab.GetHeight(), dy, page->GetEnabled(), page->GetImageIndex(),
                          caption);
    }
    t.right -= cut;
  } else {
    if (cb)
      t.right -= cut;
    TRect text = t;
    DrawTextA(tc->GetHandle(), caption.c_str(), static_cast<int>(caption.size()), &text,
              DT_SINGLELINE | DT_VCENTER | DT_CENTER);
  }
  const bool turned = side && !FTextInHorizontal;
  if (FShowCloseButtons) {
    if (auto* sheet = dynamic_cast<TskSkinCustomTabSheet*>(page)) {
      if (!MouseIn)
        sheet->CloseHot = false;
      sheet->CloseRect = TRect{};
      DrawCloseButton(tc, Rect(t.right, t.top + dy, tab.GetWidth(), t.bottom), sheet);
      // The close rectangle in the picture's final orientation.
      const TRect c = sheet->CloseRect;
      const int pw = tab.GetWidth(), ph = tab.GetHeight();
      if (turned && pos == tpLeft)
        sheet->CloseRect = TRect{c.top, pw - c.right, c.bottom, pw - c.left};
      else if (turned && pos == tpRight)
        sheet->CloseRect = TRect{ph - c.bottom, c.left, ph - c.top, c.right};
    }
  }
  if (turned)
    DrawTurned(C, R.left, R.top, &tab, pos == tpLeft ? TTurn::Left : TTurn::Right);
  else
    C->Draw(R.left, R.top, &tab);
}

void TskSkinPageControl::DrawCloseButton(TCanvas* C, const TRect& Area, TskSkinCustomTabSheet* Sheet)
{
  const int top = Area.top + RectHeight(Area) / 2 - FCloseButtonSize / 2;
  const TRect box{Area.left, top, Area.left + FCloseButtonSize, top + FCloseButtonSize};
  if (FIndex != -1 && FPicture && !EmptyRect(FRecord->closebuttonrect)) {
    const TRect& src = Sheet->CloseDown && Sheet->CloseHot ? FRecord->closebuttondownrect
                       : Sheet->CloseHot                   ? FRecord->closebuttonactiverect
                                                           : FRecord->closebuttonrect;
    const TRect dst{Area.left, Area.top + RectHeight(Area) / 2 - RectHeight(src) / 2,
                    Area.left + RectWidth(src), Area.top + RectHeight(Area) / 2 - RectHeight(src) / 2 + RectHeight(src)};
    TBitmap b;
    b.SetPixelFormat(pf24bit);
    b.SetSize(RectWidth(src), RectHeight(src));
    b.GetCanvas()->CopyRect(Rect(0, 0, b.GetWidth(), b.GetHeight()), FPicture->GetCanvas(), src);
    if (FRecord->buttontransparent) {
      b.SetTransparentMode(tmFixed);
      b.SetTransparentColor(FRecord->buttontransparentcolor);
      b.SetTransparent(true);
    }
    C->Draw(dst.left, dst.top, &b);
    Sheet->CloseRect = dst;
    return;
  }
  if (FIndex != -1) {
    // Without a close picture the skin's "resizetoolbutton" is the button; without that, none.
    TBitmap b;
    b.SetPixelFormat(pf24bit);
    b.SetSize(FCloseButtonSize, FCloseButtonSize);
    b.GetCanvas()->CopyRect(Rect(0, 0, FCloseButtonSize, FCloseButtonSize), C, box);
    const TskResizedButtonState state = Sheet->CloseDown && Sheet->CloseHot ? TskResizedButtonState::Pressed
                                        : Sheet->CloseHot                   ? TskResizedButtonState::Hot
                                                                            : TskResizedButtonState::Normal;
    TColor color = clBlack;
    if (!DrawResizedButton(FSkinData, "resizetoolbutton", b.GetCanvas(), Rect(0, 0, FCloseButtonSize, FCloseButtonSize),
                           state, 0, &color))
      return;
    DrawCloseGlyph(b.GetCanvas(), FCloseButtonSize / 2 - 5, FCloseButtonSize / 2 - 5, color);
    C->Draw(box.left, box.top, &b);
    Sheet->CloseRect = box;
    return;
  }
  DrawCloseGlyph(C, box.left + 2, box.top + 2, Sheet->CloseHot ? static_cast<TColor>(0xFFFFFF) : clBlack);
  Sheet->CloseRect = box;
}

// --- mouse and closing -----------------------------------------------------------------------

TRect TskSkinPageControl::HotCloseRect(bool ForPress)
{
  auto* sheet = dynamic_cast<TskSkinCustomTabSheet*>(PageOfVisibleTab(FHotTab));
  if (!sheet || FHotTab == -1)
    return TRect{};
  TRect c = sheet->CloseRect;
  const TRect item = GetItemRect(FHotTab);
  OffsetRect(&c, item.left, item.top);
  // Presses reach the native control moved left by the centring.
  if (FTabsInCenter && ForPress)
    OffsetRect(&c, -CenterOffset(), 0);
  return c;
}

void TskSkinPageControl::TrackMouse(int X, int Y)
{
  const int old = FHotTab;
  FHotTab = -1;
  for (int i = 0, count = VisibleTabCount(); i < count && X >= 0; ++i) {
    const TRect r = GetItemRect(i);
    if (PtInRect(&r, TPoint{X, Y})) {
      FHotTab = i;
      break;
    }
  }
  if (old != FHotTab) {
    if (auto* prev = dynamic_cast<TskSkinCustomTabSheet*>(PageOfVisibleTab(old)))
      prev->CloseHot = prev->CloseDown = false;
    RedrawTabs();
  }
  if (FHotTab == -1 || !FShowCloseButtons)
    return;
  auto* sheet = dynamic_cast<TskSkinCustomTabSheet*>(PageOfVisibleTab(FHotTab));
  if (!sheet)
    return;
  const TRect c = HotCloseRect();
  const bool inside = PtInRect(&c, TPoint{X, Y});
  if (inside != sheet->CloseHot) {
    sheet->CloseHot = inside;
    if (!inside)
      sheet->CloseDown = false;
    RedrawTabs();
  }
}

void TskSkinPageControl::MouseMove(TShiftState Shift, int X, int Y)
{
  TPageControl::MouseMove(Shift, X, Y);
  if (!(GetComponentState() & csDesigning))
    TrackMouse(X, Y);
}

void TskSkinPageControl::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y)
{
  TPageControl::MouseDown(Button, Shift, X, Y);
  if ((GetComponentState() & csDesigning) || Button != mbLeft)
    return;
  if (!FTabsInCenter)
    TrackMouse(X, Y);
  FPressedCloseTab = -1;
  auto* sheet = dynamic_cast<TskSkinCustomTabSheet*>(PageOfVisibleTab(FHotTab));
  if (!sheet || !FShowCloseButtons)
    return;
  const TRect c = HotCloseRect(true);
  if (PtInRect(&c, TPoint{X, Y})) {
    sheet->CloseHot = sheet->CloseDown = true;
    FPressedCloseTab = FHotTab;
  } else {
    sheet->CloseHot = sheet->CloseDown = false;
  }
  RedrawTabs();
}

void TskSkinPageControl::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y)
{
  TPageControl::MouseUp(Button, Shift, X, Y);
  if ((GetComponentState() & csDesigning) || Button != mbLeft)
    return;
  if (!FTabsInCenter)
    TrackMouse(X, Y);
  const int pressed = FPressedCloseTab;
  FPressedCloseTab = -1;
  auto* sheet = dynamic_cast<TskSkinCustomTabSheet*>(PageOfVisibleTab(FHotTab));
  if (!sheet || !FShowCloseButtons)
    return;
  const TRect c = HotCloseRect(true);
  const bool inside = PtInRect(&c, TPoint{X, Y});
  sheet->CloseDown = false;
  sheet->CloseHot = inside;
  RedrawTabs();
  // The page whose button was pressed and released closes, whichever page is active.
  if (inside && pressed == FHotTab)
    ClosePage(sheet);
}

void TskSkinPageControl::ClosePage(TTabSheet* Page)
{
  if (!Page)
    return;
  bool canClose = true;
  if (OnClose)
    OnClose(Page, canClose);
  if (!canClose) {
    if (auto* sheet = dynamic_cast<TskSkinCustomTabSheet*>(Page))
      sheet->CloseHot = sheet->CloseDown = false;
    RedrawTabs();
    return;
  }
  Page->SetTabVisible(false);
  FHotTab = -1;
  if (FFreeOnClose)
    delete Page;
  if (OnAfterClose)
    OnAfterClose(this);
}
