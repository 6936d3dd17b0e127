#include "skin/input/SkinToolBar.h"

#include <algorithm>

#include "skin/controls/SkinBevel.h"
#include "skin/controls/SkinResizedButton.h"
#include "skin/foundation/SkinDrawUtils.h"
#include "skin/foundation/SkinGlyphs.h"
#include "skin/foundation/SkinStripImages.h"
#include "skin/input/SkinMenuSpeedButton.h"

namespace {

constexpr UINT_PTR ScrollTimerId = 1;

} // namespace

TskSkinToolBar::TskSkinToolBar(TComponent* AOwner) : TskSkinPanel(AOwner)
{
  SetSkinDataName("toolpanel");
  DirectFramePaint = false;
  SetDefaultHeight(0);
  SetHeight(25);
  SetBorderStyle(TskSkinBorderStyle::bvNone);
}

TskSkinToolBar::~TskSkinToolBar()
{
  for (TComponent* c : {static_cast<TComponent*>(FImages), static_cast<TComponent*>(FHotImages),
                        static_cast<TComponent*>(FDisabledImages)})
    if (c)
      c->RemoveFreeNotification(this);
}

// --- properties ------------------------------------------------------------------------------

void TskSkinToolBar::SetScrollOffset(int Value)
{
  if (Value >= 0)
    FScrollOffset = Value;
}

void TskSkinToolBar::SetScrollTimerInterval(int Value)
{
  if (Value > 0)
    FScrollTimerInterval = Value;
}

void TskSkinToolBar::SetFlat(bool Value)
{
  FFlat = Value;
  for (int i = 0; i < GetControlCount(); ++i)
    if (auto* b = dynamic_cast<TskSkinSpeedButton*>(GetControl(i)))
      b->SetFlat(Value);
}

void TskSkinToolBar::SetShowCaptions(bool Value)
{
  if (FShowCaptions == Value)
    return;
  FShowCaptions = Value;
  if (FAutoShowHideCaptions)
    for (int i = 0; i < GetControlCount(); ++i)
      if (auto* b = dynamic_cast<TskSkinSpeedButton*>(GetControl(i)))
        b->SetShowCaption(Value);
  if (FWidthWithCaptions != 0 && FWidthWithoutCaptions != 0)
    SetWidth(Value ? FWidthWithCaptions : FWidthWithoutCaptions);
}

void TskSkinToolBar::SetImages(TCustomImageList* Value)
{
  if (FImages)
    FImages->RemoveFreeNotification(this);
  FImages = Value;
  if (Value)
    Value->FreeNotification(this);
  for (int i = 0; i < GetControlCount(); ++i)
    if (auto* b = dynamic_cast<TskSkinSpeedButton*>(GetControl(i)))
      b->Repaint();
}

void TskSkinToolBar::SetHotImages(TCustomImageList* Value)
{
  if (FHotImages)
    FHotImages->RemoveFreeNotification(this);
  FHotImages = Value;
  if (Value)
    Value->FreeNotification(this);
}

void TskSkinToolBar::SetDisabledImages(TCustomImageList* Value)
{
  if (FDisabledImages)
    FDisabledImages->RemoveFreeNotification(this);
  FDisabledImages = Value;
  if (Value)
    Value->FreeNotification(this);
}

void TskSkinToolBar::Notification(TComponent* AComponent, TOperation Operation)
{
  TskSkinPanel::Notification(AComponent, Operation);
  if (Operation != opRemove)
    return;
  if (AComponent == FImages)
    SetImages(nullptr);
  if (AComponent == FHotImages)
    SetHotImages(nullptr);
  if (AComponent == FDisabledImages)
    SetDisabledImages(nullptr);
}

