// Gallery: the skinned tree view, list view (report with its skinned header, and list style)
// and rich edit, each with its linked skinned scroll bar, in the three looks.
#include "skin/controls/SkinScrollBar.h"
#include "skin/input/SkinListView.h"
#include "skin/input/SkinRichEdit.h"
#include "skin/input/SkinTreeView.h"
#include "tests/skin/support/SkinGallery.h"

namespace {

TskSkinScrollBar* AddBar(TGalleryColumn& C, TskScrollBarKind Kind, int X, int Y, int W, int H)
{
  auto* bar = new TskSkinScrollBar(C.Form);
  bar->SetParent(C.Form);
  bar->SetKind(Kind);
  bar->SetSkinDataName(Kind == sbVertical ? "vscrollbar" : "hscrollbar");
  bar->SetBounds(C.Left + X, C.Top + Y, W, H);
  if (C.SkinData)
    bar->SetSkinData(C.SkinData);
  return bar;
}

TGalleryFamily TreeViews("Tree views", 110, [](TGalleryColumn& C) {
  auto* tree = C.Add<TskSkinCustomTreeView>(0, 0, 154, 100);
  tree->SetVScrollBar(AddBar(C, sbVertical, 154, 0, 16, 100));
  TTreeNode* root = tree->GetItems()->Add(nullptr, "/home/ann");
  TTreeNode* videos = tree->GetItems()->AddChild(root, "Videos");
  for (int i = 1; i <= 9; ++i)
    tree->GetItems()->AddChild(videos, "Holiday " + std::to_string(i));
  tree->GetItems()->AddChild(root, "Music");
  root->Expand(false);
  videos->Expand(false);
  tree->SyncScrollBars();
  auto* small = C.Add<TskSkinCustomTreeView>(180, 0, 90, 100);
  small->GetItems()->Add(nullptr, "Desktop");
  small->GetItems()->Add(nullptr, "Documents");
});

TGalleryFamily ListViews("List views", 110, [](TGalleryColumn& C) {
  auto* report = C.Add<TskSkinCustomListView>(0, 0, 154, 100);
  report->SetViewStyle(vsReport);
  report->GetColumns()->Add()->SetCaption("Name");
  report->GetColumns()->GetItem(0)->SetWidth(90);
  report->GetColumns()->Add()->SetCaption("Size");
  report->GetColumns()->GetItem(1)->SetWidth(50);
  report->GetColumns()->GetItem(1)->SetAlignment(taRightJustify);
  report->SetVScrollBar(AddBar(C, sbVertical, 154, 0, 16, 100));
  for (int i = 1; i <= 9; ++i) {
    TListItem* item = report->GetItems()->Add();
    item->SetCaption("clip" + std::to_string(i) + ".mkv");
    item->GetSubItems()->Add(std::to_string(i * 12) + " MB");
  }
  report->SyncScrollBars();
  auto* list = C.Add<TskSkinCustomListView>(180, 0, 90, 80);
  list->SetViewStyle(vsList);
  list->SetHScrollBar(AddBar(C, sbHorizontal, 180, 80, 90, 16));
  for (int i = 1; i <= 12; ++i)
    list->GetItems()->Add()->SetCaption("File " + std::to_string(i));
  list->SyncScrollBars();
});

TGalleryFamily RichEdits("Rich edits", 100, [](TGalleryColumn& C) {
  auto* notes = C.Add<TskSkinRichEdit>(0, 0, 254, 90);
  notes->SetSkinSupport(true);
  if (C.SkinData)
    notes->SetSkinData(C.SkinData);
  notes->SetVScrollBar(AddBar(C, sbVertical, 254, 0, 16, 90));
  notes->SetContent("{\\rtf1\\ansi{\\fonttbl{\\f0 Arial;}}\\f0\\fs20{\\b Release notes}\\par "
                    "Version 3.0\\par {\\i New:} skinned views\\par Faster scans\\par Fixed crop\\par "
                    "Fixed audio delay\\par Fixed subtitles\\par Smaller files\\par}");
  notes->SyncScrollBars();
});

TEST(SkinViewGallery, TheViewsOfEveryLookAreShownAndKeptAsAScreenshot)
{
  SkinGallery::RunSkinGallery(String(QV_TEST_BIN_DIR) + "/../skin-view-gallery.png",
                              "SkinViewGallery.TheViewsOfEveryLookAreShownAndKeptAsAScreenshot");
}

} // namespace
