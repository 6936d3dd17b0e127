#include "skin/input/SkinEditCommands.h"

#include "platform/vcl/Forms.h"
#include "skin/foundation/SkinStrings.h"

TskResourceStrData* EditMenuStrings(TControl* Edit)
{
  TCustomForm* form = Edit ? GetParentForm(Edit) : nullptr;
  if (!form)
    return nullptr;
  TskSkinMenuHost* skinned = FindSkinForm(form);
  TskSkinData* data = skinned ? skinned->GetSkinData() : nullptr;
  return data ? data->GetResourceStrData() : nullptr;
}

String EditMenuCaption(TskResourceStrData* Strings, const char* Name, const char* Fallback)
{
  if (Strings) {
    String s = Strings->GetResStr(Name);
    if (!s.empty())
      return s;
  }
  return Fallback;
}

std::vector<TskEditMenuEntry> EditContextMenuEntries(TCustomEdit* Edit, bool ReadOnly, TskResourceStrData* Strings)
{
  DWORD start = 0, end = 0;
  SendMessageA(Edit->GetHandle(), EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
  const bool selected = start < end;
  const bool all = start == 0 && end == static_cast<DWORD>(GetWindowTextLengthA(Edit->GetHandle()));
  return {
      {EditMenuCaption(Strings, "EDIT_UNDO", "Undo"), Edit->GetCanUndo(), [Edit] { Edit->Undo(); }},
      {"-", true, nullptr},
      {EditMenuCaption(Strings, "EDIT_CUT", "Cut"), selected && !ReadOnly, [Edit] { Edit->CutToClipboard(); }},
      {EditMenuCaption(Strings, "EDIT_COPY", "Copy"), selected, [Edit] { Edit->CopyToClipboard(); }},
      {EditMenuCaption(Strings, "EDIT_PASTE", "Paste"), ::IsClipboardFormatAvailable(CF_TEXT) && !ReadOnly,
       [Edit] { Edit->PasteFromClipboard(); }},
      {EditMenuCaption(Strings, "EDIT_DELETE", "Delete"), selected && !ReadOnly, [Edit] { Edit->ClearSelection(); }},
      {"-", true, nullptr},
      {EditMenuCaption(Strings, "EDIT_SELECTALL", "Select All"), !all, [Edit] { Edit->SelectAll(); }},
  };
}

TCustomForm* EditMenuSkinForm(TControl* Edit)
{
  TCustomForm* form = GetParentForm(Edit);
  if (form && form->GetFormStyle() == fsMDIChild && Application && Application->GetMainForm())
    return Application->GetMainForm();
  return form;
}

TskSkinPopupMenu* NewEditContextMenu(TControl* Edit, const std::vector<TskEditMenuEntry>& Entries)
{
  auto* menu = new TskSkinPopupMenu(Edit);
  menu->SkinFormOwner = EditMenuSkinForm(Edit);
  for (const TskEditMenuEntry& e : Entries) {
    auto* item = new TMenuItem(menu);
    item->SetCaption(e.Caption);
    item->SetEnabled(e.Enabled);
    if (e.Action)
      item->OnClick = [Action = e.Action](TObject*) { Action(); };
    menu->GetItems()->Add(item);
  }
  return menu;
}

TPoint EditContextMenuPoint(TControl* Edit, LPARAM LParam)
{
  const int x = static_cast<short>(LOWORD(LParam));
  const int y = static_cast<short>(HIWORD(LParam));
  if (x == -1 && y == -1) {
    const TPoint origin = Edit->ClientToScreen(Point(0, 0));
    return Point(origin.x + Edit->GetWidth() / 2, origin.y + Edit->GetHeight() / 2);
  }
  return Point(x, y);
}

void TskEditContextMenu::Free()
{
  TskSkinPopupMenu* menu = FMenu;
  FMenu = nullptr;
  delete menu;
}

void TskEditContextMenu::Show(TControl* Edit, LPARAM LParam, const std::vector<TskEditMenuEntry>& Entries)
{
  Free();
  FPoint = EditContextMenuPoint(Edit, LParam);
  FMenu = NewEditContextMenu(Edit, Entries);
  FMenu->SetPopupComponent(Edit);
  FMenu->PopupForEdit(Edit, FPoint.x, FPoint.y);
}
