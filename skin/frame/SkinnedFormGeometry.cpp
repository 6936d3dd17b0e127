// TskSkinnedForm: the frame picture fitted to the window size, the client rectangle, hit testing,
// the size limits and the window region cut from the skin's mask.
#include <algorithm>
#include <vector>

#include "skin/foundation/SkinDrawUtils.h"
#include "skin/foundation/SkinRegions.h"
#include "skin/frame/SkinnedForm.h"

namespace {

bool Inside(const TRect& R, const TPoint& P) { return P.x >= R.left && P.x < R.right && P.y >= R.top && P.y < R.bottom; }

bool RectInside(const TRect& R, const TRect& Area)
{
  return Inside(Area, TPoint{R.left, R.top}) && Inside(Area, TPoint{R.right, R.bottom});
}

TPoint Shift(TPoint P, int Dx, int Dy) { return TPoint{P.x + Dx, P.y + Dy}; }

// A region from a mask placed at (X, Y); nullptr when no pixel is black.
HRGN MaskRegion(TBitmap* Mask, int X, int Y)
{
  if (!Mask || Mask->Empty())
    return nullptr;
  std::vector<std::uint8_t> data;
  const int size = BuildRegionDataFromMask(Mask, X, Y, data);
  if (size == 0)
    return nullptr;
  return ExtCreateRegion(nullptr, static_cast<DWORD>(size), reinterpret_cast<const RGNDATA*>(data.data()));
}

} // namespace

bool TskSkinnedForm::IsNCSkinned() const
{
  TskSkinData* skin = GetSkinData();
  return FSupportNCArea && skin && !skin->Empty && !skin->picture->Empty() && RectWidth(skin->clientrect) > 0 &&
         RectHeight(skin->clientrect) > 0;
}

bool TskSkinnedForm::IsStretchableSkin() const
{
  TskSkinData* skin = GetSkinData();
  return skin && skin->rightbottompoint.x != skin->lefttoppoint.x && skin->rightbottompoint.y != skin->lefttoppoint.y;
}

bool TskSkinnedForm::CanShowLayeredBorder() const
{
  TskSkinData* skin = GetSkinData();
  return skin && !skin->Empty && skin->GetShowLayeredBorders() && skin->LayerFrame &&
         skin->LayerFrame->pictureindex != -1 && IsWindows2000OrLater() && FFormSkinnable &&
         !FLayerBorderSuspended && (!BorderNone() || !FSupportNCArea) && !IsMDIChild();
}

bool TskSkinnedForm::IsSizeable() const
{
  return Sizeable || FOwnerForm->GetBorderStyle() == bsSizeable || FOwnerForm->GetBorderStyle() == bsSizeToolWin;
}

void TskSkinnedForm::CalcFrameGeometry()
{
  TskSkinData* skin = GetSkinData();
  if (!skin || skin->Empty)
    return;
  if (FrameWidth == 0 || FrameHeight == 0) {
    FrameWidth = FOwnerForm->GetWidth();
    FrameHeight = FOwnerForm->GetHeight();
  }
  const int w0 = skin->picture->GetWidth(), h0 = skin->picture->GetHeight();
  const int dx = FrameWidth - w0, dy = FrameHeight - h0;
  NewLTPoint = skin->lefttoppoint;
  NewRTPoint = Shift(skin->righttoppoint, dx, 0);
  NewLBPoint = Shift(skin->leftbottompoint, 0, dy);
  NewRBPoint = Shift(skin->rightbottompoint, dx, dy);
  FrameClientRect = skin->clientrect;
  FrameClientRect.right += dx;
  FrameClientRect.bottom += dy;
  CaptionRect = skin->captionrect;
  if (!IsNullRect(CaptionRect))
    CaptionRect.right += dx;
  ButtonsRect = skin->buttonsrect;
  ButtonsInLeft = skin->buttonsinleft;
  if (!IsNullRect(ButtonsRect) && ButtonsRect.left > w0 / 2)
    OffsetRect(&ButtonsRect, dx, 0);
  ButtonsOffset = skin->buttonsoffset;
  HitLTPoint = skin->hittestlefttoppoint;
  HitRTPoint = Shift(skin->hittestrighttoppoint, dx, 0);
  HitLBPoint = Shift(skin->hittestleftbottompoint, 0, dy);
  HitRBPoint = Shift(skin->hittestrightbottompoint, dx, dy);
  MaskRect = skin->maskrectarea;
  MaskRect.right += dx;
  MaskRect.bottom += dy;
  IconRect = MapSkinRect(skin->iconrect);
  MainMenuRect = skin->mainmenurect;
  if (IsStretchableSkin()) {
    MainMenuRect.right += dx;
    const TRect lb{0, skin->leftbottompoint.y, skin->leftbottompoint.x, h0};
    if (Inside(lb, TPoint{MainMenuRect.left, MainMenuRect.top}))
      OffsetRect(&MainMenuRect, 0, dy);
  }
}

