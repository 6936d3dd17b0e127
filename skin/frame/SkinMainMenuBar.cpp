// The skinned menu bar: object list, layout, painting, hot tracking, timers, the keyboard
// operations the skinned form drives, and the MDI buttons.
#include "skin/frame/SkinMainMenuBar.h"

#include <algorithm>

#include "skin/controls/ComponentReference.h"
#include "skin/foundation/SkinControlRecords.h"
#include "skin/foundation/SkinData.h"
#include "skin/foundation/SkinDrawUtils.h"
#include "skin/foundation/SkinGlyphs.h"
#include "skin/foundation/SkinRegions.h"
#include "skin/foundation/SkinStripImages.h"
#include "skin/frame/SkinFormLookup.h"
#include "skin/frame/SkinFrameObject.h"
#include "skin/frame/SkinnedForm.h"
#include "skin/input/SkinMenu.h"

// ---- TskSkinMainMenu ----

void TskSkinMainMenu::SetSkinData(TskSkinData* Value) { SetComponentReference(this, FSkinData, Value); }

void TskSkinMainMenu::Notification(TComponent* AComponent, TOperation Operation)
{
  TMainMenu::Notification(AComponent, Operation);
  if (Operation == opRemove && AComponent == FSkinData)
    FSkinData = nullptr;
}

// ---- TskSkinMainMenuBar ----

TskSkinMainMenuBar::TskSkinMainMenuBar(TComponent* AOwner) : TskSkinControl(AOwner)
{
  FSkinDataName = "mainmenubar";
  SetAlign(alTop);
  SetHeight(22);
  FDefItemFont = std::make_unique<TFont>();
  FDefItemFont->SetName("Arial");
  FDefItemFont->SetHeight(14);
  FDefItemFont->SetStyle(0);
  FDefItemFont->SetColor(clBtnText);
  auto timer = [this](Cardinal Interval, void (TskSkinMainMenuBar::*Proc)()) {
    auto* t = new TTimer(this);
    t->SetEnabled(false);
    t->SetInterval(Interval);
    t->SetOnTimer([this, Proc](TObject*) { (this->*Proc)(); });
    return t;
  };
  FMouseTimer = timer(50, &TskSkinMainMenuBar::MouseTimerProc);
  FMorphTimer = timer(25, &TskSkinMainMenuBar::MorphTimerProc);
  FAnimateTimer = timer(25, &TskSkinMainMenuBar::AnimateTimerProc);
}

TskSkinMainMenuBar::~TskSkinMainMenuBar()
{
  if (FSkinnedForm && FSkinnedForm->GetMenuModeBar() == this)
    FSkinnedForm->SetMenuModeBar(nullptr);
  FMouseTimer->SetEnabled(false);
  FMorphTimer->SetEnabled(false);
  FAnimateTimer->SetEnabled(false);
  ClearObjects();
}

void TskSkinMainMenuBar::Notification(TComponent* AComponent, TOperation Operation)
{
  TskSkinControl::Notification(AComponent, Operation);
  if (Operation != opRemove)
    return;
  if (AComponent == FMainMenu) {
    FMainMenu = nullptr;
    ClearObjects();
  }
  if (AComponent == FSkinnedForm)
    FSkinnedForm = nullptr;
}

void TskSkinMainMenuBar::SetDefaultHeight(int Value)
{
  FDefaultHeight = Value;
  if (FIndex == -1 && Value > 0)
    SetHeight(Value);
}

void TskSkinMainMenuBar::SetDefaultWidth(int Value)
{
  FDefaultWidth = Value;
  if (FIndex == -1 && Value > 0)
    SetWidth(Value);
}

void TskSkinMainMenuBar::SetDefItemFont(TFont* Value)
{
  FDefItemFont->Assign(Value);
  if (FIndex == -1)
    Repaint();
}

void TskSkinMainMenuBar::SetSkinnedForm(TskSkinnedForm* Value)
{
  FSkinnedForm = Value;
  if (Value)
    Value->FreeNotification(this);
}

void TskSkinMainMenuBar::SetMainMenu(TMainMenu* Value)
{
  FMainMenu = Value;
  if (Value)
    Value->FreeNotification(this);
  UpdateItems();
  Repaint();
}

