// The MDI tabs bar: layout, hit testing, dragging, the close buttons, painting and the menus.
#include "skin/frame/SkinMDITabsBar.h"

#include <algorithm>

#include "skin/foundation/SkinControlRecords.h"
#include "skin/foundation/SkinCustomControlRecords.h"
#include "skin/foundation/SkinData.h"
#include "skin/foundation/SkinDrawUtils.h"
#include "skin/foundation/SkinGlyphs.h"
#include "skin/foundation/SkinImages.h"
#include "skin/foundation/SkinRegions.h"
#include "skin/foundation/SkinStrings.h"
#include "skin/foundation/SkinStripImages.h"
#include "skin/frame/SkinFrameObject.h"
#include "skin/frame/SkinnedForm.h"
#include "skin/input/SkinMenuItem.h"
#include "skin/input/SkinMenuSpeedButton.h"

namespace {

constexpr int ListButtonWidth = 15;
const char* const TabsSuffix = "_DSFCHILDITEMBAR";
const char* const HiddenTabsSuffix = "_DSFCHILDITEMBARHIDE";

bool IsEmptyRect(const TRect& R) { return R.right <= R.left || R.bottom <= R.top; }

bool InRect(const TRect& R, int X, int Y) { return X >= R.left && X <= R.right && Y >= R.top && Y <= R.bottom; }

TskDataSkinButtonControl* ButtonRecord(TskSkinData* Skin, const char* Name)
{
  if (!Skin || Skin->Empty)
    return nullptr;
  const int index = Skin->GetControlIndex(Name);
  return index < 0 ? nullptr : dynamic_cast<TskDataSkinButtonControl*>(Skin->ControlList[static_cast<size_t>(index)]);
}

// The record's image of W x H from Source, nine-sliced by its corner points.
void BuildButtonImage(TskDataSkinButtonControl* R, TBitmap* Picture, const TRect& Source, TBitmap* Target, int W, int H)
{
  const int dw = W - RectWidth(R->skinrect), dh = H - RectHeight(R->skinrect);
  const TRect ncr = Rect(R->clientrect.left, R->clientrect.top, R->clientrect.right + dw, R->clientrect.bottom + dh);
  BuildNineSliceBitmap(R->lefttoppoint, R->righttoppoint, R->leftbottompoint, R->rightbottompoint, R->clientrect,
                       R->lefttoppoint, Point(R->righttoppoint.x + dw, R->righttoppoint.y),
                       Point(R->leftbottompoint.x, R->leftbottompoint.y + dh),
                       Point(R->rightbottompoint.x + dw, R->rightbottompoint.y + dh), ncr, Target, Picture, Source, W,
                       H, true, R->leftstretch, R->topstretch, R->rightstretch, R->bottomstretch, R->stretcheffect,
                       R->stretchtype);
}

// Normal, hot or pressed look of a button record, with the record's fallbacks.
TRect ButtonSource(TskDataSkinButtonControl* R, bool HotLook, bool PressedLook)
{
  const TRect hot = IsEmptyRect(R->activeskinrect) ? R->skinrect : R->activeskinrect;
  if (PressedLook)
    return IsEmptyRect(R->downskinrect) ? hot : R->downskinrect;
  return HotLook ? hot : R->skinrect;
}

} // namespace

TskSkinMDITabsBar::TskSkinMDITabsBar(TComponent* AOwner) : TskSkinControl(AOwner)
{
  FSkinDataName = "tab";
  SetWidth(150);
  SetHeight(21);
  FDefaultFont = std::make_unique<TFont>();
  FDefaultFont->SetName("Arial");
  FDefaultFont->SetHeight(14);
  FDefaultFont->SetStyle(0);
  FTabsMenu = new TskSkinPopupMenu(this);
  FHiddenTabsMenu = new TskSkinPopupMenu(this);
}

TskSkinMDITabsBar::~TskSkinMDITabsBar()
{
  for (TskMDITab* tab : FTabs)
    delete tab;
  FTabs.clear();
  RemoveListButton(FTabsListButton);
}