TRect TskSkinnedForm::MapSkinRect(const TRect& R) const
{
  TskSkinData* skin = GetSkinData();
  if (!skin)
    return R;
  const int w0 = skin->picture->GetWidth(), h0 = skin->picture->GetHeight();
  const TRect lt{0, 0, skin->lefttoppoint.x, skin->lefttoppoint.y};
  const TRect lb{0, skin->leftbottompoint.y, skin->leftbottompoint.x, h0};
  const TRect rt{skin->righttoppoint.x, 0, w0, skin->righttoppoint.y};
  const TRect rb{skin->rightbottompoint.x, skin->rightbottompoint.y, w0, h0};
  // No corner areas, or no corner points at all (whose bottom-right area would be the whole
  // picture): nothing moves.
  const bool noPoints = IsNullPoint(skin->lefttoppoint) && IsNullPoint(skin->righttoppoint) &&
                        IsNullPoint(skin->leftbottompoint) && IsNullPoint(skin->rightbottompoint);
  if (noPoints || (IsNullRect(lt) && IsNullRect(lb) && IsNullRect(rt) && IsNullRect(rb)))
    return R;
  const int dx = NewRBPoint.x - skin->rightbottompoint.x, dy = NewRBPoint.y - skin->rightbottompoint.y;
  TRect m = R;
  if (RectInside(R, lt))
    return m;
  if (RectInside(R, rt)) {
    OffsetRect(&m, dx, 0);
    return m;
  }
  if (RectInside(R, lb)) {
    OffsetRect(&m, 0, dy);
    return m;
  }
  if (RectInside(R, rb)) {
    OffsetRect(&m, dx, dy);
    return m;
  }
  const TPoint tl{R.left, R.top}, br{R.right, R.bottom};
  if (Inside(lt, tl) && Inside(rb, br)) {
    m.right += dx;
    m.bottom += dy;
  } else if (Inside(lt, tl) && Inside(rt, br)) {
    m.right += dx;
  } else if (Inside(lb, tl) && Inside(rb, br)) {
    m.right += dx;
    OffsetRect(&m, 0, dy);
  } else if (Inside(lt, tl) && Inside(lb, br)) {
    m.bottom += dy;
  } else if (Inside(rt, tl) && Inside(rb, br)) {
    OffsetRect(&m, dx, 0);
    m.bottom += dy;
  }
  return m;
}

// ---- The non-client size ----

int TskSkinnedForm::GetDefaultCaptionHeight() const { return IsToolWindowStyle() ? 15 : 19; }
int TskSkinnedForm::GetDefaultButtonSize() const { return IsToolWindowStyle() ? 13 : 17; }

void TskSkinnedForm::CalcClientRect(RECT& R)
{
  if (!FSupportNCArea || BorderNone() || (IsMDIChild() && FSkinWindowState == wsMaximized))
    return;
  if (IsNCSkinned()) {
    TskSkinData* skin = GetSkinData();
    FrameWidth = R.right - R.left;
    FrameHeight = R.bottom - R.top;
    CalcFrameGeometry();
    const int w0 = skin->picture->GetWidth(), h0 = skin->picture->GetHeight();
    R.left += skin->clientrect.left;
    R.top += skin->clientrect.top;
    R.right -= w0 - skin->clientrect.right;
    R.bottom -= h0 - skin->clientrect.bottom;
  } else {
    R.left += 3;
    R.top += GetDefaultCaptionHeight() + 3;
    R.right -= 3;
    R.bottom -= 3;
  }
  R.right = std::max(R.right, R.left);
  R.bottom = std::max(R.bottom, R.top);
}