void TskSkinMainMenuBar::GetSkinData()
{
  TskSkinControl::GetSkinData();
  if (FIndex == -1)
    return;
  auto* r = dynamic_cast<TskDataSkinMainMenuBar*>(FSkinData->ControlList[static_cast<size_t>(FIndex)]);
  if (!r)
    return;
  FPicture = SkinActivePictureAt(FSkinData, r->pictureindex);
  FSkinRect = r->skinrect;
  FItemsRect = r->itemsrect;
  FItemName = r->menubaritem;
  FCloseButton = r->closebutton;
  FMinButton = r->minbutton;
  FMaxButton = r->maxbutton;
  FSysMenuButton = r->sysmenubutton;
  FTrackMarkColor = r->trackmarkcolor;
  FTrackMarkActiveColor = r->trackmarkactivecolor;
  FStretchEffect = r->stretcheffect;
  FItemTransparent = r->itemtransparent;
}

void TskSkinMainMenuBar::ChangeSkinData()
{
  GetSkinData();
  SkinLayout = FIndex != -1;
  UpdateItems();
  if (SkinLayout)
    SetHeight(RectHeight(FSkinRect));
  else if (FDefaultHeight > 0)
    SetHeight(FDefaultHeight);
  Repaint();
}

void TskSkinMainMenuBar::ResetSkinIndex()
{
  SkinLayout = false;
  TskSkinControl::ResetSkinIndex();
  ClearObjects();
}

void TskSkinMainMenuBar::SetBounds(int ALeft, int ATop, int AWidth, int AHeight)
{
  GetSkinData();
  if (FIndex != -1)
    AHeight = RectHeight(FSkinRect);
  TskSkinControl::SetBounds(ALeft, ATop, AWidth, AHeight);
  if (HandleAllocated())
    Repaint();
}

TskDataSkinObject* TskSkinMainMenuBar::ObjectRecord(const String& Name) const
{
  if (!FSkinData || FSkinData->Empty)
    return nullptr;
  const int index = FSkinData->GetObjectIndex(Name);
  return index < 0 ? nullptr : FSkinData->ObjectList[static_cast<size_t>(index)];
}

void TskSkinMainMenuBar::ClearObjects()
{
  for (TskMenuBarObject* obj : FObjects)
    delete obj;
  FObjects.clear();
  FMDIButtonCount = 0;
  ActiveIndex = OldActiveIndex = CaptureIndex = -1;
}

TMainMenu* TskSkinMainMenuBar::GetChildMainMenu() const
{
  TForm* main = Application->GetMainForm();
  TForm* child = main ? main->GetActiveMDIChild() : nullptr;
  if (!child)
    return nullptr;
  for (int i = 0; i < child->GetComponentCount(); ++i)
    if (auto* menu = dynamic_cast<TMainMenu*>(child->GetComponent(i)))
      return menu;
  return nullptr;
}

void TskSkinMainMenuBar::UpdateItems()
{
  ClearObjects();
  TMainMenu* child = nullptr;
  if (FSkinnedForm && FSkinnedForm->OwnerForm()->GetFormStyle() == fsMDIForm)
    child = GetChildMainMenu();
  if (!FMainMenu)
    return;
  auto* record = dynamic_cast<TskDataSkinMainMenuBarItem*>(ObjectRecord(FItemName));
  FMergedMenu = child != nullptr;
  if (FMergedMenu && ScrollMenu)
    ScrollMenu = false;
  std::vector<TMenuItem*> items;
  TMenuItem* root = FMainMenu->GetItems();
  if (!FMergedMenu) {
    for (int i = 0; i < root->GetCount(); ++i)
      items.push_back(root->GetItem(i));
  } else {
    TMenuItem* childRoot = child->GetItems();
    for (int i = 0; i < root->GetCount(); ++i) {
      bool replaced = false;
      for (int j = 0; j < childRoot->GetCount(); ++j)
        replaced = replaced || childRoot->GetItem(j)->GetGroupIndex() == root->GetItem(i)->GetGroupIndex();
      if (!replaced)
        items.push_back(root->GetItem(i));
    }
    for (int j = 0; j < childRoot->GetCount(); ++j)
      items.push_back(childRoot->GetItem(j));
    std::stable_sort(items.begin(), items.end(),
                     [](TMenuItem* A, TMenuItem* B) { return A->GetGroupIndex() < B->GetGroupIndex(); });
  }
  for (TMenuItem* menuItem : items) {
    if (!menuItem->GetVisible())
      continue;
    auto* item = new TskSkinMainMenuBarItem(this, record);
    item->ObjectName = menuItem->GetName();
    item->Enabled = item->SavedEnabled = menuItem->GetEnabled();
    item->MenuItem = menuItem;
    FObjects.push_back(item);
  }
  if (FMDIButtonsShown) {
    CreateMDIButtons();
    if (TskSkinnedForm* maxChild = GetMaximizedChildSkinForm())
      CheckMDIButtons(maxChild->GetBorderIcons());
  }
}

