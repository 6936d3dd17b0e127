#include "skin/input/SkinMenu.h"

#include <algorithm>

#include "skin/controls/ComponentReference.h"
#include "skin/foundation/SkinDrawUtils.h"

namespace {

constexpr UINT ReapMessage = WM_USER + 1;

// Levels whose manager went away while one of them was still handling a message: freed from the
// message loop once that call has returned.
struct TLevelReaper {
  HWND Wnd = nullptr;
  std::vector<TskSkinPopupWindow*> Levels;
};

TLevelReaper& Reaper()
{
  static TLevelReaper reaper;
  return reaper;
}

void FreeLater(std::vector<TskSkinPopupWindow*> Levels)
{
  TLevelReaper& r = Reaper();
  if (!r.Wnd)
    r.Wnd = AllocateHWnd([](TMessage& M) {
      if (M.Msg == ReapMessage) {
        std::vector<TskSkinPopupWindow*> levels = std::move(Reaper().Levels);
        Reaper().Levels.clear();
        for (TskSkinPopupWindow* l : levels)
          delete l;
        return;
      }
      M.Result = DefWindowProcA(Reaper().Wnd, M.Msg, M.WParam, M.LParam);
    });
  r.Levels.insert(r.Levels.end(), Levels.begin(), Levels.end());
  PostMessageA(r.Wnd, ReapMessage, 0, 0);
}

} // namespace

// ---------------------------------------------------------------------------------------------
// TskSkinMenu

TskSkinMenu::TBusy::TBusy(TskSkinMenu* AMenu) : FMenu(AMenu)
{
  if (!FMenu)
    return;
  FAlive = FMenu->FAlive;
  ++FMenu->FBusy;
}

TskSkinMenu::TBusy::~TBusy()
{
  if (!FMenu || !*FAlive)
    return;
  if (--FMenu->FBusy == 0)
    FMenu->FreeDoomed();
}

TskSkinMenu::TskSkinMenu(TComponent* AOwner, TForm* AForm) : TComponent(AOwner), OwnerForm(AForm)
{
  DefMenuItemFont = std::make_unique<TFont>();
  DefMenuItemFont->SetName("Arial");
  DefMenuItemFont->SetStyle(TFontStyles(0));
  DefMenuItemFont->SetHeight(14);
  SubMenuTimer = new TTimer(this);
  SubMenuTimer->SetEnabled(false);
  SubMenuTimer->SetInterval(500);
  SubMenuTimer->SetOnTimer([this](TObject*) { SubMenuTimerTick(); });
}

TskSkinMenu::~TskSkinMenu()
{
  CloseLevels(0);
  *FAlive = false;
  if (FBusy > 0) {
    // A level of this menu is still handling the message that led here: it goes later.
    for (TskSkinPopupWindow* l : FDoomed)
      RemoveComponent(l);
    FreeLater(std::move(FDoomed));
    FDoomed.clear();
  } else {
    FreeDoomed();
  }
  delete SubMenuTimer;
  SubMenuTimer = nullptr;
}

void TskSkinMenu::FreeDoomed()
{
  std::vector<TskSkinPopupWindow*> doomed = std::move(FDoomed);
  FDoomed.clear();
  for (TskSkinPopupWindow* l : doomed)
    delete l;
}

void TskSkinMenu::Notification(TComponent* AComponent, TOperation Operation)
{
  TComponent::Notification(AComponent, Operation);
  if (Operation != opRemove)
    return;
  if (AComponent == Opener)
    Opener = nullptr;
  if (AComponent == DoneControl)
    DoneControl = nullptr;
  if (AComponent == SkinData)
    SkinData = nullptr;
}

int TskSkinMenu::IndexOfLevel(const TskSkinPopupWindow* Level) const
{
  for (std::size_t i = 0; i < Levels.size(); ++i)
    if (Levels[i] == Level)
      return static_cast<int>(i);
  return static_cast<int>(Levels.size());
}

void TskSkinMenu::SendTo(TControl* Control, UINT Msg)
{
  if (!Control)
    return;
  auto* win = dynamic_cast<TWinControl*>(Control);
  if (win && win->HandleAllocated())
    SendMessageA(win->GetHandle(), Msg, 0, 0);
  else
    Control->Perform(Msg, 0, 0);
}

void TskSkinMenu::Popup(TControl* AOpener, TskSkinData* ASkinData, int StartIndex, const TRect& R, TMenuItem* Item,
                        bool OpenAbove)
{
  OpenMenu(AOpener, ASkinData, StartIndex, R, Item, nullptr, OpenAbove);
}

void TskSkinMenu::PopupMerged(TControl* AOpener, TskSkinData* ASkinData, int StartIndex, const TRect& R,
                              TMenuItem* Item, TMenuItem* OtherItem, bool OpenAbove)
{
  OpenMenu(AOpener, ASkinData, StartIndex, R, Item, OtherItem ? OtherItem : Item, OpenAbove);
}

