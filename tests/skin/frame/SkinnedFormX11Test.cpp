// The skinned frame on a real X server (a private Xvfb, in a child process with its own display
// backend), driven through XTest as a user would: the caption moves the window, a border sizes
// it while the button is held (by our own loop without a window manager, by the window manager
// where one runs), a double click on the caption maximises and restores, a skin with a mask
// shapes the window. The framed forms' looks join the gallery as PNG screenshots.
#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <atomic>
#include <cstdio>
#include <thread>

#include "platform/display/Screenshot.h"
#include "platform/rtl/Files.h"
#include "skin/controls/SkinButton.h"
#include "skin/controls/SkinPanel.h"
#include "skin/foundation/SkinDrawUtils.h"
#include "tests/skin/frame/SkinFrameTestSupport.h"
#include "tests/skin/frame/SkinFrameX11Support.h"
#include "tests/support/X11Probe.h"
#include "tests/support/XvfbChildRun.h"

namespace {

// Our small window manager (tests/tools/qv_movewm), started on the child's server.
class TMoveWm {
public:
  explicit TMoveWm(const char* Server)
  {
    int toChild[2], fromChild[2];
    if (pipe(toChild) != 0 || pipe(fromChild) != 0)
      return;
    FPid = fork();
    if (FPid == 0) {
      dup2(toChild[0], 0);
      dup2(fromChild[1], 1);
      close(toChild[1]);
      close(fromChild[0]);
      setenv("DISPLAY", Server, 1);
      const std::string tool = std::string(QV_TEST_BIN_DIR) + "/qv_movewm";
      execl(tool.c_str(), "qv_movewm", nullptr);
      _exit(127);
    }
    close(toChild[0]);
    close(fromChild[1]);
    FIn = toChild[1];
    FOut = fdopen(fromChild[0], "r");
  }
  ~TMoveWm()
  {
    if (FIn >= 0)
      close(FIn);
    if (FOut)
      fclose(FOut);
    if (FPid > 0) {
      kill(FPid, SIGTERM);
      waitpid(FPid, nullptr, 0);
    }
  }
  // The next line the window manager printed ("" at its end).
  std::string Line()
  {
    char buffer[256];
    if (!FOut || !fgets(buffer, sizeof buffer, FOut))
      return "";
    std::string line(buffer);
    while (!line.empty() && (line.back() == '\n' || line.back() == '\r'))
      line.pop_back();
    return line;
  }

private:
  pid_t FPid = -1;
  int FIn = -1;
  FILE* FOut = nullptr;
};

void MovesSizesAndMaximises(TDisplayBackend* Display, TX11Probe& X, bool WithWm)
{
  TBuiltinSkin skin = TBuiltinSkin::bsFrame;
  TFramedWindow w(Display, &skin);
  w.Form->Show();
  ASSERT_TRUE(PumpDisplayUntil(Display, [&] { return X.Viewable(w.Xid()); }));
  w.Pump(20);

  // The caption moves the window.
  w.Drag(X, 200, 14, 60, 40);
  EXPECT_TRUE(PumpDisplayUntil(Display, [&] { return w.Bounds().left == 160 && w.Bounds().top == 140; }))
      << w.Bounds().left << "," << w.Bounds().top;
  int l = 0, t = 0, r = 0, b = 0;
  ASSERT_TRUE(X.Bounds(w.Xid(), l, t, r, b));
  EXPECT_EQ(160, l);
  EXPECT_EQ(140, t);

  // The right border sizes it live: the frame is laid out anew while the button is still down.
  std::vector<int> liveWidths;
  w.Frame->OnChangeClientRect = [&](const TRect&) {
    if (w.Frame->InMoveSizeLoop())
      liveWidths.push_back(w.Frame->FrameWidth);
  };
  w.Drag(X, 398, 150, 80, 0);
  EXPECT_TRUE(PumpDisplayUntil(Display, [&] { return w.Form->GetWidth() == 480; })) << w.Form->GetWidth();
  ASSERT_FALSE(liveWidths.empty());
  EXPECT_GT(liveWidths.front(), 400);
  EXPECT_EQ(480, liveWidths.back());
  EXPECT_EQ(472, w.Form->GetClientWidth());
  for (TskActiveSkinObject* o : w.Frame->Objects()) {
    if (o->IDName == "closebutton") {
      EXPECT_EQ(TRect(456, 5, 474, 23), o->ObjectRect);
    }
  }
  w.Frame->OnChangeClientRect = nullptr;

  // The bottom-left corner cannot make it smaller than the skin allows.
  w.Drag(X, 1, 298, 600, -600);
  EXPECT_TRUE(PumpDisplayUntil(Display, [&] { return w.Form->GetWidth() == 160 && w.Form->GetHeight() == 32; }))
      << w.Form->GetWidth() << " x " << w.Form->GetHeight();
  w.Form->SetBounds(100, 100, 400, 300);
  w.Pump(10);

  if (!WithWm) {
    // A double click on the caption maximises to the work area and restores.
    const TRect before = w.Bounds();
    w.DoubleClick(X, 200, 14);
    TRect area{}, monitor{};
    GetMonitorArea(w.Form->GetHandle(), true, area);
    GetMonitorArea(w.Form->GetHandle(), false, monitor);
    // Without a panel (work area = monitor = screen) a one-pixel edge stays free, as for an
    // auto-hidden panel.
    if (area == monitor)
      InflateRect(&area, -1, -1);
    EXPECT_TRUE(PumpDisplayUntil(Display, [&] { return w.Frame->GetSkinWindowState() == wsMaximized; }));
    EXPECT_EQ(area, w.Bounds());
    w.DoubleClick(X, 200, 14);
    EXPECT_TRUE(PumpDisplayUntil(Display, [&] { return w.Frame->GetSkinWindowState() == wsNormal; }));
    EXPECT_EQ(before, w.Bounds());
  }
}

} // namespace

