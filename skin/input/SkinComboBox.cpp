#include "skin/input/SkinComboBox.h"

#include <algorithm>

#include "platform/gdi/Gdi.h"
#include "platform/vcl/Forms.h"
#include "skin/foundation/SkinDrawUtils.h"
#include "skin/foundation/SkinLayered.h"
#include "skin/foundation/SkinStrings.h"
#include "skin/input/SkinListItems.h"

namespace {

constexpr UINT_PTR ScrollTimer = 1;

} // namespace

// ---------------------------------------------------------------------------------------------
// TskPopupListBox

TskPopupListBox::TskPopupListBox(TComponent* AOwner) : TskSkinListBox(AOwner)
{
  SetControlStyle(GetControlStyle() | csAcceptsControls | csNoDesignVisible | csReplicatable);
  SetCtl3D(false);
  SetParentCtl3D(false);
  FVisible = false;
}

TskSkinCustomComboBox* TskPopupListBox::Combo() const { return dynamic_cast<TskSkinCustomComboBox*>(GetOwner()); }

void TskPopupListBox::CreateParams(TCreateParams& Params)
{
  TskSkinListBox::CreateParams(Params);
  Params.Style = WS_POPUP | WS_CLIPCHILDREN;
  Params.ExStyle = WS_EX_TOOLWINDOW;
  Params.WindowClass.style |= CS_SAVEBITS;
  if (IsWindowsXPOrLater())
    Params.WindowClass.style |= CS_DROPSHADOW;
  // A top-level window: it is placed in screen coordinates and owned by no window of the form.
  Params.WndParent = nullptr;
}

void TskPopupListBox::WndProc(TMessage& Message)
{
  if (Message.Msg == WM_MOUSEACTIVATE) {
    Message.Result = MA_NOACTIVATE;
    return;
  }
  TskSkinListBox::WndProc(Message);
}

void TskPopupListBox::HideList()
{
  if (HandleAllocated())
    SetWindowPos(GetHandle(), nullptr, 0, 0, 0, 0,
                 SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_HIDEWINDOW);
  FVisible = false;
  UpdateShowing();
}

void TskPopupListBox::ShowAt(const TPoint& P)
{
  TskSkinCustomComboBox* combo = Combo();
  SetBounds(P.x, P.y, GetWidth(), GetHeight());
  HandleNeeded();
  HWND wnd = GetHandle();
  const bool blend = combo && combo->GetListBoxAlphaBlend();
  if (IsWindows2000OrLater() && combo) {
    const LONG ex = GetWindowLongA(wnd, GWL_EXSTYLE);
    if (blend && !FLayered)
      SetWindowLongA(wnd, GWL_EXSTYLE, ex | static_cast<LONG>(WS_EX_LAYERED));
    else if (!blend && FLayered)
      SetWindowLongA(wnd, GWL_EXSTYLE, ex & ~static_cast<LONG>(WS_EX_LAYERED));
    FLayered = blend;
    if (blend && FCurrentAlpha != combo->GetListBoxAlphaBlendValue()) {
      if (combo->GetListBoxAlphaBlendAnimation()) {
        SetLayeredAlpha(wnd, 0);
        FCurrentAlpha = 0;
      } else {
        SetLayeredAlpha(wnd, combo->GetListBoxAlphaBlendValue());
        FCurrentAlpha = combo->GetListBoxAlphaBlendValue();
      }
    }
  }
  SetWindowPos(wnd, HWND_TOPMOST, P.x, P.y, 0, 0, SWP_NOSIZE | SWP_NOACTIVATE | SWP_SHOWWINDOW);
  FVisible = true;
  UpdateShowing();
  if (!(IsWindows2000OrLater() && combo && blend && combo->GetListBoxAlphaBlendAnimation()))
    return;
  // The fade-in pumps messages: it stops as soon as the list is hidden or freed meanwhile.
  FadeIn(wnd, combo->GetListBoxAlphaBlendValue());
}