void TskSkinMenu::OpenMenu(TControl* AOpener, TskSkinData* ASkinData, int StartIndex, const TRect& R,
                           TMenuItem* Item, TMenuItem* OtherItem, bool OpenAbove)
{
  TBusy busy(this);
  std::shared_ptr<bool> alive = FAlive;
  FirstOpen = !Visible;
  // The menu open until now goes first: its opener (not the new one) is told.
  if (!Levels.empty())
    CloseLevels(0);
  if (!*alive)
    return;
  if (Opener)
    Opener->RemoveFreeNotification(this);
  Opener = AOpener;
  if (Opener)
    Opener->FreeNotification(this);
  MenuWorkArea = NullRect();
  GetDesktopWorkArea(true, MenuWorkArea);
  if (OwnerForm && OwnerForm->HandleAllocated())
    GetMonitorArea(OwnerForm->GetHandle(), true, MenuWorkArea);
  if (SkinData)
    SkinData->RemoveFreeNotification(this);
  SkinData = ASkinData;
  if (SkinData)
    SkinData->FreeNotification(this);
  int count = Item ? Item->GetCount() : 0;
  if (OtherItem)
    count += OtherItem->GetCount();
  if (!Item || Item->GetCount() == 0 || StartIndex >= count)
    return;
  Visible = true;
  OpenLevel(R, Item, OtherItem, OpenAbove, false, std::max(StartIndex, 0));
  if (*alive)
    FirstOpen = false;
}

void TskSkinMenu::OpenLevel(const TRect& R, TMenuItem* Item, TMenuItem* OtherItem, bool OpenAbove, bool SubMenu,
                            int StartIndex)
{
  TskDataSkinPopupWindow* record = SkinData && !SkinData->Empty ? SkinData->PopupWindow : nullptr;
  auto* level = new TskSkinPopupWindow(this, record);
  Levels.push_back(level);
  if (OtherItem)
    level->PopupMerged(R, Item, OtherItem, OpenAbove, SubMenu, StartIndex);
  else
    level->Popup(R, Item, OpenAbove, SubMenu, StartIndex);
}

void TskSkinMenu::CloseLevels(int FromIndex)
{
  TBusy busy(this);
  FromIndex = std::max(FromIndex, 0);
  while (static_cast<int>(Levels.size()) > FromIndex) {
    TskSkinPopupWindow* level = Levels.back();
    Levels.pop_back();
    if (PendingItem && PendingItem->Window == level) {
      SubMenuTimer->SetEnabled(false);
      PendingItem = nullptr;
    }
    // Hidden now, freed when the call that closed it has returned.
    level->MouseTimer->SetEnabled(false);
    level->AnimationTimer->SetEnabled(false);
    level->ShowTimer->SetEnabled(false);
    if (level->HandleAllocated() && GetCapture() == level->GetHandle())
      ReleaseCapture();
    level->SetVisible(false);
    FDoomed.push_back(level);
  }
  if (FromIndex != 0)
    return;
  SubMenuTimer->SetEnabled(false);
  Visible = false;
  if (DoneControl)
    DoneControl->RemoveFreeNotification(this);
  DoneControl = Opener;
  if (DoneControl)
    DoneControl->FreeNotification(this);
  std::shared_ptr<bool> alive = FAlive;
  if (Opener) {
    TControl* opener = Opener;
    Opener = nullptr;
    SendTo(opener, SkinMenuClosedMessage);
    if (!*alive)
      return;
  }
  if (OnMenuClose) {
    TNotifyEvent handler = std::move(OnMenuClose);
    OnMenuClose = nullptr;
    handler(this);
  }
}

void TskSkinMenu::CloseMenu()
{
  TBusy busy(this);
  std::shared_ptr<bool> alive = FAlive;
  CloseLevels(0);
  if (!*alive)
    return;
  SubMenuTimer->SetEnabled(false);
  PendingItem = nullptr;
  if (OwnerForm && OwnerForm->HandleAllocated())
    SendMessageA(OwnerForm->GetHandle(), SkinMenuClosedMessage, 0, 0);
}

