#include <gtest/gtest.h>

#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <memory>
#include <vector>

#include "platform/display/X11Display.h"
#include "skin/foundation/SkinBitmap.h"
#include "skin/foundation/SkinLayered.h"
#include "tests/platform/display/XvfbServer.h"
#include "tests/platform/vcl/VclTestSupport.h"

namespace {

// A picture of W x 1 pixels in Color, and a mask whose pixel i is the grey level Levels[i].
std::unique_ptr<TBitmap> Solid(int W, TColor Color)
{
  auto b = std::make_unique<TBitmap>();
  b->SetPixelFormat(pf24bit);
  b->SetSize(W, 1);
  b->GetCanvas()->GetBrush()->SetColor(Color);
  b->GetCanvas()->FillRect(TRect{0, 0, W, 1});
  return b;
}

std::unique_ptr<TBitmap> Greys(const std::vector<int>& Levels)
{
  auto b = Solid(static_cast<int>(Levels.size()), clBlack);
  for (std::size_t i = 0; i < Levels.size(); ++i)
    b->GetCanvas()->SetPixels(static_cast<int>(i), 0, static_cast<TColor>(RGB(Levels[i], Levels[i], Levels[i])));
  return b;
}

} // namespace

class SkinLayeredTest : public TVclWindowTest {
protected:
  // The composed screen pixel at (X, Y) as 0xRRGGBB.
  std::uint32_t Screen(int X, int Y)
  {
    std::vector<std::uint32_t> pixels;
    int w = 0, h = 0;
    Display()->ComposeScreen(pixels, w, h);
    return pixels[static_cast<std::size_t>(Y * w + X)] & 0xFFFFFF;
  }
};

TEST_F(SkinLayeredTest, ShowFadesInToTheTargetAndHideRemovesTheWindow)
{
  TskLayerManager manager(nullptr);
  EXPECT_TRUE(manager.TopMost);
  EXPECT_FALSE(manager.GetTimer()->GetEnabled());
  EXPECT_EQ(25u, manager.GetTimer()->GetInterval());

  auto picture = Solid(3, clRed);
  auto mask = Greys({255, 128, 0});
  manager.Show(300, 200, picture.get(), mask.get(), 255);
  TskLayerWindow* window = manager.GetWindow();
  ASSERT_NE(nullptr, window);
  HWND wnd = window->GetHandle();
  EXPECT_TRUE(IsWindowVisible(wnd));
  // Exactly a popup (the window system adds the sibling clipping of every top-level window).
  EXPECT_EQ(static_cast<LONG>(WS_POPUP),
            GetWindowLongA(wnd, GWL_STYLE) & ~static_cast<LONG>(WS_VISIBLE | WS_CLIPSIBLINGS));
  const LONG ex = GetWindowLongA(wnd, GWL_EXSTYLE);
  EXPECT_TRUE(ex & WS_EX_LAYERED);
  EXPECT_TRUE(ex & WS_EX_TOOLWINDOW);
  EXPECT_TRUE(ex & WS_EX_TOPMOST);
  EXPECT_EQ(MA_NOACTIVATE, SendMessageA(wnd, WM_MOUSEACTIVATE, 0, 0));
  RECT r{};
  GetWindowRect(wnd, &r);
  EXPECT_EQ((RECT{300, 200, 303, 201}), r);
  // Alpha from the mask: Trunc((r + g + b) / 3).
  ASSERT_NE(nullptr, manager.GetBitmap());
  EXPECT_EQ(0xFFFF0000u, manager.GetBitmap()->GetPixel(0, 0));
  EXPECT_EQ(0x80FF0000u, manager.GetBitmap()->GetPixel(1, 0));
  EXPECT_EQ(0x00FF0000u, manager.GetBitmap()->GetPixel(2, 0));

  // Shown at constant alpha 0 first.
  Pump();
  EXPECT_EQ(0u, Screen(300, 200));
  EXPECT_TRUE(manager.GetTimer()->GetEnabled());
  std::vector<int> steps;
  for (int i = 0; i < 11; ++i) {
    manager.FadeStep();
    steps.push_back(manager.GetCurrentAlpha());
  }
  EXPECT_EQ((std::vector<int>{25, 50, 75, 100, 125, 150, 175, 200, 225, 250, 255}), steps);
  EXPECT_FALSE(manager.GetTimer()->GetEnabled());
  Pump();
  // Colours reach the window premultiplied by their alpha.
  EXPECT_EQ(0xFF0000u, Screen(300, 200));
  EXPECT_EQ(0x800000u, Screen(301, 200));
  EXPECT_EQ(0u, Screen(302, 200));

  // A second Show replaces the window.
  manager.TopMost = false;
  manager.Show(310, 200, picture.get(), mask.get(), 100);
  EXPECT_FALSE(IsWindow(wnd));
  ASSERT_NE(nullptr, manager.GetWindow());
  EXPECT_FALSE(GetWindowLongA(manager.GetWindow()->GetHandle(), GWL_EXSTYLE) & WS_EX_TOPMOST);
  EXPECT_EQ(10, manager.GetAlphaStep());

  HWND second = manager.GetWindow()->GetHandle();
  manager.Hide();
  EXPECT_FALSE(IsWindow(second));
  EXPECT_EQ(nullptr, manager.GetWindow());
  EXPECT_EQ(nullptr, manager.GetBitmap());
  EXPECT_FALSE(manager.GetShown());
  EXPECT_FALSE(manager.GetTimer()->GetEnabled());
  manager.FadeStep(); // nothing to fade
  Pump();
  EXPECT_EQ(0u, Screen(310, 200));
}

