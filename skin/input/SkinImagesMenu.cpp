#include "skin/input/SkinImagesMenu.h"

#include <algorithm>

#include "skin/controls/SkinResizedButton.h"
#include "skin/foundation/SkinDrawUtils.h"
#include "skin/foundation/SkinImages.h"
#include "skin/foundation/SkinLayered.h"
#include "skin/foundation/SkinRegions.h"
#include "skin/foundation/SkinStripImages.h"
#include "skin/input/SkinHint.h"

namespace {

TBitmap* MenuPicture(TskSkinData* Data, int Index)
{
  if (!Data || Index < 0 || Index >= static_cast<int>(Data->ActivePictures.size()))
    return nullptr;
  TBitmap* b = Data->ActivePictures[static_cast<std::size_t>(Index)];
  return b && !b->Empty() ? b : nullptr;
}

template <typename T>
T* ControlRecord(TskSkinData* Data, const char* Name)
{
  if (!Data || Data->Empty)
    return nullptr;
  const int i = Data->GetControlIndex(Name);
  return i < 0 ? nullptr : dynamic_cast<T*>(Data->ControlList[static_cast<std::size_t>(i)]);
}

TskDataSkinMenuItem* ObjectRecord(TskSkinData* Data, const char* Name)
{
  if (!Data || Data->Empty)
    return nullptr;
  const int i = Data->GetObjectIndex(Name);
  return i < 0 ? nullptr : dynamic_cast<TskDataSkinMenuItem*>(Data->ObjectList[static_cast<std::size_t>(i)]);
}

// The button record that draws the cells: "menuitembutton", else "resizebutton".
const char* CellRecordName(TskSkinData* Data)
{
  return ControlRecord<TskDataSkinButtonControl>(Data, "menuitembutton") ? "menuitembutton" : "resizebutton";
}

void DrawLine(TCanvas* Canvas, TRect R, const String& Text, UINT Flags)
{
  DrawTextA(Canvas->GetHandle(), Text.c_str(), static_cast<int>(Text.size()), &R, Flags);
}

} // namespace

// ---------------------------------------------------------------------------------------------
// Items

void TskImagesMenuItem::Assign(TPersistent* Source)
{
  if (auto* other = dynamic_cast<TskImagesMenuItem*>(Source)) {
    FImageIndex = other->FImageIndex;
    FCaption = other->FCaption;
    FButton = other->FButton;
    FHint = other->FHint;
    return;
  }
  TCollectionItem::Assign(Source);
}

TskImagesMenuItems::TskImagesMenuItems(TskSkinImagesMenu* AMenu)
    : TOwnedCollection(AMenu, TCollection::ItemClassOf<TskImagesMenuItem>())
{
}

// ---------------------------------------------------------------------------------------------
// The popup window

TskSkinImagesMenuPopupWindow::TskSkinImagesMenuPopupWindow(TskSkinImagesMenu* AMenu)
    : TCustomControl(nullptr), Menu(AMenu)
{
  SetControlStyle((GetControlStyle() | csNoDesignVisible | csReplicatable) & ~csCaptureMouse);
  SetVisible(false);
  TskDataSkinPopupWindow* rec = Record();
  if (rec) {
    WindowPicture = MenuPicture(Menu->GetSkinData(), rec->windowpictureindex);
    MaskPicture = MenuPicture(Menu->GetSkinData(), rec->maskpictureindex);
    Skinned = WindowPicture != nullptr;
  }
}

TskSkinImagesMenuPopupWindow::~TskSkinImagesMenuPopupWindow() { HideWindow(); }

TskDataSkinPopupWindow* TskSkinImagesMenuPopupWindow::Record() const
{
  TskSkinData* d = Menu->GetSkinData();
  if (!d || d->Empty || !d->PopupWindow || d->PopupWindow->windowpictureindex == -1)
    return nullptr;
  return d->PopupWindow;
}