void TskSkinToolBar::SetSkinData(TskSkinData* Value)
{
  TskSkinPanel::SetSkinData(Value);
  for (int i = 0; i < GetControlCount(); ++i) {
    if (auto* b = dynamic_cast<TskSkinSpeedButton*>(GetControl(i)))
      b->SetSkinData(Value);
    else if (auto* v = dynamic_cast<TskSkinBevel*>(GetControl(i)))
      v->SetSkinData(Value);
  }
}

void TskSkinToolBar::SetSkinDataName(const String& Value)
{
  TskSkinPanel::SetSkinDataName(Value);
  if (!Designing() || (GetComponentState() & csLoading))
    return;
  const bool big = Value == "bigtoolpanel";
  for (int i = 0; i < GetControlCount(); ++i) {
    auto* b = dynamic_cast<TskSkinSpeedButton*>(GetControl(i));
    if (!b)
      continue;
    String name;
    if (Value == "resizetoolpanel")
      name = "resizetoolbutton";
    else if (Value == "panel")
      name = "resizebutton";
    else if (auto* m = dynamic_cast<TskSkinMenuSpeedButton*>(b))
      name = m->GetTrackButtonMode() ? (big ? "bigtoolmenutrackbutton" : "toolmenutrackbutton")
                                     : (big ? "bigtoolmenubutton" : "toolmenubutton");
    else
      name = big ? "bigtoolbutton" : "toolbutton";
    b->SetSkinDataName(name);
  }
}

// --- layout ----------------------------------------------------------------------------------

bool TskSkinToolBar::GetControlsCentringArea(TRect& Area)
{
  if (!FAdjustControls)
    return false;
  Area = GetAdjustedClientRect();
  return true;
}

void TskSkinToolBar::CenterControls()
{
  const TRect a = GetAdjustedClientRect();
  for (int i = 0; i < GetControlCount(); ++i) {
    TControl* c = GetControl(i);
    if (dynamic_cast<TskSkinControl*>(c) || dynamic_cast<TskGraphicSkinControl*>(c) || c->GetAlign() != alNone)
      continue;
    c->SetTop(a.top + RectHeight(a) / 2 - c->GetHeight() / 2);
  }
}

void TskSkinToolBar::SetBounds(int ALeft, int ATop, int AWidth, int AHeight)
{
  const int oldWidth = GetWidth();
  TskSkinPanel::SetBounds(ALeft, ATop, AWidth, AHeight);
  if (FAdjustControls)
    for (int i = 0; i < GetControlCount(); ++i) {
      TControl* c = GetControl(i);
      c->SetBounds(c->GetLeft(), c->GetTop(), c->GetWidth(), c->GetHeight());
    }
  if (FCanScroll) {
    FGrowth = oldWidth != 0 && GetWidth() > oldWidth ? GetWidth() - oldWidth : 0;
    if (GetAlign() != alNone)
      UpdateScrollButtons();
  }
}

void TskSkinToolBar::AdjustClientRect(TRect& R)
{
  TskSkinPanel::AdjustClientRect(R);
  if (!FLeft.Visible)
    return;
  const int cw = GetClientWidth();
  const int ch = GetClientHeight();
  R = Rect(-FPosition, 0, -FPosition + std::max(FContentRight, cw), ch);
  if (FIndex == -1 || Designing()) {
    R.top = 1;
    R.bottom = ch - 1;
  } else if (GetBorderStyle() != TskSkinBorderStyle::bvNone || ResizeMode != 1) {
    R.top = NewClRect.top;
    R.bottom = NewClRect.bottom;
  }
}

