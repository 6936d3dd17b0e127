// The gallery of the skinned lists (see tests/skin/support/SkinGallery.h): list boxes with more
// items than fit (their scroll bar), a selection, caption bars (on the skins' captioned list
// records, with and without caption buttons, also on a check list), tab stops and several
// selected items, a check list box with checked items, and combo boxes in fixed, edit and
// tool-button style, in the three looks.
#include "skin/input/SkinCheckListBox.h"
#include "skin/input/SkinComboBox.h"
#include "skin/input/SkinListBox.h"
#include "tests/skin/support/SkinGallery.h"

namespace {

void Fill(TStrings* Items, int Count, const char* Prefix)
{
  for (int i = 0; i < Count; ++i)
    Items->Add(String(Prefix) + " " + std::to_string(i + 1));
}

// Binds Control to the skin's record Name (the record is read when the skin data is set).
void UseRecord(TGalleryColumn& C, TskSkinControl* Control, const char* Name)
{
  Control->SetSkinDataName(Name);
  if (C.SkinData)
    Control->SetSkinData(C.SkinData);
}

TGalleryFamily ListBoxes("List boxes", 130, [](TGalleryColumn& C) {
  auto* list = C.Add<TskSkinListBox>(0, 0, 135, 125);
  Fill(list->GetItems(), 12, "Device");
  list->SetItemIndex(2);
  auto* checks = C.Add<TskSkinCheckListBox>(145, 0, 135, 125);
  Fill(checks->GetItems(), 5, "Title");
  checks->SetChecked(0, true);
  checks->SetChecked(2, true);
  checks->SetItemIndex(1);
});

TGalleryFamily ListBoxCaptions("List box caption, tab stops, multiple selection", 130, [](TGalleryColumn& C) {
  auto* caption = C.Add<TskSkinListBox>(0, 0, 135, 125);
  UseRecord(C, caption, "captionlistbox");
  caption->SetCaption("Folders");
  caption->SetCaptionMode(true);
  Fill(caption->GetItems(), 3, "Folder");
  caption->SetItemIndex(0);
  auto* tabs = C.Add<TskSkinListBox>(145, 0, 135, 125);
  TStringList widths;
  widths.Add("60");
  tabs->SetTabWidths(&widths);
  tabs->SetMultiSelect(true);
  tabs->GetItems()->Add("Video\tmpeg4");
  tabs->GetItems()->Add("Audio\tmp3");
  tabs->GetItems()->Add("Size\t320x240");
  tabs->GetListBox()->SetSelected(0, true);
  tabs->GetListBox()->SetSelected(2, true);
});

TGalleryFamily CheckListCaptions("Captions: check list box, list without caption buttons", 100, [](TGalleryColumn& C) {
  auto* checks = C.Add<TskSkinCheckListBox>(0, 0, 135, 95);
  UseRecord(C, checks, "captionchecklistbox");
  checks->SetCaption("Titles");
  checks->SetCaptionMode(true);
  Fill(checks->GetItems(), 3, "Title");
  checks->SetChecked(1, true);
  auto* plain = C.Add<TskSkinListBox>(145, 0, 135, 95);
  UseRecord(C, plain, "captionlistbox");
  plain->SetCaption("Presets");
  plain->SetCaptionMode(true);
  plain->SetShowCaptionButtons(false);
  Fill(plain->GetItems(), 3, "Preset");
  plain->SetItemIndex(2);
});

TGalleryFamily ComboBoxes("Combo boxes: fixed, edit, tool button, disabled", 60, [](TGalleryColumn& C) {
  auto* fixed = C.Add<TskSkinComboBox>(0, 0, 135, 20);
  Fill(fixed->GetItems(), 4, "Brand");
  fixed->SetItemIndex(1);
  auto* edit = C.Add<TskSkinComboBox>(145, 0, 135, 20);
  Fill(edit->GetItems(), 3, "Model");
  edit->SetStyle(spcbEditStyle);
  edit->SetItemIndex(2);
  auto* tool = C.Add<TskSkinComboBox>(0, 32, 135, 22);
  tool->SetToolButtonStyle(true);
  Fill(tool->GetItems(), 2, "Size");
  tool->SetItemIndex(0);
  auto* disabled = C.Add<TskSkinComboBox>(145, 32, 135, 20);
  Fill(disabled->GetItems(), 2, "Rate");
  disabled->SetItemIndex(0);
  disabled->SetEnabled(false);
});

TEST(SkinListGallery, TheListsOfEveryLookAreShownAndKeptAsAScreenshot)
{
  SkinGallery::RunSkinGallery(String(QV_TEST_BIN_DIR) + "/../skin-list-gallery.png",
                              "SkinListGallery.TheListsOfEveryLookAreShownAndKeptAsAScreenshot");
}

} // namespace
