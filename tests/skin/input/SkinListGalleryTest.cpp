// The gallery of the skinned lists (see tests/skin/support/SkinGallery.h): list boxes with more
// items than fit (their scroll bar), a selection, a caption bar, tab stops and several selected
// items, and a check list box with checked items, in the three looks.
#include "skin/input/SkinCheckListBox.h"
#include "skin/input/SkinListBox.h"
#include "tests/skin/support/SkinGallery.h"

namespace {

void Fill(TStrings* Items, int Count, const char* Prefix)
{
  for (int i = 0; i < Count; ++i)
    Items->Add(String(Prefix) + " " + std::to_string(i + 1));
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

TEST(SkinListGallery, TheListsOfEveryLookAreShownAndKeptAsAScreenshot)
{
  SkinGallery::RunSkinGallery(String(QV_TEST_BIN_DIR) + "/../skin-list-gallery.png",
                              "SkinListGallery.TheListsOfEveryLookAreShownAndKeptAsAScreenshot");
}

} // namespace