void TskSkinImagesMenuPopupWindow::CreateParams(TCreateParams& Params)
{
  TCustomControl::CreateParams(Params);
  Params.Style = WS_POPUP;
  Params.ExStyle = WS_EX_TOOLWINDOW;
  Params.WindowClass.style |= CS_SAVEBITS;
  Params.WndParent = nullptr;
  if (IsWindowsXPOrLater())
    Params.WindowClass.style |= CS_DROPSHADOW;
}

int TskSkinImagesMenuPopupWindow::Count() const { return Menu->GetImagesItems()->GetCount(); }

TskImagesMenuItem* TskSkinImagesMenuPopupWindow::Item(int Index) const
{
  return Menu->GetImagesItems()->GetItem(Index);
}

int TskSkinImagesMenuPopupWindow::FirstSelectable() const
{
  if (Count() == 0)
    return -1;
  return IsHeader(0) ? (Count() > 1 ? 1 : -1) : 0;
}

void TskSkinImagesMenuPopupWindow::LayoutAndSize()
{
  TCustomImageList* images = Menu->GetImages();
  const int cw = (images ? images->GetWidth() : 0) + 10;
  const int ch = (images ? images->GetHeight() : 0) + 10;
  const int gw = Menu->GetColumnsCount() * cw;
  TskDataSkinPopupWindow* rec = Skinned ? Record() : nullptr;
  const int l = rec ? rec->itemsrect.left : 5;
  int t = rec ? rec->itemsrect.top : 5;
  auto* label = ControlRecord<TskDataSkinLabelControl>(Menu->GetSkinData(), "label");
  const int hh = label ? RectHeight(label->skinrect) : ch;
  int x = l;
  for (int i = 0; i < Count(); ++i) {
    TskImagesMenuItem* it = Item(i);
    if (it->GetHeader()) {
      if (x != l)
        t += ch + 1;
      it->FItemRect = Rect(l, t, l + gw, t + hh);
      t += hh + 1;
      x = l;
    } else if (it->GetButton()) {
      if (x != l)
        t += ch + 1;
      it->FItemRect = Rect(l, t, l + gw, t + ch);
      x = l;
      t += ch + 1;
    } else {
      it->FItemRect = Rect(x, t, x + cw, t + ch);
      const int old = x;
      x += cw;
      if (l + gw < old + 2 * cw) {
        x = l;
        t += ch + 1;
      }
    }
  }
  // Without items the grid has no height (the popup is just its frame).
  const int d = Count() > 0 ? Item(Count() - 1)->FItemRect.bottom - Item(0)->FItemRect.top : 0;
  if (rec) {
    const int pw = WindowPicture->GetWidth();
    const int ph = WindowPicture->GetHeight();
    const int w = pw + gw - RectWidth(rec->itemsrect);
    const int h = ph + d - RectHeight(rec->itemsrect);
    SetBounds(GetLeft(), GetTop(), w, h);
    LeftTopPoint = rec->lefttoppoint;
    RightTopPoint = Point(w + rec->righttoppoint.x - pw, rec->righttoppoint.y);
    LeftBottomPoint = Point(rec->leftbottompoint.x, h + rec->leftbottompoint.y - ph);
    RightBottomPoint = Point(w + rec->rightbottompoint.x - pw, h + rec->rightbottompoint.y - ph);
    ItemsRect = Rect(rec->itemsrect.left, rec->itemsrect.top, w + rec->itemsrect.right - pw,
                     h + rec->itemsrect.bottom - ph);
  } else {
    SetBounds(GetLeft(), GetTop(), gw + 10, d + 10);
    ItemsRect = Rect(5, 5, 5 + gw, 5 + d);
  }
}

TRect TskSkinImagesMenuPopupWindow::WorkArea() const
{
  TCustomForm* ref = Screen->GetActiveCustomForm();
  if (!ref && Application->GetMainForm() && Application->GetMainForm()->GetVisible())
    ref = Application->GetMainForm();
  if (!ref)
    if (auto* owner = dynamic_cast<TWinControl*>(Menu->GetOwner()))
      return Screen->MonitorFromWindow(owner->GetHandle()).WorkareaRect;
  if (ref)
    return Screen->MonitorFromWindow(ref->GetHandle()).WorkareaRect;
  return Screen->GetWorkAreaRect();
}

