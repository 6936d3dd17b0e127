// Scrolling of the skinned grid through external skinned scroll bars: positions on a fixed
// scale of 0..127 (pixels for a one-column grid), the bars' events turned into the grid's own
// scroll messages, and the scroll-bar modifier that moves the top-left cell.
#include <algorithm>

#include "platform/rtl/MathUtils.h"
#include "skin/shell/SkinGrids.h"

namespace {

constexpr int ScrollScale = 127;

}  // namespace

void TskSkinCustomGrid::HookScrollBar(IskScrollBarLink* Bar, bool Vertical) {
  // The handlers stay on the bar after it is unlinked; through the link they reach the grid only
  // while it lives.
  auto Send = [Link = FSelfLink](UINT Msg, WORD Code, int Pos) {
    if (*Link) (*Link)->Perform(Msg, MAKEWPARAM(Code, static_cast<WORD>(Pos & 0xFFFF)), 0);
  };
  if (Vertical) {
    auto Thumb = [Bar, Send](TObject*) { Send(WM_VSCROLL, SB_THUMBPOSITION, Bar->GetPosition()); };
    if (FOptions & goThumbTracking) Bar->OnChange = Thumb;
    else Bar->OnLastChange = Thumb;
    Bar->OnUpButtonClick = [Bar, Send](TObject*) { Send(WM_VSCROLL, SB_LINEDOWN, Bar->GetPosition()); };
    Bar->OnDownButtonClick = [Bar, Send](TObject*) { Send(WM_VSCROLL, SB_LINEUP, Bar->GetPosition()); };
    Bar->OnPageUp = [Send](TObject*) { Send(WM_VSCROLL, SB_PAGEUP, 0); };
    Bar->OnPageDown = [Send](TObject*) { Send(WM_VSCROLL, SB_PAGEDOWN, 0); };
  } else {
    Bar->OnLastChange = [Bar, Send](TObject*) { Send(WM_HSCROLL, SB_THUMBPOSITION, Bar->GetPosition()); };
    Bar->OnUpButtonClick = [Bar, Send](TObject*) {
      Bar->SetPosition(Bar->GetPosition() + Bar->GetSmallChange());
      Send(WM_HSCROLL, SB_THUMBPOSITION, Bar->GetPosition());
    };
    Bar->OnDownButtonClick = [Bar, Send](TObject*) {
      Bar->SetPosition(Bar->GetPosition() - Bar->GetSmallChange());
      Send(WM_HSCROLL, SB_THUMBPOSITION, Bar->GetPosition());
    };
    Bar->OnPageUp = [Send](TObject*) { Send(WM_HSCROLL, SB_PAGEUP, 0); };
    Bar->OnPageDown = [Send](TObject*) { Send(WM_HSCROLL, SB_PAGEDOWN, 0); };
  }
}

void TskSkinCustomGrid::SetHScrollBar(IskScrollBarLink* Value) {
  if (FHScrollBarComponent) FHScrollBarComponent->RemoveFreeNotification(this);
  FHScrollBar = Value;
  FHScrollBarComponent = Value ? Value->LinkComponent() : nullptr;
  if (!Value) return;
  FHScrollBarComponent->FreeNotification(this);
  Value->SetBarEnabled(true);
  Value->SetBarVisible(false);
  HookScrollBar(Value, false);
  UpdateScrollRange();
}

void TskSkinCustomGrid::SetVScrollBar(IskScrollBarLink* Value) {
  if (FVScrollBarComponent) FVScrollBarComponent->RemoveFreeNotification(this);
  FVScrollBar = Value;
  FVScrollBarComponent = Value ? Value->LinkComponent() : nullptr;
  if (!Value) return;
  FVScrollBarComponent->FreeNotification(this);
  Value->SetBarEnabled(true);
  Value->SetBarVisible(false);
  HookScrollBar(Value, true);
  UpdateScrollRange();
}

