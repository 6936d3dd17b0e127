// TskSkinnedForm: keyboard use of the main menu. Alt or F10 alone lights the first (or the hot)
// item of the menu bar (or of the frame's main-menu objects when the form has no bar) and sends
// the keys to the menu: Left and Right move along the items (an open sub-menu moves with them),
// Enter and Down open or run the lit item, Alt+letter and, in the mode, a plain letter choose by
// accelerator, Escape closes the open sub-menu first and then leaves the mode.
#include "skin/frame/SkinFrameMainMenuItem.h"
#include "skin/frame/SkinMainMenuBar.h"
#include "skin/frame/SkinnedForm.h"

namespace {

bool ObjectUsable(const TskSkinMainMenuItem* Item) { return Item && Item->Enabled && Item->Visible; }

bool HasSubItems(const TskSkinMainMenuItem* Item) { return Item->MenuItem && Item->MenuItem->GetCount() > 0; }

// Moves the lit frame main-menu item one usable item on (or back), wrapping round; with none lit,
// the first (or last) lights.
void StepFrameMainMenuItem(const std::vector<TskActiveSkinObject*>& Objects, bool Forward)
{
  std::vector<TskSkinMainMenuItem*> items;
  for (TskActiveSkinObject* obj : Objects)
    if (auto* item = dynamic_cast<TskSkinMainMenuItem*>(obj); ObjectUsable(item))
      items.push_back(item);
  if (items.empty())
    return;
  const size_t n = items.size();
  size_t target = Forward ? 0 : n - 1;
  for (size_t i = 0; i < n; ++i)
    if (items[i]->Active || items[i]->Down) {
      items[i]->MouseLeave();
      target = Forward ? (i + 1) % n : (i + n - 1) % n;
      break;
    }
  items[target]->MouseEnter();
}

} // namespace

void TskSkinnedForm::SetMainMenuBar(TskSkinMainMenuBar* Value)
{
  FMainMenuBar = Value;
  if (Value)
    Value->FreeNotification(this);
}

void TskSkinnedForm::SetMenuModeBar(TskSkinMainMenuBar* Value)
{
  FMenuModeBar = Value;
  if (Value)
    Value->FreeNotification(this);
}

void TskSkinnedForm::LeaveBarMenuMode()
{
  TskSkinMainMenuBar* bar = FMainMenuBar ? FMainMenuBar : FMenuModeBar;
  FMenuModeBar = nullptr;
  if (bar)
    bar->LeaveMenuMode();
}

bool TskSkinnedForm::KeyMenu(LPARAM Key)
{
  const bool hasObjects = [this] {
    for (TskActiveSkinObject* obj : FObjectList)
      if (dynamic_cast<TskSkinMainMenuItem*>(obj))
        return true;
    return false;
  }();
  if (!FMainMenuBar && !hasObjects)
    return false;
  if (Key == 0) {
    if (MainMenuMode)
      EndMainMenu();
    else
      MainMenuEnter();
    return true;
  }
  if (Key == ' ')
    return false;
  const Word vk = static_cast<Word>(Key >= 'a' && Key <= 'z' ? Key - 'a' + 'A' : Key);
  return MainMenuAccel(vk);
}

void TskSkinnedForm::MainMenuEnter()
{
  if (FMainMenuBar) {
    FMainMenuBar->EnterMenuMode();
    return;
  }
  TskSkinMainMenuItem* target = nullptr;
  for (TskActiveSkinObject* obj : FObjectList)
    if (auto* item = dynamic_cast<TskSkinMainMenuItem*>(obj)) {
      if (!target)
        target = item;
      if (item->Active) {
        target = item;
        break;
      }
    }
  if (target)
    target->MouseEnter();
  MainMenuMode = true;
  HookApplicationMessages();
  if (OnMainMenuEnter)
    OnMainMenuEnter(this);
}

void TskSkinnedForm::EndMainMenu()
{
  MainMenuMode = false;
  if (TskSkinMenu* engine = GetSkinMenu(); engine && engine->Visible)
    engine->CloseMenu();
  if (FMainMenuBar || FMenuModeBar) {
    LeaveBarMenuMode();
  } else {
    for (TskActiveSkinObject* obj : FObjectList)
      if (auto* item = dynamic_cast<TskSkinMainMenuItem*>(obj); item && item->Active) {
        item->MouseLeave();
        break;
      }
  }
  UnhookApplicationMessages();
  if (OnMainMenuExit)
    OnMainMenuExit(this);
}

