#include "platform/rtl/MathUtils.h"

#include <atomic>
#include <chrono>
#include <cmath>
#include <limits>

namespace {

// The FPU's "integer indefinite" for values that have no Int64: NaN and out of range.
constexpr Int64 kInvalidInt64 = std::numeric_limits<Int64>::min();

bool FitsInt64(double X)
{
  // 2^63 is exact as a double; every double below it in magnitude converts.
  return X >= -9223372036854775808.0 && X < 9223372036854775808.0;
}

int ClampToInt(double X)
{
  if (std::isnan(X)) return 0;
  if (X >= 2147483647.0) return MaxInt;
  if (X <= -2147483648.0) return -MaxInt - 1;
  return static_cast<int>(X);
}

}  // namespace

Int64 Round(double X)
{
  // Halves to even by hand rather than through the FPU rounding mode, which a library
  // could have changed.
  const double floor = std::floor(X);
  const double diff = X - floor;
  double result = floor;
  if (diff > 0.5 || (diff == 0.5 && std::fmod(floor, 2.0) != 0.0)) result = floor + 1.0;
  return FitsInt64(result) ? static_cast<Int64>(result) : kInvalidInt64;
}

Int64 Trunc(double X)
{
  const double result = std::trunc(X);
  return FitsInt64(result) ? static_cast<Int64>(result) : kInvalidInt64;
}

double Frac(double X)
{
  return X - std::trunc(X);
}

double Int(double X)
{
  return std::trunc(X);
}

int Ceil(double X)
{
  return ClampToInt(std::ceil(X));
}

int Floor(double X)
{
  return ClampToInt(std::floor(X));
}

int MulDiv(int Number, int Numerator, int Denominator)
{
  if (Denominator == 0) return -1;
  const Int64 product = static_cast<Int64>(Number) * Numerator;
  Int64 quotient = product / Denominator;
  const Int64 remainder = product % Denominator;
  // Halves away from zero: |remainder| * 2 >= |Denominator| moves one step away from zero.
  const Int64 absRemainder = remainder < 0 ? -remainder : remainder;
  const Int64 absDenominator = Denominator < 0 ? -static_cast<Int64>(Denominator) : Denominator;
  if (absRemainder * 2 >= absDenominator) quotient += ((product < 0) != (Denominator < 0)) ? -1 : 1;
  if (quotient > MaxInt || quotient < -static_cast<Int64>(MaxInt) - 1) return -1;
  return static_cast<int>(quotient);
}

Integer RandSeed = 0;

namespace {

// Steps the generator atomically, so callers on several threads neither race nor lose steps.
Cardinal NextRandom()
{
  std::atomic_ref<Integer> seed(RandSeed);
  Integer current = seed.load(std::memory_order_relaxed);
  Cardinal next;
  do {
    next = static_cast<Cardinal>(current) * 134775813u + 1u;
  } while (!seed.compare_exchange_weak(current, static_cast<Integer>(next),
                                       std::memory_order_relaxed));
  return next;
}

}  // namespace

void Randomize()
{
  const auto now = std::chrono::system_clock::now().time_since_epoch();
  const auto ticks = static_cast<UInt64>(std::chrono::duration_cast<std::chrono::nanoseconds>(now).count());
  const auto seed = static_cast<Integer>(static_cast<Cardinal>(ticks ^ (ticks >> 32)));
  std::atomic_ref<Integer>(RandSeed).store(seed, std::memory_order_relaxed);
}

int Random(int Range)
{
  // The generator steps even for an empty range, so a sequence does not depend on the ranges.
  const UInt64 next = NextRandom();
  if (Range <= 0) return 0;
  return static_cast<int>((next * static_cast<UInt64>(Range)) >> 32);
}

double Random()
{
  return static_cast<double>(NextRandom()) / 4294967296.0;
}