void TskSkinMDITabsBar::Notification(TComponent* AComponent, TOperation Operation)
{
  TskSkinControl::Notification(AComponent, Operation);
  if (Operation != opRemove)
    return;
  if (FSkinnedForm && AComponent == static_cast<TComponent*>(FSkinnedForm))
    FSkinnedForm = nullptr;
  if (AComponent == FTabsListButton)
    FTabsListButton = nullptr;
  if (AComponent == FHiddenTabsButton)
    FHiddenTabsButton = nullptr;
  if (AComponent == FTabsMenu)
    FTabsMenu = nullptr;
  if (AComponent == FHiddenTabsMenu)
    FHiddenTabsMenu = nullptr;
}

bool TskSkinMDITabsBar::Transparent() const { return Skinned() && FSkinData->mditabstransparent; }

void TskSkinMDITabsBar::SetTabKind(TskSkinMDITabKind Value)
{
  FTabKind = Value;
  if (Skinned())
    Repaint();
}

void TskSkinMDITabsBar::SetDefaultHeight(int Value)
{
  FDefaultHeight = Value;
  if (!Skinned() && Value > 0)
    SetHeight(Value);
}

void TskSkinMDITabsBar::GetSkinData()
{
  TskSkinControl::GetSkinData();
  if (FIndex == -1)
    return;
  auto* r = dynamic_cast<TskDataSkinTabControl*>(FSkinData->ControlList[static_cast<size_t>(FIndex)]);
  if (!r)
    return;
  FPicture = SkinActivePictureAt(FSkinData, r->pictureindex);
  FTabRect = r->tabrect;
  FActiveTabRect = IsEmptyRect(r->activetabrect) ? r->tabrect : r->activetabrect;
  FMouseInTabRect = IsEmptyRect(r->mouseintabrect) ? r->tabrect : r->mouseintabrect;
  FTabsBGRect = r->tabsbgrect;
  FTabLeftOffset = r->tableftoffset;
  FTabRightOffset = r->tabrightoffset;
  FFontName = r->fontname;
  FFontStyle = r->fontstyle;
  FFontHeight = r->fontheight;
  FFontColor = r->fontcolor;
  FFocusFontColor = r->focusfontcolor;
  FMouseInFontColor = r->mouseinfontcolor;
  FTabStretchEffect = r->tabstretcheffect;
  FCloseButtonRect = r->closebuttonrect;
  FCloseButtonActiveRect = r->closebuttonactiverect;
  FCloseButtonDownRect = r->closebuttondownrect;
  FButtonTransparent = r->buttontransparent;
  FButtonTransparentColor = r->buttontransparentcolor;
  // The record is completed after the copy: the copy shows it from the next reading on.
  if (IsEmptyRect(r->closebuttonactiverect))
    r->closebuttonactiverect = r->closebuttonrect;
  if (IsEmptyRect(r->closebuttondownrect))
    r->closebuttondownrect = r->closebuttonactiverect;
  FLTPoint = r->lefttoppoint;
  FRTPoint = r->righttoppoint;
  FLBPoint = r->leftbottompoint;
  FRBPoint = r->rightbottompoint;
  FClientRect = r->clientrect;
  FSkinRect = r->skinrect;
  FLeftStretch = r->leftstretch;
  FTopStretch = r->topstretch;
  FRightStretch = r->rightstretch;
  FBottomStretch = r->bottomstretch;
  FStretchEffect = r->stretcheffect;
  FStretchType = r->stretchtype;
  StripHeight = FClientRect.top;
  ActiveExtraHeight = RectHeight(FActiveTabRect) - RectHeight(FTabRect);
}

void TskSkinMDITabsBar::ChangeSkinData()
{
  GetSkinData();
  CloseButtonSize = Skinned() && !IsEmptyRect(FCloseButtonRect) ? RectWidth(FCloseButtonRect) : 14;
  if (Skinned() && UseSkinSize)
    SetHeight(RectHeight(FTabRect) + (FTabKind == sptkTab ? StripHeight : 0));
  else if (FDefaultHeight > 0)
    SetHeight(FDefaultHeight);
  if (FTabsListButton)
    FTabsListButton->SetSkinData(FSkinData);
  if (ShowCloseButtons)
    Repaint();
  Realign();
}

void TskSkinMDITabsBar::AdjustClientRect(TRect& R)
{
  TskSkinControl::AdjustClientRect(R);
  if (Skinned() && FTabKind == sptkTab)
    R.bottom -= StripHeight;
}

// ---- The tabs ----

void TskSkinMDITabsBar::AddTab(TCustomForm* Form)
{
  FTabs.push_back(new TskMDITab(this, Form));
  if (!FTabsListButton)
    FTabsListButton = MakeListButton(alLeft, FTabsMenu, 4, [this] { BuildTabsMenu(); });
  Repaint();
}

