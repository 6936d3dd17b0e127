// TskSkinnedForm: the window states of a skinned form (maximise, minimise, restore done by moving
// and sizing the window, never by the window system's own states), where a minimised form goes,
// the placement of the first show, the one-pixel frame recalculation, the magnetic snapping to the
// work-area edges and the dragging of a client-drawn frame.
#include <algorithm>

#include "skin/controls/SkinStatusBar.h"
#include "skin/foundation/SkinDrawUtils.h"
#include "skin/frame/SkinFormLookup.h"
#include "skin/frame/SkinLayerBorder.h"
#include "skin/frame/SkinnedForm.h"

namespace {

HWND HandleOf(TForm* Form) { return Form->HandleAllocated() ? Form->GetHandle() : nullptr; }

// Area centred in R for a W x H window (each halving truncates toward zero).
TPoint CentreIn(const TRect& R, int W, int H)
{
  return TPoint{R.left + RectWidth(R) / 2 - W / 2, R.top + RectHeight(R) / 2 - H / 2};
}

} // namespace

void TskSkinnedForm::SetSkinWindowState(TWindowState Value)
{
  if (Value == FSkinWindowState)
    return;
  const TWindowState old = FSkinWindowState;
  const bool mainForm = Application && Application->GetMainForm() == FOwnerForm;
  if (!(Value == wsMinimized && mainForm))
    FSkinWindowState = Value;
  switch (Value) {
  case wsNormal:
    // A form rolled up while maximised comes down with its restore.
    if (old == wsMaximized && FRollUpState && !FRollUpBeforeMaximize)
      SetRollUpState(false);
    FRollUpBeforeMaximize = false;
    RestoreWindow();
    break;
  case wsMinimized: MinimizeWindow(); break;
  case wsMaximized:
    FRollUpBeforeMaximize = FRollUpState;
    MaximizeWindow();
    break;
  }
}

void TskSkinnedForm::MinimizeWindow()
{
  const bool mainForm = Application && Application->GetMainForm() == FOwnerForm;
  if (mainForm || !FSupportNCArea) {
    if (Application)
      Application->Minimize();
  } else {
    if (IsNullRect(FSavedBounds))
      FSavedBounds = FOwnerForm->GetBoundsRect();
    const TPoint p = FindMinimizedPosition();
    FOwnerForm->SetBounds(p.x, p.y, GetEffectiveMinWidth(), GetEffectiveMinHeight());
    UpdateObjectStates();
    SendNCPaint();
    if (IsMDIChild() && Application->GetMainForm() && Application->GetMainForm()->HandleAllocated())
      SendMessageA(Application->GetMainForm()->GetHandle(), MDIChildRestoredMessage, 0, 0);
  }
  if (OnMinimize)
    OnMinimize(this);
}

TPoint TskSkinnedForm::FindMinimizedPosition()
{
  const int m = std::max(1, GetEffectiveMinWidth());
  const int n = GetEffectiveMinHeight();
  auto taken = [this](TForm* Other, int X, int Y) {
    if (Other == FOwnerForm || !Other->GetVisible())
      return false;
    TskSkinnedForm* frame = GetSkinnedForm(Other);
    return frame && frame->GetSkinWindowState() == wsMinimized && Other->GetLeft() == X && Other->GetTop() == Y;
  };
  if (IsMDIChild()) {
    TForm* main = Application ? Application->GetMainForm() : nullptr;
    const TRect free = GetMainFormFreeClientRect();
    const int A = RectWidth(free), B = RectHeight(free);
    int x = 0, y = B - n;
    auto isFree = [&] {
      if (!main)
        return true;
      for (int i = 0; i < main->GetMDIChildCount(); ++i)
        if (taken(main->GetMDIChildren(i), x, y))
          return false;
      return true;
    };
    while (!isFree()) {
      x += m;
      if (x + m > A) {
        x = 0;
        y -= n;
      }
      if (y < 0)
        return TPoint{0, B - n};
    }
    return TPoint{x, y};
  }
  TRect area = Rect(0, 0, Screen ? Screen->GetWidth() : 0, Screen ? Screen->GetHeight() : 0);
  GetMonitorArea(HandleOf(FOwnerForm), true, area);
  TForm* main = Application ? Application->GetMainForm() : nullptr;
  int x = area.left, y = area.bottom - n;
  auto isFree = [&] {
    for (int i = 0; Screen && i < Screen->GetFormCount(); ++i) {
      TForm* other = Screen->GetForms(i);
      if (other != main && taken(other, x, y))
        return false;
    }
    return true;
  };
  while (!isFree()) {
    x += m;
    if (x + m > area.right) {
      x = area.left;
      y -= n;
    }
    if (y < area.top)
      return TPoint{area.left, area.bottom - n};
  }
  return TPoint{x, y};
}