void TskSkinToolBar::UpdateScrollButtons()
{
  if (FInUpdate)
    return;
  FInUpdate = true;
  // The right edge of the visible children (0 without any); scrolled children may end left of 0.
  int a = 0;
  bool any = false;
  for (int i = 0; i < GetControlCount(); ++i) {
    TControl* c = GetControl(i);
    if (!c->GetVisible())
      continue;
    a = any ? std::max(a, c->GetLeft() + c->GetWidth()) : c->GetLeft() + c->GetWidth();
    any = true;
  }
  const int cw = GetClientWidth();
  if (any && cw < a + FPosition) {
    if (!FLeft.Visible)
      ShowScrollButtons(true);
    const int cw2 = GetClientWidth();
    const int b = FPosition + a - 1;
    if (FPosition > 0 && a < cw2 && FGrowth > 0) {
      FGrowth = std::min(FGrowth, FPosition);
      FContentRight = b;
      FPosition -= FGrowth;
      ScrollContent(-FGrowth);
    } else if (FGrowth == 0 && b < FContentRight && FPosition > 0 && a < cw2) {
      FContentRight = b;
      FPosition = FPosition + a - cw2;
      ScrollContent(a - cw2);
    } else {
      FContentRight = b;
      FGrowth = 0;
    }
    FLastClientWidth = cw2;
    FLastPosition = FPosition;
    FInUpdate = false;
    return;
  }
  if (any) {
    if (FPosition > 0)
      ScrollContent(-FPosition);
    FGrowth = FContentRight = FPosition = FLastClientWidth = FLastPosition = 0;
  }
  if (FLeft.Visible)
    ShowScrollButtons(false);
  FInUpdate = false;
}

