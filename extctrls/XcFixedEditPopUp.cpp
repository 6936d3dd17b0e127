#include "extctrls/XcFixedEditPopUp.h"

#include <cstdlib>

#include "extctrls/XcComponentUtils.h"
#include "extctrls/XcExStdCtrls.h"
#include "platform/vcl/ComboBoxCtrl.h"
#include "platform/vcl/StdCtrlsConsts.h"
#include "platform/win/SystemMenus.h"

namespace {

// Kept as a constant switch: the system's captions are always applied where it has them.
constexpr bool KeepBuiltinCaptions = false;

struct TMenuEntry {
  const char* Caption;
  UINT SystemCommand;  // the item of the system edit menu whose caption replaces ours (0: none)
};
constexpr TMenuEntry MenuEntries[XcEditMenuItemCount] = {
    {"&Undo", WM_UNDO}, {"-", 0},         {"Cu&t", WM_CUT},  {"&Copy", WM_COPY},
    {"&Paste", WM_PASTE}, {"&Delete", WM_CLEAR}, {"-", 0}, {"Select &All", EM_SETSEL},
};

// The one object of the program. It is freed when the program ends, before the menu system's
// own state goes (the exit handler is registered once the menu exists).
THiddenPopupObject* SharedObject = nullptr;

void FreeSharedObject()
{
  delete SharedObject;
  SharedObject = nullptr;
}

}  // namespace

THiddenPopupObject::THiddenPopupObject(TComponent* AOwner) : TComponent(AOwner) {}

THiddenPopupObject::~THiddenPopupObject() { SetEdit(nullptr); }

void THiddenPopupObject::SetEdit(TWinControl* Value) { SwapComponentReference(this, Value, FEdit); }

void THiddenPopupObject::Notification(TComponent* AComponent, TOperation Operation)
{
  TComponent::Notification(AComponent, Operation);
  if (Operation == opRemove && AComponent == FEdit) FEdit = nullptr;
}

TPopupMenu* THiddenPopupObject::EnsurePopupMenu(bool UpdateStates)
{
  if (!FPopupMenu) BuildMenu();
  if (UpdateStates) UpdateItemStates();
  return FPopupMenu;
}

void THiddenPopupObject::BuildMenu()
{
  FPopupMenu = new TPopupMenu(this);
  const TNotifyEvent Handlers[XcEditMenuItemCount] = {
      [this](TObject* S) { DoUndo(S); },  nullptr, [this](TObject* S) { DoCut(S); },
      [this](TObject* S) { DoCopy(S); },  [this](TObject* S) { DoPaste(S); },
      [this](TObject* S) { DoDelete(S); }, nullptr, [this](TObject* S) { DoSelectAll(S); },
  };
  for (int I = 0; I < XcEditMenuItemCount; ++I) {
    auto* Item = new TMenuItem(this);
    Item->SetCaption(MenuEntries[I].Caption);
    Item->OnClick = Handlers[I];
    FPopupMenu->GetItems()->Add(Item);
  }
  if (KeepBuiltinCaptions) return;
  for (int I = 0; I < XcEditMenuItemCount; ++I) {
    String Caption;
    if (MenuEntries[I].SystemCommand != 0 && GetSystemEditMenuString(MenuEntries[I].SystemCommand, Caption, 255))
      FPopupMenu->GetItems()->GetItem(I)->SetCaption(Caption);
  }
}

bool THiddenPopupObject::EditReady() { return FEdit && FEdit->HandleAllocated(); }

IXcEditOperations* THiddenPopupObject::EditOperations() { return dynamic_cast<IXcEditOperations*>(FEdit); }

HWND THiddenPopupObject::EditWindowHandle()
{
  if (!EditReady()) return nullptr;
  if (auto* Combo = dynamic_cast<TCustomComboBox*>(FEdit)) return Combo->GetEditHandle();
  return FEdit->GetHandle();
}

int THiddenPopupObject::EditTextLength() { return EditReady() ? static_cast<int>(FEdit->GetText().size()) : 0; }

bool THiddenPopupObject::EditIsReadOnly()
{
  HWND Wnd = EditWindowHandle();
  return Wnd && (GetWindowLongA(Wnd, GWL_STYLE) & ES_READONLY) != 0;
}

int THiddenPopupObject::EditSelectionLength()
{
  HWND Wnd = EditWindowHandle();
  if (!Wnd) return 0;
  DWORD Start = 0, End = 0;
  const LRESULT Packed =
      SendMessageA(Wnd, EM_GETSEL, reinterpret_cast<WPARAM>(&Start), reinterpret_cast<LPARAM>(&End));
  int Length = static_cast<int>(End) - static_cast<int>(Start);
  if (Length <= 0 && Packed > 0)
    Length = static_cast<int>(HIWORD(static_cast<DWORD>(Packed))) - static_cast<int>(LOWORD(static_cast<DWORD>(Packed)));
  return Length;
}