void TskSkinMainMenuBar::RefreshMenu()
{
  UpdateItems();
  Repaint();
  ActiveIndex = OldActiveIndex = -1;
  FMouseTimer->SetEnabled(true);
}

// ---- MDI buttons ----

void TskSkinMainMenuBar::ShowMDIButtons()
{
  if (FMDIButtonsShown)
    return;
  FMDIButtonsShown = true;
  OldActiveIndex = ActiveIndex = CaptureIndex = -1;
  CreateMDIButtons();
  if (TskSkinnedForm* child = GetMaximizedChildSkinForm())
    CheckMDIButtons(child->GetBorderIcons());
  Repaint();
}

void TskSkinMainMenuBar::HideMDIButtons()
{
  TskSkinnedForm* child = GetMaximizedChildSkinForm();
  if (!child && FMDIButtonsShown) {
    FMDIButtonsShown = false;
    DeleteMDIButtons();
    Repaint();
  } else if (child) {
    CheckMDIButtons(child->GetBorderIcons());
  }
}

void TskSkinMainMenuBar::CreateMDIButtons()
{
  FMDIButtonCount = 0;
  if (FIndex != -1) {
    for (const String* name : {&FMinButton, &FMaxButton, &FCloseButton, &FSysMenuButton})
      AddMDIButton(*name);
    return;
  }
  const struct {
    const char* Name;
    Byte Command;
  } defaults[] = {{"MinButton", cmMinimize}, {"MaxButton", cmMaximize}, {"CloseButton", cmClose}, {"SysMenuButton", cmSysMenu}};
  for (const auto& d : defaults) {
    AddMDIButton(d.Name);
    static_cast<TskSkinMainMenuBarButton*>(FObjects.front())->Command = d.Command;
  }
}

void TskSkinMainMenuBar::AddMDIButton(const String& Name)
{
  auto* record = dynamic_cast<TskDataSkinMainMenuBarButton*>(ObjectRecord(Name));
  auto* button = new TskSkinMainMenuBarButton(this, record);
  button->ObjectName = Name;
  FObjects.insert(FObjects.begin(), button);
  ++FMDIButtonCount;
}

void TskSkinMainMenuBar::DeleteMDIButtons()
{
  const int n = std::min(FMDIButtonCount, static_cast<int>(FObjects.size()));
  for (int i = 0; i < n; ++i)
    delete FObjects[static_cast<size_t>(i)];
  FObjects.erase(FObjects.begin(), FObjects.begin() + n);
  ActiveIndex = CaptureIndex = -1;
  FMDIButtonCount = 0;
}

void TskSkinMainMenuBar::CheckMDIButtons(Byte Icons)
{
  for (int i = 0; i < FMDIButtonCount && i < static_cast<int>(FObjects.size()); ++i) {
    auto* button = static_cast<TskSkinMainMenuBarButton*>(FObjects[static_cast<size_t>(i)]);
    button->Enabled = true;
    if (button->Command == cmMinimize)
      button->Enabled = (Icons & biMinimize) != 0;
    if (button->Command == cmSysMenu)
      button->Enabled = (Icons & biSystemMenu) != 0;
  }
}

void TskSkinMainMenuBar::ReleaseSysMenuButton()
{
  for (int i = 0; i < FMDIButtonCount && i < static_cast<int>(FObjects.size()); ++i) {
    auto* button = static_cast<TskSkinMainMenuBarButton*>(FObjects[static_cast<size_t>(i)]);
    if (button->Command != cmSysMenu || !button->Pressed)
      continue;
    if (i != ActiveIndex)
      button->Hot = button->Hovered = false;
    button->Pressed = false;
    button->ReDraw();
  }
}

// ---- Layout and painting ----

