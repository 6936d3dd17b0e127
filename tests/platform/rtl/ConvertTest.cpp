#include "platform/rtl/Convert.h"

#include <gtest/gtest.h>

#include <clocale>
#include <cmath>
#include <cstddef>
#include <limits>

#include "platform/rtl/Exceptions.h"

namespace {

// Restores the process-wide separators after a test changes them.
class ConvertSeparators : public ::testing::Test {
protected:
  void TearDown() override
  {
    DecimalSeparator = '.';
    ThousandSeparator = ',';
  }
};

TEST(ConvertIntToStr, EveryIntegerTypeResolves)
{
  EXPECT_EQ(IntToStr(0), "0");
  EXPECT_EQ(IntToStr(-2147483647 - 1), "-2147483648");
  EXPECT_EQ(IntToStr(std::numeric_limits<Int64>::min()), "-9223372036854775808");
  EXPECT_EQ(IntToStr(std::numeric_limits<std::size_t>::max()), "18446744073709551615");
  EXPECT_EQ(IntToStr(4000000000u), "4000000000");
  EXPECT_EQ(IntToStr(static_cast<short>(-5)), "-5");
  EXPECT_EQ(IntToStr(static_cast<Byte>(200)), "200");
  EXPECT_EQ(IntToStr(12345678901LL), "12345678901");
}

TEST(ConvertIntToHex, UpperCaseWithMinimumDigits)
{
  EXPECT_EQ(IntToHex(255, 4), "00FF");
  EXPECT_EQ(IntToHex(0x1234, 2), "1234");
  EXPECT_EQ(IntToHex(0, 0), "0");
  EXPECT_EQ(IntToHex(0xABCDEFu, 0), "ABCDEF");
  EXPECT_EQ(IntToHex(-1, 8), "FFFFFFFF");  // an Integer shows its 32-bit pattern
  EXPECT_EQ(IntToHex(Int64{-1}, 1), "FFFFFFFFFFFFFFFF");
  EXPECT_EQ(IntToHex(UInt64{0x8000000000000000ull}, 0), "8000000000000000");
}

struct TIntCase {
  const char* Text;
  bool Ok;
  Int64 Value;
};

TEST(ConvertStrToInt, ValSyntaxAndRange)
{
  const TIntCase cases[] = {
      {"0", true, 0},
      {"123", true, 123},
      {"-123", true, -123},
      {"+7", true, 7},
      {" 12", true, 12},
      {"   -0012", true, -12},
      {"2147483647", true, 2147483647},
      {"-2147483648", true, -2147483647LL - 1},
      {"$FF", true, 255},
      {"0xff", true, 255},
      {"0X1A", true, 26},
      {"-$10", true, -16},
      {"$7FFFFFFF", true, 2147483647},
      {"$80000000", true, -2147483647LL - 1},
      {"$FFFFFFFF", true, -1},
      {"2147483648", false, 0},
      {"-2147483649", false, 0},
      {"99999999999999999999", false, 0},
      {"$100000000", false, 0},
      {"12 ", false, 0},
      {"", false, 0},
      {" ", false, 0},
      {"-", false, 0},
      {"+", false, 0},
      {"$", false, 0},
      {"0x", false, 0},
      {"1.0", false, 0},
      {"12a", false, 0},
      {"1 2", false, 0},
      {"--1", false, 0},
      {"$G", false, 0},
      {"abc", false, 0},
  };
  for (const TIntCase& c : cases) {
    int value = 12345;
    EXPECT_EQ(TryStrToInt(c.Text, value), c.Ok) << "'" << c.Text << "'";
    if (c.Ok) {
      EXPECT_EQ(value, c.Value) << "'" << c.Text << "'";
      EXPECT_EQ(StrToInt(c.Text), c.Value);
    } else {
      EXPECT_EQ(value, 12345) << "failure must leave the value alone: '" << c.Text << "'";
      EXPECT_EQ(StrToIntDef(c.Text, -7), -7) << "'" << c.Text << "'";
    }
  }
}

TEST(ConvertStrToInt, ErrorNamesTheText)
{
  for (const char* text : {"abc", "", "12 ", "2147483648"}) {
    try {
      StrToInt(text);
      ADD_FAILURE() << "no exception for '" << text << "'";
    } catch (const EConvertError& e) {
      EXPECT_EQ(e.Message(), String("'") + text + "' is not a valid integer value");
    }
  }
  EXPECT_THROW(StrToInt64("9223372036854775808"), EConvertError);
}

TEST(ConvertStrToInt64, SixtyFourBitRange)
{
  const TIntCase cases[] = {
      {"9223372036854775807", true, std::numeric_limits<Int64>::max()},
      {"-9223372036854775808", true, std::numeric_limits<Int64>::min()},
      {"2147483648", true, 2147483648LL},
      {"$FFFFFFFF", true, 4294967295LL},
      {"$FFFFFFFFFFFFFFFF", true, -1},
      {" 0x7fffffffffffffff", true, std::numeric_limits<Int64>::max()},
      {"9223372036854775808", false, 0},
      {"-9223372036854775809", false, 0},
      {"$10000000000000000", false, 0},
      {"1e3", false, 0},
  };
  for (const TIntCase& c : cases) {
    Int64 value = 99;
    EXPECT_EQ(TryStrToInt64(c.Text, value), c.Ok) << "'" << c.Text << "'";
    EXPECT_EQ(StrToInt64Def(c.Text, 99), c.Ok ? c.Value : 99) << "'" << c.Text << "'";
    if (c.Ok) {
      EXPECT_EQ(StrToInt64(c.Text), c.Value);
    }
  }
}

struct TFloatParseCase {
  const char* Text;
  bool Ok;
  double Value;
};

TEST_F(ConvertSeparators, StrToFloatWithPointSeparator)
{
  const TFloatParseCase cases[] = {
      {"1.5", true, 1.5},
      {" 1.5 ", true, 1.5},
      {"-2.5e3", true, -2500.0},
      {"1E-2", true, 0.01},
      {"1e+2", true, 100.0},
      {".5", true, 0.5},
      {"5.", true, 5.0},
      {"+3", true, 3.0},
      {"0.1", true, 0.1},
      {"123456789012345678901234567890", true, 1.2345678901234568e29},
      {"1e-400", true, 0.0},
      {"", false, 0},
      {"-", false, 0},
      {".", false, 0},
      {"1e", false, 0},
      {"1e+", false, 0},
      {"e5", false, 0},
      {"abc", false, 0},
      {"1.2.3", false, 0},
      {"1,5", false, 0},
      {"1,000", false, 0},
      {"1e400", false, 0},
      {"0x10", false, 0},
      {"inf", false, 0},
      {"nan", false, 0},
      {"1 5", false, 0},
  };
  for (const TFloatParseCase& c : cases) {
    double value = -42.0;
    EXPECT_EQ(TryStrToFloat(c.Text, value), c.Ok) << "'" << c.Text << "'";
    EXPECT_EQ(value, c.Ok ? c.Value : -42.0) << "'" << c.Text << "'";
    EXPECT_EQ(StrToFloatDef(c.Text, 7.25), c.Ok ? c.Value : 7.25) << "'" << c.Text << "'";
  }
  EXPECT_TRUE(std::signbit(StrToFloat("-0")));
}

TEST_F(ConvertSeparators, StrToFloatFollowsDecimalSeparator)
{
  DecimalSeparator = ',';
  EXPECT_EQ(StrToFloat("1,5"), 1.5);
  EXPECT_EQ(StrToFloat("-0,25E1"), -2.5);
  double value = 0;
  EXPECT_FALSE(TryStrToFloat("1.5", value));
  try {
    StrToFloat("1.5");
    ADD_FAILURE() << "no exception";
  } catch (const EConvertError& e) {
    EXPECT_EQ(e.Message(), "'1.5' is not a valid floating point value");
  }
}

TEST_F(ConvertSeparators, ProcessLocaleDoesNotMatter)
{
  // A locale with a decimal comma, where one is installed, must change nothing.
  const String saved = std::setlocale(LC_ALL, nullptr);
  const bool switched = std::setlocale(LC_ALL, "de_DE.UTF-8") != nullptr ||
                        std::setlocale(LC_ALL, "fr_FR.UTF-8") != nullptr;
  EXPECT_EQ(StrToFloat("2.75"), 2.75);
  EXPECT_EQ(FloatToStr(2.75), "2.75");
  EXPECT_EQ(FloatToStrF(1234.5, ffNumber, 15, 1), "1,234.5");
  std::setlocale(LC_ALL, saved.c_str());
  if (!switched) GTEST_SKIP() << "no comma locale installed; checked under the C locale only";
}

struct TFloatTextCase {
  double Value;
  TFloatFormat Format;
  int Precision;
  int Digits;
  const char* Expected;
};

TEST(ConvertFloatToStrF, RoundingAndLayout)
{
  const double nan = std::numeric_limits<double>::quiet_NaN();
  const double inf = std::numeric_limits<double>::infinity();
  const TFloatTextCase cases[] = {
      // ffFixed: halves away from zero, on the exact value rounded to Precision digits first
      {0.125, ffFixed, 15, 2, "0.13"},
      {-0.125, ffFixed, 15, 2, "-0.13"},
      {2.5, ffFixed, 15, 0, "3"},
      {-2.5, ffFixed, 15, 0, "-3"},
      {0.5, ffFixed, 15, 0, "1"},
      {0.4, ffFixed, 15, 0, "0"},
      {1.005, ffFixed, 15, 2, "1.01"},
      {0.0006, ffFixed, 15, 2, "0.00"},
      {-0.001, ffFixed, 15, 2, "0.00"},
      {0.05, ffFixed, 15, 1, "0.1"},
      {99.996, ffFixed, 15, 2, "100.00"},
      {3.0, ffFixed, 15, 3, "3.000"},
      {1e20, ffFixed, 15, 2, "1E20"},
      {123.456, ffFixed, 2, 2, "1.2E2"},
      // ffNumber: thousand groups
      {12345.678, ffNumber, 15, 2, "12,345.68"},
      {-1234567.0, ffNumber, 15, 0, "-1,234,567"},
      {999.999, ffNumber, 15, 2, "1,000.00"},
      {123.0, ffNumber, 15, 0, "123"},
      {0.5, ffNumber, 15, 1, "0.5"},
      {100000.0, ffCurrency, 15, 2, "100,000.00"},
      // ffExponent: Precision digits, signed exponent of at least Digits digits
      {1234.5, ffExponent, 15, 3, "1.23450000000000E+003"},
      {0.0, ffExponent, 5, 2, "0.0000E+00"},
      {-0.00012345, ffExponent, 3, 0, "-1.23E-4"},
      {9.99, ffExponent, 2, 1, "1.0E+1"},
      {5.0, ffExponent, 1, 0, "5E+0"},
      // ffGeneral
      {1234.5678, ffGeneral, 6, 0, "1234.57"},
      {1234567.0, ffGeneral, 4, 0, "1.235E6"},
      {1e-7, ffGeneral, 15, 3, "1E-007"},
      {1.5, ffGeneral, 1, 0, "2"},
      {-2.5, ffGeneral, 1, 0, "-3"},
      {1.0 / 3, ffGeneral, 25, 0, "0.333333333333333315"},  // precision clamps to 18
      {1.0 / 3, ffGeneral, 0, 0, "0.3"},                    // and to 1
      // special values
      {nan, ffFixed, 15, 2, "NAN"},
      {inf, ffNumber, 15, 2, "INF"},
      {-inf, ffGeneral, 15, 0, "-INF"},
      {-0.0, ffFixed, 15, 2, "0.00"},
      {-0.0, ffExponent, 3, 2, "0.00E+00"},
  };
  for (const TFloatTextCase& c : cases)
    EXPECT_EQ(FloatToStrF(c.Value, c.Format, c.Precision, c.Digits), c.Expected)
        << c.Value << " format " << c.Format << " " << c.Precision << "," << c.Digits;
}

TEST(ConvertFloatToStr, ShortestGeneralForm)
{
  struct Case { double Value; const char* Expected; };
  const Case cases[] = {
      {0.1 + 0.2, "0.3"},
      {1e20, "1E20"},
      {1e-7, "1E-7"},
      {1e-5, "0.00001"},
      {0.000012345, "0.000012345"},  // not below 1E-5
      {0.0000012345, "1.2345E-6"},
      {0.0, "0"},
      {-0.0, "0"},
      {123.456, "123.456"},
      {-1.5, "-1.5"},
      {1e14, "100000000000000"},
      {1e15, "1E15"},
      {999999999999999.9, "1E15"},
      {123456789012345678.0, "1.23456789012346E17"},
      {2.0 / 3, "0.666666666666667"},
      {5e-324, "4.94065645841247E-324"},
      {1.7976931348623157e308, "1.79769313486232E308"},
  };
  for (const Case& c : cases) EXPECT_EQ(FloatToStr(c.Value), c.Expected) << c.Expected;
}

TEST_F(ConvertSeparators, FloatTextUsesTheSeparators)
{
  DecimalSeparator = ',';
  ThousandSeparator = '.';
  EXPECT_EQ(FloatToStr(1.5), "1,5");
  EXPECT_EQ(FloatToStrF(12345.678, ffNumber, 15, 2), "12.345,68");
  EXPECT_EQ(FloatToStrF(1234.5, ffExponent, 4, 2), "1,235E+03");
  ThousandSeparator = '\0';
  EXPECT_EQ(FloatToStrF(12345.678, ffNumber, 15, 1), "12345,7");
}

TEST(ConvertFloatRoundTrip, FifteenDigitsReadBackWithinPrecision)
{
  const double values[] = {3.14159265358979, -2.718281828459045, 6.02214076e23, 1.602176634e-19, 12345.6789};
  for (const double v : values) {
    const double back = StrToFloat(FloatToStr(v));
    EXPECT_NEAR(back, v, std::fabs(v) * 1e-14) << FloatToStr(v);
  }
}

TEST(ConvertBoolToStr, NumericAndWords)
{
  EXPECT_EQ(BoolToStr(true), "-1");
  EXPECT_EQ(BoolToStr(false), "0");
  EXPECT_EQ(BoolToStr(true, true), "True");
  EXPECT_EQ(BoolToStr(false, true), "False");
}

}  // namespace
