#include "skin/input/SkinPopupWindow.h"

#include <algorithm>

#include "platform/rtl/SyncObjs.h"
#include "platform/vcl/Forms.h"
#include "platform/vcl/ImgList.h"
#include "skin/foundation/SkinDrawUtils.h"
#include "skin/foundation/SkinGlyphs.h"
#include "skin/foundation/SkinImages.h"
#include "skin/foundation/SkinLayered.h"
#include "skin/foundation/SkinRegions.h"
#include "skin/foundation/SkinStripImages.h"
#include "skin/input/SkinMenu.h"

namespace {

constexpr int MarkerHeight = 10;
constexpr UINT_PTR ScrollTimerId = 1;

TBitmap* PictureAt(TskSkinData* Data, int Index)
{
  if (!Data || Index < 0 || Index >= static_cast<int>(Data->ActivePictures.size()))
    return nullptr;
  return Data->ActivePictures[static_cast<std::size_t>(Index)];
}

TskDataSkinMenuItem* MenuItemObject(TskSkinData* Data, const char* First, const char* Second)
{
  if (!Data)
    return nullptr;
  int i = Data->GetObjectIndex(First);
  if (i < 0)
    i = Data->GetObjectIndex(Second);
  if (i < 0)
    return nullptr;
  return dynamic_cast<TskDataSkinMenuItem*>(Data->ObjectList[static_cast<std::size_t>(i)]);
}

} // namespace

TskSkinPopupWindow::TskSkinPopupWindow(TskSkinMenu* AMenu, TskDataSkinPopupWindow* APopupRecord)
    : TCustomControl(AMenu), Menu(AMenu)
{
  // The menu keeps the pointer itself: no capture of the class library on a press.
  SetControlStyle((GetControlStyle() | csAcceptsControls | csNoDesignVisible | csReplicatable) & ~csCaptureMouse);
  SetCtl3D(false);
  SetParentCtl3D(false);
  SetVisible(false);
  if (APopupRecord && APopupRecord->windowpictureindex != -1 && Menu) {
    SkinData = Menu->SkinData;
    WindowPicture = PictureAt(SkinData, APopupRecord->windowpictureindex);
    MaskPicture = PictureAt(SkinData, APopupRecord->maskpictureindex);
    // A frame without its picture has no geometry to lay out: such a level takes the default look.
    if (WindowPicture && !WindowPicture->Empty())
      PopupRecord = APopupRecord;
    else {
      SkinData = nullptr;
      WindowPicture = MaskPicture = nullptr;
    }
  }
  if (Menu) {
    AlphaBlend = Menu->AlphaBlend;
    AlphaBlendValue = Menu->AlphaBlendValue;
    AlphaBlendAnimation = Menu->AlphaBlendAnimation;
  }
  auto timer = [this](Cardinal Interval, void (TskSkinPopupWindow::*Handler)()) {
    auto* t = new TTimer(this);
    t->SetEnabled(false);
    t->SetInterval(Interval);
    t->SetOnTimer([this, Handler](TObject*) { (this->*Handler)(); });
    return t;
  };
  MouseTimer = timer(50, &TskSkinPopupWindow::MouseTimerTick);
  AnimationTimer = timer(20, &TskSkinPopupWindow::AnimationTimerTick);
  ShowTimer = timer(100, &TskSkinPopupWindow::ShowTimerTick);
  ScreenCapture = std::make_unique<TBitmap>();
}

TskSkinPopupWindow::~TskSkinPopupWindow()
{
  *FAlive = false;
  if (HandleAllocated() && FScrollTimerOn)
    KillTimer(GetHandle(), ScrollTimerId);
  if (HandleAllocated() && GetCapture() == GetHandle())
    ReleaseCapture();
  Items.clear();
  delete MouseTimer;
  MouseTimer = nullptr;
  delete AnimationTimer;
  AnimationTimer = nullptr;
  delete ShowTimer;
  ShowTimer = nullptr;
  ScreenCapture.reset();
  ScreenCaptureBits.reset();
  BackgroundCopy.reset();
}

void TskSkinPopupWindow::CreateParams(TCreateParams& Params)
{
  TCustomControl::CreateParams(Params);
  Params.Style = WS_POPUP;
  Params.ExStyle = WS_EX_TOOLWINDOW;
  Params.WindowClass.style |= CS_SAVEBITS;
  if (IsWindowsXPOrLater())
    Params.WindowClass.style |= CS_DROPSHADOW;
}

TRect TskSkinPopupWindow::WorkArea() const
{
  if (Menu)
    return Menu->MenuWorkArea;
  TRect r = NullRect();
  GetDesktopWorkArea(true, r);
  return r;
}

// ---------------------------------------------------------------------------------------------
// Filling, sizing, layout

void TskSkinPopupWindow::Popup(const TRect& R, TMenuItem* Item, bool OpenAbove, bool SubMenu, int StartIndex)
{
  Fill(R, Item, nullptr, OpenAbove, SubMenu, StartIndex, false);
}