namespace {

// Learns when a component is freed.
class TFreeWatch : public TComponent {
public:
  explicit TFreeWatch(TComponent* Watched) : TComponent(nullptr), FWatched(Watched) { Watched->FreeNotification(this); }
  ~TFreeWatch() override
  {
    if (!Gone)
      FWatched->RemoveFreeNotification(this);
  }
  void Notification(TComponent* AComponent, TOperation Operation) override
  {
    if (Operation == opRemove && AComponent == FWatched)
      Gone = true;
  }
  bool Gone = false;

private:
  TComponent* FWatched;
};

} // namespace

void TskPopupListBox::FadeIn(HWND Wnd, int Value)
{
  TFreeWatch watch(this);
  const int step = std::max(1, Value / 15);
  int alpha = 0;
  DWORD last = GetMessageClock().Now();
  Application->ProcessMessages();
  while (!watch.Gone && FVisible && alpha < Value) {
    // A clock that does not run by itself (tests) steps on every turn.
    if (GetMessageClock().Now() - last > 5 || !GetMessageClock().IsRealTime()) {
      alpha = std::min(alpha + step, Value);
      SetLayeredAlpha(Wnd, alpha);
      last = GetMessageClock().Now();
    }
    Application->ProcessMessages();
  }
}

// ---------------------------------------------------------------------------------------------
// TskSkinCustomComboBox

TskSkinCustomComboBox::TskSkinCustomComboBox(TComponent* AOwner) : TskSkinCustomControl(AOwner)
{
  SetTabStop(true);
  SetControlStyle(csAcceptsControls | csCaptureMouse | csOpaque | csDoubleClicks);
  GetFont()->SetName("Arial");
  GetFont()->SetColor(clWindowText);
  GetFont()->SetStyle(0);
  GetFont()->SetHeight(14);
  SetBounds(GetLeft(), GetTop(), 120, 20);
  FListBox = new TskPopupListBox(this);
  TskListBox* inner = FListBox->GetListBox();
  inner->SetTabStop(false);
  inner->OnMouseMove = [this](TObject* Sender, TShiftState Shift, int X, int Y) { DropListMouseMove(Sender, Shift, X, Y); };
  FSavedListProc = inner->WindowProc;
  inner->WindowProc = [this](TMessage& Message) { ListWindowProcHook(Message); };
  FListBox->OnCheckButtonClick = [this](TObject*) { CloseUp(true); };
  CalcRects();
  SetSkinDataName("combobox");
}

TskSkinCustomComboBox::~TskSkinCustomComboBox()
{
  *FAlive = false;
  if (HandleAllocated())
    KillTimer(GetHandle(), ScrollTimer);
  if (FCaptured && GetCapture() == GetHandle())
    ReleaseCapture();
  TskCustomEdit* edit = FEdit;
  FEdit = nullptr;
  delete edit;
  TskPopupListBox* list = FListBox;
  FListBox = nullptr;
  delete list;
}

bool TskSkinCustomComboBox::Fire(const TNotifyEvent& Event)
{
  if (!Event)
    return true;
  std::shared_ptr<bool> alive = FAlive;
  TNotifyEvent handler = Event;
  handler(this);
  return *alive;
}

// --- properties ------------------------------------------------------------------------------

TStrings* TskSkinCustomComboBox::GetItems() const { return FListBox->GetItems(); }

void TskSkinCustomComboBox::SetItems(TStrings* Value) { FListBox->SetItems(Value); }

int TskSkinCustomComboBox::GetItemIndex() const { return FListBox->GetItemIndex(); }

