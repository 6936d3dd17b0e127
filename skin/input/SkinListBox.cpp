#include "skin/input/SkinListBox.h"

#include "skin/input/SkinListItems.h"

TskSkinCustomListBox::TskSkinCustomListBox(TComponent* AOwner) : TskSkinListFrame(AOwner)
{
  AttachListBox(new TskListBox(this));
  SetSkinDataName("listbox");
}

void TskSkinCustomListBox::SetHorizontalExtent(bool Value)
{
  FHorizontalExtent = Value;
  UpdateScrollBars();
}