void TskSkinMainMenuBar::LayoutObjects()
{
  if (SkinLayout)
    ItemsRect = Rect(FItemsRect.left, FItemsRect.top, GetWidth() - (RectWidth(FSkinRect) - FItemsRect.right),
                     FItemsRect.bottom);
  else
    ItemsRect = Rect(2, 2, GetWidth() - 2, GetHeight() - 2);
  if (!FMDIButtonsShown || FMDIButtonCount != 4 || FObjects.size() < 4)
    return;
  auto place = [this](TskMenuBarObject* B, bool Left) {
    auto* button = static_cast<TskSkinMainMenuBarButton*>(B);
    int w, h, top;
    if (button->HasSkin) {
      w = RectWidth(button->SkinRect);
      h = RectHeight(button->SkinRect);
      top = ItemsRect.top + RectHeight(ItemsRect) / 2 - h / 2;
    } else {
      w = h = RectHeight(ItemsRect);
      top = ItemsRect.top;
    }
    if (Left) {
      button->ObjectBounds = Rect(ItemsRect.left, top, ItemsRect.left + w, top + h);
      ItemsRect.left += w + 2;
    } else {
      button->ObjectBounds = Rect(ItemsRect.right - w, top, ItemsRect.right, top + h);
      ItemsRect.right -= w + 2;
    }
  };
  place(FObjects[0], true);
  for (size_t i = 1; i < 4; ++i)
    place(FObjects[i], false);
}

TRect TskSkinMainMenuBar::TrackMarkRect() const
{
  return Rect(ItemsRect.right - 5, ItemsRect.top, ItemsRect.right, ItemsRect.bottom);
}

void TskSkinMainMenuBar::DrawTrackMark(TCanvas* C)
{
  TColor color;
  if (FIndex != -1)
    color = TrackMarkActive ? FTrackMarkActiveColor : FTrackMarkColor;
  else
    color = TrackMarkActive ? clBtnText : clBtnShadow;
  DrawArrowGlyph(C, TrackMarkRect(), color, 2);
}

void TskSkinMainMenuBar::PaintBar(TCanvas* Target)
{
  GetSkinData();
  const int w = GetWidth(), h = GetHeight();
  if (w <= 0 || h <= 0)
    return;
  TBitmap b;
  b.SetSize(w, h);
  TCanvas* c = b.GetCanvas();
  if (FIndex == -1) {
    c->GetBrush()->SetColor(clBtnFace);
    c->GetBrush()->SetStyle(bsSolid);
    c->FillRect(Rect(0, 0, w, h));
  } else if (FSkinData->mainmenubartransparent) {
    PaintParentBackground(this, c);
  } else if (FPicture && !FPicture->Empty() && !IsNullRect(FSkinRect)) {
    TBitmap strip;
    BuildHorzSkinBitmap(FItemsRect.left, RectWidth(FSkinRect) - FItemsRect.right, &strip, FPicture, FSkinRect, w, h,
                        FStretchEffect);
    c->Draw(0, 0, &strip);
  }
  LayoutObjects();
  HiddenItems = false;
  for (TskMenuBarObject* obj : FObjects)
    obj->Draw(c);
  if (HiddenItems && ScrollMenu)
    DrawTrackMark(c);
  Target->Draw(0, 0, &b);
}

void TskSkinMainMenuBar::WMEraseBkgnd(TMessage& Message)
{
  auto dc = reinterpret_cast<HDC>(Message.WParam);
  if (!dc)
    return;
  TCanvas canvas;
  canvas.SetHandle(dc);
  PaintBar(&canvas);
  canvas.SetHandle(nullptr);
  Message.Result = 1;
}

void TskSkinMainMenuBar::RedrawObject(TskMenuBarObject* Object)
{
  if (!HandleAllocated())
    return;
  if (dynamic_cast<TskSkinMainMenuBarItem*>(Object) && FIndex != -1 && FItemTransparent) {
    Repaint();
    return;
  }
  Object->Draw(GetCanvas());
}

void TskSkinMainMenuBar::WMParentImageChanged(TMessage&)
{
  if (FIndex != -1 && FSkinData->mainmenubartransparent)
    Repaint();
}

void TskSkinMainMenuBar::WMMove(TMessage& Message)
{
  TskSkinControl::WMMove(Message);
  if (FIndex != -1 && FSkinData->mainmenubartransparent && GetAlign() == alNone)
    Repaint();
}