void TskSkinPopupWindow::PopupMerged(const TRect& R, TMenuItem* Item, TMenuItem* OtherItem, bool OpenAbove,
                                     bool SubMenu, int StartIndex)
{
  Fill(R, Item, OtherItem, OpenAbove, SubMenu, StartIndex, true);
}

void TskSkinPopupWindow::AddEntries(TMenuItem* Item, int From)
{
  if (!Item)
    return;
  for (int i = std::max(From, 0); i < Item->GetCount(); ++i) {
    TMenuItem* sub = Item->GetItem(i);
    if (!sub->GetVisible())
      continue;
    if (sub->GetAction())
      sub->GetAction()->Update();
    Items.push_back(std::make_unique<TskSkinMenuItem>(this, ItemRecord, sub));
  }
}

void TskSkinPopupWindow::Fill(const TRect& R, TMenuItem* Item, TMenuItem* OtherItem, bool OpenAbove, bool SubMenu,
                              int StartIndex, bool Merged)
{
  if (!Build(Item, OtherItem, StartIndex, Merged))
    return;
  const TPoint p = Placement(R, OpenAbove, SubMenu);
  PopupX = p.x;
  PopupY = p.y;
  ShowLevel();
}

bool TskSkinPopupWindow::Build(TMenuItem* Item, TMenuItem* OtherItem, int StartIndex, bool Merged)
{
  if (Menu && IsWindows2000OrLater() && Menu->AlphaBlend && Menu->AlphaBlendAnimation && Menu->FirstOpen) {
    // Pending messages may close the menu (and this level) meanwhile.
    std::shared_ptr<bool> alive = FAlive;
    Application->ProcessMessages();
    if (!*alive || (Menu && Menu->IndexOfLevel(this) >= Menu->LevelCount()))
      return false;
  }
  Items.clear();
  TCanvas* c = GetCanvas();
  ItemRecord = PopupRecord ? MenuItemObject(SkinData, "MENUITEM", "menuitem") : nullptr;
  // A record whose picture is missing (or whose entry rectangle is empty) cannot size entries:
  // the level then lays out and draws its entries in the default look inside its skinned frame.
  if (ItemRecord) {
    const int index = ItemRecord->activepictureindex;
    if (!PictureAt(SkinData, index) || RectHeight(ItemRecord->skinrect) <= 0)
      ItemRecord = nullptr;
  }
  if (ItemRecord && Menu && Menu->UseSkinFont) {
    c->GetFont()->SetHeight(ItemRecord->fontheight);
    c->GetFont()->SetStyle(ItemRecord->fontstyle);
    c->GetFont()->SetName(ItemRecord->fontname);
    c->GetFont()->SetCharset(Menu->DefMenuItemFont->GetCharset());
  } else if (Menu) {
    c->GetFont()->Assign(Menu->DefMenuItemFont.get());
  }
  if (Merged && Menu) {
    if (Menu->SkinData && Menu->SkinData->GetResourceStrData())
      c->GetFont()->SetCharset(Menu->SkinData->GetResourceStrData()->CharSet);
    else
      c->GetFont()->SetCharset(Menu->DefMenuItemFont->GetCharset());
  }
  TMenu* parentMenu = Item ? Item->GetParentMenu() : nullptr;
  if (Item && parentMenu && parentMenu->GetAutoLineReduction() == maAutomatic)
    Item->RethinkLines();
  Images = parentMenu ? parentMenu->GetImages() : nullptr;
  AddEntries(Item, StartIndex);
  if (Merged && OtherItem) {
    if (OtherItem->GetParentMenu() && OtherItem->GetParentMenu()->GetAutoLineReduction() == maAutomatic)
      OtherItem->RethinkLines();
    AddEntries(OtherItem, std::max(0, StartIndex - (Item ? Item->GetCount() : 0)));
  }
  SizeLevel();
  ComputeFrame();
  Layout();
  if (MaskPicture)
    BuildRegion();
  return true;
}

int TskSkinPopupWindow::EntryHeight(const TskSkinMenuItem* Entry) const
{
  const bool separator = Entry->IsSeparator();
  if (ItemRecord)
    return separator ? RectHeight(ItemRecord->dividerrect) : RectHeight(ItemRecord->skinrect);
  return separator ? 4 : (Menu ? Menu->DefMenuItemHeight : 20);
}