bool THiddenPopupObject::EditCanUndo()
{
  HWND Wnd = EditWindowHandle();
  return Wnd && SendMessageA(Wnd, EM_CANUNDO, 0, 0) != 0;
}

TXcClipboardCommands THiddenPopupObject::EditClipboardCommands()
{
  if (auto* Edit = dynamic_cast<TXcExCustomEdit*>(FEdit)) return Edit->GetClipboardCommands();
  return XcCommand(caCopy) | XcCommand(caCut) | XcCommand(caPaste) | XcCommand(caUndo);
}

bool THiddenPopupObject::EditGatesClear() { return dynamic_cast<TXcExCustomEdit*>(FEdit) != nullptr; }

void THiddenPopupObject::UpdateItemStates()
{
  if (!EditReady() || !FPopupMenu) return;
  const TXcClipboardCommands K = EditClipboardCommands();
  auto Has = [K](TXcClipboardCommand C) { return (K & XcCommand(C)) != 0; };
  FPopupMenu->SetPopupComponent(FEdit);
  bool Enabled[XcEditMenuItemCount] = {};
  if (IXcEditOperations* Ops = EditOperations()) {
    const bool Selection = Ops->HasSelection();
    Enabled[emiUndo] = Has(caUndo) && Ops->CanUndo();
    Enabled[emiCut] = Has(caCut) && Selection && Ops->CanCut();
    Enabled[emiCopy] = Has(caCopy) && Selection && Ops->CanCopy();
    Enabled[emiPaste] = Has(caPaste) && Ops->CanPaste();
    Enabled[emiDelete] = Selection && Ops->CanCut();
    Enabled[emiSelectAll] = Ops->CanSelectAll();
  } else {
    const int S = EditSelectionLength();
    const bool R = EditIsReadOnly();
    const int T = EditTextLength();
    Enabled[emiUndo] = Has(caUndo) && EditCanUndo();
    Enabled[emiCut] = S > 0 && !R && Has(caCut);
    Enabled[emiCopy] = S > 0 && Has(caCopy);
    Enabled[emiPaste] = !R && Has(caPaste);
    // An edit that gates WM_CLEAR by its commands would refuse Delete without caClear.
    Enabled[emiDelete] = S > 0 && !R && (!EditGatesClear() || Has(caClear));
    Enabled[emiSelectAll] = T > 0 && S != T;
  }
  for (int I : {emiUndo, emiCut, emiCopy, emiPaste, emiDelete, emiSelectAll})
    FPopupMenu->GetItems()->GetItem(I)->SetEnabled(Enabled[I]);
}

void THiddenPopupObject::RunCommand(void (IXcEditOperations::*Operation)(), UINT Msg, WPARAM WParam, LPARAM LParam)
{
  if (!EditReady()) return;
  if (IXcEditOperations* Ops = EditOperations()) return (Ops->*Operation)();
  FEdit->Perform(Msg, WParam, LParam);
}

void THiddenPopupObject::DoUndo(TObject*)
{
  // A combo box's inner edit window undoes its own typing.
  if (EditReady() && !EditOperations() && dynamic_cast<TCustomComboBox*>(FEdit)) {
    if (HWND Wnd = EditWindowHandle()) SendMessageA(Wnd, WM_UNDO, 0, 0);
    return;
  }
  RunCommand(&IXcEditOperations::Undo, WM_UNDO);
}

void THiddenPopupObject::DoCut(TObject*) { RunCommand(&IXcEditOperations::Cut, WM_CUT); }

void THiddenPopupObject::DoCopy(TObject*) { RunCommand(&IXcEditOperations::Copy, WM_COPY); }

void THiddenPopupObject::DoPaste(TObject*) { RunCommand(&IXcEditOperations::Paste, WM_PASTE); }

void THiddenPopupObject::DoDelete(TObject*) { RunCommand(&IXcEditOperations::Delete, WM_CLEAR); }

void THiddenPopupObject::DoSelectAll(TObject*) { RunCommand(&IXcEditOperations::SelectAll, EM_SETSEL, 0, -1); }

TPopupMenu* GetReplacementEditPopup(TWinControl* Edit, bool UpdateStates)
{
  if (!SharedObject) {
    SharedObject = new THiddenPopupObject(nullptr);
    SharedObject->EnsurePopupMenu(false);
    std::atexit(FreeSharedObject);
  }
  SharedObject->SetEdit(Edit);
  return SharedObject->EnsurePopupMenu(UpdateStates);
}

THiddenPopupObject* GetHiddenPopupObject() { return SharedObject; }