// PendingShow: 0 nothing to change, 1 show the bar, 2 hide it.
void TskSkinCustomGrid::AxisScrollRange(bool Horizontal, IskScrollBarLink* Bar, const TGridCoord& OldTopLeft,
                                        bool& Repainted, int& PendingShow) {
  TskGridDrawInfo DI;
  CalcDrawInfo(DI);
  const TGridCoord MaxTopLeft = CalcMaxTopLeft(TGridCoord{FColCount - 1, FRowCount - 1}, DI);
  const int Fixed = Horizontal ? FFixedCols : FFixedRows;
  const int MaxPos = Horizontal ? MaxTopLeft.X : MaxTopLeft.Y;
  if (Fixed < MaxPos && Bar) {
    Bar->SetRange(0, ScrollScale, Bar->GetPosition(), 0);
    int Hidden = Horizontal ? FColCount - GetVisibleColCount() - FFixedCols
                            : FRowCount - GetVisibleRowCount() - FFixedRows;
    if (Hidden == 0) Hidden = 1;
    const int Small = std::max(1, ScrollScale / Hidden);
    Bar->SetSmallChange(Small);
    Bar->SetLargeChange(Small);
    if (!Bar->GetBarVisible()) PendingShow = 1;
  } else if (Bar) {
    Bar->SetRange(0, 0, 0, 0);
    if (Bar->GetBarVisible()) PendingShow = 2;
  }
  const int OldPos = Horizontal ? OldTopLeft.X : OldTopLeft.Y;
  if (OldPos > MaxPos) {
    if (!Repainted) {
      RepaintPending();
      Repainted = true;
    }
    if (Horizontal) FTopLeft.X = std::max(MaxPos, FFixedCols);
    else FTopLeft.Y = std::max(MaxPos, FFixedRows);
  }
}

void TskSkinCustomGrid::UpdateScrollRange() {
  if (!HandleAllocated() || !IsShowing() || FUpdatingScrollBars) return;
  int PendingH = 0, PendingV = 0;
  int OldWidth = GetClientWidth();
  const TGridCoord OldTopLeft = FTopLeft;
  bool Repainted = false;
  auto Horizontal = [&]() {
    if (FColCount == 1) {
      const int Range = std::max(0, GetColWidths(0) - GetClientWidth());
      if (FHScrollBar) {
        if (Range > 0) {
          FHScrollBar->SetRange(0, Range, FHScrollBar->GetPosition(), 0);
          const int Hidden = 1;
          const int Small = std::max(1, ScrollScale / Hidden);
          FHScrollBar->SetSmallChange(Small);
          FHScrollBar->SetLargeChange(Small);
          if (!FHScrollBar->GetBarVisible()) PendingH = 1;
        } else if (FHScrollBar->GetBarVisible()) {
          PendingH = 2;
        }
      }
    } else {
      AxisScrollRange(true, FHScrollBar, OldTopLeft, Repainted, PendingH);
    }
  };
  Horizontal();
  AxisScrollRange(false, FVScrollBar, OldTopLeft, Repainted, PendingV);
  if (GetClientWidth() != OldWidth) {
    OldWidth = GetClientWidth();
    Horizontal();
  }
  UpdateScrollPos();
  if (!(FTopLeft == OldTopLeft)) TopLeftMoved(OldTopLeft);
  FUpdatingScrollBars = true;
  bool VisibilityChanged = false;
  try {
    if (FVScrollBar && PendingV) {
      FVScrollBar->SetBarVisible(PendingV == 1);
      VisibilityChanged = true;
    }
    if (FHScrollBar && PendingH) {
      FHScrollBar->SetBarVisible(PendingH == 1);
      VisibilityChanged = true;
    }
  } catch (...) {
    FUpdatingScrollBars = false;
    throw;
  }
  FUpdatingScrollBars = false;
  if (FHScrollBar && FVScrollBar) {
    if (!FVScrollBar->GetBarVisible() && FHScrollBar->GetBoth()) FHScrollBar->SetBoth(false);
    else if (FVScrollBar->GetBarVisible() && !FHScrollBar->GetBoth()) FHScrollBar->SetBoth(true);
  }
  if (GetAlign() != alNone && VisibilityChanged) {
    FUpdatingScrollBars = true;
    try {
      if (GetParent()) GetParent()->Realign();
    } catch (...) {
      FUpdatingScrollBars = false;
      throw;
    }
    FUpdatingScrollBars = false;
    Invalidate();
  }
}

void TskSkinCustomGrid::UpdateScrollPos() {
  if (!HandleAllocated()) return;
  TskGridDrawInfo DI;
  CalcDrawInfo(DI);
  const TGridCoord MaxTopLeft = CalcMaxTopLeft(TGridCoord{FColCount - 1, FRowCount - 1}, DI);
  if (FHScrollBar) {
    if (FColCount == 1) {
      const int Room = GetClientWidth() - DI.Horz.FixedBoundary;
      if (FColOffset < 1) {
        FHScrollBar->SetPositionSilent(FColOffset);
      } else if (GetColWidths(0) - FColOffset < Room) {
        ModifyScrollBar(SB_HORZ, SB_THUMBPOSITION, GetColWidths(0) - Room, true);
      } else {
        FHScrollBar->SetPositionSilent(FColOffset);
      }
    } else {
      FHScrollBar->SetPositionSilent(MulDiv(FTopLeft.X - FFixedCols, ScrollScale, MaxTopLeft.X - FFixedCols));
    }
  }
  if (FVScrollBar)
    FVScrollBar->SetPositionSilent(MulDiv(FTopLeft.Y - FFixedRows, ScrollScale, MaxTopLeft.Y - FFixedRows));
}