void TskSkinnedForm::MaximizeWindow()
{
  if (IsNullRect(FSavedBounds))
    FSavedBounds = FOwnerForm->GetBoundsRect();
  const SIZE before{FOwnerForm->GetWidth(), FOwnerForm->GetHeight()};
  TRect target{};
  if (IsMDIChild()) {
    FMouseTimer->SetEnabled(false);
    FActiveObject = -1;
    const TRect free = GetMainFormFreeClientRect();
    target = Rect(0, 0, RectWidth(free), RectHeight(free));
  } else {
    target = Rect(0, 0, Screen ? Screen->GetWidth() : 0, Screen ? Screen->GetHeight() : 0);
    GetMonitorArea(HandleOf(FOwnerForm), !MaximizeOnFullScreen, target);
    if (!MaximizeOnFullScreen) {
      TRect monitor = target;
      GetMonitorArea(HandleOf(FOwnerForm), false, monitor);
      TRect screen{};
      GetDesktopWorkArea(false, screen);
      // An auto-hidden taskbar keeps its one-pixel edge reachable.
      if (RectWidth(monitor) == RectWidth(target) && RectHeight(monitor) == RectHeight(target) && monitor == screen)
        InflateRect(&target, -1, -1);
    }
  }
  FOwnerForm->SetBounds(target.left, target.top, RectWidth(target), RectHeight(target));
  if (FOwnerForm->GetWidth() == before.cx && FOwnerForm->GetHeight() == before.cy)
    RecalcFrame();
  UpdateObjectStates();
  SendNCPaint();
  if (IsMDIChild() && Application->GetMainForm() && Application->GetMainForm()->HandleAllocated())
    SendMessageA(Application->GetMainForm()->GetHandle(), MDIChildMaximizedMessage, 0, 0);
  if (FStatusBar && FStatusBar->GetSizeGrip())
    FStatusBar->SetGripEnabled(false);
  if (OnMaximize)
    OnMaximize(this);
}

void TskSkinnedForm::RestoreWindow()
{
  FMaxRollUpState = false;
  if (FSupportNCArea) {
    const SIZE before{FOwnerForm->GetWidth(), FOwnerForm->GetHeight()};
    if (FFirstShowPending) {
      // A form first shown maximised is placed on its first restore.
      FFirstShowPending = false;
      const TRect saved = IsNullRect(FSavedBounds) ? FOwnerForm->GetBoundsRect() : FSavedBounds;
      const TPoint p = GetMonitorPosition(saved.left, saved.top, RectHeight(saved), RectWidth(saved));
      FOwnerForm->SetBounds(p.x, p.y, RectWidth(saved), RectHeight(saved));
    } else {
      if (FLayerBorder)
        FLayerBorder->UpdateBorder();
      if (!IsNullRect(FSavedBounds))
        FOwnerForm->SetBoundsRect(FSavedBounds);
    }
    FMouseTimer->SetEnabled(true);
    if (FOwnerForm->GetWidth() == before.cx && FOwnerForm->GetHeight() == before.cy)
      RecalcFrame();
    UpdateObjectStates();
    SendNCPaint();
    FOwnerForm->Invalidate();
    if (IsMDIChild() && Application->GetMainForm() && Application->GetMainForm()->HandleAllocated())
      SendMessageA(Application->GetMainForm()->GetHandle(), MDIChildRestoredMessage, 0, 0);
    FSavedBounds = NullRect();
  } else {
    // A client-drawn form minimised through the application saved no bounds: it keeps its own.
    if (!IsNullRect(FSavedBounds))
      FOwnerForm->SetBoundsRect(FSavedBounds);
    FSavedBounds = NullRect();
    FMouseTimer->SetEnabled(true);
  }
  if (FStatusBar && FStatusBar->GetSizeGrip())
    FStatusBar->SetGripEnabled(true);
  if (OnRestore)
    OnRestore(this);
}

void TskSkinnedForm::PositionOnFirstShow()
{
  if (!FFirstShowPending)
    return;
  if (PositionInMonitor == sppDefault) {
    FFirstShowPending = false;
    return;
  }
  if (FSkinWindowState != wsNormal)
    return;
  FFirstShowPending = false;
  const TPoint p = GetMonitorPosition(FOwnerForm->GetLeft(), FOwnerForm->GetTop(), FOwnerForm->GetHeight(),
                                      FOwnerForm->GetWidth());
  FOwnerForm->SetBounds(p.x, p.y, FOwnerForm->GetWidth(), FOwnerForm->GetHeight());
}

TPoint TskSkinnedForm::GetMonitorPosition(int Left, int Top, int Height, int Width)
{
  if (PositionInMonitor == sppDefault)
    return TPoint{Left, Top};
  TRect area = Rect(0, 0, Screen ? Screen->GetWidth() : 0, Screen ? Screen->GetHeight() : 0);
  GetMonitorArea(HandleOf(FOwnerForm), PositionInMonitor == sppDesktopCenter, area);
  return CentreIn(area, Width, Height);
}