void TskSkinPopupWindow::SizeLevel()
{
  TopIndex = 0;
  VisibleCount = ItemCount();
  Scrollable = false;
  LimitedByMax = false;
  TCanvas* c = GetCanvas();
  int widest = 0;
  for (const auto& entry : Items) {
    String text = entry->MenuItem->GetCaption();
    if (entry->MenuItem->GetShortCut() != 0)
      text += "  " + ShortCutToText(entry->MenuItem->GetShortCut());
    TRect r = NullRect();
    DrawWideText(c, MenuTextToWide(text), r, DT_CALCRECT);
    widest = std::max(widest, RectWidth(r) + 2);
  }
  ImageColumnWidth = Images ? Images->GetWidth() + 5 : 16;
  const int pw = WindowPicture ? WindowPicture->GetWidth() : 0;
  const int ph = WindowPicture ? WindowPicture->GetHeight() : 0;
  int w = widest + 16 + ImageColumnWidth;
  int frameHeight = 6;
  if (PopupRecord) {
    const TRect& ir = PopupRecord->itemsrect;
    const int textMargins =
        ItemRecord ? ItemRecord->textrect.left + (RectWidth(ItemRecord->skinrect) - ItemRecord->textrect.right) : 10;
    w += textMargins + ir.left + (pw - ir.right);
    frameHeight = ph - ir.bottom + ir.top;
  } else {
    w += 10;
  }
  int sum = 0;
  for (const auto& entry : Items)
    sum += EntryHeight(entry.get());
  const int n = ItemCount();
  const int maxItems = Menu ? Menu->MaxMenuItemsInWindow : 0;
  int h;
  if (maxItems != 0 && maxItems < n) {
    const int itemHeight = ItemRecord ? RectHeight(ItemRecord->skinrect) : (Menu ? Menu->DefMenuItemHeight : 20);
    h = itemHeight * maxItems + frameHeight + 2 * MarkerHeight;
    Scrollable = true;
    LimitedByMax = true;
  } else {
    h = sum + frameHeight;
  }
  const TRect wa = WorkArea();
  if (RectHeight(wa) > 0 && h > RectHeight(wa)) {
    h = RectHeight(wa);
    Scrollable = true;
  }
  SetBounds(GetLeft(), GetTop(), w, h);
}

void TskSkinPopupWindow::ComputeFrame()
{
  const int w = GetWidth();
  const int h = GetHeight();
  if (!PopupRecord) {
    ItemsRect = Rect(3, 3, w - 3, h - 3);
    return;
  }
  const int pw = WindowPicture->GetWidth();
  const int ph = WindowPicture->GetHeight();
  const TskDataSkinPopupWindow* p = PopupRecord;
  LeftTopPoint = p->lefttoppoint;
  RightTopPoint = Point(w + p->righttoppoint.x - pw, p->righttoppoint.y);
  LeftBottomPoint = Point(p->leftbottompoint.x, h + p->leftbottompoint.y - ph);
  RightBottomPoint = Point(w + p->rightbottompoint.x - pw, h + p->rightbottompoint.y - ph);
  ItemsRect = Rect(p->itemsrect.left, p->itemsrect.top, w + p->itemsrect.right - pw, h + p->itemsrect.bottom - ph);
}

void TskSkinPopupWindow::Layout()
{
  int top = ItemsRect.top;
  int bottom = ItemsRect.bottom;
  if (Scrollable) {
    top += MarkerHeight;
    bottom -= MarkerHeight;
  }
  VisibleCount = 0;
  for (int i = TopIndex; i < ItemCount(); ++i) {
    TskSkinMenuItem* entry = Item(i);
    const int h = EntryHeight(entry);
    entry->ObjectRect = Rect(ItemsRect.left, top, ItemsRect.right, top + h);
    if (top + h > bottom)
      break;
    entry->Visible = true;
    ++VisibleCount;
    top += h;
  }
  if (Scrollable)
    for (int i = 0; i < ItemCount(); ++i)
      if (i < TopIndex || i >= TopIndex + VisibleCount)
        Item(i)->Visible = false;
}

int TskSkinPopupWindow::LastTopIndex() const
{
  int a = ItemsRect.bottom - MarkerHeight;
  int count = 0;
  for (int i = ItemCount() - 1; i >= 0; --i) {
    a -= EntryHeight(Item(i));
    if (a < MarkerHeight)
      break;
    ++count;
  }
  return ItemCount() - count;
}

bool TskSkinPopupWindow::CanScrollDown() const { return TopIndex + VisibleCount - 1 < ItemCount() - 1; }

void TskSkinPopupWindow::BuildRegion()
{
  const TskDataSkinPopupWindow* p = PopupRecord;
  HRGN rgn = nullptr;
  CreateFrameRegion(rgn, p->lefttoppoint, p->righttoppoint, p->leftbottompoint, p->rightbottompoint, p->itemsrect,
                    LeftTopPoint, RightTopPoint, LeftBottomPoint, RightBottomPoint, ItemsRect, MaskPicture,
                    GetWidth(), GetHeight());
  if (rgn)
    SetWindowRgn(GetHandle(), rgn, TRUE);
}

// ---------------------------------------------------------------------------------------------
// Placement and showing