void TskSkinCustomComboBox::SetItemIndex(int Value)
{
  std::shared_ptr<bool> alive = FAlive;
  FListBox->SetItemIndex(Value);
  if (GetItems()->GetCount() > 0 && FListBox->GetItemIndex() != -1) {
    SetText(GetItems()->Get(FListBox->GetItemIndex()));
    if (!*alive)
      return;
  }
  FSavedItemIndex = FListBox->GetItemIndex();
  if (FStyle == spcbFixedStyle)
    Repaint();
  if (GetComponentState() & (csDesigning | csLoading))
    return;
  if (!Fire(OnClick))
    return;
  Change();
}

void TskSkinCustomComboBox::SetDropDownCount(int Value)
{
  if (Value > 0)
    FDropDownCount = Value;
}

void TskSkinCustomComboBox::SetCharCase(TEditCharCase Value)
{
  FCharCase = Value;
  if (FEdit)
    FEdit->SetCharCase(Value);
}

void TskSkinCustomComboBox::SetDefaultColor(TColor Value)
{
  FDefaultColor = Value;
  if (FIndex == -1) {
    Invalidate();
    if (FEdit)
      FEdit->SetColor(Value);
  }
}

bool TskSkinCustomComboBox::GetSorted() const { return FListBox->GetSorted(); }
void TskSkinCustomComboBox::SetSorted(bool Value) { FListBox->SetSorted(Value); }
TCustomImageList* TskSkinCustomComboBox::GetImages() const { return FListBox->GetImages(); }

void TskSkinCustomComboBox::SetImages(TCustomImageList* Value)
{
  FListBox->SetImages(Value);
  if (Value)
    Value->FreeNotification(this);
  Repaint();
}

int TskSkinCustomComboBox::GetImageIndex() const { return FListBox->GetImageIndex(); }

void TskSkinCustomComboBox::SetImageIndex(int Value)
{
  FListBox->SetImageIndex(Value);
  Repaint();
}

TStrings* TskSkinCustomComboBox::GetTabWidths() const { return FListBox->GetTabWidths(); }
void TskSkinCustomComboBox::SetTabWidths(TStrings* Value) { FListBox->SetTabWidths(Value); }
bool TskSkinCustomComboBox::GetHorizontalExtent() const { return FListBox->GetHorizontalExtent(); }
void TskSkinCustomComboBox::SetHorizontalExtent(bool Value) { FListBox->SetHorizontalExtent(Value); }

void TskSkinCustomComboBox::SetOnListBoxDrawItem(TskDrawSkinItemEvent Value)
{
  FOnListBoxDrawItem = Value;
  FListBox->OnDrawItem = Value;
}

void TskSkinCustomComboBox::SetToolButtonStyle(bool Value)
{
  if (FToolButtonStyle == Value)
    return;
  FToolButtonStyle = Value;
  if (Value) {
    SetStyle(spcbFixedStyle);
    FUseSkinSize = false;
  }
  Repaint();
}

void TskSkinCustomComboBox::Notification(TComponent* AComponent, TOperation Operation)
{
  TskSkinCustomControl::Notification(AComponent, Operation);
  if (Operation != opRemove)
    return;
  if (FListBox && AComponent == FListBox->GetImages())
    FListBox->SetImages(nullptr);
  if (AComponent == FEdit)
    FEdit = nullptr;
  if (AComponent == FListBox)
    FListBox = nullptr;
}

void TskSkinCustomComboBox::Invalidate()
{
  TskSkinCustomControl::Invalidate();
  if (FIndex != -1 && FEdit)
    FEdit->Invalidate();
}

void TskSkinCustomComboBox::DefaultFontChanged() { GetFont()->Assign(GetDefaultFont()); }

// --- skin and layout -------------------------------------------------------------------------