// ---- Hit testing ----

TPoint TskSkinnedForm::ScreenToFramePoint(TPoint P) const
{
  RECT w{};
  GetWindowRect(FOwnerForm->GetHandle(), &w);
  return TPoint{P.x - w.left, P.y - w.top};
}

bool TskSkinnedForm::InsideShape(int X, int Y) const
{
  if (Inside(MaskRect, TPoint{X, Y}))
    return true;
  auto black = [](TBitmap* Strip, int SX, int SY) {
    if (!Strip || Strip->Empty() || SX < 0 || SY < 0 || SX >= Strip->GetWidth() || SY >= Strip->GetHeight())
      return false;
    return (Strip->GetCanvas()->GetPixels(SX, SY) & 0xFFFFFF) == 0;
  };
  if (Y < MaskRect.top)
    return black(TopMask.get(), X, Y);
  if (Y >= MaskRect.bottom)
    return black(BottomMask.get(), X, Y - MaskRect.bottom);
  if (X <= MaskRect.left)
    return black(LeftMask.get(), X, Y - MaskRect.top);
  return black(RightMask.get(), X - MaskRect.right, Y - MaskRect.top);
}

bool TskSkinnedForm::NearEdge(TPoint P, int B) const
{
  const TPoint probes[] = {{P.x - B, P.y}, {P.x, P.y - B}, {P.x + B, P.y}, {P.x, P.y + B}};
  TskSkinData* skin = GetSkinData();
  const bool masked = skin && !skin->mask->Empty();
  const TRect whole{0, 0, FrameWidth, FrameHeight};
  if (!masked)
    return std::any_of(std::begin(probes), std::end(probes), [&](const TPoint& Q) { return !Inside(whole, Q); });
  if (Inside(MaskRect, P))
    return false;
  return std::any_of(std::begin(probes), std::end(probes), [&](const TPoint& Q) { return !InsideShape(Q.x, Q.y); });
}

// The sizing zone of a point near the edge (0 when it lies in none).
LRESULT TskSkinnedForm::SizingZone(TPoint P) const
{
  const int x = P.x, y = P.y;
  if (x <= HitLTPoint.x && y <= HitLTPoint.y)
    return HTTOPLEFT;
  if (x >= HitRTPoint.x && y <= HitRTPoint.y)
    return HTTOPRIGHT;
  if (x <= HitLBPoint.x && y >= HitLBPoint.y)
    return HTBOTTOMLEFT;
  if (x >= HitRBPoint.x && y >= HitRBPoint.y)
    return HTBOTTOMRIGHT;
  if (Inside(TRect{HitLTPoint.x, 0, HitRTPoint.x, FrameClientRect.top}, P))
    return HTTOP;
  if (Inside(TRect{HitLBPoint.x, FrameClientRect.bottom, HitRBPoint.x, FrameHeight}, P))
    return HTBOTTOM;
  if (Inside(TRect{0, HitLTPoint.y, FrameClientRect.left, HitLBPoint.y}, P))
    return HTLEFT;
  if (Inside(TRect{FrameClientRect.right, HitRTPoint.y, FrameWidth, HitRBPoint.y}, P))
    return HTRIGHT;
  return 0;
}

LRESULT TskSkinnedForm::HitTestSkinned(TPoint P)
{
  TskSkinData* skin = GetSkinData();
  if (!FRollUpState && FSkinWindowState != wsMinimized) {
    if (FActiveObject != -1 && !OnCaptionObject(P) && !Inside(FrameClientRect, P) && !FInMoveSize)
      return HTOBJECT;
    if (FSkinWindowState != wsMaximized && Sizeable) {
      if (!NearEdge(P, skin ? skin->borderwidth : 0)) {
        if (Inside(FrameClientRect, P))
          return HTCLIENT;
        return OnCaptionObject(P) ? HTCAPTION : HTOBJECT;
      }
      if (LRESULT zone = SizingZone(P))
        return zone;
    }
    if (Inside(FrameClientRect, P))
      return HTCLIENT;
  }
  return OnCaptionObject(P) ? HTCAPTION : HTOBJECT;
}

