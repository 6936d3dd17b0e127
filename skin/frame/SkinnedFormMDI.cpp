// TskSkinnedForm: the MDI side. An MDI form's client window (painted from the skin, borderless,
// refitting maximised and minimised children), the messages between the forms of the children
// and the main form, the children's items in the main form's window menu, and the main form's
// tabs bar and menu bar that follow the children.
#include <algorithm>

#include "platform/win/WinMdi.h"
#include "skin/foundation/SkinDrawUtils.h"
#include "skin/frame/SkinFormLookup.h"
#include "skin/frame/SkinMDIBars.h"
#include "skin/frame/SkinnedForm.h"

namespace {

constexpr const char* kHookProp = "QvSkinnedFormMDIClient";

TForm* MainForm() { return Application ? Application->GetMainForm() : nullptr; }

TskSkinnedForm* MainSkinForm()
{
  TForm* main = MainForm();
  return main ? GetSkinnedForm(main) : nullptr;
}

// The window menu of the main form, when the main form has a skinned form.
TMenuItem* MainWindowMenu()
{
  TForm* main = MainForm();
  return main && GetSkinnedForm(main) ? main->GetWindowMenu() : nullptr;
}

bool IsChildItem(const TMenuItem* Item) { return Item->GetName().find(MDIChildItemSuffix) != String::npos; }

// The child name an item stands for: its name without the first suffix.
String ChildNameOf(const TMenuItem* Item)
{
  String name = Item->GetName();
  const std::size_t at = name.find(MDIChildItemSuffix);
  if (at != String::npos)
    name.erase(at, String(MDIChildItemSuffix).size());
  return name;
}

// The first item of the window menu that stands for a child named Name.
TMenuItem* FindChildItem(TMenuItem* Menu, const String& Name)
{
  for (int i = 0; Menu && i < Menu->GetCount(); ++i)
    if (TMenuItem* item = Menu->GetItem(i); IsChildItem(item) && ChildNameOf(item) == Name)
      return item;
  return nullptr;
}

LRESULT CALLBACK_MDIClient(HWND Wnd, UINT Msg, WPARAM WParam, LPARAM LParam)
{
  auto* frame = static_cast<TskSkinnedForm*>(GetPropA(Wnd, kHookProp));
  if (!frame)
    return DefWindowProcA(Wnd, Msg, WParam, LParam);
  TMessage message;
  message.Msg = Msg;
  message.WParam = WParam;
  message.LParam = LParam;
  frame->MDIClientWndProc(message);
  return message.Result;
}

} // namespace

void TskSkinnedForm::SetMDITabsBar(TComponent* Value)
{
  if (FMDITabsBar == Value)
    return;
  if (FMDITabsBar)
    FMDITabsBar->RemoveFreeNotification(this);
  FMDITabsBar = Value;
  if (FMDITabsBar)
    FMDITabsBar->FreeNotification(this);
}

TskMDITabsBarLink* TskSkinnedForm::GetMDITabsBarLink() const { return dynamic_cast<TskMDITabsBarLink*>(FMDITabsBar); }

// ---- The MDI client window ----

void TskSkinnedForm::HookMDIClient()
{
  if (!IsMDIForm() || !FOwnerForm->HandleAllocated())
    return;
  HWND client = FOwnerForm->GetClientHandle();
  if (!client || (client == FMDIClient && GetPropA(client, kHookProp) == this))
    return;
  UnhookMDIClient();
  FOldMDIClientProc = reinterpret_cast<WNDPROC>(GetWindowLongPtrA(client, GWLP_WNDPROC));
  SetPropA(client, kHookProp, this);
  SetWindowLongPtrA(client, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&CALLBACK_MDIClient));
  FMDIClient = client;
  // The client has no border of its own from now on.
  SetWindowPos(client, nullptr, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
  RecalcFrame();
}

void TskSkinnedForm::UnhookMDIClient()
{
  if (FMDIClient && IsWindow(FMDIClient) && GetPropA(FMDIClient, kHookProp) == this) {
    if (reinterpret_cast<WNDPROC>(GetWindowLongPtrA(FMDIClient, GWLP_WNDPROC)) == &CALLBACK_MDIClient)
      SetWindowLongPtrA(FMDIClient, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(FOldMDIClientProc));
    RemovePropA(FMDIClient, kHookProp);
  }
  FMDIClient = nullptr;
  FOldMDIClientProc = nullptr;
}