void TskSkinCustomGrid::ModifyPixelScrollBar(int Code, int Pos) {
  TskGridDrawInfo DI;
  CalcDrawInfo(DI);
  const int Room = GetClientWidth() - DI.Horz.FixedBoundary;
  const int Width = GetColWidths(FTopLeft.X);
  int NewOffset = FColOffset;
  switch (Code) {
    case SB_LINEUP: NewOffset -= GetCanvas()->TextWidth("0"); break;
    case SB_LINEDOWN: NewOffset += GetCanvas()->TextWidth("0"); break;
    case SB_PAGEUP: NewOffset -= Room; break;
    case SB_PAGEDOWN: NewOffset += Room; break;
    case SB_THUMBPOSITION: NewOffset = Pos; break;
    case SB_THUMBTRACK:
      if (FOptions & goThumbTracking) NewOffset = Pos;
      break;
    case SB_TOP: NewOffset = 0; break;
    case SB_BOTTOM: NewOffset = Width - Room; break;
    default: break;
  }
  NewOffset = std::max(0, std::min(NewOffset, Width - Room));
  if (NewOffset != FColOffset) {
    const int Delta = FColOffset - NewOffset;
    FColOffset = NewOffset;
    ScrollDataInfo(Delta, 0, DI);
    InvalidateArea(TRect{0, 0, GetColWidths(0), DI.Vert.FixedBoundary}, false);
    RepaintPending();
    UpdateScrollPos();
  }
}

void TskSkinCustomGrid::ModifyScrollBar(int ScrollBar, int ScrollCode, int Pos, bool /*UseRightToLeft*/) {
  // Right-to-left reading is not supported by this class library: the factor is always 1.
  const int Factor = 1;
  if (GetVisible() && CanFocus() && GetTabStop() && !Designing()) SetFocus();
  TskGridDrawInfo DI;
  CalcDrawInfo(DI);
  if (ScrollBar == SB_HORZ && FColCount == 1) {
    ModifyPixelScrollBar(ScrollCode, Pos);
    return;
  }
  const TGridCoord MaxTopLeft = CalcMaxTopLeft(TGridCoord{FColCount - 1, FRowCount - 1}, DI);
  TGridCoord NewTopLeft = FTopLeft;
  const bool Horz = ScrollBar == SB_HORZ;
  const TskGridAxisDrawInfo& A = Horz ? DI.Horz : DI.Vert;
  const int Fixed = Horz ? FFixedCols : FFixedRows;
  const int Max = Horz ? MaxTopLeft.X : MaxTopLeft.Y;
  const int F = Horz ? Factor : 1;
  auto PageUp = [&]() {
    const TGridCoord M = CalcMaxTopLeft(FTopLeft, DI);
    const int R = Horz ? FTopLeft.X - M.X : FTopLeft.Y - M.Y;
    return std::max(1, R);
  };
  auto PageDown = [&]() { return std::max(1, A.LastFullVisibleCell - (Horz ? FTopLeft.X : FTopLeft.Y)); };
  auto Step = [&](int Value) {
    switch (ScrollCode) {
      case SB_LINEUP: return Value - F;
      case SB_LINEDOWN: return Value + F;
      case SB_PAGEUP: return Value - F * PageUp();
      case SB_PAGEDOWN: return Value + F * PageDown();
      case SB_THUMBPOSITION: return Fixed + MulDiv(Pos, Max - Fixed, ScrollScale);
      case SB_THUMBTRACK:
        if (FOptions & goThumbTracking) return Fixed + MulDiv(Pos, Max - Fixed, ScrollScale);
        return Value;
      case SB_TOP: return Fixed;
      case SB_BOTTOM: return Max;
      default: return Value;
    }
  };
  int& New = Horz ? NewTopLeft.X : NewTopLeft.Y;
  int Old;
  do {
    Old = New;
    New = Step(Old);
  } while (!(New <= Fixed || New >= Max || A.GetExtent(New) > 0 || New == Old));
  NewTopLeft.X = std::max(FFixedCols, std::min(MaxTopLeft.X, NewTopLeft.X));
  NewTopLeft.Y = std::max(FFixedRows, std::min(MaxTopLeft.Y, NewTopLeft.Y));
  if (!(NewTopLeft == FTopLeft)) MoveTopLeft(NewTopLeft.X, NewTopLeft.Y);
}

void TskSkinCustomGrid::Resize() {
  TskSkinControl::Resize();
  if (FIndex < 0 && (FOptions & goRowSelect)) InvalidateGrid();
  UpdateScrollRange();
}