LRESULT TskSkinnedForm::HitTestDefault(TPoint P)
{
  const int w = FrameWidth, h = FrameHeight, x = P.x, y = P.y;
  if (FSkinWindowState == wsNormal && !FRollUpState && Sizeable) {
    if (FActiveObject != -1)
      return HTOBJECT;
    if (x <= 2 && y <= 2)
      return HTTOPLEFT;
    if (x >= w - 2 && y <= 2)
      return HTTOPRIGHT;
    if (x <= 2 && y >= h - 2)
      return HTBOTTOMLEFT;
    if (x >= w - 2 && y >= h - 2)
      return HTBOTTOMRIGHT;
    if (x <= 2)
      return HTLEFT;
    if (y <= 2)
      return HTTOP;
    if (x >= w - 2)
      return HTRIGHT;
    if (y >= h - 2)
      return HTBOTTOM;
  }
  ArrangeDefaultButtons();
  if (Inside(DefCaptionRect, P))
    return HTCAPTION;
  const int c = GetDefaultCaptionHeight();
  if (Inside(TRect{3, c + 3, w - 3, h - 3}, P))
    return HTCLIENT;
  return HTOBJECT;
}

LRESULT TskSkinnedForm::HitTestClientDrawn(TPoint P)
{
  TskSkinData* skin = GetSkinData();
  if (!Sizeable || FSkinWindowState == wsMaximized || FRollUpState || FActiveObject != -1 || !FSkinLoaded)
    return HTCLIENT;
  if (!IsNullRect(SizeGripRect) && Inside(SizeGripRect, P))
    return HTBOTTOMRIGHT;
  if (!NearEdge(P, skin->borderwidth))
    return HTCLIENT;
  LRESULT zone = SizingZone(P);
  return zone ? zone : HTCLIENT;
}

// ---- Size limits ----

int TskSkinnedForm::GetEffectiveMinWidth() const
{
  TskSkinData* skin = GetSkinData();
  const bool minimized = FSkinWindowState == wsMinimized;
  if (FSupportNCArea) {
    if (!IsNCSkinned())
      return MinWidth > 0 ? MinWidth : 130;
    const int w0 = skin->picture->GetWidth();
    if (w0 < MinWidth && !minimized)
      return MinWidth;
    if (skin->formminwidth > 0)
      return (skin->formminwidth >= MinWidth || minimized) ? skin->formminwidth : MinWidth;
    return w0;
  }
  if (!FSkinLoaded || skin->picture->Empty())
    return 0;
  const int w0 = skin->picture->GetWidth();
  return MinWidth != 0 ? std::min(MinWidth, w0) : w0;
}

int TskSkinnedForm::GetEffectiveMinHeight() const
{
  TskSkinData* skin = GetSkinData();
  const bool rule = FRollUpState || FSkinWindowState == wsMinimized;
  if (FSupportNCArea) {
    const int frame = IsNCSkinned() ? skin->picture->GetHeight() - RectHeight(skin->clientrect)
                                    : GetDefaultCaptionHeight() + 6;
    return (frame >= MinHeight || rule) ? frame : MinHeight;
  }
  if (!FSkinLoaded || skin->picture->Empty())
    return 0;
  const int h0 = skin->picture->GetHeight();
  return MinHeight != 0 ? std::min(MinHeight, h0) : h0;
}

int TskSkinnedForm::GetEffectiveMaxWidth() const
{
  TRect area{};
  GetMonitorArea(FOwnerForm->HandleAllocated() ? FOwnerForm->GetHandle() : nullptr, !MaximizeOnFullScreen, area);
  int w = RectWidth(area);
  if (MaxWidth > 0 && MaxWidth < w)
    w = MaxWidth;
  return std::max(w, GetEffectiveMinWidth());
}