void TskSkinCustomComboBox::GetSkinData()
{
  TskSkinCustomControl::GetSkinData();
  auto* r = FIndex == -1 ? nullptr : dynamic_cast<TskDataSkinComboBox*>(SkinControlRecord(FSkinData, FIndex));
  if (!r)
    return;
  TskComboBoxLook& l = FLook;
  l.ActiveSkinRect = r->activeskinrect;
  l.ActiveFontColor = r->activefontcolor;
  l.ItemRect = r->itemrect;
  l.FocusItemRect = IsNullRect(r->focusitemrect) ? r->itemrect : r->focusitemrect;
  l.ActiveItemRect = r->activeitemrect;
  l.ItemLeftOffset = r->itemleftoffset;
  l.ItemRightOffset = r->itemrightoffset;
  l.ItemTextRect = r->itemtextrect;
  l.FontName = r->fontname;
  l.FontStyle = r->fontstyle;
  l.FontHeight = r->fontheight;
  l.FontColor = r->fontcolor;
  l.FocusFontColor = r->focusfontcolor;
  l.ButtonRect = r->buttonrect;
  l.ActiveButtonRect = r->activebuttonrect;
  l.DownButtonRect = r->downbuttonrect;
  l.UnEnabledButtonRect = r->unenabledbuttonrect;
  l.ListBoxName = r->listboxname;
  l.ItemStretchEffect = r->itemstretcheffect;
  l.FocusItemStretchEffect = r->focusitemstretcheffect;
  l.ShowFocus = r->showfocus;
}

void TskSkinCustomComboBox::CalcRects()
{
  const int w = GetWidth(), h = GetHeight();
  if (FIndex == -1 || FToolButtonStyle) {
    FButtonRect = Rect(w - 19, 2, w - 2, h - 2);
    FItemRect = Rect(2, 2, FButtonRect.left - 1, h - 2);
  } else {
    const int dw = w - RectWidth(SkinRect);
    FButtonRect = FLook.ButtonRect;
    if (FButtonRect.left >= RectWidth(SkinRect) - RTPoint.x)
      OffsetRect(&FButtonRect, dw, 0);
    FItemRect = ClRect;
    FItemRect.right += dw;
    if (!FUseSkinSize) {
      const int dh = h - RectHeight(SkinRect);
      FButtonRect.bottom += dh;
      FItemRect.bottom += dh;
    }
  }
  if (FEdit) {
    AdjustEditHeight();
    FEdit->SetBounds(FItemRect.left, FItemRect.top + RectHeight(FItemRect) / 2 - FEdit->GetHeight() / 2,
                     RectWidth(FItemRect), FEdit->GetHeight());
  }
}

void TskSkinCustomComboBox::CalcSize(int& W, int& H)
{
  if (FUseSkinSize) {
    TskSkinCustomControl::CalcSize(W, H);
    return;
  }
  if (FIndex == -1 || ResizeMode == -1)
    return;
  NewLTPoint = LTPoint;
  NewRTPoint = Point(W + RTPoint.x - RectWidth(SkinRect), RTPoint.y);
  NewClRect = ClRect;
  NewClRect.right += W - RectWidth(SkinRect);
}

void TskSkinCustomComboBox::SetControlRegion()
{
  if (FUseSkinSize)
    TskSkinCustomControl::SetControlRegion();
}

void TskSkinCustomComboBox::ChangeSkinData()
{
  TskSkinCustomControl::ChangeSkinData();
  CalcRects();
  if (FEdit)
    SetEditFont();
  Repaint();
  if (FListBox) {
    FListBox->SetSkinDataName(FIndex == -1 ? String() : FLook.ListBoxName);
    FListBox->SetSkinData(FSkinData);
    if (!FSkinData || FIndex == -1)
      FListBox->ChangeSkinData();
    FListBox->UpdateScrollBars();
  }
  CalcRects();
  if (FEdit && FIndex != -1) {
    int w = GetWidth(), h = GetHeight();
    CalcSize(w, h);
    if (w != GetWidth() || h != GetHeight())
      SetBounds(GetLeft(), GetTop(), w, h);
  }
}

TColor TskSkinCustomComboBox::GetDisabledFontColor()
{
  if (FIndex != -1) {
    const int i = FindSkinControlIndex(FSkinData, "edit");
    if (auto* r = dynamic_cast<TskDataSkinEditControl*>(SkinControlRecord(FSkinData, i)))
      return r->disabledfontcolor;
  }
  return clGrayText;
}