TPoint TskSkinImagesMenuPopupWindow::Placement(const TRect& R) const
{
  const TRect wa = WorkArea();
  int x = R.left;
  int y = R.bottom;
  if (y + GetHeight() > wa.bottom)
    y -= GetHeight() + RectHeight(R);
  if (x + GetWidth() > wa.right)
    x = wa.right - GetWidth();
  x = std::max(x, static_cast<int>(wa.left));
  y = std::max(y, static_cast<int>(wa.top));
  return Point(x, y);
}

void TskSkinImagesMenuPopupWindow::Show(const TRect& R)
{
  LayoutAndSize();
  const TPoint p = Placement(R);
  SetBounds(p.x, p.y, GetWidth(), GetHeight());
  HWND wnd = GetHandle();
  if (Skinned && MaskPicture) {
    TskDataSkinPopupWindow* rec = Record();
    HRGN rgn = nullptr;
    CreateFrameRegion(rgn, rec->lefttoppoint, rec->righttoppoint, rec->leftbottompoint, rec->rightbottompoint,
                      rec->itemsrect, LeftTopPoint, RightTopPoint, LeftBottomPoint, RightBottomPoint, ItemsRect,
                      MaskPicture, GetWidth(), GetHeight());
    if (rgn)
      SetWindowRgn(wnd, rgn, TRUE);
  }
  const bool layered = IsWindows2000OrLater();
  const bool fade = layered && Menu->GetAlphaBlend() && Menu->GetAlphaBlendAnimation();
  if (layered && Menu->GetAlphaBlend()) {
    SetWindowLongA(wnd, GWL_EXSTYLE, GetWindowLongA(wnd, GWL_EXSTYLE) | static_cast<LONG>(WS_EX_LAYERED));
    SetLayeredAlpha(wnd, fade ? 0 : Menu->GetAlphaBlendValue());
  }
  SetWindowPos(wnd, HWND_TOPMOST, p.x, p.y, 0, 0, SWP_SHOWWINDOW | SWP_NOACTIVATE | SWP_NOSIZE);
  SetVisible(true);
  if (fade) {
    // The fade runs around the message loop: it stops when the popup closes meanwhile.
    std::weak_ptr<bool> alive = Menu->AliveToken();
    Application->ProcessMessages();
    const int target = Menu->GetAlphaBlendValue();
    const int step = std::max(target / 15, 1);
    int alpha = 0;
    Cardinal last = GetTickCount();
    while (alpha < target) {
      auto a = alive.lock();
      if (!a || !*a || Menu->GetPopupWindow() != this)
        return;
      const Cardinal now = GetTickCount();
      if (now - last <= 5)
        continue;
      last = now;
      alpha = std::min(alpha + step, target);
      SetLayeredAlpha(wnd, alpha);
    }
  }
  SavedOnMessage = Application->OnMessage;
  FilterInstalled = true;
  Application->OnMessage = [this](MSG& Msg, bool& Handled) { FilterMessage(Msg, Handled); };
  SetCapture(wnd);
}