void TskSkinMDITabsBar::ClampHotIndexes()
{
  const int count = static_cast<int>(FTabs.size());
  if (HotIndex >= count)
    HotIndex = -1;
  if (LastHotIndex >= count)
    LastHotIndex = -1;
}

void TskSkinMDITabsBar::RemoveTab(TCustomForm* Form)
{
  if (HotIndex >= 0 && HotIndex < static_cast<int>(FTabs.size()) && FTabs[static_cast<size_t>(HotIndex)]->Form == Form) {
    if (OnTabMouseLeave)
      OnTabMouseLeave(FTabs[static_cast<size_t>(HotIndex)]);
    HotIndex = LastHotIndex = -1;
  }
  for (size_t i = 0; i < FTabs.size(); ++i) {
    if (FTabs[i]->Form != Form)
      continue;
    const int removed = static_cast<int>(i);
    delete FTabs[i];
    FTabs.erase(FTabs.begin() + static_cast<std::ptrdiff_t>(i));
    // The hot and drag indexes keep pointing at the same tabs.
    for (int* index : {&HotIndex, &LastHotIndex}) {
      if (*index > removed)
        --*index;
    }
    if (DragIndex == removed) {
      DragIndex = -1;
      Dragging = MouseDownArmed = false;
    } else if (DragIndex > removed) {
      --DragIndex;
    }
    break;
  }
  ClampHotIndexes();
  if (FTabs.empty())
    RemoveListButton(FTabsListButton);
  Repaint();
}

void TskSkinMDITabsBar::UpdateActiveTab()
{
  TForm* main = Application->GetMainForm();
  TForm* active = main ? main->GetActiveMDIChild() : nullptr;
  if (!active)
    return;
  for (TskMDITab* tab : FTabs)
    tab->Active = tab->Form == active;
  Repaint();
}

void TskSkinMDITabsBar::RepaintTab(TCustomForm* Form)
{
  for (TskMDITab* tab : FTabs)
    if (tab->Form == Form && tab->InBar)
      RedrawTab(tab);
}

void TskSkinMDITabsBar::RedrawTab(TskMDITab* Tab)
{
  if (HandleAllocated())
    DrawTab(Tab, GetCanvas());
}

void TskSkinMDITabsBar::LayoutTabs()
{
  if (FTabs.empty())
    return;
  HiddenCount = 0;
  const int h = FTabKind == sptkButton ? GetHeight() : GetHeight() - StripHeight;
  const int n = static_cast<int>(FTabs.size());
  const int w = std::min(DefaultTabWidth, (GetWidth() - ListButtonWidth) / n);
  if (MinTabWidth > 0 && w < MinTabWidth) {
    const int fit = (GetWidth() - 2 * ListButtonWidth) / MinTabWidth;
    for (int i = 0; i < n; ++i) {
      TskMDITab* tab = FTabs[static_cast<size_t>(i)];
      if (i < fit) {
        tab->TabRect = Rect(ListButtonWidth + i * MinTabWidth, 0, ListButtonWidth + (i + 1) * MinTabWidth, h);
        tab->InBar = true;
      } else {
        tab->TabRect = TRect{};
        tab->InBar = false;
        ++HiddenCount;
      }
    }
    FDragLimit = GetWidth() - ListButtonWidth;
  } else {
    for (int i = 0; i < n; ++i) {
      TskMDITab* tab = FTabs[static_cast<size_t>(i)];
      tab->TabRect = Rect(ListButtonWidth + i * w, 0, ListButtonWidth + (i + 1) * w, h);
      tab->InBar = true;
    }
    if (w < DefaultTabWidth)
      FTabs.back()->TabRect.right = GetWidth();
    FDragLimit = GetWidth();
  }
  if (Dragging && DragIndex >= 0 && DragIndex < n) {
    TRect& r = FTabs[static_cast<size_t>(DragIndex)]->TabRect;
    OffsetRect(&r, DragOffset, 0);
    if (r.right > FDragLimit)
      OffsetRect(&r, FDragLimit - r.right, 0);
    if (r.left < 0)
      OffsetRect(&r, -r.left, 0);
  }
}

int TskSkinMDITabsBar::TabIndexAt(int X, int Y) const
{
  for (size_t i = 0; i < FTabs.size(); ++i)
    if (FTabs[i]->InBar && InRect(FTabs[i]->TabRect, X, Y))
      return static_cast<int>(i);
  return -1;
}

