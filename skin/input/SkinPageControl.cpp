#include "skin/input/SkinPageControl.h"

#include <algorithm>

#include "skin/controls/SkinControlGeometry.h"
#include "skin/controls/SkinResizedButton.h"
#include "skin/foundation/SkinDrawUtils.h"
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
  SetImages(FInternalImages);
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
  SetImages(nullptr);
  SetImages(FInternalImages);
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
  TBitmap frame;
  frame.SetPixelFormat(pf24bit);
  frame.SetSize(w, h);
  BuildSkinBitmap(&frame, FPicture, FRecord->skinrect, cr, true);
  C->Draw(r.left, r.top, &frame);
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
  if (FIndex != -1 && !FTabsBGTransparent && FPicture && GetTabPosition() == tpTop) {
    TRect bg = EmptyRect(FRecord->tabsbgrect) ? ClientPart(FRecord) : FRecord->tabsbgrect;
    const TRect d = GetDisplayRect();
    const int stripH = d.top - FRecord->clientrect.top;
    if (stripH > 0) {
      TBitmap strip;
      strip.SetPixelFormat(pf24bit);
      strip.SetSize(GetWidth(), stripH);
      FillFromPicture(strip.GetCanvas(), FPicture, bg, GetWidth(), stripH, false, stFull);
      C->Draw(0, 0, &strip);
    }
  }
  for (int i = 0; i < count; ++i)
    if (i != active)
      DrawTab(C, i, GetItemRect(i), false, i == FHotTab);
  if (active >= 0 && active < count) {
    TRect r = GetItemRect(active);
    if (FIndex != -1) {
      const int grow = RectHeight(FRecord->activetabrect) - RectHeight(FRecord->tabrect);
      if (GetTabPosition() == tpTop)
        r.bottom += grow;
    }
    DrawTab(C, active, r, true, active == FHotTab);
  }
}

void TskSkinPageControl::DrawTab(TCanvas* C, int VisibleIndex, const TRect& R, bool Active, bool MouseIn)
{
  TTabSheet* page = PageOfVisibleTab(VisibleIndex);
  const int tw = RectWidth(R), th = RectHeight(R);
  if (!page || tw <= 0 || th <= 0)
    return;
  TBitmap tab;
  tab.SetPixelFormat(pf24bit);
  tab.SetSize(tw, th);
  TCanvas* tc = tab.GetCanvas();
  const bool focused = HandleAllocated() && Focused();
  TRect t = Rect(0, 0, tw, th);
  if (FIndex == -1 || !FPicture) {
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
    BuildHorzSkinBitmap(FRecord->tableftoffset, FRecord->tabrightoffset, &tab, FPicture, s, tw, th,
                        FRecord->tabstretcheffect);
    if (tab.GetHeight() != th)
      tab.SetHeight(th);
    tc = tab.GetCanvas();
    if (FUseSkinFont) {
      tc->GetFont()->SetName(FRecord->fontname);
      tc->GetFont()->SetHeight(FRecord->fontheight);
      tc->GetFont()->SetStyle(FRecord->fontstyle);
    } else {
      tc->GetFont()->Assign(GetFont());
    }
    tc->GetFont()->SetColor(fc);
    if (RectHeight(FRecord->tabrect) != RectHeight(FRecord->activetabrect) && !Active)
      t.top += 2;
  }
  tc->GetBrush()->SetStyle(bsClear);
  const int cb = FShowCloseButtons ? FCloseButtonSize + 2 : 0;
  if (cb)
    t.right -= FIndex == -1 ? cb : cb + 3;
  TRect text = t;
  const String caption = page->GetCaption();
  DrawTextA(tc->GetHandle(), caption.c_str(), static_cast<int>(caption.size()), &text,
            DT_SINGLELINE | DT_VCENTER | DT_CENTER);
  if (FShowCloseButtons) {
    auto* sheet = dynamic_cast<TskSkinCustomTabSheet*>(page);
    if (sheet) {
      if (!MouseIn)
        sheet->CloseHot = false;
      DrawCloseButton(tc, Rect(t.right, t.top, tw, t.bottom), sheet);
    }
  }
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
