#include <gtest/gtest.h>

#include <cstring>
#include <set>
#include <utility>
#include <vector>

#include "skin/foundation/SkinRegions.h"
#include "tests/platform/vcl/VclTestSupport.h"

namespace {

// A 24-bit mask of W x H, white except the listed rows of text ('#' black, '.' white, 'g' grey 1).
std::unique_ptr<TBitmap> Mask(const std::vector<std::string>& Rows)
{
  auto b = std::make_unique<TBitmap>();
  b->SetPixelFormat(pf24bit);
  const int h = static_cast<int>(Rows.size());
  const int w = static_cast<int>(Rows[0].size());
  b->SetSize(w, h);
  for (int y = 0; y < h; ++y) {
    auto* row = static_cast<Byte*>(b->ScanLine(y));
    for (int x = 0; x < w; ++x) {
      const char c = Rows[static_cast<std::size_t>(y)][static_cast<std::size_t>(x)];
      const Byte v = c == '#' ? 0 : c == 'g' ? 1 : 255;
      std::memset(row + 3 * x, v, 3);
    }
  }
  return b;
}

std::vector<RECT> Rects(const std::vector<std::uint8_t>& Data)
{
  RGNDATAHEADER h;
  std::memcpy(&h, Data.data(), 32);
  std::vector<RECT> out(h.nCount);
  if (h.nCount)
    std::memcpy(out.data(), Data.data() + 32, 16 * h.nCount);
  return out;
}

// The pixels of a W x H area outside Rgn.
std::set<std::pair<int, int>> Outside(HRGN Rgn, int W, int H)
{
  std::set<std::pair<int, int>> out;
  for (int y = 0; y < H; ++y)
    for (int x = 0; x < W; ++x)
      if (!PtInRegion(Rgn, x, y))
        out.insert({x, y});
  return out;
}

} // namespace

TEST(SkinRegions, MaskRunsBecomeRectangles)
{
  struct Case {
    std::vector<std::string> Rows;
    int X, Y;
    std::vector<RECT> Expected;
  };
  const Case cases[] = {
      {{"##.#", "...."}, 0, 0, {{0, 0, 2, 1}, {3, 0, 4, 1}}},
      {{"##.#", "...."}, 5, 7, {{5, 7, 7, 8}, {8, 7, 9, 8}}},
      {{"g#g", "###"}, 0, 0, {{1, 0, 2, 1}, {0, 1, 3, 2}}}, // grey (1, 1, 1) is outside; rows are not merged
      {{".....", "....."}, 0, 0, {}},
      {{"#####"}, 0, 0, {{0, 0, 5, 1}}},
  };
  for (const Case& c : cases) {
    auto mask = Mask(c.Rows);
    std::vector<std::uint8_t> data;
    const int size = BuildRegionDataFromMask(mask.get(), c.X, c.Y, data);
    ASSERT_EQ(32 + 16 * static_cast<int>(c.Expected.size()), size);
    ASSERT_EQ(static_cast<std::size_t>(size), data.size());
    RGNDATAHEADER h;
    std::memcpy(&h, data.data(), 32);
    EXPECT_EQ(32u, h.dwSize);
    EXPECT_EQ(1u, h.iType);
    EXPECT_EQ(0u, h.nRgnSize);
    EXPECT_EQ((RECT{c.X, c.Y, c.X + mask->GetWidth(), c.Y + mask->GetHeight()}), h.rcBound);
    EXPECT_EQ(c.Expected, Rects(data)) << c.Rows[0];
  }

  // An all-white mask gives an empty region, an empty mask none.
  HRGN rgn = nullptr;
  auto white = Mask({"...", "..."});
  CreateRegionFromMask(rgn, white.get());
  ASSERT_NE(nullptr, rgn);
  RECT box{};
  EXPECT_EQ(NULLREGION, GetRgnBox(rgn, &box));
  DeleteObject(rgn);
  TBitmap empty;
  std::vector<std::uint8_t> untouched{1, 2, 3};
  EXPECT_EQ(0, BuildRegionDataFromMask(&empty, 0, 0, untouched));
  EXPECT_EQ((std::vector<std::uint8_t>{1, 2, 3}), untouched);
  CreateRegionFromMask(rgn, &empty);
  EXPECT_EQ(nullptr, rgn);

  auto shape = Mask({"##.#", ".#.."});
  CreateRegionFromMask(rgn, shape.get());
  EXPECT_EQ((std::set<std::pair<int, int>>{{2, 0}, {0, 1}, {2, 1}, {3, 1}}), Outside(rgn, 4, 2));
  DeleteObject(rgn);
}

