// The gallery families of the skinned hint, the images menu, the menu speed button and the tool
// bar (see tests/skin/support/SkinGallery.h); they show in every gallery run of this suite.
#include "skin/input/SkinHint.h"
#include "tests/skin/support/SkinGallery.h"

namespace {

// A hint window drawn in place (never shown as a window of its own).
class TGalleryHint : public TCustomControl {
public:
  using TCustomControl::TCustomControl;
  void SetSkinData(TskSkinData* Value) { FSkinData = Value; }

  // A hint of Text in the column's look, with Title as its bold title when not empty.
  void Setup(const String& Text, const String& Title)
  {
    // The hint window serves the hint components of the main form.
    Application->SetMainForm(dynamic_cast<TForm*>(GetOwner()));
    FTitle = Title;
    FHint = new TskSkinHint(GetOwner());
    FHint->SetSkinData(FSkinData);
    FHint->SetActive(true);
    FHint->TitleText = Title;
    FWindow = FHint->GetHintWindow();
    int w = 0, h = 0;
    if (FWindow->PrepareHint(Text, w, h))
      FWindow->SetBounds(0, 0, w, h);
  }

protected:
  void Paint() override
  {
    if (!FWindow)
      return;
    FHint->SetActive(true);
    FHint->TitleText = FWindow->RichMode ? FTitle : String();
    TBitmap b;
    b.SetPixelFormat(pf24bit);
    b.SetSize(FWindow->GetWidth(), FWindow->GetHeight());
    FWindow->PaintTo(b.GetCanvas());
    GetCanvas()->Draw(0, 0, &b);
  }

private:
  TskSkinData* FSkinData = nullptr;
  TskSkinHint* FHint = nullptr;
  TskSkinHintWindow* FWindow = nullptr;
  String FTitle;
};

TGalleryFamily Hints("Hints: three lines, and with a title", 80, [](TGalleryColumn& C) {
  C.Add<TGalleryHint>(0, 0, 140, 80)->Setup("Converts the list@with the chosen@profile", "");
  C.Add<TGalleryHint>(150, 0, 140, 80)->Setup("Stops after this file", "Stop");
});

} // namespace