void TskSkinnedForm::MDIClientWndProc(TMessage& Message)
{
  HWND client = FMDIClient;
  auto previous = [&] {
    Message.Result = FOldMDIClientProc ? CallWindowProcA(FOldMDIClientProc, client, Message.Msg, Message.WParam, Message.LParam)
                                       : DefWindowProcA(client, Message.Msg, Message.WParam, Message.LParam);
  };
  switch (Message.Msg) {
  case WM_SIZE: {
    previous();
    const LRESULT kept = Message.Result;
    RefitMDIChildren();
    TskSkinData* skin = GetSkinData();
    const bool loaded = FSkinLoaded && skin;
    if (!FLogoBitMap->Empty() || (loaded && skin->stretcheffect && skin->mdibgpictureindex == -1) ||
        (loaded && skin->mdibgpictureindex != -1 && skin->mdibgstretcheffect))
      RedrawWindow(client, nullptr, nullptr, RDW_ERASE | RDW_INVALIDATE);
    Message.Result = kept;
    return;
  }
  case WM_NCCALCSIZE:
  case WM_NCPAINT: Message.Result = 0; return;
  case WM_ERASEBKGND: {
    HDC dc = reinterpret_cast<HDC>(Message.WParam);
    TskSkinData* skin = GetSkinData();
    if (dc) {
      if (!FSkinLoaded || !skin)
        PaintPlainMDIBackground(dc);
      else if (skin->mdibgpictureindex != -1)
        PaintMDIBackground(dc);
      else if (skin->bgpictureindex == -1)
        PaintClientPicture(dc);
      else
        PaintBackground(dc);
    }
    Message.Result = 1;
    return;
  }
  case WM_NCACTIVATE: Message.Result = 1; return;
  case WM_NCDESTROY:
    previous();
    if (GetPropA(client, kHookProp) == this)
      RemovePropA(client, kHookProp);
    FMDIClient = nullptr;
    FOldMDIClientProc = nullptr;
    return;
  default: previous(); return;
  }
}

void TskSkinnedForm::RefitMDIChildren()
{
  TForm* form = FOwnerForm;
  for (int i = 0; i < form->GetMDIChildCount(); ++i)
    if (TForm* child = form->GetMDIChildren(i); child->HandleAllocated())
      SendMessageA(child->GetHandle(), MDIChildRefitMessage, 0, 0);
  PlaceMinimizedMDIChildren();
}

void TskSkinnedForm::PlaceMinimizedMDIChildren()
{
  TForm* form = FOwnerForm;
  for (int i = 0; i < form->GetMDIChildCount(); ++i) {
    TskSkinnedForm* frame = GetSkinnedForm(form->GetMDIChildren(i));
    if (frame && frame->GetSkinWindowState() == wsMinimized) {
      const TPoint p = frame->FindMinimizedPosition();
      frame->OwnerForm()->SetBounds(p.x, p.y, frame->OwnerForm()->GetWidth(), frame->OwnerForm()->GetHeight());
    }
  }
}

// ---- Messages between the forms ----

// SkinAfterChangeMessage and the three child messages; never consumed.
bool TskSkinnedForm::MDIPrivateMessage(TMessage& Message)
{
  switch (Message.Msg) {
  case SkinAfterChangeMessage:
    if (IsMDIForm() && reinterpret_cast<TskSkinData*>(Message.WParam) == GetSkinData())
      RefitMDIChildren();
    return true;
  case MDIChildRefitMessage:
    if (IsMDIChild() && FSkinWindowState == wsMaximized) {
      const TRect free = GetMainFormFreeClientRect();
      FOwnerForm->SetBounds(0, 0, RectWidth(free), RectHeight(free));
    }
    return true;
  case MDIChildMaximizedMessage:
    if (IsMDIForm()) {
      FChildMaximizedMark = true;
      SendNCPaint();
      if (FMDIMenuBarLink)
        FMDIMenuBarLink->ShowMDIButtons();
    }
    return true;
  case MDIChildRestoredMessage:
    if (IsMDIForm()) {
      const bool none = GetMaximizedChildSkinForm() == nullptr;
      if (none)
        FChildMaximizedMark = false;
      SendNCPaint();
      if (none && FMDIMenuBarLink)
        FMDIMenuBarLink->HideMDIButtons();
    }
    return true;
  default: return false;
  }
}

void TskSkinnedForm::MDIChildDestroyed()
{
  FSkinWindowState = wsNormal;
  if (TForm* main = MainForm(); main && main->HandleAllocated())
    SendMessageA(main->GetHandle(), MDIChildRestoredMessage, 0, 0);
  RefreshMenuBar();
  RefreshTabsBar();
}