TPoint TskSkinPopupWindow::Placement(const TRect& R, bool OpenAbove, bool SubMenu) const
{
  const TRect wa = WorkArea();
  const int w = GetWidth();
  const int h = GetHeight();
  const int mid = wa.top + RectHeight(wa) / 2;
  bool flipped = false;
  const bool fullHeight = Scrollable && !LimitedByMax;
  int y;
  if (fullHeight) {
    y = wa.top;
  } else if (SubMenu) {
    if (R.top + h - ItemsRect.top <= wa.bottom)
      y = R.top - ItemsRect.top;
    else if (R.top < mid)
      y = wa.bottom - h;
    else
      y = std::max(R.bottom - h + ItemsRect.top, static_cast<int>(wa.top));
  } else if (OpenAbove) {
    if (R.top - h >= wa.top) {
      y = R.top - h;
    } else if (R.top < mid && R.bottom + h <= wa.bottom) {
      y = R.bottom;
    } else if (R.top < mid) {
      y = wa.bottom - h;
      flipped = true;
    } else {
      y = wa.top;
      flipped = true;
    }
  } else {
    if (R.bottom + h <= wa.bottom) {
      y = R.bottom;
    } else if (R.top < mid) {
      y = wa.bottom - h;
      flipped = true;
    } else if (R.top - h >= wa.top) {
      y = R.top - h;
    } else {
      y = wa.top;
      flipped = true;
    }
  }
  int x;
  if (SubMenu || fullHeight || flipped) {
    x = R.right + w + 1 <= wa.right ? R.right + 1 : R.left - w - 1;
  } else if (R.left + w > wa.right) {
    x = wa.right - w;
  } else if (R.left < wa.left) {
    x = wa.left;
  } else {
    x = R.left;
  }
  return Point(x, y);
}

void TskSkinPopupWindow::ShowLevel()
{
  const bool layered = IsWindows2000OrLater();
  if (AlphaBlend && !layered) {
    ShowTimer->SetEnabled(true);
    return;
  }
  if (PopupRecord && PopupRecord->cursorindex != -1 && SkinData)
    SetCursor(static_cast<TCursor>(SkinData->StartCursorIndex + PopupRecord->cursorindex));
  const bool fade = Menu && layered && Menu->AlphaBlend && Menu->AlphaBlendAnimation && Menu->FirstOpen;
  SetBounds(PopupX, PopupY, GetWidth(), GetHeight());
  HWND wnd = GetHandle();
  if (layered && Menu && Menu->AlphaBlend) {
    SetWindowLongA(wnd, GWL_EXSTYLE, GetWindowLongA(wnd, GWL_EXSTYLE) | static_cast<LONG>(WS_EX_LAYERED));
    SetLayeredAlpha(wnd, fade ? 0 : AlphaBlendValue);
  }
  SetWindowPos(wnd, HWND_TOPMOST, PopupX, PopupY, 0, 0, SWP_NOSIZE | SWP_NOACTIVATE | SWP_SHOWWINDOW);
  SetVisible(true);
  if (fade)
    FadeIn();
  // The first level holds the pointer: presses outside the menu reach it and close the menu.
  if (Menu && Menu->IndexOfLevel(this) == 0)
    SetCapture(wnd);
  MouseTimer->SetEnabled(true);
  SelectFirst(true);
}

void TskSkinPopupWindow::FadeIn()
{
  // A busy loop on the GUI thread: no message is handled meanwhile, so the level cannot go away.
  FadeSteps.clear();
  const int target = AlphaBlendValue;
  const int step = std::max(target / 15, 1);
  int alpha = 0;
  Cardinal last = GetTickCount();
  while (alpha < target) {
    const Cardinal now = GetTickCount();
    if (now - last <= 5)
      continue;
    last = now;
    alpha = std::min(alpha + step, target);
    SetLayeredAlpha(GetHandle(), alpha);
    FadeSteps.push_back(alpha);
  }
}

void TskSkinPopupWindow::SelectFirst(bool MarkOnOpen)
{
  ItemIndex = -1;
  for (int i = 0; i < ItemCount(); ++i) {
    TskSkinMenuItem* entry = Item(i);
    if (!entry->IsSelectable())
      continue;
    ItemIndex = i;
    entry->SelectedOnOpen = MarkOnOpen;
    entry->Select(true);
    return;
  }
}

void TskSkinPopupWindow::ShowTimerTick()
{
  if (!ShowTimer->GetEnabled())
    return;
  ScreenCapture->SetPixelFormat(pf24bit);
  ScreenCapture->SetSize(GetWidth() + 1, GetHeight() + 1);
  CopyScreenToBitmap(PopupX, PopupY, ScreenCapture.get());
  ScreenCaptureBits = TskEffectBmp::CreateFromBitmap(ScreenCapture->GetHandle());
  if (PopupRecord && PopupRecord->cursorindex != -1 && SkinData)
    SetCursor(static_cast<TCursor>(SkinData->StartCursorIndex + PopupRecord->cursorindex));
  SetBounds(PopupX, PopupY, GetWidth(), GetHeight());
  SetWindowPos(GetHandle(), HWND_TOPMOST, PopupX, PopupY, 0, 0, SWP_NOSIZE | SWP_NOACTIVATE | SWP_SHOWWINDOW);
  SetVisible(true);
  if (Menu && Menu->IndexOfLevel(this) == 0)
    SetCapture(GetHandle());
  MouseTimer->SetEnabled(true);
  std::shared_ptr<bool> alive = FAlive;
  if (ItemCount() > 0) {
    TskSkinMenu::TBusy busy(Menu);
    ItemIndex = 0;
    Item(0)->Select(true);
  }
  if (*alive)
    ShowTimer->SetEnabled(false);
}