TEST_F(SkinLayeredTest, SmallTargetsStillFinishTheFade)
{
  struct Case {
    int Alpha;
    int Step;
    int Ticks; // until the timer stops
  };
  const Case cases[] = {{5, 1, 5}, {0, 1, 1}, {9, 1, 9}, {10, 1, 10}, {101, 10, 11}};
  auto picture = Solid(2, clWhite);
  auto mask = Greys({255, 255});
  for (const Case& c : cases) {
    TskLayerManager manager(nullptr);
    manager.Show(0, 0, picture.get(), mask.get(), c.Alpha);
    EXPECT_EQ(c.Step, manager.GetAlphaStep());
    int ticks = 0;
    while (manager.GetTimer()->GetEnabled() && ticks < 300) {
      manager.FadeStep();
      ++ticks;
    }
    EXPECT_EQ(c.Ticks, ticks) << c.Alpha;
    EXPECT_EQ(c.Alpha, manager.GetCurrentAlpha());
  }
}

TEST_F(SkinLayeredTest, TheTimerDrivesTheFade)
{
  TskLayerManager manager(nullptr);
  auto picture = Solid(1, clWhite);
  auto mask = Greys({255});
  manager.Show(0, 0, picture.get(), mask.get(), 200);
  for (int i = 0; i < 12; ++i) {
    Clock->Advance(25);
    Pump();
  }
  EXPECT_EQ(200, manager.GetCurrentAlpha());
  EXPECT_FALSE(manager.GetTimer()->GetEnabled());
}

TEST_F(SkinLayeredTest, OptionalFunctionsAndTheirAbsence)
{
  BindSkinSystemFunctions();
  TskSystemFunctions& f = SkinSystemFunctions();
  EXPECT_TRUE(f.MonitorFromWindow && f.GetMonitorInfoA && f.GetScrollBarInfo && f.SetLayeredWindowAttributes &&
              f.UpdateLayeredWindow && f.TransparentBlt);
  EXPECT_TRUE(IsTransparentBltAvailable());
  EXPECT_TRUE(f.WideText);
  EXPECT_EQ(f.MMX, HasMMX());
  EmmsIfMMX();

  TForm* form = NewForm(10, 10, 50, 20);
  form->Show();
  SCROLLBARINFO info{};
  QueryScrollBarInfo(form->GetHandle(), OBJID_VSCROLL, info);

  // Without the functions: bars read hidden, layered updates do nothing, keyed bitmaps draw
  // their own way.
  f.GetScrollBarInfo = nullptr;
  f.UpdateLayeredWindow = nullptr;
  f.SetLayeredWindowAttributes = nullptr;
  f.TransparentBlt = nullptr;
  f.TransparentBltAvailable = false;
  SCROLLBARINFO hidden{};
  EXPECT_EQ(0, QueryScrollBarInfo(form->GetHandle(), OBJID_VSCROLL, hidden));
  EXPECT_EQ(STATE_SYSTEM_INVISIBLE, hidden.rgstate[0]);
  EXPECT_FALSE(IsTransparentBltAvailable());

  TskLayerManager manager(nullptr);
  auto picture = Solid(2, clRed);
  auto mask = Greys({255, 255});
  manager.Show(400, 400, picture.get(), mask.get(), 255);
  SetLayeredAlpha(manager.GetWindow()->GetHandle(), 10);
  for (int i = 0; i < 11; ++i)
    manager.FadeStep();
  EXPECT_EQ(255, manager.GetCurrentAlpha());

  auto keyed = std::make_unique<TskBitmap>();
  keyed->SetSize(2, 1);
  keyed->SetPixel(0, 0, 0xFF7F007F);
  keyed->SetPixel(1, 0, 0xFF010203);
  keyed->Transparent = true;
  TBitmap target;
  target.SetPixelFormat(pf24bit);
  target.SetSize(2, 1);
  keyed->DrawToCanvas(target.GetCanvas(), 0, 0);
  EXPECT_EQ(RGB(0, 0, 0), GetPixel(target.GetCanvas()->GetHandle(), 0, 0));
  EXPECT_EQ(RGB(1, 2, 3), GetPixel(target.GetCanvas()->GetHandle(), 1, 0));
  BindSkinSystemFunctions();
  EXPECT_TRUE(IsTransparentBltAvailable());
}