bool TskSkinnedForm::MainMenuAccel(Word Key)
{
  if (FMainMenuBar)
    return FMainMenuBar->CheckAccelerator(Key);
  for (TskActiveSkinObject* obj : FObjectList) {
    auto* item = dynamic_cast<TskSkinMainMenuItem*>(obj);
    if (!ObjectUsable(item) || !item->MenuItem || !IsAccel(Key, item->MenuItem->GetCaption()))
      continue;
    item->MouseEnter();
    if (!(FMenuOpenFlag && HasSubItems(item)))
      item->MouseDown(0, 0, mbLeft);
    return true;
  }
  return false;
}

void TskSkinnedForm::NextMainMenuItem()
{
  if (FMainMenuBar)
    FMainMenuBar->NextItem();
  else
    StepFrameMainMenuItem(FObjectList, true);
}

void TskSkinnedForm::PrevMainMenuItem()
{
  if (FMainMenuBar)
    FMainMenuBar->PrevItem();
  else
    StepFrameMainMenuItem(FObjectList, false);
}

bool TskSkinnedForm::MainMenuChoose()
{
  if (FMainMenuBar)
    return FMainMenuBar->ActivateCurrentItem();
  for (TskActiveSkinObject* obj : FObjectList) {
    auto* item = dynamic_cast<TskSkinMainMenuItem*>(obj);
    if (!item)
      continue;
    if ((item->Down && !HasSubItems(item)) || (item->Active && !FMenuOpenFlag)) {
      item->Active = false;
      item->MouseDown(0, 0, mbLeft);
      return true;
    }
  }
  return false;
}

void TskSkinnedForm::CloseMainMenuItem()
{
  FMenuOpenFlag = false;
  if (FMainMenuBar) {
    FMainMenuBar->ReleaseDownItem();
  } else {
    for (TskActiveSkinObject* obj : FObjectList)
      if (auto* item = dynamic_cast<TskSkinMainMenuItem*>(obj); item && item->Down) {
        item->SetDown(false);
        item->MouseEnter();
        break;
      }
  }
  if (OnSkinMenuClose)
    OnSkinMenuClose(this);
}

void TskSkinnedForm::MenuKeyDown(Word Key)
{
  if (IsMDIChild()) {
    TForm* main = Application->GetMainForm();
    TskSkinnedForm* host = main ? GetSkinnedForm(main) : nullptr;
    if (host && host != this && (host->FMenuOpenFlag || host->MainMenuMode || host->MenuMode())) {
      host->MenuKeyDown(Key);
      return;
    }
  }
  TskSkinMenu* engine = GetSkinMenu();
  const int levels = engine ? engine->LevelCount() : 0;
  if (MainMenuMode && Key != VK_ESCAPE && Key != VK_LEFT && Key != VK_RIGHT && Key != VK_UP && Key != VK_DOWN &&
      Key != VK_RETURN && MainMenuAccel(Key))
    return;
  if (Key == VK_ESCAPE && MainMenuMode && !FMenuOpenFlag) {
    EndMainMenu();
    return;
  }
  if (Key == VK_LEFT && MainMenuMode && levels <= 1) {
    PrevMainMenuItem();
    return;
  }
  if (Key == VK_RIGHT && MainMenuMode) {
    TskSkinPopupWindow* last = engine ? engine->LastLevel() : nullptr;
    bool deeper = false;
    if (last && last->ItemIndex >= 0 && last->ItemIndex < last->ItemCount()) {
      TskSkinMenuItem* entry = last->Item(last->ItemIndex);
      deeper = entry && entry->MenuItem && entry->MenuItem->GetCount() > 0;
    }
    if (!deeper) {
      NextMainMenuItem();
      return;
    }
  }
  if (Key == VK_RETURN || Key == VK_DOWN) {
    if (MainMenuChoose())
      return;
    if (engine && engine->LastLevel())
      engine->LastLevel()->ProcessKey(Key);
    return;
  }
  if (engine && engine->Visible && engine->LastLevel())
    engine->LastLevel()->ProcessKey(Key);
  if (Key == VK_ESCAPE && (!engine || engine->LevelCount() == 0)) {
    if (MainMenuMode)
      CloseMainMenuItem();
    else
      SkinMenuClose();
  }
}