int TskSkinMDITabsBar::DropIndex() const
{
  const int n = static_cast<int>(FTabs.size());
  if (n == 0 || DragOffset == 0 || DragIndex < 0 || DragIndex >= n)
    return -1;
  const TRect& dragged = FTabs[static_cast<size_t>(DragIndex)]->TabRect;
  auto middle = [](const TRect& R) { return R.left + RectWidth(R) / 2; };
  int result = -1;
  if (DragOffset > 0) {
    for (int i = DragIndex + 1; i < n; ++i) {
      const TskMDITab* tab = FTabs[static_cast<size_t>(i)];
      if (tab->InBar && middle(tab->TabRect) < dragged.right)
        result = i;
    }
  } else {
    for (int i = DragIndex - 1; i >= 0; --i) {
      const TskMDITab* tab = FTabs[static_cast<size_t>(i)];
      if (tab->InBar && middle(tab->TabRect) > dragged.left)
        result = i;
    }
  }
  return result;
}

void TskSkinMDITabsBar::UpdateHotTab(int X, int Y)
{
  ClampHotIndexes();
  HotIndex = TabIndexAt(X, Y);
  const bool changed = HotIndex != LastHotIndex;
  if (changed) {
    if (LastHotIndex != -1) {
      TskMDITab* old = FTabs[static_cast<size_t>(LastHotIndex)];
      if (old->InBar) {
        old->Hovered = false;
        RedrawTab(old);
        if (OnTabMouseLeave)
          OnTabMouseLeave(old);
      }
    }
    if (HotIndex != -1) {
      TskMDITab* hot = FTabs[static_cast<size_t>(HotIndex)];
      if (hot->InBar) {
        hot->Hovered = true;
        RedrawTab(hot);
        if (OnTabMouseEnter)
          OnTabMouseEnter(hot);
      }
    }
    LastHotIndex = HotIndex;
  }
  if (ShowCloseButtons && HotIndex != -1) {
    TskMDITab* tab = FTabs[static_cast<size_t>(HotIndex)];
    TRect close = tab->CloseRect;
    OffsetRect(&close, tab->TabRect.left, tab->TabRect.top);
    const bool in = InRect(close, X, Y);
    if (in && !tab->CloseHot) {
      tab->CloseHot = true;
      RedrawTab(tab);
    } else if (!in && tab->CloseHot) {
      tab->CloseHot = tab->ClosePressed = false;
      RedrawTab(tab);
    }
  }
  if (changed && ShowCloseButtons) {
    bool any = false;
    for (size_t i = 0; i < FTabs.size(); ++i)
      if (static_cast<int>(i) != HotIndex && FTabs[i]->CloseHot) {
        FTabs[i]->CloseHot = FTabs[i]->ClosePressed = false;
        any = true;
      }
    if (any)
      Repaint();
  }
}

// ---- Mouse ----

void TskSkinMDITabsBar::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y)
{
  TskSkinControl::MouseDown(Button, Shift, X, Y);
  const int index = TabIndexAt(X, Y);
  if (index == -1)
    return;
  TskMDITab* tab = FTabs[static_cast<size_t>(index)];
  TskSkinnedForm* child = ::GetSkinnedForm(tab->Form);
  if (Button == mbLeft) {
    tab->Form->Show();
    if (child && child->GetSkinWindowState() == wsMinimized)
      child->SetSkinWindowState(wsNormal);
    MouseDownArmed = true;
    if (MoveTabs)
      DragIndex = index;
    DragStartX = X;
    DragOffset = 0;
    if (OnTabMouseDown)
      OnTabMouseDown(Button, Shift, tab);
    if (ShowCloseButtons) {
      TRect close = tab->CloseRect;
      OffsetRect(&close, tab->TabRect.left, tab->TabRect.top);
      if (InRect(close, X, Y)) {
        MouseDownArmed = false;
        tab->CloseHot = tab->ClosePressed = true;
      } else {
        tab->CloseHot = tab->ClosePressed = false;
      }
      RedrawTab(tab);
    }
    return;
  }
  if (Button == mbRight) {
    if (SupportChildMenus && child && FSkinnedForm && FSkinnedForm->GetSkinMenu()) {
      TMenuItem* items = child->GetSystemMenuItems();
      FSkinnedForm->SkinMenuOpen();
      TskSkinData* skin = FSkinnedForm->GetMenusSkinData() ? FSkinnedForm->GetMenusSkinData() : FSkinnedForm->GetSkinData();
      const TPoint p = ClientToScreen(Point(X, Y));
      FSkinnedForm->GetSkinMenu()->Popup(GetParent(), skin, 0, Rect(p.x, p.y, p.x, p.y), items, false);
    }
    if (OnTabMouseDown)
      OnTabMouseDown(Button, Shift, tab);
  }
}