TEST_F(SkinLayeredTest, LayeredAlphaSetsTheWindowAttributes)
{
  TForm* form = NewForm(10, 10, 50, 20);
  HWND wnd = form->GetHandle();
  SetWindowLongA(wnd, GWL_EXSTYLE, GetWindowLongA(wnd, GWL_EXSTYLE) | static_cast<LONG>(WS_EX_LAYERED));
  SetLayeredAlpha(wnd, 77);
  BYTE alpha = 0;
  DWORD flags = 0;
  ASSERT_TRUE(GetLayeredWindowAttributes(wnd, nullptr, &alpha, &flags));
  EXPECT_EQ(77, alpha);
  EXPECT_EQ(LWA_ALPHA, flags);
}

TEST(SkinLayered, DarkenColor)
{
  struct Case {
    TColor Color;
    int Percent;
    COLORREF Expected;
  };
  const Case cases[] = {
      {static_cast<TColor>(RGB(200, 100, 50)), 10, RGB(180, 90, 45)},
      {static_cast<TColor>(RGB(255, 255, 255)), 0, RGB(255, 255, 255)},
      {static_cast<TColor>(RGB(255, 3, 1)), 50, RGB(127, 1, 0)}, // MulDiv rounds: 255 - 128, 3 - 2, 1 - 1
      {static_cast<TColor>(RGB(10, 20, 30)), 100, RGB(0, 0, 0)},
      {clBtnFace, 10, RGB(212 - 21, 208 - 21, 200 - 20)}, // a system colour, through ColorToRGB
  };
  for (const Case& c : cases)
    EXPECT_EQ(c.Expected, static_cast<COLORREF>(DarkenColor(c.Color, c.Percent))) << c.Percent;
}

// Layered windows on an X server without a compositor: they are shown opaque, fade and hide.
// Runs in a child process of its own, so that it can choose the X11 display backend before any
// window exists.
TEST(SkinLayeredX11, ShowFadeAndHideWithoutACompositor)
{
  if (const char* server = std::getenv("QV_SKIN_LAYERED_X11")) {
    String error;
    std::unique_ptr<TDisplayBackend> backend = CreateX11Display(server, error);
    ASSERT_TRUE(backend) << error;
    TDisplayBackend* display = backend.get();
    SetDisplayBackend(std::move(backend));
    EXPECT_FALSE(display->HasCompositor());
    {
      TskLayerManager manager(nullptr);
      auto picture = Solid(4, static_cast<TColor>(RGB(0, 0, 255)));
      auto mask = Greys({255, 255, 128, 0});
      manager.Show(40, 30, picture.get(), mask.get(), 255);
      ASSERT_NE(nullptr, manager.GetWindow());
      HWND wnd = manager.GetWindow()->GetHandle();
      EXPECT_TRUE(IsWindowVisible(wnd));
      while (manager.GetTimer()->GetEnabled())
        manager.FadeStep();
      EXPECT_EQ(255, manager.GetCurrentAlpha());
      // The X server shows the picture opaque.
      std::vector<std::uint32_t> pixels;
      int w = 0, h = 0;
      std::uint32_t first = 0;
      for (int i = 0; i < 200 && (first & 0xFFFFFF) == 0; ++i) {
        ProcessPendingMessages();
        display->Flush();
        if (display->ReadPixels(GetDisplayWindow(wnd), pixels, w, h) && !pixels.empty())
          first = pixels[0];
        if ((first & 0xFFFFFF) == 0)
          usleep(5000);
      }
      EXPECT_EQ(0x0000FFu, first & 0xFFFFFF);
      manager.Hide();
      EXPECT_FALSE(IsWindow(wnd));
      EXPECT_EQ(nullptr, manager.GetWindow());
    }
    ProcessPendingMessages();
    return;
  }
  const std::string server = TXvfbServer::Display();
  if (server.empty())
    GTEST_SKIP() << "Xvfb is not available";
  const pid_t pid = fork();
  ASSERT_GE(pid, 0);
  if (pid == 0) {
    setenv("QV_SKIN_LAYERED_X11", server.c_str(), 1);
    const int devnull = open("/dev/null", O_WRONLY);
    if (devnull >= 0)
      dup2(devnull, 1);
    execl("/proc/self/exe", "skin_foundation_tests", "--gtest_filter=SkinLayeredX11.*", nullptr);
    _exit(127);
  }
  int status = 0;
  ASSERT_EQ(pid, waitpid(pid, &status, 0));
  ASSERT_TRUE(WIFEXITED(status));
  EXPECT_EQ(0, WEXITSTATUS(status)) << "the layered window run on the X server failed";
}