void TskSkinMainMenuBar::Dispatch(TMessage& Message)
{
  switch (Message.Msg) {
  case WM_SIZE:
    TskSkinControl::Dispatch(Message);
    LayoutObjects();
    return;
  case SkinMenuClosedMessage:
    ReleaseSysMenuButton();
    return;
  default:
    TskSkinControl::Dispatch(Message);
  }
}

// ---- Mouse ----

bool TskSkinMainMenuBar::ItemUsable(int Index) const
{
  auto* item = ItemAt(Index);
  return item && item->Enabled && item->InBar;
}

TskSkinMainMenuBarItem* TskSkinMainMenuBar::ItemAt(int Index) const
{
  if (Index < 0 || Index >= static_cast<int>(FObjects.size()))
    return nullptr;
  return dynamic_cast<TskSkinMainMenuBarItem*>(FObjects[static_cast<size_t>(Index)]);
}

void TskSkinMainMenuBar::TrackHotObject(int X, int Y)
{
  if (FObjects.empty())
    return;
  OldActiveIndex = ActiveIndex;
  int found = -1;
  const TPoint p{X, Y};
  for (size_t i = 0; i < FObjects.size(); ++i)
    if (FObjects[i]->Enabled && PtInRect(&FObjects[i]->ObjectBounds, p)) {
      found = static_cast<int>(i);
      break;
    }
  if (found == -1 && OldActiveIndex != -1 && MenuActive && ItemAt(OldActiveIndex))
    ActiveIndex = OldActiveIndex;
  else
    ActiveIndex = found;
  if (CaptureIndex != -1 && ActiveIndex != -1 && CaptureIndex != ActiveIndex)
    ActiveIndex = -1;
  const int count = static_cast<int>(FObjects.size());
  if (ActiveIndex >= count)
    ActiveIndex = -1;
  if (OldActiveIndex >= count)
    OldActiveIndex = -1;
  if (ActiveIndex != OldActiveIndex) {
    if (OldActiveIndex != -1 && FObjects[static_cast<size_t>(OldActiveIndex)]->Enabled)
      FObjects[static_cast<size_t>(OldActiveIndex)]->MouseLeave();
    // The leave may have changed the list (a merged menu rebuilt by a command).
    if (ActiveIndex != -1 && ActiveIndex < static_cast<int>(FObjects.size()) &&
        FObjects[static_cast<size_t>(ActiveIndex)]->Enabled)
      FObjects[static_cast<size_t>(ActiveIndex)]->MouseEnter();
  }
  UpdateTrackMark(X, Y);
}

void TskSkinMainMenuBar::UpdateTrackMark(int X, int Y)
{
  if (!HiddenItems || !ScrollMenu)
    return;
  const TRect mark = TrackMarkRect();
  const bool in = X >= 0 && PtInRect(&mark, Point(X, Y));
  if (in != TrackMarkActive) {
    TrackMarkActive = in;
    if (HandleAllocated())
      DrawTrackMark(GetCanvas());
  }
}

void TskSkinMainMenuBar::MouseTimerProc()
{
  TPoint p{};
  ::GetCursorPos(&p);
  p = ScreenToClient(p);
  if (p.x < 0 || p.y < 0 || p.x > GetWidth() || p.y > GetHeight()) {
    FMouseTimer->SetEnabled(false);
    TrackHotObject(-1, -1);
  } else {
    TrackHotObject(p.x, p.y);
  }
}

void TskSkinMainMenuBar::MorphTimerProc()
{
  bool moved = false;
  // A step may change the list (it never should, but a draw must not run over a freed object).
  const std::vector<TskMenuBarObject*> objects = FObjects;
  for (TskMenuBarObject* obj : objects)
    if (obj->EnableMorphing() && obj->CanMorphing()) {
      obj->MorphStep();
      moved = true;
    }
  if (!moved)
    FMorphTimer->SetEnabled(false);
}

void TskSkinMainMenuBar::AnimateTimerProc()
{
  bool moved = false;
  for (TskMenuBarObject* obj : std::vector<TskMenuBarObject*>(FObjects))
    if (auto* item = dynamic_cast<TskSkinMainMenuBarItem*>(obj))
      moved = item->AnimateStep() || moved;
  if (!moved)
    FAnimateTimer->SetEnabled(false);
}

