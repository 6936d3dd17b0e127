#include "platform/rtl/MathUtils.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <thread>

namespace {

TEST(MathUtilsRound, HalvesGoToEven)
{
  struct Case { double X; Int64 Expected; };
  const Case cases[] = {
      {2.5, 2},   {3.5, 4},   {-2.5, -2}, {-3.5, -4},   {0.5, 0},         {-0.5, 0},
      {1.5, 2},   {2.4999, 2}, {2.5000001, 3}, {-2.6, -3}, {1e15 + 0.5, 1000000000000000},
      {4503599627370497.0, 4503599627370497}, {-9.2e18, -9200000000000000000},
  };
  for (const Case& c : cases) EXPECT_EQ(Round(c.X), c.Expected) << c.X;
  const Int64 invalid = std::numeric_limits<Int64>::min();
  EXPECT_EQ(Round(std::nan("")), invalid);
  EXPECT_EQ(Round(1e19), invalid);
  EXPECT_EQ(Trunc(-1e19), invalid);
}

TEST(MathUtilsRound, TruncFracIntCeilFloor)
{
  EXPECT_EQ(Trunc(2.7), 2);
  EXPECT_EQ(Trunc(-2.7), -2);
  EXPECT_DOUBLE_EQ(Frac(-1.25), -0.25);
  EXPECT_DOUBLE_EQ(Frac(3.75), 0.75);
  EXPECT_DOUBLE_EQ(Int(-1.75), -1.0);
  EXPECT_EQ(Ceil(1.2), 2);
  EXPECT_EQ(Ceil(-1.2), -1);
  EXPECT_EQ(Ceil(-0.5), 0);
  EXPECT_EQ(Floor(-1.2), -2);
  EXPECT_EQ(Floor(1.0), 1);
  EXPECT_EQ(Floor(1e12), MaxInt);  // saturates rather than wrapping
}

TEST(MathUtilsMulDiv, RoundsHalvesAwayFromZeroWithWideProduct)
{
  struct Case { int Number, Numerator, Denominator, Expected; };
  const int minInt = -MaxInt - 1;
  const Case cases[] = {
      {10, 3, 4, 8},        {-10, 3, 4, -8},     {10, -3, 4, -8},      {10, 3, -4, -8},
      {-10, -3, -4, -8},    {-10, -3, 4, 8},     {7, 1, 2, 4},         {5, 1, 3, 2},
      {4, 1, 3, 1},         {100, 96, 72, 133},  {65536, 65536, 65536, 65536},
      {MaxInt, MaxInt, MaxInt, MaxInt},          {minInt, 1, 1, minInt},
      {1, 1, 0, -1},        {MaxInt, MaxInt, 1, -1},                   {minInt, -1, 1, -1},
      {0, 5, 7, 0},
  };
  for (const Case& c : cases)
    EXPECT_EQ(MulDiv(c.Number, c.Numerator, c.Denominator), c.Expected)
        << c.Number << "*" << c.Numerator << "/" << c.Denominator;
}

TEST(MathUtilsRandom, KnownSequenceFromSeedZero)
{
  // Seeds 1, 134775814, ... times 100, high 32 bits.
  RandSeed = 0;
  const int expected[] = {0, 3, 86, 20, 27};
  for (const int e : expected) EXPECT_EQ(Random(100), e);

  RandSeed = 0;
  Random(100);
  EXPECT_EQ(RandSeed, 1);
  EXPECT_DOUBLE_EQ(Random(), 134775814.0 / 4294967296.0);

  // An empty range answers 0 but still steps the generator.
  RandSeed = 0;
  EXPECT_EQ(Random(0), 0);
  EXPECT_EQ(Random(-5), 0);
  EXPECT_EQ(Random(100), 86);
}

TEST(MathUtilsRandom, SeedRepeatsSequenceAndValuesStayInRange)
{
  RandSeed = -123456789;
  int first[20];
  for (int& v : first) v = Random(1000);
  RandSeed = -123456789;
  for (const int v : first) EXPECT_EQ(Random(1000), v);

  Randomize();
  for (int i = 0; i < 2000; ++i) {
    const int r = Random(7);
    ASSERT_GE(r, 0);
    ASSERT_LT(r, 7);
    const double d = Random();
    ASSERT_GE(d, 0.0);
    ASSERT_LT(d, 1.0);
  }
  EXPECT_EQ(Random(1), 0);
  // The step that reaches the largest Cardinal still stays below the range.
  RandSeed = 1298181734;
  EXPECT_EQ(Random(MaxInt), MaxInt - 1);
  EXPECT_EQ(RandSeed, -1);
}

TEST(MathUtilsRandom, ConcurrentCallersShareOneSequenceWithoutLosingSteps)
{
  constexpr int kPerThread = 1000000;
  RandSeed = 0;
  const auto draw = [] {
    for (int i = 0; i < kPerThread; ++i) Random(10);
  };
  std::thread first(draw), second(draw);
  first.join();
  second.join();

  Cardinal expected = 0;
  for (int i = 0; i < 2 * kPerThread; ++i) expected = expected * 134775813u + 1u;
  EXPECT_EQ(RandSeed, static_cast<Integer>(expected));
}

}  // namespace