void TskSkinImagesMenuPopupWindow::HideWindow()
{
  if (HandleAllocated() && GetVisible())
    SetWindowPos(GetHandle(), nullptr, 0, 0, 0, 0,
                 SWP_HIDEWINDOW | SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  SetVisible(false);
  if (FilterInstalled) {
    FilterInstalled = false;
    Application->OnMessage = SavedOnMessage;
    SavedOnMessage = nullptr;
  }
  if (HandleAllocated() && GetCapture() == GetHandle())
    ReleaseCapture();
}

void TskSkinImagesMenuPopupWindow::FilterMessage(MSG& Msg, bool& Handled)
{
  switch (Msg.message) {
  case WM_KEYDOWN:
    Msg.message = 0;
    Handled = true;
    ProcessKey(static_cast<Word>(Msg.wParam));
    return;
  case WM_MOVE:
  case WM_SIZE:
  case WM_ACTIVATE:
  case WM_KILLFOCUS:
  case WM_CANCELMODE:
  case WM_MOUSEACTIVATE:
  case WM_NCLBUTTONDOWN:
  case WM_NCRBUTTONDOWN:
  case WM_NCMBUTTONDOWN:
  case WM_SYSKEYDOWN:
  case WM_SYSCHAR:
  case WM_RBUTTONDOWN:
  case WM_MBUTTONDOWN:
  case WM_PARENTNOTIFY:
    Menu->ClosePopup(false);
    return;
  default:
    return;
  }
}

void TskSkinImagesMenuPopupWindow::SetHot(int Index)
{
  HotIndex = Index;
  Invalidate();
}

void TskSkinImagesMenuPopupWindow::ProcessKey(Word Key)
{
  const int n = Count();
  switch (Key) {
  case VK_RETURN:
  case VK_SPACE:
    if (HotIndex != -1)
      Menu->SetItemIndex(HotIndex);
    Menu->ClosePopup(true);
    return;
  case VK_ESCAPE:
    Menu->ClosePopup(false);
    return;
  case VK_RIGHT:
    if (n == 0)
      return;
    if (HotIndex == -1 || HotIndex == n - 1) {
      SetHot(FirstSelectable());
    } else {
      for (int i = HotIndex + 1; i < n; ++i)
        if (!IsHeader(i)) {
          SetHot(i);
          return;
        }
    }
    return;
  case VK_LEFT:
    if (n == 0)
      return;
    if (HotIndex == -1 || HotIndex == 0 || (HotIndex == 1 && IsHeader(0))) {
      SetHot(n - 1);
    } else {
      for (int i = HotIndex - 1; i >= 0; --i)
        if (!IsHeader(i)) {
          SetHot(i);
          return;
        }
    }
    return;
  case VK_DOWN:
    if (n == 0)
      return;
    if (HotIndex == -1) {
      SetHot(FirstSelectable());
      return;
    }
    for (int i = HotIndex + 1; i < n; ++i) {
      const TRect& r = Item(i)->FItemRect;
      if (!IsHeader(i) && r.top > Item(HotIndex)->FItemRect.top &&
          (Item(i)->GetButton() || r.left == Item(HotIndex)->FItemRect.left)) {
        SetHot(i);
        return;
      }
    }
    return;
  case VK_UP:
    if (n == 0)
      return;
    if (HotIndex == -1) {
      SetHot(n - 1);
      return;
    }
    for (int i = HotIndex - 1; i >= 0; --i) {
      const TRect& r = Item(i)->FItemRect;
      if (!IsHeader(i) && r.top < Item(HotIndex)->FItemRect.top &&
          (Item(i)->GetButton() || r.left == Item(HotIndex)->FItemRect.left)) {
        SetHot(i);
        return;
      }
    }
    return;
  default:
    return;
  }
}

int TskSkinImagesMenuPopupWindow::ItemAtPos(int X, int Y) const
{
  for (int i = 0; i < Count(); ++i) {
    const TRect& r = Item(i)->FItemRect;
    if (!IsHeader(i) && X >= r.left && X <= r.right && Y >= r.top && Y <= r.bottom)
      return i;
  }
  return -1;
}

void TskSkinImagesMenuPopupWindow::MouseMove(TShiftState Shift, int X, int Y)
{
  TCustomControl::MouseMove(Shift, X, Y);
  HotIndex = ItemAtPos(X, Y);
  TskSkinHint* hint = Menu->GetSkinHint();
  if (HotIndex == -1 && hint)
    hint->HideHint();
  if (HotIndex != LastHotIndex) {
    LastHotIndex = HotIndex;
    Invalidate();
    if (Menu->GetShowHints() && hint) {
      hint->HideHint();
      if (HotIndex != -1 && !Item(HotIndex)->GetHint().empty())
        hint->ShowHintText(Item(HotIndex)->GetHint());
    }
  }
}

void TskSkinImagesMenuPopupWindow::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y)
{
  TCustomControl::MouseDown(Button, Shift, X, Y);
  if (TskSkinHint* hint = Menu->GetSkinHint())
    hint->HideHint();
  MouseWasDown = true;
  Pressed = ItemAtPos(X, Y) != -1;
  Invalidate();
}