TEST(SkinnedFormX11, CaptionMovesBorderSizesDoubleClickMaximises)
{
  const TXvfbChild run = RunOnXvfbChild("QV_SKIN_FRAME_X11", [](const char* Server, TDisplayBackend* Display) {
    TX11Probe x(Server);
    ASSERT_TRUE(x.Connected());
    MovesSizesAndMaximises(Display, x, false);
  });
  if (run == TXvfbChild::NoServer)
    GTEST_SKIP() << "Xvfb is not available";
}

TEST(SkinnedFormX11, WindowManagerMovesAndSizes)
{
  const TXvfbChild run = RunOnXvfbChild("QV_SKIN_FRAME_WM_X11", [](const char* Server, TDisplayBackend* Display) {
    TX11Probe x(Server);
    ASSERT_TRUE(x.Connected());
    TMoveWm wm(Server);
    ASSERT_EQ("ready", wm.Line());
    MovesSizesAndMaximises(Display, x, true);
    // The window manager did the moving and sizing.
    EXPECT_EQ("moveresize 8", wm.Line());
    EXPECT_EQ("done 160 140 400 300", wm.Line());
    EXPECT_EQ("moveresize 3", wm.Line());
    EXPECT_EQ("done 160 140 480 300", wm.Line());
    EXPECT_EQ("moveresize 6", wm.Line());
  });
  if (run == TXvfbChild::NoServer)
    GTEST_SKIP() << "Xvfb is not available";
}