void TskSkinMDITabsBar::MouseMove(TShiftState Shift, int X, int Y)
{
  TskSkinControl::MouseMove(Shift, X, Y);
  if (MouseDownArmed && DragIndex != -1 && !Dragging && X != DragStartX)
    Dragging = true;
  if (Dragging) {
    DragOffset = X - DragStartX;
    Repaint();
  } else {
    UpdateHotTab(X, Y);
  }
}

void TskSkinMDITabsBar::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y)
{
  TskSkinControl::MouseUp(Button, Shift, X, Y);
  MouseDownArmed = false;
  if (Dragging) {
    Dragging = false;
    const int drop = DropIndex();
    if (drop != -1 && drop != DragIndex && DragIndex >= 0 && DragIndex < static_cast<int>(FTabs.size())) {
      TskMDITab* moved = FTabs[static_cast<size_t>(DragIndex)];
      FTabs.erase(FTabs.begin() + DragIndex);
      FTabs.insert(FTabs.begin() + drop, moved);
    }
    DragIndex = -1;
    DragStartX = DragOffset = 0;
    Repaint();
  } else {
    DragIndex = -1;
    if (const int index = TabIndexAt(X, Y); index != -1 && OnTabMouseUp)
      OnTabMouseUp(Button, Shift, FTabs[static_cast<size_t>(index)]);
  }
  if (!ShowCloseButtons || Button != mbLeft)
    return;
  const int index = TabIndexAt(X, Y);
  if (index == -1)
    return;
  TskMDITab* tab = FTabs[static_cast<size_t>(index)];
  TRect close = tab->CloseRect;
  OffsetRect(&close, tab->TabRect.left, tab->TabRect.top);
  if (InRect(close, X, Y) && tab->ClosePressed) {
    tab->CloseHot = true;
    tab->ClosePressed = false;
    RedrawTab(tab);
    tab->Form->Close();
  } else {
    tab->CloseHot = tab->ClosePressed = false;
  }
}

void TskSkinMDITabsBar::CMMouseLeave(TMessage& Message)
{
  TskSkinControl::CMMouseLeave(Message);
  UpdateHotTab(-1, -1);
}

void TskSkinMDITabsBar::WMParentImageChanged(TMessage&)
{
  if (Transparent())
    Repaint();
}

void TskSkinMDITabsBar::WMMove(TMessage& Message)
{
  TskSkinControl::WMMove(Message);
  if (Transparent() && GetAlign() == alNone)
    Repaint();
}

// ---- Painting ----

void TskSkinMDITabsBar::Paint()
{
  TskSkinControl::Paint();
  if (HiddenCount > 0 && !FHiddenTabsButton) {
    FHiddenTabsButton = MakeListButton(alRight, FHiddenTabsMenu, 2, [this] { BuildHiddenTabsMenu(); });
    FHiddenTabsButton->Repaint();
  } else if (HiddenCount == 0 && FHiddenTabsButton) {
    RemoveListButton(FHiddenTabsButton);
  }
}

void TskSkinMDITabsBar::CreateControlDefaultImage(TBitmap* B)
{
  TCanvas* c = B->GetCanvas();
  c->GetBrush()->SetColor(clBtnFace);
  c->GetBrush()->SetStyle(bsSolid);
  c->FillRect(Rect(0, 0, B->GetWidth(), B->GetHeight()));
  DrawTabs(c);
}