void TskSkinMenu::ItemAction(TskSkinPopupWindow* Level, TskSkinMenuItem* Entry, bool Choose, bool ByKey)
{
  if (!Level || !Entry || !Entry->MenuItem)
    return;
  TBusy busy(this);
  std::shared_ptr<bool> alive = FAlive;
  TMenuItem* item = Entry->MenuItem;
  const int level = IndexOfLevel(Level);
  if (level >= LevelCount())
    return;  // a level already closed chooses nothing
  const bool hasSubItems = item->GetCount() > 0;
  if (!hasSubItems && !Choose) {
    SubMenuTimer->SetEnabled(false);
    PendingItem = nullptr;
    CloseLevels(level + 1);
    return;
  }
  if (!hasSubItems) {
    SubMenuTimer->SetEnabled(false);
    PendingItem = nullptr;
    // What the command needs is taken before the menu (and the entry with it) is closed.
    TMenu* parentMenu = item->GetParentMenu();
    const Word command = item->GetCommand();
    CloseMenu();
    if (!*alive)
      return;
    TControl* done = DoneControl;
    if (parentMenu)
      parentMenu->DispatchCommand(command);
    else
      item->Click();
    // The handler may have freed the manager, or the control to tell.
    if (!*alive)
      return;
    if (done && DoneControl == done)
      SendTo(done, SkinMenuCommandDoneMessage);
    return;
  }
  if (!Choose) {
    SubMenuTimer->SetEnabled(false);
    PendingItem = nullptr;
    CloseLevels(level + 1);
    if (!ByKey) {
      PendingItem = Entry;
      SubMenuTimer->SetEnabled(true);
    }
    return;
  }
  if (TMenu* parentMenu = item->GetParentMenu())
    parentMenu->DispatchCommand(item->GetCommand());
  else
    item->Click();
  // The item's own handler may have closed the menu.
  if (!*alive || IndexOfLevel(Level) >= LevelCount())
    return;
  SubMenuTimer->SetEnabled(false);
  PendingItem = nullptr;
  CloseLevels(IndexOfLevel(Level) + 1);
  Entry->Down = true;
  TRect r = Entry->ObjectRect;
  OffsetRect(&r, Level->GetLeft(), Level->GetTop());
  OpenLevel(r, item, nullptr, false, true, 0);
}

void TskSkinMenu::SubMenuTimerTick()
{
  TBusy busy(this);
  std::shared_ptr<bool> alive = FAlive;
  if (TskSkinMenuItem* entry = PendingItem) {
    PendingItem = nullptr;
    ItemAction(entry->Window, entry, true, false);
  }
  if (*alive)
    SubMenuTimer->SetEnabled(false);
}

// ---------------------------------------------------------------------------------------------
// TskSkinMenuHost

TskSkinMenuHost::TskSkinMenuHost(TForm* AForm) : TComponent(AForm), FForm(AForm)
{
  FSkinMenu = new TskSkinMenu(this, AForm);
  if (FForm) {
    FSavedFormProc = FForm->WindowProc;
    FHooked = true;
    FForm->WindowProc = [this](TMessage& Message) {
      if (IsMenuCloseMessage(Message.Msg) && FSkinMenu && FSkinMenu->Visible)
        FSkinMenu->CloseMenu();
      if (Message.Msg == SkinMenuClosedMessage)
        SkinMenuClose();
      if (FSavedFormProc)
        FSavedFormProc(Message);
    };
  }
}

TskSkinMenuHost::~TskSkinMenuHost()
{
  UnhookApplicationMessages();
  FMenuMode = false;
  if (FHooked && FForm)
    FForm->WindowProc = FSavedFormProc;
  delete FSkinMenu;
  FSkinMenu = nullptr;
}

void TskSkinMenuHost::SetSkinData(TskSkinData* Value)
{
  SetComponentReference(this, FSkinData, Value);
}

void TskSkinMenuHost::SetMenusSkinData(TskSkinData* Value)
{
  SetComponentReference(this, FMenusSkinData, Value);
}

void TskSkinMenuHost::Notification(TComponent* AComponent, TOperation Operation)
{
  TComponent::Notification(AComponent, Operation);
  if (Operation != opRemove)
    return;
  // Both references are cleared: one skin may serve as both.
  if (AComponent == FSkinData)
    FSkinData = nullptr;
  if (AComponent == FMenusSkinData)
    FMenusSkinData = nullptr;
  if (AComponent == FSkinMenu)
    FSkinMenu = nullptr;
}

void TskSkinMenuHost::HookApplicationMessages()
{
  if (FAppHooked)
    return;
  FAppHooked = true;
  FSavedOnMessage = Application->OnMessage;
  Application->OnMessage = [this](MSG& Msg, bool& Handled) {
    if (Msg.message == WM_KEYDOWN) {
      Handled = true;
      MenuKey(static_cast<Word>(Msg.wParam));
      return;
    }
    if (Msg.message == WM_MOUSEWHEEL) {
      Handled = true;
      return;
    }
    if (FSavedOnMessage)
      FSavedOnMessage(Msg, Handled);
  };
}

void TskSkinMenuHost::UnhookApplicationMessages()
{
  if (!FAppHooked)
    return;
  FAppHooked = false;
  Application->OnMessage = FSavedOnMessage;
  FSavedOnMessage = nullptr;
}

