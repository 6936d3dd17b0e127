// The skinned menu bar of a framed form on a private Xvfb, driven through XTest: a click opens a
// menu and a click on its entry runs the command; Alt, Down and Enter do the same by keyboard.
// The bar in both built-in skins joins the gallery as PNG screenshots.
#include <unistd.h>

#include "platform/display/Screenshot.h"
#include "platform/rtl/Files.h"
#include "skin/frame/SkinMainMenuBar.h"
#include "skin/input/SkinMenuItem.h"
#include "tests/skin/frame/SkinFrameX11Support.h"

namespace {

constexpr unsigned long KsAltL = 0xffe9;

struct TBarWindow {
  TFramedWindow W;
  TskSkinMainMenuBar* Bar;
  int Opened = 0;
  int Saved = 0;

  TBarWindow(TDisplayBackend* Display, TBuiltinSkin Skin) : W(Display, &Skin)
  {
    auto* menu = new TMainMenu(W.Form);
    TMenuItem* root = menu->GetItems();
    auto add = [](TMenuItem* Parent, const char* Caption) {
      auto* item = new TMenuItem(Parent);
      item->SetCaption(Caption);
      Parent->Add(item);
      return item;
    };
    TMenuItem* file = add(root, "&File");
    add(file, "&Open")->OnClick = [this](TObject*) { ++Opened; };
    add(file, "&Save")->OnClick = [this](TObject*) { ++Saved; };
    add(root, "&Edit");
    add(root, "&View");
    add(root, "&Help");
    Bar = new TskSkinMainMenuBar(W.Form);
    Bar->SetParent(W.Form);
    Bar->SetSkinData(BuiltinSkinData(W.Holder, TBuiltinSkin::bsControls));
    Bar->SetSkinnedForm(W.Frame);
    Bar->SetMainMenu(menu);
    W.Frame->SetMainMenuBar(Bar);
  }
  TPoint ItemCentre(int I) const
  {
    const TRect& r = Bar->Objects().at(I)->ObjectBounds;
    return Bar->ClientToScreen(TPoint{(r.left + r.right) / 2, (r.top + r.bottom) / 2});
  }
  void Click(TX11Probe& X, TPoint P)
  {
    W.Play([&] {
      X.MoveTo(P.x, P.y);
      usleep(80000);
      X.Click(1);
      usleep(150000);
    });
  }
};

void OpensByMouseAndKeyboard(TDisplayBackend* Display, TX11Probe& X)
{
  TBarWindow b(Display, TBuiltinSkin::bsFrame);
  b.W.Form->Show();
  ASSERT_TRUE(PumpDisplayUntil(Display, [&] { return X.Viewable(b.W.Xid()); }));
  b.W.Pump(20);
  TskSkinMenu* engine = b.W.Frame->GetSkinMenu();

  b.Click(X, b.ItemCentre(0));
  ASSERT_TRUE(PumpDisplayUntil(Display, [&] { return engine->Visible; }));
  TskSkinPopupWindow* level = engine->LastLevel();
  ASSERT_NE(nullptr, level);
  const TRect r = level->Item(1)->ObjectRect; // "&Save"
  b.Click(X, TPoint{level->GetLeft() + (r.left + r.right) / 2, level->GetTop() + (r.top + r.bottom) / 2});
  EXPECT_TRUE(PumpDisplayUntil(Display, [&] { return b.Saved == 1; }));
  EXPECT_FALSE(engine->Visible);
  EXPECT_FALSE(b.W.Frame->MainMenuMode);

  // Alt lights the first item, Down opens it, Down again selects its first entry, Enter runs it.
  for (unsigned long key : {KsAltL, KsDown, KsDown, KsReturn}) {
    b.W.Play([&] {
      X.KeyTap(key);
      usleep(150000);
    });
    if (key == KsAltL) {
      EXPECT_TRUE(PumpDisplayUntil(Display, [&] { return b.W.Frame->MainMenuMode; }));
    } else if (key == KsDown) {
      EXPECT_TRUE(PumpDisplayUntil(Display, [&] { return engine->Visible; }));
    }
  }
  EXPECT_TRUE(PumpDisplayUntil(Display, [&] { return b.Opened == 1; }));
  EXPECT_FALSE(b.W.Frame->MainMenuMode);
}

void SaveBarLooks(TDisplayBackend* Display, TX11Probe& X)
{
  for (TBuiltinSkin skin : {TBuiltinSkin::bsFrame, TBuiltinSkin::bsControls}) {
    TBarWindow b(Display, skin);
    b.Bar->SetSkinData(BuiltinSkinData(b.W.Holder, skin));
    b.W.Form->Show();
    ASSERT_TRUE(PumpDisplayUntil(Display, [&] { return X.Viewable(b.W.Xid()); }));
    b.W.Pump(20);
    // The second item lit under the pointer.
    b.W.Play([&] {
      const TPoint p = b.ItemCentre(1);
      X.MoveTo(p.x, p.y);
      usleep(200000);
    });
    b.W.Pump(20);
    const String file = String(QV_TEST_BIN_DIR) + "/../skin-menubar-" +
                        (skin == TBuiltinSkin::bsFrame ? "frameskin" : "controlsskin") + ".png";
    DeleteFile(file);
    EXPECT_TRUE(SaveWindowPng(*Display, GetDisplayWindow(b.W.Form->GetHandle()), file));
    EXPECT_TRUE(FileExists(file)) << file;
  }
}

} // namespace

TEST(SkinMainMenuBarX11, OpensAndChoosesByMouseAndKeyboard)
{
  const TXvfbChild run = RunOnXvfbChild("QV_SKIN_MENUBAR_X11", [](const char* Server, TDisplayBackend* Display) {
    TX11Probe x(Server);
    ASSERT_TRUE(x.Connected());
    OpensByMouseAndKeyboard(Display, x);
  });
  if (run == TXvfbChild::NoServer)
    GTEST_SKIP() << "Xvfb is not available";
}

TEST(SkinMainMenuBarX11, GalleryOfMenuBars)
{
  const TXvfbChild run = RunOnXvfbChild("QV_SKIN_MENUBAR_GALLERY_X11", [](const char* Server, TDisplayBackend* Display) {
    TX11Probe x(Server);
    ASSERT_TRUE(x.Connected());
    SaveBarLooks(Display, x);
  });
  if (run == TXvfbChild::NoServer)
    GTEST_SKIP() << "Xvfb is not available";
}