void TskSkinMDITabsBar::CreateControlSkinImage(TBitmap* B)
{
  TCanvas* c = B->GetCanvas();
  const int w = B->GetWidth(), h = B->GetHeight();
  if (Transparent()) {
    PaintParentBackground(this, c);
  } else if (FPicture && !IsEmptyRect(FTabsBGRect) && !IsEmptyRect(FTabRect)) {
    // A skin without a background patch leaves the image as it is (no division by its width).
    TBitmap cell;
    cell.SetSize(RectWidth(FTabRect), RectHeight(FTabRect));
    cell.GetCanvas()->CopyRect(Rect(0, 0, cell.GetWidth(), cell.GetHeight()), FPicture->GetCanvas(), FTabsBGRect);
    const int cw = RectWidth(FTabsBGRect);
    const int ch = FTabKind == sptkTab ? h - StripHeight : h;
    for (int i = 0; i <= w / cw; ++i)
      c->StretchDraw(Rect(i * cw, 0, (i + 1) * cw, ch), &cell);
  }
  if (FTabKind == sptkTab && !IsEmptyRect(FSkinRect) && FPicture && StripHeight > 0) {
    TBitmap strip;
    const TRect source = Rect(FSkinRect.left + FLTPoint.x, FSkinRect.top, FSkinRect.left + FRTPoint.x,
                              FSkinRect.top + StripHeight);
    BuildHorzSkinBitmap(FLTPoint.x, RectWidth(FSkinRect) - FRTPoint.x, &strip, FPicture, source, w, StripHeight, false);
    c->Draw(0, h - StripHeight, &strip);
  }
  DrawTabs(c);
}

void TskSkinMDITabsBar::DrawTabs(TCanvas* C)
{
  LayoutTabs();
  for (size_t i = 0; i < FTabs.size(); ++i)
    if (FTabs[i]->InBar && !(Dragging && static_cast<int>(i) == DragIndex))
      DrawTab(FTabs[i], C);
  if (Dragging && DragIndex >= 0 && DragIndex < static_cast<int>(FTabs.size()))
    DrawTab(FTabs[static_cast<size_t>(DragIndex)], C);
  const int drop = DropIndex();
  if (drop == -1)
    return;
  const TRect& target = FTabs[static_cast<size_t>(drop)]->TabRect;
  const int x = DragOffset < 1 ? target.left : target.right;
  const int H = GetHeight();
  C->GetPen()->SetMode(pmNot);
  C->GetBrush()->SetStyle(bsClear);
  for (int dx = -1; dx <= 1; ++dx) {
    C->MoveTo(x + dx, 0);
    C->LineTo(x + dx, H);
  }
  C->Polyline({Point(x + 2, H / 2), Point(x + 5, H / 2 - 3), Point(x + 5, H / 2 + 3), Point(x + 2, H / 2)});
  C->Polyline({Point(x - 2, H / 2), Point(x - 5, H / 2 - 3), Point(x - 5, H / 2 + 3), Point(x - 2, H / 2)});
  C->GetPen()->SetMode(pmCopy);
}

void TskSkinMDITabsBar::SetTabFont(TCanvas* C) const
{
  TFont* font = C->GetFont();
  if (UseSkinFont) {
    font->SetName(FFontName);
    font->SetStyle(FFontStyle);
    font->SetHeight(FFontHeight);
  } else {
    font->Assign(FDefaultFont.get());
  }
  TskResourceStrData* strings = FSkinData ? FSkinData->GetResourceStrData() : nullptr;
  font->SetCharset(strings ? strings->CharSet : FDefaultFont->GetCharset());
}

