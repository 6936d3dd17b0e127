// The gallery of the skinned menus (see tests/skin/support/SkinGallery.h): a menu level with its
// entries in every state, drawn in place in the three looks; and a real menu with an open
// sub-menu shown on the X server, kept as a screenshot of the form and its menu windows.
#include "platform/gdi/PngFile.h"
#include "platform/rtl/Convert.h"
#include "skin/input/SkinMenu.h"
#include "tests/skin/support/SkinGallery.h"

namespace {

// A menu level drawn in place (never shown as a window of its own), with entries set up by the
// family and put in their states.
class TGalleryMenuLevel : public TCustomControl {
public:
  using TCustomControl::TCustomControl;
  void SetSkinData(TskSkinData* Value) { FSkinData = Value; }

  void Setup(const std::function<void(TPopupMenu*)>& Fill, const std::function<void(TskSkinPopupWindow*)>& States)
  {
    FManager = new TskSkinMenu(this, nullptr);
    FManager->SkinData = FSkinData;
    FManager->UseSkinFont = FSkinData != nullptr;
    FMenu = new TPopupMenu(this);
    Fill(FMenu);
    FLevel = new TskSkinPopupWindow(FManager, FSkinData && !FSkinData->Empty ? FSkinData->PopupWindow : nullptr);
    FLevel->Build(FMenu->GetItems(), nullptr, 0, false);
    States(FLevel);
  }

protected:
  void Paint() override
  {
    if (!FLevel)
      return;
    TBitmap b;
    b.SetPixelFormat(pf24bit);
    b.SetSize(FLevel->GetWidth(), FLevel->GetHeight());
    FLevel->PaintLevel(b.GetCanvas()->GetHandle());
    GetCanvas()->Draw(0, 0, &b);
  }

private:
  TskSkinData* FSkinData = nullptr;
  TskSkinMenu* FManager = nullptr;
  TPopupMenu* FMenu = nullptr;
  TskSkinPopupWindow* FLevel = nullptr;
};

TBitmap* Picture(TColor Color)
{
  static std::vector<std::unique_ptr<TBitmap>> keep;
  auto b = std::make_unique<TBitmap>();
  b->SetPixelFormat(pf24bit);
  b->SetSize(14, 14);
  b->GetCanvas()->GetBrush()->SetColor(0xFF00FF);
  b->GetCanvas()->FillRect(Rect(0, 0, 14, 14));
  b->GetCanvas()->GetBrush()->SetColor(Color);
  b->GetCanvas()->GetPen()->SetColor(Color);
  b->GetCanvas()->Ellipse(1, 1, 13, 13);
  b->SetTransparent(true);
  keep.push_back(std::move(b));
  return keep.back().get();
}

TMenuItem* Item(TPopupMenu* Menu, TMenuItem* Parent, const String& Caption, const String& Name = "")
{
  auto* i = new TMenuItem(Menu);
  i->SetCaption(Caption);
  if (!Name.empty())
    i->SetName(Name);
  Parent->Add(i);
  return i;
}

TGalleryFamily MenuEntries("Menu entries", 300, [](TGalleryColumn& C) {
  auto* level = C.Add<TGalleryMenuLevel>(0, 0, 280, 300);
  level->Setup(
      [](TPopupMenu* M) {
        TMenuItem* r = M->GetItems();
        Item(M, r, "-Options-")->SetEnabled(false);
        Item(M, r, "&Highlighted")->SetShortCut(ShortCut('O', TShiftState(ssCtrl)));
        Item(M, r, "Normal");
        Item(M, r, "Checked")->SetChecked(true);
        TMenuItem* radio = Item(M, r, "Radio");
        radio->SetRadioItem(true);
        radio->SetChecked(true);
        Item(M, r, "Image")->SetBitmap(Picture(0xC0742F));
        TMenuItem* ci = Item(M, r, "Checked image");
        ci->SetBitmap(Picture(0x2F9FC0));
        ci->SetChecked(true);
        Item(M, r, "Disabled")->SetEnabled(false);
        Item(M, r, "-");
        TMenuItem* sub = Item(M, r, "Sub-menu open");
        Item(M, sub, "Inner");
        Item(M, r, "Restore", "TRAY_SKF_RESTORE");
        Item(M, r, "Minimize to tray", "SKF_MINTOTRAY");
        Item(M, r, "Close", "SKF_CLOSE")->SetShortCut(ShortCut(VK_F4, TShiftState(ssAlt)));
      },
      [](TskSkinPopupWindow* L) {
        L->Item(1)->Active = true;
        L->Item(9)->Down = true;
      });
});

// Shows the form with a skinned popup menu opened on it (one sub-menu open) on the X server
// Display, and saves the screen area of the form and its menu windows to FileName.
void ShowMenuAndSave(TDisplayBackend* Display, const String& FileName)
{
  auto* holder = new TComponent(nullptr);
  auto* form = new TForm(nullptr);
  form->SetBorderStyle(bsNone);
  form->SetBounds(0, 0, 520, 360);
  auto* host = new TskSkinMenuHost(form);
  host->SetMenusSkinData(BuiltinSkinData(holder, TBuiltinSkin::bsControls));
  host->GetSkinMenu()->UseSkinFont = false;
  auto* menu = new TskSkinPopupMenu(form);
  TMenuItem* r = menu->GetItems();
  Item(menu, r, "&Open file...")->SetShortCut(ShortCut('O', TShiftState(ssCtrl)));
  TMenuItem* recent = Item(menu, r, "Recent folders");
  Item(menu, recent, "/home/user/Videos");
  Item(menu, recent, "/media/dvd");
  Item(menu, r, "-");
  Item(menu, r, "Show preview")->SetChecked(true);
  Item(menu, r, "Remove", "")->SetEnabled(false);
  Item(menu, r, "-");
  Item(menu, r, "Close", "SKF_CLOSE");
  form->Show();
  const auto pump = [&](int N) { PumpDisplay(Display, N); };
  pump(10);
  menu->Popup(40, 30);
  TskSkinMenu* manager = host->GetSkinMenu();
  ASSERT_EQ(1, manager->LevelCount());
  manager->LastLevel()->ProcessKey(VK_DOWN);
  manager->LastLevel()->ProcessKey(VK_RIGHT);
  ASSERT_EQ(2, manager->LevelCount());
  pump(30);
  // The form and every level, laid over each other at their screen places.
  TDibImage image;
  image.SetSize(520, 360, 24);
  std::vector<std::pair<TDisplayWindow, TPoint>> windows = {
      {GetDisplayWindow(form->GetHandle()), Point(form->GetLeft(), form->GetTop())}};
  for (TskSkinPopupWindow* l : manager->Levels)
    windows.push_back({GetDisplayWindow(l->GetHandle()), Point(l->GetLeft(), l->GetTop())});
  for (const auto& [window, at] : windows) {
    std::vector<std::uint32_t> pixels;
    int w = 0, h = 0;
    ASSERT_TRUE(Display->ReadPixels(window, pixels, w, h));
    for (int y = 0; y < h; ++y)
      for (int x = 0; x < w; ++x) {
        const int sx = at.x + x, sy = at.y + y;
        if (sx < 0 || sy < 0 || sx >= image.Width || sy >= image.Height)
          continue;
        const std::uint32_t p = pixels[static_cast<std::size_t>(y) * w + x];
        image.SetPixel(sx, sy, TDibColor{static_cast<std::uint8_t>(p), static_cast<std::uint8_t>(p >> 8),
                                         static_cast<std::uint8_t>(p >> 16), 0});
      }
  }
  SavePngToFile(image, FileName, false);
  manager->CloseMenu();
  delete form;
  delete holder;
  Application->ProcessMessages();
}

TEST(SkinMenuGallery, TheMenuEntriesOfEveryLookAreShownAndKeptAsAScreenshot)
{
  SkinGallery::RunSkinGallery(String(QV_TEST_BIN_DIR) + "/../skin-menu-gallery.png",
                              "SkinMenuGallery.TheMenuEntriesOfEveryLookAreShownAndKeptAsAScreenshot");
}

TEST(SkinMenuGallery, AnOpenMenuWithASubMenuIsKeptAsAScreenshot)
{
  const String file = String(QV_TEST_BIN_DIR) + "/../skin-menu-open.png";
  const TXvfbChild run = RunOnXvfbChild(
      "QV_SKIN_MENU_X11", [&](const char*, TDisplayBackend* Display) { ShowMenuAndSave(Display, file); }, false);
  if (run == TXvfbChild::NoServer)
    GTEST_SKIP() << "Xvfb is not available";
  if (run != TXvfbChild::Parent)
    return;
  EXPECT_TRUE(FileExists(file));
}

} // namespace