TEST(SkinRegions, MasksWithMoreRunsThanTheOldLimit)
{
  // 101 rows of 100 single-pixel runs: 10,100 rectangles.
  std::vector<std::string> rows(101, std::string());
  for (auto& r : rows)
    for (int i = 0; i < 100; ++i)
      r += "#.";
  auto mask = Mask(rows);
  std::vector<std::uint8_t> data;
  ASSERT_EQ(32 + 16 * 10100, BuildRegionDataFromMask(mask.get(), 0, 0, data));
  const std::vector<RECT> rects = Rects(data);
  EXPECT_EQ((RECT{198, 100, 199, 101}), rects.back());
  HRGN rgn = nullptr;
  CreateRegionFromMask(rgn, mask.get());
  EXPECT_TRUE(PtInRegion(rgn, 198, 100));
  EXPECT_FALSE(PtInRegion(rgn, 199, 100));
  DeleteObject(rgn);
}

TEST(SkinRegions, FrameRegionReLaysTheBorderStrips)
{
  // 10 x 10 frame mask, client (2, 2, 8, 8); corners at 4 and 6. White pixels mark a rounded
  // top-left corner, a notch in the tiled middle of the top edge and of the left edge, and a
  // rounded bottom-right corner.
  std::vector<std::string> rows(10, std::string(10, '#'));
  rows[0][0] = '.';
  rows[0][5] = '.';
  rows[5][0] = '.';
  rows[9][9] = '.';
  auto mask = Mask(rows);
  const TPoint LT{4, 4}, RT{6, 4}, LB{4, 6}, RB{6, 6};
  const TRect CR{2, 2, 8, 8};

  // Resized to 14 x 14.
  HRGN rgn = nullptr;
  CreateFrameRegion(rgn, LT, RT, LB, RB, CR, TPoint{4, 4}, TPoint{10, 4}, TPoint{4, 10}, TPoint{10, 10},
                    TRect{2, 2, 12, 12}, mask.get(), 14, 14);
  ASSERT_NE(nullptr, rgn);
  // Top: the notch repeats at 5, 7, 9; left: the notch repeats on strip rows 3, 5, 7 (the ends
  // overwrite rows 0-1 and 8-9), window rows 5, 7, 9; the corners stay in place.
  EXPECT_EQ((std::set<std::pair<int, int>>{{0, 0}, {5, 0}, {7, 0}, {9, 0}, {0, 5}, {0, 7}, {0, 9}, {13, 13}}),
            Outside(rgn, 14, 14));
  DeleteObject(rgn);

  // The strips alone.
  TBitmap top, left, right, bottom;
  BuildFrameEdgeMasks(LT, RT, LB, RB, CR, TPoint{4, 4}, TPoint{10, 4}, TPoint{4, 10}, TPoint{10, 10},
                      TRect{2, 2, 12, 12}, mask.get(), &top, &left, &right, &bottom, 14);
  EXPECT_EQ(14, top.GetWidth());
  EXPECT_EQ(2, top.GetHeight());
  EXPECT_EQ(2, left.GetWidth());
  EXPECT_EQ(10, left.GetHeight());
  EXPECT_EQ(2, right.GetWidth());
  EXPECT_EQ(14, bottom.GetWidth());

  // Degenerate geometry and an empty client give no region.
  struct Case {
    TPoint NLT, NRT, NLB;
    TRect NCR;
  };
  const Case none[] = {
      {{6, 4}, {5, 4}, {4, 10}, {2, 2, 12, 12}},
      {{4, 8}, {10, 4}, {4, 7}, {2, 2, 12, 12}},
      {{4, 4}, {10, 4}, {4, 10}, {2, 2, 2, 12}},
  };
  for (const Case& c : none) {
    HRGN r = reinterpret_cast<HRGN>(1);
    CreateFrameRegion(r, LT, RT, LB, RB, CR, c.NLT, c.NRT, c.NLB, TPoint{10, 10}, c.NCR, mask.get(), 14, 14);
    EXPECT_EQ(nullptr, r);
  }

  // A reversed middle (bottom point above the top point) does not loop; the ends still copy.
  TBitmap l2;
  BuildFrameEdgeMasks(TPoint{4, 6}, RT, TPoint{4, 4}, RB, CR, TPoint{4, 4}, TPoint{10, 4}, TPoint{4, 10},
                      TPoint{10, 10}, TRect{2, 2, 12, 12}, mask.get(), nullptr, &l2, nullptr, nullptr, 14);
  EXPECT_EQ(10, l2.GetHeight());
}

class SkinParentCaptureTest : public TVclWindowTest {};

