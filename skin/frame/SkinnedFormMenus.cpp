// TskSkinnedForm: the menus a skinned frame provides itself, since it has no window-system menu:
// the system menu with its standard items (shown from the caption's right button, the system
// button and Alt+Space), the tray icon's menu, the bookkeeping of an open skinned menu of the
// form, and the form's keyboard shortcuts.
#include "skin/foundation/SkinStrings.h"
#include "skin/frame/SkinFormLookup.h"
#include "skin/frame/SkinnedForm.h"
#include "skin/frame/SkinMainMenuBar.h"

namespace {

struct TStandardItem {
  const char* Name;
  const char* Key;
  const char* Fallback;
};

constexpr TStandardItem StandardItems[] = {
    {"SKF_MINITEM", "MI_MINCAPTION", "Mi&nimize"},       {"SKF_MAXITEM", "MI_MAXCAPTION", "Ma&ximize"},
    {"SKF_RESTORE", "MI_RESTORECAPTION", "&Restore"},    {"SKF_ROLLUP", "MI_ROLLUPCAPTION", "Ro&llUp"},
    {"SKF_MINTOTRAY", "MI_MINTOTRAYCAPTION", "Minimize to &Tray"}, {"SKF_CLOSE", "MI_CLOSECAPTION", "&Close"},
    {"TRAY_SKF_RESTORE", "MI_RESTORECAPTION", "&Restore"}, {"TRAY_SKF_CLOSE", "MI_CLOSECAPTION", "&Close"},
};

const TStandardItem* FindStandard(const String& Name)
{
  for (const TStandardItem& item : StandardItems)
    if (Name == item.Name)
      return &item;
  return nullptr;
}

bool IsSystemItemName(const String& Name)
{
  for (const char* n : {"SKF_MINITEM", "SKF_MAXITEM", "SKF_CLOSE", "SKF_MINTOTRAY", "SKF_ROLLUP", "SKF_RESTORE"})
    if (Name == n)
      return true;
  return false;
}

} // namespace

void TskSkinnedForm::CreateFormMenus()
{
  FDefaultSysMenu = new TPopupMenu(this);
  UseDefaultSysMenu = true;
  FTrayMenu = new TskSkinPopupMenu(this);
  FTrayMenu->SkinFormOwner = FOwnerForm;
  // Filled before any skin is set: the tray menu keeps the fallback captions.
  FTrayMenu->GetItems()->Add(NewStandardItem(FTrayMenu, "TRAY_SKF_RESTORE"));
  auto* line = new TMenuItem(FTrayMenu);
  line->SetCaption("-");
  FTrayMenu->GetItems()->Add(line);
  FTrayMenu->GetItems()->Add(NewStandardItem(FTrayMenu, "TRAY_SKF_CLOSE"));
  FOwnerForm->OnShortCut = [this](TWMKey& Msg, bool& Handled) { FormShortCut(Msg, Handled); };
}

String TskSkinnedForm::StandardItemCaption(const String& Name) const
{
  const TStandardItem* item = FindStandard(Name);
  if (!item)
    return "";
  TskSkinData* skin = GetSkinData();
  if (skin && skin->GetResourceStrData())
    return skin->GetResourceStrData()->GetResStr(item->Key);
  return item->Fallback;
}

TMenuItem* TskSkinnedForm::NewStandardItem(TComponent* AOwner, const String& Name)
{
  auto* item = new TMenuItem(AOwner);
  item->SetName(Name);
  item->SetCaption(StandardItemCaption(Name));
  if (Name == "SKF_CLOSE" || Name == "TRAY_SKF_CLOSE")
    item->SetShortCut(TextToShortCut(IsMDIChild() ? "Ctrl+F4" : "Alt+F4"));
  item->OnClick = [this, Name](TObject*) { StandardItemClick(Name); };
  return item;
}

bool TskSkinnedForm::StandardItemShown(const String& Name) const
{
  const TWindowState s = FSkinWindowState;
  if (Name == "SKF_MINITEM")
    return (FBorderIcons & biMinimize) && s != wsMinimized;
  if (Name == "SKF_MAXITEM")
    return (FBorderIcons & biMaximize) && s != wsMaximized;
  if (Name == "SKF_RESTORE")
    return s != wsNormal || FRollUpState;
  if (Name == "SKF_ROLLUP")
    return (FBorderIcons & biRollUp) && !FRollUpState && s != wsMinimized && !(IsMDIChild() && s == wsMaximized);
  if (Name == "SKF_MINTOTRAY")
    return (FBorderIcons & biMinimizeToTray) != 0;
  return true;
}

void TskSkinnedForm::StandardItemClick(const String& Name)
{
  if (Name == "SKF_MINITEM") {
    if (AlwaysMinimizeToTray)
      MinimizeToTray();
    else
      SetSkinWindowState(wsMinimized);
  } else if (Name == "SKF_MAXITEM") {
    SetSkinWindowState(wsMaximized);
  } else if (Name == "SKF_RESTORE") {
    if (FRollUpState && ((FSkinWindowState == wsMaximized && FMaxRollUpState) || FSkinWindowState == wsNormal))
      SetRollUpState(false);
    else
      SetSkinWindowState(wsNormal);
  } else if (Name == "SKF_ROLLUP") {
    SetRollUpState(true);
  } else if (Name == "SKF_MINTOTRAY") {
    MinimizeToTray();
  } else if (Name == "TRAY_SKF_RESTORE") {
    RestoreFromTray();
  } else if (Name == "SKF_CLOSE" || Name == "TRAY_SKF_CLOSE") {
    FOwnerForm->Close();
  }
}