void TskSkinMDITabsBar::DrawTab(TskMDITab* Tab, TCanvas* Cnvs)
{
  if (RectWidth(Tab->TabRect) < 1)
    return;
  const bool active = Tab->Active;
  const bool hot = Tab->Hovered && !active;
  int w = RectWidth(Tab->TabRect), h = RectHeight(Tab->TabRect);
  TBitmap b;
  TRect text = Rect(2, 0, w - 2, h);
  bool raiseEvent = true;
  enum { Default, Button, NineSlice, ThreeSlice } style = Default;
  if (Skinned())
    style = FTabKind == sptkButton ? Button : (UseSkinSize ? ThreeSlice : NineSlice);
  const TRect source = hot ? FMouseInTabRect : (active ? FActiveTabRect : FTabRect);
  TColor color = hot ? FMouseInFontColor : (active ? FFocusFontColor : FFontColor);
  switch (style) {
  case Default:
    b.SetSize(w, h);
    b.GetCanvas()->GetBrush()->SetColor(hot ? static_cast<TColor>(RGB(182, 189, 210))
                                            : active ? static_cast<TColor>(RGB(133, 147, 181)) : clBtnFace);
    b.GetCanvas()->FillRect(Rect(0, 0, w, h));
    b.GetCanvas()->GetFont()->Assign(FDefaultFont.get());
    if (FSkinData && FSkinData->GetResourceStrData())
      b.GetCanvas()->GetFont()->SetCharset(FSkinData->GetResourceStrData()->CharSet);
    color = FDefaultFont->GetColor();
    break;
  case Button: {
    TskDataSkinButtonControl* r = ButtonRecord(FSkinData, "resizebutton");
    if (!r)
      return;
    b.SetSize(w, h);
    BuildButtonImage(r, SkinActivePictureAt(FSkinData, r->pictureindex), ButtonSource(r, hot, active), &b, w, h);
    text = Rect(r->clientrect.left, r->clientrect.top, r->clientrect.right + w - RectWidth(r->skinrect),
                r->clientrect.bottom + h - RectHeight(r->skinrect));
    color = active ? r->downfontcolor : (hot ? r->activefontcolor : r->fontcolor);
    SetTabFont(b.GetCanvas());
    break;
  }
  case NineSlice: {
    if (!FPicture)
      return;
    if (active)
      h += ActiveExtraHeight;
    b.SetSize(w, h);
    const int q = RectHeight(FTabRect) / 4;
    BuildSkinBitmap(&b, FPicture, source,
                    Rect(FTabLeftOffset, q, RectWidth(source) - FTabRightOffset, RectHeight(source) - q), true);
    text = Rect(2, 0, w - 2, h);
    SetTabFont(b.GetCanvas());
    break;
  }
  case ThreeSlice:
    if (!FPicture)
      return;
    BuildHorzSkinBitmap(FTabLeftOffset, FTabRightOffset, &b, FPicture, source, w, RectHeight(source), FTabStretchEffect);
    h = b.GetHeight();
    text = Rect(FTabLeftOffset, 0, w - FTabRightOffset, h);
    SetTabFont(b.GetCanvas());
    raiseEvent = false;
    break;
  }
  TCanvas* c = b.GetCanvas();
  if (ShowCloseButtons) {
    if (style == Button) {
      text.right -= CloseButtonSize + 3;
      DrawCloseButton(Tab, c, Rect(text.right, 0, text.right + CloseButtonSize + 3, h));
    } else {
      text = Rect(2, 0, w - CloseButtonSize - 5, h);
      DrawCloseButton(Tab, c, Rect(text.right, 0, w, h));
    }
  }
  c->GetFont()->SetColor(color);
  WideString caption = MenuTextToWide(Tab->Form->GetText());
  EllipsizeTextW(c, caption, RectWidth(text));
  if (style == Button) {
    const int th = c->TextHeight("Wg");
    if (RectHeight(text) < th) {
      text.top = h / 2 - th / 2;
      text.bottom = text.top + th;
    }
  }
  c->GetBrush()->SetStyle(bsClear);
  if (raiseEvent && OnTabGetDrawParamsEvent)
    OnTabGetDrawParamsEvent(Tab, c);
  DrawWideText(c, caption, text, DrawTextBiDiModeFlags(DT_CENTER | DT_VCENTER | DT_SINGLELINE));
  Cnvs->Draw(Tab->TabRect.left, Tab->TabRect.top, &b);
}

