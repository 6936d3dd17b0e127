// The gallery of the skinned edits (see tests/skin/support/SkinGallery.h): edits, button edits,
// spin edits and memos in their states, in the three looks.
#include "skin/controls/SkinScrollBar.h"
#include "skin/input/SkinEdit.h"
#include "skin/input/SkinMemo.h"
#include "skin/input/SkinSpinEdit.h"
#include "tests/skin/support/SkinGallery.h"

namespace {

TGalleryFamily Edits("Edits, and button edits in four states", 120, [](TGalleryColumn& C) {
  auto* plain = C.Add<TskSkinEdit>(0, 0, 130, 20);
  plain->SetText("/home/ann/Videos");
  auto* hot = C.Add<TskSkinEdit>(140, 0, 130, 20);
  hot->SetText("Hot");
  hot->Perform(CM_MOUSEENTER, 0, 0);
  auto buttonEdit = [&](int X, int Y, const char* Text) {
    auto* button = new TskSkinEdit(C.Form);
    button->SetSkinDataName("buttonedit");
    button->SetButtonMode(true);
    button->SetParent(C.Form);
    button->SetBounds(C.Left + X, C.Top + Y, 130, 20);
    if (C.SkinData)
      button->SetSkinData(C.SkinData);
    button->SetText(Text);
    return button;
  };
  buttonEdit(0, 30, "Button edit");
  auto* disabled = C.Add<TskSkinEdit>(140, 30, 130, 20);
  disabled->SetText("Disabled");
  disabled->SetEnabled(false);
  // The button's hit code (6) makes it hot; a press on it holds it down.
  buttonEdit(0, 60, "Hot button")->Perform(WM_NCMOUSEMOVE, 6, 0);
  auto* pressed = buttonEdit(140, 60, "Pressed button");
  pressed->Perform(WM_NCMOUSEMOVE, 6, 0);
  pressed->Perform(WM_NCLBUTTONDOWN, 6, 0);
  buttonEdit(0, 90, "Disabled button")->SetEnabled(false);
});

TGalleryFamily SpinEdits("Spin edits", 30, [](TGalleryColumn& C) {
  auto* whole = C.Add<TskSkinSpinEdit>(0, 0, 80, 20);
  whole->SetMaxValue(5000);
  whole->SetValue(1200);
  auto* fraction = C.Add<TskSkinSpinEdit>(90, 0, 80, 20);
  fraction->SetValueType(vtFloat);
  fraction->SetValue(23.976);
  auto* disabled = C.Add<TskSkinSpinEdit>(180, 0, 80, 20);
  disabled->SetValue(7);
  disabled->SetEnabled(false);
});

TGalleryFamily Memos("Memos", 90, [](TGalleryColumn& C) {
  auto* log = C.Add<TskSkinMemo>(0, 0, 154, 80);
  auto* bar = new TskSkinScrollBar(C.Form);
  bar->SetParent(C.Form);
  bar->SetKind(sbVertical);
  bar->SetSkinDataName("vscrollbar");
  bar->SetBounds(C.Left + 154, C.Top, 16, 80);
  if (C.SkinData)
    bar->SetSkinData(C.SkinData);
  log->SetVScrollBar(bar);
  log->GetLines()->Add("mencoder a.mkv -o a.avi");
  for (int i = 1; i <= 8; ++i)
    log->GetLines()->Add("Pos: " + std::to_string(i * 10) + ".0s " + std::to_string(i * 250) + "f (" +
                         std::to_string(i * 11) + "%)");
  log->GetLines()->Add("Video stream: 1200 kbit/s");
  auto* readOnly = C.Add<TskSkinMemo>(180, 0, 90, 80);
  readOnly->SetReadOnly(true);
  readOnly->SetText("Read-only information text");
});

TEST(SkinEditGallery, TheEditsOfEveryLookAreShownAndKeptAsAScreenshot)
{
  SkinGallery::RunSkinGallery(String(QV_TEST_BIN_DIR) + "/../skin-edit-gallery.png",
                              "SkinEditGallery.TheEditsOfEveryLookAreShownAndKeptAsAScreenshot");
}

} // namespace
