// The gallery families of the skinned hint, the images menu, the menu speed button and the tool
// bar (see tests/skin/support/SkinGallery.h); they show in every gallery run of this suite.
#include "platform/rtl/Convert.h"
#include "skin/input/SkinHint.h"
#include "skin/input/SkinImagesMenu.h"
#include "skin/input/SkinMenuSpeedButton.h"
#include "skin/input/SkinToolBar.h"
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

// Small coloured squares for the images menu.
TImageList* GalleryImages(TComponent* Owner)
{
  auto* list = new TImageList(Owner);
  list->SetWidth(16);
  list->SetHeight(16);
  const TColor colors[] = {0x2F60C0, 0x40A040, 0xC07030, 0x3090D0, 0x9040A0, 0x808080};
  for (TColor c : colors) {
    TBitmap b;
    b.SetPixelFormat(pf24bit);
    b.SetSize(16, 16);
    b.GetCanvas()->GetBrush()->SetColor(clWhite);
    b.GetCanvas()->FillRect(Rect(0, 0, 16, 16));
    b.GetCanvas()->GetBrush()->SetColor(c);
    b.GetCanvas()->GetPen()->SetColor(c);
    b.GetCanvas()->Ellipse(1, 1, 15, 15);
    list->Add(&b, nullptr);
  }
  return list;
}

// An images menu's popup drawn in place (never shown as a window of its own): a header, a grid
// of six images (one chosen, one hot) and a button row.
class TGalleryImagesMenu : public TCustomControl {
public:
  using TCustomControl::TCustomControl;
  void SetSkinData(TskSkinData* Value) { FSkinData = Value; }
  void Setup()
  {
    FMenu = new TskSkinImagesMenu(GetOwner());
    FMenu->SetSkinData(FSkinData);
    FMenu->SetImages(GalleryImages(GetOwner()));
    FMenu->SetColumnsCount(3);
    TskImagesMenuItem* header = FMenu->GetImagesItems()->Add();
    header->SetHeader(true);
    header->SetCaption("Colours");
    for (int i = 0; i < 6; ++i)
      FMenu->GetImagesItems()->Add()->SetImageIndex(i);
    TskImagesMenuItem* button = FMenu->GetImagesItems()->Add();
    button->SetButton(true);
    button->SetImageIndex(5);
    button->SetCaption("More");
    FMenu->SetItemIndex(2);
    FWindow = std::make_unique<TskSkinImagesMenuPopupWindow>(FMenu);
    FWindow->LayoutAndSize();
    FWindow->HotIndex = 4;
  }

protected:
  void Paint() override
  {
    if (!FWindow)
      return;
    TBitmap b;
    b.SetPixelFormat(pf24bit);
    b.SetSize(FWindow->GetWidth(), FWindow->GetHeight());
    FWindow->PaintTo(b.GetCanvas());
    GetCanvas()->Draw(0, 0, &b);
  }

private:
  TskSkinData* FSkinData = nullptr;
  TskSkinImagesMenu* FMenu = nullptr;
  std::unique_ptr<TskSkinImagesMenuPopupWindow> FWindow;
};

TGalleryFamily ImagesMenus("Images menu: header, chosen, hot, button row", 150, [](TGalleryColumn& C) {
  C.Add<TGalleryImagesMenu>(0, 0, 200, 150)->Setup();
});

TGalleryFamily MenuSpeedButtons("Menu speed buttons: own record, tool, resize, new style", 60,
                                 [](TGalleryColumn& C) {
  auto* menu = new TskSkinPopupMenu(C.Form);
  const struct {
    const char* Record;
    bool NewStyle, Track;
  } looks[] = {{"toolmenubutton", false, false}, {"toolbutton", false, true}, {"resizebutton", false, true},
               {"resizetoolbutton", true, true}};
  int x = 0;
  for (const auto& l : looks) {
    auto* b = C.Add<TskSkinMenuSpeedButton>(x, 0, 66, 26);
    b->SetSkinDataName(l.Record);
    b->SetNewStyle(l.NewStyle);
    b->SetTrackButtonMode(l.Track);
    b->SetSkinPopupMenu(menu);
    b->SetCaption("Menu");
    if (C.SkinData)
      b->SetSkinData(C.SkinData);
    x += 72;
  }
  // Flat and idle, then with an arrow glyph.
  auto* flat = C.Add<TskSkinMenuSpeedButton>(0, 32, 66, 26);
  flat->SetFlat(true);
  flat->SetCaption("Flat");
  flat->SetSkinPopupMenu(menu);
  auto* arrow = C.Add<TskSkinMenuSpeedButton>(72, 32, 66, 26);
  arrow->SetSkinDataName("resizetoolbutton");
  arrow->UseArrowGlyph = true;
  arrow->ArrowDirection = 2;
  arrow->SetCaption("Next");
  arrow->SetSkinPopupMenu(menu);
  if (C.SkinData)
    arrow->SetSkinData(C.SkinData);
});

TGalleryFamily ToolBars("Tool bars: fitting, and scrolled with arrows", 70, [](TGalleryColumn& C) {
  for (int row = 0; row < 2; ++row) {
    auto* bar = new TskSkinToolBar(C.Form);
    bar->SetParent(C.Form);
    bar->SetBounds(C.Left, C.Top + row * 36, 280, 28);
    bar->SetCanScroll(row == 1);
    bar->SetScrollOffset(30);
    const int count = row == 0 ? 3 : 6;
    for (int i = 0; i < count; ++i) {
      auto* b = new TskSkinSpeedButton(C.Form);
      b->SetParent(bar);
      b->SetBounds(i * 62, 0, 60, 24);
      b->SetCaption("Tool " + IntToStr(i + 1));
    }
    if (C.SkinData)
      bar->SetSkinData(C.SkinData);
    bar->UpdateScrollButtons();
    if (row == 1)
      bar->ScrollStep(2);
  }
});

} // namespace