void TskSkinImagesMenuPopupWindow::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y)
{
  TCustomControl::MouseUp(Button, Shift, X, Y);
  if (Menu->GetPopupWindow() != this)
    return;
  const int i = ItemAtPos(X, Y);
  if (MouseWasDown && i != -1) {
    Menu->SetItemIndex(i);
    Menu->ClosePopup(true);
    return;
  }
  if (HandleAllocated()) {
    ReleaseCapture();
    SetCapture(GetHandle());
  }
}

void TskSkinImagesMenuPopupWindow::WndProc(TMessage& Message)
{
  switch (Message.Msg) {
  case WM_MOUSEACTIVATE:
    Message.Result = MA_NOACTIVATE;
    return;
  case WM_ERASEBKGND:
    Message.Result = 1;
    return;
  case CM_MOUSEENTER:
    return;
  case CM_MOUSELEAVE:
    if (TskSkinHint* hint = Menu->GetSkinHint())
      hint->HideHint();
    HotIndex = LastHotIndex = -1;
    Invalidate();
    return;
  default:
    break;
  }
  TCustomControl::WndProc(Message);
  if ((Message.Msg == WM_LBUTTONDOWN || Message.Msg == WM_LBUTTONDBLCLK) && Menu->GetPopupWindow() == this &&
      GetVisible()) {
    POINT p{};
    GetCursorPos(&p);
    if (WindowFromPoint(p) != GetHandle())
      Menu->ClosePopup(false);
  }
}

void TskSkinImagesMenuPopupWindow::Paint() { PaintTo(GetCanvas()); }