TEST_F(SkinParentCaptureTest, CapturesTheBackgroundAndTheGraphicControlsBelow)
{
  TForm* form = NewForm(100, 100, 60, 40);
  form->SetColor(clWhite);
  // z-order: below (overlapping), far (not overlapping), hidden (overlapping), the control, above.
  auto* below = Add<TDot>(form, "below", 0, 0, 12, 12, static_cast<TColor>(clRed));
  Add<TDot>(form, "far", 40, 30, 5, 5, static_cast<TColor>(clGreen));
  auto* hidden = Add<TDot>(form, "hidden", 10, 10, 20, 20, static_cast<TColor>(clYellow));
  hidden->SetVisible(false);
  auto* control = Add<TDot>(form, "control", 10, 10, 20, 20, static_cast<TColor>(clBlack));
  Add<TDot>(form, "above", 10, 10, 20, 20, static_cast<TColor>(clBlue));
  (void)below;

  struct Case {
    TRect R;          // the part captured (whole control when empty)
    int X, Y;         // a pixel of the capture
    COLORREF Expected;
  };
  const Case cases[] = {
      {{0, 0, 0, 0}, 0, 0, RGB(255, 0, 0)},     // the label below overlaps (10..11, 10..11)
      {{0, 0, 0, 0}, 1, 1, RGB(255, 0, 0)},
      {{0, 0, 0, 0}, 2, 2, RGB(255, 255, 255)}, // the form's background; the label above is left out
      {{0, 0, 0, 0}, 19, 19, RGB(255, 255, 255)},
      {{1, 1, 5, 5}, 0, 0, RGB(255, 0, 0)},     // the part starting at (1, 1)
      {{1, 1, 5, 5}, 1, 1, RGB(255, 255, 255)},
  };
  for (const Case& c : cases) {
    TBitmap capture;
    capture.SetPixelFormat(pf24bit);
    capture.SetSize(20, 20);
    if (IsRectEmpty(&c.R))
      PaintParentBackground(control, capture.GetCanvas());
    else
      PaintPageControlBackground(control, c.R, capture.GetCanvas());
    EXPECT_EQ(c.Expected, GetPixel(capture.GetCanvas()->GetHandle(), c.X, c.Y)) << c.X << "," << c.Y;
  }
  EXPECT_EQ(0u, form->GetControlState() & csPaintCopy);
  EXPECT_EQ(0u, below->GetControlState() & csPaintCopy);

  // A parent that is not a form paints itself too.
  auto* panel = Add<TBox>(form, "panel", 30, 0, 30, 40, static_cast<TColor>(RGB(0, 0, 200)));
  auto* inner = Add<TDot>(panel, "inner", 5, 5, 10, 10, static_cast<TColor>(clBlack));
  TBitmap onPanel;
  onPanel.SetPixelFormat(pf24bit);
  onPanel.SetSize(10, 10);
  PaintParentBackground(inner, onPanel.GetCanvas());
  EXPECT_EQ(RGB(0, 0, 200), GetPixel(onPanel.GetCanvas()->GetHandle(), 9, 9));

  // A control without a parent paints nothing.
  TDot orphan(nullptr);
  TBitmap untouched;
  untouched.SetPixelFormat(pf24bit);
  untouched.SetSize(2, 2);
  PaintParentBackground(&orphan, untouched.GetCanvas());
  PaintParentBackground(nullptr, untouched.GetCanvas());
  EXPECT_EQ(RGB(0, 0, 0), GetPixel(untouched.GetCanvas()->GetHandle(), 1, 1));
}

TEST_F(SkinParentCaptureTest, CopiesTheScreen)
{
  // Marks a square of the screen device context, then copies an area overlapping it.
  HDC screen = GetDC(nullptr);
  const RECT mark{200, 150, 240, 180};
  HBRUSH brush = CreateSolidBrush(RGB(10, 200, 30));
  FillRect(screen, &mark, brush);
  DeleteObject(brush);
  ReleaseDC(nullptr, screen);
  TBitmap capture;
  capture.SetPixelFormat(pf24bit);
  capture.SetSize(4, 4);
  CopyScreenToBitmap(198, 148, &capture);
  HDC dc = capture.GetCanvas()->GetHandle();
  EXPECT_EQ(RGB(10, 200, 30), GetPixel(dc, 3, 3));
  EXPECT_EQ(RGB(10, 200, 30), GetPixel(dc, 2, 2));
  EXPECT_NE(RGB(10, 200, 30), GetPixel(dc, 1, 1));
  EXPECT_NE(RGB(10, 200, 30), GetPixel(dc, 2, 1));
}
