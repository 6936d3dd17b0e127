// The caption buttons of the program's frame skin on a real X server (a private Xvfb), driven
// through XTest: the pointer hovers over each button (hot look), presses it (pressed look) and
// releases it (the button's window operation). The hot and pressed looks, and a form framed by a
// skin carrying value objects, labels and main-menu items, join the gallery.
#include <unistd.h>

#include <atomic>
#include <thread>

#include "platform/display/Screenshot.h"
#include "platform/rtl/Files.h"
#include "tests/skin/frame/ObjectFrameSkin.h"
#include "tests/support/X11Probe.h"
#include "tests/support/XvfbChildRun.h"

namespace {

// A form framed by Skin (owned by Holder) at (40, 40), 420 x 200.
struct TButtonWindow {
  TDisplayBackend* Display;
  TComponent* Holder = new TComponent(nullptr);
  TForm* Form = new TForm(nullptr);
  TskSkinnedForm* Frame = nullptr;

  TButtonWindow(TDisplayBackend* ADisplay, TskSkinData* (*MakeSkin)(TComponent*), bool NCArea = true)
      : Display(ADisplay)
  {
    Form->SetBounds(40, 40, 420, 200);
    Form->SetCaption("Quelvo 3 - caption buttons");
    Frame = new TskSkinnedForm(Form);
    Frame->SetSupportNCArea(NCArea);
    Frame->SetSkinData(MakeSkin(Holder));
  }
  ~TButtonWindow()
  {
    delete Form;
    delete Holder;
    Application->ProcessMessages();
  }
  // Plays the pointer Steps on another thread while this one handles messages.
  void Play(const std::function<void()>& Steps) const
  {
    std::atomic<bool> done{false};
    std::thread user([&] {
      Steps();
      usleep(120000);
      done = true;
    });
    while (!done)
      PumpDisplay(Display, 2);
    user.join();
    PumpDisplay(Display, 10);
  }
  // The pixel at window point (X, Y) as RGB.
  COLORREF Pixel(int X, int Y) const
  {
    std::vector<std::uint32_t> pixels;
    int w = 0, h = 0;
    if (!Display->ReadPixels(GetDisplayWindow(Form->GetHandle()), pixels, w, h) || X >= w || Y >= h)
      return CLR_INVALID;
    const std::uint32_t p = pixels[static_cast<std::size_t>(Y * w + X)];
    return RGB((p >> 16) & 0xFF, (p >> 8) & 0xFF, p & 0xFF);
  }
  TPoint Centre(TskActiveSkinObject* Obj) const
  {
    return TPoint{40 + (Obj->ObjectRect.left + Obj->ObjectRect.right) / 2,
                  40 + (Obj->ObjectRect.top + Obj->ObjectRect.bottom) / 2};
  }
  void Save(const String& Name) const
  {
    const String file = String(QV_TEST_BIN_DIR) + "/../skin-frame-" + Name + ".png";
    DeleteFile(file);
    EXPECT_TRUE(SaveWindowPng(*Display, GetDisplayWindow(Form->GetHandle()), file));
  }
};

TskSkinData* ProgramFrameSkin(TComponent* Owner) { return BuiltinSkinData(Owner, TBuiltinSkin::bsFrame); }

void HoverPressReleaseEachButton(TDisplayBackend* Display, TX11Probe& X)
{
  struct TCase {
    const char* Name;
    const char* Effect;
  } const cases[] = {{"closebutton", "closed"},    {"maxbutton", "maximized"}, {"minbutton", "minimized"},
                     {"rollupbutton", "rolled up"}, {"sysmenubutton", "none"}};
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.Name);
    TButtonWindow w(Display, ProgramFrameSkin);
    w.Form->Show();
    PumpDisplay(Display, 30);
    auto* button = FrameObject<TskSkinStdButtonObject>(w.Frame, c.Name);
    ASSERT_NE(nullptr, button);
    ASSERT_TRUE(button->Visible);
    const TPoint p = w.Centre(button);
    const TPoint corner{button->ObjectRect.left + 2, button->ObjectRect.top + 2};
    const COLORREF normal = w.Pixel(corner.x, corner.y);
    // Hover: hot through the hit test and the mouse timer.
    w.Play([&] { X.MoveTo(p.x, p.y); });
    EXPECT_TRUE(PumpDisplayUntil(Display, [&] { return button->Active; }));
    const COLORREF hot = w.Pixel(corner.x, corner.y);
    if (c.Name == String("closebutton")) {
      EXPECT_NE(normal, hot);
      w.Save("caption-button-hot");
    }
    // Press: the pressed look.
    w.Play([&] { X.Press(1); });
    EXPECT_TRUE(button->Down);
    if (c.Name == String("closebutton")) {
      EXPECT_NE(hot, w.Pixel(corner.x, corner.y));
      w.Save("caption-button-pressed");
    }
    // Release over the button: its window operation.
    w.Play([&] { X.Release(1); });
    String effect = "none";
    if (!w.Form->GetVisible())
      effect = "closed";
    else if (w.Frame->GetSkinWindowState() == wsMaximized)
      effect = "maximized";
    else if (w.Frame->GetSkinWindowState() == wsMinimized)
      effect = "minimized";
    else if (w.Frame->GetRollUpState())
      effect = "rolled up";
    EXPECT_EQ(c.Effect, effect);
    if (c.Name == String("sysmenubutton"))
      EXPECT_TRUE(w.Frame->GetMenuOpenFlag()) << "the system button opens the system menu and stays down with it";
    else
      EXPECT_FALSE(button->Down);
    w.Play([&] { X.MoveTo(5, 5); });
  }
}

void SaveObjectSkinLook(TDisplayBackend* Display)
{
  TButtonWindow w(Display, ObjectFrameSkin);
  auto* menu = new TMainMenu(w.Form);
  for (const char* caption : {"File", "Edit", "View"}) {
    auto* item = new TMenuItem(menu);
    item->SetCaption(caption);
    menu->GetItems()->Add(item);
  }
  w.Frame->SetMainMenu(menu);
  w.Form->Show();
  PumpDisplay(Display, 30);
  w.Save("objects-skin");
  // Drawn inside the client area (the whole window), the value objects and labels show too.
  TButtonWindow c(Display, ObjectFrameSkin, false);
  c.Form->SetBorderStyle(bsNone);
  FrameObject<TskSkinGaugeObject>(c.Frame, "progress")->Value = 60;
  FrameObject<TskSkinFrameGaugeObject>(c.Frame, "level")->Value = 40;
  c.Form->Show();
  PumpDisplay(Display, 30);
  c.Save("objects-skin-client-drawn");
}

} // namespace

TEST(SkinFrameButtonsX11, HoverPressAndReleaseEachCaptionButton)
{
  const TXvfbChild run =
      RunOnXvfbChild("QV_SKIN_FRAME_BUTTONS_X11", [](const char* Server, TDisplayBackend* Display) {
        TX11Probe x(Server);
        ASSERT_TRUE(x.Connected());
        HoverPressReleaseEachButton(Display, x);
        SaveObjectSkinLook(Display);
      });
  if (run == TXvfbChild::NoServer)
    GTEST_SKIP() << "Xvfb is not available";
  if (run == TXvfbChild::Parent) {
    EXPECT_TRUE(FileExists(String(QV_TEST_BIN_DIR) + "/../skin-frame-caption-button-hot.png"));
    EXPECT_TRUE(FileExists(String(QV_TEST_BIN_DIR) + "/../skin-frame-caption-button-pressed.png"));
  }
}