void TskSkinnedForm::MDIChildShowing(bool Show)
{
  if (Show) {
    AddWindowMenuItem();
    AddToTabsBar();
  } else {
    DeleteWindowMenuItem();
    RemoveFromTabsBar();
  }
}

void TskSkinnedForm::MDIChildNCActivate()
{
  RefreshMenuBar();
  RefreshTabsBar();
  CheckWindowMenuItems();
}

void TskSkinnedForm::MDIChildMouseActivate()
{
  TForm* main = MainForm();
  if (!FFormSkinnable || !main || main->GetActiveMDIChild() != FOwnerForm || FFormActive)
    return;
  FFormActive = true;
  UpdateCaptionActivity(FSkinWindowState != wsMaximized);
}

// ---- The window menu ----

void TskSkinnedForm::AddWindowMenuItem()
{
  TMenuItem* menu = MainWindowMenu();
  if (!menu || FindChildItem(menu, FOwnerForm->GetName()))
    return;
  auto* item = new TMenuItem(this);
  item->SetName(FOwnerForm->GetName() + MDIChildItemSuffix);
  item->SetCaption(FOwnerForm->GetText());
  item->OnClick = [this](TObject* Sender) { WindowMenuItemClick(Sender); };
  menu->Add(item);
}

void TskSkinnedForm::UpdateWindowMenuItem()
{
  if (TMenuItem* item = FindChildItem(MainWindowMenu(), FOwnerForm->GetName()))
    item->SetCaption(FOwnerForm->GetText());
}

void TskSkinnedForm::CheckWindowMenuItems()
{
  TMenuItem* menu = MainWindowMenu();
  if (!menu)
    return;
  TForm* active = MainForm()->GetActiveMDIChild();
  for (int i = 0; i < menu->GetCount(); ++i)
    if (TMenuItem* item = menu->GetItem(i); IsChildItem(item))
      item->SetChecked(active && ChildNameOf(item) == active->GetName());
}

void TskSkinnedForm::DeleteWindowMenuItem()
{
  TMenuItem* menu = MainWindowMenu();
  if (!menu)
    return;
  if (TMenuItem* item = FindChildItem(menu, FOwnerForm->GetName())) {
    menu->Remove(item);
    delete item;
  }
  if (MainForm()->GetMDIChildCount() == 0)
    for (int i = 0; i < menu->GetCount(); ++i)
      if (TMenuItem* item = menu->GetItem(i); IsChildItem(item)) {
        menu->Remove(item);
        delete item;
        break;
      }
}

void TskSkinnedForm::WindowMenuItemClick(TObject* Sender)
{
  auto* item = dynamic_cast<TMenuItem*>(Sender);
  TForm* main = MainForm();
  if (!item || !main)
    return;
  const String name = ChildNameOf(item);
  for (int i = 0; i < main->GetMDIChildCount(); ++i) {
    TForm* child = main->GetMDIChildren(i);
    if (child->GetName() != name)
      continue;
    if (TskSkinnedForm* frame = GetSkinnedForm(child); frame && frame->GetSkinWindowState() == wsMinimized)
      frame->SetSkinWindowState(wsNormal);
    child->Show();
  }
}

// ---- The main form's bars ----

void TskSkinnedForm::AddToTabsBar()
{
  bool accept = true;
  if (OnAcceptToMDITabsBar)
    OnAcceptToMDITabsBar(accept);
  TskSkinnedForm* main = MainSkinForm();
  if (accept && main && main->GetMDITabsBarLink())
    main->GetMDITabsBarLink()->AddTab(FOwnerForm);
}

void TskSkinnedForm::RepaintTab()
{
  if (TskSkinnedForm* main = MainSkinForm(); main && main->GetMDITabsBarLink())
    main->GetMDITabsBarLink()->RepaintTab(FOwnerForm);
}

void TskSkinnedForm::RemoveFromTabsBar()
{
  if (TskSkinnedForm* main = MainSkinForm(); main && main->GetMDITabsBarLink())
    main->GetMDITabsBarLink()->RemoveTab(FOwnerForm);
}

void TskSkinnedForm::RefreshTabsBar()
{
  if (TskSkinnedForm* main = MainSkinForm(); main && main->GetMDITabsBarLink())
    main->GetMDITabsBarLink()->UpdateActiveTab();
}

void TskSkinnedForm::RefreshMenuBar()
{
  if (TskSkinnedForm* main = MainSkinForm(); main && main->GetMDIMenuBarLink())
    main->GetMDIMenuBarLink()->RefreshMDI();
}