void TskSkinImagesMenuPopupWindow::PaintTo(TCanvas* Canvas)
{
  const int w = GetWidth();
  const int h = GetHeight();
  if (w <= 0 || h <= 0)
    return;
  TBitmap b;
  b.SetPixelFormat(pf24bit);
  b.SetSize(w, h);
  TCanvas* c = b.GetCanvas();
  TskSkinData* data = Menu->GetSkinData();
  TskDataSkinPopupWindow* rec = Skinned ? Record() : nullptr;
  if (rec) {
    BuildNineSliceBitmapStretched(rec->lefttoppoint, rec->righttoppoint, rec->leftbottompoint, rec->rightbottompoint,
                                  rec->itemsrect, LeftTopPoint, RightTopPoint, LeftBottomPoint, RightBottomPoint,
                                  ItemsRect, &b, WindowPicture,
                                  Rect(0, 0, WindowPicture->GetWidth(), WindowPicture->GetHeight()), w, h, true,
                                  rec->leftstretch, rec->topstretch, rec->rightstretch, rec->bottomstretch,
                                  rec->stretcheffect, rec->stretchtype);
  } else {
    c->GetPen()->SetColor(clBtnShadow);
    c->GetBrush()->SetStyle(bsSolid);
    c->GetBrush()->SetColor(clWindow);
    c->Rectangle(0, 0, w, h);
  }
  TCustomImageList* images = Menu->GetImages();
  auto* label = ControlRecord<TskDataSkinLabelControl>(data, "label");
  TBitmap* labelPicture = label ? MenuPicture(data, label->pictureindex) : nullptr;
  auto* button = rec ? ControlRecord<TskDataSkinButtonControl>(data, CellRecordName(data)) : nullptr;
  TskDataSkinMenuItem* itemObject = ObjectRecord(data, "menuitem");
  if (!itemObject)
    itemObject = ObjectRecord(data, "MENUITEM");
  const int selected = Menu->GetShowSelectedItem() ? Menu->GetItemIndex() : -1;
  for (int i = 0; i < Count(); ++i) {
    TskImagesMenuItem* it = Item(i);
    const TRect r = it->FItemRect;
    c->GetBrush()->SetStyle(bsClear);
    if (it->GetHeader()) {
      String cap = it->GetCaption();
      if (label && labelPicture) {
        TBitmap strip;
        BuildHorzSkinBitmap(label->lefttoppoint.x, RectWidth(label->skinrect) - label->righttoppoint.x, &strip,
                            labelPicture, label->skinrect, RectWidth(r), RectHeight(label->skinrect),
                            label->stretcheffect);
        c->Draw(r.left, r.top, &strip);
        c->GetFont()->SetColor(static_cast<TColor>(label->fontcolor));
        c->GetFont()->SetName(label->fontname);
        c->GetFont()->SetHeight(label->fontheight);
        c->GetFont()->SetStyle(label->fontstyle);
        TRect tr = Rect(r.left + label->clientrect.left, r.top + label->clientrect.top,
                        r.left + strip.GetWidth() + label->clientrect.right - RectWidth(label->skinrect),
                        r.top + strip.GetHeight());
        DrawLine(c, tr, cap, DT_SINGLELINE | DT_CENTER | DT_VCENTER | DT_NOPREFIX);
      } else {
        c->GetFont()->Assign(Menu->GetDefaultFont());
        TRect tr = r;
        DrawLine(c, tr, cap, DT_SINGLELINE | DT_CENTER | DT_VCENTER | DT_NOPREFIX);
      }
      continue;
    }
    // 0 no cell, 1 hover look, 2 active look.
    int look = 0;
    if (i == selected && !Pressed)
      look = 2;
    if (i == HotIndex)
      look = Pressed ? 2 : 1;
    if (look) {
      if (!(button && DrawResizedButton(data, CellRecordName(data), c, r,
                                        look == 2 ? TskResizedButtonState::Pressed : TskResizedButtonState::Hot))) {
        c->GetBrush()->SetStyle(bsSolid);
        c->GetBrush()->SetColor(look == 2 ? static_cast<TColor>(11899781) : static_cast<TColor>(13811126));
        c->FillRect(r);
        c->GetBrush()->SetColor(clNavy);
        c->FrameRect(r);
        c->GetBrush()->SetStyle(bsClear);
      }
    }
    if (images && it->GetImageIndex() >= 0 && it->GetImageIndex() < images->GetCount())
      images->Draw(c, r.left + 5, r.top + 5, it->GetImageIndex(), true);
    if (it->GetButton() && !it->GetCaption().empty()) {
      if (button && itemObject) {
        if (Menu->GetUseSkinFont()) {
          c->GetFont()->SetName(button->fontname);
          c->GetFont()->SetHeight(button->fontheight);
          c->GetFont()->SetStyle(button->fontstyle);
        } else {
          c->GetFont()->Assign(Menu->GetDefaultFont());
        }
        if (data->GetResourceStrData())
          c->GetFont()->SetCharset(data->GetResourceStrData()->CharSet);
        else
          c->GetFont()->SetCharset(Menu->GetDefaultFont()->GetCharset());
        TColor color = static_cast<TColor>(itemObject->fontcolor);
        if (look == 2)
          color = static_cast<TColor>(button->downfontcolor);
        else if (look == 1)
          color = static_cast<TColor>(button->activefontcolor);
        c->GetFont()->SetColor(color);
      } else {
        c->GetFont()->Assign(Menu->GetDefaultFont());
        c->GetFont()->SetColor(clWindowText);
      }
      TRect tr = Rect(r.left + 5 + (images ? images->GetWidth() + 5 : 0), r.top, r.right - 5, r.bottom);
      const int tw = c->TextWidth(it->GetCaption());
      const UINT align = tw > RectWidth(tr) ? DT_LEFT : DT_CENTER;
      DrawLine(c, tr, it->GetCaption(), DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX | align);
    }
  }
  Canvas->Draw(0, 0, &b);
}

// ---------------------------------------------------------------------------------------------
// The menu

TskSkinImagesMenu::TskSkinImagesMenu(TComponent* AOwner)
    : TComponent(AOwner), FImagesItems(std::make_unique<TskImagesMenuItems>(this)),
      FDefaultFont(std::make_unique<TFont>())
{
  FDefaultFont->SetName("Arial");
  FDefaultFont->SetHeight(14);
  FDefaultFont->SetStyle(TFontStyles());
}