// --- the list --------------------------------------------------------------------------------

void TskSkinCustomComboBox::DropDown()
{
  if (!FListBox || GetItems()->GetCount() == 0)
    return;
  FListEntered = false;
  if (FTimerMode != 0)
    StopScrollTimer();
  if (!Fire(OnDropDown))
    return;
  if (GetItems()->GetCount() == 0)
    return;
  const int width = FListBoxWidth == 0 ? GetWidth() : FListBoxWidth;
  const int height = FListBox->CalcHeight(std::min(GetItems()->GetCount(), FDropDownCount));
  FListBox->SetBounds(FListBox->GetLeft(), FListBox->GetTop(), width, height);
  TPoint p = Point(GetLeft(), GetTop() + GetHeight());
  if (GetParent())
    p = GetParent()->ClientToScreen(p);
  TRect work = Rect(0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN));
  GetMonitorArea(HandleAllocated() ? GetHandle() : nullptr, true, work);
  if (p.y + height > work.bottom)
    p.y = p.y - GetHeight() - height;
  if (FEdit && FEdit->CanFocus())
    FEdit->SetFocus();
  FSavedItemIndex = FListBox->GetItemIndex();
  if (FListBox->GetItemIndex() == 0 && GetItems()->GetCount() >= 2) {
    FListBox->SetItemIndex(1);
    FListBox->SetItemIndex(0);
  }
  FDroppedDown = true;
  if (FToolButtonStyle)
    Repaint();
  FListBox->SetTopIndex(FListBox->GetItemIndex());
  std::shared_ptr<bool> alive = FAlive;
  FListBox->ShowAt(p);
  if (*alive && FListBox)
    FListBox->UpdateScrollBars();
}

void TskSkinCustomComboBox::CloseUp(bool Accept)
{
  if (!FListBox || !FListBox->GetVisible())
    return;
  std::shared_ptr<bool> alive = FAlive;
  FListBox->HideList();
  const int index = FListBox->GetItemIndex();
  bool fired = false;
  if (index < 0) {
    FListBox->SetItemIndex(FSavedItemIndex);
  } else if (index < GetItems()->GetCount() && Accept) {
    if (FEdit) {
      FEdit->SetText(GetItems()->Get(index));
      if (!*alive)
        return;
      if (FEdit)
        FEdit->SelectAll();
    } else {
      SetText(GetItems()->Get(index));
      if (!*alive)
        return;
      Repaint();
    }
    fired = true;
  } else {
    FListBox->SetItemIndex(FSavedItemIndex);
  }
  FDroppedDown = false;
  Repaint();
  if (fired) {
    if (!Fire(OnClick))
      return;
    Change();
    if (!*alive)
      return;
  }
  if (Accept)
    Fire(OnCloseUp);
}

void TskSkinCustomComboBox::ListUp(bool Fire)
{
  const int i = FListBox->GetItemIndex();
  if (i <= 0)
    return;
  if (Fire)
    SetItemIndex(i - 1);
  else
    FListBox->SetItemIndex(i - 1);
}

void TskSkinCustomComboBox::ListDown(bool Fire)
{
  const int i = FListBox->GetItemIndex();
  if (i >= GetItems()->GetCount() - 1)
    return;
  if (Fire)
    SetItemIndex(i + 1);
  else
    FListBox->SetItemIndex(i + 1);
}

void TskSkinCustomComboBox::ListPageUp(bool Fire)
{
  const int i = std::max(0, FListBox->GetItemIndex() - FDropDownCount - 1);
  if (Fire)
    SetItemIndex(i);
  else
    FListBox->SetItemIndex(i);
}