// ---------------------------------------------------------------------------------------------
// Painting

void TskSkinPopupWindow::BuildBackground(TBitmap* Target, bool FillMiddle)
{
  const int w = GetWidth();
  const int h = GetHeight();
  Target->SetPixelFormat(pf24bit);
  Target->SetSize(w, h);
  TCanvas* c = Target->GetCanvas();
  if (PopupRecord) {
    const TskDataSkinPopupWindow* p = PopupRecord;
    BuildNineSliceBitmapStretched(p->lefttoppoint, p->righttoppoint, p->leftbottompoint, p->rightbottompoint,
                                  p->itemsrect, LeftTopPoint, RightTopPoint, LeftBottomPoint, RightBottomPoint,
                                  ItemsRect, Target, WindowPicture,
                                  Rect(0, 0, WindowPicture->GetWidth(), WindowPicture->GetHeight()), w, h, FillMiddle,
                                  p->leftstretch, p->topstretch, p->rightstretch, p->bottomstretch, p->stretcheffect,
                                  p->stretchtype);
    // Entries in the default look inside a skinned frame (no menu-item record) sit on the window
    // colour when the frame leaves the middle unpainted.
    if (!ItemRecord && !FillMiddle) {
      c->GetBrush()->SetStyle(bsSolid);
      c->GetBrush()->SetColor(clWindow);
      c->FillRect(ItemsRect);
    }
    return;
  }
  const int band = Images ? ImageColumnWidth + 3 : 22;
  c->GetBrush()->SetStyle(bsSolid);
  c->GetBrush()->SetColor(clBtnFace);
  c->FillRect(Rect(0, 0, band, h));
  c->GetBrush()->SetColor(clWindow);
  c->FillRect(Rect(band, 0, w, h));
  c->GetBrush()->SetColor(clBtnShadow);
  c->FrameRect(Rect(0, 0, w, h));
  c->GetBrush()->SetColor(clWindow);
  c->FrameRect(Rect(1, 1, w - 1, h - 1));
}

void TskSkinPopupWindow::PaintLevel(HDC DC)
{
  const int w = GetWidth();
  const int h = GetHeight();
  if (w <= 0 || h <= 0)
    return;
  auto b = std::make_unique<TBitmap>();
  BuildBackground(b.get(), Scrollable);
  if (AlphaBlend && !IsWindows2000OrLater() && ScreenCaptureBits) {
    std::unique_ptr<TskEffectBmp> bits = TskEffectBmp::CreateFromBitmap(b->GetHandle());
    auto under = std::make_unique<TskEffectBmp>(w, h);
    for (int y = 0; y < h; ++y)
      for (int x = 0; x < w; ++x)
        under->SetPixel(x, y, ScreenCaptureBits->GetPixel(x, y));
    bits->Morph(under.get(), 1.0 - AlphaBlendValue / 255.0);
    bits->Draw(b->GetCanvas()->GetHandle(), 0, 0);
  }
  if (PopupRecord && ItemRecord && ItemRecord->inactivetransparent) {
    if (!BackgroundCopy)
      BackgroundCopy = std::make_unique<TBitmap>();
    BuildBackground(BackgroundCopy.get(), true);
  }
  int lastBottom = ItemsRect.top;
  for (int i = TopIndex; i < std::min(TopIndex + VisibleCount, ItemCount()); ++i) {
    Item(i)->Draw(b->GetCanvas());
    lastBottom = Item(i)->ObjectRect.bottom;
  }
  if (Scrollable) {
    if (PopupRecord && lastBottom < ItemsRect.bottom - MarkerHeight) {
      // The gap under the last entry takes the marker background.
      DrawMarker(b->GetCanvas(), Rect(ItemsRect.left, lastBottom, ItemsRect.right, ItemsRect.bottom - MarkerHeight), 0);
    }
    DrawScrollMarkers(b->GetCanvas());
  }
  BitBlt(DC, 0, 0, w, h, b->GetCanvas()->GetHandle(), 0, 0, SRCCOPY);
}