void TskSkinMenuHost::SkinMenuOpen()
{
  if (FMenuMode)
    return;
  FMenuMode = true;
  HookApplicationMessages();
  if (OnSkinMenuOpen)
    OnSkinMenuOpen(this);
}

void TskSkinMenuHost::SkinMenuClose()
{
  if (!FMenuMode)
    return;
  FMenuMode = false;
  UnhookApplicationMessages();
  if (OnSkinMenuClose)
    OnSkinMenuClose(this);
}

void TskSkinMenuHost::MenuKey(Word Key)
{
  if (FSkinMenu && FSkinMenu->LastLevel())
    FSkinMenu->LastLevel()->ProcessKey(Key);
  if (Key == VK_ESCAPE && (!FSkinMenu || FSkinMenu->LevelCount() == 0))
    SkinMenuClose();
}

// ---------------------------------------------------------------------------------------------
// TskSkinPopupMenu

TskSkinPopupMenu::TskSkinPopupMenu(TComponent* AOwner) : TPopupMenu(AOwner) {}

void TskSkinPopupMenu::SetSkinData(TskSkinData* Value)
{
  SetComponentReference(this, FSkinData, Value);
}

void TskSkinPopupMenu::Notification(TComponent* AComponent, TOperation Operation)
{
  TPopupMenu::Notification(AComponent, Operation);
  if (Operation == opRemove && AComponent == FSkinData)
    FSkinData = nullptr;
  if (Operation == opRemove && AComponent == SkinFormOwner)
    SkinFormOwner = nullptr;
}

TskSkinMenuHost* TskSkinPopupMenu::FindHost()
{
  TskSkinMenuHost* host = nullptr;
  if (SkinFormOwner) {
    host = FindSkinForm(SkinFormOwner);
  } else {
    TComponent* owner = GetOwner();
    TForm* form = dynamic_cast<TForm*>(owner);
    if (!form && owner)
      form = dynamic_cast<TForm*>(owner->GetOwner());
    if (form) {
      host = FindSkinForm(form);
      if (host && form->GetFormStyle() == fsMDIChild)
        host = Application->GetMainForm() ? FindSkinForm(Application->GetMainForm()) : nullptr;
    }
  }
  if (host && !FSkinData)
    SetSkinData(host->GetMenusSkinData() ? host->GetMenusSkinData() : host->GetSkinData());
  return host;
}

bool TskSkinPopupMenu::Show(TControl* AOpener, const TRect& R, bool OpenAbove, bool NeedSkin)
{
  DoPopup(this);
  TskSkinMenuHost* host = FindHost();
  if (!host || !host->GetSkinMenu())
    return false;
  if (NeedSkin && !FSkinData)
    return false;
  TskSkinMenu* menu = host->GetSkinMenu();
  if (menu->Visible)
    host->SkinMenuClose();
  host->SkinMenuOpen();
  LastPopupPoint = Point(R.left, R.top);
  FPopupPoint = LastPopupPoint;
  menu->Popup(AOpener, FSkinData, 0, R, GetItems(), OpenAbove);
  if (OnMenuClose)
    menu->OnMenuClose = OnMenuClose;
  return true;
}

void TskSkinPopupMenu::Popup(int X, int Y) { Show(nullptr, Rect(X, Y, X, Y), false, false); }

void TskSkinPopupMenu::PopupSkinMenu(const TRect& R, bool OpenAbove) { Show(nullptr, R, OpenAbove, false); }

void TskSkinPopupMenu::PopupForButton(TControl* Button, const TRect& R, bool OpenAbove)
{
  Show(Button, R, OpenAbove, false);
}

void TskSkinPopupMenu::PopupForEdit(TControl* Edit, int X, int Y) { Show(Edit, Rect(X, Y, X, Y), false, true); }

// ---------------------------------------------------------------------------------------------
// Free routines

TskSkinMenuHost* FindSkinForm(TComponent* Component)
{
  if (!Component)
    return nullptr;
  for (int i = 0; i < Component->GetComponentCount(); ++i)
    if (auto* host = dynamic_cast<TskSkinMenuHost*>(Component->GetComponent(i)))
      return host;
  return nullptr;
}

bool IsMenuCloseMessage(UINT Msg)
{
  switch (Msg) {
  case WM_MOVE:
  case WM_SIZE:
  case WM_ACTIVATE:
  case WM_KILLFOCUS:
  case WM_CANCELMODE:
  case WM_MOUSEACTIVATE:
  case WM_NCLBUTTONDOWN:
  case WM_NCRBUTTONDOWN:
  case WM_NCMBUTTONDOWN:
  case WM_LBUTTONDOWN:
  case WM_RBUTTONDOWN:
  case WM_MBUTTONDOWN:
  case WM_PARENTNOTIFY:
    return true;
  default:
    return false;
  }
}