void TskSkinCustomComboBox::ListPageDown(bool Fire)
{
  const int i = std::min(GetItems()->GetCount() - 1, FListBox->GetItemIndex() + FDropDownCount - 1);
  if (Fire)
    SetItemIndex(i);
  else
    FListBox->SetItemIndex(i);
}

void TskSkinCustomComboBox::SearchItem(const String& Chars)
{
  if (!FListBox || !FListBox->GetListBox()->HandleAllocated())
    return;
  String s = Chars;
  if (FAutoComplete) {
    const DWORD now = GetMessageClock().Now();
    if (now - FTimeStamp >= 500)
      FFilter.clear();
    FTimeStamp = now;
    FFilter += s;
    s = FFilter;
  }
  if (s.empty())
    return;
  const WPARAM start = s.size() == 1 ? static_cast<WPARAM>(GetItemIndex()) : static_cast<WPARAM>(-1);
  const LRESULT found = SendMessage(FListBox->GetListBox()->GetHandle(), LB_FINDSTRING, start,
                                    reinterpret_cast<LPARAM>(s.c_str()));
  if (found >= 0)
    SetItemIndex(static_cast<int>(found));
}

void TskSkinCustomComboBox::ListWindowProcHook(TMessage& Message)
{
  switch (Message.Msg) {
  case WM_LBUTTONDOWN:
    FCaptured = true;
    FListEntered = true;
    SetCapture(GetHandle());
    return;
  case WM_LBUTTONUP:
  case WM_RBUTTONDOWN:
  case WM_RBUTTONUP:
  case WM_MBUTTONDOWN:
  case WM_MBUTTONUP:
    return;
  case WM_MOUSEACTIVATE:
    Message.Result = MA_NOACTIVATE;
    break;
  }
  FSavedListProc(Message);
}

void TskSkinCustomComboBox::DropListMouseMove(TObject*, TShiftState, int X, int Y)
{
  const int i = FListBox->ItemAtPos(Point(X, Y), true);
  if (i >= 0 && i < GetItems()->GetCount())
    FListBox->SetItemIndex(i);
}

void TskSkinCustomComboBox::TrackListDrag()
{
  TskListBox* inner = FListBox->GetListBox();
  if (!inner->HandleAllocated())
    return;
  POINT cursor{};
  GetCursorPos(&cursor);
  const int y = inner->ScreenToClient(Point(cursor.x, cursor.y)).y;
  const bool bar = FListBox->GetScrollBar() != nullptr;
  if (y < 0 && bar && FListEntered) {
    if (FTimerMode != 1) {
      FTimerMode = 1;
      StartScrollTimer();
    }
  } else if (y > inner->GetHeight() && bar && FListEntered) {
    if (FTimerMode != 2) {
      FTimerMode = 2;
      StartScrollTimer();
    }
  } else if (y >= 0 && y <= inner->GetHeight()) {
    if (FTimerMode != 0)
      StopScrollTimer();
    DropListMouseMove(inner, 0, 1, y);
    FListEntered = true;
  }
}

void TskSkinCustomComboBox::StartScrollTimer()
{
  KillTimer(GetHandle(), ScrollTimer);
  SetTimer(GetHandle(), ScrollTimer, 25, nullptr);
}

void TskSkinCustomComboBox::StopScrollTimer()
{
  if (HandleAllocated())
    KillTimer(GetHandle(), ScrollTimer);
  FTimerMode = 0;
}

void TskSkinCustomComboBox::CancelMode(TObject* Sender)
{
  if (Sender && (Sender == this || Sender == FListBox || Sender == FListBox->GetListBox() ||
                 (FListBox->GetScrollBar() && Sender == ScrollBarControl(FListBox->GetScrollBar())) ||
                 (FListBox->GetHScrollBar() && Sender == ScrollBarControl(FListBox->GetHScrollBar()))))
    return;
  CloseUp(false);
}

// --- keyboard and mouse ----------------------------------------------------------------------