TMenuItem* TskSkinnedForm::GetSystemMenuItems()
{
  if (FSystemMenu) {
    TMenuItem* items = FSystemMenu->GetItems();
    if (UseDefaultSysMenu) {
      for (bool found = true; found;) {
        found = false;
        for (int i = 0; i < items->GetCount(); ++i) {
          TMenuItem* item = items->GetItem(i);
          if (IsSystemItemName(item->GetName())) {
            items->Delete(i);
            if (item->GetOwner() == this)
              delete item;
            found = true;
            break;
          }
        }
      }
      for (const char* name : {"SKF_MINTOTRAY", "SKF_ROLLUP", "SKF_MAXITEM", "SKF_RESTORE", "SKF_MINITEM"})
        if (StandardItemShown(name))
          items->Insert(0, NewStandardItem(this, name));
      items->Add(NewStandardItem(this, "SKF_CLOSE"));
    }
    return items;
  }
  TMenuItem* items = FDefaultSysMenu->GetItems();
  while (items->GetCount() > 0) {
    TMenuItem* item = items->GetItem(0);
    items->Delete(0);
    delete item;
  }
  int added = 0;
  for (const char* name : {"SKF_MINITEM", "SKF_MAXITEM", "SKF_RESTORE", "SKF_ROLLUP", "SKF_MINTOTRAY"}) {
    if (StandardItemShown(name)) {
      items->Add(NewStandardItem(FDefaultSysMenu, name));
      ++added;
    }
  }
  if (added > 0) {
    auto* line = new TMenuItem(FDefaultSysMenu);
    line->SetCaption("-");
    items->Add(line);
  }
  items->Add(NewStandardItem(FDefaultSysMenu, "SKF_CLOSE"));
  return items;
}

void TskSkinnedForm::PopupSystemMenu(int X, int Y) { PopupSystemMenu(Rect(X, Y, X, Y)); }

void TskSkinnedForm::PopupSystemMenu(const TRect& R)
{
  TskSkinnedForm* host = this;
  if (IsMDIChild()) {
    host = Application->GetMainForm() ? GetSkinnedForm(Application->GetMainForm()) : nullptr;
    if (!host)
      return;
  }
  TMenuItem* items = GetSystemMenuItems();
  if (!host->GetSkinMenu())
    return;
  TskSkinData* menuSkin = host->GetMenusSkinData() ? host->GetMenusSkinData() : host->GetSkinData();
  host->SkinMenuOpen();
  host->GetSkinMenu()->Popup(nullptr, menuSkin, 0, R, items, false);
}

void TskSkinnedForm::PopupSystemMenuAtButton()
{
  for (TskActiveSkinObject* obj : FObjectList) {
    auto* button = dynamic_cast<TskSkinStdButtonObject*>(obj);
    if (!button || !button->Enabled || button->Command != cmSysMenu)
      continue;
    TRect r = button->ObjectRect;
    if (IsMDIChild()) {
      if (IsNCSkinned())
        OffsetRect(&r, -FrameClientRect.left, -FrameClientRect.top);
      else
        OffsetRect(&r, -3, -(GetDefaultCaptionHeight() + 3));
      TPoint origin{0, 0};
      if (FOwnerForm->HandleAllocated())
        ClientToScreen(FOwnerForm->GetHandle(), &origin);
      OffsetRect(&r, origin.x, origin.y);
    } else {
      OffsetRect(&r, FOwnerForm->GetLeft(), FOwnerForm->GetTop());
    }
    if (!DisableSystemMenu)
      PopupSystemMenu(r);
  }
}

void TskSkinnedForm::SkinMenuOpen()
{
  FMenuOpenFlag = true;
  TskSkinMenuHost::SkinMenuOpen();
}

void TskSkinnedForm::SkinMenuClose()
{
  FMenuOpenFlag = false;
  // The caption button that opened the menu comes up again.
  for (TskActiveSkinObject* obj : FObjectList) {
    auto* button = dynamic_cast<TskSkinStdButtonObject*>(obj);
    if (button && button->Down && button->Command == cmSysMenu) {
      button->Down = false;
      button->Active = false;
      DrawObject(button);
      break;
    }
  }
  const bool mainMode = MainMenuMode;
  ReleaseMenuObject();
  TskSkinMenuHost::SkinMenuClose();
  UnhookApplicationMessages();
  if (mainMode) {
    MainMenuMode = false;
    LeaveBarMenuMode();
    if (OnMainMenuExit)
      OnMainMenuExit(this);
  }
}

void TskSkinnedForm::FormShortCut(TWMKey& Msg, bool& Handled)
{
  if (OnShortCut) {
    OnShortCut(Msg, Handled);
    if (Handled)
      return;
  }
  const TShiftState shift = KeyDataToShiftState(Msg.KeyData);
  if (shift == TShiftState(ssAlt) && Msg.CharCode == VK_SPACE) {
    PopupSystemMenuAtButton();
    FLastShortCut = false;
    Handled = true;
    return;
  }
  if (FLastShortCut) {
    FLastShortCut = false;
    Handled = false;
  }
  TMainMenu* menu = FMainMenuBar && FMainMenuBar->GetMainMenu() ? FMainMenuBar->GetMainMenu() : FMainMenu;
  const bool altKey = shift == TShiftState(ssAlt) && Msg.CharCode != VK_F4;
  if (menu) {
    if (altKey && MainMenuAccel(Msg.CharCode)) {
      Handled = true;
      return;
    }
    FLastShortCut = menu->IsShortCut(Msg);
    Handled = FLastShortCut;
  }
  TMainMenu* child = FMainMenuBar ? FMainMenuBar->GetChildMainMenu() : nullptr;
  if (!FLastShortCut && child) {
    if (altKey && MainMenuAccel(Msg.CharCode)) {
      Handled = true;
      return;
    }
    FLastShortCut = child->IsShortCut(Msg);
    Handled = FLastShortCut;
  }
}