void TskSkinMainMenuBar::CMMouseEnter(TMessage& Message)
{
  TskSkinControl::CMMouseEnter(Message);
  if (!Designing())
    FMouseTimer->SetEnabled(true);
}

void TskSkinMainMenuBar::CMMouseLeave(TMessage& Message)
{
  TskSkinControl::CMMouseLeave(Message);
  if (Designing())
    return;
  FMouseTimer->SetEnabled(false);
  TrackHotObject(-1, -1);
}

void TskSkinMainMenuBar::MouseMove(TShiftState Shift, int X, int Y)
{
  if (!FMouseTimer->GetEnabled())
    FMouseTimer->SetEnabled(true);
  TskSkinControl::MouseMove(Shift, X, Y);
}

void TskSkinMainMenuBar::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y)
{
  TskSkinControl::MouseDown(Button, Shift, X, Y);
  TrackHotObject(X, Y);
  if (ActiveIndex != -1) {
    CaptureIndex = ActiveIndex;
    TskMenuBarObject* obj = FObjects[static_cast<size_t>(ActiveIndex)];
    obj->MouseDown(X, Y, Button);
    if ((Shift & ssDouble) && CaptureIndex != -1 && CaptureIndex < static_cast<int>(FObjects.size()) &&
        FObjects[static_cast<size_t>(CaptureIndex)] == obj)
      obj->DblClick();
    return;
  }
  const TRect mark = TrackMarkRect();
  if (HiddenItems && ScrollMenu && PtInRect(&mark, Point(X, Y)))
    PopupHiddenItems();
}

void TskSkinMainMenuBar::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y)
{
  if (CaptureIndex != -1 && CaptureIndex < static_cast<int>(FObjects.size())) {
    const int index = CaptureIndex;
    CaptureIndex = -1;
    FObjects[static_cast<size_t>(index)]->MouseUp(X, Y, Button);
  }
  CaptureIndex = -1;
  TskSkinControl::MouseUp(Button, Shift, X, Y);
}

int TskSkinMainMenuBar::FittingItemCount() const
{
  int n = 0;
  for (TskMenuBarObject* obj : FObjects)
    if (auto* item = dynamic_cast<TskSkinMainMenuBarItem*>(obj); item && item->InBar)
      ++n;
  return n;
}

void TskSkinMainMenuBar::PopupHiddenItems()
{
  if (!FSkinnedForm || !FMainMenu)
    return;
  TskSkinMenu* engine = FSkinnedForm->GetSkinMenu();
  if (!engine)
    return;
  const int n = FittingItemCount();
  const TPoint lt = ClientToScreen(Point(ItemsRect.right, ItemsRect.top));
  const TRect r = Rect(lt.x, lt.y, lt.x + 5, lt.y + RectHeight(ItemsRect));
  TMainMenu* child = FSkinnedForm->OwnerForm()->GetFormStyle() == fsMDIForm ? GetChildMainMenu() : nullptr;
  FSkinnedForm->SkinMenuOpen();
  if (child)
    engine->PopupMerged(nullptr, FSkinData, n, r, child->GetItems(), FMainMenu->GetItems(), false);
  else
    engine->Popup(nullptr, FSkinData, n, r, FMainMenu->GetItems(), false);
}

// ---- Keyboard ----

void TskSkinMainMenuBar::EnterMenuMode()
{
  MenuActive = true;
  TskSkinMainMenuBarItem* target = nullptr;
  for (TskMenuBarObject* obj : FObjects)
    if (auto* item = dynamic_cast<TskSkinMainMenuBarItem*>(obj)) {
      if (!target)
        target = item;
      if (item->Hot) {
        target = item;
        break;
      }
    }
  if (target)
    target->MouseEnter();
  if (FSkinnedForm) {
    FSkinnedForm->SetMenuModeBar(this);
    FSkinnedForm->HookApplicationMessages();
    FSkinnedForm->MainMenuMode = true;
    if (FSkinnedForm->OnMainMenuEnter)
      FSkinnedForm->OnMainMenuEnter(this);
  }
}