void TskSkinCustomComboBox::KeyDown(Word& Key, TShiftState Shift)
{
  TskSkinCustomControl::KeyDown(Key, Shift);
  if (FEdit)
    return;
  const bool alt = (Shift & ssAlt) != 0;
  switch (Key) {
  case VK_RETURN:
    if (FListBox->GetVisible())
      CloseUp(true);
    break;
  case VK_ESCAPE:
    if (FListBox->GetVisible())
      CloseUp(false);
    break;
  case VK_PRIOR: ListPageUp(true); break;
  case VK_NEXT: ListPageDown(true); break;
  case VK_LEFT:
  case VK_UP:
    if (!alt)
      ListUp(true);
    else if (FListBox->GetVisible())
      CloseUp(false);
    break;
  case VK_RIGHT:
  case VK_DOWN:
    if (!alt)
      ListDown(true);
    else if (!FListBox->GetVisible())
      DropDown();
    break;
  }
}

void TskSkinCustomComboBox::KeyPress(char& Key)
{
  TskSkinCustomControl::KeyPress(Key);
  if (!FEdit && Key != 0)
    SearchItem(String(1, Key));
}

void TskSkinCustomComboBox::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y)
{
  TskSkinCustomControl::MouseDown(Button, Shift, X, Y);
  if (!FEdit && !Focused() && CanFocus())
    SetFocus();
  if (Button != mbLeft)
    return;
  if (FButtonMouseIn || (!FEdit && PtInRect(&FItemRect, Point(X, Y))) || FToolButtonStyle) {
    FButtonDown = true;
    Repaint();
    if (!FListBox->GetVisible()) {
      FListEntered = false;
      FCaptured = true;
      DropDown();
    } else {
      CloseUp(false);
    }
  } else if (FListBox->GetVisible()) {
    CloseUp(false);
  }
}

void TskSkinCustomComboBox::MouseMove(TShiftState Shift, int X, int Y)
{
  TskSkinCustomControl::MouseMove(Shift, X, Y);
  if (FCaptured) {
    TrackListDrag();
    return;
  }
  const bool in = PtInRect(&FButtonRect, Point(X, Y)) != 0;
  if (in != FButtonMouseIn) {
    FButtonMouseIn = in;
    Repaint();
  }
}

void TskSkinCustomComboBox::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y)
{
  std::shared_ptr<bool> alive = FAlive;
  if (FCaptured && FListEntered) {
    ReleaseCapture();
    FCaptured = false;
    if (FTimerMode != 0)
      StopScrollTimer();
    POINT cursor{};
    GetCursorPos(&cursor);
    const HWND under = WindowFromPoint(cursor);
    TskListBox* inner = FListBox->GetListBox();
    CloseUp(inner->HandleAllocated() && under == inner->GetHandle());
    if (!*alive)
      return;
  } else {
    FCaptured = false;
  }
  TskSkinCustomControl::MouseUp(Button, Shift, X, Y);
  if (FButtonDown) {
    FButtonDown = false;
    Repaint();
  }
}

void TskSkinCustomComboBox::CMMouseEnter(TMessage& Message)
{
  TskSkinCustomControl::CMMouseEnter(Message);
  FMouseIn = true;
  if (FEdit && FIndex != -1 && !IsNullRect(FLook.ActiveSkinRect) && !FEdit->Focused())
    FEdit->GetFont()->SetColor(FLook.ActiveFontColor);
  if ((FIndex != -1 && !IsNullRect(FLook.ActiveSkinRect)) || FToolButtonStyle)
    Invalidate();
}

void TskSkinCustomComboBox::CMMouseLeave(TMessage& Message)
{
  TskSkinCustomControl::CMMouseLeave(Message);
  FMouseIn = false;
  if (FButtonMouseIn) {
    FButtonMouseIn = false;
    Repaint();
  }
  if (FEdit && FIndex != -1 && !IsNullRect(FLook.ActiveSkinRect) && !FEdit->Focused())
    FEdit->GetFont()->SetColor(FLook.FontColor);
  if ((FIndex != -1 && !IsNullRect(FLook.ActiveSkinRect)) || FToolButtonStyle)
    Invalidate();
}