TskSkinImagesMenu::~TskSkinImagesMenu()
{
  *FAlive = false;
  if (FPopupWindow) {
    FPopupWindow->HideWindow();
    delete FPopupWindow;
    FPopupWindow = nullptr;
  }
  FClosedWindow.reset();
  Watch(FImages, nullptr);
  Watch(FSkinData, nullptr);
  Watch(FSkinHint, nullptr);
}

void TskSkinImagesMenu::Watch(TComponent* Old, TComponent* New)
{
  if (Old)
    Old->RemoveFreeNotification(this);
  if (New)
    New->FreeNotification(this);
}

void TskSkinImagesMenu::SetImages(TCustomImageList* Value)
{
  Watch(FImages, Value);
  FImages = Value;
}

void TskSkinImagesMenu::SetSkinHint(TskSkinHint* Value)
{
  Watch(FSkinHint, Value);
  FSkinHint = Value;
}

void TskSkinImagesMenu::SetSkinData(TskSkinData* Value)
{
  Watch(FSkinData, Value);
  FSkinData = Value;
}

void TskSkinImagesMenu::SetColumnsCount(int Value)
{
  if (Value >= 1 && Value <= 50)
    FColumnsCount = Value;
}

void TskSkinImagesMenu::Notification(TComponent* AComponent, TOperation Operation)
{
  TComponent::Notification(AComponent, Operation);
  if (Operation != opRemove)
    return;
  if (AComponent == FImages)
    FImages = nullptr;
  if (AComponent == FSkinHint)
    FSkinHint = nullptr;
  if (AComponent == FSkinData)
    FSkinData = nullptr;
}

TskImagesMenuItem* TskSkinImagesMenu::GetSelectedItem() const
{
  if (FItemIndex < 0 || FItemIndex >= FImagesItems->GetCount())
    return nullptr;
  return FImagesItems->GetItem(FItemIndex);
}

void TskSkinImagesMenu::Popup(const TRect& R)
{
  if (FPopupWindow)
    ClosePopupSilently();
  FClosedWindow.reset();
  std::shared_ptr<bool> alive = FAlive;
  if (OnMenuPopup) {
    TNotifyEvent handler = OnMenuPopup;
    handler(this);
  }
  if (!*alive || !FImages || FImages->GetCount() < 1)
    return;
  FOldItemIndex = FItemIndex;
  FPopupWindow = new TskSkinImagesMenuPopupWindow(this);
  FPopupWindow->Show(R);
}

void TskSkinImagesMenu::ClosePopupSilently()
{
  FPopupWindow->HideWindow();
  FClosedWindow.reset(FPopupWindow);
  FPopupWindow = nullptr;
}

void TskSkinImagesMenu::ClosePopup(bool Chosen)
{
  if (!FPopupWindow)
    return;
  if (FSkinHint)
    FSkinHint->HideHint();
  ClosePopupSilently();
  std::shared_ptr<bool> alive = FAlive;
  if (OnAttachedClose) {
    auto notify = OnAttachedClose;
    notify();
    if (!*alive)
      return;
  }
  if (OnMenuClose) {
    // Copies: a handler may free the menu and the item with their events.
    TNotifyEvent handler = OnMenuClose;
    handler(this);
    if (!*alive)
      return;
  }
  if (!Chosen || FItemIndex == -1)
    return;
  if (TskImagesMenuItem* item = GetSelectedItem(); item && item->OnClick) {
    TNotifyEvent handler = item->OnClick;
    handler(item);
    if (!*alive)
      return;
  }
  if (OnItemClick) {
    TNotifyEvent handler = OnItemClick;
    handler(this);
    if (!*alive)
      return;
  }
  if (FItemIndex != FOldItemIndex) {
    if (OnAttachedChange) {
      auto notify = OnAttachedChange;
      notify();
      if (!*alive)
        return;
    }
    if (OnChange) {
      TNotifyEvent handler = OnChange;
      handler(this);
    }
  }
}