void TskSkinMainMenuBar::NextItem()
{
  const bool keyboardMode = FSkinnedForm && FSkinnedForm->MainMenuMode;
  const int count = static_cast<int>(FObjects.size());
  int current = -1;
  for (int i = 0; i < count && current == -1; ++i)
    if (ItemUsable(i) && (FObjects[static_cast<size_t>(i)]->Hot || FObjects[static_cast<size_t>(i)]->Pressed))
      current = i;
  int next = -1;
  if (current != -1) {
    FObjects[static_cast<size_t>(current)]->MouseLeave();
    for (int i = current + 1; i < count && next == -1; ++i)
      if (ItemUsable(i))
        next = i;
  }
  for (int i = 0; i < count && next == -1; ++i)
    if (ItemUsable(i))
      next = i;
  if (next != -1)
    FObjects[static_cast<size_t>(next)]->MouseEnter();
  // Moving from an open menu onto an item without one closed the menu and the mode: the keys
  // stay with the menu.
  if (keyboardMode && FSkinnedForm && !FSkinnedForm->MainMenuMode)
    EnterMenuMode();
}

void TskSkinMainMenuBar::PrevItem()
{
  const bool keyboardMode = FSkinnedForm && FSkinnedForm->MainMenuMode;
  const int count = static_cast<int>(FObjects.size());
  int current = -1;
  for (int i = count - 1; i >= 0 && current == -1; --i)
    if (ItemUsable(i) && (FObjects[static_cast<size_t>(i)]->Hot || FObjects[static_cast<size_t>(i)]->Pressed))
      current = i;
  int prev = -1;
  if (current != -1) {
    FObjects[static_cast<size_t>(current)]->MouseLeave();
    for (int i = current - 1; i >= 0 && prev == -1; --i)
      if (ItemUsable(i))
        prev = i;
  }
  for (int i = count - 1; i >= 0 && prev == -1; --i)
    if (ItemUsable(i))
      prev = i;
  if (prev != -1)
    FObjects[static_cast<size_t>(prev)]->MouseEnter();
  if (keyboardMode && FSkinnedForm && !FSkinnedForm->MainMenuMode)
    EnterMenuMode();
}

bool TskSkinMainMenuBar::ActivateCurrentItem()
{
  const bool menuOpen = FSkinnedForm && FSkinnedForm->GetMenuOpenFlag();
  for (TskMenuBarObject* obj : FObjects) {
    auto* item = dynamic_cast<TskSkinMainMenuBarItem*>(obj);
    if (!item)
      continue;
    const bool leaf = !item->MenuItem || item->MenuItem->GetCount() == 0;
    if ((item->Pressed && leaf) || (item->Hot && !menuOpen)) {
      item->Hot = false;
      item->MouseDown(0, 0, mbLeft);
      return true;
    }
  }
  return false;
}

bool TskSkinMainMenuBar::CheckAccelerator(Word Key)
{
  if (!FSkinnedForm || !FSkinnedForm->OwnerForm()->GetVisible())
    return false;
  for (TskMenuBarObject* obj : FObjects) {
    auto* item = dynamic_cast<TskSkinMainMenuBarItem*>(obj);
    if (!item || !item->Enabled || !item->InBar || !item->MenuItem || !IsAccel(Key, item->MenuItem->GetCaption()))
      continue;
    item->MouseEnter();
    if (!FSkinnedForm->GetMenuOpenFlag() || item->MenuItem->GetCount() == 0)
      item->MouseDown(0, 0, mbLeft);
    return true;
  }
  return false;
}

void TskSkinMainMenuBar::ReleaseDownItem()
{
  for (TskMenuBarObject* obj : FObjects) {
    auto* item = dynamic_cast<TskSkinMainMenuBarItem*>(obj);
    if (!item || !item->Pressed)
      continue;
    item->Pressed = false;
    item->Hot = true;
    if (item->EnableMorphing())
      item->MorphFactor = 1;
    RedrawObject(item);
    return;
  }
}

void TskSkinMainMenuBar::LeaveMenuMode()
{
  MenuActive = false;
  for (TskMenuBarObject* obj : FObjects) {
    auto* item = dynamic_cast<TskSkinMainMenuBarItem*>(obj);
    if (!item || !(item->Pressed || item->Hot))
      continue;
    item->Hot = item->Hovered = item->Pressed = false;
    if (item->EnableMorphing())
      item->MorphFactor = 1;
    if (item->EnableAnimation() && !item->InActiveAnimation) {
      item->FrameIndex = 0;
      RedrawObject(item);
    } else {
      item->ReDraw();
    }
    break;
  }
  ActiveIndex = OldActiveIndex = -1;
}
