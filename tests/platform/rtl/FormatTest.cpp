#include "platform/rtl/Format.h"

#include <gtest/gtest.h>

#include <limits>

#include "platform/rtl/Convert.h"
#include "platform/rtl/Exceptions.h"

namespace {

struct TFormatCase {
  const char* Fmt;
  TVarRecs Args;
  const char* Expected;
};

TEST(FormatTable, Integers)
{
  const TFormatCase cases[] = {
      {"%d", {42}, "42"},
      {"%1.1d:%2.2d:%2.2d", {1, 2, 3}, "1:02:03"},
      {"%5.5d", {42}, "00042"},
      {"%.3d", {-5}, "-005"},
      {"%5d", {-42}, "  -42"},
      {"%-5d|", {42}, "42   |"},
      {"%3d", {12345}, "12345"},
      {"%d", {std::numeric_limits<Int64>::min()}, "-9223372036854775808"},
      {"%d", {std::numeric_limits<unsigned long long>::max()}, "18446744073709551615"},
      {"%d", {4000000000u}, "4000000000"},
      {"%d", {static_cast<short>(-3)}, "-3"},
      {"%d", {static_cast<unsigned char>(200)}, "200"},
      {"%D", {5}, "5"},
      {"%u", {-1}, "4294967295"},
      {"%u", {Int64{-1}}, "18446744073709551615"},
      {"%u", {7}, "7"},
      {"%x", {255}, "FF"},
      {"%.4x", {255}, "00FF"},
      {"%X", {0xABCu}, "ABC"},
      {"%x", {-1}, "FFFFFFFF"},
      {"%x", {-1LL}, "FFFFFFFFFFFFFFFF"},
  };
  for (const TFormatCase& c : cases) EXPECT_EQ(Format(c.Fmt, c.Args), c.Expected) << c.Fmt;
}

TEST(FormatTable, Floats)
{
  const TFormatCase cases[] = {
      {"%e", {1234.5}, "1.23450000000000E+003"},
      {"%.3e", {1234.5}, "1.23E+003"},
      {"%e", {-0.0}, "0.00000000000000E+000"},
      {"%f", {1.5}, "1.50"},
      {"%.0f", {2.5}, "3"},
      {"%.3f", {-0.0005}, "-0.001"},
      {"%8.2f", {3.14159}, "    3.14"},
      {"%-8.1f|", {3.14159}, "3.1     |"},
      {"%f", {0.1f}, "0.10"},
      {"%g", {0.1 + 0.2}, "0.3"},
      {"%g", {1e20}, "1E20"},
      {"%.3g", {1234.5}, "1.23E3"},
      {"%n", {1234567.891}, "1,234,567.89"},
      {"%.0n", {1234.5}, "1,235"},
      {"%m", {1234.5}, "1,234.50"},
      {"%.1f", {std::numeric_limits<double>::infinity()}, "INF"},
  };
  for (const TFormatCase& c : cases) EXPECT_EQ(Format(c.Fmt, c.Args), c.Expected) << c.Fmt;
}

TEST(FormatTable, StringsPointersIndexesAndStars)
{
  const int* pointer = reinterpret_cast<const int*>(0x1234);
  const TFormatCase cases[] = {
      {"%s", {"abc"}, "abc"},
      {"%s", {String("x y")}, "x y"},
      {"%5s", {"ab"}, "   ab"},
      {"%-5s|", {"ab"}, "ab   |"},
      {"%.2s", {"abcdef"}, "ab"},
      {"%.2s", {"a\xC3\xA9"}, "a"},  // a cut never splits a UTF-8 sequence
      {"%.*s", {MaxInt, "abc"}, "abc"},  // a precision only cuts, so any size is fine
      {"%s", {'x'}, "x"},
      {"[%s]", {""}, "[]"},
      {"%%", {}, "%"},
      {"100%% of %d", {3}, "100% of 3"},
      {"plain", {}, "plain"},
      {"%*d", {5, 42}, "   42"},
      {"%-*d|", {4, 7}, "7   |"},
      {"%*d|", {-4, 7}, "7   |"},
      {"%.*f", {1, 2.25}, "2.3"},
      {"%*.*f", {6, 1, 2.25}, "   2.3"},
      {"%1:s %0:s", {"a", "b"}, "b a"},
      {"%1:s %s %0:s", {"a", "b", "c"}, "b c a"},
      {"%0:s-%0:s", {"a"}, "a-a"},
      {"%p", {nullptr}, "0000000000000000"},
      {"%p", {static_cast<const void*>(pointer)}, "0000000000001234"},
  };
  for (const TFormatCase& c : cases) EXPECT_EQ(Format(c.Fmt, c.Args), c.Expected) << c.Fmt;
}

TEST(FormatTable, VariadicFormIsTheSame)
{
  EXPECT_EQ(Format("%s=%d (%.1f%%)", "size", 10, 99.95), "size=10 (100.0%)");
  EXPECT_EQ(Format("no args"), "no args");
}

TEST(FormatErrors, WrongKindOrBadSpecifierIsInvalid)
{
  const TFormatCase cases[] = {
      {"%d", {1.5}, nullptr},     {"%d", {"7"}, nullptr},      {"%d", {true}, nullptr},
      {"%d", {'7'}, nullptr},     {"%x", {2.0}, nullptr},      {"%s", {5}, nullptr},
      {"%s", {true}, nullptr},    {"%s", {1.0}, nullptr},      {"%f", {"x"}, nullptr},
      {"%f", {5}, nullptr},       {"%e", {Int64{5}}, nullptr}, {"%g", {'c'}, nullptr},
      {"%p", {5}, nullptr},       {"%k", {1}, nullptr},        {"abc %", {1}, nullptr},
      {"%-", {1}, nullptr},       {"%5", {1}, nullptr},        {"%*d", {"5", 1}, nullptr},
      // "*" takes an Integer; widths and zero padding that would allocate gigabytes fail
      {"%*d", {std::numeric_limits<Int64>::min(), 1}, nullptr},
      {"%*d", {Int64{1} << 40, 1}, nullptr},
      {"%*d", {-MaxInt - 1, 1}, nullptr},
      {"%16777217d", {1}, nullptr},
      {"%*s", {16777217, "x"}, nullptr},
      {"%.16777217d", {1}, nullptr},
      {"%.*x", {MaxInt, 1}, nullptr},
  };
  for (const TFormatCase& c : cases) {
    try {
      Format(c.Fmt, c.Args);
      ADD_FAILURE() << "no exception for " << c.Fmt;
    } catch (const EConvertError& e) {
      EXPECT_EQ(e.Message(), String("Format '") + c.Fmt + "' invalid or incompatible with argument");
    }
  }
}

TEST(FormatErrors, MissingArgument)
{
  const TFormatCase cases[] = {
      {"%d %d", {1}, nullptr}, {"%d", {}, nullptr}, {"%2:d", {1, 2}, nullptr}, {"%*d", {5}, nullptr},
  };
  for (const TFormatCase& c : cases) {
    try {
      Format(c.Fmt, c.Args);
      ADD_FAILURE() << "no exception for " << c.Fmt;
    } catch (const EConvertError& e) {
      EXPECT_EQ(e.Message(), String("No argument for format '") + c.Fmt + "'");
    }
  }
}

TEST(FormatSeparators, FloatsFollowTheProcessSeparators)
{
  DecimalSeparator = ',';
  ThousandSeparator = '.';
  const String text = Format("%.2f %n", 1.5, 1234.5);
  DecimalSeparator = '.';
  ThousandSeparator = ',';
  EXPECT_EQ(text, "1,50 1.234,50");
}

}  // namespace