void TskSkinPopupWindow::DrawMarker(TCanvas* Canvas, const TRect& Band, int Direction)
{
  if (RectWidth(Band) <= 0 || RectHeight(Band) <= 0)
    return;
  if (PopupRecord) {
    TskDataSkinMenuItem* object = MenuItemObject(SkinData, "menuitem", "MENUITEM");
    if (object) {
      if (ItemRecord && ItemRecord->inactivetransparent && BackgroundCopy) {
        Canvas->CopyRect(Band, BackgroundCopy->GetCanvas(), Band);
      } else if (TBitmap* picture = PictureAt(SkinData, object->activepictureindex)) {
        auto strip = std::make_unique<TBitmap>();
        strip->SetPixelFormat(pf24bit);
        BuildHorzSkinBitmap(object->itemleftoffset, object->itemrightoffset, strip.get(), picture, object->skinrect,
                            RectWidth(Band), RectHeight(Band), object->inactivestretcheffect);
        const int hh = std::min(RectHeight(Band), strip->GetHeight());
        Canvas->CopyRect(Rect(Band.left, Band.top, Band.right, Band.top + hh), strip->GetCanvas(),
                         Rect(0, 0, RectWidth(Band), hh));
      }
    }
    if (Direction != 0) {
      const bool active = ScrollDirection == (Direction == 3 ? 1 : 2);
      DrawArrowGlyph(Canvas, Band, active ? PopupRecord->scrollmarkeractivecolor : PopupRecord->scrollmarkercolor,
                     Direction);
    }
    return;
  }
  if (Direction != 0) {
    const bool active = ScrollDirection == (Direction == 3 ? 1 : 2);
    DrawArrowGlyph(Canvas, Band, active ? clBtnText : clBtnShadow, Direction);
  }
}

void TskSkinPopupWindow::DrawScrollMarkers(TCanvas* Canvas)
{
  if (PopupRecord) {
    DrawMarker(Canvas, Rect(ItemsRect.left, ItemsRect.top, ItemsRect.right, ItemsRect.top + MarkerHeight), 3);
    DrawMarker(Canvas, Rect(ItemsRect.left, ItemsRect.bottom - MarkerHeight, ItemsRect.right, ItemsRect.bottom), 4);
  } else {
    DrawMarker(Canvas, Rect(3, 3, GetWidth() - 3, 13), 3);
    DrawMarker(Canvas, Rect(3, GetHeight() - 10, GetWidth() - 3, GetHeight() - 3), 4);
  }
}

// ---------------------------------------------------------------------------------------------
// Messages and the mouse

void TskSkinPopupWindow::WndProc(TMessage& Message)
{
  // Entries and the manager may close levels while this message is handled; closed levels are
  // freed once the outermost call into the menu returns.
  std::unique_ptr<TskSkinMenu::TBusy> busy;
  if (Menu)
    busy = std::make_unique<TskSkinMenu::TBusy>(Menu);
  switch (Message.Msg) {
  case WM_MOUSEACTIVATE:
    Message.Result = MA_NOACTIVATE;
    return;
  case WM_ERASEBKGND:
    PaintLevel(reinterpret_cast<HDC>(Message.WParam));
    Message.Result = 1;
    return;
  case WM_LBUTTONDOWN:
  case WM_RBUTTONDOWN:
  case WM_MBUTTONDOWN:
  case WM_LBUTTONUP:
  case WM_RBUTTONUP:
  case WM_MBUTTONUP:
    if (HandleAllocated() && GetCapture() == GetHandle()) {
      PressWhileGrabbed(Message);
      return;
    }
    break;
  default:
    break;
  }
  std::shared_ptr<bool> alive = FAlive;
  TCustomControl::WndProc(Message);
  if (*alive && Message.Msg == WM_TIMER && Message.WParam == ScrollTimerId)
    ScrollTimerTick();
}

void TskSkinPopupWindow::PressWhileGrabbed(const TMessage& Message)
{
  POINT p{static_cast<short>(LOWORD(Message.LParam)), static_cast<short>(HIWORD(Message.LParam))};
  const TPoint screen = ClientToScreen(Point(p.x, p.y));
  TskSkinPopupWindow* target = nullptr;
  if (Menu)
    for (auto it = Menu->Levels.rbegin(); it != Menu->Levels.rend(); ++it)
      if (const TRect bounds = (*it)->GetBoundsRect(); (*it)->GetVisible() && PtInRect(&bounds, screen)) {
        target = *it;
        break;
      }
  const bool down =
      Message.Msg == WM_LBUTTONDOWN || Message.Msg == WM_RBUTTONDOWN || Message.Msg == WM_MBUTTONDOWN;
  if (!target) {
    if (down && Menu)
      Menu->CloseMenu();
    return;
  }
  if (down)
    return;
  const TMouseButton button =
      Message.Msg == WM_LBUTTONUP ? mbLeft : (Message.Msg == WM_RBUTTONUP ? mbRight : mbMiddle);
  const TPoint local = target->ScreenToClient(screen);
  target->MouseUp(button, KeysToShiftState(static_cast<Word>(Message.WParam)), local.x, local.y);
}

