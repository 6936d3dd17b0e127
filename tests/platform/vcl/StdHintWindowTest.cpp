#include <gtest/gtest.h>

#include <cstring>
#include <memory>

#include "platform/vcl/HintWindow.h"
#include "tests/platform/vcl/VclTestSupport.h"

namespace {

class StdHintWindow : public TVclWindowTest {};

TEST_F(StdHintWindow, ShowsWhereAskedOnTopWithoutActivatingAndStaysOnTheDesktop) {
  auto H = std::make_unique<THintWindow>(nullptr);
  TRect R = H->CalcHintRect(300, "Short hint");
  TBitmap B;
  B.SetSize(1, 1);
  B.GetCanvas()->SetFont(H->GetFont());
  SIZE E = B.GetCanvas()->TextExtent("Short hint");
  EXPECT_EQ(R, Rect(0, 0, E.cx + 6, E.cy + 6)) << "border and margin on every side";
  EXPECT_GT(H->CalcHintRect(40, "Short hint but rather longer").bottom, R.bottom) << "wrapped at the width";

  HWND Before = GetActiveWindow();
  OffsetRect(&R, 50, 60);
  H->ActivateHint(R, "Short hint");
  HWND W = H->GetHandle();
  EXPECT_TRUE(IsWindowVisible(W));
  EXPECT_TRUE(H->GetVisible());
  EXPECT_EQ(H->GetCaption(), "Short hint");
  RECT Got{};
  GetWindowRect(W, &Got);
  EXPECT_EQ(Got, R);
  EXPECT_TRUE(GetWindowLongA(W, GWL_EXSTYLE) & WS_EX_TOPMOST);
  EXPECT_EQ(GetActiveWindow(), Before);

  int Width = R.right - R.left, Height = R.bottom - R.top;
  TRect D = Screen->GetDesktopRect();
  struct TCase {
    TPoint At, Expected;
  } Cases[] = {
      {Point(D.right - 5, 60), Point(D.right - Width, 60)},
      {Point(50, D.bottom - 1), Point(50, D.bottom - Height)},
      {Point(D.left - 30, D.top - 30), Point(D.left, D.top)},
  };
  for (const TCase& C : Cases) {
    SCOPED_TRACE(testing::Message() << C.At.x << "," << C.At.y);
    H->ActivateHint(Bounds(C.At.x, C.At.y, Width, Height), "Short hint");
    GetWindowRect(W, &Got);
    EXPECT_EQ(Got, Bounds(C.Expected.x, C.Expected.y, Width, Height));
  }

  // Without a parent, Visible shows and hides the window itself.
  H->SetVisible(false);
  EXPECT_FALSE(IsWindowVisible(W));
  H->SetVisible(true);
  EXPECT_TRUE(IsWindowVisible(W));
  H->ReleaseHandle();
  EXPECT_FALSE(IsWindow(W));
  EXPECT_FALSE(H->GetVisible());
}

TEST_F(StdHintWindow, TheWholeTextIsShown) {
  // Each hint shows every pixel of its text that an unclipped drawing of it has.
  const struct {
    const char* Hint;
    int MaxWidth;
  } Cases[] = {
      {"Short hint", 300},
      {"gjpqy descenders", 300},
      {"A hint long enough to wrap onto several lines", 80},
      {"", 300},
  };
  for (const auto& C : Cases) {
    SCOPED_TRACE(C.Hint);
    auto H = std::make_unique<THintWindow>(nullptr);
    TRect R = H->CalcHintRect(C.MaxWidth, C.Hint);
    TEXTMETRICA TM{};
    TBitmap Text;
    Text.SetSize(R.right + 20, R.bottom + 20);
    TCanvas* TC = Text.GetCanvas();
    TC->SetFont(H->GetFont());
    GetTextMetricsA(TC->GetHandle(), &TM);
    EXPECT_GE(R.bottom - R.top, TM.tmHeight + 6) << "at least one line, the margins and the border";
    TC->GetBrush()->SetColor(clInfoBk);
    TC->FillRect(Rect(0, 0, Text.GetWidth(), Text.GetHeight()));
    TC->GetBrush()->SetStyle(bsClear);
    SetTextColor(TC->GetHandle(), ColorToRGB(clInfoText));
    RECT Unclipped = Rect(0, 0, R.right - 6, 1000);
    DrawTextA(TC->GetHandle(), C.Hint, static_cast<int>(std::strlen(C.Hint)), &Unclipped,
              DT_LEFT | DT_NOPREFIX | DT_WORDBREAK | DT_NOCLIP);
    int Expected = 0;
    for (int Y = 0; Y < Text.GetHeight(); ++Y)
      for (int X = 0; X < Text.GetWidth(); ++X) Expected += TC->GetPixels(X, Y) == clInfoText;

    OffsetRect(&R, 20, 20);
    H->ActivateHint(R, C.Hint);
    Pump();
    std::vector<std::uint32_t> Pixels;
    int W = 0, Ht = 0;
    ASSERT_TRUE(Display()->ReadPixels(GetDisplayWindow(H->GetHandle()), Pixels, W, Ht));
    int Shown = 0;  // inside the border, which has the text's colour too
    for (int Y = 1; Y < Ht - 1; ++Y)
      for (int X = 1; X < W - 1; ++X) {
        std::uint32_t P = Pixels[static_cast<size_t>(Y * W + X)];
        Shown += RGB((P >> 16) & 0xFF, (P >> 8) & 0xFF, P & 0xFF) == ColorToRGB(clInfoText);
      }
    EXPECT_EQ(Shown, Expected);
  }
}

TEST_F(StdHintWindow, PaintsTheHintInTheInfoColours) {
  auto H = std::make_unique<THintWindow>(nullptr);
  TRect R = H->CalcHintRect(300, "WWWW");
  OffsetRect(&R, 20, 20);
  H->ActivateHint(R, "WWWW");
  Pump();
  std::vector<std::uint32_t> Pixels;
  int W = 0, Ht = 0;
  ASSERT_TRUE(Display()->ReadPixels(GetDisplayWindow(H->GetHandle()), Pixels, W, Ht));
  auto At = [&](int X, int Y) {
    std::uint32_t P = Pixels[static_cast<size_t>(Y * W + X)];
    return RGB((P >> 16) & 0xFF, (P >> 8) & 0xFF, P & 0xFF);
  };
  EXPECT_EQ(At(W - 3, Ht / 2), ColorToRGB(clInfoBk));
  int Text = 0;
  for (int Y = 0; Y < Ht; ++Y)
    for (int X = 0; X < W; ++X) Text += At(X, Y) == ColorToRGB(clInfoText);
  EXPECT_GT(Text, 10);
}

TEST_F(StdHintWindow, KeysButtonsAndCommandsEndTheHintButMovesDoNot) {
  THintWindow H(nullptr);
  struct TCase {
    UINT Message;
    bool Ends;
  } Cases[] = {
      {WM_KEYDOWN, true},     {WM_SYSKEYUP, true},    {WM_CHAR, true},        {WM_LBUTTONDOWN, true},
      {WM_RBUTTONUP, true},   {WM_MOUSEWHEEL, true},  {WM_NCMOUSEMOVE, true}, {WM_COMMAND, true},
      {CM_ACTIVATE, true},    {CM_DEACTIVATE, true},  {CM_APPKEYDOWN, true},  {WM_MOUSEMOVE, false},
      {WM_PAINT, false},      {WM_TIMER, false},
  };
  for (const TCase& C : Cases) {
    MSG M{};
    M.message = C.Message;
    EXPECT_EQ(H.IsHintMsg(M), C.Ends) << std::hex << C.Message;
  }
}

}  // namespace
