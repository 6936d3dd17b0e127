#include <gtest/gtest.h>

#include <cerrno>

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
  // Codes that are also errno values print the Windows text, never the errno one.
  const struct {
    std::uint32_t Code;
    const char* Text;
  } Cases[] = {
      {2, "The system cannot find the file specified."},
      {3, "The system cannot find the path specified."},
      {5, "Access is denied."},
      {6, "The handle is invalid."},
      {8, "Not enough memory resources are available to process this command."},
      {87, "The parameter is incorrect."},
      {109, "The pipe has been ended."},
      {112, "There is not enough space on the disk."},
  };
  for (const auto& C : Cases) EXPECT_EQ(SysErrorMessage(C.Code), C.Text) << C.Code;
}

TEST(WinTypes, ErrnoValuesBecomeTheirWindowsCodes)
{
  const struct {
    int Errno;
    std::uint32_t Code;
  } Cases[] = {{0, 0},      {ENOENT, 2},    {ENOTDIR, 3},  {EACCES, 5},   {EISDIR, 5},      {EBADF, 6},
               {ENOMEM, 8}, {EXDEV, 17},    {EINVAL, 87},  {EPIPE, 109},  {ENOSPC, 112},    {ENOTEMPTY, 145},
               {EEXIST, 183}, {ENAMETOOLONG, 206}, {EIO, 1117}, {ETIMEDOUT, 1460}};
  for (const auto& C : Cases) EXPECT_EQ(Win32ErrorOfErrno(C.Errno), C.Code) << C.Errno;
  // An errno value that is also a Windows code (EIO is 5, ERROR_ACCESS_DENIED too) is never
  // left as it is.
  EXPECT_NE(Win32ErrorOfErrno(EIO), static_cast<std::uint32_t>(EIO));
  EXPECT_NE(Win32ErrorOfErrno(ENXIO), static_cast<std::uint32_t>(ENXIO));
}

} // namespace