TEST(SkinnedFormX11, MaskedSkinShapesTheWindow)
{
  const TXvfbChild run = RunOnXvfbChild("QV_SKIN_FRAME_SHAPE_X11", [](const char* Server, TDisplayBackend* Display) {
    TX11Probe x(Server);
    ASSERT_TRUE(x.Connected());
    TFramedWindow w(Display, nullptr, 100, 100, 200, 100);
    auto* skin = new TskSkinData(w.Holder);
    auto picture = SolidPicture(100, 60, clNavy);
    FillArea(picture.get(), Rect(5, 20, 95, 55), clSilver);
    auto mask = SolidPicture(100, 60, clBlack);
    for (const TRect& r : {Rect(0, 0, 6, 6), Rect(94, 0, 100, 6)})
      FillArea(mask.get(), r, clWhite);
    FillFrameSkin(skin, picture.get(), mask.get(),
                  "[FORMINFO]\nlefttoppoint=5,20\nrighttoppoint=95,20\nleftbottompoint=5,55\n"
                  "rightbottompoint=95,55\nclientrect=5,20,95,55\nborderwidth=3\n");
    w.Frame->SetSkinData(skin);
    w.Form->Show();
    ASSERT_TRUE(PumpDisplayUntil(Display, [&] { return x.Viewable(w.Xid()); }));
    w.Pump(10);
    std::vector<int> rects;
    ASSERT_TRUE(x.Shape(w.Xid(), rects));
    auto covered = [&rects](int Px, int Py) {
      for (std::size_t i = 0; i + 3 < rects.size(); i += 4)
        if (Px >= rects[i] && Px < rects[i + 2] && Py >= rects[i + 1] && Py < rects[i + 3])
          return true;
      return false;
    };
    EXPECT_FALSE(covered(1, 1));
    EXPECT_FALSE(covered(198, 1));
    EXPECT_TRUE(covered(10, 10));
    EXPECT_TRUE(covered(1, 98));
    EXPECT_TRUE(covered(100, 50));
    // Wider: the shape follows, the cut corner stays at the right edge.
    w.Form->SetBounds(100, 100, 300, 150);
    w.Pump(10);
    ASSERT_TRUE(x.Shape(w.Xid(), rects));
    EXPECT_FALSE(covered(298, 1));
    EXPECT_TRUE(covered(250, 10));
  });
  if (run == TXvfbChild::NoServer)
    GTEST_SKIP() << "Xvfb is not available";
}

// ---- Gallery ----

namespace {

void SaveFramedLooks(TDisplayBackend* Display)
{
  struct TLook {
    const char* Name;
    bool Skinned;
    TBuiltinSkin Skin;
  } const looks[] = {{"frameskin", true, TBuiltinSkin::bsFrame},
                     {"controlsskin", true, TBuiltinSkin::bsControls},
                     {"default", false, TBuiltinSkin::bsFrame}};
  for (const TLook& look : looks) {
    TBuiltinSkin skin = look.Skin;
    TFramedWindow w(Display, look.Skinned ? &skin : nullptr, 40, 40, 420, 260);
    TskSkinData* controls = BuiltinSkinData(w.Holder, TBuiltinSkin::bsControls);
    auto* panel = new TskSkinPanel(w.Form);
    panel->SetParent(w.Form);
    panel->SetBounds(12, 12, 220, 120);
    panel->SetSkinData(controls);
    auto* button = new TskSkinButton(w.Form);
    button->SetParent(w.Form);
    button->SetBounds(250, 20, 90, 25);
    button->SetCaption("Convert");
    button->SetSkinData(controls);
    w.Form->Show();
    PumpDisplay(Display, 30);
    const String base = String(QV_TEST_BIN_DIR) + "/../skin-frame-" + look.Name;
    DeleteFile(base + "-active.png");
    EXPECT_TRUE(w.Frame->IsFormActive());
    EXPECT_TRUE(SaveWindowPng(*Display, GetDisplayWindow(w.Form->GetHandle()), base + "-active.png"));
    auto* other = new TForm(nullptr);
    other->SetBounds(600, 500, 100, 100);
    other->Show();
    PumpDisplay(Display, 30);
    EXPECT_FALSE(w.Frame->IsFormActive());
    DeleteFile(base + "-inactive.png");
    EXPECT_TRUE(SaveWindowPng(*Display, GetDisplayWindow(w.Form->GetHandle()), base + "-inactive.png"));
    delete other;
  }
}

} // namespace

TEST(SkinnedFormX11, GalleryOfFramedForms)
{
  const TXvfbChild run = RunOnXvfbChild("QV_SKIN_FRAME_GALLERY_X11",
                                        [](const char*, TDisplayBackend* Display) { SaveFramedLooks(Display); });
  if (run == TXvfbChild::NoServer)
    GTEST_SKIP() << "Xvfb is not available";
  if (run == TXvfbChild::Parent) {
    EXPECT_TRUE(FileExists(String(QV_TEST_BIN_DIR) + "/../skin-frame-frameskin-active.png"));
  }
}