void TskSkinPopupWindow::MouseTimerTick()
{
  if (!HandleAllocated() || !GetVisible())
    return;
  std::unique_ptr<TskSkinMenu::TBusy> busy;
  if (Menu)
    busy = std::make_unique<TskSkinMenu::TBusy>(Menu);
  POINT screen{};
  GetCursorPos(&screen);
  POINT p = screen;
  ::ScreenToClient(GetHandle(), &p);
  if (p.x == LastMouseX && p.y == LastMouseY)
    return;
  LastMouseX = p.x;
  LastMouseY = p.y;
  if (WindowFromPoint(screen) == GetHandle()) {
    TrackMouse(p.x, p.y);
  } else if (Scrollable) {
    ScrollDirection = 0;
    DrawScrollMarkers(GetCanvas());
  }
}

void TskSkinPopupWindow::TrackMouse(int X, int Y)
{
  const TPoint pt = Point(X, Y);
  if (Scrollable) {
    const TRect up = PopupRecord ? Rect(ItemsRect.left, ItemsRect.top, ItemsRect.right, ItemsRect.top + MarkerHeight)
                                 : Rect(3, 3, GetWidth() - 3, 13);
    const TRect down = PopupRecord
                           ? Rect(ItemsRect.left, ItemsRect.bottom - MarkerHeight, ItemsRect.right, ItemsRect.bottom)
                           : Rect(3, GetHeight() - 10, GetWidth() - 3, GetHeight() - 3);
    if (PtInRect(&up, pt)) {
      if (ScrollDirection == 0 && CanScrollUp()) {
        ScrollDirection = 1;
        DrawScrollMarkers(GetCanvas());
        StartScroll();
      }
    } else if (PtInRect(&down, pt)) {
      if (ScrollDirection == 0 && CanScrollDown()) {
        ScrollDirection = 2;
        DrawScrollMarkers(GetCanvas());
        StartScroll();
      }
    } else if (ScrollDirection != 0) {
      StopScroll();
    }
  }
  if (Items.empty())
    return;
  OldItemIndex = ItemIndex;
  for (int i = 0; i < ItemCount(); ++i)
    if (Item(i)->Visible && PtInRect(&Item(i)->ObjectRect, pt)) {
      ItemIndex = i;
      break;
    }
  if (ItemIndex >= ItemCount())
    ItemIndex = -1;
  if (ItemIndex == OldItemIndex) {
    if (ItemIndex != -1 && Item(ItemIndex)->SelectedOnOpen) {
      TskSkinMenuItem* entry = Item(ItemIndex);
      entry->SelectedOnOpen = false;
      if (entry->MenuItem->GetCount() > 0)
        entry->Select(false);
    }
    return;
  }
  std::shared_ptr<bool> alive = FAlive;
  if (OldItemIndex >= 0 && OldItemIndex < ItemCount() && Item(OldItemIndex)->IsSelectable())
    Item(OldItemIndex)->Deselect();
  if (*alive && ItemIndex >= 0 && Item(ItemIndex)->IsSelectable())
    Item(ItemIndex)->Select(false);
}

void TskSkinPopupWindow::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y)
{
  std::shared_ptr<bool> alive = FAlive;
  TCustomControl::MouseUp(Button, Shift, X, Y);
  if (!*alive)
    return;
  TskSkinMenu::TBusy busy(Menu);
  TrackMouse(X, Y);
  if (!*alive || ItemIndex == -1 || Button != mbLeft)
    return;
  bool inItem = false;
  for (const auto& entry : Items)
    if (entry->Visible && PtInRect(&entry->ObjectRect, Point(X, Y)))
      inItem = true;
  if (inItem && ItemIndex < ItemCount() && !Item(ItemIndex)->IsSeparator())
    Item(ItemIndex)->Click();
}

// ---------------------------------------------------------------------------------------------
// Scrolling

void TskSkinPopupWindow::ScrollUp(bool Wrap)
{
  if (TopIndex > 0)
    --TopIndex;
  else if (Wrap)
    TopIndex = LastTopIndex();
  else
    return;
  Layout();
  if (GetVisible())
    Repaint();
}

void TskSkinPopupWindow::ScrollDown(bool Wrap)
{
  if (CanScrollDown())
    ++TopIndex;
  else if (Wrap)
    TopIndex = 0;
  else
    return;
  Layout();
  if (GetVisible())
    Repaint();
}

void TskSkinPopupWindow::StartScroll()
{
  ShowTimer->SetEnabled(false);
  if (Menu)
    Menu->CloseLevels(Menu->IndexOfLevel(this) + 1);
  if (HandleAllocated()) {
    KillTimer(GetHandle(), ScrollTimerId);
    SetTimer(GetHandle(), ScrollTimerId, 100, nullptr);
    FScrollTimerOn = true;
  }
}

void TskSkinPopupWindow::StopScroll()
{
  ScrollDirection = 0;
  if (HandleAllocated()) {
    DrawScrollMarkers(GetCanvas());
    KillTimer(GetHandle(), ScrollTimerId);
  }
  FScrollTimerOn = false;
}

void TskSkinPopupWindow::ScrollTimerTick()
{
  if (ScrollDirection == 1) {
    if (CanScrollUp())
      ScrollUp(false);
    else
      StopScroll();
  } else if (ScrollDirection == 2) {
    if (CanScrollDown())
      ScrollDown(false);
    else
      StopScroll();
  }
}