void TskSkinCustomComboBox::WndProc(TMessage& Message)
{
  switch (Message.Msg) {
  case CM_WANTSPECIALKEY:
    if (Message.WParam >= VK_LEFT && Message.WParam <= VK_DOWN) {
      Message.Result = 1;
      return;
    }
    break;
  case CM_CANCELMODE:
    TskSkinCustomControl::WndProc(Message);
    CancelMode(reinterpret_cast<TObject*>(Message.LParam));
    return;
  case WM_TIMER:
    TskSkinCustomControl::WndProc(Message);
    if (Message.WParam == ScrollTimer) {
      if (FTimerMode == 1 && FListBox->GetItemIndex() >= 1)
        FListBox->SetItemIndex(FListBox->GetItemIndex() - 1);
      else if (FTimerMode == 2 && FListBox->GetItemIndex() < GetItems()->GetCount() - 1)
        FListBox->SetItemIndex(FListBox->GetItemIndex() + 1);
    }
    return;
  case WM_MOUSEWHEEL:
    if (!FEdit) {
      const bool fire = !FListBox->GetVisible();
      if (static_cast<short>(HIWORD(Message.WParam)) > 0)
        ListUp(fire);
      else
        ListDown(fire);
    }
    return;
  case CM_TEXTCHANGED: {
    TskSkinCustomControl::WndProc(Message);
    if (FEdit && !FUpdatingFromEdit)
      FEdit->SetText(GetText());
    std::shared_ptr<bool> alive = FAlive;
    if (!Fire(OnChange))
      return;
    if (FUpdatingFromEdit)
      Change();
    return;
  }
  case WM_SETFOCUS:
    if (FEdit) {
      if (FEdit->CanFocus())
        FEdit->SetFocus();
      if (FIndex != -1 && !IsNullRect(FLook.ActiveSkinRect)) {
        FEdit->GetFont()->SetColor(FLook.ActiveFontColor);
        Invalidate();
      }
      return;
    }
    TskSkinCustomControl::WndProc(Message);
    Repaint();
    return;
  case WM_KILLFOCUS:
    TskSkinCustomControl::WndProc(Message);
    if (!FEdit && FListBox && FListBox->GetVisible())
      CloseUp(false);
    Repaint();
    if (FEdit && FIndex != -1 && !IsNullRect(FLook.ActiveSkinRect)) {
      FEdit->GetFont()->SetColor(FLook.FontColor);
      Invalidate();
    }
    return;
  case CM_ENABLEDCHANGED:
    TskSkinCustomControl::WndProc(Message);
    if (FEdit)
      FEdit->GetFont()->SetColor(!GetEnabled() ? GetDisabledFontColor()
                                 : FIndex == -1 ? GetDefaultFont()->GetColor()
                                                : FLook.FontColor);
    Repaint();
    return;
  case WM_SIZE:
    TskSkinCustomControl::WndProc(Message);
    CalcRects();
    return;
  case WM_ERASEBKGND:
    if (!InWMPaint && Message.WParam) {
      HDC dc = reinterpret_cast<HDC>(Message.WParam);
      PaintWindow(dc);
      if (FEdit && FEdit->HandleAllocated()) {
        const int saved = SaveDC(dc);
        SetViewportOrgEx(dc, FEdit->GetLeft(), FEdit->GetTop(), nullptr);
        IntersectClipRect(dc, 0, 0, FEdit->GetWidth(), FEdit->GetHeight());
        SendMessage(FEdit->GetHandle(), WM_PAINT, reinterpret_cast<WPARAM>(dc), 0);
        RestoreDC(dc, saved);
      }
    }
    Message.Result = 1;
    return;
  }
  TskSkinCustomControl::WndProc(Message);
}
