#include <gtest/gtest.h>

#include "platform/rtl/Exceptions.h"
#include "platform/rtl/WinTypes.h"

namespace {

TEST(WinTypes, IntersectUnionSubtract)
{
  struct Case {
    RECT A, B;
    BOOL IntersectOk;
    RECT Intersect;
    RECT Union;
    RECT Subtract;
  };
  const Case cases[] = {
      // overlapping corner
      {{0, 0, 10, 10}, {5, 5, 20, 20}, TRUE, {5, 5, 10, 10}, {0, 0, 20, 20}, {0, 0, 10, 10}},
      // touching edges do not intersect
      {{0, 0, 10, 10}, {10, 0, 20, 10}, FALSE, {0, 0, 0, 0}, {0, 0, 20, 10}, {0, 0, 10, 10}},
      // B cuts the whole top band off A
      {{0, 0, 10, 10}, {-5, -5, 15, 4}, TRUE, {0, 0, 10, 4}, {-5, -5, 15, 10}, {0, 4, 10, 10}},
      // B cuts the right band
      {{0, 0, 10, 10}, {7, -1, 12, 11}, TRUE, {7, 0, 10, 10}, {0, -1, 12, 11}, {0, 0, 7, 10}},
      // B covers A
      {{2, 2, 4, 4}, {0, 0, 10, 10}, TRUE, {2, 2, 4, 4}, {0, 0, 10, 10}, {0, 0, 0, 0}},
      // an empty B does not widen the union
      {{2, 2, 4, 4}, {50, 50, 50, 60}, FALSE, {0, 0, 0, 0}, {2, 2, 4, 4}, {2, 2, 4, 4}},
  };
  for (const Case& c : cases) {
    RECT r;
    EXPECT_EQ(IntersectRect(&r, &c.A, &c.B), c.IntersectOk);
    EXPECT_EQ(r, c.Intersect);
    UnionRect(&r, &c.A, &c.B);
    EXPECT_EQ(r, c.Union);
    SubtractRect(&r, &c.A, &c.B);
    EXPECT_EQ(r, c.Subtract);
  }
}

TEST(WinTypes, PointInRectExcludesRightAndBottom)
{
  const RECT r{0, 0, 3, 3};
  EXPECT_TRUE(PtInRect(&r, POINT{0, 0}));
  EXPECT_TRUE(PtInRect(&r, POINT{2, 2}));
  EXPECT_FALSE(PtInRect(&r, POINT{3, 2}));
  EXPECT_FALSE(PtInRect(&r, POINT{2, 3}));
}

TEST(WinTypes, MessageParameterPacking)
{
  const LPARAM l = MAKELPARAM(static_cast<WORD>(-5), 300);
  EXPECT_EQ(GET_X_LPARAM(l), -5);
  EXPECT_EQ(GET_Y_LPARAM(l), 300);
  EXPECT_EQ(GET_WHEEL_DELTA_WPARAM(MAKEWPARAM(0, static_cast<WORD>(-120))), -120);
  EXPECT_EQ(RGB(1, 2, 3), 0x030201u);
  EXPECT_EQ(GetBValue(RGB(1, 2, 3)), 3);
}

TEST(WinTypes, WindowsErrorCodesHaveTheirTexts)
{
  EXPECT_EQ(SysErrorMessage(ERROR_ALREADY_EXISTS), "Cannot create a file when that file already exists.");
}

} // namespace