void TskSkinToolBar::ShowScrollButtons(bool Value)
{
  if (FLeft.Visible == Value)
    return;
  FLeft.Visible = FRight.Visible = Value;
  if (!Value)
    FPosition = FLastPosition = 0;
  // The non-client area is computed again for the new arrows.
  if (HandleAllocated())
    SetWindowPos(GetHandle(), nullptr, 0, 0, 0, 0,
                 SWP_FRAMECHANGED | SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  if (Value) {
    FLeft.Rect = Rect(0, 0, ArrowWidth, GetHeight());
    FRight.Rect = Rect(GetWidth() - ArrowWidth, 0, GetWidth(), GetHeight());
  }
  Realign();
}

void TskSkinToolBar::ScrollContent(int D)
{
  // Positive D moves the children left.
  for (int i = 0; i < GetControlCount(); ++i) {
    TControl* c = GetControl(i);
    c->SetBounds(c->GetLeft() - D, c->GetTop(), c->GetWidth(), c->GetHeight());
  }
  if (HandleAllocated())
    Repaint();
}

void TskSkinToolBar::ScrollStep(int Direction)
{
  const int step = FScrollOffset != 0 ? FScrollOffset : GetClientWidth();
  int p = FPosition;
  if (Direction == 1)
    p = std::max(p - step, 0);
  else
    p = std::max(std::min(p + step, FContentRight - FLastClientWidth + 1), 0);
  if (p == FLastPosition) {
    StopScroll();
    return;
  }
  FPosition = p;
  ScrollContent(FPosition - FLastPosition);
  // Each step moves the content by the step taken: the position is recorded after the scroll.
  FLastPosition = FPosition;
}

// --- arrows ----------------------------------------------------------------------------------

int TskSkinToolBar::ArrowHitTest(int X) const
{
  if (!FCanScroll)
    return 0;
  if (X < 0 && FLeft.Visible)
    return HitLeftArrow;
  if (X > const_cast<TskSkinToolBar*>(this)->GetClientWidth() && FRight.Visible)
    return HitRightArrow;
  return 0;
}

void TskSkinToolBar::StartScroll(int Direction)
{
  FTimerDirection = Direction;
  if (!HandleAllocated())
    return;
  KillTimer(GetHandle(), ScrollTimerId);
  SetTimer(GetHandle(), ScrollTimerId, static_cast<UINT>(FScrollTimerInterval), nullptr);
}

void TskSkinToolBar::StopScroll()
{
  if (HandleAllocated())
    KillTimer(GetHandle(), ScrollTimerId);
  FTimerDirection = 0;
}

void TskSkinToolBar::ClearHot(TArrow& Arrow)
{
  Arrow.Hot = false;
  if (FTimerDirection != 0)
    StopScroll();
  PaintArrows();
}

void TskSkinToolBar::DrawScrollButton(HDC DC, const TArrow& Arrow, int Direction)
{
  const int w = RectWidth(Arrow.Rect);
  const int h = RectHeight(Arrow.Rect);
  if (w <= 0 || h <= 0)
    return;
  TBitmap b;
  b.SetPixelFormat(pf24bit);
  b.SetSize(w, h);
  TCanvas* c = b.GetCanvas();
  const bool pressedLook = Arrow.Hot && (Arrow.Down || FHotScroll);
  TColor arrow = clBtnText;
  const TskResizedButtonState state =
      pressedLook ? TskResizedButtonState::Pressed
                  : (Arrow.Hot ? TskResizedButtonState::Hot : TskResizedButtonState::Normal);
  TskSkinData* data = FIndex != -1 ? FSkinData : nullptr;
  if (!DrawResizedButton(data, "resizebutton", c, Rect(0, 0, w, h), state, 0, &arrow)) {
    TColor fill = clBtnFace, frame = clBtnShadow;
    if (pressedLook) {
      fill = static_cast<TColor>(0xB59385);
      frame = static_cast<TColor>(0x800000);
    } else if (Arrow.Hot) {
      fill = static_cast<TColor>(0xD2BDB6);
      frame = static_cast<TColor>(0x800000);
    }
    c->GetBrush()->SetStyle(bsSolid);
    c->GetBrush()->SetColor(fill);
    c->FillRect(Rect(0, 0, w, h));
    c->GetBrush()->SetColor(frame);
    c->FrameRect(Rect(0, 0, w, h));
    arrow = clBtnText;
  }
  DrawArrowGlyph(c, Rect(0, 0, w, h), arrow, Direction);
  BitBlt(DC, Arrow.Rect.left, Arrow.Rect.top, w, h, c->GetHandle(), 0, 0, SRCCOPY);
}

void TskSkinToolBar::PaintArrows()
{
  if (!FCanScroll || !FLeft.Visible || !HandleAllocated())
    return;
  HDC dc = GetWindowDC(GetHandle());
  if (!dc)
    return;
  DrawScrollButton(dc, FLeft, 1);
  DrawScrollButton(dc, FRight, 2);
  ReleaseDC(GetHandle(), dc);
}

void TskSkinToolBar::CreateControlSkinImage(TBitmap* B)
{
  if (FLeft.Visible && ResizeMode == 2 && Picture) {
    BuildHorzSkinBitmapMiddle(LTPoint.x, RectWidth(SkinRect) - RTPoint.x, B, Picture, SkinRect, GetWidth(),
                              GetHeight(), StretchEffect);
    return;
  }
  TskSkinPanel::CreateControlSkinImage(B);
}

// --- messages --------------------------------------------------------------------------------

void TskSkinToolBar::WndProc(TMessage& Message)
{
  switch (Message.Msg) {
  case WM_NCCALCSIZE:
    if (FCanScroll) {
      GetSkinData();
      RECT* r = reinterpret_cast<RECT*>(Message.LParam);
      if (Message.WParam)
        r = &reinterpret_cast<NCCALCSIZE_PARAMS*>(Message.LParam)->rgrc[0];
      if (FLeft.Visible)
        r->left += ArrowWidth;
      if (FRight.Visible)
        r->right -= ArrowWidth;
      Message.Result = 0;
      return;
    }
    break;
  case WM_NCPAINT:
    if (FCanScroll && FLeft.Visible) {
      PaintArrows();
      Message.Result = 0;
      return;
    }
    break;
  case WM_NCHITTEST:
    if (FCanScroll && !Designing()) {
      POINT p{static_cast<short>(LOWORD(Message.LParam)), static_cast<short>(HIWORD(Message.LParam))};
      ::ScreenToClient(GetHandle(), &p);
      if (const int hit = ArrowHitTest(p.x)) {
        Message.Result = hit;
        return;
      }
    }
    break;
  case WM_SETCURSOR:
    if (LOWORD(Message.LParam) == HitLeftArrow || LOWORD(Message.LParam) == HitRightArrow)
      Message.LParam = MAKELPARAM(HTCLIENT, HIWORD(Message.LParam));
    break;
  case WM_NCMOUSEMOVE:
    if (FCanScroll) {
      bool changed = false;
      if (Message.WParam == static_cast<WPARAM>(HitLeftArrow) && !FLeft.Hot) {
        FLeft.Hot = true;
        FRight.Hot = false;
        FTimerDirection = 1;
        changed = true;
      } else if (Message.WParam == static_cast<WPARAM>(HitRightArrow) && !FRight.Hot) {
        FRight.Hot = true;
        FLeft.Hot = false;
        FTimerDirection = 2;
        changed = true;
      }
      if (changed) {
        PaintArrows();
        if (FHotScroll)
          StartScroll(FTimerDirection);
      }
    }
    break;
  case WM_NCLBUTTONDOWN:
  case WM_NCLBUTTONDBLCLK:
    if (FCanScroll && (Message.WParam == static_cast<WPARAM>(HitLeftArrow) ||
                       Message.WParam == static_cast<WPARAM>(HitRightArrow))) {
      const int dir = Message.WParam == static_cast<WPARAM>(HitLeftArrow) ? 1 : 2;
      (dir == 1 ? FLeft : FRight).Down = true;
      PaintArrows();
      StartScroll(dir);
      Message.Result = 0;
      return;
    }
    break;
  case WM_NCLBUTTONUP:
    if (FCanScroll && (Message.WParam == static_cast<WPARAM>(HitLeftArrow) ||
                       Message.WParam == static_cast<WPARAM>(HitRightArrow))) {
      const int dir = Message.WParam == static_cast<WPARAM>(HitLeftArrow) ? 1 : 2;
      (dir == 1 ? FLeft : FRight).Down = false;
      PaintArrows();
      StopScroll();
      ScrollStep(dir);
      Message.Result = 0;
      return;
    }
    break;
  case WM_MOUSEMOVE:
    if (FCanScroll) {
      if (FLeft.Hot && FLeft.Visible)
        ClearHot(FLeft);
      else if (FRight.Hot && FRight.Visible)
        ClearHot(FRight);
    }
    break;
  case CM_MOUSELEAVE:
    TskSkinPanel::WndProc(Message);
    if (!Designing() && FCanScroll) {
      POINT p{};
      GetCursorPos(&p);
      if (!HandleAllocated() || WindowFromPoint(p) != GetHandle()) {
        if (FLeft.Hot)
          ClearHot(FLeft);
        else if (FRight.Hot)
          ClearHot(FRight);
      }
    }
    return;
  case WM_TIMER:
    TskSkinPanel::WndProc(Message);
    if (FCanScroll && Message.WParam == ScrollTimerId) {
      if (FTimerDirection == 1)
        ScrollStep(1);
      else if (FTimerDirection == 2)
        ScrollStep(2);
    }
    return;
  case WM_SIZE:
    TskSkinPanel::WndProc(Message);
    if (FCanScroll && FLeft.Visible) {
      FLeft.Rect = Rect(0, 0, ArrowWidth, GetHeight());
      FRight.Rect = Rect(GetWidth() - ArrowWidth, 0, GetWidth(), GetHeight());
      PaintArrows();
    }
    return;
  case WM_WINDOWPOSCHANGING:
    TskSkinPanel::WndProc(Message);
    if (HandleAllocated() && FAdjustControls)
      CenterControls();
    if (HandleAllocated() && GetAlign() == alNone && FCanScroll)
      UpdateScrollButtons();
    return;
  default:
    break;
  }
  TskSkinPanel::WndProc(Message);
}