void TskSkinMDITabsBar::DrawCloseButton(TskMDITab* Tab, TCanvas* C, const TRect& Area)
{
  const int mid = Area.top + RectHeight(Area) / 2;
  if (!Skinned()) {
    Tab->CloseRect = Rect(Area.left, mid - 7, Area.left + 14, mid + 7);
    DrawCloseGlyph(C, Tab->CloseRect.left + 2, Tab->CloseRect.top + 2, Tab->CloseHot ? clWhite : clBlack);
    return;
  }
  if (!IsEmptyRect(FCloseButtonRect)) {
    TRect source = FCloseButtonRect;
    if (Tab->CloseHot && Tab->ClosePressed)
      source = FCloseButtonDownRect;
    else if (Tab->CloseHot)
      source = FCloseButtonActiveRect;
    if (IsEmptyRect(source))
      source = FCloseButtonRect;
    Tab->CloseRect = Rect(Area.left, mid - RectHeight(source) / 2, Area.left + RectWidth(source),
                          mid - RectHeight(source) / 2 + RectHeight(source));
    if (!FPicture)
      return;
    TBitmap piece;
    piece.SetSize(RectWidth(source), RectHeight(source));
    piece.GetCanvas()->CopyRect(Rect(0, 0, piece.GetWidth(), piece.GetHeight()), FPicture->GetCanvas(), source);
    if (FButtonTransparent) {
      piece.SetTransparent(true);
      piece.SetTransparentMode(tmFixed);
      piece.SetTransparentColor(FButtonTransparentColor);
    }
    C->Draw(Tab->CloseRect.left, Tab->CloseRect.top, &piece);
    return;
  }
  TskDataSkinButtonControl* r = ButtonRecord(FSkinData, "resizetoolbutton");
  if (!r)
    return;
  const int size = CloseButtonSize;
  Tab->CloseRect = Rect(Area.left, mid - size / 2, Area.left + size, mid - size / 2 + size);
  TBitmap square;
  square.SetSize(size, size);
  BuildButtonImage(r, SkinActivePictureAt(FSkinData, r->pictureindex),
                   ButtonSource(r, Tab->CloseHot, Tab->CloseHot && Tab->ClosePressed), &square, size, size);
  const TColor color = Tab->CloseHot && Tab->ClosePressed ? r->downfontcolor
                       : Tab->CloseHot                   ? r->activefontcolor
                                                         : r->fontcolor;
  DrawCloseGlyph(square.GetCanvas(), size / 2 - 5, size / 2 - 5, color);
  C->Draw(Tab->CloseRect.left, Tab->CloseRect.top, &square);
}

// ---- Menus and list buttons ----

TskSkinMenuSpeedButton* TskSkinMDITabsBar::MakeListButton(TAlign Align, TskSkinPopupMenu* Menu, int Direction,
                                                          std::function<void()> Build)
{
  auto* button = new TskSkinMenuSpeedButton(this);
  button->SetAlign(Align);
  button->SetSkinDataName("resizetoolbutton");
  button->SetSkinData(FSkinData);
  button->SetWidth(ListButtonWidth);
  button->SetParent(this);
  button->SetSkinPopupMenu(Menu);
  button->UseArrowGlyph = true;
  button->ArrowDirection = Direction;
  button->OnShowTrackMenu = [Build](TObject*) { Build(); };
  return button;
}

void TskSkinMDITabsBar::RemoveListButton(TskSkinMenuSpeedButton*& Button)
{
  if (!Button)
    return;
  TskSkinMenuSpeedButton* button = Button;
  Button = nullptr;
  button->SetVisible(false);
  delete button;
}

void TskSkinMDITabsBar::BuildTabsMenu() { FillTabsMenu(FTabsMenu, TabsSuffix, false); }

void TskSkinMDITabsBar::BuildHiddenTabsMenu() { FillTabsMenu(FHiddenTabsMenu, HiddenTabsSuffix, true); }

void TskSkinMDITabsBar::FillTabsMenu(TskSkinPopupMenu* Menu, const String& Suffix, bool HiddenOnly)
{
  if (!Menu)
    return;
  Menu->GetItems()->Clear();
  for (TskMDITab* tab : FTabs) {
    if (HiddenOnly && tab->InBar)
      continue;
    auto* item = new TMenuItem(this);
    // Two children of one name would give two items of one name: the second stays unnamed.
    const String itemName = tab->Form->GetName() + Suffix;
    if (!FindComponent(itemName))
      item->SetName(itemName);
    item->SetCaption(tab->Form->GetText());
    item->SetRadioItem(true);
    item->SetGroupIndex(0);
    item->SetChecked(tab->Active);
    item->OnClick = [this, itemName, Suffix](TObject*) { ShowChildByItemName(itemName, Suffix); };
    Menu->GetItems()->Add(item);
  }
}

void TskSkinMDITabsBar::ShowChildByItemName(const String& ItemName, const String& Suffix)
{
  if (!FSkinnedForm)
    return;
  String name = ItemName;
  if (const size_t at = name.find(Suffix); at != String::npos)
    name.erase(at, Suffix.size());
  TForm* form = FSkinnedForm->OwnerForm();
  for (int i = 0; i < form->GetMDIChildCount(); ++i) {
    TForm* child = form->GetMDIChildren(i);
    if (child->GetName() != name)
      continue;
    if (TskSkinnedForm* skinned = ::GetSkinnedForm(child); skinned && skinned->GetSkinWindowState() == wsMinimized)
      skinned->SetSkinWindowState(wsNormal);
    child->Show();
  }
}
