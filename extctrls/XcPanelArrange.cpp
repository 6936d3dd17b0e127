// The arranging panel's layout of its windowed children (see XcPanel.h).
#include <algorithm>
#include <vector>

#include "extctrls/XcPanel.h"

namespace {

struct TPlaced {
  TWinControl* Control;
  TRect Rect;
  int Line;
};

// Clears a flag when the scope ends, also on failure.
struct TFlagScope {
  bool& Flag;
  explicit TFlagScope(bool& AFlag) : Flag(AFlag) { Flag = true; }
  ~TFlagScope() { Flag = false; }
  TFlagScope(const TFlagScope&) = delete;
  TFlagScope& operator=(const TFlagScope&) = delete;
};

}  // namespace

void TXcCustomArrangePanel::ArrangeControls()
{
  if (FArrangeDisableCount > 0 || FArranging || GetControlCount() == 0 || IsLoading()) return;
  TFlagScope Running(FArranging);
  const TXcArrangeSettings& S = *FArrangeSettings;
  const bool SizeWidth = S.GetAutoSize() == asWidth || S.GetAutoSize() == asBoth;
  const bool SizeHeight = S.GetAutoSize() == asHeight || S.GetAutoSize() == asBoth;
  const int BL = S.GetBorderLeft(), BT = S.GetBorderTop();
  const int OldW = GetWidth(), OldH = GetHeight();
  int PanelW = OldW, PanelH = OldH;
  int X = BL, Y = BT, LineHeight = -1, InLine = 0, Lines = 1;
  // An auto-sized panel counts its present size as content, so that an arrangement keeps it
  // (the panel grows to its children but never loses its borders' width on the way).
  int Right = SizeWidth ? OldW - BL : -1;
  int Bottom = SizeHeight ? OldH - BT : -1;

  for (int I = 0; I < GetControlCount(); ++I) {
    auto* W = dynamic_cast<TWinControl*>(GetControl(I));
    if (!W) continue;
    if (auto* Inner = dynamic_cast<TXcCustomArrangePanel*>(W)) Inner->ArrangeIfAuto();
    PanelW = std::max(PanelW, W->GetWidth() + 2 * BL);
  }
  if (S.GetMaxWidth() > 0 && S.GetMaxWidth() < PanelW) PanelW = S.GetMaxWidth();

  std::vector<TPlaced> Placed;
  for (int Order = 0;; ++Order) {
    TWinControl* C = ControlAtTabOrder(Order);
    if (!C) break;
    if (!C->GetVisible() && !(IsDesigning() && S.GetShowNotVisibleAtDesignTime())) continue;
    const int CW = C->GetWidth(), CH = C->GetHeight();
    const int Need = X + CW + S.GetDistanceHorizontal() + BL;
    bool NewLine;
    if (S.GetMaxControlsPerLine() > 0 && InLine >= S.GetMaxControlsPerLine()) {
      NewLine = true;
    } else {
      const bool Fits = (Need <= PanelW || SizeWidth) && (Need <= S.GetMaxWidth() || S.GetMaxWidth() <= 0);
      NewLine = !(Fits || X <= BL || !S.GetWrapControls());
    }
    if (NewLine) {
      X = BL;
      Y += LineHeight + S.GetDistanceVertical();
      LineHeight = -1;
      InLine = 1;
      ++Lines;
    } else {
      ++InLine;
    }
    Placed.push_back({C, TRect{X, Y, X + CW, Y + CH}, Lines});
    X += CW;
    Right = std::max(Right, X);
    X += S.GetDistanceHorizontal();
    LineHeight = std::max(LineHeight, CH);
    Bottom = Y + LineHeight;
  }

  int DX = 0, DY = 0;
  if (S.GetAutoSize() == asNone || S.GetAutoSize() == asWidth) {
    if (S.GetVerticalAlignment() == asVCenter) DY = (GetClientHeight() - Bottom) / 2;
    else if (S.GetVerticalAlignment() == asBottom) DY = GetClientHeight() - Bottom;
  }
  if (S.GetAutoSize() == asNone || S.GetAutoSize() == asHeight) {
    if (S.GetHorizontalAlignment() == asCenter) DX = (GetClientWidth() - Right) / 2;
    else if (S.GetHorizontalAlignment() == asRight) DX = GetClientWidth() - Right;
  }
  std::vector<int> LineOffset(static_cast<std::size_t>(Lines) + 1, 0);
  if (S.GetHorizontalAlignLines()) {
    for (int L = 1; L <= Lines; ++L) {
      const TPlaced* First = nullptr;
      const TPlaced* Last = nullptr;
      for (const auto& P : Placed)
        if (P.Line == L) {
          if (!First) First = &P;
          Last = &P;
        }
      if (First) LineOffset[static_cast<std::size_t>(L)] = (Right - (Last->Rect.right - First->Rect.left)) / 2;
    }
  }
  for (const auto& P : Placed) {
    TRect R = P.Rect;
    OffsetRect(&R, DX + LineOffset[static_cast<std::size_t>(P.Line)], DY);
    P.Control->SetBounds(R.left, R.top, R.right - R.left, R.bottom - R.top);
  }

  if (!IsLoading()) {
    if (SizeWidth) {
      if (Right >= 0) PanelW = S.GetMaxWidth() > 0 && S.GetMaxWidth() <= Right ? S.GetMaxWidth() : BL + Right;
      else PanelW = OldW;
    }
    if (SizeHeight) PanelH = Bottom >= 0 ? BT + Bottom : OldH;
    SetPanelWidth(PanelW);
    SetPanelHeight(PanelH);
  }
  if (GetWidth() != OldW || GetHeight() != OldH) {
    if (HWND Focus = GetFocus()) UpdateWindow(Focus);
  }
}
