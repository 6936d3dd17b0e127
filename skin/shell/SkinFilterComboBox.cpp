#include "skin/shell/SkinFilterComboBox.h"

#include "platform/rtl/StrUtils.h"
#include "skin/shell/SkinFileListBox.h"

namespace {

constexpr const char* DefaultFilter = "All files (*.*)|*.*";

}  // namespace

TskSkinFilterComboBox::TskSkinFilterComboBox(TComponent* AOwner) : TskSkinComboBox(AOwner), FFilter(DefaultFilter)
{
}

TskSkinFilterComboBox::~TskSkinFilterComboBox() { SetFileList(nullptr); }

void TskSkinFilterComboBox::CreateWnd()
{
  TskSkinComboBox::CreateWnd();
  BuildList();
}

void TskSkinFilterComboBox::SetFilter(const String& Value)
{
  if (Value == FFilter)
    return;
  FFilter = Value;
  if (HandleAllocated())
    BuildList();
  Change();
}

void TskSkinFilterComboBox::BuildList()
{
  TStrings* items = GetItems();
  {
    TStringsUpdate update(items);
    items->Clear();
    FMaskList.Clear();
    String rest = FFilter;
    for (auto bar = rest.find('|'); bar != String::npos; bar = rest.find('|')) {
      const String description = rest.substr(0, bar);
      rest.erase(0, bar + 1);
      const auto next = rest.find('|');
      const String mask = next == String::npos ? rest : rest.substr(0, next);
      rest.erase(0, next == String::npos ? rest.size() : next + 1);
      items->Add(description);
      FMaskList.Add(mask);
    }
  }
  SetItemIndex(0);
}

void TskSkinFilterComboBox::SetFileList(TskSkinFileListBox* Value)
{
  if (FFileList) {
    FFileList->FFilterCombo = nullptr;
    FFileList->RemoveFreeNotification(this);
  }
  FFileList = Value;
  if (FFileList) {
    FFileList->FreeNotification(this);
    FFileList->FFilterCombo = this;
  }
}

void TskSkinFilterComboBox::Notification(TComponent* AComponent, TOperation Operation)
{
  TskSkinComboBox::Notification(AComponent, Operation);
  if (Operation == opRemove && AComponent == FFileList)
    FFileList = nullptr;
}

String TskSkinFilterComboBox::GetMask()
{
  if (GetItemIndex() < 0 && GetItems()->GetCount() > 0)
    SetItemIndex(GetItems()->GetCount() - 1);
  const int i = GetItemIndex();
  if (i < 0 || i >= FMaskList.GetCount())
    return "*.*";
  return FMaskList.Get(i);
}

void TskSkinFilterComboBox::Change()
{
  if (FFileList)
    FFileList->SetMask(GetMask());
  TskSkinComboBox::Change();
}