int TskSkinnedForm::GetEffectiveMaxHeight() const
{
  TRect area{};
  GetMonitorArea(FOwnerForm->HandleAllocated() ? FOwnerForm->GetHandle() : nullptr, !MaximizeOnFullScreen, area);
  int h = RectHeight(area);
  if (MaxHeight > 0 && MaxHeight < h)
    h = MaxHeight;
  return std::max(h, GetEffectiveMinHeight());
}

// ---- Layout and region ----

void TskSkinnedForm::UpdateFrame(bool WithObjects)
{
  if (Designing() || !FSkinLoaded || GetSkinData()->picture->Empty() || (FSupportNCArea && !IsNCSkinned()))
    return;
  if (FFormSkinnable) {
    CalcFrameGeometry();
    if (WithObjects)
      CalcObjectRects();
  }
  SetFrameRegion(WithObjects);
  if (OnChangeClientRect)
    OnChangeClientRect(FrameClientRect);
  if (!FOwnerForm->HandleAllocated())
    return;
  if (FSupportNCArea) {
    SendNCPaint();
    if (GetSkinData()->stretcheffect) {
      FOwnerForm->Invalidate();
      for (int i = 0; i < FOwnerForm->GetControlCount(); ++i)
        if (auto* child = dynamic_cast<TWinControl*>(FOwnerForm->GetControl(i)); child && child->HandleAllocated())
          SendMessage(child->GetHandle(), ParentImageChangedMessage, 0, 0);
    }
  } else {
    FOwnerForm->Invalidate();
  }
}

void TskSkinnedForm::SetFrameRegion(bool Stretch)
{
  if (!FOwnerForm->HandleAllocated())
    return;
  HWND wnd = FOwnerForm->GetHandle();
  TskSkinData* skin = GetSkinData();
  if (!FFormSkinnable || (BorderNone() && FSupportNCArea)) {
    SetWindowRgn(wnd, nullptr, TRUE);
    return;
  }
  const bool masked = FSkinLoaded && !skin->mask->Empty();
  if (!masked || (IsMDIChild() && FSkinWindowState == wsMaximized)) {
    if (!FSkinLoaded) {
      TopMask->SetSize(0, 0);
      BottomMask->SetSize(0, 0);
      LeftMask->SetSize(0, 0);
      RightMask->SetSize(0, 0);
    }
    // The whole window: no region at all (the window is then a plain rectangle).
    SetWindowRgn(wnd, nullptr, TRUE);
    return;
  }
  if (!Stretch) {
    if (HRGN rgn = MaskRegion(skin->mask, 0, 0))
      SetWindowRgn(wnd, rgn, TRUE);
    return;
  }
  const int w0 = skin->picture->GetWidth(), h0 = skin->picture->GetHeight();
  if (skin->mask->GetWidth() != w0 || skin->mask->GetHeight() != h0) {
    // A mask that does not match the frame picture cannot be laid out: the window stays a
    // plain rectangle.
    SetWindowRgn(wnd, nullptr, TRUE);
    MaskRect = TRect{0, 0, FrameWidth, FrameHeight};
    return;
  }
  BuildFrameEdgeMasks(skin->lefttoppoint, skin->righttoppoint, skin->leftbottompoint, skin->rightbottompoint,
                      skin->maskrectarea, NewLTPoint, NewRTPoint, NewLBPoint, NewRBPoint, MaskRect, skin->mask,
                      TopMask.get(), LeftMask.get(), RightMask.get(), BottomMask.get(), FrameWidth);
  HRGN all = CreateRectRgn(MaskRect.left, MaskRect.top, MaskRect.right, MaskRect.bottom);
  const struct {
    TBitmap* Strip;
    int X, Y;
  } strips[] = {{TopMask.get(), 0, 0},
                {BottomMask.get(), 0, MaskRect.bottom},
                {LeftMask.get(), 0, MaskRect.top},
                {RightMask.get(), MaskRect.right, MaskRect.top}};
  for (const auto& s : strips) {
    if (HRGN part = MaskRegion(s.Strip, s.X, s.Y)) {
      CombineRgn(all, all, part, RGN_OR);
      DeleteObject(part);
    }
  }
  // The window takes the region over; it frees the one it had.
  SetWindowRgn(wnd, all, TRUE);
}