void TskSkinPopupWindow::CloseDeeperLevels()
{
  if (Menu)
    Menu->CloseLevels(Menu->IndexOfLevel(this) + 1);
  for (auto& entry : Items)
    if (entry->Down) {
      entry->Down = false;
      entry->Refresh();
    }
}

void TskSkinPopupWindow::AnimationTimerTick()
{
  if (!PopupRecord)
    return;
  bool changed = false;
  for (auto& entry : Items) {
    if (entry->HasMorph() && entry->MorphStepNeeded()) {
      entry->MorphStep();
      changed = true;
    } else if (entry->HasFrameAnimation()) {
      if (entry->Active && entry->CurrentFrame <= entry->ItemRecord->framecount) {
        ++entry->CurrentFrame;
        entry->Draw(GetCanvas());
        changed = true;
      } else if (!entry->Active && entry->CurrentFrame > 0) {
        --entry->CurrentFrame;
        entry->Draw(GetCanvas());
        changed = true;
      }
    }
  }
  if (!changed)
    AnimationTimer->SetEnabled(false);
}

// ---------------------------------------------------------------------------------------------
// Keys

void TskSkinPopupWindow::ChangeActive(int NewIndex, bool ByKey)
{
  if (NewIndex == ItemIndex || NewIndex < 0)
    return;
  const int old = ItemIndex;
  ItemIndex = NewIndex;
  std::shared_ptr<bool> alive = FAlive;
  Item(NewIndex)->Select(ByKey);
  if (*alive && old >= 0 && old < ItemCount())
    Item(old)->Deselect();
}

void TskSkinPopupWindow::NextItem()
{
  const int n = ItemCount();
  if (n == 0)
    return;
  if (Scrollable && ScrollDirection == 0 && ItemIndex != -1 && LastVisible(ItemIndex))
    ScrollDown(true);
  int start = ItemIndex + 1;
  if (start >= n)
    start = 0;
  int found = -1;
  for (int i = start; i < n; ++i) {
    if (Item(i)->IsSelectable()) {
      found = i;
      break;
    }
    if (Scrollable && ScrollDirection == 0 && LastVisible(i))
      ScrollDown(true);
  }
  ChangeActive(found, true);
}

void TskSkinPopupWindow::PrevItem()
{
  const int n = ItemCount();
  if (n == 0)
    return;
  if (Scrollable && ScrollDirection == 0 && ItemIndex != -1 && ItemIndex == TopIndex)
    ScrollUp(true);
  int start = ItemIndex - 1;
  if (ItemIndex == -1 || start < 0)
    start = n - 1;
  int found = -1;
  for (int i = start; i >= 0; --i) {
    if (Item(i)->IsSelectable()) {
      found = i;
      break;
    }
    if (Scrollable && ScrollDirection == 0 && i == TopIndex)
      ScrollUp(true);
  }
  ChangeActive(found, true);
}

void TskSkinPopupWindow::ProcessKey(Word Key)
{
  if (!GetVisible())
    return;
  std::unique_ptr<TskSkinMenu::TBusy> busy;
  if (Menu)
    busy = std::make_unique<TskSkinMenu::TBusy>(Menu);
  std::shared_ptr<bool> alive = FAlive;
  for (int i = 0; i < ItemCount(); ++i) {
    if (!IsAccel(Key, Item(i)->MenuItem->GetCaption()))
      continue;
    TskSkinMenuItem* entry = Item(i);
    const int old = ItemIndex;
    entry->Select(false);
    if (!*alive)
      return;
    ItemIndex = i;
    if (old >= 0 && old < ItemCount() && old != i)
      Item(old)->Deselect();
    entry->Click();
    return;
  }
  TskSkinMenuItem* active = ItemIndex >= 0 && ItemIndex < ItemCount() ? Item(ItemIndex) : nullptr;
  switch (Key) {
  case VK_RETURN:
    if (active)
      active->Click();
    break;
  case VK_ESCAPE:
  case VK_LEFT:
    if (Menu && Menu->LevelCount() > 1) {
      TskSkinPopupWindow* parent = Menu->Levels[Menu->Levels.size() - 2];
      if (parent->ItemIndex >= 0 && parent->ItemIndex < parent->ItemCount()) {
        TskSkinMenuItem* opened = parent->Item(parent->ItemIndex);
        opened->Down = false;
        opened->Refresh();
      }
      Menu->CloseLevels(Menu->LevelCount() - 1);
    } else if (Menu && Key == VK_ESCAPE) {
      Menu->CloseLevels(0);
    }
    break;
  case VK_UP:
    PrevItem();
    break;
  case VK_DOWN:
    NextItem();
    break;
  case VK_RIGHT:
    if (active && active->MenuItem->GetCount() > 0)
      active->Click();
    break;
  default:
    break;
  }
}