void TskSkinnedForm::RecalcFrame()
{
  const int w = FOwnerForm->GetWidth();
  const int step = w - 1 < GetEffectiveMinWidth() ? 1 : -1;
  FOwnerForm->SetWidth(w + step);
  FOwnerForm->SetWidth(w);
}

void TskSkinnedForm::SetMagnetAnchor()
{
  TPoint cursor{};
  GetCursorPos(&cursor);
  FMagnetAnchor = cursor;
}

void TskSkinnedForm::ClearMagnetSnaps() { FSnapLeft = FSnapTop = FSnapRight = FSnapBottom = false; }

void TskSkinnedForm::MagnetPosition(int& Left, int& Top, int Height, int Width)
{
  const int s = MagneticSize;
  TRect area{};
  if (IsMDIChild()) {
    area = GetMainFormFreeClientRect();
    if (TForm* main = Application->GetMainForm(); main && main->HandleAllocated()) {
      TPoint origin{0, 0};
      ClientToScreen(main->GetHandle(), &origin);
      OffsetRect(&area, origin.x, origin.y);
    }
  } else {
    area = Rect(0, 0, Screen ? Screen->GetWidth() : 0, Screen ? Screen->GetHeight() : 0);
    GetMonitorArea(HandleOf(FOwnerForm), true, area);
  }
  // With a layered border the outer rectangle snaps.
  int eL = 0, eT = 0, eR = 0, eB = 0;
  const bool border = FLayerBorder && FLayerBorder->Shown && FLayerBorder->HasExtents();
  if (border) {
    FLayerBorder->GetExtents(eL, eT, eR, eB);
    Left -= eL;
    Top -= eT;
    Width += eL + eR;
    Height += eT + eB;
  }
  TPoint cursor{};
  GetCursorPos(&cursor);
  auto near = [s](int A, int B) { return A - B < s && B - A < s; };

  const bool nearLeft = near(Left, area.left);
  if (nearLeft && !FSnapLeft) {
    Left = area.left;
    FMagnetAnchor.x = cursor.x;
  } else if (nearLeft && std::abs(cursor.x - FMagnetAnchor.x) > s) {
    Left = cursor.x + area.left - FMagnetAnchor.x;
  } else if (nearLeft) {
    Left = area.left;
  }
  FSnapLeft = nearLeft;

  const bool nearTop = near(Top, area.top);
  if (nearTop && !FSnapTop) {
    Top = area.top;
    FMagnetAnchor.y = cursor.y;
  } else if (nearTop && std::abs(cursor.y - FMagnetAnchor.y) > s) {
    Top = cursor.y + area.top - FMagnetAnchor.y;
  } else if (nearTop) {
    Top = area.top;
  }
  FSnapTop = nearTop;

  const bool nearRight = near(Left + Width, area.right);
  if (nearRight && !FSnapRight) {
    Left = area.right - Width;
    FMagnetAnchor.x = cursor.x;
  } else if (nearRight && std::abs(cursor.x - FMagnetAnchor.x) > s) {
    Left = cursor.x + area.right - Width - FMagnetAnchor.x;
  } else if (nearRight) {
    Left = area.right - Width;
  }
  FSnapRight = nearRight;

  const bool nearBottom = near(Top + Height, area.bottom);
  if (nearBottom && !FSnapBottom) {
    Top = area.bottom - Height;
    FMagnetAnchor.y = cursor.y;
  } else if (nearBottom && std::abs(cursor.y - FMagnetAnchor.y) > s) {
    Top = cursor.y + area.bottom - Height - FMagnetAnchor.y;
  } else if (nearBottom) {
    Top = area.bottom - Height;
  }
  FSnapBottom = nearBottom;

  // Back to the form's own position, also when the right or bottom edge snapped: the outer
  // rectangle always starts the border's extent before the form.
  if (border) {
    Left += eL;
    Top += eT;
  }
}

void TskSkinnedForm::DragStart(int X, int Y)
{
  FDragging = true;
  TPoint p{X, Y};
  if (FOwnerForm->HandleAllocated())
    ClientToScreen(FOwnerForm->GetHandle(), &p);
  FDragStart = p;
  FMagnetAnchor = p;
}

void TskSkinnedForm::DragMove()
{
  if (!FDragging)
    return;
  TPoint cursor{};
  GetCursorPos(&cursor);
  if (cursor.x == FDragStart.x && cursor.y == FDragStart.y)
    return;
  int left = FOwnerForm->GetLeft() + cursor.x - FDragStart.x;
  int top = FOwnerForm->GetTop() + cursor.y - FDragStart.y;
  if (Magnetic)
    MagnetPosition(left, top, FOwnerForm->GetHeight(), FOwnerForm->GetWidth());
  FOwnerForm->SetBounds(left, top, FOwnerForm->GetWidth(), FOwnerForm->GetHeight());
  FDragStart = cursor;
}

void TskSkinnedForm::DragStop() { FDragging = false; }
